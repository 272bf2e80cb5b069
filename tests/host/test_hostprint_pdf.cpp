// What a printed PDF holds: pictures as images of their own pixels, placed,
// clipped and mirrored as drawn and embedded once; other drawing as fills or
// small patches, in drawing order; never the page as one bitmap. Checked by
// reading the PDF's image objects, by the PDF readers' own tools (pdfimages,
// pdftoppm) where installed, and through a print spooler of the tests' own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "SpoolerTestSupport.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "host/HostPrint.h"

namespace {

class HostPrintPdfTest : public testdir::TempDirTest {
 protected:
  HostPrintPdfTest() : TempDirTest("hostprintpdf") {}
  void SetUp() override {
    TempDirTest::SetUp();
    Host_Print_Set_Cups(false);
    Host_Print_Set_Output_Path("");
  }
  void TearDown() override {
    Host_Print_Set_Cups(true);
    TempDirTest::TearDown();
  }
};

HDC File_DC(int16 dpi, const char* printer = kHostFilePrinterName) {
  std::vector<uint8> b;
  EXPECT_TRUE(Host_Printer_DevMode(printer, b));
  DEVMODEA dm;
  std::memcpy(&dm, b.data(), sizeof dm);
  dm.dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION | DM_PAPERSIZE;
  dm.dmPrintQuality = dm.dmYResolution = dpi;
  dm.dmPaperSize = DMPAPER_A4;
  std::memcpy(b.data(), &dm, sizeof dm);
  return CreateDCA(nullptr, printer, nullptr, reinterpret_cast<const DEVMODEA*>(b.data()));
}

// A top-down 24-bit picture; `shade` makes its pixels.
struct Picture {
  BITMAPINFO info{};
  std::vector<uint8> bits;
  template <class F>
  Picture(int32 w, int32 h, F shade) {
    info.bmiHeader = BITMAPINFOHEADER{40, w, -h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
    bits.assign(stride * size_t(h), 0);
    for (int32 y = 0; y < h; ++y)
      for (int32 x = 0; x < w; ++x) {
        const uint32 c = shade(x, y);  // 0xRRGGBB
        uint8* p = &bits[size_t(y) * stride + size_t(x) * 3];
        p[0] = uint8(c), p[1] = uint8(c >> 8), p[2] = uint8(c >> 16);
      }
  }
  int32 Draw(HDC dc, int32 x, int32 y, int32 w, int32 h, int32 sx, int32 sy, int32 sw, int32 sh) const {
    return Host_Print_DIBits(dc, x, y, w, h, sx, sy, sw, sh, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY,
                             bits.size());
  }
};

// Picture A: four coloured quarters with a gradient, so that a shift, a
// mirror or a stretch shows; B: rings. Both have no white.
const Picture& Pic_A() {
  static const Picture p(200, 150, [](int32 x, int32 y) {
    const uint32 q = (x < 100 ? 0 : 1) + (y < 75 ? 0 : 2);
    const uint32 base[4] = {0xD02020, 0x20A040, 0x2040C0, 0xC0A000};
    return base[q] + uint32(x % 32);
  });
  return p;
}
const Picture& Pic_B() {
  static const Picture p(120, 120, [](int32 x, int32 y) {
    const int32 r = int32(std::hypot(x - 60, y - 60)) / 8;
    return r % 2 ? 0x302080u : 0x60C0C0u;
  });
  return p;
}

// The image objects of a PDF as cairo writes it (plain dictionaries): width
// and height of each (our pictures and patches are opaque: no soft masks).
std::vector<std::pair<int, int>> Pdf_Images(const std::string& pdf) {
  std::vector<std::pair<int, int>> out;
  const std::regex dict(R"(<<[^<>]*/Subtype\s*/Image[^<>]*>>)");
  const std::regex width(R"(/Width\s+(\d+))"), height(R"(/Height\s+(\d+))");
  for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), dict); it != std::sregex_iterator(); ++it) {
    const std::string d = it->str();
    std::smatch w, h;
    if (std::regex_search(d, w, width) && std::regex_search(d, h, height))
      out.push_back({std::stoi(w[1]), std::stoi(h[1])});
  }
  return out;
}

// The images pdfimages lists (type "image"), as width x height.
std::vector<std::pair<int, int>> Pdfimages_List(const std::string& pdf) {
  std::vector<std::pair<int, int>> out;
  FILE* f = popen(("pdfimages -list '" + pdf + "' 2>/dev/null").c_str(), "r");
  if (!f) return out;
  char line[512];
  while (std::fgets(line, sizeof line, f)) {
    int page, num, w, h;
    char type[32];
    if (std::sscanf(line, "%d %d %31s %d %d", &page, &num, type, &w, &h) == 5 && std::string(type) == "image")
      out.push_back({w, h});
  }
  pclose(f);
  return out;
}

