// Borders (9, group, i, 0): not drawn yet.
#include "ArtGen.h"

bool Border_Jobs(const a_art_context&, std::vector<a_art_job>&, std::string&) { return true; }
