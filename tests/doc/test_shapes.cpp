// Unit shapes: the shape of every kind, the printed region of every shape
// (inside, outside, in the hole with and without holes, in a cassette
// window, at the corners of business-card discs and super jewel inlays),
// units in pixels through a mapping, and the adjustment of units for bleed,
// nudging, small paper and the disc printer's media (clamped to the
// print-adjust ranges).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskPrin.h"
#include "doc/VoskShap.h"
#include "ui/VoskIntI.h"
#include "pixel/Draw.h"
#include "platform/Quickdraw.h"
#include "platform/VoskDef.h"

namespace {

// --- Kinds and shapes ---------------------------------------------------------------

TEST(UnitShapes, EveryKindHasItsShape) {
  struct Row {
    a_shape shape;
    std::vector<uint8> kinds;
  };
  const Row rows[] = {
      {SHAPE_NOTHING, {UNIT_EMPTY}},
      {SHAPE_RECT,
       {UNIT_MINICD_LID1, UNIT_JEWEL_LID1, UNIT_JEWEL_SPINE, UNIT_SUPERJEWEL_COVER, UNIT_DVDBOX_INSERT,
        UNIT_AUDIO_SPINE, UNIT_FLOPPY, UNIT_XDCAM_FACE, UNIT_D5_SPINE}},
      {SHAPE_ROUNDRECT,
       {UNIT_RECT, UNIT_VISITING, UNIT_AUDIO_BOX, UNIT_DAT_FACE, UNIT_DAT_SPINE, UNIT_VHS_FACE, UNIT_VHS_SPINE,
        UNIT_BETACAM_FACE, UNIT_BETACAM_SPINE, UNIT_UMATIC_FACE, UNIT_UMATIC_SPINE, UNIT_MINIDV_FACE,
        UNIT_MINIDV_SPINE, UNIT_DVCAM_FACE, UNIT_DVCAM_SPINE, UNIT_DVCPRO_FACE, UNIT_DVCPRO_SPINE, UNIT_STATUS,
        UNIT_HI8_FACE, UNIT_MD_FACEL, UNIT_MD_FACE, UNIT_MD_SPINE, UNIT_8MM_FACE, UNIT_8MM_SPINE, UNIT_LAMINATED,
        UNIT_VIDEOTITLE}},
      {SHAPE_CIRCLE, {UNIT_CIRCLE}},
      {SHAPE_OVAL, {UNIT_OVAL}},
      {SHAPE_RING, {UNIT_CD, UNIT_CD_CORE, UNIT_MINICD_RING}},
      {SHAPE_AUDIOFACE, {UNIT_AUDIO_FACE}},
      {SHAPE_BOOKLET,
       {UNIT_VISITING2, UNIT_CD_WALLET, UNIT_MINICD_LID2, UNIT_JEWEL_LID2, UNIT_SUPERJEWEL_BOOKLET,
        UNIT_DVDBOX_INSERT2, UNIT_DVDBOX_WRAP, UNIT_VHS_WRAP, UNIT_VCD_WRAP, UNIT_BLURAY_WRAP}},
      {SHAPE_MULTIPART,
       {UNIT_JEWEL_LID3, UNIT_AUDIO_JCARD, UNIT_DAT_JCARD, UNIT_VHS_THIRD, UNIT_VHS_SLEEVE, UNIT_BETACAM_INSERT,
        UNIT_UMATIC_INSERT, UNIT_MINIDV_INSERT, UNIT_DVCAM_INSERT, UNIT_DVCPRO_INSERT, UNIT_HI8_JCARD,
        UNIT_XDCAM_INSERT, UNIT_D5_INSERT}},
      {SHAPE_SLIMLINE, {UNIT_JEWEL_SLIMLINE}},
      {SHAPE_JEWELBASE, {UNIT_JEWEL_BASE}},
      {SHAPE_BIZHOCKEY, {UNIT_MINICD_HOCKEY}},
      {SHAPE_BIZRECT, {UNIT_MINICD_RECT}},
      {SHAPE_SUPERJEWELN, {UNIT_SUPERJEWEL_INLAY}},
  };
  std::set<uint8> seen;
  for (const Row& r : rows)
    for (uint8 k : r.kinds) {
      EXPECT_TRUE(seen.insert(k).second) << "kind " << int(k) << " listed twice";
      EXPECT_EQ(UNIT_TO_SHAPE[k], r.shape) << "kind " << int(k);
      EXPECT_EQ(Unit_Kind_Shape(k), r.shape) << "kind " << int(k);
    }
  EXPECT_EQ(seen.size(), size_t(NUNITKINDS));  // every kind has a row
  // A kind read from outside past the last one has no shape.
  EXPECT_EQ(Unit_Kind_Shape(NUNITKINDS), SHAPE_NOTHING);
  EXPECT_EQ(Unit_Kind_Shape(255), SHAPE_NOTHING);

  std::set<uint8> discs;
  for (uint32 k = 0; k < 256; ++k)
    if (Is_Disc_Kind(uint8(k))) discs.insert(uint8(k));
  EXPECT_EQ(discs, (std::set<uint8>{UNIT_CD, UNIT_CD_CORE, UNIT_MINICD_RING, UNIT_MINICD_HOCKEY, UNIT_MINICD_RECT}));
}

// --- Regions -----------------------------------------------------------------------

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

class ShapeRegions : public ::testing::Test {
 protected:
  RgnHandle rgn_ = nullptr;
  void SetUp() override { rgn_ = NewRgn(); }
  void TearDown() override { DisposeRgn(rgn_); }
  bool In(const a_iunit& u, bool holes, int16 h, int16 v) {
    Calc_Unit_Region(holes, u, rgn_);
    return PtInRgn(Point{v, h}, rgn_);
  }
};

TEST_F(ShapeRegions, PixelsInAndOutOfEachShape) {
  // Boxes in pixels; bottom and right are outside. A disc 200 across with an
  // 80 hole; a business-card disc 160 x 118 with a 44 hole; a cassette face
  // 200 x 128 with a window 100 x 30, 40 below the top.
  const Rect box{100, 100, 300, 300};  // 200 x 200
  const a_iunit ring = IUnit(SHAPE_RING, box, 80);
  const a_iunit hockey = IUnit(SHAPE_BIZHOCKEY, Rect{100, 100, 218, 260}, 44);
  const a_iunit bizrect = IUnit(SHAPE_BIZRECT, Rect{100, 100, 212, 272}, 44, 12);
  const a_iunit audio = IUnit(SHAPE_AUDIOFACE, Rect{100, 100, 228, 300}, 0, 40, 100, 30);
  struct Case {
    const char* what;
    a_iunit u;
    bool holes;
    int16 h, v;
    bool in;
  };
  const Case cases[] = {
      {"nothing", IUnit(SHAPE_NOTHING, box), true, 200, 200, false},
      {"rect: top-left pixel", IUnit(SHAPE_RECT, box), true, 100, 100, true},
      {"rect: last pixel", IUnit(SHAPE_RECT, box), true, 299, 299, true},
      {"rect: right edge is outside", IUnit(SHAPE_RECT, box), true, 300, 150, false},
      {"rect: left of it", IUnit(SHAPE_RECT, box), true, 99, 150, false},
      {"booklet: its box", IUnit(SHAPE_BOOKLET, box, 10), true, 100, 100, true},
      {"multipart: its box", IUnit(SHAPE_MULTIPART, box, 10), true, 299, 299, true},
      {"slimline: its box", IUnit(SHAPE_SLIMLINE, box, 10), true, 100, 299, true},
      {"tray card: its box", IUnit(SHAPE_JEWELBASE, box, 10), true, 299, 100, true},
      {"super jewel: printed to its corner", IUnit(SHAPE_SUPERJEWELN, box), true, 101, 101, true},
      {"round rect: corner cut", IUnit(SHAPE_ROUNDRECT, box, 20), true, 101, 101, false},
      {"round rect: edge past the corner", IUnit(SHAPE_ROUNDRECT, box, 20), true, 125, 100, true},
      {"round rect of radius 0: corner kept", IUnit(SHAPE_ROUNDRECT, box, 0), true, 100, 100, true},
      {"circle: centre", IUnit(SHAPE_CIRCLE, box), true, 200, 200, true},
      {"circle: leftmost", IUnit(SHAPE_CIRCLE, box), true, 101, 200, true},
      {"circle: box corner", IUnit(SHAPE_CIRCLE, box), true, 105, 105, false},
      {"oval: end of the long axis", IUnit(SHAPE_OVAL, Rect{100, 100, 200, 300}), true, 102, 150, true},
      {"oval: near the top corner", IUnit(SHAPE_OVAL, Rect{100, 100, 200, 300}), true, 120, 106, false},
      {"ring: centre with holes", ring, true, 200, 200, false},
      {"ring: centre without holes", ring, false, 200, 200, true},
      {"ring: just inside the hole", ring, true, 200 - 38, 200, false},
      {"ring: just outside the hole", ring, true, 200 - 42, 200, true},
      {"ring: outside the disc", ring, true, 102, 102, false},
      {"hockey: box corner without holes", hockey, false, 100, 100, true},
      {"hockey: box corner with holes", hockey, true, 100, 100, false},
      {"hockey: middle of the flat top", hockey, true, 180, 100, true},
      {"hockey: round end", hockey, true, 101, 159, true},
      {"hockey: hole", hockey, true, 180, 159, false},
      {"hockey: hole without holes", hockey, false, 180, 159, true},
      {"biz rect: rounded corner", bizrect, false, 100, 100, false},
      {"biz rect: past the corner", bizrect, false, 115, 100, true},
      {"biz rect: hole", bizrect, true, 186, 156, false},
      {"biz rect: hole without holes", bizrect, false, 186, 156, true},
      {"audio: cut corner", audio, true, 103, 103, false},
      {"audio: below the cut", audio, true, 101, 120, true},
      {"audio: bottom-left kept", audio, true, 100, 227, true},
      {"audio: in the window", audio, true, 200, 155, false},
      {"audio: round end of the window", audio, true, 152, 155, false},
      {"audio: beside the window's round end", audio, true, 151, 141, true},
      {"audio: window without holes", audio, false, 200, 155, true},
      {"audio: below the window", audio, true, 200, 172, true},
  };
  for (const Case& c : cases) EXPECT_EQ(In(c.u, c.holes, c.h, c.v), c.in) << c.what;
}

TEST_F(ShapeRegions, WindowShrinksByTheBleedsAndGoesWhenTheyCoverIt) {
  // A bled cassette face: the box holds the bleeds of 5; the window of
  // 100 x 30 narrows to 90 x 20, its top 40 + 2 x 5 below the box's top.
  const a_iunit bled = IUnit(SHAPE_AUDIOFACE, Rect{100, 100, 238, 310}, 0, 40, 100, 30, Rect{5, 5, 5, 5});
  Rect win;
  ASSERT_TRUE(Calc_Audio_Window(bled, win));
  EXPECT_EQ(win, (Rect{150, 160, 170, 250}));
  EXPECT_FALSE(In(bled, true, 205, 160));
  EXPECT_TRUE(In(bled, true, 205, 148));  // above the narrowed window

  // Bleeds as wide as the window leave no window: the face is printed
  // whole, without a box of negative size cut out of it.
  const a_iunit covered = IUnit(SHAPE_AUDIOFACE, Rect{100, 100, 238, 310}, 0, 40, 8, 30, Rect{5, 5, 5, 5});
  EXPECT_FALSE(Calc_Audio_Window(covered, win));
  EXPECT_EQ(win, (Rect{0, 0, 0, 0}));
  EXPECT_TRUE(In(covered, true, 205, 160));
  Calc_Unit_Region(true, covered, rgn_);
  RgnHandle plain = NewRgn();
  Calc_Unit_Region(false, covered, plain);
  EXPECT_TRUE(EqualRgn(rgn_, plain));
  DisposeRgn(plain);
}

TEST_F(ShapeRegions, SuperJewelNotchesAndHockeyOfATallCard) {
  // The inlay at twice its nominal millimetres: 301 x 398 pixels.
  const a_iunit inlay = IUnit(SHAPE_SUPERJEWELN, Rect{0, 0, 398, 301});
  Calc_SuperJewelN_Region(rgn_, inlay);
  struct P {
    int16 h, v;
    bool in;
  };
  const P points[] = {
      {4, 4, false},      // top-left notch, outer part
      {20, 6, false},     // top-left notch, inner step
      {20, 16, true},     // below the step
      {4, 26, true},      // below the notch on the left edge
      {30, 2, true},      // the top edge between the notches
      {290, 10, false},   // top-right notch (23 x 11.5 mm)
      {250, 10, true},    // left of it
      {290, 380, false},  // bottom-right notch (23 x 12.5 mm)
      {290, 370, true},   // above it
      {10, 392, false},   // bottom-left notch
      {20, 380, true},    // the step of the bottom-left notch
      {150, 200, true},   // middle
  };
  for (const P& p : points) EXPECT_EQ(bool(PtInRgn(Point{p.v, p.h}, rgn_)), p.in) << p.h << "," << p.v;

  // A business-card disc at least as tall as it is wide is the disc.
  const a_iunit tall = IUnit(SHAPE_BIZHOCKEY, Rect{0, 0, 120, 100}, 20);
  EXPECT_TRUE(In(tall, true, 50, 12));  // top of the circle (it is centred: 10 .. 110)
  EXPECT_FALSE(In(tall, true, 50, 5));  // above it
  EXPECT_FALSE(In(tall, true, 2, 12));  // corner of the box, off the circle
  EXPECT_FALSE(In(tall, true, 50, 60)); // the hole
}

TEST_F(ShapeRegions, EmptyBoxGivesEmptyRegion) {
  RectRgn(rgn_, Rect{0, 0, 10, 10});
  Calc_Unit_Region(true, IUnit(SHAPE_RING, Rect{50, 50, 50, 80}, 10), rgn_);
  EXPECT_TRUE(EmptyRgn(rgn_));
  Calc_Unit_Region(true, IUnit(SHAPE_RECT, Rect{50, 80, 60, 40}), rgn_);
  EXPECT_TRUE(EmptyRgn(rgn_));
}

// --- Units in pixels ---------------------------------------------------------------

class MappedUnits : public ::testing::Test {
 protected:
  void SetUp() override { Draw_Init(); }
  void TearDown() override {
    while (ncstack > 0) Pop_Mapping();
  }
  static void Push_Scale(float pixels_per_mm, float origin_x = 0, float origin_y = 0) {
    a_coord_mapping m{};
    m.multx = m.multy = pixels_per_mm;
    m.originx = origin_x;
    m.originy = origin_y;
    Push_Mapping(m);
  }
};

a_unit Unit(uint8 kind, a_frect bbox, float m1 = 0, a_frect bleed = a_frect{0, 0, 0, 0}) {
  a_unit u{};
  u.kind = kind;
  u.bbox = bbox;
  u.bleed = bleed;
  u.meas[0] = m1;
  return u;
}

TEST_F(MappedUnits, MeasuresAndBleedsScaleAndRound) {
  Push_Scale(300.0f / 25.4f, 10, 20);  // 300 dots per inch
  a_unit u = Unit(UNIT_MINICD_RECT, a_frect{1, 2, 87, 58}, 22.0f, a_frect{1.0f, 0.5f, 2.0f, 0.0f});
  u.meas[1] = 3.0f;
  u.meas[2] = -4.0f;                                    // nonsense from a file: no length
  u.meas[3] = std::numeric_limits<float>::quiet_NaN();  // likewise
  a_iunit iu{};
  Map_Unit(u, iu);
  EXPECT_EQ(iu.shape, SHAPE_BIZRECT);
  // 11.811 pixels per mm: 1 mm -> 12 + 10, 87 mm -> 1028 + 10; 2 -> 24 + 20, 58 -> 685 + 20.
  EXPECT_EQ(iu.bbox, (Rect{44, 22, 705, 1038}));
  EXPECT_EQ(iu.imeas[0], 260);  // 22 mm
  EXPECT_EQ(iu.imeas[1], 35);   // 3 mm
  EXPECT_EQ(iu.imeas[2], 0);
  EXPECT_EQ(iu.imeas[3], 0);
  EXPECT_EQ(iu.ibleed, (Rect{6, 12, 0, 24}));  // top, left, bottom, right

  u.kind = 200;  // past the last kind
  u.meas[0] = 1e9f;
  Map_Unit(u, iu);
  EXPECT_EQ(iu.shape, SHAPE_NOTHING);
  EXPECT_EQ(iu.imeas[0], 32767);
}

TEST_F(MappedUnits, NoMappingIsAnInternalError) {
  a_iunit iu{};
  EXPECT_THROW(Map_Unit(Unit(UNIT_CD, a_frect{0, 0, 118, 118}, 41), iu), QuitCalled);
}

TEST_F(MappedUnits, DiscOnTheScreenHasItsHoleOnASheetNone) {
  // A 118 mm disc with a 41 mm hole, at 10 pixels per millimetre.
  Push_Scale(10.0f);
  a_iunit iu{};
  Map_Unit(Unit(UNIT_CD, a_frect{0, 0, 118, 118}, 41), iu);
  RgnHandle rgn = NewRgn();
  Calc_Unit_Region(true, iu, rgn);
  EXPECT_FALSE(PtInRgn(Point{590, 590 - 200}, rgn));  // 20 mm from the centre: in the hole
  EXPECT_FALSE(PtInRgn(Point{590 + 200, 590}, rgn));
  EXPECT_TRUE(PtInRgn(Point{590, 590 - 210}, rgn));   // 21 mm: printed
  EXPECT_TRUE(PtInRgn(Point{590 + 210, 590}, rgn));
  Calc_Unit_Region(false, iu, rgn);  // printed on a sheet layout: the whole disc
  EXPECT_TRUE(PtInRgn(Point{590, 590}, rgn));
  DisposeRgn(rgn);
}

// --- Adjusting units ----------------------------------------------------------------

class AdjustedUnits : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    VoskDoc_Init();  // the document's print kind and orientation for the media settings
    VoskPrin_Init();
    g_doc.doc_template.nunits = 1;
    g_doc.doc_template.papersize = a_fpoint{210.0f, 297.0f};
  }
  // The open document's layout: a page printer or a disc printer whose first
  // unit is of kind first, portrait or landscape.
  void Layout(bool direct, uint8 first, bool landscape = false, float paper_w = 210.0f) {
    g_doc.doc_template.tflags = (direct ? 1u << IS_CDPRINTER : 0u) | (landscape ? 1u << IS_LANDSCAPE : 0u);
    g_doc.doc_template.units[0].kind = first;
    g_doc.doc_template.papersize.x = paper_w;
  }
  static void Media(a_direct_print_kind k, int16 inner, int16 outer, int16 side, Point nudge = Point{0, 0}) {
    a_print_media_spec& s = gs.pref.print_media[k].list[g_doc.doc_mediax];
    s.adj[0] = inner;
    s.adj[1] = outer;
    s.adj[2] = side;
    s.nudge = nudge;
  }
};

