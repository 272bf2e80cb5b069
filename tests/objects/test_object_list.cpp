// The object list of a unit: ids and the paint layer, walking the list,
// copies for undo, the selection and its nesting, the mix and hilites,
// hit-testing by shape, clicks through the object tool with their sounds,
// posting changes, deleting and duplicating.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "PictLibWrite.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "host/HostAudio.h"
#include "host/HostClock.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "pixel/OP.h"
#include "platform/QDRect.h"
#include "platform/SysIO.h"
#include "platform/SysSound.h"
#include "platform/VoskDef.h"
#include "ui/VoskDelt.h"

namespace {

constexpr int16 kUnitSide = 1417;
constexpr a_oj_kind_set kObjectPhaseKinds = 11;  // photos, symbols and texts
constexpr uint32 kTickMillis = 16;

// Distinct samples for the two sounds the object tool plays, so the sink
// tells which one it was handed.
const std::vector<uint8> kSelectSamples = {0x11, 0x22, 0x33};
const std::vector<uint8> kRefusedSamples = {0x44, 0x55};

a_art_object Sound_Obj(int16 id, const std::vector<uint8>& samples) {
  a_art_object o;
  o.key = a_keyset{SOUND_KEY_FAMILY, 0, id, 0};
  std::string err;
  EXPECT_TRUE(Sound_Encode8(8000, samples, o.data, err)) << err;
  return o;
}

class ObjectList : public ::testing::Test {
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
    Sound_Enable(true);
    Open_Sounds();

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
  }
  void TearDown() override {
    OMast_Dispose(unit_->oj);
    Dispose_Unit_Rec(unit_);
    g_doc.up = nullptr;
    g_doc.doc_units[0] = nullptr;
    Sound_Stop();
    OP_Stop();
    Host_Audio_Reset_Sink();
    Host_Clock_Set_Manual(false);
    testdir::Remove_Dir(dir_);
  }

  void Open_Sounds() {
    std::vector<uint8> bytes;
    std::string err;
    ASSERT_TRUE(ArtLib_Build({Sound_Obj(SND_OBJ_SELECT, kSelectSamples), Sound_Obj(SND_OBJ_REFUSED, kRefusedSamples)},
                             bytes, err))
        << err;
    dir_ = testdir::Make_Temp_Dir("velmor-objects");
    ASSERT_FALSE(dir_.empty());
    const std::string path = dir_ + "/sounds.ART4";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                std::streamsize(bytes.size()));
    FSSpec spec;
    ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
    ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY);
  }

  // The sounds the sink was handed since the last call, by id.
  static std::vector<int16> Sounds() {
    std::vector<int16> ids;
    for (const HostAudioEvent& e : Host_Audio_Events()) {
      if (e.kind != HostAudioEventKind::PLAY) continue;
      ids.push_back(e.samples == kSelectSamples ? SND_OBJ_SELECT : e.samples == kRefusedSamples ? SND_OBJ_REFUSED : -1);
    }
    Host_Audio_Reset_Sink();
    return ids;
  }

  a_oj_master& List() { return unit_->oj; }

  int32 Append(a_oj_kind kind, a_ph_rec* ph, a_om_rec* om) {
    return Obj_Append(List(), kind, OJ_Flag_Bit(VISIBLE_FLAG), ph, om);
  }

  // A photo (or symbol) placed over box: its picture box's size at 100 %,
  // turned by angle (box is then the box of the turned picture).
  int32 Add_Photo(Rect box, a_oj_kind kind = PHOTO_BLOCK, int16 angle = 0, Rect subset = Rect{0, 0, 0, 0}) {
    a_ph_rec* ph = New_PH_Rec();
    ph->spec.scalingh = ph->spec.scalingv = 1000;
    ph->spec.angle = angle;
    ph->spec.subset = EmptyRect(subset) ? Rect{0, 0, int16(box.bottom - box.top), int16(box.right - box.left)} : subset;
    ph->dst_box = box;
    ph->dst_center = Point{int16((int32(box.top) + box.bottom) / 2), int16((int32(box.left) + box.right) / 2)};
    return Append(kind, ph, nullptr);
  }

  int32 Add_Text(Rect box) {
    a_om_rec* om = New_OM_Rec();
    om->bbox = box;
    return Append(TEXT_BLOCK, nullptr, om);
  }

  std::vector<int32> Selected() {
    std::vector<int32> s;
    for (int32 omx = ENUM_START; Enum(true, true, OBJECT_KINDS, omx);) s.push_back(omx);
    return s;
  }

  static a_mousestroke Press(int16 h, int16 v, a_keymod_set mods = 0) {
    a_mousestroke s{};
    s.lmouse = Point{v, h};
    s.button1 = true;
    s.mods = mods;
    return s;
  }
  static void Click(int16 h, int16 v, a_keymod_set mods = 0) { Obj_MouseDown(1, Press(h, v, mods)); }
  static void Wait_Ticks(uint32 ticks) { Host_Clock_Advance_Millis(ticks * kTickMillis); }

  a_doc_unit* unit_ = nullptr;
  std::string dir_;
};

