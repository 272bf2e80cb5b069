// The preferences file: the user's settings in one record (gs.pref), stored
// whole as a 9400-byte file in the application-data folder, read once at
// start-up and written once at the end. Also the print-media settings of the
// current paper, with the nudge turned for landscape pages.
//
// File layout: the record itself, little-endian, no gaps; version 28. Records
// of another version, or shorter than the whole record, are ignored.
//
// The record is packed, so some multi-byte members sit at odd offsets. Use
// them by value (copy in, copy out); do not bind a pointer or reference to a
// member of a_win_pixel32 or integer type that is not byte-aligned.
#pragma once

#include <bit>
#include <string>

#include "platform/PixMaps.h"
#include "platform/SysTimer.h"
#include "platform/Types.h"

static_assert(std::endian::native == std::endian::little,
              "the preferences record is stored in little-endian byte order");

constexpr uint16 PREF_VERSION = 28;
constexpr uint32 PREF_RECORD_SIZE = 9400;

// Which disc printer a layout prints on directly (NOT_DIRECT: page printers).
enum a_direct_print_kind : int16 {
  NOT_DIRECT = 0,
  CD_DIRECT = 1,
  MINICD_DIRECT = 2,
  HOCKEY_DIRECT = 3,
  RECT_DIRECT = 4,
};
constexpr int16 NDIRECT_PRINT_KINDS = 5;
constexpr int16 NMEDIA_SPECS = 3;  // media entries per direct-print kind
constexpr int16 NMEDIA_ADJ = 5;
// The grid-line dash density slider: default and range.
constexpr int16 GRIDLINES_DASH_DEFAULT = 10;
constexpr int16 GRIDLINES_DASH_MIN = 1;
constexpr int16 GRIDLINES_DASH_MAX = 10;
constexpr int16 MAX_NRECENT = 21;
constexpr int16 MAX_NRECENTLAY = 20;
constexpr int16 NUSER_COLORS = 7;

#pragma pack(push, 1)

// A file reference as the record stores it: volume, parent id and the whole
// path, NUL-terminated.
struct a_stored_fsspec {
  int16 vRefNum;
  int32 parID;
  char name[256];
};
static_assert(sizeof(a_stored_fsspec) == 262);

// One paper or disc medium: its shown name, the nudge of the print (tenths of
// a millimetre, vertical first) and five adjustments (inner and outer
// diameter or width and height, business-card side, density, quality).
struct a_print_media_spec {
  uStr63 label;
  Point nudge;
  int16 adj[NMEDIA_ADJ];
};
static_assert(sizeof(a_print_media_spec) == 142);

struct a_print_media_array {
  uint16 listx;  // the chosen entry, 0..2
  a_print_media_spec list[NMEDIA_SPECS];
};
static_assert(sizeof(a_print_media_array) == 428);

struct a_recent_doc {
  a_stored_fsspec doc_path;  // an empty path is a free slot
  DateTimeRec doc_time;
};
static_assert(sizeof(a_recent_doc) == 276);

struct a_layout_usage_rec {
  uint32 count;  // 0: a free slot
  DateTimeRec when;
  char label[32];
  uint32 tx;  // catalogue index, from 1
};
static_assert(sizeof(a_layout_usage_rec) == 54);

struct a_pref_rec {
  uint16 version;
  int16 language_offset;  // an a_language value
  a_print_media_array print_media[NDIRECT_PRINT_KINDS];
  int16 last_agex;
  Rect tot_window;  // main window's outer rectangle, screen pixels
  bool8 print_autopos;
  bool8 sound_option;
  bool8 sound2_option;
  bool8 scroll_option;
  bool8 echo_option;
  bool8 history_option;
  bool8 status_option;
  bool8 cutlines_option;
  bool8 showframes_option;
  bool8 tinycurs_option;
  bool8 exportb_option;
  bool8 embed_option;
  bool8 ruler_option;
  char addon_folder[64];
  char base_font[256];
  int16 base_fontx;
  a_recent_doc recent[MAX_NRECENT];
  a_layout_usage_rec recentlay[MAX_NRECENTLAY];
  a_pixel24 colors[NUSER_COLORS];
  a_win_pixel32 ruler_color;
  a_win_pixel32 gridlines_color;
  a_win_pixel32 cutlines_color;
  int16 gridlines_dash;
};

#pragma pack(pop)

