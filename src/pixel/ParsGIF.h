// GIF files: a reader of the first image of a GIF87a or GIF89a file into an
// 8-bit world, a writer of 8-bit maps, and the variable-width LZW coder they
// use, with its data source and sink passed in as procedures.
#pragma once

#include <cstddef>

#include "pixel/ParsQuik.h"
#include "pixel/SysPix.h"
#include "platform/SysIO.h"
#include "platform/Types.h"

// --- LZW -------------------------------------------------------------------------

constexpr int16 kLZW_MaxCodeBits = 12;
constexpr uint16 kLZW_MaxEntries = 4096;

// Results of Compress and Expand.
enum : int16 {
  LZW_OK = 0,
  LZW_NOMEM = -1,     // no table
  LZW_BADCODE = -2,   // a code beyond the next free entry, or a first code that is no character
  LZW_NODATA = -3,    // the codes ended before the end code
};

// Compress: `input` gives the next byte and TRUE, or FALSE at the end;
// `output` takes each code with its width in bits. Codes are 9 to 12 bits
// wide (8-bit characters): clear code 256, end code 257.
using a_lzw_input = bool8 (*)(void* ctx, uint8& ch);
using a_lzw_output = void (*)(void* ctx, int16 bits, uint16 code);
int16 Compress(a_lzw_input input, a_lzw_output output, void* ctx);

// Expand: `input` delivers the next code of the given width and TRUE, or
// FALSE when there are no more; `output` takes each decoded byte and gives
// FALSE to stop early (picture complete). codesize is the minimum code size
// (2 to 8): clear code 2^codesize, end code one more, codes from codesize + 1
// bits wide up to 12. A stream that fills the table without a clear code
// goes on with the full table (no new entries).
using a_lzw_code_input = bool8 (*)(void* ctx, int16 bits, uint16& code);
using a_lzw_char_output = bool8 (*)(void* ctx, uint8 ch);
int16 Expand(int16 codesize, a_lzw_code_input input, a_lzw_char_output output, void* ctx);

// --- GIF -------------------------------------------------------------------------

// Result codes of the reader.
enum : int16 {
  GIF_OK = 0,
  GIF_ERR_OPEN = -1,        // the file cannot be opened or read
  GIF_ERR_HEADER = -2,      // neither "GIF87a" nor "GIF89a"
  GIF_ERR_SHORT = -3,       // the file ends before the image is complete
  GIF_ERR_LZW = -4,         // the image's codes are not a valid LZW stream
  GIF_ERR_IMAGE = -5,       // an empty image, one beyond 16-bit coordinates, or a
                            // minimum code size outside 2 to 8
  GIF_ERR_BLOCK = -22,      // a block other than an extension or an image
  GIF_ERR_NO_IMAGE = -23,   // the trailer comes before any image
  GIF_ERR_NOMEM = kScanNoMemory,
};

// Clears scan, reads the file's first image into scan.body.fore (an 8-bit
// world over the image's own left, top, width and height; each pixel its
// colour index) and its colour table (the global one, or the image's local
// one when it has one) into scan.ctable as (blue, green, red, 0). A graphic
// control extension with the transparency flag sets scan.transp and
// scan.transpx. format := FMT_GIF_INT for an interlaced image, else FMT_GIF.
int16 Scan_GIF(const FSSpec& path, a_picture_scan_rec& scan, a_file_format& format);
// The same over the file's bytes in memory.
int16 Scan_GIF_Buf(const uint8* data, size_t len, a_picture_scan_rec& scan, a_file_format& format);

// Results of the writer: -1 to -5 when the header, colour table, separator,
// image descriptor or code size cannot be written, -6 when a later write
// fails, -7 when the finished file cannot be put in place.
// Writes the 8-bit map with the 256 colours of `colors` as a GIF87a file,
// interlaced when format is FMT_GIF_INT. The file is replaced only when the
// whole of it was written. A map of another depth calls QUIT.
int16 Write_GIF(a_file_format format, const FSSpec& path, const a_pixel32 (&colors)[256],
                const PixMap& pix);
