// The colour chooser; see SysColorPick.h.
#include "platform/SysColorPick.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/HostControls.h"
#include "host/HostDialog.h"
#include "host/HostScript.h"
#include "host/HostText.h"
#include "platform/SysDlog.h"
#include "platform/SysLoop.h"

void (*g_color_chooser_shown_hook)(HWND dialog) = nullptr;

namespace {

constexpr UINT WM_PICK_SHOWN = WM_USER + 0x50;

constexpr int32 kGridColumns = 8;
constexpr int32 kStripWidth = 18;  // of the value strip; the marker lies right of it

// The running chooser (one at a time: a chooser opens nothing).
struct Chooser {
  HWND dialog = nullptr;
  a_win_pixel32 old{};
  uint8 r = 0, g = 0, b = 0;
  a_hsv hsv{0, 0, 0};
  COLORREF* custom = nullptr;
  int32 basic_cell = 0;    // the cell with the keyboard in the basic grid
  int32 custom_cell = 0;   // and in the custom grid (also where Add puts the colour)
  bool updating = false;   // fields are being written by us: their changes are ours
  std::vector<uint32> field_pixels;  // the field at full value, for its size
  int32 field_w = 0, field_h = 0;
};
Chooser* g_ch = nullptr;
// The custom cell the next "Add to Custom Colors" fills, for the session:
// each press fills the next cell, and a cell chosen with the mouse or the
// keyboard is the one filled next.
int32 g_custom_next = 0;

COLORREF Ref(uint8 r, uint8 g, uint8 b) { return RGB(r, g, b); }
uint32 Pixel(uint8 r, uint8 g, uint8 b) { return uint32(b) | (uint32(g) << 8) | (uint32(r) << 16) | 0xFF000000u; }
uint32 Pixel(COLORREF c) { return Pixel(GetRValue(c), GetGValue(c), GetBValue(c)); }

constexpr uint32 kFace = 0xFF000000u | (uint32(GetRValue(kHostFaceColor)) << 16) |
                         (uint32(GetGValue(kHostFaceColor)) << 8) | GetBValue(kHostFaceColor);
constexpr uint32 kFrame = 0xFF7A7A7Au;
constexpr uint32 kBlack = 0xFF000000u;
constexpr uint32 kWhite = 0xFFFFFFFFu;
constexpr uint32 kFocus = 0xFF0078D7u;  // the selection colour of the controls

// A picture of an item, drawn in memory and put on its window at once.
struct Canvas {
  int32 w, h;
  std::vector<uint32> px;
  Canvas(int32 width, int32 height, uint32 fill)
      : w(std::max<int32>(width, 0)), h(std::max<int32>(height, 0)), px(size_t(w) * size_t(h), fill) {}
  void Set(int32 x, int32 y, uint32 c) {
    if (x >= 0 && y >= 0 && x < w && y < h) px[size_t(y) * size_t(w) + size_t(x)] = c;
  }
  void Fill(int32 l, int32 t, int32 r, int32 b, uint32 c) {
    for (int32 y = std::max(t, 0); y < std::min(b, h); ++y)
      for (int32 x = std::max(l, 0); x < std::min(r, w); ++x) px[size_t(y) * size_t(w) + size_t(x)] = c;
  }
  void Frame(int32 l, int32 t, int32 r, int32 b, uint32 c) {
    for (int32 x = l; x < r; ++x) {
      Set(x, t, c);
      Set(x, b - 1, c);
    }
    for (int32 y = t; y < b; ++y) {
      Set(l, y, c);
      Set(r - 1, y, c);
    }
  }
  void Put(HDC dc) const {
    if (w == 0 || h == 0) return;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, 0, 0, w, h, 0, 0, w, h, px.data(), &bmi, DIB_RGB_COLORS, SRCCOPY, px.size() * 4);
  }
};

// --- Colour state ------------------------------------------------------------------

void Set_Field_Text(int16 item, int32 value) {
  SetDlgItemInt(g_ch->dialog, item, uint32(value), false);
}

