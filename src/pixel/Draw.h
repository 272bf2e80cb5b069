// The drawing layer over the toolbox-style calls and the blits: mappings from
// real coordinates (millimetres, as a rule) to pixels with a stack of current
// mappings, the clip stack, offscreen drawing areas with their stack and
// dirty regions, stored pictures drawn whole, in part and tiled, dashed lines
// and frames, and (DrawGrad.cpp) gradient fills with an ordered dither.
//
// Everything draws into the current port. The three stacks have fixed
// depths (mappings 4, clips 4, offscreen areas 3); a push past the depth, a
// pop of an empty stack, or mapping with no mapping pushed is a caller's
// fault and goes to the internal-error hook QUIT.
//
// Reals are 32-bit; rounding is SysMath::round (halves away from zero).
#pragma once

#include "pixel/SysPix.h"
#include "pixel/SysPixt.h"
#include "platform/Quickdraw.h"
#include "platform/SysWin.h"
#include "platform/Types.h"

// --- Mappings ----------------------------------------------------------------------

// Real coordinates to pixels: pixel x = (x - fdecx) * multx + originx.
struct a_coord_mapping {
  float fdecx;    // real x that maps to originx
  float fdecy;    // real y that maps to originy
  float multx;    // pixels per real unit along x
  float multy;    // pixels per real unit along y
  float originx;  // pixel x of fdecx
  float originy;  // pixel y of fdecy
  Rect netbox;    // the mapped source rectangle (Calc_Fit_Mapping)
};

constexpr uint16 MAXCSTACK = 4;
constexpr uint16 MAXCLIPSTACK = 4;
constexpr uint16 MAXOFFSTACK = 3;

// Slots 1 .. ncstack are in use; slot ncstack is the current mapping.
extern a_coord_mapping cstack[MAXCSTACK + 1];
extern uint16 ncstack;

// Through the current mapping (QUIT when none is pushed).
void Map_FPoint(const a_fpoint& src, Point& dst);
void Map_FRect(const a_frect& src, Rect& dst);
// The same through a given mapping; the stack is not touched.
void Map_FPoint_With(const a_coord_mapping& mapping, const a_fpoint& src, Point& dst);
void Map_FRect_With(const a_coord_mapping& mapping, const a_frect& src, Rect& dst);
// Scales by the mapping's factors alone: h = round(h * multx), v = round(v * multy).
void Apply_Mapping_Point(Point src, Point& dst, const a_coord_mapping& mapping);
void Apply_Mapping_Rect(const Rect& src, Rect& dst, const a_coord_mapping& mapping);

void Push_Mapping(const a_coord_mapping& mapping);  // a fifth push calls QUIT
void Pop_Mapping();                                 // nothing pushed: QUIT
// The mapping that fits fsource into dest with one scale, centred; netbox is
// fsource mapped through it. A source of no width or height gives scale 0.
void Calc_Fit_Mapping(const a_frect& fsource, const Rect& dest, a_coord_mapping& mapping);
void Push_Fit_Mapping(const a_frect& fsource, const Rect& dest);
// Compares all fields but netbox.
bool8 Equal_CMapping(const a_coord_mapping& mapping1, const a_coord_mapping& mapping2);

// --- Clip stack ----------------------------------------------------------------------

// A saved clip; rgn NIL means the port had no clip at all.
struct a_clipstack {
  RgnHandle rgn;
};
extern a_clipstack clipstack[MAXCLIPSTACK + 1];
extern uint16 nclipstack;

void InitClip();
// Saves the current clip exactly and makes the rectangle (or region) the new
// clip. The new clip replaces the old one; it is not intersected with it. A
// third push calls QUIT.
void PushClip(const Rect& newclip);
void PushClipRgn(RgnHandle newclip);
// Restores the clip saved by the last push (nothing pushed: QUIT).
void PopClip();

// --- Offscreen areas ---------------------------------------------------------------------

struct a_off_area {
  GWorldPtr gworld;
  RgnHandle dirty;  // the part of the world changed since it was last copied out
};

struct a_off_stack_entry {
  a_gstate gstate;  // the port that was current before the push
  a_off_area area;
};
extern a_off_stack_entry off_stack[MAXOFFSTACK + 1];
extern uint16 off_nstack;
// The area of the entry popped last (NIL before the first pop).
extern a_off_area* off_last_area;

