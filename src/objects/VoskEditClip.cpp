// The text clipboard: styled ranges (770) and whole text objects (769) as
// packed little-endian records, with the text itself beside them for other
// programs. Everything read back may come from another program: blocks are
// checked against their sizes and counts, and what they hold is made safe
// before it reaches a text record.
#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "host/HostByteOrder.h"
#include "host/HostUtf.h"
#include "objects/VoskBlok.h"
#include "objects/VoskEdit.h"
#include "objects/VoskText.h"
#include "objects/VoskTextI.h"
#include "platform/SysErr.h"
#include "platform/SysFont.h"
#include "platform/SysMem.h"
#include "platform/SysScrap.h"
#include "platform/SysSound.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

// --- One character, 36 bytes -----------------------------------------------------------------

struct a_xyl_layout {
  uint32 cc_char = 0, cc_fontx = 2, cc_color = 6, cc_nudgex = 10, cc_nudgey = 12, cc_nudget = 14, cc_size = 16,
         cc_boldf = 18, cc_italf = 19, cc_undf = 20, mm_x = 22, mm_y = 24, mm_t = 26, mm_width = 28, mm_ud = 30,
         mm_cat = 34;
};
constexpr a_xyl_layout kXyl{};
static_assert(kXyl.cc_fontx == kXyl.cc_char + 2 && kXyl.cc_color == kXyl.cc_fontx + 4);
static_assert(kXyl.cc_nudgex == kXyl.cc_color + 4 && kXyl.cc_size == kXyl.cc_nudget + 2);
static_assert(kXyl.mm_x == kXyl.cc_undf + 2 && kXyl.mm_ud == kXyl.mm_width + 2);
static_assert(kXyl.mm_cat == kXyl.mm_ud + 4 && kXyl.mm_cat + 2 == XYL_RECORD_BYTES);

void Put_Xyl(uint8* p, const a_xyl_char& c) {
  std::memset(p, 0, XYL_RECORD_BYTES);
  Store_LE16(p + kXyl.cc_char, c.cc_char);
  Store_LE32(p + kXyl.cc_fontx, c.cc_fontx);
  p[kXyl.cc_color + 0] = c.cc_color.b;
  p[kXyl.cc_color + 1] = c.cc_color.g;
  p[kXyl.cc_color + 2] = c.cc_color.r;
  p[kXyl.cc_color + 3] = c.cc_color.a;
  Store_LE16(p + kXyl.cc_nudgex, uint16(c.cc_nudgex));
  Store_LE16(p + kXyl.cc_nudgey, uint16(c.cc_nudgey));
  Store_LE16(p + kXyl.cc_nudget, uint16(c.cc_nudget));
  Store_LE16(p + kXyl.cc_size, uint16(c.cc_size));
  p[kXyl.cc_boldf] = c.cc_boldf;
  p[kXyl.cc_italf] = c.cc_italf;
  p[kXyl.cc_undf] = c.cc_undf;
  Store_LE16(p + kXyl.mm_x, uint16(c.mm_x));
  Store_LE16(p + kXyl.mm_y, uint16(c.mm_y));
  Store_LE16(p + kXyl.mm_t, uint16(c.mm_t));
  Store_LE16(p + kXyl.mm_width, uint16(c.mm_width));
  Store_LE32(p + kXyl.mm_ud, uint32(c.mm_ud));
  p[kXyl.mm_cat] = c.mm_cat;
}

int16 Clamp_Slider(a_slider_enum s, int32 v) {
  return int16(std::clamp<int32>(v, SLIDER_VALUES[s].minval, SLIDER_VALUES[s].maxval));
}

uint32 Known_Font(uint32 fontx) {
  uint32 first = 0, last = 0;
  Count_Fonts(first, last);
  return fontx >= first && fontx <= last ? fontx : 0;
}

