// The blit layer: every copy of pixels between bare pixel maps, offscreen
// worlds and windows (or printers: anything reached through a device
// context) goes through here. For each request it picks the path for the
// pair of holders, clips, chooses the kernel of Asm32Blt.h by source and
// destination depth, builds a temporary map where no kernel serves a depth
// pair at the wanted size, and reports unsupported combinations through
// QUIT.
//
// Holders and coordinates:
// - A GWorldPtr argument that is NIL means the current world theGWorld;
//   when that is NIL too, the holder is the current window, reached through
//   theHDC. A PixMapPtr argument is never replaced.
// - Rectangles are in the coordinates of their own holder (a map's or
//   world's bounds, a window's logical coordinates) and taken by value.
// - `clip` is a region in destination coordinates, or NIL. Copies into maps
//   and worlds clip to the region's bounding box; copies that end in a
//   device context clip to the region itself. A clipped scaled copy draws
//   exactly the pixels the unclipped copy would draw inside the box: the
//   source is cut in proportion, never by the destination's pixel count.
// - 1-bit sources draw in the current port's colours: back colour for clear
//   bits, fore colour for set bits (their indices into 8-bit maps).
// - `blend` copies weigh the source by the current port's opacity
//   (Set_Blend_Value); every other mode uses 255.
// - `ditherCopy` between maps of different sizes without a clip is a
//   smooth (cubic) scale for 32-bit maps and grey 8-bit maps; otherwise it
//   is srcCopy.
#pragma once

#include "host/HostGdi.h"
#include "pixel/Matrix.h"
#include "pixel/SysPix.h"
#include "platform/Quickdraw.h"
#include "platform/SysWin.h"
#include "platform/Types.h"

enum a_channel : int16 { R_CHANNEL = 0, G_CHANNEL = 1, B_CHANNEL = 2, A_CHANNEL = 3 };

// The saved screen area (Save_Screen): the world that holds it and the part
// of the screen it covers; NIL and empty at start.
extern GWorldPtr ss_off;
extern Rect ss_box;

// Module start-up: no saved screen area.
void SysBlt_Init();
// Frees the saved screen area.
void SysBlt_Stop();

// --- Copies between holders -------------------------------------------------------

// Map to map: the core of the module.
void Pix_To_Pix(PixMapPtr src, PixMapPtr dst, Rect src_rect, Rect dst_rect, int16 mode, RgnHandle clip);
// Map to world (Pix_To_Pix into its map) or, with no world, to the current window.
void Pix_To_Port(PixMapPtr src, GWorldPtr dst, Rect src_rect, Rect dst_rect, int16 mode, RgnHandle clip);
// World to map; a window source is not supported (QUIT).
void Port_To_Pix(GWorldPtr src, PixMapPtr dst, Rect src_rect, Rect dst_rect, int16 mode, RgnHandle clip);
// Any holder to any holder. Two worlds with a clip in modes srcCopy ..
// notSrcBic go through the host's StretchDIBits into the destination
// world's context, clipped to the region's shape.
void Port_To_Port(GWorldPtr src, GWorldPtr dst, Rect src_rect, Rect dst_rect, int16 mode, RgnHandle clip);
// src_rect of the source world drawn into the destination world through
// `matrix`, which maps source world coordinates to destination world
// coordinates (Matrix.h). 32-bit worlds and 8-bit grey worlds are sampled
// bilinearly, other like depths by the nearest pixel. A matrix that keeps
// rectangles upright (scale, flip, move, quarter turn) fills exactly
// TransformRect's rectangle of src_rect; under any other matrix a destination
// pixel is drawn when its centre maps inside src_rect. Worlds of different depths, or
// a missing world, call QUIT. With a clip only its bounding box is drawn.
void Port_To_Port_Matrix(GWorldPtr src_w, GWorldPtr dst_w, Rect src_rect, const MatrixRecord* matrix,
                         RgnHandle clip);
// Map to a device context. `transparent` leaves out white pixels of 32-bit
// sources; srcOr paints the fore colour where a 1-bit source is set; modes
// srcCopy .. notSrcBic use their raster operations. A context takes no
// other mode: for one (alpha, blend, transparency of a shallower source) the
// context's pixels under dst_rect are read into an offscreen map, combined
// there as Pix_To_Pix does, and copied back.
void Pix_To_Win(PixMapPtr src, HDC dst_hdc, Rect src_rect, Rect dst_rect, int16 mode, RgnHandle clip);
// StretchBlt between contexts with the raster operation of mode (0 .. 7);
// the clip is not applied. Other modes read the source offscreen first and
// go on as Pix_To_Win.
void Win_To_Win(HDC src_hdc, HDC dst_hdc, Rect src_rect, Rect dst_rect, int16 mode, RgnHandle clip);
// The context's pixels under src_rect read offscreen, then Pix_To_Pix.
void Win_To_Pix(HDC src_hdc, PixMapPtr dst, Rect src_rect, Rect dst_rect, int16 mode);

