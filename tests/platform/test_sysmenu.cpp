// The main window's menu bar from the program's resources: building and
// rebuilding it, the command numbering of every authored menu, enabling,
// checking, renaming, counting and deleting items, finding a menu's pop-up,
// hiding and showing the bar, the accelerators of the bar, a click on the
// bar, refusals of missing and malformed resources, and the shim calls.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "ResTestUtil.h"
#include "ScriptLoopSupport.h"
#include "TestSupport.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostMenu.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "platform/Menus.h"
#include "platform/Resources.h"
#include "platform/SysLoop.h"
#include "platform/SysMenu.h"

namespace {

std::vector<uint16> g_commands;

LRESULT Main_Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND) g_commands.push_back(LOWORD(w));
  return DefWindowProc(h, m, w, l);
}

std::u16string Text(HMENU m, int32 pos) {
  char16_t buf[300];
  GetMenuStringW(m, UINT(pos), buf, 300, MF_BYPOSITION);
  return buf;
}

// The bar's menu ids as the resource lists them.
std::vector<int16> Bar_Ids(int16 base) {
  ResHandle h = GetResource(FourCC("MBAR"), base);
  std::vector<int16> ids;
  if (!h) return ids;
  const uint8* p = LockResource(h);
  const uint16 n = uint16(p[0] | (p[1] << 8));
  for (uint16 i = 0; i < n; ++i) ids.push_back(int16(uint16(p[2 + 2 * i] | (p[3 + 2 * i] << 8))));
  return ids;
}

class SysMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Pin_DejaVu();  // the bar draws text
    Resources_Init();
    Host_Menu_Reset();
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1024, 768);
    Host_Clock_Set_Manual(true);
    SysMenu_Init();
    main_menu = nullptr;
    main_accel = nullptr;
    g_commands.clear();
    WNDCLASS wc;
    wc.lpfnWndProc = Main_Proc;
    wc.lpszClassName = "MENUMAIN";
    ASSERT_NE(RegisterClass(&wc), 0);
    main_hwnd = CreateWindowEx(0, "MENUMAIN", u"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40, 800, 600,
                               nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(main_hwnd, nullptr);
    Host_Set_Main_Window(main_hwnd);
    SetActiveWindow(main_hwnd);
  }
  void TearDown() override {
    Host_Menu_Reset();
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Stop();
    Host_Clock_Set_Manual(false);
    main_hwnd = nullptr;
    main_menu = nullptr;
    main_accel = nullptr;
    SysMenu_Init();  // no bar built yet
    Resources_Init();
  }
  void Run() { looptest::Run_Message_Loop(main_hwnd, main_accel); }
  void Load(const std::string& text) { looptest::Load_Script(text + "quit\n"); }
};

TEST_F(SysMenuTest, TheBarIsBuiltWithTitlesAndSubstitutions) {
  ASSERT_TRUE(Menus_Init(132, 0));
  ASSERT_NE(main_menu, nullptr);
  EXPECT_EQ(GetMenu(main_hwnd), main_menu);
  const std::u16string titles[] = {u"&File", u"&Edit", u"&Options", u"&Zoom", u"&Import", u"E&xport", u"&Help"};
  ASSERT_EQ(GetMenuItemCount(main_menu), 7);
  for (int32 i = 0; i < 7; ++i) EXPECT_EQ(Text(main_menu, i), titles[i]) << i;
  // "@P" and "@C" carry the program's and the maker's names.
  HMENU help = GetSubMenu(main_menu, 6);
  EXPECT_EQ(Text(help, 7), u"&About Velmor 4...");
  EXPECT_EQ(Text(help, 3), u"Velmor &Web Page");
  EXPECT_EQ(GetMenuItemID(help, 7), 608);  // the command survives the new text
  HMENU import = GetSubMenu(main_menu, 4);
  EXPECT_EQ(Text(import, 4), u"From another Velmor 4 project...");
  EXPECT_EQ(Text(import, 0), u"Track names from iTunes\u2122 export file...");
  EXPECT_NE(main_accel, nullptr);
  EXPECT_EQ(Menus_Cached(), 132);
}

