// Pixel-copy kernels: each moves one rectangle of a source map into a
// rectangle of a destination map for one pair of depths, with a transfer
// mode, optionally through a 1-bit or an 8-bit mask, and (where listed)
// with nearest-neighbour scaling. The blit layer picks the kernel and
// supplies colours and tables; the kernels allocate nothing, keep no state
// and report nothing.
//
// Common rules:
// - Rectangles are in the coordinates of their own map; bottom and right are
//   exclusive. Of a mask rectangle only the top-left corner is used: it is
//   the mask pixel that belongs to the source rectangle's top-left pixel, and
//   the mask is sampled at source resolution.
// - Same size (width and height equal): the destination rectangle is clipped
//   to the destination map and the source and mask origins move with it.
//   Rows run top to bottom, pixels left to right.
// - Different sizes: destination column j (from the rectangle's left) takes
//   source column floor(j * source width / destination width), row i source
//   row floor(i * source height / destination height); destination pixels
//   outside the map are left out. No averaging.
// - Beyond that, pixels whose source or mask position falls outside its map
//   are left out as well, so a wrong rectangle never reads outside memory.
//   Maps with no pixel memory, or whose base or stride is not a multiple of
//   the pixel size, are not touched.
// - Modes a kernel does not serve write nothing.
// - The like-depth kernels (32, 16, 24 and 8 bits) also serve the modes
//   srcOr .. notSrcBic at any size, as the raster operations of a device
//   context apply them to whole pixel values (all 32 bits of a 32-bit pixel,
//   alpha included; a 16-bit result keeps bit 15 clear), so that a copy
//   between maps agrees with the same copy through a clip region.
//
// Transfer modes (constants of platform/Quickdraw.h):
//   srcCopy      d := s, converted to the destination depth
//   transparent  as srcCopy but white sources are left out: 8-bit 255,
//                16-bit 0x7FFF exactly, 24-bit three 0xFF, 32-bit blue,
//                green and red 0xFF whatever the alpha
//   blend        per colour channel (s * w + d * (255 - w)) >> 8 with
//                w = blendval (so w = 255 turns 255 into 254, and w = 0 lowers
//                every non-zero channel by 1); 32-bit d keeps its alpha
//   ALPHA        32 to 32: w = source alpha; 255 copies the pixel with its
//                alpha, 0 leaves d, else the blend above (d keeps its alpha)
//   srcOr d | s, srcXor d ^ s, srcBic d & ~s, notSrcCopy ~s, notSrcOr
//                d | ~s, notSrcXor ~(d ^ s), notSrcBic d & s: like depths
//   1-bit sources: srcCopy paints the one colour for set bits and the zero
//                colour for clear bits; srcOr the one colour for set bits
//                only; srcBic the zero colour for set bits only
//
// Depth conversions: 5 bits widen to 8 by (c << 3) | (c >> 2), 8 narrow to 5
// by >> 3; 16-bit pixels built here have bit 15 clear. 16 to 32 writes alpha
// 0; 32 to 24 drops alpha.
#pragma once

#include "pixel/SysPix.h"
#include "platform/Quickdraw.h"
#include "platform/Types.h"

// Colour mapping of 8-bit sources into 24 and 32 bits, indexed by the source
// byte. 8 to 32 writes the WHOLE entry, its alpha byte included, so a caller
// must set the alpha bytes of the table it builds; 8 to 24 uses blue, green
// and red only.
using a_8_to_32_mapping = a_pixel32[256];
// Colour mapping of 8-bit sources into 16 bits: L555 values written as they are.
using a_8_to_16_mapping = uint16[256];

// ---------------------------------------------------------------------------
// Like depths. `blendval` (0 .. 255, values outside are clamped) is used by
// `blend` only. Each also serves srcOr .. notSrcBic, at any size.
// ---------------------------------------------------------------------------

// srcCopy, transparent, blend, ALPHA at equal sizes; all of them scaled too.
void Asm32_Blt_32_32(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode, int16 blendval);
// srcCopy, transparent, blend (channels widened to 8 bits, blended, narrowed).
// Scaled srcCopy uses the fast reductions when source width div 2 and height
// div 2 equal the destination size (pixel (2i + 1, 2j + 1), the lower right
// of each 2 x 2 block), else div 4 (pixel (4i + 3, 4j + 3)), else nearest.
void Asm32_Blt_16_16(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode, int16 blendval);
// srcCopy, transparent; scaled too.
void Asm32_Blt_24_24(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode);
// srcCopy, transparent, notSrcBic (d := d AND s); scaled srcCopy takes the
// fast reductions like Asm32_Blt_16_16. `clip` must be NIL: the kernel does
// no region clipping (the blit layer reduces a region to rectangles first).
void Asm32_Blt88(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                 const Rect* dst_rect_arg, int16 mode, RgnHandle clip);

