// The host layer's fonts: the installed font families (from fontconfig) and
// logical fonts whose glyphs FreeType renders.
//
// Families. Every scalable outline face fontconfig knows is grouped under each
// of its English family names, so "DejaVu Sans Condensed" is a family of its
// own beside "DejaVu Sans". A family is reported once, with a character set
// and a pitch-and-family byte in GDI's terms, derived from what the faces
// cover:
//   SYMBOL_CHARSET    the face maps at least 32 codes of U+F020..U+F0FF (the
//                     private-use block symbol fonts put their glyphs in);
//   SHIFTJIS_CHARSET, HANGUL_CHARSET, GB2312_CHARSET, CHINESEBIG5_CHARSET
//                     the face covers Japanese, Korean, simplified or
//                     traditional Chinese (checked in that order);
//   ANSI_CHARSET      the face covers the Latin letters A-Z and a-z;
//   otherwise the script it covers (Hebrew, Arabic, Greek, Cyrillic, Thai)
//   or DEFAULT_CHARSET.
// Families are enumerated in UTF-16 code order of their names.
//
// Logical fonts. A HostLogFont names a family and asks for a height (negative:
// the character height, the em, in pixels; positive: the cell height, ascent
// plus descent; 0: 12 pixels of em), an escapement (tenths of a degree,
// counter-clockwise), a weight and italics. A family name that is not
// installed, or empty, is resolved through fontconfig's matching to the
// closest installed family (so "Arial" finds a sans-serif family). Within the
// family the face nearest in slant, weight and width is taken; bold (weight
// 600 and more) and italics the family lacks are synthesised (the outline
// emboldened, or sheared by 12 degrees).
//
// Symbol fonts whose character map is of the symbol kind keep their glyphs
// at U+F020..U+F0FF; characters 0x20..0xFF asked of such a font are looked up
// there too, so both the plain and the U+F000-offset codes reach the glyph.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/HostGdi.h"
#include "host/HostUtf.h"
#include "platform/Types.h"

// Character sets.
constexpr uint8 ANSI_CHARSET = 0;
constexpr uint8 DEFAULT_CHARSET = 1;
constexpr uint8 SYMBOL_CHARSET = 2;
constexpr uint8 SHIFTJIS_CHARSET = 128;
constexpr uint8 HANGUL_CHARSET = 129;
constexpr uint8 GB2312_CHARSET = 134;
constexpr uint8 CHINESEBIG5_CHARSET = 136;
constexpr uint8 GREEK_CHARSET = 161;
constexpr uint8 TURKISH_CHARSET = 162;
constexpr uint8 HEBREW_CHARSET = 177;
constexpr uint8 ARABIC_CHARSET = 178;
constexpr uint8 BALTIC_CHARSET = 186;
constexpr uint8 RUSSIAN_CHARSET = 204;
constexpr uint8 THAI_CHARSET = 222;
constexpr uint8 EASTEUROPE_CHARSET = 238;
constexpr uint8 OEM_CHARSET = 255;

// Pitch (low bits) and family (high nibble).
constexpr uint8 DEFAULT_PITCH = 0;
constexpr uint8 FIXED_PITCH = 1;
constexpr uint8 VARIABLE_PITCH = 2;
constexpr uint8 FF_DONTCARE = 0x00;
constexpr uint8 FF_ROMAN = 0x10;
constexpr uint8 FF_SWISS = 0x20;
constexpr uint8 FF_MODERN = 0x30;
constexpr uint8 FF_SCRIPT = 0x40;
constexpr uint8 FF_DECORATIVE = 0x50;

constexpr int32 FW_DONTCARE = 0;
constexpr int32 FW_NORMAL = 400;
constexpr int32 FW_SEMIBOLD = 600;
constexpr int32 FW_BOLD = 700;

constexpr uint8 OUT_DEFAULT_PRECIS = 0;
constexpr uint8 CLIP_DEFAULT_PRECIS = 0;
constexpr uint8 DEFAULT_QUALITY = 0;

constexpr uint32 TRUETYPE_FONTTYPE = 4;

// Face names hold up to 127 UTF-16 units and a terminating 0.
constexpr int32 kHostFaceNameUnits = 128;

