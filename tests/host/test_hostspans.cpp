// Span generators: expected rows are worked out by hand from the rules in
// HostSpans.h (pixel centres against the ellipse in doubled integer
// coordinates; middle rows and middle pixels always kept).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "TestSupport.h"
#include "host/HostSpans.h"

namespace {

// Rows of a shape whose every row holds one span: {y, x0, x1}.
HostSpanList Rows(std::initializer_list<HostSpan> rows) { return HostSpanList(rows); }

HostSpanList Spans_Of_Row(const HostSpanList& all, int32 y) {
  HostSpanList row;
  for (const HostSpan& s : all) {
    if (s.y == y) row.push_back(s);
  }
  return row;
}

int64 Area(const HostSpanList& spans) {
  int64 a = 0;
  for (const HostSpan& s : spans) a += s.x1 - s.x0;
  return a;
}

// Well-formed: ordered by row and x, non-empty, no two spans of a row touching.
void Expect_Well_Formed(const HostSpanList& spans) {
  for (size_t i = 0; i < spans.size(); ++i) {
    EXPECT_LT(spans[i].x0, spans[i].x1);
    if (i > 0) {
      const HostSpan& p = spans[i - 1];
      EXPECT_TRUE(p.y < spans[i].y || (p.y == spans[i].y && p.x1 < spans[i].x0))
          << "span " << i;
    }
  }
}

struct EllipseCase {
  RECT box;
  HostSpanList expected;
};

TEST(HostSpans, EllipseSmallSizes) {
  const EllipseCase cases[] = {
      {{0, 0, 1, 1}, Rows({{0, 0, 1}})},
      {{0, 0, 2, 2}, Rows({{0, 0, 2}, {1, 0, 2}})},
      // Corner centres are sqrt(2) from the middle, inside the radius 1.5.
      {{0, 0, 3, 3}, Rows({{0, 0, 3}, {1, 0, 3}, {2, 0, 3}})},
      // 5 x 4: rows 0 and 3 have dy2 = 3: m = 2 -> pixels 1..3; middle rows full.
      {{0, 0, 5, 4}, Rows({{0, 1, 4}, {1, 0, 5}, {2, 0, 5}, {3, 1, 4}})},
      // The same moved to negative columns (odd l + r).
      {{-3, 10, 2, 14}, Rows({{10, -2, 1}, {11, -3, 2}, {12, -3, 2}, {13, -2, 1}})},
      // 10 x 10: dy2 = 9, 7, 5, 3 give m = 3, 7, 7, 9.
      {{0, 0, 10, 10}, Rows({{0, 3, 7},
                             {1, 1, 9},
                             {2, 1, 9},
                             {3, 0, 10},
                             {4, 0, 10},
                             {5, 0, 10},
                             {6, 0, 10},
                             {7, 1, 9},
                             {8, 1, 9},
                             {9, 3, 7}})},
      // Flat 10 x 2: the pure centre rule would give 1..8; the middle rows are full.
      {{0, 0, 10, 2}, Rows({{0, 0, 10}, {1, 0, 10}})},
      // A 1-pixel-wide ellipse is a column.
      {{5, 0, 6, 4}, Rows({{0, 5, 6}, {1, 5, 6}, {2, 5, 6}, {3, 5, 6}})},
  };
  for (const EllipseCase& c : cases) {
    HostSpanList out;
    ASSERT_TRUE(Host_Ellipse_Spans(c.box, out));
    EXPECT_EQ(out, c.expected) << "box " << c.box.left << "," << c.box.top << "," << c.box.right
                               << "," << c.box.bottom;
  }
}

TEST(HostSpans, EllipseReachesAllSidesAndIsSymmetric) {
  for (int32 w = 1; w <= 40; ++w) {
    for (int32 h = 1; h <= 40; ++h) {
      HostSpanList a, t;
      ASSERT_TRUE(Host_Ellipse_Spans(RECT{0, 0, w, h}, a));
      ASSERT_TRUE(Host_Ellipse_Spans(RECT{0, 0, h, w}, t));
      Expect_Well_Formed(a);
      ASSERT_EQ(a.size(), size_t(h));
      int32 minx = w, maxx = 0;
      std::vector<std::vector<bool>> grid(size_t(h), std::vector<bool>(size_t(w), false));
      for (const HostSpan& s : a) {
        minx = std::min(minx, s.x0);
        maxx = std::max(maxx, s.x1);
        EXPECT_EQ(s.x0 + s.x1, w) << "left/right symmetry " << w << "x" << h;
        const HostSpan& m = a[size_t(h - 1 - s.y)];
        EXPECT_EQ(m.x0, s.x0) << "top/bottom symmetry " << w << "x" << h;
        for (int32 x = s.x0; x < s.x1; ++x) grid[size_t(s.y)][size_t(x)] = true;
      }
      EXPECT_EQ(minx, 0);
      EXPECT_EQ(maxx, w);
      // The transposed box gives the transposed pixel set.
      for (const HostSpan& s : t) {
        for (int32 x = 0; x < h; ++x) {
          EXPECT_EQ(x >= s.x0 && x < s.x1, bool(grid[size_t(x)][size_t(s.y)]))
              << w << "x" << h << " at " << x << "," << s.y;
        }
      }
    }
  }
}

TEST(HostSpans, EllipseClipAndDegenerateBoxes) {
  HostSpanList out;
  const RECT clip{0, 0, 3, 3};
  ASSERT_TRUE(Host_Ellipse_Spans(RECT{0, 0, 10, 10}, out, &clip));
  EXPECT_EQ(out, Rows({{1, 1, 3}, {2, 1, 3}}));

  for (RECT empty : {RECT{0, 0, 0, 10}, RECT{0, 0, 10, 0}, RECT{5, 5, 2, 9}}) {
    out.push_back({0, 0, 1});
    ASSERT_TRUE(Host_Ellipse_Spans(empty, out));
    EXPECT_TRUE(out.empty());
  }
  // Beyond the coordinate space: refused, list cleared.
  out.push_back({0, 0, 1});
  EXPECT_FALSE(Host_Ellipse_Spans(RECT{0, 0, kHostCoordLimit + 1, 10}, out));
  EXPECT_TRUE(out.empty());
  constexpr int32 kMin = std::numeric_limits<int32>::min();
  constexpr int32 kMax = std::numeric_limits<int32>::max();
  EXPECT_FALSE(Host_Ellipse_Spans(RECT{kMin, kMin, kMax, kMax}, out));
  EXPECT_FALSE(Host_RoundRect_Spans(RECT{kMin, 0, kMax, 1}, kMax, kMin, out));
  // Too many rows without a clip; with a clip only the clip's rows are made.
  const RECT huge{-kHostCoordLimit, -kHostCoordLimit, kHostCoordLimit, kHostCoordLimit};
  EXPECT_FALSE(Host_Ellipse_Spans(huge, out));
  const RECT band{-10, -1, 10, 1};
  ASSERT_TRUE(Host_Ellipse_Spans(huge, out, &band));
  EXPECT_EQ(out, Rows({{-1, -10, 10}, {0, -10, 10}}));
}

TEST(HostSpans, EllipseOf16BitExtremes) {
  HostSpanList out;
  ASSERT_TRUE(Host_Ellipse_Spans(RECT{-32768, -32768, 32767, 32767}, out));
  ASSERT_EQ(out.size(), 65535u);
  Expect_Well_Formed(out);
  // Odd size: the middle row (y = -1) is the full width, and the area is close to pi r^2.
  EXPECT_EQ(out[32767], (HostSpan{-1, -32768, 32767}));
  const double r = 65535 / 2.0;
  EXPECT_NEAR(double(Area(out)) / (M_PI * r * r), 1.0, 1e-4);
}

TEST(HostSpans, RoundRectCorners) {
  HostSpanList out;
  // Corner 4 x 4: row 0 of that ellipse is 1..2, so the first and last rows lose one pixel.
  ASSERT_TRUE(Host_RoundRect_Spans(RECT{0, 0, 10, 8}, 4, 4, out));
  EXPECT_EQ(out, Rows({{0, 1, 9},
                       {1, 0, 10},
                       {2, 0, 10},
                       {3, 0, 10},
                       {4, 0, 10},
                       {5, 0, 10},
                       {6, 0, 10},
                       {7, 1, 9}}));
  // Corner 8 x 8: that ellipse's rows 0, 1, 2 are inset by 2, 1, 0.
  ASSERT_TRUE(Host_RoundRect_Spans(RECT{0, 0, 12, 12}, 8, 8, out));
  ASSERT_EQ(out.size(), 12u);
  EXPECT_EQ(out[0], (HostSpan{0, 2, 10}));
  EXPECT_EQ(out[1], (HostSpan{1, 1, 11}));
  for (int32 y = 2; y < 10; ++y) EXPECT_EQ(out[size_t(y)], (HostSpan{y, 0, 12}));
  EXPECT_EQ(out[10], (HostSpan{10, 1, 11}));
  EXPECT_EQ(out[11], (HostSpan{11, 2, 10}));
  // Corners of different width and height.
  ASSERT_TRUE(Host_RoundRect_Spans(RECT{0, 0, 12, 6}, 8, 4, out));
  // Ellipse 8 x 4 row 0: dy2 = -3, n = 64 * 7 = 448, isqrt 21, / 4 = 5, m = 5, inset 1.
  EXPECT_EQ(out, Rows({{0, 1, 11}, {1, 0, 12}, {2, 0, 12}, {3, 0, 12}, {4, 0, 12}, {5, 1, 11}}));
}

TEST(HostSpans, RoundRectLimits) {
  HostSpanList rr, el, rect;
  // Corners as large as the box (or larger) give the ellipse.
  ASSERT_TRUE(Host_Ellipse_Spans(RECT{3, 4, 20, 13}, el));
  ASSERT_TRUE(Host_RoundRect_Spans(RECT{3, 4, 20, 13}, 17, 9, rr));
  EXPECT_EQ(rr, el);
  ASSERT_TRUE(Host_RoundRect_Spans(RECT{3, 4, 20, 13}, 1000, 1000, rr));
  EXPECT_EQ(rr, el);
  // No corner (or a negative one): the rectangle.
  for (auto [cw, ch] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-4, -4}}) {
    ASSERT_TRUE(Host_RoundRect_Spans(RECT{0, 0, 3, 2}, cw, ch, rect));
    EXPECT_EQ(rect, Rows({{0, 0, 3}, {1, 0, 3}}));
  }
}

