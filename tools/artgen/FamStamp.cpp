// Stamps (art/stamps.txt): the pictures of the stamp bar, (8, GROUP, I, 0),
// 32-bit on pure white, 48 to 160 pixels a side, run-length packed.
//
//   GROUP I STYLE "NAME" size=N|WxH [colors=#..,#..] [n=COUNT] [seed=N]
//
// Each style draws vector art in a box whose short side is 100 units:
// colourful solids with lit gradients, a gloss and a dark outline, the kind
// of sticker a person is glad to put on a label. The art is cut on white
// (Stamp.h), so it stamps cleanly on any paint. The bar finds no
// thumbnails (no key with d = 1): it fits the picture itself into its cell.
#include <algorithm>
#include <cmath>
#include <set>

#include "Stamp.h"

// ---------------------------------------------------------------------------
// The white rule and the shared drawing helpers (Stamp.h)
// ---------------------------------------------------------------------------
a_art_image Cut_On_White(const a_surface& s) {
  a_art_image img = s.Image();
  for (size_t i = 0; i < img.rgba.size(); i += 4) {
    uint8_t* p = &img.rgba[i];
    if (p[3] >= 128) {
      if (p[0] == 255 && p[1] == 255 && p[2] == 255) p[0] = p[1] = p[2] = kArtWhite;
    } else {
      p[0] = p[1] = p[2] = 255;
    }
    p[3] = 255;
  }
  return img;
}

a_rgb Lighter(const a_rgb& c, double t) { return Mix_Lab(c, a_rgb{1, 1, 1}, t); }
a_rgb Darker(const a_rgb& c, double t) { return Mix_Lab(c, Scale(c, 0.22), t); }

namespace {

constexpr double kPi = M_PI;

void Lit_Source(cairo_t* cr, const a_rgb& c, double x0, double y0, double x1, double y1) {
  const double w = x1 - x0, h = y1 - y0;
  const double gx = x0 + 0.3 * w, gy = y0 + 0.25 * h;
  cairo_pattern_t* g = cairo_pattern_create_radial(gx, gy, 0, gx, gy, std::hypot(w, h) * 0.85);
  Add_Stop(g, 0, Lighter(c, 0.42));
  Add_Stop(g, 0.45, c);
  Add_Stop(g, 1, Darker(c, 0.35));
  cairo_set_source(cr, g);
  cairo_pattern_destroy(g);
}

void Gloss(cairo_t* cr, const a_path_fn& path, double gloss, double x0, double y0, double x1, double y1) {
  if (gloss <= 0) return;
  const double w = x1 - x0, h = y1 - y0;
  cairo_save(cr);
  cairo_new_path(cr);
  path(cr);
  cairo_clip(cr);
  cairo_new_path(cr);
  Ellipse_Path(cr, x0 + 0.45 * w, y0 + 0.16 * h, 0.42 * w, 0.26 * h, 0);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y0 - 0.1 * h, 0, y0 + 0.42 * h);
  Add_Stop(g, 0, a_rgb{1, 1, 1}, gloss);
  Add_Stop(g, 1, a_rgb{1, 1, 1}, 0);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_restore(cr);
}

}  // namespace

void Solid_Outlined(cairo_t* cr, const a_path_fn& path, const a_rgb& c, const a_rgb& outline, double line,
                    double gloss) {
  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_new_path(cr);
  path(cr);
  double x0, y0, x1, y1;
  cairo_fill_extents(cr, &x0, &y0, &x1, &y1);
  if (line > 0) {
    // The outline of the union: every part stroked twice as wide, then the
    // fill covers the inner halves and the seams between parts.
    cairo_set_line_width(cr, 2 * line);
    Set_Rgb(cr, outline);
    cairo_stroke(cr);
    path(cr);
  }
  Lit_Source(cr, c, x0, y0, x1, y1);
  cairo_fill(cr);
  Gloss(cr, path, gloss, x0, y0, x1, y1);
  cairo_restore(cr);
}

void Solid(cairo_t* cr, const a_path_fn& path, const a_rgb& c, double line, double gloss) {
  Solid_Outlined(cr, path, c, Darker(c, 0.6), line, gloss);
}

void Flat(cairo_t* cr, const a_path_fn& path, const a_rgb& fill, const a_rgb& outline, double line) {
  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_new_path(cr);
  path(cr);
  if (line > 0) {
    cairo_set_line_width(cr, 2 * line);
    Set_Rgb(cr, outline);
    cairo_stroke(cr);
    path(cr);
  }
  Set_Rgb(cr, fill);
  cairo_fill(cr);
  cairo_restore(cr);
}

void Stroke(cairo_t* cr, const a_path_fn& path, const a_rgb& c, double width) {
  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_new_path(cr);
  path(cr);
  cairo_set_line_width(cr, width);
  Set_Rgb(cr, c);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Clipped(cairo_t* cr, const a_path_fn& path, const std::function<void()>& draw) {
  cairo_save(cr);
  cairo_new_path(cr);
  path(cr);
  cairo_clip(cr);
  cairo_new_path(cr);
  draw();
  cairo_restore(cr);
}

void Tube(cairo_t* cr, const a_path_fn& path, const a_rgb& c, double width, double line) {
  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_new_path(cr);
  path(cr);
  if (line > 0) {
    cairo_set_line_width(cr, width + 2 * line);
    Set_Rgb(cr, Darker(c, 0.6));
    cairo_stroke(cr);
    path(cr);
  }
  cairo_set_line_width(cr, width);
  Set_Rgb(cr, c);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Circle_Path(cairo_t* cr, double cx, double cy, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_close_path(cr);
}

void Ellipse_Path(cairo_t* cr, double cx, double cy, double rx, double ry, double turn) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, turn * kPi / 180);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_close_path(cr);
  cairo_restore(cr);
}

void Polygon_Path(cairo_t* cr, const std::vector<std::pair<double, double>>& given, double round) {
  const size_t n = given.size();
  if (n < 3) return;
  // Always clockwise on screen, as arcs are: parts of one shape that
  // overlap then add up instead of cancelling under the non-zero rule.
  double area = 0;
  for (size_t i = 0; i < n; ++i)
    area += given[i].first * given[(i + 1) % n].second - given[(i + 1) % n].first * given[i].second;
  std::vector<std::pair<double, double>> pts = given;
  if (area < 0) std::reverse(pts.begin(), pts.end());
  cairo_new_sub_path(cr);
  if (round <= 0) {
    for (const auto& [x, y] : pts) cairo_line_to(cr, x, y);
    cairo_close_path(cr);
    return;
  }
  // Each corner cut back along both edges and joined by a curve through it.
  for (size_t i = 0; i < n; ++i) {
    const auto& p = pts[(i + n - 1) % n];
    const auto& q = pts[i];
    const auto& s = pts[(i + 1) % n];
    const double l0 = std::hypot(p.first - q.first, p.second - q.second);
    const double l1 = std::hypot(s.first - q.first, s.second - q.second);
    const double r0 = std::min(round, l0 / 2) / std::max(l0, 1e-9), r1 = std::min(round, l1 / 2) / std::max(l1, 1e-9);
    const double ax = q.first + (p.first - q.first) * r0, ay = q.second + (p.second - q.second) * r0;
    const double bx = q.first + (s.first - q.first) * r1, by = q.second + (s.second - q.second) * r1;
    cairo_line_to(cr, ax, ay);
    cairo_curve_to(cr, q.first, q.second, q.first, q.second, bx, by);
  }
  cairo_close_path(cr);
}

void Star_Path(cairo_t* cr, double cx, double cy, double R, double r, int n, double turn, double round) {
  std::vector<std::pair<double, double>> pts;
  for (int i = 0; i < 2 * n; ++i) {
    const double a = (turn + i * 180.0 / n) * kPi / 180;
    const double rr = i % 2 == 0 ? R : r;
    pts.emplace_back(cx + rr * std::sin(a), cy - rr * std::cos(a));
  }
  Polygon_Path(cr, pts, round);
}

void Heart_Path(cairo_t* cr, double cx, double cy, double w) {
  const double s = w / 2;
  cy += 0.02 * s;
  cairo_new_sub_path(cr);
  cairo_move_to(cr, cx, cy + 0.88 * s);
  cairo_curve_to(cr, cx - 0.5 * s, cy + 0.5 * s, cx - 1.0 * s, cy + 0.12 * s, cx - 1.0 * s, cy - 0.34 * s);
  cairo_curve_to(cr, cx - 1.0 * s, cy - 0.78 * s, cx - 0.46 * s, cy - 1.0 * s, cx, cy - 0.56 * s);
  cairo_curve_to(cr, cx + 0.46 * s, cy - 1.0 * s, cx + 1.0 * s, cy - 0.78 * s, cx + 1.0 * s, cy - 0.34 * s);
  cairo_curve_to(cr, cx + 1.0 * s, cy + 0.12 * s, cx + 0.5 * s, cy + 0.5 * s, cx, cy + 0.88 * s);
  cairo_close_path(cr);
}

void Round_Rect_Path(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void Lens_Path(cairo_t* cr, double x0, double y0, double x1, double y1, double width) {
  const double mx = (x0 + x1) / 2, my = (y0 + y1) / 2;
  const double len = std::hypot(x1 - x0, y1 - y0);
  const double nx = -(y1 - y0) / len * width * 0.68, ny = (x1 - x0) / len * width * 0.68;
  cairo_new_sub_path(cr);
  cairo_move_to(cr, x0, y0);
  cairo_curve_to(cr, mx + nx - (x1 - x0) * 0.25, my + ny - (y1 - y0) * 0.25, mx + nx + (x1 - x0) * 0.25,
                 my + ny + (y1 - y0) * 0.25, x1, y1);
  cairo_curve_to(cr, mx - nx + (x1 - x0) * 0.25, my - ny + (y1 - y0) * 0.25, mx - nx - (x1 - x0) * 0.25,
                 my - ny - (y1 - y0) * 0.25, x0, y0);
  cairo_close_path(cr);
}

bool Parse_Row_Key(const a_table_row& r, int16_t family, a_keyset& key, std::string& style, std::string& name,
                   std::string& err) {
  int64_t g = 0, i = 0;
  if (r.words.size() != 4 || !Parse_Int_Word(r.words[0], 1, 31999, g) || !Parse_Int_Word(r.words[1], 1, 31999, i)) {
    err = r.Where() + ": GROUP I STYLE \"NAME\" expected";
    return false;
  }
  key = a_keyset{family, int16_t(g), int16_t(i), 0};
  style = r.words[2];
  name = r.words[3];
  return true;
}

bool Parse_Colours(const a_table_row& r, const std::string& style, const std::vector<const char*>& defaults,
                   std::vector<a_rgb>& cols, std::string& err) {
  cols.clear();
  for (const char* c : defaults) cols.push_back(Hex(c));
  const std::string given = r.Text("colors", "");
  size_t start = 0, k = 0;
  while (!given.empty() && start <= given.size()) {
    const size_t comma = given.find(',', start);
    const std::string one = given.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    a_rgb c;
    if (!Parse_Hex(one, c)) {
      err = r.Where() + ": bad colour " + one;
      return false;
    }
    if (k >= cols.size()) {
      err = r.Where() + ": style " + style + " takes at most " + std::to_string(cols.size()) + " colours";
      return false;
    }
    cols[k++] = c;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Stamps
// ---------------------------------------------------------------------------
namespace {

constexpr double kLine = 2.4;  // the outline, in units of the 100-unit box

struct a_stamp {
  a_keyset key{};
  std::string style, name;
  int32_t w = 0, h = 0;  // pixels
  double bw = 100, bh = 100;  // the box in units, the short side 100
  std::vector<a_rgb> cols;
  int n = 0;
  uint64_t seed = 0;
  a_rgb C(size_t i) const { return cols[std::min(i, cols.size() - 1)]; }
};

using a_stamp_draw = void (*)(cairo_t* cr, const a_stamp& s);

a_rgb White() { return a_rgb{kArtWhite / 255.0, kArtWhite / 255.0, kArtWhite / 255.0}; }
a_rgb Ink() { return Hex("#2b2238"); }

// Clears a hole through everything drawn so far (it stays white: the paint
// below shows through it).
void Punch(cairo_t* cr, const a_path_fn& path) {
  cairo_save(cr);
  cairo_new_path(cr);
  path(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_fill(cr);
  cairo_restore(cr);
}

// A four-pointed star whose sides curve in to a waist (a share of r) at
// the diagonals.
void Sparkle_Path(cairo_t* cr, double x, double y, double r, double waist) {
  cairo_new_sub_path(cr);
  cairo_move_to(cr, x, y - r);
  for (int i = 1; i <= 4; ++i) {
    const double a = i * kPi / 2, m = a - kPi / 4;
    const double c1x = x + waist * r * std::sin(m), c1y = y - waist * r * std::cos(m);
    cairo_curve_to(cr, c1x, c1y, c1x, c1y, x + r * std::sin(a), y - r * std::cos(a));
  }
  cairo_close_path(cr);
}

// Small four-pointed twinkles.
void Twinkle(cairo_t* cr, double x, double y, double r, const a_rgb& c) {
  Solid(cr, [=](cairo_t* k) { Sparkle_Path(k, x, y, r, 0.144); }, c, kLine * 0.55, 0);
}

// ----- Stars ---------------------------------------------------------------
double Star_Inner(int n) { return n <= 4 ? 0.42 : n == 5 ? 0.5 : n == 6 ? 0.56 : 0.62; }

void Draw_Star(cairo_t* cr, const a_stamp& s) {
  const int n = s.n;
  const double cy = n == 5 ? 54 : 50;
  Solid(cr, [&](cairo_t* k) { Star_Path(k, 50, cy, 46, 46 * Star_Inner(n), n, 0, 4); }, s.C(0), kLine, 0.4);
}

// A star of facets: each arm a light and a dark half, lit from the upper left.
void Faceted_Star(cairo_t* cr, double cx, double cy, double R, int n, const a_rgb& c, double line) {
  const double r = R * Star_Inner(n);
  auto pt = [&](int i) {
    const double a = i * kPi / n;
    const double rr = i % 2 == 0 ? R : r;
    return std::make_pair(cx + rr * std::sin(a), cy - rr * std::cos(a));
  };
  Solid(cr, [&](cairo_t* k) { Star_Path(k, cx, cy, R, r, n, 0, 1.5); }, c, line, 0);
  cairo_save(cr);
  cairo_new_path(cr);
  Star_Path(cr, cx, cy, R, r, n, 0, 1.5);
  cairo_clip(cr);
  for (int i = 0; i < 2 * n; ++i) {
    const auto a = pt(i), b = pt(i + 1);
    const double mid = (i + 0.5) * kPi / n + (i % 2 == 0 ? 0.35 : -0.35);
    const double light = 0.5 + 0.5 * std::cos(mid - (-kPi / 4));
    cairo_new_path(cr);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, a.first, a.second);
    cairo_line_to(cr, b.first, b.second);
    cairo_close_path(cr);
    Set_Rgb(cr, Mix_Lab(Darker(c, 0.32), Lighter(c, 0.4), light));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  cairo_save(cr);
  cairo_new_path(cr);
  Star_Path(cr, cx, cy, R, r, n, 0, 1.5);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, line);
  Set_Rgb(cr, Darker(c, 0.6));
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Draw_Star_Facet(cairo_t* cr, const a_stamp& s) { Faceted_Star(cr, 50, s.n == 5 ? 54 : 50, 46, s.n, s.C(0), kLine); }

void Draw_Sparkle(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) { Sparkle_Path(k, 56, 54, 42, 0.16); }, s.C(0), kLine, 0.45);
  Solid(cr, [](cairo_t* k) { Sparkle_Path(k, 20, 22, 15, 0.18); }, s.C(1), kLine * 0.8, 0.3);
  Solid(cr, [](cairo_t* k) { Sparkle_Path(k, 20, 80, 10, 0.2); }, s.C(2), kLine * 0.7, 0.3);
}

void Draw_Shooting_Star(cairo_t* cr, const a_stamp& s) {
  for (int i = 2; i >= 0; --i) {
    const double off = (i - 1) * 9.0;
    Tube(cr, [off](cairo_t* k) {
      cairo_move_to(k, 60 + off * 0.7, 38 + off * 0.7);
      cairo_curve_to(k, 44 + off, 58 + off * 0.2, 30 + off * 0.4, 72 + off, 8 + off * 0.3, 88 + off * 0.3);
    }, s.C(1 + size_t(i)), 7, kLine * 0.7);
  }
  Solid(cr, [](cairo_t* k) { Star_Path(k, 66, 36, 31, 15.5, 5, 12, 3); }, s.C(0), kLine, 0.4);
}

void Draw_Stars3(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) { Star_Path(k, 76, 26, 20, 10, 5, 10, 2); }, s.C(1), kLine * 0.85, 0.35);
  Solid(cr, [](cairo_t* k) { Star_Path(k, 78, 75, 17, 8.5, 5, -12, 2); }, s.C(2), kLine * 0.8, 0.35);
  Solid(cr, [](cairo_t* k) { Star_Path(k, 40, 56, 37, 18.5, 5, -8, 3); }, s.C(0), kLine, 0.4);
}

void Draw_Starburst(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [&](cairo_t* k) { Star_Path(k, 50, 50, 47, 39, s.n, 0, 1.2); }, s.C(0), kLine, 0.2);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 31); }, s.C(1), kLine * 0.8, 0.35);
  Solid(cr, [](cairo_t* k) { Star_Path(k, 50, 53, 22, 11, 5, 0, 2); }, s.C(2), kLine * 0.8, 0.3);
}

