// What the panels and views show after a change made elsewhere than on them,
// on the real program (headless, scripted): the sliders of a symbol after
// its rotate button and after Undo, an effect's check box after its slider
// switched the effect on. Click points come from the panels' own layout in
// this process, as the program lays out the same window; the snapshots go
// to snapshots/follow for looking at.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ProgramShotSupport.h"
#include "TestSupport.h"
#include "doc/VoskFile.h"
#include "host/HostPrint.h"
#include "objects/VoskBlok.h"
#include "objects/VoskLayer.h"
#include "objects/VoskPhot.h"
#include "pixel/DrawUtilMasked.h"
#include "objects/VoskSym.h"
#include "objects/VoskText.h"
#include "platform/VoskDef.h"
#include "ui/VoskBar.h"
#include "ui/VoskConf.h"
#include "ui/VoskDelt.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

namespace {

namespace fs = std::filesystem;
using programshot::At;
using programshot::Click;
using programshot::Middle;
using programshot::OneShot_Rect;
using programshot::Shot;

constexpr int kScreenW = 1280, kScreenH = 1024;

class FollowWalk : public programshot::PanelTree {
 protected:
  void SetUp() override {
    programshot::PanelTree::SetUp();
    if (HasFatalFailure()) return;
    Start_First_Run("follow");
    gs.controller = HUMAN;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    Config_All();
  }
  void TearDown() override {
    fs::remove_all(dir_);
    Bar_Stop();
    programshot::PanelTree::TearDown();
  }
  // Runs the script, opening file: a normal end, and no alert but the one
  // the script asks for (alert 0: none).
  void Run_Script(const std::string& script, const std::string& file, int asked = 0, const std::string& env = "") {
    std::string err;
    const int rc = programshot::Run(dir_, script, file, kScreenW, kScreenH, err, env);
    ASSERT_TRUE(WIFEXITED(rc)) << rc;
    EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
    std::string rest = err;
    if (asked != 0) {
      const std::string line = "alert " + std::to_string(asked) + ":";
      const size_t at = rest.find(line);
      EXPECT_NE(at, std::string::npos) << "alert " << asked << " was asked: " << err;
      if (at != std::string::npos) rest.erase(at, line.size());
    }
    EXPECT_EQ(rest.find("alert"), std::string::npos) << err;
  }
  // Whether the navigator shows only its background in r.
  static bool Blank(const Shot& s, const Rect& r) {
    const uint32 back = s.At(r.left + 1, r.top + 1);
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
      for (int x = r.left + 1; x < r.right - 1; ++x)
        if (s.At(x, y) != back) return false;
    return true;
  }
  static Rect Slider_Rect(a_slider_enum s) { return programshot::Node_Rect(g_sliders[s].nodex); }
  static Rect Toggle_Rect(a_toggle_enum t) { return programshot::Toggle_Rect(t); }
};

}  // namespace

// The rotate button turns the selected photo: its Rotation slider shows the
// new angle; Undo turns it back and the slider shows the old one again.
TEST_F(FollowWalk, PhotoSlidersFollowTheRotateButtonAndUndo) {
  Open_Disc();
  if (HasFatalFailure()) return;
  Step([] { SV_Set_Enum(SV_PHASE, PHOTO_PHASE); });
  // A photo of 300 x 200 pixels placed as a pasted one is (selected alone).
  Step([] {
    a_masked_gworld mw;
    Null_MW(mw);
    mw.bounds = Rect{0, 0, 200, 300};
    ASSERT_EQ(New_GWorld(mw.bounds, 32, nullptr, mw.fore), 0);
    Photo_Paste(mw, SOURCE_CLIPBOARD);
  });
  ASSERT_EQ(gs.curr_phase, PHOTO_PHASE);
  ASSERT_EQ(Selection_Count(), 1);
  Config_All();
  const Rect angle = Slider_Rect(PHOTO_ANGLE_SLIDER);
  const Rect turn = OneShot_Rect(PHOTO_ROTATECW_BUTTON);
  ASSERT_FALSE(EmptyRect(angle)) << "the photo's Rotation slider is laid out";
  ASSERT_FALSE(EmptyRect(turn)) << "the rotate button is laid out";
  const std::string project = dir_ + "/photo.CD4";
  ASSERT_TRUE(Write_Project(project));
  const std::string phase = Phase_Click(PHOTO_PHASE);

  Run_Script("wait 30\n" + phase + "wait 5\n" + labelsession::Menu(MENU_EDIT + EDIT_SELECT_ALL) +
                 Shot_Line("1-photo-selected") + Click(turn) + Shot_Line("2-turned") +
                 labelsession::Menu(MENU_EDIT + 1) + Shot_Line("3-undone") + "quit\n",
             project);
  const Shot selected = Read("1-photo-selected"), turned = Read("2-turned"), undone = Read("3-undone");
  if (HasFailure()) return;
  EXPECT_TRUE(turned.Differs(selected, angle)) << "the Rotation slider shows the turn";
  EXPECT_FALSE(undone.Differs(selected, angle)) << "after Undo it shows the angle before the turn";
}

