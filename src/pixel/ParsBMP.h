// Windows device-independent bitmaps: BMP files and the bitmaps of the
// clipboard (which start at the information header), read into an offscreen
// world; and a BMP file writer.
//
// What is read: the 40-byte information header and its longer versions of
// 52, 56, 108 and 124 bytes (whose extra fields, colour masks aside, are not
// used); bit counts 1, 4, 8 (world of depth 8, each pixel its colour index,
// the colours in the scan's ctable), 16 (world of depth 16, 5-5-5) and 24 and
// 32 (world of depth 32, alpha 0); compressions 0 (none), 1 (RLE8), 2 (RLE4)
// and 3 (bit-field masks, applied to 16- and 32-bit pixels); rows stored
// bottom-up, or top-down for unpacked data (negative height). A file's pixel
// data are taken from the offset its file header gives.
#pragma once

#include "pixel/ParsQuik.h"
#include "pixel/SysPix.h"
#include "platform/SysIO.h"
#include "platform/Types.h"

// Result codes of the reader.
enum : int16 {
  BMP_OK = 0,
  BMP_ERR_HEADER = 2,         // the header cannot be read
  BMP_ERR_NOT_BM = 3,         // a file that does not start with "BM"
  BMP_ERR_HEADER_SIZE = 4,    // an information header of another size (e.g. OS/2 ones)
  BMP_ERR_GEOMETRY = 5,       // width or height 0 or beyond 16 bits, planes not 1,
                              // top-down run-length data
  BMP_ERR_TABLE_SIZE = 6,     // more than 256 colour-table entries
  BMP_ERR_TABLE = 7,          // the colour table (or the masks) cannot be read
  BMP_ERR_RLE = 8,            // run-length data that leave the bitmap or end early
  BMP_ERR_COMPRESSION = 9,    // a compression other than 0 to 3, or one that does not
                              // fit the bit count, or an empty bit-field mask
  BMP_ERR_OFFSET = 10,        // the pixel-data offset points into the headers
  BMP_ERR_ROW = -41,          // a pixel row cannot be read (also: the data end early)
  BMP_ERR_BITCOUNT = -49,     // a bit count other than 1, 4, 8, 16, 24 or 32
  BMP_ERR_NOMEM = kScanNoMemory,  // too large a picture, or no memory for it
};

// Reads up to len bytes into buf from the source data_ptr designates, sets
// len to the number delivered (0 at the end of the data) and gives 0, or a
// non-zero error.
using a_bmp_reader = int16 (*)(void* data_ptr, void* buf, uint32& len);

// The reader over an open file: data_ptr points to its a_fd.
int16 Reader_Proc(void* data_ptr, void* buf, uint32& len);

// Reads a bitmap through reader. isfile: the 14-byte file header comes first;
// otherwise the data start at the information header and the pixels follow
// the colour table (or masks) directly. Fills scan.body (bounds and fore) and
// scan.ctable (cleared, then entry i := (blue, green, red, 0) of table entry
// i). A non-zero result leaves no world.
int16 Scan_BMP_2(bool8 isfile, a_bmp_reader reader, void* rdata, a_picture_scan_rec& scan);
// The same with the number of bytes the source holds (when known), so that a
// picture whose unpacked rows cannot all be there is refused before its world
// is made.
int16 Scan_BMP_3(bool8 isfile, a_bmp_reader reader, void* rdata, uint64 avail,
                 a_picture_scan_rec& scan);

// Module start-up: installs this reader as the clipboard's bitmap reader
// (Scrap_Set_Bitmap_Reader, SysScrap.h).
void ParsBMP_Init();

// Clears scan, sets format to FMT_BMP and reads the file; -1 when it cannot
// be opened.
int16 Scan_BMP(const FSSpec& path, a_picture_scan_rec& scan, a_file_format& format);

// Writes the map as a BMP file, bottom row first: depth 1 (colour 0 white,
// 1 black, as our 1-bit maps mean ink), 8 (with the 256 colours of
// `colors`), 16 (5-5-5), 24 or 32. The file is replaced only when every byte
// was written. 0, or -1 when the file cannot be written; a map of another
// depth calls QUIT.
int16 Write_BMP(a_file_format format, const FSSpec& path, const a_pixel32 (&colors)[256],
                const PixMap& pix);
