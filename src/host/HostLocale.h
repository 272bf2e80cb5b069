// The user's language, from the locale environment: LC_ALL, else LC_MESSAGES,
// else LANG (the first that is set and not empty, as the C library decides
// the language of messages). It is handed on as a Windows-style language id
// (primary language in the low 10 bits, sublanguage above), the form the
// language module maps to the program's interface languages.
#pragma once

#include <string>

#include "platform/Types.h"

namespace host {

// Language ids of the primary languages we name; others map to LANG_NEUTRAL.
constexpr uint16 LANG_NEUTRAL = 0x00;
constexpr uint16 LANG_ENGLISH = 0x09;
constexpr uint16 SUBLANG_DEFAULT = 0x01;

// The locale name that decides messages ("" when none is set).
std::string Locale_Messages_Name();

// Primary language id of a locale name such as "de_DE.UTF-8", "pt_BR",
// "nb_NO@euro" or "sv". English for "", "C" and "POSIX"; LANG_NEUTRAL for a
// language we do not know.
uint16 Locale_Primary_Language(const std::string& name);

// The user's default language id: primary language | SUBLANG_DEFAULT << 10.
uint16 Host_UserDefaultLangID();

}  // namespace host
