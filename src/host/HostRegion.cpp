// Regions over pixman's 32-bit regions, with the GDI names and results the
// platform code expects. Shapes come from the span generators, so regions and
// painted shapes agree pixel for pixel.
#include "host/HostRegion.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "host/HostHandles.h"

namespace {

bool In_Space(int64 v) { return v >= -int64(kHostCoordLimit) && v <= int64(kHostCoordLimit); }

int32 Kind_Of(const pixman_region32_t* pr) {
  const int n = pixman_region32_n_rects(pr);
  if (n == 0) return NULLREGION;
  return n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HostHandleTable<HostRgn>& Table() { return Host_Handle_Table<HostRgn>(); }

// The record of a live region handle; NIL for anything else.
HostRgn* Rec(HRGN rgn) { return Table().Find(rgn, HostHandleKind::kRegion); }

// A new empty region, registered; NIL when out of memory or handles.
HostRgn* New_Rec() {
  auto* r = new (std::nothrow) HostRgn;
  if (!r) return nullptr;
  pixman_region32_init(&r->pr);
  r->handle = static_cast<HRGN>(Table().Add(r, HostHandleKind::kRegion));
  if (!r->handle) {
    pixman_region32_fini(&r->pr);
    delete r;
    return nullptr;
  }
  return r;
}

void Free_Rec(HostRgn* r) {
  Table().Remove(r->handle);
  pixman_region32_fini(&r->pr);
  delete r;
}

// Sets pr to the rectangle (corners in order), empty when it has no area.
void Set_Rect(pixman_region32_t* pr, const RECT& r) {
  pixman_region32_fini(pr);
  if (r.right > r.left && r.bottom > r.top) {
    pixman_region32_init_rect(pr, r.left, r.top, uint32(int64(r.right) - r.left),
                              uint32(int64(r.bottom) - r.top));
  } else {
    pixman_region32_init(pr);
  }
}

bool Rect_In_Space(const RECT& r) {
  return In_Space(r.left) && In_Space(r.top) && In_Space(r.right) && In_Space(r.bottom);
}

// Builds pr from spans ordered by row and x. Rows whose runs equal those of
// the row above extend its band, so a shape becomes few rectangles and pixman
// gets its input already banded.
bool Spans_To_Region(pixman_region32_t* pr, const HostSpanList& spans) {
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(spans.size());
  size_t band_start = 0;  // first box of the previous row's band
  size_t band_end = 0;
  int32 band_y1 = std::numeric_limits<int32>::min();
  for (size_t i = 0; i < spans.size();) {
    const int32 y = spans[i].y;
    size_t j = i;
    while (j < spans.size() && spans[j].y == y) ++j;
    bool same = band_y1 == y && (band_end - band_start) == (j - i);
    for (size_t k = 0; same && k < j - i; ++k) {
      same = boxes[band_start + k].x1 == spans[i + k].x0 && boxes[band_start + k].x2 == spans[i + k].x1;
    }
    if (same) {
      for (size_t k = band_start; k < band_end; ++k) boxes[k].y2 = y + 1;
    } else {
      band_start = boxes.size();
      for (size_t k = i; k < j; ++k) boxes.push_back(pixman_box32_t{spans[k].x0, y, spans[k].x1, y + 1});
      band_end = boxes.size();
    }
    band_y1 = y + 1;
    i = j;
  }
  pixman_region32_fini(pr);
  if (boxes.empty()) {
    pixman_region32_init(pr);
    return true;
  }
  if (!pixman_region32_init_rects(pr, boxes.data(), int(boxes.size()))) {
    pixman_region32_fini(pr);
    pixman_region32_init(pr);
    return false;
  }
  return true;
}

HRGN Rgn_From_Spans_Or_Nil(bool ok, const HostSpanList& spans) {
  if (!ok) return nullptr;
  HostRgn* r = New_Rec();
  if (!r) return nullptr;
  if (!Spans_To_Region(&r->pr, spans)) {
    Free_Rec(r);
    return nullptr;
  }
  return r->handle;
}

// Round half away from zero; false when not finite or outside the space.
bool Round_Coord(double v, int32& out) {
  if (!std::isfinite(v)) return false;
  const double r = v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5);
  if (r < -double(kHostCoordLimit) || r > double(kHostCoordLimit)) return false;
  out = int32(r);
  return true;
}

}  // namespace

