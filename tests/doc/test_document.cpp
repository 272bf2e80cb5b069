// The open document: units grouped into masters and clones by kind and
// canvas size, cloning and uncloning, copies of a unit's design (onto itself,
// onto a canvas of another size), a document laid out again on another
// layout, refused layouts, the current unit, the canvas size of a unit, the
// catalogue and the recent layouts, and reading.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "TestSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskTmpl.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskBrow.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

constexpr float kMMPerPixel = 0.0846667f;

a_unit Unit(uint8 kind, float left, float top, float w, float h) {
  a_unit u{};
  u.kind = kind;
  u.bbox = a_frect{left, top, left + w, top + h};
  return u;
}

// A layout of units side by side; w and h in pixels of the canvas.
struct Face {
  uint8 kind;
  int w, h;
};
a_template Layout(std::initializer_list<Face> faces) {
  a_template x{};
  std::strcpy(x.label, "Test sheet");
  x.papersize = {215.9f, 279.4f};
  float left = 5;
  for (const Face& f : faces) {
    // Sizes in millimetres that round to exactly f.w x f.h pixels.
    x.units[x.nunits++] = Unit(f.kind, left, 5, float(f.w) * kMMPerPixel, float(f.h) * kMMPerPixel);
    left += 1;
  }
  return x;
}

uint32* Px(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint32*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
}
uint8* Mx(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint8*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
}

// Paints one pixel of unit ux's paint layer (and its mask).
void Paint(uint32 ux, int x, int y, uint32 colour, uint8 opacity = 255) {
  a_doc_unit* u = Doc_Unit(ux);
  ASSERT_NE(u, nullptr);
  Sync_Existence(true, u, PAINT1_LAYER);
  u->paintinuse = true;
  *Px(u->statics[PAINT1_LAYER].world, x, y) = colour;
  *Mx(u->statics[PAINT1_LAYER].mask, x, y) = opacity;
}

// A recent-layout slot, by value (the preferences record is packed).
a_layout_usage_rec Slot(int i) {
  a_layout_usage_rec rec;
  std::memcpy(&rec, &gs.pref.recentlay[i], sizeof rec);
  return rec;
}

uint32 White() {
  // What a world erased to white holds.
  GWorldPtr w = nullptr;
  New_GWorldF("white", Rect{0, 0, 1, 1}, 32, nullptr, w);
  Push_GWorld(w);
  BackColor(0);
  EraseRect(Rect{0, 0, 1, 1});
  Pop_GWorld();
  const uint32 v = *Px(w, 0, 0) & 0x00FFFFFFu;
  Dispose_GWorld(w);
  return v;
}

class Documents : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    Resources_Init();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    VoskDoc_Init();
    VoskFunc_Init();
    VoskUndo_Init();
    History_Null();
    VoskBlok_Init();
    gs.controller = GHOST;  // refusals stay silent
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
  }
  void TearDown() override {
    Undo_Dispose();
    if (g_doc.doc_open) Doc_Dispose();
    Dispose_Doc_Buffers();
    EXPECT_EQ(Live_Unit_Recs(), 0u);
  }
  void Open(const a_template& x) { ASSERT_TRUE(Doc_New(x)); }
};

// Runs of one kind share a design only while they follow each other and
// have one canvas size: A, A, B, A gives masters 1, 3 and 4; two units of a
// kind but of different sizes are both masters.
TEST_F(Documents, RunsOfOneKindAndSizeShareADesign) {
  Open(Layout({{UNIT_RECT, 300, 200}, {UNIT_RECT, 300, 200}, {UNIT_OVAL, 300, 200}, {UNIT_RECT, 300, 200},
               {UNIT_RECT, 300, 200}, {UNIT_RECT, 300, 200}, {UNIT_RECT, 310, 200}, {UNIT_RECT, 310, 200}}));
  struct Want {
    bool clone;
    uint32 groupx, master;
  };
  const Want want[] = {{false, 1, 1}, {true, 2, 1}, {false, 1, 3}, {false, 1, 4},
                       {true, 2, 4},  {true, 3, 4}, {false, 1, 7}, {true, 2, 7}};
  for (uint32 ux = 1; ux <= 8; ++ux) {
    const a_doc_unit* u = Doc_Unit(ux);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->clonef, want[ux - 1].clone) << ux;
    EXPECT_EQ(u->groupx, want[ux - 1].groupx) << ux;
    EXPECT_EQ(Find_Clone_Master(ux), want[ux - 1].master) << ux;
    EXPECT_TRUE(u->printf) << ux;
  }
  EXPECT_EQ(Doc_Unit(9), nullptr);
  EXPECT_EQ(g_doc.doc_units[8], nullptr);
}

