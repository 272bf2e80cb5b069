// Scripts: parsing and its errors, a script driving a message loop (keys,
// typing, clicks, menus, waits on the manual clock, a drag seen by a
// tracking loop), queued answers, snapshots as PNG, the end of a script and
// the alert report of headless runs.
#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "ScriptLoopSupport.h"
#include "TestSupport.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostScript.h"
#include "host/HostWin.h"

namespace {

struct Rec {
  UINT msg;
  WPARAM w;
  LPARAM l;
  uint32 time;
};
std::vector<Rec> g_log;
std::vector<POINT> g_track;  // cursor positions seen by the tracking loop
std::string g_answer;        // what a dialog opened by a menu command got

LRESULT Script_Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR: case WM_SYSKEYDOWN: case WM_SYSKEYUP: case WM_SYSCHAR:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_COMMAND:
      g_log.push_back({m, w, l, GetMessageTime()});
      break;
    default: break;
  }
  if (m == WM_LBUTTONDOWN && GetWindowLongPtr(h, 0) == 1) {
    // A tracking loop as the painting tools run it: poll until the release.
    SetCapture(h);
    MSG msg;
    // It samples first, then looks for the release, as the stroke's start counts.
    for (;;) {
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(h, &p);
      if (g_track.empty() || g_track.back().x != p.x || g_track.back().y != p.y) g_track.push_back(p);
      if (PeekMessage(&msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE) || g_track.size() > 1000) break;
    }
    ReleaseCapture();
    g_log.push_back({WM_LBUTTONUP, msg.wParam, msg.lParam, msg.time});
  }
  if (m == WM_COMMAND && LOWORD(w) == 402) Host_Script_Take_Answer(HOST_ANSWER_SAVE, g_answer);
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT all{0, 0, 64, 48}, box{8, 4, 24, 12};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HBRUSH red = CreateSolidBrush(RGB(200, 10, 30));
    FillRect(dc, &box, red);
    DeleteObject(red);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

std::string Temp_Path(const char* name) {
  const char* base = std::getenv("TMPDIR");
  std::string t = std::string(base && *base ? base : "/tmp") + "/velmor-script-XXXXXX";
  std::vector<char> buf(t.begin(), t.end());
  buf.push_back(0);
  if (!mkdtemp(buf.data())) return std::string();
  return std::string(buf.data()) + "/" + name;
}

class HostScriptTest : public ::testing::Test {
 protected:
  HWND main_ = nullptr;
  void SetUp() override {
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1024, 768);
    Host_Clock_Set_Manual(true);
    g_log.clear();
    g_track.clear();
    g_answer.clear();
    WNDCLASS wc;
    wc.lpfnWndProc = Script_Proc;
    wc.cbWndExtra = 4;
    wc.lpszClassName = "NORM";
    ASSERT_NE(RegisterClass(&wc), 0);
    main_ = CreateWindowEx(0, "NORM", u"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 64, 48, nullptr, nullptr,
                           nullptr, nullptr);
    ASSERT_NE(main_, nullptr);
    Host_Set_Main_Window(main_);
    SetActiveWindow(main_);
  }
  void TearDown() override {
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Stop();
    Host_Clock_Set_Manual(false);
  }
  // The program's main loop, in short; returns when WM_QUIT arrives.
  void Run() { looptest::Run_Message_Loop(); }
  void Load(const std::string& text) { looptest::Load_Script(text); }
};

TEST(HostScriptParse, BadLinesAreReportedWithTheirNumbers) {
  const char* text =
      "# a comment\n"
      "\n"
      "wait 5\n"
      "wait -1\n"            // 4
      "key Ctrl+\n"          // 5
      "key Hyper+S\n"        // 6
      "key Ctrl+Shift+F13\n"
      "key Flop\n"           // 8
      "click 10\n"           // 9
      "move 1 2 3\n"         // 10
      "menu 0\n"             // 11
      "answer open\n"        // 12
      "answer alert x\n"     // 13
      "answer print /x\n"    // 14
      "type\n"               // 15
      "snapshot\n"           // 16
      "quit now\n"           // 17
      "frobnicate\n"         // 18
      "type \xC3\x28\n"      // 19: not UTF-8
      "key Ctrl++\n"
      "click -5 7\r\n";
  std::vector<HostScriptCmd> cmds;
  std::string errors;
  EXPECT_FALSE(Host_Script_Parse(text, "s.txt", cmds, errors));
  for (int line : {4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19})
    EXPECT_NE(errors.find("s.txt:" + std::to_string(line) + ": "), std::string::npos) << line << "\n" << errors;
  for (int line : {1, 2, 3, 7, 20, 21})
    EXPECT_EQ(errors.find("s.txt:" + std::to_string(line) + ": "), std::string::npos) << line;
  EXPECT_NE(errors.find("unknown modifier \"Hyper\""), std::string::npos);
  EXPECT_NE(errors.find("unknown command \"frobnicate\""), std::string::npos);
  // The good lines are all there, in order.
  ASSERT_EQ(cmds.size(), 4u);
  EXPECT_EQ(cmds[1].keys.back().vk, VK_F1 + 12);
  EXPECT_EQ(cmds[2].keys.back().vk, VK_OEM_PLUS);  // "+" needs Shift
  EXPECT_EQ(cmds[2].keys.size(), 3u);
  EXPECT_EQ(cmds[3].a, -5);
  EXPECT_EQ(cmds[3].line, 21);
  // Nothing is loaded from a bad script.
  EXPECT_FALSE(Host_Script_Load_Text(text, "s.txt", errors));
  EXPECT_FALSE(Host_Script_Active());
  EXPECT_FALSE(Host_Script_Load_File("/nonexistent/velmor/script", errors));
}

