// Characters drawn one by one, as circular text draws them: 200 glyphs of
// DejaVu Sans at 24 pixels on a circle of radius 150, each turned to its own
// angle, into a 32-bit world (Draw_Glyph); the same 200 at one angle; and,
// for comparison, the same circle drawn through fonts made at each
// character's escapement (TextOutW).
#include <benchmark/benchmark.h>

#include <cmath>

#include "host/HostText.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

constexpr int32 kGlyphs = 200;

struct Glyph_World {
  GWorldPtr world = nullptr;
  a_fontspec spec{};
  Glyph_World() {
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    Fonts_Init();
    New_GWorld(Rect{0, 0, 400, 400}, 32, nullptr, world);
    Null_FontSpec(spec);
    const uint32 dejavu = Find_Font_Name(CStrSpan("DejaVu Sans"));
    if (dejavu != 0) spec.fontID = dejavu;
    spec.size = 24;
  }
  ~Glyph_World() {
    Dispose_GWorld(world);
    Stop_Quickdraw();
  }
  // Character i's place on the circle and its angle (tenths of a degree),
  // its baseline along the circle's tangent.
  static void Place(int32 i, double& x, double& y, int32& angle) {
    const double deg = i * 360.0 / kGlyphs;
    x = 200 + 150 * std::cos(deg * M_PI / 180);
    y = 200 - 150 * std::sin(deg * M_PI / 180);
    angle = int32(std::lround(deg * 10)) + 900;
  }
};

constexpr a_pixel32 kWhite{{255, 255, 255, 255}};

void BM_Glyphs_Circle_EachAngle(benchmark::State& state) {
  Glyph_World g;
  for (auto _ : state) {
    for (int32 i = 0; i < kGlyphs; ++i) {
      double x, y;
      Glyph_World::Place(i, x, y, g.spec.angle);
      Draw_Glyph(g.world->pix, g.spec, char32_t(U'A' + i % 26), x, y, 1.0, kWhite, nullptr);
    }
  }
  state.SetItemsProcessed(state.iterations() * kGlyphs);
}
BENCHMARK(BM_Glyphs_Circle_EachAngle)->Unit(benchmark::kMillisecond);

void BM_Glyphs_Circle_OneAngle(benchmark::State& state) {
  Glyph_World g;
  g.spec.angle = 300;
  for (auto _ : state) {
    for (int32 i = 0; i < kGlyphs; ++i) {
      double x, y;
      int32 unused;
      Glyph_World::Place(i, x, y, unused);
      Draw_Glyph(g.world->pix, g.spec, char32_t(U'A' + i % 26), x, y, 1.0, kWhite, nullptr);
    }
  }
  state.SetItemsProcessed(state.iterations() * kGlyphs);
}
BENCHMARK(BM_Glyphs_Circle_OneAngle)->Unit(benchmark::kMillisecond);

// The same circle through a logical font per character, made at its
// escapement and selected into the world.
void BM_Glyphs_Circle_FontPerAngle(benchmark::State& state) {
  Glyph_World g;
  Push_GWorld(g.world);
  SetTextAlign(theHDC, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
  SetBkMode(theHDC, TRANSPARENT);
  for (auto _ : state) {
    for (int32 i = 0; i < kGlyphs; ++i) {
      double x, y;
      Glyph_World::Place(i, x, y, g.spec.angle);
      HFONT f = Create_Font_Hdl(g.spec);
      HGDIOBJ old = SelectObject(theHDC, f);
      const UniChar c = UniChar(u'A' + i % 26);
      TextOutW(theHDC, int32(std::lround(x)), int32(std::lround(y)), &c, 1);
      SelectObject(theHDC, old);
      DeleteObject(f);
    }
  }
  Pop_GWorld();
  state.SetItemsProcessed(state.iterations() * kGlyphs);
}
BENCHMARK(BM_Glyphs_Circle_FontPerAngle)->Unit(benchmark::kMillisecond);

}  // namespace
