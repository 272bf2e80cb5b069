#include "pixel/DrawUtil.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "host/HostByteOrder.h"


uint8 map_0_255[256];

void Init_Map0() {
  for (int i = 0; i < 256; ++i) map_0_255[i] = uint8(i);
  map_0_255[0] = 255;
  map_0_255[255] = 0;
}

namespace {
const bool kMapBuilt = [] {
  Init_Map0();
  return true;
}();

inline uint8 Widen5(uint32 c) { return uint8(c * 8 + c / 4); }
}  // namespace

// ---------------------------------------------------------------------------
// Conversions
// ---------------------------------------------------------------------------

void RGB24_To_RGB32(const a_pixel24& in, a_pixel32& out) {
  out.r = in.r;
  out.g = in.g;
  out.b = in.b;
  out.a = 0;
}

void RGB32_To_RGB24(const a_pixel32& in, a_pixel24& out) {
  out.r = in.r;
  out.g = in.g;
  out.b = in.b;
}

void RGB16_To_RGB32(uint16 in, a_pixel32& out) {
  out.b = uint8(in & 31);
  out.g = uint8((in >> 5) & 31);
  out.r = uint8((in >> 10) & 31);
}

void RGB16_To_RGB32_Full(uint16 in, a_pixel32& out) {
  out.b = Widen5(in & 31u);
  out.g = Widen5((in >> 5) & 31u);
  out.r = Widen5((in >> 10) & 31u);
}

uint16 RGB32_To_RGB16(const a_pixel32& in) {
  return uint16((in.r / 8) * 1024 + (in.g / 8) * 32 + in.b / 8);
}

void RGB16_To_RGB48(uint16 in, a_pixel48& out) {
  out.r = uint16(Widen5((in >> 10) & 31u) * 257);
  out.g = uint16(Widen5((in >> 5) & 31u) * 257);
  out.b = uint16(Widen5(in & 31u) * 257);
}

void RGB32_To_Gray(const a_pixel32& in, a_pixel32& out) {
  const uint8 v = uint8((77u * in.r + 151u * in.g + 28u * in.b) / 256);
  out.a = in.a;
  out.r = out.g = out.b = v;
}

void RGB32_To_RGB48(const a_pixel32& in, a_pixel48& out) {
  out.r = uint16(in.r * 257);
  out.g = uint16(in.g * 257);
  out.b = uint16(in.b * 257);
}

void RGB48_To_RGB32(const a_pixel48& in, a_pixel32& out) {
  out.r = uint8(in.r / 256);
  out.g = uint8(in.g / 256);
  out.b = uint8(in.b / 256);
  out.a = 0;
}

