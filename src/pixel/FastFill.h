// Pixel walking: seed fills that find the 4-connected area of equal colour
// around a seed and record it in a 1-bit mask, and the line steppers DDA
// and Bresenham.
#pragma once

#include "pixel/SysPix.h"
#include "platform/Types.h"

// Seed fills. The pixel map and the 1-bit mask cover the same area and are
// addressed with the same offsets from the mask's top-left corner; the seed
// is in the mask's coordinates. Every pixel of the area equal to the seed
// pixel (8 and 16 bits: all bits; 32 bits: blue, green and red, alpha
// ignored) gets its mask bit set; diagonal neighbours are not connected.
// Mask bits already set act as walls: such pixels are neither filled nor
// crossed. bbox receives the filled area's bounding box in mask coordinates.
//
// The fill covers the area the mask and the pixel map share; a seed outside
// it fills nothing and gives an empty bbox (all 0). The pending-seed stack
// grows as needed, so large or intricate areas fill completely.
void PixMap8_SeedFill(PixMapPtr pix_arg, PixMapPtr mask_arg, int16 seedx, int16 seedy, Rect& bbox);
void PixMap16_SeedFill(PixMapPtr pix_arg, PixMapPtr mask_arg, int16 seedx, int16 seedy, Rect& bbox);
void PixMap32_SeedFill(PixMapPtr pix_arg, PixMapPtr mask_arg, int16 seedx, int16 seedy, Rect& bbox);

// Imprint procedure of DDA: x horizontal, y vertical.
using a_imprint_proc = void (*)(int16 x, int16 y, void* data);

// Calls imprint(h, v, data) at every pixel of the segment from p1 to p2, both
// ends included, one step along the major axis at a time (horizontal on
// ties): max(|dh|, |dv|) + 1 calls, the first at p1 and the last at p2.
void DDA(Point p1, Point p2, a_imprint_proc imprint, void* data);

// Step procedure of Bresenham: the pixel reached and whether the step to it
// moved both coordinates (a diagonal step).
using a_walk_proc = void (*)(Point pt, bool8 diagonal, void* data);

// The steps of DDA's walk from p1 to p2: step(pixel, diagonal, data) at
// every pixel after p1, p2 the last; max(|dh|, |dv|) calls, none when the
// two are the same pixel.
void Bresenham(Point p1, Point p2, a_walk_proc step, void* data);