// The navigator's frame follows the zoom: at 400 % it frames a quarter of
// what it frames at 100 %. After a menu command moved the symbol, the
// navigator shows the unit again once the mouse rests.
TEST_F(FollowWalk, TheNavigatorFollowsTheZoomAndMenuCommands) {
  Open_Disc();
  if (HasFatalFailure()) return;
  Step([] { SV_Set_Enum(SV_PHASE, SYMBOL_PHASE); });
  Step([] { ASSERT_TRUE(Symbol_Add(1)); });
  Config_All();
  const Rect nav = programshot::Custom_Rect(CUSTOM_NAV);
  ASSERT_FALSE(EmptyRect(nav)) << "the navigator is laid out in the symbol phase";
  const std::string project = dir_ + "/nav.CD4";
  ASSERT_TRUE(Write_Project(project));
  const std::string phase = Phase_Click(SYMBOL_PHASE);
  // The miniature is made while the mouse rests.
  const std::string rest = "wait 80\n";
  Run_Script("wait 30\n" + phase + labelsession::Menu(MENU_EDIT + EDIT_SELECT_ALL) +
                 labelsession::Menu(MENU_ZOOM + 5) + rest + Shot_Line("4-nav-100") +
                 labelsession::Menu(MENU_ZOOM + 8) + rest + Shot_Line("5-nav-400") +
                 labelsession::Menu(MENU_ZOOM + 5) + rest + Shot_Line("6-nav-100-again") +
                 labelsession::Menu(MENU_ARRANGE_H + 1) + rest + Shot_Line("6a-nav-moved") + "quit\n",
             project);
  const Shot at100 = Read("4-nav-100"), at400 = Read("5-nav-400"), again = Read("6-nav-100-again"),
             moved = Read("6a-nav-moved");
  if (HasFailure()) return;
  EXPECT_FALSE(Blank(moved, nav)) << "the navigator shows the moved symbol";
  EXPECT_TRUE(moved.Differs(again, nav));
  EXPECT_FALSE(Blank(at100, nav)) << "the navigator shows the unit after a menu command";
  EXPECT_FALSE(Blank(at400, nav));
  EXPECT_TRUE(at400.Differs(at100, nav)) << "the frame shrinks at 400 %";
  EXPECT_FALSE(again.Differs(at100, nav)) << "and comes back at 100 %";
}

