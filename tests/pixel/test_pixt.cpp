// Stored pictures: objects of every packing and depth written into a library
// and read back, the byte-order conversion, the colour tables the flags pick,
// damaged objects refused, and the discard ring of purgeable pixtures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/HostFiles.h"
#include "pixel/DrawUtil.h"
#include "pixel/MAsm2.h"
#include "pixel/OP.h"
#include "pixel/ParsJPEG.h"
#include "PictLibWrite.h"
#include "pixel/SysPixt.h"
#include "platform/SysMem.h"
#include "platform/SysVideo.h"

namespace {

enum Packing { RAW, RLE, LZW };

// A stored-picture object: header, then `rows` (already in stored byte
// order) raw or packed.
std::vector<uint8> Pixt_Object(int16 rowbytes, int16 width, int16 height, uint8 flags, uint8 depth,
                               const std::vector<uint8>& rows, Packing packing) {
  std::vector<uint8> o = {uint8(uint16(rowbytes) >> 8), uint8(rowbytes), uint8(uint16(width) >> 8), uint8(width),
                          uint8(uint16(height) >> 8),   uint8(height),   flags, depth};
  if (packing == RAW) {
    o.insert(o.end(), rows.begin(), rows.end());
    return o;
  }
  Handle h = nullptr;
  const int16 r = packing == RLE ? Compress_RLE(rows.data(), uint32(rows.size()), h)
                                 : Compress_LZW(rows.data(), uint32(rows.size()), h);
  EXPECT_EQ(r, kExpandOK);
  const uint8* p = reinterpret_cast<const uint8*>(Handle_Lock(h));
  o.insert(o.end(), p, p + Handle_GetSize(h));
  Handle_Unlock(h);
  Dispose_Handle(h);
  if (packing == RLE) o[6] |= PIXT_FLAG_RLE;
  if (packing == LZW) o[6] |= PIXT_FLAG_LZW;
  return o;
}

// Rows of a picture with distinct bytes everywhere (padding included).
std::vector<uint8> Pattern_Rows(int rowbytes, int height, uint8 seed) {
  std::vector<uint8> v(size_t(rowbytes) * size_t(height));
  for (size_t i = 0; i < v.size(); ++i) v[i] = uint8(seed + i * 7 + (i >> 8));
  return v;
}

a_keyset g_last_key{};
void Record_Key(OSType kind, a_keyset key) {
  EXPECT_EQ(kind, kPixtType);
  g_last_key = key;
  throw KeyErrCalled();
}

class PixtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* t = std::getenv("TMPDIR");
    std::string tmpl = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-pixt-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    ASSERT_NE(::mkdtemp(buf.data()), nullptr);
    dir_ = buf.data();
    SysVideo_Init();
    InitGray();
    OP_Init();
    SysPixt_Init();
    g_err_key_proc = Record_Key;
  }
  void TearDown() override {
    OP_Stop();
    SysVideo_Stop();
    for (const std::string& f : files_) std::remove(f.c_str());
    ::rmdir(dir_.c_str());
  }

  void Open(std::vector<a_art_object> objs) {
    std::vector<uint8> lib;
    std::string err;
    ASSERT_TRUE(ArtLib_Build(std::move(objs), lib, err)) << err;
    const std::string path = dir_ + "/lib" + std::to_string(files_.size()) + ".art4";
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(lib.data()), std::streamsize(lib.size()));
    f.close();
    files_.push_back(path);
    FSSpec spec;
    ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
    ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY);
  }
  static a_art_object Obj(a_keyset key, std::vector<uint8> data) {
    a_art_object o;
    o.key = key;
    o.data = std::move(data);
    return o;
  }

  // The bytes of the loaded picture's rows (padding included).
  static std::vector<uint8> Pixels(a_pixt& p) {
    Pixt_Lock(p);
    const uint8* b = reinterpret_cast<const uint8*>(p.pixmap.baseAddr);
    EXPECT_NE(b, nullptr);
    std::vector<uint8> v;
    if (b != nullptr) v.assign(b, b + PixMap_Len(p.pixmap));
    Pixt_Unlock(p);
    EXPECT_EQ(p.pixmap.baseAddr, nullptr);
    return v;
  }

  std::string dir_;
  std::vector<std::string> files_;
};

