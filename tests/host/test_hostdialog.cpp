// The dialog engine: stored-template reading and its refusals, modal runs
// driven by scripts (typing, Tab, Space, Enter, Escape, answers), cancelling
// when no input is left, the owner disabled meanwhile, keyboard navigation of
// a modeless dialog, the default button, DWLP_MSGRESULT and the item calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostDialog.h"
#include "host/HostScript.h"
#include "host/HostWin.h"

namespace {

// --- Template bytes, as the resource compiler writes them ---

struct Bytes {
  std::vector<uint8> b;
  Bytes& Text(const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& C(const std::string& s) {
    Text(s);
    b.push_back(0);
    return *this;
  }
  Bytes& U8(uint8 v) {
    b.push_back(v);
    return *this;
  }
  Bytes& U16(uint16 v) {
    b.push_back(uint8(v));
    b.push_back(uint8(v >> 8));
    return *this;
  }
  Bytes& U32(uint32 v) {
    U16(uint16(v));
    return U16(uint16(v >> 16));
  }
  Bytes& Rect(int16 x, int16 y, int16 w, int16 h) { return U16(uint16(x)).U16(uint16(y)).U16(uint16(w)).U16(uint16(h)); }
};

Bytes Header(uint16 n, const std::string& title = "Find", uint32 style = 0, int16 cx = 240, int16 cy = 120) {
  Bytes t;
  t.Text("DLG1").U32(style).Rect(0, 0, cx, cy).U16(n).C(title);
  return t;
}

Bytes Good() {
  Bytes t = Header(3);
  t.U32(WS_VISIBLE | WS_TABSTOP).U16(10).Rect(10, 10, 150, 22).U8(2).C("start");
  t.U32(WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON).U16(1).Rect(10, 50, 80, 24).U8(1).C("OK");
  t.U32(WS_VISIBLE).U16(uint16(int16(-1))).Rect(100, 50, 80, 24).U8(0).C("USER_2").C("\xC3\xA9t\xC3\xA9");
  return t;
}

TEST(DialogTemplate, ReadsAStoredTemplate) {
  HostDlgTemplate t;
  std::string err;
  const Bytes g = Good();
  ASSERT_TRUE(Host_Dialog_Parse_Template(g.b, &t, &err)) << err;
  EXPECT_EQ(t.title, "Find");
  EXPECT_EQ(t.cx, 240);
  EXPECT_EQ(t.cy, 120);
  ASSERT_EQ(t.items.size(), 3u);
  EXPECT_EQ(t.items[0].cls, "EDIT");
  EXPECT_EQ(t.items[0].id, 10);
  EXPECT_EQ(t.items[0].text, "start");
  EXPECT_EQ(t.items[1].style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(t.items[2].cls, "USER_2");
  EXPECT_EQ(t.items[2].id, -1);
  EXPECT_EQ(t.items[2].text, "\xC3\xA9t\xC3\xA9");
}

TEST(DialogTemplate, RefusesBadTemplatesWithAReason) {
  struct Case {
    const char* what;
    Bytes bytes;
  };
  auto item = [](Bytes t, uint8 code, const std::string& cls, const std::string& text, int16 w = 10) {
    t.U32(WS_VISIBLE).U16(5).Rect(0, 0, w, 10).U8(code);
    if (code == 0) t.C(cls);
    return t.C(text);
  };
  Bytes long_title = Header(0, std::string(1100, 'a'));
  Bytes no_nul = Header(0);
  no_nul.b.pop_back();
  Bytes trailing = Header(0);
  trailing.U8(0);
  Bytes bad_sig = Header(0);
  bad_sig.b[3] = '2';
  Bytes many = Header(256);
  Bytes short_item = Header(1);
  short_item.U32(0).U16(1);
  const std::vector<Case> cases = {
      {"empty", Bytes{}},
      {"signature", bad_sig},
      {"child dialog", Header(0, "t", WS_CHILD)},
      {"zero width", Header(0, "t", 0, 0, 50)},
      {"negative height", Header(0, "t", 0, 50, -3)},
      {"too wide", Header(0, "t", 0, 5000, 50)},
      {"too many items", many},
      {"title without NUL", no_nul},
      {"title too long", long_title},
      {"bad UTF-8 title", Header(0, "a\xC3")},
      {"overlong UTF-8", Header(0, "\xC0\xAF")},
      {"truncated item", short_item},
      {"missing item", Header(2)},
      {"unknown class code", item(Header(1), 4, "", "x")},
      {"empty class name", item(Header(1), 0, "", "x")},
      {"bad class name", item(Header(1), 0, "US ER", "x")},
      {"class name too long", item(Header(1), 0, std::string(64, 'A'), "x")},
      {"item too wide", item(Header(1), 1, "", "x", 5000)},
      {"item size negative", item(Header(1), 1, "", "x", -1)},
      {"bad UTF-8 text", item(Header(1), 1, "", "\xFF")},
      {"surrogate in UTF-8", item(Header(1), 1, "", "\xED\xA0\x80")},
      {"trailing bytes", trailing},
  };
  for (const Case& c : cases) {
    HostDlgTemplate t;
    t.title = "untouched";
    std::string err;
    EXPECT_FALSE(Host_Dialog_Parse_Template(c.bytes.b, &t, &err)) << c.what;
    EXPECT_FALSE(err.empty()) << c.what;
    EXPECT_EQ(t.title, "untouched") << c.what;
  }
  // Every truncation of a good template is refused, never read past.
  const Bytes g = Good();
  for (size_t n = 0; n < g.b.size(); ++n) {
    HostDlgTemplate t;
    std::string err;
    EXPECT_FALSE(Host_Dialog_Parse_Template(std::span<const uint8>(g.b.data(), n), &t, &err)) << n;
  }
}

// --- Running dialogs ---

struct Seen {
  std::vector<int32> commands;  // LOWORD of every WM_COMMAND
  std::u16string text;          // item 10 when OK was pressed
  UINT check = 0;               // item 11 then
  bool owner_enabled_inside = true;
  intptr_t init_param = 0;
  bool end_on_cancel = true;
  int32 max_depth = 0;  // modal nesting seen by the commands
  bool outer_enabled_after_inner = false;
};
Seen g_seen;
HWND g_owner = nullptr;
std::function<void(HWND)> g_on_init;
HostDlgTemplate Form();

intptr_t Test_Proc(HWND d, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_INITDIALOG:
      g_seen.init_param = l;
      if (g_on_init) g_on_init(d);
      return 1;
    case WM_USER + 9: {
      // Runs a nested dialog from inside this one's loop.
      const HostDlgTemplate t = Form();
      const intptr_t r = DialogBoxIndirectParam(nullptr, &t, d, Test_Proc, 0);
      g_seen.commands.push_back(int32(1000 + r));
      g_seen.outer_enabled_after_inner = IsWindowEnabled(d);
      return 1;
    }
    case WM_COMMAND: {
      const int32 id = LOWORD(w);
      if (HIWORD(w) != BN_CLICKED) return 1;
      g_seen.commands.push_back(id);
      g_seen.max_depth = std::max(g_seen.max_depth, Host_Dialog_Modal_Depth());
      if (g_owner && id == IDOK) g_seen.owner_enabled_inside = IsWindowEnabled(g_owner);
      if (id == IDOK) {
        char16_t buf[64];
        GetDlgItemTextW(d, 10, buf, 64);
        g_seen.text = buf;
        g_seen.check = IsDlgButtonChecked(d, 11);
        EndDialog(d, IDOK);
      } else if (id == IDCANCEL) {
        if (g_seen.end_on_cancel) EndDialog(d, IDCANCEL);
      } else if (id >= 100) {
        EndDialog(d, id);
      }
      return 1;
    }
    case WM_USER + 5:
      SetWindowLongPtr(d, DWLP_MSGRESULT, 4321);
      return 1;
    default: return 0;
  }
}

HostDlgTemplate Form() {
  HostDlgTemplate t;
  t.title = "Form";
  t.cx = 300;
  t.cy = 160;
  auto add = [&](const char* cls, int32 id, const char* text, int32 y, uint32 style) {
    HostDlgItemTemplate it;
    it.cls = cls;
    it.id = id;
    it.text = text;
    it.x = 10;
    it.y = y;
    it.cx = 120;
    it.cy = 22;
    it.style = WS_VISIBLE | style;
    t.items.push_back(it);
  };
  add("STATIC", -1, "Name", 0, 0);
  add("EDIT", 10, "", 10, WS_TABSTOP | WS_GROUP);
  add("BUTTON", 11, "Again", 40, WS_TABSTOP | BS_AUTOCHECKBOX);
  add("BUTTON", 1, "OK", 70, WS_TABSTOP | BS_DEFPUSHBUTTON);
  add("BUTTON", 2, "Cancel", 100, WS_TABSTOP);
  add("BUTTON", 200, "Other", 130, WS_TABSTOP | WS_DISABLED);
  return t;
}

LRESULT Owner_Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Host_Script_Set_Quit_At_End(false);
    Host_Controls_Init();
    WNDCLASS wc;
    wc.lpfnWndProc = Owner_Proc;
    wc.lpszClassName = "OWNER";
    ASSERT_NE(RegisterClass(&wc), 0);
    g_owner = CreateWindowEx(0, "OWNER", u"main", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                             nullptr);
    ASSERT_NE(g_owner, nullptr);
    g_seen = Seen{};
    g_on_init = nullptr;
  }
  void TearDown() override {
    Host_Script_Set_Quit_At_End(true);
    Host_Win_Reset();
    Host_Backend_Stop();
    Host_Script_Reset();
    Host_Clock_Set_Manual(false);
    g_on_init = nullptr;
    g_owner = nullptr;
  }
  void Script(const std::string& text) {
    std::string err;
    ASSERT_TRUE(Host_Script_Load_Text(text, "test", err)) << err;
  }
  intptr_t Run() {
    const HostDlgTemplate t = Form();
    return DialogBoxIndirectParam(nullptr, &t, g_owner, Test_Proc, 77);
  }
};

