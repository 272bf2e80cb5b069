// The modules behind an open document, started in the program's order for
// tests that make, read or draw documents without the whole program, and
// the document closed again with what it held.
#pragma once

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

// Everything from a zeroed state: no document, nothing in the picture
// cache, no history.
inline void Start_Document_Modules() {
  VoskDef_Init();
  Resources_Init();
  SysVideo_Init();
  SysWin_Init();
  Quickdraw_Init();
  VoskDoc_Init();
  VoskFunc_Init();
  VoskUndo_Init();
  VoskPrin_Init();
  History_Null();
  VoskBlok_Init();
  OPUtil_Init();
}

inline void Close_Document() {
  Undo_Dispose();
  if (g_doc.doc_open) Doc_Dispose();
  Dispose_Doc_Buffers();
  Cache_Clear();
}

}  // namespace doctests
