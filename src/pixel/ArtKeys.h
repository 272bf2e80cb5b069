// The keys of the picture library's art: every family of objects the program
// reads from Velmor4.ART4, the stored pictures it asks for by id, the forms
// the art takes, and the least number of items each family holds.
//
// The art generator (tools/artgen) writes these keys, the program's code
// asks for them by these names, and the key-table test checks the built
// library against this header. Project files store canvas keys, so a key
// once released never changes: new art takes new keys after the old ones.
//
// A key is four signed 16-bit parts (a, b, c, d); `a` names the family.
#pragma once

#include "platform/Types.h"

// ---------------------------------------------------------------------------
// Families (the key's first part)
// ---------------------------------------------------------------------------
constexpr int16 ART_CANVAS = 1;        // (1, set, c, d)   a full-size canvas picture
constexpr int16 ART_CANVAS_THUMB = 2;  // (2, set, c, d)   its thumbnail for the canvas bar
constexpr int16 ART_GRADIENT = 3;      // (3, 0, id, 0)    a gradient of the gradient bar
constexpr int16 ART_PALETTE = 4;       // (4, set, c, d)   the colours of the 8-bit canvas (1, set, c, d)
constexpr int16 ART_SOUND = 6;         // (6, 0, id, 0)    a sound effect
constexpr int16 ART_STAMP = 8;         // (8, group, i, 0) a stamp of the stamp bar
constexpr int16 ART_BORDER = 9;        // (9, group, i, 0) a border's pieces
constexpr int16 ART_PATTERN = 10;      // (10, group, i, 0) a tile of the pattern bar
constexpr int16 ART_SYMBOL = 11;       // (11, group, i, 0) a symbol (a font glyph's coverage)
constexpr int16 ART_PICTURE = 12;      // (12, id, 0, 0)   a stored picture by id (interface art)

// ---------------------------------------------------------------------------
// Canvases: (1, set, c, d) full, (2, set, c, d) thumbnail
// ---------------------------------------------------------------------------
// The set `b` is the canvas prefix of a unit kind.
constexpr int16 ART_CANVAS_SET_DISC = 0;     // disc faces: designs centred on the hole
constexpr int16 ART_CANVAS_SET_SQUARE = 1;   // every other face, labels, cards
constexpr int16 ART_CANVAS_SET_INLAY = 2;    // jewel-case inlays
constexpr int16 ART_CANVAS_SET_WRAP = 3;     // DVD and Blu-ray wraps
constexpr int16 ART_CANVAS_SET_BOOKLET = 4;  // booklets and inserts
constexpr int16 ART_CANVAS_SET_WIDE = 5;     // wide lids and cards
constexpr int16 ART_CANVAS_SET_SPINE = 6;    // spines
constexpr int16 ART_CANVAS_SETS = 7;

struct a_art_canvas_set {
  int16 height;       // the full picture's size in pixels
  int16 width;
  int16 min_designs;  // designs beside the white canvas
};
constexpr a_art_canvas_set ART_CANVAS_SET_INFO[ART_CANVAS_SETS] = {
    {640, 640, 16}, {640, 640, 16}, {640, 810, 16}, {640, 1280, 16}, {614, 584, 16}, {614, 1280, 16}, {640, 640, 8},
};
// No canvas is 1270 pixels wide: that width is kept for pictures that are
// sampled whole whatever unit shows them.
constexpr int16 ART_CANVAS_RESERVED_WIDTH = 1270;

// The first key of every set, (·, set, 1, 1), is the white canvas: it has a
// thumbnail and no full picture. Designs use c >= 2; every design of sets 0
// to 5 has the same (c, d) in each of those sets.
constexpr int16 ART_CANVAS_WHITE_C = 1;
constexpr int16 ART_CANVAS_WHITE_D = 1;
constexpr int16 ART_CANVAS_FIRST_C = 2;
constexpr int16 ART_CANVAS_THUMB_MAX = 94;  // thumbnails fit 94 x 94 (the bar's cells are 98 x 98)
constexpr int16 ART_CANVAS_SHARED_SETS = 6;  // sets 0 .. 5 hold the same designs

