// Menus: the menu model, menu and accelerator resources, and menu-aware
// accelerators. The bar strip, the pop-up windows and modal tracking are in
// HostMenuTrack.cpp.
#include "host/HostMenu.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "host/HostByteOrder.h"
#include "host/HostMenuCore.h"
#include "host/HostUtf.h"
#include "host/HostWinCore.h"

using namespace hostmenu;

namespace {

constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED;
constexpr size_t kMaxItems = 1000;
constexpr size_t kMaxText = 255;

// --- Text helpers ---------------------------------------------------------------------

std::u16string From_W(const char16_t* s) {
  std::u16string out;
  if (s)
    for (size_t i = 0; s[i] && i < 4096; ++i) out.push_back(s[i]);
  return out;
}

// --- Items ------------------------------------------------------------------------------

bool Is_Ancestor(HMENU a, HMENU m) {
  for (int guard = 0; m && guard < 64; ++guard) {
    if (m == a) return true;
    const HostMenuRec* r = Live(m);
    m = r ? r->parent : nullptr;
  }
  return false;
}

// Finds a command in a menu and its submenus: the menu holding it and its position.
bool Find_Command(HMENU menu, uint16 id, HMENU& owner, int32& pos, int depth = 0) {
  const HostMenuRec* m = Live(menu);
  if (!m || depth > 16) return false;
  for (size_t i = 0; i < m->items.size(); ++i) {
    const HostMenuItem& it = m->items[i];
    if (!(it.flags & kKindBits) && it.id == id) {
      owner = menu;
      pos = int32(i);
      return true;
    }
    if ((it.flags & MF_POPUP) && Find_Command(it.sub, id, owner, pos, depth + 1)) return true;
  }
  return false;
}

HostMenuItem* Locate(HMENU menu, UINT item, UINT flags, HMENU* owner = nullptr, int32* at = nullptr) {
  HostMenuRec* m = Live(menu);
  if (!m) return nullptr;
  HMENU o = menu;
  int32 pos = -1;
  if (flags & MF_BYPOSITION) {
    if (item >= m->items.size()) return nullptr;
    pos = int32(item);
  } else if (item > 0xFFFF || !Find_Command(menu, uint16(item), o, pos)) {
    return nullptr;
  }
  if (owner) *owner = o;
  if (at) *at = pos;
  return &Live(o)->items[size_t(pos)];
}

void Destroy_Tree(HMENU menu) {
  HostMenuRec* m = Live(menu);
  if (!m) return;
  Menus().Remove(menu);  // from here on the handle is refused
  for (HostMenuItem& it : m->items)
    if (it.flags & MF_POPUP) Destroy_Tree(it.sub);
  delete m;
}

// Builds an item from AppendMenu-style arguments; FALSE for bad arguments.
bool Make_Item(HMENU into, UINT flags, uintptr_t id_or_sub, std::u16string text, HostMenuItem& out,
               HMENU replacing = nullptr) {
  if (flags & ~(kStateBits | kKindBits | MF_BYPOSITION | MF_HILITE)) return false;
  if ((flags & MF_POPUP) && (flags & MF_SEPARATOR)) return false;
  out = HostMenuItem{};
  out.flags = flags & (kStateBits | kKindBits);
  if (flags & MF_SEPARATOR) return true;
  if (text.size() > kMaxText) text.resize(kMaxText);
  out.text = std::move(text);
  if (flags & MF_POPUP) {
    const HMENU sub = reinterpret_cast<HMENU>(id_or_sub);
    const HostMenuRec* s = Live(sub);
    if (!s || s->is_bar || (s->parent && sub != replacing) || Is_Ancestor(sub, into)) return false;
    out.sub = sub;
    return true;
  }
  if (id_or_sub > 0xFFFF) return false;
  out.id = uint16(id_or_sub);
  return true;
}

bool Insert_At(HMENU menu, size_t pos, UINT flags, uintptr_t id_or_sub, std::u16string text) {
  HostMenuRec* m = Live(menu);
  if (!m || m->items.size() >= kMaxItems) return false;
  HostMenuItem it;
  if (!Make_Item(menu, flags, id_or_sub, std::move(text), it)) return false;
  if (it.sub) Live(it.sub)->parent = menu;
  m->items.insert(m->items.begin() + std::ptrdiff_t(std::min(pos, m->items.size())), std::move(it));
  return true;
}

bool Insert(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, std::u16string text) {
  if (!Live(menu)) return false;
  if (flags & MF_BYPOSITION) return Insert_At(menu, item, flags, id_or_sub, std::move(text));
  HMENU owner = nullptr;
  int32 pos = -1;
  if (item > 0xFFFF || !Find_Command(menu, uint16(item), owner, pos)) return false;
  return Insert_At(owner, size_t(pos), flags, id_or_sub, std::move(text));
}

bool Modify(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, std::u16string text) {
  HMENU owner = nullptr;
  HostMenuItem* it = Locate(menu, item, flags, &owner);
  if (!it) return false;
  HostMenuItem repl;
  if (!Make_Item(owner, flags, id_or_sub, std::move(text), repl, it->sub)) return false;
  if (it->sub && it->sub != repl.sub) Destroy_Tree(it->sub);
  if (repl.sub) Live(repl.sub)->parent = owner;
  *it = std::move(repl);
  return true;
}

bool Remove(HMENU menu, UINT item, UINT flags, bool destroy) {
  HMENU owner = nullptr;
  int32 pos = -1;
  HostMenuItem* it = Locate(menu, item, flags, &owner, &pos);
  if (!it) return false;
  HMENU sub = it->sub;
  HostMenuRec* o = Live(owner);
  o->items.erase(o->items.begin() + pos);
  if (HostMenuRec* s = Live(sub)) {
    s->parent = nullptr;
    if (destroy) Destroy_Tree(sub);
  }
  return true;
}

// --- Resource readers ------------------------------------------------------------------------

struct Reader {
  std::span<const uint8> d;
  size_t at = 0;
  bool Need(size_t n) const { return n <= d.size() - at; }
  uint16 U16() {
    const uint16 v = Load_LE16(d, at);
    at += 2;
    return v;
  }
};

HMENU Load_Level(std::span<const uint8> data, const HostMenuLookup& lookup, int32 depth, std::string* err) {
  auto fail = [&](const std::string& why) -> HMENU {
    if (err) *err = why;
    return nullptr;
  };
  Reader r{data};
  if (!r.Need(2)) return fail("menu data shorter than its item count");
  const uint16 n = r.U16();
  // Each item takes at least five bytes: the count cannot promise more.
  if (n > kMaxItems || size_t(n) * 5 > data.size() - 2) return fail("menu item count " + std::to_string(n) + " does not fit the data");
  HMENU menu = CreatePopupMenu();
  if (!menu) return fail("out of memory");
  for (uint16 i = 0; i < n; ++i) {
    if (!r.Need(5)) {
      DestroyMenu(menu);
      return fail("menu item " + std::to_string(i + 1) + " is cut short");
    }
    const uint16 flags = r.U16();
    const int16 id = int16(r.U16());
    const uint8 len = r.d[r.at++];
    if (!r.Need(len)) {
      DestroyMenu(menu);
      return fail("text of menu item " + std::to_string(i + 1) + " is cut short");
    }
    std::u16string text;
    const bool text_ok =
        Host_Utf8_To_Utf16_Strict(std::string_view(reinterpret_cast<const char*>(r.d.data() + r.at), len), text);
    r.at += len;
    std::string why;
    if (flags & ~UINT(MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR)) why = "unknown flags";
    else if (!text_ok) why = "text is not UTF-8";
    else if ((flags & MF_SEPARATOR) && (flags != MF_SEPARATOR || id != 0 || len != 0)) why = "bad separator";
    else if (!(flags & MF_SEPARATOR) && id <= 0) why = "bad id " + std::to_string(id);
    if (why.empty() && (flags & MF_POPUP)) {
      std::span<const uint8> sub_data;
      if (depth + 1 >= kHostMenuMaxDepth) why = "submenus nest too deep";
      else if (!lookup || !lookup(id, &sub_data)) why = "submenu " + std::to_string(id) + " is missing";
      else {
        std::string sub_err;
        HMENU sub = Load_Level(sub_data, lookup, depth + 1, &sub_err);
        if (!sub) why = "submenu " + std::to_string(id) + ": " + sub_err;
        else if (!AppendMenuW(menu, flags, reinterpret_cast<uintptr_t>(sub), text.c_str())) {
          DestroyMenu(sub);
          why = "cannot add the submenu";
        }
      }
    } else if (why.empty() && !AppendMenuW(menu, flags, uintptr_t(uint16(id)), text.c_str())) {
      why = "cannot add the item";
    }
    if (!why.empty()) {
      DestroyMenu(menu);
      return fail("menu item " + std::to_string(i + 1) + ": " + why);
    }
  }
  if (r.at != data.size()) {
    DestroyMenu(menu);
    return fail("menu data has " + std::to_string(data.size() - r.at) + " bytes after its items");
  }
  return menu;
}

bool Match_Accel(const ACCEL& a, const MSG& msg) {
  const UINT m = msg.message;
  const bool virt = m == WM_KEYDOWN || m == WM_SYSKEYDOWN;
  const bool chr = m == WM_CHAR || m == WM_SYSCHAR;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  if (virt && (a.fVirt & FVIRTKEY)) {
    if (msg.wParam == WPARAM(VK_PACKET) || a.key != (msg.wParam & 0xFF)) return false;
    return bool(a.fVirt & FSHIFT) == shift && bool(a.fVirt & FCONTROL) == ctrl && bool(a.fVirt & FALT) == alt;
  }
  if (chr && !(a.fVirt & FVIRTKEY)) return a.key == msg.wParam && bool(a.fVirt & FALT) == (m == WM_SYSCHAR);
  return false;
}

// The path from the bar to a command's item: the pop-ups and their positions.
struct Path_Step {
  HMENU menu;  // the menu holding the item at pos
  int32 pos;
};

bool Find_Path(HMENU menu, uint16 id, std::vector<Path_Step>& path, int depth = 0) {
  const HostMenuRec* m = Live(menu);
  if (!m || depth > 16) return false;
  for (size_t i = 0; i < m->items.size(); ++i) {
    const HostMenuItem& it = m->items[i];
    path.push_back({menu, int32(i)});
    if (!(it.flags & kKindBits) && it.id == id) return true;
    if ((it.flags & MF_POPUP) && Find_Path(it.sub, id, path, depth + 1)) return true;
    path.pop_back();
  }
  return false;
}

}  // namespace

