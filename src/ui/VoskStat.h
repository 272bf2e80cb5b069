// The interface state: it builds gs (whose record, a_interface_rec, is
// declared with the other shared records in platform/VoskDef.h, since the
// platform layer reads it too) and supplies the defaults and fix-ups of the
// preferences record, which it installs in the preferences module's hooks at
// its start-up (VoskStat_Init).
#pragma once

#include "platform/LangUtil.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"
#include "platform/VoskPref.h"
#include "ui/VoskIntI.h"

// PROJ_AGE_GRID (its value is the preferences' last_agex) and PROJ_SORT_GRID
// (how the layout chooser groups its layouts: 0 by kind of unit, 1 by brand)
// are icon grids of the item tables.

// Module start-up: installs Prefs_SetToDefault, Prefs_Fixup_Read and
// Prefs_Fixup_Write in the preferences module's hooks (VoskPref.h).
void VoskStat_Init();

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

// Builds the static interface state: the controller and bases, the main
// window gs.outer_window over gs.pref.tot_window (visible, titled with the
// program's name), and the layout chooser's two list boxes
// (Init_ListBox_Desc). Static_Stop disposes of their scroll bars and closes
// the window.
void Static_Init();
void Static_Stop();
// desc := zero (a scroll bar it had is disposed of first), then: the base
// proportional font at 14 pixels, bold; border 1; hix 1; scrollbar_h the
// scroll-bar thickness (info_sbarheight); rows white with black text, the
// highlighted row light blue (164, 209, 255) with black text, the strips
// between rows dark green (30, 60, 30); and a hidden vertical scroll bar
// (20 x 100, range 0 to 100, value 0) in the main window (none without it).
void Init_ListBox_Desc(a_listbox_desc& desc);
// The per-document interface state, for each new or opened document (after
// its units exist): Init_SP1 resets the fill, marks the document open (the
// print preview shows) and makes unit 1 current; Init_SP2 follows once the
// layout is known. Stop_SP runs when the document is closed. (The item values,
// tools, bars and print adjustments they also reset come with the tool
// panels.)
void Init_SP1();
void Init_SP2();
void Stop_SP();
// Paints the main window (its update procedure).
void Main_Window_Update(HostWindow* window);
