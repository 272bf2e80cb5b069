// The picture library: libraries written by the library writer and read back
// by OP (lookups, pools, locks, families), stored-picture headers, the
// manifest and its picture sources, and the files OP must refuse.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "host/HostFiles.h"
#include "pixel/OP.h"
#include "PictLibWrite.h"
#include "pixel/SysPixt.h"
#include "platform/SysMem.h"

namespace {

a_keyset K(int16 a, int16 b, int16 c, int16 d) { return a_keyset{a, b, c, d}; }

a_art_object Obj(a_keyset key, const std::string& bytes) {
  a_art_object o;
  o.key = key;
  o.data.assign(bytes.begin(), bytes.end());
  return o;
}

std::vector<uint8> Build(std::vector<a_art_object> objs) {
  std::vector<uint8> out;
  std::string err;
  EXPECT_TRUE(ArtLib_Build(std::move(objs), out, err)) << err;
  return out;
}

void Put_BE16(std::vector<uint8>& b, size_t at, uint16 v) {
  b[at] = uint8(v >> 8);
  b[at + 1] = uint8(v);
}
void Put_BE32(std::vector<uint8>& b, size_t at, uint32 v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8(v >> (24 - 8 * i));
}

class PictLib : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* t = std::getenv("TMPDIR");
    std::string tmpl = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-art-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    ASSERT_NE(::mkdtemp(buf.data()), nullptr);
    dir_ = buf.data();
    OP_Init();
  }
  void TearDown() override {
    OP_Stop();
    for (const std::string& f : files_) std::remove(f.c_str());
    ::rmdir(dir_.c_str());
  }

  std::string Write(const std::string& name, const std::vector<uint8>& bytes) {
    const std::string path = dir_ + "/" + name;
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    files_.push_back(path);
    return path;
  }

  a_openfile_result Open(const std::string& name, const std::vector<uint8>& bytes) {
    FSSpec spec;
    EXPECT_TRUE(Path_From_Text(spec, Write(name, bytes).c_str()));
    return OP_OpenFile(spec);
  }

  std::string Locked_Text(const a_keyset& key) {
    Ptr p = OP_Lock(key);
    if (p == nullptr) return "<none>";
    std::string s(p, Ptr_GetSize(p));
    OP_Unlock(p);
    EXPECT_EQ(p, nullptr);
    return s;
  }

  std::vector<a_keyset> Family(const a_keyset& wildcard) {
    a_subset sub;
    Subset_Init(sub, wildcard);
    std::vector<a_keyset> keys;
    const int16 n = Subset_Count(sub);
    for (int16 i = 1; i <= n; ++i) {
      a_keyset k;
      Subset_GetKey(sub, i, k);
      keys.push_back(k);
    }
    return keys;
  }

  std::string dir_;
  std::vector<std::string> files_;
};

MATCHER_P4(IsKey, a, b, c, d, "") { return arg.a == a && arg.b == b && arg.c == c && arg.d == d; }

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------
TEST(PictLibKeys, OrderIsLexicographicOnSignedParts) {
  struct Case {
    a_keyset x, y;
    int16 want;
  };
  const Case cases[] = {
      {K(1, 2, 3, 4), K(1, 2, 3, 4), 0},
      {K(-1, 0, 0, 0), K(0, 0, 0, 0), -1},             // signed, not unsigned
      {K(-32768, 0, 0, 0), K(32767, 0, 0, 0), -1},
      {K(1, 9, 9, 9), K(2, 0, 0, 0), -1},              // the first part decides
      {K(1, 2, 3, 5), K(1, 2, 3, 4), 1},               // the last part decides
      {K(12, 1000, 0, 0), K(12, 999, 32000, 32000), 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Compare_Keys(c.x, c.y), c.want) << c.x.a << " " << c.x.b << " " << c.x.c << " " << c.x.d;
    EXPECT_EQ(Compare_Keys(c.y, c.x), -c.want);
    EXPECT_EQ(Equal_Keys(c.x, c.y), c.want == 0);
  }
  a_keyset k = K(12, WILDCARD, 5, 5);
  EXPECT_TRUE(Is_Multiple_Key(k));
  EXPECT_FALSE(Is_Null_Key(k));
  Null_Key(k);
  EXPECT_THAT(k, IsKey(0, 0, 0, 0));  // the null key is no wildcard key
  EXPECT_TRUE(Is_Null_Key(k));
  EXPECT_FALSE(Is_Multiple_Key(k));
  EXPECT_FALSE(Is_Multiple_Key(K(0, 0, 0, 31999)));
  EXPECT_TRUE(Is_Multiple_Key(K(0, 0, 0, 32000)));
}