// Page 1 of a PDF as pixels (0xRRGGBB), by pdftoppm.
struct Raster {
  int32 width = 0, height = 0;
  std::vector<uint32> px;
  uint32 At(int32 x, int32 y) const { return px[size_t(y) * size_t(width) + size_t(x)]; }
};
bool Render(const std::string& pdf, int dpi, const std::string& stem, Raster& out) {
  const std::string cmd = "pdftoppm -r " + std::to_string(dpi) + " -f 1 -l 1 -singlefile -aa no -aaVector no '" +
                          pdf + "' '" + stem + "' 2>/dev/null";
  if (std::system(cmd.c_str()) != 0) return false;
  std::ifstream f(stem + ".ppm", std::ios::binary);
  std::string magic;
  int maxval = 0;
  f >> magic >> out.width >> out.height >> maxval;
  f.get();
  if (magic != "P6" || maxval != 255 || out.width <= 0 || out.height <= 0) return false;
  std::vector<uint8> raw(size_t(out.width) * size_t(out.height) * 3);
  f.read(reinterpret_cast<char*>(raw.data()), std::streamsize(raw.size()));
  if (!f) return false;
  out.px.resize(size_t(out.width) * size_t(out.height));
  for (size_t i = 0; i < out.px.size(); ++i)
    out.px[i] = uint32(raw[3 * i]) << 16 | uint32(raw[3 * i + 1]) << 8 | raw[3 * i + 2];
  return true;
}

bool Near(uint32 a, uint32 b, int tol) {
  for (int s = 0; s < 24; s += 8)
    if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > tol) return false;
  return true;
}

uint32 Page_Pixel(HDC dc, int32 x, int32 y) {
  const HostSurface* s = Host_Surface(Host_Printer_Page(dc));
  return reinterpret_cast<const uint32*>(s->bits + int64(y) * s->stride)[x] & 0x00FFFFFF;
}

std::vector<uint32> Page_Copy(HDC dc) {
  const int32 w = GetDeviceCaps(dc, HORZRES), h = GetDeviceCaps(dc, VERTRES);
  std::vector<uint32> page(size_t(w) * size_t(h));
  for (int32 y = 0; y < h; ++y)
    for (int32 x = 0; x < w; ++x) page[size_t(y) * size_t(w) + size_t(x)] = Page_Pixel(dc, x, y);
  return page;
}

// Pixels of the rendering whose colour lies outside what the page holds
// within one pixel of theirs (each channel between the least and the most of
// that neighbourhood): a reader rounds edges on pixel boundaries either way
// and smooths across them, but anything placed wrongly or drawn out of order
// shows.
size_t Misplaced(const Raster& r, const std::vector<uint32>& page, int32 w, int32 h) {
  constexpr int kTol = 12;
  size_t off = 0;
  for (int32 y = 0; y < h; ++y)
    for (int32 x = 0; x < w; ++x) {
      int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
      for (int32 dy = -1; dy <= 1; ++dy)
        for (int32 dx = -1; dx <= 1; ++dx) {
          const int32 px = std::clamp(x + dx, 0, w - 1), py = std::clamp(y + dy, 0, h - 1);
          const uint32 c = page[size_t(py) * size_t(w) + size_t(px)];
          for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], int((c >> (8 * k)) & 0xFF));
            hi[k] = std::max(hi[k], int((c >> (8 * k)) & 0xFF));
          }
        }
      bool inside = true;
      for (int k = 0; k < 3; ++k) {
        const int v = int((r.At(x, y) >> (8 * k)) & 0xFF);
        inside &= v >= lo[k] - kTol && v <= hi[k] + kTol;
      }
      off += !inside;
    }
  return off;
}

