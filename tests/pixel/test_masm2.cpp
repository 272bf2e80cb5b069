// LZW and run-length coding, 8-to-1 and 1-to-N conversions, the 8-bit
// rotation kernel, the mask blur and the shared pixel-object table.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "PixTestUtil.h"
#include "TestSupport.h"
#include "pixel/DrawUtil.h"
#include "pixel/MAsm2.h"
#include "pixel/PixObj.h"
#include "pixel/SysPix.h"

namespace {

struct OwnedPix : OwnedPixMap {
  using OwnedPixMap::OwnedPixMap;
  uint8* row(int32 v) const { return reinterpret_cast<uint8*>(pm.baseAddr) + int64(v) * PixMap_RowBytes(pm); }
  bool bit(int32 x, int32 v) const { return (row(v)[x >> 3] & (0x80 >> (x & 7))) != 0; }
};

struct OwnedHandle {
  Handle h = nullptr;
  ~OwnedHandle() { Dispose_Handle(h); }
  std::vector<uint8> bytes() const {
    const uint32 n = Handle_GetSize(h);
    const uint8* p = reinterpret_cast<const uint8*>(Handle_Lock(h));
    std::vector<uint8> v(p, p + n);
    Handle_Unlock(h);
    return v;
  }
};

// Writes a code stream the way a reader expects it: the first code after
// the start and after a clear adds no table entry, every other code adds
// one, and the width grows once the table holds 2^width entries.
std::vector<uint8> Lzw_Stream(uint32 length, const std::vector<uint16>& codes) {
  std::vector<uint8> out = {uint8(length >> 24), uint8(length >> 16), uint8(length >> 8), uint8(length)};
  uint64 pos = 0;
  uint32 width = 9, ntable = 258;
  bool first = true;
  for (uint16 c : codes) {
    for (int i = int(width) - 1; i >= 0; --i, ++pos) {
      if (pos / 8 + 4 >= out.size()) out.push_back(0);
      if ((c >> i) & 1) out[4 + pos / 8] |= uint8(0x80 >> (pos % 8));
    }
    if (c == 256) {
      width = 9;
      ntable = 258;
      first = true;
    } else if (first) {
      first = false;
    } else if (c != 257) {
      ++ntable;
      if (ntable >= (1u << width) && width < 12) ++width;
    }
  }
  return out;
}

int16 Expand(const std::vector<uint8>& s, OwnedHandle& out) { return Expand_LZW(s.data(), uint32(s.size()), out.h); }

std::vector<uint8> Random_Bytes(size_t n, uint32 seed, int alphabet = 256) {
  std::mt19937 rng(seed);
  std::vector<uint8> v(n);
  for (auto& b : v) b = uint8(rng() % uint32(alphabet));
  return v;
}

}  // namespace

// ---------------------------------------------------------------------------
// LZW
// ---------------------------------------------------------------------------

