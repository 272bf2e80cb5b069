// The slider on the main window of the headless backend, drawn from the
// build's picture library: steps of the plus and minus buttons to the next
// multiple, the limits, Shift and Ctrl, thumb drags of plain and live
// sliders (their procedures, the history operation they leave pending), the
// reset button, the grown hit boxes of the parts, the keyboard, and sliders
// outside the table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "NodeTestSupport.h"
#include "platform/WinTestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "host/HostAudio.h"
#include "host/HostClock.h"
#include "host/HostGdi.h"
#include "host/HostScript.h"
#include "objects/VoskBlok.h"
#include "pixel/Fast.h"
#include "pixel/OP.h"
#include "platform/SysIO.h"
#include "platform/SysSound.h"
#include "platform/VoskDef.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskSlid.h"
#include "ui/VoskStat.h"

namespace {

// What the slider's procedures were called with (the slider's value then).
std::vector<int16> g_jumps, g_traks, g_stops;
int16 g_slider = NULL_SLIDER;
void Jump() { g_jumps.push_back(gs.slider_vals[g_slider]); }
void Trak() { g_traks.push_back(gs.slider_vals[g_slider]); }
void Stop() { g_stops.push_back(gs.slider_vals[g_slider]); }

// The slider's node: 20 pixels right of the corner it is added at.
constexpr Point kCorner = {100, 30};
constexpr int16 kNodeLeft = kCorner.h + SLIDER_NODE_DH, kNodeTop = kCorner.v;

class Slider : public nodetest::NodeTree {
 protected:
  void SetUp() override {
    nodetest::NodeTree::SetUp();
    if (HasFatalFailure()) return;
    gs.controller = HUMAN;
    Sound_Init();
    Sound_Enable(true);
    Host_Audio_Reset_Sink();
    SV_Init();
    pending_op = OP_NOP;
    g_jumps.clear();
    g_traks.clear();
    g_stops.clear();
    g_tracked = a_tracked_rec{};
  }
  void TearDown() override {
    Slider_Close();
    Host_Script_Reset();
    Sound_Stop();
    Host_Audio_Reset_Sink();
    nodetest::NodeTree::TearDown();
    Intf_Init_Tables();
  }

  // Shows slider s (alone on a striped panel) at value, with the test's
  // procedures in place of its own: a live slider follows the drag.
  void Show(a_slider_enum s, int16 value, bool live = false) {
    g_slider = s;
    a_slider_item& r = g_sliders[s];
    r.jump_proc = Jump;
    r.thumb_init = nullptr;
    r.thumb_trak = live ? Trak : nullptr;
    r.thumb_stop = live ? Stop : nullptr;
    r.incproc = nullptr;
    gs.slider_vals[s] = value;
    nodetest::Describe({nodetest::Division(nodetest::kPanel, Rect{0, 0, 300, 400}, DECORATION_STRIPED),
                        nodetest::Item(nodetest::kItem1, SLIDER_NODE, s, kCorner)});
    ASSERT_NE(r.nodex, 0);
    Slider_Paint(s);
  }

  static a_mousestroke Stroke(int16 h, int16 v, bool button = true, a_keymod_set mods = 0) {
    return a_mousestroke{int32(TickCount()), gs.outer_window, Point{int16(kNodeTop + v), int16(kNodeLeft + h)},
                         button, false, mods};
  }
  // A press at (h, v) of the node, entering it; then time enough for its
  // sound to end.
  static void Press(int16 h, int16 v, a_keymod_set mods = 0) {
    Slider_Track(true, false, Stroke(h, v, true, mods), g_slider);
    Host_Clock_Advance_Millis(2000);
  }
  // A drag of the thumb from (h, v) of the node through each h of path,
  // released at the last: the script holds the button down while the
  // slider's loop polls the mouse.
  static void Drag(int16 h, int16 v, const std::vector<int16>& path) {
    std::string script = "down " + Global_X(h) + " " + Global_Y(v) + "\n";
    for (int16 x : path) script += "move " + Global_X(x) + " " + Global_Y(v) + "\n";
    // A tick at the last place before the release, as a hand holds still.
    script += "wait 1\nup " + Global_X(path.back()) + " " + Global_Y(v) + "\n";
    std::string err;
    ASSERT_TRUE(Host_Script_Load_Text(script, "drag", err)) << err;
    // The press itself is taken from the queue, as the main window would.
    MSG msg;
    int tries = 0;
    while (PeekMessage(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE) == 0) ASSERT_LT(++tries, 100);
    Press(h, v);
  }
  static std::string Global_X(int16 h) { return std::to_string(kNodeLeft + h); }
  static std::string Global_Y(int16 v) { return std::to_string(kNodeTop + v); }

