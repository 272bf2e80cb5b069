// Borders (art/borders.txt): (9, GROUP, I, 0), one 32-bit picture per
// border holding its corner, side and sliver pieces, run-length packed.
//
//   GROUP I STYLE "NAME" class=1..4 thick=T side=L [repeat=K] [sliver=S]
//                        [layout=beside|below] [colors=#..,#..] [seed=N]
//
// The pieces are drawn for the top edge of a frame (the outer edge at the
// top), T pixels thick: the corner T x T for the top-left corner, the side L
// long, the sliver S long (none when 0). The border tool turns them for the
// other edges; corners by the class: 1 mirrors the corner, 2 turns it,
// 3 and 4 copy it unchanged.
//
// Every piece is cut from one strip that repeats every L / K pixels (a
// style's repeat), so sides follow sides and slivers seamlessly, and the
// corner carries the strip on round the turn: bent round a quarter circle,
// mitred, or an ornament over the strip's ground mitred (classes 1 and 2)
// or crossing straight through (classes 3 and 4, whose styles look the same
// from either edge of the strip, so that an unchanged copy of the corner
// fits every corner). A sliver one repeat long is a piece of the strip; a
// shorter one is the strip's plain ground, where the motifs leave a quiet
// gap at the ends of each repeat.
//
// The picture is laid out as the border reader walks it. The separator
// colour at (0, 0) runs along row 0 and column 0 and between the pieces;
// each piece's right edge is marked in row 1 and its bottom edge in
// column 1. With the side beside the corner:
//
//   S S S S S S S S S S S S S S W     S separator, W white, M magenta,
//   S corner  S side      S sl  S M   B black in row 1 + class (rows 2..5
//   S  T x T  S  L x T    S  S  S B   of the last column), the rest of
//   S         S           S     S .   that column white
//   S S S S S S S S S S S S S S .
//
// With the side below the corner (layout=below) the corner's right edge is
// the picture's last column, which the class markers need for themselves:
// such a border carries no markers and is read as class 2, and the reader
// finds no sliver there. The pieces never hold the separator colour, so no
// walk stops early.
#include <algorithm>
#include <cmath>
#include <set>

#include "Stamp.h"

namespace {

constexpr double kPi = M_PI;
// The separator: a colour no piece holds (a piece's pixel of that colour is
// moved by one step of green).
constexpr uint8_t kSepR = 0, kSepG = 255, kSepB = 0;

struct a_border {
  a_keyset key{};
  std::string style, name;
  int cls = 2;
  int t = 24;        // thickness
  int side = 48;     // side length
  int repeat = 1;    // repeats of the strip on a side
  int sliver = 0;    // 0: none
  bool below = false;
  std::vector<a_rgb> cols;
  uint64_t seed = 0;
  double P() const { return double(side) / repeat; }
  double Line() const { return std::max(1.0, t / 22.0); }
  a_rgb C(size_t i) const { return cols[std::min(i, cols.size() - 1)]; }
  // The colour of repeat k, cycling through colours first .. last.
  a_rgb Cycle(long k, size_t first, size_t last) const {
    const long n = long(last - first + 1);
    return C(first + size_t(((k % n) + n) % n));
  }
};

enum a_corner_kind { CORNER_ROUND, CORNER_MITRE, CORNER_BLOCK };

using a_band_fn = void (*)(cairo_t* cr, const a_border& b, double x0, double x1);
using a_motif_fn = void (*)(cairo_t* cr, const a_border& b, double cx, long k);
using a_ornament_fn = void (*)(cairo_t* cr, const a_border& b);

struct a_border_style {
  const char* name;
  a_band_fn band;          // the ground along the strip (may repeat every repeat / band_div)
  a_motif_fn motif;        // one repeat's motif, centred on cx (may be none)
  a_ornament_fn ornament;  // over a block corner (none: the corner bends or mitres)
  a_corner_kind corner;    // for classes 1 and 2
  bool symmetric;          // the same seen from either edge, its corner a crossing: classes 3 and 4 may copy it
  bool continuous;         // no quiet gap between motifs: a sliver is one repeat
  int band_div;            // the ground repeats band_div times a repeat (0: it is the same all along)
  std::vector<const char*> colours;
  double bend = 0.5;       // a round corner keeps in step at this depth (a share of the thickness)
};

// ---------------------------------------------------------------------------
// Drawing helpers
// ---------------------------------------------------------------------------
a_rgb White() { return a_rgb{kArtWhite / 255.0, kArtWhite / 255.0, kArtWhite / 255.0}; }

// Lines `line` wide along a band's two edges, inside y0 and y1.
void Edge_Lines(cairo_t* cr, double x0, double x1, double y0, double y1, double line, const a_rgb& c) {
  Set_Rgb(cr, c);
  cairo_rectangle(cr, x0, y0, x1 - x0, line);
  cairo_rectangle(cr, x0, y1 - line, x1 - x0, line);
  cairo_fill(cr);
}

// A flat band with outlines.
void Ribbon(cairo_t* cr, double x0, double x1, double y0, double y1, const a_rgb& c, double line) {
  Set_Rgb(cr, c);
  cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
  cairo_fill(cr);
  if (line > 0) Edge_Lines(cr, x0, x1, y0, y1, line, Darker(c, 0.6));
}

// A straight band from y0 to y1, shaded across like a rounded rod (light
// along its middle), outlined along both edges.
void Rod(cairo_t* cr, double x0, double x1, double y0, double y1, const a_rgb& c, double line) {
  if (y1 - y0 < 4) {
    // Too thin to shade: a light row at its edge would read as a halo.
    Ribbon(cr, x0, x1, y0, y1, c, 0);
    return;
  }
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
  Add_Stop(g, 0, Darker(c, 0.25));
  Add_Stop(g, 0.35, Lighter(c, 0.35));
  Add_Stop(g, 0.6, c);
  Add_Stop(g, 1, Darker(c, 0.3));
  cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  if (line > 0) Edge_Lines(cr, x0, x1, y0, y1, line, Darker(c, 0.6));
}

void Thread(cairo_t* cr, double x0, double x1, double y, double w, const a_rgb& c) {
  Set_Rgb(cr, c);
  cairo_rectangle(cr, x0, y - w / 2, x1 - x0, w);
  cairo_fill(cr);
}

// Strips drawn into a shape clipped to a range of x.
void Clip_X(cairo_t* cr, double x0, double x1, double t) {
  cairo_rectangle(cr, x0, -t, x1 - x0, 3 * t);
  cairo_clip(cr);
}

// ---------------------------------------------------------------------------
// Styles
// ---------------------------------------------------------------------------
// Gold frame: a moulding with a row of beads, mitred.
void Band_Gold(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double t = b.t;
  const a_rgb gold = b.C(0), deep = Darker(gold, 0.55), light = Lighter(gold, 0.55);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, t);
  const struct {
    double at;
    a_rgb c;
  } stops[] = {{0, deep},  {0.06, Darker(gold, 0.2)}, {0.14, light}, {0.2, gold}, {0.42, Darker(gold, 0.35)},
               {0.5, deep}, {0.56, Darker(gold, 0.15)}, {0.72, light}, {0.86, gold}, {0.94, Darker(gold, 0.3)},
               {1, deep}};
  for (const auto& s : stops) Add_Stop(g, s.at, s.c);
  cairo_rectangle(cr, x0, 0, x1 - x0, t);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  Edge_Lines(cr, x0, x1, 0, t, b.Line(), deep);
}

void Motif_Gold(cairo_t* cr, const a_border& b, double cx, long) {
  const double r = b.P() * 0.32, y = b.t * 0.31;
  Solid_Outlined(cr, [=](cairo_t* k) { Circle_Path(k, cx, y, r); }, Lighter(b.C(0), 0.2), Darker(b.C(0), 0.6),
                 b.Line() * 0.5, 0);
}

// Wood: a moulding with grain and a bead along the inner edge.
void Band_Wood(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double t = b.t;
  const a_rgb wood = b.C(0), dark = b.C(1);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, t);
  Add_Stop(g, 0, Darker(wood, 0.45));
  Add_Stop(g, 0.12, Lighter(wood, 0.15));
  Add_Stop(g, 0.55, wood);
  Add_Stop(g, 0.7, Darker(wood, 0.2));
  Add_Stop(g, 0.78, Lighter(wood, 0.25));
  Add_Stop(g, 0.9, wood);
  Add_Stop(g, 1, Darker(wood, 0.5));
  cairo_rectangle(cr, x0, 0, x1 - x0, t);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  Edge_Lines(cr, x0, x1, 0, t, b.Line(), Darker(dark, 0.3));
}

