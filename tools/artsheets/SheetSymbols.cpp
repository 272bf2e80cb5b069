// The symbols' sheets: one page a group, every symbol tinted three ways as
// the program tints it (its symbol step, on the picture the program's reader
// loads), labelled with its key and its name.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "Sheets.h"
#include "pixel/Draw.h"
#include "pixel/OPUtil.h"
#include "pixel/SysPixt.h"

namespace {

constexpr int32_t kTile = 92;   // one tinted copy, on its background
constexpr int32_t kInset = 6;   // the symbol fits inside the tile less this

struct a_tint {
  const char* ink;
  const char* ground;
};
// Dark on white, a warm colour on cream, and white on a dark ground (which
// shows the antialiased edges best).
constexpr a_tint kTints[] = {{"#1d3a8a", "#ffffff"}, {"#c0264b", "#fbf1df"}, {"#ffffff", "#2b2d36"}};

// The names of the symbols, from art/symbols.txt (the library itself keeps
// none); none when the table cannot be read.
std::map<std::pair<int16_t, int16_t>, std::string> Symbol_Names(const a_art_context& ctx) {
  std::map<std::pair<int16_t, int16_t>, std::string> names;
  std::string err;
  std::vector<a_table_row> rows;
  if (!Read_Table(ctx, "symbols.txt", rows, err)) return names;
  for (const a_table_row& r : rows) {
    if (r.words.size() != 5) continue;
    int64_t i = 0;
    for (const a_art_symbol_group& g : ART_SYMBOL_GROUPS)
      if (r.words[0] == g.name && Parse_Int_Word(r.words[1], 1, 32000, i)) names[{g.group, int16_t(i)}] = r.words[4];
  }
  return names;
}

// The coverage of a symbol as the program loads it, made smaller (area
// average) to fit a tile, in an 8-bit world under the picture's own table.
bool Fitted_Symbol(const a_keyset& key, a_masked_gworld& symbol, std::string& why) {
  Null_MW(symbol);
  a_pixt pixt{};
  if (KPixt_Load_Checked(key, pixt) != PIXT_OK) {
    Pixt_Unload(pixt);
    why = "does not load";
    return false;
  }
  GWorldPtr big = nullptr;
  Pixt_To_GWorld(pixt, big);
  if (big == nullptr || Get_GWorld_PixMap(big)->pixelSize != 8) {
    Dispose_GWorld(big);
    why = "not 8 bits deep";
    return false;
  }
  const PixMap& b = *Get_GWorld_PixMap(big);
  a_art_image cov;
  cov.width = int32_t(b.bounds.right) - b.bounds.left;
  cov.height = int32_t(b.bounds.bottom) - b.bounds.top;
  cov.rgba.assign(size_t(cov.width) * size_t(cov.height) * 4, 0);
  for (int32_t y = 0; y < cov.height; ++y)
    for (int32_t x = 0; x < cov.width; ++x)
      cov.rgba[(size_t(y) * size_t(cov.width) + size_t(x)) * 4 + 3] =
          uint8_t(b.baseAddr[size_t(y) * PixMap_RowBytes(b) + size_t(x)]);
  const double scale = double(kTile - 2 * kInset) / std::max(cov.width, cov.height);
  const int32_t w = std::max<int32_t>(1, int32_t(std::lround(cov.width * scale)));
  const int32_t h = std::max<int32_t>(1, int32_t(std::lround(cov.height * scale)));
  const a_art_image small = Resample(cov, w, h);
  symbol.bounds = Rect{0, 0, int16(h), int16(w)};
  New_GWorldF("symbol sheet", symbol.bounds, 8, b.pmTable, symbol.fore);
  Dispose_GWorld(big);
  if (symbol.fore == nullptr) {
    why = "no memory";
    return false;
  }
  const PixMap& s = *Get_GWorld_PixMap(symbol.fore);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      s.baseAddr[size_t(y) * PixMap_RowBytes(s) + size_t(x)] = char(small.rgba[(size_t(y) * size_t(w) + size_t(x)) * 4 + 3]);
  return true;
}

// The symbol tinted by the program's symbol step: a picture of the colour
// whose mask is the symbol's coverage, given back as straight RGBA (the mask
// as alpha).
bool Tinted(const a_masked_gworld& symbol, const a_rgb& ink, a_art_image& img, std::string& why) {
  a_pixel32 colour{};
  colour.r = To_Byte(ink.r);
  colour.g = To_Byte(ink.g);
  colour.b = To_Byte(ink.b);
  colour.a = 255;
  a_masked_gworld out;
  Colorize_Symbol(colour, symbol, out);
  if (out.fore == nullptr || out.mask == nullptr) {
    Dispose_MW(out);
    why = "not tinted";
    return false;
  }
  const PixMap& f = *Get_GWorld_PixMap(out.fore);
  const PixMap& m = *Get_GWorld_PixMap(out.mask);
  img.width = int32_t(f.bounds.right) - f.bounds.left;
  img.height = int32_t(f.bounds.bottom) - f.bounds.top;
  img.rgba.resize(size_t(img.width) * size_t(img.height) * 4);
  for (int32_t y = 0; y < img.height; ++y) {
    const uint8_t* fr = reinterpret_cast<const uint8_t*>(f.baseAddr) + size_t(y) * PixMap_RowBytes(f);
    const uint8_t* mr = reinterpret_cast<const uint8_t*>(m.baseAddr) + size_t(y) * PixMap_RowBytes(m);
    for (int32_t x = 0; x < img.width; ++x) {
      uint8_t* q = &img.rgba[(size_t(y) * size_t(img.width) + size_t(x)) * 4];
      q[0] = fr[x * 4 + 2];
      q[1] = fr[x * 4 + 1];
      q[2] = fr[x * 4];
      q[3] = mr[x];
    }
  }
  Dispose_MW(out);
  return true;
}

}  // namespace

