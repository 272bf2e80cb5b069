// The layout catalogue: expansion of telling layouts (numbering down the
// columns and row by row, staggered rows, pitch as a gap, bleeds on the
// outside of a grid, inches), real sheets against the makers' published
// millimetres, the refusals of bad entries, the whole table (every entry
// expands, stays on its paper, is ordered, keeps one maker code per brand),
// paper names, displayed names and brands, and the kind names.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "TestSupport.h"
#include "platform/VoskDef.h"
#include "doc/VoskDoc.h"
#include "doc/VoskTmpl.h"
#include "platform/Resources.h"
#include "platform/SysUnicode.h"
#include "ui/VoskAskDesign.h"

namespace {

constexpr uint32 Bit(uint32 b) { return uint32(1) << b; }
constexpr float kIn = 25.4f;

a_cunit Section(uint8 kind, uint32 nx, uint32 ny, float left, float top, float w, float h, float px, float py) {
  a_cunit u{};
  u.kind = kind;
  u.nx = nx;
  u.ny = ny;
  u.bboxleft = left;
  u.bboxtop = top;
  u.bboxwidth = w;
  u.bboxheight = h;
  u.pitchx = px;
  u.pitchy = py;
  return u;
}

a_ctemplate Entry(const char* label, uint32 tflags, float pw, float ph) {
  a_ctemplate c{};
  std::strncpy(c.label, label, sizeof c.label - 1);
  c.tflags = tflags;
  c.papersize = {pw, ph};
  return c;
}

void Add(a_ctemplate& c, const a_cunit& u) { c.units[c.nunits++] = u; }

a_template Expand_Ok(const a_ctemplate& c) {
  a_template x{};
  EXPECT_EQ(Expand_Template(c, x), EXPAND_OK) << c.label;
  return x;
}

void Expect_Box(const a_unit& u, float left, float top, float w, float h, const char* what) {
  EXPECT_NEAR(u.bbox.left, left, 0.01) << what;
  EXPECT_NEAR(u.bbox.top, top, 0.01) << what;
  EXPECT_NEAR(u.bbox.right - u.bbox.left, w, 0.01) << what;
  EXPECT_NEAR(u.bbox.bottom - u.bbox.top, h, 0.01) << what;
}

// The catalogue entry with this label (its 1-based index in *index).
bool Find(const char* label, a_ctemplate& c, uint32* index = nullptr) {
  for (uint32 i = 1; i <= NTEMPLATES; ++i) {
    Get_CTemplate(i, c);
    if (std::strncmp(c.label, label, sizeof c.label) == 0) {
      if (index) *index = i;
      return true;
    }
  }
  return false;
}


// --- Telling layouts -------------------------------------------------------------

TEST(Expansion, PlainGridIsNumberedDownEachColumn) {
  // A 3 x 6 sheet of 63.5 x 42.33 mm labels with 2 mm bleeds.
  a_ctemplate c = Entry("Avery 6079", 0, 210, 297);
  a_cunit u = Section(UNIT_RECT, 3, 6, 7.21f, 10.87f, 63.5f, 42.33f, 66.04f, 46.56f);
  u.bleedleft = u.bleedtop = u.bleedright = u.bleedbottom = 2;
  Add(c, u);
  const a_template x = Expand_Ok(c);
  ASSERT_EQ(x.nunits, 18u);
  EXPECT_STREQ(x.label, "Avery 6079");
  Expect_Box(x.units[0], 7.21f, 10.87f, 63.5f, 42.33f, "unit 1: column 1, row 1");
  Expect_Box(x.units[1], 7.21f, 10.87f + 46.56f, 63.5f, 42.33f, "unit 2: column 1, row 2");
  Expect_Box(x.units[6], 7.21f + 66.04f, 10.87f, 63.5f, 42.33f, "unit 7: column 2, row 1");
  Expect_Box(x.units[17], 7.21f + 2 * 66.04f, 10.87f + 5 * 46.56f, 63.5f, 42.33f, "unit 18");
  for (uint32 i = 0; i < x.nunits; ++i) {
    EXPECT_EQ(x.units[i].bleed.left, 2.0f);
    EXPECT_EQ(x.units[i].bleed.bottom, 2.0f);
    EXPECT_EQ(x.units[i].viewangle, 0);
  }
}

TEST(Expansion, ShortOddStaggeredRowsGoRowByRowAndShift) {
  // Two rows of hub labels in inches: 3 per long row, 2 per short row, each
  // row's units two steps apart, short rows shifted by one step.
  a_ctemplate c = Entry("Compulabel 312862", Bit(IS_INCHES), 215.9f, 279.4f);
  for (float top : {0.604f, 6.132f}) {
    a_cunit u = Section(UNIT_CD_CORE, 3, 5, 0.687f, top, 1.29f, 1.29f, 1.457f, 0.743f);
    u.uflags = Bit(UNIT_STAGGERED) | Bit(UNIT_SHORTODD);
    Add(c, u);
  }
  const a_template x = Expand_Ok(c);
  ASSERT_EQ(x.nunits, 26u);  // (3 + 2 + 3 + 2 + 3) per section
  const float step = 1.457f * kIn, d = 1.29f * kIn;
  Expect_Box(x.units[0], 0.687f * kIn, 0.604f * kIn, d, d, "row 1, first");
  Expect_Box(x.units[1], 0.687f * kIn + 2 * step, 0.604f * kIn, d, d, "row 1, second");
  Expect_Box(x.units[2], 0.687f * kIn + 4 * step, 0.604f * kIn, d, d, "row 1, third");
  Expect_Box(x.units[3], 0.687f * kIn + step, (0.604f + 0.743f) * kIn, d, d, "row 2, first (shifted)");
  Expect_Box(x.units[4], 0.687f * kIn + 3 * step, (0.604f + 0.743f) * kIn, d, d, "row 2, second");
  Expect_Box(x.units[5], 0.687f * kIn, (0.604f + 2 * 0.743f) * kIn, d, d, "row 3, first");
  Expect_Box(x.units[13], 0.687f * kIn, 6.132f * kIn, d, d, "second section, first");
  EXPECT_EQ(x.units[13].kind, UNIT_CD_CORE);
}

TEST(Expansion, PitchBetweenIsTheGapAndPerimeterBleedStaysOutside) {
  // Four J-cards on a turned letter sheet, 1 in apart, bleeding only on the
  // outside of the grid; the bleeds stay millimetres in an inch entry.
  a_ctemplate c = Entry("Ace 177 series", Bit(IS_PITCHBETWEEN) | Bit(IS_INCHES) | Bit(IS_LANDSCAPE), 215.9f, 279.4f);
  a_cunit u = Section(UNIT_AUDIO_JCARD, 2, 2, 1, 0.25f, 4, 4, 1, 0);
  u.uflags = Bit(UNIT_PERIMETERBLEED);
  u.bleedleft = 1;
  u.bleedtop = 2;
  u.bleedright = 3;
  u.bleedbottom = 4;
  u.meas1 = 2.5f;
  u.meas2 = 0.5f;
  Add(c, u);
  const a_template x = Expand_Ok(c);
  ASSERT_EQ(x.nunits, 4u);
  Expect_Box(x.units[0], 25.4f, 6.35f, 101.6f, 101.6f, "column 1, row 1");
  Expect_Box(x.units[1], 25.4f, 6.35f + 101.6f, 101.6f, 101.6f, "column 1, row 2");
  Expect_Box(x.units[2], 25.4f + 127.0f, 6.35f, 101.6f, 101.6f, "column 2: one width and the 1 in gap on");
  EXPECT_NEAR(x.units[0].meas[0], 63.5, 1e-4);
  EXPECT_NEAR(x.units[0].meas[1], 12.7, 1e-4);
  struct Want {
    float l, t, r, b;
  };
  const Want want[4] = {{1, 2, 0, 0}, {1, 0, 0, 4}, {0, 2, 3, 0}, {0, 0, 3, 4}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(x.units[i].bleed.left, want[i].l) << i;
    EXPECT_EQ(x.units[i].bleed.top, want[i].t) << i;
    EXPECT_EQ(x.units[i].bleed.right, want[i].r) << i;
    EXPECT_EQ(x.units[i].bleed.bottom, want[i].b) << i;
  }
  // PLUSH keeps the side bleeds on every unit, PLUSV the top and bottom ones.
  c.units[0].uflags = Bit(UNIT_PERIMETERPLUSH);
  a_template h = Expand_Ok(c);
  EXPECT_EQ(h.units[2].bleed.left, 1.0f);
  EXPECT_EQ(h.units[0].bleed.right, 3.0f);
  EXPECT_EQ(h.units[0].bleed.bottom, 0.0f);
  c.units[0].uflags = Bit(UNIT_PERIMETERPLUSV);
  a_template v = Expand_Ok(c);
  EXPECT_EQ(v.units[0].bleed.bottom, 4.0f);
  EXPECT_EQ(v.units[1].bleed.top, 2.0f);
  EXPECT_EQ(v.units[2].bleed.left, 0.0f);
}

TEST(Expansion, PerimeterBleedOnShortRowsEndsAtTheShortRowsLastUnit) {
  a_ctemplate c = Entry("short", 0, 210, 297);
  a_cunit u = Section(UNIT_CIRCLE, 3, 2, 10, 10, 40, 40, 50, 45);
  u.uflags = Bit(UNIT_SHORTODD) | Bit(UNIT_PERIMETERBLEED);
  u.bleedleft = u.bleedright = 2;
  Add(c, u);
  const a_template x = Expand_Ok(c);
  ASSERT_EQ(x.nunits, 5u);
  EXPECT_EQ(x.units[2].bleed.right, 2.0f);  // row 1, column 3
  EXPECT_EQ(x.units[4].bleed.right, 2.0f);  // row 2 has two: its second is the last
  EXPECT_EQ(x.units[3].bleed.right, 0.0f);
}

TEST(Expansion, InchEntryConvertsBoxesAndMeasuresButNotBleeds) {
  a_ctemplate c = Entry("@A (Letter)", Bit(IS_INCHES), 215.9f, 279.4f);
  a_cunit u = Section(UNIT_RECT, 1, 1, 0, 0, 8.5f, 11, 0, 0);
  u.bleedleft = 2;
  u.meas1 = 0.5f;
  Add(c, u);
  const a_template x = Expand_Ok(c);
  ASSERT_EQ(x.nunits, 1u);
  Expect_Box(x.units[0], 0, 0, 215.9f, 279.4f, "whole letter page");
  EXPECT_EQ(x.units[0].bleed.left, 2.0f);
  EXPECT_NEAR(x.units[0].meas[0], 12.7, 1e-4);
  EXPECT_EQ(x.papersize.x, 215.9f);
}

TEST(Expansion, SingleColumnWithHorizontalPitchRunsDiagonally) {
  // Kept for entries that mean it; the converted sheets carry pitch 0 there.
  a_ctemplate c = Entry("diagonal", 0, 210, 297);
  Add(c, Section(UNIT_CD, 1, 2, 10, 10, 100, 100, 74, 141));
  const a_template x = Expand_Ok(c);
  ASSERT_EQ(x.nunits, 2u);
  EXPECT_NEAR(x.units[1].bbox.left, 84, 1e-4);
  EXPECT_NEAR(x.units[1].bbox.top, 151, 1e-4);
}

// --- Real sheets against the makers' figures --------------------------------------

TEST(RealSheets, AveryL7163MatchesAverysSheet) {
  // Avery L7163: 14 labels of 99.1 x 38.1 mm on A4, side margins 4.65 mm,
  // top 15.15 mm, horizontal pitch 101.6 mm, vertical pitch 38.1 mm.
  a_ctemplate c;
  ASSERT_TRUE(Find("Avery L7163", c));
  const a_template x = Expand_Ok(c);
  ASSERT_EQ(x.nunits, 14u);
  EXPECT_EQ(x.papersize.x, 210.0f);
  EXPECT_EQ(x.papersize.y, 297.0f);
  for (uint32 i = 0; i < 14; ++i) {
    const float col = float(i / 7), row = float(i % 7);
    Expect_Box(x.units[i], 4.65f + col * 101.6f, 15.15f + row * 38.1f, 99.1f, 38.1f, "L7163 label");
    EXPECT_EQ(x.units[i].kind, UNIT_RECT);
  }
  EXPECT_NEAR(210.0f - x.units[13].bbox.right, 4.65, 0.01) << "right margin";
  EXPECT_NEAR(297.0f - x.units[13].bbox.bottom, 15.15, 0.03) << "bottom margin";
}

TEST(RealSheets, Avery5160MatchesAverysSheet) {
  // Avery 5160: 30 labels of 2 5/8 x 1 in on letter, top margin 1/2 in, side
  // margins 3/16 in, pitch 2 3/4 x 1 in.
  a_ctemplate c;
  ASSERT_TRUE(Find("Avery 5160", c));
  const a_template x = Expand_Ok(c);
  ASSERT_EQ(x.nunits, 30u);
  for (uint32 i = 0; i < 30; ++i) {
    const float col = float(i / 10), row = float(i % 10);
    Expect_Box(x.units[i], (0.1875f + col * 2.75f) * kIn, (0.5f + row) * kIn, 2.625f * kIn, kIn, "5160 label");
  }
  EXPECT_NEAR(215.9f - x.units[29].bbox.right, 0.1875 * 25.4, 0.01);
}

TEST(RealSheets, AveryL7676HasTwoDiscsOneAboveTheOther) {
  // Avery L7676: two 117 mm discs on A4, centred across the sheet (46.5 mm
  // from each side), 22 mm from the top, 137 mm apart; the package's
  // sideways pitch on its single column must not move the second disc.
  a_ctemplate c;
  ASSERT_TRUE(Find("Avery L7676", c));
  const a_template x = Expand_Ok(c);
  ASSERT_EQ(x.nunits, 2u);
  Expect_Box(x.units[0], 46.5f, 22, 117, 117, "first disc");
  Expect_Box(x.units[1], 46.5f, 159, 117, 117, "second disc");
  EXPECT_EQ(x.units[0].kind, UNIT_CD);
  EXPECT_GT(x.units[0].meas[0], 10.0f) << "the centre hole";
}

TEST(RealSheets, DiscAndSpineSheetMergesIntoOneEntry) {
  // Avery 5931: two 4 5/8 in discs and four 7/32 x 4 11/16 in spine labels on
  // one letter sheet, one entry with two sections; its alias 8931 the same.
  a_ctemplate c;
  ASSERT_TRUE(Find("Avery 5931", c));
  EXPECT_EQ(c.nunits, 2u);
  const a_template x = Expand_Ok(c);
  ASSERT_EQ(x.nunits, 6u);
  EXPECT_EQ(x.units[0].kind, UNIT_CD);
  EXPECT_EQ(x.units[1].kind, UNIT_CD);
  Expect_Box(x.units[0], 49.2125f, 17.4625f, 4.625f * kIn, 4.625f * kIn, "first disc");
  EXPECT_NEAR(x.units[0].meas[0], 1.625 * 25.4, 0.01) << "1 5/8 in hole";
  for (uint32 i = 2; i < 6; ++i) {
    EXPECT_EQ(x.units[i].kind, UNIT_JEWEL_SPINE);
    EXPECT_NEAR(x.units[i].bbox.right - x.units[i].bbox.left, 0.21875 * 25.4, 0.01);
    EXPECT_NEAR(x.units[i].bbox.bottom - x.units[i].bbox.top, 4.6875 * 25.4, 0.01);
  }
  a_ctemplate alias;
  ASSERT_TRUE(Find("Avery 8931", alias));
  EXPECT_EQ(std::memcmp(&alias.units, &c.units, sizeof c.units), 0);
  a_ctemplate member;
  EXPECT_FALSE(Find("Avery 5931-Spine", member)) << "the members make no entries of their own";
}

TEST(RealSheets, CanonTrayPrintsStraightOntoTheDisc) {
  // The Canon type J disc tray: 135 x 295 mm, one 118 mm disc face with a
  // 22 mm hole, 5.6 mm from the side and 58.5 mm from the top.
  a_ctemplate c;
  ASSERT_TRUE(Find("Canon Type J Tray", c));
  const a_template x = Expand_Ok(c);
  ASSERT_EQ(x.nunits, 1u);
  EXPECT_EQ(x.papersize.x, 135.0f);
  EXPECT_EQ(x.papersize.y, 295.0f);
  Expect_Box(x.units[0], 5.6f, 58.5f, 118, 118, "disc");
  EXPECT_NEAR(x.units[0].meas[0], 22, 1e-4);
  EXPECT_EQ(Calc_Direct_Print_KindT(x), CD_DIRECT);
  a_ctemplate alias;
  EXPECT_TRUE(Find("Canon MG6300 CD Tray", alias));
}

TEST(RealSheets, BusinessCardDiscsLieOnTheTurnedPageWhereThePackagePutsThem) {
  // Online Labels OL5575: nine business-card disc labels on letter, a
  // 3.0615 in disc cut to 2.322 in at its sides, its 0.3345 in hole, the
  // first 0.52 in from the left and 0.64 in from the top, pitch 2.5695 x
  // 3.3292 in. Read on the page turned a quarter counter-clockwise (the
  // portrait top edge on the left, as landscape layouts print) each is a
  // disc cut at the top and bottom, and turned back lies on a label of the
  // package.
  a_ctemplate c;
  ASSERT_TRUE(Find("Online_Labels OL5575", c));
  EXPECT_NE(c.tflags & Bit(IS_LANDSCAPE), 0u);
  const a_template x = Expand_Ok(c);
  ASSERT_EQ(x.nunits, 9u);
  std::set<std::pair<int, int>> found;
  for (uint32 i = 0; i < 9; ++i) {
    const a_unit& u = x.units[i];
    EXPECT_EQ(u.kind, UNIT_MINICD_HOCKEY);
    EXPECT_NEAR(u.bbox.right - u.bbox.left, 3.0615 * kIn, 0.01) << "the disc across";
    EXPECT_NEAR(u.bbox.bottom - u.bbox.top, 2.322 * kIn, 0.01) << "cut to the card";
    EXPECT_NEAR(u.meas[0], 2 * 0.3345 * kIn, 0.01) << "the hole, 0.3345 in across its radius";
    // Back on the portrait sheet: left = width - bottom, top = left.
    const double pl = 215.9 - u.bbox.bottom, pt = u.bbox.left;
    const double col = (pl / kIn - 0.52) / 2.5695, row = (pt / kIn - 0.64) / 3.3292;
    EXPECT_NEAR(col, std::round(col), 0.005) << "unit " << i + 1;
    EXPECT_NEAR(row, std::round(row), 0.005) << "unit " << i + 1;
    found.insert({int(std::lround(col)), int(std::lround(row))});
  }
  EXPECT_EQ(found.size(), 9u) << "every label of the sheet once";
}

TEST(RealSheets, AlternatingRowsOfDiscsAreOneStaggeredGrid) {
  // SheetLabels SL113: three discs in a zigzag on letter (7, 7), (94, 82.5),
  // (7, 158) mm, their boxes overlapping, so each prints clipped to its
  // circle. Meritline 176-020-001: five 78 mm discs, two, one between, two;
  // the middle one within half a millimetre of the package's place.
  struct Want {
    const char* label;
    uint32 uflags;
    std::vector<std::pair<float, float>> at;
    float slack;
  };
  const Want wants[] = {
      {"SheetLabels SL113", Bit(UNIT_STAGGERED) | Bit(UNIT_CLOBBERS), {{7, 7}, {94, 82.5f}, {7, 158}}, 0.01f},
      {"Meritline 176-020-001",
       Bit(UNIT_STAGGERED) | Bit(UNIT_SHORTODD),
       {{17.0744f, 16.7922f}, {122.7313f, 16.7922f}, {69.6031f, 102.1292f}, {17.0744f, 186.6547f},
        {122.7313f, 186.6547f}},
       0.5f},
  };
  for (const Want& w : wants) {
    a_ctemplate c;
    ASSERT_TRUE(Find(w.label, c)) << w.label;
    ASSERT_EQ(c.nunits, 1u) << w.label;
    EXPECT_EQ(c.units[0].uflags, w.uflags) << w.label;
    const a_template x = Expand_Ok(c);
    ASSERT_EQ(x.nunits, w.at.size()) << w.label;
    for (uint32 i = 0; i < x.nunits; ++i) {
      EXPECT_NEAR(x.units[i].bbox.left, w.at[i].first, w.slack) << w.label << " unit " << i + 1;
      EXPECT_NEAR(x.units[i].bbox.top, w.at[i].second, w.slack) << w.label << " unit " << i + 1;
    }
  }
}

// --- Refusals ---------------------------------------------------------------------

TEST(Expansion, RefusesBadEntriesAndLeavesTheLayoutAlone) {
  struct Case {
    const char* what;
    void (*spoil)(a_ctemplate&);
    a_expand_result want;
  };
  const Case cases[] = {
      {"no section", [](a_ctemplate& c) { c.nunits = 0; }, EXPAND_BAD_NSECTIONS},
      {"seven sections", [](a_ctemplate& c) { c.nunits = 7; }, EXPAND_BAD_NSECTIONS},
      {"huge section count", [](a_ctemplate& c) { c.nunits = 0xFFFFFFFFu; }, EXPAND_BAD_NSECTIONS},
      {"no columns", [](a_ctemplate& c) { c.units[0].nx = 0; }, EXPAND_EMPTY_GRID},
      {"no rows", [](a_ctemplate& c) { c.units[1].ny = 0; }, EXPAND_EMPTY_GRID},
      {"251 units", [](a_ctemplate& c) { c.units[0].ny = 249; }, EXPAND_BAD_COUNT},
      {"a product past 32 bits", [](a_ctemplate& c) { c.units[0].nx = c.units[0].ny = 0x10000u; }, EXPAND_BAD_COUNT},
      {"counts whose sum wraps round",
       [](a_ctemplate& c) {
         // (2^32 - 1)^2 + 3 * 0xAAAAAAAB is 2^64 + 2: 2 in 64 bits.
         c.units[0].nx = c.units[0].ny = 0xFFFFFFFFu;
         c.units[1].nx = 3;
         c.units[1].ny = 0xAAAAAAABu;
       },
       EXPAND_BAD_COUNT},
      {"short rows counted",
       [](a_ctemplate& c) {
         // 16 x 16 short-odd: 8 * 16 + 8 * 15 = 248 units, plus the 2 of section 2 is 250.
         c.units[0].nx = c.units[0].ny = 16;
         c.units[0].uflags = Bit(UNIT_SHORTODD);
         c.units[0].bboxwidth = c.units[0].bboxheight = c.units[0].pitchx = c.units[0].pitchy = 1;
       },
       EXPAND_OK},
      {"one more short-odd row",
       [](a_ctemplate& c) {
         c.units[0].nx = 16;
         c.units[0].ny = 17;
         c.units[0].uflags = Bit(UNIT_SHORTODD);
         c.units[0].bboxwidth = c.units[0].bboxheight = c.units[0].pitchx = c.units[0].pitchy = 1;
       },
       EXPAND_BAD_COUNT},
      {"kind 70", [](a_ctemplate& c) { c.units[1].kind = 70; }, EXPAND_BAD_KIND},
      {"zero width", [](a_ctemplate& c) { c.units[0].bboxwidth = 0; }, EXPAND_BAD_SIZE},
      {"negative height", [](a_ctemplate& c) { c.units[1].bboxheight = -5; }, EXPAND_BAD_SIZE},
      {"NaN left", [](a_ctemplate& c) { c.units[0].bboxleft = std::numeric_limits<float>::quiet_NaN(); },
       EXPAND_BAD_SIZE},
      {"infinite pitch", [](a_ctemplate& c) { c.units[0].pitchy = std::numeric_limits<float>::infinity(); },
       EXPAND_BAD_SIZE},
      {"NaN measure", [](a_ctemplate& c) { c.units[1].meas4 = std::numeric_limits<float>::quiet_NaN(); },
       EXPAND_BAD_SIZE},
      {"inches overflowing", [](a_ctemplate& c) {
         c.tflags |= Bit(IS_INCHES);
         c.units[0].meas1 = 3e38f;
       }, EXPAND_BAD_SIZE},
      {"zero paper", [](a_ctemplate& c) { c.papersize.x = 0; }, EXPAND_BAD_SIZE},
      {"NaN paper", [](a_ctemplate& c) { c.papersize.y = std::numeric_limits<float>::quiet_NaN(); },
       EXPAND_BAD_SIZE},
      {"paper past print coordinates", [](a_ctemplate& c) { c.papersize.y = 1000.5f; }, EXPAND_TOO_LARGE},
      {"unit past print coordinates", [](a_ctemplate& c) { c.units[1].bboxleft = 950; c.units[1].bboxwidth = 100; },
       EXPAND_TOO_LARGE},
      {"grid running past print coordinates", [](a_ctemplate& c) { c.units[0].pitchy = 900; }, EXPAND_TOO_LARGE},
      {"bleed past print coordinates", [](a_ctemplate& c) { c.units[0].bleedleft = 1100; }, EXPAND_TOO_LARGE},
      {"negative bleed", [](a_ctemplate& c) { c.units[1].bleedbottom = -0.5f; }, EXPAND_NEGATIVE_BLEED},
      {"disc printer starting with a rectangle",
       [](a_ctemplate& c) {
         c.tflags |= Bit(IS_CDPRINTER);
         c.units[0].kind = UNIT_RECT;
       },
       EXPAND_NOT_DISC},
      {"disc printer starting with a disc",
       [](a_ctemplate& c) {
         c.tflags |= Bit(IS_CDPRINTER);
         c.units[0].kind = UNIT_MINICD_HOCKEY;
       },
       EXPAND_OK},
  };
  for (const Case& k : cases) {
    a_ctemplate c = Entry("refusals", 0, 210, 297);
    Add(c, Section(UNIT_CD, 1, 2, 10, 10, 100, 100, 0, 110));
    Add(c, Section(UNIT_RECT, 2, 1, 120, 10, 20, 100, 25, 0));
    k.spoil(c);
    a_template x{};
    x.nunits = 77;
    x.label[0] = 'K';
    const a_expand_result r = Expand_Template(c, x);
    EXPECT_EQ(r, k.want) << k.what;
    if (r != EXPAND_OK) {
      EXPECT_EQ(x.nunits, 77u) << k.what << ": a refused entry leaves the layout as it was";
      EXPECT_EQ(x.label[0], 'K') << k.what;
      EXPECT_GT(std::strlen(Expand_Result_Text(r)), 10u);
    }
  }
}

TEST(Expansion, LabelIsReadWithinItsThirtyTwoBytes) {
  a_ctemplate c = Entry("", 0, 210, 297);
  std::memset(c.label, 'Q', sizeof c.label);  // no terminator
  Add(c, Section(UNIT_RECT, 1, 1, 0, 0, 10, 10, 0, 0));
  const a_template x = Expand_Ok(c);
  EXPECT_EQ(std::strlen(x.label), 31u);
  EXPECT_EQ(x.label[30], 'Q');
}

// --- The whole table -----------------------------------------------------------------

TEST(Catalogue, EveryEntryExpandsOntoItsPaper) {
  ASSERT_GT(NTEMPLATES, 1500u);
  ASSERT_LE(NTEMPLATES, MAXNTEMPLATES);
  a_template x{};
  for (uint32 i = 1; i <= NTEMPLATES; ++i) {
    a_ctemplate c;
    ASSERT_TRUE(Get_CTemplate(i, c));
    ASSERT_EQ(Expand_Template(c, x), EXPAND_OK) << c.label;
    EXPECT_EQ(c.platforms, Bit(PLATFORM_MAC) | Bit(PLATFORM_WIN)) << c.label;
    if ((c.tflags & Bit(IS_CDPRINTER)) != 0) continue;
    const bool turned = (c.tflags & Bit(IS_LANDSCAPE)) != 0;
    const float pw = turned ? c.papersize.y : c.papersize.x, ph = turned ? c.papersize.x : c.papersize.y;
    for (uint32 k = 0; k < x.nunits; ++k) {
      const a_frect& b = x.units[k].bbox;
      ASSERT_TRUE(b.left >= -2.01f && b.top >= -2.01f && b.right <= pw + 2.01f && b.bottom <= ph + 2.01f)
          << c.label << " unit " << k + 1 << " runs off its paper";
    }
  }
}

TEST(Catalogue, IsOrderedWithOneMakerCodePerBrand) {
  std::map<std::string, std::string> code_of_brand, brand_of_code;
  a_ctemplate prev{};
  std::string last_brand;
  std::map<std::string, int> brand_runs;
  for (uint32 i = 1; i <= NTEMPLATES; ++i) {
    a_ctemplate c;
    Get_CTemplate(i, c);
    ASSERT_NE(std::memchr(c.label, 0, sizeof c.label), nullptr) << "label terminated";
    if (i > 1) {
      const int k = std::memcmp(prev.sort, c.sort, sizeof c.sort);
      EXPECT_TRUE(k < 0 || (k == 0 && std::strcmp(prev.label, c.label) < 0)) << prev.label << " before " << c.label;
    }
    char brand[32];
    Extract_Brand(c.label, brand);
    const std::string code(c.sort, 4);
    EXPECT_EQ(code_of_brand.emplace(brand, code).first->second, code) << brand;
    EXPECT_EQ(brand_of_code.emplace(code, brand).first->second, brand) << code;
    if (brand != last_brand) ++brand_runs[brand];
    last_brand = brand;
    prev = c;
  }
  for (const auto& r : brand_runs) EXPECT_EQ(r.second, 1) << "brand " << r.first << " is split in the table";
  EXPECT_GT(code_of_brand.size(), 60u);
}

TEST(Catalogue, GetCTemplateChecksItsIndex) {
  a_ctemplate c;
  std::memset(&c, 0x5A, sizeof c);
  EXPECT_FALSE(Get_CTemplate(0, c));
  EXPECT_EQ(c.nunits, 0u);
  EXPECT_EQ(c.label[0], 0);
  std::memset(&c, 0x5A, sizeof c);
  EXPECT_FALSE(Get_CTemplate(NTEMPLATES + 1, c));
  EXPECT_EQ(c.nunits, 0u);
  EXPECT_TRUE(Get_CTemplate(NTEMPLATES, c));
  EXPECT_NE(c.nunits, 0u);
}

TEST(Catalogue, HoldsTheAuthoredMediaAndLeavesOutWhatCannotBeShown) {
  struct Want {
    const char* label;
    uint8 kind;
    float w, h;
  };
  const Want wants[] = {
      {"@A (A4)", UNIT_RECT, 210, 297},
      {"@A @L (A4)", UNIT_RECT, 297, 210},
      {"_ Jewel case insert (A4)", UNIT_JEWEL_LID1, 120, 120},
      {"_ Jewel case booklet (A4)", UNIT_JEWEL_LID2, 240, 120},
      {"_ Jewel case tray card (A4)", UNIT_JEWEL_BASE, 150.8125f, 117.475f},
      {"_ DVD case wrap (A4)", UNIT_DVDBOX_WRAP, 273, 183},
      {"_ Blu-ray case wrap (A4)", UNIT_BLURAY_WRAP, 270, 149},
      {"_ Super jewel inlay (A4)", UNIT_SUPERJEWEL_INLAY, 150.5f, 199},
      {"_ Cassette J-card (Letter)", UNIT_AUDIO_JCARD, 101.6f, 101.6f},
      {"Amtren FlexLabel", UNIT_CD, 118, 118},
      {"_ Disc printer, mini disc", UNIT_MINICD_RING, 78, 78},
      {"_ Cassette J-card (A4)", UNIT_AUDIO_JCARD, 101.6f, 101.6f},
      {"_ Cassette spines (Letter)", UNIT_AUDIO_SPINE, 101.6f, 12.7f},
      {"_ Video-8/Hi8 J-card (A4)", UNIT_HI8_JCARD, 155, 98.5f},
      {"_ Slim case insert (A4)", UNIT_JEWEL_SLIMLINE, 241, 119.5f},
      {"_ Jewel case spines (A4)", UNIT_JEWEL_SPINE, 6.35f, 117.475f},
      {"_ Business cards (A4)", UNIT_VISITING, 85.6f, 53.98f},
      {"_ Business cards (Letter)", UNIT_VISITING, 88.9f, 50.8f},
      {"_ Folded business card (A4)", UNIT_VISITING2, 170, 54},
      {"_ 8 cm case insert (Letter)", UNIT_MINICD_LID1, 80, 80},
      {"_ 8 cm case booklet (A4)", UNIT_MINICD_LID2, 160, 80},
      {"_ DVD case inlet (A4)", UNIT_DVDBOX_INSERT, 115, 175},
      {"_ DVD case booklet (Letter)", UNIT_DVDBOX_INSERT2, 230, 175},
      {"_ VHS case wrap (A4)", UNIT_VHS_WRAP, 257, 197},
      {"Neato 69143", UNIT_JEWEL_LID2, 241.3f, 120.65f},  // the maker's booklet, read turned
  };
  for (const Want& w : wants) {
    a_ctemplate c;
    ASSERT_TRUE(Find(w.label, c)) << w.label;
    const a_template x = Expand_Ok(c);
    EXPECT_EQ(x.units[0].kind, w.kind) << w.label;
    EXPECT_NEAR(x.units[0].bbox.right - x.units[0].bbox.left, w.w, 0.01) << w.label;
    EXPECT_NEAR(x.units[0].bbox.bottom - x.units[0].bbox.top, w.h, 0.01) << w.label;
  }
  a_ctemplate c;
  EXPECT_FALSE(Find("Avery L4730", c)) << "270 labels";
  EXPECT_FALSE(Find("Rayfilm 3442", c)) << "270 labels";
}

// The kinds that data/layouts/unsized.txt names, each with why no layout
// holds it.
std::map<int, std::string> Unsized_Kinds() {
  // The catalogue's own spelling of the kinds, as the layout compiler reads it.
  std::map<std::string, int> by_name;
  for (int k = 0; k < int(NUNITKINDS); ++k) by_name[Emit_Unit_Kind(uint8(k))] = k;
  std::map<int, std::string> out;
  std::ifstream in(std::string(VELMOR_SOURCE_DIR) + "/data/layouts/unsized.txt");
  EXPECT_TRUE(in.good()) << "data/layouts/unsized.txt";
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string kind, why;
    words >> kind;
    std::getline(words, why);
    why.erase(0, why.find_first_not_of(' '));
    const int k = by_name.count(kind) ? by_name[kind] : 0;
    EXPECT_GT(k, 0) << "unknown kind " << kind;
    EXPECT_GT(why.size(), 10u) << kind << " without why";
    EXPECT_TRUE(out.emplace(k, why).second) << kind << " twice";
  }
  return out;
}

