#include "objects/VoskPhot.h"

#include <algorithm>

#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "pixel/Fast.h"
#include "platform/QDRect.h"
#include "platform/SysMem.h"
#include "platform/SysSound.h"
#include "ui/VoskCurs.h"

namespace {

int16 Clamp16(int64 v) { return int16(std::clamp<int64>(v, -32768, 32767)); }

// The frame's corners in cells: upper-left, upper-right, lower-right,
// lower-left, and the upper-left again.
void Frame_Points(const a_ph_rec& ph, Point pts[PH_FRAME_POINTS]) {
  const a_spec& s = ph.spec;
  const int64 sw = int64(s.subset.right) - s.subset.left, sh = int64(s.subset.bottom) - s.subset.top;
  if (Is_Angle_Even(s.angle) || sw <= 0 || sh <= 0) {
    // Upright (or turned by quarters): the placed box is the frame. A picture
    // of unknown size has only its box too.
    const Rect& b = ph.dst_box;
    pts[0] = Point{b.top, b.left};
    pts[1] = Point{b.top, b.right};
    pts[2] = Point{b.bottom, b.right};
    pts[3] = Point{b.bottom, b.left};
  } else {
    // The picture's own rectangle, with its edge, turned about its centre
    // (counter-clockwise on the screen, as it is drawn). Kept in 64 bits:
    // a scaled side can pass the 16-bit range.
    const int64 edge = s.edge_kind != PHOTOEDGE_NONE ? 2 * (int64(s.edge_border) + s.edge_outline) : 0;
    const int64 w = sw * std::abs(int64(s.scalingh)) / 1000 + edge;
    const int64 h = sh * std::abs(int64(s.scalingv)) / 1000 + edge;
    const int64 sn = IntSin(s.angle), cs = IntCos(s.angle);
    const int64 ch = ph.dst_center.h, cv = ph.dst_center.v;
    const int64 left = -w / 2, top = -h / 2;
    const int64 dh[4] = {left, left + w, left + w, left};
    const int64 dv[4] = {top, top, top + h, top + h};
    for (int32 i = 0; i < 4; ++i)
      pts[i] = Point{Clamp16(cv + (dv[i] * cs - dh[i] * sn) / 16384), Clamp16(ch + (dh[i] * cs + dv[i] * sn) / 16384)};
  }
  pts[4] = pts[0];
}

// The view a point of the main window lies in.
uint16 View_Of(Point screen) { return gs.nviews >= 2 && PtInRect(screen, gs.views[1].bounds) ? 2 : 1; }

// The corner handles show: the photo is selected alone and upright.
bool Corners_Shown(const a_oj_item& item) {
  return (item.flags & OJ_Flag_Bit(SELECTED_FLAG)) != 0 && Is_Photo_Corner_Visible(item.ph) &&
         Selection_Count() == 1;
}

// The part of the photo whose frame in cells is cells under screen (view vx).
a_oj_part Part_At(uint16 vx, Point screen, const a_oj_item& item, const Point cells[PH_FRAME_POINTS]) {
  Point pts[PH_FRAME_POINTS];
  for (int32 i = 0; i < PH_FRAME_POINTS; ++i) CellToScreen(vx, cells[i], pts[i]);
  if (Corners_Shown(item)) {
    Rect corners[4];
    Calc_Frame_Corners(Rect{pts[0].v, pts[0].h, pts[2].v, pts[2].h}, corners);
    for (int32 k = 0; k < 4; ++k) {
      InsetRect(corners[k], -1, -1);
      if (PtInRect(screen, corners[k])) return a_oj_part(ULCORNER_PART + k);
    }
  }
  return Pt_In_Polygon(screen, pts, PH_FRAME_POINTS) ? DRAG_PART : OUTSIDE_PART;
}

}  // namespace

void PH_NetBox(const a_ph_rec* ph, Rect& box) { box = ph != nullptr ? ph->dst_box : Rect{0, 0, 0, 0}; }

void PH_Dup(const a_ph_rec* ph, a_oj_kind kind) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || ph == nullptr) return;
  a_oj_master& m = unit->oj;
  if (m.nlist >= MAX_OJ) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  a_ph_rec* copy = New_PH_Rec();
  if (copy == nullptr) return;
  *copy = *ph;
  Point c{int16(ph->dst_center.v + DUP_OFFSET), int16(ph->dst_center.h + DUP_OFFSET)};
  if (int32(ph->dst_center.h) + DUP_OFFSET > int32(unit->paintbounds.right) - DUP_MARGIN ||
      int32(ph->dst_center.v) + DUP_OFFSET > int32(unit->paintbounds.bottom) - DUP_MARGIN)
    c = DUP_HOME;
  OffsetRect(copy->dst_box, int16(c.h - ph->dst_center.h), int16(c.v - ph->dst_center.v));
  copy->dst_center = c;
  Obj_PostRender(Obj_Append(m, kind, uint8(OJ_Flag_Bit(PENDING_FLAG) | OJ_Flag_Bit(VISIBLE_FLAG)), copy, nullptr));
}

