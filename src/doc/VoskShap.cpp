#include "doc/VoskShap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskPrin.h"
#include "pixel/Draw.h"
#include "pixel/SysMath.h"
#include "platform/QDRect.h"
#include "platform/SysErr.h"
#include "platform/SysRgn.h"

// --- Kinds and shapes -----------------------------------------------------------------

const a_shape UNIT_TO_SHAPE[NUNITKINDS] = {
    SHAPE_NOTHING,      // UNIT_EMPTY
    SHAPE_CIRCLE,       // UNIT_CIRCLE
    SHAPE_OVAL,         // UNIT_OVAL
    SHAPE_ROUNDRECT,    // UNIT_RECT
    SHAPE_ROUNDRECT,    // UNIT_VISITING
    SHAPE_BOOKLET,      // UNIT_VISITING2
    SHAPE_RING,         // UNIT_CD
    SHAPE_RING,         // UNIT_CD_CORE
    SHAPE_BOOKLET,      // UNIT_CD_WALLET
    SHAPE_RING,         // UNIT_MINICD_RING
    SHAPE_BIZHOCKEY,    // UNIT_MINICD_HOCKEY
    SHAPE_BIZRECT,      // UNIT_MINICD_RECT
    SHAPE_RECT,         // UNIT_MINICD_LID1
    SHAPE_BOOKLET,      // UNIT_MINICD_LID2
    SHAPE_RECT,         // UNIT_JEWEL_LID1
    SHAPE_BOOKLET,      // UNIT_JEWEL_LID2
    SHAPE_MULTIPART,    // UNIT_JEWEL_LID3
    SHAPE_RECT,         // UNIT_JEWEL_SPINE
    SHAPE_SLIMLINE,     // UNIT_JEWEL_SLIMLINE
    SHAPE_JEWELBASE,    // UNIT_JEWEL_BASE
    SHAPE_SUPERJEWELN,  // UNIT_SUPERJEWEL_INLAY
    SHAPE_BOOKLET,      // UNIT_SUPERJEWEL_BOOKLET
    SHAPE_RECT,         // UNIT_SUPERJEWEL_COVER
    SHAPE_RECT,         // UNIT_DVDBOX_INSERT
    SHAPE_BOOKLET,      // UNIT_DVDBOX_INSERT2
    SHAPE_BOOKLET,      // UNIT_DVDBOX_WRAP
    SHAPE_AUDIOFACE,    // UNIT_AUDIO_FACE
    SHAPE_MULTIPART,    // UNIT_AUDIO_JCARD
    SHAPE_RECT,         // UNIT_AUDIO_SPINE
    SHAPE_ROUNDRECT,    // UNIT_AUDIO_BOX
    SHAPE_ROUNDRECT,    // UNIT_DAT_FACE
    SHAPE_ROUNDRECT,    // UNIT_DAT_SPINE
    SHAPE_MULTIPART,    // UNIT_DAT_JCARD
    SHAPE_ROUNDRECT,    // UNIT_VHS_FACE
    SHAPE_ROUNDRECT,    // UNIT_VHS_SPINE
    SHAPE_MULTIPART,    // UNIT_VHS_THIRD
    SHAPE_MULTIPART,    // UNIT_VHS_SLEEVE
    SHAPE_BOOKLET,      // UNIT_VHS_WRAP
    SHAPE_ROUNDRECT,    // UNIT_BETACAM_FACE
    SHAPE_ROUNDRECT,    // UNIT_BETACAM_SPINE
    SHAPE_MULTIPART,    // UNIT_BETACAM_INSERT
    SHAPE_ROUNDRECT,    // UNIT_UMATIC_FACE
    SHAPE_ROUNDRECT,    // UNIT_UMATIC_SPINE
    SHAPE_MULTIPART,    // UNIT_UMATIC_INSERT
    SHAPE_ROUNDRECT,    // UNIT_MINIDV_FACE
    SHAPE_ROUNDRECT,    // UNIT_MINIDV_SPINE
    SHAPE_MULTIPART,    // UNIT_MINIDV_INSERT
    SHAPE_ROUNDRECT,    // UNIT_DVCAM_FACE
    SHAPE_ROUNDRECT,    // UNIT_DVCAM_SPINE
    SHAPE_MULTIPART,    // UNIT_DVCAM_INSERT
    SHAPE_ROUNDRECT,    // UNIT_DVCPRO_FACE
    SHAPE_ROUNDRECT,    // UNIT_DVCPRO_SPINE
    SHAPE_MULTIPART,    // UNIT_DVCPRO_INSERT
    SHAPE_ROUNDRECT,    // UNIT_STATUS
    SHAPE_ROUNDRECT,    // UNIT_HI8_FACE
    SHAPE_MULTIPART,    // UNIT_HI8_JCARD
    SHAPE_ROUNDRECT,    // UNIT_MD_FACEL
    SHAPE_ROUNDRECT,    // UNIT_MD_FACE
    SHAPE_ROUNDRECT,    // UNIT_MD_SPINE
    SHAPE_ROUNDRECT,    // UNIT_8MM_FACE
    SHAPE_ROUNDRECT,    // UNIT_8MM_SPINE
    SHAPE_RECT,         // UNIT_FLOPPY
    SHAPE_ROUNDRECT,    // UNIT_LAMINATED
    SHAPE_ROUNDRECT,    // UNIT_VIDEOTITLE
    SHAPE_MULTIPART,    // UNIT_XDCAM_INSERT
    SHAPE_RECT,         // UNIT_XDCAM_FACE
    SHAPE_BOOKLET,      // UNIT_VCD_WRAP
    SHAPE_RECT,         // UNIT_D5_SPINE
    SHAPE_MULTIPART,    // UNIT_D5_INSERT
    SHAPE_BOOKLET,      // UNIT_BLURAY_WRAP
};

