// Shared pieces of the platform layer over the host: conversions between the
// toolbox's coordinate records (Point v,h; Rect top,left,bottom,right, 16-bit)
// and the host's (POINT x,y; RECT left,top,right,bottom, 32-bit), clamped to
// the range the toolbox records can carry.
#pragma once

#include "host/HostSpans.h"  // POINT, RECT
#include "platform/Types.h"

struct PixMap;
struct BITMAPINFO;

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

// --- DIB headers of pixel maps ------------------------------------------------------

// bmi := the header of `pix` as a top-down DIB of its own depth: size 40,
// width and height of its bounds (height negative), one plane, the map's
// pixel size as bit count. Colour table: none for 16 bits and more; 8 bits a
// grey ramp (entry j = 255 - j) for gray_ctable, the ramp j for gray_ctable2,
// else the main colour table; 1 bit entry 0 white, entry 1 black. Other
// depths call QUIT.
void Calc_RGB_DIB(BITMAPINFO& bmi, const PixMap& pix);
// The same header with a table of 16-bit palette indices: 8 bits 0 .. 255;
// 1 bit entry 0 the current port's back colour index, entry 1 its fore
// colour index (indices 255 and 0, white and black, when no
// port is current). Other depths call QUIT.
void Calc_Pal_DIB(BITMAPINFO& bmi, const PixMap& pix);
// Calc_RGB_DIB / Calc_Pal_DIB into a module record that is returned; the
// record is overwritten by the next call.
BITMAPINFO* Get_RGB_DIB(const PixMap& pix);
BITMAPINFO* Get_Pal_DIB(const PixMap& pix);
