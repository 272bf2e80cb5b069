// The in-place text editor: the edited object, the caret, the selection,
// typing, the key table, mouse selection and the overrides. The text
// clipboard is VoskEditClip.cpp.
#include "objects/VoskEdit.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskRend.h"
#include "host/HostTextInput.h"
#include "objects/VoskBlok.h"
#include "objects/VoskText.h"
#include "objects/VoskTextI.h"
#include "platform/Events.h"
#include "platform/QDRect.h"
#include "platform/SysDlog.h"
#include "platform/SysKey.h"
#include "platform/SysRgn.h"
#include "platform/SysSound.h"
#include "platform/SysTrack.h"
#include "platform/SysWin.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskSlid.h"

a_edit_rec g_ed{};
a_caret_rec g_caret{};
UniChar g_pending_cc = 0;

namespace {

constexpr RGBColor kCaretColour{0, 0, 0x8080};
constexpr int16 kEditBoxMargin = 60;
// How close (screen pixels) a second press must be to count as a repeat.
constexpr int16 kClickSlop = 4;

// The history across an edit in place. The edit began on slot start (the
// state of its seq), which Cancel goes back to. Typed changes make no step
// of their own while they come; the first style change after them records
// them first (as "Text edit"), so undoing the style leaves the typing.
struct a_edit_history {
  uint32 objid = 0;     // the text whose edit began on start (0: none yet)
  int32 start = -1;
  uint32 start_seq = 0;
  bool typed = false;   // typing since the step of cumseq typed_seq
  uint32 typed_seq = 0;
};
a_edit_history g_edit_hist;

// Called before each change the editor makes to its text.
void Note_Edit_Change(bool typing) {
  if (g_edit_hist.objid != g_ed.edit_objid) {
    g_edit_hist = a_edit_history{};
    g_edit_hist.objid = g_ed.edit_objid;
    g_edit_hist.start = g_hist.curr;
    if (g_hist.curr >= 0 && g_hist.curr < NHIST_SLOTS) g_edit_hist.start_seq = g_hist.list[g_hist.curr].seq;
  }
  if (typing) {
    g_edit_hist.typed = true;
    g_edit_hist.typed_seq = g_hist.cumseq;
  }
}

// Typing no step has recorded yet.
bool Typing_Unrecorded() { return g_edit_hist.typed && g_edit_hist.typed_seq == g_hist.cumseq; }

// Keys of the key table.
constexpr uint8 kBackspace = 8;
constexpr uint8 kDelete = 127;
constexpr uint8 kEscape = 27;
constexpr uint8 kVirtReturn = 13;
constexpr uint8 kVirtEnd = 0x23;
constexpr uint8 kVirtHome = 0x24;
constexpr uint8 kVirtLeft = 0x25;
constexpr uint8 kVirtUp = 0x26;
constexpr uint8 kVirtRight = 0x27;
constexpr uint8 kVirtDown = 0x28;

int32 End_Of(const a_om_rec& om) { return std::clamp<int32>(om.nxyl, 1, MAX_NXYL); }

// The character at position p (p - 1 in the record); NIL outside.
const a_xyl_char* Char_At(const a_om_rec& om, int32 p) {
  return p >= 1 && p <= End_Of(om) ? &om.xyl[p - 1] : nullptr;
}

// Position p lies between the two halves of a surrogate pair.
bool Splits_Pair(const a_om_rec& om, int32 p) {
  return p >= 2 && p <= End_Of(om) && Is_Low_Surrogate(om.xyl[p - 1].cc_char) &&
         Is_High_Surrogate(om.xyl[p - 2].cc_char);
}

int32 Step_Back(const a_om_rec& om, int32 p) {
  p = std::max<int32>(1, p - 1);
  if (Splits_Pair(om, p)) --p;
  return p;
}

int32 Step_Fwd(const a_om_rec& om, int32 p) {
  p = std::min<int32>(End_Of(om), p + 1);
  if (Splits_Pair(om, p)) p = std::min<int32>(End_Of(om), p + 1);
  return p;
}

bool Is_White(const a_xyl_char* c) {
  return c != nullptr && (c->mm_cat == CC_SPACE || c->mm_cat == CC_HARDBREAK || c->mm_cat == CC_OVERFLOW);
}
bool Is_Break(const a_xyl_char* c) { return c != nullptr && c->mm_cat == CC_HARDBREAK; }

// A word starts at p: its character is not white, the one before is.
bool Word_Starts(const a_om_rec& om, int32 p) {
  return p > 1 && !Is_White(Char_At(om, p)) && Is_White(Char_At(om, p - 1));
}

a_doc_unit* Edit_Unit() {
  if (g_ed.edit_ux < 1 || g_ed.edit_ux > MAXNUNITS) return nullptr;
  return g_doc.doc_units[g_ed.edit_ux - 1];
}

// Line up or down: the candidate nearest the remembered column beyond the
// next break, at most up to the break after it.
int32 Find_Line(const a_om_rec& om, int32 p, bool back) {
  if (om.layout == LAYOUT_SPIRAL_CW || om.layout == LAYOUT_SPIRAL_CCW) return p;
  const a_xyl_char* start = Char_At(om, p);
  if (!g_ed.edit_lineud) {
    g_ed.edit_lineud_x = start != nullptr ? start->mm_ud : 0;
    g_ed.edit_lineud = true;
  }
  const int64 column = g_ed.edit_lineud_x;
  const int32 end = End_Of(om);
  int32 breaks = 0, best = p;
  int64 best_cost = INT64_MAX;
  for (int32 q = back ? p - 1 : p + 1; back ? q >= 1 : q <= end; q += back ? -1 : 1) {
    // Backwards the break is the character at the new position, forwards
    // the one just passed.
    if (Is_Break(Char_At(om, back ? q : q - 1)) && ++breaks == 2) break;
    if (Splits_Pair(om, q)) continue;
    const int64 cost = std::llabs(int64(om.xyl[q - 1].mm_ud) - column) + (breaks == 0 ? 3000 : 0);
    if (cost < best_cost) {
      best_cost = cost;
      best = q;
    }
  }
  if (breaks == 0) return back ? 1 : end;
  return best;
}

bool Is_Back(a_ed_find how) {
  return how == FIND_CHAR_BACK || how == FIND_WORD_BACK || how == FIND_LINE_START || how == FIND_LINE_UP ||
         how == FIND_HOME;
}

// The object is edited now: the text phase's tool edits characters.
a_om_rec* Live_Target() {
  if (!g_doc.doc_open || !Is_Editing_Text()) return nullptr;
  return Ed_Target();
}

void Del_N(a_om_rec& om, int32 at, int32 n) {
  const int32 end = End_Of(om);
  if (n <= 0 || at < 0 || at + n > end) return;
  std::memmove(&om.xyl[at], &om.xyl[at + n], sizeof(a_xyl_char) * size_t(end - at - n));
  for (int32 i = end - n; i < end; ++i) om.xyl[i] = a_xyl_char{};
  om.nxyl = end - n;
}

void Ins_N(a_om_rec& om, int32 at, int32 n) {
  const int32 end = End_Of(om);
  if (n <= 0 || at < 0 || at > end || end + n > MAX_NXYL) return;
  std::memmove(&om.xyl[at + n], &om.xyl[at], sizeof(a_xyl_char) * size_t(end - at));
  for (int32 i = at; i < at + n; ++i) om.xyl[i] = a_xyl_char{};
  om.nxyl = end + n;
}

// The selection stored: after a change of the text it is set anew (force)
// even where its ends stay.
void Store_Sel(int32 a, int32 b, bool force);

// Removes positions lo .. hi - 1 of the edited text and leaves the caret at lo.
void Delete_Range(int32 lo, int32 hi) {
  a_om_rec* om = Ed_Target();
  if (om == nullptr || hi <= lo) return;
  const int32 omx = g_ed.edit_omx;
  Note_Edit_Change(true);
  Begin_Text_Change(omx);
  Del_N(*om, lo - 1, hi - lo);
  End_Text_Change(omx);
  Store_Sel(lo, lo, true);
}

// Press counting for double and triple clicks.
uint32 g_last_click = 0;
Point g_last_where{-32768, -32768};
int32 g_clicks = 0;

int32 Count_Click(const a_mousestroke& stroke) {
  const uint32 now = uint32(stroke.when);
  const bool repeat = g_clicks > 0 && now - g_last_click < GetDblTime() &&
                      std::abs(stroke.lmouse.h - g_last_where.h) <= kClickSlop &&
                      std::abs(stroke.lmouse.v - g_last_where.v) <= kClickSlop;
  g_clicks = repeat ? (g_clicks % 3) + 1 : 1;
  g_last_click = now;
  g_last_where = stroke.lmouse;
  return g_clicks;
}

// Where the pen stands after the last placed character before position p
// (the end entry itself has no place of its own).
bool Pen_After(const a_om_rec& om, int32 p, double& x, double& y, double& angle, double& size) {
  for (int32 q = p - 1; q >= 1; --q) {
    const a_xyl_char& b = om.xyl[q - 1];
    if (!Is_Laid_Cat(b.mm_cat)) continue;
    const double t = b.mm_t * M_PI / 1800.0;
    x = b.mm_x + std::cos(t) * b.mm_width;
    y = b.mm_y - std::sin(t) * b.mm_width;
    angle = b.mm_t;
    size = Calc_Text_Size(b.cc_size, om);
    return true;
  }
  return false;
}

// The place of position p: the character's own, or the pen after the last
// placed one before it.
bool Caret_Place(const a_om_rec& om, int32 p, double& x, double& y, double& angle, double& size) {
  const a_xyl_char* c = Char_At(om, p);
  if (c != nullptr && Is_Laid_Cat(c->mm_cat)) {
    x = c->mm_x, y = c->mm_y, angle = c->mm_t;
    size = Calc_Text_Size(c->cc_size, om);
    return true;
  }
  return Pen_After(om, p, x, y, angle, size);
}

void Caret_Calc_Rgn() {
  if (g_caret.rgn == nullptr) g_caret.rgn = NewRgn();
  SetEmptyRgn(g_caret.rgn);
  g_caret.box = Rect{0, 0, 0, 0};
  const a_om_rec* om = Ed_Target();
  double x, y, angle, size;
  if (om == nullptr || gs.nviews < 1) return;
  Push_TextSize_Mapping_U(g_ed.edit_ux);
  const bool ok = Caret_Place(*om, g_ed.sel_lo, x, y, angle, size);
  Pop_TextSize_Mapping();
  if (!ok) return;
  const double t = angle * M_PI / 1800.0;
  const double dx = std::cos(t), dy = -std::sin(t);  // along the line
  const double ux = -std::sin(t), uy = -std::cos(t);  // up
  const double up = 0.85 * size, down = 0.25 * size;
  // At least two screen pixels wide at any zoom.
  const double half = std::max(1.0, double(ScreenToCellInt(1, 2)) / 2.0);
  const double corners[4][2] = {{-half, up}, {half, up}, {half, -down}, {-half, -down}};
  Point pts[4];
  for (int k = 0; k < 4; ++k) {
    const Point cell{Text_Clamp16(std::lround(y + dy * corners[k][0] + uy * corners[k][1])),
                     Text_Clamp16(std::lround(x + dx * corners[k][0] + ux * corners[k][1]))};
    CellToScreen(1, cell, pts[k]);
  }
  PolygonRgn(pts, 4, g_caret.rgn);
  if (g_caret.rgn == nullptr) g_caret.rgn = NewRgn();
  Rgn_GetBounds(g_caret.rgn, g_caret.box);
  if (EmptyRect(g_caret.box)) {
    // A caret thinner than a pixel on the screen: a pixel-wide bar.
    Rect r{std::min(pts[0].v, pts[3].v), std::min(pts[0].h, pts[3].h), std::max(pts[0].v, pts[3].v),
           std::max(pts[0].h, pts[3].h)};
    r.bottom = int16(std::max<int32>(r.bottom, r.top + 1));
    r.right = int16(r.left + 2);
    RectRgn(g_caret.rgn, r);
    g_caret.box = r;
  }
}

// The input method shows what is being composed at the caret.
void Tell_Input_Method() {
  if (EmptyRect(g_caret.box) || gs.outer_window == nullptr) return;
  const Rect& b = g_caret.box;
  Host_Text_Input_Rect(gs.outer_window, RECT{b.left, b.top, b.right, b.bottom});
}

}  // namespace

