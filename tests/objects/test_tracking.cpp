// The free-hand loop fed with scripted samples: the spacing walk, hold
// samples, the stamp grid under Shift, a click, symmetry copies keeping up
// and catching up (cut short by Escape), the queue wrapping, and each tool's
// stroke as one undo step that gives the paint layer back byte for byte.
// Then the other loops: shape constraints, ring sectors unwrapped across 0,
// the hand and the eyedropper; and in a headless window with scripted
// mouse input, the lasso and its polygon, a stroke to its release, the hold
// test, the marquee's outline and its capture, the gradient's placement,
// the eraser's shapes and the border fill in whole pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "SoundTestSupport.h"
#include "TempDirSupport.h"
#include "doc/VoskRend.h"
#include "host/HostAudio.h"
#include "host/HostBackend.h"
#include "host/HostScript.h"
#include "objects/VoskAtom.h"
#include "objects/VoskBord.h"
#include "objects/VoskBrus.h"
#include "objects/VoskMarq.h"
#include "objects/VoskTrac.h"
#include "platform/Events.h"
#include "platform/SysSound.h"
#include "platform/SysInfo.h"
#include "platform/SysKey.h"
#include "platform/VoskErr.h"
#include "platform/WinTestSupport.h"
#include "pixel/OP.h"
#include "pixel/Polar.h"
#include "pixel/SysPixt.h"
#include "ui/VoskBar.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

constexpr float kMMPerPixel = 0.0846667f;

// Every imprint the tools made, in order: its points.
std::vector<std::vector<Point>>& Imprints() {
  static std::vector<std::vector<Point>> v;
  return v;
}

// An imprint that records its points and paints each one's cell (colour
// from the number of imprints so far, full coverage).
void Recording_Atom(a_atom_rec& p) {
  std::vector<Point> pts(p.list->points, p.list->points + p.list->npoints);
  Imprints().push_back(pts);
  const PixMap& w = p.paint_world->pix;
  Rect d{0, 0, 0, 0};
  for (const Point& pt : pts) {
    if (pt.h < w.bounds.left || pt.h >= w.bounds.right || pt.v < w.bounds.top || pt.v >= w.bounds.bottom) continue;
    auto* row = reinterpret_cast<uint32*>(w.baseAddr + size_t(pt.v - w.bounds.top) * PixMap_RowBytes(w));
    row[pt.h - w.bounds.left] = 0xFF000000u | uint32(Imprints().size() * 2654435761u);
    if (p.mask_world != nullptr) {
      const PixMap& m = p.mask_world->pix;
      m.baseAddr[size_t(pt.v - m.bounds.top) * PixMap_RowBytes(m) + size_t(pt.h - m.bounds.left)] =
          p.fill == ERASER_FILL ? 0 : 255;
    }
    d = Rect{pt.v, pt.h, int16(pt.v + 1), int16(pt.h + 1)};
  }
  p.dirty = d;
}


class Tracking : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp_ = testdir::Make_Temp_Dir("track");
    ASSERT_FALSE(tmp_.empty());
    env_ = std::make_unique<testdir::EnvGuard>("TMPDIR", tmp_.c_str());
    doctests::Start_Document_Modules();
    gs.controller = GHOST;
    gs.tool_show = true;
    a_template x{};
    std::strcpy(x.label, "Tracking");
    x.papersize = {215.9f, 279.4f};
    a_unit& u = x.units[x.nunits++];
    u.kind = UNIT_RECT;
    u.bbox = a_frect{5, 5, 5 + 200 * kMMPerPixel, 5 + 200 * kMMPerPixel};
    ASSERT_TRUE(Doc_New(x));
    unit_ = Doc_Unit(1);
    ASSERT_NE(unit_, nullptr);
    ASSERT_EQ(g_doc.up, unit_);
    for (a_tool tool : {BRUSH_TOOL, ERASER_TOOL, SPRAY_TOOL, STAMP_TOOL}) {
      gs.tool_desc[tool].atom_proc = Recording_Atom;
      gs.tool_desc[tool].single_point = true;
      gs.tool_desc[tool].symmetry = true;
      gs.tool_desc[tool].paints = true;
    }
    gs.toggle_vals[SYMMETRY_TOGGLE] = false;
    Imprints().clear();
  }
  void TearDown() override {
    doctests::Close_Document();
    History_Stop();
    env_.reset();
    testdir::Remove_Dir(tmp_);
  }
  void Paint_Layer() {
    unit_->paintinuse = true;
    Sync_Existence(true, unit_, PAINT1_LAYER);
  }
  void Symmetry(int16 n, bool mirror) {
    gs.toggle_vals[SYMMETRY_TOGGLE] = true;
    gs.slider_vals[SYMMETRY_COUNT_SLIDER] = n;
    gs.grid_vals[SYMMETRY_KIND_GRID] = mirror ? MIRROR_SYMMETRY : CYCLIC_SYMMETRY;
  }
  // A stroke: the first cell a jump, the rest regular moves, then release.
  void Stroke(const std::vector<Point>& cells, a_shift_set shifts = 0, bool idle = false) {
    uint32 tick = 0;
    bool first = true;
    for (Point c : cells) {
      Track_1_Sample(c, first ? JUMP_SAMPLE : REGULAR_SAMPLE, shifts, tick++);
      if (idle) Track_1_Idle();
      first = false;
    }
    Track_1_Release(cells.front());
  }
  std::vector<uint8> Layer_Bytes() {
    std::vector<uint8> out;
    for (GWorldPtr w : {unit_->statics[PAINT1_LAYER].world, unit_->statics[PAINT1_LAYER].mask}) {
      if (w == nullptr) continue;
      const PixMap& p = w->pix;
      const size_t n = size_t(p.bounds.bottom - p.bounds.top) * PixMap_RowBytes(p);
      out.insert(out.end(), p.baseAddr, p.baseAddr + n);
    }
    return out;
  }

  a_doc_unit* unit_ = nullptr;
  std::string tmp_;
  std::unique_ptr<testdir::EnvGuard> env_;
};

std::vector<Point> Line(Point from, Point to) {
  std::vector<Point> v;
  const int n = std::max(std::abs(to.h - from.h), std::abs(to.v - from.v));
  for (int i = 0; i <= n; ++i)
    v.push_back(Point{int16(from.v + (to.v - from.v) * i / std::max(n, 1)),
                      int16(from.h + (to.h - from.h) * i / std::max(n, 1))});
  return v;
}

// The walk posts a cell each time the distance walked (10 a straight step,
// 14 a diagonal one) reaches ten times the spacing, whatever the samples'
// gaps; spacing 0 posts every sample.
TEST_F(Tracking, SpacingWalk) {
  Paint_Layer();
  struct Case {
    int16 spacing;
    std::vector<Point> samples;
    size_t imprints;
    Point last;
  } cases[] = {
      {1, {{10, 10}, {10, 30}}, 21, {10, 30}},            // one sample 20 cells on: every cell
      {5, {{10, 10}, {10, 30}}, 5, {10, 30}},             // 50 per post: h 15, 20, 25, 30
      {5, Line({10, 10}, {10, 30}), 5, {10, 30}},          // the same from samples a cell apart
      {3, {{10, 10}, {30, 30}}, 7, {28, 28}},              // diagonal: 42 per 3 steps
      {2, {{10, 10}, {30, 30}}, 11, {30, 30}},             // 28 per 2 steps
      {7, {{10, 10}, {10, 16}}, 1, {10, 10}},              // never far enough: the jump alone
      {0, {{10, 10}, {10, 11}, {10, 11}, {12, 15}}, 3, {12, 15}},  // a repeat is no sample
  };
  for (const Case& c : cases) {
    Imprints().clear();
    ASSERT_TRUE(Track_1_Begin(1, c.spacing, false, false, 1, BRUSH_TOOL));
    Stroke(c.samples);
    Track_1_End();
    ASSERT_EQ(Imprints().size(), c.imprints) << "spacing " << c.spacing;
    EXPECT_TRUE(Imprints().front()[0] == c.samples.front());
    EXPECT_TRUE(Imprints().back()[0] == c.last) << Imprints().back()[0].v << "," << Imprints().back()[0].h;
  }
}

