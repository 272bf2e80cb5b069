#include "ui/VoskSlid.h"

#include <algorithm>
#include <cstdlib>

#include "doc/VoskRend.h"
#include "host/HostClock.h"
#include "pixel/ArtItems.h"
#include "pixel/Draw.h"
#include "pixel/Fast.h"
#include "pixel/SysPixt.h"
#include "pixel/TextUtil.h"
#include "platform/Events.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysSound.h"
#include "platform/SysTrack.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "platform/Windowv.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStus.h"

a_slider_track qq = {};

namespace {

// The thumb's travel: the rack's width less the thumb's.
constexpr int16 kThumbWidth = 18;
constexpr int16 kThumbTravel = 249 - kThumbWidth;

// The parts' boxes at the thumb's left end (top, left, bottom, right).
constexpr Rect kPartBox[] = {
    {0, 0, 17, 249},     // label
    {23, 0, 28, 249},    // rack
    {17, 0, 34, 18},     // thumb at p = 0
    {10, 254, 34, 285},  // minus
    {10, 285, 34, 316},  // plus
    {0, 196, 16, 251},   // reset
};
// What the rack is drawn over: its band with the thumb's rows.
constexpr Rect kRackBand = {17, 0, 34, 249};

// The slider's node on screen: its bounds and window. FALSE when the slider
// is not shown.
bool Slider_Node(int16 slider, Rect& bounds, HWND& owner) {
  if (!Is_Slider(slider) || g_sliders[slider].nodex == 0) return false;
  const a_node_rec& node = Node_Get(CURR, g_sliders[slider].nodex);
  if (node.kind != SLIDER_NODE) return false;
  bounds = node.nbounds;
  owner = node.nowner;
  return true;
}

Rect Offset(Rect r, int16 dh, int16 dv) {
  r.left = int16(r.left + dh);
  r.right = int16(r.right + dh);
  r.top = int16(r.top + dv);
  r.bottom = int16(r.bottom + dv);
  return r;
}

bool Contains(const Rect& r, Point pt) {
  return pt.v >= r.top && pt.v < r.bottom && pt.h >= r.left && pt.h < r.right;
}

Rect Grown(Rect r, int16 dh, int16 dv) {
  r.left = int16(r.left - dh);
  r.right = int16(r.right + dh);
  r.top = int16(r.top - dv);
  r.bottom = int16(r.bottom + dv);
  return r;
}

// A click of the slider (not while a script drives the interface unseen).
void Click_Sound() {
  if (gs.controller != STEALTH && Sound_Done()) Sound_Effect(SND_SUBTOOL_SLIDER);
}

// The look of a picture part in a state; the buttons show their big-step
// (tiny-step) look while Shift (Ctrl) is held and the slider has that step.
a_art_slider_look Part_Look(int16 slider, a_slider_part part, a_tri_state state) {
  if (state == HILITE_BUTTON) return ART_SLIDER_HILITE;
  if (state == DIM_BUTTON) return ART_SLIDER_DIM;
  if (part == PART_MINUS || part == PART_PLUS) {
    if (g_tracked.shift && Is_Slider_Biggable(slider)) return ART_SLIDER_BIG;
    if (g_tracked.option && Is_Slider_Tinyable(slider)) return ART_SLIDER_TINY;
  }
  return ART_SLIDER_PLAIN;
}

void Draw_Label_Text(int16 slider, const Rect& box, bool8 dimmed) {
  uStr255 text;
  Get_Translated_UString(text, 500, g_sliders[slider].stringx);
  RGBForeColor(dimmed ? RGBColor{0x9999, 0x9999, 0x9999} : RGBColor{0, 0, 0});
  Rect r = box;
  r.left = int16(r.left + 2);
  Draw_UString_Fit(JUST_LEFT, gs.font_14pt, text, r);
  ForeColor(1);
}

// The rack with the thumb at the slider's value, over its band.
void Draw_Rack(int16 slider, a_pixt& pixt, const Rect& node, a_tri_state state) {
  const a_art_slider_look look = Part_Look(slider, PART_RACK, state);
  Pixt_DrawPartial(pixt, ART_SLIDER_PARTS[look][ART_PART_RACK], Offset(kPartBox[PART_RACK], node.left, node.top), 0x24,
                   nullptr);
  const Rect thumb = Offset(Slider_Part_Box(slider, PART_THUMB), node.left, node.top);
  Pixt_DrawPartial(pixt, ART_SLIDER_PARTS[look][ART_PART_THUMB], thumb, 0x24, nullptr);
}

}  // namespace

