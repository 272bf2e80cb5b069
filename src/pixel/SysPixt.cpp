#include "pixel/SysPixt.h"

#include "pixel/OP.h"

bool8 Pixt_Exists(int16 id) { return OP_Exists(Pixt_Key(id)); }
