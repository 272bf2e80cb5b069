// Colour and tone operations on pixel maps, in place: darkness, inversion,
// hue shift, hue pull toward a target, grey conversion, and the RGB / HSV
// conversions they rest on. All arithmetic is integer.
//
// Darkness value: 0 .. 100, 50 leaves the picture unchanged, 0 makes it black
// and 100 white (16- and 32-bit maps). For 8-bit maps it is a percentage of
// each colour (100 unchanged, 0 black, above 100 brighter up to full scale).
#pragma once

#include "pixel/SysPix.h"
#include "platform/Types.h"

// Hue in degrees 0..359, saturation and value 0..255.
struct a_hsv_color {
  int16 h, s, v;
};

// Every byte of the block (row padding and alpha included) complemented.
void PixMap_Invert(PixMapPtr pix);

// Depth 8 through the main colour table, 16 and 32 directly; others QUIT.
void PixMap_Darkness(PixMapPtr pix, uint16 val);
// `map` holds the colours of the map's indexes; each index is darkened and
// matched back to the nearest colour of the main colour table. Index 255
// (white, transparent in stamps) is kept. `device` is not used: there is one
// colour table for every screen here.
void PixMap8_Darkness(PixMapPtr pix, uint16 factor, const a_win_pixel32 (&map)[256], void* device);
void PixMap16_Darkness(PixMapPtr pix, uint16 factor);
// Blue, green and red through the darkness table; alpha kept (0 clears every byte).
void PixMap32_Darkness(PixMapPtr pix, uint16 factor);
// map[i] := component i at darkness `factor` (limited to 0..100).
void Calc_Darkness_Map(int16 factor, uint8 (&map)[256]);

// Depth 16 only (the 8-bit one is not supported); others QUIT.
void PixMap_ColorShift(PixMapPtr pix, int16 val);
void PixMap8_ColorShift(PixMapPtr pix, int16 shift);
// Turns the hue of every pixel by `shift` degrees.
void PixMap16_ColorShift(PixMapPtr pix, int16 shift);

void RGB_To_HSV(const a_win_pixel32& rgb, a_hsv_color& hsv);
// Writes b, g, r only. A hue outside 0..359 QUIT.
void HSV_To_RGB(const a_hsv_color& hsv, a_win_pixel32& rgb);

// Pulls every hue toward targ_hue by targ_dist / 72 of the shorter way round
// (0 keeps the hue, 72 sets it), and changes the value by darkness
// targ_dark. Saturation and alpha are kept; targ_sat is accepted but has no
// rule of its own.
void PixMap32_HSV(PixMapPtr pix, int16 targ_hue, int16 targ_dist, int16 targ_dark, int16 targ_sat);

// gray := a new 8-bit map over pix's bounds with gray_ctable, each byte
// 255 - luminance (depths 16 and 32; others QUIT).
void PixMap_Gray(PixMapPtr pix, PixMap& gray);
void PixMap16_Gray(PixMapPtr pix, PixMap& gray);
void PixMap32_Gray(PixMapPtr pix, PixMap& gray);

// Every byte b of an 8-bit map becomes b x os div 128, os being opacity
// (0..100) scaled to 0..128.
void PixMap8_ScaleDensity(PixMapPtr pix, int16 opacity);
