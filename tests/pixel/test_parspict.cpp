// The PICT reader and writer: the opcodes the reader walks, the bitmaps it
// reads (indexed, 16- and 32-bit direct, every packing), what it refuses,
// and pictures exchanged with netpbm and ImageMagick.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ImageTestUtil.h"
#include "TestSupport.h"
#include "pixel/ParsPICT.h"
#include "platform/SysWin.h"

using namespace imgtest;

namespace {

struct Bytes {
  std::vector<uint8> v;
  Bytes& w16(uint32 x) {
    v.push_back(uint8(x >> 8));
    v.push_back(uint8(x));
    return *this;
  }
  Bytes& w32(uint32 x) { return w16(x >> 16).w16(x & 0xFFFF); }
  Bytes& b(std::initializer_list<uint8> l) {
    v.insert(v.end(), l);
    return *this;
  }
  Bytes& rect(int t, int l, int btm, int r) { return w16(uint32(t)).w16(uint32(l)).w16(uint32(btm)).w16(uint32(r)); }
  Bytes& add(const std::vector<uint8>& x) {
    v.insert(v.end(), x.begin(), x.end());
    return *this;
  }
  Bytes& align() {
    if (v.size() & 1) v.push_back(0);
    return *this;
  }
};

// Picture start of version 2: size, frame, version opcodes, header opcode.
Bytes V2(int h, int w) {
  Bytes p;
  p.w16(0).rect(0, 0, h, w).w16(0x0011).w16(0x02FF).w16(0x0C00);
  for (int i = 0; i < 6; ++i) p.w32(0);
  return p;
}

// A pixel-map record (after the row bytes).
void PixMapRec(Bytes& p, int h, int w, int packType, int pixelSize, int cmpCount, int cmpSize) {
  p.rect(0, 0, h, w).w16(0).w16(uint32(packType)).w32(0).w32(0x480000).w32(0x480000)
      .w16(pixelSize > 8 ? 16 : 0).w16(uint32(pixelSize)).w16(uint32(cmpCount)).w16(uint32(cmpSize))
      .w32(0).w32(0).w32(0);
}

class ParsPICT : public ::testing::Test {
 protected:
  a_picture_scan_rec scan{};
  void TearDown() override { Free_Scan(scan); }
  int16 Scan(const Bytes& p) {
    Clear_Scan_Rec(scan);
    return Scan_Pict_Buf(p.v.data(), p.v.size(), scan);
  }
};

const uint8* Row(const a_picture_scan_rec& scan, int y) {
  const PixMap& pm = *Get_GWorld_PixMap(scan.body.fore);
  return reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(y) * PixMap_RowBytes(pm);
}
int Depth(const a_picture_scan_rec& scan) { return Get_GWorld_PixMap(scan.body.fore)->pixelSize; }

}  // namespace

// --- Reading hand-made pictures ---------------------------------------------------------

// Clip region, a long comment of odd length (the next opcode is word aligned)
// and a direct bitmap of 32-bit pixels packed by component.
TEST_F(ParsPICT, DirectBitmapAfterClipAndCommentGivesA32BitWorld) {
  Bytes p = V2(2, 3);
  p.w16(0x0001).w16(10).rect(0, 0, 2, 3);
  p.w16(0x00A1).w16(100).w16(3).b({1, 2, 3}).align();
  p.w16(0x009A).w32(0xFF).w16(0x8000 | 12);
  PixMapRec(p, 2, 3, 4, 32, 3, 8);
  p.rect(0, 0, 2, 3).rect(0, 0, 2, 3).w16(0);
  // Rows of 12 row bytes: packed, a one-byte count. Planes R, G, B.
  for (int y = 0; y < 2; ++y) {
    const uint8 r0 = uint8(10 * y);
    p.b({10, 8, r0, uint8(r0 + 1), uint8(r0 + 2), 20, 21, 22, 30, 31, 32});
  }
  p.align().w16(0x00FF);
  ASSERT_EQ(Scan(p), 0);
  ASSERT_EQ(Depth(scan), 32);
  EXPECT_EQ(scan.body.bounds, (Rect{0, 0, 2, 3}));
  const uint8 want1[12] = {30, 20, 10, 0, 31, 21, 11, 0, 32, 22, 12, 0};
  EXPECT_EQ(std::memcmp(Row(scan, 1), want1, 12), 0);
}

