// Stored pictures by id (12, id, 0, 0) of the interface: the background
// tiles of the panels, the dialogs' button faces, the language chooser's
// faces, the phase selector, the copy counter's triangles, the colour wheel,
// the print preview's badge, the unit list's marks and the history panel's
// strips. Their ids and the places the program reads them from are in
// ArtKeys.h; everything here is drawn to that geometry.
//
// One look throughout: cool light greys, one blue for what is current or
// chosen, dark slate ink. Opaque pictures fill every pixel they are read
// from; translucent ones carry straight alpha round their rounded edges.
// No channel goes above 254, so no visible pixel is pure white.
#include <algorithm>
#include <cmath>

#include "ArtGen.h"

namespace {

constexpr double kTau = 2 * M_PI;

a_rgb Rgb(int r, int g, int b) { return a_rgb{r / 255.0, g / 255.0, b / 255.0}; }

// The interface's colours.
const a_rgb kPanel = Rgb(ART_LIGHT_STRIPE_RGB[0], ART_LIGHT_STRIPE_RGB[1], ART_LIGHT_STRIPE_RGB[2]);
const a_rgb kInk = Rgb(39, 52, 77);
const a_rgb kIcon = Rgb(62, 84, 126);
const a_rgb kAccent = Rgb(61, 111, 214);
const a_rgb kAccentDark = Rgb(38, 80, 170);
const a_rgb kBorder = Rgb(150, 158, 176);
const a_rgb kBorderDark = Rgb(118, 128, 150);
const a_rgb kLight = Rgb(254, 254, 254);

int32_t Width(const Rect& r) { return r.right - r.left; }
int32_t Height(const Rect& r) { return r.bottom - r.top; }

// ---------------------------------------------------------------------------
// Drawing helpers
// ---------------------------------------------------------------------------
void Round_Rect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
  cairo_close_path(cr);
}

void Vertical_Gradient(cairo_t* cr, double y0, double y1, const a_rgb& top, const a_rgb& bottom, double alpha = 1) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
  Add_Stop(g, 0, top, alpha);
  Add_Stop(g, 1, bottom, alpha);
  cairo_set_source(cr, g);
  cairo_pattern_destroy(g);
}

void Line(cairo_t* cr, double x0, double y0, double x1, double y1, const a_rgb& c, double alpha = 1, double width = 1) {
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  Set_Rgb(cr, c, alpha);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

std::string Utf8(uint32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += char(cp);
  } else if (cp < 0x800) {
    s += char(0xC0 | (cp >> 6));
    s += char(0x80 | (cp & 0x3F));
  } else {
    s += char(0xE0 | (cp >> 12));
    s += char(0x80 | ((cp >> 6) & 0x3F));
    s += char(0x80 | (cp & 0x3F));
  }
  return s;
}

// A glyph of an icon font with its ink centred on (cx, cy), on whole pixels.
void Icon(cairo_t* cr, uint32_t cp, double size, double cx, double cy, const a_rgb& c, double alpha = 1) {
  const std::string g = Utf8(cp);
  Use_Font(cr, "awesome", size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, g.c_str(), &e);
  cairo_move_to(cr, std::round(cx - e.width / 2 - e.x_bearing), std::round(cy - e.height / 2 - e.y_bearing));
  Set_Rgb(cr, c, alpha);
  cairo_show_text(cr, g.c_str());
}

