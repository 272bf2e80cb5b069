// The About box over the program's main window on the headless backend: its
// picture and version line, the press that closes it, and the end of the
// session closing it first. The box as it was at the press goes to
// <build>/e2e/help/about-box.png.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "NodeTestSupport.h"
#include "SoundTestSupport.h"
#include "host/HostBackend.h"
#include "host/HostScript.h"
#include "platform/SysDlog.h"
#include "platform/SysLoop.h"
#include "platform/SysWin.h"
#include "platform/Windowv.h"
#include "ui/VoskAbou.h"

namespace {

// The About window as it was when the closing sound was asked for.
struct a_seen_about {
  bool seen = false;
  std::u16string title;
  std::vector<uint32> px;
  int32 w = 0, h = 0;
};
a_seen_about g_seen;

int32 Capture_At_Sound(const a_keyset& key) {
  HWND w = About_Window();
  if (key.a == SOUND_KEY_FAMILY && key.c == SND_STENCIL_PREVIEW && w != nullptr && !g_seen.seen) {
    g_seen.seen = true;
    char16_t title[32] = {};
    GetWindowTextW(w, title, 32);
    g_seen.title = title;
    Host_Window_Compose(w, g_seen.px, g_seen.w, g_seen.h);
  }
  return soundtest::Record_Size(key);
}

uint32 Rgb(const std::vector<uint32>& px, int32 w, int x, int y) {
  return px[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFF;
}
bool Dark(uint32 c) { return ((c >> 16) & 0xFF) < 90 && ((c >> 8) & 0xFF) < 90 && (c & 0xFF) < 90; }

class AboutBox : public nodetest::NodeTree {
 protected:
  void SetUp() override {
    nodetest::NodeTree::SetUp();
    if (HasFatalFailure()) return;
    SysDlog_Init();  // the modal windows' class
    g_seen = a_seen_about{};
    Host_Script_Set_Quit_At_End(false);
  }
  void TearDown() override {
    g_quit_pending = false;
    g_doneflag = false;
    nodetest::NodeTree::TearDown();
  }
  // Paints the loaded picture into a window of its size with painter and
  // reads the window back.
  void Paint_With(void (*painter)(HWND), std::vector<uint32>& px, int32& w, int32& h) {
    HWND win = New_Window(Rect{100, 100, 380, 620}, "", true, 1, nullptr, gs.outer_window, nullptr);
    ASSERT_NE(win, nullptr);
    painter(win);
    ASSERT_TRUE(Host_Window_Compose(win, px, w, h));
    CloseWindow(win);
  }
};

// The About picture with the version line in the band at its right; any
// other picture alone.
TEST_F(AboutBox, PaintsThePictureAndTheVersion) {
  if (!fonts_) GTEST_FAIL() << No_DejaVu_Message();
  ASSERT_TRUE(About_Open(ABOUT_PICTURE));
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  Paint_With(About_Paint, px, w, h);
  ASSERT_EQ(w, 520);
  ASSERT_EQ(h, 280);
  // Dark letters in the band from (right - 305, 140) to (right, 172), none
  // of them in the band's left and right margins.
  int dark = 0, stray = 0;
  for (int y = 140; y < 172; ++y)
    for (int x = w - 305; x < w; ++x) {
      if (!Dark(Rgb(px, w, x, y))) continue;
      if (x < w - 305 + 40 || x >= w - 40) ++stray;
      ++dark;
    }
  EXPECT_GT(dark, 60);
  EXPECT_EQ(stray, 0);
  // Without the version: the same picture, no dark pixels in the band.
  std::vector<uint32> plain;
  Paint_With(About_Paint2, plain, w, h);
  int plain_dark = 0;
  for (int y = 140; y < 172; ++y)
    for (int x = w - 305; x < w; ++x) plain_dark += Dark(Rgb(plain, w, x, y));
  EXPECT_EQ(plain_dark, 0);
  EXPECT_EQ(Rgb(plain, w, 60, 60), Rgb(px, w, 60, 60));
  About_Close();

  ASSERT_TRUE(Open_Pictures({1001}, 40, 30));
  ASSERT_TRUE(About_Open(1001));
  Paint_With(About_Paint2, plain, w, h);
  EXPECT_EQ(Rgb(plain, w, 0, 0), 0xE9E9E9u);
  EXPECT_EQ(Rgb(plain, w, 39, 29), 0xE9E9E9u);
  About_Close();
}

// A press anywhere, even outside the box, closes it with sound 175; the box
// was up, titled "ABOUT", the size of its picture and painted.
TEST_F(AboutBox, APressAnywhereClosesIt) {
  std::string errors;
  ASSERT_TRUE(Host_Script_Load_Text("wait 5\nclick 3 3\nwait 5\n", "about", errors)) << errors;
  soundtest::SoundRecorder sounds;
  g_sound_library.size = Capture_At_Sound;
  Do_About();
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_STENCIL_PREVIEW});
  ASSERT_TRUE(g_seen.seen);
  EXPECT_EQ(g_seen.title, u"ABOUT");
  EXPECT_EQ(g_seen.w, 520);
  EXPECT_EQ(g_seen.h, 280);
  int dark = 0;
  for (int y = 140; y < 172; ++y)
    for (int x = g_seen.w - 305; x < g_seen.w; ++x) dark += Dark(Rgb(g_seen.px, g_seen.w, x, y));
  EXPECT_GT(dark, 60);
  EXPECT_EQ(About_Window(), nullptr);
  // For a person to look at.
  const std::string shots = (std::filesystem::path(VELMOR4_EXE).parent_path() / "e2e" / "help").string();
  std::filesystem::create_directories(shots);
  std::string why;
  EXPECT_TRUE(Host_Write_PNG(shots + "/about-box.png", g_seen.px.data(), g_seen.w, g_seen.h, why)) << why;
  EXPECT_FALSE(g_quit_pending);
  EXPECT_FALSE(g_doneflag);
}

// SIGTERM and SIGINT close the box without a press; the quit they ask for
// is held for the main loop, which carries it out once the box is gone.
TEST_F(AboutBox, TheEndOfTheSessionClosesIt) {
  ASSERT_TRUE(Host_Signals_Install());
  for (const char* sig : {"term", "int"}) {
    SCOPED_TRACE(sig);
    std::string errors;
    ASSERT_TRUE(Host_Script_Load_Text(std::string("wait 5\nsignal ") + sig + "\nwait 600\n", "about", errors))
        << errors;
    soundtest::SoundRecorder sounds;
    Do_About();
    EXPECT_TRUE(sounds.Ids().empty());
    EXPECT_EQ(About_Window(), nullptr);
    EXPECT_TRUE(g_quit_pending);
    EXPECT_FALSE(g_doneflag);
    uint32 left = 0;
    EXPECT_TRUE(Host_Script_Waiting(left));  // closed by the signal, not by the script's end
    Host_Script_Reset();
    g_quit_pending = false;
  }
  Host_Signals_Remove();
}

}  // namespace
