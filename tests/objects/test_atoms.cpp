// Paint atoms on 64 x 64 worlds: each atom and fill against a reference
// painted from regions (coverage in the colour world, the paint opacity in
// the mask, the eraser and the no-paint kinds leaving what they must), the
// turned corner sets of symmetry copies, ring sectors, the bucket on a ring
// fixture, gradient bands along a line, the symmetry driver and palette ties.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "SoundTestSupport.h"
#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "objects/VoskAtom.h"
#include "objects/VoskBrus.h"
#include "objects/VoskSpra.h"
#include "pixel/Draw.h"
#include "pixel/Fast.h"
#include "pixel/DrawUtilMasked.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysRgn.h"
#include "platform/SysSound.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"

namespace {

constexpr Rect kWorld{0, 0, 64, 64};
constexpr a_pixel32 kFill{{0x20, 0x80, 0xE0, 0xFF}};

uint32& Px(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint32*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p))[x - p.bounds.left];
}
uint8& Mx(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint8*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p))[x - p.bounds.left];
}

// A paint layer: colour world and mask world over the 64 x 64 area, filled
// with a recognisable background (colour by position, mask 200).
struct a_layer {
  a_masked_gworld mw{};
  a_layer() {
    New_MW("atom test", kWorld, mw);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        Px(mw.fore, x, y) = 0xFF000000u | uint32(x << 8 | y);
        Mx(mw.mask, x, y) = 200;
      }
  }
  ~a_layer() { Dispose_MW(mw); }
  a_layer(const a_layer&) = delete;
  a_layer& operator=(const a_layer&) = delete;
};

// Both layers the same, byte for byte (colour compared without alpha).
// Colour inside any_colour (NIL: nowhere) is not compared.
void Expect_Same(const a_layer& got, const a_layer& want, const char* what, HRGN any_colour = nullptr) {
  int bad = 0;
  for (int y = 0; y < 64 && bad < 5; ++y)
    for (int x = 0; x < 64 && bad < 5; ++x) {
      const bool skip = any_colour != nullptr && PtInRgn(Point{int16(y), int16(x)}, any_colour);
      if (!skip && (Px(got.mw.fore, x, y) & 0xFFFFFF) != (Px(want.mw.fore, x, y) & 0xFFFFFF)) {
        ADD_FAILURE() << what << ": colour at " << x << "," << y;
        ++bad;
      }
      if (Mx(got.mw.mask, x, y) != Mx(want.mw.mask, x, y)) {
        ADD_FAILURE() << what << ": mask at " << x << "," << y << " " << int(Mx(got.mw.mask, x, y)) << " want "
                      << int(Mx(want.mw.mask, x, y));
        ++bad;
      }
    }
}

// What a fill does to a region in the reference layer.
void Paint_Reference(a_layer& ref, RgnHandle rgn, a_fill_kind fill) {
  if (fill == NULL_FILL || fill == TRACKING_MARQUEE || fill == GETTING_MARQUEE) return;
  if (fill != ERASER_FILL) {
    Push_GWorld(ref.mw.fore);
    SetForeColor32(kFill);
    PaintRgn(rgn);
    Pop_GWorld();
  }
  Push_GWorld(ref.mw.mask);
  SetForeOpacity(fill == ERASER_FILL ? 0 : gs.slider_vals[PAINT_OPACITY_SLIDER]);
  PaintRgn(rgn);
  Pop_GWorld();
}

// The mask level the paint opacity writes.
uint8 Opacity_Level() {
  a_layer l;
  HRGN r = NewRgn();
  RectRgn(r, Rect{0, 0, 1, 1});
  Paint_Reference(l, r, COLOR_FILL);
  DisposeRgn(r);
  return Mx(l.mw.mask, 0, 0);
}

// The layer got holds the colour fill's paint over the polygon of q.
void Expect_Polygon_Painted(const a_layer& got, const Point* q, int32 n, const char* what) {
  a_layer want;
  HRGN ref = nullptr;
  PolygonRgn(q, n, ref);
  ASSERT_NE(ref, nullptr);
  Paint_Reference(want, ref, COLOR_FILL);
  DisposeRgn(ref);
  Expect_Same(got, want, what);
}

