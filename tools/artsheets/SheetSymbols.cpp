// Not drawn yet.
#include "Sheets.h"

bool Sheet_Symbols(const std::string&, std::vector<std::string>&, std::string&) { return true; }
