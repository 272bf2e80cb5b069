#include "doc/VoskTmpl.h"

#include <cmath>
#include <cstring>

#include "platform/SysUnicode.h"
#include "platform/VoskErr.h"

bool8 Get_CTemplate(uint32 i, a_ctemplate& dst) {
  if (i < 1 || i > NTEMPLATES) {
    std::memset(static_cast<void*>(&dst), 0, sizeof dst);
    return false;
  }
  dst = g_ctemplates[i - 1];
  return true;
}

// --- Paper sizes ---------------------------------------------------------------

namespace {

struct a_paper_name {
  float w, h;
  const char* name;
};

constexpr a_paper_name kPaperNames[] = {
    {215.9f, 279.4f, "US Letter"}, {215.9f, 355.6f, "US Legal"},      {279.4f, 431.8f, "11x17"},
    {297.0f, 420.0f, "A3"},        {210.0f, 297.0f, "A4"},            {148.5f, 210.0f, "A5"},
    {105.0f, 148.5f, "A6"},        {210.0f, 254.0f, "Epson Tray #1"}, {150.0f, 270.0f, "Epson Tray #2"},
};

// Copies text into s, cut to its capacity, NUL-terminated.
void Put_Str(StrSpan s, const char* text) {
  if (s.empty()) return;
  size_t n = std::strlen(text);
  if (n > s.size() - 1) n = s.size() - 1;
  std::memcpy(s.data(), text, n);
  s[n] = 0;
}

}  // namespace

bool8 Is_Equal_PaperSize(const a_fpoint& a, const a_fpoint& b) { return a.x == b.x && a.y == b.y; }

bool8 PaperSize_To_Str(const a_fpoint& size, StrSpan s) {
  for (const a_paper_name& p : kPaperNames) {
    if (Is_Equal_PaperSize(size, a_fpoint{p.w, p.h})) {
      Put_Str(s, p.name);
      return true;
    }
  }
  Put_Str(s, "");
  return false;
}

// --- Expansion -----------------------------------------------------------------

