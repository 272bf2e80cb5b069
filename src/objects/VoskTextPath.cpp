// Text on paths: the spiral, spoke and contour paths and their cache,
// columns, finding a point along a path, placing a line's characters on it,
// overflow marks, and the frames of points paths and of the contour.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "objects/VoskTextI.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr float kStepLength = 10.0f;  // pixels between the steps of a points path
constexpr float kSpiralStopRadius = 30.0f;

// A points path in a block of its own, only as long as its steps. NIL when
// it cannot be had (reported).
a_points_path* New_Points_Path(const std::vector<a_points_path_step>& steps) {
  const size_t n = std::min<size_t>(steps.size(), MAX_PATH_STEPS);
  const size_t bytes = offsetof(a_points_path, steps) + std::max<size_t>(n, 1) * sizeof(a_points_path_step);
  Ptr block = New_Ptr(int32(bytes));
  if (block == nullptr) {
    g_err_mem_proc(int32(bytes));
    return nullptr;
  }
  a_points_path* path = reinterpret_cast<a_points_path*>(block);
  path->lastn = int32(n) - 1;
  if (n > 0) std::memcpy(path->steps, steps.data(), n * sizeof(a_points_path_step));
  return path;
}

// A step appended unless it repeats the last one's point.
void Add_Step(std::vector<a_points_path_step>& steps, const a_points_path_step& s) {
  if (!steps.empty() && std::fabs(steps.back().x - s.x) < 1e-3f && std::fabs(steps.back().y - s.y) < 1e-3f) return;
  steps.push_back(s);
}

void Add_Points_Path(a_path_cache& cache, const std::vector<a_points_path_step>& steps) {
  if (cache.npaths >= uint32(MAX_TEXT_PATHS)) return;
  a_points_path* path = New_Points_Path(steps);
  if (path != nullptr) cache.paths[cache.npaths++].points = path;
}

void Set_Overflow_At_End(a_path_cache& cache, float x, float y) {
  cache.overflowx = x;
  cache.overflowy = y;
  if (cache.npaths == 0 || cache.content != ARRAY_OF_POINTS) return;
  const a_points_path& last = *cache.paths[cache.npaths - 1].points;
  if (last.lastn >= 0) {
    cache.overflowx = last.steps[last.lastn].x;
    cache.overflowy = last.steps[last.lastn].y;
  }
}

void Calc_Spiral_Path(a_path_cache& cache, const a_spiral_spec& s) {
  cache.content = ARRAY_OF_POINTS;
  const double d = s.clockwise ? -1.0 : 1.0;
  double r = s.radius - (s.clockwise ? 0.75 : 0.25) * s.lspacing;
  const float hs = s.clockwise ? 0.9f : 1.0f;
  double theta = (double(s.polarangle) - 90.0 * d) * kDeg;
  std::vector<a_points_path_step> steps;
  steps.reserve(1024);
  while (steps.size() < size_t(MAX_PATH_STEPS) && r >= kSpiralStopRadius) {
    Add_Step(steps, a_points_path_step{float(s.originx + r * std::cos(theta)), float(s.originy - r * std::sin(theta)),
                                       float(theta / kDeg + 90.0 * d), hs});
    const double dtheta = kStepLength / r;
    r -= s.lspacing * dtheta / (2 * kPi);
    theta += d * dtheta;
  }
  Add_Points_Path(cache, steps);
  Set_Overflow_At_End(cache, s.originx, s.originy);
}

void Calc_Spoke_Path(a_path_cache& cache, const a_spoke_spec& s) {
  cache.content = ARRAY_OF_POINTS;
  const double span = double(s.outer) - s.inner;
  // The scale kept with each step: 1.0 at the inner end, w at the outer.
  const double w = 1.0 - 0.1 * s.twist / 25.0;
  const int32 nspokes = std::min<int32>(s.nspokes, MAX_TEXT_PATHS);
  std::vector<a_points_path_step> steps;
  for (int32 j = 1; j <= nspokes; ++j) {
    const double a0 = double(s.start) - (j - 1) * double(s.perspoke);
    steps.clear();
    double r = s.outer;
    for (int32 guard = 0; guard < MAX_PATH_STEPS; ++guard) {
      const double f = span > 0 ? (r - s.inner) / span : 0.0;
      const double a = (a0 - s.twist * f) * kDeg;
      Add_Step(steps, a_points_path_step{float(s.originx + r * std::cos(a)), float(s.originy - r * std::sin(a)),
                                         float(a0 - 2.0 * s.twist * f), float(1.0 + (w - 1.0) * f)});
      if (r <= s.inner) break;
      r = std::clamp(r - kStepLength, double(s.inner), double(s.outer));
    }
    std::reverse(steps.begin(), steps.end());
    Add_Points_Path(cache, steps);
  }
  Set_Overflow_At_End(cache, s.originx, s.originy);
}