// A character as read: its style limited to what the override controls
// can set, an unknown font none, the layout's fields left to the layout.
a_xyl_char Get_Xyl(const uint8* p) {
  a_xyl_char c{};
  c.cc_char = Load_LE16(p + kXyl.cc_char);
  c.cc_fontx = Known_Font(Load_LE32(p + kXyl.cc_fontx));
  c.cc_color.b = p[kXyl.cc_color + 0];
  c.cc_color.g = p[kXyl.cc_color + 1];
  c.cc_color.r = p[kXyl.cc_color + 2];
  c.cc_color.a = p[kXyl.cc_color + 3];
  c.cc_nudgex = Clamp_Slider(TEXTR_DX_SLIDER, int16(Load_LE16(p + kXyl.cc_nudgex)));
  c.cc_nudgey = Clamp_Slider(TEXTR_DY_SLIDER, int16(Load_LE16(p + kXyl.cc_nudgey)));
  c.cc_nudget = Clamp_Slider(TEXTR_ANGLE_SLIDER, int16(Load_LE16(p + kXyl.cc_nudget)));
  const int16 size = int16(Load_LE16(p + kXyl.cc_size));
  c.cc_size = size == 0 ? 0 : Clamp_Slider(TEXTR_SIZE_SLIDER, size);
  c.cc_boldf = p[kXyl.cc_boldf] != 0;
  c.cc_italf = p[kXyl.cc_italf] != 0;
  c.cc_undf = p[kXyl.cc_undf] != 0;
  return c;
}

// Whole characters only: codes 0 and 1 (nothing, the end entry) and lone
// halves of pairs dropped, at most 3999 kept, never half a pair.
void Keep_Whole(std::vector<a_xyl_char>& chars) {
  std::vector<a_xyl_char> out;
  out.reserve(std::min<size_t>(chars.size(), MAX_NXYL - 1));
  for (size_t i = 0; i < chars.size() && out.size() < size_t(MAX_NXYL - 1); ++i) {
    const UniChar c = chars[i].cc_char;
    if (c == 0 || c == EOS_CHAR || Is_Low_Surrogate(c)) continue;
    if (Is_High_Surrogate(c)) {
      if (i + 1 >= chars.size() || !Is_Low_Surrogate(chars[i + 1].cc_char)) continue;
      if (out.size() + 2 > size_t(MAX_NXYL - 1)) break;
      out.push_back(chars[i]);
      out.push_back(chars[++i]);
      continue;
    }
    out.push_back(chars[i]);
  }
  chars.swap(out);
}

// --- The whole record, 161,502 bytes ----------------------------------------------------------

constexpr int16 a_om_rec::*kOMShorts[] = {
    &a_om_rec::size,         &a_om_rec::lineangle,       &a_om_rec::polarangle,   &a_om_rec::radius,
    &a_om_rec::hspacing,     &a_om_rec::vspacing,        &a_om_rec::stretch_h,    &a_om_rec::stretch_v,
    &a_om_rec::skew_h,       &a_om_rec::skew_v,          &a_om_rec::glow_radius,  &a_om_rec::glow_opacity,
    &a_om_rec::glow_style,   &a_om_rec::shad_dx,         &a_om_rec::shad_dy,      &a_om_rec::shad_opacity,
    &a_om_rec::shad_radius,  &a_om_rec::outl_radius,     &a_om_rec::spoke_outerd, &a_om_rec::spoke_thickness,
    &a_om_rec::spoke_totangle, &a_om_rec::spoke_twist,   &a_om_rec::contour_margin, &a_om_rec::targwidth,
    &a_om_rec::opacity,
};
constexpr bool8 a_om_rec::*kOMFlags[] = {&a_om_rec::boldf, &a_om_rec::italf, &a_om_rec::outlf,
                                         &a_om_rec::glowf, &a_om_rec::shadf, &a_om_rec::undf};
constexpr a_win_pixel32 a_om_rec::*kOMColours[] = {&a_om_rec::base_color, &a_om_rec::glow_color,
                                                   &a_om_rec::shad_color, &a_om_rec::outl_color};

struct a_om_layout {
  uint32 bbox = 0, anchor = 8, rotcenter = 12, flags = 16, layout = 22, justify = 23, fontx = 24, shorts = 28,
         colours = 78, nxyl = 94, xyl = 98, noverflows = 144098, overflows = 144102;
};
constexpr a_om_layout kOM{};
static_assert(std::size(kOMShorts) == 25 && std::size(kOMFlags) == 6 && std::size(kOMColours) == 4);
static_assert(kOM.layout == kOM.flags + std::size(kOMFlags) && kOM.fontx == kOM.justify + 1);
static_assert(kOM.colours == kOM.shorts + 2 * std::size(kOMShorts));
static_assert(kOM.nxyl == kOM.colours + 4 * std::size(kOMColours) && kOM.xyl == kOM.nxyl + 4);
static_assert(kOM.noverflows == kOM.xyl + MAX_NXYL * XYL_RECORD_BYTES && kOM.overflows == kOM.noverflows + 4);
static_assert(OM_RECORD_CACHE_AT == kOM.overflows + MAX_OVERFLOWS * 8);
static_assert(OM_RECORD_BYTES == OM_RECORD_CACHE_AT + 17320);

