// Symbol objects: pictures of the library's symbol set placed on a unit in
// one colour. A symbol is an object of kind SYMBOL_BLOCK whose record is a
// photo record (objects/VoskPhot.h) with is_symbol set, a library source and
// one size on both axes; it moves, scales, turns, frames, hit-tests and
// draws as a photo does, tinted with symbol_color.
#pragma once

#include "platform/Types.h"

struct a_ph_rec;

// Where a new symbol goes across and down its unit: the middle of the
// paintbounds across, a quarter of the way down; its first size.
constexpr int16 SYMBOL_NEW_SIZE = 800;

// The new-symbol command: the symbol browser (bar SYMBOL_BAR) asks which
// one; cancelled, nothing happens. A full list: sound 136.
void Symbol_New();
// Symbol n (from 1, in the library's key order) placed as a new object on
// the current unit, tinted with the symbols colour bar's colour, below any
// text, selected (history OP_SYMBOL_NEW). A full list, or a symbol whose
// picture cannot be loaded: sound 136, nothing added. TRUE when added.
bool8 Symbol_Add(int16 n);
// The number of symbols the library holds.
int16 Symbol_Count();

// The symbol sliders and colour bar := the symbol's values, and back (both
// scalings from the size slider).
void Symbol_To_Sliders(const a_ph_rec* ph);
void Sliders_To_Symbol(a_ph_rec* ph);
// The hook of the symbol sliders and colour bar: the lone selected symbol
// takes their values.
void Delta_Symbol();
// Live dragging of the symbol's size and angle sliders (as the photo's).
void Init_Symbol_Geom();
void Track_Symbol_Geom();
void Stop_Symbol_Geom();
// Entering the symbol phase: everything but symbols deselected, the sliders
// loaded from a lone symbol, the edit area repainted.
void Symbol_Enter();
// Symbol n drawn into the current port fitted into cell (inset 2 pixels,
// its proportions kept) over the cell's white background, untinted: the
// cells of the symbol bar and browser.
void Symbol_DrawElement(int16 n, const Rect& cell);
