#include "ui/VoskBar.h"

#include "doc/VoskDoc.h"
#include "pixel/ArtKeys.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/SysPixt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysSound.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntf.h"

static_assert(PHASE_STRIP_WIDTH == ART_PHASE_STRIP_WIDTH && PHASE_STRIP_HEIGHT == ART_PHASE_STRIP_HEIGHT &&
              NPHASE_BUTTONS == ART_PHASE_BUTTONS);

namespace {

// The buttons' picture for one paint (FALSE, and the buttons plain grey,
// when the library lacks it). It is not kept between paints: a picture held
// in the stored pictures' ring would outlive a ring started afresh.
bool Load_Phase_Picture(a_pixt& pixt) {
  Null_Pixt(pixt);
  if (!Pixt_Exists(ART_PICT_PHASE_STRIP)) return false;
  (void)KPixt_Load_Checked(Pixt_Key(ART_PICT_PHASE_STRIP), pixt);
  return pixt.bits != nullptr;
}

constexpr a_pixel24 kPlainGrey{200, 200, 200};
constexpr a_pixel24 kSelectedGrey{150, 150, 150};

int Button_Index(a_phase phase) {
  for (int i = 0; i < NPHASE_BUTTONS; ++i)
    if (PHASE_BUTTON_PHASES[i] == phase) return i;
  return -1;
}

Rect Moved(Rect r, int16 dh, int16 dv) {
  OffsetRect(r, dh, dv);
  return r;
}

}  // namespace

bool8 Phase_Button_Rect(a_phase phase, const Rect& area, Rect& r) {
  const int i = Button_Index(phase);
  if (i < 0) {
    r = Rect{0, 0, 0, 0};
    return false;
  }
  r = Moved(ART_PHASE_BUTTON[i], area.left, area.top);
  return true;
}

a_phase Phase_Find(const Rect& area, Point pt) {
  for (a_phase phase : PHASE_BUTTON_PHASES) {
    Rect r;
    if (Phase_Button_Rect(phase, area, r) && PtInRect(pt, r)) return phase;
  }
  return NULL_PHASE;
}

void Phase_Paint(const Rect& area) {
  a_pixt picture;
  const bool loaded = Load_Phase_Picture(picture);
  for (int i = 0; i < NPHASE_BUTTONS; ++i) {
    Rect dst;
    Phase_Button_Rect(PHASE_BUTTON_PHASES[i], area, dst);
    if (!loaded) {
      SetForeColor24(PHASE_BUTTON_PHASES[i] == gs.curr_phase ? kSelectedGrey : kPlainGrey);
      PaintRect(dst);
      ForeColor(1);
      continue;
    }
    const int16 dv = PHASE_BUTTON_PHASES[i] == gs.curr_phase ? ART_PHASE_SELECTED_DV : int16(0);
    Pixt_DrawPartial(picture, Moved(ART_PHASE_BUTTON[i], ART_PHASE_SOURCE_DH, dv), dst, srcCopy, nullptr);
  }
  Pixt_Unload(picture);
}

void Phase_MouseDown(const a_mousestroke& stroke) {
  HWND window;
  Rect area;
  if (!Custom_Get_Info(CUSTOM_PHASE, window, area)) return;
  const a_phase phase = Phase_Find(area, stroke.lmouse);
  if (!stroke.button1) {
    Cursor_Set_Shape(phase != NULL_PHASE ? FINGER_CURSOR : ARROW_CURSOR);
    return;
  }
  if (phase == NULL_PHASE) {
    Sound_Effect(SND_NULL);
    return;
  }
  if (phase == gs.curr_phase) return;
  if (gs.curr_phase == PREVIEW_PHASE) {
    // A clone has no design of its own: its master is edited instead.
    if (g_doc.up != nullptr && g_doc.up->clonef) {
      const uint32 masterx = Find_Clone_Master(g_doc.upx);
      if (masterx != 0) Select_Doc_Unit(masterx);
    }
  } else {
    Sound_Effect(SND_SUBTOOL_ONESHOT);
  }
  SV_Set_Enum(SV_PHASE, phase);
  Custom_Paint(CUSTOM_PHASE);
}

void Glyph_List_Init() {}

bool8 Bar_Align_Row(int16 /*id*/) { return false; }
