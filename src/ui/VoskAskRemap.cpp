#include "ui/VoskAskRemap.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "doc/VoskPrin.h"
#include "doc/VoskTmpl.h"
#include "pixel/ArtKeys.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/TextUtil.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysDlog.h"
#include "platform/SysInfo.h"
#include "platform/SysLoop.h"
#include "platform/SysSound.h"
#include "platform/SysWin.h"
#include "platform/VoskErr.h"
#include "platform/VoskPref.h"
#include "ui/VoskBrow.h"
#include "ui/VoskCurs.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskMenu.h"

namespace {

constexpr uint32 Bit(uint32 b) { return uint32(1) << b; }

uint32 Unit_Count(const a_template& t) { return std::min<uint32>(t.nunits, MAXNUNITS); }

// Whether the layout makes unit ux a clone of the unit before it, as a new
// document's units are made: the same kind and the same canvas.
bool Layout_Clones(const a_template& t, uint32 ux) {
  if (ux < 2 || ux > Unit_Count(t)) return false;
  const a_unit& prev = t.units[ux - 2];
  const a_unit& unit = t.units[ux - 1];
  if (prev.kind != unit.kind) return false;
  Rect a, b;
  Calc_Unit_Bounds(prev, a);
  Calc_Unit_Bounds(unit, b);
  return a == b;
}

// A unit following the design src_ux of the unit before it: its clone where
// the layout allows one, else a copy of its own.
a_unit_mapping Follow(const a_template& t, uint32 ux, uint32 src_ux) {
  a_unit_mapping m{};
  m.mapkind = Layout_Clones(t, ux) ? UMP_CLONE : UMP_COPY;
  m.src_ux = src_ux;
  return m;
}

a_unit_mapping Copy_Of(uint32 src_ux) {
  a_unit_mapping m{};
  m.mapkind = UMP_COPY;
  m.src_ux = src_ux;
  return m;
}

}  // namespace

// --- The mapping -----------------------------------------------------------------------

void Calc_Template_Mapping(const a_template& new_tmpl, a_template_mapping& map, uint32& nsig, a_sig_list& sig,
                           bool8& all_exact) {
  map = a_template_mapping{};
  nsig = 0;
  const a_template& old = g_doc.doc_template;
  const uint32 old_n = Unit_Count(old);
  for (uint32 ux = 1; ux <= old_n && nsig < MAXNSIGS; ++ux) {
    const a_doc_unit* unit = Doc_Unit(ux);
    if (unit == nullptr || unit->clonef || Is_Unit_Empty(ux)) continue;
    sig.sig[nsig++] = a_sig_source{ux, false};
  }
  all_exact = true;
  const uint32 n = Unit_Count(new_tmpl);
  for (uint32 ux = 1; ux <= n; ++ux) {
    const uint8 kind = new_tmpl.units[ux - 1].kind;
    a_unit_mapping& m = map.map[ux - 1];
    bool taken = false;
    for (uint32 k = 0; k < nsig && !taken; ++k) {
      a_sig_source& s = sig.sig[k];
      if (s.used || old.units[s.src_ux - 1].kind != kind) continue;
      s.used = true;
      m = Copy_Of(s.src_ux);
      taken = true;
    }
    if (taken) continue;
    // The nearest copy before this unit, over its clones.
    uint32 px = ux - 1;
    while (px >= 1 && map.map[px - 1].mapkind == UMP_CLONE) --px;
    if (px >= 1 && map.map[px - 1].mapkind == UMP_COPY && new_tmpl.units[px - 1].kind == kind) {
      m = Follow(new_tmpl, ux, map.map[px - 1].src_ux);
      continue;
    }
    m = a_unit_mapping{};
    if ((new_tmpl.units[ux - 1].uflags & Bit(UNIT_NOTINDEXED)) == 0) all_exact = false;
  }
  for (uint32 k = 0; k < nsig; ++k)
    if (!sig.sig[k].used) all_exact = false;
  // With no design at all there is nothing to lose.
  if (nsig == 0) all_exact = true;
}

int16 Remap_Preset(const a_template_mapping& map, uint32 ux, uint32 nsig, const a_sig_list& sig) {
  if (ux < 1 || ux > MAXNUNITS) return 1;
  const a_unit_mapping& m = map.map[ux - 1];
  if (m.mapkind != UMP_COPY && m.mapkind != UMP_CLONE) return 1;
  for (uint32 k = 0; k < nsig && k < MAXNSIGS; ++k)
    if (sig.sig[k].src_ux == m.src_ux) return int16(k + 2);
  return 1;
}

