#include "objects/VoskSpra.h"

#include <algorithm>

#include "objects/VoskStam.h"
#include "pixel/Asm.h"
#include "pixel/Fast.h"
#include "ui/VoskCurs.h"
#include "ui/VoskIntI.h"

a_spray_rec g_spray{};

int16 Spray_Spread(a_spray_spread kind) {
  switch (kind) {
    case LOOSE_SPREAD: return 2;
    case NORMAL_SPREAD: return 3;
    case TIGHT_SPREAD: return 6;
    default: return 1;
  }
}

a_spray_method Spray_Method_For(a_fill_kind fill, int16 opacity) {
  switch (fill) {
    case COLOR_FILL: return opacity >= 100 ? BITMAP_SPRAY : POINTLIST_SPRAY;
    case GRADIENT_FILL: return POINTLIST_SPRAY;
    case STAMP_FILL: return STAMP_SPRAY;
    default: return NULL_SPRAY;
  }
}

int16 Spray_Variant_Count(int32 area, uint32 limit) {
  if (area <= 0 || 4 * static_cast<int64_t>(area) >= limit) return 0;
  int64_t n = std::min<int64_t>(limit / (2 * static_cast<int64_t>(area)), MAX_SPRAY_VARIANTS);
  if (n >= 4 && 2 * static_cast<int64_t>(area) > 40000) n = 3;
  return static_cast<int16>(n);
}

int16 Spray_Stamp_Radius(int16 r) { return static_cast<int16>(10 + 70 * (r - 5) / 35); }

void Spray_Stop() {
  for (int16 i = 0; i < MAX_SPRAY_VARIANTS; ++i) {
    Dispose_PixMap(g_spray.stamp_pix[i]);
    Dispose_PixMap(g_spray.stamp_masks[i]);
  }
  g_spray.stamp_n = 0;
  g_spray.method = NULL_SPRAY;
}

namespace {

// The warped variants of the fill stamp: each turned a further step round
// and darkened or lightened a little at random.
void Make_Variants() {
  PixMapPtr stamp = nullptr, mask = nullptr;
  Get_Fill_Stamp(stamp, mask);
  const int32 area = stamp == nullptr || Is_Null_PixMap(*stamp)
                         ? 0
                         : int32(stamp->bounds.right - stamp->bounds.left) * (stamp->bounds.bottom - stamp->bounds.top);
  const int16 n = Spray_Variant_Count(area, gs.custom_limit);
  const bool8 human = gs.controller == HUMAN;
  if (n > 0 && human) Cursor_Push_Watch();
  for (int16 i = 1; i <= n; ++i) {
    const int16 rotation = n == 1 ? int16{15} : static_cast<int16>(360 * i / (n + 1));
    const int16 darkness = RandomRangeU(40, 60, *gs.spray_seedU);
    Warp_GenStamp2(false, false, 100, rotation, 0, darkness, 0, 0, 0, 0, 0, *stamp, *mask,
                   g_spray.stamp_pix[i - 1], g_spray.stamp_masks[i - 1]);
  }
  if (n > 0 && human) Cursor_Pop();
  g_spray.stamp_n = n;
}

}  // namespace

void Spray_Init(a_spray_spread spreadx) {
  const a_spray_method method = Spray_Method_For(gs.fill_kind, gs.slider_vals[PAINT_OPACITY_SLIDER]);
  const int16 radius = gs.slider_vals[SPRAY_RADIUS_SLIDER];
  const bool same = method == g_spray.method && spreadx == g_spray.spreadx && radius == g_spray.radius &&
                    (method != STAMP_SPRAY || g_spray.stamp_ix == gs.bar_selection[STAMP_BAR]);
  if (same) return;
  Spray_Stop();
  g_spray.method = method;
  g_spray.spreadx = spreadx;
  g_spray.radius = radius;
  g_spray.spread = Spray_Spread(spreadx);
  g_spray.ndots = Spray_NDots(radius);
  if (method == STAMP_SPRAY) {
    g_spray.stamp_ix = gs.bar_selection[STAMP_BAR];
    Make_Variants();
  }
}

void Spray_GetBitMap(PixMap& bits, int16 radius) {
  const int16 side = static_cast<int16>(2 * radius + 1);
  New_PixMap(bits, Rect{0, 0, side, side}, 1, nullptr);
  if (Is_Null_PixMap(bits) || gs.spray_seedU == nullptr) return;
  GenRandomMask(g_spray.ndots, g_spray.spread, radius, &bits, *gs.spray_seedU);
}

void Spray_GetPointlist(a_pointlist_rec* list, int16 radius, Rect& bounds) {
  bounds = Rect{0, 0, 0, 0};
  list->npoints = 0;
  uint16 seed = static_cast<uint16>(gs.spray_seed);
  for (uint16 i = 0; i < g_spray.ndots && list->npoints < list->max; ++i) {
    Point p{};
    RandomPoint(seed, g_spray.spread, radius, p);
    list->points[list->npoints++] = p;
    const Rect cell{p.v, p.h, static_cast<int16>(p.v + 1), static_cast<int16>(p.h + 1)};
    if (list->npoints == 1) {
      bounds = cell;
    } else {
      bounds.top = std::min(bounds.top, cell.top);
      bounds.left = std::min(bounds.left, cell.left);
      bounds.bottom = std::max(bounds.bottom, cell.bottom);
      bounds.right = std::max(bounds.right, cell.right);
    }
  }
  gs.spray_seed = static_cast<int16>(seed);
}

void Spray_GetStamp(PixMapPtr& pix, PixMapPtr& mask, int16 radius, Point& offset) {
  Get_Fill_Stamp(pix, mask);
  offset = Point{0, 0};
  uint16 seed = static_cast<uint16>(gs.spray_seed);
  RandomPoint(seed, 3, std::max<int16>(Spray_Stamp_Radius(radius), 0), offset);
  gs.spray_seed = static_cast<int16>(seed);
  if (g_spray.stamp_n <= 0 || gs.spray_seedU == nullptr) return;
  const int16 k = RandomRangeU(0, g_spray.stamp_n, *gs.spray_seedU);
  if (k == 0 || Is_Null_PixMap(g_spray.stamp_pix[k - 1])) return;
  pix = &g_spray.stamp_pix[k - 1];
  mask = &g_spray.stamp_masks[k - 1];
}
