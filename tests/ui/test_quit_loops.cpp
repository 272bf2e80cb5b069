// Quitting while a loop of the program's own runs: the end of the session
// (SIGTERM, through the program's own signal handling) and the main
// window's close box during a modal dialog, a modal window and a print job
// of scripted sessions of the main loop on the headless backend.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "doc/VoskFile.h"
#include "platform/VoskDef.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostDialog.h"
#include "host/HostFiles.h"
#include "host/HostPrint.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "host/HostWinCore.h"
#include "pixel/SysBlt.h"
#include "platform/Dialogs.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysCurs.h"
#include "platform/SysDlog.h"
#include "platform/SysInfo.h"
#include "platform/SysKey.h"
#include "platform/SysLoop.h"
#include "platform/SysPrint.h"
#include "platform/SysTrack.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "app/Velmor4.h"
#include "platform/VoskErr.h"
#include "platform/Windowv.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

namespace {

// What the menu command of a session ran into.
struct Seen {
  int16 dialog_result = -99;
  bool8 window_result = true;
  int window_stops = 0;
  int escapes_refused = 0;
  int pages_done = 0;
  bool deferred_paint = false;
  bool main_alive = false;
  bool quit_lost = false;
  bool update_after = false;
  bool job_started = false;
};
Seen g_seen;
void (*g_command)() = nullptr;

void Run_Command(int16, int16, bool8, bool8) {
  if (g_command != nullptr) g_command();
}

class QuitDuringLoops : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    ASSERT_TRUE(Host_Signals_Install());
    Host_Script_Set_Quit_At_End(false);
    Host_Clock_Set_Manual(true);
    Resources_Init();
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
    SysDlog_Init();
    Dialogs_Init();
    VoskErr_Init();
    SysPrint_Init();
    Register_Classes();
    gs.controller = HUMAN;  // alerts are shown as dialogs
    gs.pref.tot_window = Rect{60, 100, 700, 1000};
    Static_Init();
    ASSERT_NE(gs.outer_window, nullptr);
    main_hwnd = gs.outer_window;
    Host_Set_Main_Window(main_hwnd);
    App_Activate();
    Cursor_Init();
    Intf_Init();
    Set_Command_Line({});
    g_seen = Seen{};
    g_command = nullptr;
    g_intf_menu_observer = Run_Command;
    // State variables an earlier test marked and never settled would lay the
    // window out afresh at the first interaction.
    SV_Init();

    Host_Print_Set_Cups(false);
    std::string tmpl = Host_Temp_Dir() + "/quitloops-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    ASSERT_NE(mkdtemp(buf.data()), nullptr);
    dir_ = buf.data();
    Host_Print_Set_Output_Path(dir_ + "/job.png");
  }
  void TearDown() override {
    g_intf_menu_observer = nullptr;
    g_command = nullptr;
    SysPrint_Init();
    Cursor_Stop();
    Static_Stop();
    main_hwnd = nullptr;
    Host_Signals_Remove();
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Stop();
    Host_Clock_Set_Manual(false);
    Host_Print_Set_Output_Path("");
    Host_Print_Set_Cups(true);
    g_quit_pending = false;
    std::vector<std::string> names;
    Host_List_Dir(dir_.c_str(), names);
    for (const std::string& n : names) Host_Delete((dir_ + "/" + n).c_str());
    rmdir(dir_.c_str());
  }
  // Runs the main loop over a script until it ends; `quit` closes every
  // script, so a loop that went on past the quit under test runs the
  // script to its end (and Host_Script_Active tells).
  void Run(const std::string& script) {
    std::string errors;
    ASSERT_TRUE(Host_Script_Load_Text(script, "session", errors)) << errors;
    testing::internal::CaptureStderr();
    Main_Loop();
    err_ = testing::internal::GetCapturedStderr();
  }
  std::vector<std::string> Output() {
    std::vector<std::string> names;
    Host_List_Dir(dir_.c_str(), names);
    return names;
  }
  std::string dir_, err_;
};

// --- A modal dialog -----------------------------------------------------------------

TEST_F(QuitDuringLoops, EndOfSessionCancelsTheAlertAsEscapeWouldAndQuits) {
  // The panels hidden (as Hide Everything hides them over a document); "a"
  // then shows alert 26 in a modal dialog, while which the signal comes.
  gs.tool_show = false;
  Run("key a\nsignal term\nwait 30\ntype xyz\nquit\n");
  EXPECT_NE(err_.find("alert 26:"), std::string::npos) << err_;
  EXPECT_TRUE(Host_Script_Active()) << "the dialog outlived the end of the session";
  EXPECT_EQ(modal_n, 0);
  EXPECT_EQ(Host_Dialog_Modal_Depth(), 0);
  EXPECT_FALSE(g_quit_pending);
  EXPECT_TRUE(IsWindowEnabled(main_hwnd));
}