void Expect_Box(const a_unit& u, a_frect want, const char* what) {
  EXPECT_NEAR(u.bbox.left, want.left, 1e-3) << what;
  EXPECT_NEAR(u.bbox.top, want.top, 1e-3) << what;
  EXPECT_NEAR(u.bbox.right, want.right, 1e-3) << what;
  EXPECT_NEAR(u.bbox.bottom, want.bottom, 1e-3) << what;
}

TEST_F(AdjustedUnits, BleedsGrowTheBoxAndNarrowTheHole) {
  Layout(false, UNIT_RECT);
  const a_unit rect = Unit(UNIT_RECT, a_frect{10, 20, 60, 50}, 3.0f, a_frect{1, 2, 3, 4});
  a_unit out{};
  Calc_Adjusted_Unit(true, false, 0, NOT_DIRECT, rect, out);
  Expect_Box(out, a_frect{9, 18, 63, 54}, "grown");
  EXPECT_EQ(out.meas[0], 3.0f);  // a corner radius is no hole
  EXPECT_EQ(out.bleed.right, 3.0f);
  Calc_Adjusted_Unit(false, false, 0, NOT_DIRECT, rect, out);
  Expect_Box(out, rect.bbox, "without bleeds");
  EXPECT_EQ(out.bleed.left, 0.0f);
  EXPECT_EQ(out.bleed.bottom, 0.0f);

  // Every disc kind: the artwork runs into the hole by the top and bottom bleeds.
  for (uint8 k : {UNIT_CD, UNIT_CD_CORE, UNIT_MINICD_RING, UNIT_MINICD_HOCKEY, UNIT_MINICD_RECT}) {
    Calc_Adjusted_Unit(true, false, 0, NOT_DIRECT, Unit(k, a_frect{0, 0, 118, 118}, 41.0f, a_frect{1, 2, 1, 3}), out);
    EXPECT_FLOAT_EQ(out.meas[0], 36.0f) << int(k);
  }
  // Bleeds wider than the hole leave no hole, never a negative one.
  Calc_Adjusted_Unit(true, false, 0, NOT_DIRECT, Unit(UNIT_CD_CORE, a_frect{0, 0, 40, 40}, 4.0f, a_frect{0, 3, 0, 3}),
                     out);
  EXPECT_EQ(out.meas[0], 0.0f);
  // A negative or unreadable bleed adds nothing.
  Calc_Adjusted_Unit(true, false, 0, NOT_DIRECT,
                     Unit(UNIT_CD, a_frect{0, 0, 118, 118}, 41.0f,
                          a_frect{-5, std::numeric_limits<float>::quiet_NaN(), 2, -1}),
                     out);
  Expect_Box(out, a_frect{0, 0, 120, 118}, "bad bleeds");
  EXPECT_EQ(out.meas[0], 41.0f);
  EXPECT_EQ(out.bleed.left, 0.0f);
}