// --- Geometry ----------------------------------------------------------------------------

int16 Slider_Thumb_Offset(int16 slider, int16 value) {
  if (!Is_Slider(slider)) return 0;
  const a_slider_item& s = g_sliders[slider];
  return Interpolate_Rounded(value, s.minval, s.maxval, 0, kThumbTravel);
}

Rect Slider_Part_Box(int16 slider, a_slider_part part) {
  if (!Is_Slider(slider) || part > PART_RESET) return Rect{0, 0, 0, 0};
  if (part == PART_THUMB) return Offset(kPartBox[PART_THUMB], Slider_Thumb_Offset(slider, gs.slider_vals[slider]), 0);
  return kPartBox[part];
}

int16 Slider_ValueToThumb(int16 value) {
  if (!qq.active) return 0;
  const a_slider_item& s = g_sliders[qq.sliderx];
  return Interpolate_Rounded(value, s.minval, s.maxval, qq.thumb_min, qq.thumb_max);
}

int16 Slider_ThumbToValue(int16 thumbleft) {
  if (!qq.active) return 0;
  const a_slider_item& s = g_sliders[qq.sliderx];
  return Interpolate_Rounded(thumbleft, qq.thumb_min, qq.thumb_max, s.minval, s.maxval);
}

// --- State -------------------------------------------------------------------------------

a_tri_state Slider_Get_State(int16 slider) {
  if (!Is_Slider(slider)) return HIDDEN_BUTTON;
  const a_slider_item& s = g_sliders[slider];
  return s.hiproc != nullptr ? s.hiproc(0) : PLAIN_BUTTON;
}

bool8 Is_Slider_Tinyable(int16 slider) { return Is_Slider(slider) && g_sliders[slider].tiny_step != 0; }

bool8 Is_Slider_Biggable(int16 slider) { return Is_Slider(slider) && g_sliders[slider].big_step != 0; }

bool8 Is_Reset_Visible(int16 slider) {
  if (!Is_Slider(slider)) return false;
  const a_slider_item& s = g_sliders[slider];
  return Slider_Get_State(slider) != HIDDEN_BUTTON && s.show_reset && gs.slider_vals[slider] != s.defaultval;
}

void Slider_Update_Reset(int16 slider) {
  Draw_Part(slider, PART_RESET, Is_Reset_Visible(slider) ? PLAIN_BUTTON : HIDDEN_BUTTON);
}

// --- Setters -----------------------------------------------------------------------------

void Slider_SetVal(int16 slider, int16 value) {
  if (!Is_Slider(slider)) return;
  const bool8 was_visible = Is_Reset_Visible(slider);
  value = Slider_Limit_Value(slider, value);
  if (value == gs.slider_vals[slider]) return;
  gs.slider_vals[slider] = value;
  a_slider_item& s = g_sliders[slider];
  if (s.nodex != 0) {
    if (qq.active && qq.sliderx == slider) {
      const int16 left = Slider_ValueToThumb(value);
      qq.thumb.right = int16(left + (qq.thumb.right - qq.thumb.left));
      qq.thumb.left = left;
    }
    Draw_Part(slider, PART_RACK, PLAIN_BUTTON);
    if (Is_Reset_Visible(slider) != was_visible) Slider_Update_Reset(slider);
    if (qq.active && qq.sliderx == slider) Slider_Annotation_Update();
  }
  pending_op = s.history_op;
  if (s.jump_proc != nullptr) s.jump_proc();
}

void Slider_SetRel(int16 slider, int16 delta) {
  if (!Is_Slider(slider)) return;
  Slider_SetVal(slider, int16(std::clamp(int32(gs.slider_vals[slider]) + delta, -32768, 32767)));
}

void Slider_Default(int16 slider) {
  if (!Is_Slider(slider)) return;
  Slider_SetVal(slider, g_sliders[slider].defaultval);
}

