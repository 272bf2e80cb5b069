// Unit rendering: marking units stale; the outer mask of each shape at the
// screen's and the paper's levels, the disc's feathered rim and the
// LightScribe labelling areas; paint through its mask; hidden objects;
// layers kept by dirty rectangles against a full rendering; what is
// refreshed until it is drawn; the print preview's layer; a print at 600 dpi
// against the screen; a print too large to be held.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskRend.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "objects/VoskCanv.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "pixel/ArtKeys.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/SysPixt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysIO.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"

namespace {

bool Same(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

TEST(UnitRendering, PostRenderMarksTheWholeUnit) {
  VoskDef_Init();
  VoskBlok_Init();
  auto first = std::make_unique<a_doc_unit>();
  auto second = std::make_unique<a_doc_unit>();
  first->paintbounds = Rect{0, 0, 300, 400};
  second->paintbounds = Rect{0, 0, 120, 90};
  first->render_dirty = Rect{10, 10, 20, 20};
  g_doc.doc_template.nunits = 2;
  g_doc.doc_units[0] = first.get();
  g_doc.doc_units[1] = second.get();

  // No current unit: nothing to mark.
  Curr_Unit_PostRender();
  EXPECT_TRUE(Same(first->render_dirty, Rect{10, 10, 20, 20}));
  g_doc.upx = 2;
  g_doc.up = second.get();
  Curr_Unit_PostRender();
  EXPECT_TRUE(Same(second->render_dirty, second->paintbounds));
  EXPECT_TRUE(Same(first->render_dirty, Rect{10, 10, 20, 20}));
  // The object list's seq takes a fresh id each time.
  const uint32 seq = second->oj.seq;
  Curr_Unit_PostRender();
  EXPECT_NE(second->oj.seq, seq);
  All_Units_PostRender();
  EXPECT_TRUE(Same(first->render_dirty, first->paintbounds));
  Unit_PostRender(nullptr);

  for (a_doc_unit*& unit : g_doc.doc_units) unit = nullptr;
  VoskDef_Init();
}

// --- Pixels ----------------------------------------------------------------------------

constexpr float kMMPerPixel = 0.0846667f;

uint32* Px(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint32*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
}
uint8* Mx(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint8*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
}
uint32 Rgb(GWorldPtr w, int x, int y) { return *Px(w, x, y) & 0x00FFFFFFu; }
int Channel(uint32 c, int shift) { return int((c >> shift) & 0xFF); }
// The largest difference of one channel between two colours.
int Diff(uint32 a, uint32 b) {
  int d = 0;
  for (int s : {0, 8, 16}) d = std::max(d, std::abs(Channel(a, s) - Channel(b, s)));
  return d;
}

// a over b at level (of 255), channel by channel.
uint32 Over(uint32 a, uint32 b, int level) {
  uint32 c = 0;
  for (int s : {0, 8, 16}) c |= uint32((Channel(a, s) * level + Channel(b, s) * (255 - level)) / 255) << s;
  return c;
}

constexpr uint32 kWhite = 0x00FFFFFFu;
constexpr uint32 kPasteboard = 0x00A5A5A5u;
constexpr uint32 kRed = 0x00E01020u;

// A unit of kind with its box w x h pixels of canvas (fixed-size kinds take
// their own size) and its meas in millimetres.
a_unit Unit(uint8 kind, int w, int h, float m1 = 0, float m2 = 0, float m3 = 0, float m4 = 0) {
  a_unit u{};
  u.kind = kind;
  u.bbox = a_frect{5, 5, 5 + float(w) * kMMPerPixel, 5 + float(h) * kMMPerPixel};
  u.meas[0] = m1;
  u.meas[1] = m2;
  u.meas[2] = m3;
  u.meas[3] = m4;
  return u;
}

a_template Layout(std::initializer_list<a_unit> units, uint32 tflags = 0) {
  a_template x{};
  std::strcpy(x.label, "Render sheet");
  x.papersize = {215.9f, 279.4f};
  x.tflags = tflags;
  for (const a_unit& u : units) x.units[x.nunits++] = u;
  return x;
}

class Rendering : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    Resources_Init();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    VoskDoc_Init();
    VoskFunc_Init();
    VoskUndo_Init();
    VoskPrin_Init();
    History_Null();
    VoskBlok_Init();
    OPUtil_Init();
    gs.controller = GHOST;  // refusals stay silent
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    g_ed = a_edit_rec{};
  }
  void TearDown() override {
    g_ed = a_edit_rec{};
    if (library_) OP_Stop();
    Undo_Dispose();
    if (g_doc.doc_open) Doc_Dispose();
    Dispose_Doc_Buffers();
    Cache_Clear();
    EXPECT_EQ(Live_Unit_Recs(), 0u);
  }
  bool library_ = false;
  // The build's picture library, for canvas pictures and symbols.
  bool Library() {
    SysPixt_Init();
    OP_Init();
    FSSpec spec;
    library_ = Path_From_Text(spec, VELMOR_ART_LIBRARY) && OP_OpenFile(spec) == OPEN_OKAY;
    return library_;
  }
  // The unit's canvas: the second picture of its kind's set (the first is
  // white).
  static void Canvas_Picture(a_doc_unit* u, uint8 kind) {
    CanvX_To_Key(u->canv.cv.canvas_key, 2, kind);
    EXPECT_FALSE(Is_CanvKey_White(u->canv.cv.canvas_key));
    Unit_PostRender(u);
  }
  // A symbol of the library on top of the current unit, in a colour.
  static int32 Symbol(int16 i, int16 h, int16 v) {
    int32 omx = 0;
    a_ph_rec* ph = PH_New(omx, SYMBOL_BLOCK);
    EXPECT_NE(ph, nullptr);
    if (ph == nullptr) return 0;
    ph->spec.source.kind = SOURCE_DATABASE;
    ph->spec.source.key = a_keyset{ART_SYMBOL, ART_SYMBOL_MUSIC, i, 0};
    ph->spec.is_symbol = true;
    ph->spec.symbol_color = a_pixel32{0x20, 0x40, 0x90, 0xFF};
    ph->spec.scalingh = ph->spec.scalingv = 250;
    ph->dst_center = Point{v, h};
    Photo_Merge(omx, false);
    return omx;
  }
  a_doc_unit* Open(const a_template& x, a_ratio zoom = a_ratio{1, 1}) {
    EXPECT_TRUE(Doc_New(x));
    Select_Doc_Unit(1);
    gs.views[0].zoom_factor = zoom;
    gs.nviews = 1;
    return Doc_Unit(1);
  }
  // The current unit's layer brought up to date.
  GWorldPtr Layer() {
    Rect rect;
    GWorldPtr world = nullptr;
    Current_Unit_Merge_Check(rect, world);
    return world;
  }
  // A photo of w x h pixels in four coloured quadrants (red, green, blue,
  // yellow from the top-left, clockwise) on top of the current unit,
  // centred on (h, v) at its own size.
  static int32 Photo(int16 w, int16 ht, int16 h, int16 v) {
    a_masked_gworld basis;
    Null_MW(basis);
    basis.bounds = Rect{0, 0, ht, w};
    New_GWorldF("quadrants", basis.bounds, 32, nullptr, basis.fore);
    for (int y = 0; y < ht; ++y)
      for (int x = 0; x < w; ++x)
        *Px(basis.fore, x, y) = y < ht / 2 ? (x < w / 2 ? 0x00E00000u : 0x0000C000u) : (x < w / 2 ? 0x00E0E000u : 0x000000E0u);
    a_source_desc source{};
    source.kind = SOURCE_CLIPBOARD;
    EXPECT_TRUE(Cache_Insert_External(source, basis, nullptr));
    int32 omx = 0;
    a_ph_rec* ph = PH_New(omx, PHOTO_BLOCK);
    EXPECT_NE(ph, nullptr);
    if (ph == nullptr) return 0;
    ph->spec.source = source;
    ph->spec.subset = basis.bounds;
    ph->dst_center = Point{v, h};
    Photo_Merge(omx, false);
    return omx;
  }
  static a_ph_rec* PH(int32 omx) { return Obj_Item(omx)->ph; }
  // Paint over r of unit ux at the mask level.
  static void Paint(a_doc_unit* u, const Rect& r, uint32 colour, uint8 level) {
    Sync_Existence(true, u, PAINT1_LAYER);
    u->paintinuse = true;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        *Px(u->statics[PAINT1_LAYER].world, x, y) = colour;
        *Mx(u->statics[PAINT1_LAYER].mask, x, y) = level;
      }
    Unit_PostRender(u);
  }
};

