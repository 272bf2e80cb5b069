// Pressing the controls of the main window as a person does, in the test's
// own process: where a shown control lies on screen (a one-shot, a toggle, a
// grid's cell, a slider's plus or minus button), a click there through the
// host's scripted input and the main window's procedure (the real mouse
// dispatch), and a look at what a person could notice before and after:
// the values, the document and its history, the phase, the window's pixels,
// the sounds other than a control's own click, a print, the program asked
// to end. Shared by the sweep over the panels and by session fuzzers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "SoundTestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "host/HostPrint.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "pixel/ArtItems.h"
#include "platform/QDRect.h"
#include "platform/SysSound.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "doc/VoskPrin.h"
#include "platform/SysLoop.h"
#include "ui/VoskSlid.h"

namespace press {

// A control as a panel shows it: its kind, its row and, for a grid, the
// cell; for a slider, whether the plus (else the minus) button is meant.
struct a_control {
  a_node_kind kind;
  int16 ix;
  int16 element = 0;
  std::string Name() const {
    switch (kind) {
      case ONESHOT_NODE: return ART_ONESHOT_ITEMS[ix].name;
      case TOGGLE_NODE: return ART_TOGGLE_ITEMS[ix].name;
      case ICONGRID_NODE: return std::string(ART_GRID_ITEMS[ix].name) + " cell " + std::to_string(element);
      case SLIDER_NODE: return "slider " + std::to_string(ix) + (element != 0 ? " plus" : " minus");
      default: return "node kind " + std::to_string(int(kind));
    }
  }
};

inline Rect Node_Box(int16 nodex) { return nodex == 0 ? Rect{0, 0, 0, 0} : Node_Get(CURR, nodex).nbounds; }

// Where the control lies in the main window now (empty: not shown).
inline Rect Control_Rect(const a_control& c) {
  switch (c.kind) {
    case ONESHOT_NODE: return Node_Box(g_oneshots[c.ix].nodex);
    case TOGGLE_NODE: return Node_Box(g_toggles[c.ix].nodex);
    case ICONGRID_NODE: {
      const Rect node = Node_Box(g_grid[c.ix].nodex);
      if (EmptyRect(node)) return node;
      Rect cell;
      Calc_Grid_Cell(false, a_grid_enum(c.ix), c.element, cell);
      OffsetRect(cell, node.left, node.top);
      return cell;
    }
    case SLIDER_NODE: {
      const Rect node = Node_Box(g_sliders[c.ix].nodex);
      if (EmptyRect(node)) return node;
      Rect part = Slider_Part_Box(c.ix, c.element != 0 ? PART_PLUS : PART_MINUS);
      OffsetRect(part, node.left, node.top);
      return part;
    }
    default: return Rect{0, 0, 0, 0};
  }
}

// The display state the control shows (hidden and dimmed controls take no
// press).
inline a_tri_state Control_State(const a_control& c) {
  switch (c.kind) {
    case ONESHOT_NODE: return OneShot_Get_State(a_oneshot_enum(c.ix));
    case TOGGLE_NODE: return Toggle_Get_State(a_toggle_enum(c.ix));
    case SLIDER_NODE: return g_sliders[c.ix].hiproc != nullptr ? g_sliders[c.ix].hiproc(0) : PLAIN_BUTTON;
    default: return PLAIN_BUTTON;
  }
}

// Every control the panels show now that takes a press: each one-shot and
// toggle, each cell of a grid but its current one, each slider's button
// that moves its value (plus, or minus at the top of its range).
inline std::vector<a_control> Shown_Controls() {
  std::vector<a_control> out;
  for (int16 nx = 1; nx <= Node_Used(CURR); ++nx) {
    const a_node_rec& n = Node_Get(CURR, nx);
    a_control c{n.kind, 0, 0};
    switch (n.kind) {
      case ONESHOT_NODE: c.ix = n.oneshot_ix; break;
      case TOGGLE_NODE: c.ix = n.toggle_ix; break;
      case SLIDER_NODE:
        c.ix = n.slider_ix;
        c.element = gs.slider_vals[c.ix] < g_sliders[c.ix].maxval ? 1 : 0;
        break;
      case ICONGRID_NODE: {
        const a_grid_enum g = n.grid_ix;
        for (int16 e = 0; e < Grid_Elements(g); ++e)
          if (!Grid_Get_State(g, e)) out.push_back({ICONGRID_NODE, int16(g), e});
        continue;
      }
      default: continue;
    }
    const a_tri_state state = Control_State(c);
    if (state != HIDDEN_BUTTON && state != DIM_BUTTON && !EmptyRect(Control_Rect(c))) out.push_back(c);
  }
  return out;
}

// Runs the main window's messages until the script is done and nothing is
// queued (a guard ends it).
inline void Pump() {
  MSG m;
  for (int guard = 0; guard < 5000; ++guard) {
    if (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) continue;
      TranslateMessage(&m);
      DispatchMessage(&m);
    } else if (!Host_Script_Active()) {
      break;
    }
  }
  if (gs.outer_window != nullptr) UpdateWindow(gs.outer_window);
}

