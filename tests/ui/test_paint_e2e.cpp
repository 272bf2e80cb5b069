// Painting through the real program on the headless backend, by a script: a
// one-disc project written here is opened, the paint phase entered from its
// button in the phase strip, the brush chosen by its key (B) draws a closed
// ring in about 40 moves, the bucket (G) fills its inside, the stamp tool (S)
// stamps twice, Ctrl+Z takes the second stamp back and Ctrl+S saves. A
// snapshot after each step goes to <build>/paint-e2e/ for a person to look
// at. The saved file is read back here and its paint layer checked: the
// stroke through every sample, the ring's inside filled, the first stamp
// there and the second gone.
//
// The cells are turned into window points with the document view's own
// mapping, worked out here as the program does for the window's size: the
// editing layout, the view's rectangle in the edit area, the fit zoom, the
// unit centred.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "FontTestSupport.h"
#include "LabelSessionSupport.h"
#include "TestSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskFunc.h"
#include "host/HostScript.h"
#include "platform/Resources.h"
#include "platform/SysIO.h"
#include "platform/VoskDef.h"
#include "platform/VoskPref.h"
#include "ui/TempConfigHome.h"
#include "ui/VoskBar.h"
#include "ui/VoskConf.h"
#include "ui/VoskFun2.h"
#include "ui/VoskIntI.h"
#include "ui/VoskStat.h"

