// The text layout pass on a CD face at 300 dpi with DejaVu Sans Mono: the
// places and angles of every layout, the paths and their frames, overflow
// marks, the record's limits and the texts it refuses to take whole.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "objects/VoskBlok.h"
#include "objects/VoskText.h"
#include "objects/VoskTextI.h"
#include "platform/SysFont.h"
#include "platform/VoskDef.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

constexpr int16 kSide = 1417;  // a CD face, 120 mm at 300 dpi
constexpr int16 kCentre = 708;
constexpr int32 kAdvance = 60;        // DejaVu Sans Mono at 100 pixels
constexpr double kLine = 99.97796;    // 24 points on the face, in pixels
constexpr double kRadius95 = 673.075; // radius 95 per cent

std::u16string U(const char* s) {
  std::u16string out;
  for (; *s; ++s) out.push_back(char16_t(uint8(*s)));
  return out;
}

class TextLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    Fonts_Stop();
    Fonts_Init();
    mono_ = Find_Font_Name(CStrSpan("DejaVu Sans Mono"));
    ASSERT_NE(mono_, 0u);
    VoskDef_Init();
    VoskBlok_Init();
    g_ed = a_edit_rec{};
    unit_ = New_Unit_Rec();
    ASSERT_NE(unit_, nullptr);
    unit_->paintbounds = Rect{0, 0, kSide, kSide};
    g_doc.doc_template.nunits = 1;
    g_doc.doc_template.units[0].kind = UNIT_CD;
    g_doc.doc_template.units[0].bbox = a_frect{0, 0, 120, 120};
    g_doc.doc_units[0] = unit_;
    g_doc.up = unit_;
    g_doc.upx = 1;
  }
  void TearDown() override {
    for (a_om_rec*& om : made_) OM_Dispose(om);
    if (unit_ != nullptr) {
      OMast_Dispose(unit_->oj);
      Dispose_Unit_Rec(unit_);
    }
    g_doc.up = nullptr;
    g_doc.doc_units[0] = nullptr;
  }

  a_om_rec* Make(const std::u16string& text, a_text_layout layout, a_horz_just just = JUST_LEFT) {
    a_om_rec* om = New_OM_Rec();
    EXPECT_NE(om, nullptr);
    made_.push_back(om);
    om->fontx = mono_;
    om->size = 24;
    om->layout = layout;
    om->justify = just;
    om->hspacing = om->vspacing = 100;
    om->radius = 95;
    om->polarangle = 0;
    om->spoke_outerd = 95;
    om->spoke_thickness = 80;
    om->spoke_totangle = 360;
    om->spoke_twist = 0;
    om->contour_margin = 0;
    om->opacity = 100;
    om->shad_opacity = 75;
    om->glow_radius = 8;
    om->glow_opacity = 90;
    om->outl_radius = 2;
    om->shad_radius = 1;
    om->anchor = Point{300, 200};
    om->rotcenter = Point{kCentre, kCentre};
    UniStr_To_OM(om, text.data(), int32(text.size()));
    return om;
  }
  static void Laid(a_om_rec* om) { OM_Recalc(om, 1); }

  uint32 mono_ = 0;
  a_doc_unit* unit_ = nullptr;
  std::vector<a_om_rec*> made_;
};

struct a_place {
  int32 i;
  int16 x, y, t;
};

void Expect_Places(const a_om_rec* om, const std::vector<a_place>& want, const char* what) {
  for (const a_place& p : want) {
    const a_xyl_char& c = om->xyl[p.i];
    EXPECT_EQ(c.mm_cat == CC_REGULAR || c.mm_cat == CC_SPACE, true) << what << " char " << p.i;
    EXPECT_EQ(c.mm_x, p.x) << what << " char " << p.i;
    EXPECT_EQ(c.mm_y, p.y) << what << " char " << p.i;
    EXPECT_EQ(c.mm_t, p.t) << what << " char " << p.i;
  }
}

// --- Straight lines and columns ------------------------------------------------------

TEST_F(TextLayout, StraightLinesAtEachAngleAndJustification) {
  struct a_case {
    const char* name;
    int16 lineangle;
    a_text_layout layout;
    a_horz_just just;
    std::vector<a_place> places;
  };
  // "ABC\rDE": two lines; the second one line distance across the first.
  const std::vector<a_case> cases = {
      {"0 left", 0, LAYOUT_HORZ, JUST_LEFT, {{0, 200, 300, 0}, {2, 320, 300, 0}, {4, 200, 400, 0}, {5, 260, 400, 0}}},
      {"0 centre", 0, LAYOUT_HORZ, JUST_CENTER, {{0, 110, 300, 0}, {4, 140, 400, 0}}},
      {"0 right", 0, LAYOUT_HORZ, JUST_RIGHT, {{0, 20, 300, 0}, {4, 80, 400, 0}}},
      {"900", 900, LAYOUT_HORZ, JUST_LEFT, {{0, 200, 300, 900}, {2, 200, 180, 900}, {4, 300, 300, 900}}},
      {"-450", -450, LAYOUT_HORZ, JUST_LEFT, {{0, 200, 300, 3150}, {1, 242, 342, 3150}, {2, 285, 385, 3150},
                                              {4, 129, 371, 3150}}},
      {"layout 90", 0, LAYOUT_90, JUST_LEFT, {{0, 200, 300, 900}, {1, 200, 240, 900}}},
      {"layout 270", 0, LAYOUT_270, JUST_LEFT, {{0, 200, 300, 2700}, {1, 200, 360, 2700}, {4, 100, 300, 2700}}},
  };
  for (const a_case& c : cases) {
    a_om_rec* om = Make(U("ABC\rDE"), c.layout, c.just);
    om->lineangle = c.lineangle;
    Laid(om);
    EXPECT_EQ(om->xyl[0].mm_width, kAdvance) << c.name;
    EXPECT_EQ(om->xyl[3].mm_cat, CC_HARDBREAK) << c.name;
    Expect_Places(om, c.places, c.name);
    EXPECT_EQ(om->noverflows, 0u) << c.name;
    EXPECT_EQ(om->cache.progress, Progress_Bit(READY_COORD)) << c.name;
    EXPECT_FLOAT_EQ(om->cache.tot_along, 3 * kAdvance) << c.name;
  }
}

