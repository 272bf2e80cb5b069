// The result of every picture import: the scan record that each scanner
// procedure (the readers of BMP, ILBM, GIF and PICT files, and the codec
// importers) fills, and the shape of those procedures.
//
// Also the program's importer of picture files of every format it reads
// (Scan_Quicktime: JPEG, PNG, TIFF, Photoshop through the host codecs; GIF,
// BMP, PICT and ILBM through our own readers) into a 32-bit world with an
// optional 8-bit mask, the import of a picture's file bytes kept in memory,
// and the export of a 32-bit world as a PICT, BMP, JPEG, TIFF or Photoshop
// file.
#pragma once

#include <vector>

#include "pixel/DrawUtilMasked.h"
#include "pixel/SysPix.h"
#include "platform/SysErr.h"
#include "platform/SysIO.h"
#include "platform/SysMem.h"
#include "platform/Types.h"

// a_picture_scan_rec, the record, is declared with the worlds (platform/SysWin.h).

// Clears every field: no worlds, empty bounds, colour table all 0.
void Clear_Scan_Rec(a_picture_scan_rec& scan);

// A scanner procedure: reads the picture file `path` into `scan` and may set
// `format`; 0 on success, else a reader's own code. A non-zero result leaves
// no world in `scan`.
using a_scanner_proc = int16 (*)(const FSSpec& path, a_picture_scan_rec& scan,
                                 a_file_format& format);

// Result of a reader whose picture is larger than g_scan_max_pixels, or whose
// world cannot be had.
constexpr int16 kScanNoMemory = -108;

// The largest picture (width x height) a reader makes a world for. Files can
// declare any size in a few bytes; this keeps a damaged or hostile file from
// taking all memory before its data is found missing. Tests and the fuzzing
// harnesses lower it.
extern uint64 g_scan_max_pixels;

// Makes the scan's fore world for a picture of width x height at depth:
// bounds (0, 0, height, width), no colour table. 0, or kScanNoMemory (world
// NIL) when the picture is beyond g_scan_max_pixels or no memory is left.
int16 Scan_New_Fore(a_picture_scan_rec& scan, int32 width, int32 height, int16 depth);

// Progress of a reader; nothing when the hook is not set.
void Scan_Progress(int16 num, int16 den);

// The same over given bounds (for pictures placed away from (0, 0)).
int16 Scan_New_Fore_Bounds(a_picture_scan_rec& scan, const Rect& bounds, int16 depth);

// Reads a whole file into bytes. FALSE when it cannot be opened or read, or
// is larger than 1 GiB (no picture file the readers take comes near that).
bool8 Scan_Read_File(const FSSpec& path, std::vector<uint8>& bytes);

// --- Import and export of picture files --------------------------------------------

// The importer codes recorded in a scan's `codec` (reading order), one per
// format, chosen by the file's contents, never by its name. A project file
// keeps a picture's file bytes with this code, and Scan_Quicktime_Hdl reads
// them again with the importer the code names.
//   "JPEG" JPEG (JFIF, Exif)      "PNGf" PNG        "TIFF" TIFF
//   "8BPS" Photoshop              "GIFf" GIF        "BMPf" Windows bitmap
//   "PICT" QuickDraw picture      "ILBM" IFF ILBM / PBM
extern const char kCodec_JPEG[4], kCodec_PNG[4], kCodec_TIFF[4], kCodec_PSD[4],
    kCodec_GIF[4], kCodec_BMP[4], kCodec_PICT[4], kCodec_ILBM[4];

// Results of the importers.
enum : int16 {
  QUIK_OK = 0,
  QUIK_ERR_NO_IMPORTER = -2,  // not a picture of a format we read, or the file cannot be read
  QUIK_ERR_NO_BOUNDS = -3,    // the header is damaged: the picture's size cannot be had
  QUIK_ERR_DATA = -4,         // damaged or truncated picture data
  QUIK_ERR_DEPTH = -100,      // more than 8 bits a sample that cannot be reduced safely, or
                              // a colour space other than grey, palette or RGB (CMYK, Lab)
  QUIK_ERR_NOMEM = kScanNoMemory,  // too large (g_scan_max_pixels) or no memory
  QUIK_ERR_TOO_WIDE = -110,   // wider than kQuikMaxWidth (alert 39 has been shown)
};
// Readers of our own formats give their own non-zero codes (ParsGIF.h,
// ParsBMP.h, ParsPICT.h, ParsILBM.h); they pass through unchanged.

// The widest picture imported.
constexpr int32 kQuikMaxWidth = 4095;

// The scanner procedure for files: clears scan, reads the file and imports
// it. On success scan.body holds bounds (0, 0, height, width), `fore` a
// 32-bit world (blue, green, red, alpha; alpha 255 where the picture has no
// transparency) and `mask` an 8-bit world of the picture's alpha (255
// opaque) when the picture has both transparent and opaque pixels, else NIL;
// scan.codec names the importer. Transparent pixels of palette pictures
// (GIF, palette PNG, indexed PSD and the like) become white in `fore`. The
// colour table and the transparency fields stay 0. `format` is not used.
// Any non-zero result leaves no world in scan.
int16 Scan_Quicktime(const FSSpec& path, a_picture_scan_rec& scan, a_file_format& format);

// The same over file bytes in memory (the format found from the bytes).
int16 Scan_Quicktime_Buf(const uint8* data, size_t len, a_picture_scan_rec& scan);

// The same with the importer named by codec; QUIK_ERR_NO_IMPORTER when codec
// names none (a first character 0 included). scan is not cleared first, but
// its body is set on success only.
int16 Scan_Quicktime_Codec(const char (&codec)[4], const uint8* data, size_t len,
                           a_picture_scan_rec& scan);

// Imports the picture whose file bytes fill the movable block hdl with the
// importer named by codec. TRUE on success; on failure scan is untouched.
bool8 Scan_Quicktime_Hdl(const char (&codec)[4], Handle hdl, a_picture_scan_rec& scan);

// Makes the mask of a freshly imported picture from its alpha bytes (see
// Scan_Quicktime); `indexed`: a palette picture, whose fully transparent
// pixels turn white. mask is NIL unless the picture has both transparent and
// opaque pixels. 0, or kScanNoMemory (mask NIL) when its world cannot be had.
int16 GWorld_To_Mask(bool8 indexed, GWorldPtr src, GWorldPtr& mask);

// Results of Export_World besides QuickDraw-style file codes.
constexpr int32 kExportNoExporter = -1;  // never given: every format has its writer
constexpr int32 kExportParamErr = -50;   // the picture does not fit the format (a PICT
                                         // wider than 4095 pixels, a PSD beyond 30000)
constexpr int32 kExportIOErr = -36;      // the file could not be written (the old one stays)
constexpr int32 kExportMemErr = -108;

// Writes the 32-bit world to path as FMT_PICT (version 2, 32-bit direct
// pixels), FMT_BMP (24-bit), FMT_JPEG (high quality), FMT_TIFF (RGB, LZW) or
// FMT_PSD (flat RGB), at dpi dots per inch (its low 16 bits; 0 means 72).
// The world's alpha is not written: drawing leaves it undefined. The file is
// replaced only once the whole of it was written. creator is not used. 0 on
// success. Another format, a NIL world or one of another depth call QUIT.
int32 Export_World(a_file_format format, int32 dpi, const FSSpec& path, OSType creator,
                   GWorldPtr world);
