// The older small routines: overlaps of layout units (crossed rectangles
// included), the catalogue's HTML list (its real count, escaped labels,
// write errors), a photo frame drawn in XOR (never the paint layer), the
// mount prompt, the damaged-art alert, the idle step and the undo
// operation's trace.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "../platform/WinTestSupport.h"
#include "DocTestSupport.h"
#include "SoundTestSupport.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "doc/VoskTmpl.h"
#include "host/HostLaunch.h"
#include "host/HostScript.h"
#include "legacy/Console.h"
#include "legacy/VoskOld.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "ui/VoskCurs.h"
#include "ui/VoskHelp.h"

namespace {

// --- Overlaps ------------------------------------------------------------------------------

TEST(OlderRoutines, PointsInARectangleStopShortOfItsFarEdges) {
  const a_frect r{10, 20, 30, 40};
  struct Case {
    a_fpoint p;
    bool8 in;
  } cases[] = {{{10, 20}, true},     {{29.998f, 39.998f}, true}, {{30, 30}, false},
               {{20, 40}, false},    {{9.99f, 30}, false},       {{20, 19.99f}, false}};
  for (const Case& c : cases) EXPECT_EQ(PtInFrect(r, c.p), c.in) << c.p.x << ", " << c.p.y;
}

TEST(OlderRoutines, RectanglesOverlapWhenTheyShareArea) {
  const a_frect a{10, 10, 50, 50};
  struct Case {
    const char* what;
    a_frect b;
    bool8 overlap;
  } cases[] = {
      // Laid across each other like a plus sign: no corner of either lies in
      // the other, yet they share the middle.
      {"crossed", {20, 0, 40, 60}, true},
      {"crossed the other way", {0, 20, 60, 40}, true},
      {"one corner inside", {40, 40, 70, 70}, true},
      {"inside", {20, 20, 30, 30}, true},
      {"around", {0, 0, 60, 60}, true},
      {"the same", {10, 10, 50, 50}, true},
      {"a sliver across", {49.9f, 0, 60, 60}, true},
      {"touching on the right", {50, 10, 90, 50}, false},
      {"touching on the left", {0, 10, 10, 50}, false},
      {"touching below", {10, 50, 50, 90}, false},
      {"beside", {60, 10, 90, 50}, false},
      {"crossing its column but below it", {20, 60, 40, 90}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FRects_Overlap(a, c.b), c.overlap) << c.what;
    EXPECT_EQ(FRects_Overlap(c.b, a), c.overlap) << c.what << " (swapped)";
  }
}

TEST(OlderRoutines, ALayoutOverlapsWhenAnyTwoOfItsUnitsDo) {
  a_template x{};
  // Three labels in a row, edge to edge.
  for (int i = 0; i < 3; ++i) {
    a_unit& u = x.units[x.nunits++];
    u.bbox = a_frect{10.0f + 50 * i, 10, 60.0f + 50 * i, 40};
  }
  EXPECT_FALSE(Is_Overlapped_Template(x));
  // A fourth, tall and narrow, laid across the first one's middle only.
  x.units[x.nunits++].bbox = a_frect{30, 0, 40, 60};
  EXPECT_TRUE(Is_Overlapped_Template(x));
  // A single unit overlaps nothing.
  x.nunits = 1;
  EXPECT_FALSE(Is_Overlapped_Template(x));
}

// --- The catalogue as an HTML list ---------------------------------------------------------

class HtmlList : public testdir::TempDirTest {
 protected:
  HtmlList() : TempDirTest("velmor-list") {}
};

TEST_F(HtmlList, EachCatalogueEntryIsALineOfTheList) {
  ASSERT_TRUE(Dump_List(P("list.html").c_str()));
  std::istringstream in(testdir::Read_Text(P("list.html")));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  // As many lines as the catalogue has entries, not a fixed count.
  ASSERT_EQ(lines.size(), NTEMPLATES);
  for (uint32 tx = 1; tx <= NTEMPLATES; ++tx) {
    std::string label(g_ctemplates[tx - 1].label, strnlen(g_ctemplates[tx - 1].label, 32));
    std::string want = "<LI>";
    for (char ch : label) want += ch == '&' ? "&amp;" : ch == '<' ? "&lt;" : std::string(1, ch);
    ASSERT_EQ(lines[tx - 1], want) << "entry " << tx;
  }
}

TEST_F(HtmlList, LabelsAreEscapedAndTheListStopsAt5000) {
  a_html_list list{std::fopen(P("l.html").c_str(), "wb"), 0, true};
  ASSERT_NE(list.file, nullptr);
  const char label32[32] = "Ink & Co <Glossy> 3\"x2\"";
  Add_To_List(list, CStrSpan(label32));
  Add_To_List(list, CStrSpan("&&<", 3));
  Add_To_List(list, CStrSpan("cut\0after", 9));
  for (int i = 3; i < DUMP_LIST_MAX + 10; ++i) Add_To_List(list, CStrSpan("x", 1));
  EXPECT_EQ(list.count, DUMP_LIST_MAX);
  std::fclose(list.file);
  EXPECT_TRUE(list.ok);
  const std::string text = testdir::Read_Text(P("l.html"));
  const std::string head = "<LI>Ink &amp; Co &lt;Glossy> 3\"x2\"\n<LI>&amp;&amp;&lt;\n<LI>cut\n<LI>x\n<LI>x\n";
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), DUMP_LIST_MAX);
}

