#include "objects/VoskPhot.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskRend.h"
#include "objects/VoskAtom.h"
#include "objects/VoskLayer.h"
#include "objects/VoskPack.h"
#include "objects/VoskSym.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/Fast.h"
#include "pixel/OP.h"
#include "pixel/ParsQuik.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "pixel/TextUtil.h"
#include "pixel/ArtKeys.h"
#include "platform/SysFont.h"
#include "platform/Events.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysDlog.h"
#include "platform/SysIONav.h"
#include "platform/SysInfo.h"
#include "platform/SysKey.h"
#include "platform/SysMem.h"
#include "platform/SysScrap.h"
#include "platform/SysSound.h"
#include "platform/SysTrack.h"
#include "platform/VoskErr.h"
#include "ui/VoskBrow.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"
#include "ui/VoskSlid.h"

bool8 ph_loading = false;
a_crop_rec g_crop{};

namespace {

constexpr int16 kAlertNoMemory = 16;
constexpr int16 kAlertDepth = 58;
constexpr int16 kAlertCannotRead = 10;
// Kinds whose record is a photo record, and those that turn with the
// rotation commands.
constexpr a_oj_kind_set kPhotoRecKinds = a_oj_kind_set(Kind_Bit(PHOTO_BLOCK) | Kind_Bit(SYMBOL_BLOCK) |
                                                       Kind_Bit(SLOT_BLOCK));
constexpr a_oj_kind_set kTurnKinds = a_oj_kind_set(Kind_Bit(PHOTO_BLOCK) | Kind_Bit(SYMBOL_BLOCK));
// A coordinate Photo_Set_Center leaves as it is.
constexpr int16 kKeepCoordinate = -10000;
constexpr a_type_suffix kPhotoFileTypes[] = {
    {{'J', 'P', 'E', 'G'}, ".JPG"}, {{'J', 'P', 'E', 'G'}, ".JPEG"}, {{'P', 'N', 'G', 'f'}, ".PNG"},
    {{'T', 'I', 'F', 'F'}, ".TIF"}, {{'T', 'I', 'F', 'F'}, ".TIFF"}, {{'G', 'I', 'F', 'f'}, ".GIF"},
    {{'B', 'M', 'P', 'f'}, ".BMP"}, {{'P', 'I', 'C', 'T'}, ".PCT"}, {{'P', 'I', 'C', 'T'}, ".PICT"},
    {{'8', 'B', 'P', 'S'}, ".PSD"}, {{'I', 'L', 'B', 'M'}, ".IFF"}, {{'I', 'L', 'B', 'M'}, ".LBM"},
};

int16 Clamp16(int64 v) { return int16(std::clamp<int64>(v, -32768, 32767)); }

int32 Width(const Rect& r) { return int32(r.right) - r.left; }
int32 Height(const Rect& r) { return int32(r.bottom) - r.top; }

// The frame's corners in cells: upper-left, upper-right, lower-right,
// lower-left, and the upper-left again.
void Frame_Points(const a_ph_rec& ph, Point pts[PH_FRAME_POINTS]) {
  const a_spec& s = ph.spec;
  const int64 sw = Width(s.subset), sh = Height(s.subset);
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

bool Is_Kind_In(a_oj_kind kind, a_oj_kind_set kinds) { return kind <= PAINT_BLOCK && ((kinds >> kind) & 1) != 0; }

// The photo record of object omx when its kind is in kinds, else NIL.
a_ph_rec* PH_Of(int32 omx, a_oj_kind_set kinds = kPhotoRecKinds) {
  a_oj_item* item = Obj_Item(omx);
  if (item == nullptr || !Is_Kind_In(item->kind, kinds)) return nullptr;
  return item->ph;
}

// Exactly one object is selected, and it is of kinds: omx := it.
bool One_Selected_Of(a_oj_kind_set kinds, int32& omx) {
  omx = ENUM_START;
  if (!Enum(true, true, OBJECT_KINDS, omx)) return false;
  const int32 first = omx;
  if (Enum(true, true, OBJECT_KINDS, omx)) return false;
  omx = first;
  return PH_Of(omx, kinds) != nullptr;
}

// A slider's value stored as the slider keeps it (within its range), its
// thumb drawn again where it is shown.
void Load_Slider(a_slider_enum slider, int32 value) { Slider_Blast(slider, Clamp16(value)); }

// The sliders follow the lone selected photo or symbol after a change made
// elsewhere than on them (buttons, menus).
void Sliders_Follow(int32 omx) {
  int32 only = 0;
  if (!One_Selected_Of(kTurnKinds, only) || only != omx) return;
  const a_ph_rec* ph = PH_Of(omx, kTurnKinds);
  if (ph == nullptr) return;
  if (ph->spec.is_symbol)
    Symbol_To_Sliders(ph);
  else
    PH_To_Sliders(ph);
}

// The palette colour at bar's selection (white outside the palette).
a_pixel32 Bar_Color(a_bar bar) {
  const int16 x = gs.bar_selection[bar];
  if (x < 0 || x >= gs.ncolor_table || x >= NCOLOR_TABLE) return a_pixel32{{255, 255, 255, 0}};
  return gs.color_table[x];
}

// The rendering record's fields that a photo slider of their own shows, one to one.
struct a_spec_slider {
  a_slider_enum slider;
  int16 a_spec::*field;
};
constexpr a_spec_slider kSpecSliders[] = {
    {PHOTO_ANGLE_SLIDER, &a_spec::angle},
    {PHOTO_DARKNESS_SLIDER, &a_spec::darkness},
    {PHOTO_OPACITY_SLIDER, &a_spec::opacity},
    {PHOTO_CORNER_SLIDER, &a_spec::corner},
    {PHOTO_FEATHER_SLIDER, &a_spec::feather},
    {PHOTO_EDGE_BORDER_SLIDER, &a_spec::edge_border},
    {PHOTO_EDGE_OUTLINE_SLIDER, &a_spec::edge_outline},
    {PHOTO_EDGE_SCALLOP_SLIDER, &a_spec::edge_scallop},
    {PHOTO_EDGE_ROUGH_SLIDER, &a_spec::edge_rough},
    {COLOR_SAT_SLIDER, &a_spec::color_sat},
    {COLOR_HUE_SLIDER, &a_spec::color_hue},
    {COLOR_DIST_SLIDER, &a_spec::color_dist},
    {PHOTO_SHAD_DX_SLIDER, &a_spec::shad_dx},
    {PHOTO_SHAD_DY_SLIDER, &a_spec::shad_dy},
    {PHOTO_SHAD_OPACITY_SLIDER, &a_spec::shad_opacity},
    {PHOTO_SHAD_RADIUS_SLIDER, &a_spec::shad_radius},
};

a_slider_enum Size_Slider_H(const a_spec& s) { return s.is_symbol ? SYMBOL_SIZE_SLIDER : PHOTO_SIZEH_SLIDER; }
a_slider_enum Size_Slider_V(const a_spec& s) { return s.is_symbol ? SYMBOL_SIZE_SLIDER : PHOTO_SIZEV_SLIDER; }
a_slider_enum Angle_Slider(const a_spec& s) { return s.is_symbol ? SYMBOL_ANGLE_SLIDER : PHOTO_ANGLE_SLIDER; }
// The slider of a table row for the record s: a symbol's angle and opacity have
// sliders of their own.
a_slider_enum Spec_Slider(const a_spec_slider& row, const a_spec& s) {
  if (row.field == &a_spec::angle) return Angle_Slider(s);
  if (row.field == &a_spec::opacity && s.is_symbol) return SYMBOL_OPACITY_SLIDER;
  return row.slider;
}

// The size of a rendering predicted from its record alone: its
// subset at its scalings with the edge, turned (for a picture the render
// cache cannot size).
void Predicted_Size(const a_spec& s, int32& w, int32& h) {
  const int64 edge = Is_Edge_Used(s) ? 2 * (int64(s.edge_border) + s.edge_outline) : 0;
  const double pw = double(Width(s.subset)) * s.scalingh / 1000.0 + double(edge);
  const double ph = double(Height(s.subset)) * s.scalingv / 1000.0 + double(edge);
  const double a = double(s.angle) * M_PI / 1800.0;
  const double tw = std::abs(pw * std::cos(a)) + std::abs(ph * std::sin(a));
  const double th = std::abs(pw * std::sin(a)) + std::abs(ph * std::cos(a));
  w = int32(std::clamp(std::lround(tw), 1l, 32767l));
  h = int32(std::clamp(std::lround(th), 1l, 32767l));
}

// The box of size w x h centred on c.
Rect Box_On(Point c, int32 w, int32 h) {
  const int32 left = int32(c.h) - w / 2, top = int32(c.v) - h / 2;
  return Rect{Clamp16(top), Clamp16(left), Clamp16(int64(top) + h), Clamp16(int64(left) + w)};
}

// The centre kept within the unit's paintbounds.
Point Clamp_To_Unit(Point c) {
  const a_doc_unit* u = g_doc.up;
  if (u == nullptr) return c;
  const Rect& b = u->paintbounds;
  return Point{int16(std::clamp<int32>(c.v, b.top, std::max<int32>(b.top, b.bottom - 1))),
               int16(std::clamp<int32>(c.h, b.left, std::max<int32>(b.left, b.right - 1)))};
}

// The centre of the unit's paintbounds.
Point Unit_Center() {
  const a_doc_unit* u = g_doc.up;
  if (u == nullptr) return Point{0, 0};
  const Rect& b = u->paintbounds;
  return Point{int16((int32(b.top) + b.bottom) / 2), int16((int32(b.left) + b.right) / 2)};
}

bool List_Full() {
  const a_oj_master* m = Curr_Obj_List();
  return m == nullptr || m->nlist >= MAX_OJ;
}

// --- The clipboard record ------------------------------------------------------

void Codec_Chars(OSType codec, char (&out)[4]) {
  for (int32 i = 0; i < 4; ++i) out[i] = char(uint8(codec >> (24 - 8 * i)));
}
OSType Codec_Of(const char (&in)[4]) {
  OSType c = 0;
  for (int32 i = 0; i < 4; ++i) c = (c << 8) | uint8(in[i]);
  return c;
}

// The record is packed: its members of record types may lie at any
// address, so they are copied as bytes.
template <class T>
void Put_At(a_pasted_ph_rec& r, size_t offset, const T& value) {
  std::memcpy(reinterpret_cast<uint8*>(&r) + offset, &value, sizeof value);
}
template <class T>
T Get_At(const a_pasted_ph_rec& r, size_t offset) {
  T value;
  std::memcpy(&value, reinterpret_cast<const uint8*>(&r) + offset, sizeof value);
  return value;
}
#define PASTED_AT(field) offsetof(a_pasted_ph_rec, field)

void Pack_Pasted(a_oj_kind kind, const a_ph_rec& ph, a_pasted_ph_rec& r) {
  std::memset(static_cast<void*>(&r), 0, sizeof r);
  const a_spec& s = ph.spec;
  r.ojkind = uint8(kind);
  r.sid = s.source.sid;
  r.kind = uint8(s.source.kind);
  if (s.source.kind == SOURCE_DATABASE) {
    Put_At(r, PASTED_AT(src), s.source.key);
  } else if (s.source.kind == SOURCE_EXTFILE) {
    r.src.path.vRefNum = s.source.path.vRefNum;
    r.src.path.parID = s.source.path.parID;
    // The record has room for 255 bytes of the name: a longer one is cut and
    // names no file, and the picture is found by its sid.
    const size_t n = strnlen(s.source.path.name, sizeof s.source.path.name);
    std::memcpy(r.src.path.name, s.source.path.name, std::min<size_t>(n, sizeof r.src.path.name - 1));
  }
  r.angle = s.angle;
  r.scalingh = s.scalingh;
  r.scalingv = s.scalingv;
  r.darkness = s.darkness;
  r.opacity = s.opacity;
  r.corner = s.corner;
  r.feather = s.feather;
  r.edge_kind = s.edge_kind;
  r.edge_border = s.edge_border;
  r.edge_outline = s.edge_outline;
  r.edge_scallop = s.edge_scallop;
  r.edge_rough = s.edge_rough;
  r.color_sat = s.color_sat;
  r.color_hue = s.color_hue;
  r.color_dist = s.color_dist;
  r.shad_dx = s.shad_dx;
  r.shad_dy = s.shad_dy;
  r.shad_opacity = s.shad_opacity;
  r.shad_radius = s.shad_radius;
  r.flipx = s.flipx ? 1 : 0;
  r.flipy = s.flipy ? 1 : 0;
  r.invert = s.invert ? 1 : 0;
  r.wtransp = s.wtransp ? 1 : 0;
  r.shadf = s.shadf ? 1 : 0;
  r.constrainf = s.constrainf ? 1 : 0;
  r.is_symbol = s.is_symbol ? 1 : 0;
  Put_At(r, PASTED_AT(symbol_color), s.symbol_color);
  Put_At(r, PASTED_AT(edge_bord_color), s.edge_bord_color);
  Put_At(r, PASTED_AT(edge_outl_color), s.edge_outl_color);
  Put_At(r, PASTED_AT(subset), s.subset);
  r.hintx = 0;
  Codec_Chars(ph.codec, r.codec);
  Put_At(r, PASTED_AT(dst_center), ph.dst_center);
  Put_At(r, PASTED_AT(dst_box), ph.dst_box);
}

// A value of the record against its slider's range.
bool In_Range(int16 value, a_slider_enum slider) { return Slider_Limit_Value(slider, value) == value; }

// The record's bytes checked and turned into a photo record; FALSE when they
// are not one of ours.
bool Unpack_Pasted(const uint8* data, uint32 size, a_oj_kind& kind, a_ph_rec& ph) {
  if (data == nullptr || size != PASTED_PH_SIZE) return false;
  a_pasted_ph_rec r;
  std::memcpy(static_cast<void*>(&r), data, sizeof r);
  if (r.ojkind != PHOTO_BLOCK && r.ojkind != SYMBOL_BLOCK) return false;
  switch (r.kind) {
    case SOURCE_DATABASE:
    case SOURCE_EXTFILE:
    case SOURCE_CLIPBOARD:
    case SOURCE_COLLAGE: break;
    default: return false;
  }
  if (r.edge_kind < PHOTOEDGE_NONE || r.edge_kind > PHOTOEDGE_ROUGH) return false;
  if (std::memchr(r.src.path.name, 0, sizeof r.src.path.name) == nullptr) return false;

  kind = a_oj_kind(r.ojkind);
  std::memset(static_cast<void*>(&ph), 0, sizeof ph);
  a_spec& s = ph.spec;
  Null_Spec(s);
  s.source.sid = r.sid;
  s.source.kind = a_source_kind(r.kind);
  if (s.source.kind == SOURCE_DATABASE) {
    s.source.key = Get_At<a_keyset>(r, PASTED_AT(src));
  } else if (s.source.kind == SOURCE_EXTFILE) {
    s.source.path.vRefNum = r.src.path.vRefNum;
    s.source.path.parID = r.src.path.parID;
    std::memcpy(s.source.path.name, r.src.path.name, sizeof r.src.path.name);
  }
  s.angle = r.angle;
  s.scalingh = r.scalingh;
  s.scalingv = r.scalingv;
  s.darkness = r.darkness;
  s.opacity = r.opacity;
  s.corner = r.corner;
  s.feather = r.feather;
  s.edge_kind = r.edge_kind;
  s.edge_border = r.edge_border;
  s.edge_outline = r.edge_outline;
  s.edge_scallop = r.edge_scallop;
  s.edge_rough = r.edge_rough;
  s.color_sat = r.color_sat;
  s.color_hue = r.color_hue;
  s.color_dist = r.color_dist;
  s.shad_dx = r.shad_dx;
  s.shad_dy = r.shad_dy;
  s.shad_opacity = r.shad_opacity;
  s.shad_radius = r.shad_radius;
  s.flipx = r.flipx != 0;
  s.flipy = r.flipy != 0;
  s.invert = r.invert != 0;
  s.wtransp = r.wtransp != 0;
  s.shadf = r.shadf != 0;
  s.constrainf = r.constrainf != 0;
  s.is_symbol = r.is_symbol != 0;
  s.symbol_color = Get_At<a_pixel32>(r, PASTED_AT(symbol_color));
  s.edge_bord_color = Get_At<a_pixel32>(r, PASTED_AT(edge_bord_color));
  s.edge_outl_color = Get_At<a_pixel32>(r, PASTED_AT(edge_outl_color));
  s.subset = Get_At<Rect>(r, PASTED_AT(subset));
  s.hintx = 0;
  ph.codec = Codec_Of(r.codec);
  ph.dst_center = Get_At<Point>(r, PASTED_AT(dst_center));
  ph.dst_box = Get_At<Rect>(r, PASTED_AT(dst_box));

  // Every value within its slider's range (the symbol's own for its size,
  // angle and opacity), and a picture to show.
  if (!In_Range(s.scalingh, Size_Slider_H(s)) || !In_Range(s.scalingv, Size_Slider_V(s))) return false;
  for (const a_spec_slider& row : kSpecSliders)
    if (!In_Range(s.*row.field, Spec_Slider(row, s))) return false;
  if (EmptyRect(s.subset)) return false;
  Clean_Spec(s);
  PH_Limit_Scalings(s);
  return true;
}

// The picture of a pasted record is still to be had.
bool Source_Available(const a_spec& s) {
  if (s.source.kind == SOURCE_DATABASE) return OP_Exists(s.source.key);
  int32 ix = 0;
  return Find_Basis(s.source.sid, ix);
}

}  // namespace

// --- The clipboard record ---------------------------------------------------------

void Scrap_Add_PH(a_oj_kind kind, const a_ph_rec* ph) {
  if (ph == nullptr) return;
  a_pasted_ph_rec r;
  Pack_Pasted(kind, *ph, r);
  Scrap_Add_Ptr(&r, PASTED_PH_SIZE, SCRAP_PH);
}

void Do_Paste_PH(const uint8* data, uint32 size) {
  a_oj_kind kind = PHOTO_BLOCK;
  a_ph_rec pasted;
  if (!Unpack_Pasted(data, size, kind, pasted) || g_doc.up == nullptr || List_Full()) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  if (!Source_Available(pasted.spec)) return;
  int32 omx = 0;
  a_ph_rec* ph = PH_New(omx, kind);
  if (ph == nullptr) return;
  *ph = pasted;
  ph->dst_center = Clamp_To_Unit(pasted.dst_center);
  Photo_Merge(omx, true);
  History_Emit(OP_PHOTO_PASTE);
}

// --- Records, boxes and frames ------------------------------------------------

void PH_NetBox(const a_ph_rec* ph, Rect& box) { box = ph != nullptr ? ph->dst_box : Rect{0, 0, 0, 0}; }

a_ph_rec* PH_New(int32& omx, a_oj_kind kind) {
  omx = ENUM_DONE;
  a_oj_master* m = Curr_Obj_List();
  if (m == nullptr || m->nlist >= MAX_OJ) return nullptr;
  a_ph_rec* ph = New_PH_Rec();
  if (ph == nullptr) return nullptr;
  Null_Spec(ph->spec);
  omx = Check_Layer_Order(Obj_Append(*m, kind, OJ_Flag_Bit(VISIBLE_FLAG), ph, nullptr));
  Obj_Number_Changed();
  return ph;
}

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

void PH_Draw_Frame(uint16 vx, bool8 visible, bool8 hilite, const a_ph_rec* ph) {
  if (ph == nullptr) return;
  a_pointlist_ptr cells = nullptr, screen = nullptr;
  New_Pointlist(PH_FRAME_POINTS, cells);
  New_Pointlist(PH_FRAME_POINTS, screen);
  if (cells != nullptr && screen != nullptr) {
    PH_Calc_Frame(cells, ph);
    CellToScreen_Pointlist(vx, cells, screen);
    PenState pen;
    GetPenState(pen);
    PenNormal();
    SetForeColor24(hilite ? PH_SELECT_COLOR : PH_FRAME_COLOR);
    if (visible)
      Frame_Pointlist(1, screen);
    else
      Dash_Pointlist(1, screen);
    // The lone selected upright photo: its corner handles, each a bracket
    // round its corner with arms half the handle thick.
    if (hilite && Is_Photo_Corner_Visible(ph) && Selection_Count() == 1) {
      const Point* p = screen->points;
      Rect corners[4];
      Calc_Frame_Corners(Rect{p[0].v, p[0].h, p[2].v, p[2].h}, corners);
      for (int32 k = 0; k < 4; ++k) {
        const Rect& c = corners[k];
        const int16 arm = int16(std::max<int32>(1, Width(c) / 2));
        const bool top = k < 2, left = k == 0 || k == 3;
        PaintRect(top ? Rect{c.top, c.left, int16(c.top + arm), c.right} : Rect{int16(c.bottom - arm), c.left, c.bottom, c.right});
        PaintRect(left ? Rect{c.top, c.left, c.bottom, int16(c.left + arm)}
                       : Rect{c.top, int16(c.right - arm), c.bottom, c.right});
      }
    }
    SetPenState(pen);
    SetForeColor(0, 0, 0);
  }
  Dispose_Pointlist(cells);
  Dispose_Pointlist(screen);
}

// --- Drawing ---------------------------------------------------------------------

bool8 Is_Photo_Missing(const a_ph_rec* ph) {
  if (ph == nullptr) return true;
  const a_source_desc& src = ph->spec.source;
  if (src.kind == SOURCE_DATABASE) return !OP_Exists(src.key);
  int32 ix = 0;
  return !Find_Basis(src.sid, ix);
}

void Photo_Natural_Bounds(const a_ph_rec* ph, Rect& bounds) {
  bounds = Rect{0, 0, 0, 0};
  if (ph == nullptr) return;
  const a_source_desc& src = ph->spec.source;
  if (src.kind == SOURCE_DATABASE) {
    a_pixt pixt{};
    if (OP_Exists(src.key) && KPixt_Load_Checked(src.key, pixt) == PIXT_OK) bounds = pixt.pixmap.bounds;
    Pixt_Unload(pixt);
  } else {
    Basis_Natural(src.sid, bounds);
  }
  if (EmptyRect(bounds)) bounds = ph->spec.subset;
}

void PH_Draw(GWorldPtr world, const a_ph_rec* ph, a_cache_purpose purpose, const Rect* dirty) {
  if (ph == nullptr) return;
  const Rect dest = ph->dst_box;
  Rect area = dest;
  if (EmptyRect(dest) || (dirty != nullptr && !SectRect(dest, *dirty, area))) return;
  if (world != nullptr) Push_GWorld(world);
  if (Is_Photo_Missing(ph)) {
    // On paper a missing picture leaves its place blank; on the screen it
    // shows the missing pattern.
    if (purpose != FOR_PRINTING) {
      PushClip(area);
      Fill_Missing_Pattern(dest);
      PopClip();
    }
  } else {
    a_spec spec = ph->spec;
    a_cache_result c;
    Cache_Get(purpose, spec, c);
    const Rect u = c.union_;
    if (c.body.fore != nullptr && !EmptyRect(u)) {
      RgnHandle clip = nullptr;
      if (dirty != nullptr) {
        clip = NewRgn();
        RectRgn(clip, area);
      }
      // The rendering laid on the box its record gives: pieces at their place
      // within the union, scaled when the cache holds the picture at
      // another size (a reduced basis, or the rounding of a conversion).
      const int64 uw = Width(u), uh = Height(u), dw = Width(dest), dh = Height(dest);
      const auto place = [&](const Rect& piece) {
        return Rect{Clamp16(dest.top + (int64(piece.top) - u.top) * dh / uh),
                    Clamp16(dest.left + (int64(piece.left) - u.left) * dw / uw),
                    Clamp16(dest.top + (int64(piece.bottom) - u.top) * dh / uh),
                    Clamp16(dest.left + (int64(piece.right) - u.left) * dw / uw)};
      };
      const auto draw = [&](const a_masked_gworld& piece) {
        if (piece.fore == nullptr || EmptyRect(piece.bounds)) return;
        Rect to = place(piece.bounds), seen;
        if (!SectRect(to, area, seen)) return;
        Draw_Cached_MWorld(piece, to, clip);
      };
      draw(c.shad);
      draw(c.body);
      if (clip != nullptr) DisposeRgn(clip);
    }
  }
  if (world != nullptr) Pop_GWorld();
}

// --- Placing, moving and scaling ---------------------------------------------------

void PH_Limit_Scalings(a_spec& s) {
  s.scalingh = Slider_Limit_Value(Size_Slider_H(s), s.scalingh);
  s.scalingv = Slider_Limit_Value(Size_Slider_V(s), s.scalingv);
  const double w = double(Width(s.subset)) * s.scalingh / 1000.0;
  const double h = double(Height(s.subset)) * s.scalingv / 1000.0;
  if (w <= 0 || h <= 0) return;
  const double diagonal = std::sqrt(w * w + h * h);
  if (diagonal <= PH_MAX_PLACED) return;
  const double f = PH_MAX_PLACED / diagonal;
  s.scalingh = int16(std::max<int32>(1, int32(std::floor(s.scalingh * f))));
  s.scalingv = int16(std::max<int32>(1, int32(std::floor(s.scalingv * f))));
}

void Photo_Calc_DstBox(int32 omx) {
  a_ph_rec* ph = PH_Of(omx);
  if (ph == nullptr) return;
  int32 w = 0, h = 0;
  if (!Is_Photo_Missing(ph)) {
    a_spec spec = ph->spec;
    a_cache_result c;
    Cache_Get(FOR_SIZING, spec, c);
    w = Width(c.union_);
    h = Height(c.union_);
  }
  if (w <= 0 || h <= 0) Predicted_Size(ph->spec, w, h);
  ph->dst_box = Box_On(ph->dst_center, w, h);
}

void Photo_Merge(int32 omx, bool8 select) {
  Photo_Calc_DstBox(omx);
  Obj_PostRender(omx);
  if (select) Selection_Set1(omx);
}

void Photo_Recalc(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr) return;
  if (item->kind == SLOT_BLOCK) {
    Obj_PostRender(omx);
    return;
  }
  if (item->kind != PHOTO_BLOCK && item->kind != SYMBOL_BLOCK) return;
  Obj_PostRender(omx);
  Photo_Calc_DstBox(omx);
  Obj_PostRender(omx);
  int32 lone = 0;
  if (One_Selected_Of(kTurnKinds, lone) && lone == omx) {
    if (item->kind == PHOTO_BLOCK)
      PH_To_Sliders(item->ph);
    else
      Symbol_To_Sliders(item->ph);
  }
  LayerBar_Inval();
}

