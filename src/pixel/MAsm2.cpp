#include "pixel/MAsm2.h"

#include <algorithm>
#include <cstring>

#include "host/HostByteOrder.h"
#include "pixel/DrawUtil.h"
#include "platform/SysErr.h"

uint32 powers_of_2[13];

void MAsm2_Init() {
  for (int i = 0; i < 13; ++i) powers_of_2[i] = uint32(1) << i;
}

namespace {

const bool kPowersBuilt = [] {
  MAsm2_Init();
  return true;
}();

inline uint8* Base(const PixMap& pm) { return reinterpret_cast<uint8*>(pm.baseAddr); }
inline int32 Width(const PixMap& pm) { return std::max<int32>(int32(pm.bounds.right) - pm.bounds.left, 0); }
inline int32 Height(const PixMap& pm) { return std::max<int32>(int32(pm.bounds.bottom) - pm.bounds.top, 0); }
inline uint8* RowPtr(const PixMap& pm, int32 i) { return Base(pm) + int64(i) * PixMap_RowBytes(pm); }

// ---------------------------------------------------------------------------
// LZW
// ---------------------------------------------------------------------------

struct a_lzw_entry {
  uint8 character;
  uint16 prefix;  // kNoPrefix for a string of one character
};
constexpr uint16 kNoPrefix = 4096;

// Reads codes most significant bit first and never past the end of the input.
class CodeReader {
 public:
  CodeReader(const uint8* p, uint32 len) : p_(p), nbits_(uint64(len) * 8) {}
  bool Next(uint16 width, uint16& code) {
    if (pos_ + width > nbits_) return false;
    uint32 v = 0;
    for (uint16 i = 0; i < width; ++i, ++pos_) v = (v << 1) | ((p_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1u);
    code = uint16(v);
    return true;
  }

 private:
  const uint8* p_;
  uint64 nbits_;
  uint64 pos_ = 0;
};

class CodeWriter {
 public:
  CodeWriter(uint8* p, uint64 capacity_bits) : p_(p), cap_(capacity_bits) {}
  void Put(uint16 code, uint16 width) {
    // The buffer is sized for the worst case; running out would be our bug.
    if (pos_ + width > cap_) {
      QUIT();
      return;
    }
    for (int i = width - 1; i >= 0; --i, ++pos_) {
      const uint8 bit = uint8(0x80u >> (pos_ & 7));
      if ((code >> i) & 1u)
        p_[pos_ >> 3] = uint8(p_[pos_ >> 3] | bit);
      else
        p_[pos_ >> 3] = uint8(p_[pos_ >> 3] & ~bit);
    }
  }
  uint64 Bits() const { return pos_; }

