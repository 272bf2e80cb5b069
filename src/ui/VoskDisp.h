// The dispatch of every menu command and key that reaches the application.
// The main window hands them here (through the hooks of SysLoop.h, which
// Intf_Init sets), each between SV_Begin_Interaction and SV_End_Interaction.
//
// One table names every command of the menus with its action and the rule
// that enables it; the menus (ui/VoskMenu.h) grey by the same rules, and a
// command whose rule refuses it plays sound 136 and does nothing, whether it
// comes from a menu, a shortcut or a script. The Help menu's web page item
// is greyed while the program has no address for it.
#pragma once

#include "platform/SysLoop.h"
#include "platform/Types.h"

struct a_picture_scan_rec;

// Menus, and items of the commands named elsewhere.
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
constexpr int16 MENU_ARRANGE_H = 100;  // "Move Horizontally" (Arrange item 9)
constexpr int16 MENU_ARRANGE_V = 120;  // "Move Vertically" (Arrange item 10)
constexpr int16 MENU_ABOUT = 200;      // the window's system menu: item 1 "About ..."
constexpr int16 MENU_HELP = 600;
constexpr int16 MENU_ZOOM = 1000;
constexpr int16 MENU_EXPORT = 1100;
constexpr int16 MENU_IMPORT = 1200;

// The tool panels' commands by number, for scripts (a menu command id is
// the menu's id plus the item, so command n arrives as menu n - n mod 20,
// item n mod 20):
// - PANEL_ONESHOT + b: one-shot button b (a_oneshot_enum) pressed through
//   Oneshot_Click, as a click on it: its row's action, sound and history
//   operation (a dimmed or hidden button does nothing);
// - PANEL_SLIDER_UP + s, PANEL_SLIDER_DOWN + s: slider s one unit up or
//   down through Slider_SetVal, as its plus and minus buttons: its row's
//   action runs and its history operation is pending;
// - PANEL_BAR + b: palette bar b's elements in the browser, the choice
//   becoming the bar's selection, with the bar's procedure (the canvas, the
//   symbol's colour, the edge colours);
// - PANEL_PHASE + p: the phase strip's phase p (a_phase);
// - PANEL_TEXT_LAYOUT + l: the text layout grid's layout l (a_text_layout),
//   applied to the selected text.
constexpr int16 PANEL_ONESHOT = 2000;
constexpr int16 PANEL_SLIDER_UP = 2200;
constexpr int16 PANEL_SLIDER_DOWN = 2400;
constexpr int16 PANEL_BAR = 2600;
constexpr int16 PANEL_PHASE = 2700;
constexpr int16 PANEL_TEXT_LAYOUT = 2720;

// The Import menu's items (0: the command has no item).
constexpr int16 IMPORT_TOASTC = 0;
constexpr int16 IMPORT_TOAST = 0;
constexpr int16 IMPORT_JAM = 0;
constexpr int16 IMPORT_DRAGON = 0;
constexpr int16 IMPORT_ITUNES = 1;
constexpr int16 IMPORT_TABTEXT = 2;
constexpr int16 IMPORT_FILENAMES = 3;
constexpr int16 IMPORT_MP3_TAGS = 0;
constexpr int16 IMPORT_VELMOR = 5;
constexpr int16 IMPORT_WPL_ART = 0;

