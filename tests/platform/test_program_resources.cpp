// The program's own resources as the interface reads them: the palette
// bar's colour table, the system pattern list, every cursor, the program
// icon at each size and on the main window, the generator that draws part of
// them, and contact sheets a person looks through
// (snapshots/resources/*.png beside the program).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "TempDirSupport.h"
#include "TestSupport.h"
#include "WinTestSupport.h"
#include "host/HostByteOrder.h"
#include "host/HostCodecs.h"
#include "host/HostResources.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "platform/Icons.h"
#include "platform/Quickdraw.h"
#include "platform/ResImage.h"
#include "platform/ResTestUtil.h"
#include "platform/Resources.h"
#include "platform/SysErr.h"

namespace {

// Reports of the missing-item hooks.
std::vector<std::pair<OSType, int16>> g_items;
void Record_Item(OSType kind, int16 id) { g_items.emplace_back(kind, id); }

std::unique_ptr<host::ResArchive> Program_Archive() {
  std::string err;
  auto a = host::ResArchive::Open_Embedded(&err);
  EXPECT_TRUE(a) << err;
  return a;
}

std::span<const uint8> Data(const host::ResArchive& a, OSType type, int16 id) {
  std::span<const uint8> d;
  EXPECT_TRUE(a.Find(type, id, &d)) << "resource " << id;
  return d;
}

// --- The palette bar's colour table ----------------------------------------------------------

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
  bool operator<(const Rgb& o) const { return std::tie(r, g, b) < std::tie(o.r, o.g, o.b); }
};

std::vector<Rgb> Colour_Table(const host::ResArchive& a) {
  const std::span<const uint8> d = Data(a, FourCC("CTBL"), 128);
  std::vector<Rgb> t;
  if (d.size() < 2) return t;
  const size_t n = Load_LE16(d.data());
  for (size_t i = 0; i < n && 2 + 3 * i + 2 < d.size(); ++i)
    t.push_back({d[2 + 3 * i], d[3 + 3 * i], d[4 + 3 * i]});
  return t;
}

// Where the palette bar shows entry k (k >= 9): block, row and column.
struct Cell {
  int block, row, column;
};
Cell Cell_Of(int k) {
  const int m = k + 12;
  return {m / 147, (m / 21) % 7, m % 21};
}
int Id_Of(int block, int row, int column) { return block * 147 + row * 21 + column - 12; }

double Lightness(const Rgb& c) { return (std::max({c.r, c.g, c.b}) + std::min({c.r, c.g, c.b})) / 510.0; }
double Saturation(const Rgb& c) {
  const double mx = std::max({c.r, c.g, c.b}) / 255.0, mn = std::min({c.r, c.g, c.b}) / 255.0;
  const double l = (mx + mn) / 2;
  return mx == mn ? 0.0 : (mx - mn) / (1.0 - std::fabs(2 * l - 1));
}