// ---------------------------------------------------------------------------
// Reading back what the writer wrote
// ---------------------------------------------------------------------------
TEST_F(PictLib, WrittenObjectsReadBackByKey) {
  // Given out of order: the writer sorts, and the reader's binary search
  // depends on that.
  ASSERT_EQ(Open("a.ART4", Build({Obj(K(12, 5, 0, 0), "five"), Obj(K(3, 1, 0, 0), "gradient"),
                                  Obj(K(12, -5, 0, 0), "minus five"), Obj(K(3, 2, 7, 7), ""),
                                  Obj(K(-4, 0, 0, 0), "negative family")})),
            OPEN_OKAY);
  EXPECT_EQ(OP_Pool_Count(), 1);
  EXPECT_EQ(Locked_Text(K(12, 5, 0, 0)), "five");
  EXPECT_EQ(Locked_Text(K(3, 1, 0, 0)), "gradient");
  EXPECT_EQ(Locked_Text(K(12, -5, 0, 0)), "minus five");
  EXPECT_EQ(Locked_Text(K(-4, 0, 0, 0)), "negative family");
  EXPECT_EQ(OP_Size(K(3, 1, 0, 0)), 8);

  // An empty object exists and locks as an empty block.
  EXPECT_TRUE(OP_Exists(K(3, 2, 7, 7)));
  EXPECT_EQ(OP_Size(K(3, 2, 7, 7)), 0);
  Ptr p = OP_Lock(K(3, 2, 7, 7));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(Ptr_GetSize(p), 0u);
  OP_Unlock(p);

  // Misses below, between and above every item.
  for (const a_keyset& k : {K(-5, 0, 0, 0), K(3, 1, 0, 1), K(12, 0, 0, 0), K(30000, 0, 0, 0)}) {
    EXPECT_FALSE(OP_Exists(k));
    EXPECT_EQ(OP_Size(k), 0);
    EXPECT_EQ(OP_Lock(k), nullptr);
  }
}

TEST_F(PictLib, EmptyLibraryOpensAndEveryLookupMisses) {
  ASSERT_EQ(Open("empty.ART4", Build({})), OPEN_OKAY);
  EXPECT_FALSE(OP_Exists(K(0, 0, 0, 0)));
  EXPECT_FALSE(Pixt_Exists(PIXT_ABOUT_ID));
  EXPECT_TRUE(Family(K(WILDCARD, 0, 0, 0)).empty());
  EXPECT_TRUE(Family(K(12, WILDCARD, 0, 0)).empty());
}

TEST_F(PictLib, StoredPictureHeaderAndPixelOrder) {
  a_art_image img;
  img.width = 2;
  img.height = 1;
  img.rgba = {0x22, 0x33, 0x44, 0x11, 0xFF, 0x00, 0x00, 0xFF};  // red, green, blue, alpha
  std::vector<uint8> pixt;
  std::string err;
  // Packing bits are never claimed for raw rows.
  ASSERT_TRUE(Pixt_Encode32(img, PIXT_FLAG_TRANSPARENT | PIXT_FLAG_LZW | PIXT_FLAG_RLE, pixt, err));
  const std::vector<uint8> want = {0, 8, 0, 2, 0, 1, PIXT_FLAG_TRANSPARENT, 32,
                                   0x11, 0x22, 0x33, 0x44, 0xFF, 0xFF, 0x00, 0x00};
  EXPECT_EQ(pixt, want);

  a_art_object o;
  o.key = Pixt_Key(7);
  o.data = pixt;
  ASSERT_EQ(Open("p.ART4", Build({o, Obj(K(12, 7, 0, 1), "x"), Obj(K(12, 8, 0, 0), "y")})), OPEN_OKAY);
  EXPECT_TRUE(Pixt_Exists(7));
  EXPECT_TRUE(Pixt_Exists(8));
  EXPECT_FALSE(Pixt_Exists(6));
  EXPECT_FALSE(Pixt_Exists(PIXT_ABOUT_ID));
  Ptr p = OP_Lock(K(12, 7, 0, 0));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::vector<uint8>(p, p + Ptr_GetSize(p)), want);
  OP_Unlock(p);

  // Sizes the 16-bit header cannot hold, and pixels that do not match.
  for (auto [w, h, n] : {std::tuple{8192, 1, 8192 * 4}, std::tuple{1, 32768, 32768 * 4},
                         std::tuple{0, 1, 0}, std::tuple{2, 2, 12}}) {
    a_art_image bad;
    bad.width = w;
    bad.height = h;
    bad.rgba.assign(size_t(n), 0);
    EXPECT_FALSE(Pixt_Encode32(bad, 0, pixt, err)) << w << " x " << h;
  }
}

