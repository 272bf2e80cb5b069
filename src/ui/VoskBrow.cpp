#include "ui/VoskBrow.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>

#include "doc/VoskDoc.h"
#include "doc/VoskTmpl.h"
#include "objects/VoskCanv.h"
#include "objects/VoskSym.h"
#include "pixel/ArtKeys.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "pixel/TextUtil.h"
#include "platform/MString.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysDlog.h"
#include "platform/SysFont.h"
#include "platform/SysInfo.h"
#include "platform/SysSound.h"
#include "platform/SysTimer.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskIntI.h"
#include "ui/VoskCurs.h"
#include "ui/VoskIntf.h"
#include "ui/VoskMenu.h"
#include "objects/VoskAtom.h"

namespace {

constexpr size_t kLabelCompared = 31;

// label as the slots keep it: at most 31 characters, NUL-padded.
void Slot_Label(CStrSpan label, char (&out)[32]) {
  std::memset(out, 0, sizeof out);
  for (size_t i = 0; i < label.size() && i < kLabelCompared && label[i] != 0; ++i) out[i] = label[i];
}

bool Same_Label(const char* a, const char* b) { return std::strncmp(a, b, kLabelCompared) == 0; }

// The packed preferences record is read and written by value.
a_layout_usage_rec Get_Slot(int16 slot) {
  a_layout_usage_rec rec;
  std::memcpy(&rec, &gs.pref.recentlay[slot], sizeof rec);
  return rec;
}
void Put_Slot(int16 slot, const a_layout_usage_rec& rec) {
  std::memcpy(&gs.pref.recentlay[slot], &rec, sizeof rec);
}

}  // namespace

uint32 Find_Template(CStrSpan label) {
  char want[32];
  Slot_Label(label, want);
  if (want[0] == 0) return 0;
  for (uint32 i = 1; i <= NTEMPLATES; ++i) {
    char have[32];
    Slot_Label(CStrSpan(g_ctemplates[i - 1].label, sizeof g_ctemplates[i - 1].label), have);
    if (Same_Label(want, have)) return i;
  }
  return 0;
}

void RecentLay_Add(CStrSpan label) {
  char want[32];
  Slot_Label(label, want);
  int16 found = -1, first_free = -1, least = -1;
  uint32 least_count = 0;
  for (int16 i = 0; i < MAX_NRECENTLAY; ++i) {
    const a_layout_usage_rec rec = Get_Slot(i);
    if (rec.count == 0) {
      if (first_free < 0) first_free = i;
      continue;
    }
    if (found < 0 && Same_Label(rec.label, want)) found = i;
    if (least < 0 || rec.count < least_count) {
      least = i;
      least_count = rec.count;
    }
  }
  int16 slot = found >= 0 ? found : first_free;
  a_layout_usage_rec rec{};
  if (slot >= 0) {
    rec = Get_Slot(slot);
  } else {
    slot = least;  // every slot is used: the least used one is cleared
  }
  if (slot < 0) return;
  if (found < 0) rec = a_layout_usage_rec{};
  Get_Date_Time(rec.when);
  std::memcpy(rec.label, want, sizeof rec.label);
  rec.count = rec.count + 1;
  if (rec.count == 1) rec.count = 2;
  rec.tx = 0;
  Put_Slot(slot, rec);
}

uint32 RecentLay_TemplateX(int16 slot) {
  if (slot < 0 || slot >= MAX_NRECENTLAY) return 0;
  const a_layout_usage_rec rec = Get_Slot(slot);
  if (rec.count == 0) return 0;
  // The index counts only while it still names the slot's layout: another
  // catalogue (a newer version of the program) may hold another entry there.
  if (rec.tx >= 1 && rec.tx <= NTEMPLATES) {
    char have[32];
    Slot_Label(CStrSpan(g_ctemplates[rec.tx - 1].label, sizeof g_ctemplates[rec.tx - 1].label), have);
    if (Same_Label(rec.label, have)) return rec.tx;
  }
  char label[33] = {};
  std::memcpy(label, rec.label, sizeof rec.label);
  return Find_Template(CStrSpan(label, sizeof label));
}

// --- The grid browser ---------------------------------------------------------------

a_browser_rec g_browser{};

