// The program's cursors: a descriptor for each named shape, loaded at
// start-up, and a small stack for the busy cursor around long operations.
//
// Every shape but the arrow and the animated ones is served from its "CURS"
// resource; the animated shapes show the system's busy cursor (the table in
// VoskCurs.cpp gives each shape's class and resource id).
#pragma once

#include "platform/SysCurs.h"
#include "platform/Types.h"

enum a_cursor_shape : int16 {
  ARROW_CURSOR = 0,
  TINY_CURSOR = 1,
  EYEDROPPER_CURSOR = 2,
  EYEMINUS_CURSOR = 3,
  EYEPLUS_CURSOR = 4,
  BRUSH_CURSOR = 5,
  ZOOMEQUAL_CURSOR = 6,
  ZOOMPLUS_CURSOR = 7,
  ZOOMMINUS_CURSOR = 8,
  PENCIL_CURSOR = 9,
  CROSSHAIR_CURSOR = 10,
  GRABBER_CURSOR = 11,
  GRABBER2_CURSOR = 12,
  RESIZE_L_CURSOR = 13,
  RESIZE_R_CURSOR = 14,
  CENTER_CURSOR = 15,
  BUCKET_CURSOR = 16,
  SPRAY_CURSOR = 17,
  SPIN_CURSOR = 18,
  FINGER_CURSOR = 19,
  FINGERX_CURSOR = 20,
  LCORNER_CURSOR = 21,
  RCORNER_CURSOR = 22,
  UPDOWN_CURSOR = 23,
  FOURCORNERS_CURSOR = 24,
  DRAG_PLUS_CURSOR = 25,
  DRAG_MINUS_CURSOR = 26,
  CARET_CURSOR = 27,
  FONT0_CURSOR = 28,
  FONT1_CURSOR = 29,
  FONT2_CURSOR = 30,
  FONT3_CURSOR = 31,
  BLINKS_CURSOR = 32,
  NCURSOR_SHAPES = 33,
};

extern a_cursor_desc g_cursor_desc[NCURSOR_SHAPES];

// Fills the table and loads the cursors (a missing or damaged cursor
// resource is fatal here: start-up cannot go on without it), and installs
// Cursor_Set_Shape as the main loop's cursor hook (g_cursor_shape_proc).
void Cursor_Init();
// Shows the arrow and unloads them.
void Cursor_Stop();
// Shows the shape's cursor; a shape outside the table shows the arrow.
void Cursor_Set_Shape(a_cursor_shape cursor);
// Saves the cursor shown and shows the busy cursor (SPIN_CURSOR);
// Cursor_Pop shows the saved one again. Pushes nest up to 8 deep; deeper
// pushes are counted and shown as busy.
void Cursor_Push_Watch();
void Cursor_Pop();
