// The in-process clipboard, its translation to and from the desktop's MIME
// types, and the in-memory desktop of the headless backend.
#include "host/HostClipboard.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <set>
#include <string_view>
#include <utility>

#include "host/HostByteOrder.h"
#include "host/HostCodecs.h"
#include "host/HostUtf.h"

namespace {

// --- Type names ----------------------------------------------------------------------------

constexpr const char* kUtf8String = "UTF8_STRING";
constexpr const char* kTextPlainUtf8 = "text/plain;charset=utf-8";
constexpr const char* kTextPlain = "text/plain";
constexpr const char* kLatin1String = "STRING";
constexpr const char* kImagePng = "image/png";
constexpr const char* kImageBmp = "image/bmp";

// Text types in the order they are read from another program.
const char* const kTextReadOrder[] = {kUtf8String, kTextPlainUtf8, kTextPlain, kLatin1String};
// Picture types in the order they are read.
const char* const kImageReadOrder[] = {kImagePng, kImageBmp};

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

bool Same_Type(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

// The program's own formats and their MIME types.
struct Own_Type {
  uint32 format;
  std::string mime;
  uint64 max;
};
std::vector<Own_Type> g_types;
HostDibDecoder g_dib_decoder = nullptr;
uint32 g_wait_ms = 2000;

// --- Text conversions (malformed input becomes U+FFFD, never an error) ---

// The text of a byte string: up to its first NUL.
std::string_view Bytes_Text(const uint8* s, size_t n) {
  size_t k = 0;
  while (k < n && s[k] != 0) ++k;
  return std::string_view(reinterpret_cast<const char*>(s), k);
}

// UTF-8 bytes (up to the first NUL) to NUL-terminated UTF-16, in the
// machine's own order as the text formats keep it.
std::vector<uint8> Utf8_To_Utf16(const uint8* s, size_t n) {
  const std::u16string u = Host_Utf8_To_Utf16(Bytes_Text(s, n));
  std::vector<uint8> out((u.size() + 1) * 2, 0);
  if (!u.empty()) std::memcpy(out.data(), u.data(), u.size() * 2);
  return out;
}

// UTF-16 units (up to the first 0 unit; an odd last byte is ignored) to UTF-8.
std::string Utf16_To_Utf8(const uint8* s, size_t nbytes) {
  std::u16string u(nbytes / 2, u'\0');
  if (!u.empty()) std::memcpy(u.data(), s, u.size() * 2);
  const size_t end = u.find(u'\0');
  if (end != std::u16string::npos) u.resize(end);
  return Host_Utf16_To_Utf8(u);
}

// Cuts UTF-8 text to at most max bytes without splitting a character.
void Cut_Utf8(std::string& s, size_t max) { s.resize(Host_Utf8_Cut(s, max)); }

// Our text ends its lines with CR (or CR LF); the desktop's with LF.
std::string To_Desktop_Lines(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      out += '\n';
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

// A line feed without its carriage return gets one, so that the lines of
// another program's text stay lines here.
std::string From_Desktop_Lines(const std::string& s) {
  std::string out;
  out.reserve(s.size() + s.size() / 16);
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) out += '\r';
    out += s[i];
  }
  return out;
}

std::string Latin1_To_Utf8(const std::vector<uint8>& b) {
  std::string out;
  out.reserve(b.size());
  for (uint8 c : b) {
    if (c == 0) break;
    Host_Utf8_Append(out, c);
  }
  return out;
}

// Characters beyond Latin-1 become '?'.
std::vector<uint8> Utf8_To_Latin1(const std::string& s) {
  const std::string_view text = Bytes_Text(reinterpret_cast<const uint8*>(s.data()), s.size());
  std::vector<uint8> out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const HostUtf8Step st = Host_Utf8_Next(text, i);
    out.push_back(st.cp <= 0xFF ? uint8(st.cp) : uint8('?'));
    i = st.next;
  }
  return out;
}

// --- Bitmaps -----------------------------------------------------------------------------------

