#include "platform/SysMem.h"

#include <sys/resource.h>
#include <sys/sysinfo.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/SysErr.h"

// A live handle record carries this tag, so a stale or foreign value given to
// Dispose_Handle is caught as an internal error instead of freeing garbage.
namespace {
constexpr uint32 kHandleMagic = 0x48444C31u;  // "HDL1"
constexpr uint32 kPtrMagic = 0x50545231u;     // "PTR1"
constexpr uint32 kDeadMagic = 0xDEADB10Cu;
}  // namespace

struct a_handle_rec {
  uint32 magic;
  uint32 size;
  char* data;      // NIL only while purged
  uint16 locks;
  bool purgeable;
  bool purged;
};

namespace {

// Header in front of every fixed block; 16 bytes keeps the block aligned for
// any type.
struct PtrHeader {
  uint32 magic;
  uint32 size;      // size asked for
  uint32 capacity;  // bytes really behind the header; Ptr_SetSize grows up to it
  uint32 reserved;
};
static_assert(sizeof(PtrHeader) == 16);
static_assert(alignof(std::max_align_t) <= sizeof(PtrHeader));

PtrHeader* Header_Of(Ptr p) { return reinterpret_cast<PtrHeader*>(p - sizeof(PtrHeader)); }

// Every data block gets at least one byte, so a live handle of size 0 still
// locks to a real address.
char* Alloc_Data(uint32 size, bool clear) {
  std::size_t n = std::max<std::size_t>(size, 1);
  return static_cast<char*>(clear ? std::calloc(n, 1) : std::malloc(n));
}

Handle Make_Handle(uint32 size, bool clear) {
  if (size > kMaxBlockSize) return nullptr;
  auto* h = static_cast<a_handle_rec*>(std::malloc(sizeof(a_handle_rec)));
  if (!h) return nullptr;
  h->data = Alloc_Data(size, clear);
  if (!h->data) {
    std::free(h);
    return nullptr;
  }
  h->magic = kHandleMagic;
  h->size = size;
  h->locks = 0;
  h->purgeable = false;
  h->purged = false;
  return h;
}

bool Valid(Handle h) { return h && h->magic == kHandleMagic; }

Ptr Make_Ptr(uint32 size, bool clear) {
  if (size > kMaxBlockSize) return nullptr;
  std::size_t n = sizeof(PtrHeader) + std::size_t(size);
  void* raw = clear ? std::calloc(n, 1) : std::malloc(n);
  if (!raw) return nullptr;
  auto* hdr = static_cast<PtrHeader*>(raw);
  hdr->magic = kPtrMagic;
  hdr->size = size;
  hdr->capacity = size;
  hdr->reserved = 0;
  return static_cast<char*>(raw) + sizeof(PtrHeader);
}

uint32 Clamp32(uint64 v) {
  return v > std::numeric_limits<uint32>::max() ? std::numeric_limits<uint32>::max() : uint32(v);
}

// One field of /proc/meminfo in bytes; false when the file or field is absent.
bool Meminfo_Field(const char* name, uint64& bytes) {
  std::FILE* f = std::fopen("/proc/meminfo", "r");
  if (!f) return false;
  char line[256];
  bool found = false;
  std::size_t nlen = std::strlen(name);
  while (std::fgets(line, sizeof line, f)) {
    if (std::strncmp(line, name, nlen) == 0 && line[nlen] == ':') {
      unsigned long long kb = 0;
      if (std::sscanf(line + nlen + 1, "%llu", &kb) == 1) {
        bytes = uint64(kb) * 1024u;
        found = true;
      }
      break;
    }
  }
  std::fclose(f);
  return found;
}

}  // namespace

// ---------------------------------------------------------------------------
// Handles

Handle New_Handle(uint32 size) { return Make_Handle(size, false); }
Handle New_Handle_Clear(uint32 size) { return Make_Handle(size, true); }
Handle New_Handle_Temp(uint32 size) { return Make_Handle(size, false); }
Handle New_Handle_Empty() { return Make_Handle(0, false); }

void Dispose_Handle(Handle& h) {
  if (!h) return;
  if (!Valid(h)) {
    QUIT();
    return;
  }
  h->magic = kDeadMagic;
  std::free(h->data);
  std::free(h);
  h = nullptr;
}

Ptr Handle_Lock(Handle h) {
  if (!Valid(h) || h->purged) return nullptr;
  if (h->locks < 0xFFFF) h->locks++;
  return h->data;
}

void Handle_Unlock(Handle h) {
  if (Valid(h) && h->locks > 0) h->locks--;
}

uint32 Handle_GetSize(Handle h) {
  if (!Valid(h) || h->purged) return 0;
  return h->size;
}

