#include "doc/VoskPrin.h"

#include <cstring>

a_override_spec overrides;

void VoskPrin_Init() { std::memset(static_cast<void*>(&overrides), 0, sizeof overrides); }
