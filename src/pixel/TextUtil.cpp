#include "pixel/TextUtil.h"

#include <algorithm>

#include "pixel/Draw.h"
#include "platform/Quickdraw.h"
#include "platform/SysUnicode.h"

namespace {

int16 Clamp16(int32 v) { return int16(std::clamp<int32>(v, -32768, 32767)); }

// The baseline that centres a font of ascent a and descent d in the box.
int32 Centred_Baseline(const Rect& box, const a_font_info& fi) {
  return (int32(box.top) + box.bottom - (fi.ascent + fi.descent)) / 2 + fi.ascent;
}

}  // namespace

int32 Fit_Next_Size(int32 size) {
  switch (size) {
    case 10: return 9;
    case 11: return 10;
    case 12: return 11;
    case 14: return 12;
    case 18: return 14;
    case 24: return 18;
    default: return size - 4;
  }
}

int32 Fit_Next_USize(int32 size) {
  switch (size) {
    case 7: return 6;
    case 8: return 7;
    case 9: return 8;
    default: return Fit_Next_Size(size);
  }
}

int32 Draw_String_Fit(bool8 center, a_fontspec spec, CStrSpan ss, const Rect& box) {
  const int32 room = int32(box.right) - box.left;
  int16 width;
  for (;;) {
    SetFont(spec);
    width = StringWidth(ss);
    if (spec.size <= 9 || width <= room) break;
    spec.size = Fit_Next_Size(spec.size);
  }
  a_font_info fi{};
  Get_Font_Info(fi);
  int32 y = Centred_Baseline(box, fi);
  if (Is_Asian_Font(spec.fontID))
    y = (int32(box.top) + box.bottom - (fi.ascent + fi.descent)) / 2 + (spec.size * 8) / 9;
  const int32 x = center ? (int32(box.left) + box.right - width) / 2 : int32(box.left);
  MoveTo(Clamp16(x), Clamp16(y));
  DrawString(ss);
  return spec.size;
}

int32 Draw_UString_Fit(int16 just, a_fontspec spec, CUStrSpan ss, const Rect& box) {
  const int32 room = int32(box.right) - box.left;
  int16 width;
  for (;;) {
    width = uStringWidth(ss, spec);
    if (spec.size <= 6 || width <= room) break;
    spec.size = Fit_Next_USize(spec.size);
  }
  int32 y = (int32(box.top) + box.bottom) / 2 + spec.size / 4;
  if (Is_Asian_Font(spec.fontID)) y = (int32(box.top) + box.bottom - spec.size) / 2 + (spec.size * 8) / 9;
  int32 x = box.left;
  if (just == 1) x = (int32(box.left) + box.right - width) / 2;
  else if (just == 2) x = int32(box.right) - width;
  MoveTo(Clamp16(x), Clamp16(y));
  PushClip(box);
  uDrawString(ss, spec);
  PopClip();
  return spec.size;
}

void DrawStringCentered(CStrSpan str, const Rect& box) {
  const int16 width = StringWidth(str);
  a_font_info fi{};
  Get_Font_Info(fi);
  MoveTo(Clamp16((int32(box.left) + box.right - width) / 2), Clamp16(Centred_Baseline(box, fi)));
  DrawString(str);
}

void DrawStringLeft(CStrSpan str, const Rect& box, int16 dx, int16 dy) {
  a_font_info fi{};
  Get_Font_Info(fi);
  MoveTo(Clamp16(int32(box.left) + dx), Clamp16(Centred_Baseline(box, fi) + dy));
  DrawString(str);
}

void DrawUStringLeft(const a_fontspec& spec, CUStrSpan str, const Rect& box, int16 dx, int16 dy) {
  a_font_info fi{};
  Get_Font_Info(fi);
  MoveTo(Clamp16(int32(box.left) + dx), Clamp16(Centred_Baseline(box, fi) + dy));
  uDrawString(str, spec);
}

void Calc_Letter_String(int16 index, StrSpan ss) {
  if (ss.empty()) return;
  // Bijective base 26 (A .. Z, then AA ...), built backwards.
  char buf[8];
  int n = 0;
  for (int32 v = index; v > 0 && n < int(sizeof buf); v = (v - 1) / 26) buf[n++] = char('A' + (v - 1) % 26);
  size_t out = 0;
  while (n > 0 && out + 1 < ss.size()) ss[out++] = buf[--n];
  ss[out] = 0;
}
