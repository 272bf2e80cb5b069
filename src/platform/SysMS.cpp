#include "platform/SysMS.h"

#include <cstring>

#include "host/HostGdi.h"
#include "platform/PixMaps.h"
#include "platform/Quickdraw.h"
#include "platform/SysErr.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

#include <cstdio>
#include <cstdlib>

Point SwapXY(uint32 pos) {
  // The halves are signed: positions left of or above the origin are negative.
  return Point{int16(uint16(pos >> 16)), int16(uint16(pos & 0xFFFF))};
}

int16 INT32_To_INT16(int32 i) {
  if (i < -INT16_CLAMP) return -INT16_CLAMP;
  if (i > INT16_CLAMP) return INT16_CLAMP;
  return int16(i);
}

void ToPOINT(POINT& P, const Point& pt) {
  P.x = pt.h;
  P.y = pt.v;
}

void ToPoint(Point& pt, const POINT& P) {
  pt.h = INT32_To_INT16(P.x);
  pt.v = INT32_To_INT16(P.y);
}

void ToRECT(RECT& R, const Rect& r) {
  R.left = r.left;
  R.top = r.top;
  R.right = r.right;
  R.bottom = r.bottom;
}

void ToRect(Rect& r, const RECT& R) {
  r.top = INT32_To_INT16(R.top);
  r.left = INT32_To_INT16(R.left);
  r.bottom = INT32_To_INT16(R.bottom);
  r.right = INT32_To_INT16(R.right);
}

void Quit(const char* msg) {
  std::fprintf(stderr, "%s\n", msg ? msg : "");
  std::fflush(stderr);
  std::_Exit(1);
}

// --- DIB headers of pixel maps ------------------------------------------------------

namespace {

BITMAPINFO g_rgb8_dib;
BITMAPINFO g_pal8_dib;
BITMAPINFO g_pal1_dib;

void Fill_DIB_Header(BITMAPINFOHEADER& hd, const PixMap& pix) {
  std::memset(&hd, 0, sizeof(hd));
  hd.biSize = sizeof(BITMAPINFOHEADER);
  hd.biWidth = int32(pix.bounds.right) - pix.bounds.left;
  hd.biHeight = int32(pix.bounds.top) - pix.bounds.bottom;  // negative: rows top-down
  hd.biPlanes = 1;
  hd.biBitCount = uint16(pix.pixelSize);
  hd.biCompression = BI_RGB;
}

}  // namespace

void Calc_RGB_DIB(BITMAPINFO& bmi, const PixMap& pix) {
  const int16 depth = pix.pixelSize;
  if (depth != 1 && depth != 8 && depth != 16 && depth != 24 && depth != 32) {
    QUIT();
    return;
  }
  std::memset(&bmi, 0, sizeof(bmi));
  Fill_DIB_Header(bmi.bmiHeader, pix);
  if (depth == 8) {
    for (int j = 0; j < 256; ++j) {
      if (pix.pmTable != nullptr && pix.pmTable == gray_ctable) {
        const uint8 v = uint8(255 - j);
        bmi.bmiColors[j] = RGBQUAD{v, v, v, 0};
      } else if (pix.pmTable != nullptr && pix.pmTable == gray_ctable2) {
        bmi.bmiColors[j] = RGBQUAD{uint8(j), uint8(j), uint8(j), 0};
      } else {
        const a_win_pixel32 c = g_video.main_colors32[j];
        bmi.bmiColors[j] = RGBQUAD{c.b, c.g, c.r, 0};
      }
    }
  } else if (depth == 1) {
    bmi.bmiColors[0] = RGBQUAD{255, 255, 255, 0};
    bmi.bmiColors[1] = RGBQUAD{0, 0, 0, 0};
  }
}

void Calc_Pal_DIB(BITMAPINFO& bmi, const PixMap& pix) {
  const int16 depth = pix.pixelSize;
  if (depth != 1 && depth != 8) {
    QUIT();
    return;
  }
  std::memset(&bmi, 0, sizeof(bmi));
  Fill_DIB_Header(bmi.bmiHeader, pix);
  uint16 idx[256] = {};
  if (depth == 8) {
    for (int j = 0; j < 256; ++j) idx[j] = uint16(j);
  } else {
    idx[0] = theShadow ? theShadow->back_colorx : 255;
    idx[1] = theShadow ? theShadow->fore_colorx : 0;
  }
  std::memcpy(bmi.bmiColors, idx, sizeof(idx));
}

BITMAPINFO* Get_RGB_DIB(const PixMap& pix) {
  Calc_RGB_DIB(g_rgb8_dib, pix);
  return &g_rgb8_dib;
}

BITMAPINFO* Get_Pal_DIB(const PixMap& pix) {
  BITMAPINFO& bmi = pix.pixelSize == 1 ? g_pal1_dib : g_pal8_dib;
  Calc_Pal_DIB(bmi, pix);
  return &bmi;
}
