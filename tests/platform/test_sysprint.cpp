// The printing back end driven through whole jobs on the file printer and
// the disc printer (PNG output, read back), with the print dialog answered
// by script.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "pixel/SysBlt.h"
#include "platform/VoskDef.h"
#include "host/HostFiles.h"
#include "host/HostPrint.h"
#include "host/HostScript.h"
#include "host/HostDialog.h"
#include "platform/ResTestUtil.h"
#include "platform/Resources.h"
#include "platform/SysErr.h"
#include "platform/SysDlog.h"
#include "platform/SysPrint.h"
#include "platform/SysWin.h"

namespace {

class SysPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The stop dialog and the page's drawing state use fonts: a pinned
    // configuration keeps the run independent of the machine's fonts.
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    Host_Print_Set_Cups(false);
    Host_Print_Set_Disc_Printer(false);
    SysDlog_Init();
    SysWin_Init();
    SysPrint_Init();
    SysBlt_Init();  // the blit of 16-bit worlds
    VoskDef_Init();
    gs.controller = GHOST;  // alerts stay silent
    Host_Script_Reset();
    std::string tmpl = Host_Temp_Dir() + "/sysprint-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    ASSERT_NE(mkdtemp(buf.data()), nullptr);
    dir_ = buf.data();
    Host_Print_Set_Output_Path(dir_ + "/out.png");
  }
  void TearDown() override {
    SysPrint_Init();
    std::vector<std::string> names;
    Host_List_Dir(dir_.c_str(), names);
    for (const std::string& n : names) Host_Delete((dir_ + "/" + n).c_str());
    rmdir(dir_.c_str());
    Host_Print_Set_Output_Path("");
    Host_Print_Set_Cups(true);
    Host_Print_Set_Disc_Printer(false);
    Host_Script_Reset();
  }
  std::vector<std::string> Dir_Names() {
    std::vector<std::string> names;
    Host_List_Dir(dir_.c_str(), names);
    std::sort(names.begin(), names.end());
    return names;
  }
  // The kept printer settings, at a small resolution so pages stay small.
  void Low_Resolution(Handle dm_hdl, int16 dpi) {
    ASSERT_NE(dm_hdl, nullptr);
    auto* dm = reinterpret_cast<DEVMODEA*>(Handle_Lock(dm_hdl));
    dm->dmPrintQuality = dm->dmYResolution = dpi;
    Handle_Unlock(dm_hdl);
  }
  const DEVMODEA* Mode(Handle h) { return reinterpret_cast<const DEVMODEA*>(Handle_Lock(h)); }
  std::string dir_;
};

constexpr a_fpoint kA4{210.0f, 297.0f};