double Text_Width(cairo_t* cr, const char* font, double size, const std::string& text) {
  Use_Font(cr, font, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.x_advance;
}

void Text(cairo_t* cr, const char* font, double size, const std::string& text, double x, double baseline, const a_rgb& c) {
  Use_Font(cr, font, size);
  cairo_move_to(cr, std::round(x), std::round(baseline));
  Set_Rgb(cr, c);
  cairo_show_text(cr, text.c_str());
}

// The looks of a raised face.
enum class a_look { plain, pressed, accent, accent_pressed, unavailable };

// A rounded button face filling (x, y, w, h): a soft shadow on its last row,
// a one-pixel frame, a gradient, a light line under its top edge.
void Face(cairo_t* cr, double x, double y, double w, double h, double r, a_look look) {
  a_rgb top, bottom, frame = kBorder;
  double highlight = 0.75, shadow = 0.14;
  switch (look) {
    case a_look::plain: top = Rgb(253, 253, 254), bottom = Rgb(226, 230, 238); break;
    case a_look::pressed: top = Rgb(203, 210, 223), bottom = Rgb(222, 227, 236), frame = kBorderDark, highlight = 0; break;
    case a_look::accent: top = Rgb(241, 246, 255), bottom = Rgb(212, 226, 251), frame = kAccent; break;
    case a_look::accent_pressed: top = Rgb(196, 214, 246), bottom = Rgb(216, 229, 252), frame = kAccentDark, highlight = 0; break;
    case a_look::unavailable: top = bottom = Rgb(239, 241, 245), frame = Rgb(208, 212, 221), highlight = 0, shadow = 0; break;
  }
  if (shadow > 0) {
    Round_Rect(cr, x + 0.5, y + 1.5, w - 1, h - 1.5, r);
    Set_Rgb(cr, Rgb(20, 30, 50), shadow);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  Round_Rect(cr, x + 0.5, y + 0.5, w - 1, h - 1.5, r);
  Vertical_Gradient(cr, y, y + h - 1, top, bottom);
  cairo_fill_preserve(cr);
  Set_Rgb(cr, frame);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  if (highlight > 0) Line(cr, x + r, y + 1.5, x + w - r, y + 1.5, kLight, highlight);
  if (look == a_look::pressed || look == a_look::accent_pressed) {
    // Pressed in: a shade under the top edge.
    Line(cr, x + r * 0.6, y + 1.5, x + w - r * 0.6, y + 1.5, Rgb(20, 30, 50), 0.12);
  }
}

// A chevron pointing left (dir -1) or right (dir 1), centred on (cx, cy).
void Chevron(cairo_t* cr, double cx, double cy, int dir, const a_rgb& c) {
  cairo_move_to(cr, cx - 2.5 * dir, cy - 5.5);
  cairo_line_to(cr, cx + 2.5 * dir, cy);
  cairo_line_to(cr, cx - 2.5 * dir, cy + 5.5);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 2.2);
  Set_Rgb(cr, c);
  cairo_stroke(cr);
}

// A check mark in the box (x, y, s, s).
void Check_Mark(cairo_t* cr, double x, double y, double s, const a_rgb& c, double width) {
  cairo_move_to(cr, x + 0.24 * s, y + 0.53 * s);
  cairo_line_to(cr, x + 0.43 * s, y + 0.72 * s);
  cairo_line_to(cr, x + 0.77 * s, y + 0.31 * s);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, width);
  Set_Rgb(cr, c);
  cairo_stroke(cr);
}

// Writes a picture: no channel above 254; `opaque` sets every alpha to 255.
bool Store(a_art_image img, int16_t id, bool opaque, std::vector<a_art_object>& out, std::string& err) {
  for (size_t i = 0; i < img.rgba.size(); i += 4) {
    for (size_t c = 0; c < 3; ++c) img.rgba[i + c] = std::min<uint8_t>(img.rgba[i + c], 254);
    if (opaque) img.rgba[i + 3] = 255;
  }
  a_art_object o;
  o.key = a_keyset{ART_PICTURE, id, 0, 0};
  if (!Pixt_Encode32_RLE(img, 0, o.data, err)) return false;
  out.push_back(std::move(o));
  return true;
}

// ---------------------------------------------------------------------------
// Background tiles
// ---------------------------------------------------------------------------
// Pinstripes: two rows of a lighter and two of a darker shade, `step`
// apart in each channel, about the mean colour `mean`.
bool Draw_Stripe(int16_t id, const a_rgb& mean, double step, std::vector<a_art_object>& out, std::string& err) {
  a_surface s(64, 32);
  const double d = step / 2 / 255.0;
  s.Shade([&](double, double y) {
    const double k = (int(y) % 4 < 2) ? d : -d;
    return a_rgb{mean.r + k, mean.g + k, mean.b + k};
  });
  return Store(s.Image(), id, true, out, err);
}