// --- Ids, the paint layer and walking the list --------------------------------------

TEST_F(ObjectList, NewUnitHoldsItsVisiblePaintLayerWithTheFirstId) {
  ASSERT_EQ(List().nlist, 1);
  EXPECT_EQ(List().list[0].objid, FIRST_OBJECT_ID);
  EXPECT_EQ(List().list[0].objid, 1001u);
  EXPECT_EQ(List().list[0].kind, PAINT_BLOCK);
  EXPECT_EQ(List().list[0].flags, OJ_Flag_Bit(VISIBLE_FLAG));
  // Ids go on up, never reused (a disposed object's id is not handed out again).
  const int32 a = Add_Photo(Rect{0, 0, 10, 10});
  EXPECT_EQ(List().list[a - 1].objid, 1002u);
  Obj_Dispose(List(), a);
  EXPECT_EQ(NextUniqueID(), 1003u);
}

TEST_F(ObjectList, EnumWalksByKindsAndSelectionBothWaysAndEndsAtMinus20001) {
  const int32 photo = Add_Photo(Rect{0, 0, 10, 10});
  const int32 text = Add_Text(Rect{0, 0, 10, 10});
  const int32 symbol = Add_Photo(Rect{0, 0, 10, 10}, SYMBOL_BLOCK);
  List().list[photo - 1].flags |= OJ_Flag_Bit(SELECTED_FLAG);
  List().list[symbol - 1].flags |= OJ_Flag_Bit(SELECTED_FLAG);
  struct Case {
    bool8 forward, selected;
    a_oj_kind_set kinds;
    std::vector<int32> want;
  };
  const Case cases[] = {
      {true, false, OBJECT_KINDS, {photo, text, symbol}},
      {false, false, OBJECT_KINDS, {symbol, text, photo}},
      {true, true, OBJECT_KINDS, {photo, symbol}},
      {false, true, OBJECT_KINDS, {symbol, photo}},
      {true, false, TEXT_KINDS, {text}},
      {false, false, LAYER_KINDS, {symbol, photo, 1}},
      {true, true, TEXT_KINDS, {}},
  };
  for (const Case& c : cases) {
    std::vector<int32> got;
    int32 omx = ENUM_START;
    while (Enum(c.forward, c.selected, c.kinds, omx)) got.push_back(omx);
    EXPECT_EQ(got, c.want) << "forward " << int(c.forward) << " selected " << int(c.selected) << " kinds "
                           << int(c.kinds);
    EXPECT_EQ(omx, ENUM_DONE);
    EXPECT_FALSE(Enum(c.forward, c.selected, c.kinds, omx));  // stays at the end
  }
  EXPECT_EQ(Count(false, OBJECT_KINDS), 3);
  EXPECT_EQ(Selection_Count(), 2);
  int32 one;
  EXPECT_FALSE(Is_One_Selected(one));
  EXPECT_EQ(one, ENUM_DONE);
  EXPECT_FALSE(Is_One_Text_Selected(one));
  List().list[text - 1].flags |= OJ_Flag_Bit(SELECTED_FLAG);
  EXPECT_TRUE(Is_One_Text_Selected(one));
  EXPECT_EQ(one, text);
}

// --- Copies for undo ----------------------------------------------------------------------