void Handle_SetSize(Handle h, uint32 newsize) {
  if (!Valid(h)) {
    g_err_mem_proc(newsize);
    return;
  }
  if (newsize > kMaxBlockSize) {
    g_err_mem_proc(newsize);
    return;
  }
  if (h->purged) {
    // Resizing a purged handle gives it fresh memory again.
    char* d = Alloc_Data(newsize, false);
    if (!d) {
      g_err_mem_proc(newsize);
      return;
    }
    h->data = d;
    h->purged = false;
    h->size = newsize;
    return;
  }
  char* d = static_cast<char*>(std::realloc(h->data, std::max<std::size_t>(newsize, 1)));
  if (!d) {
    g_err_mem_proc(newsize);
    return;
  }
  h->data = d;
  h->size = newsize;
  // The purge flag is kept as it was.
}

void Handle_Purge(Handle h) {
  // A locked block is in use and stays, as the system allocator did it.
  if (!Valid(h) || h->purged || h->locks > 0) return;
  std::free(h->data);
  h->data = nullptr;
  h->size = 0;
  h->purged = true;
}

void Handle_SetPurgeFlag(bool8 flag, Handle h) {
  if (Valid(h)) h->purgeable = flag;
}

bool8 Is_Handle_Locked(Handle h) { return Valid(h) && h->locks > 0; }
bool8 Is_Handle_Purged(Handle h) { return Valid(h) && h->purged; }
bool8 Is_Handle_Purgeable(Handle h) { return Valid(h) && h->purgeable; }
int Handle_LockCount(Handle h) { return Valid(h) ? h->locks : 0; }
void Handle_MoveHi(Handle) {}

// ---------------------------------------------------------------------------
// Pointers

Ptr New_Ptr(uint32 size) { return Make_Ptr(size, false); }
Ptr New_Ptr_Clear(uint32 size) { return Make_Ptr(size, true); }

void Dispose_Ptr(Ptr& p) {
  if (!p) return;
  PtrHeader* hdr = Header_Of(p);
  if (hdr->magic != kPtrMagic) {
    QUIT();
    return;
  }
  hdr->magic = kDeadMagic;
  std::free(hdr);
  p = nullptr;
}

uint32 Ptr_GetSize(Ptr p) {
  if (!p) return 0;
  PtrHeader* hdr = Header_Of(p);
  if (hdr->magic != kPtrMagic) {
    QUIT();
    return 0;
  }
  return hdr->size;
}

// A fixed block never moves: it shrinks in place and grows only within the
// bytes it already has; anything more is reported as out of memory.
void Ptr_SetSize(Ptr p, uint32 newsize) {
  if (!p) {
    g_err_mem_proc(newsize);
    return;
  }
  PtrHeader* hdr = Header_Of(p);
  if (hdr->magic != kPtrMagic) {
    QUIT();
    return;
  }
  if (newsize > hdr->capacity) {
    g_err_mem_proc(newsize);
    return;
  }
  hdr->size = newsize;
}

// ---------------------------------------------------------------------------
// Statistics: worked out in 64 bits (machines have far more than 4 GB now)
// and clamped only where a 32-bit value is handed on.

uint64 Heap_CalcFree64() {
  uint64 bytes = 0;
  if (Meminfo_Field("MemAvailable", bytes)) return bytes;
  struct sysinfo si {};
  if (sysinfo(&si) != 0) return 0;
  return uint64(si.freeram) * uint64(si.mem_unit ? si.mem_unit : 1);
}

uint64 Heap_CalcLargest64() {
  // What we could still commit: available memory plus free swap, cut to the
  // address-space limit of the process when one is set.
  uint64 avail = Heap_CalcFree64();
  uint64 swap = 0;
  if (Meminfo_Field("SwapFree", swap)) avail += swap;
  struct rlimit rl {};
  if (getrlimit(RLIMIT_AS, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY)
    avail = std::min<uint64>(avail, uint64(rl.rlim_cur));
  return avail;
}

uint64 Heap_CalcPhysical64() {
  uint64 bytes = 0;
  if (Meminfo_Field("MemTotal", bytes)) return bytes;
  struct sysinfo si {};
  if (sysinfo(&si) != 0) return 0;
  return uint64(si.totalram) * uint64(si.mem_unit ? si.mem_unit : 1);
}

uint32 Heap_CalcTotal() { return 10000000u; }
uint32 Heap_CalcFree() { return Clamp32(Heap_CalcFree64()); }
uint32 Heap_CalcLargest() { return Clamp32(Heap_CalcLargest64()); }
uint32 Heap_CalcLargest2() { return Clamp32(Heap_CalcLargest64()); }
uint32 Calc_Physical_MB() { return Clamp32(Heap_CalcPhysical64() / 1000000u); }

uint32 Calc_GWorld_Memory(const Rect& bounds, int16 depth) {
  int64 width = int64(bounds.right) - int64(bounds.left);
  int64 height = int64(bounds.bottom) - int64(bounds.top);
  int64 bytes = (width + (int64(depth) - 1)) * (int64(depth) / 8) * height + 500;
  if (bytes < 0) return 0;
  return Clamp32(uint64(bytes));
}

void Heap_Init() {}
void Dump_GDI() {}
