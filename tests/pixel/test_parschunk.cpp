// The chunk stream: header and value encodings, the search, pixel-map bodies
// of both versions, worlds and masked worlds, and what damaged files and
// failing disks do to it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/HostFiles.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/ParsChunk.h"
#include "platform/SysIO.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

using Bytes = std::vector<uint8>;

void Put16(Bytes& b, uint16 v) {
  b.push_back(uint8(v >> 8));
  b.push_back(uint8(v));
}
void Put32(Bytes& b, uint32 v) {
  Put16(b, uint16(v >> 16));
  Put16(b, uint16(v));
}
void PutRect(Bytes& b, Rect r) {
  Put16(b, uint16(r.top));
  Put16(b, uint16(r.left));
  Put16(b, uint16(r.bottom));
  Put16(b, uint16(r.right));
}
// A whole chunk: label, id, length, body.
// A whole chunk with a length field that need not match its body.
void PutChunkLen(Bytes& b, const char* label, int32 id, const Bytes& body, int32 clen) {
  b.insert(b.end(), label, label + 4);
  Put32(b, uint32(id));
  Put32(b, uint32(clen));
  b.insert(b.end(), body.begin(), body.end());
}
void PutChunk(Bytes& b, const char* label, int32 id, const Bytes& body) {
  PutChunkLen(b, label, id, body, int32(body.size()));
}

const Bytes kPreamble = {'V', 'L', 'M', '4'};

// A map of the depth over bounds with a different value at every pixel.
void Fill_Pattern(PixMap& pm) {
  const uint32 stride = PixMap_RowBytes(pm);
  const int32 h = pm.bounds.bottom - pm.bounds.top;
  uint8* base = reinterpret_cast<uint8*>(pm.baseAddr);
  for (int32 y = 0; y < h; ++y)
    for (uint32 x = 0; x < stride; ++x) base[size_t(y) * stride + x] = uint8(y * 37 + x * 11 + 5);
}

// The pixel at (col, row) as 32 bits, whatever the depth.
uint32 Pixel_At(const PixMap& pm, int32 col, int32 row) {
  const uint8* p = reinterpret_cast<const uint8*>(pm.baseAddr) +
                   size_t(row - pm.bounds.top) * PixMap_RowBytes(pm);
  const int32 x = col - pm.bounds.left;
  switch (pm.pixelSize) {
    case 1:
      return (p[x >> 3] >> (7 - (x & 7))) & 1;
    case 8:
      return p[x];
    case 16:
      return uint32(p[2 * x]) | (uint32(p[2 * x + 1]) << 8);
    default:
      return uint32(p[4 * x]) | (uint32(p[4 * x + 1]) << 8) | (uint32(p[4 * x + 2]) << 16) |
             (uint32(p[4 * x + 3]) << 24);
  }
}

bool Inside(const Rect& r, int32 col, int32 row) {
  return col >= r.left && col < r.right && row >= r.top && row < r.bottom;
}

class ChunkTest : public ::testing::Test {
 protected:
  std::string dir_;
  std::string file_;
  FSSpec doc_{};

  void SetUp() override {
    std::string tmpl = Host_Temp_Dir() + "/velmor-chunk-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    ASSERT_NE(::mkdtemp(buf.data()), nullptr);
    dir_ = buf.data();
    file_ = dir_ + "/doc.cd4";
    ASSERT_TRUE(Path_From_Text(doc_, file_.c_str()));
    SysVideo_Init();
    InitGray();
  }
  void TearDown() override {
    Host_Fail_Writes_After(-1);
    Host_Fail_Reads_After(-1);
    if (!Is_Null_Fd(g_chunk_fd)) Chunk_Stop();
    ::unlink(file_.c_str());
    ::rmdir(dir_.c_str());
    SysVideo_Stop();
  }

