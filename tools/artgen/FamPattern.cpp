// Patterns (art/patterns.txt): seamless tiles for the pattern fill, opaque
// 32-bit pictures of 8 to 96 pixels a side, run-length packed.
//
//   GROUP I STYLE "NAME" size=WxH [colors=#..,#..] [seed=N]
//
// Every tile repeats without a seam: shapes are drawn once for each
// neighbouring copy of the tile, and noise has the tile as its period.
#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

#include "ArtGen.h"

namespace {

constexpr double kTau = 2 * M_PI;

struct a_pattern {
  a_keyset key{};
  std::string style, name;
  int32_t w = 0, h = 0;
  std::vector<a_rgb> cols;  // the style's colours, in its order
  uint64_t seed = 0;
  a_rgb C(size_t i) const { return cols[std::min(i, cols.size() - 1)]; }
};

using a_pattern_style = void (*)(a_surface& s, const a_pattern& p);

// Draws fn once for each copy of the tile that can reach into it.
void Wrapped(cairo_t* cr, const a_pattern& p, const std::function<void()>& fn) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      cairo_save(cr);
      cairo_translate(cr, dx * p.w, dy * p.h);
      fn();
      cairo_restore(cr);
    }
  }
}

void Ground(a_surface& s, const a_rgb& c) {
  Set_Rgb(s.Cr(), c);
  cairo_paint(s.Cr());
}

double Fract(double v) { return v - std::floor(v); }
// Distance to the nearest multiple of `period`.
double Near(double v, double period) {
  const double f = Fract(v / period) * period;
  return std::min(f, period - f);
}

// ---------------------------------------------------------------------------
// Geometric
// ---------------------------------------------------------------------------
void Gingham(a_surface& s, const a_pattern& p) {
  const a_noise n(p.seed);
  s.Shade([&](double x, double y) {
    const double vx = Smooth(-0.5, 0.5, p.w / 4.0 - Near(x - p.w / 4.0, p.w));
    const double vy = Smooth(-0.5, 0.5, p.h / 4.0 - Near(y - p.h / 4.0, p.h));
    a_rgb c = Mix(p.C(0), p.C(1), 0.5 * vx + 0.5 * vy);
    return Scale(c, 1 + 0.05 * n.At_Periodic(x / p.w * 16, y / p.h * 16, 16, 16));
  });
}

void Polka(a_surface& s, const a_pattern& p) {
  s.Shade([&](double x, double y) {
    const double r = p.w * 0.17;
    double d = 1e9;
    for (const double ox : {0.25, 0.75}) {
      const double oy = ox;
      const double dx = Near(x - ox * p.w, p.w), dy = Near(y - oy * p.h, p.h);
      d = std::min(d, std::hypot(dx, dy));
    }
    return Mix(p.C(0), p.C(1), Clamp01(r - d + 0.5));
  });
}

// Diagonal bands, one colour each; a square tile repeats after all of them.
void Diagonal(a_surface& s, const a_pattern& p) {
  const int64_t n = int64_t(p.cols.size());
  const double bw = p.w / double(n);  // one band, measured along a row
  s.Shade([&](double x, double y) {
    const double band = (x + y) / bw;
    const double k = std::floor(band);
    const int64_t ki = (int64_t(k) % n + n) % n;
    const double d = (band - k) * bw / std::sqrt(2.0);  // from the band's first edge
    return Mix(p.C(size_t((ki + n - 1) % n)), p.C(size_t(ki)), Clamp01(d + 0.5));
  });
}

// Zigzag bands of two colours, two a tile's height.
void Chevron(a_surface& s, const a_pattern& p) {
  s.Shade([&](double x, double y) {
    const double tri = std::fabs(2 * Fract(x / p.w) - 1);  // 1 .. 0 .. 1 across the tile
    const double v = (y + tri * p.h / 2) / (p.h / 2);
    const double k = std::floor(v), f = v - k;
    const double d = std::min(f, 1 - f) * (p.h / 2) * 0.7;  // to the nearest edge, across it
    const bool odd = (int64_t(k) % 2 + 2) % 2 != 0;
    return Mix(p.C(odd ? 0 : 1), p.C(odd ? 1 : 0), Clamp01(0.5 + d));
  });
}

void Honeycomb(a_surface& s, const a_pattern& p) {
  const a_noise n(p.seed);
  s.Shade([&](double x, double y) {
    // Centres of a triangular lattice, (0, 0) and (w / 2, h / 2) a tile.
    double d1 = 1e9, d2 = 1e9;
    for (int j = -1; j <= 2; ++j) {
      for (int i = -1; i <= 2; ++i) {
        for (int half = 0; half < 2; ++half) {
          const double cx = (i + 0.5 * half) * p.w, cy = (j + 0.5 * half) * p.h;
          const double d = std::hypot((x - cx) / p.w * 1.0, (y - cy) / p.h * 1.732) * p.w;
          if (d < d1) {
            d2 = d1;
            d1 = d;
          } else if (d < d2) {
            d2 = d;
          }
        }
      }
    }
    const double edge = (d2 - d1) / 2;
    a_rgb cell = Mix(p.C(0), p.C(1), Clamp01(d1 / (p.w * 0.55)));
    cell = Scale(cell, 1 + 0.04 * n.At_Periodic(x / p.w * 8, y / p.h * 8, 8, 8));
    return Mix(p.C(2), cell, Smooth(0.8, 2.2, edge));
  });
}