TEST(Catalogue, EveryKindHasALayoutOrAReasonWhyNot) {
  // A kind counts when some entry offers it in the list of kinds (a unit of
  // it without UNIT_NOTINDEXED).
  std::set<int> offered;
  for (uint32 i = 1; i <= NTEMPLATES; ++i) {
    a_ctemplate c;
    Get_CTemplate(i, c);
    for (uint32 k = 0; k < c.nunits; ++k)
      if ((c.units[k].uflags & Bit(UNIT_NOTINDEXED)) == 0) offered.insert(c.units[k].kind);
  }
  const std::map<int, std::string> unsized = Unsized_Kinds();
  EXPECT_EQ(offered.count(UNIT_EMPTY), 0u);
  for (int kind = 1; kind < int(NUNITKINDS); ++kind) {
    Str255 name{};
    GetIndString(name, 600, int16(kind + 1));
    const bool has = offered.count(kind) != 0, listed = unsized.count(kind) != 0;
    EXPECT_TRUE(has || listed) << name << " has no layout and no reason why";
    EXPECT_FALSE(has && listed) << name << " has a layout but is listed as without a published size";
  }
  // The media families this catalogue was filled out for.
  for (int kind : {UNIT_VISITING, UNIT_VISITING2, UNIT_MINICD_HOCKEY, UNIT_MINICD_RECT, UNIT_AUDIO_FACE, UNIT_AUDIO_JCARD,
                   UNIT_AUDIO_SPINE, UNIT_MD_FACE, UNIT_HI8_JCARD, UNIT_VHS_SLEEVE, UNIT_JEWEL_SLIMLINE,
                   UNIT_MINICD_LID1, UNIT_MINICD_LID2, UNIT_DVDBOX_INSERT, UNIT_DVDBOX_INSERT2, UNIT_VHS_WRAP})
    EXPECT_EQ(offered.count(kind), 1u) << "kind " << kind;
}

