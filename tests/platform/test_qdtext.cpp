// Text output and measuring in the current port: 8-bit (UTF-8) and UTF-16
// text, the word-wrapped text box, and mStrWidth. Runs under the pinned
// DejaVu font configuration.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "host/HostText.h"
#include "pixel/SysPix.h"
#include "platform/MString.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysUnicode.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/TextEdit.h"

namespace {

constexpr uint32 kWhite = 0xFFFFFFFFu;

struct Box {
  int32 left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
  bool Empty() const { return right <= left; }
  void Add(int32 x, int32 y) {
    left = std::min(left, x);
    top = std::min(top, y);
    right = std::max(right, x + 1);
    bottom = std::max(bottom, y + 1);
  }
};

class QdTextTest : public ::testing::Test {
 protected:
  std::vector<GWorldPtr> worlds_;
  a_fontspec sans_{};

  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    Fonts_Stop();
    Fonts_Init();
    Null_FontSpec(sans_);
    sans_.fontID = Find_Font_Name(CStrSpan("DejaVu Sans"));
    ASSERT_NE(sans_.fontID, 0u);
    sans_.size = 20;
  }
  void TearDown() override {
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    for (GWorldPtr& w : worlds_) Dispose_GWorld(w);
    Stop_Quickdraw();
  }
  // A new world, made current and filled white.
  GWorldPtr World(int16 depth, Rect bounds = Rect{0, 0, 100, 300}) {
    GWorldPtr w = nullptr;
    EXPECT_EQ(New_GWorld(bounds, depth, nullptr, w), noErr);
    worlds_.push_back(w);
    Push_GWorld(w);
    // White paper: all ones, except in a 1-bit world, whose index 0 is white.
    if (depth == 1) PixMap_Zero(w->pix);
    else
      PatBlt(theHDC, bounds.left, bounds.top, bounds.right - bounds.left,
             bounds.bottom - bounds.top, WHITENESS);
    return w;
  }
  static const uint8* Row(GWorldPtr w, int32 y) {
    return reinterpret_cast<const uint8*>(w->pix.baseAddr) +
           size_t(y - w->pix.bounds.top) * PixMap_RowBytes(w->pix);
  }
  static uint32 Px32(GWorldPtr w, int32 x, int32 y) {
    uint32 v;
    std::memcpy(&v, Row(w, y) + 4 * (x - w->pix.bounds.left), 4);
    return v;
  }
  static Box Ink32(GWorldPtr w, uint32 paper = kWhite) {
    Box b;
    for (int32 y = w->pix.bounds.top; y < w->pix.bounds.bottom; ++y)
      for (int32 x = w->pix.bounds.left; x < w->pix.bounds.right; ++x)
        if (Px32(w, x, y) != paper) b.Add(x, y);
    return b;
  }
  static std::vector<uint8> Pixels(GWorldPtr w) {
    const size_t n = size_t(PixMap_RowBytes(w->pix)) * size_t(w->pix.bounds.bottom - w->pix.bounds.top);
    const auto* p = reinterpret_cast<const uint8*>(w->pix.baseAddr);
    return std::vector<uint8>(p, p + n);
  }
  static Point Pen() {
    Point p;
    GetPen(p);
    return p;
  }
};

}  // namespace

// The baseline lies at the pen: a capital without descender inks the rows
// just above it and none below; the pen moves on by exactly the measured
// width, by every 8-bit entry point.
TEST_F(QdTextTest, BaselineAtThePenAndPenAdvanceEqualsWidth) {
  GWorldPtr w = World(32);
  SetFont(sans_);
  MoveTo(20, 50);
  DrawString(CStrSpan("HHH"));
  const Box ink = Ink32(w);
  ASSERT_FALSE(ink.Empty());
  EXPECT_EQ(ink.bottom, 50) << "no ink below the baseline, ink in the row above it";
  EXPECT_GE(ink.left, 20);
  EXPECT_LE(ink.left, 23) << "left side bearing of H";
  EXPECT_NEAR(ink.bottom - ink.top, 15, 1) << "cap height of a 20-pixel DejaVu Sans";
  const int16 w3 = StringWidth(CStrSpan("HHH"));
  EXPECT_GT(w3, 30);
  EXPECT_LE(ink.right, 20 + w3);
  EXPECT_EQ(Pen().h, 20 + w3);
  EXPECT_EQ(Pen().v, 50);

  struct Case {
    const char* text;
  } cases[] = {{"A"}, {"Hello, world"}, {"caf\xC3\xA9 \xE2\x82\xAC" "5"}, {"  spaced  "}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const int32 len = int32(std::strlen(c.text));
    const int16 sw = StringWidth(CStrSpan(c.text, size_t(len) + 1));
    EXPECT_EQ(TextWidth(CStrSpan(c.text, size_t(len)), 0, len), sw);
    EXPECT_EQ(mStrWidth(CStrSpan(c.text, size_t(len) + 1)), sw);
    MoveTo(5, 80);
    DrawString2(c.text, len);
    EXPECT_EQ(Pen().h, 5 + sw);
    MoveTo(5, 80);
    DrawText(CStrSpan(c.text, size_t(len)), 0, len);
    EXPECT_EQ(Pen().h, 5 + sw);
  }
  // ASCII characters one at a time add up to the string.
  const char* hello = "Hello";
  int32 sum = 0;
  MoveTo(0, 90);
  for (int i = 0; hello[i]; ++i) {
    sum += CharWidth(hello[i]);
    DrawChar(hello[i]);
  }
  EXPECT_EQ(sum, StringWidth(CStrSpan("Hello")));
  EXPECT_EQ(Pen().h, sum);
}