// Full canvases are JPEG, 32 bits deep; a canvas with a palette object
// beside it is 8 bits deep, its pixels indexing that palette.
constexpr int32 ART_PALETTE_BYTES = 768;  // 256 x (red, green, blue)
constexpr int16 ART_MIN_PALETTES = 1;

// ---------------------------------------------------------------------------
// Gradients: (3, 0, id, 0), ids 1 .. ART_MIN_GRADIENTS at least, contiguous
// ---------------------------------------------------------------------------
// Object: band count n (uint16, big-endian), then n x (0, red, green, blue).
constexpr int16 ART_MIN_GRADIENTS = 48;  // one row of the gradient bar
constexpr int16 ART_GRADIENT_MIN_BANDS = 2;
constexpr int16 ART_GRADIENT_MAX_BANDS = 500;

// ---------------------------------------------------------------------------
// Sounds: (6, 0, id, 0)
// ---------------------------------------------------------------------------
// One format for all, so the sound device is never reopened: 22,050 Hz,
// 16-bit mono. Id 167 is the system's beep and has no object.
constexpr int32 ART_SOUND_RATE = 22050;
constexpr int16 ART_SOUND_BITS = 16;
constexpr int32 ART_SOUND_MIN_MS = 20;
constexpr int32 ART_SOUND_MAX_MS = 400;
constexpr int16 ART_SOUND_FANFARE = 134;
constexpr int32 ART_SOUND_FANFARE_MAX_MS = 1500;

struct a_art_id_range {
  int16 first;
  int16 last;  // inclusive
};
// The interface's sounds, then the drag notes: each drag range is a scale in
// a timbre of its own.
constexpr a_art_id_range ART_SOUND_RANGES[] = {
    {130, 140}, {144, 147}, {168, 183},                          // interface
    {521, 533}, {801, 807}, {851, 862}, {902, 913}, {951, 974},  // drag notes
};
constexpr int16 ART_SOUND_FIRST_DRAG_RANGE = 3;  // index of the first drag range above
constexpr int16 ART_MIN_SOUNDS = 99;

// ---------------------------------------------------------------------------
// Stamps, borders, patterns, symbols: (family, group, i, 0)
// ---------------------------------------------------------------------------
// Stamps: 32-bit on pure white (white is left out when stamping, so no
// visible pixel is pure white), 48 to 160 pixels; no thumbnails.
constexpr int16 ART_MIN_STAMPS = 80;
constexpr int16 ART_MIN_STAMP_GROUPS = 7;  // stars, hearts, flowers, music, snow, discs, film at least
constexpr int16 ART_STAMP_MIN_SIZE = 48;
constexpr int16 ART_STAMP_MAX_SIZE = 160;

// Borders: 32-bit pictures of corner, side and sliver pieces with the
// markers the border reader looks for; all four classes; pieces 12 to 40
// pixels thick.
constexpr int16 ART_MIN_BORDERS = 24;
constexpr int16 ART_BORDER_CLASSES = 4;
constexpr int16 ART_BORDER_MIN_THICK = 12;
constexpr int16 ART_BORDER_MAX_THICK = 40;

// Patterns: seamless opaque 32-bit tiles of 8 to 96 pixels a side.
constexpr int16 ART_MIN_PATTERNS = 36;
constexpr int16 ART_PATTERN_MIN_SIZE = 8;
constexpr int16 ART_PATTERN_MAX_SIZE = 96;

