// The in-place text editor: text is edited right on the label, in the
// layout it prints with. Its record g_ed (a_edit_rec, declared with the
// shared variables in platform/VoskDef.h and defined here) names the edited
// object and the selection; the caret blinks over the view; keys move,
// select and delete by characters, words and lines; the mouse selects by
// dragging, double and triple clicks and Shift-clicks; the override controls
// restyle the selected characters; and the text clipboard carries styled
// ranges (770) and whole text objects (769) besides plain text.
//
// Positions: position p lies before character p (xyl[p - 1]); 1 is the
// start, nxyl (the end entry's position) the end. A selection sel_lo ..
// sel_hi covers characters sel_lo .. sel_hi - 1; equal ends are the caret.
// A character outside the Basic Multilingual Plane is a surrogate pair of
// two entries: no position ever falls between them.
#pragma once

#include <vector>

#include "platform/Quickdraw.h"  // RgnHandle
#include "platform/SysLoop.h"    // a_keystroke, a_mousestroke
#include "platform/Types.h"
#include "platform/VoskDef.h"

struct a_om_rec;
struct a_xyl_char;

// --- The caret --------------------------------------------------------------------------

struct a_caret_rec {
  bool8 active;  // belongs to the current selection
  bool8 vis;     // drawn now
  uint32 next;   // tick of the next blink
  int32 blockx;  // object index it was computed for
  RgnHandle rgn; // its shape, view 1's screen coordinates
  Rect box;      // its bounds
};
extern a_caret_rec g_caret;
constexpr uint32 CARET_SHOWN_TICKS = 60;
constexpr uint32 CARET_HIDDEN_TICKS = 15;

// Module start-up: caret inactive and hidden, a fresh region; installs
// Caret_Inval as the window layer's caret-erase hook and Caret_Tick as the
// main loop's caret hook.
void Caret_Init();
// From the idle loop: while a text is edited, blinks an active caret (shown
// 60 ticks, hidden 15); activates it when the selection is empty, the text
// tool edits characters and no modal window is up.
void Caret_Tick();
// The caret made active for the edited object, due at once, its shape
// computed at sel_lo; the input method's box follows it.
void Caret_Set();
void Caret_Draw();
void Caret_Erase();
// Takes the caret off the screen and deactivates it.
void Caret_Inval();

// --- The edited object -------------------------------------------------------------------

// The editor lets go of its object: the caret is taken off and the edited
// object's id, index and record are cleared.
void Null_Ed();
// The edited record, found again by its object id in its unit (the history
// rebuilds every record on a restore); the selection kept within 1 .. nxyl
// and off the middle of a surrogate pair. NIL while its unit is not the
// current one; NIL, with the edit ended, when the object is gone.
a_om_rec* Ed_Target();
// Starts editing the selected text (the editing state becomes TXEDIT_EDIT).
void Text_Edit();
// Records the edit for undo and goes back to moving whole objects.
void Edit_OK();
// Records the edit, undoes it silently, lets go of an object made for this
// edit, and goes back to moving whole objects.
void Edit_Cancel();
// An edit in place begins or ends (the editing state changed): where it
// began in the history is forgotten, so the next edit starts its own.
void Edit_History_Forget();
// TRUE while the text tool edits characters and a range is selected.
bool8 Is_Text_Range();
// The edited object's box in view 1's screen coordinates, 60 pixels wider
// on both sides (empty when nothing is edited).
Rect Calc_Edit_Box();

// --- The selection -----------------------------------------------------------------------

// Orders a and b, keeps them within 1 .. nxyl; unchanged for the same object
// does nothing; else the caret goes off, the range is stored, the object
// redrawn and the first selected character's style shown in the override
// controls.
void Set_Sel_Range(int32 a, int32 b);
void Set_Sel_Empty(int32 p);
// The first selected character's bold, italic, underline, size, angle and
// offsets shown in the override toggles and sliders.
void Set_Style_Sliders();
void TextR_Select_All();
void TextR_Select_None();

// --- Typing -------------------------------------------------------------------------------

// Inserts at most max UTF-16 units (a 0 unit ends them sooner) at the
// selection, replacing it. Growth is cut to the room left (4000 entries,
// never half a pair): no room at all, or text left out, sounds 136. The
// caret goes after the text unless its deciding character is right to left.
// Whether anything changed.
bool8 Ed_Ins_UBuf(const UniChar* buf, int32 max);
// The same with whole characters of the clipboard, their styles kept.
bool8 Ed_Ins_Styled(const a_xyl_char* chars, int32 n);
// Inserts a line break (character 13).
void Ins_Hardbreak();
// One typed character: a high surrogate waits in g_pending_cc for its low
// half and the pair goes in whole; a lone half is dropped.
void Ed_Add_Keystroke(const a_keystroke& key);
extern UniChar g_pending_cc;
// Right-to-left characters: Hebrew, Arabic and their presentation forms.
bool8 Is_Semitic(UniChar c);

