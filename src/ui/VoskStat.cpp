#include "ui/VoskStat.h"

#include <cstring>

#include "doc/VoskDef.h"
#include "platform/LangUtil.h"
#include "platform/Resources.h"
#include "platform/SysUnicode.h"
#include "platform/UString.h"

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