// Symbols: 8-bit coverage (grey table with index 0 white, flag 0x40),
// trimmed to the ink plus 4 pixels, about 320 pixels on the long side.
constexpr int16 ART_MIN_SYMBOLS = 300;
constexpr uint8 ART_SYMBOL_FLAGS = 0x40;   // the grey table whose entry i is grey 255 - i
constexpr int16 ART_SYMBOL_INK = 320;      // the ink's longer side, pixels
constexpr int16 ART_SYMBOL_MARGIN = 4;     // blank pixels round the ink on every side
// The symbol browser shows the symbols in key order, so the groups are
// numbered in the order they are browsed; (11, group, i, 0).
constexpr int16 ART_SYMBOL_MUSIC = 1;
constexpr int16 ART_SYMBOL_MEDIA = 2;
constexpr int16 ART_SYMBOL_NATURE = 3;
constexpr int16 ART_SYMBOL_CELEBRATION = 4;
constexpr int16 ART_SYMBOL_GAMES = 5;        // cards, dice, chess, sport
constexpr int16 ART_SYMBOL_ARROWS = 6;
constexpr int16 ART_SYMBOL_ORNAMENTS = 7;    // fleurons, asterisks, stars, brackets
constexpr int16 ART_SYMBOL_SIGNS = 8;        // marks, warnings, recycling, notices
constexpr int16 ART_SYMBOL_NUMBERS = 9;      // circled numbers and letters (disc 1, side A)
constexpr int16 ART_SYMBOL_EVERYDAY = 10;    // home, office, travel, people
struct a_art_symbol_group {
  int16 group;
  const char* name;  // as art/symbols.txt names it
};
constexpr a_art_symbol_group ART_SYMBOL_GROUPS[] = {
    {ART_SYMBOL_MUSIC, "music"},
    {ART_SYMBOL_MEDIA, "media"},
    {ART_SYMBOL_NATURE, "nature"},
    {ART_SYMBOL_CELEBRATION, "celebration"},
    {ART_SYMBOL_GAMES, "games"},
    {ART_SYMBOL_ARROWS, "arrows"},
    {ART_SYMBOL_ORNAMENTS, "ornaments"},
    {ART_SYMBOL_SIGNS, "signs"},
    {ART_SYMBOL_NUMBERS, "numbers"},
    {ART_SYMBOL_EVERYDAY, "everyday"},
};

// ---------------------------------------------------------------------------
// Stored pictures by id: (12, id, 0, 0), 32-bit, run-length packed
// ---------------------------------------------------------------------------
// Opaque pictures fill every pixel they are read from; translucent ones
// (marked so below) carry straight alpha and are drawn blended. No visible
// pixel of either is pure white. Rectangles are top, left, bottom, right
// within the picture.
constexpr int16 ART_PICT_LIGHT_STRIPE = 129;      // panel background tile
constexpr int16 ART_PICT_BUTTON_FACES = 131;      // translucent: the dialogs' button faces
constexpr int16 ART_PICT_DARK_STRIPE = 133;       // start screen's list background tile
constexpr int16 ART_PICT_BLUE_LINE = 134;         // band tile closing the row of bar tags
constexpr int16 ART_PICT_LANGUAGE_BUTTONS = 137;  // translucent: the language chooser's faces
constexpr int16 ART_PICT_SLIDER = 139;            // 319 x 34
constexpr int16 ART_PICT_PARQUET = 600;           // print preview's background tile
constexpr int16 ART_PICT_PHASE_STRIP = 601;       // the phase selector's buttons
constexpr int16 ART_PICT_COPY_ARROWS = 602;       // translucent: the copy counter's triangles
constexpr int16 ART_PICT_HUE_WHEEL = 603;         // translucent: the colour wheel
constexpr int16 ART_PICT_PRINT_BADGE = 604;       // translucent: print preview's number and check box
constexpr int16 ART_PICT_UNIT_MARKS = 605;        // translucent: the unit list's print and clone marks
constexpr int16 ART_PICT_HISTORY_STRIPS = 606;    // the history panel's rows
constexpr int16 ART_PICT_ABOUT = 1000;            // the About box; start-up requires it

// Background tiles (129, 133, 134, 600) repeat without a seam at any size.
// The light stripe's mean colour: art drawn for the panels is antialiased
// against it.
constexpr uint8 ART_LIGHT_STRIPE_RGB[3] = {236, 238, 244};

