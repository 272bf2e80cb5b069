// The canvas styles: each draws one design at any size. Lengths are in the
// design's unit (f.u: 1 at 640 pixels on the short side), so a design looks
// the same in every set; disc faces (set 0) are composed around the hole at
// the centre, most of them in rings.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "Canvas.h"

namespace {

constexpr double kTau = 2 * M_PI;

double Area_Ratio(const a_canvas_frame& f) { return double(f.w) * double(f.h) / (640.0 * 640.0); }
int32_t Count_For(const a_canvas_frame& f, double per_640) { return std::max(1, int32_t(std::lround(per_640 * Area_Ratio(f)))); }

// The distance from the centre and the angle (0 .. tau) of a point.
void Polar(const a_canvas_frame& f, double x, double y, double& r, double& th) {
  r = std::hypot(x - f.cx, y - f.cy);
  th = std::atan2(y - f.cy, x - f.cx);
  if (th < 0) th += kTau;
}

// Screen blending: lights add without burning out.
a_rgb Screen(const a_rgb& a, const a_rgb& b, double k) {
  return a_rgb{1 - (1 - a.r) * (1 - b.r * k), 1 - (1 - a.g) * (1 - b.g * k), 1 - (1 - a.b) * (1 - b.b * k)};
}

// A vignette: the edges darkened towards `c`.
void Vignette(a_surface& s, const a_canvas_frame& f, const a_rgb& c, double strength) {
  cairo_t* cr = s.Cr();
  const double r = std::hypot(f.w, f.h) / 2;
  cairo_pattern_t* p = cairo_pattern_create_radial(f.cx, f.cy, r * 0.45, f.cx, f.cy, r);
  Add_Stop(p, 0, c, 0);
  Add_Stop(p, 1, c, strength);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

// A shape drawn on a layer of its own, blurred and painted back: depth of
// field for the far parts of a picture.
struct a_layer {
  a_surface s;
  a_layer(const a_canvas_frame& f) : s(f.w, f.h) {}
};

void Heart_Path(cairo_t* cr, double x, double y, double size, double rot) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, rot);
  const double k = size / 34.0;
  for (int i = 0; i <= 96; ++i) {
    const double t = kTau * i / 96.0;
    const double hx = 16 * std::pow(std::sin(t), 3);
    const double hy = -(13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t));
    if (i == 0) cairo_move_to(cr, hx * k, hy * k);
    else cairo_line_to(cr, hx * k, hy * k);
  }
  cairo_close_path(cr);
  cairo_restore(cr);
}

// ---------------------------------------------------------------------------
// Skies
// ---------------------------------------------------------------------------
void Sky(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp sky = Colours_Or(d, {"#3f73bd", "#78ace3", "#bcdcf4", "#f7e6d2", "#fbd3a8"});
  const a_noise n(d.seed), m(d.seed + 1);
  const double u = f.u;
  const double sunx = f.Disc() ? f.cx : f.w * 0.7, suny = f.Disc() ? f.cy : f.h * 0.74;
  const double glow = 300 * u;
  const a_rgb top = Hex("#ffffff"), under = Hex("#b9b4cf"), sunlit = Hex("#ffe9c9");
  s.Shade([&](double x, double y) {
    double t = 0, band = 0;
    if (f.Disc()) {
      const double r = std::hypot(x - f.cx, y - f.cy);
      t = 1 - Clamp01(r / (f.w * 0.66));
      band = Smooth(0.12 * f.w, 0.3 * f.w, r);
    } else {
      t = Clamp01(y / f.h);
      band = Smooth(0.0, 0.3, t) * (1 - Smooth(0.7, 0.95, t)) * 0.9 + 0.1;
    }
    a_rgb c = sky.At(t);
    const double ds = std::hypot(x - sunx, y - suny);
    c = Mix(c, Hex("#fff5df"), Clamp01(std::exp(-std::pow(ds / glow, 2)) * 0.6 + std::exp(-std::pow(ds / (glow * 0.22), 2)) * 0.45));
    // Clouds: broad, flattened noise, lit from above.
    const double qx = x / (330 * u) + 0.4 * m.Fbm(x / (600 * u), y / (600 * u), 3);
    const double qy = y / (120 * u);
    const double v = n.Fbm(qx, qy, 6) + 0.18 * (band - 0.5);
    const double dens = Smooth(0.05, 0.42, v) * band;
    if (dens > 0) {
      const double below = n.Fbm(qx, qy + 0.1, 6);
      const double lit = Clamp01(0.55 + (v - below) * 5);
      a_rgb cloud = Mix(under, top, lit);
      cloud = Mix(cloud, sunlit, Clamp01(std::exp(-std::pow(ds / (glow * 0.9), 2)) * lit));
      c = Mix(c, cloud, dens * 0.92);
    }
    return c;
  });
  s.Grain(1.2 / 255, d.seed);
}

void Night(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp sky = Colours_Or(d, {"#050818", "#0c1636", "#1d2456", "#3b2f6b"});
  const a_noise n(d.seed), m(d.seed + 7), dust(d.seed + 9);
  const double u = f.u;
  const double ang = -0.55;  // the band runs through the centre at this angle
  const double sa = std::sin(ang), ca = std::cos(ang);
  auto band_at = [&](double x, double y) {
    const double across = (x - f.cx) * sa - (y - f.cy) * ca;
    const double wob = 40 * u * n.Fbm(x / (500 * u), y / (500 * u), 3);
    return std::exp(-std::pow((across + wob) / (130 * u), 2));
  };
  s.Shade([&](double x, double y) {
    const double t = f.Disc() ? Clamp01(std::hypot(x - f.cx, y - f.cy) / (f.w * 0.7)) : Clamp01(y / f.h);
    a_rgb c = sky.At(f.Disc() ? 0.2 + 0.6 * t : t);
    const double b = band_at(x, y);
    const double cloud = 0.55 + 0.45 * m.Fbm(x / (90 * u), y / (90 * u), 6);
    const double lanes = Smooth(0.05, 0.45, dust.Fbm(x / (140 * u), y / (70 * u), 5));
    const double hue = 0.5 + 0.5 * n.Fbm(x / (260 * u) + 3, y / (260 * u), 3);
    const a_rgb tint = Mix(Hex("#8fb4ff"), Hex("#ffb0e0"), hue);
    const double glow = b * cloud * (1 - 0.75 * lanes * b);
    c = Screen(c, tint, glow * 0.55);
    c = Screen(c, Hex("#fff6e8"), std::pow(b, 3) * cloud * 0.25);
    return c;
  });
  cairo_t* cr = s.Cr();
  a_rng rng(d.seed ^ 0x5151);
  const int32_t nstars = Count_For(f, 900);
  for (int32_t i = 0; i < nstars; ++i) {
    const double x = rng.Range(0, f.w), y = rng.Range(0, f.h);
    const double b = band_at(x, y);
    if (!rng.Chance(0.35 + 0.65 * b)) continue;
    const double r = (0.35 + 1.0 * std::pow(rng.Unit(), 5)) * u;
    const a_rgb col = Mix(Hex("#cfe0ff"), Hex("#fff1d6"), rng.Unit());
    Soft_Disc(cr, x, y, r * 2.2, col, rng.Range(0.45, 1.0), 0.35);
  }
  const int32_t bright = Count_For(f, 22);
  for (int32_t i = 0; i < bright; ++i) {
    const double x = rng.Range(0, f.w), y = rng.Range(0, f.h);
    const double r = rng.Range(1.2, 2.4) * u;
    const a_rgb col = Mix(Hex("#d8e6ff"), Hex("#fff0d0"), rng.Unit());
    Soft_Disc(cr, x, y, r * 7, col, 0.25, 0.0);
    Soft_Disc(cr, x, y, r * 1.8, Hex("#ffffff"), 1.0, 0.4);
    cairo_set_line_width(cr, 0.8 * u);
    for (int k = 0; k < 2; ++k) {
      const double len = r * rng.Range(7, 11);
      cairo_pattern_t* p = k == 0 ? cairo_pattern_create_linear(x - len, y, x + len, y)
                                  : cairo_pattern_create_linear(x, y - len, x, y + len);
      Add_Stop(p, 0, col, 0);
      Add_Stop(p, 0.5, Hex("#ffffff"), 0.8);
      Add_Stop(p, 1, col, 0);
      cairo_set_source(cr, p);
      if (k == 0) {
        cairo_move_to(cr, x - len, y);
        cairo_line_to(cr, x + len, y);
      } else {
        cairo_move_to(cr, x, y - len);
        cairo_line_to(cr, x, y + len);
      }
      cairo_stroke(cr);
      cairo_pattern_destroy(p);
    }
  }
  // Hills along the foot of the sky (not on discs and spines).
  if (!f.Disc() && f.set != ART_CANVAS_SET_SPINE) {
    const a_noise hill(d.seed + 3);
    cairo_move_to(cr, 0, f.h);
    for (int32_t x = 0; x <= f.w; x += 4) {
      const double y = f.h * 0.9 - 34 * u * (0.6 + hill.Fbm(x / (260 * u), 0.5, 4)) - 10 * u * hill.Fbm(x / (40 * u), 3.3, 2);
      cairo_line_to(cr, x, y);
    }
    cairo_line_to(cr, f.w, f.h);
    cairo_close_path(cr);
    Set_Rgb(cr, Hex("#03040b"));
    cairo_fill(cr);
  }
  s.Grain(1.0 / 255, d.seed);
}

void Sunset(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp sky = Colours_Or(d, {"#1c1645", "#52286b", "#b8416e", "#ee7550", "#ffc46c"});
  const a_ramp sea = Colours_Or(a_canvas_design{}, {"#6b3562", "#3a2150", "#150f2c"});
  const a_noise n(d.seed), w(d.seed + 5), cl(d.seed + 8);
  const double u = f.u;
  const double yh = f.Disc() ? f.cy : f.h * 0.6;
  const double sun_r = 62 * u;
  const double sx = f.cx, sy = yh - sun_r * 0.25;
  s.Shade([&](double x, double y) {
    const double ds = std::hypot(x - sx, y - sy);
    if (y < yh) {
      a_rgb c = sky.At(Clamp01(y / yh));
      c = Screen(c, Hex("#ffd9a0"), std::exp(-std::pow(ds / (240 * u), 2)) * 0.7);
      // The sun, cut by the horizon.
      const double inside = Clamp01(sun_r - ds + 0.5);
      c = Mix(c, Mix(Hex("#fff6dc"), Hex("#ffd27a"), Smooth(0, sun_r, ds)), inside);
      // Thin clouds across the lower sky, lit from below.
      const double v = cl.Fbm(x / (430 * u), y / (26 * u), 5);
      const double band = Smooth(0.15 * yh, 0.5 * yh, y) * (1 - Smooth(0.86 * yh, 0.98 * yh, y));
      const double dens = Smooth(0.1, 0.4, v) * band;
      if (dens > 0) {
        const double lit = Clamp01(0.5 + (v - cl.Fbm(x / (430 * u), (y - 5 * u) / (26 * u), 5)) * 6);
        const a_rgb cc = Mix(Hex("#3d1f4e"), Hex("#ff9a6a"), lit * (0.5 + 0.5 * Smooth(0.3 * yh, yh, y)));
        c = Mix(c, cc, dens * 0.85);
      }
      return c;
    }
    const double t = Clamp01((y - yh) / std::max(1.0, f.h - yh));
    a_rgb c = sea.At(std::pow(t, 0.7));
    c = Mix(c, sky.At(1 - t * 0.8), 0.22 * (1 - t));
    // Ripples and the sun's path on the water.
    const double ripple = w.Fbm(x / (160 * u), y / ((2.5 + 10 * t) * u), 3);
    c = Mix(c, Hex("#0a0818"), Clamp01(-ripple) * 0.35);
    const double width = sun_r * (1.0 + 3.5 * t);
    const double col = std::exp(-std::pow((x - sx) / width, 2));
    const double glitter = Smooth(0.15, 0.55, n.At(x / (9 * u), y / ((1.6 + 4 * t) * u)) + 0.3 * col);
    c = Mix(c, Hex("#ffd49a"), Clamp01(col * glitter * (1 - 0.55 * t)));
    c = Screen(c, Hex("#ff9a5a"), std::exp(-std::pow((y - yh) / (14 * u), 2)) * col * 0.6);
    return c;
  });
  s.Grain(1.2 / 255, d.seed);
}

