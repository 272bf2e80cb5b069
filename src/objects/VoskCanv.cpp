#include "objects/VoskCanv.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskFunc.h"
#include "objects/VoskBlok.h"
#include "pixel/Draw.h"
#include "pixel/Fast.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixColor.h"
#include "pixel/SysPixXform.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysKey.h"
#include "platform/SysSound.h"
#include "platform/VoskErr.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

// Canvas sets: 0 discs and round labels, 1 plain rectangles (the default),
// 2 jewel-case trays, 3 wide wraps, 4 upright inserts, 5 folded cards, 6
// narrow strips (spines and inserts).
const int16 UNIT_TO_CANV_PREFIX[NUNITKINDS] = {
    6,  // UNIT_EMPTY
    0,  // UNIT_CIRCLE
    1, 1, 1,  // UNIT_OVAL, UNIT_RECT, UNIT_VISITING
    5,  // UNIT_VISITING2
    0, 0,  // UNIT_CD, UNIT_CD_CORE
    1,  // UNIT_CD_WALLET
    0, 0,  // UNIT_MINICD_RING, UNIT_MINICD_HOCKEY
    1, 1,  // UNIT_MINICD_RECT, UNIT_MINICD_LID1
    5,  // UNIT_MINICD_LID2
    1,  // UNIT_JEWEL_LID1
    5,  // UNIT_JEWEL_LID2
    6, 6,  // UNIT_JEWEL_LID3, UNIT_JEWEL_SPINE
    2, 2,  // UNIT_JEWEL_SLIMLINE, UNIT_JEWEL_BASE
    4, 4,  // UNIT_SUPERJEWEL_INLAY, UNIT_SUPERJEWEL_BOOKLET
    6,  // UNIT_SUPERJEWEL_COVER
    4,  // UNIT_DVDBOX_INSERT
    6,  // UNIT_DVDBOX_INSERT2
    3,  // UNIT_DVDBOX_WRAP
    1, 1,  // UNIT_AUDIO_FACE, UNIT_AUDIO_JCARD
    6,  // UNIT_AUDIO_SPINE
    1,  // UNIT_AUDIO_BOX
    1, 1,  // UNIT_DAT_FACE, UNIT_DAT_SPINE
    6,  // UNIT_DAT_JCARD
    1, 1, 1, 1, 1,  // UNIT_VHS_FACE .. UNIT_VHS_WRAP
    3,  // UNIT_BETACAM_FACE
    6, 6,  // UNIT_BETACAM_SPINE, UNIT_BETACAM_INSERT
    1,  // UNIT_UMATIC_FACE
    6, 6,  // UNIT_UMATIC_SPINE, UNIT_UMATIC_INSERT
    1,  // UNIT_MINIDV_FACE
    6,  // UNIT_MINIDV_SPINE
    1, 1,  // UNIT_MINIDV_INSERT, UNIT_DVCAM_FACE
    6,  // UNIT_DVCAM_SPINE
    1, 1,  // UNIT_DVCAM_INSERT, UNIT_DVCPRO_FACE
    6,  // UNIT_DVCPRO_SPINE
    1, 1, 1,  // UNIT_DVCPRO_INSERT, UNIT_STATUS, UNIT_HI8_FACE
    6,  // UNIT_HI8_JCARD
    1, 1,  // UNIT_MD_FACEL, UNIT_MD_FACE
    6,  // UNIT_MD_SPINE
    1,  // UNIT_8MM_FACE
    6,  // UNIT_8MM_SPINE
    1, 1, 1, 1, 1, 1, 1, 1,  // UNIT_FLOPPY .. UNIT_D5_INSERT
    3,  // UNIT_BLURAY_WRAP
};
static_assert(sizeof UNIT_TO_CANV_PREFIX / sizeof UNIT_TO_CANV_PREFIX[0] == NUNITKINDS);

