#include "pixel/ParsChunk.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "host/HostByteOrder.h"
#include "platform/SysVideo.h"

a_fd g_chunk_fd = NULL_FD;
int32 g_chunk_pre = 0;
int32 g_chunk_off = 0;
int32 g_chunk_len = 0;

namespace {

// Where reads may go: anywhere in the file (before any search, for the
// preamble), only inside the body of the chunk found, or nowhere (the last
// search found nothing).
enum a_read_mode { READ_FREE, READ_BODY, READ_NONE };

a_read_mode g_rmode = READ_FREE;
int64 g_rpos = 0;        // READ_BODY: file position of the next byte
int64 g_rend = 0;        // READ_BODY: end of the body
OSErr g_rerr = noErr;    // first read error of the chunk being read

bool g_writing = false;        // between Chunk_WriteStart and Chunk_WriteStop
OSErr g_werr_chunk = noErr;    // first write error of the chunk being written
OSErr g_werr_stream = noErr;   // first write error since Chunk_Init

void Note_Write_Error(OSErr e) {
  if (e == noErr) return;
  if (g_werr_chunk == noErr) g_werr_chunk = e;
  if (g_werr_stream == noErr) g_werr_stream = e;
}

void Note_Read_Error(OSErr e) {
  if (e != noErr && g_rerr == noErr) g_rerr = e;
}

// Bytes that may still be read: the rest of the body, or of the file.
int64 Read_Remaining() {
  switch (g_rmode) {
    case READ_BODY:
      return g_rend - g_rpos;
    case READ_FREE: {
      const int32 end = File_GetEOF(g_chunk_fd);
      const int32 pos = File_GetPos(g_chunk_fd);
      return end < 0 || pos < 0 ? 0 : std::max<int64>(int64(end) - pos, 0);
    }
    case READ_NONE:
      break;
  }
  return 0;
}

bool Label_Ok(CStrSpan label) {
  if (label.size() >= 4) return true;
  QUIT();
  return false;
}

bool Served_Depth(int16 depth) { return depth == 1 || depth == 8 || depth == 16 || depth == 32; }

// Bytes of one version-2 row of w pixels.
int32 Row_Len2(int16 depth, int32 w) {
  switch (depth) {
    case 1:
      return (w + 7) / 8;
    case 8:
      return w;
    case 16:
      return w * 2;
    default:
      return w * 4;
  }
}

CTabHandle Depth_CTable(int16 depth) {
  if (depth == 8) return gray_ctable;
  if (depth == 1) return mono_ctable;
  return nullptr;
}

// --- Picture bodies ------------------------------------------------------------------

struct a_pix_head {
  int16 version;
  Rect bounds;
  Rect subset;  // version 1: the bounds
  int16 pixelsize;
  int32 rowlen;  // bytes of one stored row
  int32 nrows;
};

// Reads and checks a picture header (the chunk has been found). The checks
// are what keeps the row loops inside the map and the row buffer, and keep a
// short body from costing a large allocation.
OSErr Read_Pix_Head(a_pix_head& h) {
  int16 compression = 0;
  Chunk_ReadInt16(h.version);
  if (g_rerr != noErr) return g_rerr;
  if (h.version != 1 && h.version != 2) return kChunkBadData;
  Chunk_ReadInt16(compression);  // ignored
  Chunk_ReadRect(h.bounds);
  if (h.version == 2) Chunk_ReadRect(h.subset);
  Chunk_ReadInt16(h.pixelsize);
  if (g_rerr != noErr) return g_rerr;
  if (!Served_Depth(h.pixelsize)) return kChunkBadData;

  const Rect& b = h.bounds;
  if (b.right < b.left || b.bottom < b.top) return kChunkBadData;
  const int32 width = int32(b.right) - b.left;
  if (uint64(PixMap_Calc_RowBytes(width, h.pixelsize)) * uint64(int32(b.bottom) - b.top) > kChunkMaxMapBytes)
    return kChunkBadData;
  if (h.version == 1) {
    h.subset = b;
    // Older files stored whole rows padded to 16 bits, which is never more
    // than our 32-bit padded rows; checked all the same, as the rows go
    // straight into the map.
    const uint32 len = Calc_Row_Bytes(h.pixelsize, width);
    if (len > PixMap_Calc_RowBytes(width, h.pixelsize)) return kChunkBadData;
    h.rowlen = int32(len);
    h.nrows = int32(b.bottom) - b.top;
  } else {
    const Rect& s = h.subset;
    if (s.right < s.left || s.bottom < s.top) return kChunkBadData;
    if (s.left < b.left || s.top < b.top || s.right > b.right || s.bottom > b.bottom) return kChunkBadData;
    h.rowlen = Row_Len2(h.pixelsize, int32(s.right) - s.left);
    if (h.rowlen > kChunkRowBufSize) return kChunkBadData;
    h.nrows = int32(s.bottom) - s.top;
  }
  if (int64(h.nrows) * h.rowlen > Read_Remaining()) return eofErr;
  return noErr;
}

// 0 and 255 exchanged, every other value kept: older files stored 8-bit maps
// with the opposite sense of black and white.
uint8 Swap_0_255(uint8 v) { return v == 0 ? 255 : v == 255 ? 0 : v; }

// Fills pix (new, all zero, of the header's bounds and depth) from the rows.
OSErr Read_Pix_Rows(const a_pix_head& h, PixMap& pix) {
  uint8* const base = reinterpret_cast<uint8*>(pix.baseAddr);
  const uint32 stride = PixMap_RowBytes(pix);
  if (h.nrows == 0 || h.rowlen == 0) return noErr;
  if (base == nullptr) return errFailed;

  if (h.version == 1) {
    if (uint32(h.rowlen) > stride) return kChunkBadData;
    // Stored bottom row first.
    for (int32 i = 0; i < h.nrows; ++i) {
      uint8* row = base + size_t(h.nrows - 1 - i) * stride;
      if (Chunk_ReadRaw(row, uint32(h.rowlen)) != noErr) return g_rerr;
      if (h.pixelsize == 8) {
        for (int32 x = 0; x < h.rowlen; ++x) row[x] = Swap_0_255(row[x]);
      }
    }
    return noErr;
  }

  std::vector<uint8> buf(static_cast<size_t>(h.rowlen));
  const int32 w = int32(h.subset.right) - h.subset.left;
  const int32 x0 = int32(h.subset.left) - h.bounds.left;  // first column in the map
  for (int32 y = h.subset.top; y < h.subset.bottom; ++y) {
    if (Chunk_ReadRaw(buf.data(), uint32(h.rowlen)) != noErr) return g_rerr;
    uint8* row = base + size_t(y - h.bounds.top) * stride;
    switch (h.pixelsize) {
      case 1:
        // Clear bits stay 0, as the map starts; padding bits are ignored.
        for (int32 i = 0; i < w; ++i) {
          if (buf[size_t(i >> 3)] & (0x80u >> (i & 7))) {
            const int32 x = x0 + i;
            row[x >> 3] = uint8(row[x >> 3] | (0x80u >> (x & 7)));
          }
        }
        break;
      case 8:
        std::memcpy(row + x0, buf.data(), size_t(w));
        break;
      case 16:
        // Memory holds 16-bit pixels little-endian.
        for (int32 i = 0; i < w; ++i) {
          uint8* p = row + size_t(x0 + i) * 2;
          p[0] = buf[size_t(i) * 2 + 1];
          p[1] = buf[size_t(i) * 2];
        }
        break;
      default:
        // Disk red, green, blue, alpha; memory blue, green, red, alpha.
        for (int32 i = 0; i < w; ++i) {
          const uint8* s = &buf[size_t(i) * 4];
          uint8* p = row + size_t(x0 + i) * 4;
          p[0] = s[2];
          p[1] = s[1];
          p[2] = s[0];
          p[3] = s[3];
        }
        break;
    }
  }
  return noErr;
}

// Reads the picture chunk's header; on success the stream is at its rows.
// noErr with found FALSE when the chunk is absent or empty.
OSErr Find_Pix(CStrSpan label, int32 id, bool& found, a_pix_head& h) {
  found = false;
  if (!Chunk_Find(label, id)) return Chunk_Read_Error();
  found = true;
  return Read_Pix_Head(h);
}

}  // namespace

