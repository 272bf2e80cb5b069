// The start screen's layout chooser pressed as a person presses it, through
// the main window's mouse dispatch: what its lists and its sheet preview
// show after each press is what the window shows when it is painted afresh
// in the same state, and every row of the lists can be read.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "PressSupport.h"
#include "ProgramShotSupport.h"
#include "doc/VoskTmpl.h"
#include "pixel/DrawUtilList.h"
#include "ui/VoskConf.h"

namespace {

// The window's pixels inside r (main-window coordinates).
std::vector<uint32> Pixels_In(const Rect& r) {
  std::vector<uint32> px, out;
  int32 w = 0, h = 0;
  if (!Host_Window_Compose(gs.outer_window, px, w, h)) return out;
  for (int32 y = std::max<int32>(r.top, 0); y < std::min<int32>(r.bottom, h); ++y)
    for (int32 x = std::max<int32>(r.left, 0); x < std::min<int32>(r.right, w); ++x)
      out.push_back(px[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFFu);
  return out;
}

// The same area once the whole window is painted again.
std::vector<uint32> Repainted_In(const Rect& r) {
  InvalidateRect(gs.outer_window, nullptr, false);
  UpdateWindow(gs.outer_window);
  return Pixels_In(r);
}

class LayoutChooser : public programshot::PanelTree {
 protected:
  void SetUp() override {
    programshot::PanelTree::SetUp();
    if (HasFatalFailure()) return;
    Start_First_Run("chooser");
    sounds_.emplace();
    gs.controller = HUMAN;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    Config_All();
    SV_Finish();
    press::Pump();
    // "Choose a layout..." pressed on the start screen.
    const Rect pick = programshot::OneShot_Rect(PROJ_PICKLAYOUT_BUTTON);
    ASSERT_FALSE(EmptyRect(pick));
    ASSERT_TRUE(press::Click(pick));
    ASSERT_EQ(gs.curr_phase, PAPER_PHASE);
  }
  void TearDown() override {
    Host_Script_Reset();
    std::filesystem::remove_all(dir_);
    Bar_Stop();
    sounds_.reset();
    programshot::PanelTree::TearDown();
  }
  // The grouping by kind (0) or by brand (1), pressed on its grid.
  void Group_By(int16 cell) {
    if (gs.grid_vals[PROJ_SORT_GRID] == cell) return;
    ASSERT_TRUE(press::Click(programshot::Grid_Cell_Rect(PROJ_SORT_GRID, cell)));
    ASSERT_EQ(gs.grid_vals[PROJ_SORT_GRID], cell);
  }
  // A click on row of the list (scrolled into sight first by its bar's
  // arrow, as a person would).
  void Press_Row(const a_listbox_desc& desc, int32 row) {
    int32 first = 0, last = 0;
    ListBox_Get_Vis_Range(desc, first, last);
    ASSERT_TRUE(row >= first && row <= last) << "row " << row << " is out of sight";
    Rect box;
    ListBox_Calc_Box(row, desc, box);
    ASSERT_TRUE(press::Click(box));
    ASSERT_EQ(desc.hix, row);
  }
  std::optional<soundtest::SoundRecorder> sounds_;
};

// A row chosen in the grouping list picks the first layout of its group:
// the preview shows that layout at once, not the one chosen before; and
// likewise a layout chosen in the entry list.
TEST_F(LayoutChooser, ThePreviewShowsTheLayoutSelectedAfterEachPress) {
  const Rect echo = programshot::Custom_Rect(CUSTOM_PAPERECHO);
  ASSERT_FALSE(EmptyRect(echo));
  const a_listbox_desc& groups = gs.paper_kind_desc;
  const a_listbox_desc& entries = gs.paper_list_desc;
  for (int16 grouping : {int16(1), int16(0)}) {
    SCOPED_TRACE(grouping == 0 ? "by kind" : "by brand");
    Group_By(grouping);
    ASSERT_GE(groups.nlist, 5);
    std::vector<uint32> before = Pixels_In(echo);
    for (int32 row : {int32(4), int32(5)}) {
      const uint32 was = Get_Selected_TemplateX();
      Press_Row(groups, row);
      ASSERT_NE(Get_Selected_TemplateX(), was) << "the group's first layout is another";
      const std::vector<uint32> shown = Pixels_In(echo);
      EXPECT_EQ(shown, Repainted_In(echo)) << "group row " << row << ": the preview is not the selected layout's";
      EXPECT_NE(shown, before);
      before = shown;
    }
    ASSERT_GE(entries.nlist, 2);
    Press_Row(entries, 2);
    const std::vector<uint32> shown = Pixels_In(echo);
    EXPECT_EQ(shown, Repainted_In(echo)) << "entry row 2: the preview is not the selected layout's";
  }
}

// Every row of the brand list names its brand; the blank stock of no maker
// too, which a layout's first word "_" stands for.
TEST_F(LayoutChooser, EveryBrandRowCanBeRead) {
  Group_By(1);
  const a_listbox_desc& brands = gs.paper_kind_desc;
  ASSERT_GE(brands.nlist, 3);
  int32 blank_stock = 0;
  for (int32 r = 1; r <= brands.nlist; ++r) {
    const uStr255& text = brands.list[r - 1].uss;
    size_t k = 0;
    while (text[k] == ' ') ++k;
    EXPECT_NE(text[k], 0) << "brand row " << r << " shows nothing";
    a_ctemplate c{};
    if (r > 1 && Get_CTemplate(brands.list[r - 1].key, c) && c.label[0] == '_') blank_stock = r;
  }
  ASSERT_GT(blank_stock, 0) << "the catalogue has blank stock";
  // Chosen, it lists the blank stock's layouts.
  Press_Row(brands, blank_stock);
  ASSERT_GE(gs.paper_list_desc.nlist, 1);
  a_ctemplate c{};
  ASSERT_TRUE(Get_CTemplate(Get_Selected_TemplateX(), c));
  EXPECT_EQ(c.label[0], '_');
}

}  // namespace
