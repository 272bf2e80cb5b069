// Text output and measuring on the software GDI. See HostText.h.
//
// The text is laid out on a baseline turned by the font's escapement: u runs
// along the baseline, v across it (down for upright text). A point (u, v)
// from the baseline origin lands at (u cos a + v sin a, -u sin a + v cos a)
// on the surface, y pointing down.
#include "host/HostText.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "host/HostGdiCore.h"
#include "host/HostUtf.h"

using namespace hostgdi;

namespace {

bool Is_DC(HDC dc) { return As_DC(dc) != nullptr; }

// --- Decoding -------------------------------------------------------------------------

// One entry per character; a lone surrogate stays a unit of its own (it has
// no glyph).
void Decode_U16(const UniChar* s, int32 n, std::vector<char32_t>& out) {
  out.clear();
  out.reserve(size_t(n));
  const std::u16string_view v(s, size_t(n));
  for (size_t i = 0; i < v.size();) out.push_back(Host_Utf16_Next(v, i));
}

void Decode_U8(const char* s, int32 n, std::vector<char32_t>& out) {
  out.clear();
  out.reserve(size_t(n));
  const std::string_view v(s, size_t(n));
  for (size_t i = 0; i < v.size();) {
    const HostUtf8Step st = Host_Utf8_Next(v, i);
    out.push_back(st.cp);
    i = st.next;
  }
}

// --- Layout ------------------------------------------------------------------------------

struct Run {
  std::vector<uint32> glyphs;
  std::vector<int32> adv;
  int64 total = 0;
};

void Shape(HFONT f, const std::vector<char32_t>& cps, bool glyph_indices, const int32* dx, Run& run) {
  run.glyphs.resize(cps.size());
  run.adv.resize(cps.size());
  run.total = 0;
  for (size_t i = 0; i < cps.size(); ++i) {
    const uint32 g = glyph_indices ? uint32(cps[i]) : Host_Font_Glyph_Index(f, cps[i]);
    run.glyphs[i] = g;
    run.adv[i] = dx ? dx[i] : Host_Font_Advance(f, g);
    run.total += run.adv[i];
  }
}

int64 Round64(double v) { return int64(std::floor(v + 0.5)); }

struct Frame {
  double cs = 1, sn = 0;  // direction of the baseline: (cs, -sn) on the surface
};

Frame Frame_Of(HFONT f) {
  const int32 e = Host_Font_Escapement(f);
  Frame fr;
  switch (e) {
    case 0: break;
    case 900: fr.cs = 0, fr.sn = 1; break;
    case 1800: fr.cs = -1, fr.sn = 0; break;
    case 2700: fr.cs = 0, fr.sn = -1; break;
    default: {
      const double a = e * M_PI / 1800.0;
      fr.cs = std::cos(a);
      fr.sn = std::sin(a);
      break;
    }
  }
  return fr;
}

// The writable area: the DC's surface and clip, and optionally a rectangle
// (device coordinates) text must stay inside.
struct Target {
  ClipView cv;
  bool has_box = false;
  int64 bx0 = 0, by0 = 0, bx1 = 0, by1 = 0;
  explicit Target(const HostDC* dc) : cv(dc) {}
  template <class F>
  void Row(int64 y, int64 x0, int64 x1, F&& fn) const {
    if (has_box) {
      if (y < by0 || y >= by1) return;
      x0 = std::max(x0, bx0);
      x1 = std::min(x1, bx1);
    }
    cv.For_Each(y, x0, x1, fn);
  }
};

// Fills the convex polygon (device coordinates, pixel centres sampled).
void Fill_Quad(const Target& t, const double (&px)[4], const double (&py)[4], uint32 raw) {
  if (!t.cv.surf) return;
  HostSurface& s = *t.cv.surf;
  const double miny = std::min({py[0], py[1], py[2], py[3]});
  const double maxy = std::max({py[0], py[1], py[2], py[3]});
  const int64 y0 = std::max<int64>(0, int64(std::ceil(miny - 0.5)));
  const int64 y1 = std::min<int64>(s.height, int64(std::ceil(maxy - 0.5)));
  for (int64 y = y0; y < y1; ++y) {
    const double yc = double(y) + 0.5;
    double xl = 1e300, xr = -1e300;
    for (int k = 0; k < 4; ++k) {
      const int j = (k + 1) & 3;
      const double ya = py[k], yb = py[j];
      if ((yc < std::min(ya, yb)) || (yc > std::max(ya, yb)) || ya == yb) continue;
      const double x = px[k] + (yc - ya) * (px[j] - px[k]) / (yb - ya);
      xl = std::min(xl, x);
      xr = std::max(xr, x);
    }
    if (xl > xr) continue;
    const int64 a = int64(std::ceil(xl - 0.5)), b = int64(std::ceil(xr - 0.5));
    t.Row(y, a, b, [&](int32 ra, int32 rb) { Fill_Raw(s, Row_Ptr(s, int32(y)), ra, rb, raw); });
  }
}

void Blit_Glyph(const Target& t, const HostGlyphBitmap& g, int64 gx, int64 gy, uint32 raw,
                COLORREF rgb, bool mono) {
  if (!t.cv.surf || !g.cov) return;
  HostSurface& s = *t.cv.surf;
  const uint8 tr = GetRValue(rgb), tg = GetGValue(rgb), tb = GetBValue(rgb);
  for (int32 r = 0; r < g.rows; ++r) {
    const int64 y = gy + r;
    if (y < 0 || y >= s.height) continue;
    const uint8* cov = g.cov + size_t(r) * size_t(g.width);
    uint8* row = Row_Ptr(s, int32(y));
    t.Row(y, gx, gx + g.width, [&](int32 a, int32 b) {
      for (int32 x = a; x < b; ++x) {
        const uint32 c = cov[x - gx];
        if (c == 0) continue;
        if (mono || c == 255) {
          Put_Raw(s, row, x, raw);
          continue;
        }
        if (s.depth == 32) {
          uint8* p = row + 4 * int64(x);
          p[0] = uint8(p[0] + ((int32(tb) - p[0]) * int32(c) + (tb >= p[0] ? 127 : -127)) / 255);
          p[1] = uint8(p[1] + ((int32(tg) - p[1]) * int32(c) + (tg >= p[1] ? 127 : -127)) / 255);
          p[2] = uint8(p[2] + ((int32(tr) - p[2]) * int32(c) + (tr >= p[2] ? 127 : -127)) / 255);
          p[3] = 0;
        } else {
          const COLORREF d = Raw_To_Rgb(s, Get_Raw(s, row, x));
          auto mix = [c](uint8 dv, uint8 tv) {
            return uint8(dv + ((int32(tv) - dv) * int32(c) + (tv >= dv ? 127 : -127)) / 255);
          };
          Put_Raw(s, row, x,
                  Rgb_To_Raw(s, mix(GetRValue(d), tr), mix(GetGValue(d), tg), mix(GetBValue(d), tb)));
        }
      }
    });
  }
}

// Draws a laid-out run with the reference point (x, y) in logical
// coordinates (or the current position) and the DC's alignment.
bool Draw_Run(HostDC* dc, HFONT f, int32 x, int32 y, uint32 options, const RECT* rect, const Run& run) {
  HostDCState& st = dc->st;
  const bool update_cp = (st.text_align & TA_UPDATECP) != 0;
  const int64 rx = update_cp ? st.cur_pos.x : x, ry = update_cp ? st.cur_pos.y : y;
  const double dxo = double(Dev_X(dc, rx)), dyo = double(Dev_Y(dc, ry));
  const Frame fr = Frame_Of(f);
  HostTextMetric tm;
  Host_Font_Metrics(f, &tm);

  const uint32 halign = st.text_align & TA_CENTER;
  const uint32 valign = st.text_align & TA_BASELINE;
  double u0 = 0;
  if (halign == TA_CENTER) u0 = -double(run.total / 2);
  else if (halign == TA_RIGHT) u0 = -double(run.total);
  double v0 = 0;
  if (valign == TA_TOP) v0 = tm.tmAscent;
  else if (valign == TA_BOTTOM) v0 = -tm.tmDescent;
  // Baseline origin of the first glyph on the surface.
  const double ox = dxo + u0 * fr.cs + v0 * fr.sn;
  const double oy = dyo - u0 * fr.sn + v0 * fr.cs;

  Target t(dc);
  if (rect) {
    const RECT r = Dev_Rect(dc, rect->left, rect->top, rect->right, rect->bottom);
    if ((options & ETO_OPAQUE) && t.cv.surf) {
      const uint32 bk = Color_To_Raw(dc, *t.cv.surf, st.bk_color);
      const double qx[4] = {double(r.left), double(r.right), double(r.right), double(r.left)};
      const double qy[4] = {double(r.top), double(r.top), double(r.bottom), double(r.bottom)};
      Fill_Quad(t, qx, qy, bk);
    }
    if (options & ETO_CLIPPED) {
      t.has_box = true;
      t.bx0 = r.left, t.by0 = r.top, t.bx1 = r.right, t.by1 = r.bottom;
    }
  }
  if (t.cv.surf) {
    HostSurface& s = *t.cv.surf;
    if (st.bk_mode == OPAQUE && !(options & ETO_OPAQUE) && run.total > 0) {
      // The cell: ascent above the baseline to descent below it.
      const double us[4] = {0, double(run.total), double(run.total), 0};
      const double vs[4] = {-double(tm.tmAscent), -double(tm.tmAscent), double(tm.tmDescent),
                            double(tm.tmDescent)};
      double qx[4], qy[4];
      for (int k = 0; k < 4; ++k) {
        qx[k] = ox + us[k] * fr.cs + vs[k] * fr.sn;
        qy[k] = oy - us[k] * fr.sn + vs[k] * fr.cs;
      }
      Fill_Quad(t, qx, qy, Color_To_Raw(dc, s, st.bk_color));
    }
    const bool mono = s.depth <= 8;
    const uint32 raw = Color_To_Raw(dc, s, st.text_color);
    const COLORREF rgb = Raw_To_Rgb(s, raw);
    int64 pen = 0;
    HostGlyphBitmap g;
    for (size_t i = 0; i < run.glyphs.size(); ++i) {
      const int64 px = Round64(ox + double(pen) * fr.cs), py = Round64(oy - double(pen) * fr.sn);
      if (Host_Font_Glyph(f, run.glyphs[i], mono, &g) && g.cov)
        Blit_Glyph(t, g, px + g.left, py - g.top, raw, rgb, mono);
      pen += run.adv[i];
    }
  }
  if (update_cp) {
    int64 step = 0;
    if (halign == TA_LEFT) step = run.total;
    else if (halign == TA_RIGHT) step = -run.total;
    st.cur_pos.x = Clamp32(st.cur_pos.x + Round64(double(step) * fr.cs));
    st.cur_pos.y = Clamp32(st.cur_pos.y - Round64(double(step) * fr.sn));
  }
  return true;
}

bool Text_Out(HDC dc, int32 x, int32 y, uint32 options, const RECT* rect,
              const std::vector<char32_t>& cps, bool glyph_indices, const int32* dx) {
  HostDC* d = As_DC(dc);
  HFONT f = Host_DC_Font(dc);
  if (!d || !f) return false;
  Run run;
  Shape(f, cps, glyph_indices, dx, run);
  return Draw_Run(d, f, x, y, options, rect, run);
}

}  // namespace

