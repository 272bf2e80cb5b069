// Asking the user for files and folders: the open dialog (one or several
// existing files, filtered by a list of type-and-suffix pairs), the save
// dialog (its filter list is the set of file formats the caller offers; the
// filter chosen decides the format and the file's suffix) and the folder
// browser, all on the host's own file dialog (HostFileDialog.h), so a
// script answers them with `answer open|save|folder PATH`. Also the suffix
// rules of the file formats.
//
// Matching a name against one suffix is SysIO's Matches_Suffix.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "host/HostWin.h"
#include "platform/SysIO.h"
#include "platform/SysMem.h"
#include "platform/Types.h"

// One type-and-suffix pair of the open dialog's filter: a file type and a
// NUL-terminated suffix with its dot (".BMP"); a suffix starting with "?"
// stands for all files.
struct a_type_suffix {
  char type[4];
  char suffix[10];
};
static_assert(sizeof(a_type_suffix) == 14);

// A set over the 11 formats: bit f for format f.
using a_file_format_set = uint16;
constexpr int16 kNumFileFormats = 11;
constexpr a_file_format_set Format_Bit(a_file_format f) { return a_file_format_set(1u << unsigned(f)); }

// The save dialog's format choice.
struct a_put_customize {
  void* old_hook;  // not used
  void* nav_hook;  // not used
  a_file_format format;               // in: the starting format; out: the one chosen
  a_file_format_set formats_enabled;  // the formats offered
  int16 popup_ix;
  Handle ditl_hdl;
  int16 appendx;
  HWND dialog;
};

// Procedures of the open dialog's caller: the file preview (not shown) and
// the hook (kept, not called).
using a_preview_proc = void (*)();
using a_preview_file_proc = void (*)(const FSSpec& spec, const Rect& box);
using a_get_hook_proc = int16 (*)(int16 item, HWND dialog, int16 message);

// The open dialog's filters of the import commands: track names from a
// playlist export or a text file, and the projects of another label program.
inline constexpr a_type_suffix ITUNES_FILE_TYPES[] = {
    {{'T', 'E', 'X', 'T'}, ".EXPORT"},
    {{'T', 'E', 'X', 'T'}, ".XML"},
    {{'T', 'E', 'X', 'T'}, ".TXT"},
};
inline constexpr a_type_suffix IMPORT_FILE_TYPES[] = {
    {{'D', 'I', 'S', 'C'}, ".CDL"},
    {{'J', 'C', 'A', 'R'}, ".CDL"},
    {{'T', 'R', 'A', 'Y'}, ".CDL"},
    {{'D', 'I', 'S', 'C'}, ".CD4"},
};

// Module start-up.
void SysIONav_Init();

// The open dialog. Fills path_ptr[0 .. maxnpath-1] (all cleared first) with
// the complete paths chosen, several only when maxnpath is above 1; returns
// how many (0 when cancelled). preview, creator, key and the preview
// procedures are not used.
int16 Ask_Get_Path(bool8 preview, CStrSpan prompt, OSType creator, std::span<const a_type_suffix> typesuff,
                   int16 key, a_preview_proc previewinit, a_preview_proc previewstop,
                   a_preview_file_proc previewfile, a_get_hook_proc hook, int16 maxnpath, FSSpec* path_ptr);
// The save dialog, offering custom.formats_enabled and proposing defname
// with the suffix of custom.format. TRUE when a name was confirmed: path is
// it, carrying the suffix of the format chosen, and custom.format that
// format. FALSE when cancelled (path keeps the proposed name).
bool8 Ask_Put_Path(CStrSpan prompt, CStrSpan defname, int16 key, a_put_customize& custom, FSSpec& path);
// The folder browser; TRUE with the folder in path.name when one was chosen.
bool8 Ask_Put_Folder(CStrSpan prompt, FSSpec& path);

// Leaves a name that ends in one of the format's suffixes; otherwise
// replaces its suffix with the format's own (Replace_Suffix). Formats
// without suffix rules (BMP2, ILBM and the two GIFs) are an internal error.
void ForceSuffixF(StrSpan name, a_file_format format);
// The suffix a format's files get (".CD4", ".PCT", ".BMP", ...).
const char* Format_Suffix(a_file_format format);

// Item ix of string list id in the interface language, else of list id.
void Get_Translated_Str(StrSpan string, int16 id, int16 ix);

// Filter lists: entries of a description and a pattern list, each ended by
// a NUL, the list ended by one more NUL.
// The save dialog's list: one entry per format in `enabled`, in format order.
void Calc_Filter_List(std::string& ss, a_file_format_set enabled);
// The open dialog's list: one entry for all the pairs (duplicates left
// out); "?" gives "All files" and "*.*"; more than 11 pairs give the fixed
// list of picture suffixes.
void SuffixList_To_Filter(std::string& filter, std::span<const a_type_suffix> s);
// Turns the delimiter character 1 into NUL throughout.
void Replace_Delimiters(std::string& ss);
// ss := the text at ptr up to its NUL (or the end); ptr moves past the NUL.
// FALSE when ptr was empty.
bool8 Extract(std::string& ss, std::string_view& ptr);

// Hands a file to the user's mail program as an attachment (xdg-email);
// TRUE when that started.
bool8 Internet_Send(const FSSpec& attachment);
