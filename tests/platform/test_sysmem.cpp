#include <gtest/gtest.h>
#include <sys/sysinfo.h>

#include <cstring>
#include <limits>

#include "TestSupport.h"
#include "platform/SysMem.h"
#include "platform/SysMemX.h"

namespace {

TEST(SysMemHandle, LockedThreeTimesIsFreedAndCleared) {
  Handle h = New_Handle(100);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(Handle_GetSize(h), 100u);
  Ptr p = Handle_Lock(h);
  ASSERT_NE(p, nullptr);
  std::memset(p, 0x5A, 100);  // the whole block is usable (ASan checks)
  Handle_Lock(h);
  Handle_Lock(h);
  EXPECT_TRUE(Is_Handle_Locked(h));
  EXPECT_EQ(Handle_LockCount(h), 3);
  Handle_Unlock(h);
  EXPECT_EQ(Handle_LockCount(h), 2);
  Dispose_Handle(h);
  EXPECT_EQ(h, nullptr);
  Dispose_Handle(h);  // a second dispose of the same variable does nothing
  EXPECT_EQ(h, nullptr);
}

TEST(SysMemHandle, NilAndEmpty) {
  Handle nil = nullptr;
  EXPECT_EQ(Handle_GetSize(nil), 0u);
  EXPECT_EQ(Handle_Lock(nil), nullptr);
  EXPECT_FALSE(Is_Handle_Locked(nil));
  Handle e = New_Handle_Empty();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(Handle_GetSize(e), 0u);
  EXPECT_FALSE(Is_Handle_Purged(e));
  Handle_SetSize(e, 8);
  EXPECT_EQ(Handle_GetSize(e), 8u);
  Dispose_Handle(e);
}

TEST(SysMemHandle, ClearIsZeroed) {
  Handle h = New_Handle_Clear(4096);
  ASSERT_NE(h, nullptr);
  const char* p = Handle_Lock(h);
  for (int i = 0; i < 4096; i++) ASSERT_EQ(p[i], 0) << i;
  Dispose_Handle(h);
}

TEST(SysMemHandle, SetSizeKeepsContentsAndPurgeFlag) {
  Handle h = New_Handle(4);
  std::memcpy(Handle_Lock(h), "abcd", 4);
  Handle_Unlock(h);
  Handle_SetPurgeFlag(true, h);
  Handle_SetSize(h, 100000);
  EXPECT_EQ(Handle_GetSize(h), 100000u);
  EXPECT_TRUE(Is_Handle_Purgeable(h));
  Ptr p = Handle_Lock(h);
  EXPECT_EQ(std::memcmp(p, "abcd", 4), 0);
  p[99999] = 1;
  Handle_Unlock(h);
  Handle_SetSize(h, 2);
  EXPECT_EQ(Handle_GetSize(h), 2u);
  EXPECT_EQ(std::memcmp(Handle_Lock(h), "ab", 2), 0);
  Handle_SetPurgeFlag(false, h);
  EXPECT_FALSE(Is_Handle_Purgeable(h));
  Dispose_Handle(h);
}

TEST(SysMemHandle, PurgeKeepsIdentityWithSizeZero) {
  Handle h = New_Handle(64);
  Handle_SetPurgeFlag(true, h);
  Handle_Lock(h);
  Handle_Purge(h);  // locked: in use, stays
  EXPECT_FALSE(Is_Handle_Purged(h));
  EXPECT_EQ(Handle_GetSize(h), 64u);
  Handle_Unlock(h);
  Handle_Purge(h);
  EXPECT_TRUE(Is_Handle_Purged(h));
  EXPECT_EQ(Handle_GetSize(h), 0u);
  EXPECT_EQ(Handle_Lock(h), nullptr);
  Handle_SetSize(h, 32);  // resizing brings the memory back
  EXPECT_FALSE(Is_Handle_Purged(h));
  EXPECT_TRUE(Is_Handle_Purgeable(h));
  EXPECT_EQ(Handle_GetSize(h), 32u);
  EXPECT_NE(Handle_Lock(h), nullptr);
  Dispose_Handle(h);
}

TEST(SysMemHandle, FailuresReportTheSizeAskedFor) {
  EXPECT_EQ(New_Handle(kMaxBlockSize + 1u), nullptr);
  EXPECT_EQ(New_Handle_Clear(0xFFFFFFFFu), nullptr);
  Handle h = New_Handle(10);
  try {
    Handle_SetSize(h, 0xFFFFFFF0u);
    FAIL() << "no out-of-memory report";
  } catch (const MemErrCalled& e) {
    EXPECT_EQ(e.needed, 0xFFFFFFF0u);
  }
  EXPECT_EQ(Handle_GetSize(h), 10u);  // the old block is kept
  Dispose_Handle(h);
}

TEST(SysMemPtr, SizeHeaderAndInPlaceResize) {
  Ptr nil = nullptr;
  Dispose_Ptr(nil);
  EXPECT_EQ(nil, nullptr);
  EXPECT_EQ(Ptr_GetSize(nil), 0u);

  Ptr p = New_Ptr_Clear(300);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignof(std::max_align_t), 0u);
  EXPECT_EQ(Ptr_GetSize(p), 300u);
  for (int i = 0; i < 300; i++) ASSERT_EQ(p[i], 0);
  Ptr before = p;
  Ptr_SetSize(p, 100);
  EXPECT_EQ(Ptr_GetSize(p), 100u);
  Ptr_SetSize(p, 300);  // grows back within its own bytes
  EXPECT_EQ(Ptr_GetSize(p), 300u);
  EXPECT_EQ(p, before);
  try {
    Ptr_SetSize(p, 301);  // cannot grow in place
    FAIL() << "no out-of-memory report";
  } catch (const MemErrCalled& e) {
    EXPECT_EQ(e.needed, 301u);
  }
  EXPECT_EQ(Ptr_GetSize(p), 300u);
  Dispose_Ptr(p);
  EXPECT_EQ(p, nullptr);

