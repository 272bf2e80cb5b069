// The borders' sheet: each border read back from its picture as the border
// tool reads it (the separator colour, the class markers, the corner, side
// and sliver found by walking the separator lines), turned for the four
// edges by its class, fitted to frames by whole pieces with the slivers
// spread over the gaps, and drawn through the mask of its non-white pixels:
// round a 240 x 160 frame on light paper, a 400 x 130 frame on dark paint
// and a bar cell of 123 x 96. Beside them the picture itself, three times
// larger, its pieces outlined.
#include <algorithm>
#include <cstring>

#include "Sheets.h"

namespace {

// ---------------------------------------------------------------------------
// Pictures as grids of pixels
// ---------------------------------------------------------------------------
struct a_grid {
  int32_t w = 0, h = 0;
  std::vector<uint32_t> px;  // 0xRRGGBBAA
  uint32_t At(int32_t x, int32_t y) const { return px[size_t(y) * size_t(w) + size_t(x)]; }
  uint32_t& At(int32_t x, int32_t y) { return px[size_t(y) * size_t(w) + size_t(x)]; }
};

a_grid Grid_Of(const a_art_image& img) {
  a_grid g;
  g.w = img.width;
  g.h = img.height;
  g.px.resize(size_t(g.w) * size_t(g.h));
  for (size_t i = 0; i < g.px.size(); ++i) {
    const uint8_t* p = &img.rgba[i * 4];
    g.px[i] = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
  }
  return g;
}

a_art_image Image_Of(const a_grid& g) {
  a_art_image img;
  img.width = g.w;
  img.height = g.h;
  img.rgba.resize(g.px.size() * 4);
  for (size_t i = 0; i < g.px.size(); ++i)
    for (int c = 0; c < 4; ++c) img.rgba[i * 4 + size_t(c)] = uint8_t(g.px[i] >> (24 - 8 * c));
  return img;
}

uint32_t Rgb(uint32_t v) { return v >> 8; }
constexpr uint32_t kWhite = 0xFFFFFF, kMagenta = 0xFF00FF, kBlack = 0x000000;

// A piece's rectangle as the reader keeps it: top, left, bottom, right, the
// bottom and right edges outside the piece.
struct a_rect {
  int32_t top = 0, left = 0, bottom = 0, right = 0;
  bool Empty() const { return bottom <= top || right <= left; }
  int32_t W() const { return right - left; }
  int32_t H() const { return bottom - top; }
};

struct a_layout {
  int cls = 2;
  a_rect corner, side, sliver;
};

// ---------------------------------------------------------------------------
// Reading the markers
// ---------------------------------------------------------------------------
class a_reader {
 public:
  explicit a_reader(const a_grid& g) : g_(g), sep_(g.At(0, 0)) {}

  // Along row y from spos + 1 while the row is the separator, to the first
  // column where the row below is the separator too; 0 when there is none.
  int32_t Find_H(int32_t y, int32_t spos) const {
    for (int32_t x = spos + 1; x < g_.w; ++x) {
      if (g_.At(x, y) != sep_) return 0;
      if (y + 1 < g_.h && g_.At(x, y + 1) == sep_) return x;
    }
    return 0;
  }
  int32_t Find_V(int32_t x, int32_t spos) const {
    for (int32_t y = spos + 1; y < g_.h; ++y) {
      if (g_.At(x, y) != sep_) return 0;
      if (x + 1 < g_.w && g_.At(x + 1, y) == sep_) return y;
    }
    return 0;
  }