TEST_F(ObjectList, CopiesAreDeepAndSavingAnUnchangedListCopiesNothing) {
  const int32 photo = Add_Photo(Rect{10, 10, 50, 50});
  const int32 text = Add_Text(Rect{100, 100, 140, 300});
  a_om_rec* om = List().list[text - 1].om;
  om->cache.progress = Progress_Bit(READY_COORD) | Progress_Bit(READY_BITS);
  om->cache.frame.npoints = 4;
  om->cache.frame.points[1] = Point{7, 8};
  Obj_PostRender(photo);  // the list changed

  a_oj_master& saved = g_undo.oj;
  OMast_Save(saved);
  ASSERT_EQ(saved.nlist, 3);
  EXPECT_EQ(saved.seq, List().seq);
  EXPECT_NE(saved.list[photo - 1].ph, List().list[photo - 1].ph);
  EXPECT_EQ(saved.list[photo - 1].ph->dst_box, (Rect{10, 10, 50, 50}));
  const a_om_rec* copy = saved.list[text - 1].om;
  ASSERT_NE(copy, om);
  EXPECT_EQ(copy->bbox, om->bbox);
  EXPECT_EQ(copy->cache.progress, 0);  // the copy renders afresh
  EXPECT_EQ(copy->cache.frame.points[1], (Point{7, 8}));
  EXPECT_EQ(copy->xyl[0].mm_cat, CC_EOS);

  // Unchanged: the copy stays the one made (a mark on it survives).
  saved.list[photo - 1].ph->codec = FourCC("mark");
  OMast_Save(saved);
  EXPECT_EQ(saved.list[photo - 1].ph->codec, FourCC("mark"));

  // Deleting the photo changes the list; restoring brings it back.
  Obj_PostRender(photo);
  Obj_Dispose(List(), photo);
  ASSERT_EQ(List().nlist, 2);
  OMast_Restore(saved);
  ASSERT_EQ(List().nlist, 3);
  EXPECT_EQ(List().list[photo - 1].kind, PHOTO_BLOCK);
  EXPECT_NE(List().list[photo - 1].ph, saved.list[photo - 1].ph);
  OMast_Dispose(saved);
  EXPECT_EQ(saved.nlist, 0);
  EXPECT_EQ(saved.seq, 0u);

  // A copy that was never made restores nothing: the unit keeps its list.
  Obj_PostRender(photo);
  OMast_Restore(saved);
  EXPECT_EQ(List().nlist, 3);
  EXPECT_EQ(List().list[0].kind, PAINT_BLOCK);
}

// --- Selection --------------------------------------------------------------------------

TEST_F(ObjectList, ThePaintLayerIsNeverSelectedButSelectingItSwitchesToPainting) {
  const int32 photo = Add_Photo(Rect{0, 0, 10, 10});
  Selection_Set1(photo);
  ASSERT_EQ(Selected(), std::vector<int32>{photo});
  Selection_Toggle(1);
  EXPECT_EQ(List().list[0].flags, OJ_Flag_Bit(VISIBLE_FLAG));
  Selection_Set1(1);
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(List().list[0].flags, OJ_Flag_Bit(VISIBLE_FLAG));
  EXPECT_EQ(gs.curr_phase, PAINT_PHASE);
}

TEST_F(ObjectList, NestedChangesPublishOnceAtTheOutermostEnd) {
  gs.curr_phase = TEXT_PHASE;
  const int32 symbol = Add_Photo(Rect{0, 0, 10, 10}, SYMBOL_BLOCK);
  const int32 photo = Add_Photo(Rect{20, 20, 30, 30});
  Begin_Selection_Change();
  Selection_Set1(symbol);  // a select-none inside each set-one
  Selection_Set1(photo);
  // Nothing published yet: a publication of the symbol alone would have
  // switched to the symbol phase.
  EXPECT_EQ(gs.curr_phase, TEXT_PHASE);
  End_Selection_Change();
  EXPECT_EQ(gs.curr_phase, PHOTO_PHASE);
  EXPECT_EQ(Selected(), std::vector<int32>{photo});
  // Several selected: no palette bar; one: the ring's own.
  gs.curr_ring = PHOTO_RING;
  gs.bar_in_ring[PHOTO_RING] = EDGE_OUTL_COLORBAR;
  Selection_Toggle(symbol);
  EXPECT_EQ(gs.curr_bar, EMPTY_BAR);
  Selection_Toggle(symbol);
  EXPECT_EQ(gs.curr_bar, EDGE_OUTL_COLORBAR);
  EXPECT_EQ(gs.curr_phase, PHOTO_PHASE);
  // An end without its begin changes nothing.
  End_Selection_Change();
  Begin_Selection_Change();
  Selection_Set1(symbol);
  EXPECT_EQ(gs.curr_phase, PHOTO_PHASE);
  End_Selection_Change();
  EXPECT_EQ(gs.curr_phase, SYMBOL_PHASE);
}

