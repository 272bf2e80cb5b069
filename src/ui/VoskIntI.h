// The interface's item tables: sliders, icon grids and toggles by number, as
// gs.slider_vals, gs.grid_vals and gs.toggle_vals index them.
//
// So far only the items the documents and the painting geometry read are
// named here, with the defaults they need; the tables themselves (artwork,
// ranges, procedures) come with the tool panels.
#pragma once

#include "platform/Types.h"

// Sliders.
constexpr int16 CANV_DARKNESS_SLIDER = 1;
constexpr int16 CANV_FUZZ_IN_SLIDER = 2;
constexpr int16 CANV_FUZZ_OUT_SLIDER = 3;
constexpr int16 PAINT_OPACITY_SLIDER = 4;
constexpr int16 GRAD_ANGLE_SLIDER = 19;  // degrees, -180 .. 180
constexpr int16 SYMMETRY_COUNT_SLIDER = 22;
constexpr int16 COLOR_SAT_SLIDER = 24;
constexpr int16 COLOR_HUE_SLIDER = 25;
constexpr int16 COLOR_DIST_SLIDER = 26;

// Slider defaults.
constexpr int16 CANV_DARKNESS_DEFAULT = 50;
constexpr int16 CANV_FUZZ_IN_DEFAULT = 0;
constexpr int16 CANV_FUZZ_OUT_DEFAULT = 0;
constexpr int16 COLOR_SAT_DEFAULT = 50;
constexpr int16 PAINT_OPACITY_DEFAULT = 100;

// Icon grids (PROJ_AGE_GRID, 0, is with the interface state, VoskStat.h).
constexpr int16 GRAD_KIND_GRID = 12;
constexpr int16 GRAD_DIR_GRID = 13;
constexpr int16 SYMMETRY_KIND_GRID = 14;
constexpr int16 ZOOM_GRID = 23;

// GRAD_KIND_GRID holds an a_dither_kind (pixel/Draw.h).

// Custom areas of the panels (what Custom_Inval repaints).
constexpr int16 CUSTOM_BAR = 9;
constexpr int16 CUSTOM_UNITLIST = 13;
constexpr int16 CUSTOM_PREVIEW = 15;
