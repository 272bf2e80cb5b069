#include "doc/VoskHist.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "doc/VoskDoc.h"
#include "doc/VoskHistFile.h"
#include "doc/VoskRend.h"
#include "objects/VoskBlok.h"
#include "objects/VoskCanv.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/TextUtil.h"
#include "platform/Quickdraw.h"
#include "platform/SysSound.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"

a_hist_rec g_hist;

namespace {

// The one snapshot held in memory: the state of slot, as its undo file holds
// it.
struct a_ram_rec {
  int32 slot = -1;
  std::vector<uint8> image;
};
a_ram_rec g_ram;

uint32 g_nflush = 0;
bool g_swept = false;       // dead runs' folders removed this run
bool g_told_gone = false;   // the user knows earlier steps are gone

// The panel's rows.
constexpr int16 kRowTop = 24;
constexpr int16 kRowHeight = 30;
constexpr int16 kLabelInset = 20;
constexpr int16 kTitleString = 133;  // "History"
constexpr a_pixel24 kCurrColor{29, 51, 85};
constexpr a_pixel24 kRedoColor{70, 70, 70};
constexpr a_pixel24 kCurrStrip{214, 224, 240};

void RAM_Dispose() {
  g_ram.slot = -1;
  std::vector<uint8>().swap(g_ram.image);
}

bool Is_In_Ring(int32 slot) {
  if (slot < 0 || slot >= NHIST_SLOTS || g_hist.lo == g_hist.hi) return false;
  for (int32 s = g_hist.lo; s != g_hist.hi; s = Modulo(s + 1))
    if (s == slot) return true;
  return false;
}

// Whether the state of slot can be put back.
bool Is_Held(int32 slot) {
  if (slot < 0 || slot >= NHIST_SLOTS) return false;
  return (slot == g_ram.slot && !g_ram.image.empty()) || g_hist.list[slot].written;
}

void Forget_Slot(int32 slot) {
  a_hist_state& s = g_hist.list[slot];
  if (s.written) Undo_File_Delete(slot);
  s.written = false;
  s.len = 0;
  s.digest = 0;
  if (g_ram.slot == slot) RAM_Dispose();
}

// Writes the snapshot in memory as the undo file of slot: 0, or the
// system's error number.
int Write_File(int32 slot) {
  a_hist_state& s = g_hist.list[slot];
  int err = 0;
  if (!Undo_File_Write(slot, g_ram.image.data(), g_ram.image.size(), err)) {
    s.written = false;
    return err != 0 ? err : EIO;
  }
  s.written = true;
  s.len = g_ram.image.size();
  s.digest = Image_Digest(g_ram.image.data(), g_ram.image.size());
  return 0;
}

// Snapshots the document for slot and writes its undo file. FALSE when
// either fails (why: the system's reason for the file).
bool Keep_State_Once(int32 slot, std::string& why) {
  // A state held only in memory (its file could not be written) gets
  // another try before the memory goes to the new one.
  const int32 held = g_ram.slot;
  if (held >= 0 && held != slot && !g_hist.list[held].written && Is_In_Ring(held) && !g_ram.image.empty())
    Write_File(held);
  g_hist.list[slot].written = false;
  // A retry writes the snapshot already taken.
  if (g_ram.slot != slot || g_ram.image.empty()) {
    g_ram.slot = -1;
    if (!Doc_To_Image(g_ram.image)) {
      why = std::strerror(ENOMEM);
      return false;
    }
    g_ram.slot = slot;
  }
  const int err = Write_File(slot);
  if (err != 0) {
    why = std::strerror(err);
    return false;
  }
  return true;
}

// Keeps the new state of slot (the current one): the oldest steps make room
// while it cannot be kept; with none left, the history starts again here.
void Keep_State(int32 slot) {
  std::string why;
  for (;;) {
    if (Keep_State_Once(slot, why)) {
      g_told_gone = false;
      return;
    }
    if (g_hist.lo == slot) break;
    Forget_Slot(g_hist.lo);
    g_hist.lo = Modulo(g_hist.lo + 1);
  }
  g_hist.lo = slot;
  g_hist.hi = Modulo(slot + 1);
  if (!g_told_gone) {
    g_told_gone = true;
    Param_Text(CStrSpan(why.c_str(), why.size() + 1), "", "", "");
    OK_Alert(false, ALERT_HISTORY_RESTARTED);
  }
}

void Refuse(const char* why) {
  Sound_Effect(SND_NULL);
  Param_Text(CStrSpan(why, std::strlen(why) + 1), "", "", "");
  OK_Alert(false, ALERT_UNDO_REFUSED);
}

// The panels follow a state put back. The document may no longer be what
// its file holds, so quitting asks to save it.
void After_Restore() {
  SV_Set_Bool(SV_DOC_CHANGED, true);
  SV_Set_Virtual(SV_MENUBAR_CHECKMARKS);
  Custom_Inval(CUSTOM_HISTORY);
  Custom_Inval(CUSTOM_EDIT1);
  Custom_Inval(CUSTOM_STATUS);
  Custom_Inval(CUSTOM_LAYERS);
  Custom_Inval(CUSTOM_NAV);
  All_Units_PostRender();
  switch (gs.curr_phase) {
    case PREVIEW_PHASE:
      Custom_Inval(CUSTOM_PREVIEW);
      Custom_Inval(CUSTOM_UNITLIST);
      break;
    case PHOTO_PHASE:
      Obj_Select_None_Except(PHOTO_BLOCK);
      Custom_Inval(CUSTOM_EDIT1);
      break;
    case TEXT_PHASE:
      Obj_Select_None_Except(TEXT_BLOCK);
      Custom_Inval(CUSTOM_EDIT1);
      break;
    case SYMBOL_PHASE:
      Obj_Select_None_Except(SYMBOL_BLOCK);
      Custom_Inval(CUSTOM_EDIT1);
      break;
    case CANVAS_PHASE:
      if (g_doc.up != nullptr && !g_doc.up->clonef) CV_To_Sliders(g_doc.up->canv.cv);
      Custom_Inval(CUSTOM_EDIT1);
      break;
    default: break;
  }
}

bool Doc_Has_Units() {
  const uint32 n = g_doc.doc_template.nunits <= MAXNUNITS ? g_doc.doc_template.nunits : MAXNUNITS;
  for (uint32 ux = 1; ux <= n; ++ux)
    if (g_doc.doc_units[ux - 1] == nullptr) return false;
  return true;
}

// Undo or redo by a button: its sound and the state, or the refusal sound.
void Step_Button(bool undo) {
  int32 undo_slot, redo_slot;
  Calc_Undo_Avail(undo_slot, redo_slot);
  const int32 slot = undo ? undo_slot : redo_slot;
  if (slot < 0) {
    Sound_Effect(SND_NULL);
    return;
  }
  Sound_Effect(undo ? SND_UNDO : SND_REDO);
  Restore_State(slot);
}

// Row i of the panel (0 for the oldest state).
Rect Row_Rect(const Rect& box, int32 i) {
  const int32 top = box.top + kRowTop + kRowHeight * i;
  return Rect{int16(top), int16(box.left + 1), int16(top + kRowHeight), box.right};
}

}  // namespace

