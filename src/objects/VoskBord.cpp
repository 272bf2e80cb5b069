#include "objects/VoskBord.h"

#include <algorithm>
#include <span>

#include "doc/VoskFunc.h"  // Stamp_To_Mask1
#include "host/HostRegion.h"
#include "pixel/ArtKeys.h"
#include "pixel/DrawUtilMasked.h"  // SetForeOpacity
#include "pixel/OP.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixXform.h"
#include "pixel/SysPixt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysRgn.h"
#include "platform/SysSound.h"
#include "platform/VoskDef.h"
#include "ui/VoskCurs.h"

a_bord_rec g_bord{};
GWorldPtr g_border_mask_world = nullptr;
int16 g_border_mask_opacity = 100;

namespace {

constexpr uint32 kWhite = 0xFFFFFF, kMagenta = 0xFF00FF, kBlack = 0x000000;
// The class markers take rows 0 to 5 of the rightmost column.
constexpr int32 kMarkerRows = 6;

int32 Width(const PixMap& p) { return p.bounds.right - p.bounds.left; }
int32 Height(const PixMap& p) { return p.bounds.bottom - p.bounds.top; }

// The pixel at (x, y) from the map's top-left as 0xRRGGBB (16-bit channels
// widened to 8 bits), or 0xFFFFFFFF outside the map, which matches no
// colour.
uint32 Rgb_At(const PixMap& p, int32 x, int32 y) {
  if (x < 0 || y < 0 || x >= Width(p) || y >= Height(p)) return 0xFFFFFFFFu;
  const uint8* row = reinterpret_cast<const uint8*>(p.baseAddr) + size_t(y) * PixMap_RowBytes(p);
  if (p.pixelSize == 32) return reinterpret_cast<const uint32*>(row)[x] & 0xFFFFFFu;
  const uint16 v = reinterpret_cast<const uint16*>(row)[x];
  auto widen = [](uint32 c5) { return (c5 << 3) | (c5 >> 2); };
  return widen((v >> 10) & 31) << 16 | widen((v >> 5) & 31) << 8 | widen(v & 31);
}

// A rectangle of the picture from a scan's results, left and top first.
Rect Piece(int32 top, int32 left, int32 bottom, int32 right) {
  return Rect{int16(top), int16(left), int16(bottom), int16(right)};
}
bool Found(const Rect& r) { return r.bottom != 0 && r.right != 0; }
bool Has_Area(const Rect& r) { return r.bottom > r.top && r.right > r.left; }

// The layout of a picture of depth bits (the key is kept).
bool8 Read_Spec(const PixMap& pic, int16 depth, a_bord_spec& spec) {
  const a_keyset key = spec.key;
  spec = a_bord_spec{};
  spec.key = key;
  spec.bclass = BORD_CLASS_TURN;
  if (pic.baseAddr == nullptr || pic.pixelSize != depth) return false;
  const int32 w = Width(pic), h = Height(pic);
  if (w < 3 || h < kMarkerRows) return false;
  const int32 last = w - 1;
  if (Rgb_At(pic, last, 0) == kWhite && Rgb_At(pic, last, 1) == kMagenta) {
    for (int32 y = 2; y < kMarkerRows; ++y) {
      if (Rgb_At(pic, last, y) == kBlack) {
        spec.bclass = uint16(y - 1);
        break;
      }
    }
  }
  const uint32 sep = Rgb_At(pic, 0, 0);
  const Rect corner = Piece(1, 1, FindV(pic, sep, 0, 0), FindH(pic, sep, 0, 0));
  if (!Found(corner) || !Has_Area(corner)) return false;
  Rect side{}, sliver{};
  if (corner.right + 1 < w) {
    side = Piece(1, corner.right + 1, FindV(pic, sep, corner.right, 0), FindH(pic, sep, 0, corner.right));
    if (Found(side))
      sliver = Piece(1, side.right + 1, FindV(pic, sep, side.right, 0), FindH(pic, sep, 0, side.right));
  } else if (corner.bottom + 1 < h) {
    side = Piece(corner.bottom + 1, 1, FindV(pic, sep, 0, corner.bottom), FindH(pic, sep, corner.bottom, 0));
    if (Found(side))
      sliver = Piece(1, side.right + 1, FindV(pic, sep, side.right, 0), FindH(pic, sep, corner.bottom, side.right));
  }
  if (Found(side) && !Has_Area(side)) return false;
  spec.corn_piece = corner;
  spec.side_piece = Found(side) ? side : corner;
  if (Found(side) && Found(sliver) && Has_Area(sliver)) spec.sliv_piece = sliver;
  return true;
}

// --- The pieces -------------------------------------------------------------------------

void Free_Pieces() {
  for (auto* set : {&g_bord.corn_pix, &g_bord.side_pix, &g_bord.sliv_pix, &g_bord.corn_pixm, &g_bord.side_pixm,
                    &g_bord.sliv_pixm})
    for (PixMap& p : *set) Dispose_PixMap(p);
  g_bord.id = 0;
  g_bord.bclass = 0;
}

// out := a copy of the 32-bit map p.
bool Copy_Of(const PixMap& p, PixMap& out) {
  New_PixMap(out, Rect{0, 0, int16(Height(p)), int16(Width(p))}, 32, nullptr);
  if (Is_Null_PixMap(out)) return false;
  Pix_To_Pix(const_cast<PixMapPtr>(&p), &out, p.bounds, out.bounds, srcCopy, nullptr);
  return true;
}

// out := p turned by angle tenths of a degree (counter-clockwise when
// positive), p kept.
bool Turned(const PixMap& p, int16 angle, PixMap& out) {
  PixMap in{};
  if (!Copy_Of(p, in)) return false;
  Null_PixMap(out);
  PixMap_Rotate(NEAREST, false, angle, in, out);
  Dispose_PixMap(in);
  return !Is_Null_PixMap(out);
}

enum a_derive { TURN_90, TURN_180, TURN_270, MIRROR_LR, MIRROR_TB, SAME };

bool Derived(const PixMap& p, a_derive how, PixMap& out) {
  switch (how) {
    case TURN_90: return Turned(p, -900, out);
    case TURN_180: return Turned(p, -1800, out);
    case TURN_270: return Turned(p, -2700, out);
    case MIRROR_LR:
      if (!Copy_Of(p, out)) return false;
      PixMap_FlipX(&out);
      return true;
    case MIRROR_TB:
      if (!Copy_Of(p, out)) return false;
      PixMap_FlipY(&out);
      return true;
    case SAME: return Copy_Of(p, out);
  }
  return false;
}

// The piece r of the picture as a 32-bit map.
bool Cut(const PixMap& pic, const Rect& r, PixMap& out) {
  New_PixMap(out, Rect{0, 0, int16(r.bottom - r.top), int16(r.right - r.left)}, 32, nullptr);
  if (Is_Null_PixMap(out)) return false;
  Pix_To_Pix(const_cast<PixMapPtr>(&pic), &out, r, out.bounds, srcCopy, nullptr);
  return true;
}

// The four directions of every piece from the picture's pieces, with their
// masks; FALSE when a map could not be made.
bool Make_Pieces(const PixMap& pic, const a_bord_spec& spec) {
  if (!Cut(pic, spec.corn_piece, g_bord.corn_pix[0]) || !Cut(pic, spec.side_piece, g_bord.side_pix[0])) return false;
  const bool sliver = Has_Area(spec.sliv_piece);
  if (sliver && !Cut(pic, spec.sliv_piece, g_bord.sliv_pix[0])) return false;
  std::array<a_derive, 3> corners{TURN_90, TURN_180, TURN_270};
  if (spec.bclass == BORD_CLASS_MIRROR) corners = {MIRROR_LR, TURN_180, MIRROR_TB};
  else if (spec.bclass == BORD_CLASS_COPY || spec.bclass == BORD_CLASS_COPY2) corners = {SAME, SAME, SAME};
  constexpr std::array<a_derive, 3> turns{TURN_90, TURN_180, TURN_270};
  for (int d = 1; d < NBORD_DIRS; ++d) {
    if (!Derived(g_bord.corn_pix[0], corners[size_t(d - 1)], g_bord.corn_pix[size_t(d)]) ||
        !Derived(g_bord.side_pix[0], turns[size_t(d - 1)], g_bord.side_pix[size_t(d)]))
      return false;
    if (sliver && !Derived(g_bord.sliv_pix[0], turns[size_t(d - 1)], g_bord.sliv_pix[size_t(d)])) return false;
  }
  for (size_t d = 0; d < size_t(NBORD_DIRS); ++d) {
    Stamp_To_Mask1(g_bord.corn_pix[d], g_bord.corn_pixm[d]);
    Stamp_To_Mask1(g_bord.side_pix[d], g_bord.side_pixm[d]);
    if (sliver) Stamp_To_Mask1(g_bord.sliv_pix[d], g_bord.sliv_pixm[d]);
  }
  return true;
}

bool Has_Sliver() { return !Is_Null_PixMap(g_bord.sliv_pix[0]); }

// --- Drawing ----------------------------------------------------------------------------

// One piece with its top-left at (h, v) through its mask into the current
// port, clipped to clip (NIL: not clipped), and its coverage into the mask
// world when one is lent.
void Fragment_Draw(const PixMap& pix, const PixMap& mask, int32 h, int32 v, RgnHandle clip) {
  if (Is_Null_PixMap(pix) || Is_Null_PixMap(mask)) return;
  const int32 w = Width(pix), ht = Height(pix);
  const Rect dest{int16(v), int16(h), int16(v + ht), int16(h + w)};
  Pix_To_PortM(const_cast<PixMapPtr>(&pix), const_cast<PixMapPtr>(&mask), nullptr, pix.bounds, mask.bounds, dest,
               clip);
  if (g_border_mask_world == nullptr) return;
  const int32 rb = int32(PixMap_RowBytes(mask));
  HRGN cover = Host_Mask_To_Rgn(
      std::span<const uint8>(reinterpret_cast<const uint8*>(mask.baseAddr), size_t(rb) * size_t(ht)), rb, w, ht, h, v);
  if (cover == nullptr) return;
  if (clip != nullptr) SectRgn(cover, clip, cover);
  Push_GWorld(g_border_mask_world);
  SetForeOpacity(g_border_mask_opacity);
  PaintRgn(cover);
  Pop_GWorld();
  DisposeRgn(cover);
}

bool8 Draw_Border(bool8 centerf, int16 targid, const Rect& frame, RgnHandle clip, Rect* dirty) {
  if (dirty != nullptr) *dirty = Rect{0, 0, 0, 0};
  Point ncorn{}, nside{}, nsliv{}, used{};
  const Point framesize{int16(frame.bottom - frame.top), int16(frame.right - frame.left)};
  if (!Border_CalcSize2(targid, framesize, ncorn, nside, nsliv, used)) return false;
  int32 left = frame.left, top = frame.top;
  if (centerf) {
    left += (framesize.h - used.h) / 2;
    top += (framesize.v - used.v) / 2;
  }
  const int32 right = left + used.h, bottom = top + used.v;
  // One edge of direction d from its corner on: place(piece, mask, run,
  // len) draws a piece whose length along the edge is len, run cells from
  // the edge's start.
  auto edge = [&](size_t d, int32 nsides, int32 nslivers, auto place) {
    int32 run = 0;
    auto put = [&](const PixMap& pix, const PixMap& mask) {
      const int32 len = d % 2 == 0 ? Width(pix) : Height(pix);
      place(pix, mask, run, len);
      run += len;
    };
    put(g_bord.corn_pix[d], g_bord.corn_pixm[d]);
    for (int32 i = 0; i <= nsides; ++i) {
      if (i > 0) put(g_bord.side_pix[d], g_bord.side_pixm[d]);
      for (int32 k = Calc_NSliv(int16(i), int16(nsides), int16(nslivers)); k > 0; --k)
        put(g_bord.sliv_pix[d], g_bord.sliv_pixm[d]);
    }
  };
  // Top left to right, right edge down, bottom right to left, left edge up.
  edge(0, nside.h, nsliv.h,
       [&](const PixMap& p, const PixMap& m, int32 run, int32) { Fragment_Draw(p, m, left + run, top, clip); });
  edge(1, nside.v, nsliv.v, [&](const PixMap& p, const PixMap& m, int32 run, int32) {
    Fragment_Draw(p, m, right - Width(p), top + run, clip);
  });
  edge(2, nside.h, nsliv.h, [&](const PixMap& p, const PixMap& m, int32 run, int32 len) {
    Fragment_Draw(p, m, right - run - len, bottom - Height(p), clip);
  });
  edge(3, nside.v, nsliv.v, [&](const PixMap& p, const PixMap& m, int32 run, int32 len) {
    Fragment_Draw(p, m, left, bottom - run - len, clip);
  });
  if (dirty != nullptr) *dirty = Rect{int16(top), int16(left), int16(bottom), int16(right)};
  return true;
}

}  // namespace

