// Symbol objects: placing a symbol of the library (its key by the symbols'
// order, its place and first size, its tint), a picture that cannot be
// loaded, the sliders that keep one size, the keys of the bars' families,
// the cells of the symbol browser and the browser's pages.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "PictLibWrite.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "host/HostAudio.h"
#include "host/HostClock.h"
#include "objects/VoskBlok.h"
#include "objects/VoskEdit.h"
#include "objects/VoskPhot.h"
#include "objects/VoskStam.h"
#include "objects/VoskSym.h"
#include "objects/VoskText.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "platform/QDRect.h"
#include "platform/SysIO.h"
#include "platform/SysSound.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskBrow.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

const std::vector<uint8> kRefusedSamples = {0x44, 0x55};
constexpr a_pixel32 Px(uint8 r, uint8 g, uint8 b) { return a_pixel32{{b, g, r, 255}}; }

// A symbol: 8-bit coverage, ink inside a margin of 4.
a_art_object Symbol_Obj(a_keyset key, int32 w, int32 h) {
  a_art_image8 img;
  img.width = w;
  img.height = h;
  img.index.assign(size_t(w) * size_t(h), 0);
  for (int32 y = 4; y < h - 4; ++y)
    for (int32 x = 4; x < w - 4; ++x) img.index[size_t(y) * size_t(w) + size_t(x)] = 255;
  a_art_object o;
  o.key = key;
  std::string err;
  EXPECT_TRUE(Pixt_Encode8(img, 0x40, false, o.data, err)) << err;
  return o;
}

class SymbolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    VoskBlok_Init();
    SV_Init();
    History_Null();
    g_ed = a_edit_rec{};
    Host_Clock_Set_Manual(true);
    Host_Audio_Reset_Sink();
    OP_Init();
    OPUtil_Init();
    Sound_Enable(true);
    for (int16 i = 0; i < NSLIDERS; ++i) gs.slider_vals[i] = SLIDER_VALUES[i].defaultval;
    gs.ncolor_table = 3;
    gs.color_table[0] = Px(0, 0, 0);
    gs.color_table[1] = Px(200, 30, 40);
    gs.color_table[2] = Px(10, 120, 250);
    dir_ = testdir::Make_Temp_Dir("velmor-symbol");
    ASSERT_FALSE(dir_.empty());

    unit_ = New_Unit_Rec();
    ASSERT_NE(unit_, nullptr);
    unit_->paintbounds = Rect{0, 0, 1200, 1200};
    g_doc.doc_units[0] = unit_;
    g_doc.up = unit_;
    g_doc.upx = 1;
    gs.nviews = 1;
    gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{0, 0, 1200, 1200}};
    gs.curr_phase = SYMBOL_PHASE;
    gs.curr_kindset = 11;
  }
  void TearDown() override {
    OMast_Dispose(unit_->oj);
    Dispose_Unit_Rec(unit_);
    g_doc.up = nullptr;
    g_doc.doc_units[0] = nullptr;
    Cache_Clear();
    Sound_Stop();
    OP_Stop();
    Host_Audio_Reset_Sink();
    Host_Clock_Set_Manual(false);
    testdir::Remove_Dir(dir_);
  }

  // A library of the refusal sound and these objects.
  void Open_Library(std::vector<a_art_object> objs) {
    a_art_object snd;
    snd.key = a_keyset{6, 0, SND_OBJ_REFUSED, 0};
    std::string err;
    ASSERT_TRUE(Sound_Encode8(8000, kRefusedSamples, snd.data, err)) << err;
    objs.push_back(snd);
    std::vector<uint8> bytes;
    ASSERT_TRUE(ArtLib_Build(objs, bytes, err)) << err;
    const std::string path = dir_ + "/lib.ART4";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    FSSpec spec;
    ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
    ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY);
  }
  // Three symbols in two groups (keys out of order on purpose: the library
  // keeps them in key order), and a stamp.
  void Open_Symbols() {
    Open_Library({Symbol_Obj(a_keyset{11, 2, 1, 0}, 30, 50), Symbol_Obj(a_keyset{11, 1, 1, 0}, 60, 40),
                  Symbol_Obj(a_keyset{11, 1, 2, 0}, 20, 20), Symbol_Obj(a_keyset{8, 1, 1, 0}, 48, 48)});
  }
  static int Refusals() {
    int n = 0;
    for (const HostAudioEvent& e : Host_Audio_Events())
      if (e.kind == HostAudioEventKind::PLAY && e.samples == kRefusedSamples) ++n;
    Host_Audio_Reset_Sink();
    return n;
  }
  a_oj_master& List() { return unit_->oj; }

  a_doc_unit* unit_ = nullptr;
  std::string dir_;
};

