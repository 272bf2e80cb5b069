// Text word-wrapped into a box. See TextEdit.h.
#include "platform/TextEdit.h"

#include "host/HostText.h"
#include "platform/QuickdrawPriv.h"
#include "platform/SysWin.h"

void TETextBox(const char* text, int32 length, const Rect& box, int16 just) {
  if (!QD_Port_Ready() || !text || length <= 0) return;
  int32 n = 0;
  while (n < length && text[n] != 0) ++n;
  if (n == 0) return;
  uint32 format = DT_WORDBREAK | DT_NOPREFIX | DT_TOP;
  if (just == teCenter) format |= DT_CENTER;
  else if (just == teFlushRight) format |= DT_RIGHT;
  RECT r{box.left, box.top, box.right, box.bottom};
  const uint32 old_align = SetTextAlign(theHDC, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  const int32 old_mode = SetBkMode(theHDC, theShadow->text_mode == 1 ? TRANSPARENT : OPAQUE);
  DrawTextA(theHDC, text, n, &r, format);
  if (old_mode) SetBkMode(theHDC, old_mode);
  if (old_align != 0xFFFFFFFFu) SetTextAlign(theHDC, old_align);
}
