// File associations on a Linux desktop: a desktop entry that names the
// program, its icon and the types it opens
// ($XDG_DATA_HOME/applications/<id>.desktop), the icon itself as PNG files in
// the hicolor theme ($XDG_DATA_HOME/icons/hicolor/<N>x<N>/apps/<id>.png,
// which the entry names by "Icon=<id>"), and a shared-mime-info package that
// maps the file suffixes to those types ($XDG_DATA_HOME/mime/packages/<id>.xml).
// Each file is rewritten (atomically) only when its content changed, and then
// the desktop's caches are refreshed with update-mime-database and
// update-desktop-database when those exist.
// Nothing here is ever reported to the user: a desktop without these
// folders or tools, or a read-only home, leaves the program working as before.
#pragma once

#include <string>
#include <vector>

#include "platform/Types.h"

// The actions a file type offers (bits of HostFileType::commands).
constexpr uint8 HOST_ASSOC_OPEN = 1;       // start the program (the file is not passed)
constexpr uint8 HOST_ASSOC_OPEN_FILE = 2;  // start the program on the file
constexpr uint8 HOST_ASSOC_PRINT = 4;      // print the file ("/p" and its name)

struct HostFileType {
  std::string mime_type;  // "application/x-..."
  std::string comment;    // the type's description shown by file managers
  std::string suffix;     // with its dot, letters in either case (".CD4")
  uint8 commands = 0;
};

// The program's icon at one size: a PNG file of size x size pixels.
struct HostDesktopIcon {
  int32 size = 0;  // one of the theme's sizes (HOST_ICON_SIZES)
  std::vector<uint8> png;
};
// The sizes the hicolor theme has folders for.
constexpr int32 HOST_ICON_SIZES[] = {16, 22, 24, 32, 48, 64, 96, 128, 256, 512};

struct HostDesktopApp {
  std::string id;         // the files' base name ("velmor4"), also the icon's name
  std::string name;       // the program's name in menus
  std::string exec_path;  // absolute path of the program file
  std::vector<HostFileType> types;
  // The icon at its sizes; none: the entry names no icon. An icon whose size
  // is not a theme size, or whose data is not a PNG file of that size, is
  // left out.
  std::vector<HostDesktopIcon> icons;
};

struct HostDesktopReport {
  bool desktop_written = false;  // the desktop entry was (re)written
  bool mime_written = false;     // the mime package was (re)written
  bool icons_written = false;    // at least one icon file was (re)written
  bool desktop_failed = false;   // it had to change but could not be written
  bool mime_failed = false;
  bool icons_failed = false;     // an icon could not be written, or was left out
};

// The user's data folder: $XDG_DATA_HOME when it holds an absolute path, else
// ~/.local/share. False when neither can be found.
bool Host_Data_Home(std::string& out);
// The program file's absolute path (/proc/self/exe); false when the file is
// gone (replaced while the program runs).
bool Host_Program_File(std::string& out);

// A mime subtype made from a name: "x-" and the name lower-cased with each run
// of other characters than letters and digits turned into one "-"
// ("Velmor Art Database" gives "x-velmor-art-database").
std::string Host_Mime_Subtype(const std::string& name);

// The texts of the two files. False when the program's path or a name cannot
// be written into them (not UTF-8, control characters, an empty name).
bool Host_Desktop_Entry_Text(const HostDesktopApp& app, std::string& text);
bool Host_Mime_Package_Text(const HostDesktopApp& app, std::string& text);

// Writes the files whose content changed (the icons before the entry that
// names them), creating the folders as needed, and starts the cache refresh
// for each folder whose file was written, without waiting for the refresh
// tools. False when a file that had to change could not be
// written or an icon was left out; the caller may ignore it.
bool Host_Desktop_Register(const HostDesktopApp& app, HostDesktopReport* report = nullptr);

// The refresh commands; each is run with its folder appended. Defaults:
// {"update-mime-database"} and {"update-desktop-database"}; an empty vector
// turns a refresh off. Tests put stand-ins here.
void Host_Desktop_Set_Refresh_Commands(const std::vector<std::string>& mime,
                                       const std::vector<std::string>& desktop);
void Host_Desktop_Reset_Refresh_Commands();
