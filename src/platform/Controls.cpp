#include "platform/Controls.h"

#include "host/HostControls.h"
#include "platform/SysErr.h"
#include "platform/Windowv.h"

HWND NewControl2(HWND parent, const char* cls, uint32 style, const Rect& local, intptr_t refCon) {
  if (parent == nullptr) return nullptr;
  Host_Controls_Init();
  // local is in the parent's drawing coordinates; the child sits in its
  // client coordinates, which differ by the parent context's window origin.
  POINT org{0, 0};
  HDC dc = GetDC(parent);
  if (dc != nullptr) GetWindowOrgEx(dc, &org);
  const int32 x = int32(local.left) - org.x, y = int32(local.top) - org.y;
  const int32 w = int32(local.right) - local.left, h = int32(local.bottom) - local.top;
  return CreateWindowEx(0, cls, u"", style | WS_CHILD, x, y, w, h, parent,
                        reinterpret_cast<HMENU>(refCon), nullptr, nullptr);
}

ControlHandle NewControl(HWND parent, const Rect& local, CStrSpan /*title*/, bool8 visible,
                         int16 /*value*/, int16 /*min*/, int16 /*max*/, int16 /*procID*/,
                         intptr_t refCon) {
  const int32 w = int32(local.right) - local.left, h = int32(local.bottom) - local.top;
  uint32 style = h >= w ? SBS_VERT : SBS_HORZ;
  if (visible) style |= WS_VISIBLE;
  return NewControl2(parent, "scrollbar", style, local, refCon);
}

void DisposeControl(ControlHandle& ctrl) {
  if (ctrl != nullptr) DestroyWindow(ctrl);
  ctrl = nullptr;
}

void SetControlMinMax(ControlHandle hdl, int32 min, int32 max, int32 view) {
  if (view < 0) view = 0;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
  si.nMin = min;
  // The range ends a page less one beyond max, so that the position can
  // reach max with a page of view showing.
  si.nMax = int32(int64(max) + view - 1 > INT32_MAX ? INT32_MAX : max + view - 1);
  si.nPage = UINT(view);
  SetScrollInfo(hdl, SB_CTL, &si, true);
}

void SetControlValue(ControlHandle ctrl, int32 value) { SetScrollPos(ctrl, SB_CTL, value, true); }
int32 GetControlValue(ControlHandle ctrl) { return GetScrollPos(ctrl, SB_CTL); }

int32 GetControlMinimum(ControlHandle ctrl) {
  int32 lo = 0, hi = 0;
  GetScrollRange(ctrl, SB_CTL, &lo, &hi);
  return lo;
}

int32 GetControlMaximum(ControlHandle ctrl) {
  int32 lo = 0, hi = 0;
  GetScrollRange(ctrl, SB_CTL, &lo, &hi);
  return hi;
}

void SetControlMinimum(ControlHandle ctrl, int32 min) {
  int32 lo = 0, hi = 0;
  GetScrollRange(ctrl, SB_CTL, &lo, &hi);
  if (lo != min) SetScrollRange(ctrl, SB_CTL, min, hi, true);
}

void SetControlMaximum(ControlHandle ctrl, int32 max) {
  int32 lo = 0, hi = 0;
  GetScrollRange(ctrl, SB_CTL, &lo, &hi);
  if (hi != max) SetScrollRange(ctrl, SB_CTL, lo, max, true);
}

void ShowControl(ControlHandle ctrl) { ShowScrollBar(ctrl, SB_CTL, true); }
void HideControl(ControlHandle ctrl) { ShowScrollBar(ctrl, SB_CTL, false); }

void MoveControl(ControlHandle ctrl, int16 h, int16 v) {
  if (ctrl != nullptr) ::MoveWindow(ctrl, h, v, bool8(false));
}

void SizeControl(ControlHandle ctrl, int16 w, int16 h) {
  if (ctrl != nullptr) SizeWindow(ctrl, w, h, true);
}

int16 FindControl(Point /*where*/, HWND /*window*/, ControlHandle& ctrl) {
  ctrl = nullptr;
  return 0;
}

int16 TrackControl(ControlHandle, Point, void*) {
  QUIT();
  return 0;
}
void SetControlTitle(ControlHandle, CStrSpan) { QUIT(); }
void SetControlViewSize(ControlHandle, int32) { QUIT(); }
bool8 IsControlVisible(ControlHandle) {
  QUIT();
  return false;
}
