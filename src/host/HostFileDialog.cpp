#include "host/HostFileDialog.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/HostBackend.h"
#include "host/HostControls.h"
#include "host/HostDialog.h"
#include "host/HostFiles.h"
#include "host/HostFolders.h"
#include "host/HostScript.h"
#include "host/HostText.h"
#include "host/HostUtf.h"

namespace {

constexpr const char* kListClass = "VFILELIST";
constexpr int32 kListScrollId = 1;
constexpr UINT kFdShown = WM_APP + 0x51;  // posted once the dialog stands: runs on_show
constexpr size_t kNameMax = 255;          // bytes of one path component (the file systems' limit)

// The folder the last dialog ended in; the next one starts there.
std::string g_last_folder;

// --- Text helpers ---

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool Name_Less(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const uint8 x = uint8(Lower(a[i]));
    const uint8 y = uint8(Lower(b[i]));
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;  // names differing only in case: a fixed order all the same
}

bool Is_Blank(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c == ' ' || c == '\t'; });
}

std::string Quoted(const std::string& name) { return "\xE2\x80\x9C" + name + "\xE2\x80\x9D"; }

// The last component of a path.
std::string Leaf(const std::string& path) {
  const size_t k = path.find_last_of('/');
  return k == std::string::npos ? path : path.substr(k + 1);
}

// "." and ".." taken out of an absolute path, doubled separators merged.
std::string Normalize(const std::string& path) {
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    const std::string part = path.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string out;
  for (const std::string& p : parts) out += "/" + p;
  return out.empty() ? "/" : out;
}

std::string Home() {
  std::string h;
  if (Host_Home_Dir(h)) return h;
  return "/";
}

// A typed or scripted name made into a complete path: from `base` when
// relative, "~" for the home folder.
std::string Resolve(const std::string& base, const std::string& text) {
  std::string t = text;
  if (t == "~") t = Home();
  else if (t.rfind("~/", 0) == 0) t = Home() + t.substr(1);
  if (t.empty() || t[0] != '/') t = Host_File_Join(base, t);
  return Normalize(t);
}

std::string Working_Dir() {
  std::vector<char> buf(4096);
  for (int tries = 0; tries < 6; ++tries) {
    if (getcwd(buf.data(), buf.size()) != nullptr) return std::string(buf.data());
    if (errno != ERANGE) break;
    buf.resize(buf.size() * 2);
  }
  return "/";
}

std::string Documents() {
  std::string d;
  if (Host_Documents_Dir(d)) return d;
  return Home();
}

bool Filter_Matches(const HostFileFilter& f, const std::string& name) {
  if (f.patterns.empty()) return true;
  for (const std::string& p : f.patterns)
    if (Host_File_Pattern_Match(name, p)) return true;
  return false;
}

bool Matches_All(const std::string& pattern) { return pattern == "*" || pattern == "*.*"; }

// --- Replace confirmation ---

intptr_t Confirm_Proc(HWND hdlg, UINT msg, WPARAM wparam, LPARAM) {
  if (msg == WM_INITDIALOG) return 1;
  if (msg == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
    EndDialog(hdlg, LOWORD(wparam));
    return 1;
  }
  return 0;
}

// Asks before a file is replaced. The safe answer (Cancel) is the default,
// and what an unattended run gets.
bool Confirm_Replace(HWND owner, const std::string& path) {
  HostDlgTemplate t;
  t.title = "Confirm Save As";
  t.cx = 380;
  t.cy = 120;
  const std::string text = Quoted(Leaf(path)) + " already exists.\nDo you want to replace it?";
  t.items.push_back({"STATIC", kHostFdReplaceText, text, 14, 14, 352, 54, WS_VISIBLE | SS_LEFT});
  t.items.push_back({"BUTTON", IDOK, "Replace", 196, 82, 80, 26, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON});
  t.items.push_back({"BUTTON", IDCANCEL, "Cancel", 286, 82, 80, 26, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON});
  return DialogBoxIndirectParam(nullptr, &t, owner, Confirm_Proc, 0) == IDOK;
}

// --- The dialog's state ---

struct Fd {
  const HostFileDialogParams* p = nullptr;
  HostFileDialogResult* out = nullptr;
  HWND dlg = nullptr;
  HWND list = nullptr;
  HWND scroll = nullptr;
  std::string folder;
  std::vector<HostFileEntry> entries;
  std::vector<uint8> sel;
  int32 top = 0;
  int32 caret = -1;
  int32 anchor = -1;
  int32 filter = 0;
  int32 row_h = 16;
  bool setting_name = false;
};

Fd* Fd_Of_List(HWND list) { return reinterpret_cast<Fd*>(GetWindowLongPtr(list, 0)); }