a_shape Unit_Kind_Shape(uint8 kind) { return kind < NUNITKINDS ? UNIT_TO_SHAPE[kind] : SHAPE_NOTHING; }

bool8 Is_Disc_Kind(uint8 kind) {
  return kind == UNIT_CD || kind == UNIT_CD_CORE || kind == UNIT_MINICD_RING || kind == UNIT_MINICD_HOCKEY ||
         kind == UNIT_MINICD_RECT;
}

// --- Adjusting a unit ---------------------------------------------------------------------

namespace {

float Sane_Bleed(float b) { return std::isfinite(b) && b > 0 ? b : 0.0f; }

// A print-adjust value (tenths of a millimetre) kept within its range, in millimetres.
float Adjust_Mm(int16 value, int16 lo, int16 hi) { return float(std::clamp(value, lo, hi)) / 10.0f; }

}  // namespace

void Calc_Adjusted_Unit(bool8 bleedf, bool8 nudgef, int16 adjustf, a_direct_print_kind dkind, const a_unit& in,
                        a_unit& out) {
  out = in;
  if (bleedf) {
    // A bleed from a file may be negative or not a number: it adds nothing.
    const a_frect b{Sane_Bleed(in.bleed.left), Sane_Bleed(in.bleed.top), Sane_Bleed(in.bleed.right),
                    Sane_Bleed(in.bleed.bottom)};
    out.bleed = b;
    out.bbox.left -= b.left;
    out.bbox.top -= b.top;
    out.bbox.right += b.right;
    out.bbox.bottom += b.bottom;
    if (Is_Disc_Kind(in.kind)) {
      // The artwork runs into the hole by the bleed; a hole cannot shrink below nothing.
      const float hole = in.meas[0] - (b.top + b.bottom);
      out.meas[0] = hole > 0 ? hole : 0.0f;
    }
  } else {
    out.bleed = a_frect{0, 0, 0, 0};
  }

  a_print_media_spec media{};
  Get_Media_Specs(media);

  if (nudgef) {
    const float dx = float(media.nudge.h) / 10.0f, dy = float(media.nudge.v) / 10.0f;
    out.bbox.left += dx;
    out.bbox.right += dx;
    out.bbox.top += dy;
    out.bbox.bottom += dy;
    if (Is_Small_Paper() && LaserJet_Toggle()) {
      // A small sheet is fed centred in a Letter-width slot.
      const float shift = (215.9f - g_doc.doc_template.papersize.x) / 2.0f;
      if (Is_Landscape()) {
        out.bbox.top += shift;
        out.bbox.bottom += shift;
      } else {
        out.bbox.left += shift;
        out.bbox.right += shift;
      }
    }
  }

  if (adjustf == 0 || dkind == NOT_DIRECT) return;
  const float cx = (out.bbox.left + out.bbox.right) / 2.0f, cy = (out.bbox.top + out.bbox.bottom) / 2.0f;
  // The media sizes come from the preferences and from project files: kept
  // within what the print-adjust settings offer, so that no disc of no size
  // (or of a negative one) reaches the printer.
  const float f1 = Adjust_Mm(media.adj[0], PRINT_INNERD_MIN, PRINT_INNERD_MAX);
  float f2 = 0, f3 = 0;
  switch (dkind) {
    case CD_DIRECT: f2 = Adjust_Mm(media.adj[1], PRINT_OUTERD_CD_MIN, PRINT_OUTERD_CD_MAX); break;
    case MINICD_DIRECT: f2 = Adjust_Mm(media.adj[1], PRINT_OUTERD_MINI_MIN, PRINT_OUTERD_MINI_MAX); break;
    case HOCKEY_DIRECT:
      f2 = Adjust_Mm(media.adj[1], PRINT_OUTERD_MINI_MIN, PRINT_OUTERD_MINI_MAX);
      f3 = Adjust_Mm(media.adj[2], PRINT_BIZSIDE_MIN, PRINT_BIZSIDE_MAX);
      break;
    case RECT_DIRECT:
      f2 = Adjust_Mm(media.adj[1], PRINT_WIDTH_MIN, PRINT_WIDTH_MAX);
      f3 = Adjust_Mm(media.adj[2], PRINT_HEIGHT_MIN, PRINT_HEIGHT_MAX);
      break;
    default: return;  // no such kind: left as it is
  }
  if (adjustf == 2) {
    if (dkind == CD_DIRECT) {
      f2 = 126.0f;
    } else if (dkind == MINICD_DIRECT || dkind == HOCKEY_DIRECT) {
      f2 = 120.0f;
      f3 = 100.0f;
    }
  }
  const float w = f2, h = (dkind == CD_DIRECT || dkind == MINICD_DIRECT) ? f2 : f3;
  out.bbox = a_frect{cx - w / 2.0f, cy - h / 2.0f, cx + w / 2.0f, cy + h / 2.0f};
  out.meas[0] = f1;
}

// --- Whole pixels ------------------------------------------------------------------------