namespace {

constexpr int16 kCanvasFull = 1;   // key part a of a full picture
constexpr int16 kCanvasThumb = 2;  // of a thumbnail
constexpr int16 kWhiteC = 1, kWhiteD = 1;
constexpr int16 kNoSet = -1;
constexpr int16 kSets = 7;

// Where the search for a missing picture goes next, by set; kNoSet ends it.
constexpr std::array<int16, kSets> kChainNext = {1, 2, 5, kNoSet, 3, 3, kNoSet};

// Target sizes of sets 0 to 5 (set 6 has none).
struct a_canvas_size {
  int16 height, width;
};
constexpr std::array<a_canvas_size, 6> kTargetSize = {{{640, 640}, {640, 640}, {640, 810}, {640, 1280}, {614, 584},
                                                       {614, 1280}}};
// Set 4's part of a picture ends this far left of the picture's right edge.
constexpr int16 kBookletRightInset = 12;
// Pictures of this width are sampled whole whatever unit shows them.
constexpr int16 kWholeWidth = 1270;
// Colour codes of ForeColor and BackColor.
constexpr int32 kWhiteCode = 0, kBlackCode = 1;
constexpr RGBColor kBarGrey = {160 * 257, 160 * 257, 160 * 257};

// The library's canvas thumbnails of the kind's set; FALSE with no library.
bool8 Canvas_Subset(uint8 unitkind, a_subset& subset) {
  if (OP_Pool_Count() == 0) return false;
  Subset_Init(subset, a_keyset{kCanvasThumb, Canvas_Prefix(unitkind), WILDCARD, WILDCARD});
  return true;
}

// The kind of unit ux of the open document; FALSE when there is no such unit.
bool8 Unit_Kind(uint32 ux, uint8& kind) {
  if (ux < 1 || ux > g_doc.doc_template.nunits || ux > MAXNUNITS) return false;
  kind = g_doc.doc_template.units[ux - 1].kind;
  return true;
}

bool8 Clamp_Field(int16& v, int16 slider) {
  const int16 w = Slider_Limit_Value(slider, v);
  if (w == v) return false;
  v = w;
  return true;
}

// The unit's outline layer (which the canvas's feathers shape) is to be made
// again.
void Outline_Stale(a_doc_unit& unit) { ++unit.statics[OUTERMASK_LAYER].targ_seq; }

// A canvas command on the current unit (nothing without one): change it
// (given the unit and its kind), then Canvas_Reload with op.
template <class Change>
void Canvas_Command(a_history_op op, Change change) {
  a_doc_unit* unit = g_doc.up;
  uint8 kind;
  if (unit == nullptr || !Unit_Kind(g_doc.upx, kind)) return;
  change(*unit, kind);
  Canvas_Reload(op);
}

// src (source coordinates) onto dest in the current port, the parts of src
// outside the picture's bounds left white.
void Draw_Source(GWorldPtr picture, const Rect& pbounds, const Rect& src, const Rect& dest) {
  ForeColor(kBlackCode);
  BackColor(kWhiteCode);
  Rect in;
  if (!SectRect(src, pbounds, in)) {
    EraseRect(dest);
    return;
  }
  if (in == src) {
    Port_To_Port(picture, nullptr, src, dest, ditherCopy, nullptr);
    return;
  }
  // The same scale onto the part of dest that the picture covers.
  const int64 sw = int64(src.right) - src.left, sh = int64(src.bottom) - src.top;
  const int64 dw = int64(dest.right) - dest.left, dh = int64(dest.bottom) - dest.top;
  const Rect part = {int16(dest.top + (int64(in.top) - src.top) * dh / sh),
                     int16(dest.left + (int64(in.left) - src.left) * dw / sw),
                     int16(dest.top + (int64(in.bottom) - src.top) * dh / sh),
                     int16(dest.left + (int64(in.right) - src.left) * dw / sw)};
  EraseRect(dest);
  if (!EmptyRect(part)) Port_To_Port(picture, nullptr, in, part, ditherCopy, nullptr);
}

// One dimension of a canvas source: size s of a picture from lo to hi,
// starting at the wanted place `start`, kept inside the picture when it fits
// and centred over it when it does not.
void Place_Span(int32 lo, int32 hi, int32 s, int32 start, int16& a, int16& b) {
  const int32 n = hi - lo;
  if (s <= n) {
    start = std::clamp(start, lo, hi - s);
  } else {
    start = lo - (s - n) / 2;
  }
  a = int16(std::clamp<int32>(start, INT16_MIN, INT16_MAX));
  b = int16(std::clamp<int32>(start + s, INT16_MIN, INT16_MAX));
}

}  // namespace

