// The interface items' pictures: each tool picture read back through the
// program's reader, at twice its size with every item's artwork outlined
// and named (its versions dashed), then as the panel shows it; the slider
// put together from its parts at its on-screen geometry in each look; and a
// few panels laid out from the item records as the program will show them.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "Sheets.h"
#include "pixel/ArtItems.h"

namespace {

a_rgb Rgb(int r, int g, int b) { return a_rgb{r / 255.0, g / 255.0, b / 255.0}; }

// A ground tiled with a stored picture (the light stripe of the panels, the
// dark stripe of the start screen's list), or its mean colour when the
// library has no such picture.
a_art_image Tiled_Ground(int16 id, const uint8_t mean[3], int32_t w, int32_t h) {
  const a_read_picture tile = Reader_Picture(a_keyset{ART_PICTURE, id, 0, 0});
  a_art_image g;
  g.width = w;
  g.height = h;
  g.rgba.resize(size_t(w) * size_t(h) * 4);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint8_t* q = &g.rgba[(size_t(y) * size_t(w) + size_t(x)) * 4];
      if (tile.ok && tile.img.width > 0 && tile.img.height > 0) {
        std::copy_n(&tile.img.rgba[(size_t(y % tile.img.height) * size_t(tile.img.width) + size_t(x % tile.img.width)) * 4], 4, q);
      } else {
        std::copy_n(mean, 3, q);
        q[3] = 255;
      }
    }
  return g;
}

a_art_image Panel_Ground(int32_t w, int32_t h) {
  return Tiled_Ground(ART_PICT_LIGHT_STRIPE, ART_LIGHT_STRIPE_RGB, w, h);
}

a_art_image Dark_Ground(int32_t w, int32_t h) {
  static const uint8_t mean[3] = {98, 108, 130};
  return Tiled_Ground(ART_PICT_DARK_STRIPE, mean, w, h);
}

// Draws the part src (a rectangle of the picture) onto dst at (dx, dy) as
// the interface does: translucent art blended by its alpha, other art
// copied with pure white left out.
void Blit(a_art_image& dst, const a_art_image& pic, const Rect& src, int32_t dx, int32_t dy, bool translucent) {
  for (int32_t y = src.top; y < src.bottom; ++y) {
    for (int32_t x = src.left; x < src.right; ++x) {
      const int32_t tx = dx + x - src.left, ty = dy + y - src.top;
      if (x < 0 || y < 0 || x >= pic.width || y >= pic.height || tx < 0 || ty < 0 || tx >= dst.width || ty >= dst.height)
        continue;
      const uint8_t* p = &pic.rgba[(size_t(y) * size_t(pic.width) + size_t(x)) * 4];
      uint8_t* q = &dst.rgba[(size_t(ty) * size_t(dst.width) + size_t(tx)) * 4];
      if (translucent) {
        const double a = p[3] / 255.0;
        for (int c = 0; c < 3; ++c) q[c] = uint8_t(std::lround(p[c] * a + q[c] * (1 - a)));
      } else if (!(p[0] == 255 && p[1] == 255 && p[2] == 255)) {
        std::copy_n(p, 3, q);
      }
    }
  }
}

// The whole picture on the panel's ground, each pixel as its item is drawn.
a_art_image On_Ground(const a_art_image& pic) {
  a_art_image out = Panel_Ground(pic.width, pic.height);
  // Pixels with partial alpha belong to translucent art; opaque pixels are
  // drawn unless pure white.
  for (size_t i = 0; i < pic.rgba.size(); i += 4) {
    const uint8_t* p = &pic.rgba[i];
    uint8_t* q = &out.rgba[i];
    if (p[3] == 255 && p[0] == 255 && p[1] == 255 && p[2] == 255) continue;
    const double a = p[3] / 255.0;
    for (int c = 0; c < 3; ++c) q[c] = uint8_t(std::lround(p[c] * a + q[c] * (1 - a)));
  }
  return out;
}

