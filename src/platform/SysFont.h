// Fonts: the list of installed font families the program offers (numbered
// from 1, the `fontx` documents and preferences keep beside the name), their
// classification (symbol, non-Roman, special-script and East Asian fonts),
// the interface's base fonts, and the font record a_fontspec turned into a
// host font selected into the current port.
//
// The list is built once at start-up from the host's families: names
// beginning with "@" and a few unusable system names are left out; at most
// 8000 entries; sorted by class (`order`), then by name in UTF-16 code order.
// A system without any font cannot run the program: Fonts_Init reports it
// through the missing-resource hook (kind "FONT", id 0).
#pragma once

#include <cstddef>

#include "host/HostFont.h"
#include "platform/PixMaps.h"
#include "platform/Types.h"

// --- Records --------------------------------------------------------------------

enum a_text_effect : uint8 { EFFECT_BOLD = 0, EFFECT_ITALIC = 1 };
using a_text_effect_set = uint8;  // bit e set for effect e
constexpr a_text_effect_set Effect_Bit(a_text_effect e) { return a_text_effect_set(1u << e); }

// The program's font record. The host font uses fontID, size, angle and
// effects; the scales and skews shape the glyphs drawn one by one
// (Draw_Glyph below) and the text drawn by Draw_Unicode_Text.
struct a_fontspec {
  uint32 fontID;  // index in the font list, from 1
  int32 size;     // character height in pixels
  int32 angle;    // tenths of a degree, counter-clockwise
  float hscale;
  float vscale;
  float hskew;
  float vskew;
  a_text_effect_set effects;
};

enum a_font_attrib : uint8 {
  IS_PI_FONT = 0,  // symbol font
  IS_NONROMAN_FONT = 1,
  IS_SP_FONT = 2,  // special script
  IS_ASIAN_FONT = 3,
  IS_SYMBOL = 4,
  IS_ZAPFDINGBATS = 5,
  ATT7 = 6,
  ATT8 = 7,
  ATT9 = 8,
  ATT10 = 9,
  ATT11 = 10,
  ATT12 = 11,
  ATT13 = 12,
  ATT14 = 13,
  ATT15 = 14,
  IS_THUMBNAILED = 15,  // its sample picture has been made
};
using a_font_attrib_set = uint16;
constexpr a_font_attrib_set Attrib_Bit(a_font_attrib a) { return a_font_attrib_set(1u << a); }

constexpr int32 kFontNameUnits = 128;

// One entry of the font list. Entries sort as whole records compared in
// unsigned 16-bit units, which orders them by `order`, then by name.
struct a_family_item {
  uint16 order;  // 0 East Asian under a Japanese system, 1 ordinary, 2 East Asian, 3 symbol
  UniChar fontname[kFontNameUnits];  // 0-terminated
  uint8 charset;
  uint8 pitch;
  a_font_attrib_set attrib;
};
static_assert(sizeof(a_family_item) == 262);
static_assert(offsetof(a_family_item, fontname) == 2);
static_assert(offsetof(a_family_item, charset) == 258);
static_assert(offsetof(a_family_item, attrib) == 260);

struct a_font_info {
  int16 ascent;
  int16 descent;
};

constexpr uint32 kMaxFonts = 8000;

// --- Module state --------------------------------------------------------------

extern a_family_item* g_fontlist;  // NIL until Fonts_Init
extern uint32 n_fontlist;
extern uint32 BASE_PROP_FONT;
extern uint32 BASE_MONO_FONT;
extern uint32 BASE_BIG_FONT;
extern uint32 BASE_ENTRY_FONT;
extern uint32 BASE_PRINT_FONT;
extern uint32 BASE_SEL_FONT;

// Start-up: no list.
void SysFont_Init();
// Builds the list once (nothing when it exists), then chooses the base fonts
// from it (Set_Base_Fonts). No memory for it calls g_err_mem_proc; no font
// at all calls g_err_res_proc("FONT", 0).
void Fonts_Init();
// Frees the list (shutdown; the next Fonts_Init builds it again).
void Fonts_Stop();

// BASE_PROP_FONT := the first font whose name begins with "Lucida Sans
// Unicode", else with "Arial", else the family fontconfig matches for
// "sans-serif" (the desktop's sans-serif face), else 1; the mono, big, entry
// and print base fonts the same.
void Set_Base_Fonts(int16 language);

// --- Font records and the current port -------------------------------------------------

// fontID 1, size 12, angle 0, scales 1, skews 0, no effects.
void Null_FontSpec(a_fontspec& spec);
// A new host font for the record (the caller owns it). A fontID outside the
// list takes font 1's name (or the default family when there is no list).
HFONT Create_Font_Hdl(const a_fontspec& font);
// Selects a new font for the record into the current port; the font the
// drawing state held before is deleted; text_familyx := fontID. No current
// port: QUIT.
void SetFont(const a_fontspec& font);
// SetFont, MoveTo(x, y), then the len UTF-16 units at the current position,
// transparent when the drawing state's text mode is 1, opaque otherwise (the
// DC's background mode is restored). When the record's scales or skews are
// not 1 and 0 the glyphs are drawn one by one as Draw_Glyph draws them, in the
// port's text colour, along the transformed baseline, placed by the port's
// text alignment as plain text is, and no background cell is painted.
void Draw_Unicode_Text(const a_fontspec& spec, int16 x, int16 y, const UniChar* str, int32 len);
// Ascent and descent of the font selected in the current port.
void Get_Font_Info(a_font_info& info);
// Selects font fontx (other settings of Null_FontSpec) into the current port,
// where it stays, and tells whether it has a glyph for the character.
bool8 Is_Glyph_Avail(uint32 fontx, UniChar unicode);

