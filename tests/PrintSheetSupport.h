// Sheets for the printing tests and benchmarks, and printed pages read back
// as pixels: layouts made of units; the two-up disc sheet (an A4 sheet of
// two 120-mm disc faces, the first with a canvas, a photo and a circular
// text, the second its clone); a page decoded from a PNG file or rendered
// from a PDF by pdftoppm, with measures on it. Free of the test framework,
// so that the benchmarks build the same sheet.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "doc/VoskDoc.h"
#include "doc/VoskRend.h"
#include "host/HostCodecs.h"
#include "objects/VoskCanv.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "pixel/OP.h"
#include "pixel/SysPixt.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"

namespace printsheet {

constexpr double kDotsPerMM = 300.0 / 25.4;  // pages are read at 300 dpi
inline int32 Dots(double mm) { return int32(std::lround(mm * kDotsPerMM)); }

inline a_unit Unit(uint8 kind, float left, float top, float w, float h, uint32 uflags = 0, float m1 = 0) {
  a_unit u{};
  u.kind = kind;
  u.uflags = uflags;
  u.bbox = a_frect{left, top, left + w, top + h};
  u.meas[0] = m1;
  return u;
}

// An A4 layout of the units.
inline a_template Sheet(std::initializer_list<a_unit> units) {
  a_template x{};
  std::strcpy(x.label, "Print sheet");
  x.papersize = {210.0f, 297.0f};
  for (const a_unit& u : units) x.units[x.nunits++] = u;
  return x;
}

// --- Pages -------------------------------------------------------------------------------

// A decoded page: 4 bytes a pixel, blue, green, red, alpha. Outside the
// page (or past pixels a short page lacks) is paper, so that a page of the
// wrong size fails the measures instead of reading past its pixels.
struct Page {
  int32 width = 0, height = 0;
  std::vector<uint8> px;
  uint32 Rgb(int32 x, int32 y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFu;
    const size_t at = (size_t(y) * size_t(width) + size_t(x)) * 4;
    if (at + 4 > px.size()) return 0xFFFFFFu;
    const uint8* p = &px[at];
    return uint32(p[2]) << 16 | uint32(p[1]) << 8 | p[0];
  }
  bool Ink(int32 x, int32 y) const { return Rgb(x, y) != 0xFFFFFFu; }
  bool Dark(int32 x, int32 y) const {
    const uint32 c = Rgb(x, y);
    return ((c >> 16) & 0xFF) < 96 && ((c >> 8) & 0xFF) < 96 && (c & 0xFF) < 96;
  }
  // Plainly not paper: some channel below 232 (a reader's rounding near
  // white does not count).
  bool Marked(int32 x, int32 y) const {
    const uint32 c = Rgb(x, y);
    return std::min({(c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF}) < 232;
  }
  // The centre of the inked pixels within [x0, x1) x [y0, y1).
  bool Centroid(int32 x0, int32 y0, int32 x1, int32 y1, double& cx, double& cy) const {
    double sx = 0, sy = 0, n = 0;
    for (int32 y = y0; y < y1; ++y)
      for (int32 x = x0; x < x1; ++x)
        if (Ink(x, y)) sx += x + 0.5, sy += y + 0.5, n += 1;
    if (n == 0) return false;
    cx = sx / n, cy = sy / n;
    return true;
  }
  // From (x, y) in steps of (dx, dy): gap := the pixels before the first
  // dark one, mark := the dark run after them (each at most 100). A pixel
  // within `spread` of the walk's line, across it, counts.
  void Walk(int32 x, int32 y, int32 dx, int32 dy, int32 spread, int32& gap, int32& mark) const {
    const auto dark = [&](int32 px, int32 py) {
      for (int32 k = -spread; k <= spread; ++k)
        if (Dark(px + k * dy, py + k * dx)) return true;
      return false;
    };
    gap = mark = 0;
    while (gap < 100 && !dark(x, y)) ++gap, x += dx, y += dy;
    while (mark < 100 && dark(x, y)) ++mark, x += dx, y += dy;
  }
  // The crosshair about (c, c): row := the row with the most dark pixels
  // left of it (row_n of them), col := the column with the most below it.
  void Crosshair(int32 c, int32& row, int32& row_n, int32& col, int32& col_n) const {
    row = col = -1;
    row_n = col_n = 0;
    for (int32 k = c - 15; k <= c + 15; ++k) {
      int32 across = 0, down = 0;
      for (int32 t = 4; t < 22; ++t) across += Dark(c - 26 + t, k), down += Dark(k, c + t);
      if (across > row_n) row_n = across, row = k;
      if (down > col_n) col_n = down, col = k;
    }
  }
  // The centre of the box round the marked pixels within [x0, x1) x [y0, y1).
  bool Marked_Centre(int32 x0, int32 y0, int32 x1, int32 y1, double& cx, double& cy) const {
    int32 left = x1, right = x0 - 1, top = y1, bottom = y0 - 1;
    for (int32 y = y0; y < y1; ++y)
      for (int32 x = x0; x < x1; ++x)
        if (Marked(x, y)) left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
                          bottom = std::max(bottom, y);
    if (right < left) return false;
    cx = (left + right + 1) / 2.0, cy = (top + bottom + 1) / 2.0;
    return true;
  }
};

// The page in a PNG file; an empty page when it cannot be read.
inline Page Read_Png_Page(const std::string& path) {
  Page page;
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.empty()) return page;
  HostImageBuffer buf;
  if (Host_Decode_PNG(bytes.data(), bytes.size(), Host_Buffer_Sink(buf)) != HC_OK) return page;
  page.width = buf.info.out_width;
  page.height = buf.info.out_height;
  page.px = std::move(buf.pixels);
  return page;
}

// Page 1 of a PDF rendered at 300 dpi by pdftoppm (no smoothing) into
// stem.ppm; an empty page when it cannot be.
inline Page Render_Pdf_Page(const std::string& pdf, const std::string& stem) {
  const std::string cmd = "pdftoppm -r 300 -f 1 -l 1 -singlefile -aa no -aaVector no '" + pdf + "' '" + stem +
                          "' 2>/dev/null";
  const int rc = std::system(cmd.c_str());
  if (rc == -1 || !WIFEXITED(rc) || WEXITSTATUS(rc) != 0) return Page{};
  Page page;
  std::ifstream f(stem + ".ppm", std::ios::binary);
  std::string magic;
  int maxval = 0;
  f >> magic >> page.width >> page.height >> maxval;
  f.get();
  if (magic != "P6" || maxval != 255 || page.width <= 0 || page.height <= 0) return Page{};
  std::vector<uint8> rgb(size_t(page.width) * size_t(page.height) * 3);
  f.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()));
  if (!f) return Page{};
  page.px.resize(rgb.size() / 3 * 4);
  for (size_t i = 0, n = rgb.size() / 3; i < n; ++i) {
    page.px[4 * i] = rgb[3 * i + 2];
    page.px[4 * i + 1] = rgb[3 * i + 1];
    page.px[4 * i + 2] = rgb[3 * i];
    page.px[4 * i + 3] = 255;
  }
  return page;
}

