// Gradient fills: a colour ramp built from the gradient's bands, an index per
// pixel by one of seven kinds, and an ordered dither on 16-bit maps. A
// moving XOR line in a window shows progress.
#include <algorithm>
#include <cstring>
#include <vector>

#include "host/HostByteOrder.h"
#include "pixel/Draw.h"
#include "pixel/Fast.h"
#include "platform/QDRect.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"

uint8 matrix8[16] = {0, 6, 1, 7, 4, 2, 5, 3, 1, 7, 0, 6, 5, 3, 4, 2};
a_echo_rec g_pecho{};

namespace {

// The ramp: ramp_n entries in a fixed block.
a_win_pixel32* ramp = nullptr;
int32 ramp_n = 0;

// Direct pixel access for the fills: the painted map and the 1-bit mask,
// both addressed in their own bounds' coordinates.
struct Target {
  uint8* base;
  uint32 rb;
  Rect bounds;
  int16 depth;
  void Put(int32 col, int32 row, const a_win_pixel32& c) const {
    uint8* p = base + uint32(row - bounds.top) * rb;
    if (depth == 32) {
      std::memcpy(p + uint32(col - bounds.left) * 4, &c.raw, 4);
    } else {
      uint16 v;
      RGB32_To_RGB16_Dithered(int16(col), int16(row), c, v);
      Store_LE16(p + uint32(col - bounds.left) * 2, v);
    }
  }
};

struct Mask {
  const uint8* base = nullptr;  // NIL: every pixel is allowed
  uint32 rb = 0;
  Rect bounds{0, 0, 0, 0};
  bool Allows(int32 col, int32 row) const {
    if (!base) return true;
    if (col < bounds.left || col >= bounds.right || row < bounds.top || row >= bounds.bottom) return false;
    const uint32 x = uint32(col - bounds.left);
    return (base[uint32(row - bounds.top) * rb + (x >> 3)] & (0x80 >> (x & 7))) != 0;
  }
};

// Whether an echo was asked for in this fill (set by Fill_Dither).
bool echo_active = false;

int16 Tenths(int16 degrees) { return int16(MOD_Positive(degrees, 360) * 10); }

void Dither_OnePass(a_onepass_kind kind, const Target& t, const Mask& m, const Rect& box, const a_grad_rec& grad,
                    int16 angle, int16 wave, Point center, int16 radius) {
  const int32 s = IntSin(Tenths(angle));
  const int32 c = IntCos(Tenths(angle));
  int32 minval = 0, maxval = 1000;
  int64 r2 = 1;
  float cx = 0, cy = 0, mx = 1, my = 1;
  int32 ripple[20] = {};
  switch (kind) {
    case ONEPASS_LINEAR: {
      const int32 xs[2] = {box.left, box.right}, ys[2] = {box.top, box.bottom};
      minval = INT32_MAX;
      maxval = INT32_MIN;
      for (int32 x : xs)
        for (int32 y : ys) {
          const int32 v = x * c / 16384 - y * s / 16384;
          minval = std::min(minval, v);
          maxval = std::max(maxval, v);
        }
      if (wave != 0)
        for (int i = 0; i < 20; ++i) ripple[i] = int32(wave) * IntSin(int16(i * 180)) / 16384;
      break;
    }
    case ONEPASS_RADIAL:
      if (radius < 10) radius = 10;
      r2 = int64(radius) * radius;
      break;
    case ONEPASS_DIAMOND:
      cx = float(int32(box.left) + box.right) / 2.0f;
      cy = float(int32(box.top) + box.bottom) / 2.0f;
      mx = float(int32(box.right) - box.left) / 2.0f;
      my = float(int32(box.bottom) - box.top) / 2.0f;
      break;
  }
  Ramp_Init(minval, maxval, grad);
  const int32 last = ramp_n - 1;
  for (int32 row = box.top; row < box.bottom; ++row) {
    for (int32 col = box.left; col < box.right; ++col) {
      if (!m.Allows(col, row)) continue;
      int32 value;
      switch (kind) {
        case ONEPASS_LINEAR:
          value = col * c / 16384 - row * s / 16384;
          if (wave != 0) value += ripple[MOD_Positive(row * c / 16384 + col * s / 16384, 20)];
          break;
        case ONEPASS_RADIAL: {
          const int64 dh = col - center.h, dv = row - center.v;
          const int64 d = (dh * dh + dv * dv) % r2;
          value = int32(d * 1000 / r2);
          break;
        }
        default: {
          const float fx = std::abs(float(col) - cx) / mx;
          const float fy = std::abs(float(row) - cy) / my;
          value = int32(std::abs(fx - fy) * 1000.0f);
          break;
        }
      }
      const int32 index = value <= minval ? 0 : value >= maxval ? last : value - minval;
      t.Put(col, row, ramp[index]);
    }
    if (echo_active) Echo_Line(box.left, int16(row), box.right, int16(row));
  }
  Ramp_Stop();
}

// The ray index of every pixel: its angle round the centre (tenths of a
// degree) times rpm, plus its distance times twistf div 10. The angle within
// a quadrant depends only on the distances across and down from the centre,
// which a picture centred on it meets four times: it is looked up once for
// each pair and kept. Distances are taken only when they count (a twist).
void Dither_Rays(const Target& t, const Mask& m, const Rect& box, const a_grad_rec& grad, int32 rpm, int16 twistf,
                 Point center) {
  Ramp_Init(0, 3599, grad);
  // The distances from the centre along each axis that the box reaches.
  auto span = [](int32 lo, int32 hi, int32 c, int32& dmin, int32& dmax) {
    dmin = c >= lo && c < hi ? 0 : std::min(std::abs(c - lo), std::abs(c - (hi - 1)));
    dmax = std::max(std::abs(c - lo), std::abs(c - (hi - 1)));
  };
  int32 xmin, xmax, ymin, ymax;
  span(box.left, box.right, center.h, xmin, xmax);
  span(box.top, box.bottom, center.v, ymin, ymax);
  const int64 cells = int64(xmax - xmin + 1) * (ymax - ymin + 1);
  // Beyond 16-bit differences the angle wraps as SegmentAngle computes it:
  // those boxes, and very large ones, take every pixel's angle directly.
  const bool keep = xmax <= 32767 && ymax <= 32767 && cells <= (int64(1) << 24);
  std::vector<int16> angles(keep ? size_t(cells) : 0, int16(-1));
  std::vector<int32> dists(keep && twistf != 0 ? size_t(cells) : 0, -1);
  const int32 across = xmax - xmin + 1;
  for (int32 row = box.top; row < box.bottom; ++row) {
    const int32 dy = center.v - row;
    const size_t rowx = keep ? size_t(std::abs(dy) - ymin) * size_t(across) : 0;
    int16* arow = keep ? angles.data() + rowx : nullptr;
    int32* drow = dists.empty() ? nullptr : dists.data() + rowx;
    for (int32 col = box.left; col < box.right; ++col) {
      if (!m.Allows(col, row)) continue;
      const Point p{int16(row), int16(col)};
      int32 a;
      if (keep) {
        const int32 dx = center.h - col;
        int16& inner = arow[std::abs(dx) - xmin];
        // The angle of the quadrant toward (+across, up), 0 .. 900.
        if (inner < 0) inner = SegmentAngle(Point{0, 0}, Point{int16(-std::abs(dy)), int16(std::abs(dx))});
        if (dx < 0) {
          a = dy <= 0 ? 1800 - inner : 1800 + inner;
        } else {
          a = dy <= 0 ? inner : 3600 - inner;
        }
        if (a == 3600) a = 0;
      } else {
        a = SegmentAngle(p, center);
      }
      int32 d = 0;
      if (drow != nullptr) {
        int32& kept = drow[std::abs(center.h - col) - xmin];
        if (kept < 0) kept = Point2PointDistance(p, center);
        d = kept;
      } else if (twistf != 0) {
        d = Point2PointDistance(p, center);
      }
      const int32 index = MOD_Positive(a * rpm + d * twistf / 10, 3600);
      t.Put(col, row, ramp[index]);
    }
    if (echo_active) Echo_Line(box.left, int16(row), box.right, int16(row));
  }
  Ramp_Stop();
}

// The ramps of the ridges by run length: a ramp depends only on how many
// entries it has, and runs of one length recur from line to line.
using RampsByLength = std::vector<std::vector<a_win_pixel32>>;

// One straight line of the ridges: positions (base + k along the walked
// axis, offset tab[k] across it). Every run of allowed positions gets the
// whole gradient.
void Ridge_Line(const Target& t, const Mask& m, const Rect& box, const a_grad_rec& grad, bool steep, int32 b,
                const std::vector<int32>& tab, RampsByLength& ramps) {
  const int32 n = int32(tab.size()) - 1;  // the last position lies on the far edge
  auto pos = [&](int32 k, int32& col, int32& row) {
    if (steep) {
      col = b + tab[size_t(k)];
      row = box.top + k;
    } else {
      col = box.left + k;
      row = b + tab[size_t(k)];
    }
  };
  int32 start = -1;
  for (int32 k = 0; k <= n; ++k) {
    int32 col, row;
    pos(k, col, row);
    const bool in = k < n && col >= box.left && col < box.right && row >= box.top && row < box.bottom &&
                    m.Allows(col, row);
    if (in) {
      if (start < 0) start = k;
      continue;
    }
    if (start < 0) continue;
    std::vector<a_win_pixel32>& run = ramps[size_t(k - start)];
    if (run.empty()) {
      Ramp_Init(start, k - 1, grad);
      if (ramp != nullptr) run.assign(ramp, ramp + ramp_n);
      Ramp_Stop();
    }
    if (int32(run.size()) == k - start) {
      for (int32 j = start; j < k; ++j) {
        pos(j, col, row);
        t.Put(col, row, run[size_t(j - start)]);
      }
    }
    if (echo_active) {
      int32 c0, r0, c1, r1;
      pos(start, c0, r0);
      pos(k - 1, c1, r1);
      Echo_Line(int16(c0), int16(r0), int16(c1), int16(r1));
    }
    start = -1;
  }
}

void Dither_Ridges(const Target& t, const Mask& m, const Rect& box, const a_grad_rec& grad, int16 angle) {
  int32 s = IntSin(Tenths(angle));
  int32 c = IntCos(Tenths(angle));
  const int32 width = int32(box.right) - box.left;
  const int32 height = int32(box.bottom) - box.top;
  const bool steep = std::abs(s) >= std::abs(c);
  // Walked along rows (steep lines) or along columns (flat lines): the table
  // holds the offset across for each step along, Bresenham-stepped.
  int32 along, across;
  if (steep) {
    if (s > 0) c = -c;
    along = height;
    across = c * height / std::abs(s);
  } else {
    if (c < 0) s = -s;
    along = width;
    across = -(s * width / std::abs(c));
  }
  std::vector<int32> tab(size_t(along) + 1);
  int32 err = along / 2, off = 0;
  const int32 sgn = across < 0 ? -1 : 1;
  for (int32 k = 0; k <= along; ++k) {
    tab[size_t(k)] = off;
    err += std::abs(across);
    if (err >= along) {
      off += sgn;
      err -= along;
    }
  }
  // Lines are one apart across; take every line that passes some pixel of the box.
  int32 lo = 0, hi = 0;
  for (int32 k = 0; k < along; ++k) {
    lo = std::min(lo, tab[size_t(k)]);
    hi = std::max(hi, tab[size_t(k)]);
  }
  const int32 first = steep ? box.left : box.top;
  const int32 end = steep ? box.right : box.bottom;
  RampsByLength ramps(size_t(along) + 1);
  for (int32 b = first - hi; b < end - lo; ++b) Ridge_Line(t, m, box, grad, steep, b, tab, ramps);
}

bool Dither_Contour(const Target& t, const Mask& m, const Rect& box, const a_grad_rec& grad) {
  const int32 width = int32(box.right) - box.left;
  const int32 height = int32(box.bottom) - box.top;
  const uint64 bytes = 2ull * uint64(width) * uint64(height);
  if (bytes > kMaxBlockSize) return false;
  Ptr block = New_Ptr_Clear(uint32(bytes));
  if (!block) return false;
  uint16* dist = reinterpret_cast<uint16*>(block);
  // Inside the mask starts deep, outside at 0.
  for (int32 y = 0; y < height; ++y)
    for (int32 x = 0; x < width; ++x) dist[y * width + x] = m.Allows(box.left + x, box.top + y) ? 65000 : 0;
  uint16 deepest = 0;
  // One scan line from (x, y) in direction (dx, dy), walked forward then back.
  auto scan = [&](int pass, int32 x, int32 y, int32 dx, int32 dy, int32 cost) {
    // Steps until the line leaves the box.
    int32 count = INT32_MAX;
    if (dx > 0) count = std::min(count, width - x);
    if (dx < 0) count = std::min(count, x + 1);
    if (dy > 0) count = std::min(count, height - y);
    if (x < 0 || x >= width || y < 0 || y >= height) count = 0;
    if (count <= 0 || count == INT32_MAX) return;
    const int32 step = dy * width + dx;
    const int32 first = y * width + x;
    int32 prev = 0;
    for (int32 i = 0, idx = first; i < count; ++i, idx += step) {
      int32 v = dist[idx];
      if (prev + cost < v) v = prev + cost;
      dist[idx] = uint16(v);
      prev = v;
    }
    prev = 0;
    for (int32 i = count - 1, idx = first + (count - 1) * step; i >= 0; --i, idx -= step) {
      int32 v = dist[idx];
      if (prev + cost < v) {
        v = prev + cost;
        dist[idx] = uint16(v);
      }
      if (pass == 4) deepest = std::max(deepest, uint16(v));
      prev = v;
    }
    if (echo_active)
      Echo_Line(int16(box.left + x), int16(box.top + y), int16(box.left + x + (count - 1) * dx),
                int16(box.top + y + (count - 1) * dy));
  };
  for (int32 d = -(height - 1); d < width; ++d) scan(1, std::max(d, 0), std::max(-d, 0), 1, 1, 17);
  for (int32 s = 0; s < width + height - 1; ++s) {
    const int32 x = std::min(s, width - 1);
    scan(2, x, s - x, -1, 1, 17);
  }
  for (int32 y = 0; y < height; ++y) scan(3, 0, y, 1, 0, 12);
  for (int32 x = 0; x < width; ++x) scan(4, x, 0, 0, 1, 12);

  Ramp_Init(0, deepest / 8, grad);
  for (int32 y = 0; y < height; ++y) {
    const int32 row = box.top + y;
    for (int32 x = 0; x < width; ++x) {
      const int32 col = box.left + x;
      if (!m.Allows(col, row)) continue;
      t.Put(col, row, ramp[std::min<int32>(dist[y * width + x] / 8, ramp_n - 1)]);
    }
    if (echo_active) Echo_Line(box.left, int16(row), box.right, int16(row));
  }
  Dispose_Ptr(block);
  Ramp_Stop();
  return true;
}

}  // namespace