  a_layout Read() const {
    a_layout s;
    const int32_t last = g_.w - 1;
    if (g_.h > 1 && Rgb(g_.At(last, 0)) == kWhite && Rgb(g_.At(last, 1)) == kMagenta) {
      for (int32_t y = 2; y <= 5 && y < g_.h; ++y) {
        if (Rgb(g_.At(last, y)) == kBlack) {
          s.cls = int(y - 1);
          break;
        }
      }
    }
    s.corner = a_rect{1, 1, Find_V(0, 0), Find_H(0, 0)};
    const a_rect& c = s.corner;
    a_rect side, sliver;
    bool found = false;
    if (c.right + 1 < g_.w) {
      side = a_rect{1, c.right + 1, Find_V(c.right, 0), Find_H(0, c.right)};
      found = side.bottom != 0 && side.right != 0;
      if (found) sliver = a_rect{1, side.right + 1, Find_V(side.right, 0), Find_H(0, side.right)};
    } else if (c.bottom + 1 < g_.h) {
      side = a_rect{c.bottom + 1, 1, Find_V(0, c.bottom), Find_H(c.bottom, 0)};
      found = side.bottom != 0 && side.right != 0;
      if (found) sliver = a_rect{1, side.right + 1, Find_V(side.right, 0), Find_H(c.bottom, side.right)};
    }
    if (found) {
      s.side = side;
      if (sliver.bottom != 0 && sliver.right != 0) s.sliver = sliver;
    } else {
      s.side = s.corner;  // no side piece: the corner stands in for it
    }
    return s;
  }

