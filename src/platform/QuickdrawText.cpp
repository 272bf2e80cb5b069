// Toolbox-style text output and measuring in the current port, with the font
// SetFont selected into it. See Quickdraw.h.
#include <algorithm>

#include "host/HostText.h"
#include "platform/Quickdraw.h"
#include "platform/QuickdrawPriv.h"
#include "platform/SysWin.h"

namespace {

// Length of the text in s: up to its NUL or the end of the span.
int32 Text_Len(CStrSpan s, int32 max) {
  int32 n = 0;
  const int32 lim = int32(std::min<size_t>(s.size(), size_t(max)));
  while (n < lim && s[size_t(n)] != 0) ++n;
  return n;
}

// The part [first, first + count) of buf, cut to the span. FALSE when
// nothing remains.
bool Sub_Range(CStrSpan buf, int32 first, int32 count, const char*& p, int32& n) {
  if (first < 0 || count <= 0 || size_t(first) >= buf.size()) return false;
  p = buf.data() + first;
  n = int32(std::min<size_t>(size_t(count), buf.size() - size_t(first)));
  return n > 0;
}

}  // namespace

void DrawString2(const char* buf, int32 len) {
  if (!QD_Port_Ready() || !buf || len <= 0) return;
  const int32 old = SetBkMode(theHDC, theShadow->text_mode == 1 ? TRANSPARENT : OPAQUE);
  // The alignment of the drawing state (baseline, update of the current
  // position) makes the text start at the pen and leaves the pen behind it.
  TextOutA(theHDC, 0, 0, buf, len);
  if (old) SetBkMode(theHDC, old);
}

void DrawChar(char ch) { DrawString2(&ch, 1); }

void DrawString(CStrSpan s) { DrawString2(s.data(), Text_Len(s, 255)); }

void DrawText(CStrSpan textBuf, int32 firstByte, int32 byteCount) {
  const char* p = nullptr;
  int32 n = 0;
  if (Sub_Range(textBuf, firstByte, byteCount, p, n)) DrawString2(p, n);
}

int16 QD_Text_Width(const char* buf, int32 len) {
  if (!theHDC || !buf || len <= 0) return 0;
  SIZE sz{0, 0};
  if (!GetTextExtentPoint32A(theHDC, buf, len, &sz)) return 0;
  return int16(std::clamp<int32>(sz.cx, 0, kMaxTextWidth));
}

int16 CharWidth(char ch) { return QD_Text_Width(&ch, 1); }

int16 StringWidth(CStrSpan s) { return QD_Text_Width(s.data(), Text_Len(s, 255)); }

int16 TextWidth(CStrSpan textBuf, int32 firstByte, int32 byteCount) {
  const char* p = nullptr;
  int32 n = 0;
  return Sub_Range(textBuf, firstByte, byteCount, p, n) ? QD_Text_Width(p, n) : int16(0);
}
