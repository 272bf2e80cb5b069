// Not drawn yet.
#include "Sheets.h"

bool Sheet_Interface(const std::string&, std::vector<std::string>&, std::string&) { return true; }