// ---------------------------------------------------------------------------
// Depth conversions: srcCopy and transparent (transparency judged on the
// source pixel). Meant for equal sizes; different sizes sample nearest.
// ---------------------------------------------------------------------------

void Asm32_Blt_16_24(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode);
void Asm32_Blt_16_32(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode);
void Asm32_Blt_32_24(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode);
void Asm32_Blt_32_16(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode);
void Asm32_Blt_24_16(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode);

// 8-bit sources through a colour mapping; transparent leaves out index 255.
void Asm32_Blt_8_32(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                    const Rect* dst_rect_arg, int16 mode, const a_8_to_32_mapping& color_arg);
void Asm32_Blt_8_24(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                    const Rect* dst_rect_arg, int16 mode, const a_8_to_32_mapping& color_arg);
void Asm32_Blt_8_16(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                    const Rect* dst_rect_arg, int16 mode, const a_8_to_16_mapping& color_arg);

// ---------------------------------------------------------------------------
// 1-bit sources: srcCopy, srcOr, srcBic. A 32-bit pixel gets the colour's
// blue, green, red and its fourth byte as alpha; a 24-bit pixel blue, green,
// red; 16- and 8-bit colours are written as they are.
// ---------------------------------------------------------------------------

void Asm32_Blt_1_32(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                    const Rect* dst_rect_arg, int16 mode, a_win_color zero_color_arg, a_win_color one_color_arg);
void Asm32_Blt_1_24(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                    const Rect* dst_rect_arg, int16 mode, a_win_color zero_arg, a_win_color one_arg);
void Asm32_Blt_1_16(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                    const Rect* dst_rect_arg, int16 mode, uint16 zero_color_arg, uint16 one_color_arg);
void Asm32_Blt18_Simple(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                        const Rect* dst_rect_arg, int16 mode, uint8 zero_color_arg, uint8 one_color_arg);

// 1 to 1, equal sizes, modes 0 .. 7:
//   srcCopy d := s, srcOr d | s, srcXor d ^ s, srcBic d & ~s,
//   notSrcCopy ~s, notSrcOr d | ~s, notSrcXor d ^ ~s, notSrcBic d & s.
// Bits of the destination outside the rectangle never change.
void Asm32_Blt11_Simple(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                        const Rect* dst_rect_arg, int16 mode);
// 1 to 1 at different sizes, srcCopy, nearest sample by the scaling rule
// above (a 2-pixel source row stretched to 4 takes columns 0, 0, 1, 1).
// Clipped like the other scaled paths.
void Asm32_Blt11_Scaled(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                        const Rect* dst_rect_arg);

// ---------------------------------------------------------------------------
// Copies through a 1-bit mask: a destination pixel gets its source pixel
// (whole, alpha included) where the mask bit at the source position is set.
// 8, 16 and 32 bits also scale (an integer enlargement fills blocks, any
// other size samples nearest, the mask sampled with the source); 24 to 24
// and 24 to 16 are meant for equal sizes. `clip_rgn` must be NIL.
// ---------------------------------------------------------------------------

void Asm32_CopyMask_8_8(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits, const Rect* srcRect_arg,
                        const Rect* mskRect_arg, const Rect* dstRect_arg, RgnHandle clip_rgn);
void Asm32_CopyMask_16_16(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits,
                          const Rect* srcRect_arg, const Rect* mskRect_arg, const Rect* dstRect_arg,
                          RgnHandle clip_rgn);
void Asm32_CopyMask_32_32(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits,
                          const Rect* srcRect_arg, const Rect* mskRect_arg, const Rect* dstRect_arg,
                          RgnHandle clip_rgn);
void Asm32_CopyMask_24_24(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits,
                          const Rect* srcRect_arg, const Rect* mskRect_arg, const Rect* dstRect_arg,
                          RgnHandle clip_rgn);
void Asm32_CopyMask_24_16(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits,
                          const Rect* srcRect_arg, const Rect* mskRect_arg, const Rect* dstRect_arg,
                          RgnHandle clip_rgn);

// ---------------------------------------------------------------------------
// Blends through an 8-bit mask m (coverage) at the source position: 255
// copies the source pixel (32-bit: all four bytes), 0 leaves the
// destination, otherwise each colour channel becomes (s * m + d * (255 - m))
// >> 8 and a 32-bit destination keeps its alpha. 32 to 32 also scales.
// ---------------------------------------------------------------------------

void Asm32_DeepMask_32_32(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits,
                          const Rect* srcRect_arg, const Rect* mskRect_arg, const Rect* dstRect_arg);
void Asm32_DeepMask_24_24(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits,
                          const Rect* srcRect_arg, const Rect* mskRect_arg, const Rect* dstRect_arg);
