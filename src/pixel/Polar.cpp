#include "pixel/Polar.h"

#include <algorithm>
#include <cmath>

#include "pixel/Asm32.h"
#include "pixel/Fast.h"
#include "pixel/SysMath.h"
#include "host/HostRegion.h"
#include "host/HostText.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysUnicode.h"
#include "platform/SysWin.h"

void Cyl_To_XY(Point origin, int16 radius, int16 angle, Point& pt) {
  const int16 c = IntCos(angle);
  const int16 s = IntSin(angle);
  pt.h = int16(origin.h + Asm32_Fraction(radius, c, 16384));
  pt.v = int16(origin.v - Asm32_Fraction(radius, s, 16384));
}

void XY_To_Cyl(Point origin, Point xy, Point& cyl) {
  const int32 radius = Point2PointDistance(origin, xy);
  cyl.v = radius > 1 ? SegmentAngle(origin, xy) : int16(0);
  cyl.h = int16(radius);
}

void Rotate_Point(int16 angle, Point origin, Point old, Point& out) {
  if (angle == 0) {
    out = old;
    return;
  }
  const int16 s = IntSin(angle);
  const int16 c = IntCos(angle);
  const int16 dh = int16(old.h - origin.h);
  const int16 dv = int16(old.v - origin.v);
  const Point p{int16(origin.v + Asm32_Fraction(dv, c, 16384) - Asm32_Fraction(dh, s, 16384)),
                int16(origin.h + Asm32_Fraction(dh, c, 16384) + Asm32_Fraction(dv, s, 16384))};
  out = p;
}

void Rotate_PointR(float angle, float x1, float y1, float& x2, float& y2) {
  if (angle == 0) {
    x2 = x1;
    y2 = y1;
    return;
  }
  const double a = double(angle) * kDegToRad;
  const double c = std::cos(a), s = std::sin(a);
  const float nx = float(x1 * c - y1 * s);
  const float ny = float(y1 * c + x1 * s);
  x2 = nx;
  y2 = ny;
}

void XYR_To_CylD(float originx, float originy, float x, float y, float& r, float& theta) {
  const float dx = x - originx;
  const float dy = y - originy;
  r = std::sqrt(dx * dx + dy * dy);
  theta = float(double(arctan2(dy, dx)) * kRadToDeg);
}

void CylD_To_XYR(float originx, float originy, float radius, float angle, float& cartx,
                 float& carty) {
  const double a = double(angle) * kDegToRad;
  cartx = float(std::cos(a) * radius + originx);
  carty = float(std::sin(a) * radius + originy);
}

void CylR_To_XY(float originx, float originy, float radius, float angle, int16& cartx,
                int16& carty) {
  cartx = int16(RoundReal(float(originx + radius * std::cos(double(angle)))));
  carty = int16(RoundReal(float(originy + radius * std::sin(double(angle)))));
}

float DegreesToRadians(float degrees) { return float(degrees * 3.141592653589793 / 180.0); }
float RadiansToDegrees(float radians) { return float(radians * 180.0 / 3.141592653589793); }

int16 Normalize_Degrees(int16 minval, int16 maxval, int16 angle) {
  int32 a = angle;
  // In 32 bits so that angles near the 16-bit limits cannot wrap while stepping.
  while (a < minval) a += 360;
  while (a > maxval) a -= 360;
  return int16(a);
}

namespace {

int32 Div16384(int64 t) { return int32(t / 16384); }  // truncating toward zero

bool Bit_At(const PixMap& pm, int32 h, int32 v) {
  const uint32 stride = PixMap_RowBytes(pm);
  const uint32 col = uint32(h - pm.bounds.left);
  const auto* row = reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(v - pm.bounds.top) * stride;
  return (row[col >> 3] & (0x80u >> (col & 7))) != 0;
}

}  // namespace

