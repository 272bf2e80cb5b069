// Photo objects: a picture placed on a unit, from the picture library, an
// image file, the clipboard or a collage. Symbols and collage slots use the
// same record. Here: the record, its box and frame, hit-testing by the
// frame's shape with the corner handles of a lone selected photo, copies,
// freeing, the photo's own clipboard record, new photos from files and
// pictures, drawing through the render cache, moving, fitting, turning,
// flipping and scaling by a corner, the photo sliders and the crop screen.
//
// Sizes: a photo's `subset` (the part of the picture it shows), its
// scalings and its crop are in the picture's natural pixels, whatever the
// render cache keeps of it. Scalings stay within the size sliders' range
// and are limited further so that the placed picture, turned any way, keeps
// to 16-bit cell coordinates (PH_MAX_PLACED).
#pragma once

#include "objects/VoskBlok.h"
#include "pixel/DrawUtilDraw.h"  // a_pointlist_rec
#include "pixel/OPUtil.h"        // a_spec
#include "platform/PixMaps.h"    // a_pixel24
#include "platform/SysIO.h"
#include "platform/SysIONav.h"
#include "platform/SysWin.h"
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
// An object's frame on the screen, and the frame of a selected object (the
// layer bar's thumbnails and the collage's slots share them).
constexpr a_pixel24 PH_FRAME_COLOR{128, 128, 128};
constexpr a_pixel24 PH_SELECT_COLOR{252, 62, 62};
// How far a duplicate lands from its original, cells; the margin it keeps
// from the unit's right and bottom edges (else it goes to DUP_HOME).
constexpr int16 DUP_OFFSET = 40;
constexpr int16 DUP_MARGIN = 10;
constexpr Point DUP_HOME{10, 10};
// How far each new object lands from the one before when they would share a
// centre, cells.
constexpr int16 NEW_OFFSET = 40;
// Most files a new-photo command takes at once.
constexpr int16 MAX_NEW_PHOTOS = 50;
// The longest diagonal of a placed picture at its scalings, cells: turned,
// with its edge and shadow, it still fits 16-bit cell coordinates.
constexpr int32 PH_MAX_PLACED = 30000;

// --- The clipboard record (format 768) ---------------------------------------------

// A photo or symbol as other copies of the program receive it: packed,
// little-endian, 351 bytes. The source is a library key or a file path
// (a name of at most 255 bytes, NUL-terminated); hintx is always 0.
#pragma pack(push, 1)
struct a_pasted_ph_rec {
  uint8 ojkind;  // PHOTO_BLOCK or SYMBOL_BLOCK
  uint16 sid;
  uint8 kind;    // a_source_kind
  union {
    a_keyset key;
    struct {
      int16 vRefNum;
      int32 parID;
      char name[256];
    } path;
  } src;
  int16 angle, scalingh, scalingv, darkness, opacity, corner, feather, edge_kind, edge_border, edge_outline,
      edge_scallop, edge_rough, color_sat, color_hue, color_dist, shad_dx, shad_dy, shad_opacity, shad_radius;
  uint8 flipx, flipy, invert, wtransp, shadf, constrainf, is_symbol;
  a_pixel32 symbol_color, edge_bord_color, edge_outl_color;  // b, g, r, a
  Rect subset;
  int32 hintx;
  char codec[4];     // reading order
  Point dst_center;  // v, h
  Rect dst_box;
};
#pragma pack(pop)
constexpr uint32 PASTED_PH_SIZE = 351;
static_assert(sizeof(a_pasted_ph_rec) == PASTED_PH_SIZE);
static_assert(offsetof(a_pasted_ph_rec, sid) == 1 && offsetof(a_pasted_ph_rec, kind) == 3 &&
              offsetof(a_pasted_ph_rec, src) == 4 && sizeof(a_pasted_ph_rec::src) == 262 &&
              offsetof(a_pasted_ph_rec, angle) == 266 && offsetof(a_pasted_ph_rec, shad_radius) == 302 &&
              offsetof(a_pasted_ph_rec, flipx) == 304 && offsetof(a_pasted_ph_rec, is_symbol) == 310 &&
              offsetof(a_pasted_ph_rec, symbol_color) == 311 && offsetof(a_pasted_ph_rec, edge_outl_color) == 319 &&
              offsetof(a_pasted_ph_rec, subset) == 323 && offsetof(a_pasted_ph_rec, hintx) == 331 &&
              offsetof(a_pasted_ph_rec, codec) == 335 && offsetof(a_pasted_ph_rec, dst_center) == 339 &&
              offsetof(a_pasted_ph_rec, dst_box) == 343);