TEST_F(SymbolTest, KeysOfTheBarsFamiliesByTheirOrder) {
  a_keyset key;
  StampID_To_Key(SYMBOL_STAMPSET, 1, key);  // no library open: none
  EXPECT_TRUE(Is_Null_Key(key));
  Open_Symbols();
  EXPECT_EQ(Symbol_Count(), 3);
  EXPECT_EQ(StampSet_Count(STAMP_STAMPSET), 1);
  const a_keyset want[] = {{11, 1, 1, 0}, {11, 1, 2, 0}, {11, 2, 1, 0}};
  for (int16 n = 1; n <= 3; ++n) {
    StampID_To_Key(SYMBOL_STAMPSET, n, key);
    EXPECT_TRUE(Equal_Keys(key, want[n - 1])) << n;
  }
  for (int16 n : {int16(0), int16(4), int16(-1)}) {
    StampID_To_Key(SYMBOL_STAMPSET, n, key);
    EXPECT_TRUE(Is_Null_Key(key)) << n;
  }
  StampID_To_Key(STAMP_STAMPSET, 1, key);
  EXPECT_EQ(key.a, 8);
  EXPECT_THROW(StampID_To_Key(BORDER_STAMPSET, 1, key), QuitCalled);
}

TEST_F(SymbolTest, ANewSymbolIsPlacedAQuarterDownTintedAndSelected) {
  Open_Symbols();
  gs.bar_selection[SYMBOLS_COLORBAR] = 2;
  ASSERT_TRUE(Symbol_Add(1));
  const int32 omx = List().nlist;
  const a_oj_item& item = List().list[omx - 1];
  ASSERT_EQ(item.kind, SYMBOL_BLOCK);
  const a_spec& s = item.ph->spec;
  EXPECT_TRUE(item.ph->dst_center == (Point{300, 600}));
  EXPECT_EQ(s.scalingh, SYMBOL_NEW_SIZE);
  EXPECT_EQ(s.scalingv, SYMBOL_NEW_SIZE);
  EXPECT_TRUE(s.is_symbol);
  EXPECT_EQ(s.source.kind, SOURCE_DATABASE);
  EXPECT_TRUE(Equal_Keys(s.source.key, a_keyset{11, 1, 1, 0}));
  EXPECT_TRUE(s.subset == (Rect{0, 0, 40, 60}));
  EXPECT_EQ(s.symbol_color.raw, gs.color_table[2].raw);
  // 60 x 40 at 80 per cent, centred on its place.
  EXPECT_TRUE(item.ph->dst_box == (Rect{284, 576, 316, 624}));
  EXPECT_TRUE(Is_Obj_Selected(omx));
  EXPECT_EQ(History_Last_Op(), OP_SYMBOL_NEW);
  EXPECT_EQ(gs.slider_vals[SYMBOL_SIZE_SLIDER], SYMBOL_NEW_SIZE);
  EXPECT_EQ(gs.bar_selection[SYMBOLS_COLORBAR], 2);
}

TEST_F(SymbolTest, ASymbolWhosePictureCannotBeLoadedIsRefused) {
  a_art_object broken;
  broken.key = a_keyset{11, 1, 1, 0};
  broken.data = {1, 2, 3, 4, 5};
  Open_Library({broken});
  const int32 states = History_Count();
  EXPECT_FALSE(Symbol_Add(1));
  EXPECT_FALSE(Symbol_Add(7));  // no such symbol
  EXPECT_EQ(List().nlist, 1);
  EXPECT_EQ(History_Count(), states);
  EXPECT_EQ(Refusals(), 2);
}

