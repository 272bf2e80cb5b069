#include "legacy/VoskOld.h"

#include <algorithm>
#include <cstring>

#include "doc/VoskFunc.h"
#include "doc/VoskTmpl.h"
#include "legacy/Console.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "pixel/DrawUtilDraw.h"
#include "platform/Quickdraw.h"
#include "platform/SysDlog.h"
#include "platform/VoskErr.h"
#include "ui/VoskCurs.h"

// --- Prompts and reports -----------------------------------------------------------------

void Vol_Mount_Init(HWND dialog) {
  Str255 prompt;
  Get_Translated_String(StrSpan(prompt), STRLIST_LEGACY, LEGACY_MOUNT_PROMPT);
  SetDialogText(dialog, 2, CStrSpan(prompt));
}

void Vol_Mount_Cmd(HWND dialog, int16 item) {
  if (item == 1 || item == 2) Modal_Exit(dialog, item);
}

bool8 Ask_Vol_Mount() {
  return Modal_Dialog(DLOG_ALERT1, 0, 1, Vol_Mount_Init, Vol_Mount_Cmd, DialogFilter1) == 1;
}

void Bad_Art() { OK_Alert(false, ALERT_BAD_ART); }

void Call_Debugger() {}

// --- Overlaps ------------------------------------------------------------------------------

namespace {
constexpr float kEdge = 0.001f;
}  // namespace

bool8 PtInFrect(const a_frect& r, const a_fpoint& p) {
  return r.left <= p.x && p.x <= r.right - kEdge && r.top <= p.y && p.y <= r.bottom - kEdge;
}

bool8 FRects_Overlap(const a_frect& a, const a_frect& b) {
  // Each rectangle covers [left, right - 0.001] across and [top, bottom -
  // 0.001] down, as PtInFrect has it; they overlap when both spans meet. Two
  // rectangles laid across each other overlap with no corner of either
  // inside the other, so corners alone are not enough.
  return std::max(a.left, b.left) <= std::min(a.right, b.right) - kEdge &&
         std::max(a.top, b.top) <= std::min(a.bottom, b.bottom) - kEdge;
}

bool8 Is_Overlapped_Template(const a_template& tmpl) {
  const uint32 n = std::min<uint32>(tmpl.nunits, MAXNUNITS);
  for (uint32 j = 2; j <= n; ++j)
    for (uint32 i = 1; i < j; ++i)
      if (FRects_Overlap(tmpl.units[i - 1].bbox, tmpl.units[j - 1].bbox)) return true;
  return false;
}

// --- Objects and idle work -----------------------------------------------------------------

void Frame_XOR(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  // Only photos, symbols and collage slots have a frame; the paint layer
  // (always object 1) and texts have no photo record.
  if (item == nullptr || item->ph == nullptr ||
      (item->kind != PHOTO_BLOCK && item->kind != SYMBOL_BLOCK && item->kind != SLOT_BLOCK))
    return;
  a_pointlist_ptr cells = nullptr, screen = nullptr;
  New_Pointlist(PH_FRAME_POINTS, cells);
  New_Pointlist(PH_FRAME_POINTS, screen);
  if (cells != nullptr && screen != nullptr) {
    PH_Calc_Frame(cells, item->ph);
    CellToScreen_Pointlist(1, cells, screen);
    PenState pen;
    GetPenState(pen);
    RGBColor fore;
    GetForeColor(fore);
    // XOR with white inverts: drawn again, the frame is gone.
    PenNormal();
    PenMode(patXor);
    RGBForeColor(RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
    Frame_Pointlist(1, screen);
    RGBForeColor(fore);
    SetPenState(pen);
  }
  Dispose_Pointlist(cells);
  Dispose_Pointlist(screen);
}

void Do_Null_NoDoc(bool8 active) {
  if (active) Cursor_Arrow();
}

// --- The catalogue as an HTML list ---------------------------------------------------------

bool8 Write(a_html_list& list, CStrSpan text) {
  size_t n = 0;
  while (n < text.size() && text[n] != '\0') ++n;
  if (list.file == nullptr || std::fwrite(text.data(), 1, n, list.file) != n) list.ok = false;
  return list.ok;
}

void Add_To_List(a_html_list& list, CStrSpan label) {
  if (list.count >= DUMP_LIST_MAX) return;
  ++list.count;
  Write(list, CStrSpan("<LI>"));
  size_t start = 0, i = 0;
  for (; i < label.size() && label[i] != '\0'; ++i) {
    const char* entity = label[i] == '&' ? "&amp;" : label[i] == '<' ? "&lt;" : nullptr;
    if (entity == nullptr) continue;
    Write(list, label.subspan(start, i - start));
    Write(list, CStrSpan(entity, std::strlen(entity)));
    start = i + 1;
  }
  Write(list, label.subspan(start, i - start));
  Write(list, CStrSpan("\n"));
}

bool8 Dump_List(const char* path) {
  a_html_list list{std::fopen(path, "wb"), 0, true};
  if (list.file == nullptr) return false;
  // The catalogue's own count: the table is as long as the build made it.
  for (uint32 tx = 1; tx <= NTEMPLATES; ++tx) {
    const a_ctemplate& c = g_ctemplates[tx - 1];
    Add_To_List(list, CStrSpan(c.label, sizeof c.label));
  }
  if (std::fclose(list.file) != 0) list.ok = false;
  list.file = nullptr;
  return list.ok;
}

void WriteOp(a_history_op op) { WriteCard(op); }
