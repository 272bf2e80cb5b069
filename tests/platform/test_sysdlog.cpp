// Modal dialogs and modal windows on the headless backend: procedures,
// scripted answers, nesting and stack limits, item accessors, user-drawn
// items, scroll-bar controls, the edit-field table and the alert dialogs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "SoundTestSupport.h"
#include "TestSupport.h"
#include "WinTestSupport.h"
#include "platform/VoskDef.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostControls.h"
#include "host/HostDialog.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/Quickdraw.h"
#include "platform/ResTestUtil.h"
#include "platform/Resources.h"
#include "platform/SysColorPick.h"
#include "platform/SysDlog.h"
#include "platform/SysPrint.h"
#include "platform/SysEdit.h"
#include "platform/SysErr.h"
#include "platform/SysFont.h"
#include "platform/SysInfo.h"
#include "platform/SysLoop.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "app/Velmor4.h"
#include "platform/VoskErr.h"
#include "platform/Windowv.h"

using restest::Archive;
using restest::TempFile;

namespace {

// --- A test template: every kind of item -----------------------------------------

constexpr int16 kTestDlog = 3000;
enum : int16 { IT_OK = 1, IT_CANCEL = 2, IT_EDIT = 3, IT_CHECK = 4, IT_POPUP = 5, IT_USER = 6,
               IT_TEXT = 7 };

void Put16(std::vector<uint8>& d, int32 v) { restest::Put16(d, uint32(uint16(v))); }
void PutStr(std::vector<uint8>& d, const std::string& s) {
  d.insert(d.end(), s.begin(), s.end());
  d.push_back(0);
}
void Item(std::vector<uint8>& d, uint32 style, int16 id, int16 x, int16 y, int16 cx, int16 cy,
          uint8 cls, const std::string& name, const std::string& text) {
  restest::Put32(d, style | WS_CHILD | WS_VISIBLE);
  Put16(d, id);
  for (int16 v : {x, y, cx, cy}) Put16(d, v);
  d.push_back(cls);
  if (cls == 0) PutStr(d, name);
  PutStr(d, text);
}
std::vector<uint8> Test_Template() {
  std::vector<uint8> d{'D', 'L', 'G', '1'};
  restest::Put32(d, 0);
  for (int16 v : {0, 0, 320, 200}) Put16(d, v);
  Put16(d, 7);
  PutStr(d, "");
  Item(d, WS_TABSTOP | BS_DEFPUSHBUTTON, IT_OK, 220, 160, 80, 26, 1, "", "OK");
  Item(d, WS_TABSTOP, IT_CANCEL, 130, 160, 80, 26, 1, "", "Cancel");
  Item(d, WS_TABSTOP | ES_AUTOHSCROLL, IT_EDIT, 10, 10, 120, 22, 2, "", "");
  Item(d, WS_TABSTOP | BS_AUTOCHECKBOX, IT_CHECK, 10, 40, 120, 20, 1, "", "Check");
  Item(d, WS_TABSTOP | CBS_DROPDOWNLIST, IT_POPUP, 10, 70, 120, 150, 6, "", "");
  Item(d, 0, IT_USER, 160, 10, 40, 30, 0, "USER", "");
  Item(d, 0, IT_TEXT, 10, 110, 200, 20, 3, "", "text");
  return d;
}

// --- Recording procedures -------------------------------------------------------------

struct Log {
  int inits = 0;
  std::vector<int16> cmds;
  HWND dialog = nullptr;
  bool main_enabled_inside = true;
  bool modal_active_inside = false;
  int16 exit_with = -1;  // Modal_Exit code on the first command (-1: none)
};
Log g_log;

void Rec_Init(HWND d) {
  ++g_log.inits;
  g_log.dialog = d;
  g_log.modal_active_inside = Is_Modal_Active();
}
void Rec_Cmd(HWND d, int16 item) {
  g_log.cmds.push_back(item);
  g_log.main_enabled_inside = IsWindowEnabled(gs.outer_window);
  if (g_log.exit_with >= 0) Modal_Exit(d, g_log.exit_with);
}
void Exit_With_Item(HWND d, int16 item) {
  g_log.cmds.push_back(item);
  Modal_Exit(d, item);
}

int g_quits = 0;
void Count_Quit() { ++g_quits; }

class SysDlogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Text is drawn in the pinned fonts, whatever the machine has.
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    wintest::Start_Dialog_Layer();
    ultimate_hwnd = nullptr;
    SetActiveWindow(gs.outer_window);
    g_log = Log{};
    g_quits = 0;
    archive_ = std::make_unique<TempFile>(Archive({{kDlogResType, kTestDlog, Test_Template()}}));
    slot_ = HOpenResFile(0, 0, archive_->path.c_str(), 0);
    ASSERT_GT(slot_, 0);
  }
  void TearDown() override {
    if (slot_ > 0) CloseResFile(slot_);
    Resources_Init();
    wintest::Clear_Port_State();
    modal_n = mwin_n = n_winstack = 0;
    gs.outer_window = nullptr;
    Host_Script_Reset();
    wintest::Stop_Headless_Host();
  }
  void Answer(int n) { Host_Script_Push_Answer(HOST_ANSWER_ALERT, std::to_string(n)); }
  std::unique_ptr<TempFile> archive_;
  int16 slot_ = -1;
};

