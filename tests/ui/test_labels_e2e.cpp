// A disc label made through the real program on the headless backend, by a
// script: a new CD document from the layout chooser, a canvas chosen from
// the canvas browser, turned and feathered at its outer edge, a JPEG (made
// here) placed through the file dialog's answer, turned a quarter, flipped,
// cropped on the crop screen, copied and pasted (the copy turned so that
// both show), a symbol added from the symbol browser and tinted from the
// colour browser. A snapshot after each step goes to <build>/e2e/labels/
// for a person to look at; the test checks that each step changed the label
// and that the tint and the canvas show.
//
// The tool panels' commands are sent as the command numbers the dispatch
// takes until the panels offer them (ui/VoskDisp.h). The browsers and the
// crop screen are modal windows centred on the screen; their cells and bars
// are found from the same layouts the program uses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "LabelSessionSupport.h"
#include "TestSupport.h"
#include "host/HostCodecs.h"
#include "host/HostScript.h"
#include "objects/VoskCanv.h"
#include "objects/VoskPhot.h"
#include "pixel/OP.h"
#include "platform/Resources.h"
#include "platform/SysIO.h"
#include "platform/SysTimer.h"
#include "platform/VoskDef.h"
#include "platform/VoskPref.h"
#include "ui/TempConfigHome.h"
#include "ui/VoskBrow.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"
#include "ui/VoskStat.h"

namespace {

namespace fs = std::filesystem;

constexpr int16 kScreenW = 1024, kScreenH = 768;
// Where the main window's client area and a modal window's client area lie
// on the headless screen: the main window at its default place, a modal
// window centred across and three tenths of the free height down, below its
// 22-pixel title and frame (8 pixels of it above the client area's top).
constexpr int32 kMainClientTop = 29;
constexpr int32 kModalTitle = 22, kModalTopInset = 8;
constexpr a_pixel24 kUserRed{220, 40, 60};
constexpr a_pixel24 kUserTeal{20, 170, 160};

// A point of a modal window of client size w x h, in the main window's
// client coordinates (where the script's clicks are given).
Point Modal_To_Main(int16 w, int16 h, Point p) {
  const int32 left = (kScreenW - w) / 2;
  const int32 top = (kScreenH - (h + kModalTitle)) * 3 / 10 + kModalTopInset;
  return Point{int16(top + p.v - kMainClientTop), int16(left + p.h)};
}
std::string Click(Point p) { return "click " + std::to_string(p.h) + " " + std::to_string(p.v) + "\n"; }
Point Middle(const Rect& r) { return Point{int16((r.top + r.bottom) / 2), int16((r.left + r.right) / 2)}; }
using labelsession::Menu;

// How many pixels of the picture are within 24 of the colour on each channel.
int Count_Near(const std::vector<uint32>& px, a_pixel24 c) {
  int n = 0;
  for (uint32 p : px) {
    const int b = int(p & 0xFF), g = int((p >> 8) & 0xFF), r = int((p >> 16) & 0xFF);
    if (std::abs(r - c.r) < 24 && std::abs(g - c.g) < 24 && std::abs(b - c.b) < 24) ++n;
  }
  return n;
}

class LabelsEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
    if (!fs::exists(VELMOR_ART_LIBRARY)) GTEST_SKIP() << "the picture library is not built";
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    ASSERT_FALSE(home_.dir.empty());
    dir_ = home_.dir;
    Resources_Init();
    ASSERT_TRUE(Prefs_File_Path(prefs_));
    fs::create_directories(fs::path(prefs_).parent_path());
    // The library the program reads, for the browsers' layouts.
    OP_Init();
    FSSpec lib{};
    ASSERT_TRUE(Path_From_Text(lib, VELMOR_ART_LIBRARY));
    ASSERT_EQ(OP_OpenFile(lib), OPEN_OKAY);
  }
  void TearDown() override {
    OP_Stop();
    Fonts_Stop();
  }

  // The preferences the run starts from: the CD layout used last, and two
  // colours of the user's own (the palette's first entries).
  void Write_Prefs() {
    a_pref_rec rec;
    ASSERT_TRUE(labelsession::CD_Prefs(rec));
    const a_pixel24 colours[2] = {kUserRed, kUserTeal};
    std::memcpy(rec.colors, colours, sizeof colours);
    labelsession::Write_Prefs(prefs_, rec);
  }

  // A 600 x 400 photo in four coloured quadrants with a light frame.
  std::string Write_Photo() {
    const int32 w = 600, h = 400;
    std::vector<uint8> px(size_t(w) * h * 4);
    for (int32 y = 0; y < h; ++y)
      for (int32 x = 0; x < w; ++x) {
        uint8* p = &px[(size_t(y) * w + x) * 4];
        const bool frame = x < 12 || y < 12 || x >= w - 12 || y >= h - 12;
        const uint8 c[4][3] = {{230, 40, 40}, {40, 180, 60}, {50, 70, 220}, {240, 210, 40}};
        const int q = (y < h / 2 ? 0 : 2) + (x < w / 2 ? 0 : 1);
        const uint8* k = frame ? nullptr : c[q == 2 ? 3 : q == 3 ? 2 : q];
        // Blue, green, red, alpha.
        p[0] = k ? k[2] : 250;
        p[1] = k ? k[1] : 250;
        p[2] = k ? k[0] : 250;
        p[3] = 255;
      }
    std::vector<uint8> jpg;
    EXPECT_EQ(Host_Encode_JPEG(HostImageSource{px.data(), w, h, size_t(w) * 4, 72}, 90, jpg), HC_OK);
    const std::string path = dir_ + "/photo.jpg";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(jpg.data()), std::streamsize(jpg.size()));
    return path;
  }

  int Run(const std::string& script_text, std::string& err) {
    return labelsession::Run(dir_, script_text, kScreenW, kScreenH, err);
  }

  TempConfigHome home_{"config"};
  std::string dir_, prefs_;
};

