// The painting tools' variants, pressed as a person presses them, in the
// test's own process: the tool by its key, the corner slider's plus button,
// the eraser's shape grid and the border tag of the palette bar clicked
// where the panels show them, and the shapes dragged in the document view,
// all through the main window's mouse and key dispatch. The paint layer is
// looked at in the open document and, after File > Save, in the saved file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "LabelSessionSupport.h"
#include "NodeTestSupport.h"
#include "PressFixture.h"
#include "doc/ParsDISC.h"
#include "doc/VoskHist.h"
#include "doc/VoskTmpl.h"
#include "objects/VoskTrac.h"
#include "platform/SysIO.h"
#include "ui/VoskBar.h"
#include "ui/VoskConf.h"
#include "ui/VoskDelt.h"
#include "ui/VoskDisp.h"

namespace {

namespace fs = std::filesystem;

// The eraser grid's shapes past its square sizes.
constexpr int16 kEraserRect = LAST_FIXED_ERASER + 1, kEraserOval = LAST_FIXED_ERASER + 2,
                kEraserPolygon = LAST_FIXED_ERASER + 3;

class PaintVariants : public press::PressedProgram {
 protected:
  PaintVariants() : press::PressedProgram("paint-variants") {}
  void SetUp() override {
    press::PressedProgram::SetUp();
    if (HasFatalFailure()) return;
    Host_Script_Reset();
    History_Null();
    Intf_Init_Tables();
    for (int16 g = 0; g < NGRIDS; ++g) gs.grid_vals[g] = GRID_VALUES[g].grid_defaultval;
    for (int16 x = 0; x < NTOGGLES; ++x) gs.toggle_vals[x] = TOGGLE_VALUES[x].toggle_defaultval;
    g_doneflag = false;
    // A sheet of one large square label.
    a_template x{};
    std::strcpy(x.label, "Paint sheet");
    x.papersize = {210, 297};
    a_unit& u = x.units[x.nunits++];
    u.kind = UNIT_RECT;
    u.bbox = a_frect{20, 20, 120, 120};
    ASSERT_TRUE(Doc_New(x));
    Select_Doc_Unit(1);
    Config_All();
    SV_Finish();
    press::Pump();
    // The paint phase from its button in the phase strip.
    Rect button;
    ASSERT_TRUE(Phase_Button_Rect(PAINT_PHASE, nodetest::Node_At(PHASE_CUST_LOC).nbounds, button));
    ASSERT_TRUE(press::Click(button));
    ASSERT_EQ(gs.curr_phase, PAINT_PHASE);
    pb_ = g_doc.up->paintbounds;
  }
  void TearDown() override {
    g_doneflag = false;
    press::PressedProgram::TearDown();
  }

  // Script lines run through the main window's dispatch.
  void Run(const std::string& lines) {
    std::string err;
    Host_Script_Set_Quit_At_End(false);
    ASSERT_TRUE(Host_Script_Load_Text(lines, "variants", err)) << err;
    press::Pump();
  }
  void Key(const std::string& combo) { Run("key " + combo + "\nwait 2\n"); }
  // The cell at fractions fv, fh of the label's paint area.
  Point At(double fv, double fh) const {
    return Point{int16(pb_.top + (pb_.bottom - pb_.top) * fv), int16(pb_.left + (pb_.right - pb_.left) * fh)};
  }
  static std::string Window_At(Point cell) {
    Point p;
    CellToScreen(1, cell, p);
    return std::to_string(p.h) + " " + std::to_string(p.v);
  }
  // A press at the first point, moves through the others, the release at the last.
  void Drag(const std::vector<Point>& path) {
    std::string s = "down " + Window_At(path.front()) + "\n";
    for (size_t i = 1; i < path.size(); ++i) {
      const Point a = path[i - 1], b = path[i];
      for (int k = 1; k <= 4; ++k)
        s += "move " + Window_At(Point{int16(a.v + (b.v - a.v) * k / 4), int16(a.h + (b.h - a.h) * k / 4)}) + "\n";
    }
    Run(s + "up " + Window_At(path.back()) + "\nwait 3\n");
  }
  void Drag(Point a, Point b) { Drag(std::vector<Point>{a, b}); }

