// Regions of the host layer: GDI-style region handles over pixman's 32-bit
// regions. The names and numeric values are the ones the platform code uses
// (CombineRgn modes, region result codes), so that code reads as it would on
// the original platform.
//
// A region is a set of whole pixels: a rectangle (left, top, right, bottom)
// covers left <= x < right, top <= y < bottom. Elliptic, round-rectangle and
// polygon regions are made by the span generators of HostSpans.h, so they are
// exactly the pixels that the drawing code fills for the same arguments.
//
// Handles: CreateXxxRgn / ExtCreateRegion return a new HRGN owned by the
// caller, freed with DeleteRgn (HostRgnOwner does this automatically). Every
// call accepts a NIL, deleted or foreign handle and answers with ERROR /
// FALSE / NIL, never a crash. Coordinates are kept within +-kHostCoordLimit;
// a call that would leave that space fails with ERROR and leaves its region
// unchanged.
#pragma once

#include <pixman.h>

#include <memory>
#include <span>
#include <vector>

#include "host/HostSpans.h"
#include "platform/Types.h"

// CombineRgn modes.
constexpr int32 RGN_AND = 1;
constexpr int32 RGN_OR = 2;
constexpr int32 RGN_XOR = 3;
constexpr int32 RGN_DIFF = 4;
constexpr int32 RGN_COPY = 5;

// Region result codes (CombineRgn, OffsetRgn, GetRgnBox, SelectClipRgn ...).
constexpr int32 ERROR = 0;
constexpr int32 NULLREGION = 1;
constexpr int32 SIMPLEREGION = 2;
constexpr int32 COMPLEXREGION = 3;
constexpr int32 RGN_ERROR = ERROR;

// A region handle is a handle of the region table (HostHandles.h), never
// the address of its record: a deleted region's handle is refused by every
// call, even when its slot holds a new region.
struct HostRgnHandle;  // never defined
using HRGN = HostRgnHandle*;

// The record behind a region handle (private to HostRegion.cpp; its size is
// what a region costs).
struct HostRgn {
  HRGN handle = nullptr;
  pixman_region32_t pr;
};

// Frees a region; FALSE for NIL, a deleted region or a handle of another kind.
bool DeleteRgn(HRGN rgn);
// TRUE when obj is the handle of a live region.
bool Host_Is_Rgn(const void* obj);
// Number of live regions (leak checks and tests).
size_t Host_Rgn_Live_Count();

struct HostRgnDelete {
  using pointer = HRGN;
  void operator()(HRGN rgn) const { DeleteRgn(rgn); }
};
using HostRgnOwner = std::unique_ptr<HostRgnHandle, HostRgnDelete>;

// --- Creation (NIL on invalid input or failure) -----------------------------

// Corners are put in order first (CreateRectRgn(10, 10, 0, 0) is the
// rectangle (0, 0, 10, 10)); a rectangle of no width or height is empty.
HRGN CreateRectRgn(int32 left, int32 top, int32 right, int32 bottom);
HRGN CreateRectRgnIndirect(const RECT* r);
// The pixels of Ellipse (null pen) on the same rectangle: the ellipse of the
// pixel box Host_Shape_Box(left, top, right, bottom).
HRGN CreateEllipticRgn(int32 left, int32 top, int32 right, int32 bottom);
HRGN CreateEllipticRgnIndirect(const RECT* r);
// The pixels of RoundRect (null pen) on the same arguments.
HRGN CreateRoundRectRgn(int32 left, int32 top, int32 right, int32 bottom, int32 corner_w,
                        int32 corner_h);
// Polygon regions by the polygon rule of HostSpans.h. Fewer than 3 points
// give an empty region; a negative count, NIL points with a positive count,
// or a fill mode other than ALTERNATE / WINDING give NIL.
HRGN CreatePolygonRgn(const POINT* points, int32 count, int32 fill_mode);
HRGN CreatePolyPolygonRgn(const POINT* points, const int32* counts, int32 npolys,
                          int32 fill_mode);

// --- Changing and combining -------------------------------------------------

// Makes rgn the rectangle (corners put in order); FALSE for NIL or out of range.
bool SetRectRgn(HRGN rgn, int32 left, int32 top, int32 right, int32 bottom);
// dst := a op b (b is not used by RGN_COPY and may be NIL then). dst may be a
// or b. Result: the kind of the new dst, or ERROR (dst unchanged).
int32 CombineRgn(HRGN dst, HRGN a, HRGN b, int32 mode);
// Moves the region; result its kind, or ERROR (unchanged) for NIL or when
// the region would leave the coordinate space.
int32 OffsetRgn(HRGN rgn, int32 dx, int32 dy);

