// Symbols (art/symbols.txt): one-colour marks taken from the glyphs of the
// fonts in art/fonts.txt. Each is stored as 8-bit coverage (0 blank, 255
// full ink) under the grey table whose index 0 is white, run-length packed;
// the program tints it with a palette colour, using the coverage as its mask.
//
//   GROUP I FONT U+XXXX "NAME"
//
// GROUP names a group of the symbol browser (music, media, ...), I is the
// symbol's number in it: the key is (11, group, I, 0), and the browser shows
// the symbols in key order. The glyph is drawn unhinted, scaled so that the
// longer side of its ink is 320 pixels, and cut to the ink with 4 blank
// pixels round it.
//
// Every row is checked before anything is drawn: a group or font that does
// not exist, a code point the font has no glyph for (it would draw a box), a
// glyph without ink, a key or glyph given twice.
#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "ArtGen.h"

namespace {

struct a_symbol {
  a_keyset key{};
  std::string font, name;
  uint32_t code = 0;
};

std::string Code_Name(uint32_t code) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", unsigned(code));
  return buf;
}

// "U+XXXX" (4 to 6 hex digits), a Unicode scalar value.
bool Parse_Code(const std::string& s, uint32_t& code) {
  if (s.size() < 6 || s.size() > 8 || s[0] != 'U' || s[1] != '+') return false;
  uint32_t v = 0;
  for (size_t i = 2; i < s.size(); ++i) {
    if (!std::isxdigit(uint8_t(s[i]))) return false;
    v = v * 16 + uint32_t(std::isdigit(uint8_t(s[i])) ? s[i] - '0' : (std::tolower(uint8_t(s[i])) - 'a' + 10));
  }
  if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return false;
  code = v;
  return true;
}

// The font at a size, with the fixed options of the generator.
struct a_scaled_font {
  a_scaled_font(const std::string& font, double size) {
    cairo_matrix_t fm, id;
    cairo_matrix_init_scale(&fm, size, size);
    cairo_matrix_init_identity(&id);
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
    sf = cairo_scaled_font_create(Font_Face(font), &fm, &id, o);
    cairo_font_options_destroy(o);
  }
  ~a_scaled_font() { cairo_scaled_font_destroy(sf); }
  a_scaled_font(const a_scaled_font&) = delete;
  a_scaled_font& operator=(const a_scaled_font&) = delete;

  // The glyph of a code point; 0 when the font has none.
  unsigned long Glyph(uint32_t code) const {
    FT_Face face = cairo_ft_scaled_font_lock_face(sf);
    const unsigned long g = face != nullptr ? FT_Get_Char_Index(face, code) : 0;
    cairo_ft_scaled_font_unlock_face(sf);
    return g;
  }
  cairo_text_extents_t Extents(unsigned long glyph) const {
    cairo_glyph_t g{glyph, 0, 0};
    cairo_text_extents_t e{};
    cairo_scaled_font_glyph_extents(sf, &g, 1, &e);
    return e;
  }

  cairo_scaled_font_t* sf = nullptr;
};

// The coverage of one glyph drawn at `size` with its outline's box at
// (pad, pad), on an 8-bit surface.
struct a_coverage {
  int32_t w = 0, h = 0;
  std::vector<uint8_t> v;
  uint8_t At(int32_t x, int32_t y) const { return v[size_t(y) * size_t(w) + size_t(x)]; }
};

a_coverage Draw_Glyph(const a_symbol& s, unsigned long glyph, double size) {
  constexpr int32_t kPad = 8;
  const a_scaled_font font(s.font, size);
  const cairo_text_extents_t e = font.Extents(glyph);
  a_coverage c;
  c.w = int32_t(std::ceil(e.width)) + 2 * kPad;
  c.h = int32_t(std::ceil(e.height)) + 2 * kPad;
  cairo_surface_t* surf = cairo_image_surface_create(CAIRO_FORMAT_A8, c.w, c.h);
  cairo_t* cr = cairo_create(surf);
  cairo_set_scaled_font(cr, font.sf);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  const cairo_glyph_t g{glyph, kPad - e.x_bearing, kPad - e.y_bearing};
  cairo_show_glyphs(cr, &g, 1);
  cairo_destroy(cr);
  cairo_surface_flush(surf);
  const uint8_t* data = cairo_image_surface_get_data(surf);
  const size_t stride = size_t(cairo_image_surface_get_stride(surf));
  c.v.resize(size_t(c.w) * size_t(c.h));
  for (int32_t y = 0; y < c.h; ++y) std::copy_n(data + size_t(y) * stride, size_t(c.w), &c.v[size_t(y) * size_t(c.w)]);
  cairo_surface_destroy(surf);
  return c;
}

// The box of the pixels with any coverage: left, top, right, bottom
// (exclusive); empty when there is no ink.
std::array<int32_t, 4> Ink_Box(const a_coverage& c) {
  std::array<int32_t, 4> b{c.w, c.h, 0, 0};
  for (int32_t y = 0; y < c.h; ++y)
    for (int32_t x = 0; x < c.w; ++x)
      if (c.At(x, y) != 0) {
        b[0] = std::min(b[0], x);
        b[1] = std::min(b[1], y);
        b[2] = std::max(b[2], x + 1);
        b[3] = std::max(b[3], y + 1);
      }
  return b;
}

