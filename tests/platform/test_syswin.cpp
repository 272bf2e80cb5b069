#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "WinTestSupport.h"
#include "platform/SysMem.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

class SysWinTest : public wintest::WorldsTest {};

// A world disposed of when the test ends.
struct World {
  GWorldPtr w = nullptr;
  World(const Rect& r, int16 depth, CTabHandle ctab = nullptr) {
    EXPECT_EQ(New_GWorld(r, depth, ctab, w), noErr);
  }
  ~World() { Dispose_GWorld(w); }
  const uint8* bytes() const { return reinterpret_cast<const uint8*>(w->pix.baseAddr); }
  HDC dc() const { return Get_GWorld_HDC(w); }
};

bool All_Zero(const World& wd) {
  uint32 n = PixMap_Len(wd.w->pix);
  for (uint32 i = 0; i < n; ++i)
    if (wd.bytes()[i] != 0) return false;
  return true;
}

const Rect kNeg{-10, -20, 10, 20};  // top, left, bottom, right: 40 x 20 pixels

}  // namespace

TEST_F(SysWinTest, NewWorldFieldsByDepth) {
  struct Case {
    int16 depth;
    uint32 rowbytes;  // ((width 40) x depth + 31) div 32 x 4
    int16 pixelType, cmpCount, cmpSize;
    uint32 planeBytes;
  };
  const Case cases[] = {
      {1, 8, 0, 1, 1, 0},
      {8, 40, 0, 1, 8, 0},
      {16, 80, 16, 3, 5, 0},
      {24, 120, 16, 3, 8, 0},
      {32, 160, 16, 3, 8, FourCC("BGRA")},
  };
  for (const Case& c : cases) {
    World wd(kNeg, c.depth, gray_ctable);
    ASSERT_NE(wd.w, nullptr);
    const PixMap& pm = *Get_GWorld_PixMap(wd.w);
    EXPECT_EQ(pm.bounds, kNeg);
    EXPECT_EQ(PixMap_RowBytes(pm), c.rowbytes) << c.depth;
    EXPECT_EQ(uint16(pm.rowBytes), c.rowbytes) << c.depth;
    EXPECT_EQ(pm.pixelSize, c.depth);
    EXPECT_EQ(pm.pixelType, c.pixelType);
    EXPECT_EQ(pm.cmpCount, c.cmpCount);
    EXPECT_EQ(pm.cmpSize, c.cmpSize);
    EXPECT_EQ(pm.planeBytes, c.planeBytes) << c.depth;
    EXPECT_EQ(pm.hRes, 0x00480000u);
    EXPECT_EQ(pm.vRes, 0x00480000u);
    EXPECT_EQ(pm.pmTable, gray_ctable);
    EXPECT_EQ(Get_GWorld_PixelSize(wd.w), c.depth);
    EXPECT_EQ(Get_GWorld_BaseAddr(wd.w), pm.baseAddr);
    EXPECT_TRUE(All_Zero(wd)) << c.depth;
    // The drawing state is the world's own, private, with no window.
    EXPECT_EQ(reinterpret_cast<a_shadow_rec*>(wd.w), &wd.w->shadow);
    EXPECT_TRUE(wd.w->shadow.hdc_private);
    EXPECT_EQ(wd.w->shadow.hwnd, nullptr);
  }
}

TEST_F(SysWinTest, WorldIsAddressedInItsBounds) {
  World w8(kNeg, 8);
  ASSERT_NE(w8.w, nullptr);
  // The top-left pixel (h -20, v -10) is the first byte; the bottom-right
  // (19, 9) is byte 19 x 40 + 39.
  SetPixel(w8.dc(), -20, -10, DIBINDEX(7));
  SetPixel(w8.dc(), 19, 9, DIBINDEX(9));
  SetPixel(w8.dc(), 0, 0, DIBINDEX(5));  // row 10, column 20
  EXPECT_EQ(w8.bytes()[0], 7);
  EXPECT_EQ(w8.bytes()[19 * 40 + 39], 9);
  EXPECT_EQ(w8.bytes()[10 * 40 + 20], 5);
  // Outside the bounds nothing is written.
  SetPixel(w8.dc(), -21, -10, DIBINDEX(3));
  SetPixel(w8.dc(), 20, 9, DIBINDEX(3));
  uint32 nonzero = 0;
  for (uint32 i = 0; i < PixMap_Len(w8.w->pix); ++i) nonzero += w8.bytes()[i] != 0;
  EXPECT_EQ(nonzero, 3u);

  World w32(kNeg, 32);
  RECT r{-20, -10, -18, -9};  // the first two pixels of the first row
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(w32.dc(), &r, red);
  DeleteObject(red);
  const uint8 want[12] = {0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(w32.bytes(), want, sizeof want), 0);
  EXPECT_EQ(w32.bytes()[160], 0);  // second row untouched
}