// --- Queries ------------------------------------------------------------------

// Bounding box and kind (NULLREGION with box (0, 0, 0, 0) for an empty
// region; ERROR with box (0, 0, 0, 0) for NIL).
int32 GetRgnBox(HRGN rgn, RECT* box);
// Kind of the region without the box (ERROR for NIL).
int32 Host_Rgn_Kind(HRGN rgn);
bool PtInRegion(HRGN rgn, int32 x, int32 y);
// TRUE when any pixel of the rectangle (corners put in order) is in the region.
bool RectInRegion(HRGN rgn, const RECT* r);
// Same set of pixels; FALSE when either is NIL.
bool EqualRgn(HRGN a, HRGN b);

// --- Region data --------------------------------------------------------------

constexpr uint32 RDH_RECTANGLES = 1;

// Header of a region data block, followed by nCount RECTs (the region's
// rectangles in bands: by top, then by left).
struct RGNDATAHEADER {
  uint32 dwSize;    // sizeof(RGNDATAHEADER) = 32
  uint32 iType;     // RDH_RECTANGLES
  uint32 nCount;    // number of rectangles
  uint32 nRgnSize;  // bytes of rectangle data (nCount * 16)
  RECT rcBound;     // bounding box
};
static_assert(sizeof(RGNDATAHEADER) == 32);

struct RGNDATA {
  RGNDATAHEADER rdh;
  char Buffer[16];  // the rectangles start here; the block is as long as it needs
};
static_assert(offsetof(RGNDATA, Buffer) == 32);

// Writes the region data into `data` (a block of `size` bytes). With data NIL:
// returns the bytes needed. With a block that is large enough: returns size.
// Too small, or rgn NIL: returns 0 and writes nothing.
uint32 GetRegionData(HRGN rgn, uint32 size, RGNDATA* data);

// Affine transform: x' = eM11 x + eM21 y + eDx, y' = eM12 x + eM22 y + eDy.
struct XFORM {
  float eM11, eM12, eM21, eM22, eDx, eDy;
};

// Builds a region from a region data block of `size` bytes. The header must
// say 32 / RDH_RECTANGLES and the rectangles must fit in `size`; empty
// rectangles are skipped. With an xform, each rectangle's corners are mapped:
// without shear or rotation (eM12 = eM21 = 0) each edge is mapped and
// rounded half away from zero (a flip puts the edges in order again);
// otherwise each rectangle becomes the quadrilateral of its mapped corners,
// filled by the polygon rule. NIL on a bad block, non-finite coefficients or
// results outside the coordinate space.
HRGN ExtCreateRegion(const XFORM* xform, uint32 size, const RGNDATA* data);

// --- Rectangles, spans and masks ----------------------------------------------

// The rectangles of the region in band order (for painting); empty for NIL.
std::span<const pixman_box32_t> Host_Rgn_Boxes(HRGN rgn);
// The same as RECTs.
std::vector<RECT> Host_Rgn_Rects(HRGN rgn);
// Region of exactly the pixels of a span list (NIL on failure).
HRGN Host_Rgn_From_Spans(const HostSpanList& spans);
// Replaces rgn's contents by the span list; FALSE for NIL or failure.
bool Host_Rgn_Set_Spans(HRGN rgn, const HostSpanList& spans);

// Region of the 1 bits of a 1-bit mask (rows of `rowbytes` bytes, bit 7 of
// each byte the leftmost pixel) of width x height pixels, whose pixel (0, 0)
// lands on (origin_x, origin_y). NIL when the sizes do not fit `bits`.
HRGN Host_Mask_To_Rgn(std::span<const uint8> bits, int32 rowbytes, int32 width, int32 height,
                      int32 origin_x, int32 origin_y);
// Writes the mask of the region into a 1-bit map of width x height pixels
// whose pixel (0, 0) is at (origin_x, origin_y): bits inside the region are
// 1, all others 0 (padding bits of each row included). FALSE when the sizes
// do not fit `bits` or rgn is NIL.
bool Host_Rgn_To_Mask(HRGN rgn, std::span<uint8> bits, int32 rowbytes, int32 width,
                      int32 height, int32 origin_x, int32 origin_y);
