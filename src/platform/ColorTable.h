// Colour tables as far as pixel maps need them: an indexed map names the
// table that gives its colours, and pixel-map code only keeps and hands on
// that handle. The record itself (seed, flags, size, 256 entries) and the
// routines that build and read tables belong to the colour and palette
// module, which defines `ColorTable` when it arrives.
#pragma once

#include "platform/SysMem.h"

struct ColorTable;

// A colour table lives in an ordinary movable block; lock it to reach the record.
using CTabHandle = Handle;
