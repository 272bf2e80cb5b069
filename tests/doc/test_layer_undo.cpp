// The painting tools' copy of a layer: it goes back onto the unit it was
// taken from, only inside both the copy and the layer, world and mask each
// when saved; outside a mask only; never from a missing unit or a clone.
#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"

namespace {

constexpr float kMMPerPixel = 0.0846667f;

uint32* Px(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint32*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
}
uint8* Mx(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint8*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
}

// Every pixel of a layer set from its position and a stamp, the mask too.
void Fill(const a_cached_gworld& l, uint32 stamp) {
  const Rect& b = l.world->pix.bounds;
  for (int y = b.top; y < b.bottom; ++y)
    for (int x = b.left; x < b.right; ++x) {
      *Px(l.world, x, y) = (stamp << 16) | uint32(y << 8) | uint32(x);
      if (l.mask != nullptr) *Mx(l.mask, x, y) = uint8(stamp + x + y);
    }
}
uint32 Want(uint32 stamp, int x, int y) { return (stamp << 16) | uint32(y << 8) | uint32(x); }

class LayerUndo : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    Resources_Init();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    VoskDoc_Init();
    VoskFunc_Init();
    VoskUndo_Init();
    History_Null();
    VoskBlok_Init();
    gs.controller = GHOST;
    gs.tool_show = true;
    a_template x{};
    std::strcpy(x.label, "Undo test");
    x.papersize = {210, 297};
    auto add = [&](uint8 kind, int w, int h) {
      a_unit& u = x.units[x.nunits++];
      u.kind = kind;
      u.bbox = a_frect{5, 5, 5 + w * kMMPerPixel, 5 + h * kMMPerPixel};
    };
    add(UNIT_RECT, 60, 40);
    add(UNIT_OVAL, 30, 30);
    add(UNIT_OVAL, 30, 30);  // a clone of unit 2
    ASSERT_TRUE(Doc_New(x));
    for (uint32 ux : {1u, 2u}) {
      Sync_Existence(true, Doc_Unit(ux), PAINT1_LAYER);
      Fill(Layer(ux), 0x10 * ux);
    }
  }
  void TearDown() override {
    Undo_Dispose();
    Doc_Dispose();
  }
  static a_cached_gworld& Layer(uint32 ux) { return Doc_Unit(ux)->statics[PAINT1_LAYER]; }
};

// Only the overlap of the rectangle with the layer (and the copy) is put
// back; the rest keeps the new paint.
TEST_F(LayerUndo, RestoresOnlyTheOverlap) {
  ASSERT_TRUE(Undo_SaveLayer(PAINT1_LAYER));
  EXPECT_TRUE(g_undo_layer.inuse);
  EXPECT_EQ(g_undo_layerx, PAINT1_LAYER);
  Fill(Layer(1), 0x77);  // the stroke
  Undo_RestoreRect(Rect{-10, -10, 20, 25});
  for (int y : {0, 19, 20, 39})
    for (int x : {0, 24, 25, 59}) {
      const bool back = y < 20 && x < 25;
      EXPECT_EQ(*Px(Layer(1).world, x, y), back ? Want(0x10, x, y) : Want(0x77, x, y)) << x << "," << y;
      EXPECT_EQ(*Mx(Layer(1).mask, x, y), uint8((back ? 0x10 : 0x77) + x + y)) << x << "," << y;
    }
  Undo_RestoreRect(Rect{100, 100, 200, 200});  // outside: nothing
  Undo_RestoreRect(Rect{10, 10, 10, 10});      // empty: nothing
  EXPECT_EQ(*Px(Layer(1).world, 59, 39), Want(0x77, 59, 39));
}

