// The drawings of velmor_resgen: the colour cursors and the program icon,
// drawn with cairo. Everything here is deterministic: fixed coordinates, no
// fonts, no clock, the same pixels on every run with the same cairo.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "ResGen.h"

namespace resgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// --- Surfaces -----------------------------------------------------------------------------

// A drawing surface that turns into a straight-alpha picture.
class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h) {
    s_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cr_ = cairo_create(s_);
    if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
      std::fprintf(stderr, "resgen: cairo cannot draw: %s\n", cairo_status_to_string(cairo_status(cr_)));
      std::exit(1);
    }
  }
  ~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(s_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  cairo_t* cr() { return cr_; }
  cairo_surface_t* surface() { return s_; }

  Picture Take() {
    cairo_surface_flush(s_);
    Picture p;
    p.width = w_;
    p.height = h_;
    p.rgba.resize(size_t(w_) * size_t(h_));
    const unsigned char* data = cairo_image_surface_get_data(s_);
    const int stride = cairo_image_surface_get_stride(s_);
    for (int y = 0; y < h_; ++y) {
      const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
      for (int x = 0; x < w_; ++x) {
        const uint32_t v = row[x];  // premultiplied 0xAARRGGBB
        const uint32_t a = v >> 24;
        uint32_t r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
        if (a == 0) {
          r = g = b = 0;
        } else if (a < 255) {
          r = std::min<uint32_t>(255, (r * 255 + a / 2) / a);
          g = std::min<uint32_t>(255, (g * 255 + a / 2) / a);
          b = std::min<uint32_t>(255, (b * 255 + a / 2) / a);
        }
        p.At(x, y) = (r << 24) | (g << 16) | (b << 8) | a;
      }
    }
    return p;
  }

 private:
  int w_, h_;
  cairo_surface_t* s_;
  cairo_t* cr_;
};

void Rgb(cairo_t* cr, uint32_t rgb, double alpha = 1.0) {
  cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                        alpha);
}

void Stop(cairo_pattern_t* p, double at, uint32_t rgb, double alpha = 1.0) {
  cairo_pattern_add_color_stop_rgba(p, at, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                                    (rgb & 0xFF) / 255.0, alpha);
}

