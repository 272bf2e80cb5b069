// The photo collage: a pattern of slots (a grid of rounded rectangles, one
// or two rings of sectors, a ring of boxes, petals) filled with photos and
// composed into one photo object.
//
// While a collage is open the current unit is in the collage phase: its
// paintbounds are the collage's own area (PACK_SIDE cells on the longer
// side, centre (600, 600)), and every slot is an object of kind SLOT_BLOCK
// on top of the unit's list. Slot x (PACK_FIRST_SLOT .. + totnslots - 1) is
// object first_slot_omx + x - PACK_FIRST_SLOT. A slot is an a_ph_rec whose
// source kind is SOURCE_EMPTYSLOT while empty; its dst_center is the
// photo's offset from the slot's centre and its angle the slot's base angle
// plus the user's turn. Slot regions are in collage coordinates (cells).
#pragma once

#include "objects/VoskBlok.h"
#include "pixel/DrawUtilDraw.h"  // a_pointlist_rec
#include "pixel/OPUtil.h"        // a_source_kind
#include "platform/Quickdraw.h"
#include "platform/SysIO.h"
#include "platform/SysWin.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// The patterns a collage lays its slots out in (the value of the collage
// panel's kind grid).
enum a_pack_kind : uint8 { PACK_GRID = 0, PACK_CLOCK1 = 1, PACK_CLOCK2 = 2, PACK_CLOCKSQ = 3, PACK_LOTUS = 4 };
// Photos turned to point away from the centre, or upright (the orientation grid).
constexpr uint16 PACK_ORIENT_RAD = 0;
constexpr uint16 PACK_ORIENT_VERT = 1;

constexpr int32 PACK_MAX_SLOTS = 144;
constexpr int32 PACK_FIRST_SLOT = 10000;
constexpr int16 PACK_SIDE = 1200;        // the collage area's longer side, cells
constexpr Point PACK_CENTER{600, 600};
constexpr int32 PACK_REASONABLE = 600;   // a slot's picture is reduced to this longer side
constexpr int16 PACK_MAX_FILES = 50;     // most files the add-photo command takes at once
// The grey of the circle round a clock or lotus collage.
constexpr a_pixel24 PACK_RING_GREY{100, 100, 100};

// The layout, from the collage panel's sliders and grids.
struct a_pack_spec {
  uint16 version;  // 1
  a_pack_kind packkind;
  uint16 orient;   // PACK_ORIENT_RAD or PACK_ORIENT_VERT
  int16 clock_nouter, clock_ninner;
  int16 clock_totangle, clock_start;  // degrees
  int16 clock_spacing;                // thousandths of the total angle, as an arc
  int16 clock_thickness;              // per cent of the outer radius
  int16 clock_outerd;                 // per cent of the collage area
  int16 grid_nx, grid_ny;
  int16 grid_spacing, grid_corner;    // per cent of a cell, of an item
  int16 lotus_n;
  int16 outline;                      // outline width, cells; 0 none
};

struct a_slot {
  int16 slot_base_angle;   // tenths of a degree, from the layout
  int16 slot_extra_angle;  // tenths of a degree, the user's turn
  RgnHandle slot_rgn;      // collage coordinates
  Point slot_rgn_center;
  bool8 slot_dirty;
};

struct a_pack {
  a_pack_spec packspec;
  Rect composite_bounds;       // the collage area
  a_masked_gworld compositemw;  // the finished picture while OK makes it
  Rect save_doc_bounds;        // the unit's paintbounds before the collage
  a_phase save_phase;
  int32 first_slot_omx;        // object index of slot PACK_FIRST_SLOT
  int32 totnslots;
  uint32 save_hist_seq;        // the history's running number on entering
  a_slot slots[PACK_MAX_SLOTS];
};

// The open collage; NIL when none.
extern a_pack* g_pack;

// --- Entering and leaving ------------------------------------------------------------

// The collage command: the current unit into the collage phase with the
// empty slots of the panel's layout. A unit without room in its object list
// for those slots, or a collage already open: sound 136, nothing changes.
void Pack_New();
// g_pack made (the phase, paintbounds and first slot saved, paintbounds
// 0, 0, 10, 10), the phase the collage phase. FALSE without a unit.
bool8 Pack_Enter();
// Every slot composed into one picture, pasted as a SOURCE_COLLAGE photo
// centred on the unit, the slots gone, the photo phase. With every slot
// empty it acts as Cancel.
void Pack_OK();
// The slots gone, paintbounds and the phase as before the collage.
void Pack_Cancel();
// The phase (PHOTO_PHASE after ok, else the saved one), every slot object
// left disposed of with its picture, g_pack freed, the zoom set again. When
// something recorded a history state while the collage was open (a state
// holding slots), the history starts again from the unit as it is now.
void Pack_Leave(bool8 ok);
// The unit's paintbounds := those saved on entering.
void Pack_RestoreBounds();

// --- Layout ----------------------------------------------------------------------------

