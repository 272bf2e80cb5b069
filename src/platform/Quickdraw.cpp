// Drawing state of the current port: pens, colours, patterns, transfer modes,
// clip and origin, and the two cached GDI objects (one brush, one pen) that
// every drawing call shares.
#include "platform/Quickdraw.h"

#include <cstdlib>
#include <cstring>

#include "host/HostByteOrder.h"
#include "platform/QDRect.h"
#include "platform/QuickdrawPriv.h"
#include "platform/Resources.h"
#include "platform/SysErr.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

a_shadow_rec temp_shadow{};
a_cached_brush cached_brush{};
a_cached_pen cached_pen{};

// --- Shared helpers ----------------------------------------------------------------

bool QD_Port_Ready() { return theShadow != nullptr && theHDC != nullptr; }

int16 QD_Clamp16(int32 v) {
  if (v < -32768) return -32768;
  if (v > 32767) return 32767;
  return int16(v);
}

int32 QD_World_Depth() { return theGWorld ? theGWorld->pix.pixelSize : 0; }

// --- Start-up and shutdown -----------------------------------------------------------

void Quickdraw_Init() {
  // A second start-up (tests do one each) hands back what the first made.
  Stop_Quickdraw();
}

void Stop_Quickdraw() {
  if (cached_brush.hdl) DeleteObject(cached_brush.hdl);
  if (cached_pen.hdl) DeleteObject(cached_pen.hdl);
  cached_brush = a_cached_brush{};
  cached_pen = a_cached_pen{};
}

// --- Drawing-state records -----------------------------------------------------------

void Reset_Shadow(a_shadow_rec* shadow, HWND shadow_hwnd, HDC shadow_hdc, bool8 priv) {
  if (!shadow) return;
  shadow->hwnd = shadow_hwnd;
  shadow->hdc = shadow_hdc;
  shadow->hdc_private = priv;
  shadow->pen_width = 1;
  shadow->pen_mode = patCopy;
  shadow->pen_pat = kPatBlack;
  shadow->fill_pat = kPatBlack;
  shadow->back_pat = kPatWhite;
  shadow->fore_color.d = 0;
  shadow->fore_colorx = 0;
  shadow->back_color.d = 0x00FFFFFF;
  shadow->back_colorx = 255;
  shadow->text_mode = 1;
  shadow->text_size = 0;
  shadow->text_familyx = 0;
  shadow->accum_rgn = nullptr;
  shadow->accum_poly = nullptr;
  shadow->state = PAINTING;
  shadow->cur_pen_width = 1;
  shadow->cur_pen_color.d = 0;
  shadow->cur_font_hdl = nullptr;
  if (shadow_hdc) {
    SetTextAlign(shadow_hdc, TA_BASELINE | TA_UPDATECP);
    SetStretchBltMode(shadow_hdc, COLORONCOLOR);
  }
}

void Flush_Shadow(a_shadow_rec* shadow) {
  if (!shadow) return;
  if (shadow->hdc) SelectObject(shadow->hdc, GetStockObject(SYSTEM_FONT));
  if (shadow->cur_font_hdl) DeleteObject(shadow->cur_font_hdl);
  shadow->cur_font_hdl = nullptr;
}

// --- The current port ------------------------------------------------------------------

HDC SetPort2(HWND hwnd, HDC hdc) {
  // Windows keep their own record in their extra bytes once the window layer
  // gives them one; until then every window port draws with temp_shadow.
  theShadow = &temp_shadow;
  Reset_Shadow(&temp_shadow, hwnd, hdc, false);
  qd.thePort = hwnd;
  theHDC = hdc;
  theGWorld = nullptr;
  return hdc;
}

HWND GetPort() { return qd.thePort; }

void SetOrigin(int16 h, int16 v) {
  if (!theHDC) return;
  SetWindowOrgEx(theHDC, h, v, nullptr);
  if (theGWorld) {
    Rect& b = theGWorld->pix.bounds;
    const int32 w = int32(b.right) - b.left, ht = int32(b.bottom) - b.top;
    b.left = h;
    b.top = v;
    b.right = QD_Clamp16(int32(h) + w);
    b.bottom = QD_Clamp16(int32(v) + ht);
  }
}

