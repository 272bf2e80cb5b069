// The dispatch of every menu command and key that reaches the application.
// The main window hands them here (through the hooks of SysLoop.h, which
// Intf_Init sets), each between SV_Begin_Interaction and SV_End_Interaction.
//
// So far only "Hide Everything" is carried out; the other commands come with
// what they act on (the observers of ui/VoskIntf.h see every one).
#pragma once

#include "platform/SysLoop.h"
#include "platform/Types.h"

// Menus and items of the commands carried out.
constexpr int16 MENU_VIEW = 500;
constexpr int16 VIEW_HIDE_ALL = 8;  // "Hide Everything" (Ctrl+E)

// Carries out the command of a menu (its id, language copies folded onto
// the base id) and item (from 1).
void DoMenuEvent(int16 menu_category, int16 menu_item, bool8 shiftkey, bool8 optionkey);
// Offers a key to the application. A key nothing uses plays sound 136 while
// the tool panels are shown; while they are hidden, Escape brings them back
// (sound 130) and any other key shows alert 26 ("Press the ESC key to
// restore the menus.").
void DoKeyDown(const a_keystroke& key);