// The copy goes back onto the unit it came from, whatever unit is current,
// and never beyond the copy or the layer.
TEST_F(LayerUndo, GoesBackOntoItsOwnUnitWithinBothBounds) {
  ASSERT_TRUE(Undo_SaveLayer(PAINT1_LAYER));  // unit 1, 60 x 40
  EXPECT_EQ(Undo_Unit(), Doc_Unit(1));
  Select_Doc_Unit(2);  // 30 x 30
  Fill(Layer(1), 0x55);
  Fill(Layer(2), 0x66);
  Undo_RestoreRect(Rect{0, 0, 40, 60});
  EXPECT_EQ(*Px(Layer(1).world, 59, 39), Want(0x10, 59, 39));
  EXPECT_EQ(*Px(Layer(2).world, 29, 29), Want(0x66, 29, 29));
  EXPECT_EQ(*Px(Layer(2).world, 0, 0), Want(0x66, 0, 0));

  // A layer made again smaller than the copy: only the part both hold.
  a_cached_gworld& l = Layer(1);
  Dispose_GWorld(l.world);
  Dispose_GWorld(l.mask);
  New_GWorldF("small", Rect{0, 0, 10, 12}, 32, nullptr, l.world);
  New_GWorldF("small mask", Rect{0, 0, 10, 12}, 8, gray_ctable2, l.mask);
  l.bounds = Rect{0, 0, 10, 12};
  Fill(l, 0x44);
  Undo_RestoreRect(Rect{-5, -5, 100, 100});
  EXPECT_EQ(*Px(l.world, 11, 9), Want(0x10, 11, 9));
  EXPECT_EQ(*Mx(l.mask, 11, 9), uint8(0x10 + 11 + 9));

  // And larger than the copy: nothing is read beyond the copy.
  Dispose_GWorld(l.world);
  Dispose_GWorld(l.mask);
  New_GWorldF("large", Rect{-8, -8, 50, 80}, 32, nullptr, l.world);
  New_GWorldF("large mask", Rect{-8, -8, 50, 80}, 8, gray_ctable2, l.mask);
  Fill(l, 0x45);
  Undo_RestoreRect(Rect{-8, -8, 50, 80});
  EXPECT_EQ(*Px(l.world, 59, 39), Want(0x10, 59, 39));
  EXPECT_EQ(*Px(l.world, 60, 39), Want(0x45, 60, 39));
  EXPECT_EQ(*Px(l.world, 59, 40), Want(0x45, 59, 40));
  EXPECT_EQ(*Px(l.world, -1, -1), Want(0x45, -1, -1));
  EXPECT_EQ(*Mx(l.mask, 70, 45), uint8(0x45 + 70 + 45));
}

// No copy from nothing, nor from a clone (it has no layers of its own); a
// layer without a mask restores its world alone.
TEST_F(LayerUndo, RefusesMissingUnitsAndClones) {
  g_doc.up = nullptr;
  EXPECT_FALSE(Undo_SaveLayer(PAINT1_LAYER));
  EXPECT_FALSE(g_undo_layer.inuse);
  g_doc.up = Doc_Unit(1);
  ASSERT_TRUE(Undo_SaveLayer(PAINT1_LAYER));
  Select_Doc_Unit(3);
  ASSERT_TRUE(Doc_Unit(3)->clonef);
  EXPECT_FALSE(Undo_SaveLayer(PAINT1_LAYER));
  EXPECT_FALSE(g_undo_layer.inuse);  // the old copy is gone too
  EXPECT_EQ(g_undo_layer.world, nullptr);
  Undo_RestoreRect(Rect{0, 0, 40, 60});  // nothing to restore
  EXPECT_FALSE(Undo_SaveLayer(a_static_layer(NSTATIC_LAYERS)));

  Select_Doc_Unit(2);
  Dispose_GWorld(Layer(2).mask);
  ASSERT_TRUE(Undo_SaveLayer(PAINT1_LAYER));
  EXPECT_NE(g_undo_layer.world, nullptr);
  EXPECT_EQ(g_undo_layer.mask, nullptr);
  Fill(Layer(2), 0x99);
  New_GWorldF("mask", Layer(2).bounds, 8, gray_ctable2, Layer(2).mask);
  *Mx(Layer(2).mask, 3, 4) = 201;
  Undo_RestoreRect(Rect{0, 0, 30, 30});
  EXPECT_EQ(*Px(Layer(2).world, 3, 4), Want(0x20, 3, 4));
  EXPECT_EQ(*Mx(Layer(2).mask, 3, 4), 201);
  Undo_Dispose();
  EXPECT_FALSE(g_undo_layer.inuse);
  EXPECT_EQ(g_undo_layer.world, nullptr);
}

// Outside the mask the saved pixels come back; inside it the new paint stays.
TEST_F(LayerUndo, PaintsBackOutsideAMask) {
  ASSERT_TRUE(Undo_SaveLayer(PAINT1_LAYER));
  Fill(Layer(1), 0x33);
  PixMap mask{};
  New_PixMap(mask, Rect{2, 2, 6, 6}, 1, nullptr);  // rows 2..5, columns 2..5
  for (int y = 0; y < 4; ++y) mask.baseAddr[y * PixMap_RowBytes(mask)] = char(0xF0);
  Undo_PaintNotMask(mask, Rect{0, 0, 8, 8});
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool inside_bounds = x < 8 && y < 8;
      const bool in_mask = x >= 2 && x < 6 && y >= 2 && y < 6;
      const uint32 stamp = inside_bounds && !in_mask ? 0x10 : 0x33;
      EXPECT_EQ(*Px(Layer(1).world, x, y), Want(stamp, x, y)) << x << "," << y;
      EXPECT_EQ(*Mx(Layer(1).mask, x, y), uint8(stamp + x + y)) << x << "," << y;
    }
  Dispose_PixMap(mask);
}

}  // namespace
