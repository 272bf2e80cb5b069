#include "pixel/ParsQuik.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "host/HostByteOrder.h"
#include "host/HostCodecs.h"
#include "host/HostFiles.h"
#include "pixel/DrawUtil.h"
#include "pixel/ParsBMP.h"
#include "pixel/ParsGIF.h"
#include "pixel/ParsILBM.h"
#include "pixel/ParsPICT.h"
#include "platform/SysVideo.h"
#include "platform/VoskErr.h"

void Clear_Scan_Rec(a_picture_scan_rec& scan) {
  std::memset(static_cast<void*>(&scan), 0, sizeof(scan));
  Null_MW(scan.body);
}

// 128 million pixels: a 32-bit world of half a gigabyte, well beyond any
// picture a label needs even at print resolution.
uint64 g_scan_max_pixels = 128ull * 1024 * 1024;

int16 Scan_New_Fore(a_picture_scan_rec& scan, int32 width, int32 height, int16 depth) {
  scan.body.fore = nullptr;
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return kScanNoMemory;
  return Scan_New_Fore_Bounds(scan, Rect{0, 0, int16(height), int16(width)}, depth);
}

int16 Scan_New_Fore_Bounds(a_picture_scan_rec& scan, const Rect& bounds, int16 depth) {
  scan.body.fore = nullptr;
  const int32 width = int32(bounds.right) - bounds.left;
  const int32 height = int32(bounds.bottom) - bounds.top;
  if (width <= 0 || height <= 0 || uint64(width) * uint64(height) > g_scan_max_pixels)
    return kScanNoMemory;
  if (New_GWorld(bounds, depth, nullptr, scan.body.fore) != noErr) {
    scan.body.fore = nullptr;
    return kScanNoMemory;
  }
  scan.body.bounds = bounds;
  return 0;
}

void Scan_Progress(int16 num, int16 den) {
  if (g_progproc != nullptr) g_progproc(num, den);
}

bool8 Scan_Read_File(const FSSpec& path, std::vector<uint8>& bytes) {
  bytes.clear();
  const a_fd fd = File_Open(path, GENERIC_READ);
  if (Is_Null_Fd(fd)) return false;
  const int32 eof = File_GetEOF(fd);
  bool8 ok = eof >= 0 && eof <= (1 << 30);
  if (ok) {
    bytes.resize(size_t(eof));
    ok = eof == 0 || File_Read(fd, bytes.data(), uint32(eof)) == noErr;
  }
  File_Close(fd);
  if (!ok) bytes.clear();
  return ok;
}

// ===========================================================================
// Import of picture files
// ===========================================================================

const char kCodec_JPEG[4] = {'J', 'P', 'E', 'G'};
const char kCodec_PNG[4] = {'P', 'N', 'G', 'f'};
const char kCodec_TIFF[4] = {'T', 'I', 'F', 'F'};
const char kCodec_PSD[4] = {'8', 'B', 'P', 'S'};
const char kCodec_GIF[4] = {'G', 'I', 'F', 'f'};
const char kCodec_BMP[4] = {'B', 'M', 'P', 'f'};
const char kCodec_PICT[4] = {'P', 'I', 'C', 'T'};
const char kCodec_ILBM[4] = {'I', 'L', 'B', 'M'};