// --- The ring ----------------------------------------------------------------------------

void History_Null() {
  for (int32 slot = 0; slot < NHIST_SLOTS; ++slot) Forget_Slot(slot);
  g_hist = a_hist_rec{};
  g_hist.curr = -1;
  RAM_Dispose();
  g_nflush = 0;
  g_told_gone = false;
  if (!g_swept) {
    g_swept = true;
    Undo_Sweep_Dead_Runs();
  }
}

void History_Base() {
  for (int32 slot = 0; slot < NHIST_SLOTS; ++slot) Forget_Slot(slot);
  g_hist.curr = -1;
  g_hist.lo = 0;
  g_hist.hi = 0;
  g_told_gone = false;
  History_Emit(OP_START);
}

void History_Emit(a_history_op op) {
  if (op == OP_NOP) return;
  // A step after an undo ends the redo states: their snapshots go, the new
  // one's slot among them, so the slot is kept from the document as it is
  // now and never from a state that was undone.
  if (Is_In_Ring(g_hist.curr))
    for (int32 s = Modulo(g_hist.curr + 1); s != g_hist.hi; s = Modulo(s + 1)) Forget_Slot(s);
  g_hist.curr = Modulo(g_hist.curr + 1);
  const int32 slot = g_hist.curr;
  if (g_ram.slot == slot) RAM_Dispose();
  ++g_hist.cumseq;
  a_hist_state& s = g_hist.list[slot];
  s.seq = g_hist.cumseq;
  s.op = op;
  s.unit = g_doc.upx;
  g_hist.hi = Modulo(slot + 1);
  if (g_hist.hi == g_hist.lo) {
    Forget_Slot(g_hist.lo);
    g_hist.lo = Modulo(g_hist.lo + 1);
  }
  // Without unit records (no document) there is nothing to hold.
  if (Doc_Has_Units()) Keep_State(slot);
  else Forget_Slot(slot);
  Custom_Inval(CUSTOM_HISTORY);
  Custom_Inval(CUSTOM_NAV);
  if (op != OP_START) SV_Set_Bool(SV_DOC_CHANGED, true);
  SV_Set_Virtual(SV_MENUBAR_CHECKMARKS);
  pending_op = OP_NOP;
}

