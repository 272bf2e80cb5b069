#include "platform/Palettes.h"

#include "host/HostByteOrder.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"
#include "platform/SysVideo.h"

void PmForeColor(int16 dstEntry) { ForeColor(300 + int32(dstEntry)); }
void PmBackColor(int16 dstEntry) { BackColor(300 + int32(dstEntry)); }

PaletteHandle NewPalette(int16, CTabHandle, int16 srcUsage, int16) {
  LOGPALETTE lp{};
  lp.palVersion = 0x300;
  lp.palNumEntries = 256;
  for (int i = 0; i < 256; ++i) {
    PALETTEENTRY& e = lp.palPalEntry[i];
    e.peRed = uint8(i);
    e.peGreen = uint8(i >> 8);
    e.peBlue = 0;
    e.peFlags = uint8(srcUsage);
  }
  return CreatePalette(&lp);
}

PaletteHandle GetNewPalette(int16 PaletteID) {
  // Our display is never a 256-colour palette display (nsyspal is 0), so the
  // system-palette steps do not apply: the resource is the palette.
  ResHandle res = GetResource(kPlttType, PaletteID);
  if (res == nullptr) return nullptr;
  const uint8* d = Res_Lock(res);
  uint32 size = Res_Size(res);
  if (d == nullptr || size < 4) return nullptr;
  uint16 count = Load_LE16(d + 2);
  if (count == 0 || count > 256 || size < 4 + uint32(count) * 4) return nullptr;
  LOGPALETTE lp{};
  lp.palVersion = 0x300;
  lp.palNumEntries = count;
  for (uint32 i = 0; i < count; ++i) {
    const uint8* e = d + 4 + i * 4;
    lp.palPalEntry[i] = PALETTEENTRY{e[0], e[1], e[2], e[3]};
  }
  return CreatePalette(&lp);
}

void CopyPalette(PaletteHandle srcPalette, PaletteHandle dstPalette, int16 srcEntry,
                 int16 dstEntry, int16 dstLength) {
  if (srcPalette == nullptr || dstPalette == nullptr || srcEntry < 0 || dstEntry < 0 ||
      dstLength <= 0)
    return;
  PALETTEENTRY buf[256];
  uint32 n = GetPaletteEntries(srcPalette, uint32(srcEntry), uint32(dstLength) > 256 ? 256 : uint32(dstLength), buf);
  if (n == 0) return;
  SetPaletteEntries(dstPalette, uint32(dstEntry), n, buf);
}

void Palette2CTab(PaletteHandle srcPalette, CTabHandle dstCTab) {
  if (srcPalette == nullptr || dstCTab == nullptr) return;
  if (Handle_GetSize(dstCTab) < kCTabBytes) {
    Handle_SetSize(dstCTab, kCTabBytes);
    if (Handle_GetSize(dstCTab) < kCTabBytes) return;
  }
  CTabPtr t = CTab_Ptr(dstCTab);
  if (t == nullptr) return;
  PALETTEENTRY pe[256] = {};
  GetPaletteEntries(srcPalette, 0, 256, pe);
  t->ctSeed = 1000;
  t->ctFlags = 0;
  // Entries minus 1, as every other table: readers loop from 0 to ctSize.
  t->ctSize = kCTabEntries - 1;
  for (int i = 0; i < kCTabEntries; ++i) {
    t->ctTable[i].value = int16(i);
    t->ctTable[i].rgb = RGBColor{uint16(pe[i].peRed * 257), uint16(pe[i].peGreen * 257),
                                 uint16(pe[i].peBlue * 257)};
  }
}

void DisposePalette(PaletteHandle& p) {
  if (p == nullptr) return;
  DeleteObject(p);
  p = nullptr;
}

void GetPalette() { QUIT(); }
void CTab2Palette() { QUIT(); }

void ActivatePalette(HWND src_window) {
  if (src_window == nullptr || g_video.main_palette == nullptr) return;
  HDC dc = GetDC(src_window);
  if (dc == nullptr) return;
  SelectPalette(dc, g_video.main_palette, false);
  RealizePalette(dc);
  ReleaseDC(src_window, dc);
}

void NSetPalette(HWND dstWindow, PaletteHandle srcPalette, int16 /*nCUpdates*/) {
  if (dstWindow == nullptr || srcPalette == nullptr) return;
  HDC dc = GetDC(dstWindow);
  if (dc == nullptr) return;
  SelectPalette(dc, srcPalette, false);
  ReleaseDC(dstWindow, dc);
}
