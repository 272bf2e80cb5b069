// The grid browser: its layout per bar on a large and a small screen, the
// page it opens on, paging with wrap and jumps, the paper list's letter
// jumps, and the modal window driven by scripted keys and clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <filesystem>

#include "FontTestSupport.h"
#include "NodeTestSupport.h"
#include "ProgramShotSupport.h"
#include "SoundTestSupport.h"
#include "doc/VoskPrev.h"
#include "doc/VoskTmpl.h"
#include "host/HostScript.h"
#include "platform/QDRect.h"
#include "platform/SysDlog.h"
#include "platform/SysFont.h"
#include "platform/SysInfo.h"
#include "platform/SysUnicode.h"
#include "ui/VoskBar.h"
#include "ui/VoskBrow.h"

namespace {

struct Screen {
  int16 w, h;
};
constexpr Screen kScreens[] = {{1280, 1024}, {640, 480}};

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// Every bar on both screens: at least one column and one row, cells of the
// bar's size inside the cell box, the box, the echo and the buttons inside
// the window and apart, and the window on the screen.
TEST(BrowserLayout, EveryBarFitsOnLargeAndSmallScreens) {
  struct Bar {
    a_bar bar;
    int16 w, h;
  };
  const Bar bars[] = {{FONT_BAR, 260, 20},    {PAPER_BAR, 240, 20},      {BORDER_BAR, 123, 98},
                      {CANVAS_BAR, 98, 98},   {PATTERN_BAR, 96, 96},     {GRADIENT_BAR, 45, 45},
                      {SYMBOL_BAR, 90, 90},   {PAINT_COLORBAR, 12, 13},  {STAMP_BAR, 50, 50}};
  for (const Screen& s : kScreens) {
    for (const Bar& bar : bars) {
      SCOPED_TRACE(testing::Message() << s.w << " x " << s.h << " bar " << int(bar.bar));
      a_browser_rec b;
      Browser_Layout(bar.bar, s.w, s.h, 1, 900, 1, b);
      ASSERT_GE(b.celln.h, 1);
      ASSERT_GE(b.celln.v, 1);
      EXPECT_EQ(b.celltotn, b.celln.h * b.celln.v);
      EXPECT_EQ(b.cellsize.h, bar.w);
      EXPECT_EQ(b.cellsize.v, bar.h);
      EXPECT_LE(b.bb_window.right, s.w);
      EXPECT_LE(b.bb_window.bottom, s.h);
      EXPECT_TRUE(Inside(b.bb_cells, b.bb_window));
      const Rect last = Browser_ID_To_Cell(b, int16(std::min<int32>(b.display_id + b.celltotn - 1, 900)));
      EXPECT_TRUE(Inside(last, b.bb_cells));
      for (const Rect& r : {b.bb_prev, b.bb_next, b.bb_num, b.bb_cancel}) {
        EXPECT_TRUE(Inside(r, b.bb_window));
        EXPECT_GE(r.top, b.bb_cells.bottom);
      }
      EXPECT_LE(b.bb_num.right, b.bb_cancel.left);
      if (bar.bar == PAPER_BAR) {
        // The echo beside the cells, as wide as the screen leaves it.
        EXPECT_TRUE(Inside(b.bb_echo, b.bb_window));
        EXPECT_GE(b.bb_echo.left, b.bb_cells.right);
        EXPECT_GT(b.bb_echo.right - b.bb_echo.left, 300);
        EXPECT_NE(b.jumpproc, nullptr);
        EXPECT_NE(b.echoproc, nullptr);
      } else {
        EXPECT_TRUE(EmptyRect(b.bb_echo));
        EXPECT_EQ(b.jumpproc, nullptr);
      }
    }
  }
  // The large screen: three columns of layouts beside an echo of 380.
  a_browser_rec b;
  Browser_Layout(PAPER_BAR, 1280, 1024, 1, 900, 1, b);
  EXPECT_EQ(b.celln.h, 3);
  EXPECT_EQ(b.celln.v, (921 - 16 - 78) / 21);
  // On 640 pixels the echo gives way to one column.
  Browser_Layout(PAPER_BAR, 640, 480, 1, 900, 1, b);
  EXPECT_EQ(b.celln.h, 1);
  EXPECT_EQ(b.bb_echo.right - b.bb_cells.right, 633 - 16 - 241);
  // A few ids take only the rows they need.
  Browser_Layout(CANVAS_BAR, 1280, 1024, 1, 14, 1, b);
  EXPECT_EQ(b.celln.h, 11);
  EXPECT_EQ(b.celln.v, 2);
}

// The first page shown holds chosen; paging wraps at both ends, Home and End
// go to the first and the last page, a page jump lands on the id's page.
TEST(BrowserLayout, PagesHoldChosenAndWrap) {
  a_browser_rec b;
  // The palette: 0 .. 255 in pages of 11 x 4 on a small screen.
  Browser_Layout(GRADIENT_BAR, 640, 480, 0, 255, 100, b);
  const int16 per = b.celltotn;
  ASSERT_GT(per, 1);
  ASSERT_LT(per, 100);
  EXPECT_EQ(b.display_id, 100 - 100 % per);
  EXPECT_FALSE(EmptyRect(Browser_ID_To_Cell(b, 100)));
  EXPECT_TRUE(EmptyRect(Browser_ID_To_Cell(b, int16(b.display_id - 1))));
  EXPECT_TRUE(EmptyRect(Browser_ID_To_Cell(b, int16(b.display_id + per))));
  // Chosen outside the ids: the first page.
  Browser_Layout(GRADIENT_BAR, 640, 480, 0, 255, 900, b);
  EXPECT_EQ(b.display_id, 255 - 255 % per);
  Browser_Layout(GRADIENT_BAR, 640, 480, 1, 255, -5, b);
  EXPECT_EQ(b.display_id, 1);

  Browser_Layout(GRADIENT_BAR, 640, 480, 1, 255, 1, b);
  const int16 last_page = int16(255 - (255 - 1) % per);
  struct Step {
    int32 delta;
    int16 display;
    bool changed;
  };
  const Step steps[] = {
      {-per, last_page, true},                 // back from the first page: the last
      {per, 1, true},                          // on from the last: the first
      {per, int16(1 + per), true},             // the second page
      {BROWSER_JUMP, last_page, true},         // End
      {BROWSER_JUMP, last_page, false},        // End again: no change
      {-BROWSER_JUMP, 1, true},                // Home
      {-BROWSER_JUMP, 1, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.delta);
    EXPECT_EQ(Browser_Delta(b, s.delta), s.changed);
    EXPECT_EQ(b.display_id, s.display);
  }
  EXPECT_EQ(Browser_Page_Of(b, 200), int16(200 - (200 - 1) % per));
  EXPECT_EQ(Browser_Page_Of(b, BROWSER_JUMP), 1);

  // A bar whose cells run down the columns first (the layouts).
  const a_grid_order saved = gs.bard[PAPER_BAR].order;
  gs.bard[PAPER_BAR].order = TBLR;
  Browser_Layout(PAPER_BAR, 1280, 1024, 1, 900, 1, b);
  const int16 rows = b.celln.v;
  ASSERT_GT(b.celln.h, 1);
  const Rect first = Browser_ID_To_Cell(b, 1), below = Browser_ID_To_Cell(b, 2),
             next_column = Browser_ID_To_Cell(b, int16(1 + rows));
  EXPECT_EQ(below.left, first.left);
  EXPECT_EQ(below.top, first.top + 21);
  EXPECT_EQ(next_column.top, first.top);
  EXPECT_EQ(next_column.left, first.left + 241);
  gs.bard[PAPER_BAR].order = saved;
}

// The paper list: this platform's layouts ordered by sort key and name; a
// kind set narrows it; letters jump to the first sort key with that letter
// or a later one, and past every key to BROWSER_JUMP.
TEST(PaperList, ListsSortsAndFindsByLetter) {
  Build_Template_List();
  ASSERT_GT(t.tlist_n, 20u);
  uint32 on_platform = 0;
  for (uint32 tx = 1; tx <= NTEMPLATES; ++tx)
    if ((g_ctemplates[tx - 1].platforms & (1u << PLATFORM_WIN)) != 0) ++on_platform;
  EXPECT_EQ(t.tlist_n, on_platform);
  for (uint32 k = 1; k < t.tlist_n; ++k) {
    const a_ctemplate& a = g_ctemplates[t.tlist[k - 1] - 1];
    const a_ctemplate& b = g_ctemplates[t.tlist[k] - 1];
    const int c = std::memcmp(a.sort, b.sort, sizeof a.sort);
    ASSERT_TRUE(c < 0 || (c == 0 && std::memcmp(a.label, b.label, sizeof a.label) <= 0)) << k;
  }
  // Letters: the first place of each initial, a gap going to the next.
  char highest = 0;
  for (uint32 k = 0; k < t.tlist_n; ++k)
    highest = std::max(highest, char(std::toupper(uint8(g_ctemplates[t.tlist[k] - 1].sort[0]))));
  ASSERT_GE(highest, 'A');
  for (char l = 'A'; l <= 'Z'; ++l) {
    SCOPED_TRACE(l);
    const int16 at = PaperBar_Find(l);
    if (l > highest) {
      EXPECT_EQ(at, BROWSER_JUMP);
      continue;
    }
    ASSERT_GE(at, 1);
    const char got = char(std::toupper(uint8(g_ctemplates[t.tlist[at - 1] - 1].sort[0])));
    EXPECT_GE(got, l);
    if (at > 1) EXPECT_LT(char(std::toupper(uint8(g_ctemplates[t.tlist[at - 2] - 1].sort[0]))), l);
    EXPECT_EQ(PaperBar_Find(char(std::tolower(l))), at);
  }
  EXPECT_EQ(PaperBar_Find('1'), BROWSER_JUMP);
  // Only layouts with a disc face; none for an empty set.
  a_unitkind_set discs;
  discs.set(UNIT_CD);
  Build_Paper_List2(discs);
  ASSERT_GT(t.tlist_n, 0u);
  ASSERT_LT(t.tlist_n, on_platform);
  for (uint32 k = 0; k < t.tlist_n; ++k) EXPECT_TRUE(Is_Kind_In_Template(UNIT_CD, t.tlist[k]));
  Build_Paper_List2(a_unitkind_set{});
  EXPECT_EQ(t.tlist_n, 0u);
  Build_Template_List();
}

// --- The modal window ----------------------------------------------------------------

class BrowserRun : public nodetest::NodeTree {
 protected:
  std::optional<soundtest::SoundRecorder> sounds_;
  void SetUp() override {
    nodetest::NodeTree::SetUp();
    SysDlog_Init();
    sounds_.emplace();
    Build_Template_List();
  }
  void TearDown() override {
    sounds_.reset();
    nodetest::NodeTree::TearDown();
  }
  static void Script(const std::string& text) {
    std::string err;
    ASSERT_TRUE(Host_Script_Load_Text(text, "browser", err)) << err;
  }
  // Where a point of the browser's client area falls in the main window's
  // client area (the script's coordinates): the window is centred across
  // the screen and three tenths of the free height down, under its title.
  static std::string Click_At(const a_browser_rec& b, Point p) {
    const int16 sw = int16(info_videoavail.right - info_videoavail.left);
    const int16 sh = int16(info_videoavail.bottom - info_videoavail.top);
    const int32 left = info_videoavail.left + (sw - b.bb_window.right) / 2;
    const int32 top = info_videoavail.top + (sh - (b.bb_window.bottom + 22)) * 3 / 10 + 8;
    POINT origin{0, 0};
    ClientToScreen(gs.outer_window, &origin);
    return "click " + std::to_string(left + p.h - origin.x) + " " + std::to_string(top + p.v - origin.y) + "\n";
  }
  static Point Middle(const Rect& r) { return Point{int16((r.top + r.bottom) / 2), int16((r.left + r.right) / 2)}; }
};

// Keys page the paper browser: End shows the last page, Page Down wraps to
// the first, a letter jumps, an unmatched letter shows the first page,
// Escape gives FALSE and leaves chosen alone.
TEST_F(BrowserRun, KeysPageAndJumpInThePaperBrowser) {
  const int16 sw = int16(info_videobounds.right - info_videobounds.left);
  const int16 sh = int16(info_videobounds.bottom - info_videobounds.top);
  a_browser_rec b;
  Browser_Layout(PAPER_BAR, sw, sh, 1, int16(t.tlist_n), 1, b);
  ASSERT_LT(b.celltotn, int16(t.tlist_n)) << "the catalogue fills more than one page";
  const int16 last_page = int16(t.tlist_n - (t.tlist_n - 1) % b.celltotn);
  char last_initial = 'A';
  for (char l = 'Z'; l >= 'A'; --l)
    if (PaperBar_Find(l) != BROWSER_JUMP) {
      last_initial = l;
      break;
    }
  struct Case {
    const char* keys;
    int16 display;
  };
  const std::string jump_to(1, char(std::tolower(last_initial)));
  const Case cases[] = {
      {"key End\n", last_page},
      {"key End\nkey PageDown\n", 1},
      {"key PageUp\n", last_page},
      {"key Right\nkey Left\nkey Down\n", int16(1 + b.celltotn)},
      {"key End\nkey Home\n", 1},
      {"key End\ntype {\n", 1},
      {"type }\n", last_page},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    Script(std::string(c.keys) + "key Escape\n");
    int16 chosen = 1;
    EXPECT_FALSE(Browser_Choose(PAPER_BAR, chosen));
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(g_browser.display_id, c.display);
  }
  // A letter: the page of its first layout.
  Script("type " + jump_to + "\nkey Escape\n");
  int16 chosen = 1;
  Browser_Choose(PAPER_BAR, chosen);
  EXPECT_EQ(g_browser.display_id, Browser_Page_Of(b, PaperBar_Find(last_initial)));
  // A letter past every layout's initial (when there is one): the first page.
  if (last_initial < 'Z') {
    Script("key End\ntype z\nkey Escape\n");
    Browser_Choose(PAPER_BAR, chosen);
    EXPECT_EQ(g_browser.display_id, 1);
  }
  // A digit means nothing: sound 136.
  sounds_->Clear();
  Script("type 5\nkey Escape\n");
  Browser_Choose(PAPER_BAR, chosen);
  const std::vector<int16> ids = sounds_->Ids();
  EXPECT_NE(std::find(ids.begin(), ids.end(), SND_NULL), ids.end());
}

// A click on a cell of the second page chooses it (sound 133); Return takes
// the framed cell; a click on Cancel gives FALSE.
TEST_F(BrowserRun, AClickChoosesACellAndCancelGivesFalse) {
  const int16 sw = int16(info_videobounds.right - info_videobounds.left);
  const int16 sh = int16(info_videobounds.bottom - info_videobounds.top);
  a_browser_rec b;
  Browser_Layout(PAPER_BAR, sw, sh, 1, int16(t.tlist_n), 1, b);
  a_browser_rec second = b;
  second.display_id = int16(1 + b.celltotn);
  const int16 target = int16(second.display_id + 2);
  ASSERT_LE(target, int16(t.tlist_n));
  Script("key PageDown\n" + Click_At(b, Middle(Browser_ID_To_Cell(second, target))));
  int16 chosen = 1;
  sounds_->Clear();
  ASSERT_TRUE(Browser_Choose(PAPER_BAR, chosen));
  EXPECT_EQ(chosen, target);
  EXPECT_EQ(sounds_->Ids().back(), SND_BAR_SELECT);

  Script("key Return\n");
  chosen = 7;
  ASSERT_TRUE(Browser_Choose(PAPER_BAR, chosen));
  EXPECT_EQ(chosen, 7);

  Script(Click_At(b, Middle(b.bb_cancel)));
  chosen = 5;
  EXPECT_FALSE(Browser_Choose(PAPER_BAR, chosen));
  EXPECT_EQ(chosen, 5);
}

// Snapshots of the browser while it runs: each page sound takes one of the
// window as it was before the step.
std::vector<std::string> g_shot_paths;
size_t g_shots_taken = 0;
int32 Snapshot_On_Sound(const a_keyset& key) {
  if (key.a == SOUND_KEY_FAMILY && g_shots_taken < g_shot_paths.size()) {
    std::string err;
    EXPECT_TRUE(Host_Snapshot_Window(GetActiveWindow(), g_shot_paths[g_shots_taken++], err)) << err;
  }
  return 0;
}

// The paper browser as a user sees it: layouts listed by name, the sheet of
// the layout under the mouse beside them (paper, units, captions, arrows);
// snapshots under the build folder for a look.
TEST_F(BrowserRun, ThePaperBrowserShowsTheSheetUnderTheMouse) {
  const std::string exe = VELMOR4_EXE;
  const std::string dir = exe.substr(0, exe.find_last_of('/')) + "/e2e/browsers";
  std::filesystem::create_directories(dir);
  g_shot_paths = {dir + "/paper-hover.png", dir + "/paper-last-page.png"};
  g_shots_taken = 0;
  for (const std::string& p : g_shot_paths) std::filesystem::remove(p);
  const int16 sw = int16(info_videobounds.right - info_videobounds.left);
  const int16 sh = int16(info_videobounds.bottom - info_videobounds.top);
  a_browser_rec b;
  Browser_Layout(PAPER_BAR, sw, sh, 1, int16(t.tlist_n), 1, b);
  // The first layout of the first page with several units on a sheet.
  int16 sheet = 0;
  for (int16 id = 1; id < b.celltotn && sheet == 0; ++id) {
    a_template tmpl{};
    if (Expand_Template(g_ctemplates[t.tlist[id - 1] - 1], tmpl) == EXPAND_OK && tmpl.nunits >= 3 &&
        !Is_Skipping_Paper_Display(tmpl, true))
      sheet = id;
  }
  ASSERT_NE(sheet, 0);
  const std::string at = Click_At(b, Middle(Browser_ID_To_Cell(b, sheet)));
  sounds_.reset();
  const a_sound_library saved = g_sound_library;
  g_sound_library = a_sound_library{Snapshot_On_Sound, soundtest::No_Lock, soundtest::No_Unlock};
  Sound_Enable(true);
  Script("move" + at.substr(5) + "wait 3\nkey End\nkey Home\nkey Escape\n");
  int16 chosen = 1;
  Browser_Choose(PAPER_BAR, chosen);
  g_sound_library = saved;
  ASSERT_EQ(g_shots_taken, 2u);
  programshot::Shot shot;
  std::string why;
  ASSERT_TRUE(shot.Read(g_shot_paths[0], why)) << why;
  ASSERT_EQ(shot.w, b.bb_window.right);
  // The echo holds the white paper and the units' blue ink.
  int paper = 0, ink = 0;
  for (int y = b.bb_echo.top; y < b.bb_echo.bottom; ++y)
    for (int x = b.bb_echo.left; x < b.bb_echo.right; ++x) {
      const uint32 c = shot.At(x, y);
      if (c == 0xFFFFFF) ++paper;
      if (c == 0x243882) ++ink;
    }
  EXPECT_GT(paper, 1000);
  EXPECT_GT(ink, 50);
}

// The sizes (width x height) of the pieces of ink in r of shot, each piece
// the dark pixels that touch one another.
std::vector<std::pair<int, int>> Ink_Pieces(const programshot::Shot& shot, const Rect& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  std::vector<char> seen(size_t(w) * size_t(h), 0);
  const auto dark = [&](int x, int y) { return (shot.At(r.left + x, r.top + y) & 0xFF) < 128; };
  std::vector<std::pair<int, int>> pieces;
  for (int y0 = 0; y0 < h; ++y0)
    for (int x0 = 0; x0 < w; ++x0) {
      if (seen[size_t(y0) * size_t(w) + size_t(x0)] || !dark(x0, y0)) continue;
      int left = x0, right = x0, top = y0, bottom = y0;
      std::vector<std::pair<int, int>> todo{{x0, y0}};
      seen[size_t(y0) * size_t(w) + size_t(x0)] = 1;
      while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= w || ny >= h || seen[size_t(ny) * size_t(w) + size_t(nx)] || !dark(nx, ny))
              continue;
            seen[size_t(ny) * size_t(w) + size_t(nx)] = 1;
            todo.push_back({nx, ny});
          }
      }
      pieces.push_back({right - left + 1, bottom - top + 1});
    }
  return pieces;
}