TEST_F(AdjustedUnits, NudgesTurnWithTheLandscapePageAndSmallPaperIsCentred) {
  const a_unit u = Unit(UNIT_RECT, a_frect{10, 10, 60, 40});
  a_unit out{};
  struct Case {
    const char* what;
    bool landscape;
    float paper_w;
    bool toggle;
    bool nudgef;
    float dx, dy;
  };
  // Stored nudge: 0.5 mm down (v 5), 1 mm left (h -10). On a landscape page
  // the stored nudge turns: v := -h, h := v.
  const Case cases[] = {
      {"portrait", false, 210, false, true, -1.0f, 0.5f},
      {"landscape", true, 210, false, true, 0.5f, 1.0f},
      {"not nudged", false, 148, true, false, 0.0f, 0.0f},
      {"A5 centred in a Letter feed", false, 148, true, true, -1.0f + 33.95f, 0.5f},
      {"A5 turned: centred downward", true, 148, true, true, 0.5f, 1.0f + 33.95f},
      {"A5, feed toggle off", false, 148, false, true, -1.0f, 0.5f},
      {"A4 is not small", false, 210, true, true, -1.0f, 0.5f},
  };
  for (const Case& c : cases) {
    Layout(false, UNIT_RECT, c.landscape, c.paper_w);
    gs.toggle_vals[LASERJET_TOGGLE] = c.toggle;
    Media(NOT_DIRECT, 0, 0, 0, Point{5, -10});
    Calc_Adjusted_Unit(false, c.nudgef, 1, NOT_DIRECT, u, out);
    Expect_Box(out, a_frect{10 + c.dx, 10 + c.dy, 60 + c.dx, 40 + c.dy}, c.what);
  }
  // Paper of a disc printer is never small paper.
  Layout(true, UNIT_CD, false, 120);
  EXPECT_FALSE(Is_Small_Paper());
  Layout(false, UNIT_RECT, false, 209.9f);
  EXPECT_TRUE(Is_Small_Paper());
}

