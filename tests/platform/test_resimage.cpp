// Pictures from the resources: icons, pixel patterns and cursors, from their
// text source through the resource compiler to the decoded pixels, the
// checks that refuse damaged ones, the missing-item rule of their loaders,
// icons drawn into worlds and cursors reaching the headless backend.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "FontTestSupport.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "WinTestSupport.h"
#include "host/HostBackend.h"
#include "host/HostResources.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "platform/Icons.h"
#include "platform/Quickdraw.h"
#include "platform/ResImage.h"
#include "platform/ResTestUtil.h"
#include "platform/Resources.h"
#include "platform/SysCurs.h"
#include "platform/SysDlog.h"
#include "platform/SysErr.h"
#include "platform/SysWin.h"
#include "platform/Dialogs.h"
#include "platform/VoskErr.h"

namespace {

using restest::Archive;
using restest::Res;
using restest::TempFile;

// Rows of a w x h picture of `fill`, with single pixels set, each row a
// quoted line as the resource compiler takes it.
std::string Rows(int w, int h, char fill, std::initializer_list<std::tuple<int, int, char>> dots = {}) {
  std::vector<std::string> rows(size_t(h), std::string(size_t(w), fill));
  for (const auto& [x, y, c] : dots) rows[size_t(y)][size_t(x)] = c;
  std::string s;
  for (const std::string& r : rows) s += "\"" + r + "\"\n";
  return s;
}

struct Compiled {
  int status = -1;
  std::string output;   // the compiler's messages
  std::vector<uint8> archive;
};

// Runs the resource compiler on one source text.
Compiled Compile(const std::string& dir, const std::string& source) {
  const std::string src = dir + "/pictures.txt", out = dir + "/pictures.bin";
  std::remove(out.c_str());
  testdir::Write_Text(src, source);
  Compiled c;
  const std::string cmd = std::string("'") + VELMOR_RESCOMP_EXE + "' --bin '" + out + "' '" + src + "' 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return c;
  char buf[512];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) c.output.append(buf, n);
  const int st = pclose(p);
  c.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  const std::string bytes = testdir::Read_Text(out);
  c.archive.assign(bytes.begin(), bytes.end());
  return c;
}

std::span<const uint8> Data_Of(const host::ResArchive& a, OSType type, int16 id) {
  std::span<const uint8> d;
  EXPECT_TRUE(a.Find(type, id, &d)) << id;
  return d;
}

// Reports of the item hook while the program runs.
std::vector<std::pair<OSType, int16>> g_items;
void Record_Item(OSType kind, int16 id) { g_items.emplace_back(kind, id); }

class PicturesTest : public testdir::TempDirTest {
 protected:
  PicturesTest() : TempDirTest("velmor-pictures") {}
  void SetUp() override {
    TempDirTest::SetUp();
    Resources_Init();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    g_items.clear();
  }
  void TearDown() override {
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    for (GWorldPtr& w : worlds_) Dispose_GWorld(w);
    Stop_Quickdraw();
    Resources_Init();
    SysErr_Set_Running(false);
    TempDirTest::TearDown();
  }
  // Opens archive bytes as resource file 1.
  int16 Open(const std::vector<uint8>& bytes) {
    files_.push_back(std::make_unique<TempFile>(bytes));
    const int16 slot = HOpenResFile(0, 0, files_.back()->path.c_str(), 0);
    EXPECT_GT(slot, 0);
    return slot;
  }
  // A 32-bit world made the current port, every pixel raw value `fill`.
  GWorldPtr World(Rect bounds, uint32 fill) {
    GWorldPtr w = nullptr;
    EXPECT_EQ(New_GWorld(bounds, 32, nullptr, w), noErr);
    worlds_.push_back(w);
    Push_GWorld(w);
    for (int32 y = bounds.top; y < bounds.bottom; ++y)
      for (int32 x = bounds.left; x < bounds.right; ++x) Set_Px(w, x, y, fill);
    return w;
  }
  static uint32* Px_Ptr(GWorldPtr w, int32 x, int32 y) {
    auto* row = reinterpret_cast<uint8*>(w->pix.baseAddr) + size_t(y - w->pix.bounds.top) * PixMap_RowBytes(w->pix);
    return reinterpret_cast<uint32*>(row) + (x - w->pix.bounds.left);
  }
  static uint32 Px(GWorldPtr w, int32 x, int32 y) { return *Px_Ptr(w, x, y); }
  static uint32 Rgb(GWorldPtr w, int32 x, int32 y) { return Px(w, x, y) & 0xFFFFFFu; }
  static void Set_Px(GWorldPtr w, int32 x, int32 y, uint32 v) { *Px_Ptr(w, x, y) = v; }