static_assert(sizeof(a_pref_rec) == PREF_RECORD_SIZE);
static_assert(offsetof(a_pref_rec, version) == 0);
static_assert(offsetof(a_pref_rec, language_offset) == 2);
static_assert(offsetof(a_pref_rec, print_media) == 4);
static_assert(offsetof(a_pref_rec, last_agex) == 2144);
static_assert(offsetof(a_pref_rec, tot_window) == 2146);
static_assert(offsetof(a_pref_rec, print_autopos) == 2154);
static_assert(offsetof(a_pref_rec, sound_option) == 2155);
static_assert(offsetof(a_pref_rec, sound2_option) == 2156);
static_assert(offsetof(a_pref_rec, scroll_option) == 2157);
static_assert(offsetof(a_pref_rec, echo_option) == 2158);
static_assert(offsetof(a_pref_rec, history_option) == 2159);
static_assert(offsetof(a_pref_rec, status_option) == 2160);
static_assert(offsetof(a_pref_rec, cutlines_option) == 2161);
static_assert(offsetof(a_pref_rec, showframes_option) == 2162);
static_assert(offsetof(a_pref_rec, tinycurs_option) == 2163);
static_assert(offsetof(a_pref_rec, exportb_option) == 2164);
static_assert(offsetof(a_pref_rec, embed_option) == 2165);
static_assert(offsetof(a_pref_rec, ruler_option) == 2166);
static_assert(offsetof(a_pref_rec, addon_folder) == 2167);
static_assert(offsetof(a_pref_rec, base_font) == 2231);
static_assert(offsetof(a_pref_rec, base_fontx) == 2487);
static_assert(offsetof(a_pref_rec, recent) == 2489);
static_assert(offsetof(a_pref_rec, recentlay) == 8285);
static_assert(offsetof(a_pref_rec, colors) == 9365);
static_assert(offsetof(a_pref_rec, ruler_color) == 9386);
static_assert(offsetof(a_pref_rec, gridlines_color) == 9390);
static_assert(offsetof(a_pref_rec, cutlines_color) == 9394);
static_assert(offsetof(a_pref_rec, gridlines_dash) == 9398);
static_assert(offsetof(a_print_media_spec, nudge) == 128);
static_assert(offsetof(a_print_media_spec, adj) == 132);
static_assert(offsetof(a_print_media_array, list) == 2);
static_assert(offsetof(a_recent_doc, doc_time) == 262);
static_assert(offsetof(a_stored_fsspec, parID) == 2);
static_assert(offsetof(a_stored_fsspec, name) == 6);
static_assert(offsetof(a_layout_usage_rec, when) == 4);
static_assert(offsetof(a_layout_usage_rec, label) == 18);
static_assert(offsetof(a_layout_usage_rec, tx) == 50);

// The defaults of the record and its fix-ups after reading and before
// writing belong to the interface, the open document's direct-print kind and
// orientation to the documents; both sit above this layer and install their
// procedures here at their start-ups (VoskStat_Init: the first three;
// VoskDoc_Init: the last two). Until then the record is left as it is, and
// the document counts as a portrait page for a page printer.
extern void (*g_prefs_default_proc)();                     // Prefs_SetToDefault
extern void (*g_prefs_fixup_read_proc)();                  // Prefs_Fixup_Read
extern void (*g_prefs_fixup_write_proc)();                 // Prefs_Fixup_Write
extern a_direct_print_kind (*g_direct_print_kind_proc)();  // Calc_Direct_Print_Kind
extern bool8 (*g_is_landscape_proc)();                     // Is_Landscape

// Sets the defaults, then reads the preferences file into gs.pref when it
// holds a whole record of version 28 (new_pref := FALSE), and adjusts the
// record to the running system. Never fails: the result is TRUE. A missing,
// short or older file leaves the defaults silently. A file that is there but
// cannot be read (no permission, a read error, a folder or anything else
// that is not a regular file) leaves the defaults too, and is then kept as
// it is for the rest of the run (see Prefs_Write).
bool8 Prefs_Read(bool8& new_pref);

// TRUE when Prefs_Read found a preferences file it could not read, with its
// path and the reason.
bool8 Prefs_Kept_Unread(std::string& path, std::string& reason);
// Tells the user, once a run, why the stored settings were not loaded
// (alert 70, the path and the reason); nothing when there was no such file.
void Prefs_Report_Unread();

// Writes gs.pref to the preferences file. The old file stays in place until
// the new one has been written completely; through a symbolic link the link's
// target is replaced and the link kept; a path that is not a regular file is
// never replaced. TRUE when the file was written, and also when it was left
// alone on purpose because it could not be read at start-up (it must not
// lose the settings it holds, and the user has already been told).
bool8 Prefs_Write();

// The print-media entry of the open document's medium, nudge turned for a
// landscape page; Set_Media_Specs stores one back (turning the nudge back).
void Get_Media_Specs(a_print_media_spec& specs);
void Set_Media_Specs(const a_print_media_spec& specs);

// The preferences file's full path: the application-data folder (see
// HostFolders.h; tests point it elsewhere with XDG_CONFIG_HOME) joined with
// the file name of the program's name list. FALSE when either is missing.
bool8 Prefs_File_Path(std::string& path);

// Makes a record read from the file safe to use: every string terminated
// within its array, every option 0 or 1, every index and enumeration within
// its range (an out-of-range value takes its value in defaults). Options are
// fixed on the raw bytes, so a stored byte other than 0 or 1 is never loaded
// as a bool.
void Prefs_Sanitize(a_pref_rec& pref, const a_pref_rec& defaults);
