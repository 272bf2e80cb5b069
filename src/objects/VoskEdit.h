// The in-place text editor's services to the platform layer, and its record
// g_ed (a_edit_rec, declared with the shared variables in platform/VoskDef.h
// and defined here): the edited object and the selection. Only the caret
// hooks exist so far; the editor itself comes with the text objects, and
// until then g_ed stays zero (nothing is edited).
#pragma once

#include "platform/Types.h"
#include "platform/VoskDef.h"

// TRUE while a text object is being edited (set by the editor).
extern bool8 g_editing;

// Blinks the text caret; called from every null event while a document is
// open. With no text being edited there is no caret and nothing happens.
void Caret_Tick();
// Takes the caret off the screen before a repaint (the window layer's
// caret-erase hook, installed by Caret_Init).
void Caret_Inval();
// The editor lets go of its object: the caret is taken off and the edited
// object's id, index and record are cleared.
void Null_Ed();
// Starts editing the selected text (the editing state becomes TXEDIT_EDIT).
void Text_Edit();

// Module start-up: installs Caret_Inval as the window layer's caret-erase
// hook and Caret_Tick as the main loop's caret hook (g_caret_tick_proc).
void Caret_Init();

// TRUE while a range of characters is selected in the edited text. Ranges
// come with the editor's selection: none is selected yet.
bool8 Is_Text_Range();
// The override controls written into the selected characters. Comes with the
// editor's overrides: nothing happens yet.
void Delta_Text_Override();