TEST_F(AdjustedUnits, MediaSizesOfEachDirectKindInBothModes) {
  struct Case {
    a_direct_print_kind dkind;
    uint8 kind;
    int16 adj[3];
    int16 adjustf;
    float w, h, hole;
  };
  const Case cases[] = {
      {CD_DIRECT, UNIT_CD, {410, 1180, 0}, 1, 118, 118, 41},
      {CD_DIRECT, UNIT_CD, {410, 1180, 0}, 2, 126, 126, 41},
      {MINICD_DIRECT, UNIT_MINICD_RING, {220, 780, 0}, 1, 78, 78, 22},
      {MINICD_DIRECT, UNIT_MINICD_RING, {220, 780, 0}, 2, 120, 120, 22},
      {HOCKEY_DIRECT, UNIT_MINICD_HOCKEY, {180, 780, 590}, 1, 78, 59, 18},
      {HOCKEY_DIRECT, UNIT_MINICD_HOCKEY, {180, 780, 590}, 2, 120, 100, 18},
      {RECT_DIRECT, UNIT_MINICD_RECT, {180, 850, 590}, 1, 85, 59, 18},
      {RECT_DIRECT, UNIT_MINICD_RECT, {180, 850, 590}, 2, 85, 59, 18},
      // The disc of 126 mm with a 15 mm hole, centred where the unit was.
      {CD_DIRECT, UNIT_CD, {150, 1180, 0}, 2, 126, 126, 15},
  };
  for (const Case& c : cases) {
    Layout(true, c.kind);
    Media(c.dkind, c.adj[0], c.adj[1], c.adj[2]);
    const a_unit in = Unit(c.kind, a_frect{1, 2, 119, 120}, 30.0f);  // centre (60, 61)
    a_unit out{};
    Calc_Adjusted_Unit(false, false, c.adjustf, c.dkind, in, out);
    Expect_Box(out, a_frect{60 - c.w / 2, 61 - c.h / 2, 60 + c.w / 2, 61 + c.h / 2}, "adjusted");
    EXPECT_FLOAT_EQ(out.meas[0], c.hole) << int(c.dkind) << " adjustf " << c.adjustf;
  }
  // Without adjustf, or on a page printer, the media do not apply.
  Layout(true, UNIT_CD);
  Media(CD_DIRECT, 410, 1180, 0);
  const a_unit in = Unit(UNIT_CD, a_frect{1, 2, 119, 120}, 30.0f);
  a_unit out{};
  Calc_Adjusted_Unit(false, false, 0, CD_DIRECT, in, out);
  Expect_Box(out, in.bbox, "adjustf 0");
  Layout(false, UNIT_CD);
  Calc_Adjusted_Unit(false, false, 1, NOT_DIRECT, in, out);
  Expect_Box(out, in.bbox, "page printer");
  EXPECT_EQ(out.meas[0], 30.0f);
}