// A horizontal line of the contour.
void Add_Chord(a_path_cache& cache, float x, float y, float length) {
  Add_Linear_Path(cache, a_linear_path{x, y, std::max(0.0f, length), 0, 0, 1, 0});
}

void Calc_Contour_Path(a_path_cache& cache, const a_contour_spec& s) {
  cache.content = ARRAY_OF_LINES;
  const double R = s.outer / 2.0 - s.outer * s.margin / 400.0;
  double u = std::max(double(s.starty) - s.centery, -R);
  const double asc = s.ascent, desc = s.descent;
  while (u <= R && u + asc + desc <= R && cache.npaths < uint32(MAX_TEXT_PATHS)) {
    const double h = std::sqrt(std::max(0.0, R * R - (u + asc) * (u + asc)));
    Add_Chord(cache, float(s.centerx - h), float(s.centery + u + asc), float(2 * h));
    if (!(s.lspacing > 0)) break;
    u += s.lspacing;
  }
  if (cache.npaths == 0) Add_Chord(cache, s.centerx - 10, float(s.centery + (R - 20) + asc), 20);
  cache.overflowx = s.centerx;
  cache.overflowy = float(s.centery + R + 20);
}

// The point at distance along a points path (its last step past its end).
void Points_At(const a_points_path& path, float distance, double& x, double& y, double& t) {
  const int32 lastn = std::min<int32>(path.lastn, MAX_PATH_STEPS - 1);
  double d = std::max(0.0f, distance);
  int32 k = int32(d / kStepLength);
  double f = d - double(k) * kStepLength;
  if (k >= lastn) {
    k = lastn;
    f = 0;
  }
  const a_points_path_step& a = path.steps[k];
  if (f == 0) {
    x = a.x;
    y = a.y;
    t = a.t;
    return;
  }
  const a_points_path_step& b = path.steps[k + 1];
  const double g = f / kStepLength;
  x = (1 - g) * a.x + g * b.x;
  y = (1 - g) * a.y + g * b.y;
  t = (1 - g) * a.t + g * b.t;
}

// The unit "up" of a character standing at angle tenths (counter-clockwise).
void Up_Of(double tenths, double& ux, double& uy) {
  const double a = tenths / 10.0 * kDeg;
  ux = -std::sin(a);
  uy = -std::cos(a);
}

// One outline of a points path: along it offset by ascent to its upper
// side, back offset by descent to the other side, at most room points.
void Points_Seg_To_Frame(a_om_rec& om, const a_points_path& path, float ascent, float descent, int32 room) {
  const int32 m = std::min<int32>(path.lastn, MAX_PATH_STEPS - 1) + 1;
  if (m < 2 || room < 6) return;
  const int32 per_side = (room - 2) / 2;
  const int32 stride = std::max<int32>(1, (m + per_side - 2) / std::max<int32>(1, per_side - 1));
  std::vector<int32> idx;
  for (int32 k = 0; k < m - 1; k += stride) idx.push_back(k);
  idx.push_back(m - 1);
  // Step_To_Deltas: the normal at each kept step (the last one's from the
  // step before it); a step of no length keeps the normal before it.
  std::vector<double> nx(idx.size()), ny(idx.size());
  double px = 0, py = -1;
  for (size_t q = 0; q < idx.size(); ++q) {
    const int32 k = idx[q];
    const a_points_path_step& a = path.steps[k < m - 1 ? k : k - 1];
    const a_points_path_step& b = path.steps[k < m - 1 ? k + 1 : k];
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, len = std::hypot(dx, dy);
    if (len > 1e-6) {
      px = dy / len;
      py = -dx / len;
    }
    nx[q] = px;
    ny[q] = py;
  }
  for (size_t q = 0; q < idx.size(); ++q) {
    const a_points_path_step& s = path.steps[idx[q]];
    Frame_Add(om, s.x + nx[q] * ascent, s.y + ny[q] * ascent);
  }
  for (size_t q = idx.size(); q-- > 0;) {
    const a_points_path_step& s = path.steps[idx[q]];
    Frame_Add(om, s.x - nx[q] * descent, s.y - ny[q] * descent);
  }
  const a_points_path_step& s0 = path.steps[idx[0]];
  Frame_Add(om, s0.x + nx[0] * ascent, s0.y + ny[0] * ascent);
  Frame_Break(om);
}

