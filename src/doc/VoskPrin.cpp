#include "doc/VoskPrin.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "doc/VoskDoc.h"
#include "doc/VoskRend.h"
#include "doc/VoskShap.h"
#include "doc/VoskTmpl.h"
#include "objects/VoskBlok.h"
#include "objects/VoskCanv.h"
#include "pixel/Draw.h"
#include "pixel/ParsQuik.h"
#include "platform/MString.h"
#include "platform/PixMaps.h"
#include "platform/Quickdraw.h"
#include "platform/SysErr.h"
#include "platform/SysInfo.h"
#include "platform/SysKey.h"
#include "platform/SysPrint.h"
#include "platform/SysRgn.h"
#include "platform/SysSound.h"
#include "platform/SysUnicode.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskConf.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskSlid.h"

a_override_spec overrides;
a_unitcache g_unitcache;

bool8 Is_Direct_Print() { return (g_doc.doc_template.tflags & (uint32(1) << IS_CDPRINTER)) != 0; }

bool8 Is_Small_Paper() {
  return Calc_Direct_Print_Kind() == NOT_DIRECT && g_doc.doc_template.papersize.x < 210.0f;
}

bool8 LaserJet_Toggle() { return gs.toggle_vals[LASERJET_TOGGLE]; }

void Calc_Circular_Mask(uint8 outer_translucency, int16 inner_feather, int16 outer_feather, const a_unit& spec,
                        GWorldPtr mask) {
  if (mask == nullptr || mask->pix.pixelSize != 8 || mask->pix.baseAddr == nullptr) return;
  const PixMap& pix = mask->pix;
  const int32 w = int32(pix.bounds.right) - pix.bounds.left, h = int32(pix.bounds.bottom) - pix.bounds.top;
  if (w <= 0 || h <= 0) return;
  const uint32 stride = PixMap_RowBytes(pix);
  uint8* const base = reinterpret_cast<uint8*>(pix.baseAddr);
  const uint8 outside = outer_translucency;

  const double boxw = double(spec.bbox.right) - spec.bbox.left;
  const double total = boxw + std::max(0.0f, spec.bleed.left) + std::max(0.0f, spec.bleed.right);
  if (!(boxw > 0) || !(total > 0) || !std::isfinite(total)) {
    for (int32 y = 0; y < h; ++y) std::memset(base + size_t(y) * stride, outside, size_t(w));
    return;
  }
  // Diameters in mask pixels; the radii of the ramps' far ends.
  const double disc = std::round(w * boxw / total);
  const double hole = std::max(0.0, std::round(w * double(spec.meas[0]) / total));
  const double big_r = std::floor(disc / 2), small_r = std::floor(hole / 2);
  const double r_in = std::max(0.0, big_r - std::max<int16>(outer_feather, 0) * double(w) / 100.0);
  const double r_out = small_r + std::max<int16>(inner_feather, 0) * double(w) / 100.0;
  const double big_r2 = big_r * big_r, small_r2 = small_r * small_r;
  const double r_in2 = r_in * r_in, r_out2 = r_out * r_out;
  const double cx = w / 2.0, cy = h / 2.0;

  const auto level = [&](double q) -> uint8 {
    if (q > big_r2 || q < small_r2) return outside;
    if (q > r_out2) {
      // The rim: from nothing at r_in up to the outside's level at the edge.
      if (q < r_in2 || big_r <= r_in) return 0;
      return uint8(std::lround(outside * std::min(1.0, (std::sqrt(q) - r_in) / (big_r - r_in))));
    }
    // The hole's edge: from the outside's level at the hole down to nothing at r_out.
    if (r_out <= small_r) return 0;
    return uint8(std::lround(outside * std::max(0.0, 1.0 - (std::sqrt(q) - small_r) / (r_out - small_r))));
  };
  for (int32 y = 0; y < (h + 1) / 2; ++y) {
    uint8* const top = base + size_t(y) * stride;
    uint8* const bottom = base + size_t(h - 1 - y) * stride;
    const double dy = y + 0.5 - cy;
    for (int32 x = 0; x < (w + 1) / 2; ++x) {
      const double dx = x + 0.5 - cx;
      const uint8 v = level(dx * dx + dy * dy);
      top[x] = top[w - 1 - x] = bottom[x] = bottom[w - 1 - x] = v;
    }
  }
}

