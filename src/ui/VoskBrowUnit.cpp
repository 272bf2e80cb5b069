// The unit list of the print panel: a strip of the document's units, one
// row each under a label row per section (a run of units of one kind), the
// current unit in red; its scrolling, the Tab key, the print marks and the
// clone toggle.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "objects/VoskBlok.h"
#include "objects/VoskCanv.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/TextUtil.h"
#include "platform/Controls.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysSound.h"
#include "platform/VoskErr.h"
#include "ui/VoskBrow.h"
#include "ui/VoskCurs.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"

a_ubox_list g_ubox{};

namespace {

constexpr int16 kRowH = 34;
constexpr int16 kCloneFrom = 52;  // a press this far right in the current unit's box toggles its clone state
constexpr int16 kStrKinds = 600;
constexpr int16 kStrCloneQuestion = 236, kStrOK = 8, kStrCancel = 105;
constexpr a_pixel24 kStripGrey{200, 200, 200};
constexpr a_pixel24 kCurrentRed{252, 62, 62};
constexpr a_pixel24 kKindInk{40, 40, 40};

// The scroll value the strip was last painted at: a thumb drag repaints
// only when it differs.
int32 g_thumb_painted = 1;

uint32 Unit_Count() { return g_doc.doc_open ? std::min<uint32>(g_doc.doc_template.nunits, MAXNUNITS) : 0; }

uint8 Kind_Of(uint32 ux) { return g_doc.doc_template.units[ux - 1].kind; }

int32 First_Row() {
  if (gs.uscroll_ctrl == nullptr) return 0;
  return std::max<int32>(0, GetControlValue(gs.uscroll_ctrl) - 1);
}

int32 Hidden_Rows() { return std::max<int32>(0, g_ubox.nrows - std::max<int16>(1, gs.uscroll_nview)); }

// The row's box on the screen, at the scroll bar's place.
Rect Shown_Box(int16 k) {
  Rect r = g_ubox.list[k].box;
  OffsetRect(r, 0, int16(-First_Row() * g_ubox.row_h));
  return r;
}

void Kind_Name(uint8 kind, uStr255& text) { Get_Translated_UString(text, kStrKinds, int16(kind + 1)); }

void Draw_Print_Mark(const Rect& r, bool8 on) {
  SetForeColor(255, 255, 255);
  PaintRect(r);
  SetForeColor(90, 90, 90);
  PenNormal();
  FrameRect(r);
  if (!on) return;
  PenSize(2, 2);
  MoveTo(int16(r.left + 3), int16(r.top + (r.bottom - r.top) / 2));
  LineTo(int16(r.left + (r.right - r.left) / 2 - 1), int16(r.bottom - 5));
  LineTo(int16(r.right - 4), int16(r.top + 3));
  PenNormal();
}

// Two linked rings for a clone, one ring for a master.
void Draw_Clone_Mark(const Rect& r, bool8 clone) {
  SetForeColor(70, 70, 70);
  PenSize(2, 2);
  const int16 d = int16(r.bottom - r.top);
  const Rect a{r.top, r.left, r.bottom, int16(r.left + d)};
  FrameOval(a);
  if (clone) {
    Rect b = a;
    OffsetRect(b, int16(d / 2 + 1), 0);
    FrameOval(b);
  }
  PenNormal();
}

void Paint_Row(int16 k, const Rect& box) {
  const a_ubox_item& item = g_ubox.list[k];
  if (item.kind == LABEL_KIND) {
    SetForeColor24(kStripGrey);
    PaintRect(box);
    uStr255 text{};
    Kind_Name(Kind_Of(item.ux), text);
    SetForeColor(90, 90, 90);
    Rect t = box;
    InsetRect(t, 8, 0);
    t.top = int16(t.top + 8);
    Draw_UString_Fit(0, gs.font_12pt, text, t);
    return;
  }
  const a_doc_unit* unit = Doc_Unit(item.ux);
  const bool current = item.ux == g_doc.upx;
  Rect r = box;
  InsetRect(r, 2, 2);
  if (current)
    SetForeColor24(kCurrentRed);
  else
    SetForeColor(236, 236, 236);
  PaintRect(r);
  SetForeColor(150, 150, 150);
  PenNormal();
  FrameRect(r);
  char number[12];
  std::snprintf(number, sizeof number, "%u", unsigned(item.ux));
  SetForeColor(current ? 255 : 0, current ? 255 : 0, current ? 255 : 0);
  const Rect num{r.top, r.left, r.bottom, int16(r.left + kCloneFrom - 4)};
  Draw_String_Fit(true, gs.font_14pt, CStrSpan(number, std::strlen(number)), num);
  const Rect marks{int16(r.top + 8), int16(r.right - 64), int16(r.bottom - 8), int16(r.right - 6)};
  uStr255 text{};
  Kind_Name(Kind_Of(item.ux), text);
  SetForeColor24(kKindInk);
  const Rect name{r.top, int16(r.left + kCloneFrom), r.bottom, int16(marks.left - 6)};
  Draw_UString_Fit(0, gs.font_18pt, text, name);
  if (unit == nullptr) return;
  Draw_Clone_Mark(Rect{marks.top, marks.left, marks.bottom, int16(marks.left + (marks.bottom - marks.top))},
                  unit->clonef);
  Draw_Print_Mark(Rect{marks.top, int16(marks.right - (marks.bottom - marks.top)), marks.bottom, marks.right},
                  unit->printf);
}

int16 Row_Of(uint32 ux) {
  for (int16 k = 0; k < g_ubox.nlist; ++k)
    if (g_ubox.list[k].kind == UNIT_KIND && g_ubox.list[k].ux == ux) return k;
  return -1;
}

void Set_First_Row(int32 row) {
  if (gs.uscroll_ctrl == nullptr) return;
  SetControlValue(gs.uscroll_ctrl, std::clamp<int32>(row, 0, Hidden_Rows()) + 1);
}

bool Same_Design(const a_doc_unit& a, const a_doc_unit& b) {
  if (std::memcmp(&a.canv.cv, &b.canv.cv, sizeof a.canv.cv) != 0) return false;
  if (a.oj.nlist != b.oj.nlist) return false;
  for (int32 i = 0; i < a.oj.nlist; ++i)
    if (a.oj.list[i].kind != b.oj.list[i].kind) return false;
  return true;
}

// The master ux would become a clone of: the nearest master before it, in
// the same section and of the same canvas size; 0 when there is none.
uint32 Clone_Master_For(uint32 ux) {
  if (ux < 2 || ux > Unit_Count() || Kind_Of(ux) != Kind_Of(ux - 1)) return 0;
  const uint32 m = Find_Clone_Master(ux - 1);
  const a_doc_unit* master = Doc_Unit(m);
  const a_doc_unit* unit = Doc_Unit(ux);
  if (master == nullptr || unit == nullptr || !EqualRect(master->paintbounds, unit->paintbounds)) return 0;
  return m;
}

}  // namespace

