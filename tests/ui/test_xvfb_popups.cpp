// The pop-ups of the program's dialogs on a real display: under Xvfb the
// program runs on the sdl backend and its script moves and presses the X
// server's own pointer, so each click takes the whole way a person's does
// (X server, SDL's events, the backend, the window layer). The remapping
// window of a layout switch, the track-list import's number format and the
// print dialog's printer and paper are each opened by a click and a choice
// is taken by another; the saved project and the screen show it taken.
// Click points come from the test process, which lays out the same windows
// on a headless screen of the same size. The snapshots stay under
// <build>/snapshots/xvfb-popups. Skipped where xvfb-run is missing.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "LayoutSwitchSupport.h"
#include "ProgramShotSupport.h"
#include "TestSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskFile.h"
#include "doc/VoskTmpl.h"
#include "host/HostDialog.h"
#include "objects/VoskText.h"
#include "platform/SysDlog.h"
#include "platform/SysWin.h"
#include "ui/VoskAsk.h"
#include "ui/VoskBrow.h"
#include "ui/VoskConf.h"
#include "ui/VoskDisp.h"

namespace {

namespace fs = std::filesystem;
using labelsession::Menu;
using layoutswitch::Disc_Layout;
using layoutswitch::Texts_Of;
using labelsession::Quoted;
using programshot::Shot;

constexpr int kScreenW = 1280, kScreenH = 1024;
constexpr int16 kPrinterItem = 3, kPaperItem = 5;       // of the print dialog
constexpr int16 kFormatItem = 5, kFieldsOK = 1;         // of the track-list fields
constexpr int16 kRemapRowTop = 16 + 210 + 16, kRemapPopUpLeft = 16 + 8, kRemapPopUpW = 110;

Point Middle(const RECT& r) { return Point{int16((r.top + r.bottom) / 2), int16((r.left + r.right) / 2)}; }

class XvfbPopUps : public programshot::PanelTree {
 protected:
  void SetUp() override {
    programshot::PanelTree::SetUp();
    if (HasFatalFailure()) return;
    Start_First_Run("xvfb-popups");
    SysDlog_Init();
    gs.controller = HUMAN;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    Config_All();
    if (t.tlist_n == 0) Build_Template_List();
    POINT o{0, 0};
    ClientToScreen(gs.outer_window, &o);
    main_ = o;
  }
  void TearDown() override {
    Host_Script_Reset();
    if (!HasFailure()) fs::remove_all(dir_);
    Bar_Stop();
    programshot::PanelTree::TearDown();
  }

  // A screen point as the script's main-window coordinates.
  std::string At(const char* act, Point screen) const {
    return std::string(act) + " " + std::to_string(screen.h - main_.x) + " " + std::to_string(screen.v - main_.y) +
           "\n";
  }
  // The client origin on the screen of a modal window of w x h, placed as
  // the program places one.
  static POINT Modal_Origin(int16 w, int16 h) {
    HWND win = New_Window(Rect{0, 0, h, w}, CStrSpan("Selection"), false, 101, nullptr, gs.outer_window, nullptr);
    POINT o{0, 0};
    if (win != nullptr) {
      ClientToScreen(win, &o);
      DestroyWindow(win);
    }
    return o;
  }
  // A dialog of the program laid out here as it opens there (centred as
  // its modal dialogs are when centre is set); the screen rectangles of
  // its items.
  static std::vector<RECT> Dialog_Items(int16 dlog, bool centre, std::initializer_list<int16> items) {
    std::vector<RECT> out;
    HostDlgTemplate tmpl;
    if (!Get_Dialog_Template(dlog, tmpl)) return out;
    HWND d = CreateDialogIndirectParam(nullptr, &tmpl, gs.outer_window,
                                       [](HWND, UINT, WPARAM, LPARAM) -> intptr_t { return 0; }, 0);
    if (d == nullptr) return out;
    if (centre) CenterWindow(d);
    for (int16 i : items) {
      RECT r{0, 0, 0, 0};
      GetWindowRect(GetDlgItem(d, i), &r);
      out.push_back(r);
    }
    DestroyWindow(d);
    return out;
  }
  // The middle of row k of the list a drop-down field r drops: the list
  // starts under the field, inside its border, each row as high as the
  // field's text less its padding.
  static Point Dropped_Row(const RECT& field, int k) {
    const int32 row_h = (field.bottom - field.top) - 6;
    return Point{int16(field.bottom + 1 + k * row_h + row_h / 2), int16((field.left + field.right) / 2)};
  }
  // The script's lines that pick place id in the paper browser opened at
  // place from: its pages turned by the keys, then a click on the cell.
  std::string Pick_Layout(int16 from, int16 id) const {
    a_browser_rec b;
    Browser_Layout(PAPER_BAR, kScreenW, kScreenH, 1, int16(t.tlist_n), from, b);
    std::string s = "wait 20\n";
    const int16 per = std::max<int16>(1, b.celltotn);
    const int16 page = int16(1 + (id - 1) / per * per);
    for (int16 d = b.display_id; d < page; d = int16(d + per)) s += "key PageDown\nwait 5\n";
    for (int16 d = b.display_id; d > page; d = int16(d - per)) s += "key PageUp\nwait 5\n";
    b.display_id = page;
    const POINT o = Modal_Origin(b.bb_window.right, b.bb_window.bottom);
    const Rect cell = Browser_ID_To_Cell(b, id);
    return s + At("click", Point{int16(o.y + (cell.top + cell.bottom) / 2), int16(o.x + (cell.left + cell.right) / 2)});
  }
  std::string Snap(const std::string& name) const { return "wait 20\nsnapshot " + shots_ + "/" + name + ".png\n"; }
  Shot Read(const std::string& name) {
    Shot s;
    std::string why;
    EXPECT_TRUE(s.Read(shots_ + "/" + name + ".png", why)) << name << ": " << why;
    return s;
  }
  // A screen rectangle as the snapshots' coordinates.
  Rect In_Shot(const RECT& r) const {
    return Rect{int16(r.top - main_.y), int16(r.left - main_.x), int16(r.bottom - main_.y), int16(r.right - main_.x)};
  }

