// A photo collage made in the real program on the headless backend: a disc
// project opened, the photo phase, the collage button, each pattern shown,
// the square grid chosen and brought down to 2 x 2 by its sliders, two
// photo files added with the add-photo button, the first photo dragged
// within its slot, OK, the project saved. The test process lays
// the window out step by step as the program does, for its click points and
// for where the slots show; snapshots of the collage and of the result go
// to <build>/snapshots/collage. The saved project is read back: the unit
// holds one collage photo whose picture shows both photos in their slots
// and nothing in the empty ones.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ProgramShotSupport.h"
#include "SoundTestSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskFile.h"
#include "doc/VoskFunc.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPack.h"
#include "objects/VoskPhot.h"
#include "platform/VoskDef.h"
#include "ui/VoskBar.h"
#include "ui/VoskConf.h"
#include "ui/VoskDelt.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

namespace {

namespace fs = std::filesystem;
using programshot::Click;
using programshot::Grid_Cell_Rect;
using programshot::OneShot_Rect;
using programshot::Shot;

constexpr int kScreenW = 1280, kScreenH = 1024;
constexpr uint32 kRed = 0xE02020, kBlue = 0x2040E0;

// Each step runs in the test process what the program runs for it, inside
// an interaction, so that the panels are laid out again as they are there.
template <typename F>
void Step(F f) {
  SV_Begin_Interaction();
  f();
  SV_End_Interaction();
}

bool Near(uint32 a, uint32 b) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 40) return false;
  return true;
}

class CollageEndToEnd : public programshot::PanelTree {
 protected:
  void SetUp() override {
    programshot::PanelTree::SetUp();
    if (HasFatalFailure()) return;
    Start_First_Run("collage");
    sounds_.emplace();
    gs.controller = HUMAN;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    Config_All();
  }
  void TearDown() override {
    if (g_pack != nullptr) Pack_Cancel();
    fs::remove_all(dir_);
    Bar_Stop();
    sounds_.reset();
    programshot::PanelTree::TearDown();
  }

  std::string Snap(const std::string& name) {
    const std::string path = shots_ + "/" + name + ".png";
    fs::remove(path);
    return "wait 5\nsnapshot " + path + "\n";
  }
  // A panel command sent as the script sends it, and run here the same way.
  static std::string Command(int16 n) {
    Step([&] { DoMenuEvent(int16(n - n % 20), int16(n % 20), false, false); });
    return labelsession::Menu(n);
  }
  // A photo file of 300 x 200 pixels of one colour.
  std::string Write_Photo(const std::string& name, uint32 rgb) {
    const std::string path = dir_ + "/" + name;
    std::vector<uint32> px(300 * 200, 0xFF000000u | rgb);
    std::string why;
    EXPECT_TRUE(Host_Write_PNG(path, px.data(), 300, 200, why)) << why;
    return path;
  }
  static Point Screen_Of(Point cell) {
    Point p;
    CellToScreen(1, cell, p);
    return p;
  }

  std::optional<soundtest::SoundRecorder> sounds_;
};

