// The photo collage: slot counts, numbering and regions per kind, the ring
// of boxes kept inside its ring, slot counts that do not fit the object
// list, filled slots kept when the count shrinks, the fill order with its
// wrap, the reduction of large pictures, the composite OK pastes (pixels
// and mask through two slots), OK on an empty collage and Cancel leaving
// the unit as it was, and the slot tools (duplicate, clear, item size,
// turn, reordering on the layer bar).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "SoundTestSupport.h"
#include "TempDirSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "host/HostClipboard.h"
#include "host/HostClock.h"
#include "objects/VoskBlok.h"
#include "objects/VoskLayer.h"
#include "objects/VoskMove.h"
#include "objects/VoskPack.h"
#include "objects/VoskPhot.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/ParsBMP.h"
#include "platform/QDRect.h"
#include "platform/SysIO.h"
#include "platform/SysRgn.h"
#include "platform/SysScrap.h"
#include "platform/SysSound.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskDelt.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"

namespace {

constexpr int16 kUnitSide = 1417;

constexpr a_pixel32 Px(uint8 r, uint8 g, uint8 b) { return a_pixel32{{b, g, r, 255}}; }
constexpr a_pixel32 kRed = Px(255, 0, 0), kBlue = Px(0, 0, 255), kWhite = Px(255, 255, 255);

uint8* Row(GWorldPtr w, int32 y, int32 x, int32 bytes) {
  PixMapPtr pm = Get_GWorld_PixMap(w);
  return reinterpret_cast<uint8*>(pm->baseAddr) + size_t(y - pm->bounds.top) * PixMap_RowBytes(*pm) +
         size_t(x - pm->bounds.left) * size_t(bytes);
}
a_pixel32 Pixel(GWorldPtr w, int32 x, int32 y) { return *reinterpret_cast<a_pixel32*>(Row(w, y, x, 4)); }
uint8 Coverage(GWorldPtr w, int32 x, int32 y) { return *Row(w, y, x, 1); }
bool Near(a_pixel32 a, a_pixel32 b) {
  return std::abs(a.r - b.r) < 40 && std::abs(a.g - b.g) < 40 && std::abs(a.b - b.b) < 40;
}

// A picture of one colour, w x h, without mask.
a_masked_gworld Solid(int16 w, int16 h, a_pixel32 c) {
  a_masked_gworld mw;
  Null_MW(mw);
  mw.bounds = Rect{0, 0, h, w};
  EXPECT_EQ(New_GWorld(mw.bounds, 32, nullptr, mw.fore), 0);
  for (int32 y = 0; y < h; ++y)
    for (int32 x = 0; x < w; ++x) *reinterpret_cast<a_pixel32*>(Row(mw.fore, y, x, 4)) = c;
  return mw;
}

// The layout the collage panel would give.
struct a_layout {
  a_pack_kind kind;
  int16 nx, ny;          // grid
  int16 nouter, ninner;  // clocks
  int16 lotus;
};

class PackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    VoskBlok_Init();
    SV_Init();
    History_Null();
    Host_Clock_Set_Manual(true);
    OP_Init();
    OPUtil_Init();
    sounds_.emplace();
    for (int16 i = 0; i < NSLIDERS; ++i) gs.slider_vals[i] = SLIDER_VALUES[i].defaultval;
    for (int16 i = 0; i < NGRIDS; ++i) gs.grid_vals[i] = GRID_VALUES[i].grid_defaultval;
    unit_ = New_Unit_Rec();
    ASSERT_NE(unit_, nullptr);
    unit_->paintbounds = Rect{0, 0, kUnitSide, kUnitSide};
    g_doc.doc_units[0] = unit_;
    g_doc.up = unit_;
    g_doc.upx = 1;
    g_doc.doc_open = true;
    gs.nviews = 1;
    gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{0, 0, kUnitSide, kUnitSide}};
    gs.curr_phase = TEXT_PHASE;
    gs.curr_kindset = 11;
  }
  void TearDown() override {
    if (g_pack != nullptr) Pack_Cancel();
    OMast_Dispose(unit_->oj);
    Dispose_Unit_Rec(unit_);
    g_doc.up = nullptr;
    g_doc.doc_units[0] = nullptr;
    g_doc.doc_open = false;
    Cache_Clear();
    sounds_.reset();
    OP_Stop();
    Host_Clock_Set_Manual(false);
  }

  // Refusal sounds asked for since the last call.
  int Refusals() {
    const int n = int(std::count(sounds_->Ids().begin(), sounds_->Ids().end(), SND_NULL));
    sounds_->Clear();
    return n;
  }

  static void Set_Layout(const a_layout& l) {
    gs.grid_vals[PACK_KIND_GRID] = l.kind;
    if (l.nx) gs.slider_vals[PACK_GRID_NX_SLIDER] = l.nx;
    if (l.ny) gs.slider_vals[PACK_GRID_NY_SLIDER] = l.ny;
    if (l.nouter) gs.slider_vals[PACK_CLOCK_NOUTER_SLIDER] = l.nouter;
    if (l.ninner) gs.slider_vals[PACK_CLOCK_NINNER_SLIDER] = l.ninner;
    if (l.lotus) gs.slider_vals[PACK_LOTUS_N_SLIDER] = l.lotus;
  }

  // The collage entered as its button does, the phase settled.
  void Enter(const a_layout& l) {
    Set_Layout(l);
    Pack_New();
    SV_Finish();
    ASSERT_NE(g_pack, nullptr);
    ASSERT_EQ(gs.curr_phase, COLLAGE_PHASE);
  }
  void Relayout(const a_layout& l) {
    Set_Layout(l);
    Delta_Pack();
  }

  // Photos (empty records) appended until the list holds n objects.
  void Fill_List(int32 n) {
    while (unit_->oj.nlist < n) {
      a_ph_rec* ph = New_PH_Rec();
      Null_Spec(ph->spec);
      Obj_Append(unit_->oj, PHOTO_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), ph, nullptr);
    }
  }

  static void Select_Only(int32 slotx) {
    Obj_Select_None();
    Selection_Toggle(Slotx_To_Omx(slotx));
  }

  static Point Center_Of(int32 slotx) { return g_pack->slots[slotx - PACK_FIRST_SLOT].slot_rgn_center; }
  static RgnHandle Rgn_Of(int32 slotx) { return g_pack->slots[slotx - PACK_FIRST_SLOT].slot_rgn; }

  // The objects as ids and kinds, bottom up.
  std::vector<std::pair<uint32, a_oj_kind>> List_Shape() const {
    std::vector<std::pair<uint32, a_oj_kind>> out;
    for (int32 i = 0; i < unit_->oj.nlist; ++i) out.emplace_back(unit_->oj.list[i].objid, unit_->oj.list[i].kind);
    return out;
  }

  a_doc_unit* unit_ = nullptr;
  std::optional<soundtest::SoundRecorder> sounds_;
};