void Slider_Blast(int16 slider, int16 value) {
  if (!Is_Slider(slider)) return;
  value = Slider_Limit_Value(slider, value);
  if (value == gs.slider_vals[slider]) return;
  gs.slider_vals[slider] = value;
  if (slider == COLOR_HUE_SLIDER || slider == COLOR_DIST_SLIDER) {
    Custom_Inval(CUSTOM_COLORIZE);
    return;
  }
  Draw_Part(slider, PART_RACK, PLAIN_BUTTON);
  Slider_Update_Reset(slider);
}

void Slider_Blast_Invis(int16 slider, int16 value) {
  if (!Is_Slider(slider)) return;
  gs.slider_vals[slider] = Slider_Limit_Value(slider, value);
}

// --- Drawing -----------------------------------------------------------------------------

void Draw_Part(int16 slider, a_slider_part part, a_tri_state state) {
  Rect node;
  HWND owner;
  if (part > PART_RESET || !Slider_Node(slider, node, owner)) return;
  const Rect box = Offset(part == PART_RACK || part == PART_THUMB ? kRackBand : kPartBox[part], node.left, node.top);
  if (gs.controller == GHOST2) return;
  Push_Window(owner);
  if (gs.controller == STEALTH) {
    InvalRect(box);
    Pop_Window();
    return;
  }
  // A dimmed slider shows every part dimmed.
  if (state != HIDDEN_BUTTON && Slider_Get_State(slider) == DIM_BUTTON) state = DIM_BUTTON;
  a_off_area area{};
  Off_Open(box, area);
  const bool8 off = area.gworld != nullptr;
  if (off) Off_Push(area);
  Fill_LightStripe(box);
  a_pixt* pixt = g_sliders[slider].src_pixtptr;
  if (state != HIDDEN_BUTTON) {
    if (part == PART_LABEL) {
      Draw_Label_Text(slider, box, state == DIM_BUTTON);
    } else if (pixt != nullptr && (part == PART_RACK || part == PART_THUMB)) {
      Draw_Rack(slider, *pixt, node, state);
    } else if (pixt != nullptr) {
      const a_art_slider_part art = part == PART_MINUS ? ART_PART_MINUS : part == PART_PLUS ? ART_PART_PLUS : ART_PART_RESET;
      Pixt_DrawPartial(*pixt, ART_SLIDER_PARTS[Part_Look(slider, part, state)][art], box, 0x24, nullptr);
    }
  }
  if (off) {
    Off_Pop();
    Rect whole;
    Get_GWorld_Bounds(area.gworld, whole);
    Off_UpdateRect(whole, box);
    Off_Close(area);
  }
  Pop_Window();
}

void Slider_Paint(int16 slider) {
  if (!Is_Slider(slider) || g_sliders[slider].nodex == 0) return;
  Draw_Part(slider, PART_MINUS, PLAIN_BUTTON);
  Draw_Part(slider, PART_PLUS, PLAIN_BUTTON);
  Draw_Part(slider, PART_LABEL, PLAIN_BUTTON);
  Draw_Part(slider, PART_RACK, PLAIN_BUTTON);
  if (Is_Reset_Visible(slider)) Draw_Part(slider, PART_RESET, PLAIN_BUTTON);
}

void Slider_Draw_PlusMinus(int16 slider) {
  Draw_Part(slider, PART_MINUS, PLAIN_BUTTON);
  Draw_Part(slider, PART_PLUS, PLAIN_BUTTON);
}

// --- Tracking ----------------------------------------------------------------------------

void Slider_Open(int16 slider) {
  Rect node;
  HWND owner;
  if (!Slider_Node(slider, node, owner)) return;
  qq = a_slider_track{};
  qq.active = true;
  qq.sliderx = slider;
  qq.nodex = g_sliders[slider].nodex;
  qq.owner = owner;
  qq.guard = Grown(node, 2, 2);
  const Rect rack = Offset(kPartBox[PART_RACK], node.left, node.top);
  qq.thumb_min = rack.left;
  qq.thumb_max = int16(rack.right - kThumbWidth);
  qq.thumb = Offset(kPartBox[PART_THUMB], node.left, node.top);
  const int16 left = Slider_ValueToThumb(gs.slider_vals[slider]);
  qq.thumb.left = left;
  qq.thumb.right = int16(left + kThumbWidth);
  qq.last_part = OUTSIDE;
  qq.grack = rack;
  Push_Window(owner);
  Point tl{qq.grack.top, qq.grack.left};
  LocalToGlobal(tl);
  Pop_Window();
  qq.grack = Offset(qq.grack, int16(tl.h - qq.grack.left), int16(tl.v - qq.grack.top));
  Slider_Annotation_Update();
}