// Nearest-neighbour enlargement, so that pixels stay pixels.
a_art_image Enlarge(const a_art_image& img, int k) {
  a_art_image out;
  out.width = img.width * k;
  out.height = img.height * k;
  out.rgba.resize(size_t(out.width) * size_t(out.height) * 4);
  for (int32_t y = 0; y < out.height; ++y)
    for (int32_t x = 0; x < out.width; ++x)
      std::copy_n(&img.rgba[(size_t(y / k) * size_t(img.width) + size_t(x / k)) * 4], 4,
                  &out.rgba[(size_t(y) * size_t(out.width) + size_t(x)) * 4]);
  return out;
}

int32_t Versions(const a_art_item& it, bool grid) {
  if (it.src_verh == 0 && it.src_verv == 0) return 1;
  return grid ? 3 : 2;
}

void Outline(cairo_t* cr, double x, double y, double w, double h, const a_rgb& c, bool dashed) {
  cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
  if (dashed) {
    const double d[] = {4, 3};
    cairo_set_dash(cr, d, 2, 0);
  }
  cairo_set_line_width(cr, 1);
  Set_Rgb(cr, c, 0.85);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
}

void Tag(cairo_t* cr, double x, double y, const std::string& text, const a_rgb& c) {
  Use_Font(cr, "sans", 9);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  cairo_rectangle(cr, x, y, e.x_advance + 4, 11);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
  cairo_fill(cr);
  Set_Rgb(cr, c);
  cairo_move_to(cr, x + 2, y + 9);
  cairo_show_text(cr, text.c_str());
}

struct a_named {
  const a_art_item* item;
  bool grid;
  bool alt;
};

// Every item drawn from its own art (those that share another's art are
// named with it).
std::vector<a_named> All_Items() {
  std::vector<a_named> all{{&ART_ITEM_SLIDER, false, false}};
  for (const a_art_item& it : ART_GRID_ITEMS) all.push_back({&it, true, false});
  for (const a_art_item& it : ART_ONESHOT_ITEMS) all.push_back({&it, false, false});
  for (const a_art_item& it : ART_TOGGLE_ITEMS) all.push_back({&it, false, false});
  all.push_back({&ART_ITEM_PHOTO_SHAD_TOGGLE_ALT, false, true});
  return all;
}

// The start screen's list area, where these items stand, is the dark
// stripe, not the light panel.
bool On_Dark(const a_art_item& it) {
  const std::string n = it.name;
  return (n.rfind("PROJ_", 0) == 0 && n != "PROJ_AGE_GRID" && n != "PROJ_SORT_GRID") || n.rfind("EXL_", 0) == 0;
}

// Lays the art of the dark-ground items over the dark stripe instead.
void Darken_Grounds(a_art_image& shown, const a_art_image& pic, int16 id) {
  std::vector<const a_art_item*> items;
  for (const a_art_item& it : ART_ONESHOT_ITEMS)
    if (it.pixtx == id && On_Dark(it)) items.push_back(&it);
  for (const a_art_item* it : items) {
    const int32_t w = it->src_rect.right - it->src_rect.left, h = it->src_rect.bottom - it->src_rect.top;
    for (int v = 0; v < 2; ++v) {
      const int32_t x0 = it->src_rect.left + v * it->src_verh, y0 = it->src_rect.top + v * it->src_verv;
      const a_art_image dark = Dark_Ground(w, h);
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
          if (x0 + x >= shown.width || y0 + y >= shown.height) continue;
          const uint8_t* p = &pic.rgba[(size_t(y0 + y) * size_t(pic.width) + size_t(x0 + x)) * 4];
          uint8_t* q = &shown.rgba[(size_t(y0 + y) * size_t(shown.width) + size_t(x0 + x)) * 4];
          if (p[0] == 255 && p[1] == 255 && p[2] == 255) std::copy_n(&dark.rgba[(size_t(y) * size_t(w) + size_t(x)) * 4], 3, q);
        }
    }
  }
}

