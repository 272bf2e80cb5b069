#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "TestSupport.h"
#include "host/HostResources.h"
#include "platform/ResTestUtil.h"
#include "platform/Resources.h"
#include "platform/SysIO.h"

using restest::Archive;
using restest::Res;
using restest::StrList;
using restest::TempFile;

namespace {

const OSType kSTR = FourCC("STR#");

class ResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override { Resources_Init(); }
  void TearDown() override { Resources_Init(); }
};

std::string Item(int16 list, int16 ix) {
  Str255 s;
  std::memset(s, 'x', sizeof s);
  GetIndString(s, list, ix);
  return s;
}

}  // namespace

TEST_F(ResourcesTest, ProgramListsHoldTheirTexts) {
  EXPECT_EQ(Item(400, 4), "Internal Error - Program has crashed.");
  EXPECT_EQ(Item(200, 8), "OK");
  EXPECT_EQ(Item(80, 1), "Velmor");
  const std::string prefs = Item(1001, 3), art = Item(1001, 4);
  ASSERT_GT(prefs.size(), 4u);
  EXPECT_EQ(prefs.substr(prefs.size() - 4), ".ini");
  ASSERT_GT(art.size(), 5u);
  EXPECT_EQ(art.substr(art.size() - 5), ".ART4");
  EXPECT_FALSE(Item(1001, 8).empty());
  EXPECT_FALSE(Item(1001, 10).empty());
}

TEST_F(ResourcesTest, IndexOutsideTheListOrMissingListGivesEmpty) {
  ResHandle h = GetResource(kSTR, 80);
  ASSERT_NE(h, nullptr);
  const int16 n = StrList_Count(std::span<const uint8>(h->data, h->size));
  EXPECT_EQ(n, 11);
  EXPECT_EQ(Item(80, 0), "");
  EXPECT_EQ(Item(80, -1), "");
  EXPECT_EQ(Item(80, n), "TEXT");
  EXPECT_EQ(Item(80, int16(n + 1)), "");
  EXPECT_EQ(Item(80, 32767), "");
  EXPECT_EQ(Item(12345, 1), "");
}

TEST(ResourceNames, IdTable) {
  struct Case {
    int16 id;
    bool is_int;
    const char* name;
  } cases[] = {{100, true, nullptr}, {1, true, nullptr}, {-102, false, "-102"},
               {0, false, "0"}, {-32768, false, "-32768"}};
  for (const Case& c : cases) {
    a_res_name n = ID(c.id);
    EXPECT_EQ(n.is_int, c.is_int) << c.id;
    EXPECT_EQ(n.id, c.id);
    if (c.name) {
      EXPECT_STREQ(n.name, c.name) << c.id;
    }
  }
}

TEST_F(ResourcesTest, LibraryIsSearchedFirstThenTheProgram) {
  TempFile lib(Archive({{kSTR, 400, StrList({"", "", "", "Library text"})},
                        {kSTR, 999, StrList({"only here"})}}));
  const int16 slot = HOpenResFile(0, 0, lib.path.c_str(), 0);
  ASSERT_EQ(slot, 1);
  EXPECT_EQ(CurResFile(), 1);
  EXPECT_EQ(Item(400, 4), "Library text");
  EXPECT_EQ(Item(999, 1), "only here");
  // The library lacks list 200: the program's list is found below it.
  EXPECT_EQ(Item(200, 8), "OK");
  EXPECT_EQ(Get1Resource(kSTR, 200), nullptr);
  EXPECT_TRUE(Res_Exists1(999, kSTR));
  EXPECT_FALSE(Res_Exists1(200, kSTR));
  Str255 s;
  Get1IndString(s, 200, 8);
  EXPECT_STREQ(s, "");
  // The handle knows its own file and size.
  ResHandle h = GetResource(kSTR, 200);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->slot, 0);
  EXPECT_EQ(Res_Size(h), h->size);
  EXPECT_EQ(Res_Lock(h), h->data);

  UseResFile(0);
  EXPECT_EQ(Item(400, 4), "Internal Error - Program has crashed.");
  EXPECT_EQ(Item(999, 1), "");
  UseResFile(1);
  CloseResFile(slot);
  EXPECT_EQ(CurResFile(), 0);
  EXPECT_EQ(Item(999, 1), "");
  // A closed or never opened slot cannot become current.
  UseResFile(1);
  EXPECT_EQ(CurResFile(), 0);
  UseResFile(40);
  EXPECT_EQ(CurResFile(), 0);
}