// 8 bits: the northern lights over the night, a ramp from night to the
// lights' brightest green.
void Aurora(const a_canvas_frame& f, const a_canvas_design& d, a_art_image8& img, std::array<a_rgb, 256>& pal) {
  const a_ramp ramp =
      Colours_Or(d, {"#02040c", "#0a1634", "#182a62", "#155f6e", "#1fb487", "#5cf2a6", "#c8ffe0", "#f8fffb"});
  for (int i = 0; i < 256; ++i) pal[size_t(i)] = ramp.At(i / 255.0);
  img.width = f.w;
  img.height = f.h;
  img.index.assign(size_t(f.w) * size_t(f.h), 0);
  const a_noise n(d.seed), rays(d.seed + 1), hill(d.seed + 2);
  const double u = f.u;
  a_rng rng(d.seed);
  struct Curtain {
    double base, amp, freq, ph, reach, gain;
  };
  std::vector<Curtain> cs;
  for (int k = 0; k < 3; ++k)
    cs.push_back({0.3 + 0.13 * k, rng.Range(40, 80), rng.Range(1.0 / 300, 1.0 / 200), rng.Range(0, kTau),
                  rng.Range(120, 190), rng.Range(0.6, 1.0)});
  const bool ring = f.Disc();
  const double R = f.w * 0.5;
  for (int32_t y = 0; y < f.h; ++y) {
    for (int32_t x = 0; x < f.w; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      double v = 0, sky = 0;
      if (ring) {
        double r = 0, th = 0;
        Polar(f, px, py, r, th);
        sky = 0.06 + 0.06 * Clamp01(r / R);
        double light = 0;
        for (size_t k = 0; k < cs.size(); ++k) {
          const Curtain& c = cs[k];
          const double rk = R * (0.42 + 0.17 * k) + 28 * u * n.Fbm(std::cos(th) * 2 + k, std::sin(th) * 2, 3) +
                            14 * u * std::sin(th * (3 + k) + c.ph);
          const double rel = rk - r;  // inwards of the curtain's foot is "up"
          const double vert = rel > 0 ? std::exp(-rel / (c.reach * 0.6 * u)) : std::exp(rel / (6 * u));
          const double rr = 0.55 + 0.45 * rays.At(std::cos(th) * R / (7 * u), std::sin(th) * R / (7 * u) + r / (220 * u));
          const double a = Clamp01(vert * rr * c.gain * (0.65 + 0.35 * n.Fbm(std::cos(th) + 5, std::sin(th) + k, 2)));
          light = 1 - (1 - light) * (1 - a);
        }
        v = sky + 0.86 * light;
      } else {
        sky = 0.05 + 0.09 * (py / f.h);
        double light = 0;
        for (size_t k = 0; k < cs.size(); ++k) {
          const Curtain& c = cs[k];
          const double yk = f.h * c.base + c.amp * u * std::sin(px * c.freq / u + c.ph) +
                            45 * u * n.Fbm(px / (420 * u), k * 3.1, 3);
          const double rel = yk - py;
          const double vert = rel > 0 ? std::exp(-rel / (c.reach * u)) : std::exp(rel / (7 * u));
          const double rr = 0.55 + 0.45 * rays.At(px / (6 * u) + 2 * n.At(px / (300 * u), k), py / (260 * u));
          const double a = Clamp01(vert * rr * c.gain * (0.6 + 0.4 * n.Fbm(px / (500 * u), k + 7.0, 2)));
          light = 1 - (1 - light) * (1 - a);
        }
        v = sky + 0.86 * light;
        if (f.set != ART_CANVAS_SET_SPINE) {
          const double ridge = f.h * 0.84 - 80 * u * std::fabs(hill.Fbm(px / (300 * u), 0.3, 4)) -
                               18 * u * hill.Fbm(px / (50 * u), 2.2, 2);
          if (py > ridge) v = 0.015 + 0.03 * Smooth(ridge + 8 * u, ridge, py);
        }
      }
      img.index[size_t(y) * size_t(f.w) + size_t(x)] = uint8_t(std::lround(Clamp01(v) * 255));
    }
  }
  // Stars in the dark parts of the sky.
  const int32_t nstars = Count_For(f, 500);
  for (int32_t i = 0; i < nstars; ++i) {
    const int32_t x = rng.Below(f.w), y = rng.Below(f.h);
    uint8_t& p = img.index[size_t(y) * size_t(f.w) + size_t(x)];
    if (p < 40 && p > 8) p = uint8_t(rng.Range(150, 255));
  }
}

// ---------------------------------------------------------------------------
// Abstract
// ---------------------------------------------------------------------------
void Waves(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp ribbons = Colours_Or(d, {"#6f5cff", "#b45be0", "#ff79b0", "#ffb38a", "#59d2ff"});
  const a_ramp bg = Colours_Or(a_canvas_design{}, {"#0d0826", "#23104f", "#3a1766"});
  a_rng rng(d.seed);
  struct Ribbon {
    double base, a1, f1, p1, a2, f2, p2, thick, tf, tp, alpha;
    int m1, m2, mt;
    a_rgb col;
  };
  const int nrib = 9;
  std::vector<Ribbon> rs;
  for (int k = 0; k < nrib; ++k) {
    Ribbon r{};
    r.base = 0.12 + 0.8 * (k + rng.Range(-0.3, 0.3)) / nrib;
    r.a1 = rng.Range(30, 90);
    r.f1 = rng.Range(1.0 / 420, 1.0 / 200);
    r.p1 = rng.Range(0, kTau);
    r.a2 = rng.Range(8, 30);
    r.f2 = rng.Range(1.0 / 150, 1.0 / 80);
    r.p2 = rng.Range(0, kTau);
    r.thick = rng.Range(45, 110);
    r.tf = rng.Range(1.0 / 400, 1.0 / 250);
    r.tp = rng.Range(0, kTau);
    r.alpha = rng.Range(0.28, 0.5);
    r.m1 = 2 + rng.Below(4);
    r.m2 = 6 + rng.Below(6);
    r.mt = 1 + rng.Below(3);
    r.col = ribbons.At(rng.Unit());
    rs.push_back(r);
  }
  const double u = f.u;
  s.Shade([&](double x, double y) {
    double along = x, across = y, span = f.h;
    bool ring = f.Disc();
    double th = 0;
    if (ring) {
      Polar(f, x, y, across, th);
      span = f.w * 0.55;
    }
    a_rgb c = bg.At(Clamp01(across / (ring ? f.w * 0.7 : f.h)));
    for (const Ribbon& r : rs) {
      double yk = 0, thick = 0;
      if (ring) {
        yk = span * (0.3 + 0.75 * r.base) + r.a1 * u * std::sin(r.m1 * th + r.p1) + r.a2 * u * std::sin(r.m2 * th + r.p2);
        thick = r.thick * u * (0.7 + 0.3 * std::sin(r.mt * th + r.tp));
      } else {
        yk = span * r.base + r.a1 * u * std::sin(along * r.f1 / u + r.p1) + r.a2 * u * std::sin(along * r.f2 / u + r.p2);
        thick = r.thick * u * (0.7 + 0.3 * std::sin(along * r.tf / u + r.tp));
      }
      const double t = (across - yk) / thick;
      if (t <= 0 || t >= 1) continue;
      const double edge = Smooth(0, 0.04, t) * Smooth(1, 0.55, t);
      const double sheen = std::exp(-std::pow((t - 0.14) / 0.07, 2)) * 0.75 + std::exp(-std::pow((t - 0.5) / 0.3, 2)) * 0.15;
      const a_rgb col = Mix(r.col, Hex("#ffffff"), sheen);
      c = Mix(c, col, r.alpha * edge * (0.55 + 0.45 * (1 - t)));
    }
    return c;
  });
  s.Grain(1.2 / 255, d.seed);
}

void Bokeh(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp lights = Colours_Or(d, {"#ffcf6e", "#ff7a9c", "#7ad7ff", "#b68cff", "#fff2c2"});
  cairo_t* cr = s.Cr();
  Fill_Linear(cr, 0, 0, f.w, f.h, Colours_Or(a_canvas_design{}, {"#0c0f24", "#1f1138", "#3a1848"}));
  a_rng rng(d.seed);
  const double u = f.u;
  for (int i = 0; i < 4; ++i)
    Soft_Disc(cr, rng.Range(0, f.w), rng.Range(0, f.h), rng.Range(220, 380) * u, lights.At(rng.Unit()), 0.22);
  struct Layer {
    double per640, rmin, rmax, amin, amax, blur;
  };
  const Layer layers[] = {{70, 8, 24, 0.12, 0.3, 3.5}, {34, 22, 55, 0.12, 0.3, 1.4}, {11, 50, 105, 0.1, 0.22, 0}};
  for (const Layer& L : layers) {
    a_surface layer(f.w, f.h);
    cairo_t* lc = layer.Cr();
    cairo_set_operator(lc, CAIRO_OPERATOR_SCREEN);
    const int32_t n = Count_For(f, L.per640 * d.amount);
    for (int32_t i = 0; i < n; ++i) {
      double x = rng.Range(0, f.w), y = rng.Range(0, f.h);
      if (f.Disc()) {
        // Gathered in a ring round the hole.
        const double rr = f.w * std::sqrt(rng.Range(0.02, 0.26)), th = rng.Range(0, kTau);
        x = f.cx + rr * std::cos(th);
        y = f.cy + rr * std::sin(th);
      }
      const double r = rng.Range(L.rmin, L.rmax) * u, a = rng.Range(L.amin, L.amax);
      const a_rgb col = lights.At(rng.Unit());
      cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
      Add_Stop(p, 0, col, a * 0.7);
      Add_Stop(p, 0.86, col, a * 0.85);
      Add_Stop(p, 0.95, Mix(col, Hex("#ffffff"), 0.3), a * 1.3);
      Add_Stop(p, 1, col, 0);
      cairo_set_source(lc, p);
      cairo_arc(lc, x, y, r, 0, kTau);
      cairo_fill(lc);
      cairo_pattern_destroy(p);
    }
    layer.Blur(L.blur * u);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SCREEN);
    cairo_set_source_surface(cr, layer.Surface(), 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  Vignette(s, f, Hex("#05040c"), 0.45);
  s.Grain(1.5 / 255, d.seed);
}

void Low_Poly(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp ramp = Colours_Or(d, {"#0f2b46", "#1d5a86", "#3a9fc2", "#92ddd5", "#f2efc6"});
  const a_noise n(d.seed);
  a_rng rng(d.seed);
  const double u = f.u, cell = 78 * u;
  const int32_t cols = int32_t(std::ceil(f.w / cell)) + 1, rows = int32_t(std::ceil(f.h / cell)) + 1;
  std::vector<double> px(size_t(cols + 1) * size_t(rows + 1)), py(px.size());
  for (int32_t j = 0; j <= rows; ++j) {
    for (int32_t i = 0; i <= cols; ++i) {
      const size_t k = size_t(j) * size_t(cols + 1) + size_t(i);
      px[k] = (i - 0.5) * cell + rng.Range(-0.38, 0.38) * cell;
      py[k] = (j - 0.5) * cell + rng.Range(-0.38, 0.38) * cell;
    }
  }
  cairo_t* cr = s.Cr();
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  auto tri = [&](size_t a, size_t b, size_t c) {
    const double mx = (px[a] + px[b] + px[c]) / 3, my = (py[a] + py[b] + py[c]) / 3;
    double t = 0;
    if (f.Disc()) t = Clamp01(std::hypot(mx - f.cx, my - f.cy) / (f.w * 0.72));
    else t = Clamp01(0.65 * mx / f.w + 0.35 * my / f.h);
    t = Clamp01(t + 0.09 * n.Fbm(mx / (260 * u), my / (260 * u), 3));
    a_rgb col = ramp.At(t);
    // Light from the top left: each facet a little lighter or darker.
    const double ux = px[b] - px[a], uy = py[b] - py[a], vx = px[c] - px[a], vy = py[c] - py[a];
    const double nz = ux * vy - uy * vx;
    const double tilt = rng.Range(-1, 1) * 0.06 + (nz > 0 ? 0.02 : -0.02);
    col = tilt > 0 ? Mix(col, Hex("#ffffff"), tilt) : Mix(col, Hex("#000000"), -tilt);
    cairo_move_to(cr, px[a], py[a]);
    cairo_line_to(cr, px[b], py[b]);
    cairo_line_to(cr, px[c], py[c]);
    cairo_close_path(cr);
    Set_Rgb(cr, col);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.9);
    cairo_stroke_preserve(cr);
    Set_Rgb(cr, Hex("#ffffff"), 0.07);
    cairo_set_line_width(cr, 0.8 * u);
    cairo_stroke(cr);
  };
  for (int32_t j = 0; j < rows; ++j) {
    for (int32_t i = 0; i < cols; ++i) {
      const size_t k00 = size_t(j) * size_t(cols + 1) + size_t(i), k10 = k00 + 1;
      const size_t k01 = k00 + size_t(cols + 1), k11 = k01 + 1;
      if (rng.Chance(0.5)) {
        tri(k00, k10, k11);
        tri(k00, k11, k01);
      } else {
        tri(k00, k10, k01);
        tri(k10, k11, k01);
      }
    }
  }
  s.Grain(1.0 / 255, d.seed);
}

