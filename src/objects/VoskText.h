// Text objects: the record of one text object (its style, up to 3999
// characters each with its own overrides, and the cache of its computed
// layout), and what the object list asks of it: its box, whether a point
// hits it, a copy of it, and freeing it.
//
// The layout engine lays the characters out in one of ten layouts (straight
// lines at any angle, columns, circles round the unit's centre, spirals,
// spokes, lines filling the disc), computes the frame drawn round the
// object and its box, and keeps them until a change empties the cache.
// Rendering is VoskTextDraw.cpp's; the editor's procedures are VoskEdit's.
#pragma once

#include "objects/VoskBlok.h"
#include "pixel/Draw.h"  // a_coord_mapping
#include "platform/PixMaps.h"
#include "platform/SysFont.h"  // a_fontspec
#include "platform/SysWin.h"  // a_masked_gworld
#include "platform/Types.h"
#include "platform/VoskDef.h"

// --- The record ----------------------------------------------------------------------

constexpr int32 MAX_NXYL = 4000;         // characters, the end-of-string entry included
constexpr int32 MAX_OM_POINTS = 4000;    // points of a text's frame
constexpr int32 MAX_OVERFLOWS = 10;
constexpr int32 MAX_TEXT_PATHS = 300;    // one path per line
constexpr int32 MAX_PATH_STEPS = 10000;  // steps of a path of points
constexpr int16 MAX_GLOW_RADIUS = 15;
constexpr int16 MAX_OUTL_RADIUS = 15;
constexpr UniChar EOS_CHAR = 1;          // the character of the end-of-string entry
constexpr UniChar HARDBREAK_CHAR = 13;
constexpr int16 NEW_TEXT_TARGWIDTH = 300;

enum a_text_layout : uint8 {
  LAYOUT_HORZ = 0,
  LAYOUT_90 = 1,
  LAYOUT_CIRC_CW = 2,
  LAYOUT_SPIRAL_CW = 3,
  LAYOUT_CONTOUR = 4,
  LAYOUT_VERT = 5,
  LAYOUT_270 = 6,
  LAYOUT_CIRC_CCW = 7,
  LAYOUT_SPIRAL_CCW = 8,
  LAYOUT_SPOKE = 9,
};
constexpr int32 NTEXT_LAYOUTS = 10;

// The largest text size in points per layout (the size slider's range
// follows the layout).
constexpr int16 TEXT_LAYOUT_SIZE_LIMITS[NTEXT_LAYOUTS] = {288, 288, 144, 72, 144, 144, 288, 144, 72, 72};

enum a_horz_just : uint8 { JUST_LEFT = 0, JUST_CENTER = 1, JUST_RIGHT = 2 };

enum a_char_category : uint8 {
  CC_REGULAR = 0,
  CC_SPACE = 1,
  CC_HARDBREAK = 2,
  CC_OVERFLOW = 3,
  CC_EOS = 4,
  CC_IGNORE = 5,
};

// One character: its code and style overrides, then what the layout
// computed for it (unit pixels, tenths of a degree).
struct a_xyl_char {
  UniChar cc_char;        // UTF-16 unit; 13 breaks the line
  uint32 cc_fontx;        // font override; 0: the object's font
  a_win_pixel32 cc_color;
  int16 cc_nudgex;        // manual shift along the line, pixels
  int16 cc_nudgey;        // and across it
  int16 cc_nudget;        // manual extra rotation, tenths of a degree
  int16 cc_size;          // per cent of the object's size; 0 and 100: the object's
  bool8 cc_boldf;         // or-ed with the object's styles
  bool8 cc_italf;
  bool8 cc_undf;
  bool8 cc_pad;
  int16 mm_x;             // the character's origin
  int16 mm_y;
  int16 mm_t;             // its rotation
  int16 mm_width;         // its advance, rounded
  int32 mm_ud;            // its distance along its line (up and down in the editor)
  a_char_category mm_cat;
  bool8 mm_pad;
};

// Where the text did not fit (an overflow mark).
struct a_overflow_rec {
  int32 id;
  Point pos;
};

// Outline of a text object in unit pixels: its frame, and what hit-tests it.
// Laid out as the drawing layer's point lists (pixel/DrawUtilDraw.h).
struct a_om_pointlist {
  uint16 max;
  uint16 npoints;
  Point points[MAX_OM_POINTS];
};

// What the layout cache holds.
enum a_cache_progress : uint8 {
  READY_COORD = 0,  // positions computed
  READY_BITS = 1,   // the text and shadow pictures rendered
};
using a_cache_progress_set = uint8;  // empty: stale
constexpr a_cache_progress_set Progress_Bit(a_cache_progress p) { return a_cache_progress_set(1u << p); }