uint32 Calc_Row_Bytes(int16 pixelsize, int32 perrow) {
  const uint64 bits = uint64(uint32(std::max(perrow, 0))) * uint64(uint16(std::max<int16>(pixelsize, 0)));
  return uint32(((bits + 15) / 16) * 2);
}

// --- The stream ----------------------------------------------------------------------

void Chunk_Init(a_fd fd, int32 preamble_size) {
  g_chunk_fd = fd;
  g_chunk_pre = std::max(preamble_size, 0);
  g_chunk_off = 0;
  g_chunk_len = 0;
  g_rmode = READ_FREE;
  g_rpos = g_rend = 0;
  g_rerr = noErr;
  g_writing = false;
  g_werr_chunk = g_werr_stream = noErr;
}

OSErr Chunk_Stop() {
  if (!Is_Null_Fd(g_chunk_fd)) File_Close(g_chunk_fd);
  g_chunk_fd = NULL_FD;
  g_writing = false;
  g_rmode = READ_NONE;
  return g_werr_stream;
}

OSErr Chunk_Write_Error() { return g_werr_stream; }
OSErr Chunk_Read_Error() { return g_rerr; }

void Chunk_WriteStart(CStrSpan clabel, int32 cid) {
  if (!Label_Ok(clabel)) return;
  // A chunk left open would keep the length 0 in front of its body, and every
  // search would then read its body as headers and lose the rest of the file.
  // Close it with the length it has.
  if (g_writing) Chunk_WriteStop();
  g_writing = true;
  g_werr_chunk = noErr;
  g_chunk_len = 0;
  // Chunks are always appended.
  const int32 end = File_GetEOF(g_chunk_fd);
  if (end < 0 || end > INT32_MAX - kChunkHeaderSize || File_SetPos(g_chunk_fd, end) != noErr) {
    g_chunk_off = -1;
    Note_Write_Error(errFailed);
    return;
  }
  uint8 hdr[kChunkHeaderSize];
  std::memcpy(hdr, clabel.data(), 4);
  Store_BE32(hdr + 4, uint32(cid));
  Store_BE32(hdr + 8, 0);  // the length, filled in by Chunk_WriteStop
  g_chunk_off = end + 8;
  Note_Write_Error(File_Write(g_chunk_fd, hdr, sizeof hdr));
}

