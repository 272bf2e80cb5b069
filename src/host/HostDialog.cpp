// The dialog engine: dialog windows from templates, modal loops with
// scripted answers, keyboard navigation, item calls and the reader of
// stored templates.
#include "host/HostDialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/HostBackend.h"
#include "host/HostByteOrder.h"
#include "host/HostScript.h"
#include "host/HostUtf.h"
#include "host/HostWinCore.h"

namespace {

// One modal run, on the stack of DialogBoxIndirectParam: it outlives the
// dialog window, so a dialog destroyed from inside its procedure still
// leaves a result.
struct Modal_Run {
  bool ended = false;
  intptr_t result = IDCANCEL;
};

struct Dlg {
  bool ready = false;  // the items exist: the dialog procedure gets messages
  Modal_Run* run = nullptr;
  int32 def_id = IDOK;
  HWND saved_focus = nullptr;
};

std::unordered_map<HWND, Dlg*> g_dlgs;
std::vector<HWND> g_modal;  // running modal dialogs, innermost last
HBRUSH g_face_brush = nullptr;

Dlg* Find(HWND hwnd) {
  auto it = g_dlgs.find(hwnd);
  return (it != g_dlgs.end() && IsWindow(hwnd)) ? it->second : nullptr;
}

// --- Items ---------------------------------------------------------------------------------

bool Class_Is(HWND hwnd, const char* name) {
  char cls[32];
  if (GetClassName(hwnd, cls, sizeof cls) <= 0) return false;
  for (size_t i = 0;; ++i) {
    char a = cls[i], b = name[i];
    if (a >= 'a' && a <= 'z') a = char(a - 32);
    if (b >= 'a' && b <= 'z') b = char(b - 32);
    if (a != b) return false;
    if (a == 0) return true;
  }
}

uint32 Style_Of(HWND hwnd) { return uint32(GetWindowLongPtr(hwnd, GWL_STYLE)); }

bool Is_Push_Button(HWND hwnd) {
  if (!Class_Is(hwnd, "BUTTON")) return false;
  const uint32 t = Style_Of(hwnd) & BS_TYPEMASK;
  return t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON;
}

bool Usable(HWND c) { return IsWindowVisible(c) && IsWindowEnabled(c); }

const std::vector<HWND>* Children(HWND hdlg) {
  HostWindowRec* w = hostwin::Live(hdlg);
  return w ? &w->children : nullptr;
}

void Focus_Item(HWND ctl) {
  if (!ctl) return;
  SetFocus(ctl);
  if (IsWindow(ctl) && (SendMessage(ctl, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
    SendMessage(ctl, EM_SETSEL, 0, -1);
}

// Gives the focus back to the saved control, else the first tab stop.
void Restore_Focus(HWND hdlg, Dlg* d) {
  HWND f = GetFocus();
  if (f && IsChild(hdlg, f)) return;
  HWND to = (d->saved_focus && IsChild(hdlg, d->saved_focus) && Usable(d->saved_focus)) ? d->saved_focus : nullptr;
  if (!to) to = GetNextDlgTabItem(hdlg, nullptr, false);
  if (to) Focus_Item(to);
}

void Set_Default(HWND hdlg, Dlg* d, int32 id) {
  if (HWND old = GetDlgItem(hdlg, d->def_id); old && Is_Push_Button(old))
    SendMessage(old, BM_SETSTYLE, BS_PUSHBUTTON, 1);
  d->def_id = id;
  if (HWND now = GetDlgItem(hdlg, id); now && Is_Push_Button(now)) SendMessage(now, BM_SETSTYLE, BS_DEFPUSHBUTTON, 1);
}

// Messages whose answer is the dialog procedure's own result.
bool Direct_Result(UINT msg) { return msg == WM_INITDIALOG; }

LRESULT Default_Dialog(HWND hwnd, Dlg* d, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (!d) return DefWindowProc(hwnd, msg, wparam, lparam);
  switch (msg) {
    case WM_CLOSE: Host_Dialog_Press(hwnd, IDCANCEL); return 0;
    case DM_GETDEFID: return LRESULT(uint32(MAKELPARAM(d->def_id, DC_HASDEFID)));
    case DM_SETDEFID: Set_Default(hwnd, d, int32(LOWORD(wparam))); return 1;
    case WM_NEXTDLGCTL: {
      HWND to = nullptr;
      if (lparam) to = reinterpret_cast<HWND>(wparam);
      else to = GetNextDlgTabItem(hwnd, GetFocus() && IsChild(hwnd, GetFocus()) ? GetFocus() : nullptr, wparam != 0);
      if (to && IsChild(hwnd, to)) Focus_Item(to);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND f = GetFocus();
        if (f && IsChild(hwnd, f)) d->saved_focus = f;
      } else {
        Restore_Focus(hwnd, d);
      }
      return 0;
    case WM_SETFOCUS: Restore_Focus(hwnd, d); return 0;
    default: return DefWindowProc(hwnd, msg, wparam, lparam);
  }
}

LRESULT Dialog_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCT*>(lparam);
    if (cs && cs->lpCreateParams) g_dlgs[hwnd] = static_cast<Dlg*>(cs->lpCreateParams);
    return DefWindowProc(hwnd, msg, wparam, lparam);
  }
  Dlg* d = Find(hwnd);
  LRESULT result = 0;
  bool handled = false;
  if (d && d->ready) {
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(hwnd, DWLP_DLGPROC));
    if (proc) {
      SetWindowLongPtr(hwnd, DWLP_MSGRESULT, 0);
      const intptr_t r = proc(hwnd, msg, wparam, lparam);
      if (r) {
        handled = true;
        result = (Direct_Result(msg) || !IsWindow(hwnd)) ? r : GetWindowLongPtr(hwnd, DWLP_MSGRESULT);
      }
    }
  }
  if (msg == WM_NCDESTROY) {
    auto it = g_dlgs.find(hwnd);
    if (it != g_dlgs.end()) {
      delete it->second;
      g_dlgs.erase(it);
    }
    return 0;
  }
  if (handled) return result;
  return Default_Dialog(hwnd, IsWindow(hwnd) ? d : nullptr, msg, wparam, lparam);
}

bool Valid_Template(const HostDlgTemplate* t) {
  if (!t) return false;
  if (t->cx < 1 || t->cy < 1 || t->cx > kHostDlgMaxSide || t->cy > kHostDlgMaxSide) return false;
  if (std::abs(t->x) > kHostDlgMaxCoord || std::abs(t->y) > kHostDlgMaxCoord) return false;
  if (t->style & WS_CHILD) return false;
  if (t->items.size() > size_t(kHostDlgMaxItems)) return false;
  for (const auto& it : t->items) {
    if (it.cls.empty() || it.cls.size() > kHostDlgMaxClassName) return false;
    if (it.cx < 0 || it.cy < 0 || it.cx > kHostDlgMaxSide || it.cy > kHostDlgMaxSide) return false;
    if (std::abs(it.x) > kHostDlgMaxCoord || std::abs(it.y) > kHostDlgMaxCoord) return false;
  }
  return true;
}

// Makes the dialog and its items and runs WM_INITDIALOG. NIL on failure.
HWND Create_Dialog(HINSTANCE inst, const HostDlgTemplate* t, HWND owner, DLGPROC proc, LPARAM lparam,
                   Modal_Run* run, LRESULT* init_result, HWND* first) {
  Host_Controls_Init();
  if (!Valid_Template(t)) return nullptr;
  if (owner && !IsWindow(owner)) owner = nullptr;
  uint32 style = t->style ? t->style : (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER);
  const bool center = (style & DS_CENTER) != 0;
  style &= ~(WS_VISIBLE | WS_CHILD | WS_MINIMIZE | WS_MAXIMIZE);

  POINT at{t->x, t->y};
  if (owner) ClientToScreen(owner, &at);
  auto* d = new Dlg;
  d->run = run;
  const std::u16string title = Host_Utf8_To_Utf16(t->title);
  HWND hdlg = CreateWindowEx(0, "DIALOG", title.c_str(), style, at.x, at.y, t->cx, t->cy, owner, nullptr, inst, d);
  if (!hdlg) {
    // A window that reached WM_NCCREATE freed the record as it was destroyed.
    bool registered = false;
    for (auto& kv : g_dlgs)
      if (kv.second == d) registered = true;
    if (!registered) delete d;
    return nullptr;
  }
  // The template gives the client area; grow the window by its frame.
  RECT wr, cr;
  GetWindowRect(hdlg, &wr);
  GetClientRect(hdlg, &cr);
  const int32 fw = (wr.right - wr.left) - cr.right, fh = (wr.bottom - wr.top) - cr.bottom;
  int32 x = wr.left, y = wr.top;
  const int32 w = t->cx + fw, h = t->cy + fh;
  if (center) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner && IsWindowVisible(owner)) GetWindowRect(GetAncestorTop(owner), &area);
    x = (area.left + area.right - w) / 2;
    y = (area.top + area.bottom - h) / 2;
  }
  SetWindowPos(hdlg, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowLongPtr(hdlg, DWLP_DLGPROC, reinterpret_cast<intptr_t>(proc));

  bool have_default = false;
  for (const auto& it : t->items) {
    const std::u16string text = Host_Utf8_To_Utf16(it.text);
    HWND c = CreateWindowEx(0, it.cls.c_str(), text.c_str(), WS_CHILD | it.style, it.x, it.y, it.cx, it.cy, hdlg,
                            reinterpret_cast<HMENU>(intptr_t(it.id)), inst, nullptr);
    if (!c) {
      std::fprintf(stderr, "velmor: dialog item %d of class \"%s\" cannot be made\n", int(it.id), it.cls.c_str());
      DestroyWindow(hdlg);
      return nullptr;
    }
    if (!have_default && Is_Push_Button(c) && (Style_Of(c) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
      d->def_id = it.id;
      have_default = true;
    }
  }
  d->ready = true;
  *first = GetNextDlgTabItem(hdlg, nullptr, false);
  *init_result = SendMessage(hdlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(*first), lparam);
  if (!IsWindow(hdlg)) return nullptr;
  return hdlg;
}

void Show_Dialog(HWND hdlg, LRESULT init_result, HWND first) {
  ShowWindow(hdlg, SW_SHOW);
  if (!IsWindow(hdlg)) return;
  if (init_result && first && IsWindow(first) && IsChild(hdlg, first)) Focus_Item(first);
}

// No one can answer a dialog: no display, and the script (if any) is done.
bool Nobody_Left() { return Host_Backend_Kind() != HostBackendKind::SDL && !Host_Script_Active(); }

int32 Parse_Answer(const std::string& s) {
  char* end = nullptr;
  const long n = std::strtol(s.c_str(), &end, 10);
  if (end == s.c_str() || *end != 0 || n < -32768 || n > 65535) return INT32_MIN;
  return int32(n);
}

}  // namespace

