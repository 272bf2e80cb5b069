#include "platform/VoskDef.h"

#include <cstring>

a_interface_rec gs;
a_doc_rec g_doc;
bool8 g_doneflag = false;
a_transient_rec t;

void VoskDef_Init() {
  std::memset(static_cast<void*>(&gs), 0, sizeof gs);
  std::memset(static_cast<void*>(&g_doc), 0, sizeof g_doc);
  std::memset(static_cast<void*>(&t), 0, sizeof t);
  g_doneflag = false;
}
