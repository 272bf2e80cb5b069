#include "platform/SysMenu.h"

#include <cstring>
#include <string>

#include "host/HostByteOrder.h"
#include "platform/Resources.h"
#include "platform/SysErr.h"
#include "platform/SysLoop.h"
#include "platform/VoskErr.h"

HMENU main_menu = nullptr;
int16 g_nsyshelp = 0;

namespace {

int16 g_lang = 0;
int16 g_cached_menu = 0;

// The base id of the bar built last. Base plus language alone cannot tell
// bar 134 in English from bar 132 in language 2, so both are compared.
int16 g_cached_base = 0;
// The window the bar was last given to: a new main window gets the bar
// again even when it is the one built last.
HWND g_menu_window = nullptr;

constexpr OSType kMbarType = FourCC("MBAR");
constexpr OSType kMentType = FourCC("MENT");
constexpr char kMissingTitle[] = "?MISSING?";

// The program's own resource of a language-dependent id, falling back to the
// English one (the base id) as string lists do. `from_module`: slot 0 only.
ResHandle Find_Lang_Res(OSType type, int16 id, int16 lang, bool from_module) {
  const int16 adj = AdjustMenuX(id, lang);
  ResHandle h = from_module ? Get_Res(adj, type, 0) : GetResource(type, adj);
  if (!h && adj != id) h = from_module ? Get_Res(id, type, 0) : GetResource(type, id);
  return h;
}

std::span<const uint8> Bytes_Of(ResHandle h) {
  const uint8* p = LockResource(h);
  return p ? std::span<const uint8>(p, Res_Size(h)) : std::span<const uint8>();
}

// The pop-up of menu id in language lang; NIL after reporting a missing or
// malformed menu.
HMENU Load_Popup(int16 id, int16 lang) {
  ResHandle h = Find_Lang_Res(kMenuResType, id, lang, true);
  if (!h) {
    g_err_res_proc(kMenuResType, id);
    return nullptr;
  }
  int16 missing = 0;
  auto lookup = [&](int16 sub, std::span<const uint8>* data) {
    ResHandle s = Find_Lang_Res(kMenuResType, sub, lang, true);
    if (!s) {
      missing = sub;
      return false;
    }
    *data = Bytes_Of(s);
    return true;
  };
  std::string err;
  HMENU popup = Host_Menu_Load(Bytes_Of(h), lookup, &err);
  if (!popup) {
    if (missing != 0) g_err_res_proc(kMenuResType, missing);
    else QUIT();
    return nullptr;
  }
  return popup;
}

// The title of a menu: its "MENT" text (at most 255 bytes), or "?MISSING?".
std::string Title_Of(int16 id, int16 lang) {
  ResHandle h = Find_Lang_Res(kMentType, id, lang, false);
  if (!h) return kMissingTitle;
  const std::span<const uint8> d = Bytes_Of(h);
  std::string t;
  for (size_t i = 0; i < d.size() && d[i] != 0 && t.size() < 255; ++i) t += char(d[i]);
  return t;
}

bool Belongs_Exact(int32 id, int16 menuid) {
  const int32 category = int32(menuid) - int32(menuid) % 20;
  return id - category >= 1 && id - category <= 19;
}

bool Belongs_Hundred(int32 id, int16 menuid) { return int16(id / 100) == int16(menuid / 100); }

template <typename Pred>
bool Search(HMENU m, HMENU m_parent, int16 m_pos, Pred pred, HMENU& parent_hdl, int16& parent_pos, HMENU& child_hdl,
            int depth) {
  if (depth > 8) return false;
  const int32 n = GetMenuItemCount(m);
  for (int32 i = 0; i < n; ++i) {
    if (HMENU sub = GetSubMenu(m, i)) {
      if (Search(sub, m, int16(i), pred, parent_hdl, parent_pos, child_hdl, depth + 1)) return true;
      continue;
    }
    const int32 id = GetMenuItemID(m, i);
    if (id > 0 && pred(id)) {
      child_hdl = m;
      parent_hdl = m_parent;
      parent_pos = m_pos;
      return true;
    }
  }
  return false;
}

UINT Keep_State(HMENU m, int32 pos) {
  const UINT s = GetMenuState(m, UINT(pos), MF_BYPOSITION);
  return s == kMenuFailed ? 0 : s & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
}

// Rewrites item pos of m with a new text, keeping its command or submenu and its state.
bool Rewrite_Item(HMENU m, int32 pos, const char* text) {
  const UINT s = GetMenuState(m, UINT(pos), MF_BYPOSITION);
  if (s == kMenuFailed || (s & MF_SEPARATOR)) return false;
  const UINT state = Keep_State(m, pos);
  if (HMENU sub = GetSubMenu(m, pos))
    return ModifyMenuA(m, UINT(pos), MF_BYPOSITION | MF_POPUP | state, reinterpret_cast<uintptr_t>(sub), text);
  return ModifyMenuA(m, UINT(pos), MF_BYPOSITION | state, uintptr_t(GetMenuItemID(m, pos)), text);
}

}  // namespace