// Writes every field but `except` from the state, and repaints the parts.
void Show_State(int16 except) {
  Chooser& c = *g_ch;
  c.updating = true;
  const struct {
    int16 item;
    int32 value;
  } fields[] = {{PICK_HUE, c.hsv.h}, {PICK_SAT, c.hsv.s}, {PICK_VAL, c.hsv.v},
                {PICK_RED, c.r},     {PICK_GREEN, c.g},  {PICK_BLUE, c.b}};
  for (const auto& f : fields)
    if (f.item != except) Set_Field_Text(f.item, f.value);
  if (except != PICK_HEX) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X%02X%02X", unsigned(c.r), unsigned(c.g), unsigned(c.b));
    SetDlgItemTextA(c.dialog, PICK_HEX, hex);
  }
  c.updating = false;
  for (int16 part : {PICK_FIELD, PICK_VALUE, PICK_BASIC, PICK_CUSTOM, PICK_PREVIEW})
    if (HWND w = GetDlgItem(c.dialog, part)) InvalidateRect(w, nullptr, false);
}

void Set_RGB(uint8 r, uint8 g, uint8 b, int16 from) {
  Chooser& c = *g_ch;
  c.r = r;
  c.g = g;
  c.b = b;
  const a_hsv n = RGB_To_HSV(r, g, b);
  // A grey has no hue (and black no saturation): keep what the user had.
  c.hsv.v = n.v;
  if (n.v > 0) c.hsv.s = n.s;
  if (n.v > 0 && n.s > 0) c.hsv.h = n.h;
  Show_State(from);
}

void Set_HSV(const a_hsv& hsv, int16 from) {
  Chooser& c = *g_ch;
  c.hsv = a_hsv{int16(std::clamp<int32>(hsv.h, 0, 359)), int16(std::clamp<int32>(hsv.s, 0, 100)),
                int16(std::clamp<int32>(hsv.v, 0, 100))};
  HSV_To_RGB(c.hsv, c.r, c.g, c.b);
  Show_State(from);
}

void Set_Ref(COLORREF ref, int16 from) { Set_RGB(GetRValue(ref), GetGValue(ref), GetBValue(ref), from); }

// A field the user typed into: the colour follows once the text is valid.
void Field_Changed(int16 item) {
  Chooser& c = *g_ch;
  if (c.updating) return;
  if (item == PICK_HEX) {
    char text[32];
    GetDlgItemTextA(c.dialog, PICK_HEX, text, int32(sizeof text));
    uint8 r, g, b;
    if (Parse_Hex_Color(text, r, g, b)) Set_RGB(r, g, b, PICK_HEX);
    return;
  }
  bool ok = false;
  const uint32 v = GetDlgItemInt(c.dialog, item, &ok, false);
  const uint32 top = item == PICK_HUE ? 359 : (item == PICK_SAT || item == PICK_VAL) ? 100 : 255;
  if (!ok || v > top) return;
  switch (item) {
    case PICK_HUE: Set_HSV(a_hsv{int16(v), c.hsv.s, c.hsv.v}, item); break;
    case PICK_SAT: Set_HSV(a_hsv{c.hsv.h, int16(v), c.hsv.v}, item); break;
    case PICK_VAL: Set_HSV(a_hsv{c.hsv.h, c.hsv.s, int16(v)}, item); break;
    case PICK_RED: Set_RGB(uint8(v), c.g, c.b, item); break;
    case PICK_GREEN: Set_RGB(c.r, uint8(v), c.b, item); break;
    case PICK_BLUE: Set_RGB(c.r, c.g, uint8(v), item); break;
    default: break;
  }
}

// --- The parts -----------------------------------------------------------------------

struct Grid {
  int32 count;
  int32 rows;
};
Grid Grid_Of(int32 id) { return id == PICK_BASIC ? Grid{kBasicColors, 6} : Grid{kCustomColors, 2}; }

COLORREF Grid_Color(int32 id, int32 i) { return id == PICK_BASIC ? Basic_Color(i) : g_ch->custom[i]; }
int32& Grid_Cell(int32 id) { return id == PICK_BASIC ? g_ch->basic_cell : g_ch->custom_cell; }

// Cell i of a grid item of size w x h: its rectangle.
RECT Cell_Rect(int32 id, int32 i, int32 w, int32 h) {
  const Grid g = Grid_Of(id);
  const int32 cw = w / kGridColumns, ch = h / g.rows;
  const int32 col = i % kGridColumns, row = i / kGridColumns;
  return RECT{col * cw, row * ch, col * cw + cw, row * ch + ch};
}

