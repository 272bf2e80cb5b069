#include "ArtGen.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

// ---------------------------------------------------------------------------
// Data tables
// ---------------------------------------------------------------------------
namespace {

bool Tokenise(const std::string& line, std::vector<std::string>& toks, std::string& err) {
  toks.clear();
  size_t i = 0;
  while (i < line.size()) {
    if (std::isspace(uint8_t(line[i]))) {
      ++i;
      continue;
    }
    std::string tok;
    // A token may hold quoted parts: name="two words" or "two words".
    while (i < line.size() && !std::isspace(uint8_t(line[i]))) {
      if (line[i] == '"') {
        const size_t end = line.find('"', i + 1);
        if (end == std::string::npos) {
          err = "unterminated quotes";
          return false;
        }
        tok += line.substr(i + 1, end - i - 1);
        i = end + 1;
      } else {
        tok += line[i++];
      }
    }
    toks.push_back(tok);
  }
  return true;
}

}  // namespace

std::string a_table_row::Where() const { return "art/" + file + ":" + std::to_string(line); }

bool Parse_Int_Word(const std::string& s, int64_t lo, int64_t hi, int64_t& val) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(s.c_str(), &end, 10);
  if (errno != 0 || end == nullptr || *end != 0 || v < lo || v > hi) return false;
  val = v;
  return true;
}

bool a_table_row::Int(const std::string& name, int64_t lo, int64_t hi, int64_t def, int64_t& val,
                      std::string& err) const {
  const auto it = options.find(name);
  if (it == options.end()) {
    val = def;
    return true;
  }
  if (!Parse_Int_Word(it->second, lo, hi, val)) {
    err = Where() + ": " + name + " must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
    return false;
  }
  return true;
}

bool a_table_row::Real(const std::string& name, double lo, double hi, double def, double& val,
                       std::string& err) const {
  const auto it = options.find(name);
  if (it == options.end()) {
    val = def;
    return true;
  }
  char* end = nullptr;
  const double v = std::strtod(it->second.c_str(), &end);
  if (it->second.empty() || end == nullptr || *end != 0 || !(v >= lo && v <= hi)) {
    err = Where() + ": " + name + " must be a number from " + std::to_string(lo) + " to " + std::to_string(hi);
    return false;
  }
  val = v;
  return true;
}

std::string a_table_row::Text(const std::string& name, const std::string& def) const {
  const auto it = options.find(name);
  return it == options.end() ? def : it->second;
}

bool Read_Table(const a_art_context& ctx, const std::string& name, std::vector<a_table_row>& rows, std::string& err) {
  rows.clear();
  std::vector<uint8> bytes;
  if (!Art_Read_File(ctx.art_dir + "/" + name, bytes, err)) return false;
  const std::string text(bytes.begin(), bytes.end());
  size_t start = 0;
  int32_t lineno = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    ++lineno;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> toks;
    std::string why;
    if (!Tokenise(line, toks, why)) {
      err = "art/" + name + ":" + std::to_string(lineno) + ": " + why;
      return false;
    }
    if (toks.empty() || toks[0][0] == '#') continue;
    a_table_row row;
    row.file = name;
    row.line = lineno;
    for (const std::string& t : toks) {
      const size_t eq = t.find('=');
      if (eq != std::string::npos && eq > 0 && std::isalpha(uint8_t(t[0]))) {
        if (!row.options.emplace(t.substr(0, eq), t.substr(eq + 1)).second) {
          err = row.Where() + ": option " + t.substr(0, eq) + " given twice";
          return false;
        }
      } else {
        row.words.push_back(t);
      }
    }
    rows.push_back(std::move(row));
  }
  return true;
}