OSErr Chunk_WriteStop() {
  if (!g_writing) return errFailed;
  g_writing = false;
  if (g_chunk_off < 0) return g_werr_chunk != noErr ? g_werr_chunk : errFailed;
  uint8 len[4];
  Store_BE32(len, uint32(g_chunk_len));
  OSErr e = File_SetPos(g_chunk_fd, g_chunk_off);
  if (e == noErr) e = File_Write(g_chunk_fd, len, sizeof len);
  Note_Write_Error(e);
  // A chunk with any failed write is a failed chunk, whatever its length says.
  return e != noErr ? e : g_werr_chunk;
}

bool8 Chunk_Find(CStrSpan targ_label, int32 targ_id) {
  g_rmode = READ_NONE;
  g_rerr = noErr;
  if (!Label_Ok(targ_label)) return false;
  const int32 end = File_GetEOF(g_chunk_fd);
  if (end < 0) {
    g_rerr = errFailed;
    return false;
  }
  int64 pos = g_chunk_pre;
  while (pos < end) {
    // A header cut off by the end of the file, or a length that runs back
    // (which would search forever) or past the end: the file is damaged from
    // here on, and nothing behind it can be trusted.
    if (end - pos < kChunkHeaderSize) {
      g_rerr = kChunkBadData;
      return false;
    }
    uint8 hdr[kChunkHeaderSize];
    if (File_SetPos(g_chunk_fd, int32(pos)) != noErr || File_Read(g_chunk_fd, hdr, sizeof hdr) != noErr) {
      g_rerr = errFailed;
      return false;
    }
    const int32 cid = int32(Load_BE32(hdr + 4));
    const int32 clen = int32(Load_BE32(hdr + 8));
    g_chunk_len = clen;
    const int64 body = pos + kChunkHeaderSize;
    if (clen < 0 || clen > end - body) {
      g_rerr = kChunkBadData;
      return false;
    }
    if (std::memcmp(hdr, targ_label.data(), 4) == 0 && cid == targ_id) {
      // The first match decides, even when it is empty.
      if (clen == 0) return false;
      g_rmode = READ_BODY;
      g_rpos = body;
      g_rend = body + clen;
      return true;
    }
    pos = body + clen;
  }
  return false;
}

