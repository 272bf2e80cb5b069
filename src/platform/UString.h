// UTF-16 counted strings: the twin of MString for arrays of 16-bit units.
// Same rules: the text ends at the first 0 unit or at the end of the span,
// writes store at most HIGH units and a 0 after them.
#pragma once

#include "platform/Types.h"

// A counted UTF-16 string: a unit count, then the units.
struct a_uStr255l {
  uint16 nchar;
  UniChar text[255];
};
static_assert(sizeof(a_uStr255l) == 512);

using CByteSpan = std::span<const uint8>;

int32 uStrLength(CUStrSpan str);
void uStrCopy(CUStrSpan source, UStrSpan dest);
void uStrCopyMN(CUStrSpan source, UStrSpan dest);    // each unit byte-swapped
void uAppend(CUStrSpan source, UStrSpan dest);
void uStrCopyAscii(CStrSpan ascii, UStrSpan dest);
void uAppendAscii(CStrSpan ascii, UStrSpan dest);
bool8 uStrBegins(CUStrSpan name, CStrSpan pattern);  // pattern is 8-bit
bool8 uStrContains(CUStrSpan name, CStrSpan pattern);
int16 uCompare(CUStrSpan stringA, CUStrSpan stringB);

// Reads a big-endian unit count, then that many big-endian units, from the
// front of base into ustr (cut to its capacity, 0 after them) and moves base
// past them. FALSE, with ustr empty and base unchanged, when base holds fewer
// bytes than the count says.
bool8 uStrExtract(CByteSpan& base, UStrSpan ustr);
