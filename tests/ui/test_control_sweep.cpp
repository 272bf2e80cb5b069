// The sweep: every panel configuration the program shows (the start
// screen's tabs, the layout chooser, each phase of a sheet layout and the
// paint tools, the print panels of a sheet, of small paper and of the disc
// printers), and in each every control it shows pressed where it lies,
// through the main window's mouse dispatch. Each press must leave something
// a person notices (a value, the window, the document or its history, the
// phase, a sound of its own, a dialog asking, a print, the program ending),
// or the control's row must say it is inert. The configuration is made
// afresh before every press.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "LabelSessionSupport.h"
#include "PressSupport.h"
#include "TempDirSupport.h"
#include "ProgramShotSupport.h"
#include "doc/VoskPrin.h"
#include "doc/VoskTmpl.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "pixel/DrawUtilMasked.h"
#include "ui/VoskConf.h"
#include "ui/VoskDelt.h"

namespace {

struct Config {
  std::string name;
  std::function<void()> make;
};

// The buttons that open a window of their own (the language list, the
// stamp index, the symbol browser, the crop window): a run that nobody
// attends cancels it at once, before it leaves a trace this look can see.
bool Opens_Own_Window(const press::a_control& c) {
  if (c.kind != ONESHOT_NODE) return false;
  for (a_oneshot_enum b : {PROJ_LANG_BUTTON, BAR_INDEX_BUTTON, SYMBOL_NEW_BUTTON, PHOTO_CROP_BUTTON})
    if (c.ix == b) return true;
  return false;
}

// Whether the control's row says it need do nothing.
bool Inert(const press::a_control& c) {
  switch (c.kind) {
    case ONESHOT_NODE: return OneShot_Rows()[size_t(c.ix)].inert != nullptr;
    case TOGGLE_NODE: return Toggle_Rows()[size_t(c.ix)].inert != nullptr;
    case ICONGRID_NODE: return Grid_Rows()[size_t(c.ix)].inert != nullptr;
    case SLIDER_NODE: return Slider_Rows()[size_t(c.ix)].inert != nullptr;
    default: return false;
  }
}

class ControlSweep : public programshot::PanelTree {
protected:
  void SetUp() override {
    programshot::PanelTree::SetUp();
    if (HasFatalFailure()) return;
    Start_First_Run("sweep");
    // The window moved to its place of a first run.
    Config_All();
    // The files the controls write (job files, saves) go to the scratch
    // folder.
    home_.emplace("HOME", dir_.c_str());
    docs_.emplace("XDG_CONFIG_HOME", (dir_ + "/config").c_str());
    sounds_.emplace();
    Host_Print_Set_Output_Path(dir_ + "/printed.pdf");
    photo_ = dir_ + "/photo.png";
    std::vector<uint32> px(60 * 40, 0xFF3050E0u);
    std::string why;
    ASSERT_TRUE(Host_Write_PNG(photo_, px.data(), 60, 40, why)) << why;
  }
  void TearDown() override {
    Host_Script_Reset();
    g_doneflag = false;
    std::filesystem::remove_all(dir_);
    Bar_Stop();
    sounds_.reset();
    docs_.reset();
    home_.reset();
    programshot::PanelTree::TearDown();
  }

  // The configuration made from nothing: no document, the values at their
  // defaults, then c's own steps and the panels laid out.
  void Make(const Config& c) {
    Host_Script_Reset();
    doctests::Close_Document();
    History_Null();
    Intf_Init_Tables();
    for (int16 g = 0; g < NGRIDS; ++g) gs.grid_vals[g] = GRID_VALUES[g].grid_defaultval;
    for (int16 x = 0; x < NTOGGLES; ++x) gs.toggle_vals[x] = TOGGLE_VALUES[x].toggle_defaultval;
    g_doneflag = false;
    g_quit_pending = false;
    gs.controller = HUMAN;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    c.make();
    Config_All();
    SV_Finish();
    press::Pump();
    sounds_->Clear();
  }

