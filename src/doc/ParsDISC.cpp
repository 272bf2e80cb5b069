#include "doc/ParsDISC.h"

namespace {
a_disc_result g_last_result = DISC_OK;
}  // namespace

bool8 Read_DISC(const FSSpec& /*path*/, bool8 /*append*/) {
  g_last_result = DISC_NOT_SUPPORTED;
  return false;
}

a_disc_result Read_DISC_Result() { return g_last_result; }