// Fills the current path with a linear gradient from (x0, y0) to (x1, y1)
// through the given stops (position, colour), keeping the path.
void Fill_Linear(cairo_t* cr, double x0, double y0, double x1, double y1,
                 std::initializer_list<std::pair<double, uint32_t>> stops, bool keep = false) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
  for (const auto& [at, rgb] : stops) Stop(p, at, rgb);
  cairo_set_source(cr, p);
  if (keep) cairo_fill_preserve(cr);
  else cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void Rounded_Rect(cairo_t* cr, double x0, double y0, double x1, double y1, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x1 - r, y0 + r, r, -kPi / 2, 0);
  cairo_arc(cr, x1 - r, y1 - r, r, 0, kPi / 2);
  cairo_arc(cr, x0 + r, y1 - r, r, kPi / 2, kPi);
  cairo_arc(cr, x0 + r, y0 + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

// Local axes for a tool lying along a line: x runs from `from` towards `to`,
// +y is the side to the right of that direction (the shaded side when the
// tool points down-left, as these cursors do, lit from the upper left).
void Axis(cairo_t* cr, double fx, double fy, double tx, double ty) {
  cairo_translate(cr, fx, fy);
  cairo_rotate(cr, std::atan2(ty - fy, tx - fx));
}

// --- Finishing a cursor ---------------------------------------------------------------------

constexpr uint32_t kOutline = 0x18181CFFu;      // the dark outline
constexpr uint32_t kShadow = 0x00000050u;       // the soft shadow, down and right
constexpr double kInnerEdgeLight = 0.38;         // how far the inner edge is lifted towards white

bool Opaque(const Picture& p, int x, int y) {
  return x >= 0 && y >= 0 && x < p.width && y < p.height && (p.At(x, y) & 0xFF) != 0;
}

uint32_t Towards_White(uint32_t rgba, double t) {
  auto ch = [&](int shift) {
    const double c = double((rgba >> shift) & 0xFF);
    return uint32_t(std::lround(c + (255.0 - c) * t));
  };
  return (ch(24) << 24) | (ch(16) << 16) | (ch(8) << 8) | (rgba & 0xFF);
}

// The drawing becomes a cursor that reads on any ground: every pixel at
// least half covered is opaque (crisp edges), the pixels around the shape
// become a one-pixel dark outline, the shape's own edge pixels are lifted
// towards white, and a soft shadow falls one pixel down and right.
// `marks` are drawn after the outline: small crisp details (spray drops)
// that carry their own colours. `lift` is how far the inner edge goes
// towards white (less for thin shapes, which would turn pale).
Picture Finish_Cursor(const Picture& art, const Picture* marks = nullptr, double lift = kInnerEdgeLight) {
  const int w = art.width, h = art.height;
  Picture shape = art;
  for (uint32_t& px : shape.rgba) px = (px & 0xFF) >= 128 ? (px | 0xFF) : 0;
  Picture out = shape;
  // The outline: every clear pixel touching the shape, corners included.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (Opaque(shape, x, y)) continue;
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy)
        for (int dx = -1; dx <= 1 && !near; ++dx) near = Opaque(shape, x + dx, y + dy);
      if (near) out.At(x, y) = kOutline;
    }
  // The inner edge: shape pixels beside the outline.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!Opaque(shape, x, y)) continue;
      const bool edge = !Opaque(shape, x - 1, y) || !Opaque(shape, x + 1, y) || !Opaque(shape, x, y - 1) ||
                        !Opaque(shape, x, y + 1);
      if (edge) out.At(x, y) = Towards_White(shape.At(x, y), lift);
    }
  // The shadow of the outlined shape.
  const Picture lit = out;
  for (int y = 1; y < h; ++y)
    for (int x = 1; x < w; ++x)
      if (!Opaque(lit, x, y) && Opaque(lit, x - 1, y - 1)) out.At(x, y) = kShadow;
  // The marks over it all, casting no shadow of their own (a cloud of drops
  // stays clean).
  if (marks != nullptr) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if ((marks->At(x, y) & 0xFF) >= 128) out.At(x, y) = marks->At(x, y) | 0xFF;
  }
  return out;
}

// --- The colour cursors -----------------------------------------------------------------------

// Paintbrush: a round brush lying from the upper right down to its tip at
// the lower left, wet with blue paint.
Picture Brush() {
  Canvas c(32, 32);
  cairo_t* cr = c.cr();
  Axis(cr, 2.4, 29.6, 29.2, 2.8);
  // Handle: lacquered wood, swelling a little and rounded at its end.
  cairo_move_to(cr, 18.5, -2.2);
  cairo_curve_to(cr, 22, -2.7, 24, -3.0, 27, -3.0);
  cairo_curve_to(cr, 31, -3.0, 34, -2.3, 36.2, -1.8);
  cairo_curve_to(cr, 38.0, -1.4, 38.0, 1.4, 36.2, 1.8);
  cairo_curve_to(cr, 34, 2.3, 31, 3.0, 27, 3.0);
  cairo_curve_to(cr, 24, 3.0, 22, 2.7, 18.5, 2.2);
  cairo_close_path(cr);
  Fill_Linear(cr, 0, -3, 0, 3, {{0.0, 0xFCE49Au}, {0.35, 0xEDB347u}, {1.0, 0xB06C1Eu}});
  // Ferrule: bright metal with two crimps.
  Rounded_Rect(cr, 11.5, -3.2, 19.5, 3.2, 0.8);
  Fill_Linear(cr, 0, -3.2, 0, 3.2, {{0.0, 0xF6F8FAu}, {0.35, 0xCDD3D9u}, {1.0, 0x737B84u}});
  for (double x : {14.3, 16.9}) {
    cairo_rectangle(cr, x, -3.2, 0.9, 6.4);
    Rgb(cr, 0x6A727Bu);
    cairo_fill(cr);
  }
  // Bristles: a flame from the ferrule to the point, the front third wet.
  cairo_move_to(cr, 0.2, 0);
  cairo_curve_to(cr, 2.0, -1.4, 5.0, -3.3, 8.8, -3.4);
  cairo_line_to(cr, 11.8, -3.0);
  cairo_line_to(cr, 11.8, 3.0);
  cairo_line_to(cr, 8.8, 3.4);
  cairo_curve_to(cr, 5.0, 3.3, 2.0, 1.4, 0.2, 0);
  cairo_close_path(cr);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  Fill_Linear(cr, 0, -3.4, 0, 3.4, {{0.0, 0xA8794Eu}, {0.4, 0x7A5232u}, {1.0, 0x4A2F1Cu}});
  cairo_new_path(cr);
  cairo_move_to(cr, -1, -4);
  cairo_line_to(cr, 5.2, -4);
  cairo_curve_to(cr, 6.8, -1.5, 6.8, 1.5, 5.2, 4);
  cairo_line_to(cr, -1, 4);
  cairo_close_path(cr);
  Fill_Linear(cr, 0, -3.4, 0, 3.4, {{0.0, 0x7DB4F6u}, {0.45, 0x2F6FD0u}, {1.0, 0x1B4597u}});
  cairo_restore(cr);
  return Finish_Cursor(c.Take());
}