namespace {

namespace fs = std::filesystem;

constexpr int kScreenW = 1280, kScreenH = 1024;

std::string At(Point p) { return std::to_string(p.h) + " " + std::to_string(p.v); }
Point Middle(const Rect& r) { return Point{int16((r.top + r.bottom) / 2), int16((r.left + r.right) / 2)}; }

// One unit's paint layer as read back: colour and coverage per cell.
struct a_paint_copy {
  bool present = false;
  int32 w = 0, h = 0;
  std::vector<uint32> colour;
  std::vector<uint8> mask;
  bool Inside(Point c) const { return c.h >= 0 && c.v >= 0 && c.h < w && c.v < h; }
  // A cell outside the layer reads as unpainted black.
  uint32 Colour(Point c) const {
    return Inside(c) ? colour[size_t(c.v) * size_t(w) + size_t(c.h)] & 0xFFFFFFu : 0;
  }
  uint8 Mask(Point c) const { return Inside(c) ? mask[size_t(c.v) * size_t(w) + size_t(c.h)] : 0; }
  // Cells of r with any coverage.
  int Painted(const Rect& r) const {
    int n = 0;
    for (int16 v = std::max<int16>(r.top, 0); v < std::min<int32>(r.bottom, h); ++v)
      for (int16 x = std::max<int16>(r.left, 0); x < std::min<int32>(r.right, w); ++x) n += Mask(Point{v, x}) != 0;
    return n;
  }
};

class PaintEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
    if (!fs::exists(VELMOR_ART_LIBRARY)) GTEST_SKIP() << "the picture library is not built";
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    ASSERT_FALSE(home_.dir.empty());
    dir_ = home_.dir;
    Resources_Init();
    ASSERT_TRUE(Prefs_File_Path(prefs_));
    fs::create_directories(fs::path(prefs_).parent_path());
    const std::string exe = VELMOR4_EXE;
    shots_ = exe.substr(0, exe.find_last_of('/')) + "/paint-e2e";
    fs::create_directories(shots_);
  }
  void TearDown() override {
    doctests::Close_Document();
    Fonts_Stop();
  }

  int Run(const std::string& script, std::string& err) {
    return labelsession::Run(dir_, script, kScreenW, kScreenH, err);
  }
  std::string Shot(const std::string& name) {
    const std::string path = shots_ + "/" + name + ".png";
    fs::remove(path);
    return path;
  }

  // The project at path read in this process, its first unit current, with
  // the interface state the session starts from.
  void Read_Project(const std::string& path) {
    doctests::Close_Document();
    doctests::Start_Document_Modules();
    VoskStat_Init();
    os_language = ENGLISH;
    Prefs_SetToDefault();
    FSSpec spec{};
    ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
    ASSERT_TRUE(Read_DISC(spec, false)) << path;
    Select_Doc_Unit(1);
    ASSERT_NE(g_doc.up, nullptr);
  }

  // View 1 of the paint phase in a client area of w x h, as the program
  // sets it up at the fit zoom: the unit centred.
  void Paint_View(int32 w, int32 h) {
    gs.curr_phase = PAINT_PHASE;
    gs.nviews = 1;
    const a_window_layout lay = Calc_Editing_Layout(Rect{0, 0, int16(h), int16(w)});
    const a_edit_rects e = Calc_Edit_Rects(lay.edit, 1);
    Calc_Fit_Zoom(e.views[0]);
    const int16 zoomx = GRID_VALUES[ZOOM_GRID].grid_defaultval;
    gs.grid_vals[ZOOM_GRID] = zoomx;
    a_view_rec& view = gs.views[0];
    view.bounds = e.views[0];
    view.zoom_factor = ZoomxToFactor[zoomx];
    view.zoom_fudge = ZoomxFudge[zoomx];
    // The unit's centre in the middle, as far as the scroll limits let it.
    Point origin, min, max;
    Focus_To_Origin(1, Calc_Default_Focus(zoomx), origin);
    Calc_ScrollBar_Limits(min, max);
    view.origin = Point{std::clamp(origin.v, min.v, max.v), std::clamp(origin.h, min.h, max.h)};
  }

  // The paint layer of the first unit of the project at path.
  a_paint_copy Paint_Of(const std::string& path) {
    a_paint_copy p;
    Read_Project(path);
    if (HasFatalFailure()) return p;
    const a_doc_unit* u = g_doc.up;
    const a_cached_gworld& l = u->statics[PAINT1_LAYER];
    if (!u->paintinuse || l.world == nullptr || l.mask == nullptr) return p;
    p.present = true;
    const PixMap& c = l.world->pix;
    const PixMap& m = l.mask->pix;
    p.w = c.bounds.right - c.bounds.left;
    p.h = c.bounds.bottom - c.bounds.top;
    for (int32 y = 0; y < p.h; ++y) {
      const auto* row = reinterpret_cast<const uint32*>(c.baseAddr + size_t(y) * PixMap_RowBytes(c));
      p.colour.insert(p.colour.end(), row, row + p.w);
      const auto* mrow = reinterpret_cast<const uint8*>(m.baseAddr) + size_t(y) * PixMap_RowBytes(m);
      p.mask.insert(p.mask.end(), mrow, mrow + p.w);
    }
    return p;
  }

  // A fresh one-disc project at dir/name with the session's preferences,
  // the window's size from a first look at it opened, and view 1 set up
  // for that size, the project's first unit current.
  void Fresh_Session(const std::string& name, std::string& project, int32& w, int32& h) {
    a_pref_rec rec;
    ASSERT_TRUE(labelsession::CD_Prefs(rec));
    labelsession::Write_Prefs(prefs_, rec);
    project = dir_ + "/" + name;
    ASSERT_TRUE(labelsession::Write_CD_Project(project));
    const std::string opened = Shot(name + "-opened");
    std::string err;
    const int rc = Run("wait 10\n" + labelsession::Open_Project(project) + "wait 10\nsnapshot " + opened + "\nquit\n", err);
    ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << err;
    std::vector<uint32> px;
    std::string why;
    ASSERT_TRUE(Host_Read_PNG(opened, px, w, h, why)) << why;
    Read_Project(project);
    ASSERT_FALSE(HasFatalFailure());
    Paint_View(w, h);
  }
  static std::string Window_At(Point cell) {
    Point p;
    CellToScreen(1, cell, p);
    return At(p);
  }
  static std::string Phase_Click(a_phase phase, int32 w, int32 h) {
    Rect r{};
    if (!Phase_Button_Rect(phase, Calc_Editing_Layout(Rect{0, 0, int16(h), int16(w)}).phase, r)) return "";
    return "click " + At(Middle(r)) + "\n";
  }
  // A drag from cell a to cell b in steps moves.
  static std::string Drag(Point a, Point b, int steps = 6) {
    std::string s = "down " + Window_At(a) + "\n";
    for (int i = 1; i <= steps; ++i)
      s += "move " + Window_At(Point{int16(a.v + (b.v - a.v) * i / steps), int16(a.h + (b.h - a.h) * i / steps)}) + "\n";
    return s + "up " + Window_At(b) + "\nwait 3\n";
  }

  TempConfigHome home_{"config"};
  std::string dir_, prefs_, shots_;
};