bool Picture_Page(int16 id, const std::string& dir, std::vector<std::string>& written, std::string& err) {
  const a_read_picture p = Reader_Picture(a_keyset{ART_PICTURE, id, 0, 0});
  a_sheet sheet("Interface picture " + std::to_string(id) + ": each item's artwork outlined (its versions dashed), at 2x; "
                "then as the panel shows it",
                std::max(900, p.ok ? p.img.width * 2 + 40 : 900));
  if (!p.ok) {
    double x = 0, y = 0;
    sheet.Next(400, 20, x, y);
    sheet.Label(x, y, "picture " + std::to_string(id) + ": " + p.why);
  } else {
    a_art_image shown = On_Ground(p.img);
    Darken_Grounds(shown, p.img, id);
    const a_art_image big = Enlarge(shown, 2);
    double x = 0, y = 0;
    sheet.Next(big.width, big.height, x, y);
    sheet.Image(big, x, y);
    cairo_t* cr = sheet.Cr();
    // Group items sharing one art under one outline.
    std::map<std::tuple<int, int, int, int>, std::string> names;
    std::vector<a_named> drawn;
    for (const a_named& n : All_Items()) {
      if (n.item->pixtx != id) continue;
      const Rect& r = n.item->src_rect;
      auto key = std::make_tuple(int(r.top), int(r.left), int(r.bottom), int(r.right));
      std::string& label = names[key];
      if (label.empty()) drawn.push_back(n);
      label += (label.empty() ? "" : ", ") + std::string(n.item->name) + (n.alt ? " (alt)" : "");
    }
    const a_rgb colours[3] = {Rgb(200, 30, 60), Rgb(20, 120, 40), Rgb(40, 60, 200)};
    for (size_t i = 0; i < drawn.size(); ++i) {
      const a_art_item& it = *drawn[i].item;
      const Rect& r = it.src_rect;
      const a_rgb& c = colours[i % 3];
      const int32_t nv = &it == &ART_ITEM_SLIDER ? 1 : Versions(it, drawn[i].grid);
      for (int32_t v = 0; v < nv; ++v)
        Outline(cr, x + 2 * (r.left + v * it.src_verh), y + 2 * (r.top + v * it.src_verv), 2 * (r.right - r.left),
                2 * (r.bottom - r.top), c, v > 0);
      std::string label = names[std::make_tuple(int(r.top), int(r.left), int(r.bottom), int(r.right))];
      if (label.size() > 60) label = label.substr(0, 57) + "...";
      Tag(cr, x + 2 * r.left + 1, y + 2 * r.top + 1, label, c);
    }
    sheet.Label(x, y + big.height, std::to_string(p.img.width) + " x " + std::to_string(p.img.height) + ", " +
                                       std::to_string(p.depth) + "-bit, flags " + std::to_string(p.flags));
    sheet.Next(shown.width, shown.height, x, y);
    sheet.Image(shown, x, y);
  }
  const std::string name = "interface-" + std::to_string(id) + ".png";
  if (!sheet.Write(dir + "/" + name, err)) return false;
  written.push_back(name);
  return true;
}

// ---------------------------------------------------------------------------
// The slider, put together from its parts
// ---------------------------------------------------------------------------
struct a_part_at {
  int16 left, top;
};
// Where each part shows in the slider's node (the thumb moves along).
constexpr a_part_at kScreen[ART_SLIDER_PARTS_N] = {{0, 0}, {0, 23}, {0, 17}, {254, 10}, {285, 10}, {196, 0}};

struct a_slider_state {
  const char* what;
  double value;     // 0 .. 1 along the rack
  int16 rack_look, thumb_look, minus_look, plus_look;
  bool reset;
  bool dim;
};

