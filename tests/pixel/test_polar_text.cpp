// Pen moves to polar positions and text turned about an origin, in an
// offscreen world (upright text turned as a 1-bit picture) and in a port
// without a world (the font's escapement turns it). Text tests run under the
// pinned DejaVu font configuration.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "host/HostText.h"
#include "pixel/Polar.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

constexpr uint32 kWhite = 0xFFFFFFFFu;

struct Box {
  int32 left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
  int64 n = 0;
  double sx = 0, sy = 0;
  bool Empty() const { return n == 0; }
  void Add(int32 x, int32 y) {
    left = std::min(left, x);
    top = std::min(top, y);
    right = std::max(right, x + 1);
    bottom = std::max(bottom, y + 1);
    ++n;
    sx += x;
    sy += y;
  }
};

constexpr int32 kSize = 300;

class PolarTextTest : public ::testing::Test {
 protected:
  std::vector<GWorldPtr> worlds_;
  GWorldPtr scratch_ = nullptr;
  a_fontspec sans_{};
  HDC win_dc_ = nullptr;
  HBITMAP win_surface_ = nullptr;
  HGDIOBJ win_old_ = nullptr;

  void SetUp() override {
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
  }
  bool Fonts() {
    if (!Pin_DejaVu()) return false;
    Fonts_Stop();
    Fonts_Init();
    Null_FontSpec(sans_);
    sans_.fontID = Find_Font_Name(CStrSpan("DejaVu Sans"));
    sans_.size = 24;
    return sans_.fontID != 0;
  }
  void TearDown() override {
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    if (win_dc_) {
      NoPort();
      SelectObject(win_dc_, win_old_);
      DeleteDC(win_dc_);
      DeleteObject(win_surface_);
    }
    for (GWorldPtr& w : worlds_) Dispose_GWorld(w);
    Dispose_GWorld(scratch_);
    Stop_Quickdraw();
  }
  GWorldPtr World() {
    GWorldPtr w = nullptr;
    EXPECT_EQ(New_GWorld(Rect{0, 0, kSize, kSize}, 32, nullptr, w), noErr);
    worlds_.push_back(w);
    Push_GWorld(w);
    PatBlt(theHDC, 0, 0, kSize, kSize, WHITENESS);
    return w;
  }
  // A port without an offscreen world: a device context over a surface of
  // its own, as a window or printer would be.
  void Window_Port() {
    win_surface_ = Host_NewSurface(kSize, kSize, 32, nullptr, 0);
    win_dc_ = CreateCompatibleDC(nullptr);
    win_old_ = SelectObject(win_dc_, win_surface_);
    SetPort2(nullptr, win_dc_);
    PatBlt(theHDC, 0, 0, kSize, kSize, WHITENESS);
  }
  static Box Ink(GWorldPtr w) {
    Box b;
    for (int32 y = 0; y < kSize; ++y) {
      const uint8* row = reinterpret_cast<const uint8*>(w->pix.baseAddr) + size_t(y) * PixMap_RowBytes(w->pix);
      for (int32 x = 0; x < kSize; ++x) {
        uint32 v;
        std::memcpy(&v, row + 4 * x, 4);
        if (v != kWhite) b.Add(x, y);
      }
    }
    return b;
  }
  Box Window_Ink() const {
    Box b;
    for (int32 y = 0; y < kSize; ++y)
      for (int32 x = 0; x < kSize; ++x)
        if ((GetPixel(win_dc_, x, y) & 0xFFFFFF) != 0xFFFFFF) b.Add(x, y);
    return b;
  }
  static Point Pen() {
    Point p;
    GetPen(p);
    return p;
  }
};

}  // namespace

// The pen moves land on the points of Cyl_To_XY and CylR_To_XY; the lines
// end there.
TEST_F(PolarTextTest, PenMovesToPolarPositions) {
  GWorldPtr w = World();
  const Point o{150, 150};
  struct Case {
    int16 radius, angle, h, v;
  } cases[] = {{100, 0, 250, 150}, {100, 900, 150, 50}, {100, 450, 220, 80}, {100, 2700, 150, 250},
               {0, 1234, 150, 150}};
  for (const Case& c : cases) {
    MoveTo_Cyl(o, c.radius, c.angle);
    EXPECT_EQ(Pen().h, c.h) << c.angle;
    EXPECT_EQ(Pen().v, c.v) << c.angle;
  }
  MoveTo(150, 150);
  LineTo_Cyl(o, 100, 450);
  EXPECT_EQ(Pen().h, 220);
  EXPECT_EQ(Pen().v, 80);
  const Box line = Ink(w);
  EXPECT_EQ(line.left, 150);
  EXPECT_EQ(line.bottom, 151);
  EXPECT_GE(line.right, 219);
  EXPECT_LE(line.top, 81);

  // The real family rounds: 10 * cos(pi / 3) = 5, 10 * sin(pi / 3) = 8.66 -> 9.
  MoveTo_CylR(100.0f, 100.0f, 10.0f, float(M_PI / 3));
  EXPECT_EQ(Pen().h, 105);
  EXPECT_EQ(Pen().v, 109);
  PatBlt(theHDC, 0, 0, kSize, kSize, WHITENESS);
  MoveTo(20, 20);
  LineTo_CylR(20.0f, 20.0f, 50.0f, 0.0f);
  EXPECT_EQ(Pen().h, 70);
  const Box hline = Ink(w);
  EXPECT_EQ(hline.top, 20);
  EXPECT_EQ(hline.bottom, 21);
  EXPECT_EQ(hline.left, 20);
  EXPECT_EQ(hline.right, 70) << "a line leaves out its end point";
}