TEST_F(SysMenuTest, EveryCommandIsItsMenuIdPlusItsPosition) {
  for (int16 base : {132, 133, 134}) {
    main_menu = nullptr;
    SysMenu_Init();  // no bar built yet
    ASSERT_TRUE(Menus_Init(base, 0)) << base;
    const std::vector<int16> ids = Bar_Ids(base);
    ASSERT_EQ(int32(ids.size()), GetMenuItemCount(main_menu));
    int32 commands = 0;
    for (size_t i = 0; i < ids.size(); ++i) {
      HMENU popup = GetSubMenu(main_menu, int32(i));
      ASSERT_NE(popup, nullptr);
      int16 sub_id = 100;  // the Arrange menu's submenus are 100 and 120, in order
      for (int32 k = 0; k < GetMenuItemCount(popup); ++k) {
        if (HMENU sub = GetSubMenu(popup, k)) {
          for (int32 j = 0; j < GetMenuItemCount(sub); ++j) EXPECT_EQ(GetMenuItemID(sub, j), sub_id + j + 1);
          sub_id = 120;
          continue;
        }
        const int32 id = GetMenuItemID(popup, k);
        if (id < 0) continue;  // a separator
        ++commands;
        EXPECT_EQ(id, ids[i] + k + 1) << base << " menu " << ids[i] << " item " << k + 1;
        // The main window splits a command into its menu and item by 20s.
        EXPECT_EQ(id / 20 * 20, ids[i]);
        EXPECT_EQ(id % 20, k + 1);
      }
    }
    EXPECT_GT(commands, 40) << base;
  }
  // A few texts and shortcuts as the user sees them.
  HMENU p = nullptr, c = nullptr;
  int16 pos = 0;
  ASSERT_TRUE(FindSubMenu(300, p, pos, c));
  EXPECT_EQ(Text(c, 10), u"&Quit\tCtrl+Q");
  ASSERT_TRUE(FindSubMenu(1000, p, pos, c));
  EXPECT_EQ(Text(c, 7), u"&400% Zoom\tAlt+4");
  ASSERT_TRUE(FindSubMenu(900, p, pos, c));
  EXPECT_EQ(Text(c, 14), u"Scale to cover &distorting");
}

TEST_F(SysMenuTest, ABarIsBuiltOncePerBaseAndLanguage) {
  ASSERT_TRUE(Menus_Init(132, 0));
  HMENU first = main_menu;
  EXPECT_FALSE(Menus_Init(132, 0));
  EXPECT_EQ(main_menu, first);
  // Another language rebuilds bar and accelerators (falling back to English here).
  ASSERT_TRUE(Menus_Init(132, 3));
  EXPECT_FALSE(IsMenu(first));
  EXPECT_EQ(Menus_Language(), 3);
  EXPECT_EQ(Menus_Cached(), 135);
  EXPECT_EQ(Text(main_menu, 0), u"&File");
  ASSERT_NE(main_accel, nullptr);
  EXPECT_GT(CopyAcceleratorTable(main_accel, nullptr, 0), 0);
  // Bar 134 in English and bar 132 in language 2 have the same sum: both are built.
  ASSERT_TRUE(Menus_Init(134, 0));
  EXPECT_EQ(GetMenuItemCount(main_menu), 8);  // with Arrange
  ASSERT_TRUE(Menus_Init(132, 2));
  EXPECT_EQ(GetMenuItemCount(main_menu), 7);
  EXPECT_EQ(Menus_Language(), 2);
}