TEST_F(PictLib, WriterRefusesDuplicateKeys) {
  std::vector<uint8> out;
  std::string err;
  EXPECT_FALSE(ArtLib_Build({Obj(K(1, 2, 3, 4), "a"), Obj(K(0, 0, 0, 0), "b"), Obj(K(1, 2, 3, 4), "c")},
                            out, err));
  EXPECT_NE(err.find("(1, 2, 3, 4)"), std::string::npos) << err;
}

// ---------------------------------------------------------------------------
// Pools
// ---------------------------------------------------------------------------
TEST_F(PictLib, LastOpenedPoolServesSharedKeys) {
  ASSERT_EQ(Open("1.ART4", Build({Obj(K(1, 1, 0, 0), "first"), Obj(K(1, 2, 0, 0), "only first")})),
            OPEN_OKAY);
  ASSERT_EQ(Open("2.ART4", Build({Obj(K(1, 1, 0, 0), "second"), Obj(K(9, 0, 0, 0), "only second")})),
            OPEN_OKAY);
  EXPECT_EQ(Locked_Text(K(1, 1, 0, 0)), "second");
  EXPECT_EQ(Locked_Text(K(1, 2, 0, 0)), "only first");
  EXPECT_EQ(Locked_Text(K(9, 0, 0, 0)), "only second");
  OP_Stop();
  EXPECT_EQ(OP_Pool_Count(), 0);
  EXPECT_FALSE(OP_Exists(K(1, 1, 0, 0)));
}

TEST_F(PictLib, SixthPoolIsRefusedAndRejectsTakeNoSlot) {
  std::vector<uint8> bad = Build({Obj(K(1, 0, 0, 0), "x")});
  bad[0] = 'X';
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(Open("bad" + std::to_string(i), bad), OPEN_INVALID);
    ASSERT_EQ(Open(std::to_string(i), Build({Obj(K(1, int16(i), 0, 0), std::to_string(i))})), OPEN_OKAY);
  }
  EXPECT_EQ(OP_Pool_Count(), 5);
  EXPECT_EQ(Open("6", Build({Obj(K(1, 6, 0, 0), "6")})), OPEN_TOOMANY);
  EXPECT_EQ(OP_Pool_Count(), 5);
  EXPECT_FALSE(OP_Exists(K(1, 6, 0, 0)));
  for (int16 i = 1; i <= 5; ++i) EXPECT_EQ(Locked_Text(K(1, i, 0, 0)), std::to_string(i));
}

// ---------------------------------------------------------------------------
// Locks
// ---------------------------------------------------------------------------
TEST_F(PictLib, ThreeLocksAtOnceAndMisuseIsAnInternalError) {
  ASSERT_EQ(Open("l.ART4", Build({Obj(K(1, 0, 0, 0), "a"), Obj(K(2, 0, 0, 0), "b")})), OPEN_OKAY);
  Ptr p1 = OP_Lock(K(1, 0, 0, 0));
  Ptr p2 = OP_Lock(K(1, 0, 0, 0));  // each lock is its own copy
  Ptr p3 = OP_Lock(K(2, 0, 0, 0));
  ASSERT_TRUE(p1 && p2 && p3);
  EXPECT_NE(p1, p2);
  EXPECT_THROW(OP_Lock(K(2, 0, 0, 0)), QuitCalled);
  OP_Unlock(p2);
  EXPECT_EQ(p2, nullptr);
  Ptr p4 = OP_Lock(K(2, 0, 0, 0));  // the freed slot is used again
  ASSERT_NE(p4, nullptr);
  EXPECT_EQ(*p4, 'b');

  Ptr stranger = New_Ptr(4);
  EXPECT_THROW(OP_Unlock(stranger), QuitCalled);
  Dispose_Ptr(stranger);
  Ptr nil = nullptr;
  OP_Unlock(nil);  // nothing to free
  for (Ptr* p : {&p1, &p3, &p4}) OP_Unlock(*p);
}