void Sunburst(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp ramp = Colours_Or(d, {"#ff8a3d", "#ffb35c", "#ffd27a", "#fff1c2"});
  cairo_t* cr = s.Cr();
  const double u = f.u;
  const double cx = f.cx, cy = f.Disc() || f.set == ART_CANVAS_SET_SPINE ? f.cy : f.h * 0.58;
  const double R = std::hypot(f.w, f.h);
  const int rays = 32;
  const a_rgb c0 = ramp.At(0.0), c1 = ramp.At(0.35);
  for (int i = 0; i < rays; ++i) {
    const double a0 = kTau * i / rays, a1 = kTau * (i + 1) / rays;
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx + R * std::cos(a0), cy + R * std::sin(a0));
    cairo_line_to(cr, cx + R * std::cos(a1), cy + R * std::sin(a1));
    cairo_close_path(cr);
    Set_Rgb(cr, (i & 1) ? c0 : c1);
    cairo_fill(cr);
  }
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, R * 0.55);
  Add_Stop(p, 0, ramp.At(1.0), 1.0);
  Add_Stop(p, 0.16, ramp.At(0.85), 0.85);
  Add_Stop(p, 0.45, ramp.At(0.6), 0.0);
  Add_Stop(p, 0.75, Hex("#8a2a12"), 0.25);
  Add_Stop(p, 1, Hex("#5a1608"), 0.6);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  // Fine rings, as if printed.
  cairo_set_line_width(cr, 1.2 * u);
  for (double r = 40 * u; r < R * 0.6; r += 22 * u) {
    cairo_arc(cr, cx, cy, r, 0, kTau);
    Set_Rgb(cr, Hex("#ffffff"), 0.06);
    cairo_stroke(cr);
  }
  s.Grain(1.2 / 255, d.seed);
}

void Halftone(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp ramp = Colours_Or(d, {"#ff3d7f", "#ff9a3c", "#ffe14d", "#5b2bd6"});
  const a_rgb bg0 = ramp.At(0), bg1 = ramp.At(1.0 / 3), dot1 = ramp.At(2.0 / 3), dot2 = ramp.At(1);
  const double u = f.u;
  struct Screen_ {
    double ang, step, fx, fy;
    a_rgb col;
    double alpha;
  };
  const Screen_ screens[2] = {{0.26, 22 * u, 0.0, 0.0, dot1, 0.95}, {1.31, 15 * u, double(f.w), double(f.h), dot2, 0.5}};
  const double diag = std::hypot(f.w, f.h);
  s.Shade([&](double x, double y) {
    a_rgb c = Mix(bg0, bg1, Clamp01(0.6 * x / f.w + 0.4 * y / f.h));
    for (int k = 0; k < 2; ++k) {
      const Screen_& sc = screens[k];
      double field = 0;
      if (f.Disc()) {
        const double r = std::hypot(x - f.cx, y - f.cy) / (f.w * 0.5);
        field = k == 0 ? Smooth(0.25, 1.05, r) : 1 - Smooth(0.2, 0.8, r);
      } else {
        field = 1 - Clamp01(std::hypot(x - sc.fx, y - sc.fy) / (diag * 0.95));
      }
      const double ca = std::cos(sc.ang), sa = std::sin(sc.ang);
      const double xr = x * ca + y * sa, yr = -x * sa + y * ca;
      const double gx = (std::floor(xr / sc.step) + 0.5) * sc.step, gy = (std::floor(yr / sc.step) + 0.5) * sc.step;
      const double dist = std::hypot(xr - gx, yr - gy);
      const double rad = sc.step * 0.52 * std::pow(field, 0.8);
      const double cov = Clamp01(rad - dist + 0.5);
      c = Mix(c, sc.col, cov * sc.alpha);
    }
    return c;
  });
}

// 32 bits: a glowing nebula of warped noise and stars.
void Nebula(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp ramp = Colours_Or(d, {"#02010a", "#12062e", "#3c0f61", "#8e1f7a", "#e0487a", "#ff9a5c", "#fff1d0"});
  const a_noise n(d.seed), q(d.seed + 1), r2(d.seed + 2);
  const double u = f.u;
  s.Shade([&](double x, double y) {
    const double px = x / (330 * u), py = y / (330 * u);
    const double qx = q.Fbm(px, py, 4), qy = q.Fbm(px + 5.2, py + 1.3, 4);
    const double rx = r2.Fbm(px + 3 * qx + 1.7, py + 3 * qy + 9.2, 4), ry = r2.Fbm(px + 3 * qx + 8.3, py + 3 * qy + 2.8, 4);
    double v = 0.5 + 0.5 * n.Fbm(px + 2.5 * rx, py + 2.5 * ry, 6);
    double focus = 0;
    if (f.Disc()) focus = std::exp(-std::pow(std::hypot(x - f.cx, y - f.cy) / (f.w * 0.42), 2));
    else focus = std::exp(-std::pow((0.55 * (x - f.cx) + 0.45 * (y - f.cy)) / (f.Short() * 0.55), 2));
    v = Clamp01(std::pow(v, 1.8) * (0.55 + 0.75 * focus) + 0.12 * std::hypot(qx, qy));
    return ramp.At(v);
  });
  cairo_t* cr = s.Cr();
  a_rng rng(d.seed);
  const int32_t n1 = Count_For(f, 700);
  for (int32_t i = 0; i < n1; ++i) {
    const double r = (0.3 + 0.9 * std::pow(rng.Unit(), 6)) * u;
    Soft_Disc(cr, rng.Range(0, f.w), rng.Range(0, f.h), r * 2.4, Hex("#fff8ee"), rng.Range(0.35, 0.95), 0.3);
  }
  const int32_t n2 = Count_For(f, 9);
  for (int32_t i = 0; i < n2; ++i) {
    const double x = rng.Range(0, f.w), y = rng.Range(0, f.h);
    Soft_Disc(cr, x, y, 16 * u, Hex("#ffd6f0"), 0.25);
    Soft_Disc(cr, x, y, 2.2 * u, Hex("#ffffff"), 1.0, 0.4);
  }
  s.Grain(1.0 / 255, d.seed);
}

void Mesh(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp ramp = Colours_Or(d, {"#ff9a8b", "#ff6a88", "#ffc3a0", "#a18cd1", "#fbc2eb"});
  const a_noise n(d.seed);
  a_rng rng(d.seed);
  struct Blob {
    double x, y, r;
    a_rgb c;
  };
  std::vector<Blob> bs;
  const int k = int(ramp.stops.size());
  for (int i = 0; i < k; ++i) {
    Blob b{rng.Range(0, f.w), rng.Range(0, f.h), rng.Range(0.24, 0.4) * f.Long(), ramp.stops[size_t(i)].second};
    if (f.Disc() && i == 0) b.x = f.cx, b.y = f.cy, b.r = f.w * 0.28;
    bs.push_back(b);
  }
  const double u = f.u;
  s.Shade([&](double x, double y) {
    const double wx = x + 90 * u * n.Fbm(x / (520 * u), y / (520 * u), 3);
    const double wy = y + 90 * u * n.Fbm(x / (520 * u) + 4.1, y / (520 * u) + 2.7, 3);
    double sum = 0, r = 0, g = 0, b = 0;
    for (const Blob& bl : bs) {
      // Inverse-distance weights: every blob reaches everywhere, the
      // nearest wins smoothly.
      const double w = 1.0 / (0.02 + std::pow(std::hypot(wx - bl.x, wy - bl.y) / bl.r, 2.4));
      sum += w;
      r += w * bl.c.r;
      g += w * bl.c.g;
      b += w * bl.c.b;
    }
    return a_rgb{r / sum, g / sum, b / sum};
  });
  s.Grain(2.0 / 255, d.seed);
}

// ---------------------------------------------------------------------------
// Textures
// ---------------------------------------------------------------------------
void Paper_Base(a_surface& s, const a_canvas_frame& f, const a_ramp& ramp, uint64_t seed) {
  const a_noise n(seed), fine(seed + 1);
  const double u = f.u;
  s.Shade([&](double x, double y) {
    const double m = n.Fbm(x / (190 * u), y / (190 * u), 5);
    a_rgb c = ramp.At(Clamp01(0.5 + 0.8 * m));
    const double g = fine.Fbm(x / (2.2 * u), y / (2.2 * u), 2);
    return Scale(c, 1 + 0.03 * g);
  });
  cairo_t* cr = s.Cr();
  a_rng rng(seed);
  const int32_t fibres = Count_For(f, 420);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int32_t i = 0; i < fibres; ++i) {
    const double x = rng.Range(-20, f.w + 20), y = rng.Range(-20, f.h + 20);
    const double a = rng.Range(0, kTau), len = rng.Range(14, 60) * u;
    const double bend = rng.Range(-0.8, 0.8);
    cairo_move_to(cr, x, y);
    cairo_curve_to(cr, x + std::cos(a) * len * 0.33, y + std::sin(a) * len * 0.33,
                   x + std::cos(a + bend) * len * 0.66, y + std::sin(a + bend) * len * 0.66,
                   x + std::cos(a + bend * 0.5) * len, y + std::sin(a + bend * 0.5) * len);
    const bool light = rng.Chance(0.5);
    Set_Rgb(cr, light ? Hex("#ffffff") : Hex("#b8a683"), light ? 0.35 : 0.18);
    cairo_set_line_width(cr, rng.Range(0.35, 0.9) * u);
    cairo_stroke(cr);
  }
}

void Paper(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  Paper_Base(s, f, Colours_Or(d, {"#efe4cb", "#f6eedc", "#fbf6ea"}), d.seed);
  Vignette(s, f, Hex("#a08a60"), 0.18);
  s.Grain(1.0 / 255, d.seed);
}