OSErr Chunk_ReadRaw(void* ptr, uint32 len) {
  if (len == 0) return noErr;
  OSErr e = noErr;
  switch (g_rmode) {
    case READ_NONE:
      e = errFailed;
      break;
    case READ_BODY:
      if (g_rerr != noErr) {
        e = g_rerr;
      } else if (int64(len) > g_rend - g_rpos) {
        e = eofErr;
      } else {
        e = File_Read(g_chunk_fd, ptr, len);
        g_rpos += len;
      }
      break;
    case READ_FREE:
      e = File_Read(g_chunk_fd, ptr, len);
      break;
  }
  if (e != noErr) {
    // Never hand on a partly filled value.
    std::memset(ptr, 0, len);
    Note_Read_Error(e == eofErr ? eofErr : errFailed);
    return g_rmode == READ_BODY ? g_rerr : e;
  }
  return noErr;
}

OSErr Chunk_WriteRaw(const void* ptr, uint32 len) {
  // The running length counts every byte, written or not; a body too long for
  // its length field is a failed write.
  const int64 n = int64(g_chunk_len) + len;
  if (n > INT32_MAX) {
    g_chunk_len = INT32_MAX;
    Note_Write_Error(errFailed);
  } else {
    g_chunk_len = int32(n);
  }
  if (len == 0) return noErr;
  const OSErr e = File_Write(g_chunk_fd, ptr, len);
  Note_Write_Error(e);
  return e;
}

// --- Typed values --------------------------------------------------------------------

void Chunk_ReadBoolean(bool8& val) {
  uint8 b = 0;
  Chunk_ReadRaw(&b, 1);
  // Stored as 0 or 1; any other byte is taken as TRUE rather than loaded into
  // a bool as it stands.
  val = b != 0;
}

void Chunk_WriteBoolean(bool8 val) {
  const uint8 b = val ? 1 : 0;
  Chunk_WriteRaw(&b, 1);
}

void Chunk_ReadCard16(uint16& val) {
  uint8 b[2];
  Chunk_ReadRaw(b, 2);
  val = Load_BE16(b);
}

void Chunk_WriteCard16(uint16 val) {
  uint8 b[2];
  Store_BE16(b, val);
  Chunk_WriteRaw(b, 2);
}

void Chunk_ReadInt16(int16& val) {
  uint16 v;
  Chunk_ReadCard16(v);
  val = int16(v);
}

void Chunk_WriteInt16(int16 val) { Chunk_WriteCard16(uint16(val)); }

void Chunk_ReadCard32(uint32& val) {
  uint8 b[4];
  Chunk_ReadRaw(b, 4);
  val = Load_BE32(b);
}

void Chunk_WriteCard32(uint32 val) {
  uint8 b[4];
  Store_BE32(b, val);
  Chunk_WriteRaw(b, 4);
}

void Chunk_ReadInt32(int32& val) {
  uint32 v;
  Chunk_ReadCard32(v);
  val = int32(v);
}

void Chunk_WriteInt32(int32 val) { Chunk_WriteCard32(uint32(val)); }

void Chunk_ReadReal(float& val) {
  uint32 v;
  Chunk_ReadCard32(v);
  val = std::bit_cast<float>(v);
}

void Chunk_WriteReal(float val) { Chunk_WriteCard32(std::bit_cast<uint32>(val)); }

void Chunk_ReadFRect(a_frect& val) {
  Chunk_ReadReal(val.left);
  Chunk_ReadReal(val.top);
  Chunk_ReadReal(val.right);
  Chunk_ReadReal(val.bottom);
}

void Chunk_WriteFRect(const a_frect& val) {
  Chunk_WriteReal(val.left);
  Chunk_WriteReal(val.top);
  Chunk_WriteReal(val.right);
  Chunk_WriteReal(val.bottom);
}