double Dist(double x, double y) { return std::hypot(x - PACK_CENTER.h, y - PACK_CENTER.v); }

// Each kind's slot count, area and numbering; slots never share a pixel.
TEST_F(PackTest, SlotCountsAreasAndNumbersPerKind) {
  const struct {
    a_layout layout;
    int32 slots;
    Rect area;
  } cases[] = {
      {{PACK_GRID, 3, 2, 0, 0, 0}, 6, {0, 0, 800, 1200}},
      {{PACK_GRID, 2, 4, 0, 0, 0}, 8, {0, 0, 1200, 600}},
      {{PACK_CLOCK1, 0, 0, 7, 0, 0}, 7, {0, 0, 1200, 1200}},
      {{PACK_CLOCK2, 0, 0, 8, 5, 0}, 13, {0, 0, 1200, 1200}},
      {{PACK_CLOCKSQ, 0, 0, 9, 0, 0}, 9, {0, 0, 1200, 1200}},
      {{PACK_LOTUS, 0, 0, 0, 0, 6}, 6, {0, 0, 1200, 1200}},
  };
  const int32 before = unit_->oj.nlist;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << int(c.layout.kind) << ", " << c.slots << " slots");
    Enter(c.layout);
    EXPECT_EQ(g_pack->totnslots, c.slots);
    EXPECT_EQ(unit_->oj.nlist, before + c.slots);
    EXPECT_EQ(g_pack->first_slot_omx, before + 1);
    EXPECT_TRUE(EqualRect(unit_->paintbounds, c.area));
    for (int32 a = PACK_FIRST_SLOT; a < PACK_FIRST_SLOT + c.slots; ++a) {
      EXPECT_EQ(Obj_Item(Slotx_To_Omx(a))->kind, SLOT_BLOCK);
      EXPECT_EQ(Omx_To_Slotx(Slotx_To_Omx(a)), a);
      EXPECT_FALSE(EmptyRgn(Rgn_Of(a))) << a;
      EXPECT_EQ(Slot_Find(Center_Of(a)), Slotx_To_Omx(a)) << "the centre of slot " << a << " lies in it";
      for (int32 b = a + 1; b < PACK_FIRST_SLOT + c.slots; ++b) {
        RgnHandle meet = NewRgn();
        SectRgn(Rgn_Of(a), Rgn_Of(b), meet);
        EXPECT_TRUE(EmptyRgn(meet)) << a << " and " << b << " overlap";
        DisposeRgn(meet);
      }
    }
    Pack_Cancel();
  }

  // The grid goes left to right, then down.
  Enter({PACK_GRID, 3, 2, 0, 0, 0});
  EXPECT_LT(Center_Of(10000).h, Center_Of(10001).h);
  EXPECT_LT(Center_Of(10001).h, Center_Of(10002).h);
  EXPECT_EQ(Center_Of(10000).v, Center_Of(10002).v);
  EXPECT_EQ(Center_Of(10003).h, Center_Of(10000).h);
  EXPECT_GT(Center_Of(10003).v, Center_Of(10000).v);
  // Between two cells, in the spacing, there is no slot.
  EXPECT_EQ(Slot_Find(Point{Center_Of(10000).v, 400}), ENUM_DONE);
  EXPECT_EQ(Slot_Find(Point{400, Center_Of(10000).h}), ENUM_DONE);
  a_oj_part part = OUTSIDE_PART;
  EXPECT_EQ(Obj_Find(Point{0, 0}, Center_Of(10004), part), Slotx_To_Omx(10004));
  EXPECT_EQ(part, DRAG_PART);
  // A slot's frame is its region's box, closed; a list too short for the
  // frame is left as it is.
  Rect box;
  Rgn_GetBounds(Rgn_Of(10004), box);
  for (const int32 room : {PH_FRAME_POINTS, PH_FRAME_POINTS - 1}) {
    a_pointlist_ptr frame = nullptr;
    New_Pointlist(room, frame);
    ASSERT_NE(frame, nullptr);
    frame->npoints = 0;
    Slot_Calc_Frame(frame, Slotx_To_Omx(10004));
    if (room < PH_FRAME_POINTS) {
      EXPECT_EQ(frame->npoints, 0);
    } else {
      ASSERT_EQ(frame->npoints, PH_FRAME_POINTS);
      EXPECT_TRUE(frame->points[0] == (Point{box.top, box.left}));
      EXPECT_TRUE(frame->points[2] == (Point{box.bottom, box.right}));
      EXPECT_TRUE(frame->points[4] == frame->points[0]);
    }
    Dispose_Pointlist(frame);
  }
  Pack_Cancel();

  // Two rings: the inner one starts at 10008.
  Enter({PACK_CLOCK2, 0, 0, 8, 5, 0});
  const auto radius = [](int32 s) { return Dist(Center_Of(s).h, Center_Of(s).v); };
  for (int32 s = 10001; s < 10008; ++s) EXPECT_NEAR(radius(s), radius(10000), 2.0);
  for (int32 s = 10009; s < 10013; ++s) EXPECT_NEAR(radius(s), radius(10008), 2.0);
  EXPECT_LT(radius(10008), radius(10007) - 50);
  // The first slot of a full turn starts at the top and the next lies clockwise.
  EXPECT_LT(Center_Of(10000).v, 600);
  EXPECT_GT(Center_Of(10001).h, Center_Of(10000).h);
}

