// Texts moved with photos, laid out in DejaVu Sans Mono on a disc face: an
// alignment moves a straight text's box with its anchor, placing on the
// unit moves its anchor, a drag previews the frame and moves the anchor only
// at the release, and a circular text is left where it is.
#include <gtest/gtest.h>

#include <string>

#include "FontTestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "objects/VoskBlok.h"
#include "objects/VoskLayer.h"
#include "objects/VoskMove.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "platform/QDRect.h"
#include "platform/SysFont.h"
#include "platform/VoskDef.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

constexpr int16 kSide = 1417;
constexpr int16 kCentre = 708;

int32 Width(const Rect& r) { return int32(r.right) - r.left; }

class MovingTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    Fonts_Stop();
    Fonts_Init();
    const uint32 mono = Find_Font_Name(CStrSpan("DejaVu Sans Mono"));
    ASSERT_NE(mono, 0u);
    VoskDef_Init();
    VoskBlok_Init();
    VoskLayer_Init();
    SV_Init();
    History_Null();
    g_ed = a_edit_rec{};
    unit_ = New_Unit_Rec();
    ASSERT_NE(unit_, nullptr);
    unit_->paintbounds = Rect{0, 0, kSide, kSide};
    g_doc.doc_template.nunits = 1;
    g_doc.doc_template.units[0].kind = UNIT_CD;
    g_doc.doc_template.units[0].bbox = a_frect{0, 0, 120, 120};
    g_doc.doc_units[0] = unit_;
    g_doc.up = unit_;
    g_doc.upx = 1;
    gs.nviews = 1;
    gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{0, 0, kSide, kSide}};
    gs.curr_phase = TEXT_PHASE;
    gs.curr_kindset = 11;  // photos, symbols and texts
    for (int32 sl = 0; sl < NSLIDERS; ++sl) gs.slider_vals[sl] = SLIDER_VALUES[sl].defaultval;
    gs.slider_vals[TEXT_SIZE_SLIDER] = 24;
    gs.bar_selection[FONT_BAR] = int16(mono);
  }
  void TearDown() override {
    if (unit_ == nullptr) return;
    Dispose_Saved_Blocks();
    OMast_Dispose(unit_->oj);
    Dispose_Unit_Rec(unit_);
    g_doc.up = nullptr;
    g_doc.doc_units[0] = nullptr;
  }
  // A selected text of layout whose anchor is at.
  int32 Text(a_text_layout layout, Point at) {
    gs.grid_vals[TEXT_LAYOUT_GRID] = layout;
    const std::u16string text = u"Velmor";
    int32 omx = 0;
    Text_New4(omx, reinterpret_cast<const UniChar*>(text.data()), int32(text.size()), 95, at,
              Point{kCentre, kCentre}, false);
    unit_->oj.list[omx - 1].flags |= OJ_Flag_Bit(SELECTED_FLAG);
    return omx;
  }
  int32 Photo(Rect box) {
    a_ph_rec* ph = New_PH_Rec();
    ph->spec.scalingh = ph->spec.scalingv = 1000;
    ph->spec.subset = Rect{0, 0, int16(box.bottom - box.top), int16(box.right - box.left)};
    ph->dst_box = box;
    ph->dst_center = Point{int16((box.top + box.bottom) / 2), int16((box.left + box.right) / 2)};
    return Obj_Append(unit_->oj, PHOTO_BLOCK,
                      uint8(OJ_Flag_Bit(VISIBLE_FLAG) | OJ_Flag_Bit(SELECTED_FLAG)), ph, nullptr);
  }
  a_om_rec* Om(int32 omx) { return unit_->oj.list[omx - 1].om; }
  static Rect Box(int32 omx) {
    Rect b;
    Obj_BBox(omx, b);
    return b;
  }

  a_doc_unit* unit_ = nullptr;
};

TEST_F(MovingTexts, AlignmentsMoveAStraightTextsBox) {
  const int32 text = Text(LAYOUT_HORZ, Point{600, 300});
  const int32 photo = Photo(Rect{200, 500, 300, 700});  // the topmost
  ASSERT_FALSE(EmptyRect(Box(text)));
  const Rect before = Box(text);
  Enum_Align_H_R();
  EXPECT_EQ(Box(text).right, 700);
  EXPECT_EQ(Box(text).top, before.top) << "one axis only";
  Enum_Align_V_T();
  EXPECT_EQ(Box(text).top, 200);
  EXPECT_EQ(Box(text).right, 700);
  EXPECT_EQ(Width(Box(text)), Width(before));
  EXPECT_EQ(History_Last_Op(), OP_BLOCK_ALIGN);
  EXPECT_TRUE(Is_Obj_Selected(photo));
}

// Placing on the unit moves a straight text's anchor; a circular text's
// place is its centre and turn, which placing leaves alone.
TEST_F(MovingTexts, PlacingMovesAnchorsOfStraightTextsOnly) {
  const int32 straight = Text(LAYOUT_HORZ, Point{600, 300});
  const int32 circle = Text(LAYOUT_CIRC_CW, Point{600, 300});
  const Point circle_anchor = Om(circle)->anchor;
  Align_Horz(1, 4);
  EXPECT_EQ(Om(straight)->anchor.h, 354);
  EXPECT_EQ(Om(straight)->anchor.v, 600);
  Align_Center();
  EXPECT_TRUE(Om(straight)->anchor == (Point{kCentre, kCentre}));
  EXPECT_TRUE(Om(circle)->anchor == circle_anchor);
}

// The steps of a drag move only the text's frame; the release moves its
// anchor by the whole drag, once.
TEST_F(MovingTexts, ADraggedTextMovesAtTheRelease) {
  const int32 text = Text(LAYOUT_HORZ, Point{600, 300});
  const Point anchor = Om(text)->anchor;
  const Point frame0 = Om(text)->cache.frame.points[0];
  ASSERT_TRUE(Move_Begin(1, Point{610, 310}, text));
  Move_Step(Point{640, 330}, false);
  EXPECT_TRUE(Om(text)->anchor == anchor);
  EXPECT_TRUE(Om(text)->cache.frame.points[0] == (Point{int16(frame0.v + 30), int16(frame0.h + 20)}));
  Move_Step(Point{650, 350}, false);
  Move_End(Point{650, 350}, false);
  EXPECT_TRUE(Om(text)->anchor == (Point{int16(anchor.v + 40), int16(anchor.h + 40)}));
  EXPECT_EQ(History_Last_Op(), OP_BLOCK_MOVEXY);
}

}  // namespace