a_art_image Slider_Mock(const a_art_image& pic, const a_slider_state& s, const char* label) {
  a_art_image out = Panel_Ground(320, 34);
  auto part = [&](int p, int look, int32_t dx) {
    const Rect& r = ART_SLIDER_PARTS[look][p];
    Blit(out, pic, r, kScreen[p].left + dx, kScreen[p].top, ART_ITEM_SLIDER.translucent);
  };
  part(ART_PART_LABEL, ART_SLIDER_PLAIN, 0);
  part(ART_PART_RACK, s.rack_look, 0);
  part(ART_PART_THUMB, s.thumb_look, int32_t(std::lround(s.value * 231)));
  part(ART_PART_MINUS, s.minus_look, 0);
  part(ART_PART_PLUS, s.plus_look, 0);
  if (s.reset) part(ART_PART_RESET, s.dim ? ART_SLIDER_DIM : ART_SLIDER_PLAIN, 0);
  // The label, as the program writes it at run time.
  a_surface text(320, 34);
  Use_Font(text.Cr(), "sans-bold", 12);
  cairo_set_source_rgb(text.Cr(), s.dim ? 0.6 : 0.1, s.dim ? 0.62 : 0.12, s.dim ? 0.68 : 0.18);
  cairo_move_to(text.Cr(), 2, 13);
  cairo_show_text(text.Cr(), label);
  const a_art_image t = text.Image();
  for (size_t i = 0; i < out.rgba.size(); i += 4) {
    const double a = t.rgba[i + 3] / 255.0;
    for (int c = 0; c < 3; ++c) out.rgba[i + c] = uint8_t(std::lround(t.rgba[i + c] * a + out.rgba[i + c] * (1 - a)));
  }
  return out;
}

bool Slider_Page(const std::string& dir, std::vector<std::string>& written, std::string& err) {
  const a_read_picture p = Reader_Picture(a_keyset{ART_PICTURE, ART_ITEM_SLIDER.pixtx, 0, 0});
  a_sheet sheet("The slider from its parts at its on-screen geometry, in each look (1x, then 2x)", 1000);
  if (!p.ok) {
    err = "the slider's picture " + std::to_string(ART_ITEM_SLIDER.pixtx) + " is " + p.why;
    return false;
  }
  const a_slider_state states[] = {
      {"plain, at the default", 0.5, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, false, false},
      {"plain, moved: reset shown", 0.15, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, true, false},
      {"thumb dragged", 0.8, ART_SLIDER_HILITE, ART_SLIDER_HILITE, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, true, false},
      {"plus pressed", 1.0, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, ART_SLIDER_HILITE, true, false},
      {"Shift held: big steps", 0.3, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, ART_SLIDER_BIG, ART_SLIDER_BIG, true, false},
      {"Ctrl held: tiny steps", 0.3, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, ART_SLIDER_TINY, ART_SLIDER_TINY, true, false},
      {"dimmed", 0.0, ART_SLIDER_DIM, ART_SLIDER_DIM, ART_SLIDER_DIM, ART_SLIDER_DIM, true, true},
  };
  const char* labels[] = {"Opacity", "Size", "Rotation", "Line thickness", "Spacing", "Corner roundness", "Darkness/lightness"};
  for (size_t i = 0; i < std::size(states); ++i) {
    const a_art_image m = Slider_Mock(p.img, states[i], labels[i]);
    double x = 0, y = 0;
    sheet.Next(320 + 12 + 640, 68, x, y);
    sheet.Image(m, x, y + 17);
    sheet.Image(Enlarge(m, 2), x + 332, y);
    sheet.Label(x, y + 68, states[i].what);
  }
  if (!sheet.Write(dir + "/interface-slider.png", err)) return false;
  written.push_back("interface-slider.png");
  return true;
}

// ---------------------------------------------------------------------------
// Panels laid out from the item records
// ---------------------------------------------------------------------------
int32_t Item_W(const a_art_item& it) { return it.src_rect.right - it.src_rect.left; }
int32_t Item_H(const a_art_item& it) { return it.src_rect.bottom - it.src_rect.top; }

// A label as Draw_Embed_String writes it: centred, black when plain, dark
// blue otherwise.
void Embed_Label(a_art_image& panel, const char* label, int32_t x, int32_t y, int32_t w, int32_t h, bool plain) {
  a_surface text(w, h);
  Use_Font(text.Cr(), "sans-bold", 13);
  cairo_text_extents_t e;
  cairo_text_extents(text.Cr(), label, &e);
  cairo_move_to(text.Cr(), std::round((w - e.width) / 2 - e.x_bearing), std::round((h - e.height) / 2 - e.y_bearing));
  cairo_set_source_rgb(text.Cr(), plain ? 0 : 29 / 255.0, plain ? 0 : 51 / 255.0, plain ? 0 : 85 / 255.0);
  cairo_show_text(text.Cr(), label);
  Blit(panel, text.Image(), Rect{0, 0, int16(h), int16(w)}, x, y, true);
}