TEST(Catalogue, EveryUnitFlagThePrintingReadsIsOnRealStock) {
  // Each flag on a row of a real sheet or plain-paper piece.
  struct Want {
    const char* label;
    uint32 section;  // 0-based
    uint32 flag;
  };
  const Want wants[] = {
      {"Online_Labels OL5025", 1, UNIT_NOTINDEXED},     // the case label beside the discs
      {"_ Jewel case insert (A4)", 0, UNIT_CROPMARKS},  // cut from plain paper
      {"SheetLabels SL113", 0, UNIT_CLOBBERS},          // disc boxes overlapping
      {"Online_Labels OL250", 0, UNIT_PERIMETERPLUSH},  // rows touching, bleed across kept
      {"Meritline 176-020-001", 0, UNIT_STAGGERED},
      {"Online_Labels OL800", 0, UNIT_PERIMETERBLEED},  // bleeds wider than the gaps both ways
      {"Meritline 176-020-001", 0, UNIT_SHORTODD},
      {"Neato Slimline CD Case, spine", 0, UNIT_ROTATE180},
      {"Online_Labels OL5025", 2, UNIT_PERIMETERPLUSV},  // two spines side by side
      {"Online_Labels OL2319", 0, UNIT_FLIPX},           // read through the glass
  };
  for (const Want& w : wants) {
    a_ctemplate c;
    ASSERT_TRUE(Find(w.label, c)) << w.label;
    ASSERT_LT(w.section, c.nunits) << w.label;
    EXPECT_NE(c.units[w.section].uflags & Bit(w.flag), 0u) << w.label << " flag " << w.flag;
  }
  // And in the whole table, each at least once.
  uint32 all = 0;
  for (uint32 i = 1; i <= NTEMPLATES; ++i) {
    a_ctemplate c;
    Get_CTemplate(i, c);
    for (uint32 k = 0; k < c.nunits; ++k) all |= c.units[k].uflags;
  }
  for (const Want& w : wants) EXPECT_NE(all & Bit(w.flag), 0u) << "flag " << w.flag;
  // Bleeds kept off the neighbours: OL800's inner edges have none.
  a_ctemplate c;
  ASSERT_TRUE(Find("Online_Labels OL800", c));
  const a_template x = Expand_Ok(c);
  EXPECT_EQ(x.units[0].bleed.right, 0.0f);
  EXPECT_EQ(x.units[0].bleed.bottom, 0.0f);
  EXPECT_GT(x.units[0].bleed.left, 0.0f);
  EXPECT_GT(x.units[0].bleed.top, 0.0f);
}

