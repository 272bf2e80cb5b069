// The sheet of the interface's named pictures: the background tiles
// repeated 3 x 3, each picture whole with the rectangles the program reads
// outlined, and small mock-ups at twice the size of how the program puts
// them together (faces with their labels, the phase strip with a button
// selected, the copy counter, the colour wheel with hues marked, badges on
// a unit, the unit list's marks, the history panel), then the About box.
#include <algorithm>
#include <cmath>
#include <memory>

#include "Sheets.h"

namespace {

constexpr double kTau = 2 * M_PI;

int32_t W(const Rect& r) { return r.right - r.left; }
int32_t H(const Rect& r) { return r.bottom - r.top; }

// A picture read back as a cairo surface (premultiplied), for composing.
std::unique_ptr<a_surface> To_Surface(const a_art_image& img) {
  auto s = std::make_unique<a_surface>(std::max(1, img.width), std::max(1, img.height));
  s->Flush();
  for (int32_t y = 0; y < img.height; ++y) {
    uint32_t* row = s->Row(y);
    for (int32_t x = 0; x < img.width; ++x) {
      const uint8_t* p = &img.rgba[(size_t(y) * size_t(img.width) + size_t(x)) * 4];
      const uint32_t a = p[3];
      auto pm = [&](uint8_t c) { return (uint32_t(c) * a + 127) / 255; };
      row[x] = (a << 24) | (pm(p[0]) << 16) | (pm(p[1]) << 8) | pm(p[2]);
    }
  }
  s->Mark();
  return s;
}

// Part `from` of a picture drawn blended at (x, y).
void Put(cairo_t* cr, const a_surface& pic, const Rect& from, double x, double y) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, W(from), H(from));
  cairo_clip(cr);
  cairo_set_source_surface(cr, pic.Surface(), x - from.left, y - from.top);
  cairo_paint(cr);
  cairo_restore(cr);
}

// A tile repeated over (x, y, w, h) from its top left.
void Tile(cairo_t* cr, const a_surface& tile, double x, double y, double w, double h) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  cairo_pattern_t* p = cairo_pattern_create_for_surface(tile.Surface());
  cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
  cairo_matrix_t m;
  cairo_matrix_init_translate(&m, -x, -y);
  cairo_pattern_set_matrix(p, &m);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
}

