// Polled input: event records from the queue, key services, the mouse
// tracker's sample ring, cursors and the interruptible wait.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/VoskDef.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "platform/Events.h"
#include "platform/Resources.h"
#include "platform/SysCurs.h"
#include "platform/SysKey.h"
#include "platform/SysLoop.h"
#include "platform/SysTimer.h"
#include "platform/SysTrack.h"
#include "platform/SysWin.h"

namespace {

LRESULT Plain_Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }

class Input : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1024, 768);
    Host_Clock_Set_Manual(true);
    SysKey_Init();
    SysTrack_Init();
    SysCurs_Init();
    SysWin_Init();
    WNDCLASS wc{};
    wc.lpfnWndProc = Plain_Proc;
    wc.lpszClassName = "PLAIN";
    ASSERT_NE(RegisterClass(&wc), 0);
    main_hwnd = CreateWindowEx(0, "PLAIN", u"m", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 400, 300,
                               nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(main_hwnd, nullptr);
    Host_Set_Main_Window(main_hwnd);
    SetActiveWindow(main_hwnd);
    Host_Queue_Clear();
  }
  void TearDown() override {
    main_hwnd = nullptr;
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Stop();
    Host_Clock_Set_Manual(false);
  }
  // Loads a script and runs its commands one by one as the test asks.
  void Load(const std::string& text) {
    std::string errors;
    ASSERT_TRUE(Host_Script_Load_Text(text, "input", errors)) << errors;
  }
  void Feed() { ASSERT_TRUE(Host_Script_Feed()); }
};

TEST_F(Input, FlushEventsRemovesByMask) {
  PostMessage(main_hwnd, WM_LBUTTONDOWN, 0, 0);
  PostMessage(main_hwnd, WM_KEYDOWN, 'A', 0);
  PostMessage(main_hwnd, WM_LBUTTONUP, 0, 0);
  PostMessage(main_hwnd, WM_KEYUP, 'A', 0);
  FlushEvents(0, 0);
  EXPECT_EQ(Host_Queue_Length(), 4u);
  FlushEvents(mDownMask | keyUpMask, 0);
  EXPECT_EQ(Host_Queue_Length(), 2u);
  EXPECT_FALSE(Host_Queue_Has(main_hwnd, WM_LBUTTONDOWN, WM_LBUTTONDOWN));
  EXPECT_FALSE(Host_Queue_Has(main_hwnd, WM_KEYUP, WM_KEYUP));
  EXPECT_TRUE(Host_Queue_Has(main_hwnd, WM_KEYDOWN, WM_KEYDOWN));
}

TEST_F(Input, EventsComeInTheirOrderAndByMask) {
  PostMessage(main_hwnd, WM_LBUTTONDOWN, 0, 0);
  PostMessage(main_hwnd, WM_KEYDOWN, 'Q', 0);
  EventRecord e{};
  // Key downs are looked for first, whatever the queue's order.
  ASSERT_TRUE(EventAvail(e, everyEvent));
  EXPECT_EQ(e.what, keyDown);
  EXPECT_EQ(Event_KeyCode(e), 'Q');
  EXPECT_EQ(Event_CharCode(e), 'Q');
  EXPECT_EQ(Host_Queue_Length(), 2u);  // EventAvail leaves it queued
  ASSERT_TRUE(GetNextEvent(e, everyEvent));
  EXPECT_EQ(e.what, keyDown);
  ASSERT_TRUE(GetNextEvent(e, everyEvent));
  EXPECT_EQ(e.what, mouseDown);
  // Nothing left: a null event.
  EXPECT_FALSE(GetNextEvent(e, everyEvent));
  EXPECT_EQ(e.what, nullEvent);
  // A mask without the key bit leaves keys alone.
  PostMessage(main_hwnd, WM_KEYDOWN, 'Q', 0);
  EXPECT_FALSE(GetNextEvent(e, mDownMask));
  EXPECT_EQ(Host_Queue_Length(), 1u);
  // Shift by itself is no keystroke.
  MSG m{};
  m.message = WM_KEYDOWN;
  m.wParam = VK_SHIFT;
  EXPECT_FALSE(ToMacEvent(e, m, everyEvent));
  EXPECT_EQ(e.what, nullEvent);
  Event_Set_CharCode('z', e);
  EXPECT_EQ(Event_CharCode(e), 'z');
}