// Sub-ranges and counts that pass the buffer are cut to it; negative or
// out-of-range ones draw nothing and measure 0 (the buffer is never read
// past its end).
TEST_F(QdTextTest, RangesAreCutToTheBuffer) {
  GWorldPtr w = World(32);
  SetFont(sans_);
  const char buf[6] = {'a', 'b', 'c', 'd', 'e', 'f'};  // no NUL
  const CStrSpan s(buf, 6);
  EXPECT_EQ(TextWidth(s, 2, 4), TextWidth(s, 2, 1000));
  EXPECT_EQ(TextWidth(s, 0, 6), StringWidth(s)) << "a string without NUL ends with its array";
  EXPECT_EQ(TextWidth(s, 2, 2), StringWidth(CStrSpan("cd")));
  EXPECT_EQ(TextWidth(s, 6, 1), 0);
  EXPECT_EQ(TextWidth(s, -1, 3), 0);
  EXPECT_EQ(TextWidth(s, 0, -3), 0);
  EXPECT_EQ(TextWidth(s, 0, 0), 0);
  MoveTo(10, 40);
  DrawText(s, 7, 3);
  DrawText(s, -2, 3);
  DrawText(s, 1, 0);
  DrawString2(nullptr, 5);
  DrawString2(buf, -1);
  EXPECT_EQ(Pen().h, 10);
  EXPECT_TRUE(Ink32(w).Empty());
  DrawText(s, 4, 100);
  EXPECT_EQ(Pen().h, 10 + StringWidth(CStrSpan("ef")));
  // Without a current port nothing happens.
  NoPort();
  EXPECT_EQ(StringWidth(CStrSpan("abc")), 0);
  DrawString(CStrSpan("abc"));
}

// A DrawString stops at 255 characters; widths are capped at 20000.
TEST_F(QdTextTest, LongTextsAreCapped) {
  World(32);
  a_fontspec big = sans_;
  big.size = 200;
  SetFont(big);
  std::string ws(300, 'W');
  EXPECT_EQ(StringWidth(CStrSpan(ws.c_str(), ws.size() + 1)), kMaxTextWidth);
  EXPECT_EQ(mStrWidth(CStrSpan(ws.c_str(), ws.size() + 1)), kMaxTextWidth);
  SetFont(sans_);
  const int16 one = CharWidth('W');
  EXPECT_EQ(StringWidth(CStrSpan(ws.c_str(), ws.size() + 1)), 255 * one);
  EXPECT_EQ(mStrWidth(CStrSpan(ws.c_str(), ws.size() + 1)), 255 * one);
  MoveTo(0, 50);
  DrawString(CStrSpan(ws.c_str(), ws.size() + 1));
  EXPECT_EQ(Pen().h, 255 * one) << "the pen moves by 255 characters only";
}

