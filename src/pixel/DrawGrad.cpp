// Gradient fills: a colour ramp built from the gradient's bands, an index per
// pixel by one of seven kinds, and an ordered dither on 16-bit maps. A
// moving XOR line in a window shows progress.
#include <algorithm>
#include <cstring>
#include <span>
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
  uint8* Row(int32 row) const { return base + uint32(row - bounds.top) * rb; }
  void Put(int32 col, int32 row, const a_win_pixel32& c) const { Put(Row(row), col, row, c); }
  // The same, on the row Row(row) gave.
  void Put(uint8* p, int32 col, int32 row, const a_win_pixel32& c) const {
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
  // One row's test, its bounds checks taken once.
  struct RowTest {
    const uint8* bits;  // NIL: the row lies outside the mask
    int32 left, right;
    bool all;
    bool Allows(int32 col) const {
      if (all) return true;
      if (bits == nullptr || col < left || col >= right) return false;
      const uint32 x = uint32(col - left);
      return (bits[x >> 3] & (0x80 >> (x & 7))) != 0;
    }
    // fn(a, b) for each run of allowed columns within [from, to), left to
    // right; whole bytes of the mask are skipped or taken at once.
    template <class F>
    void Runs(int32 from, int32 to, F&& fn) const {
      if (all) {
        if (from < to) fn(from, to);
        return;
      }
      if (bits == nullptr) return;
      from = std::max(from, left);
      to = std::min(to, right);
      for (int32 col = from; col < to;) {
        for (; col < to; ++col) {
          const uint32 x = uint32(col - left);
          if ((x & 7) == 0 && bits[x >> 3] == 0) {
            col += 7;
            continue;
          }
          if (bits[x >> 3] & (0x80 >> (x & 7))) break;
        }
        if (col >= to) break;
        const int32 start = col;
        for (; col < to; ++col) {
          const uint32 x = uint32(col - left);
          if ((x & 7) == 0 && bits[x >> 3] == 0xFF) {
            col += 7;
            continue;
          }
          if (!(bits[x >> 3] & (0x80 >> (x & 7)))) break;
        }
        fn(start, std::min(col, to));
      }
    }
  };
  RowTest Row(int32 row) const {
    if (!base) return RowTest{nullptr, 0, 0, true};
    if (row < bounds.top || row >= bounds.bottom) return RowTest{nullptr, 0, 0, false};
    return RowTest{base + uint32(row - bounds.top) * rb, bounds.left, bounds.right, false};
  }
};

// Whether an echo was asked for in this fill (set by Fill_Dither).
bool echo_active = false;

int16 Tenths(int16 degrees) { return int16(MOD_Positive(degrees, 360) * 10); }

// The radial kind: each pixel's squared distance from the centre, wrapped at
// the radius squared, in thousandths of the radius squared. Along a run of
// the mask's row the squared distance grows by 2 dh + 1 from one column to
// the next, so the remainder is carried along the run (one division a run,
// not two a pixel), and the thousandths come from a multiplication by the
// reciprocal, corrected to the exact quotient.
void Dither_Radial(const Target& t, const Mask& m, const Rect& box, const a_grad_rec& grad, Point center,
                   int16 radius) {
  if (radius < 10) radius = 10;
  const int64 r2 = int64(radius) * radius;
  const uint64 inverse = ~uint64(0) / uint64(r2);
  // floor(rem * 1000 / r2) for 0 <= rem < r2: the product by the reciprocal
  // falls short of the quotient by at most one.
  auto thousandths = [r2, inverse](int64 rem) {
    const uint64 a = uint64(rem) * 1000;
    uint64 q = uint64((unsigned __int128)a * inverse >> 64);
    if ((q + 1) * uint64(r2) <= a) ++q;
    return int32(q);
  };
  Ramp_Init(0, 1000, grad);
  const int32 last = ramp_n - 1;
  for (int32 row = box.top; row < box.bottom; ++row) {
    uint8* out = t.Row(row);
    const int64 dv = row - center.v;
    m.Row(row).Runs(box.left, box.right, [&](int32 a, int32 b) {
      int64 dh = a - center.h;
      int64 rem = (dh * dh + dv * dv) % r2;
      // The next column's remainder.
      auto step = [&] {
        rem += 2 * dh + 1;
        ++dh;
        if (rem >= r2) {
          rem -= r2;
          if (rem >= r2) rem %= r2;
        } else if (rem < 0) {
          rem += r2;
          if (rem < 0) rem = (rem % r2 + r2) % r2;
        }
      };
      if (t.depth == 32) {
        uint8* p = out + uint32(a - t.bounds.left) * 4;
        for (int32 col = a; col < b; ++col, p += 4) {
          std::memcpy(p, &ramp[std::min(thousandths(rem), last)].raw, 4);
          step();
        }
      } else {
        for (int32 col = a; col < b; ++col) {
          t.Put(out, col, row, ramp[std::min(thousandths(rem), last)]);
          step();
        }
      }
    });
    if (echo_active) Echo_Line(box.left, int16(row), box.right, int16(row));
  }
  Ramp_Stop();
}