  // A new file holding the preamble, open as the stream for writing.
  void Open_Write() {
    ASSERT_EQ(File_Create(true, doc_, 0, 0), noErr);
    a_fd fd = File_Open(doc_, GENERIC_READ | GENERIC_WRITE);
    ASSERT_FALSE(Is_Null_Fd(fd));
    Chunk_Init(fd, 4);
    ASSERT_EQ(Chunk_WriteRaw(kPreamble.data(), 4), noErr);
  }
  // Closes the stream and opens the file again for reading.
  void Reopen_Read() {
    ASSERT_EQ(Chunk_Stop(), noErr);
    Open_Read();
  }
  void Open_Read() {
    a_fd fd = File_Open(doc_, GENERIC_READ);
    ASSERT_FALSE(Is_Null_Fd(fd));
    Chunk_Init(fd, 4);
  }
  // The file holds the preamble and then `chunks`; opened for reading.
  void Open_Bytes(const Bytes& chunks) {
    {
      std::ofstream f(file_, std::ios::binary | std::ios::trunc);
      f.write(reinterpret_cast<const char*>(kPreamble.data()), 4);
      f.write(reinterpret_cast<const char*>(chunks.data()), std::streamsize(chunks.size()));
    }
    Open_Read();
  }
  Bytes File_Bytes() const {
    std::ifstream f(file_, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
};

// --- Encodings --------------------------------------------------------------------------

TEST_F(ChunkTest, HeaderAndValuesAreBigEndianOnDisk) {
  Open_Write();
  Chunk_WriteStart("Abc1", 0x01020304);
  Chunk_WriteBoolean(true);
  Chunk_WriteInt16(-2);
  Chunk_WriteCard32(0xA1B2C3D4u);
  Chunk_WriteReal(1.0f);
  Chunk_WritePoint(Point{0x0102, 0x0304});
  Chunk_WriteRect(Rect{1, 2, 3, 4});
  a_pixel32 px;
  px.b = 0x10, px.g = 0x20, px.r = 0x30, px.a = 0xFF;
  Chunk_WritePixel32(px);
  Chunk_WriteFRect(a_frect{1.0f, 2.0f, -2.0f, 0.0f});
  Chunk_WriteKey(a_keyset{1, -1, 2, 3});
  FSSpec p{};
  std::strcpy(p.name, "/a/b");
  Chunk_WritePath(p);
  Chunk_WritePString("hi");
  const UniChar u[2] = {0x00E9, 0x4E2D};
  Chunk_WriteUString(u, 4);
  Chunk_WriteHandle(nullptr);
  ASSERT_EQ(Chunk_WriteStop(), noErr);
  ASSERT_EQ(Chunk_Stop(), noErr);

  Bytes want = kPreamble;
  Bytes body = {1, 0xFF, 0xFE, 0xA1, 0xB2, 0xC3, 0xD4, 0x3F, 0x80, 0, 0, 1, 2, 3, 4, 0, 1, 0, 2, 0, 3, 0, 4,
                0x30, 0x20, 0x10, 0xFF,
                0x3F, 0x80, 0, 0, 0x40, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0,
                0, 1, 0xFF, 0xFF, 0, 2, 0, 3,
                0, 0, 0, 0, 0, 0, 4, '/', 'a', '/', 'b',
                2, 'h', 'i',
                0x00, 0xE9, 0x4E, 0x2D,
                0, 0, 0, 0};
  PutChunk(want, "Abc1", 0x01020304, body);
  EXPECT_EQ(File_Bytes(), want);
}

TEST_F(ChunkTest, EveryValueTypeRoundTrips) {
  Open_Write();
  Chunk_WriteStart("VALS", -7);
  Chunk_WriteBoolean(true);
  Chunk_WriteBoolean(false);
  Chunk_WriteInt16(-32768);
  Chunk_WriteCard16(65535);
  Chunk_WriteInt32(INT32_MIN);
  Chunk_WriteCard32(0xFFFFFFFEu);
  Chunk_WriteReal(-0.1f);
  Chunk_WriteReal(INFINITY);
  Chunk_WriteFRect(a_frect{-1.25f, 2.5f, 1e30f, -0.0f});
  Chunk_WritePoint(Point{-5, 32767});
  Chunk_WriteRect(Rect{-32768, -1, 0, 32767});
  a_pixel32 px;
  px.raw = 0x80FF0001u;
  Chunk_WritePixel32(px);
  Chunk_WriteKey(a_keyset{-32768, 0, 1, 32767});
  FSSpec path{};
  std::strcpy(path.name, "/home/u/Pictures/ph\xC3\xB6to.jpg");
  Chunk_WritePath(path);
  Chunk_WritePString("");
  std::string long_text(300, 'x');
  Chunk_WritePString(long_text);  // only 255 characters fit the length byte
  const UniChar us[3] = {u'A', 0xD83D, 0xDE00};
  Chunk_WriteUString(us, 6);
  Handle h = New_Handle(5);
  std::memcpy(Handle_Lock(h), "\x00\x01\x02\xFE\xFF", 5);
  Handle_Unlock(h);
  Chunk_WriteHandle(h);
  Dispose_Handle(h);
  Chunk_WriteHandle(nullptr);
  Chunk_WriteRaw("raw", 3);
  ASSERT_EQ(Chunk_WriteStop(), noErr);
  Reopen_Read();

  ASSERT_TRUE(Chunk_Find("VALS", -7));
  bool8 b1 = false, b2 = true;
  int16 i16 = 0;
  uint16 c16 = 0;
  int32 i32 = 0;
  uint32 c32 = 0;
  float r1 = 0, r2 = 0;
  a_frect fr{};
  Point pt{};
  Rect rc{};
  a_pixel32 px2{};
  a_keyset key{};
  FSSpec path2{};
  path2.vRefNum = 3;
  path2.parID = 99;
  Str255 s1, s2;
  UniChar us2[4] = {0, 0, 0, 0x7777};
  Handle h2 = nullptr, h3 = reinterpret_cast<Handle>(1);
  char raw[3];
  Chunk_ReadBoolean(b1);
  Chunk_ReadBoolean(b2);
  Chunk_ReadInt16(i16);
  Chunk_ReadCard16(c16);
  Chunk_ReadInt32(i32);
  Chunk_ReadCard32(c32);
  Chunk_ReadReal(r1);
  Chunk_ReadReal(r2);
  Chunk_ReadFRect(fr);
  Chunk_ReadPoint(pt);
  Chunk_ReadRect(rc);
  Chunk_ReadPixel32(px2);
  Chunk_ReadKey(key);
  Chunk_ReadPath(path2);
  Chunk_ReadPString(s1);
  Chunk_ReadPString(s2);
  Chunk_ReadUString(UStrSpan(us2, 3), 6);
  Chunk_ReadHandle(h2);
  Chunk_ReadHandle(h3);
  ASSERT_EQ(Chunk_ReadRaw(raw, 3), noErr);
  EXPECT_EQ(Chunk_Read_Error(), noErr);

  EXPECT_TRUE(b1);
  EXPECT_FALSE(b2);
  EXPECT_EQ(i16, -32768);
  EXPECT_EQ(c16, 65535);
  EXPECT_EQ(i32, INT32_MIN);
  EXPECT_EQ(c32, 0xFFFFFFFEu);
  EXPECT_EQ(r1, -0.1f);
  EXPECT_EQ(r2, INFINITY);
  EXPECT_EQ(fr.left, -1.25f);
  EXPECT_EQ(fr.top, 2.5f);
  EXPECT_EQ(fr.right, 1e30f);
  EXPECT_TRUE(fr.bottom == 0.0f && std::signbit(fr.bottom));
  EXPECT_EQ(pt, (Point{-5, 32767}));
  EXPECT_EQ(rc, (Rect{-32768, -1, 0, 32767}));
  EXPECT_EQ(px2.raw, 0x80FF0001u);
  EXPECT_EQ(key.a, -32768);
  EXPECT_EQ(key.d, 32767);
  EXPECT_STREQ(path2.name, path.name);
  EXPECT_EQ(path2.vRefNum, 3);  // only the name is read
  EXPECT_EQ(path2.parID, 99);
  EXPECT_STREQ(s1, "");
  EXPECT_EQ(std::string(s2), std::string(255, 'x'));
  EXPECT_EQ(us2[0], u'A');
  EXPECT_EQ(us2[1], 0xD83D);
  EXPECT_EQ(us2[2], 0xDE00);
  EXPECT_EQ(us2[3], 0x7777);
  ASSERT_NE(h2, nullptr);
  ASSERT_EQ(Handle_GetSize(h2), 5u);
  EXPECT_EQ(std::memcmp(Handle_Lock(h2), "\x00\x01\x02\xFE\xFF", 5), 0);
  Handle_Unlock(h2);
  EXPECT_FALSE(Is_Handle_Locked(h2));
  Dispose_Handle(h2);
  EXPECT_EQ(h3, nullptr);
  EXPECT_EQ(std::memcmp(raw, "raw", 3), 0);
}

TEST_F(ChunkTest, StringsCutToTheirBufferKeepTheStreamInStep) {
  Open_Write();
  Chunk_WriteStart("STRS", 1);
  Chunk_WritePString("abcdefgh");
  Chunk_WriteInt16(1234);
  FSSpec longpath{};
  std::memset(longpath.name, 'p', 300);  // too long for the length byte
  Chunk_WritePath(longpath);
  Chunk_WriteInt16(5678);
  ASSERT_EQ(Chunk_WriteStop(), noErr);
  Reopen_Read();

  ASSERT_TRUE(Chunk_Find("STRS", 1));
  char small[4];
  int16 a = 0, b = 0;
  Chunk_ReadPString(small);
  Chunk_ReadInt16(a);
  FSSpec back{};
  std::strcpy(back.name, "old");
  Chunk_ReadPath(back);
  Chunk_ReadInt16(b);
  EXPECT_STREQ(small, "abc");
  EXPECT_EQ(a, 1234);
  EXPECT_STREQ(back.name, "");  // stored empty, never cut to another name
  EXPECT_EQ(b, 5678);
  EXPECT_EQ(Chunk_Read_Error(), noErr);
}

// A stored file (made by hand from the format, not by this writer) must keep
// reading as it always did.
TEST_F(ChunkTest, StoredSampleFileReads) {
  FSSpec sample{};
  ASSERT_TRUE(Path_From_Text(sample, Fixture_Path("chunk/sample.chk").c_str()));
  a_fd fd = File_Open(sample, GENERIC_READ);
  ASSERT_FALSE(Is_Null_Fd(fd));
  Chunk_Init(fd, 4);
  char pre[4];
  ASSERT_EQ(Chunk_ReadRaw(pre, 4), noErr);  // the caller checks the preamble
  EXPECT_EQ(std::memcmp(pre, "VLM4", 4), 0);

  ASSERT_TRUE(Chunk_Find("VALS", 1));
  bool8 b = false;
  int16 i16 = 0, ulen = 0;
  uint32 c32 = 0;
  float r = 0;
  Rect rc{};
  a_pixel32 px{};
  a_keyset key{};
  FSSpec path{};
  Str255 name;
  UniChar us[8] = {};
  Handle h1 = nullptr, h2 = nullptr;
  Chunk_ReadBoolean(b);
  Chunk_ReadInt16(i16);
  Chunk_ReadCard32(c32);
  Chunk_ReadReal(r);
  Chunk_ReadRect(rc);
  Chunk_ReadPixel32(px);
  Chunk_ReadKey(key);
  Chunk_ReadPath(path);
  Chunk_ReadPString(name);
  Chunk_ReadInt16(ulen);
  Chunk_ReadUString(us, ulen);
  Chunk_ReadHandle(h1);
  Chunk_ReadHandle(h2);
  EXPECT_EQ(Chunk_Read_Error(), noErr);
  EXPECT_TRUE(b);
  EXPECT_EQ(i16, -2);
  EXPECT_EQ(c32, 0xA1B2C3D4u);
  EXPECT_EQ(r, 1.5f);
  EXPECT_EQ(rc, (Rect{1, 2, 3, 4}));
  EXPECT_EQ(px.r, 0x30);
  EXPECT_EQ(px.g, 0x20);
  EXPECT_EQ(px.b, 0x10);
  EXPECT_EQ(px.a, 0xFF);
  EXPECT_EQ(key.b, -1);
  EXPECT_EQ(key.d, 3);
  EXPECT_STREQ(path.name, "/x/y.png");
  EXPECT_STREQ(name, "Label");
  EXPECT_EQ(us[0], u'H');
  EXPECT_EQ(us[1], u'i');
  ASSERT_NE(h1, nullptr);
  ASSERT_EQ(Handle_GetSize(h1), 3u);
  EXPECT_EQ(std::memcmp(Handle_Lock(h1), "abc", 3), 0);
  Dispose_Handle(h1);
  EXPECT_EQ(h2, nullptr);

  PixMap pm{};
  ASSERT_EQ(Chunk_ReadPix("PIXM", 1, pm), noErr);
  EXPECT_EQ(Pixel_At(pm, 0, 0), 0u);  // outside the stored subset
  EXPECT_EQ(Pixel_At(pm, 1, 0), 10u);
  EXPECT_EQ(Pixel_At(pm, 2, 1), 40u);
  Dispose_PixMap(pm);
  ASSERT_EQ(Chunk_ReadPix("OLDP", 1, pm), noErr);
  EXPECT_EQ(Pixel_At(pm, 0, 0), 0u);  // stored 255, top row last
  EXPECT_EQ(Pixel_At(pm, 1, 0), 5u);
  EXPECT_EQ(Pixel_At(pm, 0, 1), 255u);
  EXPECT_EQ(Pixel_At(pm, 1, 1), 1u);
  EXPECT_EQ(Pixel_At(pm, 2, 1), 254u);
  Dispose_PixMap(pm);

  a_masked_gworld mw;
  Null_MW(mw);
  ASSERT_EQ(Chunk_ReadMW("FORE", "MASK", 2, mw), noErr);
  EXPECT_EQ(mw.bounds, (Rect{0, 0, 1, 2}));
  ASSERT_NE(mw.mask, nullptr);
  EXPECT_EQ(Pixel_At(*Get_GWorld_PixMap(mw.fore), 1, 0), 0x08050607u);  // stored r 5, g 6, b 7, a 8
  EXPECT_EQ(Pixel_At(*Get_GWorld_PixMap(mw.mask), 1, 0), 255u);
  Dispose_MW(mw);
  EXPECT_EQ(Chunk_Stop(), noErr);
}

// --- The search ---------------------------------------------------------------------------

TEST_F(ChunkTest, FindTakesTheFirstMatchAndTellsLabelsByCase) {
  Open_Write();
  Chunk_WriteStart("EMPT", 1);  // empty body: reads as absent
  ASSERT_EQ(Chunk_WriteStop(), noErr);
  Chunk_WriteStart("DUPL", 2);
  ASSERT_EQ(Chunk_WriteStop(), noErr);
  Chunk_WriteStart("DUPL", 2);  // a later one with a body is never found
  Chunk_WriteInt16(99);
  ASSERT_EQ(Chunk_WriteStop(), noErr);
  Chunk_WriteStart("Case", 3);
  Chunk_WriteInt16(11);
  ASSERT_EQ(Chunk_WriteStop(), noErr);
  Chunk_WriteStart("Case", 4);
  Chunk_WriteInt16(22);
  ASSERT_EQ(Chunk_WriteStop(), noErr);
  Reopen_Read();

  EXPECT_FALSE(Chunk_Find("EMPT", 1));
  EXPECT_FALSE(Chunk_Find("DUPL", 2));
  EXPECT_EQ(Chunk_Read_Error(), noErr);  // absent, not damaged
  EXPECT_FALSE(Chunk_Find("CASE", 3));
  EXPECT_FALSE(Chunk_Find("Case", 5));
  int16 v = 0;
  ASSERT_TRUE(Chunk_Find("Case", 4));
  Chunk_ReadInt16(v);
  EXPECT_EQ(v, 22);
  ASSERT_TRUE(Chunk_Find("Case", 3));  // searching again starts from the top
  Chunk_ReadInt16(v);
  EXPECT_EQ(v, 11);
}

// A chunk left open when the next one starts is closed with its length, so
// the chunks behind it can still be found.
TEST_F(ChunkTest, AnUnfinishedChunkDoesNotHideTheOnesBehindIt) {
  Open_Write();
  EXPECT_EQ(Chunk_WriteStop(), errFailed);  // nothing started: the preamble is left alone
  Chunk_WriteStart("OPEN", 1);
  Chunk_WriteInt32(1);
  Chunk_WriteStart("NEXT", 1);
  Chunk_WriteInt32(2);
  ASSERT_EQ(Chunk_WriteStop(), noErr);
  Reopen_Read();
  const Bytes file = File_Bytes();
  ASSERT_EQ(file.size(), 4u + 2 * 16);
  EXPECT_TRUE(std::equal(kPreamble.begin(), kPreamble.end(), file.begin()));
  int32 v = 0;
  ASSERT_TRUE(Chunk_Find("NEXT", 1));
  Chunk_ReadInt32(v);
  EXPECT_EQ(v, 2);
  ASSERT_TRUE(Chunk_Find("OPEN", 1));
  Chunk_ReadInt32(v);
  EXPECT_EQ(v, 1);
}

// A damaged length never makes the search loop, go back, or run past the
// file: it ends with FALSE and says the file is damaged.
TEST_F(ChunkTest, DamagedLengthsEndTheSearch) {
  struct Case {
    const char* what;
    int32 clen;
    bool matching;
  } cases[] = {
      {"length -12 would not move", -12, false},
      {"length -20 would go back", -20, false},
      {"length -4 would creep", -4, false},
      {"negative length on the match", -1, true},
      {"length past the end", 1000, false},
      {"length past the end on the match", 1000, true},
      {"largest length", INT32_MAX, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes b;
    PutChunkLen(b, c.matching ? "FIND" : "JUNK", 1, Bytes{1, 2, 3, 4, 5, 6, 7, 8}, c.clen);
    PutChunk(b, "FIND", 1, Bytes{0, 42});
    Open_Bytes(b);
    EXPECT_FALSE(Chunk_Find("FIND", 1));
    EXPECT_EQ(Chunk_Read_Error(), kChunkBadData);
    int16 v = 7;
    Chunk_ReadInt16(v);  // no chunk: nothing is read
    EXPECT_EQ(v, 0);
    Chunk_Stop();
  }
}

TEST_F(ChunkTest, TornHeaderAtTheEndIsDamage) {
  Bytes b;
  PutChunk(b, "AAAA", 1, Bytes{1});
  b.insert(b.end(), {'B', 'B', 'B', 'B', 0, 0});
  Open_Bytes(b);
  EXPECT_TRUE(Chunk_Find("AAAA", 1));
  EXPECT_FALSE(Chunk_Find("BBBB", 0));
  EXPECT_EQ(Chunk_Read_Error(), kChunkBadData);
}

// Reads stay inside the body: past it they give zeros, and so does every
// later read of that chunk, instead of handing on the next header.
TEST_F(ChunkTest, ReadsPastTheBodyGiveZerosAndAreReported) {
  Bytes b;
  PutChunk(b, "SHRT", 1, Bytes{0x12, 0x34, 0x56});
  PutChunk(b, "NEXT", 2, Bytes{0x7F, 0x7F, 0x7F, 0x7F});
  Open_Bytes(b);
  ASSERT_TRUE(Chunk_Find("SHRT", 1));
  int16 a = 0;
  int32 c = -1;
  uint8 d = 9;
  Chunk_ReadInt16(a);
  Chunk_ReadInt32(c);  // only one byte left
  Chunk_ReadRaw(&d, 1);
  EXPECT_EQ(a, 0x1234);
  EXPECT_EQ(c, 0);
  EXPECT_EQ(d, 0);  // the error holds for the rest of the chunk
  EXPECT_EQ(Chunk_Read_Error(), eofErr);
  ASSERT_TRUE(Chunk_Find("NEXT", 2));  // a new search starts clean
  EXPECT_EQ(Chunk_Read_Error(), noErr);
  Chunk_ReadInt32(c);
  EXPECT_EQ(c, 0x7F7F7F7F);
}

TEST_F(ChunkTest, FailedReadsGiveZeros) {
  Bytes b;
  PutChunk(b, "DATA", 1, Bytes{1, 2, 3, 4, 5, 6, 7, 8});
  Open_Bytes(b);
  ASSERT_TRUE(Chunk_Find("DATA", 1));
  Host_Fail_Reads_After(2);
  int32 v = -1;
  Chunk_ReadInt32(v);
  Host_Fail_Reads_After(-1);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(Chunk_Read_Error(), errFailed);
}

// --- Refused values -------------------------------------------------------------------------

TEST_F(ChunkTest, UStringCountsThatDoNotFitAreRefused) {
  Bytes body;
  for (uint16 u : {0x0041, 0x0042, 0x0043, 0x0044}) Put16(body, u);
  Bytes b;
  PutChunk(b, "USTR", 1, body);
  Open_Bytes(b);
  struct Case {
    int32 nbytes;
    size_t room;
  } refused[] = {{5, 4}, {-2, 4}, {8, 3}, {3, 1}};
  for (const Case& c : refused) {
    SCOPED_TRACE(c.nbytes);
    ASSERT_TRUE(Chunk_Find("USTR", 1));
    UniChar buf[5] = {0x1111, 0x1111, 0x1111, 0x1111, 0x1111};
    Chunk_ReadUString(UStrSpan(buf, c.room), c.nbytes);
    EXPECT_EQ(Chunk_Read_Error(), errFailed);
    for (UniChar u : buf) EXPECT_EQ(u, 0x1111);
  }
  ASSERT_TRUE(Chunk_Find("USTR", 1));
  UniChar buf[4] = {};
  Chunk_ReadUString(buf, 8);
  EXPECT_EQ(buf[3], 0x0044);
  EXPECT_EQ(Chunk_Read_Error(), noErr);
}

TEST_F(ChunkTest, OddUStringCountMakesTheWriteFail) {
  Open_Write();
  const UniChar u[3] = {1, 2, 3};
  Chunk_WriteStart("USTR", 1);
  Chunk_WriteUString(u, 5);
  EXPECT_NE(Chunk_WriteStop(), noErr);
  EXPECT_NE(Chunk_Stop(), noErr);
}

TEST_F(ChunkTest, HandleLengthsBeyondTheBodyAreRefusedBeforeAllocating) {
  struct Case {
    const char* what;
    int32 len;
    OSErr err;
  } cases[] = {
      {"one more than is there", 5, eofErr},
      {"huge", 0x7FFFFFF0, eofErr},
      {"negative", -3, errFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes body;
    Put32(body, uint32(c.len));
    body.insert(body.end(), {1, 2, 3, 4});
    Bytes b;
    PutChunk(b, "HNDL", 1, body);
    Open_Bytes(b);
    ASSERT_TRUE(Chunk_Find("HNDL", 1));
    Handle h = reinterpret_cast<Handle>(1);
    Chunk_ReadHandle(h);  // a huge block would reach the out-of-memory hook, which throws here
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(Chunk_Read_Error(), c.err);
    Chunk_Stop();
  }
}

// --- Write errors ---------------------------------------------------------------------------

// A full disk in the header, the body or the length makes the chunk fail, and
// the session remembers it, so a save cannot report success.
TEST_F(ChunkTest, WriteErrorsAnywhereInAChunkAreReported) {
  for (int64 allow : {0, 5, 12, 20, 24}) {
    SCOPED_TRACE(allow);
    Open_Write();
    Chunk_WriteStart("GOOD", 1);
    Chunk_WriteInt32(1);
    ASSERT_EQ(Chunk_WriteStop(), noErr);
    Host_Fail_Writes_After(allow);  // header 12 bytes, body 12, then the 4-byte length
    Chunk_WriteStart("FULL", 2);
    Chunk_WriteInt32(1);
    Chunk_WriteInt32(2);
    Chunk_WriteInt32(3);
    EXPECT_EQ(g_chunk_len, 12);  // failed bytes are counted all the same
    EXPECT_NE(Chunk_WriteStop(), noErr);
    Host_Fail_Writes_After(-1);
    EXPECT_NE(Chunk_Write_Error(), noErr);
    EXPECT_NE(Chunk_Stop(), noErr);
  }
}

// --- Pixel maps -----------------------------------------------------------------------------

TEST_F(ChunkTest, PixelMapsRoundTripAtEveryDepth) {
  const Rect bounds{-3, 5, 7, 19};   // 14 wide, 10 high, off the origin
  const Rect subset{-1, 6, 6, 15};   // 9 wide: a 1-bit row takes 2 bytes
  for (int16 depth : {1, 8, 16, 32}) {
    SCOPED_TRACE(depth);
    PixMap src{};
    New_PixMap(src, bounds, depth, nullptr);
    Fill_Pattern(src);
    Open_Write();
    ASSERT_EQ(Chunk_WritePix("PIXM", depth, &src, subset), noErr);
    Reopen_Read();

    const int32 rowlen = depth == 1 ? 2 : 9 * depth / 8;
    ASSERT_TRUE(Chunk_Find("PIXM", depth));
    EXPECT_EQ(g_chunk_len, 22 + 7 * rowlen);

    PixMap back{};
    ASSERT_EQ(Chunk_ReadPix("PIXM", depth, back), noErr);
    ASSERT_FALSE(Is_Null_PixMap(back));
    EXPECT_EQ(back.bounds, bounds);
    EXPECT_EQ(back.pixelSize, depth);
    EXPECT_EQ(back.pmTable, depth == 8 ? gray_ctable : nullptr);
    int mismatches = 0;
    for (int32 row = bounds.top; row < bounds.bottom; ++row)
      for (int32 col = bounds.left; col < bounds.right; ++col) {
        const uint32 want = Inside(subset, col, row) ? Pixel_At(src, col, row) : 0;
        if (Pixel_At(back, col, row) != want) ++mismatches;
      }
    EXPECT_EQ(mismatches, 0);
    Dispose_PixMap(src);
    Dispose_PixMap(back);
    Chunk_Stop();
  }
}

TEST_F(ChunkTest, PixelBodiesHaveTheirDiskLayout) {
  PixMap m32{}, m16{}, m1{};
  New_PixMap(m32, Rect{0, 0, 1, 1}, 32, nullptr);
  a_pixel32 px;
  px.b = 0x10, px.g = 0x20, px.r = 0x30, px.a = 0xFF;
  std::memcpy(m32.baseAddr, &px, 4);
  New_PixMap(m16, Rect{0, 0, 1, 1}, 16, nullptr);
  m16.baseAddr[0] = 0x34, m16.baseAddr[1] = 0x12;
  New_PixMap(m1, Rect{0, 0, 1, 12}, 1, nullptr);
  m1.baseAddr[0] = char(0xA5), m1.baseAddr[1] = char(0xFF);  // the last 4 bits lie outside the map
  Open_Write();
  ASSERT_EQ(Chunk_WritePix("P32 ", 0, &m32, m32.bounds), noErr);
  ASSERT_EQ(Chunk_WritePix("P16 ", 0, &m16, m16.bounds), noErr);
  ASSERT_EQ(Chunk_WritePix("P1  ", 0, &m1, m1.bounds), noErr);
  ASSERT_EQ(Chunk_Stop(), noErr);
  Dispose_PixMap(m32);
  Dispose_PixMap(m16);
  Dispose_PixMap(m1);

  Bytes want = kPreamble;
  auto head = [](Rect r, int16 depth) {
    Bytes b;
    Put16(b, 2);
    Put16(b, 0);
    PutRect(b, r);
    PutRect(b, r);
    Put16(b, uint16(depth));
    return b;
  };
  Bytes b32 = head(Rect{0, 0, 1, 1}, 32);
  b32.insert(b32.end(), {0x30, 0x20, 0x10, 0xFF});
  Bytes b16 = head(Rect{0, 0, 1, 1}, 16);
  b16.insert(b16.end(), {0x12, 0x34});
  Bytes b1 = head(Rect{0, 0, 1, 12}, 1);
  b1.insert(b1.end(), {0xA5, 0xF0});
  PutChunk(want, "P32 ", 0, b32);
  PutChunk(want, "P16 ", 0, b16);
  PutChunk(want, "P1  ", 0, b1);
  EXPECT_EQ(File_Bytes(), want);
}

TEST_F(ChunkTest, OneBitPaddingIsIgnoredOnReading) {
  Bytes body;
  Put16(body, 2);
  Put16(body, 0);
  PutRect(body, Rect{0, 0, 1, 9});
  PutRect(body, Rect{0, 0, 1, 9});
  Put16(body, 1);
  body.insert(body.end(), {0x81, 0xFF});  // pixels 0, 7, 8 set; 7 padding bits set too
  Bytes b;
  PutChunk(b, "BITS", 1, body);
  Open_Bytes(b);
  PixMap pm{};
  ASSERT_EQ(Chunk_ReadPix("BITS", 1, pm), noErr);
  EXPECT_EQ(uint8(pm.baseAddr[0]), 0x81);
  EXPECT_EQ(uint8(pm.baseAddr[1]), 0x80);
  Dispose_PixMap(pm);
}

TEST_F(ChunkTest, NullMapsWriteNothingAndAbsentChunksReadAsNull) {
  Open_Write();
  PixMap null_map{};
  Null_PixMap(null_map);
  EXPECT_EQ(Chunk_WritePix("NONE", 1, nullptr, Rect{0, 0, 4, 4}), noErr);
  EXPECT_EQ(Chunk_WritePix("NONE", 1, &null_map, Rect{0, 0, 4, 4}), noErr);
  EXPECT_EQ(Chunk_WriteWorld("NONE", 1, nullptr, Rect{0, 0, 4, 4}), noErr);
  Reopen_Read();
  EXPECT_EQ(File_Bytes(), kPreamble);
  PixMap pm{};
  pm.baseAddr = reinterpret_cast<Ptr>(&pm);  // not freed: the caller handed it on
  EXPECT_EQ(Chunk_ReadPix("NONE", 1, pm), noErr);
  EXPECT_TRUE(Is_Null_PixMap(pm));
  GWorldPtr w = reinterpret_cast<GWorldPtr>(&pm);
  Rect r{1, 2, 3, 4};
  EXPECT_EQ(Chunk_ReadWorld("NONE", 1, w, r), noErr);
  EXPECT_EQ(w, nullptr);
  EXPECT_EQ(r, (Rect{1, 2, 3, 4}));
}

// Older files: rows bottom up, padded to 16 bits, 8-bit values 0 and 255
// exchanged, other bytes as they stand.
TEST_F(ChunkTest, VersionOneMapsAreReadBottomUp) {
  auto v1 = [](Rect r, int16 depth, const Bytes& rows) {
    Bytes b;
    Put16(b, 1);
    Put16(b, 0);
    PutRect(b, r);
    Put16(b, uint16(depth));
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
  };
  Bytes b;
  // 3 wide at depth 8: 4 bytes a row on disk.
  PutChunk(b, "OLD8", 1, v1(Rect{0, 0, 2, 3}, 8, {0, 1, 254, 0x77, 255, 128, 3, 0x77}));
  PutChunk(b, "OL16", 1, v1(Rect{10, 10, 12, 11}, 16, {0x01, 0x02, 0x03, 0x04}));
  PutChunk(b, "OL32", 1, v1(Rect{0, 0, 1, 1}, 32, {0x10, 0x20, 0x30, 0x40}));
  PutChunk(b, "OLD1", 1, v1(Rect{0, 0, 2, 17}, 1, {0xFF, 0x80, 0x80, 0x00, 0x01, 0x00, 0x00, 0x00}));
  Open_Bytes(b);

  PixMap pm{};
  ASSERT_EQ(Chunk_ReadPix("OLD8", 1, pm), noErr);
  EXPECT_EQ(Pixel_At(pm, 0, 0), 0u);  // file row 2 is the top
  EXPECT_EQ(Pixel_At(pm, 1, 0), 128u);
  EXPECT_EQ(Pixel_At(pm, 2, 0), 3u);
  EXPECT_EQ(Pixel_At(pm, 0, 1), 255u);  // file row 1: 0, 1, 254
  EXPECT_EQ(Pixel_At(pm, 1, 1), 1u);
  EXPECT_EQ(Pixel_At(pm, 2, 1), 254u);
  EXPECT_EQ(pm.pmTable, gray_ctable);
  Dispose_PixMap(pm);

  ASSERT_EQ(Chunk_ReadPix("OL16", 1, pm), noErr);
  EXPECT_EQ(Pixel_At(pm, 10, 10), 0x0403u);
  EXPECT_EQ(Pixel_At(pm, 10, 11), 0x0201u);
  Dispose_PixMap(pm);

  ASSERT_EQ(Chunk_ReadPix("OL32", 1, pm), noErr);
  EXPECT_EQ(Pixel_At(pm, 0, 0), 0x40302010u);
  Dispose_PixMap(pm);

  ASSERT_EQ(Chunk_ReadPix("OLD1", 1, pm), noErr);  // 17 wide: 4 bytes a row
  EXPECT_EQ(Pixel_At(pm, 0, 0), 0u);
  EXPECT_EQ(Pixel_At(pm, 7, 0), 1u);
  EXPECT_EQ(Pixel_At(pm, 16, 0), 0u);
  EXPECT_EQ(Pixel_At(pm, 0, 1), 1u);
  EXPECT_EQ(Pixel_At(pm, 8, 1), 1u);
  EXPECT_EQ(Pixel_At(pm, 16, 1), 1u);
  Dispose_PixMap(pm);
}

TEST_F(ChunkTest, RowBytesOfVersionOne) {
  EXPECT_EQ(Calc_Row_Bytes(8, 3), 4u);
  EXPECT_EQ(Calc_Row_Bytes(1, 17), 4u);
  EXPECT_EQ(Calc_Row_Bytes(1, 16), 2u);
  EXPECT_EQ(Calc_Row_Bytes(16, 3), 6u);
  EXPECT_EQ(Calc_Row_Bytes(32, 1), 4u);
  EXPECT_EQ(Calc_Row_Bytes(8, 0), 0u);
}

// Damaged picture headers are refused before anything is made: no map, no
// world, and a result that says so.
TEST_F(ChunkTest, DamagedPictureChunksAreRefused) {
  auto v2 = [](Rect bounds, Rect subset, int16 depth, size_t nbytes) {
    Bytes b;
    Put16(b, 2);
    Put16(b, 0);
    PutRect(b, bounds);
    PutRect(b, subset);
    Put16(b, uint16(depth));
    b.resize(b.size() + nbytes, 0x5A);
    return b;
  };
  const Rect r{0, 0, 4, 4};
  struct Case {
    const char* what;
    Bytes body;
    OSErr err;
  } cases[] = {
      {"subset right of the bounds", v2(r, Rect{0, 1, 4, 5}, 8, 16), kChunkBadData},
      {"subset above the bounds", v2(r, Rect{-1, 0, 3, 4}, 8, 16), kChunkBadData},
      {"subset inside out", v2(r, Rect{0, 3, 4, 1}, 8, 16), kChunkBadData},
      {"bounds inside out", v2(Rect{4, 0, 0, 4}, Rect{4, 0, 0, 4}, 8, 16), kChunkBadData},
      {"depth 24", v2(r, r, 24, 48), kChunkBadData},
      {"depth 7", v2(r, r, 7, 16), kChunkBadData},
      {"row wider than the row buffer",
       v2(Rect{0, -32768, 1, 32767}, Rect{0, -32768, 1, 32767}, 32, 16), kChunkBadData},
      {"rows cut short", v2(r, r, 32, 63), eofErr},
      {"huge map with few rows", v2(Rect{0, 0, 30000, 30000}, Rect{0, 0, 30000, 100}, 8, 100), eofErr},
      {"map beyond the size limit", v2(Rect{0, 0, 16385, 16384}, Rect{0, 0, 0, 0}, 32, 0), kChunkBadData},
      {"version 3", Bytes{0, 3, 0, 0, 0, 0, 0, 0, 0, 4, 0, 4, 0, 8}, kChunkBadData},
      {"header cut short", Bytes{0, 2, 0, 0, 0, 0}, eofErr},
      {"version 1 rows cut short", Bytes{0, 1, 0, 0, 0, 0, 0, 0, 0, 4, 0, 4, 0, 8, 1, 2, 3}, eofErr},
      {"version 1 depth 24", Bytes{0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 1, 2, 3, 4}, kChunkBadData},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes b;
    PutChunk(b, "PICT", 1, c.body);
    Open_Bytes(b);
    PixMap pm{};
    EXPECT_EQ(Chunk_ReadPix("PICT", 1, pm), c.err);
    EXPECT_TRUE(Is_Null_PixMap(pm));
    GWorldPtr w = nullptr;
    Rect wb{9, 9, 9, 9};
    EXPECT_EQ(Chunk_ReadWorld("PICT", 1, w, wb), c.err);
    EXPECT_EQ(w, nullptr);
    EXPECT_EQ(wb, (Rect{9, 9, 9, 9}));
    Chunk_Stop();
  }
}

TEST_F(ChunkTest, EmptyMapsReadAsMapsButNotAsWorlds) {
  PixMap empty{};
  New_PixMap(empty, Rect{5, 5, 5, 5}, 8, nullptr);
  Open_Write();
  ASSERT_EQ(Chunk_WritePix("EMPT", 1, &empty, empty.bounds), noErr);
  Reopen_Read();
  Dispose_PixMap(empty);
  PixMap pm{};
  EXPECT_EQ(Chunk_ReadPix("EMPT", 1, pm), noErr);
  EXPECT_FALSE(Is_Null_PixMap(pm));
  EXPECT_EQ(pm.bounds, (Rect{5, 5, 5, 5}));
  Dispose_PixMap(pm);
  GWorldPtr w = nullptr;
  Rect wb{};
  EXPECT_EQ(Chunk_ReadWorld("EMPT", 1, w, wb), kChunkBadData);
  EXPECT_EQ(w, nullptr);
}

TEST_F(ChunkTest, WriterClipsTheSubsetAndRefusesRowsTooWideToReadBack) {
  PixMap pm{};
  New_PixMap(pm, Rect{0, 0, 2, 5000}, 32, nullptr);  // wider than the old 16,380-byte rows
  Fill_Pattern(pm);
  Open_Write();
  // Subset past the map: only the pixels the map has are written.
  ASSERT_EQ(Chunk_WritePix("CLIP", 1, &pm, Rect{-5, 4090, 1, 5100}), noErr);
  ASSERT_EQ(Chunk_WritePix("FULL", 1, &pm, pm.bounds), noErr);
  EXPECT_EQ(Chunk_Write_Error(), noErr);
  PixMap huge{};
  New_PixMap(huge, Rect{0, -32768, 1, 32767}, 32, nullptr);
  const size_t before = File_Bytes().size();
  EXPECT_EQ(Chunk_WritePix("WIDE", 1, &huge, huge.bounds), errFailed);
  EXPECT_EQ(File_Bytes().size(), before);  // no chunk at all
  EXPECT_EQ(Chunk_Write_Error(), errFailed);
  EXPECT_EQ(Chunk_Stop(), errFailed);  // so the save fails
  Dispose_PixMap(huge);

  Open_Read();
  PixMap back{};
  ASSERT_EQ(Chunk_ReadPix("CLIP", 1, back), noErr);
  EXPECT_EQ(Pixel_At(back, 4999, 0), Pixel_At(pm, 4999, 0));
  EXPECT_EQ(Pixel_At(back, 4090, 0), Pixel_At(pm, 4090, 0));
  EXPECT_EQ(Pixel_At(back, 4089, 0), 0u);
  EXPECT_EQ(Pixel_At(back, 4999, 1), 0u);
  Dispose_PixMap(back);
  ASSERT_EQ(Chunk_ReadPix("FULL", 1, back), noErr);
  for (int32 x : {0, 4095, 4096, 4999}) {
    EXPECT_EQ(Pixel_At(back, x, 0), Pixel_At(pm, x, 0)) << x;
    EXPECT_EQ(Pixel_At(back, x, 1), Pixel_At(pm, x, 1)) << x;
  }
  Dispose_PixMap(back);
  EXPECT_FALSE(Chunk_Find("WIDE", 1));
  Dispose_PixMap(pm);
}

TEST_F(ChunkTest, WritingAnUnservedDepthIsAnInternalError) {
  PixMap pm{};
  New_PixMap(pm, Rect{0, 0, 2, 2}, 24, nullptr);
  Open_Write();
  EXPECT_THROW(Chunk_WritePix("P24 ", 1, &pm, pm.bounds), QuitCalled);
  Dispose_PixMap(pm);
}

// --- Worlds ---------------------------------------------------------------------------------

TEST_F(ChunkTest, WorldsRoundTrip) {
  const Rect bounds{-10, -20, 30, 45};
  GWorldPtr w8 = nullptr, w32 = nullptr;
  ASSERT_EQ(New_GWorld(bounds, 8, gray_ctable, w8), noErr);
  ASSERT_EQ(New_GWorld(bounds, 32, nullptr, w32), noErr);
  Fill_Pattern(*Get_GWorld_PixMap(w8));
  Fill_Pattern(*Get_GWorld_PixMap(w32));
  Open_Write();
  ASSERT_EQ(Chunk_WriteWorld("WRLD", 8, w8, bounds), noErr);
  ASSERT_EQ(Chunk_WriteWorld("WRLD", 32, w32, bounds), noErr);
  Reopen_Read();
  for (GWorldPtr src : {w8, w32}) {
    const PixMap& spm = *Get_GWorld_PixMap(src);
    SCOPED_TRACE(spm.pixelSize);
    GWorldPtr back = nullptr;
    Rect back_bounds{};
    ASSERT_EQ(Chunk_ReadWorld("WRLD", spm.pixelSize, back, back_bounds), noErr);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back_bounds, bounds);
    const PixMap& bpm = *Get_GWorld_PixMap(back);
    EXPECT_EQ(bpm.pixelSize, spm.pixelSize);
    EXPECT_EQ(bpm.pmTable, spm.pixelSize == 8 ? gray_ctable : nullptr);
    int mismatches = 0;
    for (int32 row = bounds.top; row < bounds.bottom; ++row)
      for (int32 col = bounds.left; col < bounds.right; ++col)
        if (Pixel_At(bpm, col, row) != Pixel_At(spm, col, row)) ++mismatches;
    EXPECT_EQ(mismatches, 0);
    Dispose_GWorld(back);
  }
  Dispose_GWorld(w8);
  Dispose_GWorld(w32);
}

TEST_F(ChunkTest, MaskedWorldsRoundTripAsTwoChunks) {
  const Rect bounds{0, 0, 6, 7};
  a_masked_gworld mw;
  New_MW("test", bounds, mw);
  Fill_Pattern(*Get_GWorld_PixMap(mw.fore));
  Fill_Pattern(*Get_GWorld_PixMap(mw.mask));
  Open_Write();
  ASSERT_EQ(Chunk_WriteMW("FORE", "MASK", 3, mw), noErr);
  Reopen_Read();
  EXPECT_TRUE(Chunk_Find("FORE", 3));
  EXPECT_TRUE(Chunk_Find("MASK", 3));

  a_masked_gworld back;
  Null_MW(back);
  ASSERT_EQ(Chunk_ReadMW("FORE", "MASK", 3, back), noErr);
  EXPECT_EQ(back.bounds, bounds);
  ASSERT_NE(back.fore, nullptr);
  ASSERT_NE(back.mask, nullptr);
  EXPECT_EQ(Get_GWorld_PixelSize(back.fore), 32);
  EXPECT_EQ(Get_GWorld_PixMap(back.mask)->pmTable, gray_ctable);
  for (int32 row = 0; row < 6; ++row)
    for (int32 col = 0; col < 7; ++col) {
      EXPECT_EQ(Pixel_At(*Get_GWorld_PixMap(back.fore), col, row), Pixel_At(*Get_GWorld_PixMap(mw.fore), col, row));
      EXPECT_EQ(Pixel_At(*Get_GWorld_PixMap(back.mask), col, row), Pixel_At(*Get_GWorld_PixMap(mw.mask), col, row));
    }
  Dispose_MW(back);
  Dispose_MW(mw);
}

// The mask is used pixel for pixel with the fore world, so one of other
// bounds or depth would be read out of its memory later.
TEST_F(ChunkTest, MasksThatDoNotFitTheirForeWorldAreRefused) {
  PixMap fore{}, small_mask{}, deep_mask{};
  New_PixMap(fore, Rect{0, 0, 4, 4}, 32, nullptr);
  New_PixMap(small_mask, Rect{0, 0, 2, 2}, 8, nullptr);
  New_PixMap(deep_mask, Rect{0, 0, 4, 4}, 32, nullptr);
  Open_Write();
  ASSERT_EQ(Chunk_WritePix("FORE", 1, &fore, fore.bounds), noErr);
  ASSERT_EQ(Chunk_WritePix("MASK", 1, &small_mask, small_mask.bounds), noErr);
  ASSERT_EQ(Chunk_WritePix("FORE", 2, &fore, fore.bounds), noErr);
  ASSERT_EQ(Chunk_WritePix("MASK", 2, &deep_mask, deep_mask.bounds), noErr);
  ASSERT_EQ(Chunk_WritePix("MASK", 3, &small_mask, small_mask.bounds), noErr);  // a mask alone
  Reopen_Read();
  for (int32 id : {1, 2, 3}) {
    SCOPED_TRACE(id);
    a_masked_gworld mw;
    Null_MW(mw);
    mw.bounds = Rect{7, 7, 8, 8};
    EXPECT_EQ(Chunk_ReadMW("FORE", "MASK", id, mw), kChunkBadData);
    EXPECT_EQ(mw.fore, nullptr);
    EXPECT_EQ(mw.mask, nullptr);
    EXPECT_EQ(mw.bounds, (Rect{7, 7, 8, 8}));
  }
  Dispose_PixMap(fore);
  Dispose_PixMap(small_mask);
  Dispose_PixMap(deep_mask);
}

TEST_F(ChunkTest, MaskedWorldWithoutMaskKeepsNone) {
  const Rect bounds{0, 0, 3, 3};
  a_masked_gworld mw;
  New_MW("test", bounds, mw);
  GWorldPtr mask = mw.mask;
  mw.mask = nullptr;
  Open_Write();
  ASSERT_EQ(Chunk_WriteMW("FORE", "MASK", 1, mw), noErr);
  Reopen_Read();
  EXPECT_FALSE(Chunk_Find("MASK", 1));
  a_masked_gworld back;
  Null_MW(back);
  ASSERT_EQ(Chunk_ReadMW("FORE", "MASK", 1, back), noErr);
  EXPECT_NE(back.fore, nullptr);
  EXPECT_EQ(back.mask, nullptr);
  EXPECT_EQ(back.bounds, bounds);
  Dispose_MW(back);
  mw.mask = mask;
  Dispose_MW(mw);
}

}  // namespace