// Eyedropper: the glass tube down to the tip at the lower left, a drop of
// blue in it, the collar and the red rubber bulb at the upper right.
Picture Eyedropper() {
  Canvas c(32, 32);
  cairo_t* cr = c.cr();
  Axis(cr, 2.4, 29.6, 28.6, 3.4);
  // Bulb.
  Rounded_Rect(cr, 20.0, -4.5, 35.8, 4.5, 4.5);
  Fill_Linear(cr, 0, -4.5, 0, 4.5, {{0.0, 0xF59482u}, {0.4, 0xD6473Au}, {1.0, 0x92231Bu}});
  cairo_save(cr);
  cairo_translate(cr, 28, -2.1);
  cairo_scale(cr, 4.2, 1.1);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  Rgb(cr, 0xFFFFFFu, 0.45);
  cairo_fill(cr);
  // Collar.
  Rounded_Rect(cr, 16.4, -3.5, 20.8, 3.5, 0.7);
  Fill_Linear(cr, 0, -3.5, 0, 3.5, {{0.0, 0xE6EAEDu}, {0.4, 0xA2A9B0u}, {1.0, 0x5F666Du}});
  // Glass tube, rounded at the tip.
  cairo_move_to(cr, 0.6, -1.2);
  cairo_line_to(cr, 5.0, -2.2);
  cairo_line_to(cr, 16.8, -2.4);
  cairo_line_to(cr, 16.8, 2.4);
  cairo_line_to(cr, 5.0, 2.2);
  cairo_line_to(cr, 0.6, 1.2);
  cairo_curve_to(cr, -0.4, 0.8, -0.4, -0.8, 0.6, -1.2);
  cairo_close_path(cr);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  Fill_Linear(cr, 0, -2.4, 0, 2.4, {{0.0, 0xFFFFFFu}, {0.5, 0xD8ECF6u}, {1.0, 0x9FBFD2u}});
  // The liquid, with a curved surface.
  cairo_new_path(cr);
  cairo_move_to(cr, -1, -3);
  cairo_line_to(cr, 8.6, -3);
  cairo_curve_to(cr, 9.8, -1, 9.8, 1, 8.6, 3);
  cairo_line_to(cr, -1, 3);
  cairo_close_path(cr);
  Fill_Linear(cr, 0, -2.4, 0, 2.4, {{0.0, 0x8CC0FAu}, {0.45, 0x2F6FD0u}, {1.0, 0x1B4597u}});
  cairo_restore(cr);
  return Finish_Cursor(c.Take());
}

