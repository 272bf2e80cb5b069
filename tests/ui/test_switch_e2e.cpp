// Moving a project onto other layouts in the real program on the headless
// backend: a project of two disc designs (each its own paint and text)
// opened from the command line, "To Different Layout" onto three discs
// picked in the browser, then, after "Don't Save", onto one disc, where the
// remapping window asks and Return takes its preset; Close asks to save
// (Cancel), Save As writes the file; a border is drawn round its paint with
// the frame tool and the file saved again, then read back. Snapshots of the
// results go to <build>/snapshots/switch; the browser and the remapping
// window, which the program's snapshots do not show, are drawn by the test
// process the same way and written there too.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "LayoutSwitchSupport.h"
#include "ProgramShotSupport.h"
#include "SoundTestSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskFile.h"
#include "doc/VoskTmpl.h"
#include "host/HostScript.h"
#include "objects/VoskText.h"
#include "platform/SysDlog.h"
#include "platform/SysSound.h"
#include "platform/VoskDef.h"
#include "ui/VoskAskRemap.h"
#include "ui/VoskBar.h"
#include "ui/VoskBrow.h"
#include "ui/VoskConf.h"
#include "ui/VoskDisp.h"
#include "ui/VoskStat.h"

namespace {

namespace fs = std::filesystem;
using labelsession::Menu;
using layoutswitch::Disc_Layout;
using layoutswitch::Texts_Of;
using programshot::At;
using programshot::Shot;

constexpr int16 kScreenW = 1024, kScreenH = 768;
// Where the main window's client area and a modal window's client area lie
// on the headless screen (see the labels session).
constexpr int32 kMainClientTop = 29;
constexpr int32 kModalTitle = 22, kModalTopInset = 8;
constexpr uint32 kRed = 0xD02020, kBlue = 0x2040D0;
constexpr Rect kPainted{400, 400, 800, 800};  // cells of each disc's paint
// The frame tool's drag in the paint phase, in the window (round the painted
// square of the one disc at the fitting zoom).
constexpr Point kDragFrom{200, 480}, kDragTo{520, 800};

// A point of a modal window of client size w x h on a screen of sw x sh, in
// the coordinates of the main window's client area, whose top is main_top
// on the screen.
Point Modal_To_Main(int16 sw, int16 sh, int32 main_left, int32 main_top, int16 w, int16 h, Point p) {
  const int32 left = (sw - w) / 2;
  const int32 top = (sh - (h + kModalTitle)) * 3 / 10 + kModalTopInset;
  return Point{int16(top + p.v - main_top), int16(left + p.h - main_left)};
}
Point Middle(const Rect& r) { return Point{int16((r.top + r.bottom) / 2), int16((r.left + r.right) / 2)}; }

// The script lines that show place `id` in the paper browser opened at
// place `from` on a screen of sw x sh: pages turned, then `act` ("click" or
// "move") on its cell.
std::string Pick_In_Browser(int16 from, int16 id, int16 sw, int16 sh, int32 main_left, int32 main_top,
                            const char* act) {
  a_browser_rec b;
  Browser_Layout(PAPER_BAR, sw, sh, 1, int16(t.tlist_n), from, b);
  std::string s = "wait 5\n";
  const int16 per = std::max<int16>(1, b.celltotn);
  const int16 target_page = int16(1 + (id - 1) / per * per);
  for (int16 d = b.display_id; d < target_page; d = int16(d + per)) s += "key PageDown\nwait 2\n";
  for (int16 d = b.display_id; d > target_page; d = int16(d - per)) s += "key PageUp\nwait 2\n";
  b.display_id = target_page;
  const Point p = Modal_To_Main(sw, sh, main_left, main_top, b.bb_window.right, b.bb_window.bottom,
                                Middle(Browser_ID_To_Cell(b, id)));
  return s + act + " " + std::to_string(p.h) + " " + std::to_string(p.v) + "\n";
}
// In the program's run.
std::string Pick_In_Browser(int16 from, int16 id) {
  return Pick_In_Browser(from, id, kScreenW, kScreenH, 0, kMainClientTop, "click");
}

// The colour of unit ux's paint in the middle of the painted square (0:
// no paint there).
uint32 Paint_Of(uint32 ux) {
  const a_doc_unit* u = Doc_Unit(Find_Clone_Master(ux));
  if (u == nullptr || u->statics[PAINT1_LAYER].world == nullptr || !u->paintinuse) return 0;
  const PixMap& p = u->statics[PAINT1_LAYER].world->pix;
  const Point m = Middle(kPainted);
  return *(reinterpret_cast<const uint32*>(p.baseAddr + size_t(m.v - p.bounds.top) * PixMap_RowBytes(p)) +
           (m.h - p.bounds.left)) &
         0xFFFFFFu;
}

int Count_Near(const Shot& shot, uint32 rgb) {
  int n = 0;
  for (int y = 0; y < shot.h; ++y)
    for (int x = 0; x < shot.w; ++x) {
      const uint32 c = shot.At(x, y);
      bool near = true;
      for (int sh : {0, 8, 16}) near &= std::abs(int((c >> sh) & 0xFF) - int((rgb >> sh) & 0xFF)) <= 40;
      n += near;
    }
  return n;
}

// The test process's own snapshots of a modal window: taken at each sound
// it plays (the last, as it closes, is kept).
std::string g_window_shot;
int g_window_shots = 0;
int32 Snapshot_On_Sound(const a_keyset& key) {
  std::string err;
  if (key.a == SOUND_KEY_FAMILY && !g_window_shot.empty() &&
      Host_Snapshot_Window(GetActiveWindow(), g_window_shot, err))
    ++g_window_shots;
  return 0;
}

class SwitchEndToEnd : public programshot::PanelTree {
 protected:
  void SetUp() override {
    programshot::PanelTree::SetUp();
    if (HasFatalFailure()) return;
    Start_First_Run("switch");
    SysDlog_Init();
    Host_Script_Set_Quit_At_End(false);
    gs.controller = HUMAN;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    if (t.tlist_n == 0) Build_Template_List();
  }
  void TearDown() override {
    Host_Script_Reset();
    fs::remove_all(dir_);
    Bar_Stop();
    programshot::PanelTree::TearDown();
  }
  std::string Snap(const std::string& name) {
    const std::string path = shots_ + "/" + name + ".png";
    fs::remove(path);
    return "wait 10\nsnapshot " + path + "\n";
  }
  // Runs show() with the script, snapshots of its window going to name.
  template <typename F>
  Shot Window_Shot(const std::string& name, const std::string& script, F show) {
    g_window_shot = shots_ + "/" + name + ".png";
    g_window_shots = 0;
    fs::remove(g_window_shot);
    const a_sound_library saved = g_sound_library;
    g_sound_library = a_sound_library{Snapshot_On_Sound, soundtest::No_Lock, soundtest::No_Unlock};
    Sound_Enable(true);
    std::string err;
    EXPECT_TRUE(Host_Script_Load_Text(script, name, err)) << err;
    show();
    g_sound_library = saved;
    Host_Script_Reset();
    EXPECT_GT(g_window_shots, 0);
    Shot shot;
    std::string why;
    EXPECT_TRUE(shot.Read(g_window_shot, why)) << why;
    return shot;
  }