void Set_Error(Fd& fd, const std::string& text) { SetDlgItemTextA(fd.dlg, kHostFdError, text.c_str()); }

std::vector<std::string> Current_Patterns(const Fd& fd) {
  if (fd.p->mode == HOST_FD_FOLDER || fd.p->filters.empty()) return {};
  return fd.p->filters[size_t(fd.filter)].patterns;
}

int32 Count(const Fd& fd) { return int32(fd.entries.size()); }

int32 Visible_Rows(const Fd& fd) {
  RECT r{0, 0, 0, 0};
  GetClientRect(fd.list, &r);
  return std::max<int32>(1, (r.bottom - r.top) / std::max<int32>(1, fd.row_h));
}

void Update_Scroll(Fd& fd) {
  if (!fd.scroll) return;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max<int32>(0, Count(fd) - 1);
  si.nPage = UINT(Visible_Rows(fd));
  si.nPos = fd.top;
  SetScrollInfo(fd.scroll, SB_CTL, &si, true);
}

void Set_Top(Fd& fd, int32 top) {
  const int32 most = std::max<int32>(0, Count(fd) - Visible_Rows(fd));
  top = std::clamp<int32>(top, 0, most);
  if (top != fd.top) {
    fd.top = top;
    InvalidateRect(fd.list, nullptr, true);
  }
  Update_Scroll(fd);
}

void Ensure_Visible(Fd& fd, int32 ix) {
  if (ix < 0) return;
  const int32 rows = Visible_Rows(fd);
  if (ix < fd.top) Set_Top(fd, ix);
  else if (ix >= fd.top + rows) Set_Top(fd, ix - rows + 1);
}

// The name field follows the selection: the files chosen (quoted when
// several), or in the folder browser the folder chosen.
void Selection_Changed(Fd& fd) {
  InvalidateRect(fd.list, nullptr, true);
  std::vector<std::string> names;
  for (int32 i = 0; i < Count(fd); ++i) {
    if (!fd.sel[size_t(i)]) continue;
    const HostFileEntry& e = fd.entries[size_t(i)];
    if (e.is_dir == (fd.p->mode == HOST_FD_FOLDER)) names.push_back(e.name);
  }
  if (names.empty()) return;
  std::string text;
  if (names.size() == 1) {
    text = names[0];
  } else {
    for (const std::string& n : names) text += (text.empty() ? "\"" : " \"") + n + "\"";
  }
  fd.setting_name = true;
  SetDlgItemTextA(fd.dlg, kHostFdName, text.c_str());
  fd.setting_name = false;
  Set_Error(fd, "");
}

void Select_Only(Fd& fd, int32 ix) {
  std::fill(fd.sel.begin(), fd.sel.end(), uint8(0));
  if (ix >= 0 && ix < Count(fd)) fd.sel[size_t(ix)] = 1;
  fd.caret = fd.anchor = ix;
}

void Select_Range(Fd& fd, int32 to) {
  std::fill(fd.sel.begin(), fd.sel.end(), uint8(0));
  const int32 from = fd.anchor < 0 ? to : fd.anchor;
  for (int32 i = std::min(from, to); i <= std::max(from, to); ++i) fd.sel[size_t(i)] = 1;
  fd.caret = to;
}

// Shows a folder. A folder that cannot be read is refused with a message
// (the dialog stays where it was), except at the start, where it is shown
// empty so that the dialog still comes up.
bool Go_Folder(Fd& fd, const std::string& target, bool initial) {
  const std::string folder = Normalize(target);
  if (!Host_Is_Dir(folder.c_str())) {
    Set_Error(fd, Quoted(folder) + " is not a folder that exists.");
    if (!initial) return false;
  }
  std::vector<HostFileEntry> entries;
  std::string err;
  const bool ok = Host_File_List_Folder(folder, Current_Patterns(fd), fd.p->mode == HOST_FD_FOLDER, entries, err);
  if (!ok && !initial) {
    Set_Error(fd, err);
    return false;
  }
  fd.folder = folder;
  fd.entries = std::move(entries);
  fd.sel.assign(fd.entries.size(), 0);
  fd.top = 0;
  fd.caret = fd.anchor = -1;
  SetDlgItemTextA(fd.dlg, kHostFdPath, fd.folder.c_str());
  Update_Scroll(fd);
  InvalidateRect(fd.list, nullptr, true);
  if (ok) Set_Error(fd, "");
  else Set_Error(fd, err);
  return ok;
}

