// The host layer's software GDI: surfaces (our own pixel buffers), device
// contexts, pens, brushes, palettes, shapes, lines and blits, with the names,
// numeric values and pixel conventions the drawing code of the platform layer
// was written against. Regions come from HostRegion.h, the span generators
// for curved and polygonal shapes from HostSpans.h, so a painted oval and the
// elliptic region of the same rectangle are the same pixels.
//
// Pixel formats (a surface, "bitmap" or "DIB section", is top-down with any
// row stride; it owns its pixels or wraps a caller's block):
//   1 bit   bit 7 of a byte is the leftmost pixel; index into the palette
//   8 bits  index into the palette (up to 256 entries)
//   16 bits 0RRRRRGGGGGBBBBB little-endian; bit 15 stays zero (white 0x7FFF)
//   24 bits bytes blue, green, red
//   32 bits bytes blue, green, red, alpha; drawing in a colour writes alpha 0
//
// Colour references (COLORREF):
//   RGB(r, g, b)        0x00bbggrr
//   PALETTEINDEX(i)     0x0100iiii: entry i of the palette selected into the DC
//   PALETTERGB(r, g, b) 0x02bbggrr: treated as RGB
//   DIBINDEX(i)         0x10FFiiii: on an indexed surface the raw index i
//                       (masked to the depth); on deeper surfaces black
// An RGB colour drawn into an indexed surface becomes the nearest palette
// entry (smallest sum of squared channel differences, first entry on ties).
// 1-bit surfaces follow the same rule over their two entries, which for the
// usual black/white table is a threshold at mid grey; a monochrome bitmap
// made by CreateBitmap / CreateCompatibleBitmap on a monochrome DC has the
// table {black, white}.
//
// Raster operations work on raw pixel values: ROP2 modes and ROP3 codes
// combine the bits of the pen, brush or source pixel (converted to the
// destination's format first) with the destination pixel, masked to the
// depth (0x7FFF for 16 bits). BLACKNESS writes all-zero pixels, WHITENESS
// all-one pixels, DSTINVERT flips every bit (alpha included at 32 bits).
//
// Coordinates: drawing calls take logical coordinates; device = logical -
// window origin + viewport origin. Clip regions are in device coordinates.
// Every write is clipped to the surface and to the clip region; coordinates
// anywhere in the 32-bit range are safe (shapes beyond +-kHostCoordLimit
// draw nothing).
//
// Shape edge conventions (GDI's): FillRect, PatBlt and regions cover
// [left, right) x [top, bottom). Rectangle, Ellipse, RoundRect with a pen
// cover [left, right) x [top, bottom) including the outline; with a null pen
// the filled area is one pixel narrower and shorter. An inside-frame pen lies
// wholly inside the rectangle; other pens wider than 1 are centred on the
// outline of a 1-pixel pen. Lines leave out their end point; a line to the
// current position draws nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/HostRegion.h"
#include "host/HostSpans.h"
#include "platform/Types.h"

// --- Colours -------------------------------------------------------------------

using COLORREF = uint32;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