TEST_F(TextLayout, StraightFrameAndBoxWithEffects) {
  a_om_rec* om = Make(U("ABC\rDE"), LAYOUT_HORZ);
  Laid(om);
  // From 1.1 ascent above the first baseline to the descent below the last.
  ASSERT_EQ(om->cache.frame.npoints, 5);
  const Point* f = om->cache.frame.points;
  EXPECT_EQ(f[0].h, 200);
  EXPECT_EQ(f[0].v, 300 - 82);  // 1.1 x 75
  EXPECT_EQ(f[2].h, 380);
  EXPECT_EQ(f[2].v, 425);       // 300 + 100 + 25
  EXPECT_EQ(om->bbox, (Rect{208, 190, 445, 390}));
  Rect net;
  OM_NetBox(om, net);
  EXPECT_EQ(net, om->bbox);
  // The shadow grows the box only toward where it falls; glow and outline
  // all round.
  struct a_case {
    bool8 glow, outl, shad;
    int16 dx, dy;
    Rect box;
  };
  const a_case cases[] = {
      {true, false, false, 0, 0, Rect{200, 182, 453, 398}},
      {false, true, false, 0, 0, Rect{206, 188, 447, 392}},
      {false, false, true, 5, 7, Rect{208, 190, 453, 396}},
      {false, false, true, -5, -7, Rect{200, 184, 445, 390}},
      {false, false, true, 0, 0, Rect{207, 189, 445, 390}},
  };
  for (const a_case& c : cases) {
    om->glowf = c.glow;
    om->outlf = c.outl;
    om->shadf = c.shad;
    om->shad_dx = c.dx;
    om->shad_dy = c.dy;
    Laid(om);
    EXPECT_EQ(om->bbox, c.box) << int(c.glow) << int(c.outl) << int(c.shad) << " " << c.dx;
    OM_NetBox(om, net);
    EXPECT_EQ(net, (Rect{208, 190, 445, 390}));
  }
}

TEST_F(TextLayout, ColumnsStandOneBelowTheOther) {
  a_om_rec* om = Make(U("AB\rC"), LAYOUT_VERT, JUST_LEFT);
  Laid(om);
  // Advance 1.05 x 100 = 105 pixels; two columns of one line distance, the
  // first right of the anchor by half the total width; characters centred.
  const int16 col1 = int16(std::lround(200 + kLine - kAdvance / 2.0));
  const int16 col2 = int16(std::lround(200 + kLine - kLine - kAdvance / 2.0));
  const int16 top = int16(std::lround(300 - 3 * 104.97685 / 2));
  Expect_Places(om, {{0, col1, top, 0}, {1, col1, int16(top + 105), 0}, {3, col2, top, 0}}, "columns");
}

// --- Circles ---------------------------------------------------------------------------

TEST_F(TextLayout, CirclesInBothDirectionsWithEachJustification) {
  struct a_case {
    a_text_layout layout;
    a_horz_just just;
    std::vector<a_place> places;
  };
  // "OO": clockwise from the top, counter-clockwise along the bottom.
  const std::vector<a_case> cases = {
      {LAYOUT_CIRC_CW, JUST_LEFT, {{0, 708, 110, 3571}, {1, 768, 113, 3514}}},
      {LAYOUT_CIRC_CW, JUST_CENTER, {{0, 648, 113, 29}, {1, 708, 110, 3571}}},
      {LAYOUT_CIRC_CW, JUST_RIGHT, {{0, 589, 122, 86}, {1, 648, 113, 29}}},
      {LAYOUT_CIRC_CCW, JUST_LEFT, {{0, 708, 1356, 27}, {1, 768, 1353, 80}}},
      {LAYOUT_CIRC_CCW, JUST_CENTER, {{0, 648, 1353, 3573}, {1, 708, 1356, 27}}},
      {LAYOUT_CIRC_CCW, JUST_RIGHT, {{0, 589, 1345, 3520}, {1, 648, 1353, 3573}}},
  };
  for (const a_case& c : cases) {
    a_om_rec* om = Make(U("OO"), c.layout, c.just);
    Laid(om);
    Expect_Places(om, c.places, c.layout == LAYOUT_CIRC_CW ? "clockwise" : "counter-clockwise");
    EXPECT_EQ(om->bbox, (Rect{0, 0, kSide, kSide}));
    EXPECT_GT(om->cache.frame.npoints, 4);
  }
}

TEST_F(TextLayout, CircleLinesTooNearTheCentreOverflowThere) {
  // Radius 20: 141.7 pixels; the second line's baseline lies under 50.
  a_om_rec* om = Make(U("A\rB"), LAYOUT_CIRC_CW);
  om->radius = 20;
  Laid(om);
  EXPECT_EQ(om->xyl[0].mm_cat, CC_REGULAR);
  EXPECT_EQ(om->xyl[2].mm_cat, CC_OVERFLOW);
  ASSERT_EQ(om->noverflows, 1u);
  EXPECT_EQ(om->overflows[0].pos, (Point{kCentre, kCentre}));
}

// --- Paths ---------------------------------------------------------------------------

double Step_Radius(const a_points_path_step& s) { return std::hypot(s.x - kCentre, s.y - kCentre); }