void Photo_Set_Center(int32 omx, Point c) {
  a_ph_rec* ph = PH_Of(omx);
  if (ph == nullptr) return;
  Obj_PostRender(omx);
  if (c.h == kKeepCoordinate) c.h = ph->dst_center.h;
  if (c.v == kKeepCoordinate) c.v = ph->dst_center.v;
  OffsetRect(ph->dst_box, int16(c.h - ph->dst_center.h), int16(c.v - ph->dst_center.v));
  ph->dst_center = c;
  Obj_PostRender(omx);
}

void Photo_Delta_XY1(int32 omx, bool8 constrain, int16 dx, int16 dy) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr || !Is_Kind_In(item->kind, kPhotoRecKinds) || item->ph == nullptr) return;
  if (constrain) {
    if (std::abs(int32(dy)) <= std::abs(int32(dx)))
      dy = 0;
    else
      dx = 0;
  }
  Point c{Clamp16(int32(item->ph->dst_center.v) + dy), Clamp16(int32(item->ph->dst_center.h) + dx)};
  if (item->kind != SLOT_BLOCK) c = Clamp_To_Unit(c);
  Photo_Set_Center(omx, c);
}

namespace {

enum a_fit_kind { FIT_H, FIT_V, COVER_P, COVER_D };

// The scaling that brings length p to u, thousandths (64-bit: a picture a
// few pixels wide on a large unit passes 16 bits).
int32 Ratio_Scaling(int32 u, int32 p) { return int32(std::min<int64>(int64(u) * 1000 / p, 32767)); }

void Photo_Fit(a_fit_kind how) {
  int32 omx = 0;
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || !One_Selected_Of(kTurnKinds, omx)) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  a_ph_rec* ph = PH_Of(omx);
  const Rect& b = unit->paintbounds;
  const int32 pw = Width(ph->spec.subset), phh = Height(ph->spec.subset);
  const int32 uw = Width(b), uh = Height(b);
  if (pw <= 0 || phh <= 0 || uw <= 0 || uh <= 0) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  Obj_PostRender(omx);
  a_spec& s = ph->spec;
  const int32 sx = Ratio_Scaling(uw, pw), sy = Ratio_Scaling(uh, phh);
  const Point mid = Unit_Center();
  switch (how) {
    case FIT_H:
      s.scalingh = s.scalingv = Clamp16(sx);
      ph->dst_center.h = mid.h;
      break;
    case FIT_V:
      s.scalingh = s.scalingv = Clamp16(sy);
      ph->dst_center.v = mid.v;
      break;
    case COVER_P:
      s.scalingh = s.scalingv = Clamp16(std::max(sx, sy));
      s.constrainf = true;
      ph->dst_center = mid;
      break;
    case COVER_D:
      s.scalingh = Clamp16(sx);
      s.scalingv = Clamp16(sy);
      s.constrainf = false;
      ph->dst_center = mid;
      break;
  }
  // A symbol keeps one size.
  if (s.is_symbol) s.scalingh = s.scalingv = std::max(s.scalingh, s.scalingv);
  PH_Limit_Scalings(s);
  Photo_Recalc(omx);
  Sliders_Follow(omx);
  History_Emit(s.is_symbol ? OP_SYMBOL_SIZE : OP_PHOTO_SIZE);
}