// The print preview shows the document it belongs to: after Revert the saved
// state, after File > Open Project... the project opened, as it shows them
// when that project is opened before the preview.
TEST_F(FollowWalk, ThePrintPreviewFollowsRevertAndOpen) {
  Open_Disc();
  if (HasFatalFailure()) return;
  const std::string empty = dir_ + "/empty.CD4", titled = dir_ + "/titled.CD4";
  ASSERT_TRUE(Write_Project(empty));
  Select_Doc_Unit(1);
  const std::u16string title = u"Preview me";
  Text_New2(reinterpret_cast<const UniChar*>(title.data()), int32(title.size()), 0, Point{NO_POINT, NO_POINT}, true);
  ASSERT_TRUE(Write_Project(titled));
  Step([] { SV_Set_Enum(SV_PHASE, PREVIEW_PHASE); });
  Config_All();
  const Rect preview = programshot::Custom_Rect(CUSTOM_PREVIEW);
  ASSERT_FALSE(EmptyRect(preview)) << "the print preview is laid out";
  const std::string to_preview = Phase_Click(PREVIEW_PHASE), to_text = Phase_Click(TEXT_PHASE);

  // Revert: a text made, then reverted in the preview.
  Run_Script("wait 30\n" + to_preview + Shot_Line("7-preview-saved") + to_text +
                 labelsession::Menu(PANEL_ONESHOT + TEXT_NEW_BUTTON) + "type Gone again\nkey KeypadEnter\n" +
                 to_preview + Shot_Line("8-preview-changed") + "answer alert 1\n" +
                 labelsession::Menu(MENU_FILE + 6) + Shot_Line("9-preview-reverted") + "quit\n",
             empty, 5);
  // Open: the titled project from the preview of the empty one, and the
  // titled one alone.
  Run_Script("wait 30\n" + to_preview + "answer open " + titled + "\n" + labelsession::Menu(MENU_FILE + 2) +
                 Shot_Line("10-preview-opened") + "quit\n",
             empty);
  Run_Script("wait 30\n" + to_preview + Shot_Line("11-preview-titled") + "quit\n", titled);
  const Shot saved = Read("7-preview-saved"), changed = Read("8-preview-changed"),
             reverted = Read("9-preview-reverted"), opened = Read("10-preview-opened"),
             alone = Read("11-preview-titled");
  if (HasFailure()) return;
  ASSERT_TRUE(changed.Differs(saved, preview)) << "the new text shows in the preview";
  EXPECT_FALSE(reverted.Differs(saved, preview)) << "Revert shows the saved project";
  ASSERT_TRUE(alone.Differs(saved, preview)) << "the titled project looks different";
  EXPECT_FALSE(opened.Differs(alone, preview)) << "the project opened from the preview shows";
}

// Moving the outline's slider switches the outline on: its check box shows
// the tick at once.
TEST_F(FollowWalk, AnEffectsCheckBoxIsTickedWhenItsSliderSwitchesItOn) {
  Open_Disc();
  if (HasFatalFailure()) return;
  const std::u16string title = u"Outlined";
  Step([] { SV_Set_Enum(SV_PHASE, TEXT_PHASE); });
  Step([&] {
    Text_New2(reinterpret_cast<const UniChar*>(title.data()), int32(title.size()), 0, Point{NO_POINT, NO_POINT},
              true);
  });
  const std::string project = dir_ + "/text.CD4";
  ASSERT_TRUE(Write_Project(project));
  Config_All();
  const Rect page = programshot::Grid_Cell_Rect(TEXT_PHASE_GRID, 1);
  ASSERT_FALSE(EmptyRect(page)) << "the outline's page tab is laid out";
  Step([] { Grid_Click(TEXT_PHASE_GRID, 1); });
  Config_All();
  const Rect box = Toggle_Rect(TEXT_OUTL_TOGGLE), slider = Slider_Rect(TEXT_OUTL_RADIUS_SLIDER);
  ASSERT_FALSE(EmptyRect(box)) << "the outline's check box is laid out";
  ASSERT_FALSE(EmptyRect(slider)) << "the outline's slider is laid out";
  const Point plus{int16(slider.top + 22), int16(slider.left + 300)};
  const std::string phase = Phase_Click(TEXT_PHASE);
  Run_Script("wait 30\n" + phase + "wait 5\n" + labelsession::Menu(MENU_EDIT + EDIT_SELECT_ALL) + Click(page) +
                 Shot_Line("12-outline-page") + "click " + At(plus) + "\n" + Shot_Line("13-outline-on") + "quit\n",
             project);
  const Shot before = Read("12-outline-page"), after = Read("13-outline-on");
  if (HasFailure()) return;
  EXPECT_TRUE(after.Differs(before, slider)) << "the slider moved";
  EXPECT_TRUE(after.Differs(before, box)) << "the check box shows the outline on";
}