TEST_F(ObjectList, CyclingBeepsWithOneObjectAndWrapsRoundTheList) {
  const int32 a = Add_Photo(Rect{0, 0, 10, 10});
  Selection_Cycle(true);
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_REFUSED});
  EXPECT_TRUE(Selected().empty());

  const int32 b = Add_Text(Rect{0, 0, 10, 10});
  const int32 c = Add_Photo(Rect{0, 0, 10, 10}, SYMBOL_BLOCK);
  struct Case {
    int32 selected;  // 0: none
    bool8 forward;
    int32 want;
  };
  const Case cases[] = {
      {a, true, c},     // the bottom one wraps to the top
      {c, true, b},     // down one
      {0, true, c},     // none: the top
      {c, false, a},    // the top wraps to the bottom
      {a, false, b},    // up one
      {0, false, a},    // none: the bottom
  };
  for (const Case& k : cases) {
    Obj_Select_None();
    if (k.selected != 0) Selection_Toggle(k.selected);
    Sounds();
    Selection_Cycle(k.forward);
    EXPECT_EQ(Selected(), std::vector<int32>{k.want}) << "from " << k.selected << " forward " << int(k.forward);
    EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_SELECT});
  }
}

TEST_F(ObjectList, SelectionMixAndHilitesFollowThePhaseKind) {
  const int32 p1 = Add_Photo(Rect{0, 0, 10, 10});
  const int32 p2 = Add_Photo(Rect{0, 0, 10, 10});
  const int32 p3 = Add_Photo(Rect{0, 0, 10, 10});
  const int32 sym = Add_Photo(Rect{0, 0, 10, 10}, SYMBOL_BLOCK);
  struct Case {
    a_phase phase;
    std::vector<int32> selected;
    a_selection_mix mix;
    int16 del, just1, sel1;
  };
  const Case cases[] = {
      {PHOTO_PHASE, {}, ZERO_PURE, HILITE_DIMMED, HILITE_DIMMED, HILITE_DIMMED},
      {PHOTO_PHASE, {p1}, ONE_PURE, HILITE_ENABLED, HILITE_ENABLED, HILITE_ENABLED},
      {PHOTO_PHASE, {p1, p2}, TWO_PURE, HILITE_ENABLED, HILITE_DIMMED, HILITE_ENABLED},
      {PHOTO_PHASE, {p1, p2, p3}, THREE_PURE, HILITE_ENABLED, HILITE_DIMMED, HILITE_ENABLED},
      {PHOTO_PHASE, {p1, sym}, MOTLEY, HILITE_ENABLED, HILITE_DIMMED, HILITE_DIMMED},
      {SYMBOL_PHASE, {sym}, ONE_PURE, HILITE_ENABLED, HILITE_ENABLED, HILITE_ENABLED},
      {PAINT_PHASE, {p1}, ZERO_PURE, HILITE_ENABLED, HILITE_DIMMED, HILITE_DIMMED},
  };
  for (const Case& c : cases) {
    for (int32 i = 2; i <= List().nlist; ++i) List().list[i - 1].flags = OJ_Flag_Bit(VISIBLE_FLAG);
    for (int32 omx : c.selected) List().list[omx - 1].flags |= OJ_Flag_Bit(SELECTED_FLAG);
    gs.curr_phase = c.phase;
    EXPECT_EQ(Calc_Selection_Mix(), c.mix) << "phase " << int(c.phase) << ", " << c.selected.size() << " selected";
    EXPECT_EQ(Calc_Hilite_Del(), c.del);
    EXPECT_EQ(Calc_Hilite_Just1(), c.just1);
    EXPECT_EQ(Calc_Hilite_Sel1(), c.sel1);
  }
  EXPECT_EQ(Calc_Hilite_ObjNew(), HILITE_ENABLED);
  while (List().nlist < MAX_OJ) Add_Photo(Rect{0, 0, 10, 10});
  EXPECT_EQ(Calc_Hilite_ObjNew(), HILITE_DIMMED);
}