// ---------------------------------------------------------------------------
// Fonts
// ---------------------------------------------------------------------------
namespace {

struct a_font_file {
  std::string path;
  std::string package;
};
std::map<std::string, a_font_file> g_fonts;  // written once before the jobs run

// One FreeType library for the run; faces are made under a lock and each
// thread keeps faces of its own (a face is used by one thread at a time).
std::mutex g_ft_lock;
FT_Library g_ft = nullptr;

const cairo_user_data_key_t kFaceKey{};

void Done_Face(void* face) {
  std::lock_guard<std::mutex> hold(g_ft_lock);
  FT_Done_Face(static_cast<FT_Face>(face));
}

}  // namespace

bool Fonts_Load(const a_art_context& ctx, std::string& err) {
  std::vector<a_table_row> rows;
  if (!Read_Table(ctx, "fonts.txt", rows, err)) return false;
  g_fonts.clear();
  for (const a_table_row& r : rows) {
    if (r.words.size() != 3) {
      err = r.Where() + ": NAME FILE PACKAGE expected";
      return false;
    }
    if (!g_fonts.emplace(r.words[0], a_font_file{r.words[1], r.words[2]}).second) {
      err = r.Where() + ": font " + r.words[0] + " listed twice";
      return false;
    }
  }
  for (const auto& [name, f] : g_fonts) {
    struct stat st{};
    if (stat(f.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      err = "font file " + f.path + " (" + name + ") is missing: install the package " + f.package +
            " (scripts/setup.sh installs it)";
      return false;
    }
  }
  std::lock_guard<std::mutex> hold(g_ft_lock);
  if (g_ft == nullptr && FT_Init_FreeType(&g_ft) != 0) {
    err = "FreeType cannot start";
    return false;
  }
  return true;
}

cairo_font_face_t* Font_Face(const std::string& name) {
  thread_local std::map<std::string, cairo_font_face_t*> faces;
  const auto have = faces.find(name);
  if (have != faces.end()) return have->second;
  const auto it = g_fonts.find(name);
  if (it == g_fonts.end()) {
    std::fprintf(stderr, "artgen: font %s is not in art/fonts.txt\n", name.c_str());
    std::abort();
  }
  FT_Face face = nullptr;
  {
    std::lock_guard<std::mutex> hold(g_ft_lock);
    if (g_ft == nullptr || FT_New_Face(g_ft, it->second.path.c_str(), 0, &face) != 0) {
      std::fprintf(stderr, "artgen: cannot read the font %s\n", it->second.path.c_str());
      std::abort();
    }
  }
  cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(face, FT_LOAD_NO_HINTING);
  cairo_font_face_set_user_data(cf, &kFaceKey, face, Done_Face);
  faces.emplace(name, cf);  // kept for the rest of the run
  return cf;
}

void Use_Font(cairo_t* cr, const std::string& name, double size) {
  cairo_set_font_face(cr, Font_Face(name));
  cairo_set_font_size(cr, size);
  cairo_font_options_t* o = cairo_font_options_create();
  cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_subpixel_order(o, CAIRO_SUBPIXEL_ORDER_DEFAULT);
  cairo_set_font_options(cr, o);
  cairo_font_options_destroy(o);
}

// ---------------------------------------------------------------------------
// Random numbers
// ---------------------------------------------------------------------------
uint64_t a_rng::Next() {
  uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double a_rng::Unit() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
double a_rng::Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
int32_t a_rng::Below(int32_t n) { return n <= 1 ? 0 : int32_t(Next() % uint64_t(n)); }
double a_rng::Gauss() {
  // Box-Muller; the first of the pair is enough here.
  const double u = 1.0 - Unit(), v = Unit();
  return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * M_PI * v);
}

uint64_t Seed_Of(const std::string& text, int64_t a, int64_t b, int64_t c) {
  uint64_t h = 0xCBF29CE484222325ull;
  for (char ch : text) h = (h ^ uint8_t(ch)) * 0x100000001B3ull;
  for (int64_t v : {a, b, c}) {
    for (int i = 0; i < 8; ++i) h = (h ^ uint8_t(uint64_t(v) >> (8 * i))) * 0x100000001B3ull;
  }
  a_rng mix(h);
  return mix.Next();
}

// ---------------------------------------------------------------------------
// Noise
// ---------------------------------------------------------------------------
a_noise::a_noise(uint64_t seed) {
  std::array<uint8_t, 256> p{};
  for (int i = 0; i < 256; ++i) p[size_t(i)] = uint8_t(i);
  a_rng r(seed);
  for (int i = 255; i > 0; --i) std::swap(p[size_t(i)], p[size_t(r.Below(i + 1))]);
  for (int i = 0; i < 512; ++i) perm_[size_t(i)] = p[size_t(i & 255)];
}

double a_noise::Grad(int32_t ix, int32_t iy, double fx, double fy) const {
  const int h = perm_[size_t(perm_[size_t(ix & 255)] + (iy & 255))] & 7;
  // Eight directions, unit length.
  static constexpr double kD = 0.70710678118654752;
  static constexpr double gx[8] = {1, -1, 0, 0, kD, -kD, kD, -kD};
  static constexpr double gy[8] = {0, 0, 1, -1, kD, kD, -kD, -kD};
  return gx[h] * fx + gy[h] * fy;
}

namespace {
double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
int32_t Wrap(int32_t v, int32_t p) { return p > 0 ? ((v % p) + p) % p : v; }
}  // namespace

double a_noise::At_Periodic(double x, double y, int32_t px, int32_t py) const {
  const double fx0 = std::floor(x), fy0 = std::floor(y);
  const int32_t x0 = int32_t(fx0), y0 = int32_t(fy0);
  const double fx = x - fx0, fy = y - fy0;
  const int32_t xa = Wrap(x0, px), xb = Wrap(x0 + 1, px), ya = Wrap(y0, py), yb = Wrap(y0 + 1, py);
  const double n00 = Grad(xa, ya, fx, fy), n10 = Grad(xb, ya, fx - 1, fy);
  const double n01 = Grad(xa, yb, fx, fy - 1), n11 = Grad(xb, yb, fx - 1, fy - 1);
  const double u = Fade(fx), v = Fade(fy);
  const double a = n00 + (n10 - n00) * u, b = n01 + (n11 - n01) * u;
  return std::clamp((a + (b - a) * v) * 1.4142, -1.0, 1.0);
}

double a_noise::At(double x, double y) const { return At_Periodic(x, y, 0, 0); }

double a_noise::Fbm_Periodic(double x, double y, int32_t px, int32_t py, int octaves, double gain) const {
  double sum = 0, amp = 1, norm = 0, f = 1;
  for (int o = 0; o < octaves; ++o) {
    // Octaves are shifted so their lattices do not line up.
    sum += amp * At_Periodic(x * f + o * 17.31, y * f + o * 9.73, px > 0 ? px * int32_t(f) : 0,
                             py > 0 ? py * int32_t(f) : 0);
    norm += amp;
    amp *= gain;
    f *= 2;
  }
  return sum / norm;
}

double a_noise::Fbm(double x, double y, int octaves, double gain) const { return Fbm_Periodic(x, y, 0, 0, octaves, gain); }

double a_noise::Turb_Periodic(double x, double y, int32_t px, int32_t py, int octaves) const {
  double sum = 0, amp = 1, norm = 0, f = 1;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * std::fabs(At_Periodic(x * f + o * 17.31, y * f + o * 9.73, px > 0 ? px * int32_t(f) : 0,
                                       py > 0 ? py * int32_t(f) : 0));
    norm += amp;
    amp *= 0.5;
    f *= 2;
  }
  return sum / norm;
}