class Atoms : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    gs.fill_color32 = kFill;
    gs.slider_vals[PAINT_OPACITY_SLIDER] = 60;
    gs.slider_vals[LINE_THICKNESS_SLIDER] = 3;
    gs.slider_vals[PAINT_CORNER_SLIDER] = 12;
    gs.grid_vals[TOOL_GRID] = SRECT_TOOL;
    grad_.nbands = 3;
    grad_.bands[0].raw = 0xFF0000AAu;
    grad_.bands[1].raw = 0xFF00BB00u;
    grad_.bands[2].raw = 0xFFCC0000u;
    gs.fill_gradient = &grad_;
  }
  void TearDown() override {
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    Stop_Quickdraw();
  }
  a_grad_rec grad_{};
};

// Region makers of the references.
HRGN Rect_Of(const Rect& r) {
  HRGN rgn = NewRgn();
  RectRgn(rgn, r);
  return rgn;
}
HRGN Oval_Of(const Rect& r) {
  HRGN rgn = nullptr;
  OvalRgn(r, rgn);
  return rgn;
}
HRGN Round_Of(const Rect& r, int16 oval) {
  HRGN rgn = nullptr;
  RoundRectRgn(rgn, r, oval, oval);
  return rgn;
}
HRGN Less(HRGN a, HRGN b) {
  DiffRgn(a, b, a);
  DisposeRgn(b);
  return a;
}
Rect Inset(Rect r, int16 d) {
  InsetRect(r, d, d);
  return r;
}

struct a_shape_case {
  const char* name;
  a_atom_proc atom;
  HRGN (*reference)(const Rect& r);
};

const a_shape_case kShapes[] = {
    {"solid rect", Atom_SRect, [](const Rect& r) { return Rect_Of(r); }},
    {"solid oval", Atom_SOval, [](const Rect& r) { return Oval_Of(r); }},
    {"solid round rect", Atom_SRoundRect, [](const Rect& r) { return Round_Of(r, 12); }},
    {"framed rect", Atom_FRect, [](const Rect& r) { return Less(Rect_Of(r), Rect_Of(Inset(r, 3))); }},
    {"framed oval", Atom_FOval, [](const Rect& r) { return Less(Oval_Of(r), Oval_Of(Inset(r, 3))); }},
    {"framed round rect", Atom_FRoundRect,
     [](const Rect& r) { return Less(Round_Of(r, 12), Round_Of(Inset(r, 3), 6)); }},
};

// Every shape with every fill: the exact coverage of its region, the mask
// at the paint opacity; the eraser clears the mask only; no fill and the
// marquee preview leave both worlds alone.
TEST_F(Atoms, ShapesTakeEveryFillWithTheRegionsCoverage) {
  const Rect r{8, 5, 50, 41};
  for (const a_shape_case& shape : kShapes)
    for (a_fill_kind fill : {COLOR_FILL, ERASER_FILL, NULL_FILL, TRACKING_MARQUEE}) {
      SCOPED_TRACE(std::string(shape.name) + " fill " + std::to_string(int(fill)));
      gs.fill_kind = fill;
      a_layer got, want;
      Rect dirty{};
      Do_Atom_4(r, shape.atom, got.mw.fore, got.mw.mask, &dirty);
      HRGN ref = shape.reference(r);
      Paint_Reference(want, ref, fill);
      DisposeRgn(ref);
      Expect_Same(got, want, shape.name);
      Rect in;
      EXPECT_TRUE(SectRect(dirty, r, in) && EqualRect(in, r)) << "the dirty area covers the shape";
    }
}

// The eraser tool's parameter erases whatever fill is chosen.
TEST_F(Atoms, EraserToolParametersEraseAndPreviewAsMarquee) {
  gs.grid_vals[TOOL_GRID] = ERASER_TOOL;
  gs.fill_kind = GRADIENT_FILL;
  a_atom_rec p;
  New_PaintParm(4, p);
  EXPECT_EQ(p.fill, ERASER_FILL);
  EXPECT_TRUE(p.marqf);
  Dispose_PaintParm(p);
  a_layer got, want;
  Do_Atom_4(Rect{10, 10, 30, 30}, Atom_SOval, got.mw.fore, got.mw.mask);
  HRGN ref = Oval_Of(Rect{10, 10, 30, 30});
  Paint_Reference(want, ref, ERASER_FILL);
  DisposeRgn(ref);
  Expect_Same(got, want, "oval eraser");
}

