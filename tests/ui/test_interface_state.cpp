// The interface state: what the start-up builds over the preferences, what
// each new document starts with, the tables of tools and rings, the palette
// and its colour-table resource, the preferences' fix-ups, and the values of
// the item tables.
#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "ui/TempConfigHome.h"
#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "objects/VoskAtom.h"
#include "objects/VoskBlok.h"
#include "pixel/ArtKeys.h"
#include "pixel/OP.h"
#include "pixel/SysPixt.h"
#include "platform/Controls.h"
#include "platform/LangUtil.h"
#include "platform/ResTestUtil.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/SysMem.h"
#include "platform/SysUnicode.h"
#include "platform/WinTestSupport.h"
#include "ui/VoskFun2.h"
#include "ui/VoskIntI.h"
#include "ui/VoskStat.h"

namespace {

namespace fs = std::filesystem;

a_pixel24 Rgb(const a_pixel32& c) { return a_pixel24{c.r, c.g, c.b}; }
bool Same(const a_pixel24& a, const a_pixel24& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// A layout of two rectangles, 300 x 200 cells each.
a_template Two_Units() {
  a_template x{};
  std::strcpy(x.label, "Test sheet");
  x.papersize = {215.9f, 279.4f};
  for (int i = 0; i < 2; ++i) {
    a_unit& u = x.units[x.nunits++];
    u.kind = UNIT_RECT;
    u.bbox = a_frect{5.0f + 30 * i, 5, 5.0f + 30 * i + 300 * 0.0846667f, 5 + 200 * 0.0846667f};
  }
  return x;
}

// The program's start-up up to the interface state, on the headless host:
// the preferences at their defaults (then changed by each test), the
// documents' modules, and Static_Init over them.
class InterfaceState : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Host_Clock_Set_Manual(true);
    Resources_Init();
    wintest::Init_Window_Layer();
    VoskStat_Init();
    VoskDoc_Init();
    VoskFunc_Init();
    VoskUndo_Init();
    History_Null();
    VoskBlok_Init();
    InitGray();
    saved_capability_ = app_capability;
    saved_language_ = os_language;
    app_capability = Lang_Bit(ENGLISH);  // no strings for any other language
    os_language = ENGLISH;
    gs.controller = GHOST;  // refusals stay silent
    gs.menu_base = 132;
    Prefs_SetToDefault();
    gs.pref.tot_window = Rect{40, 60, 640, 860};
  }
  void TearDown() override {
    Undo_Dispose();
    if (g_doc.doc_open) Doc_Dispose();
    Dispose_Doc_Buffers();
    if (started_) Static_Stop();
    SysVideo_Stop();  // the grey tables InitGray made
    app_capability = saved_capability_;
    os_language = saved_language_;
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Stop();
    Host_Clock_Set_Manual(false);
  }
  void Start() {
    Static_Init();
    started_ = true;
    ASSERT_NE(gs.outer_window, nullptr);
  }
  void Open() { ASSERT_TRUE(Doc_New(Two_Units())); }

  bool started_ = false;
  a_language_set saved_capability_ = 0;
  a_language saved_language_ = ENGLISH;
};

// --- Start-up ---------------------------------------------------------------------------------