// Parquet in a basket weave: square blocks of four planks, turned a quarter
// from one block to the next, each plank a shade of its own with a grain
// along it. The tile holds 4 x 4 blocks; noise has the tile as its period.
bool Draw_Parquet(std::vector<a_art_object>& out, std::string& err) {
  constexpr int kBlock = 32, kBlocks = 4, kPlanks = 4, kSize = kBlock * kBlocks;
  constexpr double kPlank = double(kBlock) / kPlanks;
  a_rng rng(Seed_Of("parquet"));
  double tone[kBlocks][kBlocks][kPlanks];
  for (auto& row : tone)
    for (auto& block : row)
      for (double& t : block) t = rng.Range(-1, 1);
  const a_noise grain(Seed_Of("parquet grain"));
  const a_rgb wood = Rgb(192, 172, 148), seam = Rgb(160, 141, 118);
  a_surface s(kSize, kSize);
  s.Shade([&](double x, double y) {
    const int bi = int(x) / kBlock, bj = int(y) / kBlock;
    const bool along_x = (bi + bj) % 2 == 0;
    const double lx = x - bi * kBlock, ly = y - bj * kBlock;
    const double across = along_x ? ly : lx;  // within the block, across its planks
    const int plank = std::min(kPlanks - 1, int(across / kPlank));
    // Long, fine grain along the plank; each plank reads its own stretch.
    const double u = along_x ? x : y, v = along_x ? y : x;
    const double g = grain.Fbm_Periodic(u / kSize * 3 + plank * 0.37, v / kSize * 40, 3, 40, 3);
    const double k = 1 + 0.035 * tone[bj][bi][plank] + 0.03 * g;
    a_rgb c = Scale(wood, k);
    // Seams: between planks, darker between blocks.
    const double in_plank = across - plank * kPlank;
    const double to_plank = std::min(in_plank, kPlank - in_plank);
    const double to_block = std::min({lx, kBlock - lx, ly, kBlock - ly});
    c = Mix(seam, c, 0.55 + 0.45 * Smooth(0.0, 1.0, to_plank));
    c = Mix(seam, c, 0.35 + 0.65 * Smooth(0.0, 1.0, to_block));
    return c;
  });
  return Store(s.Image(), ART_PICT_PARQUET, true, out, err);
}

// ---------------------------------------------------------------------------
// Button faces (131) and the language chooser's faces (137)
// ---------------------------------------------------------------------------
bool Draw_Button_Faces(std::vector<a_art_object>& out, std::string& err) {
  a_surface s(ART_FACE_DEFAULT.right, ART_FACE_PRESSED_DV + ART_FACE_HEIGHT);
  cairo_t* cr = s.Cr();
  for (int pressed = 0; pressed < 2; ++pressed) {
    const double dy = pressed * ART_FACE_PRESSED_DV;
    auto face = [&](const Rect& r, a_look plain, a_look down) {
      Face(cr, r.left, r.top + dy, Width(r), Height(r), 5, pressed ? down : plain);
    };
    face(ART_FACE_PREV, a_look::plain, a_look::pressed);
    face(ART_FACE_NEXT, a_look::plain, a_look::pressed);
    face(ART_FACE_TEXT, a_look::plain, a_look::pressed);
    face(ART_FACE_DEFAULT, a_look::accent, a_look::accent_pressed);
    const double cy = dy + (ART_FACE_HEIGHT - 1) / 2.0 + pressed;
    Chevron(cr, (ART_FACE_PREV.left + ART_FACE_PREV.right) / 2.0 - 0.5, cy, -1, kInk);
    Chevron(cr, (ART_FACE_NEXT.left + ART_FACE_NEXT.right) / 2.0 + 0.5, cy, 1, kInk);
    // The page number's well: sunk in, the same pressed or not.
    const Rect& n = ART_FACE_NUMBER;
    Round_Rect(cr, n.left + 0.5, n.top + dy + 0.5, Width(n) - 1, Height(n) - 1.5, 4);
    Set_Rgb(cr, Rgb(249, 250, 252));
    cairo_fill_preserve(cr);
    Set_Rgb(cr, Rgb(172, 179, 194));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    Line(cr, n.left + 3, n.top + dy + 1.5, n.right - 3, n.top + dy + 1.5, Rgb(20, 30, 50), 0.1);
    Line(cr, n.left + 4, n.bottom + dy - 0.5, n.right - 4, n.bottom + dy - 0.5, kLight, 0.9);
  }
  return Store(s.Image(), ART_PICT_BUTTON_FACES, false, out, err);
}

