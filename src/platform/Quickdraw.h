// Toolbox-style drawing on our GDI: the drawing state of a port (pens,
// colours, patterns, transfer modes, text settings), and the shapes, lines,
// regions and polygons drawn with it.
//
// Every call works on the current port (theHDC, theShadow, theGWorld and
// qd.thePort, kept by SysWin). Coordinates are the port's local ones: an
// offscreen world is addressed in the coordinates of its bounds.
//
// Colour codes: 0 white, 1 black, 300 + i entry i (0 .. 255) of the main
// colour table. In an 8-bit world 300 + i paints pixel value i, code 0 value
// 255 and code 1 value 0; in a 1-bit world 300 + i paints pixel value i & 1.
//
// Patterns: byte i is row i of an 8 x 8 cell, bit 7 leftmost; a 0 bit draws
// the foreground colour, a 1 bit the background colour (solid black is eight
// zero bytes).
//
// Text is drawn and measured in the font selected with SetFont (SysFont.h);
// the word-wrapped box TETextBox is in TextEdit.h.
#pragma once

#include <span>

#include "host/HostGdi.h"
#include "host/HostRegion.h"
#include "platform/ColorTable.h"
#include "platform/Types.h"

// Windows of the host layer. The handle type names no structure (window
// handles are table handles of the host); the drawing state only keeps and
// compares the handle.
struct HostWindow;
using HWND = HostWindow*;

// --- Records ---------------------------------------------------------------------

struct Pattern {
  uint8 pat[8];
};
static_assert(sizeof(Pattern) == 8);

inline bool operator==(const Pattern& a, const Pattern& b) {
  for (int i = 0; i < 8; ++i)
    if (a.pat[i] != b.pat[i]) return false;
  return true;
}