// Spray can: a red can at the lower right, its nozzle spraying a cloud of
// drops to the upper left, where the paint lands.
Picture Spray_Can(int& hot_x, int& hot_y) {
  Canvas c(32, 32);
  cairo_t* cr = c.cr();
  // Body.
  Rounded_Rect(cr, 15.5, 14.0, 27.5, 30.0, 2.2);
  Fill_Linear(cr, 15.5, 0, 27.5, 0, {{0.0, 0xF47B66u}, {0.3, 0xE2452Fu}, {1.0, 0x9E2317u}});
  // Label band.
  cairo_rectangle(cr, 15.5, 19.0, 12.0, 6.0);
  Fill_Linear(cr, 15.5, 0, 27.5, 0, {{0.0, 0xFFFFFFu}, {0.35, 0xF1EEE7u}, {1.0, 0xB9B3A6u}});
  cairo_rectangle(cr, 17.5, 21.0, 8.0, 2.0);
  Fill_Linear(cr, 17.5, 0, 25.5, 0, {{0.0, 0x4F8DE8u}, {1.0, 0x1F4FA0u}});
  // Shoulder.
  cairo_move_to(cr, 15.5, 15.2);
  cairo_curve_to(cr, 15.5, 12.0, 18.0, 10.6, 21.5, 10.6);
  cairo_curve_to(cr, 25.0, 10.6, 27.5, 12.0, 27.5, 15.2);
  cairo_close_path(cr);
  Fill_Linear(cr, 15.5, 0, 27.5, 0, {{0.0, 0xF2F4F6u}, {0.35, 0xC3CAD0u}, {1.0, 0x6F7880u}});
  // Valve stem and the push button with its nozzle on the left.
  cairo_rectangle(cr, 20.0, 8.0, 3.0, 3.0);
  Rgb(cr, 0x7D868Fu);
  cairo_fill(cr);
  Rounded_Rect(cr, 17.0, 4.5, 25.0, 8.5, 1.2);
  Fill_Linear(cr, 0, 4.5, 0, 8.5, {{0.0, 0xFFFFFFu}, {1.0, 0xB9C1C8u}});
  cairo_rectangle(cr, 17.0, 6.0, 1.6, 1.4);
  Rgb(cr, 0x2E3338u);
  cairo_fill(cr);
  const Picture art = c.Take();

  // The drops: crisp single pixels of paint, thick near the centre of the
  // cloud (the hot spot) and thinning out, placed by a fixed sequence of our
  // own so that every build draws the same cloud.
  hot_x = 8;
  hot_y = 7;
  Picture marks;
  marks.width = marks.height = 32;
  marks.rgba.assign(32 * 32, 0);
  uint32_t seed = 0x2545F491u;
  auto next = [&seed]() {
    seed = seed * 1664525u + 1013904223u;
    return double(seed >> 8) / double(1u << 24);
  };
  for (int placed = 0; placed < 40;) {
    const double a = next() * 2 * kPi, d = 7.2 * std::sqrt(next());
    const int x = int(std::lround(hot_x + d * std::cos(a))), y = int(std::lround(hot_y + d * std::sin(a) * 0.9));
    if (x < 0 || y < 0 || x > 14 || y > 15 || (marks.At(x, y) & 0xFF) != 0) continue;
    marks.At(x, y) = d < 3.5 ? 0xF25A3FFFu : (placed % 3 == 0 ? 0xFF9A86FFu : 0xE2452FFFu);
    ++placed;
  }
  for (const auto& [dx, dy] : {std::pair<int, int>{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}})
    marks.At(hot_x + dx, hot_y + dy) = dx == 0 && dy == 0 ? 0xFFB4A4FFu : 0xE2452FFFu;
  return Finish_Cursor(art, &marks);
}

