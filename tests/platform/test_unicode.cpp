#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/SysMem.h"
#include "platform/SysUnicode.h"
#include "platform/UString.h"

namespace {

using Bytes = std::vector<uint8>;
using Units = std::u16string;

// Units of a UTF-16 array up to its 0, checking the 0 lies inside the array.
Units UText(CUStrSpan s) {
  std::size_t n = 0;
  while (n < s.size() && s[n]) n++;
  EXPECT_LT(n, s.size()) << "no 0 unit inside the array";
  return Units(s.data(), n);
}

Bytes BText(CStrSpan s) {
  std::size_t n = 0;
  while (n < s.size() && s[n]) n++;
  EXPECT_LT(n, s.size()) << "no NUL inside the array";
  return Bytes(s.begin(), s.begin() + std::ptrdiff_t(n));
}

// The bytes in a heap block of exactly their size (no NUL after them), so
// ASan reports any read past the end.
std::unique_ptr<char[]> Exact(const Bytes& b) {
  auto p = std::make_unique<char[]>(b.size());
  std::memcpy(p.get(), b.data(), b.size());
  return p;
}

struct DecodeCase {
  Bytes in;
  Units out;
  const char* what;
};

TEST(Utf8Decode, Table) {
  const DecodeCase cases[] = {
      {{0x41, 0x62}, u"Ab", "ASCII"},
      {{0xC3, 0xA9}, u"\u00E9", "two bytes"},
      {{0xDF, 0xBF}, u"\u07FF", "largest two-byte"},
      {{0xE0, 0xA0, 0x80}, u"\u0800", "smallest three-byte"},
      {{0xE2, 0x82, 0xAC}, u"\u20AC", "three bytes"},
      {{0xEF, 0xBF, 0xBF}, u"\uFFFF", "largest BMP"},
      // Four bytes give a surrogate pair, not the low 16 bits of the code point.
      {{0xF0, 0x9F, 0x98, 0x80}, u"\U0001F600", "four bytes"},
      {{0xF0, 0x90, 0x80, 0x80}, u"\U00010000", "smallest four-byte"},
      {{0xF4, 0x8F, 0xBF, 0xBF}, u"\U0010FFFF", "largest code point"},
      // A lead byte followed by ASCII ends the text there.
      {{0xC3, 0x41}, u"", "broken by ASCII"},
      {{0x61, 0xE2, 0x82, 0x41}, u"a", "three-byte broken by ASCII"},
      // Stray continuation bytes and bytes that never start a character.
      {{0x41, 0x80, 0x42}, u"A\uFFFDB", "stray continuation"},
      {{0xBF, 0x41}, u"\uFFFDA", "stray continuation first"},
      {{0xF5, 0x41}, u"\uFFFDA", "F5 never occurs"},
      {{0xFF, 0xFE, 0x41}, u"\uFFFD\uFFFDA", "FF FE"},
      // Overlong forms.
      {{0xC0, 0xAF, 0x41}, u"\uFFFD\uFFFDA", "overlong slash"},
      {{0xC1, 0xBF}, u"\uFFFD\uFFFD", "overlong two-byte"},
      {{0xE0, 0x80, 0xAF}, u"\uFFFD\uFFFD\uFFFD", "overlong three-byte"},
      {{0xF0, 0x8F, 0xBF, 0xBF}, u"\uFFFD\uFFFD\uFFFD\uFFFD", "overlong four-byte"},
      // Encoded surrogates and code points past U+10FFFF.
      {{0xED, 0xA0, 0x80}, u"\uFFFD\uFFFD\uFFFD", "encoded surrogate"},
      {{0xF4, 0x90, 0x80, 0x80}, u"\uFFFD\uFFFD\uFFFD\uFFFD", "past U+10FFFF"},
      // A lead followed by another lead: the second starts afresh.
      {{0xC3, 0xC3, 0xA9}, u"\uFFFD\u00E9", "lead after lead"},
      {{0xE2, 0x82, 0xF0, 0x9F, 0x98, 0x80}, u"\uFFFD\U0001F600", "cut three-byte then emoji"},
      // Cut off by the end of the text: dropped.
      {{0x61, 0xE2, 0x82}, u"a", "truncated three-byte"},
      {{0xF0, 0x9F, 0x98}, u"", "truncated four-byte"},
      {{0xC3}, u"", "lone lead"},
      {{0x61, 0x00, 0x62}, u"a", "NUL ends"},
  };
  for (const DecodeCase& c : cases) {
    // Once NUL-terminated in a Str255, once as bare bytes of exact size.
    Str255 in{};
    std::memcpy(in, c.in.data(), c.in.size());
    uStr255 out;
    UTF8_To_UTF16(in, out);
    EXPECT_EQ(UText(out), c.out) << c.what;

    auto exact = Exact(c.in);
    uStr255 out2;
    UTF8_To_UTF16(CStrSpan(exact.get(), c.in.size()), out2);
    EXPECT_EQ(UText(out2), c.out) << c.what << " (no NUL)";
  }
}

TEST(Utf8Decode, OutputCapacity) {
  // At most HIGH - 1 units.
  std::array<UniChar, 5> out;
  out.fill(u'?');
  UTF8_To_UTF16("abcdef", out);
  EXPECT_EQ(UText(out), u"abc");
  // A surrogate pair that would not fit whole is left out.
  std::array<UniChar, 5> pair;
  UTF8_To_UTF16("ab\xF0\x9F\x98\x80", pair);
  EXPECT_EQ(UText(pair), u"ab");
  std::array<UniChar, 1> one;
  UTF8_To_UTF16("abc", one);
  EXPECT_EQ(one[0], 0);
  UTF8_To_UTF16("abc", UStrSpan());  // nothing to write into: no effect
  uStr255 fn;
  Filename_To_UTF16("caf\xC3\xA9.cd4", fn);
  EXPECT_EQ(UText(fn), u"caf\u00E9.cd4");
}

struct EncodeCase {
  Units in;
  Bytes out;
  const char* what;
};

TEST(Utf8Encode, Table) {
  const EncodeCase cases[] = {
      {u"\u00E9A", {0xC3, 0xA9, 0x41}, "two bytes then A"},
      {u"\u007F", {0x7F}, "one byte"},
      {u"\u0080", {0xC2, 0x80}, "smallest two-byte"},
      {u"\u07FF", {0xDF, 0xBF}, "largest two-byte"},
      {u"\u0800", {0xE0, 0xA0, 0x80}, "smallest three-byte"},
      {u"\u20AC", {0xE2, 0x82, 0xAC}, "euro"},
      {u"\uFFFF", {0xEF, 0xBF, 0xBF}, "largest BMP"},
      // A surrogate pair is one four-byte sequence, not two three-byte ones.
      {u"\U0001F600", {0xF0, 0x9F, 0x98, 0x80}, "emoji"},
      {u"\U0010FFFF", {0xF4, 0x8F, 0xBF, 0xBF}, "largest code point"},
      // Lone surrogates have no UTF-8 form.
      {Units(1, char16_t(0xD800)) + u"a", {0xEF, 0xBF, 0xBD, 0x61}, "lone high"},
      {Units(1, char16_t(0xDC00)) + u"a", {0xEF, 0xBF, 0xBD, 0x61}, "lone low"},
      {Units{char16_t(0xDE00), char16_t(0xD83D)}, {0xEF, 0xBF, 0xBD, 0xEF, 0xBF, 0xBD},
       "pair in the wrong order"},
  };
  for (const EncodeCase& c : cases) {
    uStr255 in{};
    std::memcpy(in, c.in.data(), c.in.size() * 2);
    Str255 out;
    UTF16_To_UTF8(in, out);
    EXPECT_EQ(BText(out), c.out) << c.what;
  }
  // A high surrogate at the very end of a span without 0.
  const UniChar tail[2] = {u'a', 0xD83D};
  Str255 out;
  UTF16_To_UTF8(tail, out);
  EXPECT_EQ(BText(out), (Bytes{0x61, 0xEF, 0xBF, 0xBD}));
}

TEST(Utf8Encode, NeverCutsACharacter) {
  // Room for HIGH - 1 = 3 bytes: the second e-acute (2 bytes) does not fit whole.
  std::array<char, 5> out;
  UTF16_To_UTF8(u"\u00E9\u00E9", out);
  EXPECT_EQ(BText(out), (Bytes{0xC3, 0xA9}));
  std::array<char, 6> out4;  // room for 4: the pair fits exactly
  UTF16_To_UTF8(u"\U0001F600x", out4);
  EXPECT_EQ(BText(out4), (Bytes{0xF0, 0x9F, 0x98, 0x80}));
  std::array<char, 5> out3;  // room for 3: the pair is left out whole
  UTF16_To_UTF8(u"\U0001F600", out3);
  EXPECT_EQ(BText(out3), Bytes{});
}

TEST(Utf8, RoundTripOfEveryScalarValue) {
  for (uint32 cp = 1; cp <= 0x10FFFF; cp += (cp < 0x3000 ? 1 : 97)) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    UniChar u[3] = {};
    if (cp > 0xFFFF) {
      u[0] = UniChar(0xD800 + ((cp - 0x10000) >> 10));
      u[1] = UniChar(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      u[0] = UniChar(cp);
    }
    Str255 bytes;
    UTF16_To_UTF8(u, bytes);
    uStr255 back;
    UTF8_To_UTF16(bytes, back);
    ASSERT_EQ(UText(back), Units(u)) << std::hex << cp;
  }
}

TEST(AnsiToUtf16, WholeOrNothing) {
  std::array<UniChar, 4> out;  // room for HIGH = 3 units
  Ascii_To_UTF16("abc", out);
  EXPECT_EQ(UText(out), u"abc");
  Ascii_To_UTF16("abcd", out);  // does not fit: empty
  EXPECT_EQ(UText(out), u"");
  JIS_To_UTF16("\xE2\x82\xAC", out);
  EXPECT_EQ(UText(out), u"\u20AC");
  // Broken sequences become U+FFFD and the text goes on.
  uStr255 big;
  Ascii_To_UTF16("\xC3" "A\x80z", big);
  EXPECT_EQ(UText(big), u"\uFFFDA\uFFFDz");
}

TEST(AnsiToUtf16, CutForms) {
  std::array<UniChar, 4> out;
  Roman_To_UTF16("abcdef", out);
  EXPECT_EQ(UText(out), u"abc");
  PString_To_Unicode("caf\xC3\xA9", out);
  EXPECT_EQ(UText(out), u"caf");
  Convert_To_Unicode("x\xC3\xA9", out, 12345);
  EXPECT_EQ(UText(out), u"x\u00E9");
  std::array<UniChar, 3> raw;
  EXPECT_EQ(UTF8_Decode("\xF0\x9F\x98\x80z", raw), 3);  // fills all of raw
  EXPECT_EQ(Units(raw.data(), 3), u"\U0001F600z");
}

TEST(FromUnicode, ConvertsBlockAndSkipsMark) {
  const Units text = u"\uFEFFh\u00E9\U0001F600";
  Ptr p = New_Ptr(uint32((text.size() + 1) * 2));
  std::memcpy(p, text.c_str(), (text.size() + 1) * 2);
  From_Unicode(p);
  ASSERT_NE(p, nullptr);
  const Bytes want = {0x68, 0xC3, 0xA9, 0xF0, 0x9F, 0x98, 0x80};
  EXPECT_EQ(Ptr_GetSize(p), want.size() + 1);
  EXPECT_EQ(Bytes(p, p + want.size()), want);
  EXPECT_EQ(p[want.size()], '\0');
  Dispose_Ptr(p);

  // A block without a 0 unit is read no further than its size.
  const Units noEnd = u"ab";
  Ptr q = New_Ptr(4);
  std::memcpy(q, noEnd.data(), 4);
  From_Unicode(q);
  EXPECT_STREQ(q, "ab");
  Dispose_Ptr(q);

  Ptr nil = nullptr;
  From_Unicode(nil);
  EXPECT_EQ(nil, nullptr);
}

TEST(UString, LengthCopyAppend) {
  const UniChar noEnd[3] = {u'a', u'b', u'c'};
  EXPECT_EQ(uStrLength(noEnd), 3);
  EXPECT_EQ(uStrLength(u"hello"), 5);

  std::array<UniChar, 4> d;
  uStrCopy(u"HELLO", d);
  EXPECT_EQ(UText(d), u"HEL");
  uAppend(u"x", d);  // full: unchanged
  EXPECT_EQ(UText(d), u"HEL");
  uStrCopy(u"H", d);
  uAppend(u"ijk", d);
  EXPECT_EQ(UText(d), u"Hij");

  // A destination without 0 below its HIGH is left as it is.
  std::array<UniChar, 3> full = {u'x', u'y', u'z'};
  uAppend(u"a", full);
  EXPECT_EQ(full[2], u'z');

  uStr255 s;
  uStrCopyAscii("caf\xC3\xA9", s);
  uAppendAscii(" \xE2\x82\xAC", s);
  EXPECT_EQ(UText(s), u"caf\u00E9 \u20AC");

  const UniChar be[3] = {0x4100, 0xE900, 0};  // "A", e-acute stored big-endian
  uStr255 swapped;
  uStrCopyMN(be, swapped);
  EXPECT_EQ(UText(swapped), u"A\u00E9");
}

TEST(UString, BeginsContainsCompare) {
  EXPECT_TRUE(uStrBegins(u"Playlist", "Play"));
  EXPECT_FALSE(uStrBegins(u"Pl", "Play"));
  EXPECT_TRUE(uStrBegins(u"\u00E9t\u00E9", "\xE9"));  // 8-bit pattern bytes as Latin-1 units
  EXPECT_TRUE(uStrContains(u"My Playlist", "list"));
  EXPECT_FALSE(uStrContains(u"My Playlist", "lists"));
  EXPECT_TRUE(uStrContains(u"abc", ""));
  // Units after the 0 are not part of the string.
  const UniChar stale[7] = {u'a', 0, u'x', u'y', u'z', 0, 0};
  EXPECT_FALSE(uStrContains(stale, "xyz"));

  EXPECT_EQ(uCompare(u"abc", u"abc"), 0);
  EXPECT_EQ(uCompare(u"ab", u"abc"), -1);
  EXPECT_EQ(uCompare(u"\uFFFF", u"\u00E9"), 1);  // unsigned units
  // Past a string's HIGH the units read as 0.
  const UniChar shortOne[2] = {u'a', u'b'};
  EXPECT_EQ(uCompare(shortOne, u"ab"), 0);
  EXPECT_EQ(uCompare(shortOne, u"abc"), -1);
}

TEST(UString, ExtractChecksLengths) {
  const uint8 data[] = {0x00, 0x02, 0x00, 0x41, 0x00, 0xE9, 0x00, 0x01, 0x00, 0x5A};
  CByteSpan base(data);
  uStr255 s;
  ASSERT_TRUE(uStrExtract(base, s));
  EXPECT_EQ(UText(s), u"A\u00E9");
  EXPECT_EQ(base.size(), 4u);
  ASSERT_TRUE(uStrExtract(base, s));
  EXPECT_EQ(UText(s), u"Z");
  EXPECT_TRUE(base.empty());
  EXPECT_FALSE(uStrExtract(base, s));

  // A count larger than the bytes: refused, base unchanged.
  const uint8 bad[] = {0xFF, 0xFF, 0x00, 0x41};
  CByteSpan b2(bad);
  s[0] = u'q';
  EXPECT_FALSE(uStrExtract(b2, s));
  EXPECT_EQ(b2.size(), 4u);
  EXPECT_EQ(s[0], 0);

  // More units than the destination holds: cut, but base moves past all.
  const uint8 many[] = {0x00, 0x03, 0x00, 0x61, 0x00, 0x62, 0x00, 0x63, 0x77};
  CByteSpan b3(many);
  std::array<UniChar, 3> small;
  ASSERT_TRUE(uStrExtract(b3, small));
  EXPECT_EQ(UText(small), u"ab");
  EXPECT_EQ(b3.size(), 1u);
}

}  // namespace
