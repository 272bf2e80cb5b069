#include "pixel/ParsBMP.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

#include "host/HostByteOrder.h"
#include "host/HostFiles.h"
#include "pixel/DrawUtilMasked.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"
#include "platform/SysScrap.h"

namespace {

// The byte source of one read: the caller's reader, and what has been taken.
struct a_bmp_src {
  a_bmp_reader reader;
  void* rdata;
  uint64 consumed;
  bool8 failed;  // the reader reported an error
};

// Reads exactly n bytes; FALSE when the data end first or the reader fails.
bool8 Read_Exact(a_bmp_src& src, void* buf, uint32 n) {
  auto* p = static_cast<uint8*>(buf);
  while (n > 0) {
    uint32 len = n;
    if (src.reader(src.rdata, p, len) != 0) {
      src.failed = true;
      return false;
    }
    if (len == 0 || len > n) return false;
    p += len;
    n -= len;
    src.consumed += len;
  }
  return true;
}

bool8 Skip(a_bmp_src& src, uint64 n) {
  uint8 scratch[1024];
  while (n > 0) {
    const uint32 k = uint32(std::min<uint64>(n, sizeof scratch));
    if (!Read_Exact(src, scratch, k)) return false;
    n -= k;
  }
  return true;
}

// One colour channel described by a bit-field mask.
struct a_channel {
  uint32 mask;
  int shift;
  uint32 max;  // mask >> shift
};

a_channel Make_Channel(uint32 mask) {
  a_channel c{mask, 0, 0};
  if (mask != 0) {
    c.shift = std::countr_zero(mask);
    c.max = mask >> c.shift;
  }
  return c;
}

// The channel's value scaled to 0 .. top, rounded.
uint32 Channel_Value(const a_channel& c, uint32 px, uint32 top) {
  if (c.max == 0) return 0;
  const uint64 v = (px & c.mask) >> c.shift;
  return uint32((v * top + c.max / 2) / c.max);
}

struct a_bmp_info {
  int32 width;
  int32 height;   // rows, always positive
  bool8 topdown;  // the first stored row is the top one
  uint16 bitcount;
  uint32 compression;
  a_channel red, green, blue;
};

uint8* Row_Start(const PixMap& pm, int32 row) {
  return reinterpret_cast<uint8*>(pm.baseAddr) + size_t(row) * PixMap_RowBytes(pm);
}

// Converts one stored row into world row `row`.
void Convert_Row(const a_bmp_info& bi, const uint8* src, const PixMap& pm, int32 row) {
  uint8* dst = Row_Start(pm, row);
  const int32 w = bi.width;
  switch (bi.bitcount) {
    case 1:
      for (int32 x = 0; x < w; ++x) dst[x] = uint8((src[x >> 3] >> (7 - (x & 7))) & 1);
      break;
    case 4:
      for (int32 x = 0; x < w; ++x)
        dst[x] = (x & 1) ? uint8(src[x >> 1] & 0x0F) : uint8(src[x >> 1] >> 4);
      break;
    case 8:
      std::memcpy(dst, src, size_t(w));
      break;
    case 16:
      for (int32 x = 0; x < w; ++x) {
        const uint32 px = Load_LE16(src + 2 * x);
        const uint16 v = uint16((Channel_Value(bi.red, px, 31) << 10) |
                                (Channel_Value(bi.green, px, 31) << 5) |
                                Channel_Value(bi.blue, px, 31));
        Store_LE16(dst + 2 * x, v);
      }
      break;
    case 24:
      for (int32 x = 0; x < w; ++x) {
        dst[4 * x + 0] = src[3 * x + 0];
        dst[4 * x + 1] = src[3 * x + 1];
        dst[4 * x + 2] = src[3 * x + 2];
        dst[4 * x + 3] = 0;
      }
      break;
    case 32:
      for (int32 x = 0; x < w; ++x) {
        const uint32 px = Load_LE32(src + 4 * x);
        dst[4 * x + 0] = uint8(Channel_Value(bi.blue, px, 255));
        dst[4 * x + 1] = uint8(Channel_Value(bi.green, px, 255));
        dst[4 * x + 2] = uint8(Channel_Value(bi.red, px, 255));
        dst[4 * x + 3] = 0;
      }
      break;
    default:
      break;
  }
}

int16 Read_Raw(a_bmp_src& src, const a_bmp_info& bi, uint32 rowsize, const PixMap& pm) {
  std::vector<uint8> row(rowsize);
  for (int32 r = 0; r < bi.height; ++r) {
    // A row that is not all there is an error: the picture would otherwise
    // show the previous row's pixels again and pass for read.
    if (!Read_Exact(src, row.data(), rowsize)) return BMP_ERR_ROW;
    Convert_Row(bi, row.data(), pm, bi.topdown ? r : bi.height - 1 - r);
    Scan_Progress(int16(std::min<int32>(r, 32767)), int16(bi.height));
  }
  return BMP_OK;
}

// Run-length data, read in words through a buffer of 1,024 bytes.
struct a_rle_src {
  a_bmp_src* src;
  uint8 buf[1024];
  uint32 pos, len;
};

// Next byte; FALSE at the end of the data.
bool8 Rle_Byte(a_rle_src& rs, uint8& b) {
  if (rs.pos >= rs.len) {
    uint32 n = sizeof rs.buf;
    if (rs.src->reader(rs.src->rdata, rs.buf, n) != 0) {
      rs.src->failed = true;
      return false;
    }
    if (n == 0 || n > sizeof rs.buf) return false;
    rs.src->consumed += n;
    rs.pos = 0;
    rs.len = n;
  }
  b = rs.buf[rs.pos++];
  return true;
}

bool8 Rle_Word(a_rle_src& rs, uint8& a, uint8& b) { return Rle_Byte(rs, a) && Rle_Byte(rs, b); }

// Decodes RLE8 (nibbles FALSE) or RLE4 (nibbles TRUE) into the 8-bit world.
// Pixels that runs or literals put past the end of a row are dropped (some
// writers code each row out to its padded width), and the column stops at
// the width: a stream of runs without an end of line can never carry it
// further, however long it is. A delta that leaves the bitmap's rows or
// columns, anything drawn above the top row, and data that end without the
// end-of-bitmap code are refused.
int16 Read_RLE(a_bmp_src& src, const a_bmp_info& bi, bool8 nibbles, const PixMap& pm) {
  auto rs = std::make_unique<a_rle_src>();
  rs->src = &src;
  rs->pos = rs->len = 0;
  const int32 width = bi.width;
  int32 row = bi.height - 1;
  int32 col = 0;  // 0 .. width
  int32 last_reported = -1;
  for (;;) {
    uint8 n, v;
    if (!Rle_Word(*rs, n, v)) return BMP_ERR_RLE;
    if (n != 0) {
      if (row < 0) return BMP_ERR_RLE;
      uint8* dst = Row_Start(pm, row);
      const int32 k = std::min<int32>(n, width - col);
      for (int32 i = 0; i < k; ++i)
        dst[col + i] = nibbles ? ((i & 1) ? uint8(v & 0x0F) : uint8(v >> 4)) : v;
      col += k;
    } else if (v == 0) {  // end of line
      --row;
      col = 0;
    } else if (v == 1) {  // end of bitmap
      return BMP_OK;
    } else if (v == 2) {  // delta
      uint8 dx, dy;
      if (!Rle_Word(*rs, dx, dy)) return BMP_ERR_RLE;
      if (dx > width - col || dy > row) return BMP_ERR_RLE;
      col += dx;
      row -= dy;
    } else {  // v literal pixels, padded to whole words
      if (row < 0) return BMP_ERR_RLE;
      const int32 nbytes = nibbles ? (v + 1) / 2 : v;
      uint8* dst = Row_Start(pm, row);
      uint8 b = 0;
      for (int32 i = 0; i < v; ++i) {
        if (!nibbles || (i & 1) == 0) {
          if (!Rle_Byte(*rs, b)) return BMP_ERR_RLE;
        }
        const uint8 px = !nibbles ? b : (i & 1) ? uint8(b & 0x0F) : uint8(b >> 4);
        if (col < width) dst[col++] = px;
      }
      if (nbytes & 1) {
        uint8 pad;
        if (!Rle_Byte(*rs, pad)) return BMP_ERR_RLE;
      }
    }
    const int32 done = bi.height - 1 - row;
    if (done != last_reported && row >= 0) {
      last_reported = done;
      Scan_Progress(int16(std::min<int32>(done, 32767)), int16(bi.height));
    }
  }
}

}  // namespace