HGDIOBJ Host_Select_Font(HDC dc, HFONT font) { return SelectObject(dc, font); }

bool TextOutW(HDC dc, int32 x, int32 y, const UniChar* str, int32 count) {
  return ExtTextOutW(dc, x, y, 0, nullptr, str, count, nullptr);
}

bool TextOutA(HDC dc, int32 x, int32 y, const char* str, int32 count) {
  if (!Is_DC(dc) || count < 0 || (count > 0 && !str)) return false;
  std::vector<char32_t> cps;
  Decode_U8(str, count, cps);
  return Text_Out(dc, x, y, 0, nullptr, cps, false, nullptr);
}

bool ExtTextOutW(HDC dc, int32 x, int32 y, uint32 options, const RECT* rect, const UniChar* str,
                 int32 count, const int32* dx) {
  if (!Is_DC(dc) || count < 0 || (count > 0 && !str)) return false;
  std::vector<char32_t> cps;
  const bool gi = (options & ETO_GLYPH_INDEX) != 0;
  if (gi || dx) {
    // One entry per unit: the advances line up with the units given.
    cps.assign(str, str + count);
  } else {
    Decode_U16(str, count, cps);
  }
  return Text_Out(dc, x, y, options, rect, cps, gi, dx);
}

bool GetTextExtentPoint32W(HDC dc, const UniChar* str, int32 count, SIZE* out) {
  if (!out || !Is_DC(dc) || count < 0 || (count > 0 && !str)) return false;
  HFONT f = Host_DC_Font(dc);
  HostTextMetric tm;
  Host_Font_Metrics(f, &tm);
  int64 w = 0;
  const std::u16string_view v(str, size_t(count));
  for (size_t i = 0; i < v.size();) w += Host_Font_Advance(f, Host_Font_Glyph_Index(f, Host_Utf16_Next(v, i)));
  out->cx = Clamp32(w);
  out->cy = tm.tmHeight;
  return true;
}

