#include "pixel/FastFill.h"

#include <algorithm>
#include <new>
#include <vector>

#include "host/HostByteOrder.h"
#include "pixel/Fast.h"
#include "platform/SysErr.h"

namespace {

// Pixel readers: the value compared against the seed's. Pixels are stored
// little-endian.
struct Pix8 {
  static uint32 Key(const uint8* row, int32 x) { return row[x]; }
};
struct Pix16 {
  static uint32 Key(const uint8* row, int32 x) { return Load_LE16(row + 2 * int64(x)); }
};
struct Pix32 {
  // Blue, green and red; the alpha byte (the top one) does not take part.
  static uint32 Key(const uint8* row, int32 x) { return Load_LE32(row + 4 * int64(x)) & 0x00FFFFFFu; }
};

// A pending seed, relative to the mask's top-left corner. 32-bit fields: a
// map may be wider than a 16-bit coordinate can count from 0.
struct Seed {
  int32 v, h;
};

// Enough for ordinary fills without regrowing; the stack grows beyond it.
constexpr size_t kInitialSeeds = 20000;

inline bool Bit(const uint8* mrow, int32 x) { return (mrow[x >> 3] & g_single_bits_8[x & 7]) != 0; }
inline void Set_Bit(uint8* mrow, int32 x) { mrow[x >> 3] = uint8(mrow[x >> 3] | g_single_bits_8[x & 7]); }

template <typename Reader>
void Seed_Fill(const PixMap* pix, const PixMap* mask, int16 seedx, int16 seedy, Rect& bbox) {
  bbox = Rect{0, 0, 0, 0};
  if (pix->baseAddr == nullptr || mask->baseAddr == nullptr) return;
  // Work on the area both maps cover, so neither is read or written beyond its rows.
  const int32 width = std::min(std::max<int32>(int32(mask->bounds.right) - mask->bounds.left, 0),
                               std::max<int32>(int32(pix->bounds.right) - pix->bounds.left, 0));
  const int32 height = std::min(std::max<int32>(int32(mask->bounds.bottom) - mask->bounds.top, 0),
                                std::max<int32>(int32(pix->bounds.bottom) - pix->bounds.top, 0));
  const int32 sx = int32(seedx) - mask->bounds.left;
  const int32 sy = int32(seedy) - mask->bounds.top;
  if (sx < 0 || sy < 0 || sx >= width || sy >= height) return;

  const uint8* pbase = reinterpret_cast<const uint8*>(pix->baseAddr);
  uint8* mbase = reinterpret_cast<uint8*>(mask->baseAddr);
  const uint32 ps = PixMap_RowBytes(*pix);
  const uint32 ms = PixMap_RowBytes(*mask);
  auto prow = [&](int32 v) { return pbase + int64(v) * ps; };
  auto mrow = [&](int32 v) { return mbase + int64(v) * ms; };

  const uint32 seedval = Reader::Key(prow(sy), sx);

  std::vector<Seed> stack;
  bool failed = false;
  auto push = [&](int32 v, int32 h) {
    try {
      stack.push_back(Seed{v, h});
    } catch (const std::bad_alloc&) {
      failed = true;
    }
  };
  try {
    stack.reserve(kInitialSeeds);
  } catch (const std::bad_alloc&) {
    g_err_mem_proc(uint32(kInitialSeeds * sizeof(Seed)));
    return;
  }
  push(sy, sx);

  int32 boxLeft = sx, boxRight = sx, boxTop = sy, boxBottom = sy;
  int32 xleft = 0, xright = 0;

  // Pushes the rightmost pixel of every run on row y, within the current
  // span, that still belongs to the area.
  auto Check_Line = [&](int32 y) {
    const uint8* p = prow(y);
    const uint8* m = mrow(y);
    bool previn = false;
    for (int32 x = xleft; x <= xright;) {
      // Outside a run, a mask byte with all bits set holds no new pixel:
      // rows already filled are passed eight pixels at a time.
      if (!previn && (x & 7) == 0 && x + 7 <= xright && m[x >> 3] == 0xFF) {
        x += 8;
        continue;
      }
      const bool in = !Bit(m, x) && Reader::Key(p, x) == seedval;
      if (previn && !in) push(y, x - 1);
      previn = in;
      ++x;
    }
    if (previn) push(y, xright);
  };

  while (!stack.empty() && !failed) {
    const Seed s = stack.back();
    stack.pop_back();
    const int32 v = s.v, h = s.h;
    const uint8* p = prow(v);
    uint8* m = mrow(v);
    // The start pixel matched when it was pushed.
    Set_Bit(m, h);
    xright = h;
    for (int32 x = h + 1; x < width && !Bit(m, x) && Reader::Key(p, x) == seedval; ++x) {
      Set_Bit(m, x);
      xright = x;
    }
    xleft = h;
    for (int32 x = h - 1; x >= 0 && !Bit(m, x) && Reader::Key(p, x) == seedval; --x) {
      Set_Bit(m, x);
      xleft = x;
    }
    boxLeft = std::min(boxLeft, xleft);
    boxRight = std::max(boxRight, xright);
    boxTop = std::min(boxTop, v);
    boxBottom = std::max(boxBottom, v);
    if (v + 1 < height) Check_Line(v + 1);
    if (v > 0) Check_Line(v - 1);
  }
  if (failed) g_err_mem_proc(uint32(std::min<size_t>((stack.size() + 1) * 2 * sizeof(Seed), 0xFFFFFFFFu)));

  bbox.left = int16(boxLeft + mask->bounds.left);
  bbox.top = int16(boxTop + mask->bounds.top);
  bbox.right = int16(boxRight + 1 + mask->bounds.left);
  bbox.bottom = int16(boxBottom + 1 + mask->bounds.top);
}

}  // namespace