  POINT main_{0, 0};
};

TEST_F(XvfbPopUps, DialogPopUpsOpenOnAClickAndTakeAChoiceByMouse) {
  REQUIRE_TOOL("xvfb-run");
  if (!fs::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
  const int16 two = Disc_Layout(2), one = Disc_Layout(1);
  ASSERT_NE(two, 0);
  ASSERT_NE(one, 0);

  // The project: two disc designs, each with its word.
  const std::string project = dir_ + "/two.CD4", result = dir_ + "/one.CD4", tracks = dir_ + "/tracks.txt";
  ASSERT_TRUE(Proj_PickLayout2(t.tlist[two - 1]));
  ASSERT_TRUE(Unclone(2));
  const std::u16string words[] = {u"Alpha", u"Beta"};
  for (uint32 ux = 1; ux <= 2; ++ux) {
    Select_Doc_Unit(ux);
    Text_New2(reinterpret_cast<const UniChar*>(words[ux - 1].data()), int32(words[ux - 1].size()), 0,
              Point{NO_POINT, NO_POINT}, false);
  }
  Select_Doc_Unit(1);
  {
    FSSpec spec{};
    ASSERT_TRUE(Path_From_Text(spec, project.c_str()));
    ASSERT_TRUE(Doc_Write(FMT_DISC, spec));
  }
  doctests::Close_Document();
  std::ofstream(tracks, std::ios::binary) << "Name\tArtist\tTime\r\nFirst song\tBand\t215\r\nSecond song\tBand\t200\r\n";

  // The remapping window of the switch onto one disc: one row, its pop-up
  // of "Empty", "1" and "2"; "2" chosen by mouse.
  const int16 remap_h = int16(kRemapRowTop + 24 + 52);
  const POINT remap = Modal_Origin(720, remap_h);
  // Its pop-up's field as high as a pop-up's field is made.
  int32 field_h = 0;
  {
    HWND probe = Create_PopUp(gs.outer_window, 999, Rect{0, 0, 22, kRemapPopUpW});
    ASSERT_NE(probe, nullptr);
    RECT r;
    GetWindowRect(probe, &r);
    field_h = r.bottom - r.top;
    DestroyWindow(probe);
  }
  const RECT remap_field{remap.x + kRemapPopUpLeft, remap.y + kRemapRowTop + 1,
                         remap.x + kRemapPopUpLeft + kRemapPopUpW, remap.y + kRemapRowTop + 1 + field_h};
  const std::vector<RECT> fields = Dialog_Items(DLOG_SONG_FIELDS, true, {kFormatItem, kFieldsOK});
  const std::vector<RECT> print = Dialog_Items(1240, false, {kPrinterItem, kPaperItem});
  ASSERT_EQ(fields.size(), 2u);
  ASSERT_EQ(print.size(), 2u);

  std::string s = "wait 60\n";
  s += Menu(MENU_EXPORT + 1) + Pick_Layout(two, one) + "wait 40\n";
  s += Snap("remap") + At("click", Middle(remap_field)) + Snap("remap-open") + At("click", Dropped_Row(remap_field, 2)) +
       Snap("remap-chosen") + "key Return\nwait 40\n";
  // The track list: format 3, "(1)", chosen by mouse, then OK.
  s += "answer open " + tracks + "\n" + Menu(MENU_IMPORT + IMPORT_TABTEXT) + "wait 40\n" +
       At("click", Middle(fields[0])) + Snap("format-open") + At("click", Dropped_Row(fields[0], 2)) + "wait 20\n" +
       At("click", Middle(fields[1])) + "wait 40\n";
  // The print dialog: the printer's list opened and its row taken, the
  // paper's second row chosen; then cancelled.
  s += Menu(MENU_FILE + 9) + "wait 40\n" + Snap("print") + At("click", Middle(print[0])) + Snap("printer-open") +
       At("click", Dropped_Row(print[0], 0)) + Snap("printer-chosen") + At("click", Middle(print[1])) +
       Snap("paper-open") + At("click", Dropped_Row(print[1], 1)) + Snap("paper-chosen") + "key Escape\nwait 30\n";
  s += "answer save " + result + "\n" + Menu(MENU_FILE + 5) + "wait 60\nquit\n";
  std::ofstream(dir_ + "/s.txt") << s;
  {
    std::ofstream sh(dir_ + "/run.sh");
    sh << "HOME=" << Quoted(dir_) << " XDG_CONFIG_HOME=" << Quoted(dir_ + "/config") << " XDG_RUNTIME_DIR="
       << Quoted(dir_) << " VELMOR_BACKEND=sdl VELMOR_SCRIPT=" << Quoted(dir_ + "/s.txt") << " " << Quoted(VELMOR4_EXE)
       << " " << Quoted(project) << " 2>" << Quoted(dir_ + "/stderr.txt") << "\n";
  }
  const std::string cmd = "timeout 240 xvfb-run -a -s '-screen 0 " + std::to_string(kScreenW) + "x" +
                          std::to_string(kScreenH) + "x24' sh " + Quoted(dir_ + "/run.sh");
  const int rc = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(rc)) << cmd;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << cmd;

  // Each list opened under its field and closed when its row was taken.
  const struct {
    const char* before;
    const char* open;
    const char* after;
    RECT field;
  } lists[] = {{"remap", "remap-open", "remap-chosen", remap_field},
               {"print", "printer-open", "printer-chosen", print[0]},
               {"printer-chosen", "paper-open", "paper-chosen", print[1]}};
  for (const auto& l : lists) {
    const Shot before = Read(l.before), open = Read(l.open), after = Read(l.after);
    const Point row = Dropped_Row(l.field, 0);
    const Rect under = In_Shot(RECT{l.field.left + 4, row.v - 3, l.field.right - 20, row.v + 3});
    EXPECT_TRUE(open.Differs(before, under)) << l.open << ": no list opened under the field";
    EXPECT_FALSE(after.Differs(before, under)) << l.after << ": the list stayed open";
  }
  // The paper's second row is in its field now.
  EXPECT_TRUE(Read("paper-chosen").Differs(Read("printer-chosen"), In_Shot(print[1])))
      << "the paper chosen does not show";

  // The saved project: the one disc took design 2, and the imported texts
  // are numbered "(1)", "(2)".
  FSSpec spec{};
  ASSERT_TRUE(Path_From_Text(spec, result.c_str()));
  ASSERT_TRUE(Read_DISC(spec, false)) << "the project was not saved";
  ASSERT_EQ(g_doc.doc_template.nunits, 1u);
  const std::vector<std::string> texts = Texts_Of(1);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Beta"), texts.end()) << "the design chosen by mouse";
  EXPECT_EQ(std::find(texts.begin(), texts.end(), "Alpha"), texts.end());
  bool numbered = false;
  for (const std::string& t : texts) numbered |= t.rfind("(1)", 0) == 0;
  EXPECT_TRUE(numbered) << "the number format chosen by mouse";
}

}  // namespace
