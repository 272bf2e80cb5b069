// The user's and the program's folders on Linux, following the XDG base and
// user-directory conventions. Every result is an absolute UTF-8 path without a
// trailing "/" (except the root itself); false when it cannot be found.
#pragma once

#include <string>

// The application-data folder, $XDG_CONFIG_HOME/velmor4 (when that variable
// holds an absolute path) else ~/.config/velmor4; created with its parents on
// first use. The preferences and the undo working file live here. Tests point
// it elsewhere by setting XDG_CONFIG_HOME before the call.
bool Host_AppData_Dir(std::string& out);

// The user's documents folder: XDG_DOCUMENTS_DIR of
// $XDG_CONFIG_HOME/user-dirs.dirs (else ~/.config/user-dirs.dirs), with a
// leading $HOME expanded, when it names an existing folder; else the home folder.
bool Host_Documents_Dir(std::string& out);

// The folder holding the program file (from /proc/self/exe).
bool Host_Program_Dir(std::string& out);

// The home folder: $HOME when absolute, else the password database's entry.
bool Host_Home_Dir(std::string& out);
