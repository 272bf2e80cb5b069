// Internals shared by the menu model (HostMenu.cpp) and the menu bar,
// pop-ups and tracking (HostMenuTrack.cpp): the records behind menu
// handles and the reading of an item's label. Not for use outside them.
#pragma once

#include <string>
#include <vector>

#include "host/HostHandles.h"
#include "host/HostMenu.h"

struct HostMenuItem {
  UINT flags = 0;  // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP, MF_SEPARATOR
  uint16 id = 0;
  HMENU sub = nullptr;
  std::u16string text;
};

// The record behind a menu handle.
struct HostMenuRec {
  HMENU self = nullptr;
  bool is_bar = false;
  HMENU parent = nullptr;  // the menu holding this one as a pop-up
  std::vector<HostMenuItem> items;
};

namespace hostmenu {

constexpr UINT kKindBits = MF_POPUP | MF_SEPARATOR;

inline HostHandleTable<HostMenuRec>& Menus() { return Host_Handle_Table<HostMenuRec>(); }

// The record of a live menu; NIL for anything else.
inline HostMenuRec* Live(HMENU m) { return Menus().Find(m, HostHandleKind::kMenu); }

inline char16_t Fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

// A label as drawn: "&" markers removed; `mn` := index of the underlined
// character in the result (-1 when none), `key` := its folded character.
struct Label {
  std::u16string text;
  int32 mn = -1;
  char16_t key = 0;
};

inline Label Make_Label(const std::u16string& s) {
  Label l;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'&' && i + 1 < s.size()) {
      ++i;
      if (s[i] != u'&' && l.mn < 0) {
        l.mn = int32(l.text.size());
        l.key = Fold(s[i]);
      }
    }
    l.text.push_back(s[i]);
  }
  return l;
}

// The item's label and shortcut parts (split at the first TAB).
inline void Split_Text(const std::u16string& s, Label& label, std::u16string& shortcut) {
  const size_t tab = s.find(u'\t');
  label = Make_Label(tab == std::u16string::npos ? s : s.substr(0, tab));
  shortcut = tab == std::u16string::npos ? std::u16string() : s.substr(tab + 1);
}

inline bool Selectable(const HostMenuItem& it) { return !(it.flags & MF_SEPARATOR); }
inline bool Item_Enabled(const HostMenuItem& it) { return !(it.flags & (MF_GRAYED | MF_DISABLED)); }

// Ends any tracking at once and forgets the pending Alt (Host_Menu_Reset).
void Reset_Tracking();

}  // namespace hostmenu
