// Stored pictures by id (12, id, 0, 0): interface art, 32-bit and
// run-length packed. The About picture is drawn here, the rest of the
// interface's named pictures in FamPictures2.cpp.
#include <cmath>

#include "Canvas.h"

namespace {

constexpr double kTau = 2 * M_PI;
constexpr int32_t kAboutW = 520, kAboutH = 280;

// Text with extra room between the letters.
double Spaced_Width(cairo_t* cr, const std::string& text, double extra) {
  double w = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    cairo_text_extents_t e;
    const std::string ch(1, text[i]);
    cairo_text_extents(cr, ch.c_str(), &e);
    w += e.x_advance + (i + 1 < text.size() ? extra : 0);
  }
  return w;
}

void Spaced_Text(cairo_t* cr, const std::string& text, double x, double y, double extra) {
  for (char c : text) {
    const std::string ch(1, c);
    cairo_text_extents_t e;
    cairo_text_extents(cr, ch.c_str(), &e);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, ch.c_str());
    x += e.x_advance + extra;
  }
}

// The About box: a printed disc beside the program's name. The program
// writes its version line in black across the band from (right - 305, 140)
// to (right, 172), so that band stays plain and light.
bool Draw_About(std::vector<a_art_object>& out, std::string& err) {
  a_surface s(kAboutW, kAboutH);
  cairo_t* cr = s.Cr();
  const a_ramp bg{{{0, Hex("#f7f8fd")}, {0.55, Hex("#eef0fa")}, {1, Hex("#e4e6f6")}}};
  Fill_Linear(cr, 0, 0, 0, kAboutH, bg);
  const double band_left = kAboutW - ART_ABOUT_BAND_WIDTH;

  // Ribbons along the foot, below the version band.
  const a_rgb ribbon[3] = {Hex("#6a5cff"), Hex("#c05ee0"), Hex("#ff7eb3")};
  for (int k = 0; k < 3; ++k) {
    cairo_move_to(cr, 0, kAboutH);
    for (int x = 0; x <= kAboutW; x += 4) {
      const double y = kAboutH - 26 - 12 * k + 10 * std::sin(x / 70.0 + k * 1.3) + 6 * std::sin(x / 31.0 + k);
      cairo_line_to(cr, x, y);
    }
    cairo_line_to(cr, kAboutW, kAboutH);
    cairo_close_path(cr);
    Set_Rgb(cr, ribbon[k], 0.16);
    cairo_fill(cr);
  }
  cairo_pattern_t* bar = cairo_pattern_create_linear(0, 0, kAboutW, 0);
  for (int k = 0; k < 3; ++k) Add_Stop(bar, k / 2.0, ribbon[k]);
  cairo_rectangle(cr, 0, kAboutH - 5, kAboutW, 5);
  cairo_set_source(cr, bar);
  cairo_fill(cr);
  cairo_pattern_destroy(bar);

  // The disc, printed with one of the program's canvases.
  const double R = 98, cx = band_left / 2 + 1, cy = kAboutH / 2.0 - 4;
  {
    a_surface shadow(kAboutW, kAboutH);
    cairo_arc(shadow.Cr(), cx + 3, cy + 6, R, 0, kTau);
    cairo_set_source_rgba(shadow.Cr(), 0.1, 0.1, 0.25, 0.35);
    cairo_fill(shadow.Cr());
    shadow.Blur(6);
    s.Paint(shadow, 0, 0);
  }
  const a_canvas_style* waves = Find_Canvas_Style("waves");
  if (waves == nullptr) {
    err = "the About picture needs the canvas style waves";
    return false;
  }
  const int32_t side = int32_t(2 * R);
  a_surface face(side, side);
  a_canvas_frame f;
  f.w = f.h = side;
  f.set = ART_CANVAS_SET_DISC;
  f.u = side / 640.0;
  f.cx = f.cy = side / 2.0;
  a_canvas_design d;
  d.seed = Seed_Of("about", 1);
  waves->draw32(face, f, d);
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, R, 0, kTau);
  cairo_arc_negative(cr, cx, cy, R * 0.345, kTau, 0);
  cairo_clip(cr);
  cairo_set_source_surface(cr, face.Surface(), cx - R, cy - R);
  cairo_paint(cr);
  // Gloss over the print.
  cairo_pattern_t* gloss = cairo_pattern_create_linear(cx - R, cy - R, cx + R * 0.4, cy + R * 0.4);
  Add_Stop(gloss, 0, Hex("#ffffff"), 0.38);
  Add_Stop(gloss, 0.5, Hex("#ffffff"), 0.06);
  Add_Stop(gloss, 1, Hex("#ffffff"), 0.0);
  cairo_set_source(cr, gloss);
  cairo_paint(cr);
  cairo_pattern_destroy(gloss);
  cairo_restore(cr);
  // The clear hub round the hole, its rings, and the rim.
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, R * 0.345, 0, kTau);
  cairo_arc_negative(cr, cx, cy, R * 0.13, kTau, 0);
  Set_Rgb(cr, Hex("#dfe4f0"), 0.85);
  cairo_fill(cr);
  cairo_set_line_width(cr, 1.0);
  for (const double k : {0.345, 0.25, 0.2, 0.13}) {
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, R * k, 0, kTau);
    Set_Rgb(cr, Hex("#9aa3bd"), 0.7);
    cairo_stroke(cr);
  }
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, R - 0.5, 0, kTau);
  Set_Rgb(cr, Hex("#ffffff"), 0.6);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);

  // The name and what it is, centred over the version band.
  const double mid = band_left + ART_ABOUT_BAND_WIDTH / 2.0;
  const std::string name = "Velmor 4", subtitle = "LABEL DESIGNER", tagline = "discs \xC2\xB7 cases \xC2\xB7 labels";
  double size = 58;
  cairo_text_extents_t e;
  for (;; size -= 1) {
    Use_Font(cr, "sans-bold", size);
    cairo_text_extents(cr, name.c_str(), &e);
    if (e.width <= ART_ABOUT_BAND_WIDTH - 40 || size < 20) break;
  }
  const double tx = mid - e.width / 2 - e.x_bearing, ty = 92;
  cairo_move_to(cr, tx + 1.5, ty + 2);
  Set_Rgb(cr, Hex("#b9bedc"), 0.7);
  cairo_show_text(cr, name.c_str());
  cairo_move_to(cr, tx, ty);
  cairo_text_path(cr, name.c_str());
  cairo_pattern_t* ink = cairo_pattern_create_linear(tx, ty - e.height, tx + e.width, ty);
  Add_Stop(ink, 0, Hex("#23238f"));
  Add_Stop(ink, 0.6, Hex("#5a2bb8"));
  Add_Stop(ink, 1, Hex("#9b2fc4"));
  cairo_set_source(cr, ink);
  cairo_fill(cr);
  cairo_pattern_destroy(ink);

  Use_Font(cr, "sans", 17);
  const double sw = Spaced_Width(cr, subtitle, 3.2);
  Set_Rgb(cr, Hex("#4f557a"));
  Spaced_Text(cr, subtitle, mid - sw / 2, 122, 3.2);

  Use_Font(cr, "serif", 14);
  cairo_text_extents(cr, tagline.c_str(), &e);
  Set_Rgb(cr, Hex("#767b9a"));
  cairo_move_to(cr, mid - e.width / 2 - e.x_bearing, 203);
  cairo_show_text(cr, tagline.c_str());

  a_art_image img = s.Image();
  for (size_t i = 3; i < img.rgba.size(); i += 4) img.rgba[i] = 255;
  a_art_object o;
  o.key = a_keyset{ART_PICTURE, ART_PICT_ABOUT, 0, 0};
  if (!Pixt_Encode32_RLE(img, 0, o.data, err)) return false;
  out.push_back(std::move(o));
  return true;
}

}  // namespace

// FamPictures2.cpp
void Named_Picture_Jobs(std::vector<a_art_job>& jobs);

bool Picture_Jobs(const a_art_context&, std::vector<a_art_job>& jobs, std::string&) {
  jobs.push_back(a_art_job{"about picture", Draw_About});
  Named_Picture_Jobs(jobs);
  return true;
}