void Put_Rect(uint8* p, const Rect& r) {
  Store_LE16(p, uint16(r.top));
  Store_LE16(p + 2, uint16(r.left));
  Store_LE16(p + 4, uint16(r.bottom));
  Store_LE16(p + 6, uint16(r.right));
}
void Put_Point(uint8* p, Point pt) {
  Store_LE16(p, uint16(pt.v));
  Store_LE16(p + 2, uint16(pt.h));
}
Point Get_Point(const uint8* p) { return Point{int16(Load_LE16(p)), int16(Load_LE16(p + 2))}; }

// --- Putting on the clipboard --------------------------------------------------------------------

std::u16string Units_Of(const a_xyl_char* chars, int32 n) {
  std::u16string s;
  s.reserve(size_t(n));
  for (int32 i = 0; i < n; ++i) s.push_back(char16_t(chars[i].cc_char));
  return s;
}

// Adds a block and reads it back: whether the clipboard holds it now.
bool Add_Checked(const std::vector<uint8>& bytes, uint32 format) {
  Scrap_Add_Ptr(bytes.data(), uint32(bytes.size()), format);
  Handle h = nullptr;
  Scrap_Get_Handle(h, format);
  if (h == nullptr) return false;
  const bool same = Handle_GetSize(h) == bytes.size() &&
                    (bytes.empty() || std::memcmp(Handle_Lock(h), bytes.data(), bytes.size()) == 0);
  Handle_Unlock(h);
  Dispose_Handle(h);
  return same;
}

// The text of the characters as UTF-16 and as UTF-8, each whole and
// NUL-terminated (carriage returns become the desktop's line ends on the
// way out).
bool Add_Text(const a_xyl_char* chars, int32 n) {
  std::vector<uint8> utf16, utf8;
  try {
    const std::u16string units = Units_Of(chars, n);
    utf16.assign(size_t(n) * 2 + 2, 0);
    if (n > 0) std::memcpy(utf16.data(), units.data(), size_t(n) * 2);
    const std::string text = Host_Utf16_To_Utf8(units);
    utf8.assign(text.begin(), text.end());
    utf8.push_back(0);
  } catch (const std::bad_alloc&) {
    g_err_mem_proc(uint32(n) * 3 + 1);
    return false;
  }
  const bool wide = Add_Checked(utf16, SCRAP_UNICODETEXT);
  // Set last: the text other programs get is the whole of it.
  const bool narrow = Add_Checked(utf8, SCRAP_TEXT);
  return wide && narrow;
}

// Copies the selection; whether every format went onto the clipboard.
bool Copy_Range() {
  const a_om_rec* om = Ed_Target();
  if (om == nullptr || !Is_Editing_Text() || g_ed.sel_lo == g_ed.sel_hi) return false;
  const a_xyl_char* chars = &om->xyl[g_ed.sel_lo - 1];
  const int32 n = g_ed.sel_hi - g_ed.sel_lo;
  std::vector<uint8> range;
  try {
    range = Write_TextR(chars, n);
  } catch (const std::bad_alloc&) {
    g_err_mem_proc(uint32(n) * XYL_RECORD_BYTES + 4);
    return false;
  }
  const bool styled = Add_Checked(range, SCRAP_TEXTR);
  return Add_Text(chars, n) && styled;
}

}  // namespace

// --- The records -----------------------------------------------------------------------------

std::vector<uint8> Write_TextR(const a_xyl_char* chars, int32 n) {
  n = std::max<int32>(n, 0);
  std::vector<uint8> out(4 + size_t(n) * XYL_RECORD_BYTES, 0);
  Store_LE32(out.data(), uint32(n));
  for (int32 i = 0; i < n; ++i) Put_Xyl(out.data() + 4 + size_t(i) * XYL_RECORD_BYTES, chars[i]);
  return out;
}

bool8 Read_TextR(const uint8* data, uint32 size, std::vector<a_xyl_char>& out) {
  out.clear();
  if (data == nullptr || size < 4) return false;
  const uint32 n = Load_LE32(data);
  if (n > (size - 4) / XYL_RECORD_BYTES || 4 + uint64(n) * XYL_RECORD_BYTES != size) return false;
  const uint32 take = std::min<uint32>(n, 2 * MAX_NXYL);
  out.reserve(take);
  for (uint32 i = 0; i < take; ++i) out.push_back(Get_Xyl(data + 4 + size_t(i) * XYL_RECORD_BYTES));
  Keep_Whole(out);
  return true;
}

