// Printing through a real spooler: a print server of the tests' own with a
// PDF queue (SpoolerTestSupport.h), the job's PDF rewritten by the queue and
// turned into pixels by pdftoppm. Positions only: the two-up disc sheet with
// each disc where its layout puts it and the clone the master's picture,
// the nudge, a booklet's crop marks and the test sheet's corner marks.
// Skipped with the reason where the spooler cannot start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "PrintTestSupport.h"
#include "SpoolerTestSupport.h"
#include "TestSupport.h"
#include "doc/VoskPrin.h"
#include "host/HostPrint.h"
#include "platform/SysInfo.h"
#include "platform/SysPrint.h"
#include "platform/VoskDef.h"

namespace {

using printsheet::Dots;
using printsheet::kDotsPerMM;
using printsheet::Page;
using printsheet::Sheet;
using printsheet::Unit;

// Each channel of c within those of the pixels round (x, y) of page, give
// or take 12.
bool Within_Neighbours(const Page& page, int32 x, int32 y, uint32 c) {
  for (int s = 0; s < 24; s += 8) {
    int lo = 255, hi = 0;
    for (int32 dy = -1; dy <= 1; ++dy)
      for (int32 dx = -1; dx <= 1; ++dx) {
        const int v = int((page.Rgb(x + dx, y + dy) >> s) & 0xFF);
        lo = std::min(lo, v), hi = std::max(hi, v);
      }
    const int v = int((c >> s) & 0xFF);
    if (v < lo - 12 || v > hi + 12) return false;
  }
  return true;
}

// One server for the whole suite (it takes a few seconds to start).
std::unique_ptr<TestSpooler> g_spooler;
std::string g_no_spooler;

class SpooledPrinting : public printsheet::PrintingTest {
 protected:
  SpooledPrinting() : PrintingTest("spooled") {}
  static void SetUpTestSuite() {
    g_no_spooler.clear();
    if (!TestSpooler::Runs_Here()) return;
    if (!On_Path("pdftoppm")) {
      g_no_spooler = Missing_Tool_Message("pdftoppm");
      return;
    }
    g_spooler = std::make_unique<TestSpooler>();
    if (!g_spooler->Start(g_no_spooler)) g_spooler.reset();
  }
  static void TearDownTestSuite() { g_spooler.reset(); }
  void SetUp() override {
    if (!TestSpooler::Runs_Here()) GTEST_SKIP() << "no print spooler of our own: not root";
    if (!g_spooler) GTEST_FAIL() << "no print spooler of our own: " << g_no_spooler;
    PrintingTest::SetUp();
    if (IsSkipped()) return;
    // The default printer: the server's one queue, whatever the machine's
    // own settings name.
    printer_ = std::make_unique<testdir::EnvGuard>("PRINTER", g_spooler->Queue().c_str());
    Host_Print_Set_Cups(true);
  }
  void TearDown() override {
    PrintingTest::TearDown();
    printer_.reset();
  }
  std::unique_ptr<testdir::EnvGuard> printer_;
  // The page the queue made of the job a print command sent: rendered at
  // 300 dpi, and the queue's file removed for the next job.
  Page Printed(bool8 (*command)(), const std::string& name) {
    EXPECT_TRUE(command());
    EXPECT_STREQ(g_printername, g_spooler->Queue().c_str());
    const std::string pdf = g_spooler->Wait_Pdf(120);
    EXPECT_FALSE(pdf.empty()) << "the queue wrote no PDF";
    if (pdf.empty()) return Page{};
    Page page = printsheet::Render_Pdf_Page(pdf, P(name));
    std::error_code ec;
    std::filesystem::remove(pdf, ec);
    // A4 at 300 dpi, the height rounded either way.
    EXPECT_EQ(page.width, 2480);
    EXPECT_NEAR(page.height, 3508, 1);
    return page;
  }
};

// The two-up disc sheet (canvas, photo and circular text on the master, its
// clone below): each disc's centre within 0.2 mm of its unit's centre, the
// clone the master's picture, and a nudge of +5 moving the print 0.5 mm.
TEST_F(SpooledPrinting, TwoUpDiscSheetAndItsNudge) {
  Open_Two_Up(1200, 800);
  const Page page = Printed(Print1_Doc, "sheet");
  ASSERT_GT(page.width, 0);
  const int32 mid = Dots(143.5);
  const double cx0 = printsheet::kDiscLeft + printsheet::kDiscSide / 2;
  double c[2][2];
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    ASSERT_TRUE(page.Marked_Centre(0, k == 0 ? 0 : mid, page.width, k == 0 ? mid : page.height, c[k][0], c[k][1]));
    EXPECT_NEAR(c[k][0] / kDotsPerMM, cx0, 0.2);
    EXPECT_NEAR(c[k][1] / kDotsPerMM, printsheet::kDiscTop[k] + printsheet::kDiscSide / 2, 0.2);
  }
  // Round: the box's corners stay paper, the canvas shows at the rim.
  EXPECT_FALSE(page.Marked(Dots(printsheet::kDiscLeft + 2), Dots(printsheet::kDiscTop[0] + 2)));
  EXPECT_TRUE(page.Marked(Dots(cx0), Dots(printsheet::kDiscTop[0] + 1)));
  // The clone: the master's picture 1500 dots lower. The queue hands on the
  // page as one picture of its own, scaled by a hair to the paper: each of
  // the clone's pixels lies within the colours round the master's.
  int64 differ = 0, marked = 0;
  for (int32 y = Dots(19); y < Dots(141); ++y)
    for (int32 x = Dots(44); x < Dots(166); ++x) {
      marked += page.Marked(x, y);
      differ += !Within_Neighbours(page, x, y, page.Rgb(x, y + 1500));
    }
  const double disc = 3.14159265 * Dots(60) * Dots(60);
  EXPECT_NEAR(double(marked), disc, disc * 0.02);
  EXPECT_LE(differ, marked / 1000);