void Dither_OnePass(a_onepass_kind kind, const Target& t, const Mask& m, const Rect& box, const a_grad_rec& grad,
                    int16 angle, int16 wave) {
  const int32 s = IntSin(Tenths(angle));
  const int32 c = IntCos(Tenths(angle));
  int32 minval = 0, maxval = 1000;
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
    case ONEPASS_DIAMOND:
      cx = float(int32(box.left) + box.right) / 2.0f;
      cy = float(int32(box.top) + box.bottom) / 2.0f;
      mx = float(int32(box.right) - box.left) / 2.0f;
      my = float(int32(box.bottom) - box.top) / 2.0f;
      break;
    case ONEPASS_RADIAL: return;  // Dither_Radial's
  }
  Ramp_Init(minval, maxval, grad);
  const int32 last = ramp_n - 1;
  for (int32 row = box.top; row < box.bottom; ++row) {
    const Mask::RowTest allowed = m.Row(row);
    uint8* out = t.Row(row);
    for (int32 col = box.left; col < box.right; ++col) {
      if (!allowed.Allows(col)) continue;
      int32 value;
      switch (kind) {
        case ONEPASS_LINEAR:
          value = col * c / 16384 - row * s / 16384;
          if (wave != 0) value += ripple[MOD_Positive(row * c / 16384 + col * s / 16384, 20)];
          break;
        default: {
          const float fx = std::abs(float(col) - cx) / mx;
          const float fy = std::abs(float(row) - cy) / my;
          value = int32(std::abs(fx - fy) * 1000.0f);
          break;
        }
      }
      const int32 index = value <= minval ? 0 : value >= maxval ? last : value - minval;
      t.Put(out, col, row, ramp[index]);
    }
    if (echo_active) Echo_Line(box.left, int16(row), box.right, int16(row));
  }
  Ramp_Stop();
}