 private:
  uint8* p_;
  uint64 cap_;
  uint64 pos_ = 0;
};

// Owns a fixed block for the length of one call.
struct TempPtr {
  Ptr p = nullptr;
  explicit TempPtr(uint32 size) : p(New_Ptr(size)) {}
  ~TempPtr() { Dispose_Ptr(p); }
  TempPtr(const TempPtr&) = delete;
  TempPtr& operator=(const TempPtr&) = delete;
};

int16 Fail(Handle& out_buf, int16 result) {
  Dispose_Handle(out_buf);
  return result;
}

}  // namespace

int16 Expand_LZW(const uint8* in_buf, uint32 in_len, Handle& out_buf) {
  out_buf = nullptr;
  if (in_buf == nullptr || in_len < 4) return kExpandBadData;
  const uint32 length = Load_BE32(in_buf);
  if (length > 0) {
    // Each code yields at most one byte more than the codes before it since
    // the last clear, and never more than the table's longest string. A
    // stated length beyond that is a corrupt header: refuse it before
    // allocating anything.
    const uint64 ncodes = uint64(in_len - 4) * 8 / 9;
    if (uint64(length) > ncodes * std::min<uint64>(ncodes, kLZW_TableSize)) return kExpandBadData;
  }
  out_buf = New_Handle(length);
  if (out_buf == nullptr) return kExpandNoMem;
  if (length == 0) return kExpandOK;

  TempPtr table_block(kLZW_TableSize * sizeof(a_lzw_entry));
  if (table_block.p == nullptr) return Fail(out_buf, kExpandNoMem);
  auto* table = reinterpret_cast<a_lzw_entry*>(table_block.p);

  uint8* const out = reinterpret_cast<uint8*>(Handle_Lock(out_buf));
  uint32 written = 0;
  CodeReader reader(in_buf + 4, in_len - 4);
  uint16 ntable = kLZW_First;
  uint16 bits_per_code = 9;
  uint8 stack[kLZW_TableSize];  // a string, collected last character first

  auto clear_table = [&] {
    for (uint16 i = 0; i < 256; ++i) table[i] = a_lzw_entry{uint8(i), kNoPrefix};
    ntable = kLZW_First;
    bits_per_code = 9;
  };
  // Collects the string of `code` into the top of `stack`; its length, or 0
  // for a chain that does not end (only a corrupt table could hold one).
  auto collect = [&](uint16 code, uint32& start) -> uint32 {
    uint32 top = kLZW_TableSize;
    while (true) {
      if (top == 0) return 0;
      stack[--top] = table[code].character;
      if (table[code].prefix == kNoPrefix) break;
      code = table[code].prefix;
    }
    start = top;
    return kLZW_TableSize - top;
  };
  auto emit = [&](const uint8* s, uint32 n) -> bool {
    if (n > length - written) return false;
    std::memcpy(out + written, s, n);
    written += n;
    return true;
  };
  // The first code after the start and after a clear must be a byte.
  auto first_code = [&](uint16& code) -> int16 {
    if (!reader.Next(bits_per_code, code)) return kExpandBadData;
    if (code == kLZW_End) return kExpandOK;
    if (code > 255) return kExpandBadData;
    const uint8 b = uint8(code);
    return emit(&b, 1) ? int16(1) : kExpandBadData;
  };

  int16 result = kExpandOK;
  clear_table();
  uint16 old_code = 0;
  int16 r = first_code(old_code);
  if (r != 1) result = r == kExpandOK ? kExpandBadData : r;  // an end before any byte
  while (result == kExpandOK) {
    uint16 new_code;
    if (!reader.Next(bits_per_code, new_code)) {
      result = kExpandBadData;
      break;
    }
    if (new_code == kLZW_End) break;
    if (new_code == kLZW_Clear) {
      clear_table();
      r = first_code(old_code);
      if (r == 1) continue;
      if (r != kExpandOK) result = r;
      break;
    }
    uint32 start = 0, n;
    uint8 character;
    if (new_code < ntable) {
      n = collect(new_code, start);
      if (n == 0 || !emit(stack + start, n)) {
        result = kExpandBadData;
        break;
      }
      character = stack[start];
    } else if (new_code == ntable) {
      // The string being defined by this very code: the previous string
      // followed by its own first character.
      n = collect(old_code, start);
      if (n == 0 || !emit(stack + start, n)) {
        result = kExpandBadData;
        break;
      }
      character = stack[start];
      if (!emit(&character, 1)) {
        result = kExpandBadData;
        break;
      }
    } else {
      result = kExpandBadData;
      break;
    }
    // A valid stream clears before entry 4096 would be made.
    if (ntable >= kLZW_TableSize - 1) {
      result = kExpandBadData;
      break;
    }
    table[ntable] = a_lzw_entry{character, old_code};
    ++ntable;
    if (ntable >= powers_of_2[bits_per_code] && bits_per_code < kLZW_MaxBits) ++bits_per_code;
    old_code = new_code;
  }
  Handle_Unlock(out_buf);
  if (result == kExpandOK && written != length) result = kExpandBadData;
  if (result != kExpandOK) return Fail(out_buf, result);
  return kExpandOK;
}

namespace {
struct a_lzw_node {
  uint8 character;
  uint16 child, left, right;  // 0 = none (codes below 258 are never linked)
};
}  // namespace

int16 Compress_LZW(const uint8* in_buf, uint32 in_len, Handle& out_buf) {
  out_buf = nullptr;
  // Worst case: one code per input byte, a clear every 3838 codes and the
  // end code, each at most 12 bits.
  const uint64 max_codes = uint64(in_len) + uint64(in_len) / 3838 + 2;
  const uint64 max_bytes = 4 + (max_codes * kLZW_MaxBits + 7) / 8;
  if (max_bytes > kMaxBlockSize) return kExpandNoMem;
  out_buf = New_Handle_Clear(uint32(max_bytes));
  if (out_buf == nullptr) return kExpandNoMem;
  uint8* const out = reinterpret_cast<uint8*>(Handle_Lock(out_buf));
  Store_BE32(out, in_len);
  if (in_len == 0) {
    Handle_Unlock(out_buf);
    Handle_SetSize(out_buf, 4);
    return kExpandOK;
  }

  TempPtr table_block(kLZW_TableSize * sizeof(a_lzw_node));
  if (table_block.p == nullptr) {
    Handle_Unlock(out_buf);
    return Fail(out_buf, kExpandNoMem);
  }
  auto* table = reinterpret_cast<a_lzw_node*>(table_block.p);
  CodeWriter writer(out + 4, (max_bytes - 4) * 8);
  uint16 ntable = kLZW_First;
  uint16 bits_per_code = 9;
  auto clear_table = [&] {
    for (uint16 i = 0; i < 256; ++i) table[i] = a_lzw_node{uint8(i), 0, 0, 0};
    ntable = kLZW_First;
    bits_per_code = 9;
  };
  clear_table();

  uint16 cur = in_buf[0];
  for (uint32 k = 1; k < in_len; ++k) {
    const uint8 c = in_buf[k];
    uint16* link = &table[cur].child;
    bool found = false;
    while (*link != 0) {
      const uint16 node = *link;
      if (c < table[node].character) {
        link = &table[node].left;
      } else if (c > table[node].character) {
        link = &table[node].right;
      } else {
        cur = node;
        found = true;
        break;
      }
    }
    if (found) continue;
    writer.Put(cur, bits_per_code);
    cur = c;
    if (ntable == kLZW_TableSize - 1) {
      writer.Put(kLZW_Clear, bits_per_code);
      clear_table();
    } else {
      *link = ntable;
      table[ntable] = a_lzw_node{c, 0, 0, 0};
      ++ntable;
      if (ntable > powers_of_2[bits_per_code] && bits_per_code < kLZW_MaxBits) ++bits_per_code;
    }
  }
  writer.Put(cur, bits_per_code);
  // The reader adds an entry for this last code too, and may widen for the end code.
  ++ntable;
  if (ntable > powers_of_2[bits_per_code] && bits_per_code < kLZW_MaxBits) ++bits_per_code;
  writer.Put(kLZW_End, bits_per_code);
  const uint64 bytes = 4 + (writer.Bits() + 7) / 8;
  Handle_Unlock(out_buf);
  Handle_SetSize(out_buf, uint32(bytes));
  return kExpandOK;
}

// ---------------------------------------------------------------------------
// 8-bit to 1-bit
// ---------------------------------------------------------------------------

bool8 PixMap8_To_1(const a_8_to_1_mapping& mapping, PixMapPtr pixA_ptr, PixMapPtr pixB_ptr,
                   bool8& some_off, bool8& some_on) {
  some_off = false;
  some_on = false;
  if (pixB_ptr->baseAddr == nullptr) return false;
  PixMap_Zero(*pixB_ptr);
  if (pixA_ptr->baseAddr == nullptr) return false;
  const int32 w = std::min<int32>(Width(*pixA_ptr), int32(PixMap_RowBytes(*pixB_ptr) * 8));
  const int32 h = std::min(Height(*pixA_ptr), Height(*pixB_ptr));
  for (int32 v = 0; v < h; ++v) {
    const uint8* src = RowPtr(*pixA_ptr, v);
    uint8* dst = RowPtr(*pixB_ptr, v);
    for (int32 x = 0; x < w; ++x) {
      if (mapping[src[x]] != 0) {
        dst[x >> 3] = uint8(dst[x >> 3] | (0x80u >> (x & 7)));
        some_on = true;
      } else {
        some_off = true;
      }
    }
  }
  return some_on;
}

void PixMap8_To_1S(const a_8_to_1_mapping& mapping, PixMapPtr pixA_ptr, PixMapPtr pixB_ptr,
                   const Rect& subset) {
  if (pixA_ptr->baseAddr == nullptr || pixB_ptr->baseAddr == nullptr) return;
  const Rect& a = pixA_ptr->bounds;
  const Rect& b = pixB_ptr->bounds;
  const int32 B = a.bottom;
  // Rows and columns in map coordinates, limited to both maps.
  const int32 top = std::max({B - int32(subset.bottom), int32(a.top), int32(b.top)});
  const int32 bottom = std::min({B - int32(subset.top), int32(a.bottom), int32(b.bottom)});
  const int32 left = std::max({int32(subset.left), int32(a.left), int32(b.left)});
  const int32 right = std::min({int32(subset.right), int32(a.right), int32(b.right)});
  for (int32 r = top; r < bottom; ++r) {
    const uint8* src = RowPtr(*pixA_ptr, r - a.top);
    uint8* dst = RowPtr(*pixB_ptr, r - b.top);
    for (int32 c = left; c < right; ++c) {
      const int32 x = c - b.left;
      if (mapping[src[c - a.left]] != 0)
        dst[x >> 3] = uint8(dst[x >> 3] | (0x80u >> (x & 7)));
      else
        dst[x >> 3] = uint8(dst[x >> 3] & ~(0x80u >> (x & 7)));
    }
  }
}

// ---------------------------------------------------------------------------
// 1-bit to N bits
// ---------------------------------------------------------------------------

namespace {
// Calls put(dst_pixel_address, bit) for every pixel both maps cover.
template <typename Put>
void Widen_1(PixMapPtr src, PixMapPtr dst, int32 bytes_per_pixel, Put put) {
  if (src->baseAddr == nullptr || dst->baseAddr == nullptr) return;
  const int32 w = std::min<int32>(std::min<int32>(Width(*src), int32(PixMap_RowBytes(*src) * 8)),
                                  int32(PixMap_RowBytes(*dst) / uint32(bytes_per_pixel)));
  const int32 h = std::min(Height(*src), Height(*dst));
  for (int32 v = 0; v < h; ++v) {
    const uint8* s = RowPtr(*src, v);
    uint8* d = RowPtr(*dst, v);
    for (int32 x = 0; x < w; ++x, d += bytes_per_pixel) put(d, ((s[x >> 3] << (x & 7)) & 0x80) != 0);
  }
}
}  // namespace

void PixMap1_To_8(PixMapPtr src, PixMapPtr dst, uint8 zeroval, uint8 oneval) {
  Widen_1(src, dst, 1, [&](uint8* d, bool on) { *d = on ? oneval : zeroval; });
}

void PixMap1_To_16(PixMapPtr src, PixMapPtr dst, uint16 zeroval, uint16 oneval) {
  Widen_1(src, dst, 2, [&](uint8* d, bool on) {
    Store_LE16(d, on ? oneval : zeroval);
  });
}

void PixMap1_To_24(PixMapPtr src, PixMapPtr dst, a_pixel24 zeroval, a_pixel24 oneval) {
  Widen_1(src, dst, 3, [&](uint8* d, bool on) {
    // 24-bit pixels are blue, green, red like every other 24-bit map here.
    const a_pixel24& v = on ? oneval : zeroval;
    d[0] = v.b;
    d[1] = v.g;
    d[2] = v.r;
  });
}

void PixMap1_To_32(PixMapPtr src, PixMapPtr dst, a_pixel32 zeroval, a_pixel32 oneval) {
  Widen_1(src, dst, 4, [&](uint8* d, bool on) {
    const a_pixel32& v = on ? oneval : zeroval;
    d[0] = v.b;
    d[1] = v.g;
    d[2] = v.r;
    d[3] = v.a;
  });
}

void PixMap1_To_N(PixMapPtr src, PixMapPtr dst, a_pixel32 zeroval, a_pixel32 oneval) {
  switch (dst->pixelSize) {
    case 16: PixMap1_To_16(src, dst, RGB32_To_RGB16(zeroval), RGB32_To_RGB16(oneval)); break;
    case 24: {
      a_pixel24 z, o;
      RGB32_To_RGB24(zeroval, z);
      RGB32_To_RGB24(oneval, o);
      PixMap1_To_24(src, dst, z, o);
      break;
    }
    case 32: PixMap1_To_32(src, dst, zeroval, oneval); break;
    default: QUIT(); break;
  }
}

// ---------------------------------------------------------------------------
// Nearest-neighbour rotation: the one kernel of every depth
// ---------------------------------------------------------------------------

namespace {

// Maps every pixel of `out` back into `in`; pixels are copied whole. The
// doubled, rotated coordinates step by 2 cos and 2 sin along a row, which
// gives exactly the products of the direct formula. Products are formed in
// 64 bits: doubled coordinates of wide maps times 16384 would leave 32 bits.
template <int Bytes>
void Rotate_Kernel(PixMapPtr in, PixMapPtr out, int16 sin, int16 cos, int32 scenterh, int32 scenterv,
                   int32 dcenterh, int32 dcenterv, const uint8 (&tcolor)[4]) {
  const bool have_in = in->baseAddr != nullptr;
  const Rect sb = in->bounds, db = out->bounds;
  const uint32 sstride = PixMap_RowBytes(*in);
  const uint8* sbase = Base(*in);
  auto round14 = [](int64 t) { return t >= 0 ? (t + 8192) / 16384 : (t - 8192) / 16384; };
  // Source positions are taken relative to the map's top-left corner: the
  // halving truncates toward zero, which would otherwise map two rows (or
  // columns) onto one wherever the map's own coordinates are negative.
  const int64 sh = int64(scenterh) - 2 * int64(sb.left), sv = int64(scenterv) - 2 * int64(sb.top);
  const int64 sw = int64(sb.right) - sb.left, sht = int64(sb.bottom) - sb.top;
  for (int32 r = db.top; r < db.bottom; ++r) {
    uint8* d = RowPtr(*out, r - db.top);
    const int64 y = 2 * int64(r) + 1 - dcenterv;
    const int64 x0 = 2 * int64(db.left) + 1 - dcenterh;
    int64 u = x0 * cos - y * sin;
    int64 w = y * cos + x0 * sin;
    for (int32 c = db.left; c < db.right; ++c, d += Bytes, u += 2 * int64(cos), w += 2 * int64(sin)) {
      const int64 sx = (round14(u) + sh) / 2;
      const int64 sy = (round14(w) + sv) / 2;
      if (have_in && sx >= 0 && sx < sw && sy >= 0 && sy < sht)
        std::memcpy(d, sbase + sy * sstride + sx * Bytes, Bytes);
      else
        std::memcpy(d, tcolor, Bytes);
    }
  }
}

}  // namespace

void PixMap_RotateB(int16 bytes, PixMapPtr in, PixMapPtr out, int16 sin, int16 cos, int32 scenterh,
                    int32 scenterv, int32 dcenterh, int32 dcenterv, const uint8 (&tcolor)[4]) {
  if (in == nullptr || out == nullptr || out->baseAddr == nullptr) return;
  // A map of another depth would be read or written past its rows.
  if (out->pixelSize != 8 * bytes || (in->baseAddr != nullptr && in->pixelSize != 8 * bytes)) return;
  switch (bytes) {
    case 1: Rotate_Kernel<1>(in, out, sin, cos, scenterh, scenterv, dcenterh, dcenterv, tcolor); break;
    case 2: Rotate_Kernel<2>(in, out, sin, cos, scenterh, scenterv, dcenterh, dcenterv, tcolor); break;
    case 3: Rotate_Kernel<3>(in, out, sin, cos, scenterh, scenterv, dcenterh, dcenterv, tcolor); break;
    case 4: Rotate_Kernel<4>(in, out, sin, cos, scenterh, scenterv, dcenterh, dcenterv, tcolor); break;
    default: break;
  }
}

void PixMap8_RotateB(PixMapPtr in, PixMapPtr out, int16 sin, int16 cos, int16 scenterh,
                     int16 scenterv, int16 dcenterh, int16 dcenterv, uint8 tcolor) {
  const uint8 t[4] = {tcolor, 0, 0, 0};
  PixMap_RotateB(1, in, out, sin, cos, scenterh, scenterv, dcenterh, dcenterv, t);
}