// --- The outer mask ----------------------------------------------------------------------

// Only rounded rectangles with a corner radius, disc faces, cassette labels
// and business-card discs have an outer mask. Where they do: nothing inside,
// level 225 outside on the screen and 255 on paper; a disc's hole like the
// outside, but printed whole on a sheet layout.
TEST_F(Rendering, OuterMasksOnlyForTheirShapes) {
  struct Case {
    const char* what;
    a_unit unit;
    bool mask;
    Point outside, inside, hole;  // hole (0, 0): none
  };
  const Case cases[] = {
      {"disc face", Unit(UNIT_CD_CORE, 240, 240, 7), true, {2, 2}, {120, 30}, {120, 120}},
      {"round rectangle", Unit(UNIT_RECT, 200, 120, 3), true, {1, 1}, {60, 100}, {0, 0}},
      {"rectangle without a radius", Unit(UNIT_RECT, 200, 120, 0), false, {1, 1}, {60, 100}, {0, 0}},
      {"cassette label", Unit(UNIT_AUDIO_FACE, 300, 192, 0, 2, 8, 2), true, {1, 1}, {150, 150}, {0, 0}},
      {"business-card disc", Unit(UNIT_MINICD_HOCKEY, 800, 590, 15), true, {2, 2}, {60, 400}, {295, 400}},
      {"rectangular card disc", Unit(UNIT_MINICD_RECT, 850, 590, 15, 4), true, {1, 1}, {60, 425}, {295, 425}},
      {"circle", Unit(UNIT_CIRCLE, 200, 200), false, {1, 1}, {100, 100}, {0, 0}},
      {"oval", Unit(UNIT_OVAL, 200, 120), false, {1, 1}, {60, 100}, {0, 0}},
      {"plain rectangle", Unit(UNIT_FLOPPY, 200, 120), false, {1, 1}, {60, 100}, {0, 0}},
      {"booklet", Unit(UNIT_JEWEL_LID2, 300, 150), false, {1, 1}, {75, 150}, {0, 0}},
  };
  for (const Case& c : cases) {
    for (const bool direct : {false, true}) {
      // The business-card discs print on the disc printer too.
      if (direct && c.unit.kind != UNIT_MINICD_HOCKEY && c.unit.kind != UNIT_MINICD_RECT) continue;
      SCOPED_TRACE(std::string(c.what) + (direct ? ", disc printer" : ", sheet"));
      a_doc_unit* u = Open(Layout({c.unit}, direct ? 1u << IS_CDPRINTER : 0u));
      ASSERT_NE(u, nullptr);
      EXPECT_EQ(Has_Outer_Mask(1), c.mask);
      const Rect bounds = u->paintbounds;
      for (const bool forprint : {false, true}) {
        GWorldPtr world = nullptr, mask = nullptr;
        const bool made = Calc_Outer_Mask(forprint, 1, u, bounds, world, mask);
        EXPECT_EQ(made, c.mask);
        if (!made) {
          EXPECT_EQ(world, nullptr);
          EXPECT_EQ(mask, nullptr);
          continue;
        }
        const int level = forprint ? 255 : 225;
        // Printed on a sheet, a business-card disc is its plain rectangle.
        const bool plain = forprint && !direct && c.unit.kind == UNIT_MINICD_HOCKEY;
        EXPECT_EQ(*Mx(mask, c.outside.h, c.outside.v), plain ? 0 : level) << forprint;
        EXPECT_EQ(*Mx(mask, c.inside.h, c.inside.v), 0) << forprint;
        if (c.hole.h != 0) {
          // Printed on a sheet, a disc keeps its hole's artwork.
          const int hole = forprint && !direct ? 0 : level;
          EXPECT_EQ(*Mx(mask, c.hole.h, c.hole.v), hole) << forprint;
        }
        // White under the mask, the pasteboard outside on the screen only.
        EXPECT_EQ(Rgb(world, c.inside.h, c.inside.v), kWhite);
        EXPECT_EQ(Rgb(world, c.outside.h, c.outside.v), forprint ? kWhite : kPasteboard) << forprint;
        Dispose_GWorld(world);
        Dispose_GWorld(mask);
      }
      // The layer exists only for the shapes with a mask.
      u->render_dirty = u->paintbounds;
      ASSERT_NE(Layer(), nullptr);
      EXPECT_EQ(u->statics[OUTERMASK_LAYER].world != nullptr, c.mask);
      Doc_Dispose();
    }
  }
}