TEST_F(ObjectList, TheEditorsTargetFollowsTheLoneSelectedTextInTheTextPhase) {
  gs.curr_phase = TEXT_PHASE;
  const int32 photo = Add_Photo(Rect{0, 0, 10, 10});
  const int32 text = Add_Text(Rect{100, 100, 140, 300});
  a_om_rec* om = List().list[text - 1].om;
  Selection_Set1(text);
  EXPECT_EQ(g_ed.edit_objid, List().list[text - 1].objid);
  EXPECT_EQ(g_ed.edit_ux, 1u);
  EXPECT_EQ(g_ed.edit_omx, text);
  EXPECT_EQ(g_ed.edit_om, om);
  EXPECT_EQ(g_ed.sel_lo, 1);
  EXPECT_EQ(g_ed.sel_hi, 1);
  EXPECT_EQ(g_ed.sel_omx, text);
  unit_->render_dirty = Rect{0, 0, 0, 0};
  // Another kind selected: no target, and the text is rendered again
  // without what the editor drew over it.
  Selection_Set1(photo);
  gs.curr_phase = TEXT_PHASE;
  Check_Edit_Change();
  EXPECT_EQ(g_ed.edit_objid, 0u);
  EXPECT_EQ(g_ed.edit_om, nullptr);
  EXPECT_EQ(unit_->render_dirty, (Rect{100, 100, 140, 300}));
  // Freeing the edited text lets the editor go of it.
  Selection_Set1(text);
  gs.curr_phase = TEXT_PHASE;
  Check_Edit_Change();
  ASSERT_EQ(g_ed.edit_om, om);
  Obj_Dispose(List(), text);
  EXPECT_EQ(g_ed.edit_om, nullptr);
  EXPECT_EQ(g_ed.edit_objid, 0u);
}

// --- Hit-testing ----------------------------------------------------------------------------

// Boxes from the bottom up; the point clicked; which of them is found
// (0 none), and the part.
struct Hit_Case {
  const char* name;
  std::vector<Rect> boxes;
  std::vector<int16> angles;   // per box, 0 when absent
  std::vector<int32> selected; // box numbers (from 1)
  Point at;                    // h, v given as v, h (Point order)
  int32 want;
  a_oj_part part;
};

