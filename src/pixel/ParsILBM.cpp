#include "pixel/ParsILBM.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "host/HostByteOrder.h"
#include "platform/Quickdraw.h"
#include "platform/SysWin.h"

namespace {

void Report_Row(int32 row, int32 h) {
  Scan_Progress(int16(std::min<int32>(row + 1, 32767)), int16(std::min<int32>(h, 32767)));
}

// The BODY being expanded: a cursor that never passes its end.
struct a_body {
  const uint8* p;
  const uint8* start;
  const uint8* end;
};

// One row (PBM) or plane row (ILBM) of n bytes into dst, copied or unpacked.
bool8 Get_Row(a_body& body, bool8 packed, uint8* dst, uint32 n) {
  if (packed) {
    uint8* out = dst;
    return UnpackBits_Bounded(body.p, body.end, out, int32(n));
  }
  if (uint64(body.end - body.p) < n) return false;
  std::memcpy(dst, body.p, n);
  body.p += n;
  return true;
}

// Packed data must be used up, up to the one pad byte of an odd BODY.
bool8 Used_Up(const a_body& body) { return body.end - body.p <= 1; }

int16 ExpandPBM(a_body& body, const a_BMHD_rec& hd, const PixMap& pm) {
  const bool8 packed = hd.compression == COMP_RUN;
  const uint32 L = hd.w + (hd.w & 1u);
  std::vector<uint8> row(L);
  auto* base = reinterpret_cast<uint8*>(pm.baseAddr);
  const uint32 stride = PixMap_RowBytes(pm);
  for (int32 y = 0; y < hd.h; ++y) {
    Report_Row(y, hd.h);
    if (!Get_Row(body, packed, row.data(), L)) return ILBM_ERR_BODY;
    std::memcpy(base + size_t(y) * stride, row.data(), hd.w);
  }
  if (packed && !Used_Up(body)) return ILBM_ERR_UNUSED;
  return ILBM_OK;
}

int16 ExpandILBM(a_body& body, const a_BMHD_rec& hd, const PixMap& pm) {
  const bool8 packed = hd.compression == COMP_RUN;
  uint32 plane_bytes = (uint32(hd.w) + 7) / 8;
  plane_bytes += plane_bytes & 1u;
  std::vector<uint8> row(plane_bytes);
  auto* base = reinterpret_cast<uint8*>(pm.baseAddr);
  const uint32 stride = PixMap_RowBytes(pm);
  for (int32 y = 0; y < hd.h; ++y) {
    Report_Row(y, hd.h);
    uint8* dst = base + size_t(y) * stride;
    for (int p = 0; p < hd.nplanes; ++p) {
      if (!Get_Row(body, packed, row.data(), plane_bytes)) return ILBM_ERR_BODY;
      // MergeRow: each set bit adds its plane's weight to the pixel.
      const uint8 weight = uint8(1u << p);
      for (uint32 x = 0; x < hd.w; ++x)
        if (row[x >> 3] & (0x80 >> (x & 7))) dst[x] |= weight;
    }
    if (hd.masking == MASK_HASMASK) {  // the mask plane is read and dropped
      if (!Get_Row(body, packed, row.data(), plane_bytes)) return ILBM_ERR_BODY;
    }
  }
  if (packed && !Used_Up(body)) return ILBM_ERR_UNUSED;
  return ILBM_OK;
}

}  // namespace