// A 4 x 2 world whose pixels are all different.
GWorldPtr Make_Source(int16 depth) {
  GWorldPtr w = nullptr;
  EXPECT_EQ(New_GWorld(Rect{0, 0, 2, 4}, depth, nullptr, w), noErr);
  for (int16 y = 0; y < 2; ++y)
    for (int16 x = 0; x < 4; ++x) {
      uint8* row = reinterpret_cast<uint8*>(w->pix.baseAddr) + y * (w->pix.rowBytes & 0x3FFF);
      const uint8 r = uint8(8 * (x + 1)), g = uint8(16 * (y + 1)), b = uint8(8 * (x + y + 1));
      if (depth == 32) {
        row[4 * x] = b;
        row[4 * x + 1] = g;
        row[4 * x + 2] = r;
        row[4 * x + 3] = 0xFF;
      } else {  // 16 bits: 0RRRRRGGGGGBBBBB, values chosen to survive 5 bits
        const uint16 v = uint16(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
        row[2 * x] = uint8(v);
        row[2 * x + 1] = uint8(v >> 8);
      }
    }
  return w;
}

uint32 Expected(int x, int y, int16 depth) {
  uint32 r = 8 * (x + 1), g = 16 * (y + 1), b = 8 * (x + y + 1);
  if (depth == 16) {  // 5 bits widened: (c << 3) | (c >> 2)
    auto widen = [](uint32 c) { return ((c >> 3) << 3) | ((c >> 3) >> 2); };
    r = widen(r);
    g = widen(g);
    b = widen(b);
  }
  return b | (g << 8) | (r << 16);
}

TEST_F(SysPrintTest, WholeJobPrintsTheBlittedWorldStretchedAndClipped) {
  for (int16 depth : {int16(32), int16(16)}) {
    int16 nreps = 0;
    ASSERT_TRUE(Is_Printer_Avail());
    Low_Resolution(g_print.devmode_hdl, 36);
    ASSERT_TRUE(VP_Init(false, true, false, kA4, 0, "Job", nreps));
    EXPECT_EQ(nreps, 1);
    EXPECT_EQ(g_print.resolution, 36);
    EXPECT_STREQ(g_printername, kHostFilePrinterName);
    ASSERT_TRUE(VP_OpenDoc());
    ASSERT_TRUE(VP_OpenPage());
    EXPECT_TRUE(g_print.in_printing);
    EXPECT_EQ(g_print.pagenum, 1);
    EXPECT_EQ(g_print.paperbox.right, 298);  // A4 at 36 dpi, no margins
    GWorldPtr src = Make_Source(depth);
    // Each source pixel becomes 3 x 3 page pixels at (10, 5).
    VP_Blt(src, Rect{0, 0, 2, 4}, Rect{5, 10, 11, 22}, nullptr);
    // Clipped: only the left half of a second copy at (40, 5).
    HRGN clip = CreateRectRgn(40, 5, 46, 11);
    VP_Blt(src, Rect{0, 0, 2, 4}, Rect{5, 40, 11, 52}, clip);
    DeleteObject(clip);
    Dispose_GWorld(src);
    ASSERT_TRUE(VP_ClosePage());
    EXPECT_FALSE(g_print.in_printing);
    ASSERT_TRUE(VP_CloseDoc());
    VP_Stop(0);
    EXPECT_EQ(g_print.hdc, nullptr);

    std::vector<uint32> px;
    int32 w = 0, h = 0;
    std::string err;
    ASSERT_TRUE(Host_Read_PNG(dir_ + "/out.png", px, w, h, err)) << err;
    ASSERT_EQ(w, 298);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 60; ++x) {
        uint32 want = 0xFFFFFF;
        if (x >= 10 && x < 22 && y >= 5 && y < 11) want = Expected((x - 10) / 3, (y - 5) / 3, depth);
        if (x >= 40 && x < 46 && y >= 5 && y < 11) want = Expected((x - 40) / 3, (y - 5) / 3, depth);
        ASSERT_EQ(px[size_t(y) * w + x] & 0xFFFFFF, want) << "depth " << depth << " at " << x << "," << y;
      }
  }
}

TEST_F(SysPrintTest, BlittedWorldGoesIntoThePdfAsOneImageOfItsPixels) {
  // A 16-bit world goes through a new 24-bit copy at each blit: still one image.
  Host_Print_Set_Output_Path(dir_ + "/out.pdf");
  int16 nreps = 0;
  ASSERT_TRUE(Is_Printer_Avail());
  Low_Resolution(g_print.devmode_hdl, 72);
  ASSERT_TRUE(VP_Init(false, true, false, kA4, 0, "Job", nreps));
  ASSERT_TRUE(VP_OpenDoc());
  ASSERT_TRUE(VP_OpenPage());
  GWorldPtr src = Make_Source(16);
  VP_Blt(src, Rect{0, 0, 2, 4}, Rect{5, 10, 11, 22}, nullptr);
  HRGN clip = CreateEllipticRgn(40, 5, 60, 30);
  VP_Blt(src, Rect{0, 0, 2, 4}, Rect{5, 40, 30, 60}, clip);
  DeleteObject(clip);
  Dispose_GWorld(src);
  ASSERT_TRUE(VP_ClosePage());
  ASSERT_TRUE(VP_CloseDoc());
  VP_Stop(0);
  std::ifstream f(dir_ + "/out.pdf", std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  const std::string pdf = ss.str();
  const std::regex image(R"(/Subtype\s*/Image[^>]*)");
  std::vector<std::string> images;
  for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), image); it != std::sregex_iterator(); ++it)
    images.push_back(it->str());
  ASSERT_EQ(images.size(), 1u);
  EXPECT_NE(images[0].find("/Width 4"), std::string::npos) << images[0];
  EXPECT_NE(images[0].find("/Height 2"), std::string::npos) << images[0];
}

