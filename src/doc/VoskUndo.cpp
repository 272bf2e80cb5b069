#include "doc/VoskUndo.h"

#include "pixel/SysBlt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysWin.h"

a_doc_layer g_undo_layer;
a_static_layer g_undo_layerx = TOTAL_LAYER;

namespace {

const a_doc_unit* g_undo_unit = nullptr;

// The layer of the copy's unit that the copy goes back onto, NIL when gone.
a_cached_gworld* Target_Layer() {
  if (!g_undo_layer.inuse || g_undo_unit == nullptr) return nullptr;
  return &const_cast<a_doc_unit*>(g_undo_unit)->statics[g_undo_layerx];
}

// r clipped to both worlds' bounds; FALSE when nothing is left.
bool Clip_To_Both(const Rect& r, GWorldPtr a, GWorldPtr b, Rect& net) {
  if (a == nullptr || b == nullptr) return false;
  return SectRect(r, a->pix.bounds, net) && SectRect(net, b->pix.bounds, net);
}

}  // namespace

bool8 Undo_SaveLayer(a_static_layer layerx) {
  const a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || unit->clonef || layerx >= NSTATIC_LAYERS) {
    Undo_Dispose();
    return false;
  }
  const a_cached_gworld& layer = unit->statics[layerx];
  g_undo_layerx = layerx;
  g_undo_unit = unit;
  g_undo_layer.inuse = true;
  Copy_GWorld(layer.world, g_undo_layer.world);
  Copy_GWorld(layer.mask, g_undo_layer.mask);
  return true;
}

void Undo_RestoreRect(const Rect& bounds) {
  a_cached_gworld* layer = Target_Layer();
  if (layer == nullptr) return;
  // Plain copies: black on white.
  ForeColor(1);
  BackColor(0);
  Rect net;
  if (Clip_To_Both(bounds, g_undo_layer.world, layer->world, net))
    Port_To_Port(g_undo_layer.world, layer->world, net, net, srcCopy, nullptr);
  if (Clip_To_Both(bounds, g_undo_layer.mask, layer->mask, net))
    Port_To_Port(g_undo_layer.mask, layer->mask, net, net, srcCopy, nullptr);
}

void Undo_PaintNotMask(const PixMap& mask, const Rect& bounds) {
  a_cached_gworld* layer = Target_Layer();
  if (layer == nullptr || bounds.right <= bounds.left || bounds.bottom <= bounds.top) return;
  // The inverse of mask over bounds: set where mask is clear or absent.
  PixMap inverse;
  New_PixMap(inverse, bounds, 1, nullptr);
  if (inverse.baseAddr == nullptr) return;
  const uint32 irow = PixMap_RowBytes(inverse);
  const uint32 mrow = mask.baseAddr != nullptr ? PixMap_RowBytes(mask) : 0;
  const bool one_bit = mask.baseAddr != nullptr && mask.pixelSize == 1;
  for (int32 y = bounds.top; y < bounds.bottom; ++y) {
    uint8* out = reinterpret_cast<uint8*>(inverse.baseAddr) + size_t(y - bounds.top) * irow;
    for (int32 x = bounds.left; x < bounds.right; ++x) {
      bool set = false;
      if (one_bit && y >= mask.bounds.top && y < mask.bounds.bottom && x >= mask.bounds.left &&
          x < mask.bounds.right) {
        const int32 mx = x - mask.bounds.left;
        const uint8 byte = uint8(mask.baseAddr[size_t(y - mask.bounds.top) * mrow + size_t(mx >> 3)]);
        set = (byte & (0x80u >> (mx & 7))) != 0;
      }
      if (!set) {
        const int32 ix = x - bounds.left;
        out[ix >> 3] = uint8(out[ix >> 3] | (0x80u >> (ix & 7)));
      }
    }
  }
  // Plain copies: black on white.
  ForeColor(1);
  BackColor(0);
  Rect net;
  if (Clip_To_Both(bounds, g_undo_layer.world, layer->world, net))
    Port_To_PortM(g_undo_layer.world, &inverse, layer->world, net, net, net, nullptr);
  if (Clip_To_Both(bounds, g_undo_layer.mask, layer->mask, net))
    Port_To_PortM(g_undo_layer.mask, &inverse, layer->mask, net, net, net, nullptr);
  Dispose_PixMap(inverse);
}

void Undo_Dispose() {
  Dispose_GWorld(g_undo_layer.world);
  Dispose_GWorld(g_undo_layer.mask);
  g_undo_layer.inuse = false;
  g_undo_unit = nullptr;
}

void Undo_Forget_Unit(const a_doc_unit* unit) {
  if (unit != nullptr && unit == g_undo_unit) Undo_Dispose();
}

const a_doc_unit* Undo_Unit() { return g_undo_unit; }

void VoskUndo_Init() {
  g_undo_layer.inuse = false;
  g_undo_unit = nullptr;
}
