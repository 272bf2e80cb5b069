// View geometry: cells, screen pixels of two views, merge pixels and print
// dots, at every zoom step and for cells left of and above the origin; the
// painting symmetry (turns and mirrors around the unit's centre, and the
// gradient that follows them); and the small services of the view.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "objects/VoskBlok.h"
#include "pixel/DrawUtilDraw.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysRgn.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"

namespace {

class ViewGeometry : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    VoskFunc_Init();
    gs.nviews = 2;
    gs.views[0].origin = Point{25, -37};  // v, h
    gs.views[0].bounds = Rect{50, 100, 450, 600};
    gs.views[1].origin = Point{-5, 10};
    gs.views[1].bounds = Rect{60, 620, 300, 900};
  }
  void Zoom(int z) {
    for (a_view_rec& v : gs.views) v.zoom_factor = ZoomxToFactor[z];
  }
};

// Cell to screen and back at each of the five zooms in both views. Zoomed in
// (and at 1:1) a cell comes back exactly, and a pixel comes back onto the
// first pixel of its cell; zoomed out a pixel comes back exactly and a cell
// onto the first cell of its pixel.
TEST_F(ViewGeometry, RoundTripsAtEveryZoomInBothViews) {
  for (int z = 0; z < NZOOMS; ++z) {
    Zoom(z);
    const a_ratio f = ZoomxToFactor[z];
    for (uint16 vx = 1; vx <= 2; ++vx) {
      for (int c = -333; c <= 333; c += 7) {
        const Point cell{int16(c / 2 - 20), int16(c)};
        Point s, back;
        CellToScreen(vx, cell, s);
        ScreenToCell(vx, s, back);
        if (f.num >= f.den) {
          EXPECT_EQ(back, cell) << "zoom " << z << " view " << vx << " cell " << c;
        } else {
          EXPECT_LE(back.h, cell.h);
          EXPECT_GT(back.h, cell.h - f.den) << "zoom " << z << " cell " << c;
          EXPECT_LE(back.v, cell.v);
          EXPECT_GT(back.v, cell.v - f.den);
        }
      }
      for (int p = -150; p <= 1000; p += 3) {
        const Point screen{int16(p / 3 + 10), int16(p)};
        Point cell, back;
        ScreenToCell(vx, screen, cell);
        CellToScreen(vx, cell, back);
        if (f.num <= f.den) {
          EXPECT_EQ(back, screen) << "zoom " << z << " view " << vx << " pixel " << p;
        } else {
          EXPECT_LE(back.h, screen.h) << "zoom " << z << " pixel " << p;
          EXPECT_GT(back.h, screen.h - f.num);
          EXPECT_LE(back.v, screen.v);
          EXPECT_GT(back.v, screen.v - f.num);
        }
      }
    }
  }
}

// Left of and above a view zoomed in, pixels map before its origin.
TEST_F(ViewGeometry, PointsLeftOfAZoomedInViewMapBeforeItsOrigin) {
  Zoom(2);  // 2:1
  const a_view_rec& v = gs.views[0];
  Point cell;
  ScreenToCell(1, Point{v.bounds.top, int16(v.bounds.left - 1)}, cell);
  EXPECT_EQ(cell.h, v.origin.h - 1);
  EXPECT_EQ(cell.v, v.origin.v);
  ScreenToCell(1, Point{int16(v.bounds.top - 2), int16(v.bounds.left - 2)}, cell);
  EXPECT_EQ(cell, (Point{int16(v.origin.v - 1), int16(v.origin.h - 1)}));
  ScreenToCell(1, Point{int16(v.bounds.top - 3), int16(v.bounds.left - 3)}, cell);
  EXPECT_EQ(cell, (Point{int16(v.origin.v - 2), int16(v.origin.h - 2)}));
  Zoom(4);  // 4:1
  ScreenToCell(1, Point{int16(v.bounds.top - 4), int16(v.bounds.left - 5)}, cell);
  EXPECT_EQ(cell, (Point{int16(v.origin.v - 1), int16(v.origin.h - 2)}));
  Zoom(1);
  ScreenToCell(1, Point{int16(v.bounds.top - 3), int16(v.bounds.left - 1)}, cell);
  EXPECT_EQ(cell, (Point{int16(v.origin.v - 3), int16(v.origin.h - 1)}));
}

