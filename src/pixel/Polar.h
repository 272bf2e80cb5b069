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

struct a_fontspec;
struct a_gworld_rec;

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

void Cyl_To_XY(Point origin, int16 radius, int16 angle, Point& pt);
// Pen move or line in the current port to the point Cyl_To_XY gives.
void MoveTo_Cyl(Point origin, int16 radius, int16 angle);
void LineTo_Cyl(Point origin, int16 radius, int16 angle);
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
// Pen move or line to the point CylR_To_XY gives (angle in radians).
void MoveTo_CylR(float originx, float originy, float radius, float angle);
void LineTo_CylR(float originx, float originy, float radius, float angle);

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

// Draws the text of str (UTF-8, at most 255 bytes) in the font netfont, its
// baseline starting at oldpos and the whole turned by angle (tenths,
// counter-clockwise) about origin, in the current port's foreground colour
// and text mode; netfont's own angle is not used. expandf stretches the
// spacing: each character advances by its width times expandf (1 normal;
// values that are not between 0.1 and 10 count as 1; characters beyond the
// BMP draw as the replacement glyph when the spacing is stretched).
// temporg receives the turned start point, and the pen is left at the turned
// end of the text; the font stays selected in the port (as SetFont leaves it).
// In a window or printer port the font is turned (its escapement) and the
// text drawn at temporg. In an offscreen world the text is drawn upright
// into the 1-bit scratch world tempw (made or enlarged here; the caller
// keeps it between calls and disposes of it), and the inked part is turned
// with PixMap1_RotateS and painted into the world as aliased pixels; opaque
// text mode paints the turned text cell in the background colour first.
void Draw_Rotated_String(CStrSpan str, float expandf, const a_fontspec& netfont, Point oldpos,
                         int16 angle, Point origin, Point& temporg, a_gworld_rec*& tempw);
