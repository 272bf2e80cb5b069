// Rendering of picture objects: the sizes the scale search gives, flips and
// rotations, knock-out of white, the order of the colour steps, symbols,
// borders and scallops, feathered corners, opacity and shadows, and the record
// matching rule of the cache.
#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "pixel/OPUtil.h"
#include "pixel/SysBlt.h"
#include "platform/QDRect.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SysWin_Init();
    Set_GWorld(nullptr);
    SysVideo_Init();
    InitGray();
    SysBlt_Init();
    OPUtil_Init();
  }
  void TearDown() override {
    for (a_masked_gworld* mw : {&in, &body, &shad}) Dispose_MW(*mw);
    Cache_Stop();
    SysBlt_Stop();
    Port_Stack_Clear();
    Set_GWorld(nullptr);
    SysVideo_Stop();
  }

  // in := a w x h picture at (0, 0) in colour c, no mask.
  void Picture(int16 w, int16 h, a_pixel32 c) {
    Dispose_MW(in);
    in.bounds = Rect{0, 0, h, w};
    New_GWorldF("test", in.bounds, 32, nullptr, in.fore);
    PixMap32_Fill(*Get_GWorld_PixMap(in.fore), c);
  }
  void Add_Mask(uint8 v) {
    New_GWorldF("test", in.bounds, 8, gray_ctable, in.mask);
    PixMap8_Fill(*Get_GWorld_PixMap(in.mask), v);
  }
  static a_pixel32 Px(GWorldPtr w, int32 x, int32 y) {
    PixMapPtr pm = Get_GWorld_PixMap(w);
    a_pixel32 p;
    std::memcpy(&p, pm->baseAddr + size_t(y - pm->bounds.top) * PixMap_RowBytes(*pm) + size_t(x - pm->bounds.left) * 4, 4);
    return p;
  }
  static void Put(GWorldPtr w, int32 x, int32 y, a_pixel32 c) {
    PixMapPtr pm = Get_GWorld_PixMap(w);
    std::memcpy(pm->baseAddr + size_t(y - pm->bounds.top) * PixMap_RowBytes(*pm) + size_t(x - pm->bounds.left) * 4, &c, 4);
  }
  static uint8& M(GWorldPtr w, int32 x, int32 y) {
    PixMapPtr pm = Get_GWorld_PixMap(w);
    return reinterpret_cast<uint8*>(pm->baseAddr)[size_t(y - pm->bounds.top) * PixMap_RowBytes(*pm) + size_t(x - pm->bounds.left)];
  }
  static int16 W(const Rect& r) { return int16(r.right - r.left); }
  static int16 H(const Rect& r) { return int16(r.bottom - r.top); }

  void Render(const a_spec& spec, a_cache_purpose purpose = FOR_SCREEN) {
    Dispose_MW(body);
    Dispose_MW(shad);
    Apply_Effects(purpose, spec, in, body, shad);
  }

  a_masked_gworld in{}, body{}, shad{};
};

constexpr a_pixel32 kRed = {{0, 0, 255, 255}};
constexpr a_pixel32 kGrey = {{100, 150, 200, 255}};

}  // namespace

TEST_F(RenderTest, NullSpecDefaults) {
  a_spec s;
  std::memset(&s, 0x5A, sizeof(s));
  Null_Spec(s);
  EXPECT_EQ(s.source.kind, SOURCE_NULL);
  EXPECT_EQ(s.scalingh, 1000);
  EXPECT_EQ(s.scalingv, 1000);
  EXPECT_EQ(s.darkness, 50);
  EXPECT_EQ(s.opacity, 100);
  EXPECT_EQ(s.edge_border, 8);
  EXPECT_EQ(s.edge_outline, 1);
  EXPECT_EQ(s.edge_scallop, 60);
  EXPECT_EQ(s.shad_opacity, 75);
  EXPECT_EQ(s.shad_radius, 2);
  EXPECT_TRUE(s.constrainf);
  EXPECT_FALSE(s.shadf);
  EXPECT_TRUE(EmptyRect(s.subset));
  EXPECT_EQ(s.hintx, 0);
  EXPECT_EQ(s.edge_bord_color.raw, (a_pixel32{{255, 255, 255, 255}}).raw);
  EXPECT_EQ(s.edge_outl_color.raw, (a_pixel32{{0, 0, 0, 255}}).raw);
}