// Rectangles hold every pixel (or cell) of what they were made from.
TEST_F(ViewGeometry, RectanglesContainTheirSource) {
  const Rect rects[] = {{-40, -71, -3, -2}, {5, 7, 9, 11}, {-13, -9, 30, 41}, {100, 200, 101, 201}};
  for (int z = 0; z < NZOOMS; ++z) {
    Zoom(z);
    for (uint16 vx = 1; vx <= 2; ++vx) {
      for (const Rect& r : rects) {
        Rect sr;
        CellToScreenRect(vx, r, sr);
        Rect cr;
        ScreenToCellRect(vx, r, cr);
        for (int16 v : {r.top, int16(r.bottom - 1)})
          for (int16 h : {r.left, int16(r.right - 1)}) {
            Point s, c;
            CellToScreen(vx, Point{v, h}, s);
            EXPECT_TRUE(PtInRect(s, sr)) << "zoom " << z << " cell " << h << "," << v;
            ScreenToCell(vx, Point{v, h}, c);
            EXPECT_TRUE(PtInRect(c, cr)) << "zoom " << z << " pixel " << h << "," << v;
          }
      }
    }
  }
  // At 1:1 a cell rectangle is only moved.
  Zoom(1);
  Rect sr;
  CellToScreenRect(1, Rect{0, 0, 10, 20}, sr);
  EXPECT_EQ(sr, (Rect{25, 137, 35, 157}));
  EXPECT_EQ(CellToScreenInt(1, 9), 9);
  Zoom(3);
  EXPECT_EQ(CellToScreenInt(1, 9), 27);
  EXPECT_EQ(ScreenToCellInt(1, 27), 9);
}

// A cell region lands where its rectangle does.
TEST_F(ViewGeometry, RegionsLandWhereTheirRectanglesDo) {
  for (int z : {0, 1, 2, 4}) {
    Zoom(z);
    const Rect r{-9, -21, 31, 51};  // even offsets from the origin: the half-size view scales them exactly
    RgnHandle cells = NewRgn();
    RgnHandle screen = NewRgn();
    RectRgn(cells, r);
    CellToScreenRgn(1, cells, screen);
    Rect got, want;
    Rgn_GetBounds(screen, got);
    CellToScreenRect(1, r, want);
    EXPECT_EQ(got, want) << "zoom " << z;
    DisposeRgn(cells);
    DisposeRgn(screen);
  }
}

// A point list keeps its separators as they are.
TEST_F(ViewGeometry, PointListSeparatorsAreKept) {
  Zoom(2);
  a_pointlist_ptr cells = nullptr, screen = nullptr;
  New_Pointlist(8, cells);
  New_Pointlist(8, screen);
  cells->npoints = 0;
  Add_Pointlist(cells, 1, 2);
  Add_Pointlist(cells, -3, 4);
  Add_Pointlist_Break(cells);
  Add_Pointlist(cells, 5, -6);
  CellToScreen_Pointlist(2, cells, screen);
  ASSERT_EQ(screen->npoints, 4);
  EXPECT_TRUE(Is_Pointlist_Break(screen->points[2]));
  for (int i : {0, 1, 3}) {
    Point want;
    CellToScreen(2, cells->points[i], want);
    EXPECT_EQ(screen->points[i], want) << i;
  }
  Dispose_Pointlist(cells);
  Dispose_Pointlist(screen);
}

// Which view a point lies in.
TEST_F(ViewGeometry, ThePointsView) {
  EXPECT_EQ(CalcView(Point{100, 700}), 2);
  EXPECT_EQ(CalcView(Point{100, 300}), 1);
  gs.nviews = 1;
  EXPECT_EQ(CalcView(Point{100, 700}), 1);
}

