// Photo objects: a picture placed on a unit, from the picture library, an
// image file, the clipboard or a collage. Symbols and collage slots use the
// same record. Here: the record, its box and frame, hit-testing by the
// frame's shape with the corner handles of a lone selected photo, copies,
// freeing, and the cursor over a selected photo.
//
// Drawing, scaling by a corner, the crop screen and the photo sliders come
// with the photo tools; until then their procedures here do nothing.
#pragma once

#include "objects/VoskBlok.h"
#include "pixel/DrawUtilDraw.h"  // a_pointlist_rec
#include "pixel/OPUtil.h"        // a_spec
#include "platform/Types.h"

struct a_ph_rec {
  a_spec spec;        // what is drawn and how (the render cache's record)
  OSType codec;       // the image file's codec, when its bytes are kept
  Point dst_center;   // centre of the placed picture, cells
  Rect dst_box;       // the placed picture's box, cells
};

// Points of a photo's frame: its four corners and the first again.
constexpr int32 PH_FRAME_POINTS = 5;
// Largest side of a corner handle, screen pixels.
constexpr int16 PH_HANDLE_SIZE = 14;
// How far a duplicate lands from its original, cells; the margin it keeps
// from the unit's right and bottom edges (else it goes to DUP_HOME).
constexpr int16 DUP_OFFSET = 40;
constexpr int16 DUP_MARGIN = 10;
constexpr Point DUP_HOME{10, 10};

// box := the placed picture's box (dst_box).
void PH_NetBox(const a_ph_rec* ph, Rect& box);
// A copy of ph as a new object of kind on top of the current unit's list,
// pending and visible, DUP_OFFSET cells right and down, or centred on
// DUP_HOME when its centre would pass the unit's right or bottom edge less
// DUP_MARGIN. With a full list: sound 136 and nothing added.
void PH_Dup(const a_ph_rec* ph, a_oj_kind kind);
// pointlist := the frame of ph in cells (PH_FRAME_POINTS points, the last
// the first again; pointlist must have room for them): dst_box when the
// photo is upright; when it is turned, its own rectangle (the picture's
// part at its scalings, with its edge) turned by its angle about
// dst_center.
void PH_Calc_Frame(a_pointlist_rec* pointlist, const a_ph_rec* ph);
// The four corner handles of an upright frame in screen pixels (upper-left,
// upper-right, lower-right, lower-left): squares of side min(14, half the
// frame's smaller side) straddling the corners.
void Calc_Frame_Corners(const Rect& frame, Rect corners[4]);
// Whether a photo can show corner handles: it is upright (angle 0). They
// show while it is also the lone selection.
bool8 Is_Photo_Corner_Visible(const a_ph_rec* ph);
// What screen point (in view vx) touches of object omx of the current unit:
// with its corners showing, a handle grown by one pixel (tried upper-left,
// upper-right, lower-right, lower-left); else the inside of its frame
// (DRAG_PART); else OUTSIDE_PART.
a_oj_part Calc_Photo_Part(uint16 vx, Point screen, int32 omx);
// Hit test of photo or symbol omx (ENUM_DONE: no hit): screen is the point
// in the main window, cell the same point in cells. A hit while the
// selection is not one object is reported as DRAG_PART.
bool8 PH_Is_Inside(Point screen, Point cell, int32 omx, a_oj_part& part);
// Frees a photo record; ph := NIL.
void PH_Dispose(a_ph_rec*& ph);

// The cursor over a selected object by the part under the mouse: the
// diagonal corner cursors (the four-corners cursor with Ctrl), the grabber
// inside (closed while dragging).
void Inside_Photo_Cursor(a_oj_part part, bool8 ctrl, bool8 dragging);

// Draws the frame of a photo in view vx. Photos are not drawn yet: nothing
// is drawn.
void PH_Draw_Frame(uint16 vx, bool8 visible, bool8 hilite, const a_ph_rec* ph);
// Scales photo omx by dragging corner part from startcell. Comes with the
// photo tools: nothing happens yet.
void Track_Photo_Scaling(uint16 vx, a_oj_part part, Point startcell, int32 omx);
// The crop screen of the one selected photo. Comes with the photo tools:
// nothing happens yet.
void Photo_Crop();
// Loads the photo sliders from ph. Comes with the photo tools: nothing is
// loaded yet.
void PH_To_Sliders(const a_ph_rec* ph);
// The photo sliders' procedures: a slider moved applies its value to the
// selected photos; the size and angle sliders follow a thumb drag with the
// photo's geometry (init, each step, the end). They come with the photo
// tools: nothing happens yet.
void Delta_Photo();
void Init_Photo_Geom();
void Track_Photo_Geom();
void Stop_Photo_Geom();