namespace {

constexpr int16 kPromptOffset = 35;
constexpr int16 kBottomBand = 43;
constexpr int16 kSpareHeight = 78;
constexpr int16 kPageButtonW = 48;
constexpr int16 kCancelW = 65;
constexpr int16 kFaceH = 28;
constexpr int16 kStrCancel = 105;
constexpr int16 kStrChooseLayout = 431;
constexpr int16 kButtonPicture = 131;
constexpr int16 kEchoMin = 380, kEchoMax = 600, kEchoPercent = 25;
constexpr a_pixel24 kFrameGrey{80, 80, 80};
constexpr a_pixel24 kChosenColor{252, 62, 62};

struct a_cell_geometry {
  int16 w, h, spacing;
};

// Cell size and spacing by bar.
a_cell_geometry Cell_Of(a_bar bar) {
  switch (bar) {
    case FONT_BAR: return {260, 20, 1};
    case PAPER_BAR: return {240, 20, 1};
    case BORDER_BAR: return {123, 98, 1};
    case CANVAS_BAR: return {98, 98, 15};
    case PATTERN_BAR: return {96, 96, 3};
    case GRADIENT_BAR: return {45, 45, 4};
    case SYMBOL_BAR: return {90, 90, 14};
    case PAINT_COLORBAR: return {12, 13, 0};
    default: return {50, 50, 1};
  }
}

bool Is_Color_Bar(a_bar bar) { return bar >= PAINT_COLORBAR && bar <= SYMBOLS_COLORBAR; }

// An element drawn into its cell: the browser's own drawing, the bar's, else
// by family.
void Draw_Element(const a_browser_rec& b, int16 id, const Rect& r) {
  if (b.cell_draw != nullptr) {
    b.cell_draw(id, r);
  } else if (b.bar < NBARS && gs.bard[b.bar].drawproc != nullptr) {
    gs.bard[b.bar].drawproc(id, r);
  } else if (b.bar == SYMBOL_BAR) {
    Symbol_DrawElement(id, r);
  } else if (b.bar == CANVAS_BAR) {
    Canvas_DrawElement(r, id);
  } else if (Is_Color_Bar(b.bar) && id >= 0 && id < gs.ncolor_table && id < NCOLOR_TABLE) {
    SetForeColor32(gs.color_table[id]);
    PaintRect(r);
  } else {
    SetForeColor(255, 255, 255);
    PaintRect(r);
  }
}

// The prompt: the browser's own drawing, else its string (item promptx of
// list 200, or the bar's name) at the prompt's offset.
void Draw_Prompt(const a_browser_rec& b) {
  if (b.prompt_draw != nullptr) {
    b.prompt_draw(b.bb_prompt);
    return;
  }
  const int16 strx = b.bar == PAPER_BAR ? kStrChooseLayout : b.bar < NBARS ? gs.bard[b.bar].stringx : 0;
  if (strx <= 0) return;
  uStr255 text{};
  Get_DLOG_UString(text, strx);
  SetForeColor(0, 0, 0);
  DrawUStringLeft(gs.font_14pt, text, b.bb_prompt, int16(b.promptx - b.bb_prompt.left), 0);
}


// The cells' box with the chosen cell's frame, which reaches past it: a
// page turned paints all of it, so no piece of the old page's frame stays.
constexpr int16 kChosenFrame = 2;
Rect Cells_Box(const a_browser_rec& b) {
  Rect r = b.bb_cells;
  InsetRect(r, -kChosenFrame, -kChosenFrame);
  return r;
}

void Paint_Cells(const a_browser_rec& b) {
  SetForeColor(240, 240, 240);
  PaintRect(Cells_Box(b));
  for (int16 k = 0; k < b.celltotn; ++k) {
    const int32 id = int32(b.display_id) + k;
    if (id > b.last_id) break;
    const Rect cell = Browser_ID_To_Cell(b, int16(id));
    Draw_Element(b, int16(id), cell);
    if (id == b.chosen_id) {
      Rect r = cell;
      InsetRect(r, -kChosenFrame, -kChosenFrame);
      PenSize(kChosenFrame, kChosenFrame);
      SetForeColor24(kChosenColor);
      FrameRect(r);
      PenNormal();
    }
  }
}

void Paint_Buttons(const a_browser_rec& b) {
  char number[16];
  std::snprintf(number, sizeof number, "%d", (b.display_id - b.first_id) / std::max<int16>(1, b.celltotn) + 1);
  char cancel[256] = {};
  Get_DLOG_String(StrSpan(cancel), kStrCancel);
  Draw_Button_Face(ART_FACE_PREV, b.bb_prev, CStrSpan(""));
  Draw_Button_Face(ART_FACE_NEXT, b.bb_next, CStrSpan(""));
  Draw_Button_Face(ART_FACE_NUMBER, b.bb_num, CStrSpan(number, std::strlen(number)));
  Draw_Button_Face(ART_FACE_TEXT, b.bb_cancel, CStrSpan(cancel, std::strlen(cancel)));
}

void Paint_Echo(const a_browser_rec& b) {
  SetForeColor(255, 255, 255);
  PaintRect(b.bb_echo);
  if (b.echoproc == nullptr) return;
  const int16 id = b.hover_id != 0 ? b.hover_id : b.chosen_id;
  b.echoproc(id >= b.first_id && id <= b.last_id ? id : 0);
}

void Browser_Paint(HWND window) {
  const a_browser_rec& b = g_browser;
  Modal_Paint_Offscreen(window, b.bb_window, [&b] {
    SetForeColor(240, 240, 240);
    PaintRect(b.bb_window);
    SetForeColor24(kFrameGrey);
    FrameRect(b.bb_window);
    Draw_Prompt(b);
    Paint_Cells(b);
    Paint_Buttons(b);
    if (!EmptyRect(b.bb_echo)) Paint_Echo(b);
  });
}

// Only a changed page repaints the cells, the page number and the buttons.
void Page_Changed(HWND window) {
  const a_browser_rec& b = g_browser;
  Modal_Paint_Offscreen(window, Cells_Box(b), [&b] { Paint_Cells(b); });
  const Rect band{b.bb_prev.top, b.bb_prev.left, b.bb_prev.bottom, b.bb_num.right};
  Modal_Paint_Offscreen(window, band, [&b, band] {
    SetForeColor(240, 240, 240);
    PaintRect(band);
    Paint_Buttons(b);
  });
}

// The shown id under p, 0 for none.
int16 Id_At(const a_browser_rec& b, Point p) {
  if (!PtInRect(p, b.bb_cells)) return 0;
  for (int16 k = 0; k < b.celltotn && int32(b.display_id) + k <= b.last_id; ++k) {
    const int16 id = int16(b.display_id + k);
    if (PtInRect(p, Browser_ID_To_Cell(b, id))) return id;
  }
  return 0;
}

void Browser_Hover(HWND window, Point p) {
  a_browser_rec& b = g_browser;
  const int16 id = Id_At(b, p);
  if (id != 0 || PtInRect(p, b.bb_prev) || PtInRect(p, b.bb_next))
    Cursor_Set_Shape(FINGER_CURSOR);
  else
    Cursor_Arrow();
  if (b.echoproc == nullptr || id == b.hover_id) return;
  b.hover_id = id;
  Modal_Paint_Offscreen(window, b.bb_echo, [&b] { Paint_Echo(b); });
}

bool8 Browser_Event(HWND window, const EventRecord& e, bool8& okay) {
  a_browser_rec& b = g_browser;
  switch (e.what) {
    case updateEvt: Browser_Paint(window); return false;
    case nullEvent: Browser_Hover(window, Modal_Point(window, e)); return false;
    case mouseDown: {
      const Point p = Modal_Point(window, e);
      if (const int16 id = Id_At(b, p); id != 0) {
        Sound_Effect(SND_BAR_SELECT);
        b.chosen_id = id;
        okay = true;
        return true;
      }
      if (PtInRect(p, b.bb_prev)) {
        if (Browser_Delta(b, -b.celltotn)) Page_Changed(window);
      } else if (PtInRect(p, b.bb_next)) {
        if (Browser_Delta(b, b.celltotn)) Page_Changed(window);
      } else if (PtInRect(p, b.bb_cancel)) {
        Sound_Effect(SND_SUBTOOL_ONESHOT);
        okay = false;
        return true;
      } else {
        Sound_Effect(SND_NULL);
      }
      return false;
    }
    case keyDown: {
      const uint8 code = Event_KeyCode(e), ch = Event_CharCode(e);
      const a_modal_key key = Modal_Key(e);
      if (key == MODAL_KEY_ESCAPE) {
        okay = false;
        return true;
      }
      if (key == MODAL_KEY_RETURN) {
        // The framed cell, when it is one of the bar's.
        if (b.chosen_id < b.first_id || b.chosen_id > b.last_id) {
          Sound_Effect(SND_NULL);
          return false;
        }
        okay = true;
        return true;
      }
      const char upper = char(std::toupper(ch));
      bool changed = false;
      if (code == VK_PRIOR || code == VK_LEFT || code == VK_UP || ch == '[') {
        changed = Browser_Delta(b, -b.celltotn);
      } else if (code == VK_NEXT || code == VK_RIGHT || code == VK_DOWN || ch == ']') {
        changed = Browser_Delta(b, b.celltotn);
      } else if (code == VK_HOME || ch == '{') {
        changed = Browser_Delta(b, -BROWSER_JUMP);
      } else if (code == VK_END || ch == '}') {
        changed = Browser_Delta(b, BROWSER_JUMP);
      } else if (b.jumpproc != nullptr && upper >= 'A' && upper <= 'Z') {
        const int16 display = Browser_Page_Of(b, b.jumpproc(upper));
        Sound_Effect(SND_SUBTOOL_ONESHOT);
        changed = display != b.display_id;
        b.display_id = display;
      } else {
        Sound_Effect(SND_NULL);
      }
      if (changed) Page_Changed(window);
      return false;
    }
    default: return false;
  }
}

}  // namespace

