// A lower layer's header that includes a higher layer's one: the include
// check must report it (test LayeringOfIncludesFindsAnUpwardInclude).
#pragma once

#include "pixel/High.h"
#include "platform/Types.h"