constexpr COLORREF RGB(uint8 r, uint8 g, uint8 b) {
  return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr COLORREF PALETTEINDEX(uint16 i) { return 0x01000000u | i; }
constexpr COLORREF PALETTERGB(uint8 r, uint8 g, uint8 b) { return 0x02000000u | RGB(r, g, b); }
constexpr COLORREF DIBINDEX(uint16 i) { return 0x10FF0000u | i; }
constexpr uint8 GetRValue(COLORREF c) { return uint8(c); }
constexpr uint8 GetGValue(COLORREF c) { return uint8(c >> 8); }
constexpr uint8 GetBValue(COLORREF c) { return uint8(c >> 16); }

// Colour table entry of a DIB: blue, green, red, reserved.
struct RGBQUAD {
  uint8 rgbBlue, rgbGreen, rgbRed, rgbReserved;
};
static_assert(sizeof(RGBQUAD) == 4);

// Logical palette entry.
struct PALETTEENTRY {
  uint8 peRed, peGreen, peBlue, peFlags;
};
static_assert(sizeof(PALETTEENTRY) == 4);
constexpr uint8 PC_RESERVED = 1;
constexpr uint8 PC_EXPLICIT = 2;
constexpr uint8 PC_NOCOLLAPSE = 4;

struct LOGPALETTE {
  uint16 palVersion;     // 0x300
  uint16 palNumEntries;  // 1 .. 256
  PALETTEENTRY palPalEntry[256];
};

// --- Objects and handles ---------------------------------------------------------

// Object kinds (GetObjectType).
constexpr int32 OBJ_PEN = 1;
constexpr int32 OBJ_BRUSH = 2;
constexpr int32 OBJ_DC = 3;
constexpr int32 OBJ_PAL = 5;
constexpr int32 OBJ_FONT = 6;
constexpr int32 OBJ_BITMAP = 7;
constexpr int32 OBJ_REGION = 8;
constexpr int32 OBJ_MEMDC = 10;

// Handles of drawing objects are handles of the object table (HostHandles.h),
// never addresses: a handle of a deleted object is refused by every call,
// even after its slot holds a new object, and a handle of one kind passed as
// another (a pen as a brush, a region as a bitmap) is refused too. The
// records below are what the handles stand for; Host_Surface gives a live
// bitmap's record for direct pixel access.
using HGDIOBJ = void*;  // any drawing object or region
struct HostPenHandle;      // the handle types are never defined
struct HostBrushHandle;
struct HostBitmapHandle;
struct HostPaletteHandle;
struct HostDCHandle;
using HPEN = HostPenHandle*;
using HBRUSH = HostBrushHandle*;
using HBITMAP = HostBitmapHandle*;
using HPALETTE = HostPaletteHandle*;
using HDC = HostDCHandle*;

// Base of every drawing object other than regions (regions are HostRgn).
// Other host modules (fonts) derive their objects from it. Making one
// registers it and gives it its handle; destroying it retires the handle.
struct HostGdiObject {
  HGDIOBJ handle = nullptr;  // NIL only when no handle was left (creation fails)
  int32 kind;            // OBJ_...
  bool stock = false;    // never deleted
  int32 selected = 0;    // number of DCs that hold it selected
  bool delete_pending = false;  // DeleteObject while selected: freed on release
  explicit HostGdiObject(int32 k);
  virtual ~HostGdiObject();
  HostGdiObject(const HostGdiObject&) = delete;
  HostGdiObject& operator=(const HostGdiObject&) = delete;
};

// A surface: the pixels of a bitmap or DIB section.
struct HostSurface : HostGdiObject {
  int32 width = 0, height = 0;
  int32 depth = 0;         // 1, 8, 16, 24, 32
  int32 stride = 0;        // bytes per row (>= the row's bytes)
  uint8* bits = nullptr;   // row 0 first
  std::vector<uint8> own;  // storage when the surface owns its pixels
  int32 ncolors = 0;       // palette entries in use (depths 1 and 8)
  RGBQUAD colors[256]{};
  bool mono_ddb = false;   // monochrome bitmap: colour blits use text/bk colours
  HostSurface() : HostGdiObject(OBJ_BITMAP) {}
};

// Pen styles.
constexpr int32 PS_SOLID = 0;
constexpr int32 PS_DASH = 1;
constexpr int32 PS_DOT = 2;
constexpr int32 PS_DASHDOT = 3;
constexpr int32 PS_DASHDOTDOT = 4;
constexpr int32 PS_NULL = 5;
constexpr int32 PS_INSIDEFRAME = 6;

struct HostPen : HostGdiObject {
  int32 style = PS_SOLID;
  int32 width = 1;
  COLORREF color = 0;
  HostPen() : HostGdiObject(OBJ_PEN) {}
};

// Brush styles and hatch styles.
constexpr int32 BS_SOLID = 0;
constexpr int32 BS_NULL = 1;
constexpr int32 BS_HOLLOW = BS_NULL;
constexpr int32 BS_HATCHED = 2;
constexpr int32 BS_PATTERN = 3;
constexpr int32 BS_DIBPATTERN = 5;

constexpr int32 HS_HORIZONTAL = 0;  // -----
constexpr int32 HS_VERTICAL = 1;    // |||||
constexpr int32 HS_FDIAGONAL = 2;   // \\\\\ .
constexpr int32 HS_BDIAGONAL = 3;   // /////
constexpr int32 HS_CROSS = 4;       // +++++
constexpr int32 HS_DIAGCROSS = 5;   // xxxxx

struct HostBrush : HostGdiObject {
  int32 style = BS_SOLID;
  COLORREF color = 0;  // solid and hatched brushes
  int32 hatch = 0;
  // Monochrome patterns (BS_PATTERN from a 1-bit bitmap, hatches): 8 x 8
  // bits, row i in mono[i], bit 7 leftmost. A 0 bit draws the DC's text
  // colour (hatches: the brush colour), a 1 bit the DC's background colour
  // (hatches: the background when the mode is OPAQUE, else nothing).
  bool mono = false;
  uint8 mono_bits[8]{};
  // Colour patterns: pat_w x pat_h colours, row-major.
  int32 pat_w = 0, pat_h = 0;
  std::vector<COLORREF> pat;
  HostBrush() : HostGdiObject(OBJ_BRUSH) {}
};

struct HostPalette : HostGdiObject {
  int32 count = 0;
  PALETTEENTRY entries[256]{};
  HostPalette() : HostGdiObject(OBJ_PAL) {}
};

// Stock objects.
constexpr int32 WHITE_BRUSH = 0;
constexpr int32 LTGRAY_BRUSH = 1;
constexpr int32 GRAY_BRUSH = 2;
constexpr int32 DKGRAY_BRUSH = 3;
constexpr int32 BLACK_BRUSH = 4;
constexpr int32 NULL_BRUSH = 5;
constexpr int32 HOLLOW_BRUSH = NULL_BRUSH;
constexpr int32 WHITE_PEN = 6;
constexpr int32 BLACK_PEN = 7;
constexpr int32 NULL_PEN = 8;
constexpr int32 SYSTEM_FONT = 13;
constexpr int32 DEFAULT_PALETTE = 15;

// --- Device contexts -------------------------------------------------------------

// ROP2 mix modes.
constexpr int32 R2_BLACK = 1;
constexpr int32 R2_NOTMERGEPEN = 2;
constexpr int32 R2_MASKNOTPEN = 3;
constexpr int32 R2_NOTCOPYPEN = 4;
constexpr int32 R2_MASKPENNOT = 5;
constexpr int32 R2_NOT = 6;
constexpr int32 R2_XORPEN = 7;
constexpr int32 R2_NOTMASKPEN = 8;
constexpr int32 R2_MASKPEN = 9;
constexpr int32 R2_NOTXORPEN = 10;
constexpr int32 R2_NOP = 11;
constexpr int32 R2_MERGENOTPEN = 12;
constexpr int32 R2_COPYPEN = 13;
constexpr int32 R2_MERGEPENNOT = 14;
constexpr int32 R2_MERGEPEN = 15;
constexpr int32 R2_WHITE = 16;

// ROP3 codes (the high word's low byte is the truth table over P=0xF0,
// S=0xCC, D=0xAA; the low word is the classic encoding and not used).
using DWORD_ROP = uint32;
constexpr uint32 SRCCOPY = 0x00CC0020;
constexpr uint32 SRCPAINT = 0x00EE0086;
constexpr uint32 SRCAND = 0x008800C6;
constexpr uint32 SRCINVERT = 0x00660046;
constexpr uint32 SRCERASE = 0x00440328;
constexpr uint32 NOTSRCCOPY = 0x00330008;
constexpr uint32 NOTSRCERASE = 0x001100A6;
constexpr uint32 MERGECOPY = 0x00C000CA;
constexpr uint32 MERGEPAINT = 0x00BB0226;
constexpr uint32 PATCOPY = 0x00F00021;
constexpr uint32 PATPAINT = 0x00FB0A09;
constexpr uint32 PATINVERT = 0x005A0049;
constexpr uint32 DSTINVERT = 0x00550009;
constexpr uint32 BLACKNESS = 0x00000042;
constexpr uint32 WHITENESS = 0x00FF0062;

// Background modes.
constexpr int32 TRANSPARENT = 1;
constexpr int32 OPAQUE = 2;

// Stretch modes. Every mode samples the nearest source pixel (the
// COLORONCOLOR behaviour); the program sets COLORONCOLOR everywhere.
constexpr int32 BLACKONWHITE = 1;
constexpr int32 WHITEONBLACK = 2;
constexpr int32 COLORONCOLOR = 3;
constexpr int32 HALFTONE = 4;

// Text alignment flags.
constexpr uint32 TA_NOUPDATECP = 0;
constexpr uint32 TA_UPDATECP = 1;
constexpr uint32 TA_LEFT = 0;
constexpr uint32 TA_RIGHT = 2;
constexpr uint32 TA_CENTER = 6;
constexpr uint32 TA_TOP = 0;
constexpr uint32 TA_BOTTOM = 8;
constexpr uint32 TA_BASELINE = 24;

struct HostDCState {
  POINT window_org{0, 0};
  POINT viewport_org{0, 0};
  POINT brush_org{0, 0};
  POINT cur_pos{0, 0};
  int32 rop2 = R2_COPYPEN;
  int32 bk_mode = OPAQUE;
  COLORREF bk_color = RGB(255, 255, 255);
  COLORREF text_color = RGB(0, 0, 0);
  int32 stretch_mode = BLACKONWHITE;
  uint32 text_align = TA_LEFT | TA_TOP | TA_NOUPDATECP;
  int32 poly_fill_mode = ALTERNATE;
  // The selected objects (records: selection keeps them alive).
  HostPen* pen = nullptr;
  HostBrush* brush = nullptr;
  HostGdiObject* font = nullptr;
  HostPalette* palette = nullptr;
  HostSurface* bitmap = nullptr;
  HRGN clip = nullptr;  // device coordinates; NIL = no clip (owned copy)
};

struct HostDC : HostGdiObject {
  HostDCState st;
  std::vector<HostDCState> saved;  // SaveDC stack (clip regions owned copies)
  bool fixed_surface = false;      // a window's DC: its bitmap cannot be replaced
  HostDC() : HostGdiObject(OBJ_MEMDC) {}
};

// --- DIB headers -----------------------------------------------------------------

constexpr uint32 BI_RGB = 0;
constexpr uint32 DIB_RGB_COLORS = 0;
constexpr uint32 DIB_PAL_COLORS = 1;

struct BITMAPINFOHEADER {
  uint32 biSize;  // 40
  int32 biWidth;
  int32 biHeight;  // negative: top-down rows
  uint16 biPlanes;
  uint16 biBitCount;
  uint32 biCompression;
  uint32 biSizeImage;
  int32 biXPelsPerMeter;
  int32 biYPelsPerMeter;
  uint32 biClrUsed;
  uint32 biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// The header with room for a full colour table (256 entries); with
// DIB_PAL_COLORS the table holds 16-bit palette indices instead.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[256];
};
static_assert(sizeof(BITMAPINFO) == 40 + 1024);

// --- Objects -----------------------------------------------------------------------

// Stock objects live for the whole run.
HGDIOBJ GetStockObject(int32 which);
// Selects a pen, brush, bitmap, palette or font and returns the previous one;
// a region becomes the clip (returns the region kind cast to a pointer, as
// GDI does; see SelectClipRgn). NIL for a bad object or DC.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
// Deletes a pen, brush, bitmap, palette or region. A stock object is left
// alone (TRUE). An object still selected into a DC is freed when it is
// deselected or its DC is deleted.
bool DeleteObject(HGDIOBJ obj);
int32 GetObjectType(HGDIOBJ obj);
// Number of live drawing objects (stock ones included): for leak checks.
size_t Host_Gdi_Live_Objects();
// The record of a live bitmap (its pixels, size and colours); NIL for NIL,
// a deleted bitmap or another kind of handle.
HostSurface* Host_Surface(HBITMAP bm);

HPEN CreatePen(int32 style, int32 width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int32 hatch, COLORREF color);
// A 1-bit bitmap makes a monochrome pattern (text / background colours);
// deeper bitmaps a colour pattern (at most 256 x 256, the top-left part).
HBRUSH CreatePatternBrush(HBITMAP bm);
// Our shortcut for the common 8 x 8 monochrome pattern: byte i is row i,
// bit 7 the leftmost pixel; a 0 bit draws the text colour, a 1 bit the
// background colour.
HBRUSH Host_CreateMonoPatternBrush(const uint8 rows[8]);

HPALETTE CreatePalette(const LOGPALETTE* lp);
uint32 GetPaletteEntries(HPALETTE pal, uint32 start, uint32 count, PALETTEENTRY* out);
uint32 SetPaletteEntries(HPALETTE pal, uint32 start, uint32 count, const PALETTEENTRY* in);
HPALETTE SelectPalette(HDC dc, HPALETTE pal, bool force_background);
uint32 RealizePalette(HDC dc);

// Surfaces. A monochrome bitmap (1 bit, table {black, white}) from bits
// (rows padded to 16 bits, as GDI's CreateBitmap takes them; NIL = zero).
HBITMAP CreateBitmap(int32 width, int32 height, uint32 planes, uint32 bpp, const void* bits);
// A bitmap of the DC's surface depth and colour table (monochrome for a DC
// that still holds its initial 1 x 1 bitmap).
HBITMAP CreateCompatibleBitmap(HDC dc, int32 width, int32 height);
// A DIB section from a header (1, 8, 16, 24, 32 bits, BI_RGB); rows padded to
// 4 bytes; *bits_out receives the pixel memory (top-down when biHeight < 0).
// Bottom-up headers are accepted but the memory is still kept top-down: the
// address handed back is then that of the top row, so callers that need a
// bottom-up layout must use GetDIBits.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, uint32 usage, void** bits_out,
                         void* section, uint32 offset);