// --- The caret ------------------------------------------------------------------------------

void Caret_Init() {
  if (g_caret.rgn != nullptr) DisposeRgn(g_caret.rgn);
  g_caret = a_caret_rec{};
  g_caret.rgn = NewRgn();
  g_pending_cc = 0;
  g_caret_erase_proc = Caret_Inval;
  g_caret_tick_proc = Caret_Tick;
}

void Caret_Set() {
  if (Ed_Target() == nullptr) return;
  Caret_Calc_Rgn();
  g_caret.active = true;
  g_caret.vis = false;
  g_caret.next = TickCount();
  g_caret.blockx = g_ed.edit_omx;
  Tell_Input_Method();
}

void Caret_Draw() {
  if (!g_caret.active || g_caret.rgn == nullptr || EmptyRect(g_caret.box) || gs.nviews < 1 ||
      gs.outer_window == nullptr)
    return;
  Rect shown;
  if (!SectRect(g_caret.box, gs.views[0].bounds, shown)) return;
  Edit_PushClip(1);
  RGBColor old;
  GetForeColor(old);
  RGBForeColor(kCaretColour);
  PaintRgn(g_caret.rgn);
  RGBForeColor(old);
  Edit_PopClip();
  g_caret.vis = true;
}

void Caret_Erase() {
  if (!g_caret.vis) return;
  g_caret.vis = false;
  // The document under it is drawn again from the unit's layers.
  if (!EmptyRect(g_caret.box) && g_doc.doc_open) Doc_DrawS(g_caret.box);
}

