// The drawing of the interface items' art: faces (buttons, grid strips,
// tabs, check boxes), the icons of every motif, and the slider's parts.
//
// One look with the rest of the interface: cool light greys, one blue for
// what is current or pressed, slate ink, and the glossy tools of the
// cursors (yellow-handled brush, red spray can, metal pail, blue paint).
// Icons are drawn on a 24-pixel grid, lines on whole or half pixels so that
// they stay crisp. Art that is not translucent is laid on the panel colour
// and left pure white where nothing is drawn (the interface leaves white
// out); no drawn pixel is pure white.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>

#include "Interface.h"

namespace {

constexpr double kPi = M_PI;

a_rgb Rgb(int r, int g, int b) { return a_rgb{r / 255.0, g / 255.0, b / 255.0}; }

// The panel behind the items (the light stripe's mean colour), and the dark
// stripe of the start screen's list area.
const a_rgb kPanel = Rgb(ART_LIGHT_STRIPE_RGB[0], ART_LIGHT_STRIPE_RGB[1], ART_LIGHT_STRIPE_RGB[2]);
const a_rgb kDarkGround = Rgb(98, 108, 130);
// Faces and frames.
const a_rgb kFaceTop = Rgb(253, 253, 254), kFaceBottom = Rgb(226, 230, 238);
const a_rgb kPressTop = Rgb(203, 210, 223), kPressBottom = Rgb(222, 227, 236);
const a_rgb kOnTop = Rgb(196, 214, 246), kOnBottom = Rgb(216, 229, 252);
const a_rgb kDimFace = Rgb(239, 241, 245), kDimFrame = Rgb(208, 212, 221);
const a_rgb kFrame = Rgb(150, 158, 176), kFrameDark = Rgb(118, 128, 150);
const a_rgb kAccent = Rgb(61, 111, 214), kAccentDark = Rgb(38, 80, 170);
const a_rgb kShade = Rgb(20, 30, 50);
const a_rgb kLight = Rgb(254, 254, 254);
// Ink and the paint of the icons.
const a_rgb kInk = Rgb(39, 52, 77), kIcon = Rgb(62, 84, 126), kOutline = Rgb(46, 51, 56);
const a_rgb kBlue = Rgb(47, 111, 208), kBlueLight = Rgb(125, 180, 246), kBlueDeep = Rgb(27, 69, 151);
const a_rgb kRed = Rgb(226, 69, 47), kRedLight = Rgb(244, 123, 102), kRedDeep = Rgb(158, 35, 23);
const a_rgb kGreen = Rgb(46, 168, 74), kGreenLight = Rgb(123, 224, 143), kGreenDeep = Rgb(23, 112, 47);
const a_rgb kGold = Rgb(237, 179, 71), kGoldLight = Rgb(252, 228, 154), kGoldDeep = Rgb(176, 108, 30);
const a_rgb kMetal = Rgb(205, 211, 217), kMetalLight = Rgb(246, 248, 250), kMetalDeep = Rgb(115, 123, 132);
const a_rgb kPaper = Rgb(252, 252, 250), kPaperEdge = Rgb(150, 158, 176);
const a_rgb kPink = Rgb(247, 190, 196), kPinkDeep = Rgb(214, 120, 134);
const a_rgb kSky = Rgb(150, 200, 250), kSkyLow = Rgb(214, 236, 252), kHill = Rgb(86, 170, 88), kHillDeep = Rgb(48, 120, 60);

// ---------------------------------------------------------------------------
// Paths and paints
// ---------------------------------------------------------------------------
// A rectangle with its own radius at each corner (top left, top right,
// bottom right, bottom left).
void Rounded(cairo_t* cr, double x, double y, double w, double h, double tl, double tr, double br, double bl) {
  cairo_new_sub_path(cr);
  if (tr > 0) cairo_arc(cr, x + w - tr, y + tr, tr, -kPi / 2, 0); else cairo_move_to(cr, x + w, y);
  if (br > 0) cairo_arc(cr, x + w - br, y + h - br, br, 0, kPi / 2); else cairo_line_to(cr, x + w, y + h);
  if (bl > 0) cairo_arc(cr, x + bl, y + h - bl, bl, kPi / 2, kPi); else cairo_line_to(cr, x, y + h);
  if (tl > 0) cairo_arc(cr, x + tl, y + tl, tl, kPi, 1.5 * kPi); else cairo_line_to(cr, x, y);
  cairo_close_path(cr);
}
void Rounded(cairo_t* cr, double x, double y, double w, double h, double r) { Rounded(cr, x, y, w, h, r, r, r, r); }

void Linear(cairo_t* cr, double x0, double y0, double x1, double y1, const a_rgb& c0, const a_rgb& c1, double alpha = 1) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
  Add_Stop(p, 0, c0, alpha);
  Add_Stop(p, 1, c1, alpha);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}
void Linear3(cairo_t* cr, double x0, double y0, double x1, double y1, const a_rgb& c0, const a_rgb& c1, const a_rgb& c2) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
  Add_Stop(p, 0, c0);
  Add_Stop(p, 0.45, c1);
  Add_Stop(p, 1, c2);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

// Fills the path with `fill`, then strokes it `width` wide in `edge`.
void Fill_Stroke(cairo_t* cr, const a_rgb& fill, const a_rgb& edge, double width = 1, double alpha = 1) {
  Set_Rgb(cr, fill, alpha);
  cairo_fill_preserve(cr);
  Set_Rgb(cr, edge, alpha);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}
