// The in-place text editor over a fixed-advance font: moves by characters,
// words and lines (up and down by the remembered column), selections
// extended from either end, deletes, the room rule, right-to-left typing,
// characters outside the Basic Multilingual Plane, an edit record made
// stale by a restore, mouse selection and the overrides.
#include <vector>

#include "SoundTestSupport.h"
#include "host/HostBackend.h"
#include "host/HostTextInput.h"
#include "platform/QDRect.h"
#include "platform/WinTestSupport.h"
#include "test_edit_fixture.h"

using namespace edittest;

namespace {

// "ab cd" CR "ef": positions 1 (before a) .. 9 (the end); the second line
// starts at 7. Characters are 60 pixels apart from x = 100 on lines at
// y = 300 and 400.
const std::u16string kTwoLines = U("ab cd\ref");

struct a_move_case {
  const char* name;
  int32 from;
  a_keystroke key;
  int32 to;
};

}  // namespace

TEST_F(Editing, MovesByCharacterWordLineAndEnds) {
  const std::vector<a_move_case> cases = {
      {"right", 1, Virt(kRight), 2},
      {"left", 5, Virt(kLeft), 4},
      {"word forward to the next word", 1, Virt(kRight, kCtrl), 4},
      {"word forward over a break", 4, Virt(kRight, kCtrl), 7},
      {"word forward from the last word: the end", 7, Virt(kRight, kCtrl), 9},
      {"word back from the end", 9, Virt(kLeft, kCtrl), 7},
      {"word back over a break", 7, Virt(kLeft, kCtrl), 4},
      {"word back from inside the first word: 1", 2, Virt(kLeft, kCtrl), 1},
      {"up by the column", 8, Virt(kUp), 2},
      {"down by the column", 2, Virt(kDown), 8},
      {"up from the first line: 1", 3, Virt(kUp), 1},
      {"down from the last line: the end", 8, Virt(kDown), 9},
      {"home", 5, Virt(kHome), 1},
      {"end", 5, Virt(kEnd), 9},
      {"ctrl up: home", 8, Virt(kUp, kCtrl), 1},
      {"ctrl down: end", 2, Virt(kDown, kCtrl), 9},
      {"ctrl S: a character back", 5, a_keystroke{0, 19, 19, kCtrl}, 4},
      {"ctrl F: a word forward", 1, a_keystroke{0, 6, 6, kCtrl}, 4},
  };
  for (const a_move_case& c : cases) {
    Edit(kTwoLines, c.from);
    EXPECT_TRUE(Edit_KeyDown(c.key)) << c.name;
    EXPECT_EQ(Sel(), std::make_pair(c.to, c.to)) << c.name;
    OMast_Dispose(unit_->oj);
  }
}

TEST_F(Editing, LineStartsAndEndsStopAtBreaks) {
  Edit(kTwoLines, 1);
  const a_om_rec& om = *Om();
  EXPECT_EQ(Ed_Find(om, FIND_LINE_START, 5), 1);
  EXPECT_EQ(Ed_Find(om, FIND_LINE_END, 5), 6);  // before the break
  EXPECT_EQ(Ed_Find(om, FIND_LINE_START, 8), 7);
  EXPECT_EQ(Ed_Find(om, FIND_LINE_END, 8), 9);
}

TEST_F(Editing, RepeatedUpAndDownKeepTheColumn) {
  Edit(kTwoLines, 5);  // before d, 240 along
  Keys({Virt(kDown)});
  EXPECT_EQ(Sel().first, 8);  // the second line is shorter: f is nearest
  Keys({Virt(kUp)});
  EXPECT_EQ(Sel().first, 5);  // back to d, not to b under f
  Keys({Virt(kRight), Virt(kDown), Virt(kUp)});
  EXPECT_EQ(Sel().first, 6) << "another move forgets the column";
}

TEST_F(Editing, AMoveThatCannotMoveSoundsAndUpDownInASpiralStay) {
  soundtest::SoundRecorder sounds;
  Edit(kTwoLines, 1);
  Keys({Virt(kLeft)});
  EXPECT_EQ(Sel(), std::make_pair(1, 1));
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL});
  OMast_Dispose(unit_->oj);
  Edit(kTwoLines, 5, LAYOUT_SPIRAL_CW);
  Keys({Virt(kUp), Virt(kDown)});
  EXPECT_EQ(Sel(), std::make_pair(5, 5));
}

