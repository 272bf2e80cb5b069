// Drawing of text objects: the two pictures a laid-out text renders to (the
// text with its outline and glow, and its drop shadow), their effects
// (a chamfer distance map and a colour ramp over it, a shifted and blurred
// shadow), and what the view shows over texts (frames, overflow marks).
//
// Distances are in twelfths of a pixel: a straight step costs 12, a
// diagonal one 17. Levels are mask values 0..255; a percentage p is the
// level p x 255 / 100.
#pragma once

#include <vector>

#include "objects/VoskText.h"
#include "pixel/Draw.h"
#include "platform/PixMaps.h"
#include "platform/SysWin.h"
#include "platform/Types.h"

constexpr uint16 FAR_DISTANCE = 65000;  // no text anywhere near
constexpr int32 STRAIGHT_STEP = 12;
constexpr int32 DIAGONAL_STEP = 17;
constexpr int32 BODY_DISTANCE = 12;     // distances 0 .. 11 are the text itself
constexpr int16 TEXT_AREA_MARGIN = 50;  // unit pixels round a text's box

// Percent (limited to 0 .. 100) as a mask level.
uint8 Percent_To_Level(int32 percent);

// --- Pixels -----------------------------------------------------------------------------

// dst := a x (255 - weight) / 255 + b x weight / 255, channel by channel
// (blue, green, red, alpha), integer division.
void Blend_Pixels(a_win_pixel32& dst, a_win_pixel32 a, a_win_pixel32 b, uint8 weight);
// Within box, each non-zero value m of the 8-bit world mask becomes the
// alpha of the 32-bit world target's pixel: m x k / 128 (at most 255), k
// being percent (0 .. 100) mapped onto 0 .. 128.
void Text8_To_32(GWorldPtr mask, GWorldPtr target, const Rect& box, int16 percent);
// The box of the non-zero values of an 8-bit world within box (empty when
// there are none).
Rect Mask_Ink_Box(GWorldPtr mask, const Rect& box);

// --- Glow and outline -------------------------------------------------------------------

// What a text's effects look like in the target's pixels: radii already
// mapped (0 when the effect is off).
struct a_glow_spec {
  a_win_pixel32 base_color, outl_color, glow_color;
  uint8 text_level;  // the text's opacity
  uint8 glow_level;  // the glow's opacity
  int32 outl_radius;
  int32 glow_radius;
};

// One step of the colour ramp.
struct a_glow_entry {
  a_win_pixel32 color;
  uint8 level;
};

// ramp[d] := colour and level at distance d: the body to 11, the outline
// band to 12 + (outline radius - 1) x 6, then with a glow 6 units blending
// outline into glow and the glow fading out to the outline's end + glow
// radius x 6, without a glow the outline fading over 12 units; a glow alone
// fades from 12 to 12 + glow radius x 6. The ramp ends after its last
// visible step; it is sized from the radii given, whatever they are.
void Build_Glow_Ramp(const a_glow_spec& spec, std::vector<a_glow_entry>& ramp);

// The distance of every pixel of a box to the text.
struct a_distance_map {
  Rect box;
  std::vector<uint16> d;  // rows of box, top to bottom
};

// map := over box (limited to the coverage world), each pixel's chamfer
// distance to the text of coverage (an 8-bit world): a pixel covered c
// (1 .. 255) starts at (255 - c) x 12 / 255, the others at FAR_DISTANCE;
// rows and columns are swept both ways, then the four diagonals.
void Calc_Glow_Distance(a_distance_map& map, const Rect& box, GWorldPtr coverage);
// out (what it held is not freed) := the text picture coloured from the
// map through the ramp, over the box of the pixels the ramp gives a level;
// setbox := that box. Nothing at all: out empty, setbox empty, FALSE.
bool8 Distance_To_Glow(const a_distance_map& map, const std::vector<a_glow_entry>& ramp, a_masked_gworld& out,
                       Rect& setbox);

// --- Shadow -----------------------------------------------------------------------------

// shad (what it held is not freed) := the shadow of the text mask src
// (an 8-bit world) within src_box: its levels moved by (dx, dy), scaled by
// shadow level / text level (copied as they are when the two are equal),
// blurred radius times, coloured color, over src_box stretched toward the
// side the shadow falls and grown by radius. ubox := that box united with
// src_box. An empty src_box gives no shadow and ubox := src_box.
void Calc_Text_Shadow(Rect& ubox, a_masked_gworld& shad, GWorldPtr src, const Rect& src_box, a_win_pixel32 color,
                      int16 radius, int16 dx, int16 dy, uint8 shad_level, uint8 text_level);

// --- Rendering --------------------------------------------------------------------------

// The mapping a text's character takes: its origin and size in target
// pixels (unit pixels through mapping; not rounded, glyphs sit at
// sub-pixel places), its size scaled by the mapping's vertical factor.
struct a_mapped_char {
  float x, y;
  float size;
};
void Apply_Mapping_To_Char(const a_coord_mapping& mapping, Point origin, float size, a_mapped_char& out);

// The effects of om at mapping for a text whose coverage (text level
// times ink, an 8-bit world) was drawn: text and shad (what they held is
// not freed) := the text picture and its shadow, each over the box of
// what it shows; empty when nothing shows.
void Render_Text_Coverage(const a_om_rec* om, const a_coord_mapping& mapping, GWorldPtr coverage,
                          a_masked_gworld& text, a_masked_gworld& shad);
// OM_Render of a text of unit ux: its box grown by TEXT_AREA_MARGIN, cut to
// the unit grown by the effects' reach (the unit's paintbounds; the whole
// box when there is no such unit), mapped; the characters drawn there at
// the unit's text sizes, the effects over them. OM_Render is this for the
// current unit.
void OM_Render_In(const a_coord_mapping& mapping, a_om_rec* om, uint32 ux, a_masked_gworld& text,
                  a_masked_gworld& shad);

// --- What the view shows over texts -----------------------------------------------------

// Each overflow mark of every visible text of the current unit, in view
// vx: a 16-pixel blue disc with a white plus sign.
void Draw_Overflow_Marks(uint16 vx);
// One mark centred at a screen point.
void Draw_Overflow(Point screen);
// The word "TEXT" centred in r (the thumbnail of text objects).
void Draw_Text_Thumbnail(const Rect& r);