// A logical font: what CreateFontIndirectW takes.
struct HostLogFont {
  int32 lfHeight = 0;
  int32 lfWidth = 0;        // not used: glyphs keep their own proportions
  int32 lfEscapement = 0;   // tenths of a degree, counter-clockwise
  int32 lfOrientation = 0;  // not used: glyphs turn with the escapement
  int32 lfWeight = FW_NORMAL;
  uint8 lfItalic = 0;
  uint8 lfUnderline = 0;  // not drawn
  uint8 lfStrikeOut = 0;  // not drawn
  uint8 lfCharSet = DEFAULT_CHARSET;
  uint8 lfOutPrecision = OUT_DEFAULT_PRECIS;
  uint8 lfClipPrecision = CLIP_DEFAULT_PRECIS;
  uint8 lfQuality = DEFAULT_QUALITY;
  uint8 lfPitchAndFamily = DEFAULT_PITCH;
  UniChar lfFaceName[kHostFaceNameUnits]{};  // 0-terminated
};

// Metrics of a font, in pixels.
struct HostTextMetric {
  int32 tmHeight = 0;  // ascent + descent
  int32 tmAscent = 0;
  int32 tmDescent = 0;
  int32 tmInternalLeading = 0;  // height - em
  int32 tmExternalLeading = 0;
  int32 tmAveCharWidth = 0;
  int32 tmMaxCharWidth = 0;
  int32 tmWeight = 0;
  uint8 tmItalic = 0;
  uint8 tmPitchAndFamily = 0;
  uint8 tmCharSet = 0;
};

// --- Families ------------------------------------------------------------------------

// Called once per family with its name, character set and pitch-and-family
// in `lf` (height 0, weight FW_NORMAL) and the same in `tm`; a result of 0
// stops the enumeration.
using HostFontEnumProc = int32 (*)(const HostLogFont* lf, const HostTextMetric* tm,
                                   uint32 font_type, intptr_t parm);
// Enumerates every family (family NIL or empty) or the one of that name.
// Returns the last result of proc (1 when proc was never called). The DC
// is not used: every surface sees the same fonts.
int32 EnumFontFamiliesW(HDC dc, const UniChar* family, HostFontEnumProc proc, intptr_t parm);

// The installed family fontconfig deems closest to `name` (its default
// sans-serif for an empty name), in `out`. FALSE when no font is installed.
bool Host_Match_Family(const UniChar* name, UniChar (&out)[kHostFaceNameUnits]);

// Number of families (0 when no font is installed).
int32 Host_Font_Family_Count();

// Forgets the families and the faces no font holds and makes fontconfig read its
// configuration again (FONTCONFIG_FILE included). Fonts made before stay
// usable.
void Host_Fonts_Reset();

// --- Logical fonts ------------------------------------------------------------------

struct HostFontInstance;  // the sized face a font draws with (HostFont.cpp)

// The record behind a font handle. Font handles are drawing-object handles
// (HostGdi.h): a deleted font's handle is refused by every call.
struct HostFont : HostGdiObject {
  HostLogFont lf;
  HostFontInstance* inst = nullptr;  // NIL when no font is installed
  HostFont() : HostGdiObject(OBJ_FONT) {}
  ~HostFont() override;
};
struct HostFontHandle;  // never defined
using HFONT = HostFontHandle*;

// A new font (NIL for a NIL record or no memory); delete with DeleteObject.
HFONT CreateFontIndirectW(const HostLogFont* lf);
// The record a font was made from; FALSE for something that is not a font.
bool Host_GetLogFont(HGDIOBJ font, HostLogFont* out);

// What a font resolved to, for diagnostics and tests.
struct HostFontFaceInfo {
  std::string family;  // UTF-8
  std::string file;
  int32 face_index = 0;
  int32 em = 0;  // pixels
  bool synth_bold = false;
  bool synth_italic = false;
  bool symbol_map = false;  // the face's character map is of the symbol kind
};
bool Host_Font_Describe(HGDIOBJ font, HostFontFaceInfo* out);

// The font a DC draws with: the one selected, or the default font (the
// closest match to a 12-pixel sans-serif) while the stock font is selected.
// NIL only when no font is installed.
HFONT Host_DC_Font(HDC dc);

// --- Glyphs (for the text output of HostText) ---------------------------------------

// A rendered glyph: coverage 0..255 per pixel, row-major, `width` x `rows`;
// (left, top) is the top-left pixel's offset from the pen position, y up.
struct HostGlyphBitmap {
  int32 left = 0, top = 0;
  int32 width = 0, rows = 0;
  const uint8* cov = nullptr;  // NIL when empty
};

