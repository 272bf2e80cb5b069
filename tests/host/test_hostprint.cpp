// Printers and print jobs of the host layer: the file printer's PDF and PNG
// output, aborts, limits, settings blocks and printer enumeration.
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

#include "TestSupport.h"
#include "host/HostFiles.h"
#include "host/HostPrint.h"
#include "host/HostScript.h"

namespace {

class HostPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Print_Set_Cups(false);
    Host_Print_Set_Disc_Printer(false);
    Host_Print_Set_Output_Path("");
    std::string tmpl = Host_Temp_Dir() + "/hostprint-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    ASSERT_NE(mkdtemp(buf.data()), nullptr);
    dir_ = buf.data();
  }
  void TearDown() override {
    std::vector<std::string> names;
    Host_List_Dir(dir_.c_str(), names);
    for (const std::string& n : names) Host_Delete((dir_ + "/" + n).c_str());
    rmdir(dir_.c_str());
    Host_Print_Set_Page_Limit(160ull * 1024 * 1024);
    Host_Print_Set_Cups(true);
  }
  std::vector<std::string> Dir_Names() {
    std::vector<std::string> names;
    Host_List_Dir(dir_.c_str(), names);
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string dir_;
};

// Settings of the file printer at a low resolution, so pages stay small.
std::vector<uint8> File_Mode(int16 dpi, int16 paper = DMPAPER_A4, int16 orient = DMORIENT_PORTRAIT) {
  std::vector<uint8> b;
  EXPECT_TRUE(Host_Printer_DevMode(kHostFilePrinterName, b));
  DEVMODEA dm;
  std::memcpy(&dm, b.data(), sizeof dm);
  dm.dmPrintQuality = dm.dmYResolution = dpi;
  dm.dmPaperSize = paper;
  dm.dmOrientation = orient;
  std::memcpy(b.data(), &dm, sizeof dm);
  return b;
}

HDC Make_DC(const std::vector<uint8>& mode) {
  return CreateDCA(nullptr, kHostFilePrinterName, nullptr, reinterpret_cast<const DEVMODEA*>(mode.data()));
}

std::string Read_All(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// Pages of a PDF as cairo writes it (no object streams): the /Count of the
// page tree and every page's /MediaBox.
struct PdfPages {
  int count = -1;
  std::vector<std::pair<double, double>> boxes;
};
PdfPages Parse_Pdf(const std::string& pdf) {
  PdfPages out;
  std::smatch m;
  if (std::regex_search(pdf, m, std::regex(R"(/Type\s*/Pages[^>]*/Count\s+(\d+))")))
    out.count = std::stoi(m[1]);
  std::regex box(R"(/MediaBox\s*\[\s*0\s+0\s+([0-9.]+)\s+([0-9.]+)\s*\])");
  for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), box); it != std::sregex_iterator(); ++it)
    out.boxes.push_back({std::stod((*it)[1]), std::stod((*it)[2])});
  return out;
}

int32 Print_Pages(HDC dc, const std::string& out, int pages) {
  DOCINFOA di{sizeof(DOCINFOA), "Test", out.c_str(), nullptr, 0};
  if (StartDocA(dc, &di) <= 0) return -100;
  for (int i = 0; i < pages; ++i) {
    if (StartPage(dc) <= 0) return -101;
    if (EndPage(dc) <= 0) return -102;
  }
  return EndDoc(dc);
}

TEST_F(HostPrintTest, EnumerationWithoutCupsServerListsTheFilePrinterAsDefault) {
  // CUPS on: with no server running the answer is no CUPS printers, not an error.
  Host_Print_Set_Cups(true);
  const std::vector<HostPrinterInfo> list = Host_Enum_Printers();
  ASSERT_FALSE(list.empty());
  int defaults = 0;
  bool file = false;
  for (const HostPrinterInfo& p : list) {
    defaults += p.is_default;
    file |= p.name == kHostFilePrinterName && p.is_file;
    EXPECT_NE(p.name, kHostDiscPrinterName);  // off unless switched on
  }
  EXPECT_EQ(defaults, 1);
  EXPECT_TRUE(file);
  HostPrinterInfo d;
  ASSERT_TRUE(Host_Default_Printer(d));
  EXPECT_TRUE(d.is_default);

  Host_Print_Set_Cups(false);
  const std::vector<HostPrinterInfo> only = Host_Enum_Printers();
  ASSERT_EQ(only.size(), 1u);
  EXPECT_EQ(only[0].name, kHostFilePrinterName);
  EXPECT_TRUE(only[0].is_default);
}