// The images of a PDF as pdftoppm's companion lists them (one line for
// each use of an image on a page): the image object's number and its size.
struct PdfImage {
  int32 object = 0, width = 0, height = 0;
};
inline std::vector<PdfImage> Pdf_Images_Listed(const std::string& pdf) {
  std::vector<PdfImage> out;
  FILE* f = popen(("pdfimages -list '" + pdf + "' 2>/dev/null").c_str(), "r");
  if (f == nullptr) return out;
  char line[512];
  while (std::fgets(line, sizeof line, f)) {
    int page = 0, num = 0, comp = 0, bpc = 0;
    char type[32], color[32], enc[32], interp[32];
    PdfImage im;
    if (std::sscanf(line, "%d %d %31s %d %d %31s %d %d %31s %31s %d", &page, &num, type, &im.width, &im.height,
                    color, &comp, &bpc, enc, interp, &im.object) == 11 &&
        std::string(type) == "image")
      out.push_back(im);
  }
  pclose(f);
  return out;
}

// Where a booklet's crop marks are looked for: from just outside each
// corner of the box [left, right] x [top, bottom] (pixels of the page), out
// along the line of each side, and from the fold (row mid) out to both sides.
struct CropWalk {
  int32 x, y, dx, dy;
};
inline std::vector<CropWalk> Crop_Mark_Walks(int32 left, int32 top, int32 right, int32 bottom, int32 mid) {
  return {{left, top - 1, 0, -1},    {right, top - 1, 0, -1},    {left, bottom + 1, 0, 1},
          {right, bottom + 1, 0, 1}, {left - 1, top, -1, 0},     {right + 1, top, 1, 0},
          {left - 1, bottom, -1, 0}, {right + 1, bottom, 1, 0},  {left - 1, mid, -1, 0},
          {right + 1, mid, 1, 0}};
}