TEST_F(HtmlList, AListThatCannotBeWrittenIsReported) {
  // No folder to write into.
  EXPECT_FALSE(Dump_List(P("missing/list.html").c_str()));
  // A device that takes no bytes: every write fails.
  if (std::FILE* full = std::fopen("/dev/full", "wb")) {
    std::fclose(full);
    EXPECT_FALSE(Dump_List("/dev/full"));
  }
}

// --- A frame in XOR ----------------------------------------------------------------------

class FrameXor : public ::testing::Test {
 protected:
  void SetUp() override {
    doctests::Start_Document_Modules();
    ASSERT_TRUE(Doc_New(doctests::Disc_Face_Template()));
    Select_Doc_Unit(1);
    // The document view: a quarter size, its cell origin at the world's corner.
    gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 4}, 0, Rect{0, 0, 600, 600}};
    gs.nviews = 1;
    const OSErr err = New_GWorld(Rect{0, 0, 600, 600}, 32, nullptr, world_);
    ASSERT_EQ(err, noErr);
    Push_GWorld(world_);
    pushed_ = true;
    const PixMap& pm = world_->pix;
    std::memset(pm.baseAddr, 0x40, size_t(pm.rowBytes & 0x3FFF) * 600);
  }
  void TearDown() override {
    if (pushed_) Pop_GWorld();
    Dispose_GWorld(world_);
    doctests::Close_Document();
  }
  std::vector<uint8> Pixels() const {
    const PixMap& pm = world_->pix;
    const uint8* p = reinterpret_cast<const uint8*>(pm.baseAddr);
    return std::vector<uint8>(p, p + size_t(pm.rowBytes & 0x3FFF) * 600);
  }
  // A photo or symbol with a box of 400 x 300 cells.
  int32 Add(a_oj_kind kind) {
    int32 omx = 0;
    a_ph_rec* ph = PH_New(omx, kind);
    EXPECT_NE(ph, nullptr);
    if (ph == nullptr) return 0;
    ph->dst_box = Rect{200, 300, 500, 700};
    ph->dst_center = Point{350, 500};
    return omx;
  }

  GWorldPtr world_ = nullptr;
  bool pushed_ = false;
};

TEST_F(FrameXor, PhotosSymbolsAndSlotsOnlyAndTwiceUndoesIt) {
  const std::vector<uint8> clean = Pixels();
  for (a_oj_kind kind : {PHOTO_BLOCK, SYMBOL_BLOCK, SLOT_BLOCK}) {
    const int32 omx = Add(kind);
    ASSERT_GT(omx, 1);
    Frame_XOR(omx);
    const std::vector<uint8> framed = Pixels();
    size_t changed = 0;
    for (size_t i = 0; i < clean.size(); ++i) changed += framed[i] != clean[i];
    EXPECT_GT(changed, 400u) << int(kind);
    Frame_XOR(omx);
    EXPECT_EQ(Pixels(), clean) << int(kind);
  }
  // The paint layer (object 1) has no photo record; a text has none either;
  // indices outside the list are nothing.
  ASSERT_EQ(Obj_Item(1)->kind, PAINT_BLOCK);
  const int32 textx = OM_New();
  ASSERT_GT(textx, 1);
  ASSERT_EQ(Obj_Item(textx)->kind, TEXT_BLOCK);
  for (int32 omx : {1, textx, 0, -20001, MAX_OJ + 1, Curr_Obj_List()->nlist + 1}) {
    Frame_XOR(omx);
    EXPECT_EQ(Pixels(), clean) << omx;
  }
}

// --- Prompts, idle work and the trace ----------------------------------------------------

