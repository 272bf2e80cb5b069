// The printing module: the command-line override record (the settings of an
// override run, "/IF", "/OF", "/CX" ...; only the input file is acted on, the
// other settings are kept for the print path), and what the layout's
// geometry asks of printing: small paper and the LaserJet feed setting.
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

// The print panel's LaserJet feed toggle: small paper is fed through a
// manual slot that centres it in a Letter-width feed. Off at start-up. Held
// here, and read through these two, until the interface keeps its toggles.
bool8 LaserJet_Toggle();
void Set_LaserJet_Toggle(bool8 on);

// The print panel's adjustment sliders from the current medium (the outer
// diameter's range by the direct-print kind, then the sliders from the media
// specs). The print panel comes with printing; until then nothing is set.
void Load_Print_Adjust();

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

// The print panel's adjustment sliders moved: their values into the media
// specs (Delta_Print_Adjust), and the unit drawn again with them
// (Final_Print_Adjust). They come with printing: nothing happens yet.
void Delta_Print_Adjust();
void Final_Print_Adjust();

// The name of the open document's layout (empty with none open). The name
// as printed comes with printing; until then the layout's own label.
void Get_Template_Name(UStrSpan name);
