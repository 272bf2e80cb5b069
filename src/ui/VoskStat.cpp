#include "ui/VoskStat.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <iterator>

#include "host/HostByteOrder.h"
#include "objects/VoskAtom.h"
#include "objects/VoskBrus.h"
#include "objects/VoskEdit.h"
#include "pixel/ArtKeys.h"
#include "pixel/Draw.h"
#include "pixel/Fast.h"
#include "pixel/SysPixt.h"
#include "platform/VoskDef.h"
#include "platform/Controls.h"
#include "platform/LangUtil.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysErr.h"
#include "platform/SysInfo.h"
#include "platform/SysScrap.h"
#include "platform/SysUnicode.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskErr.h"
#include "platform/Windowv.h"
#include "platform/UString.h"
#include "doc/VoskDoc.h"
#include "doc/VoskPrin.h"
#include "ui/VoskDelt.h"
#include "ui/VoskFun2.h"
#include "ui/VoskStus.h"

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
  p.base_fontx = int16(BASE_SEL_FONT);
  p.addon_folder[0] = 0;

  for (int16 i = 0; i < NUSER_COLORS; ++i) p.colors[i] = kUserColors[i];
  p.ruler_color = Win_Pixel(0, 0, 0);
  p.gridlines_color = Win_Pixel(30, 30, 220);
  p.cutlines_color = Win_Pixel(255, 0, 0);
  p.gridlines_dash = SLIDER_VALUES[GRIDLINES_DASH_SLIDER].defaultval;
}

void Prefs_Fixup_Read() {
  int16 lang = gs.pref.language_offset;
  if (lang < 0 || lang >= NLANGUAGES || (app_capability & Lang_Bit(lang)) == 0)
    gs.pref.language_offset = ENGLISH;
  Set_Base_Fonts(gs.pref.language_offset);
  // The base font by its name: the list's numbering changes with the fonts
  // installed. A name no font has any more (or none) gives the interface's
  // own font.
  uStr255 name;
  UTF8_To_UTF16(CStrSpan(gs.pref.base_font), UStrSpan(name));
  const uint32 fontx = Name_To_FontX(CUStrSpan(name));
  gs.pref.base_fontx = int16(fontx != 0 ? fontx : BASE_PROP_FONT);
}

void Prefs_Fixup_Write() {
  gs.pref.last_agex = gs.grid_vals[PROJ_AGE_GRID];
  uStr255 name;
  FontX_To_Name(uint32(gs.pref.base_fontx), UStrSpan(name));
  char utf8[sizeof gs.pref.base_font] = {};
  UTF16_To_UTF8(CUStrSpan(name), StrSpan(utf8));
  std::memcpy(gs.pref.base_font, utf8, sizeof utf8);
}

// --- The tables of tools and rings --------------------------------------------------------