namespace hostdlg {

void Register_Dialog_Class() {
  WNDCLASS have;
  if (GetClassInfo(nullptr, "DIALOG", &have)) return;
  if (!g_face_brush) g_face_brush = CreateSolidBrush(kHostFaceColor);
  WNDCLASS wc;
  wc.style = CS_SAVEBITS;
  wc.lpfnWndProc = Dialog_Proc;
  wc.cbWndExtra = kHostDialogExtraBytes;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = g_face_brush;
  wc.lpszClassName = "DIALOG";
  RegisterClass(&wc);
}

}  // namespace hostdlg

// --- Running ---------------------------------------------------------------------------

intptr_t DialogBoxIndirectParam(HINSTANCE inst, const HostDlgTemplate* tmpl, HWND owner, DLGPROC proc,
                                LPARAM lparam) {
  Modal_Run run;
  LRESULT init_result = 0;
  HWND first = nullptr;
  // The owner's top-level window is what gets disabled.
  HWND top_owner = owner ? GetAncestorTop(owner) : nullptr;
  HWND hdlg = Create_Dialog(inst, tmpl, top_owner, proc, lparam, &run, &init_result, &first);
  if (!hdlg) return run.ended ? run.result : -1;
  const bool disabled_owner = top_owner && IsWindowEnabled(top_owner);
  if (disabled_owner) EnableWindow(top_owner, false);
  g_modal.push_back(hdlg);
  if (!run.ended) Show_Dialog(hdlg, init_result, first);

  bool quit = false;
  WPARAM quit_code = 0;
  while (IsWindow(hdlg) && !run.ended) {
    MSG m;
    if (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) {
        quit = true;
        quit_code = m.wParam;
        break;
      }
      if (!IsDialogMessage(hdlg, &m)) {
        TranslateMessage(&m);
        DispatchMessage(&m);
      }
      continue;
    }
    if (g_modal.back() == hdlg) {
      std::string answer;
      if (Host_Script_Take_Answer(HOST_ANSWER_ALERT, answer)) {
        const int32 id = Parse_Answer(answer);
        if (id == INT32_MIN) std::fprintf(stderr, "velmor: dialog answer \"%s\" is not an item number\n", answer.c_str());
        else Host_Dialog_Press(hdlg, id);
        continue;
      }
      if (Nobody_Left()) {
        Host_Dialog_Press(hdlg, IDCANCEL);
        if (IsWindow(hdlg) && !run.ended) EndDialog(hdlg, IDCANCEL);
        continue;
      }
    }
    Host_Wait_Message(100);
  }
  if (quit && !run.ended) {
    run.ended = true;
    run.result = IDCANCEL;
  }
  g_modal.erase(std::remove(g_modal.begin(), g_modal.end(), hdlg), g_modal.end());
  // The owner comes back before the dialog goes, so activation returns to it.
  if (disabled_owner && IsWindow(top_owner)) EnableWindow(top_owner, true);
  if (IsWindow(hdlg)) {
    if (Dlg* d = Find(hdlg)) d->run = nullptr;
    if (top_owner && IsWindow(top_owner) && GetActiveWindow() == hdlg) SetActiveWindow(top_owner);
    DestroyWindow(hdlg);
  }
  if (quit) PostQuitMessage(int32(quit_code));
  return run.result;
}

