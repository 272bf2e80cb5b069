// Tokenizes arbitrary bytes to the end, into token buffers of several sizes,
// with a token pushed back now and then.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/ParseXML.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const size_t kSizes[] = {1, 2, 3, 16, 1024};
  size_t room = kSizes[size == 0 ? 0 : data[0] % 5];
  if (!Init_ParseXML_Buffer(data, size)) return 0;
  char token[1024];
  StrSpan span(token, room);
  bool pushed = false;
  // Every call consumes at least one byte until the end, so this bounds the loop.
  for (size_t guard = 0; guard <= 2 * size + 4; guard++) {
    OSErr err = GetTokenXML(span);
    size_t len = 0;
    while (len < room && token[len] != 0) len++;
    if (len >= room) std::abort();  // the token must end within its buffer
    if (err != noErr) break;
    if (!pushed && len > 0 && (token[0] & 1)) {
      UnGetTokenXML(CStrSpan(token, room));
      pushed = true;
    } else {
      pushed = false;
    }
  }
  if (GetTokenXML(span) == noErr && token[0] != 0) std::abort();  // the end stays the end
  Stop_ParseXML();
  return 0;
}
