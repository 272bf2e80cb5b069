// Marking units for rendering again: the whole of a unit, the current one,
// every unit of the document.
#include <gtest/gtest.h>

#include <memory>

#include "doc/VoskDoc.h"
#include "doc/VoskRend.h"
#include "platform/VoskDef.h"

namespace {

bool Same(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

TEST(UnitRendering, PostRenderMarksTheWholeUnit) {
  VoskDef_Init();
  auto first = std::make_unique<a_doc_unit>();
  auto second = std::make_unique<a_doc_unit>();
  first->paintbounds = Rect{0, 0, 300, 400};
  second->paintbounds = Rect{0, 0, 120, 90};
  first->render_dirty = Rect{10, 10, 20, 20};
  g_doc.doc_template.nunits = 2;
  g_doc.doc_units[0] = first.get();
  g_doc.doc_units[1] = second.get();

  // No current unit: nothing to mark.
  Curr_Unit_PostRender();
  EXPECT_TRUE(Same(first->render_dirty, Rect{10, 10, 20, 20}));
  g_doc.upx = 2;
  g_doc.up = second.get();
  Curr_Unit_PostRender();
  EXPECT_TRUE(Same(second->render_dirty, second->paintbounds));
  EXPECT_TRUE(Same(first->render_dirty, Rect{10, 10, 20, 20}));
  All_Units_PostRender();
  EXPECT_TRUE(Same(first->render_dirty, first->paintbounds));
  Unit_PostRender(nullptr);

  for (a_doc_unit*& unit : g_doc.doc_units) unit = nullptr;
  VoskDef_Init();
}

}  // namespace