void VoskPrin_Init() {
  std::memset(static_cast<void*>(&overrides), 0, sizeof overrides);
}

void Get_Template_Name(UStrSpan name) {
  if (name.empty()) return;
  name[0] = 0;
  if (g_doc.doc_open) Filter_Template_Name(g_doc.doc_template.label, name);
}

// --- Printing --------------------------------------------------------------------------

namespace {

constexpr RGBColor kBlack{0, 0, 0};

constexpr uint32 Flag(uint8 bit) { return uint32(1) << bit; }

bool8 Unit_Has(uint32 ux, uint8 flag) {
  return ux >= 1 && ux <= g_doc.doc_template.nunits && (g_doc.doc_template.units[ux - 1].uflags & Flag(flag)) != 0;
}

// The 32-bit picture turned half a turn, or mirrored across or down, in place.
void Reverse_Rows(GWorldPtr w, bool across, bool down) {
  PixMap& pix = w->pix;
  const int32 width = int32(pix.bounds.right) - pix.bounds.left, height = int32(pix.bounds.bottom) - pix.bounds.top;
  const uint32 stride = PixMap_RowBytes(pix);
  uint8* const base = reinterpret_cast<uint8*>(pix.baseAddr);
  const auto row = [&](int32 y) { return reinterpret_cast<uint32*>(base + size_t(y) * stride); };
  if (across)
    for (int32 y = 0; y < height; ++y) std::reverse(row(y), row(y) + width);
  if (down)
    for (int32 y = 0; y < height / 2; ++y) std::swap_ranges(row(y), row(y) + width, row(height - 1 - y));
}

int32 Points_To_Dots(int32 points) { return points * g_print.resolution / 72; }

// Text drawn with its baseline at (h, v); centred on h when centred.
void Print_Label(const char* text, int32 h, int32 v, int32 points, bool centred) {
  TextSize(Points_To_Dots(points));
  const CStrSpan s(text, std::strlen(text));
  if (centred) h -= StringWidth(s) / 2;
  MoveTo(int16(h), int16(v));
  DrawString(s);
}

void Crosshair(int32 h, int32 v, int32 half) {
  MoveTo(int16(h - half), int16(v));
  LineTo(int16(h + half), int16(v));
  MoveTo(int16(h), int16(v - half));
  LineTo(int16(h), int16(v + half));
}

// The largest unit by the area of its box (the last of equal ones).
uint32 Largest_Unit() {
  uint32 best = 0;
  float best_area = -1;
  for (uint32 ux = 1; ux <= g_doc.doc_template.nunits; ++ux) {
    const a_frect& b = g_doc.doc_template.units[ux - 1].bbox;
    const float area = (b.right - b.left) * (b.bottom - b.top);
    if (area >= best_area) best_area = area, best = ux;
  }
  return best;
}

}  // namespace

namespace {
// The farthest any unit reaches from the sheet's corner, in millimetres,
// with its bleeds, the nudge and the disc printer's adjustments.
float Print_Extent() {
  float reach = 0;
  for (uint32 ux = 1; ux <= g_doc.doc_template.nunits && ux <= MAXNUNITS; ++ux) {
    a_unit adjusted{};
    Calc_Adjusted_Unit(true, true, 1, Calc_Direct_Print_Kind(), g_doc.doc_template.units[ux - 1], adjusted);
    for (const float e : {adjusted.bbox.left, adjusted.bbox.top, adjusted.bbox.right, adjusted.bbox.bottom})
      if (std::isfinite(e)) reach = std::max(reach, std::fabs(e));
  }
  return reach;
}
}  // namespace

void Calc_Paper_Size(bool8& landscapef, a_fpoint& paper_fed, a_fpoint& paper_eff) {
  paper_fed = g_doc.doc_template.papersize;
  landscapef = Is_Landscape();
  paper_eff = paper_fed;
  if (landscapef) std::swap(paper_eff.x, paper_eff.y);
}

bool8 Is_Null_Print() {
  for (uint32 ux = 1; ux <= g_doc.doc_template.nunits; ++ux) {
    const a_doc_unit* u = Doc_Unit(ux);
    if (u != nullptr && u->printf) return false;
  }
  return true;
}

bool8 Is_Unit_Bled(const a_unit& unit) {
  return unit.bleed.left != 0 || unit.bleed.top != 0 || unit.bleed.right != 0 || unit.bleed.bottom != 0;
}