// A surface over a caller's pixel block (not owned): top-down rows of
// `stride` bytes. The block must hold stride x height bytes and outlive the
// surface. NIL for a bad depth or size.
HBITMAP Host_WrapSurface(void* bits, int32 width, int32 height, int32 depth, int32 stride,
                         const RGBQUAD* colors, int32 ncolors);
// A surface that owns zeroed pixels, rows padded to 4 bytes.
HBITMAP Host_NewSurface(int32 width, int32 height, int32 depth, const RGBQUAD* colors,
                        int32 ncolors);
uint32 SetDIBColorTable(HDC dc, uint32 start, uint32 count, const RGBQUAD* colors);
uint32 GetDIBColorTable(HDC dc, uint32 start, uint32 count, RGBQUAD* colors);

// --- Device contexts ------------------------------------------------------------------

// A memory DC holding a 1 x 1 monochrome bitmap until another is selected.
HDC CreateCompatibleDC(HDC like);
// A DC bound for good to one surface (a window's pixels).
HDC Host_CreateSurfaceDC(HBITMAP surface);
bool DeleteDC(HDC dc);
HGDIOBJ GetCurrentObject(HDC dc, int32 kind);

int32 SaveDC(HDC dc);              // returns the new depth (1 ...), 0 on failure
bool RestoreDC(HDC dc, int32 level);  // level > 0 absolute, < 0 relative

