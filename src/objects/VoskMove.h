// Moving the selected objects of the current unit by dragging and by arrow
// keys, aligning and spreading them, placing them on the unit, and the
// status line of the object tools.
//
// Every object has a move class: photos and symbols 2; slots and the paint
// layer 0; texts by their layout (straight layouts 2, the contour 1, the
// circular, spiral and spoke layouts 3). Objects of different classes are
// never moved together. Each command ends with one history step (none in the
// collage, whose undo is off).
#pragma once

#include "platform/Types.h"

// The move class of object omx (0 outside the list).
uint8 Calc_Move_Class(int32 omx);

// Moves one object by (dx, dy) cells: photos, symbols and slots without
// constraint, texts as their layout moves (Text_Move_XY).
void Obj_Move_XY(int32 omx, int32 dx, int32 dy);

// --- Dragging ------------------------------------------------------------------------------

// Drags the selection, started on object omx at startcell of view vx: the
// selected objects of another move class are deselected, the selection is
// saved, and while the button is down each new cell (or change of Shift,
// the constrain key, read at every step) restores the saved copies and
// moves them from startcell without rendering, between exclusive-or frames.
// The release moves them with rendering: one OP_BLOCK_MOVEXY. Nothing when
// the button is already up.
void Obj_Track_Move(uint16 vx, Point startcell, int32 omx);

// The drag's steps, as Obj_Track_Move runs them (a test feeds them cells):
// Move_Begin deselects the incompatible objects, saves the selection and
// draws its frames (FALSE: nothing left to move, the saved copies are not
// made); Move_Step, for each sample, does nothing unless the cell or the
// constrain state changed since the last step; Move_End restores, applies
// the final move with rendering and the history step, and disposes of the
// saved copies.
bool8 Move_Begin(uint16 vx, Point startcell, int32 omx);
void Move_Step(Point cell, bool8 constrain);
void Move_End(Point cell, bool8 constrain);

// For each selected object of the phase's kinds: photos, symbols and slots
// move by (newcell - startcell) (on one axis with constrainf); texts get
// Apply_Move_Text (final with renderf). With renderf, OP_BLOCK_MOVEXY.
void Apply_Move(bool8 renderf, bool8 constrainf, Point startcell, Point newcell);
// Deselects every selected object whose move class differs from omx's.
void Deselect_Incompatible(int32 omx);
// The saved copies of the selected objects (kind set 15); t.old_saved tells
// that they exist. Restore puts each saved photo, symbol or slot back over
// its object (found by id); texts preview their moves without changing
// their records, so nothing of them needs restoring.
void Save_Selected_Blocks();
void Restore_Selected_Blocks();
void Dispose_Saved_Blocks();

// --- Arrow keys ------------------------------------------------------------------------------

// Moves the selection one step (10 with Shift) by the signs (-1, 0, +1):
// cells, or screen pixels converted to cells when view 1 shows cells
// smaller than pixels. Texts get Text_Nudge. Nothing selected: sound 136;
// else sound 132 when no sound still plays, and OP_BLOCK_MOVEXY.
void Obj_Nudge(bool8 is_shift, int16 signx, int16 signy);

// --- Aligning, spreading and placing ---------------------------------------------------

// Deselects every selected object whose move class is not 2; result: the
// selected objects left.
int32 Validate_For_Move();
// The selected object with the smallest top, smallest left, largest bottom,
// largest right (the first found bottom-up wins ties); ENUM_DONE when none.
int32 TopMost();
int32 LeftMost();
int32 BottomMost();
int32 RightMost();

// Align the selection's left edges, horizontal centres, right edges, tops,
// vertical centres or bottoms on the topmost selected object's; each other
// object moves on one axis. Fewer than two objects of class 2: sound 136.
// OP_BLOCK_ALIGN.
void Enum_Align_H_L();
void Enum_Align_H_C();
void Enum_Align_H_R();
void Enum_Align_V_T();
void Enum_Align_V_C();
void Enum_Align_V_B();
// Equal gaps between the selected objects across (H) or down (V): the two
// outermost stay, the inner ones keep their order by left (top) edge.
// Fewer than three objects of class 2, or one object both leftmost and
// rightmost (topmost and bottommost): sound 136. OP_BLOCK_SPREAD.
void Obj_Spread_H();
void Obj_Spread_V();
// Each selected object's centre to the centre of the unit's paintbounds,
// or only its horizontal centre to paintbounds.right x num / den, or only
// its vertical one to paintbounds.bottom x num / den. OP_BLOCK_ALIGN.
void Align_Center();
void Align_Horz(int16 num, int16 den);
void Align_Vert(int16 num, int16 den);

// --- Status ------------------------------------------------------------------------------------

// The layer-bar status of the lone selected object, or an empty one.
void Calc_Default_PStatus();
// The status of object omx: "Text object", "Paint layer", or for photos,
// symbols and slots Calc_Spec_PStatus.
void Calc_Hover_PStatus(int32 omx);
// The status text of a photo, symbol or slot into text (UTF-8, at most
// cap - 1 bytes and a NUL): a file's name (embedded) or path, "Clipboard" or
// "Collage", then its size ("  W x H") when the render cache holds its
// picture, else " (MISSING)" ("Empty" for an empty slot). Library pictures
// give an empty text.
void Calc_Spec_PStatus(int32 omx, char* text, int32 cap);