void Photo_Turn(int16 delta) {
  // In the collage the selected slots turn their photos.
  if (gs.curr_phase == COLLAGE_PHASE) {
    bool turned = false;
    for (int32 omx = ENUM_START; Enum(true, true, Kind_Bit(SLOT_BLOCK), omx);) {
      Slot_Rotate(omx, delta);
      turned = true;
    }
    if (!turned) Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  bool any = false;
  for (int32 omx = ENUM_START; Enum(true, true, kTurnKinds, omx);) {
    a_ph_rec* ph = PH_Of(omx, kTurnKinds);
    if (ph == nullptr) continue;
    a_spec& s = ph->spec;
    const a_slider_enum slider = Angle_Slider(s);
    int32 a = int32(s.angle) + delta;
    if (a < SLIDER_VALUES[slider].minval) a += 3600;
    if (a > SLIDER_VALUES[slider].maxval) a -= 3600;
    Obj_PostRender(omx);
    s.angle = Clamp16(a);
    Photo_Recalc(omx);
    Sliders_Follow(omx);
    any = true;
  }
  if (!any) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  History_Emit(OP_PHOTO_ANGLE);
}

enum a_toggle_field { FLIP_X, FLIP_Y, INVERT };

void Photo_Toggle(a_toggle_field field) {
  bool any = false;
  for (int32 omx = ENUM_START; Enum(true, true, kPhotoRecKinds, omx);) {
    a_ph_rec* ph = PH_Of(omx);
    if (ph == nullptr) continue;
    bool8& f = field == FLIP_X ? ph->spec.flipx : field == FLIP_Y ? ph->spec.flipy : ph->spec.invert;
    f = !f;
    Obj_PostRender(omx);
    any = true;
  }
  if (!any) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  History_Emit(field == INVERT ? OP_PHOTO_INVERT : OP_PHOTO_FLIP);
}

}  // namespace