TEST_F(TextLayout, SpiralStepsAndStops) {
  a_om_rec* om = Make(U("SPIRAL\rTEXT"), LAYOUT_SPIRAL_CW);
  Laid(om);
  // The break counts as a space: one line on one path.
  EXPECT_EQ(om->xyl[6].mm_cat, CC_SPACE);
  const a_path_cache& path = om->cache.path;
  ASSERT_EQ(path.content, ARRAY_OF_POINTS);
  ASSERT_EQ(path.npaths, 1u);
  const a_points_path& pp = *path.paths[0].points;
  // Starts at the top at radius - 0.75 line distance, and stops under 30.
  EXPECT_NEAR(pp.steps[0].x, kCentre, 1e-3);
  EXPECT_NEAR(Step_Radius(pp.steps[0]), kRadius95 - 0.75 * kLine, 1e-2);
  EXPECT_NEAR(pp.steps[0].t, 0, 1e-3);
  const double last = Step_Radius(pp.steps[pp.lastn]);
  EXPECT_GE(last, 30);
  EXPECT_LT(last - kLine * (10 / last) / (2 * M_PI), 30);
  EXPECT_EQ(pp.lastn, 1122);
  // Steps 10 pixels apart along the path.
  EXPECT_FLOAT_EQ(Path_Max_Along(0, path), 11220);
  Expect_Places(om, {{0, 708, 110, 0}}, "spiral");
  EXPECT_EQ(om->xyl[1].mm_x, 768);
  // A tiny line distance runs out of steps first.
  a_om_rec* tight = Make(U("A"), LAYOUT_SPIRAL_CCW);
  tight->size = 5;
  tight->vspacing = 20;
  Laid(tight);
  ASSERT_EQ(tight->cache.path.npaths, 1u);
  EXPECT_EQ(tight->cache.path.paths[0].points->lastn, MAX_PATH_STEPS - 1);
  // Its frame keeps within the frame's room, both ends included.
  EXPECT_LE(tight->cache.frame.npoints, MAX_OM_POINTS);
  EXPECT_GT(tight->cache.frame.npoints, 1000);
}

TEST_F(TextLayout, SpokesOneAndSeveral) {
  // One line: perspoke 180, the spoke runs outward from the inner radius.
  a_om_rec* one = Make(U("AB"), LAYOUT_SPOKE);
  Laid(one);
  ASSERT_EQ(one->cache.path.npaths, 1u);
  EXPECT_FLOAT_EQ(one->cache.path.spec.spoke.perspoke, 180);
  // Steps every 10 pixels from the outer end in; the innermost one, at the
  // inner radius, is nearer to its neighbour.
  const double inner = 0.2 * kRadius95;
  const double second = kRadius95 - 10 * std::floor((kRadius95 - inner) / 10);
  Expect_Places(one, {{0, int16(std::lround(kCentre + inner)), kCentre, 0},
                      {1, int16(std::lround(kCentre + second + kAdvance - 10)), kCentre, 0}},
                "one spoke");
  // Three lines over 360 degrees: 120 apart, turning clockwise.
  a_om_rec* three = Make(U("A\rB\rC"), LAYOUT_SPOKE);
  Laid(three);
  ASSERT_EQ(three->cache.path.npaths, 3u);
  EXPECT_FLOAT_EQ(three->cache.path.spec.spoke.perspoke, 120);
  EXPECT_EQ(three->xyl[0].mm_t, 0);
  EXPECT_EQ(three->xyl[2].mm_t, 2400);
  EXPECT_EQ(three->xyl[4].mm_t, 1200);
  // Twisted spokes keep their steps 10 pixels apart along the radius.
  three->spoke_twist = 25;
  Laid(three);
  const a_points_path& pp = *three->cache.path.paths[0].points;
  EXPECT_NEAR(Step_Radius(pp.steps[0]), inner, 1e-2);
  EXPECT_NEAR(Step_Radius(pp.steps[pp.lastn]), kRadius95, 1e-2);
  EXPECT_NEAR(pp.steps[pp.lastn].hs, 0.9, 1e-5);
  EXPECT_NEAR(pp.steps[0].hs, 1.0, 1e-5);
}

TEST_F(TextLayout, ContourLinesFillTheCircle) {
  a_om_rec* om = Make(U("AB\rC"), LAYOUT_CONTOUR);
  om->anchor = Point{400, 0};
  Laid(om);
  const a_path_cache& path = om->cache.path;
  ASSERT_EQ(path.content, ARRAY_OF_LINES);
  // From the anchor's line down to the bottom of the circle, a line per
  // line distance; each spans its chord.
  const double R = 708.5, u0 = 400 - 708.5, asc = 0.75 * kLine;
  const int32 want = int32(std::floor((R - 100 - u0) / kLine)) + 1;
  ASSERT_EQ(int32(path.npaths), want);
  const a_linear_path& l0 = *path.paths[0].line;
  EXPECT_NEAR(l0.endpointy, 400 + asc, 1e-3);
  EXPECT_NEAR(l0.avail, 2 * std::sqrt(R * R - (u0 + asc) * (u0 + asc)), 1e-2);
  EXPECT_EQ(om->xyl[0].mm_x, int16(std::lround(l0.endpointx)));
  EXPECT_EQ(om->xyl[0].mm_y, 475);
  EXPECT_EQ(om->xyl[3].mm_y, int16(std::lround(475 + kLine)));
  // The frame: the circle below a line 4 pixels above the anchor.
  const Rect f = Frame_Bounds(*om);
  EXPECT_EQ(f.top, 396);
  EXPECT_NEAR(f.bottom, kCentre + 712.5, 1);
  // An anchor so low that no line fits: one line of 20 pixels.
  om->anchor.v = kSide;
  Laid(om);
  ASSERT_EQ(path.npaths, 1u);
  EXPECT_FLOAT_EQ(path.paths[0].line->avail, 20);
  EXPECT_FLOAT_EQ(path.paths[0].line->endpointx, 708.5f - 10);
  EXPECT_NEAR(path.paths[0].line->endpointy, 708.5 + (R - 20) + asc, 1e-2);
  EXPECT_FLOAT_EQ(path.overflowy, float(708.5 + R + 20));
  // Nothing fits: the mark goes at the line's end; the second line has no
  // path and marks the end of the last one with its own id.
  EXPECT_EQ(om->xyl[0].mm_cat, CC_OVERFLOW);
  EXPECT_EQ(om->xyl[3].mm_cat, CC_OVERFLOW);
  ASSERT_EQ(om->noverflows, 2u);
  EXPECT_EQ(om->overflows[0].id, 1);
  EXPECT_EQ(om->overflows[0].pos, (Point{1472, 719}));
  EXPECT_EQ(om->overflows[1].id, 10001);
  EXPECT_EQ(om->overflows[1].pos, (Point{1472, 719}));
}

