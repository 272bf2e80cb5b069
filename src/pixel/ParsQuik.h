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
  QUIK_ERR_NOMEM = kScanNoMemory,  // the picture cannot be held, even reduced: beyond
                                   // g_scan_max_pixels or no memory (alert 78 has been shown)
  QUIK_ERR_TOO_LARGE = -110,  // a side beyond kQuikMaxSide (alert 39 has been shown)
};
// Readers of our own formats give their own non-zero codes (ParsGIF.h,
// ParsBMP.h, ParsPICT.h, ParsILBM.h); they pass through unchanged.

// The largest side, either way, of a picture imported: the placed picture's
// coordinates are 16-bit.
constexpr int32 kQuikMaxSide = 32767;

// The scanner procedure for files: clears scan, reads the file and imports
// it whole. On success scan.body holds bounds (0, 0, height, width), `fore` a
// 32-bit world (blue, green, red, alpha; alpha 255 where the picture has no
// transparency) and `mask` an 8-bit world of the picture's alpha (255
// opaque) when the picture has both transparent and opaque pixels, else NIL;
// scan.codec names the importer. Transparent pixels of palette pictures
// (GIF, palette PNG, indexed PSD and the like) become white in `fore`. The
// colour table and the transparency fields stay 0. `format` is not used.
// Any non-zero result leaves no world in scan. A picture beyond
// g_scan_max_pixels is refused (QUIK_ERR_NOMEM): the reduced import below
// holds it reduced instead.
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

// --- Reduced import ------------------------------------------------------------------
//
// A photo need not be held with all its pixels: a label shows it at 300
// dots per inch (one pixel a cell), usually much smaller than the camera
// took it. The reduced import reads a picture at the least size that gives
// what is asked for: a JPEG through libjpeg's DCT scaling (m / 8 of its own
// size, m from 1 to 8), the other formats by averaging blocks of k x k
// pixels (ParsQuik's own readers and PSD after reading the whole picture,
// PNG and TIFF row by row as they decode). Its result is the basis of the
// render cache (Cache_Insert_Basis, OPUtil.h), which records the picture's
// own size beside it; everything kept of a photo (subset, scalings, crop,
// saved files) stays in the picture's own pixels, and a rendering that needs
// more pixels reads the picture again from its bytes.
//
// When the size asked for is beyond g_scan_max_pixels the picture is reduced
// further until it fits; a picture that cannot be held even so (a format
// read whole beyond that budget, or no memory) gives QUIK_ERR_NOMEM and,
// when reporting, alert 78.

// What a reduced import is asked for: the larger of two needs.
struct a_scan_want {
  // The photo is placed to fit inside fit_w x fit_h pixels of 300 dpi (the
  // unit's paint area), never enlarged: min(fit_w / width, fit_h / height),
  // at most 1, of the picture's own size. 0: no box.
  int32 fit_w;
  int32 fit_h;
  // A rendering needs permille / 1000 of the picture's own size (1000 or
  // more: all of it). The placed scalings give it: the larger of scalingh
  // and scalingv, times the print's dots per inch / 300 when printing.
  int32 permille;
  // Alerts 39 and 78 are shown (a person chose the file). The render
  // cache's reading again is silent.
  bool8 report;
};

// The fraction of a picture of width x height that want asks for, from
// 1 / 1000 to 1; the whole picture when want names neither a box nor a
// fraction.
double Scan_Want_Fraction(const a_scan_want& want, int32 width, int32 height);

// Reads the picture file path (format by its bytes) reduced to what want
// asks for. On success scan is as Scan_Quicktime leaves it, except that
// scan.body.bounds (0, 0, h, w) may be smaller than the picture; natural :=
// the picture's own bounds (0, 0, height, width). The mask, when there is
// one, is reduced with the picture. Results as Scan_Quicktime's.
int16 Scan_Quicktime_Reduced(const FSSpec& path, const a_scan_want& want, a_picture_scan_rec& scan,
                             Rect& natural);
// The same over file bytes in memory (the format found from the bytes; scan
// is cleared first).
int16 Scan_Quicktime_Buf_Reduced(const uint8* data, size_t len, const a_scan_want& want,
                                 a_picture_scan_rec& scan, Rect& natural);
// The same with the importer named by codec (as Scan_Quicktime_Codec: scan
// is set on success only).
int16 Scan_Quicktime_Codec_Reduced(const char (&codec)[4], const uint8* data, size_t len,
                                   const a_scan_want& want, a_picture_scan_rec& scan, Rect& natural);

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
