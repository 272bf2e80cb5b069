// Project files (".CD4", type "DISC"): the only writer and reader of the
// document's files.
//
// A project file is a four-byte preamble (0xCDCD, version 8) and labelled
// chunks (pixel/ParsChunk.h): "PREV" the open dialog's preview, "TMPL" the
// layout with its units, "FONT" the fonts of the texts with a "FONX" sample
// each, "DIRE" the disc printer's medium, per unit "UNIT" its header and,
// for a master, "OBJT" its objects and "PAI1"/"MSK1" its paint, then the
// pictures that cannot be found again elsewhere ("CLIP"/"CLIM" pasted and
// collage pictures, "EMBD" the bytes of imported picture files).
//
// Saving never costs the old file: the project is written beside it and
// renamed over it only when every byte is on the disk. Reading never costs
// the open document: the file is read into a document of its own, checked
// value by value, and replaces the open one only when it was read whole.
#pragma once

#include <string>

#include "platform/PixMaps.h"
#include "platform/SysIO.h"
#include "platform/SysWin.h"
#include "platform/Types.h"

struct a_doc_rec;
struct a_spec;

constexpr uint16 VELMOR_SIGNATURE = 0xCDCD;
constexpr uint16 V4_PREAMBLE_VERSION = 8;
constexpr uint16 V3_PREAMBLE_VERSION = 7;  // an older project, read by the import command
constexpr int32 VELMOR_PREAMBLE_LEN = 4;

constexpr int16 TEMPLATE_VERSION_3 = 3;
constexpr int16 FONT_VERSION = 1;
constexpr int16 DIRE_VERSION = 1;
constexpr int16 UNITHDR_VERSION = 5;
constexpr int16 OBJT_VERSION = 2;
constexpr int16 EMBD_VERSION = 1;
constexpr int16 PH_VERSION = 2000;
constexpr int16 OM_VERSION = 3000;
constexpr int16 XYL_VERSION = 4000;
constexpr uint16 DISC_CHECKSUM = 0x1234;
constexpr uint32 MAXNFONTS = 400;

// Sizes of the preview and the font samples.
constexpr int16 PREVIEW_MAX_H = 140;
constexpr int16 PREVIEW_MAX_V = 190;
constexpr int16 FONT_SAMPLE_H = 240;
constexpr int16 FONT_SAMPLE_V = 16;

// Alerts of reading and saving.
constexpr int16 STR_CANT_READ = 10;
constexpr int16 STR_CANT_SAVE = 15;
constexpr int16 STR_CANT_V3 = 53;
constexpr int16 STR_LAYERS_REPAIRED = 96;  // a paint layer read off the bottom, moved back

// What was wrong with the file last read (bit n of defects for value n).
enum a_defect : uint8 {
  DEFECT_FILE_OPEN = 0,           // cannot be opened for reading
  DEFECT_FILE_SIGNATURE = 1,      // the first two bytes are not 0xCDCD
  DEFECT_FILE_VERSION = 2,        // a short preamble, or a version other than 8
  DEFECT_IO_ERROR = 3,            // a chunk that ends early, a picture that cannot be read
  DEFECT_UNIT_MISSING = 4,
  DEFECT_UNIT_VERSION = 5,
  DEFECT_OBJTABLE_MISSING = 6,    // a master without "OBJT"
  DEFECT_OBJTABLE_VERSION = 7,    // its version, count, kinds or values
  DEFECT_UHDR_MISSING = 8,        // a unit without "UNIT"
  DEFECT_UHDR_VERSION = 9,        // its version, or paint bounds that are not the unit's
  DEFECT_TMPL_MISSING = 10,
  DEFECT_TMPL_VERSION = 11,       // its version, paper, unit count or a unit that cannot be
  DEFECT_FONTTABLE_MISSING = 12,
  DEFECT_FONTTABLE_VERSION = 13,  // its version or count
  DEFECT_EMBED_VERSION = 14,      // an "EMBD" version or length
  DEFECT_V3 = 15,
  DEFECT_CHECKSUM = 16,           // a 0x1234 word or a record version word
  DEFECT_FONT_NOTAVAIL = 17,      // a font of the file is not installed (not serious)
};
using a_defect_set = uint32;
constexpr a_defect_set Defect_Bit(a_defect d) { return a_defect_set(1u) << d; }