TEST_F(PaintEndToEnd, StrokeBucketStampsUndoAndSave) {
  a_pref_rec rec;
  ASSERT_TRUE(labelsession::CD_Prefs(rec));
  labelsession::Write_Prefs(prefs_, rec);
  const std::string project = dir_ + "/disc.CD4";
  ASSERT_TRUE(labelsession::Write_CD_Project(project));
  Read_Project(project);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(g_doc.doc_template.nunits, 1u) << "a project of one disc";
  ASSERT_FALSE(g_doc.up->paintinuse);

  // The window's size, from a first look at the opened project.
  const std::string opened = Shot("1-opened");
  std::string err;
  int rc = Run("wait 10\n" + labelsession::Open_Project(project) + "wait 10\nsnapshot " + opened + "\nquit\n", err);
  ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << err;
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  std::string why;
  ASSERT_TRUE(Host_Read_PNG(opened, px, w, h, why)) << why;

  // Where things go, in cells of the disc.
  Read_Project(project);
  ASSERT_FALSE(HasFatalFailure());
  Paint_View(w, h);
  const Rect pb = g_doc.up->paintbounds;
  const int16 side = int16(pb.right - pb.left);
  ASSERT_GT(side, 1000);
  // A ring of radius 160 in the top part of the disc, clear of the hole; two
  // stamps low left and low right.
  const Point ring_centre{int16(pb.top + side * 17 / 100), int16(pb.left + side / 2)};
  const int16 radius = 160;
  const Point stamp1{int16(pb.top + side * 78 / 100), int16(pb.left + side * 32 / 100)};
  const Point stamp2{int16(pb.top + side * 78 / 100), int16(pb.left + side * 68 / 100)};
  const auto to_window = [](Point cell) {
    Point p;
    CellToScreen(1, cell, p);
    return p;
  };
  const auto to_cell = [](Point screen) {
    Point c;
    ScreenToCell(1, screen, c);
    return c;
  };
  constexpr int kMoves = 40;
  // The stroke's window points, and the cells the view takes them for.
  std::vector<Point> stroke, stroke_cells;
  for (int i = 0; i <= kMoves; ++i) {
    const double a = 2 * std::numbers::pi * i / kMoves;
    stroke.push_back(to_window(Point{int16(ring_centre.v + std::lround(radius * std::sin(a))),
                                     int16(ring_centre.h + std::lround(radius * std::cos(a)))}));
    stroke_cells.push_back(to_cell(stroke.back()));
  }
  Rect paint_button;
  ASSERT_TRUE(Phase_Button_Rect(PAINT_PHASE, Calc_Editing_Layout(Rect{0, 0, int16(h), int16(w)}).phase, paint_button));

  const char* names[] = {"2-paint-phase", "3-stroke", "4-bucket", "5-stamp1", "6-stamp2", "7-undone", "8-saved"};
  std::vector<std::string> shot;
  for (const char* n : names) shot.push_back(Shot(n));
  const auto snapshot = [&](int k) { return "wait 5\nsnapshot " + shot[size_t(k)] + "\n"; };
  std::ostringstream s;
  s << "wait 10\n" << labelsession::Open_Project(project) << "wait 10\n"
    << "click " << At(Middle(paint_button)) << "\n" << snapshot(0)
    // The brush: a closed ring.
    << "key B\nwait 2\ndown " << At(stroke[0]) << "\n";
  for (size_t i = 1; i < stroke.size(); ++i) s << "move " << At(stroke[i]) << "\n";
  s << "up " << At(stroke.back()) << "\n" << snapshot(1)
    // The bucket inside it.
    << "key G\nwait 2\nclick " << At(to_window(ring_centre)) << "\n" << snapshot(2)
    // Two stamps, the second taken back.
    << "key S\nwait 2\nclick " << At(to_window(stamp1)) << "\n" << snapshot(3) << "click " << At(to_window(stamp2))
    << "\n" << snapshot(4) << "key Ctrl+Z\n" << snapshot(5) << "key Ctrl+S\n" << snapshot(6) << "quit\n";
  rc = Run(s.str(), err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("alert"), std::string::npos) << err;
  EXPECT_EQ(err.find("script line"), std::string::npos) << err;

  // Every step showed.
  std::vector<std::vector<uint32>> pics(shot.size());
  for (size_t k = 0; k < shot.size(); ++k) {
    int32 pw = 0, ph = 0;
    ASSERT_TRUE(Host_Read_PNG(shot[k], pics[k], pw, ph, why)) << shot[k] << ": " << why;
  }
  for (size_t k = 1; k < 5; ++k) EXPECT_TRUE(pics[k] != pics[k - 1]) << names[k] << " shows no change";
  EXPECT_TRUE(pics[5] != pics[4]) << "the undo shows no change";

  // Read back.
  const a_paint_copy paint = Paint_Of(project);
  ASSERT_TRUE(paint.present) << "no paint layer saved";
  ASSERT_EQ(paint.w, side);
  // The stroke passes through every sample, and a cell next to the middle
  // of each pair (the 1-cell brush steps along the line between them).
  ASSERT_TRUE(paint.Inside(stroke_cells[0]));
  ASSERT_NE(paint.Mask(stroke_cells[0]), 0) << "the stroke's first sample is unpainted";
  const uint32 brush = paint.Colour(stroke_cells[0]);
  const auto stroked = [&](Point c, int reach) {
    for (int16 dv = int16(-reach); dv <= reach; ++dv)
      for (int16 dh = int16(-reach); dh <= reach; ++dh) {
        const Point n{int16(c.v + dv), int16(c.h + dh)};
        if (paint.Inside(n) && paint.Mask(n) != 0 && paint.Colour(n) == brush) return true;
      }
    return false;
  };
  for (size_t i = 0; i + 1 < stroke_cells.size(); ++i) {
    const Point a = stroke_cells[i], b = stroke_cells[i + 1];
    EXPECT_TRUE(stroked(a, 0)) << "sample " << i << " at " << a.v << "," << a.h;
    EXPECT_TRUE(stroked(Point{int16((a.v + b.v) / 2), int16((a.h + b.h) / 2)}, 1)) << "after sample " << i;
  }
  // The ring's inside filled to the stroke; outside it nothing but the first
  // stamp.
  int inside = 0, inside_painted = 0;
  for (int16 v = int16(ring_centre.v - radius); v <= ring_centre.v + radius; v += 7)
    for (int16 x = int16(ring_centre.h - radius); x <= ring_centre.h + radius; x += 7) {
      const double d = std::hypot(v - ring_centre.v, x - ring_centre.h);
      if (d > radius - 20) continue;
      ++inside;
      inside_painted += paint.Mask(Point{v, x}) != 0 && paint.Colour(Point{v, x}) == brush;
    }
  EXPECT_EQ(inside_painted, inside) << "cells of the ring's inside left unfilled";
  const int16 around = 150;
  const auto box = [&](Point c) {
    return Rect{int16(c.v - around), int16(c.h - around), int16(c.v + around), int16(c.h + around)};
  };
  EXPECT_GT(paint.Painted(box(stamp1)), 500) << "the first stamp is missing";
  EXPECT_EQ(paint.Painted(box(stamp2)), 0) << "the second stamp is still there";
}