TEST(ProgramResources, ColourTableHoldsThePaletteBarsColoursInItsLayout) {
  auto a = Program_Archive();
  ASSERT_TRUE(a);
  // Exactly a count and 870 colours: the start-up refuses any other count.
  const std::span<const uint8> d = Data(*a, FourCC("CTBL"), 128);
  ASSERT_EQ(d.size(), 2u + 870u * 3u);
  ASSERT_EQ(Load_LE16(d.data()), 870);
  const std::vector<Rgb> t = Colour_Table(*a);
  ASSERT_EQ(t.size(), 870u);

  // The left column: the default user colours; then black and white.
  const Rgb user[7] = {{255, 0, 0}, {255, 155, 194}, {0, 0, 255}, {155, 196, 254},
                       {116, 77, 113}, {213, 174, 180}, {127, 213, 196}};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(t[size_t(i)], user[i]) << "user colour " << i;
  EXPECT_EQ(t[7], (Rgb{0, 0, 0}));
  EXPECT_EQ(t[8], (Rgb{255, 255, 255}));
  // The colours the program finds by value are there exactly, outside the
  // user colours (which the preferences replace).
  for (const Rgb& want : {Rgb{199, 207, 187}, Rgb{0, 255, 255}, Rgb{114, 87, 61}, Rgb{255, 0, 0}, Rgb{30, 30, 220}})
    EXPECT_NE(std::find(t.begin() + 9, t.end(), want), t.end()) << want.r << "," << want.g << "," << want.b;
  // Every cell of the grid shows a colour of its own.
  EXPECT_EQ(std::set<Rgb>(t.begin() + 7, t.end()).size(), t.size() - 7);

  // The last entry fills the last cell: six blocks of 21 x 7, the first
  // block's top row taken by black and white.
  const Cell last = Cell_Of(869);
  EXPECT_EQ(last.block, 5);
  EXPECT_EQ(last.row, 6);
  EXPECT_EQ(last.column, 20);
  EXPECT_EQ(Cell_Of(9).block, 0);
  EXPECT_EQ(Cell_Of(9).row, 1);
  // Column 20 is grey; down every column the colours get darker.
  for (int block = 0; block < 6; ++block) {
    for (int column = 0; column < 21; ++column) {
      double above = 2.0;
      for (int row = block == 0 ? 1 : 0; row < 7; ++row) {
        const Rgb& c = t[size_t(Id_Of(block, row, column))];
        if (column == 20) {
          EXPECT_TRUE(c.r == c.g && c.g == c.b) << "block " << block << " row " << row;
        }
        EXPECT_LT(Lightness(c), above) << "block " << block << " row " << row << " column " << column;
        above = Lightness(c);
      }
    }
  }
  // Block by block the hues get greyer.
  double before = 2.0;
  for (int block = 0; block < 6; ++block) {
    double sum = 0;
    int n = 0;
    for (int row = block == 0 ? 1 : 0; row < 7; ++row)
      for (int column = 0; column < 20; ++column, ++n) sum += Saturation(t[size_t(Id_Of(block, row, column))]);
    EXPECT_LT(sum / n, before) << "block " << block;
    before = sum / n;
  }
}

// --- The system pattern list -------------------------------------------------------------------

std::vector<std::array<uint8, 8>> Patterns(const host::ResArchive& a) {
  const std::span<const uint8> d = Data(a, FourCC("PAT#"), 0);
  std::vector<std::array<uint8, 8>> out;
  const size_t n = d.size() >= 2 ? Load_LE16(d.data()) : 0;
  for (size_t i = 0; i < n && 2 + 8 * (i + 1) <= d.size(); ++i) {
    std::array<uint8, 8> p{};
    std::memcpy(p.data(), d.data() + 2 + 8 * i, 8);
    out.push_back(p);
  }
  return out;
}

bool Bit(const std::array<uint8, 8>& p, int x, int y) { return (p[size_t(y & 7)] >> (7 - (x & 7))) & 1; }

TEST(ProgramResources, PatternListHoldsThirtyEightPatternsFitForTheirUse) {
  auto a = Program_Archive();
  ASSERT_TRUE(a);
  ASSERT_EQ(Data(*a, FourCC("PAT#"), 0).size(), 2u + 38u * 8u);
  const auto pats = Patterns(*a);
  ASSERT_EQ(pats.size(), 38u);

  // The program's own reader gives the two it takes at start-up.
  Resources_Init();
  Pattern pasteboard{}, separator{};
  ASSERT_TRUE(GetIndPattern(pasteboard, 0, 21));
  ASSERT_TRUE(GetIndPattern(separator, 0, 26));
  EXPECT_EQ(std::memcmp(pasteboard.pat, pats[20].data(), 8), 0);
  EXPECT_EQ(std::memcmp(separator.pat, pats[25].data(), 8), 0);

  // 21 is a pattern of dots: a few pixels, none touching another (the
  // pattern repeats, so neighbours wrap round).
  int dots = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      if (!Bit(pats[20], x, y)) continue;
      ++dots;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if (dx != 0 || dy != 0) {
            EXPECT_FALSE(Bit(pats[20], x + dx, y + dy)) << x << "," << y;
          }
    }
  EXPECT_GE(dots, 2);
  EXPECT_LE(dots, 8);
  // 26 is a texture in the separator's two colours: neither all one colour
  // nor the other.
  int ink = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ink += Bit(pats[25], x, y);
  EXPECT_GT(ink, 8);
  EXPECT_LT(ink, 56);
  // No pattern repeats another, even shifted: each one offers something.
  std::map<std::vector<bool>, int> seen;
  for (size_t i = 0; i < pats.size(); ++i) {
    std::vector<bool> least;
    for (int sy = 0; sy < 8; ++sy)
      for (int sx = 0; sx < 8; ++sx) {
        std::vector<bool> v;
        for (int y = 0; y < 8; ++y)
          for (int x = 0; x < 8; ++x) v.push_back(Bit(pats[i], x + sx, y + sy));
        if (least.empty() || v < least) least = v;
      }
    const auto [it, fresh] = seen.emplace(least, int(i) + 1);
    EXPECT_TRUE(fresh) << "pattern " << i + 1 << " repeats pattern " << it->second;
  }
}