void Draw_Star_Badge(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 46); }, s.C(0), kLine, 0.3);
  cairo_save(cr);
  cairo_new_path(cr);
  Circle_Path(cr, 50, 50, 39);
  cairo_set_line_width(cr, 3);
  const double dash[] = {5, 3.2};
  cairo_set_dash(cr, dash, 2, 0);
  Set_Rgb(cr, Lighter(s.C(0), 0.75));
  cairo_stroke(cr);
  cairo_restore(cr);
  Faceted_Star(cr, 50, 53, 30, 5, s.C(1), kLine * 0.8);
}

// ----- Hearts --------------------------------------------------------------
void Draw_Heart(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) { Heart_Path(k, 50, 51, 92); }, s.C(0), kLine, 0.42);
}

void Turned(cairo_t* cr, double x, double y, double deg, const std::function<void()>& f) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, deg * kPi / 180);
  cairo_translate(cr, -x, -y);
  f();
  cairo_restore(cr);
}

void Draw_Hearts2(cairo_t* cr, const a_stamp& s) {
  Turned(cr, 35, 44, -16, [&] { Solid(cr, [](cairo_t* k) { Heart_Path(k, 35, 44, 60); }, s.C(1), kLine, 0.4); });
  Turned(cr, 64, 58, 14, [&] { Solid(cr, [](cairo_t* k) { Heart_Path(k, 64, 58, 62); }, s.C(0), kLine, 0.4); });
}

void Wing_Path(cairo_t* cr, bool left) {
  const double m = left ? 1 : -1;
  auto X = [m](double x) { return 50 - m * (50 - x); };
  cairo_new_sub_path(cr);
  cairo_move_to(cr, X(36), 42);
  cairo_curve_to(cr, X(24), 22, X(8), 18, X(3), 24);
  cairo_curve_to(cr, X(4), 31, X(9), 33, X(12), 33);
  cairo_curve_to(cr, X(6), 37, X(6), 44, X(12), 45);
  cairo_curve_to(cr, X(8), 50, X(11), 56, X(18), 55);
  cairo_curve_to(cr, X(17), 61, X(26), 64, X(36), 58);
  cairo_close_path(cr);
}

void Draw_Heart_Wings(cairo_t* cr, const a_stamp& s) {
  const a_rgb wing = Hex("#f2f5ff");
  for (int side = 0; side < 2; ++side)
    Solid_Outlined(cr, [side](cairo_t* k) { Wing_Path(k, side == 0); }, wing, Hex("#7f8db5"), kLine * 0.85, 0.2);
  cairo_save(cr);
  cairo_set_line_width(cr, 1.4);
  Set_Rgb(cr, Hex("#aab5d6"));
  for (int side = 0; side < 2; ++side) {
    const double m = side == 0 ? 1 : -1;
    for (int i = 0; i < 3; ++i) {
      cairo_move_to(cr, 50 - m * (50 - 33), 46 + i * 4);
      cairo_line_to(cr, 50 - m * (50 - (12 + i * 4)), 34 + i * 9);
    }
  }
  cairo_stroke(cr);
  cairo_restore(cr);
  Solid(cr, [](cairo_t* k) { Heart_Path(k, 50, 54, 54); }, s.C(0), kLine, 0.42);
}

void Draw_Heart_Arrow(cairo_t* cr, const a_stamp& s) {
  const a_rgb wood = Hex("#a0673a");
  Tube(cr, [](cairo_t* k) {
    cairo_move_to(k, 16, 84);
    cairo_line_to(k, 82, 18);
  }, wood, 3.6, kLine * 0.6);
  // Fletching.
  for (int side = -1; side <= 1; side += 2) {
    Solid(cr, [side](cairo_t* k) {
      const double d = side * 6.5;
      Polygon_Path(k, {{12, 88}, {21, 79}, {21 - d * 0.3 + d, 79 + d * 0.3 + d}, {12 + d, 88 + d}}, 1);
    }, s.C(1), kLine * 0.6, 0);
  }
  Solid(cr, [](cairo_t* k) { Heart_Path(k, 46, 54, 70); }, s.C(0), kLine, 0.42);
  Solid(cr, [](cairo_t* k) { Polygon_Path(k, {{94, 6}, {89, 23}, {83, 17}, {77, 11}}, 1); }, Hex("#c9ced8"), kLine * 0.7, 0.3);
}

void Draw_Heart_Stitch(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) { Heart_Path(k, 50, 51, 92); }, s.C(0), kLine, 0.16);
  cairo_save(cr);
  cairo_new_path(cr);
  Heart_Path(cr, 50, 50, 72);
  cairo_set_line_width(cr, 3.2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  const double dash[] = {5.5, 5};
  cairo_set_dash(cr, dash, 2, 0);
  Set_Rgb(cr, s.C(1));
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Draw_Heart_Gem(cairo_t* cr, const a_stamp& s) {
  const a_rgb c = s.C(0);
  Solid(cr, [](cairo_t* k) { Heart_Path(k, 50, 51, 92); }, c, kLine, 0);
  cairo_save(cr);
  cairo_new_path(cr);
  Heart_Path(cr, 50, 51, 92);
  cairo_clip(cr);
  // Facets fanning out from the table in the upper middle.
  const double tx = 50, ty = 38;
  const int k = 12;
  for (int i = 0; i < k; ++i) {
    const double a0 = i * 2 * kPi / k, a1 = (i + 1) * 2 * kPi / k;
    cairo_new_path(cr);
    cairo_move_to(cr, tx + 14 * std::cos(a0), ty + 10 * std::sin(a0));
    cairo_line_to(cr, tx + 90 * std::cos(a0), ty + 90 * std::sin(a0));
    cairo_line_to(cr, tx + 90 * std::cos(a1), ty + 90 * std::sin(a1));
    cairo_line_to(cr, tx + 14 * std::cos(a1), ty + 10 * std::sin(a1));
    cairo_close_path(cr);
    const double mid = (a0 + a1) / 2;
    const double light = 0.5 + 0.5 * std::cos(mid - (-3 * kPi / 4));
    Set_Rgb(cr, Mix_Lab(Darker(c, 0.3), Lighter(c, 0.45), (i % 2 == 0 ? 0.85 : 0.6) * light + 0.1));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
  }
  cairo_new_path(cr);
  Ellipse_Path(cr, tx, ty, 14, 10);
  Set_Rgb(cr, Lighter(c, 0.55));
  cairo_fill(cr);
  cairo_restore(cr);
  Stroke(cr, [&](cairo_t* k) { Heart_Path(k, 50, 51, 92); }, Darker(c, 0.6), kLine);
  Twinkle(cr, 26, 26, 9, White());
}

void Balloon_String(cairo_t* cr, double x, double y, double len, double sway) {
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, x, y);
  cairo_curve_to(cr, x - sway, y + len * 0.35, x + sway, y + len * 0.65, x - sway * 0.4, y + len);
  cairo_set_line_width(cr, 1.6);
  Set_Rgb(cr, Hex("#4a4a58"));
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Draw_Heart_Balloon(cairo_t* cr, const a_stamp& s) {
  Balloon_String(cr, 50, 78, 20, 6);
  Solid(cr, [](cairo_t* k) { Polygon_Path(k, {{50, 74}, {55, 81}, {45, 81}}, 1); }, s.C(0), kLine * 0.6, 0);
  Solid(cr, [](cairo_t* k) { Heart_Path(k, 50, 42, 78); }, s.C(0), kLine, 0.5);
}

// ----- Flowers -------------------------------------------------------------
void Petals(cairo_t* cr, double cx, double cy, int n, double r0, double r1, double width, double turn,
            const a_rgb& c, const a_rgb& outline, double line) {
  for (int i = 0; i < n; ++i) {
    const double a = (turn + i * 360.0 / n) * kPi / 180;
    Solid_Outlined(cr, [=](cairo_t* k) {
      Lens_Path(k, cx + r0 * std::sin(a), cy - r0 * std::cos(a), cx + r1 * std::sin(a), cy - r1 * std::cos(a), width);
    }, c, outline, line, 0.0);
  }
}

void Seed_Dots(cairo_t* cr, double cx, double cy, double r, const a_rgb& c, double dot) {
  // A Fermat spiral of seeds, as in a sunflower's head.
  const double golden = kPi * (3 - std::sqrt(5.0));
  const int n = int(r * r / (dot * dot * 1.6));
  for (int i = 1; i < n; ++i) {
    const double rr = r * std::sqrt(double(i) / n) * 0.92, a = i * golden;
    cairo_new_path(cr);
    Circle_Path(cr, cx + rr * std::cos(a), cy + rr * std::sin(a), dot * (0.55 + 0.45 * rr / r));
    Set_Rgb(cr, c);
    cairo_fill(cr);
  }
}

void Draw_Daisy(cairo_t* cr, const a_stamp& s) {
  const a_rgb petal = s.C(0), line = Darker(Mix(petal, Hex("#b49a6a"), 0.7), 0.3);
  Petals(cr, 50, 50, s.n, 8, 47, 15, 180.0 / s.n, Darker(petal, 0.08), line, kLine * 0.7);
  Petals(cr, 50, 50, s.n, 8, 44, 14, 0, petal, line, kLine * 0.7);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 15); }, s.C(1), kLine * 0.8, 0.3);
  Seed_Dots(cr, 50, 50, 12, Darker(s.C(1), 0.35), 1.5);
}

void Draw_Sunflower(cairo_t* cr, const a_stamp& s) {
  Petals(cr, 50, 50, s.n, 16, 48, 13, 180.0 / s.n, Darker(s.C(0), 0.18), Darker(s.C(0), 0.6), kLine * 0.7);
  Petals(cr, 50, 50, s.n, 16, 45, 12, 0, s.C(0), Darker(s.C(0), 0.6), kLine * 0.7);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 22); }, s.C(1), kLine, 0.15);
  Seed_Dots(cr, 50, 50, 20, Darker(s.C(1), 0.5), 1.6);
  Seed_Dots(cr, 49, 49, 17, Lighter(s.C(1), 0.25), 0.8);
}

void Draw_Tulip(cairo_t* cr, const a_stamp& s) {
  const a_rgb green = s.C(1);
  Tube(cr, [](cairo_t* k) {
    cairo_move_to(k, 50, 96);
    cairo_curve_to(k, 50, 80, 48, 66, 50, 50);
  }, green, 4.5, kLine * 0.7);
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 49, 94);
    cairo_curve_to(k, 38, 86, 22, 70, 22, 52);
    cairo_curve_to(k, 34, 62, 44, 74, 49, 94);
    cairo_close_path(k);
  }, green, kLine * 0.8, 0.2);
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 51, 94);
    cairo_curve_to(k, 60, 84, 76, 74, 80, 60);
    cairo_curve_to(k, 66, 64, 56, 76, 51, 94);
    cairo_close_path(k);
  }, green, kLine * 0.8, 0.2);
  const a_rgb c = s.C(0);
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 50, 58);
    cairo_curve_to(k, 40, 40, 44, 18, 50, 6);
    cairo_curve_to(k, 56, 18, 60, 40, 50, 58);
    cairo_close_path(k);
  }, Darker(c, 0.2), kLine, 0);
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 50, 60);
    cairo_curve_to(k, 34, 60, 26, 46, 28, 14);
    cairo_curve_to(k, 38, 20, 46, 28, 52, 40);
    cairo_curve_to(k, 52, 50, 52, 56, 50, 60);
    cairo_close_path(k);
  }, c, kLine, 0.3);
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 50, 60);
    cairo_curve_to(k, 66, 60, 74, 46, 72, 14);
    cairo_curve_to(k, 62, 20, 54, 28, 48, 40);
    cairo_curve_to(k, 48, 50, 48, 56, 50, 60);
    cairo_close_path(k);
  }, Lighter(c, 0.08), kLine, 0.3);
}

void Leaf(cairo_t* cr, double x0, double y0, double x1, double y1, double width, const a_rgb& c, double line) {
  Solid(cr, [=](cairo_t* k) { Lens_Path(k, x0, y0, x1, y1, width); }, c, line, 0.25);
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, x0 + (x1 - x0) * 0.08, y0 + (y1 - y0) * 0.08);
  cairo_line_to(cr, x0 + (x1 - x0) * 0.85, y0 + (y1 - y0) * 0.85);
  cairo_set_line_width(cr, line * 0.55);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  Set_Rgb(cr, Darker(c, 0.45));
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Draw_Rose(cairo_t* cr, const a_stamp& s) {
  const a_rgb green = s.C(1), c = s.C(0);
  Leaf(cr, 46, 70, 12, 90, 17, green, kLine * 0.8);
  Leaf(cr, 54, 70, 90, 86, 17, green, kLine * 0.8);
  auto head = [](cairo_t* k) {
    cairo_new_sub_path(k);
    for (int i = 0; i <= 200; ++i) {
      const double a = i * 2 * kPi / 200;
      const double r = 33 + 3.2 * std::cos(5 * a + 0.6);
      cairo_line_to(k, 50 + r * std::sin(a), 44 - r * std::cos(a) * 0.92);
    }
    cairo_close_path(k);
  };
  Solid(cr, head, c, kLine, 0.15);
  cairo_save(cr);
  cairo_new_path(cr);
  head(cr);
  cairo_clip(cr);
  // Folded petals: a spiral winding in toward the bud, broken into
  // overlapping arcs.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int seg = 0; seg < 6; ++seg) {
    const double t0 = seg * 1.35, t1 = t0 + 1.9;
    cairo_new_path(cr);
    for (int i = 0; i <= 40; ++i) {
      const double t = t0 + (t1 - t0) * i / 40.0;
      const double r = 3 + 3.1 * t, a = t * 1.9 + 0.8;
      cairo_line_to(cr, 50 + r * std::cos(a), 44 + r * std::sin(a) * 0.9);
    }
    cairo_set_line_width(cr, 4.2);
    Set_Rgb(cr, Lighter(c, 0.3));
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 1.9);
    Set_Rgb(cr, Darker(c, 0.5));
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

// A petal with a notch at its tip: a heart whose point is at the centre.
void Draw_Blossom(cairo_t* cr, const a_stamp& s) {
  const a_rgb c = s.C(0);
  for (int i = 0; i < 5; ++i) {
    const double a = i * 72.0;
    Turned(cr, 50, 50, a, [&] {
      Solid(cr, [](cairo_t* k) { Heart_Path(k, 50, 28, 42); }, c, kLine * 0.8, 0);
    });
  }
  cairo_save(cr);
  for (int i = 0; i < 10; ++i) {
    const double a = (i * 36 + 18) * kPi / 180, r = i % 2 == 0 ? 15 : 12;
    cairo_new_path(cr);
    cairo_move_to(cr, 50, 50);
    cairo_line_to(cr, 50 + r * std::sin(a), 50 - r * std::cos(a));
    cairo_set_line_width(cr, 1.3);
    Set_Rgb(cr, Darker(c, 0.45));
    cairo_stroke(cr);
    cairo_new_path(cr);
    Circle_Path(cr, 50 + r * std::sin(a), 50 - r * std::cos(a), 2.0);
    Set_Rgb(cr, s.C(1));
    cairo_fill(cr);
  }
  cairo_restore(cr);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 5); }, s.C(1), kLine * 0.5, 0);
}