TEST(HostSpans, ShapeBoxFollowsGdiEdges) {
  EXPECT_EQ(Host_Shape_Box(0, 0, 11, 11), (RECT{0, 0, 10, 10}));
  EXPECT_EQ(Host_Shape_Box(11, 11, 0, 0), (RECT{0, 0, 10, 10}));
  EXPECT_EQ(Host_Shape_Box(5, 5, 5, 9), (RECT{5, 5, 5, 8}));
  EXPECT_EQ(Host_Normalize_Rect(4, 9, 1, 2), (RECT{1, 2, 4, 9}));
}

TEST(HostSpans, PolygonRectangleAndTriangle) {
  HostSpanList out;
  const POINT square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  ASSERT_TRUE(Host_Polygon_Spans(square, ALTERNATE, out));
  ASSERT_EQ(out.size(), 10u);
  for (int32 y = 0; y < 10; ++y) EXPECT_EQ(out[size_t(y)], (HostSpan{y, 0, 10}));

  // x + y < 4 at pixel centres; the hypotenuse is a right edge, so (3.5, 0.5) is out.
  const POINT tri[] = {{0, 0}, {4, 0}, {0, 4}};
  for (int32 mode : {ALTERNATE, WINDING}) {
    ASSERT_TRUE(Host_Polygon_Spans(tri, mode, out));
    EXPECT_EQ(out, Rows({{0, 0, 3}, {1, 0, 2}, {2, 0, 1}}));
  }
  // The same triangle flipped: the hypotenuse is now a left edge and its centres are in.
  const POINT tri2[] = {{4, 0}, {4, 4}, {0, 4}};
  ASSERT_TRUE(Host_Polygon_Spans(tri2, ALTERNATE, out));
  EXPECT_EQ(out, Rows({{0, 3, 4}, {1, 2, 4}, {2, 1, 4}, {3, 0, 4}}));
}

