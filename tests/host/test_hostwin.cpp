// The window layer: queue order and filters, send and post, character
// translation, accelerators, capture and routing, key state, activation,
// invalidation and paint brackets, composition of child windows, the
// end-of-session signals and the single-instance lock.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostInstance.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "host/HostWinCore.h"

namespace {

struct Rec {
  HWND hwnd;
  UINT msg;
  WPARAM w;
  LPARAM l;
};
std::vector<Rec> g_log;
LRESULT g_answer_query = 1;     // answer to WM_QUERYENDSESSION
LRESULT g_answer_activate = 0;  // answer to WM_MOUSEACTIVATE (0: default)

bool Interesting(UINT m) {
  switch (m) {
    case WM_NCCREATE: case WM_CREATE: case WM_SIZE: case WM_MOVE: case WM_SHOWWINDOW: case WM_NCACTIVATE:
    case WM_ACTIVATE: case WM_ACTIVATEAPP: case WM_SETFOCUS: case WM_KILLFOCUS: case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED: case WM_SETCURSOR: case WM_GETMINMAXINFO: case WM_NCDESTROY:
      return false;
    default: return true;
  }
}

LRESULT CALLBACK_Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (Interesting(m)) g_log.push_back({h, m, w, l});
  if (m == WM_USER + 7) return 1234;
  if (m == WM_QUERYENDSESSION) return g_answer_query;
  if (m == WM_MOUSEACTIVATE && g_answer_activate) return g_answer_activate;
  return DefWindowProc(h, m, w, l);
}

std::vector<UINT> Messages_Of(HWND h, UINT lo, UINT hi) {
  std::vector<UINT> out;
  for (const Rec& r : g_log)
    if (r.hwnd == h && r.msg >= lo && r.msg <= hi) out.push_back(r.msg);
  return out;
}

class HostWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    g_log.clear();
    g_answer_query = 1;
    g_answer_activate = 0;
    WNDCLASS wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = CALLBACK_Proc;
    wc.cbWndExtra = 12;
    wc.lpszClassName = "TEST";
    ASSERT_NE(RegisterClass(&wc), 0);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.style = CS_DBLCLKS;
    wc.lpszClassName = "BRUSHED";
    ASSERT_NE(RegisterClass(&wc), 0);
  }
  void TearDown() override {
    Host_Win_Reset();
    Host_Backend_Stop();
    Host_Script_Reset();
    Host_Clock_Set_Manual(false);
  }
  HWND Top(int32 x, int32 y, int32 w, int32 h, uint32 style = WS_POPUP | WS_VISIBLE, const char* cls = "TEST") {
    return CreateWindowEx(0, cls, u"t", style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
  }
  HWND Child(HWND parent, int32 x, int32 y, int32 w, int32 h, int32 id, uint32 extra = 0) {
    return CreateWindowEx(0, "TEST", nullptr, WS_CHILD | WS_VISIBLE | extra, x, y, w, h, parent,
                          reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
  }
  // Takes queued messages (not paints) until none is left.
  std::vector<MSG> Drain(HWND filter = nullptr) {
    std::vector<MSG> out;
    MSG m;
    while (PeekMessage(&m, filter, 0, 0, PM_REMOVE)) {
      if (m.message == WM_PAINT) {
        ValidateRect(m.hwnd, nullptr);
        continue;
      }
      out.push_back(m);
    }
    return out;
  }
};

TEST_F(HostWinTest, QueueKeepsOrderAndHonoursFilters) {
  HWND a = Top(0, 0, 50, 50), b = Top(100, 0, 50, 50);
  HWND kid = Child(a, 5, 5, 10, 10, 3);
  Drain();
  PostMessage(a, WM_USER + 1, 1, 0);
  PostMessage(b, WM_USER + 2, 2, 0);
  PostMessage(kid, WM_USER + 3, 3, 0);
  PostMessage(a, WM_COMMAND, 4, 0);
  PostQuitMessage(9);

  MSG m;
  // Window filter: a and its descendants, in posting order; PM_NOREMOVE keeps.
  ASSERT_TRUE(PeekMessage(&m, a, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER + 1u);
  ASSERT_TRUE(PeekMessage(&m, a, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 1u);
  ASSERT_TRUE(PeekMessage(&m, a, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, kid);
  // Range filter skips over the message to b.
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_COMMAND, WM_COMMAND, PM_REMOVE));
  EXPECT_EQ(m.wParam, 4u);
  EXPECT_FALSE(PeekMessage(&m, a, 0, 0, PM_REMOVE));  // nor the quit request: it has no window
  // The quit request comes after every posted message.
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, b);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 9u);
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(HostWinTest, SendRunsAtOncePostWaitsForDispatch) {
  HWND a = Top(0, 0, 50, 50);
  Drain();
  g_log.clear();
  EXPECT_EQ(SendMessage(a, WM_USER + 7, 0, 0), 1234);
  ASSERT_EQ(g_log.size(), 1u);
  ASSERT_TRUE(PostMessage(a, WM_USER + 7, 0, 0));
  EXPECT_EQ(g_log.size(), 1u);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(DispatchMessage(&m), 1234);
  EXPECT_EQ(g_log.size(), 2u);

  // A destroyed window: its queued messages go, and nothing reaches it.
  PostMessage(a, WM_USER + 1, 0, 0);
  DestroyWindow(a);
  EXPECT_FALSE(IsWindow(a));
  EXPECT_EQ(Host_Queue_Length(), 0u);
  EXPECT_FALSE(PostMessage(a, WM_USER, 0, 0));
  EXPECT_EQ(SendMessage(a, WM_USER + 7, 0, 0), 0);
  RECT r;
  EXPECT_FALSE(GetWindowRect(a, &r));
}

TEST_F(HostWinTest, DestroyNotifiesParentFirstAndChildrenLast) {
  HWND a = Top(0, 0, 50, 50);
  HWND kid = Child(a, 0, 0, 10, 10, 1);
  g_log.clear();
  DestroyWindow(a);
  std::vector<std::pair<HWND, UINT>> seen;
  for (const Rec& r : g_log)
    if (r.msg == WM_DESTROY) seen.push_back({r.hwnd, r.msg});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].first, a);
  EXPECT_EQ(seen[1].first, kid);
  EXPECT_FALSE(IsWindow(kid));
}