namespace {

// Alert 39: "Sorry, this image is too large to import. ..." (a side beyond
// kQuikMaxSide); alert 78: the picture cannot be held, even reduced.
constexpr int16 kAlertTooLarge = 39;
constexpr int16 kAlertNoRoom = 78;

using a_codec_decoder = int (*)(const uint8* data, size_t len, const HostImageSink& sink);

enum a_importer_kind : int16 { IMP_HOST, IMP_GIF, IMP_BMP, IMP_PICT, IMP_ILBM };

struct a_importer {
  const char* code;
  a_importer_kind kind;
  a_codec_decoder decode;  // for IMP_HOST
};

const a_importer kImporters[] = {
    {kCodec_JPEG, IMP_HOST, Host_Decode_JPEG}, {kCodec_PNG, IMP_HOST, Host_Decode_PNG},
    {kCodec_TIFF, IMP_HOST, Host_Decode_TIFF}, {kCodec_PSD, IMP_HOST, Host_Decode_PSD},
    {kCodec_GIF, IMP_GIF, nullptr},            {kCodec_BMP, IMP_BMP, nullptr},
    {kCodec_PICT, IMP_PICT, nullptr},          {kCodec_ILBM, IMP_ILBM, nullptr},
};

const a_importer* Find_Importer(const char (&codec)[4]) {
  for (const a_importer& imp : kImporters)
    if (std::memcmp(imp.code, codec, 4) == 0) return &imp;
  return nullptr;
}

// A QuickDraw picture file: a 512-byte header, the size and frame, then the
// version opcode of version 1 (0x1101) or 2 (0x0011 0x02FF).
bool Is_PICT_File(const uint8* d, size_t len) {
  if (len < 512 + 14) return false;
  const uint8* v = d + 512 + 10;
  return (v[0] == 0x11 && v[1] == 0x01) || (v[0] == 0x00 && v[1] == 0x11 && v[2] == 0x02 && v[3] == 0xFF);
}

const a_importer* Sniff_Importer(const uint8* d, size_t len) {
  const char(*code)[4] = nullptr;
  if (Host_Is_JPEG(d, len)) code = &kCodec_JPEG;
  else if (Host_Is_PNG(d, len)) code = &kCodec_PNG;
  else if (Host_Is_TIFF(d, len)) code = &kCodec_TIFF;
  else if (Host_Is_PSD(d, len)) code = &kCodec_PSD;
  else if (len >= 6 && std::memcmp(d, "GIF8", 4) == 0) code = &kCodec_GIF;
  else if (len >= 2 && d[0] == 'B' && d[1] == 'M') code = &kCodec_BMP;
  else if (len >= 12 && std::memcmp(d, "FORM", 4) == 0 &&
           (std::memcmp(d + 8, "ILBM", 4) == 0 || std::memcmp(d + 8, "PBM ", 4) == 0))
    code = &kCodec_ILBM;
  else if (Is_PICT_File(d, len)) code = &kCodec_PICT;
  return code != nullptr ? Find_Importer(*code) : nullptr;
}

int16 Codec_Result(int r) {
  switch (r) {
    case HC_OK: return QUIK_OK;
    case HC_NOT_FORMAT: return QUIK_ERR_NO_IMPORTER;
    case HC_BAD_HEADER: return QUIK_ERR_NO_BOUNDS;
    case HC_UNSUPPORTED: return QUIK_ERR_DEPTH;
    case HC_TOO_LARGE:
    case HC_NOMEM: return QUIK_ERR_NOMEM;
    case HC_TOO_WIDE: return QUIK_ERR_TOO_LARGE;
    default: return QUIK_ERR_DATA;
  }
}

// One import: the whole picture (want NIL) or a reduction.
struct a_import {
  const a_scan_want* want;
  bool8 report;
};

// The sink of the host decoders: the scan's fore world.
struct a_quik_sink {
  a_picture_scan_rec* scan;
  a_import how;
  HostImageInfo info;
};

bool Side_Too_Large(int32 width, int32 height) { return width > kQuikMaxSide || height > kQuikMaxSide; }

// Asked as soon as a decoder knows the size, before anything of that size
// is allocated: too large a side for the program (alert 39), or beyond what
// a world may hold.
int Quik_Check(void* ctx, const HostImageInfo& info) {
  const auto& s = *static_cast<const a_quik_sink*>(ctx);
  if (Side_Too_Large(info.width, info.height)) {
    if (s.how.report) OK_Alert(false, kAlertTooLarge);
    return HC_TOO_WIDE;
  }
  if (info.out_width <= 0 || info.out_height <= 0 ||
      uint64(info.out_width) * uint64(info.out_height) > g_scan_max_pixels)
    return HC_TOO_LARGE;
  return HC_OK;
}

// Only for a reduced import.
double Quik_Reduce(void* ctx, const HostImageInfo& info) {
  const auto& s = *static_cast<const a_quik_sink*>(ctx);
  return Scan_Want_Fraction(*s.how.want, info.width, info.height);
}

// The decoders ask Quik_Check first.
int Quik_Alloc(void* ctx, const HostImageInfo& info, uint8*& base, size_t& stride) {
  auto& s = *static_cast<a_quik_sink*>(ctx);
  if (Scan_New_Fore(*s.scan, info.out_width, info.out_height, 32) != 0) return HC_TOO_LARGE;
  s.info = info;
  base = reinterpret_cast<uint8*>(Get_GWorld_BaseAddr(s.scan->body.fore));
  stride = PixMap_RowBytes(Get_GWorld_PixMap(s.scan->body.fore));
  return HC_OK;
}

// The bytes of a memory block for the BMP reader.
struct a_mem_source {
  const uint8* data;
  size_t len;
  size_t pos;
};

int16 Mem_Reader_Proc(void* data_ptr, void* buf, uint32& len) {
  auto& m = *static_cast<a_mem_source*>(data_ptr);
  const size_t n = std::min<size_t>(len, m.len - m.pos);
  if (n > 0) std::memcpy(buf, m.data + m.pos, n);
  m.pos += n;
  len = uint32(n);
  return 0;
}

// Reads with one of our own readers into `tmp`, then turns its world (8-bit
// colour indexes, 16-bit 5-5-5, or 32-bit) into the 32-bit fore world of
// `out`, reduced as `how` asks. The GIF's transparent colour gets alpha 0.
// natural := the picture's own bounds.
int16 Scan_Own(a_importer_kind kind, const uint8* d, size_t len, const a_import& how,
               a_picture_scan_rec& out, bool8& indexed, Rect& natural) {
  auto tmp = std::make_unique<a_picture_scan_rec>();
  Clear_Scan_Rec(*tmp);
  a_file_format fmt = FMT_DISC;
  int16 r = 0;
  switch (kind) {
    case IMP_GIF: r = Scan_GIF_Buf(d, len, *tmp, fmt); break;
    case IMP_ILBM: r = Scan_ILBM_Buf(d, len, *tmp, fmt); break;
    case IMP_PICT:
      r = len > 512 ? Scan_Pict_Buf(d + 512, len - 512, *tmp) : int16(PICT_ERR_HEADER);
      break;
    case IMP_BMP: {
      a_mem_source src{d, len, 0};
      r = Scan_BMP_3(true, Mem_Reader_Proc, &src, len, *tmp);
      break;
    }
    default: r = QUIK_ERR_NO_IMPORTER; break;
  }
  if (r != 0 || tmp->body.fore == nullptr) {
    Dispose_MW(tmp->body);
    return r != 0 ? r : int16(QUIK_ERR_DATA);
  }
  const PixMap* in = Get_GWorld_PixMap(tmp->body.fore);
  const int32 width = int32(in->bounds.right) - in->bounds.left;
  const int32 height = int32(in->bounds.bottom) - in->bounds.top;
  const int16 depth = in->pixelSize;
  if (Side_Too_Large(width, height)) {
    Dispose_MW(tmp->body);
    if (how.report) OK_Alert(false, kAlertTooLarge);
    return QUIK_ERR_TOO_LARGE;
  }
  if (depth != 8 && depth != 16 && depth != 32) {
    Dispose_MW(tmp->body);
    return QUIK_ERR_DATA;
  }
  // The reader holds the whole picture (within the pixel budget); the
  // reduction averages blocks of k x k of it.
  int32 k = 1;
  if (how.want != nullptr) {
    const double f = Scan_Want_Fraction(*how.want, width, height);
    k = std::clamp<int32>(int32(std::floor(1.0 / f + 1e-9)), 1, kHostMaxBox);
  }
  const int32 out_w = (width + k - 1) / k, out_h = (height + k - 1) / k;
  r = Scan_New_Fore(out, out_w, out_h, 32);
  if (r != 0) {
    Dispose_MW(tmp->body);
    return r;
  }
  indexed = depth == 8;
  natural = Rect{0, 0, int16(height), int16(width)};
  const PixMap* o = Get_GWorld_PixMap(out.body.fore);
  const uint32 istride = PixMap_RowBytes(*in), ostride = PixMap_RowBytes(*o);
  auto convert_row = [&](int32 y, a_pixel32* p) {
    const uint8* s = reinterpret_cast<const uint8*>(in->baseAddr) + size_t(y) * istride;
    for (int32 x = 0; x < width; x++, p++) {
      if (depth == 8) {
        const uint8 ix = s[x];
        *p = tmp->ctable[ix];
        p->a = (tmp->transp && ix == tmp->transpx) ? 0 : 255;
      } else if (depth == 16) {
        const uint16 v = Load_LE16(s + 2 * x);
        const auto widen = [](uint32 c5) { return uint8((c5 << 3) | (c5 >> 2)); };
        p->r = widen((v >> 10) & 31);
        p->g = widen((v >> 5) & 31);
        p->b = widen(v & 31);
        p->a = 255;
      } else {
        std::memcpy(p, s + 4 * size_t(x), 4);
        p->a = 255;  // the readers leave alpha 0: these formats carry none
      }
    }
  };
  if (k == 1) {
    for (int32 y = 0; y < height; y++)
      convert_row(y, reinterpret_cast<a_pixel32*>(o->baseAddr + size_t(y) * ostride));
  } else {
    std::vector<a_pixel32> row;
    HostRowReducer red;
    bool ok = true;
    try {
      row.resize(size_t(width));
    } catch (const std::bad_alloc&) {
      ok = false;
    }
    ok = ok && red.Start(width, height, k, reinterpret_cast<uint8*>(o->baseAddr), ostride);
    if (!ok) {
      Dispose_MW(tmp->body);
      Dispose_MW(out.body);
      return QUIK_ERR_NOMEM;
    }
    for (int32 y = 0; y < height; y++) {
      convert_row(y, row.data());
      red.Row(reinterpret_cast<const uint8*>(row.data()));
    }
    red.Finish();
  }
  Dispose_MW(tmp->body);
  return 0;
}

// The import of every entry: file bytes with the importer named by codec.
int16 Import(const char (&codec)[4], const uint8* data, size_t len, const a_import& how,
             a_picture_scan_rec& scan, Rect& natural) {
  const a_importer* imp = Find_Importer(codec);
  if (imp == nullptr || data == nullptr) return QUIK_ERR_NO_IMPORTER;
  // Into a record of our own: the caller's is set on success only.
  auto work = std::make_unique<a_picture_scan_rec>();
  Clear_Scan_Rec(*work);
  int16 r = 0;
  bool8 indexed = false;
  Rect whole{};
  if (imp->kind == IMP_HOST) {
    a_quik_sink qs{work.get(), how, {}};
    r = Codec_Result(imp->decode(
        data, len, HostImageSink{&qs, Quik_Alloc, Quik_Check, how.want != nullptr ? Quik_Reduce : nullptr}));
    indexed = qs.info.indexed;
    whole = Rect{0, 0, int16(qs.info.height), int16(qs.info.width)};
  } else {
    r = Scan_Own(imp->kind, data, len, how, *work, indexed, whole);
  }
  if (r == 0) r = GWorld_To_Mask(indexed, work->body.fore, work->body.mask);
  if (r != 0) {
    Dispose_MW(work->body);
    if (r == QUIK_ERR_NOMEM && how.report) OK_Alert(false, kAlertNoRoom);
    return r;
  }
  scan.body = work->body;
  std::memcpy(scan.codec, imp->code, 4);
  natural = whole;
  return 0;
}

const a_importer* Sniff_Bytes(const uint8* data, size_t len) {
  return data != nullptr ? Sniff_Importer(data, len) : nullptr;
}

}  // namespace