namespace {

int16 To16(int32 v) { return int16(std::clamp<int32>(v, -32768, 32767)); }

// A length in millimetres through the mapping's horizontal scale.
int16 Scale_Length(float mm, float mult) {
  const int32 v = SysMath::round(mm * mult);  // NaN gives 0
  return int16(std::clamp<int32>(v, 0, 32767));
}

int32 Floor_Div2(int32 n) { return n >= 0 ? n / 2 : -((1 - n) / 2); }

bool Box_Empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

// The square of side d centred in box (toward the top-left when the
// difference is odd).
Rect Centered_Square(const Rect& box, int32 d) {
  const int32 l = Floor_Div2(int32(box.left) + box.right - d);
  const int32 t = Floor_Div2(int32(box.top) + box.bottom - d);
  return Rect{To16(t), To16(l), To16(t + d), To16(l + d)};
}

}  // namespace

void Map_Unit(const a_unit& xunit, a_iunit& iunit) {
  iunit.shape = Unit_Kind_Shape(xunit.kind);
  Map_FRect(xunit.bbox, iunit.bbox);
  const float mult = ncstack >= 1 && ncstack <= MAXCSTACK ? cstack[ncstack].multx : 0.0f;
  iunit.ibleed = Rect{Scale_Length(xunit.bleed.top, mult), Scale_Length(xunit.bleed.left, mult),
                      Scale_Length(xunit.bleed.bottom, mult), Scale_Length(xunit.bleed.right, mult)};
  for (int i = 0; i < 4; ++i) iunit.imeas[i] = Scale_Length(xunit.meas[i], mult);
}

// --- Regions ---------------------------------------------------------------------------------

namespace {

// A region owned for the length of a block.
class Work_Rgn {
 public:
  Work_Rgn() : rgn_(nullptr) {}
  ~Work_Rgn() {
    if (rgn_) DisposeRgn(rgn_);
  }
  Work_Rgn(const Work_Rgn&) = delete;
  Work_Rgn& operator=(const Work_Rgn&) = delete;
  HRGN& get() { return rgn_; }

 private:
  HRGN rgn_;
};

void Put_Rgn(RgnHandle dst, HRGN src) {
  if (src) CopyRgn(src, dst);
  else SetEmptyRgn(dst);
}

// rgn minus the circle of diameter d centred in box.
void Cut_Circle(RgnHandle rgn, const Rect& box, int32 d) {
  if (d <= 0) return;
  Work_Rgn hole;
  OvalRgn(Centered_Square(box, d), hole.get());
  if (hole.get()) DiffRgn(rgn, hole.get(), rgn);
}

void Rounded_Rgn(RgnHandle rgn, const Rect& box, int32 radius) {
  const int32 d = std::min<int32>({2 * radius, int32(box.right) - box.left, int32(box.bottom) - box.top});
  if (d <= 0) {
    RectRgn(rgn, box);
    return;
  }
  Work_Rgn rr;
  RoundRectRgn(rr.get(), box, int16(d), int16(d));
  Put_Rgn(rgn, rr.get());
}

// The window of a cassette label on face, its measures and the bleeds that
// narrow it (the artwork runs into the window by the bleed).
bool Audio_Window(const Rect& face, const int16 (&imeas)[4], const Rect& bleed, Rect& window) {
  window = Rect{0, 0, 0, 0};
  const int32 w = int32(imeas[2]) - bleed.left - bleed.right;
  const int32 h = int32(imeas[3]) - bleed.top - bleed.bottom;
  if (w <= 0 || h <= 0) return false;
  const int32 l = Floor_Div2(int32(face.left) + face.right - w);
  const int32 t = int32(face.top) + imeas[1] + 2 * int32(bleed.top);
  window = Rect{To16(t), To16(l), To16(t + h), To16(l + w)};
  return !Box_Empty(window);
}

// The window's region: round ends of the smaller side's diameter joined by
// the rectangle between their centres.
void Window_Rgn(RgnHandle rgn, const Rect& win) {
  const int32 w = int32(win.right) - win.left, h = int32(win.bottom) - win.top;
  const int32 d = std::min(w, h);
  Work_Rgn a, b;
  Rect ends1, ends2, middle;
  if (w >= h) {
    ends1 = Rect{win.top, win.left, win.bottom, To16(win.left + d)};
    ends2 = Rect{win.top, To16(win.right - d), win.bottom, win.right};
    middle = Rect{win.top, To16(win.left + d / 2), win.bottom, To16(win.right - d / 2)};
  } else {
    ends1 = Rect{win.top, win.left, To16(win.top + d), win.right};
    ends2 = Rect{To16(win.bottom - d), win.left, win.bottom, win.right};
    middle = Rect{To16(win.top + d / 2), win.left, To16(win.bottom - d / 2), win.right};
  }
  OvalRgn(ends1, a.get());
  OvalRgn(ends2, b.get());
  RectRgn(rgn, middle);
  if (a.get()) UnionRgn(rgn, a.get(), rgn);
  if (b.get()) UnionRgn(rgn, b.get(), rgn);
}

// The inlay's outline, corner by corner, as distances on its nominal frame
// (millimetres from the left or right edge, from the top or bottom edge).
constexpr float kInlayW = 150.5f, kInlayH = 199.0f;
struct a_inlay_vertex {
  bool from_right;
  float x;
  bool from_bottom;
  float y;
};
constexpr a_inlay_vertex kInlay[] = {
    {false, 13.5f, false, 0.0f},  {true, 23.0f, false, 0.0f},   {true, 23.0f, false, 11.5f},
    {true, 0.0f, false, 11.5f},   {true, 0.0f, true, 12.5f},    {true, 23.0f, true, 12.5f},
    {true, 23.0f, true, 0.0f},    {false, 13.5f, true, 0.0f},   {false, 13.5f, true, 6.5f},
    {false, 6.5f, true, 6.5f},    {false, 6.5f, true, 11.5f},   {false, 0.0f, true, 11.5f},
    {false, 0.0f, false, 11.5f},  {false, 6.5f, false, 11.5f},  {false, 6.5f, false, 6.5f},
    {false, 13.5f, false, 6.5f},
};
constexpr int kInlayN = int(sizeof kInlay / sizeof kInlay[0]);

// The inlay's vertices on the frame scale, between the edges left..right and
// top..bottom (for a region the box's own edges; for an outline the pen path).
void Inlay_Points(const Rect& scale_box, int32 left, int32 top, int32 right, int32 bottom, Point (&pts)[kInlayN]) {
  const float sx = float(int32(scale_box.right) - scale_box.left) / kInlayW;
  const float sy = float(int32(scale_box.bottom) - scale_box.top) / kInlayH;
  for (int i = 0; i < kInlayN; ++i) {
    const a_inlay_vertex& v = kInlay[i];
    const int32 dx = SysMath::round(v.x * sx), dy = SysMath::round(v.y * sy);
    pts[i].h = To16(v.from_right ? right - dx : left + dx);
    pts[i].v = To16(v.from_bottom ? bottom - dy : top + dy);
  }
}

}  // namespace