void Slider_Close() {
  if (qq.active) Annot_Zap();
  qq.active = false;
}

a_slider_part Slider_Find_Part(Point pt) {
  if (!qq.active) return OUTSIDE;
  if (Contains(Grown(qq.thumb, 2, 2), pt)) return PART_THUMB;
  Rect node;
  HWND owner;
  if (!Slider_Node(qq.sliderx, node, owner)) return OUTSIDE;
  for (a_slider_part part : {PART_MINUS, PART_PLUS})
    if (Contains(Grown(Offset(kPartBox[part], node.left, node.top), 1, 1), pt)) return part;
  if (Is_Reset_Visible(qq.sliderx)) {
    Rect reset = Grown(Offset(kPartBox[PART_RESET], node.left, node.top), 2, 0);
    reset.bottom = int16(reset.bottom + 2);
    if (Contains(reset, pt)) return PART_RESET;
  }
  if (pt.v >= qq.thumb.top - 1 && pt.v < qq.thumb.bottom + 1) return pt.h >= qq.thumb.right ? PART_PLUSBAR : PART_MINUSBAR;
  return OUTSIDE;
}

void Slider_Track(bool8 enterf, bool8 leavef, const a_mousestroke& stroke, int16 slider) {
  if (leavef) {
    Slider_Close();
    return;
  }
  if (!Is_Slider(slider)) return;
  if (enterf || !qq.active || qq.sliderx != slider) Slider_Open(slider);
  if (!qq.active) return;
  const a_slider_part part = Slider_Find_Part(stroke.lmouse);
  if (stroke.button1) {
    Slider_MouseDown(stroke, part);
    qq.last_hit = uint32(stroke.when);
    qq.last_part = part;
  }
}

void Slider_MouseDown(const a_mousestroke& stroke, a_slider_part part) {
  if (!qq.active) return;
  const bool8 big = (stroke.mods & Keymod_Bit(SHIFTKEY)) != 0;
  const bool8 tiny = (stroke.mods & Keymod_Bit(OPTIONKEY)) != 0;
  switch (part) {
    case OUTSIDE: Sound_Effect(SND_NULL); break;
    case PART_RESET: Do_Reset(); break;
    case PART_THUMB: Track_Thumb(stroke); break;
    case PART_MINUS:
    case PART_MINUSBAR: Do_PlusMinus(qq.sliderx, PART_MINUS, big, tiny); break;
    case PART_PLUS:
    case PART_PLUSBAR: Do_PlusMinus(qq.sliderx, PART_PLUS, big, tiny); break;
    default: break;
  }
  SV_Finish();
}

void Do_PlusMinus(int16 slider, a_slider_part part, bool8 big, bool8 tiny) {
  if (!Is_Slider(slider) || (part != PART_MINUS && part != PART_PLUS)) return;
  const a_slider_item& s = g_sliders[slider];
  big = big && s.big_step != 0;
  tiny = tiny && s.tiny_step != 0;
  const uint32 deadline = TickCount() + 3;
  Draw_Part(slider, part, HILITE_BUTTON);
  const bool8 up = part == PART_PLUS;
  const int16 value = gs.slider_vals[slider];
  int32 delta;
  if (s.incproc != nullptr) {
    delta = s.incproc(up, big);
  } else {
    const int32 step = big ? s.big_step : tiny ? s.tiny_step : s.normal_step;
    if (step <= 0) {
      delta = 0;
    } else {
      const int32 r = std::abs(int32(value)) % step;
      if (up) delta = value > 0 || r == 0 ? step - r : r;
      else delta = value < 0 || r == 0 ? step - r : r;
    }
  }
  if (!up) delta = -delta;
  const int16 now = Slider_Limit_Value(slider, int16(std::clamp(int32(value) + delta, -32768, 32767)));
  if (now == value) {
    Sound_Effect(SND_NULL);
  } else {
    Click_Sound();
    Slider_SetVal(slider, now);
  }
  while (TickCount() < deadline) Host_Sleep_Millis(1);
  Draw_Part(slider, part, PLAIN_BUTTON);
}