// The names typed in the name field: one name, or for a multiple choice
// several in double quotes.
std::vector<std::string> Typed_Names(const Fd& fd, const std::string& text) {
  std::vector<std::string> names;
  if (fd.p->multi && !text.empty() && text[0] == '"') {
    size_t i = 0;
    while (i < text.size()) {
      const size_t open = text.find('"', i);
      if (open == std::string::npos) break;
      const size_t close = text.find('"', open + 1);
      if (close == std::string::npos) {
        names.push_back(text.substr(open + 1));
        break;
      }
      if (close > open + 1) names.push_back(text.substr(open + 1, close - open - 1));
      i = close + 1;
    }
  } else if (!Is_Blank(text)) {
    names.push_back(text);
  }
  return names;
}

bool Path_Fits(Fd& fd, const std::string& path, const std::string& shown) {
  if (int64(path.size()) > int64(fd.p->max_path)) {
    Set_Error(fd, "The path of " + Quoted(shown) + " is too long (more than " + std::to_string(fd.p->max_path) +
                      " bytes).");
    return false;
  }
  if (Leaf(path).size() > kNameMax) {
    Set_Error(fd, "The name " + Quoted(shown.substr(0, 40)) + "... is too long (more than 255 bytes).");
    return false;
  }
  return true;
}

void Finish(Fd& fd, std::vector<std::string> paths) {
  fd.out->paths = std::move(paths);
  fd.out->filter_index = fd.filter;
  g_last_folder = fd.folder;
  EndDialog(fd.dlg, IDOK);
}

void Do_Open(Fd& fd, const std::vector<std::string>& names) {
  if (names.empty()) {
    Set_Error(fd, "Type or choose a file name.");
    return;
  }
  std::vector<std::string> paths;
  for (const std::string& name : names) {
    const std::string path = Resolve(fd.folder, name);
    if (Host_Is_Dir(path.c_str())) {
      if (names.size() == 1) {
        if (Go_Folder(fd, path, false)) SetDlgItemTextA(fd.dlg, kHostFdName, "");
      } else {
        Set_Error(fd, Quoted(name) + " is a folder.");
      }
      return;
    }
    if (!Path_Fits(fd, path, name)) return;
    if (!Host_Exists(path.c_str())) {
      Set_Error(fd, Quoted(name) + " was not found. Check the name and try again.");
      return;
    }
    if (!Host_Is_File(path.c_str())) {
      Set_Error(fd, Quoted(name) + " is not a file that can be opened.");
      return;
    }
    paths.push_back(path);
  }
  Finish(fd, std::move(paths));
}

void Do_Save(Fd& fd, const std::string& text) {
  if (Is_Blank(text)) {
    Set_Error(fd, "Type a file name.");
    return;
  }
  std::string path = Resolve(fd.folder, text);
  if (Host_Is_Dir(path.c_str())) {
    if (Go_Folder(fd, path, false)) SetDlgItemTextA(fd.dlg, kHostFdName, "");
    return;
  }
  if (fd.p->finish_name) path = fd.p->finish_name(path, fd.filter, fd.p->finish_data);
  const std::string name = Leaf(path);
  if (name.empty()) {
    Set_Error(fd, "Type a file name.");
    return;
  }
  if (!Path_Fits(fd, path, name)) return;
  const std::string parent = Host_File_Parent(path);
  if (!Host_Is_Dir(parent.c_str())) {
    Set_Error(fd, "The folder " + Quoted(parent) + " does not exist.");
    return;
  }
  if (Host_Is_Dir(path.c_str())) {
    Set_Error(fd, Quoted(name) + " is a folder.");
    return;
  }
  if (Host_Exists(path.c_str())) {
    if (access(path.c_str(), W_OK) != 0) {
      Set_Error(fd, Quoted(name) + " is read-only. Choose another name.");
      return;
    }
    if (fd.p->confirm_overwrite && !Confirm_Replace(fd.dlg, path)) {
      SetFocus(GetDlgItem(fd.dlg, kHostFdName));
      return;
    }
  }
  fd.folder = parent;
  Finish(fd, {path});
}

void Do_Folder(Fd& fd, const std::string& text) {
  const std::string path = Is_Blank(text) ? fd.folder : Resolve(fd.folder, text);
  if (!Host_Is_Dir(path.c_str())) {
    Set_Error(fd, Quoted(text) + " is not a folder that exists.");
    return;
  }
  if (int64(path.size()) > int64(fd.p->max_path)) {
    Set_Error(fd, "The path of this folder is too long (more than " + std::to_string(fd.p->max_path) + " bytes).");
    return;
  }
  Finish(fd, {path});
}

