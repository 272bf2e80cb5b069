// Text rendering: the colour ramp of outline and glow, the chamfer distance
// map (equal on every side), the text picture's effects and its shadow on
// coverage drawn by hand; then laid-out texts drawn with real glyphs: a
// circle of O's between its circles, a stretched glyph, a text without
// regular characters, underlines, a text in the drawing order of a unit's
// layer among photos and symbols, a print at twice the scale, the selected
// range, the frame and the overflow mark.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskRend.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "objects/VoskTextDraw.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/ArtKeys.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/SysPixt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"

namespace {

uint8& M8(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return *(reinterpret_cast<uint8*>(p.baseAddr) + size_t(y - p.bounds.top) * PixMap_RowBytes(p) + (x - p.bounds.left));
}
a_win_pixel32& M32(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return *(reinterpret_cast<a_win_pixel32*>(reinterpret_cast<uint8*>(p.baseAddr) +
                                            size_t(y - p.bounds.top) * PixMap_RowBytes(p)) +
           (x - p.bounds.left));
}
// A mask value, 0 outside the masked world.
int Level(const a_masked_gworld& mw, int x, int y) {
  if (mw.mask == nullptr || !PtInRect(Point{int16(y), int16(x)}, mw.bounds)) return 0;
  return M8(mw.mask, x, y);
}

constexpr a_win_pixel32 Rgb(uint8 r, uint8 g, uint8 b) { return a_win_pixel32{{b, g, r, 255}}; }

// An 8-bit coverage world over bounds, cleared.
struct Coverage {
  GWorldPtr w = nullptr;
  explicit Coverage(const Rect& bounds) {
    New_GWorld(bounds, 8, gray_ctable, w);
    for (int y = bounds.top; y < bounds.bottom; ++y)
      for (int x = bounds.left; x < bounds.right; ++x) M8(w, x, y) = 0;
  }
  ~Coverage() { Dispose_GWorld(w); }
};

struct MW {
  a_masked_gworld mw;
  MW() { Null_MW(mw); }
  ~MW() { Dispose_MW(mw); }
};

// A text record of the test's own; its paths go with it.
struct Om_Free {
  void operator()(a_om_rec* om) const {
    Flush_Path_Cache(om->cache.path);
    delete om;
  }
};
using Om_Ptr = std::unique_ptr<a_om_rec, Om_Free>;

Om_Ptr New_Om() {
  Om_Ptr om(new a_om_rec);
  std::memset(static_cast<void*>(om.get()), 0, sizeof(a_om_rec));
  om->opacity = 100;
  om->base_color = Rgb(0, 0, 0);
  om->outl_color = Rgb(255, 255, 255);
  om->glow_color = Rgb(255, 0, 0);
  om->shad_color = Rgb(0, 0, 255);
  om->glow_opacity = 100;
  om->shad_opacity = 100;
  return om;
}

const a_coord_mapping kIdentity{0, 0, 1, 1, 0, 0, Rect{0, 0, 0, 0}};

class TextEffects : public ::testing::Test {
 protected:
  void SetUp() override { VoskDef_Init(); }
};

TEST_F(TextEffects, BlendPixelsWeighsEachChannelWithIntegerDivision) {
  struct Case {
    uint8 weight;
    a_win_pixel32 want;
  };
  const a_win_pixel32 a{{10, 20, 200, 255}}, b{{250, 120, 0, 0}};
  for (const Case& c : {Case{0, a}, Case{255, b}, Case{128, a_win_pixel32{{130, 70, 99, 127}}}}) {
    a_win_pixel32 d{};
    Blend_Pixels(d, a, b, c.weight);
    EXPECT_EQ(d.raw, c.want.raw) << int(c.weight);
  }
}

TEST_F(TextEffects, Text8To32WritesTheMaskScaledByThePercentAsAlpha) {
  const Rect box{0, 0, 1, 4};
  Coverage mask(box);
  GWorldPtr target = nullptr;
  New_GWorld(box, 32, nullptr, target);
  const uint8 in[4] = {0, 40, 200, 255};
  for (int x = 0; x < 4; ++x) {
    M8(mask.w, x, 0) = in[x];
    M32(target, x, 0) = a_win_pixel32{{1, 2, 3, 77}};
  }
  Text8_To_32(mask.w, target, box, 50);  // k = 64
  EXPECT_EQ(M32(target, 0, 0).a, 77);     // zero leaves the pixel alone
  EXPECT_EQ(M32(target, 1, 0).a, 20);
  EXPECT_EQ(M32(target, 2, 0).a, 100);
  Text8_To_32(mask.w, target, box, 100);  // k = 128: the mask itself
  EXPECT_EQ(M32(target, 3, 0).a, 255);
  EXPECT_EQ(M32(target, 3, 0).b, 1);
  Dispose_GWorld(target);
}

// The ramp's bands by distance, for the settings the sliders allow.
TEST_F(TextEffects, TheRampHasItsBandsAndIsSizedFromTheRadiiInHand) {
  a_glow_spec spec{};
  spec.base_color = Rgb(1, 1, 1);
  spec.outl_color = Rgb(2, 2, 2);
  spec.glow_color = Rgb(3, 3, 3);
  spec.text_level = 255;
  spec.glow_level = 200;
  std::vector<a_glow_entry> ramp;

  // Outline radius 1: the outline ends with the body, only its fade shows.
  spec.outl_radius = 1;
  Build_Glow_Ramp(spec, ramp);
  ASSERT_EQ(ramp.size(), 24u);
  for (int d = 0; d < 12; ++d) EXPECT_EQ(ramp[d].color.raw, spec.base_color.raw) << d;
  EXPECT_EQ(ramp[12].color.raw, spec.outl_color.raw);
  EXPECT_EQ(ramp[12].level, 255);
  for (int d = 13; d < 24; ++d) EXPECT_LT(ramp[d].level, ramp[d - 1].level) << d;

  // Outline 3 and glow 2: a full band to 24, 6 units of blending, the glow
  // fading out at 24 + 12.
  spec.outl_radius = 3;
  spec.glow_radius = 2;
  Build_Glow_Ramp(spec, ramp);
  EXPECT_EQ(ramp[23].color.raw, spec.outl_color.raw);
  EXPECT_EQ(ramp[23].level, 255);
  EXPECT_EQ(ramp[24].color.raw, spec.outl_color.raw);  // the blend starts at the outline's colour
  EXPECT_EQ(ramp[30].color.raw, spec.glow_color.raw);
  EXPECT_LT(ramp[30].level, 200);
  EXPECT_LE(ramp.size(), 36u);
  EXPECT_GE(ramp.size(), 34u);

  // A glow alone starts at the glow's opacity at 12.
  spec.outl_radius = 0;
  spec.glow_radius = 4;
  Build_Glow_Ramp(spec, ramp);
  EXPECT_EQ(ramp[12].color.raw, spec.glow_color.raw);
  EXPECT_EQ(ramp[12].level, 200);

  // The sliders reach 30 (and at 600 dpi twice as far): the ramp follows.
  spec.outl_radius = 60;
  spec.glow_radius = 60;
  Build_Glow_Ramp(spec, ramp);
  EXPECT_GE(ramp.size(), size_t(12 + 59 * 6 + 59 * 6));
  EXPECT_GT(ramp[12 + 59 * 6 + 30 * 6].level, 0);
}

// The chamfer distance 12/17 of every pixel to one covered pixel, exact on
// every side: a straight run costs 12 a step, a diagonal one 17.
TEST_F(TextEffects, TheDistanceMapIsTheChamferDistanceOnEverySide) {
  const Rect box{0, 0, 41, 41};
  Coverage cov(box);
  M8(cov.w, 20, 20) = 255;
  a_distance_map map;
  Calc_Glow_Distance(map, box, cov.w);
  ASSERT_EQ(map.d.size(), 41u * 41u);
  for (int y = 0; y < 41; ++y)
    for (int x = 0; x < 41; ++x) {
      const int ax = std::abs(x - 20), ay = std::abs(y - 20);
      const int lo = std::min(ax, ay), hi = std::max(ax, ay);
      ASSERT_EQ(map.d[size_t(y) * 41 + size_t(x)], 17 * lo + 12 * (hi - lo)) << x << "," << y;
    }
  // Partial coverage starts part of a step away; nothing covered stays far.
  M8(cov.w, 20, 20) = 128;
  Calc_Glow_Distance(map, box, cov.w);
  EXPECT_EQ(map.d[20 * 41 + 20], (255 - 128) * 12 / 255);
  M8(cov.w, 20, 20) = 0;
  Calc_Glow_Distance(map, box, cov.w);
  EXPECT_EQ(map.d[0], FAR_DISTANCE);
}

// A dot's glow and outline through the whole rendering: the same levels at
// the same distance up, down, left and right, and on the four diagonals.
TEST_F(TextEffects, ADotsGlowIsEqualOnEverySide) {
  const Rect area{-40, -40, 41, 41};
  Coverage cov(area);
  M8(cov.w, 0, 0) = 255;
  auto om = New_Om();
  om->glowf = true;
  om->glow_radius = 10;
  om->outlf = true;
  om->outl_radius = 2;
  MW text, shad;
  Render_Text_Coverage(om.get(), kIdentity, cov.w, text.mw, shad.mw);
  ASSERT_NE(text.mw.mask, nullptr);
  EXPECT_EQ(shad.mw.fore, nullptr);
  int reach = 0;
  for (int k = 1; k < 30; ++k) {
    const int right = Level(text.mw, k, 0);
    EXPECT_EQ(Level(text.mw, -k, 0), right) << k;
    EXPECT_EQ(Level(text.mw, 0, k), right) << k;
    EXPECT_EQ(Level(text.mw, 0, -k), right) << k;
    const int diag = Level(text.mw, k, k);
    EXPECT_EQ(Level(text.mw, -k, -k), diag) << k;
    EXPECT_EQ(Level(text.mw, -k, k), diag) << k;
    EXPECT_EQ(Level(text.mw, k, -k), diag) << k;
    if (right > 0) reach = k;
  }
  // The outline next to the dot, then the glow, fading out at (12 + 6 + 60)
  // twelfths of a pixel: a glow radius counts half pixels.
  EXPECT_EQ(M32(text.mw.fore, 1, 0).raw & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(M32(text.mw.fore, 2, 0).r, 255);
  EXPECT_EQ(M32(text.mw.fore, 2, 0).g, 0);
  EXPECT_EQ(reach, 6);
  // The picture holds only what shows.
  EXPECT_EQ(text.mw.bounds.right, reach + 1);
  EXPECT_EQ(text.mw.bounds.left, -reach);
}

// Coverage of a small block: the shadow falls to its side, grown by its blur.
struct ShadowCase {
  int16 dx, dy, radius;
  int16 opacity;  // the shadow's; the text's is 80
};

TEST_F(TextEffects, TheShadowFallsOnItsSideAndEqualOpacitiesCopyTheMask) {
  const Rect area{0, 0, 60, 60};
  for (const ShadowCase c : {ShadowCase{5, 3, 0, 80}, ShadowCase{-4, -6, 0, 80}, ShadowCase{0, 0, 2, 80},
                             ShadowCase{7, 0, 0, 40}}) {
    Coverage cov(area);
    const uint8 text_level = Percent_To_Level(80);
    for (int y = 20; y < 30; ++y)
      for (int x = 20; x < 34; ++x) M8(cov.w, x, y) = uint8(text_level * (x - 19) / 14);
    auto om = New_Om();
    om->opacity = 80;
    om->shadf = true;
    om->shad_dx = c.dx;
    om->shad_dy = c.dy;
    om->shad_radius = c.radius;
    om->shad_opacity = c.opacity;
    MW text, shad;
    Render_Text_Coverage(om.get(), kIdentity, cov.w, text.mw, shad.mw);
    ASSERT_NE(shad.mw.mask, nullptr);
    const Rect& b = shad.mw.bounds;
    // Stretched toward the side the shadow falls only, grown by the radius.
    EXPECT_EQ(b.left, 20 + std::min<int>(c.dx, 0) - c.radius) << c.dx;
    EXPECT_EQ(b.right, 34 + std::max<int>(c.dx, 0) + c.radius) << c.dx;
    EXPECT_EQ(b.top, 20 + std::min<int>(c.dy, 0) - c.radius) << c.dy;
    EXPECT_EQ(b.bottom, 30 + std::max<int>(c.dy, 0) + c.radius) << c.dy;
    EXPECT_EQ(M32(shad.mw.fore, b.left, b.top).b, 255);
    if (c.radius != 0) continue;
    for (int y = 20; y < 30; ++y)
      for (int x = 20; x < 34; ++x) {
        const int v = M8(cov.w, x, y);
        const int want = c.opacity == 80 ? v : v * Percent_To_Level(c.opacity) / text_level;
        ASSERT_EQ(Level(shad.mw, x + c.dx, y + c.dy), want) << x << "," << y;
      }
  }
}

TEST_F(TextEffects, NothingCoveredRendersNothing) {
  Coverage cov(Rect{0, 0, 30, 30});
  auto om = New_Om();
  om->glowf = om->shadf = om->outlf = true;
  om->glow_radius = om->outl_radius = 3;
  MW text, shad;
  Render_Text_Coverage(om.get(), kIdentity, cov.w, text.mw, shad.mw);
  EXPECT_EQ(text.mw.fore, nullptr);
  EXPECT_EQ(shad.mw.fore, nullptr);
  EXPECT_TRUE(EmptyRect(text.mw.bounds));
}

// Radii and opacities from a file are held to their sliders' ranges: an
// opacity of 0 is the least opacity, a radius of 500 the largest.
TEST_F(TextEffects, SettingsOutsideTheSlidersAreHeldToTheirRanges) {
  const Rect area{-150, -150, 151, 151};
  Coverage cov(area);
  M8(cov.w, 0, 0) = 255;
  auto om = New_Om();
  om->opacity = 0;
  om->glowf = true;
  om->glow_radius = 500;
  om->shadf = true;
  om->shad_opacity = 0;
  MW text, shad;
  Render_Text_Coverage(om.get(), kIdentity, cov.w, text.mw, shad.mw);
  ASSERT_NE(text.mw.mask, nullptr);
  const int most = SLIDER_VALUES[TEXT_GLOW_RADIUS_SLIDER].maxval / 2;  // pixels
  EXPECT_GT(Level(text.mw, most - 2, 0), 0);
  EXPECT_EQ(Level(text.mw, most + 2, 0), 0);
  EXPECT_NE(shad.mw.mask, nullptr);
}

// --- Laid-out texts drawn with their glyphs ------------------------------------------------

constexpr float kMMPerCell = 25.4f / 300.0f;
constexpr int16 kDisc = 1417;  // a 120 mm disc face in cells

// A document of one CD unit, with DejaVu Sans Mono as the text font.
class TextPixels : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    VoskDef_Init();
    Resources_Init();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    VoskDoc_Init();
    VoskFunc_Init();
    VoskUndo_Init();
    VoskPrin_Init();
    History_Null();
    VoskBlok_Init();
    OPUtil_Init();
    Fonts_Stop();
    Fonts_Init();
    for (int16 i = 0; i < NSLIDERS; ++i) gs.slider_vals[i] = SLIDER_VALUES[i].defaultval;
    gs.controller = GHOST;
    g_ed = a_edit_rec{};
    mono_ = Find_Font_Name(CStrSpan("DejaVu Sans Mono"));
    ASSERT_NE(mono_, 0u);
    a_template x{};
    std::strcpy(x.label, "Text rendering");
    x.papersize = {215.9f, 279.4f};
    a_unit u{};
    u.kind = UNIT_CD;
    u.bbox = a_frect{5, 5, 5 + kDisc * kMMPerCell, 5 + kDisc * kMMPerCell};
    u.meas[0] = 15;
    x.units[x.nunits++] = u;
    ASSERT_TRUE(Doc_New(x));
    Select_Doc_Unit(1);
    gs.views[0].zoom_factor = a_ratio{1, 1};
    gs.nviews = 1;
    unit_ = Doc_Unit(1);
    ASSERT_NE(unit_, nullptr);
  }
  void TearDown() override {
    g_ed = a_edit_rec{};
    Undo_Dispose();
    if (g_doc.doc_open) Doc_Dispose();
    Dispose_Doc_Buffers();
    Cache_Clear();
  }
  // A text object of the unit (not in its list), laid out.
  Om_Ptr Text(const std::u16string& chars, a_text_layout layout, int16 size) {
    auto om = New_Om();
    om->layout = layout;
    om->size = size;
    om->fontx = mono_;
    om->hspacing = om->vspacing = 100;
    om->radius = 80;
    om->polarangle = 90;
    om->justify = JUST_CENTER;
    om->rotcenter = Point{int16(unit_->paintbounds.bottom / 2), int16(unit_->paintbounds.right / 2)};
    om->anchor = Point{300, 200};
    om->targwidth = NEW_TEXT_TARGWIDTH;
    UniStr_To_OM(om.get(), reinterpret_cast<const UniChar*>(chars.data()), int32(chars.size()));
    OM_Recalc(om.get(), 1);
    return om;
  }
  // A red straight text on top of the unit's list, laid out.
  a_om_rec* Add_Red_Text(const std::u16string& chars, int16 size) {
    a_om_rec* om = New_OM_Rec();
    if (om == nullptr) return nullptr;
    auto laid = Text(chars, LAYOUT_HORZ, size);
    laid->base_color = Rgb(200, 0, 0);
    OM_Copy_Into(*laid, *om);
    Obj_PostRender(Obj_Append(unit_->oj, TEXT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), nullptr, om));
    return om;
  }
  // The index of the unit's (last) text in its list.
  int32 Text_Index() const {
    int32 textx = 0;
    for (int32 k = 1; k <= unit_->oj.nlist; ++k)
      if (unit_->oj.list[k - 1].kind == TEXT_BLOCK) textx = k;
    return textx;
  }
  void Render(a_om_rec* om, a_masked_gworld& text, a_masked_gworld& shad) {
    OM_Render_In(kIdentity, om, 1, text, shad);
  }
  uint32 mono_ = 0;
  a_doc_unit* unit_ = nullptr;
};

