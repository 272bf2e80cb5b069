// A text object edited on a CD face at 300 dpi, laid out in DejaVu Sans Mono
// (every character 60 pixels wide at 24 points): the unit, the object in its
// list, the editor's record pointing at it, the text phase editing
// characters, and keystrokes as the main window makes them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "FontTestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "host/HostClipboard.h"
#include "objects/VoskBlok.h"
#include "objects/VoskEdit.h"
#include "objects/VoskText.h"
#include "objects/VoskTextI.h"
#include "platform/SysFont.h"
#include "platform/SysLoop.h"
#include "platform/VoskDef.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace edittest {

constexpr int16 kSide = 1417;
constexpr int32 kAdvance = 60;

inline std::u16string U(const char* s) {
  std::u16string out;
  for (; *s; ++s) out.push_back(char16_t(uint8(*s)));
  return out;
}

inline a_keystroke Virt(uint8 virtcode, uint8 mods = 0) { return a_keystroke{virtcode, 0, 126, mods}; }
inline a_keystroke Char(UniChar c, uint8 mods = 0) {
  return a_keystroke{0, uint8(c < 128 ? c : 126), c, mods};
}
constexpr uint8 kShift = 1, kCtrl = 2;
inline a_keystroke Backspace(uint8 mods = 0) { return a_keystroke{8, 8, 126, mods}; }
inline a_keystroke Delete(uint8 mods = 0) { return a_keystroke{0x2E, 127, 126, mods}; }
constexpr uint8 kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28, kHome = 0x24, kEnd = 0x23, kPageUp = 0x21;

class Editing : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    Fonts_Stop();
    Fonts_Init();
    mono_ = Find_Font_Name(CStrSpan("DejaVu Sans Mono"));
    ASSERT_NE(mono_, 0u);
    VoskDef_Init();
    VoskBlok_Init();
    SV_Init();
    History_Null();
    Host_Clipboard_Reset();
    g_ed = a_edit_rec{};
    unit_ = New_Unit_Rec();
    ASSERT_NE(unit_, nullptr);
    unit_->paintbounds = Rect{0, 0, kSide, kSide};
    g_doc.doc_template.nunits = 1;
    g_doc.doc_template.units[0].kind = UNIT_CD;
    g_doc.doc_template.units[0].bbox = a_frect{0, 0, 120, 120};
    g_doc.doc_units[0] = unit_;
    g_doc.up = unit_;
    g_doc.upx = 1;
    g_doc.doc_open = true;
    gs.nviews = 1;
    gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{0, 0, kSide, kSide}};
    gs.curr_phase = TEXT_PHASE;
    gs.txedit_phase = TXEDIT_EDIT;
    gs.curr_kindset = Kind_Bit(TEXT_BLOCK);
    for (int16 s = TEXTR_SIZE_SLIDER; s <= TEXTR_DY_SLIDER; ++s) gs.slider_vals[s] = SLIDER_VALUES[s].defaultval;
  }
  void TearDown() override {
    g_ed = a_edit_rec{};
    if (unit_ != nullptr) {
      Dispose_Unit_Content(unit_);
      Dispose_Unit_Rec(unit_);
    }
    g_doc.up = nullptr;
    g_doc.upx = 0;
    g_doc.doc_units[0] = nullptr;
    g_doc.doc_open = false;
    Host_Clipboard_Reset();
  }

  // A new record styled for the tests (not yet in the list).
  a_om_rec* Record(const std::u16string& text, a_text_layout layout = LAYOUT_HORZ) {
    a_om_rec* om = New_OM_Rec();
    EXPECT_NE(om, nullptr);
    om->fontx = mono_;
    om->size = 24;
    om->layout = layout;
    om->hspacing = om->vspacing = 100;
    om->radius = 80;
    om->spoke_outerd = 95;
    om->spoke_thickness = 80;
    om->spoke_totangle = 360;
    om->opacity = 100;
    om->targwidth = 2000;
    om->anchor = Point{300, 100};
    om->rotcenter = Point{708, 708};
    UniStr_To_OM(om, text.data(), int32(text.size()));
    OM_Recalc(om, 1);
    return om;
  }

  // The text on the unit, selected, edited, the caret at position caret.
  int32 Edit(const std::u16string& text, int32 caret = 1, a_text_layout layout = LAYOUT_HORZ) {
    a_om_rec* om = Record(text, layout);
    const int32 omx = Obj_Append(unit_->oj, TEXT_BLOCK,
                                 uint8(OJ_Flag_Bit(VISIBLE_FLAG) | OJ_Flag_Bit(SELECTED_FLAG)), nullptr, om);
    g_ed = a_edit_rec{};
    g_ed.edit_ux = 1;
    g_ed.edit_objid = Obj_Item(omx)->objid;
    g_ed.edit_omx = omx;
    g_ed.edit_om = om;
    g_ed.sel_lo = g_ed.sel_hi = caret;
    g_ed.sel_omx = omx;
    return omx;
  }

  static a_om_rec* Om() { return Ed_Target(); }
  static std::u16string Text() {
    const a_om_rec* om = Ed_Target();
    std::u16string s;
    if (om == nullptr) return s;
    for (int32 i = 0; i < om->nxyl - 1; ++i) s.push_back(char16_t(om->xyl[i].cc_char));
    return s;
  }
  static std::pair<int32, int32> Sel() { return {g_ed.sel_lo, g_ed.sel_hi}; }
  static void Keys(std::initializer_list<a_keystroke> keys) {
    for (const a_keystroke& k : keys) Edit_KeyDown(k);
  }
  static void Type(const std::u16string& s) {
    for (char16_t c : s) Edit_KeyDown(Char(c));
  }

  uint32 mono_ = 0;
  a_doc_unit* unit_ = nullptr;
};

}  // namespace edittest
