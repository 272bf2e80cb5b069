#include "ui/VoskBar.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskHist.h"
#include "host/HostFont.h"
#include "host/HostGdi.h"
#include "objects/VoskBlok.h"
#include "objects/VoskBord.h"
#include "objects/VoskCanv.h"
#include "objects/VoskEdit.h"
#include "objects/VoskGrad.h"
#include "objects/VoskPhot.h"
#include "objects/VoskStam.h"
#include "objects/VoskSym.h"
#include "objects/VoskText.h"
#include "pixel/ArtKeys.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/OP.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "pixel/TextUtil.h"
#include "platform/Events.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysErr.h"
#include "platform/SysFont.h"
#include "platform/SysSound.h"
#include "platform/SysUnicode.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "ui/VoskBrow.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStus.h"

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

// Transparent text while one is alive, then the port's own text mode again:
// the bar draws into the main window, whose later text (the unit list's,
// the labels') must not come out on opaque boxes.
class Transparent_Text {
 public:
  Transparent_Text() : old_(theShadow != nullptr ? theShadow->text_mode : srcOr) { TextMode(srcOr); }
  ~Transparent_Text() { TextMode(old_); }
  Transparent_Text(const Transparent_Text&) = delete;
  Transparent_Text& operator=(const Transparent_Text&) = delete;

 private:
  int16 old_;
};

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

// --- Module state -------------------------------------------------------------------

a_jump_rec g_jump;
a_glyph_item g_glyphs[MAX_GLYPHS];
int16 n_glyphs = 0;
uint32 g_glyph_fontx = 0;

namespace {

// The font samples: one 8-bit world (black 0 .. white 255) of FONT_CACHE_PER_ROW
// cells a row, made for nfonts fonts, the fonts still to do, and the busy
// cursor's step.
struct a_font_cache {
  Point size;  // a cell: h width, v height
  PixMap samples;
  uint32 nfonts;
};
a_font_cache g_font_cache{};
int32 g_font_todo = 0;
uint32 g_thumbnail_last = 0;
int16 g_thumbnail_cursorx = 0;
// The world one sample is drawn into (32 bits, a cell's size).
GWorldPtr g_sample_world = nullptr;
// The bar area the geometry was last worked out for.
Rect g_measured_area{0, 0, 0, 0};

constexpr a_pixel24 kBarGrey{160, 160, 160};
constexpr a_pixel24 kFrameRed{255, 0, 0};
constexpr a_pixel24 kFrameGrey{128, 128, 128};
constexpr int16 kRowButtonsWidth = 57;
constexpr int16 kPaletteReserve = 14;
constexpr int16 kCustomColumnMax = 28;
constexpr int16 kPaletteBlockColumns = 21;
constexpr int16 kPaletteBlockCells = kPaletteBlockColumns * PALETTE_ROWS;  // 147
constexpr int16 kGradientsInOneRow = 50;
constexpr int16 kThumbnailSize = 14;
constexpr uint32 kCursorStepTicks = 6;

bool Bar_Area(Rect& area) {
  HWND window = nullptr;
  return Custom_Get_Info(CUSTOM_BAR, window, area);
}

bool Is_Real_Bar(a_bar bar) { return bar < NBARS && bar != EMPTY_BAR && bar != LAYER_BAR; }

void Flush_Jump() { BarJump_Flush(); }

// The bar and the index button, whose number follows the screenful.
void Inval_Bar() {
  Custom_Inval(CUSTOM_BAR);
  OneShot_Inval(BAR_INDEX_BUTTON);
}

int16 Clamp_ID(const a_bar_row_desc& d, int16 id) { return std::clamp(id, d.first_id, d.last_id); }

// The number of pictures of a library family (0 with no library open).
int16 Family_Count(int16 a, int16 b, int16 c, int16 d) {
  if (OP_Pool_Count() == 0) return 0;
  a_subset subset{};
  Subset_Init(subset, a_keyset{a, b, c, d});
  return std::max<int16>(0, Subset_Count(subset));
}

uint8 Curr_Unit_Kind() {
  if (g_doc.up == nullptr || g_doc.upx < 1 || g_doc.upx > MAXNUNITS) return 0;
  return g_doc.doc_template.units[g_doc.upx - 1].kind;
}

// A canvas cell (the canvas module takes its arguments the other way round).
void Canvas_Bar_DrawElement(int16 id, const Rect& r) { Canvas_DrawElement(r, id); }
// A border cell, likewise.
void Border_Bar_DrawElement(int16 id, const Rect& r) { Border_DrawElement(r, id); }

struct a_bar_row_init {
  a_bar_draw_proc drawproc;
  a_bar_select_proc selectproc;
  a_fill_kind fill_kind;
  a_stamp_set stampset;
  bool8 showselect;
  bool8 resetsliders;
  int16 stringx;
  a_grid_order order;
};

// Ids, procedures and flags of every bar. The border bar's cells and choice
// come with the border module; the symbol, layer and paper bars are drawn
// and applied by their own modules.
const std::array<a_bar_row_init, NBARS> kBarRows = {{
    {nullptr, nullptr, ERASER_FILL, NULL_STAMPSET, false, false, 0, TBLR},                         // EMPTY_BAR
    {Canvas_Bar_DrawElement, Canvas_Select, NULL_FILL, CANVAS_STAMPSET, true, false, 0, LRTB},     // CANVAS_BAR
    {Stamp_DrawElement, Stamp_Select, STAMP_FILL, STAMP_STAMPSET, true, true, 15, LRTB},            // STAMP_BAR
    {Palette_DrawElement, Palette_Select, COLOR_FILL, NULL_STAMPSET, true, false, 16, LRTB},        // PAINT_COLORBAR
    {Palette_DrawElement, TextOutl_Color_Select, COLOR_FILL, NULL_STAMPSET, true, false, 16, LRTB}, // TEXT_OUTL
    {Palette_DrawElement, TextGlow_Color_Select, COLOR_FILL, NULL_STAMPSET, true, false, 16, LRTB}, // TEXT_GLOW
    {Palette_DrawElement, TextShad_Color_Select, COLOR_FILL, NULL_STAMPSET, true, false, 16, LRTB}, // TEXT_SHAD
    {Palette_DrawElement, CutLines_Color_Select, COLOR_FILL, NULL_STAMPSET, true, false, 16, LRTB}, // CUTLINES
    {Palette_DrawElement, GridLines_Color_Select, COLOR_FILL, NULL_STAMPSET, true, false, 16, LRTB},// GRIDLINES
    {Palette_DrawElement, EdgeOutl_Color_Select, COLOR_FILL, NULL_STAMPSET, true, false, 16, LRTB}, // EDGE_OUTL
    {Palette_DrawElement, EdgeBord_Color_Select, COLOR_FILL, NULL_STAMPSET, true, false, 16, LRTB}, // EDGE_BORD
    {Palette_DrawElement, Symbols_Color_Select, COLOR_FILL, NULL_STAMPSET, true, false, 16, LRTB},  // SYMBOLS
    {Pattern_DrawElement, Pattern_Select, PATTERN_FILL, PATTERN_STAMPSET, true, false, 17, LRTB},   // PATTERN_BAR
    {Gradient_DrawElement, Gradient_Select, GRADIENT_FILL, NULL_STAMPSET, true, false, 18, LRTB},   // GRADIENT_BAR
    {Border_Bar_DrawElement, Border_Select, BORDER_FILL, BORDER_STAMPSET, true, false, 19, LRTB},    // BORDER_BAR
    {Symbol_DrawElement, nullptr, NULL_FILL, NULL_STAMPSET, false, false, 0, LRTB},                 // SYMBOL_BAR
    {nullptr, nullptr, NULL_FILL, NULL_STAMPSET, false, false, 0, LRTB},                            // LAYER_BAR
    {Font_DrawElement, FontBar_Select, NULL_FILL, NULL_STAMPSET, true, false, 0, TBLR},             // FONT_BAR
    {Glyph_DrawElement, Glyph_Select, NULL_FILL, NULL_STAMPSET, false, false, 0, LRTB},             // GLYPH_BAR
    {nullptr, nullptr, NULL_FILL, NULL_STAMPSET, true, false, 0, TBLR},                             // PAPER_BAR
}};

// The bar's ids: first_id .. count (or the ids the families give).
void Set_Ids(a_bar bar, int16 first, int32 last) {
  a_bar_row_desc& d = gs.bard[bar];
  d.first_id = first;
  d.last_id = int16(std::clamp<int32>(last, first - 1, 32000));
}

void Keep_Within(a_bar bar) {
  a_bar_row_desc& d = gs.bard[bar];
  if (d.last_id < d.first_id) {
    d.rowstart_id = d.first_id;
    return;
  }
  gs.bar_selection[bar] = Clamp_ID(d, gs.bar_selection[bar]);
  if (d.rowstart_id < d.first_id || d.rowstart_id > d.last_id) d.rowstart_id = d.first_id;
}

// nrows for the ids and the cells of a screenful.
void Count_Rows(a_bar_row_desc& d) {
  const int32 count = int32(d.last_id) - d.first_id + 1;
  d.nrows = d.ncells_tot > 0 && count > 0 ? int16((count + d.ncells_tot - 1) / d.ncells_tot) : 0;
}

// Steps of the screenful shown, wrapping at both ends.
void Prev_Row(a_bar_row_desc& d) {
  if (d.ncells_tot <= 0 || d.last_id < d.first_id) return;
  const int32 start = int32(d.rowstart_id) - d.ncells_tot;
  if (start >= d.first_id) {
    d.rowstart_id = int16(start);
    return;
  }
  const int32 count = int32(d.last_id) - d.first_id + 1;
  const int32 rem = count % d.ncells_tot;
  d.rowstart_id = int16(d.last_id + 1 - (rem != 0 ? rem : d.ncells_tot));
}

void Next_Row(a_bar_row_desc& d) {
  if (d.ncells_tot <= 0 || d.last_id < d.first_id) return;
  const int32 start = int32(d.rowstart_id) + d.ncells_tot;
  d.rowstart_id = start > d.last_id ? d.first_id : int16(start);
}

// The screenful start that holds id.
int16 Row_Of(const a_bar_row_desc& d, int16 id) {
  if (d.ncells_tot <= 0 || id < d.first_id || id > d.last_id) return d.first_id;
  return int16(d.first_id + (int32(id) - d.first_id) / d.ncells_tot * d.ncells_tot);
}

// Draws in the bar's area on screen (its window's port).
template <typename F>
void In_Bar(F&& draw) {
  HWND window = nullptr;
  Rect area;
  if (!Custom_Get_Info(CUSTOM_BAR, window, area) || window == nullptr) return;
  Push_Window(window);
  draw(area);
  Pop_Window();
}

void Frame_Element(const a_bar_row_desc& d, a_bar bar, const Rect& area, int16 id, bool8 selected) {
  Rect r;
  if (!Bar_ID_To_Rect(bar, area, id, r)) return;
  if (d.cell_margin > 0) {
    InsetRect(r, int16(-d.cell_margin), int16(-d.cell_margin));
    PenSize(d.cell_margin, d.cell_margin);
    SetForeColor24(selected ? kFrameRed : kFrameGrey);
    FrameRect(r);
    PenNormal();
  } else if (selected) {
    SetForeColor24(kFrameRed);
    FrameRect(r);
    InsetRect(r, 1, 1);
    SetForeColor24(kFrameGrey);
    FrameRect(r);
  } else if (d.drawproc != nullptr) {
    d.drawproc(id, r);
  }
  ForeColor(1);
}

}  // namespace