bool8 Browser_Delta(a_browser_rec& b, int32 delta) {
  Sound_Effect(SND_SUBTOOL_ONESHOT);
  const int16 per = std::max<int16>(1, b.celltotn);
  const int16 last_page = int16(b.last_id - (b.last_id - b.first_id) % per);
  int32 d = delta == BROWSER_JUMP ? last_page : delta == -BROWSER_JUMP ? b.first_id : int32(b.display_id) + delta;
  if (d > b.last_id) d = b.first_id;
  if (d < b.first_id) d = last_page;
  if (d == b.display_id) return false;
  b.display_id = int16(d);
  return true;
}

int16 Browser_Page_Of(const a_browser_rec& b, int16 id) {
  if (id < b.first_id || id > b.last_id) return b.first_id;
  return int16(id - (id - b.first_id) % std::max<int16>(1, b.celltotn));
}

void Modal_Paint_Offscreen(HWND window, const Rect& box, const std::function<void()>& draw) {
  if (EmptyRect(box)) return;
  GWorldPtr off = nullptr;
  New_GWorldF("Modal_Paint_Offscreen", box, 32, nullptr, off);
  if (off == nullptr) return;
  Push_GWorld(off);
  draw();
  Pop_GWorld();
  Push_Window(window);
  Port_To_Port(off, nullptr, box, box, srcCopy, nullptr);
  Pop_Window();
  Dispose_GWorld(off);
}