void Do_OK(Fd& fd) {
  // A folder typed into the path field is gone to first.
  const std::string typed = Host_Dlg_Item_Text_Utf8(fd.dlg, kHostFdPath);
  if (!Is_Blank(typed) && typed != fd.folder) {
    Go_Folder(fd, Resolve(fd.folder, typed), false);
    SetFocus(GetDlgItem(fd.dlg, kHostFdName));
    return;
  }
  HWND focus = GetFocus();
  // Enter on a folder in the list opens it (in the folder browser too: OK
  // with a folder chosen there picks it through the name field).
  if (focus == fd.list && fd.caret >= 0 && fd.caret < Count(fd) && fd.sel[size_t(fd.caret)] &&
      fd.entries[size_t(fd.caret)].is_dir && fd.p->mode != HOST_FD_FOLDER) {
    Go_Folder(fd, Host_File_Join(fd.folder, fd.entries[size_t(fd.caret)].name), false);
    return;
  }
  const std::string text = Host_Dlg_Item_Text_Utf8(fd.dlg, kHostFdName);
  switch (fd.p->mode) {
    case HOST_FD_OPEN: Do_Open(fd, Typed_Names(fd, text)); break;
    case HOST_FD_SAVE: Do_Save(fd, text); break;
    case HOST_FD_FOLDER: Do_Folder(fd, text); break;
  }
}

// Double-click or Enter on an entry: a folder opens, a file is taken.
void Activate(Fd& fd, int32 ix) {
  if (ix < 0 || ix >= Count(fd)) return;
  const HostFileEntry e = fd.entries[size_t(ix)];
  if (e.is_dir) {
    Go_Folder(fd, Host_File_Join(fd.folder, e.name), false);
    return;
  }
  Select_Only(fd, ix);
  Selection_Changed(fd);
  switch (fd.p->mode) {
    case HOST_FD_OPEN: Do_Open(fd, {e.name}); break;
    case HOST_FD_SAVE: Do_Save(fd, e.name); break;
    case HOST_FD_FOLDER: break;
  }
}

// --- The list control ---

int32 Row_At(const Fd& fd, int32 y) {
  if (y < 0) return -1;
  const int32 ix = fd.top + y / std::max<int32>(1, fd.row_h);
  return ix < Count(fd) ? ix : -1;
}