void Five_Petal(cairo_t* cr, double cx, double cy, double r, double turn, const a_rgb& c, const a_rgb& centre,
                double line) {
  for (int i = 0; i < 5; ++i) {
    const double a = (turn + i * 72.0) * kPi / 180;
    Solid(cr, [=](cairo_t* k) { Circle_Path(k, cx + r * 0.55 * std::sin(a), cy - r * 0.55 * std::cos(a), r * 0.46); },
          c, line, 0.2);
  }
  Solid(cr, [=](cairo_t* k) { Circle_Path(k, cx, cy, r * 0.28); }, centre, line * 0.8, 0.3);
}

void Draw_Flower5(cairo_t* cr, const a_stamp& s) { Five_Petal(cr, 50, 50, 48, 0, s.C(0), s.C(1), kLine); }

void Draw_Bouquet(cairo_t* cr, const a_stamp& s) {
  const a_rgb green = s.C(2);
  Leaf(cr, 40, 62, 8, 82, 14, green, kLine * 0.7);
  Leaf(cr, 62, 62, 94, 78, 14, green, kLine * 0.7);
  Leaf(cr, 50, 60, 54, 97, 13, green, kLine * 0.7);
  const struct {
    double x, y, r, turn;
    size_t col;
  } fl[] = {{30, 30, 30, 10, 0}, {70, 28, 28, -8, 0}, {50, 52, 30, 20, 1}, {22, 62, 22, 0, 1}, {78, 60, 22, 30, 0}};
  for (const auto& f : fl) Five_Petal(cr, f.x, f.y, f.r, f.turn, s.C(f.col), s.C(3), kLine * 0.75);
}

void Draw_Clover(cairo_t* cr, const a_stamp& s) {
  Tube(cr, [](cairo_t* k) {
    cairo_move_to(k, 52, 52);
    cairo_curve_to(k, 60, 70, 64, 84, 78, 95);
  }, Darker(s.C(0), 0.15), 4, kLine * 0.6);
  for (int i = 0; i < 4; ++i) {
    Turned(cr, 50, 50, 45 + i * 90, [&] {
      Solid(cr, [](cairo_t* k) { Heart_Path(k, 50, 29, 46); }, s.C(0), kLine * 0.85, 0.25);
    });
  }
  cairo_save(cr);
  cairo_set_line_width(cr, 1.4);
  Set_Rgb(cr, Lighter(s.C(0), 0.45));
  for (int i = 0; i < 4; ++i) {
    const double a = (45 + i * 90) * kPi / 180;
    cairo_new_path(cr);
    cairo_move_to(cr, 50 + 6 * std::sin(a), 50 - 6 * std::cos(a));
    cairo_line_to(cr, 50 + 30 * std::sin(a), 50 - 30 * std::cos(a));
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void Draw_Poppy(cairo_t* cr, const a_stamp& s) {
  const a_rgb c = s.C(0);
  for (int i = 0; i < 4; ++i) {
    const double a = (45 + i * 90) * kPi / 180;
    Solid(cr, [=](cairo_t* k) { Ellipse_Path(k, 50 + 19 * std::sin(a), 50 - 19 * std::cos(a), 27, 24, 45 + i * 90); },
          i % 2 == 0 ? Darker(c, 0.12) : c, kLine, 0.25);
  }
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 13); }, s.C(1), kLine * 0.7, 0.2);
  cairo_save(cr);
  for (int i = 0; i < 12; ++i) {
    const double a = i * kPi / 6;
    cairo_new_path(cr);
    Circle_Path(cr, 50 + 17 * std::sin(a), 50 - 17 * std::cos(a), 1.8);
    Set_Rgb(cr, s.C(1));
    cairo_fill(cr);
  }
  cairo_new_path(cr);
  Circle_Path(cr, 50, 50, 6);
  Set_Rgb(cr, s.C(2));
  cairo_fill(cr);
  cairo_restore(cr);
}

// ----- Music ---------------------------------------------------------------
void Note_Parts(cairo_t* k, double hx, double hy, double top, int flags) {
  Ellipse_Path(k, hx, hy, 15, 11, -24);
  const double sx = hx + 11.5;
  cairo_new_sub_path(k);
  cairo_rectangle(k, sx, top, 5, hy - top - 2);
  for (int f = 0; f < flags; ++f) {
    const double y = top + f * 12;
    cairo_new_sub_path(k);
    cairo_move_to(k, sx + 2, y);
    cairo_curve_to(k, sx + 8, y + 12, sx + 26, y + 16, sx + 18, y + 40);
    cairo_curve_to(k, sx + 22, y + 22, sx + 10, y + 18, sx + 2, y + 15);
    cairo_close_path(k);
  }
}

void Draw_Note(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [&](cairo_t* k) { Note_Parts(k, s.n == 0 ? 44 : 36, 76, 8, s.n); }, s.C(0), kLine, 0.35);
}

void Draw_Notes2(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) {
    Ellipse_Path(k, 24, 80, 14, 10, -24);
    Ellipse_Path(k, 70, 70, 14, 10, -24);
    cairo_new_sub_path(k);
    cairo_rectangle(k, 34, 16, 4.6, 62);
    cairo_new_sub_path(k);
    cairo_rectangle(k, 80, 6, 4.6, 62);
    Polygon_Path(k, {{34, 14}, {84.6, 4}, {84.6, 15}, {34, 25}});
    Polygon_Path(k, {{34, 29}, {84.6, 19}, {84.6, 28}, {34, 38}});
  }, s.C(0), kLine, 0.35);
}

void Glyph_Solid(cairo_t* cr, const char* font, const char* utf8, double box_x, double box_y, double box_w,
                 double box_h, const a_rgb& c, double line) {
  Use_Font(cr, font, 100);
  cairo_text_extents_t e;
  cairo_text_extents(cr, utf8, &e);
  const double k = std::min(box_w / e.width, box_h / e.height);
  Solid(cr, [&](cairo_t* t) {
    cairo_save(t);
    cairo_translate(t, box_x + (box_w - e.width * k) / 2, box_y + (box_h - e.height * k) / 2);
    cairo_scale(t, k, k);
    cairo_move_to(t, -e.x_bearing, -e.y_bearing);
    cairo_text_path(t, utf8);
    cairo_restore(t);
  }, c, line, 0.3);
}

void Draw_Clef(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 46); }, s.C(1), kLine, 0.3);
  Glyph_Solid(cr, "music", "\xF0\x9D\x84\x9E", 28, 8, 44, 84, s.C(0), kLine * 0.55);
}

void Draw_Headphones(cairo_t* cr, const a_stamp& s) {
  Tube(cr, [](cairo_t* k) { cairo_arc(k, 50, 56, 36, kPi * 1.0, kPi * 2.0); }, s.C(1), 7, kLine);
  for (int side = 0; side < 2; ++side) {
    const double x = side == 0 ? 8 : 72;
    Solid(cr, [=](cairo_t* k) { Round_Rect_Path(k, x + (side == 0 ? 6 : 0), 50, 14, 38, 6); }, Darker(s.C(1), 0.2),
          kLine, 0);
    Solid(cr, [=](cairo_t* k) { Round_Rect_Path(k, x + (side == 0 ? 0 : 6), 46, 14, 46, 7); }, s.C(0), kLine, 0.4);
  }
}

void Draw_Microphone(cairo_t* cr, const a_stamp& s) {
  Turned(cr, 50, 50, 28, [&] {
    Solid(cr, [](cairo_t* k) {
      cairo_new_sub_path(k);
      cairo_move_to(k, 40, 52);
      cairo_line_to(k, 60, 52);
      cairo_line_to(k, 55, 96);
      cairo_line_to(k, 45, 96);
      cairo_close_path(k);
    }, s.C(1), kLine, 0.3);
    Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 36, 46, 28, 9, 3); }, s.C(2), kLine * 0.8, 0.3);
    auto head = [](cairo_t* k) { Circle_Path(k, 50, 26, 23); };
    Solid(cr, head, s.C(0), kLine, 0.0);
    cairo_save(cr);
    cairo_new_path(cr);
    head(cr);
    cairo_clip(cr);
    cairo_set_line_width(cr, 1.2);
    Set_Rgb(cr, Darker(s.C(0), 0.45));
    for (int i = -5; i <= 5; ++i) {
      cairo_new_path(cr);
      cairo_move_to(cr, 50 + i * 5 - 30, -4);
      cairo_line_to(cr, 50 + i * 5 + 30, 56);
      cairo_move_to(cr, 50 + i * 5 + 30, -4);
      cairo_line_to(cr, 50 + i * 5 - 30, 56);
      cairo_stroke(cr);
    }
    cairo_restore(cr);
    Gloss(cr, head, 0.5, 27, 3, 73, 49);
  });
}

void Draw_Guitar(cairo_t* cr, const a_stamp& s) {
  Turned(cr, 50, 50, 38, [&] {
    Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 45.5, 2, 9, 18, 2); }, Darker(s.C(0), 0.3), kLine * 0.8, 0);
    Solid(cr, [](cairo_t* k) {
      cairo_new_sub_path(k);
      cairo_rectangle(k, 46.5, 14, 7, 46);
    }, s.C(2), kLine * 0.8, 0.2);
    Solid(cr, [](cairo_t* k) {
      Circle_Path(k, 50, 76, 21);
      Circle_Path(k, 50, 50, 15);
      Ellipse_Path(k, 50, 63, 15, 10);
    }, s.C(0), kLine, 0.3);
    Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 62, 7); }, Hex("#2a1a10"), kLine * 0.5, 0);
    Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 42, 80, 16, 4, 1.5); }, s.C(1), kLine * 0.5, 0);
    cairo_save(cr);
    cairo_set_line_width(cr, 0.6);
    Set_Rgb(cr, Hex("#f0e6d0"));
    for (int i = 0; i < 4; ++i) {
      cairo_new_path(cr);
      cairo_move_to(cr, 47.8 + i * 1.5, 16);
      cairo_line_to(cr, 47.8 + i * 1.5, 81);
      cairo_stroke(cr);
    }
    cairo_restore(cr);
  });
}

void Draw_Drum(cairo_t* cr, const a_stamp& s) {
  const a_rgb body = s.C(0), rim = s.C(1);
  for (int i = 0; i < 2; ++i) {
    const double sign = i == 0 ? -1 : 1;
    Tube(cr, [sign](cairo_t* k) {
      cairo_move_to(k, 50 - sign * 36, 6);
      cairo_line_to(k, 50 + sign * 6, 36);
    }, Hex("#d9b382"), 3.5, kLine * 0.6);
    Solid(cr, [sign](cairo_t* k) { Circle_Path(k, 50 - sign * 36, 6, 4); }, Hex("#d9b382"), kLine * 0.6, 0);
  }
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 12, 40);
    cairo_line_to(k, 12, 78);
    cairo_curve_to(k, 12, 96, 88, 96, 88, 78);
    cairo_line_to(k, 88, 40);
    cairo_close_path(k);
  }, body, kLine, 0.15);
  cairo_save(cr);
  cairo_set_line_width(cr, 1.8);
  Set_Rgb(cr, White());
  cairo_new_path(cr);
  for (int i = 0; i <= 6; ++i) {
    const double x = 14 + i * 12;
    cairo_line_to(cr, x, i % 2 == 0 ? 48 : 80);
  }
  cairo_stroke(cr);
  cairo_restore(cr);
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 10, 78);
    cairo_curve_to(k, 10, 99, 90, 99, 90, 78);
    cairo_curve_to(k, 90, 92, 10, 92, 10, 78);
    cairo_close_path(k);
  }, rim, kLine * 0.8, 0);
  Solid(cr, [](cairo_t* k) { Ellipse_Path(k, 50, 40, 40, 13); }, rim, kLine, 0);
  Solid(cr, [](cairo_t* k) { Ellipse_Path(k, 50, 40, 35, 10); }, Hex("#f4efe6"), kLine * 0.5, 0.2);
}

// ----- Winter --------------------------------------------------------------
void Draw_Snowflake(cairo_t* cr, const a_stamp& s) {
  auto arms = [&](cairo_t* k) {
    for (int i = 0; i < 6; ++i) {
      cairo_save(k);
      cairo_translate(k, 50, 50);
      cairo_rotate(k, i * kPi / 3);
      cairo_move_to(k, 0, 0);
      cairo_line_to(k, 0, -44);
      switch (s.n) {
        case 1:
          for (double at : {0.42, 0.7}) {
            const double l = at < 0.5 ? 14 : 10;
            cairo_move_to(k, -l * 0.8, -44 * at - l * 0.6);
            cairo_line_to(k, 0, -44 * at);
            cairo_line_to(k, l * 0.8, -44 * at - l * 0.6);
          }
          break;
        case 2:
          cairo_move_to(k, -13, -37);
          cairo_line_to(k, 0, -26);
          cairo_line_to(k, 13, -37);
          break;
        default:
          cairo_move_to(k, 0, -30);
          cairo_line_to(k, -7, -38);
          cairo_line_to(k, 0, -46);
          cairo_line_to(k, 7, -38);
          cairo_close_path(k);
          cairo_move_to(k, -10, -18);
          cairo_line_to(k, 0, -24);
          cairo_line_to(k, 10, -18);
          break;
      }
      cairo_restore(k);
    }
  };
  cairo_save(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_new_path(cr);
  arms(cr);
  cairo_set_line_width(cr, 8.4);
  Set_Rgb(cr, Darker(s.C(0), 0.6));
  cairo_stroke(cr);
  cairo_new_path(cr);
  arms(cr);
  cairo_set_line_width(cr, 4.4);
  cairo_pattern_t* g = cairo_pattern_create_radial(40, 40, 0, 50, 50, 50);
  Add_Stop(g, 0, Lighter(s.C(0), 0.7));
  Add_Stop(g, 0.6, s.C(0));
  Add_Stop(g, 1, Darker(s.C(0), 0.2));
  cairo_set_source(cr, g);
  cairo_stroke(cr);
  cairo_pattern_destroy(g);
  cairo_restore(cr);
  if (s.n != 1) {
    // A hexagonal plate at the heart of the flake.
    Solid(cr, [](cairo_t* k) {
      std::vector<std::pair<double, double>> pts;
      for (int i = 0; i < 6; ++i) pts.emplace_back(50 + 11 * std::sin(i * kPi / 3 + kPi / 6), 50 - 11 * std::cos(i * kPi / 3 + kPi / 6));
      Polygon_Path(k, pts, 1.5);
    }, Lighter(s.C(0), 0.35), 2.1, 0.3);
  }
}

void Draw_Snowman(cairo_t* cr, const a_stamp& s) {
  const a_rgb snow = Hex("#f3f8ff"), line = Hex("#6f86a8");
  Solid_Outlined(cr, [](cairo_t* k) { Circle_Path(k, 50, 72, 25); }, snow, line, kLine, 0.3);
  Solid_Outlined(cr, [](cairo_t* k) { Circle_Path(k, 50, 38, 17); }, snow, line, kLine, 0.3);
  // Scarf.
  Solid(cr, [](cairo_t* k) {
    Round_Rect_Path(k, 32, 50, 36, 8, 4);
    Polygon_Path(k, {{56, 54}, {66, 54}, {70, 72}, {60, 72}}, 1.5);
  }, s.C(0), kLine * 0.8, 0.2);
  // Hat.
  Solid(cr, [](cairo_t* k) {
    Round_Rect_Path(k, 28, 22, 44, 6, 2);
    Round_Rect_Path(k, 36, 2, 28, 22, 2);
  }, Hex("#2e2e3a"), kLine * 0.8, 0.3);
  Flat(cr, [](cairo_t* k) { cairo_rectangle(k, 36, 17, 28, 4); }, s.C(1), s.C(1), 0);
  Solid(cr, [](cairo_t* k) { Polygon_Path(k, {{50, 38}, {66, 42}, {50, 44}}, 1); }, Hex("#f28c28"), kLine * 0.5, 0);
  for (const auto& [x, y] : std::vector<std::pair<double, double>>{{44, 33}, {56, 33}, {50, 66}, {50, 76}, {50, 86}})
    Flat(cr, [x = x, y = y](cairo_t* k) { Circle_Path(k, x, y, y < 40 ? 2.2 : 2.8); }, Hex("#2e2e3a"), Hex("#2e2e3a"), 0);
}

void Draw_Xmas_Tree(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) { cairo_rectangle(k, 44, 80, 12, 16); }, Hex("#8a5a33"), kLine * 0.8, 0);
  Solid(cr, [](cairo_t* k) {
    Polygon_Path(k, {{50, 12}, {72, 42}, {28, 42}}, 3);
    Polygon_Path(k, {{50, 26}, {80, 62}, {20, 62}}, 3);
    Polygon_Path(k, {{50, 42}, {88, 84}, {12, 84}}, 3);
  }, s.C(0), kLine, 0.15);
  cairo_save(cr);
  cairo_set_line_width(cr, 2.4);
  Set_Rgb(cr, s.C(1));
  cairo_new_path(cr);
  cairo_move_to(cr, 36, 38);
  cairo_curve_to(cr, 44, 44, 56, 40, 64, 34);
  cairo_move_to(cr, 28, 58);
  cairo_curve_to(cr, 42, 64, 60, 62, 74, 52);
  cairo_move_to(cr, 22, 80);
  cairo_curve_to(cr, 40, 86, 64, 82, 82, 72);
  cairo_stroke(cr);
  cairo_restore(cr);
  const struct {
    double x, y;
    size_t c;
  } balls[] = {{40, 50, 0}, {60, 46, 1}, {34, 70, 2}, {56, 70, 0}, {72, 76, 2}, {48, 32, 1}};
  for (const auto& b : balls) Solid(cr, [&](cairo_t* k) { Circle_Path(k, b.x, b.y, 3.6); }, s.C(2 + b.c), kLine * 0.5, 0.5);
  Solid(cr, [](cairo_t* k) { Star_Path(k, 50, 12, 11, 5, 5, 0, 1); }, Hex("#ffcc29"), kLine * 0.7, 0.3);
}