// The colour bars of the interface choose the edge colours of new rendering
// records; records made before keep theirs.
TEST_F(RenderTest, ColourBarsSetTheEdgeColoursOfNewRecords) {
  a_spec before;
  Null_Spec(before);
  Set_Spec_Edge_Bord_Color(a_pixel32{{10, 20, 30, 255}});
  Set_Spec_Edge_Outl_Color(a_pixel32{{200, 100, 50, 255}});
  a_spec after;
  Null_Spec(after);
  EXPECT_EQ(after.edge_bord_color.raw, (a_pixel32{{10, 20, 30, 255}}).raw);
  EXPECT_EQ(after.edge_outl_color.raw, (a_pixel32{{200, 100, 50, 255}}).raw);
  EXPECT_EQ(before.edge_bord_color.raw, (a_pixel32{{255, 255, 255, 255}}).raw);
  OPUtil_Init();  // module start-up: white and black again
  Null_Spec(after);
  EXPECT_EQ(after.edge_bord_color.raw, (a_pixel32{{255, 255, 255, 255}}).raw);
  EXPECT_EQ(after.edge_outl_color.raw, (a_pixel32{{0, 0, 0, 255}}).raw);
}

// The scale search: at least 2 pixels a side (scaling grows by 100 up to
// 3000); a large picture is drawn as large as it is placed, shrinking
// (proportions kept) only where a world's 16-bit coordinates end; a sizing
// render makes no worlds.
TEST_F(RenderTest, SizesFromTheScaleSearch) {
  struct Case {
    int16 w, h, sh, sv, angle;
    bool flip;
    int16 want_w, want_h;
  };
  const Case cases[] = {
      {100, 50, 1000, 1000, 0, false, 100, 50},
      {100, 50, 500, 2000, 0, true, 50, 100},
      {10, 10, 100, 1000, 0, false, 2, 10},      // 1 px wide at 100: grows to 200
      {1, 1, 1000, 1000, 0, false, 2, 2},        // 1 px: scaling 2000
      {5000, 100, 1000, 1000, 0, false, 5000, 100},  // drawn as placed, however wide
      {20000, 10, 2000, 2000, 0, false, 32720, 16},  // 40000 wide: shrinks to 1636 both ways
      {100, 60, 1000, 1000, 900, false, 60, 100},   // quarter turn in the basic step
      {100, 60, 1000, 1000, -900, false, 60, 100},
      {100, 60, 1000, 1000, 1800, false, 100, 60},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " " << c.sh << "/" << c.sv << " " << c.angle);
    Picture(c.w, c.h, kGrey);
    a_spec s;
    Null_Spec(s);
    s.scalingh = c.sh;
    s.scalingv = c.sv;
    s.angle = c.angle;
    s.flipx = c.flip;
    Render(s, FOR_SIZING);
    EXPECT_EQ(body.fore, nullptr);
    EXPECT_EQ(body.mask, nullptr);
    EXPECT_EQ(body.bounds, (Rect{0, 0, c.want_h, c.want_w}));
    Render(s, FOR_SCREEN);
    ASSERT_NE(body.fore, nullptr);
    Rect fb;
    Get_GWorld_Bounds(body.fore, fb);
    EXPECT_EQ(fb, body.bounds);
  }
}

// Flips mirror the picture; a quarter turn counter-clockwise takes the
// top-right corner to the top-left.
TEST_F(RenderTest, FlipsAndQuarterTurns) {
  Picture(4, 2, kGrey);
  Put(in.fore, 3, 0, kRed);  // top-right corner
  a_spec s;
  Null_Spec(s);
  s.flipx = true;
  Render(s);
  EXPECT_EQ(Px(body.fore, 0, 0).raw, kRed.raw);
  EXPECT_EQ(Px(body.fore, 3, 0).raw, kGrey.raw);
  s.flipx = false;
  s.flipy = true;
  Render(s);
  EXPECT_EQ(Px(body.fore, 3, 1).raw, kRed.raw);
  s.flipy = false;
  s.angle = 900;
  Render(s, FOR_COLLAGE);  // no mask prepared for collages
  ASSERT_EQ(body.bounds, (Rect{0, 0, 4, 2}));
  EXPECT_EQ(Px(body.fore, 0, 0).raw, kRed.raw);
  EXPECT_EQ(body.mask, nullptr);
}

