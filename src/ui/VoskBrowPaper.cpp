// The layout catalogue as the paper browser lists it (t.tlist), its cells,
// letter jumps and echo, and the sheet preview of a layout.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "doc/VoskDraw.h"
#include "doc/VoskPrev.h"
#include "doc/VoskPrin.h"
#include "doc/VoskShap.h"
#include "doc/VoskTmpl.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/TextUtil.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/VoskErr.h"
#include "ui/VoskBrow.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"

namespace {

constexpr int16 kStrKinds = 600;
constexpr a_pixel24 kShadowGrey{30, 30, 30};
constexpr int16 kShadowWidth = 6;
constexpr a_pixel24 kEchoBack{236, 236, 236};
constexpr a_pixel24 kUnitFill{222, 232, 248};
constexpr a_pixel24 kUnitInk{36, 56, 130};
constexpr int16 kArrowRoom = 26;   // above and left of the sheet, for the measuring arrows
constexpr int16 kCaptionLine = 17;

uint32 List_Count() { return std::min(t.tlist_n, MAXNTEMPLATES); }

// The catalogue entry at list place id, NIL outside the list.
const a_ctemplate* Entry_At(int16 id) {
  if (id < 1 || uint32(id) > List_Count()) return nullptr;
  const uint32 tx = t.tlist[id - 1];
  return tx >= 1 && tx <= NTEMPLATES ? &g_ctemplates[tx - 1] : nullptr;
}

bool Has_Kind_In(const a_ctemplate& c, const a_unitkind_set& kinds) {
  for (uint32 k = 0; k < NUNITKINDS; ++k)
    if (kinds.test(k) && Is_Kind_In_CTemplate(uint8(k), c)) return true;
  return false;
}

a_pixel24 Mix(a_pixel24 a, a_pixel24 b, int32 num, int32 den) {
  const auto m = [num, den](uint8 x, uint8 y) { return uint8((int32(x) * (den - num) + int32(y) * num) / den); };
  return a_pixel24{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

// The paper's drop shadow: grey under the sheet, fading into the background
// over its last pixels.
void Paint_Shadow(const Rect& paper, a_pixel24 back) {
  const int16 offset = kShadowWidth / 2;
  for (int16 k = kShadowWidth; k >= 1; --k) {
    Rect r = paper;
    OffsetRect(r, offset, offset);
    InsetRect(r, int16(-(k - 1)), int16(-(k - 1)));
    SetForeColor24(Mix(kShadowGrey, back, k, kShadowWidth + 1));
    PaintRect(r);
  }
}

void Draw_Unit(const a_unit& unit, int16 index, bool8 letter) {
  a_iunit iunit{};
  Map_Unit(unit, iunit);
  if (EmptyRect(iunit.bbox)) return;
  RgnHandle rgn = NewRgn();
  Calc_Unit_Region(true, iunit, rgn);
  SetForeColor24(kUnitFill);
  PaintRgn(rgn);
  DisposeRgn(rgn);
  SetForeColor24(kUnitInk);
  SetBackColor(kUnitInk.r, kUnitInk.g, kUnitInk.b);
  Outline_Shape2(false, true, true, SOLID_LINE, 1, 0, SUPRESS_BLEED, iunit);
  SetBackColor(255, 255, 255);
  const Rect& b = iunit.bbox;
  if (!letter || b.right - b.left < 10 || b.bottom - b.top < 10) return;
  char name[8] = {};
  Calc_Letter_String(int16(index + 1), StrSpan(name));
  a_fontspec font = gs.font_12pt;
  Draw_String_Fit(true, font, CStrSpan(name, std::strlen(name)), b);
}

// The measuring arrows along the top and the left of the first unit, in
// the units the drawn layout is measured in (not the open document's).
void Draw_Measures(const a_template& tmpl, const a_unit& unit) {
  a_iunit iunit{};
  Map_Unit(unit, iunit);
  const Rect& b = iunit.bbox;
  if (b.right - b.left < 16 || b.bottom - b.top < 16) return;
  SetFont(gs.font_12pt);
  SetForeColor(0, 0, 0);
  PenNormal();
  const int32 w = int32(std::lround((unit.bbox.right - unit.bbox.left) * 10.0f));
  const int32 h = int32(std::lround((unit.bbox.bottom - unit.bbox.top) * 10.0f));
  const bool8 inches = (tmpl.tflags & (uint32(1) << IS_INCHES)) != 0;
  Draw_Arrow_H(b.left, b.right, int16(b.top - 9), w, inches);
  Draw_Arrow_V(b.top, b.bottom, int16(b.left - 9), h, inches);
}

// One caption line per kind of unit, in the order the kinds first occur:
// the kind's name, with the count in brackets when there are several.
void Draw_Captions(const a_template& tmpl, const Rect& box) {
  uint8 kinds[MAXNUNITS];
  int16 counts[MAXNUNITS];
  int16 n = 0;
  for (uint32 u = 0; u < tmpl.nunits && u < MAXNUNITS; ++u) {
    int16 i = 0;
    while (i < n && kinds[i] != tmpl.units[u].kind) ++i;
    if (i == n) {
      kinds[n] = tmpl.units[u].kind;
      counts[n++] = 0;
    }
    ++counts[i];
  }
  Rect line{box.top, box.left, int16(box.top + kCaptionLine), box.right};
  for (int16 i = 0; i < n && line.bottom <= box.bottom; ++i) {
    uStr255 text{};
    Get_Translated_UString(text, kStrKinds, int16(kinds[i] + 1));
    if (counts[i] > 1) {
      char tail[16];
      std::snprintf(tail, sizeof tail, "  (%d)", counts[i]);
      size_t len = 0;
      while (len < 255 && text[len] != 0) ++len;
      for (size_t k = 0; tail[k] != 0 && len < 255; ++k) text[len++] = UniChar(uint8(tail[k]));
      text[len] = 0;
    }
    SetForeColor(0, 0, 0);
    Draw_UString_Fit(0, gs.font_12pt, text, line);
    OffsetRect(line, 0, kCaptionLine);
  }
}

int16 Count_Kinds(const a_template& tmpl) {
  a_unitkind_set seen;
  for (uint32 u = 0; u < tmpl.nunits && u < MAXNUNITS; ++u)
    if (tmpl.units[u].kind < NUNITKINDS) seen.set(tmpl.units[u].kind);
  return int16(seen.count());
}

}  // namespace

void Build_Template_List() {
  a_unitkind_set all;
  all.set();
  Build_Paper_List2(all);
}

void Build_Paper_List2(const a_unitkind_set& kinds) {
  t.tlist_n = 0;
  if (kinds.any()) {
    for (uint32 tx = 1; tx <= NTEMPLATES && t.tlist_n < MAXNTEMPLATES; ++tx) {
      const a_ctemplate& c = g_ctemplates[tx - 1];
      if ((c.platforms & (1u << PLATFORM_WIN)) != 0 && Has_Kind_In(c, kinds)) t.tlist[t.tlist_n++] = tx;
    }
  }
  // Sort key and name are the record's first bytes.
  std::stable_sort(t.tlist, t.tlist + t.tlist_n, [](uint32 a, uint32 b) {
    const a_ctemplate& x = g_ctemplates[a - 1];
    const a_ctemplate& y = g_ctemplates[b - 1];
    const int c = std::memcmp(x.sort, y.sort, sizeof x.sort);
    return c != 0 ? c < 0 : std::memcmp(x.label, y.label, sizeof x.label) < 0;
  });
  Custom_Inval(CUSTOM_PAPERLIST);
}

void PaperBar_DrawElement(int16 id, const Rect& r) {
  SetForeColor(255, 255, 255);
  PaintRect(r);
  const a_ctemplate* c = Entry_At(id);
  if (c == nullptr) return;
  uStr255 name{};
  Filter_Template_Name(CStrSpan(c->label, sizeof c->label), name);
  Rect box = r;
  InsetRect(box, 4, 0);
  SetForeColor(0, 0, 0);
  Draw_UString_Fit(0, gs.font_12pt, name, box);
}

int16 PaperBar_Find(char letter) {
  const char first = char(std::toupper(uint8(letter)));
  if (first < 'A' || first > 'Z') return BROWSER_JUMP;
  for (char l = first; l <= 'Z'; ++l) {
    for (uint32 k = 1; k <= List_Count(); ++k) {
      const a_ctemplate* c = Entry_At(int16(k));
      if (c != nullptr && std::toupper(uint8(c->sort[0])) == l) return int16(k);
    }
  }
  return BROWSER_JUMP;
}

void PaperBar_Echo(int16 id) {
  const Rect area = g_browser.bb_echo;
  const a_ctemplate* c = Entry_At(id);
  a_template tmpl{};
  if (c == nullptr || Expand_Template(*c, tmpl) != EXPAND_OK) {
    SetForeColor24(kEchoBack);
    PaintRect(area);
    return;
  }
  PaperEcho_Paint3(tmpl, area);
}

void PaperEcho_Paint3(const a_template& tmpl, const Rect& area, bool8 details) {
  SetForeColor24(kEchoBack);
  PaintRect(area);
  if (tmpl.nunits < 1 || EmptyRect(area)) return;
  const int16 caption_h =
      details ? int16(std::min<int32>(Count_Kinds(tmpl) * kCaptionLine, (area.bottom - area.top) / 3)) : 0;
  const int16 room = details ? kArrowRoom : 8;
  const Rect captions{int16(area.bottom - caption_h - 4), int16(area.left + 8), int16(area.bottom - 4),
                      int16(area.right - 8)};
  const Rect avail{int16(area.top + room), int16(area.left + room), int16(captions.top - 4 - kShadowWidth),
                   int16(area.right - 8 - kShadowWidth)};
  if (EmptyRect(avail)) return;
  a_coord_mapping mapping{};
  a_frect fused{};
  PaperEcho_Calc_Mapping(tmpl, avail, mapping, fused);
  Push_Mapping(mapping);
  if (!Is_Skipping_Paper_Display(tmpl, true)) {
    a_frect fpaper{};
    Calc_Paper_Rect(tmpl, fpaper);
    Rect paper;
    Map_FRect(fpaper, paper);
    Paint_Shadow(paper, kEchoBack);
    SetForeColor(255, 255, 255);
    PaintRect(paper);
    SetForeColor(120, 120, 120);
    PenNormal();
    FrameRect(paper);
  }
  for (uint32 u = 0; u < tmpl.nunits && u < MAXNUNITS; ++u) Draw_Unit(tmpl.units[u], int16(u), details);
  if (details) Draw_Measures(tmpl, tmpl.units[0]);
  Pop_Mapping();
  PenNormal();
  if (details) Draw_Captions(tmpl, captions);
}

void PaperEcho_Draw(const Rect& bounds) {
  a_ctemplate c{};
  a_template tmpl{};
  if (Get_CTemplate(Get_Selected_TemplateX(), c) && Expand_Template(c, tmpl) == EXPAND_OK) {
    PaperEcho_Paint3(tmpl, bounds);
  } else {
    SetForeColor24(kEchoBack);
    PaintRect(bounds);
  }
}

void PaperEcho_Paint() { Custom_Paint(CUSTOM_PAPERECHO); }