namespace {

constexpr a_bar_set Bars(std::initializer_list<a_bar> bars) {
  a_bar_set set = 0;
  for (a_bar b : bars) set |= Bar_Bit(b);
  return set;
}

// The palette bars each ring may show.
constexpr a_bar_set kRingCapability[NRINGS] = {
    Bars({EMPTY_BAR}),                                                       // NULL_RING
    Bars({LAYER_BAR}),                                                       // PAINT_RING
    Bars({PAINT_COLORBAR, PATTERN_BAR, GRADIENT_BAR, LAYER_BAR}),            // LINE_RING
    Bars({PAINT_COLORBAR, PATTERN_BAR, BORDER_BAR, LAYER_BAR}),              // FRAME_RING
    Bars({PAINT_COLORBAR, GRADIENT_BAR, LAYER_BAR}),                         // BRUSH_RING
    Bars({PAINT_COLORBAR, PATTERN_BAR, GRADIENT_BAR, LAYER_BAR}),            // AREA_RING
    Bars({STAMP_BAR, LAYER_BAR}),                                            // STAMP_RING
    Bars({PAINT_COLORBAR, GRADIENT_BAR, LAYER_BAR}),                         // SPRAY_RING
    Bars({}),                                                                // STENCIL_RING
    Bars({PAINT_COLORBAR, PATTERN_BAR, LAYER_BAR}),                          // FOVAL_RING
    Bars({PAINT_COLORBAR, LAYER_BAR}),                                       // DROPPER_RING
    Bars({CANVAS_BAR, LAYER_BAR}),                                           // CANVAS_RING
    Bars({PAINT_COLORBAR, FONT_BAR}),                                        // TEXT_SIZE_RING
    Bars({TEXT_OUTL_COLORBAR}),                                              // TEXT_OUTL_RING
    Bars({TEXT_GLOW_COLORBAR}),                                              // TEXT_GLOW_RING
    Bars({TEXT_SHAD_COLORBAR}),                                              // TEXT_SHAD_RING
    Bars({GLYPH_BAR}),                                                       // TEXT_EDIT_RING
    Bars({LAYER_BAR}),                                                       // PHOTO_RING
    Bars({EDGE_OUTL_COLORBAR, EDGE_BORD_COLORBAR, LAYER_BAR}),               // PHOTOF_RING
    Bars({PAPER_BAR}),                                                       // PAPER_RING
    Bars({CUTLINES_COLORBAR, GRIDLINES_COLORBAR}),                           // GRIDPHASE_RING
    Bars({SYMBOLS_COLORBAR, LAYER_BAR}),                                     // SYMBOL_RING
};

// The bar each ring shows when a document starts.
constexpr a_bar kBarInRing[NRINGS] = {
    EMPTY_BAR,           // NULL_RING
    LAYER_BAR,           // PAINT_RING
    PAINT_COLORBAR,      // LINE_RING
    PAINT_COLORBAR,      // FRAME_RING
    PAINT_COLORBAR,      // BRUSH_RING
    PAINT_COLORBAR,      // AREA_RING
    STAMP_BAR,           // STAMP_RING
    PAINT_COLORBAR,      // SPRAY_RING
    EMPTY_BAR,           // STENCIL_RING
    PAINT_COLORBAR,      // FOVAL_RING
    PAINT_COLORBAR,      // DROPPER_RING
    CANVAS_BAR,          // CANVAS_RING
    FONT_BAR,            // TEXT_SIZE_RING
    TEXT_OUTL_COLORBAR,  // TEXT_OUTL_RING
    TEXT_GLOW_COLORBAR,  // TEXT_GLOW_RING
    TEXT_SHAD_COLORBAR,  // TEXT_SHAD_RING
    GLYPH_BAR,           // TEXT_EDIT_RING
    LAYER_BAR,           // PHOTO_RING
    LAYER_BAR,           // PHOTOF_RING
    PAPER_BAR,           // PAPER_RING
    GRIDLINES_COLORBAR,  // GRIDPHASE_RING
    SYMBOLS_COLORBAR,    // SYMBOL_RING
};

// One tool: imprint, drag sounds, ring, then the flags dropper, symmetry,
// paints and single point, and the key.
constexpr a_tool_desc Tool(a_atom_proc atom, int16 snd1, int16 snd2, a_ring_kind ring, bool8 dropper,
                           bool8 symmetry, bool8 paints, bool8 single_point, char key) {
  return a_tool_desc{atom, snd1, snd2, 0, ring, dropper, symmetry, paints, false, false, single_point, uint8(key)};
}
constexpr bool8 Y = true, N = false;

const a_tool_desc kToolDesc[NTOOLS] = {
    Tool(Atom_Brush, 144, 144, BRUSH_RING, Y, Y, Y, Y, 'B'),          // BRUSH_TOOL
    Tool(Atom_Eraser, 145, 145, PAINT_RING, N, Y, Y, Y, 'E'),         // ERASER_TOOL
    Tool(Atom_Spray, 168, 168, SPRAY_RING, Y, Y, Y, Y, 'J'),          // SPRAY_TOOL
    Tool(Atom_SPolygon, 0, 0, AREA_RING, Y, Y, Y, Y, 'P'),            // SPOLYGON_TOOL
    Tool(Atom_SOval, 851, 862, AREA_RING, Y, Y, Y, Y, 'O'),           // SOVAL_TOOL
    Tool(Atom_Error, 851, 862, AREA_RING, Y, Y, Y, Y, 'A'),           // SFURTER_TOOL
    Tool(Atom_SRect, 963, 974, AREA_RING, Y, Y, Y, Y, 'U'),           // SRECT_TOOL
    Tool(Atom_Error, 0, 0, PAINT_RING, N, N, N, Y, 'H'),              // GRABBER_TOOL
    Tool(Atom_Stamp, 902, 913, STAMP_RING, N, Y, Y, Y, 'S'),          // STAMP_TOOL
    Tool(Atom_Error, 0, 0, PAINT_RING, N, N, N, Y, 'M'),              // SELECT_TOOL
    Tool(Atom_Bucket, 135, 135, AREA_RING, Y, Y, Y, Y, 'G'),          // BUCKET_TOOL
    Tool(Atom_Line, 801, 807, LINE_RING, Y, Y, Y, Y, 'L'),            // LINE_TOOL
    Tool(Atom_FOval, 521, 533, FOVAL_RING, Y, Y, Y, Y, 'V'),          // FOVAL_TOOL
    Tool(Atom_Error, 521, 533, DROPPER_RING, Y, Y, Y, Y, 'C'),        // FFURTER_TOOL
    Tool(Atom_FRect, 951, 962, FRAME_RING, Y, Y, Y, Y, 'T'),          // FRECT_TOOL
    Tool(Atom_Eyedropper, 0, 0, DROPPER_RING, N, N, N, Y, 'I'),       // DROPPER_TOOL
    Tool(Atom_Symmetry, 173, 173, PAINT_RING, N, N, Y, Y, 0),         // SYMMETRY_TOOL
    Tool(Atom_Error, 0, 0, PAINT_RING, N, N, N, Y, 0),                // ZOOM_TOOL
    Tool(Atom_Stamp, 902, 913, TEXT_SIZE_RING, Y, Y, Y, Y, 0),        // TEXT_TOOL
    Tool(Atom_Error, 0, 0, PHOTO_RING, Y, Y, N, Y, 0),                // PHOTO_TOOL
    a_tool_desc{},                                                    // PACK_TOOL: nothing
    Tool(Atom_BrushLine, 144, 144, PAINT_RING, Y, Y, Y, N, 0),        // BRUSHLINE_TOOL
    Tool(Atom_BrushLine, 145, 145, PAINT_RING, Y, Y, Y, N, 0),        // ERASERLINE_TOOL
    Tool(Atom_FRoundRect, 951, 962, FRAME_RING, Y, Y, Y, Y, 'T'),     // FROUNDRECT_TOOL
    Tool(Atom_SRoundRect, 963, 974, AREA_RING, Y, Y, Y, Y, 'U'),      // SROUNDRECT_TOOL
    Tool(Atom_Error, 0, 0, PAINT_RING, N, N, N, Y, 0),                // NULL_TOOL
};

// What the interface keeps for the pointers of gs (records of the pixel
// engine).
a_grad_rec g_fill_gradient;
a_rand_rec g_spray_seedU;
a_pixt g_light_pattern;
a_pixt g_dark_pattern;
a_pixt g_blueline_pattern;
a_pixt g_parquet_pattern;

// The colour table resource: a 16-bit count (little-endian), then red, green
// and blue of each colour.
constexpr OSType kColorTableType = FourCC("CTBL");
constexpr int16 kColorTableId = 128;
constexpr uint32 kColorTableSize = 2 + uint32(NCOLOR_TABLE) * 3;

// The system pattern list and the patterns of the pasteboard and the
// separator.
constexpr int16 kSystemPatterns = 0;
constexpr int16 kPasteboardPattern = 21;
constexpr int16 kSeparatorPattern = 26;

constexpr Pattern kMarqueePattern = {{0xE1, 0xC3, 0x87, 0x0F, 0x1E, 0x3C, 0x78, 0xF0}};

const UniChar kOuterName[8] = {u'O', u'U', u'T', u'E', u'R', 0};

// The menus' base id the start-up gives gs.menu_base.
constexpr int16 kMenuBase = 132;

// Height of the tool-bar strip across the top of the main window.
constexpr int16 kBarHeight = 48;

RGBColor RGB16(uint8 r, uint8 g, uint8 b) {
  return RGBColor{uint16(r * 257), uint16(g * 257), uint16(b * 257)};
}

a_pixel32 Pixel32(const a_pixel24& c) { return Win_Pixel(c.r, c.g, c.b); }

// A hidden scroll bar in the main window, value 0, range 0 to 100: vertical
// when box is taller than wide. NIL without a main window.
HostWindow* Hidden_Scroll_Bar(const Rect& box) {
  if (gs.outer_window == nullptr) return nullptr;
  HostWindow* bar = NewControl(gs.outer_window, box, CStrSpan(""), false, 0, 0, 100, 16, 0);
  if (bar == nullptr) return nullptr;
  SetControlMinMax(bar, 0, 100, 0);
  SetControlValue(bar, 0);
  return bar;
}

const Rect kHorzBar{0, 0, 20, 100};
const Rect kVertBar{0, 0, 100, 20};

// A stored picture of the library, or an empty one when the library lacks
// it or cannot give it.
void Load_Pattern(int16 id, a_pixt& pixt) {
  Pixt_Unload(pixt);
  Null_Pixt(pixt);
  if (Pixt_Exists(id)) (void)KPixt_Load_Checked(Pixt_Key(id), pixt);
}

void Init_Patterns() {
  gs.marq_pattern = kMarqueePattern;
  Load_Pattern(ART_PICT_LIGHT_STRIPE, g_light_pattern);
  Load_Pattern(ART_PICT_DARK_STRIPE, g_dark_pattern);
  Load_Pattern(ART_PICT_BLUE_LINE, g_blueline_pattern);
  Load_Pattern(ART_PICT_PARQUET, g_parquet_pattern);
  gs.light_pattern = &g_light_pattern;
  gs.dark_pattern = &g_dark_pattern;
  gs.blueline_pattern = &g_blueline_pattern;
  gs.parquet_pattern = &g_parquet_pattern;
  (void)GetIndPattern(gs.pasteboard_pat, kSystemPatterns, kPasteboardPattern);
  (void)GetIndPattern(gs.separator_pat, kSystemPatterns, kSeparatorPattern);
}

void Init_Custom_Stamp() {
  const Rect box{0, 0, 32, 32};
  a_doc_layer& cs = gs.custom_stamp;
  Dispose_GWorld(cs.world);
  Dispose_GWorld(cs.mask);
  New_GWorldF("Custom Stamp World", box, 32, nullptr, cs.world);
  New_GWorldF("Custom Stamp World", box, 8, gray_ctable, cs.mask);
  cs.seq = 0;
  cs.inuse = false;
}

// The interface state of the program, over what the start-up put in gs
// before (the preferences, with the main window's rectangle checked, and
// the menus' base, which is the program's own when the start-up left none):
// nothing of gs is cleared here.
void Init_GS() {
  if (gs.menu_base == 0) gs.menu_base = kMenuBase;
  const int16 agex = gs.pref.last_agex;
  gs.grid_vals[PROJ_AGE_GRID] = (agex >= 0 && agex <= 2) ? agex : 0;

  // The main window, shown over the stored rectangle (its interior: it has
  // no frame of ours) until the panels size it.
  gs.outer_window_info = a_win_info_rec{nullptr, Main_Window_Update, MAIN_KIND, {}};
  std::memcpy(gs.outer_window_info.name, kOuterName, sizeof kOuterName);
  gs.outer_window_sizeable = true;
  Str255 title;
  Get_Translated_String(title, STRLIST_PROGRAM, PROG_LONG_NAME);
  gs.outer_window = New_Window(gs.pref.tot_window, title, true, 8, nullptr, nullptr, &gs.outer_window_info);
  Drag_Init(gs.outer_window);

  gs.views[0].zoom_factor = ZoomxToFactor[GRID_VALUES[ZOOM_GRID].grid_defaultval];
  gs.views[0].zoom_fudge = 0;
  gs.views[1].zoom_factor = ZoomxToFactor[1];
  gs.views[1].zoom_fudge = 0;
  gs.nviews = 0;

  gs.hscroll_ctrl = Hidden_Scroll_Bar(kHorzBar);
  gs.vscroll_ctrl = Hidden_Scroll_Bar(kVertBar);
  gs.lscroll_ctrl = Hidden_Scroll_Bar(kHorzBar);
  gs.uscroll_ctrl = Hidden_Scroll_Bar(kVertBar);
  Annot_Init();

  std::copy(std::begin(kRingCapability), std::end(kRingCapability), std::begin(gs.ring_capability));
  std::copy(std::begin(kToolDesc), std::end(kToolDesc), std::begin(gs.tool_desc));
  Init_Color_Table();
  Init_Fonts();
  Init_Patterns();

  gs.mytask = true;
  Init_Custom_Stamp();

  // Who drives the program stays as it was set (a person, unless a test
  // controller set it before).
  gs.tool_show = true;
  gs.curr_phase = NODOC_PHASE;

  Init_ListBox_Desc(gs.paper_kind_desc);
  Init_ListBox_Desc(gs.paper_list_desc);
  g_ed = a_edit_rec{};

  g_fill_gradient.nbands = 0;
  gs.fill_gradient = &g_fill_gradient;
  gs.spray_seedU = &g_spray_seedU;
}

void Stop_GS() {
  for (HostWindow** bar : {&gs.hscroll_ctrl, &gs.vscroll_ctrl, &gs.lscroll_ctrl, &gs.uscroll_ctrl,
                           &gs.paper_kind_desc.scrollbar, &gs.paper_list_desc.scrollbar})
    DisposeControl(*bar);
  Dispose_GWorld(gs.custom_stamp.world);
  Dispose_GWorld(gs.custom_stamp.mask);
  if (gs.outer_window != nullptr) CloseWindow(gs.outer_window);
  gs.outer_window = nullptr;
}

void Init_T() {
  t.printerx = 0;
  for (a_status_line& line : t.status_lines) {
    line = a_status_line{};
    line.ss[0] = ' ';
    line.color = a_pixel24{192, 192, 192};
  }
  t.status_tracking = false;
  t.status_sizing = false;
  t.status_sizing_vx = 0;
  t.status_size = Point{0, 0};
  DisposeRgn(t.marq_rgn);
  t.marq_rgn = NewRgn();
  t.stencil_add = false;
  t.grad_center = Point{0, 0};
  t.grad_radius = 100;
  t.stampgrid_interval = Point{1, 1};
  t.stampgrid_origin = Point{0, 0};
  t.pass2_dirty = Rect{0, 0, 0, 0};
  t.old_saved = false;
  t.tlist_n = 0;
}

void Stop_T() { DisposeRgn(t.marq_rgn); }

}  // namespace