HWND CreateDialogIndirectParam(HINSTANCE inst, const HostDlgTemplate* tmpl, HWND owner, DLGPROC proc,
                               LPARAM lparam) {
  LRESULT init_result = 0;
  HWND first = nullptr;
  HWND hdlg = Create_Dialog(inst, tmpl, owner, proc, lparam, nullptr, &init_result, &first);
  if (!hdlg) return nullptr;
  if (tmpl->style & WS_VISIBLE) Show_Dialog(hdlg, init_result, first);
  return IsWindow(hdlg) ? hdlg : nullptr;
}

bool EndDialog(HWND hdlg, intptr_t result) {
  Dlg* d = Find(hdlg);
  if (!d) return false;
  if (d->run) {
    d->run->ended = true;
    d->run->result = result;
  } else {
    ShowWindow(hdlg, SW_HIDE);
  }
  return true;
}

void Host_Dialog_Press(HWND hdlg, int32 id) {
  if (!Find(hdlg)) return;
  HWND item = GetDlgItem(hdlg, id);
  if (item) {
    if (!IsWindowEnabled(item)) return;
    if (Class_Is(item, "BUTTON")) {
      SendMessage(item, BM_CLICK, 0, 0);
      return;
    }
  }
  SendMessage(hdlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item));
}