TEST_F(Editing, SelectionsExtendFromEitherEndAndCollapse) {
  Edit(kTwoLines, 4);
  Keys({Virt(kRight, kShift), Virt(kRight, kShift)});
  EXPECT_EQ(Sel(), std::make_pair(4, 6));
  Keys({Virt(kLeft, kShift)});
  EXPECT_EQ(Sel(), std::make_pair(3, 6)) << "back-selections move the start";
  Keys({Virt(kLeft, kShift | kCtrl)});
  EXPECT_EQ(Sel(), std::make_pair(1, 6));
  Keys({Virt(kRight, kShift | kCtrl)});
  EXPECT_EQ(Sel(), std::make_pair(1, 7)) << "forward-selections move the end";
  Keys({Virt(kDown, kShift)});
  EXPECT_EQ(Sel(), std::make_pair(1, 9));
  Keys({Virt(kRight)});
  EXPECT_EQ(Sel(), std::make_pair(9, 9)) << "right collapses to the end";
  Set_Sel_Range(6, 3);
  EXPECT_EQ(Sel(), std::make_pair(3, 6));
  Keys({Virt(kLeft)});
  EXPECT_EQ(Sel(), std::make_pair(3, 3)) << "left collapses to the start";
  Sel_End();
  EXPECT_EQ(Sel(), std::make_pair(3, 9));
  Set_Sel_Empty(5);
  Sel_Home();
  EXPECT_EQ(Sel(), std::make_pair(1, 5));
  TextR_Select_All();
  EXPECT_EQ(Sel(), std::make_pair(1, 9));
  TextR_Select_None();
  EXPECT_EQ(Sel(), std::make_pair(1, 1));
}

TEST_F(Editing, Deletes) {
  struct a_case {
    const char* name;
    int32 lo, hi;
    a_keystroke key;
    const char* text;
    int32 caret;
    bool beep;
  };
  const std::vector<a_case> cases = {
      {"backspace", 3, 3, Backspace(), "a cd\ref", 2, false},
      {"delete", 3, 3, Delete(), "abcd\ref", 3, false},
      {"backspace at the start", 1, 1, Backspace(), "ab cd\ref", 1, true},
      {"delete at the end", 9, 9, Delete(), "ab cd\ref", 9, true},
      {"word back", 6, 6, Backspace(kCtrl), "ab \ref", 4, false},
      {"word forward", 1, 1, Delete(kCtrl), "cd\ref", 1, false},
      {"the selection", 2, 5, Backspace(), "ad\ref", 2, false},
      {"the selection whatever the modifiers", 2, 5, Delete(kShift | kCtrl), "ad\ref", 2, false},
      {"a break joins the lines", 7, 7, Backspace(), "ab cdef", 6, false},
  };
  for (const a_case& c : cases) {
    soundtest::SoundRecorder sounds;
    Edit(kTwoLines);
    Set_Sel_Range(c.lo, c.hi);
    Keys({c.key});
    EXPECT_EQ(Text(), U(c.text)) << c.name;
    EXPECT_EQ(Sel(), std::make_pair(c.caret, c.caret)) << c.name;
    EXPECT_EQ(sounds.Ids().size(), c.beep ? 1u : 0u) << c.name;
    OMast_Dispose(unit_->oj);
  }
}

TEST_F(Editing, TypingReplacesTheSelectionKeepingItsStyleAndBreaksLines) {
  Edit(U("abc"), 1);
  Om()->xyl[1].cc_boldf = true;
  Set_Sel_Range(2, 3);
  Type(u"XY");
  EXPECT_EQ(Text(), u"aXYc");
  EXPECT_TRUE(Om()->xyl[1].cc_boldf) << "X took b's place and style";
  EXPECT_FALSE(Om()->xyl[2].cc_boldf) << "Y is new";
  EXPECT_EQ(Sel(), std::make_pair(4, 4));
  Keys({Virt(13)});
  EXPECT_EQ(Text(), u"aXY\rc");
  EXPECT_EQ(Om()->xyl[3].mm_cat, CC_HARDBREAK);
}