// --- The static interface state and the main window ------------------------------------

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

void Init_Color_Table() {
  std::fill(std::begin(gs.color_table), std::end(gs.color_table), a_pixel32{});
  gs.ncolor_table = NCOLOR_TABLE;
  ResHandle res = GetResource(kColorTableType, kColorTableId);
  const uint8* data = res != nullptr ? Res_Lock(res) : nullptr;
  const uint32 size = res != nullptr ? Res_Size(res) : 0;
  // The count and the colours it announces must both be there.
  if (data == nullptr || size < kColorTableSize || Load_LE16(data) != NCOLOR_TABLE) {
    Report_Missing_Resource(kColorTableType, kColorTableId);
  } else {
    for (int32 i = 0; i < NCOLOR_TABLE; ++i) {
      const uint8* c = data + 2 + 3 * i;
      gs.color_table[i] = Win_Pixel(c[0], c[1], c[2]);
    }
  }
  // The user's own colours come first, whatever the resource holds.
  for (int16 i = 0; i < NUSER_COLORS; ++i) gs.color_table[i] = Pixel32(gs.pref.colors[i]);
}

void Init_Fonts() {
  auto font = [](a_fontspec& spec, uint32 fontx, int32 size, bool bold) {
    Null_FontSpec(spec);
    spec.fontID = fontx;
    spec.size = size;
    spec.effects = bold ? Effect_Bit(EFFECT_BOLD) : a_text_effect_set(0);
  };
  font(gs.font_12pt, BASE_PROP_FONT, 12, false);
  font(gs.font_14pt, BASE_PROP_FONT, 14, true);
  font(gs.font_18pt, BASE_BIG_FONT, 18, true);
  font(gs.font_24pt, BASE_BIG_FONT, 24, true);
  font(gs.font_24pt_E, BASE_ENTRY_FONT, 24, false);
}