bool Draw_Language_Faces(std::vector<a_art_object>& out, std::string& err) {
  a_surface s(ART_LANG_FACE_WIDTH, (ART_LANG_FACES - 1) * ART_LANG_FACE_DV + ART_LANG_FACE_HEIGHT);
  cairo_t* cr = s.Cr();
  const double w = ART_LANG_FACE_WIDTH, h = ART_LANG_FACE_HEIGHT;
  Face(cr, 0, ART_LANG_FACE_PLAIN * ART_LANG_FACE_DV, w, h, 7, a_look::plain);
  const double cy = ART_LANG_FACE_CURRENT * ART_LANG_FACE_DV;
  Face(cr, 0, cy, w, h, 7, a_look::accent);
  // The current language: a second line inside the frame and a check.
  Round_Rect(cr, 1.5, cy + 1.5, w - 3, h - 3.5, 6);
  Set_Rgb(cr, kAccent, 0.45);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  const double mark_x = (ART_LANG_LABEL.right + w) / 2;
  cairo_arc(cr, mark_x, cy + (h - 1) / 2, 9, 0, kTau);
  Set_Rgb(cr, kAccent);
  cairo_fill(cr);
  Check_Mark(cr, mark_x - 9, cy + (h - 1) / 2 - 9, 18, kLight, 2.2);
  Face(cr, 0, ART_LANG_FACE_UNAVAILABLE * ART_LANG_FACE_DV, w, h, 7, a_look::unavailable);
  return Store(s.Image(), ART_PICT_LANGUAGE_BUTTONS, false, out, err);
}

// ---------------------------------------------------------------------------
// Phase selector (601)
// ---------------------------------------------------------------------------
struct a_phase_face {
  const char* label;
  uint32_t icon;  // a glyph of the icon font
};
// By phase, as ART_PHASE_BUTTON.
const a_phase_face kPhaseFaces[ART_PHASE_BUTTONS] = {
    {"Preview", 0xF06E}, {"Paint", 0xF1FC}, {"Canvas", 0xF03E}, {"Symbols", 0xF005},
    {"Photos", 0xF030},  {"Grid", 0xF00A},  {"Text", 0xF031},
};

