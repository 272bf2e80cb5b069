// The render cache: hits and restamps, purposes that share renderings,
// sizing requests, library pictures and the missing-picture pattern, basis
// pictures and their sources, the byte budget and the entry limit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "doc/VoskFunc.h"
#include "host/HostFiles.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "PictLibWrite.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "platform/QDRect.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

class RCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SysWin_Init();
    Set_GWorld(nullptr);
    SysVideo_Init();
    InitGray();
    SysBlt_Init();
    OP_Init();
    SysPixt_Init();
    OPUtil_Init();
    VoskFunc_Init();  // the missing picture's placeholder
  }
  void TearDown() override {
    Cache_Stop();
    OP_Stop();
    SysBlt_Stop();
    Port_Stack_Clear();
    Set_GWorld(nullptr);
    SysVideo_Stop();
    for (const std::string& f : files_) std::remove(f.c_str());
    if (!dir_.empty()) ::rmdir(dir_.c_str());
  }

  // Opens a library holding a 32-bit stored picture of w x h in one colour (b, g, r).
  void Open_Library(int16 id, int16 w, int16 h, uint8 b, uint8 g, uint8 r) {
    const char* t = std::getenv("TMPDIR");
    std::string tmpl = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-rc-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    ASSERT_NE(::mkdtemp(buf.data()), nullptr);
    dir_ = buf.data();
    a_art_object o;
    o.key = Pixt_Key(id);
    o.data = {uint8(w * 4 >> 8), uint8(w * 4), uint8(w >> 8), uint8(w), uint8(h >> 8), uint8(h), 0, 32};
    for (int i = 0; i < w * h; ++i) o.data.insert(o.data.end(), {255, r, g, b});
    std::vector<uint8> lib;
    std::string err;
    ASSERT_TRUE(ArtLib_Build({o}, lib, err)) << err;
    const std::string path = dir_ + "/lib.art4";
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(lib.data()), std::streamsize(lib.size()));
    f.close();
    files_.push_back(path);
    FSSpec spec;
    ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
    ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY);
  }

  static a_spec Library_Spec(int16 id) {
    a_spec s;
    Null_Spec(s);
    s.source.kind = SOURCE_DATABASE;
    s.source.sid = 1;
    s.source.key = Pixt_Key(id);
    return s;
  }
  // Inserts a w x h basis picture (optionally with raw bytes) and returns its source.
  static a_source_desc Insert(int16 w, int16 h, uint32 raw_bytes = 0) {
    a_masked_gworld mw;
    Null_MW(mw);
    mw.bounds = Rect{0, 0, h, w};
    New_GWorldF("test", mw.bounds, 32, nullptr, mw.fore);
    PixMap32_Fill(*Get_GWorld_PixMap(mw.fore), a_pixel32{{10, 20, 30, 255}});
    a_source_desc src;
    std::memset(&src, 0, sizeof(src));
    src.kind = SOURCE_CLIPBOARD;
    last_insert_ = Cache_Insert_External(src, mw, raw_bytes ? New_Handle_Clear(raw_bytes) : nullptr);
    return src;
  }
  static a_spec Spec_Of(const a_source_desc& src) {
    a_spec s;
    Null_Spec(s);
    s.source = src;
    return s;
  }
  static int32 Entries_In_Use() {
    int32 n = 0;
    for (int32 i = 1; i <= Cache_Highest(); ++i) n += Cache_Entry(i)->lru != kFreeLRU;
    return n;
  }
  static a_pixel32 Px(GWorldPtr w, int32 x, int32 y) {
    PixMapPtr pm = Get_GWorld_PixMap(w);
    a_pixel32 p;
    std::memcpy(&p, pm->baseAddr + size_t(y - pm->bounds.top) * PixMap_RowBytes(*pm) + size_t(x - pm->bounds.left) * 4, 4);
    return p;
  }

  std::string dir_;
  std::vector<std::string> files_;
  static inline bool8 last_insert_ = false;
};

}  // namespace

