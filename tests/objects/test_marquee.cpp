// The marquee's capture as the custom stamp: nothing painted under a
// transparent marquee (alert, the old stamp kept), copy leaving the paint
// layer as it was, cut erasing only the paint's coverage, the opaque capture
// clipped to the unit with white outside the marquee, and an outline of more
// points than a polygon region takes kept whole.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "TempDirSupport.h"
#include "objects/VoskCanv.h"
#include "objects/VoskMarq.h"
#include "platform/SysRgn.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntI.h"

namespace {

constexpr float kMMPerPixel = 0.0846667f;

template <typename T>
T& At(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<T*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p))[x - p.bounds.left];
}

class Marquee : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp_ = testdir::Make_Temp_Dir("marq");
    ASSERT_FALSE(tmp_.empty());
    env_ = std::make_unique<testdir::EnvGuard>("TMPDIR", tmp_.c_str());
    doctests::Start_Document_Modules();
    gs.controller = GHOST;
    gs.tool_show = true;
    a_template x{};
    std::strcpy(x.label, "Marquee");
    x.papersize = {215.9f, 279.4f};
    a_unit& u = x.units[x.nunits++];
    u.kind = UNIT_RECT;
    u.bbox = a_frect{5, 5, 5 + 100 * kMMPerPixel, 5 + 80 * kMMPerPixel};
    ASSERT_TRUE(Doc_New(x));
    unit_ = g_doc.up;
    ASSERT_NE(unit_, nullptr);
    t.marq_rgn = NewRgn();
    gs.custom_stamp = a_doc_layer{};
  }
  void TearDown() override {
    DisposeRgn(t.marq_rgn);
    Dispose_GWorld(gs.custom_stamp.world);
    Dispose_GWorld(gs.custom_stamp.mask);
    doctests::Close_Document();
    History_Stop();
    env_.reset();
    testdir::Remove_Dir(tmp_);
  }
  GWorldPtr World() { return unit_->statics[PAINT1_LAYER].world; }
  GWorldPtr Mask() { return unit_->statics[PAINT1_LAYER].mask; }
  // Paint: a 10 x 6 block at (20, 30) with coverage from its position and
  // colour from its place.
  void Paint_Block() {
    unit_->paintinuse = true;
    Sync_Existence(true, unit_, PAINT1_LAYER);
    for (int y = 30; y < 36; ++y)
      for (int x = 20; x < 30; ++x) {
        At<uint32>(World(), x, y) = 0xFF000000u | uint32(y << 8 | x);
        At<uint8>(Mask(), x, y) = uint8(100 + x + y);
      }
  }
  std::vector<uint8> Bytes(GWorldPtr w) {
    const PixMap& p = w->pix;
    return std::vector<uint8>(p.baseAddr, p.baseAddr + size_t(p.bounds.bottom - p.bounds.top) * PixMap_RowBytes(p));
  }
  void Options(a_marquee_howtaken how, a_marquee_opacity opacity) {
    gs.grid_vals[MARQ_CUT_GRID] = how;
    gs.grid_vals[MARQ_TRANSP_GRID] = opacity;
  }

  a_doc_unit* unit_ = nullptr;
  std::string tmp_;
  std::unique_ptr<testdir::EnvGuard> env_;
};

// A transparent marquee over no paint (no layer, or paint elsewhere) takes
// nothing: the custom stamp keeps its content and number.
TEST_F(Marquee, TransparentOverUnpaintedCanvasTakesNothing) {
  Options(COPY_SELECTION, TRANSPARENT_SELECTION);
  RectRgn(t.marq_rgn, Rect{10, 10, 60, 60});
  gs.custom_stamp.seq = 7;
  EXPECT_FALSE(Marq_To_Stamp());
  EXPECT_EQ(gs.custom_stamp.seq, 7u);
  EXPECT_EQ(gs.custom_stamp.world, nullptr);

  Paint_Block();
  RectRgn(t.marq_rgn, Rect{50, 50, 70, 90});  // below and right of the paint
  EXPECT_FALSE(Marq_To_Stamp());
  EXPECT_EQ(gs.custom_stamp.seq, 7u);
  EXPECT_EQ(gs.custom_stamp.world, nullptr);
}

// Copy: the stamp is the painted part inside the marquee (its extent, the
// colours and the coverage), and the layer stays byte-identical. Cut: the
// same stamp, and only the coverage inside the marquee goes.
TEST_F(Marquee, CopyAndCutTransparent) {
  Paint_Block();
  const Rect marq{32, 25, 60, 27};  // rows 32.., columns 25 and 26 of the block
  for (a_marquee_howtaken how : {COPY_SELECTION, CUT_SELECTION}) {
    Options(how, TRANSPARENT_SELECTION);
    const std::vector<uint8> world = Bytes(World()), mask = Bytes(Mask());
    const uint32 seq = gs.custom_stamp.seq;
    RectRgn(t.marq_rgn, marq);
    ASSERT_TRUE(Marq_To_Stamp());
    EXPECT_EQ(gs.custom_stamp.seq, seq + 1);
    EXPECT_EQ(gs.bar_selection[STAMP_BAR], 0);
    const Rect sb = gs.custom_stamp.world->pix.bounds;
    ASSERT_EQ(sb.right - sb.left, 2);
    ASSERT_EQ(sb.bottom - sb.top, 4);  // rows 32 to 35
    for (int y = 32; y < 36; ++y)
      for (int x = 25; x < 27; ++x) {
        EXPECT_EQ(At<uint32>(gs.custom_stamp.world, x - 25, y - 32), 0xFF000000u | uint32(y << 8 | x));
        EXPECT_EQ(At<uint8>(gs.custom_stamp.mask, x - 25, y - 32), uint8(100 + x + y));
      }
    EXPECT_EQ(Bytes(World()), world);  // colours are never touched
    if (how == COPY_SELECTION) {
      EXPECT_EQ(Bytes(Mask()), mask);
    } else {
      for (int y = 28; y < 38; ++y)
        for (int x = 18; x < 32; ++x) {
          const bool inside = y >= 32 && x >= 25 && x < 27;
          const bool painted = y >= 30 && y < 36 && x >= 20 && x < 30;
          EXPECT_EQ(At<uint8>(Mask(), x, y), inside || !painted ? 0 : uint8(100 + x + y)) << x << "," << y;
        }
    }
  }
}