void Caret_Inval() {
  Caret_Erase();
  g_caret.active = false;
}

void Caret_Tick() {
  if (!g_doc.doc_open || g_ed.edit_objid == 0 || !Is_Editing_Text()) {
    if (g_caret.active) Caret_Inval();
    return;
  }
  const uint32 now = TickCount();
  if (g_caret.active) {
    if (int32(now - g_caret.next) < 0) return;
    if (g_caret.vis) {
      Caret_Erase();
      g_caret.next = now + CARET_HIDDEN_TICKS;
    } else {
      Caret_Draw();
      g_caret.next = now + CARET_SHOWN_TICKS;
    }
    return;
  }
  if (g_ed.sel_lo == g_ed.sel_hi && !Is_Modal_Active() && Ed_Target() != nullptr) Caret_Set();
}

// --- The edited object -----------------------------------------------------------------------

void Null_Ed() {
  Caret_Inval();
  g_ed.edit_objid = 0;
  g_ed.edit_omx = 0;
  g_ed.edit_om = nullptr;
  g_pending_cc = 0;
}

a_om_rec* Ed_Target() {
  if (g_ed.edit_objid == 0) return nullptr;
  a_doc_unit* unit = Edit_Unit();
  if (unit == nullptr || unit != g_doc.up) return nullptr;
  a_oj_master& list = unit->oj;
  const int32 n = std::clamp<int32>(list.nlist, 0, MAX_OJ);
  auto is_it = [&](int32 omx) {
    const a_oj_item& item = list.list[omx - 1];
    return item.objid == g_ed.edit_objid && item.kind == TEXT_BLOCK && item.om != nullptr;
  };
  int32 omx = g_ed.edit_omx;
  if (omx < 1 || omx > n || !is_it(omx)) {
    omx = 0;
    for (int32 i = 1; i <= n && omx == 0; ++i)
      if (is_it(i)) omx = i;
  }
  if (omx == 0) {
    Null_Ed();
    return nullptr;
  }
  a_om_rec* om = list.list[omx - 1].om;
  g_ed.edit_omx = omx;
  g_ed.edit_om = om;
  g_ed.sel_omx = omx;
  const int32 end = End_Of(*om);
  int32 lo = std::clamp<int32>(g_ed.sel_lo, 1, end), hi = std::clamp<int32>(g_ed.sel_hi, 1, end);
  if (hi < lo) std::swap(lo, hi);
  const bool caret = lo == hi;
  if (Splits_Pair(*om, lo)) --lo;
  if (Splits_Pair(*om, hi)) hi = caret ? lo : std::min(end, hi + 1);
  g_ed.sel_lo = lo;
  g_ed.sel_hi = hi;
  return om;
}

