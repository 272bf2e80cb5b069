// Fuzzes the GIF reader and its LZW decoder over bytes in memory. Any crash,
// sanitizer report, internal-error or out-of-memory hook is a finding; a
// success must leave a world of the image's bounds.
#include <cstdint>
#include <cstdlib>

#include "pixel/ParsGIF.h"
#include "platform/SysErr.h"
#include "platform/SysWin.h"

namespace {
void Abort_Quit() { std::abort(); }
void Abort_Mem(uint32) { std::abort(); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QUIT = Abort_Quit;
  g_err_mem_proc = Abort_Mem;
  g_scan_max_pixels = 1u << 20;
  a_picture_scan_rec scan;
  a_file_format fmt;
  const int16 r = Scan_GIF_Buf(data, size, scan, fmt);
  if ((r != 0) != (scan.body.fore == nullptr)) std::abort();
  if (r == 0) {
    Rect b;
    Get_GWorld_Bounds(scan.body.fore, b);
    if (!(b == scan.body.bounds)) std::abort();
  }
  Dispose_GWorld(scan.body.fore);
  return 0;
}