bool Host_Is_Dialog(HWND hwnd) { return Find(hwnd) != nullptr; }
int32 Host_Dialog_Modal_Depth() { return int32(g_modal.size()); }
HWND Host_Dialog_Modal_Top() { return g_modal.empty() ? nullptr : g_modal.back(); }
std::vector<HWND> Host_Dialog_Modal_Stack() { return g_modal; }

bool Host_Dialog_Running(HWND hdlg) {
  Dlg* d = Find(hdlg);
  return d != nullptr && d->run != nullptr && !d->run->ended;
}

// --- Navigation ------------------------------------------------------------------------

HWND GetNextDlgTabItem(HWND hdlg, HWND ctl, bool previous) {
  const std::vector<HWND>* kids = Children(hdlg);
  if (!kids || kids->empty()) return nullptr;
  const int32 n = int32(kids->size());
  int32 at = -1;
  if (ctl) {
    auto it = std::find(kids->begin(), kids->end(), ctl);
    if (it != kids->end()) at = int32(it - kids->begin());
  }
  if (at < 0) at = previous ? 0 : n - 1;  // so that the first step lands on the first / last
  for (int32 k = 1; k <= n; ++k) {
    const int32 i = previous ? ((at - k) % n + n) % n : (at + k) % n;
    HWND c = (*kids)[size_t(i)];
    if ((Style_Of(c) & WS_TABSTOP) && Usable(c)) return c;
  }
  return nullptr;
}

