// The UTF-8 / UTF-16 converter: decoding with one U+FFFD per broken part,
// encoding of pairs and lone surrogates, the bounded forms that never write
// half a character, cutting UTF-8 at a byte budget, and the texts of
// windows, menus and font names, which all go through it.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/HostBackend.h"
#include "host/HostFont.h"
#include "host/HostMenu.h"
#include "host/HostUtf.h"
#include "host/HostWin.h"

namespace {

using Bytes = std::string;

// The bytes in a heap block of exactly their size, so that the address
// sanitizer reports any read past the end.
struct Exact {
  explicit Exact(const Bytes& b) : p(std::make_unique<char[]>(b.size())), n(b.size()) {
    std::memcpy(p.get(), b.data(), n);
  }
  std::string_view View() const { return std::string_view(p.get(), n); }
  std::unique_ptr<char[]> p;
  size_t n;
};

struct DecodeCase {
  Bytes in;
  std::u16string out;
  bool valid;
  const char* what;
};

const DecodeCase kDecode[] = {
    {"Ab", u"Ab", true, "ASCII"},
    {"\xC3\xA9", u"\u00E9", true, "two bytes"},
    {"\xE0\xA0\x80", u"\u0800", true, "smallest three-byte"},
    {"\xEF\xBF\xBF", u"\uFFFF", true, "largest BMP"},
    {"\xF0\x9F\x98\x80", u"\U0001F600", true, "four bytes: a surrogate pair"},
    {"\xF4\x8F\xBF\xBF", u"\U0010FFFF", true, "largest code point"},
    {std::string("a\0b", 3), std::u16string(u"a\0b", 3), true, "NUL is a character"},
    {"\xE2\x82" "A", u"\uFFFD" "A", false, "broken by ASCII: the A stays"},
    {"\x80" "B", u"\uFFFD" "B", false, "stray continuation"},
    {"\xF5\x80", u"\uFFFD\uFFFD", false, "F5 never occurs"},
    {"\xC0\xAF", u"\uFFFD\uFFFD", false, "overlong slash"},
    {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD", false, "overlong three-byte"},
    {"\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD", false, "overlong four-byte"},
    {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", false, "encoded surrogate"},
    {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", false, "past U+10FFFF"},
    {"\xC3\xC3\xA9", u"\uFFFD\u00E9", false, "lead after lead"},
    {"a\xE2\x82", u"a\uFFFD", false, "cut tail: one U+FFFD"},
    {"\xF0\x9F\x98", u"\uFFFD", false, "cut four-byte"},
};

TEST(HostUtf, DecodesWithOneReplacementPerBrokenPart) {
  for (const DecodeCase& c : kDecode) {
    const Exact in(c.in);
    EXPECT_EQ(Host_Utf8_To_Utf16(in.View()), c.out) << c.what;
    EXPECT_EQ(Host_Utf8_Valid(in.View()), c.valid) << c.what;
    std::u16string strict = u"stale";
    EXPECT_EQ(Host_Utf8_To_Utf16_Strict(in.View(), strict), c.valid) << c.what;
    EXPECT_EQ(strict, c.valid ? c.out : u"") << c.what;
  }
}

TEST(HostUtf, EncodesPairsWholeAndLoneSurrogatesAsReplacement) {
  const struct {
    std::u16string in;
    Bytes out;
  } cases[] = {
      {u"\u00E9A", "\xC3\xA9" "A"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {std::u16string(1, char16_t(0xD800)) + u"a", "\xEF\xBF\xBD" "a"},
      {std::u16string(1, char16_t(0xDC00)) + u"a", "\xEF\xBF\xBD" "a"},
      {std::u16string{char16_t(0xDE00), char16_t(0xD83D)}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {std::u16string(1, char16_t(0xD83D)), "\xEF\xBF\xBD"},  // a high surrogate at the very end
  };
  for (const auto& c : cases) EXPECT_EQ(Host_Utf16_To_Utf8(c.in), c.out);
  // The form for 0-terminated arrays stops at the 0 or after max units.
  const UniChar arr[] = {u'a', u'b', 0, u'c'};
  EXPECT_EQ(Host_Utf16_To_Utf8(arr, 4), "ab");
  EXPECT_EQ(Host_Utf16_To_Utf8(arr, 1), "a");
  EXPECT_EQ(Host_Utf16_To_Utf8(nullptr, 4), "");
}

TEST(HostUtf, RoundTripOfScalarValues) {
  for (char32_t cp = 1; cp <= 0x10FFFF; cp += (cp < 0x3000 ? 1 : 89)) {
    if (Host_Is_Surrogate(cp)) continue;
    std::string b;
    Host_Utf8_Append(b, cp);
    const std::u16string u = Host_Utf8_To_Utf16(b);
    size_t i = 0;
    ASSERT_EQ(Host_Utf16_Next(u, i), cp);
    ASSERT_EQ(i, u.size());
    ASSERT_EQ(Host_Utf16_To_Utf8(u), b);
  }
}

TEST(HostUtf, BoundedDecodeNeverWritesHalfAPair) {
  std::array<char16_t, 3> out;
  out.fill(u'?');
  bool full = false;
  EXPECT_EQ(Host_Utf8_To_Utf16_Into("ab\xF0\x9F\x98\x80", out, {}, &full), 2u);
  EXPECT_TRUE(full);
  EXPECT_EQ(out[2], u'?');  // the place the pair did not fit is untouched
  EXPECT_EQ(Host_Utf8_To_Utf16_Into("a\xF0\x9F\x98\x80", out, {}, &full), 3u);
  EXPECT_FALSE(full);
  EXPECT_EQ(std::u16string(out.data(), 3), u"a\U0001F600");
  EXPECT_EQ(Host_Utf8_To_Utf16_Into("abc", std::span<char16_t>(), {}, &full), 0u);
  EXPECT_TRUE(full);

  // A cut tail is replaced or dropped; a sequence broken by ASCII ends the
  // text only in the file-name form.
  HostUtf8Options drop;
  drop.replace_cut_tail = false;
  const Exact cut("a\xE2\x82");
  EXPECT_EQ(Host_Utf8_To_Utf16_Into(cut.View(), out), 2u);
  EXPECT_EQ(out[1], u'\uFFFD');
  EXPECT_EQ(Host_Utf8_To_Utf16_Into(cut.View(), out, drop), 1u);
  HostUtf8Options ends;
  ends.ascii_ends = true;
  EXPECT_EQ(Host_Utf8_To_Utf16_Into("a\xC3" "b", out, ends), 1u);
  EXPECT_EQ(Host_Utf8_To_Utf16_Into("a\x80" "b", out, ends), 3u);  // no lead: replaced, goes on
  EXPECT_EQ(Host_Utf8_To_Utf16_Into("\xF5" "b", out, ends), 2u);
}

TEST(HostUtf, BoundedEncodeWritesWholeCharactersOnly) {
  std::array<char, 6> out;
  out.fill('?');
  EXPECT_EQ(Host_Utf16_To_Utf8_Into(u"\u00E9\u00E9\u00E9", std::span<char>(out).first(5)), 4u);
  EXPECT_EQ(out[4], '?');
  EXPECT_EQ(Host_Utf16_To_Utf8_Into(u"x\U0001F600", std::span<char>(out).first(4)), 1u);
  EXPECT_EQ(Host_Utf16_To_Utf8_Into(u"x\U0001F600", out), 5u);
  EXPECT_EQ(std::string(out.data(), 5), "x\xF0\x9F\x98\x80");
}

TEST(HostUtf, CutNeverSplitsACharacter) {
  const Bytes s = "a\xC3\xA9\xF0\x9F\x98\x80";  // 1 + 2 + 4 bytes
  const size_t want[] = {0, 1, 1, 3, 3, 3, 3, 7, 7};
  for (size_t max = 0; max < std::size(want); ++max) EXPECT_EQ(Host_Utf8_Cut(s, max), want[max]) << max;
}

// Every text the host takes as UTF-8 reads the same: window titles, menu
// items and font names go through the one converter (window titles took an
// overlong "/" for a slash, font names read continuation bytes unchecked).
class HostUtfTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Win_Reset();
    Host_Backend_Start_Headless(640, 480);
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "UTFTEXT";
    ASSERT_NE(RegisterClass(&wc), 0);
  }
  void TearDown() override {
    Host_Menu_Reset();
    Host_Win_Reset();
    Host_Backend_Stop();
  }
};

TEST_F(HostUtfTexts, WindowMenuAndFontNameAgree) {
  HWND w = CreateWindowEx(0, "UTFTEXT", u"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  HMENU m = CreatePopupMenu();
  for (const DecodeCase& c : kDecode) {
    if (c.in.find('\0') != std::string::npos) continue;  // these entry points stop at NUL
    const std::u16string want = Host_Utf8_To_Utf16(c.in);
    ASSERT_TRUE(SetWindowTextA(w, c.in.c_str()));
    char16_t title[64] = {};
    GetWindowTextW(w, title, 64);
    EXPECT_EQ(std::u16string(title), want) << "window title: " << c.what;
    EXPECT_EQ(Host_Window_Title_Utf8(w), Host_Utf16_To_Utf8(want)) << c.what;

    ASSERT_TRUE(ModifyMenuA(m, 0, MF_BYPOSITION | MF_STRING, 1, c.in.c_str()) ||
                AppendMenuA(m, MF_STRING, 1, c.in.c_str()));
    char16_t item[64] = {};
    GetMenuStringW(m, 0, item, 64, MF_BYPOSITION);
    EXPECT_EQ(std::u16string(item), want) << "menu item: " << c.what;

    UniChar face[kHostFaceNameUnits];
    Host_Utf8_To_Face_Name(c.in, face);
    EXPECT_EQ(std::u16string(face), want) << "face name: " << c.what;
  }
  DestroyMenu(m);
  DestroyWindow(w);
}

TEST_F(HostUtfTexts, FaceNameIsCutWithoutSplittingAPair) {
  UniChar face[kHostFaceNameUnits];
  const std::string name = std::string(kHostFaceNameUnits - 2, 'a') + "\xF0\x9F\x98\x80";
  Host_Utf8_To_Face_Name(name, face);
  EXPECT_EQ(std::u16string(face), std::u16string(kHostFaceNameUnits - 2, u'a'));
}

}  // namespace
