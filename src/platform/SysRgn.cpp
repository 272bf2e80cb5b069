#include "platform/SysRgn.h"

#include <vector>

#include "platform/SysErr.h"
#include "platform/SysVideo.h"

namespace {

void Delete_Rgn(HRGN& rgn) {
  if (rgn != nullptr) DeleteRgn(rgn);
  rgn = nullptr;
}

// Host rectangles back to toolbox ones, clamped to the 16-bit range.
int16 Clamp16(int32 v) { return int16(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }
void To_Rect(Rect& r, const RECT& R) {
  r.top = Clamp16(R.top);
  r.left = Clamp16(R.left);
  r.bottom = Clamp16(R.bottom);
  r.right = Clamp16(R.right);
}

int32 Scale_Edge(int32 edge, int16 num, int16 den) { return int32(int64(edge) * num / den); }

// Rebuilds rgn from its rectangles through xf; FALSE (rgn unchanged) when the
// data cannot be read or the result cannot be made.
bool Transform_Rgn(HRGN rgn, const XFORM& xf) {
  uint32 size = GetRegionData(rgn, 0, nullptr);
  if (size == 0) return false;
  std::vector<uint8> block(size);
  auto* data = reinterpret_cast<RGNDATA*>(block.data());
  if (GetRegionData(rgn, size, data) != size) return false;
  HostRgnOwner out(ExtCreateRegion(&xf, size, data));
  return out && CombineRgn(rgn, out.get(), nullptr, RGN_COPY) != ERROR;
}

}  // namespace

void Rgn_GetBounds(HRGN rgn, Rect& bbox) {
  RECT box{0, 0, 0, 0};
  if (rgn == nullptr || GetRgnBox(rgn, &box) == ERROR) box = RECT{0, 0, 0, 0};
  To_Rect(bbox, box);
}

bool8 Is_Rgn_Rectangular(HRGN rgn) {
  RECT box;
  return GetRgnBox(rgn, &box) != COMPLEXREGION;
}

void Rgn_Scale(a_rgn_factor factor, HRGN rgnA, HRGN rgnB) {
  if (rgnA == nullptr || rgnB == nullptr) return;
  if (factor.num == factor.den) {
    CombineRgn(rgnB, rgnA, nullptr, RGN_COPY);
    return;
  }
  if (factor.den == 0) {
    // No ratio to scale by: an empty result rather than a division by zero.
    SetRectRgn(rgnB, 0, 0, 0, 0);
    return;
  }
  RECT box;
  int32 kind = GetRgnBox(rgnA, &box);
  if (kind != COMPLEXREGION) {
    if (!SetRectRgn(rgnB, Scale_Edge(box.left, factor.num, factor.den),
                    Scale_Edge(box.top, factor.num, factor.den),
                    Scale_Edge(box.right, factor.num, factor.den),
                    Scale_Edge(box.bottom, factor.num, factor.den)))
      SetRectRgn(rgnB, 0, 0, 0, 0);
    return;
  }
  float s = float(factor.num) / float(factor.den);
  XFORM xf{s, 0.0f, 0.0f, s, 0.0f, 0.0f};
  if (CombineRgn(rgnB, rgnA, nullptr, RGN_COPY) == ERROR || !Transform_Rgn(rgnB, xf))
    SetRectRgn(rgnB, 0, 0, 0, 0);
}

void Rgn_To_PixMap1(HRGN rgn, PixMap& mask) {
  Rect bounds;
  Rgn_GetBounds(rgn, bounds);
  if (bounds.left >= bounds.right || bounds.top >= bounds.bottom) {
    New_Empty_PixMap(mask, 1, mono_ctable);
    return;
  }
  New_PixMap(mask, bounds, 1, mono_ctable);
  if (mask.baseAddr == nullptr) return;
  uint32 stride = PixMap_RowBytes(mask);
  int32 width = int32(bounds.right) - bounds.left;
  int32 height = int32(bounds.bottom) - bounds.top;
  std::span<uint8> bits(reinterpret_cast<uint8*>(mask.baseAddr), size_t(stride) * size_t(height));
  Host_Rgn_To_Mask(rgn, bits, int32(stride), width, height, bounds.left, bounds.top);
}

void Rgn_To_PixMap1_Clean(HRGN rgn, PixMap& mask) { Rgn_To_PixMap1(rgn, mask); }

void OvalRgn(const Rect& r, HRGN& rgn) {
  Delete_Rgn(rgn);
  rgn = CreateEllipticRgn(r.left, r.top, int32(r.right) + 1, int32(r.bottom) + 1);
}

void RoundRectRgn(HRGN& rgn, const Rect& r, int16 oval_h, int16 oval_v) {
  Delete_Rgn(rgn);
  rgn = CreateRoundRectRgn(r.left, r.top, int32(r.right) + 1, int32(r.bottom) + 1, oval_h,
                           oval_v);
}

void NotOvalRgn(const Rect& r, HRGN& rgn) {
  Delete_Rgn(rgn);
  rgn = CreateRectRgn(r.left, r.top, r.right, r.bottom);
  HostRgnOwner oval(CreateEllipticRgn(r.left, r.top, int32(r.right) + 1, int32(r.bottom) + 1));
  if (rgn != nullptr && oval) CombineRgn(rgn, rgn, oval.get(), RGN_DIFF);
}

void PolygonRgn(const Point* points, int32 npoints, HRGN& rgn) {
  Delete_Rgn(rgn);
  if (npoints > kMaxPolygonPoints) npoints = kMaxPolygonPoints;
  if (npoints < 0 || (points == nullptr && npoints > 0)) npoints = 0;
  std::vector<POINT> pts(static_cast<size_t>(npoints));
  for (int32 i = 0; i < npoints; ++i) pts[size_t(i)] = POINT{points[i].h, points[i].v};
  rgn = CreatePolygonRgn(pts.data(), npoints, ALTERNATE);
  if (rgn == nullptr && Is_Bad_Polygon(points, npoints)) rgn = CreateRectRgn(0, 0, 0, 0);
}

bool8 Is_Bad_Polygon(const Point* points, int32 npoints) {
  if (points == nullptr || npoints < 3) return true;
  bool same_h = true, same_v = true;
  for (int32 i = 1; i < npoints; ++i) {
    if (points[i].h != points[0].h) same_h = false;
    if (points[i].v != points[0].v) same_v = false;
  }
  return same_h || same_v;
}
