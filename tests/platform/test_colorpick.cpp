// The colour chooser of Pick_Color on the headless backend: its colour
// arithmetic, scripted answers, keyboard and mouse use, custom colours kept
// for the session, what it draws (a picture of it is left beside the tests
// as color-chooser.png), a damaged template, and the palette calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "WinTestSupport.h"
#include "platform/VoskDef.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostDialog.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "platform/Dialogs.h"
#include "platform/Palettes.h"
#include "platform/ResTestUtil.h"
#include "platform/Resources.h"
#include "platform/SysColorPick.h"
#include "platform/SysDlog.h"
#include "platform/SysErr.h"
#include "platform/SysLoop.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskErr.h"
#include "platform/Windowv.h"

namespace {

a_win_pixel32 Color(uint8 r, uint8 g, uint8 b, uint8 a = 0x5A) {
  a_win_pixel32 p;
  p.r = r;
  p.g = g;
  p.b = b;
  p.a = a;
  return p;
}

// What the shown hook does and saw.
void (*g_inside)(HWND dialog) = nullptr;
bool g_main_enabled_inside = true;
void Shown(HWND dialog) {
  g_main_enabled_inside = IsWindowEnabled(main_hwnd);
  if (g_inside != nullptr) g_inside(dialog);
}

class ColorPickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    wintest::Start_Dialog_Layer();
    main_hwnd = gs.outer_window;
    SetActiveWindow(main_hwnd);
    g_inside = nullptr;
    g_color_chooser_shown_hook = Shown;
  }
  void TearDown() override {
    g_color_chooser_shown_hook = nullptr;
    g_inside = nullptr;
    wintest::Clear_Port_State();
    main_hwnd = gs.outer_window = nullptr;
    Host_Script_Reset();
    wintest::Stop_Headless_Host();
  }
  void Script(const std::string& text) {
    std::string err;
    ASSERT_TRUE(Host_Script_Load_Text(text, "t", err)) << err;
  }
};

// --- Arithmetic ---------------------------------------------------------------------

TEST(ColorArithmetic, HsvOfKnownColorsAndBack) {
  struct Case {
    uint8 r, g, b;
    a_hsv hsv;
  } cases[] = {
      {255, 0, 0, {0, 100, 100}},     {0, 255, 0, {120, 100, 100}},   {0, 0, 255, {240, 100, 100}},
      {255, 255, 0, {60, 100, 100}},  {255, 0, 255, {300, 100, 100}}, {255, 255, 255, {0, 0, 100}},
      {0, 0, 0, {0, 0, 0}},           {128, 128, 128, {0, 0, 50}},    {255, 0, 4, {359, 100, 100}},
      {51, 102, 204, {220, 75, 80}},
  };
  for (const Case& c : cases) {
    const a_hsv h = RGB_To_HSV(c.r, c.g, c.b);
    EXPECT_EQ(h.h, c.hsv.h) << int(c.r) << "," << int(c.g) << "," << int(c.b);
    EXPECT_EQ(h.s, c.hsv.s) << int(c.r) << "," << int(c.g) << "," << int(c.b);
    EXPECT_EQ(h.v, c.hsv.v) << int(c.r) << "," << int(c.g) << "," << int(c.b);
  }
  // Every whole-number HSV of a coarse grid comes back from its RGB within
  // the rounding of 8-bit channels.
  for (int16 hh = 0; hh < 360; hh += 15)
    for (int16 s = 0; s <= 100; s += 20)
      for (int16 v = 20; v <= 100; v += 20) {
        uint8 r, g, b;
        HSV_To_RGB(a_hsv{hh, s, v}, r, g, b);
        uint8 r2, g2, b2;
        HSV_To_RGB(RGB_To_HSV(r, g, b), r2, g2, b2);
        EXPECT_LE(std::abs(int(r) - r2) + std::abs(int(g) - g2) + std::abs(int(b) - b2), 6)
            << hh << " " << s << " " << v;
      }
}