// What the stored rows become in memory: 16-bit values byte-swapped, 32-bit
// pixels reversed, 8-bit left alone; the padding beyond width untouched.
std::vector<uint8> Expected_Memory(const std::vector<uint8>& rows, int rowbytes, int width, int depth) {
  std::vector<uint8> m = rows;
  const int bpp = depth / 8;
  for (size_t y = 0; y < rows.size() / size_t(rowbytes); ++y)
    for (int x = 0; x < width; ++x) {
      uint8* p = m.data() + y * size_t(rowbytes) + size_t(x * bpp);
      if (depth == 16) std::swap(p[0], p[1]);
      if (depth == 32) {
        std::swap(p[0], p[3]);
        std::swap(p[1], p[2]);
      }
    }
  return m;
}

}  // namespace

// Every depth and packing round-trips through a library: bounds, row bytes
// (with padding), mode, colour table and every pixel in memory order.
TEST_F(PixtTest, EveryDepthAndPackingRoundTrips) {
  struct Case {
    uint8 depth;
    int16 width, height, rowbytes;
    uint8 flags;
    Packing packing;
  };
  const Case cases[] = {
      {8, 5, 3, 8, PIXT_FLAG_GRAY_WHITE0, RAW}, {8, 5, 3, 6, PIXT_FLAG_GRAY_BLACK0, RLE},
      {8, 300, 200, 300, 0, LZW},               {16, 3, 4, 8, 0, RAW},
      {16, 7, 2, 14, PIXT_FLAG_TRANSPARENT, RLE}, {16, 64, 130, 128, 0, LZW},
      {32, 3, 3, 12, 0, RAW},                   {32, 2, 5, 12, PIXT_FLAG_TRANSPARENT, RLE},
      {32, 200, 170, 800, 0, LZW},  // 136,000 bytes: several run-length stretches for RLE too
      {32, 200, 170, 800, 0, RLE},
  };
  std::vector<a_art_object> objs;
  std::vector<std::vector<uint8>> rows;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    rows.push_back(Pattern_Rows(c.rowbytes, c.height, uint8(i * 31)));
    objs.push_back(Obj(Pixt_Key(int16(100 + i)),
                       Pixt_Object(c.rowbytes, c.width, c.height, c.flags, c.depth, rows.back(), c.packing)));
  }
  Open(std::move(objs));

  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i);
    a_pixt p{};
    Pixt_Load(int16(100 + i), p);
    ASSERT_NE(p.bits, nullptr);
    EXPECT_EQ(p.key.a, 12);
    EXPECT_EQ(p.key.b, int16(100 + i));
    EXPECT_EQ(p.pixmap.pixelSize, c.depth);
    EXPECT_EQ(p.pixmap.bounds.bottom, c.height);
    EXPECT_EQ(p.pixmap.bounds.right, c.width);
    EXPECT_EQ(p.pixmap.bounds.top, 0);
    EXPECT_EQ(PixMap_RowBytes(p.pixmap), uint32(c.rowbytes));
    EXPECT_EQ(p.mode, (c.flags & PIXT_FLAG_TRANSPARENT) ? 36 : 0);
    EXPECT_EQ(p.pixmap.baseAddr, nullptr);  // unlocked after loading
    EXPECT_EQ(p.ref, 0u);
    const CTabHandle want_table = c.depth > 8                              ? nullptr
                                  : (c.flags & PIXT_FLAG_GRAY_WHITE0) != 0 ? gray_ctable
                                  : (c.flags & PIXT_FLAG_GRAY_BLACK0) != 0 ? gray_ctable2
                                                                           : Get_Main_CTable();
    EXPECT_EQ(p.pixmap.pmTable, want_table);
    EXPECT_EQ(Pixels(p), Expected_Memory(rows[i], c.rowbytes, c.width, c.depth));
    Pixt_Unload(p);
    EXPECT_EQ(p.bits, nullptr);
  }
}