// --- Start-up and the descriptors ------------------------------------------------------

bool8 Is_Palette_Bar(a_bar bar) { return bar >= PAINT_COLORBAR && bar <= SYMBOLS_COLORBAR; }

bool8 Bar_Is_Empty(a_bar bar) {
  if (bar >= NBARS || bar == EMPTY_BAR) return true;
  return gs.bard[bar].last_id < gs.bard[bar].first_id;
}

void Bar_Recount() {
  const int16 ncolors = int16(std::clamp<int32>(gs.ncolor_table, 0, NCOLOR_TABLE));
  Set_Ids(EMPTY_BAR, 0, 0);
  Set_Ids(CANVAS_BAR, 1, Canvas_Count(Curr_Unit_Kind()));
  Set_Ids(STAMP_BAR, 0, StampSet_Count(STAMP_STAMPSET));
  for (int16 b = PAINT_COLORBAR; b <= SYMBOLS_COLORBAR; ++b) Set_Ids(a_bar(b), 0, ncolors - 1);
  Set_Ids(PATTERN_BAR, 1, StampSet_Count(PATTERN_STAMPSET));
  Set_Ids(GRADIENT_BAR, 1, Family_Count(ART_GRADIENT, 0, WILDCARD, 0));
  Set_Ids(BORDER_BAR, 1, Border_Count());
  Set_Ids(SYMBOL_BAR, 1, Symbol_Count());
  Set_Ids(LAYER_BAR, int16(FIRST_LAYER_ID), std::max<int32>(FIRST_LAYER_ID - 1, gs.layerbard.last_id));
  uint32 first = 1, last = 0;
  Count_Fonts(first, last);
  Set_Ids(FONT_BAR, 1, int32(std::min<uint32>(last, 32000)));
  Set_Ids(GLYPH_BAR, 1, n_glyphs);
  Set_Ids(PAPER_BAR, 1, int32(std::min<uint32>(t.tlist_n, MAXNTEMPLATES)));
  for (int16 b = 0; b < NBARS; ++b) {
    Keep_Within(a_bar(b));
    Count_Rows(gs.bard[b]);
  }
}

void Bar_Init() {
  for (int16 b = 0; b < NBARS; ++b) {
    a_bar_row_desc& d = gs.bard[b];
    const a_bar_row_init& row = kBarRows[size_t(b)];
    d = a_bar_row_desc{};
    d.drawproc = row.drawproc;
    d.selectproc = row.selectproc;
    d.fill_kind = row.fill_kind;
    d.stampset = row.stampset;
    d.showselect = row.showselect;
    d.resetsliders = row.resetsliders;
    d.stringx = row.stringx;
    d.order = row.order;
  }
  Build_Template_List();
  Bar_Recount();
  for (a_bar_row_desc& d : gs.bard) d.rowstart_id = d.first_id;
  Font_Cache_Init();
}

void Bar_Stop() { Font_Cache_Stop(); }

void Calc_Desc(const Rect& area, bool8 updown, bool8 fixednum, bool8 addcell, int16 a, int16 b, int16 margin,
               a_bar_row_desc& desc) {
  const int32 usable_h = std::max<int32>(0, area.right - area.left - margin - (updown ? kRowButtonsWidth : 0));
  const int32 usable_v = std::max<int32>(0, area.bottom - area.top - margin);
  int32 nh, nv, ch, cv;
  if (fixednum) {
    nh = std::max<int32>(1, a);
    nv = std::max<int32>(1, b);
    ch = std::max<int32>(1, usable_h / nh - margin);
    cv = std::max<int32>(1, usable_v / nv - margin);
  } else {
    ch = std::max<int32>(1, a);
    cv = std::max<int32>(1, b);
    nh = std::max<int32>(1, usable_h / (ch + margin));
    nv = std::max<int32>(1, usable_v / (cv + margin));
  }
  if (addcell) {
    ch += std::max<int32>(0, usable_h - nh * (ch + margin)) / nh;
    cv += std::max<int32>(0, usable_v - nv * (cv + margin)) / nv;
  }
  desc.ncells_h = int16(nh);
  desc.ncells_v = int16(nv);
  desc.ncells_tot = int16(std::min<int32>(nh * nv, 32000));
  desc.cell_h = int16(ch);
  desc.cell_v = int16(cv);
  desc.cell_margin = margin;
  desc.cell_indent.h = int16(std::max<int32>(0, usable_h - nh * (ch + margin)) / 2);
  desc.cell_indent.v = int16(std::max<int32>(0, usable_v - nv * (cv + margin)) / 2);
  Count_Rows(desc);
}