bool8 Calc_Audio_Window(const a_iunit& iunit, Rect& window) {
  return Audio_Window(iunit.bbox, iunit.imeas, iunit.ibleed, window);
}

void Calc_Ring_Region(RgnHandle rgn, const a_iunit& iunit, bool8 holes) {
  Work_Rgn disc;
  OvalRgn(iunit.bbox, disc.get());
  Put_Rgn(rgn, disc.get());
  if (holes) Cut_Circle(rgn, iunit.bbox, iunit.imeas[0]);
}

void Calc_BizHockey_Region(RgnHandle rgn, const a_iunit& iunit, bool8 holes) {
  RectRgn(rgn, iunit.bbox);
  if (!holes) return;
  Work_Rgn disc;
  OvalRgn(Centered_Square(iunit.bbox, int32(iunit.bbox.right) - iunit.bbox.left), disc.get());
  if (disc.get()) SectRgn(rgn, disc.get(), rgn);
  Cut_Circle(rgn, iunit.bbox, iunit.imeas[0]);
}

void Calc_BizRect_Region(RgnHandle rgn, const a_iunit& iunit, bool8 holes) {
  Rounded_Rgn(rgn, iunit.bbox, iunit.imeas[1]);
  if (holes) Cut_Circle(rgn, iunit.bbox, iunit.imeas[0]);
}

void Calc_Audio_Region(RgnHandle rgn, const a_iunit& iunit, bool8 holes) {
  const Rect& b = iunit.bbox;
  const int32 s = (int32(b.bottom) - b.top) * 7 / 64;
  const Point pts[6] = {
      {b.bottom, b.left},           {To16(b.top + s), b.left}, {b.top, To16(b.left + s)},
      {b.top, To16(b.right - s)},   {To16(b.top + s), b.right}, {b.bottom, b.right},
  };
  Work_Rgn face;
  PolygonRgn(pts, 6, face.get());
  Put_Rgn(rgn, face.get());
  Rect win;
  if (!holes || !Calc_Audio_Window(iunit, win)) return;
  Work_Rgn window;
  window.get() = NewRgn();
  Window_Rgn(window.get(), win);
  DiffRgn(rgn, window.get(), rgn);
}

void Calc_SuperJewelN_Region(RgnHandle rgn, const a_iunit& iunit) {
  const Rect& b = iunit.bbox;
  Point pts[kInlayN];
  Inlay_Points(b, b.left, b.top, b.right, b.bottom, pts);
  Work_Rgn inlay;
  PolygonRgn(pts, kInlayN, inlay.get());
  Put_Rgn(rgn, inlay.get());
}

void Calc_Unit_Region(bool8 holes, const a_iunit& iunit, RgnHandle rgn) {
  if (!rgn) return;
  if (Box_Empty(iunit.bbox)) {
    SetEmptyRgn(rgn);
    return;
  }
  switch (iunit.shape) {
    case SHAPE_RECT:
    case SHAPE_BOOKLET:
    case SHAPE_MULTIPART:
    case SHAPE_SLIMLINE:
    case SHAPE_JEWELBASE:
    case SHAPE_SUPERJEWELN: RectRgn(rgn, iunit.bbox); break;
    case SHAPE_ROUNDRECT: Rounded_Rgn(rgn, iunit.bbox, iunit.imeas[0]); break;
    case SHAPE_CIRCLE:
    case SHAPE_OVAL: {
      Work_Rgn oval;
      OvalRgn(iunit.bbox, oval.get());
      Put_Rgn(rgn, oval.get());
      break;
    }
    case SHAPE_RING: Calc_Ring_Region(rgn, iunit, holes); break;
    case SHAPE_AUDIOFACE: Calc_Audio_Region(rgn, iunit, holes); break;
    case SHAPE_BIZHOCKEY: Calc_BizHockey_Region(rgn, iunit, holes); break;
    case SHAPE_BIZRECT: Calc_BizRect_Region(rgn, iunit, holes); break;
    case SHAPE_NOTHING:
    default: SetEmptyRgn(rgn); break;
  }
}

// --- Outlines ----------------------------------------------------------------------------

