// File commands of the document subsystem: open (with a preview in the open
// dialog), close, save, save as, revert, quit, printing a file named on the
// command line and export of the current unit as a picture.
//
// No command loses work: a save that fails keeps the document open and
// changed, and the open, close and quit that asked for it stop there; a
// file that cannot be read leaves the open document as it was.
#pragma once

#include <string>

#include "platform/SysIO.h"
#include "platform/SysWin.h"
#include "platform/Types.h"

// Opens the project at path (an empty name: asks for one). A picture-library
// file (".ART4") is ignored. Unless skipmsg, a changed document is offered a
// save first (prompt 1: Save, Cancel, Don't Save); a failed save or Cancel
// stops the open.
void Do_File_Open(const FSSpec& path, bool8 skipmsg);
// Opens path without asking about the open document; an empty name asks for
// a project in the open dialog (with its preview), and cancelling it stops.
void Do_File_Open2(const FSSpec& path);
// Reads the file as the document (is_template: as a starting point that
// counts as never saved). Only a file that reads replaces the open
// document: then the document takes its path and name and, unless
// is_template, the file joins the recent files. A file that cannot be read
// is reported (alert 10) and the open document, with its path, stays.
void Do_File_Open3(bool8 is_template, const FSSpec& path);
// Closes the document; a changed one is offered a save first (prompt 3) and
// stays open when the save fails or the user cancels.
void Do_File_Close();
// After prompt 5 ("Revert"), reads the document again from its file and
// counts it as unchanged; a file that no longer reads keeps the document.
void Do_File_Revert();
// Decides whether the program ends: with no document open it does
// (g_doneflag); with a changed one the user is asked to save it first
// (prompt 4: Save, Cancel, Don't Save); a failed save keeps the program
// running.
void Do_File_Quit();
// With no document open: reads the file and prints it (Print_Doc: the print
// dialog, except in a command-line run), then closes it. TRUE when printed.
// When nothing was printed, why says why in a few words ("No such file or
// directory", "Permission denied", ...), for the command line's report.
bool8 Do_File_Print(const FSSpec& path, std::string& why);
bool8 Do_File_Print(const FSSpec& path);
// Save: the document to its file, a new one through Save As. The write's
// result: FALSE when nothing was written.
bool8 Do_File_Save();
// Save As: asks for a path (project format only). Cancel: FALSE and nothing
// changes. The document takes the new path and name only when it was
// written there; the write's result.
bool8 Do_File_SaveAs();
// Before the program is stopped: a changed document is offered a save
// (prompt 4 with "Save" and "Don't Save").
void Do_Abort_Save();
// Writes the open document to path as a project file (format: only the
// project format is written). Success: the document counts as saved (not
// changed, not new), its history starts again and path joins the recent
// files. Failure: alert 15 with the system's reason, the document stays
// changed, and the file at path is as it was. TRUE on success.
bool8 Doc_Write(int16 format, const FSSpec& path);
// The suffix of exported pictures of a format (".BMP", ".JPEG", ".TIFF",
// ".PICT", ".PSD"); any other format is an internal error (nullptr).
const char* Export_Suffix(a_file_format format);
// The name proposed for an export: the document's file name with its suffix
// replaced by the format's.
std::string Export_Default_Name(a_file_format format);
// Export: the current unit as a picture of format (BMP, JPEG, TIFF, PICT
// or PSD) to a file the user names, proposed as Export_Default_Name.
void Export_Project(a_file_format format);

// The open dialog's preview: Get_Hook follows the dialog's messages (-1
// start, -2 end, 100 a new selection); FilePreview draws the preview of the file
// fitted and centred in box on a grey ground.
int16 Get_Hook(int16 item, HWND dialog, int16 message);
void FilePreview(const FSSpec& spec, const Rect& box);
void FilePreview_Init();
void FilePreview_Stop();
// TRUE while the preview holds a picture (tests).
bool8 FilePreview_Has_Picture();

// Module start-up: installs Do_File_Quit as the quit of the main window
// (g_file_quit_proc, SysLoop.h).
void VoskFile_Init();