// The start-up keeps what was in gs before it (the preferences, the menus'
// base, who drives the program) and builds the rest: the window over the
// stored rectangle, hidden scroll bars, the transient state, no document.
TEST_F(InterfaceState, StartUpBuildsOverThePreferencesAndClearsNothing) {
  gs.menu_base = 200;
  gs.pref.sound_option = false;
  g_doc.doc_ncopies = 7;
  gs.grid_vals[PROJ_SORT_GRID] = 0;
  Start();
  EXPECT_EQ(gs.menu_base, 200);
  EXPECT_EQ(gs.controller, GHOST);
  EXPECT_FALSE(gs.pref.sound_option);
  EXPECT_TRUE(gs.tool_show);
  EXPECT_EQ(gs.curr_phase, NODOC_PHASE);
  EXPECT_FALSE(g_doc.doc_open);
  EXPECT_EQ(g_doc.doc_ncopies, 0) << "the document record starts empty";
  EXPECT_EQ(gs.grid_vals[PROJ_SORT_GRID], 1) << "reset at start-up";

  RECT r{};
  GetClientRect(gs.outer_window, &r);
  EXPECT_EQ(r.right - r.left, 800);
  EXPECT_EQ(r.bottom - r.top, 600);
  EXPECT_TRUE(IsWindowVisible(gs.outer_window));
  EXPECT_EQ(std::u16string(gs.outer_window_info.name), u"OUTER");
  EXPECT_TRUE(gs.outer_window_sizeable);

  struct Bar {
    HostWindow* ctrl;
    int w, h;
  };
  for (const Bar& b : {Bar{gs.hscroll_ctrl, 100, 20}, Bar{gs.lscroll_ctrl, 100, 20}, Bar{gs.vscroll_ctrl, 20, 100},
                       Bar{gs.uscroll_ctrl, 20, 100}}) {
    ASSERT_NE(b.ctrl, nullptr);
    EXPECT_EQ(GetParent(b.ctrl), gs.outer_window);
    EXPECT_FALSE(IsWindowVisible(b.ctrl));
    GetWindowRect(b.ctrl, &r);
    EXPECT_EQ(r.right - r.left, b.w);
    EXPECT_EQ(r.bottom - r.top, b.h);
  }
  EXPECT_EQ(gs.views[0].zoom_factor.num, 1);
  EXPECT_EQ(gs.views[0].zoom_factor.den, 2);
  EXPECT_EQ(gs.views[1].zoom_factor.num, 1);
  EXPECT_EQ(gs.views[1].zoom_factor.den, 1);

  EXPECT_EQ(gs.paper_kind_desc.font.size, 14);
  EXPECT_EQ(gs.paper_list_desc.font.effects, Effect_Bit(EFFECT_BOLD));
  EXPECT_EQ(gs.font_24pt.fontID, BASE_BIG_FONT);
  EXPECT_EQ(gs.font_24pt_E.effects, 0);

  const uint8 stripes[8] = {0xE1, 0xC3, 0x87, 0x0F, 0x1E, 0x3C, 0x78, 0xF0};
  EXPECT_EQ(std::memcmp(gs.marq_pattern.pat, stripes, 8), 0);
  Pattern pat{};
  ASSERT_TRUE(GetIndPattern(pat, 0, 21));
  EXPECT_EQ(std::memcmp(gs.pasteboard_pat.pat, pat.pat, 8), 0);
  ASSERT_TRUE(GetIndPattern(pat, 0, 26));
  EXPECT_EQ(std::memcmp(gs.separator_pat.pat, pat.pat, 8), 0);

  ASSERT_NE(gs.custom_stamp.world, nullptr);
  ASSERT_NE(gs.custom_stamp.mask, nullptr);
  EXPECT_EQ(gs.custom_stamp.world->pix.pixelSize, 32);
  EXPECT_EQ(gs.custom_stamp.mask->pix.pixelSize, 8);
  EXPECT_EQ(gs.custom_stamp.mask->pix.bounds.right, 32);

  ASSERT_NE(t.marq_rgn, nullptr);
  EXPECT_EQ(t.grad_radius, 100);
  EXPECT_EQ(t.stampgrid_interval.h, 1);
  for (const a_status_line& line : t.status_lines) {
    EXPECT_STREQ(line.ss, " ");
    EXPECT_TRUE(Same(line.color, a_pixel24{192, 192, 192}));
  }
  ASSERT_NE(gs.fill_gradient, nullptr);
  ASSERT_NE(gs.spray_seedU, nullptr);

  // Shutdown closes the window and every scroll bar in it.
  HostWindow* window = gs.outer_window;
  HostWindow* bar = gs.uscroll_ctrl;
  Static_Stop();
  started_ = false;
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(IsWindow(bar));
  EXPECT_EQ(gs.outer_window, nullptr);
  EXPECT_EQ(t.marq_rgn, nullptr);
}

// The project age comes from the preferences when it is one of the three
// choices, else the first.
TEST_F(InterfaceState, ProjectAgeFromThePreferences) {
  for (int16 agex : {0, 1, 2, 3, -1, 300}) {
    gs.pref.last_agex = agex;
    gs.grid_vals[PROJ_AGE_GRID] = 7;
    Start();
    EXPECT_EQ(gs.grid_vals[PROJ_AGE_GRID], (agex >= 0 && agex <= 2) ? agex : 0) << agex;
    Static_Stop();
    started_ = false;
  }
}