// A new document: open, never saved, unchanged, one copy, named "Untitled",
// unit 1 current, the print preview shown, the history at its base, each
// master with a white canvas, its caches stale and its paint layer as its
// only object, the points at the canvas centre.
TEST_F(Documents, NewDocumentOnALayout) {
  Open(Layout({{UNIT_RECT, 400, 300}, {UNIT_RECT, 400, 300}}));
  EXPECT_TRUE(g_doc.doc_open);
  EXPECT_TRUE(g_doc.doc_new);
  EXPECT_FALSE(g_doc.doc_changed);
  EXPECT_EQ(g_doc.doc_ncopies, 1);
  EXPECT_STREQ(g_doc.doc_path.name, "Untitled");
  EXPECT_STREQ(g_doc.doc_template.label, "Test sheet");
  EXPECT_EQ(g_doc.upx, 1u);
  EXPECT_EQ(g_doc.up, g_doc.doc_units[0]);
  EXPECT_EQ(gs.curr_phase, PREVIEW_PHASE);
  EXPECT_EQ(History_Count(), 1);
  EXPECT_EQ(History_Last_Op(), OP_START);
  const a_doc_unit* m = Doc_Unit(1);
  EXPECT_EQ(m->paintbounds, (Rect{0, 0, 300, 400}));
  EXPECT_EQ(m->symmetry_center, (Point{150, 200}));
  EXPECT_EQ(m->edit_focus, m->symmetry_center);
  EXPECT_EQ(m->ruler_origin, m->symmetry_center);
  EXPECT_EQ(gs.view_focus, m->edit_focus);
  EXPECT_TRUE(Is_CanvKey_White(m->canv.cv.canvas_key));
  EXPECT_EQ(m->canv.cv.canvas_darkness, 50);
  EXPECT_NE(m->statics[TOTAL_LAYER].curr_seq, m->statics[TOTAL_LAYER].targ_seq);
  EXPECT_NE(m->statics[MINUS_LAYER].curr_seq, m->statics[MINUS_LAYER].targ_seq);
  ASSERT_EQ(m->oj.nlist, 1);
  EXPECT_EQ(m->oj.list[0].kind, PAINT_BLOCK);
  EXPECT_EQ(m->oj.list[0].flags, OJ_Flag_Bit(VISIBLE_FLAG));
  EXPECT_GE(m->oj.list[0].objid, FIRST_OBJECT_ID);
  EXPECT_EQ(m->statics[PAINT1_LAYER].world, nullptr);
  EXPECT_TRUE(Doc_Unit(2)->clonef);
  EXPECT_EQ(g_doc.doc_mediax, 0);
}

// The medium comes from the preferences for the layout's print kind, within
// the three media there are.
TEST_F(Documents, MediumOfANewDocument) {
  gs.pref.print_media[NOT_DIRECT].listx = 2;
  Open(Layout({{UNIT_RECT, 40, 30}}));
  EXPECT_EQ(g_doc.doc_mediax, 2);
  gs.pref.print_media[NOT_DIRECT].listx = 7;  // a damaged preferences file
  Open(Layout({{UNIT_RECT, 40, 30}}));
  EXPECT_EQ(g_doc.doc_mediax, 0);
}

// A new document replaces the open one, whose units are freed.
TEST_F(Documents, NewDocumentReplacesTheOpenOne) {
  Open(Layout({{UNIT_RECT, 40, 30}, {UNIT_OVAL, 40, 30}, {UNIT_CIRCLE, 40, 40}}));
  Paint(1, 1, 1, 0x123456);
  EXPECT_EQ(Live_Unit_Recs(), 3u);
  Open(Layout({{UNIT_RECT, 50, 50}}));
  EXPECT_EQ(Live_Unit_Recs(), 1u);
  EXPECT_EQ(g_doc.doc_template.nunits, 1u);
  EXPECT_EQ(g_doc.doc_units[1], nullptr);
  EXPECT_EQ(Doc_Unit(1)->statics[PAINT1_LAYER].world, nullptr);
}