int32 MOD_Positive(int32 n, int32 m) {
  if (m <= 0) return 0;
  const int32 r = n % m;
  return r < 0 ? r + m : r;
}

// --- Ramp ---------------------------------------------------------------------------------

void Interpolate_RGB(int32 inval, int32 inA, int32 inB, const a_win_pixel32& outA, const a_win_pixel32& outB,
                     a_win_pixel32& outval) {
  if (inA == inB || inval < inA) {
    outval = outA;
    return;
  }
  if (inval > inB) {
    outval = outB;
    return;
  }
  const int32 num = inval - inA, den = inB - inA;
  auto mix = [&](uint8 a, uint8 b) { return uint8(int32(a) + (int32(b) - int32(a)) * num / den); };
  a_win_pixel32 out;
  out.r = mix(outA.r, outB.r);
  out.g = mix(outA.g, outB.g);
  out.b = mix(outA.b, outB.b);
  // Alpha goes the same way, so a ramp between two opaque bands stays opaque.
  out.a = mix(outA.a, outB.a);
  outval = out;
}

void Interpolate_RGB24(int32 inval, int32 inA, int32 inB, const a_pixel24& outA, const a_pixel24& outB,
                       a_pixel24& outval) {
  if (inA == inB || inval < inA) {
    outval = outA;
    return;
  }
  if (inval > inB) {
    outval = outB;
    return;
  }
  const int32 num = inval - inA, den = inB - inA;
  auto mix = [&](uint8 a, uint8 b) { return uint8(int32(a) + (int32(b) - int32(a)) * num / den); };
  outval = a_pixel24{mix(outA.r, outB.r), mix(outA.g, outB.g), mix(outA.b, outB.b)};
}