void Remap_From_Dialog(const a_template& new_tmpl, const int16* choice, uint32 nsig, const a_sig_list& sig,
                       a_template_mapping& map) {
  map = a_template_mapping{};
  const uint32 n = Unit_Count(new_tmpl);
  nsig = std::min(nsig, MAXNSIGS);
  auto design = [&](uint32 ux) -> uint32 {
    const int32 c = choice[ux - 1];
    return c >= 2 && uint32(c - 2) < nsig ? sig.sig[c - 2].src_ux : 0;
  };
  for (uint32 ux = 1; ux <= n; ++ux) {
    const uint32 src = design(ux);
    if (src == 0) continue;
    // The row before chose the same design: this unit follows it, whether
    // that row became a clone or took a copy.
    if (ux > 1 && design(ux - 1) == src && new_tmpl.units[ux - 1].kind == new_tmpl.units[ux - 2].kind)
      map.map[ux - 1] = Follow(new_tmpl, ux, src);
    else
      map.map[ux - 1] = Copy_Of(src);
  }
}

// --- The remapping window ------------------------------------------------------------------

namespace {

constexpr int16 kRowH = 24;
constexpr int16 kMargin = 16;
constexpr int16 kStripe = 6;
constexpr int16 kWindowW = 720;  // narrower on a small screen, down to kMinWindowW
constexpr int16 kMinWindowW = 420;
constexpr int16 kPreviewH = 210;
constexpr int16 kPopUpW = 110;
constexpr int16 kScrollW = 48;
constexpr int16 kBottomBand = 52;
constexpr int16 kMaxShownRows = 12;
constexpr int16 kPopUpBase = 100;  // pop-up ids: kPopUpBase + the row shown
constexpr int16 kStrOK = 8;
constexpr int16 kStrCancel = 105;
constexpr int16 kStrEmpty = 260;
constexpr a_pixel24 kRowColors[2] = {{255, 220, 220}, {220, 220, 255}};
constexpr a_pixel24 kArrowColor{100, 100, 200};
constexpr a_pixel24 kFrameColor{255, 100, 100};
constexpr a_pixel24 kStripeColor{255, 236, 236};

struct a_remap_window {
  const a_template* new_tmpl;
  const a_sig_list* sig;
  uint32 nsig;
  uint32 nrows;
  int16 shown;   // rows shown at once
  int16 first;   // the first row shown, from 0
  std::array<int16, MAXNUNITS> choice;
  std::array<HWND, kMaxShownRows> popups;
  Rect bb_window, bb_old, bb_new, bb_table, bb_up, bb_down, bb_ok, bb_cancel;
  a_template_mapping result;
};
a_remap_window g_remap;

void Layout_Window(a_remap_window& w) {
  const int32 screen_h = int32(info_videobounds.bottom) - info_videobounds.top;
  const int32 room = screen_h * 85 / 100 - (kMargin + kPreviewH + kMargin + kBottomBand);
  const int32 fit = std::max<int32>(1, room / kRowH);
  w.shown = int16(std::min<int32>({int32(w.nrows), fit, kMaxShownRows}));
  if (w.shown < 1) w.shown = 1;
  const int32 screen_w = int32(info_videobounds.right) - info_videobounds.left;
  const int16 width = int16(std::clamp<int32>(screen_w * 98 / 100, kMinWindowW, kWindowW));
  const int16 half = int16((width - 3 * kMargin) / 2);
  w.bb_old = Rect{kMargin, kMargin, int16(kMargin + kPreviewH), int16(kMargin + half)};
  w.bb_new = Rect{kMargin, int16(2 * kMargin + half), int16(kMargin + kPreviewH), int16(width - kMargin)};
  const int16 top = int16(w.bb_old.bottom + kMargin);
  const bool scrolls = uint32(w.shown) < w.nrows;
  const int16 right = int16(width - kMargin - (scrolls ? kScrollW + 8 : 0));
  w.bb_table = Rect{top, kMargin, int16(top + w.shown * kRowH), right};
  if (scrolls) {
    w.bb_up = Rect{top, int16(right + 8), int16(top + ART_FACE_HEIGHT), int16(right + 8 + kScrollW)};
    w.bb_down = Rect{int16(w.bb_table.bottom - ART_FACE_HEIGHT), int16(right + 8), w.bb_table.bottom,
                     int16(right + 8 + kScrollW)};
  } else {
    w.bb_up = w.bb_down = Rect{0, 0, 0, 0};
  }
  const int16 height = int16(w.bb_table.bottom + kBottomBand);
  w.bb_window = Rect{0, 0, height, width};
  const int16 bt = int16(height - kBottomBand + (kBottomBand - ART_FACE_HEIGHT) / 2);
  const int16 face_w = int16(ART_FACE_TEXT.right - ART_FACE_TEXT.left);
  w.bb_ok = Rect{bt, int16(width - kMargin - face_w), int16(bt + ART_FACE_HEIGHT), int16(width - kMargin)};
  w.bb_cancel = Rect{bt, int16(w.bb_ok.left - 12 - face_w), int16(bt + ART_FACE_HEIGHT), int16(w.bb_ok.left - 12)};
}

// The pop-up's box on shown row r.
Rect PopUp_Box(const a_remap_window& w, int16 r) {
  const int16 top = int16(w.bb_table.top + r * kRowH + 1);
  return Rect{top, int16(w.bb_table.left + 8), int16(top + kRowH - 2), int16(w.bb_table.left + 8 + kPopUpW)};
}

// The choices of the rows shown are kept before the rows move or the
// window closes.
void Read_PopUps(a_remap_window& w) {
  for (int16 r = 0; r < w.shown; ++r) {
    const uint32 row = uint32(w.first + r);
    if (w.popups[size_t(r)] != nullptr && row < w.nrows) w.choice[row] = GetPopUp(w.popups[size_t(r)]);
  }
}
void Show_PopUps(a_remap_window& w) {
  for (int16 r = 0; r < w.shown; ++r) {
    const uint32 row = uint32(w.first + r);
    if (w.popups[size_t(r)] != nullptr && row < w.nrows) SetPopUp(w.popups[size_t(r)], w.choice[row]);
  }
}

void Draw_Text(const char* s, const Rect& box) {
  SetFont(gs.font_12pt);
  SetForeColor(0, 0, 0);
  DrawStringCentered(CStrSpan(s, std::strlen(s)), box);
}

// The fat arrow from the pop-up to the unit's letter.
void Draw_Arrow(const Rect& r) {
  SetForeColor24(kArrowColor);
  const int16 mid = int16((r.top + r.bottom) / 2);
  const int16 head = int16(r.right - 10);
  PaintRect(Rect{int16(mid - 3), r.left, int16(mid + 4), head});
  for (int16 i = 0; i <= 8; ++i) {
    MoveTo(int16(head + i), int16(mid - 8 + i));
    LineTo(int16(head + i), int16(mid + 8 - i));
  }
}

void Remap_Draw(const a_remap_window& w) {
  // The stripe along the edge, the inside grey.
  SetForeColor24(kStripeColor);
  Rect stripe = w.bb_window;
  PaintRect(stripe);
  InsetRect(stripe, kStripe, kStripe);
  SetForeColor(240, 240, 240);
  PaintRect(stripe);
  SetForeColor24(kFrameColor);
  PenSize(2, 2);
  FrameRect(w.bb_window);
  PenNormal();
  // The old layout and the new, as the paper browser draws them.
  PaperEcho_Paint3(g_doc.doc_template, w.bb_old);
  PaperEcho_Paint3(*w.new_tmpl, w.bb_new);
  for (int16 r = 0; r < w.shown; ++r) {
    const uint32 row = uint32(w.first + r);
    if (row >= w.nrows) break;
    const Rect line{int16(w.bb_table.top + r * kRowH), w.bb_table.left, int16(w.bb_table.top + (r + 1) * kRowH),
                    w.bb_table.right};
    SetForeColor24(kRowColors[row % 2]);
    PaintRect(line);
    const int16 x = int16(line.left + 8 + kPopUpW + 12);
    Draw_Arrow(Rect{line.top, x, line.bottom, int16(x + 60)});
    char letter[16] = {};
    Calc_Letter_String(int16(row + 1), StrSpan(letter));
    Draw_Text(letter, Rect{line.top, int16(x + 70), line.bottom, int16(x + 110)});
  }
  if (!EmptyRect(w.bb_up)) {
    Draw_Button_Face(ART_FACE_PREV, w.bb_up, CStrSpan(""));
    Draw_Button_Face(ART_FACE_NEXT, w.bb_down, CStrSpan(""));
  }
  char ok[256] = {}, cancel[256] = {};
  Get_DLOG_String(StrSpan(ok), kStrOK);
  Get_DLOG_String(StrSpan(cancel), kStrCancel);
  Draw_Button_Face(ART_FACE_DEFAULT, w.bb_ok, CStrSpan(ok, std::strlen(ok)));
  Draw_Button_Face(ART_FACE_TEXT, w.bb_cancel, CStrSpan(cancel, std::strlen(cancel)));
}

void Remap_Paint(HWND window) {
  const a_remap_window& w = g_remap;
  Modal_Paint_Offscreen(window, w.bb_window, [&w] { Remap_Draw(w); });
}

void Remap_Init(HWND window) {
  a_remap_window& w = g_remap;
  char empty[256] = {};
  Get_DLOG_String(StrSpan(empty), kStrEmpty);
  for (int16 r = 0; r < w.shown; ++r) {
    HWND p = Create_PopUp(window, int16(kPopUpBase + r), PopUp_Box(w, r));
    w.popups[size_t(r)] = p;
    if (p == nullptr) continue;
    Append_PopUp(p, CStrSpan(empty, std::strlen(empty)));
    for (uint32 k = 0; k < w.nsig; ++k) {
      char number[16];
      std::snprintf(number, sizeof number, "%u", unsigned(w.sig->sig[k].src_ux));
      Append_PopUp(p, CStrSpan(number, std::strlen(number)));
    }
  }
  Show_PopUps(w);
}

// The popups go with their window.
void Remap_Stop(HWND) { g_remap.popups.fill(nullptr); }

void Remap_Scroll(HWND window, int32 delta) {
  a_remap_window& w = g_remap;
  const int32 last = int32(w.nrows) - w.shown;
  const int32 first = std::clamp<int32>(w.first + delta, 0, std::max<int32>(0, last));
  if (first == w.first) {
    Sound_Effect(SND_NULL);
    return;
  }
  Read_PopUps(w);
  w.first = int16(first);
  Show_PopUps(w);
  Remap_Paint(window);
}

bool8 Remap_Close(bool8 confirmed, bool8& okay) {
  a_remap_window& w = g_remap;
  Sound_Effect(SND_SUBTOOL_ONESHOT);
  if (confirmed) {
    Read_PopUps(w);
    Remap_From_Dialog(*w.new_tmpl, w.choice.data(), w.nsig, *w.sig, w.result);
  }
  okay = confirmed;
  return true;
}

bool8 Remap_Event(HWND window, const EventRecord& e, bool8& okay) {
  a_remap_window& w = g_remap;
  switch (e.what) {
    case updateEvt: Remap_Paint(window); return false;
    case nullEvent: {
      const Point p = Modal_Point(window, e);
      Cursor_Set_Shape(PtInRect(p, w.bb_old) || PtInRect(p, w.bb_new) ? FINGER_CURSOR : ARROW_CURSOR);
      return false;
    }
    case mouseDown: {
      const Point p = Modal_Point(window, e);
      if (PtInRect(p, w.bb_ok)) return Remap_Close(true, okay);
      if (PtInRect(p, w.bb_cancel)) return Remap_Close(false, okay);
      if (PtInRect(p, w.bb_up))
        Remap_Scroll(window, -w.shown);
      else if (PtInRect(p, w.bb_down))
        Remap_Scroll(window, w.shown);
      return false;
    }
    case keyDown: {
      const a_modal_key key = Modal_Key(e);
      const uint8 code = Event_KeyCode(e);
      if (key == MODAL_KEY_ESCAPE) return Remap_Close(false, okay);
      if (key == MODAL_KEY_RETURN || code == VIRT_KEYPAD_ENTER) return Remap_Close(true, okay);
      if (code == VK_UP)
        Remap_Scroll(window, -1);
      else if (code == VK_DOWN)
        Remap_Scroll(window, 1);
      else if (code == VK_PRIOR)
        Remap_Scroll(window, -w.shown);
      else if (code == VK_NEXT)
        Remap_Scroll(window, w.shown);
      else
        Sound_Effect(SND_NULL);
      return false;
    }
    default: return false;
  }
}

}  // namespace