// The worked byte orders: a stored 32-bit pixel 11 22 33 44 (alpha, red,
// green, blue) is blue 0x44, green 0x33, red 0x22, alpha 0x11 in memory; a
// stored 16-bit 7C 00 (pure red) is the value 0x7C00.
TEST_F(PixtTest, StoredByteOrderBecomesMemoryOrder) {
  Open({Obj(Pixt_Key(1), Pixt_Object(4, 1, 1, 0, 32, {0x11, 0x22, 0x33, 0x44}, RAW)),
        Obj(Pixt_Key(2), Pixt_Object(4, 1, 1, 0, 16, {0x7C, 0x00, 0xAA, 0xBB}, RAW))});
  a_pixt p{};
  Pixt_Load(1, p);
  std::vector<uint8> v = Pixels(p);
  a_pixel32 px;
  std::memcpy(&px, v.data(), 4);
  EXPECT_EQ(px.b, 0x44);
  EXPECT_EQ(px.g, 0x33);
  EXPECT_EQ(px.r, 0x22);
  EXPECT_EQ(px.a, 0x11);
  Pixt_Unload(p);
  Pixt_Load(2, p);
  v = Pixels(p);
  EXPECT_EQ(uint16(v[0] | v[1] << 8), 0x7C00);
  EXPECT_EQ(v[2], 0xAA);  // padding past the width is not swapped
  Pixt_Unload(p);
}

// Packing precedence: run-length before LZW. Flags 0x14 with run-length data
// expand as run-length.
TEST_F(PixtTest, RunLengthWinsOverLZW) {
  const std::vector<uint8> rows = Pattern_Rows(4, 3, 9);
  std::vector<uint8> obj = Pixt_Object(4, 4, 3, 0, 8, rows, RLE);
  obj[6] |= PIXT_FLAG_LZW;
  Open({Obj(Pixt_Key(3), obj)});
  a_pixt p{};
  Pixt_Load(3, p);
  EXPECT_EQ(Pixels(p), rows);
  Pixt_Unload(p);
}

// Missing objects call the key hook with "PIXT" and the key (12, id, 0, 0);
// Pixt_Exists looks up the same key.
TEST_F(PixtTest, MissingPictureCallsTheKeyHook) {
  Open({Obj(Pixt_Key(7), Pixt_Object(1, 1, 1, 0, 8, {5}, RAW))});
  EXPECT_TRUE(Pixt_Exists(7));
  EXPECT_FALSE(Pixt_Exists(8));
  a_pixt p{};
  EXPECT_THROW(Pixt_Load(8, p), KeyErrCalled);
  EXPECT_EQ(g_last_key.a, 12);
  EXPECT_EQ(g_last_key.b, 8);
  EXPECT_EQ(g_last_key.c, 0);
  EXPECT_EQ(g_last_key.d, 0);
  EXPECT_EQ(p.bits, nullptr);
  EXPECT_EQ(p.pixmap.baseAddr, nullptr);
  EXPECT_THROW(KPixt_Load(a_keyset{1, 2, 3, 4}, p), KeyErrCalled);
  EXPECT_EQ(g_last_key.d, 4);
  EXPECT_EQ(KPixt_Load_Checked(Pixt_Key(9), p), PIXT_MISSING);
  EXPECT_EQ(p.bits, nullptr);
}