void Motif_Wood(cairo_t* cr, const a_border& b, double cx, long k) {
  // Grain: long wavy strokes, one set a repeat, each closing on itself.
  a_rng rng(b.seed + uint64_t(((k % 4) + 4) % 4));
  const double P = b.P(), t = b.t;
  cairo_save(cr);
  Clip_X(cr, cx - P / 2, cx + P / 2, t);
  cairo_set_line_width(cr, 0.8);
  for (int i = 0; i < 5; ++i) {
    const double y = t * (0.18 + 0.1 * i), a = rng.Range(0.4, 1.2);
    cairo_new_path(cr);
    for (int s = 0; s <= 24; ++s) {
      const double x = cx - P / 2 + P * s / 24.0;
      cairo_line_to(cr, x, y + a * std::sin(2 * kPi * s / 24.0 * (i % 2 + 1)));
    }
    Set_Rgb(cr, Darker(b.C(1), 0.1), 0.35);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

// Rainbow: stripes of colour, mitred.
void Band_Rainbow(cairo_t* cr, const a_border& b, double x0, double x1) {
  const size_t n = b.cols.size();
  const double t = b.t, line = b.Line() * 0.8;
  const double w = (t - 2 * line) / double(n);
  Set_Rgb(cr, Darker(b.C(n - 1), 0.6));
  cairo_rectangle(cr, x0, 0, x1 - x0, t);
  cairo_fill(cr);
  for (size_t i = 0; i < n; ++i) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, line + i * w, 0, line + (i + 1) * w);
    Add_Stop(g, 0, Lighter(b.C(i), 0.2));
    Add_Stop(g, 1, b.C(i));
    cairo_rectangle(cr, x0, line + i * w, x1 - x0, w);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
}

// Rope: strands twisting along, bent round the corners.
void Band_Rope(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double t = b.t;
  Set_Rgb(cr, Darker(b.C(0), 0.55));
  cairo_rectangle(cr, x0, t * 0.1, x1 - x0, t * 0.8);
  cairo_fill(cr);
}

void Motif_Rope(cairo_t* cr, const a_border& b, double cx, long) {
  const double t = b.t, P = b.P();
  const double y0 = t * 0.1, y1 = t * 0.9;
  cairo_save(cr);
  cairo_rectangle(cr, cx - 2 * P, y0, 4 * P, y1 - y0);
  cairo_clip(cr);
  // One strand: a slanted lens from the outer edge to the inner, lit along
  // its length.
  const double slant = (y1 - y0) * 0.75;
  const double ax = cx - slant / 2 + P * 0.1, bx = cx + slant / 2 + P * 0.1;
  cairo_new_path(cr);
  Lens_Path(cr, ax - P * 0.15, y1 + 1, bx + P * 0.15, y0 - 1, P * 1.25);
  cairo_pattern_t* g = cairo_pattern_create_linear(cx - P * 0.45, 0, cx + P * 0.45, 0);
  Add_Stop(g, 0, Darker(b.C(0), 0.3));
  Add_Stop(g, 0.45, Lighter(b.C(0), 0.4));
  Add_Stop(g, 1, Darker(b.C(0), 0.35));
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, b.Line() * 0.8);
  Set_Rgb(cr, Darker(b.C(0), 0.65));
  cairo_stroke(cr);
  cairo_restore(cr);
  Set_Rgb(cr, Darker(b.C(0), 0.65));
  cairo_rectangle(cr, cx - P / 2, y0, P, b.Line() * 0.8);
  cairo_rectangle(cr, cx - P / 2, y1 - b.Line() * 0.8, P, b.Line() * 0.8);
  cairo_fill(cr);
}

// Pearls on a thread.
void Band_Thread(cairo_t* cr, const a_border& b, double x0, double x1) {
  Thread(cr, x0, x1, b.t / 2.0, std::max(1.5, b.t * 0.08), b.C(1));
}

void Motif_Pearl(cairo_t* cr, const a_border& b, double cx, long) {
  const double r = std::min(b.P() * 0.4, b.t * 0.32);
  Solid_Outlined(cr, [=](cairo_t* k) { Circle_Path(k, cx, b.t / 2.0, r); }, b.C(0), Darker(b.C(1), 0.3), b.Line(), 0.6);
}

void Ornament_Pearl(cairo_t* cr, const a_border& b) {
  const double r = b.t * 0.42;
  Solid_Outlined(cr, [=](cairo_t* k) { Circle_Path(k, b.t / 2.0, b.t / 2.0, r); }, b.C(0), Darker(b.C(1), 0.3), b.Line(), 0.6);
}

// Beads of colours on a thread, small gold beads between.
void Motif_Beads(cairo_t* cr, const a_border& b, double cx, long k) {
  const double P = b.P(), y = b.t / 2.0;
  const double r = std::min(P * 0.3, b.t * 0.34), s = std::min(P * 0.1, b.t * 0.13);
  for (const double dx : {-0.36, 0.36})
    Solid(cr, [=](cairo_t* c) { Circle_Path(c, cx + dx * P, y, s); }, b.C(0), b.Line() * 0.5, 0.4);
  Solid(cr, [=](cairo_t* c) { Ellipse_Path(c, cx, y, r * 1.12, r); }, b.Cycle(k, 2, b.cols.size() - 1), b.Line() * 0.7, 0.5);
}

void Ornament_Beads(cairo_t* cr, const a_border& b) {
  const double c = b.t / 2.0;
  Solid(cr, [=](cairo_t* k) { Star_Path(k, c, c, b.t * 0.46, b.t * 0.3, 8, 22.5, 1); }, b.C(0), b.Line() * 0.7, 0.2);
  Solid(cr, [=](cairo_t* k) { Circle_Path(k, c, c, b.t * 0.26); }, b.C(2), b.Line() * 0.7, 0.55);
}

// Stars between two rails.
void Band_Rails(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double w = std::max(1.6, b.t * 0.09);
  Rod(cr, x0, x1, b.t * 0.04, b.t * 0.04 + w, b.C(1), 0);
  Rod(cr, x0, x1, b.t * 0.96 - w, b.t * 0.96, b.C(1), 0);
}

void Motif_Star(cairo_t* cr, const a_border& b, double cx, long k) {
  const double R = b.t * 0.3;
  Solid(cr, [=](cairo_t* c) { Star_Path(c, cx, b.t * 0.52, R, R * 0.48, 5, 0, 0.6); }, b.Cycle(k, 0, 0), b.Line() * 0.7, 0.35);
}

void Ornament_Star(cairo_t* cr, const a_border& b) {
  const double c = b.t / 2.0;
  Solid(cr, [=](cairo_t* k) { Round_Rect_Path(k, b.t * 0.03, b.t * 0.03, b.t * 0.94, b.t * 0.94, b.t * 0.16); }, b.C(1),
        b.Line() * 0.7, 0.3);
  Solid(cr, [=](cairo_t* k) { Star_Path(k, c, c + b.t * 0.03, b.t * 0.36, b.t * 0.17, 5, 0, 0.6); }, b.C(0), b.Line() * 0.7, 0.35);
}

// Hearts on a thread.
void Band_Heart_Thread(cairo_t* cr, const a_border& b, double x0, double x1) {
  Thread(cr, x0, x1, b.t * 0.5, std::max(1.4, b.t * 0.06), b.C(2));
}

void Motif_Heart(cairo_t* cr, const a_border& b, double cx, long k) {
  Solid(cr, [=](cairo_t* c) { Heart_Path(c, cx, b.t * 0.5, b.t * 0.66); }, b.Cycle(k, 0, 1), b.Line() * 0.7, 0.4);
}

void Ornament_Heart(cairo_t* cr, const a_border& b) {
  const double c = b.t / 2.0;
  Solid(cr, [=](cairo_t* k) { Round_Rect_Path(k, b.t * 0.06, b.t * 0.06, b.t * 0.88, b.t * 0.88, b.t * 0.2); }, b.C(3),
        b.Line() * 0.7, 0.2);
  Solid(cr, [=](cairo_t* k) { Heart_Path(k, c, c + b.t * 0.02, b.t * 0.7); }, b.C(0), b.Line() * 0.7, 0.4);
}

// Checks in two rows, mitred so the board runs on round the corner.
void Band_Checks(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double q = b.t / 2.0;
  Set_Rgb(cr, b.C(1));
  cairo_rectangle(cr, x0, 0, x1 - x0, b.t);
  cairo_fill(cr);
  Set_Rgb(cr, b.C(0));
  for (double x = std::floor(x0 / (2 * q)) * 2 * q; x < x1; x += 2 * q) {
    cairo_rectangle(cr, x, 0, q, q);
    cairo_rectangle(cr, x + q, q, q, q);
  }
  cairo_fill(cr);
  Edge_Lines(cr, x0, x1, 0, b.t, b.Line(), Darker(b.C(0), 0.5));
}