void Paint_Grid(Canvas& cv, int32 id, bool focused) {
  const Grid g = Grid_Of(id);
  const Chooser& c = *g_ch;
  const COLORREF now = Ref(c.r, c.g, c.b);
  for (int32 i = 0; i < g.count; ++i) {
    const RECT r = Cell_Rect(id, i, cv.w, cv.h);
    const COLORREF col = Grid_Color(id, i);
    const bool chosen = col == now && (id == PICK_BASIC || i == c.custom_cell);
    cv.Fill(r.left + 3, r.top + 3, r.right - 3, r.bottom - 3, Pixel(col));
    cv.Frame(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2, kFrame);
    if (chosen) {
      cv.Frame(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, kBlack);
      cv.Frame(r.left + 3, r.top + 3, r.right - 3, r.bottom - 3, kWhite);
    }
    if (focused && i == Grid_Cell(id)) cv.Frame(r.left, r.top, r.right, r.bottom, kFocus);
  }
}

void Make_Field_Pixels(int32 w, int32 h) {
  Chooser& c = *g_ch;
  if (c.field_w == w && c.field_h == h) return;
  c.field_w = w;
  c.field_h = h;
  c.field_pixels.assign(size_t(w) * size_t(h), 0);
  for (int32 y = 0; y < h; ++y)
    for (int32 x = 0; x < w; ++x) {
      // Exact hues and saturations, so a colour read back lands on its pixel.
      const a_hsv p{int16(std::min<int32>(359, x * 360 / std::max<int32>(w, 1))),
                    int16(100 - y * 100 / std::max<int32>(h - 1, 1)), 100};
      uint8 r, g, b;
      HSV_To_RGB(p, r, g, b);
      c.field_pixels[size_t(y) * size_t(w) + size_t(x)] = Pixel(r, g, b);
    }
}

int32 Field_X(int32 w) { return g_ch->hsv.h * w / 360; }
int32 Field_Y(int32 h) { return (100 - g_ch->hsv.s) * (h - 1) / 100; }

void Paint_Field(Canvas& cv, bool focused) {
  Make_Field_Pixels(cv.w, cv.h);
  cv.px = g_ch->field_pixels;
  // The pick: a ring, black outside and white inside, seen on any colour.
  const int32 cx = Field_X(cv.w), cy = Field_Y(cv.h);
  for (int32 dy = -7; dy <= 7; ++dy)
    for (int32 dx = -7; dx <= 7; ++dx) {
      const int32 d2 = dx * dx + dy * dy;
      if (d2 >= 25 && d2 <= 42) cv.Set(cx + dx, cy + dy, kBlack);
      else if (d2 >= 12 && d2 < 25) cv.Set(cx + dx, cy + dy, kWhite);
    }
  cv.Frame(0, 0, cv.w, cv.h, focused ? kFocus : kFrame);
}

int32 Strip_Y(int32 h, int32 v) { return (100 - v) * (h - 1) / 100; }

void Paint_Strip(Canvas& cv, bool focused) {
  const Chooser& c = *g_ch;
  for (int32 y = 0; y < cv.h; ++y) {
    const a_hsv p{c.hsv.h, c.hsv.s, int16(100 - y * 100 / std::max<int32>(cv.h - 1, 1))};
    uint8 r, g, b;
    HSV_To_RGB(p, r, g, b);
    cv.Fill(0, y, kStripWidth, y + 1, Pixel(r, g, b));
  }
  cv.Frame(0, 0, kStripWidth, cv.h, focused ? kFocus : kFrame);
  // The marker: a small black triangle pointing at the value.
  const int32 my = Strip_Y(cv.h, c.hsv.v);
  for (int32 k = 0; k < 6; ++k) cv.Fill(kStripWidth + 2 + k, my - k, kStripWidth + 3 + k, my + k + 1, kBlack);
}