bool8 Is_Unit_Empty(uint32 ux) {
  const a_doc_unit* u = Doc_Unit(ux);
  if (u == nullptr) return true;
  return Is_No_Canvas(u->canv.cv) && u->oj.nlist <= 1 && !u->paintinuse;
}

int32 MMT_To_Dots(int32 mmt) { return mmt * g_print.resolution / 254; }

bool8 UnitCache_Init(uint32 ux) {
  UnitCache_Stop();
  a_doc_unit* u = Doc_Unit(ux);
  if (u == nullptr) return false;
  GWorldPtr world = nullptr;
  if (!Render_Unit_Print(ux, u, u->paintbounds, world) || world == nullptr) return false;
  const bool turn = Unit_Has(ux, UNIT_ROTATE180);
  if (turn) Reverse_Rows(world, true, true);
  if (Unit_Has(ux, UNIT_FLIPX)) Reverse_Rows(world, true, false);
  if (Unit_Has(ux, UNIT_FLIPY)) Reverse_Rows(world, false, true);
  g_unitcache.masterx = ux;
  g_unitcache.gworld = world;
  g_unitcache.bounds = u->paintbounds;
  return true;
}

void UnitCache_Stop() {
  if (g_unitcache.gworld != nullptr) Dispose_GWorld(g_unitcache.gworld);
  g_unitcache = a_unitcache{};
}

namespace {
// The unit's box on the page, with its bleeds or without them (the cut).
void Unit_Device_Box(uint32 ux, bool8 bleedf, Rect& dest) {
  a_unit adjusted{};
  Calc_Adjusted_Unit(bleedf, true, 1, Calc_Direct_Print_Kind(), g_doc.doc_template.units[ux - 1], adjusted);
  a_iunit iunit{};
  Map_Unit(adjusted, iunit);
  dest = iunit.bbox;
}
}  // namespace

// The unit's picture covers the unit and its bleeds: it goes on the bled box.
void Calc_Unit_Device_Rect(uint32 ux, Rect& dest) { Unit_Device_Box(ux, true, dest); }

void Calc_Unit_Clipping(uint32 ux, const Rect& dest, RgnHandle& rgn) {
  rgn = nullptr;
  if (!Unit_Has(ux, UNIT_CLOBBERS)) return;
  OvalRgn(dest, rgn);
}

void Print_Unit2(uint32 ux) {
  const a_doc_unit* u = Doc_Unit(ux);
  if (u == nullptr) return;
  const uint32 m = u->clonef ? Find_Clone_Master(ux) : ux;
  if (m == 0 || Is_Unit_Empty(m)) return;
  if (g_unitcache.masterx != m && !UnitCache_Init(m)) return;
  Rect dest;
  Calc_Unit_Device_Rect(ux, dest);
  RgnHandle clip = nullptr;
  Calc_Unit_Clipping(ux, dest, clip);
  VP_Blt(g_unitcache.gworld, g_unitcache.bounds, dest, clip);
  if (clip != nullptr) DisposeRgn(clip);
  if (Unit_Has(ux, UNIT_CROPMARKS)) {
    Rect cut;
    Unit_Device_Box(ux, false, cut);
    Print_CropMarks(ux, cut);
  }
}

void Print_CropMarks(uint32 ux, const Rect& dest) {
  switch (Unit_Kind_Shape(g_doc.doc_template.units[ux - 1].kind)) {
    case SHAPE_RECT:
    case SHAPE_ROUNDRECT:
    case SHAPE_BOOKLET:
    case SHAPE_MULTIPART:
    case SHAPE_SLIMLINE:
    case SHAPE_JEWELBASE:
    case SHAPE_SUPERJEWELN: break;
    default: return;
  }
  PenNormal();
  RGBForeColor(kBlack);
  const int32 pen = std::max<int32>(MMT_To_Dots(2), 2);
  const int32 gap = MMT_To_Dots(10), len = MMT_To_Dots(40);
  const auto mark = [](int32 top, int32 left, int32 bottom, int32 right) {
    PaintRect(Rect{int16(top), int16(left), int16(bottom), int16(right)});
  };
  // In line with the cut, beginning outside the bleed printed round it.
  Rect bled;
  Calc_Unit_Device_Rect(ux, bled);
  const int32 top = std::min<int32>(dest.top, bled.top), bottom = std::max<int32>(dest.bottom, bled.bottom);
  const int32 left = std::min<int32>(dest.left, bled.left), right = std::max<int32>(dest.right, bled.right);
  // Above and below, in line with the left and right sides.
  for (const int32 h : {int32(dest.left), int32(dest.right) - pen}) {
    mark(top - gap - len, h, top - gap, h + pen);
    mark(bottom + gap, h, bottom + gap + len, h + pen);
  }
  // Left and right, in line with the top and bottom (and a booklet's fold).
  std::vector<int32> rows = {dest.top, int32(dest.bottom) - pen};
  if (Unit_Kind_Shape(g_doc.doc_template.units[ux - 1].kind) == SHAPE_BOOKLET)
    rows.push_back((int32(dest.top) + dest.bottom - pen) / 2);
  for (const int32 v : rows) {
    mark(v, left - gap - len, v + pen, left - gap);
    mark(v, right + gap, v + pen, right + gap + len);
  }
}