void Text_Edit() { SV_Set_Enum(SV_TXEDIT_PHASE, TXEDIT_EDIT); }

void Edit_History_Forget() { g_edit_hist = a_edit_history{}; }

void Edit_OK() {
  History_Set_Pending(OP_TEXT_EDIT);
  g_edit_hist = a_edit_history{};
  SV_Set_Enum(SV_TXEDIT_PHASE, TXEDIT_MOVE);
}

void Edit_Cancel() {
  const bool made = g_ed.edit_new;
  // The edit is recorded (Redo brings it back), then the text goes back to
  // where the edit began, past the steps recorded inside it.
  const a_edit_history began = g_edit_hist;
  g_edit_hist = a_edit_history{};
  History_Emit(OP_TEXT_EDIT);
  const bool to_start = began.objid != 0 && began.objid == g_ed.edit_objid && began.start >= 0 &&
                        began.start < NHIST_SLOTS && began.start != g_hist.curr &&
                        g_hist.list[began.start].seq == began.start_seq;
  if (to_start)
    Restore_State(began.start);
  else
    Undo_Silent();
  if (made) Null_Ed();
  g_ed.edit_new = false;
  SV_Set_Enum(SV_TXEDIT_PHASE, TXEDIT_MOVE);
}

bool8 Is_Text_Range() {
  if (!Is_Editing_Text() || Ed_Target() == nullptr) return false;
  return g_ed.sel_lo != g_ed.sel_hi;
}

Rect Calc_Edit_Box() {
  const a_om_rec* om = Ed_Target();
  if (om == nullptr) return Rect{0, 0, 0, 0};
  Rect box;
  CellToScreenRect(1, om->bbox, box);
  box.left = Text_Clamp16(int32(box.left) - kEditBoxMargin);
  box.right = Text_Clamp16(int32(box.right) + kEditBoxMargin);
  return box;
}

// --- The selection -----------------------------------------------------------------------------

namespace {
void Store_Sel(int32 a, int32 b, bool force) {
  const a_om_rec* om = Ed_Target();
  if (om == nullptr) return;
  const int32 end = End_Of(*om);
  int32 lo = std::clamp<int32>(std::min(a, b), 1, end), hi = std::clamp<int32>(std::max(a, b), 1, end);
  if (Splits_Pair(*om, lo)) --lo;
  if (Splits_Pair(*om, hi)) hi = a == b ? lo : std::min(end, hi + 1);
  if (!force && lo == g_ed.sel_lo && hi == g_ed.sel_hi && g_ed.sel_omx == g_ed.edit_omx) return;
  Caret_Inval();
  g_ed.sel_lo = lo;
  g_ed.sel_hi = hi;
  g_ed.sel_omx = g_ed.edit_omx;
  Obj_PostRender(g_ed.edit_omx);
  Set_Style_Sliders();
}
}  // namespace

void Set_Sel_Range(int32 a, int32 b) { Store_Sel(a, b, false); }

void Set_Sel_Empty(int32 p) { Set_Sel_Range(p, p); }

void Set_Style_Sliders() {
  const a_om_rec* om = Ed_Target();
  if (om == nullptr) return;
  const a_xyl_char& c = om->xyl[g_ed.sel_lo - 1];
  const struct {
    a_toggle_enum toggle;
    bool8 on;
  } toggles[] = {{TEXTR_BOLD_TOGGLE, c.cc_boldf}, {TEXTR_ITAL_TOGGLE, c.cc_italf}, {TEXTR_UNDL_TOGGLE, c.cc_undf}};
  for (const auto& t : toggles) {
    const bool8 on = t.on != 0;
    if (gs.toggle_vals[t.toggle] == on) continue;
    gs.toggle_vals[t.toggle] = on;
    Toggle_Inval(t.toggle);
  }
  Slider_Blast(TEXTR_SIZE_SLIDER, c.cc_size != 0 ? c.cc_size : SLIDER_VALUES[TEXTR_SIZE_SLIDER].defaultval);
  Slider_Blast(TEXTR_ANGLE_SLIDER, c.cc_nudget);
  Slider_Blast(TEXTR_DX_SLIDER, c.cc_nudgex);
  Slider_Blast(TEXTR_DY_SLIDER, c.cc_nudgey);
}

void TextR_Select_All() {
  const a_om_rec* om = Live_Target();
  if (om != nullptr) Set_Sel_Range(1, End_Of(*om));
}

