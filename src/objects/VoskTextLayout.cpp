// The layout pass of text objects: categories, widths, line breaks, the
// straight and circular layouts, the box with its effects, and the
// text-size mapping they are measured under. The layouts on paths are in
// VoskTextPath.cpp.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "doc/VoskDoc.h"
#include "objects/VoskTextI.h"
#include "platform/QDRect.h"
#include "ui/VoskIntI.h"

a_text_breaks g_breaks;
a_char_widths g_ow[MAX_NXYL];

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr float kMMPerPoint = 0.35277777777777775f;
constexpr float kCellsPerPoint = 300.0f / 72.0f;

// --- The text-size mapping ---------------------------------------------------------

float g_textsize_stack[2];
int32 g_textsize_nstack = 0;
int32 g_textsize_ignored = 0;  // pushes past the second, popped without effect

// Advance of code point cp in the font record's font, stretched by its scale.
float Measure_Advance(const a_fontspec& spec, char32_t cp) { return float(Glyph_Advance(spec, cp)); }

int32 Layout_Size_Limit(const a_om_rec& om) {
  return TEXT_LAYOUT_SIZE_LIMITS[om.layout < NTEXT_LAYOUTS ? om.layout : 0];
}

// Index of the end entry (the record is limited first: it is nxyl - 1).
int32 End_Entry(const a_om_rec& om) { return std::clamp<int32>(om.nxyl, 1, MAX_NXYL) - 1; }

// --- Width scan and line breaks ---------------------------------------------------

void Scan_Widths(a_layout_pass& p, bool vertical) {
  a_om_rec& om = *p.om;
  a_fontspec base;
  Calc_Net_Char(om, -1, base);
  const float space = Measure_Advance(base, U' ');
  const float hspacing = float(om.hspacing) / 100.0f;
  const float column = 1.05f * p.pixsize * hspacing;
  float runend = 0;
  for (int32 i = 0; i < p.eos; ++i) {
    a_xyl_char& c = om.xyl[i];
    a_char_widths& w = g_ow[i];
    a_fontspec spec;
    Calc_Net_Char(om, i, spec);
    w.height = float(spec.size);
    w.ascent = 0.75f * float(spec.size);
    float measured = 0;
    if (c.mm_cat == CC_REGULAR) {
      int32 units = 1;
      const char32_t cp = XYL_Code_Point(om, i, units);
      measured = cp == 0 ? 0 : Measure_Advance(spec, cp);
    } else if (c.mm_cat == CC_SPACE) {
      measured = vertical ? 0.8f * p.pixsize : space;
    }
    if (vertical) {
      w.own = measured;
      w.advance = Is_Laid_Cat(c.mm_cat) ? column : 0;
      int32 units = 1;
      if (c.mm_cat == CC_REGULAR && XYL_Code_Point(om, i, units) == 0) w.advance = 0;
    } else {
      w.own = measured;
      w.advance = measured * hspacing;
    }
    w.start = std::max(0.0f, runend + float(c.cc_nudgex));
    w.end = w.start + w.advance;
    runend = std::max(runend, w.end);
    w.runend = runend;
    c.mm_width = int16(std::lround(std::min(w.advance, 32767.0f)));
  }
}

bool Straight_Layout(a_text_layout l) {
  return l == LAYOUT_HORZ || l == LAYOUT_90 || l == LAYOUT_VERT || l == LAYOUT_270;
}

