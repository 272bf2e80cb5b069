// Printing through the file printer to PNG pages, measured on the pages: a
// two-up disc sheet (each disc where its layout puts it, the clone the
// master's picture), the nudge, a booklet's crop marks, the test sheet's
// corner marks; jobs that print nothing say so and report failure; the
// unit cache, empty units, nudge limits and the dimension texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "PrintTestSupport.h"
#include "TestSupport.h"
#include "doc/VoskPrin.h"
#include "doc/VoskRend.h"
#include "host/HostByteOrder.h"
#include "host/HostCodecs.h"
#include "host/HostFiles.h"
#include "host/HostPrint.h"
#include "host/HostScript.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "platform/SysInfo.h"
#include "platform/SysKey.h"
#include "platform/SysDlog.h"
#include "platform/SysPrint.h"
#include "platform/VoskDef.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"

namespace {

using printsheet::Dots;
using printsheet::kDotsPerMM;
using printsheet::Page;
using printsheet::Sheet;
using printsheet::Unit;

class Printing : public printsheet::PrintingTest {
 protected:
  Printing() : PrintingTest("print") {}
  void SetUp() override {
    PrintingTest::SetUp();
    if (IsSkipped()) return;
    Host_Print_Set_Output_Path(P("page.png"));
  }
  // The page printed by a print command that must succeed.
  Page Printed(bool8 (*command)()) {
    EXPECT_TRUE(command());
    const std::vector<std::string> files = Host_Print_Last_Files();
    EXPECT_EQ(files.size(), 1u);
    if (files.empty()) return Page{};
    Page page = printsheet::Read_Png_Page(files.front());
    EXPECT_EQ(page.width, 2480);  // A4 at 300 dpi
    EXPECT_EQ(page.height, 3508);
    return page;
  }
};

// Two discs of 120 mm, the second a clone, each clipped to its circle: each
// disc's centre where the layout has it, the clone the same picture as its
// master; a nudge of +5 moves both half a millimetre right.
TEST_F(Printing, TwoUpDiscSheetPlacesEachDiscAndItsClone) {
  // 127 mm apart: exactly 1500 dots, so that the two pictures can be compared pixel for pixel.
  Open(printsheet::Two_Up_Disc_Sheet());
  if (!Doc_Unit(2)->clonef) {
    ASSERT_TRUE(Clone(2));
  }
  Doc_Unit(2)->printf = true;
  const Page page = Printed(Print1_Doc);
  ASSERT_GT(page.width, 0);
  const int32 mid = Dots(143.5);
  double cx, cy;
  ASSERT_TRUE(page.Centroid(0, 0, page.width, mid, cx, cy));
  EXPECT_NEAR(cx / kDotsPerMM, 105.0, 0.2);
  EXPECT_NEAR(cy / kDotsPerMM, 80.0, 0.2);
  double kx, ky;
  ASSERT_TRUE(page.Centroid(0, mid, page.width, page.height, kx, ky));
  EXPECT_NEAR(kx / kDotsPerMM, 105.0, 0.2);
  EXPECT_NEAR(ky / kDotsPerMM, 207.0, 0.2);
  // Round: the box's corners stay white, its centre is inked.
  EXPECT_FALSE(page.Ink(Dots(46), Dots(21)));
  EXPECT_TRUE(page.Ink(Dots(105), Dots(80)));
  // The clone is the master's picture, pixel for pixel (blue corner included).
  EXPECT_EQ(page.Rgb(Dots(75), Dots(55)), 0x2030E0u);
  int32 differ = 0;
  for (int32 y = Dots(19); y < Dots(141); ++y)
    for (int32 x = Dots(44); x < Dots(166); ++x) differ += page.Rgb(x, y) != page.Rgb(x, y + 1500);
  EXPECT_EQ(differ, 0);

  // As a PDF: the disc's picture is one image, placed twice; nothing else
  // is an image larger than a small patch, none the page's size.
  if (!On_Path("pdfimages")) {
    ADD_FAILURE() << Missing_Tool_Message("pdfimages");
  } else {
    Host_Print_Set_Output_Path(P("sheet.pdf"));
    ASSERT_TRUE(Print1_Doc());
    const std::vector<printsheet::PdfImage> images = printsheet::Pdf_Images_Listed(P("sheet.pdf"));
    const int32 side = Doc_Unit(1)->paintbounds.right;
    std::set<int32> objects;
    int32 uses = 0;
    for (const printsheet::PdfImage& im : images) {
      SCOPED_TRACE(testing::Message() << im.width << "x" << im.height);
      if (im.width == side && im.height == side) {
        ++uses;
        objects.insert(im.object);
      } else {
        EXPECT_LE(std::min(im.width, im.height), 64);
      }
    }
    EXPECT_EQ(uses, 2);
    EXPECT_EQ(objects.size(), 1u);
    Host_Print_Set_Output_Path(P("page.png"));
  }

  ASSERT_TRUE(Set_Nudge(5, 0));
  const Page nudged = Printed(Print1_Doc);
  double nx, ny;
  ASSERT_TRUE(nudged.Centroid(0, 0, nudged.width, mid, nx, ny));
  EXPECT_NEAR((nx - cx) / kDotsPerMM, 0.5, 0.05);
  EXPECT_NEAR(ny, cy, 0.5);
}

// A booklet's crop marks: 4 mm long, starting 1 mm outside its box, in line
// with its sides and, for a booklet, its middle.
TEST_F(Printing, BookletCropMarksStartOneMillimetreOutside) {
  Open(printsheet::Booklet_Sheet());
  const Page page = Printed(Print1_Doc);
  ASSERT_GT(page.width, 0);
  printsheet::Expect_Booklet_Crop_Marks(page, 0, 0.1);
}

// The test sheet prints every unit (marked or not) as outlines, and the
// "20 mm" and "1 inch" crosshairs at those distances from the sheet's corner.
TEST_F(Printing, TestSheetCornerMarksAtTheirDistances) {
  Open(Sheet({Unit(UNIT_RECT, 60, 60, 90, 50)}));
  Doc_Unit(1)->printf = false;
  info_is_cmdline = true;  // no print dialog
  const Page page = Printed(Print_Test);
  info_is_cmdline = false;
  ASSERT_GT(page.width, 0);
  printsheet::Expect_Corner_Marks(page, 0.1);
  // The unit's outline, though it is not marked for printing.
  int32 outline = 0;
  for (int32 x = Dots(70); x < Dots(140); ++x) outline += page.Dark(x, Dots(60));
  EXPECT_GT(outline, Dots(60));
  // The seven colour chips, 6 mm squares, their top at 70 % of the unit's
  // height; the red one first, the black one last.
  int32 red = 0, blue = 0;
  for (int32 y = Dots(95); y < Dots(101); ++y)
    for (int32 x = Dots(60); x < Dots(150); ++x) red += page.Rgb(x, y) == 0xFF0000u, blue += page.Rgb(x, y) == 0x0000FFu;
  // 6 mm is 70 dots; inside its black frame 68 x 68 are the chip's colour.
  EXPECT_EQ(red, 68 * 68);
  EXPECT_EQ(blue, 68 * 68);
}

// An outline sheet of another layout prints that layout's outlines (no
// chips), and the document keeps its own layout.
TEST_F(Printing, TemplateSheetOfAnotherLayout) {
  Open(Sheet({Unit(UNIT_RECT, 60, 60, 90, 50)}));
  info_is_cmdline = true;  // no print dialog
  const Page page = Printed([]() -> bool8 {
    a_template x = Sheet({Unit(UNIT_RECT, 20, 200, 50, 40)});
    std::strcpy(x.label, "Other sheet");
    return Print_Template(x);
  });
  info_is_cmdline = false;
  ASSERT_GT(page.width, 0);
  int32 other_edge = 0, own_edge = 0, chips = 0;
  for (int32 x = Dots(25); x < Dots(65); ++x) other_edge += page.Dark(x, Dots(200));
  for (int32 x = Dots(70); x < Dots(140); ++x) own_edge += page.Dark(x, Dots(60));
  for (int32 y = Dots(200); y < Dots(240); ++y)
    for (int32 x = Dots(20); x < Dots(70); ++x) chips += (page.Rgb(x, y) == 0xFF0000u);
  EXPECT_GT(other_edge, Dots(30));
  EXPECT_EQ(own_edge, 0);
  EXPECT_EQ(chips, 0);
  EXPECT_STREQ(g_doc.doc_template.label, "Print sheet");
  EXPECT_EQ(g_doc.doc_template.units[0].bbox.left, 60.0f);
}

// A print that prints nothing fails and says why: nothing marked (alert
// 48, no job), a job that could not be delivered (not reported as done).
TEST_F(Printing, JobsThatPrintNothingFail) {
  Open(Sheet({Unit(UNIT_RECT, 60, 60, 90, 50)}));
  gs.controller = HUMAN;
  Doc_Unit(1)->printf = false;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Print1_Doc());
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("alert 48:"), std::string::npos) << err;
  EXPECT_FALSE(Host_Exists(P("page.png").c_str()));

  // The File menu's Print reaches the same refusal.
  testing::internal::CaptureStderr();
  DoMenuEvent(MENU_FILE, 9, false, false);
  err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("alert 48:"), std::string::npos) << err;

  Doc_Unit(1)->printf = true;
  Host_Print_Set_Output_Path(P("no-such-folder/page.png"));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Print1_Doc());
  err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("alert 75:"), std::string::npos) << err;
}

