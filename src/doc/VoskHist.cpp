#include "doc/VoskHist.h"

#include "ui/VoskDelt.h"

namespace {
int32 g_nstates = 0;
a_history_op g_last_op = OP_NOP;
uint32 g_nflush = 0;
}  // namespace

void History_Null() {
  g_nstates = 0;
  g_last_op = OP_NOP;
  g_nflush = 0;
}

void History_Base() {
  g_nstates = 0;
  g_last_op = OP_NOP;
  History_Emit(OP_START);
}

void History_Emit(a_history_op op) {
  if (op == OP_NOP) return;
  if (g_nstates < MAX_UNDO) ++g_nstates;
  g_last_op = op;
  if (op != OP_START) SV_Set_Bool(SV_DOC_CHANGED, true);
  pending_op = OP_NOP;
}

void History_Set_Pending(a_history_op op) { pending_op = op; }

void History_Flush() { ++g_nflush; }

void History_Stop() {}

int32 History_Count() { return g_nstates; }
a_history_op History_Last_Op() { return g_last_op; }
uint32 History_Flush_Count() { return g_nflush; }
