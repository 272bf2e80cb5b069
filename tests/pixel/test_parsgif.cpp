// The GIF reader and writer and their LZW coder: code widths and table
// clears, the files the writer makes, the input the reader refuses, and files
// exchanged with netpbm and ImageMagick in both directions.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ImageTestUtil.h"
#include "TestSupport.h"
#include "pixel/ParsGIF.h"
#include "platform/SysWin.h"

using namespace imgtest;

namespace {

// --- LZW harness -----------------------------------------------------------------------

struct LzwRun {
  explicit LzwRun(const std::vector<uint8>* input) : in(input) {}
  const std::vector<uint8>* in;
  size_t pos = 0;
  std::vector<std::pair<int16, uint16>> codes;  // width, code
  size_t next_code = 0;
  std::vector<uint8> out;
};

bool8 In_Byte(void* ctx, uint8& ch) {
  auto& r = *static_cast<LzwRun*>(ctx);
  if (r.pos >= r.in->size()) return false;
  ch = (*r.in)[r.pos++];
  return true;
}
void Out_Code(void* ctx, int16 bits, uint16 code) {
  static_cast<LzwRun*>(ctx)->codes.push_back({bits, code});
}
// Hands the recorded codes back, checking the decoder asks for the width
// the encoder used.
bool8 In_Code(void* ctx, int16 bits, uint16& code) {
  auto& r = *static_cast<LzwRun*>(ctx);
  if (r.next_code >= r.codes.size()) return false;
  EXPECT_EQ(bits, r.codes[r.next_code].first) << "code " << r.next_code;
  code = r.codes[r.next_code++].second;
  return true;
}
bool8 Out_Byte(void* ctx, uint8 ch) {
  static_cast<LzwRun*>(ctx)->out.push_back(ch);
  return true;
}

std::vector<uint8> Random_Bytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<uint8> v(n);
  for (auto& b : v) b = uint8(rng());
  return v;
}

class ParsGIF : public ::testing::Test {
 protected:
  a_picture_scan_rec scan{};
  void TearDown() override { Free_Scan(scan); }
};

// An indexed test picture with 256 distinct colours.
Indexed Make_Indexed(int w, int h) {
  Indexed p{w, h, {}, {}};
  for (int i = 0; i < 256; ++i) {
    p.colors[i].r = uint8(i);
    p.colors[i].g = uint8(255 - i);
    p.colors[i].b = uint8(i * 3);
    p.colors[i].a = 0;
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.idx.push_back(uint8((x / 6 + y / 3) % 3 == 0 ? 7 : (x * 3 + y * 5) & 0xFF));
  return p;
}

GWorldPtr World_Of(const Indexed& p) {
  GWorldPtr w = nullptr;
  EXPECT_EQ(New_GWorld(Rect{0, 0, int16(p.h), int16(p.w)}, 8, nullptr, w), noErr);
  const PixMap& pm = *Get_GWorld_PixMap(w);
  for (int y = 0; y < p.h; ++y)
    std::memcpy(pm.baseAddr + size_t(y) * PixMap_RowBytes(pm), &p.idx[size_t(y * p.w)], size_t(p.w));
  return w;
}

}  // namespace

// --- LZW -------------------------------------------------------------------------------

TEST(GifLZW, RoundTripsRunsAndNoise) {
  std::vector<std::vector<uint8>> inputs = {{}, {42}, std::vector<uint8>(100000, 9),
                                            Random_Bytes(20000, 1)};
  std::vector<uint8> mixed = Random_Bytes(3000, 2);
  mixed.insert(mixed.end(), 5000, 0);
  inputs.push_back(mixed);
  for (const auto& in : inputs) {
    LzwRun r{&in};
    ASSERT_EQ(Compress(In_Byte, Out_Code, &r), LZW_OK);
    ASSERT_GE(r.codes.size(), 2u);
    EXPECT_EQ(r.codes.front().second, 256);
    EXPECT_EQ(r.codes.back().second, 257);
    ASSERT_EQ(Expand(8, In_Code, Out_Byte, &r), LZW_OK);
    EXPECT_EQ(r.out, in) << in.size();
  }
}

