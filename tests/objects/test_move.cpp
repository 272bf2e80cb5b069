// Moving, aligning, spreading and restacking the selection of a unit's
// hand-placed boxes: move classes, the six alignments on the topmost
// object, both spreads (equal gaps within a cell, inner order kept), placing
// on the unit, arrow-key steps, a drag fed sample by sample (each step from
// the saved copies), the stacking order by one and to the ends, and the
// Arrange menu's rows reaching them.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "SoundTestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "host/HostClock.h"
#include "objects/VoskBlok.h"
#include "objects/VoskLayer.h"
#include "objects/VoskMove.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "pixel/OP.h"
#include "platform/QDRect.h"
#include "platform/SysIO.h"
#include "platform/SysSound.h"
#include "platform/VoskDef.h"
#include "ui/VoskDelt.h"
#include "ui/VoskDisp.h"

namespace {

constexpr int16 kUnitSide = 1417;
constexpr a_oj_kind_set kObjectPhaseKinds = 11;  // photos, symbols and texts

class Moving : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    VoskBlok_Init();
    VoskLayer_Init();
    SV_Init();
    History_Null();
    g_ed = a_edit_rec{};
    Host_Clock_Set_Manual(true);
    OP_Init();
    sounds_.emplace();

    unit_ = New_Unit_Rec();
    ASSERT_NE(unit_, nullptr);
    unit_->paintbounds = Rect{0, 0, kUnitSide, kUnitSide};
    g_doc.doc_units[0] = unit_;
    g_doc.up = unit_;
    g_doc.upx = 1;
    gs.nviews = 1;
    gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{0, 0, kUnitSide, kUnitSide}};
    gs.curr_phase = PHOTO_PHASE;
    gs.curr_kindset = kObjectPhaseKinds;
    gs.controller = HUMAN;
  }
  void TearDown() override {
    Dispose_Saved_Blocks();
    OMast_Dispose(unit_->oj);
    Dispose_Unit_Rec(unit_);
    g_doc.up = nullptr;
    g_doc.doc_units[0] = nullptr;
    g_doc.doc_open = false;
    sounds_.reset();
    OP_Stop();
    Host_Clock_Set_Manual(false);
  }

  // The sounds asked for since the last call, by id.
  std::vector<int16> Sounds() {
    std::vector<int16> ids = sounds_->Ids();
    sounds_->Clear();
    return ids;
  }

  a_oj_master& List() { return unit_->oj; }

  // A selected photo (or symbol) over box.
  int32 Add_Photo(Rect box, a_oj_kind kind = PHOTO_BLOCK, bool selected = true) {
    a_ph_rec* ph = New_PH_Rec();
    ph->spec.scalingh = ph->spec.scalingv = 1000;
    ph->spec.subset = Rect{0, 0, int16(box.bottom - box.top), int16(box.right - box.left)};
    ph->dst_box = box;
    ph->dst_center = Point{int16((int32(box.top) + box.bottom) / 2), int16((int32(box.left) + box.right) / 2)};
    const uint8 flags = uint8(OJ_Flag_Bit(VISIBLE_FLAG) | (selected ? OJ_Flag_Bit(SELECTED_FLAG) : 0));
    return Obj_Append(List(), kind, flags, ph, nullptr);
  }
  // A selected text of layout over box (its layout is never computed here).
  int32 Add_Text(Rect box, a_text_layout layout) {
    a_om_rec* om = New_OM_Rec();
    om->bbox = box;
    om->layout = layout;
    return Obj_Append(List(), TEXT_BLOCK, uint8(OJ_Flag_Bit(VISIBLE_FLAG) | OJ_Flag_Bit(SELECTED_FLAG)), nullptr, om);
  }
  static Rect Box(int32 omx) {
    Rect b;
    Obj_BBox(omx, b);
    return b;
  }
  std::vector<uint32> Ids() {
    std::vector<uint32> v;
    for (int32 i = 0; i < List().nlist; ++i) v.push_back(List().list[i].objid);
    return v;
  }

  a_doc_unit* unit_ = nullptr;
  std::optional<soundtest::SoundRecorder> sounds_;
};

#define EXPECT_BOX(got, want)                                                                                  \
  EXPECT_TRUE(EqualRect(got, want)) << "got " << (got).top << "," << (got).left << "," << (got).bottom << "," \
                                    << (got).right << " want " << (want).top << "," << (want).left << ","    \
                                    << (want).bottom << "," << (want).right