void Paint_Preview(HDC dc, Canvas& cv) {
  const Chooser& c = *g_ch;
  const int32 half = cv.h / 2;
  cv.Fill(0, 0, cv.w, half, Pixel(c.r, c.g, c.b));
  cv.Fill(0, half, cv.w, cv.h, Pixel(c.old.r, c.old.g, c.old.b));
  cv.Frame(0, 0, cv.w, cv.h, kFrame);
  cv.Put(dc);
  // Labels in black or white, whichever reads better on the colour.
  auto label = [&](const char16_t* text, int32 top, int32 bottom, uint8 r, uint8 g, uint8 b) {
    const int32 luma = (299 * r + 587 * g + 114 * b) / 1000;
    SetTextColor(dc, luma > 140 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    RECT rc{0, top, cv.w, bottom};
    DrawTextW(dc, reinterpret_cast<const UniChar*>(text), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  };
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old_font = Host_Select_Font(dc, Host_Control_Font());
  label(u"New", 0, half, c.r, c.g, c.b);
  label(u"Current", half, cv.h, c.old.r, c.old.g, c.old.b);
  Host_Select_Font(dc, static_cast<HFONT>(old_font));
}

void Part_Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT rc{0, 0, 0, 0};
  GetClientRect(hwnd, &rc);
  Canvas cv(rc.right, rc.bottom, kFace);
  const int32 id = GetDlgCtrlID(hwnd);
  const bool focused = GetFocus() == hwnd;
  if (g_ch != nullptr) {
    switch (id) {
      case PICK_FIELD: Paint_Field(cv, focused); break;
      case PICK_VALUE: Paint_Strip(cv, focused); break;
      case PICK_BASIC:
      case PICK_CUSTOM: Paint_Grid(cv, id, focused); break;
      case PICK_PREVIEW: Paint_Preview(dc, cv); EndPaint(hwnd, &ps); return;
      default: break;
    }
  }
  cv.Put(dc);
  EndPaint(hwnd, &ps);
}

void Part_Pick(HWND hwnd, int32 x, int32 y) {
  if (g_ch == nullptr) return;
  RECT rc{0, 0, 0, 0};
  GetClientRect(hwnd, &rc);
  const int32 w = std::max<int32>(rc.right, 1), h = std::max<int32>(rc.bottom, 1);
  x = std::clamp<int32>(x, 0, w - 1);
  y = std::clamp<int32>(y, 0, h - 1);
  switch (GetDlgCtrlID(hwnd)) {
    case PICK_FIELD:
      Set_HSV(a_hsv{int16(std::min<int32>(359, x * 360 / w)), int16(100 - y * 100 / std::max<int32>(h - 1, 1)),
                    g_ch->hsv.v},
              0);
      break;
    case PICK_VALUE:
      Set_HSV(a_hsv{g_ch->hsv.h, g_ch->hsv.s, int16(100 - y * 100 / std::max<int32>(h - 1, 1))}, 0);
      break;
    case PICK_BASIC:
    case PICK_CUSTOM: {
      const int32 id = GetDlgCtrlID(hwnd);
      const Grid g = Grid_Of(id);
      const int32 col = std::min(kGridColumns - 1, x / std::max<int32>(w / kGridColumns, 1));
      const int32 row = std::min(g.rows - 1, y / std::max<int32>(h / g.rows, 1));
      Grid_Cell(id) = row * kGridColumns + col;
      if (id == PICK_CUSTOM) g_custom_next = Grid_Cell(id);
      Set_Ref(Grid_Color(id, Grid_Cell(id)), 0);
      break;
    }
    default: break;
  }
}

void Part_Key(HWND hwnd, WPARAM vk) {
  if (g_ch == nullptr) return;
  Chooser& c = *g_ch;
  const int32 step = GetKeyState(VK_SHIFT) < 0 ? 10 : 1;
  const int32 id = GetDlgCtrlID(hwnd);
  switch (id) {
    case PICK_FIELD: {
      a_hsv n = c.hsv;
      if (vk == VK_LEFT) n.h = int16((n.h + 360 - step) % 360);
      else if (vk == VK_RIGHT) n.h = int16((n.h + step) % 360);
      else if (vk == VK_UP) n.s = int16(std::min<int32>(100, n.s + step));
      else if (vk == VK_DOWN) n.s = int16(std::max<int32>(0, n.s - step));
      else return;
      Set_HSV(n, 0);
      break;
    }
    case PICK_VALUE: {
      a_hsv n = c.hsv;
      if (vk == VK_UP || vk == VK_RIGHT) n.v = int16(std::min<int32>(100, n.v + step));
      else if (vk == VK_DOWN || vk == VK_LEFT) n.v = int16(std::max<int32>(0, n.v - step));
      else if (vk == VK_HOME) n.v = 100;
      else if (vk == VK_END) n.v = 0;
      else return;
      Set_HSV(n, 0);
      break;
    }
    case PICK_BASIC:
    case PICK_CUSTOM: {
      const Grid g = Grid_Of(id);
      int32& cell = Grid_Cell(id);
      int32 col = cell % kGridColumns, row = cell / kGridColumns;
      if (vk == VK_LEFT) col = (col + kGridColumns - 1) % kGridColumns;
      else if (vk == VK_RIGHT) col = (col + 1) % kGridColumns;
      else if (vk == VK_UP) row = (row + g.rows - 1) % g.rows;
      else if (vk == VK_DOWN) row = (row + 1) % g.rows;
      else if (vk != VK_SPACE) return;
      cell = row * kGridColumns + col;
      if (id == PICK_CUSTOM) g_custom_next = cell;
      Set_Ref(Grid_Color(id, cell), 0);
      break;
    }
    default: break;
  }
}

LRESULT Part_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_PAINT:
      Part_Paint(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers the whole item
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
      if (GetDlgCtrlID(hwnd) == PICK_PREVIEW) return 0;
      SetFocus(hwnd);
      SetCapture(hwnd);
      Part_Pick(hwnd, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == hwnd && (wparam & MK_LBUTTON) != 0) Part_Pick(hwnd, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd) ReleaseCapture();
      return 0;
    case WM_KEYDOWN:
      Part_Key(hwnd, wparam & 0xFF);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    default:
      return DefWindowProc(hwnd, msg, wparam, lparam);
  }
}