TEST(HostScriptParse, SignalsAndColorAnswers) {
  std::vector<HostScriptCmd> cmds;
  std::string errors;
  EXPECT_FALSE(Host_Script_Parse("signal kill\nsignal\nanswer color red\nanswer color #12345\n"
                                 "answer color 12ab34 x\n",
                                 "s", cmds, errors));
  for (int line = 1; line <= 5; ++line)
    EXPECT_NE(errors.find("s:" + std::to_string(line) + ": "), std::string::npos) << line << "\n" << errors;
  errors.clear();
  ASSERT_TRUE(Host_Script_Parse("signal term\nsignal int\nanswer color 12ab34\nanswer color #FFFFFF\n", "s", cmds,
                                errors))
      << errors;
  ASSERT_EQ(cmds.size(), 4u);
  EXPECT_EQ(cmds[0].op, HostScriptOp::SIGNAL);
  EXPECT_EQ(cmds[0].a, SIGTERM);
  EXPECT_EQ(cmds[1].a, SIGINT);
  EXPECT_EQ(cmds[2].kind, HOST_ANSWER_COLOR);
  EXPECT_EQ(cmds[2].text, "#12ab34");
  // A colour answer is queued for the chooser only.
  ASSERT_TRUE(Host_Script_Load_Text("answer color #FFFFFF\n", "s", errors));
  std::string got;
  EXPECT_FALSE(Host_Script_Take_Answer(HOST_ANSWER_ALERT, got));
  EXPECT_TRUE(Host_Script_Take_Answer(HOST_ANSWER_COLOR, got));
  EXPECT_EQ(got, "#FFFFFF");
  Host_Script_Reset();
}

TEST_F(HostScriptTest, KeysTypingClicksAndMenusReachTheMainWindow) {
  Load("key Ctrl+S\n"
       "type Hi!\n"
       "type \xC3\xA9\n"
       "click 10 20\n"
       "menu 302\n"
       "key Shift+Tab\n"
       "quit\n"
       "key Escape\n");  // after quit: never runs
  Run();
  std::vector<std::pair<UINT, WPARAM>> seen;
  for (const Rec& r : g_log) seen.push_back({r.msg, r.w});
  const std::vector<std::pair<UINT, WPARAM>> want = {
      {WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, 'S'}, {WM_CHAR, 19}, {WM_KEYUP, 'S'}, {WM_KEYUP, VK_CONTROL},
      {WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, 'H'}, {WM_CHAR, 'H'}, {WM_KEYUP, 'H'}, {WM_KEYUP, VK_SHIFT},
      {WM_KEYDOWN, 'I'}, {WM_CHAR, 'i'}, {WM_KEYUP, 'I'},
      {WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, '1'}, {WM_CHAR, '!'}, {WM_KEYUP, '1'}, {WM_KEYUP, VK_SHIFT},
      {WM_KEYDOWN, VK_PACKET}, {WM_CHAR, 0xE9}, {WM_KEYUP, VK_PACKET},
      {WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0},
      {WM_COMMAND, 302},
      {WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, VK_TAB}, {WM_CHAR, 9}, {WM_KEYUP, VK_TAB}, {WM_KEYUP, VK_SHIFT}};
  EXPECT_EQ(seen, want);
  for (const Rec& r : g_log) {
    if (r.msg == WM_LBUTTONDOWN) {
      EXPECT_EQ(GET_X_LPARAM(r.l), 10);  // client coordinates of the main window
      EXPECT_EQ(GET_Y_LPARAM(r.l), 20);
    }
  }
  EXPECT_FALSE(Host_Script_Active());
}