// Paint bucket: a metal pail tipped to the upper left, blue paint running
// over its lip into a drop at the lower left, where the fill starts.
Picture Bucket() {
  Canvas c(32, 32);
  cairo_t* cr = c.cr();
  // Paint running from the lip down into the drop.
  cairo_move_to(cr, 5.0, 15.5);
  cairo_curve_to(cr, 4.0, 19.5, 2.8, 22.5, 2.3, 26.0);
  cairo_arc_negative(cr, 4.6, 26.4, 2.3, kPi, 0.0);
  cairo_curve_to(cr, 6.9, 23.0, 7.8, 20.0, 9.6, 17.0);
  cairo_close_path(cr);
  Fill_Linear(cr, 2, 0, 9, 0, {{0.0, 0x8CC0FAu}, {0.45, 0x2F6FD0u}, {1.0, 0x1B4597u}});
  cairo_save(cr);
  Axis(cr, 12.5, 10.5, 24.5, 21.5);
  // The pail, narrower at the bottom.
  cairo_move_to(cr, 0, -8.4);
  cairo_line_to(cr, 14.5, -6.6);
  cairo_curve_to(cr, 16.9, -6.3, 16.9, 6.3, 14.5, 6.6);
  cairo_line_to(cr, 0, 8.4);
  cairo_close_path(cr);
  Fill_Linear(cr, 0, -8.4, 0, 8.4,
              {{0.0, 0x8A939Bu}, {0.3, 0xF0F3F6u}, {0.65, 0xB9C1C8u}, {1.0, 0x66707Au}});
  // Two ribs round the pail.
  for (double x : {5.0, 10.0}) {
    cairo_move_to(cr, x, -8.4 + x * 0.124);
    cairo_line_to(cr, x, 8.4 - x * 0.124);
    cairo_set_line_width(cr, 0.9);
    Rgb(cr, 0x7F8891u);
    cairo_stroke(cr);
  }
  // The open mouth: rim, dark inside, paint.
  cairo_save(cr);
  cairo_scale(cr, 2.7, 8.4);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  Rgb(cr, 0xE3E8ECu);
  cairo_fill(cr);
  cairo_save(cr);
  cairo_scale(cr, 1.9, 7.3);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  Rgb(cr, 0x2E3338u);
  cairo_fill_preserve(cr);
  cairo_save(cr);
  cairo_clip(cr);
  cairo_rectangle(cr, -3, 0.5, 6, 9);
  Fill_Linear(cr, 0, 0.5, 0, 8, {{0.0, 0x6FA8F0u}, {1.0, 0x2459B8u}});
  cairo_restore(cr);
  cairo_restore(cr);
  return Finish_Cursor(c.Take());
}

// Symmetry centre: a red ring with white cross hairs, the centre dot the
// point of symmetry.
Picture Centre() {
  Canvas c(32, 32);
  cairo_t* cr = c.cr();
  const double cx = 15.5, cy = 15.5;
  cairo_arc(cr, cx, cy, 10.6, 0, 2 * kPi);
  cairo_arc_negative(cr, cx, cy, 6.9, 2 * kPi, 0);
  cairo_close_path(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  Fill_Linear(cr, 5, 5, 26, 26, {{0.0, 0xFF8A74u}, {0.45, 0xE0453Au}, {1.0, 0x9E231Bu}});
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  Rgb(cr, 0xFFFFFFu);
  // Ticks outside the ring and inside it, one pixel wide on the centre lines.
  for (const auto& r : {std::pair<double, double>{11.6, 15.5}, {3.0, 5.6}}) {
    cairo_rectangle(cr, 15.0, cy - r.second, 1.0, r.second - r.first);
    cairo_rectangle(cr, 15.0, cy + r.first, 1.0, r.second - r.first);
    cairo_rectangle(cr, cx - r.second, 15.0, r.second - r.first, 1.0);
    cairo_rectangle(cr, cx + r.first, 15.0, r.second - r.first, 1.0);
  }
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, 1.6, 0, 2 * kPi);
  Rgb(cr, 0xE0453Au);
  cairo_fill(cr);
  return Finish_Cursor(c.Take(), nullptr, 0.2);
}