TEST_F(LabelsEndToEnd, ADiscLabelWithCanvasPhotoAndSymbol) {
  Write_Prefs();
  const std::string project = dir_ + "/cd.CD4";
  ASSERT_TRUE(labelsession::Write_CD_Project(project));
  const std::string photo = Write_Photo();

  const std::string exe = VELMOR4_EXE;
  const std::string shots = exe.substr(0, exe.find_last_of('/')) + "/e2e/labels";
  fs::create_directories(shots);
  const char* names[] = {"1-cd-document",    "2-canvas",        "3-photo-placed",   "4-photo-rotated",
                         "5-photo-flipped",  "6-photo-cropped", "7-copy-pasted",    "8-symbol-added",
                         "9-symbol-tinted"};
  std::vector<std::string> shot;
  for (const char* n : names) {
    shot.push_back(shots + "/" + n + ".png");
    fs::remove(shot.back());
  }
  const auto snapshot = [&](int k) { return "wait 5\nsnapshot " + shot[size_t(k)] + "\n"; };

  // The canvas browser over the disc's canvases, opening on its first page.
  int16 first = 0, last = 0;
  gs.bard[CANVAS_BAR] = a_bar_row_desc{};
  const int16 ncanvas = Canvas_Count(UNIT_CD);
  ASSERT_GE(ncanvas, 6);
  a_browser_rec canv;
  Browser_Layout(CANVAS_BAR, kScreenW, kScreenH, 1, ncanvas, 1, canv);
  const int16 canvas_choice = 6;
  ASSERT_LT(canvas_choice, canv.display_id + canv.celltotn);
  const Point canvas_cell = Modal_To_Main(canv.bb_window.right, canv.bb_window.bottom,
                                          Middle(Browser_ID_To_Cell(canv, canvas_choice)));
  // The colour browser over the palette, on its first page: the user's
  // second colour.
  first = 0;
  last = NCOLOR_TABLE - 1;
  a_browser_rec colours;
  Browser_Layout(SYMBOLS_COLORBAR, kScreenW, kScreenH, first, last, 0, colours);
  const Point teal_cell =
      Modal_To_Main(colours.bb_window.right, colours.bb_window.bottom, Middle(Browser_ID_To_Cell(colours, 1)));
  // The crop screen of the 600 x 400 photo: the left bar dragged 150 pixels
  // right (a quarter of the picture off its left side).
  a_crop_rec& crop = g_crop;
  crop = a_crop_rec{};
  Crop_Layout(Rect{0, 0, 400, 600}, kScreenW, kScreenH, crop);
  crop.crop = crop.natural;
  Calc_Crop_S();
  const Point bar = Point{Middle(crop.bb_l).v, crop.crop_s.left};
  const Point bar_from = Modal_To_Main(crop.width, crop.height, bar);
  const Point bar_to = Modal_To_Main(crop.width, crop.height,
                                     Point{bar.v, int16(bar.h + (crop.bb_pict.right - crop.bb_pict.left) / 4)});

  std::ostringstream s;
  s << "wait 30\n"
    // A fresh CD project opened.
    << labelsession::Open_Project(project) << snapshot(0)
    // The canvas: chosen, turned a quarter, its outer edge feathered.
    << Menu(PANEL_PHASE + CANVAS_PHASE) << Menu(PANEL_BAR + CANVAS_BAR) << "wait 5\n" << Click(canvas_cell)
    << Menu(PANEL_ONESHOT + CANV_ROTATECW_BUTTON);
  for (int i = 0; i < 4; ++i) s << Menu(PANEL_SLIDER_UP + CANV_FUZZ_OUT_SLIDER);
  s << snapshot(1)
    // The photo: placed from the file dialog's answer, turned, flipped.
    << Menu(PANEL_PHASE + PHOTO_PHASE) << "answer open " << photo << "\n"
    << Menu(PANEL_ONESHOT + PHOTO_NEW_BUTTON) << snapshot(2) << Menu(PANEL_ONESHOT + PHOTO_ROTATECW_BUTTON)
    << snapshot(3) << Menu(PANEL_ONESHOT + PHOTO_FLIPX_BUTTON) << snapshot(4)
    // Cropped: the left bar dragged on the crop screen, Return.
    << Menu(PANEL_ONESHOT + PHOTO_CROP_BUTTON) << "wait 5\n"
    << "down " << bar_from.h << " " << bar_from.v << "\nmove " << (bar_from.h + bar_to.h) / 2 << " " << bar_to.v
    << "\nmove " << bar_to.h << " " << bar_to.v << "\nup " << bar_to.h << " " << bar_to.v << "\n"
    << "wait 5\nkey Return\n" << snapshot(5)
    // Copied and pasted; the copy turned so that both show.
    << Menu(MENU_EDIT + EDIT_COPY) << Menu(MENU_EDIT + EDIT_PASTE) << Menu(PANEL_ONESHOT + PHOTO_ROTATECW_BUTTON)
    << snapshot(6)
    // A symbol from the symbol browser (Return: the first), then tinted.
    << Menu(PANEL_PHASE + SYMBOL_PHASE) << "answer alert 1\n" << Menu(PANEL_ONESHOT + SYMBOL_NEW_BUTTON)
    << snapshot(7) << Menu(PANEL_BAR + SYMBOLS_COLORBAR) << "wait 5\n" << Click(teal_cell) << snapshot(8)
    << "quit\n";

  std::string err;
  const int rc = Run(s.str(), err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("alert"), std::string::npos) << err;
  EXPECT_EQ(err.find("script line"), std::string::npos) << err;

  std::vector<std::vector<uint32>> px(shot.size());
  for (size_t k = 0; k < shot.size(); ++k) {
    int32 w = 0, h = 0;
    std::string why;
    ASSERT_TRUE(Host_Read_PNG(shot[k], px[k], w, h, why)) << shot[k] << ": " << why;
  }
  // Every step changed what the window shows.
  for (size_t k = 1; k < shot.size(); ++k) EXPECT_TRUE(px[k] != px[k - 1]) << names[k] << " shows no change";
  // The symbol is tinted with the user's second colour, which shows nowhere
  // before but in its cell of the palette bar shown with the symbol.
  EXPECT_EQ(Count_Near(px[6], kUserTeal), 0);
  EXPECT_GT(Count_Near(px[8], kUserTeal) - Count_Near(px[7], kUserTeal), 200);
  // The photo's quadrants show from its placing on (the panels' art holds a
  // few pixels of that blue).
  const a_pixel24 photo_blue{50, 70, 220};
  const int blue_before = Count_Near(px[1], photo_blue);
  EXPECT_LT(blue_before, 50);
  EXPECT_GT(Count_Near(px[2], photo_blue) - blue_before, 1000);
}

}  // namespace