void Register_Part_Class() {
  WNDCLASS have;
  if (GetClassInfo(nullptr, kClassPickPart, &have)) return;
  WNDCLASS wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = Part_Proc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassPickPart;
  RegisterClass(&wc);
}

// --- The dialog -------------------------------------------------------------------------

intptr_t Chooser_Proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM) {
  if (g_ch == nullptr) return 0;
  Chooser& c = *g_ch;
  switch (msg) {
    case WM_INITDIALOG: {
      c.dialog = dialog;
      for (int16 f : {PICK_HUE, PICK_SAT, PICK_VAL, PICK_RED, PICK_GREEN, PICK_BLUE})
        SendDlgItemMessage(dialog, f, EM_LIMITTEXT, 3, 0);
      SendDlgItemMessage(dialog, PICK_HEX, EM_LIMITTEXT, 7, 0);
      // The grids start on the colour given when they hold it.
      const COLORREF now = Ref(c.r, c.g, c.b);
      for (int32 i = 0; i < kBasicColors; ++i)
        if (Basic_Color(i) == now) c.basic_cell = i;
      c.custom_cell = std::clamp<int32>(g_custom_next, 0, kCustomColors - 1);
      for (int32 i = 0; i < kCustomColors; ++i)
        if (c.custom[i] == now) {
          c.custom_cell = i;
          break;
        }
      Show_State(0);
      PostMessage(dialog, WM_PICK_SHOWN, 0, 0);
      return 1;
    }
    case WM_PICK_SHOWN:
      if (g_color_chooser_shown_hook != nullptr) g_color_chooser_shown_hook(dialog);
      return 1;
    case WM_COMMAND: {
      const int16 id = int16(LOWORD(wparam));
      const uint16 code = HIWORD(wparam);
      if (id >= PICK_HUE && id <= PICK_HEX) {
        if (code == EN_CHANGE) Field_Changed(id);
        else if (code == EN_KILLFOCUS) Show_State(0);  // a field left half typed shows the colour again
        return 1;
      }
      if (code != BN_CLICKED) return 0;
      switch (id) {
        case PICK_ADD_CUSTOM:
          c.custom[g_custom_next] = Ref(c.r, c.g, c.b);
          c.custom_cell = g_custom_next;
          g_custom_next = (g_custom_next + 1) % kCustomColors;
          InvalidateRect(GetDlgItem(dialog, PICK_CUSTOM), nullptr, false);
          return 1;
        case PICK_OK:
          EndDialog(dialog, IDOK);
          return 1;
        case PICK_CANCEL:
          EndDialog(dialog, IDCANCEL);
          return 1;
        default:
          return 0;
      }
    }
    default:
      return 0;
  }
}

}  // namespace

// --- Colour arithmetic --------------------------------------------------------------------

a_hsv RGB_To_HSV(uint8 r, uint8 g, uint8 b) {
  const int32 mx = std::max({r, g, b}), mn = std::min({r, g, b});
  const int32 d = mx - mn;
  a_hsv out{0, 0, int16((mx * 100 + 127) / 255)};
  if (mx == 0 || d == 0) return out;
  out.s = int16((d * 100 + mx / 2) / mx);
  // Hue in sixths, computed in 60ths of a degree for rounding.
  int32 h;  // degrees times d, made positive
  if (mx == r) h = 60 * (int32(g) - int32(b)) + 360 * d;
  else if (mx == g) h = 60 * (int32(b) - int32(r)) + 120 * d;
  else h = 60 * (int32(r) - int32(g)) + 240 * d;
  out.h = int16(((h * 2 + d) / (2 * d)) % 360);  // rounded to whole degrees
  return out;
}

