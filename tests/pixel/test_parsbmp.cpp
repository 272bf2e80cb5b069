// The BMP and DIB reader and writer: the layouts the reader decodes, the
// input it refuses, the public BMP test suite compared against netpbm, and
// files exchanged with netpbm and ImageMagick in both directions.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ImageTestUtil.h"
#include "TestSupport.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/ParsBMP.h"
#include "platform/Quickdraw.h"
#include "platform/SysVideo.h"
#include "platform/SysIO.h"
#include "platform/SysWin.h"

using namespace imgtest;

namespace {

// A source over bytes in memory, delivering at most `chunk` bytes a call.
struct MemSrc {
  const std::vector<uint8>* bytes;
  size_t pos = 0;
  uint32 chunk = 0xFFFFFFFF;
};

int16 Mem_Reader(void* data, void* buf, uint32& len) {
  auto* m = static_cast<MemSrc*>(data);
  const size_t left = m->bytes->size() - m->pos;
  len = uint32(std::min<size_t>({left, len, m->chunk}));
  if (len) std::memcpy(buf, m->bytes->data() + m->pos, len);
  m->pos += len;
  return 0;
}

void Put16(std::vector<uint8>& v, uint32 x) {
  v.push_back(uint8(x));
  v.push_back(uint8(x >> 8));
}
void Put32(std::vector<uint8>& v, uint32 x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

struct BmpSpec {
  int32 width = 1, height = 1;
  uint16 bitcount = 8;
  uint32 compression = 0;
  uint32 clrused = 0;
  std::vector<uint32> table;  // colour-table entries (or masks), 0x00RRGGBB
  std::vector<uint8> pixels;
  uint32 gap = 0;             // bytes between the table and the pixels
  int32 offset_fix = 0;       // added to the offset the file header gives
  uint32 infosize = 40;
};

std::vector<uint8> Bmp_Bytes(const BmpSpec& s, bool isfile = true) {
  std::vector<uint8> v;
  const uint32 headers = (isfile ? 14 : 0) + s.infosize + 4 * uint32(s.table.size());
  if (isfile) {
    v.push_back('B');
    v.push_back('M');
    Put32(v, headers + s.gap + uint32(s.pixels.size()));
    Put32(v, 0);
    Put32(v, uint32(int32(headers + s.gap) + s.offset_fix));
  }
  const size_t info_at = v.size();
  Put32(v, s.infosize);
  Put32(v, uint32(s.width));
  Put32(v, uint32(s.height));
  Put16(v, 1);
  Put16(v, s.bitcount);
  Put32(v, s.compression);
  Put32(v, uint32(s.pixels.size()));
  Put32(v, 2835);
  Put32(v, 2835);
  Put32(v, s.clrused);
  Put32(v, 0);
  // Longer headers get zero fields; shorter ones are cut (only their size is looked at).
  v.resize(info_at + s.infosize, 0);
  for (uint32 c : s.table) Put32(v, c);
  v.resize(v.size() + s.gap, 0xEE);
  v.insert(v.end(), s.pixels.begin(), s.pixels.end());
  return v;
}

struct ScanResult {
  int16 result;
  a_picture_scan_rec scan;
};

int16 Scan_Mem(const std::vector<uint8>& bytes, a_picture_scan_rec& scan, bool isfile = true,
               uint32 chunk = 0xFFFFFFFF) {
  Clear_Scan_Rec(scan);
  MemSrc src{&bytes, 0, chunk};
  return Scan_BMP_2(isfile, Mem_Reader, &src, scan);
}

const uint8* Row(const a_picture_scan_rec& scan, int y) {
  const PixMap& pm = *Get_GWorld_PixMap(scan.body.fore);
  return reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(y) * PixMap_RowBytes(pm);
}

int Depth(const a_picture_scan_rec& scan) { return Get_GWorld_PixMap(scan.body.fore)->pixelSize; }

class ParsBMP : public ::testing::Test {
 protected:
  a_picture_scan_rec scan{};
  void TearDown() override {
    Free_Scan(scan);
    g_scan_max_pixels = 128ull * 1024 * 1024;
  }
};

}  // namespace

// --- Layouts ----------------------------------------------------------------------

TEST_F(ParsBMP, OneBitClipboardBitmapUsesTwoEntriesAndFourBytesARow) {
  BmpSpec s;
  s.width = 10, s.height = 2, s.bitcount = 1;
  s.table = {0x000000, 0xFFFFFF};
  // Bottom row first: bottom row pixels 1 0 1 0 ..., top row all 1.
  s.pixels = {0xAA, 0x80, 0x00, 0x00, 0xFF, 0xC0, 0x00, 0x00};
  ASSERT_EQ(Scan_Mem(Bmp_Bytes(s, false), scan, false), 0);
  ASSERT_EQ(Depth(scan), 8);
  EXPECT_EQ(scan.body.bounds, (Rect{0, 0, 2, 10}));
  const uint8 top[10] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  const uint8 bottom[10] = {1, 0, 1, 0, 1, 0, 1, 0, 1, 0};
  EXPECT_EQ(std::memcmp(Row(scan, 0), top, 10), 0);
  EXPECT_EQ(std::memcmp(Row(scan, 1), bottom, 10), 0);
  EXPECT_EQ(scan.ctable[1].r, 255);
  EXPECT_EQ(scan.ctable[2].raw, 0u);
}

TEST_F(ParsBMP, FourAndEightBitIndexes) {
  BmpSpec s;
  s.width = 3, s.height = 1, s.bitcount = 4, s.clrused = 3;
  s.table = {0x010203, 0x040506, 0x070809};
  s.pixels = {0x12, 0x00, 0x00, 0x00};
  ASSERT_EQ(Scan_Mem(Bmp_Bytes(s), scan), 0);
  EXPECT_EQ(Row(scan, 0)[0], 1);
  EXPECT_EQ(Row(scan, 0)[1], 2);
  EXPECT_EQ(Row(scan, 0)[2], 0);
  EXPECT_EQ(scan.ctable[1].b, 6);
  EXPECT_EQ(scan.ctable[1].a, 0);
  EXPECT_EQ(scan.ctable[3].raw, 0u);  // only the entries given
}

TEST_F(ParsBMP, TwentyFourBitRowsArePaddedAndAlphaIsZero) {
  BmpSpec s;
  s.width = 3, s.height = 2, s.bitcount = 24;
  s.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xAA, 0xAA, 0xAA,   // bottom row, 3 bytes padding
              10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};  // top row
  ASSERT_EQ(Scan_Mem(Bmp_Bytes(s), scan), 0);
  ASSERT_EQ(Depth(scan), 32);
  const uint8 top[12] = {10, 11, 12, 0, 13, 14, 15, 0, 16, 17, 18, 0};
  const uint8 bottom[12] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};
  EXPECT_EQ(std::memcmp(Row(scan, 0), top, 12), 0);
  EXPECT_EQ(std::memcmp(Row(scan, 1), bottom, 12), 0);
}