// Damaged objects are refused before anything is allocated from their sizes:
// the checked loader says so, the program's loader reports the key.
TEST_F(PixtTest, DamagedObjectsAreRefused) {
  const std::vector<uint8> rows12 = Pattern_Rows(4, 3, 1);
  std::vector<uint8> rle_short = Pixt_Object(4, 4, 3, 0, 8, rows12, RLE);
  rle_short[8] = 11;  // stated length 11 < 12 rows bytes
  std::vector<uint8> rle_trunc = Pixt_Object(4, 4, 3, 0, 8, rows12, RLE);
  rle_trunc.resize(rle_trunc.size() - 2);
  std::vector<uint8> lzw_huge = Pixt_Object(4, 4, 3, 0, 8, rows12, LZW);
  lzw_huge[8] = 0x7F;  // claims far more than the picture
  std::vector<uint8> lzw_garbage = {0, 4, 0, 4, 0, 3, PIXT_FLAG_LZW, 8, 0, 0, 0, 12, 0xFF, 0xFF, 0xFF, 0xFF};
  struct Case {
    const char* what;
    std::vector<uint8> obj;
  };
  const Case cases[] = {
      {"empty", {}},
      {"short header", {0, 4, 0, 1, 0, 1, 0}},
      {"depth 24", Pixt_Object(3, 1, 1, 0, 24, {1, 2, 3}, RAW)},
      {"depth 1", Pixt_Object(2, 1, 1, 0, 1, {1, 2}, RAW)},
      {"width 0", Pixt_Object(4, 0, 1, 0, 8, {1, 2, 3, 4}, RAW)},
      {"negative height", Pixt_Object(4, 1, -1, 0, 8, {1, 2, 3, 4}, RAW)},
      {"negative row bytes", Pixt_Object(-4, 1, 1, 0, 8, {1, 2, 3, 4}, RAW)},
      {"rows narrower than the pixels", Pixt_Object(4, 2, 1, 0, 32, {1, 2, 3, 4}, RAW)},
      {"raw rows truncated", Pixt_Object(4, 4, 3, 0, 8, Pattern_Rows(4, 2, 0), RAW)},
      {"huge size, few bytes", Pixt_Object(32764, 8191, 32767, 0, 32, {1, 2, 3, 4}, RAW)},
      {"run-length states too little", rle_short},
      {"run-length truncated", rle_trunc},
      {"LZW claims too much", lzw_huge},
      {"LZW garbage", lzw_garbage},
      {"packed with no length", {0, 4, 0, 1, 0, 1, PIXT_FLAG_RLE, 8, 1}},
  };
  std::vector<a_art_object> objs;
  for (size_t i = 0; i < std::size(cases); ++i) objs.push_back(Obj(Pixt_Key(int16(200 + i)), cases[i].obj));
  Open(std::move(objs));
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].what);
    a_pixt p{};
    EXPECT_EQ(KPixt_Load_Checked(Pixt_Key(int16(200 + i)), p), PIXT_DAMAGED);
    EXPECT_EQ(p.bits, nullptr);
    EXPECT_EQ(p.pixmap.baseAddr, nullptr);
    g_last_key = a_keyset{};
    EXPECT_THROW(Pixt_Load(int16(200 + i), p), KeyErrCalled);
    EXPECT_EQ(g_last_key.b, int16(200 + i));
    EXPECT_EQ(p.bits, nullptr);
  }
}

// JPEG is chosen before the other packings: flags 0x24 never take the
// run-length path, so run-length data under them do not load as run-length.
TEST_F(PixtTest, JpegFlagTakesPrecedence) {
  std::vector<uint8> obj = Pixt_Object(4, 4, 3, 0, 8, Pattern_Rows(4, 3, 2), RLE);
  obj[6] |= PIXT_FLAG_JPEG;
  a_pixt p{};
  EXPECT_EQ(Pixt_Load_Bytes(Pixt_Key(1), obj.data(), uint32(obj.size()), p), PIXT_DAMAGED);
  EXPECT_EQ(p.bits, nullptr);
}

// JPEG rows expand to 32-bit pixels of the header's size, in memory order.
TEST_F(PixtTest, JpegRoundTrips) {
  PixMap src{};
  New_PixMap(src, Rect{0, 0, 8, 16}, 32, nullptr);
  PixMap32_Fill(src, a_pixel32{{40, 120, 200, 255}});
  Ptr jpeg = nullptr;
  ASSERT_EQ(Compress_JPEG(src, jpeg), 0);
  std::vector<uint8> data(reinterpret_cast<uint8*>(jpeg), reinterpret_cast<uint8*>(jpeg) + Ptr_GetSize(jpeg));
  Dispose_Ptr(jpeg);
  Dispose_PixMap(src);
  Open({Obj(Pixt_Key(30), Pixt_Object(64, 16, 8, PIXT_FLAG_JPEG, 32, data, RAW)),
        Obj(Pixt_Key(31), Pixt_Object(64, 16, 8, PIXT_FLAG_JPEG, 32, {1, 2, 3, 4, 5}, RAW))});
  a_pixt p{};
  Pixt_Load(30, p);
  EXPECT_EQ(p.pixmap.pixelSize, 32);
  EXPECT_EQ(PixMap_RowBytes(p.pixmap), 64u);
  const std::vector<uint8> v = Pixels(p);
  ASSERT_EQ(v.size(), 16u * 8u * 4u);
  for (size_t i = 0; i < v.size(); i += 4) {
    EXPECT_NEAR(v[i], 40, 3);
    EXPECT_NEAR(v[i + 1], 120, 3);
    EXPECT_NEAR(v[i + 2], 200, 3);
    EXPECT_EQ(v[i + 3], 255);
  }
  Pixt_Unload(p);
  EXPECT_THROW(Pixt_Load(31, p), KeyErrCalled);  // not a JPEG stream
  EXPECT_EQ(p.bits, nullptr);
}

