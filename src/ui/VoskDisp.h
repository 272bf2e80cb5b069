// The dispatch of every menu command and key that reaches the application.
// The main window hands them here (through the hooks of SysLoop.h, which
// Intf_Init sets), each between SV_Begin_Interaction and SV_End_Interaction.
//
// Carried out so far: "New Project..." (the layout chooser in its first
// form), the Edit menu's Undo and Redo (the history's buttons), Cut, Copy,
// Paste, Select All and Select None for objects, the Arrange menu's scalings
// to fit and cover, "Hide Everything", and the tool panels' commands that
// have no menu item, by command number until the panels show them (below).
// The other commands come with what they act on (the observers of
// ui/VoskIntf.h see every one).
#pragma once

#include "platform/SysLoop.h"
#include "platform/Types.h"

struct a_picture_scan_rec;

// Menus and items of the commands carried out.
constexpr int16 MENU_FILE = 300;
constexpr int16 FILE_NEW = 1;        // "New Project..." (Ctrl+N)
constexpr int16 MENU_EDIT = 400;
constexpr int16 EDIT_UNDO = 1;       // Ctrl+Z
constexpr int16 EDIT_REDO = 2;       // Ctrl+Y
constexpr int16 EDIT_CUT = 4;        // Ctrl+X
constexpr int16 EDIT_COPY = 5;       // Ctrl+C
constexpr int16 EDIT_PASTE = 6;      // Ctrl+V
constexpr int16 EDIT_SELECT_ALL = 7;   // Ctrl+A
constexpr int16 EDIT_SELECT_NONE = 8;  // Ctrl+D
constexpr int16 MENU_VIEW = 500;
constexpr int16 VIEW_HIDE_ALL = 8;  // "Hide Everything" (Ctrl+E)
constexpr int16 MENU_ARRANGE = 900;
constexpr int16 ARRANGE_FIT_H = 12;    // "Scale to fit Horizontally"
constexpr int16 ARRANGE_FIT_V = 13;    // "Scale to fit Vertically"
constexpr int16 ARRANGE_COVER_P = 14;  // "Scale to cover preserving aspect"
constexpr int16 ARRANGE_COVER_D = 15;  // "Scale to cover distorting"

// The tool panels' commands by number (a menu command id is the menu's id
// plus the item, so command n arrives as menu n - n mod 20, item n mod 20),
// until the panels offer them:
// - PANEL_ONESHOT + b: one-shot button b (a_oneshot_enum) pressed, for the
//   buttons of the canvas, photo, symbol and object panels;
// - PANEL_SLIDER_UP + s, PANEL_SLIDER_DOWN + s: slider s one unit up or
//   down, its procedure called and its history operation pending;
// - PANEL_BAR + b: palette bar b's elements in the browser, the choice
//   becoming the bar's selection, with the bar's procedure (the canvas, the
//   symbol's colour, the edge colours);
// - PANEL_PHASE + p: the phase strip's phase p (a_phase);
// - PANEL_TEXT_LAYOUT + l: the text layout grid's layout l (a_text_layout),
//   applied to the selected text.
// Until the text editor comes, the text tool takes typed lines: in the text
// phase the characters typed are kept, and Return makes a new text object
// holding them (as pasted text does: styled from the text sliders, or after
// the selected text); Escape drops them.
constexpr int16 PANEL_ONESHOT = 2000;
constexpr int16 PANEL_SLIDER_UP = 2200;
constexpr int16 PANEL_SLIDER_DOWN = 2400;
constexpr int16 PANEL_BAR = 2600;
constexpr int16 PANEL_PHASE = 2700;
constexpr int16 PANEL_TEXT_LAYOUT = 2720;

// Carries out the command of a menu (its id, language copies folded onto
// the base id) and item (from 1).
void DoMenuEvent(int16 menu_category, int16 menu_item, bool8 shiftkey, bool8 optionkey);
// Offers a key to the application. A key nothing uses plays sound 136 while
// the tool panels are shown; while they are hidden, Escape brings them back
// (sound 130) and any other key shows alert 26 ("Press the ESC key to
// restore the menus.").
void DoKeyDown(const a_keystroke& key);

// Copy of objects: the first selected photo or symbol on the clipboard as
// its record (format 768); nothing selected, or another kind: sound 136.
void Scrap_Add_FirstBlock();
// A picture pasted from the clipboard: a new photo (the photo phase made
// current first). The photo takes the scan's worlds.
void Do_Paste_MW(a_picture_scan_rec& scan);
