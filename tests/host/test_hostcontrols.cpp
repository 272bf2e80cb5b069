// Child controls: buttons and radio groups, edit-field keyboard editing and
// limits, combo-box selection and its dropped list, scroll-bar ranges and
// codes, and pixel checks that the controls draw (with a focus rectangle).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "host/HostBackend.h"
#include "host/HostControls.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "host/HostWinCore.h"

namespace {

struct Note {
  UINT msg;
  int32 id;
  int32 code;
  int32 pos;
};
std::vector<Note> g_notes;

LRESULT Parent_Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND) g_notes.push_back({m, int32(LOWORD(w)), int32(HIWORD(w)), 0});
  if (m == WM_HSCROLL || m == WM_VSCROLL) g_notes.push_back({m, GetDlgCtrlID(reinterpret_cast<HWND>(l)), int32(LOWORD(w)), int32(int16(HIWORD(w)))});
  return DefWindowProc(h, m, w, l);
}

class ControlsTest : public ::testing::Test {
 protected:
  HWND parent = nullptr;
  void SetUp() override {
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Host_Controls_Init();
    WNDCLASS wc;
    wc.lpfnWndProc = Parent_Proc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "CTLPARENT";
    ASSERT_NE(RegisterClass(&wc), 0);
    parent = CreateWindowEx(0, "CTLPARENT", u"p", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr,
                            nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    Pump();
    g_notes.clear();
  }
  void TearDown() override {
    Host_Win_Reset();
    Host_Backend_Stop();
    Host_Script_Reset();
  }
  HWND Make(const char* cls, uint32 style, int32 id, int32 x, int32 y, int32 w, int32 h, const char16_t* text = u"") {
    return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                          reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
  }
  void Pump() {
    MSG m;
    for (int32 guard = 0; guard < 10000 && PeekMessage(&m, nullptr, 0, 0, PM_REMOVE); ++guard) {
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
  }
  void Key(int32 vk, bool shift = false, bool ctrl = false) {
    if (shift) hostwin::Input_Key(VK_SHIFT, true, false, false);
    if (ctrl) hostwin::Input_Key(VK_CONTROL, true, false, false);
    hostwin::Input_Key(vk, true, false, false);
    hostwin::Input_Key(vk, false, false, false);
    if (ctrl) hostwin::Input_Key(VK_CONTROL, false, false, false);
    if (shift) hostwin::Input_Key(VK_SHIFT, false, false, false);
    Pump();
  }
  void Type(const std::u16string& s) {
    for (char16_t c : s) hostwin::Input_Char(c);
    Pump();
  }
  // Screen point of a control's client point.
  POINT At(HWND c, int32 x, int32 y) {
    POINT p{x, y};
    ClientToScreen(c, &p);
    return p;
  }
  void Click(HWND c, int32 x, int32 y) {
    hostwin::Input_Button(0, true, At(c, x, y));
    hostwin::Input_Button(0, false, At(c, x, y));
    Pump();
  }
  std::u16string Text(HWND c) {
    char16_t buf[512];
    GetWindowTextW(c, buf, 512);
    return buf;
  }
  int32 Count(int32 id, int32 code) {
    int32 n = 0;
    for (const Note& x : g_notes)
      if (x.msg == WM_COMMAND && x.id == id && x.code == code) ++n;
    return n;
  }
};

// --- Buttons ---

TEST_F(ControlsTest, CheckBoxesToggleOnlyWhenAutomaticAndAlwaysNotify) {
  HWND autob = Make("BUTTON", BS_AUTOCHECKBOX, 5, 10, 10, 100, 20);
  HWND plain = Make("button", BS_CHECKBOX, 6, 10, 40, 100, 20);
  HWND tri = Make("BUTTON", BS_AUTO3STATE, 7, 10, 70, 100, 20);
  SendMessage(autob, BM_CLICK, 0, 0);
  SendMessage(plain, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessage(autob, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
  EXPECT_EQ(SendMessage(plain, BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));
  EXPECT_EQ(Count(5, BN_CLICKED), 1);
  EXPECT_EQ(Count(6, BN_CLICKED), 1);
  // Three states cycle; a two-state box takes "indeterminate" as checked.
  SendMessage(tri, BM_CLICK, 0, 0);
  SendMessage(tri, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessage(tri, BM_GETCHECK, 0, 0), LRESULT(BST_INDETERMINATE));
  SendMessage(tri, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessage(tri, BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));
  SendMessage(plain, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(SendMessage(plain, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
  // A disabled button neither changes nor notifies.
  EnableWindow(autob, false);
  SendMessage(autob, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessage(autob, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
  EXPECT_EQ(Count(5, BN_CLICKED), 1);
}

TEST_F(ControlsTest, MouseAndSpacePressAButtonOnlyWhenReleasedOverIt) {
  HWND b = Make("BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 9, 10, 10, 80, 24, u"Go");
  Click(b, 20, 10);
  EXPECT_EQ(Count(9, BN_CLICKED), 1);
  EXPECT_EQ(GetFocus(), b);
  // Pressed, dragged off and released outside: no click.
  hostwin::Input_Button(0, true, At(b, 20, 10));
  Pump();
  EXPECT_TRUE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  hostwin::Input_Mouse_Move(At(b, 200, 100));
  hostwin::Input_Button(0, false, At(b, 200, 100));
  Pump();
  EXPECT_EQ(Count(9, BN_CLICKED), 1);
  EXPECT_FALSE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  Key(VK_SPACE);
  EXPECT_EQ(Count(9, BN_CLICKED), 2);
}

TEST_F(ControlsTest, AutoRadioButtonsClearTheirGroupOnly) {
  HWND a = Make("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 21, 10, 10, 100, 20);
  HWND b = Make("BUTTON", BS_AUTORADIOBUTTON, 22, 10, 30, 100, 20);
  HWND c = Make("BUTTON", BS_AUTORADIOBUTTON, 23, 10, 50, 100, 20);
  HWND d = Make("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 31, 150, 10, 100, 20);
  SendMessage(d, BM_SETCHECK, BST_CHECKED, 0);
  SendMessage(a, BM_CLICK, 0, 0);
  Click(c, 5, 10);
  EXPECT_EQ(SendMessage(a, BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));
  EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));
  EXPECT_EQ(SendMessage(c, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
  EXPECT_EQ(SendMessage(d, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));  // another group
  EXPECT_EQ(Host_Control_Group(b), (std::vector<HWND>{a, b, c}));
  EXPECT_EQ(Host_Control_Group(d), (std::vector<HWND>{d}));
}

// --- Edit fields ---

TEST_F(ControlsTest, EditTypingBackspaceArrowsAndSelection) {
  HWND e = Make("EDIT", WS_TABSTOP, 40, 10, 10, 200, 22);
  SetFocus(e);
  g_notes.clear();
  Type(u"hello");
  EXPECT_EQ(Text(e), u"hello");
  EXPECT_EQ(Count(40, EN_CHANGE), 5);
  Key(VK_BACK);
  EXPECT_EQ(Text(e), u"hell");
  Key(VK_LEFT);
  Key(VK_LEFT);
  Type(u"X");
  EXPECT_EQ(Text(e), u"heXll");
  // Shift+Home selects back to the start; typing replaces the selection.
  Key(VK_HOME, true);
  uint32 a = 9, b = 9;
  SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(a, 0u);
  EXPECT_EQ(b, 3u);
  Type(u"J");
  EXPECT_EQ(Text(e), u"Jll");
  Key(VK_END);
  Key(VK_LEFT, true);
  Key(VK_DELETE);
  EXPECT_EQ(Text(e), u"Jl");
  // Ctrl+A then typing replaces everything; Ctrl+Z undoes the last change.
  Type(std::u16string(1, char16_t(1)));
  Type(u"new");
  EXPECT_EQ(Text(e), u"new");
  Type(std::u16string(1, char16_t(26)));
  EXPECT_EQ(Text(e), u"ne");
  // Copy and paste through the controls' clipboard.
  SendMessage(e, EM_SETSEL, 0, -1);
  Type(std::u16string(1, char16_t(3)));
  Key(VK_END);
  Type(std::u16string(1, char16_t(22)));
  EXPECT_EQ(Text(e), u"nene");
}

TEST_F(ControlsTest, EditLimitNumberAndSurrogatePairs) {
  HWND e = Make("EDIT", ES_NUMBER, 41, 10, 10, 200, 22);
  SetFocus(e);
  SendMessage(e, EM_LIMITTEXT, 4, 0);
  g_notes.clear();
  Type(u"12a345");
  EXPECT_EQ(Text(e), u"1234");
  EXPECT_EQ(Count(41, EN_MAXTEXT), 1);
  EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), 4);
  // WM_SETTEXT beyond the limit is cut; it reports EN_CHANGE.
  g_notes.clear();
  SetWindowTextW(e, u"");
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"987654"));
  EXPECT_EQ(Text(e), u"9876");
  EXPECT_EQ(Count(41, EN_CHANGE), 1);

  HWND u = Make("EDIT", 0, 42, 10, 40, 200, 22);
  SetFocus(u);
  SendMessage(u, EM_LIMITTEXT, 3, 0);
  // A pair that would be cut in half at the limit is left out whole.
  SendMessage(u, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(u"ab\U0001F600"));
  EXPECT_EQ(Text(u), u"ab");
  SendMessage(u, EM_LIMITTEXT, 0, 0);
  SendMessage(u, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(u"\U0001F600c"));
  EXPECT_EQ(Text(u), u"ab\U0001F600c");
  Key(VK_BACK);
  Key(VK_BACK);  // both units of the pair go at once
  EXPECT_EQ(Text(u), u"ab");
  Key(VK_LEFT);
  Key(VK_RIGHT, true);
  uint32 a = 0, b = 0;
  SendMessage(u, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(a, 1u);
  EXPECT_EQ(b, 2u);
  // A single line takes no line breaks from pasted text.
  SendMessage(u, EM_SETSEL, 0, -1);
  SendMessage(u, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(u"one\r\ntwo"));
  EXPECT_EQ(Text(u), u"one");
}

TEST_F(ControlsTest, MultiLineEditEnterAndUpDown) {
  HWND e = Make("EDIT", ES_MULTILINE | ES_WANTRETURN, 43, 10, 10, 200, 80);
  SetFocus(e);
  Type(u"abc\rxy");
  EXPECT_EQ(Text(e), u"abc\r\nxy");
  EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_TRUE(SendMessage(e, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
  Key(VK_UP);
  Type(u"Q");
  EXPECT_EQ(Text(e), u"abQc\r\nxy");
  Key(VK_END);
  Key(VK_DELETE);  // joins the lines: CR LF goes as one
  EXPECT_EQ(Text(e), u"abQcxy");
}

// --- Combo boxes ---

TEST_F(ControlsTest, ComboSelectionByProgramAndByKeys) {
  HWND c = Make("combobox", CBS_DROPDOWNLIST | WS_VSCROLL, 50, 10, 10, 150, 150);
  RECT wr;
  GetWindowRect(c, &wr);
  EXPECT_LT(wr.bottom - wr.top, 40);  // the field only
  RECT dr{};
  SendMessage(c, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dr));
  EXPECT_EQ(dr.bottom - dr.top, 150);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), CB_ERR);
  for (const char16_t* s : {u"One", u"Two", u"Three"}) SendMessage(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  EXPECT_EQ(SendMessage(c, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessage(c, CB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(SendMessage(c, CB_SETCURSEL, 7, 0), CB_ERR);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), CB_ERR);
  SendMessage(c, CB_SETCURSEL, 1, 0);
  EXPECT_EQ(Count(50, CBN_SELCHANGE), 0);  // the program's changes are not reported
  SetFocus(c);
  Key(VK_DOWN);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
  Key(VK_DOWN);  // already at the end: no change, no report
  EXPECT_EQ(Count(50, CBN_SELCHANGE), 1);
  Key(VK_HOME);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 0);
  Type(u"t");  // first entry after the selection starting with "t"
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Count(50, CBN_SELCHANGE), 3);
  char16_t buf[16];
  EXPECT_EQ(SendMessage(c, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(buf)), 5);
  EXPECT_EQ(std::u16string(buf), u"Three");
  EXPECT_EQ(SendMessage(c, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(buf)), CB_ERR);
  EXPECT_EQ(SendMessage(c, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(u"three")), 2);
}

TEST_F(ControlsTest, ComboSortsAndPicksFromTheDroppedList) {
  HWND c = Make("COMBOBOX", CBS_DROPDOWNLIST | CBS_SORT, 51, 10, 10, 150, 150);
  for (const char16_t* s : {u"pear", u"Apple", u"fig"}) SendMessage(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  char16_t buf[16];
  SendMessage(c, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(buf));
  EXPECT_EQ(std::u16string(buf), u"Apple");
  SendMessage(c, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(buf));
  EXPECT_EQ(std::u16string(buf), u"pear");
  Click(c, 20, 8);
  ASSERT_EQ(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0), 1);
  EXPECT_EQ(Count(51, CBN_DROPDOWN), 1);
  // The list lies below the field: click its third row.
  RECT wr;
  GetWindowRect(c, &wr);
  HWND list = WindowFromPoint(POINT{wr.left + 20, wr.bottom + 5});
  ASSERT_NE(list, nullptr);
  ASSERT_NE(list, c);
  RECT lr;
  GetClientRect(list, &lr);
  const int32 row = (lr.bottom - lr.top) / 3;
  POINT p{20, row * 2 + row / 2};
  ClientToScreen(list, &p);
  hostwin::Input_Button(0, true, p);
  hostwin::Input_Button(0, false, p);
  Pump();
  EXPECT_EQ(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Count(51, CBN_SELCHANGE), 1);
  EXPECT_EQ(Count(51, CBN_CLOSEUP), 1);
  // Escape in a dropped list changes nothing.
  SendMessage(c, CB_SHOWDROPDOWN, 1, 0);
  Key(VK_UP);
  Key(VK_ESCAPE);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Count(51, CBN_SELENDCANCEL), 1);
}

// --- Scroll bars ---

// A desktop that focuses the dropped list's own window when it shows it
// (an X server without a window manager does, for the sdl backend) gives the
// activation to its dialog: the list stays open and takes the click.
TEST_F(ControlsTest, ADroppedListStaysOpenWhenTheDesktopFocusesIt) {
  HWND c = Make("COMBOBOX", CBS_DROPDOWNLIST, 52, 10, 10, 150, 150);
  for (const char16_t* s : {u"Empty", u"1", u"2"}) SendMessage(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  SendMessage(c, CB_SETCURSEL, 0, 0);
  SetActiveWindow(parent);
  Click(c, 20, 8);
  ASSERT_EQ(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0), 1);
  RECT wr;
  GetWindowRect(c, &wr);
  HWND list = WindowFromPoint(POINT{wr.left + 20, wr.bottom + 5});
  ASSERT_NE(list, nullptr);
  ASSERT_NE(list, c);
  hostwin::App_Activate(list);
  Pump();
  EXPECT_EQ(GetActiveWindow(), parent) << "the dialog keeps the activation";
  ASSERT_EQ(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0), 1) << "the list stays open";
  RECT lr;
  GetClientRect(list, &lr);
  const int32 row = (lr.bottom - lr.top) / 3;
  POINT p{20, row + row / 2};
  ClientToScreen(list, &p);
  hostwin::Input_Button(0, true, p);
  hostwin::Input_Button(0, false, p);
  Pump();
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1) << "the click on its second row chose it";
}

TEST_F(ControlsTest, ScrollInfoClampsRangePageAndPosition) {
  HWND s = Make("SCROLLBAR", SBS_VERT, 60, 10, 10, 16, 200);
  struct Case {
    int32 min, max;
    uint32 page;
    int32 pos;
    int32 want_pos;
    uint32 want_page;
  } cases[] = {
      {0, 100, 10, 50, 50, 10},    // inside
      {0, 100, 10, 95, 91, 10},    // max - page + 1
      {0, 100, 0, 100, 100, 0},    // no page: up to max
      {0, 100, 10, -5, 0, 10},     // below the range
      {10, 5, 0, 7, 10, 0},        // max below min: taken as min
      {0, 9, 50, 3, 0, 10},        // page bigger than the range
      {-20, 20, 1, 30, 20, 1},
  };
  for (const Case& c : cases) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = c.min;
    si.nMax = c.max;
    si.nPage = c.page;
    si.nPos = c.pos;
    EXPECT_EQ(SetScrollInfo(s, SB_CTL, &si, true), c.want_pos) << c.min << " " << c.max << " " << c.pos;
    SCROLLINFO got;
    got.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(s, SB_CTL, &got));
    EXPECT_EQ(got.nPos, c.want_pos);
    EXPECT_EQ(got.nPage, c.want_page);
  }
  // Only control bars exist.
  SCROLLINFO si;
  si.fMask = SIF_POS;
  EXPECT_FALSE(GetScrollInfo(parent, SB_VERT, &si));
  EXPECT_EQ(SetScrollPos(s, SB_VERT, 3, true), 0);
  SetScrollRange(s, SB_CTL, 0, 10, true);  // the position 20 of the last case is clamped to 10
  EXPECT_EQ(SetScrollPos(s, SB_CTL, 4, true), 10);
  EXPECT_EQ(GetScrollPos(s, SB_CTL), 4);
}

TEST_F(ControlsTest, ScrollBarMouseAndKeysSendTheCodes) {
  HWND s = Make("SCROLLBAR", SBS_VERT | WS_TABSTOP, 61, 10, 10, 16, 216);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 0;
  SetScrollInfo(s, SB_CTL, &si, true);
  auto codes = [&] {
    std::vector<int32> out;
    for (const Note& n : g_notes)
      if (n.msg == WM_VSCROLL && n.id == 61) out.push_back(n.code);
    g_notes.clear();
    return out;
  };
  Click(s, 8, 4);  // top arrow
  EXPECT_EQ(codes(), (std::vector<int32>{SB_LINEUP, SB_ENDSCROLL}));
  Click(s, 8, 211);  // bottom arrow
  EXPECT_EQ(codes(), (std::vector<int32>{SB_LINEDOWN, SB_ENDSCROLL}));
  Click(s, 8, 150);  // track below the thumb (thumb at the top)
  EXPECT_EQ(codes(), (std::vector<int32>{SB_PAGEDOWN, SB_ENDSCROLL}));
  // The control never moves itself for these.
  EXPECT_EQ(GetScrollPos(s, SB_CTL), 0);
  // Drag the thumb (18 px long at the top of a 184 px track) to the bottom.
  hostwin::Input_Button(0, true, At(s, 8, 20));
  Pump();
  hostwin::Input_Mouse_Move(At(s, 8, 100));
  Pump();
  SCROLLINFO tr;
  tr.fMask = SIF_TRACKPOS | SIF_POS;
  GetScrollInfo(s, SB_CTL, &tr);
  EXPECT_GT(tr.nTrackPos, 30);
  EXPECT_EQ(tr.nPos, 0);
  hostwin::Input_Mouse_Move(At(s, 8, 400));
  hostwin::Input_Button(0, false, At(s, 8, 400));
  Pump();
  std::vector<Note> seen = g_notes;
  const std::vector<int32> got = codes();
  ASSERT_GE(got.size(), 4u);
  EXPECT_EQ(got[0], SB_THUMBTRACK);
  EXPECT_EQ(got[got.size() - 2], SB_THUMBPOSITION);
  EXPECT_EQ(got.back(), SB_ENDSCROLL);
  EXPECT_EQ(seen[seen.size() - 2].pos, 90);  // clamped to max - page + 1
  SetFocus(s);
  Key(VK_NEXT);
  Key(VK_HOME);
  EXPECT_EQ(codes(), (std::vector<int32>{SB_PAGEDOWN, SB_ENDSCROLL, SB_TOP, SB_ENDSCROLL}));
  // A page that covers the whole range leaves the bar inert.
  si.fMask = SIF_PAGE;
  si.nPage = 100;
  SetScrollInfo(s, SB_CTL, &si, true);
  Click(s, 8, 4);
  Key(VK_DOWN);
  EXPECT_TRUE(codes().empty());
}

// --- Pixels ---

// Counts pixels of a control's own surface that differ from colour c.
int32 Count_Not(HWND c, COLORREF col) {
  UpdateWindow(c);
  const HostSurface* s = Host_Surface(Host_Window_Surface(c));
  int32 n = 0;
  const uint32 want = (uint32(GetRValue(col)) << 16) | (uint32(GetGValue(col)) << 8) | GetBValue(col);
  for (int32 y = 0; y < s->height; ++y)
    for (int32 x = 0; x < s->width; ++x) {
      const uint32 p = reinterpret_cast<const uint32*>(s->bits + size_t(y) * s->stride)[x] & 0xFFFFFF;
      if (p != want) ++n;
    }
  return n;
}

// Pixels along the focus rectangle's top edge (inset 3) that are black.
int32 Focus_Dots(HWND c) {
  UpdateWindow(c);
  const HostSurface* s = Host_Surface(Host_Window_Surface(c));
  int32 n = 0;
  for (int32 x = 3; x < s->width - 3; ++x)
    if ((reinterpret_cast<const uint32*>(s->bits + size_t(3) * s->stride)[x] & 0xFFFFFF) == 0) ++n;
  return n;
}

TEST_F(ControlsTest, ControlsDrawTextFramesAndTheFocusRectangle) {
  if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
  HWND b = Make("BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 70, 10, 10, 90, 26, u"OK");
  HWND other = Make("BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 71, 110, 10, 90, 26, u"Cancel");
  HWND e = Make("EDIT", 0, 72, 10, 50, 150, 22, u"text");
  HWND st = Make("STATIC", SS_LEFT, 73, 10, 80, 150, 20, u"Label");
  HWND c = Make("COMBOBOX", CBS_DROPDOWNLIST, 74, 10, 110, 150, 100);
  SendMessage(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Choice"));
  SendMessage(c, CB_SETCURSEL, 0, 0);
  HWND sb = Make("SCROLLBAR", SBS_HORZ, 75, 10, 150, 200, 16);
  SetScrollRange(sb, SB_CTL, 0, 10, true);
  Pump();
  // Text and outlines are drawn: many pixels differ from the background.
  EXPECT_GT(Count_Not(b, kHostButtonColor), 60);
  EXPECT_GT(Count_Not(e, kHostFieldColor), 40);
  EXPECT_GT(Count_Not(st, kHostFaceColor), 20);
  EXPECT_GT(Count_Not(c, kHostFieldColor), 60);
  EXPECT_GT(Count_Not(sb, kHostTrackColor), 100);
  // The focus rectangle shows on the focused button only.
  SetFocus(other);
  Pump();
  EXPECT_EQ(Focus_Dots(b), 0);
  SetFocus(b);
  Pump();
  EXPECT_GT(Focus_Dots(b), 30);
  EXPECT_EQ(Focus_Dots(other), 0);
  // The caret of a focused edit field: a dark column right of the text.
  SetFocus(e);
  SendMessage(e, EM_SETSEL, 4, 4);
  Pump();
  const int32 with_caret = Count_Not(e, kHostFieldColor);
  SetFocus(b);
  Pump();
  EXPECT_GT(with_caret, Count_Not(e, kHostFieldColor));
  // The whole parent shows its children.
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  ASSERT_TRUE(Host_Window_Compose(parent, px, w, h));
  EXPECT_NE(px[size_t(20) * size_t(w) + 20] & 0xFFFFFF, 0xFFFFFFu);
}

}  // namespace
