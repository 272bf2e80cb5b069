// The program's entry, above every layer: it starts every module in order
// (the start-ups of the higher layers install the hooks through which the
// lower ones reach them), refuses to run twice, installs the fatal-error
// alerts, initialises the platform and the
// application with a fatal alert for each missing precondition, runs the
// message loop with polled idle work, and shuts everything down in order.
#pragma once

#include <string>
#include <vector>

#include "host/HostWin.h"
#include "pixel/OP.h"
#include "platform/Events.h"
#include "platform/Types.h"

extern a_openfile_result g_art_result;  // result of opening the picture library
extern bool8 g_normal_quit;             // TRUE once the program ends by its own path
// The drive index where the picture library was found on a CD.
int16 Art_Volume();

// The whole program: main() calls this with its arguments and returns its
// result (the process normally ends inside, through Halt).
int Velmor4_Main(int argc, char** argv);

// g_err_sav_proc of the program: before a fatal halt, a changed open
// document is kept in a recovered project file (Recover_Open_Document), whose
// path the fatal alert then names, and the preferences are written as at a
// normal end (not in a print run, nor before start-up is over).
void Keep_Work_Before_Halt();

// Runs the start-up of every module once, in dependency order. Opens no
// document and makes no window.
void Start_Modules();

bool8 Main_Init();
void Main_Loop();
void Main_Stop();
void Do_Idle();
// An interface language the resources do not hold (gs.pref.language_offset,
// low byte) becomes the lowest one they do (app_capability).
void Force_Language_Available();
// Registers the window classes "NORM" and "NULL".
void Register_Classes();
// Tries the picture library on each CD drive until one opens.
void Find_CD(CStrSpan fname);

// A modal dialog that asks for the program disc (template DLOG_ASK_VOL: 1
// the button that gives up, 2 the message), offered for a run whose picture
// library is on a disc; the program itself does not use it. Init: item 1
// reads dialog string 105, item 2 the text of alert 44. Filter: Escape ends
// the dialog with 1; every other event looks for the library on the disc
// drives and ends the dialog with 2 once it opens. Cmd: ends the dialog
// with the item (its cancel item, as Escape, with 1).
constexpr int16 DLOG_ASK_VOL = 1243;
void Ask_Vol_Init(HWND dialog);
bool8 Ask_Vol_Filter(HWND dialog, EventRecord& event, int16& item);
void Ask_Vol_Cmd(HWND dialog, int16 item);
// The default main-window rectangle: at most 1024 x 750, centred across the
// work area, at most 45 pixels below its top.
void Calc_Default_WindowPos(Rect& box);
// Registry errors are not reported.
inline void Bomb(int16) {}

// --- Exit statuses (the README's "Exit status" lists them) -------------------------------

constexpr int kExitNormal = 0;
constexpr int kExitFatalAlert = 1;      // a fatal alert ended the program
constexpr int kExitBadCommandLine = 2;  // a command line that could not be used
constexpr int kExitNothingPrinted = 3;  // a print run that printed nothing
constexpr int kExitNoDisplay = 4;       // no display backend could start

// --- The command line --------------------------------------------------------------------

// The program's parameters (without its name).
void Set_Command_Line(const std::vector<std::string>& params);
// Handles the command line at the start of the main loop: TRUE when the
// program must end without entering the loop (a print or override run).
// Every problem is reported on standard error as "velmor: MESSAGE: WHAT":
// the command-line messages with the offending parameter (status 2), and a
// print run that printed nothing as "velmor: nothing printed: FILE: REASON"
// (status 3). The status is kept for the end of the program.
bool8 Do_Shell_Events();
// A command line that prints and ends ("/P" and a file, or an override
// run): such a run prints beside a running copy and writes no preferences.
bool8 Is_Print_Run(const std::vector<std::string>& params);
// The exit status the last Do_Shell_Events asks for: kExitNormal,
// kExitBadCommandLine or kExitNothingPrinted.
int Shell_Exit_Status();

// --- File associations ---------------------------------------------------------------------

// Declares the program to the desktop as the opener of project files (open
// and print) and of picture-library files (start only): a desktop entry and
// a mime package in the user's data folder, rewritten when they change.
// Failures are silent; start-up goes on.
void Init_Registry();
// Adds one file type to the declaration Init_Registry writes. commands: 1
// start the program, 2 open the file, 4 print it. The type is named after
// app_short + suffixd and described as app_desc + suffixd. iconx names the
// type's icon in the program file, which a desktop cannot read; it is kept
// for callers and not written.
void Add_Association(uint8 commands, int16 iconx, CStrSpan app_short, CStrSpan app_desc, CStrSpan exe_path,
                     CStrSpan suffix, CStrSpan suffixd);