void Draw_Bauble(cairo_t* cr, const a_stamp& s) {
  Tube(cr, [](cairo_t* k) { cairo_arc(k, 50, 9, 5, 0, 2 * kPi); }, Hex("#b0943e"), 1.8, kLine * 0.4);
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 41, 12, 18, 11, 2); }, Hex("#e4b73f"), kLine * 0.8, 0.4);
  auto ball = [](cairo_t* k) { Circle_Path(k, 50, 59, 37); };
  Solid(cr, ball, s.C(0), kLine, 0);
  cairo_save(cr);
  cairo_new_path(cr);
  ball(cr);
  cairo_clip(cr);
  cairo_new_path(cr);
  for (int i = 0; i <= 16; ++i) cairo_line_to(cr, 10 + i * 5, i % 2 == 0 ? 54 : 64);
  cairo_set_line_width(cr, 4);
  Set_Rgb(cr, s.C(1));
  cairo_stroke(cr);
  for (int i = 0; i < 4; ++i) {
    cairo_new_path(cr);
    Circle_Path(cr, 24 + i * 17, 77 + (i % 2) * 4, 2.6);
    Circle_Path(cr, 24 + i * 17 + 8, 38 + (i % 2) * 3, 2.2);
    Set_Rgb(cr, s.C(1));
    cairo_fill(cr);
  }
  cairo_restore(cr);
  Gloss(cr, ball, 0.5, 13, 22, 87, 96);
  Twinkle(cr, 34, 40, 7, White());
}

void Draw_Candy_Cane(cairo_t* cr, const a_stamp& s) {
  auto cane = [](cairo_t* k) {
    cairo_move_to(k, 60, 94);
    cairo_line_to(k, 60, 34);
    cairo_arc_negative(k, 44, 34, 16, 0, kPi);
    cairo_line_to(k, 28, 44);
  };
  Tube(cr, cane, White(), 15, kLine);
  cairo_save(cr);
  cairo_new_path(cr);
  cane(cr);
  cairo_set_line_width(cr, 15);
  const double dash[] = {5, 5};
  cairo_set_dash(cr, dash, 2, 0);
  Set_Rgb(cr, s.C(0));
  cairo_stroke(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, 56, 90);
  cairo_line_to(cr, 56, 34);
  cairo_arc_negative(cr, 44, 34, 12, 0, kPi * 0.6);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_set_line_width(cr, 2.5);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  Set_Rgb(cr, a_rgb{1, 1, 1}, 0.55);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// A holly leaf from its base at (50, 56): spines along both edges, the edge
// scooped between them.
void Holly_Leaf(cairo_t* k, double turn) {
  cairo_save(k);
  cairo_translate(k, 50, 56);
  cairo_rotate(k, turn * kPi / 180);
  const double L = 48, W = 15;
  const double ts[] = {0, 0.27, 0.52, 0.77, 1};
  auto half = [&](double t) { return W * std::sin(kPi * t); };
  cairo_new_sub_path(k);
  cairo_move_to(k, 0, 0);
  for (int i = 1; i < 5; ++i) {
    const double tm = (ts[i - 1] + ts[i]) / 2, x = i < 4 ? half(ts[i]) + 4 : 0;
    cairo_curve_to(k, half(tm) * 0.6, -L * tm, half(tm) * 0.6, -L * tm, x, -L * ts[i]);
  }
  for (int i = 3; i >= 0; --i) {
    const double tm = (ts[i] + ts[i + 1]) / 2, x = i > 0 ? -(half(ts[i]) + 4) : 0;
    cairo_curve_to(k, -half(tm) * 0.6, -L * tm, -half(tm) * 0.6, -L * tm, x, -L * ts[i]);
  }
  cairo_close_path(k);
  cairo_restore(k);
}

void Draw_Holly(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) { Holly_Leaf(k, -55); }, s.C(0), kLine, 0.25);
  Solid(cr, [](cairo_t* k) { Holly_Leaf(k, 55); }, Lighter(s.C(0), 0.08), kLine, 0.25);
  for (const auto& [x, y] : std::vector<std::pair<double, double>>{{43, 62}, {58, 61}, {50, 73}})
    Solid(cr, [x = x, y = y](cairo_t* k) { Circle_Path(k, x, y, 8.5); }, s.C(1), kLine * 0.8, 0.55);
}

// ----- Discs ---------------------------------------------------------------
// A disc's face of colours turning round it (a conic blend in a mesh).
void Conic(cairo_t* cr, double cx, double cy, double r0, double r1, const std::vector<a_rgb>& cols, double turn) {
  cairo_pattern_t* m = cairo_pattern_create_mesh();
  const int n = 48;
  for (int i = 0; i < n; ++i) {
    const double a0 = turn + i * 2 * kPi / n, a1 = turn + (i + 1) * 2 * kPi / n;
    auto col = [&](int j) {
      const double t = double(j % n) / n * double(cols.size());
      const size_t k = size_t(t) % cols.size();
      return Mix_Lab(cols[k], cols[(k + 1) % cols.size()], t - std::floor(t));
    };
    const double h = 4.0 / 3.0 * std::tan((a1 - a0) / 4);
    cairo_mesh_pattern_begin_patch(m);
    cairo_mesh_pattern_move_to(m, cx + r0 * std::cos(a0), cy + r0 * std::sin(a0));
    cairo_mesh_pattern_line_to(m, cx + r1 * std::cos(a0), cy + r1 * std::sin(a0));
    cairo_mesh_pattern_curve_to(m, cx + r1 * (std::cos(a0) - h * std::sin(a0)), cy + r1 * (std::sin(a0) + h * std::cos(a0)),
                                cx + r1 * (std::cos(a1) + h * std::sin(a1)), cy + r1 * (std::sin(a1) - h * std::cos(a1)),
                                cx + r1 * std::cos(a1), cy + r1 * std::sin(a1));
    cairo_mesh_pattern_line_to(m, cx + r0 * std::cos(a1), cy + r0 * std::sin(a1));
    cairo_mesh_pattern_curve_to(m, cx + r0 * (std::cos(a1) + h * std::sin(a1)), cy + r0 * (std::sin(a1) - h * std::cos(a1)),
                                cx + r0 * (std::cos(a0) - h * std::sin(a0)), cy + r0 * (std::sin(a0) + h * std::cos(a0)),
                                cx + r0 * std::cos(a0), cy + r0 * std::sin(a0));
    const a_rgb c0 = col(i), c1 = col(i + 1);
    cairo_mesh_pattern_set_corner_color_rgb(m, 0, c0.r, c0.g, c0.b);
    cairo_mesh_pattern_set_corner_color_rgb(m, 1, c0.r, c0.g, c0.b);
    cairo_mesh_pattern_set_corner_color_rgb(m, 2, c1.r, c1.g, c1.b);
    cairo_mesh_pattern_set_corner_color_rgb(m, 3, c1.r, c1.g, c1.b);
    cairo_mesh_pattern_end_patch(m);
  }
  cairo_set_source(cr, m);
  cairo_new_path(cr);
  Circle_Path(cr, cx, cy, r1);
  cairo_fill(cr);
  cairo_pattern_destroy(m);
}

// Light caught on a disc of radius r about (50, 50): two opposite wedges,
// the first from `from` degrees, `span` wide.
void Sheen(cairo_t* cr, double r, double from, double span, const a_rgb& c, double alpha) {
  Clipped(cr, [=](cairo_t* k) { Circle_Path(k, 50, 50, r); }, [&] {
    for (int i = 0; i < 2; ++i) {
      cairo_new_path(cr);
      cairo_move_to(cr, 50, 50);
      cairo_arc(cr, 50, 50, r + 4, (from + i * 180) * kPi / 180, (from + span + i * 180) * kPi / 180);
      cairo_close_path(cr);
      Set_Rgb(cr, c, alpha);
      cairo_fill(cr);
    }
  });
}

void Draw_Cd(cairo_t* cr, const a_stamp& s) {
  const a_rgb rim = Darker(s.C(0), 0.55);
  Flat(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 46); }, s.C(0), rim, kLine);
  // Light caught in the tracks: the disc's colours, twice round.
  std::vector<a_rgb> cols;
  for (int pass = 0; pass < 2; ++pass)
    for (size_t i = 0; i < s.cols.size(); ++i) cols.push_back(pass == 0 ? s.cols[i] : Lighter(s.cols[i], 0.35));
  Conic(cr, 50, 50, 17, 46, cols, -0.6);
  Sheen(cr, 46, -120, 25, a_rgb{1, 1, 1}, 0.45);
  Stroke(cr, [&](cairo_t* k) { Circle_Path(k, 50, 50, 46); }, rim, kLine);
  Flat(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 17); }, Hex("#dfe5ec"), Hex("#8e99a8"), 1.2);
  Flat(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 11); }, Hex("#c5ced9"), Hex("#8e99a8"), 1.0);
  Flat(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 7.5); }, Hex("#8e99a8"), Hex("#8e99a8"), 0);
  Punch(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 6); });
}

// A black disc with its grooves from r0 outward.
void Record_Disc(cairo_t* cr, double cx, double cy, double r, double r0) {
  Flat(cr, [=](cairo_t* k) { Circle_Path(k, cx, cy, r); }, Hex("#1c1c22"), Hex("#050507"), kLine * 0.6);
  for (double rr = r0; rr < r - 1.5; rr += 2.3) Stroke(cr, [=](cairo_t* k) { Circle_Path(k, cx, cy, rr); }, Hex("#3b3b48"), 0.7);
}

void Draw_Vinyl(cairo_t* cr, const a_stamp& s) {
  Record_Disc(cr, 50, 50, 46, 19);
  Sheen(cr, 46, -130, 30, Hex("#9aa3c7"), 0.3);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 16); }, s.C(0), kLine * 0.5, 0.25);
  Flat(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 10); }, Lighter(s.C(0), 0.2), Lighter(s.C(0), 0.2), 0);
  Flat(cr, [](cairo_t* k) { cairo_arc(k, 50, 50, 13, -2.6, -0.5); }, s.C(1), s.C(1), 0);
  Stroke(cr, [&](cairo_t* k) { cairo_arc(k, 50, 50, 13, -2.6, -0.5); }, s.C(1), 2);
  Punch(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 2.6); });
}

void Reel_Window(cairo_t* cr, double x, double y, double r) {
  Flat(cr, [=](cairo_t* k) { Circle_Path(k, x, y, r); }, Hex("#f6f2ea"), Hex("#3a3a46"), 1.2);
  cairo_save(cr);
  for (int i = 0; i < 6; ++i) {
    const double a = i * kPi / 3;
    cairo_new_path(cr);
    cairo_move_to(cr, x + r * 0.45 * std::cos(a), y + r * 0.45 * std::sin(a));
    cairo_line_to(cr, x + r * 0.85 * std::cos(a), y + r * 0.85 * std::sin(a));
    cairo_set_line_width(cr, 1.6);
    Set_Rgb(cr, Hex("#3a3a46"));
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void Draw_Cassette(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 4, 20, 92, 62, 6); }, s.C(0), kLine, 0.2);
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 12, 26, 76, 36, 4); }, s.C(1), kLine * 0.6, 0);
  Flat(cr, [](cairo_t* k) { cairo_rectangle(k, 12, 32, 76, 5); }, s.C(2), s.C(2), 0);
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 26, 40, 48, 18, 8); }, Hex("#3a3a46"), kLine * 0.5, 0);
  Reel_Window(cr, 36, 49, 7);
  Reel_Window(cr, 64, 49, 7);
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 22, 82);
    cairo_line_to(k, 27, 68);
    cairo_line_to(k, 73, 68);
    cairo_line_to(k, 78, 82);
    cairo_close_path(k);
  }, Darker(s.C(0), 0.2), kLine * 0.6, 0);
  for (const double x : {10.0, 90.0})
    Flat(cr, [x](cairo_t* k) { Circle_Path(k, x, 76, 2); }, Hex("#d8d8de"), Hex("#3a3a46"), 0.8);
}

void Draw_Sleeve(cairo_t* cr, const a_stamp& s) {
  Record_Disc(cr, 64, 50, 33, 14);
  Flat(cr, [](cairo_t* k) { Circle_Path(k, 64, 50, 10); }, s.C(2), s.C(2), 0);
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 6, 17, 64, 66, 3); }, s.C(0), kLine, 0.15);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 38, 50, 20); }, s.C(1), kLine * 0.6, 0.2);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 38, 50, 10); }, s.C(2), kLine * 0.5, 0.2);
}

// ----- Film ----------------------------------------------------------------
void Draw_Reel(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 60, 78);
    cairo_curve_to(k, 74, 92, 86, 90, 97, 80);
    cairo_line_to(k, 97, 92);
    cairo_curve_to(k, 84, 99, 70, 99, 56, 88);
    cairo_close_path(k);
  }, Hex("#2f2f38"), kLine * 0.6, 0);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 44, 44, 41); }, s.C(0), kLine, 0.35);
  Flat(cr, [](cairo_t* k) { Circle_Path(k, 44, 44, 33); }, Darker(s.C(0), 0.12), Darker(s.C(0), 0.5), 0.8);
  for (int i = 0; i < 5; ++i) {
    const double a = (i * 72 - 90) * kPi / 180;
    const double x = 44 + 20 * std::cos(a), y = 44 + 20 * std::sin(a);
    Flat(cr, [x, y](cairo_t* k) { Circle_Path(k, x, y, 10); }, Darker(s.C(0), 0.6), Darker(s.C(0), 0.6), 0);
    Punch(cr, [x, y](cairo_t* k) { Circle_Path(k, x, y, 8.6); });
  }
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 44, 44, 7); }, Lighter(s.C(0), 0.25), kLine * 0.6, 0);
  Punch(cr, [](cairo_t* k) { Circle_Path(k, 44, 44, 2.6); });
}

