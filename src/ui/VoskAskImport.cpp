#include "ui/VoskAskImport.h"

#include <string>

#include "doc/ParsDISC.h"
#include "doc/ParsV3.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "platform/SysIONav.h"
#include "platform/SysSound.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"

namespace {

constexpr int16 STR_OPEN = 120;  // the open dialog's prompt

// Why the reader refused the file, told the user.
void Tell_Refusal() {
  Sound_Effect(SND_NULL);
  const a_defect_set older =
      Defect_Bit(DEFECT_V3) | Defect_Bit(DEFECT_UNIT_MISSING) | Defect_Bit(DEFECT_UNIT_VERSION);
  if ((defects & Defect_Bit(DEFECT_V3)) != 0 && V3_Objects_Refused() > 0) {
    const std::string n = std::to_string(V3_Objects_Refused());
    Param_Text(CStrSpan(n.c_str(), n.size() + 1), "", "", "");
    OK_Alert(false, ALERT_IMPORT_NO_ROOM);
  } else if ((defects & older) != 0) {
    OK_Alert(false, ALERT_IMPORT_DAMAGED);
  } else {
    OK_Alert(false, STR_CANT_READ);
  }
}

}  // namespace

bool8 Do_Import_Velmor(const FSSpec& path) {
  FSSpec chosen = path;
  if (chosen.name[0] == 0) {
    Str255 prompt{};
    Get_DLOG_String(prompt, STR_OPEN);
    if (Ask_Get_Path(false, CStrSpan(prompt, sizeof prompt), FourCC("????"), IMPORT_FILE_TYPES, 0, nullptr,
                     nullptr, nullptr, nullptr, 1, &chosen) == 0)
      return false;
  }
  if (!g_doc.doc_open || g_doc.up == nullptr || g_doc.up->clonef) {
    Sound_Effect(SND_NULL);
    return false;
  }
  if (!Read_DISC(chosen, true)) {
    Tell_Refusal();
    return false;
  }
  History_Emit(OP_IMPORT);
  return true;
}

void Cmd_Import_Velmor(bool8, bool8) { (void)Do_Import_Velmor(FSSpec{}); }
