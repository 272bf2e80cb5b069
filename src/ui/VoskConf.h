// The panel configuration: which panels the main window shows for the phase,
// the options and the open document, described again whenever the state
// variables of the layout change (SV_CONFIG_ALL for the whole window,
// SV_CONFIG_BSIDE the bottom side with its palette bar, SV_CONFIG_LSIDE the
// left side with the tool panel, SV_CONFIG_EDIT the edit area).
//
// Every builder describes the whole content of its subtree inside a
// Node_BeginConfig ... Node_EndConfig bracket; the node tree applies only
// the differences to the screen.
#pragma once

#include <array>

#include "platform/Types.h"
#include "ui/VoskIntf.h"  // a_locator

// --- Fixed locators ------------------------------------------------------------------

enum a_config_item : uint8 {
  OUTER_WIN_NODE,      // the main window (gs.outer_window)
  EDIT_DIV_NODE,       // edit-area division
  EDIT1_CUST_NODE,     // document view, print preview or paper echo
  SEP_ITEM_NODE,       // caption under the print preview
  RULERH_NODE,         // horizontal ruler
  RULERV_NODE,         // vertical ruler
  HISTORY_NODE,        // history column
  PHASE_DIV_NODE,      // phase strip, or the start screen's age grid
  TOOL_DIV_NODE,       // tool panel
  TAGS_DIV_NODE,       // tags strip (bar selectors)
  ECHO_DIV_NODE,       // start-screen list area
  SUBTOOL_INC,         // from one item of a panel to the next
  BAR_DIV_NODE,        // palette bar area
  BAR_PREV_ITEM_NODE,  // BAR_PREV_BUTTON
  BAR_IX_ITEM_NODE,    // BAR_INDEX_BUTTON
  BAR_NEXT_ITEM_NODE,  // BAR_NEXT_BUTTON
  BAR_CUST_NODE,       // palette bar custom area
  BAR_PSTATUS_NODE,    // layer-bar status column
  BAR_PSCROLL_NODE,    // layer-bar scroll bar
  BAR_LAYERS_NODE,     // layer bar
  CORNER_DIV_NODE,     // corner area
  BAR_ZOOM_NODE,       // zoom grid
  BAR_NAV_NODE,        // navigator
  STATUS_CUST_NODE,    // status line
  LAYERS_CUST_NODE,    // reserved
  NODOC_ITEM_NODE,     // reserved
  CONFIG_ITEM_COUNT
};

using a_config_array = std::array<a_locator, CONFIG_ITEM_COUNT>;

inline constexpr a_config_array NFT = {
    0x01000000,  // OUTER_WIN_NODE
    0x01010000,  // EDIT_DIV_NODE
    0x01010100,  // EDIT1_CUST_NODE
    0x01010300,  // SEP_ITEM_NODE
    0x01010400,  // RULERH_NODE
    0x01010500,  // RULERV_NODE
    0x01010600,  // HISTORY_NODE
    0x01020000,  // PHASE_DIV_NODE
    0x01030000,  // TOOL_DIV_NODE
    0x01040000,  // TAGS_DIV_NODE
    0x01060000,  // ECHO_DIV_NODE
    0x00000100,  // SUBTOOL_INC
    0x01050000,  // BAR_DIV_NODE
    0x01050100,  // BAR_PREV_ITEM_NODE
    0x01050200,  // BAR_IX_ITEM_NODE
    0x01050300,  // BAR_NEXT_ITEM_NODE
    0x01050400,  // BAR_CUST_NODE
    0x01050500,  // BAR_PSTATUS_NODE
    0x01050600,  // BAR_PSCROLL_NODE
    0x01050700,  // BAR_LAYERS_NODE
    0x01070000,  // CORNER_DIV_NODE
    0x01070100,  // BAR_ZOOM_NODE
    0x01070200,  // BAR_NAV_NODE
    0x01080000,  // STATUS_CUST_NODE
    0x01090000,  // LAYERS_CUST_NODE
    0x010A0000,  // NODOC_ITEM_NODE
};
static_assert(NFT[NODOC_ITEM_NODE] == 0x010A0000 && NFT[SUBTOOL_INC] == 0x00000100);

// The phase selector inside the phase strip.
constexpr a_locator PHASE_CUST_LOC = 0x01020100;
// Run-time labels of the panels: the two nudge read-outs, the examples page
// label on the start screen.
constexpr a_locator NUDGE_X_LABEL_LOC = 0x0103F000;
constexpr a_locator NUDGE_Y_LABEL_LOC = 0x0103F200;
constexpr a_locator EXAMPLES_PAGE_LABEL_LOC = 0x0106F000;

