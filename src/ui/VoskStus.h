// The navigator and the status area: the reduced picture of the current unit
// with the frame of what the edit view shows. The reduction follows the
// views and the zoom factor (SV_NAV_REDUCTION), the frame the view's focus
// (SV_NAV_FRAME).
//
// The navigator comes with the panels; until then there is nothing to
// recalculate.
#pragma once

#include "objects/VoskText.h"  // a_horz_just
#include "platform/Types.h"

// The value tips: records the main window and hooks the tips into its
// updates. The tips come with the panels; until then there is nothing to
// hook.
void Annot_Init();

// A value tip: what it shows (a slider's value, a button's, toggle's or grid
// element's name, a palette cell, or the echo box of a slider), of which
// item (or bar) and element, justified against the rectangle gref (global
// coordinates), shown once the pointer has rested delay1 ticks in its node
// and delay2 ticks have passed since the last tip changed.
enum a_annot_kind : uint8 {
  ANNOT_NULL = 0,
  ANNOT_ECHO = 1,
  ANNOT_BAR = 2,
  ANNOT_SLIDER = 3,
  ANNOT_TOGGLE = 4,
  ANNOT_ONESHOT = 5,
  ANNOT_GRID = 6,
};
struct a_annot_spec {
  a_annot_kind kind;
  a_horz_just just;
  int16 ix;
  int16 subx;
  int16 delay1;
  int16 delay2;
  Rect gref;
};
// The tip wanted from now on (g_annot.targ), and none (kind ANNOT_NULL).
// The tips come with the panels' read-outs; until then nothing is shown.
struct a_annot_state {
  a_annot_spec targ;
};
extern a_annot_state g_annot;
void Annot_Set_Targ(const a_annot_spec& spec);
void Annot_Zap();
// The size of slider's echo box (h width, v height); a width of 0: the
// slider shows a plain value tip. Echo boxes come with the echo area: every
// slider shows a plain tip.
void Echo_Calc_Size(int16 slider, Point& size);

void Nav_Recalc_Reduction();
void Nav_Recalc_Frame();