double Polar_Degrees(double x, double y, Point centre) {
  double a = std::atan2(-(y - centre.v), x - centre.h) * 180.0 / 3.14159265358979323846;
  return a < 0 ? a + 360 : a;
}

// A circle of O's, both ways round: every inked pixel lies between the
// circles r - d and r (d the line distance) within 2 pixels, and each O's
// ink is centred within a degree of the middle of its advance.
TEST_F(TextPixels, ACircleOfOsLiesBetweenItsCirclesAtItsAngles) {
  for (const a_text_layout layout : {LAYOUT_CIRC_CW, LAYOUT_CIRC_CCW}) {
    SCOPED_TRACE(int(layout));
    auto om = Text(u"O O O O O O O O", layout, 36);
    om->polarangle = layout == LAYOUT_CIRC_CW ? 90 : 270;  // the text about 180 degrees either way
    OM_Recalc(om.get(), 1);
    MW text, shad;
    Render(om.get(), text.mw, shad.mw);
    ASSERT_NE(text.mw.mask, nullptr);
    const Point c = om->rotcenter;
    const double r = 80.0 * std::min(unit_->paintbounds.right, unit_->paintbounds.bottom) / 200.0;
    Push_TextSize_Mapping_U(1);
    const double d = Calc_Text_Size(100, *om);
    Pop_TextSize_Mapping();
    // Ink by tenth of a degree, with its radial extent.
    std::vector<double> weight(3600, 0.0), moment(3600, 0.0);
    double rmin = 1e9, rmax = 0;
    const Rect& b = text.mw.bounds;
    for (int y = b.top; y < b.bottom; ++y)
      for (int x = b.left; x < b.right; ++x) {
        const int v = M8(text.mw.mask, x, y);
        if (v == 0) continue;
        const double px = x + 0.5, py = y + 0.5;
        const double rr = std::hypot(px - c.h, py - c.v);
        rmin = std::min(rmin, rr);
        rmax = std::max(rmax, rr);
        const double a = Polar_Degrees(px, py, c);
        const int bin = std::clamp(int(a * 10), 0, 3599);
        weight[bin] += v;
        moment[bin] += v * a;
      }
    EXPECT_GE(rmin, r - d - 2);
    EXPECT_LE(rmax, r + 2);
    EXPECT_GT(rmax - rmin, d / 2);  // glyphs, not a line
    // The O's: runs of inked bins.
    std::vector<double> centres;
    for (int k = 0; k < 3600;) {
      if (weight[k] == 0) {
        ++k;
        continue;
      }
      double w = 0, m = 0;
      while (k < 3600 && weight[k] != 0) w += weight[k], m += moment[k], ++k;
      centres.push_back(m / w);
    }
    std::vector<double> middles;
    const double s = layout == LAYOUT_CIRC_CW ? -1 : 1;
    for (int32 i = 0; i < om->nxyl; ++i)
      if (om->xyl[i].mm_cat == CC_REGULAR) middles.push_back((om->xyl[i].mm_t - 900 * s) / 10.0);
    std::sort(middles.begin(), middles.end());
    ASSERT_EQ(centres.size(), middles.size());
    for (size_t k = 0; k < centres.size(); ++k) EXPECT_NEAR(centres[k], middles[k], 1.0) << k;
  }
}