// A unit with nothing on it is empty, but paint alone is something to
// print; the cache holds the master's picture until it is freed; -0 bleeds
// are no bleed.
TEST_F(Printing, CacheAndEmptyUnits) {
  ASSERT_TRUE(Doc_New(Sheet({Unit(UNIT_RECT, 10, 10, 40, 30), Unit(UNIT_RECT, 60, 10, 40, 30),
                             Unit(UNIT_RECT, 110, 10, 40, 30)})));
  EXPECT_TRUE(Is_Unit_Empty(1));
  EXPECT_TRUE(Is_Unit_Empty(9));
  Sync_Existence(true, Doc_Unit(1), PAINT1_LAYER);
  Doc_Unit(1)->paintinuse = true;
  EXPECT_FALSE(Is_Unit_Empty(1));
  ASSERT_TRUE(UnitCache_Init(1));
  EXPECT_EQ(g_unitcache.masterx, 1u);
  ASSERT_NE(g_unitcache.gworld, nullptr);
  EXPECT_EQ(g_unitcache.bounds.right, Doc_Unit(1)->paintbounds.right);
  UnitCache_Stop();
  EXPECT_EQ(g_unitcache.gworld, nullptr);
  EXPECT_EQ(g_unitcache.masterx, 0u);
  a_unit bled{};
  bled.bleed = a_frect{-0.0f, -0.0f, -0.0f, -0.0f};
  EXPECT_FALSE(Is_Unit_Bled(bled));
  bled.bleed.top = 1;
  EXPECT_TRUE(Is_Unit_Bled(bled));
}