 public:
  // The steps of the configurations.
  static void Open(const char* layout) {
    const uint32 tx = Find_Template(CStrSpan(layout, std::strlen(layout)));
    ASSERT_NE(tx, 0u) << layout;
    ASSERT_TRUE(Proj_PickLayout2(tx)) << layout;
  }
  static void Open_Sheet(float width) {
    a_template x = dispatchtest_like_sheet(width);
    ASSERT_TRUE(Doc_New(x));
    Select_Doc_Unit(1);
  }
  static a_template dispatchtest_like_sheet(float width) {
    a_template x{};
    std::strcpy(x.label, width < 210 ? "Small sheet" : "Sweep sheet");
    x.papersize = {width, width * 1.4f};
    for (int i = 0; i < 2; ++i) {
      a_unit& u = x.units[x.nunits++];
      u.kind = UNIT_RECT;
      u.bbox = a_frect{10.0f + 60 * i, 10, 60.0f + 60 * i, 50};
    }
    return x;
  }
  static void Phase(a_phase p) {
    SV_Set_Enum(SV_PHASE, p);
    SV_Finish();
  }
  // A photo placed and selected, as the program places one.
  static void Place_Photo() {
    a_masked_gworld mw;
    Null_MW(mw);
    mw.bounds = Rect{0, 0, 40, 60};
    ASSERT_EQ(New_GWorld(mw.bounds, 32, nullptr, mw.fore), 0);
    Photo_Paste(mw, SOURCE_CLIPBOARD);
  }
  static void Place_Text() {
    const UniChar text[] = {'S', 'w', 'e', 'e', 'p'};
    ASSERT_TRUE(Text_Inject_Unicode(text, 5));
  }

 protected:
  // Every control of c pressed, each in c made afresh; the names of those
  // that did nothing a person notices and whose rows claim an action.
  std::vector<std::string> Sweep(const Config& c) {
    Make(c);
    const std::vector<press::a_control> controls = press::Shown_Controls();
    EXPECT_FALSE(controls.empty()) << c.name << " shows no control";
    std::vector<std::string> dead;
    for (const press::a_control& control : controls) {
      Make(c);
      const Rect r = press::Control_Rect(control);
      if (EmptyRect(r)) {
        dead.push_back(c.name + ": " + control.Name() + " is not where it was");
        continue;
      }
      EXPECT_TRUE(press::Hover(r));
      sounds_->Clear();
      const press::a_look before = press::Look(*sounds_);
      // A dialog the press opens takes its answer: a photo to open, a file
      // to save, a colour, the alert's second button.
      const std::string answers = "answer open " + photo_ + "\nanswer save " + dir_ + "/saved\nanswer folder " +
                                  dir_ + "\nanswer color #204060\nanswer alert 2\n";
      EXPECT_TRUE(press::Click(r, answers));
      bool asked = false;
      std::string left;
      for (HostAnswerKind k : {HOST_ANSWER_OPEN, HOST_ANSWER_SAVE, HOST_ANSWER_FOLDER, HOST_ANSWER_COLOR,
                               HOST_ANSWER_ALERT})
        if (!Host_Script_Take_Answer(k, left)) asked = true;
      const press::a_look after = press::Look(*sounds_);
      ++pressed_;
      if (!asked && before == after && !Inert(control) && !Opens_Own_Window(control)) dead.push_back(c.name + ": " + control.Name());
    }
    return dead;
  }