// The width of the ink of one straight glyph, and its advance.
struct Ink {
  int width;
  int advance;
};

TEST_F(TextPixels, Stretch100DoublesAGlyphsWidthAndItsAdvance) {
  auto ink = [&](int16 stretch) {
    auto om = Text(u"H", LAYOUT_HORZ, 72);
    om->stretch_h = stretch;
    OM_Recalc(om.get(), 1);
    MW text, shad;
    Render(om.get(), text.mw, shad.mw);
    EXPECT_NE(text.mw.mask, nullptr);
    return Ink{text.mw.bounds.right - text.mw.bounds.left, om->xyl[0].mm_width};
  };
  const Ink plain = ink(0), doubled = ink(100);
  ASSERT_GT(plain.width, 20);
  EXPECT_NEAR(doubled.width, 2 * plain.width, 2);
  EXPECT_NEAR(doubled.advance, 2 * plain.advance, 1);
}

// Without regular characters nothing is drawn, whatever the effects.
TEST_F(TextPixels, ATextWithoutRegularCharactersDrawsNothing) {
  for (const std::u16string& chars : {std::u16string(u""), std::u16string(u"   "), std::u16string(u" \r ")}) {
    auto om = Text(chars, LAYOUT_HORZ, 24);
    om->glowf = om->outlf = om->shadf = om->undf = true;
    om->glow_radius = om->outl_radius = 4;
    MW text, shad;
    Render(om.get(), text.mw, shad.mw);
    EXPECT_EQ(text.mw.fore, nullptr);
    EXPECT_EQ(shad.mw.fore, nullptr);
  }
}