// --- Paper names ------------------------------------------------------------------------

TEST(PaperSizes, OnlyExactSizesHaveNames) {
  struct Case {
    float w, h;
    const char* name;
  };
  const Case cases[] = {
      {215.9f, 279.4f, "US Letter"}, {215.9f, 355.6f, "US Legal"}, {279.4f, 431.8f, "11x17"},
      {297, 420, "A3"},              {210, 297, "A4"},             {148.5f, 210, "A5"},
      {105, 148.5f, "A6"},           {210, 254, "Epson Tray #1"},  {150, 270, "Epson Tray #2"},
      {210, 297.01f, ""},            {297, 210, ""},               {148, 210, ""},  // ISO A5 shows its size
      {105, 148, ""},                {0, 0, ""},
  };
  for (const Case& k : cases) {
    char s[32];
    std::memset(s, 'x', sizeof s);
    EXPECT_EQ(PaperSize_To_Str(a_fpoint{k.w, k.h}, s), k.name[0] != 0) << k.w << " x " << k.h;
    EXPECT_STREQ(s, k.name);
  }
  char small[4];
  EXPECT_TRUE(PaperSize_To_Str(a_fpoint{215.9f, 279.4f}, small));
  EXPECT_STREQ(small, "US ");
  EXPECT_TRUE(Is_Equal_PaperSize(a_fpoint{210, 297}, a_fpoint{210, 297}));
  EXPECT_FALSE(Is_Equal_PaperSize(a_fpoint{210, 297}, a_fpoint{297, 210}));
}