TEST_F(TextLayout, ContourAnchorStaysInsideOrAtTheCentre) {
  struct a_case {
    int32 v, radius, centre;
    int16 want;
  } const cases[] = {
      {0, 700, 708, 58}, {2000, 700, 708, 1358}, {500, 700, 708, 500}, {0, 40, 708, 708}, {900, 49, 100, 100},
  };
  for (const a_case& c : cases) EXPECT_EQ(Validate_Contour_Anchor(c.v, c.radius, c.centre), c.want) << c.v;
}

TEST_F(TextLayout, PathCacheIsKeptForTheSameSpec) {
  a_om_rec* om = Make(U("SPIRAL"), LAYOUT_SPIRAL_CW);
  Laid(om);
  const a_points_path* before = om->cache.path.paths[0].points;
  Laid(om);
  EXPECT_EQ(om->cache.path.paths[0].points, before);
  om->radius = 80;
  Laid(om);
  EXPECT_NE(om->cache.path.spec.spiral.radius, 0);
  EXPECT_NEAR(om->cache.path.spec.spiral.radius, 0.8 * 708.5, 1e-3);
}

TEST_F(TextLayout, FindingPointsOnAPointsPath) {
  a_om_rec* om = Make(U("A"), LAYOUT_SPOKE);
  Laid(om);
  const a_path_cache& path = om->cache.path;
  int16 angle;
  float x, y;
  // Half-way between two steps; the last step past the end.
  const a_points_path& pp = *path.paths[0].points;
  Find_On_Path(angle, y, x, 15, 0, path);
  EXPECT_FLOAT_EQ(x, std::round((pp.steps[1].x + pp.steps[2].x) / 2));
  EXPECT_FLOAT_EQ(y, kCentre);
  EXPECT_EQ(angle, 0);
  Find_On_Path(angle, y, x, 1e6f, 0, path);
  EXPECT_FLOAT_EQ(x, std::round(float(kCentre + kRadius95)));
  // Angles come back within a turn.
  om->polarangle = -90;
  Laid(om);
  Find_On_Path(angle, y, x, 0, 0, path);
  EXPECT_EQ(angle, 2700);
}

// --- Overflows, lines and limits ------------------------------------------------------