TEST_F(ParsBMP, ThirtyTwoBitAlphaIsDropped) {
  BmpSpec s;
  s.width = 2, s.height = 1, s.bitcount = 32;
  s.pixels = {1, 2, 3, 0x80, 4, 5, 6, 0xFF};
  ASSERT_EQ(Scan_Mem(Bmp_Bytes(s), scan), 0);
  const uint8 want[8] = {1, 2, 3, 0, 4, 5, 6, 0};
  EXPECT_EQ(std::memcmp(Row(scan, 0), want, 8), 0);
}

TEST_F(ParsBMP, SixteenBitDefaultIs555Unchanged) {
  BmpSpec s;
  s.width = 2, s.height = 1, s.bitcount = 16;
  s.pixels = {0xFF, 0x7F, 0x21, 0x04};  // white, and r 1 g 1 b 1
  ASSERT_EQ(Scan_Mem(Bmp_Bytes(s), scan), 0);
  ASSERT_EQ(Depth(scan), 16);
  const uint8 want[4] = {0xFF, 0x7F, 0x21, 0x04};
  EXPECT_EQ(std::memcmp(Row(scan, 0), want, 4), 0);
}

// The masks of a bit-field bitmap are applied: 5-6-5 pixels come out in the
// world's 5-5-5 layout with their true colours.
TEST_F(ParsBMP, BitFields565GiveTheRightColours) {
  BmpSpec s;
  s.width = 3, s.height = 1, s.bitcount = 16, s.compression = 3;
  s.table = {0xF800, 0x07E0, 0x001F};
  // pure red, pure green, pure blue in 5-6-5
  s.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0};
  ASSERT_EQ(Scan_Mem(Bmp_Bytes(s), scan), 0);
  const uint16* px = reinterpret_cast<const uint16*>(Row(scan, 0));
  EXPECT_EQ(px[0], 0x7C00);
  EXPECT_EQ(px[1], 0x03E0);
  EXPECT_EQ(px[2], 0x001F);
}

TEST_F(ParsBMP, BitFields32WithUnusualMasks) {
  BmpSpec s;
  s.width = 1, s.height = 1, s.bitcount = 32, s.compression = 3;
  s.table = {0x000003FF, 0x000FFC00, 0x3FF00000};  // 10 bits each, red lowest
  const uint32 px = 0x3FFu | (0x200u << 10) | (0u << 20);
  s.pixels = {uint8(px), uint8(px >> 8), uint8(px >> 16), uint8(px >> 24)};
  ASSERT_EQ(Scan_Mem(Bmp_Bytes(s), scan), 0);
  EXPECT_EQ(Row(scan, 0)[2], 255);  // red
  EXPECT_EQ(Row(scan, 0)[1], 128);  // green 512 of 1023
  EXPECT_EQ(Row(scan, 0)[0], 0);
}

