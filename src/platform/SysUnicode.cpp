#include "platform/SysUnicode.h"

#include <cstring>
#include <string>
#include <string_view>

#include "host/HostUtf.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"

namespace {

// The text of an 8-bit span: up to its first NUL or its end.
std::string_view Text(CStrSpan in) {
  std::size_t n = 0;
  while (n < in.size() && in[n] != 0) n++;
  return std::string_view(in.data(), n);
}

// The text of a UTF-16 span: up to its first 0 unit or its end.
std::u16string_view Text(CUStrSpan in) {
  std::size_t n = 0;
  while (n < in.size() && in[n] != 0) n++;
  return std::u16string_view(in.data(), n);
}

// Decodes in into out[0 .. cap). Malformed parts become U+FFFD; a character
// cut off by the end of the text is dropped. In the file-name form
// (ascii_ends) a lead byte followed by an ASCII byte ends the text. Stops
// when the next character does not fit (overflow = true). Returns the units
// stored.
std::size_t Decode(CStrSpan in, UStrSpan out, std::size_t cap, bool ascii_ends, bool& overflow) {
  if (cap > out.size()) cap = out.size();
  HostUtf8Options opt;
  opt.replace_cut_tail = false;
  opt.ascii_ends = ascii_ends;
  return Host_Utf8_To_Utf16_Into(Text(in), out.first(cap), opt, &overflow);
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
  std::size_t n = Host_Utf16_To_Utf8_Into(Text(in), out.first(cap));
  out[n] = '\0';
}

void From_Unicode(Ptr& uni_buf) {
  if (!uni_buf) return;
  uint32 size = Ptr_GetSize(uni_buf);
  std::size_t count = size / sizeof(UniChar);
  // Units copied out of the block: it is only byte-aligned as far as the
  // caller's data is concerned, and the text may lack its 0 unit.
  Ptr tmp = New_Ptr(uint32(count * sizeof(UniChar)));
  if (!tmp) {
    g_err_mem_proc(uint32(count * sizeof(UniChar)));
    return;
  }
  const UniChar* units = reinterpret_cast<const UniChar*>(tmp);
  if (count) std::memcpy(tmp, uni_buf, count * sizeof(UniChar));
  std::u16string_view text = Text(CUStrSpan(units, count));
  if (!text.empty() && (text[0] == 0xFEFF || text[0] == 0xFFFE)) text.remove_prefix(1);
  const std::string bytes = Host_Utf16_To_Utf8(text);
  Dispose_Ptr(tmp);
  Ptr out = New_Ptr(uint32(bytes.size() + 1));
  if (!out) {
    g_err_mem_proc(uint32(bytes.size() + 1));
    return;
  }
  std::memcpy(out, bytes.data(), bytes.size());
  out[bytes.size()] = '\0';
  Dispose_Ptr(uni_buf);
  uni_buf = out;
}