TEST_F(TextLayout, OverflowMarksAtMostTenAndNoRepeat) {
  a_om_rec* om = Make(U(""), LAYOUT_HORZ);
  const int32 ids[] = {1, 1, 2, 2, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  for (int32 id : ids) Post_Overflow(Point{int16(id), 0}, id, *om);
  ASSERT_EQ(om->noverflows, 10u);
  const int32 want[] = {1, 2, 1, 3, 4, 5, 6, 7, 8, 9};
  for (int32 k = 0; k < 10; ++k) EXPECT_EQ(om->overflows[k].id, want[k]);
}

TEST_F(TextLayout, AThousandLinesAndThreeHundredPaths) {
  std::u16string text;
  for (int32 i = 0; i < 1000; ++i) text += u"a\r";
  text += u"bc";
  a_om_rec* om = Make(text, LAYOUT_HORZ);
  om->size = 5;  // 20.8 pixels a line
  Laid(om);
  EXPECT_EQ(g_breaks.nlines, 1000u);
  EXPECT_EQ(om->cache.path.npaths, uint32(MAX_TEXT_PATHS));
  // Line 300 placed, line 301 without a path, the 1001st line cut off.
  EXPECT_EQ(om->xyl[2 * 299].mm_cat, CC_REGULAR);
  EXPECT_EQ(om->xyl[2 * 300].mm_cat, CC_OVERFLOW);
  EXPECT_EQ(om->xyl[2000].mm_cat, CC_OVERFLOW);
  EXPECT_EQ(om->xyl[2001].mm_cat, CC_IGNORE);
  ASSERT_EQ(om->noverflows, 1u);
  EXPECT_EQ(om->overflows[0].id, 10001);
  // A path layout with 1000 lines of 50 pixels: places past 16 bits overflow.
  a_om_rec* far = Make(U("ABCDEFGHIJ"), LAYOUT_HORZ);
  far->anchor = Point{300, 32500};
  Laid(far);
  EXPECT_EQ(far->xyl[0].mm_x, 32500);
  EXPECT_EQ(far->xyl[4].mm_x, 32740);
  EXPECT_EQ(far->xyl[5].mm_cat, CC_OVERFLOW);
  EXPECT_EQ(far->xyl[5].mm_x, 0);
  EXPECT_EQ(far->bbox.right, 32767);
}

TEST_F(TextLayout, CharacterSizes) {
  a_om_rec* om = Make(U("AAAA"), LAYOUT_HORZ);
  const int16 sizes[] = {0, 100, 50, 1};
  for (int32 i = 0; i < 4; ++i) om->xyl[i].cc_size = sizes[i];
  Laid(om);
  EXPECT_EQ(om->xyl[0].mm_width, kAdvance);
  EXPECT_EQ(om->xyl[1].mm_width, kAdvance);
  EXPECT_EQ(om->xyl[2].mm_width, 30);
  EXPECT_FLOAT_EQ(g_ow[3].height, 2);  // at least 2 pixels
  EXPECT_EQ(om->xyl[3].mm_x, 200 + 2 * kAdvance + 30);
}

TEST_F(TextLayout, WideLinesBreakButNeverInsideAPair) {
  // The limit is twice the canvas (2834 pixels): 47 characters fit, the 48th
  // is where the line ends, here the first half of a pair.
  std::u16string text(47, u'M');
  text += u"\xD835\xDC00";
  text += u"MM";
  a_om_rec* om = Make(text, LAYOUT_HORZ);
  Laid(om);
  ASSERT_EQ(g_breaks.nlines, 2u);
  EXPECT_EQ(g_breaks.lines[0].last, 48);
  EXPECT_EQ(om->xyl[48].mm_width, 0);
  EXPECT_GT(om->xyl[47].mm_width, 0);
  EXPECT_EQ(om->xyl[49].mm_y, 400);
}

TEST_F(TextLayout, RecordTakesAtMost3999Characters) {
  std::u16string text(5000, u'x');
  text[10] = u'\n';
  a_om_rec* om = Make(text, LAYOUT_HORZ);
  EXPECT_EQ(om->nxyl, MAX_NXYL);
  EXPECT_EQ(om->xyl[10].cc_char, u'x');  // the line feed dropped
  EXPECT_EQ(om->xyl[3999].cc_char, EOS_CHAR);
  EXPECT_EQ(om->xyl[3999].mm_cat, CC_EOS);
  // A length without a NUL is kept to; a pair that would be cut goes whole.
  UniChar unterminated[3] = {u'A', u'B', u'C'};
  UniStr_To_OM(om, unterminated, 2);
  EXPECT_EQ(om->nxyl, 3);
  EXPECT_EQ(om->xyl[2].cc_char, EOS_CHAR);
  std::u16string cut(3998, u'y');
  cut += u"\xD835\xDC00";
  UniStr_To_OM(om, reinterpret_cast<const UniChar*>(cut.data()), int32(cut.size()));
  EXPECT_EQ(om->nxyl, 3999);
  EXPECT_EQ(om->xyl[3997].cc_char, u'y');
  EXPECT_EQ(om->xyl[3998].cc_char, EOS_CHAR);
  Laid(om);
  EXPECT_EQ(om->cache.progress, Progress_Bit(READY_COORD));
}

TEST_F(TextLayout, RefusalsLayOutSoundly) {
  // A lone surrogate measures as a replacement character.
  a_om_rec* lone = Make(u"A\xDC00" u"B", LAYOUT_HORZ);
  Laid(lone);
  EXPECT_GT(lone->xyl[1].mm_width, 0);
  EXPECT_EQ(lone->xyl[2].mm_x, 200 + kAdvance + lone->xyl[1].mm_width);
  // Size 0 and other numbers off their sliders are limited.
  a_om_rec* zero = Make(U("AB"), LAYOUT_HORZ);
  zero->size = 0;
  zero->hspacing = 0;
  zero->layout = a_text_layout(77);
  zero->justify = a_horz_just(9);
  Laid(zero);
  EXPECT_EQ(zero->size, 5);
  EXPECT_EQ(zero->hspacing, 80);
  EXPECT_EQ(zero->layout, LAYOUT_HORZ);
  EXPECT_GT(zero->xyl[1].mm_x, zero->xyl[0].mm_x);
  // A spiral that cannot start: no step; every character overflows at the centre.
  a_om_rec* spiral = Make(U("ABC"), LAYOUT_SPIRAL_CW);
  spiral->radius = 20;
  spiral->size = 72;
  Laid(spiral);
  ASSERT_EQ(spiral->cache.path.npaths, 1u);
  EXPECT_EQ(spiral->cache.path.paths[0].points->lastn, -1);
  for (int32 i = 0; i < 3; ++i) EXPECT_EQ(spiral->xyl[i].mm_cat, CC_OVERFLOW);
  ASSERT_EQ(spiral->noverflows, 1u);
  EXPECT_EQ(spiral->overflows[0].pos, (Point{kCentre, kCentre}));
  EXPECT_EQ(spiral->cache.frame.npoints, 0);
  // A spoke of no thickness (from a file): one point, nothing placed.
  a_om_rec* spoke = Make(U("AB"), LAYOUT_SPOKE);
  spoke->spoke_thickness = 0;
  Laid(spoke);
  EXPECT_EQ(spoke->spoke_thickness, 20);  // limited to its slider
  spoke->spoke_thickness = 0;
  a_generic_path_spec spec = spoke->cache.path.spec;
  spec.spoke.inner = spec.spoke.outer;
  Gen_Path(*spoke, spec);
  ASSERT_EQ(spoke->cache.path.npaths, 1u);
  EXPECT_EQ(spoke->cache.path.paths[0].points->lastn, 0);
  EXPECT_FLOAT_EQ(Path_Max_Along(0, spoke->cache.path), 0);
  // A record whose count passes the end entry, and one without an end entry.
  a_om_rec* bad = Make(U("ABC"), LAYOUT_HORZ);
  bad->nxyl = 100000;
  Laid(bad);
  EXPECT_EQ(bad->nxyl, 4);
  for (a_xyl_char& c : bad->xyl) c.cc_char = u'Z';
  bad->nxyl = MAX_NXYL;
  Laid(bad);
  EXPECT_EQ(bad->nxyl, MAX_NXYL);
  EXPECT_EQ(bad->xyl[MAX_NXYL - 1].mm_cat, CC_EOS);
}

// Records from files may hold anything: every layout of extreme numbers
// lays out within the record's fields and the frame's room.
TEST_F(TextLayout, ExtremeRecordsLayOutSoundly) {
  for (int32 layout = 0; layout < NTEXT_LAYOUTS; ++layout) {
    for (const int16 v : {int16(-32768), int16(0), int16(32767)}) {
      a_om_rec* om = Make(u"Ab c\rD\xD83D\xDE00 e\rF", a_text_layout(layout));
      for (int16 a_om_rec::*f :
           {&a_om_rec::size, &a_om_rec::lineangle, &a_om_rec::polarangle, &a_om_rec::radius, &a_om_rec::hspacing,
            &a_om_rec::vspacing, &a_om_rec::stretch_h, &a_om_rec::stretch_v, &a_om_rec::skew_h, &a_om_rec::skew_v,
            &a_om_rec::glow_radius, &a_om_rec::shad_dx, &a_om_rec::shad_dy, &a_om_rec::shad_radius,
            &a_om_rec::outl_radius, &a_om_rec::spoke_outerd, &a_om_rec::spoke_thickness, &a_om_rec::spoke_totangle,
            &a_om_rec::spoke_twist, &a_om_rec::contour_margin})
        om->*f = v;
      om->glowf = om->shadf = om->outlf = true;
      om->anchor = om->rotcenter = Point{v, v};
      om->fontx = uint32(v) * 7919u;
      for (int32 i = 0; i + 1 < om->nxyl; ++i) {
        om->xyl[i].cc_nudgex = om->xyl[i].cc_nudgey = om->xyl[i].cc_nudget = v;
        om->xyl[i].cc_size = v;
      }
      om->noverflows = 1000;
      Laid(om);
      SCOPED_TRACE(testing::Message() << "layout " << layout << " value " << v);
      EXPECT_EQ(om->cache.progress, Progress_Bit(READY_COORD));
      EXPECT_LE(om->cache.frame.npoints, om->cache.frame.max);
      EXPECT_LE(om->noverflows, uint32(MAX_OVERFLOWS));
      for (int32 i = 0; i + 1 < om->nxyl; ++i) {
        const a_char_category c = om->xyl[i].mm_cat;
        EXPECT_TRUE(c == CC_REGULAR || c == CC_SPACE || c == CC_HARDBREAK || c == CC_OVERFLOW || c == CC_IGNORE);
        EXPECT_TRUE(om->xyl[i].mm_t >= 0 && om->xyl[i].mm_t < 3600);
      }
      EXPECT_LE(om->bbox.top, om->bbox.bottom);
      EXPECT_LE(om->bbox.left, om->bbox.right);
    }
  }
}

TEST_F(TextLayout, TextSizeMappingNestsTwoDeep) {
  EXPECT_FLOAT_EQ(Points_To_PixelsR(72), 300);
  Push_TextSize_Mapping(2);
  Push_TextSize_Mapping(3);
  Push_TextSize_Mapping(4);  // a third push is ignored, as is its pop
  EXPECT_FLOAT_EQ(Points_To_PixelsR(10), 30);
  Pop_TextSize_Mapping();
  EXPECT_FLOAT_EQ(Points_To_PixelsR(10), 30);
  Pop_TextSize_Mapping();
  EXPECT_FLOAT_EQ(Points_To_PixelsR(10), 20);
  Pop_TextSize_Mapping();
  Pop_TextSize_Mapping();
  EXPECT_EQ(Points_To_Pixels(72), 300);
}

// --- Text objects on the unit --------------------------------------------------------

class TextObjects : public TextLayout {
 protected:
  void SetUp() override {
    TextLayout::SetUp();
    if (IsSkipped()) return;
    SV_Init();
    History_Null();
    gs.nviews = 1;
    gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{0, 0, kSide, kSide}};
    gs.curr_phase = TEXT_PHASE;
    gs.curr_kindset = 8;  // texts
    for (int32 sl = 0; sl < NSLIDERS; ++sl) gs.slider_vals[sl] = SLIDER_VALUES[sl].defaultval;
    gs.slider_vals[TEXT_SIZE_SLIDER] = 24;
    gs.bar_selection[FONT_BAR] = int16(mono_);
  }
  a_om_rec* Om(int32 omx) { return unit_->oj.list[omx - 1].om; }
  int32 New(const std::u16string& text, a_text_layout layout = LAYOUT_HORZ) {
    gs.grid_vals[TEXT_LAYOUT_GRID] = layout;
    int32 omx = 0;
    Text_New4(omx, reinterpret_cast<const UniChar*>(text.data()), int32(text.size()), 95, Point{300, 200},
              Point{kCentre, kCentre}, false);
    return omx;
  }
};