// On the screen the outline shows the pasteboard over the label outside it;
// on paper everything outside it is white.
TEST_F(Rendering, OutsideTheOutlineOnScreenAndOnPaper) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_CD_CORE, 240, 240, 7)}));
  Paint(u, u->paintbounds, kRed, 255);
  GWorldPtr layer = Layer();
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(Rgb(layer, 120, 30), kRed);
  // Red under the pasteboard at 225 of 255.
  const uint32 shown = Rgb(layer, 1, 1);
  EXPECT_LE(Diff(shown, Over(kPasteboard, kRed, 225)), 2) << std::hex << shown;
  EXPECT_LE(Diff(Rgb(layer, 120, 120), shown), 0);  // the hole

  GWorldPtr print = nullptr;
  ASSERT_TRUE(Render_Unit_Print(1, u, u->paintbounds, print));
  EXPECT_EQ(Rgb(print, 120, 30), kRed);
  EXPECT_EQ(Rgb(print, 1, 1), kWhite);
  EXPECT_EQ(Rgb(print, 120, 120), kRed);  // a sheet prints the hole
  Dispose_GWorld(print);
}

// The disc's feathered rim: with no feather a hard edge (no division by a
// feather of 0); a feather ramps from nothing up to the outside's level,
// never past it, at the rim and at the hole.
TEST_F(Rendering, CircularMaskHardAndFeatheredEdges) {
  a_unit disc = Unit(UNIT_CD, 200, 200);
  disc.meas[0] = 40 * kMMPerPixel;  // a hole 40 pixels across
  GWorldPtr mask = nullptr;
  New_GWorldF("mask", Rect{0, 0, 200, 200}, 8, gray_ctable, mask);
  // Radius of pixel (x, 100) from the centre (100, 100), at its centre.
  const auto at = [&](int x) { return int(*Mx(mask, x, 100)); };

  Calc_Circular_Mask(225, 0, 0, disc, mask);
  for (int x = 0; x < 200; ++x) {
    const double r = std::fabs(x + 0.5 - 100);
    EXPECT_EQ(at(x), r > 100 || r < 20 ? 225 : 0) << x;
  }
  EXPECT_EQ(*Mx(mask, 0, 0), 225);
  EXPECT_EQ(*Mx(mask, 199, 199), 225);

  // Outer feather 10 % of 200 pixels: 20 pixels of ramp; inner 5 %: 10.
  Calc_Circular_Mask(225, 5, 10, disc, mask);
  int last = -1;
  for (int x = 100 + 30; x < 200; ++x) {  // from inside the hole's ramp outward
    EXPECT_GE(at(x), last) << x;
    EXPECT_LE(at(x), 225) << x;
    last = at(x);
  }
  EXPECT_EQ(at(100 + 70), 0);    // between the ramps
  EXPECT_GE(at(199), 215);       // the rim's last pixel is almost the outside
  EXPECT_EQ(at(100 + 19), 225);  // in the hole
  EXPECT_GE(at(100 + 20), 210);  // the hole's edge starts at the outside's level
  EXPECT_EQ(at(100 + 31), 0);    // and is gone 10 pixels out
  for (int x = 100 + 20; x < 100 + 30; ++x) EXPECT_GE(at(x), at(x + 1)) << x;
  // Mirrored both ways.
  for (int x = 0; x < 100; ++x) {
    EXPECT_EQ(at(x), at(199 - x)) << x;
    EXPECT_EQ(*Mx(mask, 100, x), *Mx(mask, 100, 199 - x)) << x;
  }
  Dispose_GWorld(mask);
}