// Opaque without a canvas takes the paint only, as a transparent marquee
// does: the stamp is the painted part, and a marquee over no paint takes
// nothing.
TEST_F(Marquee, OpaqueWithoutACanvasTakesThePaintOnly) {
  ASSERT_TRUE(Is_No_Canvas(unit_->canv.cv));
  Paint_Block();
  Options(COPY_SELECTION, OPAQUE_SELECTION);
  RectRgn(t.marq_rgn, Rect{25, 15, 45, 40});
  ASSERT_TRUE(Marq_To_Stamp());
  const Rect sb = gs.custom_stamp.world->pix.bounds;
  EXPECT_EQ(sb.right - sb.left, 10);
  EXPECT_EQ(sb.bottom - sb.top, 6);
  EXPECT_EQ(At<uint8>(gs.custom_stamp.mask, 0, 0), uint8(100 + 20 + 30));
  const uint32 seq = gs.custom_stamp.seq;
  RectRgn(t.marq_rgn, Rect{50, 50, 70, 90});  // no paint there
  EXPECT_FALSE(Marq_To_Stamp());
  EXPECT_EQ(gs.custom_stamp.seq, seq);
}

// Opaque over a canvas: a marquee partly outside the unit is clipped to it;
// the stamp is white and uncovered outside the marquee, the paint over the
// canvas inside.
TEST_F(Marquee, OpaqueCaptureClippedToTheUnit) {
  unit_->canv.cv.canvas_darkness = int16(CANV_DARKNESS_DEFAULT + 10);  // a canvas of its own
  ASSERT_FALSE(Is_No_Canvas(unit_->canv.cv));
  Paint_Block();
  Options(COPY_SELECTION, OPAQUE_SELECTION);
  OvalRgn(Rect{20, 60, 60, 140}, t.marq_rgn);  // right half past the unit's 100 cells
  ASSERT_TRUE(Marq_To_Stamp());
  const Rect sb = gs.custom_stamp.world->pix.bounds;
  EXPECT_EQ(sb.right - sb.left, 40);
  EXPECT_EQ(sb.bottom - sb.top, 40);
  EXPECT_EQ(At<uint8>(gs.custom_stamp.mask, 0, 0), 0);  // the oval's corner
  EXPECT_EQ(At<uint32>(gs.custom_stamp.world, 0, 0) & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(At<uint8>(gs.custom_stamp.mask, 39, 20), 255);  // by the oval's centre
  const uint32 canvas = At<uint32>(gs.custom_stamp.world, 39, 20) & 0xFF;  // unpainted: the canvas

  // Over the painted block the paint shows through its coverage.
  RectRgn(t.marq_rgn, Rect{30, 20, 36, 30});
  ASSERT_TRUE(Marq_To_Stamp());
  const uint32 px = At<uint32>(gs.custom_stamp.world, 0, 0);
  const uint8 a = uint8(100 + 20 + 30);
  auto blend = [&](uint32 f) { return (f * a + canvas * (255 - a) + 127) / 255; };
  EXPECT_EQ(px & 0xFF, blend(20));
  EXPECT_EQ(At<uint8>(gs.custom_stamp.mask, 0, 0), 255);
}

// An outline of more points than a polygon region takes is filled whole,
// not cut at the region's limit and closed by a chord.
TEST_F(Marquee, LongOutlineKeepsEveryPoint) {
  a_pointlist_ptr list = nullptr;
  New_Pointlist(8000, list);
  ASSERT_NE(list, nullptr);
  list->npoints = 0;
  auto add = [&](int x, int y) {
    for (int r = 0; r < 20; ++r) Add_Pointlist(list, int16(x), int16(y));
  };
  for (int x = 10; x < 70; ++x) add(x, 10);
  for (int y = 10; y < 70; ++y) add(70, y);
  for (int x = 70; x > 10; --x) add(x, 70);
  for (int y = 70; y > 10; --y) add(10, y);
  ASSERT_GT(list->npoints, kMaxPolygonPoints);
  RgnHandle rgn = Outline_Rgn(*list);
  ASSERT_NE(rgn, nullptr);
  EXPECT_TRUE(PtInRgn(Point{60, 20}, rgn));  // the corner a cut outline loses
  EXPECT_TRUE(PtInRgn(Point{20, 60}, rgn));
  EXPECT_FALSE(PtInRgn(Point{75, 40}, rgn));
  DisposeRgn(rgn);
  Dispose_Pointlist(list);
}

}  // namespace