// The script's command at the middle of r of the main window.
inline std::string At(const char* command, const Rect& r) {
  return std::string(command) + " " + std::to_string((r.left + r.right) / 2) + " " +
         std::to_string((r.top + r.bottom) / 2) + "\n";
}

// The mouse brought over r, so that what hovering shows (a tip, a cursor,
// the status line) is there before a press.
inline bool Hover(const Rect& r) {
  std::string err;
  Host_Script_Set_Quit_At_End(false);
  if (!Host_Script_Load_Text(At("move", r), "hover", err)) return false;
  Pump();
  return true;
}

// A click at the middle of r of the main window, as the script's "click"
// gives it: the button goes down and up through the main window's
// procedure, which hands the press to the interface. before: script lines
// to run first (answers for the dialogs the press may open).
inline bool Click(const Rect& r, const std::string& before = std::string()) {
  const std::string line = before + At("click", r);
  std::string err;
  Host_Script_Set_Quit_At_End(false);
  if (!Host_Script_Load_Text(line, "press", err)) return false;
  Pump();
  return true;
}

// What a person could notice.
struct a_look {
  std::vector<int16> values;  // sliders, grids, toggles
  uint64_t pixels = 0;        // the main window's, hashed
  int32 history = 0;
  bool changed = false, open = false, done = false;
  a_phase phase = NULL_PHASE;
  a_print_media_spec media{};
  std::vector<int16> sounds;  // besides the controls' own clicks
  size_t printed = 0;
};

inline bool operator==(const a_print_media_spec& a, const a_print_media_spec& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}
inline bool operator==(const a_look& a, const a_look& b) {
  return a.values == b.values && a.pixels == b.pixels && a.history == b.history && a.changed == b.changed &&
         a.open == b.open && a.done == b.done && a.phase == b.phase && a.media == b.media && a.sounds == b.sounds &&
         a.printed == b.printed;
}

// The clicks' own sounds, which say only that the mouse went down.
inline bool Click_Sound(int16 id) {
  if (id == SND_SUBTOOL_ONESHOT || id == SND_SUBTOOL_ICONGRID || id == SND_SUBTOOL_SLIDER) return true;
  for (const a_oneshot_item& o : g_oneshots)
    if (o.one_sound == id) return true;
  return false;
}

inline a_look Look(const soundtest::SoundRecorder& sounds) {
  a_look l;
  for (int16 v : gs.slider_vals) l.values.push_back(v);
  for (int16 v : gs.grid_vals) l.values.push_back(v);
  for (bool8 v : gs.toggle_vals) l.values.push_back(v);
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  if (gs.outer_window != nullptr && Host_Window_Compose(gs.outer_window, px, w, h)) {
    uint64_t hash = 1469598103934665603ull;
    for (uint32 p : px) hash = (hash ^ (p & 0xFFFFFFu)) * 1099511628211ull;
    l.pixels = hash;
  }
  l.history = g_hist.curr;
  l.changed = g_doc.doc_open && g_doc.doc_changed;
  l.open = g_doc.doc_open;
  l.done = g_doneflag;
  l.phase = a_phase(gs.curr_phase);
  if (g_doc.doc_open) Get_Media_Specs(l.media);
  for (int16 id : sounds.Ids())
    if (!Click_Sound(id)) l.sounds.push_back(id);
  l.printed = Host_Print_Last_Files().size();
  return l;
}

}  // namespace press