void TextR_Select_None() {
  if (Live_Target() != nullptr) Set_Sel_Range(1, 1);
}

// --- Typing --------------------------------------------------------------------------------------

bool8 Is_Semitic(UniChar c) {
  return (c >= 0x0590 && c <= 0x05FF) || (c >= 0x0600 && c <= 0x07BF) || (c >= 0xFB00 && c <= 0xFB4F) ||
         (c >= 0xFC40 && c <= 0xFD1F);
}

namespace {

// Inserts n characters at the selection, replacing it: codes alone (the
// styles of the replaced characters kept, new ones plain) or, from the
// clipboard, with their own styles.
bool8 Insert(const UniChar* codes, const a_xyl_char* styled, int32 n) {
  a_om_rec* om = Ed_Target();
  if (om == nullptr || n <= 0) return false;
  const int32 lo = g_ed.sel_lo, hi = g_ed.sel_hi;
  const int32 selected = hi - lo;
  const int32 room = MAX_NXYL - End_Of(*om);
  auto code = [&](int32 i) { return styled != nullptr ? styled[i].cc_char : codes[i]; };
  int32 growth = n - selected;
  bool cut = false;
  if (growth > room) {
    n -= growth - room;
    growth = room;
    cut = true;
    // Never half a character.
    if (n > 0 && Is_High_Surrogate(code(n - 1))) {
      --n;
      --growth;
    }
  }
  if (n <= 0 && selected == 0) {
    Sound_Effect(SND_NULL);
    return false;
  }
  const int32 omx = g_ed.edit_omx;
  Note_Edit_Change(true);
  Begin_Text_Change(omx);
  // The replaced characters keep their places (and styles) at the start.
  if (growth > 0)
    Ins_N(*om, hi - 1, growth);
  else if (growth < 0)
    Del_N(*om, lo - 1 + n, -growth);
  for (int32 i = 0; i < n; ++i) {
    a_xyl_char& c = om->xyl[lo - 1 + i];
    if (styled != nullptr) {
      c = styled[i];
    } else {
      c.cc_char = codes[i];
    }
    c.mm_x = c.mm_y = c.mm_t = c.mm_width = 0;
    c.mm_ud = 0;
    c.mm_cat = CC_REGULAR;
  }
  End_Text_Change(omx);
  // The caret stays before right-to-left text; a leading space lets the
  // character after the text decide.
  UniChar deciding = n > 0 ? code(0) : 0;
  if (deciding == ' ') deciding = lo - 1 + n < End_Of(*om) ? om->xyl[lo - 1 + n].cc_char : 0;
  const int32 caret = Is_Semitic(deciding) ? lo : lo + n;
  Store_Sel(caret, caret, true);
  g_ed.edit_lineud = false;
  if (cut) Sound_Effect(SND_NULL);
  return true;
}

// Only whole characters go in: lone halves of pairs, line feeds and the
// codes of the end entry and of nothing are left out.
int32 Clean_Units(const UniChar* buf, int32 max, UniChar* out) {
  int32 n = 0;
  for (int32 i = 0; i < max && buf[i] != 0; ++i) {
    const UniChar c = buf[i];
    if (c == EOS_CHAR || c == 10) continue;
    if (Is_High_Surrogate(c)) {
      if (i + 1 < max && Is_Low_Surrogate(buf[i + 1])) {
        out[n++] = c;
        out[n++] = buf[++i];
      }
      continue;
    }
    if (Is_Low_Surrogate(c)) continue;
    out[n++] = c;
  }
  return n;
}

}  // namespace

bool8 Ed_Ins_UBuf(const UniChar* buf, int32 max) {
  if (buf == nullptr || max <= 0) return false;
  max = std::min<int32>(max, 2 * MAX_NXYL);
  UniChar clean[2 * MAX_NXYL];
  const int32 n = Clean_Units(buf, max, clean);
  if (n == 0) return false;
  return Insert(clean, nullptr, n);
}

bool8 Ed_Ins_Styled(const a_xyl_char* chars, int32 n) { return Insert(nullptr, chars, n); }

void Ins_Hardbreak() {
  const UniChar cr[2] = {HARDBREAK_CHAR, 0};
  Ed_Ins_UBuf(cr, 1);
}

void Ed_Add_Keystroke(const a_keystroke& key) {
  const UniChar c = key.unicode;
  if (g_pending_cc != 0) {
    const UniChar high = g_pending_cc;
    g_pending_cc = 0;
    if (Is_Low_Surrogate(c)) {
      const UniChar pair[3] = {high, c, 0};
      Ed_Ins_UBuf(pair, 2);
      return;
    }
  }
  if (Is_High_Surrogate(c)) {
    g_pending_cc = c;
    return;
  }
  if (Is_Low_Surrogate(c) || c == 0) return;
  const UniChar one[2] = {c, 0};
  Ed_Ins_UBuf(one, 1);
}

// --- Moving, selecting, deleting ----------------------------------------------------------------