// The paths the characters are laid along.
enum a_path_shape : uint8 { SPOKE_PATH = 0, SPIRAL_PATH = 1, CONTOUR_PATH = 2, RECT_PATH = 3 };
enum a_path_content : uint8 { ARRAY_OF_LINES = 0, ARRAY_OF_POINTS = 1 };

struct a_spoke_spec {
  int32 nspokes;
  float perspoke, start, originx, originy, inner, outer, twist;
};
struct a_spiral_spec {
  float originx, originy, radius, polarangle, lspacing;
  bool8 clockwise;
};
struct a_contour_spec {
  float centerx, centery, starty, margin, outer, lspacing, ascent, descent;
  a_horz_just justify;
};

// The parameters a path cache was built from (by shape).
struct a_generic_path_spec {
  a_path_shape shape;
  union {
    a_spoke_spec spoke;
    a_spiral_spec spiral;
    a_contour_spec contour;
  };
};

// One straight line.
struct a_linear_path {
  float endpointx, endpointy, avail, baseangle, base_sin, base_cos, charangle;
};
// A line of points; t is the angle of a character standing there, degrees.
struct a_points_path_step {
  float x, y, t, hs;
};
struct a_points_path {
  int32 lastn;
  a_points_path_step steps[MAX_PATH_STEPS];
};

// One path of the cache: a line or a line of points, by the cache's content.
union a_path_ptr {
  a_linear_path* line;
  a_points_path* points;
};

struct a_path_cache {
  a_generic_path_spec spec;
  a_path_content content;
  uint32 npaths;
  a_path_ptr paths[MAX_TEXT_PATHS];  // paths[0 .. npaths - 1], each its own block
  float overflowx, overflowy;        // where the overflow mark of the whole path goes
};

struct a_text_cache {
  a_cache_progress_set progress;
  a_path_cache path;
  a_om_pointlist frame;
  float tot_along;             // the longest line's length
  a_coord_mapping mapping;     // under which text and shad were rendered
  a_masked_gworld text;        // the rendered text and its shadow (the record owns them)
  a_masked_gworld shad;
};

// One text object. Characters xyl[0 .. nxyl - 1]; the last used entry is
// the end-of-string entry (EOS_CHAR, CC_EOS).
struct a_om_rec {
  Rect bbox;                 // everything drawn, effects included, unit pixels
  Point anchor;              // the layout's reference point
  Point rotcenter;           // centre of the circular, spiral and spoke layouts
  bool8 boldf, italf, outlf, glowf, shadf, undf;
  a_text_layout layout;
  a_horz_just justify;
  uint32 fontx;              // index into the font list
  int16 size;                // points
  int16 lineangle;           // tenths of a degree
  int16 polarangle;          // degrees
  int16 radius;              // per cent of half the unit's smaller side
  int16 hspacing, vspacing;  // per cent
  int16 stretch_h, stretch_v;
  int16 skew_h, skew_v;      // hundredths
  int16 glow_radius, glow_opacity, glow_style;
  int16 shad_dx, shad_dy, shad_opacity, shad_radius;
  int16 outl_radius;
  int16 spoke_outerd, spoke_thickness, spoke_totangle, spoke_twist;
  int16 contour_margin;
  int16 targwidth;
  int16 opacity;
  a_win_pixel32 base_color, glow_color, shad_color, outl_color;
  int32 nxyl;
  a_xyl_char xyl[MAX_NXYL];
  uint32 noverflows;
  a_overflow_rec overflows[MAX_OVERFLOWS];
  a_text_cache cache;
};

// --- Making text objects --------------------------------------------------------------

