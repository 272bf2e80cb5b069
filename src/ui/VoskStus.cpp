#include "ui/VoskStus.h"

void Nav_Recalc_Reduction() {}
void Nav_Recalc_Frame() {}

void Annot_Init() {}

void Annot_Set_Targ(const a_annot_spec& /*spec*/) {}
void Annot_Zap() {}
