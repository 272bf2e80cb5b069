// The item tables as Intf_Init fills them: every row's values, strings and
// artwork; the grids' cells; and the small item procedures of the tables
// (photo constraint, text-size steps, the disc printer's states, the media
// names), with dimmed and hidden items ignoring clicks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TestSupport.h"
#include "pixel/ArtItems.h"
#include "platform/Resources.h"
#include "platform/UString.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "platform/VoskPref.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"

namespace {

class ItemTables : public ::testing::Test {
 protected:
  void SetUp() override {
    Resources_Init();
    std::memset(static_cast<void*>(&gs), 0, sizeof gs);
    std::memset(static_cast<void*>(&g_doc), 0, sizeof g_doc);
    gs.controller = STEALTH;  // no sounds, nothing drawn
    Intf_Init_Tables();
    pending_op = OP_NOP;
  }
  void TearDown() override { Intf_Init_Tables(); }

  static bool Has_String(int16 listx, int16 strx) {
    uStr255 s;
    Get_Translated_UString(s, listx, strx);
    return uStrLength(s) > 0;
  }
};

bool Is_Tag(int16 g) { return g >= TAG_PALETTE && g <= TAG_GLYPHS; }

// Every row as the tables are filled: values within their ranges and their
// steps offered, defaults in place, every named string present, the artwork
// in the tool pictures; a grid's default inside it and its artwork as large
// as its cells with their dividers and shadow.
TEST_F(ItemTables, EveryRowIsComplete) {
  for (int16 s = 0; s < NSLIDERS; ++s) {
    const a_slider_item& r = g_sliders[s];
    EXPECT_LE(r.minval, r.defaultval) << s;
    EXPECT_LE(r.defaultval, r.maxval) << s;
    EXPECT_EQ(gs.slider_vals[s], r.defaultval) << s;
    EXPECT_GE(r.tiny_step, 0) << s;
    EXPECT_GE(r.big_step, 0) << s;
    EXPECT_EQ(r.normal_step > 0, s != NULL_SLIDER) << s;
    EXPECT_EQ(r.stringx, s);
    EXPECT_EQ(Has_String(500, s), s != NULL_SLIDER) << "slider " << s;
    EXPECT_EQ(r.src_pixtx, 139);
    EXPECT_EQ(r.src_rect.bottom - r.src_rect.top, 34);
    EXPECT_EQ(r.src_rect.right - r.src_rect.left, 319);
    EXPECT_TRUE(r.show_reset);
    EXPECT_EQ(r.when_init, INIT_NEWDOC);
    // A live slider's procedure follows the drag; a drag that ends with
    // thumb_stop only has something to stop.
    EXPECT_FALSE(r.thumb_stop != nullptr && r.thumb_trak == nullptr) << s;
  }
  for (int16 g = 0; g < NGRIDS; ++g) {
    const a_grid_item& r = g_grid[g];
    EXPECT_TRUE(Is_Grid_Element(g, r.grid_defaultval)) << g;
    EXPECT_FALSE(Is_Grid_Element(g, int16(r.grid_ncells.v * r.grid_ncells.h))) << g;
    EXPECT_FALSE(Is_Grid_Element(g, -1)) << g;
    if (r.stringx != 0) EXPECT_TRUE(Has_String(200, r.stringx)) << "grid " << g;
    const Rect& art = ART_GRID_ITEMS[g].src_rect;
    EXPECT_EQ(r.src_rect.bottom - r.src_rect.top, art.bottom - art.top) << g;
    EXPECT_EQ(r.src_rect.right - r.src_rect.left, art.right - art.left) << g;
    EXPECT_EQ(r.grid_exclusive, !Is_Tag(g)) << g;
    EXPECT_EQ(r.grid_order, LRTB);
    const bool flush = Is_Tag(g) || g == PROJ_AGE_GRID || g == PRINT_MEDIA_GRID || g == TEXT_PHASE_GRID ||
                       g == PHOTO_PHASE_GRID || g == SYMMETRY_KIND_GRID;
    EXPECT_EQ(r.grid_overlap, flush ? 0 : 1) << g;
    EXPECT_EQ(r.grid_shadow, flush ? 0 : g == ZOOM_GRID ? 1 : 3) << g;
    const bool translucent = Is_Tag(g) || g == PROJ_AGE_GRID || g == TEXT_PHASE_GRID || g == PHOTO_PHASE_GRID ||
                             g == PHOTO_EDGE_GRID || g == PACK_KIND_GRID || g == PACK_ORIENT_GRID ||
                             g == MARQ_CUT_GRID || g == MARQ_TRANSP_GRID;
    EXPECT_EQ(r.translucent, translucent) << g;
    // A grid with its labels drawn in has a label for every element.
    if (r.embed_flag && r.string_calc == nullptr)
      for (int16 e = 0; e < r.grid_ncells.v * r.grid_ncells.h; ++e)
        EXPECT_TRUE(Has_String(200, int16(r.stringx + e))) << "grid " << g << " element " << e;
  }
  EXPECT_TRUE(g_grid[PROJ_AGE_GRID].embed_flag && g_grid[PROJ_SORT_GRID].embed_flag);
  EXPECT_EQ(g_grid[PRINT_MEDIA_GRID].string_calc, &Calc_Media_Name);
  EXPECT_EQ(g_grid[TOOL_GRID].grid_statevarx, SV_TOOL_SELECTION);
  EXPECT_EQ(g_grid[ZOOM_GRID].grid_statevarx, SV_ZOOM_IX);
  for (int16 o = 0; o < NONESHOTS; ++o) {
    const a_oneshot_item& r = g_oneshots[o];
    if (r.stringx != 0) EXPECT_TRUE(Has_String(200, r.stringx)) << "one-shot " << o;
    EXPECT_FALSE(r.embed_flag && r.stringx == 0) << "one-shot " << o << " draws no label";
    EXPECT_GE(r.src_pixtx, 139);
    EXPECT_LE(r.src_pixtx, 143);
    EXPECT_LT(r.src_rect.top, r.src_rect.bottom);
    EXPECT_EQ(r.when_init, INIT_NEVER);
  }
  for (int16 x = 0; x < NTOGGLES; ++x) {
    const a_toggle_item& r = g_toggles[x];
    if (r.stringx != 0) EXPECT_TRUE(Has_String(200, r.stringx)) << "toggle " << x;
    EXPECT_EQ(r.toggle_defaultval, TOGGLE_VALUES[x].toggle_defaultval);
    EXPECT_FALSE(r.translucent);
    EXPECT_LT(r.src_rect.left, r.src_rect.right);
  }
}

// The grids' cells on screen are the tables' (rows x columns, height x
// width), which the artwork must hold.
TEST_F(ItemTables, GridCells) {
  const struct {
    a_grid_enum g;
    int16 rows, cols, h, w;
  } cases[] = {
      {PROJ_AGE_GRID, 1, 3, 35, 218},     {PROJ_SORT_GRID, 1, 2, 29, 172},     {PRINT_MEDIA_GRID, 1, 3, 35, 116},
      {TEXT_LAYOUT_GRID, 2, 5, 29, 46},   {TEXT_HJUST_GRID, 1, 3, 29, 48},     {TEXT_VJUST_GRID, 1, 3, 29, 48},
      {TEXT_PHASE_GRID, 1, 4, 35, 87},    {TEXT_CJUST_GRID, 1, 2, 29, 48},     {PHOTO_PHASE_GRID, 1, 4, 35, 87},
      {PHOTO_EDGE_GRID, 1, 3, 42, 61},    {PACK_KIND_GRID, 1, 5, 29, 63},      {PACK_ORIENT_GRID, 1, 2, 29, 67},
      {GRAD_KIND_GRID, 1, 7, 29, 43},     {GRAD_DIR_GRID, 1, 4, 29, 43},       {SYMMETRY_KIND_GRID, 1, 2, 28, 48},
      {ERASER_GRID, 2, 6, 29, 29},        {SPRAY_KIND_GRID, 1, 4, 29, 29},     {MARQ_KIND_GRID, 1, 3, 29, 29},
      {MARQ_CUT_GRID, 1, 2, 29, 105},     {MARQ_TRANSP_GRID, 1, 2, 29, 105},   {TOOL_GRID, 2, 8, 30, 34},
      {BRUSH_SHAPE_GRID, 3, 8, 29, 29},   {FROM_CORNER_GRID, 1, 2, 29, 150},   {ZOOM_GRID, 5, 1, 21, 45},
      {TAG_PALETTE, 1, 1, 35, 88},        {TAG_GLYPHS, 1, 1, 35, 88},          {RULERS_UNITS_GRID, 1, 3, 29, 105},
  };
  for (const auto& c : cases) {
    const a_grid_item& r = g_grid[c.g];
    EXPECT_EQ(r.grid_ncells.v, c.rows) << c.g;
    EXPECT_EQ(r.grid_ncells.h, c.cols) << c.g;
    EXPECT_EQ(r.grid_cell.v, c.h) << c.g;
    EXPECT_EQ(r.grid_cell.h, c.w) << c.g;
  }
}

// Turning the photo constraint on makes the horizontal and vertical sizes
// (and the size) their average, with no history step of their own; with
// the constraint off, or equal sizes, nothing changes.
TEST_F(ItemTables, DeltaConstrainAveragesWithoutAHistoryStep) {
  gs.slider_vals[PHOTO_SIZE_SLIDER] = 700;
  gs.slider_vals[PHOTO_SIZEH_SLIDER] = 1000;
  gs.slider_vals[PHOTO_SIZEV_SLIDER] = 1501;
  gs.toggle_vals[PHOTO_CONSTRAIN_TOGGLE] = false;
  Delta_Constrain();
  EXPECT_EQ(gs.slider_vals[PHOTO_SIZEH_SLIDER], 1000);
  EXPECT_EQ(gs.slider_vals[PHOTO_SIZEV_SLIDER], 1501);

  Toggle_Click(PHOTO_CONSTRAIN_TOGGLE);
  ASSERT_TRUE(gs.toggle_vals[PHOTO_CONSTRAIN_TOGGLE]);
  for (a_slider_enum s : {PHOTO_SIZE_SLIDER, PHOTO_SIZEH_SLIDER, PHOTO_SIZEV_SLIDER})
    EXPECT_EQ(gs.slider_vals[s], 1250) << s;
  EXPECT_EQ(pending_op, OP_NOP);
}

// The text size's step: 1 without Shift; with Shift to the next standard
// size up (plus) or down (minus), none beyond the largest or below the
// smallest.
TEST_F(ItemTables, TextSizeStepWithShift) {
  const struct {
    int16 size;
    bool8 shift, up;
    int16 step;
  } cases[] = {
      {5, true, true, 1},     {5, true, false, 1},    {14, true, true, 1},  {14, true, false, 1},
      {72, true, true, 8},    {72, true, false, 6},   {288, true, true, 0}, {288, true, false, 48},
      {17, true, true, 1},    {17, true, false, 1},   {100, true, true, 15}, {100, true, false, 4},
      {300, true, true, 0},   {300, true, false, 60}, {4, true, false, 0},  {3, true, true, 1},
      {14, false, true, 1},   {72, false, false, 1},
  };
  for (const auto& c : cases) {
    gs.slider_vals[TEXT_SIZE_SLIDER] = c.size;
    EXPECT_EQ(Calc_Text_Inc(c.up, c.shift), c.step) << c.size << (c.up ? " up" : " down") << (c.shift ? " shift" : "");
  }
  EXPECT_EQ(g_sliders[TEXT_SIZE_SLIDER].incproc, &Calc_Text_Inc);
}

// A dimmed or hidden button or toggle ignores a click: nothing is called,
// flipped or made pending. The disc printer's items are hidden by its
// toggles; the text overrides while no range is selected.
TEST_F(ItemTables, DimmedAndHiddenItemsIgnoreClicks) {
  static int calls;
  calls = 0;
  const struct {
    a_tri_state state;
    bool acts;
  } cases[] = {{PLAIN_BUTTON, true}, {HILITE_BUTTON, true}, {DIM_BUTTON, false}, {HIDDEN_BUTTON, false}};
  for (const auto& c : cases) {
    static a_tri_state state;
    state = c.state;
    calls = 0;
    pending_op = OP_NOP;
    a_oneshot_item& o = g_oneshots[CANV_INVERT_BUTTON];
    o.hiproc = [](int16) { return state; };
    o.one_proc = [] { ++calls; };
    Oneshot_Click(CANV_INVERT_BUTTON);
    EXPECT_EQ(calls, c.acts ? 1 : 0) << int(c.state);
    EXPECT_EQ(pending_op, c.acts ? OP_CANVAS_INVERT : OP_NOP) << int(c.state);

    pending_op = OP_NOP;
    a_toggle_item& x = g_toggles[PHOTO_TRANSP_TOGGLE];
    x.hiproc = o.hiproc;
    x.toggle_proc = o.one_proc;
    gs.toggle_vals[PHOTO_TRANSP_TOGGLE] = false;
    Toggle_Click(PHOTO_TRANSP_TOGGLE);
    EXPECT_EQ(gs.toggle_vals[PHOTO_TRANSP_TOGGLE], c.acts) << int(c.state);
    EXPECT_EQ(calls, c.acts ? 2 : 0) << int(c.state);
    EXPECT_EQ(pending_op, c.acts ? OP_PHOTO_ADJUST : OP_NOP) << int(c.state);
  }

  Intf_Init_Tables();
  gs.toggle_vals[FLEX_BURN_TOGGLE] = gs.toggle_vals[FLEX_PRINT_TOGGLE] = false;
  gs.toggle_vals[FLEX_VERIFY_TOGGLE] = true;
  Toggle_Click(FLEX_VERIFY_TOGGLE);
  EXPECT_TRUE(gs.toggle_vals[FLEX_VERIFY_TOGGLE]) << "hidden while nothing is burnt";
  gs.toggle_vals[TEXTR_BOLD_TOGGLE] = false;
  Toggle_Click(TEXTR_BOLD_TOGGLE);
  EXPECT_FALSE(gs.toggle_vals[TEXTR_BOLD_TOGGLE]) << "hidden while no text range is selected";
  EXPECT_EQ(OneShot_Get_State(TEXTR_RESET_BUTTON), HIDDEN_BUTTON);
}

// The disc printer's items follow its burn and print toggles.
TEST_F(ItemTables, DiscPrinterStates) {
  const struct {
    bool burn, print;
    a_tri_state burning, printing, ok;
  } cases[] = {
      {false, false, HIDDEN_BUTTON, HIDDEN_BUTTON, HIDDEN_BUTTON},
      {true, false, PLAIN_BUTTON, HIDDEN_BUTTON, PLAIN_BUTTON},
      {false, true, HIDDEN_BUTTON, PLAIN_BUTTON, PLAIN_BUTTON},
      {true, true, PLAIN_BUTTON, PLAIN_BUTTON, PLAIN_BUTTON},
  };
  for (const auto& c : cases) {
    gs.toggle_vals[FLEX_BURN_TOGGLE] = c.burn;
    gs.toggle_vals[FLEX_PRINT_TOGGLE] = c.print;
    EXPECT_EQ(g_sliders[FLEX_SPEED_SLIDER].hiproc(0), c.burning);
    EXPECT_EQ(g_toggles[FLEX_VERIFY_TOGGLE].hiproc(0), c.burning);
    EXPECT_EQ(g_sliders[FLEX_DENSITY_SLIDER].hiproc(0), c.printing);
    EXPECT_EQ(g_toggles[FLEX_GRAY_TOGGLE].hiproc(0), c.printing);
    EXPECT_EQ(g_oneshots[FLEXSTICK_OK_BUTTON].hiproc(0), c.ok);
  }
}

// The media grid's labels are the media names of the document's print
// kind; choosing one makes it the document's and the kind's; a slot
// outside the three is no name and no choice.
TEST_F(ItemTables, MediaNamesAndTheirChoice) {
  const char16_t glossy[] = u"Glossy";
  std::memcpy(gs.pref.print_media[NOT_DIRECT].list[1].label, glossy, sizeof glossy);
  uStr63 name;
  Calc_Media_Name(1, name);
  EXPECT_EQ(std::u16string(name), u"Glossy");
  for (int16 e : {int16(-1), int16(3), int16(NO_ELEMENT)}) {
    name[0] = u'x';
    Calc_Media_Name(e, name);
    EXPECT_EQ(name[0], 0) << e;
  }
  gs.grid_vals[PRINT_MEDIA_GRID] = 2;
  Print_SelectMedia();
  EXPECT_EQ(g_doc.doc_mediax, 2);
  EXPECT_EQ(gs.pref.print_media[NOT_DIRECT].listx, 2);
  gs.grid_vals[PRINT_MEDIA_GRID] = 7;
  Print_SelectMedia();
  EXPECT_EQ(g_doc.doc_mediax, 2);
}

// The values are clamped to the rows' ranges, which the print panel may
// change for the outer diameter.
TEST_F(ItemTables, ValuesClampToTheRowsRanges) {
  EXPECT_EQ(Slider_Limit_Value(PRINT_OUTERD_SLIDER, 1180), 0);
  g_sliders[PRINT_OUTERD_SLIDER].minval = 1000;
  g_sliders[PRINT_OUTERD_SLIDER].maxval = 1200;
  EXPECT_EQ(Slider_Limit_Value(PRINT_OUTERD_SLIDER, 1180), 1180);
  EXPECT_EQ(Slider_Limit_Value(PRINT_OUTERD_SLIDER, 900), 1000);
  Init_Sliders();
  EXPECT_EQ(Slider_Limit_Value(PRINT_OUTERD_SLIDER, 1180), 0) << "filled again from the table";
}

}  // namespace