// ---------------------------------------------------------------------------
// Families
// ---------------------------------------------------------------------------
TEST_F(PictLib, FamiliesByPartialKey) {
  ASSERT_EQ(Open("f.ART4", Build({Obj(K(8, 1, 0, 0), ""), Obj(K(8, 1, 2, 0), ""), Obj(K(8, 2, -3, 0), ""),
                                  Obj(K(8, 2, 0, 0), ""), Obj(K(8, 2, 5, 1), ""), Obj(K(10, 0, 0, 0), ""),
                                  Obj(K(12, -1, 0, 0), ""), Obj(K(12, 5, 0, 0), ""),
                                  Obj(K(-2, 7, 0, 0), "")})),
            OPEN_OKAY);
  using ::testing::ElementsAre;
  EXPECT_THAT(Family(K(8, WILDCARD, 0, 0)), ElementsAre(IsKey(8, 1, 0, 0), IsKey(8, 1, 2, 0),
                                                        IsKey(8, 2, -3, 0), IsKey(8, 2, 0, 0),
                                                        IsKey(8, 2, 5, 1)));
  // Members whose free parts are negative belong to the family too.
  EXPECT_THAT(Family(K(8, 2, WILDCARD, 0)),
              ElementsAre(IsKey(8, 2, -3, 0), IsKey(8, 2, 0, 0), IsKey(8, 2, 5, 1)));
  EXPECT_THAT(Family(K(12, WILDCARD, 5, 5)), ElementsAre(IsKey(12, -1, 0, 0), IsKey(12, 5, 0, 0)));
  EXPECT_THAT(Family(K(8, 2, 5, WILDCARD)), ElementsAre(IsKey(8, 2, 5, 1)));
  const std::vector<a_keyset> all = Family(K(WILDCARD, 1, 2, 3));
  ASSERT_EQ(all.size(), 9u);
  EXPECT_THAT(all.front(), IsKey(-2, 7, 0, 0));
  EXPECT_THAT(all.back(), IsKey(12, 5, 0, 0));
  // Absent families: between items, below and above every item.
  EXPECT_TRUE(Family(K(9, WILDCARD, 0, 0)).empty());
  EXPECT_TRUE(Family(K(-3, WILDCARD, 0, 0)).empty());
  EXPECT_TRUE(Family(K(20, WILDCARD, 0, 0)).empty());
  EXPECT_THAT(Family(K(12, 5, 0, WILDCARD)), ElementsAre(IsKey(12, 5, 0, 0)));

  a_subset sub;
  a_keyset k;
  EXPECT_THROW(Subset_Init(sub, K(8, 1, 0, 0)), QuitCalled);  // no wildcard part
  Subset_Init(sub, K(8, 1, WILDCARD, 0));
  ASSERT_EQ(Subset_Count(sub), 2);
  for (int16 bad : {0, 3, -1}) EXPECT_THROW(Subset_GetKey(sub, bad, k), QuitCalled) << bad;
  Subset_GetKey(sub, 2, k);
  EXPECT_THAT(k, IsKey(8, 1, 2, 0));
}

TEST_F(PictLib, FamilyComesFromTheLastPoolThatHoldsIt) {
  ASSERT_EQ(Open("1", Build({Obj(K(8, 1, 0, 0), ""), Obj(K(8, 2, 0, 0), ""), Obj(K(10, 1, 0, 0), "")})),
            OPEN_OKAY);
  ASSERT_EQ(Open("2", Build({Obj(K(10, 5, 0, 0), ""), Obj(K(11, 0, 0, 0), "")})), OPEN_OKAY);
  ASSERT_EQ(Open("3", Build({})), OPEN_OKAY);  // an empty pool on top
  using ::testing::ElementsAre;
  EXPECT_THAT(Family(K(8, WILDCARD, 0, 0)), ElementsAre(IsKey(8, 1, 0, 0), IsKey(8, 2, 0, 0)));
  // Both pools hold family 10; it is not merged, the later pool wins.
  EXPECT_THAT(Family(K(10, WILDCARD, 0, 0)), ElementsAre(IsKey(10, 5, 0, 0)));
  EXPECT_TRUE(Family(K(9, WILDCARD, 0, 0)).empty());
  // Everything means everything in the last-opened pool, here the empty one.
  EXPECT_TRUE(Family(K(WILDCARD, 0, 0, 0)).empty());
}