TEST_F(Moving, MoveClassesByKindAndTextLayout) {
  const int32 photo = Add_Photo(Rect{0, 0, 10, 10});
  const int32 symbol = Add_Photo(Rect{0, 0, 10, 10}, SYMBOL_BLOCK);
  const int32 slot = Add_Photo(Rect{0, 0, 10, 10}, SLOT_BLOCK);
  EXPECT_EQ(Calc_Move_Class(1), 0);  // the paint layer
  EXPECT_EQ(Calc_Move_Class(photo), 2);
  EXPECT_EQ(Calc_Move_Class(symbol), 2);
  EXPECT_EQ(Calc_Move_Class(slot), 0);
  EXPECT_EQ(Calc_Move_Class(99), 0);
  const struct {
    a_text_layout layout;
    uint8 cls;
  } texts[] = {{LAYOUT_HORZ, 2},     {LAYOUT_90, 2},          {LAYOUT_VERT, 2},        {LAYOUT_270, 2},
               {LAYOUT_CONTOUR, 1},  {LAYOUT_CIRC_CW, 3},     {LAYOUT_SPIRAL_CW, 3},   {LAYOUT_CIRC_CCW, 3},
               {LAYOUT_SPIRAL_CCW, 3}, {LAYOUT_SPOKE, 3}};
  for (const auto& c : texts) EXPECT_EQ(Calc_Move_Class(Add_Text(Rect{0, 0, 10, 10}, c.layout)), c.cls) << c.layout;
}

// The reference is the topmost object (smallest top), whatever the list
// order; every other object moves on one axis only.
TEST_F(Moving, SixAlignmentsOnTheTopmostObject) {
  const Rect a{150, 50, 190, 121}, ref{100, 200, 160, 300};
  const struct {
    void (*proc)();
    Rect a, c;
  } cases[] = {
      {Enum_Align_H_L, {150, 200, 190, 271}, {300, 200, 420, 249}},
      {Enum_Align_H_C, {150, 215, 190, 286}, {300, 226, 420, 275}},
      {Enum_Align_H_R, {150, 229, 190, 300}, {300, 251, 420, 300}},
      {Enum_Align_V_T, {100, 50, 140, 121}, {100, 401, 220, 450}},
      {Enum_Align_V_C, {110, 50, 150, 121}, {70, 401, 190, 450}},
      {Enum_Align_V_B, {120, 50, 160, 121}, {40, 401, 160, 450}},
  };
  for (const auto& k : cases) {
    OMast_Dispose(List());
    OMast_Init(List());
    const int32 ia = Add_Photo(a), iref = Add_Photo(ref), ic = Add_Photo(Rect{300, 401, 420, 450});
    History_Null();
    k.proc();
    EXPECT_BOX(Box(iref), ref);
    EXPECT_BOX(Box(ia), k.a);
    EXPECT_BOX(Box(ic), k.c);
    EXPECT_EQ(History_Last_Op(), OP_BLOCK_ALIGN);
  }
}

// A circular text cannot move with a photo: it is deselected, one object is
// left, and the command only beeps.
TEST_F(Moving, AligningAPhotoWithACircularTextBeepsAndMovesNothing) {
  const int32 photo = Add_Photo(Rect{100, 100, 200, 200});
  const int32 text = Add_Text(Rect{10, 10, 50, 50}, LAYOUT_CIRC_CW);
  Sounds();
  History_Null();
  Enum_Align_H_L();
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_REFUSED});
  EXPECT_FALSE(Is_Obj_Selected(text));
  EXPECT_TRUE(Is_Obj_Selected(photo));
  EXPECT_BOX(Box(photo), (Rect{100, 100, 200, 200}));
  EXPECT_EQ(History_Last_Op(), OP_NOP);
}

