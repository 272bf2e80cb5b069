// Symbol objects: pictures of the symbol library placed on a unit in one
// colour. So far only what the object list calls is here: the symbol
// sliders come with the symbol tools.
#pragma once

#include "platform/Types.h"

struct a_ph_rec;

// The symbol sliders from a symbol's record. Nothing is loaded yet.
void Symbol_To_Sliders(const a_ph_rec* ph);
// The symbol sliders' procedures, as the photo's (objects/VoskPhot.h). They
// come with the symbol tools: nothing happens yet.
void Delta_Symbol();
void Init_Symbol_Geom();
void Track_Symbol_Geom();
void Stop_Symbol_Geom();