  // The open document's paint layer: coverage and colour of a cell.
  static uint8 Mask(Point c) {
    const a_cached_gworld& l = g_doc.up->statics[PAINT1_LAYER];
    if (!g_doc.up->paintinuse || l.mask == nullptr) return 0;
    const PixMap& m = l.mask->pix;
    if (c.v < m.bounds.top || c.v >= m.bounds.bottom || c.h < m.bounds.left || c.h >= m.bounds.right) return 0;
    return reinterpret_cast<const uint8*>(m.baseAddr)[size_t(c.v - m.bounds.top) * PixMap_RowBytes(m) + size_t(c.h - m.bounds.left)];
  }
  static uint32 Colour(Point c) {
    const a_cached_gworld& l = g_doc.up->statics[PAINT1_LAYER];
    if (l.world == nullptr) return 0;
    const PixMap& p = l.world->pix;
    if (c.v < p.bounds.top || c.v >= p.bounds.bottom || c.h < p.bounds.left || c.h >= p.bounds.right) return 0;
    const auto* row = reinterpret_cast<const uint32*>(p.baseAddr + size_t(c.v - p.bounds.top) * PixMap_RowBytes(p));
    return row[c.h - p.bounds.left] & 0xFFFFFFu;
  }
  // Cells of the square of side 2r + 1 about c with any coverage.
  static int Painted(Point c, int r) {
    int n = 0;
    for (int dv = -r; dv <= r; ++dv)
      for (int dh = -r; dh <= r; ++dh) n += Mask(Point{int16(c.v + dv), int16(c.h + dh)}) != 0;
    return n;
  }
  // The whole paint layer's coverage.
  static std::vector<uint8> Layer() {
    std::vector<uint8> out;
    const a_cached_gworld& l = g_doc.up->statics[PAINT1_LAYER];
    if (!g_doc.up->paintinuse || l.mask == nullptr) return out;
    const PixMap& m = l.mask->pix;
    for (int32 y = 0; y < m.bounds.bottom - m.bounds.top; ++y) {
      const auto* row = reinterpret_cast<const uint8*>(m.baseAddr) + size_t(y) * PixMap_RowBytes(m);
      out.insert(out.end(), row, row + (m.bounds.right - m.bounds.left));
    }
    return out;
  }
  // File > Save (answered with a path), and the saved file's paint layer
  // read back equal to the one painted.
  void Saved_Layer_Is_The_Painted_One() {
    // The window as it stands, for a person to look at.
    const std::string shot = shots_ + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
    fs::remove(shot);
    Run("snapshot " + shot + "\n");
    EXPECT_TRUE(fs::exists(shot)) << shot;
    const std::vector<uint8> painted = Layer();
    ASSERT_FALSE(painted.empty());
    const std::string path = dir_ + "/variants.CD4";
    // File > Save, which asks where a new project goes.
    Run("answer save " + path + "\nmenu " + std::to_string(MENU_FILE + 4) + "\nwait 5\n");
    ASSERT_TRUE(fs::exists(path)) << "File > Save wrote nothing";
    doctests::Close_Document();
    FSSpec spec{};
    ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
    ASSERT_TRUE(Read_DISC(spec, false)) << path;
    Select_Doc_Unit(1);
    ASSERT_NE(g_doc.up, nullptr);
    EXPECT_EQ(Layer(), painted) << "the saved paint layer differs from the painted one";
  }