// The alignment buttons of the top and bottom edges show their own edge:
// the guide of "align top edges" in the button's upper half, that of
// "align bottom edges" in its lower half.
TEST_F(FollowWalk, TheTopAndBottomAlignButtonsShowTheirEdge) {
  Open_Disc();
  if (HasFatalFailure()) return;
  Step([] { SV_Set_Enum(SV_PHASE, SYMBOL_PHASE); });
  Step([] {
    ASSERT_TRUE(Symbol_Add(1));
    ASSERT_TRUE(Symbol_Add(2));
    Obj_Select_All();
  });
  ASSERT_EQ(Selection_Count(), 2);
  Config_All();
  const Rect top = OneShot_Rect(OBJ_ALIGN_V_T), bottom = OneShot_Rect(OBJ_ALIGN_V_B);
  ASSERT_FALSE(EmptyRect(top)) << "the alignment buttons are laid out for two symbols";
  ASSERT_FALSE(EmptyRect(bottom));
  const std::string project = dir_ + "/two.CD4";
  ASSERT_TRUE(Write_Project(project));
  Run_Script("wait 30\n" + Phase_Click(SYMBOL_PHASE) + "wait 5\n" + labelsession::Menu(MENU_EDIT + EDIT_SELECT_ALL) +
                 Shot_Line("17-align-buttons") + "quit\n",
             project);
  const Shot shot = Read("17-align-buttons");
  if (HasFailure()) return;
  // The mean height of the guide's red in the button, 0 at its top, 1 at
  // its bottom (-1: no red).
  const auto guide = [&](const Rect& r) {
    double sum = 0;
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const uint32 p = shot.At(x, y);
        const int red = int((p >> 16) & 0xFF), green = int((p >> 8) & 0xFF), blue = int(p & 0xFF);
        if (red > 150 && red > green + 80 && red > blue + 80) {
          sum += double(y - r.top) / double(r.bottom - r.top);
          ++n;
        }
      }
    return n == 0 ? -1.0 : sum / n;
  };
  const double at_top = guide(top), at_bottom = guide(bottom);
  ASSERT_GE(at_top, 0) << "the top button shows its guide";
  ASSERT_GE(at_bottom, 0);
  EXPECT_LT(at_top, 0.5) << "align top edges: the guide at the top";
  EXPECT_GT(at_bottom, 0.5) << "align bottom edges: the guide at the bottom";
}

// A print on the disc printer, whose driver makes the copies: the number of
// copies set on the print panel reaches it, and the file printer names the
// print after the document.
TEST_F(FollowWalk, APrintIsNamedAfterItsDocumentWithTheCopiesAsked) {
  REQUIRE_TOOL("pdfinfo");
  Host_Print_Set_Disc_Printer(true);
  Open_Disc("_ Disc printer by driver, CD");
  if (HasFatalFailure()) return;
  Step([] { SV_Set_Enum(SV_PHASE, PREVIEW_PHASE); });
  Config_All();
  const Rect copies = Slider_Rect(PRINT_NCOPIES_SLIDER);
  Host_Print_Set_Disc_Printer(false);
  ASSERT_FALSE(EmptyRect(copies)) << "the disc printer's panel shows the number of copies";
  const Point plus{int16(copies.top + 22), int16(copies.left + 300)};
  const std::string project = dir_ + "/Summer Mix.CD4";
  ASSERT_TRUE(Write_Project(project));
  Run_Script("wait 30\n" + Phase_Click(PREVIEW_PHASE) + "wait 5\nclick " + At(plus) + "\nwait 5\nclick " + At(plus) +
                 "\nwait 5\nanswer alert 1\nkey Ctrl+P\nwait 20\nquit\n",
             project, 73, "VELMOR_PRINT=file VELMOR_DISC_PRINTER=1");
  const std::string pdf = dir_ + "/Summer Mix.pdf";
  ASSERT_TRUE(fs::exists(pdf)) << "the print is named after the document";
  const std::string info = dir_ + "/info.txt";
  ASSERT_EQ(std::system(("pdfinfo '" + pdf + "' > '" + info + "'").c_str()), 0);
  std::ifstream in(info);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("Pages:           3\n"), std::string::npos) << "three copies: " << text;
}