TEST_F(PictLib, FamilyWithoutAnyPoolIsAnInternalError) {
  a_subset sub;
  EXPECT_THROW(Subset_Init(sub, K(12, WILDCARD, 0, 0)), QuitCalled);
  EXPECT_EQ(Subset_Count(sub), 0);
}

// ---------------------------------------------------------------------------
// Files that must be refused
// ---------------------------------------------------------------------------
TEST_F(PictLib, RefusesDamagedFiles) {
  // Two objects: "AAAA" at 54 and "BBBBBB" at 58, file of 64 bytes.
  const std::vector<uint8> good = Build({Obj(K(1, 0, 0, 0), "AAAA"), Obj(K(2, 0, 0, 0), "BBBBBB")});
  ASSERT_EQ(good.size(), 64u);
  constexpr size_t kItem1 = 14, kItem2 = 34;
  using Edit = void (*)(std::vector<uint8>&);
  struct Case {
    const char* what;
    Edit edit;
  };
  const Case cases[] = {
      {"signature 1", [](std::vector<uint8>& b) { b[0] = '{'; }},
      {"signature 2", [](std::vector<uint8>& b) { b[1] = 'e'; }},
      {"signature 3", [](std::vector<uint8>& b) { b[2] = 'F'; }},
      {"signature 4", [](std::vector<uint8>& b) { b[3] = ')'; }},
      {"version 2", [](std::vector<uint8>& b) { Put_BE32(b, 4, 2); }},
      {"version 4", [](std::vector<uint8>& b) { Put_BE32(b, 4, 4); }},
      {"version little-endian", [](std::vector<uint8>& b) { Put_BE32(b, 4, 0x03000000); }},
      {"size field one less", [](std::vector<uint8>& b) { Put_BE32(b, 8, 63); }},
      {"size field one more", [](std::vector<uint8>& b) { Put_BE32(b, 8, 65); }},
      {"file one byte short", [](std::vector<uint8>& b) { b.pop_back(); }},
      {"file one byte long", [](std::vector<uint8>& b) { b.push_back(0); }},
      {"header cut", [](std::vector<uint8>& b) { b.resize(13); }},
      {"empty file", [](std::vector<uint8>& b) { b.clear(); }},
      {"truncated, size fixed", [](std::vector<uint8>& b) { b.resize(60); Put_BE32(b, 8, 60); }},
      {"map cut by size fixed", [](std::vector<uint8>& b) { b.resize(40); Put_BE32(b, 8, 40); }},
      {"count past the file", [](std::vector<uint8>& b) { Put_BE16(b, 12, 3); }},
      {"huge count", [](std::vector<uint8>& b) { Put_BE16(b, 12, 0xFFFF); }},
      {"position negative", [](std::vector<uint8>& b) { Put_BE32(b, kItem1 + 8, 0xFFFFFFFF); }},
      {"position at the end", [](std::vector<uint8>& b) { Put_BE32(b, kItem1 + 8, 64); }},
      {"position far outside", [](std::vector<uint8>& b) { Put_BE32(b, kItem2 + 8, 0x7FFFFFF0); }},
      {"length one too long", [](std::vector<uint8>& b) { Put_BE32(b, kItem2 + 12, 7); }},
      {"length negative", [](std::vector<uint8>& b) { Put_BE32(b, kItem1 + 12, 0x80000000); }},
      {"position and length wrap", [](std::vector<uint8>& b) {
         Put_BE32(b, kItem2 + 8, 0x7FFFFFFF);
         Put_BE32(b, kItem2 + 12, 0x7FFFFFFF);
       }},
      {"map unsorted", [](std::vector<uint8>& b) { Put_BE16(b, kItem1, 3); }},
      {"map unsorted in the last part", [](std::vector<uint8>& b) {
         Put_BE16(b, kItem1, 2);
         Put_BE16(b, kItem1 + 6, 1);
       }},
      {"duplicate keys", [](std::vector<uint8>& b) { Put_BE16(b, kItem2, 1); }},
  };
  for (const Case& c : cases) {
    std::vector<uint8> b = good;
    c.edit(b);
    EXPECT_EQ(Open("bad.ART4", b), OPEN_INVALID) << c.what;
    EXPECT_EQ(OP_Pool_Count(), 0) << c.what;
  }
  // The unedited file opens, and an object ending exactly at the end is fine.
  ASSERT_EQ(Open("good.ART4", good), OPEN_OKAY);
  EXPECT_EQ(Locked_Text(K(2, 0, 0, 0)), "BBBBBB");
}