void History_Set_Pending(a_history_op op) { pending_op = op; }

void History_Flush() {
  ++g_nflush;
  RAM_Dispose();
  Custom_Inval(CUSTOM_HISTORY);
}

void History_Stop() {
  RAM_Dispose();
  for (a_hist_state& s : g_hist.list) s.written = false;
  Undo_Folder_Remove();
}

// --- Undo and redo -----------------------------------------------------------------------

void Calc_Undo_Avail(int32& undo, int32& redo) {
  undo = -1;
  redo = -1;
  if (!g_doc.doc_open || g_hist.lo == g_hist.hi || !Is_In_Ring(g_hist.curr)) return;
  if (g_hist.curr != g_hist.lo && Is_Held(Modulo(g_hist.curr - 1))) undo = Modulo(g_hist.curr - 1);
  const int32 next = Modulo(g_hist.curr + 1);
  if (next != g_hist.hi && Is_Held(next)) redo = next;
}

void Is_Undo_Avail(a_history_op& undo_op, a_history_op& redo_op) {
  int32 undo, redo;
  Calc_Undo_Avail(undo, redo);
  undo_op = undo >= 0 ? g_hist.list[g_hist.curr].op : OP_NOP;
  redo_op = redo >= 0 ? g_hist.list[redo].op : OP_NOP;
}

void Calc_Op_Label(a_history_op op, StrSpan label) {
  if (label.empty()) return;
  if (op == OP_NOP) {
    std::strncpy(label.data(), "NOP", label.size());
    label[label.size() - 1] = 0;
    return;
  }
  Get_Translated_String(label, STRLIST_HISTORY, int16(op));
}

bool8 Restore_State(int32 slot) {
  if (!Is_In_Ring(slot)) {
    Sound_Effect(SND_NULL);
    return false;
  }
  const char* why = nullptr;
  bool8 done = false;
  if (slot == g_ram.slot && !g_ram.image.empty()) {
    done = Image_To_Doc(g_ram.image.data(), g_ram.image.size(), why);
  } else {
    const a_hist_state& s = g_hist.list[slot];
    std::vector<uint8> bytes;
    if (!s.written || !Undo_File_Read(slot, size_t(s.len), bytes))
      why = "the undo file is missing or does not have the length it was written with";
    else if (Image_Digest(bytes.data(), bytes.size()) != s.digest)
      why = "the undo file was changed since it was written";
    else
      done = Image_To_Doc(bytes.data(), bytes.size(), why);
  }
  if (!done) {
    Refuse(why != nullptr ? why : "the undo file cannot be read");
    return false;
  }
  g_hist.curr = slot;
  After_Restore();
  return true;
}