void PixMap8_SeedFill(PixMapPtr pix_arg, PixMapPtr mask_arg, int16 seedx, int16 seedy, Rect& bbox) {
  Seed_Fill<Pix8>(pix_arg, mask_arg, seedx, seedy, bbox);
}

void PixMap16_SeedFill(PixMapPtr pix_arg, PixMapPtr mask_arg, int16 seedx, int16 seedy, Rect& bbox) {
  Seed_Fill<Pix16>(pix_arg, mask_arg, seedx, seedy, bbox);
}

void PixMap32_SeedFill(PixMapPtr pix_arg, PixMapPtr mask_arg, int16 seedx, int16 seedy, Rect& bbox) {
  Seed_Fill<Pix32>(pix_arg, mask_arg, seedx, seedy, bbox);
}

void DDA(Point p1, Point p2, a_imprint_proc imprint, void* data) {
  // 32-bit steps: identical to 16-bit ones for every segment whose extent
  // fits 16 bits, and still exact for the longest segments between corners.
  int32 h = p1.h, v = p1.v;
  const int32 dx = int32(p2.h) - p1.h, dy = int32(p2.v) - p1.v;
  const int32 sh = dx < 0 ? -1 : 1, sv = dy < 0 ? -1 : 1;
  const int32 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  if (ady > adx) {
    int32 err = -((ady + 1) / 2);
    for (;;) {
      imprint(int16(h), int16(v), data);
      if (v == p2.v) break;
      v += sv;
      err += adx;
      if (err >= 0) {
        h += sh;
        err -= ady;
      }
    }
  } else {
    int32 err = -((adx + 1) / 2);
    for (;;) {
      imprint(int16(h), int16(v), data);
      if (h == p2.h) break;
      h += sh;
      err += ady;
      if (err >= 0) {
        v += sv;
        err -= adx;
      }
    }
  }
}

namespace {

struct a_bresenham_walk {
  Point prev;
  bool first;
  a_walk_proc step;
  void* data;
};

void Bresenham_Pixel(int16 x, int16 y, void* data) {
  auto& w = *static_cast<a_bresenham_walk*>(data);
  const Point pt{y, x};
  if (w.first)
    w.first = false;
  else
    w.step(pt, pt.h != w.prev.h && pt.v != w.prev.v, w.data);
  w.prev = pt;
}

}  // namespace

void Bresenham(Point p1, Point p2, a_walk_proc step, void* data) {
  a_bresenham_walk w{p1, true, step, data};
  DDA(p1, p2, Bresenham_Pixel, &w);
}