// Knock-out of near-white: distance² within 25 goes; the rim next to what
// went is set to 80.
TEST_F(RenderTest, WhiteKnockout) {
  Picture(6, 2, kGrey);
  for (int y = 0; y < 2; ++y) {
    Put(in.fore, 2, y, a_pixel32{{253, 252, 250, 255}});  // (250, 252, 253): 38 > 25, stays
    Put(in.fore, 4, y, a_pixel32{{255, 254, 253, 255}});  // (253, 254, 255): 5, knocked out
  }
  a_spec s;
  Null_Spec(s);
  s.wtransp = true;
  Render(s, FOR_COLLAGE);
  ASSERT_NE(body.mask, nullptr);
  const uint8 want[6] = {255, 255, 255, 80, 0, 80};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(M(body.mask, x, y), want[x]) << x << "," << y;

  // A picture one row high is enlarged by the scale search to two rows;
  // both rows of the result are drawn, so both knock out alike.
  Picture(6, 1, kGrey);
  Put(in.fore, 2, 0, a_pixel32{{253, 252, 250, 255}});
  Put(in.fore, 4, 0, a_pixel32{{255, 254, 253, 255}});
  Render(s, FOR_COLLAGE);
  ASSERT_NE(body.mask, nullptr);
  ASSERT_EQ(body.bounds, (Rect{0, 0, 2, 6}));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(M(body.mask, x, y), want[x]) << "1-row picture " << x << "," << y;
}

// The colour steps run darkness, then hue, then inversion: darkness 0 makes
// black, which inverts to white (the other order would end black).
TEST_F(RenderTest, InversionComesAfterDarkness) {
  Picture(3, 3, kGrey);
  a_spec s;
  Null_Spec(s);
  s.darkness = 0;
  s.invert = true;
  Render(s, FOR_COLLAGE);
  const a_pixel32 p = Px(body.fore, 1, 1);
  EXPECT_EQ(p.r, 255);
  EXPECT_EQ(p.g, 255);
  EXPECT_EQ(p.b, 255);
  s.darkness = 50;
  Render(s, FOR_COLLAGE);
  const a_pixel32 q = Px(body.fore, 1, 1);
  EXPECT_EQ(q.r, 255 - kGrey.r);
  EXPECT_EQ(q.g, 255 - kGrey.g);
  EXPECT_EQ(q.b, 255 - kGrey.b);
}

// A symbol in red renders as a red rectangle whose mask is the symbol's grey
// picture.
TEST_F(RenderTest, SymbolTakesItsColourAndGreyMask) {
  in.bounds = Rect{0, 0, 2, 3};
  New_GWorldF("test", in.bounds, 8, gray_ctable, in.fore);
  const uint8 cover[6] = {0, 10, 255, 128, 64, 1};
  for (int i = 0; i < 6; ++i) M(in.fore, i % 3, i / 3) = cover[i];
  a_spec s;
  Null_Spec(s);
  s.is_symbol = true;
  s.symbol_color = kRed;
  Render(s, FOR_PRINTING);
  ASSERT_NE(body.mask, nullptr);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(Px(body.fore, i % 3, i / 3).raw, kRed.raw);
    EXPECT_EQ(M(body.mask, i % 3, i / 3), cover[i]);
  }
  // The caller's picture is neither changed nor freed.
  EXPECT_EQ(M(in.fore, 2, 0), 255);
}

// A solid border of 8 and an outline of 1 make the picture 18 pixels wider
// and taller, with the bands in their colours and no mask needed.
TEST_F(RenderTest, SolidBorderAndOutline) {
  Picture(10, 6, kGrey);
  a_spec s;
  Null_Spec(s);
  s.edge_kind = PHOTOEDGE_SOLID;
  s.edge_bord_color = kRed;
  s.edge_outl_color = a_pixel32{{0, 255, 0, 255}};
  Render(s);
  EXPECT_EQ(body.bounds, (Rect{-9, -9, 15, 19}));
  EXPECT_EQ(body.mask, nullptr);
  EXPECT_EQ(Px(body.fore, -9, -9).raw, kRed.raw);
  EXPECT_EQ(Px(body.fore, -2, 3).raw, kRed.raw);
  EXPECT_EQ(Px(body.fore, -1, 3).raw, s.edge_outl_color.raw);
  EXPECT_EQ(Px(body.fore, 0, 3).raw, kGrey.raw);
  EXPECT_EQ(Px(body.fore, 10, 3).raw, s.edge_outl_color.raw);
  // A rough edge has no mask of its own: it is drawn as the solid band.
  s.edge_kind = PHOTOEDGE_ROUGH;
  Render(s);
  EXPECT_EQ(body.bounds, (Rect{-9, -9, 15, 19}));
  s.edge_kind = 7;
  EXPECT_THROW(Render(s), QuitCalled);
}