void PixMap1_RotateS(int16 angle, const Rect& subset, const PixMap& in, PixMap& out,
                     Point& out_attach) {
  const int16 a = Normalize_Angle(angle);
  Dispose_PixMap(out);
  out_attach = Point{0, 0};
  const int64 w = int64(subset.right) - subset.left;
  const int64 h = int64(subset.bottom) - subset.top;
  if (w <= 0 || h <= 0 || in.baseAddr == nullptr) {
    New_Empty_PixMap(out, 1, nullptr);
    return;
  }
  const int32 sn = IntSin(a), cs = IntCos(a);
  const int64 asin = sn < 0 ? -int64(sn) : sn, acos = cs < 0 ? -int64(cs) : cs;
  int64 nw = (w * acos + 0x2000 + h * asin) / 0x4000;
  int64 nh = (h * acos + 0x2000 + w * asin) / 0x4000;
  nw += (nw % 2 == 0) ? 2 : 3;
  nh += (nh % 2 == 0) ? 2 : 3;
  if (nw > 32767 || nh > 32767) {
    New_Empty_PixMap(out, 1, nullptr);
    return;
  }
  New_PixMap(out, Rect{0, 0, int16(nh), int16(nw)}, 1, nullptr);
  if (out.baseAddr == nullptr) return;

  // Samples outside `in` itself count as clear, whatever `subset` says.
  const int32 left = std::max<int32>(subset.left, in.bounds.left);
  const int32 right = std::min<int32>(subset.right, in.bounds.right);
  const int32 top = std::max<int32>(subset.top, in.bounds.top);
  const int32 bottom = std::min<int32>(subset.bottom, in.bounds.bottom);
  const int64 scenterh = int64(subset.left) + subset.right;
  const int64 scenterv = int64(subset.top) + subset.bottom;
  const int64 dcenterh = nw, dcenterv = nh;
  const uint32 stride = PixMap_RowBytes(out);
  auto* base = reinterpret_cast<uint8*>(out.baseAddr);
  for (int32 dy = 0; dy < nh; ++dy) {
    const int64 ddy = 2 * int64(dy) + 1 - dcenterv;
    for (int32 dx = 0; dx < nw; ++dx) {
      const int64 ddx = 2 * int64(dx) + 1 - dcenterh;
      // The inverse of a clockwise turn, in doubled coordinates.
      const int64 sx2 = Div16384(ddx * cs) + Div16384(ddy * sn) + scenterh;
      const int64 sy2 = Div16384(ddy * cs) - Div16384(ddx * sn) + scenterv;
      const int64 sx = sx2 >= 0 ? sx2 / 2 : -((1 - sx2) / 2);  // floor of the half
      const int64 sy = sy2 >= 0 ? sy2 / 2 : -((1 - sy2) / 2);
      if (sx < left || sx >= right || sy < top || sy >= bottom) continue;
      if (Bit_At(in, int32(sx), int32(sy))) {
        base[size_t(dy) * stride + size_t(dx >> 3)] |= uint8(0x80u >> (dx & 7));
      }
    }
  }
  // in's origin, doubled and turned forward about the centres.
  const int64 ox = -scenterh, oy = -scenterv;
  const int64 fx = Div16384(ox * cs) - Div16384(oy * sn) + dcenterh;
  const int64 fy = Div16384(oy * cs) + Div16384(ox * sn) + dcenterv;
  out_attach.h = int16(fx >= 0 ? fx / 2 : -((1 - fx) / 2));
  out_attach.v = int16(fy >= 0 ? fy / 2 : -((1 - fy) / 2));
}

// --- Pen moves to polar positions ---------------------------------------------------------

void MoveTo_Cyl(Point origin, int16 radius, int16 angle) {
  Point pt;
  Cyl_To_XY(origin, radius, angle, pt);
  MoveTo(pt.h, pt.v);
}

void LineTo_Cyl(Point origin, int16 radius, int16 angle) {
  Point pt;
  Cyl_To_XY(origin, radius, angle, pt);
  LineTo(pt.h, pt.v);
}

void MoveTo_CylR(float originx, float originy, float radius, float angle) {
  int16 x = 0, y = 0;
  CylR_To_XY(originx, originy, radius, angle, x, y);
  MoveTo(x, y);
}

