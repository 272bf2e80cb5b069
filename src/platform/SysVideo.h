// What the program knows of the screen's colours: the main colour table, the
// two 256-step grey tables of 8-bit pixel maps, the screen area available to
// windows, and the nearest-colour search over the main table.
//
// The main colour table (`g_video.main_colors32`) is the program's own fixed
// 256-colour table, filled at start-up (Main_Colors_Init). It is laid out so
// that index 0 is black and index 255 white, matching the pixel values that
// colour codes 1 and 0 paint in 8-bit worlds:
//   255 - j for j =   0 .. 214  the 6 x 6 x 6 colour cube without black:
//                               red = (5 - j div 36) * 51,
//                               green = (5 - (j div 6) mod 6) * 51,
//                               blue = (5 - j mod 6) * 51
//   255 - j for j = 215 .. 224  red ramp   238, 221, 187, 170, 136, 119, 85, 68, 34, 17
//                   225 .. 234  green ramp (the same ten levels)
//                   235 .. 244  blue ramp
//                   245 .. 254  grey ramp
//   0                           black
// The ramps hold the multiples of 17 that the cube lacks, so every channel
// level k * 17 is reachable exactly. No entry carries the "do not match" flag.
#pragma once

#include "host/HostGdi.h"
#include "platform/PixMaps.h"
#include "platform/ColorTable.h"
#include "platform/Types.h"

struct a_video_vbl {
  void* main_device;                // not used; NIL
  Rect main_bounds;                 // not used
  HPALETTE main_palette;            // the program's palette for windows; NIL until set
  CTabHandle main_ctable;           // NIL
  a_win_pixel32 main_colors32[256]; // b, g, r and a flag byte (1 = entry not to be matched)
};

extern a_video_vbl g_video;

// Grey tables of 8-bit maps: gray_ctable runs from white (index 0) to black
// (255), gray_ctable2 from black (0) to white (255). mono_ctable is NIL: the
// 1-bit maps get their colours from their own convention.
extern CTabHandle gray_ctable;
extern CTabHandle gray_ctable2;
extern CTabHandle mono_ctable;
// Custom colours of the colour chooser, kept for the whole run.
extern COLORREF custom_colors[16];
// Entries of the display's system palette: 0, we never run on a palette display.
extern int16 nsyspal;

// Module start-up: clears the record and the tables, then fills the main
// colour table (Main_Colors_Init).
void SysVideo_Init();
// Shutdown: deletes main_palette and the grey tables.
void SysVideo_Stop();

// Fills g_video.main_colors32 with the table described above.
void Main_Colors_Init();
// Entry i of the authored main colour table (also what Main_Colors_Init writes).
a_win_pixel32 Main_Color(int i);

// Builds gray_ctable and gray_ctable2 (seed 1000, flags 0, ctSize 255, entry i
// value i). Runs once from the main initialisation; a second call keeps the
// tables it made first. Out of memory calls g_err_mem_proc.
void InitGray();

// The index of the main-table entry nearest to (red >> 8, green >> 8, blue >>
// 8) by the sum of squared channel differences; entries flagged 1 are
// skipped; the first of equal distances wins; 0 when every entry is skipped.
uint8 Color2Index(const RGBColor& rgb);

// NIL: there is no main device colour table.
CTabHandle Get_Main_CTable();

// TRUE when targbox is not empty and lies wholly inside info_videoavail.
bool8 Is_Completely_Visible(const Rect& targbox);

// A 256-entry GDI palette from 256 red, green, blue triplets as stored in the
// picture library: triplet 0 goes to entry 255, triplet 255 to entry 0, every
// other triplet i to entry i; entries filled from triplets 10 .. 245 are
// marked no-collapse. NIL when fewer than 768 bytes are given. The palette
// belongs to the caller.
HPALETTE Palette_From_Triplets(std::span<const uint8> triplets);

// The colour chooser (SysColorPick.h), fully open, any colour, starting at
// color, with custom_colors as its custom colours (kept for the run). The
// program's windows are disabled while it is up, and the main window is
// enabled and active again afterwards. OK: color takes the chosen red, green
// and blue (its fourth byte stays) and the result is TRUE; cancel: FALSE,
// color unchanged. prompt is not shown.
bool8 Pick_Color(CStrSpan prompt, a_win_pixel32& color);

// Not supported on this platform: QUIT.
void Get_Inverse_Table();
// Does nothing.
inline void Set_Main_Device() {}