  std::vector<std::unique_ptr<TempFile>> files_;
  std::vector<GWorldPtr> worlds_;
};

// --- From the text source through the compiler to the pixels ---------------------------------

std::string Round_Trip_Source() {
  return "[ICON 3000]\n" + Rows(32, 32, '.', {{0, 0, 'X'}, {31, 31, 'X'}}) +
         "[ICN# 3001]\n" + Rows(32, 32, '.', {{0, 0, 'X'}, {1, 0, 'o'}, {31, 31, 'X'}}) +
         "[cicn 3001]  # the same id in colour: GetCIcon prefers it\n"
         "colour r 0xFF0000\n"
         "\"r\"\n"
         "[cicn 3002]\n"
         "colour r 0xFF0000\n"
         "colour h 0x0000FF80   # half transparent blue\n"
         "colour . none\n"
         "\"r.h\"\n"
         "\"hr.\"\n"
         "[ppat 3003]\n"
         "colour a 0x102030\n"
         "colour \"#\" 0xFFFFFF\n"
         "\"a#\"\n"
         "\"#a\"\n"
         "[CURS 3004]\n"
         "hotspot 3 5\n" +
         Rows(16, 16, '.', {{0, 0, 'X'}, {1, 0, 'o'}, {2, 0, '~'}}) +
         "[CURS 3005]\n"
         "colour k 0x000000\n"
         "colour . none\n"
         "hotspot 31 0\n" +
         Rows(32, 32, '.', {{31, 0, 'k'}});
}

TEST_F(PicturesTest, CompiledPicturesDecodeToTheirPixels) {
  const Compiled c = Compile(dir, Round_Trip_Source());
  ASSERT_EQ(c.status, 0) << c.output;
  std::string err;
  auto a = host::ResArchive::Open_Bytes(c.archive, true, &err);
  ASSERT_TRUE(a) << err;

  struct Case {
    OSType type;
    int16 id;
    size_t bytes;
    int32 w, h;
    std::vector<std::tuple<int32, int32, uint32>> pixels;
  } cases[] = {
      {kIconResType, 3000, 128, 32, 32, {{0, 0, 0xFF000000u}, {1, 0, 0xFFFFFFFFu}, {31, 31, 0xFF000000u}}},
      {kIconMaskResType, 3001, 256, 32, 32,
       {{0, 0, 0xFF000000u}, {1, 0, 0xFFFFFFFFu}, {2, 0, 0u}, {31, 31, 0xFF000000u}}},
      {kColorIconResType, 3002, 4 + 6 * 4, 3, 2,
       {{0, 0, 0xFFFF0000u}, {1, 0, 0u}, {2, 0, 0x800000FFu}, {0, 1, 0x800000FFu}, {1, 1, 0xFFFF0000u}}},
      {kPixPatResType, 3003, 4 + 4 * 4, 2, 2, {{0, 0, 0xFF102030u}, {1, 0, 0xFFFFFFFFu}, {1, 1, 0xFF102030u}}},
      // An inverting pixel is shown black; no mask and no image is transparent.
      {kCursorResType, 3004, 68, 16, 16, {{0, 0, 0xFF000000u}, {1, 0, 0xFFFFFFFFu}, {2, 0, 0xFF000000u}, {3, 0, 0u}}},
      {kCursorResType, 3005, 4104, 32, 32, {{31, 0, 0xFF000000u}, {30, 0, 0u}}},
  };
  for (const Case& k : cases) {
    std::span<const uint8> d = Data_Of(*a, k.type, k.id);
    EXPECT_EQ(d.size(), k.bytes) << k.id;
    a_res_image img;
    ASSERT_TRUE(ResImage_Decode(k.type, d, img)) << k.id;
    EXPECT_EQ(img.width, k.w) << k.id;
    EXPECT_EQ(img.height, k.h) << k.id;
    for (const auto& [x, y, v] : k.pixels) EXPECT_EQ(ResImage_Pixel(img, x, y), v) << k.id << " at " << x << "," << y;
  }
  // The mono cursor's bytes as its layout says: image and mask rows, then
  // the hot spot v before h.
  std::span<const uint8> m = Data_Of(*a, kCursorResType, 3004);
  EXPECT_EQ(m[0], 0xA0);   // X and ~ set image bits
  EXPECT_EQ(m[32], 0xC0);  // X and o are opaque
  EXPECT_EQ(m[64] | (m[65] << 8), 5);
  EXPECT_EQ(m[66] | (m[67] << 8), 3);
  a_res_image curs;
  ASSERT_TRUE(ResImage_Decode(kCursorResType, Data_Of(*a, kCursorResType, 3005), curs));
  EXPECT_EQ(curs.hot_h, 31);
  EXPECT_EQ(curs.hot_v, 0);

  // The loaders find them through the resource files, each icon call
  // preferring its own form.
  Open(c.archive);
  IconHandle mono = GetIcon(3001), colour = GetCIcon(3001), only_colour = GetIcon(3002);
  ASSERT_NE(mono, nullptr);
  ASSERT_NE(colour, nullptr);
  ASSERT_NE(only_colour, nullptr);
  EXPECT_EQ(mono->type, kIconMaskResType);
  EXPECT_EQ(colour->type, kColorIconResType);
  EXPECT_EQ(only_colour->type, kColorIconResType);
  EXPECT_EQ(only_colour->image.width, 3);
  DisposeCIcon(mono);
  DisposeCIcon(colour);
  DisposeCIcon(only_colour);
  EXPECT_EQ(mono, nullptr);
}