// The four stored pictures are loaded when the library holds them; without
// them (no library at all here) each stays empty and nothing fails.
TEST_F(InterfaceState, PatternPicturesOnlyWhenTheLibraryHasThem) {
  Start();
  for (a_pixt* p : {gs.light_pattern, gs.dark_pattern, gs.blueline_pattern, gs.parquet_pattern}) {
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->bits, nullptr);
  }
  Static_Stop();
  started_ = false;

  SysPixt_Init();
  OP_Init();
  FSSpec spec;
  ASSERT_TRUE(Path_From_Text(spec, VELMOR_ART_LIBRARY));
  if (OP_OpenFile(spec) != OPEN_OKAY) GTEST_SKIP() << "the build's picture library is not there";
  Start();
  const struct {
    int16 id;
    a_pixt* pixt;
  } pictures[] = {{ART_PICT_LIGHT_STRIPE, gs.light_pattern},
                  {ART_PICT_DARK_STRIPE, gs.dark_pattern},
                  {ART_PICT_BLUE_LINE, gs.blueline_pattern},
                  {ART_PICT_PARQUET, gs.parquet_pattern}};
  for (const auto& p : pictures) EXPECT_EQ(p.pixt->bits != nullptr, Pixt_Exists(p.id)) << p.id;
  Static_Stop();
  started_ = false;
  for (const auto& p : pictures) EXPECT_EQ(p.pixt->bits, nullptr) << p.id << " freed";
  OP_Stop();
}

// --- Tools and rings --------------------------------------------------------------------------

TEST_F(InterfaceState, EachRingShowsABarItMayShow) {
  Start();
  Open();
  for (int16 r = 0; r < NRINGS; ++r) {
    const a_bar bar = gs.bar_in_ring[r];
    ASSERT_LT(bar, NBARS) << r;
    if (r == STENCIL_RING) {
      // The stencil ring offers no bar at all and shows the empty one.
      EXPECT_EQ(gs.ring_capability[r], 0u);
      EXPECT_EQ(bar, EMPTY_BAR);
      continue;
    }
    EXPECT_NE(gs.ring_capability[r] & Bar_Bit(bar), 0u) << "ring " << r << " bar " << int(bar);
  }
  // Every tool's ring is one of the rings.
  for (int16 x = 0; x < NTOOLS; ++x) EXPECT_LT(gs.tool_desc[x].ring_kind, NRINGS) << x;
}

// The tool grid's keys pick one tool each; tools without an imprint of
// their own reach the internal-error hook when asked for one.
TEST_F(InterfaceState, ToolKeysAreDistinctAndToolsWithoutImprintsRefuse) {
  Start();
  std::set<uint8> keys;
  for (int16 x = 0; x < NGRID_TOOLS; ++x) {
    const uint8 key = gs.tool_desc[x].shortcut;
    EXPECT_TRUE(key >= 'A' && key <= 'Z') << x;
    EXPECT_TRUE(keys.insert(key).second) << "key " << char(key) << " twice";
  }
  a_atom_rec p{};
  for (a_tool tool : {SFURTER_TOOL, GRABBER_TOOL, SELECT_TOOL, FFURTER_TOOL, ZOOM_TOOL, PHOTO_TOOL, NULL_TOOL}) {
    ASSERT_NE(gs.tool_desc[tool].atom_proc, nullptr) << int(tool);
    EXPECT_THROW(gs.tool_desc[tool].atom_proc(p), QuitCalled) << int(tool);
  }
  EXPECT_EQ(gs.tool_desc[PACK_TOOL].atom_proc, nullptr);
  EXPECT_EQ(gs.tool_desc[PACK_TOOL].ring_kind, NULL_RING);
}

// --- Each new document ---------------------------------------------------------------------