TEST(ColorArithmetic, HexTextsAndBasicColors) {
  uint8 r = 1, g = 2, b = 3;
  EXPECT_TRUE(Parse_Hex_Color("#3366cc", r, g, b));
  EXPECT_EQ(RGB(r, g, b), RGB(0x33, 0x66, 0xCC));
  EXPECT_TRUE(Parse_Hex_Color("FF0080", r, g, b));
  EXPECT_EQ(RGB(r, g, b), RGB(0xFF, 0x00, 0x80));
  for (const char* bad : {"", "#", "12345", "1234567", "#12345G", "##112233", " 112233"})
    EXPECT_FALSE(Parse_Hex_Color(bad, r, g, b)) << bad;
  EXPECT_EQ(Basic_Color(16), RGB(255, 0, 0));      // the row of pure hues starts with red
  EXPECT_EQ(Basic_Color(40), RGB(255, 255, 255));  // the grey row from white
  EXPECT_EQ(Basic_Color(47), RGB(0, 0, 0));        // to black
  std::vector<COLORREF> all;
  for (int32 i = 0; i < kBasicColors; ++i) all.push_back(Basic_Color(i));
  std::sort(all.begin(), all.end());
  EXPECT_EQ(std::unique(all.begin(), all.end()), all.end()) << "basic colors repeat";
}

// --- Answers --------------------------------------------------------------------------

TEST_F(ColorPickTest, ScriptedColorAnswerIsTakenWithoutADialog) {
  Script("answer color #12ab34\n");
  a_win_pixel32 c = Color(1, 2, 3);
  EXPECT_TRUE(Pick_Color("", c));
  EXPECT_EQ(c.r, 0x12);
  EXPECT_EQ(c.g, 0xAB);
  EXPECT_EQ(c.b, 0x34);
  EXPECT_EQ(c.a, 0x5A) << "the fourth byte stays";
}

TEST_F(ColorPickTest, CancelLeavesTheColorAndTheMainWindowEnabled) {
  for (const char* how : {"answer alert 2\n", "key Escape\n", ""}) {
    SCOPED_TRACE(how);
    Script(std::string("key Right\n") + how);
    g_main_enabled_inside = true;
    a_win_pixel32 c = Color(10, 20, 30);
    EXPECT_FALSE(Pick_Color("", c));
    EXPECT_EQ(c.raw, Color(10, 20, 30).raw);
    EXPECT_FALSE(g_main_enabled_inside) << "the main window is disabled while it is up";
    EXPECT_TRUE(IsWindowEnabled(main_hwnd));
    EXPECT_EQ(GetActiveWindow(), main_hwnd);
    EXPECT_EQ(Color_Chooser_Window(), nullptr);
  }
}

void Focus_Hex(HWND d) { SetFocus(GetDlgItem(d, PICK_HEX)); }
void Focus_Field(HWND d) { SetFocus(GetDlgItem(d, PICK_FIELD)); }
void Focus_Red(HWND d) { SetFocus(GetDlgItem(d, PICK_RED)); }

TEST_F(ColorPickTest, TypedFieldsAndKeysChooseTheColor) {
  struct Case {
    void (*focus)(HWND);
    const char* script;
    COLORREF want;
  } cases[] = {
      // The hexadecimal field, typed over.
      {Focus_Hex, "key Ctrl+a\ntype 3366cc\nkey Enter\n", RGB(0x33, 0x66, 0xCC)},
      // A half-typed value changes nothing until it is valid; Enter is OK.
      {Focus_Red, "key Ctrl+a\ntype 2\ntype 5\ntype 5\nkey Enter\n", RGB(255, 0, 0)},
      {Focus_Red, "key Ctrl+a\ntype 7\nanswer alert 1\n", RGB(7, 0, 0)},
      // In the field: Right moves the hue, Shift+Down takes 10 from the
      // saturation.
      {Focus_Field, "key Right\nkey Right\nkey Right\nkey Shift+Down\nanswer alert 1\n", 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.script);
    g_inside = k.focus;
    Script(k.script);
    a_win_pixel32 c = Color(0, 0, 0);
    c.r = 200;  // start at (200, 0, 0): hue 0, saturation 100, value 78
    EXPECT_TRUE(Pick_Color("", c));
    COLORREF want = k.want;
    if (want == 0) {
      uint8 r, g, b;
      HSV_To_RGB(a_hsv{3, 90, 78}, r, g, b);
      want = RGB(r, g, b);
    }
    EXPECT_EQ(RGB(c.r, c.g, c.b), want);
  }
}