TEST_F(PicturesTest, CompilerErrorsNameTheFileAndLine) {
  const std::string mono16 = Rows(16, 16, '.');
  struct Case {
    std::string source;
    int line;
    const char* message;
  } cases[] = {
      {"[cicn 1]\ncolour a 0x000000\n\"aa\"\n\"aaa\"\n", 4, "pixels wide"},
      {"[CURS 1]\nhotspot 0 0\n" + mono16 + "\"................\"\n", 19, "has 16 rows"},
      {"[CURS 1]\nhotspot 0 0\n" + Rows(16, 15, '.'), 1, "16 rows, not 15"},
      {"[ICN# 1]\n" + Rows(32, 32, '.', {{4, 4, 'q'}}), 6, "pixel 'q'"},
      {"[ICN# 1]\ncolour a 0x000000\n", 2, "is mono"},
      {"[ICON 1]\n" + Rows(31, 32, '.'), 2, "32 pixels wide"},
      {"[cicn 1]\ncolour a 0x000000\n\"ab\"\n", 3, "pixel 'b' has no colour"},
      {"[ppat 1]\ncolour a 0x00000080\n", 2, "opaque"},
      {"[CURS 1]\n" + mono16, 1, "hotspot"},
      {"[CURS 1]\nhotspot 16 3\n" + mono16, 2, "outside"},
      {"[cicn 1]\nhotspot 0 0\n", 2, "only a CURS"},
      {"[cicn 1]\ncolour a 0x000000\ncolour a 0xFFFFFF\n", 3, "given twice"},
      {"[cicn 1]\ncolour a red\n", 2, "bad colour"},
      {"[cicn 1]\ncolour a 0x000000\n" + Rows(129, 1, 'a'), 3, "at most 128"},
      {"[ppat 1]\ncolour a 0x000000\n" + Rows(1, 65, 'a'), 67, "at most 64 rows"},
      {"[cicn 1]\n\"...\"\n", 1, "needs colour lines"},
      {"[ppat 1]\ncolour a 0x000000\n", 1, "no rows"},
      {"[cicn 1]\nhex 00\n", 2, "expected colour"},
      {"[CURS 1]\ncolour k 0x000000\nhotspot 0 0\n" + Rows(32, 31, 'k'), 1, "32 rows, not 31"},
  };
  for (const Case& k : cases) {
    const Compiled c = Compile(dir, k.source);
    EXPECT_EQ(c.status, 1) << k.source;
    const std::string where = "pictures.txt:" + std::to_string(k.line) + ": error: ";
    EXPECT_NE(c.output.find(where), std::string::npos) << c.output << "\nwanted line " << k.line;
    EXPECT_NE(c.output.find(k.message), std::string::npos) << c.output;
    EXPECT_TRUE(c.archive.empty()) << "no archive is written after an error";
  }
}

