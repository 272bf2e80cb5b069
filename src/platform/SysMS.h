// Shared pieces of the platform layer over the host: conversions between the
// toolbox's coordinate records (Point v,h; Rect top,left,bottom,right, 16-bit)
// and the host's (POINT x,y; RECT left,top,right,bottom, 32-bit), clamped to
// the range the toolbox records can carry.
#pragma once

#include "host/HostSpans.h"  // POINT, RECT
#include "platform/Types.h"

constexpr int32 INT16_CLAMP = 32000;

// Exchanges the two 16-bit halves of a 32-bit position (x low, y high) into
// a Point.
Point SwapXY(uint32 pos);
// Clamps to -32000..32000.
int16 INT32_To_INT16(int32 i);
void ToPOINT(POINT& P, const Point& pt);
void ToPoint(Point& pt, const POINT& P);
void ToRECT(RECT& R, const Rect& r);
void ToRect(Rect& r, const RECT& R);

// Ends the process at once with a message on standard error; nothing else
// runs (no termination procedures).
[[noreturn]] void Quit(const char* msg);
