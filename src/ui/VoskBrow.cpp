#include "ui/VoskBrow.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "doc/VoskTmpl.h"
#include "objects/VoskCanv.h"
#include "objects/VoskSym.h"
#include "pixel/ArtKeys.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "pixel/TextUtil.h"
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
#include "ui/VoskIntf.h"

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
constexpr int16 kButtonPicture = 131;
constexpr a_pixel24 kFrameGrey{80, 80, 80};
constexpr a_pixel24 kChosenColor{252, 62, 62};
constexpr int16 kJump = 32000;

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

// An element drawn into its cell: the bar's own drawing, else by family.
void Draw_Element(a_bar bar, int16 id, const Rect& r) {
  if (gs.bard[bar].drawproc != nullptr) {
    gs.bard[bar].drawproc(id, r);
  } else if (bar == SYMBOL_BAR) {
    Symbol_DrawElement(id, r);
  } else if (bar == CANVAS_BAR) {
    Canvas_DrawElement(r, id);
  } else if (bar == PAPER_BAR) {
    // The layout's label until the paper list draws its own cells.
    SetForeColor(255, 255, 255);
    PaintRect(r);
    a_ctemplate entry;
    if (Get_CTemplate(uint32(id), entry)) {
      char label[33] = {};
      std::memcpy(label, entry.label, sizeof entry.label);
      SetFont(gs.font_12pt);
      SetForeColor(0, 0, 0);
      DrawStringCentered(CStrSpan(label, std::strlen(label)), r);
    }
  } else if (Is_Color_Bar(bar) && id >= 0 && id < gs.ncolor_table && id < NCOLOR_TABLE) {
    SetForeColor32(gs.color_table[id]);
    PaintRect(r);
  } else {
    SetForeColor(255, 255, 255);
    PaintRect(r);
  }
}

void Browser_Paint(HWND window) {
  const a_browser_rec& b = g_browser;
  GWorldPtr off = nullptr;
  New_GWorldF("Browser_Paint", b.bb_window, 32, nullptr, off);
  if (off == nullptr) return;
  Push_GWorld(off);
  SetForeColor(240, 240, 240);
  PaintRect(b.bb_window);
  SetForeColor24(kFrameGrey);
  FrameRect(b.bb_window);
  for (int16 k = 0; k < b.celltotn; ++k) {
    const int32 id = int32(b.display_id) + k;
    if (id > b.last_id) break;
    const Rect cell = Browser_ID_To_Cell(b, int16(id));
    Draw_Element(b.bar, int16(id), cell);
    if (id == b.chosen_id) {
      Rect r = cell;
      InsetRect(r, -2, -2);
      PenSize(2, 2);
      SetForeColor24(kChosenColor);
      FrameRect(r);
      PenNormal();
    }
  }
  char number[16];
  std::snprintf(number, sizeof number, "%d", (b.display_id - b.first_id) / std::max<int16>(1, b.celltotn) + 1);
  char cancel[256] = {};
  Get_DLOG_String(StrSpan(cancel), kStrCancel);
  Draw_Button_Face(ART_FACE_PREV, b.bb_prev, CStrSpan(""));
  Draw_Button_Face(ART_FACE_NEXT, b.bb_next, CStrSpan(""));
  Draw_Button_Face(ART_FACE_NUMBER, b.bb_num, CStrSpan(number, std::strlen(number)));
  Draw_Button_Face(ART_FACE_TEXT, b.bb_cancel, CStrSpan(cancel, std::strlen(cancel)));
  Pop_GWorld();
  Push_Window(window);
  Port_To_Port(off, nullptr, b.bb_window, b.bb_window, srcCopy, nullptr);
  Pop_Window();
  Dispose_GWorld(off);
}

// Pages: delta cells on (a page either way), or to the first or last page
// (kJump); past the last page comes the first, before the first the last.
void Browser_Delta(HWND window, int32 delta) {
  a_browser_rec& b = g_browser;
  Sound_Effect(SND_SUBTOOL_ONESHOT);
  const int16 per = std::max<int16>(1, b.celltotn);
  const int16 last_page = int16(b.last_id - (b.last_id - b.first_id) % per);
  int32 d = delta == kJump ? last_page : delta == -kJump ? b.first_id : int32(b.display_id) + delta;
  if (d > b.last_id) d = b.first_id;
  if (d < b.first_id) d = last_page;
  if (d == b.display_id) return;
  b.display_id = int16(d);
  Browser_Paint(window);
}