TEST_F(ParsPICT, IndexedBitmapGivesAn8BitWorldAndItsColourTable) {
  for (bool packed : {false, true}) {
    Bytes p = V2(2, 10);
    p.w16(packed ? 0x0098 : 0x0090).w16(0x8000 | 10);
    PixMapRec(p, 2, 10, 0, 8, 1, 8);
    p.w32(0).w16(0).w16(2);  // three entries, placed by their values
    p.w16(0).w16(0xFFFF).w16(0xFFFF).w16(0xFFFF);
    p.w16(7).w16(0x1200).w16(0x3400).w16(0x5600);
    p.w16(255).w16(0).w16(0).w16(0xFF00);
    p.rect(0, 0, 2, 10).rect(0, 0, 2, 10).w16(0);
    for (int y = 0; y < 2; ++y) {
      const uint8 last = uint8(y ? 255 : 0);
      if (packed) p.b({4, 0xF8, 7, 0, last});  // count 4: run of 9 x 7, literal of 1
      else p.b({7, 7, 7, 7, 7, 7, 7, 7, 7, last});
    }
    p.align().w16(0x00FF);
    ASSERT_EQ(Scan(p), 0) << packed;
    ASSERT_EQ(Depth(scan), 8);
    EXPECT_EQ(Row(scan, 0)[0], 7);
    EXPECT_EQ(Row(scan, 0)[9], 0);
    EXPECT_EQ(Row(scan, 1)[9], 255);
    EXPECT_EQ(scan.ctable[7].r, 0x12);
    EXPECT_EQ(scan.ctable[7].b, 0x56);
    EXPECT_EQ(scan.ctable[255].b, 0xFF);
    EXPECT_EQ(scan.ctable[0].g, 0xFF);
    EXPECT_EQ(scan.ctable[1].raw, 0u);
    Free_Scan(scan);
  }
}

TEST_F(ParsPICT, SixteenBitPixelsPackedByWord) {
  Bytes p = V2(1, 5);
  p.w16(0x009A).w32(0xFF).w16(0x8000 | 10);
  PixMapRec(p, 1, 5, 3, 16, 3, 5);
  p.rect(0, 0, 1, 5).rect(0, 0, 1, 5).w16(0);
  // Run of 4 x 0x7C00 (red), then one literal 0x801F (blue, with the top bit set).
  p.b({7, 0xFD, 0x7C, 0x00, 0x00, 0x80, 0x1F});
  p.align().w16(0x00FF);
  ASSERT_EQ(Scan(p), 0);
  ASSERT_EQ(Depth(scan), 16);
  const uint16* px = reinterpret_cast<const uint16*>(Row(scan, 0));
  EXPECT_EQ(px[0], 0x7C00);
  EXPECT_EQ(px[3], 0x7C00);
  EXPECT_EQ(px[4], 0x001F);  // the unused top bit is cleared
}

