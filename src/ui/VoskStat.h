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

// Who drives the program: a person (alerts that are not fatal show), or a
// script or test controller (they stay silent).
enum a_controller : int16 { HUMAN = 0, GHOST = 1, GHOST2 = 2, STEALTH = 3 };

// Windows of the host layer (the interface record keeps handles only).
struct HostWindow;

// A list box of the interface (the paper browser's two lists). Only its
// scroll bar is here so far; items, drawing and selection come with the
// paper browser.
struct a_listbox_desc {
  HostWindow* scrollbar;  // its vertical scroll bar (NIL until it exists)
};

struct a_interface_rec {
  int16 grid_vals[NGRIDS];  // one value per icon grid
  a_pref_rec pref;          // the preferences record, stored whole
  int16 menu_base;          // base id of the menu resources
  bool8 mytask;             // TRUE while the program is the active application
  bool8 tool_show;          // the tool panels are shown (not hidden by Escape)
  a_controller controller;
  HostWindow* outer_window;   // the main window
  HostWindow* lscroll_ctrl;   // scroll bar of the layer bar (NIL until it exists)
  HostWindow* uscroll_ctrl;   // scroll bar of the unit list (NIL until it exists)
  a_listbox_desc paper_kind_desc;  // the paper browser's list of kinds (or brands)
  a_listbox_desc paper_list_desc;  // and of papers
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

// Builds the static interface state: the controller and bases, and the main
// window gs.outer_window over gs.pref.tot_window (visible, titled with the
// program's name). Static_Stop closes it.
void Static_Init();
void Static_Stop();
// Paints the main window (its update procedure).
void Main_Window_Update(HostWindow* window);