namespace {

constexpr double kPi = 3.14159265358979323846;

// The marquee's pen pattern: diagonal stripes, four pixels of the
// foreground colour (0 bits) and four of the background colour.
constexpr Pattern kMarqueePattern = {{0x0F, 0x87, 0xC3, 0xE1, 0xF0, 0x78, 0x3C, 0x1E}};

int16 Pen_Of(int16 dashthick) { return dashthick < 1 ? int16(1) : dashthick; }

// The dash of a piece of outline: 0 draws solid.
int32 Dash_Of(a_line_kind kind, int16 dashlen, int32 num, int32 den) {
  if (kind != DASHED_LINE || dashlen < 1) return 0;
  return std::max<int32>(1, int32(dashlen) * num / den);
}

// Walks the pen along a path: every point paints the pen's square, on in
// the foreground colour, off (between dashes) in the background colour.
// Straight axis runs paint whole spans at once.
class Pen_Walker {
 public:
  Pen_Walker(int16 pen, int32 dash) : p_(pen), dash_(dash) {}

  void Dot(int32 x, int32 y) {
    if (have_last_) {
      const int32 step = std::max(std::abs(x - lx_), std::abs(y - ly_));
      if (step == 0) return;
      Advance(step);
    }
    Paint(x, y, x + p_, y + p_);
    Moved(x, y);
  }

  // A path from (x1, y1) to (x2, y2): one span when it runs along an axis,
  // else stepped from pixel to pixel.
  void Line(int32 x1, int32 y1, int32 x2, int32 y2) {
    if (y1 == y2) {
      Span(x1, x2, y1, true);
    } else if (x1 == x2) {
      Span(y1, y2, x1, false);
    } else {
      const int32 dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
      const int32 sx = x2 > x1 ? 1 : -1, sy = y2 > y1 ? 1 : -1;
      int32 err = dx - dy, x = x1, y = y1;
      have_last_ = false;
      for (;;) {
        Dot(x, y);
        if (x == x2 && y == y2) break;
        const int32 e2 = 2 * err;
        if (e2 > -dy) {
          err -= dy;
          x += sx;
        }
        if (e2 < dx) {
          err += dx;
          y += sy;
        }
      }
    }
  }

  // An elliptic arc of the pen path, centre (cx, cy), radii rx, ry, from
  // angle a0 to a1 (radians, y downward), in steps of at most a pixel.
  void Arc(double cx, double cy, double rx, double ry, double a0, double a1) {
    const double r = std::max(rx, ry);
    const int32 n = std::max<int32>(8, int32(std::ceil(std::fabs(a1 - a0) * r * 1.5)));
    have_last_ = false;
    for (int32 i = 0; i <= n; ++i) {
      const double a = a0 + (a1 - a0) * double(i) / double(n);
      Dot(int32(std::lround(cx + rx * std::cos(a))), int32(std::lround(cy + ry * std::sin(a))));
    }
  }

  // Ends the path here: the next piece starts afresh (its dash phase goes on).
  void Break() { have_last_ = false; }

 private:
  void Advance(int32 step) {
    if (dash_ <= 0) return;
    count_ += step;
    while (count_ >= dash_) {
      count_ -= dash_;
      on_ = !on_;
    }
  }

  void Moved(int32 x, int32 y) {
    have_last_ = true;
    lx_ = x;
    ly_ = y;
  }

  void Paint(int32 l, int32 t, int32 r, int32 b) {
    const Rect box{To16(t), To16(l), To16(b), To16(r)};
    if (on_ || dash_ <= 0) PaintRect(box);
    else EraseRect(box);
  }

  // A run from a to b along x (horizontal, at y = at) or along y (at x = at):
  // the pixels a .. b plus the pen's width, cut into dashes.
  void Span(int32 a, int32 b, int32 at, bool horizontal) {
    const int32 dir = b >= a ? 1 : -1;
    int32 pos = dir > 0 ? a : a + p_;  // the leading edge, walking toward b
    const int32 end = dir > 0 ? b + p_ : b;
    while (pos != end) {
      int32 run = std::abs(end - pos);
      if (dash_ > 0) run = std::min(run, dash_ - count_);
      const int32 from = dir > 0 ? pos : pos - run, to = dir > 0 ? pos + run : pos;
      if (horizontal) Paint(from, at, to, at + p_);
      else Paint(at, from, at + p_, to);
      pos += dir * run;
      if (dash_ > 0) Advance(run);
    }
    Moved(horizontal ? b : at, horizontal ? at : b);
  }