void Draw_Clapper(cairo_t* cr, const a_stamp& s) {
  const a_rgb dark = s.C(0), light = White();
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 10, 40, 80, 52, 3); }, dark, kLine, 0.15);
  cairo_save(cr);
  cairo_set_line_width(cr, 1.6);
  Set_Rgb(cr, Hex("#e8e8ec"));
  for (double y : {56.0, 70.0}) {
    cairo_new_path(cr);
    cairo_move_to(cr, 16, y);
    cairo_line_to(cr, 84, y);
    cairo_stroke(cr);
  }
  cairo_new_path(cr);
  cairo_move_to(cr, 50, 56);
  cairo_line_to(cr, 50, 86);
  cairo_stroke(cr);
  cairo_restore(cr);
  auto stripes = [&](double x, double y, double w, double h, double turn) {
    Turned(cr, x, y + h, turn, [&] {
      Solid(cr, [=](cairo_t* k) { cairo_rectangle(k, x, y, w, h); }, dark, kLine, 0);
      cairo_save(cr);
      cairo_new_path(cr);
      cairo_rectangle(cr, x, y, w, h);
      cairo_clip(cr);
      for (int i = 0; i < 6; ++i) {
        cairo_new_path(cr);
        const double sx = x + 4 + i * 15;
        Polygon_Path(cr, {{sx, y}, {sx + 7.5, y}, {sx + 7.5 - h, y + h}, {sx - h, y + h}});
        Set_Rgb(cr, light);
        cairo_fill(cr);
      }
      cairo_restore(cr);
      Stroke(cr, [&](cairo_t* k) { cairo_rectangle(k, x, y, w, h); }, Darker(dark, 0.6), kLine * 0.6);
    });
  };
  stripes(10, 30, 80, 10, 0);
  stripes(10, 20, 80, 10, -18);
  Flat(cr, [](cairo_t* k) { Circle_Path(k, 14, 37, 2.4); }, s.C(1), s.C(1), 0);
}

}  // namespace

void Film_Scene(cairo_t* cr, double x, double y, double w, double h, const a_rgb& sky, const a_rgb& hill, double sun) {
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
  Add_Stop(g, 0, Lighter(sky, 0.3));
  Add_Stop(g, 1, sky);
  cairo_set_source(cr, g);
  cairo_paint(cr);
  cairo_pattern_destroy(g);
  if (sun > 0) {
    cairo_new_path(cr);
    Circle_Path(cr, x + w * sun, y + h * 0.35, h * 0.16);
    Set_Rgb(cr, Hex("#ffe28a"));
    cairo_fill(cr);
  }
  cairo_new_path(cr);
  cairo_move_to(cr, x, y + h);
  cairo_curve_to(cr, x + w * 0.3, y + h * 0.48, x + w * 0.65, y + h * 0.92, x + w, y + h * 0.58);
  cairo_line_to(cr, x + w, y + h);
  cairo_close_path(cr);
  Set_Rgb(cr, hill);
  cairo_fill(cr);
  cairo_restore(cr);
}

namespace {

void Film_Frames(cairo_t* cr, double x, double y, double w, double h, const a_stamp& s) {
  const a_rgb film = Hex("#24242c");
  Solid(cr, [=](cairo_t* k) { cairo_rectangle(k, x, y, w, h); }, film, kLine * 0.8, 0);
  for (int i = 0; i * 8 < w - 4; ++i) {
    for (const double hy : {y + 3.0, y + h - 8.0}) {
      const double hx = x + 3 + i * 8;
      Flat(cr, [=](cairo_t* k) { Round_Rect_Path(k, hx, hy, 4.5, 5, 1.2); }, White(), White(), 0);
    }
  }
  const int frames = 3;
  const double fw = (w - 8) / frames;
  for (int f = 0; f < frames; ++f) {
    const double fx = x + 4 + f * fw + 1.5, fy = y + 11, fh = h - 22, ffw = fw - 3;
    Film_Scene(cr, fx, fy, ffw, fh, s.C(size_t(f % 3)), s.C(3), 0.3 + 0.2 * f);
  }
}

void Draw_Film_Strip(cairo_t* cr, const a_stamp& s) {
  Turned(cr, 50, 50, -24, [&] { Film_Frames(cr, -4, 28, 108, 44, s); });
}

void Draw_Camera(cairo_t* cr, const a_stamp& s) {
  for (const auto& c : std::vector<std::array<double, 3>>{{30, 26, 17}, {64, 22, 14}}) {
    const double x = c[0], y = c[1], r = c[2];
    Solid(cr, [=](cairo_t* k) { Circle_Path(k, x, y, r); }, s.C(1), kLine, 0.3);
    for (int i = 0; i < 3; ++i) {
      const double a = (i * 120 + 30) * kPi / 180;
      Flat(cr, [=](cairo_t* k) { Circle_Path(k, x + r * 0.5 * std::cos(a), y + r * 0.5 * std::sin(a), r * 0.24); },
           Darker(s.C(1), 0.55), Darker(s.C(1), 0.55), 0);
    }
    Flat(cr, [=](cairo_t* k) { Circle_Path(k, x, y, 2.4); }, Darker(s.C(1), 0.55), Darker(s.C(1), 0.55), 0);
  }
  Solid(cr, [](cairo_t* k) { Polygon_Path(k, {{70, 56}, {96, 44}, {96, 84}, {70, 72}}, 1.5); }, Darker(s.C(0), 0.25), kLine, 0.2);
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 6, 42, 66, 44, 6); }, s.C(0), kLine, 0.3);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 22, 55, 5); }, s.C(2), kLine * 0.6, 0.4);
  Flat(cr, [](cairo_t* k) { Round_Rect_Path(k, 34, 72, 30, 6, 3); }, Darker(s.C(0), 0.35), Darker(s.C(0), 0.35), 0);
}

void Draw_Popcorn(cairo_t* cr, const a_stamp& s) {
  a_rng rng(s.seed);
  const a_rgb pop = Hex("#fff3d1"), pop_line = Hex("#c79a4e");
  const struct {
    double x, y, r;
  } puffs[] = {{30, 34, 11}, {46, 26, 12}, {64, 30, 11}, {74, 40, 9},  {22, 44, 9},
               {38, 40, 10}, {56, 40, 11}, {50, 14, 9},  {66, 18, 8}, {34, 20, 8}};
  for (const auto& p : puffs) {
    const double turn = rng.Range(0, 360);
    Solid_Outlined(cr, [&](cairo_t* k) {
      for (int i = 0; i < 4; ++i) {
        const double a = (turn + i * 90) * kPi / 180;
        Circle_Path(k, p.x + p.r * 0.42 * std::cos(a), p.y + p.r * 0.42 * std::sin(a), p.r * 0.62);
      }
    }, pop, pop_line, kLine * 0.7, 0.1);
  }
  auto box = [](cairo_t* k) { Polygon_Path(k, {{16, 44}, {84, 44}, {74, 96}, {26, 96}}, 2); };
  Solid(cr, box, s.C(1), kLine, 0.25);
  cairo_save(cr);
  cairo_new_path(cr);
  box(cr);
  cairo_clip(cr);
  for (int i = 0; i < 4; ++i) {
    cairo_new_path(cr);
    Polygon_Path(cr, {{18 + i * 18.0, 44}, {27 + i * 18.0, 44}, {32 + i * 13.0, 96}, {27.5 + i * 13.0, 96}});
    Set_Rgb(cr, s.C(0));
    cairo_fill(cr);
  }
  cairo_restore(cr);
  Stroke(cr, box, Darker(s.C(0), 0.6), 2 * kLine);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 66, 10); }, Hex("#ffd23f"), kLine * 0.6, 0.4);
  Solid(cr, [](cairo_t* k) { Star_Path(k, 50, 67, 7, 3.5, 5, 0, 0.5); }, s.C(0), kLine * 0.3, 0);
}

void Draw_Ticket(cairo_t* cr, const a_stamp& s) {
  Turned(cr, 50, 50, -16, [&] {
    auto ticket = [](cairo_t* k) { Round_Rect_Path(k, 4, 28, 92, 44, 4); };
    Solid(cr, ticket, s.C(0), kLine, 0.3);
    cairo_save(cr);
    cairo_new_path(cr);
    Round_Rect_Path(cr, 10, 34, 80, 32, 2);
    cairo_set_line_width(cr, 1.4);
    Set_Rgb(cr, Darker(s.C(0), 0.4));
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, 70, 30);
    cairo_line_to(cr, 70, 70);
    const double dash[] = {2.5, 2.5};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    cairo_restore(cr);
    Solid(cr, [](cairo_t* k) { Star_Path(k, 40, 51, 13, 6.5, 5, 0, 1); }, s.C(1), kLine * 0.7, 0.3);
    Flat(cr, [](cairo_t* k) {
      Circle_Path(k, 80, 44, 2.4);
      Circle_Path(k, 80, 56, 2.4);
    }, s.C(1), Darker(s.C(1), 0.5), 0.6);
    // Round notches in both ends, outlined where they cut into the ticket.
    cairo_save(cr);
    cairo_new_path(cr);
    ticket(cr);
    cairo_clip(cr);
    cairo_new_path(cr);
    Circle_Path(cr, 4, 50, 8);
    Circle_Path(cr, 96, 50, 8);
    cairo_set_line_width(cr, kLine * 2);
    Set_Rgb(cr, Darker(s.C(0), 0.6));
    cairo_stroke(cr);
    cairo_restore(cr);
    Punch(cr, [](cairo_t* k) {
      Circle_Path(k, 4, 50, 8 - kLine);
      Circle_Path(k, 96, 50, 8 - kLine);
    });
  });
}

void Draw_Glasses(cairo_t* cr, const a_stamp& s) {
  const a_rgb frame = s.C(0);
  Tube(cr, [](cairo_t* k) {
    cairo_move_to(k, 8, 40);
    cairo_line_to(k, 2, 30);
    cairo_move_to(k, 92, 40);
    cairo_line_to(k, 98, 30);
  }, frame, 4, kLine * 0.6);
  Solid(cr, [](cairo_t* k) {
    Round_Rect_Path(k, 4, 36, 92, 34, 8);
  }, frame, kLine, 0.2);
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 10, 42, 34, 22, 6); }, s.C(1), kLine * 0.5, 0.45);
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 56, 42, 34, 22, 6); }, s.C(2), kLine * 0.5, 0.45);
  Flat(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_arc_negative(k, 50, 72, 7, 0, kPi);
    cairo_close_path(k);
  }, White(), Darker(frame, 0.6), 0);
}

// ----- Nature --------------------------------------------------------------
void Butterfly_Wing(cairo_t* k, bool upper, double m) {
  auto X = [m](double x) { return 50 + m * (x - 50); };
  cairo_new_sub_path(k);
  if (upper) {
    cairo_move_to(k, X(48), 46);
    cairo_curve_to(k, X(38), 22, X(16), 6, X(6), 14);
    cairo_curve_to(k, X(0), 22, X(6), 44, X(20), 52);
    cairo_curve_to(k, X(30), 56, X(42), 54, X(48), 50);
  } else {
    cairo_move_to(k, X(48), 52);
    cairo_curve_to(k, X(36), 54, X(16), 60, X(16), 76);
    cairo_curve_to(k, X(16), 92, X(34), 94, X(42), 80);
    cairo_curve_to(k, X(46), 72, X(48), 62, X(48), 54);
  }
  cairo_close_path(k);
}

void Draw_Butterfly(cairo_t* cr, const a_stamp& s) {
  const a_rgb wing = s.C(0), edge = s.C(1), spot = s.C(2);
  for (int side = 0; side < 2; ++side) {
    const double m = side == 0 ? 1 : -1;
    for (int up = 0; up < 2; ++up) {
      auto path = [up, m](cairo_t* k) { Butterfly_Wing(k, up == 0, m); };
      Solid(cr, path, up == 0 ? wing : Darker(wing, 0.1), kLine, 0);
      cairo_save(cr);
      cairo_new_path(cr);
      path(cr);
      cairo_clip(cr);
      cairo_new_path(cr);
      path(cr);
      cairo_set_line_width(cr, 11);
      Set_Rgb(cr, edge);
      cairo_stroke(cr);
      // Veins.
      cairo_set_line_width(cr, 1.3);
      for (int v = 0; v < 3; ++v) {
        cairo_new_path(cr);
        cairo_move_to(cr, 50 + m * -2, up == 0 ? 48 : 54);
        if (up == 0) cairo_line_to(cr, 50 + m * (-36 + v * 9), 14 + v * 14);
        else cairo_line_to(cr, 50 + m * (-30 + v * 8), 84 - v * 10);
        cairo_stroke(cr);
      }
      cairo_restore(cr);
      for (int d = 0; d < 3; ++d) {
        const double x = up == 0 ? 50 + m * (-40 + d * 7) : 50 + m * (-29 + d * 6);
        const double y = up == 0 ? 16 + d * 12 : 82 - d * 5;
        Flat(cr, [x, y](cairo_t* k) { Circle_Path(k, x, y, 2.2); }, spot, spot, 0);
      }
      Stroke(cr, path, Darker(edge, 0.4), kLine);
    }
  }
  Tube(cr, [](cairo_t* k) {
    cairo_move_to(k, 49, 24);
    cairo_curve_to(k, 46, 14, 40, 8, 34, 8);
    cairo_move_to(k, 51, 24);
    cairo_curve_to(k, 54, 14, 60, 8, 66, 8);
  }, Hex("#2b2238"), 1.4, 0);
  Solid(cr, [](cairo_t* k) {
    Ellipse_Path(k, 50, 54, 4.5, 24);
    Circle_Path(k, 50, 28, 5);
  }, Hex("#3b2f4a"), kLine * 0.6, 0.3);
}

void Draw_Ladybug(cairo_t* cr, const a_stamp& s) {
  Tube(cr, [](cairo_t* k) {
    for (int i = 0; i < 3; ++i) {
      cairo_move_to(k, 22, 44 + i * 16);
      cairo_line_to(k, 8, 40 + i * 18);
      cairo_move_to(k, 78, 44 + i * 16);
      cairo_line_to(k, 92, 40 + i * 18);
    }
    cairo_move_to(k, 44, 16);
    cairo_curve_to(k, 42, 8, 36, 6, 32, 6);
    cairo_move_to(k, 56, 16);
    cairo_curve_to(k, 58, 8, 64, 6, 68, 6);
  }, Ink(), 2.2, 0);
  Solid(cr, [](cairo_t* k) { Ellipse_Path(k, 50, 24, 15, 11); }, Ink(), kLine * 0.6, 0.3);
  auto body = [](cairo_t* k) { Ellipse_Path(k, 50, 58, 36, 36); };
  Solid(cr, body, s.C(0), kLine, 0);
  cairo_save(cr);
  cairo_new_path(cr);
  body(cr);
  cairo_clip(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, 50, 20);
  cairo_line_to(cr, 50, 96);
  cairo_set_line_width(cr, 2.4);
  Set_Rgb(cr, Ink());
  cairo_stroke(cr);
  for (const auto& [x, y, r] : std::vector<std::array<double, 3>>{
           {36, 42, 7}, {64, 42, 7}, {30, 64, 7.5}, {70, 64, 7.5}, {40, 82, 6}, {60, 82, 6}}) {
    cairo_new_path(cr);
    Circle_Path(cr, x, y, r);
    Set_Rgb(cr, Ink());
    cairo_fill(cr);
  }
  cairo_restore(cr);
  Gloss(cr, body, 0.45, 14, 22, 86, 94);
  Flat(cr, [](cairo_t* k) {
    Circle_Path(k, 44, 21, 2.6);
    Circle_Path(k, 56, 21, 2.6);
  }, White(), White(), 0);
}