void Scales(a_surface& s, const a_pattern& p) {
  cairo_t* cr = s.Cr();
  Ground(s, p.C(0));
  const double r = p.w / 2.0;
  for (int row = -1; row <= 3; ++row) {
    const double y = row * p.h / 2.0;
    const double off = (row % 2 != 0) ? p.w / 2.0 : 0.0;
    for (int i = -1; i <= 2; ++i) {
      const double x = i * p.w + off;
      const int rings = int(p.cols.size()) > 3 ? 4 : 3;
      for (int k = 0; k < rings; ++k) {
        cairo_arc(cr, x, y, r * (1 - k * 0.24), 0, kTau);
        Set_Rgb(cr, k % 2 == 0 ? p.C(1) : p.C(2));
        cairo_fill(cr);
      }
    }
  }
}

void Houndstooth(a_surface& s, const a_pattern& p) {
  const double cell = p.w / 8.0;
  s.Shade([&](double x, double y) {
    const int ix = int(x / cell) % 8, iy = int(y / cell) % 8;
    const bool warp_dark = ix < 4, weft_dark = iy < 4;
    const bool warp_top = (ix + iy) % 4 < 2;
    return (warp_top ? warp_dark : weft_dark) ? p.C(1) : p.C(0);
  });
}

void Argyle(a_surface& s, const a_pattern& p) {
  s.Shade([&](double x, double y) {
    const double u = x / p.w, v = y / p.h;
    const double inside = std::fabs(u - 0.5) + std::fabs(v - 0.5);
    const double px = std::min(p.w, p.h);
    a_rgb c = Mix(p.C(0), p.C(1), Smooth(0.5 - 0.5 / px, 0.5 + 0.5 / px, inside));
    // Dashed overcheck lines through the diamonds' corners.
    const double d1 = Near(u + v - 0.5, 1.0) * px * 0.7, d2 = Near(u - v - 0.5, 1.0) * px * 0.7;
    const bool dash1 = Fract((u - v) * 4) < 0.6, dash2 = Fract((u + v) * 4) < 0.6;
    const double line = std::max(dash1 ? Clamp01(1.0 - d1) : 0.0, dash2 ? Clamp01(1.0 - d2) : 0.0);
    return Mix(c, p.C(2), line);
  });
}

void Tiles(a_surface& s, const a_pattern& p) {
  a_rng rng(p.seed);
  double tone[2][2];
  for (auto& row : tone)
    for (double& t : row) t = rng.Range(-0.06, 0.06);
  s.Shade([&](double x, double y) {
    const double tw = p.w / 2.0, th = p.h / 2.0;
    const int i = int(x / tw), j = int(y / th);
    const double lx = x - i * tw, ly = y - j * th;
    const double grout = std::min({lx, tw - lx, ly, th - ly});
    a_rgb c = Scale(p.C(0), 1 + tone[j & 1][i & 1]);
    c = Mix(c, Hex("#ffffff"), 0.25 * std::exp(-std::pow((lx + ly) / (tw * 0.5) - 0.5, 2)));
    return Mix(p.C(1), c, Smooth(0.8, 1.8, grout));
  });
}

void Brick(a_surface& s, const a_pattern& p) {
  const a_noise n(p.seed);
  a_rng rng(p.seed);
  double tone[2][2];
  for (auto& row : tone)
    for (double& t : row) t = rng.Range(0, 1);
  s.Shade([&](double x, double y) {
    const double bh = p.h / 2.0, bw = p.w / 2.0;
    const int row = int(y / bh);
    const double sx = x + (row % 2 != 0 ? bw / 2 : 0.0);
    const int col = int(std::floor(sx / bw)) & 1;
    const double lx = Fract(sx / bw) * bw, ly = y - row * bh;
    const double mortar = std::min({lx, bw - lx, ly, bh - ly});
    a_rgb c = Mix(p.C(0), p.C(1), tone[row & 1][col]);
    c = Scale(c, 1 + 0.1 * n.Fbm_Periodic(x / p.w * 8, y / p.h * 4, 8, 4, 3));
    return Mix(p.C(2), c, Smooth(0.7, 1.7, mortar));
  });
}

void Basket(a_surface& s, const a_pattern& p) {
  s.Shade([&](double x, double y) {
    const double b = p.w / 2.0;
    const int bi = int(x / b), bj = int(y / b);
    const bool horiz = (bi + bj) % 2 == 0;
    const double lx = x - bi * b, ly = y - bj * b;
    const double across = horiz ? ly : lx, strip = b / 3.0;
    const double f = Fract(across / strip);
    const double shade = 0.55 + 0.45 * std::sin(M_PI * f);
    const double along = horiz ? lx : ly;
    const double end = std::min(along, b - along);
    a_rgb c = Mix(p.C(0), p.C(1), shade);
    return Mix(p.C(0), c, Smooth(0.2, 2.5, end) * 0.5 + 0.5);
  });
}