void Wood(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp ramp = Colours_Or(d, {"#e2b27a", "#c98f55", "#9b6234", "#6e3f1e"});
  const a_noise n(d.seed), m(d.seed + 1), pore(d.seed + 2);
  const double u = f.u;
  a_rng rng(d.seed);
  if (f.Disc()) {
    // A slice of a log: rings round the hole.
    s.Shade([&](double x, double y) {
      const double wx = x + 14 * u * n.Fbm(x / (160 * u), y / (160 * u), 4);
      const double wy = y + 14 * u * n.Fbm(x / (160 * u) + 3, y / (160 * u) + 7, 4);
      const double r = std::hypot(wx - f.cx, wy - f.cy);
      const double g = r / (8.5 * u) + 0.6 * m.Fbm(x / (40 * u), y / (40 * u), 2);
      const double ring = std::pow(0.5 + 0.5 * std::sin(kTau * g), 4);
      double t = 0.2 + 0.45 * ring + 0.25 * Smooth(0.05 * f.w, 0.45 * f.w, r);
      a_rgb c = ramp.At(Clamp01(t + 0.08 * m.Fbm(x / (300 * u), y / (300 * u), 3)));
      // Radial cracks and the bark round the rim.
      double rr = 0, th = 0;
      Polar(f, x, y, rr, th);
      const double crack = std::pow(std::fabs(n.At(std::cos(th) * 9, std::sin(th) * 9)), 0.3);
      c = Mix(c, ramp.At(1.0), (1 - crack) * 0.25 * Smooth(0.1 * f.w, 0.3 * f.w, rr));
      const double bark = Smooth(0.485 * f.w, 0.5 * f.w, r);
      c = Mix(c, Mix(Hex("#3b2414"), Hex("#5a3a22"), 0.5 + 0.5 * n.At(x / (4 * u), y / (4 * u))), bark);
      return c;
    });
    s.Grain(1.2 / 255, d.seed);
    return;
  }
  const double ph = 92 * u;
  const int32_t nplanks = int32_t(std::ceil(f.h / ph)) + 1;
  const size_t np = size_t(nplanks);
  std::vector<double> shift(np), tint(np), seam(np);
  for (int32_t j = 0; j < nplanks; ++j) {
    shift[size_t(j)] = rng.Range(0, 400);
    tint[size_t(j)] = rng.Range(-0.1, 0.1);
    seam[size_t(j)] = rng.Range(0.15, 0.85) * f.w;
  }
  s.Shade([&](double x, double y) {
    const int32_t j = std::clamp(int32_t(y / ph), 0, nplanks - 1);
    const double ly = y - j * ph;
    const bool right = x > seam[size_t(j)];
    const double off = shift[size_t(j)] + (right ? 211.0 : 0.0);
    const double g = (ly + off) / (7.5 * u) + 5 * n.Fbm(x / (420 * u) + off, ly / (70 * u) + j * 3.7, 4) +
                     0.7 * m.Fbm(x / (70 * u), ly / (14 * u) + off, 2);
    const double ring = std::pow(0.5 + 0.5 * std::sin(kTau * g), 3);
    a_rgb c = ramp.At(Clamp01(0.25 + 0.45 * ring + tint[size_t(j)] + (right ? 0.04 : 0)));
    const double pv = pore.At(x / (26 * u), y / (0.9 * u));
    if (pv > 0.35) c = Scale(c, 0.93);
    // Seams between planks and at their ends.
    const double sy = std::min(ly, ph - ly), sx = std::fabs(x - seam[size_t(j)]);
    const double dark = std::max(1 - Smooth(0.4 * u, 1.8 * u, sy), 1 - Smooth(0.3 * u, 1.4 * u, sx));
    c = Mix(c, Hex("#3a2212"), dark * 0.8);
    // A soft sheen of varnish.
    c = Mix(c, Hex("#fff3dd"), 0.06 * (0.5 + 0.5 * std::sin(kTau * (x / f.w * 0.7 - y / f.h * 0.4))));
    return c;
  });
  s.Grain(1.2 / 255, d.seed);
}

// 8 bits: veined marble, a ramp from the stone's ground to its darkest vein.
void Marble(const a_canvas_frame& f, const a_canvas_design& d, a_art_image8& img, std::array<a_rgb, 256>& pal) {
  a_ramp ramp = d.colours;
  if (ramp.stops.empty()) {
    for (const auto& [at, c] : std::initializer_list<std::pair<double, const char*>>{
             {0, "#fbfaf6"}, {0.3, "#f1eee8"}, {0.55, "#dcd7cd"}, {0.78, "#aaa193"}, {0.92, "#736959"}, {1, "#4b4236"}})
      ramp.stops.emplace_back(at, Hex(c));
  }
  for (int i = 0; i < 256; ++i) pal[size_t(i)] = ramp.At(i / 255.0);
  img.width = f.w;
  img.height = f.h;
  img.index.resize(size_t(f.w) * size_t(f.h));
  const a_noise n(d.seed), m(d.seed + 1), c2(d.seed + 2);
  const double u = f.u;
  for (int32_t y = 0; y < f.h; ++y) {
    for (int32_t x = 0; x < f.w; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const double t = n.Turb(px / (340 * u), py / (340 * u), 6);
      const double v1 = std::sin((0.8 * px + 0.5 * py) / (150 * u) + 5.0 * t);
      const double t2 = m.Turb(px / (130 * u), py / (130 * u), 5);
      const double v2 = std::sin((-0.4 * px + 0.9 * py) / (70 * u) + 6 * t2);
      const double main = std::pow(1 - std::fabs(v1), 5) * (0.45 + 0.9 * t);
      const double fine = std::pow(1 - std::fabs(v2), 24) * 0.5;
      const double cloud = 0.32 * (0.5 + 0.5 * c2.Fbm(px / (300 * u), py / (300 * u), 5));
      const double v = Clamp01(cloud + std::max(main, fine));
      img.index[size_t(y) * size_t(f.w) + size_t(x)] = uint8_t(std::lround(v * 255));
    }
  }
}

void Linen(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp ramp = Colours_Or(d, {"#a8956f", "#d8c8a6", "#efe4cc"});
  const a_noise n(d.seed), m(d.seed + 1), low(d.seed + 2);
  const double u = f.u, p = 5.5 * u;
  const a_noise fibre(d.seed + 3);
  s.Shade([&](double x, double y) {
    const double tx = x / p + 0.12 * fibre.At(x / (90 * u), y / (90 * u)), ty = y / p + 0.12 * fibre.At(x / (90 * u) + 7, y / (90 * u));
    const double ix = std::floor(tx), iy = std::floor(ty);
    const double fx = tx - ix, fy = ty - iy;
    const bool weft_on_top = (int64_t(ix) + int64_t(iy)) % 2 == 0;
    const double slub_w = 0.5 + 0.5 * n.At(x / (38 * u), iy * 0.73);
    const double slub_h = 0.5 + 0.5 * m.At(ix * 0.73, y / (38 * u));
    const double weft = std::sin(M_PI * fy) * (0.8 + 0.2 * slub_w);
    const double warp = std::sin(M_PI * fx) * (0.8 + 0.2 * slub_h);
    const double v = weft_on_top ? std::max(weft, 0.55 * warp) : std::max(warp, 0.55 * weft);
    const a_rgb c = ramp.At(Clamp01(0.1 + 0.85 * v * (0.9 + 0.1 * fibre.At(x / (2 * u), y / (2 * u)))));
    return Scale(c, 1 + 0.07 * low.Fbm(x / (220 * u), y / (220 * u), 3));
  });
  s.Grain(1.0 / 255, d.seed);
}

void Brushed(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp ramp = Colours_Or(d, {"#6f777f", "#a9b0b8", "#dde1e5", "#f7f8f9"});
  const a_noise n(d.seed), m(d.seed + 1);
  const double u = f.u;
  s.Shade([&](double x, double y) {
    double streak = 0, sheen = 0;
    if (f.Disc()) {
      double r = 0, th = 0;
      Polar(f, x, y, r, th);
      streak = n.Fbm(r / (0.9 * u), 0.37, 3) * 0.7 + 0.3 * m.Fbm(std::cos(th) * r / (90 * u), std::sin(th) * r / (90 * u), 2);
      sheen = std::pow(0.5 + 0.5 * std::cos(2 * (th - 0.7)), 3) * 0.8 + std::pow(0.5 + 0.5 * std::cos(2 * (th + 0.35)), 8) * 0.3;
    } else {
      streak = n.Fbm(x / (260 * u), y / (0.8 * u), 3) * 0.7 + 0.3 * m.Fbm(x / (40 * u), y / (3 * u), 2);
      sheen = std::pow(0.5 + 0.5 * std::cos(kTau * (0.85 * x / f.w + 0.35 * y / f.h) + 0.6), 2.5);
    }
    return ramp.At(Clamp01(0.22 + 0.55 * sheen + 0.14 * streak));
  });
  s.Grain(1.5 / 255, d.seed);
}

void Watercolour(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp ramp = Colours_Or(d, {"#3d8bd9", "#f2668b", "#f7c548", "#49b675", "#9b6dd6"});
  const a_noise n(d.seed), warp(d.seed + 1), gran(d.seed + 2), paper(d.seed + 3);
  a_rng rng(d.seed);
  const double u = f.u;
  struct Blob {
    double x, y, r, a;
    a_rgb c;
    double k;
  };
  std::vector<Blob> bs;
  const int32_t nb = Count_For(f, 11 * d.amount);
  for (int32_t i = 0; i < nb; ++i) {
    Blob b{rng.Range(0, f.w), rng.Range(0, f.h), rng.Range(80, 180) * u, rng.Range(0.5, 0.75),
           ramp.At(rng.Unit()), rng.Range(0, 50)};
    if (f.Disc()) {
      const double th = kTau * i / nb + rng.Range(-0.2, 0.2), rr = f.w * rng.Range(0.22, 0.4);
      b.x = f.cx + rr * std::cos(th);
      b.y = f.cy + rr * std::sin(th);
      b.r = rng.Range(80, 150) * u;
    }
    bs.push_back(b);
  }
  s.Shade([&](double x, double y) {
    a_rgb c = Scale(Hex("#fcf9f2"), 1 + 0.02 * paper.Fbm(x / (3 * u), y / (3 * u), 2));
    const double wx = x + 10 * u * warp.Fbm(x / (55 * u), y / (55 * u), 3);
    const double wy = y + 10 * u * warp.Fbm(x / (55 * u) + 9, y / (55 * u) + 3, 3);
    const double g = 0.9 + 0.15 * gran.Fbm(x / (5 * u), y / (5 * u), 2);
    for (const Blob& b : bs) {
      const double dx = wx - b.x, dy = wy - b.y;
      const double dist = std::hypot(dx, dy);
      if (dist > b.r * 1.6) continue;
      const double th = std::atan2(dy, dx);
      const double rr = b.r * (1 + 0.28 * n.Fbm(std::cos(th) * 1.4 + b.k, std::sin(th) * 1.4 + b.k, 3));
      const double gap = rr - dist;
      const double inside = Smooth(-1.5 * u, 1.5 * u, gap);
      if (inside <= 0) continue;
      const double edge = std::exp(-std::max(0.0, gap) / (7 * u));
      const double a = Clamp01(b.a * (0.55 * inside + 0.7 * edge * inside) * g);
      c = a_rgb{c.r * (1 - a * (1 - b.c.r)), c.g * (1 - a * (1 - b.c.g)), c.b * (1 - a * (1 - b.c.b))};
    }
    return c;
  });
  s.Grain(0.8 / 255, d.seed);
}

// ---------------------------------------------------------------------------
// Seasons
// ---------------------------------------------------------------------------
void Petal_Path(cairo_t* cr, double len, double width) {
  cairo_move_to(cr, 0, 0);
  cairo_curve_to(cr, -width, -len * 0.3, -width * 0.8, -len * 0.85, -width * 0.18, -len);
  cairo_line_to(cr, 0, -len * 0.9);  // the notch at the tip
  cairo_line_to(cr, width * 0.18, -len);
  cairo_curve_to(cr, width * 0.8, -len * 0.85, width, -len * 0.3, 0, 0);
  cairo_close_path(cr);
}