void Paint_List(HWND hwnd, Fd* fd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client{0, 0, 0, 0};
  GetClientRect(hwnd, &client);
  HBRUSH field = CreateSolidBrush(kHostFieldColor);
  HBRUSH hilite = CreateSolidBrush(kHostHighlightColor);
  HBRUSH frame = CreateSolidBrush(kHostFrameColor);
  FillRect(dc, &client, field);
  if (fd) {
    RECT sb{0, 0, 0, 0};
    const int32 sbw = fd->scroll && GetWindowRect(fd->scroll, &sb) ? sb.right - sb.left : 0;
    HFONT font = Host_Control_Font();
    if (font) Host_Select_Font(dc, font);
    SetBkMode(dc, TRANSPARENT);
    const bool focused = GetFocus() == hwnd;
    const int32 rows = Visible_Rows(*fd) + 1;
    for (int32 k = 0; k < rows; ++k) {
      const int32 ix = fd->top + k;
      if (ix >= Count(*fd)) break;
      RECT r{0, k * fd->row_h, client.right - sbw, (k + 1) * fd->row_h};
      const bool selected = fd->sel[size_t(ix)] != 0;
      if (selected) FillRect(dc, &r, hilite);
      SetTextColor(dc, selected ? kHostHighlightTextColor : kHostTextColor);
      const HostFileEntry& e = fd->entries[size_t(ix)];
      // Folders carry a trailing "/", as the desktop's own lists show them.
      const std::string shown = e.is_dir ? e.name + "/" : e.name;
      RECT tr{r.left + 4, r.top, r.right - 2, r.bottom};
      DrawTextA(dc, shown.c_str(), int32(shown.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      if (focused && ix == fd->caret) FrameRect(dc, &r, frame);
    }
    if (focused && fd->caret < 0) FrameRect(dc, &client, frame);
  }
  DeleteObject(field);
  DeleteObject(hilite);
  DeleteObject(frame);
  EndPaint(hwnd, &ps);
}

void Move_Caret(Fd& fd, int32 to, bool extend) {
  if (Count(fd) == 0) return;
  to = std::clamp<int32>(to, 0, Count(fd) - 1);
  if (extend && fd.p->multi) Select_Range(fd, to);
  else Select_Only(fd, to);
  Ensure_Visible(fd, to);
  Selection_Changed(fd);
}

// Type-ahead: the next entry after the caret whose name starts with ch.
void Jump_To_Char(Fd& fd, char16_t ch) {
  if (ch < 0x20 || ch >= 0x7F || Count(fd) == 0) return;
  const char want = Lower(char(ch));
  for (int32 k = 1; k <= Count(fd); ++k) {
    const int32 ix = (std::max<int32>(fd.caret, -1) + k) % Count(fd);
    const std::string& n = fd.entries[size_t(ix)].name;
    if (!n.empty() && Lower(n[0]) == want) {
      Move_Caret(fd, ix, false);
      return;
    }
  }
}

LRESULT List_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Fd* fd = Fd_Of_List(hwnd);
  switch (msg) {
    case WM_CREATE: {
      RECT r{0, 0, 0, 0};
      GetClientRect(hwnd, &r);
      const int32 sbw = std::max<int32>(12, GetSystemMetrics(SM_CXVSCROLL));
      CreateWindowEx(0, "SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, r.right - sbw, 0, sbw, r.bottom,
                     hwnd, reinterpret_cast<HMENU>(intptr_t(kListScrollId)), nullptr, nullptr);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint_List(hwnd, fd);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    default:
      break;
  }
  if (!fd) return DefWindowProc(hwnd, msg, wparam, lparam);
  switch (msg) {
    case WM_LBUTTONDOWN: {
      SetFocus(hwnd);
      const int32 ix = Row_At(*fd, GET_Y_LPARAM(lparam));
      if (ix < 0) return 0;
      if (fd->p->multi && (wparam & MK_CONTROL)) {
        fd->sel[size_t(ix)] = fd->sel[size_t(ix)] ? 0 : 1;
        fd->caret = fd->anchor = ix;
      } else if (fd->p->multi && (wparam & MK_SHIFT)) {
        Select_Range(*fd, ix);
      } else {
        Select_Only(*fd, ix);
      }
      Selection_Changed(*fd);
      return 0;
    }
    case WM_LBUTTONDBLCLK:
      Activate(*fd, Row_At(*fd, GET_Y_LPARAM(lparam)));
      return 0;
    case WM_KEYDOWN: {
      const bool shift = GetKeyState(VK_SHIFT) < 0;
      const int32 page = std::max<int32>(1, Visible_Rows(*fd) - 1);
      switch (int32(wparam)) {
        case VK_UP: Move_Caret(*fd, fd->caret < 0 ? 0 : fd->caret - 1, shift); return 0;
        case VK_DOWN: Move_Caret(*fd, fd->caret < 0 ? 0 : fd->caret + 1, shift); return 0;
        case VK_PRIOR: Move_Caret(*fd, fd->caret - page, shift); return 0;
        case VK_NEXT: Move_Caret(*fd, std::max<int32>(fd->caret, 0) + page, shift); return 0;
        case VK_HOME: Move_Caret(*fd, 0, shift); return 0;
        case VK_END: Move_Caret(*fd, Count(*fd) - 1, shift); return 0;
        case VK_BACK: Go_Folder(*fd, Host_File_Parent(fd->folder), false); return 0;
        default: break;
      }
      return 0;
    }
    case WM_CHAR:
      if (wparam != '\b') Jump_To_Char(*fd, char16_t(wparam));
      return 0;
    case WM_MOUSEWHEEL:
      Set_Top(*fd, fd->top - int32(int16(HIWORD(wparam))) / 120 * 3);
      return 0;
    case WM_VSCROLL: {
      const int32 page = std::max<int32>(1, Visible_Rows(*fd) - 1);
      switch (int32(LOWORD(wparam))) {
        case SB_LINEUP: Set_Top(*fd, fd->top - 1); break;
        case SB_LINEDOWN: Set_Top(*fd, fd->top + 1); break;
        case SB_PAGEUP: Set_Top(*fd, fd->top - page); break;
        case SB_PAGEDOWN: Set_Top(*fd, fd->top + page); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: Set_Top(*fd, int32(int16(HIWORD(wparam)))); break;
        case SB_TOP: Set_Top(*fd, 0); break;
        case SB_BOTTOM: Set_Top(*fd, Count(*fd)); break;
        default: break;
      }
      return 0;
    }
    case HOST_FDL_GETCOUNT:
      return Count(*fd);
    case HOST_FDL_GETENTRY: {
      const int32 ix = int32(wparam);
      if (ix < 0 || ix >= Count(*fd)) return -1;
      if (auto* s = reinterpret_cast<std::string*>(lparam)) *s = fd->entries[size_t(ix)].name;
      return fd->entries[size_t(ix)].is_dir ? 1 : 0;
    }
    case HOST_FDL_GETSEL: {
      const int32 ix = int32(wparam);
      return (ix >= 0 && ix < Count(*fd) && fd->sel[size_t(ix)]) ? 1 : 0;
    }
    case HOST_FDL_GETCARET:
      return fd->caret;
    case HOST_FDL_GETTOP:
      return fd->top;
    case HOST_FDL_ROWHEIGHT:
      return fd->row_h;
    default:
      break;
  }
  return DefWindowProc(hwnd, msg, wparam, lparam);
}

void Register_List_Class() {
  WNDCLASS have;
  if (GetClassInfo(nullptr, kListClass, &have)) return;
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = List_Proc;
  wc.cbWndExtra = 4;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kListClass;
  RegisterClass(&wc);
}

// --- The dialog ---

void Init_Dialog(Fd& fd, HWND hdlg) {
  fd.dlg = hdlg;
  fd.list = GetDlgItem(hdlg, kHostFdList);
  SetWindowLongPtr(fd.list, 0, reinterpret_cast<intptr_t>(&fd));
  fd.scroll = GetDlgItem(fd.list, kListScrollId);
  if (HFONT font = Host_Control_Font()) {
    HostTextMetric tm;
    Host_Font_Metrics(font, &tm);
    fd.row_h = std::max<int32>(12, tm.tmHeight + 4);
  }
  const HostFileDialogParams& p = *fd.p;
  if (HWND combo = GetDlgItem(hdlg, kHostFdType)) {
    if (p.filters.empty()) {
      SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"All files"));
    } else {
      for (const HostFileFilter& f : p.filters) {
        std::string text = f.description;
        std::string pats;
        for (const std::string& s : f.patterns) pats += (pats.empty() ? "" : ";") + s;
        if (!pats.empty()) text += " (" + pats + ")";
        const std::u16string u = Host_Utf8_To_Utf16(text);
        SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u.c_str()));
      }
    }
    SendMessage(combo, CB_SETCURSEL, WPARAM(fd.filter), 0);
  }
  // The starting folder: the caller's, a proposed name's own folder, the
  // last one used, else the documents folder.
  std::string start;
  std::string name = p.name;
  if (!p.folder.empty() && Host_Is_Dir(p.folder.c_str())) start = p.folder;
  const size_t slash = name.find_last_of('/');
  if (slash != std::string::npos) {
    const std::string dir = name.substr(0, slash);
    if (!dir.empty() && Host_Is_Dir(dir.c_str())) start = dir;
    name = name.substr(slash + 1);
  }
  if (start.empty() && !g_last_folder.empty() && Host_Is_Dir(g_last_folder.c_str())) start = g_last_folder;
  if (start.empty()) start = Documents();
  if (start[0] != '/') start = Resolve(Working_Dir(), start);
  Go_Folder(fd, start, true);
  SetDlgItemTextA(hdlg, kHostFdName, name.c_str());
  HWND edit = GetDlgItem(hdlg, kHostFdName);
  SetFocus(edit);
  SendMessage(edit, EM_SETSEL, 0, -1);
  if (p.on_show) PostMessage(hdlg, kFdShown, 0, 0);
}