// The scallop cell: depth 8 x 60 div 100 = 4, 17 columns, one cosine period:
// a notch at the ends, a full bump in the middle with its anti-aliased rim.
TEST_F(RenderTest, ScallopCellAndMask) {
  PixMapPtr cell = Calc_Scallop_Cell(8, 60);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->bounds, (Rect{0, 0, 4, 17}));
  auto at = [&](int x, int y) { return uint8(cell->baseAddr[size_t(y) * PixMap_RowBytes(*cell) + size_t(x)]); };
  for (int y = 0; y < 4; ++y) EXPECT_EQ(at(0, y), 0);
  // Column 8: y = 2 cos(2 pi 8 / 17) + 2 = 0.0341: row 0 gets 255 - 9.
  EXPECT_EQ(at(8, 0), 246);
  for (int y = 1; y < 4; ++y) EXPECT_EQ(at(8, y), 255);
  EXPECT_EQ(Calc_Scallop_Cell(8, 60), cell);  // cached
  EXPECT_EQ(Calc_Scallop_Cell(1, 60), nullptr);  // depth 0: no cell

  Picture(30, 30, kGrey);
  a_spec s;
  Null_Spec(s);
  s.edge_kind = PHOTOEDGE_SCALLOP;
  Render(s);
  ASSERT_NE(body.mask, nullptr);
  EXPECT_EQ(M(body.mask, -9, -9), 0);      // corner: notch of the top row's first cell
  EXPECT_EQ(M(body.mask, -9 + 8, -6), 255);  // inside the bump of the first cell
  EXPECT_EQ(M(body.mask, 15, 15), 255);    // the picture
  EXPECT_EQ(M(body.mask, -5, 15), 255);    // band beyond the scallop depth
}

// Opacity 50 halves every mask value: a maskless picture gets 127.
TEST_F(RenderTest, OpacityScalesTheMask) {
  Picture(4, 4, kGrey);
  a_spec s;
  Null_Spec(s);
  s.opacity = 50;
  Render(s, FOR_COLLAGE);
  ASSERT_NE(body.mask, nullptr);
  EXPECT_EQ(M(body.mask, 0, 0), 127);
  EXPECT_EQ(M(body.mask, 3, 3), 127);
}

// Feathering: values ramp up from the edge over the feather width, taking
// the corner quarter's bottom row (here 51 x d) so sides and corners meet;
// the corners are rounded off, the middle stays whole.
TEST_F(RenderTest, FeatheredCorners) {
  Picture(100, 100, kGrey);
  a_spec s;
  Null_Spec(s);
  s.feather = 10;  // 50 x 10 div 100 = 5 pixels
  Render(s, FOR_COLLAGE);
  ASSERT_NE(body.mask, nullptr);
  EXPECT_EQ(M(body.mask, 0, 0), 0);
  EXPECT_EQ(M(body.mask, 50, 50), 255);
  for (int y = 0; y < 5; ++y) {
    EXPECT_EQ(M(body.mask, 50, y), 51 * (y + 1)) << y;
    EXPECT_EQ(M(body.mask, 50, y), M(body.mask, y, 50));       // left side like the top
    EXPECT_EQ(M(body.mask, 50, y), M(body.mask, 50, 99 - y));  // bottom like the top
    EXPECT_EQ(M(body.mask, 50, y), M(body.mask, 99 - y, 50));  // right like the left
  }
  EXPECT_EQ(M(body.mask, 50, 5), 255);
}

// Shadows: a maskless picture carries its shadow inside its own body; a
// masked one gets a separate shadow world at the offset, scaled by the
// shadow opacity.
TEST_F(RenderTest, InlineAndSeparateShadows) {
  Picture(10, 10, kGrey);
  a_spec s;
  Null_Spec(s);
  s.shadf = true;
  s.shad_radius = 0;
  Render(s, FOR_COLLAGE);
  EXPECT_EQ(shad.fore, nullptr);
  EXPECT_EQ(body.bounds, (Rect{0, 0, 14, 14}));
  ASSERT_NE(body.mask, nullptr);
  EXPECT_EQ(M(body.mask, 5, 5), 255);
  EXPECT_EQ(M(body.mask, 12, 12), 191);  // 255 x 75 div 100
  EXPECT_EQ(M(body.mask, 12, 2), 0);     // beside the picture, above the shadow
  EXPECT_EQ(Px(body.fore, 12, 12).r, 0);
  EXPECT_EQ(Px(body.fore, 5, 5).raw, kGrey.raw);

  Add_Mask(200);
  Render(s, FOR_SCREEN);
  ASSERT_NE(shad.fore, nullptr);
  EXPECT_EQ(shad.bounds, (Rect{4, 4, 14, 14}));
  EXPECT_EQ(M(shad.mask, 8, 8), 150);  // 200 x 75 div 100
  EXPECT_EQ(body.bounds, (Rect{0, 0, 10, 10}));
}

