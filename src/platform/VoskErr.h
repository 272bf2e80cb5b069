// Messages to the user: the texts of alerts and dialogs looked up by number
// in the string lists of the interface language, with "^0".."^3" parameter
// substitution and the "@P", "@C", "@U" program-name substitutions.
// (The alert dialogs, progress window and prompt strip are built on the
// dialog and window modules and live beside these once those exist.)
#pragma once

#include "platform/SysErr.h"
#include "platform/Types.h"

// String lists, before the language offset is added.
constexpr int16 STRLIST_DLOG = 200;     // dialog strings
constexpr int16 STRLIST_ALERT = 400;    // alert texts
constexpr int16 STRLIST_PROGRAM = 1001; // the program's own names

// Items of the program's own names list.
constexpr int16 PROG_PREFS_FILE = 3;
constexpr int16 PROG_ART_FILE = 4;
constexpr int16 PROG_MAKER = 6;
constexpr int16 PROG_WEB = 7;
constexpr int16 PROG_LONG_NAME = 8;
constexpr int16 PROG_SHORT_NAME = 10;

// The values of "^0" to "^3" (shared with the dialog module's parameter text).
extern Str255 gparam_strings[4];

// Copies the four texts into gparam_strings (each cut to 255 bytes).
void Param_Text(CStrSpan param0, CStrSpan param1, CStrSpan param2, CStrSpan param3);
// Replaces "^0".."^3" in msg in one pass; other characters, a "^" before
// anything else and a final "^" stay. msg is changed only when something was
// replaced; the result is cut to 255 bytes and to msg's array.
void Do_Param_Text(StrSpan msg);
// Replaces "@P", "@C", "@U" (letter in either case, not at the very end) by
// items 8, 6 and 7 of the program's own names list. TRUE if any was replaced.
bool8 Do_Substitutions(StrSpan ss);

// Item strx of list listx in the interface language (listx + language), else
// of the English base list listx; then "^0".."^3" replaced. A missing
// English item gives "".
void Get_Translated_String(StrSpan ss, int16 listx, int16 strx);
void Get_Translated_UString(UStrSpan uss, int16 listx, int16 strx);
void Get_DLOG_String(StrSpan str, int16 index);
void Get_DLOG_UString(UStrSpan uss, int16 index);

// The interface language in use (the low byte of gs.pref.language_offset).
int16 Current_Language();

// The parameters of the fatal messages: for a missing resource ^0 = the kind
// as four characters, ^1 = the id; for a missing picture-library key ^1 = its
// four parts joined by ".". The alert then shown is alert 6.
void MissingResource_Params(OSType kind, int16 id);
void MissingKey_Params(OSType kind, a_keyset key);

// Cuts a UTF-8 text to at most max bytes without splitting a character.
int32 UTF8_Cut_Length(CStrSpan text, int32 len, int32 max);