TEST_F(Editing, TheRoomRule) {
  soundtest::SoundRecorder sounds;
  const std::u16string full(MAX_NXYL - 1, u'x');
  Edit(full, MAX_NXYL);
  Type(u"y");
  EXPECT_EQ(Om()->nxyl, MAX_NXYL);
  EXPECT_EQ(Text(), full);
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL});

  // A selection is replaced as far as the room allows; what is left out
  // sounds too.
  sounds.Clear();
  Set_Sel_Range(1, 3);
  const UniChar abc[] = {'A', 'B', 'C', 0};
  EXPECT_TRUE(Ed_Ins_UBuf(abc, 3));
  EXPECT_EQ(Text().substr(0, 3), u"ABx");
  EXPECT_EQ(Om()->nxyl, MAX_NXYL);
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL});
  sounds.Clear();
  Set_Sel_Range(1, 2);
  Type(u"Q");
  EXPECT_EQ(Text().substr(0, 3), u"QBx");
  EXPECT_TRUE(sounds.Ids().empty());
}

TEST_F(Editing, RightToLeftTextLeavesTheCaretBeforeIt) {
  Edit(U("ab"), 2);
  Type(u"\u05D0");
  EXPECT_EQ(Sel(), std::make_pair(2, 2));
  Type(u"x");
  EXPECT_EQ(Sel(), std::make_pair(3, 3));
  // A leading space lets the character after the text decide.
  Edit(u"a\u0627", 2);
  const UniChar space[] = {' ', 0};
  Ed_Ins_UBuf(space, 1);
  EXPECT_EQ(Sel(), std::make_pair(2, 2));
  EXPECT_TRUE(Is_Semitic(0x0627) && Is_Semitic(0xFB20) && !Is_Semitic(0x0041) && !Is_Semitic(0xFD20));
}

TEST_F(Editing, CharactersOutsideThePlaneStayWhole) {
  soundtest::SoundRecorder sounds;
  Edit(U("ab"), 2);
  // Typed as two keystrokes: the first waits for the second.
  Keys({Char(0xD83D)});
  EXPECT_EQ(Text(), u"ab");
  Keys({Char(0xDE00)});
  EXPECT_EQ(Text(), u"a\U0001F600b");
  EXPECT_EQ(Sel(), std::make_pair(4, 4));
  Keys({Virt(kLeft)});
  EXPECT_EQ(Sel(), std::make_pair(2, 2)) << "a move steps over the pair";
  Keys({Virt(kRight)});
  EXPECT_EQ(Sel(), std::make_pair(4, 4));
  Set_Sel_Range(3, 3);
  EXPECT_EQ(Sel(), std::make_pair(2, 2)) << "no position between the halves";
  Set_Sel_Range(3, 5);
  EXPECT_EQ(Sel(), std::make_pair(2, 5));
  Set_Sel_Empty(4);
  Keys({Backspace()});
  EXPECT_EQ(Text(), u"ab") << "deleted whole";
  // A lone half is dropped; a high half followed by anything else too.
  Keys({Char(0xDE00), Char(0xD83D), Char(u'z')});
  EXPECT_EQ(Text(), u"azb");
  EXPECT_TRUE(sounds.Ids().empty());

  // The room cut never keeps half a pair.
  Edit(std::u16string(MAX_NXYL - 2, u'x'), MAX_NXYL - 1);
  sounds.Clear();
  const UniChar pair[] = {0xD83D, 0xDE00, 0};
  EXPECT_FALSE(Ed_Ins_UBuf(pair, 2));
  EXPECT_EQ(Om()->nxyl, MAX_NXYL - 1);
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL});
}

