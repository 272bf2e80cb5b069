// The undo history of the open document: a ring of 16 slots holding whole
// document states (layout, units, objects and paint), one per undoable
// operation from the base state a new or opened document starts with. The
// newest state (or the one last saved) is also held in memory; every state
// is written to its slot's undo file (VoskHistFile.h), and a state is offered
// for undo or redo only when it is held whole, in memory or in a file that
// was written whole and reads back unaltered. Undo, redo and a click on a row
// of the history panel put a state back.
//
// A step that cannot be kept (no memory, no room for its file) does not undo
// what the user did: the oldest steps are dropped to make room and the step
// is tried again; failing that, the history starts again at the current
// state, and the user is told once that the earlier steps are gone.
#pragma once

#include "platform/SysLoop.h"  // a_mousestroke
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
constexpr int32 MAX_UNDO = 15;  // states the history keeps (so 14 steps can be undone)
constexpr int32 NHIST_SLOTS = 16;

// String list of the operations' labels (item op; "NOP" for OP_NOP).
constexpr int16 STRLIST_HISTORY = 800;
// Alerts: a state that cannot be put back (^0: why), earlier steps dropped
// (^0: why).
constexpr int16 ALERT_UNDO_REFUSED = 79;
constexpr int16 ALERT_HISTORY_RESTARTED = 80;

// One slot of the ring.
struct a_hist_state {
  uint32 seq;       // running number of the state
  uint32 unit;      // the current unit when it was made
  a_history_op op;  // the operation that made it
  bool8 written;    // its undo file holds it whole
  uint64 len;       // the file's length
  uint64 digest;    // and digest (Image_Digest)
};

struct a_hist_rec {
  a_hist_state list[NHIST_SLOTS];
  int32 lo;    // the oldest slot kept
  int32 hi;    // the slot after the newest (always free)
  int32 curr;  // the slot of the state shown; -1 when none
  uint32 cumseq;
};
extern a_hist_rec g_hist;

// -1 .. 31 onto the ring's slots 0 .. 15.
constexpr int32 Modulo(int32 i) { return i < 0 ? i + NHIST_SLOTS : (i >= NHIST_SLOTS ? i - NHIST_SLOTS : i); }

// Module start-up: an empty history, no snapshot, this run's undo files (if
// any) removed; the first call of a run also removes the undo folders of
// runs that have ended.
void History_Null();
// A new history for a new or just opened document: its base state
// (OP_START); the undo files of the history before are removed.
void History_Base();
// Records that op has just been done (OP_NOP is ignored): a new state in the
// slot after the current one, the oldest one dropped past MAX_UNDO, the redo
// states gone. The document is snapshotted and written to the slot's undo
// file. Any operation but OP_START marks the document changed. The history
// panel and the menus are brought up to date; pending_op := OP_NOP.
void History_Emit(a_history_op op);
// The operation the current user action records when it ends (the state
// variables' pending_op, ui/VoskDelt.h).
void History_Set_Pending(a_history_op op);
// Drops the snapshot held in memory (after a save, or when the document
// closes); the ring and its files are kept.
void History_Flush();
// At the end of the program: the snapshot freed, the undo files and this
// run's folder removed.
void History_Stop();

// The slots to restore for undo and for redo; -1 when unavailable (no
// document, an empty history, the oldest or newest state reached, or a
// state not held whole).
void Calc_Undo_Avail(int32& undo, int32& redo);
// The operations the Edit menu's Undo and Redo items name: for undo the
// operation of the current state (the one undone), for redo that of the
// state redo restores; OP_NOP when unavailable.
void Is_Undo_Avail(a_history_op& undo_op, a_history_op& redo_op);
// The operation's label: item op of string list 800 in the interface
// language, "NOP" for OP_NOP.
void Calc_Op_Label(a_history_op op, StrSpan label);

// Puts the state of slot back: from memory when it is the snapshot held
// there, else from its undo file, which must read back whole and unaltered
// and pass every check before the document is touched. Then the slot is
// current, the document counts as changed, the menus, the history panel, the document view, the object count
// and the layer bar are brought up to date, every unit rendered again, and
// the current phase's panels follow. A state that cannot be put back leaves
// the document as it was: sound 136, alert 79 with the reason, FALSE.
bool8 Restore_State(int32 slot);
// Undo (sound 137) and redo (sound 179) when available, else sound 136.
void Undo_Button();
void Redo_Button();
// Undo without a sound, when available.
void Undo_Silent();

// The history panel (custom area 11): the title, then one row 30 pixels high
// for each state from the oldest, 24 pixels below the panel's top: the
// current state highlighted, redo states grey, the rest black.
void History_Paint(const Rect& box);
// A press on a row other than the current state's: sound 130 and that state
// restored; on the current row, outside the rows or on a state not held
// whole: sound 136. Without a press: the finger cursor over a row, else the
// arrow.
void History_MouseDown(const a_mousestroke& stroke);
// The row of the panel at local point pt: the slot, -1 when none.
int32 History_Find(const Rect& box, Point pt);

// What the history holds: states kept (0 .. MAX_UNDO), the operation of the
// newest one (OP_NOP with none), how often it was flushed, and the slot
// whose snapshot is held in memory (-1: none).
int32 History_Count();
a_history_op History_Last_Op();
uint32 History_Flush_Count();
int32 History_Ram_Slot();
