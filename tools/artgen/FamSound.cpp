// Sounds (6, 0, id, 0): not drawn yet.
#include "ArtGen.h"

bool Sound_Jobs(const a_art_context&, std::vector<a_art_job>&, std::string&) { return true; }
