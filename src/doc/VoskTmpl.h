// The layout catalogue: the built-in table of label stocks (a_ctemplate
// entries, generated at build time from data/layouts/), paper-size names,
// the expansion of an entry into the units of a layout (a_template), and the
// displayed names and brands of entries.
#pragma once

#include "platform/VoskDef.h"
#include "platform/Types.h"

// Capacity of the working list of entries that the layout chooser builds.
constexpr uint32 MAXNTEMPLATES = 3000;

// The built-in table, ordered by sort key then label; entry i (1-based) is
// g_ctemplates[i - 1]. NTEMPLATES is its real size (at most MAXNTEMPLATES).
extern const a_ctemplate g_ctemplates[];
extern const uint32 NTEMPLATES;

// Copies built-in entry i (1-based) into dst. An index outside
// 1..NTEMPLATES gives FALSE and an all-zero dst.
bool8 Get_CTemplate(uint32 i, a_ctemplate& dst);

// Exact comparison of both sides (as 32-bit reals).
bool8 Is_Equal_PaperSize(const a_fpoint& a, const a_fpoint& b);
// Writes the name of a named paper size ("A4", "US Letter" ...) and returns
// TRUE; any other size gives "" and FALSE. Cut to s's capacity.
bool8 PaperSize_To_Str(const a_fpoint& size, StrSpan s);

// Why an entry cannot be expanded (EXPAND_OK: it was).
enum a_expand_result : uint8 {
  EXPAND_OK = 0,
  EXPAND_BAD_NSECTIONS,   // nunits outside 1..6
  EXPAND_EMPTY_GRID,      // a section with no columns or no rows
  EXPAND_BAD_COUNT,       // the units of all sections number more than 250
  EXPAND_BAD_KIND,        // a kind past the last unit kind
  EXPAND_BAD_SIZE,        // a length that is not finite, or a size not above 0
  EXPAND_TOO_LARGE,       // a unit or the paper past what print pixels can hold
  EXPAND_NEGATIVE_BLEED,  // a bleed below 0
  EXPAND_NOT_DISC,        // a disc-printer layout whose first unit is no disc
};

// The highest print resolution a layout must hold in 16-bit device
// coordinates: every unit edge (with its bleeds) and the paper's sides lie
// within 32767 dots at this resolution, that is 693.5 mm.
constexpr int32 LAYOUT_MAX_DPI = 1200;
constexpr double LAYOUT_MAX_MM = 32767.0 * 25.4 / LAYOUT_MAX_DPI;

// Expands catalogue entry c into the layout x: units numbered down each
// column (row by row with UNIT_SHORTODD), lengths in millimetres. The entry
// is checked first; a refused entry leaves x as it was and returns the
// reason. The label is read no further than its 32 bytes.
a_expand_result Expand_Template(const a_ctemplate& c, a_template& x);
// An English sentence for the result, for the alert of the caller.
const char* Expand_Result_Text(a_expand_result r);

// The displayed name of a label: "_" becomes a space, "@A", "@C", "@L", "@P"
// the words of dialog strings 385..388 in the interface language, "@2" the
// one-half sign; any other "@" stays. Cut to dst's capacity, NUL-terminated.
void Filter_Template_Name(CStrSpan src, UStrSpan dst);
// The brand of a label: its characters up to the first space or NUL, each
// "_" turned into a space. Cut to dst's capacity, NUL-terminated.
void Extract_Brand(CStrSpan src, StrSpan dst);
