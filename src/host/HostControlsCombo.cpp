// The drop-down list of the host's controls: the field, its items, and the
// pop-up list that opens under it.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "host/HostControlsCore.h"

using namespace hostctl;

namespace {

// --- Combo boxes -----------------------------------------------------------------------

struct ComboItem {
  std::u16string text;
  intptr_t data = 0;
};

struct Combo : Base {
  std::vector<ComboItem> items;
  int32 sel = -1;
  int32 drop_h = 0;  // the extent given at creation (field and list)
  HWND list = nullptr;
  int32 hot = -1;
  int32 top = 0;  // first row shown in the list
  bool closing = false;
};

struct ComboList {
  HWND combo = nullptr;
};

int32 Item_Height(Combo* st) { return Cell_Height(st->Font()) + 2; }

int32 List_Rows(HWND combo, Combo* st) {
  const int32 ih = Item_Height(st);
  const int32 field = Client_Rect(combo).bottom;
  const int32 room = std::max<int32>(ih, st->drop_h - field - 2);
  const int32 fit = std::max<int32>(1, room / ih);
  return std::max<int32>(1, std::min<int32>(fit, int32(st->items.size())));
}

void Combo_Ensure_Visible(HWND combo, Combo* st, int32 i) {
  const int32 rows = List_Rows(combo, st);
  if (i < st->top) st->top = i;
  if (i >= st->top + rows) st->top = i - rows + 1;
  st->top = std::clamp<int32>(st->top, 0, std::max<int32>(0, int32(st->items.size()) - rows));
}

void Combo_Close(HWND combo, Combo* st, bool ok) {
  if (!st->list || st->closing) return;
  st->closing = true;
  HWND list = st->list;
  st->list = nullptr;
  if (GetCapture() == list) ReleaseCapture();
  DestroyWindow(list);
  st->closing = false;
  if (!IsWindow(combo)) return;
  if (ok && st->hot >= 0 && st->hot != st->sel) {
    st->sel = st->hot;
    InvalidateRect(combo, nullptr, true);
    Notify(combo, CBN_SELCHANGE);
  }
  if (!IsWindow(combo)) return;
  Notify(combo, ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
  if (!IsWindow(combo)) return;
  Notify(combo, CBN_CLOSEUP);
  InvalidateRect(combo, nullptr, true);
}

void Combo_Drop(HWND combo, Combo* st) {
  if (st->list) return;
  Notify(combo, CBN_DROPDOWN);
  if (!IsWindow(combo)) return;
  RECT wr;
  GetWindowRect(combo, &wr);
  const int32 rows = List_Rows(combo, st);
  st->hot = st->sel;
  st->top = 0;
  if (st->sel >= 0) Combo_Ensure_Visible(combo, st, st->sel);
  const int32 h = rows * Item_Height(st) + 2;
  auto* ls = new ComboList{combo};
  HWND list = CreateWindowEx(WS_EX_NOACTIVATE, kComboListClass, nullptr, WS_POPUP | WS_BORDER, wr.left, wr.bottom,
                             wr.right - wr.left, h, GetAncestorTop(combo), nullptr, nullptr, ls);
  if (!list) {
    delete ls;
    return;
  }
  st->list = list;
  ShowWindow(list, SW_SHOWNOACTIVATE);
  SetCapture(list);
  InvalidateRect(combo, nullptr, true);
}

void Combo_Select_User(HWND combo, Combo* st, int32 i) {
  if (st->items.empty()) return;
  i = std::clamp<int32>(i, 0, int32(st->items.size()) - 1);
  if (st->list) {
    st->hot = i;
    Combo_Ensure_Visible(combo, st, i);
    InvalidateRect(st->list, nullptr, true);
    return;
  }
  if (i == st->sel) return;
  st->sel = i;
  InvalidateRect(combo, nullptr, true);
  Notify(combo, CBN_SELCHANGE);
}

bool Same_Prefix(const std::u16string& s, const std::u16string& prefix, bool exact) {
  if (exact ? s.size() != prefix.size() : s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char16_t a = s[i], b = prefix[i];
    if (a >= u'A' && a <= u'Z') a = char16_t(a + 32);
    if (b >= u'A' && b <= u'Z') b = char16_t(b + 32);
    if (a != b) return false;
  }
  return true;
}

// Case-blind order of the sorted list; equal texts keep their adding order.
bool Sorts_Before(const std::u16string& a, const std::u16string& b) {
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z') x = char16_t(x + 32);
    if (y >= u'A' && y <= u'Z') y = char16_t(y + 32);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

LRESULT Combo_Find(Combo* st, WPARAM after, LPARAM text, bool exact) {
  const char16_t* p = reinterpret_cast<const char16_t*>(text);
  if (!p) return CB_ERR;
  const std::u16string prefix = p;
  const int32 n = int32(st->items.size());
  const int32 start = (int32(intptr_t(after)) < 0 || int32(intptr_t(after)) >= n) ? -1 : int32(intptr_t(after));
  for (int32 k = 1; k <= n; ++k) {
    const int32 i = (start + k) % n;
    if (Same_Prefix(st->items[size_t(i)].text, prefix, exact)) return i;
  }
  return CB_ERR;
}

void Combo_Paint(HWND hwnd, Combo* st) {
  PAINTSTRUCT ps;
  HDC dc = Paint_Begin(hwnd, ps, st->Font());
  if (!dc) return;
  const RECT r = Client_Rect(hwnd);
  const bool enabled = IsWindowEnabled(hwnd);
  Fill(dc, r, enabled ? kHostFieldColor : kHostFaceColor);
  Frame(dc, r, GetFocus() == hwnd ? kHostHighlightColor : kHostFrameColor);
  const int32 bw = std::min<int32>(17, r.right / 2);
  RECT button{r.right - bw, r.top + 1, r.right - 1, r.bottom - 1};
  Fill(dc, button, kHostButtonColor);
  Arrow(dc, button, 1, enabled ? kHostTextColor : kHostGrayTextColor);
  if (st->sel >= 0 && st->sel < int32(st->items.size())) {
    const std::u16string& t = st->items[size_t(st->sel)].text;
    RECT tr{r.left + 4, r.top, button.left - 2, r.bottom};
    DrawTextW(dc, t.data(), int32(t.size()), &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (GetFocus() == hwnd && !st->list) {
    RECT fr{r.left + 2, r.top + 2, button.left - 1, r.bottom - 2};
    Focus_Rect(dc, fr);
  }
  EndPaint(hwnd, &ps);
}

void Combo_List_Paint(HWND list, HWND combo, Combo* st) {
  PAINTSTRUCT ps;
  HDC dc = Paint_Begin(list, ps, st->Font());
  if (!dc) return;
  const RECT r = Client_Rect(list);
  Fill(dc, r, kHostFieldColor);
  const int32 ih = Item_Height(st);
  const int32 rows = List_Rows(combo, st);
  for (int32 k = 0; k < rows; ++k) {
    const int32 i = st->top + k;
    if (i >= int32(st->items.size())) break;
    RECT ir{r.left, r.top + k * ih, r.right, r.top + (k + 1) * ih};
    const bool hot = i == st->hot;
    if (hot) Fill(dc, ir, kHostHighlightColor);
    SetTextColor(dc, hot ? kHostHighlightTextColor : kHostTextColor);
    RECT tr{ir.left + 4, ir.top, ir.right - 2, ir.bottom};
    const std::u16string& t = st->items[size_t(i)].text;
    DrawTextW(dc, t.data(), int32(t.size()), &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  EndPaint(list, &ps);
}

}  // namespace

namespace hostctl {

LRESULT Combo_List_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCT*>(lparam);
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<intptr_t>(cs->lpCreateParams));
    return DefWindowProc(hwnd, msg, wparam, lparam);
  }
  auto* ls = State_Of<ComboList>(hwnd);
  if (!ls) return DefWindowProc(hwnd, msg, wparam, lparam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtr(hwnd, 0, 0);
    delete ls;
    return 0;
  }
  HWND combo = ls->combo;
  auto* st = IsWindow(combo) ? State_Of<Combo>(combo) : nullptr;
  if (!st || st->list != hwnd) {
    if (msg == WM_PAINT) return DefWindowProc(hwnd, msg, wparam, lparam);
    return msg == WM_MOUSEACTIVATE ? MA_NOACTIVATE : DefWindowProc(hwnd, msg, wparam, lparam);
  }
  const RECT r = Client_Rect(hwnd);
  const POINT p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  const int32 ih = Item_Height(st);
  auto row_at = [&](POINT q) -> int32 {
    if (!PtInRect(&r, q)) return -1;
    const int32 i = st->top + (q.y - r.top) / ih;
    return i < int32(st->items.size()) ? i : -1;
  };
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Combo_List_Paint(hwnd, combo, st); return 0;
    case WM_MOUSEMOVE: {
      const int32 i = row_at(p);
      if (i >= 0 && i != st->hot) {
        st->hot = i;
        InvalidateRect(hwnd, nullptr, false);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const int32 i = row_at(p);
      if (i < 0 && !PtInRect(&r, p)) {
        Combo_Close(combo, st, false);
        return 0;
      }
      if (i >= 0) st->hot = i;
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    }
    case WM_LBUTTONUP: {
      const int32 i = row_at(p);
      if (i >= 0) {
        st->hot = i;
        Combo_Close(combo, st, true);
      }
      return 0;
    }
    case WM_MOUSEWHEEL: {
      const int32 delta = int16(HIWORD(wparam));
      const int32 rows = List_Rows(combo, st);
      st->top = std::clamp<int32>(st->top + (delta > 0 ? -1 : 1), 0, std::max<int32>(0, int32(st->items.size()) - rows));
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lparam) != hwnd) Combo_Close(combo, st, false);
      return 0;
    default: return DefWindowProc(hwnd, msg, wparam, lparam);
  }
}

LRESULT Combo_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Combo* st = nullptr;
  LRESULT out = 0;
  if (Common_Message(hwnd, msg, wparam, lparam, st, out)) return out;
  const int32 n = int32(st->items.size());
  switch (msg) {
    case WM_CREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCT*>(lparam);
      const int32 field = Cell_Height(st->Font()) + 8;
      st->drop_h = std::max<int32>(cs->cy, field);
      SetWindowPos(hwnd, nullptr, 0, 0, cs->cx, field, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_DESTROY:
      if (st->list) {
        HWND list = st->list;
        st->list = nullptr;
        if (GetCapture() == list) ReleaseCapture();
        DestroyWindow(list);
      }
      return 0;
    case WM_GETDLGCODE: return st->list ? DLGC_WANTALLKEYS : (DLGC_WANTARROWS | DLGC_WANTCHARS);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Combo_Paint(hwnd, st); return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, true); return 0;
    case WM_SETFOCUS:
      InvalidateRect(hwnd, nullptr, true);
      Notify(hwnd, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      Combo_Close(hwnd, st, false);
      if (!IsWindow(hwnd)) return 0;
      InvalidateRect(hwnd, nullptr, true);
      Notify(hwnd, CBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != hwnd) SetFocus(hwnd);
      if (!IsWindow(hwnd)) return 0;
      if (st->list) Combo_Close(hwnd, st, false);
      else Combo_Drop(hwnd, st);
      return 0;
    case WM_SYSKEYDOWN:
      if ((wparam == WPARAM(VK_DOWN) || wparam == WPARAM(VK_UP)) && (lparam & KF_ALTDOWN_BIT)) {
        if (st->list) Combo_Close(hwnd, st, true);
        else Combo_Drop(hwnd, st);
        return 0;
      }
      return DefWindowProc(hwnd, msg, wparam, lparam);
    case WM_KEYDOWN: {
      const int32 cur = st->list ? st->hot : st->sel;
      const int32 page = List_Rows(hwnd, st);
      switch (int32(wparam & 0xFF)) {
        case VK_UP: case VK_LEFT: Combo_Select_User(hwnd, st, cur < 0 ? 0 : cur - 1); break;
        case VK_DOWN: case VK_RIGHT: Combo_Select_User(hwnd, st, cur < 0 ? 0 : cur + 1); break;
        case VK_PRIOR: Combo_Select_User(hwnd, st, cur - page + 1); break;
        case VK_NEXT: Combo_Select_User(hwnd, st, cur + page - 1); break;
        case VK_HOME: Combo_Select_User(hwnd, st, 0); break;
        case VK_END: Combo_Select_User(hwnd, st, n - 1); break;
        case VK_F1 + 3:  // F4
          if (st->list) Combo_Close(hwnd, st, true);
          else Combo_Drop(hwnd, st);
          break;
        case VK_RETURN: if (st->list) Combo_Close(hwnd, st, true); break;
        case VK_ESCAPE: if (st->list) Combo_Close(hwnd, st, false); break;
        default: break;
      }
      return 0;
    }
    case WM_CHAR: {
      const char16_t c = char16_t(wparam);
      if (c < 0x20) return 0;
      const char16_t key[2] = {c, 0};
      const LRESULT i = Combo_Find(st, WPARAM(intptr_t(st->list ? st->hot : st->sel)), reinterpret_cast<LPARAM>(key), false);
      if (i != CB_ERR) Combo_Select_User(hwnd, st, int32(i));
      return 0;
    }
    case CB_ADDSTRING:
    case CB_INSERTSTRING: {
      const char16_t* p = reinterpret_cast<const char16_t*>(lparam);
      if (!p) return CB_ERR;
      if (n >= kHostComboMaxItems) return CB_ERRSPACE;
      ComboItem item{p, 0};
      int32 at = n;
      if (msg == CB_INSERTSTRING) {
        const intptr_t w = intptr_t(wparam);
        if (int32(w) == -1) at = n;
        else if (w < 0 || w > n) return CB_ERR;
        else at = int32(w);
      } else if (Style_Of(hwnd) & CBS_SORT) {
        at = 0;
        while (at < n && !Sorts_Before(item.text, st->items[size_t(at)].text)) ++at;
      }
      st->items.insert(st->items.begin() + at, std::move(item));
      if (st->sel >= at) ++st->sel;
      if (st->list) InvalidateRect(st->list, nullptr, false);
      return at;
    }
    case CB_DELETESTRING: {
      const intptr_t i = intptr_t(wparam);
      if (i < 0 || i >= n) return CB_ERR;
      st->items.erase(st->items.begin() + i);
      if (st->sel == i) st->sel = -1;
      else if (st->sel > i) --st->sel;
      if (st->hot >= int32(st->items.size())) st->hot = int32(st->items.size()) - 1;
      InvalidateRect(hwnd, nullptr, true);
      return LRESULT(st->items.size());
    }
    case CB_RESETCONTENT:
      Combo_Close(hwnd, st, false);
      st->items.clear();
      st->sel = st->hot = -1;
      st->top = 0;
      InvalidateRect(hwnd, nullptr, true);
      return 0;
    case CB_GETCOUNT: return n;
    case CB_GETCURSEL: return st->sel;
    case CB_SETCURSEL: {
      const intptr_t i = intptr_t(wparam);
      if (i < 0 || i >= n) {
        st->sel = -1;
        InvalidateRect(hwnd, nullptr, true);
        return CB_ERR;
      }
      st->sel = int32(i);
      InvalidateRect(hwnd, nullptr, true);
      return i;
    }
    case CB_GETLBTEXTLEN: {
      const intptr_t i = intptr_t(wparam);
      if (i < 0 || i >= n) return CB_ERR;
      return LRESULT(st->items[size_t(i)].text.size());
    }
    case CB_GETLBTEXT: {
      const intptr_t i = intptr_t(wparam);
      char16_t* p = reinterpret_cast<char16_t*>(lparam);
      if (i < 0 || i >= n || !p) return CB_ERR;
      const std::u16string& t = st->items[size_t(i)].text;
      std::memcpy(p, t.data(), t.size() * 2);
      p[t.size()] = 0;
      return LRESULT(t.size());
    }
    case CB_GETITEMDATA: {
      const intptr_t i = intptr_t(wparam);
      if (i < 0 || i >= n) return CB_ERR;
      return st->items[size_t(i)].data;
    }
    case CB_SETITEMDATA: {
      const intptr_t i = intptr_t(wparam);
      if (i < 0 || i >= n) return CB_ERR;
      st->items[size_t(i)].data = lparam;
      return 1;
    }
    case CB_FINDSTRING: return Combo_Find(st, wparam, lparam, false);
    case CB_FINDSTRINGEXACT: return Combo_Find(st, wparam, lparam, true);
    case CB_SELECTSTRING: {
      const LRESULT i = Combo_Find(st, wparam, lparam, false);
      if (i != CB_ERR) {
        st->sel = int32(i);
        InvalidateRect(hwnd, nullptr, true);
      }
      return i;
    }
    case CB_SHOWDROPDOWN:
      if (wparam) Combo_Drop(hwnd, st);
      else Combo_Close(hwnd, st, false);
      return 1;
    case CB_GETDROPPEDSTATE: return st->list ? 1 : 0;
    case CB_GETDROPPEDCONTROLRECT: {
      RECT* out = reinterpret_cast<RECT*>(lparam);
      if (!out) return CB_ERR;
      GetWindowRect(hwnd, out);
      out->bottom = out->top + st->drop_h;
      return 1;
    }
    default: return DefWindowProc(hwnd, msg, wparam, lparam);
  }
}

}  // namespace hostctl
