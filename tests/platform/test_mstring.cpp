#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <string>

#include "TestSupport.h"
#include "platform/Convert.h"
#include "platform/MString.h"
#include "platform/StrFix.h"

namespace {

// Text of a counted string, and a check that its NUL lies inside the array.
template <std::size_t N>
std::string Text(const std::array<char, N>& a) {
  std::size_t n = 0;
  while (n < N && a[n]) n++;
  EXPECT_LT(n, N) << "no NUL inside the array";
  return std::string(a.data(), n);
}

// An array with a guard byte after it: routines must never touch the guard.
template <std::size_t N>
struct Guarded {
  std::array<char, N> s;
  char guard = '#';
  Guarded() { s.fill('?'); }
  StrSpan span() { return s; }
};

TEST(MString, LengthStopsAtNulOrEnd) {
  char full[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(mStrLength(full), 4);
  EXPECT_EQ(mStrLength("hello"), 5);
  Str255 s = "";
  EXPECT_EQ(mStrLength(s), 0);
  EXPECT_EQ(mStrLength(CStrSpan()), 0);
}

TEST(MString, CopyCutsToDestination) {
  Guarded<4> d;
  mStrCopy("HELLO", d.span());
  EXPECT_EQ(Text(d.s), "HEL");
  EXPECT_EQ(d.guard, '#');
  // A source without NUL stops at its end.
  const char src[3] = {'x', 'y', 'z'};
  Str255 big;
  mStrCopy(src, big);
  EXPECT_STREQ(big, "xyz");
  // Copy onto itself.
  mStrCopy(big, big);
  EXPECT_STREQ(big, "xyz");
}

// A name is stored whole or not at all: a cut-off name would be another one.
TEST(MString, AssignIsWholeOrEmpty) {
  char buf[6];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_TRUE(mStrAssign(buf, "abcde"));  // five characters and the NUL fill it
  EXPECT_STREQ(buf, "abcde");
  EXPECT_FALSE(mStrAssign(buf, "abcdef"));
  EXPECT_EQ(buf[0], '\0');
  EXPECT_EQ(buf[1], 'b');  // nothing else is touched
  EXPECT_TRUE(mStrAssign(buf, ""));
  EXPECT_EQ(buf[0], '\0');
  EXPECT_FALSE(mStrAssign(StrSpan(), "a"));
}

TEST(MString, AppendAndPrepend) {
  Guarded<8> d;
  mStrCopy("abc", d.span());
  mAppend("defgh", d.span());
  EXPECT_EQ(Text(d.s), "abcdefg");
  mAppend("x", d.span());  // full: unchanged, still terminated
  EXPECT_EQ(Text(d.s), "abcdefg");
  EXPECT_EQ(d.guard, '#');

  // A destination with no NUL at all gets one in its last place.
  Guarded<4> nul;
  mAppend("z", nul.span());
  EXPECT_EQ(nul.s[3], '\0');

  Guarded<8> p;
  mStrCopy("world", p.span());
  mPrepend("hi ", p.span());
  EXPECT_EQ(Text(p.s), "hi worl");
  EXPECT_EQ(p.guard, '#');
  Str255 self = "ab";
  mPrepend(self, self);
  EXPECT_STREQ(self, "abab");
}

TEST(MString, IntToStr) {
  struct Case {
    int32 num;
    int16 len;
    const char* text;
  };
  const Case cases[] = {
      {-5, 4, "  -5"},        {1234567, 2, "1234567"}, {0, 0, "0"},
      {0, 3, "  0"},          {42, -3, "42"},          {INT32_MAX, 1, "2147483647"},
      {INT32_MIN, 1, "-2147483648"}, {-1, 12, "          -1"},
  };
  for (const Case& c : cases) {
    Str255 s;
    mIntToStr(c.num, s, c.len);
    EXPECT_STREQ(s, c.text) << c.num << " width " << c.len;
  }
}

TEST(MString, IntToStrNeverOverrunsSmallDestinations) {
  Guarded<4> d;
  mIntToStr(12345, d.span(), 1);  // digits do not fit: overflow mark
  EXPECT_EQ(Text(d.s), "***");
  EXPECT_EQ(d.guard, '#');
  Guarded<6> w;
  mIntToStr(7, w.span(), 200);  // padding cut to the array
  EXPECT_EQ(Text(w.s), "    7");
  EXPECT_EQ(w.guard, '#');
}

TEST(MString, AppendInt) {
  Str255 s = "n=";
  mAppendInt(-12, s);
  EXPECT_STREQ(s, "n=-12");
  mAppendIntPadded(3, s, 4);
  EXPECT_STREQ(s, "n=-12   3");
}

TEST(MString, StrToInt) {
  struct Case {
    const char* text;
    int16 value;
    bool done;
  };
  const Case cases[] = {
      {"-123", -123, true}, {"12a", 12, false},   {"32767", 3276, false},
      {"32759", 32759, true}, {"32760", 3276, false}, {"-32759", -32759, true},
      {"", 0, true},         {"+7", 7, true},     {"-", 0, true},
      {"1-2", 1, false},     {" 1", 0, false},    {"00012", 12, true},
      {"++1", 0, false},
  };
  for (const Case& c : cases) {
    int16 v = -999;
    bool8 done = !c.done;
    mStrToInt(std::span<const char>(c.text, std::strlen(c.text) + 1), v, done);
    EXPECT_EQ(v, c.value) << c.text;
    EXPECT_EQ(done, c.done) << c.text;
  }
}

TEST(MString, StrToLongFullRangeAndOverflow) {
  struct Case {
    const char* text;
    int32 value;
    bool done;
  };
  const Case cases[] = {
      {"2147483647", INT32_MAX, true},
      {"-2147483648", INT32_MIN, true},
      {"+100000", 100000, true},
      // One past the range stops before the last digit instead of wrapping.
      {"2147483648", 214748364, false},
      {"-2147483649", -214748364, false},
      {"99999999999", 999999999, false},
      {"12x", 12, false},
      {"", 0, true},
  };
  for (const Case& c : cases) {
    int32 v = -999;
    bool8 done = !c.done;
    mStrToLong(std::span<const char>(c.text, std::strlen(c.text) + 1), v, done);
    EXPECT_EQ(v, c.value) << c.text;
    EXPECT_EQ(done, c.done) << c.text;
  }
}

TEST(MString, BeginsAndFind) {
  EXPECT_TRUE(mStrBegins("hello", "he"));
  EXPECT_TRUE(mStrBegins("hello", ""));
  EXPECT_FALSE(mStrBegins("he", "hello"));
  EXPECT_FALSE(mStrBegins("hello", "hex"));
  EXPECT_TRUE(mStrFind("hello", "llo"));
  EXPECT_TRUE(mStrFind("hello", "hello"));
  EXPECT_FALSE(mStrFind("hello", ""));
  EXPECT_FALSE(mStrFind("hell", "hello"));
  EXPECT_FALSE(mStrFind("hello", "lol"));
  // Text after the NUL is not part of the name.
  const char stale[8] = {'a', 'b', '\0', 'x', 'y', 'z', '\0', '\0'};
  EXPECT_FALSE(mStrFind(stale, "xyz"));
}

TEST(MString, Compare) {
  EXPECT_EQ(mCompare("abc", "abc"), 0);
  EXPECT_EQ(mCompare("abc", "abd"), -1);
  EXPECT_EQ(mCompare("abd", "abc"), 1);
  EXPECT_EQ(mCompare("ab", "abc"), -1);
  EXPECT_EQ(mCompare("abc", "ab"), 1);
  EXPECT_EQ(mCompare("\xE9", "z"), 1);  // unsigned bytes: 0xE9 sorts after z
  // A position past a string's HIGH reads as NUL.
  const char noNul[3] = {'a', 'b', 'c'};
  EXPECT_EQ(mCompare(noNul, "abc"), 0);

  EXPECT_TRUE(mCompare_Equal("abc", "ABC", true));
  EXPECT_FALSE(mCompare_Equal("abc", "ABC", false));
  EXPECT_FALSE(mCompare_Equal("abc", "abcd", true));
  EXPECT_FALSE(mCompare_Equal("\xE9", "\xC9", true));  // only a to z fold
  EXPECT_FALSE(mCompare_Equal("[", "{", true));

  EXPECT_TRUE(mCompare_NoBlanks("A B", "AB"));
  EXPECT_TRUE(mCompare_NoBlanks("  ", ""));
  EXPECT_TRUE(mCompare_NoBlanks(" a b ", "ab  "));
  EXPECT_FALSE(mCompare_NoBlanks("A B", "ABC"));
  EXPECT_FALSE(mCompare_NoBlanks("A\tB", "AB"));  // only code 32 is a blank
}

TEST(MString, CharAccessStaysInside) {
  Guarded<4> d;
  mStrCopy("abc", d.span());
  mSetChar(d.span(), 1, 'X');
  mSetChar(d.span(), 4, 'Y');
  mSetChar(d.span(), -1, 'Y');
  EXPECT_EQ(Text(d.s), "aXc");
  EXPECT_EQ(mGetChar(d.s, 2), 'c');
  EXPECT_EQ(mGetChar(d.s, 9), '\0');
  mSetLength(d.span(), 1);
  EXPECT_EQ(Text(d.s), "a");
  mSetLength(d.span(), 100);
  EXPECT_EQ(d.s[3], '\0');
  EXPECT_EQ(d.guard, '#');
}

TEST(Convert, Word32ToStr) {
  struct Case {
    uint32 val;
    int16 base, width;
    const char* text;
  };
  const Case cases[] = {
      {255, 16, 4, "00FF"},   {74565, 16, 4, "2345"},   {5, 2, 8, "00000101"},
      {0, 10, 0, "0"},        {0xFFFFFFFFu, 16, 8, "FFFFFFFF"},
      {0xFFFFFFFFu, 2, 32, "11111111111111111111111111111111"},
      {35, 36, 2, "*****"},   {1, 17, 2, "*****"},      {1, 1, 2, "*****"},
      {123, 10, 200, "00123"},  // width cut to HIGH (5) of the small array
  };
  for (const Case& c : cases) {
    std::array<char, 6> small{};
    std::array<char, 64> big{};
    if (std::strlen(c.text) < small.size()) {
      Word32ToStr(c.val, small, c.base, c.width);
      EXPECT_EQ(Text(small), c.text) << c.val << " base " << c.base;
    } else {
      Word32ToStr(c.val, big, c.base, c.width);
      EXPECT_EQ(Text(big), c.text) << c.val << " base " << c.base;
    }
  }
}

TEST(Convert, DecimalWithWidthAndOverflow) {
  struct Case {
    bool isSigned;
    int64 val;
    int16 width;
    const char* text;
  };
  const Case cases[] = {
      {true, -42, 6, "   -42"},
      {true, INT32_MIN, 0, "-2147483648"},
      {true, 0, 0, "0"},
      {false, 0, 3, "  0"},
      {false, 4294967295u, 1, "4294967295"},
      {true, 7, 300, "          7"},  // width cut to HIGH (11)
  };
  for (const Case& c : cases) {
    std::array<char, 12> s{};
    if (c.isSigned)
      Int32ToStr(int32(c.val), s, c.width);
    else
      Card32ToStr(uint32(c.val), s, c.width);
    EXPECT_EQ(Text(s), c.text) << c.val;
  }
  // A result longer than the destination gives only asterisks.
  Guarded<4> d;
  Int32ToStr(-42, d.span(), 1);
  EXPECT_EQ(Text(d.s), "-42");
  Int32ToStr(-420, d.span(), 1);
  EXPECT_EQ(Text(d.s), "***");
  Card32ToStr(1000, d.span(), 0);
  EXPECT_EQ(Text(d.s), "***");
  EXPECT_EQ(d.guard, '#');
}

TEST(Convert, RealToStrAndBack) {
  struct Case {
    float val;
    int16 decimal;
    const char* text;
  };
  const Case cases[] = {
      {1.5f, 2, "1.50"}, {-0.25f, 1, "-0.2"}, {2.5f, 0, "2"},  // round half to even, as printf
      {3.14159f, 3, "3.142"}, {0.0f, 0, "0"}, {1e20f, 0, "100000002004087734272"},
  };
  for (const Case& c : cases) {
    Str255 s;
    RealToStr(c.val, s, 0, c.decimal);
    EXPECT_STREQ(s, c.text) << c.val;
  }
  Guarded<4> d;
  RealToStr(123.5f, d.span(), 0, 2);
  EXPECT_EQ(Text(d.s), "***");
  RealToStr(std::numeric_limits<float>::infinity(), d.span(), 0, 2);
  EXPECT_EQ(Text(d.s), "***");
  EXPECT_EQ(d.guard, '#');
}

TEST(Convert, StrToReal) {
  struct Case {
    const char* text;
    float value;
    bool ok;
  };
  const Case cases[] = {
      {"1.5", 1.5f, true}, {"-0.25", -0.25f, true}, {"1.2.3", 1.2f, false},
      {"+1", 0.0f, false}, {"", 0.0f, true},        {"12", 12.0f, true},
      {".5", 0.5f, true},  {"3x", 3.0f, false},
  };
  for (const Case& c : cases) {
    float v = -1;
    bool8 ok = !c.ok;
    StrToReal(std::span<const char>(c.text, std::strlen(c.text) + 1), v, ok);
    EXPECT_FLOAT_EQ(v, c.value) << c.text;
    EXPECT_EQ(ok, c.ok) << c.text;
  }
}

TEST(StrFix, RoundTrip) {
  Str255 s = "hello";
  C2Pascal(s);
  EXPECT_EQ(uint8(s[0]), 5);
  EXPECT_EQ(std::memcmp(s + 1, "hello", 5), 0);
  Pascal2C(s);
  EXPECT_STREQ(s, "hello");

  Str255 e = "";
  C2Pascal(e);
  EXPECT_EQ(e[0], 0);
  Pascal2C(e);
  EXPECT_STREQ(e, "");
}

TEST(StrFix, NeverOverrunsOrWraps) {
  // A full array without NUL: the last character is given up for the length.
  Guarded<4> d;
  std::memcpy(d.s.data(), "abcd", 4);
  C2Pascal(d.span());
  EXPECT_EQ(uint8(d.s[0]), 3);
  EXPECT_EQ(std::memcmp(d.s.data() + 1, "abc", 3), 0);
  EXPECT_EQ(d.guard, '#');
  // A length byte larger than the array is cut to it.
  Guarded<4> p;
  p.s = {char(200), 'x', 'y', 'z'};
  Pascal2C(p.span());
  EXPECT_EQ(Text(p.s), "xyz");
  EXPECT_EQ(p.guard, '#');
  // 300 characters do not wrap to a length of 44: they are cut to 255.
  std::array<char, 400> big;
  big.fill('k');
  big[300] = '\0';
  C2Pascal(big);
  EXPECT_EQ(uint8(big[0]), 255);
  Pascal2C(big);
  EXPECT_EQ(Text(big), std::string(255, 'k'));
}

}  // namespace