// --- Cursors ---------------------------------------------------------------------------------------

// Every cursor the interface's shapes name: the mono ones of 16 x 16 and
// the colour ones of 32 x 32.
const int16 kMonoCursors[] = {128, 129, 130, 131, 132, 133, 134, 140, 141, 142, 143, 144,
                              146, 147, 148, 149, 150, 153, 154, 400, 401, 402, 403};
const int16 kColourCursors[] = {135, 136, 137, 138, 139, 151, 152};

TEST(ProgramResources, EveryCursorLoadsWithItsHotSpotOnThePicture) {
  auto a = Program_Archive();
  ASSERT_TRUE(a);
  for (int16 id : kMonoCursors) {
    const std::span<const uint8> d = Data(*a, kCursorResType, id);
    EXPECT_EQ(d.size(), kMonoCursorBytes) << id;
  }
  for (int16 id : kColourCursors) {
    const std::span<const uint8> d = Data(*a, kCursorResType, id);
    EXPECT_EQ(d.size(), kColorCursorBytes) << id;
  }
  std::vector<int16> all(std::begin(kMonoCursors), std::end(kMonoCursors));
  all.insert(all.end(), std::begin(kColourCursors), std::end(kColourCursors));
  {
    for (int16 id : all) {
      a_res_image img;
      ASSERT_TRUE(ResImage_Decode(kCursorResType, Data(*a, kCursorResType, id), img)) << id;
      // The hot spot, as stored (the reader moves one outside to the edge).
      const std::span<const uint8> d = Data(*a, kCursorResType, id);
      const size_t at = d.size() == kMonoCursorBytes ? 64 : 4;
      const int32 v = int16(Load_LE16(d.data() + at)), h = int16(Load_LE16(d.data() + at + 2));
      ASSERT_TRUE(v >= 0 && h >= 0 && v < img.height && h < img.width) << id;
      EXPECT_EQ(ResImage_Pixel(img, h, v) >> 24, 255u) << "cursor " << id << ": the click is where one can see it";
      // A cursor reads on dark and light grounds: it has dark and light pixels.
      bool dark = false, light = false;
      for (uint32 p : img.bgra) {
        if ((p >> 24) != 255) continue;
        const uint32 sum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
        dark = dark || sum < 200;
        light = light || sum > 560;
      }
      EXPECT_TRUE(dark && light) << "cursor " << id;
    }
  }
}

// --- The program icon --------------------------------------------------------------------------------

struct Decoded {
  int32 width = 0, height = 0;
  std::vector<uint32> bgra;  // 0xAARRGGBB
};

bool Decode_Png(std::span<const uint8> png, Decoded& out) {
  HostImageBuffer buf;
  if (Host_Decode_PNG(png.data(), png.size(), Host_Buffer_Sink(buf)) != HC_OK) return false;
  out.width = buf.info.width;
  out.height = buf.info.height;
  out.bgra.resize(size_t(out.width) * size_t(out.height));
  std::memcpy(out.bgra.data(), buf.pixels.data(), out.bgra.size() * 4);
  return true;
}