int32 SetROP2(HDC dc, int32 mode);  // returns the previous mode, 0 on failure
int32 GetROP2(HDC dc);
int32 SetBkMode(HDC dc, int32 mode);
int32 GetBkMode(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF c);
COLORREF GetBkColor(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF c);
COLORREF GetTextColor(HDC dc);
int32 SetStretchBltMode(HDC dc, int32 mode);
int32 GetStretchBltMode(HDC dc);
uint32 SetTextAlign(HDC dc, uint32 align);  // previous, or 0xFFFFFFFF (GDI_ERROR)
uint32 GetTextAlign(HDC dc);
int32 SetPolyFillMode(HDC dc, int32 mode);
int32 GetPolyFillMode(HDC dc);

bool SetWindowOrgEx(HDC dc, int32 x, int32 y, POINT* old);
bool GetWindowOrgEx(HDC dc, POINT* out);
bool OffsetWindowOrgEx(HDC dc, int32 dx, int32 dy, POINT* old);
bool SetViewportOrgEx(HDC dc, int32 x, int32 y, POINT* old);
bool GetViewportOrgEx(HDC dc, POINT* out);
bool SetBrushOrgEx(HDC dc, int32 x, int32 y, POINT* old);
bool LPtoDP(HDC dc, POINT* pts, int32 count);
bool DPtoLP(HDC dc, POINT* pts, int32 count);

