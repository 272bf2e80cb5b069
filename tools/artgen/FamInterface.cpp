// The interface items' art (art/interface.txt): the tool pictures (12, id,
// 0, 0) holding the artwork of every slider, icon grid, one-shot button and
// toggle of the tool panels, and the header of item records the interface
// includes.
//
//   picture ID WxH "TITLE"
//   slider  pic=ID at=X,Y
//   grid    NAME pic=ID at=X,Y cells=RxC cell=HxW ver=DH,DV motif=M
//           [overlap=N shadow=N translucent=yes]
//   oneshot NAME pic=ID at=X,Y size=WxH ver=DH,DV motif=M
//   toggle  NAME pic=ID at=X,Y size=WxH ver=DH,DV motif=M [alt=X,Y]
//   oneshot NAME as=OTHER          (the same artwork as OTHER, same kind)
//
// A button or toggle with ground=dark stands on the start screen's dark
// stripe instead of the light panel.
//
// Every row of the item tables (40 grids, 86 one-shots, 25 toggles) has a
// row here; all 103 sliders share the one slider art. A grid's size follows
// from its cells as the interface computes it (cells x cell size, less the
// shared edges, plus the shadow strips). The version n of an item lies n x
// (DH, DV) from its plain artwork: one-shots 0 plain and 1 hilited; toggles
// their value 0 and 1; grids 0 plain, 1 current and 2 dimmed. A toggle's alt
// is a second look of it at another place, which its owner switches to.
// Everything is checked before anything is drawn: names, every item present
// once, rectangles and their versions inside their picture and clear of
// every other item's, picture ids outside the language-dependent range 160 to
// 400, widths up to 8191, and motifs the drawing knows.
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "Interface.h"

