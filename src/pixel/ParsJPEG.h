// JPEG data of stored pictures: the picture library keeps some pictures as a
// JPEG image stream beside the width and height of its own header. This
// module expands such a stream into 32-bit pixels in the stored pictures'
// byte order.
//
// Also here, offered and not called by the program: a JPEG compressor of
// 32-bit maps, and a scanner that only checks that a file is a readable JPEG.
#pragma once

#include <cstddef>

#include "pixel/ParsQuik.h"
#include "pixel/SysPix.h"
#include "platform/SysIO.h"
#include "platform/SysMem.h"
#include "platform/Types.h"

// Results of Expand_JPEG.
enum : int16 {
  JPEG_OK = 0,
  JPEG_ERR_DATA = -1,       // not a JPEG stream, a damaged or truncated one, a colour
                            // space other than grey or RGB, or a picture whose size is
                            // not width x height
  JPEG_ERR_NOMEM = -108,    // no block for the pixels (g_err_mem_proc has been called)
};

// Decompresses the JPEG stream of len bytes at buf into a new movable block
// `expand` of width x height pixels, 4 bytes each in the order alpha, red,
// green, blue (alpha 255), rows from the top, no padding. `depth` is not
// used: the output is always 32-bit. On any failure `expand` is NIL.
//
// The length is required: a stream read without one could run past its
// block when damaged.
int16 Expand_JPEG(int16 width, int16 height, int16 depth, const uint8* buf, size_t len,
                  Handle& expand);

// Compresses a 32-bit map (alpha ignored) at the highest quality into a new
// pointer block `buf` sized to the data. 0, or -1 when the map is not 32-bit
// or empty; no memory for the block calls g_err_mem_proc.
int16 Compress_JPEG(const PixMap& pixmap, Ptr& buf);

// Checks that the file is a JPEG whose size can be had: -2 when it is not
// (or cannot be read), -3 when its header is damaged, otherwise -100
// without filling `scan` (this scanner reads no pixels).
int16 Scan_JPEG(const FSSpec& path, a_picture_scan_rec& scan, a_file_format& format);