// Keys through TranslateMessage, by a US layout.
TEST_F(HostWinTest, TranslateMakesCharacters) {
  HWND a = Top(0, 0, 50, 50);
  SetFocus(a);
  Drain();
  struct Case {
    std::vector<int32> held;
    int32 vk;
    UINT want_msg;  // 0: no character
    uint32 want;
  };
  const Case cases[] = {
      {{}, 'A', WM_CHAR, 'a'},
      {{VK_SHIFT}, 'A', WM_CHAR, 'A'},
      {{VK_SHIFT}, '1', WM_CHAR, '!'},
      {{}, VK_OEM_2, WM_CHAR, '/'},
      {{VK_SHIFT}, VK_OEM_2, WM_CHAR, '?'},
      {{VK_CONTROL}, 'S', WM_CHAR, 19},
      {{VK_CONTROL}, VK_BACK, WM_CHAR, 127},
      {{}, VK_BACK, WM_CHAR, 8},
      {{}, VK_RETURN, WM_CHAR, 13},
      {{}, VK_ESCAPE, WM_CHAR, 27},
      {{VK_MENU}, VK_OEM_PLUS, WM_SYSCHAR, '='},
      {{}, VK_LEFT, 0, 0},
      {{}, VK_F1, 0, 0},
      {{}, VK_DELETE, 0, 0},
  };
  for (const Case& c : cases) {
    for (int32 h : c.held) hostwin::Input_Key(h, true, false, false);
    hostwin::Input_Key(c.vk, true, false, false);
    hostwin::Input_Key(c.vk, false, false, false);
    for (int32 h : c.held) hostwin::Input_Key(h, false, false, false);
    std::vector<MSG> chars;
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_CHAR || m.message == WM_SYSCHAR) chars.push_back(m);
      else TranslateMessage(&m);
    }
    SCOPED_TRACE(c.vk);
    if (c.want_msg == 0) {
      EXPECT_TRUE(chars.empty());
    } else {
      ASSERT_EQ(chars.size(), 1u);
      EXPECT_EQ(chars[0].message, c.want_msg);
      EXPECT_EQ(chars[0].wParam, c.want);
    }
  }
  // Caps Lock flips letters only.
  hostwin::Input_Key(VK_CAPITAL, true, false, false);
  hostwin::Input_Key(VK_CAPITAL, false, false, false);
  hostwin::Input_Key('B', true, false, false);
  hostwin::Input_Key('1', true, false, false);
  std::vector<uint32> got;
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_CHAR) got.push_back(uint32(m.wParam));
    else TranslateMessage(&m);
  }
  EXPECT_EQ(got, (std::vector<uint32>{'B', '1'}));
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
}