// Merge pixels of a layer smaller than the unit's canvas: a cell and the
// first cell of its merge pixel fall on the same pixel, left of and above
// the unit too; a full-size layer is the cells themselves.
TEST_F(ViewGeometry, MergePixelsOfAShrunkenLayer) {
  a_doc_unit u{};
  u.paintbounds = Rect{0, 0, 1000, 1417};
  u.statics[TOTAL_LAYER].bounds = Rect{0, 0, 353, 500};
  for (int c = -60; c <= 1500; c += 1) {
    const Point cell{int16(c * 2 / 3), int16(c)};
    Point m, back, again;
    CellToMerge(&u, cell, m);
    MergeToCell(&u, m, back);
    CellToMerge(&u, back, again);
    EXPECT_EQ(again, m) << c;
    EXPECT_LE(back.h, cell.h);
    EXPECT_LT(cell.h - back.h, 3) << c;  // 2.8 cells a merge pixel
    EXPECT_LE(back.v, cell.v);
    EXPECT_LT(cell.v - back.v, 3) << c;
  }
  const Rect r{-7, -9, 333, 444};
  Rect mr, cr;
  CellToMergeRect(&u, r, mr);
  MergeToCellRect(&u, mr, cr);
  for (int16 v : {r.top, int16(r.bottom - 1)})
    for (int16 h : {r.left, int16(r.right - 1)}) {
      Point m;
      CellToMerge(&u, Point{v, h}, m);
      EXPECT_TRUE(PtInRect(m, mr));
      EXPECT_TRUE(PtInRect(Point{v, h}, cr));
    }
  int16 h = 1000, v = 500;
  CellToMergePair(&u, h, v);
  EXPECT_EQ(h, 352);
  EXPECT_EQ(v, 176);

  u.statics[TOTAL_LAYER].bounds = u.paintbounds;
  Point m;
  CellToMerge(&u, Point{-4, 77}, m);
  EXPECT_EQ(m, (Point{-4, 77}));
  u.statics[TOTAL_LAYER].bounds = Rect{0, 0, 0, 0};  // not rendered yet
  CellToMerge(&u, Point{-4, 77}, m);
  EXPECT_EQ(m, (Point{-4, 77}));
}

// The screen onto merge pixels of the half-size view.
TEST_F(ViewGeometry, ScreenOntoMergePixels) {
  Zoom(0);
  Point m;
  ScreenToMerge(Point{50, 100}, m);
  EXPECT_EQ(m, (Point{12, -19}));  // origin x 1/2, rounded down
  Rect mr;
  ScreenToMergeRect(Rect{50, 100, 60, 110}, mr);
  EXPECT_EQ(mr, (Rect{12, -19, 22, -9}));
  Zoom(2);
  ScreenToMergeRect(Rect{50, 100, 60, 110}, mr);
  Rect cr;
  ScreenToCellRect(1, Rect{50, 100, 60, 110}, cr);
  EXPECT_EQ(mr, cr);
}

// Print dots through the print ratios and the page origin.
TEST_F(ViewGeometry, PrintDotsThroughTheRatios) {
  struct Case {
    a_ratio x, y;
    Point cell, dots;
  };
  const Case cases[] = {
      {{2, 1}, {2, 1}, {150, 300}, {300 + 80, 600 + 120}},    // 600 dpi
      {{4, 1}, {4, 1}, {-10, 10}, {-40 + 80, 40 + 120}},      // 1200 dpi
      {{6, 5}, {6, 5}, {100, 300}, {120 + 80, 360 + 120}},    // 360 dpi
      {{6, 5}, {6, 5}, {-3, -3}, {-4 + 80, -4 + 120}},        // rounded down, left of the unit too
      {{3, 2}, {5, 4}, {8, 7}, {10 + 80, 10 + 120}},
  };
  g_doc.doc_print.doc_origin = Point{80, 120};
  for (const Case& c : cases) {
    g_doc.doc_print.scaling_factorx = c.x;
    g_doc.doc_print.scaling_factory = c.y;
    Point d;
    Cell_To_PPoint(c.cell, d);
    EXPECT_EQ(d, c.dots) << c.x.num << "/" << c.x.den;
  }
  g_doc.doc_print.scaling_factorx = a_ratio{6, 5};
  g_doc.doc_print.scaling_factory = a_ratio{6, 5};
  Rect pr;
  Cell_To_PRect(Rect{0, 0, 100, 50}, pr);
  EXPECT_EQ(pr, (Rect{80, 120, 200, 180}));
  EXPECT_EQ(Cell_To_P(250), 300);
}

