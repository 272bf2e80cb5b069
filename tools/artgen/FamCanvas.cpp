// Canvases (art/canvases.txt): every design drawn at the size of each canvas
// set, stored as a JPEG (or, for palette designs, as 8-bit pixels with their
// palette object beside them), with a thumbnail for the canvas bar; and the
// white canvas that opens every set, a thumbnail alone.
#include <algorithm>
#include <cmath>
#include <set>

#include "Canvas.h"

namespace {

static_assert(ART_CANVAS_SHARED_SETS <= ART_CANVAS_SETS);
constexpr bool No_Reserved_Width() {
  for (const a_art_canvas_set& s : ART_CANVAS_SET_INFO)
    if (s.width == ART_CANVAS_RESERVED_WIDTH) return false;
  return true;
}
static_assert(No_Reserved_Width(), "no canvas may be as wide as the width kept for pictures sampled whole");

// Full pictures: photographic content, halved chroma is invisible at print
// size. Thumbnails are tiny, so their colour keeps full resolution.
constexpr a_art_jpeg kFullJpeg{86, false};
constexpr a_art_jpeg kThumbJpeg{90, true};

a_canvas_frame Frame_Of(int16_t set) {
  const a_art_canvas_set& info = ART_CANVAS_SET_INFO[set];
  a_canvas_frame f;
  f.w = info.width;
  f.h = info.height;
  f.set = set;
  f.u = std::min(f.w, f.h) / 640.0;
  f.cx = f.w / 2.0;
  f.cy = f.h / 2.0;
  return f;
}

void Thumb_Size(int32_t w, int32_t h, int32_t& tw, int32_t& th) {
  const double k = double(ART_CANVAS_THUMB_MAX) / double(std::max(w, h));
  tw = std::max<int32_t>(1, int32_t(std::lround(w * k)));
  th = std::max<int32_t>(1, int32_t(std::lround(h * k)));
}

// A thin frame, so that the white canvas and light designs stand out from
// the bar's background.
void Frame_Thumb(a_art_image& t) {
  for (int32_t y = 0; y < t.height; ++y) {
    for (int32_t x = 0; x < t.width; ++x) {
      if (x != 0 && y != 0 && x != t.width - 1 && y != t.height - 1) continue;
      uint8_t* p = &t.rgba[(size_t(y) * size_t(t.width) + size_t(x)) * 4];
      p[0] = p[1] = p[2] = 150;
      p[3] = 255;
    }
  }
}

bool Add_Thumb(const a_art_image& full, const a_keyset& key, std::vector<a_art_object>& out, std::string& err) {
  int32_t tw = 0, th = 0;
  Thumb_Size(full.width, full.height, tw, th);
  a_art_image t = Resample(full, tw, th);
  Frame_Thumb(t);
  a_art_object o;
  o.key = a_keyset{ART_CANVAS_THUMB, key.b, key.c, key.d};
  if (!Pixt_Encode32_JPEG(t, kThumbJpeg, 0, o.data, err)) return false;
  out.push_back(std::move(o));
  return true;
}

// The palette object: 256 (red, green, blue) triplets. The program's
// palette reader puts triplet 0 at index 255 and triplet 255 at index 0 (the
// ends of a system palette), so they are stored exchanged here and index i
// shows palette[i].
std::vector<uint8> Palette_Bytes(const std::array<a_rgb, 256>& pal) {
  std::vector<uint8> b(ART_PALETTE_BYTES);
  for (int t = 0; t < 256; ++t) {
    const int i = t == 0 ? 255 : t == 255 ? 0 : t;
    b[size_t(t) * 3] = To_Byte(pal[size_t(i)].r);
    b[size_t(t) * 3 + 1] = To_Byte(pal[size_t(i)].g);
    b[size_t(t) * 3 + 2] = To_Byte(pal[size_t(i)].b);
  }
  return b;
}

bool Draw_Design(const a_canvas_design& d, const a_canvas_style& style, int16_t set, std::vector<a_art_object>& out,
                 std::string& err) {
  const a_canvas_frame f = Frame_Of(set);
  const a_keyset key{ART_CANVAS, set, d.key.c, d.key.d};
  a_art_object full;
  full.key = key;
  a_art_image img;
  if (style.draw8 != nullptr) {
    a_art_image8 idx;
    std::array<a_rgb, 256> pal{};
    style.draw8(f, d, idx, pal);
    if (idx.width != f.w || idx.height != f.h) {
      err = "style " + d.style + " drew the wrong size";
      return false;
    }
    if (!Pixt_Encode8(idx, 0, true, full.data, err)) return false;
    a_art_object p;
    p.key = a_keyset{ART_PALETTE, set, d.key.c, d.key.d};
    p.data = Palette_Bytes(pal);
    out.push_back(std::move(p));
    img = Image_From_Indexes(idx, pal);
  } else {
    a_surface s(f.w, f.h);
    style.draw32(s, f, d);
    img = s.Image();
    // Canvases are opaque.
    for (size_t i = 3; i < img.rgba.size(); i += 4) img.rgba[i] = 255;
    if (!Pixt_Encode32_JPEG(img, kFullJpeg, 0, full.data, err)) return false;
  }
  out.push_back(std::move(full));
  return Add_Thumb(img, key, out, err);
}

bool White_Thumbs(std::vector<a_art_object>& out, std::string& err) {
  for (int16_t set = 0; set < ART_CANVAS_SETS; ++set) {
    const a_art_canvas_set& info = ART_CANVAS_SET_INFO[set];
    int32_t tw = 0, th = 0;
    Thumb_Size(info.width, info.height, tw, th);
    a_art_image t;
    t.width = tw;
    t.height = th;
    t.rgba.assign(size_t(tw) * size_t(th) * 4, 255);
    Frame_Thumb(t);
    a_art_object o;
    o.key = a_keyset{ART_CANVAS_THUMB, set, ART_CANVAS_WHITE_C, ART_CANVAS_WHITE_D};
    // Flat: run-length packing keeps it exactly white, and small.
    if (!Pixt_Encode32_RLE(t, 0, o.data, err)) return false;
    out.push_back(std::move(o));
  }
  return true;
}

bool Parse_Design(const a_table_row& r, a_canvas_design& d, const a_canvas_style*& style, std::string& err) {
  int64_t c = 0, dd = 0;
  if (r.words.size() != 5 || !Parse_Int_Word(r.words[1], ART_CANVAS_FIRST_C, 32000 - 1, c) ||
      !Parse_Int_Word(r.words[2], 1, 32000 - 1, dd)) {
    err = r.Where() + ": " + (r.words.empty() ? std::string("design") : r.words[0]) +
          " C D STYLE \"NAME\" expected, C from " + std::to_string(ART_CANVAS_FIRST_C) + ", D from 1";
    return false;
  }
  d.key = a_keyset{0, 0, int16_t(c), int16_t(dd)};
  d.style = r.words[3];
  d.name = r.words[4];
  style = Find_Canvas_Style(d.style);
  if (style == nullptr) {
    err = r.Where() + ": no canvas style " + d.style;
    return false;
  }
  int64_t seed = 0;
  if (!r.Int("seed", 0, INT32_MAX, int64_t(c) * 1000 + dd, seed, err)) return false;
  d.seed = Seed_Of("canvas:" + d.style, seed);
  if (!r.Real("amount", 0, 10, 1, d.amount, err)) return false;
  const std::string cols = r.Text("colors", "");
  if (!cols.empty()) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start <= cols.size()) {
      const size_t comma = cols.find(',', start);
      words.push_back(cols.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
    std::string why;
    if (!Parse_Ramp(words, 0, d.colours, why)) {
      err = r.Where() + ": colors: " + why;
      return false;
    }
  }
  for (const auto& [name, value] : r.options) {
    if (name != "seed" && name != "amount" && name != "colors") {
      err = r.Where() + ": unknown option " + name;
      return false;
    }
  }
  return true;
}

}  // namespace

