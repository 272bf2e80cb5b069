#include "ui/VoskStat.h"

#include <cstring>

#include "platform/VoskDef.h"
#include "platform/Controls.h"
#include "platform/LangUtil.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysInfo.h"
#include "platform/SysUnicode.h"
#include "platform/SysWin.h"
#include "platform/VoskErr.h"
#include "platform/Windowv.h"
#include "platform/UString.h"
#include "doc/VoskDoc.h"
#include "ui/VoskDelt.h"

namespace {

constexpr int16 kMediaNameList = 200;   // dialog strings
constexpr int16 kFirstMediaName = 399;  // "Hub printable", "Standard", "Custom"

// Adjustments 1..3 of the media entries, tenths of a millimetre, per
// direct-print kind and entry.
constexpr int16 kMediaAdj[NDIRECT_PRINT_KINDS][NMEDIA_SPECS][3] = {
    {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},                // NOT_DIRECT
    {{180, 1180, 0}, {410, 1180, 0}, {450, 1180, 0}},  // CD_DIRECT
    {{180, 780, 0}, {220, 780, 0}, {240, 780, 0}},     // MINICD_DIRECT
    {{180, 780, 590}, {180, 790, 560}, {180, 790, 620}},  // HOCKEY_DIRECT
    {{180, 850, 590}, {180, 840, 590}, {180, 850, 590}},  // RECT_DIRECT
};

constexpr a_pixel24 kUserColors[NUSER_COLORS] = {
    {255, 0, 0},     {255, 155, 194}, {0, 0, 255},     {155, 196, 254},
    {116, 77, 113},  {213, 174, 180}, {127, 213, 196},
};

a_win_pixel32 Win_Pixel(uint8 r, uint8 g, uint8 b) {
  a_win_pixel32 p{};
  p.r = r;
  p.g = g;
  p.b = b;
  p.a = 0;
  return p;
}

// Entry i (0..2) of the media names in the given language, as UTF-16,
// at most 63 units. An entry missing from the language's list is taken from
// the English base list.
void Media_Name(int16 language, int16 i, uStr63& name) {
  Str255 text;
  GetIndString(text, int16(kMediaNameList + language), int16(kFirstMediaName + i));
  if (text[0] == 0) GetIndString(text, kMediaNameList, int16(kFirstMediaName + i));
  UTF8_To_UTF16(text, name);
}

}  // namespace

void Init_Media_Names(a_print_media_array& array, int16 old_language, bool8 force) {
  array.listx = 0;
  for (int16 i = 0; i < NMEDIA_SPECS; ++i) {
    uStr63 name;
    Media_Name(gs.pref.language_offset, i, name);
    a_print_media_spec& spec = array.list[i];
    if (force) {
      uStrCopy(name, spec.label);
    } else {
      uStr63 old_name;
      Media_Name(old_language, i, old_name);
      if (uCompare(spec.label, old_name) == 0) uStrCopy(name, spec.label);
    }
  }
}

void Fix_Direct_Print_Media_Names(a_print_media_array (&media)[NDIRECT_PRINT_KINDS],
                                  int16 old_language, bool8 force) {
  for (a_print_media_array& array : media) {
    Init_Media_Names(array, old_language, force);
    for (a_print_media_spec& spec : array.list) {
      spec.adj[3] = 5;  // density
      spec.adj[4] = 3;  // quality
    }
  }
}

void Prefs_SetToDefault() {
  a_pref_rec& p = gs.pref;
  std::memset(static_cast<void*>(&p), 0, sizeof p);
  p.version = PREF_VERSION;
  p.language_offset = os_language;

  Fix_Direct_Print_Media_Names(p.print_media, 0, true);
  for (int16 k = 0; k < NDIRECT_PRINT_KINDS; ++k)
    for (int16 i = 0; i < NMEDIA_SPECS; ++i)
      for (int16 a = 0; a < 3; ++a) p.print_media[k].list[i].adj[a] = kMediaAdj[k][i][a];

  p.tot_window = Rect{0, 0, 0, 0};
  p.sound_option = true;
  p.sound2_option = false;
  p.scroll_option = true;
  p.echo_option = false;
  p.history_option = false;
  p.status_option = false;
  p.cutlines_option = true;
  p.showframes_option = true;
  p.tinycurs_option = false;
  p.exportb_option = false;
  p.embed_option = true;
  p.ruler_option = false;
  p.print_autopos = false;
  p.last_agex = 0;

  p.base_font[0] = 0;
  p.base_fontx = 0;  // the base selection font, once the font list is in place
  p.addon_folder[0] = 0;

  for (int16 i = 0; i < NUSER_COLORS; ++i) p.colors[i] = kUserColors[i];
  p.ruler_color = Win_Pixel(0, 0, 0);
  p.gridlines_color = Win_Pixel(30, 30, 220);
  p.cutlines_color = Win_Pixel(255, 0, 0);
  p.gridlines_dash = GRIDLINES_DASH_DEFAULT;
}