  // The sounds played since the last call, by id (the library's sounds
  // differ in length).
  static std::vector<int16> Sounds() {
    std::vector<int16> ids;
    for (const HostAudioEvent& e : Host_Audio_Events()) {
      if (e.kind != HostAudioEventKind::PLAY) continue;
      int16 id = -1;
      for (int16 c : {SND_SUBTOOL_SLIDER, SND_NULL})
        if (e.samples.size() == Samples(c).size()) id = c;
      ids.push_back(id);
    }
    Host_Audio_Reset_Sink();
    return ids;
  }
  static std::vector<uint8> Samples(int16 id) {
    const a_keyset key{SOUND_KEY_FAMILY, 0, id, 0};
    const int32 size = OP_Size(key);
    Ptr p = OP_Lock(key);
    std::vector<uint8> v;
    if (p != nullptr && size > SOUND_HEADER_SIZE) v.assign(p + SOUND_HEADER_SIZE, p + size);
    OP_Unlock(p);
    return v;
  }

  // The window's pixel at (h, v) of the node.
  static uint32 Pixel(int16 h, int16 v) {
    HDC dc = GetDC(gs.outer_window);
    const COLORREF c = GetPixel(dc, kNodeLeft + h, kNodeTop + v);
    ReleaseDC(gs.outer_window, dc);
    return c;
  }
  // The window's pixels over a part's box (node coordinates).
  static std::vector<uint32> Pixels(const Rect& box) {
    std::vector<uint32> v;
    for (int16 y = box.top; y < box.bottom; ++y)
      for (int16 x = box.left; x < box.right; ++x) v.push_back(Pixel(x, y));
    return v;
  }
};

constexpr a_keymod_set kShift = Keymod_Bit(SHIFTKEY), kCtrl = Keymod_Bit(OPTIONKEY);

// The buttons' middles, node coordinates.
constexpr int16 kMinusH = 269, kPlusH = 300, kButtonV = 22;

// With a step of 5 the buttons go to the next multiple of 5 in their
// direction; Shift takes the big step (45), Ctrl the tiny one (1); a slider
// without a big step takes its normal one with Shift.
TEST_F(Slider, PlusAndMinusGoToTheNextMultipleOfTheStep) {
  struct Case {
    a_slider_enum s;
    int16 from;
    bool plus;
    a_keymod_set mods;
    int16 want;
  } cases[] = {
      {STAMP_ROTATE_SLIDER, 7, true, 0, 10},     {STAMP_ROTATE_SLIDER, 7, false, 0, 5},
      {STAMP_ROTATE_SLIDER, -7, true, 0, -5},    {STAMP_ROTATE_SLIDER, -7, false, 0, -10},
      {STAMP_ROTATE_SLIDER, 10, true, 0, 15},    {STAMP_ROTATE_SLIDER, 10, false, 0, 5},
      {STAMP_ROTATE_SLIDER, 0, false, 0, -5},    {STAMP_ROTATE_SLIDER, 7, true, kShift, 45},
      {STAMP_ROTATE_SLIDER, -7, true, kShift, 0}, {STAMP_ROTATE_SLIDER, 7, true, kCtrl, 8},
      {STAMP_ROTATE_SLIDER, 178, true, 0, 180},  {STAMP_SIZE_SLIDER, 10, true, kShift, 11},
      {STAMP_SIZE_SLIDER, 10, false, kShift, 9}, {STAMP_SIZE_SLIDER, 10, true, kCtrl, 11},
  };
  for (const Case& c : cases) {
    Show(c.s, c.from);
    pending_op = OP_PHOTO_ADJUST;  // the stamp sliders record nothing
    g_jumps.clear();
    Press(c.plus ? kPlusH : kMinusH, kButtonV, c.mods);
    EXPECT_EQ(gs.slider_vals[c.s], c.want) << c.s << " from " << c.from << (c.plus ? " +" : " -") << int(c.mods);
    EXPECT_EQ(g_jumps, std::vector<int16>{c.want}) << "its procedure, once";
    EXPECT_EQ(pending_op, OP_NOP) << "its history operation";
    Slider_Close();
  }
  EXPECT_EQ(Sounds(), std::vector<int16>(std::size(cases), SND_SUBTOOL_SLIDER));
}

// At the maximum plus beeps and changes nothing; so does minus at the minimum.
TEST_F(Slider, PlusAtTheMaximumBeeps) {
  for (int16 from : {int16(180), int16(-180)}) {
    Show(STAMP_ROTATE_SLIDER, from);
    Press(from > 0 ? kPlusH : kMinusH, kButtonV);
    EXPECT_EQ(gs.slider_vals[STAMP_ROTATE_SLIDER], from);
    EXPECT_TRUE(g_jumps.empty());
    EXPECT_EQ(Sounds(), std::vector<int16>{SND_NULL});
    Slider_Close();
  }
}

// The size of a text steps through the standard sizes with Shift (its own
// step procedure) and by 1 without.
TEST_F(Slider, TextSizeStepsThroughTheStandardSizes) {
  Show(TEXT_SIZE_SLIDER, 14);
  g_sliders[TEXT_SIZE_SLIDER].incproc = Calc_Text_Inc;
  Press(kPlusH, kButtonV, kShift);
  EXPECT_EQ(gs.slider_vals[TEXT_SIZE_SLIDER], 15);
  Press(kPlusH, kButtonV);
  EXPECT_EQ(gs.slider_vals[TEXT_SIZE_SLIDER], 16);
  Press(kPlusH, kButtonV, kShift);
  EXPECT_EQ(gs.slider_vals[TEXT_SIZE_SLIDER], 18);
  gs.slider_vals[TEXT_SIZE_SLIDER] = 72;
  Press(kPlusH, kButtonV, kShift);
  EXPECT_EQ(gs.slider_vals[TEXT_SIZE_SLIDER], 72) << "80 is beyond the slider's maximum";
  Press(kMinusH, kButtonV, kShift);
  EXPECT_EQ(gs.slider_vals[TEXT_SIZE_SLIDER], 66);
}

// The thumb of a plain slider: a drag that ends where it began calls
// nothing and records nothing; one that changed the value calls the
// slider's procedure once, with the final value, and leaves its history
// operation pending.
TEST_F(Slider, APlainDragCallsItsProcedureOnceAtTheEnd) {
  // PHOTO_SIZE_SLIDER: 50 .. 6000, OP_PHOTO_SIZE; a value the thumb's
  // place gives back exactly.
  const int16 left = 40;
  const int16 start = Interpolate_Rounded(left, 0, 231, 50, 6000);
  Show(PHOTO_SIZE_SLIDER, start);
  Drag(int16(left + 5), 25, {int16(left + 40), int16(left - 30), int16(left + 5)});
  EXPECT_EQ(gs.slider_vals[PHOTO_SIZE_SLIDER], start);
  EXPECT_TRUE(g_jumps.empty());
  EXPECT_EQ(pending_op, OP_NOP);
  Slider_Close();

  Drag(int16(left + 5), 25, {int16(left + 40), int16(left + 60), int16(left + 105)});
  const int16 want = Interpolate_Rounded(int16(left + 100), 0, 231, 50, 6000);
  EXPECT_EQ(gs.slider_vals[PHOTO_SIZE_SLIDER], want);
  EXPECT_EQ(g_jumps, std::vector<int16>{want});
  EXPECT_EQ(pending_op, OP_PHOTO_SIZE);
  EXPECT_FALSE(t.status_tracking);
}

// A live slider reports every value while the thumb moves and gets
// thumb_stop at the release, but no final Slider_SetVal; a drag that changed
// the value leaves the slider's history operation pending, so that the
// change can be undone.
TEST_F(Slider, ALiveDragReportsEveryValueAndLeavesItsHistoryOperation) {
  // PHOTO_CORNER_SLIDER: 0 .. 100, OP_PHOTO_ADJUST.
  Show(PHOTO_CORNER_SLIDER, 0, true);
  Drag(5, 25, {28, 51, 74});
  const std::vector<int16> want = {10, 20, 30};
  EXPECT_EQ(g_traks, want);
  EXPECT_EQ(g_stops, std::vector<int16>{30});
  EXPECT_TRUE(g_jumps.empty()) << "no final Slider_SetVal";
  EXPECT_EQ(gs.slider_vals[PHOTO_CORNER_SLIDER], 30);
  EXPECT_EQ(pending_op, OP_PHOTO_ADJUST);
  EXPECT_TRUE(Is_Reset_Visible(PHOTO_CORNER_SLIDER));

  // Back where it began: nothing to undo.
  pending_op = OP_NOP;
  g_traks.clear();
  g_stops.clear();
  Slider_Close();
  const int16 left = Slider_Thumb_Offset(PHOTO_CORNER_SLIDER, 30);
  Drag(int16(left + 5), 25, {int16(left + 28), int16(left + 5)});
  EXPECT_EQ(g_traks, (std::vector<int16>{40, 30}));
  EXPECT_EQ(g_stops, std::vector<int16>{30});
  EXPECT_EQ(pending_op, OP_NOP);
}

// A live slider's effect shows on the label while the thumb moves: each
// step brings the current unit up to date, not only the release.
TEST_F(Slider, ALiveDragRendersTheUnitAtEachStep) {
  VoskDoc_Init();
  VoskFunc_Init();
  VoskUndo_Init();
  History_Null();
  VoskBlok_Init();
  a_template x{};
  std::strcpy(x.label, "Test sheet");
  x.papersize = {215.9f, 279.4f};
  a_unit& u = x.units[x.nunits++];
  u.kind = UNIT_RECT;
  u.bbox = a_frect{5, 5, 5 + 300 * 0.0846667f, 5 + 200 * 0.0846667f};
  ASSERT_TRUE(Doc_New(x));
  Select_Doc_Unit(1);
  gs.nviews = 1;
  gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{0, 0, 200, 300}};
  gs.curr_phase = PHOTO_PHASE;
  static a_doc_unit* unit;
  static std::vector<bool> merged_before;
  unit = g_doc.up;
  merged_before.clear();
  // Each step finds the previous one's rendering done, then asks for more.
  a_slider_item& r = g_sliders[PHOTO_CORNER_SLIDER];
  Show(PHOTO_CORNER_SLIDER, 0, true);
  r.thumb_trak = [] {
    merged_before.push_back(EmptyRect(unit->render_dirty));
    unit->render_dirty = unit->paintbounds;
  };
  unit->render_dirty = Rect{0, 0, 0, 0};
  Drag(5, 25, {28, 51, 74});
  EXPECT_EQ(merged_before, (std::vector<bool>{true, true, true}));
  EXPECT_TRUE(EmptyRect(unit->render_dirty)) << "the last step is shown too";
  Doc_Dispose();
  Dispose_Doc_Buffers();
}