// Reloading a pixture whose pixels are present reads nothing: it works with
// every library closed, and pins the pixels.
TEST_F(PixtTest, ReloadOfPresentPixelsDoesNotReadTheLibrary) {
  const std::vector<uint8> rows = Pattern_Rows(4, 2, 3);
  Open({Obj(Pixt_Key(5), Pixt_Object(4, 4, 2, 0, 8, rows, RAW))});
  a_pixt p{};
  Pixt_Load(5, p);
  Handle before = p.bits;
  Handle_SetPurgeFlag(true, p.bits);
  OP_Stop();
  OP_Init();
  KPixt_Reload(p);
  EXPECT_EQ(p.bits, before);
  EXPECT_FALSE(Is_Handle_Purgeable(p.bits));
  EXPECT_EQ(Pixels(p), rows);
  // Once purged, the next lock must go back to the library, which is gone now.
  Handle_Purge(p.bits);
  EXPECT_THROW(Pixt_Lock(p), KeyErrCalled);
  EXPECT_EQ(p.bits, nullptr);
}

TEST_F(PixtTest, ConversionOfAnUnservedDepthQuits) {
  PixMap pm{};
  New_Empty_PixMap(pm, 24, nullptr);
  EXPECT_THROW(Mac_Win_PixMap(pm), QuitCalled);
}

// The discard ring: purgeable pixtures are stamped in order; over budget the
// least recently used unlocked member is purged and reloads on its next lock;
// locked members are never purged, even when that leaves the ring over budget.
TEST_F(PixtTest, DiscardRingPurgesLeastRecentlyUsed) {
  std::vector<a_art_object> objs;
  std::vector<std::vector<uint8>> rows;
  for (int i = 0; i < 4; ++i) {
    rows.push_back(Pattern_Rows(400, 100, uint8(i)));  // 40,000 bytes each
    objs.push_back(Obj(Pixt_Key(int16(10 + i)), Pixt_Object(400, 400, 100, 0, 8, rows.back(), RAW)));
  }
  Open(std::move(objs));
  pixt_cache_limit = 100000;
  a_pixt p[4]{};
  for (int i = 0; i < 4; ++i) Pixt_Load(int16(10 + i), p[i]);
  Pixt_Purge(p[0]);
  Pixt_Purge(p[1]);
  EXPECT_EQ(g_discard.used, 80000u);
  EXPECT_EQ(p[0].ref, 1u);
  EXPECT_EQ(p[1].ref, 2u);
  Pixt_Lock(p[0]);  // renews p[0]: p[1] is now the oldest
  Pixt_Unlock(p[0]);
  EXPECT_EQ(p[0].ref, 3u);
  EXPECT_EQ(Discard_LRU(), &p[1]);

  Pixt_Purge(p[2]);  // 120,000 > 100,000: p[1] goes
  EXPECT_EQ(g_discard.used, 80000u);
  EXPECT_EQ(p[1].ref, 0u);
  EXPECT_TRUE(Is_Handle_Purged(p[1].bits));
  EXPECT_FALSE(Is_Handle_Purged(p[0].bits));
  EXPECT_EQ(Pixels(p[1]), rows[1]);  // reloaded from the library on lock
  EXPECT_FALSE(Is_Handle_Purged(p[1].bits));

  // Every member locked: the new one joins anyway and the ring stays over budget.
  Pixt_Lock(p[0]);
  Pixt_Lock(p[2]);
  Pixt_Purge(p[3]);
  EXPECT_EQ(g_discard.used, 120000u);
  EXPECT_FALSE(Is_Handle_Purged(p[0].bits));
  EXPECT_FALSE(Is_Handle_Purged(p[2].bits));
  Pixt_Unlock(p[0]);
  Pixt_Unlock(p[2]);

  // Leaving the ring: NoPurge and Unload take members out and count them off.
  Pixt_NoPurge(p[2]);
  EXPECT_EQ(p[2].ref, 0u);
  EXPECT_EQ(g_discard.used, 80000u);
  Pixt_Unload(p[0]);
  EXPECT_EQ(g_discard.used, 40000u);
  EXPECT_EQ(g_discard.first, &p[3]);
  EXPECT_EQ(p[3].next, &p[3]);
  for (a_pixt& x : p) Pixt_Unload(x);
  EXPECT_EQ(g_discard.used, 0u);
  EXPECT_EQ(g_discard.first, nullptr);
}