bool DeleteRgn(HRGN rgn) {
  HostRgn* r = Rec(rgn);
  if (!r) return false;  // NIL, already deleted, or not a region
  Free_Rec(r);
  return true;
}

bool Host_Is_Rgn(const void* obj) { return Table().Find(obj, HostHandleKind::kRegion) != nullptr; }

size_t Host_Rgn_Live_Count() { return Table().Live(); }

// --- Creation -------------------------------------------------------------------

HRGN CreateRectRgn(int32 left, int32 top, int32 right, int32 bottom) {
  const RECT r = Host_Normalize_Rect(left, top, right, bottom);
  if (!Rect_In_Space(r)) return nullptr;
  HostRgn* rec = New_Rec();
  if (!rec) return nullptr;
  Set_Rect(&rec->pr, r);
  return rec->handle;
}

HRGN CreateRectRgnIndirect(const RECT* r) {
  if (!r) return nullptr;
  return CreateRectRgn(r->left, r->top, r->right, r->bottom);
}

HRGN CreateEllipticRgn(int32 left, int32 top, int32 right, int32 bottom) {
  HostSpanList spans;
  const bool ok = Host_Ellipse_Spans(Host_Shape_Box(left, top, right, bottom), spans);
  return Rgn_From_Spans_Or_Nil(ok, spans);
}

HRGN CreateEllipticRgnIndirect(const RECT* r) {
  if (!r) return nullptr;
  return CreateEllipticRgn(r->left, r->top, r->right, r->bottom);
}

HRGN CreateRoundRectRgn(int32 left, int32 top, int32 right, int32 bottom, int32 corner_w,
                        int32 corner_h) {
  HostSpanList spans;
  const bool ok = Host_RoundRect_Spans(Host_Shape_Box(left, top, right, bottom), corner_w,
                                       corner_h, spans);
  return Rgn_From_Spans_Or_Nil(ok, spans);
}

HRGN CreatePolygonRgn(const POINT* points, int32 count, int32 fill_mode) {
  if (count < 0 || (count > 0 && !points)) return nullptr;
  HostSpanList spans;
  const bool ok = Host_Polygon_Spans(std::span<const POINT>(points, size_t(count)), fill_mode,
                                     spans);
  return Rgn_From_Spans_Or_Nil(ok, spans);
}

HRGN CreatePolyPolygonRgn(const POINT* points, const int32* counts, int32 npolys,
                          int32 fill_mode) {
  if (npolys < 0 || (npolys > 0 && !counts)) return nullptr;
  int64 total = 0;
  for (int32 i = 0; i < npolys; ++i) {
    if (counts[i] < 0) return nullptr;
    total += counts[i];
  }
  if (total > 0 && !points) return nullptr;
  HostSpanList spans;
  const bool ok = Host_PolyPolygon_Spans(std::span<const POINT>(points, size_t(total)),
                                         std::span<const int32>(counts, size_t(npolys)),
                                         fill_mode, spans);
  return Rgn_From_Spans_Or_Nil(ok, spans);
}

// --- Changing and combining ---------------------------------------------------------

bool SetRectRgn(HRGN h, int32 left, int32 top, int32 right, int32 bottom) {
  HostRgn* rgn = Rec(h);
  if (!rgn) return false;
  const RECT r = Host_Normalize_Rect(left, top, right, bottom);
  if (!Rect_In_Space(r)) return false;
  Set_Rect(&rgn->pr, r);
  return true;
}

