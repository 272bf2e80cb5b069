#include "platform/SysDraw.h"

#include <algorithm>

#include "platform/QuickdrawPriv.h"
#include "platform/SysWin.h"

Pattern black_pattern = kPatBlack;
Pattern gray_pattern = kPatGray;
Pattern ltGray_pattern = kPatLtGray;
Pattern dkGray_pattern = kPatDkGray;

void SysDraw_Init() {
  black_pattern = qd.black;
  gray_pattern = qd.gray;
  ltGray_pattern = qd.ltGray;
  dkGray_pattern = qd.dkGray;
}

void PaintRgn_Hashed(RgnHandle rgn) {
  if (!QD_Port_Ready() || !rgn) return;
  HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, theShadow->fore_color.d);
  if (!hatch) return;
  const int32 old_mode = SetBkMode(theHDC, TRANSPARENT);
  ::FillRgn(theHDC, rgn, hatch);
  if (old_mode) SetBkMode(theHDC, old_mode);
  DeleteObject(hatch);
}

void Pointlist_Frame(std::span<const Point> list, Rect& dirty) {
  dirty = Rect{0, 0, 0, 0};
  if (list.size() < 3) return;
  int32 top = list[0].v, left = list[0].h, bottom = top, right = left;
  for (const Point& p : list) {
    top = std::min<int32>(top, p.v);
    left = std::min<int32>(left, p.h);
    bottom = std::max<int32>(bottom, p.v);
    right = std::max<int32>(right, p.h);
  }
  MoveTo(list[0].h, list[0].v);
  for (size_t i = 1; i < list.size(); ++i) LineTo(list[i].h, list[i].v);
  LineTo(list[0].h, list[0].v);
  const int32 pw = theShadow ? theShadow->pen_width : 1;
  dirty = Rect{QD_Clamp16(top), QD_Clamp16(left), QD_Clamp16(bottom + pw), QD_Clamp16(right + pw)};
}