// --- Metrics of the layouts ----------------------------------------------------------

constexpr int16 CONF_LEFT_WIDTH = 350;        // phase strip, tool panel, tags strip
constexpr int16 CONF_PHASE_HEIGHT = 56;
constexpr int16 CONF_TAGS_HEIGHT = 35;
constexpr int16 CONF_BAR_HEIGHT = 102;       // palette bar and corner
constexpr int16 CONF_CORNER_WIDTH = 179;     // zoom grid 46 + navigator 133
constexpr int16 CONF_NAV_WIDTH = 133;
constexpr int16 CONF_STATUS_HEIGHT = 20;
constexpr int16 CONF_RULER_WIDTH = 24;
constexpr int16 CONF_HISTORY_NARROW = 133;   // history column of an edit area below 579 pixels
constexpr int16 CONF_HISTORY_WIDE = 179;
constexpr int16 CONF_HISTORY_WIDE_FROM = 579;
constexpr int16 CONF_VIEW_SEPARATOR = 8;     // between two views
constexpr int16 CONF_PREVIEW_INSET = 16;     // the print preview's page within the edit area

// Left-column layout style.
enum a_lside_style : uint8 { BAR_AND_TAGS, BAR_NO_TAGS, NO_BAR };

// --- The builders -------------------------------------------------------------------

// The whole window: the start screen with no document open, else the print
// preview, the edit area alone with the tools hidden, or the editing layout.
void Config_All();
// The palette bar area (layer bar, or the palette bar with its buttons) and
// the corner (zoom grid and navigator), each when its division exists.
void Config_BSide();
// With a document open: the tool panel (Config_Tools), then the tags strip.
void Config_LSide();
// Config_LSide, then Config_BSide: after a change that affects both.
void Config_TTB();
// The edit area's rulers, views and history column (nothing without views).
void Config_EditArea();
// The phase strip and the tool panel for the phase, each when its division
// exists (the tool panels' module defines it).
void Config_Tools();
// The tags strip: one tag per bar of the current ring.
void Config_Tags();
// The palette bar with its previous, index and next buttons in area.
void Config_Bar(const Rect& area);
// The start screen (no document open).
void Config_ProjPicker();
// The paper picker's two lists made anew for their boxes and filled from
// the working list of layouts (the paper panels call it last). The chosen
// kind or brand and layout stay chosen unless the sort grid changed since
// the lists were last made.
void Gen_Paper_Lists();
// Number of bars the ring offers.
int16 Count_Ring_Elements(a_ring_kind ring);
// The main window's title with no document open: the program's name.
void Set_Default_Window_Title();

// --- Geometry, for the builders and for tests computing click points ------------------

// The rectangles of a layout of the window (empty ones are not shown).
struct a_window_layout {
  Rect total;   // the window's interior
  Rect phase;   // phase strip
  Rect tools;   // tool panel
  Rect tags;    // tags strip
  Rect bar;     // palette bar area
  Rect corner;  // zoom grid and navigator
  Rect edit;    // edit-area division
  Rect status;  // status line
};
// The editing layout of window rectangle total for the interface state
// (phase, options) as it stands.
a_window_layout Calc_Editing_Layout(const Rect& total);

// The print preview's layout of window rectangle total: the phase strip,
// the tool panel and the edit area (the rest are empty).
a_window_layout Calc_Preview_Layout(const Rect& total);

// The fitting zoom of the current unit for view rectangle view (zoom index
// 0 of ZoomxToFactor and ZoomxFudge): 1:1 when the unit is smaller than the
// view less a margin both ways, else the reduction that fits it (not below
// 1 in 8).
void Calc_Fit_Zoom(const Rect& view);

// The rectangles inside an edit area.
struct a_edit_rects {
  Rect ruler_h;
  Rect ruler_v;
  Rect history;
  Rect sep;                   // between two views
  std::array<Rect, 2> views;  // view 1, view 2
};
// The rulers, history column and views of edit area area for nviews views
// and the interface state as it stands.
a_edit_rects Calc_Edit_Rects(const Rect& area, uint16 nviews);

// The start screen's top strip height for a window height.
int16 ProjPicker_Strip_Height(int16 window_height);