  int32 p_;
  int32 dash_;
  int32 count_ = 0;
  bool on_ = true;
  bool have_last_ = false;
  int32 lx_ = 0, ly_ = 0;
};

// The pen path of a box: a pen's width in from its right and bottom edges.
struct a_path_box {
  int32 l, t, r, b;
};

a_path_box Path_Of(const Rect& box, int16 pen) {
  return a_path_box{box.left, box.top, int32(box.right) - pen, int32(box.bottom) - pen};
}

// A box too small for the pen's path is painted whole.
bool Too_Small(const a_path_box& pb) { return pb.r < pb.l || pb.b < pb.t; }

void Fill_Small(const Rect& box) {
  if (!Box_Empty(box)) PaintRect(box);
}

// The ellipse of the pen path inscribed in box.
void Ellipse_Path(Pen_Walker& w, const a_path_box& pb) {
  const double cx = (pb.l + pb.r) / 2.0, cy = (pb.t + pb.b) / 2.0;
  w.Arc(cx, cy, (pb.r - pb.l) / 2.0, (pb.b - pb.t) / 2.0, 0.0, 2 * kPi);
}

// A stadium (two half circles joined by straight sides) along the longer
// side of the pen path.
void Stadium_Path(Pen_Walker& w, const a_path_box& pb) {
  const double width = pb.r - pb.l, height = pb.b - pb.t;
  if (width >= height) {
    const double rr = height / 2.0, cy = pb.t + rr;
    const int32 x1 = int32(std::lround(pb.l + rr)), x2 = int32(std::lround(pb.r - rr));
    w.Arc(pb.l + rr, cy, rr, rr, kPi / 2, 3 * kPi / 2);
    w.Line(x1, pb.t, x2, pb.t);
    w.Arc(pb.r - rr, cy, rr, rr, -kPi / 2, kPi / 2);
    w.Line(x2, pb.b, x1, pb.b);
  } else {
    const double rr = width / 2.0, cx = pb.l + rr;
    const int32 y1 = int32(std::lround(pb.t + rr)), y2 = int32(std::lround(pb.b - rr));
    w.Arc(cx, pb.t + rr, rr, rr, kPi, 2 * kPi);
    w.Line(pb.r, y1, pb.r, y2);
    w.Arc(cx, pb.b - rr, rr, rr, 0, kPi);
    w.Line(pb.l, y2, pb.l, y1);
  }
}

// A vertical fold line centred on x, from the top to the bottom of box.
void Fold(a_line_kind kind, int16 dashthick, int16 dashlen, const Rect& box, int32 x) {
  if (x <= box.left || x >= box.right) return;  // a fold outside the unit is no fold of it
  const int16 pen = Pen_Of(dashthick);
  const int32 px = x - pen / 2;
  Outline_Shape_Line(kind, dashthick, dashlen, To16(px), box.top, To16(px), To16(int32(box.bottom) - pen));
}

void Hole_Circle(a_line_kind kind, int16 dashthick, int16 dashlen, const Rect& box, int32 d) {
  if (d > 0) Outline_Shape_Circle(kind, dashthick, dashlen, Centered_Square(box, d));
}

Rect Less_Bleeds(const Rect& box, const Rect& bleed) {
  return Rect{To16(int32(box.top) + bleed.top), To16(int32(box.left) + bleed.left),
              To16(int32(box.bottom) - bleed.bottom), To16(int32(box.right) - bleed.right)};
}

}  // namespace

void Outline_Shape_Line(a_line_kind linekind, int16 dashthick, int16 dashlen, int16 x1, int16 y1, int16 x2,
                        int16 y2) {
  const bool slanted = x1 != x2 && y1 != y2;
  Pen_Walker w(Pen_Of(dashthick), Dash_Of(linekind, dashlen, slanted ? 3 : 1, slanted ? 5 : 1));
  w.Line(x1, y1, x2, y2);
}

void Outline_Shape_Rect(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& r) {
  if (Box_Empty(r)) return;
  const int16 pen = Pen_Of(dashthick);
  const a_path_box pb = Path_Of(r, pen);
  if (Too_Small(pb)) return Fill_Small(r);
  Pen_Walker w(pen, Dash_Of(linekind, dashlen, 1, 1));
  w.Line(pb.l, pb.t, pb.r, pb.t);
  w.Line(pb.r, pb.t, pb.r, pb.b);
  w.Line(pb.r, pb.b, pb.l, pb.b);
  w.Line(pb.l, pb.b, pb.l, pb.t);
}

void Outline_Shape_Circle(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& r) {
  if (Box_Empty(r)) return;
  const int16 pen = Pen_Of(dashthick);
  const a_path_box pb = Path_Of(r, pen);
  if (Too_Small(pb)) return Fill_Small(r);
  Pen_Walker w(pen, Dash_Of(linekind, dashlen, 4, 5));
  Ellipse_Path(w, pb);
}

void Outline_Shape_Oval(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& r) {
  if (Box_Empty(r)) return;
  if (linekind != DASHED_LINE || dashlen < 1) return Outline_Shape_Circle(linekind, dashthick, dashlen, r);
  PenState saved;
  GetPenState(saved);
  PenPat(kMarqueePattern);
  PenSize(Pen_Of(dashthick), Pen_Of(dashthick));
  FrameOval(r);
  SetPenState(saved);
}

void Outline_Shape_Fillet(a_line_kind linekind, int16 dashthick, int16 dashlen, int16 ch, int16 cv, int16 radius,
                          int16 quadrant) {
  if (radius < 0) return;
  static const double kFrom[4] = {kPi, 3 * kPi / 2, 0, kPi / 2};
  Pen_Walker w(Pen_Of(dashthick), Dash_Of(linekind, dashlen, 4, 5));
  const double a0 = kFrom[quadrant & 3];
  w.Arc(ch, cv, radius, radius, a0, a0 + kPi / 2);
}

void Outline_Shape_RoundRect(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& r, int16 radius) {
  if (Box_Empty(r)) return;
  const int16 pen = Pen_Of(dashthick);
  const a_path_box pb = Path_Of(r, pen);
  if (Too_Small(pb)) return Fill_Small(r);
  const int32 rad = std::min<int32>(radius, std::min(pb.r - pb.l, pb.b - pb.t) / 2);
  if (rad < 2) return Outline_Shape_Rect(linekind, dashthick, dashlen, r);
  Pen_Walker w(pen, Dash_Of(linekind, dashlen, 1, 1));
  w.Line(pb.l + rad, pb.t, pb.r - rad, pb.t);
  w.Break();
  w.Line(pb.r, pb.t + rad, pb.r, pb.b - rad);
  w.Break();
  w.Line(pb.r - rad, pb.b, pb.l + rad, pb.b);
  w.Break();
  w.Line(pb.l, pb.b - rad, pb.l, pb.t + rad);
  Outline_Shape_Fillet(linekind, dashthick, dashlen, To16(pb.l + rad), To16(pb.t + rad), int16(rad), 0);
  Outline_Shape_Fillet(linekind, dashthick, dashlen, To16(pb.r - rad), To16(pb.t + rad), int16(rad), 1);
  Outline_Shape_Fillet(linekind, dashthick, dashlen, To16(pb.r - rad), To16(pb.b - rad), int16(rad), 2);
  Outline_Shape_Fillet(linekind, dashthick, dashlen, To16(pb.l + rad), To16(pb.b - rad), int16(rad), 3);
}