// A tartan's sett: stripes (colour index, width in pixels) across the
// tile, the same both ways; a 2/2 twill shows warp and weft in turn.
void Plaid(a_surface& s, const a_pattern& p) {
  struct Stripe {
    size_t col;
    double width;
  };
  const Stripe sett[] = {{0, 0.22}, {1, 0.1}, {0, 0.04}, {2, 0.02}, {0, 0.04}, {1, 0.1}, {0, 0.22},
                         {3, 0.16}, {2, 0.02}, {3, 0.08}};
  double total = 0;
  for (const Stripe& st : sett) total += st.width;
  auto colour_at = [&](double v) {
    double t = Fract(v) * total;
    for (const Stripe& st : sett) {
      if (t < st.width) return p.C(st.col);
      t -= st.width;
    }
    return p.C(0);
  };
  s.Shade([&](double x, double y) {
    const int ix = int(x), iy = int(y);
    const bool warp_top = ((ix + iy) / 2) % 2 == 0;
    const a_rgb warp = colour_at(x / p.w), weft = colour_at(y / p.h);
    return Mix(warp_top ? warp : weft, Mix(warp, weft, 0.5), 0.25);
  });
}

// ---------------------------------------------------------------------------
// Textures (noise with the tile as its period)
// ---------------------------------------------------------------------------
void Wood(a_surface& s, const a_pattern& p) {
  const a_noise n(p.seed), m(p.seed + 1);
  s.Shade([&](double x, double y) {
    const double u = x / p.w, v = y / p.h;
    const double g = 6 * v + 1.1 * n.Fbm_Periodic(u * 3, v * 3, 3, 3, 4) + 0.2 * m.Fbm_Periodic(u * 12, v * 24, 12, 24, 2);
    const double ring = std::pow(0.5 + 0.5 * std::sin(kTau * g), 3);
    a_rgb c = Mix(p.C(0), p.C(1), 0.2 + 0.6 * ring);
    const double pore = m.At_Periodic(u * 6, v * 64, 6, 64);
    return pore > 0.4 ? Scale(c, 0.93) : c;
  });
}

void Marble(a_surface& s, const a_pattern& p) {
  const a_noise n(p.seed);
  s.Shade([&](double x, double y) {
    const double u = x / p.w, v = y / p.h;
    const double t = n.Turb_Periodic(u * 2, v * 2, 2, 2, 5);
    const double vein = std::pow(1 - std::fabs(std::sin(M_PI * (u + v) + 3.5 * t)), 6);
    const double cloud = 0.5 + 0.5 * n.Fbm_Periodic(u * 3 + 5, v * 3 + 5, 3, 3, 4);
    return Mix(Mix(p.C(0), p.C(1), 0.6 * cloud), p.C(2), vein * (0.4 + 1.0 * t));
  });
}

void Paper(a_surface& s, const a_pattern& p) {
  const a_noise n(p.seed), fine(p.seed + 1);
  s.Shade([&](double x, double y) {
    const double u = x / p.w, v = y / p.h;
    const double m = n.Fbm_Periodic(u * 3, v * 3, 3, 3, 4);
    const double g = fine.Fbm_Periodic(u * 24, v * 24, 24, 24, 2);
    return Scale(Mix(p.C(0), p.C(1), 0.5 + 0.7 * m), 1 + 0.035 * g);
  });
}

void Linen(a_surface& s, const a_pattern& p) {
  const a_noise n(p.seed);
  const double period = 4.0;
  s.Shade([&](double x, double y) {
    const double ix = std::floor(x / period), iy = std::floor(y / period);
    const double fx = x / period - ix, fy = y / period - iy;
    const bool weft_top = (int64_t(ix) + int64_t(iy)) % 2 == 0;
    const double slub = 0.8 + 0.2 * n.At_Periodic(x / p.w * 4, iy * 0.5, 4, 0);
    const double weft = std::sin(M_PI * fy) * slub, warp = std::sin(M_PI * fx);
    const double v = weft_top ? std::max(weft, 0.55 * warp) : std::max(warp, 0.55 * weft);
    return Mix(p.C(0), p.C(1), Clamp01(0.1 + 0.85 * v));
  });
}

void Denim(a_surface& s, const a_pattern& p) {
  const a_noise n(p.seed);
  s.Shade([&](double x, double y) {
    const double u = x / p.w, v = y / p.h;
    const double twill = 0.5 + 0.5 * std::sin(kTau * (x - y) / 4.0);
    const double fade = 0.5 + 0.5 * n.Fbm_Periodic(u * 4, v * 12, 4, 12, 3);
    const double white = std::pow(0.5 + 0.5 * n.At_Periodic(u * 16, v * 48, 16, 48), 3);
    a_rgb c = Mix(p.C(0), p.C(1), 0.25 * twill + 0.35 * fade);
    return Mix(c, p.C(2), white * 0.35);
  });
}

void Cork(a_surface& s, const a_pattern& p) {
  const a_noise n(p.seed);
  s.Shade([&](double x, double y) {
    const double u = x / p.w, v = y / p.h;
    const double m = n.Fbm_Periodic(u * 6, v * 6, 6, 6, 3);
    a_rgb c = Mix(p.C(0), p.C(1), 0.5 + 0.6 * m);
    const double speck = n.At_Periodic(u * 20 + 3.3, v * 20 + 1.7, 20, 20);
    if (speck > 0.45) c = Mix(c, p.C(2), Smooth(0.45, 0.6, speck));
    if (speck < -0.55) c = Mix(c, Hex("#f3e2c0"), 0.4);
    return c;
  });
}