// Every picture the program carries decodes; a broken one would only show
// when a user meets it.
TEST(AuthoredPictures, EveryPictureOfTheProgramDecodes) {
  std::string err;
  auto a = host::ResArchive::Open_Embedded(&err);
  ASSERT_TRUE(a) << err;
  int pictures = 0;
  for (const host::ResIndexEntry& e : a->Index()) {
    if (e.type != kIconResType && e.type != kIconMaskResType && e.type != kColorIconResType &&
        e.type != kPixPatResType && e.type != kCursorResType)
      continue;
    a_res_image img;
    EXPECT_TRUE(ResImage_Decode(e.type, a->Bytes().subspan(e.offset, e.size), img)) << e.id;
    ++pictures;
  }
  EXPECT_GE(pictures, 8);
  // The icons the window class names: the program's large and small icon.
  for (auto [id, size] : {std::pair<int16, int32>{100, 32}, {103, 16}}) {
    IconHandle icon = GetCIcon(id);
    ASSERT_NE(icon, nullptr) << id;
    EXPECT_EQ(icon->image.width, size);
    DisposeCIcon(icon);
  }
}

// Every picture of the program drawn on a light and on a dark ground, as a
// sheet a person can look at (snapshots/pictures.png beside the program,
// four times enlarged): an opaque pixel of the artwork shows as it is, a
// transparent one leaves the ground.
TEST_F(PicturesTest, SheetOfTheProgramsPicturesOnLightAndDark) {
  std::string err;
  auto a = host::ResArchive::Open_Embedded(&err);
  ASSERT_TRUE(a) << err;
  std::vector<a_icon_rec> pictures;
  for (const host::ResIndexEntry& e : a->Index()) {
    a_icon_rec r{e.type, e.id, {}};
    if (ResImage_Decode(e.type, a->Bytes().subspan(e.offset, e.size), r.image)) pictures.push_back(std::move(r));
  }
  ASSERT_FALSE(pictures.empty());
  constexpr int32 kCell = 40;
  const uint32 grounds[2] = {0x00F2F2F2u, 0x00303030u};
  const int32 width = kCell * int32(pictures.size()), height = 2 * kCell;
  GWorldPtr w = World(Rect{0, 0, int16(height), int16(width)}, 0);
  for (int row = 0; row < 2; ++row) {
    for (size_t i = 0; i < pictures.size(); ++i) {
      const int32 left = kCell * int32(i), top = kCell * row;
      for (int32 y = top; y < top + kCell; ++y)
        for (int32 x = left; x < left + kCell; ++x) Set_Px(w, x, y, grounds[row]);
      const a_res_image& img = pictures[i].image;
      const int32 ox = left + (kCell - img.width) / 2, oy = top + (kCell - img.height) / 2;
      PlotCIcon(Rect{int16(oy), int16(ox), int16(oy + img.height), int16(ox + img.width)}, &pictures[i]);
      int bad = 0;
      for (int32 y = 0; y < img.height; ++y)
        for (int32 x = 0; x < img.width; ++x) {
          const uint32 p = ResImage_Pixel(img, x, y), alpha = p >> 24;
          if ((alpha == 255 && Rgb(w, ox + x, oy + y) != (p & 0xFFFFFF)) ||
              (alpha == 0 && Rgb(w, ox + x, oy + y) != grounds[row]))
            ++bad;
        }
      EXPECT_EQ(bad, 0) << "picture " << pictures[i].id;
    }
  }
  // Four times enlarged, beside the program.
  constexpr int32 kZoom = 4;
  std::vector<uint32> big(size_t(width * kZoom) * size_t(height * kZoom));
  for (int32 y = 0; y < height * kZoom; ++y)
    for (int32 x = 0; x < width * kZoom; ++x) big[size_t(y) * size_t(width * kZoom) + size_t(x)] = Px(w, x / kZoom, y / kZoom);
  std::string exe = VELMOR4_EXE;
  const std::string folder = exe.substr(0, exe.find_last_of('/')) + "/snapshots";
  ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
  EXPECT_TRUE(Host_Write_PNG(folder + "/pictures.png", big.data(), width * kZoom, height * kZoom, err)) << err;
}

// --- Damaged resources ------------------------------------------------------------------------

std::vector<uint8> Sized(uint16 w, uint16 h, size_t pixel_bytes) {
  std::vector<uint8> d;
  restest::Put16(d, w);
  restest::Put16(d, h);
  d.resize(d.size() + pixel_bytes, 0x7F);
  return d;
}
std::vector<uint8> Colour_Cursor(uint16 w, uint16 h, int16 v, int16 hh, size_t pixel_bytes) {
  std::vector<uint8> d = Sized(w, h, 0);
  restest::Put16(d, uint16(v));
  restest::Put16(d, uint16(hh));
  d.resize(d.size() + pixel_bytes, 0x7F);
  return d;
}

