#include "objects/VoskStam.h"

void SkewX_Thumb() {}
void SkewY_Thumb() {}
void BendX_Thumb() {}
void BendY_Thumb() {}