HWND GetNextDlgGroupItem(HWND hdlg, HWND ctl, bool previous) {
  if (!ctl || !IsChild(hdlg, ctl)) return GetNextDlgTabItem(hdlg, nullptr, previous);
  const std::vector<HWND> group = Host_Control_Group(ctl);
  const int32 n = int32(group.size());
  auto it = std::find(group.begin(), group.end(), ctl);
  if (it == group.end()) return nullptr;
  const int32 at = int32(it - group.begin());
  for (int32 k = 1; k <= n; ++k) {
    const int32 i = previous ? ((at - k) % n + n) % n : (at + k) % n;
    if (Usable(group[size_t(i)])) return group[size_t(i)];
  }
  return nullptr;
}

bool IsDialogMessage(HWND hdlg, MSG* msg) {
  if (!msg || !Find(hdlg)) return false;
  if (msg->hwnd != hdlg && !IsChild(hdlg, msg->hwnd)) return false;
  if (msg->message == WM_KEYDOWN) {
    HWND ctl = msg->hwnd;
    const LRESULT code = ctl != hdlg ? SendMessage(ctl, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)) : 0;
    const int32 vk = int32(msg->wParam & 0xFF);
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (vk == VK_TAB && !(code & DLGC_WANTTAB) && GetKeyState(VK_CONTROL) >= 0) {
      HWND to = GetNextDlgTabItem(hdlg, ctl != hdlg ? ctl : nullptr, shift);
      if (to) Focus_Item(to);
      return true;
    }
    if (!(code & DLGC_WANTALLKEYS)) {
      switch (vk) {
        case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN: {
          if (code & DLGC_WANTARROWS) break;
          HWND to = GetNextDlgGroupItem(hdlg, ctl != hdlg ? ctl : nullptr, vk == VK_LEFT || vk == VK_UP);
          if (to && to != ctl) {
            SetFocus(to);
            if (IsWindow(to) && Class_Is(to, "BUTTON") && (Style_Of(to) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
              SendMessage(to, BM_CLICK, 0, 0);
          }
          return true;
        }
        case VK_RETURN: {
          if (ctl != hdlg && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) && Is_Push_Button(ctl)) {
            Host_Dialog_Press(hdlg, GetDlgCtrlID(ctl));
          } else {
            const LRESULT def = SendMessage(hdlg, DM_GETDEFID, 0, 0);
            Host_Dialog_Press(hdlg, HIWORD(uintptr_t(def)) == DC_HASDEFID ? int32(int16(LOWORD(uintptr_t(def)))) : IDOK);
          }
          return true;
        }
        case VK_ESCAPE: Host_Dialog_Press(hdlg, IDCANCEL); return true;
        default: break;
      }
    }
  }
  TranslateMessage(msg);
  DispatchMessage(msg);
  return true;
}

// --- Items -------------------------------------------------------------------------------

LRESULT SendDlgItemMessage(HWND hdlg, int32 id, UINT msg, WPARAM wparam, LPARAM lparam) {
  HWND item = GetDlgItem(hdlg, id);
  return item ? SendMessage(item, msg, wparam, lparam) : 0;
}

bool SetDlgItemTextW(HWND hdlg, int32 id, const char16_t* text) {
  HWND item = GetDlgItem(hdlg, id);
  if (!item) return false;
  SendMessage(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u""));
  return true;
}

