// The state-variable engine: change procedures at once with the old value,
// everything depending on a change once at the end of the action, in index
// order; the end of an action with the current unit, the display states and
// the history; the setters' refusal of another type; and the dispatch of
// "Hide Everything" and of the keys nobody uses.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SoundTestSupport.h"
#include "TestSupport.h"
#include "doc/VoskHist.h"
#include "platform/VoskDef.h"
#include "ui/VoskDelt.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"

namespace {

struct Call {
  std::string proc;
  int32 arg;
  bool operator==(const Call& o) const { return proc == o.proc && arg == o.arg; }
};
using Calls = std::vector<Call>;

void PrintTo(const Call& c, std::ostream* os) { *os << c.proc << "(" << c.arg << ")"; }

Calls g_calls;
// Run by the observer just before the procedure of that name (once).
std::string g_act_on;
std::function<void()> g_act;

void Record(const char* proc, int32 arg) {
  g_calls.push_back(Call{proc, arg});
  if (g_act && g_act_on == proc) {
    auto act = std::move(g_act);
    g_act = nullptr;
    act();
  }
}

class StateVars : public ::testing::Test {
 protected:
  soundtest::SoundRecorder sounds_;

  void SetUp() override { Reset(); }
  void TearDown() override {
    g_sv_observer = nullptr;
    g_act = nullptr;
    g_doc.doc_open = false;
    SV_Init();
  }
  // No document, the start screen, zoom index 0 with its factor, the table
  // as built and a fresh record of the calls.
  static void Reset() {
    VoskDef_Init();
    SV_Init();
    History_Null();
    pending_op = OP_NOP;
    gs.controller = GHOST;  // alerts that are not fatal stay silent
    gs.curr_phase = NODOC_PHASE;
    gs.tool_net = NULL_TOOL;
    gs.curr_ring = NULL_RING;
    gs.curr_bar = EMPTY_BAR;
    gs.tool_show = true;
    gs.grid_vals[ZOOM_GRID] = 0;
    gs.views[0].zoom_factor = ZoomxToFactor[0];
    g_calls.clear();
    g_act = nullptr;
    g_sv_observer = Record;
  }
  // The calls so far, and a fresh record.
  static Calls Take() {
    Calls c = std::move(g_calls);
    g_calls.clear();
    return c;
  }
};

TEST_F(StateVars, ZoomChangeCallsItsChangeAtOnceAndItsDependantsAtTheFinish) {
  SV_Set_Int(SV_ZOOM_IX, 2);
  EXPECT_EQ(Take(), (Calls{{"Delta_Zoom", 0}}));
  EXPECT_EQ(gs.grid_vals[ZOOM_GRID], 2);
  EXPECT_TRUE(SV_Is_Changed(SV_ZOOM_IX));
  SV_Finish();
  // The factor changed (1/2 to 2/1): the origin and the navigator follow;
  // the menus' check marks once, for the zoom index itself.
  EXPECT_EQ(Take(), (Calls{{"Recalc_NViews", 0},
                           {"Recalc_ZoomFactor", 0},
                           {"Recalc_Edit_Origin", 0},
                           {"Nav_Recalc_Reduction", 0},
                           {"Menus_Update", 0}}));
  EXPECT_EQ(gs.views[0].zoom_factor.num, ZoomxToFactor[2].num);
  EXPECT_EQ(gs.views[0].zoom_factor.den, ZoomxToFactor[2].den);
  EXPECT_FALSE(SV_Is_Changed(SV_ZOOM_IX));
  // Settled: a further pass has nothing to do.
  SV_Finish();
  EXPECT_TRUE(Take().empty());
}

struct PassCase {
  const char* what;
  std::function<void()> act;
  Calls at_once;
  Calls at_finish;
};

TEST_F(StateVars, EachChangeReachesWhatDependsOnItOnce) {
  const PassCase cases[] = {
      {"the value it has: nothing", [] { SV_Set_Int(SV_ZOOM_IX, 0); SV_Set_Bool(SV_TOOL_SHOW, true); }, {}, {}},
      {"a zoom whose factor is in place: the derived factor stops its dependants",
       [] {
         gs.views[0].zoom_factor = ZoomxToFactor[3];
         SV_Set_Int(SV_ZOOM_IX, 3);
       },
       {{"Delta_Zoom", 0}},
       {{"Recalc_NViews", 0}, {"Recalc_ZoomFactor", 0}, {"Menus_Update", 0}}},
      {"the edit area's layout only when marked", [] { SV_Set_Virtual(SV_CONFIG_EDIT); }, {},
       {{"Config_EditArea", 0}}},
      {"a document opened: the phase follows, then views, menus and layout",
       [] { SV_Set_Bool(SV_DOC_OPEN, true); },
       {{"Delta_Doc_Open", 0}, {"Delta_Phase", NODOC_PHASE}},
       {{"Recalc_NViews", 0},
        {"Recalc_Menubar_Config", 0},
        {"Config_All", 0},
        {"Recalc_Edit_Origin", 0},
        {"Nav_Recalc_Reduction", 0},
        {"Menus_Update", 0},
        {"Menus_Draw", 0}}},
      {"symmetry: its change, then its toggle repainted; nothing depends on it",
       [] { SV_Set_Bool(SV_SYMMETRY_ENABLED, true); },
       {{"Delta_Symmetry_Toggle", 0}, {"Toggle_Paint", SYMMETRY_TOGGLE}},
       {}},
      {"the focus: a point differing only in h", [] { SV_Set_Point(SV_EDIT_FOCUS, Point{0, 7}); }, {},
       {{"Recalc_Edit_Origin", 0}, {"Nav_Recalc_Frame", 0}}},
      {"the language, kept in the packed preferences", [] { SV_Set_Int(SV_LANGUAGE, 3); },
       {{"Delta_Language", 0}},
       {{"Recalc_Menubar_Config", 0},
        {"Config_All", 0},
        {"Recalc_Edit_Origin", 0},
        {"Nav_Recalc_Reduction", 0},
        {"Menus_Update", 0},
        {"Menus_Draw", 0}}},
      {"an option of the preferences", [] { SV_Set_Bool(SV_SOUND_OPTION, true); }, {}, {{"Menus_Update", 0}}},
      {"the fill", [] { SV_Set_Enum(SV_FILL_KIND, GRADIENT_FILL); }, {{"Delta_FillKind", ERASER_FILL}}, {}},
  };
  for (const PassCase& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    gs.fill_kind = ERASER_FILL;
    c.act();
    EXPECT_EQ(Take(), c.at_once);
    SV_Finish();
    EXPECT_EQ(Take(), c.at_finish);
    SV_Finish();
    EXPECT_TRUE(Take().empty()) << "a second pass found more";
  }
  // The values went where they belong.
  Reset();
  SV_Set_Int(SV_LANGUAGE, 3);
  SV_Set_Bool(SV_SOUND_OPTION, true);
  SV_Set_Point(SV_EDIT_FOCUS, Point{5, 7});
  SV_Set_Bool(SV_DOC_OPEN, true);
  EXPECT_EQ(gs.pref.language_offset, 3);
  EXPECT_TRUE(gs.pref.sound_option);
  EXPECT_EQ(gs.view_focus.v, 5);
  EXPECT_EQ(gs.view_focus.h, 7);
  EXPECT_EQ(gs.curr_phase, PREVIEW_PHASE);
  SV_Finish();
  EXPECT_EQ(gs.nviews, 1);
  SV_Set_Bool(SV_DOC_OPEN, false);
  EXPECT_EQ(gs.curr_phase, NODOC_PHASE);
  SV_Finish();
  EXPECT_EQ(gs.nviews, 0);
}

TEST_F(StateVars, AVirtualProcedureSettingALowerVariableIsSeenByTheSecondFinish) {
  // The edit area's layout marks the document changed (a lower variable,
  // which the menus' check marks use): the first pass is past it already.
  g_act_on = "Config_EditArea";
  g_act = [] { SV_Set_Bool(SV_DOC_CHANGED, true); };
  SV_Begin_Interaction();
  SV_Set_Virtual(SV_CONFIG_EDIT);
  SV_End_Interaction();
  EXPECT_EQ(Take(), (Calls{{"Config_EditArea", 0}, {"Intf_CheckHilites", 0}, {"Menus_Update", 0}}));
  EXPECT_FALSE(SV_Is_Changed(SV_DOC_CHANGED));
}

TEST_F(StateVars, TheEndOfAnActionUpdatesTheUnitOnlyInTheEditingPhases) {
  struct Case {
    bool8 open;
    a_phase phase;
    bool updates;
  };
  const Case cases[] = {
      {false, PAINT_PHASE, false}, {false, TEXT_PHASE, false},   {true, PREVIEW_PHASE, false},
      {true, PAINT_PHASE, true},   {true, GRID_PHASE, true},     {true, TEXT_PHASE, true},
      {true, COLLAGE_PHASE, false}, {true, PAPER_PHASE, false},  {true, NODOC_PHASE, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "open " << c.open << " phase " << int(c.phase));
    g_doc.doc_open = c.open;
    gs.curr_phase = c.phase;
    SV_Begin_Interaction();
    SV_End_Interaction();
    Calls want{{"Intf_CheckHilites", 0}};
    if (c.updates) want.insert(want.begin(), Call{"Current_Unit_UpToDate", 0});
    EXPECT_EQ(Take(), want);
  }
}

TEST_F(StateVars, APendingOperationIsRecordedOnceAtTheEndOfTheAction) {
  SV_Begin_Interaction();
  History_Set_Pending(OP_PHOTO_NEW);
  History_Set_Pending(OP_TEXT_NEW);  // the last writer wins
  EXPECT_EQ(pending_op, OP_TEXT_NEW);
  SV_End_Interaction();
  // The history marked the document changed: the second pass updates the menus.
  EXPECT_EQ(Take(), (Calls{{"Intf_CheckHilites", 0}, {"History_Emit", OP_TEXT_NEW}, {"Menus_Update", 0}}));
  EXPECT_EQ(History_Count(), 1);
  EXPECT_EQ(History_Last_Op(), OP_TEXT_NEW);
  EXPECT_TRUE(g_doc.doc_changed);
  EXPECT_EQ(pending_op, OP_NOP);
  // Ending again records nothing more.
  SV_End_Interaction();
  EXPECT_EQ(History_Count(), 1);

  // An action that set none records none; its start drops a stale one.
  pending_op = OP_PHOTO_NEW;
  SV_Begin_Interaction();
  Take();
  SV_End_Interaction();
  EXPECT_EQ(Take(), (Calls{{"Intf_CheckHilites", 0}}));
  EXPECT_EQ(History_Count(), 1);
}

TEST_F(StateVars, ASetterOfAnotherTypeIsAnInternalError) {
  struct Case {
    const char* what;
    std::function<void()> set;
  };
  const Case cases[] = {
      {"Boolean on the phase", [] { SV_Set_Bool(SV_PHASE, true); }},
      {"enumeration on the zoom index", [] { SV_Set_Enum(SV_ZOOM_IX, 2); }},
      {"integer on a Boolean", [] { SV_Set_Int(SV_TOOL_SHOW, 0); }},
      {"integer on the derived number of views", [] { SV_Set_Int(SV_NVIEWS, 2); }},
      {"point on the derived zoom factor", [] { SV_Set_Point(SV_ZOOMFACTOR, Point{1, 1}); }},
      {"point on the language", [] { SV_Set_Point(SV_LANGUAGE, Point{1, 1}); }},
      {"Boolean on the inert cut-lines option", [] { SV_Set_Bool(SV_CUTLINES_OPTION, true); }},
      {"virtual mark on the phase", [] { SV_Set_Virtual(SV_PHASE); }},
      {"enumeration on a virtual variable", [] { SV_Set_Enum(SV_CONFIG_ALL, 1); }},
      {"a variable past the table", [] { SV_Set_Bool(NSTATEVARS, true); }},
      {"a negative variable", [] { SV_Set_Virtual(-1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_THROW(c.set(), QuitCalled);
  }
  // Nothing was written or called.
  EXPECT_EQ(gs.curr_phase, NODOC_PHASE);
  EXPECT_EQ(gs.grid_vals[ZOOM_GRID], 0);
  EXPECT_TRUE(gs.tool_show);
  EXPECT_EQ(gs.views[0].zoom_factor.num, ZoomxToFactor[0].num);
  EXPECT_EQ(gs.pref.language_offset, 0);
  EXPECT_FALSE(gs.pref.cutlines_option);
  EXPECT_TRUE(Take().empty());
  SV_Finish();
  EXPECT_TRUE(Take().empty());
  // A zoom index past the zoom table is refused when its factor is derived.
  SV_Set_Int(SV_ZOOM_IX, NZOOMS);
  EXPECT_THROW(SV_Finish(), QuitCalled);
}

TEST_F(StateVars, HideEverythingAndTheKeysNobodyUses) {
  const a_keystroke escape{27, 27, 27, 0}, letter{0, 'a', u'a', 0};
  // Panels shown: any key nobody uses is refused.
  DoKeyDown(escape);
  DoKeyDown(letter);
  EXPECT_EQ(sounds_.Ids(), (std::vector<int16>{SND_NULL, SND_NULL}));
  EXPECT_TRUE(gs.tool_show);
  // "Hide Everything" needs a document; it goes through the engine: the
  // window's layout follows.
  sounds_.Clear();
  DoMenuEvent(MENU_VIEW, VIEW_HIDE_ALL, false, false);
  EXPECT_TRUE(gs.tool_show);
  EXPECT_EQ(sounds_.Ids(), (std::vector<int16>{SND_NULL}));
  EXPECT_TRUE(Take().empty());
  g_doc.doc_open = true;
  gs.curr_phase = GRID_PHASE;
  DoMenuEvent(MENU_VIEW, VIEW_HIDE_ALL, false, false);
  EXPECT_FALSE(gs.tool_show);
  EXPECT_TRUE(SV_Is_Changed(SV_TOOL_SHOW));
  SV_Finish();
  EXPECT_EQ(Take(), (Calls{{"Config_All", 0}, {"Recalc_Edit_Origin", 0}, {"Nav_Recalc_Reduction", 0},
                           {"Menus_Update", 0}}));
  // Hidden: another key shows the hint (an alert, silent here) and no sound;
  // Escape brings the panels back with the click.
  sounds_.Clear();
  DoKeyDown(letter);
  EXPECT_TRUE(sounds_.Ids().empty());
  EXPECT_FALSE(gs.tool_show);
  DoKeyDown(escape);
  EXPECT_EQ(sounds_.Ids(), (std::vector<int16>{SND_SUBTOOL_ONESHOT}));
  EXPECT_TRUE(gs.tool_show);
  // Other items of the View menu and other menus leave the panels alone.
  DoMenuEvent(MENU_VIEW, 7, false, false);
  DoMenuEvent(400, VIEW_HIDE_ALL, false, false);
  EXPECT_TRUE(gs.tool_show);
}

}  // namespace
