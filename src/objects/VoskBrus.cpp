#include "objects/VoskBrus.h"

#include <array>

#include "objects/VoskStam.h"
#include "objects/VoskSwat.h"
#include "platform/PixMaps.h"
#include "platform/SysRgn.h"
#include "ui/VoskIntI.h"
#include "ui/VoskSlid.h"

a_brush_cache b_cache{NULL_TOOL, 0, nullptr};

namespace {

// One rectangle of a shape: top, left, bottom, right (bottom and right
// exclusive).
struct a_brush_rect {
  int16 top, left, bottom, right;
};
constexpr int kMaxBrushRects = 7;
struct a_brush_shape {
  int16 nrects;
  std::array<a_brush_rect, kMaxBrushRects> rects;
};

constexpr a_brush_shape Square(int16 side) { return {1, {{{0, 0, side, side}}}}; }

constexpr std::array<a_brush_shape, NBRUSH_SHAPES> kBrushShapes = {{
    Square(1),
    Square(2),
    Square(3),
    Square(4),
    Square(5),
    Square(7),
    Square(9),
    Square(11),
    {1, {{{0, 0, 2, 1}}}},
    {2, {{{0, 1, 3, 2}, {1, 0, 2, 3}}}},
    {3, {{{0, 1, 1, 3}, {1, 0, 3, 4}, {3, 1, 4, 3}}}},
    {3, {{{0, 1, 1, 5}, {1, 0, 5, 6}, {5, 1, 6, 5}}}},
    {5, {{{0, 2, 1, 5}, {1, 1, 2, 6}, {2, 0, 5, 7}, {5, 1, 6, 6}, {6, 2, 7, 5}}}},
    {5, {{{0, 3, 1, 6}, {1, 1, 3, 8}, {3, 0, 6, 9}, {6, 1, 8, 8}, {8, 3, 9, 6}}}},
    {7, {{{0, 4, 1, 7}, {1, 2, 2, 9}, {2, 1, 4, 10}, {4, 0, 7, 11}, {7, 1, 9, 10}, {9, 2, 10, 9}, {10, 4, 11, 7}}}},
    {7, {{{0, 4, 1, 9}, {1, 2, 2, 11}, {2, 1, 4, 12}, {4, 0, 9, 13}, {9, 1, 11, 12}, {11, 2, 12, 11}, {12, 4, 13, 9}}}},
    {1, {{{0, 0, 3, 1}}}},
    {2, {{{0, 0, 1, 2}, {1, 0, 2, 1}}}},
    {2, {{{1, 0, 3, 1}, {0, 1, 2, 2}}}},
    {2, {{{0, 1, 1, 3}, {1, 0, 2, 2}}}},
    {3, {{{0, 2, 1, 3}, {1, 0, 2, 3}, {2, 0, 3, 1}}}},
    {4, {{{1, 0, 3, 1}, {0, 1, 1, 2}, {3, 1, 4, 2}, {1, 2, 3, 3}}}},
    {3, {{{0, 1, 1, 3}, {1, 0, 2, 4}, {2, 1, 3, 3}}}},
    {4, {{{0, 3, 2, 4}, {1, 2, 3, 3}, {2, 1, 4, 2}, {3, 0, 5, 1}}}},
}};

void Need_Region(RgnHandle rgn) {
  if (rgn == nullptr) g_err_mem_proc(0);
}

}  // namespace

void Brush_Init() {
  // A region left from an earlier start is not lost.
  DisposeRgn(b_cache.brush_rgn);
  b_cache.brush_rgn_tool = NULL_TOOL;
  b_cache.brush_rgn_id = 0;
  b_cache.brush_rgn = NewRgn();
  Need_Region(b_cache.brush_rgn);
}

void Brush_Stop() {
  DisposeRgn(b_cache.brush_rgn);
  b_cache.brush_rgn = nullptr;
}