// Codes widen to 10, 11 and 12 bits as the table passes 512, 1,024 and 2,048
// entries, and a clear code goes out when 4,096 entries are in use.
TEST(GifLZW, CodesWidenAndTheTableClearsWhenFull) {
  const std::vector<uint8> in = Random_Bytes(12000, 3);
  LzwRun r{&in};
  ASSERT_EQ(Compress(In_Byte, Out_Code, &r), LZW_OK);
  // Entries in use when each code goes out: 258 after the first data code,
  // one more per code after it.
  int entries = 258;
  int16 bits = 9;
  bool cleared = false;
  for (size_t i = 1; i + 1 < r.codes.size(); ++i) {
    const auto [w, code] = r.codes[i];
    if (code == 256) {
      EXPECT_EQ(entries, 4096);
      EXPECT_EQ(w, 12);
      cleared = true;
      entries = 258;
      bits = 9;
      continue;
    }
    EXPECT_EQ(w, bits) << "code " << i << " with " << entries << " entries";
    if (entries < 4096) {
      ++entries;
      if (entries > (1 << bits) && bits < 12) ++bits;
    }
  }
  EXPECT_TRUE(cleared);
}

TEST(GifLZW, ExpandRefusesBadStreams) {
  struct Case {
    const char* name;
    int16 codesize;
    std::vector<std::pair<int16, uint16>> codes;
    int16 want;
  };
  const Case cases[] = {
      {"code beyond the next free entry", 8, {{9, 256}, {9, 1}, {9, 300}}, LZW_BADCODE},
      {"first code no character", 8, {{9, 256}, {9, 258}}, LZW_BADCODE},
      {"ends without the end code", 8, {{9, 256}, {9, 1}, {9, 2}}, LZW_NODATA},
      {"code size 1", 1, {{2, 2}}, LZW_BADCODE},
      {"code size 9", 9, {{10, 512}}, LZW_BADCODE},
  };
  for (const Case& c : cases) {
    std::vector<uint8> none;
    LzwRun r{&none};
    r.codes = c.codes;
    EXPECT_EQ(Expand(c.codesize, In_Code, Out_Byte, &r), c.want) << c.name;
  }
}

// A stream that fills the table and goes on without a clear code decodes
// with the full table, as other decoders do.
TEST(GifLZW, FullTableWithoutClearKeepsDecoding) {
  // Literal codes only: the table fills after 3,838 of them, and the rest
  // come at 12 bits with no clear code.
  std::vector<std::pair<int16, uint16>> codes = {{9, 256}};
  int entries = 258;
  int16 bits = 9;
  std::vector<uint8> want;
  for (int i = 0; i < 4000; ++i) {
    codes.push_back({bits, uint16(i & 0xFF)});
    want.push_back(uint8(i & 0xFF));
    if (i > 0 && entries < 4096) {
      ++entries;
      if (entries == (1 << bits) && bits < 12) ++bits;
    }
  }
  codes.push_back({bits, 257});
  std::vector<uint8> none;
  LzwRun r{&none};
  r.codes = codes;
  ASSERT_EQ(Expand(8, In_Code, Out_Byte, &r), LZW_OK);
  EXPECT_EQ(r.out, want);
}

// --- Writer ---------------------------------------------------------------------------

