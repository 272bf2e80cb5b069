// A character typed into a 2,000-character text (forty lines of fifty in
// DejaVu Sans at 12 points on a 120 mm disc face, edited in place): the
// keystroke's insertion, the text laid out again and the unit's changed
// area rendered again: under 10 ms. The character is taken away again
// outside the timing, so every keystroke meets the same text.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "../tests/DocTestSupport.h"
#include "doc/VoskRend.h"
#include "objects/VoskEdit.h"
#include "objects/VoskText.h"
#include "platform/SysFont.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

constexpr float kDiscMM = 120.0f;
constexpr int32 kChars = 2000;
constexpr int32 kLine = 50;

// A document of one disc face holding the edited text, once.
bool Edited_Text() {
  static int state = 0;
  if (state != 0) return state > 0;
  state = -1;
  doctests::Start_Document_Modules();
  SV_Init();
  Fonts_Init();
  Caret_Init();
  for (int16 i = 0; i < NSLIDERS; ++i) gs.slider_vals[i] = SLIDER_VALUES[i].defaultval;
  gs.controller = GHOST;
  a_template x{};
  std::strcpy(x.label, "Edit benchmark");
  x.papersize = {215.9f, 279.4f};
  a_unit u{};
  u.kind = UNIT_CD;
  u.bbox = a_frect{5, 5, 5 + kDiscMM, 5 + kDiscMM};
  u.meas[0] = 15;
  x.units[x.nunits++] = u;
  if (!Doc_New(x)) return false;
  Select_Doc_Unit(1);
  a_doc_unit* unit = Doc_Unit(1);
  if (unit == nullptr) return false;

  a_om_rec* om = New_OM_Rec();
  if (om == nullptr) return false;
  const uint32 font = Find_Font_Name(CStrSpan("DejaVu Sans"));
  om->fontx = font != 0 ? font : 1;
  om->size = 12;
  om->layout = LAYOUT_HORZ;
  om->hspacing = om->vspacing = 100;
  om->opacity = 100;
  om->targwidth = NEW_TEXT_TARGWIDTH;
  om->anchor = Point{200, 150};
  om->rotcenter = Point{708, 708};
  om->base_color.a = 255;
  std::u16string text;
  for (int32 i = 0; i < kChars; ++i) text.push_back(i % kLine == kLine - 1 ? u'\r' : char16_t(u'a' + i % 26));
  UniStr_To_OM(om, text.data(), int32(text.size()));
  OM_Recalc(om, 1);
  const int32 omx = Obj_Append(unit->oj, TEXT_BLOCK, uint8(OJ_Flag_Bit(VISIBLE_FLAG) | OJ_Flag_Bit(SELECTED_FLAG)),
                               nullptr, om);
  gs.curr_phase = TEXT_PHASE;
  gs.txedit_phase = TXEDIT_EDIT;
  g_ed = a_edit_rec{};
  g_ed.edit_ux = 1;
  g_ed.edit_objid = Obj_Item(omx)->objid;
  g_ed.edit_omx = omx;
  g_ed.edit_om = om;
  g_ed.sel_lo = g_ed.sel_hi = kChars / 2;
  Current_Unit_UpToDate();
  state = 1;
  return true;
}

void BM_TypeIntoA2000CharacterText(benchmark::State& state) {
  if (!Edited_Text()) {
    state.SkipWithError("no document");
    return;
  }
  const a_keystroke typed{0, 'x', u'x', 0};
  const a_keystroke back{8, 8, 126, 0};
  for (auto _ : state) {
    Edit_KeyDown(typed);
    Current_Unit_UpToDate();
    state.PauseTiming();
    Edit_KeyDown(back);
    Current_Unit_UpToDate();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TypeIntoA2000CharacterText)->Unit(benchmark::kMillisecond);

}  // namespace