// --- Modal dialogs -------------------------------------------------------------------------

TEST_F(SysDlogTest, DialogRunsItsProceduresAndReturnsTheExitCode) {
  Answer(IT_OK);
  g_log.exit_with = 42;
  EXPECT_EQ(Modal_Dialog(kTestDlog, 0, 1, Rec_Init, Rec_Cmd, nullptr), 42);
  EXPECT_EQ(g_log.inits, 1);
  ASSERT_EQ(g_log.cmds.size(), 1u);
  EXPECT_EQ(g_log.cmds[0], IT_OK);
  // The window that was active is disabled while the dialog runs and
  // active again afterwards; the dialog is gone.
  EXPECT_FALSE(g_log.main_enabled_inside);
  EXPECT_TRUE(g_log.modal_active_inside);
  EXPECT_TRUE(IsWindowEnabled(gs.outer_window));
  EXPECT_EQ(GetActiveWindow(), gs.outer_window);
  EXPECT_FALSE(IsWindow(g_log.dialog));
  EXPECT_FALSE(Is_Modal_Active());
  EXPECT_EQ(modal_n, 0);
  EXPECT_EQ(n_winstack, 0);
}

TEST_F(SysDlogTest, UnansweredHeadlessDialogIsCancelledAndResultStaysZeroWithoutModalExit) {
  // Nobody calls Modal_Exit: the command procedure sees the cancel item and
  // the result is 0.
  EXPECT_EQ(Modal_Dialog(kTestDlog, 0, 1, Rec_Init, Rec_Cmd, nullptr), 0);
  ASSERT_FALSE(g_log.cmds.empty());
  EXPECT_EQ(g_log.cmds[0], IT_CANCEL);
  EXPECT_EQ(modal_n, 0);
}

std::vector<std::pair<OSType, int16>> g_item_reports;
void Record_Item_Res(OSType kind, int16 id) { g_item_reports.emplace_back(kind, id); }

TEST_F(SysDlogTest, MissingTemplateIsFatalAtStartUpAndRefusedOnceRunning) {
  // While the program starts: the fatal report.
  try {
    Modal_Dialog(9999, 0, 1, Rec_Init, Rec_Cmd, nullptr);
    ADD_FAILURE() << "no missing-resource report";
  } catch (const ResErrCalled& e) {
    EXPECT_EQ(e.kind, FourCC("DLOG"));
    EXPECT_EQ(e.id, 9999);
  }
  EXPECT_EQ(modal_n, 0);
  EXPECT_EQ(n_winstack, 0);
  // Once it runs: reported without halting, refused, and nothing is left
  // pushed or disabled.
  g_item_reports.clear();
  g_item_res_proc = Record_Item_Res;
  SysErr_Set_Running(true);
  EXPECT_EQ(Modal_Dialog(9999, 0, 1, Rec_Init, Rec_Cmd, nullptr), kModalRefused);
  SysErr_Set_Running(false);
  ASSERT_EQ(g_item_reports.size(), 1u);
  EXPECT_EQ(g_item_reports[0], std::make_pair(FourCC("DLOG"), int16(9999)));
  EXPECT_EQ(modal_n, 0);
  EXPECT_EQ(n_winstack, 0);
  EXPECT_EQ(g_log.inits, 0);
  EXPECT_TRUE(IsWindowEnabled(gs.outer_window));
  EXPECT_EQ(GetActiveWindow(), gs.outer_window);
}

// Each command opens one more dialog until `depth` run at once.
int g_max_depth = 0;
int g_deepest = 0;
int16 g_fifth_result = -1;
std::vector<int16> g_fifth_sounds;
void Nest_Init(HWND) {
  g_deepest = std::max<int>(g_deepest, modal_n);
  if (modal_n == g_max_depth) {
    // One more than the stack holds: refused with the sound of a press
    // nothing used, nothing pushed, and no internal error.
    QUIT = Count_Quit;
    soundtest::SoundRecorder sounds;
    g_fifth_result = Modal_Dialog(kTestDlog, 0, 1, nullptr, nullptr, nullptr);
    g_fifth_sounds = sounds.Ids();
    Install_Test_Hooks();
  }
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
}
void Nest_Cmd(HWND d, int16 item) {
  if (item == IT_OK && modal_n < g_max_depth) {
    Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
    Modal_Dialog(kTestDlog, 0, 1, Nest_Init, Nest_Cmd, nullptr);
  }
  Modal_Exit(d, modal_n);
}

TEST_F(SysDlogTest, DialogsNestFourDeepAndAFifthIsRefused) {
  g_max_depth = kMaxModalDialogs;
  g_deepest = 0;
  g_fifth_result = -1;
  Answer(IT_OK);
  EXPECT_EQ(Modal_Dialog(kTestDlog, 0, 1, Nest_Init, Nest_Cmd, nullptr), 1);
  EXPECT_EQ(g_deepest, 4);
  EXPECT_EQ(g_quits, 0);
  EXPECT_EQ(g_fifth_result, kModalRefused);
  EXPECT_EQ(g_fifth_sounds, std::vector<int16>{SND_NULL});
  EXPECT_EQ(modal_n, 0);
  EXPECT_EQ(n_winstack, 0);
  EXPECT_TRUE(IsWindowEnabled(gs.outer_window));
}

