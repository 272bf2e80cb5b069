// The palette bar: the grid of elements at the bottom of the main window
// (colours, stamps, patterns, gradients, borders, canvases, symbols, fonts,
// glyphs, paper layouts), one bar shown at a time (gs.curr_bar). Each bar is
// described by its row of gs.bard: its ids, cell geometry for the bar area,
// drawing and select procedures, the fill it sets and how it orders its
// cells. A choice in a bar stores the bar's selection (gs.bar_selection) and
// runs its select procedure. The module also keeps the font thumbnails and
// their idle-time cache, the glyph bar's list, the phase selector of the
// phase strip and the copy counter of the FlexStick panel.
#pragma once

#include "platform/SysLoop.h"  // a_mousestroke, a_keystroke
#include "platform/Types.h"
#include "platform/VoskDef.h"

// --- The phase selector -------------------------------------------------------------

// The strip's size, and the phases it offers in the order of their buttons.
constexpr int16 PHASE_STRIP_WIDTH = 350;
constexpr int16 PHASE_STRIP_HEIGHT = 56;
constexpr int16 NPHASE_BUTTONS = 7;
constexpr a_phase PHASE_BUTTON_PHASES[NPHASE_BUTTONS] = {
    PREVIEW_PHASE, PAINT_PHASE, CANVAS_PHASE, SYMBOL_PHASE, PHOTO_PHASE, GRID_PHASE, TEXT_PHASE,
};

// The button of phase in a strip whose top-left corner is area's; FALSE (r
// empty) for a phase without a button.
bool8 Phase_Button_Rect(a_phase phase, const Rect& area, Rect& r);
// The phase whose button holds pt (window coordinates) in the strip at area;
// NULL_PHASE outside every button.
a_phase Phase_Find(const Rect& area, Point pt);

// Paint and mouse procedures of CUSTOM_PHASE. Each button is drawn from the
// phase picture, the current phase's in its pressed look. Without the button
// the finger cursor shows over a button; a click outside the buttons beeps,
// one on another phase clicks (sound 130), leaving the preview moves a
// clone to its master, and the phase changes (SV_PHASE).
void Phase_Paint(const Rect& area);
void Phase_MouseDown(const a_mousestroke& stroke);

// --- Start-up and the descriptors ------------------------------------------------------

// Every bar's ids, procedures and flags (gs.bard), each bar scrolled to its
// first screenful; the font cache made for the font list, the template list
// built. (The bar's custom area, its row buttons and the tags name their
// procedures in their rows of the item tables.) Bar_Stop frees the font cache.
void Bar_Init();
void Bar_Stop();
// The element counts of the bars whose families can change (the library's
// subsets, the fonts, the canvases of the current unit's kind, the template
// list) read again into first_id / last_id, selections and screenfuls kept
// within them.
void Bar_Recount();

// The geometry of every bar for the bar area (window coordinates), then the
// current bar scrolled to the screenful holding its selection.
void Bar_Calc_All_Desc(const Rect& area);
// One bar's cells for area: the usable size is the area less the margin each
// way, less 57 pixels of width with updown (the row buttons). With fixednum
// the counts are a x b and the cell size follows; otherwise the cell size is
// a x b and the counts follow (at least 1 each). With addcell the leftover
// pixels are shared among the cells; half of what is left indents the first
// cell. nrows counts the screenfuls the ids need.
void Calc_Desc(const Rect& area, bool8 updown, bool8 fixednum, bool8 addcell, int16 a, int16 b, int16 margin,
               a_bar_row_desc& desc);
