// The edit field of the host's controls: one line or several, selection,
// the caret, undo of the last change, a length limit, and the controls' own
// clipboard.
#include <algorithm>
#include <string>
#include <vector>

#include "host/HostControlsCore.h"
#include "host/HostUtf.h"

using namespace hostctl;

namespace {

std::u16string g_clip;  // the controls' own clipboard (Ctrl+C / X / V)

// --- Edit fields ----------------------------------------------------------------------

struct Edit : Base {
  int32 caret = 0;   // UTF-16 index
  int32 anchor = 0;  // the other end of the selection
  int32 scroll_x = 0;     // pixels hidden at the left (single line)
  int32 first_line = 0;   // first visible line (multi-line)
  int32 limit = kHostEditDefaultLimit;
  bool modified = false;
  bool tracking = false;
  std::u16string undo_text;
  int32 undo_caret = 0;
  bool can_undo = false;
};

constexpr int32 kEditPad = 3;

constexpr bool Is_High(char16_t c) { return Host_Is_High_Surrogate(c); }
constexpr bool Is_Low(char16_t c) { return Host_Is_Low_Surrogate(c); }

// The previous and next caret positions: a surrogate pair and a CR LF pair
// are one step.
int32 Prev_Pos(const std::u16string& t, int32 i) {
  if (i <= 0) return 0;
  --i;
  if (i > 0 && ((Is_Low(t[size_t(i)]) && Is_High(t[size_t(i - 1)])) || (t[size_t(i)] == u'\n' && t[size_t(i - 1)] == u'\r')))
    --i;
  return i;
}
int32 Next_Pos(const std::u16string& t, int32 i) {
  const int32 n = int32(t.size());
  if (i >= n) return n;
  if (i + 1 < n && ((Is_High(t[size_t(i)]) && Is_Low(t[size_t(i + 1)])) || (t[size_t(i)] == u'\r' && t[size_t(i + 1)] == u'\n')))
    return i + 2;
  return i + 1;
}
// A position never splits a pair.
int32 Snap(const std::u16string& t, int32 i) {
  i = std::clamp<int32>(i, 0, int32(t.size()));
  if (i > 0 && i < int32(t.size()) &&
      ((Is_Low(t[size_t(i)]) && Is_High(t[size_t(i - 1)])) || (t[size_t(i)] == u'\n' && t[size_t(i - 1)] == u'\r')))
    --i;
  return i;
}

bool Is_Word(char16_t c) {
  return c == u'_' || (c >= u'0' && c <= u'9') || ((c | 0x20) >= u'a' && (c | 0x20) <= u'z') || c >= 0x80;
}

int32 Word_Left(const std::u16string& t, int32 i) {
  while (i > 0 && !Is_Word(t[size_t(i - 1)])) --i;
  while (i > 0 && Is_Word(t[size_t(i - 1)])) --i;
  return i;
}
int32 Word_Right(const std::u16string& t, int32 i) {
  const int32 n = int32(t.size());
  while (i < n && Is_Word(t[size_t(i)])) ++i;
  while (i < n && !Is_Word(t[size_t(i)])) ++i;
  return i;
}

// Lines of the text: [start, end) without the line break.
struct Line {
  int32 start, end;
};
std::vector<Line> Lines_Of(const std::u16string& t, bool multi) {
  std::vector<Line> out;
  if (!multi) {
    out.push_back({0, int32(t.size())});
    return out;
  }
  int32 s = 0;
  for (int32 i = 0; i < int32(t.size()); ++i) {
    if (t[size_t(i)] == u'\n') {
      const int32 e = (i > s && t[size_t(i - 1)] == u'\r') ? i - 1 : i;
      out.push_back({s, e});
      s = i + 1;
    }
  }
  out.push_back({s, int32(t.size())});
  return out;
}
int32 Line_Index(const std::vector<Line>& lines, int32 pos) {
  for (int32 i = int32(lines.size()) - 1; i >= 0; --i)
    if (pos >= lines[size_t(i)].start) return i;
  return 0;
}

// What is drawn for the text of a line (a password field shows stars).
std::u16string Shown(HWND hwnd, const std::u16string& t, const Line& l) {
  std::u16string s = t.substr(size_t(l.start), size_t(l.end - l.start));
  if (Style_Of(hwnd) & ES_PASSWORD) std::fill(s.begin(), s.end(), u'*');
  return s;
}

// X offsets of each position of a line (x[k] = width of the first k units).
std::vector<int32> Offsets(HDC dc, const std::u16string& s) {
  std::vector<int32> x(s.size() + 1, 0);
  int32 acc = 0;
  for (size_t i = 0; i < s.size();) {
    const size_t n = (Is_High(s[i]) && i + 1 < s.size() && Is_Low(s[i + 1])) ? 2 : 1;
    acc += Text_Width(dc, s.data() + i, int32(n));
    for (size_t k = 1; k <= n; ++k) x[i + k] = acc;
    i += n;
  }
  return x;
}

struct Edit_Layout {
  RECT text;       // the text area
  int32 line_h;
  int32 align_dx;  // single line: offset of the text for ES_CENTER / ES_RIGHT
};

Edit_Layout Layout_Of(HWND hwnd, Edit* st, HDC dc) {
  Edit_Layout L;
  const RECT r = Client_Rect(hwnd);
  L.text = RECT{r.left + kEditPad, r.top + 2, r.right - kEditPad, r.bottom - 2};
  L.line_h = Cell_Height(st->Font());
  L.align_dx = 0;
  const uint32 s = Style_Of(hwnd);
  if (!(s & ES_MULTILINE)) {
    const int32 avail = L.text.bottom - L.text.top;
    L.text.top += std::max<int32>(0, (avail - L.line_h) / 2);
    const std::u16string t = Title(hwnd);
    const int32 w = Offsets(dc, Shown(hwnd, t, Line{0, int32(t.size())})).back();
    const int32 room = L.text.right - L.text.left;
    if (w < room) {
      if ((s & 3) == ES_CENTER) L.align_dx = (room - w) / 2;
      else if ((s & 3) == ES_RIGHT) L.align_dx = room - w - 1;
    }
  }
  return L;
}

HDC Measure_DC(HWND hwnd, Edit* st) {
  HDC dc = GetDC(hwnd);
  if (dc) Host_Select_Font(dc, st->Font());
  return dc;
}

// Scrolls so that the caret shows.
void Edit_Show_Caret(HWND hwnd, Edit* st) {
  HDC dc = Measure_DC(hwnd, st);
  if (!dc) return;
  const std::u16string t = Title(hwnd);
  const bool multi = (Style_Of(hwnd) & ES_MULTILINE) != 0;
  const auto lines = Lines_Of(t, multi);
  const Edit_Layout L = Layout_Of(hwnd, st, dc);
  const int32 li = Line_Index(lines, st->caret);
  const Line& l = lines[size_t(li)];
  const auto x = Offsets(dc, Shown(hwnd, t, l));
  const int32 cx = x[size_t(std::clamp<int32>(st->caret - l.start, 0, int32(x.size()) - 1))];
  const int32 room = std::max<int32>(1, L.text.right - L.text.left);
  if (cx - st->scroll_x >= room) st->scroll_x = cx - room + 1 + room / 4;
  if (cx - st->scroll_x < 0) st->scroll_x = std::max<int32>(0, cx - room / 4);
  if (x.back() - st->scroll_x < room - 1) st->scroll_x = std::max<int32>(0, x.back() - room + 1);
  if (multi) {
    const int32 rows = std::max<int32>(1, (L.text.bottom - L.text.top) / std::max<int32>(1, L.line_h));
    if (li < st->first_line) st->first_line = li;
    if (li >= st->first_line + rows) st->first_line = li - rows + 1;
    st->first_line = std::clamp<int32>(st->first_line, 0, std::max<int32>(0, int32(lines.size()) - 1));
  }
  ReleaseDC(hwnd, dc);
}

void Edit_Changed_View(HWND hwnd, Edit* st) {
  Edit_Show_Caret(hwnd, st);
  InvalidateRect(hwnd, nullptr, true);
}

void Edit_Set_Sel(HWND hwnd, Edit* st, int32 anchor, int32 caret) {
  const std::u16string t = Title(hwnd);
  st->anchor = Snap(t, anchor);
  st->caret = Snap(t, caret);
  Edit_Changed_View(hwnd, st);
}

void Edit_Notify_Change(HWND hwnd) {
  Notify(hwnd, EN_UPDATE);
  if (IsWindow(hwnd)) Notify(hwnd, EN_CHANGE);
}

// Replaces the selection with ins, as far as the limit lets it; the
// caret ends after the insertion. Returns whether the text changed.
bool Edit_Replace(HWND hwnd, Edit* st, std::u16string ins, bool typed) {
  const uint32 s = Style_Of(hwnd);
  std::u16string t = Title(hwnd);
  st->caret = Snap(t, st->caret);
  st->anchor = Snap(t, st->anchor);
  const int32 a = std::min(st->caret, st->anchor), b = std::max(st->caret, st->anchor);
  if (!(s & ES_MULTILINE)) {
    // A single line ends at the first line break.
    const size_t br = ins.find_first_of(u"\r\n");
    if (br != std::u16string::npos) ins.resize(br);
  }
  for (char16_t& c : ins) {
    if ((s & ES_UPPERCASE) && c >= u'a' && c <= u'z') c = char16_t(c - 32);
    if ((s & ES_LOWERCASE) && c >= u'A' && c <= u'Z') c = char16_t(c + 32);
  }
  const int64 room = int64(st->limit) - (int64(t.size()) - (b - a));
  bool cut = false;
  if (int64(ins.size()) > room) {
    size_t keep = size_t(std::max<int64>(0, room));
    if (keep > 0 && keep < ins.size() && Is_High(ins[keep - 1]) && Is_Low(ins[keep])) --keep;
    if (keep > 0 && keep < ins.size() && ins[keep - 1] == u'\r' && ins[keep] == u'\n') --keep;
    ins.resize(keep);
    cut = true;
  }
  if (a == b && ins.empty()) {
    if (cut && typed) Notify(hwnd, EN_MAXTEXT);
    return false;
  }
  st->undo_text = t;
  st->undo_caret = st->caret;
  st->can_undo = true;
  t.replace(size_t(a), size_t(b - a), ins);
  SetWindowTextW(hwnd, t.c_str());
  st->caret = st->anchor = a + int32(ins.size());
  st->modified = true;
  Edit_Changed_View(hwnd, st);
  Edit_Notify_Change(hwnd);
  if (cut && IsWindow(hwnd)) Notify(hwnd, EN_MAXTEXT);
  return true;
}

int32 Edit_Hit(HWND hwnd, Edit* st, POINT p) {
  HDC dc = Measure_DC(hwnd, st);
  if (!dc) return 0;
  const std::u16string t = Title(hwnd);
  const bool multi = (Style_Of(hwnd) & ES_MULTILINE) != 0;
  const auto lines = Lines_Of(t, multi);
  const Edit_Layout L = Layout_Of(hwnd, st, dc);
  int32 li = 0;
  if (multi) li = std::clamp<int32>(st->first_line + (p.y - L.text.top) / std::max<int32>(1, L.line_h), 0, int32(lines.size()) - 1);
  const Line& l = lines[size_t(li)];
  const auto x = Offsets(dc, Shown(hwnd, t, l));
  ReleaseDC(hwnd, dc);
  const int32 px = p.x - L.text.left - L.align_dx + st->scroll_x;
  int32 best = 0;
  for (int32 k = 0; k < int32(x.size()); ++k) {
    if (std::abs(x[size_t(k)] - px) < std::abs(x[size_t(best)] - px)) best = k;
  }
  return Snap(t, l.start + best);
}

void Edit_Paint(HWND hwnd, Edit* st) {
  PAINTSTRUCT ps;
  HDC dc = Paint_Begin(hwnd, ps, st->Font());
  if (!dc) return;
  const RECT r = Client_Rect(hwnd);
  const uint32 s = Style_Of(hwnd);
  const bool enabled = IsWindowEnabled(hwnd);
  const bool focus = GetFocus() == hwnd;
  Fill(dc, r, (enabled && !(s & ES_READONLY)) ? kHostFieldColor : kHostFaceColor);
  Frame(dc, r, focus ? kHostHighlightColor : kHostFrameColor);
  const std::u16string t = Title(hwnd);
  const bool multi = (s & ES_MULTILINE) != 0;
  const auto lines = Lines_Of(t, multi);
  const Edit_Layout L = Layout_Of(hwnd, st, dc);
  SaveDC(dc);
  IntersectClipRect(dc, L.text.left, L.text.top - (multi ? 0 : 1), L.text.right, L.text.bottom + (multi ? 0 : 1));
  const int32 sa = std::min(st->caret, st->anchor), sb = std::max(st->caret, st->anchor);
  const bool show_sel = sa != sb && (focus || (s & ES_NOHIDESEL));
  const int32 first = multi ? st->first_line : 0;
  for (int32 li = first; li < int32(lines.size()); ++li) {
    const int32 y = L.text.top + (li - first) * L.line_h;
    if (y >= L.text.bottom) break;
    const Line& l = lines[size_t(li)];
    const std::u16string shown = Shown(hwnd, t, l);
    const auto x = Offsets(dc, shown);
    const int32 x0 = L.text.left + L.align_dx - st->scroll_x;
    const int32 a = std::clamp(sa, l.start, l.end) - l.start, b = std::clamp(sb, l.start, l.end) - l.start;
    SetTextColor(dc, enabled ? kHostTextColor : kHostGrayTextColor);
    TextOutW(dc, x0, y, shown.data(), int32(shown.size()));
    if (show_sel && (a < b || (sb > l.end && sa <= l.end && multi))) {
      RECT hr{x0 + x[size_t(a)], y, x0 + x[size_t(b)] + ((sb > l.end && multi) ? 4 : 0), y + L.line_h};
      Fill(dc, hr, kHostHighlightColor);
      SetTextColor(dc, kHostHighlightTextColor);
      if (b > a) TextOutW(dc, x0 + x[size_t(a)], y, shown.data() + a, b - a);
    }
    if (focus && st->caret >= l.start && st->caret <= l.end && Line_Index(lines, st->caret) == li) {
      const int32 cx = x0 + x[size_t(std::clamp<int32>(st->caret - l.start, 0, int32(x.size()) - 1))];
      RECT cr{cx, y, cx + 1, y + L.line_h};
      Fill(dc, cr, kHostTextColor);
    }
  }
  RestoreDC(dc, -1);
  EndPaint(hwnd, &ps);
}

void Edit_Move(HWND hwnd, Edit* st, int32 to, bool extend) {
  st->caret = Snap(Title(hwnd), to);
  if (!extend) st->anchor = st->caret;
  Edit_Changed_View(hwnd, st);
}

void Edit_Key(HWND hwnd, Edit* st, int32 vk) {
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  const std::u16string t = Title(hwnd);
  const bool multi = (Style_Of(hwnd) & ES_MULTILINE) != 0;
  const int32 sa = std::min(st->caret, st->anchor), sb = std::max(st->caret, st->anchor);
  const auto lines = Lines_Of(t, multi);
  const int32 li = Line_Index(lines, st->caret);
  switch (vk) {
    case VK_LEFT:
      if (sa != sb && !shift) Edit_Move(hwnd, st, sa, false);
      else Edit_Move(hwnd, st, ctrl ? Word_Left(t, st->caret) : Prev_Pos(t, st->caret), shift);
      break;
    case VK_RIGHT:
      if (sa != sb && !shift) Edit_Move(hwnd, st, sb, false);
      else Edit_Move(hwnd, st, ctrl ? Word_Right(t, st->caret) : Next_Pos(t, st->caret), shift);
      break;
    case VK_HOME: Edit_Move(hwnd, st, (ctrl || !multi) ? 0 : lines[size_t(li)].start, shift); break;
    case VK_END: Edit_Move(hwnd, st, (ctrl || !multi) ? int32(t.size()) : lines[size_t(li)].end, shift); break;
    case VK_UP:
    case VK_DOWN: {
      if (!multi) break;
      const int32 to = vk == VK_UP ? li - 1 : li + 1;
      if (to < 0 || to >= int32(lines.size())) break;
      const int32 col = st->caret - lines[size_t(li)].start;
      const Line& l = lines[size_t(to)];
      Edit_Move(hwnd, st, std::min(l.start + col, l.end), shift);
      break;
    }
    case VK_DELETE:
      if (Style_Of(hwnd) & ES_READONLY) break;
      if (shift && sa != sb) {
        SendMessage(hwnd, WM_CUT, 0, 0);
        break;
      }
      if (sa == sb) st->anchor = Next_Pos(t, st->caret);
      Edit_Replace(hwnd, st, u"", true);
      break;
    default: break;
  }
}

void Edit_Char(HWND hwnd, Edit* st, char16_t c) {
  const uint32 s = Style_Of(hwnd);
  const std::u16string t = Title(hwnd);
  switch (c) {
    case 1: Edit_Set_Sel(hwnd, st, 0, int32(t.size())); return;  // Ctrl+A
    case 3: SendMessage(hwnd, WM_COPY, 0, 0); return;
    case 22: SendMessage(hwnd, WM_PASTE, 0, 0); return;
    case 24: SendMessage(hwnd, WM_CUT, 0, 0); return;
    case 26: SendMessage(hwnd, EM_UNDO, 0, 0); return;
    default: break;
  }
  if (s & ES_READONLY) return;
  if (c == 8) {
    if (st->caret == st->anchor) st->anchor = Prev_Pos(t, st->caret);
    Edit_Replace(hwnd, st, u"", true);
    return;
  }
  if (c == 13 || c == 10) {
    if (s & ES_MULTILINE) Edit_Replace(hwnd, st, u"\r\n", true);
    return;
  }
  if (c < 0x20 || c == 0x7F) return;
  if ((s & ES_NUMBER) && !(c >= u'0' && c <= u'9')) return;
  Edit_Replace(hwnd, st, std::u16string(1, c), true);
}

}  // namespace

