// The layout chooser's two lists: the grouping list (kinds of unit or
// brands) and the entry list, built from the working list t.tlist, with
// their keys, mouse and scroll bars. Drawing, hit-testing and selection are
// the list-box services of the pixel engine.
#include <algorithm>
#include <cstring>
#include <vector>

#include "doc/VoskTmpl.h"
#include "host/HostClock.h"
#include "pixel/DrawUtilList.h"
#include "platform/Controls.h"
#include "platform/SysSound.h"
#include "platform/UString.h"
#include "platform/VoskErr.h"
#include "ui/VoskCurs.h"
#include "ui/VoskStat.h"

void (*g_paper_echo_proc)() = nullptr;

namespace {

constexpr int16 STRLIST_KINDS = 600;
constexpr int16 STR_ALL_KINDS = 380;
constexpr int16 STR_ALL_BRANDS = 381;
constexpr int16 STR_NO_BRAND = 384;
// Capacity of a brand as Extract_Brand writes it: a label's 32 bytes.
constexpr size_t kBrandLen = 33;

// How the grouping list was built last: its rows' keys are brands' first
// entries when TRUE, kinds otherwise.
bool8 g_by_brand = false;

// The first visible row each list was painted with last (for the thumb).
int32 g_kind_painted = 0;
int32 g_list_painted = 0;

constexpr uint32 Bit(uint32 b) { return uint32(1) << b; }

// Catalogue entry tx, or NIL outside the catalogue.
const a_ctemplate* Entry(uint32 tx) {
  if (tx < 1 || tx > NTEMPLATES) return nullptr;
  return &g_ctemplates[tx - 1];
}

uint32 Working_Count() { return std::min(t.tlist_n, MAXNTEMPLATES); }

int32 Rows(const a_listbox_desc& desc) {
  if (desc.list == nullptr) return 0;
  return std::clamp(desc.nlist, int32(0), std::max(desc.maxnlist, int32(0)));
}

// A page of the list: its visible rows less one, but at least one row.
int32 Page(const a_listbox_desc& desc) { return std::max(desc.nvis - 1, int32(1)); }

// The last value the list's scroll bar can take.
int32 Max_First(const a_listbox_desc& desc) {
  return std::max(Rows(desc) - (std::max(desc.nvis, int32(1)) - 1), int32(1));
}

int32 First_Visible(const a_listbox_desc& desc) {
  int32 firstvis = 0, lastvis = 0;
  ListBox_Get_Vis_Range(desc, firstvis, lastvis);
  return firstvis;
}

int32& Painted_Of(const a_listbox_desc& desc) { return &desc == &gs.paper_kind_desc ? g_kind_painted : g_list_painted; }

void Paint_List(const a_listbox_desc& desc) {
  ListBox_Paint(desc);
  Painted_Of(desc) = First_Visible(desc);
}

// The list is empty, row 1 selected and shown first.
void Clear_List(a_listbox_desc& desc) {
  desc.nlist = 0;
  desc.hix = 1;
  if (desc.scrollbar != nullptr) SetControlValue(desc.scrollbar, 1);
}

// Asks the main window to paint the list again.
void Inval_List(const a_listbox_desc& desc) {
  const Rect& a = desc.area;
  if (gs.outer_window == nullptr || a.bottom <= a.top || a.right <= a.left) return;
  const RECT r{a.left, a.top, a.right, a.bottom};
  InvalidateRect(gs.outer_window, &r, false);
}

void Brand_Of(const a_ctemplate& c, char (&brand)[kBrandLen]) { Extract_Brand(CStrSpan(c.label), brand); }

// Rows of the grouping list are chosen through the selection; its row 1
// (and a selection past its rows) stands for the whole working list.
bool Whole_List_Selected(const a_listbox_desc& kinds) { return kinds.hix <= 1 || kinds.hix > Rows(kinds); }

void Select(a_listbox_desc& desc, int32 row) {
  ListBox_Set_Hi(row, desc);
  Painted_Of(desc) = First_Visible(desc);
}

void Scroll_List(a_listbox_desc& desc, int16 part, HWND ctrl) {
  if (ctrl == nullptr) return;
  int64 delta = 0;
  switch (part) {
    case SB_LINEUP: delta = -1; break;
    case SB_LINEDOWN: delta = 1; break;
    case SB_PAGEUP: delta = -Page(desc); break;
    case SB_PAGEDOWN: delta = Page(desc); break;
    case SCROLL_WHEEL: delta = int64(std::max(desc.nvis, int32(0))) * g_wheel_delta; break;
    default: return;
  }
  const int32 old = GetControlValue(ctrl);
  const int32 wanted = int32(std::clamp<int64>(int64(old) + delta, 1, Max_First(desc)));
  if (wanted != old) SetControlValue(ctrl, wanted);
  if (GetControlValue(ctrl) != old) {
    Sound_Effect(SND_SUBTOOL_SLIDER);
    Paint_List(desc);
  } else {
    Sound_Effect(SND_LIMIT);
    Host_Sleep_Millis(10);
  }
}

void Thumb_List(a_listbox_desc& desc, HWND ctrl) {
  if (ctrl == nullptr) return;
  if (GetControlValue(ctrl) != Painted_Of(desc)) Paint_List(desc);
}

void List_MouseDown(a_listbox_desc& desc, const a_mousestroke& stroke, void (*set)(int32 row)) {
  const int32 row = ListBox_Find(stroke.lmouse, desc);
  if (!stroke.button1 && !stroke.button2) {
    Cursor_Set_Shape(row > 0 ? FINGER_CURSOR : ARROW_CURSOR);
    return;
  }
  if (row > 0)
    set(row);
  else
    Sound_Effect(SND_NULL);
}

}  // namespace