int16 Canvas_Prefix(uint8 unitkind) { return unitkind < NUNITKINDS ? UNIT_TO_CANV_PREFIX[unitkind] : 1; }

bool8 Canvas_Target_Size(uint8 unitkind, const Rect& unitbounds, int16& height, int16& width) {
  const int16 prefix = Canvas_Prefix(unitkind);
  if (prefix < 0 || prefix >= int16(kTargetSize.size())) return false;
  height = kTargetSize[size_t(prefix)].height;
  width = kTargetSize[size_t(prefix)].width;
  const int32 uw = int32(unitbounds.right) - unitbounds.left, uh = int32(unitbounds.bottom) - unitbounds.top;
  if ((unitkind == UNIT_MINICD_HOCKEY || unitkind == UNIT_MINICD_RECT) && uw > 0 && uh > 0)
    height = int16(std::lround(640.0 * uh / uw));
  return true;
}

// --- Keys ---------------------------------------------------------------------------

void White_Canvas_Key(uint8 unitkind, a_keyset& key) {
  key = a_keyset{kCanvasThumb, Canvas_Prefix(unitkind), kWhiteC, kWhiteD};
}

bool8 Is_CanvKey_White(const a_keyset& key) { return key.c == kWhiteC && key.d == kWhiteD; }

int16 Canvas_Count(uint8 unitkind) {
  a_subset subset{};
  return Canvas_Subset(unitkind, subset) ? Subset_Count(subset) : 0;
}

void CanvX_To_Key(a_keyset& key, int16 canvx, uint8 unitkind) {
  a_subset subset{};
  if (Canvas_Subset(unitkind, subset) && canvx >= 1 && canvx <= Subset_Count(subset)) {
    Subset_GetKey(subset, canvx, key);
    return;
  }
  White_Canvas_Key(unitkind, key);
}

int16 Key_To_CanvX(const a_keyset& key, uint8 unitkind) {
  a_subset subset{};
  if (!Canvas_Subset(unitkind, subset)) return 1;
  const int16 n = Subset_Count(subset);
  for (int16 i = 1; i <= n; ++i) {
    a_keyset k;
    Subset_GetKey(subset, i, k);
    if (Equal_Keys(k, key)) return i;
  }
  return 1;
}

bool8 Find_Full_Canvas(a_keyset& fullkey, const a_keyset& key) {
  fullkey = key;
  fullkey.a = kCanvasFull;
  if (Is_CanvKey_White(fullkey)) return true;
  while (!OP_Exists(fullkey)) {
    if (fullkey.b < 0 || fullkey.b >= kSets || kChainNext[size_t(fullkey.b)] == kNoSet) return false;
    fullkey.b = kChainNext[size_t(fullkey.b)];
  }
  return true;
}

// --- The settings ----------------------------------------------------------------------

void Init_CV(a_canvas_spec& cv) {
  std::memset(static_cast<void*>(&cv), 0, sizeof cv);
  cv.canvas_darkness = CANV_DARKNESS_DEFAULT;
  cv.canvas_fuzz_in = CANV_FUZZ_IN_DEFAULT;
  cv.canvas_fuzz_out = CANV_FUZZ_OUT_DEFAULT;
  cv.canvas_color_sat = COLOR_SAT_DEFAULT;
}