int16 GWorld_To_Mask(bool8 indexed, GWorldPtr src, GWorldPtr& mask) {
  mask = nullptr;
  const PixMap* pm = Get_GWorld_PixMap(src);
  const int32 width = int32(pm->bounds.right) - pm->bounds.left;
  const int32 height = int32(pm->bounds.bottom) - pm->bounds.top;
  const uint32 stride = PixMap_RowBytes(*pm);
  auto row = [&](int32 y) { return reinterpret_cast<a_pixel32*>(pm->baseAddr + size_t(y) * stride); };
  bool some_transp = false, some_opaque = false;
  for (int32 y = 0; y < height; y++) {
    const a_pixel32* p = row(y);
    for (int32 x = 0; x < width; x++) {
      if (p[x].a != 255) some_transp = true;
      if (p[x].a != 0) some_opaque = true;
    }
  }
  if (some_transp && some_opaque) {
    if (New_GWorld(pm->bounds, 8, gray_ctable, mask) != noErr) {
      mask = nullptr;
      return kScanNoMemory;
    }
    const PixMap* mm = Get_GWorld_PixMap(mask);
    const uint32 mstride = PixMap_RowBytes(*mm);
    for (int32 y = 0; y < height; y++) {
      const a_pixel32* p = row(y);
      auto* m = reinterpret_cast<uint8*>(mm->baseAddr + size_t(y) * mstride);
      for (int32 x = 0; x < width; x++) m[x] = p[x].a;
    }
  }
  // A palette picture's transparent pixels are white, as the program has
  // always shown them where the mask is not used.
  if (indexed && some_transp)
    for (int32 y = 0; y < height; y++) {
      a_pixel32* p = row(y);
      for (int32 x = 0; x < width; x++)
        if (p[x].a == 0) p[x].raw = 0xFFFFFFFFu;
    }
  return 0;
}

