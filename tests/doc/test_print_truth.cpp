// Prints that show what the document holds, measured on the printed page: a
// label whose only content is a tinted canvas, artwork printed over its
// bleeds (a bled disc, a label bled over the sheet's edges), pages of the
// layout's paper whatever it is, and layouts up to a metre across.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "PrintTestSupport.h"
#include "TestSupport.h"
#include "doc/VoskPrin.h"
#include "host/HostPrint.h"
#include "host/HostScript.h"
#include "platform/SysInfo.h"
#include "platform/SysPrint.h"
#include "objects/VoskCanv.h"
#include "platform/VoskDef.h"
#include "ui/VoskAskRemap.h"
#include "ui/VoskIntI.h"

namespace {

using printsheet::Dots;
using printsheet::kDotsPerMM;
using printsheet::Page;
using printsheet::Sheet;
using printsheet::Unit;

class PrintTruth : public printsheet::PrintingTest {
 protected:
  PrintTruth() : PrintingTest("print-truth") {}
  // The page of a print that must succeed, written as a PDF and read back
  // at 300 dpi.
  Page Printed_Pdf(const std::string& name) {
    if (!On_Path("pdftoppm")) {
      ADD_FAILURE() << Missing_Tool_Message("pdftoppm");
      return Page{};
    }
    Host_Print_Set_Output_Path(P(name + ".pdf"));
    EXPECT_TRUE(Print1_Doc());
    return printsheet::Render_Pdf_Page(P(name + ".pdf"), P(name));
  }
};

a_unit Bled(a_unit u, float bleed) {
  u.bleed = a_frect{bleed, bleed, bleed, bleed};
  return u;
}

// A unit whose canvas is only a tint is something to print: its page shows
// the tint, and it is a design the layout switch carries over.
TEST_F(PrintTruth, TintedCanvasAlonePrints) {
  ASSERT_TRUE(Doc_New(Sheet({Unit(UNIT_RECT, 40, 40, 60, 40)})));
  a_doc_unit* u = Doc_Unit(1);
  u->printf = true;
  EXPECT_TRUE(Is_Unit_Empty(1));
  u->canv.cv.canvas_color_hue = 0;  // red, fully saturated
  u->canv.cv.canvas_color_dist = 72;
  ASSERT_TRUE(Is_CanvKey_White(u->canv.cv.canvas_key));
  Unit_PostRender(u);
  EXPECT_FALSE(Is_Unit_Empty(1));
  const Page page = Printed_Pdf("tint");
  ASSERT_GT(page.width, 0);
  const uint32 c = page.Rgb(Dots(70), Dots(60));
  EXPECT_GE((c >> 16) & 0xFF, 200u) << std::hex << c;
  EXPECT_LE((c >> 8) & 0xFF, 40u) << std::hex << c;
  EXPECT_FALSE(page.Marked(Dots(30), Dots(60)));

  a_template_mapping map{};
  a_sig_list sig{};
  uint32 nsig = 0;
  bool8 exact = false;
  Calc_Template_Mapping(Sheet({Unit(UNIT_RECT, 10, 10, 60, 40)}), map, nsig, sig, exact);
  EXPECT_EQ(nsig, 1u);
  EXPECT_EQ(map.map[0].mapkind, UMP_COPY);
}

// The first and last marked column of a row of the page, in millimetres.
void Marked_Span(const Page& page, double row_mm, double& from, double& to) {
  const int32 y = Dots(row_mm);
  int32 first = -1, last = -1;
  for (int32 x = 0; x < page.width; ++x)
    if (page.Marked(x, y)) {
      if (first < 0) first = x;
      last = x;
    }
  from = first / kDotsPerMM;
  to = (last + 1) / kDotsPerMM;
}

// A disc of 117 mm with 3.2 mm of bleed prints 123.4 mm across, centred
// where the layout has it; its crop marks stay in line with the cut.
TEST_F(PrintTruth, BledDiscPrintsOverItsBleed) {
  const uint32 round = uint32(1) << UNIT_CLOBBERS;
  Open(Sheet({Bled(Unit(UNIT_CD, 46.5f, 40, 117, 117, round, 15), 3.2f)}));
  const Page page = Printed_Pdf("disc");
  ASSERT_GT(page.width, 0);
  double from, to;
  Marked_Span(page, 40 + 58.5, from, to);
  EXPECT_NEAR(to - from, 123.4, 0.3);
  EXPECT_NEAR((from + to) / 2, 105.0, 0.2);
  // Down the middle column too.
  int32 first = -1, last = -1;
  for (int32 y = 0; y < page.height; ++y)
    if (page.Marked(Dots(105), y)) {
      if (first < 0) first = y;
      last = y;
    }
  EXPECT_NEAR((last + 1 - first) / kDotsPerMM, 123.4, 0.3);
}

// A label bled 5 mm over every edge of its A4 sheet fills the sheet to its
// edges, undistorted: the painting's left third (blue) ends a third of the
// bled width (220 mm) in from the bled edge.
TEST_F(PrintTruth, FullBleedLabelCoversTheSheet) {
  Open(Sheet({Bled(Unit(UNIT_RECT, 0, 0, 210, 297), 5)}));
  const Page page = Printed_Pdf("full");
  ASSERT_GT(page.width, 0);
  ASSERT_EQ(page.width, 2480);
  for (const auto& [x, y] : std::vector<std::pair<int32, int32>>{
           {0, 0}, {page.width - 1, 0}, {0, page.height - 1}, {page.width - 1, page.height - 1}})
    EXPECT_TRUE(page.Marked(x, y)) << x << "," << y;
  // Along a row in the blue third: where blue gives way to red.
  const int32 y = Dots(50);
  int32 edge = -1;
  for (int32 x = 0; x + 1 < page.width && edge < 0; ++x)
    if ((page.Rgb(x, y) & 0xFF) > 0x80 && (page.Rgb(x + 1, y) & 0xFF) < 0x80) edge = x + 1;
  EXPECT_NEAR(edge / kDotsPerMM, 220.0 / 3 - 5, 0.3);
  // And down a column: the blue third ends a third of 307 mm down.
  const int32 x = Dots(20);
  int32 bottom = -1;
  for (int32 yy = 0; yy + 1 < page.height && bottom < 0; ++yy)
    if ((page.Rgb(x, yy) & 0xFF) > 0x80 && (page.Rgb(x, yy + 1) & 0xFF) < 0x80) bottom = yy + 1;
  EXPECT_NEAR(bottom / kDotsPerMM, 307.0 / 3 - 5, 0.3);
}

// Every paper a layout can have is the page the file printer writes, and
// the labels sit where the layout has them on it: a Legal wrap's far end is
// on the page. The layout designer's preview prints on the design's paper.
TEST_F(PrintTruth, PageIsTheLayoutsPaper) {
  const struct {
    const char* name;
    float w, h;
    bool landscape;
  } papers[] = {{"a5", 148, 210, false},   {"a3", 297, 420, false},      {"legal", 215.9f, 355.6f, false},
                {"tray", 120, 120, false}, {"legal-land", 215.9f, 355.6f, true}};
  for (const auto& c : papers) {
    SCOPED_TRACE(c.name);
    const float pw = c.landscape ? c.h : c.w, ph = c.landscape ? c.w : c.h;
    a_template x = Sheet({Unit(UNIT_RECT, 5, 5, pw - 10, ph - 10)});
    x.papersize = {c.w, c.h};
    if (c.landscape) x.tflags |= uint32(1) << IS_LANDSCAPE;
    Open(x);
    const Page page = Printed_Pdf(c.name);
    ASSERT_GT(page.width, 0);
    EXPECT_NEAR(page.width, pw * kDotsPerMM, 1.5);
    EXPECT_NEAR(page.height, ph * kDotsPerMM, 1.5);
    // The label's far corner is on the page, 5 mm in from its edges.
    EXPECT_TRUE(page.Marked(Dots(pw - 6), Dots(ph - 6)));
    EXPECT_FALSE(page.Marked(Dots(pw - 4), Dots(ph - 4)));
    doctests::Close_Document();
  }

  // An A4 project; the designer's A5 layout previewed.
  Open(Sheet({Unit(UNIT_RECT, 60, 60, 90, 50)}));
  info_is_cmdline = true;  // no print dialog
  Host_Print_Set_Output_Path(P("design.pdf"));
  a_template design = Sheet({Unit(UNIT_RECT, 20, 20, 100, 150)});
  design.papersize = {148, 210};
  EXPECT_TRUE(Print_Template(design));
  info_is_cmdline = false;
  const Page preview = printsheet::Render_Pdf_Page(P("design.pdf"), P("design"));
  EXPECT_NEAR(preview.width, 148 * kDotsPerMM, 1.5);
  EXPECT_NEAR(preview.height, 210 * kDotsPerMM, 1.5);
}

// The print dialog offers the layout's paper first: OK prints on it, a paper
// of its own size (a disc tray) included.
TEST_F(PrintTruth, PrintDialogOffersTheLayoutsPaper) {
  for (const a_fpoint paper : {a_fpoint{148, 210}, a_fpoint{120, 120}}) {
    SCOPED_TRACE(paper.x);
    a_template x = Sheet({Unit(UNIT_RECT, 10, 10, 50, 50)});
    x.papersize = paper;
    Open(x);
    Host_Print_Set_Output_Path(P("asked.pdf"));
    Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");  // OK
    EXPECT_TRUE(Print_Doc());
    const Page page = printsheet::Render_Pdf_Page(P("asked.pdf"), P("asked"));
    EXPECT_NEAR(page.width, paper.x * kDotsPerMM, 1.5);
    EXPECT_NEAR(page.height, paper.y * kDotsPerMM, 1.5);
    doctests::Close_Document();
  }
}

// A layout a metre wide prints: the job's resolution is held where a metre
// fits 16-bit device coordinates even when the printer is set to 1200 dpi,
// and the far label lands where the layout has it.
TEST_F(PrintTruth, MetreWideLayoutPrints) {
  a_template x = Sheet({Unit(UNIT_RECT, 10, 10, 80, 80), Unit(UNIT_RECT, 900, 600, 80, 80)});
  x.papersize = {1000, 700};
  EXPECT_EQ(Check_Template(x), EXPAND_OK);
  x.papersize = {1000.5f, 700};
  EXPECT_EQ(Check_Template(x), EXPAND_TOO_LARGE);
  x.papersize = {1000, 700};
  Open(x);
  ASSERT_TRUE(g_doc.doc_open);
  ASSERT_TRUE(Is_Printer_Avail());
  auto* dm = reinterpret_cast<DEVMODEA*>(Handle_Lock(g_print.devmode_hdl));
  dm->dmPrintQuality = dm->dmYResolution = 1200;
  Handle_Unlock(g_print.devmode_hdl);
  if (!On_Path("pdftoppm")) GTEST_FAIL() << Missing_Tool_Message("pdftoppm");
  Host_Print_Set_Output_Path(P("metre.pdf"));
  ASSERT_TRUE(Print1_Doc());
  // The kept settings keep their resolution.
  EXPECT_EQ(reinterpret_cast<const DEVMODEA*>(Handle_Lock(g_print.devmode_hdl))->dmPrintQuality, 1200);
  Handle_Unlock(g_print.devmode_hdl);
  // One pixel a millimetre.
  const std::string cmd = "pdftoppm -r 25.4 -singlefile -aa no -aaVector no '" + P("metre.pdf") + "' '" +
                          P("metre") + "' 2>/dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::ifstream f(P("metre.ppm"), std::ios::binary);
  std::string magic;
  int w = 0, h = 0, maxval = 0;
  f >> magic >> w >> h >> maxval;
  f.get();
  ASSERT_EQ(magic, "P6");
  EXPECT_NEAR(w, 1000, 1);
  EXPECT_NEAR(h, 700, 1);
  std::vector<uint8> rgb(size_t(w) * size_t(h) * 3);
  f.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()));
  const auto marked = [&](int x0, int y0) {
    const uint8* p = &rgb[(size_t(y0) * size_t(w) + size_t(x0)) * 3];
    return std::min({p[0], p[1], p[2]}) < 232;
  };
  EXPECT_TRUE(marked(50, 50));
  EXPECT_TRUE(marked(902, 602));
  EXPECT_TRUE(marked(977, 677));
  EXPECT_FALSE(marked(897, 597));
  EXPECT_FALSE(marked(983, 683));
  EXPECT_FALSE(marked(500, 400));
}

}  // namespace
