// The in-process clipboard and its text exchange with other programs.
#include "host/HostClipboard.h"

#include <SDL.h>

#include <cstring>
#include <map>
#include <new>
#include <set>
#include <vector>

#include "host/HostBackend.h"

namespace {

std::map<uint32, std::vector<uint8>> g_store;
// Text formats made from the other text format on request (dropped when
// the format they were made from changes).
std::set<uint32> g_synth;
bool g_open = false;
std::map<std::string, uint32> g_registered;
uint32 g_next_registered = CF_REGISTERED_FIRST;

// The other programs' side: SDL's clipboard, or this text off the sdl backend.
std::string g_external;
// The text last published or taken over; a different external text means
// another program has copied since.
std::string g_known;

bool Sdl() { return Host_Backend_Kind() == HostBackendKind::SDL; }

std::string External_Get() {
  if (!Sdl()) return g_external;
  std::string s;
  if (SDL_HasClipboardText()) {
    char* t = SDL_GetClipboardText();
    if (t != nullptr) {
      s = t;
      SDL_free(t);
    }
  }
  return s;
}

void External_Set(const std::string& s) {
  if (Sdl()) {
    SDL_SetClipboardText(s.c_str());
  } else {
    g_external = s;
  }
  g_known = s;
}

// --- Text conversions (malformed input becomes U+FFFD, never an error) ---

void Put_Unit(std::vector<uint8>& out, uint16 u) {
  const size_t at = out.size();
  out.resize(at + 2);
  std::memcpy(&out[at], &u, 2);
}

// UTF-8 bytes (up to the first NUL) to NUL-terminated UTF-16.
std::vector<uint8> Utf8_To_Utf16(const uint8* s, size_t n) {
  std::vector<uint8> out;
  out.reserve(n * 2 + 2);
  size_t i = 0;
  while (i < n && s[i] != 0) {
    const uint8 b = s[i];
    uint32 cp = 0xFFFD;
    size_t len = 1;
    uint32 need = 0, min = 0;
    if (b < 0x80) {
      cp = b;
    } else if ((b & 0xE0) == 0xC0) {
      need = 1, min = 0x80, cp = b & 0x1Fu;
    } else if ((b & 0xF0) == 0xE0) {
      need = 2, min = 0x800, cp = b & 0x0Fu;
    } else if ((b & 0xF8) == 0xF0) {
      need = 3, min = 0x10000, cp = b & 0x07u;
    } else {
      cp = 0xFFFD;
    }
    if (need > 0) {
      // A broken sequence gives one U+FFFD for the bytes it got through.
      uint32 k = 1;
      bool ok = true;
      for (; k <= need; ++k) {
        if (i + k >= n || (s[i + k] & 0xC0) != 0x80) {
          ok = false;
          break;
        }
        cp = (cp << 6) | (s[i + k] & 0x3Fu);
      }
      len = ok ? need + 1 : k;
      if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      Put_Unit(out, uint16(0xD800 + (cp >> 10)));
      Put_Unit(out, uint16(0xDC00 + (cp & 0x3FF)));
    } else {
      Put_Unit(out, uint16(cp));
    }
  }
  Put_Unit(out, 0);
  return out;
}

void Put_Utf8(std::string& out, uint32 cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

// UTF-16 units (up to the first 0 unit; an odd last byte is ignored) to UTF-8.
std::string Utf16_To_Utf8(const uint8* s, size_t nbytes) {
  const size_t n = nbytes / 2;
  std::string out;
  out.reserve(n);
  auto unit = [&](size_t k) {
    uint16 u;
    std::memcpy(&u, s + 2 * k, 2);
    return u;
  };
  for (size_t i = 0; i < n; ++i) {
    const uint16 u = unit(i);
    if (u == 0) break;
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
      Put_Utf8(out, 0x10000u + ((uint32(u) - 0xD800u) << 10) + (uint32(unit(i + 1)) - 0xDC00u));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      Put_Utf8(out, 0xFFFD);
    } else {
      Put_Utf8(out, u);
    }
  }
  return out;
}

// Cuts UTF-8 text to at most max bytes without splitting a character.
void Cut_Utf8(std::string& s, size_t max) {
  if (s.size() <= max) return;
  size_t n = max;
  while (n > 0 && (uint8(s[n]) & 0xC0) == 0x80) --n;
  s.resize(n);
}

// Another program's text replaces everything we held.
void Take_Foreign(std::string text) {
  g_known = text;
  g_store.clear();
  g_synth.clear();
  Cut_Utf8(text, kMaxForeignText);
  if (text.empty()) return;
  try {
    std::vector<uint8> t(text.begin(), text.end());
    t.push_back(0);
    g_store[CF_TEXT] = std::move(t);
    g_synth.insert(CF_TEXT);  // the text of record is the UTF-16 one
    g_store[CF_UNICODETEXT] = Utf8_To_Utf16(reinterpret_cast<const uint8*>(text.data()), text.size());
  } catch (const std::bad_alloc&) {
    g_store.clear();
    g_synth.clear();
  }
}

void Publish_Text(uint32 format) {
  auto it = g_store.find(format);
  if (it == g_store.end()) return;
  const std::vector<uint8>& b = it->second;
  std::string s;
  if (format == CF_UNICODETEXT) {
    s = Utf16_To_Utf8(b.data(), b.size());
  } else {
    size_t n = 0;
    while (n < b.size() && b[n] != 0) ++n;
    s.assign(b.begin(), b.begin() + std::ptrdiff_t(n));
  }
  External_Set(s);
}

// Makes the text format asked for from the other one when only that is held.
bool Synthesize(uint32 format) {
  const uint32 other = format == CF_TEXT ? CF_UNICODETEXT : CF_TEXT;
  auto it = g_store.find(other);
  if (it == g_store.end()) return false;
  try {
    std::vector<uint8> made;
    if (format == CF_UNICODETEXT) {
      made = Utf8_To_Utf16(it->second.data(), it->second.size());
    } else {
      const std::string s = Utf16_To_Utf8(it->second.data(), it->second.size());
      made.assign(s.begin(), s.end());
      made.push_back(0);
    }
    g_store[format] = std::move(made);
    g_synth.insert(format);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool Is_Text(uint32 format) { return format == CF_TEXT || format == CF_UNICODETEXT; }

}  // namespace

bool Host_Clipboard_Open(HostWindow* /*owner*/) {
  if (g_open) return false;
  g_open = true;
  const std::string ext = External_Get();
  if (ext != g_known) Take_Foreign(ext);
  return true;
}

bool Host_Clipboard_Close() {
  if (!g_open) return false;
  g_open = false;
  return true;
}

bool Host_Clipboard_Is_Open() { return g_open; }

bool Host_Clipboard_Empty() {
  if (!g_open) return false;
  g_store.clear();
  g_synth.clear();
  // Other programs must not go on pasting what was there before.
  External_Set(std::string());
  return true;
}

bool Host_Clipboard_Set(uint32 format, const void* data, uint32 size) {
  if (!g_open || format == 0 || (data == nullptr && size != 0)) return false;
  try {
    const uint8* p = static_cast<const uint8*>(data);
    std::vector<uint8> bytes(p, p + size);
    g_store[format] = std::move(bytes);
  } catch (const std::bad_alloc&) {
    return false;
  }
  g_synth.erase(format);
  if (Is_Text(format)) {
    const uint32 other = format == CF_TEXT ? CF_UNICODETEXT : CF_TEXT;
    if (g_synth.erase(other) != 0) g_store.erase(other);
    Publish_Text(format);
  }
  return true;
}

bool Host_Clipboard_Has(uint32 format) {
  if (g_store.count(format) != 0) return true;
  if (Is_Text(format)) return g_store.count(format == CF_TEXT ? CF_UNICODETEXT : CF_TEXT) != 0;
  return false;
}

bool Host_Clipboard_Get(uint32 format, const uint8*& data, uint32& size) {
  data = nullptr;
  size = 0;
  if (!g_open) return false;
  auto it = g_store.find(format);
  if (it == g_store.end()) {
    if (!Is_Text(format) || !Synthesize(format)) return false;
    it = g_store.find(format);
  }
  if (it->second.size() > 0xFFFFFFFFu) return false;
  data = it->second.data();
  size = uint32(it->second.size());
  return true;
}

uint32 Host_Clipboard_Register_Format(const char* name) {
  if (name == nullptr || name[0] == 0) return 0;
  auto it = g_registered.find(name);
  if (it != g_registered.end()) return it->second;
  if (g_next_registered > 0xFFFF) return 0;
  const uint32 n = g_next_registered++;
  g_registered.emplace(name, n);
  return n;
}

void Host_Clipboard_Reset() {
  g_open = false;
  g_store.clear();
  g_synth.clear();
  g_external.clear();
  g_known.clear();
}

void Host_Clipboard_Foreign_Text(const std::string& utf8) { g_external = utf8; }

std::string Host_Clipboard_Published_Text() { return External_Get(); }