TEST_F(PictLib, ReadFailuresAreReportedAndLeakNothing) {
  a_art_image img;
  img.width = 1;
  img.height = 1;
  img.rgba = {1, 2, 3, 255};
  a_art_object pic;
  pic.key = Pixt_Key(7);
  std::string err;
  ASSERT_TRUE(Pixt_Encode32(img, 0, pic.data, err)) << err;
  const std::vector<uint8> lib = Build({Obj(K(1, 0, 0, 0), "AAAA"), Obj(K(2, 0, 0, 0), "BB"), pic});
  // The disk fails inside the map: the file is refused.
  Host_Fail_Reads_After(14 + 10);
  EXPECT_EQ(Open("m.ART4", lib), OPEN_INVALID);
  Host_Fail_Reads_After(-1);
  EXPECT_EQ(OP_Pool_Count(), 0);

  // The disk fails while an object is read: the object is missing (the
  // program goes on), and the lock slot stays free (three locks still work
  // afterwards).
  ASSERT_EQ(Open("o.ART4", lib), OPEN_OKAY);
  Host_Fail_Reads_After(0);
  EXPECT_EQ(OP_Lock(K(1, 0, 0, 0)), nullptr);
  a_pixt pixt{};
  EXPECT_EQ(KPixt_Load_Checked(Pixt_Key(7), pixt), PIXT_MISSING);
  Host_Fail_Reads_After(-1);
  ASSERT_EQ(KPixt_Load_Checked(Pixt_Key(7), pixt), PIXT_OK);
  Pixt_Unload(pixt);
  Ptr p[3];
  for (Ptr& q : p) ASSERT_NE(q = OP_Lock(K(2, 0, 0, 0)), nullptr);
  for (Ptr& q : p) OP_Unlock(q);
}

TEST_F(PictLib, MissingFileOrFolderIsNotFound) {
  FSSpec spec;
  ASSERT_TRUE(Path_From_Text(spec, (dir_ + "/nothing.ART4").c_str()));
  EXPECT_EQ(OP_OpenFile(spec), OPEN_NOTFOUND);
  ASSERT_TRUE(Path_From_Text(spec, dir_.c_str()));
  EXPECT_EQ(OP_OpenFile(spec), OPEN_NOTFOUND);
  EXPECT_EQ(OP_Pool_Count(), 0);
}

// ---------------------------------------------------------------------------
// Manifest and picture sources
// ---------------------------------------------------------------------------
TEST_F(PictLib, ManifestBuildsALibrary) {
  const std::string ppm = "P3\n# two pixels\n2 1\n15\n15 0 0   0 15 7\n";
  Write("two.ppm", std::vector<uint8>(ppm.begin(), ppm.end()));
  Write("blob.bin", {0xDE, 0xAD, 0x00, 0xFF});
  const std::string manifest =
      "# test library\n"
      "\n"
      "picture 12 1000 0 0  solid 300 120 F0F0F8\r\n"
      "picture 12 20 0 0    ppm two.ppm\n"
      "picture 1 -3 0 0     solid 3 2 10203080\n"
      "picture 3 1 0 0      gradient 1 3 000000 FF8040\n"
      "   object 6 175 0 0  file blob.bin\n"
      "object 4 1 0 0       hex 0102 ab Cd\n"
      "object 4 2 0 0       text \"hello, world\"\n";
  std::vector<a_art_object> objs;
  std::string err;
  ASSERT_TRUE(ArtLib_Parse_Manifest(manifest, dir_, objs, err)) << err;
  ASSERT_EQ(Open("m.ART4", Build(objs)), OPEN_OKAY);

  EXPECT_TRUE(Pixt_Exists(PIXT_ABOUT_ID));
  EXPECT_EQ(Locked_Text(K(6, 175, 0, 0)), std::string("\xDE\xAD\x00\xFF", 4));
  EXPECT_EQ(Locked_Text(K(4, 1, 0, 0)), "\x01\x02\xAB\xCD");
  EXPECT_EQ(Locked_Text(K(4, 2, 0, 0)), "hello, world");
  // PPM samples scaled from 0..15 to 0..255; stored alpha, red, green, blue.
  EXPECT_EQ(Locked_Text(K(12, 20, 0, 0)),
            std::string("\x00\x08\x00\x02\x00\x01\x00\x20"
                        "\xFF\xFF\x00\x00"
                        "\xFF\x00\xFF\x77",
                        16));
  EXPECT_EQ(Locked_Text(K(1, -3, 0, 0)).substr(8, 4), "\x80\x10\x20\x30");
  EXPECT_EQ(Locked_Text(K(3, 1, 0, 0)).substr(8),
            std::string("\xFF\x00\x00\x00\xFF\x80\x40\x20\xFF\xFF\x80\x40", 12));
  EXPECT_EQ(OP_Size(Pixt_Key(PIXT_ABOUT_ID)), 8 + 300 * 120 * 4);
}

