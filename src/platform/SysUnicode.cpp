#include "platform/SysUnicode.h"

#include <cstring>

#include "platform/SysErr.h"
#include "platform/SysMem.h"

namespace {

enum class Dec { Char, Bad, End };

struct Step {
  Dec kind;
  uint32 cp;         // the code point for Dec::Char
  std::size_t next;  // where decoding goes on
};

inline uint8 Byte(CStrSpan in, std::size_t i) { return i < in.size() ? uint8(in[i]) : 0; }

// One character of UTF-8 at in[i]. Only well-formed shortest forms of code
// points up to U+10FFFF, surrogates excluded, give Dec::Char. A character cut
// off by the end of the text gives Dec::End (it is dropped). In the file-name
// form (ascii_ends) a lead byte followed by an ASCII byte ends the text too;
// otherwise such a broken sequence gives Dec::Bad and decoding resumes at the
// byte that broke it, so no ASCII character is ever swallowed.
Step Decode_One(CStrSpan in, std::size_t i, bool ascii_ends) {
  uint8 c1 = Byte(in, i);
  if (c1 == 0) return {Dec::End, 0, i};
  if (c1 < 0x80) return {Dec::Char, c1, i + 1};
  int need;
  uint32 cp;
  uint8 lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (c1 >= 0xC2 && c1 <= 0xDF) {
    need = 1;
    cp = c1 & 0x1Fu;
  } else if (c1 >= 0xE0 && c1 <= 0xEF) {
    need = 2;
    cp = c1 & 0x0Fu;
    if (c1 == 0xE0) lo = 0xA0;  // below: overlong
    if (c1 == 0xED) hi = 0x9F;  // above: a surrogate
  } else if (c1 >= 0xF0 && c1 <= 0xF4) {
    need = 3;
    cp = c1 & 0x07u;
    if (c1 == 0xF0) lo = 0x90;  // below: overlong
    if (c1 == 0xF4) hi = 0x8F;  // above: past U+10FFFF
  } else {
    // A continuation byte in lead position, an overlong lead (C0, C1) or a
    // byte that never occurs in UTF-8. It is replaced rather than skipped:
    // conversions never fail, and the mark shows the reader where text was
    // damaged while everything after it is kept.
    return {Dec::Bad, 0, i + 1};
  }
  for (int k = 1; k <= need; k++) {
    std::size_t j = i + std::size_t(k);
    uint8 b = Byte(in, j);
    if (b == 0) return {Dec::End, 0, j};
    if (b < 0x80) {
      if (ascii_ends) return {Dec::End, 0, j};
      return {Dec::Bad, 0, j};
    }
    uint8 l = k == 1 ? lo : 0x80;
    uint8 h = k == 1 ? hi : 0xBF;
    if (b < l || b > h) return {Dec::Bad, 0, j};
    cp = (cp << 6) | (b & 0x3Fu);
  }
  return {Dec::Char, cp, i + std::size_t(need) + 1};
}

// Decodes in into out[0 .. cap). Stops at the end of the text, or when the
// next character does not fit (overflow = true). Returns the units stored.
std::size_t Decode(CStrSpan in, UStrSpan out, std::size_t cap, bool ascii_ends, bool& overflow) {
  overflow = false;
  if (cap > out.size()) cap = out.size();
  std::size_t n = 0, i = 0;
  for (;;) {
    Step s = Decode_One(in, i, ascii_ends);
    if (s.kind == Dec::End) break;
    uint32 cp = s.kind == Dec::Char ? s.cp : kReplacementChar;
    std::size_t units = cp > 0xFFFF ? 2 : 1;
    if (n + units > cap) {
      overflow = true;
      break;
    }
    if (units == 2) {
      uint32 v = cp - 0x10000;
      out[n++] = UniChar(0xD800 + (v >> 10));
      out[n++] = UniChar(0xDC00 + (v & 0x3FF));
    } else {
      out[n++] = UniChar(cp);
    }
    i = s.next;
  }
  return n;
}

// Encodes the UTF-16 text (up to its first 0 unit) as UTF-8 into out, at
// most cap bytes (out may be NIL to count only). A character whose bytes do
// not all fit is left out whole and encoding stops. Returns the bytes.
std::size_t Encode(CUStrSpan in, char* out, std::size_t cap) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < in.size() && in[i] != 0; i++) {
    uint32 cp = in[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 &&
        in[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (uint32(in[i + 1]) - 0xDC00);
      i++;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacementChar;  // a lone surrogate has no UTF-8 form
    }
    uint8 b[4];
    std::size_t len;
    if (cp < 0x80) {
      b[0] = uint8(cp);
      len = 1;
    } else if (cp < 0x800) {
      b[0] = uint8(0xC0 | (cp >> 6));
      b[1] = uint8(0x80 | (cp & 0x3F));
      len = 2;
    } else if (cp < 0x10000) {
      b[0] = uint8(0xE0 | (cp >> 12));
      b[1] = uint8(0x80 | ((cp >> 6) & 0x3F));
      b[2] = uint8(0x80 | (cp & 0x3F));
      len = 3;
    } else {
      b[0] = uint8(0xF0 | (cp >> 18));
      b[1] = uint8(0x80 | ((cp >> 12) & 0x3F));
      b[2] = uint8(0x80 | ((cp >> 6) & 0x3F));
      b[3] = uint8(0x80 | (cp & 0x3F));
      len = 4;
    }
    if (n + len > cap) break;
    if (out)
      for (std::size_t k = 0; k < len; k++) out[n + k] = char(b[k]);
    n += len;
  }
  return n;
}

