#include "pixel/SysPixColor.h"

#include <algorithm>

#include "host/HostByteOrder.h"
#include "pixel/DrawUtil.h"
#include "pixel/Fast.h"
#include "platform/SysErr.h"
#include "platform/SysVideo.h"

namespace {

inline uint8* Base(const PixMap& pm) { return reinterpret_cast<uint8*>(pm.baseAddr); }
inline int32 Width(const PixMap& pm) { return std::max<int32>(int32(pm.bounds.right) - pm.bounds.left, 0); }
inline int32 Height(const PixMap& pm) { return std::max<int32>(int32(pm.bounds.bottom) - pm.bounds.top, 0); }
inline uint8* RowPtr(const PixMap& pm, int32 i) { return Base(pm) + int64(i) * PixMap_RowBytes(pm); }

// Calls f(pixel address) for every pixel of the map's bounds.
template <typename F>
void Each_Pixel(const PixMap& pm, int32 bpp, F f) {
  if (pm.baseAddr == nullptr) return;
  const int32 w = std::min<int32>(Width(pm), int32(PixMap_RowBytes(pm) / uint32(bpp)));
  for (int32 v = 0, h = Height(pm); v < h; ++v) {
    uint8* p = RowPtr(pm, v);
    for (int32 x = 0; x < w; ++x, p += bpp) f(p);
  }
}

// A one-entry cache of the last input and its result. It starts empty: a
// start value that a pixel can hold would hand that pixel a result never
// computed for it.
template <typename In, typename Out>
struct LastPixel {
  bool valid = false;
  In in{};
  Out out{};
  template <typename F>
  Out Get(In x, F compute) {
    if (!valid || x != in) {
      in = x;
      out = compute(x);
      valid = true;
    }
    return out;
  }
};

// Nearest 5-bit level of an 8-bit component, so that components widened
// from 5 bits and passed through integer colour arithmetic come back to
// the level they started from.
inline uint16 To5(uint32 c8) { return uint16((c8 * 31 + 127) / 255); }

}  // namespace

void PixMap_Invert(PixMapPtr pix) {
  if (pix->baseAddr == nullptr) return;
  uint8* p = Base(*pix);
  for (uint32 i = 0, n = PixMap_Len(*pix); i < n; ++i) p[i] = uint8(~p[i]);
}

// ---------------------------------------------------------------------------
// Darkness
// ---------------------------------------------------------------------------

void Calc_Darkness_Map(int16 factor, uint8 (&map)[256]) {
  const int32 f = std::clamp<int32>(factor, 0, 100);
  for (int32 i = 0; i < 256; ++i) map[i] = uint8(f < 50 ? i * f / 50 : ((f - 50) * 255 + i * (100 - f)) / 50);
}

void PixMap8_Darkness(PixMapPtr pix, uint16 factor, const a_win_pixel32 (&map)[256], void* device) {
  (void)device;
  if (factor == 100 || pix->baseAddr == nullptr) return;
  if (factor == 0) {
    PixMap8_Fill(*pix, 0);
    return;
  }
  a_8_to_8_mapping table;
  for (int i = 0; i < 256; ++i) {
    // In 32 bits: a factor above 257 would wrap 16 bits and darken where
    // it should brighten.
    auto comp = [&](uint8 c) -> uint16 {
      const uint32 x = uint32(c) * factor / 100;
      return x < 255 ? uint16(x * 257) : uint16(65535);
    };
    const RGBColor rgb{comp(map[i].r), comp(map[i].g), comp(map[i].b)};
    table[i] = Color2Index(rgb);
  }
  table[255] = 255;
  PixMap8_To_8(pix, table);
}

void PixMap16_Darkness(PixMapPtr pix, uint16 factor) {
  if (factor == 50 || pix->baseAddr == nullptr) return;
  if (factor == 0) {
    PixMap_Zero(*pix);
    return;
  }
  const uint32 f = std::min<uint32>(factor, 100);
  auto dark = [f](uint32 c) { return f >= 50 ? ((100 - f) * c + (f - 50) * 31) / 50 : c * f / 50; };
  LastPixel<uint16, uint16> cache;
  Each_Pixel(*pix, 2, [&](uint8* p) {
    Store_LE16(p, cache.Get(Load_LE16(p), [&](uint16 x) {
      return uint16(dark((x >> 10) & 31) * 1024 + dark((x >> 5) & 31) * 32 + dark(x & 31));
    }));
  });
}

