// A small table of edit fields (at most two) placed on a window of the
// program: added, activated, read and written as text or as numbers.
#pragma once

#include "host/HostWin.h"
#include "platform/Types.h"

// Decides whether a typed character may enter a field (FALSE drops it).
using a_te_filter = bool8 (*)(UniChar ch);

struct a_field {
  HWND hdl;            // the edit control
  a_te_filter filter;  // may be NIL
  int16 maxlen;        // characters
  Rect bbox;           // in the parent's client coordinates
};

constexpr int16 kMaxFields = 2;

struct a_te_globals {
  int16 activex;  // active field (1-based), 0 = none
  int16 nfields;
  a_field fields[kMaxFields];
  uint32 forec;  // colour references kept for the fields' text and ground
  uint32 backc;
  bool8 forced_roman;
};
extern a_te_globals gte;

// Empties the table (the controls of earlier fields are destroyed).
void TE_Init();
// Adds a field over bbox in parent with the shared entry font; result its
// index (1-based), or 0 when the table is full or the control cannot be made.
int16 TE_Add(HWND parent, const Rect& bbox, int16 maxlen, a_te_filter filter);
// Gives field ix the keyboard focus with all its text selected (0: none).
void TE_Activate(int16 ix);
// Text as UTF-8, cut to the span; an unknown field gives "".
void TE_GetVal(int16 ix, StrSpan ss);
void TE_SetVal(int16 ix, CStrSpan ss);
// val := the field's number; TRUE when it is a decimal number within
// minval .. maxval.
bool8 TE_GetVal_Int(int16 ix, int32 minval, int32 maxval, int32& val);
void TE_SetVal_Int(int16 ix, int32 val);
// Keeps the colours for the fields' text and background.
void TE_Fix_Colors(uint32 forec, uint32 backc);
