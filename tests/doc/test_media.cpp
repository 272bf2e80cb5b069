// Print-media settings of the open document: which list they come from, and
// the nudge turned for landscape pages.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/VoskDef.h"
#include "doc/VoskDoc.h"
#include "platform/VoskPref.h"

namespace {

class MediaSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    VoskDoc_Init();  // the document's print kind and orientation for the preferences
    // Every entry gets a distinct first adjustment, so reading the wrong one shows.
    for (int16 k = 0; k < NDIRECT_PRINT_KINDS; ++k)
      for (int16 i = 0; i < NMEDIA_SPECS; ++i) gs.pref.print_media[k].list[i].adj[0] = int16(k * 10 + i);
    g_doc.doc_template.nunits = 1;
  }
  void Layout(bool cd_printer, bool landscape, uint8 kind) {
    g_doc.doc_template.tflags = (cd_printer ? 1u << IS_CDPRINTER : 0u) |
                                (landscape ? 1u << IS_LANDSCAPE : 0u);
    g_doc.doc_template.units[0].kind = kind;
  }
};

TEST_F(MediaSettings, DirectPrintKindFollowsTheFirstUnit) {
  struct Case {
    bool cd_printer;
    uint8 kind;
    a_direct_print_kind want;
  };
  const Case cases[] = {
      {false, UNIT_CD, NOT_DIRECT},          {false, 3, NOT_DIRECT},
      {true, UNIT_CD, CD_DIRECT},            {true, UNIT_MINICD_RING, MINICD_DIRECT},
      {true, UNIT_MINICD_HOCKEY, HOCKEY_DIRECT}, {true, UNIT_MINICD_RECT, RECT_DIRECT},
  };
  for (const Case& c : cases) {
    Layout(c.cd_printer, false, c.kind);
    EXPECT_EQ(Calc_Direct_Print_Kind(), c.want) << int(c.kind);
  }
  Layout(true, false, 3);  // a disc-printer layout whose first unit is no disc
  EXPECT_THROW(Calc_Direct_Print_Kind(), QuitCalled);
}

TEST_F(MediaSettings, EntryComesFromTheDocumentsKindAndMedium) {
  Layout(true, false, UNIT_MINICD_HOCKEY);
  g_doc.doc_mediax = 2;
  a_print_media_spec s{};
  Get_Media_Specs(s);
  EXPECT_EQ(s.adj[0], HOCKEY_DIRECT * 10 + 2);

  s.adj[1] = 777;
  Set_Media_Specs(s);
  EXPECT_EQ(gs.pref.print_media[HOCKEY_DIRECT].list[2].adj[1], 777);
  EXPECT_EQ(gs.pref.print_media[HOCKEY_DIRECT].list[1].adj[1], 0);

  Layout(false, false, 3);
  g_doc.doc_mediax = 1;
  Get_Media_Specs(s);
  EXPECT_EQ(s.adj[0], NOT_DIRECT * 10 + 1);
}

TEST_F(MediaSettings, LandscapeTurnsTheNudge) {
  Layout(true, true, UNIT_CD);
  g_doc.doc_mediax = 1;
  gs.pref.print_media[CD_DIRECT].list[1].nudge = Point{10, 3};
  a_print_media_spec s{};
  Get_Media_Specs(s);
  EXPECT_EQ(s.nudge, (Point{-3, 10}));
  Set_Media_Specs(s);  // and back
  EXPECT_EQ(gs.pref.print_media[CD_DIRECT].list[1].nudge, (Point{10, 3}));

  s.nudge = Point{5, -7};  // a nudge set on the landscape page
  Set_Media_Specs(s);
  EXPECT_EQ(gs.pref.print_media[CD_DIRECT].list[1].nudge, (Point{-7, -5}));

  Layout(true, false, UNIT_CD);  // portrait: as stored
  Get_Media_Specs(s);
  EXPECT_EQ(s.nudge, (Point{-7, -5}));
}

TEST_F(MediaSettings, MediumIndexOutsideTheListUsesTheFirstEntry) {
  Layout(true, false, UNIT_CD);
  for (int16 bad : {int16(3), int16(-1), int16(32767)}) {
    g_doc.doc_mediax = bad;
    a_print_media_spec s{};
    Get_Media_Specs(s);
    EXPECT_EQ(s.adj[0], CD_DIRECT * 10 + 0) << bad;
    s.adj[2] = bad;
    Set_Media_Specs(s);
    EXPECT_EQ(gs.pref.print_media[CD_DIRECT].list[0].adj[2], bad);
  }
}

}  // namespace