const a_line_break* Line_Of(uint32 l) { return l < g_breaks.nlines ? &g_breaks.lines[l] : nullptr; }

void Place_Lines_On_Path(a_layout_pass& p, a_horz_just just, a_apply_attr attr) {
  for (uint32 l = 0; l < g_breaks.nlines; ++l) {
    const a_line_break* line = Line_Of(l);
    Apply_To_Path(just, line->last, line->first, *p.om, p.ux, l, attr);
  }
}

}  // namespace

// --- The cache ---------------------------------------------------------------------

bool8 Is_Equal_Path_Spec(const a_generic_path_spec& a, const a_generic_path_spec& b) {
  if (a.shape != b.shape) return false;
  switch (a.shape) {
    case SPOKE_PATH: {
      const a_spoke_spec &x = a.spoke, &y = b.spoke;
      return x.nspokes == y.nspokes && x.perspoke == y.perspoke && x.start == y.start && x.originx == y.originx &&
             x.originy == y.originy && x.inner == y.inner && x.outer == y.outer && x.twist == y.twist;
    }
    case SPIRAL_PATH: {
      const a_spiral_spec &x = a.spiral, &y = b.spiral;
      return x.originx == y.originx && x.originy == y.originy && x.radius == y.radius &&
             x.polarangle == y.polarangle && x.lspacing == y.lspacing && x.clockwise == y.clockwise;
    }
    case CONTOUR_PATH: {
      const a_contour_spec &x = a.contour, &y = b.contour;
      return x.centerx == y.centerx && x.centery == y.centery && x.starty == y.starty && x.margin == y.margin &&
             x.outer == y.outer && x.lspacing == y.lspacing && x.ascent == y.ascent && x.descent == y.descent &&
             x.justify == y.justify;
    }
    default: return false;
  }
}

void Gen_Path(a_om_rec& om, const a_generic_path_spec& spec) {
  a_path_cache& cache = om.cache.path;
  if (cache.npaths > 0 && Is_Equal_Path_Spec(cache.spec, spec)) return;
  Flush_Path_Cache(cache);
  cache.spec = spec;
  switch (spec.shape) {
    case SPOKE_PATH: Calc_Spoke_Path(cache, spec.spoke); break;
    case SPIRAL_PATH: Calc_Spiral_Path(cache, spec.spiral); break;
    case CONTOUR_PATH: Calc_Contour_Path(cache, spec.contour); break;
    default: QUIT();
  }
}

float Path_Max_Along(uint32 line, const a_path_cache& path) {
  if (line >= path.npaths || line >= uint32(MAX_TEXT_PATHS)) return 0;
  if (path.content == ARRAY_OF_LINES) return std::max(0.0f, path.paths[line].line->avail);
  return kStepLength * float(std::max<int32>(0, std::min<int32>(path.paths[line].points->lastn, MAX_PATH_STEPS - 1)));
}

void Find_On_Path(int16& angle, float& y, float& x, float distance, uint32 line, const a_path_cache& path) {
  angle = 0;
  x = path.overflowx;
  y = path.overflowy;
  if (line >= path.npaths || line >= uint32(MAX_TEXT_PATHS)) return;
  if (path.content == ARRAY_OF_LINES) {
    const a_linear_path& lp = *path.paths[line].line;
    const float d = std::clamp(distance, 0.0f, std::max(0.0f, lp.avail));
    x = std::round(lp.endpointx + lp.base_cos * d);
    y = std::round(lp.endpointy + lp.base_sin * d);
    angle = int16(std::lround(-10.0 * lp.charangle));
    return;
  }
  const a_points_path& pp = *path.paths[line].points;
  if (pp.lastn < 0) return;
  double px, py, t;
  Points_At(pp, distance, px, py, t);
  x = float(std::round(px));
  y = float(std::round(py));
  t = std::fmod(t, 360.0);
  if (t < 0) t += 360.0;
  angle = int16(std::lround(t * 10.0) % 3600);
}

void Post_Overflow(Point pos, int32 id, a_om_rec& om) {
  if (om.noverflows >= uint32(MAX_OVERFLOWS)) return;
  if (om.noverflows > 0 && om.overflows[om.noverflows - 1].id == id) return;
  om.overflows[om.noverflows++] = a_overflow_rec{id, pos};
}

