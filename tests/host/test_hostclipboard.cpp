// The in-process clipboard: open / empty / set / get, formats by number and
// by name, the two text formats standing in for each other, and what other
// programs see of it through the in-memory desktop: text, our own formats
// and bitmaps under their MIME types, read back from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/HostClipboard.h"
#include "host/HostCodecs.h"

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
  static std::vector<uint8> Bytes(const std::string& s) { return std::vector<uint8>(s.begin(), s.end()); }
  static std::vector<uint8> Published(const std::string& type) {
    std::vector<uint8> b;
    EXPECT_TRUE(Host_Clipboard_Published(type, b)) << type;
    return b;
  }
  static bool Offered(const std::string& type) {
    const std::vector<std::string> t = Host_Clipboard_Published_Types();
    return std::find(t.begin(), t.end(), type) != t.end();
  }
  // A bitmap of width x 1 pixels at 8 bits with a colour table of `colours`
  // entries (0: the full 256), pixel i of value i.
  static std::vector<uint8> Dib8(uint32 width, uint32 colours) {
    std::vector<uint8> b(40, 0);
    auto put32 = [&](size_t at, uint32 v) { std::memcpy(&b[at], &v, 4); };
    put32(0, 40);
    put32(4, width);
    put32(8, 1);
    b[12] = 1;
    b[14] = 8;
    put32(32, colours);
    for (uint32 i = 0; i < (colours ? colours : 256); ++i)
      for (uint8 c : {uint8(i), uint8(255 - i), uint8(i / 2), uint8(0)}) b.push_back(c);
    for (uint32 x = 0; x < (width + 3) / 4 * 4; ++x) b.push_back(uint8(x < width ? x : 0));
    return b;
  }
  static std::vector<uint8> Png(int32 w, int32 h, const std::vector<uint8>& bgra) {
    std::vector<uint8> out;
    EXPECT_EQ(Host_Encode_PNG(HostImageSource{bgra.data(), w, h, size_t(w) * 4, 72}, true, out), HC_OK);
    return out;
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
  Put(CF_UNICODETEXT, U16(u"caf\u00e9 \u20ac\r\nnext\rlast"));
  Put(0x3FF, {1, 2, 3});
  Host_Clipboard_Close();
  // Other programs get the text with their own line ends, as UTF-8 and as
  // Latin-1 (what Latin-1 lacks becomes '?').
  EXPECT_EQ(Host_Clipboard_Published_Text(), "caf\xC3\xA9 \xE2\x82\xAC\nnext\nlast");
  EXPECT_EQ(Published("text/plain;charset=utf-8"), Bytes("caf\xC3\xA9 \xE2\x82\xAC\nnext\nlast"));
  EXPECT_EQ(Published("STRING"), Bytes("caf\xE9 ?\nnext\nlast"));
  // A record with no type of its own stays in the program.
  EXPECT_FALSE(Offered("image/bmp"));
  EXPECT_EQ(Host_Clipboard_Published_Types().size(), 3u);
  // Nobody else copied: reopening keeps our own record.
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  EXPECT_EQ(Get(0x3FF), (std::vector<uint8>{1, 2, 3}));
  ASSERT_TRUE(Host_Clipboard_Empty());
  Host_Clipboard_Close();
  EXPECT_EQ(Host_Clipboard_Published_Text(), "");
  EXPECT_TRUE(Host_Clipboard_Published_Types().empty());
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

TEST_F(HostClipboard, AnotherProgramsLinesStayLines) {
  // Line feeds alone end the lines of other programs' text; here a line
  // ends with CR (LF), which the text engine takes.
  Host_Clipboard_Foreign_Text("one\ntwo\r\nthree\n");
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  EXPECT_EQ(Get(CF_UNICODETEXT), U16(u"one\r\ntwo\r\nthree\r\n"));
  Host_Clipboard_Close();
  // Latin-1 text is read when nothing better is offered; UTF-8 when it is.
  Host_Clipboard_Foreign_Set({{"STRING", {'f', 0xFC, 'r'}}});
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  EXPECT_EQ(Get(CF_UNICODETEXT), U16(u"f\u00fcr"));
  Host_Clipboard_Close();
  Host_Clipboard_Foreign_Set({{"STRING", Bytes("latin")}, {"UTF8_STRING", Bytes("utf8")}});
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  EXPECT_EQ(Get(CF_TEXT), U8("utf8"));
  Host_Clipboard_Close();
}

TEST_F(HostClipboard, OwnFormatsCrossUnderTheirTypes) {
  Host_Clipboard_Add_Type(0x300, "application/x-velmor4-test", 8);
  Host_Clipboard_Add_Type(0x300, "application/x-velmor4-test", 8);  // once is enough
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  Put(0x300, {0, 1, 0, 255});
  Put(0x301, {7});
  Host_Clipboard_Close();
  EXPECT_EQ(Host_Clipboard_Published_Types(), std::vector<std::string>{"application/x-velmor4-test"});
  EXPECT_EQ(Published("application/x-velmor4-test"), (std::vector<uint8>{0, 1, 0, 255}));
  // Another program's copy, its type spelt in other letters: read byte for
  // byte, once asked for.
  Host_Clipboard_Foreign_Set({{"Application/X-Velmor4-Test", {9, 0, 9}}, {"text/html", Bytes("<b>")}});
  EXPECT_TRUE(Host_Clipboard_Has(0x300));
  EXPECT_FALSE(Host_Clipboard_Has(0x301));
  EXPECT_FALSE(Host_Clipboard_Has(CF_TEXT));
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  EXPECT_EQ(Get(0x300), (std::vector<uint8>{9, 0, 9}));
  Host_Clipboard_Close();
  // More than the format takes: nothing, and it is offered no longer.
  Host_Clipboard_Foreign_Set({{"application/x-velmor4-test", std::vector<uint8>(9, 1)}});
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  EXPECT_TRUE(Host_Clipboard_Has(0x300));
  EXPECT_TRUE(Get(0x300).empty());
  EXPECT_FALSE(Host_Clipboard_Has(0x300));
  Host_Clipboard_Close();
}

TEST_F(HostClipboard, AddingToAnotherProgramsCopyKeepsIt) {
  Host_Clipboard_Add_Type(0x300, "application/x-velmor4-test");
  Host_Clipboard_Foreign_Set({{"UTF8_STRING", Bytes("theirs")}, {"application/x-velmor4-test", {4}}});
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  Put(0x301, {5});  // no emptying first
  Host_Clipboard_Close();
  EXPECT_EQ(Host_Clipboard_Published_Text(), "theirs");
  EXPECT_EQ(Published("application/x-velmor4-test"), std::vector<uint8>{4});
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  EXPECT_EQ(Get(0x301), std::vector<uint8>{5});
  Host_Clipboard_Close();
}

TEST_F(HostClipboard, BitmapsCrossAsBmpFiles) {
  // Ours: a file header in front, pointing past the colour table.
  const std::vector<uint8> dib = Dib8(3, 4);
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  Put(CF_DIB, dib);
  Host_Clipboard_Close();
  const std::vector<uint8> bmp = Published("image/bmp");
  ASSERT_EQ(bmp.size(), 14 + dib.size());
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  uint32 size = 0, offset = 0;
  std::memcpy(&size, &bmp[2], 4);
  std::memcpy(&offset, &bmp[10], 4);
  EXPECT_EQ(size, bmp.size());
  EXPECT_EQ(offset, 14u + 40 + 16);
  EXPECT_TRUE(std::equal(dib.begin(), dib.end(), bmp.begin() + 14));
  // Without a reader of bitmaps there is no PNG of it.
  Host_Clipboard_Set_Dib_Decoder(nullptr);
  EXPECT_FALSE(Offered("image/png"));

  // Theirs: the pixels where the file header says, which need not be right
  // after the colour table.
  std::vector<uint8> gap(bmp.begin(), bmp.begin() + 14 + 40 + 16);
  gap.insert(gap.end(), {0xEE, 0xEE});
  gap.insert(gap.end(), bmp.begin() + 14 + 40 + 16, bmp.end());
  offset += 2;
  std::memcpy(&gap[10], &offset, 4);
  Host_Clipboard_Foreign_Set({{"image/bmp", gap}});
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  EXPECT_EQ(Get(CF_DIB), dib);
  Host_Clipboard_Close();

  // Damaged files give no bitmap.
  auto damaged = [&](size_t at, uint32 v) {
    std::vector<uint8> b = bmp;
    std::memcpy(&b[at], &v, 4);
    return b;
  };
  const std::vector<std::vector<uint8>> bad = {
      {},
      std::vector<uint8>(bmp.begin(), bmp.begin() + 30),  // cut in the header
      damaged(10, 20),                                   // pixels inside the headers
      damaged(10, uint32(bmp.size() + 1)),               // pixels beyond the end
      damaged(14 + 32, 300),                             // 300 colours
      damaged(14, 64),                                   // an unknown header
      damaged(0, 0x4D42 ^ 0x0101),                       // not "BM"
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    Host_Clipboard_Foreign_Set({{"image/bmp", bad[i]}});
    ASSERT_TRUE(Host_Clipboard_Open(nullptr));
    EXPECT_TRUE(Get(CF_DIB).empty()) << i;
    Host_Clipboard_Close();
  }
}

TEST_F(HostClipboard, PngOfAnotherProgramBecomesABitmap) {
  // An opaque red pixel and a half-transparent blue one, which a pasted
  // bitmap shows over white.
  const std::vector<uint8> png = Png(2, 1, {0, 0, 255, 255, 255, 0, 0, 128});
  // PNG is taken before BMP.
  Host_Clipboard_Foreign_Set({{"image/bmp", Bytes("BM broken")}, {"image/png", png}});
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));
  const std::vector<uint8> dib = Get(CF_DIB);
  Host_Clipboard_Close();
  ASSERT_EQ(dib.size(), 40u + 8);
  int32 w = 0, h = 0;
  uint16 bits = 0;
  std::memcpy(&w, &dib[4], 4);
  std::memcpy(&h, &dib[8], 4);
  std::memcpy(&bits, &dib[14], 2);
  EXPECT_EQ(w, 2);
  EXPECT_EQ(h, -1);  // rows from the top
  EXPECT_EQ(bits, 32);
  EXPECT_EQ(std::vector<uint8>(dib.begin() + 40, dib.end()), (std::vector<uint8>{0, 0, 255, 0, 255, 127, 127, 0}));

  // Too wide a picture is refused by its header, and damaged data cleanly.
  std::vector<uint8> wide = Png(40000, 1, std::vector<uint8>(40000 * 4, 9));
  std::vector<uint8> cut = png;
  cut.resize(cut.size() - 20);
  for (const std::vector<uint8>& b : {wide, cut, Bytes("\x89PNG nothing")}) {
    Host_Clipboard_Foreign_Set({{"image/png", b}});
    ASSERT_TRUE(Host_Clipboard_Open(nullptr));
    EXPECT_TRUE(Host_Clipboard_Has(CF_DIB));
    EXPECT_TRUE(Get(CF_DIB).empty()) << b.size();
    Host_Clipboard_Close();
  }
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