void Simple_Line_Breaks(a_layout_pass& p) {
  a_om_rec& om = *p.om;
  const float limit = Straight_Layout(om.layout)
                          ? 2.0f * float(std::max(p.canvas.right - p.canvas.left, p.canvas.bottom - p.canvas.top))
                          : 1e8f;
  g_breaks.nlines = 0;
  int32 first = 0;
  for (int32 i = 0; i < p.eos; ++i) {
    const a_xyl_char& c = om.xyl[i];
    bool ends = i == p.eos - 1 || c.mm_cat == CC_HARDBREAK || g_ow[i].runend - g_ow[first].start > limit;
    // A surrogate pair stays on one line.
    if (ends && i + 1 < p.eos && Is_High_Surrogate(c.cc_char) && Is_Low_Surrogate(om.xyl[i + 1].cc_char)) ends = false;
    if (!ends) continue;
    if (g_breaks.nlines >= uint32(MAX_TEXT_LINES)) {
      Overflow_Char(om.xyl[first]);
      for (int32 j = first + 1; j < p.eos; ++j) {
        Overflow_Char(om.xyl[j]);
        om.xyl[j].mm_cat = CC_IGNORE;
      }
      return;
    }
    g_breaks.lines[g_breaks.nlines++] = a_line_break{first, i, g_ow[first].start, g_ow[i].runend};
    first = i + 1;
  }
}

// --- Straight lines ------------------------------------------------------------------

int16 Rect_Line_Angle(const a_om_rec& om) {
  switch (om.layout) {
    case LAYOUT_90: return 900;
    case LAYOUT_270: return -900;
    default: return om.lineangle;
  }
}

void Reformat_Rect(a_layout_pass& p) {
  a_om_rec& om = *p.om;
  a_path_cache& path = om.cache.path;
  Start_Linear_Paths(path);
  const double base = -double(Rect_Line_Angle(om)) / 10.0;
  const double cs = std::cos(base * kDeg), sn = std::sin(base * kDeg);
  const float longest = Longest_Line();
  double shift = 0;
  if (om.justify == JUST_RIGHT) shift = -longest;
  if (om.justify == JUST_CENTER) shift = -longest / 2.0;
  const double x0 = om.anchor.h + cs * shift, y0 = om.anchor.v + sn * shift;
  // Across the lines: the base direction turned down the page.
  const double ax = -sn, ay = cs;
  const uint32 npaths = std::min<uint32>(g_breaks.nlines, MAX_TEXT_PATHS);
  for (uint32 l = 0; l < npaths; ++l) {
    const a_linear_path line{float(x0 + ax * p.linedist * l), float(y0 + ay * p.linedist * l), longest, float(base),
                             float(sn), float(cs), float(base)};
    if (Add_Linear_Path(path, line) == nullptr) break;
  }
  if (path.npaths > 0) {
    const a_linear_path& last = *path.paths[path.npaths - 1].line;
    path.overflowx = float(last.endpointx + cs * longest);
    path.overflowy = float(last.endpointy + sn * longest);
  } else {
    path.overflowx = om.anchor.h;
    path.overflowy = om.anchor.v;
  }
  for (uint32 l = 0; l < g_breaks.nlines; ++l)
    Apply_To_Path(om.justify, g_breaks.lines[l].last, g_breaks.lines[l].first, om, p.ux, l, APPLY_PLAIN);
  // The frame: the rotated rectangle round every line (one empty line for no
  // text, so that there is something to find).
  const double lines = std::max<uint32>(g_breaks.nlines, 1);
  const double up = 1.1 * p.ascent, down = p.linedist * (lines - 1) + p.descent;
  const double tx = x0 - ax * up, ty = y0 - ay * up;
  Frame_Clear(om);
  Frame_Add(om, tx, ty);
  Frame_Add(om, tx + cs * longest, ty + sn * longest);
  Frame_Add(om, tx + cs * longest + ax * (up + down), ty + sn * longest + ay * (up + down));
  Frame_Add(om, tx + ax * (up + down), ty + ay * (up + down));
  Frame_Add(om, tx, ty);
  om.bbox = Box_Of_Frame(om);
}

// --- Circles ------------------------------------------------------------------------