void Outline(cairo_t* cr, double x, double y, double w, double h, double r, double g, double b) {
  cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
  cairo_set_source_rgba(cr, r, g, b, 0.9);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

// Text centred in a box, as the program's fitted labels are.
void Centred(cairo_t* cr, const std::string& text, const char* font, double size, double x, double y, double w,
             double h, double r = 0, double g = 0, double b = 0) {
  Use_Font(cr, font, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_move_to(cr, std::round(x + (w - e.x_advance) / 2), std::round(y + (h + fe.ascent - fe.descent) / 2));
  cairo_set_source_rgb(cr, r, g, b);
  cairo_show_text(cr, text.c_str());
}

struct a_shown {
  a_read_picture pic;
  std::unique_ptr<a_surface> surface;
  size_t bytes = 0;
};

a_shown Load(int16_t id) {
  a_shown s;
  s.pic = Reader_Picture(a_keyset{ART_PICTURE, id, 0, 0});
  s.bytes = Reader_Bytes(a_keyset{ART_PICTURE, id, 0, 0}).size();
  if (s.pic.ok) s.surface = To_Surface(s.pic.img);
  return s;
}

std::string Caption(int16_t id, const char* what, const a_shown& s) {
  std::string t = std::to_string(id) + "  " + what;
  if (!s.pic.ok) return t + "  " + s.pic.why;
  return t + "  " + std::to_string(s.pic.img.width) + " x " + std::to_string(s.pic.img.height) + ", " +
         std::to_string(s.bytes) + " B";
}

// Places a mock-up drawn at its own size on the sheet at twice that size.
void Place_2x(a_sheet& sheet, const a_surface& mock, const std::string& caption) {
  double x = 0, y = 0;
  sheet.Next(mock.W() * 2, mock.H() * 2, x, y);
  sheet.Image(mock.Image(), x, y, 2.0);
  sheet.Label(x, y + mock.H() * 2, caption);
}

// A picture whole, with rectangles outlined.
void Place_Outlined(a_sheet& sheet, const a_shown& s, const std::vector<Rect>& rects, double scale,
                    const std::string& caption) {
  if (!s.pic.ok) {
    double x = 0, y = 0;
    sheet.Next(300, 20, x, y);
    sheet.Label(x, y, caption);
    return;
  }
  a_surface mock(s.pic.img.width, s.pic.img.height);
  cairo_t* cr = mock.Cr();
  cairo_set_source_rgb(cr, 0.93, 0.94, 0.96);
  cairo_paint(cr);
  cairo_set_source_surface(cr, s.surface->Surface(), 0, 0);
  cairo_paint(cr);
  for (const Rect& r : rects) Outline(cr, r.left, r.top, W(r), H(r), 0.95, 0.1, 0.55);
  double x = 0, y = 0;
  sheet.Next(int32_t(mock.W() * scale), int32_t(mock.H() * scale), x, y);
  sheet.Image(mock.Image(), x, y, scale);
  sheet.Label(x, y + mock.H() * scale, caption);
}

Rect Moved(const Rect& r, int32_t dh, int32_t dv) {
  return Rect{int16(r.top + dv), int16(r.left + dh), int16(r.bottom + dv), int16(r.right + dh)};
}

// ---------------------------------------------------------------------------
// Sections
// ---------------------------------------------------------------------------
void Tiles(a_sheet& sheet) {
  const struct {
    int16_t id;
    const char* name;
  } tiles[] = {{ART_PICT_LIGHT_STRIPE, "light stripe"},
               {ART_PICT_DARK_STRIPE, "dark stripe"},
               {ART_PICT_BLUE_LINE, "blue line"},
               {ART_PICT_PARQUET, "parquet"}};
  for (const auto& t : tiles) {
    const a_shown s = Load(t.id);
    std::string caption = Caption(t.id, t.name, s);
    if (s.pic.ok) {
      double m[3] = {0, 0, 0};
      const size_t n = s.pic.img.rgba.size() / 4;
      for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c) m[c] += s.pic.img.rgba[i * 4 + size_t(c)];
      caption += ", mean " + std::to_string(int(std::lround(m[0] / n))) + " " + std::to_string(int(std::lround(m[1] / n))) +
                 " " + std::to_string(int(std::lround(m[2] / n)));
    }
    const int32_t w = s.pic.ok ? std::max(3 * s.pic.img.width, 320) : 320, h = s.pic.ok ? std::max(3 * s.pic.img.height, 96) : 20;
    a_surface mock(w, h);
    if (s.pic.ok) Tile(mock.Cr(), *s.surface, 0, 0, w, h);
    double x = 0, y = 0;
    sheet.Next(w, h, x, y);
    sheet.Image(mock.Image(), x, y);
    sheet.Label(x, y + h, caption);
  }
}

void Button_Faces(a_sheet& sheet, const a_surface& light) {
  const a_shown s = Load(ART_PICT_BUTTON_FACES);
  std::vector<Rect> rects;
  for (const Rect& r : {ART_FACE_PREV, ART_FACE_NEXT, ART_FACE_NUMBER, ART_FACE_TEXT, ART_FACE_DEFAULT}) {
    rects.push_back(r);
    rects.push_back(Moved(r, 0, ART_FACE_PRESSED_DV));
  }
  Place_Outlined(sheet, s, rects, 2.0, Caption(ART_PICT_BUTTON_FACES, "button faces, plain over pressed, 2x", s));
  if (!s.pic.ok) return;
  // A browser's bottom band: Previous, the page number, Next ... Cancel;
  // a dialog's OK and Cancel; then the same pressed.
  a_surface mock(330, 84);
  cairo_t* cr = mock.Cr();
  Tile(cr, light, 0, 0, mock.W(), mock.H());
  for (int pressed = 0; pressed < 2; ++pressed) {
    const int32_t dv = pressed * ART_FACE_PRESSED_DV, y = 10 + pressed * 38;
    Put(cr, *s.surface, Moved(ART_FACE_PREV, 0, dv), 10, y);
    Put(cr, *s.surface, ART_FACE_NUMBER, 62, y);
    Centred(cr, "2", "sans", 14, 62, y, W(ART_FACE_NUMBER), ART_FACE_HEIGHT);
    Put(cr, *s.surface, Moved(ART_FACE_NEXT, 0, dv), 114, y);
    Put(cr, *s.surface, Moved(ART_FACE_DEFAULT, 0, dv), 184, y);
    Centred(cr, "OK", "sans", 14, 184, y + pressed, W(ART_FACE_DEFAULT), ART_FACE_HEIGHT);
    Put(cr, *s.surface, Moved(ART_FACE_TEXT, 0, dv), 255, y);
    Centred(cr, "Cancel", "sans", 14, 255, y + pressed, W(ART_FACE_TEXT), ART_FACE_HEIGHT);
  }
  Place_2x(sheet, mock, "131 in a browser and a dialog (labels by the program), 2x");
}

void Language_Faces(a_sheet& sheet, const a_surface& light) {
  const a_shown s = Load(ART_PICT_LANGUAGE_BUTTONS);
  if (!s.pic.ok) {
    Place_Outlined(sheet, s, {}, 1, Caption(ART_PICT_LANGUAGE_BUTTONS, "language faces", s));
    return;
  }
  const char* names[ART_LANG_FACES] = {"English", "Deutsch", "Suomi"};
  const char* what[ART_LANG_FACES] = {"plain", "current", "unavailable"};
  a_surface mock(ART_LANG_FACE_WIDTH + 110, ART_LANG_FACES * (ART_LANG_FACE_HEIGHT + 6) + 10);
  cairo_t* cr = mock.Cr();
  Tile(cr, light, 0, 0, mock.W(), mock.H());
  for (int k = 0; k < ART_LANG_FACES; ++k) {
    const Rect face{int16(k * ART_LANG_FACE_DV), 0, int16(k * ART_LANG_FACE_DV + ART_LANG_FACE_HEIGHT),
                    ART_LANG_FACE_WIDTH};
    const double y = 6 + k * (ART_LANG_FACE_HEIGHT + 6);
    Put(cr, *s.surface, face, 6, y);
    Centred(cr, names[k], "sans", 17, 6 + ART_LANG_LABEL.left, y, W(ART_LANG_LABEL), ART_LANG_FACE_HEIGHT - 1);
    Centred(cr, what[k], "sans", 11, ART_LANG_FACE_WIDTH + 10, y, 96, ART_LANG_FACE_HEIGHT, 0.3, 0.3, 0.35);
  }
  Place_2x(sheet, mock, Caption(ART_PICT_LANGUAGE_BUTTONS, "language faces, labels drawn by the program, 2x", s));
}

void Phase_Strip(a_sheet& sheet) {
  const a_shown s = Load(ART_PICT_PHASE_STRIP);
  if (!s.pic.ok) {
    Place_Outlined(sheet, s, {}, 1, Caption(ART_PICT_PHASE_STRIP, "phase strip", s));
    return;
  }
  // The part the program reads, each button's source outlined, plain above
  // and selected below.
  const Rect used{0, ART_PHASE_SOURCE_DH, int16(s.pic.img.height), int16(s.pic.img.width)};
  a_surface raw(W(used), H(used));
  cairo_t* cr = raw.Cr();
  cairo_set_source_rgb(cr, 0.93, 0.94, 0.96);
  cairo_paint(cr);
  Put(cr, *s.surface, used, 0, 0);
  for (const Rect& b : ART_PHASE_BUTTON) {
    Outline(cr, b.left, b.top, W(b), H(b), 0.95, 0.1, 0.55);
    Outline(cr, b.left, b.top + ART_PHASE_SELECTED_DV, W(b), H(b), 0.95, 0.1, 0.55);
  }
  Place_2x(sheet, raw, Caption(ART_PICT_PHASE_STRIP, "phase strip from x 742 (empty before), buttons outlined, 2x", s));
  // As the program paints it with a phase selected.
  const char* names[ART_PHASE_BUTTONS] = {"preview", "paint", "canvas", "symbol", "photo", "grid", "text"};
  for (int selected : {1, 0, 4}) {
    a_surface mock(ART_PHASE_STRIP_WIDTH, ART_PHASE_STRIP_HEIGHT);
    for (int i = 0; i < ART_PHASE_BUTTONS; ++i) {
      const Rect& b = ART_PHASE_BUTTON[i];
      Put(mock.Cr(), *s.surface,
          Moved(b, ART_PHASE_SOURCE_DH, i == selected ? ART_PHASE_SELECTED_DV : 0), b.left, b.top);
    }
    Place_2x(sheet, mock, std::string("phase strip with ") + names[selected] + " selected, 2x");
  }
}

void Copy_Counter(a_sheet& sheet, const a_surface& light) {
  const a_shown s = Load(ART_PICT_COPY_ARROWS);
  if (!s.pic.ok) {
    Place_Outlined(sheet, s, {}, 1, Caption(ART_PICT_COPY_ARROWS, "copy counter triangles", s));
    return;
  }
  // Three digit boxes 37 apart, 32 x 28, 34 below the top; a triangle above
  // and below each; the count 12.
  a_surface mock(140, 96);
  cairo_t* cr = mock.Cr();
  Tile(cr, light, 0, 0, mock.W(), mock.H());
  const char* digits[3] = {"", "1", "2"};
  for (int i = 0; i < 3; ++i) {
    const double x = 12 + 37 * i, y = 34;
    cairo_rectangle(cr, x + 0.5, y + 0.5, 31, 27);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 131 / 255.0, 143 / 255.0, 111 / 255.0);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, x + 1.5, y + 1.5, 29, 25);
    cairo_set_source_rgb(cr, 199 / 255.0, 211 / 255.0, 181 / 255.0);
    cairo_stroke(cr);
    Centred(cr, digits[i], "sans", 18, x, y, 32, 28);
    Put(cr, *s.surface, ART_COPY_UP, x, y - 2 - H(ART_COPY_UP));
    Put(cr, *s.surface, ART_COPY_DOWN, x, y + 28 + 2);
  }
  Place_2x(sheet, mock, Caption(ART_PICT_COPY_ARROWS, "copy counter's triangles round three digit boxes, 2x", s));
}