void PixMap32_Darkness(PixMapPtr pix, uint16 factor) {
  if (factor == 50 || pix->baseAddr == nullptr) return;
  if (factor == 0) {
    PixMap_Zero(*pix);
    return;
  }
  uint8 map[256];
  Calc_Darkness_Map(int16(std::min<uint16>(factor, 100)), map);
  Each_Pixel(*pix, 4, [&](uint8* p) {
    p[0] = map[p[0]];
    p[1] = map[p[1]];
    p[2] = map[p[2]];
  });
}

void PixMap_Darkness(PixMapPtr pix, uint16 val) {
  switch (pix->pixelSize) {
    case 8: PixMap8_Darkness(pix, val, g_video.main_colors32, nullptr); break;
    case 16: PixMap16_Darkness(pix, val); break;
    case 32: PixMap32_Darkness(pix, val); break;
    default: QUIT(); break;
  }
}

// ---------------------------------------------------------------------------
// HSV
// ---------------------------------------------------------------------------

void RGB_To_HSV(const a_win_pixel32& rgb, a_hsv_color& hsv) {
  const int32 r = rgb.r, g = rgb.g, b = rgb.b;
  const int32 mx = std::max({r, g, b}), mn = std::min({r, g, b});
  hsv.v = int16(mx);
  hsv.s = int16(mx != 0 ? (mx - mn) * 255 / mx : 0);
  if (hsv.s == 0) {
    hsv.h = 0;
    return;
  }
  const int32 delta = mx - mn;
  int32 h;
  if (r == mx)
    h = (g - b) * 60 / delta;
  else if (g == mx)
    h = (b - r) * 60 / delta + 120;
  else
    h = (r - g) * 60 / delta + 240;
  if (h < 0) h += 360;
  hsv.h = int16(h);
}

void HSV_To_RGB(const a_hsv_color& hsv, a_win_pixel32& rgb) {
  const int32 v = std::clamp<int32>(hsv.v, 0, 255), s = std::clamp<int32>(hsv.s, 0, 255);
  if (s == 0) {
    rgb.r = rgb.g = rgb.b = uint8(v);
    return;
  }
  if (hsv.h < 0 || hsv.h > 359) {
    QUIT();
    return;
  }
  const int32 i = hsv.h / 60, f = hsv.h - 60 * i;
  const int32 p = (255 - s) * v / 255;
  const int32 q = (15045 - s * f) * v / 15045;
  const int32 t = (15045 - (59 - f) * s) * v / 15045;
  int32 r, g, b;
  switch (i) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: r = v, g = p, b = q; break;
  }
  rgb.r = uint8(r);
  rgb.g = uint8(g);
  rgb.b = uint8(b);
}

void PixMap8_ColorShift(PixMapPtr, int16) { QUIT(); }

void PixMap16_ColorShift(PixMapPtr pix, int16 shift) {
  // Whole turns first, so that a hue plus the shift needs at most one
  // correction to land in 0..359.
  const int32 sh = int32(shift) % 360;
  // A whole turn changes no hue; the integer HSV round trip would still
  // move some dark colours by a level, so leave the map alone.
  if (sh == 0 || pix->baseAddr == nullptr) return;
  LastPixel<uint16, uint16> cache;
  Each_Pixel(*pix, 2, [&](uint8* p) {
    Store_LE16(p, cache.Get(Load_LE16(p), [&](uint16 x) {
      // The components are widened to 8 bits for the HSV step and brought
      // back to the nearest 5-bit level; the 0..31 values themselves would
      // be packed as if they were 8-bit and turn nearly black.
      a_win_pixel32 c{};
      RGB16_To_RGB32_Full(x, c);
      a_hsv_color hsv;
      RGB_To_HSV(c, hsv);
      int32 h = hsv.h + sh;
      if (h >= 360) h -= 360;
      if (h < 0) h += 360;
      hsv.h = int16(h);
      HSV_To_RGB(hsv, c);
      return uint16(To5(c.r) * 1024 + To5(c.g) * 32 + To5(c.b));
    }));
  });
}