// An underline runs under underlined characters and the spaces between
// them, in the text's level, and not under a space at the end.
TEST_F(TextPixels, UnderlinesRunUnderTheCharactersAndTheSpacesBetween) {
  auto plain = Text(u"x  x ", LAYOUT_HORZ, 36);
  auto under = Text(u"x  x ", LAYOUT_HORZ, 36);
  under->undf = true;
  MW t0, s0, t1, s1;
  Render(plain.get(), t0.mw, s0.mw);
  Render(under.get(), t1.mw, s1.mw);
  ASSERT_NE(t1.mw.mask, nullptr);
  // Under the gap between the x's: ink only with the underline, a row or a
  // few just under the baseline.
  const int base = under->xyl[0].mm_y;
  const int gap = (under->xyl[1].mm_x + under->xyl[3].mm_x) / 2;
  int rows = 0;
  for (int y = base; y < base + 12; ++y) {
    EXPECT_EQ(Level(t0.mw, gap, y), 0);
    if (Level(t1.mw, gap, y) > 0) ++rows;
  }
  a_fontspec spec;
  Push_TextSize_Mapping_U(1);
  Calc_Net_Char(*under, 0, spec);
  Pop_TextSize_Mapping();
  a_glyph_font_info info;
  Get_Glyph_Font_Info(spec, info);
  EXPECT_GE(rows, int(info.ul_thickness));
  EXPECT_LE(rows, int(std::ceil(info.ul_thickness)) + 2);
  // Not past the last x's advance.
  const int after = under->xyl[3].mm_x + under->xyl[3].mm_width + 3;
  for (int y = base; y < base + 12; ++y) EXPECT_EQ(Level(t1.mw, after, y), 0) << y;
}