// The reset button is shown once the value leaves its default and hidden
// when it comes back; pressing it puts the default back.
TEST_F(Slider, ResetShowsAndHides) {
  const Rect reset = Slider_Part_Box(PHOTO_CORNER_SLIDER, PART_RESET);
  Show(PHOTO_CORNER_SLIDER, 0);
  Slider_Update_Reset(PHOTO_CORNER_SLIDER);
  const std::vector<uint32> hidden = Pixels(reset);
  EXPECT_FALSE(Is_Reset_Visible(PHOTO_CORNER_SLIDER));
  Press(kPlusH, kButtonV);
  EXPECT_TRUE(Is_Reset_Visible(PHOTO_CORNER_SLIDER));
  const std::vector<uint32> shown = Pixels(reset);
  EXPECT_NE(shown, hidden) << "the button is drawn";
  Press(220, 8);
  EXPECT_EQ(gs.slider_vals[PHOTO_CORNER_SLIDER], 0);
  EXPECT_EQ(g_jumps, (std::vector<int16>{1, 0}));
  EXPECT_FALSE(Is_Reset_Visible(PHOTO_CORNER_SLIDER));
  EXPECT_EQ(Pixels(reset), hidden) << "and erased";
  Press(220, 8);
  EXPECT_EQ(Sounds(), (std::vector<int16>{SND_SUBTOOL_SLIDER, SND_SUBTOOL_SLIDER, SND_NULL}))
      << "a press where no reset is shown is refused";
}