  Rect pb_{};
};

// The rectangles with the corner slider at 0 paint their corners; turned up
// by its plus button they round them off, filled (U) and framed (T) alike,
// and keep their sides.
TEST_F(PaintVariants, TheCornerSliderRoundsBothRectangles) {
  const struct {
    const char* key;
    double row;
    bool filled;
  } tools[] = {{"U", 0.25, true}, {"T", 0.7, false}};
  for (const auto& t : tools) {
    SCOPED_TRACE(t.key);
    Key(t.key);
    // Square, then rounded, side by side.
    const Point sq0 = At(t.row - 0.15, 0.1), sq1 = At(t.row + 0.15, 0.4);
    const Point rd0 = At(t.row - 0.15, 0.55), rd1 = At(t.row + 0.15, 0.85);
    ASSERT_EQ(gs.slider_vals[PAINT_CORNER_SLIDER], 0);
    Drag(sq0, sq1);
    for (int i = 0; i < 30; ++i) Press({SLIDER_NODE, PAINT_CORNER_SLIDER, 1});
    ASSERT_GT(gs.slider_vals[PAINT_CORNER_SLIDER], 10) << "the plus button does not raise the corner";
    Drag(rd0, rd1);
    const auto inset = [](Point c, int dv, int dh) { return Point{int16(c.v + dv), int16(c.h + dh)}; };
    EXPECT_GT(Painted(inset(sq0, 1, 1), 1), 0) << "square corner";
    EXPECT_EQ(Painted(inset(rd0, 2, 2), 1), 0) << "rounded corner";
    EXPECT_EQ(Painted(inset(rd1, -2, -2), 1), 0) << "rounded corner";
    // The middles of the sides are painted; the middle of the box only when filled.
    const Point top_mid{rd0.v, int16((rd0.h + rd1.h) / 2)}, left_mid{int16((rd0.v + rd1.v) / 2), rd0.h};
    EXPECT_GT(Painted(inset(top_mid, 1, 0), 1), 0) << "rounded rectangle's top side";
    EXPECT_GT(Painted(inset(left_mid, 0, 1), 1), 0) << "rounded rectangle's left side";
    const Point middle{int16((rd0.v + rd1.v) / 2), int16((rd0.h + rd1.h) / 2)};
    if (t.filled)
      EXPECT_GT(Painted(middle, 2), 20) << "filled middle";
    else
      EXPECT_EQ(Painted(middle, 2), 0) << "framed middle";
    // Back to square corners for the next tool.
    for (int i = 0; i < 60 && gs.slider_vals[PAINT_CORNER_SLIDER] > 0; ++i)
      Press({SLIDER_NODE, PAINT_CORNER_SLIDER, 0});
    ASSERT_EQ(gs.slider_vals[PAINT_CORNER_SLIDER], 0);
  }
  Saved_Layer_Is_The_Painted_One();
}

// A painted block erased by the eraser's rectangle, oval and polygon shapes
// chosen in its grid: each takes the paint inside its shape and leaves the
// paint outside it (the oval the corners of its box, the triangle the side
// opposite its point).
TEST_F(PaintVariants, TheEraserShapesEraseTheirShapes) {
  Key("U");
  Drag(At(0.05, 0.05), At(0.95, 0.95));
  ASSERT_GT(Painted(At(0.5, 0.5), 3), 40) << "the block to erase";
  Key("E");
  ASSERT_EQ(gs.tool_net, ERASER_TOOL);
  // The rectangle, from the corner.
  Press({ICONGRID_NODE, ERASER_GRID, kEraserRect});
  ASSERT_EQ(gs.grid_vals[ERASER_GRID], kEraserRect);
  Press({ICONGRID_NODE, FROM_CORNER_GRID, 0});
  const Point r0 = At(0.1, 0.1), r1 = At(0.3, 0.4);
  Drag(r0, r1);
  EXPECT_EQ(Painted(At(0.2, 0.25), 3), 0) << "inside the erased rectangle";
  EXPECT_GT(Painted(At(0.2, 0.5), 2), 0) << "beside the erased rectangle";
  // The oval, from the corner: its middle goes, its box's corners stay.
  Press({ICONGRID_NODE, ERASER_GRID, kEraserOval});
  ASSERT_EQ(gs.grid_vals[ERASER_GRID], kEraserOval);
  const Point o0 = At(0.45, 0.1), o1 = At(0.85, 0.5);
  Drag(o0, o1);
  EXPECT_EQ(Painted(At(0.65, 0.3), 3), 0) << "inside the erased oval";
  EXPECT_GT(Painted(Point{int16(o0.v + 2), int16(o0.h + 2)}, 1), 0) << "the oval's box corner";
  // The polygon: a triangle pointing up.
  Press({ICONGRID_NODE, ERASER_GRID, kEraserPolygon});
  ASSERT_EQ(gs.grid_vals[ERASER_GRID], kEraserPolygon);
  const Point apex = At(0.4, 0.75), right = At(0.85, 0.9), left = At(0.85, 0.6);
  Drag({apex, right, left, apex});
  EXPECT_EQ(Painted(At(0.7, 0.75), 2), 0) << "inside the erased triangle";
  EXPECT_GT(Painted(At(0.45, 0.62), 1), 0) << "beside the triangle's point";
  Saved_Layer_Is_The_Painted_One();
}

// The fills a person can give the shapes through the palette bar's tags
// reach their imprints: the framed rectangle with the border tag paints the
// border's pieces along its box, the filled oval and polygon with the
// pattern and gradient tags paint many colours, where the plain fill of the
// same shape is one colour all through.
TEST_F(PaintVariants, TheShapesTakeTheFillOfTheirTag) {
  Key("O");
  const Point plain0 = At(0.02, 0.02), plain1 = At(0.3, 0.3);
  Drag(plain0, plain1);
  std::set<uint32> plain;
  for (double f = 0.1; f <= 0.22; f += 0.02)
    if (Mask(At(f, f)) == 255) plain.insert(Colour(At(f, f)));
  ASSERT_EQ(plain.size(), 1u) << "the plain fill is one colour";
  const struct {
    const char* key;
    a_grid_enum tag;
    a_fill_kind fill;
    std::vector<Point> path;
  } shapes[] = {
      {"T", TAG_BORDER, BORDER_FILL, {At(0.02, 0.4), At(0.45, 0.98)}},
      {"O", TAG_PATTERN, PATTERN_FILL, {At(0.55, 0.02), At(0.98, 0.45)}},
      {"P", TAG_GRADIENT, GRADIENT_FILL, {At(0.55, 0.55), At(0.98, 0.98), At(0.98, 0.55), At(0.55, 0.55)}},
  };
  for (const auto& s : shapes) {
    SCOPED_TRACE(s.key);
    Key(s.key);
    Press({ICONGRID_NODE, s.tag, 0});
    ASSERT_EQ(gs.fill_kind, s.fill) << "the tag does not choose its fill";
    const std::vector<uint8> before = Layer();
    Drag(s.path);
    ASSERT_NE(before, Layer()) << "the shape painted nothing";
    // The colours of the cells it painted.
    std::set<uint32> colours;
    const int16 v0 = std::min(s.path[0].v, s.path[1].v), v1 = std::max(s.path[0].v, s.path[1].v);
    const int16 h0 = std::min(s.path[0].h, s.path[1].h), h1 = std::max(s.path[0].h, s.path[1].h);
    for (int16 v = v0; v <= v1; v += 2)
      for (int16 h = h0; h <= h1; h += 2)
        if (Mask(Point{v, h}) != 0) colours.insert(Colour(Point{v, h}));
    EXPECT_GT(colours.size(), 3u) << "one flat colour, not the tag's fill";
  }
  Saved_Layer_Is_The_Painted_One();
}

}  // namespace