TEST_F(TextObjects, NewTextsTakeTheirTextPlaceAndSettings) {
  const int32 before = unit_->oj.nlist;
  const std::u16string text = u"Track 1\nTrack 2";
  int32 omx = 0;
  Text_New4(omx, reinterpret_cast<const UniChar*>(text.data()), 9, 60, Point{300, 200}, Point{kCentre, 600}, false);
  ASSERT_EQ(omx, before + 1);
  a_oj_item& item = unit_->oj.list[omx - 1];
  EXPECT_EQ(item.kind, TEXT_BLOCK);
  const a_om_rec* om = item.om;
  char str[64];
  OM_To_Str(om, str, sizeof str);
  EXPECT_STREQ(str, "Track 1T");  // nine units, the line feed dropped
  EXPECT_EQ(om->radius, 60);
  EXPECT_EQ(om->rotcenter, (Point{kCentre, 600}));
  EXPECT_EQ(om->fontx, mono_);
  EXPECT_EQ(om->size, 24);
  EXPECT_EQ(om->targwidth, NEW_TEXT_TARGWIDTH);
  EXPECT_EQ(om->cache.progress, Progress_Bit(READY_COORD));
  EXPECT_EQ(om->xyl[0].mm_x, 200);
  // The default place: centred, a quarter down; after a source, below it.
  Point centre, anchor;
  int16 radius;
  Calc_New_Anchor(0, centre, anchor, radius);
  EXPECT_EQ(centre, (Point{kCentre, kCentre}));
  EXPECT_EQ(anchor, (Point{354, kCentre}));
  EXPECT_EQ(radius, SLIDER_VALUES[TEXT_RADIUS_SLIDER].defaultval);
  Calc_New_Anchor(omx, centre, anchor, radius);
  Rect box;
  OM_NetBox(om, box);
  EXPECT_EQ(anchor, (Point{int16(300 + box.bottom - box.top), 200}));
  EXPECT_EQ(radius, 50);
  EXPECT_EQ(centre, om->rotcenter);
  // Breaks come out as line ends.
  const std::u16string two = u"A\rB";
  const int32 omx2 = New(two);
  OM_To_Str(Om(omx2), str, sizeof str);
  EXPECT_STREQ(str, "A\nB");
}