namespace {

constexpr uint32 Bit(uint32 b) { return uint32(1) << b; }

bool Finite(float v) { return std::isfinite(v); }

// A section's lengths after the inch conversion: the ten inch lengths are
// multiplied by 25.4, the bleeds stay millimetres.
a_cunit Section_In_MM(const a_cunit& c, bool inches) {
  a_cunit u = c;
  if (inches) {
    for (float* f : {&u.bboxleft, &u.bboxtop, &u.bboxwidth, &u.bboxheight, &u.pitchx, &u.pitchy, &u.meas1,
                     &u.meas2, &u.meas3, &u.meas4})
      *f *= 25.4f;
  }
  return u;
}

// Units a section expands to (in 64 bits: nx and ny are 32-bit each).
uint64 Section_Count(const a_cunit& c) {
  const uint64 nx = c.nx, ny = c.ny;
  if ((c.uflags & Bit(UNIT_SHORTODD)) == 0) return nx * ny;
  const uint64 long_rows = (ny + 1) / 2, short_rows = ny / 2;
  return long_rows * nx + short_rows * (nx - 1);
}

bool Is_Disc_Kind(uint8 kind) {
  return kind == UNIT_CD || kind == UNIT_MINICD_RING || kind == UNIT_MINICD_HOCKEY || kind == UNIT_MINICD_RECT;
}

a_expand_result Check_Sections(const a_ctemplate& c) {
  if (c.nunits < 1 || c.nunits > MAXNCUNITS) return EXPAND_BAD_NSECTIONS;
  if (!Finite(c.papersize.x) || !Finite(c.papersize.y) || !(c.papersize.x > 0) || !(c.papersize.y > 0))
    return EXPAND_BAD_SIZE;
  if (c.papersize.x > LAYOUT_MAX_MM || c.papersize.y > LAYOUT_MAX_MM) return EXPAND_TOO_LARGE;
  const bool inches = (c.tflags & Bit(IS_INCHES)) != 0;
  uint64 total = 0;
  for (uint32 s = 0; s < c.nunits; ++s) {
    const a_cunit u = Section_In_MM(c.units[s], inches);
    if (u.kind > LAST_UNIT_KIND) return EXPAND_BAD_KIND;
    if (u.nx == 0 || u.ny == 0) return EXPAND_EMPTY_GRID;
    for (float v : {u.bboxleft, u.bboxtop, u.bboxwidth, u.bboxheight, u.pitchx, u.pitchy, u.bleedleft, u.bleedtop,
                    u.bleedright, u.bleedbottom, u.meas1, u.meas2, u.meas3, u.meas4})
      if (!Finite(v)) return EXPAND_BAD_SIZE;
    if (!(u.bboxwidth > 0) || !(u.bboxheight > 0)) return EXPAND_BAD_SIZE;
    if (u.bleedleft < 0 || u.bleedtop < 0 || u.bleedright < 0 || u.bleedbottom < 0) return EXPAND_NEGATIVE_BLEED;
    // Each section alone is held to the limit, so the sum cannot wrap.
    const uint64 count = Section_Count(u);
    if (count > MAXNUNITS) return EXPAND_BAD_COUNT;
    total += count;
  }
  if (total < 1 || total > MAXNUNITS) return EXPAND_BAD_COUNT;
  if ((c.tflags & Bit(IS_CDPRINTER)) != 0 && !Is_Disc_Kind(c.units[0].kind)) return EXPAND_NOT_DISC;
  return EXPAND_OK;
}

// One unit (col, row), both from 1, of section u (already in millimetres).
a_unit Make_Unit(const a_cunit& u, uint32 tflags, uint32 col, uint32 row, uint32 ncols_in_row) {
  float stepx = u.pitchx, stepy = u.pitchy;
  if ((tflags & Bit(IS_PITCHBETWEEN)) != 0) {
    stepx = u.bboxwidth + u.pitchx;
    stepy = u.bboxheight + u.pitchy;
  }
  float dx = float(col - 1) * stepx;
  const float dy = float(row - 1) * stepy;
  const bool odd_row = ((row - 1) & 1) != 0;
  float left;
  if ((u.uflags & Bit(UNIT_STAGGERED)) != 0) {
    left = u.bboxleft + 2 * dx + (odd_row ? stepx : 0.0f);
  } else {
    // A single column with a horizontal pitch runs diagonally, one step
    // further right on each row.
    if (u.nx == 1 && u.pitchx != 0) dx = float(row - 1) * stepx;
    left = u.bboxleft + dx;
  }
  a_unit x{};
  x.kind = u.kind;
  x.uflags = u.uflags;
  x.viewangle = 0;
  x.bbox.left = left;
  x.bbox.top = u.bboxtop + dy;
  x.bbox.right = left + u.bboxwidth;
  x.bbox.bottom = x.bbox.top + u.bboxheight;
  x.meas[0] = u.meas1;
  x.meas[1] = u.meas2;
  x.meas[2] = u.meas3;
  x.meas[3] = u.meas4;
  const uint32 perimeter = Bit(UNIT_PERIMETERBLEED) | Bit(UNIT_PERIMETERPLUSH) | Bit(UNIT_PERIMETERPLUSV);
  if ((u.uflags & perimeter) == 0) {
    x.bleed = a_frect{u.bleedleft, u.bleedtop, u.bleedright, u.bleedbottom};
  } else {
    const bool plush = (u.uflags & Bit(UNIT_PERIMETERPLUSH)) != 0;
    const bool plusv = (u.uflags & Bit(UNIT_PERIMETERPLUSV)) != 0;
    x.bleed.left = (plush || col == 1) ? u.bleedleft : 0.0f;
    x.bleed.right = (plush || col == ncols_in_row) ? u.bleedright : 0.0f;
    x.bleed.top = (plusv || row == 1) ? u.bleedtop : 0.0f;
    x.bleed.bottom = (plusv || row == u.ny) ? u.bleedbottom : 0.0f;
  }
  return x;
}

bool Within_Print_Range(const a_unit& x) {
  const float lo = -float(LAYOUT_MAX_MM), hi = float(LAYOUT_MAX_MM);
  const float edges[4] = {x.bbox.left - x.bleed.left, x.bbox.top - x.bleed.top, x.bbox.right + x.bleed.right,
                          x.bbox.bottom + x.bleed.bottom};
  for (float e : edges)
    if (!Finite(e) || e < lo || e > hi) return false;
  return true;
}

}  // namespace