void Hue_Wheel(a_sheet& sheet, const a_surface& light) {
  const a_shown s = Load(ART_PICT_HUE_WHEEL);
  if (!s.pic.ok) {
    Place_Outlined(sheet, s, {}, 1, Caption(ART_PICT_HUE_WHEEL, "colour wheel", s));
    return;
  }
  // On the light stripe, with hues marked at their angles (counter-clockwise
  // from the right) and the half distance dashed.
  const double pad = 34, c = ART_HUE_WHEEL_CENTER + pad;
  a_surface mock(ART_HUE_WHEEL_SIZE + 2 * int32_t(pad), ART_HUE_WHEEL_SIZE + 2 * int32_t(pad));
  cairo_t* cr = mock.Cr();
  Tile(cr, light, 0, 0, mock.W(), mock.H());
  cairo_set_source_surface(cr, s.surface->Surface(), pad, pad);
  cairo_paint(cr);
  const double dash[] = {3, 3};
  cairo_set_dash(cr, dash, 2, 0);
  cairo_arc(cr, c, c, ART_HUE_WHEEL_RADIUS / 2.0, 0, kTau);
  cairo_set_source_rgba(cr, 0.2, 0.2, 0.3, 0.5);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  for (int h = 0; h < 360; h += 60) {
    const double a = h * M_PI / 180, dx = std::cos(a), dy = -std::sin(a);
    cairo_move_to(cr, c + dx * (ART_HUE_WHEEL_RADIUS - 10), c + dy * (ART_HUE_WHEEL_RADIUS - 10));
    cairo_line_to(cr, c + dx * (ART_HUE_WHEEL_RADIUS + 8), c + dy * (ART_HUE_WHEEL_RADIUS + 8));
    cairo_set_source_rgb(cr, 0.15, 0.15, 0.2);
    cairo_stroke(cr);
    const double lx = c + dx * (ART_HUE_WHEEL_RADIUS + 20), ly = c + dy * (ART_HUE_WHEEL_RADIUS + 20);
    Centred(cr, std::to_string(h), "sans", 10, lx - 15, ly - 8, 30, 16, 0.15, 0.15, 0.2);
  }
  Place_2x(sheet, mock, Caption(ART_PICT_HUE_WHEEL, "colour wheel, hues marked at their angles, 2x", s));
}