void LineTo_CylR(float originx, float originy, float radius, float angle) {
  int16 x = 0, y = 0;
  CylR_To_XY(originx, originy, radius, angle, x, y);
  LineTo(x, y);
}

// --- Turned text -----------------------------------------------------------------------------

namespace {

// The text as UTF-16 with the advance of each unit stretched by expandf
// (whole pixels, rounded on the running total so that no error builds up).
struct Spaced_Text {
  UniChar u[256];
  int32 n = 0;
  bool spaced = false;
  int32 dx[256];
  int32 width = 0;
};

void Prepare_Text(CStrSpan str, float expandf, Spaced_Text& t) {
  // At most 255 bytes, ending at the NUL.
  size_t len = 0;
  while (len < str.size() && len < 255 && str[len] != 0) ++len;
  t.n = UTF8_Decode(str.first(len), UStrSpan(t.u, 255));
  t.u[t.n] = 0;
  t.spaced = std::isfinite(expandf) && expandf >= 0.1f && expandf <= 10.0f && expandf != 1.0f;
  if (!t.spaced) {
    SIZE sz{0, 0};
    if (t.n > 0 && GetTextExtentPoint32W(theHDC, t.u, t.n, &sz)) t.width = std::clamp<int32>(sz.cx, 0, 20000);
    return;
  }
  double total = 0;
  int32 placed = 0;
  for (int32 i = 0; i < t.n; ++i) {
    SIZE sz{0, 0};
    GetTextExtentPoint32W(theHDC, &t.u[i], 1, &sz);
    total += double(sz.cx) * double(expandf);
    const int32 at = int32(std::min(std::floor(total + 0.5), 20000.0));
    t.dx[i] = at - placed;
    placed = at;
  }
  t.width = placed;
}

// Draws the text at the current position with the text mode of the port.
void Draw_Prepared(const Spaced_Text& t) {
  if (t.n <= 0) return;
  const int32 old = SetBkMode(theHDC, theShadow->text_mode == 1 ? TRANSPARENT : OPAQUE);
  if (t.spaced) ExtTextOutW(theHDC, 0, 0, 0, nullptr, t.u, t.n, t.dx);
  else TextOutW(theHDC, 0, 0, t.u, t.n);
  if (old) SetBkMode(theHDC, old);
}

Point Offset_Point(Point p, int32 dh, int32 dv) {
  return Point{int16(std::clamp<int32>(p.v + dv, -32768, 32767)),
               int16(std::clamp<int32>(p.h + dh, -32768, 32767))};
}

// Fills the region with a solid brush of a GDI colour, then deletes it.
void Fill_Region(HRGN rgn, uint32 color) {
  if (!rgn) return;
  HBRUSH b = CreateSolidBrush(color);
  if (b) {
    FillRgn(theHDC, rgn, b);
    DeleteObject(b);
  }
  DeleteRgn(rgn);
}

constexpr int32 kScratchMargin = 2;
constexpr int64 kScratchMaxPixels = int64(1) << 26;

}  // namespace