// --- Names --------------------------------------------------------------------------------

class Names : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    Resources_Init();
  }
  std::u16string Filter(const char* label, size_t cap = 128) {
    std::vector<UniChar> out(cap, u'#');
    Filter_Template_Name(CStrSpan(label, std::strlen(label) + 1), out);
    return std::u16string(out.data());
  }
};

TEST_F(Names, MarkersBecomeWords) {
  struct Case {
    const char* label;
    std::u16string shown;
  };
  const Case cases[] = {
      {"@A @L (A4)", u"Plain paper landscape (A4)"},
      {"@A (Letter 8@2 x 11 in)", u"Plain paper (Letter 8\u00BD x 11 in)"},
      {"Letter Paper (8@2 x 11 inches)", u"Letter Paper (8\u00BD x 11 inches)"},
      {"@A @P corner @C", u"Plain paper portrait corner corner"},
      {"Online_Labels OL9325", u"Online Labels OL9325"},
      {"_ Jewel case insert", u"  Jewel case insert"},
      {"at @X and @", u"at @X and @"},
      {"no markers at all", u"no markers at all"},
  };
  for (const Case& k : cases) EXPECT_EQ(Filter(k.label), k.shown) << k.label;
}

TEST_F(Names, DisplayedNameStopsAtTheCapacity) {
  EXPECT_EQ(Filter("@A (A4)", 6), u"Plain");
  EXPECT_EQ(Filter("abc", 1), u"");
  // A label without its terminator is read no further than 32 bytes.
  char label[40];
  std::memset(label, 'z', sizeof label);
  std::vector<UniChar> out(64, u'#');
  Filter_Template_Name(CStrSpan(label, sizeof label), out);
  EXPECT_EQ(std::u16string(out.data()).size(), 32u);
}