// The ring of boxes keeps every box between the two radii, over a table of
// slider values; a box's side is the largest that fits: one cell more and a
// box would cross a circle.
TEST_F(PackTest, ClockBoxesStayInsideTheRing) {
  const struct {
    int16 n, outerd, thickness, totangle, start;
  } cases[] = {
      {6, 95, 50, 360, 0}, {12, 95, 30, 360, 0},  {3, 100, 80, 360, 45}, {8, 70, 50, 180, -90},
      {16, 90, 20, 360, 15}, {5, 60, 100, 270, 30}, {2, 100, 40, 45, 0},  {10, 85, 65, 300, -180},
  };
  gs.slider_vals[PACK_GRID_CORNER_SLIDER] = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.n << " boxes, outer " << c.outerd << ", size " << c.thickness << ", angle "
                                    << c.totangle << ", start " << c.start);
    gs.slider_vals[PACK_CLOCK_OUTERD_SLIDER] = c.outerd;
    gs.slider_vals[PACK_CLOCK_THICKNESS_SLIDER] = c.thickness;
    gs.slider_vals[PACK_CLOCK_TOTANGLE_SLIDER] = c.totangle;
    gs.slider_vals[PACK_CLOCK_START_SLIDER] = c.start;
    Enter({PACK_CLOCKSQ, 0, 0, c.n, 0, 0});
    double ro, ri, sp;
    Calc_Clock_Radii(g_pack->packspec, ro, ri, sp);
    const int16 outer = int16(ro), inner = int16(ri);
    RgnHandle outer_disc = nullptr, inner_disc = nullptr;
    OvalRgn(Rect{int16(600 - outer), int16(600 - outer), int16(600 + outer), int16(600 + outer)}, outer_disc);
    OvalRgn(Rect{int16(600 - inner), int16(600 - inner), int16(600 + inner), int16(600 + inner)}, inner_disc);
    const int32 side = Calc_ClockSQ_Side(g_pack->packspec);
    EXPECT_GT(side, 0);
    for (int32 s = PACK_FIRST_SLOT; s < PACK_FIRST_SLOT + c.n; ++s) {
      Rect b;
      Rgn_GetBounds(Rgn_Of(s), b);
      if (s == PACK_FIRST_SLOT) {
        EXPECT_EQ(b.right - b.left, side);
        EXPECT_EQ(b.bottom - b.top, side);
      }
      // Inside the outer disc and outside the inner one, pixel for pixel.
      RgnHandle rest = NewRgn();
      DiffRgn(Rgn_Of(s), outer_disc, rest);
      EXPECT_TRUE(EmptyRgn(rest)) << "box " << s << " leaves the outer circle";
      SectRgn(Rgn_Of(s), inner_disc, rest);
      EXPECT_TRUE(EmptyRgn(rest)) << "box " << s << " enters the inner circle";
      DisposeRgn(rest);
    }
    // One cell larger, some box about its centre would cross a circle.
    bool crosses = false;
    const int32 larger = side + 1;
    for (int32 s = PACK_FIRST_SLOT; s < PACK_FIRST_SLOT + c.n && !crosses; ++s) {
      const Point m = Center_Of(s);
      const int16 top = int16(m.v - larger / 2), left = int16(m.h - larger / 2);
      RgnHandle box = NewRgn(), rest = NewRgn();
      RectRgn(box, Rect{top, left, int16(top + larger), int16(left + larger)});
      DiffRgn(box, outer_disc, rest);
      crosses = !EmptyRgn(rest);
      SectRgn(box, inner_disc, rest);
      crosses = crosses || !EmptyRgn(rest);
      DisposeRgn(box);
      DisposeRgn(rest);
    }
    EXPECT_TRUE(crosses) << "boxes of side " << larger << " fit as well";
    DisposeRgn(outer_disc);
    DisposeRgn(inner_disc);
    Pack_Cancel();
  }
}