// ANSI text into out, cut at out's HIGH units; 0 after it.
void Ansi_Cut(CStrSpan in, UStrSpan out) {
  if (out.empty()) return;
  bool overflow;
  std::size_t n = Decode(in, out, out.size() - 1, false, overflow);
  out[n] = 0;
}

}  // namespace

void Ascii_To_UTF16(CStrSpan in, UStrSpan out) {
  if (out.empty()) return;
  bool overflow;
  std::size_t n = Decode(in, out, out.size() - 1, false, overflow);
  out[overflow ? 0 : n] = 0;
}

void JIS_To_UTF16(CStrSpan in, UStrSpan out) { Ascii_To_UTF16(in, out); }
void Roman_To_UTF16(CStrSpan in, UStrSpan out) { Ansi_Cut(in, out); }
void PString_To_Unicode(CStrSpan in, UStrSpan out) { Ansi_Cut(in, out); }
void Convert_To_Unicode(CStrSpan in, UStrSpan out, int32 /*src_encoding*/) { Ansi_Cut(in, out); }

int32 UTF8_Decode(CStrSpan in, UStrSpan out) {
  bool overflow;
  return int32(Decode(in, out, out.size(), false, overflow));
}

void UTF8_To_UTF16(CStrSpan in, UStrSpan out) {
  if (out.empty()) return;
  // At most HIGH - 1 units: the last place before the 0 is kept free, as the
  // callers' buffers have always been sized for.
  std::size_t high = out.size() - 1;
  std::size_t cap = high > 0 ? high - 1 : 0;
  bool overflow;
  std::size_t n = Decode(in, out, cap, true, overflow);
  out[n] = 0;
}

void Filename_To_UTF16(CStrSpan in, UStrSpan out) { UTF8_To_UTF16(in, out); }

void UTF16_To_UTF8(CUStrSpan in, StrSpan out) {
  if (out.empty()) return;
  std::size_t high = out.size() - 1;
  std::size_t cap = high > 0 ? high - 1 : 0;
  std::size_t n = Encode(in, out.data(), cap);
  out[n] = '\0';
}

void From_Unicode(Ptr& uni_buf) {
  if (!uni_buf) return;
  uint32 size = Ptr_GetSize(uni_buf);
  std::size_t count = size / sizeof(UniChar);
  // Units copied out of the block: it is only byte-aligned as far as the
  // caller's data is concerned, and the text may lack its 0 unit.
  UniChar* units = nullptr;
  Ptr tmp = New_Ptr(uint32(count * sizeof(UniChar)));
  if (!tmp) {
    g_err_mem_proc(uint32(count * sizeof(UniChar)));
    return;
  }
  units = reinterpret_cast<UniChar*>(tmp);
  if (count) std::memcpy(units, uni_buf, count * sizeof(UniChar));
  CUStrSpan text(units, count);
  if (!text.empty() && (text[0] == 0xFEFF || text[0] == 0xFFFE)) text = text.subspan(1);
  std::size_t bytes = Encode(text, nullptr, SIZE_MAX);
  Ptr out = New_Ptr(uint32(bytes + 1));
  if (!out) {
    Dispose_Ptr(tmp);
    g_err_mem_proc(uint32(bytes + 1));
    return;
  }
  Encode(text, out, bytes);
  out[bytes] = '\0';
  Dispose_Ptr(tmp);
  Dispose_Ptr(uni_buf);
  uni_buf = out;
}