TEST_F(SysWinTest, DibColoursFollowTheTable) {
  // Depth 1: colour 0 white, colour 1 black, so black ink sets the bit.
  World w1(kNeg, 1);
  SetPixel(w1.dc(), -20, -10, RGB(0, 0, 0));
  SetPixel(w1.dc(), -19, -10, RGB(255, 255, 255));
  EXPECT_EQ(w1.bytes()[0], 0x80);

  // Depth 8 with gray_ctable: index i is grey 255 - i.
  World g1(kNeg, 8, gray_ctable);
  SetPixel(g1.dc(), -20, -10, RGB(255, 255, 255));
  SetPixel(g1.dc(), -19, -10, RGB(0, 0, 0));
  SetPixel(g1.dc(), -18, -10, RGB(200, 200, 200));
  EXPECT_EQ(g1.bytes()[0], 0);
  EXPECT_EQ(g1.bytes()[1], 255);
  EXPECT_EQ(g1.bytes()[2], 55);

  // Depth 8 with gray_ctable2: index i is grey i.
  World g2(kNeg, 8, gray_ctable2);
  SetPixel(g2.dc(), -20, -10, RGB(200, 200, 200));
  EXPECT_EQ(g2.bytes()[0], 200);

  // Any other table: the main colour table (index 220 is pure red there).
  World m(kNeg, 8);
  SetPixel(m.dc(), -20, -10, RGB(255, 0, 0));
  SetPixel(m.dc(), -19, -10, RGB(255, 255, 255));
  EXPECT_EQ(m.bytes()[0], 220);
  EXPECT_EQ(m.bytes()[1], 255);
}

TEST_F(SysWinTest, BadDepthOrBoundsIsAnInternalError) {
  GWorldPtr w = nullptr;
  EXPECT_THROW(New_GWorld(kNeg, 4, nullptr, w), QuitCalled);
  EXPECT_THROW(New_GWorld(kNeg, 12, nullptr, w), QuitCalled);
  EXPECT_THROW(New_GWorld(Rect{0, 0, 0, 10}, 8, nullptr, w), QuitCalled);
  EXPECT_EQ(w, nullptr);
}

TEST_F(SysWinTest, NoPixelMemoryReachesTheOutOfMemoryHook) {
  // 30000 x 30000 x 4 bytes is beyond the largest surface we make.
  const Rect huge{0, 0, 30000, 30000};
  GWorldPtr w = nullptr;
  EXPECT_EQ(New_GWorld(huge, 32, nullptr, w), memFullErr);
  EXPECT_EQ(w, nullptr);
  try {
    New_GWorldF("test", huge, 32, nullptr, w);
    FAIL() << "no out-of-memory report";
  } catch (const MemErrCalled& e) {
    // (30000 + 31) x 4 x 30000 + 500
    EXPECT_EQ(e.needed, 3603720500u);
  }
  EXPECT_EQ(w, nullptr);

  World small(kNeg, 32);
  ASSERT_NE(small.w, nullptr);
  EXPECT_THROW(Resize_GWorld(small.w, huge), MemErrCalled);
  EXPECT_EQ(small.w, nullptr);
}

TEST_F(SysWinTest, PortStackOfFive) {
  World a(kNeg, 8), b(kNeg, 32);
  Set_GWorld(a.w);
  a_gstate before;
  Get_GState(before);

  for (int i = 0; i < 5; ++i) Push_GWorld(i % 2 ? a.w : b.w);
  EXPECT_EQ(Port_Stack_Depth(), 5);
  EXPECT_EQ(theGWorld, b.w);  // the fifth push
  EXPECT_EQ(Port_Stack_Entry(5).curr_kind, GWORLD_PORT);
  EXPECT_EQ(Port_Stack_Entry(5).curr_world, b.w);
  EXPECT_THROW(Push_GWorld(a.w), QuitCalled);
  EXPECT_EQ(Port_Stack_Depth(), 5);

  // Each pop brings back the port that was current before its push.
  Pop_GWorld();
  EXPECT_EQ(theGWorld, a.w);
  Pop_GWorld();
  EXPECT_EQ(theGWorld, b.w);
  Pop_GWorld();
  Pop_GWorld();
  Pop_Window();
  EXPECT_EQ(Port_Stack_Depth(), 0);
  a_gstate after;
  Get_GState(after);
  EXPECT_EQ(after.hdc, before.hdc);
  EXPECT_EQ(after.gworld, a.w);
  EXPECT_EQ(after.shadow, &a.w->shadow);
  EXPECT_EQ(after.hwnd, nullptr);
  EXPECT_THROW(Pop_GWorld(), QuitCalled);
  EXPECT_EQ(Port_Stack_Depth(), 0);
}

TEST_F(SysWinTest, GStateRoundTrip) {
  World a(kNeg, 8), b(Rect{0, 0, 5, 5}, 1);
  Set_GWorld(a.w);
  EXPECT_EQ(theHDC, a.dc());
  EXPECT_EQ(theShadow, &a.w->shadow);
  EXPECT_EQ(Get_GWorld(), a.w);
  EXPECT_EQ(qd.thePort, nullptr);

  a_gstate saved;
  Get_GState(saved);
  Set_GWorld(b.w);
  EXPECT_EQ(theHDC, b.dc());
  Set_GState(saved);
  EXPECT_EQ(theHDC, a.dc());
  EXPECT_EQ(theShadow, &a.w->shadow);
  EXPECT_EQ(theGWorld, a.w);
  EXPECT_EQ(qd.thePort, nullptr);

  // NoPort keeps the world but leaves no context to draw into.
  NoPort();
  EXPECT_EQ(theHDC, nullptr);
  EXPECT_EQ(theShadow, nullptr);
  EXPECT_EQ(theGWorld, a.w);
}

