// Lines, rectangles, rounded rectangles, ovals, regions and polygons drawn
// into the current port with its pen, patterns, colours and transfer mode;
// region and polygon recording; a few pixel and picture calls; UnpackBits.
//
// Filled shapes are handed to GDI one pixel wider and taller than the
// rectangle, because GDI's filled figures with a null pen leave out the
// right column and bottom row: this way they cover exactly the rectangle's
// pixels, like the regions made for the same rectangle.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/QuickdrawPriv.h"
#include "platform/ResImage.h"
#include "platform/Resources.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"
#include "platform/SysWin.h"

namespace {

enum Shape_Kind { SHAPE_RECT, SHAPE_RRECT, SHAPE_OVAL };

struct Shape {
  Shape_Kind kind;
  Rect r;
  int16 oval_h, oval_v;
};

// The GDI figure on (l, t, r, b) with whatever pen and brush are selected.
void Gdi_Figure(Shape_Kind kind, int32 l, int32 t, int32 r, int32 b, int32 ow, int32 oh) {
  switch (kind) {
    case SHAPE_RECT: Rectangle(theHDC, l, t, r, b); break;
    case SHAPE_RRECT: RoundRect(theHDC, l, t, r, b, ow, oh); break;
    case SHAPE_OVAL: Ellipse(theHDC, l, t, r, b); break;
  }
}

// Fills the shape's pixels with a brush in the current transfer mode. The
// null pen stays selected; the previous brush is put back.
void Fill_Shape(const Shape& s, HBRUSH brush) {
  SelectObject(theHDC, GetStockObject(NULL_PEN));
  HGDIOBJ old = SelectObject(theHDC, brush);
  Gdi_Figure(s.kind, s.r.left, s.r.top, int32(s.r.right) + 1, int32(s.r.bottom) + 1, s.oval_h, s.oval_v);
  if (old) SelectObject(theHDC, old);
}

// The region of exactly the pixels a filled shape covers.
HRGN Shape_Rgn(Shape_Kind kind, int32 l, int32 t, int32 r, int32 b, int32 ow, int32 oh) {
  if (l >= r || t >= b) return CreateRectRgn(0, 0, 0, 0);
  switch (kind) {
    case SHAPE_RECT: return CreateRectRgn(l, t, r, b);
    case SHAPE_RRECT: return CreateRoundRectRgn(l, t, r + 1, b + 1, ow, oh);
    case SHAPE_OVAL: return CreateEllipticRgn(l, t, r + 1, b + 1);
  }
  return nullptr;
}

void Paint_Shape(const Shape& s) {
  if (!QD_Port_Ready() || EmptyRect(s.r)) return;
  Fill_Shape(s, Calc_Brush(theShadow->fore_color.d, theShadow->pen_pat));
}

void Fill_Shape_Pat(const Shape& s, const Pattern& pat) {
  if (!QD_Port_Ready() || EmptyRect(s.r)) return;
  Fill_Shape(s, Calc_Brush(theShadow->fore_color.d, pat));
}

void Erase_Shape(const Shape& s) {
  if (!QD_Port_Ready() || EmptyRect(s.r)) return;
  HBRUSH brush = CreateSolidBrush(theShadow->back_color.d);
  if (!brush) return;
  Fill_Shape(s, brush);
  DeleteObject(brush);
}

void Invert_Shape(const Shape& s) {
  if (!QD_Port_Ready() || EmptyRect(s.r)) return;
  if (s.kind == SHAPE_RECT) {
    const RECT rc{s.r.left, s.r.top, s.r.right, s.r.bottom};
    ::InvertRect(theHDC, &rc);
    return;
  }
  const int32 old_rop = SetROP2(theHDC, R2_NOT);
  Fill_Shape(s, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  if (old_rop) SetROP2(theHDC, old_rop);
}

void Unite_Into_Accum(HRGN rgn) {
  if (!rgn || CombineRgn(theShadow->accum_rgn, theShadow->accum_rgn, rgn, RGN_OR) == ERROR) QUIT();
}

void Frame_Shape(const Shape& s) {
  if (!QD_Port_Ready() || EmptyRect(s.r)) return;
  const Rect& r = s.r;
  switch (theShadow->state) {
    case PAINTING: {
      const int32 pw = theShadow->pen_width;
      const int32 w = int32(r.right) - r.left, h = int32(r.bottom) - r.top;
      if (w <= 2 * pw || h <= 2 * pw) {
        Paint_Shape(s);
        return;
      }
      if (Is_Solid_Black(theShadow->pen_pat)) {
        HGDIOBJ old_pen = SelectObject(theHDC, Calc_Pen(PS_INSIDEFRAME));
        HGDIOBJ old_brush = SelectObject(theHDC, GetStockObject(NULL_BRUSH));
        Gdi_Figure(s.kind, r.left, r.top, r.right, r.bottom, s.oval_h, s.oval_v);
        if (old_brush) SelectObject(theHDC, old_brush);
        if (old_pen) SelectObject(theHDC, old_pen);
        return;
      }
      // A patterned frame: the shape minus the shape inset by the pen width.
      HostRgnOwner outer(Shape_Rgn(s.kind, r.left, r.top, r.right, r.bottom, s.oval_h, s.oval_v));
      HostRgnOwner inner(Shape_Rgn(s.kind, r.left + pw, r.top + pw, r.right - pw, r.bottom - pw, s.oval_h, s.oval_v));
      if (!outer || !inner) return;
      if (CombineRgn(outer.get(), outer.get(), inner.get(), RGN_DIFF) == ERROR) return;
      PaintRgn(outer.get());
      return;
    }
    case BUILDING_RGN: {
      HostRgnOwner rgn(Shape_Rgn(s.kind, r.left, r.top, r.right, r.bottom, s.oval_h, s.oval_v));
      Unite_Into_Accum(rgn.get());
      return;
    }
    case BUILDING_POLY: return;
  }
}

// --- Polygon recording ---------------------------------------------------------------

void Record_MoveTo(a_polygon* poly, int32 h, int32 v) {
  if (!poly || poly->full) return;
  if (poly->ncount > 0 && poly->counts[poly->ncount - 1] == 1) {
    // A sub-path of one point draws nothing: the new one replaces it.
    poly->ncount--;
    poly->npoints--;
  } else if (poly->npoints > 0 && poly->points[poly->npoints - 1] == POINT{h, v}) {
    return;
  }
  if (poly->ncount >= kPolyMaxPaths || poly->npoints >= kPolyMaxPoints) {
    // At a limit recording stops for good: appending later lines to the last
    // sub-path would join contours that were never joined.
    poly->full = true;
    return;
  }
  poly->counts[poly->ncount++] = 1;
  poly->points[poly->npoints++] = POINT{h, v};
}

void Record_LineTo(a_polygon* poly, int32 h, int32 v) {
  if (!poly || poly->full || poly->ncount == 0) return;
  if (poly->npoints >= kPolyMaxPoints) {
    poly->full = true;
    return;
  }
  poly->points[poly->npoints++] = POINT{h, v};
  poly->counts[poly->ncount - 1]++;
}

bool Poly_Drawable(PolyHandle poly) {
  if (!QD_Port_Ready() || !poly || poly->ncount <= 0 || poly->npoints <= 0) return false;
  return poly->ncount <= kPolyMaxPaths && poly->npoints <= kPolyMaxPoints;
}

// Fills every sub-path of the polygon with a brush in the current mode.
void Fill_Poly(PolyHandle poly, HBRUSH brush) {
  SelectObject(theHDC, GetStockObject(NULL_PEN));
  HGDIOBJ old = SelectObject(theHDC, brush);
  PolyPolygon(theHDC, poly->points, poly->counts, poly->ncount);
  if (old) SelectObject(theHDC, old);
}

}  // namespace

// --- Lines ---------------------------------------------------------------------------------

void MoveTo(int16 h, int16 v) {
  if (!QD_Port_Ready()) return;
  if (theShadow->state != PAINTING) Record_MoveTo(theShadow->accum_poly, h, v);
  // The pen follows while recording too, so that Move and Line stay relative
  // to where the recorded path stands.
  MoveToEx(theHDC, h, v, nullptr);
}

void Move(int16 dh, int16 dv) {
  if (!QD_Port_Ready()) return;
  POINT cur{0, 0};
  GetCurrentPositionEx(theHDC, &cur);
  MoveTo(QD_Clamp16(cur.x + dh), QD_Clamp16(cur.y + dv));
}

void LineTo(int16 h, int16 v) {
  if (!QD_Port_Ready()) return;
  if (theShadow->state != PAINTING) {
    Record_LineTo(theShadow->accum_poly, h, v);
    MoveToEx(theHDC, h, v, nullptr);
    return;
  }
  POINT cur{0, 0};
  GetCurrentPositionEx(theHDC, &cur);
  if (cur.x == h && cur.y == v) {
    // GDI draws nothing for a line of no length; the toolbox draws one dot
    // of the pen's size.
    const int32 pw = theShadow->pen_width;
    Rect r{v, h, QD_Clamp16(int32(v) + pw), QD_Clamp16(int32(h) + pw)};
    PaintRect(r);
    return;
  }
  HPEN pen = Calc_Pen(Is_Solid_Black(theShadow->pen_pat) ? PS_SOLID : PS_DOT);
  HGDIOBJ old = SelectObject(theHDC, pen);
  ::LineTo(theHDC, h, v);
  if (old) SelectObject(theHDC, old);
}

void Line(int16 dh, int16 dv) {
  if (!QD_Port_Ready()) return;
  if (theShadow->state != PAINTING) {
    a_polygon* poly = theShadow->accum_poly;
    if (!poly || poly->npoints <= 0) return;
    const POINT last = poly->points[poly->npoints - 1];
    const int32 h = QD_Clamp16(last.x + dh), v = QD_Clamp16(last.y + dv);
    Record_LineTo(poly, h, v);
    MoveToEx(theHDC, h, v, nullptr);
    return;
  }
  POINT cur{0, 0};
  GetCurrentPositionEx(theHDC, &cur);
  LineTo(QD_Clamp16(cur.x + dh), QD_Clamp16(cur.y + dv));
}

// --- Rectangles, rounded rectangles, ovals ---------------------------------------------

void FrameRect(const Rect& r) { Frame_Shape({SHAPE_RECT, r, 0, 0}); }
void PaintRect(const Rect& r) { Paint_Shape({SHAPE_RECT, r, 0, 0}); }
void EraseRect(const Rect& r) { Erase_Shape({SHAPE_RECT, r, 0, 0}); }
void InvertRect(const Rect& r) { Invert_Shape({SHAPE_RECT, r, 0, 0}); }
void FillRect(const Rect& r, const Pattern& pat) { Fill_Shape_Pat({SHAPE_RECT, r, 0, 0}, pat); }

void FrameRoundRect(const Rect& r, int16 oh, int16 ov) { Frame_Shape({SHAPE_RRECT, r, oh, ov}); }
void PaintRoundRect(const Rect& r, int16 oh, int16 ov) { Paint_Shape({SHAPE_RRECT, r, oh, ov}); }
void EraseRoundRect(const Rect& r, int16 oh, int16 ov) { Erase_Shape({SHAPE_RRECT, r, oh, ov}); }
void InvertRoundRect(const Rect& r, int16 oh, int16 ov) { Invert_Shape({SHAPE_RRECT, r, oh, ov}); }
void FillRoundRect(const Rect& r, int16 oh, int16 ov, const Pattern& pat) {
  Fill_Shape_Pat({SHAPE_RRECT, r, oh, ov}, pat);
}

void FrameOval(const Rect& r) { Frame_Shape({SHAPE_OVAL, r, 0, 0}); }
void PaintOval(const Rect& r) { Paint_Shape({SHAPE_OVAL, r, 0, 0}); }
void EraseOval(const Rect& r) { Erase_Shape({SHAPE_OVAL, r, 0, 0}); }
void InvertOval(const Rect& r) { Invert_Shape({SHAPE_OVAL, r, 0, 0}); }
void FillOval(const Rect& r, const Pattern& pat) { Fill_Shape_Pat({SHAPE_OVAL, r, 0, 0}, pat); }

// --- Regions ------------------------------------------------------------------------------

RgnHandle NewRgn() {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  if (!rgn) g_err_mem_proc(uint32(sizeof(HostRgn)));
  return rgn;
}

void DisposeRgn(RgnHandle& rgn) {
  if (rgn) DeleteRgn(rgn);
  rgn = nullptr;
}

void OpenRgn() {
  if (!theShadow) return;
  if (theShadow->state == BUILDING_RGN) {
    // A recording left open: drop it rather than leak it.
    if (theShadow->accum_rgn) DeleteRgn(theShadow->accum_rgn);
    if (theShadow->accum_poly) {
      Ptr p = reinterpret_cast<Ptr>(theShadow->accum_poly);
      Dispose_Ptr(p);
    }
    theShadow->accum_rgn = nullptr;
    theShadow->accum_poly = nullptr;
    theShadow->state = PAINTING;
  }
  theShadow->accum_rgn = NewRgn();
  theShadow->state = BUILDING_RGN;
  OpenPoly();
}

void CloseRgn(RgnHandle dstRgn) {
  if (!theShadow || theShadow->state != BUILDING_RGN) {
    QUIT();
    return;
  }
  ClosePoly();
  a_polygon* poly = theShadow->accum_poly;
  if (poly && poly->npoints > 2) {
    HostRgnOwner prgn(CreatePolyPolygonRgn(poly->points, poly->counts, poly->ncount, ALTERNATE));
    Unite_Into_Accum(prgn.get());
  }
  if (poly) {
    Ptr p = reinterpret_cast<Ptr>(poly);
    Dispose_Ptr(p);
  }
  theShadow->accum_poly = nullptr;
  theShadow->state = PAINTING;
  HRGN accum = theShadow->accum_rgn;
  theShadow->accum_rgn = nullptr;
  const int32 ok = CombineRgn(dstRgn, accum, nullptr, RGN_COPY);
  DeleteRgn(accum);
  if (ok == ERROR) QUIT();
}

void CopyRgn(RgnHandle src, RgnHandle dst) {
  if (CombineRgn(dst, src, nullptr, RGN_COPY) == ERROR) QUIT();
}

void SetEmptyRgn(RgnHandle rgn) { SetRectRgn(rgn, 0, 0, 0, 0); }

void RectRgn(RgnHandle rgn, const Rect& r) {
  if (EmptyRect(r)) SetRectRgn(rgn, 0, 0, 0, 0);
  else SetRectRgn(rgn, r.left, r.top, r.right, r.bottom);
}

namespace {

int64 Box_Area(HRGN rgn) {
  RECT b{0, 0, 0, 0};
  GetRgnBox(rgn, &b);
  return int64(b.right - b.left) * (b.bottom - b.top);
}

// When GDI cannot combine: copy srcA or srcB as the combination asks.
void Combine_Or_Copy(HRGN a, HRGN b, HRGN dst, int32 mode) {
  if (CombineRgn(dst, a, b, mode) != ERROR) return;
  HRGN pick = b;
  if (mode == RGN_AND) pick = Box_Area(a) < Box_Area(b) ? a : b;
  else if (mode == RGN_OR) pick = Box_Area(a) > Box_Area(b) ? a : b;
  else pick = a;
  CombineRgn(dst, pick, nullptr, RGN_COPY);
}

}  // namespace

void SectRgn(RgnHandle a, RgnHandle b, RgnHandle dst) { Combine_Or_Copy(a, b, dst, RGN_AND); }
void UnionRgn(RgnHandle a, RgnHandle b, RgnHandle dst) { Combine_Or_Copy(a, b, dst, RGN_OR); }
void DiffRgn(RgnHandle a, RgnHandle b, RgnHandle dst) { Combine_Or_Copy(a, b, dst, RGN_DIFF); }

bool8 RectInRgn(const Rect& r, RgnHandle rgn) {
  if (EmptyRect(r)) return false;
  const RECT rc{r.left, r.top, r.right, r.bottom};
  return RectInRegion(rgn, &rc);
}

bool8 EmptyRgn(RgnHandle rgn) {
  HostRgnOwner tmp(CreateRectRgn(0, 0, 0, 0));
  return tmp && CombineRgn(tmp.get(), tmp.get(), rgn, RGN_OR) == NULLREGION;
}

bool8 PtInRgn(Point pt, RgnHandle rgn) { return PtInRegion(rgn, pt.h, pt.v); }

void MapRgn(RgnHandle rgn, const Rect& src, const Rect& dst) {
  if (!rgn || src == dst) return;
  if (EmptyRect(dst)) {
    SetRectRgn(rgn, 0, 0, 0, 0);
    return;
  }
  const int32 sw = int32(src.right) - src.left, sh = int32(src.bottom) - src.top;
  const int32 dw = int32(dst.right) - dst.left, dh = int32(dst.bottom) - dst.top;
  if (sw == dw && sh == dh) {
    OffsetRgn(rgn, int32(dst.left) - src.left, int32(dst.top) - src.top);
    return;
  }
  // An empty source has no scale: nothing sensible to map from.
  if (sw <= 0 || sh <= 0) return;
  if (OffsetRgn(rgn, -int32(src.left), -int32(src.top)) == ERROR) return;
  const uint32 size = GetRegionData(rgn, 0, nullptr);
  if (size == 0) return;
  std::vector<uint8> block(size);
  auto* data = reinterpret_cast<RGNDATA*>(block.data());
  if (GetRegionData(rgn, size, data) != size) return;
  const XFORM xf{float(dw) / float(sw), 0.0f, 0.0f, float(dh) / float(sh), float(dst.left), float(dst.top)};
  HostRgnOwner mapped(ExtCreateRegion(&xf, size, data));
  if (mapped) CombineRgn(rgn, mapped.get(), nullptr, RGN_COPY);
}

void FrameRgn(RgnHandle rgn) {
  if (!QD_Port_Ready() || !rgn) return;
  switch (theShadow->state) {
    case PAINTING: {
      RECT box{0, 0, 0, 0};
      GetRgnBox(rgn, &box);
      const int32 pw = theShadow->pen_width;
      if (box.right - box.left > 1 && box.bottom - box.top > 1) {
        ::FrameRgn(theHDC, rgn, Calc_Brush(theShadow->fore_color.d, theShadow->pen_pat), pw, pw);
      } else {
        PaintRect(Rect{QD_Clamp16(box.top), QD_Clamp16(box.left), QD_Clamp16(box.bottom), QD_Clamp16(box.right)});
      }
      return;
    }
    case BUILDING_RGN: Unite_Into_Accum(rgn); return;
    case BUILDING_POLY: return;
  }
}

namespace {

void Paint_Rgn_With(HRGN rgn, HBRUSH brush) {
  HGDIOBJ old = SelectObject(theHDC, brush);
  ::PaintRgn(theHDC, rgn);
  if (old) SelectObject(theHDC, old);
}

}  // namespace

void PaintRgn(RgnHandle rgn) {
  if (!QD_Port_Ready() || !rgn) return;
  Paint_Rgn_With(rgn, Calc_Brush(theShadow->fore_color.d, theShadow->pen_pat));
}

void FillRgn(RgnHandle rgn, const Pattern& pat) {
  if (!QD_Port_Ready() || !rgn) return;
  Paint_Rgn_With(rgn, Calc_Brush(theShadow->fore_color.d, pat));
}

void EraseRgn(RgnHandle rgn) {
  if (!QD_Port_Ready() || !rgn) return;
  HBRUSH brush = CreateSolidBrush(theShadow->back_color.d);
  if (!brush) return;
  Paint_Rgn_With(rgn, brush);
  DeleteObject(brush);
}

void InvertRgn(RgnHandle rgn) {
  if (!QD_Port_Ready() || !rgn) return;
  ::InvertRgn(theHDC, rgn);
}

// --- Polygons ------------------------------------------------------------------------------

PolyHandle OpenPoly() {
  const uint32 size = uint32(sizeof(a_polygon));
  Ptr block = New_Ptr(size);
  if (!block) {
    g_err_mem_proc(size);
    return nullptr;
  }
  auto* poly = reinterpret_cast<a_polygon*>(block);
  poly->ncount = 1;
  poly->counts[0] = 1;
  poly->npoints = 1;
  POINT cur{0, 0};
  if (theHDC) GetCurrentPositionEx(theHDC, &cur);
  poly->points[0] = cur;
  poly->full = false;
  if (theShadow) {
    if (theShadow->state == PAINTING) theShadow->state = BUILDING_POLY;
    theShadow->accum_poly = poly;
  }
  return poly;
}

void ClosePoly() {
  if (!theShadow || theShadow->state != BUILDING_POLY) return;
  theShadow->state = PAINTING;
  // The polygon belongs to the caller from here on.
  theShadow->accum_poly = nullptr;
}

void KillPoly(PolyHandle& poly) {
  if (!poly) return;
  if (theShadow && theShadow->accum_poly == poly) {
    theShadow->accum_poly = nullptr;
    if (theShadow->state == BUILDING_POLY) theShadow->state = PAINTING;
  }
  Ptr p = reinterpret_cast<Ptr>(poly);
  Dispose_Ptr(p);
  poly = nullptr;
}

void FramePoly(PolyHandle poly) {
  if (!Poly_Drawable(poly) || theShadow->state != PAINTING) return;
  HGDIOBJ old_pen = SelectObject(theHDC, Calc_Pen(PS_INSIDEFRAME));
  HGDIOBJ old_brush = SelectObject(theHDC, GetStockObject(NULL_BRUSH));
  PolyPolygon(theHDC, poly->points, poly->counts, poly->ncount);
  if (old_brush) SelectObject(theHDC, old_brush);
  if (old_pen) SelectObject(theHDC, old_pen);
}

void PaintPoly(PolyHandle poly) {
  if (!Poly_Drawable(poly)) return;
  Fill_Poly(poly, Calc_Brush(theShadow->fore_color.d, theShadow->pen_pat));
}

void FillPoly(PolyHandle poly, const Pattern& pat) {
  if (!Poly_Drawable(poly)) return;
  Fill_Poly(poly, Calc_Brush(theShadow->fore_color.d, pat));
}

void ErasePoly(PolyHandle poly) {
  if (!Poly_Drawable(poly)) return;
  HBRUSH brush = CreateSolidBrush(theShadow->back_color.d);
  if (!brush) return;
  Fill_Poly(poly, brush);
  DeleteObject(brush);
}

void InvertPoly(PolyHandle poly) {
  if (!Poly_Drawable(poly)) return;
  const int32 old_rop = SetROP2(theHDC, R2_NOT);
  Fill_Poly(poly, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  if (old_rop) SetROP2(theHDC, old_rop);
}

// --- Other ---------------------------------------------------------------------------------

void ScrollRect(const Rect& r, int16 dh, int16 dv, RgnHandle updateRgn) {
  if (!theHDC || EmptyRect(r)) return;
  const RECT rc{r.left, r.top, r.right, r.bottom};
  ScrollDC(theHDC, dh, dv, &rc, &rc, updateRgn, nullptr);
}

void DrawPicture(PicHandle pic, const Rect& r) {
  if (!theHDC || !pic || EmptyRect(r)) return;
  HDC mem = CreateCompatibleDC(theHDC);
  if (!mem) return;
  HGDIOBJ old = SelectObject(mem, pic);
  if (old) {
    BitBlt(theHDC, r.left, r.top, int32(r.right) - r.left, int32(r.bottom) - r.top, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
  }
  DeleteDC(mem);
}

void KillPicture(PicHandle& pic) {
  if (pic) DeleteObject(pic);
  pic = nullptr;
}

PicHandle GetPixPat(int16 id) {
  ResHandle res = GetResource(kPixPatResType, ID(id).id);
  a_res_image img;
  if (res == nullptr || !ResImage_Decode(kPixPatResType, std::span<const uint8>(res->data, res->size), img)) {
    Report_Missing_Resource(kPixPatResType, id);
    return nullptr;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = img.width;
  info.bmiHeader.biHeight = -img.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bm = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bm == nullptr || bits == nullptr) {
    if (bm) DeleteObject(bm);
    g_err_mem_proc(uint32(img.bgra.size() * 4));
    return nullptr;
  }
  // Rows of 32-bit pixels need no padding: width x 4 bytes each.
  std::memcpy(bits, img.bgra.data(), img.bgra.size() * 4);
  return bm;
}

void DisposePixPat(PicHandle& pat) { KillPicture(pat); }

void SetCPixel(int16 h, int16 v, const RGBColor& c) {
  if (!theHDC) return;
  SetPixel(theHDC, h, v, RGB(uint8(c.red >> 8), uint8(c.green >> 8), uint8(c.blue >> 8)));
}

void GetCPixel(int16 h, int16 v, RGBColor& c) {
  const COLORREF px = theHDC ? GetPixel(theHDC, h, v) : CLR_INVALID;
  c.red = uint16(GetRValue(px) * 257);
  c.green = uint16(GetGValue(px) * 257);
  c.blue = uint16(GetBValue(px) * 257);
}

// --- Run-length decoding --------------------------------------------------------------------

bool8 UnpackBits_Bounded(const uint8*& src, const uint8* src_end, uint8*& dst, int32 dstBytes) {
  int32 left = dstBytes;
  // A NIL end means the caller vouches for the source (the classic call).
  auto avail = [&](int32 n) { return src_end == nullptr || src_end - src >= n; };
  while (left > 0) {
    if (!avail(1)) return false;
    const uint8 flag = *src++;
    if (flag < 128) {
      const int32 n = flag + 1;
      const int32 take = std::min(n, left);
      if (!avail(take)) {
        // Copy what there is, so the pointers show how far decoding got.
        const int32 have = int32(src_end - src);
        std::memcpy(dst, src, size_t(have));
        src += have;
        dst += have;
        return false;
      }
      std::memcpy(dst, src, size_t(take));
      dst += take;
      left -= take;
      // A literal cut by the end of the output is still consumed whole, so
      // the source pointer lands on the next flag byte.
      src += avail(n) ? n : take;
    } else if (flag > 128) {
      if (!avail(1)) return false;
      const int32 n = 257 - flag;
      const int32 put = std::min(n, left);
      std::memset(dst, *src++, size_t(put));
      dst += put;
      left -= put;
    }
    // 128 is no operation: no packer writes it.
  }
  return true;
}

void UnpackBits(Ptr& srcPtr, Ptr& dstPtr, int16 dstBytes) {
  const uint8* s = reinterpret_cast<const uint8*>(srcPtr);
  uint8* d = reinterpret_cast<uint8*>(dstPtr);
  UnpackBits_Bounded(s, nullptr, d, dstBytes);
  srcPtr += s - reinterpret_cast<const uint8*>(srcPtr);
  dstPtr += d - reinterpret_cast<uint8*>(dstPtr);
}