void Brush_GenRgn(int16 shape, RgnHandle rgn) {
  if (shape < 0 || shape >= NBRUSH_SHAPES) shape = DEFAULT_BRUSH_SELECTION;
  const a_brush_shape& s = kBrushShapes[static_cast<size_t>(shape)];
  SetEmptyRgn(rgn);
  RgnHandle part = NewRgn();
  Need_Region(part);
  for (int16 i = 0; i < s.nrects; ++i) {
    const a_brush_rect& r = s.rects[static_cast<size_t>(i)];
    RectRgn(part, Rect{r.top, r.left, r.bottom, r.right});
    UnionRgn(rgn, part, rgn);
  }
  DisposeRgn(part);
}

int16 Eraser_Size(int16 index) {
  constexpr int16 n = static_cast<int16>(std::size(EraserxToSize));
  return EraserxToSize[index < 0 ? 0 : index >= n ? n - 1 : index];
}

RgnHandle Get_Brush_Rgn() {
  const a_tool tool = gs.tool_net;
  int16 id = 0;
  if (tool == ERASER_TOOL) {
    id = gs.grid_vals[ERASER_GRID];
  } else if (tool == BRUSH_TOOL) {
    id = gs.grid_vals[BRUSH_SHAPE_GRID];
  } else {
    return b_cache.brush_rgn;
  }
  if (b_cache.brush_rgn_tool == tool && b_cache.brush_rgn_id == id) return b_cache.brush_rgn;
  if (tool == ERASER_TOOL) {
    const int16 side = Eraser_Size(id);
    RectRgn(b_cache.brush_rgn, Rect{0, 0, side, side});
  } else {
    Brush_GenRgn(id, b_cache.brush_rgn);
  }
  b_cache.brush_rgn_tool = tool;
  b_cache.brush_rgn_id = id;
  return b_cache.brush_rgn;
}

void Brush_Select() {
  const int16 spacing = Calc_Default_BSpacing(gs.grid_vals[BRUSH_SHAPE_GRID]);
  if (gs.slider_vals[BRUSH_SPACING_SLIDER] != spacing) Slider_Blast(BRUSH_SPACING_SLIDER, spacing);
}

void Brush_GenStamp() {
  const int16 shape = gs.grid_vals[BRUSH_SHAPE_GRID];
  RgnHandle rgn = NewRgn();
  Need_Region(rgn);
  Brush_GenRgn(shape, rgn);
  PixMap mask;
  Null_PixMap(mask);
  Rgn_To_PixMap1(rgn, mask);
  DisposeRgn(rgn);
  if (Is_Null_PixMap(mask)) return;
  PixMap stamp;
  New_PixMap(stamp, mask.bounds, 32, nullptr);
  if (Is_Null_PixMap(stamp)) {
    Dispose_PixMap(mask);
    return;
  }
  // Cells outside the shape are white and clear, those inside the colour.
  const int32 w = mask.bounds.right - mask.bounds.left;
  const int32 h = mask.bounds.bottom - mask.bounds.top;
  a_pixel32 color = gs.fill_color32;
  color.a = 255;
  for (int32 y = 0; y < h; ++y) {
    const auto* mrow = reinterpret_cast<const uint8*>(mask.baseAddr) + y * PixMap_RowBytes(mask);
    auto* srow = reinterpret_cast<a_pixel32*>(stamp.baseAddr + y * PixMap_RowBytes(stamp));
    for (int32 x = 0; x < w; ++x) {
      const bool inside = (mrow[x >> 3] & (0x80 >> (x & 7))) != 0;
      if (inside) {
        srow[x] = color;
      } else {
        srow[x].raw = 0x00FFFFFF;
      }
    }
  }
  Dispose_PixMap(gsc.stamp);
  Dispose_PixMap(gsc.stampM);
  gsc.stamp = stamp;
  gsc.stampM = mask;
  gsc.stamp_set = BRUSH_STAMPSET;
  gsc.stamp_id = shape;
  gsc.stamp_color = gs.fill_color32;
  Swatch_PostUpdate();
}