TEST_F(AdjustedUnits, MediaSizesKeptWithinThePrintAdjustRanges) {
  // Media entries from the preferences and from project files may hold
  // anything: a disc of no size, a negative one, one larger than the tray.
  struct Case {
    a_direct_print_kind dkind;
    uint8 kind;
    int16 adj[3];
    float w, h, hole;
  };
  const Case cases[] = {
      {CD_DIRECT, UNIT_CD, {0, 0, 0}, 100, 100, 15},
      {CD_DIRECT, UNIT_CD, {-50, 30000, 0}, 120, 120, 15},
      {MINICD_DIRECT, UNIT_MINICD_RING, {9999, 10, 0}, 48.4f, 48.4f, 55},
      {HOCKEY_DIRECT, UNIT_MINICD_HOCKEY, {180, -1, 0}, 48.4f, 52, 18},
      {HOCKEY_DIRECT, UNIT_MINICD_HOCKEY, {180, 900, 2000}, 80, 66, 18},
      {RECT_DIRECT, UNIT_MINICD_RECT, {180, 2000, 100}, 90, 40, 18},
      {RECT_DIRECT, UNIT_MINICD_RECT, {180, 0, 32767}, 80, 75, 18},
  };
  for (const Case& c : cases) {
    Layout(true, c.kind);
    Media(c.dkind, c.adj[0], c.adj[1], c.adj[2]);
    a_unit out{};
    Calc_Adjusted_Unit(false, false, 1, c.dkind, Unit(c.kind, a_frect{0, 0, 100, 100}, 30.0f), out);
    Expect_Box(out, a_frect{50 - c.w / 2, 50 - c.h / 2, 50 + c.w / 2, 50 + c.h / 2}, "clamped");
    EXPECT_FLOAT_EQ(out.meas[0], c.hole) << int(c.dkind) << " " << c.adj[0] << " " << c.adj[1];
  }
}

}  // namespace