void Draw_Color_Bars(bool8 chips, uint8 kind, const Rect& rect) {
  const int32 height = int32(rect.bottom) - rect.top;
  const int32 centre = (int32(rect.left) + rect.right) / 2;
  PenNormal();
  if (chips) {
    const int32 side = MMT_To_Dots(60), gap = MMT_To_Dots(20);
    const int32 total = 7 * side + 6 * gap;
    int32 percent = 70;
    if (kind == UNIT_CD || kind == UNIT_MINICD_HOCKEY || kind == UNIT_MINICD_RECT) percent = 80;
    if (kind == UNIT_AUDIO_FACE) percent = 85;
    const int32 top = rect.top + height * percent / 100;
    static constexpr std::array<RGBColor, 7> kChips = {{{0xFFFF, 0, 0},
                                                        {0, 0xFFFF, 0},
                                                        {0, 0, 0xFFFF},
                                                        {0, 0xFFFF, 0xFFFF},
                                                        {0xFFFF, 0, 0xFFFF},
                                                        {0xFFFF, 0xFFFF, 0},
                                                        {0, 0, 0}}};
    static constexpr const char* kNames[7] = {"R", "G", "B", "C", "M", "Y", "K"};
    const int32 label = Points_To_Dots(12);
    for (int32 i = 0; i < 7; ++i) {
      const int32 left = centre - total / 2 + i * (side + gap);
      const Rect chip{int16(top), int16(left), int16(top + side), int16(left + side)};
      RGBForeColor(kChips[size_t(i)]);
      PaintRect(chip);
      RGBForeColor(kBlack);
      FrameRect(chip);
      Print_Label(kNames[i], left + side / 2, top - label / 4, 12, true);
    }
  }
  RGBForeColor(kBlack);
  uStr63 name{};
  Get_Template_Name(name);
  char utf8[256] = {};
  UTF16_To_UTF8(name, utf8);
  Print_Label(utf8, centre, rect.top + height * 22 / 100, 10, true);
}

void Draw_Corner_Mark(int32 h, int32 v, const char* label) {
  if (Is_Small_Paper() && LaserJet_Toggle()) return;
  const int32 x = g_print.paperbox.left + MMT_To_Dots(h), y = g_print.paperbox.top + MMT_To_Dots(v);
  PenNormal();
  RGBForeColor(kBlack);
  Crosshair(x, y, MMT_To_Dots(20));
  Print_Label(label, x + MMT_To_Dots(10), y - MMT_To_Dots(10), 10, false);
}

void Print_Paper_Test(bool8 chips, uint32 ux) {
  const a_unit& unit = g_doc.doc_template.units[ux - 1];
  const int16 thin = int16(std::max<int32>(MMT_To_Dots(1), 1));
  Rect used;
  RGBForeColor(kBlack);
  if (Is_Unit_Bled(unit)) Outline_Shape(ux, true, DASHED_LINE, thin, int16(MMT_To_Dots(13)), false, FULL_BLEED, used);
  Outline_Shape(ux, true, SOLID_LINE, thin, 0, false, SUPRESS_BLEED, used);
  PenNormal();
  RGBForeColor(kBlack);
  Crosshair((int32(used.left) + used.right) / 2, (int32(used.top) + used.bottom) / 2, MMT_To_Dots(20));
  if (ux != Largest_Unit()) return;
  Draw_Color_Bars(chips, unit.kind, used);
  Draw_Corner_Mark(200, 200, "20 mm");
  Draw_Corner_Mark(254, 254, "1 inch");
}

