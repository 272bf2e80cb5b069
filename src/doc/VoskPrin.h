// The printing module: the document's pages (each unit marked for printing
// rendered once per master and placed on the paper through the print
// mapping, nudged and adjusted for the medium), test and outline sheets,
// the media's nudges and adjustments, the export of one unit, the
// dimension arrows of the echoes and the disc mask; also the command-line
// override record (the settings of an override run, "/IF", "/OF", "/CX" ...;
// the input and output files are acted on, the others are kept) and what
// the layout's geometry asks of printing: small paper and the LaserJet
// feed setting.
#pragma once

#include "platform/SysIO.h"
#include "platform/SysWin.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

enum a_override_parm : uint8 {
  IF_PARM = 0,
  OF_PARM = 1,
  CX_PARM = 2,
  CY_PARM = 3,
  DO_PARM = 4,
  DI_PARM = 5,
  DS_PARM = 6,
  SN_PARM = 7,
};

struct a_override_spec {
  uint8 flags;  // set of a_override_parm
  FSSpec if_file;
  FSSpec of_file;
  int16 cx, cy, do_, di, ds;  // "/DO" is stored in do_
  char s[10][256];            // "/S0" .. "/S9", NUL-terminated
};

extern a_override_spec overrides;

// The open document's layout prints straight onto a disc (IS_CDPRINTER).
bool8 Is_Direct_Print();

// The open document prints on a page printer (not straight onto a disc) on
// paper narrower than 210 mm.
bool8 Is_Small_Paper();

// The print panel's LaserJet feed toggle (LASERJET_TOGGLE): small paper is
// fed through a manual slot that centres it in a Letter-width feed.
bool8 LaserJet_Toggle();


// The round mask of a disc unit in mask (an 8-bit world: 0 shows the
// label, 255 covers it). The mask's width spans the unit's box plus its left
// and right bleeds; the disc fills the box and its hole is meas1 across,
// both centred in the mask. Outside the disc and inside the hole the mask
// holds outer_translucency. outer_feather and inner_feather (per cent of
// the mask's width) fade the rim inward and the hole's edge outward from
// outer_translucency to 0; a feather of 0 is a hard edge. Pixels are
// measured at their centres, and the mask is symmetric about both axes.
// A unit of no width leaves the whole mask at outer_translucency.
void Calc_Circular_Mask(uint8 outer_translucency, int16 inner_feather, int16 outer_feather, const a_unit& spec,
                        GWorldPtr mask);

// Module start-up: clears the override record and the feed toggle.
void VoskPrin_Init();

// The name of the open document's layout (empty with none open). The name
// as printed comes with printing; until then the layout's own label.
void Get_Template_Name(UStrSpan name);

// --- Printing --------------------------------------------------------------------------

// The rendered picture of one master unit, kept while a print pass runs so
// that its clones print the same picture: masterx 0 holds nothing.
struct a_unitcache {
  uint32 masterx;
  GWorldPtr gworld;  // the unit rendered over bounds, turned and flipped as its unit says
  Rect bounds;       // the unit's paintbounds
};
extern a_unitcache g_unitcache;

// What a print pass draws: 0 a test sheet (outlines with colour chips), 1
// an outline sheet of a layout (no chips), 2 the units marked for printing.
enum a_print_purpose : int16 { PRINT_TEST_SHEET = 0, PRINT_TEMPLATE_SHEET = 1, PRINT_UNITS = 2 };

// The print commands. Each is TRUE when a job was delivered with at least
// one page on it; FALSE when nothing was printed (nothing marked, the
// question or the print dialog refused, no printer, a page that could not
// be started, a job cancelled or not delivered), after telling the user.
bool8 Print_Doc();   // with the print dialog
bool8 Print1_Doc();  // without it
bool8 Print_Test();
// An outline sheet of tmpl, printed as if it were the document's layout.
bool8 Print_Template(const a_template& tmpl);
// askjob: show the print dialog (never in a command-line run). Refuses with
// alert 48 when no unit is marked; a DVD wrap on Letter paper asks first.
bool8 Print_Doc1(bool8 askjob);
bool8 Print_Doc2(a_print_purpose purpose, bool8 askjob);
// One page: every unit of the pass through the print mapping.
void Print_Doc3(a_print_purpose purpose);