// The whole strip in one look at (ox, oy): the buttons side by side, each
// framed along its right and bottom edges, the strip along its top and left.
void Phase_Strip(cairo_t* cr, double ox, double oy, bool selected) {
  const a_rgb top = selected ? Rgb(96, 145, 232) : Rgb(250, 251, 253);
  const a_rgb bottom = selected ? Rgb(52, 99, 200) : Rgb(224, 228, 237);
  const a_rgb edge = selected ? Rgb(33, 70, 150) : Rgb(150, 158, 176);
  const a_rgb ink = selected ? kLight : kInk, icon = selected ? kLight : kAccent;
  for (int i = 0; i < ART_PHASE_BUTTONS; ++i) {
    const Rect& r = ART_PHASE_BUTTON[i];
    const double x = ox + r.left, y = oy + r.top, w = Width(r), h = Height(r);
    cairo_rectangle(cr, x, y, w, h);
    Vertical_Gradient(cr, y, y + h, top, bottom);
    cairo_fill(cr);
    Line(cr, x + 1, y + (r.top == 0 ? 1.5 : 0.5), x + w - 1, y + (r.top == 0 ? 1.5 : 0.5), kLight, selected ? 0.35 : 0.8);
    Line(cr, x + w - 0.5, y, x + w - 0.5, y + h, edge);
    Line(cr, x, y + h - 0.5, x + w, y + h - 0.5, edge);
    if (r.top == 0) Line(cr, x, y + 0.5, x + w, y + 0.5, edge);
    if (r.left == 0) Line(cr, x + 0.5, y, x + 0.5, y + h, edge);
    const a_phase_face& f = kPhaseFaces[i];
    if (h > 40) {
      // The tall button: the icon over its name.
      Icon(cr, f.icon, 21, x + w / 2, y + 20, icon);
      const double tw = Text_Width(cr, "sans-bold", 11, f.label);
      Text(cr, "sans-bold", 11, f.label, x + (w - tw) / 2, y + 44, ink);
    } else {
      const double tw = Text_Width(cr, "sans-bold", 11, f.label), iw = 15, gap = 5;
      const double x0 = x + (w - 1 - (iw + gap + tw)) / 2;
      const double mid = y + (h - 1) / 2.0 + (r.top == 0 ? 0.5 : 0);
      Icon(cr, f.icon, 13, x0 + iw / 2, mid, icon);
      Text(cr, "sans-bold", 11, f.label, x0 + iw + gap, mid + 4, ink);
    }
  }
}

bool Draw_Phase_Strip(std::vector<a_art_object>& out, std::string& err) {
  a_surface s(ART_PHASE_SOURCE_DH + ART_PHASE_STRIP_WIDTH, ART_PHASE_SELECTED_DV + ART_PHASE_STRIP_HEIGHT);
  Phase_Strip(s.Cr(), ART_PHASE_SOURCE_DH, 0, false);
  Phase_Strip(s.Cr(), ART_PHASE_SOURCE_DH, ART_PHASE_SELECTED_DV, true);
  return Store(s.Image(), ART_PICT_PHASE_STRIP, false, out, err);
}

// ---------------------------------------------------------------------------
// Copy counter's triangles (602)
// ---------------------------------------------------------------------------
void Triangle(cairo_t* cr, const Rect& r, bool up) {
  const double cx = (r.left + r.right) / 2.0, t = r.top + 2.5, b = r.bottom - 2.5, half = 9;
  const double tip = up ? t : b, base = up ? b : t;
  cairo_move_to(cr, cx, tip);
  cairo_line_to(cr, cx + half, base);
  cairo_line_to(cr, cx - half, base);
  cairo_close_path(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 2);
  Vertical_Gradient(cr, t, b, Rgb(98, 118, 158), Rgb(52, 68, 104));
  cairo_fill_preserve(cr);
  cairo_stroke(cr);
}

bool Draw_Copy_Arrows(std::vector<a_art_object>& out, std::string& err) {
  a_surface s(ART_COPY_DOWN.right, std::max(ART_COPY_UP.bottom, ART_COPY_DOWN.bottom));
  Triangle(s.Cr(), ART_COPY_UP, true);
  Triangle(s.Cr(), ART_COPY_DOWN, false);
  return Store(s.Image(), ART_PICT_COPY_ARROWS, false, out, err);
}

