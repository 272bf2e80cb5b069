// The in-process clipboard: open / empty / set / get, formats by number and
// by name, the two text formats standing in for each other, and text
// exchanged with other programs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/HostClipboard.h"

namespace {

class HostClipboard : public ::testing::Test {
 protected:
  void SetUp() override { Host_Clipboard_Reset(); }
  void TearDown() override { Host_Clipboard_Reset(); }

  static std::vector<uint8> Get(uint32 format) {
    const uint8* d = nullptr;
    uint32 n = 0;
    if (!Host_Clipboard_Get(format, d, n)) return {};
    return std::vector<uint8>(d, d + n);
  }
  static void Put(uint32 format, const std::vector<uint8>& b) {
    ASSERT_TRUE(Host_Clipboard_Set(format, b.data(), uint32(b.size())));
  }
  static std::vector<uint8> U16(const std::u16string& s) {
    std::vector<uint8> b((s.size() + 1) * 2, 0);
    std::memcpy(b.data(), s.data(), s.size() * 2);
    return b;
  }
  static std::vector<uint8> U8(const std::string& s) {
    std::vector<uint8> b(s.begin(), s.end());
    b.push_back(0);
    return b;
  }
};

TEST_F(HostClipboard, OneOwnerAtATimeAndNothingChangesWhileClosed) {
  const uint8 x[2] = {1, 2};
  EXPECT_FALSE(Host_Clipboard_Set(0x300, x, 2));
  EXPECT_FALSE(Host_Clipboard_Empty());
  EXPECT_FALSE(Host_Clipboard_Close());
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  EXPECT_FALSE(Host_Clipboard_Open(nullptr));
  EXPECT_TRUE(Host_Clipboard_Set(0x300, x, 2));
  EXPECT_FALSE(Host_Clipboard_Set(0, x, 2));
  EXPECT_TRUE(Host_Clipboard_Close());
  // Asking what is there needs no opening; reading does.
  EXPECT_TRUE(Host_Clipboard_Has(0x300));
  const uint8* d = x;
  uint32 n = 5;
  EXPECT_FALSE(Host_Clipboard_Get(0x300, d, n));
  EXPECT_EQ(d, nullptr);
  EXPECT_EQ(n, 0u);
}

TEST_F(HostClipboard, EveryFormatRoundTripsUntilEmptied) {
  const uint32 named = Host_Clipboard_Register_Format("Velmor Object");
  const std::vector<uint8> rec = {0, 1, 2, 0, 255};
  const std::vector<uint8> dib = {40, 0, 0, 0, 9, 9};
  const std::vector<uint8> text = U16(u"t\u00e9xt");
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  Put(0x301, rec);
  Put(named, {7});
  Put(CF_DIB, dib);
  Put(CF_UNICODETEXT, text);
  Put(0x302, {});
  EXPECT_EQ(Get(0x301), rec);
  EXPECT_EQ(Get(named), std::vector<uint8>{7});
  EXPECT_EQ(Get(CF_DIB), dib);
  EXPECT_EQ(Get(CF_UNICODETEXT), text);
  EXPECT_TRUE(Host_Clipboard_Has(0x302));  // an empty record is still a record
  Put(0x301, {5});                          // setting again replaces
  EXPECT_EQ(Get(0x301), std::vector<uint8>{5});
  EXPECT_FALSE(Host_Clipboard_Has(0x300));
  ASSERT_TRUE(Host_Clipboard_Empty());
  for (uint32 f : {0x301u, named, CF_DIB, CF_UNICODETEXT, CF_TEXT, 0x302u}) EXPECT_FALSE(Host_Clipboard_Has(f)) << f;
  Host_Clipboard_Close();
}

TEST_F(HostClipboard, RegisteredNamesKeepTheirNumbers) {
  const uint32 a = Host_Clipboard_Register_Format("A");
  const uint32 b = Host_Clipboard_Register_Format("B");
  EXPECT_GE(a, CF_REGISTERED_FIRST);
  EXPECT_GE(b, CF_REGISTERED_FIRST);
  EXPECT_NE(a, b);
  EXPECT_EQ(Host_Clipboard_Register_Format("A"), a);
  EXPECT_EQ(Host_Clipboard_Register_Format(""), 0u);
  EXPECT_EQ(Host_Clipboard_Register_Format(nullptr), 0u);
}

TEST_F(HostClipboard, EachTextFormatOffersTheOther) {
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  Put(CF_TEXT, U8("h\xC3\xA9 \xF0\x9F\x8E\xB5"));  // "hé " and U+1F3B5
  EXPECT_TRUE(Host_Clipboard_Has(CF_UNICODETEXT));
  EXPECT_EQ(Get(CF_UNICODETEXT), U16(u"h\u00e9 \U0001F3B5"));
  ASSERT_TRUE(Host_Clipboard_Empty());
  // A lone surrogate cannot go to UTF-8 as it is.
  Put(CF_UNICODETEXT, U16(std::u16string(u"a") + char16_t(0xD800) + u"b"));
  EXPECT_TRUE(Host_Clipboard_Has(CF_TEXT));
  EXPECT_EQ(Get(CF_TEXT), U8("a\xEF\xBF\xBD" "b"));
  // What was made from the old text is not kept once the text changes.
  Put(CF_UNICODETEXT, U16(u"new"));
  EXPECT_EQ(Get(CF_TEXT), U8("new"));
  // Both set by the program: each stays as it was given.
  Put(CF_TEXT, U8("eight"));
  EXPECT_EQ(Get(CF_UNICODETEXT), U16(u"new"));
  EXPECT_EQ(Get(CF_TEXT), U8("eight"));
  Host_Clipboard_Close();
}

TEST_F(HostClipboard, OurTextIsPublishedAndEmptyingWithdrawsIt) {
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  Put(CF_UNICODETEXT, U16(u"caf\u00e9"));
  Put(0x300, {1, 2, 3});
  EXPECT_EQ(Host_Clipboard_Published_Text(), "caf\xC3\xA9");
  Host_Clipboard_Close();
  // Nobody else copied: reopening keeps our own record.
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  EXPECT_EQ(Get(0x300), (std::vector<uint8>{1, 2, 3}));
  ASSERT_TRUE(Host_Clipboard_Empty());
  EXPECT_EQ(Host_Clipboard_Published_Text(), "");
  Host_Clipboard_Close();
}

TEST_F(HostClipboard, AnotherProgramsTextReplacesOurFormats) {
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  Put(0x301, {9});
  Put(CF_DIB, {40});
  Host_Clipboard_Close();
  Host_Clipboard_Foreign_Text("x\xFFy\xE2\x82");  // a stray byte and a cut-off character
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  EXPECT_FALSE(Host_Clipboard_Has(0x301));
  EXPECT_FALSE(Host_Clipboard_Has(CF_DIB));
  EXPECT_EQ(Get(CF_UNICODETEXT), U16(u"x\uFFFDy\uFFFD"));
  EXPECT_EQ(Get(CF_TEXT), U8("x\xFFy\xE2\x82"));
  Host_Clipboard_Close();
  // Another program emptying its clipboard leaves nothing behind either.
  Host_Clipboard_Foreign_Text("");
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  EXPECT_FALSE(Host_Clipboard_Has(CF_UNICODETEXT));
  Host_Clipboard_Close();
}

TEST_F(HostClipboard, HugeForeignTextIsCutAtACharacter) {
  // Three-byte characters, so the cut falls inside one.
  std::string big;
  for (uint32 i = 0; i < kMaxForeignText / 3 + 10; ++i) big += "\xE2\x82\xAC";
  Host_Clipboard_Foreign_Text(big);
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  const std::vector<uint8> t = Get(CF_TEXT);
  const size_t len = t.size() - 1;
  EXPECT_LE(len, kMaxForeignText);
  EXPECT_EQ(len % 3, 0u);
  EXPECT_GT(len, kMaxForeignText - 3);
  EXPECT_EQ(Get(CF_UNICODETEXT).size(), (len / 3 + 1) * 2);
  Host_Clipboard_Close();
}

}  // namespace
