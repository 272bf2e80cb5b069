// The dispatch of commands and keys over the program's main window: the
// interface started with the bar of the symbol and photo phases (every menu
// of the program on it), a document of three units of one size (unit 3 a
// clone of unit 2 once Clone_Third runs), photos pasted, the history, the
// clipboard and the sounds asked for; and what the menu bar shows.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "NodeTestSupport.h"
#include "SoundTestSupport.h"
#include "TempDirSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "host/HostClipboard.h"
#include "host/HostMenu.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "objects/VoskStam.h"
#include "pixel/OPUtil.h"
#include "platform/SysMenu.h"
#include "platform/SysScrap.h"
#include "platform/SysWin.h"
#include "ui/VoskDelt.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"
#include "ui/VoskMenu.h"

namespace dispatchtest {

// The object kinds of the symbol, photo and text phases.
constexpr a_oj_kind_set kObjectKinds =
    a_oj_kind_set(Kind_Bit(PHOTO_BLOCK) | Kind_Bit(SYMBOL_BLOCK) | Kind_Bit(TEXT_BLOCK));

inline a_template Three_Units() {
  a_template x{};
  std::strcpy(x.label, "Test sheet");
  x.papersize = {215.9f, 279.4f};
  for (int i = 0; i < 3; ++i) {
    a_unit& u = x.units[x.nunits++];
    u.kind = UNIT_RECT;
    u.bbox = a_frect{5.0f + 30 * i, 5, 5.0f + 30 * i + 300 * 0.0846667f, 5 + 200 * 0.0846667f};
  }
  return x;
}

// Every command on the bar with whether it can be chosen (its menu and
// itself enabled) and whether it is checked; pop-ups by their first
// command's menu (100 for "Move Horizontally").
struct a_shown_item {
  int16 command;
  bool enabled;
  bool checked;
};

inline void Walk(HMENU menu, bool parent_enabled, std::vector<a_shown_item>& out) {
  const int32 n = GetMenuItemCount(menu);
  for (int32 pos = 0; pos < n; ++pos) {
    const UINT state = GetMenuState(menu, UINT(pos), MF_BYPOSITION);
    const bool enabled = parent_enabled && (state & MF_GRAYED) == 0;
    if (HMENU sub = GetSubMenu(menu, pos)) {
      const int32 first = GetMenuItemID(sub, 0);
      if (menu != main_menu && first > 0) out.push_back({int16(first - first % 20), enabled, false});
      Walk(sub, enabled, out);
      continue;
    }
    const int32 id = GetMenuItemID(menu, pos);
    if (id > 0) out.push_back({int16(id), enabled, (state & MF_CHECKED) != 0});
  }
}

inline std::vector<a_shown_item> Shown() {
  std::vector<a_shown_item> items;
  Walk(main_menu, true, items);
  return items;
}

inline std::vector<int16> Enabled_Commands() {
  std::vector<int16> ids;
  for (const a_shown_item& i : Shown())
    if (i.enabled) ids.push_back(i.command);
  std::sort(ids.begin(), ids.end());
  return ids;
}

inline std::vector<int16> Checked_Commands() {
  std::vector<int16> ids;
  for (const a_shown_item& i : Shown())
    if (i.checked) ids.push_back(i.command);
  std::sort(ids.begin(), ids.end());
  return ids;
}

// The text of item pos (from 1) of the menu holding commands of `menu`,
// without its shortcut.
inline std::string Item_Text(int16 menu, int16 pos) {
  HMENU parent = nullptr, child = nullptr;
  int16 at = 0;
  if (!FindSubMenu(menu, parent, at, child)) return "?";
  char buf[300] = {};
  GetMenuStringA(child, UINT(pos - 1), buf, int32(sizeof buf), MF_BYPOSITION);
  std::string s = buf;
  const size_t tab = s.find('\t');
  return tab == std::string::npos ? s : s.substr(0, tab);
}

class Dispatch : public nodetest::NodeTree {
 protected:
  void SetUp() override {
    nodetest::NodeTree::SetUp();
    if (HasFatalFailure()) return;
    tmp_ = testdir::Make_Temp_Dir("velmor-dispatch");
    ASSERT_FALSE(tmp_.empty());
    env_ = std::make_unique<testdir::EnvGuard>("TMPDIR", tmp_.c_str());
    VoskDoc_Init();
    VoskFunc_Init();
    VoskUndo_Init();
    History_Null();
    VoskBlok_Init();
    OPUtil_Init();
    Stamp_Init();
    Host_Clipboard_Reset();
    gs.controller = GHOST;  // alerts that are not fatal stay silent
    gs.mytask = true;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    gs.grid_vals[ZOOM_GRID] = 0;
    g_menu_enable = ENABLE_ALL;
    Menus_Load(MENUBAR_OBJECTS, 0);
    sounds_ = std::make_unique<soundtest::SoundRecorder>();
  }
  void TearDown() override {
    // The commands marked state variables that no interaction settled: they
    // leave with the test.
    SV_Init();
    sounds_.reset();
    g_menu_enable = ENABLE_ALL;
    Undo_Dispose();
    if (g_doc.doc_open) Doc_Dispose();
    Dispose_Doc_Buffers();
    History_Stop();
    Stamp_Stop();
    Cache_Clear();
    Host_Clipboard_Reset();
    env_.reset();
    if (!tmp_.empty()) testdir::Remove_Dir(tmp_);
    nodetest::NodeTree::TearDown();
  }

