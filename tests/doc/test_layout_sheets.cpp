// Pictures of catalogue sheets for a person to hold against the real stock:
// a dozen entries expanded and drawn at 2 pixels per millimetre (the paper,
// each unit's box with its bleed, discs with their holes, fold lines of
// booklets, wraps and tray cards, and the kind's name) as PNG files under
// the build folder's snapshots/layouts/. The test checks that each unit's
// edge is drawn where the expansion put it, and that the files read back.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "platform/VoskDef.h"
#include "doc/VoskTmpl.h"
#include "host/HostScript.h"
#include "pixel/Draw.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysUnicode.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

constexpr int32 kScale = 2;    // pixels per millimetre
constexpr int32 kMargin = 16;  // pixels around the paper
constexpr int32 kTitle = 24;   // pixels above it for the caption

bool Is_Ring(uint8 k) { return k == UNIT_CD || k == UNIT_CD_CORE || k == UNIT_MINICD_RING; }

class LayoutSheets : public ::testing::Test {
 protected:
  a_fontspec font_{};
  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_SKIP() << kNoDejaVuMessage;
    VoskDef_Init();
    Resources_Init();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    Draw_Init();
    Fonts_Stop();
    Fonts_Init();
    Null_FontSpec(font_);
    font_.fontID = Find_Font_Name(CStrSpan("DejaVu Sans"));
    ASSERT_NE(font_.fontID, 0u);
  }
  void TearDown() override {
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    Stop_Quickdraw();
    Fonts_Stop();
  }

  static int16 X(float mm) { return int16(kMargin + std::lround(mm * kScale)); }
  static int16 Y(float mm) { return int16(kMargin + kTitle + std::lround(mm * kScale)); }
  static Rect Box(const a_frect& r) { return Rect{Y(r.top), X(r.left), int16(Y(r.bottom) + 1), int16(X(r.right) + 1)}; }

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
  void VLine(float x_mm, const a_frect& b) {
    MoveTo(X(x_mm), Y(b.top));
    LineTo(X(x_mm), Y(b.bottom));
  }

  // Draws the layout into a new world; its pixels as 0xRRGGBB.
  std::vector<uint32> Draw_Sheet(const a_template& x, int32& w, int32& h) {
    const bool turned = (x.tflags & (1u << IS_LANDSCAPE)) != 0;
    const float pw = turned ? x.papersize.y : x.papersize.x, ph = turned ? x.papersize.x : x.papersize.y;
    w = 2 * kMargin + int32(std::lround(pw * kScale)) + 1;
    h = 2 * kMargin + kTitle + int32(std::lround(ph * kScale)) + 1;
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
    uStr255 name{};
    Filter_Template_Name(x.label, name);
    Str255 name8{};
    UTF16_To_UTF8(name, name8);
    char size[64];
    std::snprintf(size, sizeof size, "   %g x %g mm%s", double(x.papersize.x), double(x.papersize.y),
                  turned ? ", turned" : "");
    Text(std::string(name8) + size, 11, kMargin, kMargin + 14);
    for (uint32 i = 0; i < x.nunits; ++i) {
      const a_unit& u = x.units[i];
      const a_frect& b = u.bbox;
      // Bleed in light blue, the unit's box in black.
      const a_frect bled{b.left - u.bleed.left, b.top - u.bleed.top, b.right + u.bleed.right, b.bottom + u.bleed.bottom};
      RGBForeColor(RGBColor{120 * 257, 170 * 257, 230 * 257});
      if (bled.left != b.left || bled.top != b.top || bled.right != b.right || bled.bottom != b.bottom)
        FrameRect(Box(bled));
      RGBForeColor(RGBColor{0, 0, 0});
      const Rect r = Box(b);
      const float cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
      if (Is_Ring(u.kind) || u.kind == UNIT_CIRCLE || u.kind == UNIT_OVAL) {
        FrameOval(r);
      } else {
        FrameRect(r);
      }
      if ((Is_Ring(u.kind) || u.kind == UNIT_MINICD_HOCKEY || u.kind == UNIT_MINICD_RECT) && u.meas[0] > 0) {
        const float hr = u.meas[0] / 2;
        FrameOval(Box(a_frect{cx - hr, cy - hr, cx + hr, cy + hr}));
      }
      // Folds: booklets and wraps in the middle (two lines a spine apart),
      // tray cards a spine in from both ends, multi-panel cards after each panel.
      RGBForeColor(RGBColor{200 * 257, 60 * 257, 60 * 257});
      switch (u.kind) {
        case UNIT_VISITING2: case UNIT_CD_WALLET: case UNIT_MINICD_LID2: case UNIT_JEWEL_LID2:
        case UNIT_SUPERJEWEL_BOOKLET: case UNIT_DVDBOX_INSERT2: case UNIT_DVDBOX_WRAP: case UNIT_VHS_WRAP:
        case UNIT_VCD_WRAP: case UNIT_BLURAY_WRAP:
          if (u.meas[0] > 0) {
            VLine(cx - u.meas[0] / 2, b);
            VLine(cx + u.meas[0] / 2, b);
          } else {
            VLine(cx, b);
          }
          break;
        case UNIT_JEWEL_BASE:
          VLine(b.left + u.meas[0], b);
          VLine(b.right - u.meas[0], b);
          break;
        case UNIT_JEWEL_LID3: case UNIT_AUDIO_JCARD: case UNIT_DAT_JCARD: case UNIT_HI8_JCARD: {
          float at = b.left;
          for (float m : u.meas) {
            if (m <= 0) break;
            at += m;
            VLine(at, b);
          }
          break;
        }
        default: break;
      }
      // The kind's name, centred, smaller where the unit is small.
      Str255 kind{};
      GetIndString(kind, 600, int16(u.kind + 1));
      std::string label = std::to_string(i + 1) + " " + kind;
      int32 size = 9;
      while (size > 6 && Width(label, size) > r.right - r.left - 4) --size;
      if (Width(label, size) > r.right - r.left - 4) label = std::to_string(i + 1);  // a spine: its number
      RGBForeColor(RGBColor{40 * 257, 40 * 257, 40 * 257});
      Text(label, size, int16(X(cx) - Width(label, size) / 2), int16(Y(cy) + size / 2));
    }
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

TEST_F(LayoutSheets, DozenSheetsDrawnForComparisonWithTheStock) {
  const char* labels[] = {
      "Avery L7163",        "Avery 5160",           "Avery L7676",
      "Avery 5931",         "Online_Labels OL9325", "Rayfilm CD13",
      "Canon Type J Tray",  "Avery 8435B",          "Avery 5997-Face",
      "_ Jewel case set (A4)", "_ DVD case wrap (A4)", "_ Blu-ray case wrap (A4)",
      "_ Cassette J-card (Letter)", "_ Super jewel inlay (A4)", "Online_Labels OL6775",
  };
  const std::string exe = VELMOR4_EXE;
  const std::string dir = exe.substr(0, exe.find_last_of('/')) + "/snapshots";
  ::mkdir(dir.c_str(), 0755);
  ::mkdir((dir + "/layouts").c_str(), 0755);
  for (const char* label : labels) {
    a_ctemplate c{};
    bool found = false;
    for (uint32 i = 1; i <= NTEMPLATES && !found; ++i) {
      Get_CTemplate(i, c);
      found = std::strcmp(c.label, label) == 0;
    }
    ASSERT_TRUE(found) << label;
    a_template x{};
    ASSERT_EQ(Expand_Template(c, x), EXPAND_OK) << label;
    int32 w = 0, h = 0;
    const std::vector<uint32> px = Draw_Sheet(x, w, h);
    // Each unit's edge is ink at the middle of its left side (rectangles) or
    // at its leftmost point (round units), two pixels per millimetre.
    for (uint32 i = 0; i < x.nunits; ++i) {
      const a_frect& b = x.units[i].bbox;
      const int32 hx = X(b.left), vy = Y((b.top + b.bottom) / 2);
      bool ink = false;
      for (int32 dx = -1; dx <= 1; ++dx)
        if (hx + dx >= 0 && hx + dx < w) ink = ink || px[size_t(vy) * size_t(w) + size_t(hx + dx)] != 0xFFFFFF;
      EXPECT_TRUE(ink) << label << " unit " << i + 1 << " not drawn at " << hx << "," << vy;
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