void Print_Direct_Test(bool8 chips, uint32 ux) {
  const a_unit& unit = g_doc.doc_template.units[ux - 1];
  Rect dest;
  Unit_Device_Box(ux, false, dest);
  PenNormal();
  RGBForeColor(kBlack);
  if (unit.kind == UNIT_CD) {
    const int32 h = (int32(dest.left) + dest.right) / 2, v = (int32(dest.top) + dest.bottom) / 2;
    const int32 r = MMT_To_Dots(550);
    FrameOval(Rect{int16(v - r), int16(h - r), int16(v + r), int16(h + r)});
  }
  if (ux == Largest_Unit()) Draw_Color_Bars(chips, unit.kind, dest);
}

void Print_Unit(a_print_purpose purpose, uint32 ux) {
  if (purpose == PRINT_UNITS) {
    Print_Unit2(ux);
    return;
  }
  const bool8 chips = purpose == PRINT_TEST_SHEET;
  if (Is_Direct_Print())
    Print_Direct_Test(chips, ux);
  else
    Print_Paper_Test(chips, ux);
}

void Print_Doc3(a_print_purpose purpose) {
  a_coord_mapping mapping{};
  mapping.multx = mapping.multy = float(g_print.resolution) / 25.4f;
  mapping.originx = g_print.paperbox.left;
  mapping.originy = g_print.paperbox.top;
  Push_Mapping(mapping);
  for (uint32 ux = 1; ux <= g_doc.doc_template.nunits; ++ux) {
    const a_doc_unit* u = Doc_Unit(ux);
    if (purpose == PRINT_UNITS && (u == nullptr || !u->printf)) continue;
    Print_Unit(purpose, ux);
  }
  UnitCache_Stop();
  Pop_Mapping();
}

