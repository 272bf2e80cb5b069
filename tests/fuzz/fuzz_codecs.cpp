// Fuzzes the picture importers over bytes in memory: the first byte picks
// the importer (JPEG, PNG, TIFF, Photoshop, GIF, BMP, PICT, ILBM, or the one
// the bytes' signature names), the rest are the file. Also the expansion of
// stored JPEG streams. Any crash, hang, sanitizer report, internal-error or
// out-of-memory hook is a finding; a success must leave a 32-bit world of
// the scan's bounds and a mask of the same bounds or none.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/HostCodecs.h"
#include "pixel/ParsJPEG.h"
#include "pixel/ParsQuik.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"
#include "platform/SysWin.h"

namespace {
void Abort_Quit() { std::abort(); }
void Abort_Mem(uint32) { std::abort(); }

void Check_World(GWorldPtr w, const Rect& bounds, int16 depth) {
  Rect b;
  Get_GWorld_Bounds(w, b);
  if (!(b == bounds) || Get_GWorld_PixelSize(w) != depth) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QUIT = Abort_Quit;
  g_err_mem_proc = Abort_Mem;
  g_scan_max_pixels = 1u << 20;
  if (size < 1) return 0;
  const char* const codes[] = {kCodec_JPEG, kCodec_PNG, kCodec_TIFF, kCodec_PSD,
                               kCodec_GIF,  kCodec_BMP, kCodec_PICT, kCodec_ILBM};
  const unsigned pick = data[0] % 9;
  const uint8* file = data + 1;
  const size_t len = size - 1;

  a_picture_scan_rec scan;
  Clear_Scan_Rec(scan);
  int16 r;
  if (pick == 8) {
    r = Scan_Quicktime_Buf(file, len, scan);
  } else {
    char code[4];
    std::memcpy(code, codes[pick], 4);
    r = Scan_Quicktime_Codec(code, file, len, scan);
  }
  if ((r != 0) != (scan.body.fore == nullptr)) std::abort();
  if (r == 0) {
    Check_World(scan.body.fore, scan.body.bounds, 32);
    if (scan.body.mask != nullptr) Check_World(scan.body.mask, scan.body.bounds, 8);
  } else if (scan.body.mask != nullptr) {
    std::abort();
  }
  Dispose_GWorld(scan.body.fore);
  Dispose_GWorld(scan.body.mask);

  if (pick == 0) {
    int32 w = 0, h = 0;
    if (Host_JPEG_Size(file, len, w, h) == HC_OK && w > 0 && h > 0 && w <= 32767 && h <= 32767 &&
        uint64(w) * uint64(h) <= g_scan_max_pixels) {
      Handle out = nullptr;
      const int16 e = Expand_JPEG(int16(w), int16(h), 32, file, len, out);
      if ((e == JPEG_OK) != (out != nullptr)) std::abort();
      if (out != nullptr && Handle_GetSize(out) != uint32(w) * uint32(h) * 4) std::abort();
      Dispose_Handle(out);
    }
  }
  return 0;
}