// The palette's geometry (every colour bar): 126 x 7 cells with a column for
// the seven custom colours at the left.
constexpr int16 PALETTE_COLUMNS = 126;
constexpr int16 PALETTE_ROWS = 7;
// The user's own colours: ids 0 .. NCUSTOM_COLORS - 1 of every colour bar.
constexpr int16 NCUSTOM_COLORS = 7;
void Calc_Palette_Desc(const Rect& area, a_bar_row_desc& desc);
// The rectangle of colour id in a colour bar laid out in area; FALSE (r
// empty) outside the bar's ids.
bool8 PaletteToRect(const a_bar_row_desc& desc, const Rect& area, int16 id, Rect& r);
// The cell (h column, v row) of id on the screenful shown; FALSE when id is
// not on it (or the bar has no cells).
bool8 Bar_IDToCell(const a_bar_row_desc& desc, int16 id, Point& cell);
// The rectangle of a cell in area.
void Bar_CellToRect(const a_bar_row_desc& desc, const Rect& area, Point cell, Rect& r);
// The rectangle of element id of bar in area, palette or cells; FALSE when it
// is not shown.
bool8 Bar_ID_To_Rect(a_bar bar, const Rect& area, int16 id, Rect& r);
// The element of bar under pt (the cell grown by the margin, the id in
// range); BAR_NO_ID when none.
constexpr int16 BAR_NO_ID = -10000;
int16 Bar_Find_Element(a_bar bar, const Rect& area, Point pt);
// A bar without elements (last_id below first_id).
bool8 Bar_Is_Empty(a_bar bar);
bool8 Is_Palette_Bar(a_bar bar);

// --- Painting and the mouse (CUSTOM_BAR) -----------------------------------------------

void Bar_Paint(const Rect& area);
void Bar_MouseDown(const a_mousestroke& stroke);
// The selection frame of element id of the current bar, selected or not.
void Bar_DrawElementFrame(int16 id, bool8 selected);

// --- Choosing -----------------------------------------------------------------------

// The one way a user's choice enters a bar: id (BAR_NO_ID: no particular
// element) clamped into the bar's ids; the bar shown, scrolled to it, the
// selection stored and applied (not when it already was the selection of a
// bar that marks it). On a bar without elements: sound 136, nothing else.
void Bar_JumpToID(bool8 reset_sliders, a_bar bar, int16 id);
// Its worker.
void Bar_JumpToID2(bool8 call_select, bool8 reset_sliders, a_bar bar, int16 id);
// Sets a bar's value without applying it (an object's values loaded into
// the interface).
void Bar_Blast(a_bar bar, int16 id);

// The tags' select procedures: each bar shown with its own selection;
// Bar_Jump_Layers shows the layer bar, Bar_Jump_Glyphs the glyph bar with
// its list made for the font bar's font.
void Bar_Jump_Stamp();
void Bar_Jump_Border();
void Bar_Jump_Canvas();
void Bar_Jump_Gradient();
void Bar_Jump_Pattern();
void Bar_Jump_Font();
void Bar_Jump_Palette();
void Bar_Jump_Grid_Color();
void Bar_Jump_Outl_Color();
void Bar_Jump_Cutl_Color();
void Bar_Jump_Bord_Color();
void Bar_Jump_Symb_Color();
void Bar_Jump_Layers();
void Bar_Jump_Glyphs();
// The tags' highlights: TRUE when that bar is current.
bool8 Calc_Hilite_Canvas(int16 element);
bool8 Calc_Hilite_Stamp(int16 element);
bool8 Calc_Hilite_Glyphs(int16 element);
bool8 Calc_Hilite_Palette(int16 element);
bool8 Calc_Hilite_Font(int16 element);
bool8 Calc_Hilite_Layers(int16 element);
bool8 Calc_Hilite_Pattern(int16 element);
bool8 Calc_Hilite_Border(int16 element);
bool8 Calc_Hilite_Gradient(int16 element);
bool8 Calc_Hilite_Grid_Color(int16 element);
bool8 Calc_Hilite_Outl_Color(int16 element);
bool8 Calc_Hilite_Cutl_Color(int16 element);
bool8 Calc_Hilite_Bord_Color(int16 element);
bool8 Calc_Hilite_Symb_Color(int16 element);
// A cell of TEXT_PHASE_GRID: 1 for the current page, 2 when the page's
// effect (1 outline, 2 glow, 3 shadow) is on, else 0.
int16 Calc_Hilite_TextPhase(int16 page);

// Every ring that may show bar shows it from now on.
void Synchronize_Rings(a_bar bar);
// After the eyedropper took a colour: the rings show the paint colours, and
// for a person at the controls the tool grid goes back to gs.dropper_jump.
void Dropper_Jump_Back();

// The select procedures of the colour bars other than the paint colours:
// the text's outline, glow and shadow (their toggle switched on), the cut
// and grid lines (the preferences' colour, everything repainted), the
// photo's edge outline and border, the symbol's colour.
void TextOutl_Color_Select();
void TextGlow_Color_Select();
void TextShad_Color_Select();
void CutLines_Color_Select();
void GridLines_Color_Select();
void EdgeOutl_Color_Select();
void EdgeBord_Color_Select();
void Symbols_Color_Select();