// The bytes of a bitmap's headers: information header, colour masks and
// colour table, as the bitmap reader takes them. FALSE when they cannot be
// those of a bitmap.
bool Dib_Header_Bytes(const uint8* p, size_t n, uint32& bytes) {
  if (n < 40) return false;
  const uint32 infosize = Load_LE32(p);
  if (infosize != 40 && infosize != 52 && infosize != 56 && infosize != 108 && infosize != 124) return false;
  if (n < infosize) return false;
  const uint16 bits = Load_LE16(p + 14);
  const uint32 compression = Load_LE32(p + 16);
  const uint32 clrused = Load_LE32(p + 32);
  if (clrused > 256) return false;
  uint32 colours = clrused;
  if (colours == 0 && bits < 16) {
    if (bits != 1 && bits != 4 && bits != 8) return false;
    colours = 1u << bits;
  }
  const uint32 masks = compression == 3 && infosize == 40 ? 12 : 0;
  bytes = infosize + masks + colours * 4;
  return bytes <= n;
}

// A BMP file: the 14-byte file header and then the bitmap.
bool Dib_To_Bmp(const std::vector<uint8>& dib, std::vector<uint8>& out) {
  uint32 head = 0;
  if (!Dib_Header_Bytes(dib.data(), dib.size(), head) || dib.size() > 0x7FFFFFFFu - 14) return false;
  out.assign(14 + dib.size(), 0);
  out[0] = 'B';
  out[1] = 'M';
  Store_LE32(&out[2], uint32(out.size()));
  Store_LE32(&out[10], 14 + head);
  std::memcpy(&out[14], dib.data(), dib.size());
  return true;
}

// A BMP file's bitmap with its pixels right after the headers (where the
// bitmap reader looks for them), wherever the file put them.
bool Bmp_To_Dib(const std::vector<uint8>& bmp, std::vector<uint8>& out) {
  if (bmp.size() < 14 + 40 || bmp[0] != 'B' || bmp[1] != 'M') return false;
  uint32 head = 0;
  if (!Dib_Header_Bytes(bmp.data() + 14, bmp.size() - 14, head)) return false;
  const uint64 headers_end = 14 + uint64(head);
  uint64 pixels = Load_LE32(&bmp[10]);
  if (pixels == 0) pixels = headers_end;
  if (pixels < headers_end || pixels > bmp.size()) return false;
  out.clear();
  out.reserve(size_t(head + (bmp.size() - pixels)));
  out.insert(out.end(), bmp.begin() + 14, bmp.begin() + std::ptrdiff_t(headers_end));
  out.insert(out.end(), bmp.begin() + std::ptrdiff_t(pixels), bmp.end());
  return true;
}

// A 32-bit top-down bitmap of a PNG's pixels, transparency laid over white
// (a pasted bitmap has no transparency). The picture's size is checked
// before anything is allocated for it.
struct Png_Dib_Sink {
  std::vector<uint8>* dib;
  int32 width = 0, height = 0;
};

int Png_Dib_Alloc(void* ctx, const HostImageInfo& info, uint8*& base, size_t& stride) {
  auto& s = *static_cast<Png_Dib_Sink*>(ctx);
  if (info.width <= 0 || info.height <= 0) return HC_BAD_HEADER;
  if (info.width > 32767) return HC_TOO_WIDE;
  if (info.height > 32767 || uint64(info.width) * uint64(info.height) > kMaxForeignPixels) return HC_TOO_LARGE;
  try {
    s.dib->assign(40 + size_t(info.width) * size_t(info.height) * 4, 0);
  } catch (const std::bad_alloc&) {
    return HC_NOMEM;
  }
  s.width = info.width;
  s.height = info.height;
  base = s.dib->data() + 40;
  stride = size_t(info.width) * 4;
  return HC_OK;
}