bool Draw_Symbol(const a_symbol& s, std::vector<a_art_object>& out, std::string& err) {
  constexpr double kProbe = 100;
  const a_scaled_font probe(s.font, kProbe);
  const unsigned long glyph = probe.Glyph(s.code);
  const cairo_text_extents_t e = probe.Extents(glyph);
  // The outline's box can be a little larger than its ink (curves lie inside
  // their control points), so the size is set from the box, then once more
  // from the ink drawn.
  double size = kProbe * ART_SYMBOL_INK / std::max(e.width, e.height);
  a_coverage c;
  std::array<int32_t, 4> box{};
  for (int pass = 0; pass < 2; ++pass) {
    c = Draw_Glyph(s, glyph, size);
    box = Ink_Box(c);
    const int32_t ink = std::max(box[2] - box[0], box[3] - box[1]);
    if (ink <= 0) {
      err = Key_Name(s.key) + " " + Code_Name(s.code) + " of " + s.font + " drew no ink";
      return false;
    }
    if (ink == ART_SYMBOL_INK) break;
    size *= double(ART_SYMBOL_INK) / ink;
  }
  a_art_image8 img;
  img.width = box[2] - box[0] + 2 * ART_SYMBOL_MARGIN;
  img.height = box[3] - box[1] + 2 * ART_SYMBOL_MARGIN;
  img.index.assign(size_t(img.width) * size_t(img.height), 0);
  for (int32_t y = box[1]; y < box[3]; ++y)
    for (int32_t x = box[0]; x < box[2]; ++x)
      img.index[size_t(y - box[1] + ART_SYMBOL_MARGIN) * size_t(img.width) + size_t(x - box[0] + ART_SYMBOL_MARGIN)] =
          c.At(x, y);
  a_art_object o;
  o.key = s.key;
  if (!Pixt_Encode8(img, ART_SYMBOL_FLAGS, true, o.data, err)) return false;
  out.push_back(std::move(o));
  return true;
}

bool Parse_Symbol(const a_table_row& r, const std::set<std::string>& fonts, a_symbol& s, std::string& err) {
  if (r.words.size() != 5 || !r.options.empty()) {
    err = r.Where() + ": GROUP I FONT U+XXXX \"NAME\" expected";
    return false;
  }
  const a_art_symbol_group* group = nullptr;
  for (const a_art_symbol_group& g : ART_SYMBOL_GROUPS)
    if (r.words[0] == g.name) group = &g;
  if (group == nullptr) {
    err = r.Where() + ": no symbol group " + r.words[0];
    return false;
  }
  int64_t i = 0;
  if (!Parse_Int_Word(r.words[1], 1, 9999, i)) {
    err = r.Where() + ": the symbol's number must be a whole number from 1 to 9999";
    return false;
  }
  s.key = a_keyset{ART_SYMBOL, group->group, int16_t(i), 0};
  s.font = r.words[2];
  if (fonts.count(s.font) == 0) {
    err = r.Where() + ": no font " + s.font + " in art/fonts.txt";
    return false;
  }
  if (!Parse_Code(r.words[3], s.code)) {
    err = r.Where() + ": " + r.words[3] + " is not a code point (U+XXXX expected)";
    return false;
  }
  s.name = r.words[4];
  if (s.name.empty()) {
    err = r.Where() + ": the symbol has no name";
    return false;
  }
  return true;
}

}  // namespace

bool Symbol_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err) {
  std::vector<a_table_row> font_rows, rows;
  if (!Read_Table(ctx, "fonts.txt", font_rows, err) || !Read_Table(ctx, "symbols.txt", rows, err)) return false;
  std::set<std::string> fonts;
  for (const a_table_row& r : font_rows)
    if (!r.words.empty()) fonts.insert(r.words[0]);

  std::vector<a_symbol> all;
  std::map<std::pair<int16_t, int16_t>, int32_t> keys;                // key -> line
  std::map<std::pair<std::string, uint32_t>, a_keyset> glyphs;         // glyph -> key
  std::map<std::string, std::unique_ptr<a_scaled_font>> probes;
  for (const a_table_row& r : rows) {
    a_symbol s;
    if (!Parse_Symbol(r, fonts, s, err)) return false;
    if (const auto [it, fresh] = keys.emplace(std::make_pair(s.key.b, s.key.c), r.line); !fresh) {
      err = r.Where() + ": the key " + Key_Name(s.key) + " is taken (line " + std::to_string(it->second) + ")";
      return false;
    }
    if (const auto [it, fresh] = glyphs.emplace(std::make_pair(s.font, s.code), s.key); !fresh) {
      err = r.Where() + ": " + Code_Name(s.code) + " of " + s.font + " is already the symbol " + Key_Name(it->second);
      return false;
    }
    std::unique_ptr<a_scaled_font>& probe = probes[s.font];
    if (!probe) probe = std::make_unique<a_scaled_font>(s.font, 100);
    const unsigned long glyph = probe->Glyph(s.code);
    if (glyph == 0) {
      err = r.Where() + ": the font " + s.font + " has no glyph for " + Code_Name(s.code);
      return false;
    }
    const cairo_text_extents_t e = probe->Extents(glyph);
    if (!(e.width > 0 && e.height > 0)) {
      err = r.Where() + ": " + Code_Name(s.code) + " of " + s.font + " has no ink";
      return false;
    }
    all.push_back(std::move(s));
  }
  // A few symbols a job: enough to keep every core busy.
  constexpr size_t kPerJob = 8;
  for (size_t first = 0; first < all.size(); first += kPerJob) {
    const std::vector<a_symbol> part(all.begin() + ptrdiff_t(first),
                                     all.begin() + ptrdiff_t(std::min(all.size(), first + kPerJob)));
    jobs.push_back(a_art_job{"symbols from " + Key_Name(part.front().key),
                             [part](std::vector<a_art_object>& out, std::string& e) {
                               for (const a_symbol& s : part)
                                 if (!Draw_Symbol(s, out, e)) return false;
                               return true;
                             }});
  }
  return true;
}