TEST_F(HostWinTest, KeypadEnterAndTypedUnitsReachWmChar) {
  HWND a = Top(0, 0, 50, 50);
  SetFocus(a);
  Drain();
  hostwin::Input_Key(VK_RETURN, true, true, false);
  hostwin::Input_Char(u'\u00E9');
  std::vector<MSG> chars;
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_CHAR) chars.push_back(m);
    else TranslateMessage(&m);
  }
  ASSERT_EQ(chars.size(), 2u);
  EXPECT_EQ(chars[0].wParam, 13u);
  EXPECT_TRUE(chars[0].lParam & KF_EXTENDED_BIT);  // keypad Enter stays told apart
  EXPECT_EQ(chars[1].wParam, 0xE9u);
  EXPECT_FALSE(chars[1].lParam & KF_EXTENDED_BIT);
}

TEST_F(HostWinTest, SyncKeyStateFollowsRetrievalAsyncFollowsInput) {
  HWND a = Top(0, 0, 50, 50);
  SetFocus(a);
  Drain();
  hostwin::Input_Key(VK_CONTROL, true, false, false);
  EXPECT_TRUE(GetAsyncKeyState(VK_CONTROL) & 0x8000);
  EXPECT_FALSE(GetKeyState(VK_CONTROL) & 0x8000);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_KEYDOWN);
  EXPECT_TRUE(GetKeyState(VK_CONTROL) & 0x8000);
  // Alt makes system keys; F10 is one on its own.
  hostwin::Input_Key(VK_CONTROL, false, false, false);
  hostwin::Input_Key(VK_F10, true, false, false);
  Drain();
  hostwin::Input_Key(VK_F10, false, false, false);
  hostwin::Input_Key(VK_MENU, true, false, false);
  hostwin::Input_Key('X', true, false, false);
  std::vector<UINT> kinds;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) kinds.push_back(m.message);
  EXPECT_EQ(kinds, (std::vector<UINT>{WM_SYSKEYUP, WM_SYSKEYDOWN, WM_SYSKEYDOWN}));
}

TEST_F(HostWinTest, AcceleratorsNeedExactModifiers) {
  HWND a = Top(0, 0, 50, 50);
  SetFocus(a);
  Drain();
  const ACCEL table[] = {{FVIRTKEY | FCONTROL, 'S', 302}, {FVIRTKEY, VK_F1, 1201}, {0, '=', 1001}};
  HACCEL acc = CreateAcceleratorTable(table, 3);
  ASSERT_NE(acc, nullptr);
  auto run = [&](std::vector<int32> held, int32 vk) {
    g_log.clear();
    for (int32 h : held) hostwin::Input_Key(h, true, false, false);
    hostwin::Input_Key(vk, true, false, false);
    hostwin::Input_Key(vk, false, false, false);
    for (int32 h : held) hostwin::Input_Key(h, false, false, false);
    std::vector<WPARAM> cmds;
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (!TranslateAccelerator(a, acc, &m)) {
        TranslateMessage(&m);
        DispatchMessage(&m);
      }
    }
    for (const Rec& r : g_log)
      if (r.msg == WM_COMMAND) cmds.push_back(r.w);
    return cmds;
  };
  EXPECT_EQ(run({VK_CONTROL}, 'S'), (std::vector<WPARAM>{MAKEWPARAM(302, 1)}));
  EXPECT_TRUE(run({VK_CONTROL, VK_SHIFT}, 'S').empty());
  EXPECT_TRUE(run({}, 'S').empty());
  EXPECT_EQ(run({}, VK_F1), (std::vector<WPARAM>{MAKEWPARAM(1201, 1)}));
  EXPECT_EQ(run({}, VK_OEM_PLUS), (std::vector<WPARAM>{MAKEWPARAM(1001, 1)}));  // a character entry
  EXPECT_TRUE(DestroyAcceleratorTable(acc));
  MSG m{a, WM_KEYDOWN, 'S', 0, 0, {0, 0}};
  EXPECT_FALSE(TranslateAccelerator(a, acc, &m));  // a destroyed table is refused
}