 private:
  const a_grid& g_;
  uint32_t sep_;
};

a_grid Cut(const a_grid& g, const a_rect& r) {
  a_grid out;
  out.w = r.W();
  out.h = r.H();
  out.px.resize(size_t(out.w) * size_t(out.h));
  for (int32_t y = 0; y < out.h; ++y)
    for (int32_t x = 0; x < out.w; ++x) out.At(x, y) = g.At(r.left + x, r.top + y);
  return out;
}

// The piece turned clockwise by a quarter (the reader's -900), a half or
// three quarters, or mirrored.
a_grid Turn(const a_grid& g, int quarters) {
  a_grid out;
  const bool swap = quarters % 2 == 1;
  out.w = swap ? g.h : g.w;
  out.h = swap ? g.w : g.h;
  out.px.resize(g.px.size());
  for (int32_t y = 0; y < g.h; ++y) {
    for (int32_t x = 0; x < g.w; ++x) {
      int32_t nx = x, ny = y;
      if (quarters == 1) nx = g.h - 1 - y, ny = x;
      if (quarters == 2) nx = g.w - 1 - x, ny = g.h - 1 - y;
      if (quarters == 3) nx = y, ny = g.w - 1 - x;
      out.At(nx, ny) = g.At(x, y);
    }
  }
  return out;
}

a_grid Mirror(const a_grid& g, bool left_right) {
  a_grid out = g;
  for (int32_t y = 0; y < g.h; ++y)
    for (int32_t x = 0; x < g.w; ++x) out.At(x, y) = left_right ? g.At(g.w - 1 - x, y) : g.At(x, g.h - 1 - y);
  return out;
}

// The pieces of the four edges, 0 top, 1 right, 2 bottom, 3 left.
struct a_loaded {
  a_layout layout;
  a_grid corner[4], side[4], sliver[4];
  bool has_sliver = false;
};

a_loaded Load(const a_grid& pic) {
  a_loaded b;
  b.layout = a_reader(pic).Read();
  const a_grid c = Cut(pic, b.layout.corner), s = Cut(pic, b.layout.side);
  b.has_sliver = !b.layout.sliver.Empty();
  const a_grid v = b.has_sliver ? Cut(pic, b.layout.sliver) : a_grid{};
  b.corner[0] = c;
  switch (b.layout.cls) {
    case 1:
      b.corner[1] = Mirror(c, true);
      b.corner[2] = Turn(c, 2);
      b.corner[3] = Mirror(c, false);
      break;
    case 2:
      for (int d = 1; d < 4; ++d) b.corner[d] = Turn(c, d);
      break;
    default:
      for (int d = 1; d < 4; ++d) b.corner[d] = c;
      break;
  }
  for (int d = 0; d < 4; ++d) {
    b.side[d] = Turn(s, d);
    if (b.has_sliver) b.sliver[d] = Turn(v, d);
  }
  return b;
}

// ---------------------------------------------------------------------------
// Fitting and drawing
// ---------------------------------------------------------------------------
int Slivers_In_Gap(int ix, int nside, int nsliv) {
  const int ngaps = nside + 1;
  return nsliv / ngaps + (ix < nsliv % ngaps ? 1 : 0);
}

struct a_fit {
  int nside = 0, nsliv = 0, used = 0;
};

a_fit Fit_Axis(int frame, int corner_a, int corner_b, int side, int sliver, bool has_sliver) {
  a_fit f;
  f.used = corner_a + corner_b;
  while (side > 0 && frame - f.used >= side) f.used += side, ++f.nside;
  while (has_sliver && sliver > 0 && frame - f.used >= sliver) f.used += sliver, ++f.nsliv;
  return f;
}

// Pixels that are not white go onto the canvas.
void Stamp(a_grid& canvas, const a_grid& piece, int32_t x0, int32_t y0) {
  for (int32_t y = 0; y < piece.h; ++y) {
    for (int32_t x = 0; x < piece.w; ++x) {
      const uint32_t v = piece.At(x, y);
      const int32_t cx = x0 + x, cy = y0 + y;
      if (Rgb(v) == kWhite || cx < 0 || cy < 0 || cx >= canvas.w || cy >= canvas.h) continue;
      canvas.At(cx, cy) = v | 0xFF;
    }
  }
}

// The border round a frame of w x h on a ground of one colour, centred.
a_grid Frame(const a_loaded& b, int32_t w, int32_t h, uint32_t ground) {
  a_grid canvas;
  canvas.w = w;
  canvas.h = h;
  canvas.px.assign(size_t(w) * size_t(h), ground);
  const a_fit across = Fit_Axis(w, b.corner[0].w, b.corner[1].w, b.side[0].w, b.has_sliver ? b.sliver[0].w : 0, b.has_sliver);
  const a_fit down = Fit_Axis(h, b.corner[0].h, b.corner[3].h, b.side[1].h, b.has_sliver ? b.sliver[1].h : 0, b.has_sliver);
  const int32_t left = (w - across.used) / 2, top = (h - down.used) / 2;
  const int32_t right = left + across.used, bottom = top + down.used;
  // Each edge from its corner, gaps of slivers before, between and after
  // the sides.
  auto edge = [&](int d, const a_fit& f, auto&& place) {
    for (int gap = 0; gap <= f.nside; ++gap) {
      if (gap > 0) place(b.side[d]);
      for (int k = Slivers_In_Gap(gap, f.nside, f.nsliv); k > 0; --k) place(b.sliver[d]);
    }
  };
  int32_t x = left, y = top;
  Stamp(canvas, b.corner[0], x, top);
  x += b.corner[0].w;
  edge(0, across, [&](const a_grid& p) {
    Stamp(canvas, p, x, top);
    x += p.w;
  });
  Stamp(canvas, b.corner[1], right - b.corner[1].w, top);
  y = top + b.corner[1].h;
  edge(1, down, [&](const a_grid& p) {
    Stamp(canvas, p, right - p.w, y);
    y += p.h;
  });
  Stamp(canvas, b.corner[2], right - b.corner[2].w, bottom - b.corner[2].h);
  x = right - b.corner[2].w;
  edge(2, across, [&](const a_grid& p) {
    x -= p.w;
    Stamp(canvas, p, x, bottom - p.h);
  });
  Stamp(canvas, b.corner[3], left, bottom - b.corner[3].h);
  y = bottom - b.corner[3].h;
  edge(3, down, [&](const a_grid& p) {
    y -= p.h;
    Stamp(canvas, p, left, y);
  });
  return canvas;
}

// An image painted at a whole multiple of its size, pixels kept square.
void Paint_Sharp(cairo_t* cr, const a_art_image& img, double x, double y, double scale) {
  a_surface s(img.width, img.height);
  s.Flush();
  for (int32_t yy = 0; yy < img.height; ++yy) {
    uint32_t* row = s.Row(yy);
    for (int32_t xx = 0; xx < img.width; ++xx) {
      const uint8_t* p = &img.rgba[(size_t(yy) * size_t(img.width) + size_t(xx)) * 4];
      row[xx] = 0xFF000000u | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
  }
  s.Mark();
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_set_source_surface(cr, s.Surface(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
}

void Outline(cairo_t* cr, const a_rect& r, double x, double y, double scale, const char* colour) {
  if (r.Empty()) return;
  cairo_save(cr);
  cairo_rectangle(cr, x + r.left * scale + 0.5, y + r.top * scale + 0.5, r.W() * scale - 1, r.H() * scale - 1);
  cairo_set_line_width(cr, 1.5);
  Set_Rgb(cr, Hex(colour));
  cairo_stroke(cr);
  cairo_restore(cr);
}

std::string Size_Text(const a_rect& r) { return std::to_string(r.W()) + "x" + std::to_string(r.H()); }

}  // namespace

bool Sheet_Borders(const a_art_context&, const std::string& dir, std::vector<std::string>& written,
                   std::string& err) {
  a_sheet sheet(
      "Borders round 240 x 160, 400 x 130 and a bar cell; the picture with corner, side and sliver outlined",
      1320);
  struct {
    int32_t w, h;
    uint32_t ground;
  } const frames[] = {{240, 160, 0xFBF6ECFF}, {400, 130, 0x2E3440FF}, {123, 96, 0xFFFFFFFF}};
  for (const a_keyset& k : Reader_Keys(a_keyset{ART_BORDER, 0, 0, 0}, 1)) {
    const a_read_picture p = Reader_Picture(k);
    double x = 0, y = 0;
    sheet.Next(1288, 162, x, y);
    std::string label = std::to_string(k.a) + " " + std::to_string(k.b) + " " + std::to_string(k.c) + " " + std::to_string(k.d);
    if (!p.ok) {
      sheet.Label(x, y + 162, label + "  " + p.why);
      continue;
    }
    const a_grid pic = Grid_Of(p.img);
    const a_loaded b = Load(pic);
    cairo_t* cr = sheet.Cr();
    const double scale = std::min(3.0, 150.0 / pic.h);
    Paint_Sharp(cr, p.img, x, y, scale);
    Outline(cr, b.layout.corner, x, y, scale, "#e0203a");
    if (b.layout.side.left != b.layout.corner.left || b.layout.side.top != b.layout.corner.top) Outline(cr, b.layout.side, x, y, scale, "#1f5fd6");
    Outline(cr, b.layout.sliver, x, y, scale, "#ff8a00");
    double fx = x + std::max(340.0, pic.w * scale + 14);
    for (const auto& f : frames) {
      const a_grid canvas = Frame(b, f.w, f.h, f.ground);
      Paint_Sharp(cr, Image_Of(canvas), fx, y, 1);
      cairo_save(cr);
      cairo_rectangle(cr, fx - 0.5, y - 0.5, f.w + 1, f.h + 1);
      cairo_set_line_width(cr, 1);
      Set_Rgb(cr, Hex("#9a9aa6"));
      cairo_stroke(cr);
      cairo_restore(cr);
      fx += f.w + 14;
    }
    label += "  class " + std::to_string(b.layout.cls) + ", corner " + Size_Text(b.layout.corner) + ", side " +
             Size_Text(b.layout.side) + (b.layout.side.top > b.layout.corner.top ? " below" : "") +
             (b.has_sliver ? ", sliver " + Size_Text(b.layout.sliver) : ", no sliver");
    sheet.Label(x, y + 162, label);
  }
  if (!sheet.Write(dir + "/borders.png", err)) return false;
  written.push_back("borders.png");
  return true;
}