int32 Ed_Find(const a_om_rec& om, a_ed_find how, int32 p) {
  const int32 end = End_Of(om);
  p = std::clamp<int32>(p, 1, end);
  switch (how) {
    case FIND_CHAR_BACK: return Step_Back(om, p);
    case FIND_CHAR_FWD: return Step_Fwd(om, p);
    case FIND_WORD_BACK:
      do {
        p = Step_Back(om, p);
      } while (p > 1 && !Word_Starts(om, p));
      return p;
    case FIND_WORD_FWD:
      do {
        p = Step_Fwd(om, p);
      } while (p < end && !Word_Starts(om, p));
      return p;
    case FIND_LINE_START:
      while (p > 1 && !Is_Break(Char_At(om, p - 1))) --p;
      return p;
    case FIND_LINE_END:
      while (p < end && !Is_Break(Char_At(om, p))) ++p;
      return p;
    case FIND_LINE_UP: return Find_Line(om, p, true);
    case FIND_LINE_DOWN: return Find_Line(om, p, false);
    case FIND_HOME: return 1;
    case FIND_END: return end;
  }
  return p;
}

void Ed_Move(a_ed_find how) {
  const a_om_rec* om = Ed_Target();
  if (om == nullptr) return;
  if (how != FIND_LINE_UP && how != FIND_LINE_DOWN) g_ed.edit_lineud = false;
  const int32 lo = g_ed.sel_lo, hi = g_ed.sel_hi;
  if (lo != hi && (how == FIND_CHAR_BACK || how == FIND_CHAR_FWD)) {
    Set_Sel_Empty(how == FIND_CHAR_BACK ? lo : hi);
    return;
  }
  const int32 from = Is_Back(how) ? lo : hi;
  const int32 to = Ed_Find(*om, how, from);
  if (lo == hi && to == from) {
    Sound_Effect(SND_NULL);
    return;
  }
  Set_Sel_Empty(to);
}

void Ed_Select(a_ed_find how) {
  const a_om_rec* om = Ed_Target();
  if (om == nullptr) return;
  if (how != FIND_LINE_UP && how != FIND_LINE_DOWN) g_ed.edit_lineud = false;
  if (Is_Back(how))
    Set_Sel_Range(Ed_Find(*om, how, g_ed.sel_lo), g_ed.sel_hi);
  else
    Set_Sel_Range(g_ed.sel_lo, Ed_Find(*om, how, g_ed.sel_hi));
}

void Ed_Delete(a_ed_find how) {
  const a_om_rec* om = Ed_Target();
  if (om == nullptr) return;
  g_ed.edit_lineud = false;
  const int32 lo = g_ed.sel_lo, hi = g_ed.sel_hi;
  if (lo != hi) {
    Delete_Range(lo, hi);
    return;
  }
  const int32 to = Ed_Find(*om, how, lo);
  const int32 a = std::min(to, lo), b = std::max(to, lo);
  // The end entry stays.
  if (b <= a) {
    Sound_Effect(SND_NULL);
    return;
  }
  Delete_Range(a, b);
}

void Sel_Home() {
  if (Ed_Target() != nullptr) Set_Sel_Range(1, g_ed.sel_hi);
}

void Sel_End() {
  const a_om_rec* om = Ed_Target();
  if (om != nullptr) Set_Sel_Range(g_ed.sel_lo, End_Of(*om));
}