TEST_F(HostWinTest, MouseGoesToWindowUnderCursorOrCapture) {
  HWND a = Top(100, 100, 200, 100);
  HWND kid = Child(a, 50, 10, 40, 30, 5);
  HWND b = Top(400, 100, 100, 100);
  Drain();
  hostwin::Input_Button(0, true, POINT{100 + 60, 100 + 20});
  hostwin::Input_Button(0, false, POINT{100 + 60, 100 + 20});
  std::vector<MSG> got = Drain();
  std::vector<MSG> downs;
  for (const MSG& m : got)
    if (m.message == WM_LBUTTONDOWN) downs.push_back(m);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].hwnd, kid);
  EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), 10);  // child client coordinates
  EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), 10);
  EXPECT_TRUE(downs[0].wParam & MK_LBUTTON);

  // With capture, a move over b still goes to a, in a's coordinates (negative allowed).
  EXPECT_EQ(SetCapture(a), nullptr);
  hostwin::Input_Mouse_Move(POINT{450, 150});
  got = Drain();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].hwnd, a);
  EXPECT_EQ(GET_X_LPARAM(got[0].lParam), 350);
  g_log.clear();
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(Messages_Of(a, WM_CAPTURECHANGED, WM_CAPTURECHANGED).size(), 1u);
  hostwin::Input_Mouse_Move(POINT{451, 150});
  got = Drain();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].hwnd, b);

  // A disabled window gets no input.
  EnableWindow(b, false);
  hostwin::Input_Button(0, true, POINT{452, 150});
  EXPECT_TRUE(Drain().empty());
}

TEST_F(HostWinTest, PressActivatesUnlessTheWindowSaysOtherwise) {
  HWND a = Top(0, 0, 100, 100);
  HWND b = Top(200, 0, 100, 100);
  SetActiveWindow(a);
  Drain();
  hostwin::Input_Button(0, true, POINT{250, 50});
  hostwin::Input_Button(0, false, POINT{250, 50});
  Drain();
  EXPECT_EQ(GetActiveWindow(), b);
  // MA_NOACTIVATEANDEAT: no activation and the press is dropped.
  g_answer_activate = MA_NOACTIVATEANDEAT;
  hostwin::Input_Button(0, true, POINT{50, 50});
  std::vector<MSG> got = Drain();
  EXPECT_EQ(GetActiveWindow(), b);
  for (const MSG& m : got) EXPECT_NE(m.message, WM_LBUTTONDOWN);
}

TEST_F(HostWinTest, DoubleClicksOnlyForClassesThatAskForThem) {
  HWND plain = Top(0, 0, 100, 100);
  HWND dbl = Top(200, 0, 100, 100, WS_POPUP | WS_VISIBLE, "BRUSHED");
  Host_Clock_Set_Manual(true);
  for (HWND h : {plain, dbl}) {
    SetActiveWindow(h);
    RECT r;
    GetWindowRect(h, &r);
    Drain();
    const POINT p{r.left + 10, r.top + 10};
    hostwin::Input_Button(0, true, p);
    hostwin::Input_Button(0, false, p);
    Host_Clock_Advance_Millis(100);
    hostwin::Input_Button(0, true, p);
    std::vector<UINT> kinds;
    for (const MSG& m : Drain())
      if (m.message != WM_MOUSEMOVE) kinds.push_back(m.message);
    if (h == plain) EXPECT_EQ(kinds, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN}));
    else EXPECT_EQ(kinds, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}));
    hostwin::Input_Button(0, false, p);
    Host_Clock_Advance_Millis(1000);
  }
}

