// UTF-8 and UTF-16: the program's one converter between the two. Every
// module that turns one into the other (window and menu texts, dialogs,
// fonts, the clipboard, scripts, the platform's string conversions) goes
// through these procedures, so a text reads the same wherever it is shown.
//
// Decoding UTF-8. Only the shortest form of a Unicode scalar value (up to
// U+10FFFF, surrogates excluded) is a character. Anything else gives
// U+FFFD, one for each maximal ill-formed part: a byte that cannot start a
// character, or a lead byte together with the continuation bytes that
// validly followed it, up to the byte that broke the sequence. Decoding goes
// on at that byte, so a broken sequence never swallows the character after
// it. So "\xE2\x82" "A" gives U+FFFD "A", the overlong "\xC0\xAF" gives two
// U+FFFD and the encoded surrogate "\xED\xA0\x80" gives three.
//
// A character cut off by the end of the input (a "cut tail") gives one
// U+FFFD in the conversions to strings below; the bounded conversion lets
// its caller drop it instead. No procedure reads past the end of its input.
//
// Encoding. A character beyond the BMP is a surrogate pair in UTF-16 and one
// 4-byte sequence in UTF-8. A lone surrogate has no UTF-8 form and gives
// U+FFFD. The bounded conversions write whole characters only: a character
// that does not fit is left out and the conversion ends there.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "platform/Types.h"

constexpr char32_t kHostReplacementChar = 0xFFFD;

constexpr bool Host_Is_High_Surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool Host_Is_Low_Surrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
constexpr bool Host_Is_Surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// --- One character -----------------------------------------------------------------------

enum class HostUtf8Kind : uint8 {
  kChar,  // a character: cp
  kBad,   // an ill-formed part: one U+FFFD
  kCut,   // a character cut off by the end of the input
};

struct HostUtf8Step {
  HostUtf8Kind kind;
  char32_t cp;      // the code point of kChar, U+FFFD otherwise
  std::size_t next; // where decoding goes on (the input's size after kCut)
};

// The character of s at i (i < s.size()).
constexpr HostUtf8Step Host_Utf8_Next(std::string_view s, std::size_t i) {
  const uint8 c1 = uint8(s[i]);
  if (c1 < 0x80) return {HostUtf8Kind::kChar, c1, i + 1};
  int need;
  char32_t cp;
  uint8 lo = 0x80, hi = 0xBF;  // the allowed range of the second byte
  if (c1 >= 0xC2 && c1 <= 0xDF) {
    need = 1;
    cp = c1 & 0x1Fu;
  } else if (c1 >= 0xE0 && c1 <= 0xEF) {
    need = 2;
    cp = c1 & 0x0Fu;
    if (c1 == 0xE0) lo = 0xA0;  // below: overlong
    if (c1 == 0xED) hi = 0x9F;  // above: a surrogate
  } else if (c1 >= 0xF0 && c1 <= 0xF4) {
    need = 3;
    cp = c1 & 0x07u;
    if (c1 == 0xF0) lo = 0x90;  // below: overlong
    if (c1 == 0xF4) hi = 0x8F;  // above: past U+10FFFF
  } else {
    // A continuation byte in lead position, an overlong lead (C0, C1) or a
    // byte that never occurs in UTF-8.
    return {HostUtf8Kind::kBad, kHostReplacementChar, i + 1};
  }
  for (int k = 1; k <= need; ++k) {
    const std::size_t j = i + std::size_t(k);
    if (j >= s.size()) return {HostUtf8Kind::kCut, kHostReplacementChar, s.size()};
    const uint8 b = uint8(s[j]);
    if (b < (k == 1 ? lo : 0x80) || b > (k == 1 ? hi : 0xBF)) return {HostUtf8Kind::kBad, kHostReplacementChar, j};
    cp = (cp << 6) | (b & 0x3Fu);
  }
  return {HostUtf8Kind::kChar, cp, i + std::size_t(need) + 1};
}

