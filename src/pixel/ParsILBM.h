// IFF interleaved bitmaps: form "ILBM" (bit planes) and "PBM " (one byte a
// pixel), read into an 8-bit world of colour indexes with up to 256 colours.
// The program's own importer for files of type "ILBM" (suffix ".LBM").
#pragma once

#include <cstddef>

#include "pixel/ParsQuik.h"
#include "platform/SysIO.h"
#include "platform/Types.h"

// Bitmap header, 20 bytes on disk, big-endian.
enum a_masking : uint8 { MASK_NONE = 0, MASK_HASMASK = 1, MASK_HASTRANS = 2, MASK_LASSO = 3 };
enum a_compression : uint8 { COMP_NONE = 0, COMP_RUN = 1 };

struct a_BMHD_rec {
  uint16 w, h;
  int16 x, y;
  uint8 nplanes;
  uint8 masking;
  uint8 compression;
  uint8 pad1;
  uint16 transparent;
  uint8 xaspect, yaspect;
  int16 pageWidth, pageHeight;
};
static_assert(sizeof(a_BMHD_rec) == 20);

// Colour range (read by others, not used here).
struct a_CRNG_rec {
  int16 pad1;
  int16 rate;
  int16 flags;
  uint8 low, high;
};
static_assert(sizeof(a_CRNG_rec) == 8);

// Result codes.
enum : int16 {
  ILBM_OK = 0,
  ILBM_ERR_OPEN = 1,        // the file cannot be opened or read
  ILBM_ERR_GROUP = 2,       // the 12-byte group header cannot be read
  ILBM_ERR_FORM = 3,        // the form type is neither "ILBM" nor "PBM "
  ILBM_ERR_CHUNK = 4,       // a chunk header cannot be read, or a chunk runs past the file
  ILBM_ERR_BMHD = 5,        // a bitmap header shorter than 20 bytes
  ILBM_ERR_PLANES = 6,      // more than 8 planes
  ILBM_ERR_BODY = 7,        // the BODY data cannot be read (too short for the picture)
  ILBM_ERR_NO_BMHD = 8,     // a BODY before any bitmap header
  ILBM_ERR_SIZE = 9,        // width or height 0, or 0 planes in ILBM form
  ILBM_ERR_NO_BODY = 10,    // no BODY chunk: the file holds no picture
  ILBM_ERR_CMAP = 11,       // a colour map of more than 256 entries or of no whole entry
  ILBM_ERR_UNUSED = 12,     // packed rows that leave more than the pad byte of the BODY unused
  ILBM_ERR_NOMEM = kScanNoMemory,
};

// Clears scan, sets format to FMT_ILBM and reads the file: scan.body gets
// bounds (0, 0, h, w) and an 8-bit world of colour indexes (plane 0 the least
// significant bit), no mask; scan.ctable entry i := (blue, green, red, 0) of
// the CMAP's i-th colour, the others 0. A non-zero result leaves no world.
int16 Scan_ILBM(const FSSpec& path, a_picture_scan_rec& scan, a_file_format& format);
// The same over the file's bytes in memory.
int16 Scan_ILBM_Buf(const uint8* data, size_t len, a_picture_scan_rec& scan, a_file_format& format);