bool8 Ask_Complex_Remap(const a_template& new_tmpl, a_template_mapping& map, uint32 nsig, const a_sig_list& sig) {
  a_remap_window& w = g_remap;
  w = a_remap_window{};
  w.new_tmpl = &new_tmpl;
  w.sig = &sig;
  w.nsig = std::min(nsig, MAXNSIGS);
  w.nrows = Unit_Count(new_tmpl);
  for (uint32 ux = 1; ux <= w.nrows; ++ux) w.choice[ux - 1] = Remap_Preset(map, ux, w.nsig, sig);
  Layout_Window(w);
  const bool8 okay =
      Modal_WindowM(ENABLE_NONE, w.bb_window.right, w.bb_window.bottom, Remap_Init, Remap_Stop, Remap_Event);
  Cursor_Arrow();
  if (okay) map = w.result;
  return okay;
}

// --- The media name --------------------------------------------------------------------

namespace {

constexpr int16 kDlogMediaName = 1214;
constexpr int16 kMediaOK = 1, kMediaCancel = 2, kMediaLabel = 3, kMediaField = 4;
constexpr int16 kStrMediaName = 237;
constexpr int32 kMediaNameMax = 63;

uStr63 g_media_name;
bool8 g_media_ok = false;

bool Field_Empty(HWND dialog) {
  UniChar text[kMediaNameMax + 3] = {};
  GetDialogUText(dialog, kMediaField, UStrSpan(text));
  return text[0] == 0;
}

void Media_Init(HWND dialog) {
  Fix_DLOG_String(dialog, kMediaOK, kStrOK);
  Fix_DLOG_String(dialog, kMediaCancel, kStrCancel);
  Fix_DLOG_String(dialog, kMediaLabel, kStrMediaName);
  SetDialogFont(dialog, kMediaField, gs.font_24pt_E);
  SendDlgItemMessage(dialog, kMediaField, EM_LIMITTEXT, kMediaNameMax, 0);
  SetDialogUText(dialog, kMediaField, CUStrSpan(g_media_name));
  SendDlgItemMessage(dialog, kMediaField, EM_SETSEL, 0, -1);
  SetFocus(GetDlgItem(dialog, kMediaField));
  SetDialogCtlActive(dialog, kMediaOK, !Field_Empty(dialog));
}

void Media_Cmd(HWND dialog, int16 item) {
  switch (item) {
    case kMediaOK: {
      if (Field_Empty(dialog)) {
        Sound_Effect(SND_NULL);
        return;
      }
      UniChar text[kMediaNameMax + 3] = {};
      GetDialogUText(dialog, kMediaField, UStrSpan(text));
      std::memset(g_media_name, 0, sizeof g_media_name);
      for (int32 i = 0; i < kMediaNameMax && text[i] != 0; ++i) g_media_name[i] = text[i];
      g_media_ok = true;
      Modal_Exit(dialog, kMediaOK);
      return;
    }
    case kMediaCancel: Modal_Exit(dialog, kMediaCancel); return;
    case kMediaField: SetDialogCtlActive(dialog, kMediaOK, !Field_Empty(dialog)); return;
    default: return;
  }
}

bool8 Media_Filter(HWND dialog, EventRecord& e, int16& item) {
  item = 0;
  if (e.what != keyDown) return false;
  const a_modal_key key = Modal_Key(e);
  if (key == MODAL_KEY_ESCAPE) {
    item = kMediaCancel;
    return true;
  }
  if (key == MODAL_KEY_RETURN || Event_KeyCode(e) == VIRT_KEYPAD_ENTER) {
    if (Field_Empty(dialog)) {
      Sound_Effect(SND_NULL);
      return true;  // answered with no item: nothing more happens
    }
    item = kMediaOK;
    return true;
  }
  return false;
}

}  // namespace

bool8 Ask_Media_Name(uStr63& name) {
  std::memcpy(g_media_name, name, sizeof g_media_name);
  g_media_name[kMediaNameMax] = 0;
  g_media_ok = false;
  const int16 hit = Modal_Dialog(kDlogMediaName, 0, kMediaOK, Media_Init, Media_Cmd, Media_Filter);
  if (hit != kMediaOK || !g_media_ok) return false;
  std::memcpy(name, g_media_name, sizeof g_media_name);
  return true;
}

void Edit_Media_Name() {
  a_print_media_spec specs;
  Get_Media_Specs(specs);
  uStr63 name;
  std::memcpy(name, specs.label, sizeof name);
  name[kMediaNameMax] = 0;
  if (!Ask_Media_Name(name)) return;
  std::memcpy(specs.label, name, sizeof name);
  Set_Media_Specs(specs);
  Grid_Inval(PRINT_MEDIA_GRID);
}