// packspec from the sliders and grids, the collage area into paintbounds,
// the regions rebuilt. A slot count that does not fit the object list:
// sound 136, the sliders set back and the layout kept (FALSE).
bool8 Sliders_To_Pack();
// The layout sliders and the orientation grid moved: Sliders_To_Pack and
// the collage drawn again.
void Delta_Pack();
void Delta_Pack_Orient();
// The item-size slider: both scalings of every selected filled slot.
void Delta_Pack_Item();
// The item-size slider from slot omx's scaling.
void Slot_To_Sliders(int32 omx);
// The area of spec: PACK_SIDE square, or for a grid PACK_SIDE on its longer
// side by nx : ny.
Rect Pack_Area(const a_pack_spec& spec);
// How many slots spec lays out.
int32 Pack_Slot_Count(const a_pack_spec& spec);
// The regions of the current layout, the collage and layer bar invalidated.
void Pack_Rebuild_Regions();
// The collage holds n slots: empty slot objects appended, or the empty ones
// above n removed from the top down to the first filled one. FALSE (sound
// 136, nothing changed) when the appended slots would pass MAX_OJ.
bool8 Set_Number_Of_Slots(int32 n);
// An empty slot object on top of the list: omx := its index. A full list:
// FALSE and nothing added.
bool8 New_SlotObj(int32& omx);

// Clock radii, cells: outer Ro, inner Ri (at least 30), spacing as an arc
// length at Ro.
void Calc_Clock_Radii(const a_pack_spec& spec, double& outer, double& inner, double& spacing);
// The largest side of a box of the ring of boxes that keeps every box out of
// the region forbidden to them (0 when none fits).
int32 Calc_ClockSQ_Side(const a_pack_spec& spec);

// --- Slots -------------------------------------------------------------------------------

int32 Slotx_To_Omx(int32 slotx);
// The slot number of object omx; -1 for an object that is no slot.
int32 Omx_To_Slotx(int32 omx);
// The slot under cell (collage coordinates); ENUM_DONE when none.
int32 Slot_Find(Point cell);
// The slot's picture placed: its angle from the slot, dst_box the picture
// centred on the slot's centre plus dst_center (collage coordinates), or in
// the main view's screen coordinates with toscreen. FALSE for an empty slot.
bool8 Calc_Slot_Dest_Rect(int32 slotx, bool8 toscreen, Rect& dest);
// pointlist := the slot's frame (its region's box), cells; a list with
// room for fewer than PH_FRAME_POINTS points is left as it is.
void Slot_Calc_Frame(a_pointlist_rec* pointlist, int32 omx);

// --- Drawing -----------------------------------------------------------------------------

// The collage view drawn: pasteboard, every slot (its frame in the
// selection colour when selected), the circle of a clock or lotus.
void Pack_Paint();
// One slot drawn into the view; direct: straight to the window.
void Paint_Slot(int32 slotx, bool8 direct);
// Slot slotx (object omx) drawn into target through rgn (the main view's
// screen coordinates with toscreen, else collage coordinates): a visible
// filled slot's picture clipped to its region, framed by the outline. For
// the composite (not toscreen) the region also goes into g_pack's
// compositemw mask.
void Paint_Slot2(GWorldPtr target, bool8 toscreen, int32 slotx, int32 omx, RgnHandle rgn);
// Slot omx is to be drawn again; the collage view is to be drawn again.
void Slot_Inval_Obj(int32 omx);
void Pack_Inval();

// --- Filling -----------------------------------------------------------------------------

// The first empty slot from the (first) selected slot or the first slot
// on, wrapping round; -1 when every slot is filled.
int32 Find_Slot_To_Fill();
bool8 Is_Pack_Full();
bool8 Is_Pack_Empty();
bool8 Is_Empty_Slot(int32 slotx);
// Exactly one object selected and it is a filled slot, whose size can then
// be set. With no collage open there is none: FALSE.
bool8 Is_Pack_Sizeable();
// w, h reduced so that the longer side is PACK_REASONABLE when both pass
// it (the shorter in proportion, at least 1).
void Calc_Reasonable_Size(int32& w, int32& h);
// The picture world (taken over) into slot slotx as source kind, with path
// for a file: reduced first when larger than PACK_REASONABLE on both sides;
// the slot pending and dirty. FALSE (world freed) when the render cache has
// no room.
bool8 Inject_In_Slot(a_source_kind kind, const FSSpec* path, a_masked_gworld world, int32 slotx);
// The file's picture into the next empty slot, which becomes the
// selection. No empty slot: full and FALSE; a file that cannot be read
// (its alert) FALSE.
bool8 Pack_Add_Photo(bool8& full, const FSSpec& path);
// A picture (taken over) into the next empty slot as a clipboard picture;
// none: sound 136 and the world freed.
void Pack_Paste(a_masked_gworld world);
// The add-photo button: up to PACK_MAX_FILES files, each into the next empty
// slot (with the progress window for more than one). A full list or
// collage, or a file without a slot: sound 136.
void Pack_Get();
// Each selected filled slot copied into the next empty slot; the copies the
// selection. A copy without a slot: sound 136.
void Pack_DupSlot();
// Every selected filled slot emptied.
void Pack_ClearSlot();
// The slot's own turn by delta tenths of a degree, kept within the angle
// slider's range.
void Slot_Rotate(int32 omx, int16 delta);
