// Scripted sessions of the main window on the headless backend: the main
// loop, its translation of keys and commands, the hover notice of idle
// periods and the main window's size limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "platform/VoskDef.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFile.h"
#include "doc/VoskTmpl.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "objects/VoskLayer.h"
#include "platform/Controls.h"
#include "platform/Quickdraw.h"
#include "platform/SysCurs.h"
#include "platform/SysInfo.h"
#include "platform/SysKey.h"
#include "platform/SysLoop.h"
#include "platform/SysTrack.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "app/Velmor4.h"
#include "platform/Windowv.h"
#include "ui/VoskCurs.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskMenu.h"
#include "ui/VoskStat.h"

namespace {

struct MenuCall {
  int16 category, item;
  bool8 shift, option;
};

std::vector<a_keystroke> g_keys;
std::vector<MenuCall> g_menus;
int g_navs = 0;

void Record_Key(const a_keystroke& k) { g_keys.push_back(k); }
void Record_Menu(int16 c, int16 i, bool8 s, bool8 o) { g_menus.push_back(MenuCall{c, i, s, o}); }
void Record_Nav() { ++g_navs; }

class MainSession : public ::testing::Test {
 protected:
  void SetUp() override {
    // The main window draws the program's name; with a pinned font set the
    // text looks the same on every machine.
    Pin_DejaVu();
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Host_Clock_Set_Manual(true);
    VoskDef_Init();
    VoskFile_Init();  // the quit command
    SysWin_Init();
    Windowv_Init();
    SysLoop_Init();
    SysKey_Init();
    SysTrack_Init();
    SysCurs_Init();
    Init_Info();
    Quickdraw_Init();
    SysVideo_Init();
    Register_Classes();
    gs.controller = GHOST;  // a script drives: alerts that are not fatal stay silent
    gs.pref.tot_window = Rect{60, 100, 700, 1000};
    Static_Init();
    ASSERT_NE(gs.outer_window, nullptr);
    main_hwnd = gs.outer_window;
    Host_Set_Main_Window(main_hwnd);
    App_Activate();
    Cursor_Init();
    Intf_Init();
    // State variables an earlier test marked and never settled would lay the
    // window out afresh at the first interaction.
    SV_Init();
    g_keys.clear();
    g_menus.clear();
    g_navs = 0;
    g_intf_key_observer = Record_Key;
    g_intf_menu_observer = Record_Menu;
    g_intf_nav_observer = Record_Nav;
    Set_Command_Line({});
  }
  void TearDown() override {
    g_intf_key_observer = nullptr;
    g_intf_menu_observer = nullptr;
    g_intf_nav_observer = nullptr;
    g_doc.doc_open = false;
    Cursor_Stop();
    Static_Stop();
    main_hwnd = nullptr;
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Stop();
    Host_Clock_Set_Manual(false);
  }
  // Runs the program's main loop over a script until it quits.
  void Run(const std::string& script) {
    std::string errors;
    ASSERT_TRUE(Host_Script_Load_Text(script, "session", errors)) << errors;
    Main_Loop();
  }
};

struct KeyCase {
  const char* line;
  uint8 virtcode, charcode;
  UniChar unicode;
  a_keymod_set mods;
};

// The interface starts with every slider at its default, before any
// document sets the per-document ones.
TEST_F(MainSession, SlidersStartAtTheirDefaults) {
  for (int16& v : gs.slider_vals) v = -12345;
  Intf_Init();
  for (int16 sl = 0; sl < NSLIDERS; ++sl) EXPECT_EQ(gs.slider_vals[sl], SLIDER_VALUES[sl].defaultval) << "slider " << sl;
}

TEST_F(MainSession, KeysBecomeKeystrokesByTheTranslationTable) {
  const a_keymod_set shift = Keymod_Bit(SHIFTKEY), ctrl = Keymod_Bit(OPTIONKEY);
  const KeyCase cases[] = {
      {"type a", 0, 'a', u'a', 0},
      {"type A", 0, 'A', u'A', Keymod_Bit(SHIFTKEY)},  // typed with Shift
      {"key Shift+a", 0, 'A', u'A', shift},
      {"key Escape", 27, 27, 27, 0},
      {"key Tab", 9, 9, 9, 0},
      {"key Backspace", 8, 8, 8, 0},
      {"key Enter", 13, 0, 126, 0},
      {"key KeypadEnter", VIRT_KEYPAD_ENTER, 0, 126, 0},
      {"key Left", 0x25, 0, 126, 0},
      {"key Shift+Down", 0x28, 0, 126, shift},
      {"key Ctrl+Home", 0x24, 0, 126, ctrl},
      {"key PageDown", 0x22, 0, 126, 0},
      {"key F1", 0x70, 0, 126, 0},
      {"key F10", 0x79, 0, 126, 0},
      {"key Delete", 0x2E, 127, 126, 0},
      {"key Ctrl+k", 0, 11, 11, ctrl},
      {"type \xC3\xA9", 0, 126, 0xE9, 0},  // above 127: charcode "~", the unit in unicode
      {"type \xE2\x82\xAC", 0, 126, 0x20AC, 0},
  };
  std::string script;
  for (const KeyCase& c : cases) script += std::string(c.line) + "\n";
  // Keys that carry nothing for the application (Insert, Shift alone) give nothing.
  script += "key Insert\nquit\n";
  Run(script);
  ASSERT_EQ(g_keys.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const KeyCase& c = cases[i];
    SCOPED_TRACE(c.line);
    EXPECT_EQ(g_keys[i].virtcode, c.virtcode);
    EXPECT_EQ(g_keys[i].charcode, c.charcode);
    EXPECT_EQ(g_keys[i].unicode, c.unicode);
    EXPECT_EQ(g_keys[i].mods, c.mods);
  }
}

// A greyed item's accelerator reaches the dispatch too, which refuses it
// (Save with no document: sound 136, nothing saved).
TEST_F(MainSession, AcceleratorsOfTheMenuBarBecomeCommands) {
  Menus_Update();
  Run("key Ctrl+o\nkey Ctrl+s\nquit\n");
  EXPECT_TRUE(g_keys.empty());  // taken by the bar's accelerators, not keystrokes
  ASSERT_EQ(g_menus.size(), 2u);
  EXPECT_EQ(g_menus[0].category, 300);  // Open Project: menu 300, item 2
  EXPECT_EQ(g_menus[0].item, 2);
  EXPECT_EQ(g_menus[1].category, 300);  // Save: menu 300, item 4
  EXPECT_EQ(g_menus[1].item, 4);
}

TEST_F(MainSession, CommandsSplitIntoCategoryAndItem) {
  Run("menu 345\nmenu 320\nmenu 1019\nmenu 32000\nmenu 32001\nquit\n");
  ASSERT_EQ(g_menus.size(), 3u);
  EXPECT_EQ(g_menus[0].category, 340);
  EXPECT_EQ(g_menus[0].item, 5);
  EXPECT_EQ(g_menus[1].category, 320);
  EXPECT_EQ(g_menus[1].item, 0);
  EXPECT_EQ(g_menus[2].category, 1000);
  EXPECT_EQ(g_menus[2].item, 19);
  // 32000 and 32001 are Return and backspace keys, with no modifiers.
  ASSERT_EQ(g_keys.size(), 2u);
  EXPECT_EQ(g_keys[0].virtcode, 13);
  EXPECT_EQ(g_keys[0].charcode, 0);
  EXPECT_EQ(g_keys[0].unicode, 126);
  EXPECT_EQ(g_keys[1].virtcode, 8);
  EXPECT_EQ(g_keys[1].charcode, 8);
  EXPECT_EQ(g_keys[1].unicode, 126);
}

TEST_F(MainSession, QuitCommandEndsTheLoopWithNoDocumentOpen) {
  // No `quit` line: the quit command alone must end the loop (a script
  // that ran out would also end it, so the command comes before a wait
  // that would show whether the loop went on).
  Run("menu 32011\nmenu 345\n");
  EXPECT_TRUE(g_menus.empty()) << "the loop went on after the quit command";
}

TEST_F(MainSession, AltEqualsZoomsInOnlyForAPerson) {
  Run("key Alt+=\nquit\n");
  EXPECT_TRUE(g_menus.empty());
  g_menus.clear();
  gs.controller = HUMAN;
  Run("key Alt+=\nquit\n");
  ASSERT_EQ(g_menus.size(), 1u);
  EXPECT_EQ(g_menus[0].category, 1000);
  EXPECT_EQ(g_menus[0].item, 1);
}

// "Hide Everything" (Ctrl+E, command 508) needs a document: with none the
// panels stay, and Escape is a key nobody uses. (Over a document, the
// scripted session of the state variables hides and shows them.)
TEST_F(MainSession, HideEverythingNeedsADocument) {
  ASSERT_TRUE(gs.tool_show);
  Run("key Ctrl+e\nmenu 508\nkey Escape\nquit\n");
  EXPECT_TRUE(gs.tool_show);
  // Both the key and the menu reached the dispatch as command 508.
  ASSERT_EQ(g_menus.size(), 2u);
  for (const auto& m : g_menus) {
    EXPECT_EQ(m.category, 500);
    EXPECT_EQ(m.item, 8);
  }
}

TEST_F(MainSession, OneHoverNoticePerIdlePeriod) {
  g_doc.doc_open = true;  // the hover notice is idle work over a document
  // The mouse rests 70 ticks: one notice, however long it rests.
  Run("move 200 200\nwait 70\nwait 100\nquit\n");
  EXPECT_EQ(g_navs, 1);
  // Resting less than 60 ticks between moves gives none.
  g_navs = 0;
  Run("type x\nmove 10 10\nwait 40\nmove 11 10\nwait 40\nmove 12 10\nwait 40\nquit\n");
  EXPECT_EQ(g_navs, 0);
  // A key starts a new idle period, with a notice of its own.
  g_navs = 0;
  Run("move 300 300\nwait 70\nkey Left\nwait 70\nquit\n");
  EXPECT_EQ(g_navs, 2);
}

TEST_F(MainSession, HoverNoticeComesAfterMoreThanSixtyTicks) {
  g_doc.doc_open = true;
  Run("move 50 50\nwait 58\nquit\n");
  EXPECT_EQ(g_navs, 0);
  g_navs = 0;
  Run("type x\nmove 60 50\nwait 64\nquit\n");
  EXPECT_EQ(g_navs, 1);
}

struct ScrollCall {
  int owner;
  int16 part;
  HWND ctrl;
  int32 value;  // the scroll bar's value when the action ran
};
std::vector<ScrollCall> g_scrolls;
template <int Owner, bool Thumb>
void Record_Scroll(int16 part, HWND ctrl) {
  g_scrolls.push_back(ScrollCall{Owner * 2 + (Thumb ? 1 : 0), part, ctrl, GetControlValue(ctrl)});
}

// Scroll codes from the scroll bar of a list reach that list's actions: the
// line and page codes its non-thumb action, a thumb track its thumb action
// with the scroll bar already at the thumb's position.
TEST_F(MainSession, ScrollBarsReachTheActionsOfTheirLists) {
  HWND* bars[NSCROLL_OWNERS] = {&gs.lscroll_ctrl, &gs.uscroll_ctrl, &gs.paper_kind_desc.scrollbar,
                                &gs.paper_list_desc.scrollbar};
  const a_scroll_action actions[NSCROLL_OWNERS][2] = {{Record_Scroll<0, false>, Record_Scroll<0, true>},
                                                      {Record_Scroll<1, false>, Record_Scroll<1, true>},
                                                      {Record_Scroll<2, false>, Record_Scroll<2, true>},
                                                      {Record_Scroll<3, false>, Record_Scroll<3, true>}};
  for (int o = 0; o < NSCROLL_OWNERS; ++o) {
    *bars[o] = NewControl(main_hwnd, Rect{int16(10), int16(10 + 30 * o), int16(210), int16(30 + 30 * o)}, "",
                          true, 0, 0, 100, 0, 0);
    ASSERT_NE(*bars[o], nullptr);
    SetControlMinMax(*bars[o], 0, 100, 10);
    Set_Scroll_Actions(a_scroll_owner(o), actions[o][0], actions[o][1]);
  }
  HWND stranger = NewControl(main_hwnd, Rect{300, 10, 500, 30}, "", true, 0, 0, 100, 0, 0);
  SetControlMinMax(stranger, 0, 100, 10);

  for (int o = 0; o < NSCROLL_OWNERS; ++o) {
    SCOPED_TRACE(o);
    HWND bar = *bars[o];
    g_scrolls.clear();
    for (int32 code : {SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN})
      SendMessage(main_hwnd, WM_VSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(bar));
    SendMessage(main_hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 37), reinterpret_cast<LPARAM>(bar));
    // Codes no list acts on.
    for (int32 code : {SB_THUMBPOSITION, 6, 7, SB_ENDSCROLL})
      SendMessage(main_hwnd, WM_VSCROLL, MAKEWPARAM(code, 80), reinterpret_cast<LPARAM>(bar));
    ASSERT_EQ(g_scrolls.size(), 5u);
    for (int16 k = 0; k < 4; ++k) {
      EXPECT_EQ(g_scrolls[size_t(k)].owner, o * 2);
      EXPECT_EQ(g_scrolls[size_t(k)].part, k);
      EXPECT_EQ(g_scrolls[size_t(k)].ctrl, bar);
    }
    EXPECT_EQ(g_scrolls[4].owner, o * 2 + 1);
    EXPECT_EQ(g_scrolls[4].part, SB_THUMBTRACK);
    EXPECT_EQ(g_scrolls[4].value, 37);
    EXPECT_EQ(GetControlValue(bar), 37);
  }
  // A scroll bar no list owns, and none at all.
  g_scrolls.clear();
  SendMessage(main_hwnd, WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), reinterpret_cast<LPARAM>(stranger));
  SendMessage(main_hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 12), reinterpret_cast<LPARAM>(stranger));
  SendMessage(main_hwnd, WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  EXPECT_TRUE(g_scrolls.empty());
  EXPECT_EQ(GetControlValue(stranger), 12) << "the thumb moves whoever owns the bar";

  // A list without actions ignores its scroll bar.
  Set_Scroll_Actions(SCROLL_UNIT_LIST, nullptr, nullptr);
  SendMessage(main_hwnd, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), reinterpret_cast<LPARAM>(gs.uscroll_ctrl));
  EXPECT_TRUE(g_scrolls.empty());

  // The lists' own actions (registered at their start-up) take every code.
  VoskLayer_Init();
  VoskDoc_Init();
  VoskTmpl_Init();
  Intf_Init();
  for (int o = 0; o < NSCROLL_OWNERS; ++o)
    for (int32 code : {SB_LINEUP, SB_PAGEDOWN, SB_THUMBTRACK})
      SendMessage(main_hwnd, WM_VSCROLL, MAKEWPARAM(code, 5), reinterpret_cast<LPARAM>(*bars[o]));
  EXPECT_TRUE(g_scrolls.empty());
  for (HWND* b : bars) DisposeControl(*b);
  DisposeControl(stranger);
}