namespace {

// What a key does: move, select or delete by a find, or nothing.
enum a_key_act : uint8 { K_NONE = 0, K_MOVE, K_SELECT, K_DELETE, K_SEL_HOME, K_SEL_END };
struct a_key_cell {
  a_key_act act;
  a_ed_find find;
};
constexpr a_key_cell kNone{K_NONE, FIND_HOME};
// Columns: the modifier bits 0, 1, 2, 3, 4, 5, 8, 9, 10.
constexpr int32 kColumns[16] = {0, 1, 2, 3, 4, 5, -1, -1, 6, 7, 8, -1, -1, -1, -1, -1};
struct a_key_row {
  uint8 key;  // charcode for Backspace and Delete, else virtcode
  a_key_cell cells[9];
};
constexpr a_key_row kKeyTable[] = {
    {kBackspace,
     {{K_DELETE, FIND_CHAR_BACK}, kNone, {K_DELETE, FIND_WORD_BACK}, kNone, kNone, kNone,
      {K_DELETE, FIND_LINE_START}, {K_DELETE, FIND_LINE_START}, {K_DELETE, FIND_LINE_START}}},
    {kDelete,
     {{K_DELETE, FIND_CHAR_FWD}, kNone, {K_DELETE, FIND_WORD_FWD}, kNone, kNone, kNone, {K_DELETE, FIND_LINE_END},
      {K_DELETE, FIND_LINE_END}, {K_DELETE, FIND_LINE_END}}},
    {kVirtUp,
     {{K_MOVE, FIND_LINE_UP}, {K_SELECT, FIND_LINE_UP}, {K_MOVE, FIND_HOME}, {K_SELECT, FIND_WORD_BACK}, kNone,
      kNone, {K_MOVE, FIND_HOME}, {K_SEL_HOME, FIND_HOME}, kNone}},
    {kVirtDown,
     {{K_MOVE, FIND_LINE_DOWN}, {K_SELECT, FIND_LINE_DOWN}, {K_MOVE, FIND_END}, {K_SELECT, FIND_WORD_FWD}, kNone,
      kNone, {K_MOVE, FIND_END}, {K_SEL_END, FIND_END}, kNone}},
    {kVirtLeft,
     {{K_MOVE, FIND_CHAR_BACK}, {K_SELECT, FIND_CHAR_BACK}, {K_MOVE, FIND_WORD_BACK}, {K_SELECT, FIND_WORD_BACK},
      {K_MOVE, FIND_WORD_BACK}, {K_SELECT, FIND_WORD_BACK}, kNone, {K_SELECT, FIND_LINE_START},
      {K_MOVE, FIND_LINE_START}}},
    {kVirtRight,
     {{K_MOVE, FIND_CHAR_FWD}, {K_SELECT, FIND_CHAR_FWD}, {K_MOVE, FIND_WORD_FWD}, {K_SELECT, FIND_WORD_FWD},
      {K_MOVE, FIND_WORD_FWD}, {K_SELECT, FIND_WORD_FWD}, kNone, {K_SELECT, FIND_LINE_END},
      {K_MOVE, FIND_LINE_END}}},
};

void Do_Cell(const a_key_cell& cell) {
  switch (cell.act) {
    case K_MOVE: Ed_Move(cell.find); break;
    case K_SELECT: Ed_Select(cell.find); break;
    case K_DELETE: Ed_Delete(cell.find); break;
    case K_SEL_HOME: Sel_Home(); break;
    case K_SEL_END: Sel_End(); break;
    case K_NONE: break;
  }
}

// The Ctrl-letter moves.
constexpr struct {
  char letter;
  a_ed_find find;
} kCtrlLetters[] = {{'A', FIND_WORD_BACK}, {'S', FIND_CHAR_BACK}, {'D', FIND_CHAR_FWD},
                    {'F', FIND_WORD_FWD},  {'E', FIND_LINE_UP},   {'X', FIND_LINE_DOWN}};

bool Edit_Key1(const a_keystroke& key) {
  if (Live_Target() == nullptr) return false;
  const uint8 mods = key.mods & 0x0F;
  const bool erase = key.charcode == kBackspace || key.charcode == kDelete;
  if (erase && g_ed.sel_lo != g_ed.sel_hi) {
    Ed_Delete(FIND_CHAR_BACK);
    return true;
  }
  const uint8 which = erase ? key.charcode : key.virtcode;
  for (const a_key_row& row : kKeyTable) {
    if (row.key != which || (!erase && key.charcode != 0 && key.charcode != 126)) continue;
    const int32 column = kColumns[mods];
    if (column < 0 || row.cells[column].act == K_NONE) return false;
    Do_Cell(row.cells[column]);
    return true;
  }
  if (key.charcode == kEscape) {
    Edit_Cancel();
    return true;
  }
  if (key.virtcode == kVirtReturn && key.charcode == 0) {
    Ins_Hardbreak();
    return true;
  }
  if (key.virtcode == VIRT_KEYPAD_ENTER) {
    Edit_OK();
    return true;
  }
  if (key.virtcode == kVirtHome || key.virtcode == kVirtEnd) {
    Ed_Move(key.virtcode == kVirtHome ? FIND_HOME : FIND_END);
    return true;
  }
  if (mods == Keymod_Bit(OPTIONKEY)) {
    const uint8 c = key.charcode >= 1 && key.charcode <= 26 ? uint8('A' + key.charcode - 1)
                                                             : uint8(std::toupper(key.charcode));
    for (const auto& l : kCtrlLetters)
      if (c == uint8(l.letter)) {
        Ed_Move(l.find);
        return true;
      }
    return false;
  }
  if (key.charcode > kEscape && key.charcode != kDelete) {
    Ed_Add_Keystroke(key);
    return true;
  }
  return false;
}

}  // namespace

bool8 Edit_KeyDown(const a_keystroke& key) {
  if (!Edit_Key1(key)) return false;
  // Keys typed meanwhile go in now, so that typing keeps up with the hand.
  a_keystroke next;
  while (Live_Target() != nullptr && Get_Pending_Keystroke(next)) {
    if (Edit_Key1(next)) continue;
    // Not the editor's: it goes on to the other handlers.
    if (g_key_down_proc != nullptr) g_key_down_proc(next);
    break;
  }
  return true;
}

// --- The mouse ----------------------------------------------------------------------------------

int32 Nearest_Position(const a_om_rec& om, Point cell) {
  const int32 end = End_Of(om);
  int32 best = 0;
  int64 best_d = INT64_MAX;
  for (int32 p = 1; p <= end; ++p) {
    const a_xyl_char& c = om.xyl[p - 1];
    // Only placed characters, and the end entry at the pen after the last.
    double x = c.mm_x, y = c.mm_y, angle, size;
    if (p == end) {
      if (!Pen_After(om, p, x, y, angle, size)) continue;
    } else if (!Is_Laid_Cat(c.mm_cat) || Splits_Pair(om, p)) {
      continue;
    }
    const int64 dx = std::llround(x) - cell.h, dy = std::llround(y) - cell.v;
    const int64 d = dx * dx + dy * dy;
    if (d < best_d) {
      best_d = d;
      best = p;
    }
  }
  return best;
}

void Select_Current_Word(int32 p) {
  const a_om_rec* om = Ed_Target();
  if (om == nullptr) return;
  const int32 end = End_Of(*om);
  p = std::clamp<int32>(p, 1, end);
  const bool white = Is_White(Char_At(*om, p));
  int32 lo = p, hi = p;
  while (lo > 1 && Is_White(Char_At(*om, lo - 1)) == white) --lo;
  while (hi < end && Is_White(Char_At(*om, hi)) == white) ++hi;
  Set_Sel_Range(lo, hi);
}