// The code point of s at i, moving i past it: a surrogate pair gives its
// character, a lone surrogate comes back as it is (callers decide what it
// stands for). i < s.size().
constexpr char32_t Host_Utf16_Next(std::u16string_view s, std::size_t& i) {
  const char32_t c = s[i++];
  if (Host_Is_High_Surrogate(c) && i < s.size() && Host_Is_Low_Surrogate(s[i]))
    return 0x10000 + ((c - 0xD800) << 10) + (char32_t(s[i++]) - 0xDC00);
  return c;
}

// The UTF-8 bytes of one code point (a surrogate or a value past U+10FFFF
// gives those of U+FFFD); returns their number, 1 to 4.
constexpr std::size_t Host_Utf8_Encode(char32_t cp, char (&out)[4]) {
  if (Host_Is_Surrogate(cp) || cp > 0x10FFFF) cp = kHostReplacementChar;
  if (cp < 0x80) {
    out[0] = char(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = char(0xC0 | (cp >> 6));
    out[1] = char(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = char(0xE0 | (cp >> 12));
    out[1] = char(0x80 | ((cp >> 6) & 0x3F));
    out[2] = char(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = char(0xF0 | (cp >> 18));
  out[1] = char(0x80 | ((cp >> 12) & 0x3F));
  out[2] = char(0x80 | ((cp >> 6) & 0x3F));
  out[3] = char(0x80 | (cp & 0x3F));
  return 4;
}

// The UTF-16 units of one code point (past U+10FFFF: U+FFFD; a surrogate
// value stays the one unit it is); returns their number, 1 or 2.
constexpr std::size_t Host_Utf16_Encode(char32_t cp, char16_t (&out)[2]) {
  if (cp > 0x10FFFF) cp = kHostReplacementChar;
  if (cp < 0x10000) {
    out[0] = char16_t(cp);
    return 1;
  }
  out[0] = char16_t(0xD800 + ((cp - 0x10000) >> 10));
  out[1] = char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
  return 2;
}

void Host_Utf8_Append(std::string& out, char32_t cp);
void Host_Utf16_Append(std::u16string& out, char32_t cp);

// --- Whole texts -------------------------------------------------------------------------

// Well-formed UTF-8 from end to end (a cut tail is not).
bool Host_Utf8_Valid(std::string_view s);

// All of s (NUL bytes included) to UTF-16; ill-formed parts and a cut tail
// give U+FFFD.
std::u16string Host_Utf8_To_Utf16(std::string_view s);
// The same for text that must be well-formed: FALSE (out empty) when s is not.
bool Host_Utf8_To_Utf16_Strict(std::string_view s, std::u16string& out);

// All of s (0 units included) to UTF-8.
std::string Host_Utf16_To_Utf8(std::u16string_view s);
// UTF-16 text ending at its first 0 unit or after max_units (NIL: "").
std::string Host_Utf16_To_Utf8(const UniChar* s, std::size_t max_units);

// Where UTF-8 text is cut to at most max bytes without splitting a
// character: max itself when s is no longer, else max stepped back over
// continuation bytes.
std::size_t Host_Utf8_Cut(std::string_view s, std::size_t max);

// --- Bounded conversions -----------------------------------------------------------------

struct HostUtf8Options {
  // FALSE: a cut tail is dropped rather than replaced.
  bool replace_cut_tail = true;
  // TRUE: a sequence broken by an ASCII byte ends the text there (the form
  // the platform's file-name conversion keeps).
  bool ascii_ends = false;
};

// Decodes in into out, at most out.size() units and never half a surrogate
// pair; no terminating 0 is written. Stops at the end of in, or before the
// first character that does not fit (then *full is TRUE). Returns the units
// written.
std::size_t Host_Utf8_To_Utf16_Into(std::string_view in, std::span<char16_t> out, const HostUtf8Options& opt = {},
                                    bool* full = nullptr);

// Encodes in into out, at most out.size() bytes and only whole characters;
// no NUL is written. Returns the bytes written.
std::size_t Host_Utf16_To_Utf8_Into(std::u16string_view in, std::span<char> out);
