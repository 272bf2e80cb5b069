// The editor across the history: cancelling an edit undoes it silently (a
// text made for the edit goes), and an undo while a text is edited rebuilds
// every record without leaving the editor on a freed one or past the end.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "../DocTestSupport.h"
#include "FontTestSupport.h"
#include "TempDirSupport.h"
#include "objects/VoskEdit.h"
#include "objects/VoskText.h"
#include "platform/SysFont.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

a_keystroke Typed(UniChar c) { return a_keystroke{0, uint8(c), c, 0}; }

class EditUndo : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    tmp_ = testdir::Make_Temp_Dir("edit");
    ASSERT_FALSE(tmp_.empty());
    env_ = std::make_unique<testdir::EnvGuard>("TMPDIR", tmp_.c_str());
    doctests::Start_Document_Modules();
    SV_Init();
    Fonts_Stop();
    Fonts_Init();
    g_ed = a_edit_rec{};
    gs.controller = GHOST;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    for (int16 i = 0; i < NSLIDERS; ++i) gs.slider_vals[i] = SLIDER_VALUES[i].defaultval;
    gs.bar_selection[FONT_BAR] = int16(Find_Font_Name(CStrSpan("DejaVu Sans Mono")));
    a_template x{};
    std::strcpy(x.label, "Edit sheet");
    x.papersize = {215.9f, 279.4f};
    a_unit& u = x.units[x.nunits++];
    u.kind = UNIT_CD;
    u.bbox = a_frect{5, 5, 125, 125};
    u.meas[0] = 15;
    ASSERT_TRUE(Doc_New(x));
    Select_Doc_Unit(1);
    gs.curr_phase = TEXT_PHASE;
    gs.txedit_phase = TXEDIT_MOVE;
    gs.curr_kindset = Kind_Bit(TEXT_BLOCK);
  }
  void TearDown() override {
    g_ed = a_edit_rec{};
    doctests::Close_Document();
    History_Stop();
    env_.reset();
    testdir::Remove_Dir(tmp_);
  }
  static int32 Texts() { return Count(false, Kind_Bit(TEXT_BLOCK)); }
  static std::u16string Text() {
    const a_om_rec* om = Ed_Target();
    std::u16string s;
    for (int32 i = 0; om != nullptr && i < om->nxyl - 1; ++i) s.push_back(char16_t(om->xyl[i].cc_char));
    return s;
  }

  std::string tmp_;
  std::unique_ptr<testdir::EnvGuard> env_;
};

}  // namespace

TEST_F(EditUndo, CancellingATextMadeForTheEditTakesItAway) {
  Text_New_At(Point{400, 300});
  SV_Finish();
  ASSERT_EQ(gs.txedit_phase, TXEDIT_EDIT);
  ASSERT_NE(Ed_Target(), nullptr);
  EXPECT_TRUE(g_ed.edit_new);
  for (UniChar c : std::u16string(u"abc")) Edit_KeyDown(Typed(c));
  EXPECT_EQ(Text(), u"abc");
  ASSERT_EQ(Texts(), 1);

  Edit_KeyDown(a_keystroke{27, 27, 27, 0});
  SV_Finish();
  EXPECT_EQ(Texts(), 0);
  EXPECT_EQ(g_ed.edit_objid, 0u);
  EXPECT_EQ(Ed_Target(), nullptr);
  EXPECT_EQ(gs.txedit_phase, TXEDIT_MOVE);
}

TEST_F(EditUndo, AnUndoWhileEditingLeavesTheEditorOnTheRestoredText) {
  const std::u16string hello = u"hello world";
  Text_New2(reinterpret_cast<const UniChar*>(hello.data()), int32(hello.size()), 0, Point{NO_POINT, NO_POINT}, true);
  History_Emit(OP_TEXT_NEW);
  Text_Edit();
  SV_Finish();
  ASSERT_NE(Ed_Target(), nullptr);
  const uint32 id = g_ed.edit_objid;
  Set_Sel_Empty(12);
  for (UniChar c : std::u16string(u"!!!")) Edit_KeyDown(Typed(c));
  EXPECT_EQ(Text(), u"hello world!!!");
  History_Emit(OP_TEXT_EDIT);
  Set_Sel_Empty(15);

  Undo_Button();  // Ctrl+Z: every record is made anew
  SV_Finish();
  a_om_rec* om = Ed_Target();
  ASSERT_NE(om, nullptr);
  EXPECT_EQ(g_ed.edit_objid, id);
  EXPECT_EQ(om, Obj_Item(g_ed.edit_omx)->om);
  EXPECT_LE(g_ed.sel_hi, om->nxyl);
  EXPECT_GE(g_ed.sel_lo, 1);
  EXPECT_EQ(Text(), hello);
  Edit_KeyDown(a_keystroke{0x23, 0, 126, 0});
  Edit_KeyDown(Typed(u'?'));
  EXPECT_EQ(Text(), u"hello world?");
}

// Two edits of one text cancelled in a row: each goes back to the text as
// it was before that edit, never to what an earlier cancel recorded, and
// the history offers the cancelled edit again with Redo.
TEST_F(EditUndo, TwoCancelledEditsInARowEachGoBack) {
  const std::u16string hello = u"hello";
  Text_New2(reinterpret_cast<const UniChar*>(hello.data()), int32(hello.size()), 0, Point{NO_POINT, NO_POINT}, true);
  History_Emit(OP_TEXT_NEW);
  for (const std::u16string typed : {u" one", u" two"}) {
    SCOPED_TRACE(std::string(typed.begin(), typed.end()));
    Text_Edit();
    SV_Finish();
    ASSERT_NE(Ed_Target(), nullptr);
    Set_Sel_Empty(6);
    for (UniChar c : typed) Edit_KeyDown(Typed(c));
    EXPECT_EQ(Text(), hello + typed);
    Edit_KeyDown(a_keystroke{27, 27, 27, 0});  // Escape: Edit_Cancel
    SV_Finish();
    EXPECT_EQ(gs.txedit_phase, TXEDIT_MOVE);
    Text_Edit();
    SV_Finish();
    EXPECT_EQ(Text(), hello);
    int32 undo, redo;
    Calc_Undo_Avail(undo, redo);
    EXPECT_GE(redo, 0) << "the cancelled edit can be redone";
  }
  Redo_Button();
  SV_Finish();
  EXPECT_EQ(Text(), u"hello two") << "the last cancelled edit, not the first";
}