TEST_F(SysDlogTest, PopWindowWithNothingPushedIsAnInternalError) {
  EXPECT_THROW(SysDlog::Pop_Window(), QuitCalled);
  for (int k = 0; k < kMaxWinStack; ++k) SysDlog::Push_Window();
  EXPECT_THROW(SysDlog::Push_Window(), QuitCalled);
  EXPECT_EQ(n_winstack, kMaxWinStack);
  for (int k = 0; k < kMaxWinStack; ++k) SysDlog::Pop_Window();
  EXPECT_EQ(n_winstack, 0);
}

// Keys reach the filter; mouse presses on user items too.
std::vector<int16> g_filter_keys;
bool8 Key_Filter(HWND, EventRecord& e, int16& item) {
  if (e.what == keyDown) {
    g_filter_keys.push_back(Event_KeyCode(e));
    if (Event_CharCode(e) == 'Q' && (e.modifiers & cmdKey) != 0) {
      item = 77;
      return true;
    }
  }
  if (e.what == mouseDown) {
    item = 88;
    return true;
  }
  return false;
}

TEST_F(SysDlogTest, FilterAnswersKeysOfTheFocusedItemWithCtrlAsCommand) {
  g_filter_keys.clear();
  std::string err;
  ASSERT_TRUE(Host_Script_Load_Text("key Q\nkey Ctrl+Q\n", "t", err)) << err;
  g_log.exit_with = 5;
  EXPECT_EQ(Modal_Dialog(kTestDlog, 0, 1, Rec_Init, Rec_Cmd, Key_Filter), 5);
  ASSERT_FALSE(g_log.cmds.empty());
  EXPECT_EQ(g_log.cmds[0], 77);  // plain Q was offered but not answered
  EXPECT_GE(std::count(g_filter_keys.begin(), g_filter_keys.end(), int16('Q')), 2);
}

void Click_User_Init(HWND d) {
  HWND u = GetDlgItem(d, IT_USER);
  SendMessage(u, WM_LBUTTONDOWN, MK_LBUTTON, 0);
}

TEST_F(SysDlogTest, ClickOnUserItemIsItsIdOrTheFiltersAnswer) {
  EXPECT_EQ(Modal_Dialog(kTestDlog, 0, 1, Click_User_Init, Exit_With_Item, nullptr), IT_USER);
  EXPECT_EQ(Modal_Dialog(kTestDlog, 0, 1, Click_User_Init, Exit_With_Item, Key_Filter), 88);
}

// Typing into an edit field is heard by the command procedure, as the
// field's notifications; a press still ends the dialog.
std::vector<std::pair<int16, uint16>> g_cmds_seen;
void Focus_Edit_Init(HWND d) { SetFocus(GetDlgItem(d, IT_EDIT)); }
void Notify_Cmd(HWND d, int16 item) {
  g_cmds_seen.emplace_back(item, Modal_Cmd_Notification());
  if (Modal_Cmd_Notification() == BN_CLICKED) Modal_Exit(d, item);
}

TEST_F(SysDlogTest, EditFieldNotificationsReachTheCommandProcedure) {
  g_cmds_seen.clear();
  std::string err;
  ASSERT_TRUE(Host_Script_Load_Text("type 42\nanswer alert 1\n", "t", err)) << err;
  EXPECT_EQ(Modal_Dialog(kTestDlog, 0, 1, Focus_Edit_Init, Notify_Cmd, nullptr), IT_OK);
  int changes = 0;
  for (const auto& [item, code] : g_cmds_seen) changes += item == IT_EDIT && code == EN_CHANGE;
  EXPECT_EQ(changes, 2) << "one change per typed character";
  EXPECT_EQ(std::count(g_cmds_seen.begin(), g_cmds_seen.end(), std::make_pair(int16(IT_OK), uint16(BN_CLICKED))), 1);
}

// --- Item accessors ---------------------------------------------------------------------

struct Seen {
  std::string str, cut;
  std::u16string utext;
  bool int_ok[5];
  int32 int_val[5];
  bool check_before, check_after;
  int16 popup_none, popup_after;
  bool enabled_after;
  Rect bounds;
  int notify_cmds;
  int16 painted_item = 0;
  HWND painted_dialog = nullptr;
  uint32 user_pixel = 0;
};
Seen g_seen;
int g_edit_changes = 0;

void Paint_Red(HWND dialog, int16 item) {
  g_seen.painted_item = item;
  g_seen.painted_dialog = dialog;
  RGBForeColor(RGBColor{0xFFFF, 0, 0});
  Rect r;
  GetDialogItemBounds(dialog, item, r);
  PaintRect(r);
}