double a_noise::Turb(double x, double y, int octaves) const { return Turb_Periodic(x, y, 0, 0, octaves); }

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------
double Clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
double Smooth(double e0, double e1, double x) {
  const double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}
uint8_t To_Byte(double v) { return uint8_t(std::lround(Clamp01(v) * 255.0)); }

a_rgb Mix(const a_rgb& x, const a_rgb& y, double t) {
  return a_rgb{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t};
}
a_rgb Scale(const a_rgb& c, double k) { return a_rgb{c.r * k, c.g * k, c.b * k}; }

a_rgb Hsv(double h, double s, double v) {
  h = std::fmod(h, 360.0);
  if (h < 0) h += 360.0;
  const double c = v * s, x = c * (1 - std::fabs(std::fmod(h / 60.0, 2.0) - 1)), m = v - c;
  double r = 0, g = 0, b = 0;
  if (h < 60) r = c, g = x;
  else if (h < 120) r = x, g = c;
  else if (h < 180) g = c, b = x;
  else if (h < 240) g = x, b = c;
  else if (h < 300) r = x, b = c;
  else r = c, b = x;
  return a_rgb{r + m, g + m, b + m};
}

namespace {
double To_Linear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
double To_Srgb(double c) {
  c = Clamp01(c);
  return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}
struct a_lab {
  double l, a, b;
};
a_lab To_Lab(const a_rgb& c) {
  const double r = To_Linear(c.r), g = To_Linear(c.g), b = To_Linear(c.b);
  const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
  const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
  const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
  return a_lab{0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
               1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
               0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}
a_rgb From_Lab(const a_lab& c) {
  const double l = std::pow(c.l + 0.3963377774 * c.a + 0.2158037573 * c.b, 3);
  const double m = std::pow(c.l - 0.1055613458 * c.a - 0.0638541728 * c.b, 3);
  const double s = std::pow(c.l - 0.0894841775 * c.a - 1.2914855480 * c.b, 3);
  return a_rgb{To_Srgb(4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s),
               To_Srgb(-1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s),
               To_Srgb(-0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s)};
}
}  // namespace

a_rgb Mix_Lab(const a_rgb& x, const a_rgb& y, double t) {
  const a_lab a = To_Lab(x), b = To_Lab(y);
  return From_Lab(a_lab{a.l + (b.l - a.l) * t, a.a + (b.a - a.a) * t, a.b + (b.b - a.b) * t});
}

bool Parse_Hex(const std::string& text, a_rgb& c) {
  const std::string s = !text.empty() && text[0] == '#' ? text.substr(1) : text;
  if (s.size() != 6) return false;
  uint32_t v = 0;
  for (char ch : s) {
    int d = -1;
    if (ch >= '0' && ch <= '9') d = ch - '0';
    else if (ch >= 'a' && ch <= 'f') d = ch - 'a' + 10;
    else if (ch >= 'A' && ch <= 'F') d = ch - 'A' + 10;
    if (d < 0) return false;
    v = v * 16 + uint32_t(d);
  }
  c = a_rgb{double((v >> 16) & 0xFF) / 255.0, double((v >> 8) & 0xFF) / 255.0, double(v & 0xFF) / 255.0};
  return true;
}

a_rgb Hex(const char* s) {
  a_rgb c;
  if (!Parse_Hex(s, c)) {
    std::fprintf(stderr, "artgen: bad colour constant %s\n", s);
    std::abort();
  }
  return c;
}

a_rgb a_ramp::At(double t) const {
  if (stops.empty()) return a_rgb{};
  t = Clamp01(t);
  if (t <= stops.front().first) return stops.front().second;
  for (size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].first) {
      const double span = stops[i].first - stops[i - 1].first;
      return Mix_Lab(stops[i - 1].second, stops[i].second, span > 0 ? (t - stops[i - 1].first) / span : 0);
    }
  }
  return stops.back().second;
}