TEST_F(Editing, ARestoredRecordIsFoundAgainByItsId) {
  const int32 omx = Edit(U("hello world"), 12);
  Set_Sel_Range(7, 12);
  // A restore rebuilds every record: the list holds another one, shorter,
  // and the object has moved up by one.
  a_om_rec* old_rec = unit_->oj.list[omx - 1].om;
  a_om_rec* restored = Record(U("hi"));
  a_oj_item moved = unit_->oj.list[omx - 1];
  moved.om = restored;
  unit_->oj.list[omx - 1] = a_oj_item{NextUniqueID(), uint8(OJ_Flag_Bit(VISIBLE_FLAG)), TEXT_BLOCK, {}};
  unit_->oj.list[omx - 1].om = Record(U("other"));
  Obj_Append(unit_->oj, TEXT_BLOCK, moved.flags, nullptr, restored);
  unit_->oj.list[unit_->oj.nlist - 1].objid = moved.objid;
  a_om_rec* dangling = old_rec;
  OM_Dispose(old_rec);
  g_ed.edit_objid = moved.objid;
  g_ed.edit_omx = omx;  // now another object's place
  g_ed.edit_om = dangling;
  g_ed.sel_lo = 7;
  g_ed.sel_hi = 12;

  EXPECT_FALSE(Edit_KeyDown(Virt(kPageUp)));
  EXPECT_EQ(g_ed.edit_om, restored);
  EXPECT_EQ(g_ed.edit_omx, unit_->oj.nlist);
  EXPECT_EQ(Sel(), std::make_pair(3, 3)) << "the selection was kept within the shorter text";
  Type(u"!");
  EXPECT_EQ(Text(), u"hi!");
  EXPECT_EQ(unit_->oj.list[omx - 1].om->xyl[0].cc_char, u'o') << "the other object is untouched";

  // Gone altogether: the edit ends.
  Obj_Dispose(unit_->oj, unit_->oj.nlist);
  EXPECT_FALSE(Edit_KeyDown(Virt(kLeft)));
  EXPECT_EQ(g_ed.edit_objid, 0u);
}

TEST_F(Editing, ClicksFindPlacedCharactersAndTheEnd) {
  Edit(U("ab cd"), 1);
  a_om_rec& om = *Om();
  // d overflows: no place, though its fields say (0, 0).
  om.xyl[4].mm_cat = CC_OVERFLOW;
  om.xyl[4].mm_x = om.xyl[4].mm_y = 0;
  om.xyl[2].mm_cat = CC_IGNORE;
  EXPECT_EQ(Nearest_Position(om, Point{5, 5}), 1) << "near the unit's corner";
  EXPECT_EQ(Nearest_Position(om, Point{300, 200}), 2) << "an ignored space takes no click";
  Begin_Text_Change(g_ed.edit_omx);
  End_Text_Change(g_ed.edit_omx);
  EXPECT_EQ(Nearest_Position(*Om(), Point{300, 395}), 6) << "the end, after the last character";
  EXPECT_EQ(Nearest_Position(*Om(), Point{300, 345}), 5);
}

TEST_F(Editing, MouseSelectsCaretWordParagraphAndExtends) {
  Edit(kTwoLines, 1);
  const Point on_c{300, 285}, on_d{300, 345}, on_a{300, 100}, on_e{400, 100};
  Track_Text_Range(1, on_c, 2, false);
  EXPECT_EQ(Sel(), std::make_pair(4, 6)) << "double click: the word";
  Track_Text_Range(1, on_c, 3, false);
  EXPECT_EQ(Sel(), std::make_pair(1, 7)) << "triple click: the paragraph with its break";
  Track_Text_Range(1, on_e, 3, false);
  EXPECT_EQ(Sel(), std::make_pair(7, 9));
  Track_Text_Range(1, Point{300, 160}, 1, false);
  EXPECT_EQ(Sel(), std::make_pair(2, 2)) << "a click: the caret";
  Track_Text_Range(1, on_d, 1, true);
  EXPECT_EQ(Sel(), std::make_pair(2, 5)) << "shift-click after: from the start";
  Track_Text_Range(1, on_a, 1, true);
  EXPECT_EQ(Sel(), std::make_pair(1, 5)) << "shift-click before: from the end";
}