// --- Public calls: menus and items -----------------------------------------------------------

namespace {

HMENU New_Menu(bool bar) {
  auto* m = new (std::nothrow) HostMenuRec;
  if (!m) return nullptr;
  m->is_bar = bar;
  m->self = static_cast<HMENU>(Menus().Add(m, HostHandleKind::kMenu));
  if (!m->self) {
    delete m;
    return nullptr;
  }
  return m->self;
}

}  // namespace

HMENU CreateMenu() { return New_Menu(true); }

HMENU CreatePopupMenu() { return New_Menu(false); }

bool DestroyMenu(HMENU menu) {
  HostMenuRec* m = Live(menu);
  if (!m) return false;
  if (HostMenuRec* p = Live(m->parent)) {
    for (size_t i = 0; i < p->items.size(); ++i) {
      if (p->items[i].sub == menu) {
        p->items.erase(p->items.begin() + std::ptrdiff_t(i));
        break;
      }
    }
  }
  Destroy_Tree(menu);
  return true;
}

bool IsMenu(HMENU menu) { return Live(menu) != nullptr; }

bool AppendMenuW(HMENU menu, UINT flags, uintptr_t id_or_sub, const char16_t* text) {
  const HostMenuRec* m = Live(menu);
  return m && Insert_At(menu, m->items.size(), flags & ~MF_BYPOSITION, id_or_sub, From_W(text));
}
bool AppendMenuA(HMENU menu, UINT flags, uintptr_t id_or_sub, const char* utf8) {
  const HostMenuRec* m = Live(menu);
  return m && Insert_At(menu, m->items.size(), flags & ~MF_BYPOSITION, id_or_sub, Host_Utf8_To_Utf16(utf8 ? std::string_view(utf8) : std::string_view()));
}
bool InsertMenuW(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, const char16_t* text) {
  return Insert(menu, item, flags, id_or_sub, From_W(text));
}
bool InsertMenuA(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, const char* utf8) {
  return Insert(menu, item, flags, id_or_sub, Host_Utf8_To_Utf16(utf8 ? std::string_view(utf8) : std::string_view()));
}
bool ModifyMenuW(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, const char16_t* text) {
  return Modify(menu, item, flags, id_or_sub, From_W(text));
}
bool ModifyMenuA(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, const char* utf8) {
  return Modify(menu, item, flags, id_or_sub, Host_Utf8_To_Utf16(utf8 ? std::string_view(utf8) : std::string_view()));
}
bool DeleteMenu(HMENU menu, UINT item, UINT flags) { return Remove(menu, item, flags, true); }
bool RemoveMenu(HMENU menu, UINT item, UINT flags) { return Remove(menu, item, flags, false); }