a_ramp Colours_Or(const a_canvas_design& d, std::initializer_list<const char*> def) {
  if (!d.colours.stops.empty()) return d.colours;
  a_ramp r;
  const size_t n = def.size();
  size_t i = 0;
  for (const char* c : def) r.stops.emplace_back(n > 1 ? double(i++) / double(n - 1) : 0.0, Hex(c));
  return r;
}

bool Canvas_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err) {
  std::vector<a_table_row> rows;
  if (!Read_Table(ctx, "canvases.txt", rows, err)) return false;
  std::set<std::pair<int16_t, int16_t>> shared, spines;
  for (const a_table_row& r : rows) {
    a_canvas_design d;
    const a_canvas_style* style = nullptr;
    const bool spine = !r.words.empty() && r.words[0] == "spine";
    if (r.words.empty() || (r.words[0] != "design" && !spine)) {
      err = r.Where() + ": design or spine expected";
      return false;
    }
    if (!Parse_Design(r, d, style, err)) return false;
    auto& keys = spine ? spines : shared;
    if (!keys.emplace(d.key.c, d.key.d).second) {
      err = r.Where() + ": the key " + std::to_string(d.key.c) + " " + std::to_string(d.key.d) + " is taken";
      return false;
    }
    const int16_t first = spine ? ART_CANVAS_SET_SPINE : 0;
    const int16_t last = spine ? ART_CANVAS_SET_SPINE : ART_CANVAS_SHARED_SETS - 1;
    for (int16_t set = first; set <= last; ++set) {
      jobs.push_back(a_art_job{"canvas " + d.name + " " + Key_Name(a_keyset{ART_CANVAS, set, d.key.c, d.key.d}),
                               [d, style, set](std::vector<a_art_object>& out, std::string& e) {
                                 return Draw_Design(d, *style, set, out, e);
                               }});
    }
  }
  jobs.push_back(a_art_job{"white canvases", White_Thumbs});
  return true;
}