TEST(ResImageDecode, DamagedPicturesAreRefusedWhole) {
  struct Case {
    OSType type;
    std::vector<uint8> data;
    const char* what;
  } cases[] = {
      {kIconResType, std::vector<uint8>(127), "ICON one byte short"},
      {kIconResType, std::vector<uint8>(129), "ICON one byte long"},
      {kIconMaskResType, std::vector<uint8>(128), "ICN# without its mask"},
      {kColorIconResType, std::vector<uint8>(3), "cicn shorter than its header"},
      {kColorIconResType, Sized(0, 1, 0), "cicn of width 0"},
      {kColorIconResType, Sized(129, 1, 129 * 4), "cicn wider than 128"},
      {kColorIconResType, Sized(2, 2, 15), "cicn pixels cut short"},
      {kColorIconResType, Sized(2, 2, 17), "cicn with bytes after its pixels"},
      {kColorIconResType, Sized(0xFFFF, 0xFFFF, 4), "cicn claiming far more than it holds"},
      {kPixPatResType, Sized(65, 1, 65 * 4), "ppat wider than 64"},
      {kCursorResType, std::vector<uint8>(67), "mono cursor one byte short"},
      {kCursorResType, std::vector<uint8>(69), "no cursor form of 69 bytes"},
      {kCursorResType, Colour_Cursor(16, 16, 0, 0, 4096), "colour cursor not 32 x 32"},
      {kCursorResType, Colour_Cursor(32, 32, 32, 0, 4096), "hot spot below the cursor"},
      {kCursorResType, Colour_Cursor(32, 32, 0, -1, 4096), "hot spot left of the cursor"},
      {kCursorResType, Colour_Cursor(32, 32, 0, 0, 4095), "colour cursor cut short"},
      {FourCC("PICT"), std::vector<uint8>(128), "not a picture type"},
  };
  for (const Case& k : cases) {
    a_res_image img;
    img.width = 5;
    img.bgra.assign(4, 1);
    EXPECT_FALSE(ResImage_Decode(k.type, k.data, img)) << k.what;
    EXPECT_EQ(img.width, 0) << k.what;
    EXPECT_TRUE(img.bgra.empty()) << k.what;
  }
  // The mono cursor keeps a hot spot outside its cell at the nearest edge.
  std::vector<uint8> mono(68, 0);
  mono[64] = 40;    // v
  mono[66] = 0xFF;  // h = -1
  mono[67] = 0xFF;
  a_res_image img;
  ASSERT_TRUE(ResImage_Decode(kCursorResType, mono, img));
  EXPECT_EQ(img.hot_v, 15);
  EXPECT_EQ(img.hot_h, 0);
}

// A library holding a damaged picture of each kind.
std::vector<uint8> Damaged_Library() {
  std::vector<uint8> short_patterns{3, 0};  // claims 3 patterns, holds 2
  short_patterns.resize(2 + 16, 0x55);
  return Archive({{kCursorResType, 3100, std::vector<uint8>(67)},
                  {FourCC("PAT#"), 3103, short_patterns},
                  {kColorIconResType, 3101, Sized(2, 2, 15)},
                  {kPixPatResType, 3102, Sized(65, 1, 65 * 4)}});
}