TEST_F(Names, BrandIsTheFirstWord) {
  struct Case {
    const char* label;
    const char* brand;
  };
  const Case cases[] = {{"Online_Labels OL5075", "Online Labels"},
                        {"Avery L7163", "Avery"},
                        {"_ Jewel case insert", " "},
                        {"@A (A4)", "@A"},
                        {"Single", "Single"}};
  for (const Case& k : cases) {
    char brand[32];
    std::memset(brand, 'x', sizeof brand);
    Extract_Brand(CStrSpan(k.label, std::strlen(k.label) + 1), brand);
    EXPECT_STREQ(brand, k.brand) << k.label;
  }
  char tiny[4];
  Extract_Brand(CStrSpan("Online_Labels X", 16), tiny);
  EXPECT_STREQ(tiny, "Onl");
}

TEST_F(Names, EveryKindHasItsName) {
  std::map<std::string, int> seen;
  for (int16 kind = 0; kind < int16(NUNITKINDS); ++kind) {
    Str255 name{};
    GetIndString(name, 600, int16(kind + 1));
    EXPECT_GT(std::strlen(name), 2u) << "kind " << kind;
    EXPECT_EQ(seen[name]++, 0) << name << " names two kinds";
  }
  Str255 name{};
  GetIndString(name, 600, 1);
  EXPECT_STREQ(name, "Empty");
  GetIndString(name, 600, UNIT_RECT + 1);
  EXPECT_STREQ(name, "Rectangle");
  GetIndString(name, 600, UNIT_VISITING + 1);
  EXPECT_STREQ(name, "Business Card");
  GetIndString(name, 600, UNIT_D5_INSERT + 1);
  EXPECT_STREQ(name, "D5 Insert");
  GetIndString(name, 600, UNIT_BLURAY_WRAP + 1);
  EXPECT_STREQ(name, "Blu-ray Wrap");
}

}  // namespace
