// Gradients (art/gradients.txt): the bands of the gradient bar, each a ramp
// of colour stops sampled into n bands.
//
//   ID "NAME" [bands=N] STOP STOP ...     STOP: #RRGGBB or POS:#RRGGBB (POS 0..100)
//
// Ids run from 1 without gaps. Stops are mixed through OKLab, so a ramp keeps
// an even lightness; with few bands each band is one flat colour (stripes).
#include "ArtGen.h"

#include "host/HostByteOrder.h"

namespace {

struct a_gradient {
  int16_t id;
  int32_t bands;
  a_ramp ramp;
};

std::vector<uint8> Gradient_Bytes(const a_gradient& g) {
  std::vector<uint8> b;
  Append_BE16(b, uint16(g.bands));
  for (int32_t i = 0; i < g.bands; ++i) {
    const a_rgb c = g.ramp.At(g.bands > 1 ? double(i) / double(g.bands - 1) : 0.0);
    b.insert(b.end(), {0, To_Byte(c.r), To_Byte(c.g), To_Byte(c.b)});
  }
  return b;
}

}  // namespace

bool Gradient_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err) {
  std::vector<a_table_row> rows;
  if (!Read_Table(ctx, "gradients.txt", rows, err)) return false;
  std::vector<a_gradient> all;
  for (const a_table_row& r : rows) {
    int64_t id = 0, bands = 0;
    if (r.words.size() < 4 || !Parse_Int_Word(r.words[0], 1, 32000, id)) {
      err = r.Where() + ": ID \"NAME\" and at least two colours expected";
      return false;
    }
    if (id != int64_t(all.size()) + 1) {
      err = r.Where() + ": gradient " + std::to_string(id) + " out of turn: ids run from 1 without gaps";
      return false;
    }
    if (!r.Int("bands", ART_GRADIENT_MIN_BANDS, ART_GRADIENT_MAX_BANDS, 96, bands, err)) return false;
    a_gradient g{int16_t(id), int32_t(bands), {}};
    std::string why;
    if (!Parse_Ramp(r.words, 2, g.ramp, why)) {
      err = r.Where() + ": " + why;
      return false;
    }
    for (const auto& [name, value] : r.options) {
      if (name != "bands") {
        err = r.Where() + ": unknown option " + name;
        return false;
      }
    }
    all.push_back(std::move(g));
  }
  jobs.push_back(a_art_job{"gradients", [all](std::vector<a_art_object>& out, std::string&) {
                             for (const a_gradient& g : all) {
                               a_art_object o;
                               o.key = a_keyset{ART_GRADIENT, 0, g.id, 0};
                               o.data = Gradient_Bytes(g);
                               out.push_back(std::move(o));
                             }
                             return true;
                           }});
  return true;
}
