// Printing a disc-printer layout: with the disc printer installed the job
// goes to it, on its 120-mm disc paper, its private settings filled from
// the medium (size 3, the diameters in whole millimetres, inner rounded
// down and outer up, the density and quality), read back from the running
// job's device context; a paper layout beside it still prints on the page
// printer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "PrintTestSupport.h"
#include "doc/VoskTmpl.h"
#include "host/HostPrint.h"
#include "host/HostWin.h"
#include "platform/SysPrint.h"
#include "platform/VoskPref.h"
#include "ui/VoskBrow.h"
#include "ui/VoskIntI.h"

namespace {

using printsheet::Page;

class DiscPrinting : public printsheet::PrintingTest {
 protected:
  DiscPrinting() : PrintingTest("disc-print") {}
  void SetUp() override {
    PrintingTest::SetUp();
    if (IsSkipped()) return;
    Host_Print_Set_Disc_Printer(true);
    Host_Print_Set_Output_Path(P("page.png"));
  }
  void TearDown() override {
    Host_Print_Set_Disc_Printer(false);
    PrintingTest::TearDown();
  }
  // The catalogue's layout of that name, expanded.
  static bool Catalogue_Layout(const char* label, a_template& x) {
    a_ctemplate entry{};
    const uint32 tx = Find_Template(CStrSpan(label, std::strlen(label) + 1));
    return tx != 0 && Get_CTemplate(tx, entry) && Expand_Template(entry, x) == EXPAND_OK;
  }
};

// The settings the host's device context of the running job holds, taken
// by a window of the test when the job's abort procedure (at the start of
// the page) hands it the message posted before the print.
constexpr UINT kTakeSettings = WM_APP + 7;
std::vector<uint8> g_job_settings;
LRESULT Settings_Taker(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == kTakeSettings) {
    if (g_print.hdc != nullptr) (void)Host_Printer_DC_DevMode(g_print.hdc, g_job_settings);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

// The disc printer's block in a settings block, by its signature.
bool Private_Block(const std::vector<uint8>& block, a_zadaz_private& z, DEVMODEA& dm) {
  const DEVMODEA* mode = Host_DevMode_Check(block.data(), block.size());
  if (mode == nullptr) return false;
  dm = *mode;
  const uint8* area = block.data() + mode->dmSize;
  int32 at = -1;
  if (!Find_In_Area(area, mode->dmDriverExtra, at)) return false;
  Zadaz_Private_Read(area + at, z);
  return true;
}

TEST_F(DiscPrinting, DiscLayoutPrintsOnTheDiscPrinterWithItsMedium) {
  a_template x{};
  ASSERT_TRUE(Catalogue_Layout("_ Disc printer by driver, CD", x));
  ASSERT_NE(x.tflags & (uint32(1) << IS_DYMO_ZADAZ), 0u);
  Open(x);
  ASSERT_EQ(Calc_Direct_Print_Kind(), CD_DIRECT);
  a_print_media_spec spec{};
  Get_Media_Specs(spec);
  spec.adj[0] = 151;   // inner diameter, tenths of a millimetre
  spec.adj[1] = 1171;  // outer
  spec.adj[3] = 7;     // density
  spec.adj[4] = 4;     // quality
  Set_Media_Specs(spec);
  // The number of copies as the print panel's slider holds it.
  gs.slider_vals[PRINT_NCOPIES_SLIDER] = 3;

  WNDCLASS wc;
  wc.lpfnWndProc = Settings_Taker;
  wc.lpszClassName = "SETTINGSTAKER";
  ASSERT_NE(RegisterClass(&wc), 0);
  HWND taker = CreateWindowEx(0, "SETTINGSTAKER", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(taker, nullptr);
  g_job_settings.clear();
  ASSERT_TRUE(PostMessage(taker, kTakeSettings, 0, 0));
  // The dialog is never asked for: the disc printer's settings are the job's.
  const bool8 printed = Print_Doc();
  gs.slider_vals[PRINT_NCOPIES_SLIDER] = SLIDER_VALUES[PRINT_NCOPIES_SLIDER].defaultval;
  DestroyWindow(taker);
  UnregisterClass("SETTINGSTAKER", nullptr);
  ASSERT_TRUE(printed);
  const HostPrintOutcome out = Host_Print_Last_Outcome();
  EXPECT_EQ(out.printer, kHostDiscPrinterName);
  // The copies are the printer's: three pages of one.
  ASSERT_EQ(out.files.size(), 3u);
  const Page page = printsheet::Read_Png_Page(out.files.front());
  // The 120-mm disc paper, 119.5 mm square, at 300 dpi.
  EXPECT_EQ(page.width, (1195 * 300 + 127) / 254);
  EXPECT_EQ(page.height, page.width);
  double cx = 0, cy = 0;
  ASSERT_TRUE(page.Centroid(0, 0, page.width, page.height, cx, cy));
  EXPECT_NEAR(cx, page.width / 2.0, 12);

  a_zadaz_private z{};
  DEVMODEA dm{};
  ASSERT_FALSE(g_job_settings.empty()) << "the job's settings were not taken while it ran";
  ASSERT_TRUE(Private_Block(g_job_settings, z, dm));
  EXPECT_STREQ(dm.dmDeviceName, kHostDiscPrinterName);
  EXPECT_EQ(std::memcmp(z.signature, "DYMO", 4), 0);
  EXPECT_EQ(z.media_size, 3);
  EXPECT_EQ(z.full_120_inner, 15);
  EXPECT_EQ(z.full_120_outer, 118);
  EXPECT_EQ(z.print_quality, 4);
  for (const int32 d : z.ink_density) EXPECT_EQ(d, 7);
  EXPECT_EQ(dm.dmCopies, 3);
  EXPECT_EQ(dm.dmPaperSize, DMPAPER_DISC120);
  EXPECT_EQ(dm.dmPaperWidth, 1195);
}

// A paper layout with the disc printer installed prints on the page
// printer, on A4, and leaves the disc printer's settings alone.
TEST_F(DiscPrinting, PaperLayoutStaysOnThePagePrinter) {
  Open(printsheet::Sheet({printsheet::Unit(UNIT_CD, 45, 20, 120, 120, 0, 15)}));
  ASSERT_TRUE(Print1_Doc());
  const HostPrintOutcome out = Host_Print_Last_Outcome();
  EXPECT_NE(out.printer, kHostDiscPrinterName);
  ASSERT_EQ(out.files.size(), 1u);
  const Page page = printsheet::Read_Png_Page(out.files.front());
  EXPECT_EQ(page.width, 2480);
  EXPECT_EQ(page.height, 3508);
  EXPECT_EQ(g_zadaz_devmode, nullptr);
}

}  // namespace