void Calc_Palette_Desc(const Rect& area, a_bar_row_desc& desc) {
  const int32 usable_h = std::max<int32>(0, area.right - area.left - kPaletteReserve);
  const int32 usable_v = std::max<int32>(0, area.bottom - area.top);
  const int32 ch = std::max<int32>(1, usable_h / PALETTE_COLUMNS);
  const int32 cv = std::max<int32>(1, usable_v / PALETTE_ROWS);
  int32 indent = std::max<int32>(0, usable_h - PALETTE_COLUMNS * ch) + kPaletteReserve;
  if (indent > kCustomColumnMax) indent -= (indent - kCustomColumnMax) / 3;
  desc.ncells_h = PALETTE_COLUMNS;
  desc.ncells_v = PALETTE_ROWS;
  desc.ncells_tot = PALETTE_COLUMNS * PALETTE_ROWS;
  desc.cell_h = int16(ch);
  desc.cell_v = int16(cv);
  desc.cell_margin = 0;
  desc.cell_indent.h = int16(indent);
  desc.cell_indent.v = int16(std::max<int32>(0, usable_v - PALETTE_ROWS * cv) / 2);
  desc.nrows = desc.last_id >= desc.first_id ? 1 : 0;
}

bool8 PaletteToRect(const a_bar_row_desc& desc, const Rect& area, int16 id, Rect& r) {
  r = Rect{0, 0, 0, 0};
  if (id < desc.first_id || id > desc.last_id || id < 0 || desc.cell_h <= 0) return false;
  const int16 left = int16(area.left + desc.cell_indent.h);
  const int16 top = int16(area.top + desc.cell_indent.v);
  if (id < NCUSTOM_COLORS) {
    const int16 w = std::min<int16>(kCustomColumnMax, desc.cell_indent.h);
    const int16 l = int16(area.left + (desc.cell_indent.h - w) / 2);
    r = Rect{int16(top + id * desc.cell_v), l, int16(top + (id + 1) * desc.cell_v), int16(l + w)};
    return true;
  }
  if (id < NCUSTOM_COLORS + 2) {
    const int16 half = int16(left + kPaletteBlockColumns * desc.cell_h / 2);
    const int16 right = int16(left + kPaletteBlockColumns * desc.cell_h);
    r = id == NCUSTOM_COLORS ? Rect{top, left, int16(top + desc.cell_v), half}
                             : Rect{top, half, int16(top + desc.cell_v), right};
    return true;
  }
  const int32 m = id + 12;
  const int32 block = m / kPaletteBlockCells;
  const int32 col = block * kPaletteBlockColumns + m % kPaletteBlockColumns;
  const int32 row = (m / kPaletteBlockColumns) % PALETTE_ROWS;
  if (col >= PALETTE_COLUMNS) return false;
  const int16 l = int16(left + col * desc.cell_h), t = int16(top + row * desc.cell_v);
  r = Rect{t, l, int16(t + desc.cell_v), int16(l + desc.cell_h)};
  return true;
}

bool8 Bar_IDToCell(const a_bar_row_desc& desc, int16 id, Point& cell) {
  cell = Point{0, 0};
  if (desc.ncells_tot <= 0 || desc.ncells_h <= 0 || desc.ncells_v <= 0) return false;
  if (id < desc.first_id || id > desc.last_id) return false;
  const int32 index = int32(id) - desc.rowstart_id;
  if (index < 0 || index >= desc.ncells_tot) return false;
  if (desc.order == TBLR) {
    cell.h = int16(index / desc.ncells_v);
    cell.v = int16(index % desc.ncells_v);
  } else {
    cell.v = int16(index / desc.ncells_h);
    cell.h = int16(index % desc.ncells_h);
  }
  return true;
}

void Bar_CellToRect(const a_bar_row_desc& desc, const Rect& area, Point cell, Rect& r) {
  const int16 l = int16(area.left + desc.cell_indent.h + desc.cell_margin + cell.h * (desc.cell_h + desc.cell_margin));
  const int16 t = int16(area.top + desc.cell_indent.v + desc.cell_margin + cell.v * (desc.cell_v + desc.cell_margin));
  r = Rect{t, l, int16(t + desc.cell_v), int16(l + desc.cell_h)};
}

bool8 Bar_ID_To_Rect(a_bar bar, const Rect& area, int16 id, Rect& r) {
  r = Rect{0, 0, 0, 0};
  if (bar >= NBARS) return false;
  const a_bar_row_desc& d = gs.bard[bar];
  if (Is_Palette_Bar(bar)) return PaletteToRect(d, area, id, r);
  Point cell;
  if (!Bar_IDToCell(d, id, cell)) return false;
  Bar_CellToRect(d, area, cell, r);
  return true;
}

int16 Bar_Find_Element(a_bar bar, const Rect& area, Point pt) {
  if (Bar_Is_Empty(bar) || bar == LAYER_BAR) return BAR_NO_ID;
  const a_bar_row_desc& d = gs.bard[bar];
  const auto hit = [&](int16 id) {
    Rect r;
    if (!Bar_ID_To_Rect(bar, area, id, r)) return false;
    InsetRect(r, int16(-d.cell_margin), int16(-d.cell_margin));
    return PtInRect(pt, r);
  };
  if (Is_Palette_Bar(bar)) {
    for (int16 id = d.first_id; id <= d.last_id; ++id)
      if (hit(id)) return id;
    return BAR_NO_ID;
  }
  for (int32 i = 0; i < d.ncells_tot; ++i) {
    const int32 id = int32(d.rowstart_id) + i;
    if (id > d.last_id) break;
    if (hit(int16(id))) return int16(id);
  }
  return BAR_NO_ID;
}

void Bar_Calc_All_Desc(const Rect& area) {
  g_measured_area = area;
  Bar_Recount();
  for (int16 b = 0; b < NBARS; ++b) {
    const a_bar bar = a_bar(b);
    a_bar_row_desc& d = gs.bard[b];
    // A bar that needs several screenfuls leaves room for its row buttons.
    const auto cells = [&](bool8 fixednum, bool8 addcell, int16 a, int16 bb, int16 margin) {
      Calc_Desc(area, false, fixednum, addcell, a, bb, margin, d);
      if (d.nrows > 1) Calc_Desc(area, true, fixednum, addcell, a, bb, margin, d);
    };
    switch (bar) {
      case EMPTY_BAR:
      case SYMBOL_BAR:
        // No cells here.
        d.ncells_h = d.ncells_v = d.ncells_tot = d.cell_h = d.cell_v = d.cell_margin = d.nrows = 0;
        d.cell_indent = Point{0, 0};
        break;
      case CANVAS_BAR: cells(false, false, 98, 98, 2); break;
      case STAMP_BAR: cells(false, false, 48, 48, 2); break;
      case PATTERN_BAR: cells(false, false, 96, 96, 3); break;
      case GRADIENT_BAR: {
        const int16 count = int16(std::max<int32>(0, d.last_id - d.first_id + 1));
        if (count < kGradientsInOneRow)
          Calc_Desc(area, false, true, false, std::max<int16>(1, count), 1, 4, d);
        else
          cells(false, false, 45, 45, 4);
        break;
      }
      case BORDER_BAR: cells(false, false, 123, 96, 3); break;
      case LAYER_BAR: cells(false, false, 131, 98, 2); break;
      case FONT_BAR: cells(false, false, FONT_CELL_H, FONT_CELL_V, 2); break;
      case GLYPH_BAR: cells(false, false, 38, 32, 0); break;
      case PAPER_BAR: cells(false, false, 240, 16, 2); break;
      default: Calc_Palette_Desc(area, d); break;
    }
    Keep_Within(bar);
  }
  const a_bar curr = gs.curr_bar < NBARS ? gs.curr_bar : EMPTY_BAR;
  Bar_Find_Row_Containing(curr, gs.bar_selection[curr]);
}

// --- Painting and the mouse -----------------------------------------------------------------