struct a_placed {
  const a_art_item* item;
  int32_t x, y;
  int version;     // a grid's current cell shows version 1 ...
  int current;     // ... at this element (-1: none)
  bool grid;
  const char* label = nullptr;  // drawn into it at run time
};

void Draw_Placed(a_art_image& panel, const a_placed& pl) {
  const a_read_picture pic = Reader_Picture(a_keyset{ART_PICTURE, pl.item->pixtx, 0, 0});
  if (!pic.ok) return;
  const a_art_item& it = *pl.item;
  if (!pl.grid) {
    const Rect r = {int16(it.src_rect.top + pl.version * it.src_verv), int16(it.src_rect.left + pl.version * it.src_verh),
                    int16(it.src_rect.bottom + pl.version * it.src_verv), int16(it.src_rect.right + pl.version * it.src_verh)};
    Blit(panel, pic.img, r, pl.x, pl.y, it.translucent);
    if (pl.label != nullptr) Embed_Label(panel, pl.label, pl.x, pl.y, Item_W(it), Item_H(it), pl.version == 0);
    return;
  }
  // A grid as the interface paints it: each cell from its version, then the
  // shadow strips.
  const int32_t rows = it.grid_ncells.v, cols = it.grid_ncells.h, ch = it.grid_cell.v, cw = it.grid_cell.h;
  const int32_t step_h = cw - it.grid_overlap, step_v = ch - it.grid_overlap;
  // A grid with labels ("A|B|C") keeps one strip of art: every cell is drawn
  // from the first.
  std::vector<std::string> labels;
  for (const char* l = pl.label; l != nullptr && *l != 0;) {
    const char* bar = std::strchr(l, '|');
    labels.emplace_back(l, bar ? size_t(bar - l) : std::strlen(l));
    l = bar ? bar + 1 : nullptr;
  }
  for (int32_t e = 0; e < rows * cols; ++e) {
    const int32_t col = e % cols, row = e / cols, v = e == pl.current ? 1 : 0;
    const int32_t scol = labels.empty() ? col : 0, srow = labels.empty() ? row : 0;
    const int32_t sx = it.src_rect.left + step_h * scol + v * it.src_verh, sy = it.src_rect.top + step_v * srow + v * it.src_verv;
    const Rect r = {int16(sy), int16(sx), int16(sy + ch), int16(sx + cw)};
    Blit(panel, pic.img, r, pl.x + step_h * col, pl.y + step_v * row, it.translucent);
    if (size_t(e) < labels.size())
      Embed_Label(panel, labels[size_t(e)].c_str(), pl.x + step_h * col, pl.y + step_v * row, cw, ch, v == 0);
  }
  const int32_t w = it.src_rect.right - it.src_rect.left, h = it.src_rect.bottom - it.src_rect.top, s = it.grid_shadow;
  if (s > 0) {
    Blit(panel, pic.img, Rect{it.src_rect.top, int16(it.src_rect.right - s), it.src_rect.bottom, it.src_rect.right},
         pl.x + w - s, pl.y, it.translucent);
    Blit(panel, pic.img, Rect{int16(it.src_rect.bottom - s), it.src_rect.left, it.src_rect.bottom, it.src_rect.right},
         pl.x, pl.y + h - s, it.translucent);
  }
}


