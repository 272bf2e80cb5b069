// The UTF-8 / UTF-16 converter. See HostUtf.h.
#include "host/HostUtf.h"

void Host_Utf8_Append(std::string& out, char32_t cp) {
  char b[4];
  out.append(b, Host_Utf8_Encode(cp, b));
}

void Host_Utf16_Append(std::u16string& out, char32_t cp) {
  char16_t u[2];
  out.append(u, Host_Utf16_Encode(cp, u));
}

bool Host_Utf8_Valid(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const HostUtf8Step st = Host_Utf8_Next(s, i);
    if (st.kind != HostUtf8Kind::kChar) return false;
    i = st.next;
  }
  return true;
}

std::u16string Host_Utf8_To_Utf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const HostUtf8Step st = Host_Utf8_Next(s, i);
    Host_Utf16_Append(out, st.cp);
    i = st.next;
  }
  return out;
}

bool Host_Utf8_To_Utf16_Strict(std::string_view s, std::u16string& out) {
  out.clear();
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const HostUtf8Step st = Host_Utf8_Next(s, i);
    if (st.kind != HostUtf8Kind::kChar) {
      out.clear();
      return false;
    }
    Host_Utf16_Append(out, st.cp);
    i = st.next;
  }
  return true;
}

std::string Host_Utf16_To_Utf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) Host_Utf8_Append(out, Host_Utf16_Next(s, i));
  return out;
}

std::string Host_Utf16_To_Utf8(const UniChar* s, std::size_t max_units) {
  if (!s) return std::string();
  std::size_t n = 0;
  while (n < max_units && s[n]) ++n;
  return Host_Utf16_To_Utf8(std::u16string_view(s, n));
}

std::size_t Host_Utf8_Cut(std::string_view s, std::size_t max) {
  if (s.size() <= max) return s.size();
  std::size_t n = max;
  while (n > 0 && (uint8(s[n]) & 0xC0) == 0x80) --n;
  return n;
}

std::size_t Host_Utf8_To_Utf16_Into(std::string_view in, std::span<char16_t> out, const HostUtf8Options& opt,
                                    bool* full) {
  if (full) *full = false;
  std::size_t n = 0;
  for (std::size_t i = 0; i < in.size();) {
    const HostUtf8Step st = Host_Utf8_Next(in, i);
    if (st.kind == HostUtf8Kind::kCut && !opt.replace_cut_tail) break;
    // A lead byte whose sequence an ASCII byte broke: st.next is that byte.
    if (opt.ascii_ends && st.kind == HostUtf8Kind::kBad && uint8(in[i]) >= 0xC2 && uint8(in[i]) <= 0xF4 &&
        uint8(in[st.next]) < 0x80) break;
    char16_t u[2];
    const std::size_t k = Host_Utf16_Encode(st.cp, u);
    if (n + k > out.size()) {
      if (full) *full = true;
      break;
    }
    for (std::size_t j = 0; j < k; ++j) out[n + j] = u[j];
    n += k;
    i = st.next;
  }
  return n;
}

std::size_t Host_Utf16_To_Utf8_Into(std::u16string_view in, std::span<char> out) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < in.size();) {
    char b[4];
    const std::size_t k = Host_Utf8_Encode(Host_Utf16_Next(in, i), b);
    if (n + k > out.size()) break;
    for (std::size_t j = 0; j < k; ++j) out[n + j] = b[j];
    n += k;
  }
  return n;
}
