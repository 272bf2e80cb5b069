// Reads arbitrary bytes as a tabbed track list, as the import takes a text
// file (byte-order marks, UTF-16, Windows-1252), and makes chunks of what
// it read under field choices taken from the input. Every field and chunk
// must end within its room, no chunk may pass 3999 units or end on half a
// surrogate pair, and no input may reach an internal error.
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
  const std::span<const uint8> bytes(reinterpret_cast<const uint8*>(text.data()), text.size());
  if (Is_iTunes_Tabbed(bytes) && Parse_Tracks_Tabbed(text, utf8)) {
    if (g_songtable->nfields < 2 || g_songtable->nfields > SONG_FILE_FIELDS) __builtin_trap();
    fuzztracks::Check_Songs_And_Chunks(choices);
  } else if (g_songtable != nullptr) {
    __builtin_trap();  // a refused list leaves no table
  }
  Free_Import_Tables();
  return 0;
}