// The square eraser: its side from the grid (indices past the table take
// the largest), centred on the point, mask only.
TEST_F(Atoms, EraserSquareBySizeTableMaskOnly) {
  const int16 sizes[13] = {1, 2, 3, 4, 5, 7, 9, 11, 15, 15, 15, 15, 15};
  for (int16 gx = 0; gx <= 12; ++gx) {
    SCOPED_TRACE(gx);
    EXPECT_EQ(Eraser_Size(gx), sizes[gx]);
    gs.grid_vals[ERASER_GRID] = gx;
    gs.fill_kind = COLOR_FILL;
    a_layer got, want;
    Do_Atom_1(Point{32, 32}, Atom_Eraser, got.mw.fore, got.mw.mask);
    const int16 s = sizes[gx];
    HRGN ref = Rect_Of(Rect{int16(32 - s / 2), int16(32 - s / 2), int16(32 - s / 2 + s), int16(32 - s / 2 + s)});
    Paint_Reference(want, ref, ERASER_FILL);
    DisposeRgn(ref);
    Expect_Same(got, want, "eraser");
  }
}

Point Turned(Point c, double deg, double h, double v) {
  const double a = deg * M_PI / 180;
  return Point{int16(std::lround(c.v + h * std::sin(a) + v * std::cos(a))),
               int16(std::lround(c.h + h * std::cos(a) - v * std::sin(a)))};
}

a_atom_rec Corners(const Point c[4]) {
  a_atom_rec p;
  New_PaintParm(4, p);
  for (int i = 0; i < 4; ++i) p.list->points[i] = c[i];
  return p;
}

void Apply_Atom(a_atom_proc atom, a_atom_rec& p, a_layer& l) {
  p.paint_world = l.mw.fore;
  p.mask_world = l.mw.mask;
  Push_GWorld(l.mw.fore);
  atom(p);
  Pop_GWorld();
}

// Turned corner sets: a rectangle and a thin oval (half axis 2) fill the
// quadrilateral of the corners; a quarter turn is the upright shape again.
TEST_F(Atoms, TurnedCornerSets) {
  gs.fill_kind = COLOR_FILL;
  const Point centre{32, 32};
  struct a_case {
    a_atom_proc atom;
    double half_h, half_v;
  } cases[] = {{Atom_SRect, 15, 9}, {Atom_SOval, 15, 2}, {Atom_SRoundRect, 15, 9}};
  for (const a_case& c : cases) {
    const Point q[4] = {Turned(centre, 30, -c.half_h, -c.half_v), Turned(centre, 30, c.half_h, -c.half_v),
                        Turned(centre, 30, c.half_h, c.half_v), Turned(centre, 30, -c.half_h, c.half_v)};
    a_layer got;
    a_atom_rec p = Corners(q);
    if (c.atom == Atom_SRoundRect) gs.slider_vals[PAINT_CORNER_SLIDER] = 0;
    Apply_Atom(c.atom, p, got);
    Dispose_PaintParm(p);
    Expect_Polygon_Painted(got, q, 4, "turned quadrilateral");
  }
  // A quarter turn of an upright oval's corners draws the upright oval.
  const Rect r{10, 20, 40, 44};
  const Point quarter[4] = {{r.top, r.right}, {r.bottom, r.right}, {r.bottom, r.left}, {r.top, r.left}};
  a_layer got, want;
  a_atom_rec p = Corners(quarter);
  Apply_Atom(Atom_SOval, p, got);
  Dispose_PaintParm(p);
  HRGN ref = Oval_Of(r);
  Paint_Reference(want, ref, COLOR_FILL);
  DisposeRgn(ref);
  Expect_Same(got, want, "quarter-turned oval");
}