constexpr Pattern kPatBlack{{0, 0, 0, 0, 0, 0, 0, 0}};
constexpr Pattern kPatWhite{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
constexpr Pattern kPatGray{{0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA}};
constexpr Pattern kPatLtGray{{0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD}};
constexpr Pattern kPatDkGray{{0x88, 0x22, 0x88, 0x22, 0x88, 0x22, 0x88, 0x22}};

// The toolbox globals: the current window and the standard patterns. The
// variable `qd` itself lives with the current port (SysWin); its patterns
// are filled here so they hold whatever defines it.
struct QDGlobals {
  HWND thePort = nullptr;
  Pattern dkGray = kPatDkGray;
  Pattern ltGray = kPatLtGray;
  Pattern gray = kPatGray;
  Pattern black = kPatBlack;
  Pattern white = kPatWhite;
};

// A GDI colour reference kept in a drawing state: RGB with a = 0, or one of
// the palette-index forms (PALETTEINDEX, DIBINDEX).
union a_win_color {
  struct {
    uint8 r, g, b, a;
  };
  uint32 d;
};
static_assert(sizeof(a_win_color) == 4);

enum a_shadow_state : int16 { PAINTING = 0, BUILDING_RGN = 1, BUILDING_POLY = 2 };

constexpr int32 kPolyMaxPaths = 10;
constexpr int32 kPolyMaxPoints = 5000;

// A recorded polygon: up to 10 sub-paths of together up to 5000 points.
// counts[k] is the point count of sub-path k + 1; the points of all sub-paths
// follow one another in `points`. Once a limit is reached recording stops
// (`full`), so the counts always add up to npoints.
struct a_polygon {
  int32 ncount;                   // sub-paths, 0 .. 10
  int32 counts[kPolyMaxPaths];
  int32 npoints;                  // points, 0 .. 5000
  POINT points[kPolyMaxPoints];
  bool8 full;                     // a limit was hit: nothing more is recorded
};
using PolyHandle = a_polygon*;

using RgnHandle = HRGN;
using PicHandle = HBITMAP;

// The drawing state of one window or offscreen world.
struct a_shadow_rec {
  HDC hdc;
  bool8 hdc_private;        // TRUE for a window's own record or a world's
  HWND hwnd;                // owning window, NIL for none
  int16 pen_width;          // pens are square
  int16 pen_mode;           // transfer mode (patCopy ...)
  Pattern pen_pat;          // also the pattern of every Paint operation
  Pattern back_pat;
  Pattern fill_pat;
  uint16 opacity;           // 0 .. 255, for the blending blit
  uint8 fore_colorx;        // main-table index of the foreground colour
  uint8 back_colorx;
  a_win_color fore_color;   // the DC's text colour
  a_win_color back_color;   // the DC's background colour
  int16 text_mode;          // 1 = transparent text
  int32 text_size;
  uint32 text_familyx;      // index in the font list
  a_shadow_state state;
  HRGN accum_rgn;           // region being recorded (BUILDING_RGN)
  a_polygon* accum_poly;    // polygon being recorded
  int16 cur_pen_width;
  a_win_color cur_pen_color;
  HGDIOBJ cur_font_hdl;     // font selected by SetFont; owned by the record
};

struct PenState {
  Point pnLoc;
  Point pnSize;
  int16 pnMode;
  Pattern pnPat;
};

// Transfer modes of the pen.
constexpr int16 srcCopy = 0;
constexpr int16 srcOr = 1;
constexpr int16 srcXor = 2;
constexpr int16 srcBic = 3;
constexpr int16 notSrcCopy = 4;
constexpr int16 notSrcOr = 5;
constexpr int16 notSrcXor = 6;
constexpr int16 notSrcBic = 7;
constexpr int16 patCopy = 8;
constexpr int16 patOr = 9;
constexpr int16 patXor = 10;
constexpr int16 patBic = 11;
constexpr int16 notPatCopy = 12;
constexpr int16 notPatOr = 13;
constexpr int16 notPatXor = 14;
constexpr int16 notPatBic = 15;
constexpr int16 blend = 32;
constexpr int16 transparent = 36;
constexpr int16 ditherCopy = 64;
constexpr int16 ALPHA = 256;

// Marker and offset of the drawing-state pointer in a window's extra bytes.
constexpr int32 SHADOW_MARKER = 4660;  // 0x1234 in long 0
constexpr int32 SHADOWPTR_OFFSET = 4;

// --- Module state ------------------------------------------------------------------

// The record used by ports without one of their own (reset on each use).
extern a_shadow_rec temp_shadow;

struct a_cached_brush {
  HBRUSH hdl;
  Pattern pat;
  uint32 color;
};
struct a_cached_pen {
  HPEN hdl;
  int16 style;
  int16 width;
  uint32 color;
};
extern a_cached_brush cached_brush;
extern a_cached_pen cached_pen;

// Start-up: no cached brush or pen. (The port variables belong to SysWin.)
void Quickdraw_Init();
// Deletes the cached brush and pen.
void Stop_Quickdraw();

// --- Drawing state -------------------------------------------------------------------

// Defaults: pen 1, patCopy, pen and fill pattern black, background white,
// foreground black, background colour white, transparent text, painting.
// Leaves `opacity` as it is. Sets the DC's text alignment to baseline with
// update of the current position and its stretch mode to COLORONCOLOR.
void Reset_Shadow(a_shadow_rec* shadow, HWND shadow_hwnd, HDC shadow_hdc, bool8 priv);
// Selects the stock font back into the record's DC and deletes its font.
void Flush_Shadow(a_shadow_rec* shadow);

// Makes (hwnd, hdc) the current port with the temporary drawing state (the
// path of printer contexts and of windows without a record of their own).
// Returns hdc.
HDC SetPort2(HWND hwnd, HDC hdc);
HWND GetPort();

// The DC's window origin; with a world current, its bounds move so that
// their top-left corner becomes (v, h).
void SetOrigin(int16 h, int16 v);
// Clip from a region in local coordinates; the caller's region is unchanged.
// NIL removes the clip.
void SetClip(RgnHandle rgn);
// rgn := the current clip in local coordinates (the whole port when no clip
// is set: the clip box).
void GetClip(RgnHandle rgn);
void ClipRect(const Rect& r);

// Colours by colour code (0 white, 1 black, 300 + i table entry i); any
// other code calls QUIT.
void ForeColor(int32 code);
void BackColor(int32 code);
void RGBForeColor(const RGBColor& rgb);
void RGBBackColor(const RGBColor& rgb);
void GetForeColor(RGBColor& rgb);
void GetBackColor(RGBColor& rgb);
void OpColor(const RGBColor& rgb);
// The GDI colour reference a colour code gives in the current port.
uint32 Calc_Color_Code(int32 code);

// Pens and patterns.
void PenSize(int16 width, int16 height);  // height ignored: pens are square
void PenMode(int16 mode);
void PenPat(const Pattern& pat);
void BackPat(const Pattern& pat);
void PenNormal();
void GetPen(Point& pt);
void GetPenState(PenState& ps);
void SetPenState(const PenState& ps);
// Pattern ix (from 1) of the "PAT#" resource listid (a little-endian 16-bit
// count, then 8 bytes a pattern). A list that is missing, or shorter than
// its count says, is reported by the missing-item rule
// (Report_Missing_Resource with "PAT#"): the result is FALSE and pat is left
// as it was. An index outside the list is the caller's error (QUIT).
bool8 GetIndPattern(Pattern& pat, int16 listid, int16 ix);

// GDI realisation: the ROP2 mode of a transfer mode (QUIT for patBic and
// modes outside the table), the cached brush of a colour and pattern, the
// cached pen of a style (0 solid, 2 dotted, 6 inside-frame) in the current
// pen width and foreground colour. Callers select the handles and never
// delete them.
int32 Calc_Rop2(int16 mode);
HBRUSH Calc_Brush(uint32 color, const Pattern& pat);
HPEN Calc_Pen(int16 style);
bool8 Is_Pattern_Same(const Pattern& a, const Pattern& b);
bool8 Is_Solid_Black(const Pattern& pat);

// Text settings (the fonts module does the rest).
void TextMode(int16 mode);
void TextSize(int32 size);
inline void TextFont(int16) {}
inline void TextFace(int16) {}

// Status and device queries the portable code calls.
inline int16 QDError() { return 0; }
inline int32 GetCTSeed() { return 1000; }
inline bool8 TestDeviceAttribute(void*, int16) { return false; }
inline void HiliteColor(const RGBColor&) {}

// --- Lines ----------------------------------------------------------------------------

void MoveTo(int16 h, int16 v);
void Move(int16 dh, int16 dv);
void LineTo(int16 h, int16 v);
void Line(int16 dh, int16 dv);

// --- Rectangles, rounded rectangles, ovals (nothing for an empty r) -------------------

void FrameRect(const Rect& r);
void PaintRect(const Rect& r);
void EraseRect(const Rect& r);
void InvertRect(const Rect& r);
void FillRect(const Rect& r, const Pattern& pat);

void FrameRoundRect(const Rect& r, int16 oval_h, int16 oval_v);
void PaintRoundRect(const Rect& r, int16 oval_h, int16 oval_v);
void EraseRoundRect(const Rect& r, int16 oval_h, int16 oval_v);
void InvertRoundRect(const Rect& r, int16 oval_h, int16 oval_v);
void FillRoundRect(const Rect& r, int16 oval_h, int16 oval_v, const Pattern& pat);

void FrameOval(const Rect& r);
void PaintOval(const Rect& r);
void EraseOval(const Rect& r);
void InvertOval(const Rect& r);
void FillOval(const Rect& r, const Pattern& pat);

// --- Regions --------------------------------------------------------------------------
// The host's SetRectRgn, OffsetRgn and EqualRgn serve as they are.

RgnHandle NewRgn();
void DisposeRgn(RgnHandle& rgn);
void OpenRgn();
void CloseRgn(RgnHandle dstRgn);
void CopyRgn(RgnHandle src, RgnHandle dst);
void SetEmptyRgn(RgnHandle rgn);
void RectRgn(RgnHandle rgn, const Rect& r);
void SectRgn(RgnHandle srcA, RgnHandle srcB, RgnHandle dstRgn);
void UnionRgn(RgnHandle srcA, RgnHandle srcB, RgnHandle dstRgn);
void DiffRgn(RgnHandle srcA, RgnHandle srcB, RgnHandle dstRgn);
bool8 RectInRgn(const Rect& r, RgnHandle rgn);
bool8 EmptyRgn(RgnHandle rgn);
bool8 PtInRgn(Point pt, RgnHandle rgn);
// Maps rgn from srcRect to dstRect: nothing for equal rectangles, empty for
// an empty dstRect, an offset for equal sizes, else a scaling.
void MapRgn(RgnHandle rgn, const Rect& srcRect, const Rect& dstRect);

void FrameRgn(RgnHandle rgn);
void PaintRgn(RgnHandle rgn);
void EraseRgn(RgnHandle rgn);
void InvertRgn(RgnHandle rgn);
void FillRgn(RgnHandle rgn, const Pattern& pat);

// --- Polygons -------------------------------------------------------------------------

PolyHandle OpenPoly();
void ClosePoly();
void KillPoly(PolyHandle& poly);
void FramePoly(PolyHandle poly);
void PaintPoly(PolyHandle poly);
void ErasePoly(PolyHandle poly);
void InvertPoly(PolyHandle poly);
void FillPoly(PolyHandle poly, const Pattern& pat);

// --- Points ---------------------------------------------------------------------------

// Local to device coordinates of the current port and back (a port has no
// screen offset of its own until windows carry one).
void LocalToGlobal(Point& pt);
void GlobalToLocal(Point& pt);

// --- Other ----------------------------------------------------------------------------

// Scrolls the pixels of r by (dh, dv) within r; the uncovered part goes into
// updateRgn (when not NIL).
void ScrollRect(const Rect& r, int16 dh, int16 dv, RgnHandle updateRgn);
// Copies the top-left part of the bitmap, r's size, unscaled into r.
void DrawPicture(PicHandle pic, const Rect& r);
void KillPicture(PicHandle& pic);
// The pixel pattern "ppat" id (ResImage.h) as a new 32-bit bitmap of its
// size, for DrawPicture or a pattern brush (CreatePatternBrush); searched
// from the current resource file down. A pattern that is missing or damaged
// is reported by the missing-item rule and gives NIL. The caller frees it
// with DisposePixPat.
PicHandle GetPixPat(int16 id);
void DisposePixPat(PicHandle& pat);
inline void FillCRect(const Rect&, PicHandle) {}
void SetCPixel(int16 h, int16 v, const RGBColor& cPix);
void GetCPixel(int16 h, int16 v, RGBColor& cPix);

// Run-length decoding: flag n in 0 .. 127 copies the next n + 1 bytes, n in
// 129 .. 255 repeats the next byte 257 - n times, 128 does nothing. Writes
// exactly dstBytes bytes (a run that would pass the end is cut there) and
// leaves both pointers behind what was consumed and produced. The source is
// trusted to hold enough data; use UnpackBits_Bounded for outside bytes.
void UnpackBits(Ptr& srcPtr, Ptr& dstPtr, int16 dstBytes);
// The same with the source bounded by src_end. Result FALSE when the source
// ends before dstBytes bytes were produced; the pointers then stand behind
// what was consumed and produced.
bool8 UnpackBits_Bounded(const uint8*& src, const uint8* src_end, uint8*& dst, int32 dstBytes);

// --- Text (QuickdrawText.cpp) ----------------------------------------------------------
// 8-bit text is UTF-8 (the "ANSI" code page here): a byte that is not part
// of a whole character (a lone byte above 0x7F, a sequence cut by the
// count) draws and measures as the replacement glyph. Text is drawn at the
// DC's current position, which the baseline alignment of the drawing state
// moves along the text; transparent when the drawing state's text mode is 1,
// on a cell of the background colour otherwise (the DC's background mode is
// restored after each call). Widths above kMaxTextWidth are returned as
// kMaxTextWidth. Counts and offsets that pass the end of a span are cut to
// it; negative ones draw nothing and measure 0.

constexpr int16 kMaxTextWidth = 20000;

void DrawChar(char ch);
// The text of s up to its NUL, at most 255 characters.
void DrawString(CStrSpan s);
// len bytes of buf (NIL or len <= 0: nothing).
void DrawString2(const char* buf, int32 len);
// byteCount bytes from firstByte.
void DrawText(CStrSpan textBuf, int32 firstByte, int32 byteCount);

int16 CharWidth(char ch);
int16 StringWidth(CStrSpan s);
int16 TextWidth(CStrSpan textBuf, int32 firstByte, int32 byteCount);
// Width of len bytes of buf in the current port's font, capped.
int16 QD_Text_Width(const char* buf, int32 len);