TEST_F(HostPrintTest, PdfHasOnePagePerPageAtTheSheetSize) {
  struct Case {
    int16 paper, orient;
    double w, h;  // points
  } cases[] = {
      {DMPAPER_A4, DMORIENT_PORTRAIT, 595.28, 841.89},
      {DMPAPER_LETTER, DMORIENT_PORTRAIT, 612.0, 792.0},
      {DMPAPER_A4, DMORIENT_LANDSCAPE, 841.89, 595.28},
  };
  for (const Case& c : cases) {
    HDC dc = Make_DC(File_Mode(72, c.paper, c.orient));
    ASSERT_NE(dc, nullptr);
    const std::string out = dir_ + "/doc.pdf";
    EXPECT_EQ(Print_Pages(dc, out, 3), 1);
    EXPECT_EQ(Host_Print_Last_Files(), std::vector<std::string>{out});
    const PdfPages p = Parse_Pdf(Read_All(out));
    EXPECT_EQ(p.count, 3);
    ASSERT_EQ(p.boxes.size(), 3u);
    for (auto& b : p.boxes) {
      EXPECT_NEAR(b.first, c.w, 1.0);
      EXPECT_NEAR(b.second, c.h, 1.0);
    }
    EXPECT_TRUE(Host_DeletePrinterDC(dc));
  }
  EXPECT_EQ(Dir_Names(), std::vector<std::string>{"doc.pdf"});  // no temporary files left
}

TEST_F(HostPrintTest, PngPagesHoldTheDrawnPixelsExactly) {
  HDC dc = Make_DC(File_Mode(36));
  ASSERT_NE(dc, nullptr);
  // A4 at 36 dpi, no margins on the file printer.
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 298);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 421);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 0);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 36);
  const std::string out = dir_ + "/page.png";
  DOCINFOA di{sizeof(DOCINFOA), "Test", out.c_str(), nullptr, 0};
  ASSERT_GT(StartDocA(dc, &di), 0);
  const COLORREF colours[2] = {RGB(200, 10, 30), RGB(1, 2, 3)};
  for (int page = 0; page < 2; ++page) {
    ASSERT_GT(StartPage(dc), 0);
    HBRUSH br = CreateSolidBrush(colours[page]);
    RECT r{10, 20, 40, 25};
    FillRect(dc, &r, br);
    DeleteObject(br);
    SetPixel(dc, 297, 420, RGB(0, 255, 0));
    ASSERT_GT(EndPage(dc), 0);
  }
  ASSERT_EQ(EndDoc(dc), 1);
  EXPECT_EQ(Dir_Names(), (std::vector<std::string>{"page-2.png", "page.png"}));
  const char* names[2] = {"/page.png", "/page-2.png"};
  for (int page = 0; page < 2; ++page) {
    std::vector<uint32> px;
    int32 w = 0, h = 0;
    std::string err;
    ASSERT_TRUE(Host_Read_PNG(dir_ + names[page], px, w, h, err)) << err;
    ASSERT_EQ(w, 298);
    ASSERT_EQ(h, 421);
    const COLORREF c = colours[page];
    const uint32 want = uint32(GetBValue(c)) | (uint32(GetGValue(c)) << 8) | (uint32(GetRValue(c)) << 16);
    for (int32 y = 0; y < h; ++y)
      for (int32 x = 0; x < w; ++x) {
        uint32 expect = 0x00FFFFFF;  // each page starts white, not with the last page's ink
        if (x >= 10 && x < 40 && y >= 20 && y < 25) expect = want;
        if (x == 297 && y == 420) expect = 0x0000FF00;
        ASSERT_EQ(px[size_t(y) * w + x] & 0x00FFFFFF, expect) << "page " << page << " at " << x << "," << y;
      }
  }
  Host_DeletePrinterDC(dc);
}