void Blossom(cairo_t* cr, double x, double y, double size, double rot, const a_rgb& tip, const a_rgb& base) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, rot);
  for (int k = 0; k < 5; ++k) {
    cairo_save(cr);
    cairo_rotate(cr, kTau * k / 5);
    Petal_Path(cr, size, size * 0.55);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, -size);
    Add_Stop(p, 0, base);
    Add_Stop(p, 0.55, Mix(base, tip, 0.7));
    Add_Stop(p, 1, tip);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    Set_Rgb(cr, base, 0.35);
    cairo_set_line_width(cr, size * 0.03);
    cairo_stroke(cr);
    cairo_restore(cr);
  }
  Soft_Disc(cr, 0, 0, size * 0.28, Hex("#c2185b"), 0.9, 0.4);
  for (int k = 0; k < 10; ++k) {
    const double a = kTau * k / 10;
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, std::cos(a) * size * 0.4, std::sin(a) * size * 0.4);
    Set_Rgb(cr, Hex("#e57398"), 0.8);
    cairo_set_line_width(cr, size * 0.025);
    cairo_stroke(cr);
    Soft_Disc(cr, std::cos(a) * size * 0.42, std::sin(a) * size * 0.42, size * 0.06, Hex("#ffd54f"), 1.0, 0.5);
  }
  cairo_restore(cr);
}

struct a_twig {
  double x, y;
};

void Branch(cairo_t* cr, a_rng& rng, double x, double y, double ang, double len, double width, int depth,
            std::vector<a_twig>& tips) {
  const double bend = rng.Range(-0.35, 0.35);
  const double x1 = x + std::cos(ang + bend * 0.5) * len * 0.5, y1 = y + std::sin(ang + bend * 0.5) * len * 0.5;
  const double x2 = x + std::cos(ang + bend) * len, y2 = y + std::sin(ang + bend) * len;
  cairo_move_to(cr, x, y);
  cairo_curve_to(cr, x1, y1, x1, y1, x2, y2);
  Set_Rgb(cr, Hex("#3e2723"));
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  tips.push_back({x1, y1});
  tips.push_back({x2, y2});
  if (depth == 0) return;
  const int kids = depth > 2 ? 2 : 2 + rng.Below(2);
  for (int k = 0; k < kids; ++k) {
    const double a = ang + bend + rng.Range(-0.75, 0.75);
    Branch(cr, rng, x2, y2, a, len * rng.Range(0.55, 0.78), width * 0.62, depth - 1, tips);
  }
}

void Cherry(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp sky = Colours_Or(d, {"#cbe2f6", "#e9e6f3", "#fde7ee"});
  cairo_t* cr = s.Cr();
  const double u = f.u;
  Fill_Linear(cr, 0, 0, f.w * 0.3, f.h, sky);
  a_rng rng(d.seed);
  const a_rgb tip = Hex("#fff3f7"), base = Hex("#f48fb1");
  {
    a_surface far(f.w, f.h);
    for (int32_t i = 0, n = Count_For(f, 40); i < n; ++i)
      Soft_Disc(far.Cr(), rng.Range(0, f.w), rng.Range(0, f.h), rng.Range(16, 50) * u, Hex("#f8bbd0"), 0.5, 0.6);
    far.Blur(6 * u);
    s.Paint(far, 0, 0, 0.8);
  }
  std::vector<a_twig> tips;
  struct Start {
    double x, y, a;
  };
  std::vector<Start> starts;
  if (f.Disc()) {
    starts = {{-10 * u, f.h * 0.72, -0.45}, {f.w + 10 * u, f.h * 0.3, M_PI - 0.35}};
  } else if (f.set == ART_CANVAS_SET_SPINE) {
    starts = {{-10 * u, f.h * 0.5, -0.1}, {f.w + 10 * u, f.h * 0.5, M_PI + 0.1}};
  } else {
    starts = {{-10 * u, f.h * 0.85, -0.55}, {f.w + 10 * u, f.h * 0.12, M_PI - 0.4}};
  }
  for (const Start& st : starts) Branch(cr, rng, st.x, st.y, st.a, 210 * u, 16 * u, 4, tips);
  for (const a_twig& t : tips) {
    const int n = 1 + rng.Below(3);
    for (int k = 0; k < n; ++k)
      Blossom(cr, t.x + rng.Range(-18, 18) * u, t.y + rng.Range(-18, 18) * u, rng.Range(12, 20) * u,
              rng.Range(0, kTau), tip, base);
  }
  for (int32_t i = 0, n = Count_For(f, 45); i < n; ++i) {
    cairo_save(cr);
    cairo_translate(cr, rng.Range(0, f.w), rng.Range(0, f.h));
    cairo_rotate(cr, rng.Range(0, kTau));
    const double len = rng.Range(8, 15) * u;
    Petal_Path(cr, len, len * 0.6);
    Set_Rgb(cr, Mix(base, tip, rng.Range(0.3, 0.8)), 0.85);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  s.Grain(1.0 / 255, d.seed);
}

void Beach(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp sky = Colours_Or(d, {"#2f93e0", "#7cc6f2", "#d9f1fb"});
  const a_ramp sea = Colours_Or(a_canvas_design{}, {"#0b5f99", "#1796c8", "#3cc3d3", "#8fe3df"});
  const a_ramp sand = Colours_Or(a_canvas_design{}, {"#f5dcaa", "#ecc98f", "#e2b878"});
  const a_noise n(d.seed), w(d.seed + 1), g(d.seed + 2), cl(d.seed + 3);
  const double u = f.u;
  const double yh = f.Disc() ? f.h * 0.42 : f.h * 0.42;
  const double ys = f.Disc() ? f.h * 0.64 : f.h * 0.66;
  const double sunx = f.w * 0.78, suny = f.h * 0.14;
  s.Shade([&](double x, double y) {
    const double foam_y = ys + 12 * u * std::sin(x / (95 * u)) + 10 * u * w.Fbm(x / (160 * u), 0.5, 3);
    if (y < yh) {
      a_rgb c = sky.At(Clamp01(y / yh));
      const double ds = std::hypot(x - sunx, y - suny);
      c = Screen(c, Hex("#fff8dc"), std::exp(-std::pow(ds / (170 * u), 2)) * 0.8 + Clamp01(26 * u - ds + 0.5));
      const double v = cl.Fbm(x / (260 * u), y / (60 * u), 5);
      c = Mix(c, Hex("#ffffff"), Smooth(0.15, 0.5, v) * 0.85 * Smooth(0.1 * yh, 0.6 * yh, y));
      return c;
    }
    if (y < foam_y) {
      const double t = Clamp01((y - yh) / (foam_y - yh));
      a_rgb c = sea.At(t);
      const double ripple = n.Fbm(x / (120 * u), y / ((2 + 5 * t) * u), 3);
      c = Mix(c, Hex("#ffffff"), Smooth(0.35, 0.7, ripple) * 0.35);
      const double glint = Smooth(0.45, 0.7, n.At(x / (7 * u), y / (1.5 * u))) * std::exp(-std::pow((x - sunx) / (120 * u), 2));
      c = Mix(c, Hex("#ffffff"), glint * (1 - t) * 0.9);
      const double foam = Smooth(foam_y - 9 * u, foam_y, y) * (0.6 + 0.4 * n.At(x / (6 * u), y / (3 * u)));
      return Mix(c, Hex("#fbfdfd"), Clamp01(foam));
    }
    const double t = Clamp01((y - foam_y) / std::max(1.0, f.h - foam_y));
    a_rgb c = sand.At(t);
    c = Mix(c, Hex("#c89b5e"), 0.45 * std::exp(-(y - foam_y) / (16 * u)));  // wet sand
    c = Scale(c, 1 + 0.05 * g.At(x / (1.4 * u), y / (1.4 * u)) + 0.03 * g.Fbm(x / (90 * u), y / (30 * u), 3));
    return c;
  });
  s.Grain(1.2 / 255, d.seed);
}

// A maple leaf of five pointed, toothed lobes, the stem at the bottom.
void Maple_Leaf(cairo_t* cr, double size) {
  struct Lobe {
    double a, len;  // angle from straight up, length
  };
  static constexpr Lobe kLobes[] = {{-2.0, 0.45}, {-1.05, 0.8}, {0.0, 1.0}, {1.05, 0.8}, {2.0, 0.45}};
  std::vector<std::pair<double, double>> pts;  // (angle, radius)
  pts.emplace_back(M_PI, 0.12);
  for (size_t i = 0; i < 5; ++i) {
    const Lobe& l = kLobes[i];
    const double prev = i == 0 ? -M_PI + 0.35 : (kLobes[i - 1].a + l.a) / 2;
    pts.emplace_back(prev, 0.32 * std::min(l.len, i == 0 ? l.len : kLobes[i - 1].len) + 0.1);
    // Up one side with two teeth, the tip, down the other side.
    const double w = 0.3 + 0.06 * l.len;
    pts.emplace_back(l.a - w * 1.15, 0.5 * l.len);
    pts.emplace_back(l.a - w * 1.5, 0.66 * l.len);
    pts.emplace_back(l.a - w * 0.7, 0.68 * l.len);
    pts.emplace_back(l.a - w * 0.95, 0.84 * l.len);
    pts.emplace_back(l.a - w * 0.3, 0.86 * l.len);
    pts.emplace_back(l.a, l.len);
    pts.emplace_back(l.a + w * 0.3, 0.86 * l.len);
    pts.emplace_back(l.a + w * 0.95, 0.84 * l.len);
    pts.emplace_back(l.a + w * 0.7, 0.68 * l.len);
    pts.emplace_back(l.a + w * 1.5, 0.66 * l.len);
    pts.emplace_back(l.a + w * 1.15, 0.5 * l.len);
  }
  pts.emplace_back(M_PI - 0.35, 0.38);
  for (size_t i = 0; i < pts.size(); ++i) {
    const double x = pts[i].second * size * std::sin(pts[i].first), y = -pts[i].second * size * std::cos(pts[i].first);
    if (i == 0) cairo_move_to(cr, x, y);
    else cairo_line_to(cr, x, y);
  }
  cairo_close_path(cr);
}

void Draw_Leaf(cairo_t* cr, double x, double y, double size, double rot, const a_rgb& col) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, rot);
  Maple_Leaf(cr, size);
  cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, size);
  Add_Stop(p, 0, Mix(col, Hex("#ffe08a"), 0.35));
  Add_Stop(p, 1, Mix(col, Hex("#5a1a08"), 0.25));
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  Set_Rgb(cr, Mix(col, Hex("#3a1004"), 0.45), 0.55);
  cairo_set_line_width(cr, size * 0.025);
  for (const double a : {-2.0, -1.05, 0.0, 1.05, 2.0}) {
    const double len = std::fabs(a) > 1.5 ? 0.4 : std::fabs(a) > 0.5 ? 0.72 : 0.92;
    cairo_move_to(cr, 0, size * 0.05);
    cairo_line_to(cr, std::sin(a) * size * len, -std::cos(a) * size * len);
  }
  cairo_move_to(cr, 0, size * 0.05);
  cairo_line_to(cr, size * 0.04, size * 0.5);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Autumn(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp leaves = Colours_Or(d, {"#b3261e", "#e0522b", "#f08c21", "#f5c243", "#8c3b1a"});
  cairo_t* cr = s.Cr();
  const double u = f.u;
  Fill_Radial(cr, f.cx, f.cy, std::hypot(f.w, f.h) * 0.6, Colours_Or(a_canvas_design{}, {"#7a3b14", "#4a200c", "#2a1008"}));
  a_rng rng(d.seed);
  {
    a_surface far(f.w, f.h);
    for (int32_t i = 0, n = Count_For(f, 30); i < n; ++i)
      Soft_Disc(far.Cr(), rng.Range(0, f.w), rng.Range(0, f.h), rng.Range(14, 42) * u, Hex("#ffc766"), 0.35, 0.7);
    far.Blur(4 * u);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SCREEN);
    cairo_set_source_surface(cr, far.Surface(), 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  auto place = [&](double& x, double& y, double& rot) {
    if (f.Disc()) {
      const double th = rng.Range(0, kTau), rr = f.w * rng.Range(0.26, 0.47);
      x = f.cx + rr * std::cos(th);
      y = f.cy + rr * std::sin(th);
      rot = th + M_PI / 2 + rng.Range(-0.6, 0.6);
    } else {
      x = rng.Range(-20, f.w + 20);
      y = rng.Range(-20, f.h + 20);
      rot = rng.Range(0, kTau);
    }
  };
  // Far leaves, blurred and darker.
  {
    a_surface far(f.w, f.h);
    for (int32_t i = 0, n = Count_For(f, 14 * d.amount); i < n; ++i) {
      double x = 0, y = 0, rot = 0;
      place(x, y, rot);
      Draw_Leaf(far.Cr(), x, y, rng.Range(34, 58) * u, rot, Mix(leaves.At(rng.Unit()), Hex("#2a1008"), 0.35));
    }
    far.Blur(3 * u);
    s.Paint(far, 0, 0, 0.9);
  }
  for (int32_t i = 0, n = Count_For(f, 22 * d.amount); i < n; ++i) {
    double x = 0, y = 0, rot = 0;
    place(x, y, rot);
    const double size = rng.Range(48, 92) * u;
    const a_rgb col = leaves.At(rng.Unit());
    a_surface shadow(f.w, f.h);
    Draw_Leaf(shadow.Cr(), x + 5 * u, y + 7 * u, size, rot, Hex("#000000"));
    shadow.Blur(5 * u);
    s.Paint(shadow, 0, 0, 0.35);
    Draw_Leaf(cr, x, y, size, rot, col);
  }
  s.Grain(1.2 / 255, d.seed);
}

void Snowflake(cairo_t* cr, double x, double y, double len, double rot, double alpha) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, rot);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, std::max(0.6, len / 14));
  Set_Rgb(cr, Hex("#ffffff"), alpha);
  for (int k = 0; k < 6; ++k) {
    cairo_save(cr);
    cairo_rotate(cr, kTau * k / 6);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 0, -len);
    const double at[3] = {0.35, 0.6, 0.82}, bl[3] = {0.32, 0.24, 0.13};
    for (int b = 0; b < 3; ++b) {
      for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, 0, -len * at[b]);
        cairo_line_to(cr, side * len * bl[b] * 0.87, -len * (at[b] + bl[b] * 0.5));
      }
    }
    cairo_stroke(cr);
    cairo_restore(cr);
  }
  cairo_restore(cr);
}