intptr_t Fd_Proc(HWND hdlg, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_INITDIALOG) {
    Fd* fd = reinterpret_cast<Fd*>(lparam);
    SetWindowLongPtr(hdlg, DWLP_USER, lparam);
    Init_Dialog(*fd, hdlg);
    return 0;  // the focus is set
  }
  Fd* fd = reinterpret_cast<Fd*>(GetWindowLongPtr(hdlg, DWLP_USER));
  if (!fd) return 0;
  if (msg == kFdShown) {
    if (fd->p->on_show) fd->p->on_show(hdlg, fd->p->show_data);
    return 1;
  }
  if (msg != WM_COMMAND) return 0;
  const int32 id = LOWORD(wparam);
  const uint16 code = HIWORD(wparam);
  switch (id) {
    case IDOK: Do_OK(*fd); return 1;
    case IDCANCEL: EndDialog(hdlg, IDCANCEL); return 1;
    case kHostFdUp:
      Go_Folder(*fd, Host_File_Parent(fd->folder), false);
      return 1;
    case kHostFdHome:
      Go_Folder(*fd, Documents(), false);
      return 1;
    case kHostFdType:
      if (code == CBN_SELCHANGE) {
        const LRESULT ix = SendDlgItemMessage(hdlg, kHostFdType, CB_GETCURSEL, 0, 0);
        if (ix >= 0 && ix < LRESULT(fd->p->filters.size())) fd->filter = int32(ix);
        Go_Folder(*fd, fd->folder, true);
      }
      return 1;
    case kHostFdName:
      if (code == EN_CHANGE && !fd->setting_name) Set_Error(*fd, "");
      return 1;
    default:
      return 0;
  }
}