// The stamp tool shows the stamp's outline under the pointer, and takes it
// along when the pointer moves.
TEST_F(FollowWalk, TheStampToolShowsItsOutlineUnderThePointer) {
  Open_Disc();
  if (HasFatalFailure()) return;
  Step([] { SV_Set_Enum(SV_PHASE, PAINT_PHASE); });
  Config_All();
  const Rect stamp = programshot::Grid_Cell_Rect(TOOL_GRID, STAMP_TOOL);
  ASSERT_FALSE(EmptyRect(stamp)) << "the stamp tool's cell is laid out";
  const Rect view = gs.views[0].bounds;
  ASSERT_FALSE(EmptyRect(view));
  const std::string project = dir_ + "/paint.CD4";
  ASSERT_TRUE(Write_Project(project));
  // Two points on the disc's white, apart.
  const Point a{int16(view.top + (view.bottom - view.top) / 4), int16((view.left + view.right) / 2)};
  const Point b{int16(view.bottom - (view.bottom - view.top) / 4), int16((view.left + view.right) / 2)};
  Run_Script("wait 30\n" + Phase_Click(PAINT_PHASE) + "wait 5\n" + Click(stamp) + "wait 5\nmove " + At(a) + "\n" +
                 Shot_Line("18-stamp-at-a") + "move " + At(b) + "\n" + Shot_Line("19-stamp-at-b") + "quit\n",
             project);
  const Shot at_a = Read("18-stamp-at-a"), at_b = Read("19-stamp-at-b");
  if (HasFailure()) return;
  const Rect around_a{int16(a.v - 40), int16(a.h - 40), int16(a.v + 40), int16(a.h + 40)};
  const Rect around_b{int16(b.v - 40), int16(b.h - 40), int16(b.v + 40), int16(b.h + 40)};
  EXPECT_TRUE(at_a.Differs(at_b, around_a)) << "the outline at the first point, gone when the pointer left";
  EXPECT_TRUE(at_a.Differs(at_b, around_b)) << "and at the second";
}

// The print preview's unit list after a text was typed and confirmed (the
// glyph bar painted meanwhile): its labels lie on the boxes' own colour and
// the current unit's number shows, as in a preview reached straight away.
TEST_F(FollowWalk, TheUnitListLooksTheSameAfterATextWasEdited) {
  Open_Disc("_ Cassette J-card (A4)");
  if (HasFatalFailure()) return;
  const std::string project = dir_ + "/jcard.CD4";
  ASSERT_TRUE(Write_Project(project));
  Step([] { SV_Set_Enum(SV_PHASE, PREVIEW_PHASE); });
  Config_All();
  const Rect list = programshot::Custom_Rect(CUSTOM_UNITLIST);
  ASSERT_FALSE(EmptyRect(list)) << "the unit list is laid out in the preview";
  const std::string to_preview = Phase_Click(PREVIEW_PHASE), to_text = Phase_Click(TEXT_PHASE);
  Run_Script("wait 30\n" + to_preview + Shot_Line("20-unit-list") + "quit\n", project);
  Run_Script("wait 30\n" + to_text + labelsession::Menu(PANEL_ONESHOT + TEXT_NEW_BUTTON) +
                 "wait 5\ntype Side A\nwait 32\nkey KeypadEnter\nwait 5\n" + to_preview +
                 Shot_Line("21-unit-list-after-text") + "quit\n",
             project);
  const Shot plain = Read("20-unit-list"), edited = Read("21-unit-list-after-text");
  if (HasFailure()) return;
  EXPECT_FALSE(edited.Differs(plain, list)) << "the unit list is drawn as before the text";
}

