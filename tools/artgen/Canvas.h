// Canvas designs: the styles that draw them and what a style is told.
#pragma once

#include <array>
#include <string>

#include "ArtGen.h"

// The picture a style draws.
struct a_canvas_frame {
  int32_t w = 0, h = 0;
  int16_t set = 0;    // the canvas set (ArtKeys.h)
  double u = 1;       // the design's unit: 1 at 640 pixels on the short side
  double cx = 0, cy = 0;  // the centre: for disc faces the hole
  bool Disc() const { return set == ART_CANVAS_SET_DISC; }
  double Short() const { return w < h ? w : h; }
  double Long() const { return w > h ? w : h; }
};

// A design as the table gives it.
struct a_canvas_design {
  a_keyset key{};  // (·, set, c, d): c and d of the design
  std::string style;
  std::string name;
  uint64_t seed = 0;
  a_ramp colours;   // empty: the style's own
  double amount = 1;  // a style's one free number (density, strength ...)
};

// A style draws a 32-bit picture, or an 8-bit one with its palette.
using a_style32 = void (*)(a_surface& s, const a_canvas_frame& f, const a_canvas_design& d);
using a_style8 = void (*)(const a_canvas_frame& f, const a_canvas_design& d, a_art_image8& img,
                          std::array<a_rgb, 256>& palette);

struct a_canvas_style {
  const char* name;
  a_style32 draw32;  // exactly one of the two is set
  a_style8 draw8;
  const char* colours;  // what the colours option means for this style
};

// The styles (CanvasStyles.cpp), NIL when there is none of that name.
const a_canvas_style* Find_Canvas_Style(const std::string& name);
// The style's colours, or the given default.
a_ramp Colours_Or(const a_canvas_design& d, std::initializer_list<const char*> def);