void Bar_Paint(const Rect& area) {
  const a_bar bar = gs.curr_bar < NBARS ? gs.curr_bar : EMPTY_BAR;
  a_bar_row_desc& d = gs.bard[bar];
  // The cells are measured again for an area that is not the one measured
  // (the bar's own area lies at its right, after the row buttons).
  const Rect& m = g_measured_area;
  // The families may have changed since (another unit's canvases).
  if (area.top != m.top || area.bottom != m.bottom || area.right != m.right || area.left < m.left)
    Bar_Calc_All_Desc(area);
  else
    Bar_Recount();
  Cursor_Push_Watch();
  SetForeColor24(kBarGrey);
  PaintRect(area);
  ForeColor(1);
  if (!Bar_Is_Empty(bar) && d.drawproc != nullptr) {
    if (Is_Palette_Bar(bar)) {
      for (int16 id = d.first_id; id <= d.last_id; ++id) {
        Rect r;
        if (PaletteToRect(d, area, id, r)) d.drawproc(id, r);
      }
    } else {
      for (int32 i = 0; i < d.ncells_tot; ++i) {
        const int32 id = int32(d.rowstart_id) + i;
        if (id > d.last_id) break;
        Rect r;
        if (!Bar_ID_To_Rect(bar, area, int16(id), r)) continue;
        d.drawproc(int16(id), r);
        if (bar == STAMP_BAR) {
          SetForeColor24(kBarGrey);
          FrameRect(r);
          ForeColor(1);
        }
      }
    }
    if (d.showselect && (gs.fill_kind == d.fill_kind || gs.tool_net == TEXT_TOOL))
      Frame_Element(d, bar, area, gs.bar_selection[bar], true);
  }
  Cursor_Pop();
}

void Bar_DrawElementFrame(int16 id, bool8 selected) {
  const a_bar bar = gs.curr_bar < NBARS ? gs.curr_bar : EMPTY_BAR;
  if (Bar_Is_Empty(bar)) return;
  In_Bar([&](const Rect& area) { Frame_Element(gs.bard[bar], bar, area, id, selected); });
}

void Bar_MouseDown(const a_mousestroke& stroke) {
  HWND window = nullptr;
  Rect area;
  if (!Custom_Get_Info(CUSTOM_BAR, window, area)) return;
  const a_bar bar = gs.curr_bar < NBARS ? gs.curr_bar : EMPTY_BAR;
  const int16 id = Bar_Find_Element(bar, area, stroke.lmouse);
  if (!stroke.button1) {
    if (id == BAR_NO_ID) {
      Cursor_Set_Shape(ARROW_CURSOR);
      Annot_Zap();
      return;
    }
    Cursor_Set_Shape(Is_Palette_Bar(bar) ? EYEDROPPER_CURSOR : FINGER_CURSOR);
    Rect r;
    Bar_ID_To_Rect(bar, area, id, r);
    a_annot_spec spec{};
    spec.kind = ANNOT_BAR;
    spec.just = JUST_LEFT;
    spec.ix = bar;
    spec.subx = id;
    spec.delay1 = 60;
    spec.delay2 = 60;
    spec.gref = Client_To_Screen_Rect(window, r);
    Annot_Set_Targ(spec);
    return;
  }
  Annot_Zap();
  Flush_Jump();
  if (id == BAR_NO_ID) {
    Sound_Effect(SND_NULL);
    return;
  }
  const bool8 shift = (stroke.mods & Keymod_Bit(SHIFTKEY)) != 0;
  const bool8 ctrl = (stroke.mods & Keymod_Bit(OPTIONKEY)) != 0;
  if (Is_Palette_Bar(bar) && (shift || ctrl) && id >= 0 && id < NCUSTOM_COLORS) {
    Sound_Effect(SND_SUBTOOL_ONESHOT);
    a_win_pixel32 color = gs.color_table[id];
    static constexpr char kPrompt[] = "Please choose a color...";
    if (Pick_Color(CStrSpan(kPrompt, sizeof kPrompt - 1), color)) {
      color.a = gs.color_table[id].a;
      gs.color_table[id] = color;
      gs.pref.colors[id] = a_pixel24{color.r, color.g, color.b};
      // The entry changed under a selection that may stay the same: it is
      // applied again then.
      const bool8 same = gs.curr_bar == bar && gs.bar_selection[bar] == id;
      Bar_JumpToID(false, bar, id);
      if (same && gs.bard[bar].selectproc != nullptr) gs.bard[bar].selectproc();
    }
    Custom_Inval(CUSTOM_BAR);
    return;
  }
  Sound_Effect(SND_BAR_SELECT);
  Bar_JumpToID(gs.bard[bar].resetsliders && !shift, bar, id);
}

// --- Choosing -------------------------------------------------------------------------

void Bar_JumpToID(bool8 reset_sliders, a_bar bar, int16 id) {
  if (bar >= NBARS) return;
  const a_bar_row_desc& d = gs.bard[bar];
  if (id != BAR_NO_ID) {
    // A bar without elements has nothing to choose.
    if (Bar_Is_Empty(bar)) {
      Sound_Effect(SND_NULL);
      Flush_Jump();
      return;
    }
    id = Clamp_ID(d, id);
  }
  const bool8 marked = d.showselect && id == gs.bar_selection[bar];
  if (gs.curr_bar == bar && marked) {
    if (Bar_Align_Row(id)) Inval_Bar();
  } else {
    Bar_JumpToID2(!marked, reset_sliders, bar, id);
  }
  Flush_Jump();
}

void Bar_JumpToID2(bool8 call_select, bool8 reset_sliders, a_bar bar, int16 id) {
  if (bar >= NBARS) return;
  const bool8 changed = gs.curr_bar != bar;
  if (changed) SV_Set_Enum(SV_CURR_BAR, bar);
  bool8 scrolled = false;
  a_bar_row_desc& d = gs.bard[bar];
  if (Is_Real_Bar(bar) && id != BAR_NO_ID && !Bar_Is_Empty(bar)) {
    id = Clamp_ID(d, id);
    scrolled = Bar_Align_Row(id);
    const int16 old = gs.bar_selection[bar];
    const bool8 in_place = (gs.controller == HUMAN || gs.controller == GHOST) && !scrolled && !changed;
    if (in_place && d.showselect && old != id) Bar_DrawElementFrame(old, false);
    gs.bar_selection[bar] = id;
    if (in_place && d.showselect) Bar_DrawElementFrame(id, true);
    if (call_select && d.selectproc != nullptr) d.selectproc();
  }
  if (changed || scrolled || gs.controller == GHOST2 || gs.controller == STEALTH) Inval_Bar();
  if (reset_sliders) Warp_Slider_Default();
}

void Bar_Blast(a_bar bar, int16 id) {
  if (bar >= NBARS) return;
  if (bar == gs.curr_bar) {
    Bar_JumpToID2(false, false, bar, id);
    return;
  }
  if (Bar_Is_Empty(bar) || id == BAR_NO_ID) return;
  const int16 old = gs.bar_selection[bar];
  gs.bar_selection[bar] = Clamp_ID(gs.bard[bar], id);
  if (bar == FONT_BAR && gs.curr_bar == GLYPH_BAR && gs.bar_selection[bar] != old) Glyph_List_Init();
}

namespace {
// A tag shows its bar with the bar's own selection (nothing particular on a
// bar without elements).
void Jump_To_Own(a_bar bar) {
  Bar_JumpToID(false, bar, Bar_Is_Empty(bar) ? BAR_NO_ID : gs.bar_selection[bar]);
}
}  // namespace

