#include "objects/VoskMove.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskRend.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "objects/VoskTrac.h"
#include "pixel/DrawUtilDraw.h"
#include "pixel/OPUtil.h"
#include "platform/Events.h"
#include "platform/QDRect.h"
#include "platform/SysKey.h"
#include "platform/SysSound.h"
#include "platform/SysTrack.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskCurs.h"
#include "ui/VoskStus.h"

namespace {

int32 Width(const Rect& r) { return int32(r.right) - r.left; }
int32 Height(const Rect& r) { return int32(r.bottom) - r.top; }

// A coordinate the photo and text procedures leave as it is.
constexpr int16 kKeep = -10000;
// Steps of the arrow keys.
constexpr int16 kNudgeStep = 1;
constexpr int16 kNudgeShiftStep = 10;

constexpr int16 kStrPaintLayer = 134;
constexpr int16 kStrTextObject = 135;
constexpr int16 kStrMissing = 12;
constexpr int16 kStrEmpty = 260;
constexpr int16 kStrClipboard = 335;
constexpr int16 kStrCollage = 336;

// One step of the history, but none in the collage: undo is off there, and
// a state holding slots would bring them back after the collage ends.
void Emit(a_history_op op) {
  if (gs.curr_phase != COLLAGE_PHASE) History_Emit(op);
}

bool Is_Photo_Kind(a_oj_kind kind) { return kind == PHOTO_BLOCK || kind == SYMBOL_BLOCK || kind == SLOT_BLOCK; }

int16 Clamp16(int32 v) { return int16(std::clamp<int32>(v, -32768, 32767)); }

// --- Saved copies of a drag ------------------------------------------------------------------

std::array<a_oj_item, MAX_OJ> g_saved_oj{};
std::array<bool8, MAX_OJ> g_saved_used{};

// --- The drag in progress ----------------------------------------------------------------------

struct a_move_state {
  bool active;
  uint16 vx;
  Point start;           // cell of the press
  Point last;            // cell of the last step
  bool8 last_constrain;  // Shift at the last step
  Rect dirty_before;     // the unit's render-dirty area before the drag
};
a_move_state g_move{};

// The frame of object omx in cells into a new point list (NIL: none).
a_pointlist_ptr Frame_Cells(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr) return nullptr;
  a_pointlist_ptr cells = nullptr;
  if (Is_Photo_Kind(item->kind) && item->ph != nullptr) {
    New_Pointlist(PH_FRAME_POINTS, cells);
    if (cells != nullptr) PH_Calc_Frame(cells, item->ph);
  } else if (item->kind == TEXT_BLOCK && item->om != nullptr) {
    const a_om_pointlist& f = item->om->cache.frame;
    const int32 n = std::min<int32>({f.npoints, f.max, MAX_OM_POINTS});
    if (n < 2) return nullptr;
    New_Pointlist(n, cells);
    if (cells != nullptr) {
      std::copy_n(f.points, n, cells->points);
      cells->npoints = uint16(n);
    }
  }
  return cells;
}

// The frames of the selection in exclusive-or: drawn twice, they are gone.
void XOR_Selected_Frames() {
  if (gs.outer_window == nullptr) return;
  Push_Window(gs.outer_window);
  for (int32 omx = ENUM_START; Selection_Enum(omx);) {
    a_pointlist_ptr cells = Frame_Cells(omx);
    if (cells == nullptr) continue;
    Draw_XOR_Pointlist(cells);
    Dispose_Pointlist(cells);
  }
  Pop_Window();
}

// Moves object omx by (dx, dy) along one axis, horizontally or vertically.
void Move_By(int32 omx, int32 dx, int32 dy) {
  if (dx != 0 || dy != 0) Obj_Move_XY(omx, dx, dy);
}

// The selected objects of the phase's kinds.
std::vector<int32> Selected_Objects() {
  std::vector<int32> v;
  for (int32 omx = ENUM_START; Selection_Enum(omx);) v.push_back(omx);
  return v;
}