// Four objects across (or down): the outer two stay, the three gaps are
// equal within one cell, and the inner ones keep their order by edge though
// the list holds them the other way round.
TEST_F(Moving, SpreadingGivesEqualGapsAndKeepsTheInnerOrder) {
  for (const bool across : {true, false}) {
    OMast_Dispose(List());
    OMast_Init(List());
    // (offset along the axis, length): the list order differs from the axis order.
    const std::vector<std::pair<int16, int16>> spans = {{900, 100}, {500, 37}, {0, 60}, {430, 50}};
    std::vector<int32> objs;
    for (auto [at, len] : spans) {
      const Rect r = across ? Rect{int16(20 + objs.size() * 7), at, int16(80 + objs.size() * 7), int16(at + len)}
                            : Rect{at, int16(20 + objs.size() * 7), int16(at + len), int16(80 + objs.size() * 7)};
      objs.push_back(Add_Photo(r));
    }
    const auto lo = [&](int32 omx) { const Rect b = Box(omx); return int32(across ? b.left : b.top); };
    const auto hi = [&](int32 omx) { const Rect b = Box(omx); return int32(across ? b.right : b.bottom); };
    const Rect before_first = Box(objs[2]), before_last = Box(objs[0]);
    History_Null();
    if (across)
      Obj_Spread_H();
    else
      Obj_Spread_V();
    EXPECT_EQ(History_Last_Op(), OP_BLOCK_SPREAD);
    EXPECT_BOX(Box(objs[2]), before_first);
    EXPECT_BOX(Box(objs[0]), before_last);
    // By edge: objs[2], objs[3], objs[1], objs[0].
    const std::vector<int32> order = {objs[2], objs[3], objs[1], objs[0]};
    std::vector<int32> gaps;
    for (size_t i = 1; i < order.size(); ++i) gaps.push_back(lo(order[i]) - hi(order[i - 1]));
    const auto [mn, mx] = std::minmax_element(gaps.begin(), gaps.end());
    EXPECT_LE(*mx - *mn, 1) << "across " << across;
    EXPECT_GT(*mn, 0);
    // The other axis is untouched.
    const Rect b = Box(objs[3]);
    EXPECT_EQ(across ? b.top : b.left, int16(20 + 3 * 7));
  }
}

TEST_F(Moving, SpreadingRefusesTooFewObjectsAndOneObjectAtBothEnds) {
  // All share one left edge and the first is also the widest.
  Add_Photo(Rect{0, 100, 50, 300});
  Add_Photo(Rect{60, 100, 110, 200});
  Add_Photo(Rect{120, 100, 170, 250});
  Sounds();
  History_Null();
  Obj_Spread_H();
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_REFUSED});
  EXPECT_EQ(History_Last_Op(), OP_NOP);
  EXPECT_BOX(Box(3), (Rect{60, 100, 110, 200}));
  // Two objects are too few.
  Selection_Toggle(4);
  Obj_Spread_V();
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_REFUSED});
  EXPECT_EQ(History_Last_Op(), OP_NOP);
}

TEST_F(Moving, ExtremesFindTheFirstBottomUpOnTies) {
  EXPECT_EQ(TopMost(), ENUM_DONE);
  const int32 a = Add_Photo(Rect{10, 10, 50, 50});
  const int32 b = Add_Photo(Rect{10, 5, 60, 50});
  const int32 c = Add_Photo(Rect{20, 5, 60, 70});
  EXPECT_EQ(TopMost(), a);
  EXPECT_EQ(LeftMost(), b);
  EXPECT_EQ(BottomMost(), b);
  EXPECT_EQ(RightMost(), c);
}

// Centres go to the centre of the paintbounds, or to a fraction of its
// width or height, the other coordinate kept.
TEST_F(Moving, PlacingOnTheUnit) {
  const Rect start{100, 200, 141, 301};  // centre (120, 250)
  const struct {
    void (*proc)();
    Point centre;
  } cases[] = {
      {Align_Center, {708, 708}},
      {[] { Align_Horz(1, 4); }, {120, 354}},
      {[] { Align_Horz(2, 3); }, {120, 944}},
      {[] { Align_Vert(3, 4); }, {1062, 250}},
      {[] { Align_Vert(1, 3); }, {472, 250}},
  };
  for (const auto& k : cases) {
    OMast_Dispose(List());
    OMast_Init(List());
    const int32 p = Add_Photo(start);
    History_Null();
    k.proc();
    const a_ph_rec* ph = Obj_Item(p)->ph;
    EXPECT_TRUE(ph->dst_center == k.centre) << ph->dst_center.v << "," << ph->dst_center.h;
    EXPECT_EQ(Box(p).right - Box(p).left, 101);
    EXPECT_EQ(History_Last_Op(), OP_BLOCK_ALIGN);
  }
}

TEST_F(Moving, ArrowKeysStepInCellsOrInScreenPixelsWhenZoomedOut) {
  Sounds();
  Obj_Nudge(false, 1, 0);
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_REFUSED});
  const int32 p = Add_Photo(Rect{100, 100, 200, 200});
  const struct {
    bool8 shift;
    int16 sx, sy;
    a_ratio zoom;
    int16 dx, dy;
  } cases[] = {
      {false, 1, 0, {1, 1}, 1, 0},
      {true, 0, -1, {1, 1}, 0, -10},
      {false, -1, 1, {1, 4}, -4, 4},  // a screen pixel is four cells
      {true, 1, 0, {2, 1}, 10, 0},    // zoomed in: cells
  };
  for (const auto& c : cases) {
    gs.views[0].zoom_factor = c.zoom;
    const Rect before = Box(p);
    History_Null();
    Obj_Nudge(c.shift, c.sx, c.sy);
    EXPECT_EQ(Box(p).left - before.left, c.dx);
    EXPECT_EQ(Box(p).top - before.top, c.dy);
    EXPECT_EQ(History_Last_Op(), OP_BLOCK_MOVEXY);
    EXPECT_EQ(Sounds(), std::vector<int16>{SND_SUBTOOL_SLIDER});
  }
}