// Cellular noise over the tile: distances to the nearest and second
// nearest of `count` points, wrapped.
struct a_cells {
  std::vector<std::pair<double, double>> pts;
  a_cells(uint64_t seed, int count, double w, double h) {
    a_rng r(seed);
    for (int i = 0; i < count; ++i) pts.emplace_back(r.Range(0, w), r.Range(0, h));
  }
  void At(double x, double y, double w, double h, double& f1, double& f2) const {
    f1 = f2 = 1e9;
    for (const auto& [px, py] : pts) {
      const double dx = Near(x - px, w), dy = Near(y - py, h);
      const double d = std::hypot(dx, dy);
      if (d < f1) {
        f2 = f1;
        f1 = d;
      } else if (d < f2) {
        f2 = d;
      }
    }
  }
};

void Leather(a_surface& s, const a_pattern& p) {
  const a_noise n(p.seed);
  const a_cells cells(p.seed, 26, p.w, p.h);
  s.Shade([&](double x, double y) {
    double f1 = 0, f2 = 0;
    cells.At(x, y, p.w, p.h, f1, f2);
    const double crease = 1 - Smooth(0.3, 2.2, f2 - f1);
    const double bump = Clamp01(f1 / (p.w * 0.16));
    a_rgb c = Mix(p.C(1), p.C(0), 0.3 + 0.5 * (1 - bump));
    c = Scale(c, 1 + 0.06 * n.Fbm_Periodic(x / p.w * 4, y / p.h * 4, 4, 4, 3));
    return Mix(c, p.C(2), crease * 0.7);
  });
}

void Brushed(a_surface& s, const a_pattern& p) {
  const a_noise n(p.seed);
  s.Shade([&](double x, double y) {
    const double u = x / p.w, v = y / p.h;
    const double streak = n.Fbm_Periodic(u * 2, v * 48, 2, 48, 3);
    const double sheen = 0.5 + 0.5 * std::cos(kTau * u);
    return Mix(p.C(0), p.C(1), Clamp01(0.35 + 0.35 * sheen + 0.25 * streak));
  });
}

void Granite(a_surface& s, const a_pattern& p) {
  const a_noise a(p.seed), b(p.seed + 1), c(p.seed + 2);
  s.Shade([&](double x, double y) {
    const double u = x / p.w, v = y / p.h;
    a_rgb col = Mix(p.C(0), p.C(1), 0.5 + 0.5 * a.Fbm_Periodic(u * 8, v * 8, 8, 8, 3));
    const double k1 = b.At_Periodic(u * 22, v * 22, 22, 22), k2 = c.At_Periodic(u * 28 + 5, v * 28 + 5, 28, 28);
    if (k1 > 0.42) col = Mix(col, p.C(2), Smooth(0.42, 0.55, k1));
    if (k2 > 0.5) col = Mix(col, p.C(3), Smooth(0.5, 0.62, k2));
    return col;
  });
}

void Sand(a_surface& s, const a_pattern& p) {
  const a_noise n(p.seed), g(p.seed + 1);
  s.Shade([&](double x, double y) {
    const double u = x / p.w, v = y / p.h;
    const double ripple = 0.5 + 0.5 * std::sin(kTau * (4 * v + 0.35 * n.Fbm_Periodic(u * 2, v * 2, 2, 2, 3)));
    const double grain = g.At_Periodic(u * 40, v * 40, 40, 40);
    return Scale(Mix(p.C(0), p.C(1), 0.6 * ripple), 1 + 0.07 * grain);
  });
}

void Carbon(a_surface& s, const a_pattern& p) {
  s.Shade([&](double x, double y) {
    const double cell = p.w / 4.0;
    const double ix = std::floor(x / cell), iy = std::floor(y / cell);
    const double fx = x / cell - ix, fy = y / cell - iy;
    const bool along = (int64_t(ix) + int64_t(iy / 2)) % 2 == 0;
    const double v = along ? std::sin(M_PI * fy) * (0.6 + 0.4 * fx) : std::sin(M_PI * fx) * (0.6 + 0.4 * fy);
    return Mix(p.C(0), p.C(1), v);
  });
}

// ---------------------------------------------------------------------------
// Scattered motifs
// ---------------------------------------------------------------------------
// Positions of n motifs over the tile, kept apart a little.
std::vector<std::pair<double, double>> Scatter(const a_pattern& p, int n, double min_dist, uint64_t seed) {
  a_rng r(seed);
  std::vector<std::pair<double, double>> pts;
  for (int tries = 0; tries < n * 60 && int(pts.size()) < n; ++tries) {
    const double x = r.Range(0, p.w), y = r.Range(0, p.h);
    bool ok = true;
    for (const auto& [qx, qy] : pts) ok = ok && std::hypot(Near(x - qx, p.w), Near(y - qy, p.h)) >= min_dist;
    if (ok) pts.emplace_back(x, y);
  }
  return pts;
}

