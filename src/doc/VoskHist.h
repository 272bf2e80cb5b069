// The undo history of the open document: one state per undoable operation,
// from the base state a new or opened document starts with.
//
// So far it counts the states and remembers their operations, sets the
// document's changed flag, and keeps nothing to go back to: the snapshots,
// their undo files, undo and redo and the history panel come with the
// history itself.
#pragma once

#include "platform/Types.h"

// The undoable operations (a byte of the undo files; labels are string list
// 800, item op).
enum a_history_op : uint8 {
  OP_NOP = 0,
  OP_CANVAS_FLIP = 1,
  OP_CANVAS_ROTATE = 2,
  OP_CANVAS_INVERT = 3,
  OP_CANVAS_ADJUST = 4,
  OP_CANVAS_COLORIZE = 5,
  OP_CANVAS_RESETHUE = 6,
  OP_CANVAS_SELECT = 7,
  OP_PAINT_BRUSH = 8,
  OP_PAINT_ERASE = 9,
  OP_PAINT_ZAP = 10,
  OP_PAINT_SPRAY = 11,
  OP_PAINT_POLYGON = 12,
  OP_PAINT_OVAL = 13,
  OP_PAINT_FURTER = 14,
  OP_PAINT_RECT = 15,
  OP_PAINT_STAMP = 16,
  OP_PAINT_CUT = 17,
  OP_PAINT_BUCKET = 18,
  OP_PAINT_LINE = 19,
  OP_PHOTO_NEW = 20,
  OP_PHOTO_PASTE = 21,
  OP_PHOTO_CROP = 22,
  OP_PHOTO_FLIP = 23,
  OP_PHOTO_INVERT = 24,
  OP_PHOTO_ADJUST = 25,
  OP_PHOTO_COLORIZE = 26,
  OP_PHOTO_RESETHUE = 27,
  OP_PHOTO_FIXLINK = 28,
  OP_PHOTO_SIZE = 29,
  OP_PHOTO_ANGLE = 30,
  OP_PHOTO_OPACITY = 31,
  OP_COLLAGE_INSERT = 32,
  OP_SYMBOL_NEW = 33,
  OP_SYMBOL_SIZE = 34,
  OP_SYMBOL_ANGLE = 35,
  OP_SYMBOL_OPACITY = 36,
  OP_SYMBOL_SETCOLOR = 37,
  OP_TEXT_NEW = 38,
  OP_TEXT_EDIT = 39,
  OP_TEXT_LAYOUT = 40,
  OP_TEXT_JUST = 41,
  OP_TEXT_ADJUST = 42,
  OP_TEXT_SETCOLOR = 43,
  OP_TEXT_SETFONT = 44,
  OP_TEXT_SIZE = 45,
  OP_TEXT_ANGLE = 46,
  OP_TEXT_OPACITY = 47,
  OP_CLONE = 48,
  OP_UNCLONE = 49,
  OP_TOGGLEPRINT = 50,
  OP_IMPORT = 51,
  OP_BLOCK_MOVEXY = 52,
  OP_BLOCK_MOVEZ = 53,
  OP_BLOCK_ALIGN = 54,
  OP_BLOCK_SPREAD = 55,
  OP_BLOCK_DEL = 56,
  OP_BLOCK_DUP = 57,
  OP_REVERT = 58,
  OP_START = 59,
  OP_TEXT_CUT = 60,
  OP_TEXT_PASTE = 61,
};
constexpr int32 MAX_UNDO = 15;  // states the history keeps

// Module start-up: an empty history.
void History_Null();
// A new history for a new or just opened document: its base state (OP_START).
void History_Base();
// Records that op has just been done (OP_NOP is ignored): a new state, the
// oldest one dropped past MAX_UNDO. Any operation but OP_START marks the
// document changed. The pending operation is done with (pending_op :=
// OP_NOP).
void History_Emit(a_history_op op);
// The operation the current user action records when it ends (the state
// variables' pending_op, ui/VoskDelt.h).
void History_Set_Pending(a_history_op op);
// Drops the snapshot held in memory; the states are kept.
void History_Flush();
// At the end of the program: removes the undo files (none are written yet).
void History_Stop();

// What the history holds: states kept (0 .. MAX_UNDO), the operation of the
// newest one (OP_NOP with none), and how often it was flushed.
int32 History_Count();
a_history_op History_Last_Op();
uint32 History_Flush_Count();