void Accessor_Init(HWND d) {
  Seen& s = g_seen;
  SetDialogStr(d, IT_TEXT, "hello dialog");
  Str255 got;
  GetDialogStr(d, IT_TEXT, got);
  s.str = got;
  char small[8];
  GetDialogText(d, IT_TEXT, small);  // HIGH 7: at most 5 characters
  s.cut = small;
  SetDialogUText(d, IT_EDIT, u"\u00e9t\u00e9");
  UniChar u[32];
  GetDialogUText(d, IT_EDIT, u);
  s.utext = u;
  struct { const char* text; int32 lo, hi; } ints[5] = {
      {"-1", 0, 100}, {"-1", -10, 10}, {"42", 0, 41}, {" 7 ", 0, 10}, {"x1", -5, 5}};
  for (int k = 0; k < 5; ++k) {
    SetDialogText(d, IT_EDIT, CStrSpan(ints[k].text, std::strlen(ints[k].text) + 1));
    s.int_ok[k] = GetDialogInt(d, IT_EDIT, ints[k].lo, ints[k].hi, s.int_val[k]);
  }
  s.check_before = GetDialogCheckBox(d, IT_CHECK);
  SetDialogCheckBox(d, IT_CHECK, true);
  s.check_after = GetDialogCheckBox(d, IT_CHECK);
  s.popup_none = GetDialogPopUp(d, IT_POPUP);
  for (const char* e : {"one", "two", "three"}) AppendDialogPopUp(d, IT_POPUP, CStrSpan(e, std::strlen(e) + 1));
  SetDialogPopUp(d, IT_POPUP, 3);
  s.popup_after = GetDialogPopUp(d, IT_POPUP);
  SetDialogCtlActive(d, IT_CHECK, false);
  s.enabled_after = IsWindowEnabled(GetDlgItem(d, IT_CHECK));
  GetDialogItemBounds(d, IT_USER, s.bounds);
  // Setting the edit's text notified the command procedure (EN_CHANGE).
  s.notify_cmds = g_edit_changes;
  a_fontspec f;
  Null_FontSpec(f);
  SetDialogFont(d, IT_TEXT, f);
  SetDialogFont(d, IT_EDIT, f);  // the first font stays in use by its item
  SetDialogUserItem(d, IT_USER, Paint_Red);
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
}

// By the time an item is pressed the dialog is shown and its user item painted.
void Accessor_Cmd(HWND d, int16 item) {
  if (Modal_Cmd_Notification() != BN_CLICKED) {
    if (item == IT_EDIT && Modal_Cmd_Notification() == EN_CHANGE) ++g_edit_changes;
    return;
  }
  HWND uw = GetDlgItem(d, IT_USER);
  UpdateWindow(uw);
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  if (Host_Window_Compose(uw, px, w, h) && w > 5 && h > 5) g_seen.user_pixel = px[size_t(5 * w + 5)];
  Modal_Exit(d, item);
}

TEST_F(SysDlogTest, ItemAccessors) {
  g_seen = Seen{};
  g_edit_changes = 0;
  EXPECT_EQ(Modal_Dialog(kTestDlog, 0, 1, Accessor_Init, Accessor_Cmd, nullptr), IT_OK);
  const Seen& s = g_seen;
  EXPECT_EQ(s.str, "hello dialog");
  EXPECT_EQ(s.cut, "hello");
  EXPECT_EQ(s.utext, u"\u00e9t\u00e9");
  const bool ok[5] = {false, true, false, true, false};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(s.int_ok[k], ok[k]) << k;
  EXPECT_EQ(s.int_val[1], -1);
  EXPECT_EQ(s.int_val[3], 7);
  EXPECT_FALSE(s.check_before);
  EXPECT_TRUE(s.check_after);
  EXPECT_EQ(s.popup_none, 1);
  EXPECT_EQ(s.popup_after, 3);
  EXPECT_FALSE(s.enabled_after);
  EXPECT_EQ(s.bounds.right - s.bounds.left, 40);
  EXPECT_EQ(s.bounds.bottom - s.bounds.top, 30);
  EXPECT_EQ(s.notify_cmds, 6);  // the UTF-16 text and the five numbers
  EXPECT_EQ(s.painted_item, IT_USER);
  EXPECT_NE(s.painted_dialog, nullptr);
  EXPECT_EQ(s.user_pixel & 0xFFFFFFu, 0xFF0000u);  // red, as BGRA read as a number
  EXPECT_EQ(g_entry_font, nullptr) << "fonts of a dialog go with it";
}