void PixMap_ColorShift(PixMapPtr pix, int16 val) {
  switch (pix->pixelSize) {
    case 16: PixMap16_ColorShift(pix, val); break;
    case 8: PixMap8_ColorShift(pix, val); break;
    default: QUIT(); break;
  }
}

void PixMap32_HSV(PixMapPtr pix, int16 targ_hue, int16 targ_dist, int16 targ_dark, int16 targ_sat) {
  (void)targ_sat;
  if (pix->baseAddr == nullptr) return;
  const int32 dist = std::clamp<int32>(targ_dist, 0, 72);
  const int32 dark = std::clamp<int32>(targ_dark, 0, 100);
  int16 hue_table[361];
  for (int32 i = 0; i <= 360; ++i) {
    int32 d = int32(targ_hue) - i;
    if (d > 180) d -= 360;
    if (d < -180) d += 360;
    int32 hue = d * dist / 72 + i;
    if (hue < 0) hue += 360;
    if (hue >= 360) hue -= 360;
    hue_table[i] = int16(std::clamp<int32>(hue, 0, 359));
  }
  uint8 value_table[257];
  for (int32 i = 0; i <= 256; ++i)
    value_table[i] = uint8(std::min<int32>(dark <= 50 ? i * dark / 50 : ((255 - i) * (dark - 50)) / 50 + i, 255));
  LastPixel<uint32, uint32> cache;
  Each_Pixel(*pix, 4, [&](uint8* p) {
    const uint32 in = Load_LE32(p);
    const uint32 out = cache.Get(in, [&](uint32 x) {
      a_win_pixel32 c;
      c.raw = 0;
      c.b = uint8(x);
      c.g = uint8(x >> 8);
      c.r = uint8(x >> 16);
      a_hsv_color hsv;
      RGB_To_HSV(c, hsv);
      hsv.v = value_table[hsv.v];
      hsv.h = hue_table[hsv.h];
      HSV_To_RGB(hsv, c);
      return uint32(c.b) | (uint32(c.g) << 8) | (uint32(c.r) << 16);
    });
    p[0] = uint8(out);
    p[1] = uint8(out >> 8);
    p[2] = uint8(out >> 16);
  });
}

// ---------------------------------------------------------------------------
// Grey and density
// ---------------------------------------------------------------------------

namespace {
template <typename ToRGB>
void Gray_Map(PixMapPtr pix, PixMap& gray, int32 bpp, ToRGB to_rgb) {
  New_PixMap(gray, pix->bounds, 8, gray_ctable);
  if (gray.baseAddr == nullptr || pix->baseAddr == nullptr) return;
  const int32 w = Width(*pix);
  for (int32 v = 0, h = Height(*pix); v < h; ++v) {
    const uint8* s = RowPtr(*pix, v);
    uint8* d = RowPtr(gray, v);
    for (int32 x = 0; x < w; ++x) {
      a_win_pixel32 c{};
      to_rgb(s + int64(x) * bpp, c);
      d[x] = uint8(255 - (77u * c.r + 151u * c.g + 28u * c.b) / 256);
    }
  }
}
}  // namespace

void PixMap16_Gray(PixMapPtr pix, PixMap& gray) {
  // Full 8-bit components: on the 0..31 values the formula gives almost white.
  Gray_Map(pix, gray, 2, [](const uint8* p, a_win_pixel32& c) { RGB16_To_RGB32_Full(Load_LE16(p), c); });
}

void PixMap32_Gray(PixMapPtr pix, PixMap& gray) {
  Gray_Map(pix, gray, 4, [](const uint8* p, a_win_pixel32& c) {
    c.b = p[0];
    c.g = p[1];
    c.r = p[2];
  });
}

void PixMap_Gray(PixMapPtr pix, PixMap& gray) {
  switch (pix->pixelSize) {
    case 16: PixMap16_Gray(pix, gray); break;
    case 32: PixMap32_Gray(pix, gray); break;
    default: QUIT(); break;
  }
}

void PixMap8_ScaleDensity(PixMapPtr pix, int16 opacity) {
  if (pix->baseAddr == nullptr) return;
  const uint32 os = uint32(Interpolate(int16(std::clamp<int32>(opacity, 0, 100)), 0, 100, 0, 128));
  uint8* p = Base(*pix);
  for (uint32 i = 0, n = PixMap_Len(*pix); i < n; ++i) p[i] = uint8(p[i] * os / 128);
}