TEST(HostSpans, StarAlternateVersusWinding) {
  // Pentagram (10,0) (16,20) (0,8) (20,8) (4,20). Crossings of row 10 (y = 10.5):
  // 3.33, 6.85, 13.15, 16.67 -> pixel boundaries 3, 7, 13, 17, all edges of the
  // two left crossings going up, the right two going down.
  const POINT star[] = {{10, 0}, {16, 20}, {0, 8}, {20, 8}, {4, 20}};
  HostSpanList alt, wind;
  ASSERT_TRUE(Host_Polygon_Spans(star, ALTERNATE, alt));
  ASSERT_TRUE(Host_Polygon_Spans(star, WINDING, wind));
  Expect_Well_Formed(alt);
  Expect_Well_Formed(wind);
  EXPECT_EQ(Spans_Of_Row(alt, 10), Rows({{10, 3, 7}, {10, 13, 17}}));
  EXPECT_EQ(Spans_Of_Row(wind, 10), Rows({{10, 3, 17}}));
  // Row 8: boundaries 1, 7, 13, 19.
  EXPECT_EQ(Spans_Of_Row(alt, 8), Rows({{8, 1, 7}, {8, 13, 19}}));
  EXPECT_EQ(Spans_Of_Row(wind, 8), Rows({{8, 1, 19}}));
  // The top point (row 4: 8.65 .. 11.35) and the legs (row 16) are the same both ways.
  EXPECT_EQ(Spans_Of_Row(alt, 4), Rows({{4, 9, 11}}));
  EXPECT_EQ(Spans_Of_Row(wind, 4), Rows({{4, 9, 11}}));
  EXPECT_EQ(Spans_Of_Row(alt, 16), Rows({{16, 5, 9}, {16, 11, 15}}));
  EXPECT_EQ(Spans_Of_Row(wind, 16), Rows({{16, 5, 9}, {16, 11, 15}}));
  // Row 0 (10.15 and 9.85 both round to 10) is empty.
  EXPECT_TRUE(Spans_Of_Row(alt, 0).empty());
  // Winding only adds the inner pentagon.
  EXPECT_GT(Area(wind), Area(alt));
}