bool GetTextExtentPoint32A(HDC dc, const char* str, int32 count, SIZE* out) {
  if (!out || !Is_DC(dc) || count < 0 || (count > 0 && !str)) return false;
  HFONT f = Host_DC_Font(dc);
  HostTextMetric tm;
  Host_Font_Metrics(f, &tm);
  int64 w = 0;
  if (count > 0) {
    std::vector<char32_t> cps;
    Decode_U8(str, count, cps);
    for (char32_t c : cps) w += Host_Font_Advance(f, Host_Font_Glyph_Index(f, c));
  }
  out->cx = Clamp32(w);
  out->cy = tm.tmHeight;
  return true;
}

bool GetTextMetricsW(HDC dc, HostTextMetric* out) {
  if (!out || !Is_DC(dc)) return false;
  HFONT f = Host_DC_Font(dc);
  if (!f) return false;
  Host_Font_Metrics(f, out);
  return true;
}

int32 GetGlyphIndicesW(HDC dc, const UniChar* str, int32 count, uint16* out, uint32 flags) {
  if (!Is_DC(dc) || count < 0 || (count > 0 && (!str || !out))) return -1;
  HFONT f = Host_DC_Font(dc);
  const uint16 missing = (flags & GGI_MARK_NONEXISTING_GLYPHS) ? 0xFFFF : 0;
  for (int32 i = 0; i < count; ++i) {
    const char32_t c = str[i];
    uint32 g = Host_Is_Surrogate(c) ? 0 : Host_Font_Glyph_Index(f, c);
    out[i] = g == 0 ? missing : uint16(std::min<uint32>(g, 0xFFFE));
  }
  return count;
}