int32 CombineRgn(HRGN hdst, HRGN ha, HRGN hb, int32 mode) {
  HostRgn* dst = Rec(hdst);
  HostRgn* a = Rec(ha);
  HostRgn* b = Rec(hb);
  if (!dst || !a) return ERROR;
  if (mode != RGN_COPY && !b) return ERROR;
  // Work into a fresh region so that a failure leaves dst as it was.
  pixman_region32_t res;
  pixman_region32_init(&res);
  bool ok = false;
  switch (mode) {
    case RGN_AND:
      ok = pixman_region32_intersect(&res, &a->pr, &b->pr);
      break;
    case RGN_OR:
      ok = pixman_region32_union(&res, &a->pr, &b->pr);
      break;
    case RGN_DIFF:
      ok = pixman_region32_subtract(&res, &a->pr, &b->pr);
      break;
    case RGN_COPY:
      ok = pixman_region32_copy(&res, &a->pr);
      break;
    case RGN_XOR: {
      pixman_region32_t ab, ba;
      pixman_region32_init(&ab);
      pixman_region32_init(&ba);
      ok = pixman_region32_subtract(&ab, &a->pr, &b->pr) &&
           pixman_region32_subtract(&ba, &b->pr, &a->pr) &&
           pixman_region32_union(&res, &ab, &ba);
      pixman_region32_fini(&ab);
      pixman_region32_fini(&ba);
      break;
    }
    default:
      break;
  }
  if (!ok) {
    pixman_region32_fini(&res);
    return ERROR;
  }
  pixman_region32_fini(&dst->pr);
  dst->pr = res;  // the region's storage moves over with its header
  return Kind_Of(&dst->pr);
}

int32 OffsetRgn(HRGN h, int32 dx, int32 dy) {
  HostRgn* rgn = Rec(h);
  if (!rgn) return ERROR;
  if (pixman_region32_not_empty(&rgn->pr)) {
    const pixman_box32_t* e = pixman_region32_extents(&rgn->pr);
    if (!In_Space(int64(e->x1) + dx) || !In_Space(int64(e->x2) + dx) ||
        !In_Space(int64(e->y1) + dy) || !In_Space(int64(e->y2) + dy)) {
      return ERROR;
    }
    pixman_region32_translate(&rgn->pr, dx, dy);
  }
  return Kind_Of(&rgn->pr);
}

// --- Queries ----------------------------------------------------------------------------

int32 GetRgnBox(HRGN h, RECT* box) {
  RECT r{0, 0, 0, 0};
  int32 kind = ERROR;
  if (HostRgn* rgn = Rec(h)) {
    kind = Kind_Of(&rgn->pr);
    if (kind != NULLREGION) {
      const pixman_box32_t* e = pixman_region32_extents(&rgn->pr);
      r = RECT{e->x1, e->y1, e->x2, e->y2};
    }
  }
  if (box) *box = r;
  return kind;
}

int32 Host_Rgn_Kind(HRGN h) {
  HostRgn* rgn = Rec(h);
  return rgn ? Kind_Of(&rgn->pr) : ERROR;
}

bool PtInRegion(HRGN h, int32 x, int32 y) {
  HostRgn* rgn = Rec(h);
  if (!rgn) return false;
  return pixman_region32_contains_point(&rgn->pr, x, y, nullptr);
}

bool RectInRegion(HRGN h, const RECT* r) {
  HostRgn* rgn = Rec(h);
  if (!rgn || !r) return false;
  const RECT n = Host_Normalize_Rect(r->left, r->top, r->right, r->bottom);
  if (n.right <= n.left || n.bottom <= n.top) return false;
  pixman_box32_t b{n.left, n.top, n.right, n.bottom};
  return pixman_region32_contains_rectangle(&rgn->pr, &b) != PIXMAN_REGION_OUT;
}

bool EqualRgn(HRGN ha, HRGN hb) {
  HostRgn* a = Rec(ha);
  HostRgn* b = Rec(hb);
  if (!a || !b) return false;
  if (pixman_region32_equal(&a->pr, &b->pr)) return true;
  // Different rectangle lists may still cover the same pixels.
  pixman_region32_t d;
  pixman_region32_init(&d);
  bool same = pixman_region32_subtract(&d, &a->pr, &b->pr) && !pixman_region32_not_empty(&d) &&
              pixman_region32_subtract(&d, &b->pr, &a->pr) && !pixman_region32_not_empty(&d);
  pixman_region32_fini(&d);
  return same;
}

// --- Region data --------------------------------------------------------------------------

uint32 GetRegionData(HRGN hrgn, uint32 size, RGNDATA* data) {
  HostRgn* rgn = Rec(hrgn);
  if (!rgn) return 0;
  int n = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(&rgn->pr, &n);
  const uint64 needed = sizeof(RGNDATAHEADER) + uint64(n) * sizeof(RECT);
  if (needed > std::numeric_limits<uint32>::max()) return 0;
  if (!data) return uint32(needed);
  if (size < needed) return 0;
  RGNDATAHEADER h{};
  h.dwSize = sizeof(RGNDATAHEADER);
  h.iType = RDH_RECTANGLES;
  h.nCount = uint32(n);
  h.nRgnSize = uint32(n) * uint32(sizeof(RECT));
  GetRgnBox(rgn->handle, &h.rcBound);
  auto* bytes = reinterpret_cast<unsigned char*>(data);
  std::memcpy(bytes, &h, sizeof h);
  for (int i = 0; i < n; ++i) {
    const RECT r{boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2};
    std::memcpy(bytes + sizeof h + size_t(i) * sizeof(RECT), &r, sizeof r);
  }
  return size;
}