TEST_F(Editing, OverridesGoIntoTheSelectionAndShowInTheControls) {
  Edit(kTwoLines, 1);
  Set_Sel_Range(2, 4);
  gs.toggle_vals[TEXTR_BOLD_TOGGLE] = true;
  gs.slider_vals[TEXTR_DX_SLIDER] = 10;
  gs.slider_vals[TEXTR_DY_SLIDER] = -5;
  gs.slider_vals[TEXTR_ANGLE_SLIDER] = 150;
  gs.slider_vals[TEXTR_SIZE_SLIDER] = 140;
  Delta_Text_Override();
  const a_om_rec& om = *Om();
  EXPECT_EQ(om.xyl[1].cc_nudgex, 10);
  EXPECT_EQ(om.xyl[2].cc_nudgex, 0) << "the shift carries the rest along";
  for (int32 i : {1, 2}) {
    EXPECT_EQ(om.xyl[i].cc_nudgey, -5);
    EXPECT_EQ(om.xyl[i].cc_nudget, 150);
    EXPECT_EQ(om.xyl[i].cc_size, 140);
    EXPECT_TRUE(om.xyl[i].cc_boldf);
  }
  EXPECT_FALSE(om.xyl[0].cc_boldf);
  EXPECT_FALSE(om.xyl[3].cc_boldf);
  EXPECT_TRUE(Is_Text_Range());

  Set_Sel_Empty(1);
  EXPECT_FALSE(gs.toggle_vals[TEXTR_BOLD_TOGGLE]);
  EXPECT_EQ(gs.slider_vals[TEXTR_SIZE_SLIDER], SLIDER_VALUES[TEXTR_SIZE_SLIDER].defaultval);
  EXPECT_EQ(gs.slider_vals[TEXTR_DX_SLIDER], 0);
  Set_Sel_Range(2, 3);
  EXPECT_TRUE(gs.toggle_vals[TEXTR_BOLD_TOGGLE]);
  EXPECT_EQ(gs.slider_vals[TEXTR_DX_SLIDER], 10);
  EXPECT_EQ(gs.slider_vals[TEXTR_ANGLE_SLIDER], 150);
  EXPECT_EQ(gs.slider_vals[TEXTR_SIZE_SLIDER], 140);

  Text_Clear_Overrides();
  EXPECT_FALSE(Om()->xyl[1].cc_boldf);
  EXPECT_EQ(Om()->xyl[1].cc_nudgex, 0);
  EXPECT_EQ(Om()->xyl[1].cc_size, SLIDER_VALUES[TEXTR_SIZE_SLIDER].defaultval);
}

TEST_F(Editing, KeysAreTheEditorsOnlyWhileItEditsCharacters) {
  Edit(kTwoLines, 3);
  gs.txedit_phase = TXEDIT_MOVE;
  EXPECT_FALSE(Edit_KeyDown(Virt(kLeft)));
  EXPECT_FALSE(Edit_KeyDown(Char(u'q')));
  EXPECT_EQ(Text(), kTwoLines);
  gs.txedit_phase = TXEDIT_EDIT;
  EXPECT_FALSE(Edit_KeyDown(Virt(kPageUp))) << "page up is not the editor's";
  EXPECT_FALSE(Edit_KeyDown(Virt(kLeft, 8))) << "a cell of the table without a move";
  EXPECT_FALSE(Edit_KeyDown(a_keystroke{9, 9, 9, 0})) << "tab";
  EXPECT_TRUE(Edit_KeyDown(Char(u'q')));
  EXPECT_EQ(Text(), U("abq cd\ref"));
}

TEST_F(Editing, TheCaretStandsAtTheSelectionsStartWhenNothingIsSelected) {
  Caret_Init();
  Edit(kTwoLines, 4);  // before c: x 280 on the line at y 300
  Set_Sel_Range(4, 6);
  Caret_Tick();
  EXPECT_FALSE(g_caret.active) << "no caret over a range";
  Set_Sel_Empty(4);
  Caret_Tick();
  ASSERT_TRUE(g_caret.active);
  const Rect& b = g_caret.box;
  EXPECT_LE(b.left, 280);
  EXPECT_GE(b.right, 280);
  EXPECT_LE(b.right - b.left, 4);
  EXPECT_LT(b.top, 300 - 50) << "up to the ascent of 24 points";
  EXPECT_GT(b.bottom, 300 + 10) << "down to the descent";
  // At the end: after the last character of the second line.
  Set_Sel_Empty(9);
  Caret_Tick();
  EXPECT_LE(g_caret.box.left, 220);
  EXPECT_GE(g_caret.box.right, 220);
  EXPECT_GT(g_caret.box.bottom, 400);
  Caret_Inval();
  EXPECT_FALSE(g_caret.active);
}