void Winter(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp sky = Colours_Or(d, {"#0b1f3f", "#1e4a7c", "#5f93c4", "#cfe2f3"});
  cairo_t* cr = s.Cr();
  const double u = f.u;
  if (f.Disc()) {
    Fill_Radial(cr, f.cx, f.cy, f.w * 0.72, a_ramp{{{0, sky.At(0.85)}, {0.45, sky.At(0.5)}, {1, sky.At(0.05)}}});
  } else {
    Fill_Linear(cr, 0, 0, 0, f.h, sky);
  }
  a_rng rng(d.seed);
  {
    a_surface far(f.w, f.h);
    for (int32_t i = 0, n = Count_For(f, 420); i < n; ++i)
      Soft_Disc(far.Cr(), rng.Range(0, f.w), rng.Range(0, f.h), rng.Range(1.2, 3.2) * u, Hex("#ffffff"),
                rng.Range(0.4, 0.9), 0.5);
    far.Blur(1.2 * u);
    s.Paint(far, 0, 0);
  }
  if (f.Disc()) Snowflake(cr, f.cx, f.cy, f.w * 0.43, 0.0, 0.22);
  {
    a_surface far(f.w, f.h);
    for (int32_t i = 0, n = Count_For(f, 16); i < n; ++i)
      Snowflake(far.Cr(), rng.Range(0, f.w), rng.Range(0, f.h), rng.Range(14, 30) * u, rng.Range(0, 1), 0.7);
    far.Blur(2.0 * u);
    s.Paint(far, 0, 0);
  }
  for (int32_t i = 0, n = Count_For(f, 14); i < n; ++i) {
    double x = rng.Range(0, f.w), y = rng.Range(0, f.h);
    if (f.Disc()) {
      const double th = rng.Range(0, kTau), rr = f.w * rng.Range(0.22, 0.46);
      x = f.cx + rr * std::cos(th);
      y = f.cy + rr * std::sin(th);
    }
    Snowflake(cr, x, y, rng.Range(16, 40) * u, rng.Range(0, 1), 0.92);
  }
  if (!f.Disc() && f.set != ART_CANVAS_SET_SPINE) {
    const a_noise hill(d.seed);
    for (int layer = 0; layer < 2; ++layer) {
      cairo_move_to(cr, 0, f.h);
      for (int32_t x = 0; x <= f.w; x += 4) {
        const double y = f.h * (0.84 + 0.06 * layer) - 28 * u * (0.6 + hill.Fbm(x / (300 * u), layer * 3.1, 3));
        cairo_line_to(cr, x, y);
      }
      cairo_line_to(cr, f.w, f.h);
      cairo_close_path(cr);
      cairo_pattern_t* p = cairo_pattern_create_linear(0, f.h * 0.78, 0, f.h);
      Add_Stop(p, 0, layer == 0 ? Hex("#dbe9f6") : Hex("#ffffff"));
      Add_Stop(p, 1, layer == 0 ? Hex("#a9c6e2") : Hex("#d6e6f5"));
      cairo_set_source(cr, p);
      cairo_fill(cr);
      cairo_pattern_destroy(p);
    }
  }
  s.Grain(1.0 / 255, d.seed);
}

void Hearts(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp hearts = Colours_Or(d, {"#ff4d6d", "#ff758f", "#c9184a", "#ffb3c1"});
  cairo_t* cr = s.Cr();
  const double u = f.u;
  Fill_Linear(cr, 0, 0, f.w, f.h, Colours_Or(a_canvas_design{}, {"#ffe5ec", "#ffc2d1", "#ff8fab"}));
  a_rng rng(d.seed);
  auto place = [&](double& x, double& y) {
    if (f.Disc()) {
      const double th = rng.Range(0, kTau), rr = f.w * rng.Range(0.24, 0.48);
      x = f.cx + rr * std::cos(th);
      y = f.cy + rr * std::sin(th);
    } else {
      x = rng.Range(0, f.w);
      y = rng.Range(0, f.h);
    }
  };
  {
    a_surface far(f.w, f.h);
    for (int32_t i = 0, n = Count_For(f, 18); i < n; ++i) {
      double x = 0, y = 0;
      place(x, y);
      Heart_Path(far.Cr(), x, y, rng.Range(40, 110) * u, rng.Range(-0.4, 0.4));
      Set_Rgb(far.Cr(), Hex("#ffffff"), rng.Range(0.25, 0.5));
      cairo_fill(far.Cr());
    }
    far.Blur(7 * u);
    s.Paint(far, 0, 0);
  }
  for (int32_t i = 0, n = Count_For(f, 26 * d.amount); i < n; ++i) {
    double x = 0, y = 0;
    place(x, y);
    const double size = rng.Range(18, 62) * u, rot = rng.Range(-0.45, 0.45);
    const a_rgb col = hearts.At(rng.Unit());
    if (rng.Chance(0.2)) {
      Heart_Path(cr, x, y, size, rot);
      Set_Rgb(cr, col, 0.9);
      cairo_set_line_width(cr, 2.2 * u);
      cairo_stroke(cr);
      continue;
    }
    Heart_Path(cr, x, y, size, rot);
    cairo_pattern_t* p = cairo_pattern_create_radial(x - size * 0.2, y - size * 0.25, 0, x, y, size * 0.75);
    Add_Stop(p, 0, Mix(col, Hex("#ffffff"), 0.45));
    Add_Stop(p, 0.5, col);
    Add_Stop(p, 1, Mix(col, Hex("#590d22"), 0.3));
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  s.Grain(1.0 / 255, d.seed);
}

void Confetti(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp bright = Colours_Or(d, {"#ff4d6d", "#ffd23f", "#3bceac", "#4cc9f0", "#f72585", "#ffffff", "#9b5de5"});
  cairo_t* cr = s.Cr();
  const double u = f.u;
  Fill_Radial(cr, f.cx, f.cy, std::hypot(f.w, f.h) * 0.6, Colours_Or(a_canvas_design{}, {"#3b1f7a", "#24124f", "#12092c"}));
  a_rng rng(d.seed);
  {
    a_surface far(f.w, f.h);
    for (int32_t i = 0, n = Count_For(f, 40); i < n; ++i)
      Soft_Disc(far.Cr(), rng.Range(0, f.w), rng.Range(0, f.h), rng.Range(10, 34) * u, bright.At(rng.Unit()), 0.35, 0.7);
    far.Blur(5 * u);
    s.Paint(far, 0, 0);
  }
  auto place = [&](double& x, double& y) {
    if (f.Disc()) {
      const double th = rng.Range(0, kTau), rr = f.w * (0.17 + 0.33 * std::sqrt(rng.Unit()));
      x = f.cx + rr * std::cos(th);
      y = f.cy + rr * std::sin(th);
    } else {
      x = rng.Range(0, f.w);
      y = rng.Range(0, f.h);
    }
  };
  // Streamers.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int32_t i = 0, n = Count_For(f, 9); i < n; ++i) {
    double x = 0, y = 0;
    place(x, y);
    const double a = rng.Range(0, kTau), len = rng.Range(90, 180) * u, amp = rng.Range(8, 16) * u;
    const a_rgb col = bright.At(rng.Unit());
    for (int k = 0; k <= 60; ++k) {
      const double t = k / 60.0;
      const double along = t * len, side = amp * std::sin(t * kTau * 2.2);
      const double px = x + std::cos(a) * along - std::sin(a) * side, py = y + std::sin(a) * along + std::cos(a) * side;
      if (k == 0) cairo_move_to(cr, px, py);
      else cairo_line_to(cr, px, py);
    }
    Set_Rgb(cr, col, 0.95);
    cairo_set_line_width(cr, 3.2 * u);
    cairo_stroke(cr);
  }
  for (int32_t i = 0, n = Count_For(f, 170 * d.amount); i < n; ++i) {
    double x = 0, y = 0;
    place(x, y);
    const a_rgb col = bright.At(rng.Unit());
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, rng.Range(0, kTau));
    const int kind = rng.Below(3);
    const double k = rng.Range(0.7, 1.3) * u;
    if (kind == 0) {
      const double flip = rng.Range(0.3, 1.0);  // turning in the air
      cairo_rectangle(cr, -6 * k, -3 * k * flip, 12 * k, 6 * k * flip);
    } else if (kind == 1) {
      cairo_arc(cr, 0, 0, 3.5 * k, 0, kTau);
    } else {
      cairo_move_to(cr, 0, -5 * k);
      cairo_line_to(cr, 4.5 * k, 3.5 * k);
      cairo_line_to(cr, -4.5 * k, 3.5 * k);
      cairo_close_path(cr);
    }
    Set_Rgb(cr, Mix(col, Hex("#000000"), rng.Range(0, 0.2)));
    cairo_fill(cr);
    cairo_restore(cr);
  }
  for (int32_t i = 0, n = Count_For(f, 30); i < n; ++i) {
    double x = 0, y = 0;
    place(x, y);
    const double r = rng.Range(3, 7) * u;
    Soft_Disc(cr, x, y, r * 3, Hex("#ffe9a8"), 0.35);
    cairo_move_to(cr, x, y - r * 2);
    cairo_curve_to(cr, x, y, x, y, x + r * 2, y);
    cairo_curve_to(cr, x, y, x, y, x, y + r * 2);
    cairo_curve_to(cr, x, y, x, y, x - r * 2, y);
    cairo_curve_to(cr, x, y, x, y, x, y - r * 2);
    Set_Rgb(cr, Hex("#fff4cc"));
    cairo_fill(cr);
  }
  s.Grain(1.0 / 255, d.seed);
}