void Init_ListBox_Desc(a_listbox_desc& desc) {
  if (desc.scrollbar != nullptr) DisposeControl(desc.scrollbar);
  std::memset(static_cast<void*>(&desc), 0, sizeof desc);
  desc.font = gs.font_14pt;
  desc.border = 1;
  desc.hix = 1;
  desc.scrollbar_h = info_sbarheight;
  desc.lo_back_color = a_pixel24{255, 255, 255};
  desc.lo_fore_color = a_pixel24{0, 0, 0};
  desc.hi_back_color = a_pixel24{164, 209, 255};
  desc.hi_fore_color = a_pixel24{0, 0, 0};
  desc.sp_back_color = a_pixel24{30, 60, 30};
  desc.scrollbar = Hidden_Scroll_Bar(kVertBar);
}

void Init_Grid_Values(a_when_init when) {
  for (int16 g = 0; g < NGRIDS; ++g)
    if (GRID_VALUES[g].when_init == when) gs.grid_vals[g] = GRID_VALUES[g].grid_defaultval;
}

void Static_Init() {
  Init_GS();
  Init_T();
  Brush_Init();
  std::memset(static_cast<void*>(&g_doc), 0, sizeof g_doc);
  Init_Grid_Values(INIT_BOOT);
}

void Static_Stop() {
  for (a_pixt* p : {&g_light_pattern, &g_dark_pattern, &g_blueline_pattern, &g_parquet_pattern}) Pixt_Unload(*p);
  Brush_Stop();
  Stop_T();
  Stop_GS();
}