// A text sits in the unit's drawing order among photos: over a photo below
// it in the list, under one moved above it, over everything while edited.
TEST_F(TextPixels, TextSitsInStackingOrderAmongPhotos) {
  a_om_rec* om = Add_Red_Text(u"\u2588\u2588\u2588", 72);  // full blocks
  ASSERT_NE(om, nullptr);
  const int x = om->xyl[1].mm_x + 10, y = om->xyl[1].mm_y - 20;
  // A green photo over the middle block (new photos go under the texts).
  a_masked_gworld basis;
  Null_MW(basis);
  basis.bounds = Rect{0, 0, 200, 200};
  New_GWorldF("green", basis.bounds, 32, nullptr, basis.fore);
  for (int v = 0; v < 200; ++v)
    for (int h = 0; h < 200; ++h) M32(basis.fore, h, v) = Rgb(0, 200, 0);
  a_source_desc source{};
  source.kind = SOURCE_CLIPBOARD;
  ASSERT_TRUE(Cache_Insert_External(source, basis, nullptr));
  int32 photox = 0;
  a_ph_rec* ph = PH_New(photox, PHOTO_BLOCK);
  ASSERT_NE(ph, nullptr);
  ph->spec.source = source;
  ph->spec.subset = basis.bounds;
  ph->dst_center = Point{int16(y), int16(x + 95)};
  Photo_Merge(photox, false);
  auto layer_at = [&]() {
    Rect rect;
    GWorldPtr world = nullptr;
    Current_Unit_Merge_Check(rect, world);
    EXPECT_NE(world, nullptr);
    return world != nullptr ? M32(world, x, y).raw & 0xFFFFFFu : 0u;
  };
  const uint32 red = Rgb(200, 0, 0).raw & 0xFFFFFFu, green = Rgb(0, 200, 0).raw & 0xFFFFFFu;
  a_oj_master& m = unit_->oj;
  const int32 textx = Text_Index();
  ASSERT_LT(photox, textx);
  EXPECT_EQ(layer_at(), red);
  // The photo moved above the text shows over it.
  std::swap(m.list[photox - 1], m.list[textx - 1]);
  Unit_PostRender(unit_);
  EXPECT_EQ(layer_at(), green);
  // While the text is edited it is merged over everything else, the rest
  // kept in the minus layer; when the edit ends it takes its place again.
  gs.curr_phase = TEXT_PHASE;
  gs.txedit_phase = TXEDIT_EDIT;
  g_ed.edit_ux = 1;
  g_ed.edit_omx = Text_Index();
  g_ed.edit_objid = m.list[g_ed.edit_omx - 1].objid;
  g_ed.edit_om = om;
  EXPECT_EQ(layer_at(), red);
  EXPECT_NE(unit_->statics[MINUS_LAYER].world, nullptr);
  EXPECT_EQ(unit_->excluded_id, g_ed.edit_objid);
  g_ed = a_edit_rec{};
  EXPECT_EQ(layer_at(), green);
  EXPECT_EQ(unit_->statics[MINUS_LAYER].world, nullptr);
}