bool Parse_Ramp(const std::vector<std::string>& words, size_t first, a_ramp& ramp, std::string& why) {
  ramp.stops.clear();
  const size_t n = words.size() > first ? words.size() - first : 0;
  if (n < 2) {
    why = "at least two colours expected";
    return false;
  }
  for (size_t i = 0; i < n; ++i) {
    const std::string& w = words[first + i];
    const size_t colon = w.find(':');
    double at = double(i) / double(n - 1);
    std::string col = w;
    if (colon != std::string::npos) {
      char* end = nullptr;
      const std::string num = w.substr(0, colon);
      at = std::strtod(num.c_str(), &end) / 100.0;
      if (num.empty() || *end != 0 || at < 0 || at > 1) {
        why = "bad stop position in " + w + " (0 to 100 expected)";
        return false;
      }
      col = w.substr(colon + 1);
    }
    a_rgb c;
    if (!Parse_Hex(col, c)) {
      why = "bad colour " + w;
      return false;
    }
    if (!ramp.stops.empty() && at < ramp.stops.back().first) {
      why = "stops out of order at " + w;
      return false;
    }
    ramp.stops.emplace_back(at, c);
  }
  return true;
}

// ---------------------------------------------------------------------------
// Surface
// ---------------------------------------------------------------------------
a_surface::a_surface(int32_t width, int32_t height)
    : w_(width), h_(height), s_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(s_)) {
  if (cairo_surface_status(s_) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "artgen: no surface of %d x %d\n", width, height);
    std::abort();
  }
}