void Off_Init();
// A new 32-bit world over gbounds and an empty dirty region.
void Off_Open(const Rect& gbounds, a_off_area& area);
void Off_Close(a_off_area& area);
// Saves the current port and makes the area's world current (a fourth push
// calls QUIT).
void Off_Push(const a_off_area& area);
// Restores the saved port; off_last_area := the popped area (nothing pushed: QUIT).
void Off_Pop();
// Unites the part of dirty inside the world's bounds into the area's dirty region.
void Off_InvalRect2(a_off_area& off, const Rect& dirty);
// The same for the area on top of the stack (nothing pushed: QUIT).
void Off_InvalRect(const Rect& dirty);
// Unites the region, unclipped, into the dirty region of the area on top.
void Off_InvalRgn(RgnHandle dirty);
// The world of off_last_area to the current port over its bounds, clipped to
// its dirty region, which is then emptied. No area popped yet: nothing.
void Off_UpdateDirty();
// src of off_last_area's world to dst of the current port, unclipped.
void Off_UpdateRect(const Rect& src, const Rect& dst);
// src of off's world to dst of the current port, clipped to rgn.
void Off_UpdateRgn(const a_off_area& off, const Rect& src, const Rect& dst, RgnHandle rgn);
// bbox of the current port into the same rectangle of off's world.
void Off_Load(const a_off_area& off, const Rect& bbox);

// --- Stored pictures (DrawPixt.cpp) ---------------------------------------------------------
// Each call locks the pixture for its own duration and draws with black
// foreground and white background colours. A source rectangle that is not
// wholly inside the pixture draws nothing.

// sourcerect of the pixture to destrect of the current port, clipped to cliprgn (may be NIL).
void Pixt_DrawPartial(a_pixt& pixt, const Rect& sourcerect, const Rect& destrect, int16 mode, RgnHandle cliprgn);
// Pixt_DrawPartial without a clip; forex and opacity do not change the drawing.
void Pixt_DrawPartialT(a_pixt& pixt, const Rect& src, const Rect& dst, int16 mode, int16 forex, uint16 opacity);
// The whole pixture with its top-left corner at (cornerx, cornery), in its own mode.
void Pixt_Draw(a_pixt& pixt, int16 cornerx, int16 cornery);
// Into a pixel map: mode TRUE copies transparently (white left out), FALSE opaquely.
void Pixt_To_Pix(a_pixt& pixt, PixMapPtr destmap, const Rect& sourcerect, const Rect& destrect, bool8 mode);
// PixMap_FillRgn with the pixture's pixels, opaque.
void Pixt_FillRgn(RgnHandle rgn, a_pixt& pixt, const Rect& subset, int16 style, int16 spacex, int16 spacey);
// w := a new world of the pixture's depth, colour table and bounds holding
// its pixels; the pixture is unloaded.
void Pixt_To_GWorld(a_pixt& pixt, GWorldPtr& w);
// Bounding box of the inked pixels within search (8-bit: non-zero, 16-bit:
// not white); other depths call QUIT.
void Pixt_BoundingBox(a_pixt& pixt, const Rect& search, Rect& bounding);

// --- Tiled fills and pixel maps ---------------------------------------------------------------

// Covers fill_rect of the current port with copies of the subset of pixptr,
// spaced by spacex and spacey. style 0 draws every tile, 1 a checkerboard,
// others none. opaque copies with srcCopy, else transparent. align starts
// the grid at multiples of the tile size. A tile step of 0 or less, or a
// subset not wholly inside the map, draws nothing.
void PixMap_FillRect(const Rect& fill_rect, PixMapPtr pixptr, const Rect& subset, int16 style,
                     int16 spacex, int16 spacey, bool8 opaque, bool8 align);
// The same over a region, the grid at multiples of the tile step, each tile
// placed at (x + spacex, y + spacey), clipped to rgn by the blit.
void PixMap_FillRgn(RgnHandle rgn, PixMapPtr pix, const Rect& subset, int16 style, int16 spacex,
                    int16 spacey, bool8 opaque);
// Exchanges two pixel-map records.
void PixMap_Swap(PixMap& a, PixMap& b);
// Replaces pix by a new map of its depth and colour table holding only the
// part of subset inside it, addressed in the same coordinates (bounds = that
// part). device is not used. A subset outside the map leaves a null map.
void PixMap_Clip(PixMap& pix, const Rect& subset, bool8 device);

// --- Dashed lines and frames (pen size 1) ----------------------------------------------------