TEST(Lzw, HandWrittenStreams) {
  struct Case {
    const char* name;
    uint32 length;
    std::vector<uint16> codes;
    std::string expect;
  };
  const Case cases[] = {
      {"entry 258", 4, {65, 66, 258, 257}, "ABAB"},
      {"code defined by itself", 3, {65, 258, 257}, "AAA"},
      {"clear then bytes", 3, {65, 256, 66, 67, 257}, "ABC"},
      {"clear then end", 1, {65, 256, 257}, "A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OwnedHandle out;
    ASSERT_EQ(Expand(Lzw_Stream(c.length, c.codes), out), kExpandOK);
    const auto b = out.bytes();
    EXPECT_EQ(std::string(b.begin(), b.end()), c.expect);
  }
  OwnedHandle empty;
  const std::vector<uint8> zero = {0, 0, 0, 0};
  ASSERT_EQ(Expand(zero, empty), kExpandOK);
  ASSERT_NE(empty.h, nullptr);
  EXPECT_EQ(Handle_GetSize(empty.h), 0u);
}

TEST(Lzw, CodesWidenWhenTheTableReaches512) {
  // Bytes 0..254 as 255 codes fill the table up to entry 511; the code
  // after them is read 10 bits wide.
  std::vector<uint16> codes;
  for (uint16 i = 0; i < 255; ++i) codes.push_back(i);
  codes.push_back(65);
  codes.push_back(257);
  const auto s = Lzw_Stream(256, codes);
  OwnedHandle out;
  ASSERT_EQ(Expand(s, out), kExpandOK);
  const auto b = out.bytes();
  ASSERT_EQ(b.size(), 256u);
  for (int i = 0; i < 255; ++i) ASSERT_EQ(b[size_t(i)], i);
  EXPECT_EQ(b[255], 65);
  // The same codes all 9 bits wide do not form a valid stream.
  std::vector<uint8> narrow = {0, 0, 1, 0};
  uint64 pos = 0;
  for (uint16 c : codes)
    for (int i = 8; i >= 0; --i, ++pos) {
      if (pos / 8 + 4 >= narrow.size()) narrow.push_back(0);
      if ((c >> i) & 1) narrow[4 + pos / 8] |= uint8(0x80 >> (pos % 8));
    }
  OwnedHandle bad;
  EXPECT_NE(Expand(narrow, bad), kExpandOK);
}

TEST(Lzw, CompressorWritesTheStreamForm) {
  const std::string abab = "ABAB";
  OwnedHandle packed;
  ASSERT_EQ(Compress_LZW(reinterpret_cast<const uint8*>(abab.data()), 4, packed.h), kExpandOK);
  EXPECT_EQ(packed.bytes(), Lzw_Stream(4, {65, 66, 258, 257}));

  // One byte takes 7: the length, then two 9-bit codes.
  const uint8 one = 'x';
  OwnedHandle small;
  ASSERT_EQ(Compress_LZW(&one, 1, small.h), kExpandOK);
  EXPECT_EQ(small.bytes(), Lzw_Stream(1, {'x', 257}));
  EXPECT_EQ(Handle_GetSize(small.h), 7u);

  OwnedHandle none;
  ASSERT_EQ(Compress_LZW(nullptr, 0, none.h), kExpandOK);
  EXPECT_EQ(none.bytes(), (std::vector<uint8>{0, 0, 0, 0}));
}

TEST(Lzw, RoundTrips) {
  struct Case {
    const char* name;
    std::vector<uint8> data;
  };
  std::vector<uint8> ramp(70000);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = uint8(i * 7 / 5);
  std::vector<uint8> runs;
  for (int i = 0; i < 300; ++i) runs.insert(runs.end(), size_t(i % 50 + 1), uint8(i));
  const Case cases[] = {
      {"one byte", {42}},
      {"two equal", {9, 9}},
      {"zeros (long strings)", std::vector<uint8>(100000, 0)},
      {"random", Random_Bytes(50000, 1)},
      {"small alphabet (many clears)", Random_Bytes(300000, 2, 4)},
      {"ramp", ramp},
      {"runs", runs},
      {"all byte values", [] {
         std::vector<uint8> v(256);
         for (int i = 0; i < 256; ++i) v[size_t(i)] = uint8(i);
         return v;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OwnedHandle packed, out;
    ASSERT_EQ(Compress_LZW(c.data.data(), uint32(c.data.size()), packed.h), kExpandOK);
    const auto s = packed.bytes();
    ASSERT_EQ(Expand(s, out), kExpandOK);
    EXPECT_EQ(out.bytes(), c.data);
  }
}

TEST(Lzw, RefusesBadStreams) {
  OwnedHandle packed;
  const auto data = Random_Bytes(5000, 3, 16);
  ASSERT_EQ(Compress_LZW(data.data(), uint32(data.size()), packed.h), kExpandOK);
  const auto good = packed.bytes();

  std::vector<uint8> full_table;  // 3839 codes after the first without a clear
  {
    std::vector<uint16> codes;
    for (int i = 0; i < 3840; ++i) codes.push_back(uint16(i % 256));
    codes.push_back(1);
    codes.push_back(257);
    full_table = Lzw_Stream(3841, codes);
  }
  auto with_length = [](std::vector<uint8> s, uint32 n) {
    s[0] = uint8(n >> 24), s[1] = uint8(n >> 16), s[2] = uint8(n >> 8), s[3] = uint8(n);
    return s;
  };
  struct Case {
    const char* name;
    std::vector<uint8> stream;
  };
  const Case cases[] = {
      {"shorter than the length field", {0, 0, 1}},
      {"truncated", std::vector<uint8>(good.begin(), good.end() - 3)},
      {"length but no codes", {0, 0, 0, 5}},
      {"states one byte more", with_length(good, uint32(data.size() + 1))},
      {"states one byte less", with_length(good, uint32(data.size() - 1))},
      {"code beyond the table", Lzw_Stream(3, {65, 300, 257})},
      {"first code not a byte", Lzw_Stream(2, {258, 257})},
      {"first code after clear not a byte", Lzw_Stream(2, {65, 256, 300, 257})},
      {"no end code", Lzw_Stream(2, {65, 66})},
      {"table overfilled", full_table},
      {"huge length, tiny input", with_length(Lzw_Stream(1, {65, 257}), 0xFFFFFFF0u)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OwnedHandle out;
    EXPECT_EQ(Expand(c.stream, out), kExpandBadData);
    EXPECT_EQ(out.h, nullptr);
  }
  OwnedHandle out;
  EXPECT_EQ(Expand_LZW(nullptr, 0, out.h), kExpandBadData);
}

// ---------------------------------------------------------------------------
// Run-length coding
// ---------------------------------------------------------------------------

namespace {
std::vector<uint8> Rle_Header(uint32 n) { return {uint8(n), uint8(n >> 8), uint8(n >> 16), uint8(n >> 24)}; }
int16 Expand_Rle(const std::vector<uint8>& s, OwnedHandle& out) { return Expand_RLE(s.data(), uint32(s.size()), out.h); }
}  // namespace

TEST(Rle, ExpandsStretchesOfThirtyTwoThousand) {
  // 70,000 bytes: 32,000 of 1, 32,000 of 2, 6,000 of 3, each stretch packed
  // in runs of 128 (flag 129) and a last run of 112 (flag 145).
  std::vector<uint8> s = Rle_Header(70000);
  for (int i = 0; i < 250; ++i) s.insert(s.end(), {129, 1});
  for (int i = 0; i < 250; ++i) s.insert(s.end(), {129, 2});
  for (int i = 0; i < 46; ++i) s.insert(s.end(), {129, 3});
  s.insert(s.end(), {145, 3});
  OwnedHandle out;
  ASSERT_EQ(Expand_Rle(s, out), kExpandOK);
  const auto b = out.bytes();
  ASSERT_EQ(b.size(), 70000u);
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(b[31999], 1);
  EXPECT_EQ(b[32000], 2);
  EXPECT_EQ(b[63999], 2);
  EXPECT_EQ(b[64000], 3);
  EXPECT_EQ(b[69999], 3);

  // Literals and the no-op flag 128.
  std::vector<uint8> lit = Rle_Header(5);
  lit.insert(lit.end(), {128, 2, 'a', 'b', 'c', 255, 'z'});
  OwnedHandle out2;
  ASSERT_EQ(Expand_Rle(lit, out2), kExpandOK);
  EXPECT_EQ(out2.bytes(), (std::vector<uint8>{'a', 'b', 'c', 'z', 'z'}));

  OwnedHandle empty;
  ASSERT_EQ(Expand_Rle(Rle_Header(0), empty), kExpandOK);
  EXPECT_EQ(Handle_GetSize(empty.h), 0u);
}

TEST(Rle, RefusesBadBuffers) {
  std::vector<uint8> crossing = Rle_Header(32002);
  for (int i = 0; i < 249; ++i) crossing.insert(crossing.end(), {129, 1});
  crossing.insert(crossing.end(), {129, 1});  // fills the first stretch
  crossing.insert(crossing.end(), {253, 1});  // 4 bytes where 2 are left
  std::vector<uint8> crossing_stretch = Rle_Header(32002);
  for (int i = 0; i < 249; ++i) crossing_stretch.insert(crossing_stretch.end(), {129, 1});
  crossing_stretch.insert(crossing_stretch.end(), {130, 1});  // 127 bytes, then a literal
  crossing_stretch.insert(crossing_stretch.end(), {2, 7, 7, 7});    // of 3 across the stretch end
  struct Case {
    const char* name;
    std::vector<uint8> buf;
  };
  const Case cases[] = {
      {"no length", {1, 0}},
      {"input ends in a literal", [] { auto s = Rle_Header(4); s.insert(s.end(), {3, 'a', 'b'}); return s; }()},
      {"input ends before a run byte", [] { auto s = Rle_Header(4); s.push_back(253); return s; }()},
      {"input ends before the length is reached", [] { auto s = Rle_Header(10); s.insert(s.end(), {253, 1}); return s; }()},
      {"run past the output", [] { auto s = Rle_Header(3); s.insert(s.end(), {240, 9}); return s; }()},
      {"literal past the output", [] { auto s = Rle_Header(2); s.insert(s.end(), {3, 1, 2, 3, 4}); return s; }()},
      {"run past the end of the last stretch", crossing},
      {"literal across a stretch", crossing_stretch},
      {"huge length, tiny input", [] { auto s = Rle_Header(0xFFFFFF00u); s.insert(s.end(), {129, 0}); return s; }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OwnedHandle out;
    EXPECT_EQ(Expand_Rle(c.buf, out), kExpandBadData);
    EXPECT_EQ(out.h, nullptr);
  }
}

TEST(Rle, CompressorSizesAndRoundTrips) {
  // Incompressible input grows by one flag byte per 128 bytes, plus the
  // length; short inputs need the length too.
  struct Size {
    std::vector<uint8> data;
    uint32 packed;
  };
  const Size sizes[] = {
      {{}, 4},
      {{7}, 6},
      {{1, 2}, 7},
      {std::vector<uint8>(100, 5), 6},
      {Random_Bytes(128, 9), 4 + 129},
  };
  for (const Size& s : sizes) {
    OwnedHandle packed;
    ASSERT_EQ(Compress_RLE(s.data.data(), uint32(s.data.size()), packed.h), kExpandOK);
    EXPECT_EQ(Handle_GetSize(packed.h), s.packed) << s.data.size() << " bytes";
    EXPECT_LE(uint64(s.packed), RLE_Max_Packed(uint32(s.data.size())));
  }

  std::vector<uint8> mixed;
  for (int i = 0; i < 2000; ++i) {
    const auto r = Random_Bytes(size_t(i % 7 + 1), uint32(i));
    mixed.insert(mixed.end(), r.begin(), r.end());
    mixed.insert(mixed.end(), size_t(i % 300), uint8(i));
  }
  std::vector<uint8> pairs(40000);
  for (size_t i = 0; i < pairs.size(); ++i) pairs[i] = uint8((i / 2) & 1);
  const std::vector<uint8> inputs[] = {
      Random_Bytes(1, 4),      Random_Bytes(32000, 5), Random_Bytes(32001, 6), Random_Bytes(100000, 7),
      Random_Bytes(90000, 8, 2), std::vector<uint8>(64001, 0xAA), mixed, pairs,
  };
  for (const auto& in : inputs) {
    SCOPED_TRACE(in.size());
    OwnedHandle packed, out;
    ASSERT_EQ(Compress_RLE(in.data(), uint32(in.size()), packed.h), kExpandOK);
    EXPECT_LE(Handle_GetSize(packed.h), RLE_Max_Packed(uint32(in.size())));
    const auto s = packed.bytes();
    ASSERT_EQ(Expand_Rle(s, out), kExpandOK);
    EXPECT_EQ(out.bytes(), in);
  }
}

// ---------------------------------------------------------------------------
// 8-bit to 1-bit, 1-bit to N bits
// ---------------------------------------------------------------------------

TEST(MAsm2Masks, EightToOneThroughTheTable) {
  OwnedPix a(Rect{5, 3, 8, 13}, 8), b(Rect{0, 0, 3, 10}, 1);
  std::memset(b.pm.baseAddr, 0xFF, PixMap_Len(b.pm));  // stale bits are cleared
  for (int v = 0; v < 3; ++v)
    for (int x = 0; x < 10; ++x) a.row(v)[x] = (x + v) % 3 == 0 ? 255 : uint8(x);
  bool8 off = false, on = false;
  EXPECT_TRUE(PixMap8_To_1(White_transparent1, &a.pm, &b.pm, off, on));
  EXPECT_TRUE(on);
  EXPECT_TRUE(off);
  for (int v = 0; v < 3; ++v) {
    for (int x = 0; x < 10; ++x) EXPECT_EQ(b.bit(x, v), (x + v) % 3 != 0) << x << "," << v;
    for (int x = 10; x < 32; ++x) EXPECT_FALSE(b.bit(x, v));
  }
  std::memset(a.pm.baseAddr, 255, PixMap_Len(a.pm));
  EXPECT_FALSE(PixMap8_To_1(White_transparent1, &a.pm, &b.pm, off, on));
  EXPECT_TRUE(off);
  EXPECT_FALSE(on);
}

TEST(MAsm2Masks, SubsetRowsCountFromTheBottom) {
  OwnedPix a(Rect{0, 0, 100, 100}, 8), b(Rect{0, 0, 100, 100}, 1);
  std::memset(b.pm.baseAddr, 0xFF, PixMap_Len(b.pm));
  PixMap8_To_1S(White_transparent1, &a.pm, &b.pm, Rect{0, 0, 10, 10});  // all pixels 0: set
  a.row(95)[5] = 255;
  PixMap8_To_1S(White_transparent1, &a.pm, &b.pm, Rect{0, 0, 10, 10});
  EXPECT_FALSE(b.bit(5, 95));  // cleared
  EXPECT_TRUE(b.bit(4, 95));
  a.row(50)[5] = 255;  // outside rows 90..99: untouched
  PixMap8_To_1S(White_transparent1, &a.pm, &b.pm, Rect{0, 0, 10, 10});
  EXPECT_TRUE(b.bit(5, 50));
}

TEST(MAsm2Masks, OneToN) {
  OwnedPix src(Rect{0, 0, 2, 20}, 1);
  src.row(0)[0] = 0xA5;  // 1010 0101
  src.row(0)[2] = 0x10;  // pixel 19
  src.row(1)[1] = 0x80;  // pixel 8
  auto set = [&](int x, int v) { return src.bit(x, v); };
  a_pixel32 zero, one;
  zero.raw = 0x11223344;
  one.raw = 0xFFEEDDCC;

  OwnedPix d32(Rect{0, 0, 2, 20}, 32);
  PixMap1_To_N(&src.pm, &d32.pm, zero, one);
  for (int v = 0; v < 2; ++v)
    for (int x = 0; x < 20; ++x) {
      uint32 got;
      std::memcpy(&got, d32.row(v) + 4 * x, 4);
      EXPECT_EQ(got, set(x, v) ? one.raw : zero.raw) << x << "," << v;
    }

  OwnedPix d16(Rect{0, 0, 2, 20}, 16);
  PixMap1_To_N(&src.pm, &d16.pm, zero, one);
  for (int x = 0; x < 20; ++x) {
    const uint16 got = uint16(d16.row(0)[2 * x] | (d16.row(0)[2 * x + 1] << 8));
    EXPECT_EQ(got, set(x, 0) ? RGB32_To_RGB16(one) : RGB32_To_RGB16(zero));
  }

  OwnedPix d24(Rect{0, 0, 2, 20}, 24);
  PixMap1_To_N(&src.pm, &d24.pm, zero, one);
  const uint8* p = d24.row(1) + 3 * 8;  // a set pixel, blue first
  EXPECT_EQ(p[0], one.b);
  EXPECT_EQ(p[1], one.g);
  EXPECT_EQ(p[2], one.r);

  OwnedPix d8(Rect{0, 0, 2, 20}, 8);
  EXPECT_THROW(PixMap1_To_N(&src.pm, &d8.pm, zero, one), QuitCalled);
  PixMap1_To_8(&src.pm, &d8.pm, 7, 200);
  for (int x = 0; x < 20; ++x) EXPECT_EQ(d8.row(0)[x], set(x, 0) ? 200 : 7);

  // A smaller destination is written only where it exists.
  OwnedPix tiny(Rect{0, 0, 1, 3}, 32);
  PixMap1_To_32(&src.pm, &tiny.pm, zero, one);
  uint32 got;
  std::memcpy(&got, tiny.row(0), 4);
  EXPECT_EQ(got, one.raw);
}

TEST(MAsm2Rotate, IdentityKernelCopiesAndFills) {
  OwnedPix in(Rect{0, 0, 4, 6}, 8), out(Rect{0, 0, 4, 8}, 8);
  for (int v = 0; v < 4; ++v)
    for (int x = 0; x < 6; ++x) in.row(v)[x] = uint8(10 * v + x + 1);
  // Equal centres over the same first six columns: a copy, the rest tcolor.
  PixMap8_RotateB(&in.pm, &out.pm, 0, 16384, 6, 4, 6, 4, 99);
  for (int v = 0; v < 4; ++v) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(out.row(v)[x], in.row(v)[x]);
    EXPECT_EQ(out.row(v)[6], 99);
    EXPECT_EQ(out.row(v)[7], 99);
  }
}

// ---------------------------------------------------------------------------
// Blur
// ---------------------------------------------------------------------------

TEST(Blur, OnePassGivesTheBinomialWeights) {
  OwnedPix p(Rect{0, 0, 9, 9}, 8);
  p.row(4)[4] = 255;
  Blur_PixMap8(&p.pm, p.pm.bounds, 1);
  EXPECT_EQ(p.row(4)[4], 64);
  for (auto [x, v] : {std::pair{3, 4}, {5, 4}, {4, 3}, {4, 5}}) EXPECT_EQ(p.row(v)[x], 32);
  for (auto [x, v] : {std::pair{3, 3}, {5, 3}, {3, 5}, {5, 5}}) EXPECT_EQ(p.row(v)[x], 16);
  EXPECT_EQ(p.row(4)[2], 0);
  EXPECT_EQ(p.row(2)[4], 0);
}

TEST(Blur, EdgesAndPasses) {
  // Values before the first row and column count as 0; the last row and
  // column are left as they were.
  OwnedPix p(Rect{0, 0, 4, 4}, 8);
  std::memset(p.pm.baseAddr, 160, PixMap_Len(p.pm));
  Blur_PixMap8(&p.pm, p.pm.bounds, 1);
  EXPECT_EQ(p.row(0)[0], (160 * 9 + 8) / 16);   // 4 + 2 + 2 + 1 of 16 weights inside
  EXPECT_EQ(p.row(0)[1], (160 * 12 + 8) / 16);  // top row: 12 of 16
  EXPECT_EQ(p.row(1)[1], 160);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(p.row(3)[i], 160);
    EXPECT_EQ(p.row(i)[3], 160);
  }

  // Radius 2 is two passes; pixels outside the subset are not touched.
  OwnedPix a(Rect{0, 0, 12, 12}, 8), b(Rect{0, 0, 12, 12}, 8);
  const auto noise = Random_Bytes(PixMap_Len(a.pm), 11);
  std::memcpy(a.pm.baseAddr, noise.data(), noise.size());
  std::memcpy(b.pm.baseAddr, noise.data(), noise.size());
  const Rect sub{2, 3, 10, 11};
  Blur_PixMap8(&a.pm, sub, 2);
  Blur_PixMap8(&b.pm, sub, 1);
  Blur_PixMap8(&b.pm, sub, 1);
  EXPECT_EQ(std::memcmp(a.pm.baseAddr, b.pm.baseAddr, PixMap_Len(a.pm)), 0);
  for (int v = 0; v < 12; ++v)
    for (int x = 0; x < 12; ++x)
      if (v < 2 || v >= 10 || x < 3 || x >= 11) {
        EXPECT_EQ(a.row(v)[x], noise[size_t(v) * 12 + x]);
      }

  Blur_PixMap8(&a.pm, sub, 0);  // no passes
  EXPECT_EQ(std::memcmp(a.pm.baseAddr, b.pm.baseAddr, PixMap_Len(a.pm)), 0);
}

// A shadow or feather over a wide picture blurs more than 8,000 columns: the
// row sums grow with the subset.
TEST(Blur, WideSubsetsAreBlurredWholly) {
  OwnedPix p(Rect{0, 0, 3, 9000}, 8);
  p.row(1)[8500] = 255;
  Blur_PixMap8(&p.pm, p.pm.bounds, 1);
  EXPECT_EQ(p.row(1)[8500], 64);
  EXPECT_EQ(p.row(0)[8499], 16);
  EXPECT_EQ(p.row(1)[8501], 32);
  EXPECT_EQ(p.row(1)[8497], 0);
}

// ---------------------------------------------------------------------------
// Shared pixel objects
// ---------------------------------------------------------------------------

TEST(PixObj, CopyOnWrite) {
  a_pixobj_table table;
  Null_Table(table);
  a_pixobj_ptr a = nullptr, b = nullptr;
  New_PixObj(table, a, Rect{0, 0, 2, 2}, 8, nullptr);
  ASSERT_EQ(a, &table[0]);
  a->pix.baseAddr[0] = 7;
  PixObj_Copy(a, b);
  EXPECT_EQ(b, a);
  EXPECT_EQ(a->nref, 2);

  const uint32 seq = a->seq;
  PixObj_Modify(table, b);  // shared: b moves to a copy
  ASSERT_NE(b, a);
  EXPECT_EQ(a->nref, 1);
  EXPECT_EQ(b->nref, 1);
  EXPECT_EQ(a->seq, seq);
  EXPECT_NE(b->pix.baseAddr, a->pix.baseAddr);
  EXPECT_EQ(b->pix.baseAddr[0], 7);

  PixObj_Modify(table, a);  // unshared: only a new change number
  EXPECT_NE(a->seq, seq);

  PixMap fresh;
  New_PixMap(fresh, Rect{0, 0, 1, 1}, 8, nullptr);
  PixObj_Replace(table, b, fresh);
  EXPECT_EQ(b->pix.baseAddr, fresh.baseAddr);

  a_pixobj_ptr none = nullptr;
  PixObj_Copy(none, a);  // drops a's last reference
  EXPECT_EQ(a, nullptr);
  EXPECT_EQ(table[0].nref, 0);
  EXPECT_EQ(Find_Free_Slot(table), &table[0]);
  Dispose_Table(table);
}
