// The program's cursors: a table of cursor descriptors by shape, loaded at
// start-up, and a small stack for the busy cursor around long operations.
// Only the arrow and the busy cursor are in the table so far; the tools'
// resource cursors join it with the tools.
#pragma once

#include "platform/SysCurs.h"
#include "platform/Types.h"

enum a_cursor_shape : int16 {
  ARROW_CURSOR = 0,
  WATCH_CURSOR = 1,
  NCURSOR_SHAPES = 2,
};

extern a_cursor_desc g_cursors[NCURSOR_SHAPES];

// Fills the table and loads the cursors.
void Cursor_Init();
// Unloads them.
void Cursor_Stop();
void Cursor_Set_Shape(a_cursor_shape cursor);
// Saves the cursor shown and shows the busy cursor; Cursor_Pop shows the
// saved one again. Pushes nest up to 8 deep; deeper pushes are counted and
// shown as busy.
void Cursor_Push_Watch();
void Cursor_Pop();