// The parts are hit in boxes grown round them: the thumb by 2 pixels, the
// buttons by 1, the reset button by 2 left, right and down; beside the
// thumb, within its height grown by 1, the rack steps towards the press.
TEST_F(Slider, PartsAreHitInTheirGrownBoxes) {
  // STAMP_ROTATE_SLIDER at 1: the thumb at 116 .. 134, the reset shown.
  Show(STAMP_ROTATE_SLIDER, 1);
  Slider_Open(STAMP_ROTATE_SLIDER);
  ASSERT_EQ(Slider_Part_Box(STAMP_ROTATE_SLIDER, PART_THUMB).left, 116);
  struct Case {
    int16 h, v;
    a_slider_part want;
  } cases[] = {
      {114, 20, PART_THUMB},  {113, 20, PART_MINUSBAR}, {135, 20, PART_THUMB},  {136, 20, PART_PLUSBAR},
      {120, 15, PART_THUMB},  {120, 14, OUTSIDE},       {120, 35, PART_THUMB},  {120, 36, OUTSIDE},
      {253, 20, PART_MINUS},  {252, 20, PART_PLUSBAR},  {270, 9, PART_MINUS},   {270, 8, OUTSIDE},
      {285, 20, PART_MINUS},  {286, 20, PART_PLUS},     {316, 20, PART_PLUS},   {317, 20, PART_PLUSBAR},
      {300, 34, PART_PLUS},   {300, 35, OUTSIDE},       {194, 5, PART_RESET},   {193, 5, OUTSIDE},
      {252, 5, PART_RESET},   {253, 5, OUTSIDE},        {220, 17, PART_RESET},  {220, 18, PART_PLUSBAR},
      {20, 16, PART_MINUSBAR}, {20, 15, OUTSIDE},       {0, 0, OUTSIDE},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Slider_Find_Part(Point{int16(kNodeTop + c.v), int16(kNodeLeft + c.h)}), c.want) << c.h << "," << c.v;
  // At the default the reset box is no part.
  gs.slider_vals[STAMP_ROTATE_SLIDER] = 0;
  EXPECT_EQ(Slider_Find_Part(Point{int16(kNodeTop + 5), int16(kNodeLeft + 220)}), OUTSIDE);
}