TEST_F(SysMenuTest, ItemsAreEnabledCheckedRenamedCountedAndDeleted) {
  ASSERT_TRUE(Menus_Init(132, 0));
  // Item 0 greys the whole menu in the bar; an item greys only its command.
  Menus_EnableItem(300, 0, false);
  EXPECT_EQ(GetMenuState(main_menu, 0, MF_BYPOSITION) & MF_GRAYED, MF_GRAYED);
  EXPECT_EQ(GetMenuState(main_menu, 301, MF_BYCOMMAND) & MF_GRAYED, 0u);
  Menus_EnableItem(300, 0, true);
  EXPECT_EQ(GetMenuState(main_menu, 0, MF_BYPOSITION) & MF_GRAYED, 0u);
  Menus_EnableItem(300, 2, false);
  EXPECT_EQ(GetMenuState(main_menu, 302, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), MF_GRAYED | MF_DISABLED);
  EXPECT_EQ(GetMenuState(main_menu, 301, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(GetMenuState(main_menu, 0, MF_BYPOSITION) & MF_GRAYED, 0u);
  Menus_CheckItem(500, 5, true);
  EXPECT_EQ(GetMenuState(main_menu, 505, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  Menus_CheckItem(500, 5, false);
  EXPECT_EQ(GetMenuState(main_menu, 505, MF_BYCOMMAND) & MF_CHECKED, 0u);

  // A new text keeps the shortcut, the command and the state.
  Menus_EnableItem(400, 1, false);
  const std::string undo = "Undo Paint";
  Menus_SetItem(400, 1, CStrSpan(undo.c_str(), undo.size() + 1));
  HMENU p = nullptr, edit = nullptr;
  int16 pos = 0;
  ASSERT_TRUE(FindSubMenu(400, p, pos, edit));
  EXPECT_EQ(Text(edit, 0), u"Undo Paint\tCtrl+Z");
  EXPECT_EQ(GetMenuItemID(edit, 0), 401);
  EXPECT_EQ(GetMenuState(edit, 0, MF_BYPOSITION) & MF_GRAYED, MF_GRAYED);
  const std::string revert = "Revert to Saved";
  Menus_SetItem(300, 6, CStrSpan(revert.c_str(), revert.size()));  // no NUL inside the span
  HMENU file = GetSubMenu(main_menu, 0);
  EXPECT_EQ(Text(file, 5), u"Revert to Saved");
  Menus_SetItem(300, 7, CStrSpan(revert.c_str(), revert.size()));  // a separator keeps being one
  EXPECT_EQ(GetMenuState(file, 6, MF_BYPOSITION), MF_SEPARATOR);

  // Export loses its last two items as the command layer does; the rest stay.
  EXPECT_EQ(Menus_CountItems(1100), 9);
  Menus_DeleteItem(1100, 9);
  Menus_DeleteItem(1100, 8);
  EXPECT_EQ(Menus_CountItems(1100), 7);
  HMENU exp = nullptr;
  ASSERT_TRUE(FindSubMenu(1100, p, pos, exp));
  EXPECT_EQ(Text(exp, 6), u"As &TIFF file");
  // Unknown menus: nothing happens.
  EXPECT_EQ(Menus_CountItems(1500), 0);
  Menus_DeleteItem(1500, 1);
  Menus_SetItem(1500, 1, CStrSpan(revert.c_str(), revert.size()));
  Menus_EnableItem(1500, 0, false);
}

TEST_F(SysMenuTest, APopupIsFoundByItsOwnCommands) {
  ASSERT_TRUE(Menus_Init(133, 0));
  struct Case {
    int16 menuid;
    HMENU parent;
    int16 pos;
    int32 first_command;
  };
  HMENU arrange = GetSubMenu(main_menu, 2);
  const Case cases[] = {
      {1200, main_menu, 5, 1201},  // 1201 is Import's, not Zoom's or Export's
      {1000, main_menu, 4, 1001},
      {1100, main_menu, 6, 1101},
      {100, arrange, 8, 101},
      {120, arrange, 9, 121},  // not submenu 100, which shares the hundred
      {403, main_menu, 1, 401},  // a language copy's id finds the base menu
  };
  for (const Case& c : cases) {
    HMENU parent = nullptr, child = nullptr;
    int16 pos = -1;
    ASSERT_TRUE(FindSubMenu(c.menuid, parent, pos, child)) << c.menuid;
    EXPECT_EQ(parent, c.parent) << c.menuid;
    EXPECT_EQ(pos, c.pos) << c.menuid;
    EXPECT_EQ(GetMenuItemID(child, 0), c.first_command) << c.menuid;
  }
  HMENU parent = nullptr, child = nullptr;
  int16 pos = 0;
  EXPECT_FALSE(FindSubMenu(1500, parent, pos, child));
  EXPECT_EQ(child, nullptr);
  // Greying submenu 120 as a whole leaves 100 alone.
  Menus_EnableItem(120, 0, false);
  EXPECT_EQ(GetMenuState(arrange, 9, MF_BYPOSITION) & MF_GRAYED, MF_GRAYED);
  EXPECT_EQ(GetMenuState(arrange, 8, MF_BYPOSITION) & MF_GRAYED, 0u);
}

TEST_F(SysMenuTest, TheBarHidesAndShows) {
  ASSERT_TRUE(Menus_Init(132, 0));
  RECT with{}, without{};
  GetClientRect(main_hwnd, &with);
  Menus_Hide();
  EXPECT_EQ(GetMenu(main_hwnd), nullptr);
  GetClientRect(main_hwnd, &without);
  EXPECT_EQ(without.bottom - with.bottom, GetSystemMetrics(SM_CYMENU));
  Menus_Show();
  EXPECT_EQ(GetMenu(main_hwnd), main_menu);
  Menus_Draw();
  EXPECT_TRUE(IsMenu(main_menu));
}

TEST_F(SysMenuTest, TheBarsAcceleratorsFollowTheItemsState) {
  ASSERT_TRUE(Menus_Init(132, 0));
  // Ctrl+S saves; Shift with it too (the command layer reads Shift); Alt+1
  // zooms; Alt+] has no accelerator on the bar without Arrange.
  Load("key Ctrl+S\nkey Ctrl+Shift+S\nkey Alt+1\nkey Alt+]\nkey Ctrl+N\n");
  Run();
  EXPECT_EQ(g_commands, (std::vector<uint16>{304, 304, 1005, 301}));
  g_commands.clear();
  // Greyed items and menus still send their commands: the command layer
  // refuses them as it refuses them from anywhere.
  Menus_EnableItem(300, 4, false);
  Menus_EnableItem(1000, 0, false);
  Load("key Ctrl+S\nkey Alt+1\nkey Ctrl+N\n");
  Run();
  EXPECT_EQ(g_commands, (std::vector<uint16>{304, 1005, 301}));
  // The bar with Arrange has its keys.
  g_commands.clear();
  ASSERT_TRUE(Menus_Init(133, 0));
  Load("key Alt+]\nkey Alt+[\n");
  Run();
  EXPECT_EQ(g_commands, (std::vector<uint16>{903, 904}));
}

TEST_F(SysMenuTest, AClickOnTheBarChoosesACommand) {
  ASSERT_TRUE(Menus_Init(132, 0));
  RECT title{}, item{};
  ASSERT_TRUE(Host_Menu_Title_Rect(main_hwnd, 0, &title));
  HMENU file = GetSubMenu(main_menu, 0);
  ASSERT_TRUE(Host_Menu_Item_Rect(file, 1, &item));
  Load("click " + std::to_string(title.left + 5) + " -8\nclick " + std::to_string(title.left + item.left + 5) + " " +
       std::to_string(item.top + 5) + "\n");
  Run();
  EXPECT_EQ(g_commands, std::vector<uint16>{302});
}

TEST_F(SysMenuTest, MissingAndMalformedResourcesAreReported) {
  try {
    Menus_Init(140, 0);
    ADD_FAILURE() << "a missing bar was not reported";
  } catch (const ResErrCalled& e) {
    EXPECT_EQ(e.kind, FourCC("MBAR"));
    EXPECT_EQ(e.id, 140);
  }
  using restest::Res;
  std::vector<uint8> bar_missing_menu, bar_odd;
  restest::Put16(bar_missing_menu, 2);
  restest::Put16(bar_missing_menu, 300);
  restest::Put16(bar_missing_menu, 777);
  restest::Put16(bar_odd, 3);
  restest::Put16(bar_odd, 300);
  restest::TempFile f(restest::Archive({{FourCC("MBAR"), 150, bar_missing_menu}, {FourCC("MBAR"), 151, bar_odd}}));
  const int16 slot = ResFile_Open(f.path.c_str(), 0);
  ASSERT_GT(slot, 0);
  try {
    Menus_Init(150, 0);
    ADD_FAILURE() << "a missing menu was not reported";
  } catch (const ResErrCalled& e) {
    EXPECT_EQ(e.kind, FourCC("MENU"));
    EXPECT_EQ(e.id, 777);
  }
  EXPECT_EQ(main_menu, nullptr);
  EXPECT_THROW(Menus_Init(151, 0), QuitCalled);
  EXPECT_EQ(main_menu, nullptr);
  CloseResFile(slot);
  // A title that is missing shows as such; the bar is built.
  std::vector<uint8> bar_no_title;
  restest::Put16(bar_no_title, 1);
  restest::Put16(bar_no_title, 120);  // submenu 120 has a menu but no title
  restest::TempFile g(restest::Archive({{FourCC("MBAR"), 152, bar_no_title}}));
  const int16 slot2 = ResFile_Open(g.path.c_str(), 0);
  ASSERT_GT(slot2, 0);
  ASSERT_TRUE(Menus_Init(152, 0));
  EXPECT_EQ(Text(main_menu, 0), u"?MISSING?");
  CloseResFile(slot2);
}

TEST(SysMenuPlain, ShortcutIsTheTextFromTheLastTab) {
  struct Case {
    const char* base;
    const char* want;
  };
  const Case cases[] = {
      {"Open\tCtrl+O", "\tCtrl+O"},
      {"A\tB\tC", "\tC"},
      {"\tOnly", ""},  // a TAB in the first place is no separator
      {"Plain", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    char out[64];
    Extract_Shortcut(CStrSpan(c.base, std::strlen(c.base) + 1), StrSpan(out, sizeof out));
    EXPECT_STREQ(out, c.want) << c.base;
  }
  // The result never passes its array.
  char small[4];
  Extract_Shortcut(CStrSpan("Open\tCtrl+O", 12), StrSpan(small, sizeof small));
  EXPECT_STREQ(small, "\tCt");
}

TEST(SysMenuPlain, LanguageOffsetsSpareTheSharedMenus) {
  EXPECT_EQ(AdjustMenuX(300, 3), 303);
  EXPECT_EQ(AdjustMenuX(80, 3), 80);
  EXPECT_EQ(AdjustMenuX(81, 19), 81);
  EXPECT_EQ(AdjustMenuX(82, 1), 83);
}

TEST(SysMenuPlain, TheToolboxMenuCallsAreInternalErrors) {
  EXPECT_THROW(DisableItem(nullptr, 1), QuitCalled);
  EXPECT_THROW(EnableItem(nullptr, 1), QuitCalled);
  EXPECT_THROW(CountMItems(nullptr), QuitCalled);
  EXPECT_THROW(SetMenuItemText(nullptr, 1, CStrSpan("x", 1)), QuitCalled);
}

}  // namespace
