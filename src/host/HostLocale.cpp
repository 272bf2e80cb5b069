#include "host/HostLocale.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace host {

std::string Locale_Messages_Name() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "";
}

uint16 Locale_Primary_Language(const std::string& name) {
  // The language is the part before '_', '.', '@' or '-', lower-cased.
  std::string lang;
  for (char c : name) {
    if (c == '_' || c == '.' || c == '@' || c == '-') break;
    lang += char(std::tolower(static_cast<unsigned char>(c)));
  }
  if (lang.empty() || lang == "c" || lang == "posix") return LANG_ENGLISH;
  struct Pair {
    const char* iso;
    uint16 id;
  };
  static constexpr Pair table[] = {
      {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06},
      {"de", 0x07}, {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C},
      {"he", 0x0D}, {"hu", 0x0E}, {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12},
      {"nl", 0x13}, {"no", 0x14}, {"nb", 0x14}, {"nn", 0x14}, {"pl", 0x15}, {"pt", 0x16},
      {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1A}, {"sk", 0x1B}, {"sq", 0x1C}, {"sv", 0x1D},
      {"th", 0x1E}, {"tr", 0x1F}, {"uk", 0x22}, {"sl", 0x24}, {"et", 0x25}, {"lv", 0x26},
      {"lt", 0x27},
  };
  for (const Pair& p : table)
    if (lang == p.iso) return p.id;
  return LANG_NEUTRAL;
}

uint16 Host_UserDefaultLangID() {
  return uint16(Locale_Primary_Language(Locale_Messages_Name()) | (SUBLANG_DEFAULT << 10));
}

}  // namespace host