class OlderDialogs : public ::testing::Test {
 protected:
  void SetUp() override { wintest::Start_Dialog_Layer(); }
  void TearDown() override {
    wintest::Clear_Port_State();
    gs.outer_window = nullptr;
    Host_Script_Reset();
    wintest::Stop_Headless_Host();
  }
};

TEST_F(OlderDialogs, TheMountPromptIsTrueOnlyForOK) {
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  EXPECT_TRUE(Ask_Vol_Mount());
  // Unanswered, the headless dialog is cancelled.
  EXPECT_FALSE(Ask_Vol_Mount());
  Str255 prompt;
  Get_Translated_String(StrSpan(prompt), STRLIST_LEGACY, LEGACY_MOUNT_PROMPT);
  EXPECT_NE(std::string(prompt).find("mount"), std::string::npos);
}

TEST_F(OlderDialogs, BadArtShowsAlert52) {
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  testing::internal::CaptureStderr();
  Bad_Art();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("alert 52"), std::string::npos) << err;
  EXPECT_NE(err.find("art database"), std::string::npos) << err;
}

TEST_F(OlderDialogs, TheIdleStepWithoutADocumentShowsTheArrowWhileActive) {
  Cursor_Init();
  Cursor_Set_Shape(a_cursor_shape(ARROW_CURSOR + 1));
  Do_Null_NoDoc(false);
  EXPECT_NE(g_curr_cursor.shape, ARROW_CURSOR);
  Do_Null_NoDoc(true);
  EXPECT_EQ(g_curr_cursor.shape, ARROW_CURSOR);
  Cursor_Stop();
}

TEST(OlderRoutines, AnUndoOperationIsTracedByItsNumber) {
  const std::string dir = testdir::Make_Temp_Dir("velmor-op");
  ASSERT_FALSE(dir.empty());
  {
    testdir::EnvGuard state("XDG_STATE_HOME", dir.c_str());
    Trace_Stop();
    WriteString("op ");
    WriteOp(OP_IMPORT);
    EXPECT_EQ(Trace_Current_Line(), "op " + std::to_string(int(OP_IMPORT)));
    Trace_Stop();
  }
  testdir::Remove_Dir(dir);
}

// --- The older Help menus -----------------------------------------------------------------

TEST(OlderHelpMenus, EachItemReachesItsCommand) {
  Resources_Init();
  VoskDef_Init();
  gs.controller = HUMAN;  // alerts are written to standard error
  gs.curr_phase = PAINT_PHASE;
  // Nothing may really open: a stand-in that does nothing.
  Host_Set_Open_Command({"true"});
  soundtest::SoundRecorder sounds;
  // The web pages the items name have no address in this program, so each
  // plays the refusal; the help book and the manual are not beside the test
  // program, so they give alert 50; other items do nothing.
  enum Outcome { REFUSED, NO_HELP, NOTHING };
  struct Case {
    void (*menu)(int16);
    const char* name;
    int16 item;
    Outcome outcome;
  } cases[] = {
      {Do_Help_Menu, "Help", 1, NO_HELP},    {Do_Help_Menu, "Help", 3, REFUSED},
      {Do_Help_Menu, "Help", 4, REFUSED},    {Do_Help_Menu, "Help", 2, NOTHING},
      {Do_Help_Menu, "Help", 6, NOTHING},    {Do_Help2_Menu, "Help2", 1, NO_HELP},
      {Do_Help2_Menu, "Help2", 2, NO_HELP},  {Do_Help2_Menu, "Help2", 4, REFUSED},
      {Do_Help2_Menu, "Help2", 5, REFUSED},  {Do_Help2_Menu, "Help2", 7, REFUSED},
      {Do_Help2_Menu, "Help2", 3, NOTHING},  {Do_Help2_Menu, "Help2", 11, NOTHING},
  };
  for (const Case& c : cases) {
    sounds.Clear();
    testing::internal::CaptureStderr();
    c.menu(c.item);
    Host_Wait_Opens();
    const std::string said = testing::internal::GetCapturedStderr();
    const std::string what = std::string(c.name) + " item " + std::to_string(c.item);
    EXPECT_EQ(sounds.Ids(), c.outcome == REFUSED ? std::vector<int16>{SND_NULL} : std::vector<int16>{})
        << what;
    EXPECT_EQ(said.find("alert 50") != std::string::npos, c.outcome == NO_HELP) << what << ": " << said;
    if (c.outcome != NO_HELP) {
      EXPECT_EQ(said, "") << what;
    }
  }
  Host_Set_Open_Command({});
}

}  // namespace