// The Shift and Ctrl looks of the buttons, for a slider that offers the
// step; Shift on a slider without a big step keeps the plain look.
TEST_F(Slider, ShiftAndCtrlLooksOfTheButtons) {
  const Rect plus = Slider_Part_Box(STAMP_ROTATE_SLIDER, PART_PLUS);
  Show(STAMP_ROTATE_SLIDER, 0);
  const std::vector<uint32> plain = Pixels(plus);
  g_tracked.shift = true;
  Slider_Draw_PlusMinus(STAMP_ROTATE_SLIDER);
  const std::vector<uint32> big = Pixels(plus);
  g_tracked.shift = false;
  g_tracked.option = true;
  Slider_Draw_PlusMinus(STAMP_ROTATE_SLIDER);
  const std::vector<uint32> tiny = Pixels(plus);
  EXPECT_NE(big, plain);
  EXPECT_NE(tiny, plain);
  EXPECT_NE(tiny, big);
  g_tracked.option = false;
  Slider_Draw_PlusMinus(STAMP_ROTATE_SLIDER);
  EXPECT_EQ(Pixels(plus), plain);

  Show(STAMP_SIZE_SLIDER, 10);
  const std::vector<uint32> size_plain = Pixels(plus);
  g_tracked.shift = true;
  Slider_Draw_PlusMinus(STAMP_SIZE_SLIDER);
  EXPECT_EQ(Pixels(plus), size_plain) << "no big step: no big-step look";
}