// --- Moving, selecting, deleting -----------------------------------------------------------

enum a_ed_find : uint8 {
  FIND_CHAR_BACK = 0,
  FIND_CHAR_FWD,
  FIND_WORD_BACK,
  FIND_WORD_FWD,
  FIND_LINE_START,  // after the previous hard break
  FIND_LINE_END,    // before the next hard break
  FIND_LINE_UP,     // by the remembered column
  FIND_LINE_DOWN,
  FIND_HOME,
  FIND_END,
};
// Where a move of that kind from position p lands in om.
int32 Ed_Find(const a_om_rec& om, a_ed_find how, int32 p);
// A move places an empty selection (from sel_lo backwards, sel_hi
// forwards); a select keeps the other end; a delete removes the selection,
// or from the found position to the caret. Each sounds 136 when it does
// nothing.
void Ed_Move(a_ed_find how);
void Ed_Select(a_ed_find how);
void Ed_Delete(a_ed_find how);
// Sel_Home: 1 .. sel_hi; Sel_End: sel_lo .. nxyl.
void Sel_Home();
void Sel_End();

// The key table; then keystrokes already waiting, in the same call. FALSE
// as soon as a key is not the editor's (it goes on to the other handlers).
bool8 Edit_KeyDown(const a_keystroke& key);

// --- The mouse -----------------------------------------------------------------------------

// A press in view vx while the text tool edits characters: inside the
// edited text, Track_Text_Range; outside, the objects' own handling. Without
// a press, the text cursor over the edited text, else the move cursor.
void Edit_MouseDown(uint16 vx, const a_mousestroke& stroke);
// The position nearest to cell: the placed character (or the end entry)
// whose place is nearest; 0 when om has none.
int32 Nearest_Position(const a_om_rec& om, Point cell);
// Selects by the mouse from the press at cell: clicks (count 1, 2 or 3:
// caret, word, paragraph; Shift extends) and, while the button is held,
// the range to the character under the mouse.
void Track_Text_Range(uint16 vx, Point cell, int32 clicks, bool8 shift);
void Select_Current_Word(int32 p);
void Select_Current_Para(int32 p);

// --- Overrides -----------------------------------------------------------------------------

// The override controls written into every selected character (the
// horizontal offset into the first one only).
void Delta_Text_Override();
// The override controls back to their defaults, applied.
void Text_Clear_Overrides();

// --- The text clipboard --------------------------------------------------------------------

constexpr uint32 XYL_RECORD_BYTES = 36;
constexpr uint32 OM_RECORD_BYTES = 161502;
constexpr uint32 OM_RECORD_CACHE_AT = 144182;

// Format 770: int32 n, then n characters of 36 bytes, little-endian.
std::vector<uint8> Write_TextR(const a_xyl_char* chars, int32 n);
// The characters of a 770 block, checked and made safe (at most 3999,
// codes 0 and 1 dropped, unknown fonts 0, overrides clamped, computed
// fields cleared). FALSE for a block shorter or longer than its count says.
bool8 Read_TextR(const uint8* data, uint32 size, std::vector<a_xyl_char>& out);
// Format 769: the whole text record, 161,502 bytes, the cache zero.
std::vector<uint8> Write_OM_Record(const a_om_rec& om);
// A 769 block read into om (which is overwritten whole and renders afresh).
// FALSE, om untouched, for a block of another size or with nxyl, noverflows,
// layout or justify out of range.
bool8 Read_OM_Record(const uint8* data, uint32 size, a_om_rec& om);

// Copy (770, UTF-16 and the whole text as UTF-8); with an empty selection
// sound 136. Cut deletes only when everything went onto the clipboard.
void TextR_Copy();
void TextR_Cut();
// Format 770 from the clipboard: into the edited text, or a new object.
void TextR_Paste(const uint8* data, uint32 size);
// A whole text object onto the clipboard (769).
bool8 Scrap_Add_OM(const a_om_rec* om);
// Format 769 from the clipboard: a copy as a new object in the text phase.
void Do_Paste_OM(const uint8* data, uint32 size);