// The arrow with a badge: plus (green) or minus (red).
Picture Drag_Badge(bool plus) {
  Canvas c(32, 32);
  cairo_t* cr = c.cr();
  cairo_move_to(cr, 1.0, 1.0);
  cairo_line_to(cr, 1.0, 21.6);
  cairo_line_to(cr, 6.0, 16.9);
  cairo_line_to(cr, 9.4, 24.4);
  cairo_line_to(cr, 12.6, 23.0);
  cairo_line_to(cr, 9.3, 15.7);
  cairo_line_to(cr, 15.8, 15.7);
  cairo_close_path(cr);
  Fill_Linear(cr, 0, 1, 0, 24, {{0.0, 0xFFFFFFu}, {1.0, 0xE2E6EAu}});
  cairo_arc(cr, 23.5, 23.5, 7.2, 0, 2 * kPi);
  if (plus) Fill_Linear(cr, 18, 17, 29, 30, {{0.0, 0x7BE08Fu}, {0.45, 0x2EA84Au}, {1.0, 0x17702Fu}});
  else Fill_Linear(cr, 18, 17, 29, 30, {{0.0, 0xFF9A86u}, {0.45, 0xD9412Fu}, {1.0, 0x96241Au}});
  Rgb(cr, 0xFFFFFFu);
  cairo_rectangle(cr, 19.0, 22.0, 9.0, 3.0);
  if (plus) cairo_rectangle(cr, 22.0, 19.0, 3.0, 9.0);
  cairo_fill(cr);
  return Finish_Cursor(c.Take());
}

void Check_Hot_Spot(const Cursor& c) {
  if ((c.picture.At(c.hot_x, c.hot_y) & 0xFF) != 0xFF) {
    std::fprintf(stderr, "resgen: the hot spot of cursor %d is not on an opaque pixel\n", c.id);
    std::exit(1);
  }
}

}  // namespace

std::vector<Cursor> Draw_Colour_Cursors() {
  std::vector<Cursor> out;
  int sx = 0, sy = 0;
  Picture spray = Spray_Can(sx, sy);
  out.push_back({135, "Symmetry centre: the click sets the point the copies turn round", 15, 15, Centre()});
  out.push_back({136, "Spray can: the paint lands round the centre of the cloud", sx, sy, std::move(spray)});
  out.push_back({137, "Paint bucket: the fill starts where the drop falls", 4, 28, Bucket()});
  out.push_back({138, "Paintbrush: the click is at the tip", 2, 29, Brush()});
  out.push_back({139, "Eyedropper: the click is at the tip", 2, 29, Eyedropper()});
  out.push_back({151, "Arrow with a plus: what is dragged is added", 1, 1, Drag_Badge(true)});
  out.push_back({152, "Arrow with a minus: what is dragged is taken away", 1, 1, Drag_Badge(false)});
  for (const Cursor& c : out) Check_Hot_Spot(c);
  return out;
}

// --- The program icon ---------------------------------------------------------------------------