void Leaves(a_surface& s, const a_pattern& p) {
  cairo_t* cr = s.Cr();
  Ground(s, p.C(0));
  a_rng r(p.seed);
  for (const auto& spot : Scatter(p, 14, p.w * 0.18, p.seed)) {
    const double x = spot.first, y = spot.second;
    const double rot = r.Range(0, kTau), len = r.Range(0.1, 0.15) * p.w;
    const a_rgb col = p.C(1 + size_t(r.Below(int(p.cols.size()) - 1)));
    Wrapped(cr, p, [&] {
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_rotate(cr, rot);
      cairo_move_to(cr, 0, -len);
      cairo_curve_to(cr, len * 0.55, -len * 0.4, len * 0.45, len * 0.5, 0, len);
      cairo_curve_to(cr, -len * 0.45, len * 0.5, -len * 0.55, -len * 0.4, 0, -len);
      Set_Rgb(cr, col);
      cairo_fill(cr);
      cairo_move_to(cr, 0, -len * 0.8);
      cairo_line_to(cr, 0, len * 1.25);
      Set_Rgb(cr, Mix(col, Hex("#ffffff"), 0.35));
      cairo_set_line_width(cr, 1.0);
      cairo_stroke(cr);
      cairo_restore(cr);
    });
  }
}

void Flower(cairo_t* cr, double x, double y, double r, double rot, const a_rgb& petal, const a_rgb& centre) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, rot);
  for (int k = 0; k < 5; ++k) {
    const double a = kTau * k / 5;
    cairo_save(cr);
    cairo_rotate(cr, a);
    cairo_translate(cr, 0, -r * 0.55);
    cairo_scale(cr, r * 0.42, r * 0.55);
    cairo_arc(cr, 0, 0, 1, 0, kTau);
    cairo_restore(cr);
    Set_Rgb(cr, petal);
    cairo_fill(cr);
  }
  cairo_arc(cr, 0, 0, r * 0.28, 0, kTau);
  Set_Rgb(cr, centre);
  cairo_fill(cr);
  cairo_restore(cr);
}

void Flowers(a_surface& s, const a_pattern& p) {
  cairo_t* cr = s.Cr();
  Ground(s, p.C(0));
  a_rng r(p.seed);
  const auto pts = Scatter(p, 11, p.w * 0.22, p.seed);
  for (size_t i = 0; i < pts.size(); ++i) {
    const double x = pts[i].first, y = pts[i].second;
    const double rad = r.Range(0.07, 0.1) * p.w, rot = r.Range(0, kTau);
    const a_rgb petal = p.C(1 + size_t(r.Below(int(p.cols.size()) - 2)));
    const double la = r.Range(0, kTau);
    Wrapped(cr, p, [&] {
      // A leaf beside each flower.
      cairo_save(cr);
      cairo_translate(cr, x + std::cos(la) * rad * 1.3, y + std::sin(la) * rad * 1.3);
      cairo_rotate(cr, la);
      cairo_scale(cr, rad * 0.7, rad * 0.3);
      cairo_arc(cr, 0, 0, 1, 0, kTau);
      cairo_restore(cr);
      Set_Rgb(cr, p.C(p.cols.size() - 1));
      cairo_fill(cr);
      Flower(cr, x, y, rad, rot, petal, Hex("#ffd54f"));
    });
  }
}

void Bubbles(a_surface& s, const a_pattern& p) {
  cairo_t* cr = s.Cr();
  Ground(s, p.C(0));
  a_rng r(p.seed);
  for (const auto& spot : Scatter(p, 9, p.w * 0.2, p.seed)) {
    const double x = spot.first, y = spot.second;
    const double rad = r.Range(0.05, 0.12) * p.w;
    Wrapped(cr, p, [&] {
      cairo_arc(cr, x, y, rad, 0, kTau);
      Set_Rgb(cr, p.C(1), 0.25);
      cairo_fill_preserve(cr);
      Set_Rgb(cr, p.C(2), 0.9);
      cairo_set_line_width(cr, 1.2);
      cairo_stroke(cr);
      cairo_arc(cr, x - rad * 0.35, y - rad * 0.35, rad * 0.22, 0, kTau);
      Set_Rgb(cr, Hex("#ffffff"), 0.85);
      cairo_fill(cr);
    });
  }
}

void Clouds(a_surface& s, const a_pattern& p) {
  const a_noise n(p.seed);
  s.Shade([&](double x, double y) {
    const double u = x / p.w, v = y / p.h;
    const double c = n.Fbm_Periodic(u * 3, v * 3, 3, 3, 5);
    return Mix(p.C(0), p.C(1), Smooth(0.0, 0.45, c));
  });
}

void Wavy(a_surface& s, const a_pattern& p) {
  s.Shade([&](double x, double y) {
    const double u = x / p.w;
    const double v = y / (p.h / 4.0) + 0.35 * std::sin(kTau * u);
    const double k = std::floor(v);
    const double d = std::min(v - k, k + 1 - v) * (p.h / 4.0) * 0.85;
    return Mix(p.C(0), p.C(1), Clamp01(1.6 - d));
  });
}

void Star_Path(cairo_t* cr, double x, double y, double r, double rot) {
  for (int k = 0; k < 10; ++k) {
    const double a = rot + kTau * k / 10 - M_PI / 2, rr = k % 2 == 0 ? r : r * 0.42;
    const double px = x + rr * std::cos(a), py = y + rr * std::sin(a);
    if (k == 0) cairo_move_to(cr, px, py);
    else cairo_line_to(cr, px, py);
  }
  cairo_close_path(cr);
}

