#include "doc/VoskDoc.h"

#include <algorithm>

#include "pixel/OPUtil.h"
#include "platform/Quickdraw.h"
#include "platform/SysErr.h"
#include "platform/SysFont.h"
#include "platform/SysLoop.h"
#include "platform/VoskErr.h"

a_direct_print_kind Calc_Direct_Print_KindT(const a_template& tmpl) {
  if ((tmpl.tflags & (1u << IS_CDPRINTER)) == 0) return NOT_DIRECT;
  switch (tmpl.units[0].kind) {
    case UNIT_CD: return CD_DIRECT;
    case UNIT_MINICD_RING: return MINICD_DIRECT;
    case UNIT_MINICD_HOCKEY: return HOCKEY_DIRECT;
    case UNIT_MINICD_RECT: return RECT_DIRECT;
    default: break;
  }
  QUIT();
  return NOT_DIRECT;  // QUIT does not return in the program; tests' hooks throw
}

a_direct_print_kind Calc_Direct_Print_Kind() { return Calc_Direct_Print_KindT(g_doc.doc_template); }

bool8 Is_Landscape() { return (g_doc.doc_template.tflags & (1u << IS_LANDSCAPE)) != 0; }

void Fill_Missing_Pattern(const Rect& dest) {
  if (dest.bottom <= dest.top || dest.right <= dest.left) return;
  BackColor(0);
  EraseRect(dest);
  RgnHandle saved = NewRgn();
  GetClip(saved);
  ClipRect(dest);
  a_fontspec font;
  Null_FontSpec(font);
  font.fontID = BASE_PROP_FONT != 0 ? BASE_PROP_FONT : 1;
  font.size = 14;
  SetFont(font);
  const RGBColor ink{242 * 257, 87 * 257, 185 * 257};
  RGBForeColor(ink);
  TextMode(1);  // transparent: the copies overlap nothing but white
  // The spacing comes from dialog string 12 (" (MISSING)"); the legend drawn
  // is the bare word.
  Str255 spacing{};
  Get_DLOG_String(spacing, 12);
  const int32 width = StringWidth(spacing);
  const int32 step = std::max<int32>(width + 12, 1);
  static const char kLegend[] = "MISSING";
  // Rows 20 pixels apart from the top, baseline 12 below the row; the first
  // row and every second one after it start half a string width further right.
  for (int32 row = 0, top = dest.top; top < int32(dest.bottom); ++row, top += 20) {
    const int32 x0 = int32(dest.left) + 5 + ((row & 1) == 0 ? width / 2 : 0);
    for (int32 x = x0; x < dest.right; x += step) {
      MoveTo(int16(x), int16(top + 12));
      DrawString(kLegend);
    }
  }
  SetClip(saved);
  DisposeRgn(saved);
  PenNormal();
  PenSize(1, 1);
  FrameRect(dest);
}

void VoskDoc_Init() {
  // What the layers below ask of the open document.
  g_direct_print_kind_proc = Calc_Direct_Print_Kind;
  g_is_landscape_proc = Is_Landscape;
  g_missing_pattern_proc = Fill_Missing_Pattern;
}