bool8 Equal_CV(const a_canvas_spec& a, const a_canvas_spec& b) {
  return Equal_Keys(a.canvas_key, b.canvas_key) && a.canvas_nrot == b.canvas_nrot &&
         a.canvas_angle == b.canvas_angle && a.canvas_darkness == b.canvas_darkness &&
         a.canvas_scaling == b.canvas_scaling && a.canvas_fuzz_in == b.canvas_fuzz_in &&
         a.canvas_fuzz_out == b.canvas_fuzz_out && a.canvas_color_sat == b.canvas_color_sat &&
         a.canvas_color_hue == b.canvas_color_hue && a.canvas_color_dist == b.canvas_color_dist &&
         a.canvas_flipx == b.canvas_flipx && a.canvas_flipy == b.canvas_flipy && a.canvas_invert == b.canvas_invert;
}

bool8 Is_Canvas_Uncolored(const a_canvas_spec& cv) {
  return cv.canvas_darkness == CANV_DARKNESS_DEFAULT && cv.canvas_color_sat == COLOR_SAT_DEFAULT &&
         cv.canvas_color_hue == SLIDER_VALUES[COLOR_HUE_SLIDER].defaultval &&
         cv.canvas_color_dist == SLIDER_VALUES[COLOR_DIST_SLIDER].defaultval;
}

bool8 Is_No_Canvas(const a_canvas_spec& cv) { return Is_CanvKey_White(cv.canvas_key) && Is_Canvas_Uncolored(cv); }

bool8 Canvas_Limit_Values(a_canvas_spec& cv) {
  bool8 changed = false;
  changed |= Clamp_Field(cv.canvas_darkness, CANV_DARKNESS_SLIDER);
  changed |= Clamp_Field(cv.canvas_fuzz_in, CANV_FUZZ_IN_SLIDER);
  changed |= Clamp_Field(cv.canvas_fuzz_out, CANV_FUZZ_OUT_SLIDER);
  changed |= Clamp_Field(cv.canvas_color_sat, COLOR_SAT_SLIDER);
  changed |= Clamp_Field(cv.canvas_color_hue, COLOR_HUE_SLIDER);
  changed |= Clamp_Field(cv.canvas_color_dist, COLOR_DIST_SLIDER);
  if (cv.canvas_nrot > 3) {
    cv.canvas_nrot %= 4;
    changed = true;
  }
  return changed;
}

void Canvas_Verify(uint32 ux, a_doc_unit* up) {
  if (up == nullptr) return;
  a_canvas_spec& cv = up->canv.cv;
  Canvas_Limit_Values(cv);
  a_keyset fullkey;
  if (Find_Full_Canvas(fullkey, cv.canvas_key)) return;
  uint8 kind = UNIT_EMPTY;
  Unit_Kind(ux, kind);
  CanvX_To_Key(cv.canvas_key, 1, kind);
  OK_Alert(false, 19);
}

// --- Rendering --------------------------------------------------------------------------

void Render_Canvas(GWorldPtr port, bool8 cachef, uint32 ux, a_cached_canvas& canv, const Rect& subset,
                   const Rect& total) {
  const a_doc_unit* unit = Doc_Unit(ux);
  Rect dest = subset;
  const bool8 into_layer = port != nullptr && unit != nullptr &&
                           (port == unit->statics[TOTAL_LAYER].world || port == unit->statics[MINUS_LAYER].world);
  if (into_layer) CellToMergeRect(unit, subset, dest);
  if (port != nullptr) Push_GWorld(port);
  const a_canvas_spec& cv = canv.cv;
  if (Is_CanvKey_White(cv.canvas_key)) {
    Dispose_GWorld(canv.cached_world);
    Render_Solid_Canvas(cv, dest);
  } else if (!cachef || EmptyRect(total)) {
    Render_Picture_Canvas(ux, cv, dest);
  } else {
    if (canv.cached_world == nullptr || !(canv.cached_bounds == total) || !Equal_CV(canv.cached_cv, cv)) {
      Dispose_GWorld(canv.cached_world);
      New_GWorldF("Render_Canvas", total, 32, nullptr, canv.cached_world);
      Push_GWorld(canv.cached_world);
      Render_Picture_Canvas(ux, cv, total);
      Pop_GWorld();
      canv.cached_bounds = total;
      canv.cached_cv = cv;
    }
    Rect part;
    if (SectRect(dest, total, part)) Port_To_Port(canv.cached_world, nullptr, part, part, srcCopy, nullptr);
  }
  if (port != nullptr) Pop_GWorld();
}

