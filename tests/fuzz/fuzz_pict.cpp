// Fuzzes the PICT reader over a picture in memory (the bytes after the
// 512-byte file header). Any crash, sanitizer report, internal-error or
// out-of-memory hook is a finding.
#include <cstdint>
#include <cstdlib>

#include "pixel/ParsPICT.h"
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
  Clear_Scan_Rec(scan);
  const int16 r = Scan_Pict_Buf(data, size, scan);
  if ((r != 0) != (scan.body.fore == nullptr)) std::abort();
  Dispose_GWorld(scan.body.fore);
  return 0;
}