// Framed shapes with turned corners draw the turned ring for every fill the
// solid shapes take: the middle stays as it was, the edge is painted.
TEST_F(Atoms, TurnedFramedShapesDrawTheirRing) {
  const Point centre{32, 32};
  const Point q[4] = {Turned(centre, 40, -20, -14), Turned(centre, 40, 20, -14), Turned(centre, 40, 20, 14),
                      Turned(centre, 40, -20, 14)};
  for (a_atom_proc atom : {Atom_FOval, Atom_FRect, Atom_FRoundRect})
    for (a_fill_kind fill : {COLOR_FILL, GRADIENT_FILL}) {
      gs.fill_kind = fill;
      a_layer got, before;
      a_atom_rec p = Corners(q);
      Apply_Atom(atom, p, got);
      Dispose_PaintParm(p);
      EXPECT_EQ(Mx(got.mw.mask, 32, 32), 200) << "the middle is not painted";
      EXPECT_EQ(Px(got.mw.fore, 32, 32), Px(before.mw.fore, 32, 32));
      const Point edge = Turned(centre, 40, 18, 0);  // within the ring at the long axis's end
      EXPECT_EQ(Mx(got.mw.mask, edge.h, edge.v), Opacity_Level()) << "the ring is painted at opacity 60";
      EXPECT_FALSE(EmptyRect(p.dirty));
    }
}

// Ring sectors: equal radii or equal angles draw nothing; a span of 3600 is
// the annulus; a sector from the centre (inner radius 0) is a wedge.
TEST_F(Atoms, RingSectors) {
  const Point o{32, 32};
  for (auto [a, b] : {std::pair{a_polar{10, 0}, a_polar{10, 900}}, {a_polar{5, 450}, a_polar{20, 450}}}) {
    HRGN rgn = nullptr;
    Calc_Furter_Rgn(4, o, a, b, rgn);
    ASSERT_NE(rgn, nullptr);
    EXPECT_TRUE(EmptyRgn(rgn));
    DisposeRgn(rgn);
  }
  HRGN ring = nullptr;
  Calc_Furter_Rgn(4, o, a_polar{10, 300}, a_polar{20, 3900}, ring);
  HRGN ref = Less(Oval_Of(Rect{12, 12, 52, 52}), Oval_Of(Rect{22, 22, 42, 42}));
  ASSERT_NE(ring, nullptr);
  EXPECT_TRUE(EqualRgn(ring, ref));
  DisposeRgn(ring);
  DisposeRgn(ref);

  HRGN wedge = nullptr;
  Calc_Furter_Rgn(0, o, a_polar{0, 0}, a_polar{20, 900}, wedge);  // angles count counter-clockwise
  ASSERT_NE(wedge, nullptr);
  EXPECT_TRUE(PtInRgn(Point{int16(o.v - 8), int16(o.h + 8)}, wedge));    // up and right
  EXPECT_FALSE(PtInRgn(Point{int16(o.v + 8), int16(o.h + 8)}, wedge));   // down and right
  EXPECT_FALSE(PtInRgn(Point{int16(o.v - 8), int16(o.h - 8)}, wedge));   // up and left
  DisposeRgn(wedge);

  // Wrapping across 0: 3300 to 300 is the 60 degrees around the right.
  HRGN wrap = nullptr;
  Calc_Furter_Rgn(2, o, a_polar{8, 3300}, a_polar{20, 300}, wrap);
  ASSERT_NE(wrap, nullptr);
  EXPECT_TRUE(PtInRgn(Point{o.v, int16(o.h + 14)}, wrap));
  EXPECT_FALSE(PtInRgn(Point{o.v, int16(o.h - 14)}, wrap));
  EXPECT_FALSE(PtInRgn(Point{o.v, int16(o.h + 4)}, wrap));
  DisposeRgn(wrap);

  std::vector<Point> pts;
  Do_Arc(o, 0, 0, 900, pts);
  EXPECT_EQ(pts.size(), 1u);
  EXPECT_TRUE(EqualPt(pts[0], o));
}

// A gradient line walks the bands: band counter from 0, one band per cell
// with repeat 1, back to band 0 past the last.
TEST_F(Atoms, GradientBandsAlongALine) {
  gs.fill_kind = GRADIENT_FILL;
  gs.slider_vals[LINE_THICKNESS_SLIDER] = 1;
  gs.slider_vals[GRAD_REP_SLIDER] = 1;
  a_layer got;
  Do_Atom_4(Rect{10, 5, 10, 15}, Atom_Line, got.mw.fore, got.mw.mask);
  for (int x = 5; x <= 15; ++x)
    EXPECT_EQ(Px(got.mw.fore, x, 10) & 0xFFFFFF, grad_.bands[(x - 5 + 1) % 3].raw & 0xFFFFFF) << x;
  EXPECT_EQ(Mx(got.mw.mask, 10, 11), 200);
  gs.grad_bandx = 0;
  const uint32 want[] = {0, 1, 1, 2, 2, 0, 0};  // repeat 2 from counter 0: 1/2, 2/2, 3/2 ...
  for (uint32 w : want) EXPECT_EQ(Inc_Gradient_Band(2).raw, grad_.bands[w].raw);
}