void Render_Solid_Canvas(const a_canvas_spec& cv, const Rect& dest) {
  if (EmptyRect(dest)) return;
  a_win_pixel32 c{};
  c.r = c.g = c.b = 255;
  if (cv.canvas_color_sat != COLOR_SAT_DEFAULT || cv.canvas_color_hue != SLIDER_VALUES[COLOR_HUE_SLIDER].defaultval ||
      cv.canvas_color_dist != SLIDER_VALUES[COLOR_DIST_SLIDER].defaultval) {
    const int16 dist = Slider_Limit_Value(COLOR_DIST_SLIDER, cv.canvas_color_dist);
    const int16 maxdist = SLIDER_VALUES[COLOR_DIST_SLIDER].maxval;
    const a_hsv_color hsv = {Slider_Limit_Value(COLOR_HUE_SLIDER, cv.canvas_color_hue), int16(dist * 255 / maxdist),
                             255};
    HSV_To_RGB(hsv, c);
  }
  if (cv.canvas_darkness != CANV_DARKNESS_DEFAULT) {
    uint8 map[256];
    Calc_Darkness_Map(cv.canvas_darkness, map);
    c.r = map[c.r];
    c.g = map[c.g];
    c.b = map[c.b];
  }
  RGBForeColor(RGBColor{uint16(c.r * 257), uint16(c.g * 257), uint16(c.b * 257)});
  PaintRect(dest);
  ForeColor(kBlackCode);
}

bool8 Calc_Canvas_Source(uint8 unitkind, const Rect& unitbounds, const a_keyset& fullkey, const Rect& picture,
                         const Rect& dest, Rect& src) {
  src = Rect{0, 0, 0, 0};
  const int32 pw = int32(picture.right) - picture.left, ph = int32(picture.bottom) - picture.top;
  const int32 dw = int32(dest.right) - dest.left, dh = int32(dest.bottom) - dest.top;
  if (pw <= 0 || ph <= 0 || dw <= 0 || dh <= 0) return false;
  const int16 prefix = Canvas_Prefix(unitkind);
  int16 th = 0, tw = 0;
  int32 sw, sh;
  if (fullkey.b != 1 && fullkey.b != prefix && pw != kWholeWidth && Canvas_Target_Size(unitkind, unitbounds, th, tw)) {
    sw = tw;
    sh = th;
  } else {
    // The part that covers dest at equal scale.
    const double r = std::max(double(dw) / pw, double(dh) / ph);
    sw = std::max<int32>(1, int32(std::lround(dw / r)));
    sh = std::max<int32>(1, int32(std::lround(dh / r)));
  }
  if (sw == pw && sh == ph) {
    src = picture;
    return true;
  }
  const int32 left = fullkey.b == 4 ? picture.right - kBookletRightInset - sw : picture.left + (pw - sw) / 2;
  Place_Span(picture.left, picture.right, sw, left, src.left, src.right);
  Place_Span(picture.top, picture.bottom, sh, picture.top + (ph - sh) / 2, src.top, src.bottom);
  return true;
}