void Apply_To_Path(a_horz_just just, int32 last, int32 first, a_om_rec& om, uint32 ux, uint32 line,
                   a_apply_attr attr) {
  const a_path_cache& path = om.cache.path;
  first = std::max<int32>(first, 0);
  last = std::min<int32>(last, MAX_NXYL - 1);
  if (first > last) return;
  auto point_at = [&](uint32 l, float d) {
    int16 a;
    float x, y;
    Find_On_Path(a, y, x, d, l, path);
    return Point{Text_Clamp16(std::lround(y)), Text_Clamp16(std::lround(x))};
  };
  if (line >= path.npaths) {
    const Point end = path.npaths > 0 ? point_at(path.npaths - 1, Path_Max_Along(path.npaths - 1, path))
                                      : Point{Text_Clamp16(std::lround(path.overflowy)),
                                              Text_Clamp16(std::lround(path.overflowx))};
    Post_Overflow(end, 10000 + int32(ux), om);
    for (int32 i = first; i <= last; ++i)
      if (Is_Laid_Cat(om.xyl[i].mm_cat)) Overflow_Char(om.xyl[i]);
    return;
  }
  const float avail = Path_Max_Along(line, path);
  const Point overflow = point_at(line, just == JUST_RIGHT ? 0.0f : avail);
  const float width = g_ow[last].runend - g_ow[first].start;
  float offset = 0;
  if (just == JUST_CENTER) offset = (avail - width) / 2;
  if (just == JUST_RIGHT) offset = avail - width;
  for (int32 i = first; i <= last; ++i) {
    a_xyl_char& c = om.xyl[i];
    if (!Is_Laid_Cat(c.mm_cat)) continue;
    const a_char_widths& w = g_ow[i];
    const float distance = offset + (w.start - g_ow[first].start);
    c.mm_ud = int32(std::lround(std::clamp(distance, -2e9f, 2e9f)));
    if (distance < 0 || distance + w.advance > avail + 0.5f) {
      Overflow_Char(c);
      Post_Overflow(overflow, int32(ux), om);
      continue;
    }
    int16 angle, unused;
    float fx, fy, ax, ay;
    Find_On_Path(unused, fy, fx, std::round(distance), line, path);
    Find_On_Path(angle, ay, ax, std::trunc(distance), line, path);
    double x = fx, y = fy, t = angle;
    if (attr == APPLY_VERT) x -= w.own / 2;
    double upx, upy;
    Up_Of(t, upx, upy);
    if (c.cc_nudgey != 0) {  // Override_Y
      x += upx * c.cc_nudgey;
      y += upy * c.cc_nudgey;
    }
    if (c.cc_nudget != 0) {  // Override_Rotation: about the glyph's middle
      const double ta = t / 10.0 * kDeg;
      const double cx = x + std::cos(ta) * w.advance / 2 + upx * w.height / 4;
      const double cy = y - std::sin(ta) * w.advance / 2 + upy * w.height / 4;
      const double phi = c.cc_nudget / 10.0 * kDeg, vx = x - cx, vy = y - cy;
      x = cx + vx * std::cos(phi) + vy * std::sin(phi);
      y = cy - vx * std::sin(phi) + vy * std::cos(phi);
      t += c.cc_nudget;
    }
    Store_Place(c, x, y, t);
  }
}

// --- Frames -------------------------------------------------------------------------

void Path_To_Frame(a_om_rec& om, float ascent, float descent) {
  Frame_Clear(om);
  const a_path_cache& cache = om.cache.path;
  if (cache.content != ARRAY_OF_POINTS) return;
  const uint32 n = std::min<uint32>(cache.npaths, MAX_TEXT_PATHS);
  for (uint32 l = 0; l < n; ++l) {
    const int32 room = (Frame_Room(om) - om.cache.frame.npoints) / int32(n - l);
    Points_Seg_To_Frame(om, *cache.paths[l].points, ascent, descent, room);
  }
}

void Calc_Frame_Contour(a_om_rec& om, Point centre, float radius, int32 cut_v, bool8 quick) {
  Frame_Clear(om);
  const double R = double(radius) + 4;
  if (!(R > 0)) return;
  const double k = (double(centre.v) - (double(cut_v) - 4)) / R;
  if (k <= -1) return;
  double from = 0, to = 2 * kPi;
  if (k < 1) {
    from = kPi - std::asin(k);
    to = 2 * kPi + std::asin(k);
  }
  const double step = (quick ? 5 : 2) * kDeg;
  const int32 n = int32(std::ceil((to - from) / step));
  for (int32 i = 0; i <= n; ++i) {
    const double a = std::min(from + i * step, to);
    Frame_Add(om, centre.h + R * std::cos(a), centre.v - R * std::sin(a));
  }
  Frame_Add(om, centre.h + R * std::cos(from), centre.v - R * std::sin(from));
}