void Select_Current_Para(int32 p) {
  const a_om_rec* om = Ed_Target();
  if (om == nullptr) return;
  const int32 end = End_Of(*om);
  p = std::clamp<int32>(p, 1, end);
  int32 lo = p, hi = p;
  while (lo > 1 && !Is_Break(Char_At(*om, lo - 1))) --lo;
  while (hi < end && !Is_Break(Char_At(*om, hi))) ++hi;
  if (hi < end) ++hi;  // the ending break too
  Set_Sel_Range(lo, hi);
}

void Track_Text_Range(uint16 vx, Point cell, int32 clicks, bool8 shift) {
  const a_om_rec* om = Ed_Target();
  if (om == nullptr) return;
  const int32 p = Nearest_Position(*om, cell);
  if (p == 0) return;
  g_ed.edit_lineud = false;
  if (clicks == 2) {
    Select_Current_Word(p);
    return;
  }
  if (clicks >= 3) {
    Select_Current_Para(p);
    return;
  }
  int32 anchor = p;
  if (shift) {
    anchor = p >= g_ed.sel_lo ? g_ed.sel_lo : g_ed.sel_hi;
    Set_Sel_Range(anchor, p);
  } else {
    Set_Sel_Empty(p);
  }
  if (!StillDown()) return;
  TrackMouse_Init(gs.outer_window);
  Point mouse;
  int32 last = p;
  auto step = [&] {
    Point at;
    ScreenToCell(vx, mouse, at);
    const a_om_rec* now = Ed_Target();
    if (now == nullptr) return;
    const int32 q = Nearest_Position(*now, at);
    if (q == 0 || q == last) return;
    last = q;
    Set_Sel_Range(anchor, q);
    Current_Unit_UpToDate();
  };
  while (TrackMouse_StillDown(mouse)) step();
  TrackMouse_Stop();
}

void Edit_MouseDown(uint16 vx, const a_mousestroke& stroke) {
  const a_om_rec* om = Live_Target();
  Point cell;
  ScreenToCell(vx, stroke.lmouse, cell);
  a_oj_part part = OUTSIDE_PART;
  const bool inside = om != nullptr && OM_Is_Inside(part, cell, g_ed.edit_omx) && part == CONTENT_PART;
  if (!stroke.button1) {
    Cursor_Set_Shape(inside ? CARET_CURSOR : GRABBER_CURSOR);
    return;
  }
  if (!inside) {
    Obj_MouseDown(vx, stroke);
    return;
  }
  const int32 clicks = Count_Click(stroke);
  Track_Text_Range(vx, cell, clicks, (stroke.mods & Keymod_Bit(SHIFTKEY)) != 0);
}

// --- Overrides ----------------------------------------------------------------------------------

void Delta_Text_Override() {
  a_om_rec* om = Live_Target();
  if (om == nullptr || g_ed.sel_lo == g_ed.sel_hi) return;
  const int32 omx = g_ed.edit_omx;
  Note_Edit_Change(false);
  if (Typing_Unrecorded()) {
    g_edit_hist.typed = false;
    History_Emit(OP_TEXT_EDIT);
  }
  bool changed = false;
  Begin_Text_Change(omx);
  for (int32 p = g_ed.sel_lo; p < g_ed.sel_hi; ++p) {
    a_xyl_char& c = om->xyl[p - 1];
    const a_xyl_char was = c;
    // The first character's shift carries the rest of the line along.
    c.cc_nudgex = p == g_ed.sel_lo ? gs.slider_vals[TEXTR_DX_SLIDER] : 0;
    c.cc_nudgey = gs.slider_vals[TEXTR_DY_SLIDER];
    c.cc_nudget = gs.slider_vals[TEXTR_ANGLE_SLIDER];
    c.cc_size = gs.slider_vals[TEXTR_SIZE_SLIDER];
    c.cc_boldf = gs.toggle_vals[TEXTR_BOLD_TOGGLE];
    c.cc_italf = gs.toggle_vals[TEXTR_ITAL_TOGGLE];
    c.cc_undf = gs.toggle_vals[TEXTR_UNDL_TOGGLE];
    changed = changed || c.cc_nudgex != was.cc_nudgex || c.cc_nudgey != was.cc_nudgey ||
              c.cc_nudget != was.cc_nudget || c.cc_size != was.cc_size || c.cc_boldf != was.cc_boldf ||
              c.cc_italf != was.cc_italf || c.cc_undf != was.cc_undf;
  }
  End_Text_Change(omx);
  Current_Unit_UpToDate();
  // Each change of style is a step of its own (the sliders' own rows
  // record none).
  if (changed) History_Set_Pending(OP_TEXT_ADJUST);
}

void Text_Clear_Overrides() {
  for (a_toggle_enum t : {TEXTR_BOLD_TOGGLE, TEXTR_ITAL_TOGGLE, TEXTR_UNDL_TOGGLE}) {
    gs.toggle_vals[t] = false;
    Toggle_Inval(t);
  }
  for (a_slider_enum s : {TEXTR_SIZE_SLIDER, TEXTR_ANGLE_SLIDER, TEXTR_DX_SLIDER, TEXTR_DY_SLIDER})
    Slider_Blast(s, SLIDER_VALUES[s].defaultval);
  Delta_Text_Override();
}
