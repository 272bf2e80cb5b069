// The program's entry: starts every module in order, refuses to run twice,
// installs the fatal-error alerts, initialises the platform and the
// application with a fatal alert for each missing precondition, runs the
// message loop with polled idle work, and shuts everything down in order.
#pragma once

#include <string>
#include <vector>

#include "pixel/OP.h"
#include "platform/Types.h"

extern a_openfile_result g_art_result;  // result of opening the picture library
extern int16 g_vol;                     // drive index where it was found on a CD
extern bool8 g_normal_quit;             // TRUE once the program ends by its own path

// The whole program: main() calls this with its arguments and returns its
// result (the process normally ends inside, through Halt).
int Velmor4_Main(int argc, char** argv);

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
// The default main-window rectangle: at most 1024 x 750, centred across the
// work area, at most 45 pixels below its top.
void Calc_Default_WindowPos(Rect& box);
// Registry errors are not reported.
inline void Bomb(int16) {}

// --- The command line --------------------------------------------------------------------

// The program's parameters (without its name).
void Set_Command_Line(const std::vector<std::string>& params);
// Handles the command line at the start of the main loop: TRUE when the
// program must end without entering the loop (a print or override run).
bool8 Do_Shell_Events();
