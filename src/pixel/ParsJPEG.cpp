#include "pixel/ParsJPEG.h"

#include <cstring>
#include <vector>

#include "host/HostCodecs.h"
#include "platform/SysErr.h"

namespace {

// The sink of Expand_JPEG: the block is made beforehand (its size is known
// from the stored picture's header); the stream must be of that size.
struct ExpandSink {
  int32 width;
  int32 height;
  uint8* base;
};

int Expand_Check(void* ctx, const HostImageInfo& info) {
  const auto& s = *static_cast<const ExpandSink*>(ctx);
  return info.width != s.width || info.height != s.height ? HC_CORRUPT : HC_OK;
}

int Expand_Alloc(void* ctx, const HostImageInfo&, uint8*& base, size_t& stride) {
  auto& s = *static_cast<ExpandSink*>(ctx);
  base = s.base;
  stride = size_t(s.width) * 4;
  return HC_OK;
}

}  // namespace

int16 Expand_JPEG(int16 width, int16 height, int16 depth, const uint8* buf, size_t len,
                  Handle& expand) {
  (void)depth;  // the output is always 32-bit
  expand = nullptr;
  if (width <= 0 || height <= 0 || buf == nullptr) return JPEG_ERR_DATA;
  if (uint64(width) * uint64(height) > g_scan_max_pixels) return JPEG_ERR_NOMEM;
  const uint32 size = uint32(width) * uint32(height) * 4;
  Handle h = New_Handle(size);
  if (h == nullptr) {
    g_err_mem_proc(size);
    return JPEG_ERR_NOMEM;
  }
  uint8* p = reinterpret_cast<uint8*>(Handle_Lock(h));
  ExpandSink es{width, height, p};
  const int r = Host_Decode_JPEG(buf, len, HostImageSink{&es, Expand_Alloc, Expand_Check});
  if (r != HC_OK) {
    Handle_Unlock(h);
    Dispose_Handle(h);
    return r == HC_NOMEM ? JPEG_ERR_NOMEM : JPEG_ERR_DATA;
  }
  // Blue, green, red, alpha to the stored pictures' alpha, red, green, blue.
  for (uint32 i = 0; i < size; i += 4) {
    const uint8 b = p[i], g = p[i + 1], rd = p[i + 2], a = p[i + 3];
    p[i] = a;
    p[i + 1] = rd;
    p[i + 2] = g;
    p[i + 3] = b;
  }
  Handle_Unlock(h);
  expand = h;
  return JPEG_OK;
}

int16 Compress_JPEG(const PixMap& pixmap, Ptr& buf) {
  buf = nullptr;
  if (pixmap.pixelSize != 32 || Is_Null_PixMap(pixmap)) return -1;
  const int32 w = int32(pixmap.bounds.right) - pixmap.bounds.left;
  const int32 h = int32(pixmap.bounds.bottom) - pixmap.bounds.top;
  if (w <= 0 || h <= 0) return -1;
  const HostImageSource src{reinterpret_cast<const uint8*>(pixmap.baseAddr), w, h,
                            PixMap_RowBytes(pixmap), 72};
  std::vector<uint8> data;
  if (Host_Encode_JPEG(src, 100, data) != HC_OK || data.size() > 0xFFFFFFFFu) return -1;
  buf = New_Ptr(uint32(data.size()));
  if (buf == nullptr) {
    g_err_mem_proc(uint32(data.size()));
    return -1;
  }
  std::memcpy(buf, data.data(), data.size());
  return 0;
}

int16 Scan_JPEG(const FSSpec& path, a_picture_scan_rec& scan, a_file_format& format) {
  (void)scan;
  (void)format;
  std::vector<uint8> bytes;
  if (!Scan_Read_File(path, bytes)) return -2;
  int32 w = 0, h = 0;
  const int r = Host_JPEG_Size(bytes.data(), bytes.size(), w, h);
  if (r == HC_NOT_FORMAT) return -2;
  if (r != HC_OK) return -3;
  return -100;
}