// Film: a dark strip with sprocket holes and frames of colour.
void Band_Film(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double t = b.t, pitch = b.P() / 3;  // a repeat holds three holes
  Set_Rgb(cr, b.C(0));
  cairo_rectangle(cr, x0, 0, x1 - x0, t);
  cairo_fill(cr);
  const double hw = pitch * 0.45, hh = t * 0.13;
  for (double x = std::floor(x0 / pitch) * pitch; x < x1 + pitch; x += pitch) {
    for (const double y : {t * 0.06, t * 0.94 - hh}) {
      cairo_new_path(cr);
      Round_Rect_Path(cr, x + (pitch - hw) / 2, y, hw, hh, hh * 0.3);
      Set_Rgb(cr, White());
      cairo_fill(cr);
    }
  }
}

void Motif_Film(cairo_t* cr, const a_border& b, double cx, long k) {
  const double t = b.t, P = b.P();
  const double x = cx - P / 2 + 1.5, w = P - 3, y = t * 0.26, h = t * 0.48;
  const a_rgb sky = b.Cycle(k, 1, 3);
  Film_Scene(cr, x, y, w, h, sky, Darker(sky, 0.45), 0);
}

void Ornament_Film(cairo_t* cr, const a_border& b) {
  const double t = b.t, c = t / 2.0;
  cairo_new_path(cr);
  Set_Rgb(cr, b.C(0));
  cairo_rectangle(cr, t * 0.2, t * 0.2, t * 0.6, t * 0.6);
  cairo_fill(cr);
  Solid(cr, [=](cairo_t* k) { Circle_Path(k, c, c, t * 0.32); }, Hex("#b8c0cc"), b.Line() * 0.6, 0.3);
  for (int i = 0; i < 5; ++i) {
    const double a = (i * 72 - 90) * kPi / 180;
    cairo_new_path(cr);
    Circle_Path(cr, c + t * 0.17 * std::cos(a), c + t * 0.17 * std::sin(a), t * 0.07);
    Set_Rgb(cr, b.C(0));
    cairo_fill(cr);
  }
}

// Piano keys: an octave a repeat, the black keys at the outer edge.
void Band_Keys(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double t = b.t, w = b.P() / 7;
  Set_Rgb(cr, b.C(1));
  cairo_rectangle(cr, x0, 0, x1 - x0, t);
  cairo_fill(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, t);
  Add_Stop(g, 0, b.C(1), 0);
  Add_Stop(g, 0.85, b.C(1), 0);
  Add_Stop(g, 1, Darker(b.C(1), 0.25), 1);
  cairo_rectangle(cr, x0, 0, x1 - x0, t);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  Set_Rgb(cr, b.C(0));
  for (double x = std::floor(x0 / w) * w; x < x1 + w; x += w) cairo_rectangle(cr, x - 0.5, 0, 1, t);
  cairo_fill(cr);
  Edge_Lines(cr, x0, x1, 0, t, b.Line(), b.C(0));
}

void Motif_Keys(cairo_t* cr, const a_border& b, double cx, long) {
  const double t = b.t, w = b.P() / 7, left = cx - b.P() / 2;
  // Black keys above the gaps C|D, D|E, F|G, G|A, A|B.
  for (const int gap : {1, 2, 4, 5, 6}) {
    const double x = left + gap * w;
    Solid(cr, [=](cairo_t* k) { Round_Rect_Path(k, x - w * 0.32, -2, w * 0.64, t * 0.6 + 2, w * 0.12); }, b.C(0), 0, 0.25);
  }
}

void Ornament_Keys(cairo_t* cr, const a_border& b) {
  const double t = b.t;
  Solid(cr, [=](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, t, 0);
    cairo_line_to(k, t * 0.3, 0);
    cairo_arc_negative(k, t * 0.3, t * 0.3, t * 0.3, -kPi / 2, -kPi);
    cairo_line_to(k, 0, t);
    cairo_line_to(k, t, t);
    cairo_close_path(k);
  }, b.C(0), b.Line() * 0.6, 0.3);
  Solid(cr, [=](cairo_t* k) { Circle_Path(k, t * 0.55, t * 0.55, t * 0.16); }, b.C(2), b.Line() * 0.5, 0.4);
}

// Greek key: square spirals hooked on the inner rail, between two rails.
void Band_Key_Rails(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double t = b.t, w = std::max(1.4, t * 0.08);
  Ribbon(cr, x0, x1, t * 0.04, t * 0.04 + w, b.C(0), 0);
  Ribbon(cr, x0, x1, t * 0.96 - w, t * 0.96, b.C(0), 0);
}

void Key_Spiral(cairo_t* cr, double x, double y, double u, int turns) {
  // From the foot at (x, y + 4u) up, round inward clockwise.
  cairo_move_to(cr, x, y + 4 * u);
  cairo_line_to(cr, x, y);
  cairo_line_to(cr, x + 3 * u, y);
  cairo_line_to(cr, x + 3 * u, y + 3 * u);
  cairo_line_to(cr, x + 1 * u, y + 3 * u);
  cairo_line_to(cr, x + 1 * u, y + 1 * u);
  if (turns > 1) cairo_line_to(cr, x + 2 * u, y + 1 * u), cairo_line_to(cr, x + 2 * u, y + 2 * u);
}

void Motif_Greek(cairo_t* cr, const a_border& b, double cx, long) {
  const double t = b.t, w = std::max(1.4, t * 0.08);
  const double top = t * 0.04 + w * 0.5, bottom = t * 0.96 - w * 0.5;
  const double u = (bottom - top) / 5.0;
  cairo_save(cr);
  cairo_new_path(cr);
  Key_Spiral(cr, cx - 1.5 * u, top + u, u, 2);
  cairo_move_to(cr, cx - 1.5 * u, top + 5 * u);
  cairo_line_to(cr, cx - 1.5 * u, top + 4.9 * u);
  cairo_set_line_width(cr, w);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  Set_Rgb(cr, b.C(0));
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Ornament_Greek(cairo_t* cr, const a_border& b) {
  const double t = b.t, w = std::max(1.4, t * 0.08);
  Set_Rgb(cr, b.C(1));
  cairo_rectangle(cr, t * 0.04, t * 0.04, t * 0.92, t * 0.92);
  cairo_fill(cr);
  cairo_save(cr);
  cairo_new_path(cr);
  const double u = t * 0.92 / 5.5;
  cairo_rectangle(cr, t * 0.04 + w / 2, t * 0.04 + w / 2, t * 0.92 - w, t * 0.92 - w);
  Key_Spiral(cr, t * 0.04 + u, t * 0.04 + u * 0.95, u * 1.05, 2);
  cairo_set_line_width(cr, w);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  Set_Rgb(cr, b.C(0));
  cairo_stroke(cr);
  cairo_restore(cr);
}

// Scallops along the outer edge, a rail along the inner one.
void Band_Scallop(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double t = b.t;
  Rod(cr, x0, x1, t * 0.62, t * 0.86, b.C(1), b.Line() * 0.6);
}

void Motif_Scallop(cairo_t* cr, const a_border& b, double cx, long) {
  const double t = b.t, P = b.P();
  const double r = P * 0.5;
  auto shell = [=](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, cx - r, t * 0.66);
    cairo_line_to(k, cx - r, t * 0.5);
    cairo_curve_to(k, cx - r, t * 0.5 - r * 1.25, cx + r, t * 0.5 - r * 1.25, cx + r, t * 0.5);
    cairo_line_to(k, cx + r, t * 0.66);
    cairo_close_path(k);
  };
  Solid(cr, shell, b.C(0), b.Line() * 0.7, 0);
  Solid(cr, [=](cairo_t* k) { Circle_Path(k, cx, t * 0.36, std::max(1.4, r * 0.26)); }, b.C(2), 0, 0);
}