// --- Symmetry ---------------------------------------------------------------------------

class Symmetry : public ViewGeometry {
 protected:
  void SetUp() override {
    ViewGeometry::SetUp();
    unit_.symmetry_center = Point{400, 500};
    g_doc.up = &unit_;
  }
  void TearDown() override { g_doc.up = nullptr; }
  a_doc_unit unit_{};
  const Point points_[6] = {{400, 620}, {400, 380}, {250, 500}, {530, 500}, {311, 444}, {457, 612}};
};

double Distance(Point a, Point b) { return std::hypot(double(a.h) - b.h, double(a.v) - b.v); }

// With n copies (1 to 30) every copy keeps its distance from the centre
// (within a cell), and copy n is the start again.
TEST_F(Symmetry, CopiesGoRoundAndComeBack) {
  const Point c = unit_.symmetry_center;
  for (int16 n = 1; n <= 30; ++n) {
    for (const Point& p : points_) {
      for (int16 i = 0; i <= n; ++i) {
        Calc_Symmetry_Init(CYCLIC_SYMMETRY, i, n);
        Point q;
        Calc_Symmetry_Map(p, q);
        EXPECT_NEAR(Distance(q, c), Distance(p, c), 1.0) << "n " << n << " copy " << i;
        if (i == 0 || i == n) {
          EXPECT_EQ(q, p) << "n " << n << " copy " << i;
        }
      }
    }
  }
}

// Angle 0 maps every point onto itself, left of and above the centre too.
TEST_F(Symmetry, AngleZeroIsExactOnEverySide) {
  Calc_Symmetry_Init(CYCLIC_SYMMETRY, 0, 6);
  for (int dv = -3; dv <= 3; ++dv)
    for (int dh = -3; dh <= 3; ++dh) {
      const Point p{int16(400 + dv), int16(500 + dh)};
      Point q;
      Calc_Symmetry_Map(p, q);
      EXPECT_EQ(q, p) << dh << "," << dv;
    }
}

// A quarter turn is counter-clockwise on the screen; the turn of copy 1 of 4
// is Calc_Cyclic's of 90 degrees.
TEST_F(Symmetry, AQuarterTurn) {
  Calc_Symmetry_Init(CYCLIC_SYMMETRY, 1, 4);
  Point q;
  Calc_Symmetry_Map(Point{400, 510}, q);  // 10 right of the centre
  EXPECT_EQ(q, (Point{390, 500}));        // 10 above it
  for (const Point& p : points_) {
    Point a, b;
    Calc_Symmetry_Map(p, a);
    Calc_Cyclic(90, p, b);
    EXPECT_EQ(a, b);
  }
  Calc_Cyclic(360, Point{1, 2}, q);
  EXPECT_EQ(q, (Point{1, 2}));
  Calc_Symmetry_Init(CYCLIC_SYMMETRY, 3, 0);  // no copies counts as one
  Calc_Symmetry_Map(Point{7, 8}, q);
  EXPECT_EQ(q, (Point{7, 8}));
}

// Mirroring twice gives the point back: exactly on the axes' angles, within
// a cell elsewhere; angle 0 mirrors left to right.
TEST_F(Symmetry, MirroringTwiceIsTheIdentity) {
  Calc_Symmetry_Init(MIRROR_SYMMETRY, 0, 1);
  Point q;
  Calc_Symmetry_Map(Point{420, 530}, q);
  EXPECT_EQ(q, (Point{420, 470}));
  Calc_Mirror(0, Point{420, 530}, q);
  EXPECT_EQ(q, (Point{420, 470}));
  for (int16 n = 1; n <= 30; ++n)
    for (int16 i = 0; i < n; ++i) {
      Calc_Symmetry_Init(MIRROR_SYMMETRY, i, n);
      const int angle = i * 360 / n;
      for (const Point& p : points_) {
        Point once, twice;
        Calc_Symmetry_Map(p, once);
        Calc_Symmetry_Map(once, twice);
        if (angle % 90 == 0) {
          EXPECT_EQ(twice, p) << "n " << n << " copy " << i;
        } else {
          EXPECT_LE(std::abs(twice.h - p.h), 1) << "n " << n << " copy " << i;
          EXPECT_LE(std::abs(twice.v - p.v), 1) << "n " << n << " copy " << i;
        }
      }
    }
}