TEST_F(SysDlogTest, FreeStandingPopUp) {
  HWND p = Create_PopUp(gs.outer_window, 12, Rect{10, 10, 30, 110});
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(IsWindowVisible(p));
  RECT dropped{0, 0, 0, 0};
  SendMessage(p, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  EXPECT_EQ(dropped.bottom - dropped.top, 150);
  EXPECT_EQ(GetPopUp(p), 1);
  Append_PopUp(p, "a");
  Append_PopUp(p, "b");
  EXPECT_EQ(GetPopUp(p), 1);
  SetPopUp(p, 2);
  EXPECT_EQ(GetPopUp(p), 2);
  Dispose_PopUp(p);
  EXPECT_EQ(p, nullptr);
}

TEST_F(SysDlogTest, DialogsShimsAndKanjiDigits) {
  EventRecord e{};
  e.what = mouseDown;
  int16 item = 1;
  EXPECT_THROW(DialogSelect(e, gs.outer_window, item), QuitCalled);
  EXPECT_THROW(CountDITL(gs.outer_window), QuitCalled);
  EXPECT_THROW(Dialog_Open(1), QuitCalled);
  char s[16] = "a\x82\x4f\x82\x58z\x82\x40";
  Map_Kanji_Numerals(s);
  EXPECT_STREQ(s, "a09z\x82\x40");
}

// --- Modal windows ------------------------------------------------------------------------

struct MwinLog {
  HWND window = nullptr;
  std::vector<std::pair<int16, uint32>> events;  // what, message (keys: code | char << 8)
  int nulls = 0;
  int close_after_nulls = 3;
  bool refuse_escape = false;
  bool parent_enabled_inside = true;
  int stops = 0;
  HWND stopped = nullptr;
};
MwinLog g_mw;

void Mw_Init(HWND w) {
  g_mw.window = w;
  g_mw.parent_enabled_inside = IsWindowEnabled(gs.outer_window);
}
void Mw_Stop(HWND w) {
  ++g_mw.stops;
  g_mw.stopped = w;
}
bool8 Mw_Event(HWND, const EventRecord& e, bool8& okay) {
  if (e.what == nullEvent) {
    okay = true;
    return ++g_mw.nulls >= g_mw.close_after_nulls;
  }
  const uint32 m = e.what == updateEvt ? 1u : uint32(Event_KeyCode(e)) | (uint32(Event_CharCode(e)) << 8);
  g_mw.events.emplace_back(e.what, m);
  if (e.what == keyDown && Event_KeyCode(e) == 0x1B) {
    okay = false;
    return !g_mw.refuse_escape;
  }
  return false;
}

TEST_F(SysDlogTest, ModalWindowRunsNullEventsAndReturnsOkay) {
  g_mw = MwinLog{};
  EXPECT_TRUE(Modal_Window(200, 120, Mw_Init, Mw_Stop, Mw_Event));
  EXPECT_EQ(g_mw.nulls, 3);
  EXPECT_FALSE(g_mw.parent_enabled_inside);
  EXPECT_TRUE(IsWindowEnabled(gs.outer_window));
  EXPECT_EQ(g_mw.stops, 1);
  EXPECT_EQ(g_mw.stopped, g_mw.window);
  EXPECT_FALSE(IsWindow(g_mw.window));
  EXPECT_EQ(mwin_n, 0);
  EXPECT_EQ(Winlist_Ix(g_mw.window), 0);
}

std::vector<uint32> g_null_ticks;
bool8 Mw_Tick_Event(HWND, const EventRecord& e, bool8& okay) {
  if (e.what != nullEvent) return false;
  g_null_ticks.push_back(TickCount());
  okay = true;
  return g_null_ticks.size() >= 12;
}

TEST_F(SysDlogTest, ModalWindowWaitsATickBetweenNullEvents) {
  // On the manual clock time moves only while the program waits: a loop
  // that spun would see every null event at the same tick (and the
  // unattended run would cancel the window before the procedure closed it).
  g_null_ticks.clear();
  EXPECT_TRUE(Modal_Window(100, 80, nullptr, nullptr, Mw_Tick_Event));
  ASSERT_EQ(g_null_ticks.size(), 12u);
  for (size_t k = 1; k < g_null_ticks.size(); ++k)
    EXPECT_EQ(g_null_ticks[k] - g_null_ticks[k - 1], 1u) << "null event " << k;
}

void Mw_Keys_Init(HWND w) {
  Mw_Init(w);
  RECT r{0, 0, 0, 0};
  GetClientRect(w, &r);
  g_mw.events.emplace_back(int16(-1), uint32(r.right) << 16 | uint32(r.bottom));
  PostMessage(w, WM_CHAR, 'a', 0);
  PostMessage(w, WM_KEYDOWN, VK_LEFT, 0);
  PostMessage(w, WM_KEYDOWN, 'A', 0);  // no event: typed keys come as characters
  PostMessage(w, WM_KEYDOWN, VK_F1 + 2, 0);
  PostMessage(w, WM_SYSCOMMAND, SC_CLOSE, 0);
}

TEST_F(SysDlogTest, ModalWindowTurnsMessagesIntoEventsAndCloseBoxIntoEscape) {
  g_mw = MwinLog{};
  g_mw.close_after_nulls = 1000000;
  EXPECT_FALSE(Modal_Window(200, 120, Mw_Keys_Init, nullptr, Mw_Event));
  std::vector<std::pair<int16, uint32>> keys;
  for (auto& ev : g_mw.events)
    if (ev.first != updateEvt) keys.push_back(ev);
  ASSERT_EQ(keys.size(), 6u);
  EXPECT_EQ(keys[0].second, (200u << 16) | 120u);  // the client area asked for
  EXPECT_EQ(keys[1], std::make_pair(int16(keyDown), uint32('a') << 8));
  EXPECT_EQ(keys[2], std::make_pair(int16(keyDown), uint32(VK_LEFT)));
  // The key-down of a letter is no event; its translation into a character is.
  EXPECT_EQ(keys[3], std::make_pair(int16(keyDown), uint32('a') << 8));
  EXPECT_EQ(keys[4], std::make_pair(int16(keyDown), uint32(VK_F1 + 2)));
  EXPECT_EQ(keys[5], std::make_pair(int16(keyDown), 0x1Bu | (0x1Bu << 8)));
}

TEST_F(SysDlogTest, RefusedEscapeKeepsTheWindowAndUnattendedRunCancelsIt) {
  // The procedure never closes the window: the headless run with no script
  // left sends Escape, and closes the window itself when that is refused.
  g_mw = MwinLog{};
  g_mw.close_after_nulls = 1000000;
  g_mw.refuse_escape = true;
  EXPECT_FALSE(Modal_Window(100, 80, Mw_Init, Mw_Stop, Mw_Event));
  EXPECT_GT(g_mw.nulls, 0);
  ASSERT_FALSE(g_mw.events.empty());
  EXPECT_EQ(g_mw.events.back().second & 0xFF, 0x1Bu);
  EXPECT_EQ(g_mw.stops, 1);
  EXPECT_EQ(mwin_n, 0);
}

TEST_F(SysDlogTest, ScriptedAnswerConfirmsAModalWindowWithReturn) {
  g_mw = MwinLog{};
  g_mw.close_after_nulls = 1000000;
  Answer(1);
  Modal_Window(100, 80, Mw_Init, nullptr, Mw_Event);
  ASSERT_FALSE(g_mw.events.empty());
  bool saw_return = false;
  for (auto& ev : g_mw.events) saw_return |= ev.first == keyDown && (ev.second & 0xFF) == VK_RETURN;
  EXPECT_TRUE(saw_return);
}

int g_third_quits = 0;
bool8 g_third_result = true;
void Nested_Mw_Init(HWND w) {
  Mw_Init(w);
  if (mwin_n == 1) {
    Modal_Window(50, 50, Nested_Mw_Init, nullptr, Mw_Event);
  } else if (mwin_n == kMaxModalWindows) {
    QUIT = Count_Quit;
    g_third_result = Modal_Window(50, 50, nullptr, nullptr, Mw_Event);
    g_third_quits = g_quits;
    Install_Test_Hooks();
  }
}

TEST_F(SysDlogTest, ModalWindowsNestTwoDeep) {
  g_mw = MwinLog{};
  g_third_quits = 0;
  g_third_result = true;
  EXPECT_TRUE(Modal_Window(100, 80, Nested_Mw_Init, nullptr, Mw_Event));
  // The third is refused (a press nothing used), not an internal error.
  EXPECT_EQ(g_third_quits, 0);
  EXPECT_FALSE(g_third_result);
  EXPECT_EQ(mwin_n, 0);
  EXPECT_EQ(n_winstack, 0);
  EXPECT_TRUE(IsWindowEnabled(gs.outer_window));
}

TEST_F(SysDlogTest, CenterWindowTable) {
  info_videoavail = Rect{0, 0, 800, 1000};
  struct Case {
    int16 w, h;
    int32 left, top;
  } cases[] = {{400, 200, 300, 180}, {400, 900, 300, -50}, {1000, 800, 0, 0}};
  for (const Case& c : cases) {
    HWND w = New_Window(Rect{10, 10, int16(10 + c.h), int16(10 + c.w)}, "c", true, 6, nullptr,
                        gs.outer_window, nullptr);
    ASSERT_NE(w, nullptr);
    CenterWindow(w);
    RECT r{0, 0, 0, 0};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, c.left) << c.w << "x" << c.h;
    EXPECT_EQ(r.top, c.top) << c.w << "x" << c.h;
    CloseWindow(w);
  }
}

