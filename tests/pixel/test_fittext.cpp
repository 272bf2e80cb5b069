// Fitted labels: the size steps, the shrinking until the text fits its box,
// the baselines and alignments (read from the pen, which starts where the
// text is placed and ends one width further on), clipping of UTF-16 labels,
// East Asian baselines, and the letter labels of unit numbers. Runs under
// the pinned DejaVu font configuration.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "pixel/Draw.h"
#include "pixel/TextUtil.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysRgn.h"
#include "platform/SysUnicode.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

constexpr uint32 kWhite = 0xFFFFFF;

class FitText : public ::testing::Test {
 protected:
  std::vector<GWorldPtr> worlds_;
  a_fontspec sans_{};
  GWorldPtr w_ = nullptr;

  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    Draw_Init();
    Fonts_Stop();
    Fonts_Init();
    Null_FontSpec(sans_);
    sans_.fontID = Find_Font_Name(CStrSpan("DejaVu Sans"));
    ASSERT_NE(sans_.fontID, 0u);
    w_ = World(Rect{0, 0, 120, 400});
  }
  void TearDown() override {
    while (nclipstack > 0) PopClip();
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    for (GWorldPtr& w : worlds_) Dispose_GWorld(w);
    Stop_Quickdraw();
    // Leave the font list free of the marks some tests set.
    Fonts_Stop();
  }
  GWorldPtr World(Rect bounds) {
    GWorldPtr w = nullptr;
    EXPECT_EQ(New_GWorld(bounds, 32, nullptr, w), noErr);
    worlds_.push_back(w);
    Push_GWorld(w);
    PatBlt(theHDC, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, WHITENESS);
    return w;
  }
  // Columns and rows holding ink.
  struct Ink {
    int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
  };
  Ink Inked() const {
    Ink k;
    const PixMap& pm = w_->pix;
    for (int y = pm.bounds.top; y < pm.bounds.bottom; ++y)
      for (int x = pm.bounds.left; x < pm.bounds.right; ++x) {
        uint32 v;
        std::memcpy(&v, pm.baseAddr + size_t(y) * PixMap_RowBytes(pm) + 4 * size_t(x), 4);
        if ((v & 0xFFFFFF) != kWhite) {
          k.left = std::min(k.left, x);
          k.right = std::max(k.right, x);
          k.top = std::min(k.top, y);
          k.bottom = std::max(k.bottom, y);
        }
      }
    return k;
  }
  int16 Width(const char* s, int32 size) {
    a_fontspec f = sans_;
    f.size = size;
    SetFont(f);
    return StringWidth(CStrSpan(s, std::strlen(s) + 1));
  }
  int16 UWidth(const std::u16string& s, int32 size) {
    a_fontspec f = sans_;
    f.size = size;
    return uStringWidth(CUStrSpan(s.c_str(), s.size() + 1), f);
  }
  a_font_info Info(int32 size) {
    a_fontspec f = sans_;
    f.size = size;
    SetFont(f);
    a_font_info fi{};
    Get_Font_Info(fi);
    return fi;
  }
  static Point Pen() {
    Point p;
    GetPen(p);
    return p;
  }
};

CStrSpan S(const char* s) { return CStrSpan(s, std::strlen(s) + 1); }

}  // namespace

TEST(FitTextSizes, StepsDownTheLadder) {
  const int32 eight[][2] = {{24, 18}, {18, 14}, {14, 12}, {12, 11}, {11, 10}, {10, 9}, {13, 9}, {36, 32}, {16, 12}};
  for (const auto& c : eight) EXPECT_EQ(Fit_Next_Size(c[0]), c[1]) << c[0];
  const int32 wide[][2] = {{9, 8}, {8, 7}, {7, 6}, {24, 18}, {13, 9}, {10, 9}};
  for (const auto& c : wide) EXPECT_EQ(Fit_Next_USize(c[0]), c[1]) << c[0];
}