TEST_F(HostPrintTest, AbortLeavesNoFileAndKeepsAnOldOne) {
  const std::string out = dir_ + "/keep.pdf";
  ASSERT_TRUE(Host_Replace_File(out.c_str(), "old", 3));
  const std::string png = dir_ + "/new.png";
  for (const std::string& target : {out, png}) {
    HDC dc = Make_DC(File_Mode(36));
    DOCINFOA di{sizeof(DOCINFOA), "Test", target.c_str(), nullptr, 0};
    ASSERT_GT(StartDocA(dc, &di), 0);
    ASSERT_GT(StartPage(dc), 0);
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(StartPage(dc), 0);
    EXPECT_EQ(AbortDoc(dc), 1);
    EXPECT_EQ(EndDoc(dc), SP_ERROR);  // nothing left to deliver
    Host_DeletePrinterDC(dc);
  }
  EXPECT_EQ(Read_All(out), "old");
  EXPECT_EQ(Dir_Names(), std::vector<std::string>{"keep.pdf"});

  // Deleting the DC in the middle of a job abandons it too.
  HDC dc = Make_DC(File_Mode(36));
  DOCINFOA di{sizeof(DOCINFOA), "Test", out.c_str(), nullptr, 0};
  ASSERT_GT(StartDocA(dc, &di), 0);
  ASSERT_GT(StartPage(dc), 0);
  EXPECT_TRUE(Host_DeletePrinterDC(dc));
  EXPECT_EQ(Read_All(out), "old");
  EXPECT_EQ(Dir_Names(), std::vector<std::string>{"keep.pdf"});
}

bool g_stop_at_end_page = false;
int g_abort_calls = 0;
bool Test_Abort(HDC, int32) {
  ++g_abort_calls;
  return !(g_stop_at_end_page && g_abort_calls >= 2);
}

TEST_F(HostPrintTest, AbortProcedureStopsTheJob) {
  HDC dc = Make_DC(File_Mode(36));
  ASSERT_EQ(SetAbortProc(dc, Test_Abort), 1);
  g_abort_calls = 0;
  g_stop_at_end_page = true;
  const std::string out = dir_ + "/stopped.pdf";
  DOCINFOA di{sizeof(DOCINFOA), "Test", out.c_str(), nullptr, 0};
  ASSERT_GT(StartDocA(dc, &di), 0);
  ASSERT_GT(StartPage(dc), 0);       // call 1: go on
  EXPECT_EQ(EndPage(dc), SP_APPABORT);  // call 2: stop
  EXPECT_EQ(StartPage(dc), SP_ERROR);
  EXPECT_EQ(EndDoc(dc), SP_ERROR);
  EXPECT_TRUE(Dir_Names().empty());
  g_stop_at_end_page = false;
  Host_DeletePrinterDC(dc);
}

TEST_F(HostPrintTest, OutputThatCannotBeWrittenFailsTheJob) {
  HDC dc = Make_DC(File_Mode(36));
  const std::string out = dir_ + "/no/such/folder/x.pdf";
  DOCINFOA di{sizeof(DOCINFOA), "Test", out.c_str(), nullptr, 0};
  EXPECT_EQ(StartDocA(dc, &di), SP_ERROR);
  Host_DeletePrinterDC(dc);

  // A write that fails half-way is a failed job, not a short file.
  dc = Make_DC(File_Mode(72));
  const std::string out2 = dir_ + "/full.pdf";
  di.lpszOutput = out2.c_str();
  ASSERT_GT(StartDocA(dc, &di), 0);
  Host_Fail_Writes_After(100);
  int32 r = 1;
  for (int i = 0; i < 3 && r > 0; ++i) {
    if (StartPage(dc) <= 0) break;
    r = EndPage(dc);
  }
  if (r > 0) r = EndDoc(dc);
  Host_Fail_Writes_After(-1);
  EXPECT_LT(r, 0);
  EXPECT_TRUE(Dir_Names().empty());
  Host_DeletePrinterDC(dc);
}

TEST_F(HostPrintTest, PagesAboveTheLimitAndBadSettingsAreRefused) {
  Host_Print_Set_Page_Limit(9ull * 1024 * 1024);
  EXPECT_EQ(Make_DC(File_Mode(300)), nullptr);  // A4 at 300 dpi: 2480 x 3508 x 4 bytes
  HDC dc = Make_DC(File_Mode(150));             // 1240 x 1754 x 4: fits
  EXPECT_NE(dc, nullptr);
  Host_DeletePrinterDC(dc);
  EXPECT_EQ(Make_DC(File_Mode(0)), nullptr);
  EXPECT_EQ(Make_DC(File_Mode(30000)), nullptr);
  std::vector<uint8> bad = File_Mode(72);
  reinterpret_cast<DEVMODEA*>(bad.data())->dmSize = 12;
  EXPECT_EQ(Make_DC(bad), nullptr);
  EXPECT_EQ(CreateDCA(nullptr, "No Such Printer", nullptr, nullptr), nullptr);
  EXPECT_FALSE(Host_DeletePrinterDC(nullptr));
}