// The device offset of the local point (0, 0).
static POINT Local_Origin_Offset() {
  POINT p{0, 0};
  LPtoDP(theHDC, &p, 1);
  return p;
}

void SetClip(RgnHandle rgn) {
  if (!theHDC) return;
  if (!rgn) {
    SelectClipRgn(theHDC, nullptr);
    return;
  }
  const POINT off = Local_Origin_Offset();
  if (OffsetRgn(rgn, off.x, off.y) == ERROR) return;
  SelectClipRgn(theHDC, rgn);
  OffsetRgn(rgn, -off.x, -off.y);
}

void GetClip(RgnHandle rgn) {
  if (!theHDC || !rgn) return;
  // The exact clip, not just its bounding box: callers push and pop clips
  // through this, and a box would widen a shaped clip on the way back.
  const int32 got = GetClipRgn(theHDC, rgn);
  if (got == 1) {
    const POINT off = Local_Origin_Offset();
    OffsetRgn(rgn, -off.x, -off.y);
    return;
  }
  RECT box{0, 0, 0, 0};
  GetClipBox(theHDC, &box);
  SetRectRgn(rgn, box.left, box.top, box.right, box.bottom);
}

void ClipRect(const Rect& r) {
  if (!theHDC) return;
  POINT c[2] = {{r.left, r.top}, {r.right, r.bottom}};
  LPtoDP(theHDC, c, 2);
  HRGN rgn = CreateRectRgn(c[0].x, c[0].y, c[1].x, c[1].y);
  if (!rgn) return;
  // An inverted rectangle clips everything away rather than being put in order.
  if (EmptyRect(r)) SetRectRgn(rgn, 0, 0, 0, 0);
  SelectClipRgn(theHDC, rgn);
  DeleteRgn(rgn);
}

// --- Colours ----------------------------------------------------------------------------

// Main-table index of a colour code (QUIT for codes outside 0, 1, 300 .. 555).
static bool Code_Index(int32 code, uint8& index) {
  if (code == 1) {
    index = 0;
    return true;
  }
  if (code == 0) {
    index = 255;
    return true;
  }
  if (code >= 300 && code <= 555) {
    index = uint8(code - 300);
    return true;
  }
  QUIT();
  return false;
}

uint32 Calc_Color_Code(int32 code) {
  uint8 i = 0;
  if (!Code_Index(code, i)) return 0;
  const int32 depth = QD_World_Depth();
  if (code == 1) return depth == 8 ? DIBINDEX(0) : RGB(0, 0, 0);
  if (code == 0) return depth == 8 ? DIBINDEX(255) : RGB(255, 255, 255);
  if (depth == 0) return PALETTEINDEX(i);
  if (depth <= 8) return DIBINDEX(i);
  const a_win_pixel32& e = g_video.main_colors32[i];
  return RGB(e.r, e.g, e.b);
}

void ForeColor(int32 code) {
  uint8 index = 0;
  if (!Code_Index(code, index)) return;
  const uint32 c = Calc_Color_Code(code);
  if (theHDC) SetTextColor(theHDC, c);
  if (theShadow) {
    theShadow->fore_color.d = c;
    theShadow->fore_colorx = index;
  }
}

void BackColor(int32 code) {
  uint8 index = 0;
  if (!Code_Index(code, index)) return;
  const uint32 c = Calc_Color_Code(code);
  if (theHDC) SetBkColor(theHDC, c);
  if (theShadow) {
    theShadow->back_color.d = c;
    theShadow->back_colorx = index;
  }
}

static uint32 Rgb_Of(const RGBColor& rgb) {
  return RGB(uint8(rgb.red >> 8), uint8(rgb.green >> 8), uint8(rgb.blue >> 8));
}