// Puts object kind's record ph on the clipboard under format 768 (added to
// what the clipboard holds; the copy command clears it first).
void Scrap_Add_PH(a_oj_kind kind, const a_ph_rec* ph);
// Pastes a record of format 768 as a new object, selected. A record that is
// not one (its length, kind, source kind, edge kind, a value outside its
// slider's range, an empty subset, an unterminated name) or a full list:
// sound 136, nothing added. A library picture the library no longer holds,
// or a picture the render cache no longer knows (its sid): nothing added,
// silently. The object keeps to the current unit's paintbounds.
void Do_Paste_PH(const uint8* data, uint32 size);

// --- Records, boxes and frames --------------------------------------------------

// box := the placed picture's box (dst_box).
void PH_NetBox(const a_ph_rec* ph, Rect& box);
// A new object of kind on the current unit (the caller checks for room) with
// a fresh record of the render cache's null record, visible, placed on top or
// below the lowest text (Check_Layer_Order): omx := its index. No memory: NIL.
a_ph_rec* PH_New(int32& omx, a_oj_kind kind);
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

// Draws the frame of ph in view vx into the current port (screen pixels):
// one pixel wide, in the selection colour when hilite, else in the frame
// colour; solid when visible, dashed when hidden. A hilited lone selected
// upright photo also gets its corner handles, drawn as brackets.
void PH_Draw_Frame(uint16 vx, bool8 visible, bool8 hilite, const a_ph_rec* ph);

// --- Drawing ---------------------------------------------------------------------

// Draws ph into world (NIL: the current port), whose coordinates are those
// of ph's points (the caller converts a copy of the record to merge or print
// coordinates): the render cache's rendering for purpose (FOR_SCREEN or
// FOR_PRINTING), its shadow first, then its body, laid on dst_box (scaled
// when the cache holds it at another size) and clipped to dirty when given.
// A picture that is missing draws the missing pattern over dst_box on the
// screen and nothing in print.
void PH_Draw(GWorldPtr world, const a_ph_rec* ph, a_cache_purpose purpose, const Rect* dirty);
// Whether the picture of ph is gone: a library key the library does not
// hold, or a picture the render cache no longer keeps (its file was not
// found).
bool8 Is_Photo_Missing(const a_ph_rec* ph);
// The picture's natural bounds (0, 0, height, width): of the render cache's
// picture, else (missing) the photo's subset.
void Photo_Natural_Bounds(const a_ph_rec* ph, Rect& bounds);

// --- Placing, moving and scaling ---------------------------------------------------------

// The scalings of the record limited to the size sliders' range (the symbol's for
// a symbol) and so that its subset placed at them has a diagonal of at most
// PH_MAX_PLACED cells (both reduced in proportion). An empty subset leaves
// them as they are.
void PH_Limit_Scalings(a_spec& spec);
// Object omx's box := the size of its rendering (the render cache's, or from
// its record when the picture is missing) centred on dst_center.
void Photo_Calc_DstBox(int32 omx);
// Photo_Calc_DstBox, the object posted; with select, it becomes the selection.
void Photo_Merge(int32 omx, bool8 select);
// A photo or symbol: its box computed again, posted, the sliders loaded when
// it is the lone selection, the layer bar repainted. A slot: posted.
void Photo_Recalc(int32 omx);
// Moves object omx's centre to c (a coordinate of -10000 stays), its box
// with it; both places are posted.
void Photo_Set_Center(int32 omx, Point c);
// Moves object omx by (dx, dy) cells; constrain keeps the move on its larger
// axis (dx when |dy| <= |dx|). Photos and symbols keep their centre within
// the unit's paintbounds; slots are not held.
void Photo_Delta_XY1(int32 omx, bool8 constrain, int16 dx, int16 dy);
// The lone selected photo or symbol scaled to the unit's paintbounds: both
// scalings to its width (Fit_H, centred across) or height (Fit_V, centred
// down); to cover it keeping its proportions (Cover_P, constrained) or
// stretched to it (Cover_D, not constrained), centred. Scalings are limited
// as PH_Limit_Scalings does. No lone photo or symbol, or an empty subset:
// sound 136.
void Photo_Fit_H();
void Photo_Fit_V();
void Photo_Cover_P();
void Photo_Cover_D();
// Every selected photo and symbol turned a quarter clockwise (angle - 900)
// or counter-clockwise (+ 900), brought back by a whole turn past the angle
// slider's range. Nothing selected: sound 136.
void Photo_Rotate_CW();
void Photo_Rotate_CCW();
// Every selected photo, symbol or slot flipped or inverted. Nothing
// selected: sound 136.
void Photo_FlipX();
void Photo_FlipY();
void Photo_Invert();

