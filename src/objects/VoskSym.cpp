#include "objects/VoskSym.h"

void Symbol_To_Sliders(const a_ph_rec*) {}