// When a command is enabled (with the menu it belongs to).
enum a_enable_rule : uint8 {
  RULE_ALWAYS,          // Quit and the options without a document
  RULE_NOT_COLLAGE,     // Open
  RULE_DOC,             // a document is open (Paste, Export)
  RULE_DOC_NOT_COLLAGE, // New, Close, Save, Save As, Print Setup, Print
  RULE_REVERT,          // open, changed, saved before, not the collage
  RULE_UNDO,            // the history has an operation to undo
  RULE_REDO,            // ... and one to redo
  RULE_CUT_COPY,        // something to put on the clipboard
  RULE_SELECT,          // the preview, symbol, photo and text phases
  RULE_VIEW_DOC,        // open and not the preview
  RULE_IMPORT,          // open, not the collage, the current unit no clone
  RULE_ARRANGE_UP,      // the selection can move up the stack
  RULE_ARRANGE_DOWN,    // ... down the stack
  RULE_POSITION,        // Can_Position
  RULE_SCALE,           // Can_Scale
  RULE_ZOOM_IN,         // the zoom menu's, below the largest zoom
  RULE_ZOOM_OUT,        // ... above fit in window
  RULE_ZOOM,            // the zoom menu's
  RULE_HELP,            // the Help menu's
  RULE_WEB_PAGE,        // the program has the maker's web page (its address)
  NENABLE_RULES
};

// A command's action, with the Shift and Ctrl state of the choice.
using a_command_proc = void (*)(bool8 shiftkey, bool8 optionkey);
struct a_command_row {
  int16 command;          // menu id + item position (separators counted)
  a_command_proc action;  // NIL: not yet (the command stays disabled)
  a_enable_rule rule;
};
// Every command of the menus, by command.
const a_command_row* Command_Table(int32& count);
// The row of a command, NIL when it has none (separators, pop-ups, other
// numbers).
const a_command_row* Command_Row(int16 command);

// A menu id with its language offset taken away: ids below 20 stay, others
// drop id mod 20 (403, the Edit menu in language 3, gives 400).
int16 Net_Menu(int16 id);
// Carries out the command of a menu (its id, language copies folded onto
// the base id) and item (from 1). A command whose rule refuses it plays
// sound 136 and does nothing; so do separators and unknown numbers.
void DoMenuEvent(int16 menu_category, int16 menu_item, bool8 shiftkey, bool8 optionkey);
// "Open Project..." and "Quit" as the other modules ask for them.
void Proj_Open();
void Proj_Quit();
// Offers a key to the application, in order: F1 (help on the phase), the
// text being typed, the document view, the tool panels' items. A key nothing
// uses plays sound 136 while the tool panels are shown; while they are
// hidden, Escape brings them back (sound 130) and any other key shows alert
// 26 ("Press the ESC key to restore the menus.").
void DoKeyDown(const a_keystroke& key);

// "To Different Layout": the open document moved onto a layout the user
// picks in the browser. A changed document is offered its save first
// (dialog 1200: Save, Cancel, Don't Save); it goes on only when the save
// wrote the file, or with Don't Save. The old designs go to the new units as
// Calc_Template_Mapping hands them out; when that is not exact the user
// decides in the remapping window, whose Cancel leaves the document as it
// was. Refused (sound 136) with no document and in the collage phase.
void Switch_Layout();

// Whether Cut and Copy would put something on the clipboard now: in the
// paint phase a fill stamp with bounds; while a text is edited a range of
// its characters; in the symbol, photo and text phases a photo, symbol or
// text first in the selection.
bool8 Copy_Would_Put();
// Copy in the paint phase: the fill stamp's picture on the clipboard (with
// a document open and a stamp of non-empty bounds). FALSE when nothing was
// put there.
bool8 Scrap_Add_Stamp();
// Copy of objects: the first selected photo or symbol on the clipboard as
// its record (format 768); nothing selected, or another kind: sound 136.
// omx := the object copied (ENUM_DONE when none); FALSE when none was.
bool8 Scrap_Add_FirstBlock(int32& omx);
// A picture pasted from the clipboard: a new photo (the photo phase made
// current first). The photo takes the scan's worlds. In the collage phase
// nothing is pasted (sound 136) until the collage takes pictures.
void Do_Paste_MW(a_picture_scan_rec& scan);
// Unicode text pasted from the clipboard (at most max units, 0-terminated):
// a new text object in the text phase (made current first). FALSE when
// nothing was made.
bool8 Do_Paste_UTF16(CUStrSpan text, int32 max);
