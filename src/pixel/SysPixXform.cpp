#include "pixel/SysPixXform.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/HostByteOrder.h"
#include "pixel/Asm32.h"
#include "pixel/Fast.h"
#include "pixel/MAsm2.h"
#include "platform/SysErr.h"
#include "platform/SysVideo.h"

namespace {

inline uint8* Base(const PixMap& pm) { return reinterpret_cast<uint8*>(pm.baseAddr); }
inline int32 Width(const PixMap& pm) { return std::max<int32>(int32(pm.bounds.right) - pm.bounds.left, 0); }
inline int32 Height(const PixMap& pm) { return std::max<int32>(int32(pm.bounds.bottom) - pm.bounds.top, 0); }
inline uint8* RowPtr(const PixMap& pm, int32 i) { return Base(pm) + int64(i) * PixMap_RowBytes(pm); }

// The input's pixels become the output's; the input is left null.
void Hand_Over(PixMap& in, PixMap& out) {
  out = in;
  Null_PixMap(in);
}

// A new map of width x height at the origin, or a null one when it cannot be
// described: a side beyond 32767 is reported like any allocation that fails.
bool Make_Out(PixMap& out, int32 width, int32 height, int16 depth, CTabHandle ctab) {
  if (width > 32767 || height > 32767) {
    New_Empty_PixMap(out, depth, ctab);
    g_err_mem_proc(uint32(std::min<uint64>(uint64(PixMap_Calc_RowBytes(width, depth)) * uint64(height), 0xFFFFFFFFu)));
    return false;
  }
  New_PixMap(out, Rect{0, 0, int16(height), int16(width)}, depth, ctab);
  return out.baseAddr != nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Mirrors
// ---------------------------------------------------------------------------

void Reverse_Bytes(uint8* p, int32 npixels, int16 unit_bytes) {
  if (unit_bytes != 1 && unit_bytes != 2 && unit_bytes != 4) {
    QUIT();
    return;
  }
  if (npixels < 2) return;
  uint8* a = p;
  uint8* b = p + int64(npixels - 1) * unit_bytes;
  uint8 tmp[4];
  while (a < b) {
    std::memcpy(tmp, a, size_t(unit_bytes));
    std::memcpy(a, b, size_t(unit_bytes));
    std::memcpy(b, tmp, size_t(unit_bytes));
    a += unit_bytes;
    b -= unit_bytes;
  }
}

void Swap_Bytes(uint8* a, uint8* b, uint32 len) {
  uint32 i = 0;
  for (; i + 4 <= len; i += 4) {
    uint32 x, y;
    std::memcpy(&x, a + i, 4);
    std::memcpy(&y, b + i, 4);
    std::memcpy(a + i, &y, 4);
    std::memcpy(b + i, &x, 4);
  }
  for (; i < len; ++i) std::swap(a[i], b[i]);
}

void PixMap1_FlipX(PixMapPtr pix) {
  if (pix->baseAddr == nullptr) return;
  const int32 w = std::min<int32>(Width(*pix), int32(PixMap_RowBytes(*pix) * 8));
  for (int32 v = 0, h = Height(*pix); v < h; ++v) {
    uint8* row = RowPtr(*pix, v);
    for (int32 x = 0, y = w - 1; x < y; ++x, --y) {
      const bool bx = (row[x >> 3] & (0x80u >> (x & 7))) != 0;
      const bool by = (row[y >> 3] & (0x80u >> (y & 7))) != 0;
      if (bx == by) continue;
      row[x >> 3] = uint8(row[x >> 3] ^ (0x80u >> (x & 7)));
      row[y >> 3] = uint8(row[y >> 3] ^ (0x80u >> (y & 7)));
    }
  }
}

void PixMap_FlipX(PixMapPtr pix) {
  if (pix->baseAddr == nullptr) return;
  if (pix->pixelSize == 1) {
    PixMap1_FlipX(pix);
    return;
  }
  const int16 unit = int16(pix->pixelSize / 8);
  if (unit != 1 && unit != 2 && unit != 4) {
    QUIT();
    return;
  }
  const int32 w = std::min<int32>(Width(*pix), int32(PixMap_RowBytes(*pix) / uint32(unit)));
  for (int32 v = 0, h = Height(*pix); v < h; ++v) Reverse_Bytes(RowPtr(*pix, v), w, unit);
}

void PixMap_FlipY(PixMapPtr pix) {
  if (pix->baseAddr == nullptr) return;
  const uint32 stride = PixMap_RowBytes(*pix);
  for (int32 a = 0, b = Height(*pix) - 1; a < b; ++a, --b) Swap_Bytes(RowPtr(*pix, a), RowPtr(*pix, b), stride);
}

void PixMap_Rotate_180(PixMapPtr pix) {
  PixMap_FlipX(pix);
  PixMap_FlipY(pix);
}

// ---------------------------------------------------------------------------
// Nearest-neighbour rotation
// ---------------------------------------------------------------------------

namespace {

// The common frame of the 8-, 16-, 24- and 32-bit nearest rotations; `in`
// must have the depth of the kernel, `out` is left null otherwise.
template <typename Kernel>
void Nearest_Rotate(int16 depth, int16 angle, PixMap& in, PixMap& out, Kernel kernel) {
  const int32 a = angle < 0 ? 3600 - (-int32(angle)) % 3600 : int32(angle) % 3600;
  if (in.baseAddr == nullptr || in.pixelSize != depth) {
    New_Empty_PixMap(out, in.pixelSize, in.pmTable);
    return;
  }
  const int16 sin = IntSin(int16(a)), cos = IntCos(int16(a));
  if (a == 1800) {
    // The picture keeps its bounds. Mirrors serve units of 1, 2 and 4
    // bytes; a 24-bit map turns through its kernel, which mirrors exactly.
    if (depth != 24) {
      PixMap_Copy(in, out);
      PixMap_FlipX(&out);
      PixMap_FlipY(&out);
    } else {
      New_PixMap(out, in.bounds, depth, in.pmTable);
      if (out.baseAddr == nullptr) return;
      const int32 ch = int32(in.bounds.left) + in.bounds.right, cv = int32(in.bounds.top) + in.bounds.bottom;
      kernel(&in, &out, sin, cos, ch, cv, ch, cv);
    }
    return;
  }
  const int32 w = Width(in), h = Height(in);
  const int32 as = std::abs(int32(sin)), ac = std::abs(int32(cos));
  const int32 nw = (w * ac + 0x2000 + h * as) / 0x4000;
  const int32 nh = (h * ac + 0x2000 + w * as) / 0x4000;
  if (!Make_Out(out, nw, nh, in.pixelSize, in.pmTable)) return;
  kernel(&in, &out, sin, cos, int32(in.bounds.left) + in.bounds.right, int32(in.bounds.top) + in.bounds.bottom,
         int32(out.bounds.left) + out.bounds.right, int32(out.bounds.top) + out.bounds.bottom);
}

// The nearest rotation of one depth through the shared kernel of MAsm2.
void Rotate_Depth(int16 depth, const uint8 (&tcolor)[4], int16 angle, PixMap& in, PixMap& out) {
  Nearest_Rotate(depth, angle, in, out,
                 [&](PixMapPtr i, PixMapPtr o, int16 s, int16 c, int32 sh, int32 sv, int32 dh, int32 dv) {
                   PixMap_RotateB(int16(depth / 8), i, o, s, c, sh, sv, dh, dv, tcolor);
                 });
}

}  // namespace

void PixMap16_RotateB(PixMapPtr in, PixMapPtr out, int16 sin, int16 cos, int16 scenterh, int16 scenterv,
                      int16 dcenterh, int16 dcenterv, uint16 tcolor) {
  const uint8 t[4] = {uint8(tcolor), uint8(tcolor >> 8), 0, 0};
  PixMap_RotateB(2, in, out, sin, cos, scenterh, scenterv, dcenterh, dcenterv, t);
}

void PixMap32_RotateB(PixMapPtr in, PixMapPtr out, int16 sin, int16 cos, int16 scenterh, int16 scenterv,
                      int16 dcenterh, int16 dcenterv, a_win_pixel32 tcolor) {
  const uint8 t[4] = {tcolor.b, tcolor.g, tcolor.r, tcolor.a};
  PixMap_RotateB(4, in, out, sin, cos, scenterh, scenterv, dcenterh, dcenterv, t);
}

void PixMap8_Rotate(int16 angle, PixMap& in, PixMap& out) {
  static constexpr uint8 kZero[4] = {0, 0, 0, 0};
  Rotate_Depth(8, kZero, angle, in, out);
}

void PixMap16_Rotate(int16 angle, PixMap& in, PixMap& out) {
  static constexpr uint8 kWhite[4] = {0xFF, 0x7F, 0, 0};
  Rotate_Depth(16, kWhite, angle, in, out);
}

void PixMap24_Rotate(int16 angle, PixMap& in, PixMap& out) {
  static constexpr uint8 kWhite[4] = {0xFF, 0xFF, 0xFF, 0};
  Rotate_Depth(24, kWhite, angle, in, out);
}

void PixMap32_Rotate(int16 angle, PixMap& in, PixMap& out) {
  static constexpr uint8 kClearWhite[4] = {255, 255, 255, 0};
  Rotate_Depth(32, kClearWhite, angle, in, out);
}

void PixMap1_Rotate(int16 angle, PixMap& in, PixMap& out) {
  const int32 a = angle < 0 ? 3600 - (-int32(angle)) % 3600 : int32(angle) % 3600;
  if (a % 900 != 0) {
    QUIT();
    return;
  }
  if (a == 0 || a == 3600) {
    Hand_Over(in, out);
    return;
  }
  if (in.baseAddr == nullptr) {
    New_Empty_PixMap(out, 1, in.pmTable);
    return;
  }
  const int32 w = std::min<int32>(Width(in), int32(PixMap_RowBytes(in) * 8)), h = Height(in);
  if (a == 1800) {
    New_PixMap(out, in.bounds, 1, in.pmTable);
  } else if (!Make_Out(out, h, w, 1, in.pmTable)) {
    return;
  }
  if (out.baseAddr == nullptr) return;
  for (int32 r = 0; r < h; ++r) {
    const uint8* s = RowPtr(in, r);
    for (int32 c = 0; c < w; ++c) {
      if ((s[c >> 3] & (0x80u >> (c & 7))) == 0) continue;
      int32 oc, orow;
      if (a == 1800) {
        oc = w - 1 - c;
        orow = h - 1 - r;
      } else if (a == 900) {
        oc = r;
        orow = w - 1 - c;
      } else {
        oc = h - 1 - r;
        orow = c;
      }
      uint8* d = RowPtr(out, orow);
      d[oc >> 3] = uint8(d[oc >> 3] | (0x80u >> (oc & 7)));
    }
  }
}

// ---------------------------------------------------------------------------
// Bilinear rotation
// ---------------------------------------------------------------------------

namespace {

// Reads and writes one pixel as four channels r, g, b, a by depth.
struct Channels {
  uint32 v[4];
};

inline void Read_Px(const uint8* p, int16 depth, Channels& c) {
  switch (depth) {
    case 8: c.v[0] = p[0]; break;
    case 16: {
      const uint16 x = Load_LE16(p);
      const uint32 r = (x >> 10) & 31, g = (x >> 5) & 31, b = x & 31;
      c.v[0] = r * 8 + r / 4;
      c.v[1] = g * 8 + g / 4;
      c.v[2] = b * 8 + b / 4;
      c.v[3] = 0;
      break;
    }
    case 24:
      c.v[2] = p[0];
      c.v[1] = p[1];
      c.v[0] = p[2];
      c.v[3] = 0;
      break;
    default:
      c.v[2] = p[0];
      c.v[1] = p[1];
      c.v[0] = p[2];
      c.v[3] = p[3];
      break;
  }
}

inline void Write_Px(uint8* p, int16 depth, const Channels& c) {
  switch (depth) {
    case 8: p[0] = uint8(c.v[0]); break;
    case 16: {
      Store_LE16(p, uint16((c.v[0] / 8) * 1024 + (c.v[1] / 8) * 32 + c.v[2] / 8));
      break;
    }
    case 24:
      p[0] = uint8(c.v[2]);
      p[1] = uint8(c.v[1]);
      p[2] = uint8(c.v[0]);
      break;
    default:
      p[0] = uint8(c.v[2]);
      p[1] = uint8(c.v[1]);
      p[2] = uint8(c.v[0]);
      p[3] = uint8(c.v[3]);
      break;
  }
}

void Bilinear(bool8 progressf, bool8 zerof, int16 angle, PixMap& src, PixMap& dst) {
  const int16 depth = src.pixelSize;
  const int nch = depth == 8 ? 1 : 4;
  const int32 bpp = depth == 8 ? 1 : depth / 8;
  if (src.baseAddr == nullptr || (depth != 8 && depth != 16 && depth != 24 && depth != 32)) {
    New_Empty_PixMap(dst, depth, src.pmTable);
    return;
  }
  const int32 w = Width(src), h = Height(src);
  // Source coordinates are taken as if the map began at (100, 100), so that
  // truncation toward zero rounds down for every sample near the picture.
  constexpr int32 kOrg = 100;
  const double rad = double(angle) * 0.0017453292519943296;
  const float s = float(std::sin(rad)), c = float(std::cos(rad));
  const int32 nw = int32(float(w) * std::fabs(c) + float(h) * std::fabs(s) + 0.999f);
  const int32 nh = int32(float(h) * std::fabs(c) + float(w) * std::fabs(s) + 0.999f);
  if (!Make_Out(dst, nw, nh, depth, src.pmTable)) return;
  const bool progress = progressf && g_progproc != nullptr;
  if (progress) g_progproc(-1, -1);
  const float scx = float(kOrg + kOrg + w) * 0.5f - 0.5f;
  const float scy = float(kOrg + kOrg + h) * 0.5f - 0.5f;
  const float dcx = float(nw) * 0.5f - 0.5f;
  const float dcy = float(nh) * 0.5f - 0.5f;
  const uint32 sstride = PixMap_RowBytes(src);
  const uint8* sbase = Base(src);
  auto inside = [&](int32 x, int32 y) { return x >= kOrg && x < kOrg + w && y >= kOrg && y < kOrg + h; };
  auto at = [&](int32 x, int32 y) { return sbase + int64(y - kOrg) * sstride + int64(x - kOrg) * bpp; };
  for (int32 y = 0; y < nh; ++y) {
    if (progress) g_progproc(int16(std::min<int32>(y, 32767)), int16(std::min<int32>(nh, 32767)));
    uint8* d = RowPtr(dst, y);
    const float dy = float(y) - dcy;
    for (int32 x = 0; x < nw; ++x, d += bpp) {
      const float dx = float(x) - dcx;
      const float sxr = dx * c + scx - dy * s;
      const float syr = scy + dy * c + dx * s;
      // Far outside the picture no sample can take part (and the casts
      // below stay in range).
      if (!(sxr > float(kOrg - 2) && sxr < float(kOrg + w + 1) && syr > float(kOrg - 2) && syr < float(kOrg + h + 1)))
        continue;
      const int32 x0 = int32(sxr), y0 = int32(syr);
      const int32 x1 = x0 + 1, y1 = y0 + 1;
      const uint32 fx = uint32(int32((sxr - float(x0)) * 1024.0f));
      const uint32 fy = uint32(int32((syr - float(y0)) * 1024.0f));
      const int32 sxs[4] = {x0, x0, x1, x1};
      const int32 sys[4] = {y0, y1, y0, y1};
      const uint32 wts[4] = {(1024 - fx) * (1024 - fy), (1024 - fx) * fy, fx * (1024 - fy), fx * fy};
      uint32 W = 0;
      uint32 S[4] = {0, 0, 0, 0};
      bool any = false;
      for (int k = 0; k < 4; ++k) {
        if (!inside(sxs[k], sys[k])) continue;
        any = true;
        Channels px;
        Read_Px(at(sxs[k], sys[k]), depth, px);
        W += wts[k];
        for (int ch = 0; ch < nch; ++ch) S[ch] += px.v[ch] * wts[k];
      }
      if (!any) continue;
      if (zerof) W = 1u << 20;
      Channels out{};
      for (int ch = 0; ch < nch; ++ch) out.v[ch] = W == 0 ? 0 : S[ch] / W;
      if (nch == 4) out.v[3] = S[3] >> 20;
      Write_Px(d, depth, out);
    }
  }
  if (progress) g_progproc(-2, -2);
}

}  // namespace

void PixMap_Rotate_Bilinear8(bool8 progressf, bool8 zerof, int16 angle, PixMap& src, PixMap& dst) {
  Bilinear(progressf, zerof, angle, src, dst);
}

void PixMap_Rotate_Bilinear(bool8 progressf, bool8 zerof, int16 angle, PixMap& src, PixMap& dst) {
  Bilinear(progressf, zerof, angle, src, dst);
}

void PixMap_Rotate(a_filtering_kind filter, bool8 zerof, int16 angle, PixMap& in, PixMap& out) {
  int32 a = angle;
  while (a >= 3600) a -= 3600;
  while (a < 0) a += 3600;
  if (a == 0) {
    Hand_Over(in, out);
    return;
  }
  if (filter == BILINEAR && (in.pixelSize == 8 || in.pixelSize == 16 || in.pixelSize == 24 || in.pixelSize == 32)) {
    if (in.pixelSize == 8)
      PixMap_Rotate_Bilinear8(false, zerof, int16(a), in, out);
    else
      PixMap_Rotate_Bilinear(false, zerof, int16(a), in, out);
    return;
  }
  switch (in.pixelSize) {
    case 1: PixMap1_Rotate(int16(a), in, out); break;
    case 8: PixMap8_Rotate(int16(a), in, out); break;
    case 16: PixMap16_Rotate(int16(a), in, out); break;
    case 24: PixMap24_Rotate(int16(a), in, out); break;
    case 32: PixMap32_Rotate(int16(a), in, out); break;
    default: New_Empty_PixMap(out, in.pixelSize, in.pmTable); break;  // no kernel: no picture
  }
}

// ---------------------------------------------------------------------------
// Bends and skews
// ---------------------------------------------------------------------------

int32 Calc_Parabola(int16 tot_x, int16 tot_y, int16 x) {
  if (tot_x == 0) return 0;
  const int16 t = int16(2 * int32(x) - tot_x);
  const int32 sq = int32(t) * t;
  return int32(tot_y) - (sq / tot_x) * tot_y / tot_x;
}

namespace {

enum class Warp { BendX, BendY, SkewX, SkewY };

void Warp_Map(Warp kind, int16 val, PixMap& in, PixMap& out) {
  const int16 depth = in.pixelSize;
  const int32 bpp = depth / 8;
  const int32 w = Width(in), h = Height(in);
  const int32 delta = std::max(w, h) * int32(val) / 100;
  if (delta == 0 || in.baseAddr == nullptr) {
    Hand_Over(in, out);
    return;
  }
  const int32 d = std::abs(delta);
  const bool xop = kind == Warp::BendX || kind == Warp::SkewX;
  if (!Make_Out(out, xop ? w + d : w, xop ? h : h + d, depth, in.pmTable)) return;
  if (depth == 16) PixMap16_Fill(out, 0x7FFF);
  const Rect& b = in.bounds;
  // The offset of row i (X operations) or column i (Y operations), from 0.
  auto offset = [&](int32 i) -> int32 {
    int32 o;
    switch (kind) {
      case Warp::BendX: o = Calc_Parabola(int16(h), int16(d), int16(i)); break;
      case Warp::BendY: o = Calc_Parabola(int16(w), int16(d), int16(i)); break;
      case Warp::SkewX:
        o = delta > 0 ? Interpolate(int16(b.top + i), b.top, b.bottom, int16(d), 0)
                      : Interpolate(int16(b.top + i), b.top, b.bottom, 0, int16(d));
        break;
      default:
        o = delta > 0 ? Interpolate(int16(b.left + i), b.left, b.right, int16(d), 0)
                      : Interpolate(int16(b.left + i), b.left, b.right, 0, int16(d));
        break;
    }
    if (delta < 0 && (kind == Warp::BendX || kind == Warp::BendY)) o = d - o;
    return std::clamp<int32>(o, 0, d);
  };
  if (xop) {
    for (int32 i = 0; i < h; ++i) std::memcpy(RowPtr(out, i) + offset(i) * bpp, RowPtr(in, i), size_t(w * bpp));
  } else {
    for (int32 j = 0; j < w; ++j) {
      const int32 o = offset(j);
      for (int32 i = 0; i < h; ++i) std::memcpy(RowPtr(out, i + o) + j * bpp, RowPtr(in, i) + j * bpp, size_t(bpp));
    }
  }
}

void Warp_Dispatch(Warp kind, int16 val, PixMap& in, PixMap& out) {
  if (in.pixelSize != 8 && in.pixelSize != 16) {
    QUIT();
    return;
  }
  Warp_Map(kind, val, in, out);
}

}  // namespace

void PixMap8_BendX(int16 bend, PixMap& in, PixMap& out) { Warp_Map(Warp::BendX, bend, in, out); }
void PixMap8_BendY(int16 bend, PixMap& in, PixMap& out) { Warp_Map(Warp::BendY, bend, in, out); }
void PixMap16_BendX(int16 bend, PixMap& in, PixMap& out) { Warp_Map(Warp::BendX, bend, in, out); }
void PixMap16_BendY(int16 bend, PixMap& in, PixMap& out) { Warp_Map(Warp::BendY, bend, in, out); }
void PixMap8_SkewX(int16 skew, PixMap& in, PixMap& out) { Warp_Map(Warp::SkewX, skew, in, out); }
void PixMap8_SkewY(int16 skew, PixMap& in, PixMap& out) { Warp_Map(Warp::SkewY, skew, in, out); }
void PixMap16_SkewX(int16 skew, PixMap& in, PixMap& out) { Warp_Map(Warp::SkewX, skew, in, out); }
void PixMap16_SkewY(int16 skew, PixMap& in, PixMap& out) { Warp_Map(Warp::SkewY, skew, in, out); }

void PixMap_BendX(int16 val, PixMap& in, PixMap& out) { Warp_Dispatch(Warp::BendX, val, in, out); }
void PixMap_BendY(int16 val, PixMap& in, PixMap& out) { Warp_Dispatch(Warp::BendY, val, in, out); }
void PixMap_SkewX(int16 val, PixMap& in, PixMap& out) { Warp_Dispatch(Warp::SkewX, val, in, out); }
void PixMap_SkewY(int16 val, PixMap& in, PixMap& out) { Warp_Dispatch(Warp::SkewY, val, in, out); }

// ---------------------------------------------------------------------------
// Masks and measurements
// ---------------------------------------------------------------------------

void PixMap16_Bounding(PixMapPtr pixmap, const Rect& search, Rect& result) {
  result = Rect{0, 0, 0, 0};
  if (pixmap->baseAddr == nullptr) return;
  const Rect& b = pixmap->bounds;
  const int32 top = std::max(search.top, b.top), bottom = std::min(search.bottom, b.bottom);
  const int32 left = std::max(search.left, b.left), right = std::min(search.right, b.right);
  auto ink = [&](int32 c, int32 r) { return Load_LE16(RowPtr(*pixmap, r - b.top) + int64(c - b.left) * 2) != 0x7FFF; };
  auto row_ink = [&](int32 r, int32& first, int32& last) {
    first = -1;
    for (int32 c = left; c < right; ++c)
      if (ink(c, r)) {
        if (first < 0) first = c;
        last = c;
      }
    return first >= 0;
  };
  int32 rtop = top, f = 0, l = 0;
  while (rtop < bottom && !row_ink(rtop, f, l)) ++rtop;
  if (rtop >= bottom) return;
  int32 minc = f, maxc = l;
  int32 rbot = bottom - 1;
  while (rbot > rtop && !row_ink(rbot, f, l)) --rbot;
  for (int32 r = rtop; r <= rbot; ++r)
    if (row_ink(r, f, l)) {
      minc = std::min(minc, f);
      maxc = std::max(maxc, l);
    }
  result = Rect{int16(rtop), int16(minc), int16(rbot + 1), int16(maxc + 1)};
}

void PixMap_Bounding(PixMapPtr pix, const Rect& search, Rect& bounds) {
  switch (pix->pixelSize) {
    case 1: Asm32_PixMap1_Bounding(pix, &search, &bounds); break;
    case 8: Asm32_PixMap8_Bounding(pix, &search, &bounds); break;
    case 16: PixMap16_Bounding(pix, search, bounds); break;
    default: QUIT(); break;
  }
}

namespace {
// Clears `out`, then sets bit (x, y) wherever is_ink(row y of in, x).
template <typename IsInk>
void To_Mask(PixMapPtr in, PixMapPtr out, int32 bpp, IsInk is_ink) {
  if (out->baseAddr == nullptr) return;
  PixMap_Zero(*out);
  if (in->baseAddr == nullptr) return;
  const int32 w = std::min<int32>(Width(*in), int32(PixMap_RowBytes(*out) * 8));
  const int32 h = std::min(Height(*in), Height(*out));
  for (int32 v = 0; v < h; ++v) {
    const uint8* s = RowPtr(*in, v);
    uint8* d = RowPtr(*out, v);
    for (int32 x = 0; x < w; ++x)
      if (is_ink(s + int64(x) * bpp)) d[x >> 3] = uint8(d[x >> 3] | (0x80u >> (x & 7)));
  }
}
}  // namespace

void PixMap16_To_1(PixMapPtr in, PixMapPtr out) {
  To_Mask(in, out, 2, [](const uint8* p) { return Load_LE16(p) != 0x7FFF; });
}

void PixMap32_To_1(PixMapPtr in, PixMapPtr out) {
  To_Mask(in, out, 4, [](const uint8* p) { return !(p[0] == 255 && p[1] == 255 && p[2] == 255); });
}

void PixMap16_To_1S(PixMapPtr in, PixMapPtr out, const Rect& subset) {
  if (out->baseAddr == nullptr) return;
  PixMap_Zero(*out);
  if (in->baseAddr == nullptr) return;
  const Rect& b = in->bounds;
  const int32 outw = int32(PixMap_RowBytes(*out) * 8), outh = Height(*out);
  const int32 top = std::max(subset.top, b.top), bottom = std::min<int32>(std::min(subset.bottom, b.bottom), b.top + outh);
  const int32 left = std::max(subset.left, b.left), right = std::min<int32>(std::min(subset.right, b.right), b.left + outw);
  for (int32 r = top; r < bottom; ++r) {
    const uint8* s = RowPtr(*in, r - b.top);
    uint8* d = RowPtr(*out, r - b.top);
    for (int32 c = left; c < right; ++c) {
      const int32 x = c - b.left;
      if (Load_LE16(s + int64(x) * 2) != 0x7FFF) d[x >> 3] = uint8(d[x >> 3] | (0x80u >> (x & 7)));
    }
  }
}

void Pix32_To_Alpha(PixMapPtr src_pix, PixMapPtr dst_pix, bool8& some_transp, bool8& some_opaque) {
  some_transp = false;
  some_opaque = false;
  if (src_pix->baseAddr == nullptr || dst_pix->baseAddr == nullptr) return;
  const int32 w = std::min(Width(*src_pix), Width(*dst_pix));
  const int32 h = std::min(Height(*src_pix), Height(*dst_pix));
  for (int32 v = 0; v < h; ++v) {
    const uint8* s = RowPtr(*src_pix, v);
    uint8* d = RowPtr(*dst_pix, v);
    for (int32 x = 0; x < w; ++x) {
      const uint8 a = s[x * 4 + 3];
      d[x] = a;
      if (a != 0) some_opaque = true;
      if (a != 255) some_transp = true;
    }
  }
}

namespace {
void Compare_Maps(PixMapPtr pixA, PixMapPtr pixB, PixMap& mask, int32 bpp) {
  New_PixMap(mask, pixA->bounds, 1, mono_ctable);
  if (mask.baseAddr == nullptr || pixA->baseAddr == nullptr || pixB->baseAddr == nullptr) return;
  const int32 w = std::min(Width(*pixA), Width(*pixB));
  const int32 h = std::min(Height(*pixA), Height(*pixB));
  for (int32 v = 0; v < h; ++v) {
    const uint8* a = RowPtr(*pixA, v);
    const uint8* b = RowPtr(*pixB, v);
    uint8* d = RowPtr(mask, v);
    for (int32 x = 0; x < w; ++x)
      if (std::memcmp(a + x * bpp, b + x * bpp, size_t(bpp)) == 0) d[x >> 3] = uint8(d[x >> 3] | (0x80u >> (x & 7)));
  }
}
}  // namespace

void PixMap8_Compare(PixMapPtr pixA, PixMapPtr pixB, PixMap& mask) { Compare_Maps(pixA, pixB, mask, 1); }
void PixMap16_Compare(PixMapPtr pixA, PixMapPtr pixB, PixMap& mask) { Compare_Maps(pixA, pixB, mask, 2); }

void PixMap_Compare(PixMapPtr pixA, PixMapPtr pixB, PixMap& mask) {
  if (pixA->pixelSize != pixB->pixelSize) {
    QUIT();
    return;
  }
  switch (pixA->pixelSize) {
    case 8: PixMap8_Compare(pixA, pixB, mask); break;
    case 16: PixMap16_Compare(pixA, pixB, mask); break;
    default: QUIT(); break;
  }
}

void PixMap1_To_Region(PixMapPtr pix, HRGN& rgn) {
  if (pix->baseAddr == nullptr) return;
  constexpr size_t kMaxRuns = 20000;
  std::vector<RECT> runs;
  const Rect& b = pix->bounds;
  const int32 w = std::min<int32>(Width(*pix), int32(PixMap_RowBytes(*pix) * 8));
  for (int32 v = 0, h = Height(*pix); v < h; ++v) {
    const uint8* row = RowPtr(*pix, v);
    auto bit = [&](int32 x) { return (row[x >> 3] & (0x80u >> (x & 7))) != 0; };
    for (int32 x = 0; x < w;) {
      if (!bit(x)) {
        ++x;
        continue;
      }
      const int32 start = x;
      while (x < w && bit(x)) ++x;
      const RECT run{b.left + start, b.top + v, b.left + x, b.top + v + 1};
      // A run under the last rectangle with the same ends extends it down.
      if (!runs.empty() && runs.back().left == run.left && runs.back().right == run.right &&
          runs.back().bottom == run.top) {
        runs.back().bottom = run.bottom;
      } else if (runs.size() < kMaxRuns) {
        runs.push_back(run);
      }
    }
  }
  if (runs.empty()) return;
  RECT box = runs.front();
  for (const RECT& r : runs) {
    box.left = std::min(box.left, r.left);
    box.top = std::min(box.top, r.top);
    box.right = std::max(box.right, r.right);
    box.bottom = std::max(box.bottom, r.bottom);
  }
  const uint32 size = uint32(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  std::vector<uint8> block(size);
  auto* data = reinterpret_cast<RGNDATA*>(block.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = uint32(runs.size());
  data->rdh.nRgnSize = uint32(runs.size() * sizeof(RECT));
  data->rdh.rcBound = box;
  std::memcpy(block.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
  const XFORM identity{1, 0, 0, 1, 0, 0};
  if (rgn != nullptr) DeleteRgn(rgn);
  rgn = ExtCreateRegion(&identity, size, data);
}

bool8 Is_PixMap1_Empty(PixMapPtr pix) {
  if (pix->baseAddr == nullptr) return true;
  const int32 w = std::min<int32>(Width(*pix), int32(PixMap_RowBytes(*pix) * 8));
  const int32 whole = w / 8, rest = w % 8;
  for (int32 v = 0, h = Height(*pix); v < h; ++v) {
    const uint8* row = RowPtr(*pix, v);
    for (int32 i = 0; i < whole; ++i)
      if (row[i] != 0) return false;
    if (rest != 0 && (row[whole] & uint8(0xFF00u >> rest)) != 0) return false;
  }
  return true;
}

void PixMap1_FillPattern(PixMapPtr pix, const uint8 (&pat)[8]) {
  if (pix->baseAddr == nullptr) return;
  const uint32 stride = PixMap_RowBytes(*pix);
  for (int32 i = 0, h = Height(*pix); i < h; ++i)
    std::memset(RowPtr(*pix, i), pat[(int32(pix->bounds.top) + i) & 7], stride);
}
