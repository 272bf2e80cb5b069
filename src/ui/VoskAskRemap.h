// Moving the open document onto another layout: which design of the old
// units each new unit takes, computed for the plain cases and chosen by the
// user in the remapping window for the others; and the small dialog that
// renames a print medium.
//
// A design is a unit of the old layout that is no clone and not empty. Each
// new unit gets a copy of one, becomes a clone of the unit before it, or
// starts empty. A unit becomes a clone only where the new layout makes it
// one (the same kind and canvas size as the unit before it); elsewhere it
// takes its own copy of the same design.
#pragma once

#include "doc/VoskDoc.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// One design of the old document: its unit number, and whether a new unit
// takes it.
struct a_sig_source {
  uint32 src_ux;
  bool8 used;
};
constexpr uint32 MAXNSIGS = MAXNUNITS;
struct a_sig_list {
  a_sig_source sig[MAXNSIGS];
};

// The designs of the open document (units 1 .. its count that are no clone
// and not empty, in order) handed out to the new layout's units: a new unit
// takes the first unused design of its own kind (UMP_COPY); with none left
// it follows the nearest copy before it over clones, when that copy is of
// its kind (UMP_CLONE where the layout makes the unit a clone, else UMP_COPY
// of that design); otherwise it starts empty. all_exact: no design is left
// over and every new unit without UNIT_NOTINDEXED has one (always, for a
// document without designs).
void Calc_Template_Mapping(const a_template& new_tmpl, a_template_mapping& map, uint32& nsig, a_sig_list& sig,
                           bool8& all_exact);

// The remapping window: the old and the new layout side by side, and one
// row per new unit with a pop-up of "Empty" and the old designs' numbers,
// preset from map. TRUE when the user confirms (Return, the keypad's Enter
// or OK): map then holds the user's choice. Escape or Cancel leave map as it
// was: FALSE.
bool8 Ask_Complex_Remap(const a_template& new_tmpl, a_template_mapping& map, uint32 nsig, const a_sig_list& sig);

// The pop-up entry (from 1: "Empty", then the designs in order) that shows
// the mapping of new unit ux (a copy or a clone: the design in its link; an
// empty unit, or a link no design has, the first entry).
int16 Remap_Preset(const a_template_mapping& map, uint32 ux, uint32 nsig, const a_sig_list& sig);
// The mapping of the rows' choices (choice[ux - 1], entries as above, one
// for each new unit): a copy of the chosen design, or empty. A unit whose
// row chose the same design as the row before it, of the same kind, becomes
// its clone where the layout makes it one.
void Remap_From_Dialog(const a_template& new_tmpl, const int16* choice, uint32 nsig, const a_sig_list& sig,
                       a_template_mapping& map);

// Renames the open document's print medium: the name asked for (dialog
// 1214), stored in the print settings, the media grid painted again.
void Edit_Media_Name();
// Dialog 1214: an edit field preset with name (at most 63 characters), OK
// enabled only while it is not empty. TRUE with name replaced when the user
// confirms.
bool8 Ask_Media_Name(uStr63& name);