// A fuzzed disc face takes the feathered mask at each level; others the
// outline's region.
TEST_F(Rendering, FuzzedDiscFacesFeatherTheirRim) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_CD_CORE, 200, 200, 40 * kMMPerPixel), Unit(UNIT_RECT, 200, 200, 3)}));
  EXPECT_FALSE(Is_Unit_Fuzzed(1, u));
  u->canv.cv.canvas_fuzz_out = 10;
  EXPECT_TRUE(Is_Unit_Fuzzed(1, u));
  Doc_Unit(2)->canv.cv.canvas_fuzz_out = 10;
  EXPECT_FALSE(Is_Unit_Fuzzed(2, Doc_Unit(2)));  // not a disc face
  for (const bool forprint : {false, true}) {
    GWorldPtr world = nullptr, mask = nullptr;
    ASSERT_TRUE(Calc_Outer_Mask(forprint, 1, u, u->paintbounds, world, mask));
    const int level = forprint ? 255 : 225;
    EXPECT_EQ(*Mx(mask, 0, 0), level);
    EXPECT_EQ(*Mx(mask, 100, 100), forprint ? 255 : 225);  // the fuzzed mask keeps the hole
    EXPECT_EQ(*Mx(mask, 100 + 50, 100), 0);
    const int rim = *Mx(mask, 100 + 95, 100);
    EXPECT_GT(rim, 0);
    EXPECT_LT(rim, level);
    Dispose_GWorld(world);
    Dispose_GWorld(mask);
  }
}

// The LightScribe areas: the outline is the coverage chosen, not the unit.
TEST_F(Rendering, LightScribeCoveragesCutTheirDiameters) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_CD_CORE, 300, 300, 15)}, 1u << IS_LIGHTSCRIBE));
  // 10 pixels a millimetre on the 117.4 mm frame.
  const Rect bounds{0, 0, 1174, 1174};
  struct Case {
    int16 coverage;
    float outer, hole;  // diameters, mm
  };
  const Case cases[] = {{1, 73.0f, 62.8f}, {2, 73.0f, 50.1f}, {3, 117.4f, 47.6f}};
  RgnHandle inside = NewRgn(), outside = NewRgn();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.coverage);
    gs.slider_vals[LS_COVERAGE_SLIDER] = c.coverage;
    Calc_LS_Rgns(bounds, inside, outside);
    const auto in = [&](float radius_mm) {
      const int16 x = int16(std::lround(587 + radius_mm * 10));
      const bool i = PtInRgn(Point{587, x}, inside), o = PtInRgn(Point{587, x}, outside);
      EXPECT_NE(i, o) << radius_mm;  // every pixel of bounds is one or the other
      return i;
    };
    EXPECT_TRUE(in(c.outer / 2 - 0.5f));
    if (c.outer < 117) { EXPECT_FALSE(in(c.outer / 2 + 0.5f)); }
    EXPECT_TRUE(in(c.hole / 2 + 0.5f));
    EXPECT_FALSE(in(c.hole / 2 - 0.5f));
    EXPECT_FALSE(in(0));
    // The outer mask follows it.
    GWorldPtr world = nullptr, mask = nullptr;
    ASSERT_TRUE(Calc_Outer_Mask(false, 1, u, bounds, world, mask));
    EXPECT_EQ(*Mx(mask, int(587 + (c.outer / 2 - 0.5f) * 10), 587), 0);
    EXPECT_EQ(*Mx(mask, int(587 + (c.hole / 2 - 0.5f) * 10), 587), 225);
    Dispose_GWorld(world);
    Dispose_GWorld(mask);
  }
  gs.slider_vals[LS_COVERAGE_SLIDER] = 4;
  EXPECT_THROW(Calc_LS_Rgns(bounds, inside, outside), QuitCalled);
  DisposeRgn(inside);
  DisposeRgn(outside);
}

