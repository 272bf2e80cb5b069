// Writes the example projects the start screen offers into a folder (the
// build's "Templates" beside the program): CD labels (two discs on a
// letter sheet, each with its own canvas and symbols), a jewel-case booklet
// and a DVD case wrap, each drawn from the picture library and saved with
// the program's own project writer.
//
// Usage: velmor_examplegen LIBRARY FOLDER
#include <cstdio>
#include <cstring>
#include <string>

#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskRend.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "objects/VoskCanv.h"
#include "objects/VoskPhot.h"
#include "pixel/ArtKeys.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/SysPixt.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysIO.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskPref.h"
#include "ui/VoskBrow.h"
#include "ui/VoskStat.h"

namespace {

struct an_example {
  const char* file;     // the project's name in the folder
  const char* layout;   // the catalogue entry's label
  int16 canvas[2];      // canvas of unit 1 and unit 2 (0: the white one)
  int16 symbols[2];     // the music symbol of unit 1 and unit 2
};

constexpr an_example kExamples[] = {
    {"CD labels.CD4", "Avery 5824", {3, 5}, {2, 12}},
    {"Booklet.CD4", "_ Jewel case booklet (Letter)", {4, 0}, {4, 0}},
    {"DVD wrap.CD4", "_ DVD case wrap (Letter)", {2, 0}, {9, 0}},
};

// A music symbol of the library in the current unit, centred across and a
// quarter down (clear of a disc's hole).
bool Add_Symbol(int16 i, a_pixel32 colour) {
  const a_doc_unit* u = g_doc.up;
  if (u == nullptr) return false;
  int32 omx = 0;
  a_ph_rec* ph = PH_New(omx, SYMBOL_BLOCK);
  if (ph == nullptr) return false;
  ph->spec.source.kind = SOURCE_DATABASE;
  ph->spec.source.key = a_keyset{ART_SYMBOL, ART_SYMBOL_MUSIC, i, 0};
  ph->spec.is_symbol = true;
  ph->spec.symbol_color = colour;
  ph->spec.scalingh = ph->spec.scalingv = 500;
  ph->dst_center = Point{int16(u->paintbounds.bottom / 4), int16(u->paintbounds.right / 2)};
  Photo_Merge(omx, false);
  return true;
}

bool Make(const an_example& ex, const std::string& folder) {
  const uint32 tx = Find_Template(CStrSpan(ex.layout, std::strlen(ex.layout)));
  if (tx == 0 || !Proj_PickLayout2(tx)) {
    std::fprintf(stderr, "velmor_examplegen: no layout \"%s\"\n", ex.layout);
    return false;
  }
  const a_pixel32 colours[2] = {{0x20, 0x40, 0x90, 0xFF}, {0x90, 0x20, 0x30, 0xFF}};
  for (uint32 ux = 1; ux <= 2 && ux <= g_doc.doc_template.nunits; ++ux) {
    // Each unit with a design of its own.
    if (Doc_Unit(ux) != nullptr && Doc_Unit(ux)->clonef && !Unclone(ux)) continue;
    Select_Doc_Unit(ux);
    a_doc_unit* u = g_doc.up;
    if (u == nullptr) continue;
    const uint8 kind = g_doc.doc_template.units[ux - 1].kind;
    const int16 canvx = ex.canvas[ux - 1];
    if (canvx > 0 && canvx <= Canvas_Count(kind)) {
      CanvX_To_Key(u->canv.cv.canvas_key, canvx, kind);
      Unit_PostRender(u);
    }
    if (ex.symbols[ux - 1] > 0 && !Add_Symbol(ex.symbols[ux - 1], colours[ux - 1])) {
      std::fprintf(stderr, "velmor_examplegen: no symbol %d for %s\n", ex.symbols[ux - 1], ex.file);
      return false;
    }
  }
  Select_Doc_Unit(1);
  const std::string path = folder + "/" + ex.file;
  FSSpec spec{};
  if (!Path_From_Text(spec, path.c_str())) return false;
  const a_disc_write_result r = Write_DISC(spec);
  if (r != DISC_WRITE_OK) {
    std::fprintf(stderr, "velmor_examplegen: %s not written: %s\n", path.c_str(), Write_DISC_Reason().c_str());
    return false;
  }
  Doc_Dispose();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: velmor_examplegen LIBRARY FOLDER\n");
    return 2;
  }
  VoskDef_Init();
  Resources_Init();
  SysVideo_Init();
  SysWin_Init();
  Quickdraw_Init();
  VoskDoc_Init();
  VoskFunc_Init();
  VoskUndo_Init();
  VoskPrin_Init();
  VoskStat_Init();
  Prefs_SetToDefault();
  History_Null();
  VoskBlok_Init();
  OPUtil_Init();
  SysPixt_Init();
  OP_Init();
  gs.controller = GHOST;
  FSSpec lib{};
  if (!Path_From_Text(lib, argv[1]) || OP_OpenFile(lib) != OPEN_OKAY) {
    std::fprintf(stderr, "velmor_examplegen: cannot read the picture library %s\n", argv[1]);
    return 1;
  }
  int rc = 0;
  for (const an_example& ex : kExamples)
    if (!Make(ex, argv[2])) rc = 1;
  OP_Stop();
  Dispose_Doc_Buffers();
  Cache_Clear();
  return rc;
}