TEST_F(DialogTest, ScriptTypesTabsChecksAndPressesEnter) {
  // Focus starts in the edit field (the first tab stop); Tab goes to the
  // check box, Space checks it, Enter presses the default button.
  Script("type Ada\nkey Tab\nkey Space\nkey Enter\n");
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(g_seen.init_param, 77);
  EXPECT_EQ(g_seen.text, u"Ada");
  EXPECT_EQ(g_seen.check, BST_CHECKED);
  EXPECT_FALSE(g_seen.owner_enabled_inside);
  EXPECT_TRUE(IsWindowEnabled(g_owner));
  EXPECT_EQ(Host_Dialog_Modal_Depth(), 0);
}

TEST_F(DialogTest, TabWrapsSkipsDisabledItemsAndEnterPressesTheFocusedButton) {
  // Edit -> check -> OK -> Cancel -> (Other is disabled) -> edit -> check;
  // Shift+Tab goes back to the edit field; Tab Tab Tab reaches Cancel.
  Script("key Tab\nkey Tab\nkey Tab\nkey Tab\nkey Tab\nkey Shift+Tab\nkey Tab\nkey Tab\nkey Tab\nkey Enter\n");
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_EQ(g_seen.commands, (std::vector<int32>{IDCANCEL}));
}

TEST_F(DialogTest, EscapeCancelsAndAnswersPressItems) {
  Script("key Escape\n");
  EXPECT_EQ(Run(), IDCANCEL);
  // Answers: item 11 (a check box: toggled), then item 1.
  Host_Script_Reset();
  g_seen = Seen{};
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "11");
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(g_seen.check, BST_CHECKED);
  // A script's own answer line, after typing into the field.
  g_seen = Seen{};
  Script("type 42\nanswer alert 1\n");
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(g_seen.text, u"42");
  // An item with no control is still pressed; a disabled one is not.
  g_seen = Seen{};
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "200");
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "150");
  EXPECT_EQ(Run(), 150);
  EXPECT_EQ(g_seen.commands, (std::vector<int32>{150}));
}

