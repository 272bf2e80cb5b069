// Reads arbitrary bytes as a project file through the chunk stream: every
// value type, pixel maps, worlds and masked worlds. A pixel map that reads
// is written again and must read back with the same pixels.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/HostFiles.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/ParsChunk.h"
#include "platform/SysErr.h"
#include "platform/SysIO.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

// A huge map asked for by a damaged file may reach the out-of-memory hook;
// that ends the program in real use and is no fault of the reader here.
struct OutOfMemory {};
void Throw_Mem(uint32) { throw OutOfMemory{}; }
// No damaged file may reach an internal error.
void Trap_Quit() { __builtin_trap(); }

std::string g_dir;
FSSpec g_in{}, g_out{};

void Setup() {
  static bool done = false;
  if (done) return;
  done = true;
  QUIT = Trap_Quit;
  g_err_mem_proc = Throw_Mem;
  SysVideo_Init();
  InitGray();
  std::string tmpl = Host_Temp_Dir() + "/velmor-fuzz-chunk-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back(0);
  if (::mkdtemp(buf.data()) == nullptr) __builtin_trap();
  g_dir = buf.data();
  if (!Path_From_Text(g_in, (g_dir + "/in.chk").c_str())) __builtin_trap();
  if (!Path_From_Text(g_out, (g_dir + "/out.chk").c_str())) __builtin_trap();
  std::atexit([] {
    File_Delete(g_in);
    File_Delete(g_out);
    ::rmdir(g_dir.c_str());
  });
}

a_fd Open_New(const FSSpec& path) {
  if (File_Create(true, path, 0, 0) != noErr) __builtin_trap();
  a_fd fd = File_Open(path, GENERIC_READ | GENERIC_WRITE);
  if (Is_Null_Fd(fd)) __builtin_trap();
  return fd;
}

void Read_Values() {
  if (!Chunk_Find("VALS", 1)) return;
  bool8 b;
  int16 i16, ulen;
  uint16 c16;
  int32 i32;
  uint32 c32;
  float r;
  a_frect fr;
  Point pt;
  Rect rc;
  a_pixel32 px;
  a_keyset key;
  FSSpec path{};
  Str255 name;
  char small[6];
  UniChar us[64];
  Handle h1 = nullptr, h2 = nullptr;
  uint8 raw[7];
  Chunk_ReadBoolean(b);
  Chunk_ReadInt16(i16);
  Chunk_ReadCard32(c32);
  Chunk_ReadReal(r);
  Chunk_ReadRect(rc);
  Chunk_ReadPixel32(px);
  Chunk_ReadKey(key);
  Chunk_ReadPath(path);
  Chunk_ReadPString(name);
  Chunk_ReadInt16(ulen);  // callers take UTF-16 counts from the file like this
  Chunk_ReadUString(us, ulen);
  Chunk_ReadHandle(h1);
  Chunk_ReadHandle(h2);
  Chunk_ReadCard16(c16);
  Chunk_ReadInt32(i32);
  Chunk_ReadFRect(fr);
  Chunk_ReadPoint(pt);
  Chunk_ReadPString(small);
  Chunk_ReadRaw(raw, sizeof raw);
  if (Handle_GetSize(h1) > uint32(g_chunk_len)) __builtin_trap();
  Dispose_Handle(h1);
  Dispose_Handle(h2);
}

uint32 Pixel_At(const PixMap& pm, int32 col, int32 row) {
  const uint8* p = reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(row - pm.bounds.top) * PixMap_RowBytes(pm);
  const int32 x = col - pm.bounds.left;
  switch (pm.pixelSize) {
    case 1:
      return (p[x >> 3] >> (7 - (x & 7))) & 1;
    case 8:
      return p[x];
    case 16:
      return uint32(p[2 * x]) | (uint32(p[2 * x + 1]) << 8);
    default:
      return uint32(p[4 * x]) | (uint32(p[4 * x + 1]) << 8) | (uint32(p[4 * x + 2]) << 16) |
             (uint32(p[4 * x + 3]) << 24);
  }
}

// Writes pm to a file of its own and reads it back; the pixels must agree.
void Round_Trip(const PixMap& pm) {
  if (PixMap_Len(pm) > (4u << 20)) return;
  Chunk_Init(Open_New(g_out), 0);
  const OSErr we = Chunk_WritePix("COPY", 7, &pm, pm.bounds);
  if (Chunk_Stop() != we) __builtin_trap();
  if (we != noErr) return;  // rows wider than a chunk may hold (older maps)
  a_fd fd = File_Open(g_out, GENERIC_READ);
  if (Is_Null_Fd(fd)) __builtin_trap();
  Chunk_Init(fd, 0);
  PixMap back{};
  if (Chunk_ReadPix("COPY", 7, back) != noErr) __builtin_trap();
  Chunk_Stop();
  const bool empty = pm.bounds.right == pm.bounds.left || pm.bounds.bottom == pm.bounds.top;
  if (Is_Null_PixMap(back) || !(back.bounds == pm.bounds) || back.pixelSize != pm.pixelSize) __builtin_trap();
  if (!empty) {
    for (int32 row = pm.bounds.top; row < pm.bounds.bottom; ++row)
      for (int32 col = pm.bounds.left; col < pm.bounds.right; ++col)
        if (Pixel_At(back, col, row) != Pixel_At(pm, col, row)) __builtin_trap();
  }
  Dispose_PixMap(back);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Setup();
  if (size > (1u << 20)) return 0;
  a_fd fd = Open_New(g_in);
  if (size != 0 && File_Write(fd, data, uint32(size)) != noErr) __builtin_trap();
  Chunk_Init(fd, 4);

  PixMap pm{};
  bool have_pm = false;
  GWorldPtr w = nullptr;
  a_masked_gworld mw;
  Null_MW(mw);
  try {
    Read_Values();
    if (Chunk_ReadPix("PIXM", 1, pm) == noErr && !Is_Null_PixMap(pm)) have_pm = true;
    Rect wb{};
    Chunk_ReadWorld("WRLD", 1, w, wb);
    if (Chunk_ReadMW("FORE", "MASK", 2, mw) == noErr && mw.mask != nullptr) {
      Rect fb{}, mb{};
      Get_GWorld_Bounds(mw.fore, fb);
      Get_GWorld_Bounds(mw.mask, mb);
      if (!(fb == mb) || !(fb == mw.bounds)) __builtin_trap();
    }
  } catch (const OutOfMemory&) {
  }
  Dispose_GWorld(w);
  Dispose_MW(mw);
  Chunk_Stop();
  if (have_pm) {
    try {
      Round_Trip(pm);
    } catch (const OutOfMemory&) {
    }
    Dispose_PixMap(pm);
  }
  return 0;
}