void Reformat_Circular(a_layout_pass& p) {
  a_om_rec& om = *p.om;
  Flush_Path_Cache(om.cache.path);
  std::memset(static_cast<void*>(&om.cache.path.spec), 0, sizeof om.cache.path.spec);
  const double s = om.layout == LAYOUT_CIRC_CW ? -1.0 : 1.0;
  const double theta0 = (double(om.polarangle) - 90.0 * s) * kDeg;
  const double r0 = Radius_To_Pixels(p.canvas, om.radius);
  const double d = p.linedist;
  const double cx = om.rotcenter.h, cy = om.rotcenter.v;
  const uint32 n = g_breaks.nlines;
  double amin = 1e30, amax = -1e30;
  for (uint32 l = 1; l <= n; ++l) {
    const a_line_break& line = g_breaks.lines[l - 1];
    const double r = s < 0 ? r0 - d * (l - 1) : r0 - d * (n - l);
    const double rc = s < 0 ? r - 0.75 * d : r - 0.25 * d;
    if (rc < 50) {
      for (int32 i = line.first; i <= line.last; ++i)
        if (Is_Laid_Cat(om.xyl[i].mm_cat)) Overflow_Char(om.xyl[i]);
      Post_Overflow(om.rotcenter, int32(p.ux), om);
      continue;
    }
    const double width = line.endx - line.startx;
    double offset = 0;
    if (om.justify == JUST_CENTER) offset = -width / 2;
    if (om.justify == JUST_RIGHT) offset = -width;
    for (int32 i = line.first; i <= line.last; ++i) {
      a_xyl_char& c = om.xyl[i];
      if (!Is_Laid_Cat(c.mm_cat)) continue;
      const double adv = g_ow[i].advance;
      const double a0 = theta0 + s * offset / rc, a1 = theta0 + s * (offset + adv) / rc;
      c.mm_ud = int32(std::lround(offset));
      Store_Place(c, cx + rc * std::cos(a0), cy - rc * std::sin(a0), std::round((a0 + a1) / 2 / kDeg * 10) + 900 * s);
      amin = std::min({amin, a0, a1});
      amax = std::max({amax, a0, a1});
      offset += adv;
    }
  }
  Frame_Clear(om);
  if (amin <= amax) {
    amin -= 2.5 * kDeg;
    amax += 2.5 * kDeg;
    if (amax - amin > 2 * kPi) amax = amin + 2 * kPi;
    const double outer = r0 + 4, inner = std::max(0.0, r0 - d * (double(std::max<uint32>(n, 1)) - 1) - 4 - d);
    const double step = 4 * kDeg;
    const int32 nsteps = int32(std::ceil((amax - amin) / step));
    for (int32 k = 0; k <= nsteps; ++k) {
      const double a = std::min(amin + k * step, amax);
      Frame_Add(om, cx + outer * std::cos(a), cy - outer * std::sin(a));
    }
    for (int32 k = nsteps; k >= 0; --k) {
      const double a = std::min(amin + k * step, amax);
      Frame_Add(om, cx + inner * std::cos(a), cy - inner * std::sin(a));
    }
    Frame_Add(om, cx + outer * std::cos(amin), cy - outer * std::sin(amin));
  }
  om.bbox = p.canvas;
}

// The box grown by the effects (the shadow only toward where it falls).
void Grow_By_Effects(a_om_rec& om) {
  int64 top = om.bbox.top, left = om.bbox.left, bottom = om.bbox.bottom, right = om.bbox.right;
  int64 all = 0;
  if (om.glowf) all += om.glow_radius;
  if (om.outlf) all += om.outl_radius;
  top -= all;
  left -= all;
  bottom += all;
  right += all;
  if (om.shadf) {
    if (om.shad_dx > 0)
      right += om.shad_dx + om.shad_radius;
    else
      left -= -int64(om.shad_dx) + om.shad_radius;
    if (om.shad_dy > 0)
      bottom += om.shad_dy + om.shad_radius;
    else
      top -= -int64(om.shad_dy) + om.shad_radius;
  }
  om.bbox = Rect{Text_Clamp16(top), Text_Clamp16(left), Text_Clamp16(bottom), Text_Clamp16(right)};
}

Rect Unit_Canvas(uint32 ux) {
  const a_doc_unit* unit = ux >= 1 && ux <= MAXNUNITS ? g_doc.doc_units[ux - 1] : nullptr;
  if (unit == nullptr) unit = g_doc.up;
  return unit != nullptr ? unit->paintbounds : Rect{0, 0, 0, 0};
}

}  // namespace