// The same among symbols: a symbol of the library under the text leaves
// every pixel of the text showing; moved above it, it covers some.
TEST_F(TextPixels, TextSitsInStackingOrderAmongSymbols) {
  SysPixt_Init();
  OP_Init();
  FSSpec lib{};
  if (!Path_From_Text(lib, VELMOR_ART_LIBRARY) || OP_OpenFile(lib) != OPEN_OKAY) {
    OP_Stop();
    GTEST_SKIP() << "the picture library is not built";
  }
  a_om_rec* om = Add_Red_Text(u"\u2588\u2588\u2588", 72);
  ASSERT_NE(om, nullptr);
  auto red_pixels = [&]() {
    Rect rect;
    GWorldPtr world = nullptr;
    Current_Unit_Merge_Check(rect, world);
    int n = 0;
    if (world == nullptr) return n;
    for (int y = rect.top; y < rect.bottom; ++y)
      for (int x = rect.left; x < rect.right; ++x) n += (M32(world, x, y).raw & 0xFFFFFFu) == 0xC80000u;
    return n;
  };
  const int alone = red_pixels();
  ASSERT_GT(alone, 1000);
  int32 symx = 0;
  a_ph_rec* ph = PH_New(symx, SYMBOL_BLOCK);
  ASSERT_NE(ph, nullptr);
  ph->spec.source.kind = SOURCE_DATABASE;
  ph->spec.source.key = a_keyset{ART_SYMBOL, ART_SYMBOL_MUSIC, 1, 0};
  ph->spec.is_symbol = true;
  ph->spec.symbol_color = a_pixel32{0x90, 0x40, 0x20, 0xFF};
  ph->spec.scalingh = ph->spec.scalingv = 1000;
  ph->dst_center = Point{int16(om->xyl[1].mm_y - 40), int16(om->xyl[1].mm_x + 30)};
  Photo_Merge(symx, false);
  a_oj_master& m = unit_->oj;
  const int32 textx = Text_Index();
  ASSERT_LT(symx, textx);
  EXPECT_EQ(red_pixels(), alone);
  std::swap(m.list[symx - 1], m.list[textx - 1]);
  Unit_PostRender(unit_);
  EXPECT_LT(red_pixels(), alone - 200);
  OP_Stop();
}

