// Polar positions about an origin (usually the disc centre) and rotation of
// points.
//
// Integer family: 16-bit points (v grows downward), angles in tenths of a
// degree counter-clockwise as seen on the screen, sines and cosines from
// IntSin / IntCos with each product divided by 16384 on its own, truncating
// toward zero. Real family: 32-bit reals, y taken as given, degrees or
// radians as named.
#pragma once

#include "pixel/SysPix.h"
#include "platform/Types.h"

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

void Cyl_To_XY(Point origin, int16 radius, int16 angle, Point& pt);
// cyl.v := angle (0 when the radius is 0 or 1), cyl.h := radius.
void XY_To_Cyl(Point origin, Point xy, Point& cyl);
// Turns `old` about `origin`; 900 takes a point right of the origin above it.
void Rotate_Point(int16 angle, Point origin, Point old, Point& out);

void Rotate_PointR(float angle, float x1, float y1, float& x2, float& y2);
// theta in degrees, 0 up to 360.
void XYR_To_CylD(float originx, float originy, float x, float y, float& r, float& theta);
void CylD_To_XYR(float originx, float originy, float radius, float angle, float& cartx,
                 float& carty);
void CylR_To_XY(float originx, float originy, float radius, float angle, int16& cartx,
                int16& carty);

float DegreesToRadians(float degrees);
float RadiansToDegrees(float radians);
// Adds 360 while below minval, then subtracts 360 while above maxval.
int16 Normalize_Degrees(int16 minval, int16 maxval, int16 angle);

// Makes `out` (disposed of first) a new 1-bit map holding the `subset` of the
// 1-bit map `in` turned by `angle` (tenths) the opposite way to the pixel-map
// rotation, i.e. clockwise on the screen for a positive angle. `out` is a
// little larger than the turned subset so no set bit touches its edge;
// `out_attach` is where `in`'s coordinate origin lands in `out`.
void PixMap1_RotateS(int16 angle, const Rect& subset, const PixMap& in, PixMap& out,
                     Point& out_attach);
