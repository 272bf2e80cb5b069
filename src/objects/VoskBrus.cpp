#include "objects/VoskBrus.h"

a_brush_cache b_cache{NULL_TOOL, 0, nullptr};

void Brush_Init() {
  // A region left from an earlier start is not lost.
  DisposeRgn(b_cache.brush_rgn);
  b_cache.brush_rgn_tool = NULL_TOOL;
  b_cache.brush_rgn_id = 0;
  b_cache.brush_rgn = NewRgn();
}

void Brush_Stop() { DisposeRgn(b_cache.brush_rgn); }