// --- The module -----------------------------------------------------------------------

void Border_Init() {
  Free_Pieces();
  g_bord.refused_id = 0;
  g_border_mask_world = nullptr;
  g_border_mask_opacity = 100;
}

void Border_Unload() {
  Free_Pieces();
  g_bord.refused_id = 0;
}

int16 Border_Count() {
  if (OP_Pool_Count() == 0) return 0;
  a_subset subset{};
  Subset_Init(subset, a_keyset{ART_BORDER, WILDCARD, WILDCARD, WILDCARD});
  return Subset_Count(subset);
}

void BorderID_To_Key(int16 id, a_keyset& key) {
  Null_Key(key);
  if (OP_Pool_Count() == 0) return;
  a_subset subset{};
  Subset_Init(subset, a_keyset{ART_BORDER, WILDCARD, WILDCARD, WILDCARD});
  if (id >= 1 && id <= Subset_Count(subset)) Subset_GetKey(subset, id, key);
}

int32 FindH(const PixMap& pic, uint32 sep, int32 y, int32 spos) {
  for (int32 x = spos + 1; x < Width(pic); ++x) {
    if (Rgb_At(pic, x, y) != sep) return 0;
    if (Rgb_At(pic, x, y + 1) == sep) return x;
  }
  return 0;
}

