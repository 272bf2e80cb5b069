// velmor_resgen: makes the resources that are drawn or computed rather than
// typed, and writes them as one resource source for velmor_rescomp (the
// syntax is at the top of tools/rescomp.cpp):
//
//   "CTBL" 128   the 870 colours of the palette bar
//   "CURS"       the colour cursors 135-139, 151 and 152, 32 x 32
//   "cicn" 100   the program icon, 32 x 32, and 103, 16 x 16
//   "ipng" N     the program icon as a PNG file of N x N pixels (48, 128,
//                256), which the program installs for the desktop
//
// Usage: velmor_resgen OUT.txt
// The output is the same on every run (no clock, no randomness, fixed
// drawing); it is replaced only when it was written whole. Exit status 0,
// 1 when it cannot be written, 2 on bad arguments.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "ResGen.h"

namespace {

using resgen::Picture;

// --- The palette ----------------------------------------------------------------------------
//
// The palette bar shows 126 columns by 7 rows in six blocks of 21 columns.
// Entries 0-6 are the user's colours (the column at the left of the bar;
// the program puts the preferences' colours there, these are the
// defaults), 7 and 8 black and white (sharing the first row of the first
// block), and every other entry k sits at m = k + 12: block m / 147,
// column m % 21, row (m / 21) % 7. Columns 0-19 are hues, column 20 greys;
// rows go from light to dark; each block is less saturated than the one
// before it. A few colours the program looks up by value are set exactly.

constexpr int kColours = 870;
constexpr int kBlocks = 6, kColumns = 21, kRows = 7;

struct Rgb8 {
  int r, g, b;
};

constexpr Rgb8 kUserColours[7] = {{255, 0, 0},     {255, 155, 194}, {0, 0, 255},    {155, 196, 254},
                                  {116, 77, 113},  {213, 174, 180}, {127, 213, 196}};
// Hues of the 20 colour columns, in degrees: closer together where the eye
// tells hues apart best (reds to yellows), wider in the greens.
constexpr double kHues[20] = {0, 12, 24, 36, 48, 60, 75, 90, 110, 135, 160, 180, 195, 210, 225, 240, 260, 280, 300, 330};
constexpr double kLightness[kRows] = {0.90, 0.78, 0.64, 0.50, 0.38, 0.26, 0.15};
constexpr double kSaturation[kBlocks] = {1.0, 0.75, 0.55, 0.38, 0.24, 0.12};
// Colours the program finds by value (text outline and glow, the frame of
// photos, the grid lines, the cut lines), besides black and white.
constexpr Rgb8 kExact[] = {{199, 207, 187}, {0, 255, 255}, {114, 87, 61}, {255, 0, 0}, {30, 30, 220}};

Rgb8 Hsl(double h, double s, double l) {
  const double c = (1.0 - std::fabs(2.0 * l - 1.0)) * s;
  const double hp = std::fmod(h, 360.0) / 60.0;
  const double x = c * (1.0 - std::fabs(std::fmod(hp, 2.0) - 1.0));
  double r = 0, g = 0, b = 0;
  if (hp < 1) r = c, g = x;
  else if (hp < 2) r = x, g = c;
  else if (hp < 3) g = c, b = x;
  else if (hp < 4) g = x, b = c;
  else if (hp < 5) r = x, b = c;
  else r = c, b = x;
  const double m = l - c / 2.0;
  auto q = [](double v) { return int(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
  return {q(r + m), q(g + m), q(b + m)};
}

int Id_Of(int block, int row, int column) { return block * kColumns * kRows + row * kColumns + column - 12; }

std::vector<Rgb8> Palette() {
  std::vector<Rgb8> t(kColours, Rgb8{0, 0, 0});
  for (int i = 0; i < 7; ++i) t[size_t(i)] = kUserColours[i];
  t[7] = {0, 0, 0};
  t[8] = {255, 255, 255};
  // The greys of column 20: lightness by row first, then a finer step from
  // block to block, so all 41 differ.
  int grey = 0;
  for (int row = 0; row < kRows; ++row)
    for (int block = 0; block < kBlocks; ++block) {
      if (block == 0 && row == 0) continue;
      const int v = int(std::lround(245.0 - grey * (235.0 / 40.0)));
      t[size_t(Id_Of(block, row, 20))] = {v, v, v};
      ++grey;
    }
  for (int block = 0; block < kBlocks; ++block)
    for (int row = block == 0 ? 1 : 0; row < kRows; ++row)
      for (int col = 0; col < 20; ++col)
        t[size_t(Id_Of(block, row, col))] = Hsl(kHues[col], kSaturation[block], kLightness[row]);
  // Each exact colour replaces the nearest colour of the hue columns.
  std::vector<bool> pinned(kColours, false);
  for (const Rgb8& want : kExact) {
    int best = -1;
    long best_d = 0;
    for (int k = 9; k < kColours; ++k) {
      if (pinned[size_t(k)] || (k + 12) % kColumns == 20) continue;
      const Rgb8& c = t[size_t(k)];
      const long d = long(c.r - want.r) * (c.r - want.r) + long(c.g - want.g) * (c.g - want.g) +
                     long(c.b - want.b) * (c.b - want.b);
      if (best < 0 || d < best_d) best = k, best_d = d;
    }
    t[size_t(best)] = want;
    pinned[size_t(best)] = true;
  }
  return t;
}

void Write_Palette(std::string& out) {
  const std::vector<Rgb8> t = Palette();
  out += "# The palette bar's colours: 0-6 the default user colours, 7 black, 8 white,\n"
         "# then six blocks of 21 columns (20 hues and a grey) by 7 rows, light to\n"
         "# dark, each block less saturated than the one before.\n";
  out += "[CTBL 128]\n";
  char line[64];
  for (int k = 0; k < kColours; ++k) {
    if (k == 9 || (k > 9 && (k + 12) % (kColumns * kRows) == 0)) {
      std::snprintf(line, sizeof line, "# block %d\n", (k + 12) / (kColumns * kRows));
      out += line;
    }
    std::snprintf(line, sizeof line, "%d %d %d\n", t[size_t(k)].r, t[size_t(k)].g, t[size_t(k)].b);
    out += line;
  }
}

// --- Pictures as rows of characters -------------------------------------------------------
//
// A picture source names each colour with one character, so a picture has
// at most as many colours as there are characters: the nearest colours are
// merged until it fits (the drawings stay within a few dozen colours; the
// icons' soft edges need the merging).

// The pixel characters: printable ASCII without the quote and the backslash
// (not allowed), "#" (it would need quoting in the colour line) and "."
// (transparent).
std::string Pixel_Chars() {
  std::string s;
  for (char c = '!'; c <= '~'; ++c)
    if (c != '"' && c != '\\' && c != '#' && c != '.') s += c;
  return s;
}

struct Cluster {
  double r, g, b, a;
  long n;
  bool live;
};

double Cost(const Cluster& x, const Cluster& y) {
  const double dr = x.r - y.r, dg = x.g - y.g, db = x.b - y.b, da = x.a - y.a;
  // Alpha matters as much as a colour channel; the weight is the error the
  // merge adds to the picture.
  return (double(x.n) * double(y.n) / double(x.n + y.n)) * (dr * dr + dg * dg + db * db + 2.0 * da * da);
}

// Merges the colours of p (transparent pixels aside) until at most `limit`
// remain, always the pair whose merge changes the picture least.
void Reduce_Colours(Picture& p, size_t limit) {
  std::map<uint32_t, long> counts;
  for (uint32_t v : p.rgba)
    if ((v & 0xFF) != 0) ++counts[v];
  if (counts.size() <= limit) return;
  std::vector<Cluster> cl;
  std::map<uint32_t, size_t> owner;
  for (const auto& [v, n] : counts) {
    owner[v] = cl.size();
    cl.push_back({double(v >> 24), double((v >> 16) & 0xFF), double((v >> 8) & 0xFF), double(v & 0xFF), n, true});
  }
  std::vector<size_t> parent(cl.size());
  for (size_t i = 0; i < parent.size(); ++i) parent[i] = i;
  auto root = [&](size_t i) {
    while (parent[i] != i) i = parent[i];
    return i;
  };
  size_t live = cl.size();
  // Nearest partner of each cluster, kept up to date.
  std::vector<size_t> near(cl.size(), 0);
  std::vector<double> near_cost(cl.size(), 0);
  auto find_near = [&](size_t i) {
    double best = -1;
    for (size_t j = 0; j < cl.size(); ++j) {
      if (j == i || !cl[j].live) continue;
      const double c = Cost(cl[i], cl[j]);
      if (best < 0 || c < best) best = c, near[i] = j;
    }
    near_cost[i] = best;
  };
  for (size_t i = 0; i < cl.size(); ++i) find_near(i);
  while (live > limit) {
    size_t a = cl.size();
    for (size_t i = 0; i < cl.size(); ++i)
      if (cl[i].live && (a == cl.size() || near_cost[i] < near_cost[a])) a = i;
    const size_t b = near[a];
    Cluster& x = cl[a];
    const Cluster& y = cl[b];
    const double n = double(x.n + y.n);
    x.r = (x.r * double(x.n) + y.r * double(y.n)) / n;
    x.g = (x.g * double(x.n) + y.g * double(y.n)) / n;
    x.b = (x.b * double(x.n) + y.b * double(y.n)) / n;
    x.a = (x.a * double(x.n) + y.a * double(y.n)) / n;
    x.n += y.n;
    cl[b].live = false;
    parent[b] = a;
    --live;
    for (size_t i = 0; i < cl.size(); ++i) {
      if (!cl[i].live) continue;
      if (i == a || near[i] == a || near[i] == b) find_near(i);
      else if (Cost(cl[i], cl[a]) < near_cost[i]) near[i] = a, near_cost[i] = Cost(cl[i], cl[a]);
    }
  }
  auto q = [](double v) { return uint32_t(std::clamp<long>(std::lround(v), 0, 255)); };
  auto qa = [](double v) { return uint32_t(std::clamp<long>(std::lround(v), 1, 255)); };
  for (uint32_t& v : p.rgba) {
    if ((v & 0xFF) == 0) continue;
    const Cluster& c = cl[root(owner[v])];
    // Alpha stays at least 1: a merged colour never turns transparent.
    v = (q(c.r) << 24) | (q(c.g) << 16) | (q(c.b) << 8) | qa(c.a);
  }
}

std::string Hex_Colour(uint32_t rgba) {
  char buf[16];
  if ((rgba & 0xFF) == 0xFF) std::snprintf(buf, sizeof buf, "0x%06X", unsigned(rgba >> 8));
  else std::snprintf(buf, sizeof buf, "0x%08X", unsigned(rgba));
  return buf;
}

// The picture's colour lines and rows; colours are named in the order they
// first appear, row by row.
void Write_Rows(Picture p, std::string& out) {
  static const std::string chars = Pixel_Chars();
  Reduce_Colours(p, chars.size());
  std::map<uint32_t, char> name;
  std::vector<uint32_t> order;
  for (uint32_t v : p.rgba) {
    if ((v & 0xFF) == 0 || name.count(v)) continue;
    name[v] = chars[order.size()];
    order.push_back(v);
  }
  out += "colour . none\n";
  for (uint32_t v : order) out += std::string("colour ") + name[v] + " " + Hex_Colour(v) + "\n";
  for (int y = 0; y < p.height; ++y) {
    out += '"';
    for (int x = 0; x < p.width; ++x) {
      const uint32_t v = p.At(x, y);
      out += (v & 0xFF) == 0 ? '.' : name[v];
    }
    out += "\"\n";
  }
}

void Write_Cursors(std::string& out) {
  out += "\n# The colour cursors: 32 x 32, a dark outline and a light inner edge so that\n"
         "# they read on any ground, and a soft shadow.\n";
  for (const resgen::Cursor& c : resgen::Draw_Colour_Cursors()) {
    out += "\n# " + c.comment + "\n";
    out += "[CURS " + std::to_string(c.id) + "]\n";
    out += "hotspot " + std::to_string(c.hot_x) + " " + std::to_string(c.hot_y) + "\n";
    Write_Rows(c.picture, out);
  }
}

void Write_Icons(std::string& out) {
  out += "\n# The program icon: a disc with a printed label. 100 is the large icon of the\n"
         "# main window, 103 the small one.\n";
  for (const auto& [id, size] : {std::pair<int, int>{100, 32}, {103, 16}}) {
    out += "[cicn " + std::to_string(id) + "]\n";
    Write_Rows(resgen::Draw_Program_Icon(size), out);
  }
  out += "\n# The program icon as PNG files for the desktop, by their size.\n";
  for (int size : {48, 128, 256}) {
    out += "[ipng " + std::to_string(size) + "]\n";
    const std::vector<uint8_t> png = resgen::Program_Icon_Png(size);
    char buf[8];
    for (size_t i = 0; i < png.size(); i += 32) {
      out += "hex";
      for (size_t j = i; j < std::min(png.size(), i + 32); ++j) {
        std::snprintf(buf, sizeof buf, " %02X", unsigned(png[j]));
        out += buf;
      }
      out += "\n";
    }
  }
}

bool Write_File(const std::string& path, const std::string& text) {
  const std::string tmp = path + ".tmp";
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (std::fclose(f) != 0 || !ok) {
    std::remove(tmp.c_str());
    return false;
  }
  return std::rename(tmp.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: velmor_resgen OUT.txt\n");
    return 2;
  }
  std::string out = "# Generated by velmor_resgen (tools/resgen.cpp) when the program is built.\n"
                    "# Do not edit: change the generator.\n\n";
  Write_Palette(out);
  Write_Cursors(out);
  Write_Icons(out);
  if (!Write_File(argv[1], out)) {
    std::fprintf(stderr, "velmor_resgen: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
