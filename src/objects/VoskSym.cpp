#include "objects/VoskSym.h"

void Symbol_To_Sliders(const a_ph_rec*) {}

void Delta_Symbol() {}
void Init_Symbol_Geom() {}
void Track_Symbol_Geom() {}
void Stop_Symbol_Geom() {}
