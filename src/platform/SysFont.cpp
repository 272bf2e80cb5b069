// Fonts: the font list, its classification, base fonts, and font records
// turned into host fonts in the current port. See SysFont.h.
#include "platform/SysFont.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "host/HostText.h"
#include "host/HostUtf.h"
#include "platform/LangUtil.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"
#include "platform/SysWin.h"

a_family_item* g_fontlist = nullptr;
uint32 n_fontlist = 0;
uint32 BASE_PROP_FONT = 1;
uint32 BASE_MONO_FONT = 1;
uint32 BASE_BIG_FONT = 1;
uint32 BASE_ENTRY_FONT = 1;
uint32 BASE_PRINT_FONT = 1;
uint32 BASE_SEL_FONT = 1;

namespace {

constexpr const char* kPiPrefixes[] = {
    "Apple Symbols", "Bodoni Ornament", "Bookshelf Symbol", "Cairo", "Carta", "Cubase", "Davys",
    "DecoType", "Extra", "Hoefler Text Ornaments", "ITC Zapf Ding", "Maestro", "Marlett",
    "MS Outlook", "MS Reference", "MT Extra", "Oasis CD", "PressWriter Symbols",
    "StonePrint-ItalicFracs", "StonePrint-RomanFracs", "SureThing", "Symbol", "Tamburo", "Webding",
    "Wingding", "World Wind ding", "Zapf Ding", "Petrucci"};

constexpr const char* kSpecialPrefixes[] = {"Al Bayan", "Baghdad", "Estrangelo", "Gautami",
                                            "Geeza",    "Kufi",    "Latha",      "Mangal",
                                            "MV Boli",  "Nadeem",  "Raavi",      "Shruti",
                                            "Tunga",    "GB18"};

constexpr const char* kBadNames[] = {"Terminal", "FixedSys", "Sydnie", "System"};

// Prefix test of an 8-bit pattern against a UTF-16 name, case as written.
bool Begins(CUStrSpan name, const char* pat) {
  size_t i = 0;
  for (; pat[i]; ++i) {
    if (i >= name.size() || name[i] != UniChar(uint8(pat[i]))) return false;
  }
  return true;
}

bool Equals(CUStrSpan name, const char* s) {
  if (!Begins(name, s)) return false;
  const size_t n = std::strlen(s);
  return n >= name.size() || name[n] == 0;
}

const a_family_item* Entry(uint32 fontx) {
  if (!g_fontlist || fontx < 1 || fontx > n_fontlist) return nullptr;
  return &g_fontlist[fontx - 1];
}

CUStrSpan Name_Of(const a_family_item& e) { return CUStrSpan(e.fontname, kFontNameUnits); }

int32 Family_Callback(const HostLogFont* lf, const HostTextMetric*, uint32, intptr_t) {
  if (n_fontlist >= kMaxFonts) return 0;
  const CUStrSpan name(lf->lfFaceName, kHostFaceNameUnits);
  if (Is_Bad_Font(name)) return 1;
  a_family_item& e = g_fontlist[n_fontlist];
  std::memset(&e, 0, sizeof e);
  // Names keep up to 127 units: the full family name, so that it finds
  // the same family again (project files store 128 units of it).
  for (int32 i = 0; i < kFontNameUnits - 1 && i < kHostFaceNameUnits && lf->lfFaceName[i]; ++i)
    e.fontname[i] = lf->lfFaceName[i];
  e.charset = lf->lfCharSet;
  e.pitch = lf->lfPitchAndFamily;
  Classify_Font_Item(e);
  ++n_fontlist;
  return 1;
}

// A port is needed for anything that selects a font.
bool Port_Ready() { return theHDC != nullptr && theShadow != nullptr; }

}  // namespace

// --- Start-up and the list -------------------------------------------------------------

void SysFont_Init() {
  g_fontlist = nullptr;
  n_fontlist = 0;
}