UINT EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  HostMenuItem* it = Locate(menu, item, flags);
  if (!it) return kMenuFailed;
  const UINT old = it->flags & (MF_GRAYED | MF_DISABLED);
  it->flags = (it->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  return old;
}

UINT CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  HostMenuItem* it = Locate(menu, item, flags);
  if (!it) return kMenuFailed;
  const UINT old = it->flags & MF_CHECKED;
  it->flags = (it->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  return old;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  const HostMenuItem* it = Locate(menu, item, flags);
  return it ? it->flags : kMenuFailed;
}

int32 GetMenuItemCount(HMENU menu) {
  const HostMenuRec* m = Live(menu);
  return m ? int32(m->items.size()) : -1;
}

int32 GetMenuItemID(HMENU menu, int32 pos) {
  const HostMenuRec* m = Live(menu);
  if (!m || pos < 0 || size_t(pos) >= m->items.size()) return -1;
  const HostMenuItem& it = m->items[size_t(pos)];
  return (it.flags & kKindBits) ? -1 : int32(it.id);
}

HMENU GetSubMenu(HMENU menu, int32 pos) {
  const HostMenuRec* m = Live(menu);
  if (!m || pos < 0 || size_t(pos) >= m->items.size()) return nullptr;
  const HMENU sub = m->items[size_t(pos)].sub;
  return Live(sub) ? sub : nullptr;
}