a_modal_key Modal_Key(const EventRecord& e) {
  const uint8 code = Event_KeyCode(e), ch = Event_CharCode(e);
  if (code == VK_ESCAPE || ch == 27) return MODAL_KEY_ESCAPE;
  if (code == VK_RETURN || ch == 13 || ch == 3) return MODAL_KEY_RETURN;
  return MODAL_KEY_OTHER;
}

Point Modal_Point(HWND window, const EventRecord& e) {
  POINT p{e.where.h, e.where.v};
  ScreenToClient(window, &p);
  return Point{int16(std::clamp<int32>(p.y, -32768, 32767)), int16(std::clamp<int32>(p.x, -32768, 32767))};
}

void Draw_Button_Face(const Rect& face, const Rect& box, CStrSpan label) {
  a_pixt faces{};
  if (KPixt_Load_Checked(a_keyset{12, kButtonPicture, 0, 0}, faces) == PIXT_OK) {
    Pixt_Lock(faces);
    Pix_To_Port(&faces.pixmap, nullptr, face, box, srcCopy, nullptr);
  } else {
    SetForeColor(235, 235, 235);
    PaintRect(box);
    SetForeColor(60, 60, 60);
    FrameRect(box);
  }
  Pixt_Unload(faces);
  if (!label.empty() && label[0] != 0) {
    SetFont(gs.font_12pt);
    SetForeColor(0, 0, 0);
    DrawStringCentered(label, box);
  }
}