namespace {

// ---------------------------------------------------------------------------
// What the item tables say about each row that the art must agree with
// ---------------------------------------------------------------------------
struct a_grid_fact {
  const char* name;
  int8_t rows, cols;
  int16_t cell_h, cell_w;
  int8_t overlap, shadow;
  bool translucent, label;
};

constexpr a_grid_fact kGrids[] = {
    {"PROJ_AGE_GRID", 1, 3, 35, 218, 0, 0, true, true},
    {"PROJ_SORT_GRID", 1, 2, 29, 172, 1, 3, false, true},
    {"PRINT_MEDIA_GRID", 1, 3, 35, 116, 0, 0, false, true},
    {"TEXT_LAYOUT_GRID", 2, 5, 29, 46, 1, 3, false, false},
    {"TEXT_HJUST_GRID", 1, 3, 29, 48, 1, 3, false, false},
    {"TEXT_VJUST_GRID", 1, 3, 29, 48, 1, 3, false, false},
    {"TEXT_PHASE_GRID", 1, 4, 35, 87, 0, 0, true, false},
    {"TEXT_CJUST_GRID", 1, 2, 29, 48, 1, 3, false, false},
    {"PHOTO_PHASE_GRID", 1, 4, 35, 87, 0, 0, true, false},
    {"PHOTO_EDGE_GRID", 1, 3, 42, 61, 1, 3, true, false},
    {"PACK_KIND_GRID", 1, 5, 29, 63, 1, 3, true, false},
    {"PACK_ORIENT_GRID", 1, 2, 29, 67, 1, 3, true, false},
    {"GRAD_KIND_GRID", 1, 7, 29, 43, 1, 3, false, false},
    {"GRAD_DIR_GRID", 1, 4, 29, 43, 1, 3, false, false},
    {"SYMMETRY_KIND_GRID", 1, 2, 28, 48, 0, 0, false, false},
    {"ERASER_GRID", 2, 6, 29, 29, 1, 3, false, false},
    {"SPRAY_KIND_GRID", 1, 4, 29, 29, 1, 3, false, false},
    {"MARQ_KIND_GRID", 1, 3, 29, 29, 1, 3, false, false},
    {"MARQ_CUT_GRID", 1, 2, 29, 105, 1, 3, true, false},
    {"MARQ_TRANSP_GRID", 1, 2, 29, 105, 1, 3, true, false},
    {"TOOL_GRID", 2, 8, 30, 34, 1, 3, false, false},
    {"BRUSH_SHAPE_GRID", 3, 8, 29, 29, 1, 3, false, false},
    {"FROM_CORNER_GRID", 1, 2, 29, 150, 1, 3, false, false},
    {"ZOOM_GRID", 5, 1, 21, 45, 1, 1, false, false},
    {"TAG_PALETTE", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_PALETTED", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_FONT", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_PATTERN", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_BORDER", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_GRADIENT", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_STAMP", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_LAYERS", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_GRID_COLOR", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_CUTL_COLOR", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_BORD_COLOR", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_OUTL_COLOR", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_SYMB_COLOR", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_CANVAS", 1, 1, 35, 88, 0, 0, true, false},
    {"TAG_GLYPHS", 1, 1, 35, 88, 0, 0, true, false},
    {"RULERS_UNITS_GRID", 1, 3, 29, 105, 1, 3, false, false},
};

// One-shots; those whose label is drawn into them at run time are marked.
struct a_oneshot_fact {
  const char* name;
  bool label;
};
constexpr a_oneshot_fact kOneShots[] = {
    {"PROJ_LANG_BUTTON", false},    {"PROJ_QUIT_BUTTON", true},      {"PROJ_PICKLAYOUT_BUTTON", true},
    {"PROJ_OPEN_BUTTON", true},     {"PROJ_NEW_BUTTON", false},      {"EXL_PREV_BUTTON", false},
    {"EXL_NEXT_BUTTON", false},     {"PRINT_SETUP_BUTTON", false},   {"PRINT_BUTTON", false},
    {"PRINT_TEMPLATE_LABEL", false}, {"PRINT_TEMPLATE_BUTTON", false}, {"PRINT_TEST_BUTTON", false},
    {"PRINT_MEDIANAME_BUTTON", false}, {"PRINT_NUDGE_U", false},     {"PRINT_NUDGE_R", false},
    {"PRINT_NUDGE_D", false},       {"PRINT_NUDGE_L", false},        {"PRINT_NUDGE_0", false},
    {"WARP_FLIPX_BUTTON", false},   {"WARP_FLIPY_BUTTON", false},    {"WARP_ROTATECW_BUTTON", false},
    {"WARP_ROTATECCW_BUTTON", false}, {"CANV_FLIPX_BUTTON", false},  {"CANV_FLIPY_BUTTON", false},
    {"CANV_INVERT_BUTTON", false},  {"CANV_ROTATECW_BUTTON", false}, {"CANV_ROTATECCW_BUTTON", false},
    {"UNDOREDO_BUTTON", false},     {"UNDO_BUTTON", false},          {"REDO_BUTTON", false},
    {"STENCIL_PREVIEW_BUTTON", false}, {"STENCIL_CLEAR_BUTTON", false}, {"STENCIL_INVERT_BUTTON", false},
    {"STENCIL_MAKE_BUTTON", false}, {"STENCIL_50A_BUTTON", false},   {"STENCIL_50B_BUTTON", false},
    {"STENCIL_REVERSE_BUTTON", false}, {"PAINT_ZAP_BUTTON", false},  {"BAR_PREV_BUTTON", false},
    {"BAR_INDEX_BUTTON", false},    {"BAR_NOINDEX_BUTTON", false},   {"BAR_NEXT_BUTTON", false},
    {"TEXT_OK_BUTTON", true},       {"TEXT_CANCEL_BUTTON", true},    {"TEXT_EDIT_BUTTON", false},
    {"TEXT_NEW_BUTTON", false},     {"TEXT_STAMP_BUTTON", false},    {"TEXTR_RESET_BUTTON", true},
    {"OBJ_ALIGN_H_L", false},       {"OBJ_ALIGN_H_C", false},        {"OBJ_ALIGN_H_R", false},
    {"OBJ_ALIGN_V_T", false},       {"OBJ_ALIGN_V_C", false},        {"OBJ_ALIGN_V_B", false},
    {"OBJ_SPREAD_H", false},        {"OBJ_SPREAD_V", false},         {"OBJ_DUP_BUTTON", false},
    {"OBJ_DEL_BUTTON", false},      {"SYMBOL_NEW_BUTTON", false},    {"PHOTO_NEW_BUTTON", false},
    {"PHOTO_DUP_BUTTON", false},    {"PHOTO_DEL_BUTTON", false},     {"PHOTO_REPLACE_BUTTON", false},
    {"PHOTO_COLLAGE_BUTTON", false}, {"PHOTO_CROP_BUTTON", false},   {"PHOTO_FIX_BUTTON", false},
    {"PHOTO_FLIPX_BUTTON", false},  {"PHOTO_FLIPY_BUTTON", false},   {"PHOTO_INVERT_BUTTON", false},
    {"PHOTO_ROTATECW_BUTTON", false}, {"PHOTO_ROTATECCW_BUTTON", false}, {"COLORIZE_RESET_BUTTON", false},
    {"PAPER_OK_BUTTON", true},      {"PAPER_CANCEL_BUTTON", true},   {"PACK_OK_BUTTON", true},
    {"PACK_CANCEL_BUTTON", true},   {"PACK_GET_BUTTON", true},       {"PACK_DUP_BUTTON", true},
    {"PACK_CLEAR_BUTTON", true},    {"PHOTO_OUTLINE_COLOR", false},  {"GRIDLINES_CENTER_BUTTON", false},
    {"FLEXSTICK_OK_BUTTON", true},  {"FLEXLABEL_OK_BUTTON", true},   {"QCOMBO_RESET_BUTTON", false},
    {"QCOMBO_ALL_BUTTON", false},   {"PLAYBACK_BUTTON", false},
};

constexpr const char* kToggles[] = {
    "FLIPX_TOGGLE",      "FLIPY_TOGGLE",       "TEXT_BOLD_TOGGLE",       "TEXT_ITAL_TOGGLE",
    "TEXT_GLOW_TOGGLE",  "TEXT_SHAD_TOGGLE",   "TEXT_OUTL_TOGGLE",       "TEXT_UNDL_TOGGLE",
    "TEXTR_BOLD_TOGGLE", "TEXTR_ITAL_TOGGLE",  "TEXTR_UNDL_TOGGLE",      "SYMMETRY_TOGGLE",
    "STENCIL_TOGGLE",    "PHOTO_SHAD_TOGGLE",  "PHOTO_TRANSP_TOGGLE",    "PHOTO_CONSTRAIN_TOGGLE",
    "GRID_CONSTRAIN_TOGGLE", "LASERJET_TOGGLE", "GRIDLINES_TOGGLE",      "CUTLINES_TOGGLE",
    "RULERS_TOGGLE",     "FLEX_BURN_TOGGLE",   "FLEX_PRINT_TOGGLE",      "FLEX_GRAY_TOGGLE",
    "FLEX_VERIFY_TOGGLE",
};

static_assert(std::size(kGrids) == 40 && std::size(kOneShots) == 86 && std::size(kToggles) == 25);

// The slider's artwork on screen (its node) is this big, from its corner.
constexpr int32_t kSliderW = 319, kSliderH = 34;

const char* Kind_Word(a_item_kind k) {
  switch (k) {
    case a_item_kind::slider: return "slider";
    case a_item_kind::grid: return "grid";
    case a_item_kind::oneshot: return "oneshot";
    case a_item_kind::toggle: return "toggle";
  }
  return "?";
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------
bool Pair(const std::string& s, char sep, int64_t lo, int64_t hi, int32_t& a, int32_t& b) {
  const size_t k = s.find(sep);
  int64_t x = 0, y = 0;
  if (k == std::string::npos || !Parse_Int_Word(s.substr(0, k), lo, hi, x) || !Parse_Int_Word(s.substr(k + 1), lo, hi, y))
    return false;
  a = int32_t(x);
  b = int32_t(y);
  return true;
}

// A required or optional "name=A<sep>B" option.
bool Pair_Option(const a_table_row& r, const std::string& name, char sep, int64_t lo, int64_t hi, bool required,
                 int32_t& a, int32_t& b, std::string& err) {
  const auto it = r.options.find(name);
  if (it == r.options.end()) {
    if (!required) return true;
    err = r.Where() + ": " + name + "= is missing";
    return false;
  }
  if (!Pair(it->second, sep, lo, hi, a, b)) {
    err = r.Where() + ": " + name + "=" + it->second + " is not two numbers from " + std::to_string(lo) + " to " +
          std::to_string(hi) + " joined by '" + sep + "'";
    return false;
  }
  return true;
}

bool Only_Options(const a_table_row& r, std::initializer_list<const char*> allowed, std::string& err) {
  for (const auto& option : r.options) {
    const auto& name = option.first;
    if (std::none_of(allowed.begin(), allowed.end(), [&](const char* a) { return name == a; })) {
      err = r.Where() + ": option " + name + "= does not belong on a " + r.words[0] + " row";
      return false;
    }
  }
  return true;
}

bool Picture_Id_Allowed(int64_t id) {
  return id == ART_PICT_SLIDER || (id >= ART_PICT_ITEMS_FIRST && id <= ART_PICT_ITEMS_LAST) ||
         (id >= ART_PICT_ITEMS2_FIRST && id <= ART_PICT_ITEMS2_LAST);
}

bool Read_Picture(const a_table_row& r, a_interface_table& t, std::string& err) {
  int64_t id = 0;
  if (r.words.size() != 4 || !Parse_Int_Word(r.words[1], -32768, 32767, id)) {
    err = r.Where() + ": picture ID WxH \"TITLE\" expected";
    return false;
  }
  if (id >= ART_PICT_LANGUAGE_FIRST && id <= ART_PICT_LANGUAGE_LAST) {
    err = r.Where() + ": picture " + std::to_string(id) + " lies in 160 to 400, where the language offset is added";
    return false;
  }
  if (!Picture_Id_Allowed(id)) {
    err = r.Where() + ": picture " + std::to_string(id) + ": item pictures take 139, 140 to 159 or 401 to 499";
    return false;
  }
  a_tool_picture p;
  p.id = int16_t(id);
  p.line = r.line;
  p.title = r.words[3];
  if (!Pair(r.words[2], 'x', 1, 32767, p.width, p.height)) {
    err = r.Where() + ": size " + r.words[2] + " is not WIDTHxHEIGHT";
    return false;
  }
  if (p.width > ART_PICT_MAX_WIDTH) {
    err = r.Where() + ": picture " + std::to_string(id) + " is " + std::to_string(p.width) +
          " pixels wide, more than " + std::to_string(ART_PICT_MAX_WIDTH);
    return false;
  }
  for (const a_tool_picture& q : t.pictures) {
    if (q.id == p.id) {
      err = r.Where() + ": picture " + std::to_string(id) + " is given twice";
      return false;
    }
  }
  if (!Only_Options(r, {}, err)) return false;
  t.pictures.push_back(p);
  return true;
}

// Fills the placement options every drawn item row has.
bool Read_Placement(const a_table_row& r, a_item_art& it, std::string& err) {
  int64_t pic = 0;
  if (!r.Int("pic", -32768, 32767, 0, pic, err)) return false;
  if (r.options.count("pic") == 0) {
    err = r.Where() + ": pic= is missing";
    return false;
  }
  it.pixtx = int16_t(pic);
  if (!Pair_Option(r, "at", ',', 0, 32767, true, it.left, it.top, err)) return false;
  if (!Pair_Option(r, "ver", ',', -32768, 32767, it.kind != a_item_kind::slider, it.verh, it.verv, err))
    return false;
  it.motif = r.Text("motif", "");
  if (it.kind != a_item_kind::slider && it.motif.empty()) {
    err = r.Where() + ": motif= is missing";
    return false;
  }
  return true;
}

bool Read_Item(const a_table_row& r, a_interface_table& t, std::map<std::string, int32_t>& seen, std::string& err) {
  const std::string& word = r.words[0];
  a_item_art it;
  it.line = r.line;
  if (word == "slider") {
    it.kind = a_item_kind::slider;
    it.name = "SLIDER";
    if (r.words.size() != 1) {
      err = r.Where() + ": a slider row names no item: all sliders share its art";
      return false;
    }
    if (!Only_Options(r, {"pic", "at"}, err) || !Read_Placement(r, it, err)) return false;
    it.width = kSliderW;
    it.height = kSliderH;
    it.motif = "slider";
    if (seen.count(it.name)) {
      err = r.Where() + ": the slider art is given twice";
      return false;
    }
    seen[it.name] = r.line;
    t.slider = it;
    return true;
  }
  if (r.words.size() != 2) {
    err = r.Where() + ": " + word + " NAME and options expected";
    return false;
  }
  it.name = r.words[1];
  std::vector<a_item_art>* list = nullptr;
  if (word == "grid") {
    it.kind = a_item_kind::grid;
    list = &t.grids;
    const a_grid_fact* f = nullptr;
    for (size_t i = 0; i < std::size(kGrids); ++i)
      if (it.name == kGrids[i].name) f = &kGrids[i], it.index = int32_t(i);
    if (f == nullptr) {
      err = r.Where() + ": no icon grid is called " + it.name;
      return false;
    }
    it.label = f->label;
  } else if (word == "oneshot") {
    it.kind = a_item_kind::oneshot;
    list = &t.oneshots;
    int32_t found = -1;
    for (size_t i = 0; i < std::size(kOneShots); ++i)
      if (it.name == kOneShots[i].name) found = int32_t(i);
    if (found < 0) {
      err = r.Where() + ": no one-shot button is called " + it.name;
      return false;
    }
    it.index = found;
    it.label = kOneShots[found].label;
  } else if (word == "toggle") {
    it.kind = a_item_kind::toggle;
    list = &t.toggles;
    int32_t found = -1;
    for (size_t i = 0; i < std::size(kToggles); ++i)
      if (it.name == kToggles[i]) found = int32_t(i);
    if (found < 0) {
      err = r.Where() + ": no toggle is called " + it.name;
      return false;
    }
    it.index = found;
  } else {
    err = r.Where() + ": unknown row " + word + " (picture, slider, grid, oneshot or toggle)";
    return false;
  }
  if (seen.count(it.name)) {
    err = r.Where() + ": " + it.name + " has a row already (line " + std::to_string(seen[it.name]) + ")";
    return false;
  }
  seen[it.name] = r.line;

  if (r.options.count("as")) {
    if (!Only_Options(r, {"as"}, err)) return false;
    it.as = r.options.at("as");
  } else if (it.kind == a_item_kind::grid) {
    if (!Only_Options(r, {"pic", "at", "ver", "motif", "cells", "cell", "overlap", "shadow", "translucent"}, err) ||
        !Read_Placement(r, it, err) || !Pair_Option(r, "cells", 'x', 1, 64, true, it.rows, it.cols, err) ||
        !Pair_Option(r, "cell", 'x', 1, 2000, true, it.cell_h, it.cell_w, err))
      return false;
    int64_t overlap = 1, shadow = 3;
    if (!r.Int("overlap", 0, 10, 1, overlap, err) || !r.Int("shadow", 0, 10, 3, shadow, err)) return false;
    it.overlap = int32_t(overlap);
    it.shadow = int32_t(shadow);
    const std::string tr = r.Text("translucent", "no");
    if (tr != "yes" && tr != "no") {
      err = r.Where() + ": translucent= is yes or no";
      return false;
    }
    it.translucent = tr == "yes";
    const a_grid_fact& f = kGrids[size_t(it.index)];
    if (it.rows != f.rows || it.cols != f.cols || it.cell_h != f.cell_h || it.cell_w != f.cell_w) {
      err = r.Where() + ": " + it.name + " has " + std::to_string(f.rows) + "x" + std::to_string(f.cols) + " cells of " +
            std::to_string(f.cell_h) + "x" + std::to_string(f.cell_w) + " in the item table";
      return false;
    }
    if (it.overlap != f.overlap || it.shadow != f.shadow) {
      err = r.Where() + ": " + it.name + " has overlap " + std::to_string(f.overlap) + " and shadow " +
            std::to_string(f.shadow) + " in the item table";
      return false;
    }
    if (it.translucent != f.translucent) {
      err = r.Where() + ": " + it.name + (f.translucent ? " is" : " is not") + " translucent in the item table";
      return false;
    }
    // The node size rule: cells x cell size, less the shared edges, plus the shadow.
    it.width = it.cols * it.cell_w - (it.cols - 1) * it.overlap + it.shadow;
    it.height = it.rows * it.cell_h - (it.rows - 1) * it.overlap + it.shadow;
  } else {
    if (!Only_Options(r, {"pic", "at", "ver", "motif", "size", "alt", "ground"}, err) || !Read_Placement(r, it, err) ||
        !Pair_Option(r, "size", 'x', 1, 2000, true, it.width, it.height, err))
      return false;
    const std::string ground = r.Text("ground", "panel");
    if (ground != "panel" && ground != "dark") {
      err = r.Where() + ": ground= is panel or dark";
      return false;
    }
    it.dark = ground == "dark";
    if (r.options.count("alt")) {
      if (it.kind != a_item_kind::toggle) {
        err = r.Where() + ": only toggles have a second look (alt=)";
        return false;
      }
      if (!Pair_Option(r, "alt", ',', 0, 32767, true, it.alt_left, it.alt_top, err)) return false;
      it.has_alt = true;
    }
  }
  (*list).push_back(it);
  return true;
}

// ---------------------------------------------------------------------------
// Checking
// ---------------------------------------------------------------------------
struct a_box {
  int32_t left, top, right, bottom;
  bool Meets(const a_box& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
  std::string Text() const {
    return "(" + std::to_string(left) + "," + std::to_string(top) + ")-(" + std::to_string(right) + "," +
           std::to_string(bottom) + ")";
  }
};

// The rectangles an item's art takes: every version, and its second look's.
std::vector<a_box> Footprint(const a_item_art& it) {
  std::vector<a_box> out;
  if (it.kind == a_item_kind::slider) {
    out.push_back({it.left, it.top, it.left + kSliderArtWidth, it.top + kSliderArtHeight});
    return out;
  }
  const int32_t n = it.Versions();
  for (int pass = 0; pass < (it.has_alt ? 2 : 1); ++pass) {
    const int32_t x = pass ? it.alt_left : it.left, y = pass ? it.alt_top : it.top;
    for (int32_t v = 0; v < n; ++v)
      out.push_back({x + v * it.verh, y + v * it.verv, x + v * it.verh + it.width, y + v * it.verv + it.height});
  }
  return out;
}

std::string Where(const a_item_art& it) { return "art/interface.txt:" + std::to_string(it.line) + ": "; }

bool Check(a_interface_table& t, std::string& err) {
  // Every item once.
  auto missing = [&](const std::vector<a_item_art>& list, size_t n, auto name_of, const char* what) {
    std::set<std::string> have;
    for (const a_item_art& it : list) have.insert(it.name);
    for (size_t i = 0; i < n; ++i) {
      if (!have.count(name_of(i))) {
        err = std::string("art/interface.txt: no row for the ") + what + " " + name_of(i);
        return true;
      }
    }
    return false;
  };
  if (t.slider.name.empty()) {
    err = "art/interface.txt: no slider row";
    return false;
  }
  if (missing(t.grids, std::size(kGrids), [](size_t i) { return std::string(kGrids[i].name); }, "icon grid") ||
      missing(t.oneshots, std::size(kOneShots), [](size_t i) { return std::string(kOneShots[i].name); }, "one-shot") ||
      missing(t.toggles, std::size(kToggles), [](size_t i) { return std::string(kToggles[i]); }, "toggle"))
    return false;
  auto by_index = [](std::vector<a_item_art>& list) {
    std::sort(list.begin(), list.end(), [](const a_item_art& a, const a_item_art& b) { return a.index < b.index; });
  };
  by_index(t.grids);
  by_index(t.oneshots);
  by_index(t.toggles);

  // Shared artwork: the row takes its model's placement.
  std::map<std::string, const a_item_art*> names;
  for (auto* list : {&t.grids, &t.oneshots, &t.toggles})
    for (const a_item_art& it : *list) names[it.name] = &it;
  for (auto* list : {&t.grids, &t.oneshots, &t.toggles}) {
    for (a_item_art& it : *list) {
      if (it.as.empty()) continue;
      const auto m = names.find(it.as);
      if (m == names.end() || m->second->kind != it.kind || !m->second->as.empty()) {
        err = Where(it) + it.name + " shares the art of " + it.as + ", which is no " + Kind_Word(it.kind) +
              " with art of its own";
        return false;
      }
      const a_item_art& model = *m->second;
      const std::string name = it.name, as = it.as;
      const int32_t line = it.line, index = it.index;
      const bool label = it.label;
      it = model;
      it.name = name;
      it.as = as;
      it.line = line;
      it.index = index;
      it.label = label;
      std::string why;
      if (!Motif_Fits(it, why)) {
        err = Where(it) + it.name + " cannot share the art of " + as + ": " + why;
        return false;
      }
    }
  }

  // Placement: pictures, sizes, versions, overlaps, motifs.
  std::vector<const a_item_art*> drawn{&t.slider};
  for (auto* list : {&t.grids, &t.oneshots, &t.toggles})
    for (const a_item_art& it : *list)
      if (it.as.empty()) drawn.push_back(&it);
  if (t.slider.pixtx != ART_PICT_SLIDER || t.slider.left != 0 || t.slider.top != 0) {
    err = Where(t.slider) + "the sliders' art is 319 x 34 at (0,0) of picture 139";
    return false;
  }
  std::map<int16_t, std::vector<std::pair<a_box, const a_item_art*>>> taken;
  for (const a_item_art* it : drawn) {
    const auto pic = std::find_if(t.pictures.begin(), t.pictures.end(), [&](const a_tool_picture& p) { return p.id == it->pixtx; });
    if (pic == t.pictures.end()) {
      err = Where(*it) + it->name + ": picture " + std::to_string(it->pixtx) + " is not declared";
      return false;
    }
    std::string why;
    if (!Motif_Fits(*it, why)) {
      err = Where(*it) + it->name + ": " + why;
      return false;
    }
    if (it->kind == a_item_kind::grid && it->verh == 0 && it->verv == 0) {
      err = Where(*it) + it->name + ": a grid's versions need ver= apart";
      return false;
    }
    const std::vector<a_box> boxes = Footprint(*it);
    for (size_t i = 0; i < boxes.size(); ++i) {
      const a_box& b = boxes[i];
      if (b.left < 0 || b.top < 0 || b.right > pic->width || b.bottom > pic->height) {
        err = Where(*it) + it->name + ": its art " + b.Text() + " lies outside picture " + std::to_string(pic->id) + " (" +
              std::to_string(pic->width) + "x" + std::to_string(pic->height) + ")";
        return false;
      }
      for (size_t j = 0; j < i; ++j) {
        if (boxes[j].Meets(b)) {
          err = Where(*it) + it->name + ": its versions overlap each other (ver= too small)";
          return false;
        }
      }
    }
    for (const a_box& b : boxes) {
      for (const auto& [other_box, other] : taken[pic->id]) {
        if (other != it && other_box.Meets(b)) {
          err = Where(*it) + it->name + ": its art " + b.Text() + " overlaps the art of " + other->name + " (line " +
                std::to_string(other->line) + ")";
          return false;
        }
      }
    }
    for (const a_box& b : boxes) taken[pic->id].emplace_back(b, it);
  }
  return true;
}

}  // namespace

int32_t a_item_art::Versions() const {
  switch (kind) {
    case a_item_kind::slider: return 1;
    case a_item_kind::grid: return 3;
    case a_item_kind::oneshot: return (verh == 0 && verv == 0) ? 1 : 2;
    case a_item_kind::toggle: return 2;
  }
  return 1;
}

bool Interface_Read(const a_art_context& ctx, a_interface_table& t, std::string& err) {
  std::vector<a_table_row> rows;
  if (!Read_Table(ctx, "interface.txt", rows, err)) return false;
  t = a_interface_table{};
  std::map<std::string, int32_t> seen;
  for (const a_table_row& r : rows) {
    if (r.words.empty()) {
      err = r.Where() + ": a row starts with its kind";
      return false;
    }
    if (r.words[0] == "picture") {
      if (!Read_Picture(r, t, err)) return false;
    } else if (!Read_Item(r, t, seen, err)) {
      return false;
    }
  }
  return Check(t, err);
}

// ---------------------------------------------------------------------------
// The header
// ---------------------------------------------------------------------------
namespace {

std::string Record(const std::string& name, const a_item_art& it, int32_t left, int32_t top) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "{\"%s\", %d, {%d, %d, %d, %d}, %d, %d, %s, {%d, %d}, {%d, %d}, %d, %d}",
                name.c_str(), it.pixtx, top, left, top + it.height, left + it.width, it.verh, it.verv,
                it.translucent ? "true" : "false", it.rows, it.cols, it.cell_h, it.cell_w, it.overlap, it.shadow);
  return buf;
}

}  // namespace

std::string Interface_Header_Text(const a_interface_table& t) {
  std::string h =
      "// The artwork of the interface's items: for every slider, icon grid,\n"
      "// one-shot button and toggle of the item tables, the tool picture that\n"
      "// holds it, the rectangle of its plain version and the offset between its\n"
      "// versions (struct a_art_item, pixel/ArtKeys.h).\n"
      "//\n"
      "// Written by velmor_artgen from art/interface.txt; do not edit.\n"
      "#pragma once\n\n#include \"pixel/ArtKeys.h\"\n\n";
  h += "// Every slider.\n";
  h += "constexpr a_art_item ART_ITEM_SLIDER = " + Record("SLIDER", t.slider, t.slider.left, t.slider.top) + ";\n";
  char buf[256];
  h += "\n// The source box of each slider part (label, rack, thumb, minus, plus,\n"
       "// reset) in each look (plain, hilite, dim, big step, tiny step), top,\n"
       "// left, bottom, right in the slider's picture.\n"
       "constexpr Rect ART_SLIDER_PARTS[ART_SLIDER_LOOKS][ART_SLIDER_PARTS_N] = {\n";
  for (int look = 0; look < SLIDER_LOOKS; ++look) {
    h += "    {";
    for (int part = 0; part < PARTX_COUNT; ++part) {
      const a_part_box b = Slider_Part_Source(part, look);
      const int32_t x = t.slider.left + b.left, y = t.slider.top + b.top;
      std::snprintf(buf, sizeof buf, "%s{%d, %d, %d, %d}", part ? ", " : "", y, x, y + b.height, x + b.width);
      h += buf;
    }
    h += "},\n";
  }
  h += "};\n";
  const struct {
    const std::vector<a_item_art>* list;
    const char* comment;
    const char* array;
  } tables[] = {{&t.grids, "Icon grids", "ART_GRID_ITEMS"},
                {&t.oneshots, "One-shot buttons", "ART_ONESHOT_ITEMS"},
                {&t.toggles, "Toggles", "ART_TOGGLE_ITEMS"}};
  for (const auto& tab : tables) {
    h += std::string("\n// ") + tab.comment + ".\n";
    for (const a_item_art& it : *tab.list) {
      h += "constexpr a_art_item ART_ITEM_" + it.name + " = " + Record(it.name, it, it.left, it.top) + ";\n";
      if (it.has_alt)
        h += "constexpr a_art_item ART_ITEM_" + it.name + "_ALT = " + Record(it.name, it, it.alt_left, it.alt_top) + ";\n";
    }
    h += "constexpr a_art_item " + std::string(tab.array) + "[" + std::to_string(tab.list->size()) + "] = {\n";
    for (const a_item_art& it : *tab.list) h += "    ART_ITEM_" + it.name + ",\n";
    h += "};\n";
  }
  h += "\n// The tool pictures.\nconstexpr int16 ART_ITEM_PICTURES[" + std::to_string(t.pictures.size()) + "] = {";
  for (size_t i = 0; i < t.pictures.size(); ++i) h += (i ? ", " : "") + std::to_string(t.pictures[i].id);
  h += "};\n";
  return h;
}

// ---------------------------------------------------------------------------
// Jobs: one a picture
// ---------------------------------------------------------------------------
bool Interface_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err) {
  auto table = std::make_shared<a_interface_table>();
  if (!Interface_Read(ctx, *table, err)) return false;
  for (const a_tool_picture& pic : table->pictures) {
    jobs.push_back(a_art_job{"interface picture " + std::to_string(pic.id),
                             [table, pic](std::vector<a_art_object>& out, std::string& e) {
                               a_art_object o;
                               o.key = a_keyset{ART_PICTURE, pic.id, 0, 0};
                               if (!Pixt_Encode32_RLE(Interface_Draw_Picture(*table, pic), 0, o.data, e)) return false;
                               out.push_back(std::move(o));
                               return true;
                             }});
  }
  return true;
}