HRGN ExtCreateRegion(const XFORM* xform, uint32 size, const RGNDATA* data) {
  if (!data || size < sizeof(RGNDATAHEADER)) return nullptr;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  RGNDATAHEADER h;
  std::memcpy(&h, bytes, sizeof h);
  if (h.dwSize != sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES) return nullptr;
  if (uint64(h.nCount) * sizeof(RECT) > uint64(size) - sizeof h) return nullptr;

  bool plain = true;  // no shear or rotation
  double m11 = 1, m12 = 0, m21 = 0, m22 = 1, mdx = 0, mdy = 0;
  if (xform) {
    m11 = xform->eM11;
    m12 = xform->eM12;
    m21 = xform->eM21;
    m22 = xform->eM22;
    mdx = xform->eDx;
    mdy = xform->eDy;
    for (double v : {m11, m12, m21, m22, mdx, mdy}) {
      if (!std::isfinite(v)) return nullptr;
    }
    plain = m12 == 0 && m21 == 0;
  }

  std::vector<pixman_box32_t> boxes;
  std::vector<POINT> quads;
  std::vector<int32> counts;
  for (uint32 i = 0; i < h.nCount; ++i) {
    RECT r;
    std::memcpy(&r, bytes + sizeof h + size_t(i) * sizeof(RECT), sizeof r);
    if (r.right <= r.left || r.bottom <= r.top) continue;
    if (!Rect_In_Space(r)) return nullptr;
    if (plain) {
      int32 l, t, rr, b;
      if (!Round_Coord(r.left * m11 + mdx, l) || !Round_Coord(r.right * m11 + mdx, rr) ||
          !Round_Coord(r.top * m22 + mdy, t) || !Round_Coord(r.bottom * m22 + mdy, b)) {
        return nullptr;
      }
      const RECT n = Host_Normalize_Rect(l, t, rr, b);
      if (n.right > n.left && n.bottom > n.top) {
        boxes.push_back(pixman_box32_t{n.left, n.top, n.right, n.bottom});
      }
    } else {
      const int32 cx[4] = {r.left, r.right, r.right, r.left};
      const int32 cy[4] = {r.top, r.top, r.bottom, r.bottom};
      for (int k = 0; k < 4; ++k) {
        POINT p;
        if (!Round_Coord(cx[k] * m11 + cy[k] * m21 + mdx, p.x) ||
            !Round_Coord(cx[k] * m12 + cy[k] * m22 + mdy, p.y)) {
          return nullptr;
        }
        quads.push_back(p);
      }
      counts.push_back(4);
    }
  }

  HostRgn* rgn = New_Rec();
  if (!rgn) return nullptr;
  if (plain) {
    if (!boxes.empty()) {
      pixman_region32_fini(&rgn->pr);
      if (!pixman_region32_init_rects(&rgn->pr, boxes.data(), int(boxes.size()))) {
        pixman_region32_init(&rgn->pr);
        Free_Rec(rgn);
        return nullptr;
      }
    }
    return rgn->handle;
  }
  // Every mapped rectangle turns the same way round, so the winding rule fills
  // their union.
  HostSpanList spans;
  if (!Host_PolyPolygon_Spans(quads, counts, WINDING, spans) ||
      !Spans_To_Region(&rgn->pr, spans)) {
    Free_Rec(rgn);
    return nullptr;
  }
  return rgn->handle;
}

// --- Rectangles, spans and masks -------------------------------------------------------------

std::span<const pixman_box32_t> Host_Rgn_Boxes(HRGN h) {
  HostRgn* rgn = Rec(h);
  if (!rgn) return {};
  int n = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(&rgn->pr, &n);
  if (n <= 0 || !boxes) return {};
  return {boxes, size_t(n)};
}

