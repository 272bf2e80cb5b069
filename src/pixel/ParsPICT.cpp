#include "pixel/ParsPICT.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "host/HostByteOrder.h"
#include "host/HostFiles.h"
#include "pixel/DrawUtil.h"
#include "platform/Quickdraw.h"
#include "platform/SysErr.h"
#include "platform/SysWin.h"

namespace {

// ---------------------------------------------------------------------------
// Reading: a cursor over the picture that never passes its end
// ---------------------------------------------------------------------------

struct a_pict_cursor {
  const uint8* start;
  const uint8* p;
  const uint8* end;
  bool8 bad;  // a read ran past the end

  size_t Left() const { return size_t(end - p); }
  bool8 Need(size_t n) {
    if (Left() < n) bad = true;
    return !bad;
  }
  uint8 GetChar() {
    if (!Need(1)) return 0;
    return *p++;
  }
  uint16 GetWord() {
    if (!Need(2)) return 0;
    const uint16 v = Load_BE16(p);
    p += 2;
    return v;
  }
  uint32 GetLong() {
    const uint32 hi = GetWord();
    return (hi << 16) | GetWord();
  }
  Rect GetRect() {
    Rect r;
    r.top = int16(GetWord());
    r.left = int16(GetWord());
    r.bottom = int16(GetWord());
    r.right = int16(GetWord());
    return r;
  }
  void Skip(size_t n) {
    if (Need(n)) p += n;
  }
  // A region: its size word counts itself.
  void GetRegion() {
    const uint16 size = GetWord();
    if (size < 2) {
      bad = true;
      return;
    }
    Skip(size - 2u);
  }
  // Version 2 opcodes start on even offsets.
  void Align() {
    if ((p - start) & 1) Skip(1);
  }
};

struct a_pixmap_header {
  uint16 rowBytes;  // without the flags
  Rect bounds;
  int16 packType;
  int16 pixelSize;
  int16 cmpCount;
  bool8 is_pixmap;  // FALSE: a 1-bit BitMap
};

void Get_PixMap_Header(a_pict_cursor& c, uint16 rb, a_pixmap_header& h) {
  h.rowBytes = rb & 0x3FFF;
  h.is_pixmap = (rb & 0x8000) != 0;
  h.bounds = c.GetRect();
  h.packType = 0;
  h.pixelSize = 1;
  h.cmpCount = 1;
  if (!h.is_pixmap) return;
  c.GetWord();  // pmVersion
  h.packType = int16(c.GetWord());
  c.GetLong();  // packSize
  c.GetLong();  // hRes
  c.GetLong();  // vRes
  c.GetWord();  // pixelType
  h.pixelSize = int16(c.GetWord());
  h.cmpCount = int16(c.GetWord());
  c.GetWord();  // cmpSize
  c.GetLong();  // planeBytes
  c.GetLong();  // pmTable
  c.GetLong();  // pmReserved
}

int16 GetColorTable(a_pict_cursor& c, a_picture_scan_rec& scan) {
  c.GetLong();  // seed
  const uint16 flags = c.GetWord();
  const int32 n = int32(int16(c.GetWord())) + 1;
  if (c.bad) return PICT_ERR_SHORT;
  if (n < 0 || n > 256) return PICT_ERR_CTABLE;
  if (!c.Need(size_t(n) * 8)) return PICT_ERR_SHORT;
  std::memset(scan.ctable, 0, sizeof scan.ctable);
  for (int32 i = 0; i < n; ++i) {
    const uint16 value = c.GetWord();
    const uint16 r = c.GetWord(), g = c.GetWord(), b = c.GetWord();
    const uint32 index = flags == 0x8000 ? uint32(i) : value;
    if (index > 255) return PICT_ERR_CTABLE;
    scan.ctable[index].r = uint8(r >> 8);
    scan.ctable[index].g = uint8(g >> 8);
    scan.ctable[index].b = uint8(b >> 8);
    scan.ctable[index].a = 0;
  }
  return PICT_OK;
}

// Run-length decoding by 16-bit words: n of 0..127 copies n + 1 words, 129..255
// repeats the next word 257 - n times. FALSE when the source ends first.
bool8 UnpackBits16(const uint8*& src, const uint8* src_end, uint8* dst, size_t nwords) {
  size_t done = 0;
  while (done < nwords) {
    if (src >= src_end) return false;
    const uint8 n = *src++;
    if (n < 128) {
      const size_t k = size_t(n) + 1;
      if (size_t(src_end - src) < 2 * k) return false;
      for (size_t i = 0; i < k; ++i, src += 2)
        if (done < nwords) {
          dst[2 * done] = src[0];
          dst[2 * done + 1] = src[1];
          ++done;
        }
    } else if (n > 128) {
      const size_t k = 257 - size_t(n);
      if (src_end - src < 2) return false;
      for (size_t i = 0; i < k && done < nwords; ++i, ++done) {
        dst[2 * done] = src[0];
        dst[2 * done + 1] = src[1];
      }
      src += 2;
    }
  }
  return true;
}

// Reads one stored row (packed or not) into row (`want` bytes).
// kind: 0 bytes by PackBits, 1 words by PackBits (16-bit pixels), 2 not packed.
int16 Get_Row(a_pict_cursor& c, const a_pixmap_header& h, int kind, uint8* row, size_t want) {
  if (kind == 2) {
    if (!c.Need(want)) return PICT_ERR_SHORT;
    std::memcpy(row, c.p, want);
    c.p += want;
    return PICT_OK;
  }
  const uint32 count = h.rowBytes > 250 ? c.GetWord() : c.GetChar();
  if (c.bad || !c.Need(count)) return PICT_ERR_SHORT;
  const uint8* src = c.p;
  const uint8* src_end = c.p + count;
  c.p += count;
  bool8 ok;
  if (kind == 1) {
    ok = UnpackBits16(src, src_end, row, want / 2);
  } else {
    uint8* out = row;
    ok = UnpackBits_Bounded(src, src_end, out, int32(want));
  }
  return ok ? PICT_OK : PICT_ERR_SHORT;
}

// Reads the pixel rows of an indexed (direct FALSE) or direct bitmap into a
// new world.
int16 Get_PixelData(a_pict_cursor& c, const a_pixmap_header& h, bool8 direct, bool8 packed,
                    a_picture_scan_rec& scan) {
  const int32 width = int32(h.bounds.right) - h.bounds.left;
  const int32 height = int32(h.bounds.bottom) - h.bounds.top;
  if (width <= 0 || height <= 0) return PICT_ERR_BITMAP;
  const int16 ps = h.pixelSize;
  int16 depth;
  int kind;            // how rows are stored (see Get_Row)
  size_t want;         // bytes of one unpacked row
  if (!direct) {
    if (ps != 1 && ps != 2 && ps != 4 && ps != 8) return PICT_ERR_BITMAP;
    depth = 8;
    want = h.rowBytes;
    if (uint64(h.rowBytes) * 8 < uint64(width) * uint64(ps)) return PICT_ERR_BITMAP;
    kind = h.rowBytes < 8 || !packed ? 2 : 0;
  } else if (ps == 16) {
    depth = 16;
    want = h.rowBytes;
    if (uint64(h.rowBytes) < uint64(width) * 2) return PICT_ERR_BITMAP;
    kind = h.rowBytes < 8 || h.packType == 1 ? 2 : 1;
    if (kind == 1 && h.packType != 0 && h.packType != 3) return PICT_ERR_BITMAP;
  } else if (ps == 32) {
    depth = 32;
    const int16 pack = h.packType == 0 ? 4 : h.packType;
    if (h.rowBytes < 8 || pack == 1) {
      want = h.rowBytes;
      kind = 2;
      if (uint64(h.rowBytes) < uint64(width) * 4) return PICT_ERR_BITMAP;
    } else if (pack == 2) {
      want = size_t(width) * 3;
      kind = 2;
    } else if (pack == 4) {
      if (h.cmpCount != 3 && h.cmpCount != 4) return PICT_ERR_BITMAP;
      want = size_t(width) * size_t(h.cmpCount);
      kind = 0;
    } else {
      return PICT_ERR_BITMAP;
    }
  } else {
    return PICT_ERR_BITMAP;
  }
  int16 result = Scan_New_Fore(scan, width, height, depth);
  if (result != PICT_OK) return result;
  const PixMap& pm = *Get_GWorld_PixMap(scan.body.fore);
  auto* base = reinterpret_cast<uint8*>(pm.baseAddr);
  const uint32 stride = PixMap_RowBytes(pm);
  std::vector<uint8> row(want + 1);
  const int16 pack32 = h.packType == 0 ? 4 : h.packType;

  Scan_Progress(-1, -1);
  for (int32 y = 0; y < height && result == PICT_OK; ++y) {
    Scan_Progress(int16(std::min<int32>(y + 1, 32767)), int16(std::min<int32>(height, 32767)));
    result = Get_Row(c, h, kind, row.data(), want);
    if (result != PICT_OK) break;
    uint8* dst = base + size_t(y) * stride;
    // Store_Row
    if (!direct) {
      for (int32 x = 0; x < width; ++x) {
        const uint32 bit = uint32(x) * uint32(ps);
        const uint8 byte = row[bit >> 3];
        dst[x] = uint8((byte >> (8 - ps - (bit & 7))) & ((1u << ps) - 1));
      }
    } else if (ps == 16) {
      for (int32 x = 0; x < width; ++x) Store_LE16(dst + 2 * x, uint16(Load_BE16(row.data() + 2 * x) & 0x7FFF));
    } else {
      for (int32 x = 0; x < width; ++x) {
        uint8 r, g, b;
        if (kind == 2 && pack32 != 2) {  // x, R, G, B
          r = row[4 * x + 1], g = row[4 * x + 2], b = row[4 * x + 3];
        } else if (pack32 == 2) {
          r = row[3 * x], g = row[3 * x + 1], b = row[3 * x + 2];
        } else {  // planes: (alpha,) red, green, blue
          const size_t first = h.cmpCount == 4 ? 1 : 0;
          r = row[(first + 0) * size_t(width) + size_t(x)];
          g = row[(first + 1) * size_t(width) + size_t(x)];
          b = row[(first + 2) * size_t(width) + size_t(x)];
        }
        dst[4 * x] = b, dst[4 * x + 1] = g, dst[4 * x + 2] = r, dst[4 * x + 3] = 0;
      }
    }
  }
  Scan_Progress(-2, -2);
  return result;
}

// Opcodes 0x90 and 0x98 (indexed) or 0x9A (direct); c stands behind the opcode.
int16 Get_Bits(a_pict_cursor& c, uint16 op, a_picture_scan_rec& scan) {
  const bool8 direct = op == 0x9A;
  if (direct) c.GetLong();  // base address
  const uint16 rb = c.GetWord();
  a_pixmap_header h;
  Get_PixMap_Header(c, rb, h);
  if (c.bad) return PICT_ERR_SHORT;
  if (!direct) {
    if (h.is_pixmap) {
      const int16 r = GetColorTable(c, scan);
      if (r != PICT_OK) return r;
    } else {
      // A 1-bit BitMap has no table: QuickDraw draws 0 white and 1 black.
      std::memset(scan.ctable, 0, sizeof scan.ctable);
      scan.ctable[0].r = scan.ctable[0].g = scan.ctable[0].b = 255;
    }
  } else if (!h.is_pixmap) {
    return PICT_ERR_BITMAP;
  }
  c.GetRect();  // source
  c.GetRect();  // destination
  c.GetWord();  // mode
  if (c.bad) return PICT_ERR_SHORT;
  // BitsRect (0x90) rows are never packed.
  return Get_PixelData(c, h, direct, op != 0x90, scan);
}

}  // namespace