// --- Characters drawn one by one --------------------------------------------------
//
// The text objects place every character themselves, each alone in its own
// font record, at its own point and angle. The glyph's shape: in its own frame
// (x along the baseline, y up), a point (x, y) of the glyph as the face draws
// it at `size` becomes
//     (hscale * (x + hskew * y), vscale * (y + vskew * x)),
// is then turned counter-clockwise by `angle` (tenths of a degree) and scaled
// by the caller's factor. Bold and italics the family lacks are synthesised.
// One face per file, size and synthesis serves every angle, scale and skew.

// Measures of a font record for one-by-one drawing, in pixels at `size`,
// never turned, skewed or scaled by the caller's factor.
struct a_glyph_font_info {
  float ascent;       // the face's ascent times vscale
  float descent;      // the face's descent times vscale
  float ul_offset;    // from the baseline down to the underline's middle, times vscale
  float ul_thickness; // the underline's thickness times vscale, at least 1
};

// The advance of code point cp (a surrogate pair's code point) in the font
// record: the face's advance at `size` in whole pixels (synthesised bold
// included) times hscale. Zero-advance marks give 0; a code point the font
// lacks gives the missing-glyph box's advance. 0 when no font is installed.
double Glyph_Advance(const a_fontspec& spec, char32_t cp);
// The measures above (all 0 when no font is installed).
void Get_Glyph_Font_Info(const a_fontspec& spec, a_glyph_font_info& info);
// Draws the glyph of code point cp (a surrogate pair's code point) in the font
// record into pix, its pen origin (the glyph's start on its baseline) at
// (x, y) in the map's own coordinates (those of its bounds), sub-pixel, the
// glyph transformed as above with `scale` as the caller's factor (the
// mapping of a rendering; size and origin are not scaled by it). A code point
// the font lacks draws the missing-glyph box. Each pixel moves toward `color`
// by the glyph's coverage (c / 255): in a 32-bit map each of its b, g, r, a
// bytes, in an 8-bit map its value toward the colour's grey level
// ((r + g + b) / 3). Other depths and a null map draw nothing. When
// `touched` is not NIL it grows to include every pixel the glyph changed
// (an empty rectangle counts as none). FALSE when nothing could be drawn
// (no font installed, no map, a scale that is not a finite positive number).
bool8 Draw_Glyph(PixMap& pix, const a_fontspec& spec, char32_t cp, double x, double y, double scale,
                 a_pixel32 color, Rect* touched);

// --- The list ------------------------------------------------------------------

void Count_Fonts(uint32& first, uint32& last);
// The entry's name; an index outside the list gives the empty name.
void FontX_To_Name(uint32 fontx, UStrSpan name);
// First index whose name equals name, 0 when none.
uint32 Name_To_FontX(CUStrSpan name);
// First index whose name begins with targ (8-bit, case as written), 0 when none.
uint32 Find_Font_Name(CStrSpan targ);
// Attributes of an entry (empty outside the list).
a_font_attrib_set Get_Font_Attrib(uint32 fontx);
bool8 Is_Pi_Font(uint32 fontx);  // symbol or special-script font
bool8 Is_Asian_Font(uint32 fontx);
bool8 Is_Font_Thumbnailed(uint32 fontx);
void Mark_As_Thumbnailed(uint32 fontx);
// Not supported: QUIT.
int16 Get_Font_Sort(uint32 fontx);

// --- Names and classification ------------------------------------------------------------

// Widens 8-bit characters to UTF-16 up to the NUL or ustr's capacity; always
// terminates.
void Ascii7_To_Unicode(CStrSpan astr, UStrSpan ustr);
// TRUE when the 8-bit name (at most 255 characters) equals the UTF-16 name.
bool8 UEqual(CStrSpan astr1, CUStrSpan ustr2);
// Names left out of the list: "@..." (vertical variants), "Terminal",
// "FixedSys", "Sydnie", "System".
bool8 Is_Bad_Font(CUStrSpan name);
// Symbol-font and special-script name prefixes.
bool8 Is_Pi_Font_Name(CUStrSpan name);
bool8 Is_Special_Font_Name(CUStrSpan name);

// Sets attrib and order of an entry from its name and character set
// (os_language decides where East Asian fonts sort).
void Classify_Font_Item(a_family_item& item);
// Sorts n entries by their records (order, then name).
void Sort_Font_List(a_family_item* list, uint32 n);
// The sort of the font list: the program's SortArray (heap sort of records
// compared as unsigned units of chunk bytes), which lives in the pixel
// engine above this layer and is installed by its start-up (Fast_Init).
// Until then the list keeps the order the fonts were enumerated in.
extern void (*g_sort_array_proc)(bool ascending, void* table, int16 itemlen, int16 chunk, int32 nitems);
