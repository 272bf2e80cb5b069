// The program's interface languages: the user's language mapped to one of
// them, and the set of languages whose string lists the program holds.
#pragma once

#include "platform/Types.h"

enum a_language : int16 {
  ENGLISH = 0,
  CZECH = 1,
  DANISH = 2,
  GERMAN = 3,
  SPANISH = 4,
  FRENCH = 5,
  ITALIAN = 6,
  HUNGARIAN = 7,
  DUTCH = 8,
  NORWEGIAN = 9,
  POLSKI = 10,
  PORTUGUESE = 11,
  FINNISH = 12,
  SWEDISH = 13,
  TURKISH = 14,
  TRAD_CHINESE = 15,
  SIMP_CHINESE = 16,
  JAPANESE = 17,
  GREEK = 18,
  KOREAN = 19,
};
// Number of interface languages.
constexpr int16 NLANGUAGES = KOREAN + 1;

// A set of 32 bits over a_language.
using a_language_set = uint32;
constexpr a_language_set Lang_Bit(int16 l) { return a_language_set(1) << l; }

// The string list whose presence marks a language as available (600 + l).
constexpr int16 LANG_PROBE_LIST = 600;

extern a_language os_language;          // the user's language; default of language_offset
extern a_language_set os_capability;    // the languages the program is made for
extern a_language_set app_capability;   // those its resources hold; ENGLISH always

// Module start-up: os_language from the user's locale, app_capability from
// the string lists present.
void LangUtil_Init();

// Interface language of a Windows-style language id (low 10 bits primary);
// every language we do not offer gives ENGLISH.
a_language Lang_From_LangID(uint16 langid);

// The languages of os_capability whose list 600 + l exists in the current
// resource file, and ENGLISH.
a_language_set Lang_Calc_App_Capability();

// Appends the language's code ("de", "zh-CHT", "en" ...) to ss.
void Append_Language_2(StrSpan ss, int16 language);