void HSV_To_RGB(const a_hsv& hsv, uint8& r, uint8& g, uint8& b) {
  const int32 h = ((hsv.h % 360) + 360) % 360;
  const int32 s = std::clamp<int32>(hsv.s, 0, 100), v = std::clamp<int32>(hsv.v, 0, 100);
  // In units of 1 / (100 * 100 * 60) of full scale, rounded at the end.
  const int32 sector = h / 60, f = h % 60;
  const int64 V = int64(v) * 100 * 60;
  const int64 p = int64(v) * (100 - s) * 60;
  const int64 q = int64(v) * (100 * 60 - int64(s) * f);
  const int64 t = int64(v) * (100 * 60 - int64(s) * (60 - f));
  int64 R, G, B;
  switch (sector) {
    case 0: R = V; G = t; B = p; break;
    case 1: R = q; G = V; B = p; break;
    case 2: R = p; G = V; B = t; break;
    case 3: R = p; G = q; B = V; break;
    case 4: R = t; G = p; B = V; break;
    default: R = V; G = p; B = q; break;
  }
  constexpr int64 full = 100 * 100 * 60;
  r = uint8((R * 255 + full / 2) / full);
  g = uint8((G * 255 + full / 2) / full);
  b = uint8((B * 255 + full / 2) / full);
}

COLORREF Basic_Color(int32 i) {
  if (i < 0 || i >= kBasicColors) return RGB(0, 0, 0);
  const int32 row = i / kGridColumns, col = i % kGridColumns;
  if (row == 5) {
    static constexpr uint8 kGreys[kGridColumns] = {255, 219, 182, 146, 109, 73, 36, 0};
    return RGB(kGreys[col], kGreys[col], kGreys[col]);
  }
  // Red, orange, yellow, green, cyan, blue, violet, magenta; pale to dark.
  static constexpr int16 kHues[kGridColumns] = {0, 30, 60, 120, 180, 220, 270, 315};
  static constexpr a_hsv kRows[5] = {{0, 30, 100}, {0, 60, 100}, {0, 100, 100}, {0, 100, 70}, {0, 100, 40}};
  a_hsv p = kRows[row];
  p.h = kHues[col];
  uint8 r, g, b;
  HSV_To_RGB(p, r, g, b);
  return RGB(r, g, b);
}

bool8 Parse_Hex_Color(const char* text, uint8& r, uint8& g, uint8& b) {
  if (text == nullptr) return false;
  if (*text == '#') ++text;
  if (std::strlen(text) != 6) return false;
  uint32 v = 0;
  for (int k = 0; k < 6; ++k) {
    const char ch = text[k];
    int32 d;
    if (ch >= '0' && ch <= '9') d = ch - '0';
    else if (ch >= 'a' && ch <= 'f') d = ch - 'a' + 10;
    else if (ch >= 'A' && ch <= 'F') d = ch - 'A' + 10;
    else return false;
    v = (v << 4) | uint32(d);
  }
  r = uint8(v >> 16);
  g = uint8(v >> 8);
  b = uint8(v);
  return true;
}

// --- Running ---------------------------------------------------------------------------------

void Color_Chooser_Init() { g_custom_next = 0; }

HWND Color_Chooser_Window() { return g_ch != nullptr ? g_ch->dialog : nullptr; }

bool8 Run_Color_Chooser(a_win_pixel32& color, COLORREF custom[kCustomColors]) {
  if (g_ch != nullptr || g_quit_pending) return false;
  std::string answer;
  if (Host_Script_Take_Answer(HOST_ANSWER_COLOR, answer)) {
    uint8 r, g, b;
    if (!Parse_Hex_Color(answer.c_str(), r, g, b)) return false;
    color.r = r;
    color.g = g;
    color.b = b;
    return true;
  }
  HostDlgTemplate t;
  if (!Get_Dialog_Template(DLOG_PICK_COLOR, t)) return false;
  Host_Controls_Init();
  Register_Part_Class();
  Chooser c;
  c.old = color;
  c.custom = custom;
  c.r = color.r;
  c.g = color.g;
  c.b = color.b;
  c.hsv = RGB_To_HSV(color.r, color.g, color.b);
  g_ch = &c;
  const intptr_t result = DialogBoxIndirectParam(nullptr, &t, main_hwnd, Chooser_Proc, 0);
  g_ch = nullptr;
  if (result != IDOK) return false;
  color.r = c.r;
  color.g = c.g;
  color.b = c.b;
  return true;
}