void Draw_Bee(cairo_t* cr, const a_stamp& s) {
  const a_rgb wing = Hex("#dff3ff");
  Solid_Outlined(cr, [](cairo_t* k) { Ellipse_Path(k, 40, 26, 13, 20, -25); }, wing, Hex("#6c8fb0"), kLine * 0.8, 0.4);
  Solid_Outlined(cr, [](cairo_t* k) { Ellipse_Path(k, 60, 24, 12, 18, 22); }, wing, Hex("#6c8fb0"), kLine * 0.8, 0.4);
  Solid(cr, [](cairo_t* k) { Polygon_Path(k, {{12, 60}, {2, 64}, {12, 68}}, 0.5); }, Ink(), kLine * 0.5, 0);
  auto body = [](cairo_t* k) { Ellipse_Path(k, 48, 62, 36, 26); };
  Solid(cr, body, s.C(0), kLine, 0);
  cairo_save(cr);
  cairo_new_path(cr);
  body(cr);
  cairo_clip(cr);
  for (int i = 0; i < 3; ++i) {
    cairo_new_path(cr);
    cairo_rectangle(cr, 20 + i * 17, 30, 8, 70);
    Set_Rgb(cr, Ink());
    cairo_fill(cr);
  }
  cairo_restore(cr);
  Gloss(cr, body, 0.45, 12, 36, 84, 88);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 82, 56, 14); }, Ink(), kLine * 0.8, 0.3);
  Flat(cr, [](cairo_t* k) { Circle_Path(k, 86, 52, 3.2); }, White(), White(), 0);
  Tube(cr, [](cairo_t* k) {
    cairo_move_to(k, 84, 44);
    cairo_curve_to(k, 84, 34, 90, 30, 94, 30);
  }, Ink(), 1.6, 0);
}

void Draw_Sun(cairo_t* cr, const a_stamp& s) {
  for (int i = 0; i < 12; ++i) {
    const double a = i * kPi / 6, l = i % 2 == 0 ? 47 : 40;
    Solid(cr, [=](cairo_t* k) {
      Polygon_Path(k, {{50 + l * std::sin(a), 50 - l * std::cos(a)},
                       {50 + 28 * std::sin(a + 0.2), 50 - 28 * std::cos(a + 0.2)},
                       {50 + 28 * std::sin(a - 0.2), 50 - 28 * std::cos(a - 0.2)}}, 1.5);
    }, s.C(1), kLine * 0.8, 0);
  }
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 29); }, s.C(0), kLine, 0.45);
}

void Draw_Moon(cairo_t* cr, const a_stamp& s) {
  // The crescent: a disc less a disc set off to the upper right, from one
  // crossing of their rims to the other.
  const double ax = 44, ay = 54, ar = 40, bx = 62, by = 40, br = 34;
  const double d = std::hypot(bx - ax, by - ay), base = std::atan2(by - ay, bx - ax);
  const double ha = std::acos((ar * ar + d * d - br * br) / (2 * ar * d));
  const double hb = std::acos((br * br + d * d - ar * ar) / (2 * br * d));
  const double base_b = std::atan2(ay - by, ax - bx);
  Solid(cr, [=](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_arc(k, ax, ay, ar, base + ha, base - ha + 2 * kPi);
    cairo_arc_negative(k, bx, by, br, base_b + hb, base_b - hb);
    cairo_close_path(k);
  }, s.C(0), kLine, 0.3);
  Solid(cr, [](cairo_t* k) { Star_Path(k, 80, 58, 11, 5, 5, 8, 1); }, s.C(1), kLine * 0.7, 0.3);
  Solid(cr, [](cairo_t* k) { Star_Path(k, 68, 84, 7, 3.5, 5, -10, 0.8); }, s.C(1), kLine * 0.6, 0.3);
}

void Cloud_Path(cairo_t* k, double x, double y, double w) {
  const double u = w / 100;
  Circle_Path(k, x + 28 * u, y + 6 * u, 20 * u);
  Circle_Path(k, x + 54 * u, y - 6 * u, 26 * u);
  Circle_Path(k, x + 76 * u, y + 8 * u, 18 * u);
  Round_Rect_Path(k, x + 8 * u, y + 4 * u, 84 * u, 24 * u, 12 * u);
}

void Draw_Rainbow(cairo_t* cr, const a_stamp& s) {
  const size_t n = s.cols.size() - 1;
  const double outer = 46, band = 26.0 / n;
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_arc(cr, 50, 70, outer + kLine / 2, kPi, 2 * kPi);
  cairo_arc_negative(cr, 50, 70, outer - n * band - kLine / 2, 2 * kPi, kPi);
  cairo_close_path(cr);
  Set_Rgb(cr, Darker(s.C(0), 0.6));
  cairo_fill(cr);
  for (size_t i = 0; i < n; ++i) {
    cairo_new_path(cr);
    cairo_arc(cr, 50, 70, outer - i * band, kPi, 2 * kPi);
    cairo_arc_negative(cr, 50, 70, outer - (i + 1) * band, 2 * kPi, kPi);
    cairo_close_path(cr);
    Set_Rgb(cr, s.cols[i]);
    cairo_fill(cr);
  }
  cairo_restore(cr);
  const a_rgb cloud = s.cols.back();
  Solid_Outlined(cr, [](cairo_t* k) { Cloud_Path(k, -2, 70, 40); }, cloud, Hex("#7d93b2"), kLine * 0.8, 0.2);
  Solid_Outlined(cr, [](cairo_t* k) { Cloud_Path(k, 62, 70, 40); }, cloud, Hex("#7d93b2"), kLine * 0.8, 0.2);
}

void Drop_Path(cairo_t* k, double x, double y, double r) {
  cairo_new_sub_path(k);
  cairo_move_to(k, x, y - 2.2 * r);
  cairo_curve_to(k, x + 0.4 * r, y - 1.2 * r, x + r, y - 0.6 * r, x + r, y);
  cairo_arc(k, x, y, r, 0, kPi);
  cairo_curve_to(k, x - r, y - 0.6 * r, x - 0.4 * r, y - 1.2 * r, x, y - 2.2 * r);
  cairo_close_path(k);
}

void Draw_Rain_Cloud(cairo_t* cr, const a_stamp& s) {
  for (const auto& [x, y] : std::vector<std::pair<double, double>>{{30, 80}, {52, 88}, {72, 78}})
    Solid(cr, [x = x, y = y](cairo_t* k) { Drop_Path(k, x, y, 5.5); }, s.C(1), kLine * 0.7, 0.4);
  Solid_Outlined(cr, [](cairo_t* k) { Cloud_Path(k, 2, 40, 96); }, s.C(0), Darker(s.C(0), 0.55), kLine, 0.3);
}

void Draw_Maple(cairo_t* cr, const a_stamp& s) {
  const std::vector<std::pair<double, double>> right = {
      {50, 4},  {56, 18}, {64, 13}, {61, 32}, {74, 22}, {71, 31}, {90, 28},
      {83, 40}, {94, 44}, {77, 55}, {81, 62}, {62, 60}, {63, 72}, {52, 64}};
  std::vector<std::pair<double, double>> pts = right;
  for (size_t i = right.size() - 1; i >= 1; --i) pts.emplace_back(100 - right[i].first, right[i].second);
  Tube(cr, [](cairo_t* k) {
    cairo_move_to(k, 50, 60);
    cairo_curve_to(k, 50, 76, 52, 88, 58, 97);
  }, Darker(s.C(0), 0.2), 3, kLine * 0.6);
  Turned(cr, 50, 50, 0, [&] {
    auto leaf = [pts](cairo_t* k) { Polygon_Path(k, pts, 1.2); };
    Solid_Outlined(cr, leaf, s.C(0), Darker(s.C(1), 0.5), kLine, 0);
    cairo_save(cr);
    cairo_new_path(cr);
    leaf(cr);
    cairo_clip(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(20, 10, 80, 80);
    Add_Stop(g, 0, s.C(0), 0);
    Add_Stop(g, 1, s.C(1), 0.9);
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
    cairo_set_line_width(cr, 1.6);
    Set_Rgb(cr, Darker(s.C(1), 0.35));
    for (const auto& [x, y] : std::vector<std::pair<double, double>>{{50, 8}, {86, 32}, {14, 32}, {74, 58}, {26, 58}}) {
      cairo_new_path(cr);
      cairo_move_to(cr, 50, 62);
      cairo_line_to(cr, x + (50 - x) * 0.12, y + (62 - y) * 0.12);
      cairo_stroke(cr);
    }
    cairo_restore(cr);
  });
}

void Draw_Leaf(cairo_t* cr, const a_stamp& s) {
  Tube(cr, [](cairo_t* k) {
    cairo_move_to(k, 28, 74);
    cairo_line_to(k, 12, 92);
  }, Darker(s.C(0), 0.25), 3.2, kLine * 0.6);
  auto leaf = [](cairo_t* k) { Lens_Path(k, 26, 76, 92, 8, 46); };
  Solid(cr, leaf, s.C(0), kLine, 0.3);
  cairo_save(cr);
  cairo_new_path(cr);
  leaf(cr);
  cairo_clip(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 1.8);
  Set_Rgb(cr, s.C(1));
  cairo_new_path(cr);
  cairo_move_to(cr, 26, 76);
  cairo_curve_to(cr, 50, 50, 70, 30, 90, 10);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 1.3);
  for (int i = 1; i <= 5; ++i) {
    const double t = i / 6.5, x = 26 + 66 * t, y = 76 - 68 * t;
    cairo_new_path(cr);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x - 2 - 14 * (1 - t), y - 16 * (1 - t * 0.5));
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + 16 * (1 - t * 0.5), y + 2 + 12 * (1 - t));
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void Draw_Tree(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) { Polygon_Path(k, {{44, 96}, {46, 60}, {54, 60}, {56, 96}}, 1); }, s.C(1), kLine, 0.2);
  Solid(cr, [](cairo_t* k) {
    Circle_Path(k, 50, 28, 22);
    Circle_Path(k, 28, 46, 20);
    Circle_Path(k, 72, 46, 20);
    Circle_Path(k, 38, 64, 16);
    Circle_Path(k, 62, 64, 16);
    Circle_Path(k, 50, 50, 22);
  }, s.C(0), kLine, 0.3);
  for (const auto& [x, y] : std::vector<std::pair<double, double>>{{36, 36}, {64, 30}, {58, 56}, {30, 58}, {74, 52}})
    Solid(cr, [x = x, y = y](cairo_t* k) { Circle_Path(k, x, y, 4); }, s.C(2), kLine * 0.5, 0.5);
}

void Draw_Mushroom(cairo_t* cr, const a_stamp& s) {
  Solid_Outlined(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 38, 56);
    cairo_curve_to(k, 36, 74, 32, 90, 36, 94);
    cairo_line_to(k, 64, 94);
    cairo_curve_to(k, 68, 90, 64, 74, 62, 56);
    cairo_close_path(k);
  }, Hex("#f8ecd6"), Hex("#9d7d57"), kLine, 0.2);
  auto cap = [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 6, 58);
    cairo_curve_to(k, 6, 22, 28, 8, 50, 8);
    cairo_curve_to(k, 72, 8, 94, 22, 94, 58);
    cairo_curve_to(k, 70, 66, 30, 66, 6, 58);
    cairo_close_path(k);
  };
  Solid(cr, cap, s.C(0), kLine, 0);
  cairo_save(cr);
  cairo_new_path(cr);
  cap(cr);
  cairo_clip(cr);
  for (const auto& [x, y, r] : std::vector<std::array<double, 3>>{
           {30, 26, 7}, {56, 20, 6}, {74, 36, 7}, {44, 42, 6}, {18, 46, 4.5}, {84, 52, 4}, {64, 52, 4}}) {
    cairo_new_path(cr);
    Ellipse_Path(cr, x, y, r, r * 0.8);
    Set_Rgb(cr, Hex("#fff8ee"));
    cairo_fill(cr);
  }
  cairo_restore(cr);
  Gloss(cr, cap, 0.4, 6, 8, 94, 64);
}

void Draw_Apple(cairo_t* cr, const a_stamp& s) {
  Tube(cr, [](cairo_t* k) {
    cairo_move_to(k, 50, 30);
    cairo_curve_to(k, 50, 20, 52, 12, 56, 6);
  }, Hex("#7a4a24"), 3.2, kLine * 0.6);
  Leaf(cr, 55, 13, 84, 4, 13, s.C(1), kLine * 0.7);
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 50, 30);
    cairo_curve_to(k, 66, 18, 94, 26, 92, 56);
    cairo_curve_to(k, 90, 84, 70, 98, 58, 94);
    cairo_curve_to(k, 54, 92, 46, 92, 42, 94);
    cairo_curve_to(k, 30, 98, 10, 84, 8, 56);
    cairo_curve_to(k, 6, 26, 34, 18, 50, 30);
    cairo_close_path(k);
  }, s.C(0), kLine, 0.45);
}

void Draw_Strawberry(cairo_t* cr, const a_stamp& s) {
  auto berry = [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 50, 96);
    cairo_curve_to(k, 30, 90, 8, 60, 10, 38);
    cairo_curve_to(k, 12, 22, 36, 20, 50, 24);
    cairo_curve_to(k, 64, 20, 88, 22, 90, 38);
    cairo_curve_to(k, 92, 60, 70, 90, 50, 96);
    cairo_close_path(k);
  };
  Solid(cr, berry, s.C(0), kLine, 0.35);
  for (int row = 0; row < 6; ++row) {
    for (int i = 0; i < 6 - row / 2; ++i) {
      const double y = 34 + row * 10, span = 66 - row * 9.0;
      const double x = 50 - span / 2 + (i + 0.5 + (row % 2) * 0.35) * span / (6 - row / 2);
      if (std::fabs(x - 50) > span / 2) continue;
      Flat(cr, [x, y](cairo_t* k) { Ellipse_Path(k, x, y, 1.4, 2.4, 0); }, s.C(2), Darker(s.C(2), 0.4), 0.4);
    }
  }
  Solid(cr, [](cairo_t* k) { Star_Path(k, 50, 22, 24, 8, 5, 180, 2); }, s.C(1), kLine * 0.8, 0.2);
  Tube(cr, [](cairo_t* k) {
    cairo_move_to(k, 50, 18);
    cairo_curve_to(k, 50, 10, 54, 6, 58, 4);
  }, Darker(s.C(1), 0.1), 3, kLine * 0.5);
}

void Draw_Cherries(cairo_t* cr, const a_stamp& s) {
  Tube(cr, [](cairo_t* k) {
    cairo_move_to(k, 32, 64);
    cairo_curve_to(k, 36, 40, 48, 20, 58, 10);
    cairo_move_to(k, 68, 70);
    cairo_curve_to(k, 66, 46, 62, 26, 58, 10);
  }, Hex("#6a8d2e"), 2.4, kLine * 0.6);
  Leaf(cr, 58, 10, 90, 18, 14, s.C(1), kLine * 0.7);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 30, 74, 19); }, s.C(0), kLine, 0.45);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 68, 78, 19); }, Darker(s.C(0), 0.08), kLine, 0.45);
}

// ----- Party ---------------------------------------------------------------
void Balloon(cairo_t* cr, double x, double y, double r, const a_rgb& c) {
  Solid(cr, [=](cairo_t* k) { Polygon_Path(k, {{x, y + r * 1.1}, {x + r * 0.16, y + r * 1.3}, {x - r * 0.16, y + r * 1.3}}, 0.5); },
        c, kLine * 0.6, 0);
  Solid(cr, [=](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, x, y + r * 1.15);
    cairo_curve_to(k, x - r * 0.6, y + r * 1.0, x - r, y + r * 0.45, x - r, y - r * 0.1);
    cairo_curve_to(k, x - r, y - r * 0.75, x - r * 0.55, y - r * 1.15, x, y - r * 1.15);
    cairo_curve_to(k, x + r * 0.55, y - r * 1.15, x + r, y - r * 0.75, x + r, y - r * 0.1);
    cairo_curve_to(k, x + r, y + r * 0.45, x + r * 0.6, y + r * 1.0, x, y + r * 1.15);
    cairo_close_path(k);
  }, c, kLine, 0);
  cairo_save(cr);
  cairo_new_path(cr);
  Ellipse_Path(cr, x - r * 0.4, y - r * 0.45, r * 0.16, r * 0.3, 30);
  Set_Rgb(cr, a_rgb{1, 1, 1}, 0.75);
  cairo_fill(cr);
  cairo_restore(cr);
}

void Draw_Balloon(cairo_t* cr, const a_stamp& s) {
  Balloon_String(cr, 50, 74, 24, 6);
  Balloon(cr, 50, 38, 32, s.C(0));
}