int32 FindV(const PixMap& pic, uint32 sep, int32 x, int32 spos) {
  for (int32 y = spos + 1; y < Height(pic); ++y) {
    if (Rgb_At(pic, x, y) != sep) return 0;
    if (Rgb_At(pic, x + 1, y) == sep) return y;
  }
  return 0;
}

bool8 Load_Spec_32(const PixMap& pic, a_bord_spec& spec) { return Read_Spec(pic, 32, spec); }

bool8 Load_Spec_16(const PixMap& pic, a_bord_spec& spec) { return Read_Spec(pic, 16, spec); }

bool8 Load_Comp(int16 id) {
  if (id != 0 && id == g_bord.id) return true;
  if (id != 0 && id == g_bord.refused_id) return false;
  Free_Pieces();
  a_keyset key{};
  BorderID_To_Key(id, key);
  if (Is_Null_Key(key)) {
    Sound_Effect(SND_LIMIT);
    return false;
  }
  Cursor_Push_Watch();
  a_pixt pixt{};
  bool ok = false;
  if (KPixt_Load_Checked(key, pixt) == PIXT_OK) {
    Pixt_Lock(pixt);
    a_bord_spec spec{};
    spec.key = key;
    const PixMap& pic = pixt.pixmap;
    const bool8 read = pic.pixelSize == 16 ? Load_Spec_16(pic, spec) : Load_Spec_32(pic, spec);
    ok = read && Make_Pieces(pic, spec);
    if (ok) g_bord.bclass = spec.bclass;
    Pixt_Unlock(pixt);
    Pixt_Unload(pixt);
  }
  Cursor_Pop();
  if (!ok) {
    Free_Pieces();
    g_bord.refused_id = id;
    Sound_Effect(SND_LIMIT);
    return false;
  }
  g_bord.id = id;
  g_bord.refused_id = 0;
  return true;
}