// Rows wider than 16 bits of bytes: 3,000 pixels of 24 bits take 9,000 bytes,
// but the row-size formula passes 65,535 bits on the way.
TEST_F(ParsBMP, WideRowsDoNotOverflowTheRowSize) {
  for (uint16 bc : {uint16(24), uint16(32)}) {
    BmpSpec s;
    s.width = 3000, s.height = 2, s.bitcount = bc;
    const size_t rowsize = size_t(3000) * bc / 8;
    s.pixels.resize(rowsize * 2);
    for (size_t i = 0; i < s.pixels.size(); ++i) s.pixels[i] = uint8(i * 7 + i / 5);
    ASSERT_EQ(Scan_Mem(Bmp_Bytes(s), scan), 0) << bc;
    const int bpp = bc / 8;
    for (int x = 0; x < 3000; x += 499) {
      const uint8* stored = &s.pixels[rowsize + size_t(x) * size_t(bpp)];  // top row
      EXPECT_EQ(Row(scan, 0)[4 * x + 0], stored[0]) << bc << " " << x;
      EXPECT_EQ(Row(scan, 0)[4 * x + 2], stored[2]) << bc << " " << x;
    }
    Free_Scan(scan);
  }
}

TEST_F(ParsBMP, TopDownRowsAreReadInOrder) {
  BmpSpec s;
  s.width = 1, s.height = -2, s.bitcount = 8;
  s.table = {0, 0, 0, 0, 0, 0, 0, 0};
  s.clrused = 8;
  s.pixels = {5, 0, 0, 0, 6, 0, 0, 0};
  ASSERT_EQ(Scan_Mem(Bmp_Bytes(s), scan), 0);
  EXPECT_EQ(scan.body.bounds, (Rect{0, 0, 2, 1}));
  EXPECT_EQ(Row(scan, 0)[0], 5);
  EXPECT_EQ(Row(scan, 1)[0], 6);
}

// Pixels start at the file header's offset, not right after the table.
TEST_F(ParsBMP, PixelDataOffsetIsHonoured) {
  BmpSpec s;
  s.width = 2, s.height = 1, s.bitcount = 8, s.clrused = 2;
  s.table = {0x112233, 0x445566};
  s.gap = 10;
  s.pixels = {1, 0, 0, 0};
  ASSERT_EQ(Scan_Mem(Bmp_Bytes(s), scan), 0);
  EXPECT_EQ(Row(scan, 0)[0], 1);
  EXPECT_EQ(Row(scan, 0)[1], 0);
}

TEST_F(ParsBMP, LongerInformationHeadersAreRead) {
  for (uint32 size : {52u, 56u, 108u, 124u}) {
    BmpSpec s;
    s.infosize = size;
    s.width = 1, s.height = 1, s.bitcount = 24;
    s.pixels = {7, 8, 9, 0};
    ASSERT_EQ(Scan_Mem(Bmp_Bytes(s), scan), 0) << size;
    EXPECT_EQ(Row(scan, 0)[0], 7);
    Free_Scan(scan);
  }
}

TEST_F(ParsBMP, ReadsThroughASourceThatDeliversFewBytesAtATime) {
  BmpSpec s;
  s.width = 5, s.height = 3, s.bitcount = 24;
  s.pixels.resize(16 * 3);
  for (size_t i = 0; i < s.pixels.size(); ++i) s.pixels[i] = uint8(i);
  ASSERT_EQ(Scan_Mem(Bmp_Bytes(s), scan, true, 3), 0);
  EXPECT_EQ(Row(scan, 2)[4 * 4], 12);  // bottom row, last pixel's blue
}

// --- Run-length data -----------------------------------------------------------------

struct RleCase {
  const char* name;
  uint32 compression;
  int32 w, h;
  std::vector<uint8> data;
  std::vector<std::vector<uint8>> rows;  // expected world rows, top first
};

TEST_F(ParsBMP, RunLengthStreams) {
  const RleCase cases[] = {
      {"rle8 run, end of line, end", 1, 4, 2, {3, 7, 0, 0, 0, 1}, {{0, 0, 0, 0}, {7, 7, 7, 0}}},
      {"rle4 run alternates nibbles", 2, 5, 1, {5, 0x12, 0, 1}, {{1, 2, 1, 2, 1}}},
      {"rle8 literal of 3 is padded", 1, 4, 1, {0, 3, 9, 8, 7, 0, 1, 5, 0, 1}, {{9, 8, 7, 5}}},
      {"rle4 literal of 5 nibbles", 2, 6, 1, {0, 5, 0x12, 0x34, 0x50, 0, 0, 1}, {{1, 2, 3, 4, 5, 0}}},
      {"runs past the row end are cut there", 1, 3, 1, {2, 4, 0, 3, 5, 6, 7, 0, 0, 1}, {{4, 4, 5}}},
      {"delta moves right and up", 1, 6, 2, {0, 2, 4, 1, 1, 3, 0, 1}, {{0, 0, 0, 0, 3, 0}, {0, 0, 0, 0, 0, 0}}},
  };
  for (const RleCase& c : cases) {
    BmpSpec s;
    s.width = c.w, s.height = c.h, s.bitcount = c.compression == 1 ? 8 : 4;
    s.compression = c.compression;
    s.clrused = 16;
    s.table.assign(16, 0);
    s.pixels = c.data;
    ASSERT_EQ(Scan_Mem(Bmp_Bytes(s), scan), 0) << c.name;
    for (int y = 0; y < c.h; ++y)
      EXPECT_EQ(std::vector<uint8>(Row(scan, y), Row(scan, y) + c.w), c.rows[size_t(y)])
          << c.name << " row " << y;
    Free_Scan(scan);
  }
}