void Chunk_ReadPoint(Point& val) {
  Chunk_ReadInt16(val.v);
  Chunk_ReadInt16(val.h);
}

void Chunk_WritePoint(Point val) {
  Chunk_WriteInt16(val.v);
  Chunk_WriteInt16(val.h);
}

void Chunk_ReadRect(Rect& val) {
  Chunk_ReadInt16(val.top);
  Chunk_ReadInt16(val.left);
  Chunk_ReadInt16(val.bottom);
  Chunk_ReadInt16(val.right);
}

void Chunk_WriteRect(const Rect& val) {
  Chunk_WriteInt16(val.top);
  Chunk_WriteInt16(val.left);
  Chunk_WriteInt16(val.bottom);
  Chunk_WriteInt16(val.right);
}

void Chunk_ReadPixel32(a_pixel32& val) {
  uint8 b[4];
  Chunk_ReadRaw(b, 4);
  val.r = b[0];
  val.g = b[1];
  val.b = b[2];
  val.a = b[3];
}

void Chunk_WritePixel32(const a_pixel32& val) {
  const uint8 b[4] = {val.r, val.g, val.b, val.a};
  Chunk_WriteRaw(b, 4);
}

void Chunk_ReadKey(a_keyset& val) {
  Chunk_ReadInt16(val.a);
  Chunk_ReadInt16(val.b);
  Chunk_ReadInt16(val.c);
  Chunk_ReadInt16(val.d);
}

void Chunk_WriteKey(const a_keyset& val) {
  Chunk_WriteInt16(val.a);
  Chunk_WriteInt16(val.b);
  Chunk_WriteInt16(val.c);
  Chunk_WriteInt16(val.d);
}

void Chunk_ReadPString(StrSpan val) {
  uint8 n = 0;
  char text[256];
  Chunk_ReadRaw(&n, 1);
  Chunk_ReadRaw(text, n);
  if (val.empty()) return;
  const size_t k = std::min<size_t>(n, val.size() - 1);
  std::memcpy(val.data(), text, k);
  val[k] = 0;
}

void Chunk_WritePString(CStrSpan val) {
  size_t n = 0;
  while (n < val.size() && n < 255 && val[n] != 0) ++n;
  uint8 buf[256];
  buf[0] = uint8(n);
  std::memcpy(buf + 1, val.data(), n);
  Chunk_WriteRaw(buf, uint32(n + 1));
}

void Chunk_ReadPath(FSSpec& val) {
  int16 vol = 0;
  int32 dir = 0;
  Str255 name;
  const OSErr before = g_rerr;
  Chunk_ReadInt16(vol);
  Chunk_ReadInt32(dir);
  Chunk_ReadPString(name);
  // Volume and parent are left as they were; a failed read leaves the name too.
  if (before == noErr && g_rerr == noErr && g_rmode != READ_NONE) {
    std::memcpy(val.name, name, std::strlen(name) + 1);
  }
}

void Chunk_WritePath(const FSSpec& val) {
  Chunk_WriteInt16(0);
  Chunk_WriteInt32(0);
  size_t n = 0;
  while (n < sizeof val.name && val.name[n] != 0) ++n;
  // The length byte cannot say more than 255, and a cut path could name
  // another file: a longer one is stored empty.
  if (n > 255) n = 0;
  Chunk_WritePString(CStrSpan(val.name, n));
}

void Chunk_ReadUString(UStrSpan buf, int32 nbytes) {
  if (nbytes < 0 || (nbytes & 1) != 0 || size_t(nbytes / 2) > buf.size()) {
    Note_Read_Error(errFailed);
    return;
  }
  const size_t units = size_t(nbytes / 2);
  std::vector<uint8> bytes(static_cast<size_t>(nbytes));
  Chunk_ReadRaw(bytes.data(), uint32(nbytes));
  for (size_t i = 0; i < units; ++i) buf[i] = UniChar(Load_BE16(&bytes[i * 2]));
}