// Text mode 1 leaves the paper between the glyphs alone; any other mode
// paints the text's cell (ascent to descent along its advance) in the
// background colour first. The DC's background mode is left as it was.
TEST_F(QdTextTest, TransparentAndOpaqueTextModes) {
  GWorldPtr w = World(32);
  SetFont(sans_);
  a_font_info fi;
  Get_Font_Info(fi);
  ASSERT_GT(fi.ascent, 10);
  RGBBackColor(RGBColor{0xFFFF, 0xFFFF, 0});  // yellow
  ForeColor(1);
  const int32 mode_before = GetBkMode(theHDC);
  const int16 width = StringWidth(CStrSpan("I I"));

  TextMode(1);
  MoveTo(10, 40);
  DrawString(CStrSpan("I I"));
  EXPECT_EQ(GetBkMode(theHDC), mode_before);
  for (int32 y = 0; y < 100; ++y)
    for (int32 x = 0; x < 300; ++x) {
      const uint32 p = Px32(w, x, y) & 0x00FFFFFF;
      if (p != 0xFFFFFF && p != 0) {
        // Antialiased edges are grey, never yellow.
        const uint8 b = uint8(p), g = uint8(p >> 8), r = uint8(p >> 16);
        EXPECT_TRUE(r == g && g == b) << x << "," << y;
      }
    }
  // The gap between the two strokes stays white in the middle of the cell.
  const int32 mid = 10 + width / 2;
  EXPECT_EQ(Px32(w, mid, 40 - fi.ascent / 2) & 0x00FFFFFF, 0xFFFFFFu);

  TextMode(0);
  MoveTo(10, 80);
  DrawString(CStrSpan("I I"));
  EXPECT_EQ(GetBkMode(theHDC), mode_before);
  EXPECT_EQ(Px32(w, mid, 80 - fi.ascent / 2) & 0x00FFFFFF, 0xFFFF00u) << "cell in the background colour";
  EXPECT_EQ(Px32(w, mid, 80 + fi.descent - 1) & 0x00FFFFFF, 0xFFFF00u);
  EXPECT_EQ(Px32(w, mid, 80 - fi.ascent - 1) & 0x00FFFFFF, 0xFFFFFFu) << "nothing above the ascent";
  EXPECT_EQ(Px32(w, mid, 80 + fi.descent) & 0x00FFFFFF, 0xFFFFFFu) << "nothing below the descent";
  EXPECT_EQ(Px32(w, 9, 80 - 2) & 0x00FFFFFF, 0xFFFFFFu) << "nothing before the pen";
  EXPECT_EQ(Px32(w, 10 + width, 80 - 2) & 0x00FFFFFF, 0xFFFFFFu) << "nothing past the advance";
}

// Bold widens DejaVu Sans; its oblique face keeps the upright advances.
TEST_F(QdTextTest, BoldAndItalicWidths) {
  World(32);
  const char* text = "Label designer 42";
  SetFont(sans_);
  const int16 plain = StringWidth(CStrSpan(text, std::strlen(text) + 1));
  a_fontspec bold = sans_, italic = sans_, both = sans_;
  bold.effects = Effect_Bit(EFFECT_BOLD);
  italic.effects = Effect_Bit(EFFECT_ITALIC);
  both.effects = Effect_Bit(EFFECT_BOLD) | Effect_Bit(EFFECT_ITALIC);
  SetFont(bold);
  const int16 wb = StringWidth(CStrSpan(text, std::strlen(text) + 1));
  SetFont(italic);
  const int16 wi = StringWidth(CStrSpan(text, std::strlen(text) + 1));
  SetFont(both);
  const int16 wbi = StringWidth(CStrSpan(text, std::strlen(text) + 1));
  EXPECT_GT(wb, plain + 10);
  EXPECT_EQ(wi, plain);
  EXPECT_EQ(wbi, wb);
}

// 1-bit and 8-bit worlds get aliased glyphs: only ink and paper, never an
// in-between value; the ink sits where it does in a 32-bit world.
TEST_F(QdTextTest, AliasedTextInOneAndEightBitWorlds) {
  GWorldPtr w32 = World(32);
  SetFont(sans_);
  MoveTo(10, 50);
  DrawString(CStrSpan("Velmor"));
  const Box deep = Ink32(w32);

  GWorldPtr w1 = World(1);
  SetFont(sans_);
  ForeColor(1);
  MoveTo(10, 50);
  DrawString(CStrSpan("Velmor"));
  Box b1;
  for (int32 y = 0; y < 100; ++y)
    for (int32 x = 0; x < 300; ++x)
      if (Row(w1, y)[x >> 3] & (0x80 >> (x & 7))) b1.Add(x, y);
  ASSERT_FALSE(b1.Empty()) << "black text sets bits (index 1 is black in a 1-bit world)";
  EXPECT_NEAR(b1.left, deep.left, 1);
  EXPECT_NEAR(b1.right, deep.right, 1);
  EXPECT_NEAR(b1.top, deep.top, 1);
  EXPECT_NEAR(b1.bottom, deep.bottom, 1);

  GWorldPtr w8 = World(8);
  SetFont(sans_);
  ForeColor(1);
  MoveTo(10, 50);
  DrawString(CStrSpan("Velmor"));
  int32 ink = 0;
  for (int32 y = 0; y < 100; ++y)
    for (int32 x = 0; x < 300; ++x) {
      const uint8 v = Row(w8, y)[x];
      EXPECT_TRUE(v == 0 || v == 255) << int(v) << " at " << x << "," << y;
      ink += v == 0;
    }
  EXPECT_GT(ink, 50);
}