a_surface::~a_surface() {
  cairo_destroy(cr_);
  cairo_surface_destroy(s_);
}

uint32_t* a_surface::Row(int32_t y) {
  return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s_) + size_t(y) * size_t(cairo_image_surface_get_stride(s_)));
}

void a_surface::Shade_Rows(int32_t y0, int32_t y1, const std::function<a_rgb(double, double)>& f) {
  Flush();
  for (int32_t y = std::max(0, y0); y < std::min(h_, y1); ++y) {
    uint32_t* row = Row(y);
    for (int32_t x = 0; x < w_; ++x) {
      const a_rgb c = f(x + 0.5, y + 0.5);
      row[x] = 0xFF000000u | (uint32_t(To_Byte(c.r)) << 16) | (uint32_t(To_Byte(c.g)) << 8) | To_Byte(c.b);
    }
  }
  Mark();
}

void a_surface::Shade(const std::function<a_rgb(double, double)>& f) { Shade_Rows(0, h_, f); }

void a_surface::Clear() {
  cairo_save(cr_);
  cairo_set_operator(cr_, CAIRO_OPERATOR_CLEAR);
  cairo_paint(cr_);
  cairo_restore(cr_);
}

namespace {

// One box pass along a line of n values of 4 channels, box of 2r + 1,
// edges clamped. Integer sums: exact and the same everywhere.
void Box_Line(const uint8_t* src, uint8_t* dst, int32_t n, size_t step, int32_t r) {
  if (r <= 0) {
    for (int32_t i = 0; i < n; ++i) std::memcpy(dst + size_t(i) * step, src + size_t(i) * step, 4);
    return;
  }
  const int32_t win = 2 * r + 1;
  uint32_t sum[4] = {0, 0, 0, 0};
  auto at = [&](int32_t i) { return src + size_t(std::clamp(i, 0, n - 1)) * step; };
  for (int32_t i = -r; i <= r; ++i) {
    const uint8_t* p = at(i);
    for (int c = 0; c < 4; ++c) sum[c] += p[c];
  }
  for (int32_t i = 0; i < n; ++i) {
    uint8_t* q = dst + size_t(i) * step;
    for (int c = 0; c < 4; ++c) q[c] = uint8_t((sum[c] + uint32_t(win) / 2) / uint32_t(win));
    const uint8_t* out = at(i - r);
    const uint8_t* in = at(i + r + 1);
    for (int c = 0; c < 4; ++c) sum[c] = sum[c] - out[c] + in[c];
  }
}

}  // namespace