// At angle 0 the turned string is the upright string, aliased: its ink sits
// where DrawString puts it, baseline at oldpos, and the pen ends behind it.
TEST_F(PolarTextTest, WorldAngleZeroMatchesUprightText) {
  if (!Fonts()) GTEST_FAIL() << No_DejaVu_Message();
  GWorldPtr a = World();
  SetFont(sans_);
  ForeColor(1);
  MoveTo(40, 100);
  DrawString(CStrSpan("HELLO"));
  const Box up = Ink(a);
  const int16 width = StringWidth(CStrSpan("HELLO"));

  GWorldPtr b = World();
  ForeColor(1);
  Point start{0, 0};
  Draw_Rotated_String(CStrSpan("HELLO"), 1.0f, sans_, Point{100, 40}, 0, Point{150, 150}, start, scratch_);
  EXPECT_EQ(start.h, 40);
  EXPECT_EQ(start.v, 100);
  const Box turned = Ink(b);
  ASSERT_FALSE(turned.Empty());
  EXPECT_NEAR(turned.left, up.left, 1);
  EXPECT_NEAR(turned.right, up.right, 1);
  EXPECT_NEAR(turned.top, up.top, 1);
  EXPECT_EQ(turned.bottom, 100) << "baseline at oldpos";
  EXPECT_EQ(Pen().h, 40 + width);
  EXPECT_EQ(Pen().v, 100);
  ASSERT_NE(scratch_, nullptr);
  EXPECT_EQ(scratch_->pix.pixelSize, 1);
  // Aliased: every pixel is paper or exactly the foreground colour.
  for (int32 y = turned.top; y < turned.bottom; ++y)
    for (int32 x = turned.left; x < turned.right; ++x) {
      uint32 v;
      std::memcpy(&v, reinterpret_cast<const uint8*>(b->pix.baseAddr) + size_t(y) * PixMap_RowBytes(b->pix) + 4 * x, 4);
      EXPECT_TRUE(v == kWhite || (v & 0xFFFFFF) == 0) << x << "," << y;
    }
}

// Angles 900 and 450 in a world and through the font's escapement in a
// port without a world: the text runs from the turned start point in the
// turned direction, and both ways give the same ink box within a pixel or two.
TEST_F(PolarTextTest, TurnedTextInWorldAndByEscapement) {
  if (!Fonts()) GTEST_FAIL() << No_DejaVu_Message();
  const Point origin{150, 150};
  const Point oldpos{150, 170};  // 20 pixels right of the origin
  struct Case {
    int16 angle;
    int16 start_h, start_v;
  } cases[] = {{900, 150, 130}, {450, 164, 136}, {0, 170, 150}};
  World();
  SetFont(sans_);
  const int16 width = StringWidth(CStrSpan("HHHH"));
  Pop_GWorld();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angle);
    GWorldPtr w = World();
    ForeColor(1);
    Point start{0, 0};
    Draw_Rotated_String(CStrSpan("HHHH"), 1.0f, sans_, oldpos, c.angle, origin, start, scratch_);
    EXPECT_EQ(start.h, c.start_h);
    EXPECT_EQ(start.v, c.start_v);
    const Box wi = Ink(w);
    ASSERT_FALSE(wi.Empty());
    Pop_GWorld();
    // The ink's centre lies half the text's length along the turned baseline
    // and half a cap height across it (to the text's top side).
    const double a = c.angle * M_PI / 1800.0;
    const double cx = c.start_h + (width / 2.0) * std::cos(a) - 8.5 * std::sin(a);
    const double cy = c.start_v - (width / 2.0) * std::sin(a) - 8.5 * std::cos(a);
    EXPECT_NEAR(wi.sx / double(wi.n), cx, 3.0);
    EXPECT_NEAR(wi.sy / double(wi.n), cy, 3.0);
    if (c.angle == 900) {
      EXPECT_NEAR(wi.right, c.start_h, 1) << "a string turned up lies left of its baseline";
      EXPECT_NEAR(wi.bottom, c.start_v, 3);
      EXPECT_NEAR(wi.bottom - wi.top, width, 4);
    }

    Window_Port();
    ForeColor(1);
    Draw_Rotated_String(CStrSpan("HHHH"), 1.0f, sans_, oldpos, c.angle, origin, start, scratch_);
    EXPECT_EQ(start.h, c.start_h);
    EXPECT_EQ(start.v, c.start_v);
    const Box ei = Window_Ink();
    ASSERT_FALSE(ei.Empty());
    EXPECT_NEAR(ei.left, wi.left, 2);
    EXPECT_NEAR(ei.right, wi.right, 2);
    EXPECT_NEAR(ei.top, wi.top, 2);
    EXPECT_NEAR(ei.bottom, wi.bottom, 2);
    // Both leave the pen at the turned end of the text.
    EXPECT_NEAR(Pen().h, c.start_h + width * std::cos(a), 1.5);
    EXPECT_NEAR(Pen().v, c.start_v - width * std::sin(a), 1.5);
    NoPort();
    SelectObject(win_dc_, win_old_);
    DeleteDC(win_dc_);
    DeleteObject(win_surface_);
    win_dc_ = nullptr;
  }
}