// The selected object whose box side is extreme: better(a, b) tells that a
// beats b; the first found bottom-up wins ties.
template <typename Better>
int32 Extreme(Better better) {
  int32 best = ENUM_DONE;
  Rect best_box{0, 0, 0, 0};
  for (int32 omx = ENUM_START; Selection_Enum(omx);) {
    Rect box;
    Obj_BBox(omx, box);
    if (best == ENUM_DONE || better(box, best_box)) {
      best = omx;
      best_box = box;
    }
  }
  return best;
}

enum a_align_kind { ALIGN_H_L, ALIGN_H_C, ALIGN_H_R, ALIGN_V_T, ALIGN_V_C, ALIGN_V_B };

void Enum_Align(a_align_kind how) {
  if (Validate_For_Move() < 2) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  const int32 ref = TopMost();
  Rect r;
  Obj_BBox(ref, r);
  for (int32 omx : Selected_Objects()) {
    if (omx == ref) continue;
    Rect b;
    Obj_BBox(omx, b);
    int32 dx = 0, dy = 0;
    switch (how) {
      case ALIGN_H_L: dx = int32(r.left) - b.left; break;
      case ALIGN_H_C: dx = (int32(r.left) + r.right) / 2 - (int32(b.left) + b.right) / 2; break;
      case ALIGN_H_R: dx = int32(r.right) - b.right; break;
      case ALIGN_V_T: dy = int32(r.top) - b.top; break;
      case ALIGN_V_C: dy = (int32(r.top) + r.bottom) / 2 - (int32(b.top) + b.bottom) / 2; break;
      case ALIGN_V_B: dy = int32(r.bottom) - b.bottom; break;
    }
    Move_By(omx, dx, dy);
  }
  Emit(OP_BLOCK_ALIGN);
}

// Spreading across (horizontal) or down.
void Obj_Spread(bool horizontal) {
  if (Validate_For_Move() < 3) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  const int32 first = horizontal ? LeftMost() : TopMost();
  const int32 last = horizontal ? RightMost() : BottomMost();
  if (first == last) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  // The low and high edges of a box on the axis.
  const auto lo = [horizontal](const Rect& b) { return int32(horizontal ? b.left : b.top); };
  const auto hi = [horizontal](const Rect& b) { return int32(horizontal ? b.right : b.bottom); };
  struct a_inner {
    int32 key;
    int32 omx;
  };
  std::vector<a_inner> inner;
  int32 total = 0;
  for (int32 omx : Selected_Objects()) {
    if (omx == first || omx == last) continue;
    Rect b;
    Obj_BBox(omx, b);
    inner.push_back(a_inner{lo(b), omx});
    total += hi(b) - lo(b);
  }
  // A stable sort keeps equal edges in list order.
  std::stable_sort(inner.begin(), inner.end(), [](const a_inner& a, const a_inner& b) { return a.key < b.key; });
  Rect fb, lb;
  Obj_BBox(first, fb);
  Obj_BBox(last, lb);
  const int32 free_space = lo(lb) - hi(fb) - total;
  const int32 n = int32(inner.size());
  int32 pos = hi(fb), prev = 0;
  for (int32 i = 1; i <= n; ++i) {
    const int32 g = int32(int64(free_space) * i / (n + 1));
    pos += g - prev;
    const int32 omx = inner[size_t(i - 1)].omx;
    Rect b;
    Obj_BBox(omx, b);
    const int32 d = pos - lo(b);
    Move_By(omx, horizontal ? d : 0, horizontal ? 0 : d);
    prev = g;
    Obj_BBox(omx, b);
    pos = hi(b);
  }
  Emit(OP_BLOCK_SPREAD);
}

// Each selected object's centre to c (a coordinate of kKeep stays).
void Align_To(Point c) {
  for (int32 omx : Selected_Objects()) {
    const a_oj_item* item = Obj_Item(omx);
    if (Is_Photo_Kind(item->kind))
      Photo_Set_Center(omx, c);
    else if (item->kind == TEXT_BLOCK)
      Text_AlignTo(c, omx);
  }
  Emit(OP_BLOCK_ALIGN);
}

// The unit's paintbounds' side times num / den, in 16-bit arithmetic.
int16 Fraction_Of(int16 side, int16 num, int16 den) {
  if (den == 0) return side;
  return int16(int32(int16(side * num)) / den);
}

