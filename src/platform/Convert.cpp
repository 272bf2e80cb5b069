#include "platform/Convert.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// Width cut to what the destination can hold.
std::size_t Cut_Width(StrSpan str, int16 width) {
  std::size_t high = str.size() - 1;
  std::size_t w = width > 0 ? std::size_t(width) : 0;
  return w > high ? high : w;
}

// Decimal digits of mag with an optional sign, right-aligned with blanks.
void Decimal_To_Str(uint32 mag, bool neg, StrSpan str, int16 width) {
  if (str.empty()) return;
  char rev[16];
  std::size_t n = 0;
  do {
    rev[n++] = char('0' + mag % 10);
    mag /= 10;
  } while (mag != 0);
  if (neg) rev[n++] = '-';
  std::size_t high = str.size() - 1;
  if (n > high) {
    OverflowString(str);
    return;
  }
  std::size_t w = Cut_Width(str, width);
  std::size_t k = 0;
  for (std::size_t i = n; i < w; i++) str[k++] = ' ';
  while (n > 0) str[k++] = rev[--n];
  str[k] = '\0';
}

}  // namespace

void OverflowString(StrSpan str) {
  if (str.empty()) return;
  std::size_t high = str.size() - 1;
  for (std::size_t i = 0; i < high; i++) str[i] = '*';
  str[high] = '\0';
}

void Word32ToStr(uint32 val, StrSpan str, int16 base, int16 width) {
  if (str.empty()) return;
  if (base < 2 || base > 16) {
    OverflowString(str);
    return;
  }
  std::size_t w = Cut_Width(str, width);
  if (w == 0) {
    if (str.size() < 2) {
      OverflowString(str);
      return;
    }
    str[0] = '0';
    str[1] = '\0';
    return;
  }
  // Fill from the right; digits above the width are dropped.
  for (std::size_t i = w; i > 0; i--) {
    str[i - 1] = kDigits[val % uint32(base)];
    val /= uint32(base);
  }
  str[w] = '\0';
}

void Card32ToStr(uint32 val, StrSpan str, int16 width) { Decimal_To_Str(val, false, str, width); }

void Int32ToStr(int32 val, StrSpan str, int16 width) {
  bool neg = val < 0;
  uint32 mag = neg ? uint32(0) - uint32(val) : uint32(val);
  Decimal_To_Str(mag, neg, str, width);
}

void RealToStr(float val, StrSpan str, int16 /*width*/, int16 decimal) {
  if (str.empty()) return;
  if (decimal < 0) decimal = 0;
  if (decimal > 40) decimal = 40;
  char buf[128];
  int n;
  // Any finite float fits buf (at most 39 integer digits, 40 decimals).
  if (std::isfinite(val))
    n = std::snprintf(buf, sizeof buf, "%.*f", int(decimal), double(val));
  else
    n = -1;  // infinity and NaN make no useful text: show the overflow mark
  if (n < 0 || std::size_t(n) > str.size() - 1) {
    OverflowString(str);
    return;
  }
  for (int i = 0; i <= n; i++) str[std::size_t(i)] = buf[i];
}

void StrToReal(CStrSpan ss, float& val, bool8& ok) {
  ok = true;
  float value = 0.0f;
  float step = 0.1f;
  bool neg = false;
  bool fraction = false;
  std::size_t i = 0;
  if (!ss.empty() && ss[0] == '-') {
    neg = true;
    i = 1;
  }
  for (; i < ss.size() && ss[i] != '\0'; i++) {
    char c = ss[i];
    if (c == '.' && !fraction) {
      fraction = true;
    } else if (c >= '0' && c <= '9') {
      float d = float(c - '0');
      if (!fraction) {
        value = value * 10.0f + d;
      } else {
        value = value + d * step;
        step = step / 10.0f;
      }
    } else {
      ok = false;
      break;
    }
  }
  val = neg ? -value : value;
}
