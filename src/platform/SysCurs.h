// Cursor descriptors: the system arrow, the program's own cursors from
// "CURS" resources, and the system's busy cursor; the cursor position.
//
// A "CURS" resource is 68 bytes: 16 rows of 16 pixels of image (2 bytes a
// row, bit 7 of the first byte leftmost, 1 black), 16 rows of mask (1 where
// the cursor is opaque), then the hot spot as two int16 little-endian, v
// then h. Where the mask is 0 a set image bit inverts the screen (shown
// black by our backends), a clear one leaves it.
#pragma once

#include "host/HostWin.h"
#include "platform/Types.h"

enum a_cursor_class : int16 {
  DEFAULT_CURSOR = 0,  // the system arrow
  MONO_CURSOR = 1,     // cursor resources
  COLOR_CURSOR = 2,
  ANIM_CURSOR = 3,     // the system busy cursor
};

struct a_cursor_desc {
  a_cursor_class class_;  // `class` in the records of the toolbox
  int16 id;               // resource id
  uint16 ticks;
  HCURSOR hdl;
};

constexpr OSType kCursorResType = FourCC("CURS");
constexpr uint32 CURS_SIZE = 68;

// The descriptor last set, and the handle last given to SetCursor.
extern a_cursor_desc gcurs;
extern HCURSOR g_curr_hdl;

void SysCurs_Init();

// Loads the cursor's handle by its class: a resource cursor from "CURS" id
// (a missing or short resource calls g_err_res_proc with "CURS" and the
// id), NIL for the busy cursor, the system arrow for the default.
void Cursor_Load(a_cursor_desc& cursor);
// Destroys the handle of a loaded resource cursor.
void Cursor_Unload(a_cursor_desc& cursor);
// Shows the cursor unless it is the one set last and still shown.
void Cursor_Set(const a_cursor_desc& newc);
// Shows the descriptor's cursor and records it (no comparison).
void Cursor_Set2(const a_cursor_desc& newc);
// The arrow.
void Cursor_Reset();

// The cursor in screen coordinates.
void Mouse_GetRawPos(Point& pos);
void Mouse_SetRawPos(const Point& pos);
inline void Mouse_WaitUpdate() {}