// Layouts that cannot carry a document are refused before anything of the
// open document is touched, by Doc_New and by Do_Remap alike.
TEST_F(Documents, RefusedLayoutLeavesTheOpenDocumentUntouched) {
  const a_template good = Layout({{UNIT_RECT, 60, 40}, {UNIT_RECT, 60, 40}});
  Open(good);
  Paint(1, 2, 3, 0xABCDEF);
  a_doc_unit* const unit1 = Doc_Unit(1);
  GWorldPtr const world = unit1->statics[PAINT1_LAYER].world;

  struct Case {
    const char* what;
    void (*spoil)(a_template&);
    a_expand_result why;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  static float s_nan;
  s_nan = nan;
  const Case cases[] = {
      {"no units", [](a_template& x) { x.nunits = 0; }, EXPAND_BAD_COUNT},
      {"251 units", [](a_template& x) { x.nunits = MAXNUNITS + 1; }, EXPAND_BAD_COUNT},
      {"unknown kind", [](a_template& x) { x.units[1].kind = LAST_UNIT_KIND + 1; }, EXPAND_BAD_KIND},
      {"no width", [](a_template& x) { x.units[0].bbox.right = x.units[0].bbox.left; }, EXPAND_BAD_SIZE},
      {"NaN", [](a_template& x) { x.units[1].bbox.top = s_nan; }, EXPAND_BAD_SIZE},
      {"negative bleed", [](a_template& x) { x.units[0].bleed.left = -1; }, EXPAND_NEGATIVE_BLEED},
      {"too large", [](a_template& x) { x.units[0].bbox.right = 1001; }, EXPAND_TOO_LARGE},
      {"no paper", [](a_template& x) { x.papersize.x = 0; }, EXPAND_BAD_SIZE},
      {"disc printer, no disc", [](a_template& x) { x.tflags |= 1u << IS_CDPRINTER; }, EXPAND_NOT_DISC},
  };
  a_template_mapping map{};
  for (const Case& c : cases) {
    a_template bad = Layout({{UNIT_OVAL, 80, 80}, {UNIT_OVAL, 80, 80}});
    c.spoil(bad);
    EXPECT_EQ(Check_Template(bad), c.why) << c.what;
    EXPECT_FALSE(Doc_New(bad)) << c.what;
    EXPECT_FALSE(Do_Remap(bad, map)) << c.what;
    EXPECT_TRUE(g_doc.doc_open) << c.what;
    EXPECT_EQ(g_doc.doc_template.nunits, 2u) << c.what;
    EXPECT_EQ(g_doc.doc_template.units[0].kind, UNIT_RECT) << c.what;
    EXPECT_EQ(Doc_Unit(1), unit1) << c.what;
    EXPECT_EQ(unit1->statics[PAINT1_LAYER].world, world) << c.what;
    EXPECT_EQ(*Px(world, 2, 3), 0xABCDEFu) << c.what;
  }
  EXPECT_EQ(Check_Template(good), EXPAND_OK);
  // The reason has an alert of its own.
  Str255 text;
  Get_Translated_String(text, STRLIST_ALERT, 77);
  EXPECT_NE(std::string(text).find("layout"), std::string::npos);
}

// Uncloning gives the clone a deep copy of its master's design: the same
// paint, points and canvas, in worlds of its own, so later edits of the
// master no longer show on it.
TEST_F(Documents, UncloneGivesAnIndependentCopy) {
  Open(Layout({{UNIT_RECT, 64, 48}, {UNIT_RECT, 64, 48}, {UNIT_RECT, 64, 48}}));
  Paint(1, 10, 20, 0x00FF0000, 200);
  Doc_Unit(1)->symmetry_center = Point{5, 6};
  Doc_Unit(1)->canv.cv.canvas_darkness = 70;
  ASSERT_TRUE(Unclone(2));
  const a_doc_unit* m = Doc_Unit(1);
  const a_doc_unit* c = Doc_Unit(2);
  EXPECT_FALSE(c->clonef);
  EXPECT_TRUE(c->paintinuse);
  EXPECT_EQ(c->symmetry_center, (Point{5, 6}));
  EXPECT_EQ(c->canv.cv.canvas_darkness, 70);
  ASSERT_NE(c->statics[PAINT1_LAYER].world, nullptr);
  EXPECT_NE(c->statics[PAINT1_LAYER].world, m->statics[PAINT1_LAYER].world);
  EXPECT_NE(c->statics[PAINT1_LAYER].mask, m->statics[PAINT1_LAYER].mask);
  EXPECT_EQ(c->statics[PAINT1_LAYER].bounds, c->paintbounds);
  EXPECT_EQ(*Px(c->statics[PAINT1_LAYER].world, 10, 20), 0x00FF0000u);
  EXPECT_EQ(*Mx(c->statics[PAINT1_LAYER].mask, 10, 20), 200);
  ASSERT_EQ(c->oj.nlist, 1);
  EXPECT_EQ(c->oj.list[0].kind, PAINT_BLOCK);
  EXPECT_NE(c->statics[TOTAL_LAYER].curr_seq, c->statics[TOTAL_LAYER].targ_seq);

  Paint(1, 10, 20, 0x000000FF, 255);
  EXPECT_EQ(*Px(c->statics[PAINT1_LAYER].world, 10, 20), 0x00FF0000u);
  EXPECT_EQ(History_Last_Op(), OP_UNCLONE);
  EXPECT_TRUE(g_doc.doc_changed);
  // Unit 3 now follows unit 2, its nearest master.
  EXPECT_EQ(Find_Clone_Master(3), 2u);
  EXPECT_FALSE(Unclone(2));  // no clone any more
  EXPECT_FALSE(Unclone(1));
}

// Cloning: never unit 1, nor a clone, nor a unit of another canvas size than
// the master before it; a clone's content is freed.
TEST_F(Documents, CloneRefusesWhatCannotShareADesign) {
  Open(Layout({{UNIT_RECT, 64, 48}, {UNIT_OVAL, 64, 48}, {UNIT_OVAL, 50, 48}, {UNIT_RECT, 50, 48}}));
  EXPECT_FALSE(Clone(0));
  EXPECT_FALSE(Clone(1));
  EXPECT_FALSE(Clone(5));
  EXPECT_FALSE(Clone(3));  // 50 wide after a 64-wide master
  Paint(2, 3, 3, 0x111111);
  ASSERT_TRUE(Clone(2));   // same size as unit 1, another kind: allowed
  const a_doc_unit* u = Doc_Unit(2);
  EXPECT_TRUE(u->clonef);
  EXPECT_EQ(u->statics[PAINT1_LAYER].world, nullptr);
  EXPECT_EQ(u->oj.nlist, 0);
  EXPECT_EQ(Find_Clone_Master(2), 1u);
  EXPECT_EQ(History_Last_Op(), OP_CLONE);
  EXPECT_FALSE(Clone(2));  // a clone already
  EXPECT_TRUE(Clone(4));   // unit 3 is its master, of its size
  EXPECT_EQ(Find_Clone_Master(4), 3u);
}

// A unit copied onto itself keeps its content.
TEST_F(Documents, CopyOntoItselfKeepsTheContent) {
  Open(Layout({{UNIT_RECT, 32, 32}}));
  Paint(1, 4, 5, 0x00ABCDEF);
  Copy_Unit_Content(1, 1);
  const a_doc_unit* u = Doc_Unit(1);
  ASSERT_NE(u->statics[PAINT1_LAYER].world, nullptr);
  EXPECT_EQ(*Px(u->statics[PAINT1_LAYER].world, 4, 5), 0x00ABCDEFu);
  EXPECT_TRUE(u->paintinuse);
  EXPECT_EQ(u->oj.nlist, 1);
  Copy_Unit_Content(1, 7);  // no such unit
  Copy_Unit_Content(0, 1);
  EXPECT_EQ(*Px(u->statics[PAINT1_LAYER].world, 4, 5), 0x00ABCDEFu);
}

// Paint copied onto a canvas of another size keeps its cells: cut off where
// the new canvas ends, padded with unpainted white where it is larger, the
// layer always over the new canvas.
TEST_F(Documents, CopiedPaintKeepsItsCells) {
  Open(Layout({{UNIT_RECT, 40, 20}, {UNIT_OVAL, 20, 40}}));
  Paint(1, 5, 5, 0x00010203, 77);
  Paint(1, 30, 10, 0x00040506, 88);  // outside the 20-wide canvas
  Copy_Unit_Content(1, 2);
  const a_doc_unit* u = Doc_Unit(2);
  const a_cached_gworld& l = u->statics[PAINT1_LAYER];
  ASSERT_NE(l.world, nullptr);
  ASSERT_NE(l.mask, nullptr);
  EXPECT_EQ(l.bounds, (Rect{0, 0, 40, 20}));
  EXPECT_EQ(l.world->pix.bounds, u->paintbounds);
  EXPECT_EQ(l.mask->pix.bounds, u->paintbounds);
  EXPECT_EQ(*Px(l.world, 5, 5), 0x00010203u);
  EXPECT_EQ(*Mx(l.mask, 5, 5), 77);
  // Below the source's 20 rows: padding.
  EXPECT_EQ(*Px(l.world, 10, 30) & 0x00FFFFFFu, White());
  EXPECT_EQ(*Mx(l.mask, 10, 30), 0);
}

// A document whose unit 1 is a clone (a damaged file) never looks before
// unit 1 for a master, and reading makes it a master again; so does a clone
// whose master has another canvas size.
TEST_F(Documents, CloneChainsEndAtUnitOne) {
  Open(Layout({{UNIT_RECT, 30, 30}, {UNIT_RECT, 30, 30}, {UNIT_OVAL, 20, 20}, {UNIT_OVAL, 20, 20}}));
  Doc_Unit(1)->clonef = true;
  Dispose_Unit_Content(Doc_Unit(1));
  EXPECT_EQ(Find_Clone_Master(1), 0u);
  EXPECT_EQ(Find_Clone_Master(2), 0u);
  Doc_Unit(3)->clonef = true;  // after a 30-wide master: cannot show its design
  Fix_Clone_Flags();
  EXPECT_FALSE(Doc_Unit(1)->clonef);
  ASSERT_EQ(Doc_Unit(1)->oj.nlist, 1);
  EXPECT_EQ(Doc_Unit(1)->oj.list[0].kind, PAINT_BLOCK);
  EXPECT_EQ(Find_Clone_Master(2), 1u);
  EXPECT_FALSE(Doc_Unit(3)->clonef);
  EXPECT_EQ(Find_Clone_Master(4), 3u);
  EXPECT_EQ(Find_Clone_Master(0), 0u);
  EXPECT_EQ(Find_Clone_Master(5), 0u);
}

// The current unit: out-of-range numbers change nothing; selecting a master
// takes its view focus and canvas sliders.
TEST_F(Documents, SelectingTheCurrentUnit) {
  Open(Layout({{UNIT_RECT, 30, 30}, {UNIT_OVAL, 30, 30}}));
  for (uint32 bad : {0u, 3u, 250u, 251u, 0xFFFFFFFFu}) {
    Select_Doc_Unit(bad);
    EXPECT_EQ(g_doc.upx, 1u) << bad;
    EXPECT_EQ(g_doc.up, Doc_Unit(1)) << bad;
  }
  Doc_Unit(2)->edit_focus = Point{7, 9};
  Doc_Unit(2)->canv.cv.canvas_color_dist = 33;
  Select_Doc_Unit(2);
  EXPECT_EQ(g_doc.upx, 2u);
  EXPECT_EQ(g_doc.up, Doc_Unit(2));
  EXPECT_EQ(gs.view_focus, (Point{7, 9}));
  EXPECT_EQ(gs.slider_vals[COLOR_DIST_SLIDER], 33);
  gs.view_focus = Point{1, 1};
  Select_Doc_Unit(2);  // already current: nothing
  EXPECT_EQ(gs.view_focus, (Point{1, 1}));
}

// Switching layouts: each new unit mapped UMP_COPY becomes a master with a
// copy of the old unit's design (a clone's: its master's); other units are as
// the new layout makes them; links outside the old layout leave a fresh
// unit; every old unit is freed; path and copies stay and the document
// counts as changed.
TEST_F(Documents, RemapCopiesDesignsAndFreesTheOldUnits) {
  Open(Layout({{UNIT_RECT, 40, 40}, {UNIT_RECT, 40, 40}, {UNIT_OVAL, 30, 30}}));
  Paint(1, 1, 1, 0x00000111);
  Paint(3, 2, 2, 0x00000333);
  g_doc.doc_ncopies = 4;
  std::strcpy(g_doc.doc_path.name, "/tmp/labels/mine.cd4");
  Select_Doc_Unit(3);
  ASSERT_EQ(Live_Unit_Recs(), 3u);

  const a_template next =
      Layout({{UNIT_CIRCLE, 50, 50}, {UNIT_CIRCLE, 50, 50}, {UNIT_RECT, 45, 45}, {UNIT_RECT, 45, 45}});
  a_template_mapping map{};
  map.map[0] = a_unit_mapping{UMP_COPY, {3}};
  map.map[1] = a_unit_mapping{UMP_COPY, {2}};   // a clone of unit 1
  map.map[2] = a_unit_mapping{UMP_COPY, {1000}};  // no such old unit
  map.map[3] = a_unit_mapping{UMP_CLONE, {1}};
  const uint32 flushes = History_Flush_Count();
  ASSERT_TRUE(Do_Remap(next, map));

  EXPECT_EQ(Live_Unit_Recs(), 4u);
  EXPECT_EQ(g_doc.doc_template.nunits, 4u);
  EXPECT_EQ(g_doc.doc_template.units[0].kind, UNIT_CIRCLE);
  const a_doc_unit* u1 = Doc_Unit(1);
  const a_doc_unit* u2 = Doc_Unit(2);
  const a_doc_unit* u3 = Doc_Unit(3);
  const a_doc_unit* u4 = Doc_Unit(4);
  ASSERT_NE(u1->statics[PAINT1_LAYER].world, nullptr);
  EXPECT_EQ(*Px(u1->statics[PAINT1_LAYER].world, 2, 2), 0x00000333u);
  EXPECT_EQ(u1->statics[PAINT1_LAYER].bounds, (Rect{0, 0, 50, 50}));
  EXPECT_FALSE(u2->clonef);  // a master, though the layout made it a clone
  ASSERT_NE(u2->statics[PAINT1_LAYER].world, nullptr);
  EXPECT_EQ(*Px(u2->statics[PAINT1_LAYER].world, 1, 1), 0x00000111u);
  EXPECT_FALSE(u3->clonef);
  EXPECT_EQ(u3->statics[PAINT1_LAYER].world, nullptr);
  EXPECT_TRUE(u4->clonef);
  EXPECT_EQ(Find_Clone_Master(4), 3u);
  EXPECT_EQ(g_doc.upx, 1u);
  EXPECT_EQ(gs.curr_phase, PREVIEW_PHASE);
  EXPECT_STREQ(g_doc.doc_path.name, "/tmp/labels/mine.cd4");
  EXPECT_EQ(g_doc.doc_ncopies, 4);
  EXPECT_TRUE(g_doc.doc_changed);
  EXPECT_EQ(History_Flush_Count(), flushes + 1);
  EXPECT_EQ(History_Count(), 1);
  EXPECT_EQ(History_Last_Op(), OP_START);

  // Every mapping empty: fresh units only.
  const a_template_mapping empty{};
  ASSERT_TRUE(Do_Remap(Layout({{UNIT_OVAL, 20, 20}}), empty));
  EXPECT_EQ(Live_Unit_Recs(), 1u);
  EXPECT_EQ(Doc_Unit(1)->statics[PAINT1_LAYER].world, nullptr);
  EXPECT_FALSE(Doc_Unit(1)->paintinuse);
}

// Remapping needs an open document.
TEST_F(Documents, RemapWithoutADocumentDoesNothing) {
  const a_template_mapping map{};
  EXPECT_FALSE(Do_Remap(Layout({{UNIT_OVAL, 20, 20}}), map));
  EXPECT_FALSE(g_doc.doc_open);
  EXPECT_EQ(Live_Unit_Recs(), 0u);
}

// A copy of a paint layer held for a stroke goes with its unit.
TEST_F(Documents, LayerCopyGoesWithItsUnit) {
  Open(Layout({{UNIT_RECT, 20, 20}, {UNIT_RECT, 20, 20}}));
  Paint(1, 1, 1, 0x00FFFFFF);
  ASSERT_TRUE(Undo_SaveLayer(PAINT1_LAYER));
  EXPECT_EQ(Undo_Unit(), Doc_Unit(1));
  const a_template_mapping map{};
  ASSERT_TRUE(Do_Remap(Layout({{UNIT_RECT, 20, 20}}), map));
  EXPECT_EQ(Undo_Unit(), nullptr);
  EXPECT_FALSE(g_undo_layer.inuse);
  EXPECT_EQ(g_undo_layer.world, nullptr);
}

// Closing: units freed, no current unit, the start screen, the panels shown.
TEST_F(Documents, DisposeClosesTheDocument) {
  Open(Layout({{UNIT_RECT, 20, 20}, {UNIT_RECT, 20, 20}}));
  Paint(1, 1, 1, 0x00FFFFFF);
  gs.tool_show = false;
  Doc_Dispose();
  EXPECT_FALSE(g_doc.doc_open);
  EXPECT_EQ(g_doc.upx, 0u);
  EXPECT_EQ(g_doc.up, nullptr);
  EXPECT_EQ(g_doc.doc_units[0], nullptr);
  EXPECT_EQ(Live_Unit_Recs(), 0u);
  EXPECT_EQ(gs.curr_phase, NODOC_PHASE);
  EXPECT_TRUE(gs.tool_show);
}

// Reading: a file that is not there is refused, and the refusal keeps no
// document.
TEST_F(Documents, ReadingRefusesAMissingFile) {
  std::strcpy(g_doc.doc_path.name, "/nonexistent folder/some label.cd4");
  EXPECT_FALSE(Doc_Read(false));
  EXPECT_EQ(defects, Defect_Bit(DEFECT_FILE_OPEN));
  EXPECT_FALSE(g_doc.doc_open);
  EXPECT_EQ(Live_Unit_Recs(), 0u);
  EXPECT_TRUE(Is_Document_Type(FourCC("DISC")));
  EXPECT_FALSE(Is_Document_Type(FourCC("TEXT")));
}

// The canvas size of a unit at 300 dpi: rounded millimetres, a width cap of
// 4000 with the height in proportion, fixed sizes for the disc kinds and the
// jewel-case front, round sizes for units thinner than half a pixel.
TEST_F(Documents, UnitCanvasSizes) {
  struct Case {
    const char* what;
    a_unit spec;
    int16 right, bottom;
  };
  a_unit thin = Unit(UNIT_RECT, 0, 0, 0.04f, 10);
  thin.bleed = a_frect{2, 0, 2, 0};
  const Case cases[] = {
      {"120 mm rectangle", Unit(UNIT_RECT, 10, 10, 120, 120), 1417, 1417},
      {"A3 across, capped", Unit(UNIT_RECT, 0, 0, 420, 297), 4000, 2829},
      {"400 x 100 mm", Unit(UNIT_RECT, 0, 0, 400, 100), 4000, 1000},
      {"disc of 120 mm", Unit(UNIT_CD, 0, 0, 120, 120), 1200, 1200},
      {"disc of any size", Unit(UNIT_CD, 0, 0, 100, 60), 1200, 1200},
      {"jewel front", Unit(UNIT_JEWEL_LID1, 0, 0, 121, 120), 1200, 1200},
      {"mini disc", Unit(UNIT_MINICD_RING, 0, 0, 80, 80), 800, 800},
      {"business-card disc", Unit(UNIT_MINICD_HOCKEY, 0, 0, 80, 60), 800, 590},
      {"rectangular card disc", Unit(UNIT_MINICD_RECT, 0, 0, 85, 60), 850, 590},
      {"thinner than half a pixel", thin, 129, 320},
      {"flatter than half a pixel", Unit(UNIT_RECT, 0, 0, 100, 0.02f), 1280, 1},
  };
  for (const Case& c : cases) {
    Rect b{9, 9, 9, 9};
    Calc_Unit_Bounds(c.spec, b);
    EXPECT_EQ(b, (Rect{0, 0, c.bottom, c.right})) << c.what;
  }
  EXPECT_EQ(Make_Nice_Number(320), 320);
  EXPECT_EQ(Make_Nice_Number(320.5f), 640);
  EXPECT_EQ(Make_Nice_Number(0), 320);
  EXPECT_EQ(Make_Nice_Number(1280), 1280);
  EXPECT_EQ(Make_Nice_Number(1280.5f), 2000);
  EXPECT_EQ(Make_Nice_Number(9999), 2000);

  // The millimetres of a unit map onto its canvas.
  const a_unit u = Unit(UNIT_RECT, 10, 20, 50, 25);
  a_coord_mapping m;
  Calc_Unit_Mapping(u, Rect{0, 0, 250, 500}, m);
  EXPECT_FLOAT_EQ((u.bbox.left - m.fdecx) * m.multx + m.originx, 0);
  EXPECT_FLOAT_EQ((u.bbox.right - m.fdecx) * m.multx + m.originx, 500);
  EXPECT_FLOAT_EQ((u.bbox.bottom - m.fdecy) * m.multy + m.originy, 250);
}

// A layer made for a unit: a white world and an unpainted mask over the
// unit's canvas; freeing it leaves neither.
TEST_F(Documents, LayersAreMadeOverTheCanvas) {
  Open(Layout({{UNIT_RECT, 12, 8}}));
  a_doc_unit* u = Doc_Unit(1);
  Sync_Existence(true, u, PAINT1_LAYER);
  const a_cached_gworld& l = u->statics[PAINT1_LAYER];
  ASSERT_NE(l.world, nullptr);
  ASSERT_NE(l.mask, nullptr);
  EXPECT_EQ(l.bounds, (Rect{0, 0, 8, 12}));
  EXPECT_EQ(Get_GWorld_PixelSize(l.world), 32);
  EXPECT_EQ(Get_GWorld_PixelSize(l.mask), 8);
  EXPECT_EQ(*Px(l.world, 11, 7) & 0x00FFFFFFu, White());
  EXPECT_EQ(*Mx(l.mask, 11, 7), 0);
  Sync_Existence(false, u, PAINT1_LAYER);
  EXPECT_EQ(l.world, nullptr);
  EXPECT_EQ(l.mask, nullptr);
}

// A document on a catalogue entry, which joins the recent layouts; an index
// outside the catalogue makes none.
TEST_F(Documents, PickingALayoutOfTheCatalogue) {
  EXPECT_FALSE(Proj_PickLayout2(0));
  EXPECT_FALSE(Proj_PickLayout2(NTEMPLATES + 1));
  EXPECT_FALSE(g_doc.doc_open);
  ASSERT_TRUE(Proj_PickLayout2(1));
  EXPECT_TRUE(g_doc.doc_open);
  EXPECT_EQ(std::strncmp(g_doc.doc_template.label, g_ctemplates[0].label, 31), 0);
  const a_layout_usage_rec slot = Slot(0);
  EXPECT_EQ(uint32(slot.count), 2u);
  EXPECT_EQ(std::strncmp(slot.label, g_ctemplates[0].label, 31), 0);
  EXPECT_EQ(RecentLay_TemplateX(0), 1u);
  ASSERT_TRUE(Proj_PickLayout2(1));
  EXPECT_EQ(uint32(Slot(0).count), 3u);
  EXPECT_EQ(uint32(Slot(1).count), 0u);
  Proj_PickLayout();
  EXPECT_EQ(gs.curr_phase, PAPER_PHASE);
}

// A recent layout's catalogue index counts only while the entry there still
// has the layout's label (another version of the catalogue may hold another
// entry at that index); else the label is looked up.
TEST_F(Documents, RecentLayoutIndexCountsOnlyWhileItsLabelMatches) {
  ASSERT_GT(NTEMPLATES, 10u);
  auto put = [](int16 slot, uint32 count, const char* label, uint32 tx) {
    a_layout_usage_rec rec{};
    rec.count = count;
    std::memcpy(rec.label, label, std::min(std::strlen(label), sizeof rec.label - 1));
    rec.tx = tx;
    std::memcpy(&gs.pref.recentlay[slot], &rec, sizeof rec);
  };
  const char* label5 = g_ctemplates[4].label;
  const uint32 at5 = Find_Template(CStrSpan(label5, std::strlen(label5) + 1));
  ASSERT_GE(at5, 1u);
  ASSERT_LE(at5, 5u);  // the first entry of that label
  put(0, 3, label5, 5);
  put(1, 3, label5, 9);          // the index now names another layout
  put(2, 3, "No such layout", 5);
  put(3, 3, label5, 0);
  put(4, 0, label5, 5);          // a free slot
  put(5, 3, label5, NTEMPLATES + 7);
  EXPECT_EQ(RecentLay_TemplateX(0), 5u);
  EXPECT_EQ(RecentLay_TemplateX(1), std::strncmp(g_ctemplates[8].label, label5, 31) == 0 ? 9u : at5);
  EXPECT_EQ(RecentLay_TemplateX(2), 0u);
  EXPECT_EQ(RecentLay_TemplateX(3), at5);
  EXPECT_EQ(RecentLay_TemplateX(4), 0u);
  EXPECT_EQ(RecentLay_TemplateX(5), at5);
  EXPECT_EQ(RecentLay_TemplateX(-1), 0u);
  EXPECT_EQ(RecentLay_TemplateX(MAX_NRECENTLAY), 0u);
}

// The recent layouts fill free slots, then replace the least used one.
TEST_F(Documents, RecentLayoutsReplaceTheLeastUsed) {
  for (int16 i = 0; i < MAX_NRECENTLAY; ++i) {
    const std::string label = "Layout " + std::to_string(i);
    RecentLay_Add(CStrSpan(label.c_str(), label.size() + 1));
    if (i != 7) RecentLay_Add(CStrSpan(label.c_str(), label.size() + 1));  // used twice
  }
  EXPECT_EQ(uint32(Slot(7).count), 2u);
  EXPECT_EQ(uint32(Slot(8).count), 3u);
  RecentLay_Add(CStrSpan("Newcomer", 9));
  EXPECT_EQ(std::string(Slot(7).label), "Newcomer");
  EXPECT_EQ(uint32(Slot(7).count), 2u);
  EXPECT_EQ(uint32(Slot(7).tx), 0u);
}

// The constant tables and the shared records at start-up.
TEST(SharedRecords, StartUpFillsTheTables) {
  g_doneflag = true;
  gs.nviews = 2;
  t.tlist_n = 5;
  VoskDef_Init();
  EXPECT_FALSE(g_doneflag);
  EXPECT_EQ(gs.nviews, 0);
  EXPECT_EQ(t.tlist_n, 0u);
  const a_ratio zoom[NZOOMS] = {{1, 2}, {1, 1}, {2, 1}, {3, 1}, {4, 1}};
  for (int i = 0; i < NZOOMS; ++i) {
    EXPECT_EQ(ZoomxToFactor[i].num, zoom[i].num) << i;
    EXPECT_EQ(ZoomxToFactor[i].den, zoom[i].den) << i;
  }
  EXPECT_EQ(ZoomxFudge[0], 2);
  EXPECT_EQ(ZoomxFudge[4], 1);
  EXPECT_EQ(EraserxToSize[8], 15);
  EXPECT_EQ(IconToSizex[3], 9);
  EXPECT_EQ(SliderToPoints[30], 202);
  EXPECT_EQ(SliderToPoints[31], 245);
  EXPECT_EQ(SliderToPoints[35], 358);
  EXPECT_EQ(SliderToScaling[9], 100);
  EXPECT_EQ(SliderToScaling[18], 300);
  a_frect r{1, 2, 3, 4};
  SwapFRect(r);
  EXPECT_EQ(r.left, 2);
  EXPECT_EQ(r.top, 1);
  EXPECT_EQ(r.right, 4);
  EXPECT_EQ(r.bottom, 3);
}

}  // namespace