// The z-order rule of new photos and symbols: when the unit has a text
// object, the new object omx moves down to the place of the lowest text
// (the objects from there up move up one) and that place is the result;
// otherwise omx stays on top and the result is nlist.
int32 Check_Layer_Order(int32 omx);
// Where a new object goes: the centre of the unit's paintbounds, moved on by
// NEW_OFFSET cells on both axes while a photo or symbol already sits there
// (back to the centre when that would leave the unit).
Point Calc_New_Center();
// The first scaling of a new picture of subset on the current unit: 1000
// when it fits the paintbounds, else the smaller of the width and height
// ratios; within the size slider's range (the symbol's with is_symbol) and
// PH_MAX_PLACED.
int16 Calc_Default_Scaling(const Rect& subset, bool8 is_symbol);

// --- New photos ---------------------------------------------------------------------

// The new-photo command: up to MAX_NEW_PHOTOS files asked for, each placed
// while the list has room; a file refused for want of room, or a full list
// at the start: sound 136 once.
void Photo_New();
// One file placed at Calc_New_Center (Photo_New_External).
bool8 Photo_NewP(const FSSpec& path, bool8 report);
// The picture of file path placed as a new photo centred on center and
// selected (history OP_PHOTO_NEW); with the embed preference the file's
// bytes are kept with it (Read_Original). A file that cannot be read
// (report: its alert), a full list or a full render cache: FALSE, nothing
// added.
bool8 Photo_New_External(const FSSpec& path, Point center, bool8 report);
// raw := a new block with the whole file. Not enough memory: alert 16 and
// FALSE; a file that cannot be read: FALSE.
bool8 Read_Original(const FSSpec& path, Handle& raw);
// Reads an image file by its content into scan: the picture, reduced to what
// showing it fitted to the current unit needs (never enlarged), and its own
// bounds in natural. FALSE on failure, with its alert when report
// (Photo_Import_Error; none for what the reader has already shown).
bool8 Read_BitMap(bool8 report, const FSSpec& path, a_picture_scan_rec& scan, Rect& natural);
// The alert of a reader's code: -100 (deeper than 8 bits a sample, or not
// RGB) alert 58, any other alert 10.
void Photo_Import_Error(int16 code);
// A picture (the clipboard's, a collage's) placed as a new photo of source
// kind, selected (history OP_PHOTO_PASTE); the photo takes world over. A
// full list: sound 136 and world is freed.
void Photo_Paste(a_masked_gworld world, a_source_kind kind);
// Relinks the lone selected photo to a file asked for: Photo_Fix when its
// picture is missing, Photo_Replace any photo (history OP_PHOTO_FIXLINK).
void Photo_Fix();
void Photo_Replace();
// The fix command's hilite: 0 when a lone photo is selected and its picture
// is missing, else 3.
int16 Calc_Hilite_PhFix(int16 item);

// --- Sliders ------------------------------------------------------------------------

// TRUE while PH_To_Sliders loads the sliders: the slider hooks leave the
// photo alone.
extern bool8 ph_loading;
// The photo sliders, edge grid, toggles and edge colour bars := ph's values.
void PH_To_Sliders(const a_ph_rec* ph);
// ph := the photo sliders' values (both scalings from the size slider while
// the constrain toggle is on), limited as PH_Limit_Scalings does.
void Sliders_To_PH(a_ph_rec* ph);
// The hook of the photo sliders: the lone selected photo takes their values.
void Delta_Photo();
// Live dragging of the size and angle sliders: the frame of the lone
// selected photo drawn in exclusive-or and following the slider, then the
// photo changed at the end.
void Init_Photo_Geom();
void Track_Photo_Geom();
void Stop_Photo_Geom();
// The same for the lone selected object of kind (photo or symbol): Init
// posts it and draws its frame, Track takes the frame off, applies the
// sliders, computes the box again and draws the frame, Stop takes the frame
// off and tells whether the drag was on that object (the caller then applies
// the sliders for good).
void Geom_Init(a_oj_kind kind);
void Geom_Track(a_oj_kind kind);
bool8 Geom_Stop(a_oj_kind kind);
// Entering the photo phase: everything but photos deselected, the sliders
// loaded from a lone photo, the edit area repainted.
void Photo_Enter();
// The same for the phase of kind (photo or symbol).
void Object_Phase_Enter(a_oj_kind kind);
// Exactly one object is selected and it is of kind: omx := it.
bool8 One_Selected_Kind(a_oj_kind kind, int32& omx);

// --- The mouse ----------------------------------------------------------------------

