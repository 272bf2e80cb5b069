#include "pixel/DrawUtilMasked.h"

#include "pixel/Fast.h"
#include "platform/Quickdraw.h"
#include "platform/SysVideo.h"

void Null_MW(a_masked_gworld& mw) {
  mw.bounds = Rect{0, 0, 0, 0};
  mw.fore = nullptr;
  mw.mask = nullptr;
}

void New_MW(const char* label, const Rect& bounds, a_masked_gworld& mw) {
  mw.bounds = bounds;
  mw.fore = nullptr;
  mw.mask = nullptr;
  New_GWorldF(label, bounds, 32, nullptr, mw.fore);
  New_GWorldF(label, bounds, 8, gray_ctable, mw.mask);
}

void Dispose_MW(a_masked_gworld& mw) {
  mw.bounds = Rect{0, 0, 0, 0};
  Dispose_GWorld(mw.fore);
  Dispose_GWorld(mw.mask);
}

bool8 Is_Null_MW(const a_masked_gworld& mw) { return mw.fore == nullptr; }

void Imitate_GWorld(const Rect& bounds, GWorldPtr in, GWorldPtr& out) {
  if (in == nullptr) {
    out = nullptr;
    return;
  }
  // World pixels never move here, so there is no lock to take around the read.
  const PixMapPtr pm = Get_GWorld_PixMap(in);
  New_GWorldF("Imitate_GWorld", bounds, pm->pixelSize, pm->pmTable, out);
}

static RGBColor Wide(uint8 r, uint8 g, uint8 b) {
  return RGBColor{uint16(r * 257u), uint16(g * 257u), uint16(b * 257u)};
}

void SetForeColor(uint8 red, uint8 green, uint8 blue) { RGBForeColor(Wide(red, green, blue)); }
void SetForeColor24(const a_pixel24& rgb24) { SetForeColor(rgb24.r, rgb24.g, rgb24.b); }
void SetForeColor32(const a_pixel32& rgb32) { SetForeColor(rgb32.r, rgb32.g, rgb32.b); }
void SetBackColor(uint8 red, uint8 green, uint8 blue) { RGBBackColor(Wide(red, green, blue)); }
void SetBackColor24(const a_pixel24& rgb24) { SetBackColor(rgb24.r, rgb24.g, rgb24.b); }
void SetBackColor32(const a_pixel32& rgb32) { SetBackColor(rgb32.r, rgb32.g, rgb32.b); }

void SetForeColor8(uint8 colorx) { ForeColor(300 + 255 - int32(colorx)); }

void SetForeOpacity(int16 opacity) {
  SetForeColor8(uint8(Interpolate(opacity, 0, 100, 255, 0)));
}

void SetHiliteColor(uint8 red, uint8 green, uint8 blue) { HiliteColor(Wide(red, green, blue)); }

void GlobalToLocalRect(const Rect& global, Rect& local) {
  Point tl{global.top, global.left};
  Point br{global.bottom, global.right};
  GlobalToLocal(tl);
  GlobalToLocal(br);
  local = Rect{tl.v, tl.h, br.v, br.h};
}

void LocalToGlobalRect(const Rect& local, Rect& global) {
  Point tl{local.top, local.left};
  Point br{local.bottom, local.right};
  LocalToGlobal(tl);
  LocalToGlobal(br);
  global = Rect{tl.v, tl.h, br.v, br.h};
}