  Ptr z = New_Ptr(0);
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(Ptr_GetSize(z), 0u);
  Dispose_Ptr(z);
  EXPECT_EQ(New_Ptr(kMaxBlockSize + 1u), nullptr);
}

TEST(SysMemX, LabelledFormsAllocateAndDispose) {
  Handle h = New_Handle_ClearX("test", 16);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(Handle_GetSize(h), 16u);
  EXPECT_EQ(Handle_Lock(h)[15], 0);
  Dispose_HandleX(h);
  EXPECT_EQ(h, nullptr);
  Handle e = New_Handle_EmptyX("test");
  EXPECT_EQ(Handle_GetSize(e), 0u);
  Dispose_HandleX(e);
  Ptr p = New_PtrX("test", 7);
  EXPECT_EQ(Ptr_GetSize(p), 7u);
  Dispose_PtrX(p);
  EXPECT_EQ(p, nullptr);
  Ptr q = New_Ptr_ClearX("test", 5);
  EXPECT_EQ(q[4], 0);
  Dispose_PtrX(q);
}

TEST(SysMemStats, GWorldMemory) {
  struct Case {
    Rect r;
    int16 depth;
    uint32 bytes;
  };
  const Case cases[] = {
      {{0, 0, 10, 10}, 32, 2140},
      {{0, 0, 10, 10}, 8, 670},
      {{0, 0, 10, 10}, 16, 2*25*10 + 500},
      {{0, 0, 10, 10}, 1, 500},
      {{-5, -5, 5, 5}, 32, 2140},
      // 3.6e9 bytes: wraps to a negative number in 32-bit signed arithmetic.
      {{0, 0, 30000, 30000}, 32, 3603720500u},
      // Beyond 32 bits: clamped rather than wrapped to a small number.
      {{-32768, -32768, 32767, 32767}, 32, 0xFFFFFFFFu},
      // An inverted rectangle asks for no memory.
      {{10, 10, 0, 0}, 32, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Calc_GWorld_Memory(c.r, c.depth), c.bytes)
        << c.r.top << "," << c.r.left << "," << c.r.bottom << "," << c.r.right << " d" << c.depth;
}

TEST(SysMemStats, SixtyFourBitStatistics) {
  struct sysinfo si {};
  ASSERT_EQ(sysinfo(&si), 0);
  uint64 total = uint64(si.totalram) * si.mem_unit;
  // MemTotal and sysinfo agree on the kilobyte.
  EXPECT_NEAR(double(Heap_CalcPhysical64()), double(total), 1024.0);
  EXPECT_EQ(Calc_Physical_MB(), uint32(Heap_CalcPhysical64() / 1000000u));
  EXPECT_EQ(Heap_CalcTotal(), 10000000u);
  uint64 free64 = Heap_CalcFree64();
  EXPECT_GT(free64, 0u);
  EXPECT_LE(free64, Heap_CalcPhysical64());
  EXPECT_GE(Heap_CalcLargest64(), 1u);
  // The 32-bit form is the clamped 64-bit value, never a wrapped one.
  if (Heap_CalcLargest64() > 0xFFFFFFFFull) {
    EXPECT_EQ(Heap_CalcLargest(), 0xFFFFFFFFu);
  }
  if (Heap_CalcPhysical64() > 0xFFFFFFFFull) {
    EXPECT_GT(Calc_Physical_MB(), 4294u);
  }
}

}  // namespace