// Keys step a shown slider like its buttons; a slider not shown refuses.
TEST_F(Slider, KeyboardSteps) {
  Show(STAMP_ROTATE_SLIDER, 7);
  Slider_Via_Keyboard(STAMP_ROTATE_SLIDER, false, false, true);
  EXPECT_EQ(gs.slider_vals[STAMP_ROTATE_SLIDER], 10);
  Slider_Via_Keyboard(STAMP_ROTATE_SLIDER, true, false, false);
  EXPECT_EQ(gs.slider_vals[STAMP_ROTATE_SLIDER], 0);
  Sounds();
  gs.slider_vals[GRAD_ANGLE_SLIDER] = 7;
  Slider_Via_Keyboard(GRAD_ANGLE_SLIDER, false, false, true);
  EXPECT_EQ(gs.slider_vals[GRAD_ANGLE_SLIDER], 7);
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_NULL});
}

// The setters: SetVal clamps and acts only on a change; Blast stores
// without action; slider numbers outside the table are refused without
// touching anything.
TEST_F(Slider, SettersAndSlidersOutsideTheTable) {
  Show(PHOTO_CORNER_SLIDER, 0);
  Slider_SetVal(PHOTO_CORNER_SLIDER, 500);
  EXPECT_EQ(gs.slider_vals[PHOTO_CORNER_SLIDER], 100);
  Slider_SetVal(PHOTO_CORNER_SLIDER, 100);
  Slider_SetRel(PHOTO_CORNER_SLIDER, -30);
  Slider_Default(PHOTO_CORNER_SLIDER);
  EXPECT_EQ(g_jumps, (std::vector<int16>{100, 70, 0}));
  EXPECT_EQ(pending_op, OP_PHOTO_ADJUST);
  pending_op = OP_NOP;
  Slider_Blast(PHOTO_CORNER_SLIDER, 40);
  Slider_Blast_Invis(PHOTO_CORNER_SLIDER, -3);
  EXPECT_EQ(gs.slider_vals[PHOTO_CORNER_SLIDER], 0);
  EXPECT_EQ(g_jumps.size(), 3u);
  EXPECT_EQ(pending_op, OP_NOP);

  const a_interface_rec before = gs;
  for (int16 s : {int16(-1), int16(NSLIDERS), int16(32767)}) {
    Slider_SetVal(s, 5);
    Slider_SetRel(s, 5);
    Slider_Default(s);
    Slider_Blast(s, 5);
    Slider_Blast_Invis(s, 5);
    Slider_Via_Keyboard(s, false, false, true);
    Slider_Paint(s);
    Do_PlusMinus(s, PART_PLUS, false, false);
    EXPECT_EQ(Slider_Get_State(s), HIDDEN_BUTTON);
    EXPECT_FALSE(Is_Reset_Visible(s));
  }
  EXPECT_EQ(std::memcmp(&before.slider_vals, &gs.slider_vals, sizeof gs.slider_vals), 0);
  EXPECT_EQ(pending_op, OP_NOP);
}

}  // namespace