void Fonts_Init() {
  if (g_fontlist) return;
  const uint32 bytes = kMaxFonts * uint32(sizeof(a_family_item));
  Ptr p = New_Ptr_Clear(bytes);
  if (!p) {
    g_err_mem_proc(bytes);
    return;
  }
  g_fontlist = reinterpret_cast<a_family_item*>(p);
  n_fontlist = 0;
  EnumFontFamiliesW(nullptr, nullptr, Family_Callback, 0);
  if (n_fontlist == 0) {
    // Nothing could draw a single letter: better a clear stop than a list
    // every caller would index out of.
    Dispose_Ptr(p);
    g_fontlist = nullptr;
    std::fprintf(stderr, "No usable font is installed (fontconfig lists no scalable font).\n");
    g_err_res_proc(FourCC("FONT"), 0);
    return;
  }
  Ptr_SetSize(p, n_fontlist * uint32(sizeof(a_family_item)));
  Sort_Font_List(g_fontlist, n_fontlist);
  // The interface's base fonts are indexes into this list: chosen as soon
  // as it exists.
  Set_Base_Fonts(os_language);
}

void Fonts_Stop() {
  Ptr p = reinterpret_cast<Ptr>(g_fontlist);
  Dispose_Ptr(p);
  g_fontlist = nullptr;
  n_fontlist = 0;
}

void Classify_Font_Item(a_family_item& item) {
  const CUStrSpan name = Name_Of(item);
  item.attrib = 0;
  if (item.charset == SHIFTJIS_CHARSET) item.attrib |= Attrib_Bit(IS_ASIAN_FONT);
  else if (item.charset != ANSI_CHARSET && item.charset != OEM_CHARSET)
    item.attrib |= Attrib_Bit(IS_NONROMAN_FONT);
  if (Is_Pi_Font_Name(name)) item.attrib |= Attrib_Bit(IS_PI_FONT);
  if (Is_Special_Font_Name(name)) item.attrib |= Attrib_Bit(IS_SP_FONT);
  item.order = 1;
  if (item.attrib & Attrib_Bit(IS_ASIAN_FONT)) item.order = os_language == JAPANESE ? 0 : 2;
  else if (item.attrib & Attrib_Bit(IS_PI_FONT)) item.order = 3;
}

namespace {
void No_Sort(bool, void*, int16, int16, int32) {}
}  // namespace

void (*g_sort_array_proc)(bool, void*, int16, int16, int32) = No_Sort;

void Sort_Font_List(a_family_item* list, uint32 n) {
  if (!list || n < 2) return;
  g_sort_array_proc(true, list, int16(sizeof(a_family_item)), 2, int32(n));
}

void Set_Base_Fonts(int16) {
  uint32 fx = Find_Font_Name(CStrSpan("Lucida Sans Unicode"));
  if (fx == 0) fx = Find_Font_Name(CStrSpan("Arial"));
  if (fx == 0) {
    // Neither exists on most systems here: the desktop's own sans-serif
    // face, as fontconfig matches it (not whatever sorts first, which may
    // be a symbol font).
    UniChar want[kHostFaceNameUnits] = {};
    Ascii7_To_Unicode(CStrSpan("sans-serif"), UStrSpan(want));
    UniChar got[kHostFaceNameUnits];
    if (Host_Match_Family(want, got)) fx = Name_To_FontX(CUStrSpan(got));
  }
  if (fx == 0) fx = 1;
  BASE_PROP_FONT = fx;
  BASE_MONO_FONT = fx;
  BASE_BIG_FONT = fx;
  BASE_ENTRY_FONT = fx;
  BASE_PRINT_FONT = fx;
}

// --- Font records -------------------------------------------------------------------

void Null_FontSpec(a_fontspec& spec) {
  spec.fontID = 1;
  spec.size = 12;
  spec.angle = 0;
  spec.hscale = 1.0f;
  spec.vscale = 1.0f;
  spec.hskew = 0.0f;
  spec.vskew = 0.0f;
  spec.effects = 0;
}