// Before the program runs, a damaged or missing picture is fatal (the test
// hooks throw); once it runs, it is reported without halting and the call
// refuses: NIL, no pattern, the cursor shown left alone.
TEST_F(PicturesTest, DamagedOrMissingPicturesFollowTheMissingItemRule) {
  Open(Damaged_Library());
  struct Load {
    OSType kind;
    int16 id;
    bool (*refused)();  // runs the loader; TRUE when it refused
  } loads[] = {
      {kColorIconResType, 3101, [] { return GetCIcon(3101) == nullptr; }},
      {kColorIconResType, 3999, [] { return GetCIcon(3999) == nullptr; }},
      {kIconResType, 3999, [] { return GetIcon(3999) == nullptr; }},
      {kPixPatResType, 3102, [] { return GetPixPat(3102) == nullptr; }},
      {kPixPatResType, 3999, [] { return GetPixPat(3999) == nullptr; }},
      {FourCC("PAT#"), 3103, [] {
         Pattern p = kPatGray;
         return !GetIndPattern(p, 3103, 1) && p == kPatGray;
       }},
      {FourCC("PAT#"), 3999, [] {
         Pattern p = kPatGray;
         return !GetIndPattern(p, 3999, 1) && p == kPatGray;
       }},
      {kCursorResType, 3100, [] {
         a_cursor_desc c{COLOR_CURSOR, 3100, 0, nullptr};
         Cursor_Load(c);
         return c.hdl == nullptr;
       }},
  };
  for (const Load& l : loads) {
    try {
      l.refused();
      ADD_FAILURE() << "not fatal during start-up: " << l.id;
    } catch (const ResErrCalled& e) {
      EXPECT_EQ(e.kind, l.kind) << l.id;
      EXPECT_EQ(e.id, l.id);
    }
  }
  g_item_res_proc = Record_Item;
  SysErr_Set_Running(true);
  for (const Load& l : loads) {
    g_items.clear();
    EXPECT_TRUE(l.refused()) << l.id;
    ASSERT_EQ(g_items.size(), 1u) << l.id;
    EXPECT_EQ(g_items[0].first, l.kind) << l.id;
    EXPECT_EQ(g_items[0].second, l.id);
  }
}

TEST_F(PicturesTest, CursorThatFailedToLoadKeepsTheCursorShown) {
  Open(Damaged_Library());
  g_item_res_proc = Record_Item;
  SysErr_Set_Running(true);
  SysCurs_Init();
  a_cursor_desc busy{ANIM_CURSOR, 0, 0, nullptr};
  Cursor_Set(busy);
  a_cursor_desc broken{MONO_CURSOR, 3100, 0, nullptr};
  Cursor_Load(broken);
  ASSERT_EQ(broken.hdl, nullptr);
  Cursor_Set(broken);
  EXPECT_EQ(Host_Cursor_System_Id(GetCursor()), IDC_WAIT);
  EXPECT_EQ(gcurs.class_, ANIM_CURSOR);
  Cursor_Reset();
  Host_Win_Reset();
}

TEST_F(PicturesTest, PatternListIndexOutsideAnIntactListIsTheCallersError) {
  std::vector<uint8> list{1, 0};
  list.resize(2 + 8, 0x33);
  Open(Archive({{FourCC("PAT#"), 3200, list}}));
  Pattern p{};
  EXPECT_TRUE(GetIndPattern(p, 3200, 1));
  EXPECT_EQ(p.pat[7], 0x33);
  EXPECT_THROW(GetIndPattern(p, 3200, 2), QuitCalled);
  EXPECT_THROW(GetIndPattern(p, 3200, 0), QuitCalled);
}

// --- Drawing ---------------------------------------------------------------------------------

std::string Drawing_Source() {
  // ICN# 3300: columns 0..15 black, 16..23 white, 24..31 transparent.
  std::string left(16, 'X'), mid(8, 'o'), right(8, '.');
  std::string icn;
  for (int y = 0; y < 32; ++y) icn += "\"" + left + mid + right + "\"\n";
  return "[ICN# 3300]\n" + icn +
         "[cicn 3301]\n"
         "colour r 0xFF0000\n"
         "colour h 0x0000FF80\n"
         "colour . none\n"
         "\"r.h\"\n"
         "\"hrr\"\n"
         "[ppat 3302]\n"
         "colour a 0x102030\n"
         "colour b 0xF0E0D0\n"
         "\"ab\"\n"
         "\"bb\"\n";
}

TEST_F(PicturesTest, ColourIconIsDrawnThroughItsAlphaInLocalCoordinates) {
  const Compiled c = Compile(dir, Drawing_Source());
  ASSERT_EQ(c.status, 0) << c.output;
  Open(c.archive);
  IconHandle icon = GetCIcon(3301);
  ASSERT_NE(icon, nullptr);
  const uint32 grey = 0x00808080u;
  GWorldPtr w = World(Rect{-8, -6, 12, 14}, grey);
  PlotCIcon(Rect{-2, -3, 0, 0}, icon);  // drawn at its own size whatever the box
  auto expect = [&](int32 x, int32 y) -> uint32 {
    if (y == -2 && x == -3) return 0xFF0000;
    if (y == -2 && x == -2) return 0x808080;  // transparent
    // Half blue over grey: 128 of 255 blue, the rest grey, rounded.
    if ((y == -2 && x == -1) || (y == -1 && x == -3)) return 0x4040C0;
    if (y == -1 && (x == -2 || x == -1)) return 0xFF0000;
    return 0x808080;
  };
  int bad = 0;
  for (int32 y = -8; y < 12; ++y)
    for (int32 x = -6; x < 14; ++x)
      if (Rgb(w, x, y) != expect(x, y)) ++bad;
  EXPECT_EQ(bad, 0);
  PlotCIcon(Rect{0, 0, 0, 0}, nullptr);  // nothing to draw: nothing happens
  PlotIcon(nullptr, Rect{0, 0, 40, 40});
  EXPECT_EQ(Rgb(w, 0, 0), 0x808080u);
  DisposeCIcon(icon);
}