  // The document open, unit 1 current, in phase p with its object kinds.
  void Open(a_phase p = PREVIEW_PHASE) {
    ASSERT_TRUE(Doc_New(Three_Units()));
    Select_Doc_Unit(1);
    g_doc.doc_new = false;
    g_doc.doc_changed = false;
    Phase(p);
    Pattern_Fill(kNoPattern);
  }
  static constexpr int16 kNoPattern = 30000;
  static void Phase(a_phase p) {
    gs.curr_phase = p;
    gs.curr_kindset = (p == SYMBOL_PHASE || p == PHOTO_PHASE || p == TEXT_PHASE) ? kObjectKinds : 0;
  }
  // n photos pasted (each selected alone as it comes), then all selected.
  static void Photos(int n) {
    for (int i = 0; i < n; ++i) {
      a_masked_gworld mw;
      Null_MW(mw);
      mw.bounds = Rect{0, 0, 40, int16(60 + 10 * i)};
      ASSERT_EQ(New_GWorld(mw.bounds, 32, nullptr, mw.fore), 0);
      Photo_Paste(mw, SOURCE_CLIPBOARD);
    }
    Obj_Select_All();
  }
  // The paint phase's fill: a pattern of the library, or one that is not
  // there (an empty fill stamp).
  static void Pattern_Fill(int16 pattern) {
    gs.tool_net = SRECT_TOOL;
    gs.fill_kind = PATTERN_FILL;
    gs.bar_selection[PATTERN_BAR] = pattern;
  }
  // An action the history records (the canvas darkness of unit 1).
  static void Step(int16 value) {
    Doc_Unit(1)->canv.cv.canvas_darkness = value;
    History_Emit(OP_CANVAS_ADJUST);
  }
  std::vector<int16> Sounds() {
    std::vector<int16> s = sounds_->Ids();
    sounds_->Clear();
    return s;
  }
  // Which of our photo record, text and bitmaps the clipboard holds.
  static std::vector<uint32> Clip() {
    std::vector<uint32> held;
    for (const uint32 format : {SCRAP_PH, SCRAP_UNICODETEXT, SCRAP_DIB}) {
      uint32 kind = 0;
      if (Is_Scrap_Available(kind, format)) held.push_back(format);
    }
    return held;
  }

  std::string tmp_;
  std::unique_ptr<testdir::EnvGuard> env_;
  std::unique_ptr<soundtest::SoundRecorder> sounds_;
};

}  // namespace dispatchtest