// A new text object on the current unit: placed by Calc_New_Anchor without
// a style source, styled from the interface (Sliders_To_OM), visible, on top
// of the list; returns its index. A full list is an internal error (callers
// test the count first).
int32 OM_New();
// om := the first at most len units of text (a NUL ends it sooner): line
// feeds dropped, at most 3999 characters kept (never half a surrogate
// pair), each with the defaults of Set_XYL_Defaults, then the end entry.
void UniStr_To_OM(a_om_rec* om, const UniChar* text, int32 len);
// Every field 0, cc_size 100.
void Set_XYL_Defaults(a_xyl_char& c);
// A new object holding len units of text, placed at anchor round rotcenter
// with radius, laid out and marked for rendering; omx := its index (0 when
// the list is full: sound 136). flag: the object is selected alone.
void Text_New4(int32& omx, const UniChar* text, int32 len, int16 radius, Point anchor, Point rotcenter, bool8 flag);
constexpr int16 NO_POINT = -1000;  // "no point given" of Text_New2
// A new object placed after style source srcx (0: none, the unit's default
// place); a point other than (NO_POINT, NO_POINT) becomes its anchor. The
// new object is selected alone.
void Text_New2(const UniChar* text, int32 len, int32 srcx, Point pt, bool8 flag);
// A new empty text object at cell (unit pixels), to be typed into, styled
// after the topmost selected text; the editor then edits it. A full list:
// sound 136.
void Text_New_At(Point cell);
// The text panel's "new text" button: Text_New_At where Calc_New_Anchor puts
// a text after the topmost selected one (or at the unit's default place).
void Text_New();
// Typed or pasted text: inserted at the caret while a text is edited (the
// editor's), else a new object holding it. Whether it was taken.
bool8 Text_Inject_Unicode(const UniChar* buf, int32 count);
bool8 Text_Inject_Roman(const char* buf, int32 count);
// The characters as 8-bit text (regular characters and spaces; breaks as
// line ends, code points past 255 as '?'), NUL-terminated, cut to cap.
void OM_To_Str(const a_om_rec* om, char* str, int32 cap);
// Where a new object goes: after style source srcx (a text object index,
// 0 for none) or at the unit's default place.
void Calc_New_Anchor(int32 srcx, Point& rotcenter, Point& anchor, int16& radius);
// v kept within [centre - radius + 50, centre + radius - 50]; the centre
// for a radius under 50.
int16 Validate_Contour_Anchor(int32 v, int32 radius, int32 centre);
// A text record's numbers limited to their sliders' ranges, the character
// count to the record and the end entry put back where it belongs.
void Limit_OM(a_om_rec& om);

// --- The change bracket --------------------------------------------------------------

// Nesting brackets round changes of text object omx of the current unit:
// the outermost end lays it out again and marks it for rendering.
void Begin_Text_Change(int32 omx);
void End_Text_Change(int32 omx);

// --- Settings and the sliders ---------------------------------------------------------

// TRUE while OM_To_Sliders loads the sliders (the hooks do not write back).
extern bool8 om_loading;
void Sliders_To_OM(a_om_rec* om);
void OM_To_Sliders(const a_om_rec* om);
// The settings applied to the first selected text (major: a change that
// records its own undo operation).
void Delta_Text(bool8 major);
void Delta_Text_Major();
void Delta_Text_Minor();
void Delta_Shad();
void Delta_Glow();
void Delta_Outl();
void Delta_Text_Layout();
void Delta_Horz_Just();
// New justification for om (object omx): straight texts keep their place.
void Set_Text_Block_HJust(a_om_rec* om, int32 omx, a_horz_just just);
void Text_Plus();
void Text_Minus();
void FontBar_Select();
void Text_Enter();
void Text_Leave();
void Get_Curr_Font_Spec(a_fontspec& spec);

// --- Moving ---------------------------------------------------------------------------

// How a layout moves: 1 vertically only, 2 freely, 3 turning round the centre.
constexpr uint8 TEXT_MOVE_KINDS[NTEXT_LAYOUTS] = {2, 2, 3, 3, 1, 2, 2, 3, 3, 3};
void Text_Move_XY(int32 omx, int32 dx, int32 dy);
// Turns a circular, spiral or spoke object: dangle in tenths of a degree,
// dradius in radius per cent, centre the new rotation centre.
void Text_Move_Polar(int32 dangle, int32 dradius, Point centre, int32 omx);
void Apply_Move_Text(Point newpt, Point oldpt, bool8 constrain, bool8 final, int32 omx);
void Text_Preview_Move(int32 omx, int32 dx, int32 dy, float dangle);
void Text_Nudge(int32 omx, bool8 shift, int32 sx, int32 sy);
void Text_AlignTo(Point pt, int32 omx);

// --- What the object list asks of a text ----------------------------------------------

// box := the text's box without its effects.
void OM_NetBox(const a_om_rec* om, Rect& box);
// Whether cell (unit pixels) lies on text object omx of the current unit:
// inside its frame polygon, or inside its box while it has no frame. part:
// CONTENT_PART for the object being edited while the text tool edits
// characters, else DRAG_PART; OUTSIDE_PART when missed.
bool8 OM_Is_Inside(a_oj_part& part, Point cell, int32 omx);
// A copy of om as a new object on top of the current unit's list, pending
// and visible, placed anew after om, laid out. With a full list: sound 136
// and nothing added.
void OM_Dup(const a_om_rec* om);
// Frees a text record: the editor lets go of it first when it is the edited
// one; its rendered pictures and its paths go with it. om := NIL.
void OM_Dispose(a_om_rec*& om);
// A copied record made to render afresh: nothing computed, no pictures and
// no paths (those stay with the original). The frame is kept.
void OM_Fresh_Cache(a_om_rec& om);
// dst := a copy of src that renders afresh (what dst held is not freed).
void OM_Copy_Into(const a_om_rec& src, a_om_rec& dst);
// A new record holding such a copy of om (NIL for NIL). No memory: the
// out-of-memory hook with the size asked for, and NIL.
a_om_rec* OM_Copy(const a_om_rec* om);
// Frees every path of the cache; npaths := 0.
void Flush_Path_Cache(a_path_cache& path);

