// QuickDraw picture files (versions 1 and 2): a reader of the first bitmap
// image of a picture into an offscreen world, and a writer of 8-bit maps as
// version 2 pictures.
//
// Read: indexed bitmaps (opcodes 0x90 and 0x98, 1, 2, 4 or 8 bits a pixel)
// into an 8-bit world of colour indexes with the colour table in the scan
// record; direct bitmaps (0x9A, 16 or 32 bits a pixel, every packing type)
// into a world of 16 or 32 bits. Alpha bytes of the world are 0.
#pragma once

#include <cstddef>

#include "pixel/ParsQuik.h"
#include "pixel/SysPix.h"
#include "platform/SysIO.h"
#include "platform/Types.h"

// Result codes of the reader.
enum : int16 {
  PICT_OK = 0,
  PICT_ERR_OPEN = 1,       // the file cannot be opened or read
  PICT_ERR_NOMEM_FILE = 2, // no block for the file
  PICT_ERR_HEADER = 3,     // a file of 512 bytes or less, or neither version's header
  PICT_ERR_NO_IMAGE = 4,   // no bitmap before an opcode that ends the search
  PICT_ERR_BITMAP = 5,     // a bitmap of no size, an unsupported pixel size or packing,
                           // or row bytes too few for its width
  PICT_ERR_SHORT = 6,      // an opcode, region or pixel row that runs past the picture
  PICT_ERR_CTABLE = 7,     // a colour table of more than 256 entries or an index beyond 255
  PICT_ERR_NOMEM = kScanNoMemory,
};

// Clears scan, sets format to FMT_PICT and reads the file (its 512-byte
// header is skipped).
int16 Scan_PICT(const FSSpec& path, a_picture_scan_rec& scan, a_file_format& format);
// Reads the picture in buf (from its size field on, no 512-byte header).
int16 Scan_Pict_Buf(const uint8* buf, size_t len, a_picture_scan_rec& scan);

// Writes the 8-bit map with the 256 colours of `colors` as a version 2
// picture (one PackBitsRect). creator and filetype are the Mac file codes the
// format names; files here carry no such codes. The file is replaced only
// when all of it was written. 0, or -1 when it cannot be written (also for
// rows wider than a picture's 14-bit row bytes); a map of another depth calls
// QUIT.
int16 Write_PICT(a_file_format format, const FSSpec& path, OSType creator, OSType filetype,
                 const a_pixel32 (&colors)[256], const PixMap& pix);