bool8 Browser_Ids(a_bar bar, int16& first_id, int16& last_id) {
  if (bar >= NBARS) return false;
  if (bar == PAPER_BAR) {
    // The paper list itself: its places, from 1.
    if (t.tlist_n == 0) Build_Template_List();
    first_id = 1;
    last_id = int16(std::min<uint32>({t.tlist_n, MAXNTEMPLATES, 32767}));
    return last_id >= first_id;
  }
  first_id = gs.bard[bar].first_id;
  last_id = gs.bard[bar].last_id;
  if (last_id > 0 && last_id >= first_id) return true;
  if (bar == SYMBOL_BAR) {
    first_id = 1;
    last_id = Symbol_Count();
  } else if (bar == CANVAS_BAR) {
    first_id = 1;
    last_id = g_doc.up != nullptr && g_doc.upx >= 1 ? Canvas_Count(g_doc.doc_template.units[g_doc.upx - 1].kind) : 0;
  } else if (bar == FONT_BAR) {
    first_id = 1;
    last_id = int16(std::min<uint32>(n_fontlist, 32000));
  } else if (Is_Color_Bar(bar)) {
    first_id = 0;
    last_id = int16(std::min<int32>(gs.ncolor_table, NCOLOR_TABLE) - 1);
  } else {
    return false;
  }
  return last_id >= first_id;
}

void Browser_Layout(a_bar bar, int16 screen_w, int16 screen_h, int16 first_id, int16 last_id, int16 chosen,
                    a_browser_rec& b) {
  b = a_browser_rec{};
  b.bar = bar;
  b.first_id = first_id;
  b.last_id = last_id;
  const a_cell_geometry g = Cell_Of(bar);
  const bool paper = bar == PAPER_BAR;
  b.cellsize = Point{g.h, g.w};
  b.celldivide = g.spacing;
  b.margin = paper ? 8 : 10;
  b.promptx = paper ? 32 : 50;
  if (paper) {
    b.cell_draw = PaperBar_DrawElement;
    b.echoproc = PaperBar_Echo;
    b.jumpproc = PaperBar_Find;
  }
  const int32 avail_w = std::min<int32>(int32(screen_w) * 99 / 100, 2000);
  const int32 avail_h = std::min<int32>(int32(screen_h) * 90 / 100, 1200);
  const int32 step_w = g.w + g.spacing, step_h = g.h + g.spacing;
  int32 echo_w = paper ? std::clamp<int32>(avail_w * kEchoPercent / 100, kEchoMin, kEchoMax) : 0;
  // A narrow screen narrows the echo first: one column of cells always fits.
  echo_w = std::clamp<int32>(avail_w - 2 * b.margin - step_w, 0, echo_w);
  const int32 area_w = avail_w - 2 * b.margin - echo_w, area_h = avail_h - 2 * b.margin - kSpareHeight;
  const int32 cols = std::max<int32>(1, area_w / step_w);
  int32 rows = std::max<int32>(1, area_h / step_h);
  const int32 n = int32(last_id) - first_id + 1;
  rows = std::max<int32>(1, std::min<int32>(rows, (n + cols - 1) / cols));
  b.celln = Point{int16(rows), int16(cols)};
  b.celltotn = int16(std::min<int32>(cols * rows, 32767));
  const int32 cells_w = cols * step_w, cells_h = rows * step_h;
  b.bb_prompt = Rect{8, 15, 8 + 27, 15 + 450};
  b.bb_cells = Rect{int16(b.margin + kPromptOffset), b.margin, int16(b.margin + kPromptOffset + cells_h),
                    int16(b.margin + cells_w)};
  const int16 width = int16(std::max<int32>(b.margin + cells_w + echo_w + b.margin,
                                            3 * kPageButtonW + kCancelW + 4 * b.margin));
  const int16 height = int16(b.margin + kPromptOffset + cells_h + b.margin + kBottomBand);
  b.bb_window = Rect{0, 0, height, width};
  b.bb_prompt.right = std::min<int16>(b.bb_prompt.right, int16(width - b.margin));
  if (echo_w > 0)
    b.bb_echo = Rect{b.bb_cells.top, int16(b.bb_cells.right + b.margin / 2), b.bb_cells.bottom,
                     int16(b.bb_cells.right + echo_w)};
  const int16 top = int16(height - kBottomBand + (kBottomBand - kFaceH) / 2);
  const int16 bottom = int16(top + kFaceH);
  b.bb_prev = Rect{top, b.margin, bottom, int16(b.margin + kPageButtonW)};
  b.bb_next = Rect{top, int16(b.bb_prev.right + 4), bottom, int16(b.bb_prev.right + 4 + kPageButtonW)};
  b.bb_num = Rect{top, int16(b.bb_next.right + 4), bottom, int16(b.bb_next.right + 4 + kPageButtonW)};
  b.bb_cancel = Rect{top, int16(width - b.margin - kCancelW), bottom, int16(width - b.margin)};
  b.chosen_id = chosen;
  b.display_id = Browser_Page_Of(b, std::clamp(chosen, first_id, last_id));
}