// The layer bar's status column says what lies under the pointer within
// its own column: the paint layer's caption over its card does not run onto
// the cards, and once the pointer is on a card with nothing to say nothing
// of the caption stays.
TEST_F(FollowWalk, TheLayerStatusStaysInItsColumn) {
  Open_Disc();
  if (HasFatalFailure()) return;
  Step([] { SV_Set_Enum(SV_PHASE, SYMBOL_PHASE); });
  Step([] { ASSERT_TRUE(Symbol_Add(1)); });
  Step([] { SV_Set_Enum(SV_PHASE, PHOTO_PHASE); });
  Config_All();
  const Rect column = programshot::Custom_Rect(CUSTOM_PSTATUS), cards = programshot::Custom_Rect(CUSTOM_LAYERS);
  ASSERT_FALSE(EmptyRect(column)) << "the layer bar's status column is laid out";
  ASSERT_FALSE(EmptyRect(cards));
  Rect paint, symbol, eye, thumb;
  Layer_Calc_Box(gs.layerbard.first_id, gs.layerbard.first_id, paint, eye, thumb);
  const Point on_paint = programshot::Middle(thumb);
  Layer_Calc_Box(gs.layerbard.first_id + 1, gs.layerbard.first_id, symbol, eye, thumb);
  const Point on_symbol = programshot::Middle(thumb);
  const std::string project = dir_ + "/layers.CD4";
  ASSERT_TRUE(Write_Project(project));
  Run_Script("wait 30\n" + Phase_Click(PHOTO_PHASE) + "wait 10\n" + Shot_Line("22-layers") + "move " + At(on_paint) +
                 "\n" + Shot_Line("23-layers-paint-caption", 30) + "move " + At(on_symbol) + "\n" +
                 Shot_Line("24-layers-no-caption", 30) + "quit\n",
             project);
  const Shot plain = Read("22-layers"), caption = Read("23-layers-paint-caption"), none = Read("24-layers-no-caption");
  if (HasFailure()) return;
  EXPECT_TRUE(caption.Differs(plain, column)) << "the paint layer's caption shows";
  EXPECT_FALSE(caption.Differs(plain, cards)) << "and stays off the cards";
  EXPECT_FALSE(none.Differs(plain, column)) << "nothing of it stays in the column";
  EXPECT_FALSE(none.Differs(plain, cards)) << "or on the cards";
}

// A tip shown over a button goes once a dialog takes over the window (here
// the print dialog of Ctrl+P), and does not stay through the print.
TEST_F(FollowWalk, ATipGoesWhenADialogTakesOver) {
  Open_Disc("_ Cassette J-card (A4)");
  if (HasFatalFailure()) return;
  Step([] { SV_Set_Enum(SV_PHASE, PHOTO_PHASE); });
  Config_All();
  const Rect button = OneShot_Rect(PHOTO_NEW_BUTTON);
  ASSERT_FALSE(EmptyRect(button)) << "the photo phase shows its import button";
  const Rect below{button.top, int16(button.left - 40), int16(button.bottom + 60), int16(button.right + 200)};
  const std::string project = dir_ + "/Tips.CD4";
  ASSERT_TRUE(Write_Project(project));
  Run_Script("wait 30\n" + Phase_Click(PHOTO_PHASE) + "move " + At(programshot::Middle(button)) + "\nwait 5\n" +
                 Shot_Line("25-no-tip") + "wait 90\n" + Shot_Line("26-tip") + "answer alert 1\nkey Ctrl+P\n" +
                 Shot_Line("27-after-print", 20) + "quit\n",
             project, 73, "VELMOR_PRINT=file");
  const Shot none = Read("25-no-tip"), tip = Read("26-tip"), after = Read("27-after-print");
  if (HasFailure()) return;
  ASSERT_TRUE(tip.Differs(none, below)) << "the tip shows under the button";
  EXPECT_FALSE(after.Differs(none, below)) << "after the print dialog the tip is gone";
}