// --- The text-size mapping ---------------------------------------------------------

void Push_TextSize_Mapping(float pixels_per_point) {
  if (g_textsize_nstack >= 2) {
    ++g_textsize_ignored;
    return;
  }
  g_textsize_stack[g_textsize_nstack++] = std::isfinite(pixels_per_point) && pixels_per_point > 0 ? pixels_per_point
                                                                                                   : kCellsPerPoint;
}

void Pop_TextSize_Mapping() {
  if (g_textsize_ignored > 0) {
    --g_textsize_ignored;
    return;
  }
  if (g_textsize_nstack > 0) --g_textsize_nstack;
}

void Push_TextSize_Mapping_U(uint32 ux) {
  float factor = kCellsPerPoint;
  const Rect canvas = Unit_Canvas(ux);
  if (ux >= 1 && ux <= g_doc.doc_template.nunits && ux <= MAXNUNITS) {
    const a_frect& mm = g_doc.doc_template.units[ux - 1].bbox;
    const float wmm = mm.right - mm.left;
    const int32 wpx = canvas.right - canvas.left;
    if (wmm > 0 && wpx > 0) factor = float(wpx) * kMMPerPoint / wmm;
  }
  Push_TextSize_Mapping(factor);
}

void Push_TextSize_Mapping_C() { Push_TextSize_Mapping_U(g_doc.upx); }

float Points_To_PixelsR(float points) {
  return points * (g_textsize_nstack > 0 ? g_textsize_stack[g_textsize_nstack - 1] : kCellsPerPoint);
}

int32 Points_To_Pixels(float points) { return int32(std::lround(Points_To_PixelsR(points))); }

// --- Shared helpers of the pass ------------------------------------------------------

void Start_Linear_Paths(a_path_cache& cache) {
  Flush_Path_Cache(cache);
  std::memset(static_cast<void*>(&cache.spec), 0, sizeof cache.spec);
  cache.spec.shape = RECT_PATH;
  cache.content = ARRAY_OF_LINES;
}

a_linear_path* Add_Linear_Path(a_path_cache& cache, const a_linear_path& line) {
  if (cache.npaths >= uint32(MAX_TEXT_PATHS)) return nullptr;
  Ptr block = New_Ptr(sizeof(a_linear_path));
  if (block == nullptr) {
    g_err_mem_proc(sizeof(a_linear_path));
    return nullptr;
  }
  a_linear_path* lp = reinterpret_cast<a_linear_path*>(block);
  *lp = line;
  cache.paths[cache.npaths++].line = lp;
  return lp;
}

Rect Box_Of_Frame(const a_om_rec& om) {
  const Rect box = Frame_Bounds(om);
  return Rect{Text_Clamp16(int64(box.top) - 10), Text_Clamp16(int64(box.left) - 10),
              Text_Clamp16(int64(box.bottom) + 20), Text_Clamp16(int64(box.right) + 10)};
}

float Longest_Line() {
  float longest = 0;
  for (uint32 l = 0; l < g_breaks.nlines; ++l)
    longest = std::max(longest, g_breaks.lines[l].endx - g_breaks.lines[l].startx);
  return longest;
}

void Overflow_Char(a_xyl_char& c) {
  c.mm_cat = CC_OVERFLOW;
  c.mm_x = c.mm_y = c.mm_t = 0;
}

void Store_Place(a_xyl_char& c, double x, double y, double tenths) {
  const double rx = std::round(x), ry = std::round(y);
  if (!(rx >= -32768 && rx <= 32767 && ry >= -32768 && ry <= 32767) || !std::isfinite(tenths)) {
    Overflow_Char(c);
    return;
  }
  c.mm_x = int16(rx);
  c.mm_y = int16(ry);
  int32 t = int32(std::lround(std::fmod(tenths, 3600.0)));
  if (t < 0) t += 3600;
  c.mm_t = int16(t % 3600);
}