// The same with the fill already set as the source (a gradient).
void Then_Stroke(cairo_t* cr, const a_rgb& edge, double width = 1, double alpha = 1) {
  cairo_fill_preserve(cr);
  Set_Rgb(cr, edge, alpha);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

void Stroke(cairo_t* cr, const a_rgb& c, double width, double alpha = 1, bool round = true) {
  cairo_set_line_cap(cr, round ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(cr, round ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
  cairo_set_line_width(cr, width);
  Set_Rgb(cr, c, alpha);
  cairo_stroke(cr);
}

void Seg(cairo_t* cr, double x0, double y0, double x1, double y1, const a_rgb& c, double width, bool round = false) {
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  Stroke(cr, c, width, 1, round);
}

void Box(cairo_t* cr, double x, double y, double w, double h, const a_rgb& c, double alpha = 1) {
  cairo_rectangle(cr, x, y, w, h);
  Set_Rgb(cr, c, alpha);
  cairo_fill(cr);
}

void Disc(cairo_t* cr, double cx, double cy, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  Disc(cr, 0, 0, 1);
  cairo_restore(cr);
}

// A closed polygon through the points.
void Poly(cairo_t* cr, std::initializer_list<std::pair<double, double>> points) {
  bool first = true;
  for (const auto& [x, y] : points) {
    if (first) cairo_move_to(cr, x, y);
    else cairo_line_to(cr, x, y);
    first = false;
  }
  cairo_close_path(cr);
}

// An arrow head at (x, y) pointing along angle a (radians), `size` long.
void Arrow_Head(cairo_t* cr, double x, double y, double a, double size, const a_rgb& c) {
  Poly(cr, {{x + std::cos(a) * size * 0.35, y + std::sin(a) * size * 0.35},
            {x - std::cos(a - 0.62) * size, y - std::sin(a - 0.62) * size},
            {x - std::cos(a) * size * 0.45, y - std::sin(a) * size * 0.45},
            {x - std::cos(a + 0.62) * size, y - std::sin(a + 0.62) * size}});
  Set_Rgb(cr, c);
  cairo_fill(cr);
}

// A straight arrow from (x0, y0) to (x1, y1), head at the end (and at the
// start too when `both`).
void Arrow(cairo_t* cr, double x0, double y0, double x1, double y1, const a_rgb& c, double width, double head,
           bool both = false) {
  const double a = std::atan2(y1 - y0, x1 - x0);
  const double inset = head * 0.5;
  cairo_move_to(cr, x0 + (both ? std::cos(a) * inset : 0), y0 + (both ? std::sin(a) * inset : 0));
  cairo_line_to(cr, x1 - std::cos(a) * inset, y1 - std::sin(a) * inset);
  Stroke(cr, c, width, 1, false);
  Arrow_Head(cr, x1, y1, a, head, c);
  if (both) Arrow_Head(cr, x0, y0, a + kPi, head, c);
}

// A circular arrow about (cx, cy), radius r, from angle a0 to a1 (radians,
// clockwise when a1 > a0), its head at a1.
void Turn_Arrow(cairo_t* cr, double cx, double cy, double r, double a0, double a1, const a_rgb& c, double width,
                double head) {
  const bool cw = a1 > a0;
  const double back = head * 0.55 / r;
  if (cw) cairo_arc(cr, cx, cy, r, a0, a1 - back);
  else cairo_arc_negative(cr, cx, cy, r, a0, a1 + back);
  Stroke(cr, c, width, 1, false);
  const double tx = cx + r * std::cos(a1), ty = cy + r * std::sin(a1);
  Arrow_Head(cr, tx, ty, a1 + (cw ? kPi / 2 : -kPi / 2), head, c);
}

// Text centred on (cx, cy) by its ink.
void Text_At(cairo_t* cr, const std::string& text, const char* font, double size, double cx, double cy, const a_rgb& c,
             double alpha = 1) {
  Use_Font(cr, font, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  cairo_move_to(cr, std::round(cx - e.width / 2 - e.x_bearing), std::round(cy - e.height / 2 - e.y_bearing));
  Set_Rgb(cr, c, alpha);
  cairo_show_text(cr, text.c_str());
}

// The outline of a text centred on (cx, cy), as a path.
void Text_Path(cairo_t* cr, const std::string& text, const char* font, double size, double cx, double cy) {
  Use_Font(cr, font, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  cairo_move_to(cr, std::round(cx - e.width / 2 - e.x_bearing), std::round(cy - e.height / 2 - e.y_bearing));
  cairo_text_path(cr, text.c_str());
}

// ---------------------------------------------------------------------------
// Small pictures the icons are made of
// ---------------------------------------------------------------------------
// A photograph: sky, sun, hills, in a thin frame. Whole-pixel box.
void Photo(cairo_t* cr, double x, double y, double w, double h) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  Linear(cr, 0, y, 0, y + h, kSky, kSkyLow);
  cairo_paint(cr);
  Disc(cr, x + w * 0.72, y + h * 0.3, std::max(1.3, h * 0.13));
  Set_Rgb(cr, kGold);
  cairo_fill(cr);
  cairo_move_to(cr, x - 1, y + h);
  cairo_line_to(cr, x - 1, y + h * 0.72);
  cairo_curve_to(cr, x + w * 0.25, y + h * 0.42, x + w * 0.45, y + h * 0.5, x + w * 0.6, y + h * 0.7);
  cairo_curve_to(cr, x + w * 0.75, y + h * 0.55, x + w * 0.9, y + h * 0.56, x + w + 1, y + h * 0.66);
  cairo_line_to(cr, x + w + 1, y + h);
  cairo_close_path(cr);
  Linear(cr, 0, y + h * 0.45, 0, y + h, kHill, kHillDeep);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
  Stroke(cr, kOutline, 1, 0.85, false);
}

// A sheet of paper with its corner turned down.
void Page(cairo_t* cr, double x, double y, double w, double h, double fold) {
  Poly(cr, {{x + 0.5, y + 0.5}, {x + w - fold - 0.5, y + 0.5}, {x + w - 0.5, y + fold + 0.5}, {x + w - 0.5, y + h - 0.5},
            {x + 0.5, y + h - 0.5}});
  Linear(cr, x, y, x + w, y + h, kPaper, Rgb(226, 231, 240));
  Then_Stroke(cr, kIcon);
  cairo_move_to(cr, x + w - fold - 0.5, y + 0.5);
  cairo_line_to(cr, x + w - fold - 0.5, y + fold + 0.5);
  cairo_line_to(cr, x + w - 0.5, y + fold + 0.5);
  Stroke(cr, kIcon, 1, 1, false);
}

// A round badge in the lower right: green with a plus (add) or a check
// (done), red with a cross (clear).
enum a_badge { BADGE_PLUS, BADGE_CHECK, BADGE_CROSS };
void Badge(cairo_t* cr, double cx, double cy, a_badge kind) {
  const bool green = kind != BADGE_CROSS;
  Disc(cr, cx, cy, 5.5);
  Linear3(cr, cx - 5, cy - 5, cx + 5, cy + 5, green ? kGreenLight : kRedLight, green ? kGreen : kRed,
          green ? kGreenDeep : kRedDeep);
  Then_Stroke(cr, green ? kGreenDeep : kRedDeep);
  switch (kind) {
    case BADGE_PLUS:
      Seg(cr, cx - 3, cy, cx + 3, cy, kLight, 2);
      Seg(cr, cx, cy - 3, cx, cy + 3, kLight, 2);
      break;
    case BADGE_CHECK:
      cairo_move_to(cr, cx - 2.5, cy);
      cairo_line_to(cr, cx - 0.7, cy + 2);
      cairo_line_to(cr, cx + 2.5, cy - 2.2);
      Stroke(cr, kLight, 1.7);
      break;
    case BADGE_CROSS:
      Seg(cr, cx - 2.2, cy - 2.2, cx + 2.2, cy + 2.2, kLight, 1.8, true);
      Seg(cr, cx + 2.2, cy - 2.2, cx - 2.2, cy + 2.2, kLight, 1.8, true);
      break;
  }
}

// A disc (the medium): silver with a hub and hole.
void Medium(cairo_t* cr, double cx, double cy, double r) {
  Disc(cr, cx, cy, r);
  cairo_pattern_t* p = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
  Add_Stop(p, 0, Rgb(236, 240, 246));
  Add_Stop(p, 0.35, Rgb(190, 214, 246));
  Add_Stop(p, 0.55, Rgb(232, 214, 246));
  Add_Stop(p, 1, Rgb(170, 180, 196));
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
  Then_Stroke(cr, kIcon);
  Disc(cr, cx, cy, r * 0.34);
  Fill_Stroke(cr, Rgb(228, 232, 240), kIcon);
  Disc(cr, cx, cy, r * 0.14);
  Set_Rgb(cr, kPanel);
  cairo_fill_preserve(cr);
  Stroke(cr, kIcon, 1);
}

// A printer: grey body, paper out of the top, a tray in front.
void Printer(cairo_t* cr, double x, double y, double s) {
  const double k = s / 24;
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, k, k);
  // Paper in.
  cairo_rectangle(cr, 6.5, 2.5, 11, 8);
  Fill_Stroke(cr, kPaper, kIcon);
  // Body.
  Rounded(cr, 2.5, 8.5, 19, 9, 2);
  Linear(cr, 0, 8, 0, 18, Rgb(214, 219, 228), Rgb(150, 158, 176));
  Then_Stroke(cr, kInk);
  Box(cr, 16, 11, 3, 1.5, kGreen);
  // Paper out, with lines of print.
  cairo_rectangle(cr, 6.5, 14.5, 11, 7);
  Fill_Stroke(cr, kPaper, kIcon);
  Seg(cr, 8.5, 17, 15.5, 17, kBlue, 1);
  Seg(cr, 8.5, 19, 13.5, 19, kRed, 1);
  cairo_restore(cr);
}

// A pencil from (x0, y0) (the point) towards (x1, y1).
void Pencil(cairo_t* cr, double x0, double y0, double x1, double y1, double thick) {
  cairo_save(cr);
  cairo_translate(cr, x0, y0);
  cairo_rotate(cr, std::atan2(y1 - y0, x1 - x0));
  const double len = std::hypot(x1 - x0, y1 - y0), t = thick / 2;
  // Lead and wood.
  Poly(cr, {{0, 0}, {5, -t}, {5, t}});
  Fill_Stroke(cr, kGoldLight, kOutline, 0.8);
  Poly(cr, {{0, 0}, {1.8, -t * 0.36}, {1.8, t * 0.36}});
  Set_Rgb(cr, kOutline);
  cairo_fill(cr);
  // Body, ferrule, rubber.
  cairo_rectangle(cr, 5, -t, len - 9, thick);
  Linear3(cr, 0, -t, 0, t, kGoldLight, kGold, kGoldDeep);
  Then_Stroke(cr, kOutline, 0.8);
  cairo_rectangle(cr, len - 4, -t, 1.6, thick);
  Fill_Stroke(cr, kMetal, kOutline, 0.8);
  Rounded(cr, len - 2.4, -t, 2.4, thick, 0, 1, 1, 0);
  Fill_Stroke(cr, kPink, kOutline, 0.8);
  cairo_restore(cr);
}

// A magnifying glass: the lens centred on (cx, cy), the handle down right.
void Magnifier(cairo_t* cr, double cx, double cy, double r) {
  Seg(cr, cx + r * 0.7, cy + r * 0.7, cx + r * 1.75, cy + r * 1.75, kInk, 3, true);
  Disc(cr, cx, cy, r);
  Set_Rgb(cr, Rgb(214, 236, 252), 0.85);
  cairo_fill_preserve(cr);
  Stroke(cr, kInk, 1.8);
}

// ---------------------------------------------------------------------------
// Faces
// ---------------------------------------------------------------------------
// How a face or its content looks.
enum a_look { LOOK_PLAIN, LOOK_PRESSED, LOOK_ON, LOOK_DIM, LOOK_LIT };

struct a_face_colors {
  a_rgb top, bottom, frame;
  double highlight, shadow;
};

a_face_colors Face_Colors(a_look look, bool accent) {
  switch (look) {
    case LOOK_PRESSED: return {kPressTop, kPressBottom, kFrameDark, 0, 0.1};
    case LOOK_ON: return {kOnTop, kOnBottom, kAccentDark, 0, 0.1};
    case LOOK_DIM: return {kDimFace, kDimFace, kDimFrame, 0, 0};
    default:
      if (accent) return {Rgb(241, 246, 255), Rgb(212, 226, 251), kAccent, 0.75, 0.14};
      return {kFaceTop, kFaceBottom, kFrame, 0.75, 0.14};
  }
}

// The inside of a pressed or lit face, drawn along its frame only (the
// middle stays the panel's own, which costs nothing to store): pressed, a
// shade falling from the top and the left edge; lit (current, on), a rim of
// light blue inside a blue frame and a faint shade under the top.
void Inner_Rim(cairo_t* cr, double x, double y, double w, double h, const double r[4], a_look look) {
  auto inset = [&](double d) {
    Rounded(cr, x + d, y + d, w - 2 * d, h - 2 * d, std::max(0.0, r[0] - d), std::max(0.0, r[1] - d),
            std::max(0.0, r[2] - d), std::max(0.0, r[3] - d));
  };
  cairo_save(cr);
  inset(1);
  cairo_clip(cr);
  if (look == LOOK_ON) {
    inset(2);
    Stroke(cr, Rgb(150, 186, 240), 2, 0.95, false);
    inset(3.5);
    Stroke(cr, kOnTop, 1, 0.7, false);
    Box(cr, x, y + 1, w, 1, kShade, 0.14);
  } else {
    Box(cr, x, y + 1, w, 1, kShade, 0.22);
    Box(cr, x, y + 2, w, 1, kShade, 0.09);
    Box(cr, x + 1, y, 1, h, kShade, 0.1);
  }
  cairo_restore(cr);
}

// A face over (x, y, w, h) with the given corner radii; its soft shadow
// takes the last row. Faces are hollow (a frame, a light line under its
// top, and the rims above, on the panel itself: the panel's stripes show
// through), except on a dark ground, where they are filled.
void Face(cairo_t* cr, double x, double y, double w, double h, const double r[4], a_look look, bool accent = false,
          bool filled = false) {
  const a_face_colors c = Face_Colors(look, accent);
  if (c.shadow > 0) {
    Rounded(cr, x + 0.5, y + 1.5, w - 1, h - 1.5, r[0], r[1], r[2], r[3]);
    Stroke(cr, kShade, 1, c.shadow);
  }
  Rounded(cr, x + 0.5, y + 0.5, w - 1, h - 1.5, r[0], r[1], r[2], r[3]);
  if (filled) {
    Linear(cr, 0, y, 0, y + h - 1, c.top, c.bottom);
    cairo_fill_preserve(cr);
  }
  Stroke(cr, c.frame, accent && look == LOOK_PLAIN ? 1.5 : 1, 1, false);
  const double in = std::max(r[0], r[1]) * 0.8 + 1;
  if (c.highlight > 0) Seg(cr, x + in, y + 1.5, x + w - in, y + 1.5, kLight, 1);
  if (!filled && (look == LOOK_PRESSED || look == LOOK_ON)) Inner_Rim(cr, x, y, w, h - 1, r, look);
}

void Face(cairo_t* cr, double x, double y, double w, double h, double r, a_look look, bool accent = false,
          bool filled = false) {
  const double rr[4] = {r, r, r, r};
  Face(cr, x, y, w, h, rr, look, accent, filled);
}

// One cell of a strip of cells that share their edges: a hollow face, its
// outer corners (those of the strip) rounded.
void Cell_Face(cairo_t* cr, double x, double y, double w, double h, const double r[4], a_look look) {
  a_rgb frame = kFrame;
  if (look == LOOK_ON) frame = kAccentDark;
  if (look == LOOK_DIM) frame = kDimFrame;
  Rounded(cr, x + 0.5, y + 0.5, w - 1, h - 1, r[0], r[1], r[2], r[3]);
  Stroke(cr, frame, 1, 1, false);
  if (look == LOOK_ON) Inner_Rim(cr, x, y, w, h, r, LOOK_ON);
  else if (look == LOOK_PLAIN) Seg(cr, x + 1 + r[0] * 0.6, y + 1.5, x + w - 1 - r[1] * 0.6, y + 1.5, kLight, 1);
}

// A tab standing on the line below it: rounded top corners.
void Tab_Face(cairo_t* cr, double x, double y, double w, double h, a_look look) {
  const double r = 7;
  auto outline = [&] {
    cairo_new_path(cr);
    cairo_move_to(cr, x + 0.5, y + h);
    cairo_arc(cr, x + 0.5 + r, y + 0.5 + r, r, kPi, 1.5 * kPi);
    cairo_arc(cr, x + w - 0.5 - r, y + 0.5 + r, r, 1.5 * kPi, 2 * kPi);
    cairo_line_to(cr, x + w - 0.5, y + h);
  };
  a_rgb frame = kFrame;
  if (look == LOOK_ON) frame = kAccentDark;
  if (look == LOOK_DIM) frame = kDimFrame;
  outline();
  Stroke(cr, frame, 1, 1, false);
  if (look == LOOK_ON) {
    // The current tab: a band of the accent along its top.
    cairo_save(cr);
    outline();
    cairo_close_path(cr);
    cairo_clip(cr);
    Linear(cr, 0, y, 0, y + 4, kAccent, kAccentDark);
    cairo_rectangle(cr, x, y, w, 4);
    cairo_fill(cr);
    cairo_restore(cr);
  } else {
    // Not current: it stands behind, closed by the line below it.
    Seg(cr, x, y + h - 0.5, x + w, y + h - 0.5, frame, 1);
    if (look == LOOK_PLAIN) Seg(cr, x + r, y + 1.5, x + w - r, y + 1.5, kLight, 1);
  }
}

// A check box in a square of side s: off (empty), on (blue with a check).
void Check_Box(cairo_t* cr, double s, bool on, bool page) {
  const double b = 18, o = std::floor((s - b) / 2);
  if (page) {
    // Seen on the current page's tab: a blue halo round it.
    Rounded(cr, o - 2.5, o - 2.5, b + 5, b + 5, 6);
    Set_Rgb(cr, kAccent, 0.28);
    cairo_fill_preserve(cr);
    Stroke(cr, kAccent, 1, 0.6);
  }
  Rounded(cr, o + 0.5, o + 1.5, b - 1, b - 1, 3.5);
  Stroke(cr, kShade, 1, 0.12);
  Rounded(cr, o + 0.5, o + 0.5, b - 1, b - 1, 3.5);
  if (on) Linear(cr, 0, o, 0, o + b, Rgb(96, 146, 232), kAccentDark);
  else Linear(cr, 0, o, 0, o + b, Rgb(246, 247, 250), kPaper);
  Then_Stroke(cr, on ? kAccentDark : kFrameDark);
  if (on) {
    cairo_move_to(cr, o + 4.5, o + 9.5);
    cairo_line_to(cr, o + 7.8, o + 12.8);
    cairo_line_to(cr, o + 13.5, o + 5.5);
    Stroke(cr, kLight, 2.4);
  }
}

// ---------------------------------------------------------------------------
// Icons on a 24-pixel grid
// ---------------------------------------------------------------------------
// Filled shapes of the paint tools: blue paint, dark blue edge.
void Paint_Fill(cairo_t* cr, double y0, double y1) {
  Linear(cr, 0, y0, 0, y1, kBlueLight, kBlue);
  Then_Stroke(cr, kBlueDeep, 1.2);
}
void Paint_Frame(cairo_t* cr) {
  Stroke(cr, kBlue, 2.4, 1, false);
}

// A tool lying along the line from (x0, y0) to (x1, y1): local x runs
// along it, y across.
void Along(cairo_t* cr, double x0, double y0, double x1, double y1) {
  cairo_translate(cr, x0, y0);
  cairo_rotate(cr, std::atan2(y1 - y0, x1 - x0));
}

void Icon_Brush(cairo_t* cr) {
  cairo_save(cr);
  Along(cr, 3, 21, 21.5, 2.5);
  // Handle.
  cairo_move_to(cr, 12, -1.6);
  cairo_curve_to(cr, 17, -2.4, 22, -2.2, 25, -1.5);
  cairo_curve_to(cr, 26.5, -1.1, 26.5, 1.1, 25, 1.5);
  cairo_curve_to(cr, 22, 2.2, 17, 2.4, 12, 1.6);
  cairo_close_path(cr);
  Linear3(cr, 0, -2.4, 0, 2.4, kGoldLight, kGold, kGoldDeep);
  Then_Stroke(cr, kOutline, 0.9);
  // Ferrule.
  cairo_rectangle(cr, 7.5, -2.4, 5, 4.8);
  Linear3(cr, 0, -2.4, 0, 2.4, kMetalLight, kMetal, kMetalDeep);
  Then_Stroke(cr, kOutline, 0.9);
  // Bristles wet with blue.
  cairo_move_to(cr, 7.5, -2.6);
  cairo_curve_to(cr, 4, -3, 1.5, -1.6, 0, 0);
  cairo_curve_to(cr, 1.5, 1.6, 4, 3, 7.5, 2.6);
  cairo_close_path(cr);
  Linear3(cr, 0, -2.6, 0, 2.6, kBlueLight, kBlue, kBlueDeep);
  Then_Stroke(cr, kOutline, 0.9);
  cairo_restore(cr);
}

void Icon_Eraser(cairo_t* cr) {
  cairo_save(cr);
  cairo_translate(cr, 12, 11);
  cairo_rotate(cr, -kPi / 5);
  // The block: a red sleeve over a pale rubber end.
  Rounded(cr, -9, -4.5, 18, 9, 1.5);
  Set_Rgb(cr, kPink);
  cairo_fill(cr);
  Rounded(cr, -9, -4.5, 10, 9, 1.5, 0, 0, 1.5);
  Linear3(cr, 0, -4.5, 0, 4.5, kRedLight, kRed, kRedDeep);
  cairo_fill(cr);
  Rounded(cr, -9, -4.5, 18, 9, 1.5);
  Stroke(cr, kOutline, 1, 1, false);
  Seg(cr, 1, -4.5, 1, 4.5, kOutline, 1);
  cairo_restore(cr);
  // What it rubbed out.
  cairo_move_to(cr, 13, 21.5);
  cairo_line_to(cr, 21, 21.5);
  Stroke(cr, kIcon, 1.2, 0.7);
}

void Icon_Spray(cairo_t* cr) {
  // The can.
  Rounded(cr, 12.5, 9.5, 8, 12, 1.5);
  Linear3(cr, 12, 0, 21, 0, kRedLight, kRed, kRedDeep);
  Then_Stroke(cr, kOutline);
  Box(cr, 13, 13, 7, 3, kPaper);
  Seg(cr, 14, 14.5, 19, 14.5, kBlue, 1);
  Rounded(cr, 13.5, 6.5, 6, 3, 1);
  Linear(cr, 13, 0, 20, 0, kMetalLight, kMetalDeep);
  Then_Stroke(cr, kOutline);
  cairo_rectangle(cr, 15.5, 3.5, 2, 3);
  Fill_Stroke(cr, kInk, kOutline);
  // The cloud of drops.
  const double drops[][2] = {{11, 4},  {8, 3},   {9.5, 6}, {6, 5.5}, {4, 3},   {7, 8},   {3.5, 7.5},
                             {5, 10},  {2, 5},   {10, 1.5}, {6, 1},  {8.5, 10.5}, {1.5, 9.5}, {3.5, 12}};
  for (const auto& d : drops) {
    Disc(cr, d[0], d[1], 0.85);
    Set_Rgb(cr, kBlue);
    cairo_fill(cr);
  }
}

void Icon_Hand(cairo_t* cr) {
  // An open hand: fingers as capsules over a palm.
  const double fingers[][4] = {{7, 5.5, 2.6, 8}, {10.2, 3, 2.8, 10}, {13.5, 3.6, 2.8, 9.5}, {16.6, 6, 2.6, 7.5}};
  auto hand_path = [&] {
    for (const auto& f : fingers) Rounded(cr, f[0], f[1], f[2], f[3] + 4, f[2] / 2);
    // Palm and thumb.
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 7, 12);
    cairo_line_to(cr, 19.2, 12);
    cairo_curve_to(cr, 19.5, 17, 18.5, 20.5, 14, 21.5);
    cairo_line_to(cr, 10.5, 21.5);
    cairo_curve_to(cr, 8, 20.5, 6, 18, 4.5, 15.5);
    cairo_curve_to(cr, 3.2, 13.5, 3.8, 11.5, 5.5, 12.5);
    cairo_line_to(cr, 7, 14.5);
    cairo_close_path(cr);
  };
  hand_path();
  Set_Rgb(cr, kOutline);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  hand_path();
  Linear(cr, 0, 3, 0, 22, kPaper, Rgb(222, 226, 234));
  cairo_fill(cr);
  for (int i = 1; i < 4; ++i) Seg(cr, fingers[i][0] - 0.3, 12, fingers[i][0] - 0.3, 14.5, kFrameDark, 0.8);
}

void Icon_Stamp(cairo_t* cr) {
  // Imprint below.
  Seg(cr, 4, 21.5, 20, 21.5, kBlue, 1.4, true);
  // Rubber pad and block.
  Rounded(cr, 4.5, 15.5, 15, 3, 0.8);
  Fill_Stroke(cr, kRed, kOutline);
  Rounded(cr, 5.5, 11.5, 13, 4, 1);
  Linear3(cr, 0, 11, 0, 16, kGoldLight, kGold, kGoldDeep);
  Then_Stroke(cr, kOutline);
  // Neck and knob.
  cairo_rectangle(cr, 10.5, 7.5, 3, 4);
  Linear(cr, 10, 0, 14, 0, kGoldLight, kGoldDeep);
  Then_Stroke(cr, kOutline);
  Disc(cr, 12, 5.5, 3.5);
  Linear3(cr, 9, 2, 15, 9, kRedLight, kRed, kRedDeep);
  Then_Stroke(cr, kOutline);
}

void Ants(cairo_t* cr, double width = 1.2) {
  // Marching ants: dark dashes over a light line.
  cairo_set_line_width(cr, width + 0.4);
  Set_Rgb(cr, kPaper);
  cairo_stroke_preserve(cr);
  const double dash[] = {2.5, 2};
  cairo_set_dash(cr, dash, 2, 0);
  cairo_set_line_width(cr, width);
  Set_Rgb(cr, kInk);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
}

void Icon_Select(cairo_t* cr) {
  cairo_rectangle(cr, 3.5, 5.5, 17, 13);
  Ants(cr);
}

void Icon_Bucket(cairo_t* cr) {
  // Paint running over the lip.
  cairo_move_to(cr, 5, 10);
  cairo_curve_to(cr, 2.5, 12, 2.5, 17, 3.5, 19);
  cairo_curve_to(cr, 4, 21, 6, 21, 6, 19);
  cairo_curve_to(cr, 6, 16, 6, 13, 8, 11);
  cairo_close_path(cr);
  Linear(cr, 2, 0, 8, 0, kBlueLight, kBlue);
  Then_Stroke(cr, kBlueDeep, 0.9);
  // The pail, tipped to the left.
  cairo_save(cr);
  cairo_translate(cr, 13.5, 12);
  cairo_rotate(cr, -0.45);
  Poly(cr, {{-6, -6}, {6, -6}, {5, 7}, {-5, 7}});
  Linear3(cr, -6, 0, 6, 0, kMetalDeep, kMetalLight, kMetalDeep);
  Then_Stroke(cr, kOutline);
  cairo_save(cr);
  cairo_scale(cr, 1, 0.35);
  Disc(cr, 0, -6 / 0.35, 6);
  cairo_restore(cr);
  Fill_Stroke(cr, kBlue, kOutline, 0.9);
  cairo_arc(cr, 0, -3, 8, kPi * 1.08, kPi * 1.92);
  Stroke(cr, kOutline, 1.1);
  cairo_restore(cr);
}

void Icon_Dropper(cairo_t* cr) {
  cairo_save(cr);
  Along(cr, 3.5, 20.5, 20, 4);
  // Tube with a drop of blue.
  Poly(cr, {{0, 0}, {3, -1.6}, {11, -1.9}, {11, 1.9}, {3, 1.6}});
  Linear(cr, 0, -2, 0, 2, kPaper, Rgb(176, 200, 214));
  Then_Stroke(cr, kOutline, 0.9);
  cairo_rectangle(cr, 2, -1.2, 5, 2.4);
  Set_Rgb(cr, kBlue);
  cairo_fill(cr);
  // Collar and bulb.
  cairo_rectangle(cr, 11, -3, 3, 6);
  Linear3(cr, 0, -3, 0, 3, kMetalLight, kMetal, kMetalDeep);
  Then_Stroke(cr, kOutline, 0.9);
  Rounded(cr, 14, -3.3, 8.5, 6.6, 0, 3.3, 3.3, 0);
  Linear3(cr, 0, -3.3, 0, 3.3, kRedLight, kRed, kRedDeep);
  Then_Stroke(cr, kOutline, 0.9);
  cairo_restore(cr);
}

void Icon_Line(cairo_t* cr) {
  Seg(cr, 4.5, 19.5, 19.5, 4.5, kBlue, 2.6, true);
  for (const double p : {4.5, 19.5}) {
    cairo_rectangle(cr, p - 2, 24 - p - 2, 4, 4);
    Fill_Stroke(cr, kPaper, kInk);
  }
}

// The ring sector of the "furter" tools: part of a ring about a centre
// below the icon.
void Sector_Path(cairo_t* cr) {
  const double cx = 12, cy = 24, r0 = 7.5, r1 = 19;
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, r1, kPi * 1.2, kPi * 1.8);
  cairo_arc_negative(cr, cx, cy, r0, kPi * 1.8, kPi * 1.2);
  cairo_close_path(cr);
}

void Icon_Shape(cairo_t* cr, int shape, bool filled) {
  switch (shape) {
    case 0:  // polygon
      Poly(cr, {{4, 18.5}, {7, 5}, {14, 9}, {20, 4}, {20, 19.5}});
      break;
    case 1:  // oval
      Ellipse(cr, 12, 12, 9, 7);
      break;
    case 2: Sector_Path(cr); break;
    default: cairo_rectangle(cr, 3.5, 5.5, 17, 13); break;  // rectangle
  }
  if (filled) Paint_Fill(cr, 4, 20);
  else Paint_Frame(cr);
}

// The paint tools, in the order of the tool grid.
void Icon_Tool(cairo_t* cr, int tool) {
  switch (tool) {
    case 0: Icon_Brush(cr); break;
    case 1: Icon_Eraser(cr); break;
    case 2: Icon_Spray(cr); break;
    case 3: Icon_Shape(cr, 0, true); break;
    case 4: Icon_Shape(cr, 1, true); break;
    case 5: Icon_Shape(cr, 2, true); break;
    case 6: Icon_Shape(cr, 3, true); break;
    case 7: Icon_Hand(cr); break;
    case 8: Icon_Stamp(cr); break;
    case 9: Icon_Select(cr); break;
    case 10: Icon_Bucket(cr); break;
    case 11: Icon_Line(cr); break;
    case 12: Icon_Shape(cr, 1, false); break;
    case 13: Icon_Shape(cr, 2, false); break;
    case 14: Icon_Shape(cr, 3, false); break;
    default: Icon_Dropper(cr); break;
  }
}

// Mirror images about a dashed axis: a solid half and its ghost.
void Icon_Flip(cairo_t* cr, bool vertical) {
  cairo_save(cr);
  if (vertical) {
    cairo_translate(cr, 24, 0);
    cairo_rotate(cr, kPi / 2);
  }
  Poly(cr, {{10, 5}, {10, 19}, {2.5, 19}});
  Paint_Fill(cr, 5, 19);
  Poly(cr, {{14, 5}, {14, 19}, {21.5, 19}});
  Set_Rgb(cr, kBlueLight, 0.25);
  cairo_fill_preserve(cr);
  const double dash[] = {2, 1.5};
  cairo_set_dash(cr, dash, 2, 0);
  Stroke(cr, kBlueDeep, 1.1, 1, false);
  cairo_set_dash(cr, nullptr, 0, 0);
  Seg(cr, 12, 2, 12, 22, kRed, 1.2);
  cairo_restore(cr);
}

void Icon_Rotate(cairo_t* cr, bool cw) {
  // A picture and the turn arrow round it.
  cairo_save(cr);
  if (!cw) {
    cairo_translate(cr, 24, 0);
    cairo_scale(cr, -1, 1);
  }
  Photo(cr, 7, 8, 10, 8);
  cairo_restore(cr);
  // The arrow runs up the far side and over the top, its head coming down
  // on the side it turns to.
  if (cw) Turn_Arrow(cr, 12, 12, 9.5, kPi * 0.7, kPi * 1.95, kBlue, 2, 5.5);
  else Turn_Arrow(cr, 12, 12, 9.5, kPi * 0.3, -kPi * 0.95, kBlue, 2, 5.5);
}

void Icon_Invert(cairo_t* cr) {
  // A disc half dark, half light, and the colours swapped round it.
  Disc(cr, 12, 12, 8.5);
  Set_Rgb(cr, kPaper);
  cairo_fill(cr);
  cairo_move_to(cr, 12, 3.5);
  cairo_arc(cr, 12, 12, 8.5, -kPi / 2, kPi / 2);
  cairo_close_path(cr);
  Linear(cr, 12, 3, 20, 21, kIcon, kInk);
  cairo_fill(cr);
  Disc(cr, 12, 12, 8.5);
  Stroke(cr, kInk, 1.2);
  Disc(cr, 12, 8, 2.2);
  Set_Rgb(cr, kInk);
  cairo_fill(cr);
  Disc(cr, 12, 16, 2.2);
  Set_Rgb(cr, kPaper);
  cairo_fill(cr);
}

// Align: a guide line and bars of different lengths set against it.
void Icon_Align(cairo_t* cr, int how) {
  cairo_save(cr);
  if (how >= 3) {
    // The vertical group: the horizontal one turned a quarter clockwise, so
    // that its left guide becomes the top one and its right the bottom.
    cairo_translate(cr, 24, 0);
    cairo_rotate(cr, kPi / 2);
    how -= 3;
  }
  const double lens[2] = {14, 9};
  for (int i = 0; i < 2; ++i) {
    const double w = lens[i], y = i == 0 ? 5 : 14;
    const double x = how == 0 ? 4 : how == 1 ? 12 - w / 2 : 20 - w;
    cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, 5);
    Paint_Fill(cr, y, y + 6);
  }
  const double gx = how == 0 ? 3.5 : how == 1 ? 12 : 20.5;
  Seg(cr, gx, 2, gx, 22, kRed, 1.2);
  cairo_restore(cr);
}