// Clip region in device coordinates; the DC keeps a copy. NIL removes the clip.
// Result: the region kind of the new clip (SIMPLEREGION for none), ERROR on failure.
int32 SelectClipRgn(HDC dc, HRGN rgn);
int32 ExtSelectClipRgn(HDC dc, HRGN rgn, int32 mode);
// 1 and rgn := a copy of the clip; 0 when there is no clip; -1 on error.
int32 GetClipRgn(HDC dc, HRGN rgn);
// The clip box in logical coordinates (the surface when there is no clip).
int32 GetClipBox(HDC dc, RECT* out);
int32 IntersectClipRect(HDC dc, int32 left, int32 top, int32 right, int32 bottom);
bool RectVisible(HDC dc, const RECT* r);
bool PtVisible(HDC dc, int32 x, int32 y);

// Colour the DC would draw for c, as RGB (nearest entry on indexed surfaces).
COLORREF GetNearestColor(HDC dc, COLORREF c);

// --- Drawing -------------------------------------------------------------------------

bool MoveToEx(HDC dc, int32 x, int32 y, POINT* old);
bool GetCurrentPositionEx(HDC dc, POINT* out);
bool LineTo(HDC dc, int32 x, int32 y);
bool Polyline(HDC dc, const POINT* pts, int32 count);

