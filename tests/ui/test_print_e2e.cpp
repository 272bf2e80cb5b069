// Printing through the interface. The print panel's "Print Test" and "Print
// Template" one-shots print their sheets. And a whole session of the real
// program on the headless backend with the file printer, by a script: the
// two-up disc sheet (written here with the project writer) opened from the
// command line, printed (Ctrl+P, the print dialog answered), its first unit
// exported as TIFF, that unit's print mark turned off on its check box in
// the preview, Ctrl+Q answered "Save"; then the saved file printed with
// "/P". The PDFs are turned into pixels with pdftoppm. Snapshots, PDFs,
// rendered pages and the TIFF stay under <build>/print-e2e/.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "PrintTestSupport.h"
#include "TestSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskPrev.h"
#include "host/HostCodecs.h"
#include "host/HostPrint.h"
#include "host/HostScript.h"
#include "platform/SysInfo.h"
#include "ui/VoskConf.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"

namespace {

namespace fs = std::filesystem;
using printsheet::Dots;
using printsheet::Page;

// --- The print panel's one-shots ------------------------------------------------------------

class PrintPanelOneShots : public printsheet::PrintingTest {
 protected:
  PrintPanelOneShots() : PrintingTest("print-oneshots") {}
  void SetUp() override {
    PrintingTest::SetUp();
    if (IsSkipped()) return;
    Intf_Init_Tables();
    info_is_cmdline = true;  // no print dialog
  }
  void TearDown() override {
    info_is_cmdline = false;
    PrintingTest::TearDown();
  }
};

// Both sheets show every unit, marked or not; the test sheet with its
// colour chips, the outline sheet without.
TEST_F(PrintPanelOneShots, TestAndTemplateButtonsPrintTheirSheets) {
  Open(printsheet::Two_Up_Disc_Sheet());
  Doc_Unit(1)->printf = false;
  Doc_Unit(2)->printf = false;
  const struct {
    a_oneshot_enum button;
    const char* file;
    bool chips;
  } cases[] = {{PRINT_TEST_BUTTON, "test.png", true}, {PRINT_TEMPLATE_BUTTON, "template.png", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Host_Print_Set_Output_Path(P(c.file));
    Oneshot_Click(c.button);
    const std::vector<std::string> files = Host_Print_Last_Files();
    ASSERT_EQ(files, std::vector<std::string>{P(c.file)});
    const Page page = printsheet::Read_Png_Page(files.front());
    ASSERT_EQ(page.width, 2480);
    int32 red = 0, dark_top = 0, dark_bottom = 0, label_red = 0;
    const int32 mid = Dots(143.5);
    for (int32 y = 0; y < page.height; ++y)
      for (int32 x = 0; x < page.width; ++x) {
        const uint32 rgb = page.Rgb(x, y);
        red += rgb == 0xFF0000u;
        label_red += rgb == 0xE02010u;
        if (page.Dark(x, y)) ++(y < mid ? dark_top : dark_bottom);
      }
    // A 6-mm chip is some 4900 dots.
    if (c.chips) EXPECT_GT(red, 4000);
    else EXPECT_EQ(red, 0);
    EXPECT_GT(dark_top, 1000);
    EXPECT_GT(dark_bottom, 1000);
    EXPECT_EQ(label_red, 0) << "a sheet of outlines printed the labels";
  }
}

// --- A session of the program -----------------------------------------------------------------

std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}
std::string Click(Point p) { return "click " + std::to_string(p.h) + " " + std::to_string(p.v) + "\n"; }

// The horizontal resolution a TIFF file records (dots per inch, or per
// centimetre converted); 0 when it has none or cannot be read.
double Tiff_X_Resolution(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8> f((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (f.size() < 8) return 0;
  const bool le = f[0] == 'I';
  auto u16 = [&](size_t at) -> uint32 {
    if (at + 2 > f.size()) return 0;
    return le ? uint32(f[at] | f[at + 1] << 8) : uint32(f[at] << 8 | f[at + 1]);
  };
  auto u32 = [&](size_t at) -> uint32 { return le ? u16(at) | u16(at + 2) << 16 : u16(at) << 16 | u16(at + 2); };
  const size_t ifd = u32(4);
  const uint32 n = u16(ifd);
  double res = 0;
  uint32 unit = 2;
  for (uint32 k = 0; k < n; ++k) {
    const size_t e = ifd + 2 + size_t(k) * 12;
    const uint32 tag = u16(e);
    if (tag == 282) {  // XResolution, a rational at an offset
      const size_t at = u32(e + 8);
      const uint32 den = u32(at + 4);
      res = den != 0 ? double(u32(at)) / den : 0;
    } else if (tag == 296) {  // ResolutionUnit
      unit = u16(e + 8);
    }
  }
  return unit == 3 ? res * 2.54 : res;
}

class PrintEndToEnd : public printsheet::PrintingTest {
 protected:
  PrintEndToEnd() : PrintingTest("print-e2e") {}
  void SetUp() override {
    if (!fs::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
    REQUIRE_TOOL("pdftoppm");
    PrintingTest::SetUp();
    if (IsSkipped()) return;
    const std::string exe = VELMOR4_EXE;
    out_ = exe.substr(0, exe.find_last_of('/')) + "/print-e2e";
    fs::remove_all(out_);
    fs::create_directories(out_);
    fs::create_directories(P("tmp"));
  }

  // Runs the program with args, printing with the file printer to
  // print_output, with script_text when not empty. The status of
  // std::system; err := standard error.
  int Run(const std::string& args, const std::string& script_text, const std::string& print_output,
          std::string& err) {
    std::string cmd = "env -i";
    for (const char* name : {"PATH", "FONTCONFIG_FILE", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
      if (const char* v = std::getenv(name)) cmd += std::string(" ") + name + "=" + Quoted(v);
    if (!script_text.empty()) {
      std::ofstream(P("script.txt")) << script_text;
      cmd += " VELMOR_SCRIPT=" + Quoted(P("script.txt"));
    }
    cmd += " TMPDIR=" + Quoted(P("tmp")) + " HOME=" + Quoted(dir) + " XDG_CONFIG_HOME=" + Quoted(P("config")) +
           " XDG_RUNTIME_DIR=" + Quoted(dir) + " VELMOR_BACKEND=headless VELMOR_SCREEN=1024x768" +
           " VELMOR_PRINT=file VELMOR_PRINT_OUTPUT=" + Quoted(print_output) + " " + Quoted(VELMOR4_EXE) + " " +
           args + " >/dev/null 2>" + Quoted(P("stderr.txt"));
    const int rc = std::system(cmd.c_str());
    err = testdir::Read_Text(P("stderr.txt"));
    return rc;
  }

  // The project at path read into this process.
  static bool Read_Project(const std::string& path) {
    FSSpec spec{};
    return Path_From_Text(spec, path.c_str()) && Read_DISC(spec, false);
  }

  // A point of unit ux's print check box in the main window's preview, for
  // a client area of w x h pixels (the document read into this process):
  // near its left edge, clear of a disc's hole, where a press finds no unit.
  static Point Check_Box_Point(uint32 ux, int32 w, int32 h) {
    // The preview fills the edit area right of the tool panel.
    gs.nviews = 1;
    gs.views[0].bounds = Calc_Preview_Layout(Rect{0, 0, int16(h), int16(w)}).edit;
    a_coord_mapping m;
    PrintPreview_Main_Mapping(m);
    Rect box{}, badge{};
    Map_FRect_With(m, g_doc.doc_template.units[ux - 1].bbox, box);
    Calc_Checkbox_Bounds(box, badge);
    const int16 hb = int16(badge.bottom - badge.top), side = int16(hb * 3 / 5);
    return Point{int16((badge.top + badge.bottom) / 2), int16(badge.left + (hb - side) / 2 + 2)};
  }

  // Both discs of a page: where each lies (the box round its marked
  // pixels, in millimetres), and how many of the first's pixels differ from
  // the second's (the clone prints the master's picture).
  struct Discs {
    bool first = false, second = false;
    double x[2] = {0, 0}, y[2] = {0, 0};
    int32 differ = 0;
  };
  static Discs Measure(const Page& page) {
    Discs d;
    const int32 mid = Dots(143.5);
    d.first = page.Marked_Centre(0, 0, page.width, mid, d.x[0], d.y[0]);
    d.second = page.Marked_Centre(0, mid, page.width, page.height, d.x[1], d.y[1]);
    for (int k = 0; k < 2; ++k) d.x[k] /= printsheet::kDotsPerMM, d.y[k] /= printsheet::kDotsPerMM;
    for (int32 y = Dots(19); y < Dots(141); ++y)
      for (int32 x = Dots(44); x < Dots(166); ++x) d.differ += page.Rgb(x, y) != page.Rgb(x, y + 1500);
    return d;
  }

  std::string out_;
};

TEST_F(PrintEndToEnd, PrintExportToggleSaveAndPrintAgain) {
  Open_Two_Up(1200, 800);
  if (HasFatalFailure() || IsSkipped()) return;
  const std::string sheet = P("sheet.CD4");
  const int32 nobjects = Doc_Unit(1)->oj.nlist;
  FSSpec spec{};
  ASSERT_TRUE(Path_From_Text(spec, sheet.c_str()));
  ASSERT_EQ(Write_DISC(spec), DISC_WRITE_OK) << Write_DISC_Reason();
  doctests::Close_Document();

  // The window's size, from a first look.
  std::string err;
  const std::string first = out_ + "/0-first-look.png";
  int rc = Run(Quoted(sheet), "wait 10\nsnapshot " + first + "\nquit\n", P("unused.pdf"), err);
  ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << rc << err;
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  std::string why;
  ASSERT_TRUE(Host_Read_PNG(first, px, w, h, why)) << why;
  ASSERT_TRUE(Read_Project(sheet));
  const Point check = Check_Box_Point(1, w, h);
  doctests::Close_Document();

  const std::string pdf = out_ + "/print.pdf", tiff = out_ + "/unit.tiff";
  const char* names[] = {"1-opened", "2-printed", "3-exported", "4-mark-toggled"};
  auto snapshot = [&](int k) { return "wait 5\nsnapshot " + out_ + "/" + names[k] + ".png\n"; };
  const std::string script = "wait 10\n" + snapshot(0) +
                             "answer alert 1\n"  // the print dialog: Print
                             "answer alert 1\n"  // alert 73, where the print went: OK
                             "key Ctrl+P\nwait 10\n" + snapshot(1) +
                             "answer save " + tiff + "\nmenu 1107\nwait 10\n" + snapshot(2) + Click(check) +
                             snapshot(3) +
                             "answer alert 1\n"  // "Save changes ... before quitting?": Save
                             "key Ctrl+Q\nwait 20\n";
  rc = Run(Quoted(sheet), script, pdf, err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_NE(err.find("Save changes to \"sheet.CD4\" before quitting?"), std::string::npos) << err;
  for (const char* bad : {"alert 15", "alert 20", "alert 48", "alert 49", "alert 75", "script line"})
    EXPECT_EQ(err.find(bad), std::string::npos) << bad << " in\n" << err;

  // Each step changed the window.
  std::vector<std::vector<uint32>> shots(std::size(names));
  for (size_t k = 0; k < shots.size(); ++k) {
    int32 sw = 0, sh = 0;
    ASSERT_TRUE(Host_Read_PNG(out_ + "/" + names[k] + ".png", shots[k], sw, sh, why)) << names[k] << ": " << why;
  }
  EXPECT_TRUE(shots[3] != shots[2]) << "the click on the check box at " << check.h << ", " << check.v
                                    << " changed nothing";

  // The printed sheet: both discs where the layout has them, the clone the
  // master's picture.
  const Page printed = printsheet::Render_Pdf_Page(pdf, out_ + "/print-page");
  ASSERT_EQ(printed.width, 2480) << "no page rendered from " << pdf;
  const Discs both = Measure(printed);
  ASSERT_TRUE(both.first && both.second);
  for (int k = 0; k < 2; ++k) {
    EXPECT_NEAR(both.x[k], 105.0, 0.2) << "disc " << k + 1;
    EXPECT_NEAR(both.y[k], printsheet::kDiscTop[k] + 60.0, 0.2) << "disc " << k + 1;
  }
  EXPECT_LT(both.differ, Dots(122) * Dots(122) / 1000);

  // The exported unit: the disc's whole picture, with the resolution that
  // gives it the disc's own size on paper (its pixels over 120 mm); the dark
  // canvas near its rim, the photo in its middle.
  const std::string tiff_bytes = testdir::Read_Text(tiff);
  HostImageBuffer buf;
  ASSERT_EQ(Host_Decode_TIFF(reinterpret_cast<const uint8*>(tiff_bytes.data()), tiff_bytes.size(),
                             Host_Buffer_Sink(buf)),
            HC_OK);
  Rect unit_bounds{};
  Calc_Unit_Bounds(printsheet::Two_Up_Disc_Sheet().units[0], unit_bounds);
  ASSERT_EQ(buf.info.out_width, unit_bounds.right);
  ASSERT_EQ(buf.info.out_height, unit_bounds.bottom);
  EXPECT_NEAR(Tiff_X_Resolution(tiff), unit_bounds.right * 25.4 / 120.0, 0.5);
  Page exported;
  exported.width = buf.info.out_width, exported.height = buf.info.out_height, exported.px = buf.pixels;
  EXPECT_TRUE(exported.Dark(exported.width / 2, exported.height * 9 / 10));
  EXPECT_FALSE(exported.Dark(exported.width / 2 + 40, exported.height / 2));

  // Saved on quitting: the first disc no longer printed, all else kept.
  ASSERT_TRUE(Read_Project(sheet));
  ASSERT_EQ(g_doc.doc_template.nunits, 2u);
  EXPECT_FALSE(Doc_Unit(1)->printf);
  EXPECT_TRUE(Doc_Unit(2)->printf);
  EXPECT_TRUE(Doc_Unit(2)->clonef);
  EXPECT_EQ(Doc_Unit(1)->oj.nlist, nobjects);
  doctests::Close_Document();

  // The saved file printed from the command line: only the second disc.
  const std::string again = out_ + "/print-again.pdf";
  rc = Run("/P " + Quoted(sheet), "", again, err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  const Page reprinted = printsheet::Render_Pdf_Page(again, out_ + "/print-again-page");
  ASSERT_EQ(reprinted.width, 2480) << "no page rendered from " << again;
  const Discs one = Measure(reprinted);
  EXPECT_FALSE(one.first);
  ASSERT_TRUE(one.second);
  EXPECT_NEAR(one.x[1], 105.0, 0.2);
  EXPECT_NEAR(one.y[1], printsheet::kDiscTop[1] + 60.0, 0.2);
  // The second disc as it was printed the first time.
  int32 changed = 0;
  for (int32 y = Dots(146); y < Dots(268); ++y)
    for (int32 x = Dots(44); x < Dots(166); ++x) changed += reprinted.Rgb(x, y) != printed.Rgb(x, y);
  EXPECT_LT(changed, Dots(122) * Dots(122) / 1000);
}

}  // namespace