void Chunk_WriteUString(CUStrSpan buf, int32 nbytes) {
  if (nbytes < 0 || (nbytes & 1) != 0 || size_t(nbytes / 2) > buf.size()) {
    Note_Write_Error(errFailed);
    return;
  }
  const size_t units = size_t(nbytes / 2);
  std::vector<uint8> bytes(static_cast<size_t>(nbytes));
  for (size_t i = 0; i < units; ++i) Store_BE16(&bytes[i * 2], uint16(buf[i]));
  Chunk_WriteRaw(bytes.data(), uint32(nbytes));
}

// --- Memory blocks -------------------------------------------------------------------

void Chunk_ReadHandle(Handle& hdl) {
  hdl = nullptr;
  const OSErr before = g_rerr;
  int32 n = 0;
  Chunk_ReadInt32(n);
  if (before != noErr || g_rerr != noErr || g_rmode == READ_NONE || n == 0) return;
  if (n < 0) {
    Note_Read_Error(errFailed);
    return;
  }
  // A length beyond what the body still holds is damage, not a request for
  // memory.
  if (int64(n) > Read_Remaining()) {
    Note_Read_Error(eofErr);
    return;
  }
  Handle h = New_Handle(uint32(n));
  if (h == nullptr) {
    g_err_mem_proc(uint32(n));
    Note_Read_Error(errFailed);
    return;
  }
  Ptr p = Handle_Lock(h);
  const OSErr e = Chunk_ReadRaw(p, uint32(n));
  Handle_Unlock(h);
  if (e != noErr) {
    Dispose_Handle(h);
    return;
  }
  hdl = h;
}

void Chunk_WriteHandle(Handle hdl) {
  uint32 size = Handle_GetSize(hdl);
  Ptr p = size != 0 ? Handle_Lock(hdl) : nullptr;
  if (p == nullptr) size = 0;
  Chunk_WriteInt32(int32(size));
  if (size != 0) {
    Chunk_WriteRaw(p, size);
    Handle_Unlock(hdl);
  }
}

// --- Pictures ------------------------------------------------------------------------

OSErr Chunk_ReadPix(CStrSpan label, int32 id, PixMap& pix) {
  Null_PixMap(pix);
  bool found = false;
  a_pix_head h{};
  OSErr e = Find_Pix(label, id, found, h);
  if (!found || e != noErr) return e;
  New_PixMap(pix, h.bounds, h.pixelsize, Depth_CTable(h.pixelsize));
  if (Is_Null_PixMap(pix)) return errFailed;  // the out-of-memory hook returned
  e = Read_Pix_Rows(h, pix);
  if (e != noErr) Dispose_PixMap(pix);
  return e;
}

OSErr Chunk_WritePix(CStrSpan label, int32 id, const PixMap* pix, const Rect& subset) {
  if (pix == nullptr || Is_Null_PixMap(*pix)) return noErr;
  if (!Label_Ok(label)) return errFailed;
  const int16 depth = pix->pixelSize;
  if (!Served_Depth(depth)) {
    QUIT();
    return errFailed;
  }
  // Only pixels the map has can be written.
  const Rect& b = pix->bounds;
  Rect s{std::max(subset.top, b.top), std::max(subset.left, b.left), std::min(subset.bottom, b.bottom),
         std::min(subset.right, b.right)};
  if (s.right <= s.left || s.bottom <= s.top) s = Rect{b.top, b.left, b.top, b.left};
  const int32 w = int32(s.right) - s.left;
  const int32 rowlen = Row_Len2(depth, w);
  if (rowlen > kChunkRowBufSize) {
    // The readers could not take it back (nor could older versions).
    Note_Write_Error(errFailed);
    return errFailed;
  }

  Chunk_WriteStart(label, id);
  Chunk_WriteInt16(2);
  Chunk_WriteInt16(0);
  Chunk_WriteRect(b);
  Chunk_WriteRect(s);
  Chunk_WriteInt16(depth);

  const uint8* base = reinterpret_cast<const uint8*>(pix->baseAddr);
  const uint32 stride = PixMap_RowBytes(*pix);
  const int32 x0 = int32(s.left) - b.left;
  std::vector<uint8> buf(size_t(std::max(rowlen, 1)));
  for (int32 y = s.top; y < s.bottom; ++y) {
    const uint8* row = base + size_t(y - b.top) * stride;
    switch (depth) {
      case 1:
        std::fill(buf.begin(), buf.end(), uint8(0));
        for (int32 i = 0; i < w; ++i) {
          const int32 x = x0 + i;
          if (row[x >> 3] & (0x80u >> (x & 7))) buf[size_t(i >> 3)] = uint8(buf[size_t(i >> 3)] | (0x80u >> (i & 7)));
        }
        break;
      case 8:
        std::memcpy(buf.data(), row + x0, size_t(w));
        break;
      case 16:
        for (int32 i = 0; i < w; ++i) {
          const uint8* p = row + size_t(x0 + i) * 2;
          buf[size_t(i) * 2] = p[1];
          buf[size_t(i) * 2 + 1] = p[0];
        }
        break;
      default:
        for (int32 i = 0; i < w; ++i) {
          const uint8* p = row + size_t(x0 + i) * 4;
          uint8* d = &buf[size_t(i) * 4];
          d[0] = p[2];
          d[1] = p[1];
          d[2] = p[0];
          d[3] = p[3];
        }
        break;
    }
    Chunk_WriteRaw(buf.data(), uint32(rowlen));
  }
  return Chunk_WriteStop();
}

