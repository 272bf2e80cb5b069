// Fatal-error hooks. Every module reports an internal error, a failed
// allocation, a missing resource or a missing picture-library key through
// these procedure variables. The defaults here work before anything else
// exists; the main module installs the alert procedures once it runs.
#pragma once

#include "platform/Types.h"

// Key of a picture-library object: four signed 16-bit parts.
struct a_keyset {
  int16 a, b, c, d;
};

using QuitProc = void (*)();
using MemErrProc = void (*)(uint32 needed);
using ResErrProc = void (*)(OSType kind, int16 id);
using KeyErrProc = void (*)(OSType kind, a_keyset key);
using SavProc = void (*)();
using ProgProc = void (*)(int16 num, int16 den);

extern QuitProc QUIT;                 // internal error
extern MemErrProc g_err_mem_proc;     // out of memory, with the bytes asked for
extern ResErrProc g_err_res_proc;     // missing resource
extern KeyErrProc g_err_key_proc;     // missing picture-library key
extern SavProc g_err_sav_proc;        // called before a fatal halt when set

// The file g_err_sav_proc kept the open document in, for the fatal alert to
// name ("" when none was written).
void SysErr_Set_Recovered(const char* path);
const char* SysErr_Recovered();
extern ProgProc g_progproc;           // progress of long operations

void Default_QUIT();
void Default_Mem_Err(uint32 needed);
void Default_Res_Err(OSType kind, int16 id);
void Default_Key_Err(OSType kind, a_keyset key);

// A resource or picture-library item that is missing or damaged. While the
// program starts, nothing can go on without it, and the fatal hooks above
// report it. Once the program runs, such an item is met during a user action:
// the item hooks show the message without halting, the caller refuses the
// action and the open document stays open (a halt would lose unsaved work).
extern ResErrProc g_item_res_proc;
extern KeyErrProc g_item_key_proc;
void Default_Item_Res(OSType kind, int16 id);
void Default_Item_Key(OSType kind, a_keyset key);

// Set by the main module once start-up is over, cleared when shutdown begins.
void SysErr_Set_Running(bool8 running);
bool8 SysErr_Running();

// Reports a missing or damaged item by the rule above. Returns only when the
// report is not fatal; the caller then refuses what it was doing.
void Report_Missing_Resource(OSType kind, int16 id);
void Report_Missing_Key(OSType kind, a_keyset key);

// Points the hooks at the defaults (module start-up).
void SysErr_Init();

// Ends the program at once with the given exit code, after the termination
// procedures registered with Halt_AddTerminator have run.
[[noreturn]] void Halt(int code);
using TerminatorProc = void (*)();
void Halt_AddTerminator(TerminatorProc proc);
