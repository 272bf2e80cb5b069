#include "platform/SysWin.h"

#include <atomic>
#include <cstring>

#include "platform/SysErr.h"
#include "platform/SysMem.h"
#include "platform/SysVideo.h"

HDC theHDC = nullptr;
a_shadow_rec* theShadow = nullptr;
GWorldPtr theGWorld = nullptr;
QDGlobals qd;

CaretEraseProc g_caret_erase_proc = Dummy_Caret_Erase;
AnnotBeginProc g_annot_beginupdate_proc = Dummy_Annot_Begin;
AnnotEndProc g_annot_endupdate_proc = Dummy_Annot_End;

void Dummy_Caret_Erase() {}
void Dummy_Annot_Begin(HWND, const Rect&) {}
void Dummy_Annot_End() {}

namespace {

// Pixel bytes of the worlds alive and their peak (worlds may be made on
// several threads by the art tools).
std::atomic<int64> g_world_bytes{0};
std::atomic<int64> g_world_peak{0};

int64 World_Pixel_Bytes(const a_gworld_rec* w) {
  return int64(w->pix.bounds.bottom - w->pix.bounds.top) * int64(PixMap_RowBytes(w->pix));
}

void Count_World(int64 bytes) {
  const int64 now = g_world_bytes.fetch_add(bytes) + bytes;
  int64 peak = g_world_peak.load();
  while (now > peak && !g_world_peak.compare_exchange_weak(peak, now)) {
  }
}

// The port stack: entries 1 .. g_nstack are in use (index 0 is not used).
a_port_stack_entry g_stack[kPortStackDepth + 1];
int16 g_nstack = 0;

bool Supported_Depth(int16 depth) {
  return depth == 1 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

RGBQUAD Quad(uint8 r, uint8 g, uint8 b) { return RGBQUAD{b, g, r, 0}; }

// The pixel-map header of a new world; baseAddr and the stride come from the
// section once it exists.
void Fill_PixMap(PixMap& pix, const Rect& bounds, int16 depth, CTabHandle colortab) {
  std::memset(&pix, 0, sizeof pix);
  pix.baseAddr = nullptr;
  pix.bounds = bounds;
  pix.hRes = kRes72dpi;
  pix.vRes = kRes72dpi;
  pix.pixelSize = depth;
  if (depth <= 8) {
    pix.pixelType = 0;
    pix.cmpCount = 1;
    pix.cmpSize = depth;
  } else {
    pix.pixelType = 16;
    pix.cmpCount = 3;
    pix.cmpSize = depth == 16 ? 5 : 8;
  }
  pix.planeBytes = 0;
  if (depth == 32) pix.qt_pixelFormat = kPixFormat_BGRA;
  pix.pmTable = colortab;
  pix.pmReserved = 0;
}

// The DIB header and colours for a world's pixel map.
void Fill_Header(a_rgb_dib_8& h, const PixMap& pix) {
  std::memset(&h, 0, sizeof h);
  h.bmiHeader.biSize = 40;
  h.bmiHeader.biWidth = int32(pix.bounds.right) - pix.bounds.left;
  h.bmiHeader.biHeight = -(int32(pix.bounds.bottom) - pix.bounds.top);  // top-down rows
  h.bmiHeader.biPlanes = 1;
  h.bmiHeader.biBitCount = uint16(pix.pixelSize);
  h.bmiHeader.biCompression = BI_RGB;
  if (pix.pixelSize == 1) {
    h.bmiColors[0] = Quad(255, 255, 255);
    h.bmiColors[1] = Quad(0, 0, 0);
  } else if (pix.pixelSize == 8) {
    for (int i = 0; i < 256; ++i) {
      if (pix.pmTable != nullptr && pix.pmTable == gray_ctable) {
        h.bmiColors[i] = Quad(uint8(255 - i), uint8(255 - i), uint8(255 - i));
      } else if (pix.pmTable != nullptr && pix.pmTable == gray_ctable2) {
        h.bmiColors[i] = Quad(uint8(i), uint8(i), uint8(i));
      } else {
        const a_win_pixel32& c = g_video.main_colors32[i];
        h.bmiColors[i] = Quad(c.r, c.g, c.b);
      }
    }
  }
}

void Set_Port(HDC hdc, HWND hwnd, GWorldPtr world, a_shadow_rec* shadow) {
  theHDC = hdc;
  qd.thePort = hwnd;
  theGWorld = world;
  theShadow = shadow;
}

}  // namespace

// SysWinWindows.cpp: forgets the held-back updates.
void Clear_Held_Updates();

void SysWin_Init() {
  g_suppress_updates = false;
  Clear_Held_Updates();
  g_caret_erase_proc = Dummy_Caret_Erase;
  g_annot_beginupdate_proc = Dummy_Annot_Begin;
  g_annot_endupdate_proc = Dummy_Annot_End;
  g_nstack = 0;
  theGWorld = nullptr;
}

// --- The current port ----------------------------------------------------------

void Get_GState(a_gstate& state) {
  state.hdc = theHDC;
  state.hwnd = qd.thePort;
  state.gworld = theGWorld;
  state.shadow = theShadow;
}

void Set_GState(const a_gstate& state) {
  Set_Port(state.hdc, state.hwnd, state.gworld, state.shadow);
}

GWorldPtr Get_GWorld() { return theGWorld; }

void Set_GWorld(GWorldPtr world) {
  if (world == nullptr) {
    // No world to draw into: no port at all rather than a port with no context.
    Set_Port(nullptr, nullptr, nullptr, nullptr);
    return;
  }
  Set_Port(world->shadow.hdc, nullptr, world, &world->shadow);
}

bool8 Push_Port(a_port_stack_kind kind, GWorldPtr world) {
  if (g_nstack >= kPortStackDepth) {
    QUIT();
    return false;
  }
  ++g_nstack;
  a_port_stack_entry& e = g_stack[g_nstack];
  Get_GState(e.prevstate);
  e.curr_kind = kind;
  e.curr_world = world;
  return true;
}

void Push_GWorld(GWorldPtr world) {
  Push_Port(GWORLD_PORT, world);
  Set_GWorld(world);
}

void Pop_GWorld() {
  if (g_nstack <= 0) {
    QUIT();
    return;
  }
  Set_GState(g_stack[g_nstack].prevstate);
  --g_nstack;
}

void Pop_Window() { Pop_GWorld(); }

int16 Port_Stack_Depth() { return g_nstack; }

const a_port_stack_entry& Port_Stack_Entry(int16 index) {
  return g_stack[index >= 1 && index <= kPortStackDepth ? index : 0];
}

void Port_Stack_Clear() { g_nstack = 0; }

void NoPort() {
  if (theShadow != nullptr && !theShadow->hdc_private) Flush_Shadow(theShadow);
  qd.thePort = nullptr;
  theHDC = nullptr;
  theShadow = nullptr;
}

void GetPortBounds(Rect& bounds) {
  if (theGWorld != nullptr) {
    bounds = theGWorld->pix.bounds;
    return;
  }
  const HostSurface* surface =
      theHDC ? Host_Surface(static_cast<HBITMAP>(GetCurrentObject(theHDC, OBJ_BITMAP))) : nullptr;
  if (surface == nullptr) {
    bounds = Rect{0, 0, 0, 0};
    QUIT();
    return;
  }
  POINT pts[2] = {{0, 0}, {surface->width, surface->height}};
  DPtoLP(theHDC, pts, 2);
  auto clamp = [](int32 v) { return int16(v < -32768 ? -32768 : v > 32767 ? 32767 : v); };
  bounds.left = clamp(pts[0].x);
  bounds.top = clamp(pts[0].y);
  bounds.right = clamp(pts[1].x);
  bounds.bottom = clamp(pts[1].y);
}

bool8 IsRectVisible(const Rect& r) {
  if (theHDC == nullptr) return false;
  RECT R{r.left, r.top, r.right, r.bottom};
  return RectVisible(theHDC, &R);
}

// --- Worlds --------------------------------------------------------------------

OSErr New_GWorld(const Rect& bounds, int16 depth, CTabHandle colortab, GWorldPtr& world) {
  world = nullptr;
  if (!Supported_Depth(depth) || bounds.left >= bounds.right || bounds.top >= bounds.bottom) {
    QUIT();
    return errFailed;
  }
  auto* w = reinterpret_cast<GWorldPtr>(New_Ptr_Clear(sizeof(a_gworld_rec)));
  if (w == nullptr) {
    g_err_mem_proc(sizeof(a_gworld_rec));
    return memFullErr;
  }
  Fill_PixMap(w->pix, bounds, depth, colortab);
  Fill_Header(w->header, w->pix);

  void* bits = nullptr;
  w->hdl = CreateDIBSection(nullptr, &w->header, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = w->hdl ? CreateCompatibleDC(nullptr) : nullptr;
  if (w->hdl == nullptr || bits == nullptr || dc == nullptr) {
    // No pixel memory: reported to the caller, whose out-of-memory path
    // (New_GWorldF) tells the user, instead of ending as an internal error.
    if (dc) DeleteDC(dc);
    if (w->hdl) DeleteObject(w->hdl);
    Ptr p = reinterpret_cast<Ptr>(w);
    Dispose_Ptr(p);
    return memFullErr;
  }
  w->pix.baseAddr = static_cast<Ptr>(bits);
  PixMap_Set_RowBytes(w->pix, uint32(Host_Surface(w->hdl)->stride));
  w->old_dc = SelectObject(dc, w->hdl);

  Reset_Shadow(&w->shadow, nullptr, dc, true);
  // The world is addressed in the caller's coordinates.
  SetWindowOrgEx(dc, bounds.left, bounds.top, nullptr);
  // The host's sections start with all-zero pixels, so there is nothing to clear.
  world = w;
  Count_World(World_Pixel_Bytes(w));
  return noErr;
}

void New_GWorldF(const char*, const Rect& bounds, int16 depth, CTabHandle colortab,
                 GWorldPtr& world) {
  if (New_GWorld(bounds, depth, colortab, world) != noErr)
    g_err_mem_proc(Calc_GWorld_Memory(bounds, depth));
}

int64 GWorld_Bytes_Held() { return g_world_bytes.load(); }
int64 GWorld_Bytes_Peak() { return g_world_peak.load(); }
void GWorld_Reset_Peak() { g_world_peak.store(g_world_bytes.load()); }

void Dispose_GWorld(GWorldPtr& world) {
  if (world == nullptr) return;
  GWorldPtr w = world;
  if (theGWorld == w) {
    // Drawing must not go on into a freed context.
    Set_Port(nullptr, nullptr, nullptr, nullptr);
  }
  HDC dc = w->shadow.hdc;
  Flush_Shadow(&w->shadow);
  if (dc != nullptr) {
    if (w->old_dc != nullptr) SelectObject(dc, w->old_dc);
    DeleteDC(dc);
  }
  if (w->hdl != nullptr) DeleteObject(w->hdl);
  Count_World(-World_Pixel_Bytes(w));
  Ptr p = reinterpret_cast<Ptr>(w);
  Dispose_Ptr(p);
  world = nullptr;
}

void Resize_GWorld(GWorldPtr& world, const Rect& newbox) {
  if (world == nullptr) return;
  if (world->pix.bounds == newbox) return;
  int16 depth = world->pix.pixelSize;
  CTabHandle table = world->pix.pmTable;
  Dispose_GWorld(world);
  if (New_GWorld(newbox, depth, table, world) != noErr)
    g_err_mem_proc(Calc_GWorld_Memory(newbox, depth));
}

void Copy_GWorld(GWorldPtr src, GWorldPtr& dst) {
  if (src == nullptr) {
    Dispose_GWorld(dst);
    return;
  }
  if (dst == nullptr) {
    New_GWorldF("Copy_GWorld", src->pix.bounds, src->pix.pixelSize, src->pix.pmTable, dst);
    if (dst == nullptr) return;
  } else {
    if (dst->pix.pixelSize != src->pix.pixelSize) {
      QUIT();
      return;
    }
    Resize_GWorld(dst, src->pix.bounds);
    if (dst == nullptr) return;
  }
  uint32 n = PixMap_Len(src->pix);
  if (n != PixMap_Len(dst->pix)) {
    QUIT();
    return;
  }
  std::memcpy(dst->pix.baseAddr, src->pix.baseAddr, n);
}

void GWorld_To_PixMap(GWorldPtr& world, PixMap& pix) {
  if (world == nullptr) {
    Null_PixMap(pix);
    return;
  }
  int16 depth = world->pix.pixelSize;
  New_PixMap(pix, world->pix.bounds, depth, depth == 8 ? gray_ctable : nullptr);
  if (pix.baseAddr != nullptr) {
    // Same bounds and depth: the rows line up byte for byte.
    uint32 srow = PixMap_RowBytes(world->pix), drow = PixMap_RowBytes(pix);
    uint32 n = srow < drow ? srow : drow;
    int32 rows = int32(pix.bounds.bottom) - pix.bounds.top;
    for (int32 y = 0; y < rows; ++y)
      std::memcpy(pix.baseAddr + size_t(y) * drow, world->pix.baseAddr + size_t(y) * srow, n);
  }
  Dispose_GWorld(world);
}

PixMapPtr Get_GWorld_PixMap(GWorldPtr world) { return world ? &world->pix : nullptr; }
Ptr Get_GWorld_BaseAddr(GWorldPtr world) { return world ? world->pix.baseAddr : nullptr; }
void Get_GWorld_Bounds(GWorldPtr world, Rect& bounds) {
  bounds = world ? world->pix.bounds : Rect{0, 0, 0, 0};
}
int16 Get_GWorld_PixelSize(GWorldPtr world) { return world ? world->pix.pixelSize : 0; }
void Set_GWorld_CTable(GWorldPtr world, CTabHandle ctable) {
  if (world) world->pix.pmTable = ctable;
}
HDC Get_GWorld_HDC(GWorldPtr world) { return world ? world->shadow.hdc : nullptr; }

PixMapHandle Get_GWorld_PixMap_Hdl(GWorldPtr) {
  QUIT();
  return nullptr;
}
