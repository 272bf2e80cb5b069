// The fixture of the printing tests: the document modules and the printing
// back end started as the program starts them, no dialogs (the ghost
// controller), the file printer and no disc printer; a document of a layout
// with every unit marked and painted; the two-up disc sheet of
// PrintSheetSupport.h with its picture library.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "DocTestSupport.h"
#include "FontTestSupport.h"
#include "PrintSheetSupport.h"
#include "TempDirSupport.h"
#include "doc/VoskPrin.h"
#include "doc/VoskRend.h"
#include "host/HostPrint.h"
#include "host/HostScript.h"
#include "pixel/OP.h"
#include "pixel/SysBlt.h"
#include "platform/SysDlog.h"
#include "platform/SysFont.h"
#include "platform/SysPrint.h"
#include "platform/VoskDef.h"

namespace printsheet {

class PrintingTest : public testdir::TempDirTest {
 protected:
  explicit PrintingTest(std::string prefix) : TempDirTest(std::move(prefix)) {}
  void SetUp() override {
    TempDirTest::SetUp();
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    Host_Print_Set_Cups(false);
    Host_Print_Set_Disc_Printer(false);
    doctests::Start_Document_Modules();
    SysDlog_Init();
    SysPrint_Init();
    SysBlt_Init();
    gs.controller = GHOST;
    gs.curr_phase = NODOC_PHASE;
    Host_Script_Reset();
  }
  void TearDown() override {
    UnitCache_Stop();
    doctests::Close_Document();
    if (library_) OP_Stop();
    library_ = false;
    SysPrint_Init();
    Host_Print_Set_Output_Path("");
    Host_Print_Set_Cups(true);
    Host_Script_Reset();
    TempDirTest::TearDown();
  }
  // The document on layout x, every unit marked and given paint: red over
  // the whole unit, a blue block in its top-left quarter.
  static void Open(const a_template& x) {
    ASSERT_TRUE(Doc_New(x));
    for (uint32 ux = 1; ux <= x.nunits; ++ux) {
      a_doc_unit* u = Doc_Unit(ux);
      u->printf = true;
      if (u->clonef) continue;
      Sync_Existence(true, u, PAINT1_LAYER);
      u->paintinuse = true;
      const Rect& b = u->paintbounds;
      for (int y = b.top; y < b.bottom; ++y)
        for (int x2 = b.left; x2 < b.right; ++x2) {
          const bool corner = y < b.bottom / 3 && x2 < b.right / 3;
          *Pixel(u->statics[PAINT1_LAYER].world, x2, y) = corner ? 0x002030E0u : 0x00E02010u;
          *Level(u->statics[PAINT1_LAYER].mask, x2, y) = 255;
        }
      Unit_PostRender(u);
    }
  }
  // The two-up disc sheet with a photo of w x h pixels.
  void Open_Two_Up(int32 photo_w, int32 photo_h) {
    Fonts_Stop();
    Fonts_Init();
    library_ = Open_Art_Library(VELMOR_ART_LIBRARY);
    ASSERT_TRUE(library_) << "the picture library is not built";
    std::string why;
    ASSERT_TRUE(Make_Two_Up_Document(dir, photo_w, photo_h, why)) << why;
  }
  static uint32* Pixel(GWorldPtr w, int x, int y) {
    const PixMap& p = w->pix;
    return reinterpret_cast<uint32*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
  }
  static uint8* Level(GWorldPtr w, int x, int y) {
    const PixMap& p = w->pix;
    return reinterpret_cast<uint8*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
  }

 private:
  bool library_ = false;
};

// The booklet sheet of the crop-mark tests: one booklet of 120 mm with crop
// marks, its box from (40, 50) mm.
inline a_template Booklet_Sheet() {
  return Sheet({Unit(UNIT_CD_WALLET, 40, 50, 120, 120, uint32(1) << UNIT_CROPMARKS)});
}

// The booklet's crop marks on the page: walking out from each corner along
// the line of each side, and from the fold, paper for 1 mm, then the mark
// for 4 mm, each within tol mm (a dark pixel within `spread` across the walk
// counts).
inline void Expect_Booklet_Crop_Marks(const Page& page, int32 spread, double tol) {
  const int32 left = Dots(40), top = Dots(50), right = Dots(160) - 1, bottom = Dots(170) - 1;
  for (const CropWalk& w : Crop_Mark_Walks(left, top, right, bottom, Dots(110))) {
    SCOPED_TRACE(testing::Message() << "from " << w.x << "," << w.y);
    int32 gap, mark;
    page.Walk(w.x, w.y, w.dx, w.dy, spread, gap, mark);
    EXPECT_NEAR(gap / kDotsPerMM, 1.0, tol);
    EXPECT_NEAR(mark / kDotsPerMM, 4.0, tol + 0.05);
  }
}

// The test sheet's "20 mm" and "1 inch" crosshairs, their lines within tol
// mm of those distances from the sheet's corner.
inline void Expect_Corner_Marks(const Page& page, double tol) {
  for (const double mm : {20.0, 25.4}) {
    SCOPED_TRACE(mm);
    int32 row, row_n, col, col_n;
    page.Crosshair(Dots(mm), row, row_n, col, col_n);
    EXPECT_GE(row_n, 15);
    EXPECT_GE(col_n, 15);
    EXPECT_NEAR((row + 0.5) / kDotsPerMM, mm, tol);
    EXPECT_NEAR((col + 0.5) / kDotsPerMM, mm, tol);
  }
}

}  // namespace printsheet