bool8 Browser_Event(HWND window, const EventRecord& e, bool8& okay) {
  a_browser_rec& b = g_browser;
  switch (e.what) {
    case updateEvt: Browser_Paint(window); return false;
    case mouseDown: {
      const Point p = Modal_Point(window, e);
      if (PtInRect(p, b.bb_cells)) {
        for (int16 k = 0; k < b.celltotn && int32(b.display_id) + k <= b.last_id; ++k) {
          const int16 id = int16(b.display_id + k);
          if (PtInRect(p, Browser_ID_To_Cell(b, id))) {
            Sound_Effect(SND_BAR_SELECT);
            b.chosen_id = id;
            okay = true;
            return true;
          }
        }
      }
      if (PtInRect(p, b.bb_prev)) {
        Browser_Delta(window, -b.celltotn);
      } else if (PtInRect(p, b.bb_next)) {
        Browser_Delta(window, b.celltotn);
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
      if (code == VK_PRIOR || code == VK_LEFT || code == VK_UP || ch == '[')
        Browser_Delta(window, -b.celltotn);
      else if (code == VK_NEXT || code == VK_RIGHT || code == VK_DOWN || ch == ']')
        Browser_Delta(window, b.celltotn);
      else if (code == VK_HOME || ch == '{')
        Browser_Delta(window, -kJump);
      else if (code == VK_END || ch == '}')
        Browser_Delta(window, kJump);
      else
        Sound_Effect(SND_NULL);
      return false;
    }
    default: return false;
  }
}

}  // namespace

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
  first_id = gs.bard[bar].first_id;
  last_id = gs.bard[bar].last_id;
  if (last_id > 0 && last_id >= first_id) return true;
  if (bar == SYMBOL_BAR) {
    first_id = 1;
    last_id = Symbol_Count();
  } else if (bar == CANVAS_BAR) {
    first_id = 1;
    last_id = g_doc.up != nullptr && g_doc.upx >= 1 ? Canvas_Count(g_doc.doc_template.units[g_doc.upx - 1].kind) : 0;
  } else if (bar == PAPER_BAR) {
    first_id = 1;
    last_id = int16(std::min<uint32>(NTEMPLATES, 32767));
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
  b.cellsize = Point{g.h, g.w};
  b.celldivide = g.spacing;
  b.margin = bar == PAPER_BAR ? 8 : 10;
  const int32 avail_w = std::min<int32>(int32(screen_w) * 99 / 100, 2000);
  const int32 avail_h = std::min<int32>(int32(screen_h) * 90 / 100, 1200);
  const int32 area_w = avail_w - 2 * b.margin, area_h = avail_h - 2 * b.margin - kSpareHeight;
  const int32 cols = std::max<int32>(1, area_w / (g.w + g.spacing));
  int32 rows = std::max<int32>(1, area_h / (g.h + g.spacing));
  const int32 n = int32(last_id) - first_id + 1;
  rows = std::max<int32>(1, std::min<int32>(rows, (n + cols - 1) / cols));
  b.celln = Point{int16(rows), int16(cols)};
  b.celltotn = int16(cols * rows);
  const int32 cells_w = cols * (g.w + g.spacing), cells_h = rows * (g.h + g.spacing);
  b.bb_prompt = Rect{8, 15, 8 + 27, 15 + 450};
  b.bb_cells = Rect{int16(b.margin + kPromptOffset), b.margin, int16(b.margin + kPromptOffset + cells_h),
                    int16(b.margin + cells_w)};
  const int16 width = int16(std::max<int32>(b.margin + cells_w + b.margin, 2 * kPageButtonW + kPageButtonW + kCancelW + 4 * b.margin));
  const int16 height = int16(b.margin + kPromptOffset + cells_h + b.margin + kBottomBand);
  b.bb_window = Rect{0, 0, height, width};
  const int16 top = int16(height - kBottomBand + (kBottomBand - kFaceH) / 2);
  const int16 bottom = int16(top + kFaceH);
  b.bb_prev = Rect{top, b.margin, bottom, int16(b.margin + kPageButtonW)};
  b.bb_next = Rect{top, int16(b.bb_prev.right + 4), bottom, int16(b.bb_prev.right + 4 + kPageButtonW)};
  b.bb_num = Rect{top, int16(b.bb_next.right + 4), bottom, int16(b.bb_next.right + 4 + kPageButtonW)};
  b.bb_cancel = Rect{top, int16(width - b.margin - kCancelW), bottom, int16(width - b.margin)};
  const int16 c = std::clamp(chosen, first_id, last_id);
  b.chosen_id = chosen;
  b.display_id = int16(std::max<int32>(first_id, c - (c - first_id) % std::max<int16>(1, b.celltotn)));
}

Rect Browser_ID_To_Cell(const a_browser_rec& b, int16 id) {
  const int32 k = int32(id) - b.display_id;
  if (k < 0 || k >= b.celltotn || id > b.last_id || b.celln.h <= 0) return Rect{0, 0, 0, 0};
  const int32 col = k % b.celln.h, row = k / b.celln.h;
  const int16 left = int16(b.bb_cells.left + col * (b.cellsize.h + b.celldivide));
  const int16 top = int16(b.bb_cells.top + row * (b.cellsize.v + b.celldivide));
  return Rect{top, left, int16(top + b.cellsize.v), int16(left + b.cellsize.h)};
}