void Render_Picture_Canvas(uint32 ux, const a_canvas_spec& cv, const Rect& dest) {
  if (EmptyRect(dest)) return;
  a_keyset fullkey;
  uint8 kind = UNIT_EMPTY;
  if (!Unit_Kind(ux, kind) || !Find_Full_Canvas(fullkey, cv.canvas_key) || Is_CanvKey_White(fullkey)) {
    Render_Solid_Canvas(cv, dest);
    return;
  }
  a_spec spec;
  Null_Spec(spec);
  spec.source.kind = SOURCE_DATABASE;
  spec.source.key = fullkey;
  spec.angle = int16(-900 * (cv.canvas_nrot % 4));
  spec.darkness = cv.canvas_darkness;
  spec.flipx = cv.canvas_flipx;
  spec.flipy = cv.canvas_flipy;
  spec.invert = cv.canvas_invert;
  spec.color_sat = cv.canvas_color_sat;
  spec.color_hue = Slider_Limit_Value(COLOR_HUE_SLIDER, cv.canvas_color_hue);
  spec.color_dist = Slider_Limit_Value(COLOR_DIST_SLIDER, cv.canvas_color_dist);
  a_cache_result c;
  Cache_Get(FOR_SCREEN, spec, c);
  const a_doc_unit* unit = Doc_Unit(ux);
  const Rect unitbounds = unit != nullptr ? unit->paintbounds : Rect{0, 0, 0, 0};
  Rect src;
  if (c.body.fore == nullptr || !Calc_Canvas_Source(kind, unitbounds, fullkey, c.body.bounds, dest, src)) return;
  Draw_Source(c.body.fore, c.body.bounds, src, dest);
}

// --- Commands and sliders ---------------------------------------------------------------

void CV_To_Sliders(const a_canvas_spec& cv) {
  uint8 kind;
  if (Unit_Kind(g_doc.upx, kind)) gs.bar_selection[CANVAS_BAR] = Key_To_CanvX(cv.canvas_key, kind);
  gs.slider_vals[CANV_DARKNESS_SLIDER] = cv.canvas_darkness;
  gs.slider_vals[CANV_FUZZ_IN_SLIDER] = cv.canvas_fuzz_in;
  gs.slider_vals[CANV_FUZZ_OUT_SLIDER] = cv.canvas_fuzz_out;
  gs.slider_vals[COLOR_SAT_SLIDER] = cv.canvas_color_sat;
  gs.slider_vals[COLOR_HUE_SLIDER] = cv.canvas_color_hue;
  gs.slider_vals[COLOR_DIST_SLIDER] = cv.canvas_color_dist;
}

void Sliders_To_CV(a_canvas_spec& cv) {
  cv.canvas_darkness = gs.slider_vals[CANV_DARKNESS_SLIDER];
  cv.canvas_fuzz_in = gs.slider_vals[CANV_FUZZ_IN_SLIDER];
  cv.canvas_fuzz_out = gs.slider_vals[CANV_FUZZ_OUT_SLIDER];
  cv.canvas_color_sat = gs.slider_vals[COLOR_SAT_SLIDER];
  cv.canvas_color_hue = gs.slider_vals[COLOR_HUE_SLIDER];
  cv.canvas_color_dist = gs.slider_vals[COLOR_DIST_SLIDER];
}

void Canvas_Reload(a_history_op op) {
  a_doc_unit* unit = g_doc.up;
  if (unit != nullptr) {
    Cursor_Push_Watch();
    Doc_Merge_Draw(unit->paintbounds);
    Cursor_Pop();
  }
  History_Set_Pending(op);
}

void Canvas_Select() {
  Canvas_Command(OP_CANVAS_SELECT, [](a_doc_unit& unit, uint8 kind) {
    a_keyset key;
    CanvX_To_Key(key, gs.bar_selection[CANVAS_BAR], kind);
    a_canvas_spec& cv = unit.canv.cv;
    const bool8 keep = OptionKeyDown();
    if (!keep) {
      Init_CV(cv);
      Outline_Stale(unit);
    }
    cv.canvas_key = key;
    if (!keep) CV_To_Sliders(cv);
  });
}

void Canvas_Invert() {
  Canvas_Command(OP_CANVAS_INVERT, [](a_doc_unit& unit, uint8) {
    unit.canv.cv.canvas_invert = !unit.canv.cv.canvas_invert;
  });
}