// The text box breaks lines at spaces, puts one line every cell height from
// the top of the box and aligns each line; nothing lands outside the box.
TEST_F(QdTextTest, TextBoxWordBreaksAndAligns) {
  GWorldPtr w = World(32, Rect{0, 0, 200, 300});
  SetFont(sans_);
  HostTextMetric tm;
  ASSERT_TRUE(GetTextMetricsW(theHDC, &tm));
  const char* text = "alto beta gamma delta";
  const int16 two = std::max(StringWidth(CStrSpan("alto beta")), StringWidth(CStrSpan("gamma delta")));
  const Rect box{20, 30, 190, int16(30 + two + 8)};  // room for two words a line
  ASSERT_GT(StringWidth(CStrSpan("alto beta gamma")), two + 8);
  const uint32 align_before = GetTextAlign(theHDC);
  const int32 mode_before = GetBkMode(theHDC);

  struct Case {
    int16 just;
  } cases[] = {{teFlushLeft}, {teCenter}, {teFlushRight}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.just);
    PatBlt(theHDC, 0, 0, 300, 200, WHITENESS);
    TETextBox(text, int32(std::strlen(text)), box, c.just);
    EXPECT_EQ(GetTextAlign(theHDC), align_before);
    EXPECT_EQ(GetBkMode(theHDC), mode_before);
    // Two lines: "alto beta" and "gamma delta".
    Box line[3];
    for (int32 y = 0; y < 200; ++y)
      for (int32 x = 0; x < 300; ++x) {
        if (Px32(w, x, y) == kWhite) continue;
        ASSERT_TRUE(x >= box.left && x < box.right && y >= box.top && y < box.bottom) << x << "," << y;
        const int32 k = (y - box.top) / tm.tmHeight;
        ASSERT_LT(k, 2) << "only two lines";
        line[k].Add(x, y);
      }
    ASSERT_FALSE(line[0].Empty());
    ASSERT_FALSE(line[1].Empty());
    // Each line's letters sit on a baseline one ascent below its line top.
    EXPECT_EQ(line[0].bottom, box.top + tm.tmAscent + 0) << "no descenders in 'alto beta'";
    EXPECT_GT(line[1].bottom, box.top + tm.tmHeight + tm.tmAscent) << "'gamma' descends";
    const int16 w1 = StringWidth(CStrSpan("alto beta")), w2 = StringWidth(CStrSpan("gamma delta"));
    const int32 bw = box.right - box.left;
    const int32 x1 = c.just == teCenter ? box.left + (bw - w1) / 2 : c.just == teFlushRight ? box.right - w1 : box.left;
    const int32 x2 = c.just == teCenter ? box.left + (bw - w2) / 2 : c.just == teFlushRight ? box.right - w2 : box.left;
    EXPECT_NEAR(line[0].left, x1, 2);
    EXPECT_NEAR(line[1].left, x2, 2);
    EXPECT_NEAR(line[0].right, x1 + w1, 2);
  }
}

// "&" is a character of its own, a NUL ends the text, and the box follows
// the text mode like every other text call.
TEST_F(QdTextTest, TextBoxPlainAmpersandNulAndTextMode) {
  GWorldPtr w = World(32, Rect{0, 0, 100, 300});
  SetFont(sans_);
  RGBBackColor(RGBColor{0, 0, 0xFFFF});
  TextMode(1);
  const Rect box{10, 10, 90, 290};
  TETextBox("A&B", 3, box, teFlushLeft);
  Box b = Ink32(w);
  EXPECT_NEAR(b.right - box.left, StringWidth(CStrSpan("A&B")), 2);
  for (int32 y = 0; y < 100; ++y)
    for (int32 x = 0; x < 300; ++x) ASSERT_NE(Px32(w, x, y) & 0x00FFFFFF, 0x0000FFu) << "transparent";

  PatBlt(theHDC, 0, 0, 300, 100, WHITENESS);
  const char with_nul[] = {'A', 0, 'W', 'W', 'W'};
  TETextBox(with_nul, 5, box, teFlushLeft);
  b = Ink32(w);
  EXPECT_LE(b.right - box.left, CharWidth('A') + 1);

  TextMode(0);
  PatBlt(theHDC, 0, 0, 300, 100, WHITENESS);
  TETextBox("A", 1, box, teFlushLeft);
  EXPECT_EQ(Px32(w, box.left + CharWidth('A') - 1, box.top) & 0x00FFFFFF, 0x0000FFu) << "opaque cell";
  PatBlt(theHDC, 0, 0, 300, 100, WHITENESS);
  TETextBox("A", 0, box, teFlushLeft);
  TETextBox("A", -5, box, teFlushLeft);
  TETextBox(nullptr, 5, box, teFlushLeft);
  EXPECT_TRUE(Ink32(w).Empty());
}