void Stars(a_surface& s, const a_pattern& p) {
  cairo_t* cr = s.Cr();
  Ground(s, p.C(0));
  a_rng r(p.seed);
  for (const auto& spot : Scatter(p, 10, p.w * 0.2, p.seed)) {
    const double x = spot.first, y = spot.second;
    const double rad = r.Range(0.05, 0.1) * p.w, rot = r.Range(0, kTau);
    const a_rgb col = p.C(1 + size_t(r.Below(int(p.cols.size()) - 1)));
    Wrapped(cr, p, [&] {
      Star_Path(cr, x, y, rad, rot);
      Set_Rgb(cr, col);
      cairo_fill(cr);
    });
  }
}

void Heart(cairo_t* cr, double x, double y, double size) {
  const double k = size / 34.0;
  for (int i = 0; i <= 64; ++i) {
    const double t = kTau * i / 64.0;
    const double hx = 16 * std::pow(std::sin(t), 3);
    const double hy = -(13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t));
    if (i == 0) cairo_move_to(cr, x + hx * k, y + hy * k);
    else cairo_line_to(cr, x + hx * k, y + hy * k);
  }
  cairo_close_path(cr);
}

void Hearts(a_surface& s, const a_pattern& p) {
  cairo_t* cr = s.Cr();
  Ground(s, p.C(0));
  const struct {
    double x, y;
    size_t col;
  } at[] = {{0.25, 0.25, 1}, {0.75, 0.75, 2}};
  for (const auto& h : at) {
    Wrapped(cr, p, [&] {
      Heart(cr, h.x * p.w, h.y * p.h, p.w * 0.36);
      Set_Rgb(cr, p.C(h.col));
      cairo_fill(cr);
    });
  }
}

void Snowflakes(a_surface& s, const a_pattern& p) {
  cairo_t* cr = s.Cr();
  Ground(s, p.C(0));
  a_rng r(p.seed);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (const auto& spot : Scatter(p, 6, p.w * 0.3, p.seed)) {
    const double x = spot.first, y = spot.second;
    const double len = r.Range(0.08, 0.13) * p.w, rot = r.Range(0, 1);
    Wrapped(cr, p, [&] {
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_rotate(cr, rot);
      for (int k = 0; k < 6; ++k) {
        cairo_rotate(cr, kTau / 6);
        cairo_move_to(cr, 0, 0);
        cairo_line_to(cr, 0, -len);
        cairo_move_to(cr, 0, -len * 0.55);
        cairo_line_to(cr, len * 0.25, -len * 0.8);
        cairo_move_to(cr, 0, -len * 0.55);
        cairo_line_to(cr, -len * 0.25, -len * 0.8);
      }
      Set_Rgb(cr, p.C(1));
      cairo_set_line_width(cr, 1.4);
      cairo_stroke(cr);
      cairo_restore(cr);
    });
  }
  for (const auto& spot : Scatter(p, 14, p.w * 0.1, p.seed + 9)) {
    const double x = spot.first, y = spot.second;
    Wrapped(cr, p, [&] {
      cairo_arc(cr, x, y, 1.1, 0, kTau);
      Set_Rgb(cr, p.C(1), 0.8);
      cairo_fill(cr);
    });
  }
}

void Confetti(a_surface& s, const a_pattern& p) {
  cairo_t* cr = s.Cr();
  Ground(s, p.C(0));
  a_rng r(p.seed);
  for (const auto& spot : Scatter(p, 26, p.w * 0.1, p.seed)) {
    const double x = spot.first, y = spot.second;
    const double rot = r.Range(0, kTau), k = r.Range(0.8, 1.2);
    const int kind = r.Below(2);
    const a_rgb col = p.C(1 + size_t(r.Below(int(p.cols.size()) - 1)));
    Wrapped(cr, p, [&] {
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_rotate(cr, rot);
      if (kind == 0) cairo_rectangle(cr, -3.5 * k, -1.6 * k, 7 * k, 3.2 * k);
      else cairo_arc(cr, 0, 0, 2.2 * k, 0, kTau);
      Set_Rgb(cr, col);
      cairo_fill(cr);
      cairo_restore(cr);
    });
  }
}

void Candy(a_surface& s, const a_pattern& p) {
  s.Shade([&](double x, double y) {
    const double band = (x + y) / (p.w / 2.0);
    const double k = std::floor(band), f = band - k;
    const bool red = int64_t(k) % 2 == 0;
    const double edge = std::min(f, 1 - f) * (p.w / 2.0) / std::sqrt(2.0);
    a_rgb c = red ? p.C(1) : p.C(0);
    c = Mix(red ? p.C(0) : p.C(1), c, Clamp01(edge + 0.5));
    // A highlight along each stripe.
    return Mix(c, Hex("#ffffff"), red ? 0.25 * std::exp(-std::pow((f - 0.3) / 0.12, 2)) : 0.0);
  });
}