TEST_F(ParsGIF, WriterHeaderColourTableAndDescriptor) {
  const std::string tmp = Make_Temp_Dir();
  const Indexed p = Make_Indexed(300, 200);
  GWorldPtr w = World_Of(p);
  const std::string path = tmp + "/a.gif";
  ASSERT_EQ(Write_GIF(FMT_GIF, Spec(path), p.colors, *Get_GWorld_PixMap(w)), 0);
  const std::vector<uint8> b = Read_Bytes(path);
  ASSERT_GT(b.size(), 13u + 768u + 10u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 6), "GIF87a");
  EXPECT_EQ(b[6] | (b[7] << 8), 300);
  EXPECT_EQ(b[8] | (b[9] << 8), 200);
  EXPECT_EQ(b[10], 0xF7);
  EXPECT_EQ(b[13 + 3 * 5], 5);        // red of entry 5
  EXPECT_EQ(b[13 + 3 * 5 + 1], 250);  // its green
  const size_t d = 13 + 768;
  EXPECT_EQ(b[d], ',');
  const uint8 desc[9] = {0, 0, 0, 0, 44, 1, 200, 0, 0};
  EXPECT_EQ(std::memcmp(&b[d + 1], desc, 9), 0);
  EXPECT_EQ(b[d + 10], 8);  // minimum code size
  EXPECT_EQ(b.back(), ';');

  a_file_format fmt = FMT_DISC;
  ASSERT_EQ(Scan_GIF(Spec(path), scan, fmt), 0);
  EXPECT_EQ(fmt, FMT_GIF);
  EXPECT_EQ(Max_Diff(Scan_To_Image(scan), p.rgb()), 0);
  Dispose_GWorld(w);
  Remove_Dir(tmp);
}

TEST_F(ParsGIF, WriterRefusesOtherDepths) {
  PixMap pm{};
  pm.pixelSize = 32;
  a_pixel32 colors[256] = {};
  const std::string tmp = Make_Temp_Dir();
  EXPECT_THROW(Write_GIF(FMT_GIF, Spec(tmp + "/never-written.gif"), colors, pm), QuitCalled);
  EXPECT_TRUE(Read_Bytes(tmp + "/never-written.gif").empty());
  Remove_Dir(tmp);
}

// Our files are read by netpbm and ImageMagick with the same pixels, the
// interlaced ones too, small ones included (a 3-row interlaced picture has
// its rows in pass order 0, 2, 1).
TEST_F(ParsGIF, WrittenFilesReadTheSameElsewhere) {
  const std::string giftopnm = Find_Tool("giftopnm");
  const std::string convert = Find_Tool("convert");
  REQUIRE_TOOL("giftopnm");
  REQUIRE_TOOL("convert");
  const std::string tmp = Make_Temp_Dir();
  const int sizes[][2] = {{61, 29}, {5, 3}, {1, 1}, {200, 9}};
  for (const auto& sz : sizes) {
    for (a_file_format f : {FMT_GIF, FMT_GIF_INT}) {
      const Indexed p = Make_Indexed(sz[0], sz[1]);
      GWorldPtr w = World_Of(p);
      const std::string path = tmp + "/w.gif";
      ASSERT_EQ(Write_GIF(f, Spec(path), p.colors, *Get_GWorld_PixMap(w)), 0);
      Dispose_GWorld(w);
      const std::string tag = std::to_string(sz[0]) + "x" + std::to_string(sz[1]) + (f == FMT_GIF_INT ? " int" : "");
      Image got;
      if (!giftopnm.empty()) {
        ASSERT_TRUE(Run_Tool("'" + giftopnm + "' '" + path + "' > '" + tmp + "/n.ppm'")) << tag;
        ASSERT_TRUE(Read_PNM(tmp + "/n.ppm", got)) << tag;
        EXPECT_EQ(Max_Diff(got, p.rgb()), 0) << "giftopnm " << tag;
      }
      if (!convert.empty()) {
        ASSERT_TRUE(Run_Tool("'" + convert + "' '" + path + "' -depth 8 ppm:'" + tmp + "/c.ppm'")) << tag;
        ASSERT_TRUE(Read_PNM(tmp + "/c.ppm", got)) << tag;
        EXPECT_EQ(Max_Diff(got, p.rgb()), 0) << "convert " << tag;
      }
      a_file_format fmt;
      ASSERT_EQ(Scan_GIF(Spec(path), scan, fmt), 0) << tag;
      EXPECT_EQ(fmt, f) << tag;
      EXPECT_EQ(Max_Diff(Scan_To_Image(scan), p.rgb()), 0) << tag;
      Free_Scan(scan);
    }
  }
  Remove_Dir(tmp);
}