namespace {

// A disc with a printed label: deep blue with a golden sweep, a clear hub
// and the hole through which the ground shows. Unit coordinates (the icon
// is 1 x 1); `px` is the size of one pixel in them.
void Icon(cairo_t* cr, double px, bool small) {
  const double c = 0.5, r_disc = 0.47, r_label = small ? 0.44 : 0.445;
  const double r_hub = small ? 0.22 : 0.175, r_ring = small ? 0.15 : 0.12, r_hole = small ? 0.1 : 0.07;
  auto circle = [&](double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, c, c, r, 0, 2 * kPi);
  };
  // The disc: silver, lighter to the upper left.
  circle(r_disc);
  Fill_Linear(cr, 0.1, 0.1, 0.9, 0.9, {{0.0, 0xF7F9FBu}, {0.5, 0xC9D1D9u}, {1.0, 0x8C97A3u}});
  // The printed label, clipped to its ring.
  cairo_save(cr);
  circle(r_label);
  circle(r_hub);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_clip(cr);
  cairo_rectangle(cr, 0, 0, 1, 1);
  Fill_Linear(cr, 0.15, 0.1, 0.85, 0.9, {{0.0, 0x4D86E6u}, {0.45, 0x2559BDu}, {1.0, 0x12337Cu}});
  // The golden sweep from the lower left to the upper right.
  cairo_move_to(cr, 0.02, 0.80);
  cairo_curve_to(cr, 0.30, 0.50, 0.62, 0.40, 1.0, 0.42);
  cairo_line_to(cr, 1.0, small ? 0.60 : 0.58);
  cairo_curve_to(cr, 0.66, 0.55, 0.38, 0.66, 0.12, 0.98);
  cairo_close_path(cr);
  Fill_Linear(cr, 0.1, 0.9, 0.9, 0.4, {{0.0, 0xFFC94Au}, {0.5, 0xF7A823u}, {1.0, 0xE0761Au}});
  if (!small) {
    // A thin white line riding the sweep, and three sparkles.
    cairo_move_to(cr, 0.05, 0.72);
    cairo_curve_to(cr, 0.32, 0.44, 0.62, 0.34, 1.0, 0.36);
    cairo_set_line_width(cr, std::max(0.018, px * 0.9));
    Rgb(cr, 0xFFFFFFu, 0.85);
    cairo_stroke(cr);
    if (px < 1.0 / 40) {
      const double stars[][3] = {{0.30, 0.27, 0.045}, {0.70, 0.73, 0.035}, {0.22, 0.42, 0.025}};
      for (const auto& s : stars) {
        const double x = s[0], y = s[1], r = s[2];
        cairo_move_to(cr, x, y - r);
        cairo_curve_to(cr, x + r * 0.15, y - r * 0.15, x + r * 0.15, y - r * 0.15, x + r, y);
        cairo_curve_to(cr, x + r * 0.15, y + r * 0.15, x + r * 0.15, y + r * 0.15, x, y + r);
        cairo_curve_to(cr, x - r * 0.15, y + r * 0.15, x - r * 0.15, y + r * 0.15, x - r, y);
        cairo_curve_to(cr, x - r * 0.15, y - r * 0.15, x - r * 0.15, y - r * 0.15, x, y - r);
        cairo_close_path(cr);
        Rgb(cr, 0xFFFFFFu, 0.95);
        cairo_fill(cr);
      }
    }
  }
  cairo_restore(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  // The label's edge.
  circle(r_label);
  cairo_set_line_width(cr, std::max(px * 0.8, 0.006));
  Rgb(cr, 0x0B2258u, 0.45);
  cairo_stroke(cr);
  // The hub: clear plastic with its stacking ring, and the hole.
  circle(r_hub);
  Fill_Linear(cr, 0.3, 0.3, 0.7, 0.7, {{0.0, 0xF4F6F8u}, {1.0, 0xB4BDC6u}});
  circle(r_ring);
  cairo_set_line_width(cr, std::max(px, 0.012));
  Rgb(cr, 0x8E99A5u, 0.8);
  cairo_stroke(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  circle(r_hole);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  if (!small) {
    circle(r_hole + px * 0.5);
    cairo_set_line_width(cr, px);
    Rgb(cr, 0x5A6570u, 0.7);
    cairo_stroke(cr);
  }
  // Gloss over the upper left of the disc.
  if (!small) {
    cairo_save(cr);
    circle(r_disc);
    cairo_clip(cr);
    cairo_move_to(cr, 0.06, 0.46);
    cairo_curve_to(cr, 0.10, 0.20, 0.30, 0.06, 0.56, 0.05);
    cairo_curve_to(cr, 0.36, 0.14, 0.20, 0.28, 0.06, 0.46);
    cairo_close_path(cr);
    Rgb(cr, 0xFFFFFFu, 0.35);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  // The disc's edge, so it reads on a light ground.
  circle(r_disc - px * 0.5);
  cairo_set_line_width(cr, px);
  Rgb(cr, 0x3A4654u, 0.75);
  cairo_stroke(cr);
}

}  // namespace

Picture Draw_Program_Icon(int size) {
  Canvas c(size, size);
  cairo_t* cr = c.cr();
  cairo_scale(cr, size, size);
  Icon(cr, 1.0 / size, size < 24);
  return c.Take();
}

std::vector<uint8_t> Program_Icon_Png(int size) {
  Canvas c(size, size);
  cairo_t* cr = c.cr();
  cairo_scale(cr, size, size);
  Icon(cr, 1.0 / size, size < 24);
  cairo_surface_flush(c.surface());
  std::vector<uint8_t> out;
  auto write = [](void* closure, const unsigned char* data, unsigned int length) {
    auto* v = static_cast<std::vector<uint8_t>*>(closure);
    v->insert(v->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
  };
  if (cairo_surface_write_to_png_stream(c.surface(), write, &out) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "resgen: cannot make the PNG icon\n");
    std::exit(1);
  }
  return out;
}

}  // namespace resgen