void Icon_Spread(cairo_t* cr, bool vertical) {
  cairo_save(cr);
  if (vertical) {
    cairo_translate(cr, 0, 24);
    cairo_rotate(cr, -kPi / 2);
  }
  const double heights[3] = {13, 9, 11};
  for (int i = 0; i < 3; ++i) {
    cairo_rectangle(cr, 2.5 + i * 8, 11 - heights[i] / 2 + 0.5, 4, heights[i] - 1);
    Paint_Fill(cr, 4, 18);
  }
  // The equal spacing, measured from middle to middle.
  Seg(cr, 4.5, 20.5, 20.5, 20.5, kRed, 1);
  for (int i = 0; i < 3; ++i) Seg(cr, 4.5 + i * 8, 18, 4.5 + i * 8, 23, kRed, 1);
  cairo_restore(cr);
}

void Icon_Duplicate(cairo_t* cr) {
  Rounded(cr, 3.5, 3.5, 12, 12, 1.5);
  Fill_Stroke(cr, Rgb(214, 224, 240), kIcon);
  Rounded(cr, 8.5, 8.5, 12, 12, 1.5);
  Linear(cr, 0, 8, 0, 21, kBlueLight, kBlue);
  Then_Stroke(cr, kBlueDeep);
  Seg(cr, 14.5, 11.5, 14.5, 17.5, kLight, 2);
  Seg(cr, 11.5, 14.5, 17.5, 14.5, kLight, 2);
}

void Icon_Trash(cairo_t* cr) {
  // Lid and handle.
  Rounded(cr, 9.5, 2.5, 5, 3, 1, 1, 0, 0);
  Stroke(cr, kOutline, 1, 1, false);
  Rounded(cr, 4.5, 5.5, 15, 3, 1);
  Linear(cr, 0, 5, 0, 9, kMetalLight, kMetalDeep);
  Then_Stroke(cr, kOutline);
  // Can with ribs.
  Poly(cr, {{6, 9.5}, {18, 9.5}, {17, 21.5}, {7, 21.5}});
  Linear3(cr, 6, 0, 18, 0, kMetal, kMetalLight, kMetalDeep);
  Then_Stroke(cr, kOutline);
  for (const double x : {9.5, 12.0, 14.5}) Seg(cr, x, 11.5, x, 19.5, kMetalDeep, 1);
}

void Icon_Star(cairo_t* cr, double cx, double cy, double r) {
  cairo_new_path(cr);
  for (int i = 0; i < 10; ++i) {
    const double a = -kPi / 2 + i * kPi / 5, rr = i % 2 ? r * 0.45 : r;
    if (i == 0) cairo_move_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
    else cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
  }
  cairo_close_path(cr);
  Linear3(cr, cx - r, cy - r, cx + r, cy + r, kGoldLight, kGold, kGoldDeep);
  Then_Stroke(cr, kGoldDeep, 1);
}

void Icon_New_Symbol(cairo_t* cr) {
  Icon_Star(cr, 10.5, 10.5, 8.5);
  Badge(cr, 18, 18, BADGE_PLUS);
}

void Icon_New_Photo(cairo_t* cr) {
  Photo(cr, 2, 4, 17, 13);
  Badge(cr, 18, 18, BADGE_PLUS);
}

void Icon_Replace_Photo(cairo_t* cr) {
  Photo(cr, 2, 2, 14, 11);
  Rounded(cr, 9.5, 11.5, 12, 10, 1);
  Fill_Stroke(cr, Rgb(230, 214, 246), kIcon);
  Turn_Arrow(cr, 15.5, 16.5, 3, kPi * 1.1, kPi * 2.6, kBlue, 1.6, 3.2);
}

void Icon_Collage(cairo_t* cr) {
  // Photos laid out together in one frame.
  Rounded(cr, 1.5, 3.5, 21, 17, 1.5);
  Fill_Stroke(cr, kPaper, kIcon);
  Photo(cr, 3, 5, 10, 14);
  cairo_rectangle(cr, 14.5, 5.5, 6, 6);
  Fill_Stroke(cr, Rgb(250, 190, 150), kIcon, 1);
  Disc(cr, 17.5, 8.5, 1.6);
  Set_Rgb(cr, kRed);
  cairo_fill(cr);
  cairo_rectangle(cr, 14.5, 12.5, 6, 6);
  Fill_Stroke(cr, Rgb(190, 214, 250), kIcon, 1);
  Poly(cr, {{15, 18}, {17.5, 14.5}, {20, 18}});
  Set_Rgb(cr, kBlue);
  cairo_fill(cr);
}

void Icon_Crop(cairo_t* cr) {
  Photo(cr, 6, 6, 12, 12);
  cairo_move_to(cr, 5.5, 1.5);
  cairo_line_to(cr, 5.5, 18.5);
  cairo_line_to(cr, 22.5, 18.5);
  Stroke(cr, kInk, 2, 1, false);
  cairo_move_to(cr, 1.5, 5.5);
  cairo_line_to(cr, 18.5, 5.5);
  cairo_line_to(cr, 18.5, 22.5);
  Stroke(cr, kInk, 2, 1, false);
}

void Icon_Find_Photo(cairo_t* cr) {
  // The missing picture's place, and a glass to look for it.
  cairo_rectangle(cr, 2.5, 3.5, 16, 13);
  Set_Rgb(cr, kPaper);
  cairo_fill_preserve(cr);
  const double dash[] = {2, 1.5};
  cairo_set_dash(cr, dash, 2, 0);
  Stroke(cr, kIcon, 1, 1, false);
  cairo_set_dash(cr, nullptr, 0, 0);
  Magnifier(cr, 13, 13, 4.5);
}

void Icon_New_Text(cairo_t* cr) {
  Text_At(cr, "T", "serif-bold", 20, 10, 11, kInk);
  Badge(cr, 18, 18, BADGE_PLUS);
}

void Icon_Edit_Text(cairo_t* cr) {
  Text_At(cr, "T", "serif-bold", 20, 9, 11, kInk);
  Pencil(cr, 9, 22, 22, 9, 4);
}

void Icon_Clear_Layer(cairo_t* cr) {
  // A painted sheet and the cross that clears it.
  Rounded(cr, 2.5, 3.5, 17, 15, 1.5);
  Fill_Stroke(cr, kPaper, kIcon);
  cairo_move_to(cr, 5, 14);
  cairo_curve_to(cr, 8, 6, 11, 15, 14, 9);
  cairo_curve_to(cr, 15, 7, 16, 7, 17, 8);
  Stroke(cr, kBlue, 2.2);
  Badge(cr, 18, 18, BADGE_CROSS);
}

void Icon_Undo(cairo_t* cr, bool redo) {
  cairo_save(cr);
  if (redo) {
    cairo_translate(cr, 24, 0);
    cairo_scale(cr, -1, 1);
  }
  cairo_move_to(cr, 19, 19);
  cairo_curve_to(cr, 21, 12, 16, 7.5, 9, 8.5);
  Stroke(cr, kBlue, 2.4, 1, false);
  Arrow_Head(cr, 4, 8.8, kPi, 6.5, kBlue);
  cairo_restore(cr);
}

void Icon_Undo_Redo(cairo_t* cr) {
  cairo_save(cr);
  cairo_translate(cr, -2, -3);
  cairo_scale(cr, 0.7, 0.7);
  Icon_Undo(cr, false);
  cairo_restore(cr);
  cairo_save(cr);
  cairo_translate(cr, 9, 7);
  cairo_scale(cr, 0.7, 0.7);
  Icon_Undo(cr, true);
  cairo_restore(cr);
}