double Scan_Want_Fraction(const a_scan_want& want, int32 width, int32 height) {
  const bool box = want.fit_w > 0 && want.fit_h > 0 && width > 0 && height > 0;
  if (!box && want.permille <= 0) return 1.0;
  double f = double(want.permille) / 1000.0;
  if (box) f = std::max(f, std::min(double(want.fit_w) / width, double(want.fit_h) / height));
  return std::clamp(f, 0.001, 1.0);
}

int16 Scan_Quicktime_Codec(const char (&codec)[4], const uint8* data, size_t len,
                           a_picture_scan_rec& scan) {
  Rect natural;
  return Import(codec, data, len, a_import{nullptr, true}, scan, natural);
}

int16 Scan_Quicktime_Codec_Reduced(const char (&codec)[4], const uint8* data, size_t len,
                                   const a_scan_want& want, a_picture_scan_rec& scan, Rect& natural) {
  return Import(codec, data, len, a_import{&want, want.report}, scan, natural);
}

int16 Scan_Quicktime_Buf(const uint8* data, size_t len, a_picture_scan_rec& scan) {
  Clear_Scan_Rec(scan);
  const a_importer* imp = Sniff_Bytes(data, len);
  if (imp == nullptr) return QUIK_ERR_NO_IMPORTER;
  char code[4];
  std::memcpy(code, imp->code, 4);
  return Scan_Quicktime_Codec(code, data, len, scan);
}