void SysMenu_Init() {
  Host_Menu_Install();
  g_lang = 0;
  g_cached_menu = 0;
  g_cached_base = 0;
}

int16 Menus_Language() { return g_lang; }
int16 Menus_Cached() { return g_cached_menu; }

void Menus_Stop() {}

int16 AdjustMenuX(int16 menuid, int16 lang) {
  if (menuid == 80 || menuid == 81) return menuid;
  return int16(menuid + lang);
}

bool8 Menus_Init(int16 base, int16 lang) {
  if (g_cached_menu != 0 && int16(base + lang) == g_cached_menu && base == g_cached_base && lang == g_lang &&
      main_menu && IsMenu(main_menu) && main_hwnd == g_menu_window)
    return false;
  ResHandle mbar = GetResource(kMbarType, base);
  if (!mbar) {
    g_err_res_proc(kMbarType, base);
    return false;
  }
  const std::span<const uint8> d = Bytes_Of(mbar);
  const size_t n = d.size() >= 2 ? size_t(Load_LE16(d)) : 0;
  if (d.size() < 2 || d.size() != 2 + 2 * n) {
    QUIT();  // the program's own bar is malformed
    return false;
  }
  HMENU bar = CreateMenu();
  if (!bar) {
    QUIT();
    return false;
  }
  for (size_t i = 0; i < n; ++i) {
    const int16 id = int16(Load_LE16(d, 2 + 2 * i));
    const std::string title = Title_Of(id, lang);
    HMENU popup = Load_Popup(id, lang);
    if (!popup) {
      DestroyMenu(bar);
      return false;
    }
    Do_Subs(popup);
    if (!AppendMenuA(bar, MF_POPUP, reinterpret_cast<uintptr_t>(popup), title.c_str())) {
      DestroyMenu(popup);
      DestroyMenu(bar);
      QUIT();
      return false;
    }
  }
  ReleaseResource(mbar);
  if (!SetMenu(main_hwnd, bar)) {
    DestroyMenu(bar);
    QUIT();
    return false;
  }
  if (main_menu && main_menu != bar) DestroyMenu(main_menu);
  main_menu = bar;
  g_menu_window = main_hwnd;
  g_cached_menu = int16(base + lang);
  g_cached_base = base;
  g_lang = lang;

  if (main_accel) DestroyAcceleratorTable(main_accel);
  main_accel = nullptr;
  if (ResHandle acc = Find_Lang_Res(kAccelResType, base, lang, true)) {
    std::string err;
    main_accel = Host_Accel_Load(Bytes_Of(acc), &err);
    if (!main_accel) QUIT();
  }
  return true;
}

void Menus_EnableItem(int16 menuid, int16 itemx, bool8 state) {
  const UINT how = state ? MF_ENABLED : (MF_GRAYED | MF_DISABLED);
  if (itemx > 0) {
    EnableMenuItem(main_menu, UINT(uint16(menuid + itemx)), MF_BYCOMMAND | how);
    return;
  }
  HMENU parent = nullptr, child = nullptr;
  int16 pos = 0;
  if (FindSubMenu(menuid, parent, pos, child) && parent) EnableMenuItem(parent, UINT(pos), MF_BYPOSITION | how);
}