// A solid triangle pointing along angle a (radians), centred on (cx, cy).
void Triangle(cairo_t* cr, double cx, double cy, double a, double r, const a_rgb& top, const a_rgb& bottom,
              const a_rgb& edge) {
  cairo_new_path(cr);
  for (int i = 0; i < 3; ++i) {
    const double t = a + i * 2 * kPi / 3;
    if (i == 0) cairo_move_to(cr, cx + r * std::cos(t), cy + r * std::sin(t));
    else cairo_line_to(cr, cx + r * std::cos(t), cy + r * std::sin(t));
  }
  cairo_close_path(cr);
  Linear(cr, 0, cy - r, 0, cy + r, top, bottom);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  Then_Stroke(cr, edge, 1.2);
}

void Icon_Arrow(cairo_t* cr, double angle) { Triangle(cr, 12, 12, angle, 7.5, kBlueLight, kBlue, kBlueDeep); }

void Icon_Row_Index(cairo_t* cr) {
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) {
      cairo_rectangle(cr, 3.5 + c * 6, 6.5 + r * 6, 5, 5);
      Fill_Stroke(cr, r == 0 && c == 0 ? kBlue : Rgb(214, 224, 240), kIcon);
    }
}

void Icon_Print_Setup(cairo_t* cr) {
  Printer(cr, 0, -1, 20);
  // A cog.
  cairo_new_path(cr);
  for (int i = 0; i < 16; ++i) {
    const double a = i * kPi / 8, r = i % 2 ? 4.2 : 5.6;
    if (i == 0) cairo_move_to(cr, 17.5 + r * std::cos(a), 17.5 + r * std::sin(a));
    else cairo_line_to(cr, 17.5 + r * std::cos(a), 17.5 + r * std::sin(a));
  }
  cairo_close_path(cr);
  Linear(cr, 12, 12, 23, 23, kMetalLight, kMetalDeep);
  Then_Stroke(cr, kOutline);
  Disc(cr, 17.5, 17.5, 1.6);
  Fill_Stroke(cr, kPanel, kOutline);
}

void Icon_Print_Test(cairo_t* cr) {
  Page(cr, 3, 2, 15, 20, 4);
  const a_rgb bars[4] = {Rgb(0, 170, 230), Rgb(230, 40, 150), Rgb(250, 210, 20), kInk};
  for (int i = 0; i < 4; ++i) Box(cr, 5 + i * 2.5, 8, 2.5, 8, bars[i]);
  Badge(cr, 18, 18, BADGE_CHECK);
}

void Icon_Media_Name(cairo_t* cr) {
  Medium(cr, 10, 11, 8.5);
  Pencil(cr, 11, 21, 23, 9, 4);
}

void Icon_Nudge(cairo_t* cr, int dir) {
  if (dir < 0) {
    // Back to the middle: a target.
    Disc(cr, 12, 12, 6.5);
    Stroke(cr, kBlue, 1.6);
    Disc(cr, 12, 12, 2.4);
    Set_Rgb(cr, kRed);
    cairo_fill(cr);
    return;
  }
  Icon_Arrow(cr, -kPi / 2 + dir * kPi / 2);
}

void Icon_Colour_Reset(cairo_t* cr) {
  // The colour wheel with the way back round it.
  for (int i = 0; i < 12; ++i) {
    cairo_new_path(cr);
    cairo_move_to(cr, 12, 12);
    cairo_arc(cr, 12, 12, 6.5, i * kPi / 6, (i + 1) * kPi / 6 + 0.02);
    cairo_close_path(cr);
    Set_Rgb(cr, Hsv(i * 30, 0.75, 0.95));
    cairo_fill(cr);
  }
  Disc(cr, 12, 12, 6.5);
  Stroke(cr, kIcon, 1);
  Turn_Arrow(cr, 12, 12, 9.8, kPi * 0.2, -kPi * 1.2, kInk, 1.6, 4);
}

void Icon_Grid_Lines(cairo_t* cr, bool centre) {
  for (int i = 0; i < 4; ++i) {
    const double p = 4.5 + i * 5;
    Seg(cr, p, 3, p, 21, kBlue, 1);
    Seg(cr, 3, p, 21, p, kBlue, 1);
  }
  if (centre) {
    Seg(cr, 12, 1, 12, 23, kRed, 1.6);
    Seg(cr, 1, 12, 23, 12, kRed, 1.6);
    Disc(cr, 12, 12, 2.6);
    Fill_Stroke(cr, kPaper, kRed, 1.4);
  }
}

void Icon_Copies_Reset(cairo_t* cr) {
  Turn_Arrow(cr, 12, 12, 8.5, kPi * 0.25, -kPi * 1.3, kBlue, 1.8, 4.6);
  Text_At(cr, "1", "sans-bold", 10, 12, 12.5, kInk);
}

void Icon_Copies_All(cairo_t* cr) { Text_At(cr, "\xE2\x88\x9E", "sans-bold", 20, 12, 12.5, kBlue); }

void Icon_Letter(cairo_t* cr, int which) {
  if (which == 2) {
    Text_At(cr, "U", "sans-bold", 15, 12, 10, kInk);
    Seg(cr, 6, 19.5, 18, 19.5, kInk, 1.6);
    return;
  }
  Use_Font(cr, which == 0 ? "serif-bold" : "serif", 17);
  const char* s = which == 0 ? "B" : "I";
  cairo_text_extents_t e;
  cairo_text_extents(cr, s, &e);
  cairo_save(cr);
  if (which == 1) {
    // Slanted: an oblique of the upright face.
    cairo_matrix_t m;
    cairo_matrix_init(&m, 1, 0, -0.25, 1, 3, 0);
    cairo_transform(cr, &m);
  }
  cairo_move_to(cr, std::round(12 - e.width / 2 - e.x_bearing), std::round(12 - e.height / 2 - e.y_bearing));
  Set_Rgb(cr, kInk);
  cairo_show_text(cr, s);
  cairo_restore(cr);
}

void Icon_Symmetry(cairo_t* cr) {
  for (int i = 0; i < 6; ++i) {
    cairo_save(cr);
    cairo_translate(cr, 12, 12);
    cairo_rotate(cr, i * kPi / 3);
    cairo_move_to(cr, 0, 0);
    cairo_curve_to(cr, 3, -3, 3, -7, 0, -10);
    cairo_curve_to(cr, -3, -7, -3, -3, 0, 0);
    Set_Rgb(cr, Hsv(200 + i * 25, 0.6, 0.95));
    cairo_fill_preserve(cr);
    Stroke(cr, kBlueDeep, 0.8);
    cairo_restore(cr);
  }
  Disc(cr, 12, 12, 1.8);
  Fill_Stroke(cr, kPaper, kRed, 1.2);
}

void Icon_Stencil(cairo_t* cr) {
  // A sheet with a star cut out of it.
  Rounded(cr, 2.5, 3.5, 19, 17, 1.5);
  Linear(cr, 0, 3, 0, 21, Rgb(188, 198, 214), Rgb(150, 160, 180));
  Then_Stroke(cr, kIcon);
  cairo_new_path(cr);
  for (int i = 0; i < 10; ++i) {
    const double a = -kPi / 2 + i * kPi / 5, r = i % 2 ? 3 : 6.8;
    if (i == 0) cairo_move_to(cr, 12 + r * std::cos(a), 12.5 + r * std::sin(a));
    else cairo_line_to(cr, 12 + r * std::cos(a), 12.5 + r * std::sin(a));
  }
  cairo_close_path(cr);
  Fill_Stroke(cr, kPanel, kIcon);
}

void Checker(cairo_t* cr, double x, double y, double w, double h, double step) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  Box(cr, x, y, w, h, Rgb(250, 250, 252));
  for (int j = 0; j * step < h; ++j)
    for (int i = 0; i * step < w; ++i)
      if ((i + j) % 2) Box(cr, x + i * step, y + j * step, step, step, Rgb(196, 200, 210));
  cairo_restore(cr);
}

void Icon_Transparent_White(cairo_t* cr) {
  Checker(cr, 2, 4, 20, 16, 4);
  cairo_rectangle(cr, 2.5, 4.5, 19, 15);
  Stroke(cr, kIcon, 1, 1, false);
  // A flower whose white ground is gone.
  for (int i = 0; i < 5; ++i) {
    Disc(cr, 12 + 4 * std::cos(i * 2 * kPi / 5), 12 + 4 * std::sin(i * 2 * kPi / 5), 2.8);
    Fill_Stroke(cr, kRedLight, kRedDeep, 0.8);
  }
  Disc(cr, 12, 12, 2.2);
  Fill_Stroke(cr, kGold, kGoldDeep, 0.8);
}

void Link(cairo_t* cr, double cx, double cy, double a) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, a);
  for (const double dx : {-4.0, 4.0}) {
    Rounded(cr, dx - 5, -2.8, 10, 5.6, 2.8);
    Stroke(cr, kOutline, 3.2);
    Rounded(cr, dx - 5, -2.8, 10, 5.6, 2.8);
    Stroke(cr, kMetal, 1.6);
  }
  cairo_restore(cr);
}

void Icon_Keep_Proportions(cairo_t* cr) {
  cairo_rectangle(cr, 3.5, 3.5, 17, 17);
  const double dash[] = {2, 2};
  cairo_set_dash(cr, dash, 2, 0);
  Stroke(cr, kFrameDark, 1, 1, false);
  cairo_set_dash(cr, nullptr, 0, 0);
  Photo(cr, 3, 3, 12, 12);
  Link(cr, 15, 15, -kPi / 4);
}

void Icon_Grid_Keep(cairo_t* cr) {
  Icon_Grid_Lines(cr, false);
  Link(cr, 14, 14, -kPi / 4);
}

void Icon_Manual_Feed(cairo_t* cr) {
  // A small sheet fed into the middle of the slot, guides from both sides.
  Rounded(cr, 2.5, 13.5, 19, 7, 1.5);
  Linear(cr, 0, 13, 0, 21, Rgb(214, 219, 228), Rgb(150, 158, 176));
  Then_Stroke(cr, kInk);
  Seg(cr, 5, 16.5, 19, 16.5, kInk, 1);
  cairo_rectangle(cr, 8.5, 3.5, 7, 12);
  Fill_Stroke(cr, kPaper, kIcon);
  Arrow(cr, 1.5, 8, 6.5, 8, kRed, 1.2, 3);
  Arrow(cr, 22.5, 8, 17.5, 8, kRed, 1.2, 3);
}

void Icon_Cut_Lines(cairo_t* cr) {
  Disc(cr, 12, 12, 9);
  const double dash[] = {2.5, 2};
  cairo_set_dash(cr, dash, 2, 0);
  Stroke(cr, kRed, 1.4, 1, false);
  cairo_set_dash(cr, nullptr, 0, 0);
  Disc(cr, 12, 12, 2.5);
  Stroke(cr, kRed, 1.2);
}

void Icon_Rulers(cairo_t* cr) {
  cairo_save(cr);
  cairo_translate(cr, 12, 12);
  cairo_rotate(cr, -kPi / 4);
  cairo_rectangle(cr, -11, -4, 22, 8);
  Linear(cr, 0, -4, 0, 4, kGoldLight, kGold);
  Then_Stroke(cr, kGoldDeep);
  for (int i = 0; i < 9; ++i) Seg(cr, -8 + i * 2, -4, -8 + i * 2, i % 2 ? -2 : 0, kOutline, 0.8);
  cairo_restore(cr);
}

void Icon_Burn(cairo_t* cr) {
  Medium(cr, 11, 13, 9);
  // A flame over it.
  cairo_move_to(cr, 18, 22);
  cairo_curve_to(cr, 13, 21, 13, 15, 16, 12);
  cairo_curve_to(cr, 16, 14, 17, 15, 18, 15);
  cairo_curve_to(cr, 17, 11, 19, 8, 21, 7);
  cairo_curve_to(cr, 20.5, 11, 24, 13, 22.5, 18);
  cairo_curve_to(cr, 22, 20.5, 20, 22, 18, 22);
  cairo_close_path(cr);
  Linear3(cr, 0, 7, 0, 22, kGoldLight, Rgb(250, 150, 40), kRed);
  Then_Stroke(cr, kRedDeep, 0.9);
}

void Icon_Black_Ink(cairo_t* cr) {
  // A drop of black ink and the grey it prints.
  for (int i = 0; i < 4; ++i) Box(cr, 3 + i * 4.5, 17, 4.5, 4, Rgb(70 + i * 50, 70 + i * 50, 74 + i * 50));
  cairo_rectangle(cr, 3.5, 17.5, 17, 3);
  Stroke(cr, kIcon, 1, 1, false);
  cairo_move_to(cr, 12, 2);
  cairo_curve_to(cr, 14, 6, 17, 8, 17, 11);
  cairo_curve_to(cr, 17, 14, 14.5, 15.5, 12, 15.5);
  cairo_curve_to(cr, 9.5, 15.5, 7, 14, 7, 11);
  cairo_curve_to(cr, 7, 8, 10, 6, 12, 2);
  cairo_close_path(cr);
  Linear(cr, 7, 2, 17, 16, Rgb(110, 116, 128), Rgb(24, 26, 30));
  Then_Stroke(cr, kOutline);
}

void Icon_Verify(cairo_t* cr) {
  Medium(cr, 10, 11, 8.5);
  Badge(cr, 18, 18, BADGE_CHECK);
}

// ---------------------------------------------------------------------------
// Motifs
// ---------------------------------------------------------------------------
// What a cell or a button shows: drawn in (0, 0, w, h).
struct a_cell {
  double w = 0, h = 0;
  int e = 0;  // element
  a_look look = LOOK_PLAIN;
};
using a_draw = std::function<void(cairo_t*, const a_cell&)>;

// A 24-pixel icon centred in the cell (on whole pixels).
a_draw Centred(std::function<void(cairo_t*, int)> icon, double dy = 0) {
  return [icon, dy](cairo_t* cr, const a_cell& c) {
    cairo_save(cr);
    cairo_translate(cr, std::floor((c.w - 24) / 2), std::floor((c.h - 24) / 2 + dy));
    icon(cr, c.e);
    cairo_restore(cr);
  };
}
a_draw Centred0(void (*icon)(cairo_t*)) {
  return Centred([icon](cairo_t* cr, int) { icon(cr); });
}

// Brush shapes: the rectangles of each shape, top, left, bottom, right.
struct a_shape_rect {
  int8_t t, l, b, r;
};
const std::vector<std::vector<a_shape_rect>>& Brush_Shapes() {
  static const std::vector<std::vector<a_shape_rect>> shapes = [] {
    std::vector<std::vector<a_shape_rect>> s;
    for (const int side : {1, 2, 3, 4, 5, 7, 9, 11}) s.push_back({{0, 0, int8_t(side), int8_t(side)}});
    s.push_back({{0, 0, 2, 1}});
    s.push_back({{0, 1, 3, 2}, {1, 0, 2, 3}});
    s.push_back({{0, 1, 1, 3}, {1, 0, 3, 4}, {3, 1, 4, 3}});
    s.push_back({{0, 1, 1, 5}, {1, 0, 5, 6}, {5, 1, 6, 5}});
    s.push_back({{0, 2, 1, 5}, {1, 1, 2, 6}, {2, 0, 5, 7}, {5, 1, 6, 6}, {6, 2, 7, 5}});
    s.push_back({{0, 3, 1, 6}, {1, 1, 3, 8}, {3, 0, 6, 9}, {6, 1, 8, 8}, {8, 3, 9, 6}});
    s.push_back({{0, 4, 1, 7}, {1, 2, 2, 9}, {2, 1, 4, 10}, {4, 0, 7, 11}, {7, 1, 9, 10}, {9, 2, 10, 9}, {10, 4, 11, 7}});
    s.push_back({{0, 4, 1, 9}, {1, 2, 2, 11}, {2, 1, 4, 12}, {4, 0, 9, 13}, {9, 1, 11, 12}, {11, 2, 12, 11}, {12, 4, 13, 9}});
    s.push_back({{0, 0, 3, 1}});
    s.push_back({{0, 0, 1, 2}, {1, 0, 2, 1}});
    s.push_back({{1, 0, 3, 1}, {0, 1, 2, 2}});
    s.push_back({{0, 1, 1, 3}, {1, 0, 2, 2}});
    s.push_back({{0, 2, 1, 3}, {1, 0, 2, 3}, {2, 0, 3, 1}});
    s.push_back({{1, 0, 3, 1}, {0, 1, 1, 2}, {3, 1, 4, 2}, {1, 2, 3, 3}});
    s.push_back({{0, 1, 1, 3}, {1, 0, 2, 4}, {2, 1, 3, 3}});
    s.push_back({{0, 3, 2, 4}, {1, 2, 3, 3}, {2, 1, 4, 2}, {3, 0, 5, 1}});
    return s;
  }();
  return shapes;
}