// The font browser paged as a person pages it, on a screen small enough for
// the pinned fonts and an Adlam face to fill two pages: every cell shows its
// font's name, the Adlam face (no Latin letters) its name in the interface
// font rather than a row of boxes, and the second page keeps nothing of the
// frame round the chosen font on the first. Snapshots under the build
// folder for a look.
TEST_F(BrowserRun, TheFontBrowserShowsEveryNameAndOnlyItsOwnPage) {
  if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
  const std::string adlam = "/usr/share/fonts/truetype/noto/NotoSansAdlam-Regular.ttf";
  ASSERT_EQ(access(adlam.c_str(), R_OK), 0) << adlam << " is missing: package fonts-noto-core brings it";
  const std::string fonts = Pinned_DejaVu().Dir() + "/adlam";
  std::filesystem::create_directories(fonts);
  std::error_code ec;
  std::filesystem::create_symlink(adlam, fonts + "/NotoSansAdlam-Regular.ttf", ec);
  const std::string conf = Pinned_DejaVu().Dir() + "/adlam.conf";
  std::ofstream(conf) << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                      << "  <dir>" << kDejaVuDir << "</dir>\n  <dir>" << fonts << "</dir>\n"
                      << "  <cachedir>" << Pinned_DejaVu().Dir() << "/cache</cachedir>\n</fontconfig>\n";
  setenv("FONTCONFIG_FILE", conf.c_str(), 1);
  Host_Fonts_Reset();
  Fonts_Stop();
  Fonts_Init();
  Bar_Init();
  uint32 adlam_x = 0;
  for (uint32 f = 1; f <= n_fontlist && adlam_x == 0; ++f) {
    uStr255 name{};
    FontX_To_Name(f, UStrSpan(name));
    char utf8[256] = {};
    UTF16_To_UTF8(CUStrSpan(name), StrSpan(utf8));
    if (std::strcmp(utf8, "Noto Sans Adlam") == 0) adlam_x = f;
  }
  const Rect screen = info_videobounds;
  info_videobounds = Rect{0, 0, 200, 640};
  int16 first = 0, last = 0;
  ASSERT_TRUE(Browser_Ids(FONT_BAR, first, last));
  a_browser_rec b;
  Browser_Layout(FONT_BAR, 640, 200, first, last, first, b);
  const std::string exe = VELMOR4_EXE;
  const std::string dir = exe.substr(0, exe.find_last_of('/')) + "/e2e/browsers";
  std::filesystem::create_directories(dir);
  g_shot_paths = {dir + "/fonts-page-1.png", dir + "/fonts-page-2.png"};
  g_shots_taken = 0;
  for (const std::string& p : g_shot_paths) std::filesystem::remove(p);
  sounds_.reset();
  const a_sound_library saved = g_sound_library;
  g_sound_library = a_sound_library{Snapshot_On_Sound, soundtest::No_Lock, soundtest::No_Unlock};
  Sound_Enable(true);
  // Each page's snapshot is taken at the sound of the key that leaves it.
  Script("key PageDown\nkey Home\nkey Escape\n");
  int16 chosen = first;
  Browser_Choose(FONT_BAR, chosen);
  g_sound_library = saved;
  info_videobounds = screen;
  Bar_Stop();
  setenv("FONTCONFIG_FILE", "", 1);
  Pin_DejaVu();
  Fonts_Stop();
  Fonts_Init();
  ASSERT_NE(adlam_x, 0u) << "the Adlam face is listed";
  ASSERT_GT(int32(last - first + 1), int32(b.celltotn)) << "the fonts fill two pages";
  ASSERT_EQ(g_shots_taken, 2u);
  for (int page = 0; page < 2; ++page) {
    SCOPED_TRACE("page " + std::to_string(page + 1));
    programshot::Shot shot;
    std::string why;
    ASSERT_TRUE(shot.Read(g_shot_paths[size_t(page)], why)) << why;
    a_browser_rec shown = b;
    shown.display_id = int16(first + page * b.celltotn);
    for (int16 id = shown.display_id; id <= last && id < shown.display_id + b.celltotn; ++id) {
      const Rect cell = Browser_ID_To_Cell(shown, id);
      int ink = 0;
      for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x) ink += (shot.At(x, y) & 0xFF) < 100 ? 1 : 0;
      EXPECT_GT(ink, 20) << "font " << id << " shows its name";
    }
    if (adlam_x >= uint32(shown.display_id) && adlam_x < uint32(shown.display_id + b.celltotn)) {
      // Letters of several shapes, not one box repeated for every letter.
      std::vector<std::pair<int, int>> pieces = Ink_Pieces(shot, Browser_ID_To_Cell(shown, int16(adlam_x)));
      std::sort(pieces.begin(), pieces.end());
      pieces.erase(std::unique(pieces.begin(), pieces.end()), pieces.end());
      EXPECT_GE(pieces.size(), 5u) << "the Adlam face's name is written, not boxed";
    }
    int frame = 0;
    for (int y = 0; y < shot.h; ++y)
      for (int x = 0; x < shot.w; ++x) frame += shot.At(x, y) == 0xFC3E3E ? 1 : 0;
    if (page == 0) EXPECT_GT(frame, 0) << "the chosen font is framed";
    else EXPECT_EQ(frame, 0) << "nothing of the first page's frame stays";
  }
}

}  // namespace
