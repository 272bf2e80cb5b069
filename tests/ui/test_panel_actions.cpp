// The panel controls whose actions were missing, each pressed where it lies
// through the main window's mouse dispatch, and what it changed: the print
// nudges and their read-outs, the stamp warps (and the X key), the canvas
// darkness at once, the gradient's repeats, the LaserJet feed toggle moving
// the printed units, the FlexLabel job file, the examples' page label.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "PressFixture.h"
#include "doc/VoskPrev.h"
#include "doc/VoskPrin.h"
#include "doc/VoskShap.h"
#include "objects/VoskGrad.h"
#include "ui/VoskConf.h"
#include "ui/VoskDelt.h"
#include "ui/VoskDisp.h"

namespace {

namespace fs = std::filesystem;

class PanelActions : public press::PressedProgram {
 protected:
  PanelActions() : press::PressedProgram("panel-actions") {}
  static void Phase(a_phase p) {
    SV_Set_Enum(SV_PHASE, p);
    SV_Finish();
    Config_All();
    SV_Finish();
    press::Pump();
  }
  static void Open_Sheet(float width) {
    a_template x{};
    std::strcpy(x.label, "Sheet");
    x.papersize = {width, 279.4f};
    a_unit& u = x.units[x.nunits++];
    u.kind = UNIT_RECT;
    u.bbox = a_frect{10, 10, 60, 40};
    ASSERT_TRUE(Doc_New(x));
    Select_Doc_Unit(1);
  }
  static void Open(const char* layout) {
    const uint32 tx = Find_Template(CStrSpan(layout, std::strlen(layout)));
    ASSERT_NE(tx, 0u) << layout;
    ASSERT_TRUE(Proj_PickLayout2(tx));
  }
  static std::vector<uint32> Pixels(const Rect& r) {
    std::vector<uint32> px, out;
    int32 w = 0, h = 0;
    if (!Host_Window_Compose(gs.outer_window, px, w, h)) return out;
    for (int y = r.top; y < r.bottom && y < h; ++y)
      for (int x = r.left; x < r.right && x < w; ++x) out.push_back(px[size_t(y) * size_t(w) + size_t(x)]);
    return out;
  }
  static Rect Label_Rect(a_locator loc) { return Node_Get(CURR, nodetest::Slot_Of(loc)).nbounds; }
  static a_print_media_spec Media() {
    a_print_media_spec m{};
    Get_Media_Specs(m);
    return m;
  }
};

// Each nudge of the disc printer's panel moves the printout by its step
// (0.1 mm) and the read-outs show it at once; the middle button puts it back.
TEST_F(PanelActions, NudgeButtonsMoveThePrintoutAndTheReadOutsFollow) {
  Open("_ Disc printer, CD/DVD");
  Phase(PREVIEW_PHASE);
  const Rect across = Label_Rect(NUDGE_X_LABEL_LOC), down = Label_Rect(NUDGE_Y_LABEL_LOC);
  const struct {
    a_oneshot_enum button;
    int16 h, v;
  } cases[] = {{PRINT_NUDGE_R, 1, 0}, {PRINT_NUDGE_D, 1, 1}, {PRINT_NUDGE_L, 0, 1}, {PRINT_NUDGE_U, 0, 0},
               {PRINT_NUDGE_U, 0, -1}, {PRINT_NUDGE_0, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(ART_ONESHOT_ITEMS[c.button].name);
    const a_print_media_spec was = Media();
    const std::vector<uint32> x0 = Pixels(across), y0 = Pixels(down);
    Press({ONESHOT_NODE, c.button});
    EXPECT_EQ(Media().nudge.h, c.h);
    EXPECT_EQ(Media().nudge.v, c.v);
    EXPECT_EQ(Pixels(across) != x0, Media().nudge.h != was.nudge.h) << "the read-out across";
    EXPECT_EQ(Pixels(down) != y0, Media().nudge.v != was.nudge.v) << "the read-out down";
  }
}

// The stamp tool's warp buttons flip and turn the stamp; X on the keyboard
// flips it as the first button does.
TEST_F(PanelActions, WarpButtonsAndTheirKeys) {
  Open_Sheet(215.9f);
  Phase(PAINT_PHASE);
  SV_Set_Int(SV_TOOL_SELECTION, int16(STAMP_TOOL));
  Phase(PAINT_PHASE);
  Press({ONESHOT_NODE, WARP_FLIPX_BUTTON});
  EXPECT_TRUE(gs.toggle_vals[FLIPX_TOGGLE]);
  Press({ONESHOT_NODE, WARP_FLIPY_BUTTON});
  EXPECT_TRUE(gs.toggle_vals[FLIPY_TOGGLE]);
  const int16 angle = gs.slider_vals[STAMP_ROTATE_SLIDER];
  Press({ONESHOT_NODE, WARP_ROTATECW_BUTTON});
  const int16 turned = gs.slider_vals[STAMP_ROTATE_SLIDER];
  EXPECT_NE(turned, angle);
  Press({ONESHOT_NODE, WARP_ROTATECCW_BUTTON});
  EXPECT_EQ(gs.slider_vals[STAMP_ROTATE_SLIDER], angle);
  std::string err;
  ASSERT_TRUE(Host_Script_Load_Text("key x\n", "x", err)) << err;
  press::Pump();
  EXPECT_FALSE(gs.toggle_vals[FLIPX_TOGGLE]) << "X flips the stamp back";
}

// The darkness slider changes the unit's canvas at once.
TEST_F(PanelActions, CanvasDarknessActsAtOnce) {
  Open_Sheet(215.9f);
  Phase(CANVAS_PHASE);
  const int16 was = g_doc.up->canv.cv.canvas_darkness;
  Press({SLIDER_NODE, CANV_DARKNESS_SLIDER, 1});
  EXPECT_EQ(gs.slider_vals[CANV_DARKNESS_SLIDER], was + 1);
  EXPECT_EQ(g_doc.up->canv.cv.canvas_darkness, was + 1) << "the canvas kept its darkness";
}

// More repeats make another gradient.
TEST_F(PanelActions, GradientRepeatsChangeTheFill) {
  Open_Sheet(215.9f);
  Phase(PAINT_PHASE);
  SV_Set_Int(SV_TOOL_SELECTION, int16(BUCKET_TOOL));
  gs.fill_kind = GRADIENT_FILL;
  Grad_Kind_Select();
  Phase(PAINT_PHASE);
  ASSERT_NE(gs.fill_gradient, nullptr);
  const a_grad_rec before = *gs.fill_gradient;
  Press({SLIDER_NODE, GRAD_REP_SLIDER, 1});
  EXPECT_EQ(gs.slider_vals[GRAD_REP_SLIDER], 2);
  EXPECT_NE(std::memcmp(&before, gs.fill_gradient, sizeof before), 0) << "the fill is the same at 2 repeats";
}

// On small paper the feed toggle centres the printout in a Letter-width
// slot: the printed unit moves by half the difference.
TEST_F(PanelActions, LaserJetToggleMovesThePrintedUnits) {
  Open_Sheet(148);
  Phase(PREVIEW_PHASE);
  a_unit off{}, on{};
  Calc_Adjusted_Unit(false, true, 1, NOT_DIRECT, g_doc.doc_template.units[0], off);
  Press({TOGGLE_NODE, LASERJET_TOGGLE});
  ASSERT_TRUE(gs.toggle_vals[LASERJET_TOGGLE]);
  Calc_Adjusted_Unit(false, true, 1, NOT_DIRECT, g_doc.doc_template.units[0], on);
  EXPECT_NEAR(on.bbox.left - off.bbox.left, (215.9f - 148) / 2, 0.01f);
}

// The FlexLabel panel's OK writes the job file into the documents folder.
TEST_F(PanelActions, FlexLabelOkWritesTheJob) {
  Open("Amtren FlexLabel");
  Phase(PREVIEW_PHASE);
  const std::string job = dir_ + "/FlexWare Files/Print Files/Output.prn";
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  Press({ONESHOT_NODE, FLEXLABEL_OK_BUTTON});
  std::string left;
  (void)Host_Script_Take_Answer(HOST_ANSWER_ALERT, left);
  ASSERT_TRUE(fs::exists(job)) << "no job file";
  EXPECT_GT(fs::file_size(job), 0u);
}

}  // namespace