TEST_F(ResourcesTest, FortiethFileFailsAndFreedSlotsAreReused) {
  TempFile lib(Archive({{kSTR, 1, StrList({"a"})}}));
  for (int16 k = 1; k < RES_NSLOTS; ++k) ASSERT_EQ(HOpenResFile(0, 0, lib.path.c_str(), 0), k);
  EXPECT_EQ(HOpenResFile(0, 0, lib.path.c_str(), 0), -1);
  CloseResFile(5);
  EXPECT_EQ(HOpenResFile(0, 0, lib.path.c_str(), 0), 5);
  EXPECT_EQ(CurResFile(), 5);
  // Closing the program's slot is refused: lookups from slot 5 still reach it.
  CloseResFile(0);
  EXPECT_EQ(Get1Resource(kSTR, 400), nullptr);
  EXPECT_EQ(Item(400, 4), "Internal Error - Program has crashed.");
}

TEST_F(ResourcesTest, MissingOrCorruptFileIsNotOpened) {
  EXPECT_EQ(HOpenResFile(0, 0, "/nonexistent/velmor/none.res", 0), -1);
  TempFile bad(std::vector<uint8>{'V', 'R', 'S', '1', 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(HOpenResFile(0, 0, bad.path.c_str(), 0), -1);
  TempFile empty(std::vector<uint8>{});
  EXPECT_EQ(ResFile_Open(empty.path.c_str(), 0), -1);
  EXPECT_EQ(CurResFile(), 0);
  // Through a path record; one whose name has no terminator is refused.
  TempFile good(Archive({{kSTR, 7, StrList({"seven"})}}));
  auto rec = std::make_unique<FSSpec>();
  std::memset(rec.get(), 0, sizeof(FSSpec));
  std::strcpy(rec->name, good.path.c_str());
  const int16 slot = ResFile_Open(*rec, 0);
  ASSERT_EQ(slot, 1);
  EXPECT_EQ(Item(7, 1), "seven");
  ResFile_Close(slot);
  std::memset(rec->name, 'a', sizeof rec->name);
  EXPECT_EQ(ResFile_Open(*rec, 0), -1);
}

TEST(ResArchive, CorruptArchivesAreRefused) {
  const std::vector<uint8> good = Archive({{kSTR, 1, StrList({"a"})}, {kSTR, 2, StrList({"b"})}});
  ASSERT_NE(host::ResArchive::Open_Bytes(good, true, nullptr), nullptr);
  struct Case {
    const char* what;
    std::size_t at;  // byte to change
    uint8 value;
    std::size_t cut;  // or: keep only this many bytes (0: keep all)
  } cases[] = {
      {"shorter than the header", 0, 'V', 7},
      {"bad magic", 0, 'X', 0},
      {"count beyond the bytes", 4, 0x03, 0},
      {"huge count", 7, 0x80, 0},
      {"offset into the index", 16, 0x08, 0},
      {"offset past the end", 17, 0x10, 0},
      {"size past the end", 20, 0xFF, 0},
      {"size wraps around", 23, 0xFF, 0},
      {"pad not zero", 14, 0x01, 0},
      {"duplicate id", 28, 0x01, 0},
      {"unsorted ids", 28, 0x00, 0},
      {"data cut off", 0, 'V', good.size() - 1},
  };
  for (const Case& c : cases) {
    std::vector<uint8> b = good;
    if (c.cut) b.resize(c.cut);
    else b[c.at] = c.value;
    std::string err;
    EXPECT_EQ(host::ResArchive::Open_Bytes(b, true, &err), nullptr) << c.what;
    EXPECT_FALSE(err.empty()) << c.what;
  }
}

TEST(ResArchive, EmptyArchiveAndLookup) {
  auto a = host::ResArchive::Open_Bytes(Archive({}), true, nullptr);
  ASSERT_NE(a, nullptr);
  EXPECT_FALSE(a->Find(kSTR, 1, nullptr));
  auto b = host::ResArchive::Open_Bytes(
      Archive({{kSTR, -5, {1, 2}}, {kSTR, 3, {}}, {FourCC("ZZZZ"), -5, {9}}}), true, nullptr);
  ASSERT_NE(b, nullptr);
  std::span<const uint8> d;
  ASSERT_TRUE(b->Find(kSTR, -5, &d));
  EXPECT_EQ(d.size(), 2u);
  ASSERT_TRUE(b->Find(kSTR, 3, &d));
  EXPECT_EQ(d.size(), 0u);
  ASSERT_TRUE(b->Find(FourCC("ZZZZ"), -5, &d));
  EXPECT_EQ(d[0], 9);
  EXPECT_FALSE(b->Find(kSTR, 4, &d));
  EXPECT_TRUE(d.empty());
}

TEST(StrListParser, MalformedDataNeverReadsPastIt) {
  struct Case {
    const char* what;
    std::vector<uint8> data;
    int16 ix;
    bool ok;
    const char* text;
  } cases[] = {
      {"empty data", {}, 1, false, ""},
      {"count only", {1}, 1, false, ""},
      {"count promises more", {3, 0, 2, 'h', 'i'}, 2, false, ""},
      {"first of short list", {3, 0, 2, 'h', 'i'}, 1, true, "hi"},
      {"length past the end", {1, 0, 5, 'a', 'b'}, 1, false, ""},
      {"negative count", {0xFF, 0xFF, 1, 'a'}, 1, false, ""},
      {"empty entry", {2, 0, 0, 1, 'z'}, 1, true, ""},
      {"after empty entry", {2, 0, 0, 1, 'z'}, 2, true, "z"},
      {"skip runs off", {2, 0, 9, 'a'}, 2, false, ""},
  };
  for (const Case& c : cases) {
    // Exactly sized heap copies, so a read past the end is caught.
    std::unique_ptr<uint8[]> buf(new uint8[c.data.size() + 1]);
    std::copy(c.data.begin(), c.data.end(), buf.get());
    std::span<const uint8> d(buf.get(), c.data.size());
    char s[256];
    std::memset(s, 'x', sizeof s);
    EXPECT_EQ(StrList_Item(d, c.ix, s), c.ok) << c.what;
    EXPECT_STREQ(s, c.text) << c.what;
    EXPECT_LE(StrList_Count(d), 3) << c.what;
  }
  const std::vector<uint8> two = {3, 0, 2, 'h', 'i'};
  EXPECT_EQ(StrList_Count(two), 1);
}

TEST(StrListParser, TextIsCutToTheCallersArray) {
  const std::vector<uint8> d = {1, 0, 5, 'h', 'e', 'l', 'l', 'o'};
  char small[4];
  std::memset(small, 'x', sizeof small);
  EXPECT_TRUE(StrList_Item(d, 1, small));
  EXPECT_STREQ(small, "hel");
  // "a" and two 2-byte characters: a 4-byte array holds "a" and one of them.
  const std::vector<uint8> u = {1, 0, 5, 'a', 0xC3, 0xA9, 0xC3, 0xA9};
  EXPECT_TRUE(StrList_Item(u, 1, small));
  EXPECT_STREQ(small, "a\xC3\xA9");
  char three[3];
  EXPECT_TRUE(StrList_Item(u, 1, three));
  EXPECT_STREQ(three, "a");
}

TEST_F(ResourcesTest, UnsupportedCallsAndMissingResourcesReport) {
  EXPECT_THROW(GetString(1), QuitCalled);
  EXPECT_THROW(Count1Resources(kSTR), QuitCalled);
  EXPECT_THROW(ResFile_AddFork("x"), QuitCalled);
  EXPECT_THROW(Res_Replace_Ptr(nullptr, 0, kSTR, 1, "", 0), QuitCalled);
  EXPECT_THROW(FindFolder(), QuitCalled);
  EXPECT_NO_THROW(TestResError());
  EXPECT_EQ(ResError(), 0);
  try {
    Res_NoLoad(FourCC("MBAR"), 128);
    FAIL() << "Res_NoLoad returned";
  } catch (const ResErrCalled& e) {
    EXPECT_EQ(e.kind, FourCC("MBAR"));
    EXPECT_EQ(e.id, 128);
  }
}

TEST(ToolboxShims, GestaltAndReverse) {
  int32 v = 77;
  EXPECT_EQ(Gestalt(1, &v), 0);
  EXPECT_EQ(v, 0);
  v = 77;
  EXPECT_EQ(Gestalt(FourCC("qtim"), &v), -1);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(REVERSE4(0x11223344u), 0x44332211u);
  EXPECT_EQ(REVERSE4(FourCC("qtim")), FourCC("mitq"));
}