// Slots that would pass 400 objects are refused with sound 136: entering
// leaves everything as it was, a larger layout keeps the one there is.
TEST_F(PackTest, SlotsBeyondTheObjectListRefused) {
  Fill_List(390);
  Refusals();
  Set_Layout({PACK_GRID, 12, 12, 0, 0, 0});
  Pack_New();
  EXPECT_EQ(g_pack, nullptr);
  EXPECT_EQ(gs.curr_phase, TEXT_PHASE);
  EXPECT_EQ(unit_->oj.nlist, 390);
  EXPECT_EQ(Refusals(), 1);

  Enter({PACK_GRID, 2, 5, 0, 0, 0});
  EXPECT_EQ(unit_->oj.nlist, 400);
  Relayout({PACK_GRID, 12, 12, 0, 0, 0});
  EXPECT_EQ(Refusals(), 1);
  EXPECT_EQ(unit_->oj.nlist, 400);
  EXPECT_EQ(g_pack->totnslots, 10);
  EXPECT_EQ(gs.slider_vals[PACK_GRID_NX_SLIDER], 2) << "the sliders show the layout kept";
  EXPECT_EQ(gs.slider_vals[PACK_GRID_NY_SLIDER], 5);
  EXPECT_TRUE(EqualRect(unit_->paintbounds, Rect{0, 0, 1200, 480}));
  EXPECT_FALSE(Set_Number_Of_Slots(11));
  EXPECT_EQ(unit_->oj.nlist, 400);
  EXPECT_EQ(Refusals(), 1);
  int32 omx = 0;
  EXPECT_FALSE(New_SlotObj(omx));
  Relayout({PACK_GRID, 3, 3, 0, 0, 0});
  EXPECT_EQ(Refusals(), 0);
  EXPECT_EQ(g_pack->totnslots, 9);
  EXPECT_EQ(unit_->oj.nlist, 399);
}