bool SetDlgItemTextA(HWND hdlg, int32 id, const char* utf8) {
  const std::u16string t = utf8 ? Host_Utf8_To_Utf16(utf8) : std::u16string();
  return SetDlgItemTextW(hdlg, id, t.c_str());
}

int32 GetDlgItemTextW(HWND hdlg, int32 id, char16_t* buf, int32 bufsize) {
  if (!buf || bufsize <= 0) return 0;
  buf[0] = 0;
  HWND item = GetDlgItem(hdlg, id);
  return item ? GetWindowTextW(item, buf, bufsize) : 0;
}

std::string Host_Dlg_Item_Text_Utf8(HWND hdlg, int32 id) {
  HWND item = GetDlgItem(hdlg, id);
  return item ? Host_Window_Title_Utf8(item) : std::string();
}

int32 GetDlgItemTextA(HWND hdlg, int32 id, char* buf, int32 bufsize) {
  if (!buf || bufsize <= 0) return 0;
  const std::string s = Host_Dlg_Item_Text_Utf8(hdlg, id);
  // Never end inside a character.
  const size_t n = Host_Utf8_Cut(s, size_t(bufsize - 1));
  std::memcpy(buf, s.data(), n);
  buf[n] = 0;
  return int32(n);
}

uint32 GetDlgItemInt(HWND hdlg, int32 id, bool* ok, bool is_signed) {
  if (ok) *ok = false;
  HWND item = GetDlgItem(hdlg, id);
  if (!item) return 0;
  const std::string s = Host_Window_Title_Utf8(item);
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+') && is_signed) {
    neg = s[i] == '-';
    ++i;
  }
  const size_t digits_start = i;
  uint64 v = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    v = v * 10 + uint64(s[i] - '0');
    if (v > 0xFFFFFFFFull) return 0;
    ++i;
  }
  if (i == digits_start) return 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  if (i != s.size()) return 0;
  if (is_signed) {
    if (neg ? v > 0x80000000ull : v > 0x7FFFFFFFull) return 0;
    if (ok) *ok = true;
    return neg ? uint32(-int64(v)) : uint32(v);
  }
  if (ok) *ok = true;
  return uint32(v);
}

bool SetDlgItemInt(HWND hdlg, int32 id, uint32 value, bool is_signed) {
  char buf[16];
  if (is_signed) std::snprintf(buf, sizeof buf, "%ld", long(int32(value)));
  else std::snprintf(buf, sizeof buf, "%lu", static_cast<unsigned long>(value));
  return SetDlgItemTextA(hdlg, id, buf);
}

bool CheckDlgButton(HWND hdlg, int32 id, UINT check) {
  HWND item = GetDlgItem(hdlg, id);
  if (!item) return false;
  SendMessage(item, BM_SETCHECK, check, 0);
  return true;
}

UINT IsDlgButtonChecked(HWND hdlg, int32 id) { return UINT(SendDlgItemMessage(hdlg, id, BM_GETCHECK, 0, 0)); }