// Glyph index of a code point; 0 when the face has no glyph for it.
uint32 Host_Font_Glyph_Index(HFONT font, char32_t cp);
// Advance of a glyph along the baseline, in whole pixels (bold synthesis
// included).
int32 Host_Font_Advance(HFONT font, uint32 glyph);
// The glyph turned by the font's escapement, antialiased or aliased (mono:
// coverage 0 or 255 only). The bitmap stays valid until the next call for
// this font.
bool Host_Font_Glyph(HFONT font, uint32 glyph, bool mono, HostGlyphBitmap* out);
// Metrics of the font (all 0 for NIL).
void Host_Font_Metrics(HFONT font, HostTextMetric* out);
// Escapement in tenths of a degree, normalised to 0 .. 3599.
int32 Host_Font_Escapement(HFONT font);

// --- Transformed glyphs (for text placed character by character) -------------------
//
// One glyph drawn through any 2 x 2 transform at a sub-pixel origin, from the
// sized face a logical font resolves to: one FreeType face per file, face
// index, em and synthesis, shared by every font, angle, stretch and scale;
// each glyph's outline is read once and kept with it. The logical font's
// escapement is ignored here: the transform carries every turn. Outlines are
// drawn unhinted, antialiased.

// Acts on the glyph's own coordinates (pixels at the em, x along the
// baseline, y up): x' = xx * x + xy * y, y' = yx * x + yy * y, y' still up.
struct HostGlyphXform {
  double xx = 1, xy = 0;
  double yx = 0, yy = 1;
};

// A caller's pixels: `depth` 8 (one level a pixel) or 32 (four bytes a
// pixel). Each pixel the glyph covers moves toward `color` by the coverage
// c / 255: a 32-bit pixel byte by byte toward the four bytes of `color` (in
// memory order, as one little-endian value), an 8-bit pixel toward its low
// byte.
struct HostGlyphTarget {
  uint8* bits = nullptr;  // pixel (0, 0)
  int64 stride = 0;       // bytes from one row to the next
  int32 width = 0, height = 0;
  int32 depth = 8;
  uint32 color = 0;
};

// Measures of the sized face a logical font resolves to, in pixels at its em,
// untransformed.
struct HostGlyphFaceMetrics {
  int32 em = 0;
  int32 ascent = 0, descent = 0;  // as the font's HostTextMetric gives them
  double ul_offset = 0;           // from the baseline down to the underline's middle
  double ul_thickness = 0;
};

// FALSE (all 0) when no font is installed.
bool Host_Glyph_Face_Metrics(const HostLogFont& lf, HostGlyphFaceMetrics* out);
// The advance of code point cp along the baseline, hinted, in whole pixels
// at the em (synthesised bold included): what Host_Font_Advance gives for the
// same glyph. A code point the face lacks has the missing glyph's advance.
int32 Host_Glyph_Advance(const HostLogFont& lf, char32_t cp);
// Draws code point cp's glyph (the missing-glyph box when the face lacks it:
// its glyph 0, or a frame when that is empty) with its pen origin at (x, y)
// in the target's pixels (y down; pixel (i, j) spans [i, i + 1) x [j, j + 1)),
// transformed by m. `touched`, when not NIL, receives the bounds of the pixels
// changed (empty when none). FALSE when no font is installed, the target is
// not 8 or 32 bits deep, or the transform or origin is not finite.
bool Host_Glyph_Draw(const HostLogFont& lf, char32_t cp, const HostGlyphXform& m, double x, double y,
                     const HostGlyphTarget& t, RECT* touched);
// The same into a device context at (x, y) in its logical coordinates, in its
// text colour, within its clip region; raster operations and background are
// not used.
bool Host_Glyph_Draw_DC(HDC dc, const HostLogFont& lf, char32_t cp, const HostGlyphXform& m, double x,
                        double y);
// FreeType faces opened since the program started (sized faces and the one
// reading of each face's cell proportions), for tests of the face cache.
int32 Host_Font_Faces_Opened();

// UTF-8 to a face name, cut to the array without splitting a character
// (Host_Utf16_To_Utf8 of HostUtf.h goes the other way).
void Host_Utf8_To_Face_Name(const std::string& s, UniChar (&out)[kHostFaceNameUnits]);