// A drag fed cell by cell: the incompatible text is let go at the start;
// each step moves from the saved copies (nothing accumulates, nothing is
// rendered), a step repeats only on a new cell or constrain state, and the
// release moves with rendering as one history step. Shift at the release
// keeps the larger axis.
TEST_F(Moving, ADragBySamplesMovesFromTheSavedCopies) {
  const int32 a = Add_Photo(Rect{100, 100, 200, 200});
  const int32 b = Add_Photo(Rect{300, 300, 350, 380});
  const int32 circ = Add_Text(Rect{10, 10, 50, 50}, LAYOUT_SPIRAL_CCW);
  unit_->render_dirty = Rect{0, 0, 0, 0};
  History_Null();
  const Point start{150, 150};
  ASSERT_TRUE(Move_Begin(1, start, a));
  EXPECT_FALSE(Is_Obj_Selected(circ));
  EXPECT_TRUE(t.old_saved);
  const struct {
    Point cell;
    bool8 shift;
    int16 dx, dy;
  } steps[] = {{{160, 170}, false, 20, 10}, {{140, 120}, false, -30, -10}, {{140, 120}, true, -30, 0},
               {{400, 150}, false, 0, 250}};
  for (const auto& s : steps) {
    Move_Step(s.cell, s.shift);
    EXPECT_EQ(Box(a).left, 100 + s.dx);
    EXPECT_EQ(Box(a).top, 100 + s.dy);
    EXPECT_EQ(Box(b).left, 300 + s.dx);
    EXPECT_EQ(Box(b).top, 300 + s.dy);
    EXPECT_TRUE(EmptyRect(unit_->render_dirty)) << "steps render nothing";
  }
  EXPECT_EQ(History_Last_Op(), OP_NOP);
  Move_End(Point{170, 155}, true);  // (+5, +20) with Shift: down only
  EXPECT_BOX(Box(a), (Rect{120, 100, 220, 200}));
  EXPECT_BOX(Box(b), (Rect{320, 300, 370, 380}));
  EXPECT_EQ(History_Last_Op(), OP_BLOCK_MOVEXY);
  EXPECT_FALSE(t.old_saved);
  // The old and new places are to be rendered.
  Rect want;
  UnionRect(Rect{100, 100, 200, 200}, Rect{320, 300, 370, 380}, want);
  Rect common;
  EXPECT_TRUE(SectRect(unit_->render_dirty, want, common) && EqualRect(common, want));

  // Let go where it began: nothing moved, nothing to undo.
  History_Null();
  ASSERT_TRUE(Move_Begin(1, start, a));
  Move_Step(Point{200, 250}, false);
  Move_End(start, false);
  EXPECT_BOX(Box(a), (Rect{120, 100, 220, 200}));
  EXPECT_EQ(History_Last_Op(), OP_NOP);
  EXPECT_FALSE(t.old_saved);
}

// --- Stacking order -----------------------------------------------------------------------