// Each imprint of the free-hand loop is drawn with the paint layer as the
// current port, whatever port was current before: the stamps are copied
// into the port, and the real program has none while the mouse is tracked.
void Port_Checking_Atom(a_atom_rec& p) {
  Imprints().push_back({Point{int16(Get_GWorld() == p.paint_world), 0}});
  p.dirty = Rect{0, 0, 0, 0};
}

TEST_F(Tracking, ImprintsDrawIntoThePaintLayer) {
  Paint_Layer();
  gs.tool_desc[STAMP_TOOL].atom_proc = Port_Checking_Atom;
  Push_GWorld(nullptr);
  ASSERT_TRUE(Track_1_Begin(1, 1, false, false, 1, STAMP_TOOL));
  Stroke({{20, 20}, {20, 30}});
  EXPECT_EQ(Get_GWorld(), nullptr) << "the port is given back between imprints";
  Track_1_End();
  Pop_GWorld();
  ASSERT_EQ(Imprints().size(), 11u);
  for (const auto& i : Imprints()) EXPECT_EQ(i[0].v, 1) << "an imprint drawn elsewhere";
}

// Held still, the spray posts every sinterval ticks; the brush, without
// repeat, posts nothing more.
TEST_F(Tracking, HoldSamples) {
  Paint_Layer();
  for (auto [tool, repeat, interval, want] :
       {std::tuple{SPRAY_TOOL, true, int16(5), size_t(1 + 4)}, std::tuple{SPRAY_TOOL, true, int16(1), size_t(1 + 20)},
        std::tuple{BRUSH_TOOL, false, int16(1), size_t(1)}}) {
    Imprints().clear();
    ASSERT_TRUE(Track_1_Begin(interval, 0, repeat, false, 1, tool));
    Track_1_Sample(Point{40, 40}, JUMP_SAMPLE, 0, 0);
    for (uint32 tick = 1; tick <= 20; ++tick) Track_1_Sample(Point{40, 40}, HOLD_SAMPLE, 0, tick);
    Track_1_Release(Point{40, 40});
    Track_1_End();
    EXPECT_EQ(Imprints().size(), want) << "tool " << tool << " interval " << interval;
  }
}

// Under Shift the stamp lands only on the row or column through the start,
// at whole multiples of the stamp's size, never twice in a row; without
// Shift the walk is free.
TEST_F(Tracking, ShiftStampGrid) {
  Paint_Layer();
  t.stampgrid_interval = Point{12, 10};
  t.stampgrid_origin = Point{50, 50};
  ASSERT_TRUE(Track_1_Begin(1, 1, false, true, 1, STAMP_TOOL));
  Stroke({{50, 50}, {53, 73}, {60, 100}}, Shift_Bit(SHIFT_KEY));
  Track_1_End();
  std::vector<Point> got;
  for (auto& i : Imprints()) got.push_back(i[0]);
  // Mostly sideways: the row, though the walk drifts 10 cells down.
  const std::vector<Point> want{{50, 50}, {50, 60}, {50, 70}, {50, 80}, {50, 90}, {50, 100}};
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_TRUE(got[i] == want[i]) << i << ": " << got[i].v << "," << got[i].h;

  // Mostly down: the column, at multiples of the stamp's height (30 rounds
  // away from zero to 36).
  Imprints().clear();
  ASSERT_TRUE(Track_1_Begin(1, 1, false, true, 1, STAMP_TOOL));
  Stroke({{50, 50}, {80, 53}}, Shift_Bit(SHIFT_KEY));
  Track_1_End();
  const std::vector<Point> down{{50, 50}, {62, 50}, {74, 50}, {86, 50}};
  ASSERT_EQ(Imprints().size(), down.size());
  for (size_t i = 0; i < down.size(); ++i) EXPECT_TRUE(Imprints()[i][0] == down[i]) << i;

  Imprints().clear();
  ASSERT_TRUE(Track_1_Begin(1, 1, false, true, 1, STAMP_TOOL));
  Stroke({{50, 50}, {53, 73}});
  Track_1_End();
  EXPECT_EQ(Imprints().size(), 24u);  // every cell walked
}

// A click without movement paints one imprint per copy, at the click and
// its copies.
TEST_F(Tracking, ClickPaintsOneImprintPerCopy) {
  Paint_Layer();
  for (int16 n : {1, 4, 6, 30}) {
    for (bool mirror : {false, true}) {
      if (n == 1 && mirror) continue;
      Symmetry(n, mirror);
      Imprints().clear();
      ASSERT_TRUE(Track_1_Begin(1, 1, false, false, 1, BRUSH_TOOL));
      Stroke({{70, 40}});
      Track_1_End();
      ASSERT_EQ(Imprints().size(), size_t(n) * (mirror ? 2 : 1)) << n;
      for (int16 cx = 0; cx < n; ++cx) {
        Point want{70, 40};
        if (cx != 0) Calc_Cyclic(int16(cx * 360 / n), Point{70, 40}, want);
        const size_t at = size_t(cx) * (mirror ? 2 : 1);
        EXPECT_TRUE(Imprints()[at][0] == want) << n << " copy " << cx;
        if (mirror) {
          Point m;
          Calc_Mirror(int16(cx * 360 / n), Point{70, 40}, m);
          EXPECT_TRUE(Imprints()[at + 1][0] == m) << n << " mirror " << cx;
        }
      }
    }
  }
}

// With the brush's own imprint a click paints the layer at the click and
// nowhere far from it.
TEST_F(Tracking, BrushClickPaintsAtTheClick) {
  Paint_Layer();
  gs.tool_net = BRUSH_TOOL;
  gs.tool_desc[BRUSH_TOOL].atom_proc = Atom_Brush;
  Brush_Init();
  gs.fill_kind = COLOR_FILL;
  gs.slider_vals[PAINT_OPACITY_SLIDER] = 100;
  ASSERT_TRUE(Track_1_Begin(1, 1, false, false, 1, BRUSH_TOOL));
  Stroke({{70, 40}});
  Track_1_End();
  Brush_Stop();
  const PixMap& m = unit_->statics[PAINT1_LAYER].mask->pix;
  auto at = [&](int x, int y) { return uint8(m.baseAddr[size_t(y - m.bounds.top) * PixMap_RowBytes(m) + size_t(x - m.bounds.left)]); };
  EXPECT_GT(at(40, 70), 0);
  EXPECT_EQ(at(150, 150), 0);
  EXPECT_EQ(History_Last_Op(), OP_PAINT_BRUSH);
}

// A fast stroke leaves the copies behind (no idle pass between samples);
// after release every copy has made as many imprints as copy 0, each at its
// own turn of the cell. Idle passes serve one lagging copy each.
TEST_F(Tracking, CopiesCatchUp) {
  Paint_Layer();
  for (int16 n : {1, 4, 6, 30}) {
    Symmetry(n, false);
    Imprints().clear();
    ASSERT_TRUE(Track_1_Begin(1, 1, false, false, 1, BRUSH_TOOL));
    Stroke(Line({20, 20}, {20, 119}));
    EXPECT_EQ(Track_1_Pending(uint16(n - 1)), 0);
    Track_1_End();
    ASSERT_EQ(Imprints().size(), size_t(100) * size_t(n));
    std::vector<int> counts(size_t(n), 0);
    for (const auto& i : Imprints()) {
      for (int16 cx = 0; cx < n; ++cx) {
        Point c0{20, int16(20 + counts[size_t(cx)])};
        Point want = c0;
        if (cx != 0) Calc_Cyclic(int16(cx * 360 / n), c0, want);
        if (i[0] == want) {
          ++counts[size_t(cx)];
          break;
        }
      }
    }
    for (int16 cx = 0; cx < n; ++cx) EXPECT_EQ(counts[size_t(cx)], 100) << n << " copy " << cx;
  }
  // Idle passes: copy 1 first, then copy 2.
  Symmetry(3, false);
  Imprints().clear();
  ASSERT_TRUE(Track_1_Begin(1, 1, false, false, 1, BRUSH_TOOL));
  Track_1_Sample(Point{20, 20}, JUMP_SAMPLE, 0, 0);
  Track_1_Sample(Point{20, 21}, REGULAR_SAMPLE, 0, 1);
  EXPECT_EQ(Track_1_Pending(1), 2);
  Track_1_Idle();
  Track_1_Idle();
  EXPECT_EQ(Track_1_Pending(1), 0);
  EXPECT_EQ(Track_1_Pending(2), 2);
  Track_1_Idle();
  EXPECT_EQ(Track_1_Pending(2), 1);
  Track_1_Release(Point{20, 20});
  Track_1_End();
  EXPECT_EQ(Imprints().size(), 6u);
}