a_expand_result Expand_Template(const a_ctemplate& c, a_template& x) {
  const a_expand_result check = Check_Sections(c);
  if (check != EXPAND_OK) return check;

  // Expand into a scratch layout so that a refusal leaves x untouched.
  a_template work{};
  const void* nul = std::memchr(c.label, 0, sizeof c.label);
  const size_t len = nul ? size_t(static_cast<const char*>(nul) - c.label) : sizeof c.label - 1;
  std::memcpy(work.label, c.label, len);
  work.tflags = c.tflags;
  work.papersize = c.papersize;
  const bool inches = (c.tflags & Bit(IS_INCHES)) != 0;
  for (uint32 s = 0; s < c.nunits; ++s) {
    const a_cunit u = Section_In_MM(c.units[s], inches);
    const bool shortodd = (u.uflags & Bit(UNIT_SHORTODD)) != 0;
    if (!shortodd) {
      for (uint32 col = 1; col <= u.nx; ++col)
        for (uint32 row = 1; row <= u.ny; ++row) work.units[work.nunits++] = Make_Unit(u, c.tflags, col, row, u.nx);
    } else {
      for (uint32 row = 1; row <= u.ny; ++row) {
        const uint32 ncols = ((row - 1) & 1) != 0 ? u.nx - 1 : u.nx;
        for (uint32 col = 1; col <= ncols; ++col) work.units[work.nunits++] = Make_Unit(u, c.tflags, col, row, ncols);
      }
    }
  }
  for (uint32 i = 0; i < work.nunits; ++i)
    if (!Within_Print_Range(work.units[i])) return EXPAND_TOO_LARGE;
  std::memcpy(static_cast<void*>(&x), &work, sizeof x);
  return EXPAND_OK;
}

const char* Expand_Result_Text(a_expand_result r) {
  switch (r) {
    case EXPAND_OK: return "The layout is valid.";
    case EXPAND_BAD_NSECTIONS: return "The layout must have between 1 and 6 kinds of label.";
    case EXPAND_EMPTY_GRID: return "Each kind of label in the layout needs at least one column and one row.";
    case EXPAND_BAD_COUNT: return "Only 250 labels per sheet allowed.";
    case EXPAND_BAD_KIND: return "The layout holds a kind of label this version does not know.";
    case EXPAND_BAD_SIZE: return "The layout holds a size that is not a positive number.";
    case EXPAND_TOO_LARGE: return "The layout is too large to print: labels and paper must stay within 1000 mm.";
    case EXPAND_NEGATIVE_BLEED: return "The layout holds a negative bleed.";
    case EXPAND_NOT_DISC: return "A layout printed straight onto discs must start with a disc.";
  }
  return "The layout is not valid.";
}

// --- Names ---------------------------------------------------------------------

void Filter_Template_Name(CStrSpan src, UStrSpan dst) {
  if (dst.empty()) return;
  // The label is 8-bit text of at most 32 bytes.
  char label[33] = {};
  const size_t n = src.size() < 32 ? src.size() : 32;
  for (size_t i = 0; i < n && src[i] != 0; ++i) label[i] = src[i];
  UniChar wide[64] = {};
  UTF8_To_UTF16(label, wide);
  const size_t cap = dst.size() - 1;  // room before the terminating 0
  size_t out = 0;
  auto put = [&](UniChar ch) {
    if (out < cap) dst[out++] = ch;
  };
  for (size_t i = 0; wide[i] != 0 && out < cap; ++i) {
    const UniChar ch = wide[i];
    if (ch == u'_') {
      put(u' ');
      continue;
    }
    if (ch == u'@' && wide[i + 1] != 0) {
      int16 strx = 0;
      switch (wide[i + 1]) {
        case u'A': strx = 385; break;
        case u'C': strx = 386; break;
        case u'L': strx = 387; break;
        case u'P': strx = 388; break;
        case u'2':
          put(UniChar(0x00BD));
          ++i;
          continue;
        default: break;
      }
      if (strx != 0) {
        uStr255 word{};
        Get_DLOG_UString(word, strx);
        for (size_t k = 0; word[k] != 0; ++k) put(word[k]);
        ++i;
        continue;
      }
    }
    put(ch);
  }
  dst[out] = 0;
}

void Extract_Brand(CStrSpan src, StrSpan dst) {
  if (dst.empty()) return;
  const size_t limit = src.size() < 32 ? src.size() : 32;
  size_t out = 0;
  for (size_t i = 0; i < limit && out < dst.size() - 1; ++i) {
    const char ch = src[i];
    if (ch == 0 || ch == ' ') break;
    dst[out++] = ch == '_' ? ' ' : ch;
  }
  dst[out] = 0;
}
