// File commands of the document subsystem that the platform layer calls:
// opening a file named on the command line, printing one, and quitting.
// (The document reader and the printing path join these with the document
// subsystem; until then a document cannot be read and says so.)
#pragma once

#include <string>

#include "platform/SysIO.h"
#include "platform/Types.h"

// Opens the file as the document (is_template: as a starting point that
// counts as never saved) through Doc_Read (VoskDoc.h); a file that cannot be
// read is reported there (alert 10) and the open document's path stays.
void Do_File_Open3(bool8 is_template, const FSSpec& path);
// With no document open: reads the file and prints it. TRUE when printed.
// When nothing was printed, why says why in a few words ("No such file or
// directory", "Permission denied", ...), for the command line's report.
bool8 Do_File_Print(const FSSpec& path, std::string& why);
bool8 Do_File_Print(const FSSpec& path);
// Decides whether the program ends: with no document open it does
// (g_doneflag); with an open one the user is asked to save it first (dialog
// 1200: save, cancel, don't save); a failed save keeps the program running.
void Do_File_Quit();
// Module start-up: installs Do_File_Quit as the quit of the main window
// (g_file_quit_proc, SysLoop.h).
void VoskFile_Init();
