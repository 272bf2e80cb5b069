// Pictures kept as resources: icons, pixel patterns and cursors. The resource
// compiler writes them from rows of characters (tools/rescomp.cpp documents
// the source form); this module checks the compiled bytes and decodes them
// into plain BGRA pixels for the icon, pattern and cursor code.
//
// Layouts (integers little-endian, pixels row by row from the top):
//   "ICON"  mono icon, 32 x 32, exactly 128 bytes: 32 rows of 4 bytes, bit 7
//           of a byte the leftmost pixel, 1 black, 0 white; every pixel is
//           drawn.
//   "ICN#"  mono icon with a mask, exactly 256 bytes: an ICON image, then a
//           mask in the same layout (1 drawn, 0 transparent).
//   "cicn"  colour icon: u16 width, u16 height (1 .. 128 each), then width x
//           height pixels of 4 bytes: red, green, blue, alpha (255 opaque,
//           0 transparent, values between blend). Exactly 4 + 4 x w x h bytes.
//   "ppat"  pixel pattern: the cicn layout with width and height 1 .. 64; a
//           pattern is opaque, so its alpha bytes are not used.
//   "CURS"  cursor, in one of two forms told apart by their size:
//           68 bytes, mono 16 x 16: 16 rows of image (2 bytes a row, 1 black),
//             16 rows of mask (1 opaque), then the hot spot as i16 v, i16 h.
//             Where the mask is 0 a set image bit inverts the screen (shown
//             black, as the backends cannot invert), a clear one leaves it.
//             A hot spot outside the cell is moved to its nearest edge.
//           4104 bytes, colour 32 x 32: u16 32, u16 32, the hot spot as
//             i16 v, i16 h (inside the cell), then 32 x 32 pixels as in cicn.
// Any other size, dimension or hot spot makes the resource damaged: it is
// refused whole and never read past its end.
#pragma once

#include <span>
#include <vector>

#include "platform/Types.h"

constexpr OSType kIconResType = FourCC("ICON");
constexpr OSType kIconMaskResType = FourCC("ICN#");
constexpr OSType kColorIconResType = FourCC("cicn");
constexpr OSType kPixPatResType = FourCC("ppat");
constexpr OSType kCursorResType = FourCC("CURS");

constexpr int32 kIconSize = 32;
constexpr uint32 kIconBytes = 128;            // ICON
constexpr uint32 kIconMaskBytes = 256;        // ICN#
constexpr int32 kColorIconMaxSize = 128;      // cicn
constexpr int32 kPixPatMaxSize = 64;          // ppat
constexpr uint32 kMonoCursorBytes = 68;       // CURS, 16 x 16 mono
constexpr int32 kMonoCursorSize = 16;
constexpr int32 kColorCursorSize = 32;        // CURS, 32 x 32 colour
constexpr uint32 kColorCursorBytes = 8 + 4 * 32 * 32;

// A decoded picture. A pixel is one 32-bit value 0xAARRGGBB (in memory the
// bytes blue, green, red, alpha); alpha 255 is opaque, 0 transparent.
struct a_res_image {
  int32 width = 0;
  int32 height = 0;
  int32 hot_h = 0;  // cursors: the hot spot, from the top-left pixel
  int32 hot_v = 0;
  std::vector<uint32> bgra;  // width x height, row by row
};

// Checks data as a resource of the given type (one of the five above) and
// decodes it into out. FALSE, and out empty, for any other type and for data
// that is not exactly what the layout says.
bool8 ResImage_Decode(OSType type, std::span<const uint8> data, a_res_image& out);

// The colour of one pixel of a decoded picture.
inline uint32 ResImage_Pixel(const a_res_image& img, int32 x, int32 y) {
  return img.bgra[size_t(y) * size_t(img.width) + size_t(x)];
}