void Outline_Shape_Hockey(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& r) {
  if (Box_Empty(r)) return;
  const int32 w = int32(r.right) - r.left, h = int32(r.bottom) - r.top;
  if (h >= w) {
    // Nothing of the circle is cut away: the card is the disc.
    return Outline_Shape_Circle(linekind, dashthick, dashlen, Centered_Square(r, w));
  }
  const int16 pen = Pen_Of(dashthick);
  const a_path_box pb = Path_Of(r, pen);
  if (Too_Small(pb)) return Fill_Small(r);
  const double cx = (pb.l + pb.r) / 2.0, cy = (pb.t + pb.b) / 2.0;
  const double rad = (pb.r - pb.l) / 2.0, half = (pb.b - pb.t) / 2.0;
  const double theta = std::asin(std::min(1.0, half / std::max(rad, 1.0)));
  const int32 xl = int32(std::lround(cx - rad * std::cos(theta))), xr = int32(std::lround(cx + rad * std::cos(theta)));
  Pen_Walker arcs(pen, Dash_Of(linekind, dashlen, 4, 5));
  arcs.Arc(cx, cy, rad, rad, -theta, theta);
  arcs.Arc(cx, cy, rad, rad, kPi - theta, kPi + theta);
  Pen_Walker edges(pen, Dash_Of(linekind, dashlen, 1, 1));
  edges.Line(xl, pb.t, xr, pb.t);
  edges.Break();
  edges.Line(xr, pb.b, xl, pb.b);
}

void Outline_Shape_Audio(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& face, const Rect& window) {
  if (Box_Empty(face)) return;
  const int16 pen = Pen_Of(dashthick);
  const a_path_box pb = Path_Of(face, pen);
  if (Too_Small(pb)) return Fill_Small(face);
  const int32 s = (int32(face.bottom) - face.top) * 7 / 64;
  Outline_Shape_Line(linekind, dashthick, dashlen, To16(pb.l), To16(pb.b), To16(pb.l), To16(pb.t + s));
  Outline_Shape_Line(linekind, dashthick, dashlen, To16(pb.l), To16(pb.t + s), To16(pb.l + s), To16(pb.t));
  Outline_Shape_Line(linekind, dashthick, dashlen, To16(pb.l + s), To16(pb.t), To16(pb.r - s), To16(pb.t));
  Outline_Shape_Line(linekind, dashthick, dashlen, To16(pb.r - s), To16(pb.t), To16(pb.r), To16(pb.t + s));
  Outline_Shape_Line(linekind, dashthick, dashlen, To16(pb.r), To16(pb.t + s), To16(pb.r), To16(pb.b));
  Outline_Shape_Line(linekind, dashthick, dashlen, To16(pb.r), To16(pb.b), To16(pb.l), To16(pb.b));
  if (Box_Empty(window)) return;
  const a_path_box wb = Path_Of(window, pen);
  if (Too_Small(wb)) return Fill_Small(window);
  Pen_Walker w(pen, Dash_Of(linekind, dashlen, 4, 5));
  Stadium_Path(w, wb);
}

void Outline_Shape_SuperJewelN(a_line_kind linekind, int16 dashthick, int16 dashlen, const Rect& r) {
  if (Box_Empty(r)) return;
  const int16 pen = Pen_Of(dashthick);
  const a_path_box pb = Path_Of(r, pen);
  if (Too_Small(pb)) return Fill_Small(r);
  Point pts[kInlayN];
  Inlay_Points(r, pb.l, pb.t, pb.r, pb.b, pts);
  Pen_Walker w(pen, Dash_Of(linekind, dashlen, 1, 1));
  for (int i = 0; i < kInlayN; ++i) {
    const Point& a = pts[i];
    const Point& b = pts[(i + 1) % kInlayN];
    w.Line(a.h, a.v, b.h, b.v);
  }
}

void Draw_Crosshair(int16 h, int16 v, int16 size) {
  PenState pen;
  GetPenState(pen);
  const int32 p = std::max<int32>(1, pen.pnSize.h), half = size / 2;
  const int32 off = p / 2;
  PaintRect(Rect{To16(v - off), To16(h - half), To16(v - off + p), To16(h + half)});
  PaintRect(Rect{To16(v - half), To16(h - off), To16(v + half), To16(h - off + p)});
}