namespace {

// A run-length stream made on the fly: the headers, then `runs` words
// (255, value) on the bottom row with no end of line, then the tail.
struct RunStream {
  std::vector<uint8> head, tail;
  uint64 runs;
  uint8 value;
  uint64 pos = 0;  // bytes delivered
};

int16 Run_Reader(void* data, void* buf, uint32& len) {
  auto* s = static_cast<RunStream*>(data);
  auto* out = static_cast<uint8*>(buf);
  const uint64 body = s->runs * 2, total = s->head.size() + body + s->tail.size();
  uint32 n = 0;
  for (; n < len && s->pos < total; ++n, ++s->pos) {
    const uint64 p = s->pos;
    if (p < s->head.size())
      out[n] = s->head[size_t(p)];
    else if (p < s->head.size() + body)
      out[n] = ((p - s->head.size()) & 1) ? s->value : 255;
    else
      out[n] = s->tail[size_t(p - s->head.size() - body)];
  }
  len = n;
  return 0;
}

}  // namespace

// Runs without an end of line stop at the row's end however many there are:
// about 17 MB of them would otherwise carry the column past 2^31 and the
// next pixel before the row.
TEST_F(ParsBMP, EndlessRunsStopAtTheRowEnd) {
  for (uint32 compression : {1u, 2u}) {
    SCOPED_TRACE(compression == 1 ? "RLE8" : "RLE4");
    BmpSpec s;
    s.width = 7, s.height = 2, s.bitcount = compression == 1 ? 8 : 4;
    s.compression = compression;
    s.clrused = 16;
    s.table.assign(16, 0);
    RunStream rs;
    rs.head = Bmp_Bytes(s);
    rs.runs = (uint64(1) << 31) / 255 + 4096;
    rs.value = compression == 1 ? 6 : 0x66;
    rs.tail = {3, compression == 1 ? uint8(9) : uint8(0x99), 0, 0, 2, compression == 1 ? uint8(4) : uint8(0x44),
               0, 1};
    Clear_Scan_Rec(scan);
    ASSERT_EQ(Scan_BMP_2(true, Run_Reader, &rs, scan), 0);
    EXPECT_EQ(std::vector<uint8>(Row(scan, 1), Row(scan, 1) + 7), std::vector<uint8>(7, 6));
    EXPECT_EQ(std::vector<uint8>(Row(scan, 0), Row(scan, 0) + 7), (std::vector<uint8>{4, 4, 0, 0, 0, 0, 0}));
    Free_Scan(scan);
  }
}

// --- Refusals --------------------------------------------------------------------------

TEST_F(ParsBMP, BadInputIsRefusedWithItsCode) {
  auto base = [] {
    BmpSpec s;
    s.width = 2, s.height = 2, s.bitcount = 8, s.clrused = 1;
    s.table = {0};
    s.pixels.assign(8, 0);
    return s;
  };
  struct Case {
    const char* name;
    std::vector<uint8> bytes;
    int16 want;
  };
  std::vector<Case> cases;
  {
    auto b = Bmp_Bytes(base());
    b[0] = 'X';
    cases.push_back({"not BM", b, BMP_ERR_NOT_BM});
  }
  {
    auto b = Bmp_Bytes(base());
    b.resize(30);
    cases.push_back({"truncated header", b, BMP_ERR_HEADER});
  }
  { auto s = base(); s.infosize = 12; cases.push_back({"OS/2 header", Bmp_Bytes(s), BMP_ERR_HEADER_SIZE}); }
  { auto s = base(); s.width = 0; cases.push_back({"width 0", Bmp_Bytes(s), BMP_ERR_GEOMETRY}); }
  { auto s = base(); s.width = 40000; cases.push_back({"width beyond 16 bits", Bmp_Bytes(s), BMP_ERR_GEOMETRY}); }
  { auto s = base(); s.height = -70000; cases.push_back({"height beyond 16 bits", Bmp_Bytes(s), BMP_ERR_GEOMETRY}); }
  { auto s = base(); s.compression = 4; cases.push_back({"JPEG compression", Bmp_Bytes(s), BMP_ERR_COMPRESSION}); }
  { auto s = base(); s.compression = 2; cases.push_back({"RLE4 on 8 bits", Bmp_Bytes(s), BMP_ERR_COMPRESSION}); }
  { auto s = base(); s.bitcount = 2; cases.push_back({"bit count 2", Bmp_Bytes(s), BMP_ERR_BITCOUNT}); }
  { auto s = base(); s.clrused = 300; cases.push_back({"300 colours", Bmp_Bytes(s), BMP_ERR_TABLE_SIZE}); }
  { auto s = base(); s.clrused = 200; cases.push_back({"table cut short", Bmp_Bytes(s), BMP_ERR_TABLE}); }
  { auto s = base(); s.offset_fix = -20; cases.push_back({"offset into the headers", Bmp_Bytes(s), BMP_ERR_OFFSET}); }
  { auto s = base(); s.pixels.resize(4); cases.push_back({"missing row", Bmp_Bytes(s), BMP_ERR_ROW}); }
  { auto s = base(); s.compression = 1; s.pixels = {2, 1, 0, 0, 2, 1};
    cases.push_back({"no end of bitmap", Bmp_Bytes(s), BMP_ERR_RLE}); }
  { auto s = base(); s.compression = 1; s.pixels = {0, 2, 0, 5, 0, 1};
    cases.push_back({"delta above the top", Bmp_Bytes(s), BMP_ERR_RLE}); }
  { auto s = base(); s.compression = 1; s.pixels = {0, 0, 0, 0, 1, 1, 0, 1};
    cases.push_back({"run above the top", Bmp_Bytes(s), BMP_ERR_RLE}); }
  { auto s = base(); s.compression = 1; s.pixels = {0, 2, 3, 0, 1, 5, 0, 1};
    cases.push_back({"delta past the right edge", Bmp_Bytes(s), BMP_ERR_RLE}); }
  { auto s = base(); s.compression = 1; s.pixels = {2, 5, 0, 2, 1, 0, 1, 5, 0, 1};
    cases.push_back({"delta right from the row's end", Bmp_Bytes(s), BMP_ERR_RLE}); }
  { auto s = base(); s.compression = 1; s.pixels = {0, 2, 0, 2, 0, 1};
    cases.push_back({"delta just above the top", Bmp_Bytes(s), BMP_ERR_RLE}); }
  { auto s = base(); s.compression = 1; s.height = -2; s.pixels = {0, 1};
    cases.push_back({"top-down run-length", Bmp_Bytes(s), BMP_ERR_GEOMETRY}); }
  { auto s = base(); s.compression = 3; s.bitcount = 16; s.table = {0xF800, 0, 0x1F};
    cases.push_back({"empty mask", Bmp_Bytes(s), BMP_ERR_COMPRESSION}); }

  for (const Case& c : cases) {
    EXPECT_EQ(Scan_Mem(c.bytes, scan), c.want) << c.name;
    EXPECT_EQ(scan.body.fore, nullptr) << c.name;
    Free_Scan(scan);
  }
}

