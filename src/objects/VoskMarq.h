// The marquee of the select tool: its dashed outlines, and the capture of
// the area under it as the custom stamp (the first cell of the stamp bar),
// optionally cut out of the paint layer.
#pragma once

#include "pixel/DrawUtilDraw.h"
#include "platform/Quickdraw.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

enum a_marquee_method : int16 { RECT_SELECTION = 0, OVAL_SELECTION = 1, LASSO_SELECTION = 2 };
enum a_marquee_howtaken : int16 { CUT_SELECTION = 0, COPY_SELECTION = 1 };
enum a_marquee_opacity : int16 { TRANSPARENT_SELECTION = 0, OPAQUE_SELECTION = 1 };

constexpr int16 ALERT_SELECTION_EMPTY = 22;  // "the transparent selection contains nothing"

// The marquee pen in the current port: 1 x 1, the marquee's stripes, black
// on white.
void Prep_Marq();
// The shape framed with the marquee pen; the pen pattern is black again
// afterwards.
void Draw_Marq_Rgn(RgnHandle rgn);
void Draw_Marq_Rect(const Rect& bounds);
void Draw_Marq_Oval(const Rect& bounds);

// The area of t.marq_rgn (cells of the current unit, within its paint
// bounds and, on units with round ends or holes, its label area) becomes the
// custom stamp: only the paint under it with a transparent selection (or on
// a unit without canvas), else the canvas with the paint over it, white and
// uncovered outside the marquee. With a cut the paint under it is erased.
// The stamp's sequence number advances, the stamp bar selects it and the
// warp sliders return to their defaults. Nothing to take: alert 22 (paint
// only) or nothing at all, and the custom stamp stays as it was. TRUE when
// the stamp was taken.
bool8 Marq_To_Stamp();

// The region (alternate filling) of the polygon of points pts[0 .. n - 1],
// every one of them (no cap on their number), closed from the last point to
// the first; empty for a polygon with no area. NIL when none could be made
// (after alert 30, once per stroke).
RgnHandle Polygon_Rgn(const Point* pts, int32 n);
// Polygon_Rgn of an outline's points.
RgnHandle Outline_Rgn(const a_pointlist_rec& outline);

// The lasso marquee from a collected outline: its region captured, one undo
// step for a cut, the outline's bounds shown again.
void Lasso_Select(const a_pointlist_rec& outline, const Rect& boundary);
