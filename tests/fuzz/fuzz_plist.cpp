// Reads arbitrary bytes as a property-list export, after the import's text
// conversion, and makes chunks of the songs under field choices taken from
// the input. Every field and chunk must end within its room, no chunk may
// pass 3999 units or end on half a surrogate pair, and no input may reach
// an internal error.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzTrackSupport.h"
#include "ui/VoskAsk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzztracks::Setup();
  const fuzztracks::a_choices choices = fuzztracks::Take_Choices(data, size);
  bool8 utf8 = false;
  const std::string text = Import_Text(std::span<const uint8>(data, size), utf8);
  if (Parse_Tracks_XML_Text(text)) {
    if (g_songtable->nfields != 10) __builtin_trap();
    fuzztracks::Check_Songs_And_Chunks(choices);
  } else if (g_songtable != nullptr) {
    __builtin_trap();
  }
  Free_Import_Tables();
  return 0;
}
