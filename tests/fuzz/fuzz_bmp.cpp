// Fuzzes the BMP and DIB reader over bytes in memory, as a file (with the
// 14-byte file header) and as a clipboard bitmap (from the information
// header), through a source that hands out the bytes in small pieces. Any
// crash, sanitizer report, internal-error or out-of-memory hook is a finding.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "pixel/ParsBMP.h"
#include "platform/SysErr.h"
#include "platform/SysWin.h"

namespace {

struct Src {
  const uint8_t* data;
  size_t size, pos;
  uint32 chunk;
};

int16 Read(void* ctx, void* buf, uint32& len) {
  auto* s = static_cast<Src*>(ctx);
  size_t n = s->size - s->pos;
  if (n > len) n = len;
  if (n > s->chunk) n = s->chunk;
  if (n) std::memcpy(buf, s->data + s->pos, n);
  s->pos += n;
  len = uint32(n);
  return 0;
}

void Abort_Quit() { std::abort(); }
void Abort_Mem(uint32) { std::abort(); }

void Check_Result(int16 r, const a_picture_scan_rec& scan) {
  // A refusal leaves no world; a success leaves one of the declared bounds.
  if ((r != 0) != (scan.body.fore == nullptr)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QUIT = Abort_Quit;
  g_err_mem_proc = Abort_Mem;
  g_scan_max_pixels = 1u << 20;
  for (int isfile = 0; isfile < 2; ++isfile) {
    Src src{data, size, 0, size > 0 ? uint32(data[0] % 7 + 1) * 97 : 1};
    a_picture_scan_rec scan;
    Clear_Scan_Rec(scan);
    const int16 r = Scan_BMP_2(isfile != 0, Read, &src, scan);
    Check_Result(r, scan);
    Dispose_GWorld(scan.body.fore);
  }
  return 0;
}