bool CheckRadioButton(HWND hdlg, int32 first, int32 last, int32 check) {
  const std::vector<HWND>* kids = Children(hdlg);
  if (!kids) return false;
  const std::vector<HWND> copy = *kids;
  for (HWND c : copy) {
    const int32 cid = GetDlgCtrlID(c);
    if (cid >= first && cid <= last && IsWindow(c))
      SendMessage(c, BM_SETCHECK, cid == check ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return true;
}

// --- Stored templates --------------------------------------------------------------------

namespace {

struct Reader {
  std::span<const uint8> b;
  size_t at = 0;
  std::string* err;
  bool Fail(const std::string& why) {
    if (err) *err = "dialog template, byte " + std::to_string(at) + ": " + why;
    return false;
  }
  bool Need(size_t n, const char* what) {
    if (b.size() - at < n) return Fail(std::string("truncated ") + what);
    return true;
  }
  uint32 U32() {
    const uint32 v = Load_LE32(b, at);
    at += 4;
    return v;
  }
  uint16 U16() {
    const uint16 v = Load_LE16(b, at);
    at += 2;
    return v;
  }
  int16 I16() { return int16(U16()); }
  // A NUL-terminated string of at most max bytes.
  bool CStr(std::string& out, size_t max, const char* what) {
    const size_t start = at;
    size_t end = start;
    while (end < b.size() && b[end] != 0) {
      if (end - start >= max) return Fail(std::string(what) + " longer than " + std::to_string(max) + " bytes");
      ++end;
    }
    if (end >= b.size()) return Fail(std::string(what) + " without its NUL");
    out.assign(reinterpret_cast<const char*>(b.data() + start), end - start);
    at = end + 1;
    return true;
  }
};

bool Side_Ok(int32 v, bool allow_zero) { return v >= (allow_zero ? 0 : 1) && v <= kHostDlgMaxSide; }
bool Coord_Ok(int32 v) { return v >= -kHostDlgMaxCoord && v <= kHostDlgMaxCoord; }

}  // namespace

bool Host_Dialog_Parse_Template(std::span<const uint8> bytes, HostDlgTemplate* out, std::string* err) {
  Reader r{bytes, 0, err};
  if (!out) return r.Fail("no output");
  HostDlgTemplate t;
  if (!r.Need(18, "header")) return false;
  if (std::memcmp(bytes.data(), "DLG1", 4) != 0) return r.Fail("signature is not \"DLG1\"");
  r.at = 4;
  t.style = r.U32();
  if (t.style & WS_CHILD) return r.Fail("a dialog cannot be a child window");
  t.x = r.I16();
  t.y = r.I16();
  t.cx = r.I16();
  t.cy = r.I16();
  if (!Coord_Ok(t.x) || !Coord_Ok(t.y)) return r.Fail("dialog position out of range");
  if (!Side_Ok(t.cx, false) || !Side_Ok(t.cy, false)) return r.Fail("dialog size out of range");
  const uint16 n = r.U16();
  if (n > kHostDlgMaxItems) return r.Fail("more than " + std::to_string(kHostDlgMaxItems) + " items");
  if (!r.CStr(t.title, kHostDlgMaxText, "title")) return false;
  if (!Host_Utf8_Valid(t.title)) return r.Fail("title is not UTF-8");
  t.items.reserve(n);
  for (uint16 k = 0; k < n; ++k) {
    HostDlgItemTemplate it;
    const std::string which = "item " + std::to_string(k + 1);
    if (!r.Need(4 + 2 + 8 + 1, which.c_str())) return false;
    it.style = r.U32();
    it.id = r.I16();
    it.x = r.I16();
    it.y = r.I16();
    it.cx = r.I16();
    it.cy = r.I16();
    if (!Coord_Ok(it.x) || !Coord_Ok(it.y)) return r.Fail(which + ": position out of range");
    if (!Side_Ok(it.cx, true) || !Side_Ok(it.cy, true)) return r.Fail(which + ": size out of range");
    const uint8 code = r.b[r.at++];
    switch (code) {
      case 1: it.cls = "BUTTON"; break;
      case 2: it.cls = "EDIT"; break;
      case 3: it.cls = "STATIC"; break;
      case 5: it.cls = "SCROLLBAR"; break;
      case 6: it.cls = "COMBOBOX"; break;
      case 0: {
        if (!r.CStr(it.cls, kHostDlgMaxClassName, (which + ": class name").c_str())) return false;
        if (it.cls.empty()) return r.Fail(which + ": empty class name");
        for (char c : it.cls) {
          const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
          if (!ok) return r.Fail(which + ": bad character in the class name");
        }
        break;
      }
      default: return r.Fail(which + ": unknown class code " + std::to_string(code));
    }
    if (!r.CStr(it.text, kHostDlgMaxText, (which + ": text").c_str())) return false;
    if (!Host_Utf8_Valid(it.text)) return r.Fail(which + ": text is not UTF-8");
    t.items.push_back(std::move(it));
  }
  if (r.at != bytes.size()) return r.Fail(std::to_string(bytes.size() - r.at) + " bytes after the last item");
  *out = std::move(t);
  return true;
}