int16 Scan_Quicktime_Buf_Reduced(const uint8* data, size_t len, const a_scan_want& want,
                                 a_picture_scan_rec& scan, Rect& natural) {
  Clear_Scan_Rec(scan);
  const a_importer* imp = Sniff_Bytes(data, len);
  if (imp == nullptr) return QUIK_ERR_NO_IMPORTER;
  char code[4];
  std::memcpy(code, imp->code, 4);
  return Scan_Quicktime_Codec_Reduced(code, data, len, want, scan, natural);
}

int16 Scan_Quicktime(const FSSpec& path, a_picture_scan_rec& scan, a_file_format& format) {
  (void)format;
  Clear_Scan_Rec(scan);
  std::vector<uint8> bytes;
  if (!Scan_Read_File(path, bytes)) return QUIK_ERR_NO_IMPORTER;
  return Scan_Quicktime_Buf(bytes.data(), bytes.size(), scan);
}

int16 Scan_Quicktime_Reduced(const FSSpec& path, const a_scan_want& want, a_picture_scan_rec& scan,
                             Rect& natural) {
  Clear_Scan_Rec(scan);
  std::vector<uint8> bytes;
  if (!Scan_Read_File(path, bytes)) return QUIK_ERR_NO_IMPORTER;
  return Scan_Quicktime_Buf_Reduced(bytes.data(), bytes.size(), want, scan, natural);
}

