// In-place conversion between the terminated form and the length-byte form
// (byte 0 the length, characters after it) that some interfaces expect.
#pragma once

#include "platform/Types.h"

// Text longer than the length byte or the array can hold is cut (at most 255
// characters, and at most size - 1) rather than wrapping or overrunning.
void C2Pascal(StrSpan ss);
// A length byte larger than the array allows is cut to size - 1.
void Pascal2C(StrSpan ss);
