// Symbols (11, group, i, 0): not drawn yet.
#include "ArtGen.h"

bool Symbol_Jobs(const a_art_context&, std::vector<a_art_job>&, std::string&) { return true; }