// The job asks for the layout's paper whatever the kept settings held: its
// named paper, else a size of its own; the page is that paper, turned for
// landscape.
TEST_F(SysPrintTest, JobAsksForTheLayoutsPaper) {
  struct Case {
    a_fpoint size;
    bool land;
    int16 paper;
  } cases[] = {
      {{210.0f, 297.0f}, false, DMPAPER_A4},    {{215.9f, 279.4f}, true, DMPAPER_LETTER},
      {{215.9f, 355.6f}, false, DMPAPER_LEGAL}, {{148.0f, 210.0f}, false, DMPAPER_A5},
      {{297.0f, 420.0f}, true, DMPAPER_A3},     {{120.0f, 120.0f}, false, DMPAPER_USER},
      {{200.0f, 297.0f}, false, DMPAPER_USER},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size.x);
    ASSERT_TRUE(Is_Printer_Avail());
    Low_Resolution(g_print.devmode_hdl, 36);
    reinterpret_cast<DEVMODEA*>(Handle_Lock(g_print.devmode_hdl))->dmPaperSize = DMPAPER_LEGAL;
    int16 nreps;
    ASSERT_TRUE(VP_Init(false, false, c.land, c.size, 0, "Paper", nreps));
    EXPECT_EQ(Mode(g_print.devmode_hdl)->dmPaperSize, c.paper);
    EXPECT_EQ(Mode(g_print.devmode_hdl)->dmOrientation, c.land ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    // The page is the paper, landscape wider than high.
    const int32 pw = GetDeviceCaps(g_print.hdc, PHYSICALWIDTH), ph = GetDeviceCaps(g_print.hdc, PHYSICALHEIGHT);
    EXPECT_NEAR(c.land ? ph : pw, c.size.x * 36 / 25.4, 1);
    EXPECT_NEAR(c.land ? pw : ph, c.size.y * 36 / 25.4, 1);
    VP_Stop(0);
  }
}

TEST_F(SysPrintTest, DiscJobWritesThePrivateSettings) {
  Host_Print_Set_Disc_Printer(true);
  struct Case {
    uint8 kind;
    int16 inner, outer, density, quality;
    int32 media, want_inner, want_outer, want_density, want_quality;
    int16 paper, side;
  } cases[] = {
      {UNIT_CD, 151, 1171, 7, 9, 3, 15, 118, 7, 3, DMPAPER_DISC120, 1195},
      {UNIT_MINICD_RING, 220, 780, 0, 2, 1, 22, 78, 5, 2, DMPAPER_DISC80, 799},
  };
  for (const Case& c : cases) {
    SysPrint_Init();
    g_doc.doc_template.nunits = 1;
    g_doc.doc_template.units[0].kind = c.kind;
    a_print_media_spec& spec = gs.pref.print_media[NOT_DIRECT].list[0];
    spec.adj[0] = c.inner;
    spec.adj[1] = c.outer;
    spec.adj[3] = c.density;
    spec.adj[4] = c.quality;
    g_print_copies = 4;
    ASSERT_TRUE(Init_Zadaz_Handles());
    Low_Resolution(g_zadaz_devmode, 72);
    int16 nreps = 0;
    // askjob is overruled: the disc printer's own settings need no dialog.
    ASSERT_TRUE(VP_Init(true, false, false, kA4, PJ_Set(PJ_ZADAZ), "Disc", nreps));
    EXPECT_EQ(g_print.ncopies, 4);
    EXPECT_STREQ(g_printername, kHostDiscPrinterName);
    const DEVMODEA* dm = Mode(g_zadaz_devmode);
    EXPECT_EQ(dm->dmCopies, 4);
    EXPECT_EQ(dm->dmPaperSize, c.paper);
    EXPECT_EQ(dm->dmPaperWidth, c.side);
    EXPECT_EQ(dm->dmPaperLength, c.side);
    // Read back from the blocks the job was made with.
    std::vector<uint8> used;
    ASSERT_TRUE(Host_Printer_DC_DevMode(g_print.hdc, used));
    int32 at = -1;
    ASSERT_TRUE(Find_In_Area(used.data() + sizeof(DEVMODEA), int32(used.size() - sizeof(DEVMODEA)), at));
    a_zadaz_private z;
    Zadaz_Private_Read(used.data() + sizeof(DEVMODEA) + at, z);
    EXPECT_EQ(std::memcmp(z.signature, "DYMO", 4), 0);
    EXPECT_EQ(z.media_size, c.media);
    EXPECT_EQ(z.print_quality, c.want_quality);
    for (int32 d : z.ink_density) EXPECT_EQ(d, c.want_density);
    if (c.media == 3) {
      EXPECT_EQ(z.full_120_inner, c.want_inner);
      EXPECT_EQ(z.full_120_outer, c.want_outer);
    } else {
      EXPECT_EQ(z.full_80_inner, c.want_inner);
      EXPECT_EQ(z.full_80_outer, c.want_outer);
    }
    EXPECT_EQ(GetDeviceCaps(g_print.hdc, PHYSICALWIDTH), (c.side * 72 + 127) / 254);
    VP_Stop(PJ_Set(PJ_ZADAZ));
  }
}