// The colour bars start on entries that hold their colours exactly, the user
// colours of the preferences included (one of them black here: the first
// black entry is chosen).
TEST_F(InterfaceState, ColourBarsStartOnExactPaletteColours) {
  gs.pref.colors[3] = a_pixel24{0, 0, 0};
  a_pixel32 cut{};
  cut.r = 12, cut.g = 34, cut.b = 56;
  gs.pref.cutlines_color = cut;
  Start();
  // The preferences' cut-line colour is no palette colour: it gets the
  // nearest, which must still be a real entry; the others are exact.
  Open();
  struct Want {
    a_bar bar;
    a_pixel24 colour;
  };
  const a_pixel32 grid = gs.pref.gridlines_color;
  const Want wants[] = {{PAINT_COLORBAR, {0, 0, 0}},        {TEXT_SHAD_COLORBAR, {0, 0, 0}},
                        {SYMBOLS_COLORBAR, {0, 0, 0}},      {EDGE_OUTL_COLORBAR, {0, 0, 0}},
                        {TEXT_OUTL_COLORBAR, {199, 207, 187}}, {TEXT_GLOW_COLORBAR, {0, 255, 255}},
                        {EDGE_BORD_COLORBAR, {114, 87, 61}},  {GRIDLINES_COLORBAR, Rgb(grid)}};
  for (const Want& w : wants) {
    const int16 x = gs.bar_selection[w.bar];
    ASSERT_GE(x, 0);
    ASSERT_LT(x, gs.ncolor_table);
    EXPECT_TRUE(Same(Rgb(gs.color_table[x]), w.colour)) << "bar " << int(w.bar) << " entry " << x;
  }
  EXPECT_EQ(gs.bar_selection[PAINT_COLORBAR], 3) << "the user's black comes first";
  EXPECT_EQ(gs.bar_selection[CUTLINES_COLORBAR], Find_In_Palette32(cut));
  EXPECT_EQ(gs.bar_selection[STAMP_BAR], 1);
  EXPECT_EQ(gs.bar_selection[FONT_BAR], int16(gs.pref.base_fontx));
}

// A new document puts every item the document resets back to its default,
// keeps the others, and starts the cut lines and rulers as the preferences
// have them; tool, bar, ring and fill start empty.
TEST_F(InterfaceState, NewDocumentResetsItsItems) {
  gs.pref.cutlines_option = false;
  gs.pref.ruler_option = true;
  Start();
  for (int16& v : gs.slider_vals) v = 12345;
  for (int16& v : gs.grid_vals) v = 31;
  for (bool8& v : gs.toggle_vals) v = true;
  gs.fill_kind = COLOR_FILL;
  gs.fill_gradient->nbands = 9;
  gs.grad_bandx = 4;
  gs.tool_net = LINE_TOOL;
  gs.custom_limit = 0;
  Open();
  for (int16 s = 0; s < NSLIDERS; ++s) EXPECT_EQ(gs.slider_vals[s], SLIDER_VALUES[s].defaultval) << "slider " << s;
  for (int16 g = 0; g < NGRIDS; ++g) {
    const int16 want = GRID_VALUES[g].when_init == INIT_NEWDOC ? GRID_VALUES[g].grid_defaultval : 31;
    EXPECT_EQ(gs.grid_vals[g], want) << "grid " << g;
  }
  for (int16 x = 0; x < NTOGGLES; ++x) {
    bool want = TOGGLE_VALUES[x].toggle_defaultval;
    if (x == CUTLINES_TOGGLE) want = false;
    if (x == RULERS_TOGGLE) want = true;
    EXPECT_EQ(gs.toggle_vals[x], want) << "toggle " << x;
  }
  EXPECT_EQ(gs.tool_net, NULL_TOOL);
  EXPECT_EQ(gs.dropper_jump, BRUSH_TOOL);
  EXPECT_EQ(gs.fill_kind, ERASER_FILL);
  EXPECT_EQ(gs.fill_gradient->nbands, 0);
  EXPECT_EQ(gs.grad_bandx, 0);
  EXPECT_TRUE(g_doc.doc_open);
  EXPECT_EQ(g_doc.upx, 1u);
  EXPECT_EQ(gs.custom_limit, 100000000u) << "the custom stamp's budget for the document";
}

// --- The palette ----------------------------------------------------------------------------

// The first seven entries are always the preferences' user colours; the rest
// come from the colour table resource.
TEST_F(InterfaceState, UserColoursLeadThePalette) {
  const a_pixel24 mine[NUSER_COLORS] = {{1, 2, 3},     {250, 250, 250}, {9, 8, 7},     {0, 0, 0},
                                        {100, 0, 100}, {45, 46, 47},    {200, 100, 50}};
  for (int i = 0; i < NUSER_COLORS; ++i) gs.pref.colors[i] = mine[i];
  Start();
  EXPECT_EQ(gs.ncolor_table, NCOLOR_TABLE);
  for (int i = 0; i < NUSER_COLORS; ++i) EXPECT_TRUE(Same(Rgb(gs.color_table[i]), mine[i])) << i;
  EXPECT_TRUE(Same(Rgb(gs.color_table[7]), a_pixel24{0, 0, 0}));
  EXPECT_TRUE(Same(Rgb(gs.color_table[8]), a_pixel24{255, 255, 255}));
}