// Opaque text mode paints the turned cell in the background colour; the
// world's clip keeps the ink inside; the scratch world is kept and enlarged
// only when a text needs more room.
TEST_F(PolarTextTest, OpaqueCellClipAndScratchReuse) {
  if (!Fonts()) GTEST_FAIL() << No_DejaVu_Message();
  GWorldPtr w = World();
  ForeColor(1);
  RGBBackColor(RGBColor{0, 0xFFFF, 0});
  TextMode(0);
  Point start{0, 0};
  Draw_Rotated_String(CStrSpan("I I"), 1.0f, sans_, Point{200, 100}, 900, Point{200, 100}, start, scratch_);
  // The cell runs up from the start point; between the two strokes it is green.
  int32 green = 0;
  const Box all = Ink(w);
  for (int32 y = all.top; y < all.bottom; ++y)
    for (int32 x = all.left; x < all.right; ++x)
      green += GetPixel(theHDC, x, y) == 0x00FF00;  // COLORREF of green
  EXPECT_GT(green, 50);
  EXPECT_NEAR(all.bottom, 200, 2);
  GWorldPtr first = scratch_;

  PatBlt(theHDC, 0, 0, kSize, kSize, WHITENESS);
  TextMode(1);
  Draw_Rotated_String(CStrSpan("II"), 1.0f, sans_, Point{158, 100}, 900, Point{158, 100}, start, scratch_);
  const Box unclipped = Ink(w);
  EXPECT_GT(unclipped.bottom, 152);
  EXPECT_LT(unclipped.top, 148);
  PatBlt(theHDC, 0, 0, kSize, kSize, WHITENESS);
  ClipRect(Rect{0, 0, 150, 300});
  Draw_Rotated_String(CStrSpan("II"), 1.0f, sans_, Point{158, 100}, 900, Point{158, 100}, start, scratch_);
  const Box clipped = Ink(w);
  ASSERT_FALSE(clipped.Empty());
  EXPECT_LE(clipped.bottom, 150);
  EXPECT_EQ(clipped.top, unclipped.top);
  EXPECT_EQ(scratch_, first) << "a shorter text reuses the scratch world";
  SetClip(nullptr);

  std::string longer(60, 'W');
  Draw_Rotated_String(CStrSpan(longer.c_str(), longer.size() + 1), 1.0f, sans_, Point{20, 10}, 0,
                      Point{0, 0}, start, scratch_);
  ASSERT_NE(scratch_, nullptr);
  EXPECT_GE(scratch_->pix.bounds.right, StringWidth(CStrSpan(longer.c_str(), longer.size() + 1)));
}

// expandf stretches the spacing: the ink and the pen's travel grow with it;
// a factor out of range draws the normal spacing.
TEST_F(PolarTextTest, ExpandedSpacing) {
  if (!Fonts()) GTEST_FAIL() << No_DejaVu_Message();
  Point start{0, 0};
  struct Case {
    float expandf;
    double factor;
  } cases[] = {{1.0f, 1.0}, {2.0f, 2.0}, {0.0f, 1.0}, {NAN, 1.0}, {50.0f, 1.0}};
  World();
  SetFont(sans_);
  const int16 width = StringWidth(CStrSpan("IIII"));
  Pop_GWorld();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expandf);
    GWorldPtr w = World();
    ForeColor(1);
    Draw_Rotated_String(CStrSpan("IIII"), c.expandf, sans_, Point{100, 10}, 0, Point{0, 0}, start, scratch_);
    EXPECT_NEAR(Pen().h, 10 + width * c.factor, 1);
    const Box b = Ink(w);
    ASSERT_FALSE(b.Empty());
    // Four strokes: the first and the last lie (n - 1) stretched advances apart.
    EXPECT_NEAR(b.right - b.left, (width * 3 / 4) * c.factor + 3, 3);
    Pop_GWorld();
  }
  // Nothing at all for an empty text; the pen still lands on the start. The
  // scratch world does not take a level of the port stack.
  World();
  World();
  World();
  World();
  GWorldPtr w = World();
  Draw_Rotated_String(CStrSpan(""), 1.0f, sans_, Point{100, 10}, 450, Point{100, 10}, start, scratch_);
  EXPECT_TRUE(Ink(w).Empty());
  EXPECT_EQ(Pen().h, 10);
  EXPECT_EQ(Pen().v, 100);
}
