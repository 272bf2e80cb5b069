// A 200-character circular track list in DejaVu Sans with an outline and a
// glow on a 120 mm disc face, laid out (OM_Recalc) and rendered (OM_Render)
// each time:
// - at 300 dpi, as on the screen at zoom 1: under 50 ms;
// - at 600 dpi, for print: under 250 ms.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "objects/VoskTextDraw.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/OPUtil.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"

namespace {

constexpr float kDiscMM = 120.0f;

// A document of one disc face, once.
a_doc_unit* Disc() {
  static a_doc_unit* unit = nullptr;
  if (unit != nullptr) return unit;
  VoskDef_Init();
  Resources_Init();
  SysVideo_Init();
  SysWin_Init();
  Quickdraw_Init();
  VoskDoc_Init();
  VoskFunc_Init();
  VoskUndo_Init();
  VoskPrin_Init();
  History_Null();
  VoskBlok_Init();
  OPUtil_Init();
  Fonts_Init();
  for (int16 i = 0; i < NSLIDERS; ++i) gs.slider_vals[i] = SLIDER_VALUES[i].defaultval;
  gs.controller = GHOST;
  a_template x{};
  std::strcpy(x.label, "Text benchmark");
  x.papersize = {215.9f, 279.4f};
  a_unit u{};
  u.kind = UNIT_CD;
  u.bbox = a_frect{5, 5, 5 + kDiscMM, 5 + kDiscMM};
  u.meas[0] = 15;
  x.units[x.nunits++] = u;
  if (!Doc_New(x)) return nullptr;
  Select_Doc_Unit(1);
  unit = Doc_Unit(1);
  return unit;
}

void BM_CircularTrackList(benchmark::State& state) {
  a_doc_unit* unit = Disc();
  if (unit == nullptr) {
    state.SkipWithError("no document");
    return;
  }
  static a_om_rec om;
  std::memset(static_cast<void*>(&om), 0, sizeof om);
  om.layout = LAYOUT_CIRC_CW;
  om.size = 12;
  uint32 font = Find_Font_Name(CStrSpan("DejaVu Sans"));
  om.fontx = font != 0 ? font : 1;
  om.hspacing = om.vspacing = 100;
  om.radius = 85;
  om.polarangle = 90;
  om.justify = JUST_CENTER;
  om.rotcenter = Point{int16(unit->paintbounds.bottom / 2), int16(unit->paintbounds.right / 2)};
  om.opacity = 100;
  om.base_color = a_win_pixel32{{255, 255, 255, 255}};
  om.outl_color = a_win_pixel32{{40, 20, 10, 255}};
  om.glow_color = a_win_pixel32{{0, 200, 255, 255}};
  om.outlf = om.glowf = true;
  om.outl_radius = 2;
  om.glow_radius = 8;
  om.glow_opacity = 90;
  std::u16string list;
  for (int track = 1; list.size() < 200; ++track)
    list += u"0" + std::u16string(1, char16_t(u'0' + track % 10)) + u" Track Title Here \u00B7 ";
  list.resize(200);
  UniStr_To_OM(&om, reinterpret_cast<const UniChar*>(list.data()), int32(list.size()));
  // Cells to the rendering's pixels at the dpi asked.
  const float scale = float(state.range(0)) * kDiscMM / 25.4f / float(unit->paintbounds.right);
  const a_coord_mapping mapping{0, 0, scale, scale, 0, 0, Rect{0, 0, 0, 0}};
  for (auto _ : state) {
    om.cache.progress = 0;
    OM_Recalc(&om, 1);
    a_masked_gworld text, shad;
    OM_Render_In(mapping, &om, 1, text, shad);
    benchmark::DoNotOptimize(text.fore);
    Dispose_MW(text);
    Dispose_MW(shad);
  }
  Flush_Path_Cache(om.cache.path);
}
BENCHMARK(BM_CircularTrackList)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);

}  // namespace