int16 Scan_Pict_Buf(const uint8* buf, size_t len, a_picture_scan_rec& scan) {
  a_pict_cursor c{buf, buf, buf + len, false};
  // GetPictHeader: size, frame, version.
  c.GetWord();
  c.GetRect();
  bool8 v2;
  const uint16 w = c.GetWord();
  if (c.bad) return PICT_ERR_HEADER;
  if (w == 0x1101) {  // version opcode 0x11 and its value 1, then byte opcodes
    v2 = false;
  } else if (w == 0x0011 && c.GetWord() == 0x02FF && !c.bad) {
    v2 = true;
  } else {
    return PICT_ERR_HEADER;
  }
  for (;;) {
    if (v2) c.Align();
    const uint16 op = v2 ? c.GetWord() : c.GetChar();
    if (c.bad) return PICT_ERR_SHORT;
    switch (op) {
      case 0x00:
        break;
      case 0x01:
        c.GetRegion();
        break;
      case 0x1E:
        if (!v2) return PICT_ERR_NO_IMAGE;
        break;
      case 0xA0:
        c.Skip(2);
        break;
      case 0xA1: {
        c.GetWord();
        const uint16 n = c.GetWord();
        c.Skip(n);
        break;
      }
      case 0x0C00:
        c.Skip(24);
        break;
      case 0x90:
      case 0x98:
      case 0x9A: {
        if (op == 0x9A && !v2) return PICT_ERR_NO_IMAGE;
        const int16 r = Get_Bits(c, op, scan);
        if (r != PICT_OK) {
          Dispose_GWorld(scan.body.fore);
          scan.body.bounds = Rect{0, 0, 0, 0};
        }
        return r;
      }
      default:  // 0xFF (end) and everything else end the search
        return PICT_ERR_NO_IMAGE;
    }
    if (c.bad) return PICT_ERR_SHORT;
  }
}