TEST_F(PicturesTest, PlotIconDrawsFullSizeOrScalesAMonoCellIntoSmallBoxes) {
  const Compiled c = Compile(dir, Drawing_Source());
  ASSERT_EQ(c.status, 0) << c.output;
  Open(c.archive);
  IconHandle icon = GetIcon(3300);
  ASSERT_NE(icon, nullptr);
  const uint32 grey = 0x00808080u;

  // A box of 32 x 32 or more: the icon at its own size through its mask.
  GWorldPtr big = World(Rect{0, 0, 40, 40}, grey);
  PlotIcon(icon, Rect{4, 2, 44, 42});
  int bad = 0;
  for (int32 y = 0; y < 40; ++y) {
    for (int32 x = 0; x < 40; ++x) {
      const int32 ix = x - 2, iy = y - 4;
      uint32 want = 0x808080;
      if (ix >= 0 && ix < 32 && iy >= 0 && iy < 32) want = ix < 16 ? 0x000000 : ix < 24 ? 0xFFFFFF : 0x808080;
      if (Rgb(big, x, y) != want) ++bad;
    }
  }
  EXPECT_EQ(bad, 0);
  Pop_GWorld();

  // A smaller box: the 32 x 32 mono cell (transparent parts white) scaled
  // into it, its black in the foreground colour and its white in the
  // background colour.
  struct Case {
    bool colours;
    uint32 fore, back;
  } cases[] = {{false, 0x000000, 0xFFFFFF}, {true, 0xFF0000, 0x0000FF}};
  for (const Case& k : cases) {
    GWorldPtr small = World(Rect{0, 0, 24, 24}, grey);
    if (k.colours) {
      RGBForeColor(RGBColor{0xFFFF, 0, 0});
      RGBBackColor(RGBColor{0, 0, 0xFFFF});
    }
    PlotIcon(icon, Rect{0, 0, 16, 16});
    bad = 0;
    for (int32 y = 0; y < 24; ++y)
      for (int32 x = 0; x < 24; ++x) {
        const uint32 want = (x >= 16 || y >= 16) ? 0x808080 : x < 8 ? k.fore : k.back;
        if (Rgb(small, x, y) != want) ++bad;
      }
    EXPECT_EQ(bad, 0) << k.colours;
    Pop_GWorld();
  }
  DisposeCIcon(icon);
}

TEST_F(PicturesTest, PixelPatternBecomesABitmapOfItsPixels) {
  const Compiled c = Compile(dir, Drawing_Source());
  ASSERT_EQ(c.status, 0) << c.output;
  Open(c.archive);
  GWorldPtr w = World(Rect{0, 0, 4, 4}, 0);
  const size_t live = Host_Gdi_Live_Objects();
  PicHandle pat = GetPixPat(3302);
  ASSERT_NE(pat, nullptr);
  DrawPicture(pat, Rect{1, 1, 4, 4});  // the pattern's 2 x 2, the rest of the box untouched
  EXPECT_EQ(Px(w, 1, 1), 0xFF102030u);
  EXPECT_EQ(Px(w, 2, 1), 0xFFF0E0D0u);
  EXPECT_EQ(Px(w, 1, 2), 0xFFF0E0D0u);
  EXPECT_EQ(Px(w, 2, 2), 0xFFF0E0D0u);
  EXPECT_EQ(Px(w, 3, 3), 0u);
  EXPECT_EQ(Px(w, 0, 0), 0u);
  DisposePixPat(pat);
  EXPECT_EQ(pat, nullptr);
  EXPECT_EQ(Host_Gdi_Live_Objects(), live);
}

// --- Cursors on the headless backend --------------------------------------------------------