// Every tool of the paint phase's grid, chosen by its key and used with
// the mouse in a region of its own on a ring round the disc, the project
// saved and its paint layer read back: each painting tool painted its
// region as its imprint paints (a filled shape its middle, a framed one its
// edge and not its middle, the spray dots round the point, the eraser a gap
// in a brushed line, the eyedropper the colour the next stroke takes), and
// the tools that paint nothing left their regions clear.
TEST_F(PaintEndToEnd, EveryToolOfTheGridPaintsInASession) {
  std::string project;
  int32 w = 0, h = 0;
  Fresh_Session("tools.CD4", project, w, h);
  ASSERT_FALSE(HasFatalFailure());
  const Rect pb = g_doc.up->paintbounds;
  const int16 side = int16(pb.right - pb.left);
  const Point centre{int16((pb.top + pb.bottom) / 2), int16((pb.left + pb.right) / 2)};
  // Region k: on a ring at a third of the side from the centre.
  const auto region = [&](int k) {
    const double a = 2 * std::numbers::pi * k / 12;
    return Point{int16(centre.v - std::lround(side * 0.33 * std::cos(a))), int16(centre.h + std::lround(side * 0.33 * std::sin(a)))};
  };
  const int16 d = int16(side / 20), box = int16(side / 14);
  const auto around = [&](Point c, int16 r) { return Rect{int16(c.v - r), int16(c.h - r), int16(c.v + r), int16(c.h + r)}; };
  const auto off = [](Point c, int dv, int dh) { return Point{int16(c.v + dv), int16(c.h + dh)}; };
  // The ring sectors about the disc's centre, from a third less a bit to a
  // third and a bit, over a few degrees.
  const auto polar = [&](double deg, double r) {
    const double a = deg * std::numbers::pi / 180;
    return Point{int16(centre.v - std::lround(side * r * std::cos(a))), int16(centre.h + std::lround(side * r * std::sin(a)))};
  };
  const std::string shot = Shot("tools-done");
  std::ostringstream s;
  s << "wait 10\n" << labelsession::Open_Project(project) << "wait 10\n" << Phase_Click(PAINT_PHASE, w, h) << "wait 5\n";
  // 0 brush, then the eraser across it (1 is the same line).
  const Point r0 = region(0);
  s << "key B\nwait 2\n" << Drag(off(r0, 0, -d), off(r0, 0, d));
  s << "key E\nwait 2\n" << Drag(off(r0, -d, 0), off(r0, d, 0));
  // 1 spray, held a while.
  const Point r1 = region(1);
  s << "key J\nwait 2\ndown " << Window_At(r1) << "\nwait 10\nmove " << Window_At(off(r1, 4, 4)) << "\nwait 10\nup "
    << Window_At(off(r1, 4, 4)) << "\nwait 3\n";
  // 2 polygon: a triangle dragged back to its start.
  const Point r2 = region(2);
  s << "key P\nwait 2\ndown " << Window_At(off(r2, -d, 0)) << "\n";
  for (Point q : {off(r2, d / 2, d), off(r2, d, d), off(r2, d, -d), off(r2, d / 2, -d), off(r2, -d, 0)})
    s << "move " << Window_At(q) << "\n";
  s << "up " << Window_At(off(r2, -d, 0)) << "\nwait 3\n";
  // 3 filled oval, 4 filled sector, 5 filled rectangle.
  const Point r3 = region(3), r5 = region(5);
  s << "key O\nwait 2\n" << Drag(off(r3, -d, -d), off(r3, d, d));
  s << "key A\nwait 2\ndown " << Window_At(polar(115, 0.30)) << "\n";
  for (int i = 1; i <= 6; ++i) s << "move " << Window_At(polar(115 + i * 2.5, 0.30 + i * 0.01)) << "\n";
  s << "up " << Window_At(polar(130, 0.36)) << "\nwait 3\n";
  s << "key U\nwait 2\n" << Drag(off(r5, -d, -d), off(r5, d, d));
  // 6 the hand: the view follows it (the unit does not fill the view's
  // width at the fit zoom), and dragged back it stands where it stood, with
  // nothing painted; 7 a stamp.
  const Point r6 = region(6), r7 = region(7);
  const std::string before_hand = Shot("tools-before-hand"), handed = Shot("tools-hand"), after_hand = Shot("tools-after-hand");
  s << "key H\nwait 2\nsnapshot " << before_hand << "\n" << Drag(off(r6, 0, -d), off(r6, 0, d)) << "snapshot " << handed
    << "\n" << Drag(off(r6, 0, d), off(r6, 0, -d)) << "snapshot " << after_hand << "\n";
  s << "key S\nwait 2\nclick " << Window_At(r7) << "\nwait 3\n";
  // 8 line, 9 framed oval, 10 framed sector, 11 framed rectangle.
  const Point r8 = region(8), r9 = region(9), r11 = region(11);
  s << "key L\nwait 2\n" << Drag(off(r8, -d, -d), off(r8, d, d));
  s << "key V\nwait 2\n" << Drag(off(r9, -d, -d), off(r9, d, d));
  s << "key C\nwait 2\ndown " << Window_At(polar(295, 0.28)) << "\n";
  for (int i = 1; i <= 6; ++i) s << "move " << Window_At(polar(295 + i * 2.5, 0.28 + i * 0.0133)) << "\n";
  s << "up " << Window_At(polar(310, 0.36)) << "\nwait 3\n";
  s << "key T\nwait 2\n" << Drag(off(r11, -d, -d), off(r11, d, d));
  // The eyedropper on the bare canvas (white), then a brush line in 6 takes it.
  s << "key I\nwait 2\nclick " << Window_At(off(r6, d, d)) << "\nwait 3\n";
  s << "key B\nwait 2\n" << Drag(off(r6, d / 2, -d), off(r6, d / 2, d));
  s << "key Ctrl+S\nwait 5\nsnapshot " << shot << "\nquit\n";
  std::string err;
  const int rc = Run(s.str(), err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("alert"), std::string::npos) << err;
  EXPECT_EQ(err.find("script line"), std::string::npos) << err;

  {
    std::vector<uint32> a, b, c;
    int32 aw = 0, ah = 0, bw = 0, bh = 0, cw = 0, ch = 0;
    std::string why;
    ASSERT_TRUE(Host_Read_PNG(before_hand, a, aw, ah, why)) << why;
    ASSERT_TRUE(Host_Read_PNG(handed, b, bw, bh, why)) << why;
    ASSERT_TRUE(Host_Read_PNG(after_hand, c, cw, ch, why)) << why;
    ASSERT_TRUE(aw == bw && ah == bh && aw == cw && ah == ch);
    const auto differing = [](const std::vector<uint32>& x, const std::vector<uint32>& y) {
      size_t n = 0;
      for (size_t i = 0; i < x.size(); ++i) n += x[i] != y[i];
      return n;
    };
    // Moved by a cell, the unit's dashed outline alone differs in thousands
    // of pixels; back in place, only a few edge pixels of the shapes drawn
    // before may be sampled differently when the view is drawn again.
    EXPECT_GT(differing(a, b), 5000u) << "the hand moves the view";
    EXPECT_LT(differing(a, c), 500u) << "the hand dragged back leaves the view as it was";
  }
  const a_paint_copy paint = Paint_Of(project);
  ASSERT_TRUE(paint.present) << "no paint layer saved";
  Paint_View(w, h);
  const auto cell_of = [](Point c) {  // the cell the view takes c's window point for
    Point p, back;
    CellToScreen(1, c, p);
    ScreenToCell(1, p, back);
    return back;
  };
  const auto near = [&](Point c, int r) { return paint.Painted(around(cell_of(c), int16(r))); };
  // Brush and eraser: the line's ends painted, a gap where the eraser crossed.
  EXPECT_GT(near(off(r0, 0, -d + 6), 3), 0) << "brush";
  EXPECT_GT(near(off(r0, 0, d - 6), 3), 0) << "brush";
  EXPECT_EQ(near(r0, 0), 0) << "eraser";
  // Spray: dots round the point, within the radius.
  EXPECT_GT(paint.Painted(around(r1, box)), 0) << "spray";
  EXPECT_GT(near(off(r2, d / 2 + 8, 0), 2), 0) << "polygon";
  EXPECT_GT(near(r3, 4), 20) << "filled oval";
  EXPECT_EQ(near(off(r3, -d + 3, -d + 3), 1), 0) << "filled oval's corner";
  EXPECT_GT(near(polar(122.5, 0.33), 4), 20) << "filled sector";
  EXPECT_GT(near(r5, 4), 20) << "filled rectangle";
  EXPECT_GT(near(off(r5, -d + 4, -d + 4), 1), 0) << "filled rectangle's corner";
  EXPECT_EQ(paint.Painted(around(off(r6, -d / 2, 0), int16(d / 3))), 0) << "the hand paints nothing";
  EXPECT_GT(paint.Painted(around(r7, box)), 100) << "stamp";
  EXPECT_GT(near(r8, 3), 0) << "line";
  EXPECT_EQ(near(off(r8, d / 2, -d / 2), 2), 0) << "line's side";
  EXPECT_GT(near(off(r9, 0, -d), 3), 0) << "framed oval's edge";
  EXPECT_EQ(near(r9, 6), 0) << "framed oval's middle";
  EXPECT_GT(paint.Painted(around(polar(302.5, 0.32), box)), 0) << "framed sector";
  EXPECT_GT(near(off(r11, 0, -d), 3), 0) << "framed rectangle's edge";
  EXPECT_EQ(near(r11, 6), 0) << "framed rectangle's middle";
  // The eyedropper took the canvas's white: the second brush line is white,
  // the first one is not.
  const Point line2 = cell_of(off(r6, d / 2, 0)), line1 = cell_of(off(r0, 0, -d + 6));
  ASSERT_NE(paint.Mask(line2), 0) << "the line after the eyedropper";
  EXPECT_EQ(paint.Colour(line2), 0xFFFFFFu) << "the eyedropper's colour";
  for (int16 dv = -3; dv <= 3; ++dv)
    for (int16 dh = -3; dh <= 3; ++dh)
      if (paint.Mask(off(line1, dv, dh)) != 0) EXPECT_NE(paint.Colour(off(line1, dv, dh)), 0xFFFFFFu);
}