// Button faces (131): each face in its plain look, and pressed
// ART_FACE_PRESSED_DV pixels lower. Labels ("OK", "Cancel", the page
// number) are drawn at run time, centred on the face, in black.
constexpr int16 ART_FACE_HEIGHT = 28;
constexpr int16 ART_FACE_PRESSED_DV = 32;
constexpr Rect ART_FACE_PREV = {0, 0, 28, 48};        // previous page: an arrow left
constexpr Rect ART_FACE_NEXT = {0, 52, 28, 100};      // next page: an arrow right
constexpr Rect ART_FACE_NUMBER = {0, 104, 28, 152};   // the page number's well
constexpr Rect ART_FACE_TEXT = {0, 156, 28, 221};     // a labelled button, 65 wide (Cancel)
constexpr Rect ART_FACE_DEFAULT = {0, 225, 28, 290};  // the default labelled button (OK)

// Language chooser (137): one face for every language, labelled at run
// time; face k (below) at top k x ART_LANG_FACE_DV. The label is centred
// in ART_LANG_LABEL, clear of the current language's mark.
constexpr int16 ART_LANG_FACE_WIDTH = 200;
constexpr int16 ART_LANG_FACE_HEIGHT = 38;
constexpr int16 ART_LANG_FACE_DV = 42;
constexpr int16 ART_LANG_FACE_PLAIN = 0;
constexpr int16 ART_LANG_FACE_CURRENT = 1;
constexpr int16 ART_LANG_FACE_UNAVAILABLE = 2;
constexpr int16 ART_LANG_FACES = 3;
constexpr Rect ART_LANG_LABEL = {0, 34, 38, 166};

// Phase selector (601): the buttons of the 350 x 56 strip by phase
// (preview, paint, canvas, symbol, photo, grid, text), in the strip's
// coordinates. A button is copied from its place moved ART_PHASE_SOURCE_DH
// to the right, the selected one from there moved ART_PHASE_SELECTED_DV
// down. The picture holds nothing left of ART_PHASE_SOURCE_DH.
constexpr int16 ART_PHASE_STRIP_WIDTH = 350;
constexpr int16 ART_PHASE_STRIP_HEIGHT = 56;
constexpr int16 ART_PHASE_SOURCE_DH = 742;
constexpr int16 ART_PHASE_SELECTED_DV = 57;
constexpr int16 ART_PHASE_BUTTONS = 7;
constexpr Rect ART_PHASE_BUTTON[ART_PHASE_BUTTONS] = {
    {0, 261, 56, 350},  // preview
    {0, 0, 27, 87},     // paint
    {27, 0, 56, 87},    // canvas
    {0, 87, 27, 174},   // symbol
    {27, 87, 56, 174},  // photo
    {0, 174, 27, 261},  // grid
    {27, 174, 56, 261}, // text
};

// Copy counter (602): the triangles above and below a digit box, as wide
// as the box.
constexpr Rect ART_COPY_UP = {0, 0, 14, 32};
constexpr Rect ART_COPY_DOWN = {0, 36, 14, 68};

// Colour wheel (603): hue h lies at angle h (counter-clockwise from the
// right, as the polar kernel turns), colour distance d at d pixels from the
// centre, the full distance at the rim.
constexpr int16 ART_HUE_WHEEL_SIZE = 160;  // square
constexpr int16 ART_HUE_WHEEL_CENTER = 80;  // h and v
constexpr int16 ART_HUE_WHEEL_RADIUS = 72;

// Print preview badge (604): a unit's number beside its print check box,
// unchecked and checked; large on units of at least 138 x 60, else small.
// The number is written at run time, centred in the badge's first
// ..._NUMBER_WIDTH pixels.
constexpr Rect ART_BADGE_LARGE_OFF = {0, 0, 30, 69};
constexpr Rect ART_BADGE_LARGE_ON = {0, 73, 30, 142};
constexpr Rect ART_BADGE_SMALL_OFF = {34, 0, 57, 47};
constexpr Rect ART_BADGE_SMALL_ON = {34, 51, 57, 98};
constexpr int16 ART_BADGE_LARGE_NUMBER_WIDTH = 37;
constexpr int16 ART_BADGE_SMALL_NUMBER_WIDTH = 25;

// Unit list marks (605), each ART_UNIT_MARK_SIZE square.
constexpr int16 ART_UNIT_MARK_SIZE = 24;
constexpr Rect ART_UNIT_MARK_PRINT_ON = {0, 0, 24, 24};
constexpr Rect ART_UNIT_MARK_PRINT_OFF = {0, 26, 24, 50};
constexpr Rect ART_UNIT_MARK_CLONE = {0, 52, 24, 76};
constexpr Rect ART_UNIT_MARK_ORIGINAL = {0, 78, 24, 102};