void Calc_UnitList(const Rect& area) {
  a_ubox_list& l = g_ubox;
  l.nlist = 0;
  l.area = area;
  l.row_h = kRowH;
  const uint32 n = Unit_Count();
  int16 row = 0;
  for (uint32 ux = 1; ux <= n && l.nlist + 2 <= MAX_UBOX; ++ux) {
    if (ux == 1 || Kind_Of(ux) != Kind_Of(ux - 1))
      l.list[l.nlist++] = a_ubox_item{LABEL_KIND, Rect{}, ux};
    l.list[l.nlist++] = a_ubox_item{UNIT_KIND, Rect{}, ux};
  }
  l.nrows = l.nlist;
  gs.uscroll_nview = int16(std::max<int32>(1, (area.bottom - area.top) / kRowH));
  for (int16 k = 0; k < l.nlist; ++k) {
    const int16 top = int16(area.top + row++ * kRowH);
    l.list[k].box = Rect{top, area.left, int16(top + kRowH), area.right};
  }
}

int32 Calc_UnitList_V(const Rect& list) {
  Calc_UnitList(list);
  return Hidden_Rows();
}

void UnitList_Paint(const Rect& area) {
  Calc_UnitList(area);
  SetForeColor24(kStripGrey);
  PaintRect(area);
  PushClip(area);
  const int32 first = First_Row();
  g_thumb_painted = first + 1;
  for (int16 k = int16(first); k < g_ubox.nlist && k < first + gs.uscroll_nview + 1; ++k)
    Paint_Row(k, Shown_Box(k));
  PopClip();
}

void UnitList_Paint1(uint32) { Custom_Paint(CUSTOM_UNITLIST); }

void UnitList_MouseDown(const a_mousestroke& stroke) {
  int16 hit = -1;
  for (int16 k = 0; k < g_ubox.nlist && hit < 0; ++k)
    if (g_ubox.list[k].kind == UNIT_KIND && PtInRect(stroke.lmouse, Shown_Box(k)) &&
        PtInRect(stroke.lmouse, g_ubox.area))
      hit = k;
  if (!stroke.button1) {
    if (hit >= 0)
      Cursor_Set_Shape(FINGER_CURSOR);
    else
      Cursor_Arrow();
    return;
  }
  if (hit < 0) return;
  const uint32 ux = g_ubox.list[hit].ux;
  if (ux != g_doc.upx) {
    Sound_Effect(SND_SUBTOOL_ONESHOT);
    Select_Doc_Unit(ux);
    Custom_Inval(CUSTOM_PREVIEW);
    Custom_Paint(CUSTOM_UNITLIST);
    return;
  }
  if (stroke.lmouse.h - Shown_Box(hit).left >= kCloneFrom) Toggle_Clone(ux);
}