  std::optional<soundtest::SoundRecorder> sounds_;
  std::optional<testdir::EnvGuard> home_, docs_;
  std::string photo_;
  int pressed_ = 0;
};

// The configurations, each swept by a test of its own.
std::vector<Config> All_Configs() {
  using S = ControlSweep;
  std::vector<Config> configs;
  for (int16 tab = 0; tab < 3; ++tab)
    configs.push_back({"start screen tab " + std::to_string(tab), [tab] { gs.grid_vals[PROJ_AGE_GRID] = tab; }});
  configs.push_back({"layout chooser", [] { S::Phase(PAPER_PHASE); }});
  const struct {
    const char* name;
    a_phase phase;
  } phases[] = {{"print preview", PREVIEW_PHASE}, {"canvas", CANVAS_PHASE}, {"grid lines", GRID_PHASE},
                {"symbols", SYMBOL_PHASE}};
  for (const auto& p : phases)
    configs.push_back({std::string("sheet, ") + p.name, [p] {
                         S::Open_Sheet(215.9f);
                         S::Phase(p.phase);
                       }});
  for (a_fill_kind fill : {GRADIENT_FILL, STAMP_FILL})
    configs.push_back({"bucket with fill " + std::to_string(int(fill)), [fill] {
                         S::Open_Sheet(215.9f);
                         S::Phase(PAINT_PHASE);
                         SV_Set_Int(SV_TOOL_SELECTION, int16(BUCKET_TOOL));
                         SV_Finish();
                         gs.fill_kind = fill;
                       }});
  for (int16 tool = 0; tool < 16; ++tool)
    configs.push_back({"paint tool " + std::to_string(tool), [tool] {
                         S::Open_Sheet(215.9f);
                         S::Phase(PAINT_PHASE);
                         SV_Set_Int(SV_TOOL_SELECTION, int16(tool));
                         SV_Finish();
                       }});
  for (int16 page = 0; page < 4; ++page) {
    configs.push_back({"photo page " + std::to_string(page), [page] {
                         S::Open_Sheet(215.9f);
                         S::Phase(PHOTO_PHASE);
                         S::Place_Photo();
                         Grid_SetVal_Silent(PHOTO_PHASE_GRID, page);
                       }});
    configs.push_back({"text page " + std::to_string(page), [page] {
                         S::Open_Sheet(215.9f);
                         S::Phase(TEXT_PHASE);
                         S::Place_Text();
                         Grid_SetVal_Silent(TEXT_PHASE_GRID, page);
                       }});
  }
  configs.push_back({"small paper print panel", [] {
                       S::Open_Sheet(148);
                       S::Phase(PREVIEW_PHASE);
                     }});
  for (const char* layout : {"_ Disc printer, CD/DVD", "_ Disc printer, CD/DVD hub", "_ Disc printer by driver, CD",
                             "_ Disc printer, mini disc", "_ Disc printer, card disc", "Amtren FlexLabel"})
    configs.push_back({std::string("print panel of ") + layout, [layout] {
                         S::Open(layout);
                         S::Phase(PREVIEW_PHASE);
                       }});
  return configs;
}

class ControlSweepOf : public ControlSweep, public ::testing::WithParamInterface<size_t> {};

TEST_P(ControlSweepOf, EveryShownControlActsOrItsRowSaysWhy) {
  const std::vector<Config> configs = All_Configs();
  ASSERT_LT(GetParam(), configs.size());
  const Config& c = configs[GetParam()];
  const std::vector<std::string> dead = Sweep(c);
  std::string list;
  for (const std::string& d : dead) list += "  " + d + "\n";
  EXPECT_TRUE(dead.empty()) << "pressed, nothing happened:\n" << list;
  EXPECT_GT(pressed_, 0) << c.name << ": nothing pressed";
}

// The eyedropper's pick on the palette, clicked there: every tool whose bar
// offers the palette shows it from then on. The brush, which showed its
// gradients, shows the palette once chosen again, with the picked colour
// in its cell.
TEST_F(ControlSweep, ADropperPickOnThePaletteShowsThePaletteInEveryRing) {
  Make({"brush on its gradients", [] {
          ControlSweep::Open_Sheet(215.9f);
          ControlSweep::Phase(PAINT_PHASE);
          SV_Set_Int(SV_TOOL_SELECTION, int16(BRUSH_TOOL));
          SV_Finish();
          gs.bar_in_ring[BRUSH_RING] = GRADIENT_BAR;
          gs.bar_in_ring[LINE_RING] = PATTERN_BAR;
          gs.bar_in_ring[STAMP_RING] = STAMP_BAR;
        }});
  const auto tool_cell = [](a_tool tool) { return programshot::Grid_Cell_Rect(TOOL_GRID, int16(tool)); };
  ASSERT_TRUE(press::Click(tool_cell(DROPPER_TOOL)));
  Config_All();
  ASSERT_EQ(gs.curr_bar, PAINT_COLORBAR) << "the dropper shows the palette";
  const Rect area = programshot::Custom_Rect(CUSTOM_BAR);
  const int16 id = 40;
  Rect cell;
  ASSERT_TRUE(PaletteToRect(gs.bard[PAINT_COLORBAR], area, id, cell));
  ASSERT_TRUE(press::Click(cell));
  EXPECT_EQ(gs.bar_selection[PAINT_COLORBAR], id) << "the palette took the pick";
  EXPECT_EQ(gs.bar_in_ring[BRUSH_RING], PAINT_COLORBAR);
  EXPECT_EQ(gs.bar_in_ring[LINE_RING], PAINT_COLORBAR);
  EXPECT_EQ(gs.bar_in_ring[STAMP_RING], STAMP_BAR) << "the stamp's ring offers no palette";

  // The brush again, through its cell: the bar shows the palette, the
  // picked colour where the pick was.
  ASSERT_TRUE(press::Click(tool_cell(BRUSH_TOOL)));
  Config_All();
  press::Pump();
  EXPECT_EQ(gs.curr_bar, PAINT_COLORBAR);
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  ASSERT_TRUE(Host_Window_Compose(gs.outer_window, px, w, h));
  const a_win_pixel32& want = gs.color_table[id];
  const uint32 at = programshot::Px(px, w, (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
  EXPECT_EQ(at, (uint32(want.r) << 16) | (uint32(want.g) << 8) | want.b) << "the palette's cell shows its colour";
}

INSTANTIATE_TEST_SUITE_P(Panels, ControlSweepOf, ::testing::Range(size_t(0), All_Configs().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                           const std::vector<Config> configs = All_Configs();
                           std::string name;
                           for (char ch : configs[info.param].name)
                             name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return name;
                         });

}  // namespace