void Track_Thumb(const a_mousestroke& stroke) {
  if (!qq.active) return;
  const int16 slider = qq.sliderx;
  a_slider_item& s = g_sliders[slider];
  Click_Sound();
  const int16 start = gs.slider_vals[slider];
  if (!StillDown()) return;
  const int16 grab = int16(qq.thumb.left - stroke.lmouse.h);
  Draw_Part(slider, PART_RACK, HILITE_BUTTON);
  if (s.thumb_init != nullptr) s.thumb_init();
  TrackMouse_Init(qq.owner);
  t.status_tracking = true;
  Point mouse = stroke.lmouse;
  while (TrackMouse_StillDown(mouse)) Track_Thumb_Step(int16(std::clamp(int32(mouse.h) + grab, -32768, 32767)));
  // The thumb ends where the button was released.
  Track_Thumb_Step(int16(std::clamp(int32(mouse.h) + grab, -32768, 32767)));
  TrackMouse_Stop();
  t.status_tracking = false;
  const int16 final = gs.slider_vals[slider];
  // The thumb rests where the value puts it.
  qq.thumb.left = Slider_ValueToThumb(final);
  qq.thumb.right = int16(qq.thumb.left + kThumbWidth);
  if (s.thumb_trak == nullptr) {
    if (final != start) {
      // The slider's procedure and history operation run once, for the
      // final value.
      gs.slider_vals[slider] = start;
      Slider_SetVal(slider, final);
    } else {
      Draw_Part(slider, PART_RACK, PLAIN_BUTTON);
    }
    return;
  }
  Draw_Part(slider, PART_RACK, PLAIN_BUTTON);
  Slider_Update_Reset(slider);
  // A live drag that changed the value is undone as one step.
  if (final != start) pending_op = s.history_op;
  if (s.thumb_stop != nullptr) s.thumb_stop();
}

bool8 Track_Thumb_Step(int16 left) {
  if (!qq.active) return false;
  const int16 slider = qq.sliderx;
  left = int16(std::clamp(left, qq.thumb_min, qq.thumb_max));
  qq.thumb.right = int16(left + kThumbWidth);
  qq.thumb.left = left;
  const int16 value = Slider_ThumbToValue(left);
  if (value == gs.slider_vals[slider]) return false;
  gs.slider_vals[slider] = value;
  Click_Sound();
  Draw_Part(slider, PART_RACK, HILITE_BUTTON);
  if (g_sliders[slider].thumb_trak != nullptr) {
    g_sliders[slider].thumb_trak();
    // A live slider shows its effect on the label while it is dragged, not
    // only when the interaction ends.
    if (g_doc.doc_open && gs.curr_phase >= PAINT_PHASE && gs.curr_phase <= TEXT_PHASE) Current_Unit_UpToDate();
  }
  Slider_Annotation_Update();
  return true;
}

void Do_Reset() {
  if (!qq.active) return;
  const int16 slider = qq.sliderx;
  Click_Sound();
  if (gs.slider_vals[slider] == g_sliders[slider].defaultval) return;
  Draw_Part(slider, PART_RESET, HILITE_BUTTON);
  Slider_Default(slider);
  Slider_Annotation_Update();
}

void Slider_Via_Keyboard(int16 slider, bool8 shift, bool8 ctrl, bool8 upwards) {
  if (!Is_Slider(slider) || g_sliders[slider].nodex == 0) {
    Sound_Effect(SND_NULL);
    return;
  }
  Do_PlusMinus(slider, upwards ? PART_PLUS : PART_MINUS, shift, ctrl);
}

void Slider_Annotation_Update() {
  if (!qq.active) return;
  Point size;
  Echo_Calc_Size(qq.sliderx, size);
  a_annot_spec spec{};
  spec.kind = size.h == 0 ? ANNOT_SLIDER : ANNOT_ECHO;
  spec.just = JUST_RIGHT;
  spec.ix = qq.sliderx;
  spec.subx = gs.slider_vals[qq.sliderx];
  spec.gref = qq.grack;
  Annot_Set_Targ(spec);
}