void RGBForeColor(const RGBColor& rgb) {
  if (QD_World_Depth() == 8) {
    ForeColor(300 + Color2Index(rgb));
    return;
  }
  const uint32 c = Rgb_Of(rgb);
  if (theHDC) SetTextColor(theHDC, c);
  if (theShadow) {
    theShadow->fore_color.d = c;
    theShadow->fore_colorx = Color2Index(rgb);
  }
}

void RGBBackColor(const RGBColor& rgb) {
  if (QD_World_Depth() == 8) {
    BackColor(300 + Color2Index(rgb));
    return;
  }
  const uint32 c = Rgb_Of(rgb);
  if (theHDC) SetBkColor(theHDC, c);
  if (theShadow) {
    theShadow->back_color.d = c;
    theShadow->back_colorx = Color2Index(rgb);
  }
}

// A colour reference as the RGB it stands for: the palette and DIB-index
// forms are looked up in the port, so that a colour read back can be set
// again with RGBForeColor.
static void Widen(uint32 c, RGBColor& rgb) {
  if ((c >> 24) != 0 && (c >> 24) != 0x02 && theHDC) c = GetNearestColor(theHDC, c);
  rgb.red = uint16(GetRValue(c) * 257);
  rgb.green = uint16(GetGValue(c) * 257);
  rgb.blue = uint16(GetBValue(c) * 257);
}

void GetForeColor(RGBColor& rgb) { Widen(theHDC ? GetTextColor(theHDC) : 0, rgb); }
void GetBackColor(RGBColor& rgb) { Widen(theHDC ? GetBkColor(theHDC) : 0x00FFFFFF, rgb); }

void OpColor(const RGBColor& rgb) {
  if (theShadow) theShadow->opacity = uint16(rgb.red >> 8);
}

// --- Pens and patterns ------------------------------------------------------------------

int32 Calc_Rop2(int16 mode) {
  switch (mode) {
    case patCopy: return R2_COPYPEN;
    case patOr: return R2_MERGEPEN;
    case patXor: return R2_XORPEN;
    case notPatCopy: return R2_NOTCOPYPEN;
    case notPatOr: return R2_NOTMERGEPEN;
    case notPatXor: return R2_NOTXORPEN;
    case notPatBic: return R2_MASKPEN;
    case blend: return R2_COPYPEN;
    default: QUIT(); return R2_COPYPEN;
  }
}

void PenSize(int16 width, int16) {
  if (theShadow) theShadow->pen_width = width;
}

void PenMode(int16 mode) {
  const int32 rop = Calc_Rop2(mode);
  if (theShadow) theShadow->pen_mode = mode;
  if (theHDC) SetROP2(theHDC, rop);
}

void PenPat(const Pattern& pat) {
  if (theShadow) theShadow->pen_pat = pat;
}

void BackPat(const Pattern& pat) {
  if (theShadow) theShadow->back_pat = pat;
}

void PenNormal() {
  if (theShadow) {
    theShadow->pen_width = 1;
    theShadow->pen_mode = patCopy;
    theShadow->pen_pat = kPatBlack;
  }
  if (theHDC) SetROP2(theHDC, R2_COPYPEN);
}

void GetPen(Point& pt) {
  POINT p{0, 0};
  if (theHDC) GetCurrentPositionEx(theHDC, &p);
  pt.h = QD_Clamp16(p.x);
  pt.v = QD_Clamp16(p.y);
}

void GetPenState(PenState& ps) {
  GetPen(ps.pnLoc);
  const int16 w = theShadow ? theShadow->pen_width : 1;
  ps.pnSize.h = w;
  ps.pnSize.v = w;
  ps.pnMode = theShadow ? theShadow->pen_mode : patCopy;
  ps.pnPat = theShadow ? theShadow->pen_pat : kPatBlack;
}

void SetPenState(const PenState& ps) {
  const int32 rop = Calc_Rop2(ps.pnMode);
  if (theShadow) {
    theShadow->pen_width = ps.pnSize.h;
    theShadow->pen_mode = ps.pnMode;
    theShadow->pen_pat = ps.pnPat;
  }
  if (theHDC) SetROP2(theHDC, rop);
}