// A file that declares a huge picture in a few bytes is refused before any
// world is made: by the size limit, and for unpacked data by the file's size.
TEST_F(ParsBMP, HugeDeclaredSizesAreRefusedWithoutAllocating) {
  const std::string dir = Make_Temp_Dir();
  ASSERT_FALSE(dir.empty());
  BmpSpec s;
  s.width = 30000, s.height = 30000, s.bitcount = 24;
  s.pixels.assign(64, 0);
  const std::string path = dir + "/huge.bmp";
  ASSERT_TRUE(Write_Bytes(path, Bmp_Bytes(s)));
  a_file_format fmt = FMT_DISC;
  EXPECT_EQ(Scan_BMP(Spec(path), scan, fmt), BMP_ERR_ROW);
  EXPECT_EQ(fmt, FMT_BMP);
  EXPECT_EQ(scan.body.fore, nullptr);

  g_scan_max_pixels = 1000;
  s.compression = 1, s.bitcount = 8, s.pixels = {0, 1}, s.clrused = 1, s.table = {0};
  s.width = 100, s.height = 100;
  EXPECT_EQ(Scan_Mem(Bmp_Bytes(s), scan), BMP_ERR_NOMEM);
  EXPECT_EQ(scan.body.fore, nullptr);
  Remove_Dir(dir);
}

TEST_F(ParsBMP, MissingFileGivesMinusOne) {
  a_file_format fmt = FMT_DISC;
  const std::string tmp = Make_Temp_Dir();
  EXPECT_EQ(Scan_BMP(Spec(tmp + "/missing.bmp"), scan, fmt), -1);
  Remove_Dir(tmp);
}

// --- The public BMP suite ------------------------------------------------------------

namespace {
// The good files we refuse, and why.
struct Refused {
  const char* file;
  int16 code;
};
const Refused kRefusedGood[] = {
    {"pal8os2.bmp", BMP_ERR_HEADER_SIZE},  // OS/2 12-byte header with 3-byte colours
};
}  // namespace