TEST(HostSpans, PolyPolygonRules) {
  // Outer square 0..10 and inner square 3..7, in the same and opposite turning.
  const POINT same[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {3, 3}, {7, 3}, {7, 7}, {3, 7}};
  const POINT opposite[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {3, 3}, {3, 7}, {7, 7}, {7, 3}};
  const int32 counts[] = {4, 4};
  HostSpanList out;
  const HostSpanList holed_row = Rows({{5, 0, 3}, {5, 7, 10}});
  const HostSpanList full_row = Rows({{5, 0, 10}});

  ASSERT_TRUE(Host_PolyPolygon_Spans(same, counts, ALTERNATE, out));
  EXPECT_EQ(Spans_Of_Row(out, 5), holed_row);
  EXPECT_EQ(Area(out), 100 - 16);
  ASSERT_TRUE(Host_PolyPolygon_Spans(same, counts, WINDING, out));
  EXPECT_EQ(Spans_Of_Row(out, 5), full_row);
  EXPECT_EQ(Area(out), 100);
  ASSERT_TRUE(Host_PolyPolygon_Spans(opposite, counts, WINDING, out));
  EXPECT_EQ(Spans_Of_Row(out, 5), holed_row);

  // Sub-paths close on their own: two touching squares make one run per row.
  const POINT touching[] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {2, 0}, {5, 0}, {5, 2}, {2, 2}};
  ASSERT_TRUE(Host_PolyPolygon_Spans(touching, counts, ALTERNATE, out));
  EXPECT_EQ(out, Rows({{0, 0, 5}, {1, 0, 5}}));
}