// ---------------------------------------------------------------------------
// Colour wheel (603)
// ---------------------------------------------------------------------------
// Hue by angle, counted counter-clockwise from the right as the screen shows
// it; the colour's strength grows from none at the centre to full at the
// rim. The disc's edge is cut from its coverage (4 x 4 samples a pixel);
// a thin rim and a soft shadow stand round it.
bool Draw_Hue_Wheel(std::vector<a_art_object>& out, std::string& err) {
  constexpr int32_t n = ART_HUE_WHEEL_SIZE;
  constexpr double c0 = ART_HUE_WHEEL_CENTER, R = ART_HUE_WHEEL_RADIUS;
  a_art_image img;
  img.width = img.height = n;
  img.rgba.assign(size_t(n) * n * 4, 0);
  const a_rgb rim = Rgb(112, 122, 144);
  for (int32_t y = 0; y < n; ++y) {
    for (int32_t x = 0; x < n; ++x) {
      const double dx = x + 0.5 - c0, dy = y + 0.5 - c0, r = std::hypot(dx, dy);
      int inside = 0;
      for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) inside += std::hypot(x + (i + 0.5) / 4 - c0, y + (j + 0.5) / 4 - c0) <= R;
      const double cover = inside / 16.0;
      double hue = std::atan2(-dy, dx) * 180 / M_PI;
      if (hue < 0) hue += 360;
      const a_rgb col = Hsv(hue, std::min(1.0, r / R), 1.0);
      // The rim: a ring just outside the colour; the shadow below it.
      const double ring = Clamp01(1 - std::fabs(r - (R + 0.9)) / 1.1) * 0.85;
      const double shade = 0.22 * Clamp01(1 - (std::hypot(dx, dy - 1.5) - R) / 5) * (r > R ? 1 : 0);
      // Composite ring over shadow, then the colour over both.
      const double a_under = ring + shade * (1 - ring);
      a_rgb under = a_under > 0 ? Mix(Rgb(20, 30, 50), rim, ring / a_under) : rim;
      const double a = cover + a_under * (1 - cover);
      a_rgb c = a > 0 ? Mix(under, col, cover / a) : col;
      uint8_t* p = &img.rgba[(size_t(y) * n + size_t(x)) * 4];
      p[0] = To_Byte(c.r);
      p[1] = To_Byte(c.g);
      p[2] = To_Byte(c.b);
      p[3] = To_Byte(a);
    }
  }
  return Store(std::move(img), ART_PICT_HUE_WHEEL, false, out, err);
}

// ---------------------------------------------------------------------------
// Print preview badge (604)
// ---------------------------------------------------------------------------
// A light pill: the number's place on the left, a check box on the right.
void Badge(cairo_t* cr, const Rect& r, int32_t number_w, double box, bool on) {
  const double x = r.left, y = r.top, w = Width(r), h = Height(r);
  Round_Rect(cr, x + 0.5, y + 1.5, w - 1, h - 2, (h - 2) * 0.32);
  Set_Rgb(cr, Rgb(10, 20, 40), 0.22);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  Round_Rect(cr, x + 0.5, y + 0.5, w - 1, h - 2, (h - 2) * 0.32);
  Vertical_Gradient(cr, y, y + h - 1, Rgb(254, 254, 254), Rgb(236, 239, 245));
  cairo_fill_preserve(cr);
  Set_Rgb(cr, Rgb(124, 133, 152));
  cairo_stroke(cr);
  Line(cr, x + number_w + 0.5, y + 5, x + number_w + 0.5, y + h - 6, Rgb(200, 205, 216));
  const double bx = x + number_w + std::floor((w - number_w - box) / 2), by = y + std::floor((h - 1 - box) / 2);
  Round_Rect(cr, bx + 0.5, by + 0.5, box - 1, box - 1, 3);
  if (on) {
    Vertical_Gradient(cr, by, by + box, Rgb(92, 140, 232), Rgb(48, 94, 196));
    cairo_fill_preserve(cr);
    Set_Rgb(cr, kAccentDark);
    cairo_stroke(cr);
    Check_Mark(cr, bx, by, box, kLight, box > 15 ? 2.4 : 2);
  } else {
    Set_Rgb(cr, Rgb(252, 252, 253));
    cairo_fill_preserve(cr);
    Set_Rgb(cr, Rgb(128, 137, 156));
    cairo_stroke(cr);
    Line(cr, bx + 2, by + 1.5, bx + box - 2, by + 1.5, Rgb(20, 30, 50), 0.1);
  }
}

