// The layout designer's sheet preview in the real program: it measures the
// design in the design's own units whatever layout the open project is on
// (a project on Letter paper, measured in inches, and one on A4, in
// millimetres, show the same millimetre design alike), and the print
// dialog that Print Preview opens over it leaves it whole when it closes.
// The dialog's place comes from the test process, which lays it out on a
// headless screen of the same size.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "DesignScriptSupport.h"
#include "ProgramShotSupport.h"
#include "doc/VoskFile.h"
#include "doc/VoskTmpl.h"
#include "host/HostDialog.h"
#include "platform/SysDlog.h"
#include "ui/VoskAskDesign.h"
#include "ui/VoskConf.h"
#include "ui/VoskDisp.h"

namespace {

namespace fs = std::filesystem;
using designscript::Keys;
using designscript::Tab;
using designscript::Type;
using programshot::Shot;

constexpr int kScreenW = 1280, kScreenH = 1024;

class DesignPreview : public programshot::PanelTree {
 protected:
  void SetUp() override {
    programshot::PanelTree::SetUp();
    if (HasFatalFailure()) return;
    Start_First_Run("design-preview");
    SysDlog_Init();
    gs.controller = HUMAN;
    gs.curr_phase = NODOC_PHASE;
    Config_All();
  }
  void TearDown() override {
    Host_Script_Reset();
    if (!HasFailure()) fs::remove_all(dir_);
    Bar_Stop();
    programshot::PanelTree::TearDown();
  }
  // A project on the catalogue's layout label, written as the program
  // writes one.
  void Write_Project(const char* label, const std::string& path) {
    const uint32 tx = Find_Template(CStrSpan(label, std::strlen(label)));
    ASSERT_NE(tx, 0u) << label;
    ASSERT_TRUE(Proj_PickLayout2(tx));
    FSSpec spec{};
    ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
    ASSERT_TRUE(Doc_Write(FMT_DISC, spec));
    doctests::Close_Document();
  }
  // Where the designer's items lie in the main window, as it opens there.
  Rect Item_Rect(int16 item) {
    HostDlgTemplate tmpl;
    EXPECT_TRUE(Get_Dialog_Template(DLOG_DESIGN, tmpl));
    HWND d = CreateDialogIndirectParam(nullptr, &tmpl, gs.outer_window,
                                       [](HWND, UINT, WPARAM, LPARAM) -> intptr_t { return 0; }, 0);
    EXPECT_NE(d, nullptr);
    if (d == nullptr) return Rect{0, 0, 0, 0};
    CenterWindow(d);
    RECT r{0, 0, 0, 0};
    GetWindowRect(GetDlgItem(d, item), &r);
    DestroyWindow(d);
    POINT o{0, 0};
    ClientToScreen(gs.outer_window, &o);
    return Rect{int16(r.top - o.y), int16(r.left - o.x), int16(r.bottom - o.y), int16(r.right - o.x)};
  }
  std::string Snap(const std::string& name) const { return "wait 10\nsnapshot " + shots_ + "/" + name + ".png\n"; }
  Shot Read(const std::string& name) {
    Shot s;
    std::string why;
    EXPECT_TRUE(s.Read(shots_ + "/" + name + ".png", why)) << name << ": " << why;
    return s;
  }
};

// A disc of 118 mm, 10 mm in from the corner of the default Letter sheet,
// typed into the designer (Units stay millimetres).
std::string Disc_Typed() {
  return "menu " + std::to_string(MENU_HELP + 6) + "\nwait 10\n" + Type("Disc") +
         Tab(10) + Keys("Down", UNIT_CD) + Tab() + Type("1") + Tab() + Type("1") + Tab() + Type("10") + Tab() +
         Type("10") + Tab() + Type("118") + Tab() + Type("118") + Tab() + "wait 10\n";
}

TEST_F(DesignPreview, MeasuresInTheDesignsUnitsAndStaysWholeUnderADialog) {
  const std::string letter = dir_ + "/letter.CD4", a4 = dir_ + "/a4.CD4";
  Write_Project("@A (Letter 8@2 x 11 in)", letter);
  Write_Project("@A (A4)", a4);
  if (HasFatalFailure()) return;
  const Rect preview = Item_Rect(DES_PREVIEW), print = Item_Rect(DES_PRINT_PREVIEW);
  ASSERT_FALSE(EmptyRect(preview));
  std::string s = "wait 30\n" + Disc_Typed() + Snap("over-letter");
  // Print Preview's print dialog over the preview, cancelled.
  s += programshot::Click(print) + "wait 20\n" + Snap("print-dialog") + "key Escape\nwait 20\n" + Snap("after-dialog");
  s += "key Escape\nwait 10\nanswer open " + a4 + "\n" + labelsession::Menu(302) + "wait 30\n" + Disc_Typed() +
       Snap("over-a4") + "key Escape\nwait 10\nquit\n";
  std::string err;
  const int rc = programshot::Run(dir_, s, letter, kScreenW, kScreenH, err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("script line"), std::string::npos) << err;
  const Shot over_letter = Read("over-letter"), over_a4 = Read("over-a4");
  const Shot print_dialog = Read("print-dialog"), after = Read("after-dialog");
  // The Letter project's main window differs from the A4 one's: the
  // preview does not.
  ASSERT_TRUE(over_letter.Differs(over_a4, Rect{0, 0, int16(over_letter.h), int16(over_letter.w)}));
  EXPECT_FALSE(over_letter.Differs(over_a4, preview)) << "the preview measures in the open project's units";
  ASSERT_TRUE(print_dialog.Differs(over_letter, preview)) << "the print dialog did not come over the preview";
  EXPECT_FALSE(after.Differs(over_letter, preview)) << "the dialog left the preview damaged";
}

}  // namespace