void Ramp_Init(int32 minval, int32 maxval, const a_grad_rec& grad) {
  Ramp_Stop();
  // A reversed range is read as one entry.
  const int64 n64 = maxval >= minval ? int64(maxval) - minval + 1 : 1;
  const uint64 bytes = uint64(n64) * sizeof(a_win_pixel32);
  if (bytes > kMaxBlockSize) {
    g_err_mem_proc(uint32(std::min<uint64>(bytes, 0xFFFFFFFFu)));
    return;
  }
  ramp = reinterpret_cast<a_win_pixel32*>(New_Ptr(uint32(bytes)));
  if (!ramp) {
    g_err_mem_proc(uint32(bytes));
    return;
  }
  const int32 n = int32(n64);
  ramp_n = n;
  // The bands in use: at least one (band 0), at most the record's room.
  const int32 nbands = std::clamp<int32>(grad.nbands, 1, MAXGRADBANDS);
  const int32 nb = nbands - 1;
  if (n == 1) {
    ramp[0] = grad.bands[nb / 2];
  } else if (nb == 0) {
    // One band: every entry is that colour.
    std::fill(ramp, ramp + n, grad.bands[0]);
  } else if (nb <= n) {
    for (int32 b = 1; b <= nb; ++b) {
      const int32 first = int32(int64(b - 1) * (n - 1) / nb);
      const int32 last = int32(int64(b) * (n - 1) / nb);
      for (int32 v = first; v <= last; ++v)
        Interpolate_RGB(v, first, last, grad.bands[b - 1], grad.bands[b], ramp[v]);
    }
  } else {
    for (int32 v = 0; v < n; ++v) ramp[v] = grad.bands[int64(v) * nb / (n - 1)];
  }
}