int16 Scan_ILBM_Buf(const uint8* data, size_t len, a_picture_scan_rec& scan, a_file_format& format) {
  format = FMT_ILBM;
  Clear_Scan_Rec(scan);
  if (len < 12) return ILBM_ERR_GROUP;
  const bool8 pbm = std::memcmp(data + 8, "PBM ", 4) == 0;
  if (!pbm && std::memcmp(data + 8, "ILBM", 4) != 0) return ILBM_ERR_FORM;
  // The chunks run to the group's end; a group length beyond the file is
  // taken as the file's end, and chunks that pass it are refused below.
  const uint64 group_end = 8 + uint64(Load_BE32(data + 4));
  const size_t limit = size_t(std::min<uint64>(group_end, len));

  a_BMHD_rec hd{};
  bool8 have_hd = false;
  size_t pos = 12;
  int16 result = ILBM_OK;
  Scan_Progress(-1, -1);
  while (pos < limit && result == ILBM_OK) {
    if (limit - pos < 8) {
      result = ILBM_ERR_CHUNK;
      break;
    }
    const uint8* id = data + pos;
    const uint32 clen = Load_BE32(data + pos + 4);
    pos += 8;
    const bool8 is_body = std::memcmp(id, "BODY", 4) == 0;
    if (clen > limit - pos) {
      // A chunk that runs past the file; for the BODY this is its data not
      // being there.
      result = is_body ? ILBM_ERR_BODY : ILBM_ERR_CHUNK;
      break;
    }
    const uint8* c = data + pos;
    if (std::memcmp(id, "BMHD", 4) == 0) {
      if (clen < 20) {
        result = ILBM_ERR_BMHD;
        break;
      }
      hd.w = Load_BE16(c);
      hd.h = Load_BE16(c + 2);
      hd.x = int16(Load_BE16(c + 4));
      hd.y = int16(Load_BE16(c + 6));
      hd.nplanes = c[8];
      hd.masking = c[9];
      hd.compression = c[10];
      hd.pad1 = c[11];
      hd.transparent = Load_BE16(c + 12);
      hd.xaspect = c[14];
      hd.yaspect = c[15];
      hd.pageWidth = int16(Load_BE16(c + 16));
      hd.pageHeight = int16(Load_BE16(c + 18));
      if (hd.nplanes > 8) {
        result = ILBM_ERR_PLANES;
        break;
      }
      have_hd = true;
    } else if (std::memcmp(id, "CMAP", 4) == 0) {
      const uint32 n = clen / 3;
      if (n == 0 || n > 256) {
        result = ILBM_ERR_CMAP;
        break;
      }
      std::memset(scan.ctable, 0, sizeof scan.ctable);
      for (uint32 i = 0; i < n; ++i) {
        scan.ctable[i].r = c[3 * i];
        scan.ctable[i].g = c[3 * i + 1];
        scan.ctable[i].b = c[3 * i + 2];
        scan.ctable[i].a = 0;
      }
    } else if (is_body && scan.body.fore == nullptr) {
      // Only the first BODY is read.
      if (!have_hd) {
        result = ILBM_ERR_NO_BMHD;
        break;
      }
      if (hd.w == 0 || hd.h == 0 || (!pbm && hd.nplanes == 0)) {
        result = ILBM_ERR_SIZE;
        break;
      }
      result = Scan_New_Fore(scan, hd.w, hd.h, 8);
      if (result != ILBM_OK) break;
      a_body body{c, c, c + clen};
      const PixMap& pm = *Get_GWorld_PixMap(scan.body.fore);
      result = pbm ? ExpandPBM(body, hd, pm) : ExpandILBM(body, hd, pm);
    }
    // CRNG and every other chunk: skipped whole.
    pos += clen;
    if ((clen & 1u) && pos < limit) ++pos;
  }
  Scan_Progress(-2, -2);
  // A file without a picture is not a success.
  if (result == ILBM_OK && scan.body.fore == nullptr) result = ILBM_ERR_NO_BODY;
  if (result != ILBM_OK) {
    Dispose_GWorld(scan.body.fore);
    scan.body.bounds = Rect{0, 0, 0, 0};
  }
  return result;
}

int16 Scan_ILBM(const FSSpec& path, a_picture_scan_rec& scan, a_file_format& format) {
  format = FMT_ILBM;
  Clear_Scan_Rec(scan);
  std::vector<uint8> bytes;
  if (!Scan_Read_File(path, bytes)) return ILBM_ERR_OPEN;
  return Scan_ILBM_Buf(bytes.data(), bytes.size(), scan, format);
}