// --- The two-up disc sheet -------------------------------------------------------------------

// Two discs of 120 mm with a 15-mm hole, each clipped to its circle, 127 mm
// apart: exactly 1500 dots at 300 dpi, so that the two can be compared
// pixel for pixel.
constexpr float kDiscLeft = 45, kDiscSide = 120, kDiscHole = 15;
constexpr float kDiscTop[2] = {20, 147};

inline a_template Two_Up_Disc_Sheet() {
  const uint32 round = uint32(1) << UNIT_CLOBBERS;
  return Sheet({Unit(UNIT_CD, kDiscLeft, kDiscTop[0], kDiscSide, kDiscSide, round, kDiscHole),
                Unit(UNIT_CD, kDiscLeft, kDiscTop[1], kDiscSide, kDiscSide, round, kDiscHole)});
}

// The build's picture library opened (for canvases); FALSE when it cannot be.
inline bool Open_Art_Library(const char* path) {
  SysPixt_Init();
  OP_Init();
  FSSpec spec{};
  return Path_From_Text(spec, path) && OP_OpenFile(spec) == OPEN_OKAY;
}

// A photo-like picture of w x h pixels into rows `stride` bytes apart of
// `depth` bytes a pixel (blue, green, red, then alpha 255 where there is
// room): smooth light and colour with fine grain, as a photo packs.
inline void Photo_Pixels(int32 w, int32 h, uint8* out, size_t stride, int depth) {
  uint32 seed = 12345;
  for (int32 y = 0; y < h; ++y)
    for (int32 x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int grain = int(seed >> 28) - 8;
      uint8* p = out + size_t(y) * stride + size_t(x) * size_t(depth);
      p[0] = uint8(std::clamp(200 - int((int64(x) + y) * 120 / (int64(w) + h)) + grain, 0, 255));
      p[1] = uint8(std::clamp(40 + int(int64(y) * 160 / h) + grain, 0, 255));
      p[2] = uint8(std::clamp(60 + int(int64(x) * 150 / w) + grain, 0, 255));
      if (depth == 4) p[3] = 255;
    }
}

// The photo-like picture as a JPEG file.
inline bool Write_Photo_Jpeg(const std::string& path, int32 w, int32 h) {
  std::vector<uint8> px(size_t(w) * size_t(h) * 4);
  Photo_Pixels(w, h, px.data(), size_t(w) * 4, 4);
  std::vector<uint8> jpg;
  if (Host_Encode_JPEG(HostImageSource{px.data(), w, h, size_t(w) * 4, 72}, 90, jpg) != HC_OK) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(jpg.data()), std::streamsize(jpg.size()));
  return bool(out);
}