TEST_F(Input, KeyServices) {
  EXPECT_EQ(Char_To_Virt(27), 27);
  EXPECT_EQ(Char_To_Virt(8), 8);
  EXPECT_EQ(Char_To_Virt(9), 9);
  EXPECT_EQ(Char_To_Virt('a'), 0);
  EXPECT_EQ(Char_To_Virt(13), 0);
  const char text[] = "a\xC3\xA9";
  EXPECT_FALSE(Is_DoubleByte(0, text, 0));
  EXPECT_TRUE(Is_DoubleByte(0, text, 1));
  EXPECT_FALSE(Is_DoubleByte(0, text, 2));
  EXPECT_FALSE(Is_DoubleByte(0, text, 40));
  EXPECT_THROW(Is_Key_Down(1), QuitCalled);

  PostMessage(main_hwnd, WM_KEYDOWN, 'A', 0);
  PostMessage(main_hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessage(main_hwnd, WM_LBUTTONDOWN, 0, 0);
  EXPECT_TRUE(EscapeKeyPending());
  EXPECT_EQ(Host_Queue_Length(), 1u);  // only the keyboard messages went
  EXPECT_FALSE(EscapeKeyPending());

  Post_Key('x');
  a_keystroke k{};
  ASSERT_TRUE(Get_Pending_Keystroke(k));
  EXPECT_EQ(k.charcode, 'x');
  EXPECT_EQ(k.unicode, u'x');
  EXPECT_FALSE(Get_Pending_Keystroke(k));
}

TEST_F(Input, StrokeStartsWithAJumpThenMovesThenHolds) {
  Load("down 10 10\nmove 20 10\nmove 30 12\nkey Shift+Left\nup 30 12\n");
  Feed();  // button down at (10, 10)
  const a_shift_set start = SmoothTrack_Init(3);
  EXPECT_EQ(start, 0);
  a_mouse_sample s{};
  ASSERT_TRUE(SmoothTrack_Sample(s));
  EXPECT_EQ(s.kind, JUMP_SAMPLE);
  EXPECT_EQ(s.mouse.h, 110);  // screen coordinates: the window is at (100, 50)
  EXPECT_EQ(s.mouse.v, 60);
  Feed();
  ASSERT_TRUE(SmoothTrack_Sample(s));
  EXPECT_EQ(s.kind, REGULAR_SAMPLE);
  EXPECT_EQ(s.mouse.h, 120);
  Feed();
  ASSERT_TRUE(SmoothTrack_Sample(s));
  EXPECT_EQ(s.mouse.h, 130);
  EXPECT_EQ(s.mouse.v, 62);
  // Held still: hold samples at the last position with the starting shifts.
  ASSERT_TRUE(SmoothTrack_Sample(s));
  EXPECT_EQ(s.kind, HOLD_SAMPLE);
  EXPECT_EQ(s.mouse.h, 130);
  EXPECT_EQ(s.shifts, start);
  EXPECT_EQ(SmoothTrack_Pending(), 0);
  Feed();  // a key in between: nothing for the tracker
  Feed();  // button up: the stroke is over
  EXPECT_FALSE(SmoothTrack_Sample(s));
  SmoothTrack_Stop();
  EXPECT_FALSE(g_mouse_vbl.enabled);
}

TEST_F(Input, AMoveAfterTheButtonWasUpIsAJump) {
  Load("down 10 10\nup 10 10\ndown 50 50\nmove 60 50\n");
  Feed();
  SmoothTrack_Init(0);
  a_mouse_sample s{};
  ASSERT_TRUE(SmoothTrack_Sample(s));  // the starting point
  Feed();                              // up
  EXPECT_FALSE(SmoothTrack_Sample(s));
  Feed();  // down elsewhere
  ASSERT_TRUE(SmoothTrack_Sample(s));
  EXPECT_EQ(s.kind, JUMP_SAMPLE);
  EXPECT_EQ(s.mouse.h, 150);
  Feed();
  ASSERT_TRUE(SmoothTrack_Sample(s));
  EXPECT_EQ(s.kind, REGULAR_SAMPLE);
}

TEST_F(Input, RingHoldsNineAndKeepsTheOldest) {
  Load("down 10 10\nmove 11 10\n");
  Feed();
  SmoothTrack_Init(0);
  // Nine samples waiting (as a slow reader leaves them).
  a_mouse_track& t = g_mouse_vbl;
  for (uint16 i = 0; i < 9; ++i) t.buf[i] = a_mouse_sample{Point{0, int16(i)}, REGULAR_SAMPLE, 0};
  t.in = 9;
  t.out = 0;
  EXPECT_EQ(SmoothTrack_Pending(), 9);
  Feed();  // a move that finds the ring full
  a_mouse_sample s{};
  ASSERT_TRUE(SmoothTrack_Sample(s));
  EXPECT_TRUE(t.overflow);
  EXPECT_EQ(s.mouse.h, 0);  // the oldest first
  for (int16 i = 1; i < 9; ++i) {
    ASSERT_TRUE(SmoothTrack_Sample(s));
    EXPECT_EQ(s.mouse.h, i);
  }
  // The ring wraps: in and out stay within it.
  EXPECT_LT(t.in, MOUSE_RING);
  EXPECT_LT(t.out, MOUSE_RING);
}

TEST_F(Input, TrackingCapturesAndEndsOnAButtonMessage) {
  Load("down 30 40\nmove 35 45\nup 35 45\n");
  Feed();
  Host_Queue_Clear();
  TrackMouse_Init(main_hwnd);
  EXPECT_EQ(GetCapture(), main_hwnd);
  // The loop of a tracking tool: each look at the queue lets the next
  // scripted step happen.
  std::vector<Point> seen;
  Point p{};
  for (int guard = 0; guard < 100 && TrackMouse_StillDown(p); ++guard) seen.push_back(p);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front().h, 30);  // in the window's coordinates
  EXPECT_EQ(seen.front().v, 40);
  // The call that ends the loop still reports where the mouse went last.
  EXPECT_EQ(p.h, 35);
  EXPECT_EQ(p.v, 45);
  EXPECT_LT(seen.size(), 100u) << "the release did not end the loop";
  // The release was taken by the loop.
  EXPECT_FALSE(Host_Queue_Has(nullptr, WM_LBUTTONUP, WM_LBUTTONUP));
  TrackMouse_Stop();
  EXPECT_EQ(GetCapture(), nullptr);
}