// The cache holds the unit turned half a turn or flipped as its layout unit
// says: the blue top-left corner of the painting moves to the matching corner.
TEST_F(Printing, CacheTurnsAndFlipsTheMaster) {
  const struct {
    uint32 uflags;
    bool right, bottom;
  } cases[] = {{0, false, false},
               {uint32(1) << UNIT_ROTATE180, true, true},
               {uint32(1) << UNIT_FLIPX, true, false},
               {uint32(1) << UNIT_FLIPY, false, true},
               {uint32(1) << UNIT_ROTATE180 | uint32(1) << UNIT_FLIPX, false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.uflags);
    Open(Sheet({Unit(UNIT_RECT, 10, 10, 60, 40, c.uflags)}));
    ASSERT_TRUE(UnitCache_Init(1));
    const Rect& b = g_unitcache.bounds;
    const int x = c.right ? b.right - 5 : 5, y = c.bottom ? b.bottom - 5 : 5;
    EXPECT_EQ(*Pixel(g_unitcache.gworld, x, y) & 0xFFFFFFu, 0x2030E0u);
    EXPECT_EQ(*Pixel(g_unitcache.gworld, b.right - 1 - x, b.bottom - 1 - y) & 0xFFFFFFu, 0xE02010u);
    UnitCache_Stop();
    doctests::Close_Document();
  }
}

