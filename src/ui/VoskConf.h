// The panel configuration: which panels the main window shows for the phase,
// the options and the open document, described again whenever the state
// variables of the layout change (SV_CONFIG_ALL for the whole window,
// SV_CONFIG_BSIDE the bottom side with its palette bar, SV_CONFIG_LSIDE the
// left side with the tool panel, SV_CONFIG_EDIT the edit area).
//
// There are no panels yet: a new layout of the whole window repaints it, and
// the sides and the edit area have nothing to describe.
#pragma once

void Config_All();
void Config_BSide();
void Config_LSide();
void Config_EditArea();
// The phase strip and the tool panel for the phase (no panels yet: nothing
// to describe).
void Config_Tools();