// --- Copies through a 1-bit mask (mask bit 1 copies the source pixel) -------------
// The mask rectangle is the part of the mask that belongs to src_rect.

void Pix_To_PixM(PixMapPtr src, PixMapPtr mask, PixMapPtr dst, Rect src_rect, Rect mask_rect, Rect dst_rect);
// An 8-bit mask goes to Pix_To_Port_Deep.
void Pix_To_PortM(PixMapPtr src, PixMapPtr mask, GWorldPtr dst, Rect src_rect, Rect mask_rect, Rect dst_rect,
                  RgnHandle clip);
void Pix_To_WinM(PixMapPtr src, PixMapPtr mask, HDC dst_hdc, Rect src_rect, Rect mask_rect, Rect dst_rect,
                 RgnHandle clip);
void Port_To_PixM(GWorldPtr src, PixMapPtr mask, PixMapPtr dst, Rect src_rect, Rect mask_rect, Rect dst_rect);
void Port_To_PortM(GWorldPtr src, PixMapPtr mask, GWorldPtr dst, Rect src_rect, Rect mask_rect, Rect dst_rect,
                   RgnHandle clip);
// All three maps 1-bit, equal sizes.
void CopyMask1(PixMapPtr src, PixMapPtr mask, PixMapPtr dst, Rect src_rect, Rect mask_rect, Rect dst_rect);

// --- Copies through an 8-bit mask, and blends --------------------------------------

// NIL mask: Port_To_Port with srcCopy; otherwise Pix_To_Port_Deep of the worlds' maps.
void Port_To_Port_Deep(GWorldPtr src, GWorldPtr mask, GWorldPtr dst, Rect src_rect, Rect mask_rect,
                       Rect dst_rect, RgnHandle clip);
// Weighted copy through an 8-bit coverage mask (255 all source, 0 none)
// into a world of 24 or 32 bits; a source of another depth (8 or 16 bits) is
// blended from a copy at the world's depth. Into a world a clip must be
// rectangular (else QUIT). With no world at all the current window
// is the destination: the blend is made in a temporary world of the
// source's depth (32 bits for a shallower source) over what the window
// shows, and copied back through the clip's own shape.
void Pix_To_Port_Deep(PixMapPtr src, PixMapPtr mask, GWorldPtr dst, Rect src_rect, Rect mask_rect, Rect dst_rect,
                      RgnHandle clip);
// The current port's opacity := opacity (per cent, above 100 counts as 100) x 255 div 100.
void Set_Blend_Value(uint16 opacity);
// src_pix scaled into dst_bounds, blended at opacity per cent over the
// current world and laid down through the scaled mask.
void CopyMask_Blend(uint16 opacity, PixMapPtr src_pix, PixMapPtr src_mask, Rect dst_bounds, RgnHandle clip);

// --- Services ---------------------------------------------------------------------

// Seed fill of the world (NIL: the current world) by its depth 8, 16 or 32.
void SeedFill(GWorldPtr src, PixMapPtr mask, int16 seedH, int16 seedV, Rect& bbox);
// Keeps a copy of gbox (within the screen) of the current port; an area
// wholly off the screen frees the copy.
void Save_Screen(Rect gbox);
// Puts the saved copy back into the current port.
void Restore_Screen();
// One byte of each 32-bit pixel of src_world within box (world coordinates,
// cut to both worlds) into the 8-bit dst_world; used := the bounding box of
// the non-zero results, (0, 0, 0, 0) when there are none.
void Extract_Channel(a_channel channel, GWorldPtr src_world, GWorldPtr dst_world, Rect box, Rect& used);

// --- Resamplers (SysBltResample.cpp) ---------------------------------------------

// Smooth separable cubic scale of src_rect into dst_rect: 32-bit to 32-bit
// (all four bytes) or 8-bit to 8-bit (one channel). Reductions widen the
// kernel so every source pixel counts. A flat area stays exactly flat, and
// equal sizes copy exactly. Other depth pairs do nothing and return FALSE.
bool8 Bicubic_Blt(const PixMap* src, const PixMap* dst, Rect src_rect, Rect dst_rect);
// src_rect of src through matrix (source map coordinates to destination map
// coordinates) into dst, only within `limit` (destination coordinates).
// `smooth` samples bilinearly (32-bit maps and 8-bit levels); otherwise the
// nearest pixel. Upright matrices draw exactly the rectangle TransformRect
// gives for src_rect (edges rounded halves up); others draw the pixels whose
// centres map inside src_rect. FALSE (nothing drawn) for different depths,
// depth 1, or a matrix without inverse.
bool8 Matrix_Blt(const PixMap* src, const PixMap* dst, Rect src_rect, const MatrixRecord& matrix,
                 const Rect& limit, bool8 smooth);