TEST_F(TextObjects, TypedAndPastedTextsFollowTheSelectedOne) {
  const int32 styled = New(u"Title", LAYOUT_CIRC_CCW);
  Om(styled)->boldf = true;
  Om(styled)->size = 30;
  Selection_Set1(styled);
  // A click with the text tool: an empty text in that style, to be typed into.
  Text_New_At(Point{500, 400});
  const int32 at = unit_->oj.nlist;
  ASSERT_EQ(at, styled + 1);
  EXPECT_EQ(Om(at)->nxyl, 1);
  EXPECT_EQ(Om(at)->anchor, (Point{500, 400}));
  EXPECT_TRUE(Om(at)->boldf);
  EXPECT_EQ(Om(at)->size, 30);
  EXPECT_EQ(Om(at)->layout, LAYOUT_CIRC_CCW);
  EXPECT_TRUE(g_ed.edit_new);
  EXPECT_TRUE(Is_Obj_Selected(at));
  // Pasted text outside an edit: a new text placed below the selected one.
  gs.txedit_phase = TXEDIT_MOVE;
  Selection_Set1(styled);
  const char pasted[] = "Track 1";
  ASSERT_TRUE(Text_Inject_Roman(pasted, 7));
  const int32 omx = unit_->oj.nlist;
  ASSERT_EQ(omx, at + 1);
  char str[16];
  OM_To_Str(Om(omx), str, sizeof str);
  EXPECT_STREQ(str, "Track 1");
  EXPECT_EQ(Om(omx)->radius, Om(styled)->radius - 10);
  EXPECT_TRUE(Is_Obj_Selected(omx));
  EXPECT_FALSE(Is_Obj_Selected(styled));
}

TEST_F(TextObjects, AFullListTakesNoText) {
  while (unit_->oj.nlist < MAX_OJ) New(u"x");
  int32 omx = 7;
  const std::u16string text = u"more";
  Text_New4(omx, reinterpret_cast<const UniChar*>(text.data()), 4, 95, Point{0, 0}, Point{0, 0}, false);
  EXPECT_EQ(omx, 0);
  EXPECT_EQ(unit_->oj.nlist, MAX_OJ);
  EXPECT_FALSE(Text_Inject_Unicode(reinterpret_cast<const UniChar*>(text.data()), 4));
  OM_Dup(Om(2));
  EXPECT_EQ(unit_->oj.nlist, MAX_OJ);
}

TEST_F(TextObjects, SettingsGoToTheSlidersAndBack) {
  const int32 omx = New(u"ABC");
  a_om_rec* om = Om(omx);
  om->layout = LAYOUT_VERT;
  om->justify = JUST_RIGHT;
  om->hspacing = 150;
  om->skew_h = 30;
  om->glowf = true;
  om->glow_radius = 25;
  om->polarangle = -45;
  OM_To_Sliders(om);
  EXPECT_EQ(gs.grid_vals[TEXT_VJUST_GRID], JUST_RIGHT);
  EXPECT_EQ(gs.slider_vals[TEXT_HSPACING_SLIDER], 150);
  EXPECT_EQ(gs.slider_vals[TEXT_GLOW_RADIUS_SLIDER], 25);
  EXPECT_TRUE(gs.toggle_vals[TEXT_GLOW_TOGGLE]);
  a_om_rec& back = *OM_Copy(om);
  made_.push_back(&back);
  back.hspacing = back.skew_h = back.glow_radius = back.polarangle = 0;
  back.glowf = false;
  Sliders_To_OM(&back);
  EXPECT_EQ(back.layout, LAYOUT_VERT);
  EXPECT_EQ(back.justify, JUST_RIGHT);
  EXPECT_EQ(back.hspacing, 150);
  EXPECT_EQ(back.skew_h, 30);
  EXPECT_EQ(back.glow_radius, 25);
  EXPECT_EQ(back.polarangle, -45);
  EXPECT_TRUE(back.glowf);
  EXPECT_EQ(back.cache.progress, 0);
  // The contour layout shows left and right only; the size is held to the
  // layout's largest.
  om->layout = LAYOUT_CONTOUR;
  om->justify = JUST_CENTER;
  OM_To_Sliders(om);
  EXPECT_EQ(gs.grid_vals[TEXT_CJUST_GRID], 0);
  gs.grid_vals[TEXT_CJUST_GRID] = 1;
  gs.grid_vals[TEXT_LAYOUT_GRID] = LAYOUT_SPIRAL_CW;
  gs.slider_vals[TEXT_SIZE_SLIDER] = 200;
  Sliders_To_OM(&back);
  EXPECT_EQ(back.size, 72);
  EXPECT_EQ(gs.slider_vals[TEXT_SIZE_SLIDER], 72);
  gs.grid_vals[TEXT_LAYOUT_GRID] = LAYOUT_CONTOUR;
  Sliders_To_OM(&back);
  EXPECT_EQ(back.justify, JUST_RIGHT);
}

TEST_F(TextObjects, JustifyingAStraightTextKeepsItInPlace) {
  const int32 omx = New(u"ABCD\rEF");
  a_om_rec* om = Om(omx);
  om->lineangle = 300;
  OM_Recalc(om, 1);
  const a_xyl_char first = om->xyl[0];
  Set_Text_Block_HJust(om, omx, JUST_CENTER);
  EXPECT_EQ(om->cache.progress, 0);
  OM_Recalc(om, 1);
  EXPECT_NEAR(om->xyl[0].mm_x, first.mm_x, 1);
  EXPECT_NEAR(om->xyl[0].mm_y, first.mm_y, 1);
  // The short line moves to the middle.
  EXPECT_NEAR(om->xyl[5].mm_x, first.mm_x + kAdvance * std::cos(M_PI / 6) + kLine * std::sin(M_PI / 6), 1);
}