// A text running far past the unit is rendered only as far as the unit
// and its effects reach.
TEST_F(TextPixels, TheRenderingCoversOnlyTheUnit) {
  auto om = Text(std::u16string(60, u'H'), LAYOUT_HORZ, 72);
  om->anchor = Point{400, 900};
  om->justify = JUST_LEFT;
  OM_Recalc(om.get(), 1);
  ASSERT_GT(om->bbox.right, unit_->paintbounds.right + 1000);
  MW text, shad;
  Render(om.get(), text.mw, shad.mw);
  ASSERT_NE(text.mw.mask, nullptr);
  EXPECT_LE(text.mw.bounds.right, unit_->paintbounds.right + 4);
  EXPECT_GT(text.mw.bounds.right, unit_->paintbounds.right - 20);
}

// The editor's selection highlighted character by character: positions are
// the editor's, 1 before the first character, so 1 to 3 is "ab"; positions
// outside the text are limited to it, an empty selection draws nothing.
TEST_F(TextPixels, TheSelectedRangeIsHighlightedWithinTheText) {
  auto om = Text(u"ab cd", LAYOUT_HORZ, 36);
  const Rect& pb = unit_->paintbounds;
  GWorldPtr world = nullptr;
  New_GWorld(pb, 32, nullptr, world);
  ASSERT_NE(world, nullptr);
  auto count_red = [&]() {
    int n = 0;
    for (int y = pb.top; y < pb.bottom; ++y)
      for (int x = pb.left; x < pb.right; ++x) n += (M32(world, x, y).raw & 0xFFFFFFu) == 0xFF5050u;
    return n;
  };
  auto clear = [&]() {
    for (int y = pb.top; y < pb.bottom; ++y)
      for (int x = pb.left; x < pb.right; ++x) M32(world, x, y) = Rgb(255, 255, 255);
  };
  clear();
  g_ed.sel_lo = g_ed.sel_hi = 2;
  Draw_Selected_Range(world, om.get(), unit_);
  EXPECT_EQ(count_red(), 0);
  // The first two characters: as high as 85 % above the baseline to 30 %
  // below, along their advances.
  g_ed.sel_lo = 1;
  g_ed.sel_hi = 3;
  Draw_Selected_Range(world, om.get(), unit_);
  const int two = count_red();
  Push_TextSize_Mapping_U(1);
  const float size = Calc_Text_Size(100, *om);
  Pop_TextSize_Mapping();
  const float width = om->xyl[0].mm_width + om->xyl[1].mm_width;
  EXPECT_NEAR(two, 1.15 * size * width, 0.05 * size * width);
  const auto middle_of = [&](int32 i) {
    return M32(world, om->xyl[i].mm_x + om->xyl[i].mm_width / 2, om->xyl[i].mm_y - 2).raw & 0xFFFFFFu;
  };
  EXPECT_EQ(middle_of(0), 0xFF5050u) << "the first character is selected";
  EXPECT_EQ(middle_of(1), 0xFF5050u);
  EXPECT_EQ(middle_of(2), 0xFFFFFFu) << "the space after the range is not";
  // Far outside the text: the whole text, never past its end.
  clear();
  g_ed.sel_lo = -40;
  g_ed.sel_hi = 100000;
  Draw_Selected_Range(world, om.get(), unit_);
  EXPECT_GT(count_red(), two * 2);
  const int end = om->xyl[4].mm_x + om->xyl[4].mm_width + int(0.15f * size) + 2;
  EXPECT_EQ(M32(world, end, om->xyl[4].mm_y - 2).raw & 0xFFFFFFu, 0xFFFFFFu);
  g_ed = a_edit_rec{};
  Dispose_GWorld(world);
}