HostDlgTemplate Make_Template(const HostFileDialogParams& p) {
  HostDlgTemplate t;
  t.title = p.title;
  if (t.title.empty()) t.title = p.mode == HOST_FD_OPEN ? "Open" : p.mode == HOST_FD_SAVE ? "Save As" : "Choose a Folder";
  t.cx = 540;
  t.cy = 400;
  const uint32 vis = WS_VISIBLE;
  const uint32 tab = WS_VISIBLE | WS_TABSTOP;
  t.items.push_back({"STATIC", -1, "Folder:", 10, 12, 60, 20, vis | SS_LEFTNOWORDWRAP});
  t.items.push_back({"EDIT", kHostFdPath, "", 74, 8, 322, 24, tab | WS_GROUP | ES_AUTOHSCROLL});
  t.items.push_back({"BUTTON", kHostFdUp, "Up", 404, 8, 56, 24, tab | BS_PUSHBUTTON});
  t.items.push_back({"BUTTON", kHostFdHome, "Home", 468, 8, 62, 24, tab | BS_PUSHBUTTON});
  t.items.push_back({kListClass, kHostFdList, "", 10, 40, 520, 240, tab | WS_BORDER});
  const bool folder = p.mode == HOST_FD_FOLDER;
  t.items.push_back({"STATIC", -1, folder ? "Folder name:" : "File name:", 10, 294, 90, 20, vis | SS_LEFTNOWORDWRAP});
  t.items.push_back({"EDIT", kHostFdName, "", 104, 290, 426, 24, tab | ES_AUTOHSCROLL});
  if (!folder) {
    t.items.push_back({"STATIC", -1, "Type:", 10, 326, 90, 20, vis | SS_LEFTNOWORDWRAP});
    t.items.push_back({"COMBOBOX", kHostFdType, "", 104, 322, 426, 180, tab | WS_VSCROLL | CBS_DROPDOWNLIST});
  }
  t.items.push_back({"STATIC", kHostFdError, "", 10, 356, 340, 36, vis | SS_LEFT});
  t.items.push_back({"BUTTON", IDOK, folder ? "Choose" : (p.mode == HOST_FD_SAVE ? "Save" : "Open"), 364, 362, 80, 28,
                     tab | BS_DEFPUSHBUTTON});
  t.items.push_back({"BUTTON", IDCANCEL, "Cancel", 450, 362, 80, 28, tab | BS_PUSHBUTTON});
  return t;
}

// --- Scripted answers ---

HostAnswerKind Answer_Kind(HostFileDialogMode mode) {
  return mode == HOST_FD_OPEN ? HOST_ANSWER_OPEN : mode == HOST_FD_SAVE ? HOST_ANSWER_SAVE : HOST_ANSWER_FOLDER;
}

bool Answer_Fits(const HostFileDialogParams& p, const std::string& path) {
  if (int64(path.size()) <= int64(p.max_path) && Leaf(path).size() <= kNameMax) return true;
  std::fprintf(stderr, "velmor: file dialog answer is too long (%zu bytes): cancelled\n", path.size());
  return false;
}

bool Scripted(const HostFileDialogParams& p, const std::string& answer, HostFileDialogResult& out) {
  if (Is_Blank(answer)) return false;
  const std::string cwd = Working_Dir();
  std::vector<std::string> paths;
  int32 filter = std::clamp<int32>(p.filter_index, 0, std::max<int32>(0, int32(p.filters.size()) - 1));
  if (p.mode == HOST_FD_OPEN) {
    const std::string whole = Resolve(cwd, answer);
    if (p.multi && answer.find('|') != std::string::npos && !Host_Is_File(whole.c_str())) {
      size_t i = 0;
      while (i <= answer.size()) {
        size_t j = answer.find('|', i);
        if (j == std::string::npos) j = answer.size();
        const std::string piece = answer.substr(i, j - i);
        if (!Is_Blank(piece)) paths.push_back(Resolve(cwd, piece));
        i = j + 1;
      }
    } else {
      paths.push_back(whole);
    }
  } else if (p.mode == HOST_FD_SAVE) {
    std::string path = Resolve(cwd, answer);
    // The answer's own suffix picks the type, as choosing it in the
    // drop-down would; a name matching no filter keeps the starting one.
    const std::string name = Leaf(path);
    if (p.filters.size() > size_t(filter) && !Filter_Matches(p.filters[size_t(filter)], name)) {
      for (size_t i = 0; i < p.filters.size(); ++i) {
        const HostFileFilter& f = p.filters[i];
        bool specific = false;
        for (const std::string& pat : f.patterns)
          if (!Matches_All(pat) && Host_File_Pattern_Match(name, pat)) specific = true;
        if (specific) {
          filter = int32(i);
          break;
        }
      }
    }
    if (p.finish_name) path = p.finish_name(path, filter, p.finish_data);
    if (Host_Is_Dir(path.c_str())) {
      std::fprintf(stderr, "velmor: save dialog answer %s is a folder: cancelled\n", path.c_str());
      return false;
    }
    if (Answer_Fits(p, path) && Host_Exists(path.c_str()) && p.confirm_overwrite &&
        !Confirm_Replace(p.owner, path))
      return false;
    paths.push_back(path);
  } else {
    paths.push_back(Resolve(cwd, answer));
  }
  if (!p.multi && paths.size() > 1) paths.resize(1);
  for (const std::string& path : paths)
    if (!Answer_Fits(p, path)) return false;
  out.paths = std::move(paths);
  out.filter_index = filter;
  g_last_folder = p.mode == HOST_FD_FOLDER ? out.paths[0] : Host_File_Parent(out.paths[0]);
  return true;
}

}  // namespace