void Undo_Button() { Step_Button(true); }
void Redo_Button() { Step_Button(false); }

void Undo_Silent() {
  int32 undo, redo;
  Calc_Undo_Avail(undo, redo);
  if (undo >= 0) Restore_State(undo);
}

// --- The history panel ----------------------------------------------------------------------

int32 History_Find(const Rect& box, Point pt) {
  if (g_hist.lo == g_hist.hi || pt.h < box.left + 1 || pt.h >= box.right) return -1;
  int32 i = 0;
  for (int32 s = g_hist.lo; s != g_hist.hi; s = Modulo(s + 1), ++i) {
    const Rect r = Row_Rect(box, i);
    if (pt.v >= r.top && pt.v < r.bottom) return s;
  }
  return -1;
}

void History_Paint(const Rect& box) {
  // White, then the panel's stripe where its pattern is loaded: rows and the
  // rest below them alike.
  BackColor(0);
  EraseRect(box);
  Draw_Decoration(DECORATION_STRIPED, box);
  const Rect title{box.top, box.left, int16(box.top + kRowTop), box.right};
  uStr255 text{};
  Get_Translated_UString(text, STRLIST_DLOG, kTitleString);
  ForeColor(1);
  TextMode(srcOr);
  Draw_UString_Fit(1, gs.font_14pt, text, title);
  // Redo states follow the current one in ring order.
  bool after = false;
  int32 i = 0;
  for (int32 s = g_hist.lo; s != g_hist.hi && g_hist.lo != g_hist.hi; s = Modulo(s + 1), ++i) {
    const Rect r = Row_Rect(box, i);
    if (r.top >= box.bottom) break;
    Str255 label{};
    Calc_Op_Label(g_hist.list[s].op, label);
    if (s == g_hist.curr) {
      SetForeColor24(kCurrStrip);
      PaintRect(r);
      SetForeColor24(kCurrColor);
    } else if (after) {
      SetForeColor24(kRedoColor);
    } else {
      ForeColor(1);
    }
    Draw_String_Fit(false, gs.font_14pt, label, Rect{r.top, int16(r.left + kLabelInset), r.bottom, r.right});
    if (s == g_hist.curr) after = true;
  }
  ForeColor(1);
}

void History_MouseDown(const a_mousestroke& stroke) {
  HWND window;
  Rect box;
  if (!Custom_Get_Info(CUSTOM_HISTORY, window, box)) return;
  const int32 slot = History_Find(box, stroke.lmouse);
  if (!stroke.button1) {
    Cursor_Set_Shape(slot >= 0 ? FINGER_CURSOR : ARROW_CURSOR);
    return;
  }
  if (slot < 0 || slot == g_hist.curr || !Is_Held(slot)) {
    Sound_Effect(SND_NULL);
    return;
  }
  Sound_Effect(SND_SUBTOOL_ONESHOT);
  Restore_State(slot);
}

// --- What the history holds ---------------------------------------------------------------

int32 History_Count() { return (g_hist.hi - g_hist.lo + NHIST_SLOTS) % NHIST_SLOTS; }
a_history_op History_Last_Op() {
  if (g_hist.lo == g_hist.hi) return OP_NOP;
  return g_hist.list[Modulo(g_hist.hi - 1)].op;
}
uint32 History_Flush_Count() { return g_nflush; }
int32 History_Ram_Slot() { return g_ram.slot; }