TEST_F(ParsGIF, FilesOfOtherWritersAreRead) {
  const std::string ppmtogif = Find_Tool("ppmtogif");
  const std::string convert = Find_Tool("convert");
  REQUIRE_TOOL("ppmtogif");
  REQUIRE_TOOL("convert");
  const std::string tmp = Make_Temp_Dir();
  const Indexed p = Make_Indexed(77, 41);
  const std::string src = tmp + "/src.ppm";
  ASSERT_TRUE(Write_PPM(src, p.rgb()));
  std::vector<std::pair<std::string, std::string>> cmds;
  if (!ppmtogif.empty()) {
    cmds.push_back({"ppmtogif", "'" + ppmtogif + "' '" + src + "' > '" + tmp + "/a.gif'"});
    cmds.push_back({"ppmtogif interlaced", "'" + ppmtogif + "' -interlace '" + src + "' > '" + tmp + "/b.gif'"});
  }
  if (!convert.empty()) {
    cmds.push_back({"convert", "'" + convert + "' '" + src + "' GIF:'" + tmp + "/c.gif'"});
    cmds.push_back({"convert interlaced", "'" + convert + "' '" + src + "' -interlace GIF GIF:'" + tmp + "/d.gif'"});
  }
  char letter = 'a';
  for (const auto& [name, cmd] : cmds) {
    const std::string out = tmp + "/" + std::string(1, letter++) + ".gif";
    ASSERT_TRUE(Run_Tool(cmd)) << name;
    a_file_format fmt;
    ASSERT_EQ(Scan_GIF(Spec(out), scan, fmt), 0) << name;
    EXPECT_EQ(fmt, name.find("interlaced") != std::string::npos ? FMT_GIF_INT : FMT_GIF) << name;
    // ImageMagick may move colours slightly when it builds its palette: the
    // reference is the file as the same tool reads it back.
    Image want = p.rgb();
    if (name.rfind("convert", 0) == 0) {
      ASSERT_TRUE(Run_Tool("'" + convert + "' '" + out + "' -depth 8 ppm:'" + tmp + "/ref.ppm'"));
      ASSERT_TRUE(Read_PNM(tmp + "/ref.ppm", want));
      EXPECT_LE(Max_Diff(want, p.rgb()), 8) << name;
    }
    EXPECT_EQ(Max_Diff(Scan_To_Image(scan), want), 0) << name;
    Free_Scan(scan);
  }
  Remove_Dir(tmp);
}

// --- Reader ---------------------------------------------------------------------------

namespace {
// A small GIF made by our writer, as bytes.
std::vector<uint8> Small_Gif(int w, int h, a_file_format f = FMT_GIF) {
  const std::string tmp = Make_Temp_Dir();
  const Indexed p = Make_Indexed(w, h);
  GWorldPtr world = World_Of(p);
  const std::string path = tmp + "/s.gif";
  EXPECT_EQ(Write_GIF(f, Spec(path), p.colors, *Get_GWorld_PixMap(world)), 0);
  Dispose_GWorld(world);
  std::vector<uint8> b = Read_Bytes(path);
  Remove_Dir(tmp);
  return b;
}
constexpr size_t kImageAt = 13 + 768;  // the image separator in our files
}  // namespace

TEST_F(ParsGIF, GraphicControlExtensionSetsTheTransparentIndex) {
  std::vector<uint8> b = Small_Gif(4, 4);
  b[4] = '9';
  const uint8 gce[] = {0x21, 0xF9, 4, 0x01, 0, 0, 5, 0, 0x21, 0xFE, 3, 'a', 'b', 'c', 0};
  b.insert(b.begin() + kImageAt, std::begin(gce), std::end(gce));
  a_file_format fmt;
  ASSERT_EQ(Scan_GIF_Buf(b.data(), b.size(), scan, fmt), 0);
  EXPECT_TRUE(scan.transp);
  EXPECT_EQ(scan.transpx, 5);
}