// With the gradient fill the gradient turns with each copy (a mirrored
// linear one runs the other way) and is put back afterwards: centre, angle
// and direction.
TEST_F(Symmetry, GradientFollowsTheCopyAndIsRestored) {
  gs.fill_kind = GRADIENT_FILL;
  gs.grid_vals[GRAD_KIND_GRID] = 0;  // linear
  gs.grid_vals[GRAD_DIR_GRID] = 0;
  gs.slider_vals[GRAD_ANGLE_SLIDER] = 30;
  t.grad_center = Point{400, 600};
  Calc_Symmetry_Init(MIRROR_SYMMETRY, 1, 4);
  EXPECT_EQ(t.grad_center, (Point{300, 500}));
  EXPECT_EQ(gs.slider_vals[GRAD_ANGLE_SLIDER], -60);
  EXPECT_EQ(gs.grid_vals[GRAD_DIR_GRID], 1);
  Calc_Symmetry_Stop();
  EXPECT_EQ(t.grad_center, (Point{400, 600}));
  EXPECT_EQ(gs.slider_vals[GRAD_ANGLE_SLIDER], 30);
  EXPECT_EQ(gs.grid_vals[GRAD_DIR_GRID], 0);

  Calc_Symmetry_Init(CYCLIC_SYMMETRY, 5, 6);  // 300 degrees: the angle stays in range
  EXPECT_EQ(gs.slider_vals[GRAD_ANGLE_SLIDER], 90);
  Calc_Symmetry_Stop();
  EXPECT_EQ(gs.slider_vals[GRAD_ANGLE_SLIDER], 30);
  EXPECT_EQ(t.grad_center, (Point{400, 600}));

  gs.fill_kind = COLOR_FILL;  // another fill: nothing of the gradient is touched
  Calc_Symmetry_Init(MIRROR_SYMMETRY, 1, 4);
  EXPECT_EQ(t.grad_center, (Point{400, 600}));
  EXPECT_EQ(gs.grid_vals[GRAD_DIR_GRID], 0);
  Calc_Symmetry_Stop();
}

// --- Other services -------------------------------------------------------------------------

TEST_F(ViewGeometry, LineConstraintSnapsToEightDirections) {
  struct Case {
    Point to, want;
  };
  const Point from{100, 100};
  const Case cases[] = {
      {{109, 110}, {109, 109}},  // dh 10, dv 9: 9 both ways
      {{91, 110}, {91, 109}},    // up and right
      {{91, 90}, {91, 91}},      // up and left
      {{109, 90}, {109, 91}},    // down and left
      {{102, 130}, {100, 130}},  // right
      {{97, 60}, {100, 60}},     // left
      {{140, 103}, {140, 100}},  // down
      {{60, 98}, {60, 100}},     // up
  };
  for (const Case& c : cases) {
    Point p = c.to;
    Apply_Line_Constraint(from, p);
    EXPECT_EQ(p, c.want) << c.to.h << "," << c.to.v;
  }
}