// ---------------------------------------------------------------------------
// Music and media
// ---------------------------------------------------------------------------
void Notes(a_surface& s, const a_pattern& p) {
  cairo_t* cr = s.Cr();
  Ground(s, p.C(0));
  a_rng r(p.seed);
  Use_Font(cr, "sans", p.w * 0.3);
  for (const auto& spot : Scatter(p, 6, p.w * 0.3, p.seed)) {
    const double x = spot.first, y = spot.second;
    const char* glyph = r.Chance(0.5) ? "\xE2\x99\xAA" : "\xE2\x99\xAB";
    const double rot = r.Range(-0.35, 0.35);
    const a_rgb col = p.C(1 + size_t(r.Below(int(p.cols.size()) - 1)));
    cairo_text_extents_t e;
    cairo_text_extents(cr, glyph, &e);
    Wrapped(cr, p, [&] {
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_rotate(cr, rot);
      cairo_move_to(cr, -e.width / 2 - e.x_bearing, -e.height / 2 - e.y_bearing);
      Set_Rgb(cr, col);
      cairo_show_text(cr, glyph);
      cairo_restore(cr);
    });
  }
}

void Keys(a_surface& s, const a_pattern& p) {
  cairo_t* cr = s.Cr();
  const double kw = p.w / 7.0;
  Ground(s, p.C(0));
  // Rows of keyboards one above the other, the ground between them.
  const double kh = p.h - 3;
  for (int i = 0; i < 7; ++i) {
    cairo_rectangle(cr, i * kw + 0.5, 0, kw - 1, kh);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, kh);
    Add_Stop(g, 0, p.C(1));
    Add_Stop(g, 0.9, p.C(1));
    Add_Stop(g, 1, Mix(p.C(1), p.C(0), 0.3));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  static constexpr bool kBlack[7] = {true, true, false, true, true, true, false};
  for (int i = 0; i < 7; ++i) {
    if (!kBlack[i]) continue;
    const double x = (i + 1) * kw - kw * 0.3;
    cairo_rectangle(cr, x, 0, kw * 0.6, kh * 0.6);
    Set_Rgb(cr, p.C(2));
    cairo_fill(cr);
  }
}

void Film(a_surface& s, const a_pattern& p) {
  cairo_t* cr = s.Cr();
  Ground(s, p.C(0));
  const double hole_w = p.w * 0.3, hole_h = p.h * 0.08;
  for (int k = 0; k < 2; ++k) {
    const double y = k == 0 ? p.h * 0.04 : p.h * 0.88;
    cairo_rectangle(cr, p.w * 0.35, y, hole_w, hole_h);
    Set_Rgb(cr, p.C(1));
    cairo_fill(cr);
  }
  cairo_rectangle(cr, p.w * 0.06, p.h * 0.18, p.w * 0.88, p.h * 0.64);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, p.h * 0.18, p.w, p.h * 0.82);
  Add_Stop(g, 0, p.C(2));
  Add_Stop(g, 1, p.C(3));
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

void Records(a_surface& s, const a_pattern& p) {
  cairo_t* cr = s.Cr();
  Ground(s, p.C(0));
  const struct {
    double x, y;
  } at[] = {{0.25, 0.25}, {0.75, 0.75}};
  for (const auto& c : at) {
    Wrapped(cr, p, [&] {
      const double x = c.x * p.w, y = c.y * p.h, r = p.w * 0.22;
      cairo_arc(cr, x, y, r, 0, kTau);
      Set_Rgb(cr, Hex("#121214"));
      cairo_fill(cr);
      for (double rr = r * 0.45; rr < r * 0.95; rr += 2.2) {
        cairo_arc(cr, x, y, rr, 0, kTau);
        Set_Rgb(cr, Hex("#2c2c33"), 0.8);
        cairo_set_line_width(cr, 0.6);
        cairo_stroke(cr);
      }
      cairo_arc(cr, x, y, r * 0.36, 0, kTau);
      Set_Rgb(cr, p.C(1));
      cairo_fill(cr);
      cairo_arc(cr, x, y, r * 0.07, 0, kTau);
      Set_Rgb(cr, p.C(0));
      cairo_fill(cr);
    });
  }
}

void Bars(a_surface& s, const a_pattern& p) {
  cairo_t* cr = s.Cr();
  Ground(s, p.C(0));
  const int n = 6;
  const double bw = p.w / double(n);
  a_rng r(p.seed);
  for (int i = 0; i < n; ++i) {
    const double level = r.Range(0.25, 0.9);
    const int segs = int(level * 8);
    for (int k = 0; k < segs; ++k) {
      const double y = p.h - (k + 1) * p.h / 8.0;
      cairo_rectangle(cr, i * bw + bw * 0.18, y + 1, bw * 0.64, p.h / 8.0 - 2);
      Set_Rgb(cr, Mix(p.C(1), p.C(2), k / 7.0));
      cairo_fill(cr);
    }
  }
}