TEST_F(DialogTest, WithNoInputLeftTheDialogIsCancelledEvenIfItIgnoresCancel) {
  g_seen.end_on_cancel = false;
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_EQ(g_seen.commands, (std::vector<int32>{IDCANCEL}));
  EXPECT_TRUE(IsWindowEnabled(g_owner));
  EXPECT_EQ(GetActiveWindow(), g_owner);
}

TEST_F(DialogTest, CloseBoxPressesCancelAndQuitEndsTheDialog) {
  g_on_init = [](HWND d) { PostMessage(d, WM_CLOSE, 0, 0); };
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_EQ(g_seen.commands, (std::vector<int32>{IDCANCEL}));
  // A quit request reaching the dialog's loop ends it and stays for the main loop.
  g_seen = Seen{};
  g_seen.end_on_cancel = false;
  g_on_init = [](HWND) { PostQuitMessage(3); };
  EXPECT_EQ(Run(), IDCANCEL);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(m.wParam, 3u);
}

TEST_F(DialogTest, NestedDialogsEachRunTheirOwnLoop) {
  g_on_init = [](HWND d) {
    g_on_init = nullptr;
    PostMessage(d, WM_USER + 9, 0, 0);
  };
  // The inner dialog takes the first answer, the outer the second.
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "123");
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  EXPECT_EQ(Run(), IDOK);
  EXPECT_EQ(g_seen.commands, (std::vector<int32>{123, 1123, IDOK}));
  EXPECT_EQ(g_seen.max_depth, 2);
  EXPECT_TRUE(g_seen.outer_enabled_after_inner);  // the outer dialog came back to life
  EXPECT_FALSE(g_seen.owner_enabled_inside);
  EXPECT_EQ(Host_Dialog_Modal_Depth(), 0);
}