namespace {

HostLogFont Log_Font_Of(const a_fontspec& font) {
  HostLogFont lf;
  // -size as a 64-bit value: the smallest int32 has no 32-bit negation.
  lf.lfHeight = int32(std::clamp<int64>(-int64(font.size), INT32_MIN, INT32_MAX));
  lf.lfWidth = 0;
  lf.lfEscapement = font.angle;
  lf.lfOrientation = font.angle;
  lf.lfWeight = (font.effects & Effect_Bit(EFFECT_BOLD)) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (font.effects & Effect_Bit(EFFECT_ITALIC)) ? 1 : 0;
  const a_family_item* e = Entry(font.fontID);
  if (!e) e = Entry(1);  // a stale index must not read outside the list
  if (e) {
    lf.lfCharSet = e->charset;
    lf.lfPitchAndFamily = e->pitch;
    for (int32 i = 0; i < kFontNameUnits && i < kHostFaceNameUnits - 1 && e->fontname[i]; ++i)
      lf.lfFaceName[i] = e->fontname[i];
  }
  return lf;
}

// Scales and skews as the glyphs take them: a value that is not a finite
// number (a damaged record) counts as none, and each is kept within what a
// glyph can be drawn with.
double Scale_Of(float v) { return std::isfinite(v) ? std::clamp(double(v), 0.01, 100.0) : 1.0; }
double Skew_Of(float v) { return std::isfinite(v) ? std::clamp(double(v), -100.0, 100.0) : 0.0; }

bool Plain_Shape(const a_fontspec& spec) {
  return spec.hscale == 1.0f && spec.vscale == 1.0f && spec.hskew == 0.0f && spec.vskew == 0.0f;
}

// factor x turn x (stretch x skew), on the glyph's coordinates (y up).
HostGlyphXform Xform_Of(const a_fontspec& spec, double factor) {
  const double hs = Scale_Of(spec.hscale), vs = Scale_Of(spec.vscale);
  const double kh = Skew_Of(spec.hskew), kv = Skew_Of(spec.vskew);
  const double a = hs, b = hs * kh, c = vs * kv, d = vs;
  double cs = 1, sn = 0;
  if (spec.angle % 3600 != 0) {
    const double th = double(spec.angle % 3600) * M_PI / 1800.0;
    cs = std::cos(th);
    sn = std::sin(th);
  }
  HostGlyphXform m;
  m.xx = factor * (cs * a - sn * c);
  m.xy = factor * (cs * b - sn * d);
  m.yx = factor * (sn * a + cs * c);
  m.yy = factor * (sn * b + cs * d);
  return m;
}

}  // namespace

HFONT Create_Font_Hdl(const a_fontspec& font) {
  const HostLogFont lf = Log_Font_Of(font);
  return CreateFontIndirectW(&lf);
}

void SetFont(const a_fontspec& font) {
  if (!Port_Ready()) {
    QUIT();
    return;
  }
  HFONT f = Create_Font_Hdl(font);
  if (f) SelectObject(theHDC, f);
  if (theShadow->cur_font_hdl) DeleteObject(theShadow->cur_font_hdl);
  theShadow->cur_font_hdl = f;
  theShadow->text_familyx = font.fontID;
}

namespace {

// Text of a stretched or skewed record, glyph by glyph along its transformed
// baseline from (x, y), placed by the port's text alignment as TextOutW
// places text; the current position moves as it would.
void Draw_Shaped_Text(const a_fontspec& spec, int16 x, int16 y, std::u16string_view sv) {
  const HostLogFont lf = Log_Font_Of(spec);
  const HostGlyphXform m = Xform_Of(spec, 1.0);
  const uint32 align = GetTextAlign(theHDC);
  double total = 0;
  for (size_t i = 0; i < sv.size();) total += Host_Glyph_Advance(lf, Host_Utf16_Next(sv, i));
  HostGlyphFaceMetrics fm;
  Host_Glyph_Face_Metrics(lf, &fm);
  // The first glyph's origin in the glyph's own frame (y up) from (x, y).
  double u = 0, v = 0;
  if ((align & TA_CENTER) == TA_CENTER) u = -std::floor(total / 2);
  else if ((align & TA_CENTER) == TA_RIGHT) u = -total;
  if ((align & TA_BASELINE) == TA_TOP) v = -fm.ascent;
  else if ((align & TA_BASELINE) == TA_BOTTOM) v = fm.descent;
  double px = x + m.xx * u + m.xy * v, py = y - (m.yx * u + m.yy * v);
  for (size_t i = 0; i < sv.size();) {
    const char32_t cp = Host_Utf16_Next(sv, i);
    Host_Glyph_Draw_DC(theHDC, lf, cp, m, px, py);
    const double adv = Host_Glyph_Advance(lf, cp);
    px += m.xx * adv;
    py -= m.yx * adv;
  }
  if (align & TA_UPDATECP) {
    double step = 0;
    if ((align & TA_CENTER) == TA_LEFT) step = total;
    else if ((align & TA_CENTER) == TA_RIGHT) step = -total;
    auto c16 = [](double d) { return int16(std::clamp<long>(std::lround(d), -32768, 32767)); };
    MoveTo(c16(x + m.xx * step), c16(y - m.yx * step));
  }
}

}  // namespace