void Print_Badge(a_sheet& sheet) {
  const a_shown s = Load(ART_PICT_PRINT_BADGE);
  Place_Outlined(sheet, s, {ART_BADGE_LARGE_OFF, ART_BADGE_LARGE_ON, ART_BADGE_SMALL_OFF, ART_BADGE_SMALL_ON}, 2.0,
                 Caption(ART_PICT_PRINT_BADGE, "print badges, 2x", s));
  if (!s.pic.ok) return;
  // On a unit's picture, numbered as the program numbers them.
  a_surface mock(250, 100);
  cairo_t* cr = mock.Cr();
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 250, 100);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.98, 0.75, 0.35);
  cairo_pattern_add_color_stop_rgb(g, 0.5, 0.85, 0.3, 0.45);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.2, 0.3, 0.7);
  cairo_set_source(cr, g);
  cairo_paint(cr);
  cairo_pattern_destroy(g);
  const struct {
    Rect r;
    int32_t number_w;
    const char* n;
    double x, y;
    double size;
  } at[] = {{ART_BADGE_LARGE_OFF, ART_BADGE_LARGE_NUMBER_WIDTH, "3", 14, 14, 14},
            {ART_BADGE_LARGE_ON, ART_BADGE_LARGE_NUMBER_WIDTH, "12", 100, 14, 14},
            {ART_BADGE_SMALL_OFF, ART_BADGE_SMALL_NUMBER_WIDTH, "7", 14, 62, 12},
            {ART_BADGE_SMALL_ON, ART_BADGE_SMALL_NUMBER_WIDTH, "99", 100, 62, 12}};
  for (const auto& b : at) {
    Put(cr, *s.surface, b.r, b.x, b.y);
    Centred(cr, b.n, "sans", b.size, b.x, b.y, b.number_w, H(b.r) - 1);
  }
  Place_2x(sheet, mock, "604 on a unit's picture (numbers by the program), 2x");
}

