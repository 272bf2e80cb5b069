#include "doc/VoskPrin.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "doc/VoskDoc.h"
#include "platform/PixMaps.h"
#include "doc/VoskTmpl.h"
#include "platform/VoskDef.h"

a_override_spec overrides;

namespace {
bool8 g_laserjet_toggle = false;
}  // namespace

bool8 Is_Direct_Print() { return (g_doc.doc_template.tflags & (uint32(1) << IS_CDPRINTER)) != 0; }

bool8 Is_Small_Paper() {
  return Calc_Direct_Print_Kind() == NOT_DIRECT && g_doc.doc_template.papersize.x < 210.0f;
}

bool8 LaserJet_Toggle() { return g_laserjet_toggle; }
void Set_LaserJet_Toggle(bool8 on) { g_laserjet_toggle = on; }

void Load_Print_Adjust() {}

void Calc_Circular_Mask(uint8 outer_translucency, int16 inner_feather, int16 outer_feather, const a_unit& spec,
                        GWorldPtr mask) {
  if (mask == nullptr || mask->pix.pixelSize != 8 || mask->pix.baseAddr == nullptr) return;
  const PixMap& pix = mask->pix;
  const int32 w = int32(pix.bounds.right) - pix.bounds.left, h = int32(pix.bounds.bottom) - pix.bounds.top;
  if (w <= 0 || h <= 0) return;
  const uint32 stride = PixMap_RowBytes(pix);
  uint8* const base = reinterpret_cast<uint8*>(pix.baseAddr);
  const uint8 outside = outer_translucency;

  const double boxw = double(spec.bbox.right) - spec.bbox.left;
  const double total = boxw + std::max(0.0f, spec.bleed.left) + std::max(0.0f, spec.bleed.right);
  if (!(boxw > 0) || !(total > 0) || !std::isfinite(total)) {
    for (int32 y = 0; y < h; ++y) std::memset(base + size_t(y) * stride, outside, size_t(w));
    return;
  }
  // Diameters in mask pixels; the radii of the ramps' far ends.
  const double disc = std::round(w * boxw / total);
  const double hole = std::max(0.0, std::round(w * double(spec.meas[0]) / total));
  const double big_r = std::floor(disc / 2), small_r = std::floor(hole / 2);
  const double r_in = std::max(0.0, big_r - std::max<int16>(outer_feather, 0) * double(w) / 100.0);
  const double r_out = small_r + std::max<int16>(inner_feather, 0) * double(w) / 100.0;
  const double big_r2 = big_r * big_r, small_r2 = small_r * small_r;
  const double r_in2 = r_in * r_in, r_out2 = r_out * r_out;
  const double cx = w / 2.0, cy = h / 2.0;

  const auto level = [&](double q) -> uint8 {
    if (q > big_r2 || q < small_r2) return outside;
    if (q > r_out2) {
      // The rim: from nothing at r_in up to the outside's level at the edge.
      if (q < r_in2 || big_r <= r_in) return 0;
      return uint8(std::lround(outside * std::min(1.0, (std::sqrt(q) - r_in) / (big_r - r_in))));
    }
    // The hole's edge: from the outside's level at the hole down to nothing at r_out.
    if (r_out <= small_r) return 0;
    return uint8(std::lround(outside * std::max(0.0, 1.0 - (std::sqrt(q) - small_r) / (r_out - small_r))));
  };
  for (int32 y = 0; y < (h + 1) / 2; ++y) {
    uint8* const top = base + size_t(y) * stride;
    uint8* const bottom = base + size_t(h - 1 - y) * stride;
    const double dy = y + 0.5 - cy;
    for (int32 x = 0; x < (w + 1) / 2; ++x) {
      const double dx = x + 0.5 - cx;
      const uint8 v = level(dx * dx + dy * dy);
      top[x] = top[w - 1 - x] = bottom[x] = bottom[w - 1 - x] = v;
    }
  }
}

void VoskPrin_Init() {
  std::memset(static_cast<void*>(&overrides), 0, sizeof overrides);
  g_laserjet_toggle = false;
}

void Delta_Print_Adjust() {}

void Final_Print_Adjust() {}

void Get_Template_Name(UStrSpan name) {
  if (name.empty()) return;
  name[0] = 0;
  if (g_doc.doc_open) Filter_Template_Name(g_doc.doc_template.label, name);
}