TEST(HostSpans, PolygonDegenerateAndInvalid) {
  HostSpanList out;
  const POINT pts[] = {{0, 0}, {5, 0}, {9, 0}, {3, 0}};
  const POINT vline[] = {{2, 0}, {2, 9}, {2, 4}};
  EXPECT_TRUE(Host_Polygon_Spans({}, ALTERNATE, out));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(Host_Polygon_Spans(std::span(pts, 1), ALTERNATE, out));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(Host_Polygon_Spans(std::span(pts, 2), WINDING, out));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(Host_Polygon_Spans(pts, ALTERNATE, out));  // all on one row
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(Host_Polygon_Spans(vline, WINDING, out));  // all on one column
  EXPECT_TRUE(out.empty());

  const POINT square[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  out.push_back({0, 0, 1});
  EXPECT_FALSE(Host_Polygon_Spans(square, 0, out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(Host_Polygon_Spans(square, 3, out));
  const int32 negative[] = {4, -1};
  EXPECT_FALSE(Host_PolyPolygon_Spans(square, negative, ALTERNATE, out));
  const int32 too_many[] = {4, 1};
  EXPECT_FALSE(Host_PolyPolygon_Spans(square, too_many, ALTERNATE, out));
  const POINT far[] = {{0, 0}, {kHostCoordLimit + 1, 0}, {0, 4}};
  EXPECT_FALSE(Host_Polygon_Spans(far, ALTERNATE, out));
  // Tall without a clip is refused; with a clip the band is computed.
  const POINT tall[] = {{0, -kHostCoordLimit}, {4, -kHostCoordLimit}, {4, kHostCoordLimit},
                        {0, kHostCoordLimit}};
  EXPECT_FALSE(Host_Polygon_Spans(tall, ALTERNATE, out));
  const RECT clip{1, 100, 3, 102};
  ASSERT_TRUE(Host_Polygon_Spans(tall, ALTERNATE, out, &clip));
  EXPECT_EQ(out, Rows({{100, 1, 3}, {101, 1, 3}}));
}

TEST(HostSpans, PolygonOf16BitExtremes) {
  const POINT diamond[] = {{0, -32768}, {32767, 0}, {0, 32767}, {-32768, 0}};
  HostSpanList out;
  ASSERT_TRUE(Host_Polygon_Spans(diamond, WINDING, out));
  Expect_Well_Formed(out);
  // Row -1 (y = -0.5) crosses at -32767.5 (a left edge through the centre of
  // pixel -32768, so it is in) and at 32766.50002 (pixel 32766 is the last in).
  const HostSpanList mid = Spans_Of_Row(out, -1);
  ASSERT_EQ(mid.size(), 1u);
  EXPECT_EQ(mid[0], (HostSpan{-1, -32768, 32767}));
  // The area of a diamond with diagonals 65535 is half their product.
  EXPECT_NEAR(double(Area(out)), 65535.0 * 65535.0 / 2, 65535.0);
}

TEST(HostSpans, ThousandsOfPointsAndTenSubPaths) {
  // A 1250 x 1250 square whose sides carry 1250 points each: 5000 points.
  std::vector<POINT> pts;
  for (int32 i = 0; i < 1250; ++i) pts.push_back({i, 0});
  for (int32 i = 0; i < 1250; ++i) pts.push_back({1250, i});
  for (int32 i = 0; i < 1250; ++i) pts.push_back({1250 - i, 1250});
  for (int32 i = 0; i < 1250; ++i) pts.push_back({0, 1250 - i});
  HostSpanList out;
  ASSERT_TRUE(Host_Polygon_Spans(pts, ALTERNATE, out));
  ASSERT_EQ(out.size(), 1250u);
  for (const HostSpan& s : out) EXPECT_EQ(s.x1 - s.x0, 1250);

  // Ten separate 3 x 3 squares along a row.
  std::vector<POINT> squares;
  std::vector<int32> counts;
  for (int32 k = 0; k < 10; ++k) {
    const int32 x = k * 5;
    squares.insert(squares.end(), {{x, 0}, {x + 3, 0}, {x + 3, 3}, {x, 3}});
    counts.push_back(4);
  }
  ASSERT_TRUE(Host_PolyPolygon_Spans(squares, counts, WINDING, out));
  ASSERT_EQ(out.size(), 30u);
  EXPECT_EQ(Spans_Of_Row(out, 1)[9], (HostSpan{1, 45, 48}));
}

}  // namespace