void Draw_Unicode_Text(const a_fontspec& spec, int16 x, int16 y, const UniChar* str, int32 len) {
  SetFont(spec);
  if (!Port_Ready()) return;
  MoveTo(x, y);
  if (!str || len <= 0) return;
  if (!Plain_Shape(spec)) {
    Draw_Shaped_Text(spec, x, y, std::u16string_view(reinterpret_cast<const char16_t*>(str), size_t(len)));
    return;
  }
  const int32 old = SetBkMode(theHDC, theShadow->text_mode == 1 ? TRANSPARENT : OPAQUE);
  TextOutW(theHDC, x, y, str, len);
  if (old) SetBkMode(theHDC, old);
}

void Get_Font_Info(a_font_info& info) {
  info.ascent = 0;
  info.descent = 0;
  HostTextMetric tm;
  if (!theHDC || !GetTextMetricsW(theHDC, &tm)) return;
  info.ascent = int16(std::clamp(tm.tmAscent, 0, 32767));
  info.descent = int16(std::clamp(tm.tmDescent, 0, 32767));
}

bool8 Is_Glyph_Avail(uint32 fontx, UniChar unicode) {
  a_fontspec spec;
  Null_FontSpec(spec);
  spec.fontID = fontx;
  SetFont(spec);
  if (!Port_Ready()) return false;
  uint16 gi = 0xFFFF;
  if (GetGlyphIndicesW(theHDC, &unicode, 1, &gi, GGI_MARK_NONEXISTING_GLYPHS) != 1) return false;
  return gi < 0xFFFF;
}

// --- The list -------------------------------------------------------------------------

void Count_Fonts(uint32& first, uint32& last) {
  first = 1;
  last = n_fontlist;
}

void FontX_To_Name(uint32 fontx, UStrSpan name) {
  if (name.empty()) return;
  const a_family_item* e = Entry(fontx);
  size_t i = 0;
  if (e)
    for (; i + 1 < name.size() && i < size_t(kFontNameUnits) && e->fontname[i]; ++i)
      name[i] = e->fontname[i];
  name[i] = 0;
}

uint32 Name_To_FontX(CUStrSpan name) {
  for (uint32 i = 1; i <= n_fontlist && g_fontlist; ++i) {
    const a_family_item& e = g_fontlist[i - 1];
    size_t k = 0;
    bool same = true;
    for (; k < size_t(kFontNameUnits); ++k) {
      const UniChar a = e.fontname[k];
      const UniChar b = k < name.size() ? name[k] : 0;
      if (a != b) {
        same = false;
        break;
      }
      if (a == 0) break;
    }
    if (same) return i;
  }
  return 0;
}

uint32 Find_Font_Name(CStrSpan targ) {
  // The pattern ends at its NUL or its last element.
  char pat[256];
  size_t n = 0;
  for (; n < targ.size() && n < sizeof pat - 1 && targ[n]; ++n) pat[n] = targ[n];
  pat[n] = 0;
  for (uint32 i = 1; i <= n_fontlist && g_fontlist; ++i)
    if (Begins(Name_Of(g_fontlist[i - 1]), pat)) return i;
  return 0;
}

a_font_attrib_set Get_Font_Attrib(uint32 fontx) {
  const a_family_item* e = Entry(fontx);
  return e ? e->attrib : 0;
}

bool8 Is_Pi_Font(uint32 fontx) {
  return (Get_Font_Attrib(fontx) & (Attrib_Bit(IS_PI_FONT) | Attrib_Bit(IS_SP_FONT))) != 0;
}

bool8 Is_Asian_Font(uint32 fontx) { return (Get_Font_Attrib(fontx) & Attrib_Bit(IS_ASIAN_FONT)) != 0; }

bool8 Is_Font_Thumbnailed(uint32 fontx) {
  return (Get_Font_Attrib(fontx) & Attrib_Bit(IS_THUMBNAILED)) != 0;
}