const struct {
  const char* name;
  a_pattern_style draw;
  int min_colours;
  bool square;  // the style repeats only on square tiles
} kStyles[] = {
    {"gingham", Gingham, 2, false},   {"polka", Polka, 2, false},       {"diagonal", Diagonal, 2, true}, {"chevron", Chevron, 2, false},
    {"honeycomb", Honeycomb, 3, false}, {"scales", Scales, 3, false},   {"houndstooth", Houndstooth, 2, false}, {"argyle", Argyle, 3, false},
    {"tiles", Tiles, 2, false},       {"brick", Brick, 3, false},       {"basket", Basket, 2, false},     {"plaid", Plaid, 4, false},
    {"wood", Wood, 2, false},         {"marble", Marble, 3, false},     {"paper", Paper, 2, false},       {"linen", Linen, 2, false},
    {"denim", Denim, 3, false},       {"cork", Cork, 3, false},         {"leather", Leather, 3, false},   {"brushed", Brushed, 2, false},
    {"granite", Granite, 4, false},   {"sand", Sand, 2, false},         {"carbon", Carbon, 2, false},     {"leaves", Leaves, 2, false},
    {"flowers", Flowers, 3, false},   {"bubbles", Bubbles, 3, false},   {"clouds", Clouds, 2, false},     {"wavy", Wavy, 2, false},
    {"stars", Stars, 2, false},       {"hearts", Hearts, 3, false},     {"snowflakes", Snowflakes, 2, false}, {"confetti", Confetti, 2, false},
    {"candy", Candy, 2, true},       {"notes", Notes, 2, false},       {"keys", Keys, 3, false},         {"film", Film, 4, false},
    {"records", Records, 2, false},   {"bars", Bars, 3, false},
};

bool Parse_Pattern(const a_table_row& r, a_pattern& p, a_pattern_style& draw, std::string& err) {
  int64_t g = 0, i = 0;
  if (r.words.size() != 4 || !Parse_Int_Word(r.words[0], 0, 31999, g) || !Parse_Int_Word(r.words[1], 1, 31999, i)) {
    err = r.Where() + ": GROUP I STYLE \"NAME\" expected";
    return false;
  }
  p.key = a_keyset{ART_PATTERN, int16_t(g), int16_t(i), 0};
  p.style = r.words[2];
  p.name = r.words[3];
  int min_colours = 0;
  bool square = false;
  draw = nullptr;
  for (const auto& st : kStyles) {
    if (p.style == st.name) {
      draw = st.draw;
      min_colours = st.min_colours;
      square = st.square;
    }
  }
  if (draw == nullptr) {
    err = r.Where() + ": no pattern style " + p.style;
    return false;
  }
  const std::string size = r.Text("size", "");
  const size_t x = size.find('x');
  int64_t w = 0, h = 0;
  if (x == std::string::npos || !Parse_Int_Word(size.substr(0, x), ART_PATTERN_MIN_SIZE, ART_PATTERN_MAX_SIZE, w) ||
      !Parse_Int_Word(size.substr(x + 1), ART_PATTERN_MIN_SIZE, ART_PATTERN_MAX_SIZE, h)) {
    err = r.Where() + ": size=WxH expected, each from " + std::to_string(ART_PATTERN_MIN_SIZE) + " to " +
          std::to_string(ART_PATTERN_MAX_SIZE);
    return false;
  }
  p.w = int32_t(w);
  p.h = int32_t(h);
  if (square && w != h) {
    err = r.Where() + ": style " + p.style + " repeats only on square tiles";
    return false;
  }
  const std::string cols = r.Text("colors", "");
  size_t start = 0;
  while (!cols.empty() && start <= cols.size()) {
    const size_t comma = cols.find(',', start);
    a_rgb c;
    const std::string one = cols.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!Parse_Hex(one, c)) {
      err = r.Where() + ": bad colour " + one;
      return false;
    }
    p.cols.push_back(c);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (int(p.cols.size()) < min_colours) {
    err = r.Where() + ": style " + p.style + " needs " + std::to_string(min_colours) + " colours";
    return false;
  }
  int64_t seed = 0;
  if (!r.Int("seed", 0, INT32_MAX, g * 1000 + i, seed, err)) return false;
  p.seed = Seed_Of("pattern:" + p.style, seed);
  for (const auto& [name, value] : r.options) {
    if (name != "size" && name != "colors" && name != "seed") {
      err = r.Where() + ": unknown option " + name;
      return false;
    }
  }
  return true;
}

}  // namespace

bool Pattern_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err) {
  std::vector<a_table_row> rows;
  if (!Read_Table(ctx, "patterns.txt", rows, err)) return false;
  std::vector<std::pair<a_pattern, a_pattern_style>> all;
  std::set<std::pair<int16_t, int16_t>> keys;
  for (const a_table_row& r : rows) {
    a_pattern p;
    a_pattern_style draw = nullptr;
    if (!Parse_Pattern(r, p, draw, err)) return false;
    if (!keys.emplace(p.key.b, p.key.c).second) {
      err = r.Where() + ": the key " + Key_Name(p.key) + " is taken";
      return false;
    }
    all.emplace_back(std::move(p), draw);
  }
  jobs.push_back(a_art_job{"patterns", [all](std::vector<a_art_object>& out, std::string& e) {
                             for (const auto& [p, draw] : all) {
                               a_surface s(p.w, p.h);
                               draw(s, p);
                               a_art_image img = s.Image();
                               for (size_t i = 3; i < img.rgba.size(); i += 4) img.rgba[i] = 255;
                               a_art_object o;
                               o.key = p.key;
                               if (!Pixt_Encode32_RLE(img, 0, o.data, e)) return false;
                               out.push_back(std::move(o));
                             }
                             return true;
                           }});
  return true;
}