// One page of everything: a chip under picture A, A twice (once from a copy
// of its pixels, once mirrored), B clipped to a circle, lines over A and a
// dotted frame of single pixels.
void Draw_Sample_Page(HDC dc) {
  HBRUSH red = CreateSolidBrush(RGB(230, 30, 30));
  RECT chip{60, 60, 160, 120};
  FillRect(dc, &chip, red);
  DeleteObject(red);
  ASSERT_EQ(Pic_A().Draw(dc, 100, 100, 200, 150, 0, 0, 200, 150), 150);
  const Picture copy = Pic_A();  // the same pixels at another address
  ASSERT_GT(copy.Draw(dc, 500, 100, 400, 300, 0, 0, 200, 150), 0);   // stretched twice
  ASSERT_GT(Pic_A().Draw(dc, 300, 700, -200, 150, 0, 0, 200, 150), 0);  // mirrored
  HRGN circle = CreateEllipticRgn(100, 400, 220, 520);
  SelectClipRgn(dc, circle);
  DeleteRgn(circle);
  ASSERT_GT(Pic_B().Draw(dc, 100, 400, 120, 120, 0, 0, 120, 120), 0);
  SelectClipRgn(dc, nullptr);
  HPEN blue = CreatePen(PS_SOLID, 3, RGB(0, 0, 255));
  HGDIOBJ old = SelectObject(dc, blue);
  MoveToEx(dc, 80, 170, nullptr);
  LineTo(dc, 900, 170);
  MoveToEx(dc, 250, 80, nullptr);
  LineTo(dc, 250, 600);
  SelectObject(dc, old);
  DeleteObject(blue);
  for (int32 x = 40; x < 1000; x += 4) SetPixel(dc, x, 30, RGB(0, 0, 0));
}

TEST_F(HostPrintPdfTest, PdfEmbedsEachPictureOnceAndNeverThePage) {
  HDC dc = File_DC(150);
  ASSERT_NE(dc, nullptr);
  const int32 page_w = GetDeviceCaps(dc, HORZRES), page_h = GetDeviceCaps(dc, VERTRES);
  const std::string out = P("two.pdf");
  DOCINFOA di{sizeof(DOCINFOA), "Pictures", out.c_str(), nullptr, 0};
  ASSERT_GT(StartDocA(dc, &di), 0);
  for (int page = 0; page < 2; ++page) {  // page 2 prints A again: still one image of it
    ASSERT_GT(StartPage(dc), 0);
    Draw_Sample_Page(dc);
    ASSERT_GT(EndPage(dc), 0);
  }
  ASSERT_EQ(EndDoc(dc), 1);
  Host_DeletePrinterDC(dc);

  std::vector<std::pair<int, int>> images = Pdf_Images(testdir::Read_Text(out));
  std::sort(images.begin(), images.end());
  EXPECT_EQ(images, (std::vector<std::pair<int, int>>{{120, 120}, {200, 150}}));
  REQUIRE_TOOL("pdfimages");
  std::vector<std::pair<int, int>> listed = Pdfimages_List(out);
  // pdfimages lists an image at each use; the distinct ones are the two pictures.
  std::sort(listed.begin(), listed.end());
  listed.erase(std::unique(listed.begin(), listed.end()), listed.end());
  EXPECT_EQ(listed, (std::vector<std::pair<int, int>>{{120, 120}, {200, 150}}));
  for (auto [w, h] : Pdfimages_List(out)) EXPECT_FALSE(w >= page_w / 2 && h >= page_h / 2) << w << "x" << h;
}

TEST_F(HostPrintPdfTest, PdfPageShowsWhatWasDrawnInItsOrder) {
  REQUIRE_TOOL("pdftoppm");
  HDC dc = File_DC(150);
  ASSERT_NE(dc, nullptr);
  const std::string out = P("page.pdf");
  DOCINFOA di{sizeof(DOCINFOA), "Order", out.c_str(), nullptr, 0};
  ASSERT_GT(StartDocA(dc, &di), 0);
  ASSERT_GT(StartPage(dc), 0);
  Draw_Sample_Page(dc);
  ASSERT_GT(EndPage(dc), 0);
  // The page surface still holds the page: the picture the PDF must match.
  const int32 w = GetDeviceCaps(dc, HORZRES), h = GetDeviceCaps(dc, VERTRES);
  const std::vector<uint32> page = Page_Copy(dc);
  ASSERT_EQ(EndDoc(dc), 1);
  Host_DeletePrinterDC(dc);

  Raster r;
  ASSERT_TRUE(Render(out, 150, P("page"), r));
  ASSERT_EQ(r.width, w);
  ASSERT_EQ(r.height, h);
  // Spot checks that name the fault, then the whole page.
  EXPECT_TRUE(Near(r.At(70, 70), 0xE61E1E, 8));      // the chip where no picture covers it
  EXPECT_TRUE(Near(r.At(120, 110), 0xD02020 + 20, 8));  // A over the chip
  EXPECT_TRUE(Near(r.At(200, 170), 0x0000FF, 8));    // the line over A
  EXPECT_TRUE(Near(r.At(105, 405), 0xFFFFFF, 8));    // outside B's circle
  EXPECT_TRUE(Near(r.At(295, 705), 0xD02020 + 4, 8));   // A mirrored: its left edge on the right
  const size_t off = Misplaced(r, page, w, std::min(h, 900));  // all drawing lies above row 800
  EXPECT_EQ(off, 0u);
}