TEST_F(SysPrintTest, PrivateBlockIsFoundAnywhereInTheArea) {
  std::vector<uint8> area(100, 0);
  int32 at = -1;
  EXPECT_FALSE(Find_In_Area(area.data(), 100, at));
  std::memcpy(area.data() + 32, "DYMO", 4);
  ASSERT_TRUE(Find_In_Area(area.data(), 100, at));
  EXPECT_EQ(at, 32);
  EXPECT_FALSE(Find_In_Area(area.data(), 99, at));  // the block would run past the end
  EXPECT_FALSE(Find_In_Area(area.data(), 67, at));
  a_zadaz_private z{};
  std::memcpy(z.signature, "DYMO", 4);
  z.version = 7;
  z.ink_density[2] = -3;
  z.beep = 1;
  Zadaz_Private_Write(area.data() + 32, z);
  EXPECT_EQ(area[32 + 64], 1);  // little-endian, at its fixed offset
  a_zadaz_private back;
  Zadaz_Private_Read(area.data() + 32, back);
  EXPECT_EQ(std::memcmp(&back, &z, sizeof z), 0);
  EXPECT_TRUE(Find_String("DiscPainter (file output)", "DiscPainter"));
  EXPECT_FALSE(Find_String("Other", "DiscPainter"));
}

TEST_F(SysPrintTest, StopDialogCancelsTheJobAndLeavesNoFile) {
  ASSERT_TRUE(Is_Printer_Avail());
  Low_Resolution(g_print.devmode_hdl, 36);
  int16 nreps;
  ASSERT_TRUE(VP_Init(false, false, false, kA4, 0, "Stopped", nreps));
  ASSERT_NE(abort_dialog, nullptr);
  ASSERT_TRUE(VP_OpenDoc());
  ASSERT_TRUE(VP_OpenPage());
  SendMessage(abort_dialog, WM_COMMAND, 1, 0);  // the Cancel button
  EXPECT_TRUE(abort_printing);
  EXPECT_FALSE(VP_ClosePage());
  EXPECT_FALSE(VP_CloseDoc());
  VP_Stop(0);
  EXPECT_EQ(abort_dialog, nullptr);
  EXPECT_TRUE(Dir_Names().empty());
}

// A job that cannot be delivered says so, with the file and the reason; it
// is not reported as cancelled (nor as done).
TEST_F(SysPrintTest, FailedDeliveryIsNotReportedAsSuccess) {
  gs.controller = HUMAN;
  const std::string out = dir_ + "/missing-folder/out.pdf";
  Host_Print_Set_Output_Path(out);
  ASSERT_TRUE(Is_Printer_Avail());
  Low_Resolution(g_print.devmode_hdl, 36);
  int16 nreps;
  ASSERT_TRUE(VP_Init(false, false, false, kA4, 0, "Nowhere", nreps));
  EXPECT_FALSE(VP_OpenDoc());
  EXPECT_TRUE(g_print.job_failed);  // VP_Stop reports it
  testing::internal::CaptureStderr();
  VP_Stop(0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("alert 75: Sorry, the print could not be saved as " + out + " (No such file or directory)."),
            std::string::npos)
      << err;
  EXPECT_EQ(err.find("alert 20"), std::string::npos) << err;
  EXPECT_EQ(err.find("alert 73"), std::string::npos) << err;
  EXPECT_FALSE(g_print.job_failed);
  EXPECT_TRUE(Dir_Names().empty());
}