TEST_F(HostScriptTest, WaitIsExactOnTheManualClock) {
  Host_Clock_Set_Millis(1000);
  Load("key a\nwait 10\nkey b\nwait 0\nkey c\nquit\n");
  Run();
  std::vector<uint32> times;
  for (const Rec& r : g_log)
    if (r.msg == WM_KEYDOWN) times.push_back(r.time);
  ASSERT_EQ(times.size(), 3u);
  EXPECT_EQ(times[1] - times[0], 160u);  // 10 ticks of 16 ms, not one more
  EXPECT_EQ(times[2], times[1]);
}

TEST_F(HostScriptTest, AShortWaitForInputEndsInsideALongScriptedWait) {
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);  // the first paint
  Host_Clock_Set_Millis(1000);
  Load("wait 100\nkey a\nquit\n");
  // 100 ticks of script time are 1600 ms; a 50 ms wait for input must give
  // up after its own timeout instead of running through the script's wait.
  EXPECT_FALSE(Host_Wait_Message(50));
  const uint32 spent = Host_Clock_Millis() - 1000;
  EXPECT_GE(spent, 50u);
  EXPECT_LT(spent, 1600u);
}

TEST_F(HostScriptTest, ATrackingLoopSeesEveryStepOfADrag) {
  SetWindowLongPtr(main_, 0, 1);  // presses start the tracking loop
  Load("down 5 5\nmove 20 20\nwait 3\nmove 30 25\nup 30 25\nkey x\nquit\n");
  Run();
  ASSERT_GE(g_track.size(), 3u);
  EXPECT_EQ(g_track[0].x, 5);
  EXPECT_EQ(g_track[1].x, 20);
  EXPECT_EQ(g_track[2].x, 30);
  EXPECT_EQ(g_track[2].y, 25);
  // The key after the release was not fed into the middle of the drag.
  size_t up = 0, key = 0;
  for (size_t i = 0; i < g_log.size(); ++i) {
    if (g_log[i].msg == WM_LBUTTONUP && !up) up = i;
    if (g_log[i].msg == WM_KEYDOWN && !key) key = i;
  }
  EXPECT_LT(up, key);
}

TEST_F(HostScriptTest, AnswersAreQueuedInOrderAndTakenAhead) {
  Load("answer open /docs/a.cd4\nanswer alert 2\nanswer open /docs/b.cd4\nmenu 402\nanswer save /docs/c.cd4\n"
       "quit\n");
  Run();
  EXPECT_EQ(g_answer, "/docs/c.cd4");  // taken by the dialog from the line after its command
  std::string got;
  ASSERT_TRUE(Host_Script_Take_Answer(HOST_ANSWER_OPEN, got));
  EXPECT_EQ(got, "/docs/a.cd4");
  ASSERT_TRUE(Host_Script_Take_Answer(HOST_ANSWER_ALERT, got));
  EXPECT_EQ(got, "2");
  ASSERT_TRUE(Host_Script_Take_Answer(HOST_ANSWER_OPEN, got));
  EXPECT_EQ(got, "/docs/b.cd4");
  EXPECT_FALSE(Host_Script_Take_Answer(HOST_ANSWER_OPEN, got));
  EXPECT_FALSE(Host_Script_Take_Answer(HOST_ANSWER_FOLDER, got));
}

TEST_F(HostScriptTest, SnapshotWritesTheWindowPixelsAsPng) {
  const std::string path = Temp_Path("shot.png");
  ASSERT_FALSE(path.empty());
  Load("snapshot " + path + "\nquit\n");
  Run();
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  std::string err;
  ASSERT_TRUE(Host_Read_PNG(path, px, w, h, err)) << err;
  ASSERT_EQ(w, 64);
  ASSERT_EQ(h, 48);
  EXPECT_EQ(px[size_t(0)], 0xFFFFFFu);
  EXPECT_EQ(px[size_t(5 * 64 + 10)], 0xC80A1Eu);  // the painted box, red 200 green 10 blue 30
  EXPECT_EQ(px[size_t(12 * 64 + 10)], 0xFFFFFFu);  // its bottom edge is exclusive
  unlink(path.c_str());
  rmdir(path.substr(0, path.rfind('/')).c_str());
}

TEST_F(HostScriptTest, AFailedSnapshotIsReportedAndTheScriptGoesOn) {
  Load("snapshot /nonexistent-velmor-dir/x.png\nkey z\nquit\n");
  testing::internal::CaptureStderr();
  Run();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("script line 1: snapshot failed"), std::string::npos) << err;
  ASSERT_FALSE(g_log.empty());
  EXPECT_EQ(g_log[0].w, WPARAM('Z'));
}

