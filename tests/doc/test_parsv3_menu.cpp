// The Import menu's "From another project..." item on the dispatch: an
// older project and a project of this version chosen in the open dialog
// (answered by the script), each one step of the history, and a cancelled
// dialog doing nothing.
#include <gtest/gtest.h>

#include <string>

#include "DocTestSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "host/HostScript.h"
#include "objects/VoskBlok.h"
#include "platform/SysIO.h"
#include "ui/DispatchTestSupport.h"
#include "ui/VoskDisp.h"

namespace {

class ImportProjectCommand : public dispatchtest::Dispatch {
 protected:
  void TearDown() override {
    Host_Script_Reset();
    Dispatch::TearDown();
  }
  static int32 Count_Kind(a_oj_kind kind) {
    int32 n = 0;
    for (int32 i = 0; i < g_doc.up->oj.nlist; ++i) n += g_doc.up->oj.list[i].kind == kind;
    return n;
  }
  static a_history_op Last_Op() { return g_hist.curr >= 0 ? g_hist.list[g_hist.curr].op : OP_NOP; }
};

TEST_F(ImportProjectCommand, OlderProjectLandsOnTheCurrentUnit) {
  Open();
  // A unit of its own design other than the first.
  ASSERT_TRUE(Unclone(2));
  Select_Doc_Unit(2);
  ASSERT_TRUE(Command_Enabled(int16(MENU_IMPORT + IMPORT_VELMOR)));
  const uint32 units = g_doc.doc_template.nunits;
  const uint32 seq = g_hist.cumseq;
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, VELMOR_FIXTURES_DIR "/v3/old_label.CDL");
  DoMenuEvent(MENU_IMPORT, IMPORT_VELMOR, false, false);
  EXPECT_EQ(g_doc.upx, 2u);
  EXPECT_EQ(Count_Kind(TEXT_BLOCK), 2);
  EXPECT_EQ(Count_Kind(PHOTO_BLOCK), 1);
  EXPECT_TRUE(g_doc.up->paintinuse);
  EXPECT_EQ(g_doc.doc_template.nunits, units);
  EXPECT_EQ(Last_Op(), OP_IMPORT);
  EXPECT_EQ(g_hist.cumseq, seq + 1);
  EXPECT_TRUE(g_doc.doc_changed);

  // Cancelled: nothing read, no step.
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, "");
  DoMenuEvent(MENU_IMPORT, IMPORT_VELMOR, false, false);
  EXPECT_EQ(Count_Kind(TEXT_BLOCK), 2);
  EXPECT_EQ(g_hist.cumseq, seq + 1);
}

// A project of this version brings its layout and units in.
TEST_F(ImportProjectCommand, CurrentProjectReplacesTheLayout) {
  Open();
  const std::string saved = tmp_ + "/other.CD4";
  FSSpec path{};
  ASSERT_TRUE(Path_From_Text(path, saved.c_str()));
  ASSERT_EQ(Write_DISC(path), DISC_WRITE_OK);
  const uint32 units = g_doc.doc_template.nunits;
  ASSERT_TRUE(Doc_New(doctests::Disc_Face_Template()));
  ASSERT_EQ(g_doc.doc_template.nunits, 1u);
  const uint32 seq = g_hist.cumseq;
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, saved);
  DoMenuEvent(MENU_IMPORT, IMPORT_VELMOR, false, false);
  EXPECT_EQ(g_doc.doc_template.nunits, units);
  EXPECT_EQ(Last_Op(), OP_IMPORT);
  EXPECT_EQ(g_hist.cumseq, seq + 1);
}

}  // namespace