// An exported unit records its resolution on paper, its pixels over its
// size: a rectangle drawn at 300 dots per inch records 11811 pixels a
// metre in a BMP header; a disc's picture, 1200 pixels over 120 mm, 254
// dpi (10000 a metre), so that other programs show it at the disc's size.
// A failed export says so.
TEST_F(Printing, ExportedUnitRecordsItsResolutionOnPaper) {
  const struct {
    const char* file;
    a_unit unit;
    uint32 per_metre;
  } cases[] = {{"unit.bmp", Unit(UNIT_RECT, 10, 10, 60, 40), 11811u},
               {"disc.bmp", Unit(UNIT_CD, 10, 10, 120, 120), 10000u}};
  FSSpec spec;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Open(Sheet({c.unit}));
    ASSERT_TRUE(Path_From_Text(spec, P(c.file).c_str()));
    ASSERT_EQ(Export_Unit(1, FMT_BMP, spec), 0);
    const std::string bytes = testdir::Read_Text(P(c.file));
    ASSERT_GE(bytes.size(), 54u);
    const uint8* header = reinterpret_cast<const uint8*>(bytes.data());
    const Rect& b = Doc_Unit(1)->paintbounds;
    EXPECT_EQ(Load_LE32(header + 18), uint32(b.right - b.left));
    EXPECT_EQ(Load_LE32(header + 38), c.per_metre);
    EXPECT_EQ(Load_LE32(header + 42), c.per_metre);
  }

  gs.controller = HUMAN;
  ASSERT_TRUE(Path_From_Text(spec, P("no-such-folder/unit.bmp").c_str()));
  testing::internal::CaptureStderr();
  EXPECT_NE(Export_Unit(1, FMT_BMP, spec), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("alert 49: Sorry, the export failed."), std::string::npos) << err;
}

// Nudges within -800 .. 800 are kept; past them refused and nothing stored.
TEST_F(Printing, NudgeLimits) {
  ASSERT_TRUE(Doc_New(Sheet({Unit(UNIT_RECT, 10, 10, 40, 30)})));
  a_print_media_spec spec{};
  for (const int16 v : {int16(-800), int16(800), int16(0)}) {
    EXPECT_TRUE(Set_Nudge(v, int16(-v)));
    Get_Media_Specs(spec);
    EXPECT_EQ(spec.nudge.h, v);
    EXPECT_EQ(spec.nudge.v, -v);
  }
  ASSERT_TRUE(Set_Nudge(30, 40));
  EXPECT_FALSE(Set_Nudge(801, 0));
  EXPECT_FALSE(Set_Nudge(0, -801));
  Get_Media_Specs(spec);
  EXPECT_EQ(spec.nudge.h, 30);
  EXPECT_EQ(spec.nudge.v, 40);
  Print_Nudge_R();
  Print_Nudge_U();
  Get_Media_Specs(spec);
  EXPECT_EQ(spec.nudge.h, 35);
  EXPECT_EQ(spec.nudge.v, 35);
}