void Draw_Balloons(cairo_t* cr, const a_stamp& s) {
  cairo_save(cr);
  cairo_set_line_width(cr, 1.4);
  Set_Rgb(cr, Hex("#4a4a58"));
  for (const auto& [x, y] : std::vector<std::pair<double, double>>{{26, 50}, {50, 44}, {74, 52}}) {
    cairo_new_path(cr);
    cairo_move_to(cr, x, y);
    cairo_curve_to(cr, x, y + 16, 50, 70, 50, 84);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  Balloon(cr, 26, 30, 20, s.C(0));
  Balloon(cr, 74, 32, 20, s.C(2));
  Balloon(cr, 50, 24, 21, s.C(1));
  Solid(cr, [](cairo_t* k) {
    Ellipse_Path(k, 42, 82, 8, 5, -20);
    Ellipse_Path(k, 58, 82, 8, 5, 20);
    Circle_Path(k, 50, 82, 4);
  }, s.C(3), kLine * 0.6, 0);
}

void Bow(cairo_t* cr, double x, double y, double w, const a_rgb& c) {
  const double u = w / 40;
  Solid(cr, [=](cairo_t* k) {
    Polygon_Path(k, {{x - 7 * u, y + 4 * u}, {x - 14 * u, y + 16 * u}, {x - 8 * u, y + 16 * u}, {x - 6 * u, y + 20 * u}, {x + 1 * u, y + 4 * u}}, 1);
    Polygon_Path(k, {{x + 7 * u, y + 4 * u}, {x + 14 * u, y + 16 * u}, {x + 8 * u, y + 16 * u}, {x + 6 * u, y + 20 * u}, {x - 1 * u, y + 4 * u}}, 1);
  }, Darker(c, 0.12), kLine * 0.7, 0);
  Solid(cr, [=](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, x, y);
    cairo_curve_to(k, x - 8 * u, y - 14 * u, x - 22 * u, y - 10 * u, x - 20 * u, y);
    cairo_curve_to(k, x - 18 * u, y + 8 * u, x - 6 * u, y + 6 * u, x, y);
    cairo_close_path(k);
    cairo_new_sub_path(k);
    cairo_move_to(k, x, y);
    cairo_curve_to(k, x + 8 * u, y - 14 * u, x + 22 * u, y - 10 * u, x + 20 * u, y);
    cairo_curve_to(k, x + 18 * u, y + 8 * u, x + 6 * u, y + 6 * u, x, y);
    cairo_close_path(k);
  }, c, kLine * 0.8, 0.3);
  Solid(cr, [=](cairo_t* k) { Ellipse_Path(k, x, y + 0.8 * u, 5.5 * u, 6.2 * u); }, Darker(c, 0.1), kLine * 0.7, 0.2);
}

void Draw_Gift(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) { cairo_rectangle(k, 14, 46, 72, 48); }, s.C(0), kLine, 0.15);
  Flat(cr, [](cairo_t* k) { cairo_rectangle(k, 44, 46, 12, 48); }, s.C(1), Darker(s.C(1), 0.5), 0.6);
  Solid(cr, [](cairo_t* k) { cairo_rectangle(k, 9, 34, 82, 14); }, Lighter(s.C(0), 0.08), kLine, 0.3);
  Flat(cr, [](cairo_t* k) { cairo_rectangle(k, 44, 34, 12, 14); }, s.C(1), Darker(s.C(1), 0.5), 0.6);
  Bow(cr, 50, 28, 52, s.C(1));
}

void Draw_Cake(cairo_t* cr, const a_stamp& s) {
  for (int i = 0; i < 3; ++i) {
    const double x = 36 + i * 14;
    Solid(cr, [x](cairo_t* k) { Round_Rect_Path(k, x - 2.5, 18, 5, 20, 1.5); }, s.C(2 + size_t(i % 2)), kLine * 0.6, 0.2);
    Solid(cr, [x](cairo_t* k) { Drop_Path(k, x, 12, 3.6); }, Hex("#ffb627"), kLine * 0.5, 0);
  }
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 10, 62, 80, 32, 4); }, s.C(0), kLine, 0.15);
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 22, 38, 56, 26, 4); }, s.C(0), kLine, 0.2);
  // Icing running down each tier.
  const a_rgb icing = s.C(1);
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 10, 66);
    for (int i = 0; i < 8; ++i) {
      const double x = 10 + i * 10;
      cairo_curve_to(k, x + 1, 76 + (i % 2) * 4, x + 9, 76 + (i % 2) * 4, x + 10, 66);
    }
    cairo_line_to(k, 90, 62);
    cairo_line_to(k, 10, 62);
    cairo_close_path(k);
    cairo_new_sub_path(k);
    cairo_move_to(k, 22, 42);
    for (int i = 0; i < 7; ++i) {
      const double x = 22 + i * 8;
      cairo_curve_to(k, x + 1, 50 + (i % 2) * 3, x + 7, 50 + (i % 2) * 3, x + 8, 42);
    }
    cairo_line_to(k, 78, 38);
    cairo_line_to(k, 22, 38);
    cairo_close_path(k);
  }, icing, kLine * 0.8, 0.25);
  for (int i = 0; i < 5; ++i)
    Flat(cr, [i](cairo_t* k) { Circle_Path(k, 20 + i * 15, 86, 2.6); }, s.C(2), Darker(s.C(2), 0.4), 0.5);
}

void Draw_Cupcake(cairo_t* cr, const a_stamp& s) {
  a_rng rng(s.seed);
  auto wrap = [](cairo_t* k) { Polygon_Path(k, {{18, 56}, {82, 56}, {72, 96}, {28, 96}}, 2); };
  Solid(cr, wrap, s.C(1), kLine, 0.2);
  cairo_save(cr);
  cairo_new_path(cr);
  wrap(cr);
  cairo_clip(cr);
  cairo_set_line_width(cr, 1.6);
  Set_Rgb(cr, Darker(s.C(1), 0.3));
  for (int i = 1; i < 7; ++i) {
    cairo_new_path(cr);
    cairo_move_to(cr, 18 + i * 64 / 7.0, 56);
    cairo_line_to(cr, 28 + i * 44 / 7.0, 96);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  auto swirl = [](cairo_t* k) {
    Ellipse_Path(k, 50, 54, 38, 10);
    Ellipse_Path(k, 50, 44, 31, 10);
    Ellipse_Path(k, 50, 34, 23, 9);
    Ellipse_Path(k, 50, 25, 14, 8);
  };
  Solid(cr, swirl, s.C(0), kLine, 0.35);
  cairo_save(cr);
  cairo_new_path(cr);
  swirl(cr);
  cairo_clip(cr);
  for (int i = 0; i < 14; ++i) {
    const double x = rng.Range(20, 80), y = rng.Range(28, 58), a = rng.Range(0, kPi);
    cairo_new_path(cr);
    cairo_move_to(cr, x - 2.5 * std::cos(a), y - 2.5 * std::sin(a));
    cairo_line_to(cr, x + 2.5 * std::cos(a), y + 2.5 * std::sin(a));
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    Set_Rgb(cr, s.C(3 + size_t(i % 3)));
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 13, 8); }, s.C(2), kLine * 0.8, 0.55);
}

void Draw_Party_Hat(cairo_t* cr, const a_stamp& s) {
  auto cone = [](cairo_t* k) { Polygon_Path(k, {{50, 12}, {80, 88}, {20, 88}}, 3); };
  Solid(cr, cone, s.C(0), kLine, 0.1);
  cairo_save(cr);
  cairo_new_path(cr);
  cone(cr);
  cairo_clip(cr);
  for (int i = 0; i < 4; ++i) {
    cairo_new_path(cr);
    const double y = 28 + i * 18;
    Polygon_Path(cr, {{0, y}, {100, y - 16}, {100, y - 8}, {0, y + 8}});
    Set_Rgb(cr, s.C(1));
    cairo_fill(cr);
  }
  for (int i = 0; i < 6; ++i) {
    cairo_new_path(cr);
    Circle_Path(cr, 36 + (i % 3) * 12, 44 + (i / 3) * 26 + (i % 2) * 4, 2.4);
    Set_Rgb(cr, s.C(2));
    cairo_fill(cr);
  }
  cairo_restore(cr);
  Stroke(cr, cone, Darker(s.C(0), 0.6), kLine);
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 16, 84, 68, 10, 5); }, s.C(2), kLine, 0.3);
  Solid(cr, [](cairo_t* k) {
    for (int i = 0; i < 8; ++i) {
      const double a = i * kPi / 4;
      Circle_Path(k, 50 + 5 * std::cos(a), 11 + 5 * std::sin(a), 4.5);
    }
  }, s.C(2), kLine * 0.8, 0.3);
}

void Draw_Bow(cairo_t* cr, const a_stamp& s) { Bow(cr, 50, 40, 88, s.C(0)); }

void Draw_Crown(cairo_t* cr, const a_stamp& s) {
  auto crown = [](cairo_t* k) {
    Polygon_Path(k, {{10, 78}, {6, 26}, {30, 50}, {50, 18}, {70, 50}, {94, 26}, {90, 78}}, 2);
  };
  Solid(cr, crown, s.C(0), kLine, 0.35);
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 8, 74, 84, 14, 3); }, Darker(s.C(0), 0.08), kLine, 0.3);
  for (const auto& [x, y] : std::vector<std::pair<double, double>>{{6, 24}, {50, 15}, {94, 24}})
    Solid(cr, [x = x, y = y](cairo_t* k) { Circle_Path(k, x, y, 5); }, s.C(0), kLine * 0.7, 0.4);
  const struct {
    double x;
    size_t c;
  } gems[] = {{26, 1}, {50, 2}, {74, 1}};
  for (const auto& g : gems)
    Solid(cr, [&](cairo_t* k) { Ellipse_Path(k, g.x, 81, g.c == 2 ? 6 : 4.5, 4.5); }, s.C(g.c), kLine * 0.6, 0.5);
  Solid(cr, [](cairo_t* k) { Star_Path(k, 50, 56, 8, 4, 4, 0, 0.5); }, s.C(2), kLine * 0.6, 0.4);
}

void Draw_Trophy(cairo_t* cr, const a_stamp& s) {
  Tube(cr, [](cairo_t* k) {
    cairo_arc(k, 20, 30, 11, kPi * 0.5, kPi * 1.5);
    cairo_move_to(k, 80, 19);
    cairo_arc(k, 80, 30, 11, -kPi * 0.5, kPi * 0.5);
  }, s.C(0), 4.5, kLine * 0.8);
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 20, 10);
    cairo_line_to(k, 80, 10);
    cairo_curve_to(k, 80, 40, 68, 56, 50, 58);
    cairo_curve_to(k, 32, 56, 20, 40, 20, 10);
    cairo_close_path(k);
  }, s.C(0), kLine, 0.45);
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_rectangle(k, 45, 56, 10, 14);
    Round_Rect_Path(k, 34, 68, 32, 6, 2);
  }, Darker(s.C(0), 0.1), kLine, 0.2);
  Solid(cr, [](cairo_t* k) { Round_Rect_Path(k, 24, 74, 52, 20, 3); }, s.C(1), kLine, 0.2);
  Flat(cr, [](cairo_t* k) { Round_Rect_Path(k, 34, 79, 32, 10, 2); }, Lighter(s.C(0), 0.3), Darker(s.C(0), 0.5), 0.6);
  Solid(cr, [](cairo_t* k) { Star_Path(k, 50, 31, 12, 6, 5, 0, 1); }, Lighter(s.C(0), 0.35), kLine * 0.6, 0);
}

void Draw_Rosette(cairo_t* cr, const a_stamp& s) {
  for (int side = 0; side < 2; ++side) {
    const double m = side == 0 ? -1 : 1;
    Solid(cr, [m](cairo_t* k) {
      Polygon_Path(k, {{50 + m * 4, 54}, {50 + m * 22, 94}, {50 + m * 16, 88}, {50 + m * 9, 97}, {50 - m * 6, 58}}, 1);
    }, side == 0 ? s.C(0) : Darker(s.C(0), 0.1), kLine * 0.8, 0.15);
  }
  Solid(cr, [](cairo_t* k) { Star_Path(k, 50, 40, 37, 32, 18, 0, 2.5); }, s.C(0), kLine, 0.25);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 40, 26); }, s.C(1), kLine * 0.8, 0.4);
  Faceted_Star(cr, 50, 42, 18, 5, s.C(2), kLine * 0.6);
}

// ----- Signs ---------------------------------------------------------------
void Draw_Check(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 46); }, s.C(0), kLine, 0.4);
  Tube(cr, [](cairo_t* k) {
    cairo_move_to(k, 28, 52);
    cairo_line_to(k, 44, 68);
    cairo_line_to(k, 74, 32);
  }, White(), 11, kLine * 0.6);
}

void Draw_Bolt(cairo_t* cr, const a_stamp& s) {
  Solid_Outlined(cr, [](cairo_t* k) {
    Polygon_Path(k, {{58, 4}, {20, 56}, {46, 56}, {36, 96}, {82, 38}, {56, 38}, {70, 4}}, 1.5);
  }, s.C(0), s.C(1), kLine, 0.4);
}

void Draw_Bubble(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) {
    Round_Rect_Path(k, 6, 12, 88, 60, 22);
    Polygon_Path(k, {{24, 62}, {18, 92}, {48, 66}}, 1.5);
  }, s.C(0), kLine, 0.35);
  for (int i = 0; i < 3; ++i)
    Solid(cr, [i](cairo_t* k) { Circle_Path(k, 32 + i * 18, 42, 6); }, s.C(1), kLine * 0.5, 0.3);
}

void Draw_Smiley(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 50, 46); }, s.C(0), kLine, 0.4);
  Flat(cr, [](cairo_t* k) {
    Ellipse_Path(k, 36, 40, 5, 8);
    Ellipse_Path(k, 64, 40, 5, 8);
  }, Ink(), Ink(), 0);
  Flat(cr, [](cairo_t* k) {
    Ellipse_Path(k, 24, 60, 7, 4.5);
    Ellipse_Path(k, 76, 60, 7, 4.5);
  }, s.C(1), s.C(1), 0);
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_arc(cr, 50, 52, 24, 0.18 * kPi, 0.82 * kPi);
  cairo_set_line_width(cr, 4.5);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  Set_Rgb(cr, Ink());
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Draw_Pin(cairo_t* cr, const a_stamp& s) {
  Flat(cr, [](cairo_t* k) { Ellipse_Path(k, 50, 92, 16, 4.5); }, Hex("#8a8a99"), Hex("#8a8a99"), 0);
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 50, 92);
    cairo_curve_to(k, 40, 74, 16, 58, 16, 38);
    cairo_arc(k, 50, 38, 34, kPi, 2 * kPi);
    cairo_curve_to(k, 84, 58, 60, 74, 50, 92);
    cairo_close_path(k);
  }, s.C(0), kLine, 0.45);
  Solid(cr, [](cairo_t* k) { Circle_Path(k, 50, 38, 13); }, White(), kLine * 0.7, 0);
}

void Draw_Gem(cairo_t* cr, const a_stamp& s) {
  const a_rgb c = s.C(0);
  const std::vector<std::pair<double, double>> outline = {{26, 18}, {74, 18}, {94, 40}, {50, 92}, {6, 40}};
  Solid(cr, [&](cairo_t* k) { Polygon_Path(k, outline, 1); }, c, kLine, 0);
  const struct {
    std::vector<std::pair<double, double>> pts;
    double light;
  } facets[] = {
      {{{26, 18}, {40, 18}, {32, 40}, {6, 40}}, 0.9},   {{{40, 18}, {60, 18}, {68, 40}, {32, 40}}, 1.0},
      {{{60, 18}, {74, 18}, {94, 40}, {68, 40}}, 0.55}, {{{6, 40}, {32, 40}, {50, 92}}, 0.6},
      {{{32, 40}, {68, 40}, {50, 92}}, 0.8},            {{{68, 40}, {94, 40}, {50, 92}}, 0.3},
  };
  for (const auto& f : facets) {
    cairo_new_path(cr);
    Polygon_Path(cr, f.pts);
    Set_Rgb(cr, Mix_Lab(Darker(c, 0.35), Lighter(c, 0.55), f.light));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    Set_Rgb(cr, Darker(c, 0.3));
    cairo_stroke(cr);
  }
  Stroke(cr, [&](cairo_t* k) { Polygon_Path(k, outline, 1); }, Darker(c, 0.6), kLine);
  Twinkle(cr, 78, 14, 10, White());
}