void a_surface::Blur(double radius) {
  if (radius < 0.5) return;
  Flush();
  // Three box passes of width w approximate a Gaussian of deviation
  // sqrt(3 (w^2 - 1) / 12) = radius.
  const int32_t r = std::max<int32_t>(1, int32_t(std::lround(std::sqrt(radius * radius * 4.0 / 3.0 + 1.0) / 2.0)));
  uint8_t* base = cairo_image_surface_get_data(s_);
  const size_t stride = size_t(cairo_image_surface_get_stride(s_));
  std::vector<uint8_t> line(size_t(std::max(w_, h_)) * 4), tmp(line.size());
  for (int pass = 0; pass < 3; ++pass) {
    for (int32_t y = 0; y < h_; ++y) {
      uint8_t* row = base + size_t(y) * stride;
      Box_Line(row, tmp.data(), w_, 4, r);
      std::memcpy(row, tmp.data(), size_t(w_) * 4);
    }
    for (int32_t x = 0; x < w_; ++x) {
      for (int32_t y = 0; y < h_; ++y) std::memcpy(&line[size_t(y) * 4], base + size_t(y) * stride + size_t(x) * 4, 4);
      Box_Line(line.data(), tmp.data(), h_, 4, r);
      for (int32_t y = 0; y < h_; ++y) std::memcpy(base + size_t(y) * stride + size_t(x) * 4, &tmp[size_t(y) * 4], 4);
    }
  }
  Mark();
}

void a_surface::Grain(double amount, uint64_t seed) {
  Flush();
  a_rng r(seed);
  const int32_t span = int32_t(std::lround(amount * 255.0));
  if (span <= 0) return;
  for (int32_t y = 0; y < h_; ++y) {
    uint32_t* row = Row(y);
    for (int32_t x = 0; x < w_; ++x) {
      const int32_t d = int32_t(r.Next() % uint64_t(2 * span + 1)) - span;
      const uint32_t v = row[x], a = v >> 24;
      if (a != 255) continue;  // grain on opaque pixels only
      uint32_t out = 0xFF000000u;
      for (int sh = 0; sh <= 16; sh += 8) out |= uint32_t(std::clamp(int32_t((v >> sh) & 0xFF) + d, 0, 255)) << sh;
      row[x] = out;
    }
  }
  Mark();
}

void a_surface::Paint(const a_surface& other, double x, double y, double alpha) {
  cairo_save(cr_);
  cairo_set_source_surface(cr_, other.s_, x, y);
  cairo_paint_with_alpha(cr_, alpha);
  cairo_restore(cr_);
}

a_art_image a_surface::Image() const {
  cairo_surface_flush(s_);
  return Art_Image_From_Premultiplied(
      reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s_)), w_, h_,
      cairo_image_surface_get_stride(s_) / 4);
}