void Prefs_Fixup_Read() {
  int16 lang = gs.pref.language_offset;
  if (lang < 0 || lang >= NLANGUAGES || (app_capability & Lang_Bit(lang)) == 0)
    gs.pref.language_offset = ENGLISH;
  // The base fonts for the language and base_fontx from the stored base_font
  // name follow here once the font list is in place.
}

void Prefs_Fixup_Write() {
  gs.pref.last_agex = gs.grid_vals[PROJ_AGE_GRID];
  // base_font from base_fontx follows here once the font list is in place.
}

// --- The static interface state and the main window ------------------------------------

namespace {

a_win_info_rec g_main_info{nullptr, Main_Window_Update, MAIN_KIND, {u'M', u'A', u'I', u'N', 0}};

// Height of the tool-bar strip across the top of the main window.
constexpr int16 kBarHeight = 48;

RGBColor RGB16(uint8 r, uint8 g, uint8 b) {
  return RGBColor{uint16(r * 257), uint16(g * 257), uint16(b * 257)};
}

}  // namespace

void Main_Window_Update(HostWindow* /*window*/) {
  Rect bounds;
  GetPortBounds(bounds);
  // The work area, then the strip the tool bar will stand in.
  RGBForeColor(RGB16(226, 232, 240));
  PaintRect(bounds);
  Rect bar = bounds;
  bar.bottom = int16(bounds.top + kBarHeight);
  RGBForeColor(gs.tool_show ? RGB16(52, 84, 122) : RGB16(96, 104, 112));
  PaintRect(bar);
  Str255 name;
  Get_Translated_String(name, STRLIST_PROGRAM, PROG_LONG_NAME);
  RGBForeColor(RGB16(255, 255, 255));
  MoveTo(int16(bounds.left + 16), int16(bounds.top + 30));
  DrawString(name);
  ForeColor(1);
}

void Init_ListBox_Desc(a_listbox_desc& desc) {
  if (desc.scrollbar != nullptr) DisposeControl(desc.scrollbar);
  std::memset(static_cast<void*>(&desc), 0, sizeof desc);
  Null_FontSpec(desc.font);
  desc.font.fontID = BASE_PROP_FONT;
  desc.font.size = 14;
  desc.font.effects = Effect_Bit(EFFECT_BOLD);
  desc.border = 1;
  desc.hix = 1;
  desc.scrollbar_h = info_sbarheight;
  desc.lo_back_color = a_pixel24{255, 255, 255};
  desc.lo_fore_color = a_pixel24{0, 0, 0};
  desc.hi_back_color = a_pixel24{164, 209, 255};
  desc.hi_fore_color = a_pixel24{0, 0, 0};
  desc.sp_back_color = a_pixel24{30, 60, 30};
  if (gs.outer_window == nullptr) return;
  desc.scrollbar = NewControl(gs.outer_window, Rect{0, 0, 100, 20}, CStrSpan(""), false, 0, 0, 100, 16, 0);
  if (desc.scrollbar == nullptr) return;
  SetControlMinMax(desc.scrollbar, 0, 100, 0);
  SetControlValue(desc.scrollbar, 0);
}

void Static_Init() {
  gs.menu_base = 132;
  gs.tool_show = true;
  gs.curr_phase = NODOC_PHASE;
  gs.views[0].zoom_factor = ZoomxToFactor[0];
  gs.views[1].zoom_factor = ZoomxToFactor[1];
  gs.nviews = 0;
  Str255 title;
  Get_Translated_String(title, STRLIST_PROGRAM, PROG_LONG_NAME);
  // The main window has no frame of ours: its interior is its rectangle.
  gs.outer_window = New_Window(gs.pref.tot_window, title, true, 8, nullptr, nullptr, &g_main_info);
  Init_ListBox_Desc(gs.paper_kind_desc);
  Init_ListBox_Desc(gs.paper_list_desc);
}

void Static_Stop() {
  DisposeControl(gs.paper_kind_desc.scrollbar);
  DisposeControl(gs.paper_list_desc.scrollbar);
  if (gs.outer_window != nullptr) CloseWindow(gs.outer_window);
  gs.outer_window = nullptr;
}

void VoskStat_Init() {
  g_prefs_default_proc = Prefs_SetToDefault;
  g_prefs_fixup_read_proc = Prefs_Fixup_Read;
  g_prefs_fixup_write_proc = Prefs_Fixup_Write;
}

// --- Each new or opened document ------------------------------------------------

void Init_SP1() {
  gs.fill_kind = ERASER_FILL;
  gs.fill_color32 = a_pixel32{};
  gs.fill_colorx = 0;
  SV_Set_Bool(SV_DOC_OPEN, true);
  // One view while a document is open (view 1, the editing view).
  gs.nviews = 1;
  Select_Doc_Unit(1);
}

void Init_SP2() {}

void Stop_SP() {}