TEST_F(Editing, LeavingTheTextPhaseRendersTheEditedTextAgain) {
  Edit(kTwoLines, 3);
  const Rect box = Om()->bbox;
  ASSERT_FALSE(EmptyRect(box));
  OMast_Dispose(unit_->oj);
  const struct {
    const char* name;
    Rect dirty, want;
  } cases[] = {
      {"nothing dirty: the text's box", Rect{0, 0, 0, 0}, box},
      {"something dirty: both", Rect{1000, 1000, 1010, 1010}, Rect{box.top, box.left, 1010, 1010}},
  };
  for (const auto& c : cases) {
    Edit(kTwoLines, 3);
    unit_->render_dirty = c.dirty;
    Text_Leave();
    EXPECT_EQ(unit_->render_dirty, c.want) << c.name;
    EXPECT_EQ(g_ed.edit_objid, 0u) << c.name;
    OMast_Dispose(unit_->oj);
  }
  // The edited text gone (a restore without it): nothing to render, the
  // edit ends all the same.
  Edit(kTwoLines, 3);
  const uint32 id = g_ed.edit_objid;
  Obj_Dispose(unit_->oj, unit_->oj.nlist);
  ASSERT_NE(id, 0u);
  unit_->render_dirty = Rect{0, 0, 0, 0};
  Text_Leave();
  EXPECT_TRUE(EmptyRect(unit_->render_dirty));
  EXPECT_EQ(g_ed.edit_objid, 0u);
}

namespace {

// The editor with a headless main window, its client area from (40, 60) of
// the screen.
class EditingInWindow : public Editing {
 protected:
  void SetUp() override {
    Host_Win_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    wintest::Init_Window_Layer();
    Editing::SetUp();
    if (IsSkipped()) return;
    gs.outer_window = New_Window(Rect{40, 60, 640, 860}, "main", true, 8, nullptr, nullptr, &info_);
    ASSERT_NE(gs.outer_window, nullptr);
  }
  void TearDown() override {
    Host_Set_Text_Input_Sink(nullptr);
    Editing::TearDown();
    gs.outer_window = nullptr;
    wintest::Clear_Port_State();
    wintest::Stop_Headless_Host();
  }
  a_win_info_rec info_{nullptr, nullptr, MAIN_KIND, {}};
};

HWND g_sink_top = nullptr;
RECT g_sink_box{0, 0, 0, 0};
void Sink(HWND top, const RECT& box) {
  g_sink_top = top;
  g_sink_box = box;
}

}  // namespace

// The input method composes at the caret: its box follows the caret, on the
// screen and, for the display, within the main window's frame.
TEST_F(EditingInWindow, TheInputMethodsBoxFollowsTheCaret) {
  Caret_Init();
  g_sink_top = nullptr;
  Host_Set_Text_Input_Sink(Sink);
  RECT frame{};
  ASSERT_TRUE(GetWindowRect(gs.outer_window, &frame));
  for (const int32 p : {4, 9}) {
    SCOPED_TRACE(p);
    Edit(kTwoLines, p);
    Caret_Set();
    const Rect& caret = g_caret.box;
    ASSERT_FALSE(EmptyRect(caret));
    POINT origin{0, 0};
    ASSERT_TRUE(ClientToScreen(gs.outer_window, &origin));
    RECT screen{};
    ASSERT_TRUE(Host_Text_Input_Rect_Last(screen));
    EXPECT_EQ(screen.left, origin.x + caret.left);
    EXPECT_EQ(screen.top, origin.y + caret.top);
    EXPECT_EQ(screen.right - screen.left, caret.right - caret.left);
    EXPECT_EQ(screen.bottom - screen.top, caret.bottom - caret.top);
    EXPECT_EQ(g_sink_top, gs.outer_window);
    EXPECT_EQ(g_sink_box.left, screen.left - frame.left);
    EXPECT_EQ(g_sink_box.top, screen.top - frame.top);
    EXPECT_EQ(g_sink_box.bottom - g_sink_box.top, screen.bottom - screen.top);
    OMast_Dispose(unit_->oj);
  }
  // An empty box leaves the last one.
  RECT before{};
  ASSERT_TRUE(Host_Text_Input_Rect_Last(before));
  Host_Text_Input_Rect(gs.outer_window, RECT{5, 5, 5, 20});
  RECT after{};
  ASSERT_TRUE(Host_Text_Input_Rect_Last(after));
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  Caret_Inval();
}
