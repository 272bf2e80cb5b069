// The navigator and the status area: the reduced picture of the current unit
// with the frame of what the edit view shows. The reduction follows the
// views and the zoom factor (SV_NAV_REDUCTION), the frame the view's focus
// (SV_NAV_FRAME).
//
// The navigator comes with the panels; until then there is nothing to
// recalculate.
#pragma once

// The value tips: records the main window and hooks the tips into its
// updates. The tips come with the panels; until then there is nothing to
// hook.
void Annot_Init();

void Nav_Recalc_Reduction();
void Nav_Recalc_Frame();