void Ramp_Stop() {
  Ptr p = reinterpret_cast<Ptr>(ramp);
  Dispose_Ptr(p);
  ramp = nullptr;
  ramp_n = 0;
}

int32 Ramp_Count() { return ramp_n; }

a_win_pixel32 Ramp_Entry(int32 index) {
  if (ramp_n <= 0) return a_win_pixel32{};
  return ramp[std::clamp<int32>(index, 0, ramp_n - 1)];
}

void RGB32_To_RGB16_Dithered(int16 col, int16 row, const a_win_pixel32& pix32, uint16& pix16) {
  const uint8 t = matrix8[(col & 3) * 4 + (row & 3)];
  auto five = [t](uint8 c) {
    uint16 c5 = c / 8;
    if (c % 8 > t && c5 < 31) ++c5;
    return c5;
  };
  pix16 = uint16(five(pix32.r) * 1024 + five(pix32.g) * 32 + five(pix32.b));
}

// --- Progress echo -------------------------------------------------------------------------

static void Echo_Draw() {
  // A line of no length would be a dot that XOR cannot take back; leave it out.
  if (g_pecho.pointA == g_pecho.pointB) return;
  MoveTo(g_pecho.pointA.h, g_pecho.pointA.v);
  LineTo(g_pecho.pointB.h, g_pecho.pointB.v);
}