void Unit_Marks(a_sheet& sheet) {
  const a_shown s = Load(ART_PICT_UNIT_MARKS);
  if (!s.pic.ok) {
    Place_Outlined(sheet, s, {}, 1, Caption(ART_PICT_UNIT_MARKS, "unit marks", s));
    return;
  }
  // On the list's grey and on the current unit's red.
  const Rect marks[] = {ART_UNIT_MARK_PRINT_ON, ART_UNIT_MARK_PRINT_OFF, ART_UNIT_MARK_CLONE, ART_UNIT_MARK_ORIGINAL};
  a_surface mock(4 * 30 + 8, 2 * 32 + 8);
  cairo_t* cr = mock.Cr();
  for (int row = 0; row < 2; ++row) {
    cairo_rectangle(cr, 0, row * 36, mock.W(), 36);
    if (row == 0) cairo_set_source_rgb(cr, 200 / 255.0, 200 / 255.0, 200 / 255.0);
    else cairo_set_source_rgb(cr, 252 / 255.0, 62 / 255.0, 62 / 255.0);
    cairo_fill(cr);
    for (int i = 0; i < 4; ++i) Put(cr, *s.surface, marks[i], 8 + 30 * i, row * 36 + 6);
  }
  Place_2x(sheet, mock, Caption(ART_PICT_UNIT_MARKS, "print on, off; clone, original; on grey and red, 2x", s));
}

