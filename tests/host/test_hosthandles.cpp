// Handles of the host layer: a destroyed window, dialog, control, drawing
// object, region, menu, cursor or accelerator table is refused by every call
// for the rest of the run, however often its slot is reused; a handle of one
// kind passed as another, or a value that never was a handle, is refused
// too; stock objects and system cursors stay valid.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/HostBackend.h"
#include "host/HostControls.h"
#include "host/HostDialog.h"
#include "host/HostFont.h"
#include "host/HostGdi.h"
#include "host/HostHandles.h"
#include "host/HostMenu.h"
#include "host/HostRegion.h"
#include "host/HostScript.h"
#include "host/HostWin.h"

namespace {

constexpr int kRounds = 3000;

// The slot a handle value names (its low 24 bits).
uint32 Slot_Of(const void* h) { return uint32(reinterpret_cast<uintptr_t>(h) & kHostHandleMaxSlots); }

// Whether some dead handle names the slot of a live one: the loop really
// reused slots, so only the generation tells the two apart.
template <class H>
bool Slot_Reused(const std::vector<H>& dead, H live) {
  for (H d : dead)
    if (Slot_Of(d) == Slot_Of(live)) return true;
  return false;
}

// --- The table itself ---------------------------------------------------------------

struct Thing {
  int value = 0;
};

TEST(HostHandleTable, GenerationsSeparateTheObjectsOfOneSlot) {
  HostHandleTable<Thing> table;
  Thing a{1}, b{2};
  void* ha = table.Add(&a, HostHandleKind::kPen);
  ASSERT_NE(ha, nullptr);
  EXPECT_NE(Slot_Of(ha), 0u);  // slot 0 is never a handle
  EXPECT_EQ(table.Find(ha, HostHandleKind::kPen), &a);
  EXPECT_EQ(table.Find(ha, HostHandleKind::kBrush), nullptr);  // another kind
  EXPECT_EQ(table.Find(nullptr, HostHandleKind::kPen), nullptr);
  ASSERT_TRUE(table.Remove(ha));
  EXPECT_FALSE(table.Remove(ha));
  void* hb = table.Add(&b, HostHandleKind::kPen);
  EXPECT_EQ(Slot_Of(hb), Slot_Of(ha));  // the slot is reused ...
  EXPECT_NE(hb, ha);                    // ... with a new generation
  EXPECT_EQ(table.Find(ha, HostHandleKind::kPen), nullptr);
  EXPECT_EQ(table.Find(hb, HostHandleKind::kPen), &b);
  EXPECT_EQ(table.Live(), 1u);
}

TEST(HostHandleTable, ASlotWhoseGenerationsRunOutIsRetired) {
  HostHandleTable<Thing> table;
  Thing a, b, c;
  void* first = table.Add(&a, HostHandleKind::kRegion);
  table.Remove(first);
  table.Test_Set_Next_Generation(0xFFFFFFFFu);  // as though reused four billion times
  void* last = table.Add(&b, HostHandleKind::kRegion);
  EXPECT_EQ(Slot_Of(last), Slot_Of(first));
  EXPECT_EQ(reinterpret_cast<uintptr_t>(last) >> 32, 0xFFFFFFFFu);
  table.Remove(last);
  // The generation would wrap to values handed out before: the slot is not used again.
  void* next = table.Add(&c, HostHandleKind::kRegion);
  EXPECT_NE(Slot_Of(next), Slot_Of(first));
  EXPECT_EQ(table.Find(first, HostHandleKind::kRegion), nullptr);
  EXPECT_EQ(table.Find(last, HostHandleKind::kRegion), nullptr);
  EXPECT_EQ(table.Find(next, HostHandleKind::kRegion), &c);
}

// --- Windows, dialogs and controls -------------------------------------------------------

LRESULT Plain_Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) return 77;
  return DefWindowProc(h, m, w, l);
}

intptr_t Dialog_Proc(HWND, UINT m, WPARAM, LPARAM) { return m == WM_INITDIALOG ? 1 : 0; }

class HostHandlesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Win_Reset();
    Host_Menu_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Host_Controls_Init();
    WNDCLASS wc;
    wc.lpfnWndProc = Plain_Proc;
    wc.cbWndExtra = 12;
    wc.lpszClassName = "HANDLES";
    ASSERT_NE(RegisterClass(&wc), 0);
  }
  void TearDown() override {
    Host_Menu_Reset();
    Host_Win_Reset();
    Host_Backend_Stop();
    Host_Script_Reset();
  }
  static HWND Top() {
    return CreateWindowEx(0, "HANDLES", u"t", WS_POPUP | WS_VISIBLE, 10, 10, 40, 30, nullptr, nullptr, nullptr,
                          nullptr);
  }
  static HWND Button(HWND parent, int32 id) {
    return CreateWindowEx(0, "BUTTON", u"b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 2, 2, 20, 12, parent,
                          reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
  }
  // What a destroyed window gets from a representative set of calls.
  static void Expect_Window_Refused(HWND h) {
    RECT r{1, 2, 3, 4};
    POINT p{5, 6};
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(SendMessage(h, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessage(h, WM_USER, 0, 0));
    EXPECT_EQ(GetWindowLongPtr(h, 0), 0);
    EXPECT_EQ(SetWindowLongPtr(h, 0, 5), 0);
    EXPECT_FALSE(SetWindowTextW(h, u"x"));
    EXPECT_FALSE(GetClientRect(h, &r));
    EXPECT_FALSE(ClientToScreen(h, &p));
    EXPECT_FALSE(ShowWindow(h, SW_SHOW));
    EXPECT_FALSE(SetWindowPos(h, nullptr, 0, 0, 10, 10, SWP_NOZORDER));
    EXPECT_FALSE(InvalidateRect(h, nullptr, true));
    EXPECT_FALSE(DestroyWindow(h));
    EXPECT_EQ(GetDC(h), nullptr);
    EXPECT_EQ(GetParent(h), nullptr);
    EXPECT_EQ(GetDlgItem(h, 1), nullptr);
    EXPECT_EQ(SetFocus(h), nullptr);
    EXPECT_EQ(Host_Window_Surface(h), nullptr);
  }
};

TEST_F(HostHandlesTest, DestroyedWindowsAndControlsStayDeadWhileTheirSlotsAreReused) {
  HWND keep = Top();  // lives through the whole loop
  ASSERT_NE(keep, nullptr);
  std::vector<HWND> dead;
  HWND last = nullptr, last_button = nullptr;
  for (int i = 0; i < kRounds; ++i) {
    HWND w = Top();
    ASSERT_NE(w, nullptr);
    HWND b = Button(w, 100 + i);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(IsWindow(w));
    ASSERT_EQ(GetDlgItem(w, 100 + i), b);
    if (i + 1 == kRounds) {
      last = w;
      last_button = b;
      break;
    }
    ASSERT_TRUE(DestroyWindow(w));  // takes the button with it
    dead.push_back(w);
    dead.push_back(b);
  }
  EXPECT_TRUE(Slot_Reused(dead, last));
  for (HWND h : dead) {
    Expect_Window_Refused(h);
    if (HasFailure()) break;
  }
  // The windows made after them are untouched by calls through the old handles.
  EXPECT_TRUE(IsWindow(keep));
  EXPECT_TRUE(IsWindow(last));
  EXPECT_EQ(SendMessage(last, WM_USER, 0, 0), 77);
  EXPECT_EQ(GetParent(last_button), last);
  EXPECT_EQ(Host_Top_Windows().size(), 2u);
}

LRESULT Leaving_Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_ACTIVATE && LOWORD(w) != WA_INACTIVE) {
    DestroyWindow(h);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

TEST_F(HostHandlesTest, AWindowThatDestroysItselfWhileBeingShownIsLeftAlone) {
  WNDCLASS wc;
  wc.lpfnWndProc = Leaving_Proc;
  wc.lpszClassName = "LEAVING";
  ASSERT_NE(RegisterClass(&wc), 0);
  HWND h = CreateWindowEx(0, "LEAVING", u"l", WS_POPUP, 0, 0, 30, 30, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_FALSE(ShowWindow(h, SW_SHOW));  // activation destroys it; nothing is written to it after
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  HWND next = Top();
  EXPECT_TRUE(IsWindow(next));
  EXPECT_FALSE(IsWindow(h));
}

TEST_F(HostHandlesTest, DestroyedDialogsAndTheirItemsAreRefused) {
  HostDlgTemplate t;
  t.title = "D";
  t.style = WS_CAPTION | WS_VISIBLE;
  t.cx = 200;
  t.cy = 100;
  for (int32 id : {10, 11}) {
    HostDlgItemTemplate it;
    it.cls = id == 10 ? "EDIT" : "BUTTON";
    it.id = id;
    it.text = "x";
    it.x = 5;
    it.y = 5 + 30 * (id - 10);
    it.cx = 80;
    it.cy = 22;
    it.style = WS_VISIBLE | WS_TABSTOP;
    t.items.push_back(it);
  }
  std::vector<HWND> dialogs, items;
  HWND owner = Top();
  HWND live = nullptr;
  for (int i = 0; i < 300; ++i) {
    HWND d = CreateDialogIndirectParam(nullptr, &t, owner, Dialog_Proc, 0);
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(Host_Is_Dialog(d));
    HWND edit = GetDlgItem(d, 10);
    ASSERT_NE(edit, nullptr);
    if (i == 299) {
      live = d;
      break;
    }
    ASSERT_TRUE(DestroyWindow(d));
    dialogs.push_back(d);
    items.push_back(edit);
  }
  EXPECT_TRUE(Slot_Reused(dialogs, live) || Slot_Reused(items, live));
  char16_t buf[8] = u"keep";
  for (HWND d : dialogs) {
    EXPECT_FALSE(IsWindow(d));
    EXPECT_FALSE(Host_Is_Dialog(d));
    EXPECT_FALSE(SetDlgItemTextW(d, 10, u"gone"));
    EXPECT_EQ(GetDlgItemTextW(d, 10, buf, 8), 0);
    EXPECT_FALSE(EndDialog(d, 1));
    MSG m{d, WM_KEYDOWN, WPARAM(VK_TAB), 1, 0, {0, 0}};
    EXPECT_FALSE(IsDialogMessage(d, &m));
    if (HasFailure()) break;
  }
  for (HWND e : items) {
    EXPECT_FALSE(IsWindow(e));
    EXPECT_FALSE(SetWindowTextW(e, u"gone"));
    if (HasFailure()) break;
  }
  // The live dialog kept its own text.
  ASSERT_TRUE(SetDlgItemTextW(live, 10, u"mine"));
  EXPECT_EQ(GetDlgItemTextW(live, 10, buf, 8), 4);
  EXPECT_EQ(std::u16string(buf), u"mine");
}

// --- Drawing objects and regions ---------------------------------------------------------

TEST_F(HostHandlesTest, DeletedDrawingObjectsAreRefusedAndNothingLeaks) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP canvas = Host_NewSurface(4, 4, 32, nullptr, 0);
  HGDIOBJ old_bm = SelectObject(dc, canvas);
  ASSERT_NE(old_bm, nullptr);
  const size_t live = Host_Gdi_Live_Objects();
  std::vector<HGDIOBJ> dead;
  std::vector<HDC> dead_dcs;
  HBRUSH live_brush = nullptr;
  for (int i = 0; i < kRounds; ++i) {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    HBITMAP bm = Host_NewSurface(2, 2, 8, nullptr, 0);
    LOGPALETTE lp{};
    lp.palVersion = 0x300;
    lp.palNumEntries = 2;
    HPALETTE pal = CreatePalette(&lp);
    HDC mem = CreateCompatibleDC(nullptr);
    HostLogFont lf;
    lf.lfHeight = -10;
    HFONT font = CreateFontIndirectW(&lf);
    ASSERT_TRUE(pen && brush && bm && pal && mem && font);
    if (i + 1 == kRounds) {
      live_brush = brush;
      for (HGDIOBJ o : {HGDIOBJ(pen), HGDIOBJ(bm), HGDIOBJ(pal), HGDIOBJ(font)}) DeleteObject(o);
      DeleteDC(mem);
      break;
    }
    for (HGDIOBJ o : {HGDIOBJ(pen), HGDIOBJ(brush), HGDIOBJ(bm), HGDIOBJ(pal), HGDIOBJ(font)}) {
      ASSERT_TRUE(DeleteObject(o));
      dead.push_back(o);
    }
    ASSERT_TRUE(DeleteDC(mem));
    dead_dcs.push_back(mem);
  }
  EXPECT_TRUE(Slot_Reused(dead, HGDIOBJ(live_brush)));
  EXPECT_EQ(Host_Gdi_Live_Objects(), live + 1);  // the brush kept from the last round

  const RECT all{0, 0, 4, 4};
  PALETTEENTRY pe[2];
  BITMAPINFO info{};
  info.bmiHeader.biSize = 40;
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = -2;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  uint32 px[4];
  for (HGDIOBJ o : dead) {
    EXPECT_EQ(GetObjectType(o), 0);
    EXPECT_EQ(SelectObject(dc, o), nullptr);
    EXPECT_FALSE(DeleteObject(o));
    EXPECT_EQ(FillRect(dc, &all, static_cast<HBRUSH>(o)), 0);
    EXPECT_EQ(GetPaletteEntries(static_cast<HPALETTE>(o), 0, 2, pe), 0u);
    EXPECT_EQ(CreatePatternBrush(static_cast<HBITMAP>(o)), nullptr);
    EXPECT_EQ(GetDIBits(dc, static_cast<HBITMAP>(o), 0, 2, px, &info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(Host_Surface(static_cast<HBITMAP>(o)), nullptr);
    HostLogFont lf;
    EXPECT_FALSE(Host_GetLogFont(o, &lf));
    if (HasFailure()) break;
  }
  for (HDC d : dead_dcs) {
    EXPECT_FALSE(DeleteDC(d));
    EXPECT_FALSE(LineTo(d, 3, 3));
    EXPECT_EQ(GetPixel(d, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetTextColor(d, 0), CLR_INVALID);
    EXPECT_EQ(SaveDC(d), 0);
    if (HasFailure()) break;
  }
  // The DC still draws with what it holds: the old handles changed nothing.
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), HGDIOBJ(canvas));
  EXPECT_EQ(FillRect(dc, &all, live_brush), 1);
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(0, 0, 255));
  DeleteObject(live_brush);
  SelectObject(dc, old_bm);
  DeleteObject(canvas);
  DeleteDC(dc);
}

TEST_F(HostHandlesTest, DeletedRegionsAreRefusedAndTheirSlotsNewRegionsUntouched) {
  HWND w = Top();
  const size_t live = Host_Rgn_Live_Count();
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP canvas = Host_NewSurface(8, 8, 32, nullptr, 0);
  SelectObject(dc, canvas);
  std::vector<HRGN> dead;
  HRGN keep = nullptr;
  for (int i = 0; i < kRounds; ++i) {
    HRGN r = (i % 2) ? CreateRectRgn(0, 0, 10, 10) : CreateEllipticRgn(0, 0, 12, 8);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(OffsetRgn(r, 1, 1), i % 2 ? SIMPLEREGION : COMPLEXREGION);
    if (i + 1 == kRounds) {
      keep = r;
      break;
    }
    ASSERT_TRUE(DeleteRgn(r));
    dead.push_back(r);
  }
  ASSERT_TRUE(SetRectRgn(keep, 2, 2, 4, 4));
  EXPECT_TRUE(Slot_Reused(dead, keep));
  EXPECT_EQ(Host_Rgn_Live_Count(), live + 1);
  HRGN other = CreateRectRgn(0, 0, 1, 1);
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
  for (HRGN r : dead) {
    RECT box{1, 1, 1, 1};
    EXPECT_EQ(GetRgnBox(r, &box), ERROR);
    EXPECT_EQ(box.right, 0);
    EXPECT_EQ(CombineRgn(r, keep, nullptr, RGN_COPY), ERROR);  // no writing through an old handle
    EXPECT_EQ(CombineRgn(other, r, keep, RGN_OR), ERROR);
    EXPECT_EQ(OffsetRgn(r, 1, 1), ERROR);
    EXPECT_FALSE(SetRectRgn(r, 0, 0, 1, 1));
    EXPECT_FALSE(PtInRegion(r, 3, 3));
    EXPECT_FALSE(EqualRgn(r, r));
    EXPECT_EQ(GetRegionData(r, 0, nullptr), 0u);
    EXPECT_TRUE(Host_Rgn_Boxes(r).empty());
    EXPECT_FALSE(DeleteRgn(r));
    EXPECT_FALSE(DeleteObject(r));
    EXPECT_EQ(GetObjectType(r), 0);
    EXPECT_EQ(SelectClipRgn(dc, r), ERROR);
    EXPECT_EQ(SelectObject(dc, r), nullptr);
    EXPECT_FALSE(FillRgn(dc, r, brush));
    EXPECT_FALSE(InvalidateRgn(w, r, false));
    if (HasFailure()) break;
  }
  RECT box;
  EXPECT_EQ(GetRgnBox(keep, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 2);
  EXPECT_EQ(box.bottom, 4);
  EXPECT_EQ(GetObjectType(keep), OBJ_REGION);
  DeleteRgn(keep);
  DeleteRgn(other);
  DeleteObject(brush);
  DeleteDC(dc);
  DeleteObject(canvas);
  EXPECT_EQ(Host_Rgn_Live_Count(), live);
}

TEST_F(HostHandlesTest, StockObjectsAndSystemCursorsOutliveEverything) {
  const HGDIOBJ white = GetStockObject(WHITE_BRUSH);
  const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  for (int i = 0; i < 100; ++i) {
    EXPECT_TRUE(DeleteObject(white));  // refused quietly, as GDI does
    EXPECT_TRUE(DestroyCursor(arrow));
    DeleteObject(CreateSolidBrush(0));
  }
  Host_Win_Reset();
  EXPECT_EQ(GetStockObject(WHITE_BRUSH), white);
  EXPECT_EQ(GetObjectType(white), OBJ_BRUSH);
  EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), arrow);
  EXPECT_EQ(Host_Cursor_System_Id(arrow), IDC_ARROW);
  EXPECT_EQ(GetStockObject(99), nullptr);
}