void Canvas_Rotate_CW() {
  Canvas_Command(OP_CANVAS_ROTATE, [](a_doc_unit& unit, uint8) {
    unit.canv.cv.canvas_nrot = uint16((unit.canv.cv.canvas_nrot + 1) % 4);
  });
}

void Canvas_Rotate_CCW() {
  Canvas_Command(OP_CANVAS_ROTATE, [](a_doc_unit& unit, uint8) {
    unit.canv.cv.canvas_nrot = uint16((unit.canv.cv.canvas_nrot + 3) % 4);
  });
}

void Canvas_FlipX() {
  Canvas_Command(OP_CANVAS_FLIP, [](a_doc_unit& unit, uint8) {
    unit.canv.cv.canvas_flipx = !unit.canv.cv.canvas_flipx;
  });
}

void Canvas_FlipY() {
  Canvas_Command(OP_CANVAS_FLIP, [](a_doc_unit& unit, uint8) {
    unit.canv.cv.canvas_flipy = !unit.canv.cv.canvas_flipy;
  });
}

void Delta_Canvas() {
  Canvas_Command(pending_op, [](a_doc_unit& unit, uint8) { Sliders_To_CV(unit.canv.cv); });
}

void Canvas_Fuzz_Delta() {
  Canvas_Command(OP_CANVAS_ADJUST, [](a_doc_unit& unit, uint8) {
    Outline_Stale(unit);
    Sliders_To_CV(unit.canv.cv);
  });
}

void Paint_Clear_All() {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || !unit->paintinuse) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  unit->paintinuse = false;
  Sync_Existence(false, unit, PAINT1_LAYER);
  Doc_Merge_Draw(unit->paintbounds);
  History_Set_Pending(OP_PAINT_ZAP);
}

void Canvas_DrawElement(const Rect& cell, int16 canvx) {
  RGBBackColor(kBarGrey);
  EraseRect(cell);
  BackColor(kWhiteCode);
  uint8 kind;
  if (!Unit_Kind(g_doc.upx, kind)) return;
  a_subset subset{};
  if (!Canvas_Subset(kind, subset) || canvx < 1 || canvx > Subset_Count(subset)) return;
  a_keyset key;
  Subset_GetKey(subset, canvx, key);
  a_pixt thumb{};
  if (KPixt_Load_Checked(key, thumb) != PIXT_OK) return;
  const Rect own = thumb.pixmap.bounds;
  Rect fit;
  Calc_Rect_Fit(own, cell, fit);
  if (!EmptyRect(fit)) Pixt_DrawPartial(thumb, own, fit, srcCopy, nullptr);
  Pixt_Unload(thumb);
}

void Rotate_GWorld(GWorldPtr& world, int16 angle) {
  if (world == nullptr) return;
  PixMapPtr pix = Get_GWorld_PixMap(world);
  if (angle == FLIPX || angle == FLIPY) {
    if (angle == FLIPX)
      PixMap_FlipX(pix);
    else
      PixMap_FlipY(pix);
    return;
  }
  if (angle % 3600 == 0) return;
  // The pixels themselves, so quarter turns move each one whole.
  PixMap turned{};
  PixMap_Rotate(NEAREST, false, angle, *pix, turned);
  if (turned.baseAddr == nullptr) {
    Dispose_PixMap(turned);
    return;
  }
  Rect bounds = turned.bounds;
  OffsetRect(bounds, int16(-bounds.left), int16(-bounds.top));
  GWorldPtr out = nullptr;
  New_GWorldF("Rotate_GWorld", bounds, pix->pixelSize, pix->pmTable, out);
  if (out != nullptr) Pix_To_Pix(&turned, Get_GWorld_PixMap(out), turned.bounds, bounds, srcCopy, nullptr);
  Dispose_PixMap(turned);
  if (out == nullptr) return;
  Dispose_GWorld(world);
  world = out;
}