// ---------------------------------------------------------------------------
// The writer's encodings, read back by the program's reader
// ---------------------------------------------------------------------------
namespace {

// An image whose rows hold runs of every length that matters to PackBits
// (1, 2, 3, 127 .. 130 equal bytes) beside noise, so the packer's runs,
// literals and their limits all occur, across 32,000-byte stretches.
a_art_image Awkward_Image(int32 w, int32 h) {
  a_art_image img;
  img.width = w;
  img.height = h;
  img.rgba.resize(size_t(w) * size_t(h) * 4);
  uint32 s = 12345;
  size_t i = 0;
  const size_t runs[] = {1, 2, 3, 127, 128, 129, 130, 5, 300};
  size_t k = 0;
  while (i < img.rgba.size()) {
    const size_t n = std::min(runs[k++ % 9], img.rgba.size() - i);
    s = s * 1103515245u + 12345u;
    const uint8 v = uint8(s >> 16);
    for (size_t j = 0; j < n; ++j) img.rgba[i + j] = (k % 3 == 0) ? uint8(v + j) : v;
    i += n;
  }
  return img;
}

// The memory form of a 32-bit image: blue, green, red, alpha.
std::vector<uint8> Memory32(const a_art_image& img) {
  std::vector<uint8> m(img.rgba.size());
  for (size_t i = 0; i < img.rgba.size(); i += 4) {
    m[i] = img.rgba[i + 2];
    m[i + 1] = img.rgba[i + 1];
    m[i + 2] = img.rgba[i];
    m[i + 3] = img.rgba[i + 3];
  }
  return m;
}

}  // namespace