int32 Frame_Room(const a_om_rec& om) { return std::min<int32>(om.cache.frame.max, MAX_OM_POINTS); }

void Frame_Clear(a_om_rec& om) {
  if (om.cache.frame.max == 0 || om.cache.frame.max > MAX_OM_POINTS) om.cache.frame.max = MAX_OM_POINTS;
  om.cache.frame.npoints = 0;
}

void Frame_Add(a_om_rec& om, double x, double y) {
  a_om_pointlist& f = om.cache.frame;
  if (f.npoints >= Frame_Room(om)) return;
  f.points[f.npoints++] = Point{Text_Clamp16(std::lround(std::clamp(y, -32767.0, 32766.0))),
                                Text_Clamp16(std::lround(std::clamp(x, -32767.0, 32766.0)))};
}

void Frame_Break(a_om_rec& om) {
  a_om_pointlist& f = om.cache.frame;
  if (f.npoints >= Frame_Room(om)) return;
  f.points[f.npoints++] = POINTLIST_BREAK;
}

Rect Frame_Bounds(const a_om_rec& om) {
  Rect r{32767, 32767, -32768, -32768};
  bool any = false;
  for (int32 i = 0; i < std::min<int32>(om.cache.frame.npoints, Frame_Room(om)); ++i) {
    const Point& pt = om.cache.frame.points[i];
    if (Is_Pointlist_Break(pt)) continue;
    any = true;
    r.top = std::min(r.top, pt.v);
    r.left = std::min(r.left, pt.h);
    r.bottom = std::max(r.bottom, pt.v);
    r.right = std::max(r.right, pt.h);
  }
  return any ? r : Rect{0, 0, 0, 0};
}

float Radius_To_Pixels(const Rect& canvas, float r) {
  const float side = float(std::min(canvas.right - canvas.left, canvas.bottom - canvas.top));
  return r * side / 200.0f;
}

int16 Pixels_To_Radius(const Rect& canvas, float pixels) {
  const float side = float(std::min(canvas.right - canvas.left, canvas.bottom - canvas.top));
  const a_slider_values& v = SLIDER_VALUES[TEXT_RADIUS_SLIDER];
  if (side <= 0) return v.defaultval;
  return int16(std::clamp<long>(std::lround(pixels * 200.0f / side), v.minval, v.maxval));
}

// --- The pass's steps ----------------------------------------------------------------

void Categorize_Chars(a_categorize_option option, a_om_rec& om) {
  const int32 eos = End_Entry(om);
  for (int32 i = 0; i < eos; ++i) {
    a_xyl_char& c = om.xyl[i];
    if (c.cc_char == ' ')
      c.mm_cat = CC_SPACE;
    else if (c.cc_char == HARDBREAK_CHAR)
      c.mm_cat = option == TREAT_CR_AS_SPACE ? CC_SPACE : CC_HARDBREAK;
    else
      c.mm_cat = CC_REGULAR;
  }
  om.xyl[eos].mm_cat = CC_EOS;
  om.noverflows = 0;
}

float Calc_Text_Size(int16 percent, const a_om_rec& om) {
  const float pixels = Points_To_PixelsR(om.size);
  if (percent == 0 || percent == 100) return pixels;
  return std::clamp(float(percent) * pixels / 100.0f, 2.0f, std::max(2.0f, Points_To_PixelsR(Layout_Size_Limit(om))));
}