void Outline_Shape2(bool8 is_test, bool8 do_outside, bool8 do_inside, a_line_kind linekind, int16 dashthick,
                    int16 dashlen, a_bleed_display bleed_flag, const a_iunit& iunit) {
  const Rect& b = iunit.bbox;
  if (Box_Empty(b)) return;
  PenState saved;
  GetPenState(saved);
  PenPat(kPatBlack);
  if (do_outside) {
    switch (iunit.shape) {
      case SHAPE_RECT:
      case SHAPE_BOOKLET:
      case SHAPE_MULTIPART:
      case SHAPE_SLIMLINE:
      case SHAPE_JEWELBASE: Outline_Shape_Rect(linekind, dashthick, dashlen, b); break;
      case SHAPE_ROUNDRECT: Outline_Shape_RoundRect(linekind, dashthick, dashlen, b, iunit.imeas[0]); break;
      case SHAPE_CIRCLE: Outline_Shape_Circle(linekind, dashthick, dashlen, b); break;
      case SHAPE_OVAL: Outline_Shape_Oval(linekind, dashthick, dashlen, b); break;
      case SHAPE_RING:
        Outline_Shape_Circle(linekind, dashthick, dashlen, b);
        Hole_Circle(linekind, dashthick, dashlen, b, iunit.imeas[0]);
        Hole_Circle(linekind, dashthick, dashlen, b, iunit.imeas[1]);
        break;
      case SHAPE_AUDIOFACE: {
        Rect face = b, window;
        if (bleed_flag == INSIDE_BLEED) {
          // The cut: the face without its bleeds, and the window as measured.
          face = Less_Bleeds(b, iunit.ibleed);
          Audio_Window(face, iunit.imeas, Rect{0, 0, 0, 0}, window);
        } else {
          Calc_Audio_Window(iunit, window);
        }
        Outline_Shape_Audio(linekind, dashthick, dashlen, face, window);
        break;
      }
      case SHAPE_BIZHOCKEY:
        Outline_Shape_Hockey(linekind, dashthick, dashlen, b);
        Hole_Circle(linekind, dashthick, dashlen, b, iunit.imeas[0]);
        break;
      case SHAPE_BIZRECT:
        Outline_Shape_RoundRect(linekind, dashthick, dashlen, b, iunit.imeas[1]);
        Hole_Circle(linekind, dashthick, dashlen, b, iunit.imeas[0]);
        break;
      case SHAPE_SUPERJEWELN: Outline_Shape_SuperJewelN(linekind, dashthick, dashlen, b); break;
      case SHAPE_NOTHING:
      default: break;
    }
  }
  if (do_inside) {
    switch (iunit.shape) {
      case SHAPE_BOOKLET: {
        const int32 mid = Floor_Div2(int32(b.left) + b.right);
        if (iunit.imeas[0] == 0) {
          Fold(linekind, dashthick, dashlen, b, mid);
        } else {
          Fold(linekind, dashthick, dashlen, b, mid - iunit.imeas[0] / 2);
          Fold(linekind, dashthick, dashlen, b, mid + iunit.imeas[0] / 2);
        }
        break;
      }
      case SHAPE_MULTIPART: {
        int32 x = b.left;
        for (int16 m : iunit.imeas) {
          if (m <= 0) break;
          x += m;
          Fold(linekind, dashthick, dashlen, b, x);
        }
        break;
      }
      case SHAPE_SLIMLINE:
        if (!is_test && iunit.imeas[0] > 0) Fold(linekind, dashthick, dashlen, b, int32(b.left) + iunit.imeas[0]);
        break;
      case SHAPE_JEWELBASE:
        if (!is_test && iunit.imeas[0] > 0) {
          Fold(linekind, dashthick, dashlen, b, int32(b.left) + iunit.imeas[0]);
          Fold(linekind, dashthick, dashlen, b, int32(b.right) - iunit.imeas[0]);
        }
        break;
      default: break;
    }
  }
  SetPenState(saved);
}

void Outline_Shape(uint32 ux, bool8 is_test, a_line_kind linekind, int16 dashthick, int16 dashlen, bool8 crosshair,
                   a_bleed_display bleed_flag, Rect& used_bbox) {
  used_bbox = Rect{0, 0, 0, 0};
  const a_template& tmpl = g_doc.doc_template;
  if (ux < 1 || ux > tmpl.nunits || ux > MAXNUNITS) return;
  const a_unit& unit = tmpl.units[ux - 1];
  a_unit adjusted;
  Calc_Adjusted_Unit(bleed_flag == FULL_BLEED, true, 1, Calc_Direct_Print_Kind(), unit, adjusted);
  a_iunit iunit;
  Map_Unit(adjusted, iunit);
  Outline_Shape2(is_test, true, true, linekind, dashthick, dashlen, bleed_flag, iunit);
  if (crosshair && Is_Disc_Kind(unit.kind) && !Box_Empty(iunit.bbox)) {
    PenState saved;
    GetPenState(saved);
    PenPat(kPatBlack);
    PenSize(2, 2);
    Draw_Crosshair(To16(Floor_Div2(int32(iunit.bbox.left) + iunit.bbox.right)),
                   To16(Floor_Div2(int32(iunit.bbox.top) + iunit.bbox.bottom)), 8);
    SetPenState(saved);
  }
  used_bbox = iunit.bbox;
}

void Draw_Cutlines2(uint32 ux) {
  RGBColor fore, back;
  GetForeColor(fore);
  GetBackColor(back);
  const a_win_pixel32 c = gs.pref.cutlines_color;
  RGBForeColor(RGBColor{uint16(c.r * 257), uint16(c.g * 257), uint16(c.b * 257)});
  RGBBackColor(RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
  Rect used;
  Outline_Shape(ux, false, DASHED_LINE, 1, 5, true, INSIDE_BLEED, used);
  RGBForeColor(fore);
  RGBBackColor(back);
}

void Draw_CutLines() {
  const uint32 ux = g_doc.upx;
  const a_doc_unit* unit = Doc_Unit(ux);
  if (unit == nullptr || ux > g_doc.doc_template.nunits) return;
  a_unit adjusted;
  Calc_Adjusted_Unit(true, true, 1, Calc_Direct_Print_Kind(), g_doc.doc_template.units[ux - 1], adjusted);
  Rect screen;
  CellToScreenRect(1, unit->paintbounds, screen);
  a_coord_mapping mapping;
  Calc_Unit_Mapping(adjusted, screen, mapping);
  Push_Mapping(mapping);
  Draw_Cutlines2(ux);
  Pop_Mapping();
}