// An angle off the quarter turns with an edge rotates last, after the border
// was drawn square to the picture; a shadow turns with its picture and keeps
// its place beside it.
TEST_F(RenderTest, OddAnglesRotateLast) {
  Picture(20, 20, kGrey);
  a_spec s;
  Null_Spec(s);
  s.angle = 450;
  s.edge_kind = PHOTOEDGE_SOLID;
  Render(s);
  // 38 x 38 turned by 45 degrees: about 38 x 1.414 = 53.7 a side.
  EXPECT_NEAR(W(body.bounds), 54, 1);
  EXPECT_NEAR(H(body.bounds), 54, 1);
  EXPECT_EQ(body.bounds.left, 0);
  ASSERT_NE(body.mask, nullptr);  // the soft frame made for rotation
  EXPECT_EQ(M(body.mask, 0, 0), 0);  // corners of the turned box are outside
  EXPECT_EQ(M(body.mask, 27, 27), 255);

  // Without edge or shadow the basic step does the turn.
  s.edge_kind = PHOTOEDGE_NONE;
  Render(s);
  EXPECT_NEAR(W(body.bounds), 28, 1);

  // A masked picture with a shadow at (4, 4) turned by 450 (counter-clockwise
  // on the screen): the shadow's centre lands 4 x 1.414 = 5.7 pixels straight
  // to the right of the picture's.
  Add_Mask(255);
  s.shadf = true;
  s.shad_radius = 0;
  Render(s);
  ASSERT_NE(shad.fore, nullptr);
  const double bx = (body.bounds.left + body.bounds.right) / 2.0, by = (body.bounds.top + body.bounds.bottom) / 2.0;
  const double sx = (shad.bounds.left + shad.bounds.right) / 2.0, sy = (shad.bounds.top + shad.bounds.bottom) / 2.0;
  EXPECT_NEAR(sx - bx, 5.66, 1.0);
  EXPECT_NEAR(sy - by, 0.0, 1.0);
}

TEST_F(RenderTest, SpecMatchingRule) {
  a_spec a, b;
  Null_Spec(a);
  a.source.kind = SOURCE_DATABASE;
  a.source.sid = 3;
  a.source.key = a_keyset{12, 5, 0, 0};
  b = a;
  EXPECT_TRUE(Equal_Spec(true, a, b));
  // Never compared: constrainf, hintx, alpha bytes; edge colours only with an edge.
  b.constrainf = false;
  b.hintx = 77;
  b.edge_bord_color = kRed;
  b.symbol_color.a = 9;
  EXPECT_TRUE(Equal_Spec(true, a, b));
  b.edge_kind = a.edge_kind = PHOTOEDGE_SOLID;
  EXPECT_FALSE(Equal_Spec(true, a, b));
  b = a;
  b.subset = Rect{0, 0, 5, 5};
  EXPECT_FALSE(Equal_Spec(true, a, b));
  EXPECT_TRUE(Equal_Spec(false, a, b));
  b = a;
  b.shad_dx = 9;  // shadow values count only with the shadow on
  EXPECT_TRUE(Equal_Spec(true, a, b));
  b.shadf = a.shadf = true;
  EXPECT_FALSE(Equal_Spec(true, a, b));
  b = a;
  b.source.key.b = 6;
  EXPECT_FALSE(Equal_Spec(true, a, b));
  // Clean_Spec drops what the kind does not use.
  b = a;
  std::strcpy(b.source.path.name, "junk");
  Clean_Spec(b);
  EXPECT_EQ(b.source.path.name[0], 0);
  EXPECT_EQ(std::memcmp(&a.source, &b.source, sizeof(a.source)), 0);
  EXPECT_TRUE(Is_Angle_Even(-900));
  EXPECT_TRUE(Is_Angle_Even(1800));
  EXPECT_FALSE(Is_Angle_Even(450));
}