bool8 Equal_RGB24(const a_pixel24& a, const a_pixel24& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

void RGBA_To_Colortable(const a_pixel32 (&rgba)[256], ColorTable& ctable) {
  ctable.ctSeed = 0;
  ctable.ctFlags = 0;
  ctable.ctSize = 255;
  for (int i = 0; i < 256; ++i) {
    a_pixel48 c;
    RGB32_To_RGB48(rgba[i], c);
    ctable.ctTable[i].value = int16(i);
    ctable.ctTable[i].rgb = RGBColor{c.r, c.g, c.b};
  }
}

void Colortable48_To_16(const ColorTable& ctable, uint16 (&out)[256]) {
  for (int i = 0; i < 256; ++i) {
    const RGBColor& c = ctable.ctTable[i].rgb;
    out[i] = uint16((c.red / 2048) * 1024 + (c.green / 2048) * 32 + c.blue / 2048);
  }
}

void Colortable48_To_32(const ColorTable& ctable, a_pixel32 (&out)[256]) {
  for (int i = 0; i < 256; ++i) {
    const RGBColor& c = ctable.ctTable[i].rgb;
    out[i].r = uint8(c.red / 256);
    out[i].g = uint8(c.green / 256);
    out[i].b = uint8(c.blue / 256);
    out[i].a = 0;
  }
}

// ---------------------------------------------------------------------------
// Run-length coding
// ---------------------------------------------------------------------------

namespace {

// Unpacks exactly `count` bytes; false when the input ends first or a run
// or literal would pass the end of the stretch.
bool Unpack_Stretch(const uint8*& p, const uint8* end, uint8* dst, uint32 count) {
  uint32 done = 0;
  while (done < count) {
    if (p == end) return false;
    const uint8 flag = *p++;
    if (flag < 128) {
      const uint32 n = uint32(flag) + 1;
      if (n > uint32(end - p) || n > count - done) return false;
      std::memcpy(dst + done, p, n);
      p += n;
      done += n;
    } else if (flag > 128) {
      const uint32 n = 257u - flag;
      if (p == end || n > count - done) return false;
      std::memset(dst + done, *p++, n);
      done += n;
    }
  }
  return true;
}

// Packs one stretch; returns the bytes written.
uint32 Pack_Stretch(const uint8* s, uint32 len, uint8* out) {
  uint8* o = out;
  auto run_at = [&](uint32 i) {
    uint32 j = i + 1;
    while (j < len && j - i < 128 && s[j] == s[i]) ++j;
    return j - i;
  };
  uint32 i = 0;
  while (i < len) {
    const uint32 run = run_at(i);
    if (run >= 3) {
      *o++ = uint8(257 - run);
      *o++ = s[i];
      i += run;
      continue;
    }
    const uint32 start = i;
    while (i < len && i - start < 128 && (i == start || run_at(i) < 3)) ++i;
    *o++ = uint8(i - start - 1);
    std::memcpy(o, s + start, i - start);
    o += i - start;
  }
  return uint32(o - out);
}

}  // namespace

uint64 RLE_Max_Packed(uint32 n) {
  const uint64 stretches = (uint64(n) + kRLE_Stretch - 1) / kRLE_Stretch;
  // A literal of at most 128 bytes costs one flag byte; each stretch may end
  // in one more short literal.
  return 4 + uint64(n) + uint64(n) / 128 + stretches;
}

void Pack_Bits(const uint8* src, uint32 n, std::vector<uint8>& out) {
  const size_t at = out.size();
  // A literal of up to 128 bytes costs one flag byte; a run costs less than
  // it packs.
  out.resize(at + size_t(n) + n / 128 + 1);
  out.resize(at + Pack_Stretch(src, n, out.data() + at));
}

int16 Expand_RLE(const uint8* in_buf, uint32 in_len, Handle& out_buf) {
  out_buf = nullptr;
  if (in_buf == nullptr || in_len < 4) return kExpandBadData;
  uint32 n = Load_LE32(in_buf);
  // Two input bytes give at most 128 output bytes: a larger stated length
  // cannot be right, so refuse it before allocating.
  if (uint64(n) > uint64(in_len - 4) * 64) return kExpandBadData;
  out_buf = New_Handle(n);
  if (out_buf == nullptr) return kExpandNoMem;
  uint8* dst = reinterpret_cast<uint8*>(Handle_Lock(out_buf));
  const uint8* p = in_buf + 4;
  const uint8* end = in_buf + in_len;
  bool ok = true;
  while (n > 0 && ok) {
    const uint32 count = std::min(n, kRLE_Stretch);
    ok = Unpack_Stretch(p, end, dst, count);
    dst += count;
    n -= count;
  }
  Handle_Unlock(out_buf);
  if (!ok) {
    Dispose_Handle(out_buf);
    return kExpandBadData;
  }
  return kExpandOK;
}

int16 Compress_RLE(const uint8* in_buf, uint32 in_len, Handle& out_buf) {
  out_buf = nullptr;
  const uint64 max = RLE_Max_Packed(in_len);
  if (max > kMaxBlockSize) return kExpandNoMem;
  out_buf = New_Handle(uint32(max));
  if (out_buf == nullptr) return kExpandNoMem;
  uint8* out = reinterpret_cast<uint8*>(Handle_Lock(out_buf));
  Store_LE32(out, in_len);
  uint64 pos = 4;
  for (uint32 done = 0; done < in_len;) {
    const uint32 count = std::min(in_len - done, kRLE_Stretch);
    pos += Pack_Stretch(in_buf + done, count, out + pos);
    done += count;
  }
  Handle_Unlock(out_buf);
  Handle_SetSize(out_buf, uint32(pos));
  return kExpandOK;
}

// ---------------------------------------------------------------------------
// 8-bit maps
// ---------------------------------------------------------------------------

void Blur_PixMap8(PixMapPtr pix, const Rect& subset, int16 radius) {
  if (radius < 1 || pix->baseAddr == nullptr) return;
  const Rect& b = pix->bounds;
  const int32 top = std::max(subset.top, b.top), bottom = std::min(subset.bottom, b.bottom);
  const int32 left = std::max(subset.left, b.left), right = std::min(subset.right, b.right);
  if (bottom <= top || right <= left) return;
  const int32 w = right - left;
  const uint32 stride = PixMap_RowBytes(*pix);
  uint8* const base = reinterpret_cast<uint8*>(pix->baseAddr) + int64(left - b.left);
  // Horizontal sums of the two rows above and of the current row, each read
  // before any of its values is rewritten.
  std::vector<uint16> h2(static_cast<size_t>(w)), h1(h2), h0(h2);
  for (int16 pass = 0; pass < radius; ++pass) {
    std::fill(h2.begin(), h2.end(), uint16(0));
    std::fill(h1.begin(), h1.end(), uint16(0));
    for (int32 y = top; y < bottom; ++y) {
      uint8* row = base + int64(y - b.top) * stride;
      uint32 pm2 = 0, pm1 = 0;
      for (int32 x = 0; x < w; ++x) {
        const uint32 p = row[x];
        h0[size_t(x)] = uint16(pm2 + 2 * pm1 + p);
        pm2 = pm1;
        pm1 = p;
      }
      if (y > top) {
        uint8* above = row - stride;
        for (int32 x = 1; x < w; ++x)
          above[x - 1] = uint8((uint32(h2[size_t(x)]) + 2u * h1[size_t(x)] + h0[size_t(x)] + 8) / 16);
      }
      std::swap(h2, h1);
      std::swap(h1, h0);
    }
  }
}

void Swap_0_255(PixMapPtr pix, CTabHandle ctable) {
  if (pix->pixelSize == 8) PixMap8_To_8(pix, map_0_255);
  if (CTabPtr t = CTab_Ptr(ctable)) std::swap(t->ctTable[0].rgb, t->ctTable[255].rgb);
}