TEST_F(DialogTest, BadTemplatesFailAndTheOwnerStaysUsable) {
  HostDlgTemplate t = Form();
  t.cx = 0;
  EXPECT_EQ(DialogBoxIndirectParam(nullptr, &t, g_owner, Test_Proc, 0), -1);
  t = Form();
  t.items[1].cls = "NO_SUCH_CLASS";
  EXPECT_EQ(DialogBoxIndirectParam(nullptr, &t, g_owner, Test_Proc, 0), -1);
  EXPECT_EQ(DialogBoxIndirectParam(nullptr, nullptr, g_owner, Test_Proc, 0), -1);
  EXPECT_TRUE(IsWindowEnabled(g_owner));
  EXPECT_TRUE(Host_Top_Windows().size() == 1u);
}

// --- Modeless: navigation by IsDialogMessage, items ---

class ModelessTest : public DialogTest {
 protected:
  HWND d = nullptr;
  void SetUp() override {
    DialogTest::SetUp();
    HostDlgTemplate t = Form();
    t.style = WS_CAPTION | WS_VISIBLE;
    HostDlgItemTemplate r;
    r.cls = "BUTTON";
    r.style = WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON;
    r.cx = 80;
    r.cy = 20;
    for (int32 i = 0; i < 3; ++i) {
      r.id = 60 + i;
      r.x = 180;
      r.y = 10 + 25 * i;
      t.items.push_back(r);
      r.style &= ~(WS_GROUP | WS_TABSTOP);
    }
    d = CreateDialogIndirectParam(nullptr, &t, g_owner, Test_Proc, 0);
    ASSERT_NE(d, nullptr);
  }
  bool Key(int32 vk) {
    MSG m{GetFocus(), WM_KEYDOWN, WPARAM(vk), 1, 0, {0, 0}};
    return IsDialogMessage(d, &m);
  }
};