// --- Pieces ---

bool Host_File_Pattern_Match(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*") return true;  // every file, dotted or not
  // Iterative glob with one backtrack point: linear in practice, and no
  // recursion to exhaust on hostile patterns.
  size_t n = 0, p = 0;
  size_t star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n])) && pattern[p] != '*') {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string> Host_File_Split_Patterns(std::string_view list) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i <= list.size()) {
    size_t j = list.find_first_of(";,", i);
    if (j == std::string_view::npos) j = list.size();
    std::string_view piece = list.substr(i, j - i);
    while (!piece.empty() && piece.front() == ' ') piece.remove_prefix(1);
    while (!piece.empty() && piece.back() == ' ') piece.remove_suffix(1);
    if (!piece.empty()) out.emplace_back(piece);
    i = j + 1;
  }
  return out;
}

bool Host_File_List_Folder(const std::string& folder, const std::vector<std::string>& patterns, bool folders_only,
                           std::vector<HostFileEntry>& out, std::string& err) {
  out.clear();
  err.clear();
  std::vector<std::string> names;
  errno = 0;
  if (!Host_List_Dir(folder.c_str(), names)) {
    const int e = errno;
    err = "Cannot read the folder " + Quoted(folder) + (e != 0 ? ": " + std::string(std::strerror(e)) + "." : ".");
    return false;
  }
  std::vector<HostFileEntry> dirs;
  std::vector<HostFileEntry> files;
  for (std::string& name : names) {
    if (name.empty() || name[0] == '.') continue;
    const std::string full = Host_File_Join(folder, name);
    // Each entry is looked at once; one that vanished meanwhile (or a
    // dangling link) is neither and is left out.
    if (Host_Is_Dir(full.c_str())) {
      dirs.push_back({std::move(name), true});
    } else if (!folders_only && Host_Is_File(full.c_str())) {
      bool match = patterns.empty();
      for (const std::string& p : patterns)
        if (!match && Host_File_Pattern_Match(name, p)) match = true;
      if (match) files.push_back({std::move(name), false});
    }
  }
  auto less = [](const HostFileEntry& a, const HostFileEntry& b) { return Name_Less(a.name, b.name); };
  std::sort(dirs.begin(), dirs.end(), less);
  std::sort(files.begin(), files.end(), less);
  out = std::move(dirs);
  out.insert(out.end(), std::make_move_iterator(files.begin()), std::make_move_iterator(files.end()));
  return true;
}

std::string Host_File_Join(const std::string& folder, const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string Host_File_Parent(const std::string& folder) {
  std::string f = folder;
  while (f.size() > 1 && f.back() == '/') f.pop_back();
  const size_t k = f.find_last_of('/');
  if (k == std::string::npos || k == 0) return "/";
  return f.substr(0, k);
}

// --- The dialog ---

bool Host_File_Dialog(const HostFileDialogParams& params, HostFileDialogResult& out) {
  out = HostFileDialogResult{};
  std::string answer;
  if (Host_Script_Take_Answer(Answer_Kind(params.mode), answer)) {
    if (Scripted(params, answer, out)) return true;
    out = HostFileDialogResult{};
    return false;
  }
  // Nobody to ask: an unattended run never waits for a dialog.
  if (Host_Backend_Kind() != HostBackendKind::SDL && !params.show_headless) return false;
  Host_Controls_Init();
  Register_List_Class();
  Fd fd;
  fd.p = &params;
  fd.out = &out;
  fd.filter = std::clamp<int32>(params.filter_index, 0, std::max<int32>(0, int32(params.filters.size()) - 1));
  const HostDlgTemplate t = Make_Template(params);
  const intptr_t r = DialogBoxIndirectParam(nullptr, &t, params.owner, Fd_Proc, reinterpret_cast<LPARAM>(&fd));
  if (r != IDOK || out.paths.empty()) {
    out = HostFileDialogResult{};
    return false;
  }
  return true;
}