// Waves: bands of water rolling along, bent round the corners.
void Band_Waves(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double t = b.t, P = b.P();
  const double n0 = std::floor(x0 / P) - 1, n1 = std::ceil(x1 / P) + 1;
  for (int layer = 0; layer < 3; ++layer) {
    const double base = t * (0.28 + 0.2 * layer), amp = t * 0.11, ph = layer * 1.9;
    cairo_new_path(cr);
    cairo_move_to(cr, n0 * P, t);
    for (double x = n0 * P; x <= n1 * P; x += P / 24) {
      const double a = 2 * kPi * x / P + ph;
      // A crest that leans forward: a sine with its second harmonic.
      cairo_line_to(cr, x, base - amp * (std::sin(a) + 0.35 * std::sin(2 * a - 0.6)));
    }
    cairo_line_to(cr, n1 * P, t);
    cairo_close_path(cr);
    const a_rgb c = b.C(size_t(layer));
    cairo_pattern_t* g = cairo_pattern_create_linear(0, base - amp * 1.4, 0, t);
    Add_Stop(g, 0, Lighter(c, 0.3));
    Add_Stop(g, 0.5, c);
    Add_Stop(g, 1, Darker(c, 0.3));
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_line_width(cr, b.Line() * 1.8);
    Set_Rgb(cr, Darker(c, 0.5));
    cairo_stroke(cr);
    if (layer == 0) {
      // Foam along the crest, inside the water's dark edge.
      cairo_save(cr);
      cairo_translate(cr, 0, std::max(1.6, t * 0.07));
      cairo_new_path(cr);
      for (double x = n0 * P; x <= n1 * P; x += P / 24) {
        const double a = 2 * kPi * x / P + ph;
        cairo_line_to(cr, x, base - amp * (std::sin(a) + 0.35 * std::sin(2 * a - 0.6)));
      }
      cairo_set_line_width(cr, std::max(1.2, t * 0.05));
      Set_Rgb(cr, b.C(3));
      cairo_stroke(cr);
      cairo_restore(cr);
    }
  }
  Set_Rgb(cr, Darker(b.C(2), 0.55));
  cairo_rectangle(cr, x0, t - b.Line(), x1 - x0, b.Line());
  cairo_fill(cr);
}

// Ivy: a stem along the middle, leaves to either side.
void Band_Stem(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double y = b.t / 2.0, w = std::max(1.6, b.t * 0.07);
  Thread(cr, x0, x1, y, w + 1.2, Darker(b.C(1), 0.4));
  Thread(cr, x0, x1, y, w, b.C(1));
}

void Ivy_Leaf(cairo_t* cr, const a_border& b, double x, double y, double dx, double dy, const a_rgb& c) {
  Solid(cr, [=](cairo_t* k) { Lens_Path(k, x, y, x + dx, y + dy, std::hypot(dx, dy) * 0.55); }, c, b.Line() * 0.6, 0.2);
}

void Motif_Ivy(cairo_t* cr, const a_border& b, double cx, long) {
  const double t = b.t, y = t / 2.0, L = t * 0.46;
  Ivy_Leaf(cr, b, cx - t * 0.2, y, t * 0.1, -L, b.C(0));
  Ivy_Leaf(cr, b, cx + t * 0.2, y, -t * 0.1, L, Darker(b.C(0), 0.12));
  Solid(cr, [=](cairo_t* k) { Circle_Path(k, cx + t * 0.12, y - t * 0.16, t * 0.075); }, b.C(2), 0, 0.4);
  Solid(cr, [=](cairo_t* k) { Circle_Path(k, cx - t * 0.12, y + t * 0.16, t * 0.075); }, b.C(2), 0, 0.4);
}

void Ornament_Ivy(cairo_t* cr, const a_border& b) {
  const double t = b.t, c = t * 0.5;
  for (int i = 0; i < 5; ++i) {
    const double a = (i * 72 - 45) * kPi / 180;
    Solid(cr, [=](cairo_t* k) { Circle_Path(k, c + t * 0.2 * std::cos(a), c + t * 0.2 * std::sin(a), t * 0.17); }, b.C(3),
          b.Line() * 0.6, 0.2);
  }
  Solid(cr, [=](cairo_t* k) { Circle_Path(k, c, c, t * 0.12); }, b.C(2), b.Line() * 0.5, 0.3);
}

// Polka dots on a ribbon.
void Band_Ribbon(cairo_t* cr, const a_border& b, double x0, double x1) {
  Ribbon(cr, x0, x1, b.t * 0.08, b.t * 0.92, b.C(0), b.Line() * 0.8);
}

void Motif_Dots(cairo_t* cr, const a_border& b, double cx, long) {
  const double t = b.t, P = b.P(), r = t * 0.11;
  Solid(cr, [=](cairo_t* k) { Circle_Path(k, cx - P * 0.25, t * 0.33, r); }, b.C(1), 0, 0.3);
  Solid(cr, [=](cairo_t* k) { Circle_Path(k, cx + P * 0.25, t * 0.67, r); }, b.C(1), 0, 0.3);
}

void Ornament_Button(cairo_t* cr, const a_border& b) {
  const double t = b.t, c = t / 2.0;
  Solid(cr, [=](cairo_t* k) { Circle_Path(k, c, c, t * 0.4); }, b.C(2), b.Line() * 0.7, 0.35);
  for (int i = 0; i < 4; ++i) {
    const double a = (45 + i * 90) * kPi / 180;
    cairo_new_path(cr);
    Circle_Path(cr, c + t * 0.1 * std::cos(a), c + t * 0.1 * std::sin(a), t * 0.045);
    Set_Rgb(cr, Darker(b.C(2), 0.6));
    cairo_fill(cr);
  }
}

// Denim with stitching along both edges.
void Band_Denim(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double t = b.t, d = b.P() / 2;  // the stitch pitch; two a repeat
  Ribbon(cr, x0, x1, 0, t, b.C(0), 0);
  cairo_save(cr);
  cairo_rectangle(cr, x0, 0, x1 - x0, t);
  cairo_clip(cr);
  cairo_set_line_width(cr, 0.9);
  Set_Rgb(cr, Lighter(b.C(0), 0.25), 0.6);
  for (double x = std::floor(x0 / (d / 2)) * (d / 2) - t; x < x1 + t; x += d / 2) {
    cairo_move_to(cr, x, 0);
    cairo_line_to(cr, x + t, t);
  }
  cairo_stroke(cr);
  cairo_restore(cr);
  const double sw = std::max(1.4, t * 0.08);
  for (double x = std::floor(x0 / d) * d; x < x1 + d; x += d) {
    for (const double y : {t * 0.18, t * 0.82}) {
      cairo_new_path(cr);
      Round_Rect_Path(cr, x + d * 0.2, y - sw / 2, d * 0.6, sw, sw / 2);
      Set_Rgb(cr, b.C(1));
      cairo_fill(cr);
    }
  }
  Edge_Lines(cr, x0, x1, 0, t, b.Line(), Darker(b.C(0), 0.5));
}

// Candy stripes slanting along a rounded band.
void Motif_Candy(cairo_t* cr, const a_border& b, double cx, long) {
  const double t = b.t, P = b.P(), y0 = t * 0.12, y1 = t * 0.88;
  cairo_save(cr);
  cairo_rectangle(cr, cx - P / 2, y0, P, y1 - y0);
  cairo_clip(cr);
  Set_Rgb(cr, b.C(1));
  cairo_paint(cr);
  for (int i = -1; i <= 1; ++i) {
    const double x = cx + i * P;
    cairo_new_path(cr);
    Polygon_Path(cr, {{x - P * 0.25 + (y1 - y0) * 0.5, y0}, {x + P * 0.25 + (y1 - y0) * 0.5, y0},
                      {x + P * 0.25 - (y1 - y0) * 0.5, y1}, {x - P * 0.25 - (y1 - y0) * 0.5, y1}});
    Set_Rgb(cr, b.C(0));
    cairo_fill(cr);
  }
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
  Add_Stop(g, 0, a_rgb{0, 0, 0}, 0.18);
  Add_Stop(g, 0.3, a_rgb{1, 1, 1}, 0.3);
  Add_Stop(g, 0.5, a_rgb{1, 1, 1}, 0);
  Add_Stop(g, 1, a_rgb{0, 0, 0}, 0.25);
  cairo_set_source(cr, g);
  cairo_paint(cr);
  cairo_pattern_destroy(g);
  cairo_restore(cr);
  Edge_Lines(cr, cx - P / 2, cx + P / 2, y0, y1, b.Line(), Darker(b.C(0), 0.55));
}

// Lights on a wire: bulbs of colours pointing out and in by turns.
void Band_Wire(cairo_t* cr, const a_border& b, double x0, double x1) {
  Thread(cr, x0, x1, b.t / 2.0, std::max(1.4, b.t * 0.06), b.C(0));
}

void Bulb(cairo_t* cr, const a_border& b, double cx, double dir, const a_rgb& c) {
  const double t = b.t;
  cairo_save(cr);
  cairo_translate(cr, cx, t / 2.0);
  cairo_scale(cr, 1, dir);
  Solid(cr, [=](cairo_t* k) { cairo_rectangle(k, -t * 0.075, -t * 0.16, t * 0.15, t * 0.14); }, Hex("#8d99ae"), 0, 0);
  Solid(cr, [=](cairo_t* k) {
    cairo_new_sub_path(k);
    cairo_move_to(k, 0, -t * 0.49);
    cairo_curve_to(k, t * 0.2, -t * 0.4, t * 0.16, -t * 0.2, t * 0.09, -t * 0.15);
    cairo_line_to(k, -t * 0.09, -t * 0.15);
    cairo_curve_to(k, -t * 0.16, -t * 0.2, -t * 0.2, -t * 0.4, 0, -t * 0.49);
    cairo_close_path(k);
  }, c, b.Line() * 0.6, 0.5);
  cairo_restore(cr);
}