// The cursor over a selected object by the part under the mouse: the
// diagonal corner cursors (the four-corners cursor with Ctrl), the grabber
// inside (closed while dragging).
void Inside_Photo_Cursor(a_oj_part part, bool8 ctrl, bool8 dragging);
// Scales photo omx by dragging corner part from startcell in view vx until
// the button is released: from the opposite corner, or with Ctrl from the
// centre on both sides; the larger of both scalings with constrain (history
// OP_PHOTO_SIZE, OP_SYMBOL_SIZE for a symbol).
void Track_Photo_Scaling(uint16 vx, a_oj_part part, Point startcell, int32 omx);
// One step of that drag: the mouse at cell, start the object as it was when
// the drag began. TRUE when the scalings changed (the object then posted and
// merged, the size sliders loaded).
bool8 Photo_Scale_Step(int32 omx, a_oj_part part, const a_ph_rec& start, Point cell, bool8 ctrl);

// --- The crop screen ------------------------------------------------------------------

enum a_crop_side : uint8 { CROP_L = 0, CROP_T = 1, CROP_R = 2, CROP_B = 3 };
using a_crop_sides = uint8;  // set of a_crop_side
constexpr a_crop_sides Crop_Bit(a_crop_side s) { return a_crop_sides(1u << s); }
// Crop_Where's codes beside the sides (a set of sides is above 0).
constexpr int16 CROP_WHERE_NONE = 0;
constexpr int16 CROP_WHERE_OK = -1;
constexpr int16 CROP_WHERE_CANCEL = -2;

// Geometry of the crop screen, window pixels.
constexpr int16 CROP_MARGIN = 24;     // round the picture
constexpr int16 CROP_BAR = 12;        // thickness of a side bar
constexpr int16 CROP_BAR_OVER = 24;   // how far a bar runs past the crop's corners
constexpr int16 CROP_BUTTONS = 44;    // the band of the buttons below the picture
constexpr int16 CROP_MIN_W = 500;
constexpr int16 CROP_MIN_H = 300;
constexpr int16 CROP_MAX_W = 2000;
constexpr int16 CROP_MAX_H = 1200;
constexpr int16 CROP_MIN_SIDE = 10;   // the crop's smallest side, picture pixels

struct a_crop_rec {
  GWorldPtr off;          // the window's picture, drawn off-screen
  a_masked_gworld pict;   // the whole picture at display size
  Rect natural;           // the picture's natural bounds
  Rect bb_ok, bb_cancel;  // the buttons
  Rect bb_pict;           // the picture on the screen
  Rect crop;              // picture pixels
  a_ratio reduction;      // screen = picture x num / den
  Rect bb_l, bb_t, bb_r, bb_b;  // the side bars
  Rect crop_s;            // the crop on the screen
  int16 width, height;    // the window's client area
};
extern a_crop_rec g_crop;

// The screen's layout for a picture of natural bounds (its top-left at 0,
// 0) on an available screen area of avail_w x avail_h: the display
// reduction, the picture's box and the buttons' boxes, the window's size.
void Crop_Layout(const Rect& natural, int16 avail_w, int16 avail_h, a_crop_rec& crop);
// Picture pixels to window pixels and back, through the reduction.
Point C_To_Screen(Point p);
Point Screen_To_C(Point p);
// crop_s and the four side bars from the crop.
void Calc_Crop_S();
// The sides whose bars hold pt (two at a corner) as a set; else
// CROP_WHERE_OK, CROP_WHERE_CANCEL or CROP_WHERE_NONE.
int16 Crop_Where(Point pt);
// Moves the sides to where pt (window pixels) says: each side keeps
// CROP_MIN_SIDE pixels from its opposite one and the crop stays within the
// picture.
void Crop_Move_Sides(a_crop_sides sides, Point pt);
// The drag of sides in the crop window until the button is released, the
// window drawn again at each step.
void Crop_Track(HWND window, a_crop_sides sides);
// The crop screen of the lone selected photo in a modal window: the side
// bars dragged; Return, keypad Enter or OK set its subset to the crop
// (history OP_PHOTO_CROP); Escape or Cancel leave it as it was.
void Photo_Crop();
// The lone selected photo's subset := crop (picture pixels, within its
// natural bounds, at least CROP_MIN_SIDE a side); FALSE when there is no
// such photo or crop.
bool8 Photo_Crop2(const Rect& crop);

// The photo files the photo dialogs offer (new photo, replace, the collage's
// add-photo: more than 11 pairs, so the dialog offers its list of picture
// suffixes), and the dialog key they share.
std::span<const a_type_suffix> Photo_File_Types();
constexpr int16 kPhotoDialogKey = 4;