TEST_F(HostWinTest, PaintComesLastStaysUntilValidatedAndClipsToUpdate) {
  HWND a = Top(0, 0, 40, 30);
  Drain();
  MSG m;
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  RECT r{10, 10, 20, 20};
  InvalidateRect(a, &r, false);
  PostMessage(a, WM_USER, 0, 0);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER);  // posted messages first
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_PAINT);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_PAINT);  // not removed until validated
  RECT u;
  ASSERT_TRUE(GetUpdateRect(a, &u, false));
  EXPECT_EQ(u.left, 10);
  EXPECT_EQ(u.bottom, 20);

  PAINTSTRUCT ps;
  HDC dc = BeginPaint(a, &ps);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(ps.rcPaint.left, 10);
  EXPECT_EQ(ps.rcPaint.right, 20);
  RECT all{0, 0, 40, 30};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &all, red);  // clipped to the update region
  EndPaint(a, &ps);
  DeleteObject(red);
  EXPECT_FALSE(GetUpdateRect(a, nullptr, false));
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  std::vector<uint32> px;
  int32 w, h;
  ASSERT_TRUE(Host_Window_Compose(a, px, w, h));
  ASSERT_EQ(w, 40);
  EXPECT_EQ(px[size_t(15 * 40 + 15)] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(px[size_t(5 * 40 + 5)] & 0xFFFFFF, 0u);
  EXPECT_EQ(px[size_t(15 * 40 + 25)] & 0xFFFFFF, 0u);
  // After EndPaint the DC draws everywhere again.
  FillRect(GetDC(a), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ASSERT_TRUE(Host_Window_Compose(a, px, w, h));
  EXPECT_EQ(px[0] & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(HostWinTest, EraseUsesTheClassBrushAndResizeRepaints) {
  HWND a = Top(0, 0, 30, 20, WS_POPUP | WS_VISIBLE, "BRUSHED");
  HWND b = Top(100, 0, 30, 20);  // CS_HREDRAW | CS_VREDRAW
  Drain();
  RECT r{0, 0, 5, 5};
  FillRect(GetDC(a), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  InvalidateRect(a, &r, true);
  PAINTSTRUCT ps;
  BeginPaint(a, &ps);
  EXPECT_FALSE(ps.fErase);  // the class brush did it
  EndPaint(a, &ps);
  std::vector<uint32> px;
  int32 w, h;
  Host_Window_Compose(a, px, w, h);
  EXPECT_EQ(px[0] & 0xFFFFFF, 0xFFFFFFu);

  // Growing: the redraw classes repaint all, the others only what is new.
  SetWindowPos(a, nullptr, 0, 0, 40, 20, SWP_NOMOVE | SWP_NOZORDER);
  SetWindowPos(b, nullptr, 0, 0, 40, 20, SWP_NOMOVE | SWP_NOZORDER);
  RECT ua, ub;
  ASSERT_TRUE(GetUpdateRect(a, &ua, false));
  ASSERT_TRUE(GetUpdateRect(b, &ub, false));
  EXPECT_EQ(ua.left, 30);
  EXPECT_EQ(ub.left, 0);
  EXPECT_EQ(ub.right, 40);
  EXPECT_EQ(Messages_Of(a, WM_SIZE, WM_SIZE).size(), 0u);  // WM_SIZE is filtered from the log
}

TEST_F(HostWinTest, ChildrenAreCompositedOverTheirParent) {
  HWND a = Top(0, 0, 40, 40);
  HWND kid = Child(a, 10, 10, 12, 12, 1, WS_BORDER);
  HWND hidden = Child(a, 30, 30, 5, 5, 2);
  ShowWindow(hidden, SW_HIDE);
  Drain();
  RECT all{0, 0, 40, 40};
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(GetDC(a), &all, green);
  FillRect(GetDC(kid), &all, blue);
  FillRect(GetDC(hidden), &all, blue);
  RECT cr;
  GetClientRect(kid, &cr);
  EXPECT_EQ(cr.right, 10);  // 12 less a one-pixel border each side
  std::vector<uint32> px;
  int32 w, h;
  ASSERT_TRUE(Host_Window_Compose(a, px, w, h));
  auto at = [&](int32 x, int32 y) { return px[size_t(y * w + x)] & 0xFFFFFF; };
  EXPECT_EQ(at(5, 5), 0x00FF00u);
  EXPECT_EQ(at(10, 10), 0x000000u);  // the border
  EXPECT_EQ(at(11, 11), 0x0000FFu);
  EXPECT_EQ(at(20, 20), 0x0000FFu);
  EXPECT_EQ(at(22, 22), 0x00FF00u);
  EXPECT_EQ(at(31, 31), 0x00FF00u);  // hidden child not shown
  // Moving the child moves its pixels.
  SetWindowPos(kid, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(Host_Window_Compose(a, px, w, h));
  EXPECT_EQ(at(5, 5), 0x0000FFu);
  EXPECT_EQ(at(15, 15), 0x00FF00u);
  POINT p{0, 0};
  ClientToScreen(kid, &p);
  EXPECT_EQ(p.x, 1);
  EXPECT_EQ(WindowFromPoint(POINT{5, 5}), kid);
  DeleteObject(green);
  DeleteObject(blue);
}

TEST_F(HostWinTest, ExtraBytesHoldPointersAtFourByteOffsets) {
  HWND a = Top(0, 0, 10, 10);
  int dummy = 0;
  const intptr_t p = reinterpret_cast<intptr_t>(&dummy);
  SetWindowLongPtr(a, 0, 4660);
  SetWindowLongPtr(a, 4, p);
  SetWindowLongPtr(a, 8, p + 8);
  EXPECT_EQ(GetWindowLong(a, 0), 4660);
  EXPECT_EQ(GetWindowLongPtr(a, 4), p);
  EXPECT_EQ(GetWindowLongPtr(a, 8), p + 8);
  // Beyond the 12 bytes or misaligned: nothing.
  EXPECT_EQ(SetWindowLongPtr(a, 12, 5), 0);
  EXPECT_EQ(GetWindowLongPtr(a, 12), 0);
  EXPECT_EQ(GetWindowLongPtr(a, 2), 0);
  char name[8];
  EXPECT_EQ(GetClassName(a, name, sizeof name), 4);
  EXPECT_STREQ(name, "TEST");
}

TEST_F(HostWinTest, SignalsBecomeTheEndOfSession) {
  HWND a = Top(0, 0, 10, 10);
  HWND b = Top(20, 0, 10, 10);
  Host_Set_Main_Window(a);
  Drain();
  ASSERT_TRUE(Host_Signals_Install());
  g_log.clear();
  raise(SIGTERM);
  MSG m;
  PeekMessage(&m, nullptr, 0, 0, PM_REMOVE);
  std::vector<std::pair<HWND, UINT>> seen;
  for (const Rec& r : g_log)
    if (r.msg == WM_QUERYENDSESSION || r.msg == WM_ENDSESSION) seen.push_back({r.hwnd, r.msg});
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0], std::make_pair(a, WM_QUERYENDSESSION));  // the main window first
  EXPECT_EQ(seen[1], std::make_pair(b, WM_QUERYENDSESSION));
  EXPECT_EQ(g_log.back().w, 1u);  // all agreed

  // The main window refusing ends the query; nobody else is asked.
  g_answer_query = 0;
  g_log.clear();
  raise(SIGINT);
  PeekMessage(&m, nullptr, 0, 0, PM_REMOVE);
  size_t queries = 0;
  for (const Rec& r : g_log) {
    if (r.msg == WM_QUERYENDSESSION) ++queries;
    if (r.msg == WM_ENDSESSION) {
      EXPECT_EQ(r.w, 0u);
    }
  }
  EXPECT_EQ(queries, 1u);

  // With no window left the loop is told to quit.
  DestroyWindow(a);
  DestroyWindow(b);
  raise(SIGTERM);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_QUIT);
  Host_Signals_Remove();
}

TEST_F(HostWinTest, WaitDoesNotSpinAndWakesOnSignal) {
  ASSERT_TRUE(Host_Signals_Install());
  const uint32 t0 = Host_Clock_Millis();
  EXPECT_FALSE(Host_Wait_Message(60));
  EXPECT_GE(Host_Clock_Millis() - t0, 55u);
  raise(SIGTERM);  // no windows: the quit request wakes the wait
  EXPECT_TRUE(Host_Wait_Message(5000));
  EXPECT_LT(Host_Clock_Millis() - t0, 2000u);
  Host_Signals_Remove();
}

// --- Single instance ---

std::string Temp_Dir() {
  const char* base = std::getenv("TMPDIR");
  std::string t = std::string(base && *base ? base : "/tmp") + "/velmor-inst-XXXXXX";
  std::vector<char> buf(t.begin(), t.end());
  buf.push_back(0);
  return mkdtemp(buf.data()) ? std::string(buf.data()) : std::string();
}

TEST_F(HostWinTest, WindowsShowTheIconsOfTheirClass) {
  const uint32 px[4] = {0xFF102030u, 0x80405060u, 0x00000000u, 0xFFFFFFFFu};
  // Only a picture of 1 to 256 pixels each way makes an icon.
  EXPECT_EQ(Host_Create_Icon(0, 2, px), nullptr);
  EXPECT_EQ(Host_Create_Icon(257, 1, px), nullptr);
  EXPECT_EQ(Host_Create_Icon(2, 2, nullptr), nullptr);
  HICON large = Host_Create_Icon(2, 2, px), small = Host_Create_Icon(1, 1, px + 3);
  ASSERT_NE(large, nullptr);
  ASSERT_NE(small, nullptr);
  WNDCLASS wc;
  wc.lpfnWndProc = CALLBACK_Proc;
  wc.hIcon = large;
  wc.hIconSm = small;
  wc.lpszClassName = "ICONIC";
  ASSERT_NE(RegisterClass(&wc), 0);
  HWND a = Top(0, 0, 10, 10, WS_POPUP | WS_VISIBLE, "ICONIC"), b = Top(0, 0, 10, 10);
  EXPECT_EQ(Host_Window_Icon(a, false), large);
  EXPECT_EQ(Host_Window_Icon(a, true), small);
  EXPECT_EQ(Host_Window_Icon(b, false), nullptr) << "its class has none";
  int32 w = 0, h = 0;
  std::vector<uint32> got;
  ASSERT_TRUE(Host_Icon_Image(Host_Window_Icon(a, false), w, h, got));
  EXPECT_EQ(w, 2);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(got, std::vector<uint32>(px, px + 4));
  // A destroyed window names no icon; a destroyed icon is a stale handle.
  DestroyWindow(a);
  EXPECT_EQ(Host_Window_Icon(a, false), nullptr);
  EXPECT_TRUE(DestroyIcon(large));
  EXPECT_FALSE(DestroyIcon(large));
  EXPECT_FALSE(Host_Icon_Image(large, w, h, got));
  // The window layer's reset takes the rest with it.
  Host_Win_Reset();
  EXPECT_FALSE(Host_Icon_Image(small, w, h, got));
}

TEST(HostInstanceTest, SecondCopyIsRefusedAndExitReleases) {
  const std::string dir = Temp_Dir();
  ASSERT_FALSE(dir.empty());
  Host_Instance_Release();
  // A child that takes the lock and exits without letting go.
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) _exit(Host_Instance_Acquire_In(dir, "t") == HostInstanceResult::ACQUIRED ? 0 : 1);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  ASSERT_EQ(Host_Instance_Acquire_In(dir, "t"), HostInstanceResult::ACQUIRED);  // released by its exit
  EXPECT_TRUE(Host_Instance_Held());

  // While we hold it, a fresh process is refused.
  pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    Host_Instance_Forget_After_Fork();  // as a new process would be
    _exit(Host_Instance_Acquire_In(dir, "t") == HostInstanceResult::HELD_ELSEWHERE ? 0 : 1);
  }
  waitpid(pid, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  Host_Instance_Release();
  EXPECT_FALSE(Host_Instance_Held());
  EXPECT_EQ(Host_Instance_Acquire_In(dir, "bad/name"), HostInstanceResult::FAILED);
  EXPECT_EQ(Host_Instance_Acquire_In(dir + "/missing", "t"), HostInstanceResult::FAILED);
  std::string lock = dir + "/t.lock";
  unlink(lock.c_str());
  rmdir(dir.c_str());
}

}  // namespace