bool Panels_Page(const std::string& dir, std::vector<std::string>& written, std::string& err) {
  a_sheet sheet("Panels laid out from the item records as the program shows them (current cells, toggles on, a pressed button)",
                1200);
  const a_read_picture slider_pic = Reader_Picture(a_keyset{ART_PICTURE, ART_ITEM_SLIDER.pixtx, 0, 0});
  auto column = [&](const char* title, std::vector<a_placed> items, int32_t height, std::vector<const char*> sliders,
                    int32_t dark_from = -1) {
    a_art_image panel = Panel_Ground(350, height);
    if (dark_from >= 0) {
      const a_art_image dark = Dark_Ground(350, height - dark_from);
      std::copy(dark.rgba.begin(), dark.rgba.end(), panel.rgba.begin() + ptrdiff_t(dark_from) * 350 * 4);
    }
    int32_t y = 8;
    for (a_placed& pl : items) {
      if (pl.x < 0) pl.x = (350 - Item_W(*pl.item)) / 2;
      if (pl.y < 0) pl.y = y;
      Draw_Placed(panel, pl);
      y = std::max(y, pl.y + Item_H(*pl.item) + 10);
    }
    for (const char* label : sliders) {
      if (!slider_pic.ok) break;
      const a_slider_state st{"", 0.35, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, ART_SLIDER_PLAIN, true, false};
      const a_art_image m = Slider_Mock(slider_pic.img, st, label);
      Blit(panel, m, Rect{0, 0, 34, 320}, 20, y, false);
      y += 34 + 10;
    }
    double x = 0, yy = 0;
    sheet.Next(350, height, x, yy);
    sheet.Image(panel, x, yy);
    sheet.Label(x, yy + height, title);
  };
  column("Paint: brush", {{&ART_ITEM_TOOL_GRID, -1, -1, 0, 0, true}, {&ART_ITEM_BRUSH_SHAPE_GRID, -1, -1, 0, 5, true}}, 300,
         {"Spacing", "Opacity"});
  column("Paint: filled shapes with a gradient",
         {{&ART_ITEM_TOOL_GRID, -1, -1, 0, 6, true},
          {&ART_ITEM_FROM_CORNER_GRID, -1, -1, 0, 0, true},
          {&ART_ITEM_GRAD_KIND_GRID, -1, -1, 0, 2, true},
          {&ART_ITEM_GRAD_DIR_GRID, -1, -1, 0, 1, true}},
         380, {"Angle", "Number of repeats", "Opacity"});
  column("Paint: eraser, stamp and select",
         {{&ART_ITEM_ERASER_GRID, -1, -1, 0, 8, true},
          {&ART_ITEM_PAINT_ZAP_BUTTON, -1, -1, 0, -1, false},
          {&ART_ITEM_MARQ_KIND_GRID, -1, -1, 0, 1, true},
          {&ART_ITEM_MARQ_CUT_GRID, -1, -1, 0, 0, true},
          {&ART_ITEM_MARQ_TRANSP_GRID, -1, -1, 0, 1, true},
          {&ART_ITEM_SPRAY_KIND_GRID, -1, -1, 0, 2, true}},
         380, {});
  {
    // Text: the button column, layout and justification, the style toggles,
    // the effect check boxes over the page tabs.
    std::vector<a_placed> t = {{&ART_ITEM_TEXT_NEW_BUTTON, 20, 8, 0, -1, false},
                               {&ART_ITEM_OBJ_DUP_BUTTON, 20, 8 + 42, 0, -1, false},
                               {&ART_ITEM_OBJ_DEL_BUTTON, 20, 8 + 84, 0, -1, false},
                               {&ART_ITEM_TEXT_EDIT_BUTTON, 20, 8 + 126, 1, -1, false},
                               {&ART_ITEM_TEXT_LAYOUT_GRID, 100, 8, 0, 2, true},
                               {&ART_ITEM_TEXT_HJUST_GRID, 100, 80, 0, 1, true},
                               {&ART_ITEM_TEXT_BOLD_TOGGLE, 100, 124, 1, -1, false},
                               {&ART_ITEM_TEXT_ITAL_TOGGLE, 144, 124, 0, -1, false},
                               {&ART_ITEM_TEXT_UNDL_TOGGLE, 188, 124, 0, -1, false},
                               {&ART_ITEM_TEXT_OUTL_TOGGLE, 118, 180, 0, -1, false},
                               {&ART_ITEM_TEXT_GLOW_TOGGLE, 205, 180, 1, -1, false},
                               {&ART_ITEM_TEXT_SHAD_TOGGLE, 292, 180, 0, -1, false},
                               {&ART_ITEM_TEXT_PHASE_GRID, 1, 210, 0, 0, true}};
    column("Text", t, 400, {"Size", "Letter spacing"});
  }
  {
    std::vector<a_placed> ph = {{&ART_ITEM_PHOTO_NEW_BUTTON, 20, 8, 0, -1, false},
                                {&ART_ITEM_PHOTO_DUP_BUTTON, 72, 8, 0, -1, false},
                                {&ART_ITEM_PHOTO_DEL_BUTTON, 124, 8, 0, -1, false},
                                {&ART_ITEM_PHOTO_COLLAGE_BUTTON, 176, 8, 0, -1, false},
                                {&ART_ITEM_PHOTO_REPLACE_BUTTON, 228, 8, 0, -1, false},
                                {&ART_ITEM_PHOTO_CROP_BUTTON, 280, 8, 1, -1, false},
                                {&ART_ITEM_PHOTO_SHAD_TOGGLE_ALT, 292, 64, 1, -1, false},
                                {&ART_ITEM_PHOTO_PHASE_GRID, 1, 94, 0, 3, true},
                                {&ART_ITEM_PHOTO_FLIPX_BUTTON, 20, 140, 0, -1, false},
                                {&ART_ITEM_PHOTO_FLIPY_BUTTON, 75, 140, 0, -1, false},
                                {&ART_ITEM_PHOTO_INVERT_BUTTON, 138, 140, 0, -1, false},
                                {&ART_ITEM_PHOTO_ROTATECCW_BUTTON, 201, 140, 0, -1, false},
                                {&ART_ITEM_PHOTO_ROTATECW_BUTTON, 256, 140, 0, -1, false},
                                {&ART_ITEM_PHOTO_CONSTRAIN_TOGGLE, -1, 190, 1, -1, false}};
    column("Photo (shadow page)", ph, 340, {"Shadow X offset", "Shadow opacity"});
  }
  {
    std::vector<a_placed> al = {{&ART_ITEM_OBJ_ALIGN_H_L, 50, 8, 0, -1, false},  {&ART_ITEM_OBJ_ALIGN_H_C, 117, 8, 0, -1, false},
                                {&ART_ITEM_OBJ_ALIGN_H_R, 184, 8, 0, -1, false}, {&ART_ITEM_OBJ_SPREAD_H, 251, 8, 0, -1, false},
                                {&ART_ITEM_OBJ_ALIGN_V_T, 50, 61, 0, -1, false}, {&ART_ITEM_OBJ_ALIGN_V_C, 117, 61, 0, -1, false},
                                {&ART_ITEM_OBJ_ALIGN_V_B, 184, 61, 0, -1, false}, {&ART_ITEM_OBJ_SPREAD_V, 251, 61, 0, -1, false},
                                {&ART_ITEM_PACK_KIND_GRID, -1, 120, 0, 1, true}, {&ART_ITEM_PACK_ORIENT_GRID, -1, 160, 0, 0, true},
                                {&ART_ITEM_PACK_OK_BUTTON, 40, 200, 0, -1, false, "OK"},
                                {&ART_ITEM_PACK_CANCEL_BUTTON, 190, 200, 0, -1, false, "Cancel"}};
    column("Alignment; collage", al, 250, {});
  }
  {
    std::vector<a_placed> tg = {{&ART_ITEM_TAG_LAYERS, 0, 8, 0, -1, true},  {&ART_ITEM_TAG_PALETTE, 88, 8, 0, 0, true},
                                {&ART_ITEM_TAG_GRADIENT, 176, 8, 0, -1, true}, {&ART_ITEM_TAG_PATTERN, 264, 8, 0, -1, true},
                                {&ART_ITEM_TAG_STAMP, 0, 60, 0, -1, true},   {&ART_ITEM_TAG_BORDER, 88, 60, 0, -1, true},
                                {&ART_ITEM_TAG_FONT, 176, 60, 0, 0, true},   {&ART_ITEM_TAG_CANVAS, 264, 60, 0, -1, true},
                                {&ART_ITEM_TAG_GRID_COLOR, 0, 112, 0, -1, true}, {&ART_ITEM_TAG_CUTL_COLOR, 88, 112, 0, -1, true},
                                {&ART_ITEM_TAG_BORD_COLOR, 176, 112, 0, -1, true}, {&ART_ITEM_TAG_OUTL_COLOR, 264, 112, 0, -1, true},
                                {&ART_ITEM_TAG_SYMB_COLOR, 0, 164, 0, -1, true}, {&ART_ITEM_TAG_GLYPHS, 88, 164, 0, 0, true},
                                {&ART_ITEM_ZOOM_GRID, 280, 164, 0, 1, true}};
    column("Tags (a current one in each row) and zoom", tg, 280, {});
  }
  {
    std::vector<a_placed> st = {{&ART_ITEM_PROJ_AGE_GRID, 2, 8, 0, 0, true, "New Projects|Recent|Examples"},
                                {&ART_ITEM_PROJ_PICKLAYOUT_BUTTON, -1, 70, 0, -1, false, "Choose a layout..."},
                                {&ART_ITEM_PROJ_QUIT_BUTTON, -1, 120, 1, -1, false, "Quit"},
                                {&ART_ITEM_EXL_PREV_BUTTON, 80, 170, 0, -1, false},
                                {&ART_ITEM_EXL_NEXT_BUTTON, 230, 170, 0, -1, false}};
    column("Start screen (an age tab is 218 wide: cut here)", st, 220, {}, 52);
  }
  {
    std::vector<a_placed> pr = {{&ART_ITEM_PRINT_BUTTON, 60, 8, 0, -1, false},
                                {&ART_ITEM_PRINT_SETUP_BUTTON, 147, 8, 0, -1, false},
                                {&ART_ITEM_PRINT_TEST_BUTTON, 234, 8, 0, -1, false},
                                {&ART_ITEM_PRINT_MEDIA_GRID, -1, 64, 0, 1, true, "Hub printable|Standard|Custom"},
                                {&ART_ITEM_PRINT_MEDIANAME_BUTTON, -1, 106, 0, -1, false},
                                {&ART_ITEM_PRINT_NUDGE_U, 20 + 103, 160, 0, -1, false},
                                {&ART_ITEM_PRINT_NUDGE_L, 20 + 69, 190, 0, -1, false},
                                {&ART_ITEM_PRINT_NUDGE_0, 20 + 103, 190, 0, -1, false},
                                {&ART_ITEM_PRINT_NUDGE_R, 20 + 137, 190, 0, -1, false},
                                {&ART_ITEM_PRINT_NUDGE_D, 20 + 103, 220, 0, -1, false},
                                {&ART_ITEM_LASERJET_TOGGLE, -1, 262, 0, -1, false}};
    column("Print (disc printer)", pr, 400, {"Outer diameter", "Inner diameter"});
  }
  {
    std::vector<a_placed> gr = {{&ART_ITEM_GRIDLINES_TOGGLE, 100, 8, 1, -1, false},
                                {&ART_ITEM_GRIDLINES_CENTER_BUTTON, 200, 8, 0, -1, false},
                                {&ART_ITEM_CUTLINES_TOGGLE, 70, 56, 0, -1, false},
                                {&ART_ITEM_RULERS_TOGGLE, 150, 56, 1, -1, false},
                                {&ART_ITEM_GRID_CONSTRAIN_TOGGLE, 230, 56, 0, -1, false},
                                {&ART_ITEM_RULERS_UNITS_GRID, -1, 104, 0, 0, true},
                                {&ART_ITEM_PROJ_SORT_GRID, -1, 146, 0, 1, true, "By kind|By brand"},
                                {&ART_ITEM_PAPER_OK_BUTTON, 40, 190, 0, -1, false, "OK"},
                                {&ART_ITEM_PAPER_CANCEL_BUTTON, 190, 190, 0, -1, false, "Cancel"}};
    column("Grid tools; paper chooser", gr, 300, {"Opacity"});
  }
  if (!sheet.Write(dir + "/interface-panels.png", err)) return false;
  written.push_back("interface-panels.png");
  return true;
}

}  // namespace

bool Sheet_Interface(const a_art_context&, const std::string& dir, std::vector<std::string>& written,
                     std::string& err) {
  for (const int16 id : ART_ITEM_PICTURES)
    if (!Picture_Page(id, dir, written, err)) return false;
  return Slider_Page(dir, written, err) && Panels_Page(dir, written, err);
}