// --- Menus, cursors, accelerators ---------------------------------------------------------

TEST_F(HostHandlesTest, DestroyedMenusCursorsAndAcceleratorTablesAreRefused) {
  std::vector<HMENU> dead_menus;
  std::vector<HCURSOR> dead_cursors;
  std::vector<HACCEL> dead_accels;
  const std::vector<uint32> pixels(16 * 16, 0xFF000000u);
  const ACCEL keys[1] = {{FVIRTKEY | FCONTROL, uint16('S'), 7}};
  for (int i = 0; i < kRounds; ++i) {
    HMENU sub = CreatePopupMenu();
    HMENU bar = CreateMenu();
    ASSERT_TRUE(AppendMenuW(sub, MF_STRING, 5, u"&Item"));
    ASSERT_TRUE(AppendMenuW(bar, MF_POPUP, reinterpret_cast<uintptr_t>(sub), u"&File"));
    ASSERT_TRUE(DestroyMenu(bar));  // takes its pop-up with it
    dead_menus.push_back(bar);
    dead_menus.push_back(sub);
    HCURSOR c = Host_Create_Color_Cursor(16, 16, 1, 1, pixels.data());
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(SetCursor(c), LoadCursor(nullptr, IDC_ARROW));
    ASSERT_TRUE(DestroyCursor(c));  // the arrow comes back
    dead_cursors.push_back(c);
    HACCEL a = CreateAcceleratorTable(keys, 1);
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(DestroyAcceleratorTable(a));
    dead_accels.push_back(a);
  }
  HMENU menu = CreatePopupMenu();
  HCURSOR cursor = Host_Create_Color_Cursor(16, 16, 1, 1, pixels.data());
  HACCEL accel = CreateAcceleratorTable(keys, 1);
  EXPECT_TRUE(Slot_Reused(dead_menus, menu));
  EXPECT_TRUE(Slot_Reused(dead_cursors, cursor));
  EXPECT_TRUE(Slot_Reused(dead_accels, accel));
  SetCursor(cursor);

  HWND w = Top();
  MSG key{w, WM_KEYDOWN, WPARAM('S'), 1, 0, {0, 0}};
  ACCEL out[1];
  std::vector<uint32> bgra;
  int32 cw, ch, hx, hy;
  for (HMENU m : dead_menus) {
    EXPECT_FALSE(IsMenu(m));
    EXPECT_EQ(GetMenuItemCount(m), -1);
    EXPECT_FALSE(AppendMenuW(m, MF_STRING, 1, u"x"));
    EXPECT_EQ(EnableMenuItem(m, 0, MF_BYPOSITION | MF_GRAYED), kMenuFailed);
    EXPECT_EQ(GetSubMenu(m, 0), nullptr);
    EXPECT_FALSE(DestroyMenu(m));
    EXPECT_FALSE(AppendMenuW(menu, MF_POPUP, reinterpret_cast<uintptr_t>(m), u"old"));
    if (HasFailure()) break;
  }
  for (HCURSOR c : dead_cursors) {
    EXPECT_FALSE(DestroyCursor(c));
    EXPECT_EQ(SetCursor(c), cursor);  // refused: the current cursor stays
    EXPECT_FALSE(Host_Cursor_Image(c, cw, ch, hx, hy, bgra));
    if (HasFailure()) break;
  }
  EXPECT_EQ(GetCursor(), cursor);
  for (HACCEL a : dead_accels) {
    EXPECT_EQ(CopyAcceleratorTable(a, out, 1), 0);
    EXPECT_FALSE(TranslateAccelerator(w, a, &key));
    EXPECT_FALSE(DestroyAcceleratorTable(a));
    if (HasFailure()) break;
  }
  EXPECT_EQ(GetMenuItemCount(menu), 0);
  EXPECT_EQ(CopyAcceleratorTable(accel, out, 1), 1);
  EXPECT_TRUE(DestroyMenu(menu));
  EXPECT_TRUE(DestroyAcceleratorTable(accel));
  EXPECT_TRUE(DestroyCursor(cursor));
}