int16 Reader_Proc(void* data_ptr, void* buf, uint32& len) {
  const a_fd fd = *static_cast<a_fd*>(data_ptr);
  const OSErr err = File_Read2(fd, buf, len);
  if (err == eofErr) {
    len = 0;
    return 0;
  }
  if (err != noErr) len = 0;
  return err;
}

int16 Scan_BMP_2(bool8 isfile, a_bmp_reader reader, void* rdata, a_picture_scan_rec& scan) {
  return Scan_BMP_3(isfile, reader, rdata, UINT64_MAX, scan);
}

int16 Scan_BMP_3(bool8 isfile, a_bmp_reader reader, void* rdata, uint64 avail,
                 a_picture_scan_rec& scan) {
  a_bmp_src src{reader, rdata, 0, false};
  uint8 hdr[14 + 124] = {};
  uint32 offbits = 0;
  if (isfile) {
    if (!Read_Exact(src, hdr, 14)) return BMP_ERR_HEADER;
    if (hdr[0] != 'B' || hdr[1] != 'M') return BMP_ERR_NOT_BM;
    offbits = Load_LE32(hdr + 10);
  }
  uint8* info = hdr + 14;
  if (!Read_Exact(src, info, 4)) return BMP_ERR_HEADER;
  const uint32 infosize = Load_LE32(info);
  if (infosize != 40 && infosize != 52 && infosize != 56 && infosize != 108 && infosize != 124)
    return BMP_ERR_HEADER_SIZE;
  if (!Read_Exact(src, info + 4, infosize - 4)) return BMP_ERR_HEADER;

  a_bmp_info bi{};
  const int32 width = int32(Load_LE32(info + 4));
  const int32 height = int32(Load_LE32(info + 8));
  const uint16 planes = Load_LE16(info + 12);
  bi.bitcount = Load_LE16(info + 14);
  bi.compression = Load_LE32(info + 16);
  const uint32 clrused = Load_LE32(info + 32);

  if (width <= 0 || width > 32767 || height == 0 || height < -32767 || height > 32767 ||
      planes != 1)
    return BMP_ERR_GEOMETRY;
  bi.width = width;
  bi.topdown = height < 0;
  bi.height = height < 0 ? -height : height;

  const uint16 bc = bi.bitcount;
  if (bc != 1 && bc != 4 && bc != 8 && bc != 16 && bc != 24 && bc != 32) return BMP_ERR_BITCOUNT;
  switch (bi.compression) {
    case 0: break;
    case 1: if (bc != 8) return BMP_ERR_COMPRESSION; break;
    case 2: if (bc != 4) return BMP_ERR_COMPRESSION; break;
    case 3: if (bc != 16 && bc != 32) return BMP_ERR_COMPRESSION; break;
    default: return BMP_ERR_COMPRESSION;
  }
  // Run-length data are drawn from the bottom row up only.
  if (bi.topdown && (bi.compression == 1 || bi.compression == 2)) return BMP_ERR_GEOMETRY;
  if (clrused > 256) return BMP_ERR_TABLE_SIZE;

  // Colour masks: in the longer headers they are part of the header; after
  // the 40-byte one they take the colour table's place.
  uint32 masks[3] = {0, 0, 0};
  if (bi.compression == 3) {
    if (infosize == 40) {
      uint8 m[12];
      if (!Read_Exact(src, m, 12)) return BMP_ERR_TABLE;
      for (int i = 0; i < 3; ++i) masks[i] = Load_LE32(m + 4 * i);
    } else {
      for (int i = 0; i < 3; ++i) masks[i] = Load_LE32(info + 40 + 4 * i);
    }
    if (masks[0] == 0 || masks[1] == 0 || masks[2] == 0) return BMP_ERR_COMPRESSION;
  } else if (bc == 16) {
    masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
  } else {
    masks[0] = 0x00FF0000; masks[1] = 0x0000FF00; masks[2] = 0x000000FF;
  }
  bi.red = Make_Channel(masks[0]);
  bi.green = Make_Channel(masks[1]);
  bi.blue = Make_Channel(masks[2]);

  std::memset(scan.ctable, 0, sizeof scan.ctable);
  uint32 ncolors = clrused;
  if (ncolors == 0 && bc < 16) ncolors = 1u << bc;
  for (uint32 i = 0; i < ncolors; ++i) {
    uint8 e[4];
    if (!Read_Exact(src, e, 4)) return BMP_ERR_TABLE;
    scan.ctable[i].b = e[0];
    scan.ctable[i].g = e[1];
    scan.ctable[i].r = e[2];
    scan.ctable[i].a = 0;
  }

  // A file's pixels start where its header says, which need not be right
  // after the colour table.
  if (isfile && offbits != 0) {
    if (offbits < src.consumed) return BMP_ERR_OFFSET;
    if (!Skip(src, offbits - src.consumed)) return BMP_ERR_ROW;
  }

  const uint64 rowsize = ((uint64(bi.width) * bc + 31) / 32) * 4;
  if (bi.compression == 0 || bi.compression == 3) {
    if (avail != UINT64_MAX &&
        (avail < src.consumed || avail - src.consumed < rowsize * uint64(bi.height)))
      return BMP_ERR_ROW;
  }

  const int16 depth = bc <= 8 ? 8 : bc == 16 ? 16 : 32;
  int16 result = Scan_New_Fore(scan, bi.width, bi.height, depth);
  if (result != 0) return result;
  const PixMap& pm = *Get_GWorld_PixMap(scan.body.fore);
  Lock_GWorld(scan.body.fore);

  Scan_Progress(-1, -1);
  if (bi.compression == 1 || bi.compression == 2)
    result = Read_RLE(src, bi, bi.compression == 2, pm);
  else
    result = Read_Raw(src, bi, uint32(rowsize), pm);
  Scan_Progress(-2, -2);

  Unlock_GWorld(scan.body.fore);
  if (result != 0) {
    Dispose_GWorld(scan.body.fore);
    scan.body.bounds = Rect{0, 0, 0, 0};
  }
  return result;
}