void Bar_Jump_Stamp() { Jump_To_Own(STAMP_BAR); }
void Bar_Jump_Border() { Jump_To_Own(BORDER_BAR); }
void Bar_Jump_Canvas() {
  Set_Ids(CANVAS_BAR, 1, Canvas_Count(Curr_Unit_Kind()));
  Keep_Within(CANVAS_BAR);
  Count_Rows(gs.bard[CANVAS_BAR]);
  Jump_To_Own(CANVAS_BAR);
}
void Bar_Jump_Gradient() { Jump_To_Own(GRADIENT_BAR); }
void Bar_Jump_Pattern() { Jump_To_Own(PATTERN_BAR); }
void Bar_Jump_Font() { Jump_To_Own(FONT_BAR); }
void Bar_Jump_Palette() { Jump_To_Own(PAINT_COLORBAR); }
void Bar_Jump_Grid_Color() { Jump_To_Own(GRIDLINES_COLORBAR); }
void Bar_Jump_Outl_Color() { Jump_To_Own(EDGE_OUTL_COLORBAR); }
void Bar_Jump_Cutl_Color() { Jump_To_Own(CUTLINES_COLORBAR); }
void Bar_Jump_Bord_Color() { Jump_To_Own(EDGE_BORD_COLORBAR); }
void Bar_Jump_Symb_Color() { Jump_To_Own(SYMBOLS_COLORBAR); }
void Bar_Jump_Layers() { SV_Set_Enum(SV_CURR_BAR, LAYER_BAR); }
void Bar_Jump_Glyphs() {
  Glyph_List_Init();
  Bar_JumpToID(false, GLYPH_BAR, BAR_NO_ID);
}

bool8 Calc_Hilite_Canvas(int16) { return gs.curr_bar == CANVAS_BAR; }
bool8 Calc_Hilite_Stamp(int16) { return gs.curr_bar == STAMP_BAR; }
bool8 Calc_Hilite_Glyphs(int16) { return gs.curr_bar == GLYPH_BAR; }
bool8 Calc_Hilite_Palette(int16) { return gs.curr_bar == PAINT_COLORBAR; }
bool8 Calc_Hilite_Font(int16) { return gs.curr_bar == FONT_BAR; }
bool8 Calc_Hilite_Layers(int16) { return gs.curr_bar == LAYER_BAR; }
bool8 Calc_Hilite_Pattern(int16) { return gs.curr_bar == PATTERN_BAR; }
bool8 Calc_Hilite_Border(int16) { return gs.curr_bar == BORDER_BAR; }
bool8 Calc_Hilite_Gradient(int16) { return gs.curr_bar == GRADIENT_BAR; }
bool8 Calc_Hilite_Grid_Color(int16) { return gs.curr_bar == GRIDLINES_COLORBAR; }
bool8 Calc_Hilite_Outl_Color(int16) { return gs.curr_bar == EDGE_OUTL_COLORBAR; }
bool8 Calc_Hilite_Cutl_Color(int16) { return gs.curr_bar == CUTLINES_COLORBAR; }
bool8 Calc_Hilite_Bord_Color(int16) { return gs.curr_bar == EDGE_BORD_COLORBAR; }
bool8 Calc_Hilite_Symb_Color(int16) { return gs.curr_bar == SYMBOLS_COLORBAR; }

int16 Calc_Hilite_TextPhase(int16 page) {
  if (gs.grid_vals[TEXT_PHASE_GRID] == page) return 1;
  const a_toggle_enum effects[] = {TEXT_OUTL_TOGGLE, TEXT_GLOW_TOGGLE, TEXT_SHAD_TOGGLE};
  if (page >= 1 && page <= 3 && gs.toggle_vals[effects[page - 1]]) return 2;
  return 0;
}

void Synchronize_Rings(a_bar bar) {
  if (bar >= NBARS) return;
  for (int16 r = 0; r < NRINGS; ++r)
    if ((gs.ring_capability[r] & Bar_Bit(bar)) != 0) gs.bar_in_ring[r] = bar;
}

void Dropper_Jump_Back() {
  Synchronize_Rings(PAINT_COLORBAR);
  if (gs.controller == HUMAN) Grid_SetVal_Silent(TOOL_GRID, gs.dropper_jump);
}

namespace {
void Text_Effect_Color(a_toggle_enum toggle) {
  if (!gs.toggle_vals[toggle]) Toggle_Blast(toggle, true);
  History_Set_Pending(OP_TEXT_ADJUST);
  Delta_Text_Minor();
}
a_win_pixel32 Bar_Color(a_bar bar) {
  const int16 id = gs.bar_selection[bar];
  return id >= 0 && id < std::min<int32>(gs.ncolor_table, NCOLOR_TABLE) ? gs.color_table[id] : a_win_pixel32{};
}
}  // namespace

void TextOutl_Color_Select() { Text_Effect_Color(TEXT_OUTL_TOGGLE); }
void TextGlow_Color_Select() { Text_Effect_Color(TEXT_GLOW_TOGGLE); }
void TextShad_Color_Select() { Text_Effect_Color(TEXT_SHAD_TOGGLE); }
void CutLines_Color_Select() {
  gs.pref.cutlines_color = Bar_Color(CUTLINES_COLORBAR);
  Repaint_All();
}
void GridLines_Color_Select() {
  gs.pref.gridlines_color = Bar_Color(GRIDLINES_COLORBAR);
  Repaint_All();
}
void EdgeOutl_Color_Select() {
  History_Set_Pending(OP_PHOTO_ADJUST);
  Delta_Photo();
}
void EdgeBord_Color_Select() {
  History_Set_Pending(OP_PHOTO_ADJUST);
  Delta_Photo();
}
void Symbols_Color_Select() {
  History_Set_Pending(OP_SYMBOL_SETCOLOR);
  Delta_Symbol();
}

// --- Screenfuls and keys ---------------------------------------------------------------

void Bar_PrevRow() {
  if (gs.curr_bar < NBARS) Prev_Row(gs.bard[gs.curr_bar]);
}

void Bar_NextRow() {
  if (gs.curr_bar < NBARS) Next_Row(gs.bard[gs.curr_bar]);
}

bool8 Bar_Align_Row(int16 id) {
  if (gs.curr_bar >= NBARS) return false;
  a_bar_row_desc& d = gs.bard[gs.curr_bar];
  Rect area;
  if (d.nrows < 2 || !Bar_Area(area) || id < d.first_id || id > d.last_id) return false;
  const int16 start = Row_Of(d, id);
  if (start == d.rowstart_id) return false;
  d.rowstart_id = start;
  return true;
}

void Bar_Find_Row_Containing(a_bar bar, int16 id) {
  if (bar >= NBARS) return;
  gs.bard[bar].rowstart_id = Row_Of(gs.bard[bar], id);
}

void Bar_JumpToPrevRow() {
  Bar_PrevRow();
  Inval_Bar();
  FlushEvents(mDownMask, 0);
}

void Bar_JumpToNextRow() {
  Bar_NextRow();
  Inval_Bar();
  FlushEvents(mDownMask, 0);
}

int16 Bar_CalcSequence() {
  if (gs.curr_bar >= NBARS) return 1;
  const a_bar_row_desc& d = gs.bard[gs.curr_bar];
  return d.ncells_tot > 0 ? int16((d.rowstart_id - d.first_id) / d.ncells_tot + 1) : 1;
}

void Ask_Stamp_Browser() {
  const a_bar bar = gs.curr_bar;
  if (bar >= NBARS || Bar_Is_Empty(bar)) {
    Sound_Effect(SND_NULL);
    return;
  }
  const a_bar_row_desc& d = gs.bard[bar];
  int16 chosen = d.showselect ? gs.bar_selection[bar] : d.first_id;
  if (Browser_Choose(bar, chosen)) Bar_JumpToID(true, bar, chosen);
}

void Ask_Stamp_Category() { Ask_Stamp_Browser(); }

void Bar_Index_Draw(const Rect& bounds, a_pixt* pixt) {
  const a_oneshot_item& item = g_oneshots[BAR_INDEX_BUTTON];
  if (pixt != nullptr && pixt->bits != nullptr)
    Pixt_DrawPartial(*pixt, item.src_rect, bounds, item.translucent ? ALPHA : transparent, nullptr);
  char number[8];
  const int n = std::snprintf(number, sizeof number, "%d", int(Bar_CalcSequence()));
  SetFont(gs.font_12pt);
  SetForeColor(0, 0, 0);
  {
    const Transparent_Text transparent;
    DrawStringCentered(CStrSpan(number, size_t(std::max(n, 0))), bounds);
  }
  ForeColor(1);
}