void Photo_Fit_H() { Photo_Fit(FIT_H); }
void Photo_Fit_V() { Photo_Fit(FIT_V); }
void Photo_Cover_P() { Photo_Fit(COVER_P); }
void Photo_Cover_D() { Photo_Fit(COVER_D); }
void Photo_Rotate_CW() { Photo_Turn(-900); }
void Photo_Rotate_CCW() { Photo_Turn(900); }
void Photo_FlipX() { Photo_Toggle(FLIP_X); }
void Photo_FlipY() { Photo_Toggle(FLIP_Y); }
void Photo_Invert() { Photo_Toggle(INVERT); }

int32 Check_Layer_Order(int32 omx) {
  a_oj_master* m = Curr_Obj_List();
  if (m == nullptr || omx < 1 || omx > m->nlist) return omx;
  int32 lowest = 0;
  for (int32 i = 1; i < omx && lowest == 0; ++i)
    if (m->list[i - 1].kind == TEXT_BLOCK) lowest = i;
  if (lowest == 0) return m->nlist == omx ? m->nlist : omx;
  const a_oj_item moved = m->list[omx - 1];
  for (int32 i = omx; i > lowest; --i) m->list[i - 1] = m->list[i - 2];
  m->list[lowest - 1] = moved;
  ++m->seq;
  return lowest;
}

