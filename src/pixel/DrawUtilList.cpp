#include "pixel/DrawUtilList.h"

#include <algorithm>

#include "pixel/Draw.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/TextUtil.h"
#include "platform/Controls.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysErr.h"
#include "platform/SysFont.h"

namespace {
void No_PushOff(int16) {}
void No_PopAndUpdate() {}

// Rows the list really holds: none without storage, never more than it has
// room for.
int32 Rows(const a_listbox_desc& desc) {
  if (desc.list == nullptr) return 0;
  return std::clamp(desc.nlist, int32(0), std::max(desc.maxnlist, int32(0)));
}

int16 Clamp16(int32 v) { return int16(std::clamp<int32>(v, -32768, 32767)); }
}  // namespace

void (*g_node_pushoff_proc)(int16 nx) = No_PushOff;
void (*g_node_popandupdate_proc)() = No_PopAndUpdate;

void ListBox_Get_Vis_Range(const a_listbox_desc& desc, int32& firstvis, int32& lastvis) {
  firstvis = desc.scrollbar != nullptr ? GetControlValue(desc.scrollbar) : 1;
  if (firstvis < 1) firstvis = 1;
  const int64 last = int64(firstvis) + std::max(desc.nvis, int32(0)) - 1;
  lastvis = int32(std::min<int64>(last, Rows(desc)));
}

void ListBox_Calc_Box(int32 ix, const a_listbox_desc& desc, Rect& box) {
  int32 firstvis = 0, lastvis = 0;
  ListBox_Get_Vis_Range(desc, firstvis, lastvis);
  if (ix < firstvis || ix > lastvis) {
    QUIT();
    return;
  }
  const int32 top = int32(desc.area.top) + desc.border + (int32(desc.cell_v) + desc.spacing_v) * (ix - firstvis);
  box.left = Clamp16(int32(desc.area.left) + desc.border);
  box.right = Clamp16(int32(desc.area.right) - desc.border);
  box.top = Clamp16(top);
  box.bottom = Clamp16(top + desc.cell_v);
}

void ListBox_Paint(const a_listbox_desc& desc) {
  // A list not laid out yet has nothing to show.
  if (desc.area.bottom <= desc.area.top || desc.area.right <= desc.area.left) return;
  g_node_pushoff_proc(int16(desc.customx));
  PenNormal();
  ForeColor(1);
  PenSize(desc.border, desc.border);
  if (desc.border > 0) FrameRect(desc.area);
  PenNormal();
  Rect inside = desc.area;
  InsetRect(inside, desc.border, desc.border);
  SetBackColor24(desc.lo_back_color);
  EraseRect(inside);

  SetFont(desc.font);
  TextMode(srcOr);
  int32 firstvis = 0, lastvis = 0;
  ListBox_Get_Vis_Range(desc, firstvis, lastvis);
  for (int32 ix = firstvis; ix <= lastvis; ++ix) {
    Rect box;
    ListBox_Calc_Box(ix, desc, box);
    const a_listbox_item& item = desc.list[ix - 1];
    if (ix == desc.hix) {
      SetBackColor24(desc.hi_back_color);
      EraseRect(box);
      SetForeColor24(desc.hi_fore_color);
    } else {
      SetForeColor24(desc.lo_fore_color);
    }
    PushClip(box);
    DrawUStringLeft(desc.font, item.uss, box, 4, 0);
    PopClip();
    if (desc.spacing_v != 0 && ix < lastvis) {
      const Rect strip{box.bottom, box.left, Clamp16(int32(box.bottom) + desc.spacing_v), box.right};
      SetBackColor24(desc.sp_back_color);
      EraseRect(strip);
    }
  }
  ForeColor(1);
  BackColor(0);
  g_node_popandupdate_proc();
}

int32 ListBox_Find(Point lmouse, const a_listbox_desc& desc) {
  int32 firstvis = 0, lastvis = 0;
  ListBox_Get_Vis_Range(desc, firstvis, lastvis);
  for (int32 ix = firstvis; ix <= lastvis; ++ix) {
    Rect box;
    ListBox_Calc_Box(ix, desc, box);
    if (PtInRect(lmouse, box)) return ix;
  }
  return 0;
}

void ListBox_Set_Hi(int32 newx, a_listbox_desc& desc) {
  if (ListBox_Select(newx, desc)) ListBox_Paint(desc);
}

bool8 ListBox_Select(int32 newx, a_listbox_desc& desc) {
  newx = std::min(newx, Rows(desc));
  if (newx < 1) newx = 1;
  if (newx == desc.hix) return false;
  if (desc.scrollbar != nullptr) {
    int32 firstvis = 0, lastvis = 0;
    ListBox_Get_Vis_Range(desc, firstvis, lastvis);
    const int32 nvis = std::max(desc.nvis, int32(1));
    if (newx < firstvis)
      SetControlValue(desc.scrollbar, newx);
    else if (newx > firstvis + nvis - 1)
      SetControlValue(desc.scrollbar, newx - nvis + 1);
  }
  desc.hix = newx;
  return true;
}

void ListBox_Reset(a_listbox_desc& desc) {
  desc.hix = 1;
  if (desc.scrollbar != nullptr) SetControlValue(desc.scrollbar, 1);
}

void ListBox_Add_Item(CUStrSpan new_uss, uint32 new_key, a_listbox_desc& desc) {
  if (desc.list == nullptr || desc.nlist < 0 || desc.nlist >= desc.maxnlist) return;
  a_listbox_item& item = desc.list[desc.nlist];
  size_t n = 0;
  const size_t cap = sizeof item.uss / sizeof item.uss[0] - 1;
  while (n < new_uss.size() && n < cap && new_uss[n] != 0) {
    item.uss[n] = new_uss[n];
    ++n;
  }
  item.uss[n] = 0;
  item.key = new_key;
  ++desc.nlist;
}
