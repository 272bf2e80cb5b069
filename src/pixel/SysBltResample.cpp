// The two resamplers of the blit layer: a separable cubic scale (smooth
// reductions and enlargements of 32-bit pictures and 8-bit masks) and the
// matrix blit (scale, flip, rotate, move, or any 3 x 3 matrix).
#include <algorithm>
#include <cmath>
#include <vector>

#include "pixel/SysBlt.h"
#include "platform/QDRect.h"

namespace {

// Weights are 14-bit fixed point and add up to exactly 1 << 14 for every
// output pixel, so a flat area stays exactly flat.
constexpr int32 kWeightBits = 14;
constexpr int32 kWeightOne = 1 << kWeightBits;
// The vertical pass keeps 6 fraction bits for the horizontal one.
constexpr int32 kPass1Shift = 8;
constexpr int32 kPass2Shift = 2 * kWeightBits - kPass1Shift;

// Cubic convolution kernel with a = -0.5 (interpolating: 1 at 0, 0 at the
// other integers).
double Cubic(double t) {
  constexpr double a = -0.5;
  t = std::fabs(t);
  if (t <= 1.0) return ((a + 2.0) * t - (a + 3.0)) * t * t + 1.0;
  if (t < 2.0) return ((a * t - 5.0 * a) * t + 8.0 * a) * t - 4.0 * a;
  return 0.0;
}

// The taps of every output pixel along one axis: indices (relative to the
// source rectangle's start, already kept inside [lo, hi)) and weights.
struct Taps {
  std::vector<int32> start;  // per output pixel, into idx / w; one extra at the end
  std::vector<int32> idx;
  std::vector<int32> w;
};

// Output pixels o0 .. o1 - 1 of an axis of dn pixels from sn source pixels.
void Make_Taps(int32 sn, int32 dn, int32 o0, int32 o1, int32 lo, int32 hi, Taps& t) {
  const double ratio = double(sn) / double(dn);
  const double scale = std::max(1.0, ratio);  // reductions widen the kernel
  const double support = 2.0 * scale;
  t.start.clear();
  t.idx.clear();
  t.w.clear();
  std::vector<double> fw;
  for (int32 o = o0; o < o1; ++o) {
    t.start.push_back(int32(t.idx.size()));
    const double center = (double(o) + 0.5) * ratio - 0.5;
    const int32 first = int32(std::ceil(center - support));
    const int32 last = int32(std::floor(center + support));
    fw.clear();
    const size_t base = t.idx.size();
    double sum = 0.0;
    for (int32 i = first; i <= last; ++i) {
      const double k = Cubic((double(i) - center) / scale);
      if (k == 0.0) continue;
      t.idx.push_back(std::clamp(i, lo, hi - 1));
      fw.push_back(k);
      sum += k;
    }
    if (fw.empty() || sum == 0.0) {
      // Cannot happen for a proper kernel; take the nearest pixel.
      t.idx.resize(base);
      t.idx.push_back(std::clamp(int32(std::floor(center + 0.5)), lo, hi - 1));
      t.w.push_back(kWeightOne);
      continue;
    }
    int32 total = 0;
    size_t biggest = 0;
    for (size_t k = 0; k < fw.size(); ++k) {
      const int32 q = int32(std::lround(fw[k] / sum * kWeightOne));
      t.w.push_back(q);
      total += q;
      if (std::fabs(fw[k]) > std::fabs(fw[biggest])) biggest = k;
    }
    t.w[base + biggest] += kWeightOne - total;
  }
  t.start.push_back(int32(t.idx.size()));
}

template <int N>
void Cubic_Rows(const PixMap* src, const PixMap* dst, const Rect& sr, const Rect& dr, const Rect& sv,
                const Rect& out) {
  const int32 sw = int32(sr.right) - sr.left, sh = int32(sr.bottom) - sr.top;
  const int32 dw = int32(dr.right) - dr.left, dh = int32(dr.bottom) - dr.top;
  Taps th, tv;
  Make_Taps(sw, dw, out.left - dr.left, out.right - dr.left, sv.left - sr.left, sv.right - sr.left, th);
  Make_Taps(sh, dh, out.top - dr.top, out.bottom - dr.top, sv.top - sr.top, sv.bottom - sr.top, tv);
  // The source columns the horizontal taps reach.
  const int32 cmin = *std::min_element(th.idx.begin(), th.idx.end());
  const int32 cmax = *std::max_element(th.idx.begin(), th.idx.end());
  const int32 ncols = cmax - cmin + 1;
  std::vector<int32> row(size_t(ncols) * N);
  const uint32 sstride = PixMap_RowBytes(src), dstride = PixMap_RowBytes(dst);
  const auto* sbase = reinterpret_cast<const uint8*>(src->baseAddr);
  auto* dbase = reinterpret_cast<uint8*>(dst->baseAddr);
  const int32 ncol_out = int32(out.right) - out.left;
  for (int32 r = 0; r < int32(out.bottom) - out.top; ++r) {
    // Vertical pass over the needed columns.
    std::fill(row.begin(), row.end(), 0);
    for (int32 k = tv.start[r]; k < tv.start[r + 1]; ++k) {
      const int32 sy = sr.top + tv.idx[k] - src->bounds.top;
      const int32 wv = tv.w[k];
      const uint8* sp = sbase + size_t(sy) * sstride + size_t(sr.left + cmin - src->bounds.left) * N;
      for (int32 c = 0; c < ncols * N; ++c) row[c] += wv * sp[c];
    }
    for (int32& v : row) v = (v + (1 << (kPass1Shift - 1))) >> kPass1Shift;
    // Horizontal pass into the destination row.
    uint8* dp = dbase + size_t(out.top + r - dst->bounds.top) * dstride + size_t(out.left - dst->bounds.left) * N;
    for (int32 j = 0; j < ncol_out; ++j) {
      int32 acc[N] = {};
      for (int32 k = th.start[j]; k < th.start[j + 1]; ++k) {
        const int32* p = &row[size_t(th.idx[k] - cmin) * N];
        for (int n = 0; n < N; ++n) acc[n] += th.w[k] * p[n];
      }
      for (int n = 0; n < N; ++n) {
        const int32 v = (acc[n] + (1 << (kPass2Shift - 1))) >> kPass2Shift;
        dp[size_t(j) * N + size_t(n)] = uint8(std::clamp(v, 0, 255));
      }
    }
  }
}

int32 Clamp16(double v) { return int32(std::clamp(v, -32768.0, 32767.0)); }

}  // namespace

