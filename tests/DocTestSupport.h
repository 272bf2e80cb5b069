// The modules behind an open document, started in the program's order for
// tests that make, read or draw documents without the whole program, and
// the document closed again with what it held.
#pragma once

#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "pixel/OPUtil.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"

namespace doctests {

// The document's own modules over a platform already started (the
// interface's tests start it with the interface).
inline void Start_Document_Layer() {
  VoskDoc_Init();
  VoskFunc_Init();
  VoskUndo_Init();
  VoskPrin_Init();
  History_Null();
  VoskBlok_Init();
  OPUtil_Init();
}

// Everything from a zeroed state: no document, nothing in the picture
// cache, no history.
inline void Start_Document_Modules() {
  VoskDef_Init();
  Resources_Init();
  SysVideo_Init();
  SysWin_Init();
  Quickdraw_Init();
  Start_Document_Layer();
}

// A layout of one CD face on a letter sheet.
inline a_template Disc_Face_Template() {
  a_template x{};
  std::strcpy(x.label, "Disc face");
  x.papersize = {215.9f, 279.4f};
  a_unit& u = x.units[x.nunits++];
  u.kind = UNIT_CD;
  u.bbox = a_frect{10, 10, 130, 130};
  u.meas[0] = 41;
  return x;
}

inline void Close_Document() {
  Undo_Dispose();
  if (g_doc.doc_open) Doc_Dispose();
  Dispose_Doc_Buffers();
  Cache_Clear();
}

}  // namespace doctests