std::vector<uint8> Colour_Table(uint16 count, size_t ncolours) {
  std::vector<uint8> d;
  restest::Put16(d, count);
  for (size_t i = 0; i < ncolours; ++i) {
    d.push_back(uint8(i));
    d.push_back(uint8(i >> 8));
    d.push_back(77);
  }
  return d;
}

// A colour table resource with another count, or shorter than the colours
// its count announces, reaches the missing-resource hook and is not read;
// a whole one is read in order.
TEST_F(InterfaceState, ColourTableResourceIsCheckedBeforeItIsRead) {
  struct Case {
    const char* what;
    std::vector<uint8> data;
    bool good;
  };
  const Case cases[] = {
      {"869 colours", Colour_Table(869, 869), false},
      {"870 counted, a byte short", [] {
         std::vector<uint8> d = Colour_Table(870, 870);
         d.pop_back();
         return d;
       }(), false},
      {"870 counted, 10 there", Colour_Table(870, 10), false},
      {"one byte", {0x66}, false},
      {"empty", {}, false},
      {"whole", Colour_Table(870, 870), true},
  };
  Start();
  static std::vector<std::pair<OSType, int16>> reports;
  for (const Case& c : cases) {
    restest::TempFile file(restest::Archive({{FourCC("CTBL"), 128, c.data}}));
    const int16 slot = HOpenResFile(0, 0, file.path.c_str(), 0);
    ASSERT_GT(slot, 0) << c.what;
    // The real hook ends the program; this one returns, to show what is left.
    reports.clear();
    g_err_res_proc = [](OSType kind, int16 id) { reports.emplace_back(kind, id); };
    Init_Color_Table();
    Install_Test_Hooks();
    CloseResFile(slot);
    UseResFile(0);
    if (c.good) {
      EXPECT_TRUE(reports.empty()) << c.what;
      EXPECT_TRUE(Same(Rgb(gs.color_table[300]), a_pixel24{44, 1, 77})) << c.what;
      EXPECT_TRUE(Same(Rgb(gs.color_table[869]), a_pixel24{0x65, 3, 77})) << c.what;
    } else {
      ASSERT_EQ(reports.size(), 1u) << c.what;
      EXPECT_EQ(reports[0].first, FourCC("CTBL")) << c.what;
      EXPECT_EQ(reports[0].second, 128) << c.what;
      // Nothing of it was taken: black but for the user's colours.
      EXPECT_TRUE(Same(Rgb(gs.color_table[8]), a_pixel24{0, 0, 0})) << c.what;
      EXPECT_TRUE(Same(Rgb(gs.color_table[869]), a_pixel24{0, 0, 0})) << c.what;
    }
    EXPECT_TRUE(Same(Rgb(gs.color_table[0]), gs.pref.colors[0])) << c.what;
  }
  // With the hooks of the tests the report is the fatal one.
  restest::TempFile file(restest::Archive({{FourCC("CTBL"), 128, Colour_Table(869, 869)}}));
  const int16 slot = HOpenResFile(0, 0, file.path.c_str(), 0);
  EXPECT_THROW(Init_Color_Table(), ResErrCalled);
  CloseResFile(slot);
  UseResFile(0);
}

// Nearest colours: an exact match wins at once, the earlier of two at the
// same distance wins, alpha is not compared.
TEST(PaletteSearch, NearestColourByRgbDistance) {
  const a_pixel24 table[] = {{10, 10, 10}, {20, 20, 20}, {0, 0, 30}, {20, 20, 20}, {200, 0, 0}};
  for (size_t i = 0; i < std::size(table); ++i) {
    gs.color_table[i] = a_pixel32{};
    gs.color_table[i].r = table[i].r, gs.color_table[i].g = table[i].g, gs.color_table[i].b = table[i].b;
  }
  gs.ncolor_table = int32(std::size(table));
  struct Case {
    a_pixel24 targ;
    int16 want;
  };
  const Case cases[] = {
      {{20, 20, 20}, 1},   // exact: the first of two equal entries
      {{15, 15, 15}, 0},   // 75 from entry 0 and from entry 1: the earlier
      {{0, 0, 24}, 2},     // nearest by the sum of squares
      {{255, 0, 0}, 4},
      {{200, 0, 0}, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Find_In_Palette24(c.targ), c.want) << int(c.targ.r);
    a_pixel32 p{};
    p.r = c.targ.r, p.g = c.targ.g, p.b = c.targ.b, p.a = 0x5A;
    EXPECT_EQ(Find_In_Palette32(p), c.want) << int(c.targ.r);
  }
  gs.ncolor_table = 0;
  EXPECT_EQ(Find_In_Palette24(a_pixel24{1, 2, 3}), 0);
}