namespace {
// The job's name: the document's file name without its suffix, so that a
// print to a file is named after the document ("Velmor Job" without one).
std::string Job_Name() {
  const a_filename& full = g_doc.doc_path.name;
  std::string name(full, strnlen(full, sizeof full));
  const size_t slash = name.find_last_of('/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name.empty() ? std::string("Velmor Job") : name;
}
}  // namespace

bool8 Print_Doc2(a_print_purpose purpose, bool8 askjob) {
  bool8 landscape = false;
  a_fpoint paper_fed{}, paper_eff{};
  Calc_Paper_Size(landscape, paper_fed, paper_eff);
  const uint32 flags = (g_doc.doc_template.tflags & Flag(IS_DYMO_ZADAZ)) != 0 ? PJ_Set(PJ_ZADAZ) : 0;
  const bool8 dialog = askjob && !info_is_cmdline;
  int16 nreps = 1;
  g_print_extent_mm = Print_Extent();
  const std::string job = Job_Name();
  // The disc printer's driver makes the copies the panel asks for.
  g_print_copies = gs.slider_vals[PRINT_NCOPIES_SLIDER];
  if (!VP_Init(dialog, true, landscape, paper_fed, flags, job.c_str(), nreps)) return false;
  uint32 pages = 0;
  bool8 page_failed = false;
  int page_error = 0;
  bool8 delivered = false;
  if (VP_OpenDoc()) {
    for (int16 copy = 1; copy <= nreps && !abort_printing; ++copy) {
      errno = 0;
      if (!VP_OpenPage()) {
        page_failed = true;
        page_error = errno;
        continue;
      }
      Print_Doc3(purpose);
      if (VP_ClosePage()) ++pages;
    }
    if (pages == 0 && !abort_printing) {
      // Nothing is on the job: it is dropped, never delivered as a print.
      if (g_print.hdc != nullptr) AbortDoc(g_print.hdc);
    } else if (!abort_printing) {
      delivered = VP_CloseDoc();
    }
  }
  const bool8 cancelled = abort_printing;
  VP_Stop(flags);
  if (pages == 0 && page_failed && !cancelled) {
    const std::string reason = page_error != 0 ? std::strerror(page_error) : "the printer refused it";
    Param_Text(CStrSpan(reason.c_str(), reason.size() + 1), "", "", "");
    OK_Alert(false, 81);
  }
  return pages > 0 && delivered && !cancelled;
}

bool8 Print_Doc1(bool8 askjob) {
  if (Is_Null_Print()) {
    OK_Alert(false, 48);
    return false;
  }
  if (g_doc.doc_template.nunits >= 1 && g_doc.doc_template.units[0].kind == UNIT_DVDBOX_WRAP &&
      Is_Equal_PaperSize(g_doc.doc_template.papersize, a_fpoint{215.9f, 279.4f})) {
    if (Ask_YesNoCancel(DLOG_ALERT2, 256, 8, 105, 0) != 0) return false;
  }
  return Print_Doc2(PRINT_UNITS, askjob);
}

bool8 Print_Doc() { return Print_Doc1(true); }
bool8 Print1_Doc() { return Print_Doc1(false); }
bool8 Print_Test() { return Print_Doc2(PRINT_TEST_SHEET, true); }

bool8 Print_Template(const a_template& tmpl) {
  const a_template own = g_doc.doc_template;
  g_doc.doc_template = tmpl;
  const bool8 ok = Print_Doc2(PRINT_TEMPLATE_SHEET, true);
  g_doc.doc_template = own;
  return ok;
}

// --- Nudges and adjustments -----------------------------------------------------------------

bool8 Set_Nudge(int16 h, int16 v) {
  if (h < -800 || h > 800 || v < -800 || v > 800) {
    Sound_Effect(136);
    return false;
  }
  a_print_media_spec spec{};
  Get_Media_Specs(spec);
  spec.nudge.h = h;
  spec.nudge.v = v;
  Set_Media_Specs(spec);
  for (const a_oneshot_enum ix : {PRINT_NUDGE_U, PRINT_NUDGE_R, PRINT_NUDGE_D, PRINT_NUDGE_L, PRINT_NUDGE_0})
    OneShot_Inval(ix);
  // The read-outs across and down, and the preview with its un-nudged ghost.
  Node_Inval(NUDGE_X_LABEL_LOC);
  Node_Inval(NUDGE_Y_LABEL_LOC);
  Custom_Inval(CUSTOM_PREVIEW);
  return true;
}

int16 Nudge() {
  const bool8 shift = ShiftKeyDown();
  if (Is_Direct_Print()) return shift ? 10 : 1;
  return shift ? 25 : 5;
}

namespace {
void Nudge_By(int32 dh, int32 dv) {
  a_print_media_spec spec{};
  Get_Media_Specs(spec);
  const int32 h = spec.nudge.h + dh, v = spec.nudge.v + dv;
  if (h < INT16_MIN || h > INT16_MAX || v < INT16_MIN || v > INT16_MAX) {
    Sound_Effect(136);
    return;
  }
  Set_Nudge(int16(h), int16(v));
}
}  // namespace

void Print_Nudge_U() { Nudge_By(0, -Nudge()); }
void Print_Nudge_D() { Nudge_By(0, Nudge()); }
void Print_Nudge_L() { Nudge_By(-Nudge(), 0); }
void Print_Nudge_R() { Nudge_By(Nudge(), 0); }
void Print_Nudge_0() { Set_Nudge(0, 0); }

void Load_Print_Adjust() {
  const a_direct_print_kind kind = Calc_Direct_Print_Kind();
  if (kind == NOT_DIRECT) return;
  a_slider_item& outer = g_sliders[PRINT_OUTERD_SLIDER];
  if (kind == CD_DIRECT) {
    outer.minval = PRINT_OUTERD_CD_MIN, outer.maxval = PRINT_OUTERD_CD_MAX, outer.defaultval = 1180;
  } else {
    outer.minval = PRINT_OUTERD_MINI_MIN, outer.maxval = PRINT_OUTERD_MINI_MAX, outer.defaultval = 780;
  }
  a_print_media_spec spec{};
  Get_Media_Specs(spec);
  if (kind == RECT_DIRECT) {
    Slider_Blast(PRINT_WIDTH_SLIDER, spec.adj[1]);
    Slider_Blast(PRINT_HEIGHT_SLIDER, spec.adj[2]);
    return;
  }
  Slider_Blast(PRINT_INNERD_SLIDER, spec.adj[0]);
  Slider_Blast(PRINT_OUTERD_SLIDER, spec.adj[1]);
  Slider_Blast(PRINT_BIZSIDE_SLIDER, spec.adj[2]);
  Slider_Blast(PRINT_DENSITY_SLIDER, spec.adj[3]);
  Slider_Blast(PRINT_QUALITY_SLIDER, spec.adj[4]);
}

void Delta_Print_Adjust() {
  const a_direct_print_kind kind = Calc_Direct_Print_Kind();
  // The sliders show only for a disc printer's layout; a step for them on
  // another layout (a script's) is a press nothing uses.
  if (kind == NOT_DIRECT) {
    Sound_Effect(SND_NULL);
    return;
  }
  a_print_media_spec spec{};
  Get_Media_Specs(spec);
  spec.adj[0] = gs.slider_vals[PRINT_INNERD_SLIDER];
  if (kind == RECT_DIRECT) {
    spec.adj[1] = gs.slider_vals[PRINT_WIDTH_SLIDER];
    spec.adj[2] = gs.slider_vals[PRINT_HEIGHT_SLIDER];
  } else {
    spec.adj[1] = gs.slider_vals[PRINT_OUTERD_SLIDER];
    spec.adj[2] = gs.slider_vals[PRINT_BIZSIDE_SLIDER];
  }
  Set_Media_Specs(spec);
}

void Final_Print_Adjust() {
  a_doc_unit* u = g_doc.up;
  if (u == nullptr) return;
  ++u->statics[OUTERMASK_LAYER].targ_seq;
  Unit_PostRender(u);
  Custom_Inval(CUSTOM_PREVIEW);
}

// --- Export and dimension texts -------------------------------------------------------------

namespace {

// The resolution the unit's picture has on paper: its pixels over the
// unit's size (a disc's 1200 pixels span 120 mm: 254 dpi). Other programs
// show the exported picture at the unit's own size by it. The longer side is
// measured on both, so a picture turned with its unit agrees too.
int32 Unit_Picture_Dpi(uint32 ux, const Rect& bounds) {
  constexpr int32 kDefaultDpi = 300;
  if (ux == 0 || ux > g_doc.doc_template.nunits) return kDefaultDpi;
  const a_frect& box = g_doc.doc_template.units[ux - 1].bbox;
  const double mm = std::max(double(box.right) - box.left, double(box.bottom) - box.top);
  const int32 pixels = std::max(int32(bounds.right) - bounds.left, int32(bounds.bottom) - bounds.top);
  if (!(mm > 0.5) || pixels <= 0) return kDefaultDpi;
  return std::clamp(int32(std::lround(pixels * 25.4 / mm)), int32(1), int32(100000));
}

}  // namespace

int32 Export_Unit(uint32 ux, a_file_format format, const FSSpec& path) {
  int32 err = -108;
  if (UnitCache_Init(ux))
    err = Export_World(format, Unit_Picture_Dpi(ux, g_unitcache.bounds), path, FourCC("DADO"), g_unitcache.gworld);
  UnitCache_Stop();
  if (err != 0) {
    const std::string number = std::to_string(err);
    Param_Text(CStrSpan(number.c_str(), number.size() + 1), "", "", "");
    OK_Alert(false, 49);
  }
  return err;
}

void To_MM_Str(int32 mmt, StrSpan s) {
  if (s.empty()) return;
  const bool negative = mmt < 0;
  const int64 a = negative ? -int64(mmt) : int64(mmt);
  std::string text = (negative ? "-" : "") + std::to_string(a / 10);
  if (a % 10 != 0) {
    char mark = '.';
    Get_Decimal_Mark(mark);
    text += mark;
    text += char('0' + a % 10);
  }
  text += " mm";
  const size_t n = std::min(text.size(), s.size() - 1);
  std::memcpy(s.data(), text.data(), n);
  s[n] = 0;
}

void To_IN_Str(int32 mmt, StrSpan s) {
  if (s.empty()) return;
  const bool negative = mmt < 0;
  const int64 v = (negative ? -int64(mmt) : int64(mmt)) * 1000 / 254 + 5;
  std::string text = (negative ? "-" : "") + std::to_string(v / 1000);
  if (v % 1000 >= 10) {
    char mark = '.';
    Get_Decimal_Mark(mark);
    text += mark;
    text += char('0' + (v % 1000) / 100);
    text += char('0' + (v % 100) / 10);
  }
  text += " in";
  const size_t n = std::min(text.size(), s.size() - 1);
  std::memcpy(s.data(), text.data(), n);
  s[n] = 0;
}

// --- Dimension arrows -----------------------------------------------------------------------

namespace {

constexpr int16 kArrowHead = 5;  // pixels back from the tip

// Lines one pixel thick covering both ends.
void H_Line(int32 h1, int32 h2, int32 v) {
  PaintRect(Rect{int16(v), int16(std::min(h1, h2)), int16(v + 1), int16(std::max(h1, h2) + 1)});
}
void V_Line(int32 v1, int32 v2, int32 h) {
  PaintRect(Rect{int16(std::min(v1, v2)), int16(h), int16(std::max(v1, v2) + 1), int16(h + 1)});
}
// Arrow heads as stacked lines widening back from the tip.
void L_Arrow(int32 h, int32 v) {
  for (int32 i = 0; i < kArrowHead; ++i) V_Line(v - i, v + i, h + i);
}
void R_Arrow(int32 h, int32 v) {
  for (int32 i = 0; i < kArrowHead; ++i) V_Line(v - i, v + i, h - i);
}
void U_Arrow(int32 h, int32 v) {
  for (int32 i = 0; i < kArrowHead; ++i) H_Line(h - i, h + i, v + i);
}
void D_Arrow(int32 h, int32 v) {
  for (int32 i = 0; i < kArrowHead; ++i) H_Line(h - i, h + i, v - i);
}

void Length_Text(int32 mmt, bool8 inches, char (&s)[32]) {
  if (inches)
    To_IN_Str(mmt, s);
  else
    To_MM_Str(mmt, s);
}

}  // namespace

void Draw_Arrow_H(int16 h1, int16 h2, int16 v, int32 mmt, bool8 inches) {
  if (h2 < h1) std::swap(h1, h2);
  H_Line(h1, h2 - 1, v);
  L_Arrow(h1, v);
  R_Arrow(h2 - 1, v);
  char s[32];
  Length_Text(mmt, inches, s);
  const CStrSpan text(s, std::strlen(s));
  MoveTo(int16((int32(h1) + h2 - StringWidth(text)) / 2), int16(v - kArrowHead - 2));
  DrawString(text);
}

void Draw_Arrow_V(int16 v1, int16 v2, int16 h, int32 mmt, bool8 inches) {
  if (v2 < v1) std::swap(v1, v2);
  V_Line(v1, v2 - 1, h);
  U_Arrow(h, v1);
  D_Arrow(h, v2 - 1);
  char s[32];
  Length_Text(mmt, inches, s);
  const CStrSpan text(s, std::strlen(s));
  MoveTo(int16(h + kArrowHead + 2), int16((int32(v1) + v2) / 2));
  DrawString(text);
}

void Echo_Template(const Rect& box, int16 which) {
  if (!g_doc.doc_open || g_doc.doc_template.nunits == 0) return;
  a_unit unit{};
  Calc_Adjusted_Unit(false, false, 1, Calc_Direct_Print_Kind(), g_doc.doc_template.units[0], unit);
  Push_Fit_Mapping(unit.bbox, box);
  a_iunit iunit{};
  Map_Unit(unit, iunit);
  RgnHandle rgn = NewRgn();
  Calc_Unit_Region(true, iunit, rgn);
  RGBColor fore;
  GetForeColor(fore);
  RGBForeColor(RGBColor{27 * 257, 51 * 257, 85 * 257});
  PaintRgn(rgn);
  DisposeRgn(rgn);
  RGBForeColor(kBlack);
  const Rect& b = iunit.bbox;
  const int16 ch = int16((int32(b.left) + b.right) / 2), cv = int16((int32(b.top) + b.bottom) / 2);
  const float w = unit.bbox.right - unit.bbox.left, h = unit.bbox.bottom - unit.bbox.top;
  const bool8 inches = (g_doc.doc_template.tflags & Flag(IS_INCHES)) != 0;
  switch (which) {
    case 0: Draw_Arrow_H(b.left, b.right, cv, int32(std::lround(w * 10)), inches); break;
    case 1: {
      const int16 half = int16(iunit.imeas[0] / 2);
      Draw_Arrow_H(int16(ch - half), int16(ch + half), cv, int32(std::lround(unit.meas[0] * 10)), inches);
      break;
    }
    case 2: Draw_Arrow_V(b.top, b.bottom, ch, int32(std::lround(h * 10)), inches); break;
    default: break;
  }
  RGBForeColor(fore);
  Pop_Mapping();
}
