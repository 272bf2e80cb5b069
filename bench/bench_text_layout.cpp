// The text layout pass: a 200-character track list laid out on a circle of
// a CD face at 300 dpi, then on a spiral and as straight lines.
#include <benchmark/benchmark.h>

#include <string>

#include "doc/VoskDoc.h"
#include "objects/VoskBlok.h"
#include "objects/VoskText.h"
#include "platform/SysFont.h"
#include "platform/VoskDef.h"

namespace {

constexpr int16 kSide = 1417;  // 120 mm at 300 dpi

struct a_face {
  a_doc_unit* unit = nullptr;
  a_om_rec* om = nullptr;
  explicit a_face(a_text_layout layout) {
    VoskDef_Init();
    VoskBlok_Init();
    Fonts_Init();
    unit = New_Unit_Rec();
    unit->paintbounds = Rect{0, 0, kSide, kSide};
    g_doc.doc_template.nunits = 1;
    g_doc.doc_template.units[0].kind = UNIT_CD;
    g_doc.doc_template.units[0].bbox = a_frect{0, 0, 120, 120};
    g_doc.doc_units[0] = unit;
    g_doc.up = unit;
    g_doc.upx = 1;
    om = New_OM_Rec();
    om->fontx = Find_Font_Name(CStrSpan("DejaVu Sans"));
    if (om->fontx == 0) om->fontx = 1;
    om->size = 14;
    om->layout = layout;
    om->justify = JUST_CENTER;
    om->hspacing = om->vspacing = 100;
    om->radius = 95;
    om->outlf = om->glowf = true;
    om->outl_radius = 2;
    om->glow_radius = 8;
    om->anchor = Point{300, 200};
    om->rotcenter = Point{708, 708};
    std::u16string text;
    for (int32 i = 1; text.size() < 200; ++i) text += u"Track " + std::u16string(1, char16_t('0' + i % 10)) + u" - ";
    text.resize(200);
    UniStr_To_OM(om, reinterpret_cast<const UniChar*>(text.data()), 200);
  }
  ~a_face() {
    OM_Dispose(om);
    g_doc.up = nullptr;
    g_doc.doc_units[0] = nullptr;
    Dispose_Unit_Rec(unit);
  }
};

void Recalc(benchmark::State& state, a_text_layout layout) {
  a_face face(layout);
  for (auto _ : state) {
    face.om->cache.progress = 0;
    OM_Recalc(face.om, 1);
    benchmark::DoNotOptimize(face.om->xyl[199].mm_x);
  }
  state.SetItemsProcessed(state.iterations() * 200);
}

void BM_OM_Recalc_Circle200(benchmark::State& state) { Recalc(state, LAYOUT_CIRC_CW); }
void BM_OM_Recalc_Spiral200(benchmark::State& state) { Recalc(state, LAYOUT_SPIRAL_CW); }
void BM_OM_Recalc_Straight200(benchmark::State& state) { Recalc(state, LAYOUT_HORZ); }

}  // namespace

BENCHMARK(BM_OM_Recalc_Circle200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OM_Recalc_Spiral200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OM_Recalc_Straight200)->Unit(benchmark::kMicrosecond);