// Tiles: anchored at multiples of the step, the step never below 6 cells
// (a 2-cell stamp with no gap steps by 6, with gap 10 by 12), drawn inside
// the region only.
TEST_F(Atoms, TilingStepAndAnchor) {
  GWorldPtr stamp = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 2, 2}, 32, nullptr, stamp), noErr);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) Px(stamp, x, y) = 0xFFFF0000u;
  for (int16 gap : {0, 10}) {
    const int step = gap == 0 ? 6 : 12;
    a_layer l, before;
    HRGN area = Oval_Of(Rect{7, 9, 60, 58});
    Push_GWorld(l.mw.fore);
    Tile_Rgn(area, &stamp->pix, nullptr, gap, gap, false);
    Pop_GWorld();
    int bad = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        const bool inside = PtInRgn(Point{int16(y), int16(x)}, area);
        const uint32 want = inside && x % step < 2 && y % step < 2 ? 0xFF0000u : Px(before.mw.fore, x, y) & 0xFFFFFF;
        if ((Px(l.mw.fore, x, y) & 0xFFFFFF) != want && bad++ < 5) ADD_FAILURE() << gap << ": " << x << "," << y;
      }
    DisposeRgn(area);
  }
  Dispose_GWorld(stamp);
}

// Sprays: the dot pattern (opacity below 100) and the bitmap (100) of the
// colour fill land within the radius around the point, in colour and mask
// alike; the dot spray of radius 15 has at most its 8 dots. The atom sets
// its record up itself: the first imprint after start paints.
TEST_F(Atoms, SprayDotsAndBitmapLandAroundThePoint) {
  gs.fill_kind = COLOR_FILL;
  gs.slider_vals[SPRAY_RADIUS_SLIDER] = 15;
  a_rand_rec random{};
  Init_RandRec(random);
  gs.spray_seedU = &random;
  for (int16 opacity : {60, 100}) {
    SCOPED_TRACE(opacity);
    gs.slider_vals[PAINT_OPACITY_SLIDER] = opacity;
    gs.grid_vals[SPRAY_KIND_GRID] = UNIFORM_SPREAD;
    Spray_Stop();
    a_layer got, before;
    Rect dirty{};
    Do_Atom_1(Point{30, 34}, Atom_Spray, got.mw.fore, got.mw.mask, &dirty);
    int painted = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        const bool mask_changed = Mx(got.mw.mask, x, y) != 200;
        const bool colour_changed = Px(got.mw.fore, x, y) != Px(before.mw.fore, x, y);
        EXPECT_EQ(mask_changed, colour_changed) << x << "," << y;
        if (!mask_changed) continue;
        ++painted;
        EXPECT_LE(std::abs(x - 34), 15);
        EXPECT_LE(std::abs(y - 30), 15);
        EXPECT_TRUE(PtInRect(Point{int16(y), int16(x)}, dirty));
      }
    EXPECT_GT(painted, 0);
    if (opacity < 100) EXPECT_LE(painted, 8);
    Spray_Stop();
  }
}

