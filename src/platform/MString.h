// 8-bit counted strings: length, copy, append, search, compare and integer
// conversion of terminated character arrays.
//
// Every string is passed as a span, so each routine knows its last index
// (HIGH = size - 1). The text ends at the first NUL or at the end of the
// array. Routines never read or write past the array, and every routine that
// writes a string stores at most HIGH characters and a NUL right after them.
// A string literal passed as a span includes its NUL.
#pragma once

#include <string_view>

#include "platform/Types.h"

int32 mStrLength(CStrSpan str);                      // at most HIGH + 1
void mSetLength(StrSpan str, int32 len);             // str[len] := NUL (len cut to HIGH)
void mSetChar(StrSpan ss, int32 pos, char cc);       // ignored outside the array
char mGetChar(CStrSpan ss, int32 pos);               // NUL outside the array

void mStrCopy(CStrSpan source, StrSpan dest);
// The whole of text and a NUL, or FALSE and an empty string when it does not
// fit: for names where a cut-off text would be a different name.
bool8 mStrAssign(StrSpan dest, std::string_view text);
void mAppend(CStrSpan small, StrSpan big);
void mPrepend(CStrSpan small, StrSpan big);
void mAppendInt(int32 val, StrSpan str);
void mAppendIntPadded(int32 val, StrSpan str, int16 len);

// Decimal text of num, right-aligned with blanks to at least len characters.
// The padding is cut to the destination; when the digits themselves do not
// fit, the destination is filled with asterisks (as the Convert routines do)
// rather than showing a wrong, cut-off number.
void mIntToStr(int32 num, StrSpan str, int16 len);

// Text to number. mStrToInt accepts at most "32759" (16-bit accumulator that
// refuses to grow from 3276 or more); mStrToLong accepts the whole signed
// 32-bit range and sets done = FALSE on overflow. A leading "-" negates, a
// leading "+" is skipped; on failure value holds what was read so far.
void mStrToInt(CStrSpan string, int16& value, bool8& done);
void mStrToLong(CStrSpan string, int32& value, bool8& done);

bool8 mStrBegins(CStrSpan name, CStrSpan pattern);
bool8 mStrFind(CStrSpan name, CStrSpan patt);        // FALSE for an empty patt
int16 mCompare(CStrSpan stringA, CStrSpan stringB);  // -1, 0, 1; unsigned bytes
bool8 mCompare_Equal(CStrSpan stringA, CStrSpan stringB, bool8 upshift);
bool8 mCompare_NoBlanks(CStrSpan stringA, CStrSpan stringB);

// Width in pixels of the text (its first 255 characters) in the current
// port's font (StringWidth, Quickdraw.h; 20000 at most).
int16 mStrWidth(CStrSpan ss);
