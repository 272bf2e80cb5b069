// Text output and measuring on the software GDI, with the font selected into
// the DC (HostFont.h).
//
// Strings come as UTF-16 (the W calls) or as UTF-8 (the A calls: the
// "ANSI" code page here); surrogate pairs and UTF-8 sequences of up to four
// bytes draw one glyph; invalid UTF-8 bytes draw U+FFFD.
//
// Drawing follows the DC's state: the text colour; the background mode
// (OPAQUE fills the text's cell, ascent to descent along its advance, in the
// background colour first); the text alignment (TA_LEFT / TA_CENTER /
// TA_RIGHT along the baseline, TA_TOP / TA_BASELINE / TA_BOTTOM across it,
// and TA_UPDATECP: the current position is the reference point and moves
// by the advance along the font's escapement, forward for TA_LEFT, back for
// TA_RIGHT, not at all for TA_CENTER); the window and viewport origins and
// the clip region. The ROP2 mode does not apply to text. Glyphs are
// antialiased on 16-, 24- and 32-bit surfaces (32-bit pixels touched get
// alpha 0, as every colour drawing does) and aliased on 1- and 8-bit ones.
// The advance of a glyph is whole pixels; a turned text steps by those
// along its escapement.
#pragma once

#include <cstddef>

#include "host/HostFont.h"
#include "host/HostGdi.h"
#include "platform/Types.h"

struct SIZE {
  int32 cx, cy;
};

// ExtTextOut options.
constexpr uint32 ETO_OPAQUE = 0x0002;
constexpr uint32 ETO_CLIPPED = 0x0004;
constexpr uint32 ETO_GLYPH_INDEX = 0x0010;

// GetGlyphIndices flag: a missing glyph gives 0xFFFF instead of 0.
constexpr uint32 GGI_MARK_NONEXISTING_GLYPHS = 0x0001;

// DrawText formats.
constexpr uint32 DT_TOP = 0x0000;
constexpr uint32 DT_LEFT = 0x0000;
constexpr uint32 DT_CENTER = 0x0001;
constexpr uint32 DT_RIGHT = 0x0002;
constexpr uint32 DT_VCENTER = 0x0004;
constexpr uint32 DT_BOTTOM = 0x0008;
constexpr uint32 DT_WORDBREAK = 0x0010;
constexpr uint32 DT_SINGLELINE = 0x0020;
constexpr uint32 DT_NOCLIP = 0x0100;
constexpr uint32 DT_CALCRECT = 0x0400;
constexpr uint32 DT_NOPREFIX = 0x0800;

// Selects a font into the DC (the same as SelectObject); returns the
// previous font.
HGDIOBJ Host_Select_Font(HDC dc, HFONT font);

bool TextOutW(HDC dc, int32 x, int32 y, const UniChar* str, int32 count);
bool TextOutA(HDC dc, int32 x, int32 y, const char* str, int32 count);
// ETO_OPAQUE fills rect (logical coordinates) with the background colour
// whatever the background mode; ETO_CLIPPED keeps the text inside rect;
// ETO_GLYPH_INDEX takes str as glyph indices. dx, when given, holds the
// advance of each unit (count entries) in place of the font's; each unit is
// then drawn on its own (no surrogate pairs).
bool ExtTextOutW(HDC dc, int32 x, int32 y, uint32 options, const RECT* rect, const UniChar* str,
                 int32 count, const int32* dx);

// Width of the text (sum of advances) and the font's cell height.
bool GetTextExtentPoint32W(HDC dc, const UniChar* str, int32 count, SIZE* out);
bool GetTextExtentPoint32A(HDC dc, const char* str, int32 count, SIZE* out);
bool GetTextMetricsW(HDC dc, HostTextMetric* out);
// One index per UTF-16 unit (a surrogate unit has none: missing).
// Returns the count written, or -1 (GDI_ERROR) on bad arguments.
int32 GetGlyphIndicesW(HDC dc, const UniChar* str, int32 count, uint16* out, uint32 flags);

// Word-wrapped text in a rectangle (DT_WORDBREAK: lines break at spaces,
// a word wider than the rectangle at the character; CR, LF and CR LF
// break lines unless DT_SINGLELINE). Draws from rect's top-left corner
// with the background mode of the DC and ignores the text alignment.
// DT_CALCRECT draws nothing and sets rect's bottom (and right, for a single
// line without DT_WORDBREAK) to what the text needs. Returns the height of
// the text; 0 on bad arguments.
int32 DrawTextW(HDC dc, const UniChar* str, int32 count, RECT* rect, uint32 format);
// The same for UTF-8 text (count in bytes; -1: up to the NUL).
int32 DrawTextA(HDC dc, const char* str, int32 count, RECT* rect, uint32 format);