// --- The layouts on paths -------------------------------------------------------------

namespace {
// The lines on the paths the settings give, outlined by their frames; the box is the unit.
void Lay_On_Points_Paths(a_layout_pass& p, const a_generic_path_spec& spec) {
  Gen_Path(*p.om, spec);
  Place_Lines_On_Path(p, JUST_LEFT, APPLY_PLAIN);
  Path_To_Frame(*p.om, p.ascent, p.descent);
  p.om->bbox = p.canvas;
}
}  // namespace

void Reformat_Spiral(a_layout_pass& p) {
  a_om_rec& om = *p.om;
  a_generic_path_spec spec;
  std::memset(static_cast<void*>(&spec), 0, sizeof spec);
  spec.shape = SPIRAL_PATH;
  spec.spiral = a_spiral_spec{float(om.rotcenter.h), float(om.rotcenter.v), Radius_To_Pixels(p.canvas, om.radius),
                              float(om.polarangle), p.linedist, om.layout == LAYOUT_SPIRAL_CW};
  Lay_On_Points_Paths(p, spec);
}

void Reformat_Spoke(a_layout_pass& p) {
  a_om_rec& om = *p.om;
  const int32 lines = int32(g_breaks.nlines);
  a_generic_path_spec spec;
  std::memset(static_cast<void*>(&spec), 0, sizeof spec);
  spec.shape = SPOKE_PATH;
  const float outer = Radius_To_Pixels(p.canvas, om.spoke_outerd);
  spec.spoke = a_spoke_spec{lines,
                            lines >= 2 ? float(om.spoke_totangle) / float(lines) : 180.0f,
                            float(om.spoke_twist + om.polarangle),
                            float(om.rotcenter.h),
                            float(om.rotcenter.v),
                            float(100 - om.spoke_thickness) * outer / 100.0f,
                            outer,
                            float(om.spoke_twist)};
  Lay_On_Points_Paths(p, spec);
}

void Reformat_Contour(a_layout_pass& p) {
  a_om_rec& om = *p.om;
  const float cx = float(p.canvas.left + p.canvas.right) / 2, cy = float(p.canvas.top + p.canvas.bottom) / 2;
  const float radius = Radius_To_Pixels(p.canvas, 100);
  const int16 starty = Validate_Contour_Anchor(om.anchor.v, int32(radius), int32(std::lround(cy)));
  a_generic_path_spec spec;
  std::memset(static_cast<void*>(&spec), 0, sizeof spec);
  spec.shape = CONTOUR_PATH;
  spec.contour = a_contour_spec{cx, cy, float(starty), float(om.contour_margin), 2 * radius, p.linedist,
                                p.ascent, p.descent, om.justify};
  Gen_Path(om, spec);
  Place_Lines_On_Path(p, om.justify, APPLY_PLAIN);
  Calc_Frame_Contour(om, om.rotcenter, radius, starty, false);
  om.bbox = p.canvas;
}

void Reformat_Vert(a_layout_pass& p) {
  a_om_rec& om = *p.om;
  a_path_cache& path = om.cache.path;
  Start_Linear_Paths(path);
  const float longest = Longest_Line();
  const uint32 ncols = std::max<uint32>(g_breaks.nlines, 1);
  const float firstx = float(om.anchor.h) + float(ncols) * p.linedist / 2;
  const float top = float(om.anchor.v) - longest / 2;
  for (uint32 l = 0; l < g_breaks.nlines; ++l)
    if (Add_Linear_Path(path, a_linear_path{firstx - float(l) * p.linedist, top, longest, 90, 1, 0, 0}) == nullptr) break;
  const float lastx = firstx - float(ncols - 1) * p.linedist;
  path.overflowx = lastx;
  path.overflowy = top + longest;
  Place_Lines_On_Path(p, om.justify, APPLY_VERT);
  Frame_Clear(om);
  const float half = p.linedist / 2;
  Frame_Add(om, lastx - half, top - p.ascent);
  Frame_Add(om, firstx + half, top - p.ascent);
  Frame_Add(om, firstx + half, top + longest + p.descent);
  Frame_Add(om, lastx - half, top + longest + p.descent);
  Frame_Add(om, lastx - half, top - p.ascent);
  om.bbox = Box_Of_Frame(om);
}