TEST_F(CollageEndToEnd, TwoPhotosInATwoByTwoGrid) {
  // A disc project, opened by the program from its command line.
  const uint32 tx = Find_Template(CStrSpan(labelsession::kCdLayout, std::strlen(labelsession::kCdLayout)));
  ASSERT_NE(tx, 0u);
  Step([&] { ASSERT_TRUE(Proj_PickLayout2(tx)); });
  const std::string project = dir_ + "/disc.CD4";
  {
    FSSpec spec{};
    ASSERT_TRUE(Path_From_Text(spec, project.c_str()));
    ASSERT_TRUE(Doc_Write(FMT_DISC, spec));
  }
  Step([] { SV_Set_Enum(SV_PHASE, PREVIEW_PHASE); });
  const int32 objects_before = g_doc.up->oj.nlist;
  const Rect unit_bounds = g_doc.up->paintbounds;
  const std::string red = Write_Photo("red.png", kRed), blue = Write_Photo("blue.png", kBlue);

  std::string s = "wait 10\n";
  s += Command(PANEL_PHASE + PHOTO_PHASE);
  // The collage button of the photo panel.
  const Rect collage_button = OneShot_Rect(PHOTO_COLLAGE_BUTTON);
  ASSERT_FALSE(EmptyRect(collage_button));
  s += Click(collage_button);
  Step(Pack_New);
  ASSERT_NE(g_pack, nullptr);
  ASSERT_EQ(gs.curr_phase, COLLAGE_PHASE);
  // Each other pattern shown once, for looking at.
  for (int16 kind : {PACK_CLOCK1, PACK_CLOCK2, PACK_CLOCKSQ, PACK_LOTUS}) {
    s += Click(Grid_Cell_Rect(PACK_KIND_GRID, kind));
    Step([&] { Grid_Click(PACK_KIND_GRID, kind); });
    ASSERT_EQ(g_pack->packspec.packkind, kind);
    s += Snap("0-kind" + std::to_string(kind));
  }
  // The square grid, 2 x 2.
  const Rect grid_cell = Grid_Cell_Rect(PACK_KIND_GRID, PACK_GRID);
  ASSERT_FALSE(EmptyRect(grid_cell));
  s += Click(grid_cell);
  Step([] { Grid_Click(PACK_KIND_GRID, PACK_GRID); });
  ASSERT_EQ(g_pack->packspec.packkind, PACK_GRID);
  while (gs.slider_vals[PACK_GRID_NX_SLIDER] > 2) s += Command(int16(PANEL_SLIDER_DOWN + PACK_GRID_NX_SLIDER));
  while (gs.slider_vals[PACK_GRID_NY_SLIDER] > 2) s += Command(int16(PANEL_SLIDER_DOWN + PACK_GRID_NY_SLIDER));
  ASSERT_EQ(g_pack->totnslots, 4);
  s += Snap("1-empty-grid");
  // Both photos at once from the add-photo button.
  const Rect get_button = OneShot_Rect(PACK_GET_BUTTON);
  ASSERT_FALSE(EmptyRect(get_button));
  s += "answer open " + red + "|" + blue + "\n" + Click(get_button);
  Step([&] {
    for (const std::string& path : {red, blue}) {
      FSSpec spec{};
      ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
      bool8 full = false;
      ASSERT_TRUE(Pack_Add_Photo(full, spec));
    }
  });
  ASSERT_FALSE(Is_Empty_Slot(10000));
  ASSERT_FALSE(Is_Empty_Slot(10001));
  const Point slot_cells[4] = {g_pack->slots[0].slot_rgn_center, g_pack->slots[1].slot_rgn_center,
                               g_pack->slots[2].slot_rgn_center, g_pack->slots[3].slot_rgn_center};
  Point slot_screen[4];
  for (int i = 0; i < 4; ++i) slot_screen[i] = Screen_Of(slot_cells[i]);
  // The red photo dragged right within its slot (the slot is selected by
  // the press).
  const Point from = slot_screen[0], to{from.v, int16(from.h + 40)};
  s += "down " + programshot::At(from) + "\nwait 30\nmove " + std::to_string(from.h + 20) + " " +
       std::to_string(from.v) + "\nmove " + programshot::At(to) + "\nup " + programshot::At(to) + "\n";
  Point from_cell, to_cell;
  ScreenToCell(1, from, from_cell);
  ScreenToCell(1, to, to_cell);
  const int16 moved = int16(to_cell.h - from_cell.h);
  ASSERT_GT(moved, 40);
  ASSERT_LT(moved, 150);
  Step([&] {
    Selection_Set1(Slotx_To_Omx(10000));
    Photo_Delta_XY1(Slotx_To_Omx(10000), false, moved, 0);
  });
  const std::string collage_shot = shots_ + "/2-collage.png";
  s += Snap("2-collage");
  // OK: one collage photo on the disc.
  const Rect ok_button = OneShot_Rect(PACK_OK_BUTTON);
  ASSERT_FALSE(EmptyRect(ok_button));
  s += Click(ok_button);
  Step(Pack_OK);
  ASSERT_EQ(g_pack, nullptr);
  ASSERT_EQ(gs.curr_phase, PHOTO_PHASE);
  ASSERT_EQ(g_doc.up->oj.nlist, objects_before + 1);
  // Where the slots landed on the disc: the collage centred on the unit.
  const Point unit_centre{int16((unit_bounds.top + unit_bounds.bottom) / 2),
                          int16((unit_bounds.left + unit_bounds.right) / 2)};
  Point result_screen[4];
  for (int i = 0; i < 4; ++i)
    result_screen[i] = Screen_Of(Point{int16(unit_centre.v + slot_cells[i].v - PACK_CENTER.v),
                                       int16(unit_centre.h + slot_cells[i].h - PACK_CENTER.h)});
  const std::string result_shot = shots_ + "/3-result.png";
  s += Snap("3-result") + "key Ctrl+S\nwait 10\nquit\n";

  std::string err;
  const int rc = programshot::Run(dir_, s, project, kScreenW, kScreenH, err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("alert"), std::string::npos) << err;

  // The collage showed both photos in their slots, the other slots white.
  Shot collage, result;
  std::string why;
  ASSERT_TRUE(collage.Read(collage_shot, why)) << why;
  ASSERT_TRUE(result.Read(result_shot, why)) << why;
  EXPECT_TRUE(Near(collage.At(slot_screen[0].h, slot_screen[0].v), kRed)) << std::hex << collage.At(slot_screen[0].h, slot_screen[0].v);
  EXPECT_TRUE(Near(collage.At(slot_screen[1].h, slot_screen[1].v), kBlue)) << std::hex << collage.At(slot_screen[1].h, slot_screen[1].v);
  EXPECT_EQ(collage.At(slot_screen[2].h, slot_screen[2].v), 0xFFFFFFu);
  EXPECT_EQ(collage.At(slot_screen[3].h, slot_screen[3].v), 0xFFFFFFu);
  // The result on the disc.
  EXPECT_TRUE(Near(result.At(result_screen[0].h, result_screen[0].v), kRed)) << std::hex << result.At(result_screen[0].h, result_screen[0].v);
  EXPECT_TRUE(Near(result.At(result_screen[1].h, result_screen[1].v), kBlue)) << std::hex << result.At(result_screen[1].h, result_screen[1].v);

  // The saved project: one collage photo holding both pictures.
  Step([] { SV_Set_Enum(SV_PHASE, NODOC_PHASE); });
  doctests::Close_Document();
  FSSpec spec{};
  ASSERT_TRUE(Path_From_Text(spec, project.c_str()));
  ASSERT_TRUE(Read_DISC(spec, false));
  Select_Doc_Unit(1);
  ASSERT_NE(g_doc.up, nullptr);
  int collages = 0;
  const a_ph_rec* ph = nullptr;
  for (int32 i = 0; i < g_doc.up->oj.nlist; ++i) {
    const a_oj_item& item = g_doc.up->oj.list[i];
    EXPECT_NE(item.kind, SLOT_BLOCK);
    if (item.kind == PHOTO_BLOCK && item.ph->spec.source.kind == SOURCE_COLLAGE) {
      ++collages;
      ph = item.ph;
    }
  }
  ASSERT_EQ(collages, 1);
  a_spec pict = ph->spec;
  a_cache_result c;
  Cache_Get(FOR_SCREEN, pict, c);
  ASSERT_NE(c.body.fore, nullptr);
  ASSERT_NE(c.body.mask, nullptr);
  const auto colour = [&](Point p) {
    const PixMap& m = c.body.fore->pix;
    return *reinterpret_cast<const uint32*>(m.baseAddr + size_t(p.v - m.bounds.top) * PixMap_RowBytes(m) +
                                            size_t(p.h - m.bounds.left) * 4) & 0xFFFFFFu;
  };
  const auto coverage = [&](Point p) {
    const PixMap& m = c.body.mask->pix;
    return *reinterpret_cast<const uint8*>(m.baseAddr + size_t(p.v - m.bounds.top) * PixMap_RowBytes(m) +
                                           size_t(p.h - m.bounds.left));
  };
  EXPECT_TRUE(Near(colour(slot_cells[0]), kRed)) << std::hex << colour(slot_cells[0]);
  // The red photo (300 cells wide) moved right: its left end now white.
  const auto beside = [](Point p, int dh) { return Point{p.v, int16(p.h + dh)}; };
  EXPECT_TRUE(Near(colour(beside(slot_cells[0], 150 + moved / 2)), kRed)) << "the dragged photo's right end";
  EXPECT_EQ(colour(beside(slot_cells[0], -150 + moved / 2)), 0xFFFFFFu) << "where the dragged photo's left end was";
  EXPECT_TRUE(Near(colour(slot_cells[1]), kBlue)) << std::hex << colour(slot_cells[1]);
  EXPECT_EQ(coverage(slot_cells[0]), 255);
  EXPECT_EQ(coverage(slot_cells[1]), 255);
  EXPECT_EQ(coverage(slot_cells[2]), 0) << "an empty slot shows nothing";
}

}  // namespace