TEST_F(PixtTest, WriterEncodingsReadBackThroughTheReader) {
  std::string err;
  // 32-bit, raw and run-length: exact, 70 x 130 x 4 = 36,400 bytes (two stretches).
  const a_art_image img = Awkward_Image(70, 130);
  for (const bool rle : {false, true}) {
    std::vector<uint8> obj;
    ASSERT_TRUE(rle ? Pixt_Encode32_RLE(img, PIXT_FLAG_TRANSPARENT, obj, err) : Pixt_Encode32(img, 0, obj, err)) << err;
    EXPECT_EQ(obj[6], rle ? (PIXT_FLAG_TRANSPARENT | PIXT_FLAG_RLE) : 0) << rle;
    if (rle) EXPECT_LT(obj.size(), 8 + img.rgba.size()) << "the runs pack";
    a_pixt p{};
    ASSERT_EQ(Pixt_Load_Bytes(Pixt_Key(5), obj.data(), uint32(obj.size()), p), PIXT_OK) << rle;
    EXPECT_EQ(p.pixmap.pixelSize, 32);
    EXPECT_EQ(p.pixmap.bounds, (Rect{0, 0, 130, 70}));
    EXPECT_EQ(Pixels(p), Memory32(img)) << rle;
    Pixt_Unload(p);
  }

  // 8-bit with an odd width: rows padded to 4 bytes; grey-table flag kept.
  a_art_image8 idx;
  idx.width = 301;
  idx.height = 113;  // 304 x 113 = 34,352 padded bytes: two stretches
  idx.index.resize(size_t(idx.width) * size_t(idx.height));
  for (size_t i = 0; i < idx.index.size(); ++i) idx.index[i] = uint8((i / 97) * 31 + (i % 7 == 0 ? i : 0));
  for (const bool rle : {false, true}) {
    std::vector<uint8> obj;
    ASSERT_TRUE(Pixt_Encode8(idx, PIXT_FLAG_GRAY_WHITE0, rle, obj, err)) << err;
    EXPECT_EQ(obj[7], 8);
    EXPECT_EQ((obj[0] << 8) | obj[1], 304);
    a_pixt p{};
    ASSERT_EQ(Pixt_Load_Bytes(Pixt_Key(6), obj.data(), uint32(obj.size()), p), PIXT_OK) << rle;
    EXPECT_EQ(p.pixmap.pmTable, gray_ctable);
    const std::vector<uint8> px = Pixels(p);
    ASSERT_EQ(px.size(), size_t(304) * 113);
    for (int32 y = 0; y < idx.height; ++y)
      ASSERT_EQ(0, std::memcmp(&px[size_t(y) * 304], &idx.index[size_t(y) * 301], 301)) << "row " << y << " " << rle;
    Pixt_Unload(p);
  }

  // JPEG: alpha is not kept, colours come back close.
  a_art_image smooth;
  smooth.width = 96;
  smooth.height = 64;
  for (int32 y = 0; y < 64; ++y)
    for (int32 x = 0; x < 96; ++x) smooth.rgba.insert(smooth.rgba.end(), {uint8(x * 2), uint8(y * 3), uint8(200 - x), 17});
  for (const bool full_chroma : {false, true}) {
    std::vector<uint8> obj;
    ASSERT_TRUE(Pixt_Encode32_JPEG(smooth, a_art_jpeg{90, full_chroma}, 0, obj, err)) << err;
    EXPECT_EQ(obj[6], PIXT_FLAG_JPEG);
    a_pixt p{};
    ASSERT_EQ(Pixt_Load_Bytes(Pixt_Key(7), obj.data(), uint32(obj.size()), p), PIXT_OK);
    const std::vector<uint8> px = Pixels(p), want = Memory32(smooth);
    ASSERT_EQ(px.size(), want.size());
    int worst = 0;
    for (size_t i = 0; i < px.size(); i += 4) {
      EXPECT_EQ(px[i + 3], 255);
      for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int(px[i + size_t(c)]) - int(want[i + size_t(c)])));
    }
    EXPECT_LE(worst, 12) << full_chroma;
    Pixt_Unload(p);
  }

  // What cannot be stored is refused.
  std::vector<uint8> obj;
  a_art_image wide;
  wide.width = 8192;  // 32,768 row bytes
  wide.height = 1;
  wide.rgba.resize(8192 * 4);
  EXPECT_FALSE(Pixt_Encode32_RLE(wide, 0, obj, err));
  a_art_image8 short_pixels{4, 4, std::vector<uint8>(15)};
  EXPECT_FALSE(Pixt_Encode8(short_pixels, 0, true, obj, err));
  EXPECT_FALSE(Pixt_Encode32_JPEG(smooth, a_art_jpeg{0, false}, 0, obj, err));
}

TEST(PictLibWriter, PremultipliedPixelsBecomeStraightAlpha) {
  // Opaque, half-covered, nearly clear and clear pixels of a drawing library.
  const uint32 px[4] = {0xFF336699u, 0x80402010u, 0x01010000u, 0x00000000u};
  const a_art_image img = Art_Image_From_Premultiplied(px, 2, 2, 2);
  ASSERT_EQ(img.rgba.size(), 16u);
  EXPECT_EQ(std::vector<uint8>(img.rgba.begin(), img.rgba.begin() + 4), (std::vector<uint8>{0x33, 0x66, 0x99, 0xFF}));
  EXPECT_EQ(std::vector<uint8>(img.rgba.begin() + 4, img.rgba.begin() + 8), (std::vector<uint8>{0x80, 0x40, 0x20, 0x80}));
  EXPECT_EQ(std::vector<uint8>(img.rgba.begin() + 8, img.rgba.begin() + 12), (std::vector<uint8>{0xFF, 0, 0, 1}));
  EXPECT_EQ(std::vector<uint8>(img.rgba.begin() + 12, img.rgba.end()), (std::vector<uint8>{0, 0, 0, 0}));
  // Stored as alpha, red, green, blue.
  std::vector<uint8> obj;
  std::string err;
  ASSERT_TRUE(Pixt_Encode32(img, 0, obj, err)) << err;
  EXPECT_EQ(std::vector<uint8>(obj.begin() + 12, obj.begin() + 16), (std::vector<uint8>{0x80, 0x80, 0x40, 0x20}));
}