TEST(ProgramResources, ProgramIconAtEverySizeIsADiscWithAHole) {
  auto a = Program_Archive();
  ASSERT_TRUE(a);
  Resources_Init();
  std::vector<Decoded> icons;
  for (auto [id, size] : {std::pair<int16, int32>{100, 32}, {103, 16}}) {
    IconHandle icon = GetCIcon(id);
    ASSERT_NE(icon, nullptr) << id;
    EXPECT_EQ(icon->type, kColorIconResType);
    EXPECT_EQ(icon->image.width, size);
    EXPECT_EQ(icon->image.height, size);
    icons.push_back({icon->image.width, icon->image.height, icon->image.bgra});
    DisposeCIcon(icon);
  }
  for (int16 size : {48, 128, 256}) {
    Decoded png;
    ASSERT_TRUE(Decode_Png(Data(*a, kIconPngResType, size), png)) << size;
    EXPECT_EQ(png.width, size);
    EXPECT_EQ(png.height, size);
    icons.push_back(std::move(png));
  }
  // Round: the corners are clear, the label around the centre is solid, and
  // the ground shows through the hole in the middle.
  for (const Decoded& d : icons) {
    const int32 s = d.width;
    auto alpha = [&](int32 x, int32 y) { return d.bgra[size_t(y) * size_t(s) + size_t(x)] >> 24; };
    EXPECT_EQ(alpha(0, 0), 0u) << s;
    EXPECT_EQ(alpha(s - 1, s - 1), 0u) << s;
    EXPECT_LT(alpha(s / 2, s / 2), 48u) << s;
    EXPECT_EQ(alpha(s / 2, s / 8 + 1), 255u) << s;
    EXPECT_EQ(alpha(s / 8 + 1, s / 2), 255u) << s;
  }
}

TEST(ProgramResources, MainWindowShowsTheProgramIcon) {
  const HWND main = wintest::Start_Dialog_Layer();
  ASSERT_NE(main, nullptr);
  IconHandle large = GetCIcon(100), small = GetCIcon(103);
  ASSERT_NE(large, nullptr);
  ASSERT_NE(small, nullptr);
  for (auto [icon, is_small] : {std::pair<IconHandle, bool>{large, false}, {small, true}}) {
    int32 w = 0, h = 0;
    std::vector<uint32> px;
    ASSERT_TRUE(Host_Icon_Image(Host_Window_Icon(main, is_small), w, h, px)) << is_small;
    EXPECT_EQ(w, icon->image.width);
    EXPECT_EQ(h, icon->image.height);
    EXPECT_EQ(px, icon->image.bgra);
  }
  DisposeCIcon(large);
  DisposeCIcon(small);
  // A window icon that cannot be read leaves the class without one, as the
  // desktop's own icon does no harm: nothing is reported, nothing stops.
  g_items.clear();
  const ResErrProc fatal = g_err_res_proc, item = g_item_res_proc;
  g_err_res_proc = g_item_res_proc = Record_Item;
  restest::TempFile file(restest::Archive({{kColorIconResType, 100, {1, 2, 3}}}));
  const int16 slot = HOpenResFile(0, 0, file.path.c_str(), 0);
  ASSERT_GT(slot, 0);
  EXPECT_EQ(Load_Window_Icon(100), nullptr);
  EXPECT_NE(Load_Window_Icon(103), nullptr) << "the program's own, below the file";
  CloseResFile(slot);
  g_err_res_proc = fatal;
  g_item_res_proc = item;
  EXPECT_TRUE(g_items.empty());
  wintest::Stop_Headless_Host();
}

// --- The generator ------------------------------------------------------------------------------------

class Generator : public testdir::TempDirTest {
 protected:
  Generator() : TempDirTest("velmor-resgen") {}
};