// The same ASCII text drawn as UTF-16 and as UTF-8 gives the same pixels,
// widths and pen positions.
TEST_F(QdTextTest, Utf16AndUtf8DrawTheSame) {
  GWorldPtr a = World(32);
  SetFont(sans_);
  MoveTo(12, 60);
  DrawString(CStrSpan("Track 07: Intro"));
  const Point pa = Pen();
  const int16 wa = StringWidth(CStrSpan("Track 07: Intro"));

  GWorldPtr b = World(32);
  const std::u16string u = u"Track 07: Intro";
  MoveTo(12, 60);
  uDrawString(CUStrSpan(u.c_str(), u.size() + 1), sans_);
  const Point pb = Pen();
  EXPECT_EQ(Pixels(a), Pixels(b));
  EXPECT_EQ(pa.h, pb.h);
  EXPECT_EQ(pa.v, pb.v);
  EXPECT_EQ(uStringWidth(CUStrSpan(u.c_str(), u.size() + 1), sans_), wa);
  EXPECT_EQ(pb.h, 12 + wa);

  // A sub-range: "07" alone.
  GWorldPtr c = World(32);
  MoveTo(12, 60);
  uDrawText(CUStrSpan(u.c_str(), u.size()), 6, 2, sans_);
  EXPECT_EQ(Pen().h, 12 + uTextWidth(CUStrSpan(u.c_str(), u.size()), 6, 2, sans_));
  GWorldPtr d = World(32);
  SetFont(sans_);
  MoveTo(12, 60);
  DrawText(CStrSpan("Track 07: Intro"), 6, 2);
  EXPECT_EQ(Pixels(c), Pixels(d));
}

// Empty texts and bad ranges draw nothing and leave the font alone; counts
// past the buffer and past a 0 unit are cut.
TEST_F(QdTextTest, Utf16EmptyAndOutOfRange) {
  GWorldPtr w = World(32);
  a_fontspec mono = sans_;
  mono.fontID = Find_Font_Name(CStrSpan("DejaVu Sans Mono"));
  SetFont(mono);
  const uint32 before = theShadow->text_familyx;
  const UniChar empty[1] = {0};
  const UniChar text[6] = {'a', 'b', 0, 'c', 'd', 'e'};
  MoveTo(10, 50);
  uDrawString(CUStrSpan(empty, 1), sans_);
  uDrawText(CUStrSpan(text, 6), 2, 3, sans_);
  uDrawText(CUStrSpan(text, 6), 6, 3, sans_);
  uDrawText(CUStrSpan(text, 6), -1, 3, sans_);
  uDrawString2(nullptr, 4);
  EXPECT_EQ(uStringWidth(CUStrSpan(empty, 1), sans_), 0);
  EXPECT_EQ(uTextWidth(CUStrSpan(text, 6), 0, 0, sans_), 0);
  EXPECT_EQ(theShadow->text_familyx, before) << "no font selected for nothing";
  EXPECT_EQ(Pen().h, 10);
  EXPECT_TRUE(Ink32(w).Empty());

  EXPECT_EQ(uTextWidth(CUStrSpan(text, 6), 0, 6, sans_), uTextWidth(CUStrSpan(text, 6), 0, 2, sans_))
      << "the text ends at its 0 unit";
  EXPECT_EQ(uTextWidth(CUStrSpan(text, 6), 3, 100, sans_), uTextWidth(CUStrSpan(text, 6), 3, 3, sans_));
  EXPECT_EQ(uStringWidth2(text, 2), uTextWidth(CUStrSpan(text, 6), 0, 2, sans_));
  EXPECT_EQ(theShadow->text_familyx, sans_.fontID);
}

// A 16-bit width cap also holds for UTF-16 text.
TEST_F(QdTextTest, Utf16WidthCapped) {
  World(32);
  a_fontspec big = sans_;
  big.size = 300;
  std::u16string ws(200, u'W');
  EXPECT_EQ(uStringWidth(CUStrSpan(ws.c_str(), ws.size() + 1), big), kMaxTextWidth);
}