void Echo_Init(HWND echoport, EchoMapProc echomap) {
  Get_GState(g_pecho.save_port);
  SetPort(echoport);
  GetPenState(g_pecho.save_pen);
  GetForeColor(g_pecho.save_fore);
  ForeColor(0);
  PenSize(1, 1);
  PenMode(patXor);
  g_pecho.line_flag = false;
  g_pecho.count = 0;
  g_pecho.mapper_proc = echomap;
}

void Echo_Line(int16 ax, int16 ay, int16 bx, int16 by) {
  g_pecho.count = uint16((g_pecho.count + 1) % ECHO_INTERVAL);
  if (g_pecho.count != 0) return;
  if (g_pecho.line_flag) Echo_Draw();
  Point a{ay, ax}, b{by, bx};
  if (g_pecho.mapper_proc) {
    const Point a0 = a, b0 = b;
    g_pecho.mapper_proc(a0, a);
    g_pecho.mapper_proc(b0, b);
  }
  g_pecho.pointA = a;
  g_pecho.pointB = b;
  Echo_Draw();
  g_pecho.line_flag = true;
}

void Echo_Stop() {
  if (g_pecho.line_flag) Echo_Draw();
  g_pecho.line_flag = false;
  SetPenState(g_pecho.save_pen);
  // The white XOR pen's colour is ours too: give the window its own back.
  RGBForeColor(g_pecho.save_fore);
  Set_GState(g_pecho.save_port);
  g_pecho.mapper_proc = nullptr;
}