// --- Screenfuls and keys ---------------------------------------------------------------

// The current bar a screenful back or on, wrapping at both ends.
void Bar_PrevRow();
void Bar_NextRow();
// Scrolls the current bar to the screenful that holds id (only with two or
// more screenfuls and the bar on screen); TRUE when it moved.
bool8 Bar_Align_Row(int16 id);
// Bar's screenful := the one holding id (first_id when id is outside).
void Bar_Find_Row_Containing(a_bar bar, int16 id);
// The row buttons: a screenful back or on, the bar repainted; the index
// button's number (the screenful shown, from 1) and its browser.
void Bar_JumpToPrevRow();
void Bar_JumpToNextRow();
int16 Bar_CalcSequence();
// The index button: its picture with the number of the screenful shown.
void Bar_Index_Draw(const Rect& bounds, a_pixt* pixt);
void Ask_Stamp_Browser();
void Ask_Stamp_Category();
// Keys of the bar and of the tags: Page Up / "[" and Page Down / "]" the row
// buttons, Home / "{" and End / "}" the ends, the arrows through the cells
// (wrapping with sound 136). I_KeyFilter: the letter I opens the browser.
bool8 Bar_Arrow_KeyFilter(const a_keystroke& key);
bool8 BarTags_KeyFilter(const a_keystroke& key);
bool8 I_KeyFilter(const a_keystroke& key);

// The keyboard jump pending on the bar (its class, the id typed so far and
// how many digits); the status area clears it.
struct a_jump_rec {
  int16 jump_class;
  int16 id;
  int16 ndigits;
};
extern a_jump_rec g_jump;

// --- Font thumbnails ------------------------------------------------------------------

// One sample per font, 240 x 16, kept in one 8-bit world of 16 samples a row.
constexpr int16 FONT_CELL_H = 240;
constexpr int16 FONT_CELL_V = 16;
constexpr int16 FONT_CACHE_PER_ROW = 16;
// The cache made afresh for the font list (every font still to do).
void Font_Cache_Init();
void Font_Cache_Stop();
// The idle step: at most one thumbnail made, the first font from the font
// bar's first id that has none. TRUE when one was made. A font counted as
// missing that cannot be found sets the count right instead.
bool8 Font_Cache_Step();
// Fonts still without thumbnail.
int32 Font_Cache_Todo();
// Draws font fontx's sample into the cache and marks it as done; a font
// that cannot be drawn shows its name in the interface font.
void Make_Font_Thumbnail(uint32 fontx);
// The font's box in the cache world; FALSE outside the list.
bool8 Font_Cache_Box(uint32 fontx, Rect& box);
// The samples (a null map until Font_Cache_Init).
const PixMap& Font_Cache_Samples();
// A font bar cell: the thumbnail made now when missing, copied centred.
void Font_DrawElement(int16 id, const Rect& r);

// --- The glyph bar -----------------------------------------------------------------------

struct a_glyph_item {
  UniChar uchar;
  uint32 fontx;
};
constexpr int16 MAX_GLYPHS = 1000;
extern a_glyph_item g_glyphs[MAX_GLYPHS];
extern int16 n_glyphs;
extern uint32 g_glyph_fontx;  // the font the list was made for (0: none yet)
// The list made for the font bar's font when there is none yet or the font
// changed: the characters of the font's list that the font has; the glyph
// bar spans them (repainted when shown).
void Glyph_List_Init();
// The same for fontx whatever was built before.
void Glyph_List_Build(uint32 fontx);
void Glyph_DrawElement(int16 id, const Rect& r);
void Glyph_DrawElement2(bool8 hilite, int16 id, const Rect& r);
// The glyph bar's select procedure: the character into the edited text, or
// the selected text; any other selection refused (sound 136).
void Glyph_Select();

// --- The copy counter (CUSTOM_QCOMBO) ----------------------------------------------------

void QCombo_Paint(const Rect& area);
void QCombo_MouseDown(const a_mousestroke& stroke);
bool8 QCombo_KeyFilter(const a_keystroke& key);
// Adds d to the copies, kept within 0 .. 999 (sound 136 at a limit, else 130).
void QC_Delta(int16 d);