TEST_F(HostPrintTest, SettingsBlocksAreCheckedBeforeUse) {
  std::vector<uint8> dn = Host_Make_DevNames("drv", "dev", "FILE:", true);
  std::string a, b, c;
  ASSERT_TRUE(Host_Read_DevNames(dn.data(), dn.size(), a, b, c));
  EXPECT_EQ(a, "drv");
  EXPECT_EQ(b, "dev");
  EXPECT_EQ(c, "FILE:");
  EXPECT_FALSE(Host_Read_DevNames(dn.data(), dn.size() - 1, a, b, c));  // last name unterminated
  std::vector<uint8> bad = dn;
  bad[4] = 0xFF;  // output offset beyond the block
  EXPECT_FALSE(Host_Read_DevNames(bad.data(), bad.size(), a, b, c));
  EXPECT_FALSE(Host_Read_DevNames(dn.data(), 4, a, b, c));

  Host_Print_Set_Disc_Printer(true);
  std::vector<uint8> dm;
  ASSERT_TRUE(Host_Printer_DevMode(kHostDiscPrinterName, dm));
  const DEVMODEA* m = Host_DevMode_Check(dm.data(), dm.size());
  ASSERT_NE(m, nullptr);
  EXPECT_GE(m->dmDriverExtra, 68);
  EXPECT_EQ(Host_DevMode_Check(dm.data(), dm.size() - 1), nullptr);  // private area cut short
}

TEST_F(HostPrintTest, DiscPrinterOffersDiscPapersAndKeepsItsPrivateArea) {
  EXPECT_EQ(DeviceCapabilitiesA(kHostDiscPrinterName, nullptr, DC_PAPERS, nullptr, nullptr), -1);
  Host_Print_Set_Disc_Printer(true);
  HostPrinterInfo p;
  ASSERT_TRUE(Host_Find_Printer(kHostDiscPrinterName, p));
  EXPECT_NE(p.driver.find("DiscPainter"), std::string::npos);
  int16 papers[8];
  ASSERT_EQ(DeviceCapabilitiesA(kHostDiscPrinterName, nullptr, DC_PAPERS, nullptr, nullptr), 2);
  DeviceCapabilitiesA(kHostDiscPrinterName, nullptr, DC_PAPERS, papers, nullptr);
  EXPECT_EQ(papers[0], DMPAPER_DISC120);
  EXPECT_EQ(papers[1], DMPAPER_DISC80);

  std::vector<uint8> dm;
  ASSERT_TRUE(Host_Printer_DevMode(kHostDiscPrinterName, dm));
  DEVMODEA* m = reinterpret_cast<DEVMODEA*>(dm.data());
  m->dmPrintQuality = m->dmYResolution = 100;
  m->dmPaperWidth = m->dmPaperLength = 799;
  m->dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
  dm[sizeof(DEVMODEA) + 40] = 0x5A;  // a private byte of the caller's choosing
  HDC dc = CreateDCA(nullptr, kHostDiscPrinterName, nullptr, m);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 315);  // 79.9 mm at 100 dpi
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 315);
  std::vector<uint8> back;
  ASSERT_TRUE(Host_Printer_DC_DevMode(dc, back));
  EXPECT_EQ(back, dm);
  Host_DeletePrinterDC(dc);
}

TEST_F(HostPrintTest, FilePrinterRepeatsPagesForCopies) {
  std::vector<uint8> mode = File_Mode(36);
  reinterpret_cast<DEVMODEA*>(mode.data())->dmCopies = 3;
  HDC dc = Make_DC(mode);
  const std::string out = dir_ + "/copies.pdf";
  EXPECT_EQ(Print_Pages(dc, out, 2), 1);
  EXPECT_EQ(Parse_Pdf(Read_All(out)).count, 6);
  Host_DeletePrinterDC(dc);
}

}  // namespace
