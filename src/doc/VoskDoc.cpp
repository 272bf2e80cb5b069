#include "doc/VoskDoc.h"

#include "platform/SysErr.h"

a_direct_print_kind Calc_Direct_Print_KindT(const a_template& tmpl) {
  if ((tmpl.tflags & (1u << IS_CDPRINTER)) == 0) return NOT_DIRECT;
  switch (tmpl.units[0].kind) {
    case UNIT_CD: return CD_DIRECT;
    case UNIT_MINICD_RING: return MINICD_DIRECT;
    case UNIT_MINICD_HOCKEY: return HOCKEY_DIRECT;
    case UNIT_MINICD_RECT: return RECT_DIRECT;
    default: break;
  }
  QUIT();
  return NOT_DIRECT;  // QUIT does not return in the program; tests' hooks throw
}

a_direct_print_kind Calc_Direct_Print_Kind() { return Calc_Direct_Print_KindT(g_doc.doc_template); }

bool8 Is_Landscape() { return (g_doc.doc_template.tflags & (1u << IS_LANDSCAPE)) != 0; }