// --- Paint and hidden objects ------------------------------------------------------------

// Paint shows through its mask: in full, in part and not at all, at zoom 1
// and zoomed out, on the screen and in print.
TEST_F(Rendering, PaintShowsThroughItsMask) {
  for (const a_ratio zoom : {a_ratio{1, 1}, a_ratio{1, 2}}) {
    SCOPED_TRACE(zoom.den);
    a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 200, 120)}), zoom);
    Paint(u, Rect{10, 10, 30, 30}, kRed, 255);
    Paint(u, Rect{10, 40, 30, 60}, kRed, 128);
    Paint(u, Rect{10, 70, 30, 90}, kRed, 0);
    GWorldPtr layer = Layer();
    ASSERT_NE(layer, nullptr);
    const int k = zoom.den;
    Rect want{0, 0, int16(120 / k), int16(200 / k)};
    EXPECT_TRUE(Same(u->statics[TOTAL_LAYER].bounds, want));
    const uint32 half = Rgb(layer, 50 / k, 20 / k);
    EXPECT_EQ(Rgb(layer, 20 / k, 20 / k), kRed);
    EXPECT_LE(Diff(half, Over(kRed, kWhite, 128)), 2) << std::hex << half;
    EXPECT_EQ(Rgb(layer, 80 / k, 20 / k), kWhite);
    EXPECT_EQ(Rgb(layer, 150 / k, 100 / k), kWhite);

    GWorldPtr print = nullptr;
    ASSERT_TRUE(Render_Unit_Print(1, u, Rect{0, 0, 240, 400}, print));
    EXPECT_EQ(Rgb(print, 40, 40), kRed);
    EXPECT_LE(Diff(Rgb(print, 100, 40), half), 2);
    EXPECT_EQ(Rgb(print, 160, 40), kWhite);
    Dispose_GWorld(print);
    Doc_Dispose();
  }
}

// A hidden object, a photo or the paint layer, is neither merged nor
// printed.
TEST_F(Rendering, HiddenObjectsAreDrawnNowhere) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 200, 120)}));
  Paint(u, u->paintbounds, kRed, 255);
  const int32 photo = Photo(80, 60, 100, 60);
  ASSERT_EQ(u->oj.list[0].kind, PAINT_BLOCK);
  // Shown, both are drawn.
  GWorldPtr shown = Layer();
  EXPECT_EQ(Rgb(shown, 10, 10), kRed);
  EXPECT_EQ(Rgb(shown, 80, 45), 0x00E00000u);
  for (a_oj_item* item : {&u->oj.list[0], Obj_Item(photo)}) item->flags = uint8(item->flags & ~OJ_Flag_Bit(VISIBLE_FLAG));
  Unit_PostRender(u);
  GWorldPtr layer = Layer();
  GWorldPtr print = nullptr;
  ASSERT_TRUE(Render_Unit_Print(1, u, u->paintbounds, print));
  for (int y = 0; y < 120; y += 7)
    for (int x = 0; x < 200; x += 7) {
      EXPECT_EQ(Rgb(layer, x, y), kWhite) << x << "," << y;
      EXPECT_EQ(Rgb(print, x, y), kWhite) << x << "," << y;
    }
  Dispose_GWorld(print);
}