// --- A modal window with a dialog on top, closed by the close box ---------------------

void Close_Box_Init(HWND) {
  // The desktop's close button of the main window, as the backend reports it.
  hostwin::Backend_Close(main_hwnd);
}
void Record_Exit(HWND d, int16 item) { Modal_Exit(d, item); }

bool8 Refusing_Window(HWND, const EventRecord& e, bool8& okay) {
  okay = true;
  if (e.what == nullEvent && g_seen.dialog_result == -99) {
    g_seen.dialog_result = Modal_Dialog(DLOG_ALERT2, 0, 1, Close_Box_Init, Record_Exit, nullptr);
    return false;
  }
  if (e.what == keyDown && Event_KeyCode(e) == 0x1B) ++g_seen.escapes_refused;
  return false;  // never closes by itself
}
void Count_Stop(HWND) { ++g_seen.window_stops; }

TEST_F(QuitDuringLoops, CloseBoxCancelsADialogInsideAModalWindowAndQuits) {
  g_command = [] { g_seen.window_result = Modal_Window(200, 100, nullptr, Count_Stop, Refusing_Window); };
  Run("menu 501\nwait 30\nquit\n");
  EXPECT_EQ(g_seen.dialog_result, 2) << "cancelled with its cancel item";
  EXPECT_FALSE(g_seen.window_result);
  EXPECT_GE(g_seen.escapes_refused, 1);
  EXPECT_EQ(g_seen.window_stops, 1);
  EXPECT_TRUE(Host_Script_Active()) << "the loops outlived the close";
  EXPECT_EQ(modal_n + mwin_n + n_winstack, 0);
  EXPECT_TRUE(IsWindow(main_hwnd));
  EXPECT_TRUE(IsWindowEnabled(main_hwnd));
}

// --- A print job ----------------------------------------------------------------------

void Print_Pages() {
  Handle dm = nullptr;
  if (Is_Printer_Avail()) dm = g_print.devmode_hdl;
  if (dm != nullptr) {
    auto* mode = reinterpret_cast<DEVMODEA*>(Handle_Lock(dm));
    mode->dmPrintQuality = mode->dmYResolution = 36;
    Handle_Unlock(dm);
  }
  int16 nreps = 0;
  g_seen.job_started = VP_Init(false, false, false, a_fpoint{210.0f, 297.0f}, 0, "Job", nreps);
  if (!g_seen.job_started) return;
  if (VP_OpenDoc()) {
    for (int page = 0; page < 5; ++page) {
      if (!VP_OpenPage()) break;
      // The interface asks to be painted while the page prints.
      InvalidateRect(main_hwnd, nullptr, true);
      const bool closed = VP_ClosePage();
      g_seen.deferred_paint |= g_print.deferred_paint;
      if (!closed) break;
      ++g_seen.pages_done;
    }
    VP_CloseDoc();
  }
  VP_Stop(0);
  g_seen.main_alive = IsWindow(main_hwnd);
  g_seen.update_after = GetUpdateRect(main_hwnd, nullptr, false);
  // A quit that went missing would leave the loop running for ever: note
  // it, and end the loop anyway.
  MSG m;
  if (!g_quit_pending && !g_doneflag && !PeekMessage(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) {
    g_seen.quit_lost = true;
    PostQuitMessage(0);
  }
}

TEST_F(QuitDuringLoops, EndOfSessionOrQuitDuringPrintingStopsTheJobAndQuits) {
  // The signal, and the script's own quit, reach the job's abort procedure
  // while the first page prints (a script command runs at each look for
  // input: the signal at the page's start, its handling at the page's end;
  // the mouse move at the start, the quit at the end).
  for (const char* ending : {"move 5 5\nquit", "signal term"}) {
    SCOPED_TRACE(ending);
    SysPrint_Init();
    g_seen = Seen{};
    g_command = Print_Pages;
    Run(std::string("menu 309\n") + ending + "\nwait 30\nmenu 309\nquit\n");
    ASSERT_TRUE(g_seen.job_started);
    EXPECT_FALSE(g_seen.quit_lost) << "the quit went missing in the print loop";
    EXPECT_LT(g_seen.pages_done, 5) << "the job was not stopped";
    EXPECT_TRUE(Output().empty()) << "a stopped job leaves no file";
    EXPECT_EQ(err_.find("alert 20"), std::string::npos) << "no alert to answer while quitting: " << err_;
    EXPECT_TRUE(g_seen.main_alive);
    EXPECT_TRUE(g_seen.deferred_paint) << "the paint during the page waits for the job";
    EXPECT_TRUE(g_seen.update_after) << "and the window repaints after it";
    EXPECT_FALSE(Print_Job_Running());
    EXPECT_EQ(abort_dialog, nullptr);
    if (std::string(ending) == "signal term") {
      EXPECT_TRUE(Host_Script_Active()) << "the job outlived the signal";
    }
  }
}

}  // namespace
