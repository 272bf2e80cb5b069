// The stamps' sheet: every stamp as the stamp tool lays it down, through
// the mask of its non-white pixels, on white and on dark grey (a light
// fringe or a white hole shows at once on the grey), and as the stamp bar
// shows it: fitted into a 48 x 48 cell, smoothed, on the cell's white.
#include <algorithm>

#include "Sheets.h"

namespace {

constexpr int32_t kCell = 48, kCellMargin = 2;

// The stamp's non-white pixels over a ground of one colour.
a_art_image On_Ground(const a_art_image& img, uint8_t r, uint8_t g, uint8_t b) {
  a_art_image out = img;
  for (size_t i = 0; i < out.rgba.size(); i += 4) {
    uint8_t* p = &out.rgba[i];
    if (p[0] == 255 && p[1] == 255 && p[2] == 255) p[0] = r, p[1] = g, p[2] = b;
    p[3] = 255;
  }
  return out;
}

// The bar's cell: the picture scaled to fit inside the margin, centred.
a_art_image Bar_Cell(const a_art_image& img) {
  const int32_t room = kCell - 2 * kCellMargin;
  const double k = std::min(double(room) / img.width, double(room) / img.height);
  const int32_t w = std::max(1, int32_t(img.width * k + 0.5)), h = std::max(1, int32_t(img.height * k + 0.5));
  const a_art_image fitted = Resample(img, w, h);
  a_art_image cell;
  cell.width = cell.height = kCell;
  cell.rgba.assign(size_t(kCell) * kCell * 4, 255);
  const int32_t x0 = (kCell - w) / 2, y0 = (kCell - h) / 2;
  for (int32_t y = 0; y < h; ++y)
    std::copy_n(&fitted.rgba[size_t(y) * size_t(w) * 4], size_t(w) * 4, &cell.rgba[(size_t(y + y0) * kCell + size_t(x0)) * 4]);
  for (size_t i = 3; i < cell.rgba.size(); i += 4) cell.rgba[i] = 255;
  return cell;
}

}  // namespace

bool Sheet_Stamps(const a_art_context&, const std::string& dir, std::vector<std::string>& written,
                  std::string& err) {
  a_sheet sheet("Stamps: through their mask on white and on dark grey, and in a 48 x 48 cell of the stamp bar", 1320);
  int16_t group = -1;
  for (const a_keyset& k : Reader_Keys(a_keyset{ART_STAMP, 0, 0, 0}, 1)) {
    double x = 0, y = 0;
    if (k.b != group) {
      group = k.b;
      sheet.Next(1288, 2, x, y);
      sheet.Label(x, y - 4, "Group " + std::to_string(group), 13);
    }
    const a_read_picture p = Reader_Picture(k);
    const std::string name = std::to_string(k.a) + " " + std::to_string(k.b) + " " + std::to_string(k.c) + " " + std::to_string(k.d);
    if (!p.ok) {
      sheet.Next(200, 20, x, y);
      sheet.Label(x, y + 20, name + "  " + p.why);
      continue;
    }
    const int32_t tile = std::max(p.img.width, p.img.height) + 8;
    sheet.Next(2 * tile + 8 + kCell, tile, x, y);
    cairo_t* cr = sheet.Cr();
    const a_art_image grounds[2] = {On_Ground(p.img, 255, 255, 255), On_Ground(p.img, 58, 58, 64)};
    for (int i = 0; i < 2; ++i) {
      const double tx = x + i * (tile + 4);
      cairo_rectangle(cr, tx, y, tile, tile);
      cairo_set_source_rgb(cr, i == 0 ? 1.0 : 58 / 255.0, i == 0 ? 1.0 : 58 / 255.0, i == 0 ? 1.0 : 64 / 255.0);
      cairo_fill(cr);
      sheet.Image(grounds[i], tx + (tile - p.img.width) / 2, y + (tile - p.img.height) / 2);
    }
    const double cx = x + 2 * tile + 8;
    sheet.Image(Bar_Cell(p.img), cx, y);
    cairo_rectangle(cr, cx - 0.5, y - 0.5, kCell + 1, kCell + 1);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgb(cr, 160 / 255.0, 160 / 255.0, 160 / 255.0);
    cairo_stroke(cr);
    sheet.Label(x, y + tile, name + "  " + std::to_string(p.img.width) + "x" + std::to_string(p.img.height) +
                                 (p.depth != 32 ? "  depth " + std::to_string(p.depth) : ""));
  }
  if (!sheet.Write(dir + "/stamps.png", err)) return false;
  written.push_back("stamps.png");
  return true;
}