Rect Browser_ID_To_Cell(const a_browser_rec& b, int16 id) {
  const int32 k = int32(id) - b.display_id;
  if (k < 0 || k >= b.celltotn || id > b.last_id || b.celln.h <= 0 || b.celln.v <= 0) return Rect{0, 0, 0, 0};
  const bool columns_first = b.bar < NBARS && gs.bard[b.bar].order == TBLR;
  const int32 col = columns_first ? k / b.celln.v : k % b.celln.h;
  const int32 row = columns_first ? k % b.celln.v : k / b.celln.h;
  const int16 left = int16(b.bb_cells.left + col * (b.cellsize.h + b.celldivide));
  const int16 top = int16(b.bb_cells.top + row * (b.cellsize.v + b.celldivide));
  return Rect{top, left, int16(top + b.cellsize.v), int16(left + b.cellsize.h)};
}

namespace {

// Runs the browser laid out in g_browser.
bool8 Run_Browser() {
  const bool8 okay = Modal_WindowM(ENABLE_NONE, g_browser.bb_window.right, g_browser.bb_window.bottom, nullptr,
                                   nullptr, Browser_Event);
  Cursor_Arrow();
  return okay;
}

void Screen_Size(int16& w, int16& h) {
  w = int16(int32(info_videobounds.right) - info_videobounds.left);
  h = int16(int32(info_videobounds.bottom) - info_videobounds.top);
}

}  // namespace

bool8 Browser_Choose(a_bar bar, int16& chosen) {
  int16 first = 0, last = 0;
  if (!Browser_Ids(bar, first, last)) {
    Sound_Effect(SND_NULL);
    return false;
  }
  int16 sw = 0, sh = 0;
  Screen_Size(sw, sh);
  Browser_Layout(bar, sw, sh, first, last, chosen, g_browser);
  const bool8 okay = Run_Browser();
  if (okay) chosen = g_browser.chosen_id;
  return okay;
}

bool8 Choose_Color32(a_pixel32& colour) {
  int16 chosen = Find_In_Palette32(colour);
  if (!Browser_Choose(PAINT_COLORBAR, chosen)) return false;
  if (chosen < 0 || chosen >= NCOLOR_TABLE) return false;
  colour = gs.color_table[chosen];
  return true;
}

bool8 Choose_Color24(a_pixel24& colour) {
  a_pixel32 c{};
  c.r = colour.r;
  c.g = colour.g;
  c.b = colour.b;
  if (!Choose_Color32(c)) return false;
  colour = a_pixel24{c.r, c.g, c.b};
  return true;
}

namespace {

constexpr int16 kStrFontSub = 27;
struct a_font_prompt {
  char sample[64];
  char name[64];
} g_font_prompt;

void Draw_Prompt_FontSub(const Rect& box) {
  char text[256] = {};
  Get_DLOG_String(StrSpan(text), kStrFontSub);
  mAppend(CStrSpan(" ", 1), StrSpan(text));
  mAppend(CStrSpan(g_font_prompt.name), StrSpan(text));
  SetFont(gs.font_14pt);
  SetForeColor(0, 0, 0);
  DrawStringLeft(CStrSpan(text, std::strlen(text)), box, g_browser.promptx, 0);
  const int16 used = int16(StringWidth(CStrSpan(text, std::strlen(text))) + g_browser.promptx + 12);
  if (g_font_prompt.sample[0] != 0 && used < box.right - box.left)
    DrawStringLeft(CStrSpan(g_font_prompt.sample, std::strlen(g_font_prompt.sample)), box, used, 0);
}

}  // namespace

bool8 Ask_Font_Remap(uint32& fontx, CStrSpan sample, CStrSpan name) {
  int16 first = 0, last = 0;
  if (!Browser_Ids(FONT_BAR, first, last)) {
    Sound_Effect(SND_NULL);
    return false;
  }
  mStrCopy(sample, StrSpan(g_font_prompt.sample));
  mStrCopy(name, StrSpan(g_font_prompt.name));
  int16 sw = 0, sh = 0;
  Screen_Size(sw, sh);
  Browser_Layout(FONT_BAR, sw, sh, first, last, int16(std::clamp<uint32>(fontx, 0, 32767)), g_browser);
  g_browser.promptx = 27;
  g_browser.prompt_draw = Draw_Prompt_FontSub;
  if (!Run_Browser()) return false;
  fontx = uint32(g_browser.chosen_id);
  return true;
}