// --- Preferences ----------------------------------------------------------------------------

// A temporary configuration folder for the preferences file.
class StatePrefs : public InterfaceState {
 protected:
  void SetUp() override {
    InterfaceState::SetUp();
    ASSERT_FALSE(home_.dir.empty());
  }
  TempConfigHome home_;
};

// A language the program has no strings for reads as English and is
// written back as English.
TEST_F(StatePrefs, LanguageWithoutStringsIsWrittenBackAsEnglish) {
  gs.pref.language_offset = GERMAN;
  ASSERT_TRUE(Prefs_Write());
  bool8 new_pref = true;
  ASSERT_TRUE(Prefs_Read(new_pref));
  EXPECT_FALSE(new_pref);
  EXPECT_EQ(gs.pref.language_offset, ENGLISH);
  ASSERT_TRUE(Prefs_Write());
  std::string path;
  ASSERT_TRUE(Prefs_File_Path(path));
  ASSERT_EQ(fs::file_size(path), 9400u);
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  uint8 head[4] = {};
  ASSERT_EQ(std::fread(head, 1, 4, f), 4u);
  std::fclose(f);
  EXPECT_EQ(head[2], 0);
  EXPECT_EQ(head[3], 0);
}

// The base font is kept by name: written as the name of the chosen font,
// read back as that font; a name no font has gives the interface's own.
TEST_F(StatePrefs, BaseFontByNameAndAnUnknownOneFallsBack) {
  if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
  Fonts_Stop();
  Fonts_Init();
  uint32 first = 0, last = 0;
  Count_Fonts(first, last);
  ASSERT_GE(last, 2u) << "the pinned fonts give several families";
  const uint32 other = BASE_PROP_FONT == last ? last - 1 : last;

  gs.pref.base_fontx = int16(other);
  Prefs_Fixup_Write();
  uStr255 name;
  FontX_To_Name(other, UStrSpan(name));
  char utf8[256] = {};
  UTF16_To_UTF8(CUStrSpan(name), StrSpan(utf8));
  EXPECT_STREQ(gs.pref.base_font, utf8);
  gs.pref.base_fontx = 0;
  Prefs_Fixup_Read();
  EXPECT_EQ(int16(gs.pref.base_fontx), int16(other));

  std::strcpy(gs.pref.base_font, "No Such Font Velmor \xC3\xA9");
  Prefs_Fixup_Read();
  EXPECT_EQ(int16(gs.pref.base_fontx), int16(BASE_PROP_FONT));
  gs.pref.base_font[0] = 0;
  gs.pref.base_fontx = int16(other);
  Prefs_Fixup_Read();
  EXPECT_EQ(int16(gs.pref.base_fontx), int16(BASE_PROP_FONT));
  Fonts_Stop();
}

// Changing the language translates the media names the user left alone and
// keeps the ones the user edited.
TEST_F(StatePrefs, EditedMediaNameSurvivesALanguageChange) {
  // German names of the three media (string list 200 + German).
  std::vector<std::string> items(401);
  items[398] = "Nabe bedruckbar";
  items[399] = "Standard";
  items[400] = "Eigene";
  restest::TempFile file(restest::Archive({{FourCC("STR#"), int16(200 + GERMAN), restest::StrList(items)}}));
  const int16 slot = HOpenResFile(0, 0, file.path.c_str(), 0);
  ASSERT_GT(slot, 0);

  a_print_media_spec& cd0 = gs.pref.print_media[CD_DIRECT].list[0];
  a_print_media_spec& cd2 = gs.pref.print_media[CD_DIRECT].list[2];
  ASSERT_EQ(std::u16string(cd0.label), u"Hub printable");
  const char16_t mine[] = u"My own discs";
  std::memcpy(cd2.label, mine, sizeof mine);
  gs.pref.print_media[CD_DIRECT].listx = 2;

  gs.pref.language_offset = GERMAN;
  Fix_Direct_Print_Media_Names(gs.pref.print_media, ENGLISH, false);
  EXPECT_EQ(std::u16string(cd0.label), u"Nabe bedruckbar");
  EXPECT_EQ(std::u16string(gs.pref.print_media[CD_DIRECT].list[1].label), u"Standard");
  EXPECT_EQ(std::u16string(cd2.label), u"My own discs");
  EXPECT_EQ(std::u16string(gs.pref.print_media[RECT_DIRECT].list[2].label), u"Eigene");
  EXPECT_EQ(gs.pref.print_media[CD_DIRECT].listx, 0);

  // And back: the German names turn English again, the edited one stays.
  gs.pref.language_offset = ENGLISH;
  Fix_Direct_Print_Media_Names(gs.pref.print_media, GERMAN, false);
  EXPECT_EQ(std::u16string(cd0.label), u"Hub printable");
  EXPECT_EQ(std::u16string(cd2.label), u"My own discs");
  CloseResFile(slot);
  UseResFile(0);
}