TEST_F(ObjectList, ObjFindPicksTheSmallestBoxAndTheUpperOfEqualOnesByShape) {
  const int16 lo = -32768, hi = 32767;
  const Hit_Case cases[] = {
      {"equal overlapping boxes: the upper", {{0, 0, 100, 100}, {50, 50, 150, 150}}, {}, {}, {75, 75}, 2, DRAG_PART},
      // 10100 + 100 against 10000 + 200.
      {"equal scores: the upper keeps it", {{0, 0, 100, 100}, {0, 0, 100, 101}}, {}, {}, {50, 50}, 2, DRAG_PART},
      {"a small box under a large one", {{40, 40, 60, 60}, {0, 0, 200, 200}}, {}, {}, {50, 50}, 1, DRAG_PART},
      // 65535 x 65535 passes 32 bits: counted in 32 it would come out
      // negative and win.
      {"a huge box alone", {{lo, lo, hi, hi}}, {}, {}, {150, 150}, 1, DRAG_PART},
      {"a huge box over a small one", {{100, 100, 200, 200}, {lo, lo, hi, hi}}, {}, {}, {150, 150}, 1, DRAG_PART},
      {"nothing there (the paint layer is never hit)", {{0, 0, 100, 100}}, {}, {}, {500, 500}, 0, OUTSIDE_PART},
      {"the right and bottom edges are outside", {{0, 0, 100, 100}}, {}, {}, {100, 50}, 0, OUTSIDE_PART},
      // A square of 100 turned by 45 degrees about (500, 500): a diamond
      // whose box runs from 429 to 571.
      {"a turned photo: the box's corner is off the picture", {{429, 429, 571, 571}}, {450}, {}, {440, 440}, 0,
       OUTSIDE_PART},
      {"a turned photo: near its top vertex", {{429, 429, 571, 571}}, {450}, {}, {435, 500}, 1, DRAG_PART},
      // A lone selected upright photo shows handles straddling its corners.
      {"upper-left handle", {{100, 100, 300, 300}}, {}, {1}, {95, 95}, 1, ULCORNER_PART},
      {"upper-right handle", {{100, 100, 300, 300}}, {}, {1}, {100, 300}, 1, URCORNER_PART},
      {"lower-right handle", {{100, 100, 300, 300}}, {}, {1}, {306, 306}, 1, LRCORNER_PART},
      {"lower-left handle", {{100, 100, 300, 300}}, {}, {1}, {299, 100}, 1, LLCORNER_PART},
      {"a handle grows by one pixel", {{100, 100, 300, 300}}, {}, {1}, {92, 92}, 1, ULCORNER_PART},
      {"inside a lone selected photo", {{100, 100, 300, 300}}, {}, {1}, {200, 200}, 1, DRAG_PART},
      {"two selected: no handles", {{100, 100, 300, 300}, {400, 400, 500, 500}}, {}, {1, 2}, {95, 95}, 0,
       OUTSIDE_PART},
      {"two selected: a corner drags", {{100, 100, 300, 300}, {400, 400, 500, 500}}, {}, {1, 2}, {101, 101}, 1,
       DRAG_PART},
      {"a turned selected photo has no handles", {{429, 429, 571, 571}}, {450}, {1}, {435, 500}, 1, DRAG_PART},
  };
  for (const Hit_Case& c : cases) {
    OMast_Dispose(List());
    OMast_Init(List());
    for (size_t i = 0; i < c.boxes.size(); ++i) {
      const int16 angle = i < c.angles.size() ? c.angles[i] : 0;
      // A turned photo's own picture is 100 x 100.
      Add_Photo(c.boxes[i], PHOTO_BLOCK, angle, angle != 0 ? Rect{0, 0, 100, 100} : Rect{0, 0, 0, 0});
    }
    for (int32 k : c.selected) List().list[k].flags |= OJ_Flag_Bit(SELECTED_FLAG);
    a_oj_part part = CONTENT_PART;
    const int32 omx = Obj_Find(c.at, c.at, part);
    EXPECT_EQ(omx, c.want == 0 ? ENUM_DONE : c.want + 1) << c.name;
    EXPECT_EQ(part, c.part) << c.name;
  }
}

TEST_F(ObjectList, TextsAreHitByTheirFrameOrTheirBoxAndEditedOnesByTheirContent) {
  gs.curr_phase = TEXT_PHASE;
  const int32 text = Add_Text(Rect{100, 100, 200, 400});
  a_oj_part part;
  EXPECT_EQ(Obj_Find(Point{150, 150}, Point{150, 150}, part), text);
  EXPECT_EQ(part, DRAG_PART);
  // With a frame (a triangle here), the frame decides.
  a_om_pointlist& frame = List().list[text - 1].om->cache.frame;
  frame.points[0] = Point{100, 100};
  frame.points[1] = Point{100, 400};
  frame.points[2] = Point{200, 100};
  frame.npoints = 3;
  EXPECT_EQ(Obj_Find(Point{190, 390}, Point{190, 390}, part), ENUM_DONE);
  EXPECT_EQ(Obj_Find(Point{110, 110}, Point{110, 110}, part), text);
  // The text being edited while the tool edits characters: its content.
  Selection_Set1(text);
  gs.txedit_phase = TXEDIT_EDIT;
  EXPECT_EQ(Obj_Find(Point{110, 110}, Point{110, 110}, part), text);
  EXPECT_EQ(part, CONTENT_PART);
}

// --- Clicks through the object tool -----------------------------------------------------------

