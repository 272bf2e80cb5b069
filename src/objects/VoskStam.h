// Stamps and warps: the picture the stamp tool, the stamp and pattern fills
// and the stamp spray place, drawn from the stamp bar, the pattern bar or the
// brush and warped by the stamp sliders.
//
// The picture families of the bars are a_stamp_set (platform/VoskDef.h).
#pragma once

#include "platform/PixMaps.h"
#include "platform/SysErr.h"  // a_keyset
#include "platform/Types.h"
#include "platform/VoskDef.h"

// The cached stamp's family when it was made from the brush.
constexpr uint8 BRUSH_STAMPSET = 9;
// Stamp id 0 of the stamp bar is the custom stamp (the marquee's capture).
constexpr int16 CUSTOM_STAMP = 0;
// Stamp bar cells.
constexpr int16 STAMP_H = 48;
constexpr int16 STAMP_V = 48;
constexpr int16 STAMP_MARGIN = 2;

constexpr int16 DEFAULT_STAMP_SIZE = 10;
// The stamp size in per cent at a size-slider value 1 .. 19 (SliderToScaling);
// a value outside is cut to that range.
int16 Stamp_Scaling(int16 slider);

// The current fill stamp and what it was made from: the family (or
// BRUSH_STAMPSET) and id, the custom stamp's sequence number, the brush
// colour, and the warp values used. stamp is 32 bits deep, stampM its mask
// (1 or 8 bits).
struct a_stamp_cache {
  uint8 stamp_set;
  int16 stamp_id;
  uint32 stamp_seq;
  a_pixel32 stamp_color;
  bool8 warp_flipx;
  bool8 warp_flipy;
  int16 size_slider;
  int16 rotate_slider;
  int16 stretch_slider;
  int16 darkness_slider;
  int16 colorshift_slider;
  int16 skewx_slider;
  int16 skewy_slider;
  int16 bendx_slider;
  int16 bendy_slider;
  PixMap stamp;
  PixMap stampM;
};
extern a_stamp_cache gsc;

// Empties the cache with an 8 x 8 stamp (32 bits) and mask (1 bit);
// Stamp_Stop frees them.
void Stamp_Init();
void Stamp_Stop();

// Brings the cache up to date for the tool and fill in force and returns
// its stamp and mask (owned by the cache).
void Get_Fill_Stamp(PixMapPtr& stamp, PixMapPtr& mask);
// TRUE unless the cache holds the stamp bar's current library stamp made
// with every warp value now set.
bool8 Is_Warp_Changed();
// The warp values now set, into the cache.
void Cache_Warp_Parms();
// TRUE when every warp value leaves the stamp unchanged.
bool8 Is_Warp_Null();
// The rebuilds: from the library, from the custom stamp, from the pattern bar.
void Stamp_GenStamp();
void Custom_GenStamp();
void Pattern_GenStamp();
// pix := the stamp of a bar id at 32 bits and mask its mask: the custom
// stamp's world and mask for STAMP_STAMPSET id 0, else the stored picture.
// FALSE (both null) when there is no such picture.
bool8 Stamp_Get(a_stamp_set set, int16 id, PixMap& pix, PixMap& mask);

// The size a warp gives a w x h stamp before scaling: the skews, bends and
// the rotation (tenths of a degree) in turn grow the box; a step whose area
// would exceed `bound` is dropped. keep[0 .. 4] tell which steps (skew x,
// skew y, bend x, bend y, rotation) stay; TRUE when one was dropped.
bool8 Warp_Predict(int32 w, int32 h, int16 skewx, int16 skewy, int16 bendx, int16 bendy, int16 rotation,
                   uint32 bound, int32& outw, int32& outh, bool8 (&keep)[5]);
// The scaled size of a w x h picture ((w x scaling x ratio_h + 5000) div
// 10000 and the same for h), reduced by 9/10 steps while its area reaches
// `bound` or a side exceeds 32767, never below 1 x 1. TRUE when reduced.
bool8 Warp_Scaled_Size(int32 w, int32 h, int16 scaling, int16 aspect, uint32 bound, int32& outw, int32& outh);
// out_pix (32 bits) and out_mask (1 bit) := src warped: darkness (50
// unchanged), colour shift (degrees of hue), rotation (tenths of a degree),
// skews and bends (per cent), flips, then scaling (per cent) and aspect.
// The memory bound is the largest free block, at most gs.custom_limit;
// steps beyond it are dropped or the size reduced and the memory notice
// shown. The sources are left as they were. TRUE when something was
// dropped or reduced.
bool8 Warp_GenStamp2(bool8 flipx, bool8 flipy, int16 scaling, int16 rotation, int16 aspect, int16 darkness,
                     int16 colorshift, int16 skewx, int16 skewy, int16 bendx, int16 bendy, const PixMap& src_pix,
                     const PixMap& src_mask, PixMap& out_pix, PixMap& out_mask);

// Bar cells, drawn into the current port.
void Stamp_DrawElement(int16 id, const Rect& destrect);
void Pattern_DrawElement(int16 id, const Rect& destrect);
// pix fitted into destrect: scaled with smoothing when the fitted size
// differs, copied otherwise.
void Draw_Pix_To_Fit(const PixMap& pix, const Rect& destrect);

// The stamp panel's commands.
void Stamp_Plus2();
void Stamp_Minus2();
// The rotation slider moved by angle degrees, brought into -180 .. 180.
void Stamp_Rotate(int16 angle);
int16 Stamp_Rotate_Value(int16 current, int16 angle);
void Stamp_RotateCW();
void Stamp_RotateCCW();
void Stamp_FlipX();
void Stamp_FlipY();
// Keys X, Y and Z click the flip and rotate buttons; TRUE when taken.
bool8 XYZ_KeyFilter(char key);
// Both flips off, the opacity and the stamp sliders back to their defaults.
void Warp_Slider_Default();
// Bar selection hooks (nothing to do).
void Stamp_Select();
void Pattern_Select();

// key := the picture-library key of element id of a bar's family: the id-th
// picture (from 1) of the stamps (STAMP_STAMPSET), patterns
// (PATTERN_STAMPSET) or symbols (SYMBOL_STAMPSET) in key order. The null key
// when no library is open or the family has no id-th picture; any other
// family is an internal error (QUIT).
void StampID_To_Key(a_stamp_set set, int16 id, a_keyset& key);
// How many pictures the family of set holds (0 with no library open); the
// same families as StampID_To_Key.
int16 StampSet_Count(a_stamp_set set);
// The skew and bend sliders exclude each other: dragging one puts the other
// three back to their defaults.
void SkewX_Thumb();
void SkewY_Thumb();
void BendX_Thumb();
void BendY_Thumb();