void PH_Calc_Frame(a_pointlist_rec* pointlist, const a_ph_rec* ph) {
  if (pointlist == nullptr || ph == nullptr || pointlist->max < PH_FRAME_POINTS) return;
  Frame_Points(*ph, pointlist->points);
  pointlist->npoints = PH_FRAME_POINTS;
}

void Calc_Frame_Corners(const Rect& frame, Rect corners[4]) {
  const int16 side = int16(std::min<int32>(int32(frame.right) - frame.left, int32(frame.bottom) - frame.top) / 2);
  const int16 s = std::max<int16>(0, std::min(PH_HANDLE_SIZE, side));
  const int16 o = int16(s / 2);
  const int16 l = int16(frame.left - o), t = int16(frame.top - o);
  const int16 r = int16(frame.right - s + o), b = int16(frame.bottom - s + o);
  corners[0] = Rect{t, l, int16(t + s), int16(l + s)};
  corners[1] = Rect{t, r, int16(t + s), int16(r + s)};
  corners[2] = Rect{b, r, int16(b + s), int16(r + s)};
  corners[3] = Rect{b, l, int16(b + s), int16(l + s)};
}

bool8 Is_Photo_Corner_Visible(const a_ph_rec* ph) { return ph != nullptr && ph->spec.angle == 0; }

a_oj_part Calc_Photo_Part(uint16 vx, Point screen, int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr || item->ph == nullptr || item->kind == PAINT_BLOCK || item->kind == TEXT_BLOCK)
    return OUTSIDE_PART;
  Point cells[PH_FRAME_POINTS];
  Frame_Points(*item->ph, cells);
  return Part_At(vx, screen, *item, cells);
}

bool8 PH_Is_Inside(Point screen, Point cell, int32 omx, a_oj_part& part) {
  part = OUTSIDE_PART;
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr || item->ph == nullptr || (item->kind != PHOTO_BLOCK && item->kind != SYMBOL_BLOCK &&
                                                 item->kind != SLOT_BLOCK))
    return false;
  const uint16 vx = View_Of(screen);
  Point cells[PH_FRAME_POINTS];
  Frame_Points(*item->ph, cells);
  // Far from the frame (handles and rounding allowed for) nothing is hit:
  // most objects are passed by here, in cells.
  int32 top = cells[0].v, left = cells[0].h, bottom = top, right = left;
  for (int32 i = 1; i < 4; ++i) {
    top = std::min<int32>(top, cells[i].v);
    bottom = std::max<int32>(bottom, cells[i].v);
    left = std::min<int32>(left, cells[i].h);
    right = std::max<int32>(right, cells[i].h);
  }
  const int32 margin = ScreenToCellInt(vx, PH_HANDLE_SIZE) + 2;
  if (cell.h < left - margin || cell.h > right + margin || cell.v < top - margin || cell.v > bottom + margin)
    return false;
  // Corners are only offered with one object selected, so any hit of a
  // photo among several selected is a drag.
  const a_oj_part p = Part_At(vx, screen, *item, cells);
  if (p == OUTSIDE_PART) return false;
  part = p;
  return true;
}

void PH_Dispose(a_ph_rec*& ph) {
  Ptr p = reinterpret_cast<Ptr>(ph);
  Dispose_Ptr(p);
  ph = nullptr;
}

void Inside_Photo_Cursor(a_oj_part part, bool8 ctrl, bool8 dragging) {
  switch (part) {
    case ULCORNER_PART:
    case LRCORNER_PART: Cursor_Set_Shape(ctrl ? FOURCORNERS_CURSOR : LCORNER_CURSOR); break;
    case URCORNER_PART:
    case LLCORNER_PART: Cursor_Set_Shape(ctrl ? FOURCORNERS_CURSOR : RCORNER_CURSOR); break;
    case DRAG_PART:
    case CONTENT_PART: Cursor_Set_Shape(dragging ? GRABBER2_CURSOR : GRABBER_CURSOR); break;
    default: Cursor_Set_Shape(ARROW_CURSOR); break;
  }
}

void PH_Draw_Frame(uint16, bool8, bool8, const a_ph_rec*) {}

void Track_Photo_Scaling(uint16, a_oj_part, Point, int32) {}

void Photo_Crop() {}

void PH_To_Sliders(const a_ph_rec*) {}

void Delta_Photo() {}
void Init_Photo_Geom() {}
void Track_Photo_Geom() {}
void Stop_Photo_Geom() {}
