// The palette bar's module. So far it holds the phase selector: the seven
// phase buttons of the phase strip (CUSTOM_PHASE), painted from their stored
// picture, and the click that changes the phase. The bars themselves come
// later; the two procedures the state variables call on them have their
// least form here.
#pragma once

#include "platform/SysLoop.h"  // a_mousestroke
#include "platform/Types.h"
#include "platform/VoskDef.h"

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

// The fill each palette bar sets when it is shown (none: NULL_FILL).
constexpr a_fill_kind BAR_FILL_KINDS[NBARS] = {
    ERASER_FILL,    // EMPTY_BAR
    NULL_FILL,      // CANVAS_BAR
    STAMP_FILL,     // STAMP_BAR
    COLOR_FILL,     // PAINT_COLORBAR
    COLOR_FILL,     // TEXT_OUTL_COLORBAR
    COLOR_FILL,     // TEXT_GLOW_COLORBAR
    COLOR_FILL,     // TEXT_SHAD_COLORBAR
    COLOR_FILL,     // CUTLINES_COLORBAR
    COLOR_FILL,     // GRIDLINES_COLORBAR
    COLOR_FILL,     // EDGE_OUTL_COLORBAR
    COLOR_FILL,     // EDGE_BORD_COLORBAR
    COLOR_FILL,     // SYMBOLS_COLORBAR
    PATTERN_FILL,   // PATTERN_BAR
    GRADIENT_FILL,  // GRADIENT_BAR
    BORDER_FILL,    // BORDER_BAR
    NULL_FILL,      // SYMBOL_BAR
    NULL_FILL,      // LAYER_BAR
    NULL_FILL,      // FONT_BAR
    NULL_FILL,      // GLYPH_BAR
    NULL_FILL,      // PAPER_BAR
};

// The glyph bar's list of characters for the font bar's font (the glyph bar
// comes with the palette bars: nothing to build yet).
void Glyph_List_Init();
// Scrolls the current bar to the screenful that holds id; TRUE when it
// moved (the bars' screenfuls come with the palette bars: never yet).
bool8 Bar_Align_Row(int16 id);