TEST_F(ObjectList, ClicksSelectToggleAndDeselectWithTheSelectionSound) {
  const int32 a = Add_Photo(Rect{100, 100, 200, 200});
  const int32 b = Add_Photo(Rect{300, 300, 400, 400});
  Click(150, 150);
  EXPECT_EQ(Selected(), std::vector<int32>{a});
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_SELECT});
  Click(350, 350, Keymod_Bit(SHIFTKEY));  // Shift adds
  EXPECT_EQ(Selected(), (std::vector<int32>{a, b}));
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_SELECT});
  Click(350, 350, Keymod_Bit(SHIFTKEY));  // and takes away
  EXPECT_EQ(Selected(), std::vector<int32>{a});
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_SELECT});
  Wait_Ticks(100);
  Click(350, 350);  // a plain click selects that one alone
  EXPECT_EQ(Selected(), std::vector<int32>{b});
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_SELECT});
  Click(800, 800);  // empty space deselects
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_SELECT});
  Click(800, 800);  // with nothing selected: silence
  EXPECT_TRUE(Sounds().empty());
  // Without a press the mouse only hovers.
  a_mousestroke hover = Press(150, 150);
  hover.button1 = false;
  Obj_MouseDown(1, hover);
  EXPECT_TRUE(Selected().empty());
  EXPECT_TRUE(Sounds().empty());
}

TEST_F(ObjectList, ASecondClickWithinTheDoubleClickTimeOpensTheText) {
  gs.curr_phase = TEXT_PHASE;
  const int32 text = Add_Text(Rect{100, 100, 200, 400});
  struct Case {
    uint32 wait_ticks;
    bool editing;
    std::vector<int16> sounds;
  };
  const Case cases[] = {
      {GetDblTime() - 5, true, {}},                    // within: the editor, no click sound
      {GetDblTime(), false, {SND_OBJ_SELECT}},         // past: another selection click
  };
  for (const Case& c : cases) {
    gs.txedit_phase = TXEDIT_MOVE;
    Obj_Select_None();
    Wait_Ticks(100);
    Click(150, 150);
    ASSERT_EQ(Selected(), std::vector<int32>{text});
    EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_SELECT});
    Wait_Ticks(c.wait_ticks);
    Click(150, 150);
    EXPECT_EQ(gs.txedit_phase == TXEDIT_EDIT, c.editing) << "after " << c.wait_ticks << " ticks";
    EXPECT_EQ(Sounds(), c.sounds) << "after " << c.wait_ticks << " ticks";
    EXPECT_EQ(Selected(), std::vector<int32>{text});
  }
}

TEST_F(ObjectList, ADoubleClickFollowsTheObjectNotItsPlaceInTheList) {
  gs.curr_phase = TEXT_PHASE;
  const int32 first = Add_Text(Rect{100, 100, 200, 400});
  const int32 second = Add_Text(Rect{500, 100, 600, 400});
  Click(150, 150);
  ASSERT_EQ(Selected(), std::vector<int32>{first});
  Sounds();
  // Arranged between the clicks: the other text now has the index clicked.
  std::swap(List().list[first - 1], List().list[second - 1]);
  Click(150, 550);
  EXPECT_EQ(gs.txedit_phase, TXEDIT_MOVE);
  EXPECT_EQ(Selected(), std::vector<int32>{first});  // the second text, at index first now
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_SELECT});
  Click(150, 550);
  EXPECT_EQ(gs.txedit_phase, TXEDIT_EDIT);
}

// --- Posting changes --------------------------------------------------------------------------

TEST_F(ObjectList, PostRenderIgnoresIndicesOutsideTheList) {
  const int32 photo = Add_Photo(Rect{10, 20, 30, 40});
  for (int32 omx : {0, ENUM_DONE, ENUM_START, -1, photo + 1, MAX_OJ + 1}) {
    unit_->render_dirty = Rect{0, 0, 0, 0};
    const uint32 seq = List().seq;
    Obj_PostRender(omx);
    Obj_PostRefresh(omx);
    EXPECT_EQ(List().seq, seq) << omx;
    EXPECT_TRUE(EmptyRect(unit_->render_dirty)) << omx;
  }
  Obj_PostRender(photo);
  EXPECT_EQ(List().seq, 1u);
  EXPECT_EQ(unit_->render_dirty, (Rect{10, 20, 30, 40}));
  Obj_PostRender(1);  // the paint layer: the whole unit, under a fresh seq
  EXPECT_NE(List().seq, 1u);
  EXPECT_EQ(unit_->render_dirty, unit_->paintbounds);
}

