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

// The interface state of the program, at start-up (after the preferences
// are read, which it keeps): the main window gs.outer_window over
// gs.pref.tot_window (shown, titled with the program's name, its info record
// gs.outer_window_info) with its hidden scroll bars, the views, the rings'
// bars and the tools, the palette, the fonts, the patterns, the custom
// stamp's worlds, the layout chooser's two list boxes, the project age from
// the preferences and the grids reset at start-up; then the transient state
// t (status lines, marquee region, gradient centre ...), the brush cache, and
// no document. Static_Stop undoes it and closes the window.
void Static_Init();
void Static_Stop();

// The palette: the 870 colours of the colour table resource ("CTBL" 128, a
// little-endian count that must be 870, then red, green and blue of each),
// the first seven replaced by the user's colours of the preferences. A
// resource that is missing, counts otherwise or is shorter than its colours
// goes to the missing-resource hook (which ends the program); should the hook
// return, the palette is black but for the user's colours.
void Init_Color_Table();
// The interface's fonts: 12 (base proportional), 14 bold (proportional), 18
// and 24 bold (big), 24 (entry).
void Init_Fonts();
// desc := zero (a scroll bar it had is disposed of first), then: the 14-point
// bold interface font (gs.font_14pt); border 1; hix 1; scrollbar_h the
// scroll-bar thickness (info_sbarheight); rows white with black text, the
// highlighted row light blue (164, 209, 255) with black text, the strips
// between rows dark green (30, 60, 30); and a hidden vertical scroll bar
// (20 x 100, range 0 to 100, value 0) in the main window (none without it).
void Init_ListBox_Desc(a_listbox_desc& desc);
// Every icon grid reset at `when` takes its default.
void Init_Grid_Values(a_when_init when);

// The per-document interface state, for each new or opened document (after
// its units exist): Init_SP1 resets the layer bar, the items (Init_SV), the
// tool, bar and ring, the fill, the bar each ring shows and the spray's
// random state, marks the document open (the print preview shows), makes
// unit 1 current and sets the caret up. Init_SP2 follows once the layout is
// known: the custom stamp's memory budget, then the print adjustments of the
// document's medium. Stop_SP runs when the document is closed.
void Init_SP1();
void Init_SP2();
void Stop_SP();
// The items' per-document values: sliders, toggles (cut lines and rulers as
// the preferences have them) and grids reset for a new document take their
// defaults; each palette bar selects its first element, the stamp bar stamp
// 1, the colour bars the palette's nearest colour to their starting colour
// (black; for the text outline (199, 207, 187), the glow (0, 255, 255), the
// cut and grid lines the preferences' colours, the photo border (114, 87,
// 61)), the font bar the preferences' base font.
void Init_SV();
// Paints the main window (its update procedure).
void Main_Window_Update(HostWindow* window);