TEST_F(MainSession, MainWindowSizeLimits) {
  MINMAXINFO mm{};
  SendMessage(main_hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
  EXPECT_EQ(mm.ptMinTrackSize.x, 808);
  EXPECT_EQ(mm.ptMinTrackSize.y, 620);
  EXPECT_EQ(mm.ptMaxTrackSize.x, 2000);
  EXPECT_EQ(mm.ptMaxTrackSize.y, 2000);
  EXPECT_EQ(mm.ptMaxSize.x, 2000);
  EXPECT_EQ(mm.ptMaxSize.y, 2000);
  // Maximised on a 1280 x 1024 screen it fills the screen, and the new
  // rectangle is remembered for the preferences.
  SendMessage(main_hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ShowWindow(main_hwnd, SW_MAXIMIZE);
  RECT r{};
  GetWindowRect(main_hwnd, &r);
  EXPECT_EQ(r.right - r.left, 1280);
  EXPECT_EQ(r.bottom - r.top, 1024);
  EXPECT_EQ(gs.pref.tot_window.right - gs.pref.tot_window.left, 1280);
  EXPECT_EQ(gs.pref.tot_window.bottom - gs.pref.tot_window.top, 1024);
}

TEST_F(MainSession, MainWindowPaintsThroughItsOwnDrawingState) {
  // The class keeps a context per window, and the window got its drawing
  // state when it was made.
  WNDCLASS wc{};
  ASSERT_TRUE(GetClassInfo(nullptr, "NORM", &wc));
  EXPECT_EQ(wc.style, 0x23u);
  EXPECT_NE(wc.style & CS_OWNDC, 0u);
  EXPECT_EQ(wc.style & CS_DBLCLKS, 0u);  // a quick second click stays a click
  a_shadow_rec* shadow = Get_Window_Shadow(main_hwnd);
  ASSERT_NE(shadow, nullptr);
  EXPECT_TRUE(shadow->hdc_private);
  EXPECT_EQ(shadow->hdc, GetDC(main_hwnd));
  // A paint leaves the port as it found it, and draws the window.
  Run("wait 2\nquit\n");
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  ASSERT_TRUE(Host_Window_Compose(main_hwnd, px, w, h));
  ASSERT_EQ(w, 900);
  ASSERT_EQ(h, 620);  // 640 less the menu bar
  const uint32 bar = px[size_t(10) * size_t(w) + 500] & 0xFFFFFF;
  const uint32 work = px[size_t(400) * size_t(w) + 500] & 0xFFFFFF;
  EXPECT_NE(bar, work);
  EXPECT_EQ(work, 0xE2E8F0u);  // the work area's colour, BGRA read as 0xRRGGBB
  EXPECT_EQ(qd.thePort, nullptr);
  EXPECT_EQ(Update_Depth(), 0);
}

TEST_F(MainSession, EndOfSessionQuitsWhenNoDocumentIsOpen) {
  EXPECT_EQ(SendMessage(main_hwnd, WM_QUERYENDSESSION, 0, 0), 1);
  EXPECT_TRUE(g_doneflag);
}

}  // namespace
