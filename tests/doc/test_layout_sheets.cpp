// Pictures of catalogue sheets for a person to hold against the real stock:
// entries expanded and drawn at 2 pixels per millimetre as the user will
// print on them: the paper, each unit's real outline (holes of discs, round
// ends of business-card discs, window of cassette faces, notches of inlays,
// folds of booklets, wraps, tray cards and J-cards, the crosshair of discs),
// its bleed dashed in light blue, its folds again in red, and the kind's
// name, as PNG files under the build folder's snapshots/layouts/. Units of
// disc-printer layouts take the default medium's sizes. The test checks that
// each unit's outline is drawn where the expansion put it, with the holes
// and folds it has, and that the files read back.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "platform/VoskDef.h"
#include "doc/VoskDoc.h"
#include "doc/VoskPrin.h"
#include "doc/VoskShap.h"
#include "doc/VoskTmpl.h"
#include "host/HostScript.h"
#include "pixel/Draw.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysUnicode.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "ui/VoskStat.h"

namespace {

// Pixels per millimetre: 2, or 4 on the small paper of disc printers.
int32 g_scale = 2;
constexpr int32 kMargin = 16;  // pixels around the paper
constexpr int32 kTitle = 24;   // pixels above it for the caption

class LayoutSheets : public ::testing::Test {
 protected:
  a_fontspec font_{};
  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    VoskDef_Init();
    Resources_Init();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    Draw_Init();
    VoskDoc_Init();
    VoskPrin_Init();
    Prefs_SetToDefault();  // the media a new user prints on
    Fonts_Stop();
    Fonts_Init();
    Null_FontSpec(font_);
    font_.fontID = Find_Font_Name(CStrSpan("DejaVu Sans"));
    ASSERT_NE(font_.fontID, 0u);
  }
  void TearDown() override {
    while (ncstack > 0) Pop_Mapping();
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    Stop_Quickdraw();
    Fonts_Stop();
  }

  static int16 X(float mm) { return int16(kMargin + std::lround(mm * g_scale)); }
  static int16 Y(float mm) { return int16(kMargin + kTitle + std::lround(mm * g_scale)); }