namespace {
bool Shown(a_oneshot_enum ix) { return g_oneshots[ix].nodex != 0; }
}  // namespace

bool8 Bar_Arrow_KeyFilter(const a_keystroke& key) {
  const a_bar bar = gs.curr_bar;
  if (bar >= NBARS) return false;
  const a_bar_row_desc& d = gs.bard[bar];
  const uint8 c = key.charcode;
  const uint8 v = c == 0 ? key.virtcode : 0;
  if (v == VK_PRIOR || c == '[' || v == VK_NEXT || c == ']') {
    const a_oneshot_enum button = v == VK_PRIOR || c == '[' ? BAR_PREV_BUTTON : BAR_NEXT_BUTTON;
    if (!Shown(button)) return false;
    Oneshot_Click(button);
    return true;
  }
  const bool home = v == VK_HOME || c == '{', end = v == VK_END || c == '}';
  const bool up = v == VK_UP, down = v == VK_DOWN, left = v == VK_LEFT, right = v == VK_RIGHT;
  if (!(home || end || up || down || left || right) || !d.showselect) return false;
  if (Bar_Is_Empty(bar)) {
    Sound_Effect(SND_NULL);
    return true;
  }
  const int32 sel = gs.bar_selection[bar];
  const bool tblr = d.order == TBLR;
  int32 next = sel;
  if (home) next = d.first_id;
  else if (end) next = d.last_id;
  else if (up) next = sel - (tblr ? 1 : std::max<int16>(1, d.ncells_h));
  else if (down) next = sel + (tblr ? 1 : std::max<int16>(1, d.ncells_h));
  else if (left) next = sel - (tblr ? std::max<int16>(1, d.ncells_v) : 1);
  else next = sel + (tblr ? std::max<int16>(1, d.ncells_v) : 1);
  bool wrapped = false;
  if (next < d.first_id) {
    next = d.last_id;
    wrapped = true;
  } else if (next > d.last_id) {
    next = d.first_id;
    wrapped = true;
  }
  Sound_Effect(wrapped ? SND_NULL : SND_SUBTOOL_ONESHOT);
  Bar_JumpToID(true, bar, int16(next));
  return true;
}

bool8 BarTags_KeyFilter(const a_keystroke& key) { return Bar_Arrow_KeyFilter(key); }

bool8 I_KeyFilter(const a_keystroke& key) {
  if (key.charcode != 'i' && key.charcode != 'I') return false;
  if ((key.mods & (Keymod_Bit(OPTIONKEY) | Keymod_Bit(COMMANDKEY))) != 0) return false;
  if (!Shown(BAR_INDEX_BUTTON)) return false;
  Oneshot_Click(BAR_INDEX_BUTTON);
  return true;
}

// --- Font thumbnails ------------------------------------------------------------------

namespace {

uint32 Font_Count() {
  uint32 first = 1, last = 0;
  Count_Fonts(first, last);
  return last;
}

// Whether the font selected in the sample world for the entry named name
// draws in the entry's own face: the host resolved the name to the same
// family, from a file that is still there.
bool Font_Is_Drawable(CUStrSpan name) {
  HDC dc = Get_GWorld_HDC(g_sample_world);
  HFONT font = dc != nullptr ? Host_DC_Font(dc) : nullptr;
  HostFontFaceInfo info;
  if (font == nullptr || !Host_Font_Describe(font, &info) || info.file.empty()) return false;
  if (FILE* f = std::fopen(info.file.c_str(), "rb")) {
    std::fclose(f);
  } else {
    return false;
  }
  size_t n = 0;
  while (n < name.size() && name[n] != 0) ++n;
  const std::string want = Host_Utf16_To_Utf8(name.data(), n);
  return want.size() == info.family.size() &&
         std::equal(want.begin(), want.end(), info.family.begin(), [](char a, char b) {
           return (a >= 'A' && a <= 'Z' ? a + 32 : a) == (b >= 'A' && b <= 'Z' ? b + 32 : b);
         });
}

int16 Units(CUStrSpan s) {
  int16 n = 0;
  while (n < int16(s.size()) && s[size_t(n)] != 0) ++n;
  return n;
}

// Draws len units at x on the baseline in that font; the pen's x after them.
int16 Draw_Run(const a_fontspec& spec, int16 x, int16 baseline, const UniChar* s, int32 len) {
  if (len <= 0) return x;
  Draw_Unicode_Text(spec, x, baseline, s, len);
  SetFont(spec);
  return int16(x + uStringWidth2(s, len));
}

}  // namespace

void Font_Cache_Stop() {
  if (!Is_Null_PixMap(g_font_cache.samples)) Dispose_PixMap(g_font_cache.samples);
  Null_PixMap(g_font_cache.samples);
  if (g_sample_world != nullptr) Dispose_GWorld(g_sample_world);
  g_sample_world = nullptr;
  g_font_cache.nfonts = 0;
  g_font_todo = 0;
}

void Font_Cache_Init() {
  Font_Cache_Stop();
  const uint32 n = Font_Count();
  g_font_cache.size = Point{FONT_CELL_V, FONT_CELL_H};
  g_font_cache.nfonts = n;
  g_font_todo = 0;
  if (n == 0) return;
  const int32 rows = int32((n + FONT_CACHE_PER_ROW - 1) / FONT_CACHE_PER_ROW);
  New_PixMap(g_font_cache.samples, Rect{0, 0, int16(rows * FONT_CELL_V), int16(FONT_CACHE_PER_ROW * FONT_CELL_H)}, 8,
             gray_ctable2);
  if (Is_Null_PixMap(g_font_cache.samples) ||
      New_GWorld(Rect{0, 0, FONT_CELL_V, FONT_CELL_H}, 32, nullptr, g_sample_world) != noErr) {
    Font_Cache_Stop();
    return;
  }
  for (uint32 f = 1; f <= n; ++f)
    if (!Is_Font_Thumbnailed(f)) ++g_font_todo;
}

int32 Font_Cache_Todo() { return g_font_todo; }

const PixMap& Font_Cache_Samples() { return g_font_cache.samples; }

bool8 Font_Cache_Box(uint32 fontx, Rect& box) {
  box = Rect{0, 0, 0, 0};
  if (fontx < 1 || fontx > g_font_cache.nfonts || Is_Null_PixMap(g_font_cache.samples)) return false;
  const int32 i = int32(fontx - 1);
  const int16 left = int16(i % FONT_CACHE_PER_ROW * FONT_CELL_H), top = int16(i / FONT_CACHE_PER_ROW * FONT_CELL_V);
  box = Rect{top, left, int16(top + FONT_CELL_V), int16(left + FONT_CELL_H)};
  return true;
}

