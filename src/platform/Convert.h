// Fixed-width number-to-text conversion in bases 2 to 16, and text to real.
//
// The width is first cut to the destination's HIGH; a result that does not
// fit turns the whole destination into HIGH asterisks and a NUL.
#pragma once

#include "platform/Types.h"

// Exactly width digits of val (leading zeros; higher digits dropped); width 0
// gives "0"; a base outside 2 to 16 gives the asterisks.
void Word32ToStr(uint32 val, StrSpan str, int16 base, int16 width);
// Decimal, right-aligned with blanks to at least width characters.
void Card32ToStr(uint32 val, StrSpan str, int16 width);
void Int32ToStr(int32 val, StrSpan str, int16 width);
// Fixed-point notation with `decimal` digits after the point, rounded; width
// is not used.
void RealToStr(float val, StrSpan str, int16 width, int16 decimal);
// [-]digits[.digits]; any other character sets ok = FALSE and ends the scan.
void StrToReal(CStrSpan ss, float& val, bool8& ok);
void OverflowString(StrSpan str);