TEST(FitTextLetters, UnitNumbersBecomeLetterLabels) {
  struct Case {
    int16 index;
    const char* label;
  } cases[] = {{1, "A"}, {25, "Y"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"},
               {250, "IP"}, {702, "ZZ"}, {703, "AAA"}, {0, ""}, {-4, ""}};
  for (const Case& c : cases) {
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    Calc_Letter_String(c.index, StrSpan(buf));
    EXPECT_STREQ(buf, c.label) << c.index;
  }
  char tiny[2] = {'x', 'x'};
  Calc_Letter_String(27, StrSpan(tiny));
  EXPECT_EQ(tiny[1], 0);  // cut to the room there is, always terminated
}

// The size drawn is the first of the ladder whose width fits; the text is
// centred on that width and lies inside the box.
TEST_F(FitText, ShrinksUntilTheTextFits) {
  const char* text = "Track list";
  const Rect box{10, 20, 60, 120};  // 100 wide
  int32 want = 24;
  while (want > 9 && Width(text, want) > 100) want = Fit_Next_Size(want);
  ASSERT_LT(want, 24) << "the box should force at least one step";
  ASSERT_GT(want, 9);
  a_fontspec f = sans_;
  f.size = 24;
  EXPECT_EQ(Draw_String_Fit(true, f, S(text), box), want);
  const int16 width = Width(text, want);
  const a_font_info fi = Info(want);
  const Point end = Pen();
  EXPECT_EQ(end.h - width, (20 + 120 - width) / 2);
  EXPECT_EQ(end.v, (10 + 60 - (fi.ascent + fi.descent)) / 2 + fi.ascent);
  const Ink k = Inked();
  EXPECT_GE(k.left, 20);
  EXPECT_LT(k.right, 120);
  EXPECT_GE(k.top, 10);
  EXPECT_LT(k.bottom, 60);
}

TEST_F(FitText, TooWideAtEverySizeIsDrawnAtNine) {
  const Rect box{0, 100, 30, 110};
  for (int32 start : {24, 13, 9}) {
    a_fontspec f = sans_;
    f.size = start;
    EXPECT_EQ(Draw_String_Fit(true, f, S("Overflowing label"), box), 9) << start;
  }
  // Centred and wider than the box: it starts left of it and overflows.
  const int16 width = Width("Overflowing label", 9);
  EXPECT_EQ(Pen().h - width, (100 + 110 - width) / 2);
  EXPECT_LT(Pen().h - width, 100);
  EXPECT_LT(Inked().left, 100);
  // Small sizes are never grown or shrunk.
  a_fontspec f = sans_;
  f.size = 5;
  EXPECT_EQ(Draw_String_Fit(false, f, S("Overflowing label"), box), 5);
  EXPECT_EQ(Pen().h - Width("Overflowing label", 5), 100);
}

TEST_F(FitText, WideLabelsAlignAndClipToTheBox) {
  const std::u16string text = u"Side A \u00e9t\u00e9";
  const CUStrSpan us(text.c_str(), text.size() + 1);
  const Rect box{20, 50, 50, 350};
  for (int16 just : {0, 1, 2, 7}) {
    a_fontspec f = sans_;
    f.size = 14;
    EXPECT_EQ(Draw_UString_Fit(just, f, us, box), 14);
    const int16 width = UWidth(text, 14);
    const int x = just == 1 ? (50 + 350 - width) / 2 : just == 2 ? 350 - width : 50;
    EXPECT_EQ(Pen().h - width, x) << just;
    EXPECT_EQ(Pen().v, (20 + 50) / 2 + 14 / 4) << just;
  }
  EXPECT_EQ(nclipstack, 0);

  // Too wide: stepped down to 6 and clipped to the box.
  PatBlt(theHDC, 0, 0, 400, 120, WHITENESS);
  const std::u16string long_text = u"A label far too long for the little box it is given";
  a_fontspec f = sans_;
  f.size = 7;
  const Rect small{40, 100, 52, 140};
  EXPECT_EQ(Draw_UString_Fit(0, f, CUStrSpan(long_text.c_str(), long_text.size() + 1), small), 6);
  const Ink k = Inked();
  EXPECT_GE(k.left, 100);
  EXPECT_LT(k.right, 140);
  EXPECT_GE(k.top, 40);
  EXPECT_LT(k.bottom, 52);
  EXPECT_GT(k.right, k.left);  // something was drawn
  // The clip the caller had is back.
  RgnHandle r = NewRgn();
  EXPECT_EQ(GetClipRgn(theHDC, r), 0);
  DisposeRgn(r);
}

// A caller that nests two clips (a unit inside a page, say) still gets its
// fitted text, clipped to the box, and its own clip back afterwards.
TEST_F(FitText, FitsInsideTwoClipsOfTheCaller) {
  PushClip(Rect{0, 0, 120, 400});
  PushClip(Rect{10, 20, 110, 300});
  const std::u16string t = u"Track list";
  a_fontspec f = sans_;
  f.size = 12;
  EXPECT_EQ(Draw_UString_Fit(0, f, CUStrSpan(t.c_str(), t.size() + 1), Rect{30, 60, 60, 200}), 12);
  const Ink k = Inked();
  EXPECT_GE(k.left, 60);
  EXPECT_LT(k.right, 200);
  EXPECT_GT(k.right, k.left);
  EXPECT_EQ(nclipstack, 2);
  RgnHandle r = NewRgn();
  GetClip(r);
  Rect box;
  Rgn_GetBounds(r, box);
  EXPECT_EQ(box, (Rect{10, 20, 110, 300}));
  DisposeRgn(r);
}

TEST_F(FitText, EastAsianFontsTakeTheirBaselineFromTheSize) {
  g_fontlist[sans_.fontID - 1].attrib |= Attrib_Bit(IS_ASIAN_FONT);
  ASSERT_TRUE(Is_Asian_Font(sans_.fontID));
  a_fontspec f = sans_;
  f.size = 18;
  const Rect box{0, 0, 40, 380};
  Draw_String_Fit(false, f, S("Disc"), box);
  const a_font_info fi = Info(18);
  EXPECT_EQ(Pen().v, (40 - (fi.ascent + fi.descent)) / 2 + 16);  // 18 x 8 div 9
  const std::u16string t = u"Disc";
  Draw_UString_Fit(0, f, CUStrSpan(t.c_str(), t.size() + 1), box);
  EXPECT_EQ(Pen().v, (40 - 18) / 2 + 16);
}

TEST_F(FitText, PlainPlacementsUseTheSelectedFont) {
  a_fontspec f = sans_;
  f.size = 16;
  SetFont(f);
  const a_font_info fi = Info(16);
  const Rect box{30, 40, 70, 240};
  const int base = (30 + 70 - (fi.ascent + fi.descent)) / 2 + fi.ascent;
  DrawStringCentered(S("Centre"), box);
  const int16 w = Width("Centre", 16);
  EXPECT_EQ(Pen().h - w, (40 + 240 - w) / 2);
  EXPECT_EQ(Pen().v, base);
  DrawStringLeft(S("Left"), box, 3, -2);
  EXPECT_EQ(Pen().h - Width("Left", 16), 43);
  EXPECT_EQ(Pen().v, base - 2);
  const std::u16string t = u"Left";
  a_fontspec big = sans_;
  big.size = 16;
  DrawUStringLeft(big, CUStrSpan(t.c_str(), t.size() + 1), box, -5, 4);
  EXPECT_EQ(Pen().h - UWidth(t, 16), 35);
  EXPECT_EQ(Pen().v, base + 4);
}