// With fewer slots the empty ones go from the top down to the first filled
// one, which keeps its picture and comes back when the count grows.
TEST_F(PackTest, FilledSlotsKeptWhenTheCountShrinks) {
  Enter({PACK_CLOCK1, 0, 0, 10, 0, 0});
  const int32 first = g_pack->first_slot_omx;
  Select_Only(10006);
  Pack_Paste(Solid(40, 30, kRed));
  ASSERT_FALSE(Is_Empty_Slot(10006));
  const uint16 sid = Obj_Item(first + 6)->ph->spec.source.sid;

  Relayout({PACK_CLOCK1, 0, 0, 5, 0, 0});
  EXPECT_EQ(g_pack->totnslots, 5);
  EXPECT_EQ(unit_->oj.nlist, first + 6) << "slots 8 to 10 removed, 6 and 7 stay";
  EXPECT_EQ(Obj_Item(first + 6)->ph->spec.source.sid, sid);
  EXPECT_EQ(Slot_Find(Center_Of(10004)), first + 4);

  Relayout({PACK_CLOCK1, 0, 0, 10, 0, 0});
  EXPECT_EQ(unit_->oj.nlist, first + 9);
  EXPECT_FALSE(Is_Empty_Slot(10006));
  EXPECT_EQ(Obj_Item(Slotx_To_Omx(10006))->ph->spec.source.sid, sid);
  for (int32 s : {10000, 10005, 10007, 10009}) EXPECT_TRUE(Is_Empty_Slot(s)) << s;
}

// Each picture goes into the first empty slot from the selected one on,
// wrapping to the first; a full collage refuses.
TEST_F(PackTest, FillOrderFromTheSelectionWithWrap) {
  Enter({PACK_GRID, 2, 2, 0, 0, 0});
  Refusals();
  Select_Only(10002);
  std::vector<int32> order;
  for (int k = 0; k < 4; ++k) {
    EXPECT_FALSE(Is_Pack_Full());
    const int32 next = Find_Slot_To_Fill();
    Pack_Paste(Solid(20, 20, kBlue));
    EXPECT_FALSE(Is_Empty_Slot(next));
    int32 omx = 0;
    ASSERT_TRUE(Is_One_Selected(omx)) << "the filled slot is the selection";
    EXPECT_EQ(Omx_To_Slotx(omx), next);
    order.push_back(next);
  }
  EXPECT_EQ(order, (std::vector<int32>{10002, 10003, 10000, 10001}));
  EXPECT_TRUE(Is_Pack_Full());
  EXPECT_EQ(Find_Slot_To_Fill(), -1);
  Pack_Paste(Solid(20, 20, kBlue));
  EXPECT_EQ(Refusals(), 1);

  // An empty selected slot is filled itself; else the next after it.
  Select_Only(10001);
  Pack_ClearSlot();
  Select_Only(10003);
  Pack_ClearSlot();
  EXPECT_EQ(Find_Slot_To_Fill(), 10003);
  Select_Only(10002);
  EXPECT_EQ(Find_Slot_To_Fill(), 10003);
  Obj_Select_None();
  EXPECT_EQ(Find_Slot_To_Fill(), 10001);
}

// Pictures larger than 600 on both sides are reduced to 600 on the longer
// side; others are kept as they are.
TEST_F(PackTest, LargePicturesReducedTo600) {
  const struct {
    int32 w, h, rw, rh;
  } sizes[] = {{1200, 900, 600, 450}, {700, 1400, 300, 600}, {800, 500, 800, 500}, {601, 601, 600, 600},
               {600, 2000, 600, 2000}, {40, 30, 40, 30}};
  for (const auto& s : sizes) {
    int32 w = s.w, h = s.h;
    Calc_Reasonable_Size(w, h);
    EXPECT_EQ(w, s.rw) << s.w << " x " << s.h;
    EXPECT_EQ(h, s.rh) << s.w << " x " << s.h;
  }
  Enter({PACK_GRID, 2, 1, 0, 0, 0});
  Obj_Select_None();
  Pack_Paste(Solid(1200, 900, kRed));
  Pack_Paste(Solid(800, 500, kBlue));
  const a_ph_rec* a = Obj_Item(Slotx_To_Omx(10000))->ph;
  const a_ph_rec* b = Obj_Item(Slotx_To_Omx(10001))->ph;
  EXPECT_TRUE(EqualRect(a->spec.subset, Rect{0, 0, 450, 600}));
  EXPECT_TRUE(EqualRect(b->spec.subset, Rect{0, 0, 500, 800}));
  Rect natural;
  Basis_Natural(a->spec.source.sid, natural);
  EXPECT_TRUE(EqualRect(natural, Rect{0, 0, 450, 600})) << "the cache holds the reduced picture";
  EXPECT_EQ(a->spec.source.kind, SOURCE_CLIPBOARD);
}