void Mark_As_Thumbnailed(uint32 fontx) {
  if (!Entry(fontx)) return;
  g_fontlist[fontx - 1].attrib |= Attrib_Bit(IS_THUMBNAILED);
}

int16 Get_Font_Sort(uint32) {
  QUIT();
  return 0;
}

// --- Names -----------------------------------------------------------------------------

void Ascii7_To_Unicode(CStrSpan astr, UStrSpan ustr) {
  if (ustr.empty()) return;
  size_t i = 0;
  for (; i < astr.size() && i + 1 < ustr.size() && astr[i]; ++i) ustr[i] = UniChar(uint8(astr[i]));
  ustr[i] = 0;
}

bool8 UEqual(CStrSpan astr1, CUStrSpan ustr2) {
  UniChar wide[256];
  Ascii7_To_Unicode(astr1, UStrSpan(wide));
  for (size_t i = 0;; ++i) {
    const UniChar a = wide[i];
    const UniChar b = i < ustr2.size() ? ustr2[i] : 0;
    if (a != b) return false;
    if (a == 0) return true;
    if (i == 255) return i + 1 >= ustr2.size() || ustr2[i + 1] == 0;
  }
}

bool8 Is_Bad_Font(CUStrSpan name) {
  if (!name.empty() && name[0] == u'@') return true;
  for (const char* b : kBadNames)
    if (Equals(name, b)) return true;
  return false;
}

bool8 Is_Pi_Font_Name(CUStrSpan name) {
  for (const char* p : kPiPrefixes)
    if (Begins(name, p)) return true;
  return false;
}

bool8 Is_Special_Font_Name(CUStrSpan name) {
  for (const char* p : kSpecialPrefixes)
    if (Begins(name, p)) return true;
  return false;
}

// --- Characters drawn one by one ---------------------------------------------------------

double Glyph_Advance(const a_fontspec& spec, char32_t cp) {
  return double(Host_Glyph_Advance(Log_Font_Of(spec), cp)) * Scale_Of(spec.hscale);
}

void Get_Glyph_Font_Info(const a_fontspec& spec, a_glyph_font_info& info) {
  info = a_glyph_font_info{};
  HostGlyphFaceMetrics fm;
  if (!Host_Glyph_Face_Metrics(Log_Font_Of(spec), &fm)) return;
  const double vs = Scale_Of(spec.vscale);
  info.ascent = float(fm.ascent * vs);
  info.descent = float(fm.descent * vs);
  info.ul_offset = float(fm.ul_offset * vs);
  info.ul_thickness = float(std::max(1.0, fm.ul_thickness * vs));
}

bool8 Draw_Glyph(PixMap& pix, const a_fontspec& spec, char32_t cp, double x, double y, double scale,
                 a_pixel32 color, Rect* touched) {
  if (!pix.baseAddr || (pix.pixelSize != 8 && pix.pixelSize != 32)) return false;
  if (!std::isfinite(scale) || scale <= 0) return false;
  HostGlyphTarget t;
  t.bits = reinterpret_cast<uint8*>(pix.baseAddr);
  t.stride = int64(PixMap_RowBytes(pix));
  t.width = int32(pix.bounds.right) - pix.bounds.left;
  t.height = int32(pix.bounds.bottom) - pix.bounds.top;
  t.depth = pix.pixelSize;
  t.color = pix.pixelSize == 32 ? uint32(color.b) | uint32(color.g) << 8 | uint32(color.r) << 16 |
                                      uint32(color.a) << 24
                                : uint32((int32(color.r) + color.g + color.b) / 3);
  RECT box{0, 0, 0, 0};
  if (!Host_Glyph_Draw(Log_Font_Of(spec), cp, Xform_Of(spec, scale), x - pix.bounds.left,
                       y - pix.bounds.top, t, &box))
    return false;
  if (touched && box.left < box.right && box.top < box.bottom) {
    const Rect r{int16(box.top + pix.bounds.top), int16(box.left + pix.bounds.left),
                 int16(box.bottom + pix.bounds.top), int16(box.right + pix.bounds.left)};
    if (touched->left >= touched->right || touched->top >= touched->bottom) *touched = r;
    else UnionRect(*touched, r, *touched);
  }
  return true;
}