void Make_Font_Thumbnail(uint32 fontx) {
  Rect box;
  if (!Font_Cache_Box(fontx, box) || g_sample_world == nullptr) return;
  UniChar name[kFontNameUnits] = {};
  FontX_To_Name(fontx, UStrSpan(name, kFontNameUnits));
  const int16 nlen = Units(CUStrSpan(name, kFontNameUnits));
  const a_font_attrib_set attrib = Get_Font_Attrib(fontx);
  const bool symbolic = (attrib & (Attrib_Bit(IS_PI_FONT) | Attrib_Bit(IS_SP_FONT))) != 0;
  const int16 baseline = FONT_CELL_V * 3 / 4;

  Push_GWorld(g_sample_world);
  const Rect cell{0, 0, FONT_CELL_V, FONT_CELL_H};
  SetForeColor(255, 255, 255);
  PaintRect(cell);
  SetForeColor(0, 0, 0);
  TextMode(srcOr);
  a_fontspec own;
  Null_FontSpec(own);
  own.fontID = fontx;
  own.size = kThumbnailSize;
  SetFont(own);
  const bool drawable = Font_Is_Drawable(CUStrSpan(name, kFontNameUnits));
  // A font that cannot write its own name (a script without Latin letters)
  // would show a row of boxes: it gets its name in the interface font, as a
  // symbol font does.
  bool writes_name = drawable;
  for (int16 i = 0; i < nlen && writes_name; ++i)
    writes_name = name[i] == ' ' || Is_Glyph_Avail(fontx, name[i]);
  if (writes_name && !symbolic) {
    Draw_Run(own, 2, baseline, name, nlen);
  } else {
    a_fontspec ui = gs.font_12pt;
    ui.size = kThumbnailSize;
    ui.effects = 0;
    int16 x = 2;
    if ((attrib & Attrib_Bit(IS_PI_FONT)) != 0) {
      static constexpr UniChar kSquare[] = {0x25AA, ' '};
      x = Draw_Run(ui, x, baseline, kSquare, 2);
    }
    x = Draw_Run(ui, x, baseline, name, nlen);
    // What a few letters look like in a symbol font.
    if (drawable) {
      UniChar letters[4];
      int32 n = 0;
      for (UniChar c = 'a'; c <= 'd'; ++c)
        if (Is_Glyph_Avail(fontx, c)) letters[n++] = c;
      if (n > 0) {
        static constexpr UniChar kOpen[] = {' ', '('}, kClose[] = {')'};
        x = Draw_Run(ui, x, baseline, kOpen, 2);
        x = Draw_Run(own, x, baseline, letters, n);
        Draw_Run(ui, x, baseline, kClose, 1);
      }
    }
  }
  TextMode(srcCopy);
  ForeColor(1);
  Pop_GWorld();

  // One channel of the sample into the font's cell.
  const PixMap* src = Get_GWorld_PixMap(g_sample_world);
  PixMap& dst = g_font_cache.samples;
  const uint32 srb = PixMap_RowBytes(*src), drb = PixMap_RowBytes(dst);
  for (int16 y = 0; y < FONT_CELL_V; ++y) {
    const auto* s = reinterpret_cast<const a_win_pixel32*>(reinterpret_cast<const uint8*>(src->baseAddr) + y * srb);
    uint8* d = reinterpret_cast<uint8*>(dst.baseAddr) + (box.top + y) * drb + box.left;
    for (int16 x = 0; x < FONT_CELL_H; ++x) d[x] = s[x].g;
  }
  if (!Is_Font_Thumbnailed(fontx)) {
    Mark_As_Thumbnailed(fontx);
    if (g_font_todo > 0) --g_font_todo;
  }
}

bool8 Font_Cache_Step() {
  if (g_font_todo <= 0) return false;
  if (g_font_cache.nfonts != Font_Count()) Font_Cache_Init();
  for (uint32 f = 1; f <= g_font_cache.nfonts; ++f) {
    if (Is_Font_Thumbnailed(f)) continue;
    Make_Font_Thumbnail(f);
    return true;
  }
  // The count was wrong: every font has its sample.
  g_font_todo = 0;
  return false;
}

void Font_DrawElement(int16 id, const Rect& r) {
  const uint32 fontx = uint32(std::max<int16>(id, 0));
  if (g_font_cache.nfonts != Font_Count()) Font_Cache_Init();
  Rect box;
  if (!Font_Cache_Box(fontx, box)) return;
  if (!Is_Font_Thumbnailed(fontx)) {
    Make_Font_Thumbnail(fontx);
    const uint32 now = TickCount();
    if (now - g_thumbnail_last >= kCursorStepTicks) {
      g_thumbnail_last = now;
      g_thumbnail_cursorx = int16((g_thumbnail_cursorx + 1) % 4);
      Cursor_Set_Shape(a_cursor_shape(FONT0_CURSOR + g_thumbnail_cursorx));
    }
  }
  SetForeColor(255, 255, 255);
  PaintRect(r);
  ForeColor(1);
  const int16 w = std::min<int16>(FONT_CELL_H, int16(r.right - r.left));
  const int16 h = std::min<int16>(FONT_CELL_V, int16(r.bottom - r.top));
  if (w <= 0 || h <= 0) return;
  const int16 left = int16(r.left + (r.right - r.left - w) / 2), top = int16(r.top + (r.bottom - r.top - h) / 2);
  const Rect src{box.top, box.left, int16(box.top + h), int16(box.left + w)};
  Pix_To_Port(&g_font_cache.samples, nullptr, src, Rect{top, left, int16(top + h), int16(left + w)}, srcCopy,
              nullptr);
}

// --- The glyph bar -----------------------------------------------------------------------

namespace {

// The accented letters and signs offered for text fonts, in their order.
constexpr UniChar kAccented[] = {
    0x00A9, 0x00AE, 0x2122, 0x00AA, 0x00E3, 0x00E4, 0x00E1, 0x00E2, 0x00E0, 0x00E5, 0x0103, 0x0105, 0x00E6, 0x00E7,
    0x0107, 0x010D, 0x010F, 0x0111, 0x00F0, 0x00E9, 0x00EA, 0x00E8, 0x00EB, 0x011B, 0x0119, 0x00ED, 0x00EE, 0x00EC,
    0x00EF, 0x0131, 0x013A, 0x013E, 0x0142, 0x00F1, 0x0144, 0x0148, 0x00BA, 0x00F5, 0x00F3, 0x0151, 0x00F4, 0x00F2,
    0x00F6, 0x0153, 0x00FE, 0x0155, 0x0159, 0x015B, 0x0161, 0x015F, 0x0165, 0x0163, 0x00FA, 0x0171, 0x00FB, 0x00FC,
    0x00F9, 0x016F, 0x00FD, 0x00C1, 0x00C2, 0x00C0, 0x00C4, 0x00C5, 0x0102, 0x0104, 0x00C6, 0x0106, 0x010C, 0x00C7,
    0x010E, 0x00D0, 0x00C9, 0x00CA, 0x00C8, 0x00CB, 0x0114, 0x0118, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x0139, 0x0141,
    0x013D, 0x00D1, 0x0143, 0x0147, 0x00D5, 0x00D3, 0x0150, 0x00D4, 0x00D2, 0x00D6, 0x00D8, 0x0152, 0x00DE, 0x0154,
    0x0158, 0x015A, 0x0160, 0x015E, 0x00DF, 0x0164, 0x0162, 0x00DA, 0x0170, 0x00DB, 0x00DC, 0x00D9, 0x016E, 0x00DD,
    0x0178, 0x0179, 0x017D, 0x017B, 0x20AC, 0x00A3, 0x00A5, 0x0192, 0x00A1, 0x00BF, 0x2018, 0x2019, 0x2039, 0x203A,
    0x00AB, 0x00BB, 0x201C, 0x201D, 0x201E, 0x2026, 0x2014, 0x2022, 0x00B0, 0x2032, 0x2033, 0x00B9, 0x00B2, 0x00B3,
};
static_assert(std::size(kAccented) == 140);

void Add_Glyph(uint32 fontx, UniChar c) {
  if (n_glyphs < MAX_GLYPHS && Is_Glyph_Avail(fontx, c)) g_glyphs[n_glyphs++] = a_glyph_item{c, fontx};
}

}  // namespace

void Glyph_List_Build(uint32 fontx) {
  n_glyphs = 0;
  g_glyph_fontx = fontx;
  // The font is tried in a scratch port, leaving the window's font alone.
  GWorldPtr scratch = nullptr;
  if (fontx >= 1 && fontx <= Font_Count() && New_GWorld(Rect{0, 0, 1, 1}, 32, nullptr, scratch) == noErr) {
    Push_GWorld(scratch);
    if ((Get_Font_Attrib(fontx) & Attrib_Bit(IS_PI_FONT)) != 0) {
      for (UniChar c = 33; c <= 126; ++c) Add_Glyph(fontx, c);
      for (UniChar c = 160; c <= 255; ++c) Add_Glyph(fontx, c);
    } else {
      for (UniChar c : kAccented) Add_Glyph(fontx, c);
    }
    Pop_GWorld();
    Dispose_GWorld(scratch);
  }
  a_bar_row_desc& d = gs.bard[GLYPH_BAR];
  Set_Ids(GLYPH_BAR, 1, n_glyphs);
  Keep_Within(GLYPH_BAR);
  Count_Rows(d);
  if (gs.curr_bar == GLYPH_BAR) Custom_Inval(CUSTOM_BAR);
}