TEST_F(ParsGIF, LocalColourTableAndImagePosition) {
  std::vector<uint8> b = Small_Gif(3, 2);
  // Image at left 10, top 20, with a local table of 2 entries.
  b[kImageAt + 1] = 10;
  b[kImageAt + 3] = 20;
  b[kImageAt + 9] = 0x80;
  const uint8 local[6] = {1, 2, 3, 4, 5, 6};
  b.insert(b.begin() + kImageAt + 10, std::begin(local), std::end(local));
  a_file_format fmt;
  ASSERT_EQ(Scan_GIF_Buf(b.data(), b.size(), scan, fmt), 0);
  EXPECT_EQ(scan.body.bounds, (Rect{20, 10, 22, 13}));
  EXPECT_EQ(scan.ctable[1].r, 4);
  EXPECT_EQ(scan.ctable[1].b, 6);
  EXPECT_EQ(scan.ctable[2].raw, 0u);  // only the local table's entries
}

TEST_F(ParsGIF, BadFilesAreRefusedWithTheirCode) {
  const std::vector<uint8> good = Small_Gif(20, 10);
  struct Case {
    const char* name;
    std::vector<uint8> bytes;
    int16 want;
  };
  std::vector<Case> cases;
  { auto b = good; b[3] = '9'; b[4] = '0'; cases.push_back({"GIF90a", b, GIF_ERR_HEADER}); }
  cases.push_back({"six bytes", std::vector<uint8>(good.begin(), good.begin() + 6), GIF_ERR_SHORT});
  cases.push_back({"cut in the colour table", std::vector<uint8>(good.begin(), good.begin() + 100), GIF_ERR_SHORT});
  cases.push_back({"cut in the image data", std::vector<uint8>(good.begin(), good.end() - 20), GIF_ERR_SHORT});
  { auto b = good; b[kImageAt] = 0x99; cases.push_back({"unknown block", b, GIF_ERR_BLOCK}); }
  { auto b = good; b[kImageAt] = ';'; cases.push_back({"trailer first", b, GIF_ERR_NO_IMAGE}); }
  { auto b = good; b[kImageAt + 5] = 0; cases.push_back({"width 0", b, GIF_ERR_IMAGE}); }
  { auto b = good; b[kImageAt + 6] = 0xFF; b[kImageAt + 7] = 0xFF; b[kImageAt + 8] = 0xFF;
    cases.push_back({"height beyond 16-bit coordinates", b, GIF_ERR_IMAGE}); }
  { auto b = good; b[kImageAt + 10] = 12; cases.push_back({"code size 12", b, GIF_ERR_IMAGE}); }
  {
    // A 9-bit code 300 right after the first character: beyond the table.
    std::vector<uint8> b(good.begin(), good.begin() + kImageAt + 11);
    const uint32 bits = 256u | (1u << 9) | (300u << 18);
    const uint8 data[] = {4, uint8(bits), uint8(bits >> 8), uint8(bits >> 16), uint8(bits >> 24), 0, ';'};
    b.insert(b.end(), std::begin(data), std::end(data));
    cases.push_back({"code beyond the table", b, GIF_ERR_LZW});
  }
  {
    // Clear, one pixel, end: the picture of 20 x 10 is not complete.
    std::vector<uint8> b(good.begin(), good.begin() + kImageAt + 11);
    const uint32 bits = 256u | (1u << 9) | (257u << 18);
    const uint8 data[] = {4, uint8(bits), uint8(bits >> 8), uint8(bits >> 16), uint8(bits >> 24), 0, ';'};
    b.insert(b.end(), std::begin(data), std::end(data));
    cases.push_back({"end code before the last pixel", b, GIF_ERR_SHORT});
  }
  for (const Case& c : cases) {
    a_file_format fmt;
    EXPECT_EQ(Scan_GIF_Buf(c.bytes.data(), c.bytes.size(), scan, fmt), c.want) << c.name;
    EXPECT_EQ(scan.body.fore, nullptr) << c.name;
    Free_Scan(scan);
  }
  a_file_format fmt;
  const std::string tmp = Make_Temp_Dir();
  EXPECT_EQ(Scan_GIF(Spec(tmp + "/missing.gif"), scan, fmt), GIF_ERR_OPEN);
  Remove_Dir(tmp);
}