bool8 Scan_Quicktime_Hdl(const char (&codec)[4], Handle hdl, a_picture_scan_rec& scan) {
  if (hdl == nullptr || Find_Importer(codec) == nullptr) return false;
  const uint32 size = Handle_GetSize(hdl);
  const auto* p = reinterpret_cast<const uint8*>(Handle_Lock(hdl));
  const int16 r = p != nullptr ? Scan_Quicktime_Codec(codec, p, size, scan) : int16(QUIK_ERR_NO_IMPORTER);
  Handle_Unlock(hdl);
  return r == 0;
}

// ===========================================================================
// Export
// ===========================================================================

namespace {

// libjpeg's quality for the exporter's "high quality".
constexpr int kExportJpegQuality = 90;

// 24-bit BMP, bottom row first, rows padded to 4 bytes.
int Encode_BMP24(const HostImageSource& src, std::vector<uint8>& out) {
  const uint32 rowsize = (uint32(src.width) * 3 + 3) & ~3u;
  const uint64 image = uint64(rowsize) * uint32(src.height);
  if (image + 54 > 0x7FFFFFFF) return HC_WRITE;
  const uint32 ppm = uint32((uint64(src.dpi) * 10000 + 127) / 254);
  out.reserve(size_t(54 + image));
  out.push_back('B');
  out.push_back('M');
  Append_LE32(out, uint32(54 + image));
  Append_LE32(out, 0);
  Append_LE32(out, 54);
  Append_LE32(out, 40);
  Append_LE32(out, uint32(src.width));
  Append_LE32(out, uint32(src.height));
  Append_LE16(out, 1);
  Append_LE16(out, 24);
  Append_LE32(out, 0);
  Append_LE32(out, uint32(image));
  Append_LE32(out, ppm);
  Append_LE32(out, ppm);
  Append_LE32(out, 0);
  Append_LE32(out, 0);
  for (int32 y = src.height - 1; y >= 0; y--) {
    const uint8* s = src.pixels + size_t(y) * src.stride;
    for (int32 x = 0; x < src.width; x++, s += 4) out.insert(out.end(), {s[0], s[1], s[2]});
    out.insert(out.end(), rowsize - uint32(src.width) * 3, 0);
  }
  return HC_OK;
}

// Version 2 picture of one DirectBitsRect: 32-bit pixels, packing type 4
// (each row's red, green and blue planes packed), no alpha plane.
int Encode_PICT32(const HostImageSource& src, std::vector<uint8>& out) {
  const uint32 rowbytes = uint32(src.width) * 4;
  if (rowbytes > 0x3FFF || src.height > 32767) return HC_WRITE;
  const int16 w = int16(src.width), h = int16(src.height);
  const uint32 res = uint32(src.dpi) << 16;
  out.assign(512, 0);
  Append_BE16(out, 0);  // size, set below
  for (int16 v : {int16(0), int16(0), h, w}) Append_BE16(out, uint16(v));
  Append_BE16(out, 0x0011);  // version 2
  Append_BE16(out, 0x02FF);
  Append_BE16(out, 0x0C00);  // header: extended version 2
  Append_BE16(out, 0xFFFE);
  Append_BE16(out, 0);
  Append_BE32(out, res);
  Append_BE32(out, res);
  for (int16 v : {int16(0), int16(0), h, w}) Append_BE16(out, uint16(v));
  Append_BE32(out, 0);
  Append_BE16(out, 0x001E);  // default highlight
  Append_BE16(out, 0x0001);  // clip region: the frame
  Append_BE16(out, 10);
  for (int16 v : {int16(0), int16(0), h, w}) Append_BE16(out, uint16(v));
  Append_BE16(out, 0x009A);  // DirectBitsRect
  Append_BE32(out, 0x000000FF);
  Append_BE16(out, rowbytes | 0x8000);
  for (int16 v : {int16(0), int16(0), h, w}) Append_BE16(out, uint16(v));
  Append_BE16(out, 0);      // pmVersion
  Append_BE16(out, 4);      // packType
  Append_BE32(out, 0);      // packSize
  Append_BE32(out, res);
  Append_BE32(out, res);
  Append_BE16(out, 16);     // pixelType: direct
  Append_BE16(out, 32);     // pixelSize
  Append_BE16(out, 3);      // cmpCount
  Append_BE16(out, 8);      // cmpSize
  Append_BE32(out, 0);      // planeBytes
  Append_BE32(out, 0);      // pmTable
  Append_BE32(out, 0);      // pmReserved
  for (int k = 0; k < 2; k++)  // source and destination rectangles
    for (int16 v : {int16(0), int16(0), h, w}) Append_BE16(out, uint16(v));
  Append_BE16(out, 0);  // srcCopy
  std::vector<uint8> planes(size_t(src.width) * 3), packed;
  for (int32 y = 0; y < src.height; y++) {
    const uint8* s = src.pixels + size_t(y) * src.stride;
    if (rowbytes < 8) {  // narrow rows are stored unpacked, as x, red, green, blue
      for (int32 x = 0; x < src.width; x++, s += 4) out.insert(out.end(), {0, s[2], s[1], s[0]});
      continue;
    }
    for (int32 x = 0; x < src.width; x++, s += 4) {
      planes[size_t(x)] = s[2];
      planes[size_t(src.width + x)] = s[1];
      planes[size_t(2 * src.width + x)] = s[0];
    }
    packed.clear();
    Pack_Bits(planes.data(), uint32(planes.size()), packed);
    if (rowbytes > 250)
      Append_BE16(out, uint32(packed.size()));
    else
      out.push_back(uint8(packed.size()));
    out.insert(out.end(), packed.begin(), packed.end());
  }
  if (out.size() & 1) out.push_back(0);  // opcodes are word-aligned
  Append_BE16(out, 0x00FF);                     // end of picture
  const uint32 size = uint32(out.size() - 512);
  out[512] = uint8(size >> 8);
  out[513] = uint8(size);
  return HC_OK;
}

}  // namespace