// --- The fill ----------------------------------------------------------------------------

bool8 Fill_Dither(a_dither_kind kind, PixMapPtr pix, PixMapPtr maskbits, Rect maskbbox, HWND echoport,
                  EchoMapProc echomap, bool8 /*fwd*/, const a_grad_rec* gradptr, int16 twistf, int16 angle,
                  Point center, int16 radius) {
  if (!pix || Is_Null_PixMap(*pix) || !gradptr) return true;
  Rect box;
  if (!SectRect(maskbbox, pix->bounds, box)) return true;
  Mask m;
  if (maskbits && !Is_Null_PixMap(*maskbits)) {
    if (EmptyRect(maskbits->bounds)) return true;
    m.base = reinterpret_cast<const uint8*>(maskbits->baseAddr);
    m.rb = PixMap_RowBytes(*maskbits);
    m.bounds = maskbits->bounds;
  }
  // Every method writes 16- or 32-bit pixels; a map of another depth would
  // be written past its rows.
  if (pix->pixelSize != 16 && pix->pixelSize != 32) {
    QUIT();
    return true;
  }
  const Target t{reinterpret_cast<uint8*>(pix->baseAddr), PixMap_RowBytes(*pix), pix->bounds, pix->pixelSize};
  echo_active = echoport != nullptr;
  if (echo_active) Echo_Init(echoport, echomap);
  bool8 result = true;
  switch (kind) {
    case LINEAR_DITHER: Dither_OnePass(ONEPASS_LINEAR, t, m, box, *gradptr, angle, 0, center, radius); break;
    case CIRCULAR_DITHER: Dither_OnePass(ONEPASS_RADIAL, t, m, box, *gradptr, angle, 0, center, radius); break;
    case DIAMOND_DITHER: Dither_OnePass(ONEPASS_DIAMOND, t, m, box, *gradptr, angle, 0, center, radius); break;
    case WAVY_DITHER: Dither_OnePass(ONEPASS_LINEAR, t, m, box, *gradptr, angle, 8, center, radius); break;
    case RIDGES_DITHER: Dither_Ridges(t, m, box, *gradptr, angle); break;
    case CONTOUR_DITHER: result = Dither_Contour(t, m, box, *gradptr); break;
    case RAY_DITHER: Dither_Rays(t, m, box, *gradptr, 1, twistf, center); break;
  }
  if (echo_active) Echo_Stop();
  echo_active = false;
  return result;
}