TEST_F(HostHandlesTest, AMenuBarDestroyedUnderItsWindowIsNeverDrawn) {
  Host_Menu_Install();
  HWND w = CreateWindowEx(0, "HANDLES", u"t", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                          nullptr, nullptr);
  HMENU bar = CreateMenu();
  ASSERT_TRUE(AppendMenuW(bar, MF_STRING, 3, u"&Go"));
  ASSERT_TRUE(SetMenu(w, bar));
  ASSERT_TRUE(DestroyMenu(bar));
  // A new menu takes the slot; the window still holds the old handle.
  HMENU other = CreateMenu();
  ASSERT_TRUE(AppendMenuW(other, MF_STRING, 4, u"&Stop"));
  EXPECT_EQ(GetMenu(w), bar);
  EXPECT_TRUE(DrawMenuBar(w));  // paints the empty strip only
  RECT r;
  EXPECT_FALSE(Host_Menu_Title_Rect(w, 0, &r));
  EXPECT_EQ(Host_Menu_Track_Bar(w, 0, false), 0);
  // The old handle cannot be given to a window again.
  EXPECT_FALSE(SetMenu(w, bar));
  EXPECT_EQ(CreateWindowEx(0, "HANDLES", u"t", WS_OVERLAPPEDWINDOW, 0, 0, 90, 60, nullptr, bar, nullptr, nullptr),
            nullptr);
  EXPECT_TRUE(SetMenu(w, other));
  EXPECT_TRUE(Host_Menu_Title_Rect(w, 0, &r));
  EXPECT_TRUE(DestroyMenu(other));
}