// A drag inside a modal window, its owner disabled: the release reaches the
// tracking loop (a capture left with the owner lost it, and the drag never
// ended).
TEST_F(Input, TrackingInAModalWindowEndsOnItsRelease) {
  HWND modal = CreateWindowEx(0, "PLAIN", u"modal", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 700, main_hwnd, nullptr,
                              nullptr, nullptr);
  ASSERT_NE(modal, nullptr);
  EnableWindow(main_hwnd, false);
  SetActiveWindow(modal);
  Load("down 30 40\nmove 35 45\nup 35 45\n");
  Feed();
  Host_Queue_Clear();
  TrackMouse_Init(modal);
  EXPECT_EQ(GetCapture(), modal);
  Point p{};
  int steps = 0;
  while (steps < 100 && TrackMouse_StillDown(p)) ++steps;
  EXPECT_LT(steps, 100) << "the release did not end the loop";
  TrackMouse_Stop();
  EnableWindow(main_hwnd, true);
  DestroyWindow(modal);
}

TEST_F(Input, CursorsByClass) {
  Resources_Init();
  a_cursor_desc arrow{DEFAULT_CURSOR, 0, 0, nullptr};
  Cursor_Load(arrow);
  EXPECT_EQ(Host_Cursor_System_Id(arrow.hdl), IDC_ARROW);
  a_cursor_desc busy{ANIM_CURSOR, 0, 0, nullptr};
  Cursor_Load(busy);
  EXPECT_EQ(busy.hdl, nullptr);
  Cursor_Set(busy);
  EXPECT_EQ(Host_Cursor_System_Id(GetCursor()), IDC_WAIT);
  // Setting the same descriptor again shows it again only when something
  // else took the screen's cursor meanwhile.
  SetCursor(LoadCursor(nullptr, IDC_CROSS));
  Cursor_Set(busy);
  EXPECT_EQ(Host_Cursor_System_Id(GetCursor()), IDC_WAIT);
  Cursor_Reset();
  EXPECT_EQ(Host_Cursor_System_Id(GetCursor()), IDC_ARROW);
  // A resource cursor that does not exist is a missing resource.
  a_cursor_desc missing{MONO_CURSOR, 30000, 0, nullptr};
  try {
    Cursor_Load(missing);
    FAIL() << "no missing-resource report";
  } catch (const ResErrCalled& e) {
    EXPECT_EQ(e.kind, kCursorResType);
    EXPECT_EQ(e.id, 30000);
  }
}

TEST_F(Input, SleepInterruptableReturnsOnInput) {
  const uint32 t0 = Host_Clock_Millis();
  Sleep_Interruptable(20);
  EXPECT_EQ(Host_Clock_Millis() - t0, 320u);
  PostMessage(main_hwnd, WM_KEYDOWN, 'A', 0);
  const uint32 t1 = Host_Clock_Millis();
  Sleep_Interruptable(100);
  EXPECT_EQ(Host_Clock_Millis(), t1);
  EXPECT_EQ(Host_Queue_Length(), 1u);  // left in the queue
}

TEST_F(Input, SleepWaitsTheWholeProduct) {
  EXPECT_EQ(Sleep_Millis(100), 1600u);
  EXPECT_EQ(Sleep_Millis(4096), 65536u);  // would wrap to no wait in 16 bits
  EXPECT_EQ(Sleep_Millis(32767), 524272u);
  EXPECT_EQ(Sleep_Millis(-1), 0u);
}

}  // namespace