TEST_F(TextObjects, MovesByLayout) {
  // Straight: free moves; a move of nothing changes nothing.
  const int32 straight = New(u"AB");
  Text_Move_XY(straight, 0, 0);
  Text_Move_XY(straight, 15, -20);
  EXPECT_EQ(Om(straight)->anchor, (Point{280, 215}));
  EXPECT_EQ(Om(straight)->xyl[0].mm_x, 215);
  Text_AlignTo(Point{-10000, 500}, straight);
  EXPECT_EQ(Om(straight)->anchor, (Point{280, 500}));
  // What is rendered again reaches as far as the glow, before and after.
  Om(straight)->glowf = true;
  Om(straight)->glow_radius = 20;
  OM_Recalc(Om(straight), 1);
  const Rect before = Om(straight)->bbox;
  unit_->render_dirty = Rect{0, 0, 0, 0};
  Text_Move_XY(straight, 100, 0);
  const Rect after = Om(straight)->bbox;
  EXPECT_EQ(unit_->render_dirty, (Rect{before.top, before.left, after.bottom, after.right}));
  // Contour: vertical only, the anchor kept inside the circle.
  const int32 contour = New(u"AB", LAYOUT_CONTOUR);
  Text_Nudge(contour, true, 1, 1);
  EXPECT_EQ(Om(contour)->anchor, (Point{310, 200}));
  Text_Move_XY(contour, 0, 5000);
  EXPECT_EQ(Om(contour)->anchor.v, 708 + 658);
  // Circles turn: clockwise texts turn the other way; angles wrap within
  // the slider, radii are held to theirs.
  const int32 circle = New(u"AB", LAYOUT_CIRC_CW);
  Om(circle)->polarangle = 175;
  Text_Nudge(circle, false, -1, 0);
  EXPECT_EQ(Om(circle)->polarangle, 176);
  Text_Move_Polar(100, 0, Point{kCentre, kCentre}, circle);
  EXPECT_EQ(Om(circle)->polarangle, -174);
  Text_Move_Polar(0, 5000, Point{kCentre, kCentre}, circle);
  EXPECT_EQ(Om(circle)->radius, SLIDER_VALUES[TEXT_RADIUS_SLIDER].maxval);
  EXPECT_EQ(gs.slider_vals[TEXT_RADIUS_SLIDER], Om(circle)->radius);
  // A drag round the centre by a quarter turn, radius kept with Shift.
  Om(circle)->radius = 50;
  Om(circle)->polarangle = 0;
  Apply_Move_Text(Point{kCentre - 300, kCentre}, Point{kCentre, kCentre + 300}, true, true, circle);
  EXPECT_EQ(Om(circle)->polarangle, 90);
  EXPECT_EQ(Om(circle)->radius, 50);
  // A drag's preview moves only the frame: turned about the centre, or
  // offset; the final move lays the text out anew.
  const Rect frame = Frame_Bounds(*Om(circle));
  Apply_Move_Text(Point{kCentre, kCentre - 300}, Point{kCentre - 300, kCentre}, false, false, circle);
  const Rect turned = Frame_Bounds(*Om(circle));
  // A quarter turn counter-clockwise: (h, v) goes to (v, 2c - h).
  EXPECT_NEAR(turned.left, frame.top, 2);
  EXPECT_NEAR(turned.right, frame.bottom, 2);
  EXPECT_NEAR(turned.top, 2 * kCentre - frame.right, 2);
  EXPECT_NEAR(turned.bottom, 2 * kCentre - frame.left, 2);
  EXPECT_EQ(Om(circle)->polarangle, 90);
  Apply_Move_Text(Point{kCentre, kCentre - 300}, Point{kCentre - 300, kCentre}, false, true, circle);
  EXPECT_EQ(Om(circle)->polarangle, 180);
  EXPECT_EQ(Frame_Bounds(*Om(circle)), turned);
  const Rect still = Frame_Bounds(*Om(straight));
  Apply_Move_Text(Point{10, 40}, Point{0, 0}, false, false, straight);
  Apply_Move_Text(Point{20, 30}, Point{0, 0}, false, false, straight);
  EXPECT_EQ(Frame_Bounds(*Om(straight)),
            (Rect{int16(still.top + 20), int16(still.left + 30), int16(still.bottom + 20), int16(still.right + 30)}));
  // Spokes change their outer radius.
  const int32 spoke = New(u"AB", LAYOUT_SPOKE);
  Om(spoke)->spoke_outerd = 80;
  Text_Nudge(spoke, false, 0, 1);  // 5 pixels in: 0.7 per cent, rounded to 1
  EXPECT_EQ(Om(spoke)->spoke_outerd, 79);
}

TEST_F(TextObjects, FramesAreWhatHitsTheText) {
  const int32 circle = New(u"OOOO", LAYOUT_CIRC_CW);
  a_oj_part part;
  // On the characters at the top, not at the centre of the disc.
  EXPECT_TRUE(OM_Is_Inside(part, Point{130, kCentre + 60}, circle));
  EXPECT_EQ(part, DRAG_PART);
  EXPECT_FALSE(OM_Is_Inside(part, Point{kCentre, kCentre}, circle));
  EXPECT_EQ(part, OUTSIDE_PART);
  // Every spoke has an outline of its own.
  const int32 spokes = New(u"A\rB\rC\rD", LAYOUT_SPOKE);
  const Point right{kCentre, kCentre + 400}, down{kCentre + 400, kCentre}, left{kCentre, kCentre - 400};
  EXPECT_TRUE(OM_Is_Inside(part, right, spokes));
  EXPECT_TRUE(OM_Is_Inside(part, down, spokes));
  EXPECT_TRUE(OM_Is_Inside(part, left, spokes));
  EXPECT_FALSE(OM_Is_Inside(part, Point{kCentre + 283, kCentre + 283}, spokes));
}

}  // namespace
