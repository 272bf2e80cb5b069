// The sheets of each family.
#include <algorithm>
#include <cmath>

#include "Sheets.h"

namespace {

std::string Short_Key(const a_keyset& k) {
  return std::to_string(k.a) + " " + std::to_string(k.b) + " " + std::to_string(k.c) + " " + std::to_string(k.d);
}

// How a disc face is cut from a set-0 canvas: outside the disc and the hole
// greyed, the edge of the printable hub drawn.
void Disc_Guides(cairo_t* cr, double x, double y, double side) {
  const double cx = x + side / 2, cy = y + side / 2, r = side / 2;
  cairo_save(cr);
  cairo_rectangle(cr, x, y, side, side);
  cairo_new_sub_path(cr);
  cairo_arc_negative(cr, cx, cy, r, 2 * M_PI, 0);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_set_source_rgba(cr, 0.91, 0.91, 0.93, 0.85);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, r * 15.0 / 120.0, 0, 2 * M_PI);
  cairo_set_source_rgba(cr, 0.91, 0.91, 0.93, 1.0);
  cairo_fill(cr);
  const double dash[] = {4, 4};
  cairo_set_dash(cr, dash, 2, 0);
  cairo_set_line_width(cr, 1);
  cairo_arc(cr, cx, cy, r * 41.0 / 120.0, 0, 2 * M_PI);
  cairo_set_source_rgba(cr, 0.2, 0.2, 0.25, 0.6);
  cairo_stroke(cr);
  cairo_restore(cr);
}

}  // namespace

bool Sheet_Canvases(const a_art_context&, const std::string& dir, std::vector<std::string>& written,
                    std::string& err) {
  for (int16_t set = 0; set < ART_CANVAS_SETS; ++set) {
    const a_art_canvas_set& info = ART_CANVAS_SET_INFO[set];
    a_sheet sheet("Canvases, set " + std::to_string(set) + " (" + std::to_string(info.height) + " x " +
                      std::to_string(info.width) + "): the picture, its thumbnail below",
                  1320);
    const double scale = std::min(300.0 / info.width, 300.0 / info.height);
    for (const a_keyset& tk : Reader_Keys(a_keyset{ART_CANVAS_THUMB, set, 0, 0}, 2)) {
      const a_keyset fk{ART_CANVAS, tk.b, tk.c, tk.d};
      const a_read_picture thumb = Reader_Picture(tk);
      const a_read_picture full = Reader_Picture(fk);
      const int32_t thumb_h = int32_t(std::lround(double(ART_CANVAS_THUMB_MAX) * info.height / std::max(info.width, info.height)));
      const int32_t w = int32_t(info.width * scale), h = int32_t(info.height * scale) + thumb_h + 8;
      double x = 0, y = 0;
      sheet.Next(w, h, x, y);
      std::string label = Short_Key(fk);
      if (full.ok) {
        sheet.Image(full.img, x, y, scale);
        if (set == ART_CANVAS_SET_DISC) Disc_Guides(sheet.Cr(), x, y, info.width * scale);
        label += full.depth == 8 ? "  8-bit + palette" : (full.flags & 0x20) ? "  JPEG" : "";
      } else {
        label += tk.c == ART_CANVAS_WHITE_C && tk.d == ART_CANVAS_WHITE_D ? "  white" : "  full: " + full.why;
      }
      if (thumb.ok) sheet.Image(thumb.img, x, y + info.height * scale + 4);
      sheet.Label(x, y + h, label);
    }
    const std::string name = "canvases-set" + std::to_string(set) + ".png";
    if (!sheet.Write(dir + "/" + name, err)) return false;
    written.push_back(name);
  }
  return true;
}

bool Sheet_Palettes(const a_art_context&, const std::string& dir, std::vector<std::string>& written,
                    std::string& err) {
  a_sheet sheet("Palettes of the 8-bit canvases: index 0 top left, 255 bottom right", 1320);
  for (const a_keyset& k : Reader_Keys(a_keyset{ART_PALETTE, 0, 0, 0}, 1)) {
    const std::vector<uint8_t> b = Reader_Bytes(k);
    double x = 0, y = 0;
    sheet.Next(16 * 10, 16 * 10, x, y);
    cairo_t* cr = sheet.Cr();
    for (int i = 0; i < 256 && b.size() >= 768; ++i) {
      // The program's palette reader swaps the ends: index i shows triplet
      // i, but index 0 triplet 255 and index 255 triplet 0.
      const int t = i == 0 ? 255 : i == 255 ? 0 : i;
      cairo_rectangle(cr, x + (i % 16) * 10, y + (i / 16) * 10, 10, 10);
      cairo_set_source_rgb(cr, b[size_t(t) * 3] / 255.0, b[size_t(t) * 3 + 1] / 255.0, b[size_t(t) * 3 + 2] / 255.0);
      cairo_fill(cr);
    }
    sheet.Label(x, y + 160, Short_Key(k) + "  " + std::to_string(b.size()) + " bytes");
  }
  if (!sheet.Write(dir + "/palettes.png", err)) return false;
  written.push_back("palettes.png");
  return true;
}

bool Sheet_Gradients(const a_art_context&, const std::string& dir, std::vector<std::string>& written,
                     std::string& err) {
  a_sheet sheet("Gradients: the bands in order, left to right", 1320);
  for (const a_keyset& k : Reader_Keys(a_keyset{ART_GRADIENT, 0, 0, 0}, 2)) {
    const std::vector<uint8_t> b = Reader_Bytes(k);
    const int n = b.size() >= 2 ? (b[0] << 8) | b[1] : 0;
    double x = 0, y = 0;
    sheet.Next(620, 28, x, y);
    cairo_t* cr = sheet.Cr();
    for (int px = 0; px < 620 && n > 0 && b.size() >= size_t(2 + 4 * n); ++px) {
      const int band = std::min(n - 1, px * n / 620);
      const uint8_t* c = &b[size_t(2 + 4 * band)];
      cairo_rectangle(cr, x + px, y, 1, 28);
      cairo_set_source_rgb(cr, c[1] / 255.0, c[2] / 255.0, c[3] / 255.0);
      cairo_fill(cr);
    }
    sheet.Label(x, y + 28, "id " + std::to_string(k.c) + ", " + std::to_string(n) + " bands");
  }
  if (!sheet.Write(dir + "/gradients.png", err)) return false;
  written.push_back("gradients.png");
  return true;
}

bool Sheet_Patterns(const a_art_context&, const std::string& dir, std::vector<std::string>& written,
                    std::string& err) {
  a_sheet sheet("Patterns, each tiled 3 x 3", 1320);
  for (const a_keyset& k : Reader_Keys(a_keyset{ART_PATTERN, 0, 0, 0}, 1)) {
    const a_read_picture p = Reader_Picture(k);
    const int32_t w = p.ok ? p.img.width * 3 : 96, h = p.ok ? p.img.height * 3 : 96;
    double x = 0, y = 0;
    sheet.Next(std::max(w, 150), h, x, y);
    if (p.ok) {
      for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) sheet.Image(p.img, x + i * p.img.width, y + j * p.img.height);
    }
    sheet.Label(x, y + h, Short_Key(k) + (p.ok ? "  " + std::to_string(p.img.width) + "x" + std::to_string(p.img.height) : "  " + p.why));
  }
  if (!sheet.Write(dir + "/patterns.png", err)) return false;
  written.push_back("patterns.png");
  return true;
}