void Draw_Brush_Shape(cairo_t* cr, const a_cell& c) {
  const auto& rects = Brush_Shapes()[size_t(c.e)];
  int w = 0, h = 0;
  for (const a_shape_rect& r : rects) w = std::max(w, int(r.r)), h = std::max(h, int(r.b));
  const int k = 2;  // each brush cell as 2 x 2 pixels
  const double x0 = std::floor((c.w - w * k) / 2), y0 = std::floor((c.h - h * k) / 2);
  for (const a_shape_rect& r : rects) cairo_rectangle(cr, x0 + r.l * k, y0 + r.t * k, (r.r - r.l) * k, (r.b - r.t) * k);
  Set_Rgb(cr, kInk);
  cairo_fill(cr);
}

void Draw_Eraser(cairo_t* cr, const a_cell& c) {
  static const int sides[9] = {1, 2, 3, 4, 5, 7, 9, 11, 15};
  const double cx = c.w / 2, cy = c.h / 2;
  if (c.e < 9) {
    const double s = std::round(2 + sides[c.e] * 1.35);
    const double x = std::floor(cx - s / 2), y = std::floor(cy - s / 2);
    cairo_rectangle(cr, x + 0.5, y + 0.5, s - 1, s - 1);
    Fill_Stroke(cr, kPink, kRedDeep);
    return;
  }
  // Dragged shapes: a rectangle, an oval, a polygon.
  cairo_new_path(cr);
  if (c.e == 9) {
    cairo_rectangle(cr, cx - 9.5, cy - 7.5, 19, 15);
  } else if (c.e == 10) {
    Ellipse(cr, cx, cy, 10, 7.5);
  } else {
    Poly(cr, {{cx - 9, cy + 7}, {cx - 6, cy - 8}, {cx + 1, cy - 3}, {cx + 9, cy - 7}, {cx + 7, cy + 8}});
  }
  Set_Rgb(cr, kPink);
  cairo_fill_preserve(cr);
  Ants(cr, 1);
}

void Draw_Spray_Kind(cairo_t* cr, const a_cell& c) {
  // The same dots drawn closer to the middle the tighter the spread.
  static const double spread[4] = {1, 2, 3, 6};
  a_rng rng(Seed_Of("spray kinds"));
  const double cx = c.w / 2, cy = c.h / 2, radius = 10.5;
  for (int i = 0; i < 70; ++i) {
    const double u = rng.Unit(), a = rng.Range(0, 2 * kPi);
    // Uniform over the disc with spread 1, drawn in with a larger spread.
    const double r = radius * std::pow(u, 0.5 * spread[c.e]);
    cairo_rectangle(cr, std::round(cx + r * std::cos(a)) - 0.5, std::round(cy + r * std::sin(a)) - 0.5, 1.4, 1.4);
  }
  Set_Rgb(cr, kBlueDeep);
  cairo_fill(cr);
}

void Draw_Marquee_Kind(cairo_t* cr, const a_cell& c) {
  const double cx = c.w / 2, cy = c.h / 2;
  cairo_new_path(cr);
  if (c.e == 0) {
    cairo_rectangle(cr, std::floor(cx - 9) + 0.5, std::floor(cy - 7) + 0.5, 18, 14);
  } else if (c.e == 1) {
    Ellipse(cr, cx, cy, 9.5, 7.5);
  } else {
    cairo_move_to(cr, cx - 8, cy + 2);
    cairo_curve_to(cr, cx - 11, cy - 6, cx - 2, cy - 10, cx + 3, cy - 6);
    cairo_curve_to(cr, cx + 9, cy - 9, cx + 12, cy - 1, cx + 7, cy + 3);
    cairo_curve_to(cr, cx + 4, cy + 9, cx - 4, cy + 9, cx - 8, cy + 2);
    cairo_close_path(cr);
  }
  Ants(cr);
}

// A blue blob: what a selection takes.
void Blob(cairo_t* cr, double cx, double cy, double r, double alpha = 1) {
  cairo_move_to(cr, cx - r, cy);
  cairo_curve_to(cr, cx - r, cy - r * 0.9, cx + r * 0.3, cy - r * 1.1, cx + r * 0.8, cy - r * 0.5);
  cairo_curve_to(cr, cx + r * 1.2, cy, cx + r * 0.7, cy + r, cx, cy + r * 0.85);
  cairo_curve_to(cr, cx - r * 0.6, cy + r * 0.8, cx - r, cy + r * 0.5, cx - r, cy);
  cairo_close_path(cr);
  Linear(cr, cx, cy - r, cx, cy + r, kBlueLight, kBlue, alpha);
  Then_Stroke(cr, kBlueDeep, 1, alpha);
}

void Draw_Marquee_Cut(cairo_t* cr, const a_cell& c) {
  // Taken away (the place left empty) or copied (left as it was), and moved.
  const double cy = c.h / 2, x0 = std::floor(c.w / 2 - 30);
  if (c.e == 0) {
    cairo_rectangle(cr, x0 + 0.5, cy - 8.5, 18, 17);
    Set_Rgb(cr, kPaper, 0.9);
    cairo_fill_preserve(cr);
    Ants(cr, 1);
  } else {
    cairo_rectangle(cr, x0 + 0.5, cy - 8.5, 18, 17);
    Ants(cr, 1);
    Blob(cr, x0 + 9.5, cy, 6.5);
  }
  Arrow(cr, x0 + 22, cy, x0 + 36, cy, kInk, 1.6, 5);
  Blob(cr, x0 + 49, cy, 7);
}

void Draw_Marquee_Canvas(cairo_t* cr, const a_cell& c) {
  // The selection alone (the canvas left out) or with the canvas under it.
  const double cy = c.h / 2, x = std::floor(c.w / 2 - 14);
  if (c.e == 0) {
    Checker(cr, x, cy - 10, 28, 20, 4);
  } else {
    cairo_save(cr);
    cairo_rectangle(cr, x, cy - 10, 28, 20);
    cairo_clip(cr);
    Linear(cr, x, cy - 10, x + 28, cy + 10, Rgb(255, 214, 150), Rgb(240, 140, 170));
    cairo_paint(cr);
    for (int i = 0; i < 4; ++i) {
      Disc(cr, x + 4 + i * 7, cy - 6 + (i % 2) * 12, 2.5);
      Set_Rgb(cr, kLight, 0.6);
      cairo_fill(cr);
    }
    cairo_restore(cr);
  }
  cairo_rectangle(cr, x + 0.5, cy - 9.5, 27, 19);
  Ants(cr, 1);
  Blob(cr, x + 14, cy, 6.5);
}

void Draw_From_Corner(cairo_t* cr, const a_cell& c) {
  const double cx = std::floor(c.w / 2), cy = std::floor(c.h / 2);
  cairo_rectangle(cr, cx - 15.5, cy - 8.5, 31, 17);
  const double dash[] = {2, 2};
  cairo_set_dash(cr, dash, 2, 0);
  Stroke(cr, kFrameDark, 1, 1, false);
  cairo_set_dash(cr, nullptr, 0, 0);
  if (c.e == 0) {
    Disc(cr, cx - 15.5, cy - 8.5, 2.2);
    Fill_Stroke(cr, kRed, kRedDeep, 0.8);
    Arrow(cr, cx - 13, cy - 7, cx + 15.5, cy + 8.5, kBlue, 1.6, 5);
  } else {
    Disc(cr, cx, cy, 2.2);
    Fill_Stroke(cr, kRed, kRedDeep, 0.8);
    Arrow(cr, cx + 2.5, cy + 1.4, cx + 15.5, cy + 8.5, kBlue, 1.6, 5);
    Arrow(cr, cx - 2.5, cy - 1.4, cx - 15.5, cy - 8.5, kBlue, 1.6, 5);
  }
}

// The gradient kinds, each drawn as the program fills a shape: a value
// 0 .. 1 by position (centred coordinates u, v in -1 .. 1).
double Gradient_Value(int kind, double u, double v) {
  switch (kind) {
    case 0: return (u + 1) / 2;                              // linear
    case 1: return 1 - std::fabs(u);                         // ridges
    case 2: return std::min(1.0, std::hypot(u, v * 0.7));    // circular
    case 3: return std::min(1.0, std::max(std::fabs(u), std::fabs(v)));  // contour
    case 4: return (std::atan2(v, u) + kPi) / (2 * kPi);     // rays
    case 5: return 0.5 + 0.5 * std::sin((u + 0.25 * std::sin(v * 3)) * 2.2 * kPi);  // wavy
    default: return std::min(1.0, (std::fabs(u) + std::fabs(v)) * 0.75);  // diamond
  }
}

a_rgb Gradient_Colour(double t) {
  static const a_ramp ramp{{{0, Rgb(27, 56, 140)}, {0.45, Rgb(90, 160, 240)}, {0.8, Rgb(250, 226, 150)}, {1, Rgb(250, 140, 80)}}};
  return ramp.At(t);
}

// A swatch of the ramp drawn by `value` over (x, y, w, h).
void Swatch(cairo_t* cr, int x, int y, int w, int h, const std::function<double(double, double)>& value) {
  a_surface s(w, h);
  s.Shade([&](double px, double py) { return Gradient_Colour(value(px / w * 2 - 1, py / h * 2 - 1)); });
  cairo_set_source_surface(cr, s.Surface(), x, y);
  cairo_paint(cr);
  cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
  Stroke(cr, kFrameDark, 1, 1, false);
}

void Draw_Gradient_Kind(cairo_t* cr, const a_cell& c) {
  const int w = int(c.w) - 10, h = int(c.h) - 9;
  Swatch(cr, 5, 4, w, h, [&](double u, double v) { return Gradient_Value(c.e, u, v); });
}

void Draw_Gradient_Dir(cairo_t* cr, const a_cell& c) {
  // The ramp as each direction lays it out, and its way.
  const int w = int(c.w) - 10;
  Swatch(cr, 5, 4, w, 10, [&](double u, double) {
    const double t = (u + 1) / 2;
    switch (c.e) {
      case 0: return t;
      case 1: return 1 - std::fabs(2 * t - 1);
      case 2: return std::fabs(2 * t - 1);
      default: return 1 - t;
    }
  });
  const double y = 20.5, l = 8, r = c.w - 8, m = c.w / 2;
  switch (c.e) {
    case 0: Arrow(cr, l, y, r, y, kInk, 1.2, 4); break;
    case 1: Arrow(cr, l, y, m - 1, y, kInk, 1.2, 4); Arrow(cr, m + 1, y, r, y, kInk, 1.2, 4, false);
            break;
    case 2: Arrow(cr, m - 1, y, l, y, kInk, 1.2, 4); Arrow(cr, m + 1, y, r, y, kInk, 1.2, 4); break;
    default: Arrow(cr, r, y, l, y, kInk, 1.2, 4); break;
  }
}

void Draw_Symmetry_Kind(cairo_t* cr, const a_cell& c) {
  const double cx = c.w / 2, cy = c.h / 2;
  if (c.e == 0) {
    // Copies turned about the centre.
    for (int i = 0; i < 5; ++i) {
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_rotate(cr, i * 2 * kPi / 5);
      cairo_move_to(cr, 0, -1);
      cairo_curve_to(cr, 4, -4, 2, -9, -1, -10);
      cairo_curve_to(cr, 1, -6, -1, -3, 0, -1);
      Linear(cr, 0, -10, 0, 0, kBlueLight, kBlue);
      Then_Stroke(cr, kBlueDeep, 0.9);
      cairo_restore(cr);
    }
    Disc(cr, cx, cy, 1.6);
    Set_Rgb(cr, kRed);
    cairo_fill(cr);
  } else {
    // A copy mirrored across the axis.
    for (const double s : {-1.0, 1.0}) {
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_scale(cr, s, 1);
      cairo_move_to(cr, 1.5, -1);
      cairo_curve_to(cr, 6, -9, 12, -7, 10, -2);
      cairo_curve_to(cr, 12, 3, 7, 8, 1.5, 3);
      cairo_close_path(cr);
      Linear(cr, 0, -9, 0, 8, kBlueLight, kBlue);
      Then_Stroke(cr, kBlueDeep, 0.9);
      cairo_restore(cr);
    }
    const double dash[] = {2, 1.5};
    cairo_set_dash(cr, dash, 2, 0);
    Seg(cr, cx, 3, cx, c.h - 3, kRed, 1.2);
    cairo_set_dash(cr, nullptr, 0, 0);
  }
}

void Draw_Zoom(cairo_t* cr, const a_cell& c) {
  const double cx = c.w / 2, cy = c.h / 2;
  if (c.e == 0) {
    // Fit: a page within the four corners of the view.
    const double px = std::floor(cx - 5) + 0.5, py = std::floor(cy - 3.5) + 0.5;
    cairo_rectangle(cr, px, py, 10, 7);
    Fill_Stroke(cr, kPaper, kIcon);
    for (int i = 0; i < 4; ++i) {
      const double sx = i % 2 ? 1 : -1, sy = i / 2 ? 1 : -1;
      const double x = std::floor(cx) + sx * 10 + 0.5, y = std::floor(cy) + sy * 6.5 + 0.5;
      cairo_move_to(cr, x, y - sy * 3.5);
      cairo_line_to(cr, x, y);
      cairo_line_to(cr, x - sx * 4, y);
      Stroke(cr, kBlue, 1.4, 1, false);
    }
    return;
  }
  Text_At(cr, std::to_string(c.e) + "\xC3\x97", "sans-bold", 12, cx, cy, kInk);
}

void Draw_Ruler_Unit(cairo_t* cr, const a_cell& c) {
  static const char* units[3] = {"mm", "in", "px"};
  const double x = std::floor(c.w / 2 - 30), cy = std::floor(c.h / 2);
  cairo_rectangle(cr, x + 0.5, cy - 5.5, 26, 11);
  Linear(cr, 0, cy - 5, 0, cy + 5, kGoldLight, kGold);
  Then_Stroke(cr, kGoldDeep);
  const int ticks = c.e == 0 ? 11 : c.e == 1 ? 5 : 13;
  for (int i = 1; i < ticks; ++i) {
    const double tx = std::round(x + 0.5 + i * 26.0 / ticks) + 0.5;
    const bool major = c.e == 0 ? i % 5 == 0 : c.e == 1 ? true : i % 4 == 0;
    Seg(cr, tx, cy - 5, tx, cy - (major ? 0 : 2.5), kOutline, 1);
  }
  Text_At(cr, units[c.e], "sans-bold", 12, x + 44, cy, kInk);
}

// Lines of text: grey bars (justification and layouts).
void Bar(cairo_t* cr, double x, double y, double w, double h, const a_rgb& col = kIcon) {
  cairo_rectangle(cr, x, y, w, h);
  Set_Rgb(cr, col);
  cairo_fill(cr);
}

void Draw_Hjust(cairo_t* cr, const a_cell& c) {
  const double lens[4] = {22, 14, 18, 10};
  const double x0 = std::floor(c.w / 2 - 11), y0 = std::floor(c.h / 2 - 7);
  for (int i = 0; i < 4; ++i) {
    const double w = lens[i];
    const double x = c.e == 0 ? x0 : c.e == 1 ? x0 + std::floor((22 - w) / 2) : x0 + 22 - w;
    Bar(cr, x, y0 + i * 4, w, 2);
  }
}

