// Stored pictures drawn whole, in part, into pixel maps, as tiled fills and
// into worlds of their own.
#include "pixel/Asm32.h"
#include "pixel/Draw.h"
#include "pixel/Fast.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixXform.h"
#include "platform/SysErr.h"

// Every drawing call locks the pixture only for itself.
namespace {
struct Pixt_Locked {
  a_pixt& p;
  explicit Pixt_Locked(a_pixt& pixt) : p(pixt) { Pixt_Lock(p); }
  ~Pixt_Locked() { Pixt_Unlock(p); }
  bool Ready() const { return !Is_Null_PixMap(p.pixmap); }
  // A source part outside the picture (sizes come from library files) is
  // not read.
  bool Holds(const Rect& r) const { return Ready() && RectContainsRect(p.pixmap.bounds, r); }
};
}  // namespace

void Pixt_DrawPartial(a_pixt& pixt, const Rect& sourcerect, const Rect& destrect, int16 mode,
                      RgnHandle cliprgn) {
  Pixt_Locked lock(pixt);
  if (!lock.Holds(sourcerect)) return;
  ForeColor(1);
  BackColor(0);
  Pix_To_Port(&pixt.pixmap, nullptr, sourcerect, destrect, mode, cliprgn);
}

void Pixt_DrawPartialT(a_pixt& pixt, const Rect& src, const Rect& dst, int16 mode, int16 /*forex*/,
                       uint16 /*opacity*/) {
  Pixt_DrawPartial(pixt, src, dst, mode, nullptr);
}

void Pixt_Draw(a_pixt& pixt, int16 cornerx, int16 cornery) {
  Pixt_Locked lock(pixt);
  if (!lock.Ready()) return;
  const Rect b = pixt.pixmap.bounds;
  const Rect dst{cornery, cornerx, int16(cornery + (b.bottom - b.top)), int16(cornerx + (b.right - b.left))};
  ForeColor(1);
  BackColor(0);
  Pix_To_Port(&pixt.pixmap, nullptr, b, dst, pixt.mode, nullptr);
}

void Pixt_To_Pix(a_pixt& pixt, PixMapPtr destmap, const Rect& sourcerect, const Rect& destrect, bool8 mode) {
  if (!destmap) return;
  Pixt_Locked lock(pixt);
  if (!lock.Holds(sourcerect)) return;
  ForeColor(1);
  BackColor(0);
  Pix_To_Pix(&pixt.pixmap, destmap, sourcerect, destrect, mode ? transparent : srcCopy, nullptr);
}

void Pixt_FillRgn(RgnHandle rgn, a_pixt& pixt, const Rect& subset, int16 style, int16 spacex, int16 spacey) {
  Pixt_Locked lock(pixt);
  if (!lock.Ready()) return;
  PixMap_FillRgn(rgn, &pixt.pixmap, subset, style, spacex, spacey, true);
}

void Pixt_To_GWorld(a_pixt& pixt, GWorldPtr& w) {
  w = nullptr;
  {
    Pixt_Locked lock(pixt);
    if (lock.Ready()) {
      const Rect b = pixt.pixmap.bounds;
      New_GWorldF("Cache_Get/kpixt", b, pixt.pixmap.pixelSize, pixt.pixmap.pmTable, w);
      if (w) Pix_To_Pix(&pixt.pixmap, &w->pix, b, b, srcCopy, nullptr);
    }
  }
  Pixt_Unload(pixt);
}

void Pixt_BoundingBox(a_pixt& pixt, const Rect& search, Rect& bounding) {
  bounding = Rect{0, 0, 0, 0};
  Pixt_Locked lock(pixt);
  switch (pixt.pixmap.pixelSize) {
    case 8:
      if (lock.Ready()) Asm32_PixMap8_Bounding(&pixt.pixmap, &search, &bounding);
      break;
    case 16:
      if (lock.Ready()) PixMap16_Bounding(&pixt.pixmap, search, bounding);
      break;
    default:
      QUIT();
  }
}
