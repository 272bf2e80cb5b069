#include "platform/SysVideo.h"

#include <cstring>

#include "platform/SysColorPick.h"
#include "platform/SysDlog.h"
#include "platform/SysErr.h"
#include "platform/SysLoop.h"
#include "platform/SysInfo.h"
#include "platform/SysMem.h"

a_video_vbl g_video;
CTabHandle gray_ctable = nullptr;
CTabHandle gray_ctable2 = nullptr;
CTabHandle mono_ctable = nullptr;
COLORREF custom_colors[16];
int16 nsyspal = 0;

namespace {

constexpr int32 kCTSeed = 1000;

// The ten channel levels the 6-step cube lacks, brightest first.
constexpr uint8 kRampLevels[10] = {238, 221, 187, 170, 136, 119, 85, 68, 34, 17};

a_win_pixel32 Make_Pixel(uint8 r, uint8 g, uint8 b) {
  a_win_pixel32 p;
  p.r = r;
  p.g = g;
  p.b = b;
  p.a = 0;  // flag byte: entry may be matched
  return p;
}

CTabHandle Make_Gray_Table(bool white_first) {
  CTabHandle h = New_Handle_Clear(kCTabBytes);
  if (h == nullptr) {
    g_err_mem_proc(kCTabBytes);
    return nullptr;
  }
  CTabPtr t = CTab_Ptr(h);
  t->ctSeed = kCTSeed;
  t->ctFlags = 0;
  t->ctSize = kCTabEntries - 1;
  for (int i = 0; i < kCTabEntries; ++i) {
    uint16 level = uint16((white_first ? 255 - i : i) * 257);
    t->ctTable[i].value = int16(i);
    t->ctTable[i].rgb = RGBColor{level, level, level};
  }
  return h;
}

}  // namespace

a_win_pixel32 Main_Color(int i) {
  if (i < 0 || i > 255) return Make_Pixel(0, 0, 0);
  int j = 255 - i;  // position in the table counted from white
  if (j < 215) {
    return Make_Pixel(uint8((5 - j / 36) * 51), uint8((5 - (j / 6) % 6) * 51),
                      uint8((5 - j % 6) * 51));
  }
  if (j == 255) return Make_Pixel(0, 0, 0);
  int ramp = (j - 215) / 10;  // 0 red, 1 green, 2 blue, 3 grey
  uint8 level = kRampLevels[(j - 215) % 10];
  switch (ramp) {
    case 0: return Make_Pixel(level, 0, 0);
    case 1: return Make_Pixel(0, level, 0);
    case 2: return Make_Pixel(0, 0, level);
    default: return Make_Pixel(level, level, level);
  }
}

void Main_Colors_Init() {
  for (int i = 0; i < 256; ++i) g_video.main_colors32[i] = Main_Color(i);
}

void SysVideo_Init() {
  std::memset(&g_video, 0, sizeof g_video);
  gray_ctable = nullptr;
  gray_ctable2 = nullptr;
  mono_ctable = nullptr;  // GetCTable(1) gives no table here
  std::memset(custom_colors, 0, sizeof custom_colors);
  Color_Chooser_Init();
  nsyspal = 0;
  // The main table used to be filled only from a 256-colour display's system
  // palette; with no such display every code 300 + i drew black and every
  // nearest-colour search gave 0. The program's own table is used instead.
  Main_Colors_Init();
}

void SysVideo_Stop() {
  if (g_video.main_palette != nullptr) {
    DeleteObject(g_video.main_palette);
    g_video.main_palette = nullptr;
  }
  Dispose_Handle(gray_ctable);
  Dispose_Handle(gray_ctable2);
}

void InitGray() {
  if (gray_ctable == nullptr) gray_ctable = Make_Gray_Table(true);
  if (gray_ctable2 == nullptr) gray_ctable2 = Make_Gray_Table(false);
}

uint8 Color2Index(const RGBColor& rgb) {
  const int32 r = rgb.red >> 8, g = rgb.green >> 8, b = rgb.blue >> 8;
  int32 best = -1;
  int32 best_dist = 0;
  for (int i = 0; i < 256; ++i) {
    const a_win_pixel32& e = g_video.main_colors32[i];
    if (e.a == 1) continue;
    int32 dr = r - e.r, dg = g - e.g, db = b - e.b;
    int32 d = dr * dr + dg * dg + db * db;
    if (best < 0 || d < best_dist) {
      best = i;
      best_dist = d;
    }
  }
  return best < 0 ? 0 : uint8(best);
}

CTabHandle Get_Main_CTable() { return nullptr; }

bool8 Is_Completely_Visible(const Rect& targbox) {
  if (targbox.left >= targbox.right || targbox.top >= targbox.bottom) return false;
  const Rect& a = info_videoavail;
  return targbox.left >= a.left && targbox.top >= a.top && targbox.right <= a.right &&
         targbox.bottom <= a.bottom;
}

HPALETTE Palette_From_Triplets(std::span<const uint8> triplets) {
  if (triplets.size() < 768) return nullptr;
  LOGPALETTE lp{};
  lp.palVersion = 0x300;
  lp.palNumEntries = 256;
  for (int i = 0; i < 256; ++i) {
    int dst = i == 0 ? 255 : i == 255 ? 0 : i;
    PALETTEENTRY& e = lp.palPalEntry[dst];
    e.peRed = triplets[size_t(i) * 3];
    e.peGreen = triplets[size_t(i) * 3 + 1];
    e.peBlue = triplets[size_t(i) * 3 + 2];
    e.peFlags = (i < 10 || i >= 246) ? 0 : PC_NOCOLLAPSE;
  }
  return CreatePalette(&lp);
}

void Get_Inverse_Table() { QUIT(); }

bool8 Pick_Color(CStrSpan /*prompt*/, a_win_pixel32& color) {
  Init_External();
  const bool8 ok = Run_Color_Chooser(color, custom_colors);
  Stop_External();
  if (main_hwnd != nullptr && IsWindow(main_hwnd)) {
    EnableWindow(main_hwnd, true);
    SetActiveWindow(main_hwnd);
  }
  return ok;
}