TEST_F(Moving, ArrangeRelByOneAndToTheEnds) {
  // The paint layer, then p1 .. p4, none selected yet.
  std::vector<int32> p;
  for (int i = 0; i < 4; ++i) p.push_back(Add_Photo(Rect{0, 0, 10, 10}, PHOTO_BLOCK, false));
  const std::vector<uint32> ids = Ids();  // paint, p1, p2, p3, p4
  EXPECT_FALSE(Layer_Can_Arrange(1)) << "nothing selected";
  const struct {
    int32 select;  // index selected alone
    int32 delta;
    std::vector<int> order;  // positions of ids after the move
    bool can;
  } cases[] = {
      {2, 1, {0, 2, 1, 3, 4}, true},      // p1 up one
      {3, -1, {0, 1, 2, 3, 4}, true},     // and back down: p1 is at 3 now
      {2, 999, {0, 2, 3, 4, 1}, true},    // p1 to the front
      {5, -999, {0, 1, 2, 3, 4}, true},   // and to the back, above the paint layer
      {5, 1, {0, 1, 2, 3, 4}, false},     // the top cannot go up
      {2, -1, {0, 1, 2, 3, 4}, false},    // the lowest photo cannot go below the photos
  };
  for (const auto& c : cases) {
    Obj_Select_None();
    Selection_Toggle(c.select);
    EXPECT_EQ(Layer_Can_Arrange(c.delta), c.can) << c.select << " by " << c.delta;
    Sounds();
    History_Null();
    Layer_ArrangeRel(c.delta);
    std::vector<uint32> want;
    for (int i : c.order) want.push_back(ids[size_t(i)]);
    EXPECT_EQ(Ids(), want) << c.select << " by " << c.delta;
    EXPECT_EQ(History_Last_Op(), c.can ? OP_BLOCK_MOVEZ : OP_NOP);
    EXPECT_EQ(Sounds(), c.can ? std::vector<int16>{SND_SUBTOOL_ONESHOT} : std::vector<int16>{});
  }
  // Two selected: nothing to arrange.
  Selection_Toggle(3);
  ASSERT_EQ(Selection_Count(), 2);
  EXPECT_FALSE(Layer_Can_Arrange(-1));
}

// The item moves whole (id, flags, kind, record); the rest close up. A
// controller drives the interface silently.
TEST_F(Moving, Arrange2MovesTheWholeItem) {
  const int32 a = Add_Photo(Rect{0, 0, 10, 10}, PHOTO_BLOCK, false);
  const int32 t1 = Add_Text(Rect{0, 0, 10, 10}, LAYOUT_HORZ);
  const int32 s = Add_Photo(Rect{0, 0, 10, 10}, SYMBOL_BLOCK, false);
  const a_oj_item was = List().list[a - 1];
  const std::vector<uint32> ids = Ids();
  gs.controller = GHOST;
  Sounds();
  Layer_Arrange(a, s);
  EXPECT_TRUE(Sounds().empty());
  const a_oj_item& now = List().list[s - 1];
  EXPECT_EQ(now.objid, was.objid);
  EXPECT_EQ(now.kind, PHOTO_BLOCK);
  EXPECT_EQ(now.flags, was.flags);
  EXPECT_EQ(now.ph, was.ph);
  EXPECT_EQ(Ids(), (std::vector<uint32>{ids[0], ids[2], ids[3], ids[1]}));
  EXPECT_EQ(List().list[t1 - 2].kind, TEXT_BLOCK);
  // Indices outside the list change nothing.
  Layer_Arrange2(0, 2);
  Layer_Arrange2(2, 9);
  EXPECT_EQ(Ids(), (std::vector<uint32>{ids[0], ids[2], ids[3], ids[1]}));
}

// The Arrange menu's rows reach the procedures with their fractions.
TEST_F(Moving, ArrangeMenuRows) {
  g_doc.doc_open = true;
  const int32 p = Add_Photo(Rect{100, 200, 141, 301});
  const struct {
    int16 menu, item;
    Point centre;
  } cases[] = {
      {MENU_ARRANGE_H, 1, {120, 354}}, {MENU_ARRANGE_H, 2, {120, 472}}, {MENU_ARRANGE_H, 5, {120, 1062}},
      {MENU_ARRANGE_V, 4, {944, 1062}}, {MENU_ARRANGE, 8, {708, 1062}},  {MENU_ARRANGE, 6, {708, 708}},
  };
  for (const auto& c : cases) {
    DoMenuEvent(c.menu, c.item, false, false);
    const Point got = Obj_Item(p)->ph->dst_center;
    EXPECT_TRUE(got == c.centre) << c.menu << "/" << c.item << ": " << got.v << "," << got.h;
  }
  // Rows 1 to 4 restack the lone selected photo: up one, to the front, down
  // one, to the back (above the paint layer).
  Add_Photo(Rect{0, 0, 10, 10}, PHOTO_BLOCK, false);
  Add_Photo(Rect{0, 0, 10, 10}, PHOTO_BLOCK, false);
  const uint32 id = Obj_Item(p)->objid;
  const struct {
    int16 item;
    int32 at;
  } rows[] = {{3, 3}, {1, 4}, {4, 3}, {2, 2}};
  for (const auto& r : rows) {
    const a_command_row* row = Command_Row(int16(MENU_ARRANGE + r.item));
    ASSERT_NE(row, nullptr) << r.item;
    EXPECT_NE(row->action, nullptr) << r.item;
    DoMenuEvent(MENU_ARRANGE, r.item, false, false);
    EXPECT_EQ(Obj_Item(r.at)->objid, id) << "Arrange item " << r.item;
  }
}

}  // namespace
