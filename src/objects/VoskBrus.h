// Brushes of the paint tools: the shapes the brush imprints (chosen in the
// brush-shape grid), the spacing each starts with, and the cached region of
// the brush in use.
#pragma once

#include "platform/Quickdraw.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// Brush shapes, by the value of the brush-shape grid: squares of side 1 to
// 11 (0 .. 7), then round and slanted brushes.
constexpr int16 NBRUSH_SHAPES = 24;
constexpr int16 DEFAULT_BRUSH_SELECTION = 0;

// The spacing (cells between imprints) a shape starts with.
inline constexpr int16 BRUSH_DEFAULT_SPACING[NBRUSH_SHAPES] = {1, 2, 2, 2, 2,  3,  4,  4,  2, 5, 6, 8,
                                                               10, 12, 14, 17, 2, 4, 4, 4, 5, 4, 4, 4};
// The default spacing of brush shape `shape`; a shape outside the grid has
// the spacing of the default shape.
constexpr int16 Calc_Default_BSpacing(int16 shape) {
  return BRUSH_DEFAULT_SPACING[shape >= 0 && shape < NBRUSH_SHAPES ? shape : DEFAULT_BRUSH_SELECTION];
}

// The brush region last built: for which tool (the brush or the eraser) and
// which shape or eraser size.
struct a_brush_cache {
  a_tool brush_rgn_tool;
  int16 brush_rgn_id;
  RgnHandle brush_rgn;
};
extern a_brush_cache b_cache;

// Empties the cache (tool NULL_TOOL, id 0) and makes its empty region; no
// memory for it calls the out-of-memory hook. Brush_Stop frees the region.
void Brush_Init();
void Brush_Stop();

// rgn := the brush shape's cells (a union of rectangles, top-left at the
// origin); a shape outside the grid is the default shape.
void Brush_GenRgn(int16 shape, RgnHandle rgn);
// The side of the eraser square at an ERASER_GRID value; a value outside
// the table takes its last entry.
int16 Eraser_Size(int16 index);
// The brush region for the tool in force: the eraser square, or the brush
// shape; rebuilt only when the tool or the index changed. Other tools get
// the cached region as it is.
RgnHandle Get_Brush_Rgn();
// Brush shape chosen: the spacing slider goes to the shape's default.
void Brush_Select();
// The fill stamp from the brush: mask the brush region as a 1-bit map,
// stamp that map in gs.fill_color32; the stamp cache records the brush.
void Brush_GenStamp();