bool Draw_Print_Badge(std::vector<a_art_object>& out, std::string& err) {
  a_surface s(ART_BADGE_LARGE_ON.right, ART_BADGE_SMALL_ON.bottom);
  Badge(s.Cr(), ART_BADGE_LARGE_OFF, ART_BADGE_LARGE_NUMBER_WIDTH, 18, false);
  Badge(s.Cr(), ART_BADGE_LARGE_ON, ART_BADGE_LARGE_NUMBER_WIDTH, 18, true);
  Badge(s.Cr(), ART_BADGE_SMALL_OFF, ART_BADGE_SMALL_NUMBER_WIDTH, 14, false);
  Badge(s.Cr(), ART_BADGE_SMALL_ON, ART_BADGE_SMALL_NUMBER_WIDTH, 14, true);
  return Store(s.Image(), ART_PICT_PRINT_BADGE, false, out, err);
}

// ---------------------------------------------------------------------------
// Unit list marks (605)
// ---------------------------------------------------------------------------
// Each on a light rounded tile of its own, so it reads on the grey of the
// list and on the red of the current unit alike.
void Mark_Tile(cairo_t* cr, const Rect& r) {
  Round_Rect(cr, r.left + 1, r.top + 1, Width(r) - 2, Height(r) - 2, 5);
  Set_Rgb(cr, Rgb(251, 252, 253));
  cairo_fill_preserve(cr);
  Set_Rgb(cr, Rgb(20, 30, 50), 0.28);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

// A small round sign at the tile's lower right: a check or a cross.
void Mark_Sign(cairo_t* cr, const Rect& r, bool check) {
  const double cx = r.right - 6.5, cy = r.bottom - 6.5;
  cairo_arc(cr, cx, cy, 5.5, 0, kTau);
  Set_Rgb(cr, kLight);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, 4.6, 0, kTau);
  Set_Rgb(cr, check ? Rgb(46, 160, 84) : Rgb(210, 62, 62));
  cairo_fill(cr);
  if (check) {
    Check_Mark(cr, cx - 4.6, cy - 4.6, 9.2, kLight, 1.5);
  } else {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    Line(cr, cx - 2, cy - 2, cx + 2, cy + 2, kLight, 1, 1.5);
    Line(cr, cx + 2, cy - 2, cx - 2, cy + 2, kLight, 1, 1.5);
  }
}

bool Draw_Unit_Marks(std::vector<a_art_object>& out, std::string& err) {
  a_surface s(ART_UNIT_MARK_ORIGINAL.right, ART_UNIT_MARK_SIZE);
  cairo_t* cr = s.Cr();
  auto centre = [](const Rect& r, double& cx, double& cy) {
    cx = (r.left + r.right) / 2.0;
    cy = (r.top + r.bottom) / 2.0;
  };
  double cx = 0, cy = 0;
  for (const Rect* r : {&ART_UNIT_MARK_PRINT_ON, &ART_UNIT_MARK_PRINT_OFF, &ART_UNIT_MARK_CLONE, &ART_UNIT_MARK_ORIGINAL})
    Mark_Tile(cr, *r);
  centre(ART_UNIT_MARK_PRINT_ON, cx, cy);
  Icon(cr, 0xF02F, 14, cx - 1.5, cy - 1.5, kInk);  // a printer
  Mark_Sign(cr, ART_UNIT_MARK_PRINT_ON, true);
  centre(ART_UNIT_MARK_PRINT_OFF, cx, cy);
  Icon(cr, 0xF02F, 14, cx - 1.5, cy - 1.5, Rgb(158, 165, 180));
  Mark_Sign(cr, ART_UNIT_MARK_PRINT_OFF, false);
  centre(ART_UNIT_MARK_CLONE, cx, cy);
  Icon(cr, 0xF0C1, 15, cx, cy, kAccent);  // linked to the unit above
  centre(ART_UNIT_MARK_ORIGINAL, cx, cy);
  Icon(cr, 0xF127, 15, cx, cy, Rgb(150, 157, 172));  // a design of its own
  return Store(s.Image(), ART_PICT_UNIT_MARKS, false, out, err);
}