// The angles of one row of the quadrant toward (+across, up), 0 .. 900, as
// SegmentAngle gives them, for distances across from `from` to `to` and
// `up` rows up. Going inward the tangent only grows, so the nearest entry of
// the tangent table is found by walking on from the last one rather than by
// a search for each.
void Quadrant_Angles(int32 up, int32 from, int32 to, int16* out) {
  const std::span<const int32, 901> table = Fast_Tangent_Table();
  int32 idx = 0;
  for (int32 across = to; across >= from; --across) {
    int32 a;
    if (across == 0 || up / across >= 1145) {
      a = 900;
    } else {
      const int32 tangent = up * 8192 / across;
      while (idx <= 900 && table[size_t(idx)] < tangent) ++idx;
      if (idx <= 900 && table[size_t(idx)] == tangent) {
        a = idx;
      } else if (idx == 0) {
        a = 0;
      } else if (idx > 900) {
        a = 900;
      } else {
        // Between two entries: the nearer one, the lower on a tie.
        a = table[size_t(idx)] - tangent < tangent - table[size_t(idx - 1)] ? idx : idx - 1;
      }
    }
    out[across - from] = int16(a);
  }
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
    const Mask::RowTest allowed = m.Row(row);
    uint8* out = t.Row(row);
    for (int32 col = box.left; col < box.right; ++col) {
      if (!allowed.Allows(col)) continue;
      const Point p{int16(row), int16(col)};
      int32 a;
      if (keep) {
        const int32 dx = center.h - col;
        // The angle of the quadrant toward (+across, up), 0 .. 900: the
        // row's angles are worked out together the first time it is met.
        if (arow[0] < 0) Quadrant_Angles(std::abs(dy), xmin, xmax, arow);
        const int16 inner = arow[std::abs(dx) - xmin];
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
      t.Put(out, col, row, ramp[index]);
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
  Ptr block = New_Ptr(uint32(bytes));  // every entry is set below
  if (!block) return false;
  uint16* dist = reinterpret_cast<uint16*>(block);
  // Inside the mask starts deep, outside at 0.
  for (int32 y = 0; y < height; ++y) {
    const Mask::RowTest allowed = m.Row(box.top + y);
    uint16* row = dist + y * width;
    if (allowed.all) {
      std::fill(row, row + width, uint16(65000));
      continue;
    }
    std::fill(row, row + width, uint16(0));
    if (allowed.bits == nullptr) continue;
    // The columns the mask's row covers; its bits read without more checks.
    const int32 from = std::max<int32>(box.left, allowed.left), to = std::min<int32>(box.right, allowed.right);
    for (int32 col = from; col < to; ++col) {
      const uint32 bit = uint32(col - allowed.left);
      if ((allowed.bits[bit >> 3] >> (7 - (bit & 7))) & 1) row[col - box.left] = 65000;
    }
  }

  // A chamfer distance: four sweeps (both diagonals, rows, columns), each
  // walking every line of its direction forward and then back, the box's
  // edge counting as outside. Lines of one direction never meet, so a sweep
  // runs row by row: a pixel takes its neighbour's value one row (or one
  // pixel) back along the line, plus the step's cost, when that is less.
  constexpr int32 kStraight = 12;
  constexpr int32 kDiagonal = 17;
  // One row against the row before it, whose pixel at x + shift is the
  // line's previous step; past the box's edge the previous step is 0.
  auto relax_row = [width](uint16* row, const uint16* before, int32 shift, int32 cost) {
    const int32 lo = std::max<int32>(0, -shift);
    const int32 hi = std::min<int32>(width, width - shift);
    for (int32 x = 0; x < lo; ++x) row[x] = uint16(std::min<int32>(row[x], cost));
    for (int32 x = lo; x < hi; ++x) row[x] = uint16(std::min<int32>(row[x], int32(before[x + shift]) + cost));
    for (int32 x = std::max(hi, lo); x < width; ++x) row[x] = uint16(std::min<int32>(row[x], cost));
  };
  auto sweep_rows = [&](int32 shift, int32 cost) {
    // Forward: top to bottom, each line's first pixel in the top row or at
    // the side it enters from.
    for (int32 x = 0; x < width; ++x) dist[x] = uint16(std::min<int32>(dist[x], cost));
    for (int32 y = 1; y < height; ++y) relax_row(dist + y * width, dist + (y - 1) * width, -shift, cost);
    // Back: bottom to top.
    uint16* last = dist + (height - 1) * width;
    for (int32 x = 0; x < width; ++x) last[x] = uint16(std::min<int32>(last[x], cost));
    for (int32 y = height - 2; y >= 0; --y) relax_row(dist + y * width, dist + (y + 1) * width, shift, cost);
  };
  if (width > 0 && height > 0) {
    sweep_rows(1, kDiagonal);   // down and to the right
    sweep_rows(-1, kDiagonal);  // down and to the left
    // Rows, four at a time: each row's walk is one chain of dependent
    // steps, and four chains side by side keep the processor busy.
    constexpr int32 kLanes = 4;
    for (int32 y0 = 0; y0 < height; y0 += kLanes) {
      const int32 lanes = std::min(kLanes, height - y0);
      uint16* rows[kLanes];
      for (int32 k = 0; k < kLanes; ++k) rows[k] = dist + (y0 + std::min(k, lanes - 1)) * width;
      int32 prev[kLanes] = {};
      for (int32 x = 0; x < width; ++x)
        for (int32 k = 0; k < kLanes; ++k) prev[k] = rows[k][x] = uint16(std::min<int32>(rows[k][x], prev[k] + kStraight));
      std::fill(prev, prev + kLanes, 0);
      for (int32 x = width - 1; x >= 0; --x)
        for (int32 k = 0; k < kLanes; ++k) prev[k] = rows[k][x] = uint16(std::min<int32>(rows[k][x], prev[k] + kStraight));
      if (echo_active)
        for (int32 k = 0; k < lanes; ++k)
          Echo_Line(box.left, int16(box.top + y0 + k), int16(box.right - 1), int16(box.top + y0 + k));
    }
    sweep_rows(0, kStraight);  // columns
  }
  uint16 deepest = 0;
  for (int32 i = 0, n = width * height; i < n; ++i) deepest = std::max(deepest, dist[i]);

  Ramp_Init(0, deepest / 8, grad);
  for (int32 y = 0; y < height; ++y) {
    const int32 row = box.top + y;
    uint8* out = t.Row(row);
    const uint16* d = dist + y * width;
    // Every pixel the mask allows is at least one step deep; the others
    // stayed 0.
    for (int32 x = 0; x < width; ++x) {
      if (d[x] == 0) continue;
      t.Put(out, box.left + x, row, ramp[std::min<int32>(d[x] / 8, ramp_n - 1)]);
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
    case LINEAR_DITHER: Dither_OnePass(ONEPASS_LINEAR, t, m, box, *gradptr, angle, 0); break;
    case CIRCULAR_DITHER: Dither_Radial(t, m, box, *gradptr, center, radius); break;
    case DIAMOND_DITHER: Dither_OnePass(ONEPASS_DIAMOND, t, m, box, *gradptr, angle, 0); break;
    case WAVY_DITHER: Dither_OnePass(ONEPASS_LINEAR, t, m, box, *gradptr, angle, 8); break;
    case RIDGES_DITHER: Dither_Ridges(t, m, box, *gradptr, angle); break;
    case CONTOUR_DITHER: result = Dither_Contour(t, m, box, *gradptr); break;
    case RAY_DITHER: Dither_Rays(t, m, box, *gradptr, 1, twistf, center); break;
  }
  if (echo_active) Echo_Stop();
  echo_active = false;
  return result;
}