void Calc_Net_Char(const a_om_rec& om, int32 i, a_fontspec& spec) {
  Null_FontSpec(spec);
  const a_xyl_char* c = i >= 0 && i < MAX_NXYL ? &om.xyl[i] : nullptr;
  spec.fontID = c != nullptr && c->cc_fontx != 0 ? c->cc_fontx : om.fontx;
  if (spec.fontID == 0) spec.fontID = 1;
  spec.size = std::max<int32>(1, int32(std::lround(Calc_Text_Size(c != nullptr ? c->cc_size : 100, om))));
  spec.angle = 0;
  const bool bold = om.boldf || (c != nullptr && c->cc_boldf);
  const bool ital = om.italf || (c != nullptr && c->cc_italf);
  spec.effects = a_text_effect_set((bold ? Effect_Bit(EFFECT_BOLD) : 0) | (ital ? Effect_Bit(EFFECT_ITALIC) : 0));
  spec.hscale = 1.0f + float(om.stretch_h) / 100.0f;
  spec.vscale = 1.0f + float(om.stretch_v) / 100.0f;
  spec.hskew = float(om.skew_h) / 100.0f;
  spec.vskew = float(om.skew_v) / 100.0f;
}

char32_t XYL_Code_Point(const a_om_rec& om, int32 i, int32& units) {
  units = 1;
  if (i < 0 || i >= MAX_NXYL) return 0;
  const UniChar c = om.xyl[i].cc_char;
  if (Is_High_Surrogate(c)) {
    const UniChar next = i + 1 < MAX_NXYL && i + 1 < om.nxyl ? om.xyl[i + 1].cc_char : 0;
    if (!Is_Low_Surrogate(next)) return 0xFFFD;
    units = 2;
    return 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(next) - 0xDC00);
  }
  if (Is_Low_Surrogate(c)) {
    // The second unit of a pair draws nothing; a lone one is a replacement.
    if (i > 0 && Is_High_Surrogate(om.xyl[i - 1].cc_char)) return 0;
    return 0xFFFD;
  }
  return c;
}

void OM_Recalc(a_om_rec* om, uint32 ux) {
  if (om == nullptr) return;
  Limit_OM(*om);
  Push_TextSize_Mapping_U(ux);
  a_layout_pass p{};
  p.om = om;
  p.ux = ux;
  p.canvas = Unit_Canvas(ux);
  p.eos = End_Entry(*om);
  const bool spiral = om->layout == LAYOUT_SPIRAL_CW || om->layout == LAYOUT_SPIRAL_CCW;
  Categorize_Chars(spiral ? TREAT_CR_AS_SPACE : CATEGORIZE_PLAIN, *om);
  p.pixsize = Calc_Text_Size(100, *om);
  Scan_Widths(p, om->layout == LAYOUT_VERT);
  Simple_Line_Breaks(p);
  p.linedist = float(om->vspacing) * p.pixsize / 100.0f;
  p.ascent = 0.75f * p.pixsize;
  p.descent = p.pixsize - p.ascent;
  switch (om->layout) {
    case LAYOUT_CIRC_CW:
    case LAYOUT_CIRC_CCW: Reformat_Circular(p); break;
    case LAYOUT_SPIRAL_CW:
    case LAYOUT_SPIRAL_CCW: Reformat_Spiral(p); break;
    case LAYOUT_CONTOUR: Reformat_Contour(p); break;
    case LAYOUT_VERT: Reformat_Vert(p); break;
    case LAYOUT_SPOKE: Reformat_Spoke(p); break;
    default: Reformat_Rect(p); break;
  }
  Grow_By_Effects(*om);
  om->cache.tot_along = Longest_Line();
  om->cache.progress = Progress_Bit(READY_COORD);
  Pop_TextSize_Mapping();
}

void OM_BringUpToDate(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr || item->kind != TEXT_BLOCK || item->om == nullptr) return;
  if ((item->om->cache.progress & Progress_Bit(READY_BITS)) != 0) return;
  Text_PostRender(omx);
  OM_Recalc(item->om, g_doc.upx);
  Text_PostRender(omx);
}

void Text_PostRender(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr || item->kind != TEXT_BLOCK) return;
  Obj_PostRender(omx);
  if (item->om == nullptr || g_doc.up == nullptr || EmptyRect(item->om->bbox)) return;
  Rect& dirty = g_doc.up->render_dirty;
  if (EmptyRect(dirty))
    dirty = item->om->bbox;
  else
    UnionRect(dirty, item->om->bbox, dirty);
}