// More cells than the queue holds: the lagging copies are pushed on before
// an entry is overwritten, and none loses a cell.
TEST_F(Tracking, QueueWrapsWithoutLoss) {
  Paint_Layer();
  Symmetry(2, false);
  ASSERT_TRUE(Track_1_Begin(0, 0, true, false, 1, SPRAY_TOOL));
  Track_1_Sample(Point{30, 30}, JUMP_SAMPLE, 0, 0);
  for (uint32 i = 1; i < 5000; ++i) Track_1_Sample(Point{30, 30}, HOLD_SAMPLE, 0, i);
  EXPECT_EQ(Track_1_Pending(1), TRACK1_QUEUE - 1);  // full, never more
  Track_1_Release(Point{30, 30});
  Track_1_End();
  EXPECT_EQ(Imprints().size(), 10000u);
}

// Escape during the catch-up ends it at once with sound 167; the imprints
// still queued are drawn before the undo step is recorded, so redo gives the
// whole stroke back, and undo the layer as it was.
TEST_F(Tracking, EscapeDrainsBeforeTheUndoStep) {
  Paint_Layer();
  History_Emit(OP_PAINT_BRUSH);  // the empty layer as a state of its own
  const std::vector<uint8> before = Layer_Bytes();
  soundtest::SoundRecorder sounds;
  Symmetry(30, true);
  ASSERT_TRUE(Track_1_Begin(1, 1, false, false, 1, BRUSH_TOOL));
  uint32 tick = 0;
  Track_1_Sample(Point{100, 60}, JUMP_SAMPLE, 0, tick++);
  for (int16 h = 61; h < 140; ++h) Track_1_Sample(Point{100, h}, REGULAR_SAMPLE, 0, tick++);
  PostMessage(main_hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
  Track_1_Release(Point{100, 60});
  EXPECT_GT(Track_1_Pending(29), 0);  // the catch-up was cut short
  Track_1_End();
  const auto& ev = Host_Audio_Events();
  EXPECT_NE(std::find_if(ev.begin(), ev.end(), [](const HostAudioEvent& e) { return e.kind == HostAudioEventKind::BEEP; }),
            ev.end());  // sound 167 is the system's beep
  EXPECT_EQ(Imprints().size(), size_t(80 * 30 * 2));
  const std::vector<uint8> after = Layer_Bytes();
  ASSERT_NE(after, before);
  EXPECT_EQ(History_Last_Op(), OP_PAINT_BRUSH);
  Undo_Silent();
  EXPECT_EQ(Layer_Bytes(), before);
  Redo_Button();
  EXPECT_EQ(Layer_Bytes(), after);
}

// Each free-hand tool's stroke is one undo step: undo gives the layer back
// byte for byte (no layer at all when the stroke made it), redo the stroke.
TEST_F(Tracking, UndoPerTool) {
  const struct {
    a_tool tool;
    a_history_op op;
  } tools[] = {{BRUSH_TOOL, OP_PAINT_BRUSH}, {ERASER_TOOL, OP_PAINT_ERASE}, {SPRAY_TOOL, OP_PAINT_SPRAY},
               {STAMP_TOOL, OP_PAINT_STAMP}};
  bool first = true;
  for (const auto& c : tools) {
    std::vector<uint8> before;
    if (first) {
      Paint_Layer();  // the stroke makes the layer
    } else {
      before = Layer_Bytes();
    }
    gs.tool_net = c.tool;
    ASSERT_TRUE(Track_1_Begin(1, 2, c.tool == SPRAY_TOOL, false, 1, c.tool));
    Stroke(Line({30, 30}, {60, 90}));
    Track_1_End();
    EXPECT_EQ(History_Last_Op(), c.op);
    const std::vector<uint8> after = Layer_Bytes();
    Undo_Silent();
    if (first) {
      EXPECT_EQ(unit_->statics[PAINT1_LAYER].world, nullptr);
      EXPECT_FALSE(unit_->paintinuse);
    } else {
      EXPECT_EQ(Layer_Bytes(), before) << c.tool;
    }
    Redo_Button();
    EXPECT_EQ(Layer_Bytes(), after) << c.tool;
    first = false;
  }
}

// The corners of a dragged shape: from the corner or the centre, squares
// under Shift (the sides the average of the two drags), never a zero side;
// lines run to the mouse or, under Shift, to the nearest straight line.
TEST_F(Tracking, ShapeConstraints) {
  gs.views[0].zoom_fudge = 0;
  gs.slider_vals[LINE_THICKNESS_SLIDER] = 3;
  struct Case {
    const char* what;
    a_tool tool;
    int16 shaping;
    bool shift;
    Point base, corner, net1, net2;
  } cases[] = {
      {"corners", SRECT_TOOL, 0, false, {10, 10}, {20, 30}, {10, 10}, {20, 30}},
      {"on the base's row", SRECT_TOOL, 0, false, {10, 10}, {10, 30}, {10, 10}, {11, 30}},
      {"on the base's column", SOVAL_TOOL, 0, false, {10, 10}, {30, 10}, {10, 10}, {30, 11}},
      {"up and left", SRECT_TOOL, 0, false, {10, 10}, {4, 2}, {10, 10}, {4, 2}},
      {"square", SRECT_TOOL, 0, true, {10, 10}, {20, 40}, {10, 10}, {30, 30}},
      {"square up", FRECT_TOOL, 0, true, {10, 10}, {0, 40}, {10, 10}, {-10, 30}},
      {"from the centre", SOVAL_TOOL, 1, false, {50, 50}, {45, 40}, {45, 40}, {56, 61}},
      {"square from the centre", SRECT_TOOL, 1, true, {50, 50}, {60, 80}, {31, 31}, {70, 70}},
      {"line", LINE_TOOL, 0, false, {10, 10}, {15, 40}, {10, 10}, {15, 40}},
      {"straight line", LINE_TOOL, 0, true, {10, 10}, {11, 40}, {10, 10}, {10, 40}},
  };
  for (const Case& c : cases) {
    Point n1, n2;
    Rect dirty;
    Apply_Constraints(c.tool, 1, c.base, c.corner, c.shaping, c.shift, n1, n2, dirty);
    EXPECT_TRUE(n1 == c.net1) << c.what << ": " << n1.v << "," << n1.h;
    EXPECT_TRUE(n2 == c.net2) << c.what << ": " << n2.v << "," << n2.h;
    const int16 out = c.tool == LINE_TOOL ? 3 : 0;
    const int16 end = c.tool == LINE_TOOL ? 1 : 0;
    EXPECT_EQ(dirty.left, std::min(n1.h, n2.h) - out) << c.what;
    EXPECT_EQ(dirty.bottom, std::max(n1.v, n2.v) + end + out) << c.what;
  }
  // The view's zoom fudge widens the area on every side.
  gs.views[0].zoom_fudge = 2;
  Point n1, n2;
  Rect dirty;
  Apply_Constraints(SRECT_TOOL, 1, Point{10, 10}, Point{20, 30}, 0, false, n1, n2, dirty);
  EXPECT_EQ(dirty.top, 8);
  EXPECT_EQ(dirty.right, 32);
}

// --- Ring sectors --------------------------------------------------------------------

// The drag's angle unwrapped: across 0 from above 270.1 degrees it goes
// past 3600, from below 90 under 0, one turn at most either way; other
// moves leave it as it is.
TEST(FurterUnwrap, AcrossZeroOneTurnAtMost) {
  struct Case {
    const char* what;
    int16 start;
    std::vector<int16> angles;
    std::vector<int32> want;
  } cases[] = {
      {"counter-clockwise across 0", 3400, {3550, 50, 400}, {3550, 3650, 4000}},
      {"clockwise across 0", 200, {50, 3550, 3300}, {50, -50, -300}},
      {"the long way round", 200, {1000, 1900, 2800, 3500}, {1000, 1900, 2800, 3500}},
      {"there and back", 3400, {100, 3500}, {3700, 3500}},
      {"from 270.0 is no crossing", 2700, {100}, {100}},
      {"from 270.1 is", 2701, {899}, {4499}},
      {"twice round stops at one turn", 3500, {100, 1800, 3000, 100}, {3700, 5400, 6600, 3700}},
  };
  for (const Case& c : cases) {
    a_furter_unwrap u;
    Furter_Unwrap_Start(u, c.start);
    for (size_t i = 0; i < c.angles.size(); ++i) EXPECT_EQ(Furter_Unwrap(u, c.angles[i]), c.want[i]) << c.what << " " << i;
  }
}

// The ring's centre is the unit's; on the units with a disc on each half,
// the centre of the half the anchor is in.
TEST(FurterOrigin, CentreOrTheAnchorsHalf) {
  const Rect b{0, 0, 300, 800};
  EXPECT_TRUE(Calc_Furter_Origin(UNIT_RECT, b, Point{10, 10}) == (Point{150, 400}));
  for (a_unit_kind k : {UNIT_CD_WALLET, UNIT_MINICD_LID2, UNIT_JEWEL_LID2, UNIT_DVDBOX_INSERT2}) {
    EXPECT_TRUE(Calc_Furter_Origin(k, b, Point{10, 399}) == (Point{150, 200})) << int(k);
    EXPECT_TRUE(Calc_Furter_Origin(k, b, Point{290, 400}) == (Point{150, 600})) << int(k);
  }
}

class Furter : public Tracking {
 protected:
  void SetUp() override {
    Tracking::SetUp();
    Paint_Layer();
    gs.fill_kind = COLOR_FILL;
    gs.fill_color32 = a_pixel32{{0x20, 0x80, 0xE0, 0xFF}};
    gs.slider_vals[PAINT_OPACITY_SLIDER] = 100;
    gs.slider_vals[PAINT_CORNER_SLIDER] = 0;
    gs.slider_vals[LINE_THICKNESS_SLIDER] = 3;
    gs.tool_net = SFURTER_TOOL;
    History_Emit(OP_PAINT_BRUSH);  // the empty layer as a state of its own
  }
  uint8 Mask(Point c) {
    const PixMap& m = unit_->statics[PAINT1_LAYER].mask->pix;
    return uint8(m.baseAddr[size_t(c.v - m.bounds.top) * PixMap_RowBytes(m) + size_t(c.h - m.bounds.left)]);
  }
  static Point At(int16 radius, int16 angle) {
    Point p;
    Cyl_To_XY(kOrigin, radius, angle, p);
    return p;
  }
  static constexpr Point kOrigin{100, 100};  // the 200 x 200 unit's centre
};

// A drag round the centre through angle 0 paints the small sector across
// 0, not the long way round; a drag the long way round paints that. Each
// preview is taken back, so the layer holds exactly the last sector (that of
// the anchor and the last cell, ordered by angle); one undo step takes it
// away.
TEST_F(Furter, RingSectorUnwrapAcrossZero) {
  const std::vector<uint8> before = Layer_Bytes();
  struct Case {
    const char* what;
    Point anchor;
    std::vector<Point> path;
    Point painted, unpainted;
  } cases[] = {
      {"clockwise across 0", At(40, 200), {At(90, 100), At(90, 0), At(85, 3500), At(80, 3400)}, At(60, 0), At(60, 1800)},
      {"counter-clockwise across 0", At(80, 3400), {At(60, 3550), At(90, 50), At(40, 200)}, At(60, 0), At(60, 1800)},
      {"the long way round", At(40, 200), {At(80, 900), At(80, 1800), At(80, 2700), At(80, 3400)}, At(60, 1800),
       At(60, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(Furter_Begin(1, true, c.anchor));
    for (Point p : c.path) Furter_Move(p);
    Furter_End();
    EXPECT_GT(Mask(c.painted), 0);
    EXPECT_EQ(Mask(c.unpainted), 0);
    EXPECT_EQ(History_Last_Op(), OP_PAINT_FURTER);
    // The reference: the sector from the anchor's polar point to the last
    // cell's, unwrapped as the drag went.
    Point a, e;
    XY_To_Cyl(kOrigin, c.anchor, a);
    XY_To_Cyl(kOrigin, c.path.back(), e);
    a_furter_unwrap u;
    Furter_Unwrap_Start(u, a.v);
    int32 ea = 0;
    for (Point p : c.path) {
      Point q;
      XY_To_Cyl(kOrigin, p, q);
      ea = Furter_Unwrap(u, q.v);
    }
    a_polar lo{a.h, a.v}, hi{e.h, ea};
    if (hi.angle < lo.angle) std::swap(lo, hi);
    RgnHandle ref = nullptr;
    Calc_Furter_Rgn(0, kOrigin, lo, hi, ref);
    ASSERT_NE(ref, nullptr);
    int wrong = 0;
    for (int16 v = 0; v < 200; ++v)
      for (int16 h = 0; h < 200; ++h) wrong += (Mask(Point{v, h}) != 0) != bool(PtInRgn(Point{v, h}, ref));
    DisposeRgn(ref);
    EXPECT_EQ(wrong, 0);
    Undo_Silent();
    EXPECT_EQ(Layer_Bytes(), before);
  }
  EXPECT_EQ(gs.tool_net, SFURTER_TOOL);
}

// A press without a drag paints nothing and records nothing; the framed
// tool paints the sector's edge, not its middle, whatever tool the grid
// held during the drag.
TEST_F(Furter, ClickPaintsNothingFramedPaintsTheEdge) {
  const std::vector<uint8> before = Layer_Bytes();
  ASSERT_TRUE(Furter_Begin(1, true, At(50, 450)));
  Furter_Move(At(50, 450));
  Furter_End();
  EXPECT_EQ(Layer_Bytes(), before);
  EXPECT_EQ(History_Last_Op(), OP_PAINT_BRUSH);

  ASSERT_TRUE(Furter_Begin(1, false, At(30, 0)));
  Furter_Move(At(90, 900));
  Furter_End();
  EXPECT_EQ(History_Last_Op(), OP_PAINT_FURTER);
  EXPECT_EQ(Mask(At(60, 450)), 0);  // the middle
  EXPECT_GT(Mask(At(88, 450)), 0);  // inside the outer arc
  EXPECT_GT(Mask(At(32, 450)), 0);  // inside the inner arc
  EXPECT_EQ(gs.tool_net, SFURTER_TOOL);
}

// --- The hand and the eyedropper ------------------------------------------------------

// The hand moves the view's focus the other way to the mouse, by the move
// in cells at the view's zoom; a move too small for a cell waits for more.
TEST_F(Tracking, GrabberScrollsByTheMoveInCells) {
  SV_Init();
  gs.nviews = 1;
  struct Case {
    const char* what;
    a_ratio zoom;  // screen pixels per cell: num / den
    Point to;      // the mouse from (100, 100)
    bool scrolls;
    Point focus;   // from (500, 500)
  } cases[] = {
      {"1:1", {1, 1}, {110, 95}, true, {490, 505}},
      {"zoomed out 1:4", {1, 4}, {103, 100}, true, {488, 500}},
      {"zoomed in 2:1, half a cell", {2, 1}, {100, 101}, false, {500, 500}},
      {"zoomed in 2:1, a cell", {2, 1}, {100, 98}, true, {500, 501}},
  };
  for (const Case& c : cases) {
    gs.views[0].zoom_factor = c.zoom;
    SV_Set_Point(SV_EDIT_FOCUS, Point{500, 500});
    SV_Finish();
    Point from{100, 100};
    EXPECT_EQ(Grabber_Step(1, from, c.to), c.scrolls) << c.what;
    EXPECT_TRUE(gs.view_focus == c.focus) << c.what << ": " << gs.view_focus.v << "," << gs.view_focus.h;
    EXPECT_TRUE(from == (c.scrolls ? c.to : Point{100, 100})) << c.what;
  }
}

// The eyedropper takes the palette colour painted at the cell into the
// paint colour bar only with the button down, and nothing outside the unit.
TEST_F(Tracking, DropperTakesTheColourUnderTheButton) {
  Paint_Layer();
  gs.ncolor_table = 3;
  gs.color_table[0] = a_pixel32{{0, 0, 0, 255}};
  gs.color_table[1] = a_pixel32{{255, 255, 255, 255}};
  gs.color_table[2] = a_pixel32{{50, 30, 200, 255}};
  Bar_Recount();  // the colour bars hold the table's colours, as at start
  gs.curr_phase = PAINT_PHASE;
  gs.curr_bar = PAINT_COLORBAR;
  const PixMap& w = unit_->statics[PAINT1_LAYER].world->pix;
  const PixMap& m = unit_->statics[PAINT1_LAYER].mask->pix;
  for (int16 v = 10; v < 20; ++v)
    for (int16 h = 10; h < 20; ++h) {
      reinterpret_cast<uint32*>(w.baseAddr + size_t(v) * PixMap_RowBytes(w))[h] = a_pixel32{{50, 30, 200, 255}}.raw;
      m.baseAddr[size_t(v) * PixMap_RowBytes(m) + size_t(h)] = 255;
    }
  Unit_PostRender(unit_);
  gs.bar_selection[PAINT_COLORBAR] = 0;
  Track_Dropper2(false, Point{15, 15});
  EXPECT_EQ(gs.bar_selection[PAINT_COLORBAR], 0);
  Track_Dropper2(true, Point{15, 15});
  EXPECT_EQ(gs.bar_selection[PAINT_COLORBAR], 2);
  EXPECT_TRUE(t.eyedropper_hit);
  Track_Dropper2(true, Point{-5, 15});
  EXPECT_EQ(gs.bar_selection[PAINT_COLORBAR], 2);
}

// --- The lasso -------------------------------------------------------------------------

// The tracking fixture with a headless main window whose view 1 shows the
// unit at 1:1, cell (0, 0) at the window's (0, 0).
class InWindow : public Tracking {
 protected:
  void SetUp() override {
    Host_Win_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    wintest::Init_Window_Layer();
    Tracking::SetUp();
    // The state variables as at start: a change left pending by an earlier
    // test would settle the whole interface at the window's first message.
    SV_Init();
    gs.outer_window = New_Window(Rect{40, 40, 640, 840}, "main", true, 8, nullptr, nullptr, &info_);
    ASSERT_NE(gs.outer_window, nullptr);
    gs.nviews = 1;
    gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 0, Rect{0, 0, 400, 640}};
    gs.curr_phase = PAINT_PHASE;
    New_Pointlist(kPointlistMax, list_);
    ASSERT_NE(list_, nullptr);
  }
  void TearDown() override {
    Dispose_Pointlist(list_);
    Prompt_Hide();
    Host_Script_Reset();
    Tracking::TearDown();
    gs.outer_window = nullptr;
    wintest::Clear_Port_State();
    wintest::Stop_Headless_Host();
  }
  // Runs script and takes its first press from the queue, as the main
  // window would before handing it to the view.
  void Script(const std::string& script) {
    std::string err;
    ASSERT_TRUE(Host_Script_Load_Text(script, "script", err)) << err;
    MSG msg;
    int tries = 0;
    while (PeekMessage(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE) == 0) ASSERT_LT(++tries, 100);
  }
  std::vector<uint8> Merged_Bytes() {
    const PixMap& p = unit_->statics[TOTAL_LAYER].world->pix;
    return std::vector<uint8>(p.baseAddr, p.baseAddr + size_t(p.bounds.bottom - p.bounds.top) * PixMap_RowBytes(p));
  }
  uint32 Merged(Point c) {
    const PixMap& p = unit_->statics[TOTAL_LAYER].world->pix;
    return reinterpret_cast<const uint32*>(p.baseAddr + size_t(c.v) * PixMap_RowBytes(p))[c.h] & 0xFFFFFFu;
  }

  a_win_info_rec info_{nullptr, nullptr, MAIN_KIND, {}};
  a_pointlist_ptr list_ = nullptr;
};

// The lasso closes only once it has gone far enough: a short drag back to
// the start does not close, a click near the start then does; the last
// point is the origin and the bounds stay within the unit. Points past the
// list's capacity widen the bounds without being stored.
TEST_F(InWindow, LassoClosing) {
  a_pointlist_ptr list = nullptr;
  New_Pointlist(100, list);
  a_lasso l;
  Lasso_Start(l, list, Point{20, 20});
  for (int16 h = 21; h <= 27; ++h) Lasso_Drag(l, Point{20, h});  // 7 cells out
  Lasso_Drag(l, Point{20, 21});
  EXPECT_FALSE(l.closed);
  EXPECT_FALSE(l.may_close);
  Lasso_Click(l, Point{40, 40});
  Lasso_Click(l, Point{40, 10});
  EXPECT_TRUE(l.may_close);
  Lasso_Click(l, Point{22, 21});  // within 4 cells of the origin
  EXPECT_TRUE(l.closed);
  Lasso_Close(l);
  EXPECT_TRUE(list->points[list->npoints - 1] == (Point{20, 20}));
  EXPECT_EQ(list->npoints, 12);  // origin, 7 + 1 dragged, 2 clicked, origin
  EXPECT_EQ(l.boundary.top, 20);
  EXPECT_EQ(l.boundary.bottom, 41);
  EXPECT_EQ(l.boundary.left, 10);

  // A drag far out may close on coming back; past the unit the bounds are clipped.
  Lasso_Start(l, list, Point{20, 20});
  for (int16 h = 21; h <= 300; ++h) Lasso_Drag(l, Point{20, h});
  EXPECT_EQ(list->npoints, 100);  // full
  EXPECT_EQ(l.boundary.right, 301);
  Lasso_Drag(l, Point{22, 23});
  EXPECT_TRUE(l.closed);
  Lasso_Close(l);
  EXPECT_EQ(l.boundary.right, 200);  // the unit is 200 cells wide
  Dispose_Pointlist(list);
}

// While the outline is collected, prompt 23 shows and every side is drawn
// on the merged layer in black; closing hides the prompt and gives the
// merged layer back as it was.
TEST_F(InWindow, LassoOutlineDrawnWhileTrackingAndTakenBack) {
  Paint_Layer();
  Current_Unit_UpToDate();
  const std::vector<uint8> before = Merged_Bytes();
  ASSERT_NE(Merged(Point{20, 40}), 0u);  // white canvas
  a_lasso l;
  Lasso_Start(l, list_, Point{20, 20});
  EXPECT_NE(g_prompt_window, nullptr);
  Lasso_Drag(l, Point{20, 60});
  Lasso_Click(l, Point{60, 60});
  EXPECT_EQ(Merged(Point{20, 40}), 0u);
  EXPECT_EQ(Merged(Point{40, 60}), 0u);
  EXPECT_NE(Merged(Point{40, 40}), 0u);
  Lasso_Close(l);
  EXPECT_EQ(g_prompt_window, nullptr);
  EXPECT_EQ(Merged_Bytes(), before);
}

// A polygon from a script: a drag, then a quick click adding a straight
// side, then a key closing it. The clicked corner belongs to the outline,
// the polygon is filled as one undo step, and the outline is gone from the
// merged layer.
TEST_F(InWindow, PolygonFromDragClickAndKey) {
  Paint_Layer();
  gs.tool_net = SPOLYGON_TOOL;
  gs.tool_desc[SPOLYGON_TOOL].atom_proc = Atom_SPolygon;
  gs.fill_kind = COLOR_FILL;
  gs.fill_color32 = a_pixel32{{0x20, 0x80, 0xE0, 0xFF}};
  gs.slider_vals[PAINT_OPACITY_SLIDER] = 100;
  Script("down 20 20\nmove 50 20\nmove 80 20\nmove 80 50\nmove 80 80\nup 80 80\nwait 1\nclick 20 80\nwait 1\nkey Enter\n");
  Track_Polygon(1, Point{20, 20});
  EXPECT_EQ(History_Last_Op(), OP_PAINT_POLYGON);
  const PixMap& m = unit_->statics[PAINT1_LAYER].mask->pix;
  auto mask = [&](int16 v, int16 h) { return uint8(m.baseAddr[size_t(v) * PixMap_RowBytes(m) + size_t(h)]); };
  EXPECT_GT(mask(30, 70), 0);  // inside, near the dragged corner
  EXPECT_GT(mask(70, 30), 0);  // inside, near the clicked corner: lost if the click closed the outline
  EXPECT_EQ(mask(90, 50), 0);
  EXPECT_EQ(mask(50, 90), 0);
  Current_Unit_UpToDate();
  EXPECT_NE(Merged(Point{80, 50}), 0u);  // no outline left on the polygon's edges
  EXPECT_NE(Merged(Point{50, 80}), 0u);
}

// --- Free-hand strokes from the mouse -------------------------------------------------------

// A scripted brush stroke ends at the release and paints the cells under
// the mouse (the window lies away from the screen's corner).
TEST_F(InWindow, FreeHandStrokeFollowsTheMouseToTheRelease) {
  Paint_Layer();
  Script("down 30 30\nmove 40 30\nmove 50 34\nup 50 34\nwait 5\n");
  Track_1(1, 1, false, false, 1, Point{30, 30}, BRUSH_TOOL);
  ASSERT_FALSE(Imprints().empty());
  EXPECT_TRUE(Imprints().front()[0] == (Point{30, 30})) << Imprints().front()[0].v << "," << Imprints().front()[0].h;
  EXPECT_TRUE(Imprints().back()[0] == (Point{34, 50})) << Imprints().back()[0].v << "," << Imprints().back()[0].h;
  EXPECT_EQ(Imprints().size(), 21u);
  EXPECT_EQ(History_Last_Op(), OP_PAINT_BRUSH);
}

// A press handed on to the view while a stroke runs (an alert's loop
// dispatching queued input from inside an imprint) starts no stroke of its
// own: it is refused with the limit sound, and the stroke goes on to its
// release with its record, which is freed once at its end.
a_mousestroke g_nested_press{};
int g_nested_presses = 0;
void Reentering_Atom(a_atom_rec& p) {
  if (g_nested_presses++ == 0) Paint_MouseDown(1, g_nested_press);
  Recording_Atom(p);
}

TEST_F(InWindow, APressHandedOnDuringAStrokeStartsNoOtherStroke) {
  Paint_Layer();
  soundtest::SoundRecorder sounds;
  gs.tool_net = BRUSH_TOOL;
  gs.tool_desc[BRUSH_TOOL].atom_proc = Reentering_Atom;
  g_nested_presses = 0;
  g_nested_press = a_mousestroke{};
  g_nested_press.window = gs.outer_window;
  g_nested_press.lmouse = Point{60, 60};
  g_nested_press.button1 = true;
  Script("down 30 30\nmove 40 30\nmove 50 30\nup 50 30\nwait 5\n");
  a_mousestroke stroke = g_nested_press;
  stroke.lmouse = Point{30, 30};
  Paint_MouseDown(1, stroke);
  EXPECT_EQ(g_track1, nullptr);
  ASSERT_FALSE(Imprints().empty());
  EXPECT_TRUE(Imprints().front()[0] == (Point{30, 30}));
  EXPECT_TRUE(Imprints().back()[0] == (Point{30, 50})) << "the stroke went on to its release";
  EXPECT_EQ(History_Last_Op(), OP_PAINT_BRUSH);
  const std::vector<int16> ids = sounds.Ids();
  EXPECT_NE(std::find(ids.begin(), ids.end(), int16(SND_LIMIT)), ids.end()) << "the handed-on press is refused";
}

// A press released within half the double-click time is no hold; one
// kept down longer is.
TEST_F(InWindow, HoldingIsAPressKeptDown) {
  info_doubleclick = 30;
  Script("down 10 10\nwait 2\nup 10 10\nwait 5\n");
  EXPECT_FALSE(Is_Mouse_Holding());
  Host_Script_Reset();
  MSG msg;
  while (PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }  // the release, which the main loop would take
  Script("down 10 10\nwait 40\nmove 11 11\nup 11 11\nwait 5\n");
  EXPECT_TRUE(Is_Mouse_Holding());
}

// A ring-sector press in the view drags the sector to the release.
TEST_F(InWindow, RingSectorFromThePress) {
  Paint_Layer();
  gs.tool_net = SFURTER_TOOL;
  gs.fill_kind = COLOR_FILL;
  gs.slider_vals[PAINT_OPACITY_SLIDER] = 100;
  gs.slider_vals[PAINT_CORNER_SLIDER] = 0;
  Script("down 150 100\nmove 140 60\nmove 100 20\nup 100 20\nwait 5\n");
  a_mousestroke stroke{};
  stroke.window = gs.outer_window;
  stroke.lmouse = Point{100, 150};
  stroke.button1 = true;
  Paint_MouseDown(1, stroke);
  const PixMap& m = unit_->statics[PAINT1_LAYER].mask->pix;
  auto mask = [&](int16 v, int16 h) { return uint8(m.baseAddr[size_t(v) * PixMap_RowBytes(m) + size_t(h)]); };
  EXPECT_GT(mask(54, 146), 0);  // 45 degrees, radius 65: between the press and the release
  EXPECT_EQ(mask(146, 146), 0);
  EXPECT_EQ(mask(80, 110), 0);  // inside the inner radius
  EXPECT_EQ(History_Last_Op(), OP_PAINT_FURTER);
}

// Ctrl turns a tool that allows it into the eyedropper for the press: the
// colour under it is taken and no paint layer is made; without Ctrl the
// brush makes the layer and paints.
TEST_F(InWindow, CtrlPressTakesTheColourInstead) {
  gs.ncolor_table = 2;
  gs.color_table[0] = a_pixel32{{0, 0, 0, 255}};
  gs.color_table[1] = a_pixel32{{255, 255, 255, 255}};
  Bar_Recount();
  gs.curr_bar = PAINT_COLORBAR;
  gs.bar_selection[PAINT_COLORBAR] = 0;
  gs.tool_net = BRUSH_TOOL;
  gs.tool_desc[BRUSH_TOOL].dropper = true;
  a_mousestroke stroke{};
  stroke.window = gs.outer_window;
  stroke.lmouse = Point{30, 30};
  stroke.button1 = true;
  stroke.mods = Keymod_Bit(CONTROLKEY);
  Script("down 30 30\nup 30 30\nwait 5\n");
  Paint_MouseDown(1, stroke);
  EXPECT_EQ(gs.bar_selection[PAINT_COLORBAR], 1);  // the white canvas
  EXPECT_FALSE(unit_->paintinuse);
  EXPECT_TRUE(Imprints().empty());
  Host_Script_Reset();
  stroke.mods = 0;
  Script("down 30 30\nup 30 30\nwait 5\n");
  Paint_MouseDown(1, stroke);
  EXPECT_TRUE(unit_->paintinuse);
  ASSERT_EQ(Imprints().size(), 1u);
  EXPECT_TRUE(Imprints()[0][0] == (Point{30, 30}));
}

// --- The marquee -----------------------------------------------------------------------

// What a marquee preview saw on the merged layer: for each call, how many
// pixels of the previous preview's top edge differ from the merged layer
// before the drag.
struct a_marquee_probe {
  std::vector<uint32> before;
  int32 rowbytes = 0;
  Rect last{0, 0, 0, 0};
  std::vector<int> outline;
};
a_marquee_probe g_probe;

void Probing_Marquee_Atom(a_atom_rec& p) {
  if (p.fill != TRACKING_MARQUEE) return;
  const PixMap& m = g_doc.up->statics[TOTAL_LAYER].world->pix;
  int changed = 0;
  for (int16 h = g_probe.last.left; h < g_probe.last.right; ++h) {
    const size_t at = size_t(g_probe.last.top) * size_t(g_probe.rowbytes / 4) + size_t(h);
    changed += reinterpret_cast<const uint32*>(m.baseAddr)[at] != g_probe.before[at];
  }
  if (g_probe.last.right > g_probe.last.left) g_probe.outline.push_back(changed);
  const Point a = p.list->points[0], b = p.list->points[2];
  g_probe.last = Rect{std::min(a.v, b.v), std::min(a.h, b.h), std::max(a.v, b.v), std::max(a.h, b.h)};
  p.dirty = Rect{0, 0, 0, 0};
}

// A rectangle marquee shows its dashed outline on the merged layer while it
// is dragged, each outline taken off for the next, and none once released.
TEST_F(InWindow, MarqueeOutlineWhileDragging) {
  Paint_Layer();
  Current_Unit_UpToDate();
  const PixMap& m = unit_->statics[TOTAL_LAYER].world->pix;
  g_probe = a_marquee_probe{};
  g_probe.rowbytes = int32(PixMap_RowBytes(m));
  g_probe.before.assign(reinterpret_cast<const uint32*>(m.baseAddr),
                        reinterpret_cast<const uint32*>(m.baseAddr) + size_t(m.bounds.bottom) * PixMap_RowBytes(m) / 4);
  const std::vector<uint8> before = Merged_Bytes();
  gs.tool_net = SELECT_TOOL;
  gs.grid_vals[MARQ_KIND_GRID] = RECT_SELECTION;
  gs.tool_desc[FRECT_TOOL].atom_proc = Probing_Marquee_Atom;
  Script("down 20 20\nmove 50 40\nmove 80 60\nup 80 60\n");
  Track_4(FRECT_TOOL, 1, Point{20, 20});
  ASSERT_GE(g_probe.outline.size(), 2u);
  for (int n : g_probe.outline) EXPECT_GT(n, 0);  // the last preview's top edge drawn
  EXPECT_GT(g_probe.outline.back(), 3);
  EXPECT_EQ(Merged_Bytes(), before);
}

// A rectangle marquee over paint captures it as the custom stamp, and the
// tool grid turns to the stamp tool; over nothing it stays the select tool.
TEST_F(InWindow, CaptureTurnsToTheStampTool) {
  Paint_Layer();
  gs.tool_desc[FRECT_TOOL].atom_proc = Atom_FRect;
  gs.grid_vals[MARQ_KIND_GRID] = RECT_SELECTION;
  gs.grid_vals[MARQ_CUT_GRID] = COPY_SELECTION;
  gs.grid_vals[MARQ_TRANSP_GRID] = TRANSPARENT_SELECTION;
  if (t.marq_rgn == nullptr) t.marq_rgn = NewRgn();
  a_mousestroke stroke{};
  stroke.window = gs.outer_window;
  stroke.lmouse = Point{20, 20};
  stroke.button1 = true;
  for (bool painted : {false, true}) {
    SCOPED_TRACE(painted);
    if (painted) {
      const PixMap& m = unit_->statics[PAINT1_LAYER].mask->pix;
      for (int16 v = 30; v < 40; ++v)
        for (int16 h = 30; h < 40; ++h) m.baseAddr[size_t(v) * PixMap_RowBytes(m) + size_t(h)] = 255;
    }
    gs.tool_net = SELECT_TOOL;
    gs.grid_vals[TOOL_GRID] = SELECT_TOOL;
    const uint32 seq = gs.custom_stamp.seq;
    Script("down 20 20\nmove 50 50\nmove 60 60\nup 60 60\n");
    Paint_MouseDown(1, stroke);
    Host_Script_Reset();
    EXPECT_EQ(gs.custom_stamp.seq != seq, painted);
    EXPECT_EQ(gs.tool_net, painted ? STAMP_TOOL : SELECT_TOOL);
    EXPECT_EQ(gs.grid_vals[TOOL_GRID], painted ? STAMP_TOOL : SELECT_TOOL);
  }
  DisposeRgn(t.marq_rgn);
  t.marq_rgn = nullptr;
  Dispose_GWorld(gs.custom_stamp.world);
  Dispose_GWorld(gs.custom_stamp.mask);
  gs.custom_stamp = a_doc_layer{};
}

// --- Gradient placement ----------------------------------------------------------------

// A bucket click with a circular gradient first asks for the centre and
// the extent (prompts 10 and 11, a click each with its sound), then fills.
TEST_F(InWindow, BucketAsksForTheCircularGradientsCentreAndExtent) {
  Paint_Layer();
  gs.tool_net = BUCKET_TOOL;
  gs.tool_desc[BUCKET_TOOL].atom_proc = Recording_Atom;
  gs.fill_kind = GRADIENT_FILL;
  gs.grid_vals[GRAD_KIND_GRID] = CIRCULAR_DITHER;
  soundtest::SoundRecorder sounds;
  std::string err;
  ASSERT_TRUE(Host_Script_Load_Text("click 40 50\nwait 1\nmove 60 60\nwait 1\nclick 70 50\nwait 5\n", "gradient", err)) << err;
  Track_Bucket(1, Point{20, 30});
  EXPECT_TRUE(t.grad_center == (Point{50, 40})) << t.grad_center.v << "," << t.grad_center.h;
  EXPECT_EQ(t.grad_radius, 30);
  EXPECT_EQ(sounds.Ids(), (std::vector<int16>{SND_SET_GRAD_CENTER, SND_SET_GRAD_RADIUS, SND_BUCKET}));
  const auto& ev = Host_Audio_Events();  // the prompt's sound is the system's beep
  EXPECT_NE(std::find_if(ev.begin(), ev.end(), [](const HostAudioEvent& e) { return e.kind == HostAudioEventKind::BEEP; }),
            ev.end());
  EXPECT_EQ(g_prompt_window, nullptr);
  ASSERT_EQ(Imprints().size(), 1u);
  EXPECT_TRUE(Imprints()[0][0] == (Point{20, 30}));
  EXPECT_EQ(History_Last_Op(), OP_PAINT_BUCKET);
}

// Keys at the prompts set nothing: a key pressed while the centre is asked
// for is passed over, and the clicks after it set the centre and extent.
TEST_F(InWindow, AKeyAtTheGradientPromptIsNoClick) {
  Paint_Layer();
  gs.tool_net = BUCKET_TOOL;
  gs.tool_desc[BUCKET_TOOL].atom_proc = Recording_Atom;
  gs.fill_kind = GRADIENT_FILL;
  gs.grid_vals[GRAD_KIND_GRID] = CIRCULAR_DITHER;
  t.grad_center = Point{0, 0};
  std::string err;
  ASSERT_TRUE(Host_Script_Load_Text("move 90 90\nwait 1\nkey A\nwait 1\nclick 40 50\nwait 1\nkey B\nwait 1\n"
                                    "click 70 50\nwait 5\n", "gradient", err)) << err;
  Track_Bucket(1, Point{20, 30});
  EXPECT_TRUE(t.grad_center == (Point{50, 40})) << t.grad_center.v << "," << t.grad_center.h;
  EXPECT_EQ(t.grad_radius, 30);
  EXPECT_EQ(g_prompt_window, nullptr);
  EXPECT_EQ(Imprints().size(), 1u);
}

// --- The eraser ------------------------------------------------------------------------

// Eraser grid 0 to 8 erases free-hand with the square's third as spacing,
// 10 with an oval, 11 with a polygon, every other value with a rectangle.
TEST(EraserTracking, GridZeroToTwelve) {
  VoskDef_Init();  // the size table
  struct Case {
    int16 e;
    a_tool how;
    int16 spacing;
  } cases[] = {{0, ERASER_TOOL, 1},  {1, ERASER_TOOL, 1},  {4, ERASER_TOOL, 1},     {5, ERASER_TOOL, 2},
               {6, ERASER_TOOL, 3},  {7, ERASER_TOOL, 3},  {8, ERASER_TOOL, 5},     {9, SRECT_TOOL, 1},
               {10, SOVAL_TOOL, 1},  {11, SPOLYGON_TOOL, 1}, {12, SRECT_TOOL, 1},   {13, SRECT_TOOL, 1},
               {-1, SRECT_TOOL, 1}};
  for (const Case& c : cases) {
    int16 spacing = -7;
    EXPECT_EQ(Eraser_Tracking(c.e, spacing), c.how) << c.e;
    EXPECT_EQ(spacing, c.spacing) << c.e;
  }
}

// The rectangle, oval and polygon erasers, with a gradient the fill in
// force, erase what they are dragged over (the mask only) and never ask for
// the gradient's centre (whose prompt beeps and takes the next clicks).
TEST_F(InWindow, EraserShapesEraseWithoutAskingForAGradient) {
  Paint_Layer();
  auto world = [&]() -> const PixMap& { return unit_->statics[PAINT1_LAYER].world->pix; };
  auto maskpix = [&]() -> const PixMap& { return unit_->statics[PAINT1_LAYER].mask->pix; };
  for (int16 v = 0; v < 100; ++v)
    for (int16 h = 0; h < 100; ++h) {
      reinterpret_cast<uint32*>(world().baseAddr + size_t(v) * PixMap_RowBytes(world()))[h] = 0xFF3060A0u;
      maskpix().baseAddr[size_t(v) * PixMap_RowBytes(maskpix()) + size_t(h)] = 255;
    }
  History_Emit(OP_PAINT_BRUSH);  // the painted layer as a state of its own
  auto mask = [&](int16 v, int16 h) {
    return uint8(maskpix().baseAddr[size_t(v) * PixMap_RowBytes(maskpix()) + size_t(h)]);
  };
  gs.tool_net = ERASER_TOOL;
  gs.grid_vals[TOOL_GRID] = ERASER_TOOL;
  gs.tool_desc[SRECT_TOOL].atom_proc = Atom_SRect;
  gs.tool_desc[SOVAL_TOOL].atom_proc = Atom_SOval;
  gs.fill_kind = GRADIENT_FILL;
  gs.grid_vals[GRAD_KIND_GRID] = CIRCULAR_DITHER;
  const size_t colour_bytes = size_t(world().bounds.bottom) * PixMap_RowBytes(world());
  for (int16 e : {int16(9), int16(10), int16(12)}) {
    SCOPED_TRACE(e);
    gs.grid_vals[ERASER_GRID] = e;
    const std::vector<uint8> before = Layer_Bytes();
    soundtest::SoundRecorder sounds;
    Script("down 30 30\nmove 50 45\nmove 70 60\nup 70 60\nwait 1\nclick 5 5\nwait 1\nclick 6 6\n");
    a_mousestroke stroke{};
    stroke.window = gs.outer_window;
    stroke.lmouse = Point{30, 30};
    stroke.button1 = true;
    Paint_MouseDown(1, stroke);
    const std::vector<uint8> after = Layer_Bytes();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + ptrdiff_t(colour_bytes), before.begin()));  // colours kept
    EXPECT_EQ(mask(45, 50), 0);    // the middle erased
    EXPECT_EQ(mask(25, 50), 255);  // above it kept
    EXPECT_EQ(mask(45, 75), 255);  // right of it kept
    EXPECT_EQ(sounds.Ids(), std::vector<int16>{}) << "the gradient's prompt";
    EXPECT_EQ(History_Last_Op(), e == 10 ? OP_PAINT_OVAL : OP_PAINT_RECT);
    Host_Script_Reset();
    Undo_Silent();
    EXPECT_EQ(Layer_Bytes(), before);
  }
  // The polygon eraser (11) neither.
  gs.grid_vals[ERASER_GRID] = 11;
  gs.tool_desc[SPOLYGON_TOOL].atom_proc = Atom_SPolygon;
  const std::vector<uint8> before = Layer_Bytes();
  soundtest::SoundRecorder sounds;
  Script("down 30 30\nmove 50 30\nmove 70 30\nmove 70 45\nmove 70 60\nup 70 60\nwait 1\nkey Enter\n"
         "wait 1\nclick 5 5\nwait 1\nclick 6 6\n");
  a_mousestroke stroke{};
  stroke.window = gs.outer_window;
  stroke.lmouse = Point{30, 30};
  stroke.button1 = true;
  Paint_MouseDown(1, stroke);
  const std::vector<uint8> after = Layer_Bytes();
  ASSERT_EQ(after.size(), before.size());
  EXPECT_TRUE(std::equal(after.begin(), after.begin() + ptrdiff_t(colour_bytes), before.begin()));
  EXPECT_EQ(mask(40, 60), 0);    // inside the outline
  EXPECT_EQ(mask(55, 40), 255);  // below its diagonal
  EXPECT_EQ(sounds.Ids(), (std::vector<int16>{SND_POLYGON_FILL}));
  EXPECT_EQ(History_Last_Op(), OP_PAINT_POLYGON);
}