int32 GetMenuStringW(HMENU menu, UINT item, char16_t* buf, int32 bufsize, UINT flags) {
  const HostMenuItem* it = Locate(menu, item, flags);
  if (!it) {
    if (buf && bufsize > 0) buf[0] = 0;
    return 0;
  }
  if (!buf) return int32(it->text.size());
  if (bufsize <= 0) return 0;
  const size_t n = std::min(it->text.size(), size_t(bufsize - 1));
  std::copy(it->text.begin(), it->text.begin() + std::ptrdiff_t(n), buf);
  buf[n] = 0;
  return int32(n);
}

int32 GetMenuStringA(HMENU menu, UINT item, char* buf, int32 bufsize, UINT flags) {
  const HostMenuItem* it = Locate(menu, item, flags);
  if (!it) {
    if (buf && bufsize > 0) buf[0] = 0;
    return 0;
  }
  const std::string s = Host_Utf16_To_Utf8(it->text);
  if (!buf) return int32(s.size());
  if (bufsize <= 0) return 0;
  // Never cut a character in two.
  const size_t n = Host_Utf8_Cut(s, size_t(bufsize - 1));
  std::copy(s.begin(), s.begin() + std::ptrdiff_t(n), buf);
  buf[n] = 0;
  return int32(n);
}