bool Sheet_Symbols(const a_art_context& ctx, const std::string& dir, std::vector<std::string>& written,
                   std::string& err) {
  const auto names = Symbol_Names(ctx);
  for (const a_art_symbol_group& g : ART_SYMBOL_GROUPS) {
    const std::vector<a_keyset> keys = Reader_Keys(a_keyset{ART_SYMBOL, g.group, 0, 0}, 2);
    a_sheet sheet("Symbols: " + std::string(g.name) + " (" + std::to_string(keys.size()) +
                      "), tinted as the program tints them; key and name below",
                  1320);
    const int32_t cell_w = int32_t(std::size(kTints)) * kTile + (int32_t(std::size(kTints)) - 1) * 4;
    for (const a_keyset& k : keys) {
      double x = 0, y = 0;
      sheet.Next(cell_w, kTile, x, y);
      const std::vector<uint8_t> stored = Reader_Bytes(k);  // flags at 6, depth at 7
      std::string note;
      if (stored.size() < 8 || stored[7] != 8 || (stored[6] & ART_SYMBOL_FLAGS) == 0) note = "  NOT 8-BIT COVERAGE";
      a_masked_gworld symbol;
      std::string why;
      if (!Fitted_Symbol(k, symbol, why)) note = "  " + why;
      for (size_t t = 0; t < std::size(kTints); ++t) {
        const double tx = x + double(t) * (kTile + 4);
        cairo_t* cr = sheet.Cr();
        Set_Rgb(cr, Hex(kTints[t].ground));
        cairo_rectangle(cr, tx, y, kTile, kTile);
        cairo_fill(cr);
        a_art_image img;
        if (symbol.fore == nullptr) continue;
        if (!Tinted(symbol, Hex(kTints[t].ink), img, why)) {
          note = "  " + why;
          continue;
        }
        sheet.Image(img, tx + (kTile - img.width) / 2, y + (kTile - img.height) / 2);
      }
      Dispose_MW(symbol);
      const auto name = names.find({k.b, k.c});
      sheet.Label(x, y + kTile, std::to_string(k.a) + " " + std::to_string(k.b) + " " + std::to_string(k.c) + " " +
                                    std::to_string(k.d) + "  " + (name != names.end() ? name->second : "") + note);
    }
    const std::string file = "symbols-" + std::to_string(g.group) + "-" + g.name + ".png";
    if (!sheet.Write(dir + "/" + file, err)) return false;
    written.push_back(file);
  }
  return true;
}
