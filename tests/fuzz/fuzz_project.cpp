// Reads arbitrary bytes as a project file. A file that reads must write
// again, read back and import over itself; one that does not must leave no
// document and no unit behind. No input may reach an internal error.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "host/HostFiles.h"
#include "objects/VoskBlok.h"
#include "pixel/OPUtil.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysErr.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"

namespace {

struct OutOfMemory {};
void Throw_Mem(uint32) { throw OutOfMemory{}; }
void Trap_Quit() { __builtin_trap(); }

std::string g_dir;
FSSpec g_in{}, g_out{};

void Setup() {
  static bool done = false;
  if (done) return;
  done = true;
  QUIT = Trap_Quit;
  g_err_mem_proc = Throw_Mem;
  Fonts_Init();
  VoskDef_Init();
  Resources_Init();
  SysVideo_Init();
  SysWin_Init();
  Quickdraw_Init();
  VoskDoc_Init();
  VoskFunc_Init();
  VoskUndo_Init();
  History_Null();
  VoskBlok_Init();
  gs.controller = GHOST;
  std::string tmpl = Host_Temp_Dir() + "/velmor-fuzz-project-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back(0);
  if (::mkdtemp(buf.data()) == nullptr) __builtin_trap();
  g_dir = buf.data();
  if (!Path_From_Text(g_in, (g_dir + "/in.CD4").c_str())) __builtin_trap();
  if (!Path_From_Text(g_out, (g_dir + "/out.CD4").c_str())) __builtin_trap();
  std::atexit([] {
    File_Delete(g_in);
    File_Delete(g_out);
    ::rmdir(g_dir.c_str());
  });
}

void Close_Document() {
  Undo_Dispose();
  if (g_doc.doc_open) Doc_Dispose();
  Dispose_Doc_Buffers();
  std::memset(static_cast<void*>(&g_doc), 0, sizeof g_doc);
  if (Live_Unit_Recs() != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Setup();
  if (!Host_Replace_File(g_in.name, data, size)) __builtin_trap();
  try {
    if (Read_DISC(g_in, false)) {
      if (Write_DISC(g_out) != DISC_WRITE_OK) __builtin_trap();
      if (!Read_DISC(g_out, false)) __builtin_trap();
      // Imported over itself: layout and units replaced whole.
      if (!Read_DISC(g_out, true) || Live_Unit_Recs() != g_doc.doc_template.nunits) __builtin_trap();
    } else if (Live_Unit_Recs() != 0) {
      __builtin_trap();
    }
  } catch (const OutOfMemory&) {
  }
  Close_Document();
  return 0;
}