TEST_F(SysWinTest, PortBounds) {
  Rect r;
  EXPECT_THROW(GetPortBounds(r), QuitCalled);
  World a(kNeg, 16);
  Set_GWorld(a.w);
  GetPortBounds(r);
  EXPECT_EQ(r, kNeg);
  Rect inside{-10, -20, -9, -19}, outside{100, 100, 110, 110};
  EXPECT_TRUE(IsRectVisible(inside));
  EXPECT_FALSE(IsRectVisible(outside));
}

TEST_F(SysWinTest, DisposingTheCurrentWorldLeavesNoPort) {
  GWorldPtr w = nullptr;
  ASSERT_EQ(New_GWorld(kNeg, 8, nullptr, w), noErr);
  Set_GWorld(w);
  Dispose_GWorld(w);
  EXPECT_EQ(w, nullptr);
  EXPECT_EQ(theGWorld, nullptr);
  EXPECT_EQ(theHDC, nullptr);
  EXPECT_EQ(theShadow, nullptr);
  Dispose_GWorld(w);  // NIL: nothing
}

TEST_F(SysWinTest, CopyResizeAndToPixMap) {
  World src(kNeg, 8, gray_ctable);
  SetPixel(src.dc(), -20, -10, DIBINDEX(11));
  SetPixel(src.dc(), 19, 9, DIBINDEX(22));

  GWorldPtr dst = nullptr;
  Copy_GWorld(src.w, dst);
  ASSERT_NE(dst, nullptr);
  EXPECT_EQ(dst->pix.bounds, kNeg);
  EXPECT_EQ(dst->pix.pmTable, gray_ctable);
  EXPECT_EQ(std::memcmp(dst->pix.baseAddr, src.w->pix.baseAddr, PixMap_Len(src.w->pix)), 0);

  // An existing destination of other bounds is remade to the source's.
  World small(Rect{0, 0, 2, 2}, 8);
  Copy_GWorld(src.w, small.w);
  ASSERT_NE(small.w, nullptr);
  EXPECT_EQ(small.w->pix.bounds, kNeg);
  EXPECT_EQ(reinterpret_cast<uint8*>(small.w->pix.baseAddr)[19 * 40 + 39], 22);
  World deep(Rect{0, 0, 2, 2}, 32);
  EXPECT_THROW(Copy_GWorld(src.w, deep.w), QuitCalled);

  // Same bounds: the pixels stay; other bounds: a new, all-zero world.
  Resize_GWorld(dst, kNeg);
  EXPECT_EQ(reinterpret_cast<uint8*>(dst->pix.baseAddr)[0], 11);
  Resize_GWorld(dst, Rect{0, 0, 3, 7});
  EXPECT_EQ(dst->pix.bounds, (Rect{0, 0, 3, 7}));
  EXPECT_EQ(dst->pix.pixelSize, 8);
  EXPECT_EQ(reinterpret_cast<uint8*>(dst->pix.baseAddr)[0], 0);

  // A NIL source disposes of the destination.
  Copy_GWorld(nullptr, dst);
  EXPECT_EQ(dst, nullptr);

  GWorldPtr w = nullptr;
  Copy_GWorld(src.w, w);
  PixMap pm{};
  GWorld_To_PixMap(w, pm);
  EXPECT_EQ(w, nullptr);
  ASSERT_NE(pm.baseAddr, nullptr);
  EXPECT_EQ(pm.bounds, kNeg);
  EXPECT_EQ(pm.pixelSize, 8);
  EXPECT_EQ(pm.pmTable, gray_ctable);
  EXPECT_EQ(reinterpret_cast<uint8*>(pm.baseAddr)[0], 11);
  EXPECT_EQ(reinterpret_cast<uint8*>(pm.baseAddr)[19 * PixMap_RowBytes(pm) + 39], 22);
  Dispose_PixMap(pm);
}

TEST_F(SysWinTest, CTableAndUnsupportedCalls) {
  World w(kNeg, 8, gray_ctable);
  Set_GWorld_CTable(w.w, gray_ctable2);
  EXPECT_EQ(Get_GWorld_PixMap(w.w)->pmTable, gray_ctable2);
  // The section's colours stay as they were made (index i is grey 255 - i).
  SetPixel(w.dc(), -20, -10, RGB(255, 255, 255));
  EXPECT_EQ(w.bytes()[0], 0);
  EXPECT_FALSE(Is_GWorld_Locked(w.w));
  EXPECT_THROW(Get_GWorld_PixMap_Hdl(w.w), QuitCalled);
  EXPECT_EQ(GetWindowCTable(nullptr), nullptr);
}