TEST_F(RCacheTest, BudgetFollowsPhysicalMemory) {
  const int64 half = int64(Calc_Physical_MB() / 2) * 1000000;
  EXPECT_EQ(Cache_Byte_Limit(), half < 100000000 ? 100000000 : half);
  EXPECT_EQ(Calc_Next_SID(), 1234);
  EXPECT_EQ(Calc_Next_SID(), 1235);
}

// A library picture renders from its pixels; the same rendering record and purpose a
// second time is a hit on the same entry, restamped; a sizing request is
// answered without storing anything.
TEST_F(RCacheTest, LibraryPictureHitsAndRestamps) {
  Open_Library(40, 6, 4, 10, 20, 200);
  a_spec s = Library_Spec(40);
  a_cache_result c;
  Cache_Get(FOR_SCREEN, s, c);
  ASSERT_NE(c.body.fore, nullptr);
  EXPECT_EQ(c.body.bounds, (Rect{0, 0, 4, 6}));
  EXPECT_EQ(c.union_, c.body.bounds);
  const a_pixel32 p = Px(c.body.fore, 3, 2);
  EXPECT_EQ(p.r, 200);
  EXPECT_EQ(p.g, 20);
  EXPECT_EQ(p.b, 10);
  EXPECT_EQ(s.hintx, 1);
  EXPECT_EQ(Cache_Entry(1)->lru, 1u);
  EXPECT_EQ(Cache_Bytes_Used(), 6 * 4 * 4);
  GWorldPtr first = c.body.fore;

  a_spec again = Library_Spec(40);
  Cache_Get(FOR_SCREEN, again, c);
  EXPECT_EQ(c.body.fore, first);  // not rendered again
  EXPECT_EQ(again.hintx, 1);
  EXPECT_EQ(Cache_Entry(1)->lru, 2u);
  EXPECT_EQ(Cache_Highest(), 1);

  a_spec sizing = Library_Spec(40);
  sizing.scalingh = 2000;
  Cache_Get(FOR_SIZING, sizing, c);
  EXPECT_EQ(c.body.fore, nullptr);
  EXPECT_EQ(c.body.bounds, (Rect{0, 0, 4, 12}));
  EXPECT_EQ(Cache_Highest(), 1);
}

// Screen and printing renderings serve each other; collage renderings are
// kept apart. A printing request leaves the caller's hint alone.
TEST_F(RCacheTest, PurposesThatShareRenderings) {
  Open_Library(41, 5, 5, 0, 0, 0);
  a_spec s = Library_Spec(41);
  a_cache_result c;
  Cache_Get(FOR_SCREEN, s, c);
  a_spec p = Library_Spec(41);
  p.hintx = 99;
  Cache_Get(FOR_PRINTING, p, c);
  EXPECT_EQ(p.hintx, 99);
  EXPECT_EQ(Cache_Highest(), 1);
  a_spec col = Library_Spec(41);
  Cache_Get(FOR_COLLAGE, col, c);
  EXPECT_EQ(Cache_Highest(), 2);
  EXPECT_EQ(col.hintx, 2);
  a_spec back = Library_Spec(41);
  Cache_Get(FOR_SCREEN, back, c);
  EXPECT_EQ(back.hintx, 1);
  EXPECT_TRUE(Purposes_Compatible(FOR_SAVING, FOR_SIZING));
  EXPECT_FALSE(Purposes_Compatible(FOR_COLLAGE, FOR_PRINTING));
}

