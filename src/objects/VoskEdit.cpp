#include "objects/VoskEdit.h"

#include "platform/Events.h"
#include "platform/SysLoop.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskDelt.h"

a_edit_rec g_ed{};
bool8 g_editing = false;

namespace {
bool8 g_caret_shown = false;
uint32 g_caret_next = 0;
// Blink period in ticks (about half a second).
constexpr uint32 kCaretBlink = 32;
}  // namespace

void Caret_Init() {
  g_caret_shown = false;
  g_caret_next = 0;
  g_caret_erase_proc = Caret_Inval;
  g_caret_tick_proc = Caret_Tick;
}

void Caret_Inval() { g_caret_shown = false; }

void Caret_Tick() {
  if (!g_editing) {
    g_caret_shown = false;
    return;
  }
  const uint32 now = TickCount();
  if (int32(now - g_caret_next) < 0) return;
  g_caret_next = now + kCaretBlink;
  g_caret_shown = !g_caret_shown;
}

void Null_Ed() {
  Caret_Inval();
  g_ed.edit_objid = 0;
  g_ed.edit_omx = 0;
  g_ed.edit_om = nullptr;
}

void Text_Edit() { SV_Set_Enum(SV_TXEDIT_PHASE, TXEDIT_EDIT); }

bool8 Is_Text_Range() { return false; }

void Delta_Text_Override() {}
