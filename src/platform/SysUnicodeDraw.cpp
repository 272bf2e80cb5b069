// Drawing and measuring UTF-16 text in the current port. See SysUnicode.h.
#include <algorithm>

#include "host/HostText.h"
#include "platform/QuickdrawPriv.h"
#include "platform/SysFont.h"
#include "platform/SysUnicode.h"
#include "platform/SysWin.h"

namespace {

// The units [offset, offset + count) of buf, ending early at a 0 unit.
bool Sub_Text(CUStrSpan buf, int32 offset, int32 count, const UniChar*& p, int32& n) {
  if (offset < 0 || count <= 0 || size_t(offset) >= buf.size()) return false;
  p = buf.data() + offset;
  const int32 lim = int32(std::min<size_t>(size_t(count), buf.size() - size_t(offset)));
  n = 0;
  while (n < lim && p[n] != 0) ++n;
  return n > 0;
}

}  // namespace

void uDrawString2(const UniChar* src, int32 count) {
  if (!QD_Port_Ready() || !src || count <= 0) return;
  const int32 old = SetBkMode(theHDC, theShadow->text_mode == 1 ? TRANSPARENT : OPAQUE);
  TextOutW(theHDC, 0, 0, src, count);
  if (old) SetBkMode(theHDC, old);
}

void uDrawString(CUStrSpan ss, const a_fontspec& spec) {
  uDrawText(ss, 0, int32(std::min<size_t>(ss.size(), 0x7FFFFFFF)), spec);
}

void uDrawText(CUStrSpan buf, int32 offset, int32 count, const a_fontspec& spec) {
  const UniChar* p = nullptr;
  int32 n = 0;
  if (!Sub_Text(buf, offset, count, p, n)) return;
  SetFont(spec);
  uDrawString2(p, n);
}

int16 uStringWidth2(const UniChar* src, int32 count) {
  if (!theHDC || !src || count <= 0) return 0;
  SIZE sz{0, 0};
  if (!GetTextExtentPoint32W(theHDC, src, count, &sz)) return 0;
  return int16(std::clamp<int32>(sz.cx, 0, kMaxTextWidth));
}

int16 uStringWidth(CUStrSpan ss, const a_fontspec& spec) {
  return uTextWidth(ss, 0, int32(std::min<size_t>(ss.size(), 0x7FFFFFFF)), spec);
}

int16 uTextWidth(CUStrSpan buf, int32 offset, int32 count, const a_fontspec& spec) {
  const UniChar* p = nullptr;
  int32 n = 0;
  if (!Sub_Text(buf, offset, count, p, n)) return 0;
  SetFont(spec);
  return uStringWidth2(p, n);
}
