// The interface state (gs) and the defaults and fix-ups of the preferences
// record. Only the part of the interface record that the preferences use is
// here so far; the rest of the record (item values, tools, views, fonts,
// patterns, controls) comes with the interface subsystem.
#pragma once

#include "platform/LangUtil.h"
#include "platform/Types.h"
#include "platform/VoskPref.h"

// Number of interface languages (a_language: ENGLISH = 0 .. KOREAN = 19).
constexpr int16 NLANGUAGES = KOREAN + 1;

// Icon grids whose values the preferences carry.
constexpr int16 NGRIDS = 40;
constexpr int16 PROJ_AGE_GRID = 0;

// Default of the grid-line dash density slider (range 1..10).
constexpr int16 GRIDLINES_DASH_DEFAULT = 10;
constexpr int16 GRIDLINES_DASH_MIN = 1;
constexpr int16 GRIDLINES_DASH_MAX = 10;

struct a_interface_rec {
  int16 grid_vals[NGRIDS];  // one value per icon grid
  a_pref_rec pref;          // the preferences record, stored whole
};

// Sets every field of gs.pref to its default, version 28.
void Prefs_SetToDefault();
// Adjusts a record just read to the running system.
void Prefs_Fixup_Read();
// Brings the record up to date before it is written.
void Prefs_Fixup_Write();

// Names the three media entries of each direct-print kind (items 399..401 of
// dialog string list 200). With force every name is set; otherwise a name is
// replaced only while it still equals the text of old_language, so names the
// user edited stay. Density and quality (adjustments 4 and 5) become 5 and 3.
void Fix_Direct_Print_Media_Names(a_print_media_array (&media)[NDIRECT_PRINT_KINDS],
                                  int16 old_language, bool8 force);
void Init_Media_Names(a_print_media_array& array, int16 old_language, bool8 force);
