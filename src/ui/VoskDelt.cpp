#include "ui/VoskDelt.h"

#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"

namespace {

bool8* Bool_Field(int16 svx) {
  switch (svx) {
    case SV_SOUND_OPTION: return &gs.pref.sound_option;
    case SV_SCROLL_OPTION: return &gs.pref.scroll_option;
    case SV_ECHO_OPTION: return &gs.pref.echo_option;
    case SV_HISTORY_OPTION: return &gs.pref.history_option;
    case SV_STATUS_OPTION: return &gs.pref.status_option;
    case SV_TINYCURS_OPTION: return &gs.pref.tinycurs_option;
    case SV_TOOL_SHOW: return &gs.tool_show;
    case SV_DOC_CHANGED: return &g_doc.doc_changed;
    case SV_DOC_OPEN: return &g_doc.doc_open;
    default: return nullptr;
  }
}

// A document just opened shows its print preview; one just closed the start
// screen.
void Delta_Doc_Open(bool8 /*old*/) { SV_Set_Enum(SV_PHASE, g_doc.doc_open ? PREVIEW_PHASE : NODOC_PHASE); }

}  // namespace

void SV_Set_Bool(int16 svx, bool8 value) {
  bool8* field = Bool_Field(svx);
  if (field == nullptr) {
    SV_Set_Virtual(svx);
    return;
  }
  if (*field == value) return;
  const bool8 old = *field;
  *field = value;
  SV_Set_Virtual(svx);
  if (svx == SV_DOC_OPEN) Delta_Doc_Open(old);
}

void SV_Set_Enum(int16 svx, uint8 value) {
  if (svx != SV_PHASE) {
    SV_Set_Virtual(svx);
    return;
  }
  if (gs.curr_phase == value) return;
  gs.curr_phase = a_phase(value);
  SV_Set_Virtual(svx);
}

void SV_Set_Int(int16 svx, int16 value) {
  switch (svx) {
    case SV_ZOOM_IX:
      if (gs.grid_vals[ZOOM_GRID] == value) return;
      gs.grid_vals[ZOOM_GRID] = value;
      break;
    case SV_LANGUAGE: {
      // The preferences record is packed: its fields are used by value.
      const int16 old = gs.pref.language_offset;
      if (old == value) return;
      gs.pref.language_offset = value;
      break;
    }
    default: break;
  }
  SV_Set_Virtual(svx);
}