void Glyph_List_Init() {
  const uint32 fontx = uint32(std::max<int16>(0, gs.bar_selection[FONT_BAR]));
  if (g_glyph_fontx != 0 && fontx == g_glyph_fontx) return;
  Glyph_List_Build(fontx);
}

void Glyph_DrawElement(int16 id, const Rect& r) { Glyph_DrawElement2(false, id, r); }

void Glyph_DrawElement2(bool8 hilite, int16 id, const Rect& r) {
  if (id < 1 || id > n_glyphs) return;
  const a_glyph_item& g = g_glyphs[id - 1];
  constexpr a_pixel24 kShadow[4] = {{164, 160, 160}, {139, 139, 139}, {119, 119, 119}, {99, 99, 99}};
  const Rect tile{r.top, r.left, int16(r.bottom - 4), int16(r.right - 4)};
  if (EmptyRect(tile)) return;
  for (int16 step = 0; step < 4; ++step) {
    SetForeColor24(kShadow[step]);
    PaintRoundRect(Moved(tile, int16(4 - step), int16(4 - step)), 11, 11);
  }
  SetForeColor24(hilite ? a_pixel24{247, 255, 183} : a_pixel24{255, 251, 247});
  PaintRoundRect(tile, 11, 11);
  SetForeColor24(hilite ? a_pixel24{247, 239, 51} : a_pixel24{217, 187, 183});
  FrameRoundRect(tile, 11, 11);
  // The character at three quarters of the tile's height, smaller while it
  // is too wide.
  a_fontspec spec;
  Null_FontSpec(spec);
  spec.fontID = g.fontx;
  const int16 tw = int16(tile.right - tile.left), th = int16(tile.bottom - tile.top);
  int16 width = 0;
  for (spec.size = std::max<int32>(1, th * 3 / 4); spec.size > 1; --spec.size) {
    SetFont(spec);
    width = uStringWidth2(&g.uchar, 1);
    if (width < tw - 2) break;
  }
  SetFont(spec);
  width = uStringWidth2(&g.uchar, 1);
  a_font_info info{};
  Get_Font_Info(info);
  const int16 x = int16(tile.left + (tw - width) / 2);
  const int16 y = int16(tile.top + (th + info.ascent - info.descent) / 2);
  SetForeColor24(hilite ? a_pixel24{255, 0, 0} : a_pixel24{99, 23, 71});
  {
    const Transparent_Text transparent;
    Draw_Unicode_Text(spec, x, y, &g.uchar, 1);
  }
  ForeColor(1);
}

void Glyph_Select() {
  const int16 id = gs.bar_selection[GLYPH_BAR];
  if (id < 1 || id > n_glyphs) {
    Sound_Effect(SND_NULL);
    return;
  }
  const UniChar c = g_glyphs[id - 1].uchar;
  Begin_Selection_Change();
  Obj_Select_None_Except(TEXT_BLOCK);
  End_Selection_Change();
  switch (Count(true, TEXT_KINDS)) {
    case 0: Text_Inject_Unicode(&c, 1); break;
    case 1: Ed_Ins_UBuf(&c, 1); break;
    default: Sound_Effect(SND_NULL); break;
  }
}

// --- The copy counter ------------------------------------------------------------------------

namespace {

constexpr int16 kDigitStep = 37;
constexpr int16 kDigitW = 32;
constexpr int16 kDigitH = 28;
constexpr int16 kDigitTop = 34;
constexpr int16 kPlaces[3] = {100, 10, 1};

Rect Digit_Box(const Rect& area, int16 i) {
  const int16 left = int16(area.left + (area.right - area.left - (2 * kDigitStep + kDigitW)) / 2 + i * kDigitStep);
  const int16 top = int16(area.top + kDigitTop);
  return Rect{top, left, int16(top + kDigitH), int16(left + kDigitW)};
}
Rect Up_Triangle(const Rect& box) {
  const int16 h = int16(ART_COPY_UP.bottom - ART_COPY_UP.top);
  return Rect{int16(box.top - h - 2), box.left, int16(box.top - 2), box.right};
}
Rect Down_Triangle(const Rect& box) {
  const int16 h = int16(ART_COPY_DOWN.bottom - ART_COPY_DOWN.top);
  return Rect{int16(box.bottom + 2), box.left, int16(box.bottom + 2 + h), box.right};
}

}  // namespace

void QCombo_Paint(const Rect& area) {
  Draw_Node_Background(NX_To_Loc(g_custom[CUSTOM_QCOMBO].nodex), area);
  a_pixt arrows;
  Null_Pixt(arrows);
  if (Pixt_Exists(ART_PICT_COPY_ARROWS)) (void)KPixt_Load_Checked(Pixt_Key(ART_PICT_COPY_ARROWS), arrows);
  const int16 n = std::clamp<int16>(g_doc.doc_ncopies, 0, 999);
  a_fontspec font = gs.font_18pt;
  for (int16 i = 0; i < 3; ++i) {
    const Rect box = Digit_Box(area, i);
    if (arrows.bits != nullptr) {
      Pixt_DrawPartial(arrows, ART_COPY_UP, Up_Triangle(box), ALPHA, nullptr);
      Pixt_DrawPartial(arrows, ART_COPY_DOWN, Down_Triangle(box), ALPHA, nullptr);
    }
    SetForeColor(255, 255, 255);
    PaintRect(box);
    SetForeColor(131, 143, 111);
    FrameRect(box);
    Rect inner = box;
    InsetRect(inner, 1, 1);
    SetForeColor(199, 211, 181);
    FrameRect(inner);
    // Leading zeros stay blank.
    if (n >= kPlaces[i] || i == 2) {
      const UniChar digit = UniChar('0' + n / kPlaces[i] % 10);
      SetFont(font);
      a_font_info info{};
      Get_Font_Info(info);
      const int16 w = uStringWidth2(&digit, 1);
      SetForeColor(0, 0, 0);
      const Transparent_Text transparent;
      Draw_Unicode_Text(font, int16(box.left + (kDigitW - w) / 2),
                        int16(box.top + (kDigitH + info.ascent - info.descent) / 2), &digit, 1);
    }
  }
  ForeColor(1);
  Pixt_Unload(arrows);
}

void QC_Delta(int16 d) {
  const int32 want = int32(g_doc.doc_ncopies) + d;
  const int32 got = std::clamp<int32>(want, 0, 999);
  Sound_Effect(got != want ? SND_LIMIT : SND_SUBTOOL_ONESHOT);
  g_doc.doc_ncopies = int16(got);
  Custom_Inval(CUSTOM_QCOMBO);
}

void QCombo_MouseDown(const a_mousestroke& stroke) {
  HWND window = nullptr;
  Rect area;
  if (!Custom_Get_Info(CUSTOM_QCOMBO, window, area)) return;
  for (int16 i = 0; i < 3; ++i) {
    const Rect box = Digit_Box(area, i);
    const bool up = PtInRect(stroke.lmouse, Up_Triangle(box)), down = PtInRect(stroke.lmouse, Down_Triangle(box));
    if (!up && !down) continue;
    if (!stroke.button1) {
      Cursor_Set_Shape(FINGER_CURSOR);
      return;
    }
    QC_Delta(up ? kPlaces[i] : int16(-kPlaces[i]));
    return;
  }
  if (!stroke.button1) Cursor_Set_Shape(ARROW_CURSOR);
}

bool8 QCombo_KeyFilter(const a_keystroke& key) {
  if (key.charcode != 0 || (key.virtcode != VK_UP && key.virtcode != VK_DOWN)) return false;
  const int16 step = (key.mods & Keymod_Bit(OPTIONKEY)) != 0 ? 10 : 1;
  QC_Delta(key.virtcode == VK_UP ? step : int16(-step));
  return true;
}
