#include "platform/Icons.h"

#include <new>

#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysErr.h"
#include "platform/SysWin.h"

namespace {

constexpr OSType kMonoFirst[] = {kIconMaskResType, kIconResType, kColorIconResType};
constexpr OSType kColorFirst[] = {kColorIconResType, kIconMaskResType, kIconResType};

IconHandle Load_Icon(int16 id, const OSType (&order)[3]) {
  const int16 rid = ID(id).id;
  ResHandle h = nullptr;
  for (int16 slot = CurResFile(); slot >= 0 && h == nullptr; --slot)
    for (OSType t : order)
      if ((h = Get_Res(rid, t, slot)) != nullptr) break;
  if (h == nullptr) {
    Report_Missing_Resource(order[0] == kColorIconResType ? kColorIconResType : kIconResType, id);
    return nullptr;
  }
  auto* icon = new (std::nothrow) a_icon_rec{h->type, id, {}};
  if (icon == nullptr) {
    g_err_mem_proc(uint32(sizeof(a_icon_rec)));
    return nullptr;
  }
  if (!ResImage_Decode(h->type, std::span<const uint8>(h->data, h->size), icon->image)) {
    delete icon;
    Report_Missing_Resource(h->type, id);
    return nullptr;
  }
  return icon;
}

uint8 Mix(uint32 src, uint32 dst, uint32 a) { return uint8((src * a + dst * (255 - a) + 127) / 255); }

// The icon's pixels through their alpha onto the port at (left, top).
void Draw_Masked(const a_res_image& img, int32 left, int32 top) {
  for (int32 y = 0; y < img.height; ++y) {
    for (int32 x = 0; x < img.width; ++x) {
      const uint32 p = ResImage_Pixel(img, x, y);
      const uint32 a = p >> 24;
      if (a == 0) continue;
      uint8 r = uint8(p >> 16), g = uint8(p >> 8), b = uint8(p);
      if (a < 255) {
        const COLORREF under = GetPixel(theHDC, left + x, top + y);
        if (under == CLR_INVALID) continue;  // clipped away
        r = Mix(r, GetRValue(under), a);
        g = Mix(g, GetGValue(under), a);
        b = Mix(b, GetBValue(under), a);
      }
      SetPixel(theHDC, left + x, top + y, RGB(r, g, b));
    }
  }
}

// The icon drawn onto a white 32 x 32 cell and made monochrome by the rule
// of 1-bit surfaces: the nearer of black and white, black on a tie. Rows of
// 4 bytes, bit 7 leftmost, 1 white.
void Mono_Cell(const a_res_image& img, uint8 (&bits)[kIconSize * 4]) {
  for (int32 y = 0; y < kIconSize; ++y) {
    for (int32 x = 0; x < kIconSize; ++x) {
      uint32 r = 255, g = 255, b = 255;
      if (x < img.width && y < img.height) {
        const uint32 p = ResImage_Pixel(img, x, y), a = p >> 24;
        r = Mix((p >> 16) & 0xFF, 255, a);
        g = Mix((p >> 8) & 0xFF, 255, a);
        b = Mix(p & 0xFF, 255, a);
      }
      const uint32 to_black = r * r + g * g + b * b;
      const uint32 to_white = (255 - r) * (255 - r) + (255 - g) * (255 - g) + (255 - b) * (255 - b);
      const uint8 bit = uint8(0x80u >> (x & 7));
      uint8& byte = bits[y * 4 + (x >> 3)];
      byte = to_black <= to_white ? uint8(byte & ~bit) : uint8(byte | bit);
    }
  }
}

}  // namespace

IconHandle GetIcon(int16 id) { return Load_Icon(id, kMonoFirst); }
IconHandle GetCIcon(int16 id) { return Load_Icon(id, kColorFirst); }

void DisposeCIcon(IconHandle& icon) {
  delete icon;
  icon = nullptr;
}

void PlotIcon(IconHandle icon, const Rect& box) {
  if (icon == nullptr || theHDC == nullptr || box.right <= box.left || box.bottom <= box.top) return;
  const int32 w = int32(box.right) - box.left, h = int32(box.bottom) - box.top;
  if (w >= kIconSize && h >= kIconSize) {
    Draw_Masked(icon->image, box.left, box.top);
    return;
  }
  uint8 bits[kIconSize * 4] = {};
  Mono_Cell(icon->image, bits);
  HBITMAP cell = CreateBitmap(kIconSize, kIconSize, 1, 1, bits);
  HDC mem = cell ? CreateCompatibleDC(theHDC) : nullptr;
  HGDIOBJ old = mem ? SelectObject(mem, cell) : nullptr;
  if (old != nullptr) {
    StretchBlt(theHDC, box.left, box.top, w, h, mem, 0, 0, kIconSize, kIconSize, SRCCOPY);
    SelectObject(mem, old);
  }
  if (mem) DeleteDC(mem);
  if (cell) DeleteObject(cell);
}

void PlotCIcon(const Rect& box, IconHandle icon) {
  if (icon == nullptr || theHDC == nullptr) return;
  Draw_Masked(icon->image, box.left, box.top);
}

HICON Load_Window_Icon(int16 id) {
  const int16 rid = ID(id).id;
  ResHandle h = nullptr;
  for (int16 slot = CurResFile(); slot >= 0 && h == nullptr; --slot) h = Get_Res(rid, kColorIconResType, slot);
  a_res_image img;
  if (h == nullptr || !ResImage_Decode(kColorIconResType, std::span<const uint8>(h->data, h->size), img))
    return nullptr;
  return Host_Create_Icon(img.width, img.height, img.bgra.data());
}