// History panel (606): a row's strip from the left, wide enough for the
// widest panel; the current row's strip ART_HISTORY_HILITE_DH to the right.
// Labels start 20 pixels in.
constexpr int16 ART_HISTORY_STRIP_WIDTH = 179;
constexpr int16 ART_HISTORY_STRIP_HEIGHT = 30;
constexpr int16 ART_HISTORY_HILITE_DH = 183;

// The About box writes the version line centred in this band of the
// picture: from (right - 305, 140) to (right, 172).
constexpr int16 ART_ABOUT_BAND_WIDTH = 305;
constexpr int16 ART_ABOUT_BAND_TOP = 140;
constexpr int16 ART_ABOUT_BAND_BOTTOM = 172;
// Interface picture ids avoid this range: the language offset is added to
// ids there.
constexpr int16 ART_PICT_LANGUAGE_FIRST = 160;
constexpr int16 ART_PICT_LANGUAGE_LAST = 400;

// ---------------------------------------------------------------------------
// Stored pictures of the interface items (tool panels' buttons, grids,
// toggles): their ids, rectangles and version offsets come from
// art/interface.txt through the header the generator writes.
// ---------------------------------------------------------------------------
// Item pictures take the slider's id (139) and ids from these two ranges,
// none of them language-dependent.
constexpr int16 ART_PICT_ITEMS_FIRST = 140;
constexpr int16 ART_PICT_ITEMS_LAST = 159;
constexpr int16 ART_PICT_ITEMS2_FIRST = 401;
constexpr int16 ART_PICT_ITEMS2_LAST = 499;
constexpr int16 ART_PICT_MAX_WIDTH = 8191;  // a stored picture's row stays within 32767 bytes
// Language offsets run from 1 to this; Add_Ref adds one to ids 160 .. 400.
constexpr int16 ART_LANGUAGE_OFFSET_MAX = 19;

// The record the generated header (pixel/ArtItems.h, in the build folder)
// holds for every item: ART_ITEM_<item name>, and the tables ART_GRID_ITEMS,
// ART_ONESHOT_ITEMS and ART_TOGGLE_ITEMS in item order; ART_ITEM_SLIDER is
// the art all sliders share, ART_SLIDER_PARTS the source box of each of its
// parts in each look.
struct a_art_item {
  const char* name;
  int16 pixtx;         // the tool picture
  Rect src_rect;       // the plain version's artwork; its size is the node's
  int16 src_verh;      // version n is src_rect moved n times by these
  int16 src_verv;
  bool8 translucent;   // drawn with alpha; otherwise pure white is left out
  // Icon grids: cells on screen (v rows, h columns) and the cell size; the
  // source holds all of them in versions 0 plain, 1 current and 2 dimmed
  // (a grid with an embedded label only its first cell).
  Point grid_ncells;
  Point grid_cell;
  int16 grid_overlap;
  int16 grid_shadow;
};

// The slider (Part geometry on screen is fixed; its picture holds each part
// in each look). Looks: plain, hilited (pressed, or the rack while the thumb
// is dragged), dimmed, and the minus and plus buttons' big-step (Shift) and
// tiny-step (Ctrl) looks; parts that have no look of their own in a look use
// their plain box.
enum a_art_slider_look : int16 {
  ART_SLIDER_PLAIN = 0,
  ART_SLIDER_HILITE = 1,
  ART_SLIDER_DIM = 2,
  ART_SLIDER_BIG = 3,
  ART_SLIDER_TINY = 4,
  ART_SLIDER_LOOKS = 5,
};
enum a_art_slider_part : int16 {
  ART_PART_LABEL = 0,
  ART_PART_RACK = 1,
  ART_PART_THUMB = 2,
  ART_PART_MINUS = 3,
  ART_PART_PLUS = 4,
  ART_PART_RESET = 5,
  ART_SLIDER_PARTS_N = 6,
};
