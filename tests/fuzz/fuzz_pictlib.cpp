// Opens arbitrary bytes as a picture library and, when they are accepted,
// looks up keys, reads every object and walks families. Whatever the bytes,
// opening must give a result, and an accepted library must serve every
// lookup without an internal error.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "pixel/OP.h"
#include "pixel/SysPixt.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"

namespace {

void Trap_Quit() { __builtin_trap(); }
void Trap_Mem(uint32) { __builtin_trap(); }

// Writes the input to a new temporary file; its name goes to path.
bool Write_Scratch(const uint8_t* data, size_t size, std::string& path) {
  const char* t = std::getenv("TMPDIR");
  std::string tmpl = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/fuzz-pictlib-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back(0);
  const int fd = ::mkstemp(buf.data());
  if (fd < 0) return false;
  path = buf.data();
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) break;
    done += size_t(n);
  }
  ::close(fd);
  return done == size;
}

void Walk_Family(const a_keyset& wildcard) {
  a_subset sub;
  Subset_Init(sub, wildcard);
  const int16 n = Subset_Count(sub);
  a_keyset prev{};
  for (int16 i = 1; i <= n && i <= 64; ++i) {
    a_keyset k;
    Subset_GetKey(sub, i, k);
    if (!OP_Exists(k)) __builtin_trap();          // a member is a key some pool holds
    if (i > 1 && Compare_Keys(prev, k) >= 0) __builtin_trap();  // in ascending order
    prev = k;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QUIT = Trap_Quit;
  g_err_mem_proc = Trap_Mem;
  std::string path;
  const bool written = Write_Scratch(data, size, path);
  OP_Init();
  FSSpec spec;
  const bool named = written && Path_From_Text(spec, path.c_str());
  const a_openfile_result r = named ? OP_OpenFile(spec) : OPEN_NOTFOUND;
  // An open pool keeps its descriptor, so the name can go at once.
  if (!path.empty()) ::unlink(path.c_str());
  if (r != OPEN_OKAY) {
    if (OP_Pool_Count() != 0) __builtin_trap();  // a refused file takes no slot
    return 0;
  }

  // Keys taken from the input itself, so lookups hit as well as miss.
  for (size_t at = 14; at + 8 <= size && at < 14 + 20 * 32; at += 20) {
    const auto part = [&](size_t o) { return int16((uint16(data[at + o]) << 8) | data[at + o + 1]); };
    const a_keyset k{part(0), part(2), part(4), part(6)};
    if (OP_Exists(k)) {
      Ptr p = OP_Lock(k);
      if (p == nullptr || int32(Ptr_GetSize(p)) != OP_Size(k)) __builtin_trap();
      OP_Unlock(p);
    } else if (OP_Lock(k) != nullptr || OP_Size(k) != 0) {
      __builtin_trap();
    }
    Walk_Family(a_keyset{k.a, WILDCARD, 0, 0});
    Walk_Family(a_keyset{k.a, k.b, WILDCARD, 0});
  }
  Walk_Family(a_keyset{WILDCARD, 0, 0, 0});
  (void)Pixt_Exists(PIXT_ABOUT_ID);
  OP_Stop();
  return 0;
}
