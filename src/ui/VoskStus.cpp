#include "ui/VoskStus.h"

a_annot_state g_annot = {};

void Nav_Recalc_Reduction() {}
void Nav_Recalc_Frame() {}

void Annot_Init() {}

void Annot_Set_Targ(const a_annot_spec& spec) { g_annot.targ = spec; }

void Annot_Zap() { g_annot.targ = a_annot_spec{}; }

void Echo_Calc_Size(int16, Point& size) { size = Point{0, 0}; }