namespace hostctl {

LRESULT Edit_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Edit* st = nullptr;
  LRESULT out = 0;
  if (Common_Message(hwnd, msg, wparam, lparam, st, out)) return out;
  const uint32 s = Style_Of(hwnd);
  switch (msg) {
    case WM_CREATE: {
      // A text given at creation is the starting text, within the limit.
      std::u16string t = Title(hwnd);
      if (int32(t.size()) > st->limit) SetWindowTextW(hwnd, t.substr(0, size_t(st->limit)).c_str());
      return 0;
    }
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if ((s & ES_MULTILINE) && (s & ES_WANTRETURN)) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Edit_Paint(hwnd, st); return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, true); return 0;
    case WM_SETFOCUS:
      InvalidateRect(hwnd, nullptr, true);
      Notify(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, true);
      Notify(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_SETTEXT: {
      const char16_t* p = reinterpret_cast<const char16_t*>(lparam);
      std::u16string t = p ? p : u"";
      if (int32(t.size()) > st->limit) t.resize(size_t(st->limit));
      if (!t.empty() && Is_High(t.back())) t.pop_back();
      SetWindowTextW(hwnd, t.c_str());
      st->caret = st->anchor = 0;
      st->scroll_x = 0;
      st->first_line = 0;
      st->modified = false;
      st->can_undo = false;
      InvalidateRect(hwnd, nullptr, true);
      Edit_Notify_Change(hwnd);
      return 1;
    }
    case WM_KEYDOWN: Edit_Key(hwnd, st, int32(wparam & 0xFF)); return 0;
    case WM_CHAR: Edit_Char(hwnd, st, char16_t(wparam)); return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != hwnd) SetFocus(hwnd);
      const int32 pos = Edit_Hit(hwnd, st, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      Edit_Move(hwnd, st, pos, (wparam & MK_SHIFT) != 0);
      st->tracking = true;
      SetCapture(hwnd);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      const std::u16string t = Title(hwnd);
      const int32 pos = Edit_Hit(hwnd, st, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      int32 a = pos, b = pos;
      while (a > 0 && Is_Word(t[size_t(a - 1)])) --a;
      while (b < int32(t.size()) && Is_Word(t[size_t(b)])) ++b;
      Edit_Set_Sel(hwnd, st, a, b);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (st->tracking) {
        const int32 pos = Edit_Hit(hwnd, st, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
        if (pos != st->caret) Edit_Move(hwnd, st, pos, true);
      }
      return 0;
    case WM_LBUTTONUP:
      if (st->tracking) {
        st->tracking = false;
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED: st->tracking = false; return 0;
    case EM_GETSEL: {
      const uint32 a = uint32(std::min(st->caret, st->anchor)), b = uint32(std::max(st->caret, st->anchor));
      if (wparam) *reinterpret_cast<uint32*>(wparam) = a;
      if (lparam) *reinterpret_cast<uint32*>(lparam) = b;
      return LRESULT(uint32(MAKELPARAM(int32(std::min<uint32>(a, 0xFFFF)), int32(std::min<uint32>(b, 0xFFFF)))));
    }
    case EM_SETSEL: {
      const int32 n = int32(Title(hwnd).size());
      const intptr_t a = intptr_t(wparam), b = lparam;
      if (int32(a) == -1) {
        Edit_Set_Sel(hwnd, st, st->caret, st->caret);
        return 0;
      }
      const int32 ca = (a < 0 || a > n) ? n : int32(a);
      const int32 cb = (b < 0 || b > n) ? n : int32(b);
      Edit_Set_Sel(hwnd, st, ca, cb);
      return 0;
    }
    case EM_REPLACESEL: {
      const char16_t* p = reinterpret_cast<const char16_t*>(lparam);
      Edit_Replace(hwnd, st, p ? p : u"", false);
      return 0;
    }
    case EM_LIMITTEXT: {
      const uint64 v = uint64(wparam);
      st->limit = (v == 0 || v > 0x7FFFFFFEu) ? 0x7FFFFFFE : int32(v);
      return 0;
    }
    case EM_GETLIMITTEXT: return st->limit;
    case EM_GETMODIFY: return st->modified ? 1 : 0;
    case EM_SETMODIFY: st->modified = wparam != 0; return 0;
    case EM_GETLINECOUNT: return LRESULT(Lines_Of(Title(hwnd), (s & ES_MULTILINE) != 0).size());
    case EM_SCROLLCARET: Edit_Show_Caret(hwnd, st); InvalidateRect(hwnd, nullptr, true); return 1;
    case EM_SETREADONLY: {
      SetWindowLongPtr(hwnd, GWL_STYLE, intptr_t(wparam ? (s | ES_READONLY) : (s & ~ES_READONLY)));
      InvalidateRect(hwnd, nullptr, true);
      return 1;
    }
    case EM_CANUNDO: return st->can_undo ? 1 : 0;
    case EM_UNDO:
    case WM_UNDO: {
      if (!st->can_undo || (s & ES_READONLY)) return 0;
      const std::u16string before = Title(hwnd);
      SetWindowTextW(hwnd, st->undo_text.c_str());
      st->undo_text = before;
      st->caret = st->anchor = Snap(Title(hwnd), st->undo_caret);
      st->modified = true;
      Edit_Changed_View(hwnd, st);
      Edit_Notify_Change(hwnd);
      return 1;
    }
    case WM_COPY:
    case WM_CUT: {
      const int32 a = std::min(st->caret, st->anchor), b = std::max(st->caret, st->anchor);
      if (a == b || (s & ES_PASSWORD)) return 0;
      g_clip = Title(hwnd).substr(size_t(a), size_t(b - a));
      if (msg == WM_CUT && !(s & ES_READONLY)) Edit_Replace(hwnd, st, u"", false);
      return 0;
    }
    case WM_PASTE:
      if (!(s & ES_READONLY)) Edit_Replace(hwnd, st, g_clip, true);
      return 0;
    case WM_CLEAR:
      if (!(s & ES_READONLY)) Edit_Replace(hwnd, st, u"", false);
      return 0;
    default: return DefWindowProc(hwnd, msg, wparam, lparam);
  }
}

}  // namespace hostctl