void Set_Rgb(cairo_t* cr, const a_rgb& c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void Add_Stop(cairo_pattern_t* p, double at, const a_rgb& c, double alpha) {
  cairo_pattern_add_color_stop_rgba(p, at, c.r, c.g, c.b, alpha);
}

void Fill_Linear(cairo_t* cr, double x0, double y0, double x1, double y1, const a_ramp& ramp) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
  for (int i = 0; i <= 32; ++i) Add_Stop(p, i / 32.0, ramp.At(i / 32.0));
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

void Fill_Radial(cairo_t* cr, double cx, double cy, double r, const a_ramp& ramp) {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
  for (int i = 0; i <= 32; ++i) Add_Stop(p, i / 32.0, ramp.At(i / 32.0));
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

void Soft_Disc(cairo_t* cr, double x, double y, double r, const a_rgb& c, double alpha, double inner) {
  cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
  Add_Stop(p, 0, c, alpha);
  Add_Stop(p, std::clamp(inner, 0.0, 0.999), c, alpha);
  Add_Stop(p, 1, c, 0);
  cairo_set_source(cr, p);
  cairo_arc(cr, x, y, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// ---------------------------------------------------------------------------
// Resampling
// ---------------------------------------------------------------------------
namespace {

// For each output index, the source indexes it covers with their weights
// (an output pixel is the average of the source area under it).
struct a_taps {
  std::vector<int32_t> first;
  std::vector<std::vector<double>> w;
};

a_taps Make_Taps(int32_t src, int32_t dst) {
  a_taps t;
  t.first.resize(size_t(dst));
  t.w.resize(size_t(dst));
  const double scale = double(src) / double(dst);
  for (int32_t i = 0; i < dst; ++i) {
    double a = i * scale, b = (i + 1) * scale;
    if (scale < 1) {  // enlarging: a tent between the two nearest
      const double c = (i + 0.5) * scale - 0.5;
      const int32_t k = int32_t(std::floor(c));
      const double f = c - k;
      t.first[size_t(i)] = std::clamp(k, 0, src - 1);
      const int32_t k2 = std::clamp(k + 1, 0, src - 1);
      if (k2 == t.first[size_t(i)]) {
        t.w[size_t(i)] = {1.0};
      } else {
        t.w[size_t(i)] = {1 - f, f};
      }
      continue;
    }
    const int32_t k0 = int32_t(std::floor(a)), k1 = std::min(src - 1, int32_t(std::ceil(b)) - 1);
    t.first[size_t(i)] = k0;
    for (int32_t k = k0; k <= k1; ++k) {
      const double lo = std::max(a, double(k)), hi = std::min(b, double(k + 1));
      t.w[size_t(i)].push_back((hi - lo) / scale);
    }
  }
  return t;
}

}  // namespace

a_art_image Resample(const a_art_image& src, int32_t width, int32_t height) {
  a_art_image out;
  if (src.width < 1 || src.height < 1 || width < 1 || height < 1) return out;
  const a_taps tx = Make_Taps(src.width, width), ty = Make_Taps(src.height, height);
  // Premultiplied floats, horizontal pass first.
  std::vector<double> mid(size_t(width) * size_t(src.height) * 4, 0.0);
  for (int32_t y = 0; y < src.height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      double acc[4] = {0, 0, 0, 0};
      const auto& w = tx.w[size_t(x)];
      for (size_t k = 0; k < w.size(); ++k) {
        const uint8_t* p = &src.rgba[(size_t(y) * size_t(src.width) + size_t(tx.first[size_t(x)]) + k) * 4];
        const double a = p[3] / 255.0;
        acc[0] += w[k] * p[0] * a;
        acc[1] += w[k] * p[1] * a;
        acc[2] += w[k] * p[2] * a;
        acc[3] += w[k] * a;
      }
      std::memcpy(&mid[(size_t(y) * size_t(width) + size_t(x)) * 4], acc, sizeof acc);
    }
  }
  out.width = width;
  out.height = height;
  out.rgba.resize(size_t(width) * size_t(height) * 4);
  for (int32_t y = 0; y < height; ++y) {
    const auto& w = ty.w[size_t(y)];
    for (int32_t x = 0; x < width; ++x) {
      double acc[4] = {0, 0, 0, 0};
      for (size_t k = 0; k < w.size(); ++k) {
        const double* p = &mid[((size_t(ty.first[size_t(y)]) + k) * size_t(width) + size_t(x)) * 4];
        for (int c = 0; c < 4; ++c) acc[c] += w[k] * p[c];
      }
      uint8_t* q = &out.rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
      const double a = acc[3];
      for (int c = 0; c < 3; ++c) q[c] = a > 0 ? uint8_t(std::lround(std::clamp(acc[c] / a, 0.0, 255.0))) : 0;
      q[3] = uint8_t(std::lround(std::clamp(a * 255.0, 0.0, 255.0)));
    }
  }
  return out;
}

a_art_image Image_From_Indexes(const a_art_image8& img, const std::array<a_rgb, 256>& palette) {
  a_art_image out;
  out.width = img.width;
  out.height = img.height;
  out.rgba.resize(img.index.size() * 4);
  for (size_t i = 0; i < img.index.size(); ++i) {
    const a_rgb& c = palette[img.index[i]];
    out.rgba[i * 4] = To_Byte(c.r);
    out.rgba[i * 4 + 1] = To_Byte(c.g);
    out.rgba[i * 4 + 2] = To_Byte(c.b);
    out.rgba[i * 4 + 3] = 255;
  }
  return out;
}

std::string Key_Name(const a_keyset& k) {
  return "(" + std::to_string(k.a) + ", " + std::to_string(k.b) + ", " + std::to_string(k.c) + ", " +
         std::to_string(k.d) + ")";
}
