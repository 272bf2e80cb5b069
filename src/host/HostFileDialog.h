// Our own file and folder dialog, built on the host's dialog engine
// (HostDialog.h): an open dialog for one or several existing files, a save
// dialog and a folder browser.
//
// The window: the folder as an editable path with Up and Home buttons, a
// list of the folder's sub-folders and files (folders first, each group
// sorted by name without regard to case; names starting with "." are
// hidden; files shown only when they match the chosen type filter), the
// file-name field, the type filter drop-down, a line for errors, OK and
// Cancel. In the list: a click selects, Ctrl+click and Shift+click add to a
// multiple selection (open dialog with `multi`), a double-click (or Enter)
// opens a folder or takes a file, Backspace goes up, a typed character
// jumps to the next name starting with it. Enter in the path field goes to
// the folder typed.
//
// Paths are UTF-8 and complete; any length up to `max_path` bytes works.
// Everything the user may do wrong (a missing file, an unreadable folder, a
// name or path too long, a file that vanished since it was listed) shows a
// message on the dialog's error line and keeps the dialog open.
//
// Scripted answers (HostScript.h): before anything is shown the dialog
// takes the next queued `answer open|save|folder PATH` of its kind and
// returns it at once, on every backend. A relative PATH is taken from the
// working folder. For an open dialog with `multi`, PATH may hold several
// complete paths separated by "|" (unless PATH as a whole names an existing
// file). For a save dialog the answer's suffix chooses the type filter
// whose patterns it matches (else the starting filter stays); the name is
// then finished like a typed one, and replacing an existing file still asks
// for confirmation (scripted by `answer alert 1` = replace, 2 = cancel). On
// the headless backend (or with no backend) a dialog without an answer is
// cancelled without being shown.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/HostWin.h"
#include "platform/Types.h"

enum HostFileDialogMode : int32 { HOST_FD_OPEN = 0, HOST_FD_SAVE = 1, HOST_FD_FOLDER = 2 };

// One entry of the type drop-down. A pattern is a name with "*" (any run of
// characters) and "?" (one character), compared without regard to case;
// "*" and "*.*" match every file.
struct HostFileFilter {
  std::string description;
  std::vector<std::string> patterns;
};

struct HostFileDialogParams {
  HostFileDialogMode mode = HOST_FD_OPEN;
  HWND owner = nullptr;
  std::string title;
  // Starting folder; empty (or not a folder): the folder the last dialog
  // ended in, else the documents folder.
  std::string folder;
  // Proposed name (save dialog); a name with a folder part starts there.
  std::string name;
  std::vector<HostFileFilter> filters;  // none: every file is shown
  int32 filter_index = 0;               // 0-based starting filter
  bool multi = false;                   // open: several files may be chosen
  bool confirm_overwrite = true;        // save: ask before replacing a file
  int32 max_path = 4095;                // longest path handed back, bytes
  // Save: makes a chosen path final for the filter chosen (adds the
  // format's suffix) before it is checked for existence; may be NIL.
  std::string (*finish_name)(const std::string& path, int32 filter, void* data) = nullptr;
  void* finish_data = nullptr;
  // Tests: show the dialog even on the headless backend, and run on_show
  // once it stands (with the dialog window); a queued `answer alert N` then
  // presses item N of it (IDOK, IDCANCEL), and the dialog cancels when
  // idle with nothing left to do, as every headless dialog does.
  bool show_headless = false;
  void (*on_show)(HWND dialog, void* data) = nullptr;
  void* show_data = nullptr;
};

struct HostFileDialogResult {
  std::vector<std::string> paths;  // open: the files; save: the file; folder: the folder
  int32 filter_index = 0;          // the type filter in use when the dialog ended
};

// Runs the dialog modally; TRUE when the user chose (out filled), FALSE when
// cancelled (out cleared).
bool Host_File_Dialog(const HostFileDialogParams& params, HostFileDialogResult& out);

// Item ids of the dialog (tests and scripts address them).
constexpr int32 kHostFdPath = 100;    // EDIT: the folder
constexpr int32 kHostFdUp = 101;      // BUTTON
constexpr int32 kHostFdHome = 102;    // BUTTON
constexpr int32 kHostFdList = 103;    // the list of folders and files
constexpr int32 kHostFdName = 104;    // EDIT: the file name
constexpr int32 kHostFdType = 105;    // COMBOBOX: the type filter
constexpr int32 kHostFdError = 106;   // STATIC: the error line
constexpr int32 kHostFdReplaceText = 110;  // STATIC of the replace confirmation

// Messages of the list (kHostFdList) for tests: the folder shown, the
// entries and the selection.
constexpr UINT HOST_FDL_GETCOUNT = WM_USER + 40;  // result the entry count
// wParam index, lParam std::string* := the name; result 1 for a folder,
// 0 for a file, -1 for a bad index.
constexpr UINT HOST_FDL_GETENTRY = WM_USER + 41;
constexpr UINT HOST_FDL_GETSEL = WM_USER + 42;    // wParam index; result 1 when selected
constexpr UINT HOST_FDL_GETCARET = WM_USER + 43;  // result the caret entry, -1 none
constexpr UINT HOST_FDL_GETTOP = WM_USER + 44;    // result the first entry shown
constexpr UINT HOST_FDL_ROWHEIGHT = WM_USER + 45; // result the height of a row, pixels

// --- Pieces, exposed for their own tests -------------------------------------------

struct HostFileEntry {
  std::string name;
  bool is_dir = false;
};

// Glob match as above ("*" and "?"; letters of ASCII without case).
bool Host_File_Pattern_Match(std::string_view name, std::string_view pattern);
// A pattern list such as "*.JPG;*.JPEG" or "*.PICT,*.PCT" split into patterns
// (";" and "," both separate; blanks around a pattern are dropped).
std::vector<std::string> Host_File_Split_Patterns(std::string_view list);
// The entries of a folder as the list shows them: hidden names left out,
// sub-folders first, then files matching any of the patterns (all files
// when there are none), each group sorted. folders_only leaves files out.
// FALSE with a message in err when the folder cannot be read.
bool Host_File_List_Folder(const std::string& folder, const std::vector<std::string>& patterns,
                           bool folders_only, std::vector<HostFileEntry>& out, std::string& err);
// Joins a folder and a name with one "/"; a name starting with "/" stands alone.
std::string Host_File_Join(const std::string& folder, const std::string& name);
// The folder above (the root stays the root).
std::string Host_File_Parent(const std::string& folder);
