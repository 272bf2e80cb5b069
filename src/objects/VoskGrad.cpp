#include "objects/VoskGrad.h"

#include <algorithm>

#include "doc/VoskHist.h"
#include "objects/VoskAtom.h"  // Find_In_Palette32
#include "objects/VoskSwat.h"
#include "objects/VoskText.h"
#include "pixel/ArtKeys.h"
#include "pixel/OP.h"
#include "pixel/SysBlt.h"
#include "platform/Quickdraw.h"
#include "platform/SysErr.h"
#include "ui/VoskBar.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

constexpr OSType kGradTag = FourCC("GRAD");
// The working gradient stops growing here.
constexpr uint16 kNetGradientCap = MAXGRADBANDS - 1;

}  // namespace

bool8 Gradient_Parse(const uint8* data, int32 len, a_grad_rec& obj) {
  if (data == nullptr || len < 2) return false;
  const uint16 n = static_cast<uint16>((data[0] << 8) | data[1]);
  if (n == 0 || n > MAXGRADBANDS || len < 2 + 4 * static_cast<int32>(n)) return false;
  obj.nbands = n;
  for (uint16 i = 0; i < n; ++i) {
    const uint8* p = data + 2 + 4 * i;
    a_win_pixel32& band = obj.bands[i];
    band.a = p[0];
    band.r = p[1];
    band.g = p[2];
    band.b = p[3];
  }
  return true;
}

bool8 Gradient_Get(int16 id, a_grad_rec& obj) {
  const a_keyset key{ART_GRADIENT, 0, id, 0};
  const int32 len = OP_Size(key);
  Ptr data = len > 0 ? OP_Lock(key) : nullptr;
  if (data == nullptr) {
    Report_Missing_Key(kGradTag, key);
    return false;
  }
  const bool8 ok = Gradient_Parse(reinterpret_cast<const uint8*>(data), len, obj);
  OP_Unlock(data);
  if (!ok) Report_Missing_Key(kGradTag, key);
  return ok;
}

void Net_Gradient(const a_grad_rec& src, int16 dir, int16 reps, a_grad_rec& out) {
  const int32 n = std::min<int32>(src.nbands, MAXGRADBANDS);
  uint16 count = 0;
  auto put = [&](int32 i) {
    if (count < kNetGradientCap) out.bands[count++] = src.bands[i];
  };
  for (int16 round = 0; n > 0 && round < reps && count < kNetGradientCap; ++round) {
    switch (dir) {
      case 1:
        for (int32 i = round == 0 ? 0 : 1; i < n; ++i) put(i);
        for (int32 i = n - 2; i >= 0; --i) put(i);
        break;
      case 2:
        for (int32 i = round == 0 ? n - 1 : n - 2; i >= 0; --i) put(i);
        for (int32 i = 1; i < n; ++i) put(i);
        break;
      case 3:
        for (int32 i = n - 1; i >= 0; --i) put(i);
        break;
      default:
        for (int32 i = 0; i < n; ++i) put(i);
        break;
    }
  }
  out.nbands = count;
}

void Calc_Net_Gradient() {
  static a_grad_rec source;
  if (gs.fill_gradient != nullptr && Gradient_Get(gs.bar_selection[GRADIENT_BAR], source)) {
    Net_Gradient(source, gs.grid_vals[GRAD_DIR_GRID], gs.slider_vals[GRAD_REP_SLIDER], *gs.fill_gradient);
  }
  Calc_Fill_Color();
}

int16 Calc_Darkest_Color(const a_grad_rec& grad) {
  int16 best = 0;
  int32 best_sum = 0x7FFFFFFF;
  for (uint16 i = 0; i < std::min<uint16>(grad.nbands, MAXGRADBANDS); ++i) {
    const a_win_pixel32& b = grad.bands[i];
    const int32 sum = b.r + b.g + b.b;
    if (sum < best_sum) {
      best_sum = sum;
      best = static_cast<int16>(i);
    }
  }
  return best;
}

void Calc_Fill_Color() {
  if (gs.fill_kind == GRADIENT_FILL) {
    if (gs.fill_gradient == nullptr || gs.fill_gradient->nbands == 0) return;
    gs.fill_color32 = gs.fill_gradient->bands[Calc_Darkest_Color(*gs.fill_gradient)];
    gs.fill_colorx = Find_In_Palette32(gs.fill_color32);
    return;
  }
  const int16 colorx = gs.bar_selection[PAINT_COLORBAR];
  if (colorx < 0 || colorx >= gs.ncolor_table) return;
  gs.fill_colorx = colorx;
  gs.fill_color32 = gs.color_table[colorx];
}

void Delta_FillKind(a_fill_kind /*old*/) { Calc_Fill_Color(); }

void Gradient_Select() { Calc_Net_Gradient(); }

void Grad_Dir_Select() { Calc_Net_Gradient(); }

void Grad_Kind_Select() {
  SV_Set_Virtual(SV_CONFIG_LSIDE);
  Swatch_PostUpdate();
}

void Palette_Select() {
  Calc_Fill_Color();
  // The text tool colours the selected text at once, as a step of its own;
  // the dropper's choice shows in every ring that offers the palette.
  if (gs.tool_net == TEXT_TOOL) {
    History_Set_Pending(OP_TEXT_SETCOLOR);
    Delta_Text_Minor();
  } else if (gs.tool_net == DROPPER_TOOL) {
    Synchronize_Rings(PAINT_COLORBAR);
  }
}

void Palette_DrawElement(int16 id, const Rect& destrect) {
  if (id < 0 || id >= gs.ncolor_table) return;
  const a_win_pixel32& c = gs.color_table[id];
  RGBColor rgb{static_cast<uint16>(c.r * 257), static_cast<uint16>(c.g * 257), static_cast<uint16>(c.b * 257)};
  RGBForeColor(rgb);
  PaintRect(destrect);
  ForeColor(1);
}

void Gradient_DrawElement(int16 id, const Rect& bardest) {
  static a_grad_rec grad;
  if (!Gradient_Get(id, grad)) return;
  const int16 w = static_cast<int16>(bardest.right - bardest.left);
  const int16 h = static_cast<int16>(bardest.bottom - bardest.top);
  if (w <= 0 || h <= 0) return;
  PixMap strip;
  const Rect sbounds{0, 0, h, 4};
  New_PixMap(strip, sbounds, 32, nullptr);
  if (Is_Null_PixMap(strip)) return;
  Fill_Dither(LINEAR_DITHER, &strip, nullptr, sbounds, nullptr, nullptr, true, &grad, 0, 90, Point{0, 0}, 0);
  for (int16 x = 0; x < w; x += 4) {
    Rect src = sbounds;
    src.right = static_cast<int16>(std::min<int32>(4, w - x));
    Rect dst{bardest.top, static_cast<int16>(bardest.left + x), bardest.bottom,
             static_cast<int16>(bardest.left + x + src.right)};
    Pix_To_Port(&strip, nullptr, src, dst, srcCopy, nullptr);
  }
  Dispose_PixMap(strip);
}
