// The spray can: its dot patterns and the warped variants of the stamp it
// sprays.
#pragma once

#include "pixel/DrawUtilDraw.h"  // a_pointlist_rec
#include "platform/PixMaps.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

enum a_spray_spread : uint8 { UNIFORM_SPREAD = 0, LOOSE_SPREAD = 1, NORMAL_SPREAD = 2, TIGHT_SPREAD = 3 };
enum a_spray_method : uint8 { NULL_SPRAY = 0, POINTLIST_SPRAY = 1, BITMAP_SPRAY = 2, STAMP_SPRAY = 3 };
constexpr int16 MAX_SPRAY_VARIANTS = 12;

struct a_spray_rec {
  int16 radius;
  a_spray_spread spreadx;
  int16 spread;
  uint16 ndots;
  a_spray_method method;
  int16 stamp_ix;   // STAMP_SPRAY: the stamp bar's selection
  int16 stamp_n;    // variants made (0 .. MAX_SPRAY_VARIANTS)
  PixMap stamp_pix[MAX_SPRAY_VARIANTS];
  PixMap stamp_masks[MAX_SPRAY_VARIANTS];
};
extern a_spray_rec g_spray;

// Dots per imprint of a spray of radius r: (2r + 1)^2 x d div 785, d = 7
// below 16, else 3.
constexpr uint16 Spray_NDots(int16 r) {
  return static_cast<uint16>((2 * r + 1) * (2 * r + 1) * (r < 16 ? 7 : 3) / 785);
}
// spread by kind: 1, 2, 3, 6.
int16 Spray_Spread(a_spray_spread kind);
// The method a fill takes (opacity: the paint opacity slider's value).
a_spray_method Spray_Method_For(a_fill_kind fill, int16 opacity);
// Variants a stamp of `area` pixels gets under `limit` bytes.
int16 Spray_Variant_Count(int32 area, uint32 limit);
// The radius a sprayed stamp lands within, for spray radius r.
int16 Spray_Stamp_Radius(int16 r);

// Sets the record up for the fill, spread and radius in force (rebuilt
// only when one changed, or the stamp bar selection for stamps).
void Spray_Init(a_spray_spread spreadx);
// Frees the method's data; the method becomes NULL_SPRAY.
void Spray_Stop();
// bits := a fresh 1-bit map of (2r + 1) x (2r + 1) with the record's dots.
void Spray_GetBitMap(PixMap& bits, int16 radius);
// list := the record's dots around the origin; bounds their bounding box.
void Spray_GetPointlist(a_pointlist_rec* list, int16 radius, Rect& bounds);
// pix, mask := the plain fill stamp or one of the variants, chosen at random
// (owned by the record or the stamp cache); offset := where it lands from
// the point, at random within Spray_Stamp_Radius(radius), spread 3.
void Spray_GetStamp(PixMapPtr& pix, PixMapPtr& mask, int16 radius, Point& offset);