std::vector<std::string> List_Bmps(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.path().extension() == ".bmp") names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The oracle is ImageMagick; netpbm's bmptopnm stands in when it is absent,
// for the files without colour masks (the bmptopnm we have ignores them).
TEST_F(ParsBMP, GoodSuiteFilesMatchAnIndependentReader) {
  const std::string dir = Shared_Path("corpora/bmpsuite/g");
  if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "BMP suite not found at " << dir;
  const std::string convert = Find_Tool("convert");
  const std::string bmptopnm = Find_Tool("bmptopnm");
  REQUIRE_TOOL("convert");
  REQUIRE_TOOL("bmptopnm");
  const std::string tmp = Make_Temp_Dir();
  ASSERT_FALSE(tmp.empty());
  int read = 0;
  for (const std::string& name : List_Bmps(dir)) {
    const std::string file = dir + "/" + name;
    a_file_format fmt;
    const int16 r = Scan_BMP(Spec(file), scan, fmt);
    const Refused* refused = nullptr;
    for (const Refused& x : kRefusedGood)
      if (name == x.file) refused = &x;
    if (refused) {
      EXPECT_EQ(r, refused->code) << name;
      EXPECT_EQ(scan.body.fore, nullptr) << name;
      continue;
    }
    ASSERT_EQ(r, 0) << name;
    const std::vector<uint8> bytes = Read_Bytes(file);
    const bool bitfields = bytes.size() > 34 && bytes[30] == 3;
    const std::string pnm = tmp + "/" + name + ".pnm";
    if (!convert.empty()) {
      ASSERT_TRUE(Run_Tool("'" + convert + "' '" + file + "' -depth 8 ppm:'" + pnm + "'")) << name;
    } else if (!bitfields) {
      ASSERT_TRUE(Run_Tool("'" + bmptopnm + "' '" + file + "' > '" + pnm + "'")) << name;
    } else {
      Free_Scan(scan);
      continue;
    }
    Image want;
    ASSERT_TRUE(Read_PNM(pnm, want)) << name;
    const Image got = Scan_To_Image(scan);
    // 16-bit pictures land in a 5-5-5 world: each channel keeps its top 5 bits.
    const int tolerance = Depth(scan) == 16 ? 8 : 0;
    EXPECT_LE(Max_Diff(got, want), tolerance) << name;
    ++read;
    Free_Scan(scan);
  }
  EXPECT_GE(read, 20);
  Remove_Dir(tmp);
}

// Bad files: refused or read, never a crash, a hang or an allocation beyond
// the declared picture (ASan and the pixel limit watch the latter).
TEST_F(ParsBMP, BadSuiteFilesAreRefusedOrReadSafely) {
  const std::string dir = Shared_Path("corpora/bmpsuite/b");
  if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "BMP suite not found at " << dir;
  g_scan_max_pixels = 4u * 1024 * 1024;
  std::set<int16> known = {BMP_ERR_HEADER, BMP_ERR_NOT_BM, BMP_ERR_HEADER_SIZE, BMP_ERR_GEOMETRY,
                           BMP_ERR_TABLE_SIZE, BMP_ERR_TABLE, BMP_ERR_RLE, BMP_ERR_COMPRESSION,
                           BMP_ERR_OFFSET, BMP_ERR_ROW, BMP_ERR_BITCOUNT, BMP_ERR_NOMEM};
  int refused = 0;
  for (const std::string& name : List_Bmps(dir)) {
    a_file_format fmt;
    const int16 r = Scan_BMP(Spec(dir + "/" + name), scan, fmt);
    if (r == 0) {
      EXPECT_NE(scan.body.fore, nullptr) << name;
    } else {
      ++refused;
      EXPECT_TRUE(known.count(r)) << name << " gave " << r;
      EXPECT_EQ(scan.body.fore, nullptr) << name;
    }
    Free_Scan(scan);
  }
  EXPECT_GE(refused, 10);
}

// --- The writer ----------------------------------------------------------------------

namespace {
void Fill_World_From(GWorldPtr w, const Image& img, int depth) {
  const PixMap& pm = *Get_GWorld_PixMap(w);
  const uint32 stride = PixMap_RowBytes(pm);
  for (int y = 0; y < img.h; ++y) {
    auto* row = reinterpret_cast<uint8*>(pm.baseAddr) + size_t(y) * stride;
    for (int x = 0; x < img.w; ++x) {
      const uint8* c = &img.rgb[size_t((y * img.w + x) * 3)];
      if (depth == 32) {
        row[4 * x] = c[2], row[4 * x + 1] = c[1], row[4 * x + 2] = c[0], row[4 * x + 3] = 255;
      } else if (depth == 24) {
        row[3 * x] = c[2], row[3 * x + 1] = c[1], row[3 * x + 2] = c[0];
      } else if (depth == 16) {
        const uint16 v = uint16(((c[0] >> 3) << 10) | ((c[1] >> 3) << 5) | (c[2] >> 3));
        row[2 * x] = uint8(v), row[2 * x + 1] = uint8(v >> 8);
      } else if (depth == 8) {
        row[x] = uint8((x * 3 + y * 5) & 0xFF);
      }
    }
  }
}
}  // namespace