void Append_Text(char* text, int32 cap, const char* more) {
  const size_t n = std::strlen(text);
  if (cap <= 0 || n + 1 >= size_t(cap)) return;
  std::strncat(text, more, size_t(cap) - n - 1);
}

}  // namespace

// --- Move classes ------------------------------------------------------------------------------

uint8 Calc_Move_Class(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr) return 0;
  switch (item->kind) {
    case PHOTO_BLOCK:
    case SYMBOL_BLOCK: return 2;
    case TEXT_BLOCK:
      if (item->om == nullptr || item->om->layout >= NTEXT_LAYOUTS) return 0;
      return TEXT_MOVE_KINDS[item->om->layout];
    default: return 0;
  }
}

void Obj_Move_XY(int32 omx, int32 dx, int32 dy) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr) return;
  if (Is_Photo_Kind(item->kind))
    Photo_Delta_XY1(omx, false, Clamp16(dx), Clamp16(dy));
  else if (item->kind == TEXT_BLOCK)
    Text_Move_XY(omx, dx, dy);
}

// --- Dragging ------------------------------------------------------------------------------------

void Deselect_Incompatible(int32 omx) {
  const uint8 cls = Calc_Move_Class(omx);
  Begin_Selection_Change();
  for (int32 x = ENUM_START; Selection_Enum(x);)
    if (Calc_Move_Class(x) != cls) Selection_Toggle(x);
  End_Selection_Change();
}

void Save_Selected_Blocks() {
  if (t.old_saved) Dispose_Saved_Blocks();
  for (int32 omx = ENUM_START; Enum(true, true, OBJECT_KINDS, omx);) {
    const a_oj_item* item = Obj_Item(omx);
    a_oj_item& copy = g_saved_oj[size_t(omx - 1)];
    copy = a_oj_item{};
    OJ_Copy(true, *item, copy);
    g_saved_used[size_t(omx - 1)] = true;
  }
  t.old_saved = true;
}

void Restore_Selected_Blocks() {
  if (!t.old_saved) return;
  for (int32 i = 0; i < MAX_OJ; ++i) {
    if (!g_saved_used[size_t(i)]) continue;
    a_oj_item* item = Obj_Item(i + 1);
    const a_oj_item& copy = g_saved_oj[size_t(i)];
    // The list keeps its order during a drag; an object found elsewhere is
    // not the one saved.
    if (item == nullptr || item->objid != copy.objid || !Is_Photo_Kind(item->kind)) continue;
    if (item->ph != nullptr && copy.ph != nullptr) *item->ph = *copy.ph;
  }
}

void Dispose_Saved_Blocks() {
  for (int32 i = 0; i < MAX_OJ; ++i) {
    if (!g_saved_used[size_t(i)]) continue;
    Dispose_Obj1(g_saved_oj[size_t(i)]);
    g_saved_oj[size_t(i)] = a_oj_item{};
    g_saved_used[size_t(i)] = false;
  }
  t.old_saved = false;
}

void Apply_Move(bool8 renderf, bool8 constrainf, Point startcell, Point newcell) {
  const int32 dx = int32(newcell.h) - startcell.h, dy = int32(newcell.v) - startcell.v;
  for (int32 omx : Selected_Objects()) {
    const a_oj_item* item = Obj_Item(omx);
    if (Is_Photo_Kind(item->kind))
      Photo_Delta_XY1(omx, constrainf, Clamp16(dx), Clamp16(dy));
    else if (item->kind == TEXT_BLOCK)
      Apply_Move_Text(newcell, startcell, constrainf, renderf, omx);
  }
  if (renderf) Emit(OP_BLOCK_MOVEXY);
}

bool8 Move_Begin(uint16 vx, Point startcell, int32 omx) {
  g_move = a_move_state{};
  if (g_doc.up == nullptr || Obj_Item(omx) == nullptr) return false;
  Deselect_Incompatible(omx);
  if (Selection_Count() == 0) return false;
  Save_Selected_Blocks();
  g_move.active = true;
  g_move.vx = vx;
  g_move.start = startcell;
  g_move.last = startcell;
  g_move.last_constrain = false;
  g_move.dirty_before = g_doc.up->render_dirty;
  XOR_Selected_Frames();
  return true;
}