// A key that no pool holds renders as the missing-picture pattern over the
// record's subset: white, the legend in its colour, and the frame.
TEST_F(RCacheTest, MissingKeyDrawsThePlaceholder) {
  if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
  a_spec s = Library_Spec(999);
  s.subset = Rect{0, 0, 60, 120};
  a_cache_result c;
  Cache_Get(FOR_SCREEN, s, c);
  ASSERT_NE(c.body.fore, nullptr);
  EXPECT_EQ(c.body.bounds, (Rect{0, 0, 60, 120}));
  const a_pixel32 corner = Px(c.body.fore, 0, 0);
  EXPECT_EQ(corner.r, 242);  // the frame, in the legend's colour
  EXPECT_EQ(corner.g, 87);
  EXPECT_EQ(corner.b, 185);
  int white = 0, ink = 0;
  for (int y = 1; y < 59; ++y)
    for (int x = 1; x < 119; ++x) {
      const a_pixel32 p = Px(c.body.fore, x, y);
      if (p.r == 255 && p.g == 255 && p.b == 255) ++white;
      if (p.g < 200) ++ink;
    }
  EXPECT_GT(white, 58 * 118 / 2);
  EXPECT_GT(ink, 50);  // the legend was drawn
}

// Basis pictures: new source ids from 1234, kept out of the budget's reach,
// served for saving with their file bytes; renderings of them are made from
// the basis. Clearing a source removes its basis and its renderings; freed
// entries are reused first.
TEST_F(RCacheTest, BasisEntriesAndClearingASource) {
  const a_source_desc a = Insert(8, 8, 100);
  const a_source_desc b = Insert(4, 4);
  EXPECT_EQ(a.sid, 1234);
  EXPECT_EQ(b.sid, 1235);
  int32 ix;
  ASSERT_TRUE(Find_Basis(1234, ix));
  EXPECT_EQ(ix, 1);
  EXPECT_EQ(Cache_Entry(1)->lru, kBasisLRU + 1);
  EXPECT_EQ(Cache_Entry(1)->size, 8 * 8 * 4 + 100);
  EXPECT_FALSE(Find_Basis(77, ix));
  EXPECT_EQ(ix, 0);

  a_spec save = Spec_Of(a);
  a_cache_result c;
  Cache_Get(FOR_SAVING, save, c);
  EXPECT_NE(c.raw, nullptr);
  EXPECT_EQ(c.body.bounds, (Rect{0, 0, 8, 8}));

  a_spec r = Spec_Of(a);
  r.scalingh = 500;
  Cache_Get(FOR_SCREEN, r, c);
  EXPECT_EQ(c.body.bounds, (Rect{0, 0, 8, 4}));
  EXPECT_EQ(c.raw, nullptr);
  EXPECT_EQ(r.hintx, 3);
  EXPECT_EQ(Cache_Entry(1)->lru, kBasisLRU + 1);  // basis entries are never restamped

  Cache_Clear1(a.sid);
  EXPECT_FALSE(Find_Basis(a.sid, ix));
  EXPECT_EQ(Entries_In_Use(), 1);
  EXPECT_EQ(Cache_Bytes_Used(), 4 * 4 * 4);
  const a_source_desc d = Insert(2, 2);
  ASSERT_TRUE(Find_Basis(d.sid, ix));
  EXPECT_EQ(ix, 1);  // the first free entry

  // A source with no basis (a photo whose file was moved away) gives an
  // empty body for every purpose and stores nothing.
  const int32 used = Entries_In_Use();
  for (a_cache_purpose purpose : {FOR_SCREEN, FOR_PRINTING, FOR_COLLAGE, FOR_SIZING, FOR_SAVING}) {
    SCOPED_TRACE(purpose);
    a_spec orphan = Spec_Of(a);
    c.body.fore = reinterpret_cast<GWorldPtr>(&c);  // anything but NIL
    Cache_Get(purpose, orphan, c);
    EXPECT_EQ(c.body.fore, nullptr);
    EXPECT_EQ(c.body.mask, nullptr);
    EXPECT_EQ(c.shad.fore, nullptr);
    EXPECT_EQ(c.raw, nullptr);
    EXPECT_TRUE(EmptyRect(c.union_));
  }
  EXPECT_EQ(Entries_In_Use(), used);
  Cache_Clear();
  EXPECT_EQ(Entries_In_Use(), 0);
  EXPECT_EQ(Cache_Bytes_Used(), 0);
}