TEST(PictLibManifest, BadEntriesNameTheirLine) {
  const char* cases[] = {
      "frobnicate 1 2 3 4 x",
      "picture 12 1000 0 solid 1 1 000000",
      "picture 12 40000 0 0 solid 1 1 000000",
      "picture 12 x 0 0 solid 1 1 000000",
      "picture 12 1 0 0 solid 1 1 00000G",
      "picture 12 1 0 0 solid 0 1 000000",
      "picture 12 1 0 0 solid 100000 100000 000000",
      "picture 12 1 0 0 gradient 2 2 000000",
      "picture 12 1 0 0 solid 3 2 \"unterminated",
      "picture 12 1 0 0 ppm no-such-file.ppm",
      "picture 12 1 0 0 teapot 1 1",
      "object 1 0 0 0 hex 123",
      "object 1 0 0 0 hex 12 zz",
      "object 1 0 0 0 text",
  };
  for (const char* line : cases) {
    std::vector<a_art_object> objs;
    std::string err;
    const std::string text = std::string("# first line\nobject 0 0 0 0 text ok\n") + line + "\n";
    EXPECT_FALSE(ArtLib_Parse_Manifest(text, "", objs, err)) << line;
    EXPECT_EQ(err.rfind("line 3: ", 0), 0u) << line << " -> " << err;
  }
}

TEST(PictLibManifest, PpmReader) {
  auto bytes = [](const std::string& s) { return std::vector<uint8>(s.begin(), s.end()); };
  a_art_image img;
  std::string err;
  // Binary, 16-bit samples, big-endian.
  ASSERT_TRUE(Art_Read_PPM(bytes(std::string("P6 1 1 65535\n\xFF\xFF\x80\x00\x00\x00", 19)), img, err)) << err;
  EXPECT_EQ(img.rgba, (std::vector<uint8>{255, 128, 0, 255}));
  // Binary, 8-bit, a comment in the header.
  ASSERT_TRUE(Art_Read_PPM(bytes(std::string("P6\n#c\n1 2\n255\n\x01\x02\x03\x04\x05\x06", 20)), img, err));
  EXPECT_EQ(img.rgba, (std::vector<uint8>{1, 2, 3, 255, 4, 5, 6, 255}));

  const std::string refused[] = {
      "P5 1 1 255\n\x00",                    // grey map
      "P6 1 1 255\n\x01\x02",                // data short
      "P3 2 2 255\n1 2 3 4 5 6 7 8 9 10 11",  // plain data short
      "P3 1 1 255\n1 2 x",                    // not a number
      "P6 4000000 4000000 255\n",            // huge, refused before any allocation
      "P6 1 1 0\n\x00\x00\x00",              // maximum 0
      "P6 1 1",                              // header cut
  };
  for (const std::string& s : refused) {
    EXPECT_FALSE(Art_Read_PPM(bytes(s), img, err)) << s;
    EXPECT_TRUE(img.rgba.empty());
  }
}

TEST_F(PictLib, WriteFileReplacesWhole) {
  std::string err;
  const std::string path = dir_ + "/out.ART4";
  files_.push_back(path);
  ASSERT_TRUE(Art_Write_File(path, {1, 2, 3}, err)) << err;
  ASSERT_TRUE(Art_Write_File(path, {9}, err)) << err;
  std::vector<uint8> back;
  ASSERT_TRUE(Art_Read_File(path, back, err));
  EXPECT_EQ(back, std::vector<uint8>{9});
  EXPECT_FALSE(Art_Write_File(dir_ + "/no/such/dir/x", {1}, err));
}

}  // namespace