// The phase is the text phase and the text tool edits characters.
bool8 Is_Editing_Text();

// --- The text-size mapping -------------------------------------------------------------

// Pixels per point, pushed by whoever lays text out or renders it at a size
// of its own (two pushes nest; a third is ignored, as is a pop of nothing).
// With nothing pushed a point is 300/72 pixels (cells).
void Push_TextSize_Mapping(float pixels_per_point);
void Pop_TextSize_Mapping();
// Pushes the factor of unit ux: its canvas width in pixels per point of its
// width in millimetres (300/72 when the unit has no size).
void Push_TextSize_Mapping_U(uint32 ux);
void Push_TextSize_Mapping_C();
float Points_To_PixelsR(float points);
int32 Points_To_Pixels(float points);

// --- The layout pass --------------------------------------------------------------------

// Lays text object om of unit ux out; its cache then holds the positions
// (READY_COORD) and no pictures.
void OM_Recalc(a_om_rec* om, uint32 ux);
// Text object omx of the current unit laid out again when its pictures are
// stale, its old and new areas marked for rendering.
void OM_BringUpToDate(int32 omx);

enum a_categorize_option : uint8 { CATEGORIZE_PLAIN = 0, TREAT_CR_AS_SPACE = 1 };
void Categorize_Chars(a_categorize_option option, a_om_rec& om);
// The object's size in pixels; a percent other than 0 and 100 scales it,
// held to at least 2 pixels and at most the size slider's largest size.
float Calc_Text_Size(int16 percent, const a_om_rec& om);
// Character i's font: its own or the object's, its size, styles, stretches
// and skews.
void Calc_Net_Char(const a_om_rec& om, int32 i, a_fontspec& spec);
// The code point that character i draws: a surrogate pair's on its first
// unit, 0 on its second; U+FFFD for a lone surrogate. units := 1 or 2.
char32_t XYL_Code_Point(const a_om_rec& om, int32 i, int32& units);

// The paths: the cache built from the path settings unless it holds them already.
bool8 Is_Equal_Path_Spec(const a_generic_path_spec& a, const a_generic_path_spec& b);
void Gen_Path(a_om_rec& om, const a_generic_path_spec& spec);
// The point (unit pixels) and angle (tenths of a degree, counter-clockwise)
// at distance along path line (0-based) of the cache.
void Find_On_Path(int16& angle, float& y, float& x, float distance, uint32 line, const a_path_cache& path);
float Path_Max_Along(uint32 line, const a_path_cache& path);
enum a_apply_attr : uint8 { APPLY_PLAIN = 0, APPLY_VERT = 1 };
// Places characters first .. last (one line of the pass) on path line.
void Apply_To_Path(a_horz_just just, int32 last, int32 first, a_om_rec& om, uint32 ux, uint32 line,
                   a_apply_attr attr);
// An overflow mark at pos: at most MAX_OVERFLOWS, none with the last
// mark's id again.
void Post_Overflow(Point pos, int32 id, a_om_rec& om);
// The contour layout's frame: the circle of radius + 4 round centre below
// the line 4 pixels above cut_v (every 2 degrees, 5 when quick).
void Calc_Frame_Contour(a_om_rec& om, Point centre, float radius, int32 cut_v, bool8 quick);

// --- Rendering (VoskTextDraw.cpp) -------------------------------------------------------

// Draws the frame of a text object in view vx (solid when visible, dashed
// when not; the selection colour with hilite).
void OM_Draw_Frame(uint16 vx, bool8 visible, bool8 hilite, const a_om_rec* om);
// text and shad := new pictures of om under mapping (what they held is not
// freed).
void OM_Render(const a_coord_mapping& mapping, a_om_rec* om, a_masked_gworld& text, a_masked_gworld& shad);
// The editor's selected characters of om highlighted in world.
void Draw_Selected_Range(GWorldPtr world, const a_om_rec* om, const a_doc_unit* unit);
