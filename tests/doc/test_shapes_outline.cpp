// Outlines of unit shapes against their pixels: edges inside the box, the
// pen's thickness, rounded corners, circles, holes, folds of booklets,
// multi-panel cards, slimline and tray cards (not on test sheets), business
// card discs (a tall one is its circle), cassette faces with and without a
// window, the super jewel inlay's notches, dashes in the background colour,
// the crosshair of discs alone, and the document view's cut lines.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "platform/Resources.h"
#include "doc/VoskPrin.h"
#include "doc/VoskShap.h"
#include "pixel/Draw.h"
#include "pixel/SysPix.h"
#include "platform/Quickdraw.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"

namespace {

constexpr uint32 kWhite = 0xFFFFFF;
constexpr uint32 kBlack = 0x000000;
constexpr uint32 kRed = 0xFF0000;

a_iunit IUnit(a_shape shape, Rect bbox, int16 m1 = 0, int16 m2 = 0, int16 m3 = 0, int16 m4 = 0,
              Rect bleed = Rect{0, 0, 0, 0}) {
  a_iunit u{};
  u.shape = shape;
  u.bbox = bbox;
  u.ibleed = bleed;
  u.imeas[0] = m1;
  u.imeas[1] = m2;
  u.imeas[2] = m3;
  u.imeas[3] = m4;
  return u;
}

class Outlines : public ::testing::Test {
 protected:
  GWorldPtr world_ = nullptr;
  void SetUp() override {
    VoskDef_Init();
    VoskDoc_Init();
    VoskPrin_Init();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    Draw_Init();
    ASSERT_EQ(New_GWorld(Rect{0, 0, 400, 400}, 32, nullptr, world_), noErr);
    Push_GWorld(world_);
    Clear();
  }
  void TearDown() override {
    while (ncstack > 0) Pop_Mapping();
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    Dispose_GWorld(world_);
    Stop_Quickdraw();
  }
  void Clear() {
    a_win_pixel32 c;
    c.raw = 0xFFFFFFFFu;
    PixMap32_Fill(world_->pix, c);
    PenNormal();
    RGBForeColor(RGBColor{0, 0, 0});
    RGBBackColor(RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
  }

 public:
  uint32 Px(int32 x, int32 y) const {
    const PixMap& pm = world_->pix;
    const uint8* row = reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(y) * PixMap_RowBytes(pm);
    uint32 v;
    std::memcpy(&v, row + 4 * x, 4);
    return v & 0xFFFFFF;
  }
  bool Ink(int32 x, int32 y) const { return Px(x, y) != kWhite; }

 protected:
  int Count(const Rect& r, uint32 rgb) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += Px(x, y) == rgb;
    return n;
  }
  void Solid(const a_iunit& u, int16 pen = 1, bool is_test = false) {
    Clear();
    Outline_Shape2(is_test, true, true, SOLID_LINE, pen, 0, SUPRESS_BLEED, u);
  }
};

struct P {
  int16 x, y;
  bool ink;
};

void Expect_Pixels(const Outlines& t, const char* what, std::initializer_list<P> pts) {
  for (const P& p : pts) EXPECT_EQ(t.Ink(p.x, p.y), p.ink) << what << " at " << p.x << "," << p.y;
}

TEST_F(Outlines, EdgesLieInsideTheBox) {
  const a_iunit rect = IUnit(SHAPE_RECT, Rect{10, 10, 40, 50});
  Solid(rect);
  Expect_Pixels(*this, "rect", {{10, 10, true}, {49, 10, true}, {10, 39, true}, {49, 39, true}, {30, 10, true},
                                {50, 10, false}, {9, 20, false}, {30, 40, false}, {30, 25, false}, {11, 11, false}});
  Solid(rect, 3);  // a thick pen grows inward
  Expect_Pixels(*this, "thick", {{30, 10, true}, {30, 12, true}, {30, 13, false}, {47, 25, true}, {46, 25, false},
                                 {49, 25, true}, {30, 9, false}, {50, 25, false}});
  // Every folded shape has the rectangle's edges.
  for (a_shape s : {SHAPE_BOOKLET, SHAPE_MULTIPART, SHAPE_SLIMLINE, SHAPE_JEWELBASE}) {
    Solid(IUnit(s, Rect{10, 10, 40, 50}));
    EXPECT_TRUE(Ink(10, 25) && Ink(49, 25) && Ink(30, 10) && Ink(30, 39)) << int(s);
  }
  Solid(IUnit(SHAPE_NOTHING, Rect{10, 10, 40, 50}));
  EXPECT_EQ(Count(Rect{0, 0, 60, 60}, kWhite), 3600);
}

TEST_F(Outlines, RoundedCornersAndCircles) {
  Solid(IUnit(SHAPE_ROUNDRECT, Rect{10, 10, 60, 70}, 1));  // radius of 1 pixel: a plain rectangle
  Expect_Pixels(*this, "radius 1", {{10, 10, true}, {69, 59, true}});
  Solid(IUnit(SHAPE_ROUNDRECT, Rect{10, 10, 60, 70}, 10));
  Expect_Pixels(*this, "radius 10", {{10, 10, false}, {12, 12, false}, {20, 10, true}, {10, 20, true},
                                     {13, 13, true}, {69, 59, false}, {59, 59, true}, {66, 56, true}});
  Solid(IUnit(SHAPE_CIRCLE, Rect{0, 0, 41, 41}));
  Expect_Pixels(*this, "circle", {{0, 20, true}, {20, 0, true}, {40, 20, true}, {20, 40, true}, {20, 20, false},
                                  {1, 1, false}, {6, 6, true}});
  Solid(IUnit(SHAPE_RING, Rect{100, 100, 301, 301}, 81, 0));
  Expect_Pixels(*this, "ring", {{100, 200, true}, {160, 200, true}, {200, 160, true}, {200, 200, false},
                                {130, 200, false}});
  Solid(IUnit(SHAPE_RING, Rect{100, 100, 301, 301}, 81, 151));  // and a further circle
  Expect_Pixels(*this, "ring with inner circle", {{125, 200, true}, {200, 125, true}, {130, 200, false}});
  Solid(IUnit(SHAPE_OVAL, Rect{10, 10, 50, 110}));
  Expect_Pixels(*this, "oval", {{10, 30, true}, {109, 30, true}, {60, 10, true}, {60, 49, true}, {60, 30, false}});
}

TEST_F(Outlines, FoldLines) {
  const Rect box{10, 10, 60, 110};  // 100 x 50
  Solid(IUnit(SHAPE_BOOKLET, box));
  Expect_Pixels(*this, "booklet", {{60, 10, true}, {60, 30, true}, {60, 59, true}, {59, 30, false}, {61, 30, false}});
  Solid(IUnit(SHAPE_BOOKLET, box, 14));  // around a spine
  Expect_Pixels(*this, "spine", {{53, 30, true}, {67, 30, true}, {60, 30, false}});
  Solid(IUnit(SHAPE_MULTIPART, box, 10, 0, 30));  // a panel list ends at its first 0
  Expect_Pixels(*this, "one panel", {{20, 30, true}, {50, 30, false}, {21, 30, false}});
  Solid(IUnit(SHAPE_MULTIPART, box, 10, 25, 30));
  Expect_Pixels(*this, "three panels", {{20, 30, true}, {45, 30, true}, {75, 30, true}});
  Solid(IUnit(SHAPE_MULTIPART, box, 60, 60));  // the second fold would lie past the right edge
  EXPECT_TRUE(Ink(70, 30));
  EXPECT_FALSE(Ink(130, 30));
  Solid(IUnit(SHAPE_SLIMLINE, box, 8));
  EXPECT_TRUE(Ink(18, 30));
  Solid(IUnit(SHAPE_SLIMLINE, box, 8), 1, true);  // not on test sheets
  EXPECT_FALSE(Ink(18, 30));
  Solid(IUnit(SHAPE_JEWELBASE, box, 7));
  Expect_Pixels(*this, "tray card", {{17, 30, true}, {103, 30, true}, {60, 30, false}});
  Solid(IUnit(SHAPE_JEWELBASE, box, 7), 1, true);
  Expect_Pixels(*this, "tray card test", {{17, 30, false}, {103, 30, false}});
  // Folds only (the inside): no edges.
  Clear();
  Outline_Shape2(false, false, true, SOLID_LINE, 1, 0, SUPRESS_BLEED, IUnit(SHAPE_BOOKLET, box));
  Expect_Pixels(*this, "inside only", {{60, 30, true}, {10, 30, false}, {30, 10, false}});
}

TEST_F(Outlines, BusinessCardDiscs) {
  // 160 x 118 with a 44 hole: flat top and bottom, round ends.
  const a_iunit hockey = IUnit(SHAPE_BIZHOCKEY, Rect{100, 100, 218, 260}, 44);
  Solid(hockey);
  Expect_Pixels(*this, "hockey", {{180, 100, true}, {180, 217, true}, {100, 159, true}, {259, 159, true},
                                  {100, 100, false}, {259, 217, false}, {158, 159, true}, {180, 159, false}});
  // Taller than wide: the circle, nothing of the flat edges. The arcs and
  // edges of a cut disc would have left dots at the box's top and bottom.
  const a_iunit tall = IUnit(SHAPE_BIZHOCKEY, Rect{100, 100, 220, 200}, 20);
  Solid(tall);
  Expect_Pixels(*this, "tall hockey", {{150, 110, true}, {150, 209, true}, {100, 160, true}, {199, 160, true},
                                       {150, 100, false}, {150, 219, false}, {140, 160, true}});
  EXPECT_EQ(Count(Rect{100, 100, 108, 200}, kBlack), 0);  // above the circle
  EXPECT_EQ(Count(Rect{212, 100, 220, 200}, kBlack), 0);  // below it
  Solid(IUnit(SHAPE_BIZRECT, Rect{100, 100, 212, 272}, 44, 12));
  Expect_Pixels(*this, "biz rect", {{100, 100, false}, {115, 100, true}, {100, 115, true}, {186, 134, true},
                                    {186, 156, false}});
}

TEST_F(Outlines, CassetteFaceAndItsWindow) {
  // 200 x 128: corners cut by 14; window 100 x 30, 40 below the top.
  const a_iunit face = IUnit(SHAPE_AUDIOFACE, Rect{100, 100, 228, 300}, 0, 40, 100, 30);
  Solid(face);
  Expect_Pixels(*this, "face", {{100, 100, false}, {100, 114, true}, {114, 100, true}, {107, 107, true},
                                {100, 227, true}, {299, 227, true}, {299, 114, true}, {299, 100, false}});
  Expect_Pixels(*this, "window", {{150, 155, true}, {249, 155, true}, {200, 140, true}, {200, 169, true},
                                  {200, 155, false}, {151, 141, false}});
  // Bleeds wider than the window: no window is drawn (and no box of negative size).
  const a_iunit covered = IUnit(SHAPE_AUDIOFACE, Rect{100, 100, 238, 310}, 0, 40, 8, 30, Rect{5, 5, 5, 5});
  Solid(covered);
  EXPECT_EQ(Count(Rect{120, 110, 230, 300}, kBlack), 0);
  // With INSIDE_BLEED the face is outlined without its bleeds, the window as measured.
  const a_iunit bled = IUnit(SHAPE_AUDIOFACE, Rect{95, 95, 233, 305}, 0, 40, 100, 30, Rect{5, 5, 5, 5});
  Clear();
  Outline_Shape2(false, true, true, SOLID_LINE, 1, 0, INSIDE_BLEED, bled);
  Expect_Pixels(*this, "inside bleed", {{200, 100, true}, {200, 95, false}, {150, 155, true}, {200, 140, true}});
  Clear();
  Outline_Shape2(false, true, true, SOLID_LINE, 1, 0, FULL_BLEED, bled);
  Expect_Pixels(*this, "full bleed", {{200, 95, true}, {200, 100, false}, {200, 145, true}, {200, 164, true},
                                      {155, 155, true}, {200, 155, false}});
}

TEST_F(Outlines, SuperJewelNotches) {
  Solid(IUnit(SHAPE_SUPERJEWELN, Rect{0, 0, 398, 301}));  // twice the nominal millimetres
  Expect_Pixels(*this, "inlay", {{0, 0, false}, {27, 0, true}, {100, 0, true}, {254, 0, true}, {255, 10, false},
                                 {254, 10, true}, {254, 23, true}, {280, 23, true}, {300, 23, true},
                                 {300, 10, false}, {0, 23, true}, {0, 10, false}, {13, 23, true}, {13, 13, true},
                                 {20, 13, true}, {27, 5, true}, {300, 372, true}, {300, 385, false},
                                 {0, 374, true}, {0, 390, false}, {27, 397, true}, {13, 384, true}});
}

TEST_F(Outlines, DashesAlternateWithTheBackgroundColour) {
  RGBBackColor(RGBColor{0xFFFF, 0, 0});
  Outline_Shape_Line(DASHED_LINE, 1, 5, 10, 10, 49, 10);
  std::vector<uint32> row;
  for (int x = 10; x < 50; ++x) row.push_back(Px(x, 10));
  for (int x = 0; x < 40; ++x) EXPECT_EQ(row[size_t(x)], (x / 5) % 2 == 0 ? kBlack : kRed) << x;
  EXPECT_EQ(Px(50, 10), kWhite);
  // Slanted lines: dashes of three fifths; thick pens dash too.
  Outline_Shape_Line(DASHED_LINE, 1, 5, 10, 20, 39, 49);
  for (int i = 0; i < 30; ++i) EXPECT_EQ(Px(10 + i, 20 + i), (i / 3) % 2 == 0 ? kBlack : kRed) << i;
  Outline_Shape_Line(DASHED_LINE, 3, 4, 100, 10, 100, 40);
  for (int y = 10; y < 43; ++y) EXPECT_EQ(Px(101, y), ((y - 10) / 4) % 2 == 0 ? kBlack : kRed) << y;
  // A circle's dashes are four fifths long: both colours on it, nothing inside.
  Outline_Shape_Circle(DASHED_LINE, 1, 10, Rect{200, 200, 300, 300});
  const int black = Count(Rect{200, 200, 300, 300}, kBlack), red = Count(Rect{200, 200, 300, 300}, kRed);
  EXPECT_GT(black, 100);
  EXPECT_GT(red, 100);
  EXPECT_EQ(Count(Rect{220, 220, 280, 280}, kWhite), 3600);
  // A dashed oval uses the marquee pattern: both colours on its edge.
  Clear();
  RGBBackColor(RGBColor{0xFFFF, 0, 0});
  Outline_Shape_Oval(DASHED_LINE, 2, 5, Rect{10, 10, 60, 110});
  EXPECT_GT(Count(Rect{10, 10, 60, 110}, kBlack), 20);
  EXPECT_GT(Count(Rect{10, 10, 60, 110}, kRed), 20);
  EXPECT_EQ(Count(Rect{25, 30, 40, 90}, kWhite), 15 * 60);
}

// Units of the open document's layout, outlined through a mapping of 2 pixels a millimetre.
class DocOutlines : public Outlines {
 protected:
  void SetUp() override {
    Outlines::SetUp();
    a_coord_mapping m{};
    m.multx = m.multy = 2.0f;
    Push_Mapping(m);
    a_template& t = g_doc.doc_template;
    t.papersize = a_fpoint{210, 297};
    t.nunits = 2;
    t.units[0] = Unit(UNIT_CD, a_frect{10, 10, 110, 110}, 40, a_frect{2, 2, 2, 2});
    t.units[1] = Unit(UNIT_RECT, a_frect{120, 10, 180, 60}, 0, a_frect{2, 2, 2, 2});
  }
  static a_unit Unit(uint8 kind, a_frect box, float m1, a_frect bleed) {
    a_unit u{};
    u.kind = kind;
    u.bbox = box;
    u.bleed = bleed;
    u.meas[0] = m1;
    return u;
  }
};

TEST_F(DocOutlines, CrosshairOnDiscsOnly) {
  Rect used;
  Outline_Shape(1, false, SOLID_LINE, 1, 0, true, INSIDE_BLEED, used);
  EXPECT_EQ(used, (Rect{20, 20, 220, 220}));
  // An 8-pixel crosshair of a 2 x 2 pen at the centre (120, 120).
  Expect_Pixels(*this, "disc crosshair", {{116, 119, true}, {123, 120, true}, {119, 116, true}, {120, 123, true},
                                          {124, 120, false}, {115, 119, false}, {110, 110, false}});
  Outline_Shape(2, false, SOLID_LINE, 1, 0, true, INSIDE_BLEED, used);
  EXPECT_EQ(used, (Rect{20, 240, 120, 360}));
  EXPECT_EQ(Count(Rect{60, 290, 80, 310}, kBlack), 0);  // no crosshair on a label
  Clear();
  Outline_Shape(1, false, SOLID_LINE, 1, 0, false, INSIDE_BLEED, used);
  EXPECT_FALSE(Ink(120, 120));
}

TEST_F(DocOutlines, BleedsWidenTheOutlineAndTheHoleNarrows) {
  Rect used;
  Outline_Shape(1, true, SOLID_LINE, 1, 0, false, FULL_BLEED, used);
  EXPECT_EQ(used, (Rect{16, 16, 224, 224}));
  // Hole 40 - 2 - 2 = 36 mm: 72 pixels across the centre.
  Expect_Pixels(*this, "bled disc", {{16, 120, true}, {20, 120, false}, {84, 120, true}, {82, 120, false}});
  for (uint32 bad : {0u, 3u, 251u}) {
    Clear();
    used = Rect{1, 1, 2, 2};
    Outline_Shape(bad, false, SOLID_LINE, 1, 0, true, FULL_BLEED, used);
    EXPECT_EQ(used, (Rect{0, 0, 0, 0})) << bad;
    EXPECT_EQ(Count(Rect{0, 0, 400, 400}, kWhite), 160000) << bad;
  }
}

TEST_F(DocOutlines, CutLinesInThePreferencesColourOnWhite) {
  a_win_pixel32 c{};
  c.r = 0;
  c.g = 0;
  c.b = 255;
  gs.pref.cutlines_color = c;
  RGBForeColor(RGBColor{0xFFFF, 0, 0});
  RGBBackColor(RGBColor{0, 0xFFFF, 0});
  // Fill the area with grey first, so that the white gaps show.
  RGBForeColor(RGBColor{0x8080, 0x8080, 0x8080});
  PaintRect(Rect{0, 0, 400, 400});
  RGBForeColor(RGBColor{0xFFFF, 0, 0});
  Draw_Cutlines2(2);  // the label: 5-pixel dashes, inside its bleeds
  int blue = 0, white = 0;
  for (int x = 241; x < 359; ++x) {  // the top edge between the corners
    blue += Px(x, 20) == 0x0000FF;
    white += Px(x, 20) == kWhite;
  }
  EXPECT_EQ(blue, 59);
  EXPECT_EQ(white, 59);
  for (int x = 250; x < 260; ++x) EXPECT_EQ(Px(x, 20), x < 255 ? 0x0000FFu : kWhite) << x;
  RGBColor fore, back;
  GetForeColor(fore);
  GetBackColor(back);
  EXPECT_EQ(fore.red, 0xFFFF);  // the port's colours are put back
  EXPECT_EQ(back.green, 0xFFFF);
}

// The document view's cut lines: the current unit, with its bleeds, mapped
// onto its rectangle in view 1; the cut runs inside the bleeds, the
// crosshair at the disc's centre.
TEST_F(Outlines, CutLinesOfTheCurrentUnitInViewOne) {
  Resources_Init();
  VoskFunc_Init();
  VoskUndo_Init();
  History_Null();
  VoskBlok_Init();
  gs.controller = GHOST;
  a_template x{};
  x.papersize = a_fpoint{210, 297};
  x.nunits = 1;
  x.units[0].kind = UNIT_CD;
  x.units[0].bbox = a_frect{10, 10, 110, 110};
  x.units[0].bleed = a_frect{2, 2, 2, 2};
  x.units[0].meas[0] = 40;
  ASSERT_TRUE(Doc_New(x));
  Select_Doc_Unit(1);
  ASSERT_EQ(g_doc.upx, 1u);
  // A disc's canvas is 1200 cells; a quarter of it fills 300 pixels of the view.
  gs.views[0].origin = Point{0, 0};
  gs.views[0].zoom_factor = a_ratio{1, 4};
  gs.views[0].zoom_fudge = 1;
  gs.views[0].bounds = Rect{0, 0, 300, 300};
  a_win_pixel32 c{};
  c.b = 255;
  gs.pref.cutlines_color = c;
  Draw_CutLines();
  EXPECT_EQ(ncstack, 0) << "the mapping is popped";
  // 104 mm (with the bleeds) over 300 pixels: the cut, 2 mm in, lies about
  // 6 pixels from the edges; nothing is drawn in the bleed outside it.
  EXPECT_EQ(Count(Rect{140, 0, 160, 3}, 0x0000FF), 0);
  EXPECT_GT(Count(Rect{140, 3, 160, 10}, 0x0000FF), 0);
  EXPECT_GT(Count(Rect{3, 140, 10, 160}, 0x0000FF), 0);
  EXPECT_GT(Count(Rect{146, 146, 154, 154}, 0x0000FF), 0);  // the crosshair
  Doc_Dispose();
  Dispose_Doc_Buffers();
  // Without a current unit there is nothing to draw.
  Clear();
  Draw_CutLines();
  EXPECT_EQ(Count(Rect{0, 0, 400, 400}, kWhite), 160000);
}

}  // namespace
