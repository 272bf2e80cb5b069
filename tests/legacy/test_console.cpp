// The trace console: each formatter's text, the line cap, Dump's rows, the
// log's folder, a log that cannot be made, and the window the lines scroll in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "../platform/WinTestSupport.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "host/HostGdi.h"
#include "host/HostRegion.h"
#include "legacy/Console.h"

namespace {

class Console : public testdir::TempDirTest {
 protected:
  Console() : TempDirTest("velmor-trace") {}
  void SetUp() override {
    TempDirTest::SetUp();
    Trace_Stop();
    state_ = std::make_unique<testdir::EnvGuard>("XDG_STATE_HOME", dir.c_str());
  }
  void TearDown() override {
    Trace_Stop();
    state_.reset();
    TempDirTest::TearDown();
  }
  std::string Log() const { return testdir::Read_Text(P("velmor4/_LOG.TXT")); }

  std::unique_ptr<testdir::EnvGuard> state_;
};

struct FormatCase {
  const char* name;
  std::function<void()> write;
  std::string want;
};

TEST_F(Console, EachFormatterWritesItsFixedForm) {
  static const char16_t kUni[] = u"Gr\u00fc\u00dfe";
  a_pixel32 opaque{};
  opaque.r = 7, opaque.g = 200, opaque.b = 15, opaque.a = 0;
  a_pixel32 alpha = opaque;
  alpha.a = 128;
  HRGN rgn = CreateRectRgn(3, 4, 30, 40);
  FSSpec path{};
  std::snprintf(path.name, sizeof path.name, "%s", "/tmp/a.CD4");
  PixMap pm{};
  pm.baseAddr = nullptr;
  pm.rowBytes = int16(0x8000 | 64);
  pm.bounds = Rect{0, 0, 10, 16};
  pm.pixelSize = 32;
  const std::vector<FormatCase> cases = {
      {"string", [] { WriteString("abc"); }, "abc"},
      {"counted string stops at its end", [] { WritePString(CStrSpan("abcdef", 3)); }, "abc"},
      {"counted string stops at a NUL", [] { WritePString(CStrSpan("ab\0cd", 5)); }, "ab"},
      {"UTF-16 string", [] { WriteUString(CUStrSpan(kUni, 6)); }, "Gr\xc3\xbc\xc3\x9f" "e"},
      {"card", [] { WriteCard(4000000000u); }, "4000000000"},
      {"int", [] { WriteInt(-32768); }, "-32768"},
      {"long", [] { WriteLong(-2147483647 - 1); }, "-2147483648"},
      {"padded", [] { WriteCardPadded(5, 42); }, "   42"},
      {"padded wider than its width", [] { WriteCardPadded(2, 12345); }, "12345"},
      {"hex", [] { WriteHex(0xBEEF); }, "BEEF"},
      {"hex pads", [] { WriteHex(0xA); }, "000A"},
      {"long hex", [] { WriteLongHex(0x12AB); }, "000012AB"},
      {"real", [] { WriteReal(-2.5); }, "-2.500"},
      {"tenths of a degree", [] { WriteTDegree(-5); }, "-0.5 deg"},
      {"degrees", [] { WriteDegreeR(90.126); }, "90.13 deg"},
      {"boolean", [] { WriteBoolean(true); WriteBoolean(false); }, "TRUEFALSE"},
      {"point", [] { WritePoint(Point{10, -3}); }, "(-3, 10)"},
      {"point of three", [] { WritePoint3(a_point3{1, 2, 3}); }, "(3, 2, 1)"},
      {"rect", [] { WriteRect(Rect{1, 2, 30, 40}); }, "(2, 1, 40, 30)"},
      {"real rect", [] { WriteFRect(a_frect{0.5f, 1, 2, 3.25f}); }, "(0.500, 1.000, 2.000, 3.250)"},
      {"rect size", [] { WriteRectSize(Rect{10, 20, 15, 120}); }, "100 x 5"},
      {"RGB takes the high bytes", [] { WriteRGB(RGBColor{0xFFFF, 0x0A00, 0x00FF}); }, "(255,  10,   0)"},
      {"16-bit pixel", [] { WriteRGB16(uint16((31 << 10) | (3 << 5) | 17)); }, "(31,  3, 17)"},
      {"32-bit pixel", [&] { WriteRGB32(opaque); }, "(  7, 200,  15)"},
      {"32-bit pixel with alpha", [&] { WriteRGB32(alpha); }, "([128]   7, 200,  15)"},
      {"region", [&] { WriteRegion(rgn); }, " bbox=(3, 4, 30, 40)"},
      {"key", [] { WriteKey(a_keyset{6, 0, -130, 2}); }, "[6.0.-130.2]"},
      {"no window", [] { WriteHwnd(nullptr); }, " NULL "},
      {"a window of no role", [] { WriteWindow(reinterpret_cast<HWND>(uintptr_t(16))); }, " ???"},
      {"scroll part", [] { WriteScrollPart(SB_THUMBPOSITION); }, ", part=SB_THUMBPOSITION"},
      {"last scroll part", [] { WriteScrollPart(SB_BOTTOM); }, ", part=SB_BOTTOM"},
      {"unknown scroll part", [] { WriteScrollPart(8); }, ", part=8"},
      {"event kind", [] { WriteEventKind(3); }, "3"},
      {"handle", [] { WriteHandle(reinterpret_cast<void*>(uintptr_t(0xABC))); },
       "0x" + std::string(sizeof(void*) * 2 - 3, '0') + "ABC"},
      {"path", [&] { WritePath(path); }, "/tmp/a.CD4"},
      {"pixel map", [&] { WritePixMap(pm); },
       " base=0x" + std::string(sizeof(void*) * 2, '0') + " rowBytes=64 bounds=(0, 0, 16, 10) depth=32"},
      {"port", [] { WritePort(); }, ""},
  };
  for (const FormatCase& c : cases) {
    c.write();
    EXPECT_EQ(Trace_Current_Line(), c.want) << c.name;
    WriteLn();
  }
  DeleteObject(rgn);
  // Every line reached the log, each ended by CR LF.
  std::string want;
  for (const FormatCase& c : cases) want += c.want + "\r\n";
  EXPECT_EQ(Log(), want);
}

TEST_F(Console, WindowRolesAndTheEventKindHook) {
  HWND outer = reinterpret_cast<HWND>(uintptr_t(0x100));
  HWND lscroll = reinterpret_cast<HWND>(uintptr_t(0x200));
  HWND uscroll = reinterpret_cast<HWND>(uintptr_t(0x300));
  const auto saved = std::make_tuple(gs.outer_window, gs.lscroll_ctrl, gs.uscroll_ctrl, ultimate_hwnd);
  gs.outer_window = outer;
  gs.lscroll_ctrl = lscroll;
  gs.uscroll_ctrl = uscroll;
  ultimate_hwnd = reinterpret_cast<HWND>(uintptr_t(0x400));
  WriteHwnd(outer);
  WriteHwnd(lscroll);
  WriteWindow(uscroll);
  WriteHwnd(ultimate_hwnd);
  EXPECT_EQ(Trace_Current_Line(), " OUTER  HSCROLL  VSCROLL  ULTIMATE ");
  std::tie(gs.outer_window, gs.lscroll_ctrl, gs.uscroll_ctrl, ultimate_hwnd) = saved;
  WriteLn();

  const a_event_kind_proc old = g_trace_event_kind_proc;
  g_trace_event_kind_proc = [](int16 what) { WriteString(what == 1 ? "mouseDown" : "other"); };
  WriteEventKind(1);
  g_trace_event_kind_proc = old;
  EXPECT_EQ(Trace_Current_Line(), "mouseDown");
}

TEST_F(Console, ALineKeeps500CharactersAndTheLog497) {
  const std::string a(300, 'a'), b(300, 'b');
  WriteString(a.c_str());
  WriteString(b.c_str());
  EXPECT_EQ(Trace_Current_Line(), a + std::string(200, 'b'));
  // Nothing more gets in once the line is full.
  WriteCard(7);
  EXPECT_EQ(Trace_Current_Line().size(), TRACE_LINE_MAX);
  WriteLn();
  EXPECT_EQ(Trace_Current_Line(), "");
  WriteString("next");
  WriteLn();
  EXPECT_EQ(Log(), a + std::string(197, 'b') + "\r\nnext\r\n");
}

TEST_F(Console, DumpWritesSixteenBytesARowAfterTheTitle) {
  uint8 bytes[20];
  for (int i = 0; i < 20; ++i) bytes[i] = uint8(i * 13 + 5);
  WriteString("pending ");
  Dump("bytes:", bytes, 20);
  char a0[9], a1[9];
  std::snprintf(a0, sizeof a0, "%08X", unsigned(uint32(reinterpret_cast<uintptr_t>(bytes))));
  std::snprintf(a1, sizeof a1, "%08X", unsigned(uint32(reinterpret_cast<uintptr_t>(bytes + 16))));
  std::string row0 = std::string(a0) + ": ";
  for (int i = 0; i < 16; ++i) {
    char h[4];
    std::snprintf(h, sizeof h, "%02X ", bytes[i]);
    row0 += h;
  }
  const std::string row1 = std::string(a1) + ": D5 E2 EF FC ";
  EXPECT_EQ(Log(), "pending bytes:\r\n" + row0 + "\r\n" + row1 + "\r\n");
  EXPECT_EQ(Trace_Current_Line(), "");

  // Nothing to dump: the title alone, its line ended.
  Dump("empty", bytes, 0);
  EXPECT_EQ(Log().substr(Log().size() - 7), "empty\r\n");
}

TEST_F(Console, TheLogGoesToTheStateFolderElseUnderHome) {
  WriteString("x");
  EXPECT_EQ(Trace_Log_Path(), dir + "/velmor4/_LOG.TXT");
  Trace_Stop();
  // A relative XDG_STATE_HOME is not taken: the home's .local/state is.
  testdir::EnvGuard rel("XDG_STATE_HOME", "relative/state");
  testdir::EnvGuard home("HOME", P("home").c_str());
  WriteString("y");
  WriteLn();
  EXPECT_EQ(Trace_Log_Path(), dir + "/home/.local/state/velmor4/_LOG.TXT");
  EXPECT_EQ(testdir::Read_Text(Trace_Log_Path()), "y\r\n");
  // A new run's log starts empty.
  Trace_Stop();
  WriteString("z");
  WriteLn();
  EXPECT_EQ(testdir::Read_Text(Trace_Log_Path()), "z\r\n");
}

TEST_F(Console, WithoutALogItCarriesOnAfterOneLineOnStderr) {
  // The state folder is a file, so no folder and no log can be made there.
  testdir::Write_Text(P("file"), "");
  testdir::EnvGuard state("XDG_STATE_HOME", P("file").c_str());
  ::testing::internal::CaptureStderr();
  EXPECT_NO_THROW({
    WriteString("kept");
    WriteLn();
    WriteString("on");
  });
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Trace_Log_Path(), "");
  EXPECT_EQ(Trace_Current_Line(), "on");
  EXPECT_NE(err.find("Trace_Init: cannot create"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST_F(Console, TheWindowShowsTheLastLinesScrolledUp) {
  wintest::Start_Dialog_Layer();
  WriteString("first");
  HWND w = Trace_Window();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(Host_Window_Title_Utf8(w), "TRACE");
  EXPECT_NE(GetWindowLong(w, GWL_EXSTYLE) & int32(WS_EX_TOPMOST), 0);
  RECT r;
  GetWindowRect(w, &r);
  const int32 sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(r.right, sw - 2);
  EXPECT_EQ(r.top, 45);
  EXPECT_EQ(r.bottom - r.top, sh * 2 / 3);
  EXPECT_EQ(r.right - r.left, sw <= 640 ? 170 : sw <= 800 ? 270 : 340);

  // Dark pixels in each row of the client area.
  HDC dc = GetDC(w);
  RECT client;
  GetClientRect(w, &client);
  auto ink_rows = [&] {
    std::vector<int32> rows;
    for (int32 y = client.top; y < client.bottom; ++y)
      for (int32 x = client.left; x < client.right; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        if (c != CLR_INVALID && (c & 0xFF) < 128) {
          rows.push_back(y);
          break;
        }
      }
    return rows;
  };
  EXPECT_TRUE(ink_rows().empty());
  WriteLn();
  const std::vector<int32> one = ink_rows();
  ASSERT_FALSE(one.empty());
  EXPECT_GE(one.front(), (r.bottom - r.top) - 46 - TRACE_LINE_HEIGHT);
  WriteString("second");
  WriteLn();
  const std::vector<int32> two = ink_rows();
  // The first line moved up a line; the second is drawn where it was.
  ASSERT_FALSE(two.empty());
  EXPECT_EQ(two.front(), one.front() - TRACE_LINE_HEIGHT);
  EXPECT_EQ(two.back(), one.back());
  Trace_Stop();
  EXPECT_FALSE(IsWindow(w));
  wintest::Clear_Port_State();
  wintest::Stop_Headless_Host();
}

}  // namespace