TEST_F(Generator, TwoRunsWriteTheSameFileAsTheBuild) {
  std::string first, second;
  for (std::string* out : {&first, &second}) {
    const std::string path = P(out == &first ? "one.txt" : "two.txt");
    const std::string cmd = std::string("'") + VELMOR_RESGEN_EXE + "' '" + path + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    *out = testdir::Read_Text(path);
  }
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(first == second) << "the generator's output changed between two runs";
  EXPECT_TRUE(first == testdir::Read_Text(VELMOR_GENERATED_RESOURCES)) << "the build's copy differs";
  // Bad arguments are refused, an unwritable place is an error.
  EXPECT_NE(std::system((std::string("'") + VELMOR_RESGEN_EXE + "' 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((std::string("'") + VELMOR_RESGEN_EXE + "' '" + P("none/x.txt") + "' 2>/dev/null").c_str()), 0);
}

// --- Contact sheets ------------------------------------------------------------------------------------

// A sheet of pixels 0x00RRGGBB that becomes a PNG beside the program.
struct Sheet {
  int32 w, h;
  std::vector<uint32> px;
  Sheet(int32 width, int32 height, uint32 ground) : w(width), h(height), px(size_t(width) * size_t(height), ground) {}
  void Fill(int32 x0, int32 y0, int32 x1, int32 y1, uint32 rgb) {
    for (int32 y = std::max(0, y0); y < std::min(h, y1); ++y)
      for (int32 x = std::max(0, x0); x < std::min(w, x1); ++x) px[size_t(y) * size_t(w) + size_t(x)] = rgb;
  }
  // A straight-alpha pixel 0xAARRGGBB over the sheet.
  void Blend(int32 x, int32 y, uint32 argb) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    uint32& d = px[size_t(y) * size_t(w) + size_t(x)];
    const uint32 a = argb >> 24;
    uint32 out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const uint32 s = (argb >> shift) & 0xFF, g = (d >> shift) & 0xFF;
      out |= ((s * a + g * (255 - a) + 127) / 255) << shift;
    }
    d = out;
  }
  void Picture(const std::vector<uint32>& argb, int32 pw, int32 ph, int32 x0, int32 y0, int32 zoom) {
    for (int32 y = 0; y < ph * zoom; ++y)
      for (int32 x = 0; x < pw * zoom; ++x) Blend(x0 + x, y0 + y, argb[size_t(y / zoom) * size_t(pw) + size_t(x / zoom)]);
  }
  void Frame(int32 x0, int32 y0, int32 x1, int32 y1, uint32 rgb) {
    Fill(x0, y0, x1, y0 + 1, rgb);
    Fill(x0, y1 - 1, x1, y1, rgb);
    Fill(x0, y0, x0 + 1, y1, rgb);
    Fill(x1 - 1, y0, x1, y1, rgb);
  }
  void Save(const std::string& name) {
    std::string exe = VELMOR4_EXE;
    const std::string folder = exe.substr(0, exe.find_last_of('/')) + "/snapshots/resources";
    ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
    std::string err;
    EXPECT_TRUE(Host_Write_PNG(folder + "/" + name, px.data(), w, h, err)) << err;
  }
};

TEST(ProgramResources, ContactSheetsOfCursorsPaletteAndPatterns) {
  auto a = Program_Archive();
  ASSERT_TRUE(a);
  // Cursors four times enlarged on a light, a dark and a coloured ground,
  // ten to a row in the order of their ids; the hot spot framed in magenta.
  std::vector<int16> ids(std::begin(kMonoCursors), std::end(kMonoCursors));
  ids.insert(ids.end(), std::begin(kColourCursors), std::end(kColourCursors));
  std::sort(ids.begin(), ids.end());
  constexpr int32 kZoom = 4, kCell = 32 * kZoom + 16;
  const uint32 grounds[3] = {0xF2F2F2u, 0x2E2E2Eu, 0x5A8AC6u};
  Sheet cursors(10 * kCell, int32((ids.size() + 9) / 10) * 3 * kCell, 0x808080u);
  for (size_t i = 0; i < ids.size(); ++i) {
    a_res_image img;
    ASSERT_TRUE(ResImage_Decode(kCursorResType, Data(*a, kCursorResType, ids[i]), img));
    for (int g = 0; g < 3; ++g) {
      const int32 x0 = int32(i % 10) * kCell, y0 = (int32(i / 10) * 3 + g) * kCell;
      cursors.Fill(x0 + 1, y0 + 1, x0 + kCell - 1, y0 + kCell - 1, grounds[g]);
      // Mono cursors are half the size: they show at their own size, enlarged alike.
      const int32 ox = x0 + (kCell - img.width * kZoom) / 2, oy = y0 + (kCell - img.height * kZoom) / 2;
      cursors.Picture(img.bgra, img.width, img.height, ox, oy, kZoom);
      if (g == 2)
        cursors.Frame(ox + img.hot_h * kZoom - 1, oy + img.hot_v * kZoom - 1, ox + (img.hot_h + 1) * kZoom + 1,
                      oy + (img.hot_v + 1) * kZoom + 1, 0xFF00FFu);
    }
  }
  cursors.Save("cursors.png");

  // The palette as the bar lays it out: the user colours in a column at the
  // left, black and white sharing the first row, then six blocks.
  const std::vector<Rgb> t = Colour_Table(*a);
  ASSERT_EQ(t.size(), 870u);
  constexpr int32 kCw = 12, kCh = 24, kLeft = 30, kGap = 3;
  auto rgb = [](const Rgb& c) { return uint32(c.r) << 16 | uint32(c.g) << 8 | uint32(c.b); };
  Sheet palette(kLeft + 126 * kCw + 5 * kGap + 8, 7 * kCh + 8, 0xA0A0A0u);
  for (int i = 0; i < 7; ++i) palette.Fill(4, 4 + i * kCh, 4 + 22, 4 + (i + 1) * kCh, rgb(t[size_t(i)]));
  auto cell_x = [&](int block, int column) { return kLeft + 4 + (block * 21 + column) * kCw + block * kGap; };
  palette.Fill(cell_x(0, 0), 4, cell_x(0, 0) + 21 * kCw / 2, 4 + kCh, rgb(t[7]));
  palette.Fill(cell_x(0, 0) + 21 * kCw / 2, 4, cell_x(0, 21), 4 + kCh, rgb(t[8]));
  for (int k = 9; k < 870; ++k) {
    const Cell c = Cell_Of(k);
    palette.Fill(cell_x(c.block, c.column), 4 + c.row * kCh, cell_x(c.block, c.column) + kCw, 4 + (c.row + 1) * kCh,
                 rgb(t[size_t(k)]));
  }
  palette.Save("palette.png");

  // The patterns tiled three by three, four times enlarged: black on white,
  // and in the separator's colours (grey on rose) below.
  const auto pats = Patterns(*a);
  ASSERT_EQ(pats.size(), 38u);
  constexpr int32 kTile = 24 * kZoom + 8;
  Sheet patterns(10 * kTile, 8 * kTile, 0xC8C8C8u);
  for (size_t i = 0; i < pats.size(); ++i) {
    for (int scheme = 0; scheme < 2; ++scheme) {
      const uint32 fg = scheme == 0 ? 0x000000u : 0x737373u, bg = scheme == 0 ? 0xFFFFFFu : 0xEFDBD7u;
      const int32 x0 = int32(i % 10) * kTile + 4, y0 = (int32(i / 10) * 2 + scheme) * kTile + 4;
      for (int32 y = 0; y < 24 * kZoom; ++y)
        for (int32 x = 0; x < 24 * kZoom; ++x)
          patterns.Fill(x0 + x, y0 + y, x0 + x + 1, y0 + y + 1, Bit(pats[i], x / kZoom, y / kZoom) ? fg : bg);
    }
  }
  patterns.Save("patterns.png");

  // The program icon: 16 and 32 at their size and four times enlarged, the
  // PNG files at theirs, on a light and a dark ground.
  Resources_Init();
  Sheet icons(16 + 32 + 64 + 128 + 48 + 128 + 256 + 9 * 8, 2 * (256 + 16), 0x808080u);
  for (int g = 0; g < 2; ++g) {
    const int32 top = g * (256 + 16);
    icons.Fill(0, top, icons.w, top + 256 + 16, g == 0 ? 0xF2F2F2u : 0x2E2E2Eu);
    int32 x = 8;
    for (auto [id, zoom] : {std::pair<int16, int32>{103, 1}, {100, 1}, {103, 4}, {100, 4}}) {
      IconHandle icon = GetCIcon(id);
      ASSERT_NE(icon, nullptr);
      icons.Picture(icon->image.bgra, icon->image.width, icon->image.height, x, top + 8, zoom);
      x += icon->image.width * zoom + 8;
      DisposeCIcon(icon);
    }
    for (int16 size : {48, 128, 256}) {
      Decoded png;
      ASSERT_TRUE(Decode_Png(Data(*a, kIconPngResType, size), png));
      icons.Picture(png.bgra, png.width, png.height, x, top + 8, 1);
      x += size + 8;
    }
  }
  icons.Save("icons.png");
}

}  // namespace