TEST_F(SysDlogTest, ExternalBracketDisablesAndRestoresTheWindows) {
  Init_External();
  Init_External();
  EXPECT_FALSE(IsWindowEnabled(gs.outer_window));
  Stop_External();
  EXPECT_FALSE(IsWindowEnabled(gs.outer_window)) << "brackets nest";
  Stop_External();
  EXPECT_TRUE(IsWindowEnabled(gs.outer_window));
}

// --- Scroll bars and the edit table ---------------------------------------------------

TEST_F(SysDlogTest, ScrollBarControls) {
  ControlHandle v = NewControl(gs.outer_window, Rect{0, 0, 100, 16}, "", true, 0, 0, 0, 0, 7);
  ControlHandle h = NewControl(gs.outer_window, Rect{0, 0, 16, 100}, "", true, 0, 0, 0, 0, 8);
  ASSERT_NE(v, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GetWindowLong(v, GWL_STYLE) & SBS_VERT, SBS_VERT);
  EXPECT_EQ(GetWindowLong(h, GWL_STYLE) & SBS_VERT, 0);
  EXPECT_EQ(GetDlgCtrlID(v), 7);
  SetControlMinMax(v, 0, 100, 10);
  EXPECT_EQ(GetControlMinimum(v), 0);
  EXPECT_EQ(GetControlMaximum(v), 109);
  SetControlValue(v, 500);
  EXPECT_EQ(GetControlValue(v), 100);  // the last page still shows
  SetControlValue(v, -3);
  EXPECT_EQ(GetControlValue(v), 0);
  SetControlMaximum(v, 59);
  SetControlValue(v, 80);
  EXPECT_EQ(GetControlValue(v), 50);
  HideControl(v);
  EXPECT_FALSE(IsWindowVisible(v));
  ShowControl(v);
  EXPECT_TRUE(IsWindowVisible(v));
  ControlHandle found = v;
  EXPECT_EQ(FindControl(Point{5, 5}, gs.outer_window, found), 0);
  EXPECT_EQ(found, nullptr);
  EXPECT_THROW(TrackControl(v, Point{0, 0}, nullptr), QuitCalled);
  EXPECT_THROW(IsControlVisible(v), QuitCalled);
  DisposeControl(v);
  EXPECT_EQ(v, nullptr);
}

