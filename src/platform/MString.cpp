#include "platform/MString.h"

#include <array>
#include <cstring>

#include "platform/Convert.h"
#include "platform/Quickdraw.h"

namespace {

// Character at i, NUL past the end of the array.
inline char At(CStrSpan s, std::size_t i) { return i < s.size() ? s[i] : '\0'; }

inline void Terminate(StrSpan s, std::size_t n) {
  if (s.empty()) return;
  s[n < s.size() ? n : s.size() - 1] = '\0';
}

}  // namespace

int32 mStrLength(CStrSpan str) {
  std::size_t n = 0;
  while (n < str.size() && str[n] != '\0') n++;
  return int32(n);
}

void mSetLength(StrSpan str, int32 len) {
  if (str.empty()) return;
  if (len < 0) len = 0;
  Terminate(str, std::size_t(len));
}

void mSetChar(StrSpan ss, int32 pos, char cc) {
  if (pos >= 0 && std::size_t(pos) < ss.size()) ss[std::size_t(pos)] = cc;
}

char mGetChar(CStrSpan ss, int32 pos) {
  return pos >= 0 ? At(ss, std::size_t(pos)) : '\0';
}

void mStrCopy(CStrSpan source, StrSpan dest) {
  if (dest.empty()) return;
  std::size_t high = dest.size() - 1;
  std::size_t i = 0;
  // Copying a string onto itself is harmless: each character lands where it was.
  while (i < source.size() && i < high && source[i] != '\0') {
    dest[i] = source[i];
    i++;
  }
  dest[i] = '\0';
}

bool8 mStrAssign(StrSpan dest, std::string_view text) {
  if (dest.empty()) return false;
  if (text.size() >= dest.size()) {
    dest[0] = 0;
    return false;
  }
  std::memcpy(dest.data(), text.data(), text.size());
  dest[text.size()] = 0;
  return true;
}

void mAppend(CStrSpan small, StrSpan big) {
  if (big.empty()) return;
  std::size_t high = big.size() - 1;
  std::size_t pos = std::size_t(mStrLength(big));
  if (pos > high) pos = high;  // no NUL anywhere: the last place gets it
  std::size_t i = 0;
  while (i < small.size() && small[i] != '\0' && pos < high) big[pos++] = small[i++];
  big[pos] = '\0';
}

void mPrepend(CStrSpan small, StrSpan big) {
  if (big.empty()) return;
  std::array<char, 256> old{};
  mStrCopy(big, old);  // the copy also makes small and big safe to overlap
  std::array<char, 256> front{};
  mStrCopy(small, front);
  mStrCopy(front, big);
  mAppend(old, big);
}

// The same text as Convert's decimal routine: padding cut to the
// destination, asterisks when the digits do not fit.
void mIntToStr(int32 num, StrSpan str, int16 len) { Int32ToStr(num, str, len); }

void mAppendInt(int32 val, StrSpan str) {
  char buf[16];
  mIntToStr(val, buf, 1);
  mAppend(buf, str);
}

void mAppendIntPadded(int32 val, StrSpan str, int16 len) {
  std::array<char, 256> buf{};
  mIntToStr(val, buf, len);
  mAppend(buf, str);
}

void mStrToInt(CStrSpan string, int16& value, bool8& done) {
  done = true;
  int16 acc = 0;
  bool neg = false;
  for (std::size_t i = 0; i < string.size() && string[i] != '\0'; i++) {
    char c = string[i];
    if (i == 0 && c == '-') {
      neg = true;
      continue;
    }
    if (i == 0 && c == '+') continue;
    if (c < '0' || c > '9' || acc >= 3276) {
      done = false;
      break;
    }
    acc = int16(acc * 10 + (c - '0'));
  }
  value = neg ? int16(-acc) : acc;
}

// Reads the full signed 32-bit range ("-2147483648" included); a value that
// would not fit stops the scan with done = FALSE instead of wrapping around.
void mStrToLong(CStrSpan string, int32& value, bool8& done) {
  done = true;
  uint32 acc = 0;
  bool neg = false;
  for (std::size_t i = 0; i < string.size() && string[i] != '\0'; i++) {
    char c = string[i];
    if (i == 0 && c == '-') {
      neg = true;
      continue;
    }
    if (i == 0 && c == '+') continue;
    uint32 limit = neg ? 2147483648u : 2147483647u;
    if (c < '0' || c > '9' || acc > (limit - uint32(c - '0')) / 10) {
      done = false;
      break;
    }
    acc = acc * 10 + uint32(c - '0');
  }
  if (neg)
    value = acc == 2147483648u ? INT32_MIN : -int32(acc);
  else
    value = int32(acc);
}

bool8 mStrBegins(CStrSpan name, CStrSpan pattern) {
  for (std::size_t i = 0; i < pattern.size() && pattern[i] != '\0'; i++)
    if (At(name, i) != pattern[i]) return false;
  return true;
}

bool8 mStrFind(CStrSpan name, CStrSpan patt) {
  std::size_t pl = std::size_t(mStrLength(patt));
  std::size_t nl = std::size_t(mStrLength(name));
  if (pl == 0 || pl > nl) return false;
  for (std::size_t start = 0; start + pl <= nl; start++) {
    std::size_t k = 0;
    while (k < pl && name[start + k] == patt[k]) k++;
    if (k == pl) return true;
  }
  return false;
}

int16 mCompare(CStrSpan stringA, CStrSpan stringB) {
  for (std::size_t i = 0;; i++) {
    uint8 a = uint8(At(stringA, i));
    uint8 b = uint8(At(stringB, i));
    if (a != b) return a < b ? -1 : 1;
    if (a == 0) return 0;
  }
}

bool8 mCompare_Equal(CStrSpan stringA, CStrSpan stringB, bool8 upshift) {
  int32 la = mStrLength(stringA);
  if (la != mStrLength(stringB)) return false;
  for (int32 i = 0; i < la; i++) {
    char a = stringA[std::size_t(i)];
    char b = stringB[std::size_t(i)];
    if (upshift) {
      if (a >= 'a' && a <= 'z') a = char(a - 'a' + 'A');
      if (b >= 'a' && b <= 'z') b = char(b - 'a' + 'A');
    }
    if (a != b) return false;
  }
  return true;
}

bool8 mCompare_NoBlanks(CStrSpan stringA, CStrSpan stringB) {
  std::size_t la = std::size_t(mStrLength(stringA));
  std::size_t lb = std::size_t(mStrLength(stringB));
  std::size_t i = 0, j = 0;
  for (;;) {
    while (i < la && stringA[i] == ' ') i++;
    while (j < lb && stringB[j] == ' ') j++;
    if (i == la || j == lb) return i == la && j == lb;
    if (stringA[i] != stringB[j]) return false;
    i++;
    j++;
  }
}

int16 mStrWidth(CStrSpan ss) {
  Str255 copy;
  mStrCopy(ss, StrSpan(copy));
  return StringWidth(CStrSpan(copy));
}