TEST_F(ModelessTest, FocusStartsInTheFirstTabStopAndArrowsWalkRadioGroups) {
  EXPECT_TRUE(IsWindowVisible(d));
  EXPECT_EQ(GetFocus(), GetDlgItem(d, 10));
  // The edit field keeps the arrows for itself.
  EXPECT_TRUE(Key(VK_DOWN));
  EXPECT_EQ(GetFocus(), GetDlgItem(d, 10));
  SetFocus(GetDlgItem(d, 60));
  EXPECT_TRUE(Key(VK_DOWN));
  EXPECT_EQ(GetFocus(), GetDlgItem(d, 61));
  EXPECT_EQ(IsDlgButtonChecked(d, 61), BST_CHECKED);
  EXPECT_TRUE(Key(VK_DOWN));
  EXPECT_TRUE(Key(VK_DOWN));  // wraps within the group
  EXPECT_EQ(GetFocus(), GetDlgItem(d, 60));
  EXPECT_EQ(IsDlgButtonChecked(d, 60), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(d, 61), BST_UNCHECKED);
  // Messages for other windows are not the dialog's.
  MSG m{g_owner, WM_KEYDOWN, WPARAM(VK_TAB), 1, 0, {0, 0}};
  EXPECT_FALSE(IsDialogMessage(d, &m));
  CheckRadioButton(d, 60, 62, 62);
  EXPECT_EQ(IsDlgButtonChecked(d, 60), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(d, 62), BST_CHECKED);
}

TEST_F(ModelessTest, DefaultButtonFollowsSetDefId) {
  EXPECT_EQ(SendMessage(d, DM_GETDEFID, 0, 0), LRESULT(uint32(MAKELPARAM(1, DC_HASDEFID))));
  SendMessage(d, DM_SETDEFID, 2, 0);
  EXPECT_EQ(uint32(GetWindowLongPtr(GetDlgItem(d, 2), GWL_STYLE)) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(uint32(GetWindowLongPtr(GetDlgItem(d, 1), GWL_STYLE)) & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_TRUE(Key(VK_RETURN));  // from the edit field: the default button
  EXPECT_EQ(g_seen.commands, (std::vector<int32>{IDCANCEL}));
  EXPECT_FALSE(IsWindowVisible(d));  // EndDialog hides a modeless dialog
  EXPECT_TRUE(IsWindow(d));
  EXPECT_EQ(SendMessage(d, WM_USER + 5, 0, 0), 4321);  // DWLP_MSGRESULT
}

TEST_F(ModelessTest, ItemTextAndNumbers) {
  EXPECT_TRUE(SetDlgItemTextA(d, 10, "caf\xC3\xA9"));
  char small[5];
  EXPECT_EQ(GetDlgItemTextA(d, 10, small, sizeof small), 3);  // never half a character
  EXPECT_STREQ(small, "caf");
  EXPECT_EQ(Host_Dlg_Item_Text_Utf8(d, 10), "caf\xC3\xA9");
  EXPECT_FALSE(SetDlgItemTextA(d, 999, "x"));
  struct Case {
    const char* text;
    bool is_signed;
    bool ok;
    uint32 value;
  } cases[] = {
      {"42", false, true, 42},      {"  42 ", false, true, 42},    {"-1", false, false, 0},
      {"-1", true, true, 0xFFFFFFFF}, {"+7", true, true, 7},        {"4x", false, false, 0},
      {"", false, false, 0},        {"4294967295", false, true, 0xFFFFFFFF},
      {"4294967296", false, false, 0}, {"2147483648", true, false, 0}, {"-2147483648", true, true, 0x80000000},
  };
  for (const Case& c : cases) {
    SetDlgItemTextA(d, 10, c.text);
    bool ok = !c.ok;
    EXPECT_EQ(GetDlgItemInt(d, 10, &ok, c.is_signed), c.value) << c.text;
    EXPECT_EQ(ok, c.ok) << c.text;
  }
  SetDlgItemInt(d, 10, uint32(-25), true);
  EXPECT_EQ(Host_Dlg_Item_Text_Utf8(d, 10), "-25");
  SetDlgItemInt(d, 10, 4000000000u, false);
  EXPECT_EQ(Host_Dlg_Item_Text_Utf8(d, 10), "4000000000");
  EXPECT_TRUE(CheckDlgButton(d, 11, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(d, 11), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(d, 999), 0u);
}

}  // namespace