bool8 Digits_Only(UniChar c) { return c >= '0' && c <= '9'; }

TEST_F(SysDlogTest, EditFieldTable) {
  TE_Init();
  EXPECT_EQ(TE_Add(gs.outer_window, Rect{10, 10, 30, 110}, 5, Digits_Only), 1);
  EXPECT_EQ(TE_Add(gs.outer_window, Rect{40, 10, 60, 110}, 20, nullptr), 2);
  EXPECT_EQ(TE_Add(gs.outer_window, Rect{70, 10, 90, 110}, 20, nullptr), 0) << "two fields at most";
  TE_SetVal_Int(1, 123);
  int32 v = 0;
  EXPECT_TRUE(TE_GetVal_Int(1, 0, 200, v));
  EXPECT_EQ(v, 123);
  EXPECT_FALSE(TE_GetVal_Int(1, 0, 100, v));
  // Typing goes through the field's filter and its length limit.
  TE_Activate(1);
  EXPECT_EQ(gte.activex, 1);
  EXPECT_EQ(GetFocus(), gte.fields[0].hdl);
  for (char c : std::string("4x56789")) SendMessage(gte.fields[0].hdl, WM_CHAR, WPARAM(c), 0);
  Str255 s;
  TE_GetVal(1, s);
  EXPECT_STREQ(s, "45678");
  TE_SetVal(2, "free text");
  TE_GetVal(2, s);
  EXPECT_STREQ(s, "free text");
  EXPECT_FALSE(TE_GetVal_Int(2, -100, 100, v));
  TE_GetVal(3, s);
  EXPECT_STREQ(s, "");
  TE_Init();
  EXPECT_EQ(gte.nfields, 0);
}

// --- The alert dialogs ---------------------------------------------------------------------

TEST_F(SysDlogTest, AlertKeysAndScriptedAnswers) {
  struct Case {
    int16 dlog;
    const char* script;
    int16 result;
  } cases[] = {
      {DLOG_ALERT1, "key Escape\n", 0},      {DLOG_ALERT1, "", 0},
      {DLOG_ALERT2, "key Enter\n", 0},       {DLOG_ALERT2, "key Escape\n", 1},
      {DLOG_ALERT3, "key D\n", 1},  // without the command modifier: nothing, then cancelled
      {DLOG_ALERT3, "answer alert 3\n", 2},  {DLOG_ALERT3, "answer alert 1\n", 0},
      {DLOG_ALERT3, "", 1},
      // Last: a dialog ended by a key leaves its release unseen, so Ctrl
      // stays down for what follows.
      {DLOG_ALERT2, "key Ctrl+.\n", 1},      {DLOG_ALERT3, "key Ctrl+D\n", 2},
  };
  for (const Case& c : cases) {
    Host_Script_Reset();
    std::string err;
    if (*c.script) {
      ASSERT_TRUE(Host_Script_Load_Text(c.script, "t", err)) << err;
    }
    testing::internal::CaptureStderr();
    const int16 r = Ask_YesNoCancel(c.dlog, c.dlog == DLOG_ALERT1 ? int16(24) : int16(31), 8, 105, 33);
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(r, c.result) << c.dlog << " " << c.script;
    EXPECT_NE(out.find("velmor: alert "), std::string::npos) << out;
  }
  EXPECT_EQ(modal_n, 0);
  EXPECT_EQ(g_yesno, nullptr);
}

TEST_F(SysDlogTest, AlertDialogShowsItsTexts) {
  struct Probe {
    static void Init(HWND d) {
      YesNo_Init(d);
      g_seen.str = Host_Dlg_Item_Text_Utf8(d, 4);
      g_seen.cut = Host_Dlg_Item_Text_Utf8(d, 3);
      Host_Script_Push_Answer(HOST_ANSWER_ALERT, "2");
    }
  };
  Param_Text("song.CD4", "", "", "");
  a_yesno_rec req{DLOG_ALERT3, 31, 34, 105, 33};
  g_yesno = &req;
  g_seen = Seen{};
  testing::internal::CaptureStderr();
  EXPECT_EQ(Modal_Dialog(DLOG_ALERT3, 167, 1, Probe::Init, YesNo_Cmd, DialogFilterYesNo), 2);
  testing::internal::GetCapturedStderr();
  g_yesno = nullptr;
  EXPECT_EQ(g_seen.cut, "Don't Save");
  EXPECT_EQ(g_seen.str, "Save changes to \"song.CD4\" before switching layouts?");
}

