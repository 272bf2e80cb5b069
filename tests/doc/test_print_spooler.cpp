// Printing through a real spooler: a print server of the tests' own with a
// PDF queue (SpoolerTestSupport.h), the job's PDF rewritten by the queue and
// turned into pixels by pdftoppm. Positions only: the two-up disc sheet with
// each disc where its layout puts it and the clone the master's picture,
// the nudge, a booklet's crop marks and the test sheet's corner marks.
// Skipped with the reason where the spooler cannot start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
#include "platform/VoskPref.h"

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
  // The blue corner's centre (the painting's top-left third).
  static bool Blue_Centre(const Page& page, double& x, double& y) {
    double sx = 0, sy = 0, n = 0;
    for (int32 yy = 0; yy < page.height; yy += 2)
      for (int32 xx = 0; xx < page.width; xx += 2) {
        const uint32 c = page.Rgb(xx, yy);
        if ((c & 0xFF) > 0xA0 && ((c >> 16) & 0xFF) < 0x60) sx += xx, sy += yy, n += 1;
      }
    if (n == 0) return false;
    x = sx / n, y = sy / n;
    return true;
  }
  // The page the queue made of the job a print command sent, of any size:
  // rendered at 300 dpi, and the queue's file removed for the next job.
  Page Printed_Any(bool8 (*command)(), const std::string& name) {
    EXPECT_TRUE(command());
    EXPECT_STREQ(g_printername, g_spooler->Queue().c_str());
    const std::string pdf = g_spooler->Wait_Pdf(120);
    EXPECT_FALSE(pdf.empty()) << "the queue wrote no PDF";
    if (pdf.empty()) return Page{};
    Page page = printsheet::Render_Pdf_Page(pdf, P(name));
    std::error_code ec;
    std::filesystem::remove(pdf, ec);
    return page;
  }
  // The same, on A4 (the height rounded either way).
  Page Printed(bool8 (*command)(), const std::string& name) {
    Page page = Printed_Any(command, name);
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

// A nudge moves the print the way its arrow points, on a portrait and on a
// landscape layout alike, however the queue turns the page onto the paper:
// the direction is read in the layout's own frame on the page, found from
// the painting's blue corner (its top left).
TEST_F(SpooledPrinting, NudgesMoveThePrintTheWayTheirArrowsPoint) {
  for (const bool landscape : {false, true}) {
    SCOPED_TRACE(landscape ? "landscape" : "portrait");
    a_template x = Sheet({Unit(UNIT_RECT, 60, 50, 90, 60)});
    if (landscape) x.tflags |= uint32(1) << IS_LANDSCAPE;
    Open(x);
    ASSERT_TRUE(Set_Nudge(0, 0));
    const Page before = Printed_Any(Print1_Doc, "before");
    ASSERT_GT(before.width, 0);
    double cx, cy, bx, by;
    ASSERT_TRUE(before.Marked_Centre(0, 0, before.width, before.height, cx, cy));
    ASSERT_TRUE(Blue_Centre(before, bx, by));
    // The layout's left and up on the page: towards the blue corner.
    const double ux = bx - cx, uy = by - cy;
    struct Arrow {
      void (*press)();
      double h, v;  // the way it points in the layout
    } arrows[] = {{Print_Nudge_R, 1, 0}, {Print_Nudge_D, 0, 1}};
    for (const Arrow& a : arrows) {
      ASSERT_TRUE(Set_Nudge(0, 0));
      for (int i = 0; i < 5; ++i) a.press();  // 5 x 0.5 mm
      const Page after = Printed_Any(Print1_Doc, "after");
      ASSERT_GT(after.width, 0);
      double nx, ny;
      ASSERT_TRUE(after.Marked_Centre(0, 0, after.width, after.height, nx, ny));
      const double dx = (nx - cx) / kDotsPerMM, dy = (ny - cy) / kDotsPerMM;
      // The blue corner lies left and up: (ux, uy) is minus (right + down)
      // in the layout, whatever the turn. Right and down in page terms:
      // a turn t maps the layout's (1, 0) and (0, 1) onto the page.
      const double len = std::hypot(ux, uy);
      // For the rectangle 90 x 60, left-up of the centre by a third of each
      // side: (-15, -10) mm in the layout. Solve for the turn's cosine and sine.
      const double lx = -15, ly = -10;
      const double c = (ux * lx + uy * ly) / (len * std::hypot(lx, ly));
      const double s = (uy * lx - ux * ly) / (len * std::hypot(lx, ly));
      const double want_x = 2.5 * (c * a.h - s * a.v), want_y = 2.5 * (s * a.h + c * a.v);
      EXPECT_NEAR(dx, want_x, 0.3) << a.h << "," << a.v;
      EXPECT_NEAR(dy, want_y, 0.3) << a.h << "," << a.v;
    }
    ASSERT_TRUE(Set_Nudge(0, 0));
    doctests::Close_Document();
  }
}

// A nudge is kept for the paper: the same nudge moves a landscape layout's
// print the same way on the sheet as a portrait one's, through the queue.
TEST_F(SpooledPrinting, SameNudgeMovesLandscapeAndPortraitAlikeOnTheSheet) {
  for (const bool landscape : {false, true}) {
    SCOPED_TRACE(landscape ? "landscape" : "portrait");
    a_template x = Sheet({Unit(UNIT_RECT, 60, 50, 90, 60)});
    if (landscape) x.tflags |= uint32(1) << IS_LANDSCAPE;
    Open(x);
    const auto stored = [](int16 h, int16 v) {
      // The nudge as the paper keeps it, whatever the layout's turn.
      gs.pref.print_media[NOT_DIRECT].list[g_doc.doc_mediax].nudge = Point{v, h};
    };
    stored(0, 0);
    const Page before = Printed_Any(Print1_Doc, "before");
    ASSERT_GT(before.width, 0);
    EXPECT_LT(before.width, before.height) << "the sheet comes out as it is fed";
    double cx, cy;
    ASSERT_TRUE(before.Marked_Centre(0, 0, before.width, before.height, cx, cy));
    stored(25, 15);  // 2.5 mm right and 1.5 mm down on the sheet
    const Page after = Printed_Any(Print1_Doc, "after");
    ASSERT_GT(after.width, 0);
    double nx, ny;
    ASSERT_TRUE(after.Marked_Centre(0, 0, after.width, after.height, nx, ny));
    EXPECT_NEAR((nx - cx) / kDotsPerMM, 2.5, 0.3);
    EXPECT_NEAR((ny - cy) / kDotsPerMM, 1.5, 0.3);
    stored(0, 0);
    doctests::Close_Document();
  }
}

// The queue is asked for the layout's paper: a named one (A5) and a size of
// its own (a 120 mm disc tray) come out on pages of their size.
TEST_F(SpooledPrinting, JobAsksTheQueueForTheLayoutsPaper) {
  for (const a_fpoint paper : {a_fpoint{148, 210}, a_fpoint{120, 120}}) {
    SCOPED_TRACE(paper.x);
    a_template x = Sheet({Unit(UNIT_RECT, 10, 10, paper.x - 20, paper.y - 20)});
    x.papersize = paper;
    Open(x);
    const Page page = Printed_Any(Print1_Doc, "paper");
    // A named paper is the queue's own size of it (within a point).
    EXPECT_NEAR(page.width, paper.x * kDotsPerMM, 8);
    EXPECT_NEAR(page.height, paper.y * kDotsPerMM, 8);
    doctests::Close_Document();
  }
}

}  // namespace
