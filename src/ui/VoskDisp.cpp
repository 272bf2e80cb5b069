#include "ui/VoskDisp.h"

#include "platform/SysSound.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskIntf.h"
#include "ui/VoskMenu.h"

namespace {
constexpr uint8 kEscape = 27;
constexpr int16 kAlertRestoreMenus = 26;
}  // namespace

void DoMenuEvent(int16 menu_category, int16 menu_item, bool8 shiftkey, bool8 optionkey) {
  if (g_intf_menu_observer != nullptr) g_intf_menu_observer(menu_category, menu_item, shiftkey, optionkey);
  if (menu_category == MENU_VIEW && menu_item == VIEW_HIDE_ALL) HideAll_Toggle();
}

void DoKeyDown(const a_keystroke& key) {
  if (g_intf_key_observer != nullptr) g_intf_key_observer(key);
  // Help, the text editor and the document take keys first once they exist;
  // so far only the panels' items do.
  if (gs.tool_show && Intf_KeyDown(key)) return;
  if (gs.tool_show) {
    Sound_Effect(SND_NULL);
  } else if (key.charcode == kEscape) {
    Sound_Effect(SND_SUBTOOL_ONESHOT);
    HideAll_Toggle();
  } else {
    OK_Alert(false, kAlertRestoreMenus);
  }
}