Point Calc_New_Center() {
  const Point mid = Unit_Center();
  const a_doc_unit* u = g_doc.up;
  if (u == nullptr) return mid;
  Point c = mid;
  for (int32 tries = 0; tries < MAX_OJ; ++tries) {
    bool taken = false;
    for (int32 omx = ENUM_START; !taken && Enum(true, false, kTurnKinds, omx);) {
      const a_ph_rec* ph = PH_Of(omx, kTurnKinds);
      taken = ph != nullptr && ph->dst_center == c;
    }
    if (!taken) return c;
    c = Point{int16(c.v + NEW_OFFSET), int16(c.h + NEW_OFFSET)};
    if (c.v >= u->paintbounds.bottom || c.h >= u->paintbounds.right) return mid;
  }
  return mid;
}

int16 Calc_Default_Scaling(const Rect& subset, bool8 is_symbol) {
  a_spec s;
  Null_Spec(s);
  s.is_symbol = is_symbol;
  s.subset = subset;
  int32 scaling = 1000;
  const a_doc_unit* u = g_doc.up;
  const int32 pw = Width(subset), phh = Height(subset);
  if (u != nullptr && pw > 0 && phh > 0) {
    const int32 uw = Width(u->paintbounds), uh = Height(u->paintbounds);
    if (pw > uw || phh > uh) scaling = std::min(Ratio_Scaling(uw, pw), Ratio_Scaling(uh, phh));
  }
  s.scalingh = s.scalingv = Clamp16(scaling);
  PH_Limit_Scalings(s);
  return std::min(s.scalingh, s.scalingv);
}

// --- New photos ---------------------------------------------------------------------

void Photo_Import_Error(int16 code) {
  // The reader has shown its own alert for a picture too large.
  if (code == QUIK_ERR_TOO_LARGE || code == QUIK_ERR_NOMEM) return;
  OK_Alert(false, code == QUIK_ERR_DEPTH ? kAlertDepth : kAlertCannotRead);
}

bool8 Read_BitMap(bool8 report, const FSSpec& path, a_picture_scan_rec& scan, Rect& natural) {
  Clear_Scan_Rec(scan);
  natural = Rect{0, 0, 0, 0};
  // Enough pixels to show the picture fitted to the current unit at 300 dots
  // an inch; the render cache reads it again when it is shown larger.
  a_scan_want want{0, 0, 0, report};
  if (const a_doc_unit* u = g_doc.up; u != nullptr) {
    want.fit_w = Width(u->paintbounds);
    want.fit_h = Height(u->paintbounds);
  }
  // The reader knows a picture by its bytes, whatever the file's name or type.
  const int16 code = Scan_Quicktime_Reduced(path, want, scan, natural);
  if (code == QUIK_OK) return true;
  if (report) Photo_Import_Error(code);
  return false;
}

bool8 Read_Original(const FSSpec& path, Handle& raw) {
  raw = nullptr;
  std::vector<uint8> bytes;
  if (!Scan_Read_File(path, bytes) || bytes.empty()) return false;
  raw = New_Handle(uint32(bytes.size()));
  if (raw == nullptr) {
    OK_Alert(false, kAlertNoMemory);
    return false;
  }
  std::memcpy(Handle_Lock(raw), bytes.data(), bytes.size());
  Handle_Unlock(raw);
  return true;
}

namespace {

// The picture of scan (read from path with its codec, or pasted) placed as a
// new photo of source kind on the current unit: the render cache takes the
// picture (and raw); FALSE when it has no room (its alert shown) or the list
// is full.
bool New_Photo_From(a_source_desc source, a_masked_gworld body, Handle raw, const Rect& natural,
                    const char (&codec)[4], Point center, a_history_op op) {
  if (List_Full()) {
    Dispose_MW(body);
    Dispose_Handle(raw);
    return false;
  }
  if (!Cache_Insert_Basis(source, body, raw, natural, codec)) return false;
  Rect bounds;
  Basis_Natural(source.sid, bounds);
  int32 omx = 0;
  a_ph_rec* ph = PH_New(omx, PHOTO_BLOCK);
  if (ph == nullptr) {
    Cache_Clear1(source.sid);
    return false;
  }
  ph->spec.source = source;
  ph->spec.subset = bounds;
  ph->codec = Codec_Of(codec);
  ph->dst_center = center;
  ph->spec.scalingh = ph->spec.scalingv = Calc_Default_Scaling(bounds, false);
  PH_To_Sliders(ph);
  Photo_Merge(omx, true);
  History_Emit(op);
  return true;
}

}  // namespace

bool8 Photo_New_External(const FSSpec& path, Point center, bool8 report) {
  if (g_doc.up == nullptr || List_Full()) return false;
  a_picture_scan_rec scan;
  Rect natural;
  if (!Read_BitMap(report, path, scan, natural)) return false;
  a_source_desc source{};
  source.kind = SOURCE_EXTFILE;
  source.path = path;
  Handle raw = nullptr;
  if (gs.pref.embed_option && scan.codec[0] != 0) Read_Original(path, raw);
  return New_Photo_From(source, scan.body, raw, natural, scan.codec, center, OP_PHOTO_NEW);
}

bool8 Photo_NewP(const FSSpec& path, bool8 report) { return Photo_New_External(path, Calc_New_Center(), report); }

void Photo_New() {
  if (g_doc.up == nullptr || List_Full()) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  std::vector<FSSpec> paths(MAX_NEW_PHOTOS);
  const int16 n = Ask_Get_Path(false, CStrSpan(""), FourCC("????"), Photo_File_Types(), kPhotoDialogKey, nullptr,
                               nullptr, nullptr, nullptr, MAX_NEW_PHOTOS, paths.data());
  bool refused = false;
  for (int16 i = 0; i < n; ++i) {
    if (List_Full()) {
      refused = true;
      break;
    }
    Photo_NewP(paths[size_t(i)], true);
  }
  if (refused) Sound_Effect(SND_OBJ_REFUSED);
}

void Photo_Paste(a_masked_gworld world, a_source_kind kind) {
  if (g_doc.up == nullptr || List_Full() || world.fore == nullptr || EmptyRect(world.bounds)) {
    Sound_Effect(SND_OBJ_REFUSED);
    Dispose_MW(world);
    return;
  }
  a_source_desc source{};
  source.kind = kind;
  const Point center = kind == SOURCE_COLLAGE ? Unit_Center() : Calc_New_Center();
  const char no_codec[4] = {0, 0, 0, 0};
  New_Photo_From(source, world, nullptr, world.bounds, no_codec, center, OP_PHOTO_PASTE);
}

namespace {

// Relinks the lone selected photo to a file asked for (only a missing one
// with missing_only).
void Photo_Relink(bool missing_only) {
  int32 omx = 0;
  if (!One_Selected_Of(Kind_Bit(PHOTO_BLOCK), omx) || (missing_only && !Is_Photo_Missing(PH_Of(omx)))) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  FSSpec path{};
  if (Ask_Get_Path(false, CStrSpan(""), FourCC("????"), Photo_File_Types(), kPhotoDialogKey, nullptr, nullptr, nullptr,
                   nullptr, 1, &path) < 1)
    return;
  a_picture_scan_rec scan;
  Rect natural;
  if (!Read_BitMap(true, path, scan, natural)) return;
  a_source_desc source{};
  source.kind = SOURCE_EXTFILE;
  source.path = path;
  Handle raw = nullptr;
  if (gs.pref.embed_option && scan.codec[0] != 0) Read_Original(path, raw);
  if (!Cache_Insert_Basis(source, scan.body, raw, natural, scan.codec)) return;
  Rect bounds;
  Basis_Natural(source.sid, bounds);
  a_ph_rec* ph = PH_Of(omx);
  Obj_PostRender(omx);
  ph->spec.source = source;
  ph->spec.subset = bounds;
  ph->codec = Codec_Of(scan.codec);
  PH_Limit_Scalings(ph->spec);
  LayerBar_Inval();
  Photo_Merge(omx, false);
  History_Emit(OP_PHOTO_FIXLINK);
}

}  // namespace

