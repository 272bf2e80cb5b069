#include "platform/SysErr.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

QuitProc QUIT = Default_QUIT;
MemErrProc g_err_mem_proc = Default_Mem_Err;
ResErrProc g_err_res_proc = Default_Res_Err;
KeyErrProc g_err_key_proc = Default_Key_Err;
SavProc g_err_sav_proc = nullptr;
ProgProc g_progproc = nullptr;
ResErrProc g_item_res_proc = Default_Item_Res;
KeyErrProc g_item_key_proc = Default_Item_Key;

namespace {
std::string recovered;
bool err_in_progress = false;
bool8 running = false;
std::vector<TerminatorProc>& terminators() {
  static std::vector<TerminatorProc> list;
  return list;
}
}  // namespace

// There is no window yet when the defaults are in force, so the message goes
// to standard error and the program stops: going on after an internal error
// would only corrupt the user's data.
void Default_QUIT() {
  if (err_in_progress) return;
  err_in_progress = true;
  std::fputs("INTERNAL ERROR\n", stderr);
  std::fflush(stderr);
  Halt(100);
}

void Default_Mem_Err(uint32 needed) {
  std::fprintf(stderr, "out of memory: %u bytes needed\n", unsigned(needed));
  Default_QUIT();
}

void Default_Res_Err(OSType kind, int16 id) {
  std::fprintf(stderr, "missing resource %c%c%c%c %d\n", char(kind >> 24), char(kind >> 16),
               char(kind >> 8), char(kind), int(id));
  Default_QUIT();
}

void Default_Key_Err(OSType kind, a_keyset key) {
  std::fprintf(stderr, "missing key %c%c%c%c %d.%d.%d.%d\n", char(kind >> 24), char(kind >> 16),
               char(kind >> 8), char(kind), int(key.a), int(key.b), int(key.c), int(key.d));
  Default_QUIT();
}

void Default_Item_Res(OSType kind, int16 id) {
  std::fprintf(stderr, "missing resource %c%c%c%c %d\n", char(kind >> 24), char(kind >> 16),
               char(kind >> 8), char(kind), int(id));
}

void Default_Item_Key(OSType kind, a_keyset key) {
  std::fprintf(stderr, "missing key %c%c%c%c %d.%d.%d.%d\n", char(kind >> 24), char(kind >> 16),
               char(kind >> 8), char(kind), int(key.a), int(key.b), int(key.c), int(key.d));
}

void SysErr_Set_Recovered(const char* path) { recovered = path != nullptr ? path : ""; }
const char* SysErr_Recovered() { return recovered.c_str(); }

void SysErr_Set_Running(bool8 r) { running = r; }
bool8 SysErr_Running() { return running; }

void Report_Missing_Resource(OSType kind, int16 id) {
  if (running && g_item_res_proc != nullptr)
    g_item_res_proc(kind, id);
  else
    g_err_res_proc(kind, id);
}

void Report_Missing_Key(OSType kind, a_keyset key) {
  if (running && g_item_key_proc != nullptr)
    g_item_key_proc(kind, key);
  else
    g_err_key_proc(kind, key);
}

void SysErr_Init() {
  QUIT = Default_QUIT;
  g_err_mem_proc = Default_Mem_Err;
  g_err_res_proc = Default_Res_Err;
  g_err_key_proc = Default_Key_Err;
  g_err_sav_proc = nullptr;
  g_item_res_proc = Default_Item_Res;
  g_item_key_proc = Default_Item_Key;
  running = false;
  err_in_progress = false;
  recovered.clear();
}

void Halt_AddTerminator(TerminatorProc proc) { terminators().push_back(proc); }

void Halt(int code) {
  auto& list = terminators();
  while (!list.empty()) {
    TerminatorProc p = list.back();
    list.pop_back();
    p();
  }
  std::fflush(nullptr);
  std::_Exit(code);
}