void History(a_sheet& sheet, const a_surface& light) {
  const a_shown s = Load(ART_PICT_HISTORY_STRIPS);
  Place_Outlined(sheet, s,
                 {Rect{0, 0, ART_HISTORY_STRIP_HEIGHT, ART_HISTORY_STRIP_WIDTH},
                  Rect{0, ART_HISTORY_HILITE_DH, ART_HISTORY_STRIP_HEIGHT,
                       int16(ART_HISTORY_HILITE_DH + ART_HISTORY_STRIP_WIDTH)}},
                 2.0, Caption(ART_PICT_HISTORY_STRIPS, "history strips, 2x", s));
  if (!s.pic.ok) return;
  // A panel 179 wide: the title, two done states, the current one, one to redo.
  const int32_t w = ART_HISTORY_STRIP_WIDTH, rows = 4;
  a_surface mock(w, 24 + 30 * rows + 20);
  cairo_t* cr = mock.Cr();
  Tile(cr, light, 0, 0, mock.W(), mock.H());
  Centred(cr, "History", "sans-bold", 13, 0, 0, w, 24);
  const char* labels[rows] = {"Start", "Paint brush", "Text add", "Photo resize"};
  const double colours[rows][3] = {{0, 0, 0}, {0, 0, 0}, {29 / 255.0, 51 / 255.0, 85 / 255.0}, {70 / 255.0, 70 / 255.0, 70 / 255.0}};
  for (int i = 0; i < rows; ++i) {
    const int32_t top = 24 + 30 * i;
    const Rect strip{0, int16(i == 2 ? ART_HISTORY_HILITE_DH : 0), ART_HISTORY_STRIP_HEIGHT,
                     int16((i == 2 ? ART_HISTORY_HILITE_DH : 0) + w - 1)};
    Put(cr, *s.surface, strip, 1, top);
    Use_Font(cr, "sans", 13);
    cairo_move_to(cr, 1 + 20, top + 19);
    cairo_set_source_rgb(cr, colours[i][0], colours[i][1], colours[i][2]);
    cairo_show_text(cr, labels[i]);
  }
  Place_2x(sheet, mock, "606 in the panel: third row current, fourth to redo, 2x");
}

void About(a_sheet& sheet) {
  const a_shown s = Load(ART_PICT_ABOUT);
  const int32_t w = s.pic.ok ? s.pic.img.width : 300, h = s.pic.ok ? s.pic.img.height : 20;
  double x = 0, y = 0;
  sheet.Next(w, h, x, y);
  if (s.pic.ok) {
    sheet.Image(s.pic.img, x, y);
    // As the About box writes it: black, centred in the band.
    cairo_t* cr = sheet.Cr();
    Use_Font(cr, "sans", 18);
    const char* text = "Version 4.0";
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    const double bl = x + w - ART_ABOUT_BAND_WIDTH;
    cairo_move_to(cr, bl + (ART_ABOUT_BAND_WIDTH - e.width) / 2 - e.x_bearing,
                  y + (ART_ABOUT_BAND_TOP + ART_ABOUT_BAND_BOTTOM) / 2.0 - e.height / 2 - e.y_bearing);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_show_text(cr, text);
  }
  sheet.Label(x, y + h, Caption(ART_PICT_ABOUT, "About box with a sample version line", s));
}

}  // namespace

bool Sheet_Pictures(const a_art_context&, const std::string& dir, std::vector<std::string>& written,
                    std::string& err) {
  a_sheet sheet("Stored pictures of the interface by id, and the About box", 1400);
  const a_shown light = Load(ART_PICT_LIGHT_STRIPE);
  a_surface plain(8, 8);
  Set_Rgb(plain.Cr(), a_rgb{ART_LIGHT_STRIPE_RGB[0] / 255.0, ART_LIGHT_STRIPE_RGB[1] / 255.0, ART_LIGHT_STRIPE_RGB[2] / 255.0});
  cairo_paint(plain.Cr());
  const a_surface& panel = light.pic.ok ? *light.surface : plain;
  Tiles(sheet);
  Button_Faces(sheet, panel);
  Language_Faces(sheet, panel);
  Phase_Strip(sheet);
  Copy_Counter(sheet, panel);
  Hue_Wheel(sheet, panel);
  Print_Badge(sheet);
  Unit_Marks(sheet);
  History(sheet, panel);
  About(sheet);
  if (!sheet.Write(dir + "/pictures.png", err)) return false;
  written.push_back("pictures.png");
  return true;
}