class CursorBackendTest : public PicturesTest {
 protected:
  void SetUp() override {
    PicturesTest::SetUp();
    Host_Win_Reset();
    Host_Backend_Start_Headless(800, 600);
    SysCurs_Init();
  }
  void TearDown() override {
    Cursor_Reset();
    Host_Win_Reset();
    Host_Backend_Stop();
    PicturesTest::TearDown();
  }
  static HostShownCursor Shown() {
    HostShownCursor s;
    EXPECT_TRUE(Host_Backend_Shown_Cursor(s));
    return s;
  }
};

TEST_F(CursorBackendTest, CursorShapesReachTheBackendWithTheirHotSpots) {
  const Compiled c = Compile(dir, Round_Trip_Source());
  ASSERT_EQ(c.status, 0) << c.output;
  Open(c.archive);
  a_cursor_desc colour{COLOR_CURSOR, 3005, 0, nullptr}, mono{MONO_CURSOR, 3004, 0, nullptr};
  Cursor_Load(colour);
  Cursor_Load(mono);
  ASSERT_NE(colour.hdl, nullptr);
  ASSERT_NE(mono.hdl, nullptr);

  const uint32 before = Shown().changes;
  Cursor_Set(colour);
  HostShownCursor s = Shown();
  EXPECT_GT(s.changes, before);
  EXPECT_EQ(s.system_id, 0u);
  EXPECT_EQ(s.width, 32);
  EXPECT_EQ(s.height, 32);
  EXPECT_EQ(s.hot_x, 31);
  EXPECT_EQ(s.hot_y, 0);
  ASSERT_EQ(s.bgra.size(), 32u * 32u);
  EXPECT_EQ(s.bgra[31], 0xFF000000u);
  EXPECT_EQ(s.bgra[30], 0u);

  Cursor_Set(mono);
  s = Shown();
  EXPECT_EQ(s.width, 16);
  EXPECT_EQ(s.hot_x, 3);
  EXPECT_EQ(s.hot_y, 5);
  ASSERT_EQ(s.bgra.size(), 16u * 16u);
  EXPECT_EQ(s.bgra[0], 0xFF000000u);
  EXPECT_EQ(s.bgra[1], 0xFFFFFFFFu);
  EXPECT_EQ(s.bgra[3], 0u);

  // The animated class shows the host's busy cursor, the default its arrow.
  a_cursor_desc busy{ANIM_CURSOR, 128, 10, nullptr};
  Cursor_Load(busy);
  Cursor_Set(busy);
  EXPECT_EQ(Shown().system_id, IDC_WAIT);
  Cursor_Reset();
  EXPECT_EQ(Shown().system_id, IDC_ARROW);

  // Unloading the cursor on the screen puts the arrow there.
  Cursor_Set(colour);
  EXPECT_EQ(Shown().width, 32);
  Cursor_Unload(colour);
  EXPECT_EQ(Shown().system_id, IDC_ARROW);
  Cursor_Unload(mono);
}

// --- The alert of a missing picture while the program runs -----------------------------------

class MissingPictureAlertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    wintest::Start_Dialog_Layer();
    SetActiveWindow(gs.outer_window);
    g_item_res_proc = MissingResource_Item;
  }
  void TearDown() override {
    SysErr_Set_Running(false);
    Resources_Init();
    wintest::Clear_Port_State();
    gs.outer_window = nullptr;
    Host_Script_Reset();
    wintest::Stop_Headless_Host();
  }
};

TEST_F(MissingPictureAlertTest, UserActionMeetingAMissingIconShowsAlertSixAndGoesOn) {
  SysErr_Set_Running(true);
  testing::internal::CaptureStderr();
  IconHandle icon = GetCIcon(31999);
  a_cursor_desc c{COLOR_CURSOR, 31998, 0, nullptr};
  Cursor_Load(c);
  const std::string out = testing::internal::GetCapturedStderr();
  EXPECT_EQ(icon, nullptr);
  EXPECT_EQ(c.hdl, nullptr);
  const std::string text = "velmor: alert 6: Sorry, your program file is missing a piece of data, and cannot continue.\n";
  EXPECT_NE(out.find(text + "[cicn  31999]"), std::string::npos) << out;
  EXPECT_NE(out.find(text + "[CURS  31998]"), std::string::npos) << out;
  EXPECT_EQ(modal_n, 0) << "the alert is closed again";
}

}  // namespace