void Menus_CheckItem(int16 menuid, int16 itemx, bool8 state) {
  CheckMenuItem(main_menu, UINT(uint16(menuid + itemx)), MF_BYCOMMAND | (state ? MF_CHECKED : MF_UNCHECKED));
}

void Menus_SetItem(int16 menuid, int16 itemx, CStrSpan text) {
  HMENU parent = nullptr, child = nullptr;
  int16 pos = 0;
  if (itemx < 1 || !FindSubMenu(menuid, parent, pos, child)) return;
  char old[1024];
  GetMenuStringA(child, UINT(itemx - 1), old, int32(sizeof old), MF_BYPOSITION);
  char shortcut[1024];
  Extract_Shortcut(CStrSpan(old, sizeof old), StrSpan(shortcut, sizeof shortcut));
  std::string t;
  for (char c : text) {
    if (c == 0) break;
    t += c;
  }
  t += shortcut;
  Rewrite_Item(child, itemx - 1, t.c_str());
}

void Menus_DeleteItem(int16 menux, int16 itemx) {
  HMENU parent = nullptr, child = nullptr;
  int16 pos = 0;
  if (itemx < 1 || !FindSubMenu(menux, parent, pos, child)) return;
  DeleteMenu(child, UINT(itemx - 1), MF_BYPOSITION);
}

int16 Menus_CountItems(int16 menuid) {
  HMENU parent = nullptr, child = nullptr;
  int16 pos = 0;
  if (!FindSubMenu(menuid, parent, pos, child)) return 0;
  return int16(GetMenuItemCount(child));
}

void Menus_Hide() {
  if (main_hwnd && GetMenu(main_hwnd)) SetMenu(main_hwnd, nullptr);
}

void Menus_Show() {
  if (main_hwnd && main_menu && GetMenu(main_hwnd) != main_menu) SetMenu(main_hwnd, main_menu);
}

void Menus_Draw() {
  if (main_hwnd) DrawMenuBar(main_hwnd);
}

bool8 FindSubMenu(int16 menuid, HMENU& parent_hdl, int16& parent_pos, HMENU& child_hdl) {
  parent_hdl = nullptr;
  child_hdl = nullptr;
  parent_pos = 0;
  if (!IsMenu(main_menu)) return false;
  // A menu's own commands first (menu id + 1 .. + 19), so that submenu 120
  // is not taken for submenu 100; then any command of its hundred.
  if (Search(main_menu, nullptr, 0, [&](int32 id) { return Belongs_Exact(id, menuid); }, parent_hdl, parent_pos,
             child_hdl, 0))
    return true;
  return Search(main_menu, nullptr, 0, [&](int32 id) { return Belongs_Hundred(id, menuid); }, parent_hdl, parent_pos,
                child_hdl, 0);
}

void Extract_Shortcut(CStrSpan base, StrSpan shortcut) {
  if (shortcut.empty()) return;
  size_t len = 0;
  while (len < base.size() && base[len] != 0) ++len;
  size_t tab = 0;
  bool found = false;
  for (size_t i = 1; i < len; ++i)
    if (base[i] == '\t') {
      tab = i;
      found = true;
    }
  size_t n = 0;
  if (found)
    for (size_t i = tab; i < len && n + 1 < shortcut.size(); ++i) shortcut[n++] = base[i];
  shortcut[n] = 0;
}

void Do_Subs(HMENU hdl) {
  const int32 n = GetMenuItemCount(hdl);
  for (int32 i = 0; i < n; ++i) {
    const UINT s = GetMenuState(hdl, UINT(i), MF_BYPOSITION);
    if (s == kMenuFailed || (s & MF_SEPARATOR)) continue;
    Str255 text;
    GetMenuStringA(hdl, UINT(i), text, int32(sizeof text), MF_BYPOSITION);
    if (Do_Substitutions(StrSpan(text, sizeof text))) Rewrite_Item(hdl, i, text);
  }
}