TEST_F(SysDlogTest, YesNoFilterOutsideTheAlertsIsAnInternalError) {
  a_yesno_rec req{1234, 1, 8, 0, 0};
  g_yesno = &req;
  EventRecord e{};
  e.what = keyDown;
  int16 item = 0;
  EXPECT_THROW(DialogFilterYesNo(nullptr, e, item), QuitCalled);
  g_yesno = nullptr;
  // The general filters: Return only for the first.
  e.message = intptr_t(uint32(13) << 16);
  EXPECT_TRUE(DialogFilter1(nullptr, e, item));
  EXPECT_EQ(item, 1);
  EXPECT_FALSE(DialogFilter2(nullptr, e, item));
  e.message = intptr_t((uint32('.') << 24) | (uint32(0xBE) << 16));
  e.modifiers = cmdKey;
  EXPECT_TRUE(DialogFilter2(nullptr, e, item));
  EXPECT_EQ(item, 2);
}

}  // namespace

namespace {

TEST_F(SysDlogTest, AlertWithNoRoomForADialogFallsBackToThePlainAlert) {
  // Four dialogs already up: the alert must still be seen, not an internal
  // error and not lost.
  modal_n = kMaxModalDialogs;
  testing::internal::CaptureStderr();
  const int16 r = Ask_YesNoCancel(DLOG_ALERT2, 31, 8, 105, 0);
  const std::string out = testing::internal::GetCapturedStderr();
  modal_n = 0;
  EXPECT_EQ(r, 0);  // the plain alert's default, its first button
  EXPECT_NE(out.find("velmor: alert 31: Save changes to"), std::string::npos) << out;
  EXPECT_THROW(Ask_YesNoCancel(1300, 31, 8, 105, 0), QuitCalled);
}

}  // namespace

namespace {

// Every dialog the program names has its template among the program's own
// resources, with the items its procedures address, of the right kind.
TEST(DialogTemplates, EveryNamedDialogHasItsItems) {
  Resources_Init();
  struct Want {
    int16 id;
    std::vector<std::pair<int32, const char*>> items;
  } wants[] = {
      {DLOG_ALERT1, {{1, "BUTTON"}, {2, "STATIC"}}},
      {DLOG_ALERT3, {{1, "BUTTON"}, {2, "BUTTON"}, {3, "BUTTON"}, {4, "STATIC"}}},
      {DLOG_ALERT2, {{1, "BUTTON"}, {2, "BUTTON"}, {3, "STATIC"}}},
      {DLOG_PRINT_STOP, {{1, "BUTTON"}, {2, "STATIC"}}},
      {DLOG_PRINT, {{1, "BUTTON"}, {2, "BUTTON"}, {3, "COMBOBOX"}, {4, "EDIT"}, {5, "COMBOBOX"}}},
      {DLOG_PRINT_SETUP, {{1, "BUTTON"}, {2, "BUTTON"}, {3, "COMBOBOX"}}},
      {DLOG_ASK_VOL, {{1, "BUTTON"}, {2, "STATIC"}}},
      {DLOG_PICK_COLOR,
       {{PICK_OK, "BUTTON"}, {PICK_CANCEL, "BUTTON"}, {PICK_ADD_CUSTOM, "BUTTON"}, {PICK_FIELD, kClassPickPart},
        {PICK_VALUE, kClassPickPart}, {PICK_BASIC, kClassPickPart}, {PICK_CUSTOM, kClassPickPart},
        {PICK_PREVIEW, kClassPickPart}, {PICK_HUE, "EDIT"}, {PICK_SAT, "EDIT"}, {PICK_VAL, "EDIT"},
        {PICK_RED, "EDIT"}, {PICK_GREEN, "EDIT"}, {PICK_BLUE, "EDIT"}, {PICK_HEX, "EDIT"}}},
  };
  for (const Want& w : wants) {
    SCOPED_TRACE(w.id);
    HostDlgTemplate t;
    ASSERT_TRUE(Get_Dialog_Template(w.id, t));
    for (const auto& [id, cls] : w.items) {
      int found = 0;
      for (const HostDlgItemTemplate& it : t.items) {
        if (it.id != id) continue;
        ++found;
        EXPECT_EQ(it.cls, cls) << "item " << id;
        EXPECT_NE(it.style & WS_VISIBLE, 0u) << "item " << id;
        // Items lie inside the dialog.
        EXPECT_LE(it.x + it.cx, t.cx) << "item " << id;
        if (it.cls != "COMBOBOX") {
          EXPECT_LE(it.y + it.cy, t.cy) << "item " << id;
        }
      }
      EXPECT_EQ(found, 1) << "item " << id;
    }
    // A dialog with a button has one default button.
    int defaults = 0;
    for (const HostDlgItemTemplate& it : t.items)
      defaults += it.cls == "BUTTON" && (it.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    EXPECT_EQ(defaults, 1);
  }
}

}  // namespace