// Two bulbs a repeat, one pointing out and one in, the colours cycling.
void Motif_Bulbs(cairo_t* cr, const a_border& b, double cx, long k) {
  const size_t n = b.cols.size() - 1;
  Bulb(cr, b, cx - b.P() / 4, -1, b.Cycle(2 * k, 1, n));
  Bulb(cr, b, cx + b.P() / 4, 1, b.Cycle(2 * k + 1, 1, n));
}

void Ornament_Bulb_Star(cairo_t* cr, const a_border& b) {
  const double t = b.t, c = t / 2.0;
  Solid(cr, [=](cairo_t* k) { Star_Path(k, c, c + t * 0.04, t * 0.48, t * 0.22, 5, 0, 0.8); }, Hex("#ffc62e"), b.Line() * 0.7, 0.4);
}

// Music: five lines and notes along them.
void Band_Staff(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double t = b.t;
  for (int i = 0; i < 5; ++i) Thread(cr, x0, x1, t * (0.2 + 0.15 * i), std::max(1.0, t * 0.035), b.C(0));
}

void Motif_Notes(cairo_t* cr, const a_border& b, double cx, long k) {
  const double t = b.t, P = b.P(), gap = t * 0.15;
  const int steps[4] = {3, 5, 2, 4};  // half-steps of the staff from the bottom line
  for (int j = 0; j < 2; ++j) {
    const int st = steps[(((k % 2) + 2) % 2) * 2 + j];
    const double x = cx + (j == 0 ? -0.24 : 0.2) * P, y = t * 0.8 - st * gap / 2;
    Solid(cr, [=](cairo_t* c) {
      Ellipse_Path(c, x, y, gap * 0.68, gap * 0.5, -22);
      cairo_new_sub_path(c);
      cairo_rectangle(c, x + gap * 0.5, y - t * 0.42, std::max(1.2, t * 0.045), t * 0.42);
    }, b.C(1 + size_t(j)), b.Line() * 0.8, 0);
  }
}

void Ornament_Clef(cairo_t* cr, const a_border& b) {
  const double t = b.t;
  Solid(cr, [=](cairo_t* k) { Round_Rect_Path(k, t * 0.05, t * 0.05, t * 0.9, t * 0.9, t * 0.18); }, b.C(3), b.Line() * 0.6, 0.3);
  Use_Font(cr, "music", 100);
  const char* clef = "\xF0\x9D\x84\x9E";
  cairo_text_extents_t e;
  cairo_text_extents(cr, clef, &e);
  const double k = t * 0.78 / e.height;
  Solid(cr, [&](cairo_t* c) {
    cairo_save(c);
    cairo_translate(c, (t - e.width * k) / 2, (t - e.height * k) / 2);
    cairo_scale(c, k, k);
    cairo_move_to(c, -e.x_bearing, -e.y_bearing);
    cairo_text_path(c, clef);
    cairo_restore(c);
  }, b.C(4), b.Line() * 0.35, 0);
}

// Snowflakes on an icy ribbon.
void Band_Ice(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double t = b.t;
  cairo_pattern_t* g = cairo_pattern_create_linear(0, t * 0.06, 0, t * 0.94);
  Add_Stop(g, 0, Darker(b.C(0), 0.2));
  Add_Stop(g, 0.5, b.C(0));
  Add_Stop(g, 1, Darker(b.C(0), 0.2));
  cairo_rectangle(cr, x0, t * 0.06, x1 - x0, t * 0.88);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  Edge_Lines(cr, x0, x1, t * 0.06, t * 0.94, b.Line(), Darker(b.C(0), 0.6));
}