bool Rectangle(HDC dc, int32 left, int32 top, int32 right, int32 bottom);
bool Ellipse(HDC dc, int32 left, int32 top, int32 right, int32 bottom);
bool RoundRect(HDC dc, int32 left, int32 top, int32 right, int32 bottom, int32 corner_w,
               int32 corner_h);
bool Polygon(HDC dc, const POINT* pts, int32 count);
bool PolyPolygon(HDC dc, const POINT* pts, const int32* counts, int32 npolys);

// Brush fills with PATCOPY, whatever the ROP2 mode.
int32 FillRect(HDC dc, const RECT* r, HBRUSH brush);
int32 FrameRect(HDC dc, const RECT* r, HBRUSH brush);
bool InvertRect(HDC dc, const RECT* r);
bool FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
// The pixels of the region within w / h of its outside, in the brush.
bool FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int32 w, int32 h);
// The selected brush, in the ROP2 mode.
bool PaintRgn(HDC dc, HRGN rgn);
bool InvertRgn(HDC dc, HRGN rgn);

COLORREF SetPixel(HDC dc, int32 x, int32 y, COLORREF c);  // colour set, or CLR_INVALID
COLORREF GetPixel(HDC dc, int32 x, int32 y);             // CLR_INVALID outside

// --- Blits ---------------------------------------------------------------------------

bool PatBlt(HDC dc, int32 x, int32 y, int32 w, int32 h, uint32 rop);
bool BitBlt(HDC dst, int32 x, int32 y, int32 w, int32 h, HDC src, int32 sx, int32 sy,
            uint32 rop);
// Negative extents mirror: an extent of -n at origin o stands for the pixels
// o - n .. o - 1 (the rectangle (o, o - n) put in order), drawn reversed when
// the signs of the source and destination extents differ. Destination pixels
// whose source pixel lies off the source surface are left alone.
bool StretchBlt(HDC dst, int32 x, int32 y, int32 w, int32 h, HDC src, int32 sx, int32 sy,
                int32 sw, int32 sh, uint32 rop);
// Source coordinates follow the DIB's row order as GDI has it: (0, 0) is
// the top-left pixel of a top-down DIB (negative height) and the bottom-left
// pixel of a bottom-up one; either way positive extents draw the picture
// upright. Returns the number of source rows (0 on failure). `bits_size`
// bounds the reads (SIZE_MAX: trust the header); a header whose rows do not
// fit it is refused.
int32 StretchDIBits(HDC dc, int32 x, int32 y, int32 w, int32 h, int32 sx, int32 sy, int32 sw,
                    int32 sh, const void* bits, const BITMAPINFO* info, uint32 usage,
                    uint32 rop, size_t bits_size = SIZE_MAX);
// Reads scan lines [start, start + lines) of the bitmap (counted in the
// header's row order: from the top for a top-down header, from the bottom
// otherwise) into bits, in the format of info (1/8/16/24/32 bits, BI_RGB;
// width and height must be the bitmap's). For 1 and 8 bits the colour table
// of info is filled: the bitmap's own when the depths match, else black and
// white (1 bit) or a 3-3-2 colour cube (8 bits), and pixels are converted to
// their nearest entry. biSizeImage is set. With bits NIL only the header is
// completed (returns the height). Returns the lines copied, 0 on failure
// (also when `bits_size` cannot hold them). SetDIBits is the reverse.
int32 GetDIBits(HDC dc, HBITMAP bm, uint32 start, uint32 lines, void* bits, BITMAPINFO* info,
                uint32 usage, size_t bits_size = SIZE_MAX);
int32 SetDIBits(HDC dc, HBITMAP bm, uint32 start, uint32 lines, const void* bits,
                const BITMAPINFO* info, uint32 usage, size_t bits_size = SIZE_MAX);

// Moves the pixels of scroll ∩ clip by (dx, dy); the uncovered area of that
// rectangle goes into update_rgn and its box into update_rect (either NIL).
bool ScrollDC(HDC dc, int32 dx, int32 dy, const RECT* scroll, const RECT* clip, HRGN update_rgn,
              RECT* update_rect);