// OK composes the slots through their regions into one collage photo on
// the unit: red in the left slot, blue in the right, white and transparent
// outside them. It still does so when the slots filled the object list.
TEST_F(PackTest, OKPastesTheSlotsThroughTheirMasks) {
  Fill_List(396);
  gs.slider_vals[PACK_GRID_CORNER_SLIDER] = 100;  // ellipses
  gs.slider_vals[PACK_GRID_SPACING_SLIDER] = 10;
  Enter({PACK_GRID, 2, 2, 0, 0, 0});
  ASSERT_EQ(unit_->oj.nlist, 400);
  Obj_Select_None();
  Pack_Paste(Solid(600, 600, kRed));
  Select_Only(10003);
  Pack_Paste(Solid(600, 600, kBlue));
  const Point red = Center_Of(10000), blue = Center_Of(10003), empty = Center_Of(10001);
  Rect red_box;
  Rgn_GetBounds(Rgn_Of(10000), red_box);

  Pack_OK();
  SV_Finish();
  EXPECT_EQ(g_pack, nullptr);
  EXPECT_EQ(gs.curr_phase, PHOTO_PHASE);
  EXPECT_TRUE(EqualRect(unit_->paintbounds, Rect{0, 0, kUnitSide, kUnitSide}));
  ASSERT_EQ(unit_->oj.nlist, 397) << "the slots gone, the collage in";
  const a_oj_item& top = unit_->oj.list[396];
  ASSERT_EQ(top.kind, PHOTO_BLOCK);
  EXPECT_EQ(top.ph->spec.source.kind, SOURCE_COLLAGE);
  EXPECT_EQ(Count(false, Kind_Bit(SLOT_BLOCK)), 0);
  EXPECT_EQ(top.ph->dst_center.h, kUnitSide / 2);
  EXPECT_EQ(top.ph->dst_center.v, kUnitSide / 2);

  a_spec spec = top.ph->spec;
  a_cache_result c;
  Cache_Get(FOR_SCREEN, spec, c);
  ASSERT_NE(c.body.fore, nullptr);
  ASSERT_NE(c.body.mask, nullptr);
  EXPECT_TRUE(EqualRect(c.body.bounds, Rect{0, 0, 1200, 1200}));
  EXPECT_TRUE(Near(Pixel(c.body.fore, red.h, red.v), kRed));
  EXPECT_TRUE(Near(Pixel(c.body.fore, blue.h, blue.v), kBlue));
  EXPECT_EQ(Coverage(c.body.mask, red.h, red.v), 255);
  EXPECT_EQ(Coverage(c.body.mask, blue.h, blue.v), 255);
  EXPECT_EQ(Coverage(c.body.mask, empty.h, empty.v), 0) << "an empty slot leaves nothing";
  // The corner of the red slot's box lies outside its ellipse.
  EXPECT_EQ(Coverage(c.body.mask, red_box.left + 2, red_box.top + 2), 0);
  EXPECT_EQ(Coverage(c.body.mask, 600, 5), 0) << "between the slots";
}

// OK with every slot empty and Cancel leave the list and paintbounds as
// they were, and return to the phase before the collage.
TEST_F(PackTest, EmptyOKAndCancelLeaveTheUnitAsItWas) {
  Fill_List(5);
  const auto shape = List_Shape();
  for (int round = 0; round < 2; ++round) {
    Enter({PACK_CLOCK2, 0, 0, 6, 4, 0});
    EXPECT_FALSE(EqualRect(unit_->paintbounds, Rect{0, 0, kUnitSide, kUnitSide}));
    if (round == 0) {
      Pack_OK();
    } else {
      Obj_Select_None();
      Pack_Paste(Solid(50, 50, kRed));
      Pack_Cancel();
    }
    SV_Finish();
    EXPECT_EQ(g_pack, nullptr);
    EXPECT_EQ(gs.curr_phase, TEXT_PHASE);
    EXPECT_TRUE(EqualRect(unit_->paintbounds, Rect{0, 0, kUnitSide, kUnitSide}));
    EXPECT_EQ(List_Shape(), shape) << (round == 0 ? "OK on an empty collage" : "Cancel");
  }
}