void Draw_Vjust(cairo_t* cr, const a_cell& c) {
  const double lens[4] = {20, 12, 16, 9};
  const double x0 = std::floor(c.w / 2 - 7), y0 = std::floor(c.h / 2 - 10);
  for (int i = 0; i < 4; ++i) {
    const double h = lens[i];
    const double y = c.e == 0 ? y0 : c.e == 1 ? y0 + std::floor((20 - h) / 2) : y0 + 20 - h;
    Bar(cr, x0 + i * 4, y, 2, h);
  }
}

void Draw_Cjust(cairo_t* cr, const a_cell& c) {
  // Lines filling a disc, set to its left edge or its middle.
  const double cx = std::floor(c.w / 2), cy = std::floor(c.h / 2), r = 10.5;
  Disc(cr, cx, cy, r);
  Set_Rgb(cr, kPaper);
  cairo_fill_preserve(cr);
  Stroke(cr, kFrameDark, 1);
  for (int i = 0; i < 4; ++i) {
    const double y = cy - 7 + i * 4;
    const double half = std::sqrt(std::max(0.0, r * r - (y + 1 - cy) * (y + 1 - cy))) - 2;
    const double w = std::floor(half * (i % 2 ? 1.3 : 1.8));
    const double x = c.e == 0 ? cx - half : cx - std::floor(w / 2);
    Bar(cr, std::floor(x), y, w, 2);
  }
}

// Letters set round a circle about (cx, cy) outside radius r, upright to
// the circle: along the top left to right (dir 1, clockwise), or along the
// bottom left to right (dir -1, counter-clockwise), centred on angle mid.
void Circle_Text(cairo_t* cr, const std::string& text, double cx, double cy, double r, double mid, double step, int dir,
                 double size) {
  Use_Font(cr, "sans-bold", size);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  const double cap = fe.ascent * 0.72;
  for (size_t i = 0; i < text.size(); ++i) {
    const double a = mid + dir * (double(i) - (text.size() - 1) / 2.0) * step;
    const std::string ch(1, text[i]);
    cairo_text_extents_t e;
    cairo_text_extents(cr, ch.c_str(), &e);
    const double base = dir > 0 ? r : r + cap;
    cairo_save(cr);
    cairo_translate(cr, cx + base * std::cos(a), cy + base * std::sin(a));
    cairo_rotate(cr, a + (dir > 0 ? kPi / 2 : -kPi / 2));
    cairo_move_to(cr, -e.x_advance / 2, 0);
    Set_Rgb(cr, kInk);
    cairo_show_text(cr, ch.c_str());
    cairo_restore(cr);
  }
}

void Draw_Text_Layout(cairo_t* cr, const a_cell& c) {
  const double cx = std::floor(c.w / 2), cy = std::floor(c.h / 2);
  auto disc = [&](double r) {
    const double dy = c.e == 2 ? 3 : c.e == 7 ? -3 : 0;
    Disc(cr, cx, cy + dy, r);
    Set_Rgb(cr, kPaper);
    cairo_fill_preserve(cr);
    Stroke(cr, kFrame, 1);
  };
  switch (c.e) {
    case 0:  // horizontal lines
      Text_At(cr, "Abc", "sans-bold", 11, cx, cy - 4, kInk);
      Bar(cr, cx - 13, cy + 4, 26, 2);
      Bar(cr, cx - 13, cy + 8, 18, 2);
      break;
    case 1:  // turned a quarter to the left
    case 6: {  // turned a quarter to the right
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_rotate(cr, c.e == 1 ? -kPi / 2 : kPi / 2);
      Text_At(cr, "Abc", "sans-bold", 11, 0, -2, kInk);
      Bar(cr, -10, 5, 20, 2);
      cairo_restore(cr);
      break;
    }
    case 2:  // round the top, clockwise
      disc(6.5);
      Circle_Text(cr, "abc", cx, cy + 3, 7.5, -kPi / 2, 0.62, 1, 8);
      break;
    case 7:  // round the bottom, counter-clockwise
      disc(6.5);
      Circle_Text(cr, "abc", cx, cy - 3, 7.5, kPi / 2, 0.62, -1, 8);
      break;
    case 3:
    case 8: {  // spirals
      const int dir = c.e == 3 ? 1 : -1;
      for (double a = 0; a < 4.2 * kPi; a += 0.1) {
        const double r = 2 + a * 0.72, t = dir * a - kPi / 2;
        if (a == 0) cairo_move_to(cr, cx + r * std::cos(t), cy + r * std::sin(t));
        else cairo_line_to(cr, cx + r * std::cos(t), cy + r * std::sin(t));
      }
      Stroke(cr, kIcon, 1.8);
      break;
    }
    case 4: {  // lines filling a disc
      disc(11);
      for (int i = 0; i < 5; ++i) {
        const double y = cy - 8 + i * 4;
        const double half = std::sqrt(std::max(0.0, 11 * 11 - (y + 1 - cy) * (y + 1 - cy))) - 2.5;
        Bar(cr, std::floor(cx - half), y, std::floor(2 * half), 2);
      }
      break;
    }
    case 5:  // a column of letters
      Text_At(cr, "A", "sans-bold", 8, cx - 4, cy - 8, kInk);
      Text_At(cr, "b", "sans-bold", 8, cx - 4, cy, kInk);
      Text_At(cr, "c", "sans-bold", 8, cx - 4, cy + 8, kInk);
      Bar(cr, cx + 4, cy - 11, 2, 22);
      break;
    default:  // spokes
      disc(11);
      for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4;
        Seg(cr, cx + 4 * std::cos(a), cy + 4 * std::sin(a), cx + 10 * std::cos(a), cy + 10 * std::sin(a), kIcon, 2);
      }
      break;
  }
}

// The pages of the text and photo panels.
void Draw_Text_Page(cairo_t* cr, const a_cell& c) {
  const double cx = c.w / 2, cy = c.h / 2 + 1;
  switch (c.e) {
    case 0:
      Text_At(cr, "A", "sans-bold", 18, cx - 7, cy, kInk);
      Text_At(cr, "a", "sans-bold", 11, cx + 6, cy + 2.5, kInk);
      break;
    case 1:
      Text_Path(cr, "A", "sans-bold", 21, cx, cy);
      Set_Rgb(cr, kPaper);
      cairo_fill_preserve(cr);
      Stroke(cr, kRed, 2);
      break;
    case 2: {
      a_surface glow(int(c.w), int(c.h));
      Text_Path(glow.Cr(), "A", "sans-bold", 20, cx, cy);
      Set_Rgb(glow.Cr(), Rgb(255, 200, 40));
      cairo_fill_preserve(glow.Cr());
      Stroke(glow.Cr(), Rgb(255, 200, 40), 5);
      glow.Blur(2.2);
      cairo_set_source_surface(cr, glow.Surface(), 0, 0);
      cairo_paint(cr);
      Text_At(cr, "A", "sans-bold", 20, cx, cy, kInk);
      break;
    }
    default: {
      a_surface shadow(int(c.w), int(c.h));
      Text_Path(shadow.Cr(), "A", "sans-bold", 20, cx + 2.5, cy + 2.5);
      Set_Rgb(shadow.Cr(), kShade, 0.55);
      cairo_fill(shadow.Cr());
      shadow.Blur(1.2);
      cairo_set_source_surface(cr, shadow.Surface(), 0, 0);
      cairo_paint(cr);
      Text_At(cr, "A", "sans-bold", 20, cx, cy, kBlue);
      break;
    }
  }
}

void Draw_Photo_Page(cairo_t* cr, const a_cell& c) {
  const double x = std::floor(c.w / 2 - 11), y = std::floor(c.h / 2 - 7) + 1;
  switch (c.e) {
    case 0:  // size and turn: the picture with its handles
      Photo(cr, x + 2, y + 2, 18, 13);
      for (int i = 0; i < 4; ++i) {
        cairo_rectangle(cr, x + (i % 2 ? 18.5 : 0.5), y + (i / 2 ? 13.5 : 0.5), 3, 3);
        Fill_Stroke(cr, kPaper, kInk);
      }
      break;
    case 1:  // colour
      Photo(cr, x - 2, y + 1, 17, 13);
      for (int i = 0; i < 12; ++i) {
        cairo_new_path(cr);
        cairo_move_to(cr, x + 18, y + 9);
        cairo_arc(cr, x + 18, y + 9, 6, i * kPi / 6, (i + 1) * kPi / 6 + 0.02);
        cairo_close_path(cr);
        Set_Rgb(cr, Hsv(i * 30, 0.8, 0.95));
        cairo_fill(cr);
      }
      Disc(cr, x + 18, y + 9, 6);
      Stroke(cr, kIcon, 1);
      break;
    case 2:  // edge: a frame round it
      cairo_rectangle(cr, x + 1.5, y - 0.5, 19, 16);
      Fill_Stroke(cr, Rgb(248, 244, 236), Rgb(120, 90, 60), 1);
      cairo_rectangle(cr, x + 1.5, y - 0.5, 19, 16);
      Stroke(cr, Rgb(170, 130, 90), 3, 0.5, false);
      Photo(cr, x + 4, y + 2, 14, 11);
      break;
    default: {  // shadow
      a_surface shadow(int(c.w), int(c.h));
      cairo_rectangle(shadow.Cr(), x + 4, y + 3, 18, 13);
      Set_Rgb(shadow.Cr(), kShade, 0.6);
      cairo_fill(shadow.Cr());
      shadow.Blur(1.4);
      cairo_set_source_surface(cr, shadow.Surface(), 0, 0);
      cairo_paint(cr);
      Photo(cr, x + 1, y, 18, 13);
      break;
    }
  }
}

void Draw_Photo_Edge(cairo_t* cr, const a_cell& c) {
  const double w = 34, h = 26, x = std::floor((c.w - w) / 2), y = std::floor((c.h - h) / 2) - 1;
  if (c.e == 0) {
    // No border: the bare picture.
    Photo(cr, x, y, w, h);
  } else if (c.e == 1) {
    cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
    Fill_Stroke(cr, Rgb(248, 244, 236), kInk);
    Photo(cr, x + 4, y + 4, w - 8, h - 8);
  } else {
    // Scalloped.
    cairo_save(cr);
    cairo_new_path(cr);
    const int nx = 7, ny = 5;
    const double sx = w / nx, sy = h / ny;
    for (int i = 0; i < nx; ++i) cairo_arc(cr, x + sx * (i + 0.5), y + 2, sx / 2, kPi, 2 * kPi);
    for (int i = 0; i < ny; ++i) cairo_arc(cr, x + w - 2, y + sy * (i + 0.5), sy / 2, -kPi / 2, kPi / 2);
    for (int i = nx - 1; i >= 0; --i) cairo_arc(cr, x + sx * (i + 0.5), y + h - 2, sx / 2, 0, kPi);
    for (int i = ny - 1; i >= 0; --i) cairo_arc(cr, x + 2, y + sy * (i + 0.5), sy / 2, kPi / 2, 1.5 * kPi);
    cairo_close_path(cr);
    cairo_path_t* edge = cairo_copy_path(cr);
    cairo_clip(cr);
    Photo(cr, x - 1, y - 1, w + 2, h + 2);
    cairo_restore(cr);
    cairo_append_path(cr, edge);
    cairo_path_destroy(edge);
    Stroke(cr, kInk, 1);
  }
}

// A small photo tile in one of a few colours (for the collage kinds).
void Tile_Colour(cairo_t* cr, int i, double alpha = 1) {
  static const int tones[6][3] = {{250, 160, 120}, {120, 180, 240}, {150, 210, 130}, {240, 200, 90}, {200, 150, 230}, {120, 210, 210}};
  const int* t = tones[i % 6];
  Set_Rgb(cr, Rgb(t[0], t[1], t[2]), alpha);
}

void Draw_Pack_Kind(cairo_t* cr, const a_cell& c) {
  const double cx = std::floor(c.w / 2), cy = std::floor(c.h / 2);
  auto ring = [&](int n, double r0, double r1, int first) {
    for (int i = 0; i < n; ++i) {
      const double a0 = i * 2 * kPi / n + 0.08, a1 = (i + 1) * 2 * kPi / n - 0.08;
      cairo_new_path(cr);
      cairo_arc(cr, cx, cy, r1, a0, a1);
      cairo_arc_negative(cr, cx, cy, r0, a1, a0);
      cairo_close_path(cr);
      Tile_Colour(cr, first + i);
      cairo_fill_preserve(cr);
      Stroke(cr, kIcon, 0.8);
    }
  };
  switch (c.e) {
    case 0:  // grid
      for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 4; ++k) {
          Rounded(cr, cx - 14.5 + k * 7.5, cy - 10.5 + r * 7, 6, 5.5, 1.2);
          Tile_Colour(cr, r * 4 + k);
          cairo_fill_preserve(cr);
          Stroke(cr, kIcon, 0.8);
        }
      break;
    case 1: ring(8, 5, 11, 0); break;  // one ring
    case 2: ring(8, 7.5, 11.5, 0); ring(5, 2.5, 6.5, 3); break;  // two rings
    case 3:  // boxes in a ring
      for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4;
        Rounded(cr, cx + 8.5 * std::cos(a) - 2.75, cy + 8.5 * std::sin(a) - 2.75, 5.5, 5.5, 1);
        Tile_Colour(cr, i);
        cairo_fill_preserve(cr);
        Stroke(cr, kIcon, 0.8);
      }
      break;
    default:  // lotus petals
      for (int i = 0; i < 6; ++i) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, i * kPi / 3);
        cairo_move_to(cr, 0, -1.5);
        cairo_curve_to(cr, 5, -4, 4, -10, 0, -11.5);
        cairo_curve_to(cr, -4, -10, -5, -4, 0, -1.5);
        Tile_Colour(cr, i);
        cairo_fill_preserve(cr);
        Stroke(cr, kIcon, 0.8);
        cairo_restore(cr);
      }
      break;
  }
}

void Draw_Pack_Orient(cairo_t* cr, const a_cell& c) {
  // Photos round a ring: turned to point outwards, or all upright.
  const double cx = std::floor(c.w / 2), cy = std::floor(c.h / 2);
  Disc(cr, cx, cy, 1.5);
  Set_Rgb(cr, kFrameDark);
  cairo_fill(cr);
  for (int i = 0; i < 6; ++i) {
    const double a = i * kPi / 3 - kPi / 2;
    cairo_save(cr);
    cairo_translate(cr, cx + 8.5 * std::cos(a), cy + 8.5 * std::sin(a));
    if (c.e == 0) cairo_rotate(cr, a + kPi / 2);
    cairo_rectangle(cr, -2.5, -3.2, 5, 6.4);
    Tile_Colour(cr, i);
    cairo_fill_preserve(cr);
    Stroke(cr, kIcon, 0.8, 1, false);
    Seg(cr, -1.5, -2.2, 1.5, -2.2, kInk, 0.9);
    cairo_restore(cr);
  }
}

// The tags of the palette bar: what each bar holds, drawn across the tab
// (kTagWidth of the cell: a tag cut to 85 pixels still shows whole).
constexpr double kTagWidth = 85;

// A chip of colour: what a colour bar sets.
void Chip(cairo_t* cr, double x, double y, const a_rgb& c) {
  Rounded(cr, x + 0.5, y + 0.5, 13, 13, 3);
  Linear(cr, 0, y, 0, y + 14, Mix(c, kLight, 0.25), c);
  Then_Stroke(cr, kOutline, 1);
  Seg(cr, x + 3, y + 2.5, x + 11, y + 2.5, kLight, 1);
}

// An icon of 24 with its top left at (x, y).
void At(cairo_t* cr, double x, double y, const std::function<void(cairo_t*)>& icon) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  icon(cr);
  cairo_restore(cr);
}

