// The result of every picture import: the scan record that each scanner
// procedure (the readers of BMP, ILBM, GIF and PICT files, and the codec
// importers) fills, and the shape of those procedures.
//
// The import and export through the codec libraries come later; this header
// holds only what the readers share.
#pragma once

#include <vector>

#include "pixel/DrawUtilMasked.h"
#include "pixel/SysPix.h"
#include "platform/SysErr.h"
#include "platform/SysIO.h"
#include "platform/Types.h"

// The file formats the program names.
enum a_file_format : int16 {
  FMT_DISC = 0,  // the program's own project files
  FMT_PICT,
  FMT_BMP,
  FMT_BMP2,
  FMT_ILBM,
  FMT_GIF_INT,  // interlaced GIF
  FMT_GIF,
  FMT_JPEG,
  FMT_TIFF,
  FMT_PSD,
  FMT_TEXT
};

struct a_picture_scan_rec {
  // bounds of the picture; fore the picture; mask an 8-bit world
  // (255 opaque, 0 transparent) or NIL.
  a_masked_gworld body;
  // Colour table of a picture of 8 bits or less: blue, green, red, 0.
  a_pixel32 ctable[256];
  a_keyset canvas_key;  // not set by any importer
  bool8 canvas_flipx;
  bool8 canvas_flipy;
  uint16 canvas_nrot;
  bool8 transp;   // the picture has a transparent colour (GIF only)
  uint8 transpx;  // its index
  // Subtype of the importer that read the picture, in reading order; the
  // first character is 0 when it is not known.
  char codec[4];
};

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
