// File commands of the document subsystem: opening a file named on the
// command line, printing one, saving the document and quitting. (Save As
// and the printing path join these later; until then a new document cannot
// be saved and a document read for printing is not printed.)
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
// Writes the open document to path as a project file (format: only the
// project format is written). Success: the document counts as saved (not
// changed, not new) and its history starts again. Failure: alert 15 with
// the system's reason, the document stays changed, and the file at path is
// as it was. TRUE on success.
bool8 Doc_Write(int16 format, const FSSpec& path);
// Save: the document, when it has a file, to that file (Doc_Write). A new
// document needs Save As, which comes with the file dialogs: sound 136 and
// FALSE until then.
bool8 Do_File_Save();
// Decides whether the program ends: with no document open it does
// (g_doneflag); with an open one the user is asked to save it first (dialog
// 1200: save, cancel, don't save); a failed save keeps the program running.
void Do_File_Quit();
// Module start-up: installs Do_File_Quit as the quit of the main window
// (g_file_quit_proc, SysLoop.h).
void VoskFile_Init();