// Every step of a table of moves, scalings, turns, flips, a paint stroke
// and hiding, at zoom 1 and zoomed out, over a canvas picture and under a
// symbol: the layer kept up to date by dirty rectangles equals the unit
// rendered whole.
TEST_F(Rendering, DirtyRectanglesKeepTheLayerAsAFullRender) {
  ASSERT_TRUE(Library()) << "the build's picture library is not there";
  for (const a_ratio zoom : {a_ratio{1, 1}, a_ratio{1, 2}}) {
    SCOPED_TRACE(zoom.den);
    a_doc_unit* u = Open(Layout({Unit(UNIT_CD_CORE, 300, 300, 5)}), zoom);
    Canvas_Picture(u, UNIT_CD_CORE);
    Paint(u, Rect{40, 20, 90, 280}, kRed, 160);
    const int32 a = Photo(80, 60, 100, 120);
    const int32 b = Photo(50, 90, 200, 180);
    Symbol(2, 150, 150);
    PH(a)->spec.shadf = true;  // a shadow past the picture
    Photo_Recalc(a);
    GWorldPtr layer = Layer();
    ASSERT_NE(layer, nullptr);
    const Rect bounds = u->statics[TOTAL_LAYER].bounds;

    struct Step {
      const char* what;
      void (*change)(int32 a, int32 b, a_doc_unit* u);
    };
    const Step steps[] = {
        {"move", [](int32 a, int32, a_doc_unit*) { Photo_Delta_XY1(a, false, 13, -7); }},
        {"move partly off the unit", [](int32, int32 b, a_doc_unit*) { Photo_Set_Center(b, Point{290, 10}); }},
        {"scale", [](int32 a, int32, a_doc_unit*) {
           PH(a)->spec.scalingh = 1500;
           PH(a)->spec.scalingv = 800;
           Photo_Recalc(a);
         }},
        {"flip across", [](int32 a, int32, a_doc_unit*) {
           PH(a)->spec.flipx = true;
           Photo_Recalc(a);
         }},
        {"flip upside down", [](int32, int32 b, a_doc_unit*) {
           PH(b)->spec.flipy = true;
           Photo_Recalc(b);
         }},
        {"quarter turn", [](int32 a, int32, a_doc_unit*) {
           PH(a)->spec.angle = -900;
           Photo_Recalc(a);
         }},
        {"turn by 30 degrees", [](int32, int32 b, a_doc_unit*) {
           PH(b)->spec.angle = 300;
           Photo_Recalc(b);
         }},
        {"move back over the other", [](int32, int32 b, a_doc_unit*) { Photo_Set_Center(b, Point{130, 110}); }},
        {"paint", [](int32, int32, a_doc_unit* u) {
           Sync_Existence(true, u, PAINT1_LAYER);
           for (int y = 150; y < 170; ++y)
             for (int x = 30; x < 250; ++x) *Mx(u->statics[PAINT1_LAYER].mask, x, y) = 255;
           Rect merge;
           CellToMergeRect(u, Rect{150, 30, 170, 250}, merge);
           Merge_PostRender(merge);
         }},
        {"hide", [](int32 a, int32, a_doc_unit*) {
           Obj_Item(a)->flags = uint8(Obj_Item(a)->flags & ~OJ_Flag_Bit(VISIBLE_FLAG));
           Obj_PostRender(a);
         }},
    };
    for (const Step& step : steps) {
      SCOPED_TRACE(step.what);
      step.change(a, b, u);
      ASSERT_FALSE(EmptyRect(u->render_dirty));
      ASSERT_EQ(Layer(), layer);
      std::vector<uint32> kept;
      for (int y = bounds.top; y < bounds.bottom; ++y)
        for (int x = bounds.left; x < bounds.right; ++x) kept.push_back(Rgb(layer, x, y));
      Unit_PostRender(u);
      ASSERT_EQ(Layer(), layer);
      int differ = 0;
      size_t i = 0;
      for (int y = bounds.top; y < bounds.bottom; ++y)
        for (int x = bounds.left; x < bounds.right; ++x, ++i)
          if (kept[i] != Rgb(layer, x, y) && differ++ < 3)
            ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << kept[i] << " kept, "
                          << Rgb(layer, x, y) << " rendered whole";
      EXPECT_EQ(differ, 0);
    }
    Doc_Dispose();
  }
}

// --- Print ---------------------------------------------------------------------------------