// Duplicate, clear, the item size and the slot's turn; moving a slot on
// the layer bar moves its picture to the other place.
TEST_F(PackTest, SlotTools) {
  Enter({PACK_CLOCK1, 0, 0, 4, 0, 0});
  Refusals();
  Select_Only(10001);
  Pack_Paste(Solid(30, 30, kRed));
  const a_ph_rec* src = Obj_Item(Slotx_To_Omx(10001))->ph;
  Pack_DupSlot();
  EXPECT_FALSE(Is_Empty_Slot(10002));
  EXPECT_EQ(Obj_Item(Slotx_To_Omx(10002))->ph->spec.source.sid, src->spec.source.sid);
  int32 omx = 0;
  ASSERT_TRUE(Is_One_Selected(omx));
  EXPECT_EQ(omx, Slotx_To_Omx(10002)) << "the copy is the selection";
  EXPECT_TRUE(Is_Pack_Sizeable());

  gs.slider_vals[PACK_ITEM_SIZE_SLIDER] = 500;
  Delta_Pack_Item();
  EXPECT_EQ(Obj_Item(omx)->ph->spec.scalingh, 500);
  EXPECT_EQ(Obj_Item(omx)->ph->spec.scalingv, 500);
  EXPECT_EQ(src->spec.scalingh, 1000) << "only the selected slot";
  gs.slider_vals[PACK_ITEM_SIZE_SLIDER] = 1000;
  Slot_To_Sliders(omx);
  EXPECT_EQ(gs.slider_vals[PACK_ITEM_SIZE_SLIDER], 500);

  // The photo panel's turn buttons turn the slot's photo.
  for (int k = 0; k < 3; ++k) Photo_Rotate_CCW();
  EXPECT_EQ(g_pack->slots[2].slot_extra_angle, -900) << "2700 brought back by a turn";
  EXPECT_EQ(g_pack->slots[1].slot_extra_angle, 0) << "only the selected slot";
  Rect dest;
  ASSERT_TRUE(Calc_Slot_Dest_Rect(10002, false, dest));
  int32 turned = g_pack->slots[2].slot_base_angle - 900;
  if (turned < -1800) turned += 3600;
  EXPECT_EQ(Obj_Item(omx)->ph->spec.angle, turned) << "the layout's angle plus the turn";

  // Two more copies fill 10003 and 10000; a third finds no slot.
  Pack_DupSlot();
  Pack_DupSlot();
  EXPECT_TRUE(Is_Pack_Full());
  EXPECT_EQ(Refusals(), 0);
  Pack_DupSlot();
  EXPECT_EQ(Refusals(), 1);

  Select_Only(10000);
  Pack_ClearSlot();
  EXPECT_TRUE(Is_Empty_Slot(10000));
  EXPECT_FALSE(Is_Pack_Sizeable());
  EXPECT_FALSE(Is_Empty_Slot(10001));

  // Slot 10000 (empty) moved above 10001: the red picture now sits first.
  const int32 first = g_pack->first_slot_omx;
  Layer_Arrange2(first, first + 1);
  EXPECT_FALSE(Is_Empty_Slot(10000));
  EXPECT_TRUE(Is_Empty_Slot(10001));
  EXPECT_EQ(Slot_Find(Center_Of(10001)), first + 1);
}


// A paste in the collage takes a picture into the next empty slot; an
// object record (a copied photo) is refused, never put among the slots.
TEST_F(PackTest, PasteTakesPicturesOnly) {
  Host_Clipboard_Reset();
  ParsBMP_Init();
  Enter({PACK_GRID, 2, 1, 0, 0, 0});
  const int32 objects = unit_->oj.nlist;
  a_ph_rec photo{};
  Null_Spec(photo.spec);
  photo.spec.source.kind = SOURCE_CLIPBOARD;
  ASSERT_TRUE(Cache_Insert_External(photo.spec.source, Solid(30, 20, kBlue), nullptr));
  photo.spec.subset = Rect{0, 0, 20, 30};
  photo.dst_center = Point{300, 300};
  Scrap_Clear();
  Scrap_Add_PH(PHOTO_BLOCK, &photo);
  Refusals();
  DoMenuEvent(MENU_EDIT, EDIT_PASTE, false, false);
  EXPECT_EQ(unit_->oj.nlist, objects);
  EXPECT_EQ(Count(false, Kind_Bit(PHOTO_BLOCK)), 0);
  EXPECT_EQ(Refusals(), 1);

  a_masked_gworld red = Solid(40, 30, kRed);
  Scrap_Clear();
  Scrap_Add_PixMap(*Get_GWorld_PixMap(red.fore));
  Dispose_MW(red);
  DoMenuEvent(MENU_EDIT, EDIT_PASTE, false, false);
  EXPECT_EQ(unit_->oj.nlist, objects);
  EXPECT_FALSE(Is_Empty_Slot(10000));
  EXPECT_EQ(Obj_Item(Slotx_To_Omx(10000))->ph->spec.source.kind, SOURCE_CLIPBOARD);
  EXPECT_TRUE(EqualRect(Obj_Item(Slotx_To_Omx(10000))->ph->spec.subset, Rect{0, 0, 30, 40}));
  Host_Clipboard_Reset();
}