void Move_Step(Point cell, bool8 constrain) {
  if (!g_move.active || g_doc.up == nullptr) return;
  if (cell == g_move.last && constrain == g_move.last_constrain) return;
  XOR_Selected_Frames();
  Restore_Selected_Blocks();
  Apply_Move(false, constrain, g_move.start, cell);
  // Nothing is rendered while the drag goes on: what the steps posted is
  // the final move's to post again.
  g_doc.up->render_dirty = g_move.dirty_before;
  XOR_Selected_Frames();
  g_move.last = cell;
  g_move.last_constrain = constrain;
}

void Move_End(Point cell, bool8 constrain) {
  if (!g_move.active) return;
  g_move.active = false;
  XOR_Selected_Frames();
  Restore_Selected_Blocks();
  if (g_doc.up != nullptr) g_doc.up->render_dirty = g_move.dirty_before;
  // A press held and let go where it began moved nothing: no history step.
  Point net = cell;
  if (constrain) {
    if (std::abs(int32(cell.v) - g_move.start.v) <= std::abs(int32(cell.h) - g_move.start.h))
      net.v = g_move.start.v;
    else
      net.h = g_move.start.h;
  }
  if (net == g_move.start) {
    // A text's frame showed the last preview: put it back.
    Apply_Move(false, false, g_move.start, g_move.start);
    Post_Refresh_For_Selected();
  } else {
    Apply_Move(true, constrain, g_move.start, cell);
  }
  Dispose_Saved_Blocks();
}

void Obj_Track_Move(uint16 vx, Point startcell, int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr || !StillDown()) return;
  const bool contour = item->kind == TEXT_BLOCK && item->om != nullptr && item->om->layout == LAYOUT_CONTOUR;
  Cursor_Set_Shape(gs.curr_phase == TEXT_PHASE && contour ? UPDOWN_CURSOR : GRABBER2_CURSOR);
  Sound_Tool_Init(gs.tool_net);
  if (!Move_Begin(vx, startcell, omx)) {
    Sound_Tool_Stop();
    return;
  }
  t.status_tracking = true;
  TrackMouse_Init(gs.outer_window);
  Point mouse{0, 0}, cell = startcell;
  while (TrackMouse_StillDown(mouse)) {
    ScreenToCell(vx, mouse, cell);
    Move_Step(cell, ShiftKeyDown());
    Sound_Tool_NextNote();
  }
  // Where the button was let go counts too (the loop read the pointer
  // before it found the release).
  GetMouse(mouse);
  ScreenToCell(vx, mouse, cell);
  TrackMouse_Stop();
  t.status_tracking = false;
  Cursor_Set_Shape(GRABBER_CURSOR);
  Move_End(cell, ShiftKeyDown());
  Sound_Tool_Stop();
  Current_Unit_UpToDate();
}

// --- Arrow keys ------------------------------------------------------------------------------------

void Obj_Nudge(bool8 is_shift, int16 signx, int16 signy) {
  const std::vector<int32> selected = Selected_Objects();
  if (selected.empty()) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  if (Sound_Done()) Sound_Effect(SND_SUBTOOL_SLIDER);
  int16 step = is_shift ? kNudgeShiftStep : kNudgeStep;
  const a_ratio& zoom = gs.views[0].zoom_factor;
  if (zoom.num > 0 && zoom.num < zoom.den) step = ScreenToCellInt(1, step);
  for (int32 omx : selected) {
    const a_oj_item* item = Obj_Item(omx);
    if (Is_Photo_Kind(item->kind))
      Photo_Delta_XY1(omx, false, int16(step * signx), int16(step * signy));
    else if (item->kind == TEXT_BLOCK)
      Text_Nudge(omx, is_shift, signx, signy);
  }
  Emit(OP_BLOCK_MOVEXY);
}

// --- Aligning, spreading and placing ---------------------------------------------------------------

int32 Validate_For_Move() {
  Begin_Selection_Change();
  for (int32 omx = ENUM_START; Selection_Enum(omx);)
    if (Calc_Move_Class(omx) != 2) Selection_Toggle(omx);
  End_Selection_Change();
  return Selection_Count();
}