void Draw_Tag(cairo_t* cr, const a_cell& c, const std::string& tag) {
  const double mid = std::floor(kTagWidth / 2), cy = 20, top = cy - 12;
  // An icon, and beside it a chip of the colour the bar sets.
  auto icon_chip = [&](const std::function<void(cairo_t*)>& icon, const a_rgb& colour) {
    At(cr, mid - 22, top, icon);
    Chip(cr, mid + 7, cy - 7, colour);
  };
  if (tag == "palette") {
    At(cr, mid - 34, top, [](cairo_t* c2) {
      cairo_move_to(c2, 12, 3);
      cairo_curve_to(c2, 19, 3, 22, 8, 21.5, 12);
      cairo_curve_to(c2, 21, 16, 17, 15, 16, 17);
      cairo_curve_to(c2, 15, 19.5, 17, 21, 13, 21.5);
      cairo_curve_to(c2, 6, 22, 2.5, 17, 2.5, 12);
      cairo_curve_to(c2, 2.5, 7, 6, 3, 12, 3);
      cairo_close_path(c2);
      Linear(c2, 0, 3, 0, 22, kGoldLight, kGold);
      Then_Stroke(c2, kGoldDeep);
      const a_rgb blobs[4] = {kRed, kBlue, kGreen, Rgb(170, 70, 200)};
      const double at[4][2] = {{7, 9}, {12, 6.5}, {17, 8.5}, {7.5, 15}};
      for (int i = 0; i < 4; ++i) {
        Disc(c2, at[i][0], at[i][1], 2.2);
        Fill_Stroke(c2, blobs[i], kOutline, 0.6);
      }
    });
    const a_rgb chips[4] = {Rgb(230, 60, 50), Rgb(250, 200, 40), Rgb(60, 170, 90), Rgb(50, 110, 220)};
    for (int i = 0; i < 4; ++i) {
      Rounded(cr, mid - 6.5 + i * 10, cy - 5.5, 8, 11, 1.5);
      Fill_Stroke(cr, chips[i], kOutline, 1);
    }
  } else if (tag == "font") {
    Text_At(cr, "Aa", "serif-bold", 18, mid - 14, cy, kInk);
    Text_At(cr, "Aa", "sans", 16, mid + 15, cy + 1, kBlue);
  } else if (tag == "pattern") {
    cairo_save(cr);
    Rounded(cr, mid - 28.5, cy - 9.5, 57, 19, 3);
    cairo_clip_preserve(cr);
    Set_Rgb(cr, Rgb(250, 232, 200));
    cairo_fill(cr);
    for (int j = 0; j < 5; ++j)
      for (int i = 0; i < 12; ++i) {
        Disc(cr, mid - 28 + i * 5 + (j % 2) * 2.5, cy - 9 + j * 4.5, 1.5);
        Set_Rgb(cr, j % 2 ? kRed : kBlue);
        cairo_fill(cr);
      }
    cairo_restore(cr);
    Rounded(cr, mid - 28.5, cy - 9.5, 57, 19, 3);
    Stroke(cr, kIcon, 1);
  } else if (tag == "border") {
    // A frame with a rope and corner knots.
    const double x = mid - 28, y = cy - 10, w = 56, h = 20;
    cairo_rectangle(cr, x, y, w, h);
    cairo_rectangle(cr, x + 6, y + 5, w - 12, h - 10);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    Linear(cr, x, y, x + w, y + h, kGoldLight, kGoldDeep);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
    Stroke(cr, kGoldDeep, 1, 1, false);
    cairo_rectangle(cr, x + 6.5, y + 5.5, w - 13, h - 11);
    Stroke(cr, kGoldDeep, 1, 1, false);
    for (int i = 0; i < 4; ++i) {
      Disc(cr, i % 2 ? x + w - 3 : x + 3, i / 2 ? y + h - 2.5 : y + 2.5, 1.8);
      Fill_Stroke(cr, kRed, kRedDeep, 0.6);
    }
  } else if (tag == "gradient") {
    cairo_save(cr);
    Rounded(cr, mid - 28.5, cy - 7.5, 57, 15, 3);
    cairo_clip_preserve(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(mid - 28, 0, mid + 29, 0);
    for (int i = 0; i <= 6; ++i) Add_Stop(p, i / 6.0, Hsv(i * 55, 0.75, 0.97));
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
    cairo_fill(cr);
    cairo_restore(cr);
    Rounded(cr, mid - 28.5, cy - 7.5, 57, 15, 3);
    Stroke(cr, kIcon, 1);
  } else if (tag == "stamp") {
    Icon_Star(cr, mid - 20, cy, 8.5);
    // A heart and a note beside the star.
    cairo_move_to(cr, mid, cy + 7);
    cairo_curve_to(cr, mid - 9, cy, mid - 6, cy - 8, mid, cy - 3.5);
    cairo_curve_to(cr, mid + 6, cy - 8, mid + 9, cy, mid, cy + 7);
    cairo_close_path(cr);
    Linear3(cr, mid - 8, cy - 8, mid + 8, cy + 8, kRedLight, kRed, kRedDeep);
    Then_Stroke(cr, kRedDeep);
    Text_At(cr, "\xE2\x99\xAA", "sans-bold", 18, mid + 20, cy, kBlue);
  } else if (tag == "layers") {
    At(cr, mid - 30, top, [](cairo_t* c2) {
      for (int i = 2; i >= 0; --i) {
        const double y = 5 + i * 4.5;
        cairo_move_to(c2, 12, y - 3.5);
        cairo_line_to(c2, 21.5, y + 1);
        cairo_line_to(c2, 12, y + 5.5);
        cairo_line_to(c2, 2.5, y + 1);
        cairo_close_path(c2);
        const a_rgb tops[3] = {kBlueLight, Rgb(160, 214, 150), kGoldLight};
        const a_rgb deeps[3] = {kBlue, kGreen, kGold};
        Linear(c2, 0, y - 3, 0, y + 5, tops[i], deeps[i]);
        Then_Stroke(c2, kOutline, 0.9);
      }
    });
    // The rows of the layer list.
    for (int i = 0; i < 3; ++i) {
      cairo_rectangle(cr, mid + 0.5, cy - 8.5 + i * 6, 5, 4);
      Fill_Stroke(cr, i == 0 ? kBlueLight : i == 1 ? Rgb(160, 214, 150) : kGoldLight, kIcon, 1);
      Bar(cr, mid + 8, cy - 7.5 + i * 6, i == 1 ? 14 : 20, 2);
    }
  } else if (tag == "grid-color") {
    icon_chip([](cairo_t* c2) { Icon_Grid_Lines(c2, false); }, Rgb(30, 30, 220));
  } else if (tag == "cut-color") {
    icon_chip(Icon_Cut_Lines, Rgb(255, 0, 0));
  } else if (tag == "border-color") {
    icon_chip([](cairo_t* c2) {
      cairo_rectangle(c2, 4, 5, 16, 14);
      Stroke(c2, Rgb(114, 87, 61), 4, 1, false);
      Photo(c2, 6, 7, 12, 10);
    }, Rgb(114, 87, 61));
  } else if (tag == "outline-color") {
    icon_chip([](cairo_t* c2) {
      Text_Path(c2, "A", "sans-bold", 20, 12, 12);
      Set_Rgb(c2, kPaper);
      cairo_fill_preserve(c2);
      Stroke(c2, kInk, 1.6);
    }, Rgb(40, 40, 44));
  } else if (tag == "symbol-color") {
    icon_chip([](cairo_t* c2) { Text_At(c2, "\xE2\x99\xAB", "sans", 21, 12, 12, Rgb(190, 40, 120)); }, Rgb(190, 40, 120));
  } else if (tag == "canvas") {
    Photo(cr, mid - 27, cy - 10, 54, 20);
  } else {  // glyphs
    Text_At(cr, "\xC3\xA9", "serif", 17, mid - 21, cy, kInk);
    Text_At(cr, "\xC3\x9F", "serif", 16, mid - 7, cy, kInk);
    Text_At(cr, "\xC2\xA9", "sans", 15, mid + 7, cy + 0.5, kBlue);
    Text_At(cr, "\xE2\x82\xAC", "sans", 15, mid + 21, cy + 0.5, kBlue);
  }
  (void)c;
}

// ---------------------------------------------------------------------------
// The motif table
// ---------------------------------------------------------------------------
struct a_motif {
  std::string name;
  a_item_kind kind;
  int elements;   // grids: the cells drawn (1 for a grid with an embedded label)
  a_draw draw;    // nothing for plain faces
  bool accent = false;  // a default button's face
};

std::vector<a_motif> Make_Motifs() {
  std::vector<a_motif> m;
  auto grid = [&](const std::string& name, int n, a_draw d) { m.push_back({name, a_item_kind::grid, n, d}); };
  auto both = [&](const std::string& name, a_draw d) {
    m.push_back({name, a_item_kind::oneshot, 0, d});
    m.push_back({name, a_item_kind::toggle, 0, d});
  };
  grid("tabs", 1, nullptr);
  grid("faces", 1, nullptr);
  grid("tools", 16, Centred([](cairo_t* cr, int e) { Icon_Tool(cr, e); }));
  grid("brush-shapes", 24, Draw_Brush_Shape);
  grid("eraser-sizes", 12, Draw_Eraser);
  grid("spray-kinds", 4, Draw_Spray_Kind);
  grid("marquee-kinds", 3, Draw_Marquee_Kind);
  grid("marquee-cut", 2, Draw_Marquee_Cut);
  grid("marquee-canvas", 2, Draw_Marquee_Canvas);
  grid("from-corner", 2, Draw_From_Corner);
  grid("gradient-kinds", 7, Draw_Gradient_Kind);
  grid("gradient-dirs", 4, Draw_Gradient_Dir);
  grid("symmetry-kinds", 2, Draw_Symmetry_Kind);
  grid("zoom", 5, Draw_Zoom);
  grid("ruler-units", 3, Draw_Ruler_Unit);
  grid("text-layouts", 10, Draw_Text_Layout);
  grid("hjust", 3, Draw_Hjust);
  grid("vjust", 3, Draw_Vjust);
  grid("cjust", 2, Draw_Cjust);
  grid("text-pages", 4, Draw_Text_Page);
  grid("photo-pages", 4, Draw_Photo_Page);
  grid("photo-edges", 3, Draw_Photo_Edge);
  grid("collage-kinds", 5, Draw_Pack_Kind);
  grid("collage-orient", 2, Draw_Pack_Orient);
  for (const char* tag : {"palette", "font", "pattern", "border", "gradient", "stamp", "layers", "grid-color",
                          "cut-color", "border-color", "outline-color", "symbol-color", "canvas", "glyphs"}) {
    const std::string t = tag;
    grid(std::string("tag-") + tag, 1, [t](cairo_t* cr, const a_cell& c) { Draw_Tag(cr, c, t); });
  }
  // Buttons and toggles.
  m.push_back({"face", a_item_kind::oneshot, 0, nullptr});
  m.push_back({"face-default", a_item_kind::oneshot, 0, nullptr, true});
  m.push_back({"check", a_item_kind::toggle, 0, nullptr});
  both("flip-h", Centred0([](cairo_t* cr) { Icon_Flip(cr, false); }));
  both("flip-v", Centred0([](cairo_t* cr) { Icon_Flip(cr, true); }));
  both("rotate-cw", Centred0([](cairo_t* cr) { Icon_Rotate(cr, true); }));
  both("rotate-ccw", Centred0([](cairo_t* cr) { Icon_Rotate(cr, false); }));
  both("invert", Centred0(Icon_Invert));
  const char* aligns[6] = {"align-left", "align-hcentre", "align-right", "align-top", "align-vcentre", "align-bottom"};
  for (int i = 0; i < 6; ++i) both(aligns[i], Centred([i](cairo_t* cr, int) { Icon_Align(cr, i); }));
  both("spread-h", Centred0([](cairo_t* cr) { Icon_Spread(cr, false); }));
  both("spread-v", Centred0([](cairo_t* cr) { Icon_Spread(cr, true); }));
  both("duplicate", Centred0(Icon_Duplicate));
  both("delete", Centred0(Icon_Trash));
  both("new-symbol", Centred0(Icon_New_Symbol));
  both("new-photo", Centred0(Icon_New_Photo));
  both("replace-photo", Centred0(Icon_Replace_Photo));
  both("collage", Centred0(Icon_Collage));
  both("crop", Centred0(Icon_Crop));
  both("find-photo", Centred0(Icon_Find_Photo));
  both("new-text", Centred0(Icon_New_Text));
  both("edit-text", Centred0(Icon_Edit_Text));
  both("clear-layer", Centred0(Icon_Clear_Layer));
  both("undo", Centred0([](cairo_t* cr) { Icon_Undo(cr, false); }));
  both("redo", Centred0([](cairo_t* cr) { Icon_Undo(cr, true); }));
  both("undo-redo", Centred0(Icon_Undo_Redo));
  both("row-prev", Centred0([](cairo_t* cr) { Icon_Arrow(cr, -kPi / 2); }));
  both("row-next", Centred0([](cairo_t* cr) { Icon_Arrow(cr, kPi / 2); }));
  both("row-index", Centred0(Icon_Row_Index));
  both("page-prev", Centred0([](cairo_t* cr) { Icon_Arrow(cr, kPi); }));
  both("page-next", Centred0([](cairo_t* cr) { Icon_Arrow(cr, 0); }));
  both("print", Centred0([](cairo_t* cr) { Printer(cr, 0, 0, 24); }));
  both("print-setup", Centred0(Icon_Print_Setup));
  both("print-test", Centred0(Icon_Print_Test));
  both("media-name", Centred0(Icon_Media_Name));
  const char* nudges[4] = {"nudge-up", "nudge-right", "nudge-down", "nudge-left"};
  for (int i = 0; i < 4; ++i) both(nudges[i], Centred([i](cairo_t* cr, int) { Icon_Nudge(cr, i); }));
  both("nudge-reset", Centred0([](cairo_t* cr) { Icon_Nudge(cr, -1); }));
  both("colour-reset", Centred0(Icon_Colour_Reset));
  both("grid-centre", Centred0([](cairo_t* cr) { Icon_Grid_Lines(cr, true); }));
  both("copies-reset", Centred0(Icon_Copies_Reset));
  both("copies-all", Centred0(Icon_Copies_All));
  both("bold", Centred0([](cairo_t* cr) { Icon_Letter(cr, 0); }));
  both("italic", Centred0([](cairo_t* cr) { Icon_Letter(cr, 1); }));
  both("underline", Centred0([](cairo_t* cr) { Icon_Letter(cr, 2); }));
  both("symmetry", Centred0(Icon_Symmetry));
  both("stencil", Centred0(Icon_Stencil));
  both("transparent-white", Centred0(Icon_Transparent_White));
  both("keep-proportions", Centred0(Icon_Keep_Proportions));
  both("grid-keep", Centred0(Icon_Grid_Keep));
  both("manual-feed", Centred0(Icon_Manual_Feed));
  both("grid-lines", Centred0([](cairo_t* cr) { Icon_Grid_Lines(cr, false); }));
  both("cut-lines", Centred0(Icon_Cut_Lines));
  both("rulers", Centred0(Icon_Rulers));
  both("burn", Centred0(Icon_Burn));
  both("black-ink", Centred0(Icon_Black_Ink));
  both("verify", Centred0(Icon_Verify));
  return m;
}

const std::vector<a_motif>& Motifs() {
  static const std::vector<a_motif> m = Make_Motifs();
  return m;
}

const a_motif* Find_Motif(const std::string& name, a_item_kind kind) {
  for (const a_motif& m : Motifs())
    if (m.name == name && m.kind == kind) return &m;
  return nullptr;
}

// ---------------------------------------------------------------------------
// Drawing an item
// ---------------------------------------------------------------------------
// Draws `draw` for cell c into (x, y) of cr through a surface of its own,
// greyed and faded when dimmed, a pixel lower when pressed.
void Content(cairo_t* cr, double x, double y, const a_cell& c, const a_draw& draw) {
  if (!draw) return;
  const int w = int(std::ceil(c.w)), h = int(std::ceil(c.h));
  a_surface s(w, h);
  draw(s.Cr(), c);
  if (c.look == LOOK_DIM) {
    s.Flush();
    for (int yy = 0; yy < h; ++yy) {
      uint32_t* row = s.Row(yy);
      for (int xx = 0; xx < w; ++xx) {
        const uint32_t v = row[xx];
        const double a = (v >> 24) / 255.0;
        if (a <= 0) continue;
        // Premultiplied: grey the colour, then keep 40 % of it.
        const double r = ((v >> 16) & 0xFF) / 255.0, g = ((v >> 8) & 0xFF) / 255.0, b = (v & 0xFF) / 255.0;
        const double grey = (0.3 * r + 0.59 * g + 0.11 * b) * 0.85 + 0.15 * a * 0.55;
        const double k = 0.42;
        const uint32_t ga = uint32_t(std::lround(a * k * 255)), gv = uint32_t(std::lround(grey * k * 255));
        row[xx] = (ga << 24) | (gv << 16) | (gv << 8) | gv;
      }
    }
    s.Mark();
  }
  const double dy = c.look == LOOK_PRESSED ? 1 : 0;
  cairo_set_source_surface(cr, s.Surface(), x, y + dy);
  cairo_paint(cr);
}

// The looks of a grid's versions.
a_look Grid_Look(int version) { return version == 1 ? LOOK_ON : version == 2 ? LOOK_DIM : LOOK_PLAIN; }

// A small lamp: an effect that is on (the text pages).
void Lamp(cairo_t* cr, double x, double y) {
  Disc(cr, x, y, 3);
  Linear(cr, x - 3, y - 3, x + 3, y + 3, kGreenLight, kGreenDeep);
  Then_Stroke(cr, kGreenDeep, 0.8);
}

void Draw_Grid(cairo_t* cr, const a_item_art& it, const a_motif& m, int version) {
  const bool tab = it.translucent && it.overlap == 0;
  const bool separate = !it.translucent && it.overlap == 0;
  const int rows = it.label ? 1 : it.rows, cols = it.label ? 1 : it.cols;
  const double body_w = it.width - it.shadow, body_h = it.height - it.shadow;
  // The shadow of the whole block along its right and bottom.
  if (it.shadow > 0) {
    a_surface sh(it.width, it.height);
    Rounded(sh.Cr(), it.shadow - 1, it.shadow - 1, body_w, body_h, 4);
    Set_Rgb(sh.Cr(), kShade, 0.3);
    cairo_fill(sh.Cr());
    sh.Blur(0.8);
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, it.width, it.height);
    cairo_rectangle(cr, 0, 0, body_w, body_h);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr);
    cairo_set_source_surface(cr, sh.Surface(), 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  for (int r = 0; r < rows; ++r) {
    for (int col = 0; col < cols; ++col) {
      const double x = (it.cell_w - it.overlap) * col, y = (it.cell_h - it.overlap) * r;
      a_look look = Grid_Look(version);
      if (version == 2 && m.name == "text-pages") look = LOOK_LIT;
      const a_look face_look = look == LOOK_LIT ? LOOK_PLAIN : look;
      if (tab) {
        // A tag leaves room at its right, so that its tab stays whole when
        // it is shown a little narrower.
        Tab_Face(cr, x, y, m.name.rfind("tag-", 0) == 0 ? kTagWidth : it.cell_w, it.cell_h, face_look);
      } else if (separate) {
        Face(cr, x, y, it.cell_w, it.cell_h, 4, face_look == LOOK_ON ? LOOK_ON : face_look);
      } else {
        const double R = 4;
        const double rad[4] = {r == 0 && col == 0 ? R : 0, r == 0 && col == cols - 1 ? R : 0,
                               r == rows - 1 && col == cols - 1 ? R : 0, r == rows - 1 && col == 0 ? R : 0};
        Cell_Face(cr, x, y, it.cell_w, it.cell_h, rad, face_look);
      }
      a_cell c;
      c.w = it.cell_w;
      c.h = it.cell_h;
      c.e = r * it.cols + col;
      c.look = look == LOOK_LIT ? LOOK_PLAIN : look;
      Content(cr, x, y, c, m.draw);
      if (look == LOOK_LIT && c.e > 0) Lamp(cr, x + it.cell_w - 9, y + 9);
    }
  }
}

void Draw_Button(cairo_t* cr, const a_item_art& it, const a_motif& m, int version, bool alt) {
  a_cell c;
  c.w = it.width;
  c.h = it.height;
  if (m.name == "check") {
    Check_Box(cr, std::min(it.width, it.height), version == 1, alt);
    return;
  }
  if (it.kind == a_item_kind::toggle) c.look = version == 1 ? LOOK_ON : LOOK_PLAIN;
  else c.look = version == 1 ? LOOK_PRESSED : LOOK_PLAIN;
  const double r = std::min(6.0, std::floor(it.height / 5.0));
  Face(cr, 0, 0, it.width, it.height, r, c.look == LOOK_PRESSED && m.accent ? LOOK_ON : c.look, m.accent, it.dark);
  c.h = it.height - 1;  // the face's shadow row
  Content(cr, 0, 0, c, m.draw);
}

// ---------------------------------------------------------------------------
// The slider
// ---------------------------------------------------------------------------
void Slider_Rack(cairo_t* cr, double x, double y, int look) {
  Rounded(cr, x + 0.5, y + 0.5, 248, 4, 2);
  if (look == SLIDER_HILITE) Linear(cr, 0, y, 0, y + 5, kAccentDark, kAccent);
  else if (look == SLIDER_DIM) Set_Rgb(cr, Rgb(222, 225, 232));
  else Linear(cr, 0, y, 0, y + 5, Rgb(176, 184, 200), Rgb(214, 219, 228));
  cairo_fill_preserve(cr);
  Stroke(cr, look == SLIDER_DIM ? kDimFrame : look == SLIDER_HILITE ? kAccentDark : kFrameDark, 1, 1, false);
}

void Slider_Thumb(cairo_t* cr, double x, double y, int look) {
  // A knob of 18 x 17 standing over the rack.
  if (look != SLIDER_DIM) {
    Rounded(cr, x + 1.5, y + 2.5, 15, 14, 4);
    Stroke(cr, kShade, 1, 0.18);
  }
  Rounded(cr, x + 1.5, y + 1.5, 15, 14, 4);
  if (look == SLIDER_HILITE) Linear(cr, 0, y, 0, y + 16, Rgb(120, 164, 238), kAccentDark);
  else if (look == SLIDER_DIM) Set_Rgb(cr, kDimFace);
  else Linear(cr, 0, y, 0, y + 16, kFaceTop, Rgb(210, 216, 228));
  Then_Stroke(cr, look == SLIDER_DIM ? kDimFrame : look == SLIDER_HILITE ? kAccentDark : kFrameDark);
  const a_rgb grip = look == SLIDER_HILITE ? kLight : look == SLIDER_DIM ? kDimFrame : kFrameDark;
  for (const double gx : {6.5, 9.0, 11.5}) Seg(cr, x + gx, y + 5, x + gx, y + 12, grip, 1);
}

void Slider_Button(cairo_t* cr, double x, double y, bool plus, int look) {
  const double r[4] = {plus ? 0.0 : 5.0, plus ? 5.0 : 0.0, plus ? 5.0 : 0.0, plus ? 0.0 : 5.0};
  const a_look fl = look == SLIDER_HILITE ? LOOK_PRESSED : look == SLIDER_DIM ? LOOK_DIM : LOOK_PLAIN;
  Face(cr, x, y, 31, 24, r, fl, false, true);
  const a_rgb ink = look == SLIDER_DIM ? kDimFrame : kInk;
  const double cx = x + 15.5, cy = y + 11.5 + (fl == LOOK_PRESSED ? 1 : 0);
  auto sign = [&](double sx, double half, double width) {
    Seg(cr, sx - half, cy, sx + half, cy, ink, width);
    if (plus) Seg(cr, sx, cy - half, sx, cy + half, ink, width);
  };
  if (look == SLIDER_BIG) {
    // The big step: the sign twice.
    sign(cx - 4.5, 3.5, 2);
    sign(cx + 4.5, 3.5, 2);
  } else if (look == SLIDER_TINY) {
    // The tiny step: a small sign over a dot.
    sign(cx, 2.5, 1);
    Disc(cr, cx, cy + 6, 1);
    Set_Rgb(cr, kAccent);
    cairo_fill(cr);
  } else {
    sign(cx, 5, 2);
  }
}

void Slider_Reset(cairo_t* cr, double x, double y, int look) {
  const a_look fl = look == SLIDER_HILITE ? LOOK_PRESSED : look == SLIDER_DIM ? LOOK_DIM : LOOK_PLAIN;
  Face(cr, x + 9, y, 37, 16, 7.5, fl, false, true);
  const a_rgb ink = look == SLIDER_DIM ? kDimFrame : kAccentDark;
  const double cy = y + 7.5 + (fl == LOOK_PRESSED ? 1 : 0);
  // Back to the default: a turn arrow round the default's mark.
  Turn_Arrow(cr, x + 27.5, cy, 4.6, -kPi * 0.1, -kPi * 1.45, ink, 1.7, 4);
  Disc(cr, x + 27.5, cy, 1.2);
  Set_Rgb(cr, ink);
  cairo_fill(cr);
}

void Draw_Slider_Looks(cairo_t* cr) {
  for (int look = 0; look < SLIDER_LOOKS; ++look) {
    for (int part = PARTX_RACK; part < PARTX_COUNT; ++part) {
      const a_part_box b = Slider_Part_Source(part, look);
      if (look >= SLIDER_BIG && part != PARTX_MINUS && part != PARTX_PLUS) continue;  // the plain one serves
      switch (part) {
        case PARTX_RACK: Slider_Rack(cr, b.left, b.top, look); break;
        case PARTX_THUMB: Slider_Thumb(cr, b.left, b.top, look); break;
        case PARTX_MINUS: Slider_Button(cr, b.left, b.top, false, look); break;
        case PARTX_PLUS: Slider_Button(cr, b.left, b.top, true, look); break;
        default: Slider_Reset(cr, b.left, b.top, look); break;
      }
    }
  }
}

// Lays a surface of opaque art on the panel colour: nearly clear pixels
// become pure white (left out when drawn), every other pixel opaque and
// never pure white.
void Opaque_Into(const a_surface& s, a_art_image& img, int32_t x0, int32_t y0, const a_rgb& ground = kPanel) {
  const a_art_image src = s.Image();
  for (int32_t y = 0; y < src.height; ++y) {
    for (int32_t x = 0; x < src.width; ++x) {
      const uint8_t* p = &src.rgba[(size_t(y) * size_t(src.width) + size_t(x)) * 4];
      uint8_t* q = &img.rgba[(size_t(y0 + y) * size_t(img.width) + size_t(x0 + x)) * 4];
      const double a = p[3] / 255.0;
      if (a < 0.06) {
        q[0] = q[1] = q[2] = q[3] = 255;
        continue;
      }
      const double bg[3] = {ground.r * 255, ground.g * 255, ground.b * 255};
      for (int c = 0; c < 3; ++c) q[c] = uint8_t(std::min(254L, std::lround(p[c] * a + bg[c] * (1 - a))));
      q[3] = 255;
    }
  }
}

void Translucent_Into(const a_surface& s, a_art_image& img, int32_t x0, int32_t y0) {
  const a_art_image src = s.Image();
  for (int32_t y = 0; y < src.height; ++y) {
    for (int32_t x = 0; x < src.width; ++x) {
      const uint8_t* p = &src.rgba[(size_t(y) * size_t(src.width) + size_t(x)) * 4];
      uint8_t* q = &img.rgba[(size_t(y0 + y) * size_t(img.width) + size_t(x0 + x)) * 4];
      if (p[3] == 0) continue;
      for (int c = 0; c < 3; ++c) q[c] = std::min<uint8_t>(p[c], 254);
      q[3] = p[3];
    }
  }
}

}  // namespace