bool8 Browser_Choose(a_bar bar, int16& chosen) {
  int16 first = 0, last = 0;
  if (!Browser_Ids(bar, first, last)) {
    Sound_Effect(SND_NULL);
    return false;
  }
  const int16 sw = int16(int32(info_videobounds.right) - info_videobounds.left);
  const int16 sh = int16(int32(info_videobounds.bottom) - info_videobounds.top);
  Browser_Layout(bar, sw, sh, first, last, chosen, g_browser);
  const bool8 okay = Modal_Window(g_browser.bb_window.right, g_browser.bb_window.bottom, nullptr, nullptr,
                                  Browser_Event);
  if (okay) chosen = g_browser.chosen_id;
  return okay;
}
void PaperEcho_Paint() {}

// --- The unit list ---------------------------------------------------------------------

void Jump_To_Unit(uint32 ux) {
  if (Doc_Unit(ux) == nullptr) return;
  Sound_Effect(SND_SUBTOOL_ONESHOT);
  Select_Doc_Unit(ux);
  Custom_Inval(CUSTOM_PREVIEW);
  Custom_Inval(CUSTOM_UNITLIST);
}

int32 Calc_UnitList_V(const Rect&) { return 0; }

void Toggle_Print(uint32 ux) {
  if (Doc_Unit(ux) == nullptr) return;
  Custom_Inval(CUSTOM_PREVIEW);
  Custom_Inval(CUSTOM_UNITLIST);
  History_Set_Pending(OP_TOGGLEPRINT);
}

void Recent_Add_Path(const FSSpec& path) {
  const size_t n = strnlen(path.name, sizeof path.name);
  if (n == 0 || n >= sizeof(a_stored_fsspec::name)) return;
  a_recent_doc* list = gs.pref.recent;
  int16 last = MAX_NRECENT - 1;  // the entry that makes room
  for (int16 i = 0; i < MAX_NRECENT; ++i) {
    if (std::strcmp(list[i].doc_path.name, path.name) == 0) {
      last = i;
      break;
    }
  }
  for (int16 i = last; i > 0; --i) list[i] = list[i - 1];
  a_recent_doc entry{};
  entry.doc_path.vRefNum = path.vRefNum;
  entry.doc_path.parID = path.parID;
  std::memcpy(entry.doc_path.name, path.name, n);
  Get_Date_Time(entry.doc_time);
  list[0] = entry;
}

void RecentLay_BuildList() {}
int16 RecentLay_Count() { return 0; }
void Calc_Recent_List(const Rect&) {}

void Build_Template_List() {
  t.tlist_n = 0;
  for (uint32 tx = 1; tx <= NTEMPLATES && t.tlist_n < MAXNTEMPLATES; ++tx)
    if ((g_ctemplates[tx - 1].platforms & (1u << PLATFORM_WIN)) != 0) t.tlist[t.tlist_n++] = tx;
  // Sort key and name are the record's first bytes.
  std::stable_sort(t.tlist, t.tlist + t.tlist_n, [](uint32 a, uint32 b) {
    const a_ctemplate& x = g_ctemplates[a - 1];
    const a_ctemplate& y = g_ctemplates[b - 1];
    const int c = std::memcmp(x.sort, y.sort, sizeof x.sort);
    return c != 0 ? c < 0 : std::memcmp(x.label, y.label, sizeof x.label) < 0;
  });
}

void PaperEcho_Paint3(const a_template& tmpl, const Rect& area) {
  const float pw = tmpl.papersize.x, ph = tmpl.papersize.y;
  const int32 aw = area.right - area.left - 16, ah = area.bottom - area.top - 16;
  if (!(pw > 0) || !(ph > 0) || aw < 4 || ah < 4) return;
  const float scale = std::min(float(aw) / pw, float(ah) / ph);
  const int16 left = int16(area.left + (area.right - area.left - int32(pw * scale)) / 2);
  const int16 top = int16(area.top + (area.bottom - area.top - int32(ph * scale)) / 2);
  auto to_px = [scale](float mm, int16 origin) { return int16(origin + int32(mm * scale + 0.5f)); };
  const Rect paper{top, left, to_px(ph, top), to_px(pw, left)};
  SetForeColor(255, 255, 255);
  PaintRect(paper);
  SetForeColor(0, 0, 0);
  FrameRect(paper);
  SetForeColor(40, 60, 120);
  for (uint32 u = 0; u < tmpl.nunits && u < MAXNUNITS; ++u) {
    const a_frect& b = tmpl.units[u].bbox;
    Rect r{to_px(b.top, top), to_px(b.left, left), to_px(b.bottom, top), to_px(b.right, left)};
    if (r.right - r.left < 2) r.right = int16(r.left + 2);
    if (r.bottom - r.top < 2) r.bottom = int16(r.top + 2);
    FrameRect(r);
  }
  SetForeColor(0, 0, 0);
}
