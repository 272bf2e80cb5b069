// The interface items' art (art/interface.txt): the tool pictures that the
// tool panels' sliders, icon grids, one-shot buttons and toggles are drawn
// from, the table that places every item's artwork in them, and the header
// of item records that the interface's item tables include.
#pragma once

#include <string>
#include <vector>

#include "ArtGen.h"

enum class a_item_kind { slider, grid, oneshot, toggle };

// A tool picture: (12, id, 0, 0).
struct a_tool_picture {
  int16_t id = 0;
  int32_t width = 0, height = 0;
  std::string title;
  int32_t line = 0;
};

// One row of the table: an item and where its artwork lies.
struct a_item_art {
  a_item_kind kind = a_item_kind::oneshot;
  std::string name;     // the item's enumeration name
  int32_t index = 0;    // its number in its table
  int32_t line = 0;     // of art/interface.txt
  int16_t pixtx = 0;    // picture id
  int32_t left = 0, top = 0, width = 0, height = 0;  // src_rect
  int32_t verh = 0, verv = 0;  // offset between the versions
  bool translucent = false;
  bool label = false;   // an embedded label is drawn over the art at run time
  bool dark = false;    // shown on the start screen's dark stripe, not the light panel
  // Grids: cells on screen (rows, columns), the cell size, and how cells
  // share their edges and cast their shadow.
  int32_t rows = 0, cols = 0, cell_h = 0, cell_w = 0, overlap = 0, shadow = 0;
  std::string motif;    // what is drawn
  std::string as;       // shares the artwork of this item (same kind)
  bool has_alt = false; // a second look of the same item, shown instead at
  int32_t alt_left = 0, alt_top = 0;  // (alt_left, alt_top) by the item's owner

  int32_t Versions() const;  // versions drawn: grids 3, one-shots 2 (1 without a shift), toggles 2
};

struct a_interface_table {
  std::vector<a_tool_picture> pictures;  // in the table's order
  a_item_art slider;                     // the one art all sliders share
  std::vector<a_item_art> grids, oneshots, toggles;  // by item number
};

// Reads and checks art/interface.txt; false, with "art/interface.txt:LINE:
// why" in err, on bad data. Nothing is drawn.
bool Interface_Read(const a_art_context& ctx, a_interface_table& table, std::string& err);

// Whether the drawing knows `item.motif` for an item of its kind (and, for
// a grid, its number of cells and whether it carries an embedded label);
// false with the reason in why.
bool Motif_Fits(const a_item_art& item, std::string& why);

// The C++ header of item records that the interface's item tables include.
std::string Interface_Header_Text(const a_interface_table& table);

// Draws one tool picture with every item art the table places in it, in
// straight RGBA: items that are not translucent are opaque, antialiased
// against the panel background, with pure white where nothing is drawn;
// translucent items carry alpha.
a_art_image Interface_Draw_Picture(const a_interface_table& table, const a_tool_picture& pic);

// The slider's parts (the on-screen geometry is fixed) and the looks each
// is drawn in; the source box of part p in look l lies in the slider's
// picture at the slider art's top-left plus Slider_Part_Source(p, l).
enum a_slider_look { SLIDER_PLAIN, SLIDER_HILITE, SLIDER_DIM, SLIDER_BIG, SLIDER_TINY, SLIDER_LOOKS };
enum a_slider_part_ix { PARTX_LABEL, PARTX_RACK, PARTX_THUMB, PARTX_MINUS, PARTX_PLUS, PARTX_RESET, PARTX_COUNT };
struct a_part_box {
  int32_t left, top, width, height;
};
a_part_box Slider_Part_Screen(int part);           // where the part shows, in the node
a_part_box Slider_Part_Source(int part, int look);  // where it is drawn, from the slider art's corner
constexpr int32_t kSliderArtWidth = 340;            // the looks, stacked
constexpr int32_t kSliderArtHeight = 34 * SLIDER_LOOKS;