// ---------------------------------------------------------------------------
// Music and media
// ---------------------------------------------------------------------------
// A note in staff space: the bottom line at y = 0, "up" towards -y, lines sp
// apart; step counts half spaces above the bottom line.
void Note(cairo_t* cr, double x, int step, double sp, int kind, const a_rgb& ink, double alpha) {
  const double y = -step * sp / 2;
  cairo_new_path(cr);  // text drawn before leaves a current point
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_save(cr);
  cairo_rotate(cr, -0.35);
  cairo_scale(cr, sp * 0.66, sp * 0.46);
  cairo_arc(cr, 0, 0, 1, 0, kTau);
  cairo_restore(cr);
  Set_Rgb(cr, ink, alpha);
  if (kind == 1) {  // a half note: hollow
    cairo_set_line_width(cr, sp * 0.16);
    cairo_stroke(cr);
  } else {
    cairo_fill(cr);
  }
  const bool up = step < 4;
  const double sx = up ? sp * 0.6 : -sp * 0.6, len = sp * 3.4;
  cairo_move_to(cr, sx, 0);
  cairo_line_to(cr, sx, up ? -len : len);
  cairo_set_line_width(cr, sp * 0.12);
  cairo_stroke(cr);
  if (kind == 2) {  // an eighth: a flag
    const double ty = up ? -len : len, dir = up ? 1 : -1;
    cairo_move_to(cr, sx, ty);
    cairo_curve_to(cr, sx + sp * 0.2, ty + dir * sp * 1.0, sx + sp * 1.3, ty + dir * sp * 1.4, sx + sp * 0.9, ty + dir * sp * 2.6);
    cairo_curve_to(cr, sx + sp * 1.0, ty + dir * sp * 1.7, sx + sp * 0.4, ty + dir * sp * 1.3, sx, ty + dir * sp * 1.1);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void Staff(cairo_t* cr, a_rng& rng, double length, double sp, const a_rgb& ink, bool clef) {
  cairo_set_line_width(cr, sp * 0.1);
  Set_Rgb(cr, ink, 0.55);
  for (int k = 0; k < 5; ++k) {
    cairo_move_to(cr, 0, -k * sp);
    cairo_line_to(cr, length, -k * sp);
  }
  cairo_stroke(cr);
  double x = sp * 2;
  if (clef) {
    Use_Font(cr, "music", sp * 4.2);
    Set_Rgb(cr, ink, 0.8);
    cairo_move_to(cr, sp * 0.4, -sp * 1.0);
    cairo_show_text(cr, "\xF0\x9D\x84\x9E");  // the treble clef
    x = sp * 5.5;
  }
  int in_bar = 0;
  while (x < length - sp * 2) {
    const int kind = rng.Below(10) < 5 ? 0 : rng.Below(2) + 1;
    Note(cr, x, rng.Below(9), sp, kind, ink, 0.85);
    x += sp * rng.Range(2.8, 4.2);
    if (++in_bar == 4 && x < length - sp * 3) {
      cairo_move_to(cr, x, 0);
      cairo_line_to(cr, x, -4 * sp);
      Set_Rgb(cr, ink, 0.6);
      cairo_set_line_width(cr, sp * 0.12);
      cairo_stroke(cr);
      x += sp * 1.8;
      in_bar = 0;
    }
  }
}

void Sheet_Music(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  Paper_Base(s, f, Colours_Or(d, {"#e9dcbd", "#f3e9d2", "#faf4e6"}), d.seed);
  cairo_t* cr = s.Cr();
  const double u = f.u, sp = 8 * u;
  const a_rgb ink = Hex("#2c221c");
  a_rng rng(d.seed);
  if (f.Disc()) {
    // Staves round the hole, one a ring; the notes stand outwards.
    for (double r = f.w * 0.2; r < f.w * 0.49; r += 7.6 * sp) {
      const double circ = kTau * r;
      const double start = rng.Range(0, kTau);
      cairo_set_line_width(cr, sp * 0.1);
      Set_Rgb(cr, ink, 0.55);
      for (int k = 0; k < 5; ++k) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, f.cx, f.cy, r + k * sp, 0, kTau);
      }
      cairo_stroke(cr);
      int in_bar = 0;
      for (double a = sp * 3; a < circ - sp * 3; a += sp * rng.Range(2.8, 4.2)) {
        const double th = start + a / r;
        cairo_save(cr);
        cairo_translate(cr, f.cx + r * std::cos(th), f.cy + r * std::sin(th));
        cairo_rotate(cr, th + M_PI / 2);
        const int kind = rng.Below(10) < 5 ? 0 : rng.Below(2) + 1;
        Note(cr, 0, rng.Below(9), sp, kind, ink, 0.85);
        if (++in_bar == 4) {
          cairo_move_to(cr, sp * 1.6, 0);
          cairo_line_to(cr, sp * 1.6, -4 * sp);
          Set_Rgb(cr, ink, 0.6);
          cairo_set_line_width(cr, sp * 0.12);
          cairo_stroke(cr);
          in_bar = 0;
        }
        cairo_restore(cr);
      }
    }
  } else {
    const double gap = 12.5 * sp;
    const double top = std::fmod(f.h - 4 * sp, gap) / 2 + 5 * sp;
    for (double y = top; y < f.h - sp; y += gap) {
      cairo_save(cr);
      cairo_translate(cr, 24 * u, y);
      Staff(cr, rng, f.w - 48 * u, sp, ink, true);
      cairo_restore(cr);
    }
  }
  Vignette(s, f, Hex("#8a6d3b"), 0.25);
  s.Grain(1.0 / 255, d.seed);
}

void Equaliser(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp leds = Colours_Or(d, {"#27f0a8", "#b6f36a", "#f7e05e", "#ff9f43", "#ff4d5e"});
  cairo_t* cr = s.Cr();
  const double u = f.u;
  Fill_Linear(cr, 0, 0, 0, f.h, Colours_Or(a_canvas_design{}, {"#060914", "#0c1430", "#111a3c"}));
  const a_noise n(d.seed);
  a_surface bars(f.w, f.h);
  cairo_t* bc = bars.Cr();
  const double seg = 9 * u, gap = 3.5 * u;
  if (f.Disc()) {
    const int count = 72;
    const double r0 = f.w * 0.19, len = f.w * 0.29;
    for (int i = 0; i < count; ++i) {
      const double th = kTau * i / count;
      const double level = Clamp01(0.3 + 0.65 * (0.5 + 0.5 * n.Fbm(std::cos(th) * 1.6, std::sin(th) * 1.6, 4)));
      const int segs = int(level * len / (seg + gap));
      for (int k = 0; k < segs; ++k) {
        const double ra = r0 + k * (seg + gap), rb = ra + seg;
        const double half = kTau / count * 0.36;
        cairo_new_path(bc);
        cairo_arc(bc, f.cx, f.cy, rb, th - half, th + half);
        cairo_arc_negative(bc, f.cx, f.cy, ra, th + half, th - half);
        cairo_close_path(bc);
        Set_Rgb(bc, leds.At(double(k) * (seg + gap) / len));
        cairo_fill(bc);
      }
    }
  } else {
    const double bw = 20 * u, step = 27 * u, base = f.set == ART_CANVAS_SET_SPINE ? f.h * 0.85 : f.h * 0.72;
    const double top = base - f.h * 0.6;
    for (double x = std::fmod(f.w, step) / 2; x + bw <= f.w; x += step) {
      const double bass = std::exp(-std::pow((x / f.w - 0.2) / 0.25, 2)) * 0.25;
      const double level = Clamp01(0.18 + 0.6 * (0.5 + 0.5 * n.Fbm(x / (140 * u), 0.5, 4)) + bass);
      const int segs = int(level * (base - top) / (seg + gap));
      for (int k = 0; k < segs; ++k) {
        const double y = base - (k + 1) * (seg + gap) + gap;
        cairo_rectangle(bc, x, y, bw, seg);
        Set_Rgb(bc, leds.At(double(k) * (seg + gap) / (base - top)));
        cairo_fill(bc);
      }
    }
    // The reflection under the bars.
    if (f.set != ART_CANVAS_SET_SPINE) {
      cairo_save(cr);
      cairo_rectangle(cr, 0, base, f.w, f.h - base);
      cairo_clip(cr);
      cairo_translate(cr, 0, 2 * base);
      cairo_scale(cr, 1, -1);
      cairo_set_source_surface(cr, bars.Surface(), 0, 0);
      cairo_pattern_t* mask = cairo_pattern_create_linear(0, base, 0, base - f.h * 0.25);
      cairo_pattern_add_color_stop_rgba(mask, 0, 0, 0, 0, 0.28);
      cairo_pattern_add_color_stop_rgba(mask, 1, 0, 0, 0, 0);
      cairo_mask(cr, mask);
      cairo_pattern_destroy(mask);
      cairo_restore(cr);
    }
  }
  {
    a_surface glow(f.w, f.h);
    glow.Paint(bars, 0, 0);
    glow.Blur(9 * u);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SCREEN);
    cairo_set_source_surface(cr, glow.Surface(), 0, 0);
    cairo_paint_with_alpha(cr, 0.9);
    cairo_restore(cr);
  }
  s.Paint(bars, 0, 0);
  s.Grain(1.0 / 255, d.seed);
}

void Vinyl(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp label = Colours_Or(d, {"#d1495b", "#edae49"});
  const a_noise n(d.seed);
  const double u = f.u;
  double cx = f.cx, cy = f.cy, R = f.w * 0.5;
  if (!f.Disc()) {
    R = std::min(f.h * 0.47, f.w * 0.47);
    cx = f.w > f.h * 1.3 ? f.w * 0.6 : f.cx;
  }
  const a_ramp sleeve = Colours_Or(a_canvas_design{}, {"#2b2d42", "#3d405b", "#4a4e69"});
  s.Shade([&](double x, double y) {
    const double r = std::hypot(x - cx, y - cy);
    double th = std::atan2(y - cy, x - cx);
    if (r > R) {
      a_rgb c = sleeve.At(Clamp01(0.5 * x / f.w + 0.5 * y / f.h));
      // The record's shadow on the sleeve.
      return Mix(c, Hex("#000000"), 0.55 * std::exp(-(r - R) / (14 * u)));
    }
    const double lab = R * 0.33;
    if (r < lab) {
      a_rgb c = label.At(Clamp01(r / lab));
      if (std::fabs(r - lab * 0.8) < 1.2 * u) c = Mix(c, Hex("#fff3d6"), 0.8);
      return c;
    }
    const double g = 0.5 + 0.5 * std::sin(r / (0.9 * u) * kTau * 0.5 + 2 * n.At(r / (30 * u), 0.5));
    const double track = Smooth(0, 1.5 * u, std::fabs(std::fmod(r - lab, 52 * u) - 26 * u) - 24 * u);
    const double sheen = std::pow(std::max(0.0, std::cos(2 * (th - 0.8))), 10) * 0.55 +
                         std::pow(std::max(0.0, std::cos(2 * (th + 0.45))), 30) * 0.25;
    a_rgb c = Hex("#0c0c0f");
    c = Mix(c, Hex("#2a2c33"), 0.25 * g + 0.35 * track);
    c = Mix(c, Hex("#c9d2e3"), sheen * (0.6 + 0.4 * g));
    const double rim = Smooth(R - 3 * u, R - 0.5 * u, r);
    c = Mix(c, Hex("#3a3c44"), rim * 0.6);
    return Mix(c, Hex("#000000"), Smooth(R - 0.8 * u, R, r));
  });
  cairo_t* cr = s.Cr();
  const double lab = R * 0.33;
  Use_Font(cr, "sans-bold", lab * 0.2);
  Set_Rgb(cr, Hex("#fff3d6"));
  cairo_text_extents_t e;
  const char* title = "VELMOR";
  cairo_text_extents(cr, title, &e);
  cairo_move_to(cr, cx - e.width / 2 - e.x_bearing, cy - lab * 0.42);
  cairo_show_text(cr, title);
  Use_Font(cr, "sans", lab * 0.13);
  const char* speed = "33 1/3 RPM";
  cairo_text_extents(cr, speed, &e);
  cairo_move_to(cr, cx - e.width / 2 - e.x_bearing, cy + lab * 0.58);
  cairo_show_text(cr, speed);
  if (!f.Disc()) Soft_Disc(cr, cx, cy, 4 * u, Hex("#0a0a0a"), 1.0, 0.8);
  s.Grain(1.0 / 255, d.seed);
}