void Photo_Fix() { Photo_Relink(true); }
void Photo_Replace() { Photo_Relink(false); }

int16 Calc_Hilite_PhFix(int16) {
  int32 omx = 0;
  return One_Selected_Of(Kind_Bit(PHOTO_BLOCK), omx) && Is_Photo_Missing(PH_Of(omx)) ? HILITE_ENABLED
                                                                                     : HILITE_DIMMED;
}

// --- Sliders ------------------------------------------------------------------------

void PH_To_Sliders(const a_ph_rec* ph) {
  if (ph == nullptr) return;
  const a_spec& s = ph->spec;
  ph_loading = true;
  Load_Slider(PHOTO_SIZE_SLIDER, s.scalingh);
  Load_Slider(PHOTO_SIZEH_SLIDER, s.scalingh);
  Load_Slider(PHOTO_SIZEV_SLIDER, s.scalingv);
  for (const a_spec_slider& row : kSpecSliders) Load_Slider(row.slider, s.*row.field);
  gs.grid_vals[PHOTO_EDGE_GRID] = s.edge_kind;
  gs.toggle_vals[PHOTO_TRANSP_TOGGLE] = s.wtransp;
  gs.toggle_vals[PHOTO_SHAD_TOGGLE] = s.shadf;
  gs.toggle_vals[PHOTO_CONSTRAIN_TOGGLE] = s.constrainf;
  gs.bar_selection[EDGE_OUTL_COLORBAR] = Find_In_Palette32(s.edge_outl_color);
  gs.bar_selection[EDGE_BORD_COLORBAR] = Find_In_Palette32(s.edge_bord_color);
  ph_loading = false;
}

void Sliders_To_PH(a_ph_rec* ph) {
  if (ph == nullptr) return;
  a_spec& s = ph->spec;
  if (gs.toggle_vals[PHOTO_CONSTRAIN_TOGGLE]) {
    s.scalingh = s.scalingv = gs.slider_vals[PHOTO_SIZE_SLIDER];
  } else {
    s.scalingh = gs.slider_vals[PHOTO_SIZEH_SLIDER];
    s.scalingv = gs.slider_vals[PHOTO_SIZEV_SLIDER];
  }
  for (const a_spec_slider& row : kSpecSliders) s.*row.field = gs.slider_vals[row.slider];
  s.edge_kind = std::clamp<int16>(gs.grid_vals[PHOTO_EDGE_GRID], PHOTOEDGE_NONE, PHOTOEDGE_ROUGH);
  s.wtransp = gs.toggle_vals[PHOTO_TRANSP_TOGGLE];
  s.shadf = gs.toggle_vals[PHOTO_SHAD_TOGGLE];
  s.constrainf = gs.toggle_vals[PHOTO_CONSTRAIN_TOGGLE];
  s.edge_outl_color = Bar_Color(EDGE_OUTL_COLORBAR);
  s.edge_bord_color = Bar_Color(EDGE_BORD_COLORBAR);
  PH_Limit_Scalings(s);
}

void Delta_Photo() {
  int32 omx = 0;
  if (ph_loading || !One_Selected_Of(Kind_Bit(PHOTO_BLOCK), omx)) return;
  Obj_PostRender(omx);
  Sliders_To_PH(PH_Of(omx));
  Photo_Merge(omx, false);
}

namespace {

// The frame of object omx's record in cells, drawn in exclusive-or in every
// view of the main window.
void XOR_Frame(const a_ph_rec* ph) {
  if (ph == nullptr || gs.outer_window == nullptr) return;
  a_pointlist_ptr cells = nullptr;
  New_Pointlist(PH_FRAME_POINTS, cells);
  if (cells == nullptr) return;
  PH_Calc_Frame(cells, ph);
  Push_Window(gs.outer_window);
  Draw_XOR_Pointlist(cells);
  Pop_Window();
  Dispose_Pointlist(cells);
}

// The object live slider drags work on (kind photo or symbol), or 0.
int32 g_geom_omx = 0;

}  // namespace

void Geom_Init(a_oj_kind kind) {
  g_geom_omx = 0;
  int32 omx = 0;
  if (!One_Selected_Of(Kind_Bit(kind), omx)) return;
  g_geom_omx = omx;
  Obj_PostRender(omx);
  XOR_Frame(PH_Of(omx));
}

void Geom_Track(a_oj_kind kind) {
  int32 omx = 0;
  if (!One_Selected_Of(Kind_Bit(kind), omx) || omx != g_geom_omx) return;
  a_ph_rec* ph = PH_Of(omx);
  XOR_Frame(ph);
  // The label is drawn at every step of the drag: what the object covered
  // and what it covers now are rendered again, before the frame comes back
  // over the view (the drawing would otherwise leave the older sizes, and
  // half of the frame, behind).
  Obj_PostRender(omx);
  if (kind == PHOTO_BLOCK)
    Sliders_To_PH(ph);
  else
    Sliders_To_Symbol(ph);
  Photo_Calc_DstBox(omx);
  Obj_PostRender(omx);
  Current_Unit_UpToDate();
  XOR_Frame(ph);
}

bool8 Geom_Stop(a_oj_kind kind) {
  int32 omx = 0;
  const bool8 ours = One_Selected_Of(Kind_Bit(kind), omx) && omx == g_geom_omx;
  if (ours) XOR_Frame(PH_Of(omx));
  g_geom_omx = 0;
  return ours;
}

void Init_Photo_Geom() { Geom_Init(PHOTO_BLOCK); }
void Track_Photo_Geom() { Geom_Track(PHOTO_BLOCK); }
void Stop_Photo_Geom() {
  if (Geom_Stop(PHOTO_BLOCK)) Delta_Photo();
}

bool8 One_Selected_Kind(a_oj_kind kind, int32& omx) { return One_Selected_Of(Kind_Bit(kind), omx); }

void Object_Phase_Enter(a_oj_kind kind) {
  Obj_Select_None_Except(kind);
  int32 omx = 0;
  if (One_Selected_Kind(kind, omx)) {
    if (kind == PHOTO_BLOCK)
      PH_To_Sliders(PH_Of(omx));
    else
      Symbol_To_Sliders(PH_Of(omx));
  }
  if (g_doc.up != nullptr) Doc_InvalCells(g_doc.up->paintbounds);
}

void Photo_Enter() { Object_Phase_Enter(PHOTO_BLOCK); }

// --- The mouse ----------------------------------------------------------------------

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

bool8 Photo_Scale_Step(int32 omx, a_oj_part part, const a_ph_rec& start, Point cell, bool8 ctrl) {
  a_ph_rec* ph = PH_Of(omx, kTurnKinds);
  if (ph == nullptr || part < ULCORNER_PART || part > LLCORNER_PART) return false;
  const a_spec& s0 = start.spec;
  const Rect& b = start.dst_box;
  const int32 m = s0.edge_kind != PHOTOEDGE_NONE ? 2 * (int32(s0.edge_border) + s0.edge_outline) : 0;
  int32 w = 0, h = 0;
  if (ctrl) {
    w = 2 * std::abs(int32(cell.h) - start.dst_center.h);
    h = 2 * std::abs(int32(cell.v) - start.dst_center.v);
  } else {
    const bool left = part == ULCORNER_PART || part == LLCORNER_PART;
    const bool top = part == ULCORNER_PART || part == URCORNER_PART;
    w = left ? int32(b.right) - cell.h : int32(cell.h) - b.left;
    h = top ? int32(b.bottom) - cell.v : int32(cell.v) - b.top;
  }
  w -= m;
  h -= m;
  const int32 pw = Width(s0.subset), phh = Height(s0.subset);
  if (pw <= 0 || phh <= 0) return false;
  a_spec s = ph->spec;
  s.scalingh = Slider_Limit_Value(Size_Slider_H(s0), Clamp16(int64(w) * 1000 / pw));
  s.scalingv = Slider_Limit_Value(Size_Slider_V(s0), Clamp16(int64(h) * 1000 / phh));
  if (s0.constrainf || s0.is_symbol) s.scalingh = s.scalingv = std::max(s.scalingh, s.scalingv);
  PH_Limit_Scalings(s);
  if (s.scalingh == ph->spec.scalingh && s.scalingv == ph->spec.scalingv) return false;
  Obj_PostRender(omx);
  ph->spec.scalingh = s.scalingh;
  ph->spec.scalingv = s.scalingv;
  if (!ctrl) {
    // The corner opposite the one dragged stays where it was.
    Photo_Calc_DstBox(omx);
    const int32 nw = Width(ph->dst_box), nh = Height(ph->dst_box);
    const bool left = part == ULCORNER_PART || part == LLCORNER_PART;
    const bool top = part == ULCORNER_PART || part == URCORNER_PART;
    const int32 ch = left ? int32(b.right) - (nw - nw / 2) : int32(b.left) + nw / 2;
    const int32 cv = top ? int32(b.bottom) - (nh - nh / 2) : int32(b.top) + nh / 2;
    ph->dst_center = Point{Clamp16(cv), Clamp16(ch)};
  }
  if (s0.is_symbol) {
    Load_Slider(SYMBOL_SIZE_SLIDER, ph->spec.scalingh);
  } else {
    Load_Slider(PHOTO_SIZE_SLIDER, ph->spec.scalingh);
    Load_Slider(PHOTO_SIZEH_SLIDER, ph->spec.scalingh);
    Load_Slider(PHOTO_SIZEV_SLIDER, ph->spec.scalingv);
  }
  Photo_Merge(omx, false);
  return true;
}