int16 Scan_BMP(const FSSpec& path, a_picture_scan_rec& scan, a_file_format& format) {
  Clear_Scan_Rec(scan);
  format = FMT_BMP;
  a_fd fd = File_Open(path, GENERIC_READ);
  if (Is_Null_Fd(fd)) return -1;
  const int32 eof = File_GetEOF(fd);
  const uint64 avail = eof >= 0 && eof < 0x7FFFFFFF ? uint64(eof) : UINT64_MAX;
  const int16 result = Scan_BMP_3(true, Reader_Proc, &fd, avail, scan);
  File_Close(fd);
  return result;
}

int16 Write_BMP(a_file_format, const FSSpec& path, const a_pixel32 (&colors)[256],
                const PixMap& pix) {
  const int16 bc = pix.pixelSize;
  if (bc != 1 && bc != 8 && bc != 16 && bc != 24 && bc != 32) {
    QUIT();
    return -1;
  }
  const int32 width = pix.bounds.right - pix.bounds.left;
  const int32 height = pix.bounds.bottom - pix.bounds.top;
  if (width <= 0 || height <= 0 || pix.baseAddr == nullptr) return -1;
  const uint32 rowsize = uint32(((uint64(width) * uint32(bc) + 31) / 32) * 4);
  const uint32 stride = PixMap_RowBytes(pix);
  if (stride < rowsize) return -1;
  const uint64 image = uint64(rowsize) * uint64(height);
  if (1078 + image > 0xFFFFFFFFull) return -1;

  std::vector<uint8> hdr;
  hdr.reserve(1078);
  hdr.push_back('B');
  hdr.push_back('M');
  Append_LE32(hdr, uint32(1078 + image));
  Append_LE16(hdr, 0);
  Append_LE16(hdr, 0);
  Append_LE32(hdr, 1078);
  Append_LE32(hdr, 40);
  Append_LE32(hdr, uint32(width));
  Append_LE32(hdr, uint32(height));
  Append_LE16(hdr, 1);
  Append_LE16(hdr, uint16(bc));
  Append_LE32(hdr, 0);
  Append_LE32(hdr, uint32(image));
  Append_LE32(hdr, 2835);
  Append_LE32(hdr, 2835);
  Append_LE32(hdr, 0);
  Append_LE32(hdr, 0);
  for (int i = 0; i < 256; ++i) {
    a_pixel32 c{};
    if (bc == 8) {
      c = colors[i];
    } else if (bc == 1 && i == 0) {
      c.b = c.g = c.r = 255;  // 0 is paper, 1 ink
    }
    hdr.push_back(c.b);
    hdr.push_back(c.g);
    hdr.push_back(c.r);
    hdr.push_back(0);
  }

  HostReplace rep;
  if (!Host_Replace_Begin(rep, path.name)) return -1;
  bool ok = Host_Replace_Write(rep, hdr.data(), hdr.size());
  // Rows go bottom row first, as the format stores them.
  const auto* base = reinterpret_cast<const uint8*>(pix.baseAddr);
  for (int32 r = height - 1; ok && r >= 0; --r)
    ok = Host_Replace_Write(rep, base + size_t(r) * stride, rowsize);
  if (!ok) {
    Host_Replace_Abort(rep);
    return -1;
  }
  return Host_Replace_Commit(rep) ? 0 : -1;
}

void ParsBMP_Init() {
  Scrap_Set_Bitmap_Reader(a_scrap_bitmap_reader{
      Clear_Scan_Rec, Scan_BMP_3, [](a_picture_scan_rec& scan) { Dispose_MW(scan.body); }});
}