  ASSERT_TRUE(Set_Nudge(5, 0));
  const Page nudged = Printed(Print1_Doc, "nudged");
  ASSERT_GT(nudged.width, 0);
  double nx, ny;
  ASSERT_TRUE(nudged.Marked_Centre(0, 0, nudged.width, mid, nx, ny));
  EXPECT_NEAR((nx - c[0][0]) / kDotsPerMM, 0.5, 0.1);
  EXPECT_NEAR((ny - c[0][1]) / kDotsPerMM, 0.0, 0.1);
}

// A booklet's crop marks start 1 mm outside its box, in line with its sides.
TEST_F(SpooledPrinting, BookletCropMarksStartOneMillimetreOutside) {
  Open(printsheet::Booklet_Sheet());
  const Page page = Printed(Print1_Doc, "booklet");
  ASSERT_GT(page.width, 0);
  // The box itself: painted to its edges.
  EXPECT_TRUE(page.Marked(Dots(40) + 2, Dots(50) + 2));
  EXPECT_TRUE(page.Marked(Dots(160) - 3, Dots(170) - 3));
  // The marks: a line of a pixel or two, looked for a pixel to either side.
  printsheet::Expect_Booklet_Crop_Marks(page, 1, 0.2);
}

// The test sheet's "20 mm" and "1 inch" crosshairs at those distances from
// the sheet's corner.
TEST_F(SpooledPrinting, TestSheetCornerMarksAtTheirDistances) {
  Open(Sheet({Unit(UNIT_RECT, 60, 60, 90, 50)}));
  Doc_Unit(1)->printf = false;
  info_is_cmdline = true;  // no print dialog
  const Page page = Printed(Print_Test, "test");
  info_is_cmdline = false;
  ASSERT_GT(page.width, 0);
  printsheet::Expect_Corner_Marks(page, 0.15);
}

}  // namespace
