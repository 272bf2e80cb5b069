// Sessions of the real program on the headless backend that press panel
// controls where they lie: the start screen's Quit ends the program, and the
// print panel's Print button writes the PDF (read back with pdftoppm). The
// click points come from the interface laid out in this process the same
// way.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "LabelSessionSupport.h"
#include "ProgramShotSupport.h"
#include "TestSupport.h"
#include "doc/VoskFile.h"
#include "ui/VoskConf.h"
#include "ui/VoskDelt.h"
#include "ui/VoskDisp.h"

namespace {

namespace fs = std::filesystem;
using programshot::Click;
using programshot::OneShot_Rect;
constexpr int kScreenW = 1280, kScreenH = 1024;

class ControlSessions : public programshot::PanelTree {
 protected:
  void SetUp() override {
    if (!fs::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
    programshot::PanelTree::SetUp();
    if (HasFatalFailure()) return;
    Start_First_Run("controls");
    gs.controller = HUMAN;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    // The first layout moves the window to its place of a first run; the
    // second lays the panels out in it, as the program's window is.
    Config_All();
    Config_All();
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
    Bar_Stop();
    programshot::PanelTree::TearDown();
  }
  // Runs the program with the script (opening file when given), printing to
  // pdf with the file printer; err := its standard error.
  int Run(const std::string& script, const std::string& file, const std::string& pdf, std::string& err) {
    using labelsession::Quoted;
    std::ofstream(dir_ + "/script.txt") << script;
    std::string cmd = "env -i";
    for (const char* name : {"PATH", "TMPDIR", "FONTCONFIG_FILE", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
      if (const char* v = std::getenv(name)) cmd += std::string(" ") + name + "=" + Quoted(v);
    cmd += " HOME=" + Quoted(dir_) + " XDG_CONFIG_HOME=" + Quoted(dir_ + "/config") + " XDG_RUNTIME_DIR=" +
           Quoted(dir_) + " VELMOR_OPEN_COMMAND=true VELMOR_BACKEND=headless VELMOR_SCREEN=" +
           std::to_string(kScreenW) + "x" + std::to_string(kScreenH) + " VELMOR_PRINT=file VELMOR_PRINT_OUTPUT=" +
           Quoted(pdf) + " VELMOR_SCRIPT=" + Quoted(dir_ + "/script.txt") + " " + Quoted(VELMOR4_EXE) +
           (file.empty() ? "" : " " + Quoted(file)) + " >/dev/null 2>" + Quoted(dir_ + "/err.txt");
    const int rc = std::system(cmd.c_str());
    std::ifstream in(dir_ + "/err.txt");
    err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return rc;
  }
  std::string Snap(const std::string& name) { return "wait 5\nsnapshot " + shots_ + "/" + name + ".png\n"; }
};

// The start screen's Quit ends the program at once, normally: the snapshot
// the script asks for after the click is never taken.
TEST_F(ControlSessions, StartScreenQuitEndsTheProgram) {
  const Rect quit = OneShot_Rect(PROJ_QUIT_BUTTON);
  ASSERT_FALSE(EmptyRect(quit));
  const std::string after = shots_ + "/quit-after.png";
  fs::remove(after);
  std::string err;
  const int rc = Run("wait 10\n" + Snap("quit-before") + Click(quit) + "wait 20\nsnapshot " + after + "\n", "",
                     dir_ + "/unused.pdf", err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc << err;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_TRUE(fs::exists(shots_ + "/quit-before.png")) << err;
  EXPECT_FALSE(fs::exists(after)) << "the program was still there after Quit";
}

// A sheet of two labels opened, its print panel's Print button pressed and
// the print dialog confirmed: the file printer writes a PDF of one page.
TEST_F(ControlSessions, PrintPanelPrintButtonWritesThePdf) {
  REQUIRE_TOOL("pdftoppm");
  a_template sheet{};
  std::strcpy(sheet.label, "Two labels");
  sheet.papersize = {215.9f, 279.4f};
  for (int i = 0; i < 2; ++i) {
    a_unit& u = sheet.units[sheet.nunits++];
    u.kind = UNIT_RECT;
    u.bbox = a_frect{20.0f + 90 * i, 20, 100.0f + 90 * i, 70};
  }
  const std::string project = dir_ + "/labels.CD4";
  FSSpec spec{};
  ASSERT_TRUE(Doc_New(sheet));
  ASSERT_TRUE(Path_From_Text(spec, project.c_str()) && Doc_Write(FMT_DISC, spec));
  g_doc.doc_new = false;
  g_doc.doc_changed = false;
  SV_Set_Enum(SV_PHASE, PREVIEW_PHASE);
  SV_Finish();
  Config_All();
  Rect phase_button;
  ASSERT_TRUE(
      Phase_Button_Rect(PREVIEW_PHASE, Node_Get(CURR, nodetest::Slot_Of(PHASE_CUST_LOC)).nbounds, phase_button));
  const Rect print = OneShot_Rect(PRINT_BUTTON);
  ASSERT_FALSE(EmptyRect(print)) << "the print panel shows no Print button";

  const std::string pdf = dir_ + "/printed.pdf";
  fs::remove(pdf);
  std::string err;
  const std::string script = "wait 10\n" + Click(phase_button) + Snap("print-panel") +
                             "answer alert 1\n"  // the print dialog: Print
                             "answer alert 1\n"  // where the print went: OK
                             + Click(print) + "wait 20\n" + Snap("print-pressed") + "quit\n";
  const int rc = Run(script, project, pdf, err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc << err;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  ASSERT_TRUE(fs::exists(pdf)) << "no PDF from the Print button\n" << err;
  // Read back: a PDF of one page that renders.
  std::ifstream in(pdf, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
  size_t pages = 0;
  for (size_t at = bytes.find("/Type /Page"); at != std::string::npos; at = bytes.find("/Type /Page", at + 1))
    pages += bytes.compare(at, 12, "/Type /Pages") != 0;
  EXPECT_EQ(pages, 1u);
  const std::string page = dir_ + "/page";
  ASSERT_EQ(std::system(("pdftoppm -r 20 -png " + labelsession::Quoted(pdf) + " " + labelsession::Quoted(page)).c_str()),
            0);
  EXPECT_TRUE(fs::exists(page + "-1.png"));
}

}  // namespace