a_part_box Slider_Part_Screen(int part) {
  switch (part) {
    case PARTX_LABEL: return {0, 0, 249, 17};
    case PARTX_RACK: return {0, 23, 249, 5};
    case PARTX_THUMB: return {0, 17, 18, 17};
    case PARTX_MINUS: return {254, 10, 31, 24};
    case PARTX_PLUS: return {285, 10, 31, 24};
    default: return {196, 0, 55, 16};
  }
}

a_part_box Slider_Part_Source(int part, int look) {
  // Each look is a 34-pixel row laid out as the slider shows it, the thumb
  // beside it (it moves along the rack). The label is drawn at run time over
  // nothing; only the minus and plus buttons have big- and tiny-step looks.
  a_part_box b = Slider_Part_Screen(part);
  if (part == PARTX_THUMB) b.left = 321;
  const bool own = part == PARTX_MINUS || part == PARTX_PLUS ? true : (look <= SLIDER_DIM && part != PARTX_LABEL);
  b.top += 34 * (own ? look : 0);
  return b;
}

bool Motif_Fits(const a_item_art& it, std::string& why) {
  if (it.kind == a_item_kind::slider) {
    if (it.motif == "slider") return true;
    why = "the slider's motif is slider";
    return false;
  }
  const a_motif* m = Find_Motif(it.motif, it.kind);
  if (m == nullptr) {
    why = "no " + std::string(it.kind == a_item_kind::grid ? "grid" : it.kind == a_item_kind::toggle ? "toggle" : "one-shot") +
          " motif is called " + it.motif;
    return false;
  }
  if (it.kind == a_item_kind::grid) {
    const int cells = it.label ? 1 : it.rows * it.cols;
    if (m->elements != cells) {
      why = "motif " + it.motif + " draws " + std::to_string(m->elements) + " cells, the grid shows " +
            std::to_string(cells) + (it.label ? " (an embedded label keeps one)" : "");
      return false;
    }
    if (it.label != (m->draw == nullptr)) {
      why = it.label ? "a grid with an embedded label takes a plain motif (tabs or faces)"
                     : "motif " + it.motif + " is plain, for grids with an embedded label";
      return false;
    }
  }
  if (it.kind == a_item_kind::oneshot && it.label && m->draw != nullptr) {
    why = "a button with an embedded label takes a plain face (face or face-default), not " + it.motif;
    return false;
  }
  return true;
}

a_art_image Interface_Draw_Picture(const a_interface_table& t, const a_tool_picture& pic) {
  a_art_image img;
  img.width = pic.width;
  img.height = pic.height;
  img.rgba.assign(size_t(pic.width) * size_t(pic.height) * 4, 0);
  if (t.slider.pixtx == pic.id) {
    a_surface s(kSliderArtWidth, kSliderArtHeight);
    Draw_Slider_Looks(s.Cr());
    Opaque_Into(s, img, t.slider.left, t.slider.top);
  }
  for (const auto* list : {&t.grids, &t.oneshots, &t.toggles}) {
    for (const a_item_art& it : *list) {
      if (it.pixtx != pic.id || !it.as.empty()) continue;
      const a_motif* m = Find_Motif(it.motif, it.kind);
      if (m == nullptr) continue;  // refused when the table was read
      for (int pass = 0; pass < (it.has_alt ? 2 : 1); ++pass) {
        for (int v = 0; v < it.Versions(); ++v) {
          a_surface s(it.width, it.height);
          if (it.kind == a_item_kind::grid) Draw_Grid(s.Cr(), it, *m, v);
          else Draw_Button(s.Cr(), it, *m, v, pass == 1);
          const int32_t x = (pass ? it.alt_left : it.left) + v * it.verh, y = (pass ? it.alt_top : it.top) + v * it.verv;
          if (it.translucent) Translucent_Into(s, img, x, y);
          else Opaque_Into(s, img, x, y, it.dark ? kDarkGround : kPanel);
        }
      }
    }
  }
  return img;
}