int16 Scan_PICT(const FSSpec& path, a_picture_scan_rec& scan, a_file_format& format) {
  Clear_Scan_Rec(scan);
  format = FMT_PICT;
  std::vector<uint8> bytes;
  if (!Scan_Read_File(path, bytes)) return PICT_ERR_OPEN;
  if (bytes.size() <= 512) return PICT_ERR_HEADER;
  return Scan_Pict_Buf(bytes.data() + 512, bytes.size() - 512, scan);
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

namespace {

void Put_Char(std::vector<uint8>& out, uint8 v) { out.push_back(v); }
void Put_Int16(std::vector<uint8>& out, int16 v) { Append_BE16(out, uint16(v)); }
void Put_Rect(std::vector<uint8>& out, const Rect& r) {
  Put_Int16(out, r.top);
  Put_Int16(out, r.left);
  Put_Int16(out, r.bottom);
  Put_Int16(out, r.right);
}

}  // namespace

int16 Write_PICT(a_file_format, const FSSpec& path, OSType, OSType, const a_pixel32 (&colors)[256],
                 const PixMap& pix) {
  if (pix.pixelSize != 8) {
    QUIT();
    return -1;
  }
  const int32 width = int32(pix.bounds.right) - pix.bounds.left;
  const int32 height = int32(pix.bounds.bottom) - pix.bounds.top;
  const uint32 stride = PixMap_RowBytes(pix);
  if (width <= 0 || height <= 0 || pix.baseAddr == nullptr || stride < uint32(width)) return -1;
  // A picture's row bytes have 14 bits; keep them even, as QuickDraw wants.
  const uint32 rowbytes = (uint32(width) + 1) & ~1u;
  if (rowbytes > 0x3FFF) return -1;
  const Rect frame{0, 0, int16(height), int16(width)};

  std::vector<uint8> out(512, 0);
  Append_BE16(out, 0);  // picture size, patched below
  Put_Rect(out, frame);
  Append_BE16(out, 0x0011);
  Append_BE16(out, 0x02FF);
  Append_BE16(out, 0x0C00);
  Append_BE32(out, 0xFFFFFFFF);  // version -1: a fixed-point frame follows
  Append_BE32(out, 0);
  Append_BE32(out, 0);
  Append_BE32(out, uint32(width) << 16);
  Append_BE32(out, uint32(height) << 16);
  Append_BE32(out, 0);
  Append_BE16(out, 0x001E);
  Append_BE16(out, 0x0001);  // clip region: a rectangle
  Append_BE16(out, 10);
  Put_Rect(out, frame);

  Append_BE16(out, 0x0098);
  Append_BE16(out, uint16(rowbytes | 0x8000));
  Put_Rect(out, frame);
  Append_BE16(out, 0);            // pmVersion
  Append_BE16(out, 0);            // packType
  Append_BE32(out, 0);            // packSize
  Append_BE32(out, 0x00480000);   // hRes
  Append_BE32(out, 0x00480000);   // vRes
  Append_BE16(out, 0);            // pixelType
  Append_BE16(out, 8);            // pixelSize
  Append_BE16(out, 1);            // cmpCount
  Append_BE16(out, 8);            // cmpSize
  Append_BE32(out, 0);            // planeBytes
  Append_BE32(out, 0);            // pmTable
  Append_BE32(out, 0);            // pmReserved
  Append_BE32(out, 0);            // colour table: seed
  Append_BE16(out, 0);            // flags
  Append_BE16(out, 255);          // size
  for (int i = 0; i < 256; ++i) {
    Append_BE16(out, uint16(i));
    Append_BE16(out, uint16(colors[i].r * 257));
    Append_BE16(out, uint16(colors[i].g * 257));
    Append_BE16(out, uint16(colors[i].b * 257));
  }
  Put_Rect(out, frame);  // source
  Put_Rect(out, frame);  // destination
  Append_BE16(out, 0);    // srcCopy

  std::vector<uint8> row(rowbytes, 0);
  std::vector<uint8> packed;
  const auto* base = reinterpret_cast<const uint8*>(pix.baseAddr);
  for (int32 y = 0; y < height; ++y) {
    std::memcpy(row.data(), base + size_t(y) * stride, size_t(width));
    if (rowbytes < 8) {
      out.insert(out.end(), row.begin(), row.end());
      continue;
    }
    packed.clear();
    Pack_Bits(row.data(), rowbytes, packed);
    if (rowbytes > 250) Append_BE16(out, uint16(packed.size()));
    else Put_Char(out, uint8(packed.size()));
    out.insert(out.end(), packed.begin(), packed.end());
  }
  if (out.size() & 1) Put_Char(out, 0);
  Append_BE16(out, 0x00FF);
  // The size field holds the low 16 bits of the picture's length.
  const size_t picsize = out.size() - 512;
  Store_BE16(out.data() + 512, uint16(picsize));

  return Host_Replace_File(path.name, out.data(), out.size()) ? 0 : -1;
}
