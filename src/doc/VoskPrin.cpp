#include "doc/VoskPrin.h"

#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskTmpl.h"
#include "platform/VoskDef.h"

a_override_spec overrides;

namespace {
bool8 g_laserjet_toggle = false;
}  // namespace

bool8 Is_Small_Paper() {
  return Calc_Direct_Print_Kind() == NOT_DIRECT && g_doc.doc_template.papersize.x < 210.0f;
}

bool8 LaserJet_Toggle() { return g_laserjet_toggle; }
void Set_LaserJet_Toggle(bool8 on) { g_laserjet_toggle = on; }

void Load_Print_Adjust() {}

void VoskPrin_Init() {
  std::memset(static_cast<void*>(&overrides), 0, sizeof overrides);
  g_laserjet_toggle = false;
}

void Delta_Print_Adjust() {}

void Final_Print_Adjust() {}

void Get_Template_Name(UStrSpan name) {
  if (name.empty()) return;
  name[0] = 0;
  if (g_doc.doc_open) Filter_Template_Name(g_doc.doc_template.label, name);
}
