// The menus' state: the command table against the compiled menus, the bar
// as loaded (without the disc-printer label item), and the enabled and
// checked items with the Undo and Redo texts in each state of the program.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DispatchTestSupport.h"
#include "platform/Resources.h"
#include "platform/SysDlog.h"

namespace {

using dispatchtest::Checked_Commands;
using dispatchtest::Enabled_Commands;
using dispatchtest::Item_Text;
using dispatchtest::Shown;

class Menus : public dispatchtest::Dispatch {};

// Every item of every bar's menus, as compiled: a command numbered by its
// menu and position has a row; separators and pop-ups have none; every row
// but the about box (the window's system menu) is on a bar.
TEST_F(Menus, TheCommandTableMatchesEveryCompiledMenu) {
  std::vector<int16> seen;
  std::function<void(HMENU, int16)> walk = [&](HMENU menu, int16 id) {
    const int32 n = GetMenuItemCount(menu);
    ASSERT_GT(n, 0) << "menu " << id;
    for (int32 pos = 1; pos <= n; ++pos) {
      const int16 command = int16(id + pos);
      SCOPED_TRACE(testing::Message() << "menu " << id << " item " << pos);
      const UINT state = GetMenuState(menu, UINT(pos - 1), MF_BYPOSITION);
      if (HMENU sub = GetSubMenu(menu, pos - 1)) {
        EXPECT_EQ(Command_Row(command), nullptr) << "a pop-up has no command";
        const int32 first = GetMenuItemID(sub, 0);
        walk(sub, int16(first - first % 20));
        continue;
      }
      if ((state & MF_SEPARATOR) != 0) {
        EXPECT_EQ(Command_Row(command), nullptr) << "a separator has no command";
        continue;
      }
      EXPECT_EQ(GetMenuItemID(menu, pos - 1), command) << "numbered by menu and position";
      const a_command_row* row = Command_Row(command);
      ASSERT_NE(row, nullptr) << "no row for command " << command;
      EXPECT_EQ(row->command, command);
      seen.push_back(command);
    }
  };
  for (const int16 bar : {MENUBAR_GENERAL, MENUBAR_OBJECTS, MENUBAR_TEXT}) {
    SCOPED_TRACE(testing::Message() << "bar " << bar);
    ASSERT_TRUE(Menus_Init(bar, 0));
    const int32 n = GetMenuItemCount(main_menu);
    ASSERT_GE(n, 7);
    for (int32 pos = 0; pos < n; ++pos) {
      HMENU popup = GetSubMenu(main_menu, pos);
      ASSERT_NE(popup, nullptr);
      const int32 first = GetMenuItemID(popup, 0);
      walk(popup, int16(first - first % 20));
    }
  }
  int32 count = 0;
  const a_command_row* rows = Command_Table(count);
  ASSERT_GT(count, 0);
  for (int32 i = 0; i < count; ++i) {
    if (rows[i].command == MENU_ABOUT + 1) continue;
    EXPECT_NE(std::find(seen.begin(), seen.end(), rows[i].command), seen.end())
        << "command " << rows[i].command << " is on no menu";
    EXPECT_LT(rows[i].rule, NENABLE_RULES);
  }
}

// Every accelerator of every bar reaches a command of the table (Ctrl+S
// with and without Shift: Save).
TEST_F(Menus, EveryAcceleratorReachesACommandOfTheTable) {
  for (const int16 bar : {MENUBAR_GENERAL, MENUBAR_OBJECTS, MENUBAR_TEXT}) {
    SCOPED_TRACE(testing::Message() << "bar " << bar);
    ResHandle h = GetResource(FourCC("ACCL"), bar);
    ASSERT_TRUE(h);
    ASSERT_GE(Res_Size(h), 2u);
    const uint8* p = LockResource(h);
    const int32 n = p[0] | (p[1] << 8);
    ASSERT_GE(n, 27);
    ASSERT_GE(Res_Size(h), uint32(2 + 6 * n)) << "the table holds its count of entries";
    for (int32 i = 0; i < n; ++i) {
      const uint8* e = p + 2 + 6 * i;
      const int16 command = int16(e[4] | (e[5] << 8));
      EXPECT_NE(Command_Row(command), nullptr) << "entry " << i << ": command " << command;
    }
  }
}

// Loading a bar takes the Export menu's last two items away once, however
// often the same bar is loaded; a language copy's menu id folds onto its base.
TEST_F(Menus, LoadingTakesTheLabelPrinterItemAwayOnce) {
  for (const int16 bar : {MENUBAR_TEXT, MENUBAR_GENERAL, MENUBAR_GENERAL}) {
    SCOPED_TRACE(bar);
    Menus_Load(bar, 0);
    EXPECT_EQ(Menus_CountItems(MENU_EXPORT), 7);
    EXPECT_EQ(Item_Text(MENU_EXPORT, 7), "As &TIFF file");
  }
  // Built anew, the item comes with the resource, and goes again.
  ASSERT_TRUE(Menus_Init(MENUBAR_OBJECTS, 0));
  EXPECT_EQ(Menus_CountItems(MENU_EXPORT), 9);
  Menus_Load(MENUBAR_OBJECTS, 0);
  EXPECT_EQ(Menus_CountItems(MENU_EXPORT), 7);

  const struct {
    int16 id, net;
  } folds[] = {{403, 400}, {400, 400}, {1219, 1200}, {120, 120}, {125, 120}, {19, 19}, {7, 7}};
  for (const auto& f : folds) EXPECT_EQ(Net_Menu(f.id), f.net) << f.id;
}

// The enabled and checked items of the bar in each state, with the Undo and
// Redo texts. Sound is on and the other options off.
TEST_F(Menus, EnabledAndCheckedItemsFollowTheState) {
  const std::vector<int16> kFile = {301, 302, 303, 304, 305, 308, 309, 311};
  // "To Different Layout" is refused in the collage: its slots live in the unit a switch frees.
  const std::vector<int16> kExportInCollage = {1103, 1104, 1105, 1106, 1107};
  const std::vector<int16> kExport = {1101, 1103, 1104, 1105, 1106, 1107};
  const std::vector<int16> kViewDoc = {501, 502, 503, 508};
  const std::vector<int16> kSelect = {407, 408};
  const std::vector<int16> kZoom = {1000 + 4, 1005, 1006, 1007, 1008};
  // The pop-ups "Move Horizontally" and "Vertically" with their five items,
  // and Arrange's centring items.
  const std::vector<int16> kPosition = {100, 101, 102, 103, 104, 105, 120, 121, 122, 123, 124, 125, 906, 907, 908};
  const std::vector<int16> kScale = {912, 913, 914, 915};
  // The Import menu's: with a document, outside the collage and on a unit
  // that is not a clone.
  const std::vector<int16> kImport = {1201, 1202, 1203, 1205};
  // The Help menu's: always, while no modal window restricts the menus (the
  // web page item greyed: the program has no address for it).
  const std::vector<int16> kHelp = {601, 602, 606, 608};
  const auto all = [](std::initializer_list<std::vector<int16>> parts) {
    std::vector<int16> v;
    for (const auto& p : parts) v.insert(v.end(), p.begin(), p.end());
    std::sort(v.begin(), v.end());
    return v;
  };
  struct Case {
    const char* what;
    std::function<void()> set;
    std::vector<int16> enabled;
    std::vector<int16> checked;
    const char* undo;
    const char* redo;
  };
  const std::vector<Case> cases = {
      {"no document", [] {}, all({{302, 311, 505, 506}, kHelp}), {505, 1004}, "Undo", "Redo"},
      {"print preview", [this] { Open(PREVIEW_PHASE); },
       all({kFile, {406}, kSelect, {505, 506}, kExport, kImport, kHelp}), {505, 1004}, "Undo", "Redo"},
      {"paint phase, a fill stamp with no picture", [this] { Open(PAINT_PHASE); },
       all({kFile, {406}, kViewDoc, {505, 506}, {1001}, kZoom, kExport, kImport, kHelp}), {505, 1004}, "Undo", "Redo"},
      {"paint phase, a pattern to fill with",
       [this] {
         Open(PAINT_PHASE);
         Pattern_Fill(1);
       },
       all({kFile, {404, 405, 406}, kViewDoc, {505, 506}, {1001}, kZoom, kExport, kImport, kHelp}), {505, 1004}, "Undo", "Redo"},
      {"one photo selected",
       [this] {
         Open(PHOTO_PHASE);
         Photos(1);
       },
       all({kFile, {306, 401, 404, 405, 406}, kSelect, kViewDoc, {505, 506}, kPosition, kScale, {1001}, kZoom,
            kExport, kImport, kHelp}),
       {505, 1004}, "Undo Photo paste", "Redo"},
      {"three photos selected",
       [this] {
         Open(PHOTO_PHASE);
         Photos(3);
       },
       all({kFile, {306, 401, 404, 405, 406}, kSelect, kViewDoc, {505, 506}, kPosition, {1001}, kZoom, kExport, kImport,
            kHelp}),
       {505, 1004}, "Undo Photo paste", "Redo"},
      {"text phase, nothing selected", [this] { Open(TEXT_PHASE); },
       all({kFile, {406}, kSelect, kViewDoc, {505, 506}, {1001}, kZoom, kExport, kImport, kHelp}), {505, 1004}, "Undo", "Redo"},
      {"collage phase, with an operation to undo",
       [this] {
         Open(COLLAGE_PHASE);
         Step(10);
       },
       all({{311, 406}, kViewDoc, {505, 506}, kExportInCollage, kHelp}), {505, 1004}, "Undo Canvas adjust", "Redo"},
      {"panels hidden, frames and history shown",
       [this] {
         Open(PAINT_PHASE);
         gs.tool_show = false;
         gs.pref.showframes_option = true;
         gs.pref.history_option = true;
       },
       all({kFile, {406}, kViewDoc, {505, 506}, {1001}, kZoom, kExport, kImport, kHelp}), {501, 503, 505, 508, 1004},
       "Undo", "Redo"},
      {"an operation to undo",
       [this] {
         Open(PAINT_PHASE);
         Step(10);
       },
       all({kFile, {306, 401, 406}, kViewDoc, {505, 506}, {1001}, kZoom, kExport, kImport, kHelp}), {505, 1004},
       "Undo Canvas adjust", "Redo"},
      {"an operation to redo, the document changed",
       [this] {
         Open(PAINT_PHASE);
         Step(10);
         Undo_Button();
         g_doc.doc_changed = true;
       },
       all({kFile, {306, 402, 406}, kViewDoc, {505, 506}, {1001}, kZoom, kExport, kImport, kHelp}), {505, 1004},
       "Undo", "Redo Canvas adjust"},
      {"the current unit a clone",
       [this] {
         Open(PAINT_PHASE);
         if (!Doc_Unit(2)->clonef) ASSERT_TRUE(Clone(2));
         Select_Doc_Unit(2);
         ASSERT_TRUE(g_doc.up->clonef);
       },
       all({kFile, {406}, kViewDoc, {505, 506}, {1001}, kZoom, kExport, kHelp}), {505, 1004}, "Undo", "Redo"},
      {"zoom index 4",
       [this] {
         Open(PAINT_PHASE);
         gs.grid_vals[ZOOM_GRID] = 4;
       },
       all({kFile, {406}, kViewDoc, {505, 506}, {1002}, kZoom, kExport, kImport, kHelp}), {505, 1008}, "Undo", "Redo"},
      {"a modal window that allows editing",
       [this] {
         Open(PHOTO_PHASE);
         Photos(1);
         g_menu_enable = ENABLE_EDIT;
       },
       {401, 404, 405, 406}, {}, "&Undo", "&Redo"},
      {"a modal window that allows nothing",
       [this] {
         Open(PHOTO_PHASE);
         g_menu_enable = ENABLE_NONE;
       },
       {}, {}, "&Undo", "&Redo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Each state from a fresh bar (no check marks) and no document.
    g_menu_enable = ENABLE_ALL;
    Undo_Dispose();
    if (g_doc.doc_open) Doc_Dispose();
    History_Null();
    Phase(NODOC_PHASE);
    gs.tool_show = true;
    gs.grid_vals[ZOOM_GRID] = 0;
    gs.pref.sound_option = true;
    gs.pref.embed_option = gs.pref.history_option = gs.pref.status_option = gs.pref.showframes_option = false;
    ASSERT_TRUE(Menus_Init(MENUBAR_GENERAL, 0));
    Menus_Load(MENUBAR_OBJECTS, 0);
    c.set();
    if (HasFatalFailure()) return;
    Menus_Update();
    EXPECT_EQ(Enabled_Commands(), c.enabled);
    EXPECT_EQ(Checked_Commands(), c.checked);
    EXPECT_EQ(Item_Text(MENU_EDIT, EDIT_UNDO), c.undo);
    EXPECT_EQ(Item_Text(MENU_EDIT, EDIT_REDO), c.redo);
    // Unrestricted, the dispatch refuses exactly what the menus grey.
    if (g_menu_enable != ENABLE_ALL) continue;
    for (const dispatchtest::a_shown_item& item : Shown())
      if (Command_Row(item.command) != nullptr)
        EXPECT_EQ(bool(Command_Enabled(item.command)), item.enabled) << "command " << item.command;
  }
}

// Another program active: the menus show the restricted state, while the
// commands themselves still act (scripts run with no window active).
TEST_F(Menus, AnotherTaskActiveGreysTheMenusButNotTheCommands) {
  Open(PAINT_PHASE);
  gs.mytask = false;
  Menus_Update();
  EXPECT_EQ(Enabled_Commands(), (std::vector<int16>{401, 404, 405, 406}));
  EXPECT_TRUE(Command_Enabled(MENU_FILE + 4));
  EXPECT_TRUE(Command_Enabled(MENU_ZOOM + 1));
  EXPECT_FALSE(Command_Enabled(MENU_EDIT + EDIT_UNDO));
}

// While a drag is tracked the menus stay as they are; after it they follow.
TEST_F(Menus, TheMenusWaitForADragToEnd) {
  Open(PAINT_PHASE);
  Menus_Update();
  const std::vector<int16> painting = Enabled_Commands();
  Phase(PREVIEW_PHASE);
  t.status_tracking = true;
  Menus_Update();
  EXPECT_EQ(Enabled_Commands(), painting);
  t.status_tracking = false;
  Menus_Update();
  EXPECT_NE(Enabled_Commands(), painting);
}

// The Help menu's item 2 names the phase.
TEST_F(Menus, HelpItemTwoNamesThePhase) {
  const struct {
    a_phase phase;
    const char* text;
  } cases[] = {{GRID_PHASE, "Help on Grids..."},
               {PAINT_PHASE, "Help on Painting..."},
               {PREVIEW_PHASE, "Help on Print..."},
               {TEXT_PHASE, "Help on Text..."},
               {NODOC_PHASE, "Help on Projects..."}};
  for (const auto& c : cases) {
    Phase(c.phase);
    Menus_Update();
    EXPECT_EQ(Item_Text(MENU_HELP, 2), c.text) << int(c.phase);
  }
}

}  // namespace

namespace {

a_menu_enable g_seen_enable = ENABLE_ALL;
std::vector<int16> g_seen_enabled;
bool g_seen_save = true, g_seen_paste = false;

void Note_Menus(HWND) {
  g_seen_enable = g_menu_enable;
  g_seen_enabled = Enabled_Commands();
  g_seen_save = Command_Enabled(MENU_FILE + 4);
  g_seen_paste = Command_Enabled(MENU_EDIT + EDIT_PASTE);
}

bool8 Close_At_Once(HWND, const EventRecord&, bool8& okay) {
  okay = true;
  return true;
}

// A modal window runs with the menus restricted as asked (the commands they
// grey refused), and the menus are as before once it is gone.
TEST_F(Menus, AModalWindowRestrictsTheMenusWhileItRuns) {
  SysDlog_Init();
  Open(PHOTO_PHASE);
  Photos(1);
  Menus_Update();
  const std::vector<int16> before = Enabled_Commands();
  ASSERT_FALSE(before.empty());
  (void)Modal_WindowM(ENABLE_EDIT, 200, 100, Note_Menus, nullptr, Close_At_Once);
  EXPECT_EQ(g_seen_enable, ENABLE_EDIT);
  EXPECT_EQ(g_seen_enabled, (std::vector<int16>{401, 404, 405, 406}));
  EXPECT_FALSE(g_seen_save);
  EXPECT_TRUE(g_seen_paste);
  EXPECT_EQ(g_menu_enable, ENABLE_ALL);
  EXPECT_EQ(Enabled_Commands(), before);
}

// Each toggle flips its option and marks what follows it (the state
// variable of the option, or the menus' check marks); the menus show it.
TEST_F(Menus, TogglesFlipTheirOptionAndTheMenusFollow) {
  Open(PAINT_PHASE);
  const struct {
    const char* what;
    void (*toggle)();
    bool8* option;
    a_statevar marked;
    int16 item;  // of the Options menu (0: none)
  } cases[] = {
      {"history", History_Toggle, &gs.pref.history_option, SV_HISTORY_OPTION, 1},
      {"coordinates", Status_Toggle, &gs.pref.status_option, SV_STATUS_OPTION, 2},
      {"frames", ShowFrames_Toggle, &gs.pref.showframes_option, SV_MENUBAR_CHECKMARKS, 3},
      {"sound", Sound_Toggle, &gs.pref.sound_option, SV_SOUND_OPTION, 5},
      {"embedding", Embed_Toggle, &gs.pref.embed_option, SV_MENUBAR_CHECKMARKS, 6},
      {"echo", Echo_Toggle, &gs.pref.echo_option, SV_ECHO_OPTION, 0},
      {"small cursors", TinyCurs_Toggle, &gs.pref.tinycurs_option, SV_TINYCURS_OPTION, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const bool8 start : {false, true}) {
      SV_Init();
      *c.option = start;
      c.toggle();
      EXPECT_EQ(*c.option, !start);
      EXPECT_TRUE(SV_Is_Changed(c.marked));
      Menus_Update();
      if (c.item == 0) continue;
      const std::vector<int16> checked = Checked_Commands();
      EXPECT_EQ(std::count(checked.begin(), checked.end(), int16(MENU_VIEW + c.item)), start ? 0 : 1);
    }
  }
  // Sound follows its option.
  gs.pref.sound_option = true;
  Sound_Enable(true);
  Sound_Toggle();
  EXPECT_FALSE(Sound_Enabled());
  Sound_Toggle();
  EXPECT_TRUE(Sound_Enabled());
}

}  // namespace