bool8 GetIndPattern(Pattern& pat, int16 listid, int16 ix) {
  ResHandle res = GetResource(FourCC("PAT#"), listid);
  const uint8* data = res ? LockResource(res) : nullptr;
  // A count (little-endian, like every count in our resources), then the
  // patterns. A list too short for its own count is damaged: refused as a
  // whole, never read past.
  const uint32 size = data ? res->size : 0;
  const int32 count = size >= 2 ? int32(Load_LE16(data)) : 0;
  if (data == nullptr || size < 2 || 2 + uint32(count) * 8 > size) {
    Report_Missing_Resource(FourCC("PAT#"), listid);
    return false;
  }
  if (ix < 1 || ix > count) {
    QUIT();
    return false;
  }
  std::memcpy(pat.pat, data + 2 + (ix - 1) * 8, 8);
  return true;
}

// The cached objects live until Stop_Quickdraw; a run that ends without the
// shutdown (a test, an early exit) still hands them back at exit. Registered
// after the first GDI object exists, so it runs before the GDI's own state goes.
static void Cleanup_At_Exit() {
  static bool registered = false;
  if (!registered) {
    registered = true;
    std::atexit(Stop_Quickdraw);
  }
}

bool8 Is_Pattern_Same(const Pattern& a, const Pattern& b) { return a == b; }

bool8 Is_Solid_Black(const Pattern& pat) { return pat == kPatBlack; }

HBRUSH Calc_Brush(uint32 color, const Pattern& pat) {
  if (cached_brush.hdl && cached_brush.color == color && Is_Pattern_Same(cached_brush.pat, pat))
    return cached_brush.hdl;
  if (cached_brush.hdl) DeleteObject(cached_brush.hdl);
  // A pattern brush takes its colours from the DC when drawn: 0 bits the
  // text colour (the foreground), 1 bits the background colour.
  cached_brush.hdl = Is_Solid_Black(pat) ? CreateSolidBrush(color) : Host_CreateMonoPatternBrush(pat.pat);
  cached_brush.color = color;
  cached_brush.pat = pat;
  Cleanup_At_Exit();
  return cached_brush.hdl;
}

HPEN Calc_Pen(int16 style) {
  const int16 width = theShadow ? theShadow->pen_width : 1;
  const uint32 color = theShadow ? theShadow->fore_color.d : 0;
  if (cached_pen.hdl && cached_pen.style == style && cached_pen.width == width && cached_pen.color == color)
    return cached_pen.hdl;
  if (cached_pen.hdl) DeleteObject(cached_pen.hdl);
  uint32 pen_color = color;
  if (style == PS_DOT && theShadow) {
    const a_win_pixel32& e = g_video.main_colors32[theShadow->fore_colorx];
    pen_color = PALETTERGB(e.r, e.g, e.b);
  }
  cached_pen.hdl = CreatePen(style, width, pen_color);
  cached_pen.style = style;
  cached_pen.width = width;
  cached_pen.color = color;
  Cleanup_At_Exit();
  return cached_pen.hdl;
}

// --- Text settings ------------------------------------------------------------------------

void TextMode(int16 mode) {
  if (theShadow) theShadow->text_mode = mode;
}

void TextSize(int32 size) {
  if (theShadow) theShadow->text_size = size;
}

// --- Points ---------------------------------------------------------------------------------

void LocalToGlobal(Point& pt) {
  if (!theHDC) return;
  POINT p{pt.h, pt.v};
  LPtoDP(theHDC, &p, 1);
  pt.h = QD_Clamp16(p.x);
  pt.v = QD_Clamp16(p.y);
}

void GlobalToLocal(Point& pt) {
  if (!theHDC) return;
  POINT p{pt.h, pt.v};
  DPtoLP(theHDC, &p, 1);
  pt.h = QD_Clamp16(p.x);
  pt.v = QD_Clamp16(p.y);
}
