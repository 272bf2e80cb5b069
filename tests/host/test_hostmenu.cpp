// Host menus: the menu model and its queries, menu and accelerator data and
// their refusals, the bar as drawn, tracking by mouse and keyboard driven by
// scripts, and the menu-aware accelerator translation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "ScriptLoopSupport.h"
#include "TestSupport.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostMenu.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "host/HostWinCore.h"

namespace {

// --- The model ------------------------------------------------------------------------

class HostMenuModel : public ::testing::Test {
 protected:
  void TearDown() override { Host_Menu_Reset(); }
};

std::u16string Text_Of(HMENU m, UINT item, UINT flags) {
  char16_t buf[300];
  GetMenuStringW(m, item, buf, 300, flags);
  return buf;
}

TEST_F(HostMenuModel, ItemsAreBuiltInsertedAndQueried) {
  HMENU sub = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuW(sub, MF_STRING, 101, u"&Left"));
  ASSERT_TRUE(AppendMenuW(sub, MF_GRAYED, 102, u"&Right"));
  HMENU m = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuW(m, MF_STRING, 301, u"&New\tCtrl+N"));
  ASSERT_TRUE(AppendMenuW(m, MF_SEPARATOR, 0, nullptr));
  ASSERT_TRUE(AppendMenuW(m, MF_POPUP, reinterpret_cast<uintptr_t>(sub), u"&Move"));
  ASSERT_TRUE(AppendMenuA(m, MF_STRING, 304, "Sav\xC3\xA9"));
  // Before position 1, and before command 304 (found by its id).
  ASSERT_TRUE(InsertMenuW(m, 1, MF_BYPOSITION, 302, u"Open"));
  ASSERT_TRUE(InsertMenuA(m, 304, MF_BYCOMMAND, 303, "Close"));
  ASSERT_EQ(GetMenuItemCount(m), 6);
  const int32 ids[] = {301, 302, -1, -1, 303, 304};  // separator and pop-up have none
  for (int32 i = 0; i < 6; ++i) EXPECT_EQ(GetMenuItemID(m, i), ids[i]) << i;
  EXPECT_EQ(GetSubMenu(m, 3), sub);
  EXPECT_EQ(GetSubMenu(m, 0), nullptr);
  EXPECT_EQ(Text_Of(m, 301, MF_BYCOMMAND), u"&New\tCtrl+N");
  EXPECT_EQ(Text_Of(m, 304, MF_BYCOMMAND), u"Sav\u00E9");
  // Commands are found in submenus too.
  EXPECT_EQ(Text_Of(m, 102, MF_BYCOMMAND), u"&Right");
  EXPECT_EQ(GetMenuState(m, 102, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(GetMenuState(m, 2, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(GetMenuState(m, 3, MF_BYPOSITION) & MF_POPUP, MF_POPUP);
  EXPECT_EQ(GetMenuState(m, 999, MF_BYCOMMAND), kMenuFailed);

  // The UTF-8 form is never cut inside a character; NIL gives the length.
  char small[5];
  EXPECT_EQ(GetMenuStringA(m, 304, nullptr, 0, MF_BYCOMMAND), 5);
  EXPECT_EQ(GetMenuStringA(m, 304, small, 5, MF_BYCOMMAND), 3);
  EXPECT_STREQ(small, "Sav");
  char16_t two[3];
  EXPECT_EQ(GetMenuStringW(m, 0, two, 3, MF_BYPOSITION), 2);
  EXPECT_EQ(std::u16string(two), u"&N");
}

TEST_F(HostMenuModel, EnableAndCheckReportThePreviousState) {
  HMENU m = CreatePopupMenu();
  AppendMenuW(m, MF_STRING, 401, u"Undo");
  EXPECT_EQ(EnableMenuItem(m, 401, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED), MF_ENABLED);
  EXPECT_EQ(EnableMenuItem(m, 0, MF_BYPOSITION | MF_ENABLED), MF_GRAYED | MF_DISABLED);
  EXPECT_EQ(CheckMenuItem(m, 401, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(CheckMenuItem(m, 401, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(EnableMenuItem(m, 499, MF_BYCOMMAND), kMenuFailed);
  EXPECT_EQ(CheckMenuItem(m, 1, MF_BYPOSITION), kMenuFailed);
  // Modify keeps the position and takes the new flags and text.
  ASSERT_TRUE(ModifyMenuW(m, 401, MF_BYCOMMAND | MF_CHECKED, 405, u"Copy"));
  EXPECT_EQ(GetMenuItemID(m, 0), 405);
  EXPECT_EQ(GetMenuState(m, 405, MF_BYCOMMAND), MF_CHECKED);
}

TEST_F(HostMenuModel, DeleteDestroysSubmenusAndDeadHandlesFail) {
  HMENU a = CreatePopupMenu(), b = CreatePopupMenu();
  HMENU m = CreateMenu();
  ASSERT_TRUE(AppendMenuW(m, MF_POPUP, reinterpret_cast<uintptr_t>(a), u"A"));
  ASSERT_TRUE(AppendMenuW(m, MF_POPUP, reinterpret_cast<uintptr_t>(b), u"B"));
  // A pop-up has one parent, and no menu may hold itself.
  EXPECT_FALSE(AppendMenuW(m, MF_POPUP, reinterpret_cast<uintptr_t>(a), u"again"));
  EXPECT_FALSE(AppendMenuW(a, MF_POPUP, reinterpret_cast<uintptr_t>(a), u"self"));
  HMENU c = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuW(a, MF_POPUP, reinterpret_cast<uintptr_t>(c), u"C"));
  EXPECT_FALSE(AppendMenuW(c, MF_POPUP, reinterpret_cast<uintptr_t>(m), u"loop"));
  EXPECT_FALSE(AppendMenuW(c, MF_STRING, 70000, u"id too big"));

  ASSERT_TRUE(RemoveMenu(m, 1, MF_BYPOSITION));  // B survives
  EXPECT_TRUE(IsMenu(b));
  ASSERT_TRUE(DeleteMenu(m, 0, MF_BYPOSITION));  // A and its C go
  EXPECT_FALSE(IsMenu(a));
  EXPECT_FALSE(IsMenu(c));
  EXPECT_EQ(GetMenuItemCount(m), 0);
  ASSERT_TRUE(DestroyMenu(b));
  EXPECT_EQ(GetMenuItemCount(b), -1);
  EXPECT_FALSE(AppendMenuW(b, MF_STRING, 1, u"x"));
  EXPECT_EQ(EnableMenuItem(b, 0, MF_BYPOSITION), kMenuFailed);
  EXPECT_EQ(GetMenuStringW(b, 0, nullptr, 0, MF_BYPOSITION), 0);
  EXPECT_FALSE(DestroyMenu(b));
  // A destroyed pop-up leaves its parent.
  HMENU d = CreatePopupMenu();
  AppendMenuW(m, MF_POPUP, reinterpret_cast<uintptr_t>(d), u"D");
  DestroyMenu(d);
  EXPECT_EQ(GetMenuItemCount(m), 0);
}

// --- Menu and accelerator data -----------------------------------------------------------

struct MenuData {
  std::vector<uint8> d;
  MenuData& Count(uint16 n) {
    d.push_back(uint8(n));
    d.push_back(uint8(n >> 8));
    return *this;
  }
  MenuData& Item(uint16 flags, int16 id, const std::string& text) {
    Count(flags);
    Count(uint16(id));
    d.push_back(uint8(text.size()));
    d.insert(d.end(), text.begin(), text.end());
    return *this;
  }
};

TEST_F(HostMenuModel, MenuDataBuildsItemsAndSubmenus) {
  const std::vector<uint8> sub = MenuData().Count(2).Item(0, 101, "1/&4").Item(8, 102, "1/&3").d;
  const std::vector<uint8> top = MenuData()
                                     .Count(4)
                                     .Item(0, 901, "Bring to &Front\tAlt+]")
                                     .Item(MF_SEPARATOR, 0, "")
                                     .Item(MF_POPUP, 100, "&Move")
                                     .Item(MF_GRAYED, 904, "Gray")
                                     .d;
  std::vector<int16> asked;
  auto lookup = [&](int16 id, std::span<const uint8>* data) {
    asked.push_back(id);
    if (id != 100) return false;
    *data = sub;
    return true;
  };
  std::string err;
  HMENU m = Host_Menu_Load(top, lookup, &err);
  ASSERT_NE(m, nullptr) << err;
  EXPECT_EQ(asked, std::vector<int16>{100});
  ASSERT_EQ(GetMenuItemCount(m), 4);
  EXPECT_EQ(Text_Of(m, 901, MF_BYCOMMAND), u"Bring to &Front\tAlt+]");
  EXPECT_EQ(GetMenuState(m, 1, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(GetMenuState(m, 904, MF_BYCOMMAND), MF_GRAYED);
  HMENU s = GetSubMenu(m, 2);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(GetMenuItemID(s, 1), 102);
  EXPECT_EQ(GetMenuState(s, 102, MF_BYCOMMAND), MF_CHECKED);
}

TEST_F(HostMenuModel, MalformedMenuDataIsRefused) {
  const std::vector<uint8> self = MenuData().Count(1).Item(MF_POPUP, 50, "me").d;
  struct Case {
    const char* what;
    std::vector<uint8> data;
  };
  std::vector<uint8> cut_text = MenuData().Count(1).Item(0, 5, "hello").d;
  cut_text.resize(cut_text.size() - 2);
  std::vector<uint8> trailing = MenuData().Count(1).Item(0, 5, "x").d;
  trailing.push_back(0);
  const Case cases[] = {
      {"empty", {}},
      {"one byte", {1}},
      {"count beyond the data", MenuData().Count(40).Item(0, 5, "x").d},
      {"item cut short", MenuData().Count(2).Item(0, 5, "x").d},
      {"text cut short", cut_text},
      {"unknown flag", MenuData().Count(1).Item(0x4000, 5, "x").d},
      {"bad UTF-8", MenuData().Count(1).Item(0, 5, "\xC3(").d},
      {"separator with an id", MenuData().Count(1).Item(MF_SEPARATOR, 5, "").d},
      {"command id 0", MenuData().Count(1).Item(0, 0, "x").d},
      {"negative id", MenuData().Count(1).Item(0, -3, "x").d},
      {"missing submenu", MenuData().Count(1).Item(MF_POPUP, 77, "x").d},
      {"submenu naming itself", self},
      {"trailing bytes", trailing},
  };
  auto lookup = [&](int16 id, std::span<const uint8>* data) {
    if (id != 50) return false;
    *data = self;
    return true;
  };
  for (const Case& c : cases) {
    std::string err;
    EXPECT_EQ(Host_Menu_Load(c.data, lookup, &err), nullptr) << c.what;
    EXPECT_FALSE(err.empty()) << c.what;
  }
  // Nothing built on the way was left behind: only menus made here exist.
  HMENU probe = CreatePopupMenu();
  EXPECT_TRUE(IsMenu(probe));
}

std::vector<uint8> Accel_Data(const std::vector<ACCEL>& e, int extra = 0) {
  std::vector<uint8> d;
  const uint16 n = uint16(e.size() + size_t(extra));
  d = {uint8(n), uint8(n >> 8)};
  for (const ACCEL& a : e) {
    d.insert(d.end(), {a.fVirt, 0, uint8(a.key), uint8(a.key >> 8), uint8(a.cmd), uint8(a.cmd >> 8)});
  }
  return d;
}

TEST_F(HostMenuModel, AcceleratorDataIsCheckedAndLoaded) {
  std::string err;
  HACCEL a = Host_Accel_Load(Accel_Data({{FVIRTKEY | FCONTROL, 'S', 304}, {FVIRTKEY | FALT, '1', 1005}}), &err);
  ASSERT_NE(a, nullptr) << err;
  ACCEL got[2];
  ASSERT_EQ(CopyAcceleratorTable(a, got, 2), 2);
  EXPECT_EQ(got[1].key, '1');
  EXPECT_EQ(got[1].cmd, 1005);
  DestroyAcceleratorTable(a);
  std::vector<uint8> pad = Accel_Data({{FVIRTKEY, 'A', 1}});
  pad[3] = 1;
  const std::vector<uint8> bad[] = {
      {},
      {0, 0},                                           // no entries
      Accel_Data({{FVIRTKEY, 'A', 1}}, 1),              // count beyond the data
      Accel_Data({{0x40, 'A', 1}}),                     // unknown flag
      pad,                                              // padding not 0
      Accel_Data({{FVIRTKEY, 'A', 0}}),                 // command 0
      Accel_Data({{FVIRTKEY, 0x1FF, 5}}),               // not a virtual key
  };
  for (size_t i = 0; i < std::size(bad); ++i) EXPECT_EQ(Host_Accel_Load(bad[i], &err), nullptr) << i;
}

// --- The bar, tracking and accelerators in a window ---------------------------------------------

struct Rec {
  UINT msg;
  WPARAM w;
  LPARAM l;
  bool popup_shown;  // a pop-up window of the menu was visible at the time
};
std::vector<Rec> g_log;
HMENU g_destroy_when_shown = nullptr;  // a pop-up the owner destroys once it is open
constexpr UINT kDestroyPopup = WM_USER + 50;

bool Popup_Visible() {
  for (int32 L = 0; L < 4; ++L)
    if (HWND p = Host_Menu_Popup_Window(L); p && IsWindowVisible(p)) return true;
  return false;
}

LRESULT Menu_Test_Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_INITMENU: case WM_INITMENUPOPUP: case WM_COMMAND:
      g_log.push_back({m, w, l, Popup_Visible()});
      if (m == WM_INITMENUPOPUP && g_destroy_when_shown && w == reinterpret_cast<WPARAM>(g_destroy_when_shown))
        PostMessage(h, kDestroyPopup, 0, 0);
      break;
    case kDestroyPopup:
      DestroyMenu(g_destroy_when_shown);
      return 0;
    // System keys reach the bar through the default procedure.
    default: break;
  }
  return DefWindowProc(h, m, w, l);
}

class HostMenuWindow : public ::testing::Test {
 protected:
  HWND main_ = nullptr;
  bool have_fonts_ = false;
  HMENU bar_ = nullptr, file_ = nullptr, arrange_ = nullptr, move_ = nullptr, edit_ = nullptr;

  void SetUp() override {
    // The bar draws text: fonts from the pinned configuration, as in every text test.
    have_fonts_ = Pin_DejaVu();
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1024, 768);
    Host_Clock_Set_Manual(true);
    Host_Menu_Install();
    g_log.clear();
    g_destroy_when_shown = nullptr;
    file_ = CreatePopupMenu();
    AppendMenuW(file_, 0, 301, u"&New\tCtrl+N");
    AppendMenuW(file_, 0, 302, u"&Open...");
    AppendMenuW(file_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file_, MF_GRAYED, 304, u"&Save\tCtrl+S");
    AppendMenuW(file_, 0, 305, u"Save &As...");
    edit_ = CreatePopupMenu();
    AppendMenuW(edit_, 0, 401, u"&Undo");
    move_ = CreatePopupMenu();
    AppendMenuW(move_, 0, 101, u"&Left");
    AppendMenuW(move_, 0, 102, u"&Right");
    arrange_ = CreatePopupMenu();
    AppendMenuW(arrange_, 0, 901, u"Bring to &Front");
    AppendMenuW(arrange_, MF_POPUP, reinterpret_cast<uintptr_t>(move_), u"&Move");
    bar_ = CreateMenu();
    AppendMenuW(bar_, MF_POPUP, reinterpret_cast<uintptr_t>(file_), u"&File");
    AppendMenuW(bar_, MF_POPUP, reinterpret_cast<uintptr_t>(edit_), u"&Edit");
    AppendMenuW(bar_, MF_POPUP, reinterpret_cast<uintptr_t>(arrange_), u"&Arrange");
    WNDCLASS wc;
    wc.lpfnWndProc = Menu_Test_Proc;
    wc.lpszClassName = "MENUTEST";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    ASSERT_NE(RegisterClass(&wc), 0);
    main_ = CreateWindowEx(0, "MENUTEST", u"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 600, 400, nullptr,
                           bar_, nullptr, nullptr);
    ASSERT_NE(main_, nullptr);
    Host_Set_Main_Window(main_);
    SetActiveWindow(main_);
  }
  void TearDown() override {
    Host_Menu_Reset();
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Stop();
    Host_Clock_Set_Manual(false);
  }
  // The program's main loop, in short, with the menu-aware accelerators.
  void Run(HACCEL accel = nullptr) { looptest::Run_Message_Loop(main_, accel); }
  void Load(const std::string& text) { looptest::Load_Script(text + "quit\n"); }
  // "click X Y" on a title, and on item pos of the pop-up under title t.
  std::string Click_Title(int32 t) {
    RECT r;
    EXPECT_TRUE(Host_Menu_Title_Rect(main_, t, &r));
    return "click " + std::to_string(r.left + 4) + " " + std::to_string(r.top + 4) + "\n";
  }
  std::string Click_Item(int32 t, HMENU popup, int32 pos) {
    RECT title, item;
    EXPECT_TRUE(Host_Menu_Title_Rect(main_, t, &title));
    EXPECT_TRUE(Host_Menu_Item_Rect(popup, pos, &item));
    // The pop-up drops from the title's left edge, at the top of the client area.
    return "click " + std::to_string(title.left + item.left + 6) + " " + std::to_string(item.top + 5) + "\n";
  }
  std::vector<uint16> Commands() const {
    std::vector<uint16> out;
    for (const Rec& r : g_log)
      if (r.msg == WM_COMMAND) out.push_back(LOWORD(r.w));
    return out;
  }
};

TEST_F(HostMenuWindow, TheBarIsDrawnWithItsTitlesInOrder) {
  if (!have_fonts_) GTEST_FAIL() << No_DejaVu_Message();
  RECT r0, r1, r2;
  ASSERT_TRUE(Host_Menu_Title_Rect(main_, 0, &r0));
  ASSERT_TRUE(Host_Menu_Title_Rect(main_, 1, &r1));
  ASSERT_TRUE(Host_Menu_Title_Rect(main_, 2, &r2));
  EXPECT_FALSE(Host_Menu_Title_Rect(main_, 3, &r2));
  // Side by side in the strip above the client area.
  EXPECT_EQ(r0.top, -GetSystemMetrics(SM_CYMENU));
  EXPECT_EQ(r0.bottom, 0);
  EXPECT_EQ(r0.right, r1.left);
  EXPECT_EQ(r1.right, r2.left);
  EXPECT_GT(r2.right - r2.left, r1.right - r1.left);  // "Arrange" is wider than "Edit"
  ASSERT_TRUE(DrawMenuBar(main_));
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  ASSERT_TRUE(hostwin::Compose_Frame(main_, px, w, h));
  const HostWindowRec* hw = hostwin::Live(main_);
  const int32 strip_top = hw->frame_t - hw->menu_h;
  // Dark text pixels inside each title, none beyond the last one.
  auto dark_in = [&](int32 x0, int32 x1) {
    int32 n = 0;
    for (int32 y = strip_top; y < strip_top + hw->menu_h; ++y)
      for (int32 x = x0 + hw->frame_l; x < x1 + hw->frame_l && x < w; ++x) {
        const uint32 p = px[size_t(y) * size_t(w) + size_t(x)];
        if ((p & 0xFF) < 80 && ((p >> 8) & 0xFF) < 80 && ((p >> 16) & 0xFF) < 80) ++n;
      }
    return n;
  };
  EXPECT_GT(dark_in(r0.left, r0.right), 10);
  EXPECT_GT(dark_in(r1.left, r1.right), 10);
  EXPECT_GT(dark_in(r2.left, r2.right), 10);
  EXPECT_EQ(dark_in(r2.right + 2, 590), 0);
  // A grayed title is drawn without black text.
  EnableMenuItem(bar_, 1, MF_BYPOSITION | MF_GRAYED);
  DrawMenuBar(main_);
  ASSERT_TRUE(hostwin::Compose_Frame(main_, px, w, h));
  EXPECT_EQ(dark_in(r1.left, r1.right), 0);
  EXPECT_GT(dark_in(r0.left, r0.right), 10);
}

TEST_F(HostMenuWindow, ClickingATitleThenAnItemPostsItsCommand) {
  Load(Click_Title(0) + Click_Item(0, file_, 1) + "menu 999\n");
  Run();
  // WM_INITMENU, then WM_INITMENUPOPUP for the File pop-up before it showed,
  // then the command of the item clicked; the script's own command after it.
  ASSERT_GE(g_log.size(), 4u);
  EXPECT_EQ(g_log[0].msg, UINT(WM_INITMENU));
  EXPECT_EQ(g_log[0].w, reinterpret_cast<WPARAM>(bar_));
  EXPECT_EQ(g_log[1].msg, UINT(WM_INITMENUPOPUP));
  EXPECT_EQ(g_log[1].w, reinterpret_cast<WPARAM>(file_));
  EXPECT_EQ(LOWORD(g_log[1].l), 0);
  EXPECT_FALSE(g_log[1].popup_shown);
  EXPECT_EQ(Commands(), (std::vector<uint16>{302, 999}));
  EXPECT_EQ(g_log[2].w, WPARAM(302));  // high word 0: from a menu
  EXPECT_FALSE(Host_Menu_Tracking());
  EXPECT_EQ(Host_Menu_Popup_Window(0), nullptr);
}

TEST_F(HostMenuWindow, GrayedItemsSeparatorsAndOutsideClicksChooseNothing) {
  // A grayed item and a separator keep the menu up; a press outside ends it.
  Load(Click_Title(0) + Click_Item(0, file_, 3) + Click_Item(0, file_, 2) + "click 500 300\nmenu 999\n");
  Run();
  EXPECT_EQ(Commands(), std::vector<uint16>{999});
  g_log.clear();
  // A second press on the open title closes the menu.
  Load(Click_Title(0) + Click_Title(0) + Click_Item(0, file_, 0) + "menu 998\n");
  Run();
  EXPECT_EQ(Commands(), std::vector<uint16>{998});
}

TEST_F(HostMenuWindow, MovingToAnotherTitleSwitchesPopupsAndSubmenusOpen) {
  RECT t2;
  ASSERT_TRUE(Host_Menu_Title_Rect(main_, 2, &t2));
  RECT move_item, left_item;
  ASSERT_TRUE(Host_Menu_Item_Rect(arrange_, 1, &move_item));
  ASSERT_TRUE(Host_Menu_Item_Rect(move_, 0, &left_item));
  // Hovering "Move" opens its submenu beside the pop-up (overlapping it by 3
  // pixels), level with the item.
  RECT arrange_first;
  Host_Menu_Item_Rect(arrange_, 0, &arrange_first);
  const int32 popup_w = arrange_first.right + 2;  // items end 2 pixels inside the frame
  ASSERT_TRUE(Host_Menu_Item_Rect(move_, 0, &left_item));
  const int32 sx = t2.left + popup_w - 3 + left_item.left + 6;
  const int32 sy = move_item.top - 2 + left_item.top + 5;
  Load(Click_Title(0) + "move " + std::to_string(t2.left + 5) + " -5\n" + "move " +
       std::to_string(t2.left + move_item.left + 6) + " " + std::to_string(move_item.top + 5) + "\n" + "click " +
       std::to_string(sx) + " " + std::to_string(sy) + "\n");
  Run();
  std::vector<WPARAM> popups;
  for (const Rec& r : g_log)
    if (r.msg == WM_INITMENUPOPUP) popups.push_back(r.w);
  EXPECT_EQ(popups, (std::vector<WPARAM>{reinterpret_cast<WPARAM>(file_), reinterpret_cast<WPARAM>(arrange_),
                                         reinterpret_cast<WPARAM>(move_)}));
  EXPECT_EQ(Commands(), std::vector<uint16>{101});
}

TEST_F(HostMenuWindow, KeyboardNavigationChoosesAndCancels) {
  struct Case {
    const char* keys;
    std::vector<uint16> want;
  };
  const Case cases[] = {
      // F10 alone highlights File; Down opens it on "New"; Down moves to "Open".
      {"key F10\nkey Down\nkey Down\nkey Enter\n", {302}},
      // Up wraps to the last item; Down skips the separator.
      {"key Alt+F\nkey Up\nkey Enter\n", {305}},
      // Down skips the separator to grayed "Save", which Enter cannot choose.
      {"key Alt+F\nkey Down\nkey Down\nkey Enter\nkey Escape\nkey Escape\n", {}},
      // A mnemonic chooses at once; mnemonics of titles open them.
      {"key Alt+F\nkey A\n", {305}},
      {"key Alt+A\nkey F\n", {901}},
      // Right moves to the next title; in Arrange, Right on "Move" opens it.
      {"key Alt+F\nkey Right\nkey Enter\n", {401}},
      {"key Alt+A\nkey Down\nkey Right\nkey Down\nkey Enter\n", {102}},
      // Left closes the submenu, then moves to the previous title.
      {"key Alt+A\nkey Down\nkey Right\nkey Left\nkey Left\nkey Enter\n", {401}},
      // Escape closes one level at a time; F10 or Alt ends the menu.
      {"key Alt+F\nkey Escape\nkey Escape\n", {}},
      {"key Alt+F\nkey F10\n", {}},
      {"key Alt+F\nkey Alt+E\n", {}},
      // A grayed item cannot be chosen by its mnemonic or by Enter.
      {"key Alt+F\nkey S\nkey Escape\nkey Escape\n", {}},
  };
  for (const Case& c : cases) {
    g_log.clear();
    Load(std::string(c.keys) + "menu 999\n");
    Run();
    std::vector<uint16> want = c.want;
    want.push_back(999);
    EXPECT_EQ(Commands(), want) << c.keys;
    EXPECT_FALSE(Host_Menu_Tracking());
  }
}

TEST_F(HostMenuWindow, AcceleratorsSendCommandsOfEnabledAndGreyedItems) {
  const ACCEL table[] = {{FVIRTKEY | FCONTROL, 'N', 301},
                         {FVIRTKEY | FCONTROL, 'S', 304},
                         {FVIRTKEY | FCONTROL, 'L', 101},
                         {FVIRTKEY | FALT, '1', 1005}};
  HACCEL accel = CreateAcceleratorTable(table, 4);
  ASSERT_NE(accel, nullptr);
  // Ctrl+N: enabled. Ctrl+S: grayed, sent for the owner to refuse. Ctrl+L:
  // in a submenu. Alt+1: no item carries 1005, so it is sent without the
  // menu's messages. Ctrl+Shift+N matches nothing (modifiers must match
  // exactly).
  Load("key Ctrl+N\nkey Ctrl+S\nkey Ctrl+L\nkey Alt+1\nkey Ctrl+Shift+N\n");
  Run(accel);
  EXPECT_EQ(Commands(), (std::vector<uint16>{301, 304, 101, 1005}));
  std::vector<std::pair<UINT, WPARAM>> seen;
  for (const Rec& r : g_log) seen.push_back({r.msg, r.w});
  const auto P = [](HMENU m) { return reinterpret_cast<WPARAM>(m); };
  const std::vector<std::pair<UINT, WPARAM>> want = {
      {WM_INITMENU, P(bar_)},     {WM_INITMENUPOPUP, P(file_)}, {WM_COMMAND, MAKEWPARAM(301, 1)},
      {WM_INITMENU, P(bar_)},     {WM_INITMENUPOPUP, P(file_)}, {WM_COMMAND, MAKEWPARAM(304, 1)},
      {WM_INITMENU, P(bar_)},     {WM_INITMENUPOPUP, P(arrange_)}, {WM_INITMENUPOPUP, P(move_)},
      {WM_COMMAND, MAKEWPARAM(101, 1)},
      {WM_COMMAND, MAKEWPARAM(1005, 1)}};
  EXPECT_EQ(seen, want);
  // Under a disabled title too: the menus are brought up to date first.
  g_log.clear();
  EnableMenuItem(bar_, 0, MF_BYPOSITION | MF_GRAYED);
  Load("key Ctrl+N\n");
  Run(accel);
  EXPECT_EQ(Commands(), (std::vector<uint16>{301}));
  DestroyAcceleratorTable(accel);
}

TEST_F(HostMenuWindow, TheMenuEndsWhenTheProgramQuits) {
  // The script ends with the menu up: the quit request ends the menu and
  // then the loop.
  Load(Click_Title(1));
  Run();
  EXPECT_FALSE(Host_Menu_Tracking());
  EXPECT_TRUE(Commands().empty());
}

TEST_F(HostMenuWindow, APopupDestroyedWhileItIsOpenIsNeitherReadNorChosenFrom) {
  // The owner destroys the File pop-up once it is up; pointing at and
  // clicking its items afterwards chooses nothing, and a click outside ends
  // the menu as usual.
  g_destroy_when_shown = file_;
  Load(Click_Title(0) + Click_Item(0, file_, 1) + Click_Item(0, file_, 0) + "click 500 300\nmenu 999\n");
  Run();
  EXPECT_FALSE(IsMenu(file_));
  EXPECT_EQ(GetMenuItemCount(bar_), 2);  // the title went with its pop-up
  EXPECT_EQ(Commands(), std::vector<uint16>{999});
  EXPECT_FALSE(Host_Menu_Tracking());
}

}  // namespace