// A print at 600 dpi, reduced to 300, shows what the screen shows inside
// the outline: a canvas picture, paint, photos turned and scaled, a border
// and a shadow, a symbol.
TEST_F(Rendering, APrintAt600DpiReducedMatchesTheScreen) {
  ASSERT_TRUE(Library()) << "the build's picture library is not there";
  a_doc_unit* u = Open(Layout({Unit(UNIT_CD_CORE, 300, 300, 5)}));
  Canvas_Picture(u, UNIT_CD_CORE);
  Paint(u, Rect{40, 20, 90, 280}, kRed, 160);
  const int32 a = Photo(80, 60, 100, 120);
  const int32 b = Photo(50, 90, 230, 180);
  Symbol(3, 200, 100);
  PH(a)->spec.shadf = true;
  PH(a)->spec.edge_kind = PHOTOEDGE_SOLID;  // a border as wide on paper as on the screen
  PH(a)->spec.edge_bord_color = a_pixel32{0x30, 0x30, 0x30, 0xFF};
  PH(b)->spec.angle = 900;
  PH(b)->spec.scalingh = 1300;
  Photo_Recalc(a);
  Photo_Recalc(b);
  GWorldPtr layer = Layer();
  ASSERT_NE(layer, nullptr);
  GWorldPtr print = nullptr;
  ASSERT_TRUE(Render_Unit_Print(1, u, Rect{0, 0, 600, 600}, print));
  EXPECT_EQ(g_doc.doc_print.scaling_factorx.num, 600);
  EXPECT_EQ(g_doc.doc_print.scaling_factorx.den, 300);
  const GWorldPtr outer = u->statics[OUTERMASK_LAYER].mask;
  ASSERT_NE(outer, nullptr);
  int64 total = 0, n = 0, far = 0;
  for (int y = 2; y < 298; ++y)
    for (int x = 2; x < 298; ++x) {
      // Inside the outline, two pixels clear of it.
      bool inside = true;
      for (int dy = -2; dy <= 2 && inside; ++dy)
        for (int dx = -2; dx <= 2 && inside; ++dx) inside = *Mx(outer, x + dx, y + dy) == 0;
      if (!inside) continue;
      uint32 avg = 0;
      for (int sh : {0, 8, 16}) {
        int sum = 0;
        for (int k = 0; k < 4; ++k) sum += Channel(Rgb(print, 2 * x + (k & 1), 2 * y + (k >> 1)), sh);
        avg |= uint32((sum + 2) / 4) << sh;
      }
      const int d = Diff(avg, Rgb(layer, x, y));
      total += d;
      ++n;
      if (d > 40) ++far;
    }
  ASSERT_GT(n, 40000);
  // The reduced print is the screen but for the resampling of the canvas
  // and the edges of the symbol and of the turned picture (whose soft rim
  // is one print pixel wide at every resolution).
  EXPECT_LT(double(total) / double(n), 1.5) << total << " over " << n;
  EXPECT_LT(double(far) / double(n), 0.01) << far << " of " << n;
  // The quadrants of the upright photo where the screen has them.
  const Point c = PH(a)->dst_center;
  for (const int sh : {-20, 20})
    for (const int sv : {-15, 15}) {
      const int x = c.h + sh, y = c.v + sv;
      EXPECT_EQ(Rgb(print, 2 * x, 2 * y), Rgb(layer, x, y)) << x << "," << y;
    }
  Dispose_GWorld(print);
}

// Cells times a print size pass 16 bits (1417 x 2835): a photo at the far
// corner of a 120 mm disc lands at the far corner of its 600-dpi print.
TEST_F(Rendering, PrintPlacesObjectsPast16BitProducts) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_CD_CORE, 1417, 1417, 41)}));
  ASSERT_EQ(u->paintbounds.right, 1417);
  const int32 omx = Photo(40, 40, 1380, 1390);
  g_doc.doc_print = a_print_info{Point{0, 0}, a_ratio{2835, 1417}, a_ratio{2835, 1417}};
  // Only the print's far corner is made.
  const Rect corner{2700, 2700, 2835, 2835};
  GWorldPtr world = nullptr;
  New_GWorldF("corner", corner, 32, nullptr, world);
  Push_GWorld(world);
  BackColor(0);
  EraseRect(corner);
  Print_Object(u, omx, *Obj_Item(omx), corner);
  Pop_GWorld();
  // The photo spans cells 1360..1400 across and 1370..1410 down: dots
  // 2721..2801 and 2741..2821; its top-left quadrant is red.
  EXPECT_EQ(Rgb(world, 2730, 2750), 0x00E00000u);
  EXPECT_EQ(Rgb(world, 2790, 2810), 0x000000E0u);
  EXPECT_EQ(Rgb(world, 2710, 2730), kWhite);
  EXPECT_EQ(Rgb(world, 2830, 2830), kWhite);
  Dispose_GWorld(world);
}

// A photo more than 4000 pixels wide in print is drawn on its whole box,
// not reduced.
TEST_F(Rendering, PrintDrawsAWidePhotoOnItsBox) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 2000, 100)}));
  ASSERT_EQ(u->paintbounds.right, 2000);
  const int32 omx = Photo(1900, 80, 1000, 50);
  ASSERT_TRUE(Same(PH(omx)->dst_box, Rect{10, 50, 90, 1950}));
  GWorldPtr print = nullptr;
  ASSERT_TRUE(Render_Unit_Print(1, u, Rect{0, 0, 220, 4400}, print));
  // The box at 2.2 dots a cell: 110 to 4290 across, 22 to 198 down.
  EXPECT_EQ(Rgb(print, 115, 30), 0x00E00000u);
  EXPECT_EQ(Rgb(print, 4284, 30), 0x0000C000u);
  EXPECT_EQ(Rgb(print, 4284, 190), 0x000000E0u);
  EXPECT_EQ(Rgb(print, 4296, 30), kWhite);
  EXPECT_EQ(Rgb(print, 104, 30), kWhite);
  Dispose_GWorld(print);
}

// --- Staleness ---------------------------------------------------------------------------------