// --- The border fill ---------------------------------------------------------------------

// A bordered rectangle is never smaller than the border's corners, and at
// release its corners are fitted to whole pieces (from its anchor, or about
// its centre) and imprinted once more; other shapes keep their size.
TEST_F(InWindow, BorderFillInWholePieces) {
  OP_Init();
  SysPixt_Init();
  Border_Init();
  FSSpec lib;
  ASSERT_TRUE(Path_From_Text(lib, VELMOR_ART_LIBRARY));
  ASSERT_EQ(OP_OpenFile(lib), OPEN_OKAY) << VELMOR_ART_LIBRARY << " (the build draws it)";
  gs.bar_selection[BORDER_BAR] = 1;
  Point ncorn{}, nside{}, nsliv{}, least{};
  ASSERT_TRUE(Border_CalcSize2(1, Point{0, 0}, ncorn, nside, nsliv, least));
  ASSERT_GT(least.h, 1);
  ASSERT_GT(least.v, 1);
  auto fitted = [](Point frame) {
    Point nc{}, ns{}, nl{}, used{};
    EXPECT_TRUE(Border_CalcSize2(1, frame, nc, ns, nl, used));
    return used;
  };
  gs.fill_kind = BORDER_FILL;
  gs.tool_net = FRECT_TOOL;
  gs.views[0].zoom_fudge = 0;

  // Constraints: a click gives the corners' size, from the centre half of
  // it each way; the marquee keeps one cell.
  Point n1, n2;
  Rect dirty;
  Apply_Constraints(FRECT_TOOL, 1, Point{50, 50}, Point{50, 50}, 0, false, n1, n2, dirty);
  EXPECT_TRUE(n1 == (Point{50, 50}));
  EXPECT_TRUE(n2 == (Point{int16(50 + least.v), int16(50 + least.h)}));
  Apply_Constraints(FRECT_TOOL, 1, Point{50, 50}, Point{49, 49}, 1, false, n1, n2, dirty);
  EXPECT_EQ(n2.v - n1.v, 2 * ((least.v + 1) / 2) + 1);  // the corner before the base: one more
  EXPECT_EQ(n2.h - n1.h, 2 * ((least.h + 1) / 2) + 1);
  const Point far{int16(50 + least.v + 37), int16(50 + least.h + 41)};
  Apply_Constraints(FRECT_TOOL, 1, Point{50, 50}, far, 0, false, n1, n2, dirty);
  EXPECT_TRUE(n2 == far);
  gs.tool_net = SELECT_TOOL;
  Apply_Constraints(FRECT_TOOL, 1, Point{50, 50}, Point{50, 50}, 0, false, n1, n2, dirty);
  EXPECT_TRUE(n2 == (Point{51, 51}));
  gs.tool_net = FRECT_TOOL;

  // Whole pieces: from the anchor either way, or about the centre.
  const Point frame{150, 170};
  const Point used = fitted(frame);
  ASSERT_TRUE(used.v <= frame.v && used.h <= frame.h && (used.v < frame.v || used.h < frame.h));
  Point a{10, 10}, b{160, 180};
  Border_Fit_Corners(0, a, b);
  EXPECT_TRUE(a == (Point{10, 10}));
  EXPECT_TRUE(b == (Point{int16(10 + used.v), int16(10 + used.h)}));
  a = Point{160, 180};
  b = Point{10, 10};
  Border_Fit_Corners(0, a, b);
  EXPECT_TRUE(b == (Point{int16(160 - used.v), int16(180 - used.h)}));
  a = Point{10, 10};
  b = Point{160, 180};
  Border_Fit_Corners(1, a, b);
  EXPECT_TRUE(a == (Point{int16(10 + (150 - used.v) / 2), int16(10 + (170 - used.h) / 2)}));
  EXPECT_EQ(b.v - a.v, used.v);
  EXPECT_EQ(b.h - a.h, used.h);

  // A drag: previews at the mouse, then once more in whole pieces.
  Paint_Layer();
  gs.tool_desc[FRECT_TOOL].atom_proc = Recording_Atom;
  Imprints().clear();
  Script("down 20 10\nmove 100 50\nmove 190 160\nup 190 160\n");
  Track_4(FRECT_TOOL, 1, Point{10, 20});
  ASSERT_GE(Imprints().size(), 2u);
  const std::vector<Point>& before = Imprints()[Imprints().size() - 2];
  const std::vector<Point>& last = Imprints().back();
  EXPECT_TRUE(before[2] == (Point{160, 190}));
  const Point whole = fitted(Point{150, 170});
  EXPECT_TRUE(last[0] == (Point{10, 20}));
  EXPECT_TRUE(last[2] == (Point{int16(10 + whole.v), int16(20 + whole.h)})) << last[2].v << "," << last[2].h;
  EXPECT_EQ(History_Last_Op(), OP_PAINT_RECT);
  Border_Unload();
  OP_Stop();
}

}  // namespace
