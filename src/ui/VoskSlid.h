// The slider: every numeric setting of the tool panels is a horizontal
// slider drawn from the slider picture: a label, a rack with a thumb, a
// minus and a plus button, and a reset button shown while the value differs
// from the default. This module owns its geometry, its mouse tracking (thumb
// drag, stepping buttons, presses beside the thumb, reset), keyboard steps,
// and the rules by which a new value is clamped, stored in gs.slider_vals,
// announced to the value display and handed to the slider's procedures.
//
// Geometry of the parts from the node's top-left corner (the node is the
// slider's whole picture, 319 x 34): label 249 x 17 at (0,0), rack 249 x 5
// at (0,23), thumb 18 x 17 at (p,17) with p the value mapped onto 0 .. 231,
// minus 31 x 24 at (254,10), plus at (285,10), reset 55 x 16 at (196,0).
//
// A slider outside the table is refused: the procedures below do nothing
// with it (Slider_Get_State answers hidden).
#pragma once

#include "platform/SysLoop.h"
#include "platform/Types.h"
#include "ui/VoskIntI.h"

enum a_slider_part : uint8 {
  PART_LABEL = 0,
  PART_RACK = 1,
  PART_THUMB = 2,
  PART_MINUS = 3,
  PART_PLUS = 4,
  PART_RESET = 5,
  PART_MINUSBAR = 6,  // beside the thumb, on its left
  PART_PLUSBAR = 7,   // and on its right
  OUTSIDE = 8,
};

// The one slider tracked at a time, from the stroke that enters its node to
// the one that leaves it: its node and window, the node grown by 2 pixels
// (guard), the thumb in window coordinates, the leftmost and rightmost
// thumb left edge, the last part pressed and when (ticks), and the rack in
// global coordinates (where value tips are placed).
struct a_slider_track {
  bool8 active;
  int16 sliderx;
  int16 nodex;
  HWND owner;
  Rect guard;
  Rect thumb;
  int16 thumb_min;
  int16 thumb_max;
  a_slider_part last_part;
  uint32 last_hit;
  Rect grack;
};
extern a_slider_track qq;

// The part's box relative to the node's top-left corner (the thumb at the
// slider's value); OUTSIDE and the bars beside the thumb have none.
Rect Slider_Part_Box(int16 slider, a_slider_part part);
// The thumb's left edge, 0 .. 231, for value.
int16 Slider_Thumb_Offset(int16 slider, int16 value);

// The action setter: the value clamped; when it differs from the stored
// one it is stored, the shown slider redrawn (the reset button shown or
// hidden as the value leaves or reaches the default) and announced, the
// slider's history operation made pending and its jump_proc called.
void Slider_SetVal(int16 slider, int16 value);
void Slider_SetRel(int16 slider, int16 delta);
void Slider_Default(int16 slider);
// Clamp and store without any procedure or history step; a changed value is
// redrawn (the hue and colour-distance sliders by the colour wheel).
void Slider_Blast(int16 slider, int16 value);
// Clamp and store, nothing drawn.
void Slider_Blast_Invis(int16 slider, int16 value);

// The slider's state procedure's answer (plain without one).
a_tri_state Slider_Get_State(int16 slider);
bool8 Is_Slider_Tinyable(int16 slider);
bool8 Is_Slider_Biggable(int16 slider);
// Not hidden, with a reset button, and away from the default.
bool8 Is_Reset_Visible(int16 slider);
void Slider_Update_Reset(int16 slider);

// Draws the whole slider; Slider_Draw_PlusMinus only its buttons (in their
// big-step look while Shift is held, tiny-step look while Ctrl is, when the
// slider offers that step).
void Slider_Paint(int16 slider);
void Slider_Draw_PlusMinus(int16 slider);
// One part in a state: drawn on the light stripe into an offscreen area
// over the part and copied to the window; a hidden part is erased.
void Draw_Part(int16 slider, a_slider_part part, a_tri_state state);

// A step from the keyboard, as from the plus (upwards) or minus button with
// Shift (big) or Ctrl (tiny); sound 136 when the slider is not shown.
void Slider_Via_Keyboard(int16 slider, bool8 shift, bool8 ctrl, bool8 upwards);

// Every stroke over a slider's node, from the node tree: leaving closes the
// tracking, entering opens it; a press runs the part under the mouse.
void Slider_Track(bool8 enterf, bool8 leavef, const a_mousestroke& stroke, int16 slider);
void Slider_Open(int16 slider);
void Slider_Close();
// The part of the open slider under a point of its window.
a_slider_part Slider_Find_Part(Point pt);
// A press on a part (Shift for the big step, Ctrl for the tiny one), then
// the state variables settled.
void Slider_MouseDown(const a_mousestroke& stroke, a_slider_part part);

// The stepping buttons: to the next multiple of the step (or the slider's
// own incproc step) in that direction; sound 136 when the value stays.
void Do_PlusMinus(int16 slider, a_slider_part part, bool8 big, bool8 tiny);
// The thumb dragged until the button is released. A plain slider calls its
// procedures once at the end (when the value changed); a live one (with
// thumb_trak) reports every value and ends with thumb_stop.
void Track_Thumb(const a_mousestroke& stroke);
// One step of the drag: the open slider's thumb moved to left (held to the
// rack), the value taken from it; a changed value is drawn on the hilited
// rack, handed to thumb_trak and announced. TRUE when the value changed.
bool8 Track_Thumb_Step(int16 left);
void Do_Reset();

// Value and thumb left edge of the open slider, each from the other.
int16 Slider_ValueToThumb(int16 value);
int16 Slider_ThumbToValue(int16 thumbleft);
// Announces the open slider's value to the value display.
void Slider_Annotation_Update();
