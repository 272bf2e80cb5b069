// Helpers the picture-format tests share: temporary folders, the external
// image tools (netpbm, ImageMagick, libjpeg-turbo), PNM files as the common
// ground with those tools, and scans turned into plain RGB for comparison.
#pragma once

#include <string>
#include <vector>

#include "pixel/ParsQuik.h"
#include "platform/SysIO.h"
#include "platform/Types.h"

namespace imgtest {

struct Image {
  int w = 0, h = 0;
  std::vector<uint8> rgb;  // w x h x 3
};

// A fresh folder under $TMPDIR (or /tmp); "" when it cannot be made.
std::string Make_Temp_Dir();
void Remove_Dir(const std::string& dir);

// The tool's full path, or "" when it is not installed. ImageMagick's
// convert is taken from /usr/bin, not from whatever comes first in PATH.
std::string Find_Tool(const std::string& name);
// Runs a shell command with its errors silenced; true when it exits with 0.
bool Run_Tool(const std::string& cmd);

std::vector<uint8> Read_Bytes(const std::string& path);
bool Write_Bytes(const std::string& path, const std::vector<uint8>& bytes);
FSSpec Spec(const std::string& path);

// Reads a binary PBM, PGM or PPM (maxval up to 65535) as 8-bit RGB.
bool Read_PNM(const std::string& path, Image& img);
bool Write_PPM(const std::string& path, const Image& img);

// The scan's picture as RGB: indexed worlds through the scan's ctable,
// 16-bit pixels widened from 5 bits, 24- and 32-bit pixels as they are.
Image Scan_To_Image(const a_picture_scan_rec& scan);
// Largest channel difference, or 1000 when the sizes differ.
int Max_Diff(const Image& a, const Image& b);
void Free_Scan(a_picture_scan_rec& scan);

// An indexed picture and its palette.
struct Indexed {
  int w, h;
  std::vector<uint8> idx;  // w x h colour indexes
  a_pixel32 colors[256];
  Image rgb() const {
    Image img;
    img.w = w, img.h = h;
    for (uint8 i : idx) img.rgb.insert(img.rgb.end(), {colors[i].r, colors[i].g, colors[i].b});
    return img;
  }
};

// A picture with some structure: gradients and a few flat blocks, so that
// run-length and LZW coders see both runs and noise.
Image Test_Pattern(int w, int h);

}  // namespace imgtest