// What a merge refreshed stays to be drawn until the unit is brought up to
// date: areas merged one after the other add up.
TEST_F(Rendering, RefreshedAreasAddUpUntilDrawn) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 400, 300)}));
  ASSERT_NE(Layer(), nullptr);
  u->refresh_dirty = Rect{0, 0, 0, 0};
  u->render_dirty = Rect{10, 10, 20, 20};
  Layer();
  u->render_dirty = Rect{200, 300, 210, 320};
  Layer();
  EXPECT_TRUE(EmptyRect(u->render_dirty));
  // Each grown by a cell and then by 16 pixels.
  EXPECT_TRUE(Same(u->refresh_dirty, Rect{-7, -7, 227, 337})) << u->refresh_dirty.bottom;
  Current_Unit_UpToDate();
  EXPECT_TRUE(EmptyRect(u->refresh_dirty));
  // Zoomed out the margin is 16 screen pixels in cells.
  gs.views[0].zoom_factor = a_ratio{1, 2};
  Layer();  // a layer of new bounds: everything
  EXPECT_TRUE(Same(u->refresh_dirty, Rect{-33, -33, 333, 433})) << u->refresh_dirty.bottom;
}

// A layer of other bounds (a zoom change) renders everything again; so does
// the start and the end of a text edit on the unit, once.
TEST_F(Rendering, NewBoundsAndTextEditsRenderTheWholeUnit) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 200, 120)}));
  ASSERT_NE(Layer(), nullptr);
  const GWorldPtr full = u->statics[TOTAL_LAYER].world;
  u->refresh_dirty = Rect{0, 0, 0, 0};
  Layer();
  EXPECT_TRUE(EmptyRect(u->refresh_dirty));  // nothing stale, nothing done
  EXPECT_EQ(u->statics[TOTAL_LAYER].world, full);

  // Editing a text of this unit.
  a_om_rec* om = New_OM_Rec();
  ASSERT_NE(om, nullptr);
  om->size = 5;
  om->hspacing = om->vspacing = 100;
  om->anchor = Point{40, 20};
  const int32 omx = Obj_Append(u->oj, TEXT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), nullptr, om);
  g_ed.edit_ux = 1;
  g_ed.edit_objid = u->oj.list[omx - 1].objid;
  g_ed.edit_omx = omx;
  Layer();
  EXPECT_EQ(u->excluded_id, g_ed.edit_objid);
  EXPECT_NE(u->statics[MINUS_LAYER].world, nullptr);
  EXPECT_TRUE(Same(u->refresh_dirty, Rect{-17, -17, 137, 217}));
  // A keystroke's area: only that (the text's box, laid out by now).
  const Rect box = om->bbox;
  ASSERT_FALSE(EmptyRect(box));
  u->refresh_dirty = Rect{0, 0, 0, 0};
  u->render_dirty = box;
  Layer();
  EXPECT_TRUE(Same(u->refresh_dirty, Rect{int16(box.top - 17), int16(box.left - 17), int16(box.bottom + 17),
                                          int16(box.right + 17)}));
  // The edit ends: everything once more, and the minus layer goes.
  g_ed = a_edit_rec{};
  u->refresh_dirty = Rect{0, 0, 0, 0};
  Layer();
  EXPECT_EQ(u->excluded_id, 0u);
  EXPECT_EQ(u->statics[MINUS_LAYER].world, nullptr);
  EXPECT_TRUE(Same(u->refresh_dirty, Rect{-17, -17, 137, 217}));
}

// The print preview of a unit never rendered: the box doubled until a side
// reaches 100 pixels; an empty box makes no layer (and does not loop).
TEST_F(Rendering, PrintPreviewLayerFromTheBox) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 200, 120)}));
  Rect rect;
  GWorldPtr world = nullptr;
  PrintPrevew_Unit_Merge_Check(1, u, Rect{5, 5, 5, 5}, rect, world);
  EXPECT_TRUE(EmptyRect(rect));
  EXPECT_EQ(world, nullptr);
  EXPECT_EQ(u->statics[TOTAL_LAYER].world, nullptr);
  PrintPrevew_Unit_Merge_Check(1, u, Rect{10, 10, 30, 40}, rect, world);
  EXPECT_TRUE(Same(rect, Rect{0, 0, 80, 120}));
  ASSERT_NE(world, nullptr);
  // Later the layer's own bounds serve.
  PrintPrevew_Unit_Merge_Check(1, u, Rect{0, 0, 500, 500}, rect, world);
  EXPECT_TRUE(Same(rect, Rect{0, 0, 80, 120}));
}

// A print too large to be held fails with alert 16 and no world.
TEST_F(Rendering, APrintThatCannotBeHeldFailsWithAlert16) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 200, 120)}));
  gs.controller = HUMAN;  // the alert shows on standard error
  GWorldPtr print = reinterpret_cast<GWorldPtr>(&print);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Render_Unit_Print(1, u, Rect{0, 0, 30000, 32000}, print));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(print, nullptr);
  EXPECT_NE(err.find("alert 16"), std::string::npos) << err;
  gs.controller = GHOST;
}

}  // namespace
