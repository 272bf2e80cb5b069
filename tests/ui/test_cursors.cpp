// The interface's cursor shapes: each is served by the class its table
// names, the resource cursors come from the program's own artwork and reach
// the display backend, and the busy cursor around long operations.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "host/HostBackend.h"
#include "host/HostWin.h"
#include "platform/ResImage.h"
#include "platform/Resources.h"
#include "platform/SysCurs.h"
#include "ui/VoskCurs.h"

namespace {

class CursorShapes : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Win_Reset();
    Host_Backend_Start_Headless(800, 600);
    Resources_Init();
    SysCurs_Init();
    Cursor_Init();
  }
  void TearDown() override {
    Cursor_Stop();
    Host_Win_Reset();
    Host_Backend_Stop();
  }
  static HostShownCursor Shown() {
    HostShownCursor s;
    EXPECT_TRUE(Host_Backend_Shown_Cursor(s));
    return s;
  }
};

TEST_F(CursorShapes, EveryShapeShowsTheCursorOfItsClass) {
  int resource_shapes = 0;
  for (int shape = 0; shape < NCURSOR_SHAPES; ++shape) {
    const a_cursor_desc& d = g_cursor_desc[shape];
    Cursor_Set_Shape(a_cursor_shape(shape));
    const HostShownCursor s = Shown();
    switch (d.class_) {
      case DEFAULT_CURSOR:
        EXPECT_EQ(s.system_id, IDC_ARROW) << shape;
        break;
      case ANIM_CURSOR:
        EXPECT_EQ(s.system_id, IDC_WAIT) << shape;
        break;
      case MONO_CURSOR:
      case COLOR_CURSOR: {
        ++resource_shapes;
        ASSERT_NE(d.hdl, nullptr) << shape;
        // The class says the form: 16 x 16 mono or 32 x 32 colour.
        const int32 size = d.class_ == MONO_CURSOR ? kMonoCursorSize : kColorCursorSize;
        EXPECT_EQ(s.system_id, 0u) << shape;
        EXPECT_EQ(s.width, size) << shape;
        EXPECT_EQ(s.height, size) << shape;
        // The artwork's hot spot lies on a pixel one can see.
        ASSERT_EQ(s.bgra.size(), size_t(size) * size_t(size));
        EXPECT_EQ(s.bgra[size_t(s.hot_y) * size_t(size) + size_t(s.hot_x)] >> 24, 255u)
            << "shape " << shape << " hot spot " << s.hot_x << "," << s.hot_y;
        break;
      }
    }
  }
  // Every shape has its artwork: all but the arrow and the two animated ones.
  EXPECT_EQ(resource_shapes, NCURSOR_SHAPES - 3);
  EXPECT_EQ(g_cursor_desc[SPIN_CURSOR].class_, ANIM_CURSOR);
  EXPECT_EQ(g_cursor_desc[ARROW_CURSOR].class_, DEFAULT_CURSOR);
}

TEST_F(CursorShapes, BusyCursorIsPushedAndPoppedBack) {
  Cursor_Set_Shape(CARET_CURSOR);
  const HostShownCursor caret = Shown();
  ASSERT_EQ(caret.system_id, 0u);
  Cursor_Push_Watch();
  EXPECT_EQ(Shown().system_id, IDC_WAIT);
  Cursor_Push_Watch();
  Cursor_Pop();
  EXPECT_EQ(Shown().system_id, IDC_WAIT);
  Cursor_Pop();
  const HostShownCursor back = Shown();
  EXPECT_EQ(back.system_id, 0u);
  EXPECT_EQ(back.hot_x, caret.hot_x);
  EXPECT_EQ(back.hot_y, caret.hot_y);
  EXPECT_EQ(back.bgra, caret.bgra);
  // A shape outside the table shows the arrow.
  Cursor_Set_Shape(a_cursor_shape(NCURSOR_SHAPES));
  EXPECT_EQ(Shown().system_id, IDC_ARROW);
}

}  // namespace