// The bucket on a ring fixture: a painted ring around an unpainted disc.
class Bucket : public Atoms {
 protected:
  void SetUp() override {
    Atoms::SetUp();
    ring_ = Less(Oval_Of(Rect{4, 4, 60, 60}), Oval_Of(Rect{14, 14, 50, 50}));
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        Px(l_.mw.fore, x, y) = 0xFF101010u;
        Mx(l_.mw.mask, x, y) = PtInRgn(Point{int16(y), int16(x)}, ring_) ? 255 : 0;
        if (Mx(l_.mw.mask, x, y) != 0) Px(l_.mw.fore, x, y) = 0xFF3050F0u;
      }
  }
  void TearDown() override {
    DisposeRgn(ring_);
    Atoms::TearDown();
  }
  void Click(Point at, a_layer& l) {
    a_atom_rec p;
    New_PaintParm(1, p);
    p.list->points[0] = at;
    Apply_Atom(Atom_Bucket, p, l);
    dirty_ = p.dirty;
    Dispose_PaintParm(p);
  }
  void Copy(const a_layer& from, a_layer& to) {
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        Px(to.mw.fore, x, y) = Px(from.mw.fore, x, y);
        Mx(to.mw.mask, x, y) = Mx(from.mw.mask, x, y);
      }
  }
  a_layer l_;
  HRGN ring_ = nullptr;
  Rect dirty_{};
};

// Inside the ring: exactly the disc, for every fill the bucket takes;
// everything else byte for byte as it was. An erased stroke across the disc
// (colour kept, mask 0) does not wall the fill in. The border, the eraser
// and no fill only sound the refusal.
TEST_F(Bucket, FillsExactlyTheEnclosedAreaForEveryFill) {
  for (int x = 16; x < 48; ++x) Px(l_.mw.fore, x, 32) = 0xFF00FF00u;  // erased paint
  for (a_fill_kind fill : {COLOR_FILL, GRADIENT_FILL, BORDER_FILL, ERASER_FILL, NULL_FILL}) {
    SCOPED_TRACE(int(fill));
    gs.fill_kind = fill;
    const bool takes = fill == COLOR_FILL || fill == GRADIENT_FILL;
    a_layer got, want;
    Copy(l_, got);
    Copy(l_, want);
    soundtest::SoundRecorder sounds;
    Click(Point{25, 32}, got);
    HRGN disc = Oval_Of(Rect{14, 14, 50, 50});
    if (takes) Paint_Reference(want, disc, COLOR_FILL);
    Expect_Same(got, want, "bucket", fill == GRADIENT_FILL ? disc : nullptr);
    if (fill == GRADIENT_FILL) {  // the bands' colours across the disc
      EXPECT_NE(Px(got.mw.fore, 16, 32) & 0xFFFFFF, Px(got.mw.fore, 47, 32) & 0xFFFFFF);
    }
    DisposeRgn(disc);
    if (takes) {
      EXPECT_TRUE(EqualRect(dirty_, Rect{14, 14, 50, 50}));
      EXPECT_TRUE(sounds.Ids().empty());
    } else {
      EXPECT_TRUE(EmptyRect(dirty_));
      EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_LIMIT});
    }
  }
}

// A diagonal wall of paint (cells touching only at their corners) keeps a
// 4-connected fill on its side.
TEST_F(Bucket, DiagonalGapDoesNotLeak) {
  gs.fill_kind = COLOR_FILL;
  a_layer got;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      Mx(got.mw.mask, x, y) = x == y ? 255 : 0;
      Px(got.mw.fore, x, y) = x == y ? 0xFF000000u : 0xFFFFFFFFu;
    }
  Click(Point{10, 50}, got);  // above the diagonal
  const uint8 level = Opacity_Level();
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const uint8 want = x > y ? level : (x == y ? 255 : 0);
      if (Mx(got.mw.mask, x, y) != want) {
        ADD_FAILURE() << x << "," << y;
        return;
      }
    }
}

// A scatter of paint with passages that turn back on themselves in every
// direction: the fill takes exactly the cells that a plain 4-connected
// flood from the click reaches, runs of every length and alignment among
// them, and nothing else.
TEST_F(Bucket, ScatterFillsWhatAPlainFloodReaches) {
  gs.fill_kind = COLOR_FILL;
  a_layer got;
  bool wall[64][64];
  uint32 seed = 12345;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      seed = seed * 1103515245u + 12345u;
      wall[y][x] = (seed >> 16) % 100 < 38 && !(x == 31 && y == 30);
      Mx(got.mw.mask, x, y) = wall[y][x] ? 255 : 0;
      Px(got.mw.fore, x, y) = wall[y][x] ? 0xFF000000u : 0xFFFFFFFFu;
    }
  bool reached[64][64] = {};
  std::vector<std::pair<int, int>> todo{{31, 30}};
  int n = 0;
  while (!todo.empty()) {
    const auto [x, y] = todo.back();
    todo.pop_back();
    if (x < 0 || y < 0 || x >= 64 || y >= 64 || wall[y][x] || reached[y][x]) continue;
    reached[y][x] = true;
    ++n;
    todo.insert(todo.end(), {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}});
  }
  ASSERT_GT(n, 200);  // the scatter leaves a large, winding area
  Click(Point{30, 31}, got);
  const uint8 level = Opacity_Level();
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const uint8 want = wall[y][x] ? 255 : (reached[y][x] ? level : 0);
      if (Mx(got.mw.mask, x, y) != want) {
        ADD_FAILURE() << x << "," << y;
        return;
      }
    }
}

