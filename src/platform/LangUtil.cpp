#include "platform/LangUtil.h"

#include "host/HostLocale.h"
#include "platform/Resources.h"

a_language os_language = ENGLISH;
a_language_set os_capability =
    Lang_Bit(ENGLISH) | Lang_Bit(DANISH) | Lang_Bit(GERMAN) | Lang_Bit(SPANISH) |
    Lang_Bit(FRENCH) | Lang_Bit(ITALIAN) | Lang_Bit(DUTCH) | Lang_Bit(NORWEGIAN) |
    Lang_Bit(POLSKI) | Lang_Bit(PORTUGUESE) | Lang_Bit(FINNISH) | Lang_Bit(SWEDISH) |
    Lang_Bit(TURKISH) | Lang_Bit(JAPANESE) | Lang_Bit(GREEK);
a_language_set app_capability = Lang_Bit(ENGLISH);

a_language Lang_From_LangID(uint16 langid) {
  switch (langid & 0x3FF) {
    case 6: return DANISH;
    case 7: return GERMAN;
    case 8: return GREEK;
    case 10: return SPANISH;
    case 11: return FINNISH;
    case 12: return FRENCH;
    case 16: return ITALIAN;
    case 17: return JAPANESE;
    case 19: return DUTCH;
    case 20: return NORWEGIAN;
    case 21: return POLSKI;
    case 22: return PORTUGUESE;
    case 29: return SWEDISH;
    case 31: return TURKISH;
    default: return ENGLISH;
  }
}

a_language_set Lang_Calc_App_Capability() {
  a_language_set set = Lang_Bit(ENGLISH);
  for (int16 l = 0; l < 20; ++l)
    if ((os_capability & Lang_Bit(l)) && Res_Exists1(int16(LANG_PROBE_LIST + l), FourCC("STR#")))
      set |= Lang_Bit(l);
  return set;
}

void LangUtil_Init() {
  os_language = Lang_From_LangID(host::Host_UserDefaultLangID());
  app_capability = Lang_Calc_App_Capability();
}

void Append_Language_2(StrSpan ss, int16 language) {
  static const char* const codes[20] = {"en", "cs", "da", "de", "es", "fr", "it",
                                        "hu", "nl", "no", "pl", "pt", "fi", "sv",
                                        "tr", "zh-CHT", "zh-CHS", "ja", "el", "ko"};
  const char* code = (language >= 0 && language < 20) ? codes[language] : "en";
  if (ss.empty()) return;
  // Append within the array, keeping its NUL.
  std::size_t len = 0;
  while (len < ss.size() && ss[len] != 0) ++len;
  if (len >= ss.size()) len = ss.size() - 1;
  for (const char* p = code; *p && len + 1 < ss.size(); ++p) ss[len++] = *p;
  ss[len] = 0;
}