int32 Export_World(a_file_format format, int32 dpi, const FSSpec& path, OSType creator,
                   GWorldPtr world) {
  (void)creator;
  if (world == nullptr || Get_GWorld_PixelSize(world) != 32) {
    QUIT();
    return kExportParamErr;
  }
  if (format != FMT_PICT && format != FMT_BMP && format != FMT_JPEG && format != FMT_TIFF &&
      format != FMT_PSD) {
    QUIT();
    return kExportNoExporter;
  }
  const PixMap* pm = Get_GWorld_PixMap(world);
  uint32 res = uint16(dpi);
  if (res == 0) res = 72;
  const HostImageSource src{reinterpret_cast<const uint8*>(pm->baseAddr),
                            int32(pm->bounds.right) - pm->bounds.left,
                            int32(pm->bounds.bottom) - pm->bounds.top, PixMap_RowBytes(*pm), res};
  std::vector<uint8> out;
  int r = HC_WRITE;
  try {
    switch (format) {
      case FMT_PICT: r = Encode_PICT32(src, out); break;
      case FMT_BMP: r = Encode_BMP24(src, out); break;
      case FMT_JPEG: r = Host_Encode_JPEG(src, kExportJpegQuality, out); break;
      case FMT_TIFF: r = Host_Encode_TIFF(src, false, out); break;
      default: r = Host_Encode_PSD(src, false, out); break;
    }
  } catch (const std::bad_alloc&) {
    r = HC_NOMEM;
  }
  if (r == HC_NOMEM) return kExportMemErr;
  if (r != HC_OK) return kExportParamErr;
  // The old file stays in place until the new one is complete.
  return Host_Replace_File(path.name, out.data(), out.size()) ? 0 : kExportIOErr;
}