OSErr Chunk_ReadWorld(CStrSpan label, int32 id, GWorldPtr& out_world, Rect& out_bounds) {
  out_world = nullptr;
  bool found = false;
  a_pix_head h{};
  OSErr e = Find_Pix(label, id, found, h);
  if (!found || e != noErr) return e;
  // A world cannot be empty.
  if (h.bounds.right == h.bounds.left || h.bounds.bottom == h.bounds.top) return kChunkBadData;
  GWorldPtr w = nullptr;
  New_GWorldF("ParsChunk", h.bounds, h.pixelsize, Depth_CTable(h.pixelsize), w);
  if (w == nullptr) return errFailed;  // the out-of-memory hook returned
  Lock_GWorld(w);
  e = Read_Pix_Rows(h, *Get_GWorld_PixMap(w));
  Unlock_GWorld(w);
  if (e != noErr) {
    Dispose_GWorld(w);
    return e;
  }
  out_world = w;
  out_bounds = h.bounds;
  return noErr;
}

OSErr Chunk_WriteWorld(CStrSpan label, int32 id, GWorldPtr world, const Rect& subset) {
  if (world == nullptr) return noErr;
  const bool locked = Is_GWorld_Locked(world);
  if (!locked) Lock_GWorld(world);
  const OSErr e = Chunk_WritePix(label, id, Get_GWorld_PixMap(world), subset);
  if (!locked) Unlock_GWorld(world);
  return e;
}

OSErr Chunk_ReadMW(CStrSpan labelf, CStrSpan labelm, int32 id, a_masked_gworld& mw) {
  const Rect old_bounds = mw.bounds;
  Rect fore_bounds = old_bounds;
  Rect mask_bounds{};
  mw.fore = mw.mask = nullptr;
  OSErr e = Chunk_ReadWorld(labelf, id, mw.fore, fore_bounds);
  if (e == noErr) e = Chunk_ReadWorld(labelm, id, mw.mask, mask_bounds);
  // The mask is read pixel for pixel against the fore world: it must cover
  // exactly the same area, one byte a pixel.
  if (e == noErr && mw.mask != nullptr &&
      (mw.fore == nullptr || !(mask_bounds == fore_bounds) || Get_GWorld_PixelSize(mw.mask) != 8)) {
    e = kChunkBadData;
  }
  if (e != noErr) {
    Dispose_GWorld(mw.fore);
    Dispose_GWorld(mw.mask);
    mw.bounds = old_bounds;
    return e;
  }
  mw.bounds = fore_bounds;
  return noErr;
}

OSErr Chunk_WriteMW(CStrSpan labelf, CStrSpan labelm, int32 id, const a_masked_gworld& mw) {
  const OSErr ef = Chunk_WriteWorld(labelf, id, mw.fore, mw.bounds);
  const OSErr em = Chunk_WriteWorld(labelm, id, mw.mask, mw.bounds);
  return ef != noErr ? ef : em;
}