void VoskStat_Init() {
  g_prefs_default_proc = Prefs_SetToDefault;
  g_prefs_fixup_read_proc = Prefs_Fixup_Read;
  g_prefs_fixup_write_proc = Prefs_Fixup_Write;
}

// --- Each new or opened document ------------------------------------------------

void Init_SV() {
  for (int16 s = 0; s < NSLIDERS; ++s)
    if (SLIDER_VALUES[s].when_init == INIT_NEWDOC) gs.slider_vals[s] = SLIDER_VALUES[s].defaultval;
  for (int16 x = 0; x < NTOGGLES; ++x) {
    if (TOGGLE_VALUES[x].when_init != INIT_NEWDOC) continue;
    // The cut lines and the rulers start as the preferences last had them.
    bool8 value = TOGGLE_VALUES[x].toggle_defaultval;
    if (x == CUTLINES_TOGGLE) value = gs.pref.cutlines_option;
    if (x == RULERS_TOGGLE) value = gs.pref.ruler_option;
    gs.toggle_vals[x] = value;
  }
  Init_Grid_Values(INIT_NEWDOC);

  for (int16 b = 0; b < NBARS; ++b) gs.bar_selection[b] = gs.bard[b].first_id;
  gs.bar_selection[STAMP_BAR] = 1;
  const a_pixel32 black = Win_Pixel(0, 0, 0);
  gs.bar_selection[PAINT_COLORBAR] = Find_In_Palette32(black);
  gs.bar_selection[TEXT_SHAD_COLORBAR] = Find_In_Palette32(black);
  gs.bar_selection[SYMBOLS_COLORBAR] = Find_In_Palette32(black);
  gs.bar_selection[TEXT_OUTL_COLORBAR] = Find_In_Palette32(Win_Pixel(199, 207, 187));
  gs.bar_selection[TEXT_GLOW_COLORBAR] = Find_In_Palette32(Win_Pixel(0, 255, 255));
  // (The preferences record is packed: its colours are copied out first.)
  const a_pixel32 cutlines = gs.pref.cutlines_color;
  const a_pixel32 gridlines = gs.pref.gridlines_color;
  gs.bar_selection[CUTLINES_COLORBAR] = Find_In_Palette32(cutlines);
  gs.bar_selection[GRIDLINES_COLORBAR] = Find_In_Palette32(gridlines);
  gs.bar_selection[EDGE_OUTL_COLORBAR] = Find_In_Palette24(a_pixel24{0, 0, 0});
  gs.bar_selection[EDGE_BORD_COLORBAR] = Find_In_Palette24(a_pixel24{114, 87, 61});
  gs.bar_selection[FONT_BAR] = gs.pref.base_fontx;
}

void Init_SP1() {
  gs.layerbard.first_id = 0;
  gs.layerbard.last_id = 0;
  Init_SV();

  gs.tool_net = NULL_TOOL;
  gs.curr_bar = EMPTY_BAR;
  gs.curr_ring = NULL_RING;
  gs.dropper_jump = BRUSH_TOOL;
  gs.fill_kind = ERASER_FILL;
  gs.fill_color32 = a_pixel32{};
  gs.fill_colorx = 0;
  if (gs.fill_gradient != nullptr) gs.fill_gradient->nbands = 0;

  std::copy(std::begin(kBarInRing), std::end(kBarInRing), std::begin(gs.bar_in_ring));

  gs.grad_bandx = 0;
  gs.spray_seed = 0;
  if (gs.spray_seedU != nullptr) Init_RandRec(*gs.spray_seedU);

  SV_Set_Bool(SV_DOC_OPEN, true);
  Select_Doc_Unit(1);
  Caret_Init();
}

void Init_SP2() {
  Calc_Max_Custom();
  Load_Print_Adjust();
}

void Stop_SP() {}