TEST_F(HostPrintPdfTest, BusyDrawingGoesInAsPatchesSmallerThanThePage) {
  // Noise through plain StretchDIBits (not a recorded picture): too many
  // colours for fills, so patches of a few rows each.
  HDC dc = File_DC(100);
  ASSERT_NE(dc, nullptr);
  const int32 w = GetDeviceCaps(dc, HORZRES);
  const std::string out = P("noise.pdf");
  DOCINFOA di{sizeof(DOCINFOA), "Noise", out.c_str(), nullptr, 0};
  ASSERT_GT(StartDocA(dc, &di), 0);
  ASSERT_GT(StartPage(dc), 0);
  const Picture noise(w, 200, [](int32 x, int32 y) {
    return uint32(x * 3 % 256) << 16 | uint32(y * 2 % 256) << 8 | uint32((x + y) % 256);
  });
  ASSERT_GT(StretchDIBits(dc, 0, 300, w, 200, 0, 0, w, 200, noise.bits.data(), &noise.info, DIB_RGB_COLORS,
                          SRCCOPY, noise.bits.size()),
            0);
  const std::vector<uint32> page = Page_Copy(dc);
  const int32 h = GetDeviceCaps(dc, VERTRES);
  ASSERT_GT(EndPage(dc), 0);
  ASSERT_EQ(EndDoc(dc), 1);
  Host_DeletePrinterDC(dc);
  const std::vector<std::pair<int, int>> images = Pdf_Images(testdir::Read_Text(out));
  ASSERT_FALSE(images.empty());
  for (auto [iw, ih] : images) EXPECT_LE(ih, 64) << iw << "x" << ih;
  REQUIRE_TOOL("pdftoppm");
  Raster r;
  ASSERT_TRUE(Render(out, 100, P("noise"), r));
  ASSERT_EQ(r.width, w);
  ASSERT_EQ(r.height, h);
  EXPECT_EQ(Misplaced(r, page, w, h), 0u);
}

TEST_F(HostPrintPdfTest, ThroughASpoolerThePicturesLandWhereTheyWereDrawn) {
  REQUIRE_TOOL("pdftoppm");
  TestSpooler spooler;
  std::string why;
  if (!TestSpooler::Runs_Here()) GTEST_SKIP() << "no print spooler of our own: not root";
  if (!spooler.Start(why)) GTEST_FAIL() << "no print spooler of our own: " << why;
  Host_Print_Set_Cups(true);
  HDC dc = File_DC(150, spooler.Queue().c_str());
  ASSERT_NE(dc, nullptr);
  const int32 off_x = GetDeviceCaps(dc, PHYSICALOFFSETX), off_y = GetDeviceCaps(dc, PHYSICALOFFSETY);
  DOCINFOA di{sizeof(DOCINFOA), "Spooled", nullptr, nullptr, 0};
  ASSERT_GT(StartDocA(dc, &di), 0);
  ASSERT_GT(StartPage(dc), 0);
  // A pure green block in picture form, placed at a known centre.
  const Picture green(90, 60, [](int32, int32) { return 0x00FF00u; });
  ASSERT_GT(green.Draw(dc, 400, 500, 90, 60, 0, 0, 90, 60), 0);
  ASSERT_GT(EndPage(dc), 0);
  ASSERT_EQ(EndDoc(dc), 1);
  Host_DeletePrinterDC(dc);
  const std::string pdf = spooler.Wait_Pdf(120);
  ASSERT_FALSE(pdf.empty()) << "the queue wrote no PDF";
  Raster r;
  ASSERT_TRUE(Render(pdf, 300, P("spooled"), r));
  double sx = 0, sy = 0, n = 0;
  for (int32 y = 0; y < r.height; ++y)
    for (int32 x = 0; x < r.width; ++x)
      if (Near(r.At(x, y), 0x00FF00, 60)) sx += x + 0.5, sy += y + 0.5, ++n;
  ASSERT_GT(n, 0);
  // Centre at 300 dpi on the sheet; within 0.2 mm.
  const double want_x = (off_x + 445.0) * 2, want_y = (off_y + 530.0) * 2;
  const double tol = 0.2 / 25.4 * 300;
  EXPECT_NEAR(sx / n, want_x, tol);
  EXPECT_NEAR(sy / n, want_y, tol);
  EXPECT_NEAR(n, 180.0 * 120.0, 180.0 * 120.0 * 0.05);
}

}  // namespace
