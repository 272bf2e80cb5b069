// Symbol objects: pictures of the symbol library placed on a unit in one
// colour. So far only what the object list calls is here: the symbol
// sliders come with the symbol tools.
#pragma once

#include "platform/Types.h"

struct a_ph_rec;

// The symbol sliders from a symbol's record. Nothing is loaded yet.
void Symbol_To_Sliders(const a_ph_rec* ph);