// A click outside the paint area only sounds.
TEST_F(Bucket, ClickOutsideOnlySounds) {
  soundtest::SoundRecorder sounds;
  gs.fill_kind = COLOR_FILL;
  a_layer got, want;
  Copy(l_, got);
  Copy(l_, want);
  Click(Point{70, 10}, got);
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_LIMIT});
  Expect_Same(got, want, "outside");
  EXPECT_TRUE(EmptyRect(dirty_));
}

// What a symmetry copy was given: its point and the gradient set-up.
struct a_copy_seen {
  Point at;
  Point grad_center;
  int16 grad_angle;
};
std::vector<a_copy_seen>& Seen() {
  static std::vector<a_copy_seen> seen;
  return seen;
}
void Recording_Atom(a_atom_rec& p) {
  Seen().push_back(a_copy_seen{p.list->points[0], t.grad_center, gs.slider_vals[GRAD_ANGLE_SLIDER]});
  p.dirty = Rect{0, 0, 0, 0};
}

// Each copy at the point the symmetry map gives, cyclic then mirrored, each
// copy's gradient centre and angle built from the user's (not the copy
// before), and the gradient settings as they were afterwards.
TEST_F(Atoms, SymmetryCopiesAtTheMappedPointsWithTheUsersGradient) {
  a_layer l;
  gs.tool_desc[BRUSH_TOOL].atom_proc = Recording_Atom;
  gs.tool_desc[BRUSH_TOOL].symmetry = true;
  gs.fill_kind = GRADIENT_FILL;
  gs.toggle_vals[SYMMETRY_TOGGLE] = true;
  const Point at{20, 41}, centre{5, 9};
  for (a_symmetry_kind kind : {CYCLIC_SYMMETRY, MIRROR_SYMMETRY})
    for (int16 n : {1, 4, 6, 30})
      for (bool8 drawfirst : {true, false}) {
        SCOPED_TRACE(std::to_string(kind) + " n " + std::to_string(n) + " first " + std::to_string(drawfirst));
        gs.grid_vals[SYMMETRY_KIND_GRID] = kind;
        gs.slider_vals[SYMMETRY_COUNT_SLIDER] = n;
        gs.slider_vals[GRAD_ANGLE_SLIDER] = 25;
        gs.grid_vals[GRAD_DIR_GRID] = 1;
        t.grad_center = centre;
        a_atom_rec base;
        New_PaintParm(1, base);
        base.list->points[0] = at;
        base.paint_world = l.mw.fore;
        base.mask_world = l.mw.mask;
        Seen().clear();
        Imprint(drawfirst, BRUSH_TOOL, base);
        EXPECT_TRUE(EqualPt(base.list->points[0], at)) << "the base is left as it was";
        Dispose_PaintParm(base);
        EXPECT_TRUE(EqualPt(t.grad_center, centre));
        EXPECT_EQ(gs.slider_vals[GRAD_ANGLE_SLIDER], 25);
        EXPECT_EQ(gs.grid_vals[GRAD_DIR_GRID], 1);
        std::vector<a_copy_seen> want;
        auto expect_copy = [&](a_symmetry_kind k, int16 i) {
          Calc_Symmetry_Init(k, i, n);
          a_copy_seen c{};
          Calc_Symmetry_Map(at, c.at);
          c.grad_center = t.grad_center;
          c.grad_angle = gs.slider_vals[GRAD_ANGLE_SLIDER];
          Calc_Symmetry_Stop();
          want.push_back(c);
        };
        for (int16 i = drawfirst ? 0 : 1; i < n; ++i) expect_copy(CYCLIC_SYMMETRY, i);
        if (kind == MIRROR_SYMMETRY)
          for (int16 i = 0; i < n; ++i) expect_copy(MIRROR_SYMMETRY, i);
        ASSERT_EQ(Seen().size(), want.size());
        for (size_t i = 0; i < want.size(); ++i) {
          EXPECT_TRUE(EqualPt(Seen()[i].at, want[i].at)) << i;
          EXPECT_TRUE(EqualPt(Seen()[i].grad_center, want[i].grad_center)) << i;
          EXPECT_EQ(Seen()[i].grad_angle, want[i].grad_angle) << i;
        }
      }
  // Without symmetry (or with a marquee capture) only a first imprint draws.
  gs.toggle_vals[SYMMETRY_TOGGLE] = false;
  a_atom_rec base;
  New_PaintParm(1, base);
  base.list->points[0] = at;
  base.paint_world = l.mw.fore;
  Seen().clear();
  Imprint(false, BRUSH_TOOL, base);
  EXPECT_TRUE(Seen().empty());
  Imprint(true, BRUSH_TOOL, base);
  EXPECT_EQ(Seen().size(), 1u);
  gs.toggle_vals[SYMMETRY_TOGGLE] = true;
  base.fill = GETTING_MARQUEE;
  Imprint(true, BRUSH_TOOL, base);
  EXPECT_EQ(Seen().size(), 2u);
  // A tool that takes no part in symmetry imprints once, symmetry on.
  base.fill = COLOR_FILL;
  gs.slider_vals[SYMMETRY_COUNT_SLIDER] = 6;
  gs.tool_desc[BRUSH_TOOL].symmetry = false;
  Imprint(true, BRUSH_TOOL, base);
  ASSERT_EQ(Seen().size(), 3u);
  EXPECT_TRUE(EqualPt(Seen().back().at, at));
  Imprint(false, BRUSH_TOOL, base);
  EXPECT_EQ(Seen().size(), 3u);
  Dispose_PaintParm(base);
}