// --- Building the lists ----------------------------------------------------------

bool8 Is_Kind_In_CTemplate(uint8 kind, const a_ctemplate& c) {
  const uint32 n = std::min(c.nunits, MAXNCUNITS);
  for (uint32 s = 0; s < n; ++s)
    if (c.units[s].kind == kind && (c.units[s].uflags & Bit(UNIT_NOTINDEXED)) == 0) return true;
  return false;
}

bool8 Is_Kind_In_Template(uint8 kind, uint32 tx) {
  const a_ctemplate* c = Entry(tx);
  return c != nullptr && Is_Kind_In_CTemplate(kind, *c);
}

void Build_Kind_List() {
  a_listbox_desc& desc = gs.paper_kind_desc;
  g_by_brand = false;
  Clear_List(desc);
  bool present[NUNITKINDS] = {};
  const uint32 n = Working_Count();
  for (uint32 k = 0; k < n; ++k) {
    const a_ctemplate* c = Entry(t.tlist[k]);
    if (c == nullptr) continue;
    const uint32 nsec = std::min(c->nunits, MAXNCUNITS);
    for (uint32 s = 0; s < nsec; ++s) {
      const a_cunit& u = c->units[s];
      if (u.kind <= LAST_UNIT_KIND && (u.uflags & Bit(UNIT_NOTINDEXED)) == 0) present[u.kind] = true;
    }
  }
  struct a_kind_row {
    uint8 kind;
    uStr255 text;
  };
  std::vector<a_kind_row> rows;
  rows.reserve(NUNITKINDS);
  for (uint32 kind = 0; kind < NUNITKINDS; ++kind) {
    if (!present[kind]) continue;
    a_kind_row& r = rows.emplace_back();
    r.kind = uint8(kind);
    Get_Translated_UString(r.text, STRLIST_KINDS, int16(kind + 1));
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const a_kind_row& a, const a_kind_row& b) { return uCompare(a.text, b.text) < 0; });
  uStr255 title{};
  Get_DLOG_UString(title, STR_ALL_KINDS);
  ListBox_Add_Item(title, 0, desc);
  for (const a_kind_row& r : rows) ListBox_Add_Item(r.text, r.kind, desc);
  Fix_Desc_Scrollbar(desc);
  Inval_List(desc);
}

void Build_Brand_List() {
  a_listbox_desc& desc = gs.paper_kind_desc;
  g_by_brand = true;
  Clear_List(desc);
  uStr255 title{};
  Get_DLOG_UString(title, STR_ALL_BRANDS);
  ListBox_Add_Item(title, 0, desc);
  char prev[kBrandLen] = {};
  bool first = true;
  const uint32 n = Working_Count();
  for (uint32 k = 0; k < n; ++k) {
    const uint32 tx = t.tlist[k];
    const a_ctemplate* c = Entry(tx);
    if (c == nullptr) continue;
    char brand[kBrandLen];
    Brand_Of(*c, brand);
    if (!first && std::strcmp(brand, prev) == 0) continue;
    first = false;
    std::memcpy(prev, brand, sizeof prev);
    uStr255 text{};
    Filter_Template_Name(CStrSpan(brand), text);
    // Blank stock of no maker ("_" as the label's first word) would be a
    // row of nothing but a space.
    size_t at = 0;
    while (text[at] == ' ') ++at;
    if (text[at] == 0) Get_DLOG_UString(text, STR_NO_BRAND);
    ListBox_Add_Item(text, tx, desc);
  }
  Fix_Desc_Scrollbar(desc);
  Inval_List(desc);
}

void Add_Template_To_List(uint32 tx) {
  const a_ctemplate* c = Entry(tx);
  if (c == nullptr) return;
  uStr255 text{};
  Filter_Template_Name(CStrSpan(c->label), text);
  ListBox_Add_Item(text, tx, gs.paper_list_desc);
}