// The file printer's own name for a job never costs the user a file: it takes
// a free name beside an existing one. A name the user chose is replaced. The
// user is told where the print went either way.
TEST_F(SysPrintTest, FilePrinterTakesAFreeNameAndSaysWhere) {
  testdir::EnvGuard home("HOME", dir_.c_str());
  testdir::EnvGuard conf("XDG_CONFIG_HOME", (dir_ + "/no-config").c_str());
  testdir::EnvGuard env("VELMOR_PRINT_OUTPUT", nullptr);
  gs.controller = HUMAN;
  auto print_one_page = [&](const char* name) {
    int16 nreps;
    EXPECT_TRUE(Is_Printer_Avail());
    Low_Resolution(g_print.devmode_hdl, 36);
    EXPECT_TRUE(VP_Init(false, false, false, kA4, 0, name, nreps));
    EXPECT_TRUE(VP_OpenDoc());
    EXPECT_TRUE(VP_OpenPage());
    EXPECT_TRUE(VP_ClosePage());
    EXPECT_TRUE(VP_CloseDoc());
    testing::internal::CaptureStderr();
    VP_Stop(0);
    return testing::internal::GetCapturedStderr();
  };
  auto said = [](const std::string& path) { return "alert 73: The print was saved as " + path + "."; };
  testdir::Write_Text(dir_ + "/Disc Label.pdf", "an older print");
  Host_Print_Set_Output_Path("");
  std::string err = print_one_page("Disc Label");
  EXPECT_NE(err.find(said(dir_ + "/Disc Label (2).pdf")), std::string::npos) << err;
  err = print_one_page("Disc Label");
  EXPECT_NE(err.find(said(dir_ + "/Disc Label (3).pdf")), std::string::npos) << err;
  EXPECT_EQ(testdir::Read_Text(dir_ + "/Disc Label.pdf"), "an older print");
  EXPECT_EQ(testdir::Read_Text(dir_ + "/Disc Label (2).pdf").rfind("%PDF", 0), 0u);

  // Named by the user: replaced in place.
  Host_Print_Set_Output_Path(dir_ + "/Disc Label.pdf");
  err = print_one_page("Disc Label");
  EXPECT_NE(err.find(said(dir_ + "/Disc Label.pdf")), std::string::npos) << err;
  EXPECT_EQ(testdir::Read_Text(dir_ + "/Disc Label.pdf").rfind("%PDF", 0), 0u);
  EXPECT_EQ(Dir_Names(), (std::vector<std::string>{"Disc Label (2).pdf", "Disc Label (3).pdf", "Disc Label.pdf"}));
}

TEST_F(SysPrintTest, PrintDialogAnsweredByScript) {
  Host_Print_Set_Disc_Printer(true);
  ASSERT_TRUE(Is_Printer_Avail());
  Low_Resolution(g_print.devmode_hdl, 36);
  int16 nreps;
  // No answer on a headless run: the dialog is cancelled and no job starts.
  EXPECT_FALSE(VP_Init(true, false, false, kA4, 0, "Asked", nreps));
  EXPECT_EQ(g_print.hdc, nullptr);
  // OK: the job starts on the kept printer; copies are the driver's.
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  ASSERT_TRUE(VP_Init(true, false, false, kA4, 0, "Asked", nreps));
  EXPECT_EQ(g_print.ncopies, 1);
  EXPECT_NE(g_print.hdc, nullptr);
  VP_Stop(0);
  // Print Setup with OK keeps the choice; cancelling changes nothing.
  Handle before = g_print.devmode_hdl;
  Print_Setup();
  EXPECT_EQ(g_print.devmode_hdl, before);
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  Print_Setup();
  EXPECT_STREQ(Mode(g_print.devmode_hdl)->dmDeviceName, kHostFilePrinterName);
}

}  // namespace

namespace {

std::vector<std::pair<OSType, int16>> g_item_reports;
void Record_Item_Res(OSType kind, int16 id) { g_item_reports.emplace_back(kind, id); }

// A damaged print or stop dialog met while the program runs: reported by
// the missing-resource rule, and the job is refused with nothing left open.
TEST_F(SysPrintTest, DamagedDialogTemplateRefusesTheJobWithoutHalting) {
  for (const bool ask : {true, false}) {
    SCOPED_TRACE(ask ? "print dialog" : "stop dialog");
    const int16 id = ask ? DLOG_PRINT : DLOG_PRINT_STOP;
    const std::vector<uint8> damaged{'D', 'L', 'G', '1', 0, 0};
    restest::TempFile file(restest::Archive({{kDlogResType, id, damaged}}));
    const int16 slot = HOpenResFile(0, 0, file.path.c_str(), 0);
    ASSERT_GT(slot, 0);
    g_item_reports.clear();
    g_item_res_proc = Record_Item_Res;
    SysErr_Set_Running(true);
    int16 nreps = 0;
    ASSERT_TRUE(Is_Printer_Avail());
    Low_Resolution(g_print.devmode_hdl, 36);
    EXPECT_FALSE(VP_Init(ask, false, false, kA4, 0, "Job", nreps));
    SysErr_Set_Running(false);
    CloseResFile(slot);
    ASSERT_EQ(g_item_reports.size(), 1u);
    EXPECT_EQ(g_item_reports[0], std::make_pair(kDlogResType, id));
    EXPECT_FALSE(Print_Job_Running());
    EXPECT_EQ(abort_dialog, nullptr);
    EXPECT_EQ(Host_Dialog_Modal_Depth(), 0);
    EXPECT_TRUE(Dir_Names().empty());
  }
}

}  // namespace