int32 TopMost() {
  return Extreme([](const Rect& a, const Rect& b) { return a.top < b.top; });
}
int32 LeftMost() {
  return Extreme([](const Rect& a, const Rect& b) { return a.left < b.left; });
}
int32 BottomMost() {
  return Extreme([](const Rect& a, const Rect& b) { return a.bottom > b.bottom; });
}
int32 RightMost() {
  return Extreme([](const Rect& a, const Rect& b) { return a.right > b.right; });
}

void Enum_Align_H_L() { Enum_Align(ALIGN_H_L); }
void Enum_Align_H_C() { Enum_Align(ALIGN_H_C); }
void Enum_Align_H_R() { Enum_Align(ALIGN_H_R); }
void Enum_Align_V_T() { Enum_Align(ALIGN_V_T); }
void Enum_Align_V_C() { Enum_Align(ALIGN_V_C); }
void Enum_Align_V_B() { Enum_Align(ALIGN_V_B); }

void Obj_Spread_H() { Obj_Spread(true); }
void Obj_Spread_V() { Obj_Spread(false); }

void Align_Center() {
  if (g_doc.up == nullptr) return;
  const Rect& b = g_doc.up->paintbounds;
  Align_To(Point{int16((int32(b.top) + b.bottom) / 2), int16((int32(b.left) + b.right) / 2)});
}

void Align_Horz(int16 num, int16 den) {
  if (g_doc.up == nullptr) return;
  Align_To(Point{kKeep, Fraction_Of(g_doc.up->paintbounds.right, num, den)});
}

void Align_Vert(int16 num, int16 den) {
  if (g_doc.up == nullptr) return;
  Align_To(Point{Fraction_Of(g_doc.up->paintbounds.bottom, num, den), kKeep});
}

// --- Status --------------------------------------------------------------------------------------------

void Calc_Spec_PStatus(int32 omx, char* text, int32 cap) {
  if (cap <= 0) return;
  text[0] = 0;
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr || !Is_Photo_Kind(item->kind) || item->ph == nullptr) return;
  const a_spec& spec = item->ph->spec;
  int32 ix = 0;
  const bool held = Find_Basis(spec.source.sid, ix);
  switch (spec.source.kind) {
    case SOURCE_EXTFILE: {
      // The file's name when its bytes go with the document, else its path.
      const a_cache_item* entry = held ? Cache_Entry(ix) : nullptr;
      const char* path = spec.source.path.name;
      const char* slash = std::strrchr(path, '/');
      Append_Text(text, cap, entry != nullptr && entry->c.raw != nullptr && slash != nullptr ? slash + 1 : path);
      break;
    }
    case SOURCE_CLIPBOARD:
    case SOURCE_COLLAGE: {
      Str255 s{};
      Get_DLOG_String(s, spec.source.kind == SOURCE_CLIPBOARD ? kStrClipboard : kStrCollage);
      Append_Text(text, cap, s);
      break;
    }
    default: return;  // a library picture or an empty slot: nothing to tell
  }
  if (held) {
    // The status is made again on every idle tick the pointer rests on the
    // photo: the numbers are written without going through printf.
    char size[40] = "  ";
    char* end = std::to_chars(size + 2, size + 16, int(Width(spec.subset))).ptr;
    end = std::copy_n(" x ", 3, end);
    *std::to_chars(end, size + sizeof size - 1, int(Height(spec.subset))).ptr = 0;
    Append_Text(text, cap, size);
  } else {
    Str255 s{};
    Get_DLOG_String(s, item->kind == SLOT_BLOCK ? kStrEmpty : kStrMissing);
    Append_Text(text, cap, s);
  }
}

void Calc_Hover_PStatus(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  Str255 s{};
  if (item != nullptr) {
    if (item->kind == TEXT_BLOCK)
      Get_DLOG_String(s, kStrTextObject);
    else if (item->kind == PAINT_BLOCK)
      Get_DLOG_String(s, kStrPaintLayer);
    else
      Calc_Spec_PStatus(omx, s, int32(sizeof s));
  }
  PStatus_Set(CStrSpan(s, std::strlen(s)));
}

void Calc_Default_PStatus() {
  int32 omx = 0;
  if (Is_One_Selected(omx))
    Calc_Hover_PStatus(omx);
  else
    PStatus_Set(CStrSpan("", 0));
}
