#include "objects/VoskSwat.h"

void Swatch_PostUpdate() {}
