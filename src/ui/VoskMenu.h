// The menus' state: enabled items, check marks and the Undo and Redo texts
// kept in step with the state variables (Menus_Update is the procedure of
// SV_MENUBAR_CHECKMARKS), and the toggles the View menu and the keys use.
//
// So far the menus are built once and stay as built: their enabling and
// check marks come with the commands they stand for.
#pragma once

// Recomputes the menus' enabling and check marks.
void Menus_Update();

// "Hide Everything": hides the tool panels, or shows them again
// (SV_TOOL_SHOW := not gs.tool_show).
void HideAll_Toggle();