void Piano(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  cairo_t* cr = s.Cr();
  const double u = f.u;
  Fill_Linear(cr, 0, 0, f.w * 0.3, f.h, Colours_Or(d, {"#100c2e", "#2e2a62", "#22223f"}));
  a_rng rng(d.seed);
  // Notes drifting above the keys.
  for (int32_t i = 0, n = Count_For(f, 14); i < n; ++i) {
    Use_Font(cr, "sans", rng.Range(30, 70) * u);
    Set_Rgb(cr, Hex("#d9d6ff"), rng.Range(0.12, 0.3));
    cairo_move_to(cr, rng.Range(0, f.w), rng.Range(0.1, f.Disc() ? 1.0 : 0.6) * f.h);
    cairo_show_text(cr, rng.Chance(0.5) ? "\xE2\x99\xAA" : "\xE2\x99\xAB");
  }
  static constexpr bool kBlack[7] = {true, true, false, true, true, true, false};  // after C, D, (E), F, G, A, (B)
  if (f.Disc()) {
    const int whites = 42;
    const double r1 = f.w * 0.3, r2 = f.w * 0.49, rb = r1 + (r2 - r1) * 0.42;
    for (int i = 0; i < whites; ++i) {
      const double a0 = kTau * i / whites, a1 = kTau * (i + 1) / whites;
      cairo_new_path(cr);
      cairo_arc(cr, f.cx, f.cy, r2, a0, a1);
      cairo_arc_negative(cr, f.cx, f.cy, r1, a1, a0);
      cairo_close_path(cr);
      cairo_pattern_t* p = cairo_pattern_create_radial(f.cx, f.cy, r1, f.cx, f.cy, r2);
      Add_Stop(p, 0, Hex("#e4e0d4"));
      Add_Stop(p, 0.15, Hex("#fbfaf5"));
      Add_Stop(p, 1, Hex("#f2efe6"));
      cairo_set_source(cr, p);
      cairo_fill_preserve(cr);
      cairo_pattern_destroy(p);
      Set_Rgb(cr, Hex("#6b6a70"));
      cairo_set_line_width(cr, 1.0 * u);
      cairo_stroke(cr);
    }
    for (int i = 0; i < whites; ++i) {
      if (!kBlack[i % 7]) continue;
      const double mid = kTau * (i + 1) / whites, half = kTau / whites * 0.3;
      cairo_new_path(cr);
      cairo_arc(cr, f.cx, f.cy, r2, mid - half, mid + half);
      cairo_arc_negative(cr, f.cx, f.cy, rb, mid + half, mid - half);
      cairo_close_path(cr);
      cairo_pattern_t* p = cairo_pattern_create_radial(f.cx, f.cy, rb, f.cx, f.cy, r2);
      Add_Stop(p, 0, Hex("#050505"));
      Add_Stop(p, 0.2, Hex("#3a3a3e"));
      Add_Stop(p, 1, Hex("#111113"));
      cairo_set_source(cr, p);
      cairo_fill(cr);
    }
  } else {
    const double kw = 34 * u;
    const double top = f.set == ART_CANVAS_SET_SPINE ? f.h * 0.3 : f.h * 0.6, bottom = f.set == ART_CANVAS_SET_SPINE ? f.h * 0.7 : f.h * 0.97;
    const double kh = bottom - top, bw = kw * 0.58, bh = kh * 0.62;
    Soft_Disc(cr, f.w * 0.5, top, f.w * 0.5, Hex("#7f78ff"), 0.18);
    const int whites = int(std::ceil(f.w / kw)) + 1;
    for (int i = 0; i < whites; ++i) {
      const double x = i * kw - kw * 0.3;
      cairo_rectangle(cr, x + 0.5 * u, top, kw - 1.0 * u, kh);
      cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, bottom);
      Add_Stop(p, 0, Hex("#d9d5c9"));
      Add_Stop(p, 0.06, Hex("#fbfaf5"));
      Add_Stop(p, 0.92, Hex("#efebe1"));
      Add_Stop(p, 1, Hex("#c9c4b6"));
      cairo_set_source(cr, p);
      cairo_fill(cr);
      cairo_pattern_destroy(p);
    }
    for (int i = 0; i < whites; ++i) {
      if (!kBlack[i % 7]) continue;
      const double x = (i + 1) * kw - kw * 0.3 - bw / 2;
      cairo_rectangle(cr, x, top, bw, bh);
      cairo_pattern_t* p = cairo_pattern_create_linear(x, 0, x + bw, 0);
      Add_Stop(p, 0, Hex("#1b1b1e"));
      Add_Stop(p, 0.3, Hex("#404045"));
      Add_Stop(p, 1, Hex("#0b0b0c"));
      cairo_set_source(cr, p);
      cairo_fill(cr);
      cairo_pattern_destroy(p);
      cairo_rectangle(cr, x + bw * 0.15, top + bh - 6 * u, bw * 0.7, 4 * u);
      Set_Rgb(cr, Hex("#55555c"));
      cairo_fill(cr);
    }
    // The shadow of the case over the keys.
    cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, top + 16 * u);
    cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.45);
    cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0);
    cairo_rectangle(cr, 0, top, f.w, 16 * u);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  s.Grain(1.0 / 255, d.seed);
}

void Sound_Waves(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp lines = Colours_Or(d, {"#00e5ff", "#7c4dff", "#ff4081", "#ffd740"});
  cairo_t* cr = s.Cr();
  const double u = f.u;
  Fill_Radial(cr, f.cx, f.cy, std::hypot(f.w, f.h) * 0.6, Colours_Or(a_canvas_design{}, {"#141a45", "#0a0d26", "#05060f"}));
  a_rng rng(d.seed);
  a_surface layer(f.w, f.h);
  cairo_t* lc = layer.Cr();
  cairo_set_line_cap(lc, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(lc, CAIRO_LINE_JOIN_ROUND);
  const int count = 7;
  for (int k = 0; k < count; ++k) {
    const double amp = rng.Range(40, 110) * u, ph = rng.Range(0, kTau), ph2 = rng.Range(0, kTau);
    const a_rgb col = lines.At(double(k) / (count - 1));
    if (f.Disc()) {
      const double r0 = f.w * rng.Range(0.28, 0.36);
      const int m = 5 + rng.Below(6), m2 = 13 + rng.Below(8);
      for (int i = 0; i <= 720; ++i) {
        const double th = kTau * i / 720;
        const double r = r0 + amp * 0.45 * std::sin(m * th + ph) + amp * 0.15 * std::sin(m2 * th + ph2);
        const double x = f.cx + r * std::cos(th), y = f.cy + r * std::sin(th);
        if (i == 0) cairo_move_to(lc, x, y);
        else cairo_line_to(lc, x, y);
      }
      cairo_close_path(lc);
    } else {
      const double fr = rng.Range(1.0 / 110, 1.0 / 60), fr2 = fr * rng.Range(2.1, 3.3);
      for (int32_t x = 0; x <= f.w; x += 2) {
        const double env = std::pow(std::sin(M_PI * x / f.w), 1.6);
        const double y = f.cy + env * (amp * std::sin(x * fr / u + ph) + amp * 0.3 * std::sin(x * fr2 / u + ph2));
        if (x == 0) cairo_move_to(lc, x, y);
        else cairo_line_to(lc, x, y);
      }
    }
    Set_Rgb(lc, col, 0.9);
    cairo_set_line_width(lc, 2.6 * u);
    cairo_stroke(lc);
  }
  a_surface glow(f.w, f.h);
  glow.Paint(layer, 0, 0);
  glow.Blur(8 * u);
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SCREEN);
  cairo_set_source_surface(cr, glow.Surface(), 0, 0);
  cairo_paint(cr);
  cairo_paint(cr);
  cairo_set_source_surface(cr, layer.Surface(), 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);
  s.Grain(1.0 / 255, d.seed);
}

// ---------------------------------------------------------------------------
// Spines and other plain grounds
// ---------------------------------------------------------------------------
void Carbon(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp ramp = Colours_Or(d, {"#0d0e10", "#2a2d33", "#4a4f58"});
  const double u = f.u, p = 7 * u;
  s.Shade([&](double x, double y) {
    const double ix = std::floor(x / p), iy = std::floor(y / p);
    const double fx = x / p - ix, fy = y / p - iy;
    const bool along = (int64_t(ix) + int64_t(std::floor(iy / 2))) % 2 == 0;
    const double v = along ? std::sin(M_PI * fy) * (0.6 + 0.4 * fx) : std::sin(M_PI * fx) * (0.6 + 0.4 * fy);
    const double sheen = 0.5 + 0.5 * std::cos(kTau * (x / f.w * 0.6 + y / f.h * 0.4));
    return ramp.At(Clamp01(0.1 + 0.55 * v * (0.6 + 0.4 * sheen)));
  });
  s.Grain(1.0 / 255, d.seed);
}

void Stripes(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d) {
  const a_ramp ramp = Colours_Or(d, {"#264653", "#2a9d8f", "#e9c46a", "#f4a261", "#e76f51"});
  const double u = f.u;
  s.Shade([&](double x, double y) {
    // Diagonal bands through the centre, so a strip cut either way shows them.
    const double t = ((x - f.cx) + (y - f.cy)) / (46 * u);
    const double k = std::floor(t);
    const double fr = t - k;
    const int n = int(ramp.stops.size());
    const int idx = int(((int64_t(k) % n) + n) % n);
    a_rgb c = ramp.stops[size_t(idx)].second;
    c = Mix(c, Hex("#ffffff"), Smooth(0.0, 0.06, fr) * (1 - Smooth(0.06, 0.12, fr)) * 0.35);
    return c;
  });
  s.Grain(1.0 / 255, d.seed);
}

const a_canvas_style kStyles[] = {
    {"sky", Sky, nullptr, "the sky from the top to the horizon"},
    {"night", Night, nullptr, "the night sky from the top to the horizon"},
    {"sunset", Sunset, nullptr, "the sky from the top to the horizon"},
    {"aurora", nullptr, Aurora, "the palette, night to the brightest light"},
    {"waves", Waves, nullptr, "the ribbons' colours"},
    {"bokeh", Bokeh, nullptr, "the lights' colours"},
    {"lowpoly", Low_Poly, nullptr, "the facets, corner to corner"},
    {"sunburst", Sunburst, nullptr, "the rays, outside in"},
    {"halftone", Halftone, nullptr, "ground, ground, first dots, second dots"},
    {"nebula", Nebula, nullptr, "dark to bright"},
    {"mesh", Mesh, nullptr, "one colour a blob"},
    {"paper", Paper, nullptr, "the paper's tones"},
    {"wood", Wood, nullptr, "light wood to dark grain"},
    {"marble", nullptr, Marble, "the palette, ground to darkest vein"},
    {"linen", Linen, nullptr, "dark to light thread"},
    {"brushed", Brushed, nullptr, "dark to light metal"},
    {"watercolour", Watercolour, nullptr, "the washes' colours"},
    {"cherry", Cherry, nullptr, "the sky"},
    {"beach", Beach, nullptr, "the sky"},
    {"autumn", Autumn, nullptr, "the leaves' colours"},
    {"winter", Winter, nullptr, "the sky from the top down"},
    {"hearts", Hearts, nullptr, "the hearts' colours"},
    {"confetti", Confetti, nullptr, "the confetti's colours"},
    {"sheetmusic", Sheet_Music, nullptr, "the paper's tones"},
    {"equaliser", Equaliser, nullptr, "the lights from the bottom up"},
    {"vinyl", Vinyl, nullptr, "the label, inside out"},
    {"piano", Piano, nullptr, "the background"},
    {"soundwaves", Sound_Waves, nullptr, "the lines' colours"},
    {"carbon", Carbon, nullptr, "dark to light"},
    {"stripes", Stripes, nullptr, "one colour a band"},
};

}  // namespace

const a_canvas_style* Find_Canvas_Style(const std::string& name) {
  for (const a_canvas_style& s : kStyles)
    if (name == s.name) return &s;
  return nullptr;
}
