// Shared parts of velmor_resgen (resgen.cpp): the pictures it draws, as
// straight-alpha pixels, and the drawings themselves (ResGenDraw.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace resgen {

// A picture: width x height pixels 0xRRGGBBAA, row by row from the top,
// alpha straight (not multiplied into the colour).
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgba;
  uint32_t& At(int x, int y) { return rgba[size_t(y) * size_t(width) + size_t(x)]; }
  uint32_t At(int x, int y) const { return rgba[size_t(y) * size_t(width) + size_t(x)]; }
};

struct Cursor {
  int id = 0;
  std::string comment;  // what the cursor is for, written above it
  int hot_x = 0, hot_y = 0;
  Picture picture;      // 32 x 32
};

// The colour cursors, finished: crisp edges, a dark outline, a light inner
// edge and a soft shadow.
std::vector<Cursor> Draw_Colour_Cursors();

// The program icon at a size (16, 32, 48, 128, 256 ...): the drawing is
// the same at every size, with the details a small size cannot show left out.
Picture Draw_Program_Icon(int size);
// The same as a PNG file.
std::vector<uint8_t> Program_Icon_Png(int size);

}  // namespace resgen