void UnitList_NonThumbAction(int16 part, HWND ctrl) {
  if (ctrl == nullptr) return;
  const int16 nview = std::max<int16>(1, gs.uscroll_nview);
  int32 delta = 0;
  switch (part) {
    case SB_LINEUP: delta = -1; break;
    case SB_LINEDOWN: delta = 1; break;
    case SB_PAGEUP: delta = -std::max<int16>(1, int16(nview - 1)); break;
    case SB_PAGEDOWN: delta = std::max<int16>(1, int16(nview - 1)); break;
    case SCROLL_WHEEL: delta = int32(nview) * g_wheel_delta; break;
    default: return;
  }
  const int32 old = GetControlValue(ctrl);
  const int32 wanted = std::clamp<int32>(old + delta, 1, 1 + Hidden_Rows());
  if (wanted != old) SetControlValue(ctrl, wanted);
  if (GetControlValue(ctrl) != old) {
    Sound_Effect(SND_SUBTOOL_SLIDER);
    Custom_Paint(CUSTOM_UNITLIST);
  } else {
    Sound_Effect(SND_LIMIT);
    Sleep(1);
  }
}

void UnitList_ThumbAction(int16, HWND ctrl) {
  if (ctrl == nullptr) return;
  const int32 v = GetControlValue(ctrl);
  if (v == g_thumb_painted) return;
  g_thumb_painted = v;
  Custom_Paint(CUSTOM_UNITLIST);
}

bool8 UnitList_KeyFilter(const a_keystroke& key) {
  const bool tab = key.virtcode == VK_TAB || key.charcode == 9;
  if (!tab || Unit_Count() < 2) return false;
  Cycle_Unit_Selected((key.mods & Keymod_Bit(SHIFTKEY)) != 0);
  return true;
}

void Cycle_Unit_Selected(bool8 forward) {
  const uint32 n = Unit_Count();
  if (n < 2) return;
  const uint32 cur = std::clamp<uint32>(g_doc.upx, 1, n);
  Jump_To_Unit(forward ? (cur == n ? 1 : cur + 1) : (cur == 1 ? n : cur - 1));
}

void Jump_To_Unit(uint32 ux) {
  if (Doc_Unit(ux) == nullptr) return;
  Sound_Effect(SND_SUBTOOL_ONESHOT);
  Select_Doc_Unit(ux);
  Ensure_UnitList_Visible(ux);
  Custom_Inval(CUSTOM_PREVIEW);
  Custom_Inval(CUSTOM_UNITLIST);
}

void Ensure_UnitList_Visible(uint32 ux) {
  const int16 k = Row_Of(ux);
  if (k < 0) return;
  const int32 first = First_Row(), nview = std::max<int16>(1, gs.uscroll_nview);
  // The unit's label row comes into view with it where it can.
  const int32 top = k > 0 && g_ubox.list[k - 1].kind == LABEL_KIND ? k - 1 : k;
  if (top < first)
    Set_First_Row(top);
  else if (k >= first + nview)
    Set_First_Row(k - nview + 1);
}

void Toggle_Print(uint32 ux) {
  if (Doc_Unit(ux) == nullptr) return;
  Custom_Inval(CUSTOM_PREVIEW);
  Custom_Inval(CUSTOM_UNITLIST);
  History_Set_Pending(OP_TOGGLEPRINT);
}

bool8 Unit_Pristine(uint32 ux) {
  const a_doc_unit* unit = Doc_Unit(ux);
  const a_doc_unit* master = Doc_Unit(Clone_Master_For(ux));
  if (unit == nullptr || master == nullptr || unit->clonef) return false;
  // Paint would be lost without a word: a painted unit is never pristine.
  if (unit->paintinuse) return false;
  return Same_Design(*unit, *master);
}

void Toggle_Clone(uint32 ux) {
  const a_doc_unit* unit = Doc_Unit(ux);
  if (unit == nullptr) return;
  if (unit->clonef) {
    Sound_Effect(SND_SUBTOOL_ONESHOT);
    (void)Unclone(ux);
  } else if (Clone_Master_For(ux) == 0) {
    Sound_Effect(SND_NULL);  // the first of its section, or no master of its size before it
    return;
  } else if (Unit_Pristine(ux)) {
    (void)Clone(ux);
  } else if (Ask_YesNoCancel(DLOG_ALERT2, kStrCloneQuestion, kStrOK, kStrCancel, 0) == 0) {
    (void)Clone(ux);
  } else {
    return;
  }
  Custom_Inval(CUSTOM_PREVIEW);
  Custom_Inval(CUSTOM_UNITLIST);
}
