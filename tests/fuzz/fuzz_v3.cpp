// Imports arbitrary bytes as an older project into a one-unit document. An
// import that fails must leave the unit as it was (its object list, paint
// layer and change counter); one that succeeds must leave a list within its
// capacity. No input may reach an internal error.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../DocTestSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "host/HostFiles.h"
#include "objects/VoskBlok.h"
#include "platform/SysErr.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/VoskDef.h"

namespace {

struct OutOfMemory {};
void Throw_Mem(uint32) { throw OutOfMemory{}; }
void Trap_Quit() { __builtin_trap(); }

std::string g_dir;
FSSpec g_in{};

// One small label, so that a run is quick.
a_template One_Label() {
  a_template x{};
  std::strcpy(x.label, "Label");
  x.papersize = {215.9f, 279.4f};
  a_unit& u = x.units[x.nunits++];
  u.kind = UNIT_RECT;
  u.bbox = a_frect{10, 10, 30, 25};
  return x;
}

void Setup() {
  static bool done = false;
  if (done) return;
  done = true;
  QUIT = Trap_Quit;
  g_err_mem_proc = Throw_Mem;
  Fonts_Init();
  doctests::Start_Document_Modules();
  gs.controller = GHOST;
  std::string tmpl = Host_Temp_Dir() + "/velmor-fuzz-v3-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back(0);
  if (::mkdtemp(buf.data()) == nullptr) __builtin_trap();
  g_dir = buf.data();
  if (!Path_From_Text(g_in, (g_dir + "/in.CDL").c_str())) __builtin_trap();
  std::atexit([] {
    File_Delete(g_in);
    ::rmdir(g_dir.c_str());
  });
}

void Close_Document() {
  doctests::Close_Document();
  std::memset(static_cast<void*>(&g_doc), 0, sizeof g_doc);
  if (Live_Unit_Recs() != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Setup();
  if (!Host_Replace_File(g_in.name, data, size)) __builtin_trap();
  // The document is made again only after an import changed it.
  bool fresh = false;
  try {
    if (!g_doc.doc_open && (!Doc_New(One_Label()) || g_doc.up == nullptr)) __builtin_trap();
    const a_doc_unit& u = *g_doc.up;
    const int32 nlist = u.oj.nlist;
    const uint32 seq = u.oj.seq;
    const bool8 paint = u.paintinuse;
    if (Read_DISC(g_in, true)) {
      if (g_doc.up == nullptr || g_doc.up->oj.nlist > MAX_OJ) __builtin_trap();
      fresh = true;
    } else if (g_doc.up != &u || u.oj.nlist != nlist || u.oj.seq != seq || u.paintinuse != paint) {
      __builtin_trap();
    }
  } catch (const OutOfMemory&) {
    fresh = true;
  }
  if (fresh) Close_Document();
  return 0;
}