// A polygon of more points than a region once took (6000 round a square,
// each side walked in 1500 steps) fills the whole square: no point left
// out, no chord cutting the shape short.
TEST_F(Atoms, PolygonOfEveryPointPast4000) {
  gs.fill_kind = COLOR_FILL;
  constexpr int32 kSteps = 1500;
  const Point corners[5] = {{4, 4}, {4, 60}, {60, 60}, {60, 4}, {4, 4}};
  a_atom_rec p;
  New_PaintParm(4 * kSteps, p);
  ASSERT_NE(p.list, nullptr);
  for (int32 k = 0; k < 4; ++k)
    for (int32 i = 0; i < kSteps; ++i) {
      const Point a = corners[k], b = corners[k + 1];
      p.list->points[k * kSteps + i] =
          Point{int16(a.v + (b.v - a.v) * i / kSteps), int16(a.h + (b.h - a.h) * i / kSteps)};
    }
  p.list->npoints = uint16(4 * kSteps);
  a_layer got;
  Apply_Atom(Atom_SPolygon, p, got);
  Dispose_PaintParm(p);
  Expect_Polygon_Painted(got, corners, 4, "polygon of 6000 points");
  EXPECT_FALSE(t.too_complex);
}

TEST(Palette, TiesTakeTheEarlierEntryAndExactMatchesWin) {
  VoskDef_Init();
  gs.ncolor_table = 4;
  gs.color_table[0].raw = 0xFF0A0000u;  // r 10
  gs.color_table[1].raw = 0xFF000A00u;  // g 10
  gs.color_table[2].raw = 0xFF000000u;  // black
  gs.color_table[3].raw = 0xFF000000u;
  EXPECT_EQ(Find_In_Palette24(a_pixel24{0, 0, 0}), 2);
  EXPECT_EQ(Find_In_Palette24(a_pixel24{5, 5, 0}), 0);  // 0 and 1 at 50, 2 at 50: the first
  a_pixel32 c;
  c.raw = 0x00000A01u;  // g 10, b 1, no alpha
  EXPECT_EQ(Find_In_Palette32(c), 1);
  gs.ncolor_table = 0;
  EXPECT_EQ(Find_In_Palette24(a_pixel24{1, 2, 3}), 0);
}

}  // namespace
