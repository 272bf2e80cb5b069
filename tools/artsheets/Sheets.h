// Contact sheets of the picture library: what each family holds, read back
// through the program's own reader (OP, stored pictures, the canvas palette
// path) and laid out on PNG pages for a person to look through.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ArtGen.h"

// A picture read back from the library: straight RGBA, as the program would
// show it (8-bit canvases through their palette).
struct a_read_picture {
  bool ok = false;
  std::string why;  // when not ok
  int32_t depth = 0;
  uint8_t flags = 0;
  a_art_image img;
};

// The reader: start-up of the program's modules the pictures need, the
// library opened as the program opens it.
bool Reader_Open(const std::string& library, std::string& err);
void Reader_Close();
// Every key of a family: the keys whose leading `fixed` parts equal
// those of `basis` (Subset_Init with the rest as wildcards).
std::vector<a_keyset> Reader_Keys(const a_keyset& basis, int fixed);
a_read_picture Reader_Picture(const a_keyset& key);
std::vector<uint8_t> Reader_Bytes(const a_keyset& key);

// A sheet: a page that grows downwards, with a title and labelled cells.
class a_sheet {
 public:
  a_sheet(const std::string& title, int32_t width);
  // Places a cell of w x h below or beside the last; returns its top left.
  void Next(int32_t w, int32_t h, double& x, double& y);
  void Label(double x, double y, const std::string& text, double size = 11);
  void Image(const a_art_image& img, double x, double y, double scale = 1.0);
  cairo_t* Cr() { return page_->Cr(); }
  // Writes the page, cropped to what was placed.
  bool Write(const std::string& path, std::string& err);

 private:
  void Grow(int32_t h);
  int32_t width_;
  std::unique_ptr<a_surface> page_;
  double x_ = 0, y_ = 0, row_h_ = 0, used_h_ = 0;
};

// One sheet maker a family; each writes one or more PNG files into dir and
// adds their names to `written`.
using a_sheet_maker = bool (*)(const a_art_context& ctx, const std::string& dir, std::vector<std::string>& written,
                               std::string& err);
bool Sheet_Canvases(const a_art_context& ctx, const std::string& dir, std::vector<std::string>& written, std::string& err);
bool Sheet_Palettes(const a_art_context& ctx, const std::string& dir, std::vector<std::string>& written, std::string& err);
bool Sheet_Gradients(const a_art_context& ctx, const std::string& dir, std::vector<std::string>& written, std::string& err);
bool Sheet_Patterns(const a_art_context& ctx, const std::string& dir, std::vector<std::string>& written, std::string& err);
bool Sheet_Pictures(const a_art_context& ctx, const std::string& dir, std::vector<std::string>& written, std::string& err);
bool Sheet_Sounds(const a_art_context& ctx, const std::string& dir, std::vector<std::string>& written, std::string& err);
bool Sheet_Stamps(const a_art_context& ctx, const std::string& dir, std::vector<std::string>& written, std::string& err);
bool Sheet_Borders(const a_art_context& ctx, const std::string& dir, std::vector<std::string>& written, std::string& err);
bool Sheet_Symbols(const a_art_context& ctx, const std::string& dir, std::vector<std::string>& written, std::string& err);
bool Sheet_Interface(const a_art_context& ctx, const std::string& dir, std::vector<std::string>& written, std::string& err);