std::vector<uint8> Write_OM_Record(const a_om_rec& om) {
  std::vector<uint8> out(OM_RECORD_BYTES, 0);
  uint8* p = out.data();
  Put_Rect(p + kOM.bbox, om.bbox);
  Put_Point(p + kOM.anchor, om.anchor);
  Put_Point(p + kOM.rotcenter, om.rotcenter);
  for (size_t i = 0; i < std::size(kOMFlags); ++i) p[kOM.flags + i] = om.*kOMFlags[i];
  p[kOM.layout] = om.layout;
  p[kOM.justify] = om.justify;
  Store_LE32(p + kOM.fontx, om.fontx);
  for (size_t i = 0; i < std::size(kOMShorts); ++i) Store_LE16(p + kOM.shorts + 2 * i, uint16(om.*kOMShorts[i]));
  for (size_t i = 0; i < std::size(kOMColours); ++i) {
    const a_win_pixel32& c = om.*kOMColours[i];
    uint8* q = p + kOM.colours + 4 * i;
    q[0] = c.b, q[1] = c.g, q[2] = c.r, q[3] = c.a;
  }
  const int32 nxyl = std::clamp<int32>(om.nxyl, 1, MAX_NXYL);
  Store_LE32(p + kOM.nxyl, uint32(nxyl));
  for (int32 i = 0; i < nxyl; ++i) Put_Xyl(p + kOM.xyl + size_t(i) * XYL_RECORD_BYTES, om.xyl[i]);
  const uint32 nover = std::min<uint32>(om.noverflows, MAX_OVERFLOWS);
  Store_LE32(p + kOM.noverflows, nover);
  for (uint32 i = 0; i < nover; ++i) {
    Store_LE32(p + kOM.overflows + 8 * i, uint32(om.overflows[i].id));
    Put_Point(p + kOM.overflows + 8 * i + 4, om.overflows[i].pos);
  }
  return out;
}

bool8 Read_OM_Record(const uint8* data, uint32 size, a_om_rec& om) {
  if (data == nullptr || size != OM_RECORD_BYTES) return false;
  const int32 nxyl = int32(Load_LE32(data + kOM.nxyl));
  const uint32 nover = Load_LE32(data + kOM.noverflows);
  if (nxyl < 1 || nxyl > MAX_NXYL || nover > MAX_OVERFLOWS || data[kOM.layout] >= NTEXT_LAYOUTS ||
      data[kOM.justify] > JUST_RIGHT)
    return false;
  std::vector<a_xyl_char> chars;
  chars.reserve(size_t(nxyl));
  for (int32 i = 0; i < nxyl; ++i) chars.push_back(Get_Xyl(data + kOM.xyl + size_t(i) * XYL_RECORD_BYTES));
  Keep_Whole(chars);
  // Everything computed is made again by the layout.
  std::memset(static_cast<void*>(&om), 0, sizeof(a_om_rec));
  om.cache.frame.max = MAX_OM_POINTS;
  om.anchor = Get_Point(data + kOM.anchor);
  om.rotcenter = Get_Point(data + kOM.rotcenter);
  for (size_t i = 0; i < std::size(kOMFlags); ++i) om.*kOMFlags[i] = data[kOM.flags + i] != 0;
  om.layout = a_text_layout(data[kOM.layout]);
  om.justify = a_horz_just(data[kOM.justify]);
  om.fontx = Known_Font(Load_LE32(data + kOM.fontx));
  for (size_t i = 0; i < std::size(kOMShorts); ++i) om.*kOMShorts[i] = int16(Load_LE16(data + kOM.shorts + 2 * i));
  for (size_t i = 0; i < std::size(kOMColours); ++i) {
    const uint8* q = data + kOM.colours + 4 * i;
    a_win_pixel32& c = om.*kOMColours[i];
    c.b = q[0], c.g = q[1], c.r = q[2], c.a = q[3];
  }
  for (a_xyl_char& c : om.xyl) Set_XYL_Defaults(c);
  for (size_t i = 0; i < chars.size(); ++i) om.xyl[i] = chars[i];
  const int32 n = int32(chars.size());
  om.xyl[n] = a_xyl_char{};
  om.xyl[n].cc_char = EOS_CHAR;
  om.xyl[n].mm_cat = CC_EOS;
  om.nxyl = n + 1;
  // The settings within their controls' ranges (the glow style and the
  // target width have none of their own).
  Limit_OM(om);
  om.glow_radius = int16(std::clamp<int32>(om.glow_radius, 0, MAX_GLOW_RADIUS));
  om.outl_radius = int16(std::clamp<int32>(om.outl_radius, 0, MAX_OUTL_RADIUS));
  om.glow_style = int16(std::clamp<int32>(om.glow_style, 0, 255));
  om.targwidth = int16(std::clamp<int32>(om.targwidth, 0, 32767));
  om.opacity = int16(std::clamp<int32>(om.opacity, 0, 100));
  return true;
}