// A version 1 picture with a 1-bit bitmap: 1 is black, 0 white.
TEST_F(ParsPICT, VersionOneBitMap) {
  Bytes p;
  p.w16(0).rect(0, 0, 2, 9).b({0x11, 0x01});
  p.b({0x01}).w16(10).rect(0, 0, 2, 9);  // clip
  p.b({0xA0}).w16(5);                    // short comment
  p.b({0x90}).w16(2).rect(0, 0, 2, 9).rect(0, 0, 2, 9).rect(0, 0, 2, 9).w16(0);
  p.b({0x80, 0x80, 0xFF, 0x80});
  p.b({0xFF});
  ASSERT_EQ(Scan(p), 0);
  ASSERT_EQ(Depth(scan), 8);
  EXPECT_EQ(std::vector<uint8>(Row(scan, 0), Row(scan, 0) + 9), (std::vector<uint8>{1, 0, 0, 0, 0, 0, 0, 0, 1}));
  EXPECT_EQ(std::vector<uint8>(Row(scan, 1), Row(scan, 1) + 9), (std::vector<uint8>{1, 1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(scan.ctable[0].r, 255);
  EXPECT_EQ(scan.ctable[1].r, 0);
}

TEST_F(ParsPICT, BadPicturesAreRefusedWithTheirCode) {
  auto indexed = [](int ct_size, int index, int pixel_size) {
    Bytes p = V2(1, 8);
    p.w16(0x0098).w16(0x8000 | 8);
    PixMapRec(p, 1, 8, 0, pixel_size, 1, pixel_size);
    p.w32(0).w16(0).w16(uint32(ct_size));
    for (int i = 0; i <= std::min(ct_size, 3); ++i) p.w16(uint32(index)).w16(0).w16(0).w16(0);
    p.rect(0, 0, 1, 8).rect(0, 0, 1, 8).w16(0);
    p.b({2, 0xF9, 1});
    p.align().w16(0x00FF);
    return p;
  };
  struct Case {
    const char* name;
    Bytes p;
    int16 want;
  };
  std::vector<Case> cases;
  cases.push_back({"sound", indexed(0, 1, 8), PICT_OK});
  { Bytes p; p.w16(0).rect(0, 0, 1, 1).w16(0x0012).w16(0x02FF); cases.push_back({"version 3", p, PICT_ERR_HEADER}); }
  { Bytes p; p.w16(0).rect(0, 0, 1, 1); cases.push_back({"no version", p, PICT_ERR_HEADER}); }
  { Bytes p = V2(1, 1); p.w16(0x00FF); cases.push_back({"end before any image", p, PICT_ERR_NO_IMAGE}); }
  { Bytes p = V2(1, 1); p.w16(0x0030).rect(0, 0, 1, 1); cases.push_back({"a drawing opcode", p, PICT_ERR_NO_IMAGE}); }
  { Bytes p = V2(1, 1); p.w16(0x0001).w16(5000); cases.push_back({"region past the end", p, PICT_ERR_SHORT}); }
  { Bytes p = V2(1, 1); p.w16(0x00A1).w16(0).w16(9000); cases.push_back({"comment past the end", p, PICT_ERR_SHORT}); }
  cases.push_back({"colour index 256", indexed(0, 256, 8), PICT_ERR_CTABLE});
  cases.push_back({"300 colours", indexed(299, 1, 8), PICT_ERR_CTABLE});
  cases.push_back({"pixel size 3", indexed(0, 1, 3), PICT_ERR_BITMAP});
  {
    Bytes p = indexed(0, 1, 8);
    p.v.resize(p.v.size() - 4);  // the row's data cut
    cases.push_back({"row past the end", p, PICT_ERR_SHORT});
  }
  {
    Bytes p = V2(1, 8);
    p.w16(0x0098).w16(0x8000 | 2);  // 2 row bytes for 8 pixels of 8 bits
    PixMapRec(p, 1, 8, 0, 8, 1, 8);
    p.w32(0).w16(0).w16(0).w16(0).w16(0).w16(0).w16(0);
    p.rect(0, 0, 1, 8).rect(0, 0, 1, 8).w16(0).b({0, 0});
    cases.push_back({"row bytes too few", p, PICT_ERR_BITMAP});
  }
  {
    Bytes p = V2(1, 8);
    p.w16(0x009A).w32(0xFF).w16(0x8000 | 32);
    PixMapRec(p, 0, 0, 4, 32, 3, 8);  // empty bounds
    p.rect(0, 0, 1, 8).rect(0, 0, 1, 8).w16(0);
    cases.push_back({"empty bounds", p, PICT_ERR_BITMAP});
  }
  for (const Case& c : cases) {
    EXPECT_EQ(Scan(c.p), c.want) << c.name;
    EXPECT_EQ(scan.body.fore != nullptr, c.want == PICT_OK) << c.name;
    Free_Scan(scan);
  }
}

TEST_F(ParsPICT, FilesOf512BytesOrLessAreRefused) {
  const std::string tmp = Make_Temp_Dir();
  ASSERT_TRUE(Write_Bytes(tmp + "/a.pict", std::vector<uint8>(512, 0)));
  a_file_format fmt = FMT_DISC;
  EXPECT_EQ(Scan_PICT(Spec(tmp + "/a.pict"), scan, fmt), PICT_ERR_HEADER);
  EXPECT_EQ(fmt, FMT_PICT);
  EXPECT_EQ(Scan_PICT(Spec(tmp + "/none.pict"), scan, fmt), PICT_ERR_OPEN);
  Remove_Dir(tmp);
}

// --- Exchanges with other programs ----------------------------------------------------------

namespace {
Indexed Make_Indexed(int w, int h) {
  Indexed p{w, h, {}, {}};
  for (int i = 0; i < 256; ++i) p.colors[i] = a_pixel32{{uint8(i * 3), uint8(255 - i), uint8(i), 0}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.idx.push_back(uint8((x / 9 + y / 4) % 3 == 0 ? 40 : (x * 5 + y * 3) & 0xFF));
  return p;
}
}  // namespace

// Our pictures read back by ImageMagick (netpbm's reader of pictures is not
// installed here) and by us, for narrow rows (unpacked), rows with a one-byte
// count and rows with a two-byte count.
TEST_F(ParsPICT, WrittenPicturesReadTheSameElsewhere) {
  REQUIRE_TOOL("convert");
  const std::string convert = Find_Tool("convert");
  const std::string tmp = Make_Temp_Dir();
  for (int w : {5, 97, 300}) {
    const Indexed p = Make_Indexed(w, 7);
    GWorldPtr world = nullptr;
    ASSERT_EQ(New_GWorld(Rect{0, 0, 7, int16(w)}, 8, nullptr, world), noErr);
    const PixMap& pm = *Get_GWorld_PixMap(world);
    for (int y = 0; y < 7; ++y)
      std::memcpy(pm.baseAddr + size_t(y) * PixMap_RowBytes(pm), &p.idx[size_t(y * w)], size_t(w));
    const std::string path = tmp + "/w.pict";
    ASSERT_EQ(Write_PICT(FMT_PICT, Spec(path), FourCC("????"), FourCC("PICT"), p.colors, pm), 0) << w;
    Dispose_GWorld(world);
    const std::vector<uint8> bytes = Read_Bytes(path);
    ASSERT_GT(bytes.size(), 512u);
    EXPECT_EQ(size_t((bytes[512] << 8) | bytes[513]), (bytes.size() - 512) & 0xFFFF);
    EXPECT_EQ(bytes[bytes.size() - 1], 0xFF);

    a_file_format fmt;
    ASSERT_EQ(Scan_PICT(Spec(path), scan, fmt), 0) << w;
    EXPECT_EQ(Max_Diff(Scan_To_Image(scan), p.rgb()), 0) << w;
    Free_Scan(scan);
    if (!convert.empty()) {
      ASSERT_TRUE(Run_Tool("'" + convert + "' PICT:'" + path + "' -depth 8 ppm:'" + tmp + "/c.ppm'")) << w;
      Image got;
      ASSERT_TRUE(Read_PNM(tmp + "/c.ppm", got)) << w;
      EXPECT_EQ(Max_Diff(got, p.rgb()), 0) << w;
    }
  }
  Remove_Dir(tmp);
}

TEST_F(ParsPICT, PicturesOfOtherWritersAreRead) {
  const std::string ppmtopict = Find_Tool("ppmtopict");
  const std::string convert = Find_Tool("convert");
  REQUIRE_TOOL("ppmtopict");
  REQUIRE_TOOL("convert");
  const std::string tmp = Make_Temp_Dir();
  const Indexed ip = Make_Indexed(61, 23);
  ASSERT_TRUE(Write_PPM(tmp + "/idx.ppm", ip.rgb()));
  const Image tc = Test_Pattern(300, 19);  // true colour, rows over 250 bytes
  ASSERT_TRUE(Write_PPM(tmp + "/tc.ppm", tc));
  struct Job {
    std::string name, cmd;
    Image want;
    int depth;
  };
  std::vector<Job> jobs;
  if (!ppmtopict.empty())
    jobs.push_back({"ppmtopict", "'" + ppmtopict + "' '" + tmp + "/idx.ppm' > '" + tmp + "/out.pict'", ip.rgb(), 8});
  if (!convert.empty()) {
    jobs.push_back({"convert true colour", "'" + convert + "' '" + tmp + "/tc.ppm' PICT:'" + tmp + "/out.pict'", tc, 32});
    jobs.push_back({"convert small", "'" + convert + "' '" + tmp + "/idx.ppm' PICT:'" + tmp + "/out.pict'", ip.rgb(), 32});
  }
  for (const Job& j : jobs) {
    ASSERT_TRUE(Run_Tool(j.cmd)) << j.name;
    a_file_format fmt;
    ASSERT_EQ(Scan_PICT(Spec(tmp + "/out.pict"), scan, fmt), 0) << j.name;
    EXPECT_EQ(Depth(scan), j.depth) << j.name;
    EXPECT_EQ(Max_Diff(Scan_To_Image(scan), j.want), 0) << j.name;
    Free_Scan(scan);
  }
  Remove_Dir(tmp);
}
