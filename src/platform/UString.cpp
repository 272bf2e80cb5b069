#include "platform/UString.h"

#include <algorithm>
#include <array>

#include "host/HostByteOrder.h"
#include "platform/SysUnicode.h"

namespace {
inline UniChar At(CUStrSpan s, std::size_t i) { return i < s.size() ? s[i] : UniChar(0); }
}  // namespace

int32 uStrLength(CUStrSpan str) {
  std::size_t n = 0;
  while (n < str.size() && str[n] != 0) n++;
  return int32(n);
}

void uStrCopy(CUStrSpan source, UStrSpan dest) {
  if (dest.empty()) return;
  std::size_t high = dest.size() - 1;
  std::size_t i = 0;
  while (i < source.size() && i < high && source[i] != 0) {
    dest[i] = source[i];
    i++;
  }
  dest[i] = 0;
}

void uStrCopyMN(CUStrSpan source, UStrSpan dest) {
  if (dest.empty()) return;
  std::size_t high = dest.size() - 1;
  std::size_t i = 0;
  while (i < source.size() && i < high && source[i] != 0) {
    UniChar u = source[i];
    dest[i] = UniChar(((u & 0xFF) << 8) | (u >> 8));
    i++;
  }
  dest[i] = 0;
}

void uAppend(CUStrSpan source, UStrSpan dest) {
  if (dest.empty()) return;
  std::size_t high = dest.size() - 1;
  std::size_t pos = std::size_t(uStrLength(dest));
  if (pos >= high) return;  // full, or no 0 below HIGH: left as it is
  std::size_t i = 0;
  while (i < source.size() && source[i] != 0 && pos < high) dest[pos++] = source[i++];
  dest[pos] = 0;
}

void uStrCopyAscii(CStrSpan ascii, UStrSpan dest) { Ascii_To_UTF16(ascii, dest); }

void uAppendAscii(CStrSpan ascii, UStrSpan dest) {
  std::array<UniChar, 256> tmp{};
  Ascii_To_UTF16(ascii, tmp);
  uAppend(tmp, dest);
}

bool8 uStrBegins(CUStrSpan name, CStrSpan pattern) {
  for (std::size_t i = 0; i < pattern.size() && pattern[i] != '\0'; i++)
    if (At(name, i) != UniChar(uint8(pattern[i]))) return false;
  return true;
}

// Only start positions inside the text count: units left over after the
// terminating 0 are not part of the string and must not match.
bool8 uStrContains(CUStrSpan name, CStrSpan pattern) {
  std::size_t len = std::size_t(uStrLength(name));
  std::size_t plen = 0;
  while (plen < pattern.size() && pattern[plen] != '\0') plen++;
  if (plen > len) return false;
  for (std::size_t start = 0; start + plen <= len; start++)
    if (uStrBegins(name.subspan(start, len - start), pattern)) return true;
  return false;
}

int16 uCompare(CUStrSpan stringA, CUStrSpan stringB) {
  for (std::size_t i = 0;; i++) {
    UniChar a = At(stringA, i);
    UniChar b = At(stringB, i);
    if (a != b) return a < b ? -1 : 1;
    if (a == 0) return 0;
  }
}

bool8 uStrExtract(CByteSpan& base, UStrSpan ustr) {
  if (!ustr.empty()) ustr[0] = 0;
  if (base.size() < 2) return false;
  std::size_t count = Load_BE16(base);
  if (base.size() - 2 < count * 2) return false;
  std::size_t keep = ustr.empty() ? 0 : std::min(count, ustr.size() - 1);
  for (std::size_t i = 0; i < keep; i++)
    ustr[i] = UniChar(Load_BE16(base, 2 + 2 * i));
  if (!ustr.empty()) ustr[keep] = 0;
  base = base.subspan(2 + count * 2);
  return true;
}