bool Png_To_Dib(const std::vector<uint8>& png, std::vector<uint8>& out) {
  Png_Dib_Sink s{&out};
  if (Host_Decode_PNG(png.data(), png.size(), HostImageSink{&s, Png_Dib_Alloc}) != HC_OK) {
    out.clear();
    return false;
  }
  uint8* h = out.data();
  Store_LE32(h, 40);
  Store_LE32(h + 4, uint32(s.width));
  Store_LE32(h + 8, uint32(-s.height));  // rows from the top
  Store_LE16(h + 12, 1);
  Store_LE16(h + 14, 32);
  Store_LE32(h + 20, uint32(s.width) * uint32(s.height) * 4);
  Store_LE32(h + 24, 2835);
  Store_LE32(h + 28, 2835);
  for (size_t i = 40; i + 3 < out.size(); i += 4) {
    const uint32 a = out[i + 3];
    if (a != 255) {
      for (int c = 0; c < 3; ++c) out[i + c] = uint8((out[i + c] * a + 255 * (255 - a) + 127) / 255);
    }
    out[i + 3] = 0;
  }
  return true;
}

bool Dib_To_Png(const std::vector<uint8>& dib, std::vector<uint8>& out) {
  if (g_dib_decoder == nullptr) return false;
  std::vector<uint8> px;
  int32 w = 0, h = 0;
  try {
    if (!g_dib_decoder(dib.data(), dib.size(), px, w, h)) return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (w <= 0 || h <= 0 || px.size() < size_t(w) * size_t(h) * 4) return false;
  const HostImageSource src{px.data(), w, h, size_t(w) * 4, 72};
  return Host_Encode_PNG(src, false, out) == HC_OK;
}

// --- What we offer ---------------------------------------------------------------------------

class Snapshot : public HostClipboardOffer {
 public:
  const std::vector<std::string>& Types() const override { return types_; }

  bool Bytes(const std::string& type, const std::vector<uint8>*& out) override {
    out = nullptr;
    const std::string t = Lower(type);
    auto made = made_.find(t);
    if (made == made_.end()) {
      std::vector<uint8> b;
      bool ok = false;
      try {
        ok = Make(t, b);
      } catch (const std::bad_alloc&) {
        ok = false;
      }
      if (!ok) return false;  // not kept: a later request may find memory
      made = made_.emplace(t, std::move(b)).first;
    }
    out = &made->second;
    return true;
  }

  std::vector<std::string> types_;
  bool has_text_ = false;
  std::string text_;  // UTF-8, line feeds
  std::map<uint32, std::vector<uint8>> data_;

 private:
  bool Make(const std::string& t, std::vector<uint8>& b) {
    if (std::find_if(types_.begin(), types_.end(), [&](const std::string& x) { return Lower(x) == t; }) ==
        types_.end())
      return false;
    if (has_text_ && (t == Lower(kUtf8String) || t == kTextPlainUtf8)) {
      b.assign(text_.begin(), text_.end());
      return true;
    }
    if (has_text_ && t == Lower(kLatin1String)) {
      b = Utf8_To_Latin1(text_);
      return true;
    }
    auto dib = data_.find(CF_DIB);
    if (dib != data_.end() && t == kImageBmp) return Dib_To_Bmp(dib->second, b);
    if (dib != data_.end() && t == kImagePng) return Dib_To_Png(dib->second, b);
    for (const Own_Type& o : g_types) {
      auto d = data_.find(o.format);
      if (d != data_.end() && Lower(o.mime) == t) {
        b = d->second;
        return true;
      }
    }
    return false;
  }

  std::map<std::string, std::vector<uint8>> made_;
};

// --- The in-memory desktop -------------------------------------------------------------------

class MemoryPeer : public HostClipboardPeer {
 public:
  bool Take(std::shared_ptr<HostClipboardOffer> offer) override {
    ours_ = std::move(offer);
    theirs_.clear();
    holder_ = kSelf;
    return true;
  }
  uint64 Holder() override { return holder_; }
  bool Types(std::vector<std::string>& out) override {
    out.clear();
    if (ours_) {
      out = ours_->Types();
    } else {
      for (const auto& [t, b] : theirs_) out.push_back(t);
    }
    return true;
  }
  bool Read(const std::string& type, uint64 max, std::vector<uint8>& out) override {
    out.clear();
    const std::vector<uint8>* b = nullptr;
    if (ours_) {
      if (!ours_->Bytes(type, b)) return false;
    } else {
      auto it = theirs_.find(type);
      if (it == theirs_.end()) return false;
      b = &it->second;
    }
    if (b->size() > max) return false;
    out = *b;
    return true;
  }

  void Foreign(const std::map<std::string, std::vector<uint8>>& types) {
    ours_.reset();
    theirs_ = types;
    holder_ = types.empty() ? 0 : ++serial_;
  }
  void Reset() {
    ours_.reset();
    theirs_.clear();
    holder_ = 0;
  }

 private:
  std::shared_ptr<HostClipboardOffer> ours_;
  std::map<std::string, std::vector<uint8>> theirs_;
  uint64 holder_ = 0;
  uint64 serial_ = 0;
};

MemoryPeer g_memory;

// --- The store -----------------------------------------------------------------------------

std::map<uint32, std::vector<uint8>> g_store;
// Text formats made from the other text format on request (dropped when
// the format they were made from changes).
std::set<uint32> g_synth;
// Formats another program offers that have not been read yet, with the type
// each is read as.
std::map<uint32, std::string> g_lazy;
bool g_open = false;
// The store changed since it was last handed to the desktop.
bool g_dirty = false;
// The desktop's holder when we last looked (see HostClipboardPeer::Holder).
uint64 g_known = 0;
// The text format the program set last: the one other programs get.
uint32 g_text_record = 0;
std::map<std::string, uint32> g_registered;
uint32 g_next_registered = CF_REGISTERED_FIRST;

bool Is_Text(uint32 format) { return format == CF_TEXT || format == CF_UNICODETEXT; }

void Clear_Store() {
  g_store.clear();
  g_synth.clear();
  g_lazy.clear();
  g_text_record = 0;
}

// The offered spelling of a type (names of types are not case-sensitive,
// but the desktop wants them back as it gave them).
const std::string* Find_Type(const std::vector<std::string>& offered, const std::string& want) {
  for (const std::string& t : offered)
    if (Same_Type(t, want)) return &t;
  return nullptr;
}

// Another program holds the desktop's clipboard: what it offers replaces
// everything we held; its data are read when asked for.
void Import(uint64 holder) {
  Clear_Store();
  if (holder == 0) return;
  std::vector<std::string> offered;
  if (!Host_Clipboard_Peer().Types(offered)) return;
  for (const Own_Type& o : g_types) {
    const std::string* t = Find_Type(offered, o.mime);
    if (t != nullptr && g_lazy.count(o.format) == 0) g_lazy[o.format] = *t;
  }
  for (const char* want : kImageReadOrder) {
    if (const std::string* t = Find_Type(offered, want)) {
      g_lazy[CF_DIB] = *t;
      break;
    }
  }
  for (const char* want : kTextReadOrder) {
    if (const std::string* t = Find_Type(offered, want)) {
      g_lazy[CF_UNICODETEXT] = *t;
      g_lazy[CF_TEXT] = *t;
      break;
    }
  }
}

// Looks whether another program has copied since we last looked.
void Refresh() {
  const uint64 h = Host_Clipboard_Peer().Holder();
  if (h == g_known) return;
  g_known = h;
  if (h == HostClipboardPeer::kSelf) return;
  Import(h);
}

// Reads one format another program offers into the store. FALSE when it
// cannot be had; it is not offered any longer then.
bool Materialize(uint32 format) {
  auto it = g_lazy.find(format);
  if (it == g_lazy.end()) return false;
  const std::string type = it->second;
  g_lazy.erase(it);
  HostClipboardPeer& peer = Host_Clipboard_Peer();
  std::vector<uint8> bytes;
  try {
    if (Is_Text(format)) {
      g_lazy.erase(format == CF_TEXT ? CF_UNICODETEXT : CF_TEXT);
      if (!peer.Read(type, kMaxForeignTextRead, bytes)) return false;
      std::string text;
      if (Same_Type(type, kLatin1String)) {
        text = Latin1_To_Utf8(bytes);
      } else {
        size_t n = 0;
        while (n < bytes.size() && bytes[n] != 0) ++n;
        text.assign(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
      }
      std::vector<uint8>().swap(bytes);
      text = From_Desktop_Lines(text);
      Cut_Utf8(text, kMaxForeignText);
      if (text.empty()) return false;
      std::vector<uint8> t(text.begin(), text.end());
      t.push_back(0);
      g_store[CF_UNICODETEXT] = Utf8_To_Utf16(reinterpret_cast<const uint8*>(text.data()), text.size());
      g_store[CF_TEXT] = std::move(t);
      g_synth.insert(CF_TEXT);  // the text of record is the UTF-16 one
      return true;
    }
    if (format == CF_DIB) {
      if (!peer.Read(type, kMaxForeignImage, bytes)) return false;
      std::vector<uint8> dib;
      const bool ok = Same_Type(type, kImagePng) ? Png_To_Dib(bytes, dib) : Bmp_To_Dib(bytes, dib);
      if (!ok) return false;
      g_store[CF_DIB] = std::move(dib);
      return true;
    }
    uint64 max = kMaxForeignRecord;
    for (const Own_Type& o : g_types)
      if (o.format == format) max = o.max;
    if (!peer.Read(type, max, bytes)) return false;
    g_store[format] = std::move(bytes);
  } catch (const std::bad_alloc&) {
    g_store.erase(format);
    return false;
  }
  return true;
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

std::string Text_Of(uint32 format) {
  auto it = g_store.find(format);
  if (it == g_store.end()) return std::string();
  const std::vector<uint8>& b = it->second;
  if (format == CF_UNICODETEXT) return Utf16_To_Utf8(b.data(), b.size());
  size_t n = 0;
  while (n < b.size() && b[n] != 0) ++n;
  return std::string(b.begin(), b.begin() + std::ptrdiff_t(n));
}

// Hands what the store holds to the desktop.
void Publish() {
  auto snap = std::make_shared<Snapshot>();
  try {
    for (const Own_Type& o : g_types) {
      auto it = g_store.find(o.format);
      if (it == g_store.end() || snap->data_.count(o.format) != 0) continue;
      snap->data_[o.format] = it->second;
      snap->types_.push_back(o.mime);
    }
    auto dib = g_store.find(CF_DIB);
    if (dib != g_store.end()) {
      snap->data_[CF_DIB] = dib->second;
      if (g_dib_decoder != nullptr) snap->types_.push_back(kImagePng);
      snap->types_.push_back(kImageBmp);
    }
    uint32 text = g_text_record;
    if (text == 0 || g_store.count(text) == 0) {
      text = g_store.count(CF_UNICODETEXT) != 0 ? CF_UNICODETEXT : g_store.count(CF_TEXT) != 0 ? CF_TEXT : 0;
    }
    if (text != 0) {
      snap->has_text_ = true;
      snap->text_ = To_Desktop_Lines(Text_Of(text));
      for (const char* t : {kUtf8String, kTextPlainUtf8, kLatin1String}) snap->types_.push_back(t);
    }
  } catch (const std::bad_alloc&) {
    // Too little memory to copy it: other programs get nothing rather than
    // what was there before.
    snap = std::make_shared<Snapshot>();
  }
  HostClipboardPeer& peer = Host_Clipboard_Peer();
  peer.Take(snap);
  g_known = peer.Holder();
}

}  // namespace

bool Host_Clipboard_Open(HostWindow* /*owner*/) {
  if (g_open) return false;
  Refresh();
  g_open = true;
  return true;
}

bool Host_Clipboard_Close() {
  if (!g_open) return false;
  g_open = false;
  if (g_dirty) {
    g_dirty = false;
    Publish();
  }
  return true;
}

bool Host_Clipboard_Is_Open() { return g_open; }

bool Host_Clipboard_Empty() {
  if (!g_open) return false;
  Clear_Store();
  // Other programs must not go on pasting what was there before.
  g_dirty = true;
  return true;
}

bool Host_Clipboard_Set(uint32 format, const void* data, uint32 size) {
  if (!g_open || format == 0 || (data == nullptr && size != 0)) return false;
  // Adding to what another program copied: read the rest of it first, as
  // the desktop forgets it once we hold the clipboard.
  while (!g_lazy.empty()) {
    const uint32 f = g_lazy.begin()->first;
    if (f == format || (Is_Text(f) && Is_Text(format))) {
      g_lazy.erase(f);
      continue;
    }
    Materialize(f);
  }
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
    g_text_record = format;
  }
  g_dirty = true;
  return true;
}

bool Host_Clipboard_Has(uint32 format) {
  if (!g_open) Refresh();
  if (g_store.count(format) != 0 || g_lazy.count(format) != 0) return true;
  if (Is_Text(format)) return g_store.count(format == CF_TEXT ? CF_UNICODETEXT : CF_TEXT) != 0;
  return false;
}

bool Host_Clipboard_Get(uint32 format, const uint8*& data, uint32& size) {
  data = nullptr;
  size = 0;
  if (!g_open) return false;
  auto it = g_store.find(format);
  if (it == g_store.end()) {
    if (g_lazy.count(format) != 0) {
      if (!Materialize(format)) return false;
    } else if (!Is_Text(format) || !Synthesize(format)) {
      return false;
    }
    it = g_store.find(format);
    if (it == g_store.end()) return false;
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

void Host_Clipboard_Add_Type(uint32 format, const char* mime, uint64 max) {
  if (format == 0 || mime == nullptr || mime[0] == 0 || Is_Text(format) || format == CF_DIB) return;
  for (const Own_Type& o : g_types)
    if (o.format == format && Same_Type(o.mime, mime)) return;
  g_types.push_back(Own_Type{format, mime, max});
}

void Host_Clipboard_Set_Dib_Decoder(HostDibDecoder decoder) { g_dib_decoder = decoder; }

void Host_Clipboard_Set_Wait_Limit(uint32 ms) { g_wait_ms = std::max<uint32>(ms, 1); }
uint32 Host_Clipboard_Wait_Limit() { return g_wait_ms; }

void Host_Clipboard_Reset() {
  g_open = false;
  g_dirty = false;
  Clear_Store();
  g_known = 0;
  g_memory.Reset();
}

void Host_Clipboard_Foreign_Set(const std::map<std::string, std::vector<uint8>>& types) { g_memory.Foreign(types); }

void Host_Clipboard_Foreign_Text(const std::string& utf8) {
  if (utf8.empty()) {
    g_memory.Foreign({});
  } else {
    g_memory.Foreign({{kUtf8String, std::vector<uint8>(utf8.begin(), utf8.end())}});
  }
}

std::vector<std::string> Host_Clipboard_Published_Types() {
  HostClipboardPeer& peer = Host_Clipboard_Peer();
  std::vector<std::string> out;
  if (peer.Holder() == 0 || !peer.Types(out)) out.clear();
  return out;
}

bool Host_Clipboard_Published(const std::string& type, std::vector<uint8>& out) {
  HostClipboardPeer& peer = Host_Clipboard_Peer();
  out.clear();
  if (peer.Holder() == 0) return false;
  return peer.Read(type, ~uint64(0), out);
}

std::string Host_Clipboard_Published_Text() {
  std::vector<uint8> b;
  if (!Host_Clipboard_Published(kUtf8String, b)) return std::string();
  return std::string(b.begin(), b.end());
}

HostClipboardPeer& Host_Clipboard_Memory_Peer() { return g_memory; }
