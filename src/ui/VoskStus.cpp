#include "ui/VoskStus.h"

void Nav_Recalc_Reduction() {}
void Nav_Recalc_Frame() {}

void Annot_Init() {}