// --- Resources ---------------------------------------------------------------------------------

HMENU Host_Menu_Load(std::span<const uint8> data, const HostMenuLookup& submenu, std::string* err) {
  return Load_Level(data, submenu, 0, err);
}

HACCEL Host_Accel_Load(std::span<const uint8> data, std::string* err) {
  auto fail = [&](const std::string& why) -> HACCEL {
    if (err) *err = why;
    return nullptr;
  };
  Reader r{data};
  if (!r.Need(2)) return fail("accelerator data shorter than its count");
  const uint16 n = r.U16();
  if (n == 0 || n > 4096) return fail("accelerator count " + std::to_string(n) + " out of range");
  if (data.size() != 2 + size_t(n) * 6) return fail("accelerator data is not " + std::to_string(n) + " entries");
  std::vector<ACCEL> entries;
  for (uint16 i = 0; i < n; ++i) {
    ACCEL a{};
    a.fVirt = r.d[r.at];
    const uint8 pad = r.d[r.at + 1];
    r.at += 2;
    a.key = r.U16();
    a.cmd = r.U16();
    if ((a.fVirt & ~(FVIRTKEY | FSHIFT | FCONTROL | FALT)) || pad != 0)
      return fail("accelerator " + std::to_string(i + 1) + " has unknown flags");
    if (a.cmd == 0 || ((a.fVirt & FVIRTKEY) && a.key > 0xFF))
      return fail("accelerator " + std::to_string(i + 1) + " is malformed");
    entries.push_back(a);
  }
  HACCEL h = CreateAcceleratorTable(entries.data(), int32(entries.size()));
  if (!h) return fail("cannot create the accelerator table");
  return h;
}

// --- Accelerators ----------------------------------------------------------------------------

bool TranslateAcceleratorW(HWND hwnd, HACCEL accel, const MSG* msg) {
  if (!msg || !accel || !IsWindow(hwnd)) return false;
  const int32 n = CopyAcceleratorTable(accel, nullptr, 0);
  if (n <= 0) return false;
  std::vector<ACCEL> entries(static_cast<size_t>(n));
  CopyAcceleratorTable(accel, entries.data(), n);
  const ACCEL* hit = nullptr;
  for (const ACCEL& a : entries) {
    if (Match_Accel(a, *msg)) {
      hit = &a;
      break;
    }
  }
  if (!hit) return false;
  const uint16 cmd = hit->cmd;
  HMENU bar = GetMenu(hwnd);
  std::vector<Path_Step> path;
  if (Live(bar) && !Host_Menu_Tracking() && Find_Path(bar, cmd, path)) {
    // As though the menu were about to show: its owner brings it up to date first.
    SendMessage(hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
    for (size_t k = 0; k + 1 < path.size(); ++k) {
      HMENU sub = Live(path[k].menu) ? GetSubMenu(path[k].menu, path[k].pos) : nullptr;
      if (sub) SendMessage(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), MAKELPARAM(path[k].pos, 0));
    }
    if (!IsWindow(hwnd)) return true;
  }
  // A greyed item's command is sent too: its owner refuses it as it refuses
  // the command from anywhere else, and the user hears that it was refused.
  SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(cmd, 1), 0);
  return true;
}

void Host_Menu_Reset() {
  Reset_Tracking();
  for (void* h : Menus().Handles()) {
    HostMenuRec* m = Menus().Find_Any(h);
    Menus().Remove(h);
    delete m;
  }
}
