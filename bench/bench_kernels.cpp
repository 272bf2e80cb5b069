// Blit kernels against their yardsticks, in one process on the same maps:
// srcCopy 32 to 32 against memcpy of the same rows, blend and ALPHA against
// pixman's OVER composite, and nearest scaling by 0.7 against pixman's
// nearest-filter scaled composite. Sizes: a disc face at canvas resolution
// (1417 x 1417) and a large print band (4000 x 4000).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>

#include "pixel/Asm32Blt.h"
#include "pixel/SysPix.h"

namespace {

struct Maps {
  PixMap src{}, dst{};
  int32 side;
  Maps(int32 n, int32 dst_side) : side(n) {
    New_PixMap(src, Rect{0, 0, int16(n), int16(n)}, 32, nullptr);
    New_PixMap(dst, Rect{0, 0, int16(dst_side), int16(dst_side)}, 32, nullptr);
    // Colours and alphas that vary from pixel to pixel, so no composite can
    // take an all-opaque or all-clear shortcut for long.
    for (int32 v = 0; v < n; ++v) {
      uint32* row = reinterpret_cast<uint32*>(src.baseAddr + size_t(v) * PixMap_RowBytes(src));
      for (int32 h = 0; h < n; ++h) {
        const uint32 a = uint32(h * 7 + v * 13) & 0xFF;
        row[h] = a << 24 | (uint32(h) & 0xFF) << 16 | (uint32(v) & 0xFF) << 8 | (uint32(h + v) & 0xFF);
      }
    }
    for (int32 v = 0; v < dst_side; ++v) {
      uint32* row = reinterpret_cast<uint32*>(dst.baseAddr + size_t(v) * PixMap_RowBytes(dst));
      for (int32 h = 0; h < dst_side; ++h) row[h] = 0xFF000000u | uint32(h * 3 + v) * 0x010101u;
    }
  }
  ~Maps() {
    Dispose_PixMap(src);
    Dispose_PixMap(dst);
  }
  pixman_image_t* Wrap(const PixMap& pm) const {
    const int32 w = pm.bounds.right - pm.bounds.left, h = pm.bounds.bottom - pm.bounds.top;
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, reinterpret_cast<uint32_t*>(pm.baseAddr),
                                    int(PixMap_RowBytes(pm)));
  }
};

void Set_Pixels(benchmark::State& state, int64 pixels) {
  state.SetItemsProcessed(int64(state.iterations()) * pixels);
}

// ---------------------------------------------------------------------------
// srcCopy against memcpy
// ---------------------------------------------------------------------------

void BM_Memcpy_Rows(benchmark::State& state) {
  const int32 n = int32(state.range(0));
  Maps m(n, n);
  const uint32 stride = PixMap_RowBytes(m.src);
  for (auto _ : state) {
    for (int32 v = 0; v < n; ++v)
      std::memcpy(m.dst.baseAddr + size_t(v) * stride, m.src.baseAddr + size_t(v) * stride, size_t(n) * 4);
    benchmark::ClobberMemory();
  }
  Set_Pixels(state, int64(n) * n);
}

void BM_SrcCopy_32_32(benchmark::State& state) {
  const int32 n = int32(state.range(0));
  Maps m(n, n);
  const Rect r{0, 0, int16(n), int16(n)};
  for (auto _ : state) {
    Asm32_Blt_32_32(&m.src, &m.dst, &r, &r, srcCopy, 255);
    benchmark::ClobberMemory();
  }
  Set_Pixels(state, int64(n) * n);
}

// ---------------------------------------------------------------------------
// blend and ALPHA against pixman OVER
// ---------------------------------------------------------------------------

void BM_Pixman_Over(benchmark::State& state) {
  const int32 n = int32(state.range(0));
  Maps m(n, n);
  pixman_image_t* s = m.Wrap(m.src);
  pixman_image_t* d = m.Wrap(m.dst);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, n, n);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
  Set_Pixels(state, int64(n) * n);
}

// OVER through a constant mask: the composite that matches a blend at a
// fixed opacity.
void BM_Pixman_Over_Solid_Mask(benchmark::State& state) {
  const int32 n = int32(state.range(0));
  Maps m(n, n);
  pixman_image_t* s = m.Wrap(m.src);
  pixman_image_t* d = m.Wrap(m.dst);
  const pixman_color_t half{0x8080, 0x8080, 0x8080, 0x8080};
  pixman_image_t* mask = pixman_image_create_solid_fill(&half);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, s, mask, d, 0, 0, 0, 0, 0, 0, n, n);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(mask);
  pixman_image_unref(s);
  pixman_image_unref(d);
  Set_Pixels(state, int64(n) * n);
}

void BM_Blend_32_32(benchmark::State& state) {
  const int32 n = int32(state.range(0));
  Maps m(n, n);
  const Rect r{0, 0, int16(n), int16(n)};
  for (auto _ : state) {
    Asm32_Blt_32_32(&m.src, &m.dst, &r, &r, blend, 128);
    benchmark::ClobberMemory();
  }
  Set_Pixels(state, int64(n) * n);
}

void BM_Alpha_32_32(benchmark::State& state) {
  const int32 n = int32(state.range(0));
  Maps m(n, n);
  const Rect r{0, 0, int16(n), int16(n)};
  for (auto _ : state) {
    Asm32_Blt_32_32(&m.src, &m.dst, &r, &r, ALPHA, 255);
    benchmark::ClobberMemory();
  }
  Set_Pixels(state, int64(n) * n);
}

// ---------------------------------------------------------------------------
// Nearest scaling by 0.7 against pixman's nearest filter
// ---------------------------------------------------------------------------

int32 Scaled(int32 n) { return n * 7 / 10; }

void BM_Pixman_Nearest_Scale(benchmark::State& state) {
  const int32 n = int32(state.range(0)), dn = Scaled(n);
  Maps m(n, dn);
  pixman_image_t* s = m.Wrap(m.src);
  pixman_image_t* d = m.Wrap(m.dst);
  // The transform maps destination coordinates to source coordinates.
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(double(n) / dn), pixman_double_to_fixed(double(n) / dn));
  pixman_image_set_transform(s, &t);
  pixman_image_set_filter(s, PIXMAN_FILTER_NEAREST, nullptr, 0);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, dn, dn);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
  Set_Pixels(state, int64(dn) * dn);
}

void BM_Nearest_Scale_32_32(benchmark::State& state) {
  const int32 n = int32(state.range(0)), dn = Scaled(n);
  Maps m(n, dn);
  const Rect sr{0, 0, int16(n), int16(n)}, dr{0, 0, int16(dn), int16(dn)};
  for (auto _ : state) {
    Asm32_Blt_32_32(&m.src, &m.dst, &sr, &dr, srcCopy, 255);
    benchmark::ClobberMemory();
  }
  Set_Pixels(state, int64(dn) * dn);
}

}  // namespace

BENCHMARK(BM_Memcpy_Rows)->Arg(1417)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SrcCopy_32_32)->Arg(1417)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pixman_Over)->Arg(1417)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pixman_Over_Solid_Mask)->Arg(1417)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Blend_32_32)->Arg(1417)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Alpha_32_32)->Arg(1417)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pixman_Nearest_Scale)->Arg(1417)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Nearest_Scale_32_32)->Arg(1417)->Arg(4000)->Unit(benchmark::kMicrosecond);