// --- The item tables ------------------------------------------------------------------------

// Every default lies within its slider's range (the outer print diameter,
// whose range comes from the medium, aside); the grid-line dash default is
// also the preferences' default.
TEST(ItemValues, DefaultsLieWithinTheirRanges) {
  for (int16 s = 0; s < NSLIDERS; ++s) {
    const a_slider_values& v = SLIDER_VALUES[s];
    EXPECT_LE(v.minval, v.maxval) << s;
    EXPECT_GE(v.defaultval, v.minval) << s;
    EXPECT_LE(v.defaultval, v.maxval) << s;
    EXPECT_EQ(v.when_init, INIT_NEWDOC) << s;
  }
  EXPECT_EQ(SLIDER_VALUES[BRUSH_SPACING_SLIDER].defaultval, 1) << "the default brush's spacing";
  EXPECT_EQ(GRID_VALUES[PROJ_AGE_GRID].when_init, INIT_NEVER);
  EXPECT_EQ(GRID_VALUES[PROJ_SORT_GRID].when_init, INIT_BOOT);
  for (int16 g = 0; g < NGRIDS; ++g) EXPECT_GE(GRID_VALUES[g].grid_defaultval, 0) << g;
}

// Values are kept within the slider's range; an unknown slider is an
// internal error. (The ranges as the tables start them: an open medium
// gives the outer print diameter its own.)
TEST(ItemValues, SliderLimitValue) {
  Init_Sliders();
  struct Case {
    int16 slider, value, want;
  };
  const Case cases[] = {
      {PAINT_OPACITY_SLIDER, 5, 6},         {PAINT_OPACITY_SLIDER, 6, 6},
      {PAINT_OPACITY_SLIDER, 101, 100},     {PHOTO_ANGLE_SLIDER, -2000, -1800},
      {PHOTO_ANGLE_SLIDER, 1799, 1799},     {STAMP_COLORSHIFT_SLIDER, -32768, -128},
      {PRINT_OUTERD_SLIDER, 1180, 0},       {FLEX_DENSITY_SLIDER, 32767, 6},
  };
  for (const Case& c : cases) EXPECT_EQ(Slider_Limit_Value(c.slider, c.value), c.want) << c.slider << " " << c.value;
  EXPECT_THROW(Slider_Limit_Value(NSLIDERS, 0), QuitCalled);
  EXPECT_THROW(Slider_Limit_Value(-1, 0), QuitCalled);
}

}  // namespace

// The memory budgets: the document's at least 1 MB and at most half of what
// is free, the stored pictures' discard ring at least 700,000 bytes.
TEST(MemoryBudgets, FromTheFreeMemoryWithTheirFloors) {
  const uint32 saved_ring = pixt_cache_limit;
  gs.total_avail = gs.doc_limit = 0;
  // (Other programs change the free memory while this runs: a margin.)
  const uint64 free_before = Heap_CalcFree64();
  Calc_Max();
  const uint64 free_most = std::max(free_before, Heap_CalcFree64()) + 64000000;
  EXPECT_GT(gs.total_avail, 0u);
  EXPECT_GE(gs.doc_limit, 1048576u);
  EXPECT_LE(uint64(gs.doc_limit), std::max<uint64>(1048576, std::min<uint64>(UINT32_MAX, free_most / 2)));
  EXPECT_GE(pixt_cache_limit, 700000u);
  pixt_cache_limit = saved_ring;
}
