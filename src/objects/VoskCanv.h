// The canvas: a unit's background, plain white, a solid tint or a picture of
// the library's canvas set, with its adjustments. Each unit keeps its spec
// and a one-entry cache of the rendered picture.
//
// So far only the spec, its defaults, the canvas numbers of each unit kind
// and the canvas sliders are here; rendering, checking and the canvas
// commands come with the canvas tools.
#pragma once

#include "platform/SysErr.h"  // a_keyset
#include "platform/SysWin.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

struct a_canvas_spec {
  a_keyset canvas_key;    // a = 2: a thumbnail of the canvas bar; c = d = 1: white
  uint16 canvas_nrot;     // quarter turns, 0 .. 3
  int16 canvas_angle;
  int16 canvas_darkness;
  int16 canvas_scaling;
  int16 canvas_fuzz_in;
  int16 canvas_fuzz_out;
  int16 canvas_color_sat;
  int16 canvas_color_hue;
  int16 canvas_color_dist;
  bool8 canvas_flipx;
  bool8 canvas_flipy;
  bool8 canvas_invert;
};

struct a_cached_canvas {
  a_canvas_spec cv;         // the unit's canvas
  a_canvas_spec cached_cv;  // the spec cached_world was made from
  Rect cached_bounds;
  GWorldPtr cached_world;   // 32 bits, or NIL
};

// The canvas set (key part b) of each unit kind.
extern const int16 UNIT_TO_CANV_PREFIX[NUNITKINDS];

// The key of the white canvas of a unit kind's set.
void White_Canvas_Key(uint8 unitkind, a_keyset& key);
bool8 Is_CanvKey_White(const a_keyset& key);

// cv := zero, then darkness, both feathers and saturation at their sliders'
// defaults.
void Init_CV(a_canvas_spec& cv);
// key := the canvx-th canvas (from 1) of the unit kind's set in the picture
// library. With no library open, or no such canvas, the white canvas.
void CanvX_To_Key(a_keyset& key, int16 canvx, uint8 unitkind);
// How many canvases the picture library holds for the unit kind (0 with no
// library open).
int16 Canvas_Count(uint8 unitkind);
// The canvas sliders := the spec's adjustments.
void CV_To_Sliders(const a_canvas_spec& cv);
// The edge-feather sliders moved (also while their thumb is dragged). Comes
// with the canvas tools: nothing happens yet.
void Canvas_Fuzz_Delta();