// --- Copy, cut and paste -------------------------------------------------------------------------

void TextR_Copy() {
  if (Ed_Target() == nullptr || g_ed.sel_lo == g_ed.sel_hi) {
    Sound_Effect(SND_NULL);
    return;
  }
  if (!Copy_Range()) Sound_Effect(SND_NULL);
}

void TextR_Cut() {
  if (Ed_Target() == nullptr || g_ed.sel_lo == g_ed.sel_hi) {
    Sound_Effect(SND_NULL);
    return;
  }
  // What could not be copied is not deleted.
  if (!Copy_Range()) {
    Sound_Effect(SND_NULL);
    return;
  }
  Ed_Delete(FIND_CHAR_BACK);
  History_Set_Pending(OP_TEXT_CUT);
}

void TextR_Paste(const uint8* data, uint32 size) {
  std::vector<a_xyl_char> chars;
  if (!Read_TextR(data, size, chars)) {
    Sound_Effect(SND_NULL);
    return;
  }
  if (gs.curr_phase != TEXT_PHASE) {
    SV_Set_Enum(SV_PHASE, TEXT_PHASE);
    SV_Finish();
  }
  if (chars.empty()) return;
  const int32 n = int32(chars.size());
  if (Is_Editing_Text() && Ed_Target() != nullptr) {
    if (!Ed_Ins_Styled(chars.data(), n)) return;
  } else {
    a_doc_unit* unit = g_doc.up;
    if (unit == nullptr || unit->oj.nlist >= MAX_OJ) {
      Sound_Effect(SND_NULL);
      return;
    }
    const int32 omx = OM_New();
    const a_oj_item* item = Obj_Item(omx);
    a_om_rec* om = item != nullptr ? item->om : nullptr;
    if (om == nullptr) return;
    for (int32 i = 0; i < n; ++i) om->xyl[i] = chars[size_t(i)];
    om->xyl[n] = a_xyl_char{};
    om->xyl[n].cc_char = EOS_CHAR;
    om->xyl[n].mm_cat = CC_EOS;
    om->nxyl = n + 1;
    Begin_Text_Change(omx);
    End_Text_Change(omx);
    Obj_Number_Changed();
    Selection_Set1(omx);
  }
  History_Set_Pending(OP_TEXT_PASTE);
}

bool8 Scrap_Add_OM(const a_om_rec* om) {
  if (om == nullptr) return false;
  std::vector<uint8> record;
  try {
    record = Write_OM_Record(*om);
  } catch (const std::bad_alloc&) {
    g_err_mem_proc(OM_RECORD_BYTES);
    return false;
  }
  const bool whole = Add_Checked(record, SCRAP_OM);
  // Other programs get the text.
  const int32 n = std::clamp<int32>(om->nxyl, 1, MAX_NXYL) - 1;
  return Add_Text(om->xyl, n) && whole;
}

void Do_Paste_OM(const uint8* data, uint32 size) {
  Ptr p = New_Ptr(sizeof(a_om_rec));
  if (p == nullptr) {
    g_err_mem_proc(sizeof(a_om_rec));
    return;
  }
  a_om_rec* om = reinterpret_cast<a_om_rec*>(p);
  if (!Read_OM_Record(data, size, *om)) {
    Dispose_Ptr(p);
    Sound_Effect(SND_NULL);
    return;
  }
  SV_Set_Enum(SV_PHASE, TEXT_PHASE);
  SV_Finish();
  OM_Dup(om);
  // The copy arrives pending, as a duplicate does: it alone is selected, so
  // that Delete, Duplicate and the sliders act on it.
  Selection_Convert_Pending();
  History_Set_Pending(OP_TEXT_PASTE);
  Dispose_Ptr(p);
}