bool8 Border_CalcSize2(int16 targid, Point framesize, Point& ncorn, Point& nside, Point& nsliv, Point& used) {
  ncorn = nside = nsliv = used = Point{0, 0};
  if (!Load_Comp(targid)) return false;
  // How many pieces of length len fit in what is left of frame after used
  // (a piece has a length of at least 1).
  auto fit = [](int32 frame, int32& total, int32 len) {
    if (len <= 0 || frame - total < len) return 0;
    const int32 n = (frame - total) / len;
    total += n * len;
    return n;
  };
  const bool sliver = Has_Sliver();
  int32 across = Width(g_bord.corn_pix[0]) + Width(g_bord.corn_pix[1]);
  const int32 sides_h = fit(framesize.h, across, Width(g_bord.side_pix[0]));
  const int32 slivs_h = sliver ? fit(framesize.h, across, Width(g_bord.sliv_pix[0])) : 0;
  int32 down = Height(g_bord.corn_pix[0]) + Height(g_bord.corn_pix[3]);
  const int32 sides_v = fit(framesize.v, down, Height(g_bord.side_pix[1]));
  const int32 slivs_v = sliver ? fit(framesize.v, down, Height(g_bord.sliv_pix[1])) : 0;
  ncorn = Point{2, 2};
  nside = Point{int16(sides_v), int16(sides_h)};
  nsliv = Point{int16(slivs_v), int16(slivs_h)};
  used = Point{int16(down), int16(across)};
  return true;
}

void Border_CalcSize(Point& size, Point frame) {
  Point ncorn{}, nside{}, nsliv{};
  Border_CalcSize2(gs.bar_selection[BORDER_BAR], frame, ncorn, nside, nsliv, size);
}

bool8 Border_Draw(bool8 centerf, int16 targid, const Rect& frame, Rect* dirty) {
  return Draw_Border(centerf, targid, frame, nullptr, dirty);
}

bool8 Border_Draw_Clipped(bool8 centerf, int16 targid, const Rect& frame, RgnHandle clip, Rect* dirty) {
  return Draw_Border(centerf, targid, frame, clip, dirty);
}

void Border_DrawElement(const Rect& cell, int16 id) {
  HRGN clip = NewRgn();
  RectRgn(clip, cell);
  SetForeColor(255, 255, 255);
  PaintRect(cell);
  Draw_Border(true, id, cell, clip, nullptr);
  DisposeRgn(clip);
}

int16 Calc_NSliv(int16 ix, int16 nside, int16 nsliv) {
  const int32 ngaps = int32(nside) + 1;
  if (ngaps <= 0 || nsliv <= 0) return 0;
  return int16(nsliv / ngaps + (ix < nsliv % ngaps ? 1 : 0));
}

void Border_Select() {}