// Dashes of `unit` pixels from (x1, y1) toward (x2, y2), alternately in the
// foreground colour (first) and the background colour. A unit of 0 or less
// draws one solid line in the foreground colour.
void Dashed_Line(int16 x1, int16 y1, int16 x2, int16 y2, int16 unit);
// The edges of r in dashes of `dash` pixels (gaps white when opaque, left
// alone otherwise). A dash of 0 or less frames r solid.
void Frame_Rect_Dashed(bool8 opaque, const Rect& r, int16 dash);
void Frame_Circle(Point center, int16 diam);
// A dashed circle; a radius of 0 or less draws nothing.
void Frame_Circle_Dashed(bool8 opaque, Point center, int16 radius, int16 dash);
// A disc cut by two horizontal chords `side` pixels above and below the
// centre (a business-card disc), dashed, or solid when dash is 0. With side
// at or beyond the radius there are no chords and the whole circle is drawn.
void Frame_Biz_Dashed(bool8 opaque, Point center, int16 radius, int16 side, int16 dash);

// --- Gradients and dithered fills (DrawGrad.cpp) --------------------------------------------

constexpr uint16 MAXGRADBANDS = 500;

struct a_grad_rec {
  uint16 nbands;                        // bands in use, band 0 first
  a_win_pixel32 bands[MAXGRADBANDS];
};

enum a_dither_kind : int16 {
  LINEAR_DITHER = 0,
  RIDGES_DITHER = 1,
  CIRCULAR_DITHER = 2,
  CONTOUR_DITHER = 3,
  RAY_DITHER = 4,
  WAVY_DITHER = 5,
  DIAMOND_DITHER = 6,
};

enum a_onepass_kind : int16 { ONEPASS_LINEAR = 0, ONEPASS_RADIAL = 1, ONEPASS_DIAMOND = 2 };

// Maps a point of the painted map to the echo window (src and dst may be the same).
using EchoMapProc = void (*)(const Point& src, Point& dst);

struct a_echo_rec {
  EchoMapProc mapper_proc;
  a_gstate save_port;
  PenState save_pen;
  RGBColor save_fore;
  Point pointA, pointB;  // the line on screen
  bool8 line_flag;       // a line is on screen
  uint16 count;
};
extern a_echo_rec g_pecho;
constexpr uint16 ECHO_INTERVAL = 4;

// Ordered-dither thresholds 0 .. 7, indexed (col mod 4) x 4 + (row mod 4).
extern uint8 matrix8[16];

// Paints the gradient into pix (16 or 32 bits) inside maskbbox where the
// 1-bit mask (same coordinates as pix; a null map: everywhere) is set.
// angle is in degrees, center a point of pix, radius in pixels, twistf the
// twist of rays. echoport (NIL: none) gets a moving XOR line as progress.
// FALSE only when the contour method cannot get its working memory. fwd is
// not used.
bool8 Fill_Dither(a_dither_kind kind, PixMapPtr pix, PixMapPtr maskbits, Rect maskbbox, HWND echoport,
                  EchoMapProc echomap, bool8 fwd, const a_grad_rec* gradptr, int16 twistf, int16 angle,
                  Point center, int16 radius);

// The colour ramp: one entry per value minval .. maxval, entry 0 for minval.
void Ramp_Init(int32 minval, int32 maxval, const a_grad_rec& grad);
void Ramp_Stop();
// Entries of the current ramp (0 before Ramp_Init and after Ramp_Stop).
int32 Ramp_Count();
a_win_pixel32 Ramp_Entry(int32 index);  // index cut to the ramp

// outA below inA (or for inA = inB), outB above inB, else each channel
// outA + (outB - outA) x (inval - inA) div (inB - inA); alpha too.
void Interpolate_RGB(int32 inval, int32 inA, int32 inB, const a_win_pixel32& outA,
                     const a_win_pixel32& outB, a_win_pixel32& outval);
void Interpolate_RGB24(int32 inval, int32 inA, int32 inB, const a_pixel24& outA, const a_pixel24& outB,
                       a_pixel24& outval);
void RGB32_To_RGB16_Dithered(int16 col, int16 row, const a_win_pixel32& pix32, uint16& pix16);

void Echo_Init(HWND echoport, EchoMapProc echomap);
void Echo_Line(int16 ax, int16 ay, int16 bx, int16 by);
void Echo_Stop();

// n mod m in 0 .. m - 1, also for negative n (m > 0).
int32 MOD_Positive(int32 n, int32 m);

// --- Module ------------------------------------------------------------------------------

// Start-up: empty stacks and the dither matrix.
void Draw_Init();