TEST_F(SymbolTest, TheSlidersKeepOneSizeAndTheColourBarTints) {
  Open_Symbols();
  ASSERT_TRUE(Symbol_Add(2));
  a_ph_rec* ph = List().list[List().nlist - 1].ph;
  gs.slider_vals[SYMBOL_SIZE_SLIDER] = 1500;
  gs.slider_vals[SYMBOL_ANGLE_SLIDER] = -450;
  gs.slider_vals[SYMBOL_OPACITY_SLIDER] = 40;
  gs.bar_selection[SYMBOLS_COLORBAR] = 1;
  Delta_Symbol();
  EXPECT_EQ(ph->spec.scalingh, 1500);
  EXPECT_EQ(ph->spec.scalingv, 1500);
  EXPECT_EQ(ph->spec.angle, -450);
  EXPECT_EQ(ph->spec.opacity, 40);
  EXPECT_EQ(ph->spec.symbol_color.raw, gs.color_table[1].raw);
  // And back: the sliders and the bar from the symbol.
  gs.slider_vals[SYMBOL_SIZE_SLIDER] = 50;
  gs.bar_selection[SYMBOLS_COLORBAR] = 0;
  Symbol_To_Sliders(ph);
  EXPECT_EQ(gs.slider_vals[SYMBOL_SIZE_SLIDER], 1500);
  EXPECT_EQ(gs.bar_selection[SYMBOLS_COLORBAR], 1);
  // Entering the symbol phase keeps only symbols selected.
  a_om_rec* om = New_OM_Rec();
  om->bbox = Rect{0, 0, 10, 10};
  const int32 text = Obj_Append(List(), TEXT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), nullptr, om);
  Selection_Toggle(text);
  Symbol_Enter();
  EXPECT_FALSE(Is_Obj_Selected(text));
  EXPECT_TRUE(Is_Obj_Selected(List().nlist - 1));
}

TEST_F(SymbolTest, ACellShowsTheSymbolFittedInItsMiddle) {
  Open_Symbols();
  GWorldPtr w = nullptr;
  const Rect cell{0, 0, 90, 90};
  ASSERT_EQ(New_GWorld(cell, 32, nullptr, w), 0);
  Push_GWorld(w);
  Symbol_DrawElement(3, cell);  // 30 x 50: fitted to 86 high, about 52 wide
  Pop_GWorld();
  PixMapPtr pm = Get_GWorld_PixMap(w);
  const auto at = [&](int32 x, int32 y) {
    return *reinterpret_cast<const a_pixel32*>(reinterpret_cast<uint8*>(pm->baseAddr) + size_t(y) * PixMap_RowBytes(*pm) +
                                               size_t(x) * 4);
  };
  EXPECT_LT(at(45, 45).r, 60);   // ink in the middle
  EXPECT_GT(at(5, 45).r, 200);   // white beside it
  EXPECT_GT(at(45, 1).r, 200);   // and in the inset
  Dispose_GWorld(w);
}

TEST_F(SymbolTest, TheBrowserShowsThePageOfTheChosenSymbol) {
  // 536 symbols in 90 x 90 cells spaced 14 on a 1280 x 1024 screen.
  a_browser_rec b;
  Browser_Layout(SYMBOL_BAR, 1280, 1024, 1, 536, 300, b);
  EXPECT_EQ(b.celln.h, (1267 - 20) / 104);
  EXPECT_EQ(b.celln.v, (921 - 20 - 78) / 104);
  EXPECT_EQ(b.celltotn, b.celln.h * b.celln.v);
  EXPECT_EQ(b.display_id, 300 - (300 - 1) % b.celltotn);
  const Rect first = Browser_ID_To_Cell(b, b.display_id);
  EXPECT_EQ(first.right - first.left, 90);
  EXPECT_TRUE(EmptyRect(Browser_ID_To_Cell(b, int16(b.display_id - 1))));
  const Rect next = Browser_ID_To_Cell(b, int16(b.display_id + 1));
  EXPECT_EQ(next.left - first.left, 104);
  // Few symbols take fewer rows.
  Browser_Layout(SYMBOL_BAR, 1280, 1024, 1, 5, 1, b);
  EXPECT_EQ(b.celln.v, 1);
  EXPECT_EQ(b.display_id, 1);
}

}  // namespace