std::vector<RECT> Host_Rgn_Rects(HRGN rgn) {
  std::vector<RECT> out;
  for (const pixman_box32_t& b : Host_Rgn_Boxes(rgn)) out.push_back(RECT{b.x1, b.y1, b.x2, b.y2});
  return out;
}

HRGN Host_Rgn_From_Spans(const HostSpanList& spans) { return Rgn_From_Spans_Or_Nil(true, spans); }

bool Host_Rgn_Set_Spans(HRGN h, const HostSpanList& spans) {
  HostRgn* rgn = Rec(h);
  if (!rgn) return false;
  return Spans_To_Region(&rgn->pr, spans);
}

namespace {

// The map fits: non-negative sizes, rows wide enough, all rows inside `bytes`,
// and its far corner inside the coordinate space.
bool Mask_Fits(size_t bytes, int32 rowbytes, int32 width, int32 height, int32 ox, int32 oy) {
  if (rowbytes < 0 || width < 0 || height < 0) return false;
  if (int64(rowbytes) * 8 < width) return false;
  if (uint64(rowbytes) * uint64(height) > bytes) return false;
  return In_Space(ox) && In_Space(oy) && In_Space(int64(ox) + width) &&
         In_Space(int64(oy) + height) && height <= kHostMaxRows;
}

}  // namespace

HRGN Host_Mask_To_Rgn(std::span<const uint8> bits, int32 rowbytes, int32 width, int32 height,
                      int32 origin_x, int32 origin_y) {
  if (!Mask_Fits(bits.size(), rowbytes, width, height, origin_x, origin_y)) return nullptr;
  HostSpanList spans;
  for (int32 y = 0; y < height; ++y) {
    const uint8* row = bits.data() + size_t(y) * size_t(rowbytes);
    int32 x = 0;
    while (x < width) {
      // Skip whole zero bytes quickly, then single bits.
      if ((x & 7) == 0 && row[x >> 3] == 0) {
        x += 8;
        continue;
      }
      if (!((row[x >> 3] >> (7 - (x & 7))) & 1)) {
        ++x;
        continue;
      }
      const int32 start = x;
      while (x < width) {
        if ((x & 7) == 0 && row[x >> 3] == 0xFF) {
          x += 8;
        } else if ((row[x >> 3] >> (7 - (x & 7))) & 1) {
          ++x;
        } else {
          break;
        }
      }
      const int32 end = std::min(x, width);
      spans.push_back(HostSpan{origin_y + y, origin_x + start, origin_x + end});
    }
  }
  return Rgn_From_Spans_Or_Nil(true, spans);
}

bool Host_Rgn_To_Mask(HRGN rgn, std::span<uint8> bits, int32 rowbytes, int32 width,
                      int32 height, int32 origin_x, int32 origin_y) {
  if (!Rec(rgn) || !Mask_Fits(bits.size(), rowbytes, width, height, origin_x, origin_y)) return false;
  std::fill_n(bits.begin(), size_t(rowbytes) * size_t(height), uint8(0));
  for (const pixman_box32_t& b : Host_Rgn_Boxes(rgn)) {
    const int64 x0 = std::max<int64>(int64(b.x1) - origin_x, 0);
    const int64 x1 = std::min<int64>(int64(b.x2) - origin_x, width);
    const int64 y0 = std::max<int64>(int64(b.y1) - origin_y, 0);
    const int64 y1 = std::min<int64>(int64(b.y2) - origin_y, height);
    if (x0 >= x1 || y0 >= y1) continue;
    // Bits x0 .. x1 - 1 of each row: the partial bytes at the ends, whole
    // bytes between.
    const int64 first = x0 >> 3, last = (x1 - 1) >> 3;
    const uint8 head = uint8(0xFFu >> (x0 & 7)), tail = uint8(0xFFu << (7 - ((x1 - 1) & 7)));
    for (int64 y = y0; y < y1; ++y) {
      uint8* row = bits.data() + size_t(y) * size_t(rowbytes);
      if (first == last) {
        row[first] = uint8(row[first] | (head & tail));
        continue;
      }
      row[first] = uint8(row[first] | head);
      if (last > first + 1) std::memset(row + first + 1, 0xFF, size_t(last - first - 1));
      row[last] = uint8(row[last] | tail);
    }
  }
  return true;
}
