#include "doc/VoskRend.h"

#include "doc/VoskDoc.h"
#include "platform/VoskDef.h"

void Current_Unit_UpToDate() {}

void Unit_PostRender(a_doc_unit* unit) {
  if (unit != nullptr) unit->render_dirty = unit->paintbounds;
}

void Curr_Unit_PostRender() { Unit_PostRender(g_doc.up); }

void All_Units_PostRender() {
  const uint32 n = g_doc.doc_template.nunits < MAXNUNITS ? g_doc.doc_template.nunits : MAXNUNITS;
  for (uint32 ux = 1; ux <= n; ++ux) Unit_PostRender(g_doc.doc_units[ux - 1]);
}