// The print panel's sliders follow the medium of a disc-printer layout: the
// outer diameter's range by the kind of disc, each slider's value from the
// medium, and a moved slider's value back into the medium.
TEST_F(Printing, AdjustSlidersFollowTheMedium) {
  a_template x = Sheet({Unit(UNIT_CD, 0, 0, 120, 120, 0, 15)});
  x.tflags = uint32(1) << IS_CDPRINTER;
  x.papersize = {120, 120};
  ASSERT_TRUE(Doc_New(x));
  a_print_media_spec spec{};
  Get_Media_Specs(spec);
  spec.adj[0] = 170, spec.adj[1] = 1170, spec.adj[2] = 600;
  Set_Media_Specs(spec);
  Load_Print_Adjust();
  EXPECT_EQ(g_sliders[PRINT_OUTERD_SLIDER].minval, 1000);
  EXPECT_EQ(g_sliders[PRINT_OUTERD_SLIDER].maxval, 1200);
  EXPECT_EQ(gs.slider_vals[PRINT_INNERD_SLIDER], 170);
  EXPECT_EQ(gs.slider_vals[PRINT_OUTERD_SLIDER], 1170);
  EXPECT_EQ(gs.slider_vals[PRINT_BIZSIDE_SLIDER], 600);
  gs.slider_vals[PRINT_OUTERD_SLIDER] = 1190;
  Delta_Print_Adjust();
  Get_Media_Specs(spec);
  EXPECT_EQ(spec.adj[0], 170);
  EXPECT_EQ(spec.adj[1], 1190);
}

// The echo of the layout: the first unit in dark blue fitted into the box,
// and a dimension line with its arrow heads across the disc's width, or
// across its hole, centred.
TEST_F(Printing, EchoTemplateDrawsTheUnitAndItsDimension) {
  ASSERT_TRUE(Doc_New(Sheet({Unit(UNIT_CD, 10, 10, 120, 120, 0, 40)})));
  GWorldPtr world = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 200, 200}, 32, nullptr, world), noErr);
  Push_GWorld(world);
  for (const int16 which : {int16(0), int16(1)}) {
    SCOPED_TRACE(which);
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 200; ++x) *Pixel(world, x, y) = 0xFFFFFFFFu;
    Echo_Template(Rect{0, 0, 200, 200}, which);
    // The disc's ring in dark blue (the box is 120 mm: 1 mm to 1.67 pixels).
    EXPECT_EQ(*Pixel(world, 100, 30) & 0xFFFFFFu, 0x1B3355u);
    EXPECT_EQ(*Pixel(world, 2, 2) & 0xFFFFFFu, 0xFFFFFFu);
    // The line along the middle row: black from end to end of what it measures.
    const int half = which == 0 ? 100 : int(std::lround(20 * 200.0 / 120));
    int black = 0;
    for (int x = 0; x < 200; ++x) black += (*Pixel(world, x, 100) & 0xFFFFFFu) == 0;
    EXPECT_NEAR(black, 2 * half, 3);
    EXPECT_EQ(*Pixel(world, 100 - half + 2, 100) & 0xFFFFFFu, 0u);
    EXPECT_EQ(*Pixel(world, 100 - half + 2, 102) & 0xFFFFFFu, 0u);  // the arrow head
  }
  Pop_GWorld();
  Dispose_GWorld(world);
}

TEST(PrintTexts, MillimetresAndInches) {
  char mark = '.';
  Get_Decimal_Mark(mark);
  const std::string d(1, mark);
  const struct {
    int32 mmt;
    std::string mm, in;
  } table[] = {{1200, "120 mm", "4" + d + "72 in"}, {125, "12" + d + "5 mm", "0" + d + "49 in"},
               {254, "25" + d + "4 mm", "1 in"},    {0, "0 mm", "0 in"},
               {1, "0" + d + "1 mm", "0 in"},       {3, "0" + d + "3 mm", "0" + d + "01 in"}};
  for (const auto& c : table) {
    char s[32];
    To_MM_Str(c.mmt, s);
    EXPECT_EQ(std::string(s), c.mm) << c.mmt;
    To_IN_Str(c.mmt, s);
    EXPECT_EQ(std::string(s), c.in) << c.mmt;
  }
}

}  // namespace
