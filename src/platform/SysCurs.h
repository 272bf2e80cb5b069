// Cursor descriptors: the system arrow, the program's own cursors from
// "CURS" resources (the 16 x 16 mono form and the 32 x 32 colour form, see
// ResImage.h), and the system's busy cursor for the animated class; the
// cursor position.
#pragma once

#include "host/HostWin.h"
#include "platform/ResImage.h"
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

// The descriptor last set, and the handle last given to SetCursor.
extern a_cursor_desc gcurs;
extern HCURSOR g_curr_hdl;

void SysCurs_Init();

// Loads the cursor's handle by its class: a resource cursor from "CURS" id,
// NIL for the busy cursor, the system arrow for the default. A resource
// cursor that is missing or damaged is reported by the missing-item rule
// (Report_Missing_Resource with "CURS" and the id: fatal during start-up)
// and its handle stays NIL.
void Cursor_Load(a_cursor_desc& cursor);
// Destroys the handle of a loaded resource cursor.
void Cursor_Unload(a_cursor_desc& cursor);
// Shows the cursor unless it is the one set last and still shown. A resource
// cursor whose load failed (NIL handle) is refused: the cursor shown and
// gcurs stay as they were.
void Cursor_Set(const a_cursor_desc& newc);
// Shows the descriptor's cursor and records it (no comparison); nothing for
// a resource cursor without a handle.
void Cursor_Set2(const a_cursor_desc& newc);
// The arrow.
void Cursor_Reset();

// The cursor in screen coordinates.
void Mouse_GetRawPos(Point& pos);
void Mouse_SetRawPos(const Point& pos);
inline void Mouse_WaitUpdate() {}