// The defects of the last read (cleared when a read starts).
extern a_defect_set defects;
// TRUE when defects holds nothing but DEFECT_FONT_NOTAVAIL.
bool8 No_Serious_Defects();

// --- Writing ---------------------------------------------------------------------------

enum a_disc_write_result : int16 {
  DISC_WRITE_OK = 0,
  DISC_WRITE_OPEN = 1,       // the new file could not be written to
  DISC_WRITE_CREATE = 2,     // the new file could not be made beside the old one
  DISC_WRITE_IO = 3,         // a write, the flush to disk or the rename failed
  DISC_WRITE_TOO_LARGE = 4,  // the project needs more than the format's 2 GiB
};

// Writes g_doc to path: a new file beside it, every write checked, flushed
// to disk and renamed over the old one. Whatever fails, the old file stays
// as it was and no new file is left behind; the result says what failed and
// Write_DISC_Reason why, as the system puts it ("No space left on device").
a_disc_write_result Write_DISC(const FSSpec& path);
// Write_DISC to a new file: path's name when no file has it, else the first
// free "<stem> (2)<suffix>" ... after it; never over a file. written names
// the file made.
a_disc_write_result Write_DISC_New(const FSSpec& path, std::string& written);
const std::string& Write_DISC_Reason();

// --- Reading ---------------------------------------------------------------------------

// Reads the project file at path. TRUE when it was read without a serious
// defect; only then does it replace the open document's layout and units
// (with append, the import command's, the rest of the open document stays;
// without, the open document is closed and g_doc becomes the file's, its
// doc_path path). A paint layer saved above other objects is moved back
// under them, the others keeping their order, and alert 96 says so once
// after the read. On FALSE nothing of the open document changed and
// defects says why. An older project (version 7) shows alert 53 when opened;
// with append it is imported into the current unit (doc/ParsV3.h: Read_V3),
// which is then drawn again.
bool8 Read_DISC(const FSSpec& path, bool8 append);

// Opens the file at path and checks the signature 0xCDCD of its preamble:
// the open file, version what the preamble holds. NULL_FD with
// DEFECT_FILE_OPEN, DEFECT_FILE_SIGNATURE, or DEFECT_FILE_VERSION for a file
// that ends before its version.
a_fd Open_Preamble(const FSSpec& path, uint16& version);

// TRUE when path holds a version-8 preamble and a "PREV" chunk 1.
bool8 Is_DISC_File(const FSSpec& path);
// pix := a new map of the file's preview (what pix held is not freed); TRUE
// when one was read.
bool8 Scan_DISC_Preview(const FSSpec& path, PixMap& pix);

// The picture-file codec as the reader normalises the one an "EMBD" holds
// ("GEPJ" and " GPJ" are "JPEG", "fFIG" "GIFf", "fPMB" "BMPf", "SPB8" "8BPS",
// "FFIT" "TIFF"; any other kept).
OSType Canonicalize_Codec(OSType codec);

// Finds the picture file of a photo whose file was not embedded: at its
// path, else a file of its name (what follows the last "/" or "\"; letters
// matched without regard to case) in the folder of the project file docpath,
// in which case the photo's path becomes that file. TRUE when found, with
// the picture in scan (the caller owns its worlds).
bool8 Attempt_Repair_Photo(const FSSpec& docpath, a_spec& spec, a_picture_scan_rec& scan);

// The question asked for a font of the file that is not installed: the
// font's sample as the file holds it (null when absent) and its stored name;
// the answer is the installed font to use (0: the first font). The font
// browser asks the user; tests and scripts install their own answer. NIL
// (the default) answers 0.
using a_font_remap_proc = uint32 (*)(const PixMap& sample, CUStrSpan name);
extern a_font_remap_proc g_ask_font_remap_proc;