// Files we write are read by netpbm with the same pixels, right side up,
// and by our own reader too.
TEST_F(ParsBMP, WrittenFilesAreReadBackByNetpbmAndByUs) {
  REQUIRE_TOOL("bmptopnm");
  const std::string bmptopnm = Find_Tool("bmptopnm");
  const std::string tmp = Make_Temp_Dir();
  ASSERT_FALSE(tmp.empty());
  a_pixel32 colors[256];
  for (int i = 0; i < 256; ++i) {
    colors[i].r = uint8(i), colors[i].g = uint8(255 - i), colors[i].b = uint8(i * 3), colors[i].a = 0;
  }
  const Image pattern = Test_Pattern(37, 11);
  for (int depth : {8, 16, 24, 32}) {
    GWorldPtr w = nullptr;
    ASSERT_EQ(New_GWorld(Rect{0, 0, int16(pattern.h), int16(pattern.w)}, int16(depth), nullptr, w), noErr);
    Fill_World_From(w, pattern, depth);
    const std::string path = tmp + "/w" + std::to_string(depth) + ".bmp";
    ASSERT_EQ(Write_BMP(FMT_BMP, Spec(path), colors, *Get_GWorld_PixMap(w)), 0) << depth;

    // What the picture should look like.
    a_picture_scan_rec expect{};
    Clear_Scan_Rec(expect);
    expect.body.fore = w;
    std::memcpy(expect.ctable, colors, sizeof colors);
    const Image want = Scan_To_Image(expect);

    a_file_format fmt;
    ASSERT_EQ(Scan_BMP(Spec(path), scan, fmt), 0) << depth;
    EXPECT_EQ(Max_Diff(Scan_To_Image(scan), want), 0) << depth;
    Free_Scan(scan);

    if (!bmptopnm.empty()) {
      const std::string pnm = path + ".pnm";
      ASSERT_TRUE(Run_Tool("'" + bmptopnm + "' '" + path + "' > '" + pnm + "'")) << depth;
      Image got;
      ASSERT_TRUE(Read_PNM(pnm, got)) << depth;
      // netpbm widens 5-bit channels by rounding, we by repeating the top bits.
      EXPECT_LE(Max_Diff(got, want), depth == 16 ? 1 : 0) << depth;
    }
    Dispose_GWorld(w);
  }
  Remove_Dir(tmp);
}

TEST_F(ParsBMP, WriterStoresTheBottomRowFirst) {
  const std::string tmp = Make_Temp_Dir();
  GWorldPtr w = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 2, 4}, 8, nullptr, w), noErr);
  auto* base = reinterpret_cast<uint8*>(Get_GWorld_PixMap(w)->baseAddr);
  const uint32 stride = PixMap_RowBytes(*Get_GWorld_PixMap(w));
  std::memset(base, 1, 4);           // top row
  std::memset(base + stride, 2, 4);  // bottom row
  a_pixel32 colors[256] = {};
  const std::string path = tmp + "/rows.bmp";
  ASSERT_EQ(Write_BMP(FMT_BMP, Spec(path), colors, *Get_GWorld_PixMap(w)), 0);
  const std::vector<uint8> b = Read_Bytes(path);
  ASSERT_EQ(b.size(), 1078u + 8u);
  EXPECT_EQ(b[1078], 2);
  EXPECT_EQ(b[1082], 1);
  Dispose_GWorld(w);
  Remove_Dir(tmp);
}

// A 1-bit map's set bits are ink: the file's colour 1 is black, 0 white.
TEST_F(ParsBMP, OneBitMapsAreWrittenBlackOnWhite) {
  const std::string tmp = Make_Temp_Dir();
  GWorldPtr w = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 2, 9}, 1, nullptr, w), noErr);
  auto* base = reinterpret_cast<uint8*>(Get_GWorld_PixMap(w)->baseAddr);
  const uint32 stride = PixMap_RowBytes(*Get_GWorld_PixMap(w));
  base[0] = 0x81;           // top row: pixels 0 and 7 set
  base[stride + 1] = 0x80;  // bottom row: pixel 8 set
  a_pixel32 colors[256] = {};
  const std::string path = tmp + "/one.bmp";
  ASSERT_EQ(Write_BMP(FMT_BMP, Spec(path), colors, *Get_GWorld_PixMap(w)), 0);
  Dispose_GWorld(w);
  a_file_format fmt;
  ASSERT_EQ(Scan_BMP(Spec(path), scan, fmt), 0);
  const std::vector<uint8> top(Row(scan, 0), Row(scan, 0) + 9), bottom(Row(scan, 1), Row(scan, 1) + 9);
  EXPECT_EQ(top, (std::vector<uint8>{1, 0, 0, 0, 0, 0, 0, 1, 0}));
  EXPECT_EQ(bottom, (std::vector<uint8>{0, 0, 0, 0, 0, 0, 0, 0, 1}));
  EXPECT_EQ(scan.ctable[0].r, 255);
  EXPECT_EQ(scan.ctable[1].r, 0);
  Remove_Dir(tmp);
}

TEST_F(ParsBMP, WriterRefusesDepthsItCannotStore) {
  PixMap pm{};
  pm.pixelSize = 4;
  a_pixel32 colors[256] = {};
  const std::string tmp = Make_Temp_Dir();
  EXPECT_THROW(Write_BMP(FMT_BMP, Spec(tmp + "/never-written.bmp"), colors, pm), QuitCalled);
  EXPECT_FALSE(std::filesystem::exists(tmp + "/never-written.bmp"));
  Remove_Dir(tmp);
}