void Draw_Paw(cairo_t* cr, const a_stamp& s) {
  Solid(cr, [](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 50, 50);
    cairo_curve_to(k, 66, 50, 82, 68, 78, 82);
    cairo_curve_to(k, 74, 94, 60, 88, 50, 88);
    cairo_curve_to(k, 40, 88, 26, 94, 22, 82);
    cairo_curve_to(k, 18, 68, 34, 50, 50, 50);
    cairo_close_path(k);
  }, s.C(0), kLine, 0.35);
  const struct {
    double x, y, turn;
  } toes[] = {{16, 44, -30}, {36, 22, -10}, {64, 22, 10}, {84, 44, 30}};
  for (const auto& t : toes) Solid(cr, [&](cairo_t* k) { Ellipse_Path(k, t.x, t.y, 10, 13, t.turn); }, s.C(0), kLine, 0.35);
}

void Draw_Tag(cairo_t* cr, const a_stamp& s) {
  Turned(cr, 50, 50, 35, [&] {
    Solid(cr, [](cairo_t* k) { Polygon_Path(k, {{50, 4}, {68, 26}, {68, 94}, {32, 94}, {32, 26}}, 3); }, s.C(0), kLine, 0.3);
    Flat(cr, [](cairo_t* k) { Circle_Path(k, 50, 22, 6); }, Darker(s.C(0), 0.6), Darker(s.C(0), 0.6), 0);
    Punch(cr, [](cairo_t* k) { Circle_Path(k, 50, 22, 4.6); });
    Solid(cr, [](cairo_t* k) { Star_Path(k, 50, 60, 13, 6.5, 5, 0, 1); }, s.C(1), kLine * 0.6, 0.3);
  });
  // The string runs from the hole (turned with the tag) to the corner.
  const double a = 35 * kPi / 180, hx = 50 + 28 * std::sin(a), hy = 50 - 28 * std::cos(a);
  Tube(cr, [=](cairo_t* k) {
    cairo_move_to(k, hx - 2, hy + 3);
    cairo_curve_to(k, hx - 12, hy - 4, 30, 18, 6, 6);
  }, Hex("#b58a52"), 2, kLine * 0.4);
}

// ---------------------------------------------------------------------------
// The styles and the table
// ---------------------------------------------------------------------------
struct a_stamp_style {
  const char* name;
  a_stamp_draw draw;
  std::vector<const char*> colours;  // the defaults; a row may give as many
  int n_lo = 0, n_hi = 0, n_def = 0;  // n_lo = 0: the style takes no n
};

const std::vector<a_stamp_style>& Styles() {
  static const std::vector<a_stamp_style> styles = {
      {"star", Draw_Star, {"#ffc62e"}, 4, 12, 5},
      {"star-facet", Draw_Star_Facet, {"#ffc62e"}, 4, 12, 5},
      {"sparkle", Draw_Sparkle, {"#ffd23f", "#7fd6ff", "#ff8fc7"}},
      {"shooting-star", Draw_Shooting_Star, {"#ffc62e", "#ff5d8f", "#ffd166", "#4cc9f0"}},
      {"stars3", Draw_Stars3, {"#ffc62e", "#4cc9f0", "#ff5d8f"}},
      {"starburst", Draw_Starburst, {"#e63946", "#ffc62e", "#fff1d6"}, 12, 32, 20},
      {"star-badge", Draw_Star_Badge, {"#2f6fde", "#ffc62e"}},
      {"heart", Draw_Heart, {"#e5383b"}},
      {"hearts2", Draw_Hearts2, {"#e5383b", "#ff8fab"}},
      {"heart-wings", Draw_Heart_Wings, {"#e5383b"}},
      {"heart-arrow", Draw_Heart_Arrow, {"#e5383b", "#ffb703"}},
      {"heart-stitch", Draw_Heart_Stitch, {"#d62839", "#fff1dc"}},
      {"heart-gem", Draw_Heart_Gem, {"#ff4d8d"}},
      {"heart-balloon", Draw_Heart_Balloon, {"#ff4d6d"}},
      {"daisy", Draw_Daisy, {"#fffaf0", "#ffc21a"}, 8, 24, 14},
      {"sunflower", Draw_Sunflower, {"#ffc21a", "#6b3e1f"}, 10, 28, 18},
      {"tulip", Draw_Tulip, {"#ef476f", "#43a047"}},
      {"rose", Draw_Rose, {"#d7263d", "#3f9142"}},
      {"blossom", Draw_Blossom, {"#ffb3c7", "#d6336c"}},
      {"flower5", Draw_Flower5, {"#9b5de5", "#ffd23f"}},
      {"bouquet", Draw_Bouquet, {"#4ea8de", "#7b9cff", "#4caf50", "#ffd23f"}},
      {"clover", Draw_Clover, {"#3cae4b"}},
      {"poppy", Draw_Poppy, {"#e63228", "#2b2238", "#56315f"}},
      {"note", Draw_Note, {"#7b2cbf"}, 0, 1, 1},
      {"notes2", Draw_Notes2, {"#1982c4"}},
      {"clef", Draw_Clef, {"#ffc62e", "#8338ec"}},
      {"headphones", Draw_Headphones, {"#ff595e", "#3d405b"}},
      {"microphone", Draw_Microphone, {"#c9d1dc", "#2e2e3a", "#e4b73f"}},
      {"guitar", Draw_Guitar, {"#e07a2f", "#5b3a1e", "#7b4b2a"}},
      {"drum", Draw_Drum, {"#d62839", "#f1c453"}},
      {"snowflake", Draw_Snowflake, {"#4ea8de"}, 1, 3, 1},
      {"snowman", Draw_Snowman, {"#e63946", "#e63946"}},
      {"xmas-tree", Draw_Xmas_Tree, {"#2d9c4a", "#ffd23f", "#e63946", "#4cc9f0", "#ffb703"}},
      {"bauble", Draw_Bauble, {"#d62839", "#ffd166"}},
      {"candy-cane", Draw_Candy_Cane, {"#e63946"}},
      {"holly", Draw_Holly, {"#2f8f46", "#e5383b"}},
      {"cd", Draw_Cd, {"#d7dee8", "#ff9ec7", "#ffe08a", "#9ef0c0", "#8ed1ff", "#c7a8ff"}},
      {"vinyl", Draw_Vinyl, {"#ef476f", "#ffd166"}},
      {"cassette", Draw_Cassette, {"#3d4a5c", "#fff1d6", "#ff7b54"}},
      {"sleeve", Draw_Sleeve, {"#2a9d8f", "#e9c46a", "#e76f51"}},
      {"reel", Draw_Reel, {"#d62839"}},
      {"clapper", Draw_Clapper, {"#2b2b33", "#e63946"}},
      {"film-strip", Draw_Film_Strip, {"#8ecae6", "#ffb4a2", "#b5e48c", "#2a9d8f"}},
      {"camera", Draw_Camera, {"#3d5a80", "#98a6b8", "#ee6c4d"}},
      {"popcorn", Draw_Popcorn, {"#e63946", "#fdf6f0"}, 0, 0, 0},
      {"ticket", Draw_Ticket, {"#ffb703", "#e63946"}},
      {"glasses", Draw_Glasses, {"#f3f3f6", "#ef233c", "#3ad1e8"}},
      {"butterfly", Draw_Butterfly, {"#3a86ff", "#1b263b", "#fdfdff"}},
      {"ladybug", Draw_Ladybug, {"#e5383b"}},
      {"bee", Draw_Bee, {"#ffc62e"}},
      {"sun", Draw_Sun, {"#ffd23f", "#ff9f1c"}},
      {"moon", Draw_Moon, {"#ffe066", "#ffc62e"}},
      {"rainbow", Draw_Rainbow, {"#e63946", "#ff9f1c", "#ffd23f", "#52b788", "#4895ef", "#7b2cbf", "#f6f9ff"}},
      {"rain-cloud", Draw_Rain_Cloud, {"#dbe7f5", "#4895ef"}},
      {"maple", Draw_Maple, {"#f4a259", "#c8102e"}},
      {"leaf", Draw_Leaf, {"#52b788", "#2d6a4f"}},
      {"tree", Draw_Tree, {"#52a447", "#8a5a33", "#e63946"}},
      {"mushroom", Draw_Mushroom, {"#e5383b"}},
      {"apple", Draw_Apple, {"#e5383b", "#52a447"}},
      {"strawberry", Draw_Strawberry, {"#e5383b", "#3cae4b", "#ffe066"}},
      {"cherries", Draw_Cherries, {"#c1121f", "#52a447"}},
      {"balloon", Draw_Balloon, {"#e5383b"}},
      {"balloons", Draw_Balloons, {"#e5383b", "#ffc62e", "#3a86ff", "#ff70a6"}},
      {"gift", Draw_Gift, {"#3a86ff", "#ffc62e"}},
      {"cake", Draw_Cake, {"#f7c59f", "#ff8fab", "#4cc9f0", "#ffd23f"}},
      {"cupcake", Draw_Cupcake, {"#ff8fab", "#4cc9f0", "#e5383b", "#ffd23f", "#52b788", "#7b2cbf"}},
      {"party-hat", Draw_Party_Hat, {"#8338ec", "#ff70a6", "#ffd23f"}},
      {"bow", Draw_Bow, {"#e5383b"}},
      {"crown", Draw_Crown, {"#ffc62e", "#e5383b", "#3a86ff"}},
      {"trophy", Draw_Trophy, {"#ffc62e", "#5b3a1e"}},
      {"rosette", Draw_Rosette, {"#2f6fde", "#fff1d6", "#ffc62e"}},
      {"check", Draw_Check, {"#2fbf71"}},
      {"bolt", Draw_Bolt, {"#ffd23f", "#c8553d"}},
      {"bubble", Draw_Bubble, {"#8ecae6", "#1d3557"}},
      {"smiley", Draw_Smiley, {"#ffd23f", "#ff8fab"}},
      {"pin", Draw_Pin, {"#e5383b"}},
      {"gem", Draw_Gem, {"#3ad1e8"}},
      {"paw", Draw_Paw, {"#a47148"}},
      {"tag", Draw_Tag, {"#ff9f1c", "#fff1d6"}},
  };
  return styles;
}

bool Parse_Size(const std::string& text, int32_t& w, int32_t& h) {
  int64_t a = 0, b = 0;
  const size_t x = text.find('x');
  if (x == std::string::npos) {
    if (!Parse_Int_Word(text, ART_STAMP_MIN_SIZE, ART_STAMP_MAX_SIZE, a)) return false;
    w = h = int32_t(a);
    return true;
  }
  if (!Parse_Int_Word(text.substr(0, x), ART_STAMP_MIN_SIZE, ART_STAMP_MAX_SIZE, a) ||
      !Parse_Int_Word(text.substr(x + 1), ART_STAMP_MIN_SIZE, ART_STAMP_MAX_SIZE, b))
    return false;
  w = int32_t(a);
  h = int32_t(b);
  return true;
}

bool Parse_Stamp(const a_table_row& r, a_stamp& s, a_stamp_draw& draw, std::string& err) {
  if (!Parse_Row_Key(r, ART_STAMP, s.key, s.style, s.name, err)) return false;
  const int64_t g = s.key.b, i = s.key.c;
  const a_stamp_style* st = nullptr;
  for (const a_stamp_style& one : Styles())
    if (s.style == one.name) st = &one;
  if (st == nullptr) {
    err = r.Where() + ": no stamp style " + s.style;
    return false;
  }
  draw = st->draw;
  for (const auto& [name, value] : r.options) {
    if (name != "size" && name != "colors" && name != "seed" && name != "n") {
      err = r.Where() + ": unknown option " + name;
      return false;
    }
  }
  if (!Parse_Size(r.Text("size", ""), s.w, s.h)) {
    err = r.Where() + ": size=N or size=WxH expected, each from " + std::to_string(ART_STAMP_MIN_SIZE) + " to " +
          std::to_string(ART_STAMP_MAX_SIZE);
    return false;
  }
  const double unit = std::min(s.w, s.h) / 100.0;
  s.bw = s.w / unit;
  s.bh = s.h / unit;
  if (!Parse_Colours(r, s.style, st->colours, s.cols, err)) return false;
  if (r.options.count("n") != 0 && st->n_lo == st->n_hi && st->n_lo == 0) {
    err = r.Where() + ": style " + s.style + " takes no n";
    return false;
  }
  int64_t n = 0;
  if (!r.Int("n", st->n_lo, st->n_hi, st->n_def, n, err)) return false;
  s.n = int(n);
  int64_t seed = 0;
  if (!r.Int("seed", 0, INT32_MAX, g * 1000 + i, seed, err)) return false;
  s.seed = Seed_Of("stamp:" + s.style, seed);
  return true;
}

// The style's drawing in the picture's own units: the box's short side is
// 100 units.
void Box_Transform(cairo_t* cr, const a_stamp& s) {
  const double unit = std::min(s.w, s.h) / 100.0;
  cairo_scale(cr, unit, unit);
  cairo_translate(cr, (s.bw - 100) / 2, (s.bh - 100) / 2);
}

// Draws the stamp twice: once on a larger surface to find where its ink
// lies, then fitted and centred so that two pixels of white stay all round.
a_art_image Draw_Stamp(const a_stamp& s, a_stamp_draw draw) {
  a_surface probe(2 * s.w, 2 * s.h);
  cairo_translate(probe.Cr(), s.w / 2.0, s.h / 2.0);
  Box_Transform(probe.Cr(), s);
  draw(probe.Cr(), s);
  probe.Flush();
  int32_t x0 = probe.W(), y0 = probe.H(), x1 = -1, y1 = -1;
  for (int32_t y = 0; y < probe.H(); ++y) {
    const uint32_t* row = probe.Row(y);
    for (int32_t x = 0; x < probe.W(); ++x) {
      if ((row[x] >> 24) < 128) continue;
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
  }
  a_surface surf(s.w, s.h);
  cairo_t* cr = surf.Cr();
  if (x1 >= x0) {
    const double margin = 2, iw = x1 - x0 + 1, ih = y1 - y0 + 1;
    const double k = std::min({1.0, (s.w - 2 * margin) / iw, (s.h - 2 * margin) / ih});
    cairo_translate(cr, s.w / 2.0, s.h / 2.0);
    cairo_scale(cr, k, k);
    cairo_translate(cr, -((x0 + x1 + 1) / 2.0 - s.w / 2.0), -((y0 + y1 + 1) / 2.0 - s.h / 2.0));
  }
  Box_Transform(cr, s);
  draw(cr, s);
  return Cut_On_White(surf);
}

}  // namespace

bool Stamp_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err) {
  std::vector<a_table_row> rows;
  if (!Read_Table(ctx, "stamps.txt", rows, err)) return false;
  std::map<int16_t, std::vector<std::pair<a_stamp, a_stamp_draw>>> groups;
  std::set<std::pair<int16_t, int16_t>> keys;
  for (const a_table_row& r : rows) {
    a_stamp s;
    a_stamp_draw draw = nullptr;
    if (!Parse_Stamp(r, s, draw, err)) return false;
    if (!keys.emplace(s.key.b, s.key.c).second) {
      err = r.Where() + ": the key " + Key_Name(s.key) + " is taken";
      return false;
    }
    groups[s.key.b].emplace_back(std::move(s), draw);
  }
  for (auto& [group, stamps] : groups) {
    jobs.push_back(a_art_job{"stamps, group " + std::to_string(group),
                             [stamps = stamps](std::vector<a_art_object>& out, std::string& e) {
                               for (const auto& [s, draw] : stamps) {
                                 a_art_object o;
                                 o.key = s.key;
                                 if (!Pixt_Encode32_RLE(Draw_Stamp(s, draw), 0, o.data, e)) return false;
                                 out.push_back(std::move(o));
                               }
                               return true;
                             }});
  }
  return true;
}
