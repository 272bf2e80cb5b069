// Toolbox-named control calls over the host's child windows. The program's
// only controls of this kind are scroll bars ("scrollbar" children); their
// value and range are the control's scroll position and range (SB_CTL).
// Calls the program never makes on this platform keep their names and
// report an internal error.
#pragma once

#include "host/HostWin.h"
#include "platform/Types.h"

using ControlHandle = HWND;

// A child scroll bar over `local` (the parent's logical coordinates,
// converted with the parent's window origin): vertical when local is at
// least as high as wide. title, value, min, max and procID are not used;
// callers set the range with SetControlMinMax. NIL when it cannot be made.
ControlHandle NewControl(HWND parent, const Rect& local, CStrSpan title, bool8 visible, int16 value,
                         int16 min, int16 max, int16 procID, intptr_t refCon);
// The general child-window maker: class cls, style bits (WS_CHILD is
// added), over local as above; refCon is the control id.
HWND NewControl2(HWND parent, const char* cls, uint32 style, const Rect& local, intptr_t refCon);
void DisposeControl(ControlHandle& ctrl);

// Range min .. max + view - 1 with page size view (range, page, and
// disabled rather than hidden when nothing can scroll), redrawn.
void SetControlMinMax(ControlHandle hdl, int32 min, int32 max, int32 view);

void SetControlValue(ControlHandle ctrl, int32 value);
int32 GetControlValue(ControlHandle ctrl);
// The range is rewritten only when it changes.
void SetControlMinimum(ControlHandle ctrl, int32 min);
int32 GetControlMinimum(ControlHandle ctrl);
void SetControlMaximum(ControlHandle ctrl, int32 max);
int32 GetControlMaximum(ControlHandle ctrl);
void ShowControl(ControlHandle ctrl);
void HideControl(ControlHandle ctrl);
// In the parent's client coordinates / the control's new size.
void MoveControl(ControlHandle ctrl, int16 h, int16 v);
void SizeControl(ControlHandle ctrl, int16 w, int16 h);

// Controls are found and drawn by the window layer, never by these.
int16 FindControl(Point where, HWND window, ControlHandle& ctrl);
inline int32 CreateRootControl(HWND, void*) { return 0; }
inline void DrawControls(HWND) {}
inline void Draw1Control(ControlHandle) {}

// Not supported: QUIT.
int16 TrackControl(ControlHandle ctrl, Point where, void* action);
void SetControlTitle(ControlHandle ctrl, CStrSpan title);
void SetControlViewSize(ControlHandle ctrl, int32 view);
bool8 IsControlVisible(ControlHandle ctrl);