// Files written by netpbm and ImageMagick read with the same pixels.
TEST_F(ParsBMP, FilesOfOtherWritersAreRead) {
  const std::string ppmtobmp = Find_Tool("ppmtobmp");
  const std::string convert = Find_Tool("convert");
  REQUIRE_TOOL("ppmtobmp");
  REQUIRE_TOOL("convert");
  const std::string tmp = Make_Temp_Dir();
  const Image pattern = Test_Pattern(53, 17);
  const std::string src = tmp + "/src.ppm";
  ASSERT_TRUE(Write_PPM(src, pattern));
  std::vector<std::pair<std::string, std::string>> cmds;  // name, command
  if (!ppmtobmp.empty()) {
    cmds.push_back({"ppmtobmp 24", "'" + ppmtobmp + "' -bpp=24 '" + src + "' > '" + tmp + "/a.bmp'"});
    cmds.push_back({"ppmtobmp os2", "'" + ppmtobmp + "' -windows '" + src + "' > '" + tmp + "/b.bmp'"});
  }
  if (!convert.empty()) {
    cmds.push_back({"convert bmp3", "'" + convert + "' '" + src + "' BMP3:'" + tmp + "/c.bmp'"});
    cmds.push_back({"convert bmp", "'" + convert + "' '" + src + "' -type TrueColor BMP:'" + tmp + "/d.bmp'"});
    cmds.push_back({"convert rle8", "'" + convert + "' '" + src + "' -colors 200 -compress RLE BMP3:'" + tmp + "/e.bmp'"});
  }
  char letter = 'a';
  for (const auto& [name, cmd] : cmds) {
    const std::string out = tmp + "/" + std::string(1, letter++) + ".bmp";
    ASSERT_TRUE(Run_Tool(cmd)) << name;
    a_file_format fmt;
    ASSERT_EQ(Scan_BMP(Spec(out), scan, fmt), 0) << name;
    Image want = pattern;
    if (name == "convert rle8") {  // colours were reduced: compare with netpbm or IM's own view
      ASSERT_TRUE(Run_Tool("'" + convert + "' '" + out + "' '" + tmp + "/e.ppm'"));
      ASSERT_TRUE(Read_PNM(tmp + "/e.ppm", want));
    }
    EXPECT_EQ(Max_Diff(Scan_To_Image(scan), want), 0) << name;
    Free_Scan(scan);
  }
  Remove_Dir(tmp);
}

// --- Masked worlds (the record every reader fills) ---------------------------------------

// The grey tables are made for each test and freed after it.
class MaskedWorld : public ::testing::Test {
 protected:
  void SetUp() override { InitGray(); }
  void TearDown() override { SysVideo_Stop(); }
};

TEST_F(MaskedWorld, NewGivesA32BitForeAndAGreyMaskAndDisposeEmptiesIt) {
  a_masked_gworld mw;
  Null_MW(mw);
  EXPECT_TRUE(Is_Null_MW(mw));
  const Rect r{10, 20, 30, 60};
  New_MW("test", r, mw);
  ASSERT_NE(mw.fore, nullptr);
  ASSERT_NE(mw.mask, nullptr);
  EXPECT_EQ(mw.bounds, r);
  EXPECT_EQ(Get_GWorld_PixelSize(mw.fore), 32);
  EXPECT_EQ(Get_GWorld_PixelSize(mw.mask), 8);
  EXPECT_EQ(Get_GWorld_PixMap(mw.mask)->pmTable, gray_ctable);
  Rect b;
  Get_GWorld_Bounds(mw.mask, b);
  EXPECT_EQ(b, r);

  GWorldPtr copy = nullptr;
  Imitate_GWorld(Rect{0, 0, 5, 5}, mw.mask, copy);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(Get_GWorld_PixelSize(copy), 8);
  EXPECT_EQ(Get_GWorld_PixMap(copy)->pmTable, gray_ctable);
  Dispose_GWorld(copy);
  GWorldPtr none = reinterpret_cast<GWorldPtr>(&copy);  // any non-NIL value is overwritten
  Imitate_GWorld(Rect{0, 0, 5, 5}, nullptr, none);
  EXPECT_EQ(none, nullptr);

  Dispose_MW(mw);
  EXPECT_EQ(mw.fore, nullptr);
  EXPECT_EQ(mw.mask, nullptr);
  EXPECT_EQ(mw.bounds, (Rect{0, 0, 0, 0}));
  Dispose_MW(mw);  // disposing of an empty one does nothing
}

// In an 8-bit mask, SetForeColor8(c) paints 255 - c, and an opacity in
// percent paints the matching coverage.
TEST_F(MaskedWorld, EightBitColourSettersPaintMaskLevels) {
  GWorldPtr w = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 1, 4}, 8, gray_ctable, w), noErr);
  Push_GWorld(w);
  const struct {
    void (*set)(int);
    int arg;
    uint8 want;
  } cases[] = {
      {[](int v) { SetForeColor8(uint8(v)); }, 0, 255},
      {[](int v) { SetForeColor8(uint8(v)); }, 255, 0},
      {[](int v) { SetForeColor8(uint8(v)); }, 100, 155},
      {[](int v) { SetForeOpacity(int16(v)); }, 100, 255},
      {[](int v) { SetForeOpacity(int16(v)); }, 0, 0},
  };
  for (const auto& c : cases) {
    c.set(c.arg);
    PaintRect(Rect{0, 0, 1, 4});
    EXPECT_EQ(uint8(Get_GWorld_PixMap(w)->baseAddr[2]), c.want) << c.arg;
  }
  Pop_GWorld();
  Dispose_GWorld(w);
}