void Build_Paper_List() {
  const a_listbox_desc& kinds = gs.paper_kind_desc;
  a_listbox_desc& desc = gs.paper_list_desc;
  Clear_List(desc);
  const uint32 n = Working_Count();
  if (Whole_List_Selected(kinds)) {
    for (uint32 k = 0; k < n; ++k) Add_Template_To_List(t.tlist[k]);
  } else if (g_by_brand) {
    const a_ctemplate* first = Entry(kinds.list[kinds.hix - 1].key);
    if (first != nullptr) {
      char wanted[kBrandLen];
      Brand_Of(*first, wanted);
      for (uint32 k = 0; k < n; ++k) {
        const a_ctemplate* c = Entry(t.tlist[k]);
        if (c == nullptr) continue;
        char brand[kBrandLen];
        Brand_Of(*c, brand);
        if (std::strcmp(brand, wanted) == 0) Add_Template_To_List(t.tlist[k]);
      }
    }
  } else {
    const uint32 key = kinds.list[kinds.hix - 1].key;
    if (key <= LAST_UNIT_KIND)
      for (uint32 k = 0; k < n; ++k)
        if (Is_Kind_In_Template(uint8(key), t.tlist[k])) Add_Template_To_List(t.tlist[k]);
  }
  Fix_Desc_Scrollbar(desc);
  Inval_List(kinds);
  Inval_List(desc);
}

void Build_Paper_Lists() {
  if (gs.grid_vals[PROJ_SORT_GRID] == 0)
    Build_Kind_List();
  else
    Build_Brand_List();
  Build_Paper_List();
}

uint32 Get_Selected_TemplateX() {
  const a_listbox_desc& desc = gs.paper_list_desc;
  if (desc.hix < 1 || desc.hix > Rows(desc)) return 0;
  return desc.list[desc.hix - 1].key;
}

void Fix_Desc_Scrollbar(a_listbox_desc& desc) {
  if (desc.scrollbar == nullptr) return;
  const int32 last = Max_First(desc);
  SetControlMinMax(desc.scrollbar, 1, last, std::max(desc.nvis, int32(1)));
  const int32 v = GetControlValue(desc.scrollbar);
  if (v < 1 || v > last) SetControlValue(desc.scrollbar, std::clamp(v, int32(1), last));
}

// --- Selection, keys, mouse, painting ---------------------------------------------

void PaperKind_Set(int32 row) {
  Sound_Effect(SND_SUBTOOL_ONESHOT);
  Select(gs.paper_kind_desc, row);
  Build_Paper_List();
  // The entry list now has its first row selected: another layout.
  if (g_paper_echo_proc != nullptr) g_paper_echo_proc();
}

void PaperList_Set(int32 row) {
  Sound_Effect(SND_SUBTOOL_ONESHOT);
  Select(gs.paper_list_desc, row);
  if (g_paper_echo_proc != nullptr) g_paper_echo_proc();
}

bool8 PaperList_KeyFilter(const a_keystroke& key) {
  const a_listbox_desc& desc = gs.paper_list_desc;
  const int32 n = Rows(desc);
  const int32 row = desc.hix;
  int64 wanted = row;
  switch (key.virtcode) {
    case VK_UP: wanted = int64(row) - 1; break;
    case VK_DOWN: wanted = int64(row) + 1; break;
    case VK_PRIOR: wanted = int64(row) - Page(desc); break;
    case VK_NEXT: wanted = int64(row) + Page(desc); break;
    case VK_HOME: wanted = 1; break;
    case VK_END: wanted = n; break;
    default: return false;
  }
  // An empty list has no row to move to.
  const int32 newx = n < 1 ? row : int32(std::clamp<int64>(wanted, 1, n));
  if (newx == row)
    Sound_Effect(SND_LIMIT);
  else
    PaperList_Set(newx);
  return true;
}

void PaperKind_MouseDown(const a_mousestroke& stroke) { List_MouseDown(gs.paper_kind_desc, stroke, PaperKind_Set); }
void PaperList_MouseDown(const a_mousestroke& stroke) { List_MouseDown(gs.paper_list_desc, stroke, PaperList_Set); }

void PaperKind_Paint() { Paint_List(gs.paper_kind_desc); }
void PaperList_Paint() { Paint_List(gs.paper_list_desc); }

// --- Scrolling ------------------------------------------------------------------------

void PaperKind_NonThumbAction(int16 part, HWND ctrl) { Scroll_List(gs.paper_kind_desc, part, ctrl); }
void PaperKind_ThumbAction(int16, HWND ctrl) { Thumb_List(gs.paper_kind_desc, ctrl); }
void PaperList_NonThumbAction(int16 part, HWND ctrl) { Scroll_List(gs.paper_list_desc, part, ctrl); }
void PaperList_ThumbAction(int16, HWND ctrl) { Thumb_List(gs.paper_list_desc, ctrl); }

void VoskTmpl_Init() {
  g_by_brand = false;
  g_kind_painted = 0;
  g_list_painted = 0;
  Set_Scroll_Actions(SCROLL_PAPER_KIND, PaperKind_NonThumbAction, PaperKind_ThumbAction);
  Set_Scroll_Actions(SCROLL_PAPER_LIST, PaperList_NonThumbAction, PaperList_ThumbAction);
}