void Track_Photo_Scaling(uint16 vx, a_oj_part part, Point /*startcell*/, int32 omx) {
  const a_ph_rec* ph = PH_Of(omx, kTurnKinds);
  if (ph == nullptr || !StillDown()) return;
  const a_ph_rec start = *ph;
  bool changed = false;
  TrackMouse_Init(gs.outer_window);
  Point mouse;
  const auto step = [&] {
    const bool8 ctrl = OptionKeyDown();
    Inside_Photo_Cursor(part, ctrl, true);
    Point cell;
    ScreenToCell(vx, mouse, cell);
    if (Photo_Scale_Step(omx, part, start, cell, ctrl)) {
      changed = true;
      Current_Unit_UpToDate();
    }
  };
  while (TrackMouse_StillDown(mouse)) step();
  // Where the button was released counts too.
  step();
  TrackMouse_Stop();
  if (changed) History_Emit(start.spec.is_symbol ? OP_SYMBOL_SIZE : OP_PHOTO_SIZE);
}

// --- The crop screen ------------------------------------------------------------------

namespace {

constexpr a_pixel24 kCropOutside{167, 163, 163};
constexpr a_pixel24 kCropBar{40, 96, 200};
constexpr int16 kCropButtonGap = 12;
constexpr int16 kStrOK = 8;
constexpr int16 kStrCancel = 105;

int16 Min16(int32 a, int32 b) { return int16(std::min(a, b)); }

// The part of the crop screen's picture outside the crop shown darker.
void Shade_Outside_Crop(GWorldPtr world) {
  PixMapPtr pm = Get_GWorld_PixMap(world);
  if (pm == nullptr || pm->baseAddr == nullptr || pm->pixelSize != 32) return;
  const Rect& p = g_crop.bb_pict;
  const Rect& c = g_crop.crop_s;
  const int32 rb = PixMap_RowBytes(*pm);
  for (int32 y = std::max<int32>(p.top, pm->bounds.top); y < std::min<int32>(p.bottom, pm->bounds.bottom); ++y) {
    uint8* row = reinterpret_cast<uint8*>(pm->baseAddr) + int64(y - pm->bounds.top) * rb;
    for (int32 x = std::max<int32>(p.left, pm->bounds.left); x < std::min<int32>(p.right, pm->bounds.right); ++x) {
      if (y >= c.top && y < c.bottom && x >= c.left && x < c.right) continue;
      uint8* px = row + int64(x - pm->bounds.left) * 4;
      for (int32 k = 0; k < 3; ++k) px[k] = uint8(px[k] / 2 + 48);
    }
  }
}

void Draw_Crop_Button(const Rect& box, const Rect& face, int16 strx) {
  char label[256] = {};
  Get_DLOG_String(StrSpan(label), strx);
  Draw_Button_Face(face, box, CStrSpan(label, std::strlen(label)));
}

// The crop screen drawn off-screen and copied to the window.
void Crop_Draw(HWND window) {
  if (g_crop.off == nullptr) return;
  Push_GWorld(g_crop.off);
  const Rect all{0, 0, g_crop.height, g_crop.width};
  SetForeColor24(kCropOutside);
  PaintRect(all);
  if (g_crop.pict.fore != nullptr) Draw_Cached_MWorld(g_crop.pict, g_crop.bb_pict, nullptr);
  Shade_Outside_Crop(g_crop.off);
  SetForeColor24(kCropBar);
  for (const Rect* bar : {&g_crop.bb_l, &g_crop.bb_t, &g_crop.bb_r, &g_crop.bb_b}) PaintRect(*bar);
  SetForeColor(255, 255, 255);
  FrameRect(g_crop.crop_s);
  Draw_Crop_Button(g_crop.bb_ok, ART_FACE_DEFAULT, kStrOK);
  Draw_Crop_Button(g_crop.bb_cancel, ART_FACE_TEXT, kStrCancel);
  Pop_GWorld();
  if (window != nullptr) {
    Push_Window(window);
    Port_To_Port(g_crop.off, nullptr, all, all, srcCopy, nullptr);
    Pop_Window();
  }
}

bool8 Crop_Event(HWND window, const EventRecord& e, bool8& okay) {
  switch (e.what) {
    case updateEvt: Crop_Draw(window); return false;
    case mouseDown: {
      const int16 where = Crop_Where(Modal_Point(window, e));
      if (where > 0) {
        Crop_Track(window, a_crop_sides(where));
        return false;
      }
      if (where == CROP_WHERE_OK || where == CROP_WHERE_CANCEL) {
        Sound_Effect(SND_SUBTOOL_ONESHOT);
        okay = where == CROP_WHERE_OK;
        return true;
      }
      Sound_Effect(SND_OBJ_REFUSED);
      return false;
    }
    case keyDown:
      // Escape cancels; Return and the keypad's Enter accept.
      if (Modal_Key(e) != MODAL_KEY_OTHER) {
        okay = Modal_Key(e) == MODAL_KEY_RETURN;
        return true;
      }
      Sound_Effect(SND_OBJ_REFUSED);
      return false;
    default: return false;
  }
}

void Crop_Free() {
  Dispose_GWorld(g_crop.off);
  Dispose_MW(g_crop.pict);
}

}  // namespace

void Crop_Layout(const Rect& natural, int16 avail_w, int16 avail_h, a_crop_rec& crop) {
  const int32 nw = std::max<int32>(1, Width(natural)), nh = std::max<int32>(1, Height(natural));
  const int32 maxw = std::max<int32>(1, Min16(int32(avail_w) * 95 / 100, CROP_MAX_W) - 2 * CROP_MARGIN);
  const int32 maxh =
      std::max<int32>(1, Min16(int32(avail_h) * 95 / 100, CROP_MAX_H) - 2 * CROP_MARGIN - CROP_BUTTONS);
  crop.natural = natural;
  if (nw <= maxw && nh <= maxh)
    crop.reduction = a_ratio{1, 1};
  else if (int64(nw) * maxh >= int64(nh) * maxw)
    crop.reduction = a_ratio{int16(maxw), int16(nw)};
  else
    crop.reduction = a_ratio{int16(maxh), int16(nh)};
  const int32 dw = std::max<int32>(1, nw * crop.reduction.num / crop.reduction.den);
  const int32 dh = std::max<int32>(1, nh * crop.reduction.num / crop.reduction.den);
  crop.width = int16(std::max<int32>(CROP_MIN_W, dw + 2 * CROP_MARGIN));
  crop.height = int16(std::max<int32>(CROP_MIN_H, dh + 2 * CROP_MARGIN + CROP_BUTTONS));
  const int16 left = int16((crop.width - dw) / 2);
  const int16 top = int16((crop.height - CROP_BUTTONS - dh) / 2);
  crop.bb_pict = Rect{top, left, int16(top + dh), int16(left + dw)};
  const int16 bottom = int16(crop.height - kCropButtonGap);
  const int16 face_h = ART_FACE_HEIGHT;
  const int16 face_w = int16(ART_FACE_TEXT.right - ART_FACE_TEXT.left);
  const int16 right = int16(crop.width - CROP_MARGIN);
  crop.bb_cancel = Rect{int16(bottom - face_h), int16(right - face_w), bottom, right};
  crop.bb_ok = Rect{int16(bottom - face_h), int16(right - 2 * face_w - kCropButtonGap), bottom,
                    int16(right - face_w - kCropButtonGap)};
}

