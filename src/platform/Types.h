// Basic types shared by every module: fixed-width integers, counted strings,
// rectangles and points in the toolbox layout, and the few toolbox shims that
// the portable code still calls (SysBreak, Debugger).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

using int8 = std::int8_t;
using int16 = std::int16_t;
using int32 = std::int32_t;
using int64 = std::int64_t;
using uint8 = std::uint8_t;
using uint16 = std::uint16_t;
using uint32 = std::uint32_t;
using uint64 = std::uint64_t;

using bool8 = bool;       // one byte in records; sizeof(bool) == 1 on every target we build
using Boolean = bool;
using OSErr = int16;      // 0 success, -1 failure, -255 end of data
using OSType = uint32;    // four-character code, first character in the high byte
using ResType = OSType;

static_assert(sizeof(bool) == 1, "records rely on one-byte booleans");

// Result codes of the file and stream routines.
constexpr OSErr noErr = 0;
constexpr OSErr errFailed = -1;
constexpr OSErr eofErr = -255;

// A fixed block of memory (its address); handles are movable blocks, see SysMem.h.
using Ptr = char*;

// Four-character code from a string literal: FourCC("STR#").
constexpr OSType FourCC(const char (&s)[5]) {
  return (OSType(uint8(s[0])) << 24) | (OSType(uint8(s[1])) << 16) | (OSType(uint8(s[2])) << 8) |
         OSType(uint8(s[3]));
}

// Counted 8-bit strings: the text ends at the first NUL or at the end of the
// array. Every string routine takes a span so it knows the last index (HIGH =
// size - 1) and never reads or writes past it. A string literal passed as a
// span includes its NUL, so its HIGH equals its length.
using Str255 = char[256];
using Str63 = char[64];
using Str31 = char[32];
using StrSpan = std::span<char>;
using CStrSpan = std::span<const char>;

// UTF-16 strings of the same kind.
using UniChar = char16_t;
using uStr255 = UniChar[256];
using uStr63 = UniChar[64];
using UStrSpan = std::span<UniChar>;
using CUStrSpan = std::span<const UniChar>;

// Point: vertical first.
struct Point {
  int16 v, h;
};
static_assert(sizeof(Point) == 4);

// Rectangle: top, left, bottom, right; bottom and right exclusive. Its
// corners are also seen as points: topLeft (top, left) and botRight
// (bottom, right), read and written through the accessors below (the fields
// keep their order, so a Rect is still two Points in a row).
struct Rect {
  int16 top, left, bottom, right;

  constexpr Point topLeft() const { return Point{top, left}; }
  constexpr Point botRight() const { return Point{bottom, right}; }
  constexpr void Set_TopLeft(Point p) {
    top = p.v;
    left = p.h;
  }
  constexpr void Set_BotRight(Point p) {
    bottom = p.v;
    right = p.h;
  }
};
static_assert(sizeof(Rect) == 8 && offsetof(Rect, top) == 0 && offsetof(Rect, left) == 2 &&
              offsetof(Rect, bottom) == 4 && offsetof(Rect, right) == 6);

// Rectangle and point of 32-bit reals (millimetres in layout geometry).
struct a_frect {
  float left, top, right, bottom;
};
static_assert(sizeof(a_frect) == 16);
struct a_fpoint {
  float x, y;
};
static_assert(sizeof(a_fpoint) == 8);

// A scale factor num / den (zoom factors, reductions, print scales).
struct a_ratio {
  int16 num, den;
};
static_assert(sizeof(a_ratio) == 4);

inline bool operator==(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}
inline bool operator==(const Point& a, const Point& b) { return a.v == b.v && a.h == b.h; }

// Toolbox shims that do nothing here.
inline void SysBreak() {}
inline void Debugger() {}
inline void SysBreakStr(CStrSpan) {}