// What the first disc of the two-up sheet holds beside its photo: the dark
// canvas and a text round the disc, or (the photo sheet) the white disc and
// one straight line of bold text.
struct SheetLook {
  bool canvas = true;
  bool circular_text = true;
  bool bold = false;
};
constexpr SheetLook kPhotoSheet{false, false, true};

// The two-up disc sheet as the open document, both discs marked for
// printing: on the first a dark canvas, a photo of photo_w x photo_h pixels
// (written as photo.jpg into dir and embedded) fitted across the disc, and
// a text round the disc in DejaVu Sans (or as `look` says); the second its
// clone. Needs the document modules started, the fonts listed and the
// picture library open. FALSE with the reason when a step fails.
inline bool Make_Two_Up_Document(const std::string& dir, int32 photo_w, int32 photo_h, std::string& why,
                                 const SheetLook& look = SheetLook{}) {
  why.clear();
  if (!Doc_New(Two_Up_Disc_Sheet())) return why = "no document", false;
  if (!Doc_Unit(2)->clonef && !Clone(2)) return why = "the second disc is no clone", false;
  Select_Doc_Unit(1);
  a_doc_unit* u = g_doc.up;
  if (u == nullptr) return why = "no first disc", false;
  if (look.canvas) {
    // "Starry Night": dark to the rim, so that the disc's edge shows on paper.
    CanvX_To_Key(u->canv.cv.canvas_key, 3, UNIT_CD);
    if (Is_CanvKey_White(u->canv.cv.canvas_key)) return why = "the library has no disc canvases", false;
    Unit_PostRender(u);
  }

  const std::string photo = dir + "/photo.jpg";
  if (!Write_Photo_Jpeg(photo, photo_w, photo_h)) return why = "the photo could not be written", false;
  FSSpec spec{};
  gs.pref.embed_option = true;
  const int16 mid = int16(u->paintbounds.right / 2);
  if (!Path_From_Text(spec, photo.c_str()) || !Photo_New_External(spec, Point{mid, mid}, false))
    return why = "the photo could not be placed", false;

  for (int16 sl = 0; sl < NSLIDERS; ++sl) gs.slider_vals[sl] = SLIDER_VALUES[sl].defaultval;
  gs.slider_vals[TEXT_SIZE_SLIDER] = 20;
  gs.grid_vals[TEXT_LAYOUT_GRID] = look.circular_text ? LAYOUT_CIRC_CW : LAYOUT_HORZ;
  gs.toggle_vals[TEXT_BOLD_TOGGLE] = look.bold;
  gs.grid_vals[TEXT_HJUST_GRID] = JUST_CENTER;
  gs.bar_selection[FONT_BAR] = int16(Find_Font_Name(CStrSpan("DejaVu Sans")));
  if (gs.bar_selection[FONT_BAR] == 0) return why = "no DejaVu Sans", false;
  gs.ncolor_table = std::max<int16>(gs.ncolor_table, 1);
  gs.color_table[0] = a_pixel32{{0x40, 0xE0, 0xF0, 0xFF}};  // yellow
  gs.bar_selection[PAINT_COLORBAR] = 0;
  const std::u16string text = u"VELMOR FOUR \u2022 TWO DISCS ON ONE SHEET \u2022 TRACKS 1 TO 12";
  Text_New2(reinterpret_cast<const UniChar*>(text.c_str()), int32(text.size()), 0, Point{NO_POINT, NO_POINT},
            false);
  int32 photos = 0, texts = 0;
  for (int32 i = 0; i < u->oj.nlist; ++i)
    photos += u->oj.list[i].kind == PHOTO_BLOCK, texts += u->oj.list[i].kind == TEXT_BLOCK;
  if (photos != 1 || texts != 1) return why = "the photo or the text is missing", false;
  Unit_PostRender(u);
  Doc_Unit(1)->printf = true;
  Doc_Unit(2)->printf = true;
  return true;
}

}  // namespace printsheet