// An overflow mark: a blue disc of 16 pixels with a white plus.
TEST_F(TextPixels, AnOverflowMarkIsABlueDiscWithAPlus) {
  GWorldPtr world = nullptr;
  New_GWorld(Rect{0, 0, 40, 40}, 32, nullptr, world);
  ASSERT_NE(world, nullptr);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) M32(world, x, y) = Rgb(0, 0, 0);
  Push_GWorld(world);
  Draw_Overflow(Point{20, 20});
  Pop_GWorld();
  const uint32 blue = Rgb(8, 112, 229).raw & 0xFFFFFFu, white = 0xFFFFFFu;
  EXPECT_EQ(M32(world, 20, 20).raw & 0xFFFFFFu, white);
  EXPECT_EQ(M32(world, 24, 20).raw & 0xFFFFFFu, white);  // the bars
  EXPECT_EQ(M32(world, 20, 16).raw & 0xFFFFFFu, white);
  EXPECT_EQ(M32(world, 17, 17).raw & 0xFFFFFFu, blue);  // between them
  EXPECT_EQ(M32(world, 26, 20).raw & 0xFFFFFFu, blue);
  EXPECT_EQ(M32(world, 20, 31).raw & 0xFFFFFFu, 0u);  // outside the disc
  EXPECT_EQ(M32(world, 13, 13).raw & 0xFFFFFFu, 0u);
  Dispose_GWorld(world);
}

// The bounds of the pixels of a world that are near a colour.
Rect Colour_Box(GWorldPtr w, uint32 rgb) {
  const Rect& b = w->pix.bounds;
  int top = b.bottom, left = b.right, bottom = b.top, right = b.left;
  for (int y = b.top; y < b.bottom; ++y)
    for (int x = b.left; x < b.right; ++x) {
      const uint32 c = M32(w, x, y).raw & 0xFFFFFFu;
      int d = 0;
      for (int sh : {0, 8, 16}) d = std::max(d, std::abs(int((c >> sh) & 0xFF) - int((rgb >> sh) & 0xFF)));
      if (d > 8) continue;
      top = std::min(top, y), left = std::min(left, x);
      bottom = std::max(bottom, y + 1), right = std::max(right, x + 1);
    }
  return Rect{int16(top), int16(left), int16(bottom), int16(right)};
}

// A unit printed at twice its cells draws its text twice as large, where
// the screen's layer puts it, scaled.
TEST_F(TextPixels, APrintAtTwiceTheScaleDrawsTheTextTwiceAsLarge) {
  ASSERT_NE(Add_Red_Text(u"HHH", 36), nullptr);
  const uint32 red = Rgb(200, 0, 0).raw & 0xFFFFFFu;
  Rect rect;
  GWorldPtr layer = nullptr;
  Current_Unit_Merge_Check(rect, layer);
  ASSERT_NE(layer, nullptr);
  const Rect screen = Colour_Box(layer, red);
  ASSERT_FALSE(EmptyRect(screen));
  const Rect& pb = unit_->paintbounds;
  GWorldPtr print = nullptr;
  ASSERT_TRUE(Render_Unit_Print(1, unit_, Rect{0, 0, int16(2 * pb.bottom), int16(2 * pb.right)}, print));
  const Rect paper = Colour_Box(print, red);
  Dispose_GWorld(print);
  for (const auto& [s, p] : {std::pair{screen.left, paper.left}, std::pair{screen.right, paper.right},
                             std::pair{screen.top, paper.top}, std::pair{screen.bottom, paper.bottom}})
    EXPECT_NEAR(p, 2 * s, 3);
}

// The frame round a text: green when not selected, red when selected,
// amber while it is the text being edited; dashed when the text is hidden.
TEST_F(TextPixels, TheFrameTakesTheColourOfItsState) {
  auto om = Text(u"Frame", LAYOUT_HORZ, 36);
  ASSERT_GT(om->cache.frame.npoints, 3);
  gs.views[0].zoom_factor = a_ratio{1, 1};
  gs.views[0].origin = Point{0, 0};
  const Rect& pb = unit_->paintbounds;
  GWorldPtr world = nullptr;
  New_GWorld(pb, 32, nullptr, world);
  ASSERT_NE(world, nullptr);
  auto count = [&](bool visible, bool hilite, uint32 rgb) {
    for (int y = pb.top; y < pb.bottom; ++y)
      for (int x = pb.left; x < pb.right; ++x) M32(world, x, y) = Rgb(255, 255, 255);
    Push_GWorld(world);
    OM_Draw_Frame(1, visible, hilite, om.get());
    Pop_GWorld();
    int n = 0, others = 0;
    for (int y = pb.top; y < pb.bottom; ++y)
      for (int x = pb.left; x < pb.right; ++x) {
        const uint32 c = M32(world, x, y).raw & 0xFFFFFFu;
        n += c == rgb;
        others += c != rgb && c != 0xFFFFFFu;
      }
    EXPECT_EQ(others, 0);
    return n;
  };
  const uint32 green = 0x00F000u, red = 0xF00000u, amber = 0xFFC800u;
  const int solid = count(true, false, green);
  EXPECT_GT(solid, 200);
  EXPECT_EQ(count(true, true, red), solid);
  const int dashed = count(false, true, red);
  EXPECT_GT(dashed, solid / 4);
  EXPECT_LT(dashed, solid * 3 / 4);
  gs.curr_phase = TEXT_PHASE;
  gs.txedit_phase = TXEDIT_EDIT;
  g_ed.edit_om = om.get();
  EXPECT_EQ(count(true, true, amber), solid);
  g_ed = a_edit_rec{};
  Dispose_GWorld(world);
}

}  // namespace
