// What the text module's parts share: the working tables of one layout pass
// (line breaks and per-character widths), the numbers the layouts work
// with, storing computed places, overflow marks and the frame's point list.
// Only the text module includes it.
#pragma once

#include "objects/VoskText.h"
#include "pixel/DrawUtilDraw.h"  // POINTLIST_BREAK
#include "platform/SysErr.h"
#include "platform/SysMem.h"

constexpr int32 MAX_TEXT_LINES = 1000;

// One line of the pass: characters first .. last (indexes into xyl), from
// the first's start to the last's running end.
struct a_line_break {
  int32 first, last;
  float startx, endx;
};
struct a_text_breaks {
  uint32 nlines;
  a_line_break lines[MAX_TEXT_LINES];
};

// One character of the pass: its font height and ascent, its advance, where
// it starts and ends along the text, the running end so far and (columns
// only) its own width, by which it is centred in its column.
struct a_char_widths {
  float height, ascent, advance, start, end, runend, own;
};

// What every layout of one pass works with.
struct a_layout_pass {
  a_om_rec* om;
  uint32 ux;
  Rect canvas;      // the unit's canvas, unit pixels
  float pixsize;    // the object's size in pixels
  float linedist;   // line distance
  float ascent, descent;
  int32 eos;        // index of the end-of-string entry
};

extern a_text_breaks g_breaks;
extern a_char_widths g_ow[MAX_NXYL];

// Whether the width scan and the line breaks count a character (and the
// placement gives it a place): regular characters, spaces and breaks.
inline bool Is_Laid_Cat(a_char_category c) { return c == CC_REGULAR || c == CC_SPACE || c == CC_HARDBREAK; }

inline int16 Text_Clamp16(int64 v) { return int16(v < -32768 ? -32768 : (v > 32767 ? 32767 : v)); }

inline bool Is_High_Surrogate(UniChar c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool Is_Low_Surrogate(UniChar c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Text object omx of the current unit to be rendered again where it draws:
// its box with the effects' reach (Obj_PostRender counts the net box).
void Text_PostRender(int32 omx);

// Line length of the pass's longest line.
float Longest_Line();
// Character i's place: rounded into the record's 16-bit fields; a place that
// does not fit makes the character CC_OVERFLOW at (0, 0).
void Store_Place(a_xyl_char& c, double x, double y, double tenths);
// The character overflows: no place and no angle.
void Overflow_Char(a_xyl_char& c);

// The cache made ready for straight lines (RECT_PATH), and one line added
// (NIL when all 300 are there or no memory can be had).
void Start_Linear_Paths(a_path_cache& cache);
a_linear_path* Add_Linear_Path(a_path_cache& cache, const a_linear_path& line);
// The box round a straight or column frame: 10 pixels round it, 20 below.
Rect Box_Of_Frame(const a_om_rec& om);

// Frame building: the frame emptied; points appended while there is room.
int32 Frame_Room(const a_om_rec& om);
void Frame_Clear(a_om_rec& om);
void Frame_Add(a_om_rec& om, double x, double y);
void Frame_Break(a_om_rec& om);
// The frame's bounds (empty for no points).
Rect Frame_Bounds(const a_om_rec& om);

// The layouts on paths (VoskTextPath.cpp); the pass's tables are filled.
void Reformat_Spiral(a_layout_pass& p);
void Reformat_Spoke(a_layout_pass& p);
void Reformat_Contour(a_layout_pass& p);
void Reformat_Vert(a_layout_pass& p);
// The outlines of every points path of the cache, to fill the frame.
void Path_To_Frame(a_om_rec& om, float ascent, float descent);
// Radius per cent of half the unit's smaller side in pixels, and back
// (limited to the radius slider's range).
float Radius_To_Pixels(const Rect& canvas, float r);
int16 Pixels_To_Radius(const Rect& canvas, float pixels);
