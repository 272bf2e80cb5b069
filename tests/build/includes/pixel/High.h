// The higher layer's header (test LayeringOfIncludesFindsAnUpwardInclude);
// including the lower one is fine.
#pragma once

#include "platform/Low.h"