// ---------------------------------------------------------------------------
// History panel strips (606)
// ---------------------------------------------------------------------------
bool Draw_History_Strips(std::vector<a_art_object>& out, std::string& err) {
  constexpr double w = ART_HISTORY_STRIP_WIDTH, h = ART_HISTORY_STRIP_HEIGHT, hx = ART_HISTORY_HILITE_DH;
  a_surface s(ART_HISTORY_HILITE_DH + ART_HISTORY_STRIP_WIDTH, ART_HISTORY_STRIP_HEIGHT);
  cairo_t* cr = s.Cr();
  Set_Rgb(cr, kPanel);
  cairo_paint(cr);
  // A row: light, a line of light on top and a rule under it.
  cairo_rectangle(cr, 0, 0, w, h);
  Vertical_Gradient(cr, 0, h, Rgb(247, 248, 251), Rgb(235, 238, 244));
  cairo_fill(cr);
  Line(cr, 0, 0.5, w, 0.5, kLight, 0.8);
  Line(cr, 0, h - 0.5, w, h - 0.5, Rgb(212, 217, 228));
  // The current row: pale blue with a bar of the accent at its left and a
  // marker pointing at the label.
  cairo_rectangle(cr, hx, 0, w, h);
  Vertical_Gradient(cr, 0, h, Rgb(228, 237, 253), Rgb(204, 221, 249));
  cairo_fill(cr);
  Line(cr, hx, 0.5, hx + w, 0.5, Rgb(170, 194, 238));
  Line(cr, hx, h - 0.5, hx + w, h - 0.5, Rgb(138, 167, 224));
  cairo_rectangle(cr, hx, 0, 3, h);
  Set_Rgb(cr, kAccent);
  cairo_fill(cr);
  cairo_move_to(cr, hx + 9, h / 2 - 4.5);
  cairo_line_to(cr, hx + 14, h / 2);
  cairo_line_to(cr, hx + 9, h / 2 + 4.5);
  cairo_close_path(cr);
  Set_Rgb(cr, kAccent);
  cairo_fill(cr);
  return Store(s.Image(), ART_PICT_HISTORY_STRIPS, true, out, err);
}

}  // namespace

// Called by Picture_Jobs: one job a picture.
void Named_Picture_Jobs(std::vector<a_art_job>& jobs) {
  jobs.push_back(a_art_job{"light stripe", [](std::vector<a_art_object>& out, std::string& err) {
                             return Draw_Stripe(ART_PICT_LIGHT_STRIPE, kPanel, 4, out, err);
                           }});
  jobs.push_back(a_art_job{"dark stripe", [](std::vector<a_art_object>& out, std::string& err) {
                             return Draw_Stripe(ART_PICT_DARK_STRIPE, Rgb(98, 108, 130), 6, out, err);
                           }});
  jobs.push_back(a_art_job{"blue line", [](std::vector<a_art_object>& out, std::string& err) {
                             return Draw_Stripe(ART_PICT_BLUE_LINE, Rgb(78, 118, 196), 6, out, err);
                           }});
  jobs.push_back(a_art_job{"parquet", Draw_Parquet});
  jobs.push_back(a_art_job{"button faces", Draw_Button_Faces});
  jobs.push_back(a_art_job{"language faces", Draw_Language_Faces});
  jobs.push_back(a_art_job{"phase strip", Draw_Phase_Strip});
  jobs.push_back(a_art_job{"copy arrows", Draw_Copy_Arrows});
  jobs.push_back(a_art_job{"hue wheel", Draw_Hue_Wheel});
  jobs.push_back(a_art_job{"print badge", Draw_Print_Badge});
  jobs.push_back(a_art_job{"unit marks", Draw_Unit_Marks});
  jobs.push_back(a_art_job{"history strips", Draw_History_Strips});
}