// Over budget the least recently used renderings go first, until the new
// one fits below the limit; basis entries stay, so the limit is soft.
TEST_F(RCacheTest, BudgetDropsLeastRecentlyUsedRenderings) {
  const a_source_desc src = Insert(10, 10);  // 400 bytes, a basis
  Cache_Set_Byte_Limit(2000);
  a_cache_result c;
  // Four renderings of 400 bytes each: 2,000 in all with the basis.
  for (int16 k = 0; k < 4; ++k) {
    a_spec s = Spec_Of(src);
    s.darkness = int16(40 + k);
    Cache_Get(FOR_SCREEN, s, c);
  }
  EXPECT_EQ(Cache_Bytes_Used(), 2000);
  a_spec first = Spec_Of(src);
  first.darkness = 40;
  Cache_Get(FOR_SCREEN, first, c);  // renews the oldest: darkness 41 is now the LRU
  // A rendering of 20 x 20 (1,600 bytes) needs the used bytes down to 400.
  a_spec big = Spec_Of(src);
  big.scalingh = big.scalingv = 2000;
  Cache_Get(FOR_SCREEN, big, c);
  EXPECT_EQ(Cache_Bytes_Used(), 400 + 1600);
  EXPECT_EQ(Entries_In_Use(), 2);
  int32 ix;
  EXPECT_TRUE(Find_Basis(src.sid, ix));
  EXPECT_EQ(c.body.bounds, (Rect{0, 0, 20, 20}));

  // Only the basis left to drop: the cache goes over its budget.
  Cache_Set_Byte_Limit(100);
  a_spec more = Spec_Of(src);
  more.invert = true;
  Cache_Get(FOR_SCREEN, more, c);
  EXPECT_EQ(Cache_Bytes_Used(), 800);
  EXPECT_EQ(Entries_In_Use(), 2);
}

// With every entry used, a new rendering replaces the least recently used
// one; with every entry a basis, it is still handed out, and kept for the
// caller until the next call into the cache.
TEST_F(RCacheTest, EntryLimit) {
  const a_source_desc src = Insert(2, 2);
  a_cache_result c;
  for (int16 k = 1; k < kCacheEntries; ++k) {
    a_spec s = Spec_Of(src);
    s.angle = k;  // 499 distinct renderings
    s.subset = Rect{0, 0, 2, 2};
    Cache_Get(FOR_COLLAGE, s, c);
  }
  EXPECT_EQ(Cache_Highest(), kCacheEntries);
  a_spec s = Spec_Of(src);
  s.darkness = 10;
  Cache_Get(FOR_COLLAGE, s, c);
  EXPECT_EQ(s.hintx, 2);  // the rendering with angle 1, the oldest
  EXPECT_EQ(Entries_In_Use(), kCacheEntries);

  Cache_Clear();
  for (int32 k = 0; k < kCacheEntries; ++k) Insert(1, 1);
  a_spec t = Spec_Of(src);
  t.source.sid = 1235;  // a basis still held
  t.invert = true;
  Cache_Get(FOR_SCREEN, t, c);
  ASSERT_NE(c.body.fore, nullptr);
  EXPECT_EQ(Px(c.body.fore, 0, 0).r, 255 - 30);  // inverted
  a_spec u = t;
  u.invert = false;
  Cache_Get(FOR_SCREEN, u, c);  // the unstored one goes now; this one is valid
  EXPECT_EQ(Px(c.body.fore, 0, 0).r, 30);
  // Nowhere to keep another basis: the import is refused with alert 16.
  testing::internal::CaptureStderr();
  a_source_desc full = Insert(1, 1);
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(last_insert_);
  EXPECT_EQ(full.sid, 0);
  EXPECT_EQ(Entries_In_Use(), kCacheEntries);
  EXPECT_NE(shown.find("alert 16"), std::string::npos) << shown;
}