// The sheet: paper_fed the layout's paper size, paper_eff the same turned
// for a landscape page.
void Calc_Paper_Size(bool8& landscapef, a_fpoint& paper_fed, a_fpoint& paper_eff);
// No unit is marked for printing.
bool8 Is_Null_Print();
// Any of the unit's bleeds is other than 0 (-0 is 0).
bool8 Is_Unit_Bled(const a_unit& unit);
// Unit ux has nothing to print: a white canvas, no objects and no paint.
// A unit that is not there is empty.
bool8 Is_Unit_Empty(uint32 ux);
// Tenths of a millimetre in printer dots.
int32 MMT_To_Dots(int32 mmt);

// The unit cache: unit ux rendered for print, then turned 180 degrees and
// flipped as its layout unit says. FALSE (cache empty) when it could not be.
bool8 UnitCache_Init(uint32 ux);
void UnitCache_Stop();
void Print_Unit(a_print_purpose purpose, uint32 ux);
// Unit ux (a clone prints its master's picture) placed on the page at its
// position, nudged and adjusted for the medium, clipped to its circle when
// the unit says so, crop marks after it.
void Print_Unit2(uint32 ux);
// The unit's device rectangle on the page (its box grown by its bleeds,
// through the print mapping, nudged and adjusted): where its picture goes.
void Calc_Unit_Device_Rect(uint32 ux, Rect& dest);
// rgn := the circle inscribed in dest for a unit that is clipped to one;
// NIL otherwise.
void Calc_Unit_Clipping(uint32 ux, const Rect& dest, RgnHandle& rgn);
// Crop marks in line with dest (the unit's cut on the page), beginning
// outside the unit's bleeds.
void Print_CropMarks(uint32 ux, const Rect& dest);
void Print_Paper_Test(bool8 chips, uint32 ux);
void Print_Direct_Test(bool8 chips, uint32 ux);
void Draw_Color_Bars(bool8 chips, uint8 kind, const Rect& rect);
// A 4-mm crosshair (h, v) tenths of a millimetre from the sheet's corner
// with its label; not on small paper fed through the LaserJet slot.
void Draw_Corner_Mark(int32 h, int32 v, const char* label);

// The nudge of the current medium, tenths of a millimetre: each way within
// -800 .. 800, else refused with sound 136 (FALSE, nothing stored).
bool8 Set_Nudge(int16 h, int16 v);
// The nudge step: 1 (10 with Shift) printing on discs, else 5 (25).
int16 Nudge();
void Print_Nudge_U();
void Print_Nudge_D();
void Print_Nudge_L();
void Print_Nudge_R();
void Print_Nudge_0();

// The print panel's adjustment sliders from the current medium (the outer
// diameter's range by the direct-print kind, then the sliders from the media
// settings); a slider moved stores its value into the media settings
// (Delta_Print_Adjust; only when printing on discs), and the unit is drawn
// again with them (Final_Print_Adjust).
void Load_Print_Adjust();
void Delta_Print_Adjust();
void Final_Print_Adjust();

// Unit ux rendered (turned and flipped) and written as a picture file of
// format at 300 dpi; alert 49 with the error number when it fails (the
// result, 0 on success).
int32 Export_Unit(uint32 ux, a_file_format format, const FSSpec& path);

// Lengths given in tenths of a millimetre as text: "12 mm", "12,5 mm"
// (the locale's decimal mark); "0.47 in", "1 in" (hundredths, rounded to
// the thousandth).
void To_MM_Str(int32 mmt, StrSpan s);
void To_IN_Str(int32 mmt, StrSpan s);

// Dimension lines: over the pixels h1 .. h2 - 1 at v (v1 .. v2 - 1 at h)
// with arrow heads at both ends and the length, mmt tenths of a
// millimetre, as text centred above (beside) the line, in inches when
// inches is set (the drawn layout is measured in inches).
void Draw_Arrow_H(int16 h1, int16 h2, int16 v, int32 mmt, bool8 inches);
void Draw_Arrow_V(int16 v1, int16 v2, int16 h, int32 mmt, bool8 inches);
// The first unit of the open layout, adjusted for its medium, drawn dark
// blue fitted into box with one dimension: which 0 its width (a disc's
// outer diameter), 1 its hole (meas1, centred on the unit), 2 its height (a
// business-card disc's side).
void Echo_Template(const Rect& box, int16 which);
