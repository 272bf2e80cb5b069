// The application layer's shared variables: the interface state gs and the
// open document g_doc. Only the part of the document record that is used so
// far is here; the rest (units, layers, print info) comes with the document
// subsystem.
#pragma once

#include "platform/Types.h"
#include "ui/VoskStat.h"

constexpr uint32 MAXNUNITS = 250;

// Kinds of unit. Only the disc kinds that direct printing needs are listed so
// far; the values after UNIT_CD are provisional until the full kind table
// (70 kinds) is in place.
enum a_unit_kind : uint8 {
  UNIT_EMPTY = 0,
  UNIT_CD = 6,
  UNIT_MINICD_RING = 9,
  UNIT_MINICD_HOCKEY = 10,
  UNIT_MINICD_RECT = 11,
};

// Bits of a template's tflags.
enum a_template_flag : uint8 {
  IS_CDPRINTER = 0,
  IS_LANDSCAPE = 1,
  IS_PITCHBETWEEN = 2,
  IS_INCHES = 3,
  IS_CLIPPINGPRINTER = 4,
  IS_DYMO_ZADAZ = 5,
  IS_LIGHTSCRIBE = 6,
  IS_SHOWNOPAPER = 7,
  IS_FLEXSTICK = 8,
  IS_FLEXLABEL = 9,
};

struct a_unit {
  uint8 kind;  // a_unit_kind
  uint32 uflags;
};

// The expanded layout of the open document; units[0] is unit 1.
struct a_template {
  char label[32];
  uint32 tflags;  // set of a_template_flag
  uint32 nunits;
  a_unit units[MAXNUNITS];
};

struct a_doc_rec {
  a_template doc_template;
  bool8 doc_open;
  int16 doc_mediax;  // chosen print medium of the document's direct-print kind
};

extern a_interface_rec gs;
extern a_doc_rec g_doc;
extern bool8 g_doneflag;

// Module start-up: clears gs and g_doc, whole records.
void VoskDef_Init();