void Flake(cairo_t* cr, double x, double y, double r, const a_rgb& c, const a_rgb& line) {
  auto arms = [=](cairo_t* k) {
    for (int i = 0; i < 6; ++i) {
      const double a = i * kPi / 3, ca = std::cos(a), sa = std::sin(a);
      cairo_move_to(k, x, y);
      cairo_line_to(k, x + r * ca, y + r * sa);
      const double bx = x + r * 0.55 * ca, by = y + r * 0.55 * sa;
      for (const double s : {-1.0, 1.0}) {
        const double a2 = a + s * 0.75;
        cairo_move_to(k, bx, by);
        cairo_line_to(k, bx + r * 0.35 * std::cos(a2), by + r * 0.35 * std::sin(a2));
      }
    }
  };
  cairo_save(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_new_path(cr);
  arms(cr);
  cairo_set_line_width(cr, std::max(2.6, r * 0.34));
  Set_Rgb(cr, line);
  cairo_stroke(cr);
  cairo_new_path(cr);
  arms(cr);
  cairo_set_line_width(cr, std::max(1.2, r * 0.16));
  Set_Rgb(cr, c);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Motif_Flake(cairo_t* cr, const a_border& b, double cx, long) {
  Flake(cr, cx, b.t / 2.0, b.t * 0.3, b.C(1), Darker(b.C(0), 0.55));
}

void Ornament_Flake(cairo_t* cr, const a_border& b) {
  const double t = b.t, c = t / 2.0;
  Solid(cr, [=](cairo_t* k) { Circle_Path(k, c, c, t * 0.46); }, b.C(2), b.Line() * 0.7, 0.35);
  Flake(cr, c, c, t * 0.36, b.C(1), Darker(b.C(2), 0.5));
}

// Daisies along a stem.
void Daisy(cairo_t* cr, double x, double y, double r, const a_border& b) {
  for (int i = 0; i < 10; ++i) {
    const double a = i * kPi / 5;
    Solid_Outlined(cr, [=](cairo_t* k) {
      Lens_Path(k, x + r * 0.2 * std::cos(a), y + r * 0.2 * std::sin(a), x + r * std::cos(a), y + r * std::sin(a), r * 0.45);
    }, b.C(2), Hex("#9c8f78"), std::max(0.6, b.Line() * 0.5), 0);
  }
  Solid(cr, [=](cairo_t* k) { Circle_Path(k, x, y, r * 0.32); }, b.C(3), std::max(0.6, b.Line() * 0.5), 0.4);
}

void Motif_Daisy(cairo_t* cr, const a_border& b, double cx, long) {
  const double t = b.t, P = b.P(), y = t / 2.0;
  Ivy_Leaf(cr, b, cx + P * 0.26, y, P * 0.12, -t * 0.3, b.C(0));
  Ivy_Leaf(cr, b, cx - P * 0.26, y, -P * 0.12, t * 0.3, b.C(0));
  Daisy(cr, cx, y, t * 0.42, b);
}

void Ornament_Daisy(cairo_t* cr, const a_border& b) { Daisy(cr, b.t / 2.0, b.t / 2.0, b.t * 0.44, b); }

// Bamboo: a cane with a node each repeat and a leaf now and then.
void Band_Bamboo(cairo_t* cr, const a_border& b, double x0, double x1) {
  Rod(cr, x0, x1, b.t * 0.14, b.t * 0.86, b.C(0), b.Line() * 0.8);
}

void Motif_Bamboo(cairo_t* cr, const a_border& b, double cx, long) {
  const double t = b.t, w = std::max(2.0, t * 0.12);
  Solid(cr, [=](cairo_t* k) { Round_Rect_Path(k, cx - w / 2, t * 0.09, w, t * 0.82, w * 0.4); }, Darker(b.C(0), 0.1), b.Line() * 0.6, 0.3);
  cairo_save(cr);
  Set_Rgb(cr, Lighter(b.C(0), 0.4), 0.7);
  cairo_rectangle(cr, cx - b.P() * 0.35, t * 0.3, b.P() * 0.22, std::max(1.0, t * 0.05));
  cairo_rectangle(cr, cx + b.P() * 0.12, t * 0.3, b.P() * 0.22, std::max(1.0, t * 0.05));
  cairo_fill(cr);
  cairo_restore(cr);
}

// A link of the chain lying flat: an outlined ring of steel, lit from above.
void Steel_Ring(cairo_t* cr, const a_border& b, double cx, double cy, double rx, double ry, double w) {
  const a_rgb steel = b.C(0);
  Stroke(cr, [=](cairo_t* k) { Ellipse_Path(k, cx, cy, rx, ry); }, Darker(steel, 0.6), w + 2 * b.Line());
  cairo_save(cr);
  cairo_new_path(cr);
  Ellipse_Path(cr, cx, cy, rx, ry);
  cairo_set_line_width(cr, w);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, cy - ry - w, 0, cy + ry + w);
  Add_Stop(g, 0, Lighter(steel, 0.5));
  Add_Stop(g, 0.5, steel);
  Add_Stop(g, 1, Darker(steel, 0.3));
  cairo_set_source(cr, g);
  cairo_stroke(cr);
  cairo_pattern_destroy(g);
  cairo_restore(cr);
}

// Chain: links lying flat and links on edge by turns.
void Motif_Chain(cairo_t* cr, const a_border& b, double cx, long) {
  const double t = b.t, P = b.P(), y = t / 2.0, w = std::max(1.8, t * 0.12);
  const a_rgb steel = b.C(0);
  // The link on edge, at the ends of the repeat, under the flat one.
  for (const double x : {cx - P / 2, cx + P / 2}) {
    Solid(cr, [=](cairo_t* k) { Round_Rect_Path(k, x - P * 0.3, y - w * 0.55, P * 0.6, w * 1.1, w * 0.55); }, Darker(steel, 0.1),
          b.Line() * 0.9, 0.2);
  }
  Steel_Ring(cr, b, cx, y, P * 0.36, t * 0.36, w);
}

// The chain's corner: a ring, the halves of the links on edge from both
// sides passing into it.
void Ornament_Chain(cairo_t* cr, const a_border& b) {
  const double t = b.t, P = b.P(), w = std::max(1.8, t * 0.12), c = t / 2.0;
  const a_rgb steel = b.C(0);
  const double r = c - w / 2 - b.Line() - 0.5;
  // The links on edge reach in as far as the ring's band, not into its hole.
  Solid(cr, [=](cairo_t* k) {
    Round_Rect_Path(k, c + r, c - w * 0.55, t + P * 0.3 - c - r, w * 1.1, w * 0.55);
    Round_Rect_Path(k, c - w * 0.55, c + r, w * 1.1, t + P * 0.3 - c - r, w * 0.55);
  }, Darker(steel, 0.1), b.Line() * 0.9, 0.2);
  Steel_Ring(cr, b, c, c, r, r, w);
}

// Ric-rac: a zigzag braid.
void Motif_Zigzag(cairo_t* cr, const a_border& b, double cx, long) {
  const double t = b.t, P = b.P(), y = t / 2.0, a = t * 0.2;
  auto path = [=](cairo_t* k) {
    for (int i = -2; i <= 4; ++i) cairo_line_to(k, cx - P / 2 + P * i / 2.0, i % 2 == 0 ? y - a : y + a);
  };
  cairo_save(cr);
  Clip_X(cr, cx - P / 2, cx + P / 2, t);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_new_path(cr);
  path(cr);
  cairo_set_line_width(cr, t * 0.34 + 2 * b.Line());
  Set_Rgb(cr, Darker(b.C(0), 0.55));
  cairo_stroke(cr);
  cairo_new_path(cr);
  path(cr);
  cairo_set_line_width(cr, t * 0.34);
  Set_Rgb(cr, b.C(0));
  cairo_stroke(cr);
  cairo_new_path(cr);
  path(cr);
  cairo_set_line_width(cr, std::max(1.0, t * 0.07));
  Set_Rgb(cr, Lighter(b.C(0), 0.45));
  cairo_stroke(cr);
  cairo_restore(cr);
}

// Records on a thread.
void Motif_Record(cairo_t* cr, const a_border& b, double cx, long k) {
  const double t = b.t, y = t / 2.0, r = std::min(b.P() * 0.42, t * 0.42);
  Flat(cr, [=](cairo_t* c) { Circle_Path(c, cx, y, r); }, b.C(0), Darker(b.C(0), 0.5), b.Line() * 0.5);
  cairo_save(cr);
  cairo_set_line_width(cr, 0.7);
  Set_Rgb(cr, Lighter(b.C(0), 0.25));
  for (double rr = r * 0.5; rr < r * 0.92; rr += 2) {
    cairo_new_path(cr);
    Circle_Path(cr, cx, y, rr);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  Solid(cr, [=](cairo_t* c) { Circle_Path(c, cx, y, r * 0.36); }, b.Cycle(k, 2, b.cols.size() - 1), 0, 0.3);
  Flat(cr, [=](cairo_t* c) { Circle_Path(c, cx, y, std::max(0.9, r * 0.08)); }, b.C(0), b.C(0), 0);
}

void Ornament_Record(cairo_t* cr, const a_border& b) {
  const double t = b.t, c = t / 2.0, r = t * 0.46;
  Flat(cr, [=](cairo_t* k) { Circle_Path(k, c, c, r); }, Hex("#dfe5ec"), Hex("#6c7a8c"), b.Line() * 0.5);
  const a_rgb ring[] = {Hex("#ff9ec7"), Hex("#ffe08a"), Hex("#9ef0c0"), Hex("#8ed1ff"), Hex("#c7a8ff")};
  for (int i = 0; i < 10; ++i) {
    cairo_new_path(cr);
    cairo_move_to(cr, c, c);
    cairo_arc(cr, c, c, r * 0.95, i * kPi / 5, (i + 1) * kPi / 5);
    cairo_close_path(cr);
    Set_Rgb(cr, ring[i % 5], 0.75);
    cairo_fill(cr);
  }
  Flat(cr, [=](cairo_t* k) { Circle_Path(k, c, c, r * 0.36); }, Hex("#c5ced9"), Hex("#8e99a8"), 0.8);
  Flat(cr, [=](cairo_t* k) { Circle_Path(k, c, c, r * 0.16); }, b.C(1), b.C(1), 0);
}

// Harlequin: diamonds of two colours across the band, mitred.
void Band_Harlequin(cairo_t* cr, const a_border& b, double x0, double x1) {
  const double t = b.t, P = b.P();
  Set_Rgb(cr, b.C(1));
  cairo_rectangle(cr, x0, 0, x1 - x0, t);
  cairo_fill(cr);
  for (double x = std::floor(x0 / P) * P - P; x < x1 + P; x += P) {
    cairo_new_path(cr);
    Polygon_Path(cr, {{x + P / 2, 0}, {x + P, t / 2}, {x + P / 2, t}, {x, t / 2}});
    Set_Rgb(cr, b.C(0));
    cairo_fill(cr);
    cairo_new_path(cr);
    Circle_Path(cr, x, t / 2, std::max(1.2, t * 0.07));
    Set_Rgb(cr, b.C(2));
    cairo_fill(cr);
  }
  Edge_Lines(cr, x0, x1, 0, t, b.Line(), Darker(b.C(0), 0.55));
}

const std::vector<a_border_style>& Styles() {
  static const std::vector<a_border_style> styles = {
      {"gold", Band_Gold, Motif_Gold, nullptr, CORNER_MITRE, false, false, 0, {"#d4a537"}},
      {"wood", Band_Wood, Motif_Wood, nullptr, CORNER_MITRE, false, false, 0, {"#a86b3c", "#4a2a14"}},
      {"rainbow", Band_Rainbow, nullptr, nullptr, CORNER_MITRE, false, false, 0,
       {"#e63946", "#ff9f1c", "#ffd23f", "#52b788", "#4895ef", "#7b2cbf"}},
      {"rope", Band_Rope, Motif_Rope, nullptr, CORNER_ROUND, false, true, 0, {"#d8b07a"}},
      {"pearls", Band_Thread, Motif_Pearl, Ornament_Pearl, CORNER_BLOCK, true, false, 0, {"#f4e6dc", "#b08d57"}},
      {"beads", Band_Thread, Motif_Beads, Ornament_Beads, CORNER_BLOCK, true, false, 0,
       {"#e0b43c", "#7a6a58", "#e63946", "#3a86ff", "#52b788", "#ff9f1c", "#9d4edd"}},
      {"stars", Band_Rails, Motif_Star, Ornament_Star, CORNER_BLOCK, true, false, 0, {"#ffc62e", "#1d3557"}},
      {"hearts", Band_Heart_Thread, Motif_Heart, Ornament_Heart, CORNER_BLOCK, true, false, 0,
       {"#e5383b", "#ff70a6", "#ffb3c6", "#ffe5ec"}},
      {"checks", Band_Checks, nullptr, nullptr, CORNER_MITRE, false, true, 0, {"#1d3557", "#f1faee"}},
      {"film", Band_Film, Motif_Film, Ornament_Film, CORNER_BLOCK, true, false, 3,
       {"#202028", "#8ecae6", "#ffb4a2", "#b5e48c"}},
      {"piano", Band_Keys, Motif_Keys, Ornament_Keys, CORNER_BLOCK, false, false, 7, {"#1c1c22", "#fbf8f1", "#d4a537"}},
      {"greek", Band_Key_Rails, Motif_Greek, Ornament_Greek, CORNER_BLOCK, true, false, 0, {"#1f5f99", "#eef4fb"}},
      {"scallops", Band_Scallop, Motif_Scallop, nullptr, CORNER_ROUND, false, true, 0, {"#ff8fab", "#c9184a", "#fff0f3"}, 0.2},
      {"waves", Band_Waves, nullptr, nullptr, CORNER_ROUND, false, true, 0, {"#90e0ef", "#00b4d8", "#0077b6", "#f4fbff"}},
      {"ivy", Band_Stem, Motif_Ivy, Ornament_Ivy, CORNER_BLOCK, true, false, 0, {"#4caf50", "#6b8e23", "#7b2cbf", "#b8a1ff"}},
      {"dots", Band_Ribbon, Motif_Dots, Ornament_Button, CORNER_BLOCK, true, false, 0, {"#ff70a6", "#fff4f8", "#ffd23f"}},
      {"denim", Band_Denim, nullptr, nullptr, CORNER_MITRE, true, false, 2, {"#3f5f9c", "#f4a259"}},
      {"candy", Band_Rope, Motif_Candy, nullptr, CORNER_ROUND, false, true, 0, {"#e63946", "#fdf6f6"}},
      {"lights", Band_Wire, Motif_Bulbs, Ornament_Bulb_Star, CORNER_BLOCK, true, false, 0,
       {"#2f4f3a", "#ff595e", "#ffca3a", "#8ac926", "#1982c4", "#ff70a6"}},
      {"staff", Band_Staff, Motif_Notes, Ornament_Clef, CORNER_BLOCK, true, false, 0,
       {"#3d405b", "#e63946", "#1982c4", "#fff3d6", "#6a4c93"}},
      {"snowflakes", Band_Ice, Motif_Flake, Ornament_Flake, CORNER_BLOCK, true, false, 0, {"#a9def9", "#fdfdff", "#4895ef"}},
      {"daisies", Band_Stem, Motif_Daisy, Ornament_Daisy, CORNER_BLOCK, true, false, 0, {"#4caf50", "#6b8e23", "#fffaf0", "#ffc21a"}},
      {"bamboo", Band_Bamboo, Motif_Bamboo, nullptr, CORNER_MITRE, true, false, 0, {"#8cc152"}},
      {"chain", nullptr, Motif_Chain, Ornament_Chain, CORNER_BLOCK, true, true, 0, {"#aab4c3"}},
      {"zigzag", nullptr, Motif_Zigzag, nullptr, CORNER_ROUND, false, true, 0, {"#ff9f1c"}},
      {"records", Band_Thread, Motif_Record, Ornament_Record, CORNER_BLOCK, true, false, 0,
       {"#1c1c22", "#9aa3b5", "#ef476f", "#ffd166", "#06d6a0"}},
      {"harlequin", Band_Harlequin, nullptr, nullptr, CORNER_MITRE, false, true, 0, {"#7b2cbf", "#ffd23f", "#ff70a6"}},
  };
  return styles;
}

// ---------------------------------------------------------------------------
// Pieces
// ---------------------------------------------------------------------------
void Draw_Strip(cairo_t* cr, const a_border& b, const a_border_style& st, double x0, double x1) {
  if (st.band != nullptr) st.band(cr, b, x0, x1);
  if (st.motif == nullptr) return;
  const double P = b.P();
  for (long k = long(std::floor(x0 / P)) - 1; k <= long(std::ceil(x1 / P)); ++k) st.motif(cr, b, (double(k) + 0.5) * P, k);
}

// The strip from x0 to x1 (strip coordinates) into a surface of its length.
void Piece(a_surface& s, const a_border& b, const a_border_style& st, double x0, double x1, bool ground_only) {
  cairo_t* cr = s.Cr();
  cairo_save(cr);
  cairo_translate(cr, -x0, 0);
  if (ground_only) {
    if (st.band != nullptr) st.band(cr, b, x0 - 1, x1 + 1);
  } else {
    Draw_Strip(cr, b, st, x0 - b.t, x1 + b.t);
  }
  cairo_restore(cr);
}

// The corner continues the strip from its left edge (x = 0 of the side
// beside it) back to the corner's left edge, mitred: the half above the
// diagonal is the strip, the half below its mirror image across the
// diagonal, pixel by pixel so that no blend marks the mitre.
void Corner_Mitre(a_surface& s, const a_border& b, const a_border_style& st, bool ground_only) {
  const int t = b.t;
  a_surface arm(t, t);
  cairo_t* cr = arm.Cr();
  cairo_translate(cr, t, 0);
  if (ground_only) {
    if (st.band != nullptr) st.band(cr, b, -t - 1, 1);
  } else {
    Draw_Strip(cr, b, st, -2 * t, t);
  }
  arm.Flush();
  s.Flush();
  for (int y = 0; y < t; ++y)
    for (int x = 0; x < t; ++x) s.Row(y)[x] = y <= x ? arm.Row(y)[x] : arm.Row(x)[y];
  s.Mark();
}

// Both arms of the strip's ground straight through the corner.
void Corner_Cross(a_surface& s, const a_border& b, const a_border_style& st) {
  cairo_t* cr = s.Cr();
  for (int arm = 0; arm < 2; ++arm) {
    cairo_save(cr);
    if (arm == 1) {
      cairo_matrix_t m;
      cairo_matrix_init(&m, 0, 1, 1, 0, 0, 0);
      cairo_transform(cr, &m);
    }
    cairo_translate(cr, b.t, 0);
    if (st.band != nullptr) st.band(cr, b, -b.t - 1, 1);
    cairo_restore(cr);
  }
}

// The strip bent round a quarter circle about the corner's inner point,
// a whole number of repeats long at the middle of the strip, so that it
// leaves the corner in step with the side pieces on both edges. Sampled
// 4 x 4 a pixel from the strip drawn four times larger.
void Corner_Round(a_surface& s, const a_border& b, const a_border_style& st) {
  const int t = b.t, k = 4;
  const double P = b.P();
  const double arc = kPi / 2 * (t * (1 - st.bend));
  const double A = std::max(1.0, std::round(arc / P)) * P;
  const int margin = 2 * t;
  a_surface strip(int32_t((A + 2 * margin) * k), t * k);
  cairo_t* sc = strip.Cr();
  cairo_scale(sc, k, k);
  cairo_translate(sc, A + margin, 0);
  Draw_Strip(sc, b, st, -A - margin, margin);
  strip.Flush();
  s.Flush();
  for (int py = 0; py < t; ++py) {
    uint32_t* row = s.Row(py);
    for (int px = 0; px < t; ++px) {
      double acc[4] = {0, 0, 0, 0};
      for (int sy = 0; sy < k; ++sy) {
        for (int sx = 0; sx < k; ++sx) {
          const double dx = px + (sx + 0.5) / k - t, dy = py + (sy + 0.5) / k - t;
          const double r = std::hypot(dx, dy), depth = t - r;
          if (depth < 0) continue;
          const double ang = std::atan2(-dx, -dy);  // 0 at the right edge, pi / 2 at the bottom
          const double xs = -ang / (kPi / 2) * A;
          const int ix = int(std::floor((xs + A + margin) * k)), iy = std::min(t * k - 1, int(depth * k));
          if (ix < 0 || ix >= strip.W()) continue;
          const uint32_t v = strip.Row(iy)[ix];
          for (int c = 0; c < 4; ++c) acc[c] += double((v >> (8 * c)) & 0xFF);
        }
      }
      uint32_t out = 0;
      for (int c = 0; c < 4; ++c) out |= uint32_t(std::lround(acc[c] / (k * k))) << (8 * c);
      row[px] = out;
    }
  }
  s.Mark();
}

// The white rule, and no pixel of the separator's colour.
a_art_image Finish(const a_surface& s) {
  a_art_image img = Cut_On_White(s);
  for (size_t i = 0; i < img.rgba.size(); i += 4) {
    uint8_t* p = &img.rgba[i];
    if (p[0] == kSepR && p[1] == kSepG && p[2] == kSepB) p[1] = kSepG - 1;
  }
  return img;
}

struct a_pieces {
  a_art_image corner, side, sliver;
};

a_pieces Draw_Pieces(const a_border& b, const a_border_style& st) {
  a_pieces out;
  {
    a_surface s(b.side, b.t);
    Piece(s, b, st, 0, b.side, false);
    out.side = Finish(s);
  }
  if (b.sliver > 0) {
    a_surface s(b.sliver, b.t);
    const bool one_repeat = std::fabs(b.sliver - b.P()) < 1e-9;
    Piece(s, b, st, 0, b.sliver, !one_repeat);
    out.sliver = Finish(s);
  }
  a_surface c(b.t, b.t);
  if (b.cls >= 3) {
    Corner_Cross(c, b, st);
    if (st.ornament != nullptr) st.ornament(c.Cr(), b);
  } else if (st.corner == CORNER_ROUND) {
    Corner_Round(c, b, st);
  } else if (st.corner == CORNER_MITRE) {
    Corner_Mitre(c, b, st, false);
  } else {
    Corner_Mitre(c, b, st, true);
    if (st.ornament != nullptr) st.ornament(c.Cr(), b);
  }
  out.corner = Finish(c);
  return out;
}

// ---------------------------------------------------------------------------
// The picture
// ---------------------------------------------------------------------------
struct a_canvas32 {
  a_art_image img;
  a_canvas32(int32_t w, int32_t h) {
    img.width = w;
    img.height = h;
    img.rgba.assign(size_t(w) * size_t(h) * 4, 255);
  }
  void Set(int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t bl) {
    uint8_t* p = &img.rgba[(size_t(y) * size_t(img.width) + size_t(x)) * 4];
    p[0] = r;
    p[1] = g;
    p[2] = bl;
    p[3] = 255;
  }
  void Sep(int32_t x, int32_t y) { Set(x, y, kSepR, kSepG, kSepB); }
  void Put(const a_art_image& piece, int32_t x0, int32_t y0) {
    for (int32_t y = 0; y < piece.height; ++y)
      std::copy_n(&piece.rgba[size_t(y) * size_t(piece.width) * 4], size_t(piece.width) * 4,
                  &img.rgba[(size_t(y + y0) * size_t(img.width) + size_t(x0)) * 4]);
  }
};

a_art_image Lay_Out(const a_border& b, const a_pieces& p) {
  const int32_t t = b.t, L = b.side, l = b.sliver;
  if (b.below) {
    // Corner at (1, 1), its right edge the last column; the side below it.
    const int32_t W = t + 2, H = 2 * t + 3, Bc = t + 1, Rs = L + 1;
    a_canvas32 c(W, H);
    for (int32_t y = 0; y < H; ++y) c.Sep(0, y);
    for (int32_t x = 0; x < W; ++x) c.Sep(x, 0);
    for (int32_t y = 0; y < Bc; ++y) c.Sep(W - 1, y);
    for (int32_t x = 0; x <= Rs; ++x) c.Sep(x, Bc), c.Sep(x, H - 1);
    for (int32_t y = Bc; y < H; ++y) c.Sep(Rs, y);
    c.Put(p.corner, 1, 1);
    c.Put(p.side, 1, Bc + 1);
    return c.img;
  }
  const int32_t Rc = t + 1, Rs = Rc + 1 + L, Rv = l > 0 ? Rs + 1 + l : Rs;
  const int32_t W = Rv + 2, H = t + 2;
  a_canvas32 c(W, H);
  for (int32_t x = 0; x <= Rv; ++x) c.Sep(x, 0), c.Sep(x, H - 1);
  for (const int32_t x : {0, Rc, Rs, Rv})
    for (int32_t y = 0; y < H; ++y) c.Sep(x, y);
  c.Put(p.corner, 1, 1);
  c.Put(p.side, Rc + 1, 1);
  if (l > 0) c.Put(p.sliver, Rs + 1, 1);
  // The class markers: white, magenta, then black in row 1 + class.
  c.Set(W - 1, 1, 255, 0, 255);
  c.Set(W - 1, 1 + b.cls, 0, 0, 0);
  return c.img;
}

// ---------------------------------------------------------------------------
// The table
// ---------------------------------------------------------------------------
bool Parse_Border(const a_table_row& r, a_border& b, const a_border_style*& st, std::string& err) {
  if (!Parse_Row_Key(r, ART_BORDER, b.key, b.style, b.name, err)) return false;
  const int64_t g = b.key.b, i = b.key.c;
  st = nullptr;
  for (const a_border_style& one : Styles())
    if (b.style == one.name) st = &one;
  if (st == nullptr) {
    err = r.Where() + ": no border style " + b.style;
    return false;
  }
  static const std::set<std::string> known = {"class", "thick", "side", "repeat", "sliver", "layout", "colors", "seed"};
  for (const auto& [name, value] : r.options) {
    if (known.count(name) == 0) {
      err = r.Where() + ": unknown option " + name;
      return false;
    }
  }
  for (const char* need : {"class", "thick", "side"}) {
    if (r.options.count(need) == 0) {
      err = r.Where() + ": " + need + "= is needed";
      return false;
    }
  }
  int64_t v = 0;
  if (!r.Int("class", 1, ART_BORDER_CLASSES, 2, v, err)) return false;
  b.cls = int(v);
  if (!r.Int("thick", ART_BORDER_MIN_THICK, ART_BORDER_MAX_THICK, 24, v, err)) return false;
  b.t = int(v);
  if (!r.Int("side", 4, 160, 48, v, err)) return false;
  b.side = int(v);
  if (!r.Int("repeat", 1, 32, 1, v, err)) return false;
  b.repeat = int(v);
  if (!r.Int("sliver", 0, b.side, 0, v, err)) return false;
  b.sliver = int(v);
  const std::string layout = r.Text("layout", "beside");
  if (layout != "beside" && layout != "below") {
    err = r.Where() + ": layout=beside or layout=below expected";
    return false;
  }
  b.below = layout == "below";
  if (b.side % b.repeat != 0) {
    err = r.Where() + ": side=" + std::to_string(b.side) + " is not " + std::to_string(b.repeat) + " whole repeats";
    return false;
  }
  const int P = b.side / b.repeat;
  if (b.cls >= 3 && !st->symmetric) {
    err = r.Where() + ": style " + b.style + " differs from edge to edge, so class " + std::to_string(b.cls) +
          " cannot copy its corner unchanged";
    return false;
  }
  if (b.below && (b.cls != 2 || b.sliver != 0 || b.side >= b.t)) {
    err = r.Where() + ": layout=below is read as class 2 without a sliver, its side shorter than thick";
    return false;
  }
  if (st->continuous && b.sliver != 0 && b.sliver != P) {
    err = r.Where() + ": style " + b.style + " has no gaps: sliver= must be one repeat (" + std::to_string(P) + ")";
    return false;
  }
  if (st->band_div > 0) {
    if (P % st->band_div != 0) {
      err = r.Where() + ": style " + b.style + " needs a repeat that divides by " + std::to_string(st->band_div);
      return false;
    }
    const int pitch = P / st->band_div;
    if (b.sliver % pitch != 0) {
      err = r.Where() + ": style " + b.style + " needs a sliver of whole steps of " + std::to_string(pitch);
      return false;
    }
  }
  if (!Parse_Colours(r, b.style, st->colours, b.cols, err)) return false;
  int64_t seed = 0;
  if (!r.Int("seed", 0, INT32_MAX, g * 1000 + i, seed, err)) return false;
  b.seed = Seed_Of("border:" + b.style, seed);
  return true;
}

}  // namespace

bool Border_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err) {
  std::vector<a_table_row> rows;
  if (!Read_Table(ctx, "borders.txt", rows, err)) return false;
  std::vector<std::pair<a_border, const a_border_style*>> all;
  std::set<std::pair<int16_t, int16_t>> keys;
  for (const a_table_row& r : rows) {
    a_border b;
    const a_border_style* st = nullptr;
    if (!Parse_Border(r, b, st, err)) return false;
    if (!keys.emplace(b.key.b, b.key.c).second) {
      err = r.Where() + ": the key " + Key_Name(b.key) + " is taken";
      return false;
    }
    all.emplace_back(std::move(b), st);
  }
  // A few jobs of several borders each: every border is small.
  const size_t per_job = 4;
  for (size_t first = 0; first < all.size(); first += per_job) {
    std::vector<std::pair<a_border, const a_border_style*>> some(all.begin() + long(first),
                                                                 all.begin() + long(std::min(all.size(), first + per_job)));
    jobs.push_back(a_art_job{"borders from " + Key_Name(some.front().first.key),
                             [some](std::vector<a_art_object>& out, std::string& e) {
                               for (const auto& [b, st] : some) {
                                 a_art_object o;
                                 o.key = b.key;
                                 if (!Pixt_Encode32_RLE(Lay_Out(b, Draw_Pieces(b, *st)), 0, o.data, e)) return false;
                                 out.push_back(std::move(o));
                               }
                               return true;
                             }});
  }
  return true;
}