// The stamp and the marquee: two stamps with the paint phase left and
// entered again between them both paint; a filled oval cut out with the
// rectangle marquee (the tool turns into the stamp tool by itself) is
// placed elsewhere with one click, its cells where the oval was and none in
// the corners of its box; the place it was cut from is bare.
TEST_F(PaintEndToEnd, StampsAfterAPhaseChangeAndACapturedOvalPlaced) {
  std::string project;
  int32 w = 0, h = 0;
  Fresh_Session("stamps.CD4", project, w, h);
  ASSERT_FALSE(HasFatalFailure());
  const Rect pb = g_doc.up->paintbounds;
  const int16 side = int16(pb.right - pb.left);
  const auto at = [&](double fv, double fh) { return Point{int16(pb.top + side * fv), int16(pb.left + side * fh)}; };
  const Point stamp1 = at(0.25, 0.3), stamp2 = at(0.25, 0.7), oval = at(0.75, 0.3), placed = at(0.75, 0.7);
  const int16 d = int16(side / 20);
  const auto off = [](Point c, int dv, int dh) { return Point{int16(c.v + dv), int16(c.h + dh)}; };
  const auto around = [](Point c, int16 r) { return Rect{int16(c.v - r), int16(c.h - r), int16(c.v + r), int16(c.h + r)}; };
  const std::string shot = Shot("stamps-done");
  std::ostringstream s;
  s << "wait 10\n" << labelsession::Open_Project(project) << "wait 10\n" << Phase_Click(PAINT_PHASE, w, h) << "wait 5\n"
    << "key S\nwait 2\nclick " << Window_At(stamp1) << "\nwait 3\n"
    << Phase_Click(CANVAS_PHASE, w, h) << "wait 5\n" << Phase_Click(PAINT_PHASE, w, h) << "wait 5\n"
    << "click " << Window_At(stamp2) << "\nwait 3\n"
    << "key O\nwait 2\n" << Drag(off(oval, -d, -d), off(oval, d, d))
    << "key M\nwait 2\n" << Drag(off(oval, -2 * d, -2 * d), off(oval, 2 * d, 2 * d))
    << "click " << Window_At(placed) << "\nwait 3\n"
    << "key Ctrl+S\nwait 5\nsnapshot " << shot << "\nquit\n";
  std::string err;
  const int rc = Run(s.str(), err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("alert"), std::string::npos) << err;
  EXPECT_EQ(err.find("script line"), std::string::npos) << err;

  const a_paint_copy paint = Paint_Of(project);
  ASSERT_TRUE(paint.present) << "no paint layer saved";
  const int16 r = int16(side / 12);
  EXPECT_GT(paint.Painted(around(stamp1, r)), 100) << "the first stamp";
  EXPECT_GT(paint.Painted(around(stamp2, r)), 100) << "the stamp after the phase change";
  EXPECT_EQ(paint.Painted(around(oval, int16(2 * d))), 0) << "the oval was cut";
  EXPECT_GT(paint.Painted(around(placed, int16(d / 2))), 20) << "the captured oval placed";
  // The oval's box at the place: its corners are outside the oval.
  for (int sv : {-1, 1})
    for (int sh : {-1, 1})
      EXPECT_EQ(paint.Painted(around(off(placed, sv * (d - 4), sh * (d - 4)), 2)), 0)
          << "a corner of the placed oval's box is painted";
  EXPECT_EQ(paint.Painted(Rect{int16(placed.v - 3 * d), int16(placed.h - 3 * d), int16(placed.v - 2 * d), int16(placed.h + 3 * d)}), 0)
      << "paint above the placed oval";
}

}  // namespace