bool8 Bicubic_Blt(const PixMap* src, const PixMap* dst, Rect src_rect, Rect dst_rect) {
  if (!src || !dst || !src->baseAddr || !dst->baseAddr) return false;
  const int16 depth = src->pixelSize;
  if (depth != dst->pixelSize || (depth != 32 && depth != 8)) return false;
  if (EmptyRect(src_rect) || EmptyRect(dst_rect)) return true;
  Rect sv, out;
  if (!SectRect(src_rect, src->bounds, sv) || !SectRect(dst_rect, dst->bounds, out)) return true;
  if (depth == 32)
    Cubic_Rows<4>(src, dst, src_rect, dst_rect, sv, out);
  else
    Cubic_Rows<1>(src, dst, src_rect, dst_rect, sv, out);
  return true;
}

bool8 Matrix_Blt(const PixMap* src, const PixMap* dst, Rect src_rect, const MatrixRecord& matrix,
                 const Rect& limit, bool8 smooth) {
  if (!src || !dst || !src->baseAddr || !dst->baseAddr) return false;
  const int16 depth = src->pixelSize;
  if (depth != dst->pixelSize || depth < 8) return false;
  double m[3][3], inv[3][3];
  Matrix_To_Reals(matrix, m);
  if (!Invert_Reals(m, inv)) return false;
  Rect sv;
  if (EmptyRect(src_rect) || !SectRect(src_rect, src->bounds, sv)) return true;

  // Destination area: the box of the transformed source rectangle.
  Rect area;
  if (!SectRect(limit, dst->bounds, area)) return true;
  // A matrix that keeps rectangles upright (scales, flips, moves, quarter
  // turns) fills exactly the rectangle TransformRect gives for src_rect:
  // edges rounded to the nearest pixel, halves up. Callers size their worlds
  // by that rectangle; testing pixel centres instead would leave its last
  // row or column blank whenever an edge falls on a half pixel (a 1-pixel
  // row scaled by 1.5 covers 0 .. 1.5, a box of 2 rows, and the second
  // row's centre maps exactly onto the source's bottom edge).
  const bool upright = m[0][2] == 0.0 && m[1][2] == 0.0 &&
                       ((m[0][1] == 0.0 && m[1][0] == 0.0) || (m[0][0] == 0.0 && m[1][1] == 0.0));
  const double cx[4] = {double(src_rect.left), double(src_rect.right), double(src_rect.right), double(src_rect.left)};
  const double cy[4] = {double(src_rect.top), double(src_rect.top), double(src_rect.bottom), double(src_rect.bottom)};
  double minx = 1e300, maxx = -1e300, miny = 1e300, maxy = -1e300;
  bool finite = true;
  for (int k = 0; k < 4; ++k) {
    const double w = cx[k] * m[0][2] + cy[k] * m[1][2] + m[2][2];
    if (!(w > 0.0)) {
      finite = false;
      break;
    }
    const double x = (cx[k] * m[0][0] + cy[k] * m[1][0] + m[2][0]) / w;
    const double y = (cx[k] * m[0][1] + cy[k] * m[1][1] + m[2][1]) / w;
    minx = std::min(minx, x);
    maxx = std::max(maxx, x);
    miny = std::min(miny, y);
    maxy = std::max(maxy, y);
  }
  if (finite) {
    const Rect box = upright ? Rect{int16(Clamp16(std::floor(miny + 0.5))), int16(Clamp16(std::floor(minx + 0.5))),
                                    int16(Clamp16(std::floor(maxy + 0.5))), int16(Clamp16(std::floor(maxx + 0.5)))}
                             : Rect{int16(Clamp16(std::floor(miny))), int16(Clamp16(std::floor(minx))),
                                    int16(Clamp16(std::ceil(maxy))), int16(Clamp16(std::ceil(maxx)))};
    Rect cut;
    if (!SectRect(area, box, cut)) return true;
    area = cut;
  }

  const int32 bpp = depth / 8;
  const uint32 sstride = PixMap_RowBytes(src), dstride = PixMap_RowBytes(dst);
  const auto* sbase = reinterpret_cast<const uint8*>(src->baseAddr);
  auto* dbase = reinterpret_cast<uint8*>(dst->baseAddr);
  const bool affine = inv[0][2] == 0.0 && inv[1][2] == 0.0 && inv[2][2] == 1.0;
  const bool bilinear = smooth && (depth == 32 || depth == 8);
  auto pixel = [&](int32 h, int32 v) {
    return sbase + size_t(v - src->bounds.top) * sstride + size_t(h - src->bounds.left) * size_t(bpp);
  };
  for (int32 y = area.top; y < area.bottom; ++y) {
    uint8* drow = dbase + size_t(y - dst->bounds.top) * dstride;
    const double py = double(y) + 0.5;
    for (int32 x = area.left; x < area.right; ++x) {
      const double px = double(x) + 0.5;
      double u = px * inv[0][0] + py * inv[1][0] + inv[2][0];
      double v = px * inv[0][1] + py * inv[1][1] + inv[2][1];
      if (!affine) {
        const double w = px * inv[0][2] + py * inv[1][2] + inv[2][2];
        if (w == 0.0) continue;
        u /= w;
        v /= w;
      }
      // Within an upright box every pixel is drawn: a centre on the far edge
      // samples the edge pixel (the reads below are clamped to the source).
      if (!(upright && finite) && !(u >= src_rect.left && u < src_rect.right && v >= src_rect.top && v < src_rect.bottom))
        continue;
      uint8* dp = drow + size_t(x - dst->bounds.left) * size_t(bpp);
      if (!bilinear) {
        const int32 sx = std::clamp(int32(std::floor(u)), int32(sv.left), int32(sv.right) - 1);
        const int32 sy = std::clamp(int32(std::floor(v)), int32(sv.top), int32(sv.bottom) - 1);
        std::copy_n(pixel(sx, sy), bpp, dp);
        continue;
      }
      // Pixel centres sit at integer + 0.5.
      const double fx = u - 0.5, fy = v - 0.5;
      int32 ix = int32(std::floor(fx)), iy = int32(std::floor(fy));
      int32 tx = int32(std::lround((fx - ix) * 256.0)), ty = int32(std::lround((fy - iy) * 256.0));
      if (tx == 256) {
        ++ix;
        tx = 0;
      }
      if (ty == 256) {
        ++iy;
        ty = 0;
      }
      const int32 x0 = std::clamp(ix, int32(sv.left), int32(sv.right) - 1);
      const int32 x1 = std::clamp(ix + 1, int32(sv.left), int32(sv.right) - 1);
      const int32 y0 = std::clamp(iy, int32(sv.top), int32(sv.bottom) - 1);
      const int32 y1 = std::clamp(iy + 1, int32(sv.top), int32(sv.bottom) - 1);
      const uint8 *p00 = pixel(x0, y0), *p01 = pixel(x1, y0), *p10 = pixel(x0, y1), *p11 = pixel(x1, y1);
      const int32 w00 = (256 - tx) * (256 - ty), w01 = tx * (256 - ty), w10 = (256 - tx) * ty, w11 = tx * ty;
      for (int32 n = 0; n < bpp; ++n) {
        const int32 acc = w00 * p00[n] + w01 * p01[n] + w10 * p10[n] + w11 * p11[n];
        dp[n] = uint8((acc + 32768) >> 16);
      }
    }
  }
  return true;
}