TEST_F(ViewGeometry, SmallServices) {
  Zoom(2);
  int16 dx, dy;
  CalcScrollDelta(true, dx, dy);
  EXPECT_EQ(dx, 225);  // 500 pixels are 250 cells
  EXPECT_EQ(dy, 180);
  CalcScrollDelta(false, dx, dy);
  EXPECT_EQ(dx, 31);
  EXPECT_EQ(dy, 25);

  a_ratio a, b;
  Aspect_Ratio(-20, a, b);
  EXPECT_EQ(a.num, 80);
  EXPECT_EQ(b.num, 100);
  Aspect_Ratio(30, a, b);
  EXPECT_EQ(a.num, 100);
  EXPECT_EQ(b.num, 70);
  EXPECT_EQ(b.den, 100);

  std::strcpy(g_doc.doc_path.name, "/home/x/labels/Summer.cd4");
  char out[300];
  String_Substitutions("Label %F, 100%x %f", out);
  EXPECT_STREQ(out, "Label Summer.cd4, 100%x Summer.cd4");
  const std::string lots(400, 'a');
  String_Substitutions(CStrSpan(lots.c_str(), lots.size() + 1), out);
  EXPECT_EQ(std::strlen(out), 255u);

  PixMap stamp{};
  stamp.bounds = Rect{0, 0, 10, 21};
  Rect dest;
  Calc_Stamp(stamp, Point{50, 100}, dest);
  EXPECT_EQ(dest, (Rect{45, 90, 55, 111}));

  gs.fill_kind = GRADIENT_FILL;
  gs.grid_vals[GRAD_KIND_GRID] = 2;
  EXPECT_TRUE(Is_Gradient_Anchored());
  gs.grid_vals[GRAD_KIND_GRID] = 1;
  EXPECT_FALSE(Is_Gradient_Anchored());
  g_doc.doc_changed = true;
  EXPECT_FALSE(Is_Doc_Changed());  // no document open
  g_doc.doc_open = true;
  EXPECT_TRUE(Is_Doc_Changed());
  g_doc.doc_open = false;
}

// The marquee drawn in exclusive-or shows, and drawing it again takes it off.
TEST_F(ViewGeometry, XorPointListComesOffAgain) {
  SysVideo_Init();
  SysWin_Init();
  Quickdraw_Init();
  GWorldPtr w = nullptr;
  New_GWorldF("xor", Rect{0, 0, 60, 80}, 32, nullptr, w);
  ASSERT_NE(w, nullptr);
  Push_GWorld(w);
  BackColor(0);
  EraseRect(Rect{0, 0, 60, 80});
  const std::string before(w->pix.baseAddr, PixMap_Len(w->pix));
  gs.nviews = 1;
  gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{0, 0, 60, 80}};
  const Pattern stripes{{0xE1, 0xC3, 0x87, 0x0F, 0x1E, 0x3C, 0x78, 0xF0}};
  gs.marq_pattern = stripes;
  a_pointlist_ptr list = nullptr;
  New_Pointlist(8, list);
  list->npoints = 0;
  Add_Pointlist(list, 10, 10);
  Add_Pointlist(list, 50, 10);
  Add_Pointlist(list, 50, 40);
  Add_Pointlist(list, 10, 10);
  Draw_XOR_Pointlist(list);
  EXPECT_NE(std::string(w->pix.baseAddr, PixMap_Len(w->pix)), before);
  Draw_XOR_Pointlist(list);
  EXPECT_EQ(std::string(w->pix.baseAddr, PixMap_Len(w->pix)), before);
  Pop_GWorld();
  Dispose_Pointlist(list);
  Dispose_GWorld(w);
}

// A stamp's 1-bit mask is set where it has pixels: white counts as empty.
TEST_F(ViewGeometry, StampMasks) {
  SysVideo_Init();
  PixMap pix{};
  New_PixMap(pix, Rect{0, 0, 2, 3}, 32, nullptr);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      reinterpret_cast<uint32*>(pix.baseAddr + y * PixMap_RowBytes(pix))[x] = 0xFFFFFFFFu;
  reinterpret_cast<uint32*>(pix.baseAddr)[1] = 0xFF102030u;
  PixMap mask{};
  Stamp_To_Mask1(pix, mask);
  ASSERT_NE(mask.baseAddr, nullptr);
  EXPECT_EQ(mask.pixelSize, 1);
  EXPECT_EQ(mask.bounds, pix.bounds);
  EXPECT_EQ(uint8(mask.baseAddr[0]) & 0xE0, 0x40);
  Dispose_PixMap(pix);
  Dispose_PixMap(mask);
  PixMap empty{};
  Null_PixMap(empty);
  Stamp_To_Mask1(empty, mask);
  EXPECT_TRUE(Is_Null_PixMap(mask));
  PixMap deep{};
  New_PixMap(deep, Rect{0, 0, 2, 2}, 1, nullptr);
  EXPECT_THROW(Stamp_To_Mask1(deep, mask), QuitCalled);
  Dispose_PixMap(deep);
}

}  // namespace