void Draw_Rotated_String(CStrSpan str, float expandf, const a_fontspec& netfont, Point oldpos,
                         int16 angle, Point origin, Point& temporg, a_gworld_rec*& tempw) {
  Rotate_Point(angle, origin, oldpos, temporg);
  if (theShadow == nullptr || theHDC == nullptr) return;
  a_fontspec spec = netfont;

  if (theGWorld == nullptr) {
    // A window or printer: the font itself turns the text.
    spec.angle = angle;
    SetFont(spec);
    Spaced_Text t;
    Prepare_Text(str, expandf, t);
    MoveTo(temporg.h, temporg.v);
    Draw_Prepared(t);
    return;
  }

  // An offscreen world: upright into the 1-bit scratch world, then turned.
  GWorldPtr dest = theGWorld;
  const uint32 fore = theShadow->fore_color.d;
  const uint32 back = theShadow->back_color.d;
  const bool opaque = theShadow->text_mode != 1;
  spec.angle = 0;
  SetFont(spec);  // in the destination too, to measure with
  Spaced_Text t;
  Prepare_Text(str, expandf, t);
  HostTextMetric tm;
  if (!GetTextMetricsW(theHDC, &tm)) return;
  const Point end_pt = Offset_Point(oldpos, t.width, 0);
  Point end_turned;
  Rotate_Point(angle, origin, end_pt, end_turned);

  if (opaque && t.width > 0) {
    // The text cell, ascent above the baseline to descent below it.
    const int32 du[4] = {0, t.width, t.width, 0};
    const int32 dv[4] = {-tm.tmAscent, -tm.tmAscent, tm.tmDescent, tm.tmDescent};
    POINT q[4];
    for (int k = 0; k < 4; ++k) {
      Point c;
      Rotate_Point(angle, origin, Offset_Point(oldpos, du[k], dv[k]), c);
      q[k] = POINT{c.h, c.v};
    }
    Fill_Region(CreatePolygonRgn(q, 4, WINDING), back);
  }

  const int64 need_w = int64(t.width) + 2 * kScratchMargin + std::max(0, tm.tmMaxCharWidth);
  const int64 need_h = int64(tm.tmAscent) + tm.tmDescent + 2 * kScratchMargin;
  if (t.n > 0 && need_w <= 32000 && need_h <= 32000 && need_w * need_h <= kScratchMaxPixels) {
    if (tempw == nullptr || tempw->pix.pixelSize != 1 || tempw->pix.bounds.right < need_w ||
        tempw->pix.bounds.bottom < need_h || tempw->pix.bounds.left != 0 || tempw->pix.bounds.top != 0) {
      Dispose_GWorld(tempw);
      if (New_GWorld(Rect{0, 0, int16(need_h), int16(need_w)}, 1, nullptr, tempw) != noErr) tempw = nullptr;
    }
    if (tempw != nullptr) {
      PixMap_Zero(tempw->pix);
      const Point start_in{int16(kScratchMargin + tm.tmAscent), int16(kScratchMargin)};
      // Switched to directly, not through the port stack, so that a caller
      // may use every level of the stack itself.
      a_gstate saved;
      Get_GState(saved);
      Set_GWorld(tempw);
      SetFont(spec);
      ForeColor(1);
      TextMode(1);
      MoveTo(start_in.h, start_in.v);
      Draw_Prepared(t);
      Set_GState(saved);

      Rect ink{0, 0, 0, 0};
      Asm32_PixMap1_Bounding(&tempw->pix, &tempw->pix.bounds, &ink);
      if (ink.right > ink.left && ink.bottom > ink.top) {
        PixMap turned;
        Null_PixMap(turned);
        Point attach{0, 0};
        PixMap1_RotateS(int16(-angle), ink, tempw->pix, turned, attach);
        if (turned.baseAddr != nullptr) {
          // Where the scratch world's start point lands in `turned`, and so
          // where `turned`'s top-left pixel lies in the destination.
          Point start_out;
          Rotate_Point(angle, Point{0, 0}, start_in, start_out);
          const int32 ox = int32(temporg.h) - (attach.h + start_out.h);
          const int32 oy = int32(temporg.v) - (attach.v + start_out.v);
          const int32 w = turned.bounds.right - turned.bounds.left;
          const int32 h = turned.bounds.bottom - turned.bounds.top;
          const uint32 rb = PixMap_RowBytes(turned);
          HRGN rgn = Host_Mask_To_Rgn(
              std::span<const uint8>(reinterpret_cast<const uint8*>(turned.baseAddr), size_t(rb) * size_t(h)),
              int32(rb), w, h, ox, oy);
          if (theGWorld == dest) Fill_Region(rgn, fore);
          else if (rgn) DeleteRgn(rgn);
        }
        Dispose_PixMap(turned);
      }
    }
  }
  MoveTo(end_turned.h, end_turned.v);
}