// --- Deleting and duplicating ------------------------------------------------------------------

TEST_F(ObjectList, DeletingTakesTheSelectionAwayAndBeepsWithNothingSelected) {
  const int32 a = Add_Photo(Rect{0, 0, 10, 10});
  const int32 b = Add_Text(Rect{0, 0, 10, 10});
  Add_Photo(Rect{0, 0, 10, 10}, SYMBOL_BLOCK);
  Enum_Obj_Del();
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_REFUSED});
  EXPECT_EQ(List().nlist, 4);
  Selection_Toggle(a);
  Selection_Toggle(b);
  const uint32 kept = List().list[3].objid;
  Enum_Obj_Del();
  ASSERT_EQ(List().nlist, 2);
  EXPECT_EQ(List().list[0].kind, PAINT_BLOCK);
  EXPECT_EQ(List().list[1].objid, kept);
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(History_Last_Op(), OP_BLOCK_DEL);
  EXPECT_TRUE(Sounds().empty());
}

TEST_F(ObjectList, DuplicatesBecomeTheSelectionUntilTheListIsFull) {
  const int32 a = Add_Photo(Rect{100, 100, 200, 200});
  const int32 b = Add_Photo(Rect{1350, 1350, 1410, 1410}, SYMBOL_BLOCK);  // too near the edge for +40
  Enum_Obj_Dup();
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_REFUSED});
  Selection_Toggle(a);
  Selection_Toggle(b);
  Enum_Obj_Dup();
  ASSERT_EQ(List().nlist, 5);
  EXPECT_EQ(Selected(), (std::vector<int32>{4, 5}));
  const a_oj_item& ca = List().list[3];
  const a_oj_item& cb = List().list[4];
  EXPECT_EQ(ca.kind, PHOTO_BLOCK);
  EXPECT_EQ(cb.kind, SYMBOL_BLOCK);
  EXPECT_EQ(ca.flags, OJ_Flag_Bit(SELECTED_FLAG) | OJ_Flag_Bit(VISIBLE_FLAG));
  EXPECT_EQ(ca.ph->dst_box, (Rect{140, 140, 240, 240}));
  EXPECT_EQ(cb.ph->dst_center, DUP_HOME);
  EXPECT_EQ(cb.ph->dst_box, (Rect{-20, -20, 40, 40}));
  EXPECT_GT(ca.objid, List().list[2].objid);
  EXPECT_EQ(History_Last_Op(), OP_BLOCK_DUP);
  EXPECT_TRUE(Sounds().empty());

  // At 399 objects the first copy fills the list; the second is refused.
  while (List().nlist < MAX_OJ - 1) Add_Photo(Rect{0, 0, 10, 10});
  Enum_Obj_Dup();
  EXPECT_EQ(List().nlist, MAX_OJ);
  EXPECT_EQ(Selected(), std::vector<int32>{MAX_OJ});
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_OBJ_REFUSED});
}

TEST_F(ObjectList, ATextDuplicateStartsWithoutTheOriginalsPictures) {
  gs.curr_phase = TEXT_PHASE;
  const int32 text = Add_Text(Rect{0, 0, 10, 10});
  a_om_rec* om = List().list[text - 1].om;
  om->cache.progress = Progress_Bit(READY_BITS);
  Selection_Toggle(text);
  Enum_Obj_Dup();
  ASSERT_EQ(List().nlist, 3);
  const a_om_rec* copy = List().list[2].om;
  EXPECT_NE(copy, om);
  // Laid out afresh, without pictures of its own yet.
  EXPECT_EQ(copy->cache.progress, Progress_Bit(READY_COORD));
  EXPECT_EQ(copy->cache.text.fore, nullptr);
  EXPECT_EQ(copy->cache.shad.fore, nullptr);
  EXPECT_EQ(copy->cache.frame.max, MAX_OM_POINTS);
  EXPECT_EQ(copy->nxyl, 1);
  EXPECT_EQ(Selected(), std::vector<int32>{3});
}

}  // namespace