// A real document with its history: a state recorded while the collage is
// open (a slot's photo moved) must not bring the slots back after OK. Undo
// then goes back to the unit without slots and with its own paintbounds.
class PackHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp_ = testdir::Make_Temp_Dir("velmor-pack-history");
    ASSERT_FALSE(tmp_.empty());
    env_ = std::make_unique<testdir::EnvGuard>("TMPDIR", tmp_.c_str());
    doctests::Start_Document_Modules();
    SV_Init();
    gs.controller = GHOST;
    gs.curr_phase = NODOC_PHASE;
    for (int16 i = 0; i < NSLIDERS; ++i) gs.slider_vals[i] = SLIDER_VALUES[i].defaultval;
    for (int16 i = 0; i < NGRIDS; ++i) gs.grid_vals[i] = GRID_VALUES[i].grid_defaultval;
    ASSERT_TRUE(Doc_New(doctests::Disc_Face_Template()));
    Select_Doc_Unit(1);
    History_Base();
    gs.curr_phase = PHOTO_PHASE;
    gs.curr_kindset = 11;
  }
  void TearDown() override {
    if (g_pack != nullptr) Pack_Cancel();
    doctests::Close_Document();
    History_Stop();
    env_.reset();
    testdir::Remove_Dir(tmp_);
  }
  std::string tmp_;
  std::unique_ptr<testdir::EnvGuard> env_;
};

TEST_F(PackHistory, UndoAfterOKFindsNoSlots) {
  const Rect bounds = g_doc.up->paintbounds;
  const int32 before = g_doc.up->oj.nlist;
  gs.grid_vals[PACK_KIND_GRID] = PACK_GRID;
  Pack_New();
  SV_Finish();
  ASSERT_NE(g_pack, nullptr);
  Pack_Paste(Solid(60, 40, kRed));
  // What moving the slot's photo records.
  History_Emit(OP_BLOCK_MOVEXY);
  // Reordering slots records nothing.
  const int32 emitted = History_Count();
  Layer_Arrange(g_pack->first_slot_omx, g_pack->first_slot_omx + 1);
  EXPECT_EQ(History_Count(), emitted);
  Pack_OK();
  SV_Finish();
  ASSERT_EQ(g_doc.up->oj.nlist, before + 1);

  int32 undo = -1, redo = -1;
  Calc_Undo_Avail(undo, redo);
  ASSERT_GE(undo, 0);
  ASSERT_TRUE(Restore_State(undo));
  EXPECT_EQ(g_doc.up->oj.nlist, before);
  EXPECT_EQ(Count(false, Kind_Bit(SLOT_BLOCK)), 0);
  EXPECT_TRUE(EqualRect(g_doc.up->paintbounds, bounds));
}

// Moving a slot's photo, by the arrow keys or a drag, records nothing (undo
// is off in the collage), so the steps from before the collage are still
// there to undo after OK.
TEST_F(PackHistory, MovingASlotsPhotoKeepsTheHistoryFromBefore) {
  const int32 before = g_doc.up->oj.nlist;
  History_Emit(OP_BLOCK_MOVEXY);  // a step before the collage
  ASSERT_EQ(History_Count(), 2);
  gs.grid_vals[PACK_KIND_GRID] = PACK_GRID;
  Pack_New();
  SV_Finish();
  ASSERT_NE(g_pack, nullptr);
  Pack_Paste(Solid(60, 40, kRed));
  const int32 omx = Slotx_To_Omx(10000);
  ASSERT_TRUE(Is_Obj_Selected(omx));
  const a_ph_rec* ph = Obj_Item(omx)->ph;
  const Point at = ph->dst_center;
  Obj_Nudge(false, 1, 0);
  const Point start{300, 300};
  ASSERT_TRUE(Move_Begin(1, start, omx));
  Move_End(Point{start.v, int16(start.h + 20)}, false);
  EXPECT_EQ(ph->dst_center.h, at.h + 21) << "both moves reached the slot's photo";
  EXPECT_EQ(History_Count(), 2);
  Pack_OK();
  SV_Finish();
  ASSERT_EQ(g_doc.up->oj.nlist, before + 1);
  EXPECT_EQ(History_Count(), 3) << "the step before the collage, then the collage";
  int32 undo = -1, redo = -1;
  Calc_Undo_Avail(undo, redo);
  ASSERT_GE(undo, 0);
  ASSERT_TRUE(Restore_State(undo));
  EXPECT_EQ(g_doc.up->oj.nlist, before);
  EXPECT_EQ(Count(false, Kind_Bit(SLOT_BLOCK)), 0);
}

}  // namespace
