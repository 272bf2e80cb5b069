// The stacking order of the current unit's objects and the layer bar: one
// cell per photo, symbol and the paint layer (slots in the collage phase),
// bottom first, in the custom area CUSTOM_LAYERS, scrolled by its own
// scroll bar (gs.lscroll_ctrl). Layer indices run from FIRST_LAYER_ID (1000,
// the bottom object listed); gs.layerbard.lmapping maps them to object
// indices.
//
// Cells step by 91 pixels and are 112 wide, so neighbours overlap by 21
// pixels; each shows a tab (offset when its object is selected), an eye
// (closed when the object is hidden), the layer's label and a thumbnail. A
// tab dragged along the bar restacks its object; an eye shows or hides it.
#pragma once

#include "host/HostWin.h"
#include "platform/SysLoop.h"  // a_mousestroke
#include "platform/Types.h"

// Cell geometry of the layer bar, pixels.
constexpr int16 LAYER_CELL_H = 112;
constexpr int16 LAYER_CELL_V = 66;
constexpr int16 LAYER_CELL_STEP = 91;  // LAYER_CELL_H - 21
constexpr int16 LAYER_BAR_INDENT = 5;
constexpr int16 LAYER_EYE_SIZE = 18;
// Automatic scrolling while a tab is dragged: the pointer this close to an
// end of the bar, at most once per this many ticks.
constexpr int16 LAYER_HOTZONE = 20;
constexpr uint32 LAYER_HOTZONE_TICKS = 30;

// --- Stacking order --------------------------------------------------------------------------

// base + delta clamped to the lowest .. highest object index of the phase's
// kinds (gs.curr_kindset); base when there are none.
int32 Constrain_Layer_Index(int32 base, int32 delta);
// Exactly one object selected and Constrain_Layer_Index of its index by
// delta differs from it.
bool8 Layer_Can_Arrange(int32 delta);
// Moves the lone selected object by delta places (clamped): +1 and -1 one
// step, large deltas to the front or back. Nothing when it cannot move.
void Layer_ArrangeRel(int32 delta);
// Moves object oldx to index newx: nothing when equal; sound 130 unless a
// controller drives the interface; Layer_Arrange2; OP_BLOCK_MOVEZ.
void Layer_Arrange(int32 oldx, int32 newx);
// Item oldx taken out, the items between shifted one place towards oldx,
// the item put at newx (indices outside 1 .. nlist do nothing); then
// Obj_PostRender (newx), or in the collage phase the collage's regions
// rebuilt; the layer bar listed again.
void Layer_Arrange2(int32 oldx, int32 newx);

// --- The layer bar -----------------------------------------------------------------------------

// Lists the layers again (when the bar is shown, or with force): the
// mapping, the cells that fit, the scroll bar's range (the first layer
// shown again) and the bar invalidated. The object list calls it after
// every insertion or removal.
void LayerBar_Calc(bool8 force);
// The first layer shown (the scroll bar's value).
int32 LayerBar_First_Visible();
// The layer of object omx (0 when the bar does not list it).
int32 Layer_Of_Object(int32 omx);
// The object index of a layer (ENUM_DONE outside first_id .. last_id).
int32 Object_Of_Layer(int32 layerx);
// The cell of layer layerx as shown with first as the first visible layer;
// its eye box and thumbnail box.
void Layer_Calc_Box(int32 layerx, int32 first, Rect& cell, Rect& eye, Rect& thumb);
// The layer under pt (window coordinates): part 1 on its eye, 0 elsewhere in
// the cell; the highest layer wins where cells overlap. FALSE: none.
bool8 Find_Layer(int16& part, int32& layerx, Point pt);
// Where a dragged tab would go: of the cells from last_id + 1 down to the
// first visible one whose row holds pt, the one whose left edge is nearest
// to pt.h - 3 (the higher on ties). 0 when pt is on no row.
int32 Find_Boundary(Point pt);
// The label of a layer: its number counted from 1, or in the collage phase
// letters ("A" .. "Z", then two letters: the 27th slot is "BA").
void Layer_Label(int32 layerx, char* label, int32 cap);

// The custom area's procedures: painting (bounds: the area, window
// coordinates), the mouse (a press, or hover without the button), and the
// pointer leaving it.
void LayerBar_Paint(const Rect& bounds);
void LayerBar_PaintAll();
void LayerBar_Inval();
void LayerBar_MouseDown(const a_mousestroke& stroke);
void LayerBar_Exit();

// Scroll actions of the bar's scroll bar: part 0 one layer back, 1 one
// forward, 2 a page back, 3 a page forward (a page: the cells that fit less
// one), SCROLL_WHEEL the cells that fit times g_wheel_delta. A move plays
// sound 132 and repaints; none plays 136.
void LayerBar_NonThumbAction(int16 part, HWND ctrl);
// The thumb was dragged to the scroll bar's value: repainted when the first
// visible layer changed.
void LayerBar_ThumbAction(int16 part, HWND ctrl);
// While a tab or an eye is dragged: at most once per LAYER_HOTZONE_TICKS,
// the pointer near the bar's left end scrolls one layer back, near its
// right end one forward (unless the insertion point is past the last
// layer), with sound 132. TRUE when it scrolled.
bool8 LayerBar_Check_Hotzone(Point pt);

// Scrolls the bar so that object omx's layer is visible (the first or the
// last cell shown); an already visible layer is only repainted with force.
void Jump_To_Layer(int32 omx, bool8 force);
void Jump_To_First_Layer();
// Shows or hides the object of layer layerx (sound 130), posted for
// rendering, the bar repainted.
void Layer_Toggle_Visibility(int32 layerx);

// The layer of the tab being dragged's insertion mark (0 when none).
int32 LayerBar_Insert_Point();

// Module start-up: registers the actions with the main window's scrolling.
void VoskLayer_Init();