  void Text(const std::string& s, int32 size, int16 h, int16 v) {
    a_fontspec f = font_;
    f.size = size;
    SetFont(f);
    MoveTo(h, v);
    DrawString(CStrSpan(s.c_str(), s.size() + 1));
  }
  int16 Width(const std::string& s, int32 size) {
    a_fontspec f = font_;
    f.size = size;
    SetFont(f);
    return StringWidth(CStrSpan(s.c_str(), s.size() + 1));
  }
  // Draws the layout into a new world; its pixels as 0xRRGGBB, and each
  // unit's outlined box in boxes.
  std::vector<uint32> Draw_Sheet(const a_template& x, int32& w, int32& h, std::vector<Rect>& boxes) {
    const bool turned = (x.tflags & (1u << IS_LANDSCAPE)) != 0;
    const float pw = turned ? x.papersize.y : x.papersize.x, ph = turned ? x.papersize.x : x.papersize.y;
    g_scale = std::max(pw, ph) <= 150 ? 4 : 2;
    uStr255 name{};
    Filter_Template_Name(x.label, name);
    Str255 name8{};
    UTF16_To_UTF8(name, name8);
    char size[64];
    std::snprintf(size, sizeof size, "   %g x %g mm%s", double(x.papersize.x), double(x.papersize.y),
                  turned ? ", turned" : "");
    const std::string title = std::string(name8) + size;
    GWorldPtr scratch = nullptr;  // the title's width is measured in a port of its own
    EXPECT_EQ(New_GWorld(Rect{0, 0, 1, 1}, 32, nullptr, scratch), noErr);
    Push_GWorld(scratch);
    const int32 title_w = Width(title, 11);
    Pop_GWorld();
    Dispose_GWorld(scratch);
    w = std::max(2 * kMargin + int32(std::lround(pw * g_scale)) + 1, 2 * kMargin + title_w);
    h = 2 * kMargin + kTitle + int32(std::lround(ph * g_scale)) + 1;
    GWorldPtr world = nullptr;
    EXPECT_EQ(New_GWorld(Rect{0, 0, int16(h), int16(w)}, 32, nullptr, world), noErr);
    Push_GWorld(world);
    PenNormal();
    RGBForeColor(RGBColor{200 * 257, 200 * 257, 200 * 257});
    PaintRect(Rect{0, 0, int16(h), int16(w)});
    const Rect paper{Y(0), X(0), int16(Y(ph) + 1), int16(X(pw) + 1)};
    RGBForeColor(RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
    PaintRect(paper);
    RGBForeColor(RGBColor{0, 0, 0});
    FrameRect(paper);
    TextMode(1);
    Text(title, 11, kMargin, kMargin + 14);
    // Millimetres on the (turned) page to the sheet's pixels.
    a_coord_mapping page{};
    page.multx = page.multy = float(g_scale);
    page.originx = float(kMargin);
    page.originy = float(kMargin + kTitle);
    Push_Mapping(page);
    g_doc.doc_template = x;
    const a_direct_print_kind dkind = Calc_Direct_Print_Kind();
    boxes.assign(x.nunits, Rect{0, 0, 0, 0});
    for (uint32 i = 0; i < x.nunits; ++i) {
      const a_unit& u = x.units[i];
      // The bleed, dashed in light blue.
      a_unit bled;
      a_iunit ibled;
      Calc_Adjusted_Unit(true, true, 1, dkind, u, bled);
      Map_Unit(bled, ibled);
      RGBForeColor(RGBColor{120 * 257, 170 * 257, 230 * 257});
      RGBBackColor(RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
      if (u.bleed.left > 0 || u.bleed.top > 0 || u.bleed.right > 0 || u.bleed.bottom > 0)
        Outline_Shape2(true, true, false, DASHED_LINE, 1, 4, FULL_BLEED, ibled);
      // What is cut, with the folds and the crosshair of discs.
      RGBForeColor(RGBColor{0, 0, 0});
      Outline_Shape(i + 1, false, SOLID_LINE, 1, 0, true, INSIDE_BLEED, boxes[i]);
      // The folds again in red.
      a_unit cut;
      a_iunit icut;
      Calc_Adjusted_Unit(false, true, 1, dkind, u, cut);
      Map_Unit(cut, icut);
      RGBForeColor(RGBColor{200 * 257, 60 * 257, 60 * 257});
      Outline_Shape2(false, false, true, SOLID_LINE, 1, 0, INSIDE_BLEED, icut);
      // The kind's name, centred, smaller where the unit is small.
      const Rect& r = boxes[i];
      Str255 kind{};
      GetIndString(kind, 600, int16(u.kind + 1));
      std::string label = std::to_string(i + 1) + " " + kind;
      int32 size = 9;
      while (size > 6 && Width(label, size) > r.right - r.left - 4) --size;
      if (Width(label, size) > r.right - r.left - 4) label = std::to_string(i + 1);  // a spine: its number
      // Below the hole of discs.
      const a_shape shape = Unit_Kind_Shape(u.kind);
      const bool holed = shape == SHAPE_RING || shape == SHAPE_BIZHOCKEY || shape == SHAPE_BIZRECT;
      const int32 cy = (r.top + r.bottom) / 2 + (holed ? icut.imeas[0] / 2 + size + 3 : size / 2);
      RGBForeColor(RGBColor{40 * 257, 40 * 257, 40 * 257});
      Text(label, size, int16((r.left + r.right) / 2 - Width(label, size) / 2), int16(cy));
    }
    Pop_Mapping();
    std::vector<uint32> px(size_t(w) * size_t(h));
    const PixMap& pm = world->pix;
    for (int32 y = 0; y < h; ++y)
      std::memcpy(&px[size_t(y) * size_t(w)], pm.baseAddr + size_t(y) * PixMap_RowBytes(pm), size_t(w) * 4);
    Pop_GWorld();
    Dispose_GWorld(world);
    for (uint32& p : px) p &= 0xFFFFFF;
    return px;
  }
};

std::string File_Name(const char* label) {
  std::string s;
  for (const char* p = label; *p; ++p) s += std::isalnum(uint8(*p)) ? char(std::tolower(uint8(*p))) : '_';
  return s + ".png";
}

// A layout of the catalogue by its label (FALSE when it has none).
bool Find_Layout(const char* label, a_ctemplate& c) {
  for (uint32 i = 1; i <= NTEMPLATES; ++i) {
    Get_CTemplate(i, c);
    if (std::strcmp(c.label, label) == 0) return true;
  }
  return false;
}

bool Ink_Near(const std::vector<uint32>& px, int32 w, int32 h, int32 x, int32 y) {
  for (int32 dy = -1; dy <= 1; ++dy)
    for (int32 dx = -1; dx <= 1; ++dx) {
      const int32 xx = x + dx, yy = y + dy;
      if (xx >= 0 && xx < w && yy >= 0 && yy < h && px[size_t(yy) * size_t(w) + size_t(xx)] != 0xFFFFFF) return true;
    }
  return false;
}

TEST_F(LayoutSheets, SheetsDrawnForComparisonWithTheStock) {
  const char* labels[] = {
      "Avery L7163",        "Avery 5160",           "Avery L7676",
      "Avery 5931",         "Online_Labels OL9325", "Rayfilm CD13",
      "Canon Type J Tray",  "Avery 8435B",          "Avery 5997-Face",
      "_ Jewel case set (A4)", "_ DVD case wrap (A4)", "_ Blu-ray case wrap (A4)",
      "_ Cassette J-card (Letter)", "_ Super jewel inlay (A4)", "Online_Labels OL6775",
      "Online_Labels OL5600", "_ Jewel case booklet (A4)", "_ Disc printer, CD/DVD",
      "_ Disc printer, card disc",
      // The media families filled out later: business-card discs with
      // round ends and with corners, cassette faces, J-cards and spines,
      // MiniDisc labels, Video-8 and VHS inlets, slim case inserts, jewel
      // case spines, business cards, staggered discs.
      "Online_Labels OL5575", "Rayfilm CRD1", "Begalabel M-1000", "_ Cassette J-card (A4)",
      "_ Cassette spines (A4)", "Hama 50520-1", "Hama 50437", "_ Video-8/Hi8 J-card (A4)", "Hama 50438",
      "_ Slim case insert (A4)", "Neato Slimline CD Case, spine", "_ Jewel case spines (A4)",
      "_ Business cards (A4)", "_ Folded business card (A4)", "Meritline 176-020-001", "SheetLabels SL113",
      // 8 cm disc and DVD case inserts and booklets, the VHS case wrap, a
      // maker's jewel case booklet read on the turned page.
      "_ 8 cm case insert (A4)", "_ 8 cm case booklet (Letter)", "_ DVD case inlet (Letter)",
      "_ DVD case booklet (A4)", "_ VHS case wrap (A4)", "Neato 69143",
  };
  std::vector<a_ctemplate> sheets;
  for (const char* label : labels) {
    a_ctemplate c{};
    ASSERT_TRUE(Find_Layout(label, c)) << label;
    sheets.push_back(c);
  }
  const std::string exe = VELMOR4_EXE;
  const std::string dir = exe.substr(0, exe.find_last_of('/')) + "/snapshots";
  ::mkdir(dir.c_str(), 0755);
  ::mkdir((dir + "/layouts").c_str(), 0755);
  for (const a_ctemplate& c : sheets) {
    const char* label = c.label;
    a_template x{};
    ASSERT_EQ(Expand_Template(c, x), EXPAND_OK) << label;
    int32 w = 0, h = 0;
    std::vector<Rect> boxes;
    const std::vector<uint32> px = Draw_Sheet(x, w, h, boxes);
    const bool direct = (x.tflags & (1u << IS_CDPRINTER)) != 0;
    for (uint32 i = 0; i < x.nunits; ++i) {
      const a_unit& u = x.units[i];
      const Rect& r = boxes[i];
      // The outline lies where the expansion put the unit (a disc printer's
      // unit takes its medium's size, centred where it was) ...
      if (!direct) {
        EXPECT_NEAR(r.left, X(u.bbox.left), 1) << label << " unit " << i + 1;
        EXPECT_NEAR(r.right, X(u.bbox.right), 1) << label << " unit " << i + 1;
        EXPECT_NEAR(r.top, Y(u.bbox.top), 1) << label << " unit " << i + 1;
      }
      // ... and is drawn there: ink at the middle of its left side.
      const int32 cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
      EXPECT_TRUE(Ink_Near(px, w, h, r.left, cy)) << label << " unit " << i + 1 << " not drawn at " << r.left;
      // A disc's hole, left of the centre by half its diameter (the medium's
      // hole on a disc printer, else the catalogue's).
      const a_shape shape = Unit_Kind_Shape(u.kind);
      if (shape == SHAPE_RING || shape == SHAPE_BIZHOCKEY || shape == SHAPE_BIZRECT) {
        a_unit adj;
        Calc_Adjusted_Unit(false, true, 1, Calc_Direct_Print_Kind(), u, adj);
        const int32 hole = int32(std::lround(adj.meas[0] * g_scale));
        if (hole > 4) {
          EXPECT_TRUE(Ink_Near(px, w, h, cx - hole / 2, cy)) << label << " unit " << i + 1 << " hole";
          EXPECT_FALSE(Ink_Near(px, w, h, cx - hole / 4, cy - hole / 4)) << label << " inside the hole";
        }
      }
      // Folds: a booklet's in the middle or around its spine.
      if (shape == SHAPE_BOOKLET) {
        const int32 spine = int32(std::lround(u.meas[0] * g_scale));
        if (spine == 0) {
          EXPECT_TRUE(Ink_Near(px, w, h, cx, r.top + 20)) << label << " fold";
        } else {
          EXPECT_TRUE(Ink_Near(px, w, h, cx - spine / 2, r.top + 20)) << label << " spine fold";
          EXPECT_TRUE(Ink_Near(px, w, h, cx + spine / 2, r.top + 20)) << label << " spine fold";
        }
      }
    }
    const std::string path = dir + "/layouts/" + File_Name(label);
    std::vector<uint32> bgra(px);
    std::string err;
    ASSERT_TRUE(Host_Write_PNG(path, bgra.data(), w, h, err)) << path << ": " << err;
    std::vector<uint32> back;
    int32 bw = 0, bh = 0;
    ASSERT_TRUE(Host_Read_PNG(path, back, bw, bh, err)) << err;
    EXPECT_EQ(bw, w);
    EXPECT_EQ(bh, h);
  }
}

}  // namespace