// --- Handles of one kind passed as another, and values that never were handles -----

TEST_F(HostHandlesTest, AHandleOfAnotherKindOrAMadeUpValueIsRefused) {
  HWND w = Top();
  HRGN rgn = CreateRectRgn(0, 0, 5, 5);
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  HBRUSH brush = CreateSolidBrush(0);
  HBITMAP bm = Host_NewSurface(2, 2, 32, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HMENU menu = CreatePopupMenu();
  const std::vector<uint32> pixels(4, 0xFF000000u);
  HCURSOR cursor = Host_Create_Color_Cursor(2, 2, 0, 0, pixels.data());
  int stack_value = 0;
  ASSERT_TRUE(w && rgn && pen && brush && bm && dc && menu && cursor);

  const RECT all{0, 0, 2, 2};
  // Drawing objects and regions as windows.
  for (void* v : {static_cast<void*>(rgn), static_cast<void*>(pen), static_cast<void*>(dc),
                  static_cast<void*>(menu), static_cast<void*>(cursor)}) {
    EXPECT_FALSE(IsWindow(static_cast<HWND>(v)));
    EXPECT_FALSE(DestroyWindow(static_cast<HWND>(v)));
  }
  // Windows, menus and cursors as drawing objects or regions.
  for (void* v : {static_cast<void*>(w), static_cast<void*>(menu), static_cast<void*>(cursor)}) {
    EXPECT_EQ(GetObjectType(v), 0);
    EXPECT_FALSE(DeleteObject(v));
    EXPECT_EQ(SelectObject(dc, v), nullptr);
    EXPECT_EQ(GetRgnBox(static_cast<HRGN>(v), nullptr), ERROR);
  }
  // One drawing kind as another.
  EXPECT_EQ(FillRect(dc, &all, reinterpret_cast<HBRUSH>(pen)), 0);
  EXPECT_EQ(CreatePatternBrush(reinterpret_cast<HBITMAP>(brush)), nullptr);
  EXPECT_EQ(GetPaletteEntries(reinterpret_cast<HPALETTE>(bm), 0, 0, nullptr), 0u);
  EXPECT_EQ(Host_Surface(reinterpret_cast<HBITMAP>(dc)), nullptr);
  EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(bm)));
  EXPECT_FALSE(LineTo(reinterpret_cast<HDC>(pen), 1, 1));
  EXPECT_EQ(CombineRgn(reinterpret_cast<HRGN>(bm), rgn, nullptr, RGN_COPY), ERROR);
  EXPECT_EQ(SelectClipRgn(dc, reinterpret_cast<HRGN>(brush)), ERROR);
  EXPECT_FALSE(FillRgn(dc, reinterpret_cast<HRGN>(pen), brush));
  // Menus, cursors and windows among themselves.
  EXPECT_FALSE(IsMenu(reinterpret_cast<HMENU>(cursor)));
  EXPECT_FALSE(IsMenu(reinterpret_cast<HMENU>(w)));
  EXPECT_FALSE(DestroyCursor(reinterpret_cast<HCURSOR>(menu)));
  EXPECT_EQ(CopyAcceleratorTable(reinterpret_cast<HACCEL>(menu), nullptr, 0), 0);
  // Values that never were handles: small numbers, all ones, an address.
  for (uintptr_t v : {uintptr_t(1), uintptr_t(0x1234), ~uintptr_t(0), reinterpret_cast<uintptr_t>(&stack_value),
                      reinterpret_cast<uintptr_t>(w) ^ (uintptr_t(1) << 40)}) {
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(v)));
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(v)), 0);
    EXPECT_EQ(GetRgnBox(reinterpret_cast<HRGN>(v), nullptr), ERROR);
    EXPECT_FALSE(IsMenu(reinterpret_cast<HMENU>(v)));
    EXPECT_EQ(Host_Cursor_System_Id(reinterpret_cast<HCURSOR>(v)), 0u);
  }
  // Each one is still what it was.
  EXPECT_TRUE(IsWindow(w));
  EXPECT_EQ(GetObjectType(rgn), OBJ_REGION);
  EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
  EXPECT_EQ(GetObjectType(brush), OBJ_BRUSH);
  EXPECT_EQ(GetObjectType(bm), OBJ_BITMAP);
  EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
  EXPECT_TRUE(IsMenu(menu));
  DeleteRgn(rgn);
  DeleteObject(pen);
  DeleteObject(brush);
  DeleteObject(bm);
  DeleteDC(dc);
  DestroyMenu(menu);
  DestroyCursor(cursor);
}

}  // namespace