Point C_To_Screen(Point p) {
  const a_ratio& r = g_crop.reduction;
  if (r.den == 0) return p;
  return Point{Clamp16(g_crop.bb_pict.top + (int64(p.v) - g_crop.natural.top) * r.num / r.den),
               Clamp16(g_crop.bb_pict.left + (int64(p.h) - g_crop.natural.left) * r.num / r.den)};
}

Point Screen_To_C(Point p) {
  const a_ratio& r = g_crop.reduction;
  if (r.num == 0) return p;
  // Rounded to the nearest picture pixel.
  const auto back = [&](int64 d) { return (d * r.den + (d >= 0 ? r.num / 2 : -r.num / 2)) / r.num; };
  return Point{Clamp16(g_crop.natural.top + back(int64(p.v) - g_crop.bb_pict.top)),
               Clamp16(g_crop.natural.left + back(int64(p.h) - g_crop.bb_pict.left))};
}

void Calc_Crop_S() {
  const Point tl = C_To_Screen(Point{g_crop.crop.top, g_crop.crop.left});
  const Point br = C_To_Screen(Point{g_crop.crop.bottom, g_crop.crop.right});
  Rect& s = g_crop.crop_s;
  s = Rect{tl.v, tl.h, br.v, br.h};
  constexpr int16 half = CROP_BAR / 2;
  g_crop.bb_l = Rect{int16(s.top - CROP_BAR_OVER), int16(s.left - half), int16(s.bottom + CROP_BAR_OVER),
                     int16(s.left + half)};
  g_crop.bb_r = Rect{int16(s.top - CROP_BAR_OVER), int16(s.right - half), int16(s.bottom + CROP_BAR_OVER),
                     int16(s.right + half)};
  g_crop.bb_t = Rect{int16(s.top - half), int16(s.left - CROP_BAR_OVER), int16(s.top + half),
                     int16(s.right + CROP_BAR_OVER)};
  g_crop.bb_b = Rect{int16(s.bottom - half), int16(s.left - CROP_BAR_OVER), int16(s.bottom + half),
                     int16(s.right + CROP_BAR_OVER)};
}

int16 Crop_Where(Point pt) {
  a_crop_sides sides = 0;
  if (PtInRect(pt, g_crop.bb_l)) sides |= Crop_Bit(CROP_L);
  if (PtInRect(pt, g_crop.bb_t)) sides |= Crop_Bit(CROP_T);
  if (PtInRect(pt, g_crop.bb_r)) sides |= Crop_Bit(CROP_R);
  if (PtInRect(pt, g_crop.bb_b)) sides |= Crop_Bit(CROP_B);
  // Bars that overlap on a narrow crop: the side nearer the point.
  const auto nearer = [&](a_crop_side a, a_crop_side b, int16 pa, int16 pb, int16 at) {
    const a_crop_sides both = a_crop_sides(Crop_Bit(a) | Crop_Bit(b));
    if ((sides & both) != both) return;
    sides = a_crop_sides(sides & ~(std::abs(at - pa) <= std::abs(at - pb) ? Crop_Bit(b) : Crop_Bit(a)));
  };
  nearer(CROP_L, CROP_R, g_crop.crop_s.left, g_crop.crop_s.right, pt.h);
  nearer(CROP_T, CROP_B, g_crop.crop_s.top, g_crop.crop_s.bottom, pt.v);
  if (sides != 0) return sides;
  if (PtInRect(pt, g_crop.bb_ok)) return CROP_WHERE_OK;
  if (PtInRect(pt, g_crop.bb_cancel)) return CROP_WHERE_CANCEL;
  return CROP_WHERE_NONE;
}

void Crop_Move_Sides(a_crop_sides sides, Point pt) {
  const Point c = Screen_To_C(pt);
  Rect& r = g_crop.crop;
  const Rect& n = g_crop.natural;
  if ((sides & Crop_Bit(CROP_L)) != 0) r.left = int16(std::clamp<int32>(c.h, n.left, r.right - CROP_MIN_SIDE));
  if ((sides & Crop_Bit(CROP_R)) != 0) r.right = int16(std::clamp<int32>(c.h, r.left + CROP_MIN_SIDE, n.right));
  if ((sides & Crop_Bit(CROP_T)) != 0) r.top = int16(std::clamp<int32>(c.v, n.top, r.bottom - CROP_MIN_SIDE));
  if ((sides & Crop_Bit(CROP_B)) != 0) r.bottom = int16(std::clamp<int32>(c.v, r.top + CROP_MIN_SIDE, n.bottom));
  Calc_Crop_S();
}

void Crop_Track(HWND window, a_crop_sides sides) {
  TrackMouse_Init(window);
  Point mouse{-32768, -32768}, last{-32768, -32768};
  while (TrackMouse_StillDown(mouse)) {
    if (mouse == last) continue;
    last = mouse;
    Crop_Move_Sides(sides, mouse);
    Crop_Draw(window);
  }
  TrackMouse_Stop();
  // The side ends where the button was released.
  if (!(mouse == last) && !(mouse == Point{-32768, -32768})) {
    Crop_Move_Sides(sides, mouse);
    Crop_Draw(window);
  }
}

bool8 Photo_Crop2(const Rect& crop) {
  int32 omx = 0;
  if (!One_Selected_Of(Kind_Bit(PHOTO_BLOCK), omx)) return false;
  a_ph_rec* ph = PH_Of(omx);
  Rect natural, r;
  Photo_Natural_Bounds(ph, natural);
  if (!SectRect(crop, natural, r) || Width(r) < CROP_MIN_SIDE || Height(r) < CROP_MIN_SIDE) return false;
  Obj_PostRender(omx);
  ph->spec.subset = r;
  PH_Limit_Scalings(ph->spec);
  Photo_Recalc(omx);
  History_Emit(OP_PHOTO_CROP);
  return true;
}

void Photo_Crop() {
  int32 omx = 0;
  if (!One_Selected_Of(Kind_Bit(PHOTO_BLOCK), omx) || Is_Photo_Missing(PH_Of(omx))) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  const a_ph_rec* ph = PH_Of(omx);
  Crop_Free();
  g_crop = a_crop_rec{};
  Rect natural;
  Photo_Natural_Bounds(ph, natural);
  Crop_Layout(natural, int16(Width(info_videoavail)), int16(Height(info_videoavail)), g_crop);
  if (!SectRect(ph->spec.subset, natural, g_crop.crop)) g_crop.crop = natural;
  // The whole picture at the display's size, from the render cache.
  a_spec spec;
  Null_Spec(spec);
  spec.source = ph->spec.source;
  spec.subset = natural;
  spec.scalingh = spec.scalingv =
      Clamp16(std::max<int64>(1, int64(Width(g_crop.bb_pict)) * 1000 / std::max<int32>(1, Width(natural))));
  a_cache_result c;
  Cache_Get(FOR_SCREEN, spec, c);
  const Rect pict{0, 0, int16(Height(g_crop.bb_pict)), int16(Width(g_crop.bb_pict))};
  New_GWorldF("Photo_Crop", Rect{0, 0, g_crop.height, g_crop.width}, 32, nullptr, g_crop.off);
  Null_MW(g_crop.pict);
  New_GWorldF("Photo_Crop", pict, 32, nullptr, g_crop.pict.fore);
  g_crop.pict.bounds = pict;
  if (g_crop.pict.fore != nullptr) {
    Push_GWorld(g_crop.pict.fore);
    SetForeColor(255, 255, 255);
    PaintRect(pict);
    if (c.body.fore != nullptr) Draw_Cached_MWorld(c.body, pict, nullptr);
    Pop_GWorld();
  }
  Calc_Crop_S();
  const bool8 okay = Modal_Window(g_crop.width, g_crop.height, nullptr, nullptr, Crop_Event);
  const Rect crop = g_crop.crop;
  Crop_Free();
  if (okay) Photo_Crop2(crop);
}

std::span<const a_type_suffix> Photo_File_Types() { return kPhotoFileTypes; }
