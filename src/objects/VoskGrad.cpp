#include "objects/VoskGrad.h"

void Delta_FillKind(a_fill_kind /*old*/) {}