// --- DrawText -----------------------------------------------------------------------------

int32 DrawTextW(HDC dc, const UniChar* str, int32 count, RECT* rect, uint32 format) {
  if (!Is_DC(dc) || !rect || (count != 0 && !str)) return 0;
  if (count < 0) {
    count = 0;
    while (count < (1 << 24) && str[count]) ++count;
  }
  HFONT f = Host_DC_Font(dc);
  if (!f) return 0;
  HostTextMetric tm;
  Host_Font_Metrics(f, &tm);
  const int32 lh = std::max(1, tm.tmHeight);

  // Characters after prefix processing ("&&" is "&", a lone "&" vanishes).
  std::vector<char32_t> cps;
  Decode_U16(str, count, cps);
  if (!(format & DT_NOPREFIX)) {
    std::vector<char32_t> p;
    for (size_t i = 0; i < cps.size(); ++i) {
      if (cps[i] == U'&') {
        if (i + 1 < cps.size() && cps[i + 1] == U'&') {
          p.push_back(U'&');
          ++i;
        }
        continue;
      }
      p.push_back(cps[i]);
    }
    cps.swap(p);
  }
  const bool single = (format & DT_SINGLELINE) != 0;
  if (single)
    for (char32_t& c : cps)
      if (c == U'\r' || c == U'\n') c = U' ';
  std::vector<uint32> gl(cps.size());
  std::vector<int32> adv(cps.size());
  for (size_t i = 0; i < cps.size(); ++i) {
    const bool brk = cps[i] == U'\r' || cps[i] == U'\n';
    gl[i] = brk ? 0 : Host_Font_Glyph_Index(f, cps[i]);
    adv[i] = brk ? 0 : Host_Font_Advance(f, gl[i]);
  }

  // Lines as [begin, end) of characters.
  struct Line {
    size_t b, e;
    int64 w;
  };
  std::vector<Line> lines;
  const int64 box_w = int64(rect->right) - rect->left;
  const bool wrap = (format & DT_WORDBREAK) != 0 && !single;
  size_t i = 0;
  const size_t n = cps.size();
  while (i <= n) {
    size_t b = i, last_space = SIZE_MAX;
    int64 w = 0;
    size_t e = b;
    bool hard = false;
    while (e < n) {
      const char32_t c = cps[e];
      if (c == U'\r' || c == U'\n') {
        hard = true;
        break;
      }
      if (wrap && w + adv[e] > box_w && c != U' ') {
        if (last_space != SIZE_MAX) {
          e = last_space;
        } else if (e == b) {
          ++e;  // not even one character fits: it gets a line of its own
        }
        break;
      }
      if (c == U' ') last_space = e;
      w += adv[e];
      ++e;
    }
    // Trailing spaces of a wrapped line take no room.
    size_t le = e;
    while (le > b && cps[le - 1] == U' ' && (e < n && !hard)) --le;
    int64 lw = 0;
    for (size_t k = b; k < le; ++k) lw += adv[k];
    lines.push_back(Line{b, le, lw});
    if (e >= n) break;
    if (hard) {
      // CR LF counts as one break.
      if (cps[e] == U'\r' && e + 1 < n && cps[e + 1] == U'\n') ++e;
      i = e + 1;
      if (i == n) {
        lines.push_back(Line{n, n, 0});
        break;
      }
    } else {
      i = e;
      while (i < n && cps[i] == U' ') ++i;  // the spaces at a wrap vanish
      if (i >= n) break;
    }
  }
  const int32 height = int32(std::min<int64>(int64(lines.size()) * lh, 1 << 30));
  if (format & DT_CALCRECT) {
    int64 maxw = 0;
    for (const Line& l : lines) maxw = std::max(maxw, l.w);
    if (!wrap) rect->right = Clamp32(int64(rect->left) + maxw);
    rect->bottom = Clamp32(int64(rect->top) + height);
    return height;
  }
  int64 top = rect->top;
  if (single && (format & DT_VCENTER)) top = rect->top + ((int64(rect->bottom) - rect->top) - lh) / 2;
  else if (single && (format & DT_BOTTOM)) top = int64(rect->bottom) - lh;

  HostDC* d = As_DC(dc);
  HostDCState& st = d->st;
  const uint32 old_align = st.text_align;
  st.text_align = TA_LEFT | TA_TOP | TA_NOUPDATECP;
  const RECT* clip = (format & DT_NOCLIP) ? nullptr : rect;
  for (size_t k = 0; k < lines.size(); ++k) {
    const Line& l = lines[k];
    if (l.e <= l.b) continue;
    int64 x = rect->left;
    if (format & DT_CENTER) x = rect->left + (box_w - l.w) / 2;
    else if (format & DT_RIGHT) x = int64(rect->right) - l.w;
    Run run;
    run.glyphs.assign(gl.begin() + ptrdiff_t(l.b), gl.begin() + ptrdiff_t(l.e));
    run.adv.assign(adv.begin() + ptrdiff_t(l.b), adv.begin() + ptrdiff_t(l.e));
    run.total = l.w;
    Draw_Run(d, f, Clamp32(x), Clamp32(top + int64(k) * lh), clip ? ETO_CLIPPED : 0, clip, run);
  }
  st.text_align = old_align;
  return height;
}

int32 DrawTextA(HDC dc, const char* str, int32 count, RECT* rect, uint32 format) {
  if (!Is_DC(dc) || !rect || (count != 0 && !str)) return 0;
  if (count < 0) {
    count = 0;
    while (count < (1 << 24) && str[count]) ++count;
  }
  const std::u16string u = Host_Utf8_To_Utf16(std::string_view(str, size_t(count)));
  return DrawTextW(dc, reinterpret_cast<const UniChar*>(u.data()), int32(u.size()), rect, format);
}