// Mouse use of the parts, sent to them as the window layer would.
void Press(HWND part, int32 x, int32 y, bool release = true) {
  SendMessage(part, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  if (release) SendMessage(part, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void Click_Basic_Cell_17(HWND d) {
  HWND grid = GetDlgItem(d, PICK_BASIC);
  RECT r;
  GetClientRect(grid, &r);
  // Cell 17: second column of the third row.
  Press(grid, r.right / 8 + r.right / 16, 2 * r.bottom / 6 + r.bottom / 12);
}

void Drag_In_Field_Then_Value(HWND d) {
  HWND field = GetDlgItem(d, PICK_FIELD);
  RECT r;
  GetClientRect(field, &r);
  // Hue 120 and saturation 100 at the end of the drag (the first pixel
  // column that shows hue 120).
  const int32 x120 = (120 * r.right + 359) / 360;
  Press(field, 0, r.bottom - 1, false);
  SendMessage(field, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x120, 0));
  SendMessage(field, WM_LBUTTONUP, 0, MAKELPARAM(x120, 0));
  HWND strip = GetDlgItem(d, PICK_VALUE);
  GetClientRect(strip, &r);
  Press(strip, 5, (50 * (r.bottom - 1) + 99) / 100);  // value 50
}

TEST_F(ColorPickTest, MouseOnTheGridsFieldAndStrip) {
  g_inside = Click_Basic_Cell_17;
  Script("answer alert 1\n");
  a_win_pixel32 c = Color(0, 0, 0);
  EXPECT_TRUE(Pick_Color("", c));
  EXPECT_EQ(RGB(c.r, c.g, c.b), Basic_Color(17));

  g_inside = Drag_In_Field_Then_Value;
  Script("answer alert 1\n");
  c = Color(255, 255, 255);
  EXPECT_TRUE(Pick_Color("", c));
  uint8 r, g, b;
  HSV_To_RGB(a_hsv{120, 100, 50}, r, g, b);
  EXPECT_EQ(RGB(c.r, c.g, c.b), RGB(r, g, b));
}

TEST_F(ColorPickTest, CustomColorsAreKeptForTheSession) {
  // Two colours added, the second chooser cancelled: they stay, and a
  // third chooser can pick one from the custom grid by keyboard.
  Script("answer alert 3\nanswer alert 2\n");
  a_win_pixel32 c = Color(0x11, 0x22, 0x33);
  EXPECT_FALSE(Pick_Color("", c));
  EXPECT_EQ(custom_colors[0], RGB(0x11, 0x22, 0x33));
  g_inside = Focus_Hex;
  Script("key Ctrl+a\ntype 445566\nanswer alert 3\nanswer alert 1\n");
  EXPECT_TRUE(Pick_Color("", c));
  EXPECT_EQ(custom_colors[0], RGB(0x11, 0x22, 0x33));
  EXPECT_EQ(custom_colors[1], RGB(0x44, 0x55, 0x66));
  // The custom grid starts on the colour given; Right picks the next one.
  g_inside = [](HWND d) { SetFocus(GetDlgItem(d, PICK_CUSTOM)); };
  Script("key Right\nanswer alert 1\n");
  c = Color(0x11, 0x22, 0x33);
  EXPECT_TRUE(Pick_Color("", c));
  EXPECT_EQ(RGB(c.r, c.g, c.b), RGB(0x44, 0x55, 0x66));
}

// --- The picture ------------------------------------------------------------------------

struct Picture {
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  POINT field{0, 0}, strip{0, 0}, preview{0, 0}, basic{0, 0};
  RECT field_r{}, strip_r{}, preview_r{};
};
Picture g_pic;

POINT Origin(HWND d, int16 item) {
  POINT p{0, 0};
  ClientToScreen(GetDlgItem(d, item), &p);
  POINT o{0, 0};
  ClientToScreen(d, &o);
  return POINT{p.x - o.x, p.y - o.y};
}

void Take_Picture(HWND d) {
  UpdateWindow(d);
  for (HWND c = GetWindow(d, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) UpdateWindow(c);
  Host_Window_Compose(d, g_pic.px, g_pic.w, g_pic.h);
  g_pic.field = Origin(d, PICK_FIELD);
  g_pic.strip = Origin(d, PICK_VALUE);
  g_pic.preview = Origin(d, PICK_PREVIEW);
  GetClientRect(GetDlgItem(d, PICK_FIELD), &g_pic.field_r);
  GetClientRect(GetDlgItem(d, PICK_VALUE), &g_pic.strip_r);
  GetClientRect(GetDlgItem(d, PICK_PREVIEW), &g_pic.preview_r);
  std::string err;
  Host_Write_PNG("color-chooser.png", g_pic.px.data(), g_pic.w, g_pic.h, err);
}

uint32 At(const POINT& o, int32 x, int32 y) { return g_pic.px[size_t(o.y + y) * size_t(g_pic.w) + size_t(o.x + x)] & 0xFFFFFF; }
// Within a few steps of a colour in every channel.
bool Near(uint32 got, uint32 want, int32 tol = 8) {
  for (int shift : {0, 8, 16})
    if (std::abs(int32((got >> shift) & 0xFF) - int32((want >> shift) & 0xFF)) > tol) return false;
  return true;
}

TEST_F(ColorPickTest, DrawsTheFieldStripPreviewAndGrids) {
  g_pic = Picture{};
  g_inside = Take_Picture;
  Script("answer alert 2\n");
  a_win_pixel32 c = Color(51, 102, 204);  // hue 220, saturation 75, value 80
  Pick_Color("", c);
  ASSERT_GT(g_pic.w, 0);
  const RECT& f = g_pic.field_r;
  // The field: hue across at full value, saturation down; red top left,
  // white along the bottom.
  EXPECT_TRUE(Near(At(g_pic.field, 1, 1), 0xFF0000u));
  EXPECT_TRUE(Near(At(g_pic.field, f.right / 3, 1), 0x00FF00u));
  EXPECT_TRUE(Near(At(g_pic.field, 2 * f.right / 3, 1), 0x0000FFu));
  EXPECT_TRUE(Near(At(g_pic.field, f.right / 2, f.bottom - 2), 0xFFFFFFu));
  // The ring of the pick sits at hue 220, saturation 75.
  const int32 px = 220 * f.right / 360, py = 25 * (f.bottom - 1) / 100;
  EXPECT_EQ(At(g_pic.field, px + 6, py), 0x000000u);
  EXPECT_EQ(At(g_pic.field, px + 4, py), 0xFFFFFFu);
  // The strip runs from the colour at full value down to black.
  uint8 r, g, b;
  HSV_To_RGB(a_hsv{220, 75, 100}, r, g, b);
  EXPECT_TRUE(Near(At(g_pic.strip, 8, 1), (uint32(r) << 16) | (uint32(g) << 8) | b));
  EXPECT_TRUE(Near(At(g_pic.strip, 8, g_pic.strip_r.bottom - 2), 0x000000u));
  // The preview: the new colour over the current one (the same here), with
  // its labels.
  EXPECT_EQ(At(g_pic.preview, 2, 2), 0x3366CCu);
  EXPECT_EQ(At(g_pic.preview, 2, g_pic.preview_r.bottom - 3), 0x3366CCu);
  int label = 0;
  for (int32 x = 0; x < g_pic.preview_r.right; ++x)
    for (int32 y = 0; y < g_pic.preview_r.bottom / 2; ++y) label += Near(At(g_pic.preview, x, y), 0xFFFFFFu, 60);
  EXPECT_GT(label, 10) << "\"New\" in white on the dark blue";
}

// --- Failures and palettes -----------------------------------------------------------------

std::vector<std::pair<OSType, int16>> g_reports;
void Record_Res(OSType kind, int16 id) { g_reports.emplace_back(kind, id); }

TEST_F(ColorPickTest, DamagedTemplateIsReportedAndRefused) {
  restest::TempFile file(restest::Archive({{kDlogResType, DLOG_PICK_COLOR, {'D', 'L', 'G', '1'}}}));
  const int16 slot = HOpenResFile(0, 0, file.path.c_str(), 0);
  ASSERT_GT(slot, 0);
  g_reports.clear();
  g_item_res_proc = Record_Res;
  SysErr_Set_Running(true);
  a_win_pixel32 c = Color(1, 2, 3);
  EXPECT_FALSE(Pick_Color("", c));
  SysErr_Set_Running(false);
  CloseResFile(slot);
  ASSERT_EQ(g_reports.size(), 1u);
  EXPECT_EQ(g_reports[0], std::make_pair(kDlogResType, DLOG_PICK_COLOR));
  EXPECT_EQ(c.raw, Color(1, 2, 3).raw);
  EXPECT_TRUE(IsWindowEnabled(main_hwnd));
}

TEST_F(ColorPickTest, PalettesAreSelectedIntoTheWindowsContext) {
  LOGPALETTE lp{};
  lp.palVersion = 0x300;
  lp.palNumEntries = 1;
  HPALETTE mine = CreatePalette(&lp);
  ASSERT_NE(mine, nullptr);
  NSetPalette(main_hwnd, mine, 0);
  HDC dc = GetDC(main_hwnd);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), mine);
  ReleaseDC(main_hwnd, dc);
  // Without a program palette ActivatePalette leaves the context alone.
  ActivatePalette(main_hwnd);
  dc = GetDC(main_hwnd);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), mine);
  ReleaseDC(main_hwnd, dc);
  g_video.main_palette = CreatePalette(&lp);
  ActivatePalette(main_hwnd);
  dc = GetDC(main_hwnd);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), g_video.main_palette);
  ReleaseDC(main_hwnd, dc);
  SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), false);
  DeleteObject(mine);
  DisposePalette(g_video.main_palette);
}

}  // namespace