  // The project: the two-disc layout with each disc its own design, a
  // square of paint and a text.
  void Write_Project(int16 two, const std::string& path) {
    ASSERT_TRUE(Proj_PickLayout2(t.tlist[two - 1]));
    ASSERT_TRUE(Unclone(2));
    const uint32 colours[] = {kRed, kBlue};
    const std::u16string words[] = {u"Alpha", u"Beta"};
    for (uint32 ux = 1; ux <= 2; ++ux) {
      a_doc_unit* u = Doc_Unit(ux);
      Sync_Existence(true, u, PAINT1_LAYER);
      u->paintinuse = true;
      const PixMap& p = u->statics[PAINT1_LAYER].world->pix;
      const PixMap& m = u->statics[PAINT1_LAYER].mask->pix;
      for (int y = kPainted.top; y < kPainted.bottom; ++y)
        for (int x = kPainted.left; x < kPainted.right; ++x) {
          reinterpret_cast<uint32*>(p.baseAddr + size_t(y) * PixMap_RowBytes(p))[x] = 0xFF000000u | colours[ux - 1];
          reinterpret_cast<uint8*>(m.baseAddr + size_t(y) * PixMap_RowBytes(m))[x] = 255;
        }
      Select_Doc_Unit(ux);
      const std::u16string& w = words[ux - 1];
      Text_New2(reinterpret_cast<const UniChar*>(w.data()), int32(w.size()), 0, Point{NO_POINT, NO_POINT}, false);
    }
    FSSpec spec{};
    ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
    ASSERT_TRUE(Doc_Write(FMT_DISC, spec));
  }

};

TEST_F(SwitchEndToEnd, TwoDesignsOntoThreeDiscsThenOne) {
  const int16 one = int16(
      [] {
        const uint32 tx = Find_Template(CStrSpan(labelsession::kCdLayout, std::strlen(labelsession::kCdLayout)));
        for (uint32 k = 0; k < t.tlist_n; ++k)
          if (t.tlist[k] == tx) return k + 1;
        return uint32(0);
      }());
  const int16 two = Disc_Layout(2), three = Disc_Layout(3);
  ASSERT_NE(one, 0);
  ASSERT_NE(two, 0) << "a layout of two discs";
  ASSERT_NE(three, 0) << "a layout of three discs";
  const std::string project = dir_ + "/two.CD4", result = dir_ + "/one.CD4";
  Write_Project(two, project);
  if (HasFatalFailure()) return;

  // The remapping window as the program shows it on the second switch:
  // drawn here from the three-disc document the first switch makes.
  {
    a_ctemplate entry;
    auto layout3 = std::make_unique<a_template>();
    ASSERT_TRUE(Get_CTemplate(t.tlist[three - 1], entry));
    ASSERT_EQ(Expand_Template(entry, *layout3), EXPAND_OK);
    auto map = std::make_unique<a_template_mapping>();
    a_sig_list sig{};
    uint32 nsig = 0;
    bool8 exact = false;
    Calc_Template_Mapping(*layout3, *map, nsig, sig, exact);
    ASSERT_TRUE(exact) << "two designs fill three discs";
    ASSERT_TRUE(Do_Remap(*layout3, *map));
    auto layout1 = std::make_unique<a_template>();
    ASSERT_TRUE(Get_CTemplate(t.tlist[one - 1], entry));
    ASSERT_EQ(Expand_Template(entry, *layout1), EXPAND_OK);
    Calc_Template_Mapping(*layout1, *map, nsig, sig, exact);
    EXPECT_FALSE(exact) << "one disc leaves a design over";
    const Shot shot = Window_Shot("remap-window", "wait 3\nkey x\nkey Escape\n",
                                  [&] { EXPECT_FALSE(Ask_Complex_Remap(*layout1, *map, nsig, sig)); });
    ASSERT_GT(shot.w, 0);
    EXPECT_EQ(shot.At(0, 0), 0xFF6464u) << "the window's frame";
    EXPECT_GT(Count_Near(shot, 0xFFDCDC), 500) << "the first row";
    doctests::Close_Document();
  }

  // The browser as the program shows it, with the three-disc layout under
  // the mouse.
  {
    const int16 sw = int16(info_videobounds.right - info_videobounds.left);
    const int16 sh = int16(info_videobounds.bottom - info_videobounds.top);
    POINT origin{0, 0};
    ClientToScreen(gs.outer_window, &origin);
    const std::string keys =
        Pick_In_Browser(two, three, sw, sh, origin.x - info_videoavail.left, origin.y - info_videoavail.top, "move");
    int16 chosen = two;
    const Shot shot = Window_Shot("browser", keys + "wait 3\nkey F5\nkey Escape\n",
                                  [&] { EXPECT_FALSE(Browser_Choose(PAPER_BAR, chosen)); });
    EXPECT_GT(shot.w, 0);
  }

  std::string s = "wait 30\n";
  // Onto three discs, picked in the browser opened at the project's layout.
  s += Menu(MENU_EXPORT + 1) + Pick_In_Browser(two, three) + Snap("three-discs");
  // Onto one disc: the switch marked the document changed, so dialog 1200
  // asks first (Don't Save); the remapping window takes Return.
  s += Menu(MENU_EXPORT + 1) + "answer alert 3\n" + Pick_In_Browser(three, one) + "wait 10\nanswer alert 1\n" +
       Snap("one-disc");
  // Close asks to save: Cancel keeps the document; Save As writes it.
  s += "answer alert 2\n" + Menu(MENU_FILE + 3) + "wait 5\nanswer save " + result + "\n" + Menu(MENU_FILE + 5) +
       "wait 10\n";
  // A border drawn with the frame tool: the frame tool, a border of the
  // border bar (its browser's framed cell), a rectangle dragged round the
  // painted square; saved.
  s += Menu(PANEL_PHASE + PAINT_PHASE) + Snap("paint-phase") + "key T\nwait 2\n" + Menu(PANEL_BAR + BORDER_BAR) +
       "wait 5\nanswer alert 1\nwait 5\n";
  s += "down " + At(kDragFrom) + "\nwait 30\nmove " + At(Point{int16((kDragFrom.v + kDragTo.v) / 2),
                                                                  int16((kDragFrom.h + kDragTo.h) / 2)}) +
       "\nmove " + At(kDragTo) + "\nup " + At(kDragTo) + "\n" + Snap("border") + "key Ctrl+S\nwait 10\nquit\n";
  std::string err;
  const int rc = programshot::Run(dir_, s, project, kScreenW, kScreenH, err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("script line"), std::string::npos) << err;

  // The three discs show the red design once and the blue one twice.
  Shot three_shot;
  std::string why;
  ASSERT_TRUE(three_shot.Read(shots_ + "/three-discs.png", why)) << why;
  const int red = Count_Near(three_shot, kRed), blue = Count_Near(three_shot, kBlue);
  EXPECT_GT(red, 50);
  EXPECT_GT(blue, red * 3 / 2) << "unit 3 is a clone of the blue design";
  // The print panel's unit strip is drawn anew for the new layout: a box
  // for each of its three units down the strip (on its grey).
  int boxes = 0;
  bool in_box = false;
  for (int y = 75; y < 400; ++y) {
    const bool grey = three_shot.At(200, y) == 0xC8C8C8;
    if (!grey && !in_box) ++boxes;
    in_box = !grey;
  }
  EXPECT_EQ(boxes, 3) << "the unit strip still shows the old layout";

  // Read back: one disc holding the first design, its paint and its text.
  FSSpec spec{};
  ASSERT_TRUE(Path_From_Text(spec, result.c_str()));
  ASSERT_TRUE(Read_DISC(spec, false)) << err;
  ASSERT_EQ(g_doc.doc_template.nunits, 1u);
  EXPECT_EQ(g_doc.doc_template.units[0].kind, UNIT_CD);
  EXPECT_EQ(Paint_Of(1), kRed);
  EXPECT_EQ(Texts_Of(1), (std::vector<std::string>{"Alpha"}));

  // The border: paint round the square, a frame with nothing inside it
  // between its edges and the square.
  const a_doc_unit* u = Doc_Unit(1);
  ASSERT_NE(u->statics[PAINT1_LAYER].mask, nullptr);
  const PixMap& m = u->statics[PAINT1_LAYER].mask->pix;
  auto painted = [&](int x, int y) { return reinterpret_cast<const uint8*>(m.baseAddr + size_t(y) * PixMap_RowBytes(m))[x] != 0; };
  Rect frame{32767, 32767, -32768, -32768};
  int outside = 0;
  for (int y = 0; y < m.bounds.bottom; ++y)
    for (int x = 0; x < m.bounds.right; ++x) {
      if (!painted(x, y) || PtInRect(Point{int16(y), int16(x)}, kPainted)) continue;
      ++outside;
      frame.left = std::min<int16>(frame.left, int16(x));
      frame.top = std::min<int16>(frame.top, int16(y));
      frame.right = std::max<int16>(frame.right, int16(x + 1));
      frame.bottom = std::max<int16>(frame.bottom, int16(y + 1));
    }
  ASSERT_GT(outside, 5000) << "the border's paint";
  EXPECT_LT(frame.left, kPainted.left - 100);
  EXPECT_GT(frame.bottom, kPainted.bottom + 100);
  // It reaches past the square on the other two sides too.
  EXPECT_LT(frame.top, kPainted.top);
  EXPECT_GT(frame.right, kPainted.right);
  // Between the frame's left edge and the square, below it: nothing.
  const Point inside{int16((frame.bottom + kPainted.bottom) / 2), int16((frame.left + kPainted.left) / 2)};
  EXPECT_FALSE(painted(inside.h, inside.v)) << "a frame, not a filled rectangle";
}

}  // namespace