TEST_F(HostScriptTest, HeadlessScriptWithoutQuitEndsTheLoop) {
  Host_Script_Set_Quit_At_End(true);
  Load("key q\n");
  testing::internal::CaptureStderr();
  Run();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("without \"quit\""), std::string::npos);
  EXPECT_FALSE(g_log.empty());
}

TEST_F(HostScriptTest, AlertsAreWrittenToStandardErrorWhenHeadless) {
  testing::internal::CaptureStderr();
  EXPECT_TRUE(Host_Report_Alert(13, "Sorry, could not open the preferences file."));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "velmor: alert 13: Sorry, could not open the preferences file.\n");
  Host_Backend_Stop();
  EXPECT_FALSE(Host_Report_Alert(13, "x"));
}

TEST(HostPng, BadInputIsRefused) {
  std::string err;
  EXPECT_FALSE(Host_Write_PNG("never.png", nullptr, 4, 4, err));
  const uint32 px[4] = {0, 0, 0, 0};
  EXPECT_FALSE(Host_Write_PNG("never.png", px, 0, 4, err));
  const std::string path = Temp_Path("junk.png");
  {
    std::ofstream f(path, std::ios::binary);
    f << "\x89PNG\r\n\x1a\n garbage that is not a PNG stream";
  }
  std::vector<uint32> out;
  int32 w, h;
  EXPECT_FALSE(Host_Read_PNG(path, out, w, h, err));
  unlink(path.c_str());
  rmdir(path.substr(0, path.rfind('/')).c_str());
}

TEST(HostBackendStart, EnvironmentErrorsStopTheStart) {
  setenv("VELMOR_BACKEND", "headless", 1);
  unsetenv("VELMOR_SCRIPT");
  struct Case {
    const char* backend;
    const char* screen;
    const char* script;  // contents, or NIL for none
    bool ok;
    const char* message;
  };
  const Case cases[] = {
      {"headless", "800x600", nullptr, true, ""},
      {"headless", "800by600", nullptr, false, "VELMOR_SCREEN"},
      {"headless", "0x600", nullptr, false, "VELMOR_SCREEN"},
      {"vga", "800x600", nullptr, false, "VELMOR_BACKEND"},
      {"headless", "800x600", "wait 1\nkey Ctrl+Nope\n", false, ":2: key Ctrl+Nope: unknown key"},
  };
  for (const Case& c : cases) {
    setenv("VELMOR_BACKEND", c.backend, 1);
    setenv("VELMOR_SCREEN", c.screen, 1);
    std::string path;
    if (c.script) {
      path = Temp_Path("s.txt");
      std::ofstream(path) << c.script;
      setenv("VELMOR_SCRIPT", path.c_str(), 1);
    }
    testing::internal::CaptureStderr();
    const bool ok = Host_Backend_Start();
    const std::string err = testing::internal::GetCapturedStderr();
    SCOPED_TRACE(c.screen);
    EXPECT_EQ(ok, c.ok);
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
    if (ok) {
      EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
      EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    }
    Host_Backend_Stop();
    Host_Signals_Remove();
    Host_Script_Reset();
    Host_Clock_Set_Manual(false);
    unsetenv("VELMOR_SCRIPT");
    if (!path.empty()) {
      unlink(path.c_str());
      rmdir(path.substr(0, path.rfind('/')).c_str());
    }
  }
  unsetenv("VELMOR_BACKEND");
  unsetenv("VELMOR_SCREEN");
}

// The real display backend, when one can start: a window shows, input
// arrives, and the screen size is reported.
TEST(HostSdlSmoke, WindowsShowAndTheScreenIsReported) {
  const char* display = std::getenv("DISPLAY");
  const bool real = display && *display;
  if (!real) setenv("SDL_VIDEODRIVER", "dummy", 1);  // SDL's own display-less driver
  setenv("VELMOR_BACKEND", "sdl", 1);
  unsetenv("VELMOR_SCRIPT");
  testing::internal::CaptureStderr();
  const bool started = Host_Backend_Start();
  testing::internal::GetCapturedStderr();
  unsetenv("VELMOR_BACKEND");
  if (!real) unsetenv("SDL_VIDEODRIVER");
  if (!started) GTEST_SKIP() << "SDL cannot start here";
  EXPECT_EQ(Host_Backend_Kind(), HostBackendKind::SDL);
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  WNDCLASS wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "SMOKE";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  RegisterClass(&wc);
  HWND w = CreateWindowEx(0, "SMOKE", u"smoke", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 120, 80, nullptr, nullptr,
                          nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  MSG m;
  for (int i = 0; i < 20; ++i) {
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
    Host_Wait_Message(5);
  }
  EXPECT_FALSE(GetUpdateRect(w, nullptr, false));  // painted through the loop
  Host_Win_Reset();
  Host_Backend_Stop();
  Host_Signals_Remove();
}

}  // namespace
