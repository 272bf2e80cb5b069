// Rendering of picture objects and the render cache.
//
// A picture object (photo, symbol, collage slot, canvas) is drawn from a
// basis picture by its rendering record (a_spec): scaled, flipped, rotated, with
// white knocked out, darkened, recoloured, inverted, with a border or
// scalloped edge, rounded and feathered corners, reduced opacity and a soft
// drop shadow. Apply_Effects is the pipeline; the render cache keeps its
// results keyed by rendering record and purpose, and keeps the basis pictures of image
// files, the clipboard and collages.
//
// Pictures move through the pipeline as masked worlds: a 32-bit fore world
// and an optional 8-bit coverage mask (255 visible, 0 not; NIL visible
// everywhere). A NIL fore world means a picture rendered only for its size.
//
// Ownership: the cache owns every world it hands out. A caller of Cache_Get
// uses the result's worlds until its next call of Cache_Get,
// Cache_Insert_External, Cache_Clear1 or Cache_Clear, and never frees them.
#pragma once

#include "pixel/DrawUtilMasked.h"
#include "pixel/SysPix.h"
#include "platform/SysErr.h"
#include "platform/SysIO.h"
#include "platform/SysMem.h"
#include "platform/SysWin.h"
#include "platform/Types.h"

// Why a rendering is asked for.
enum a_cache_purpose : int16 {
  FOR_SAVING = 0,
  FOR_PRINTING = 1,
  FOR_COLLAGE = 2,
  FOR_SCREEN = 3,
  FOR_SIZING = 4,
};

enum a_source_kind : int16 {
  SOURCE_NULL = 0,
  SOURCE_DATABASE = 1,   // a picture-library object
  SOURCE_EXTFILE = 2,    // an image file
  SOURCE_CLIPBOARD = 3,
  SOURCE_EMPTYSLOT = 4,  // a collage slot without picture
  SOURCE_COLLAGE = 5,
};

// Where a picture comes from. Equal sids mean the same basis picture. `key`
// is used by SOURCE_DATABASE, `path` by SOURCE_EXTFILE; Clean_Spec zeroes the
// part a kind does not use.
struct a_source_desc {
  uint16 sid;
  a_source_kind kind;
  a_keyset key;
  FSSpec path;
};

enum a_photo_edge : int16 {
  PHOTOEDGE_NONE = 0,
  PHOTOEDGE_SOLID = 1,
  PHOTOEDGE_SCALLOP = 2,
  PHOTOEDGE_ROUGH = 3,
};

// The rendering record. Angles in tenths of a degree, counter-clockwise.
struct a_spec {
  a_source_desc source;
  int16 angle;
  int16 scalingh, scalingv;  // thousandths, 1000 = 100 %
  int16 darkness;            // 50 unchanged
  int16 opacity;             // percent
  int16 corner;              // percent of half the larger side
  int16 feather;             // percent of half the larger side
  int16 edge_kind;           // a_photo_edge
  int16 edge_border;         // border band, pixels
  int16 edge_outline;        // outline band, pixels
  int16 edge_scallop;        // scallop depth, percent of the border
  int16 edge_rough;
  int16 color_sat, color_hue, color_dist;
  int16 shad_dx, shad_dy;
  int16 shad_opacity;        // percent
  int16 shad_radius;         // blur passes
  bool8 flipx, flipy, invert, wtransp, shadf, constrainf, is_symbol;
  a_pixel32 symbol_color;
  a_pixel32 edge_bord_color, edge_outl_color;
  Rect subset;               // part of the basis to use; empty = all of it
  int32 hintx;               // the cache entry of the last rendering; not rendered
};

// Defaults of the photo sliders, grid and toggle the interface offers; Null_Spec
// takes them, and the pipeline skips steps whose value equals its default.
constexpr int16 kDefAngle = 0;
constexpr int16 kDefScaling = 1000;
constexpr int16 kDefDarkness = 50;
constexpr int16 kDefOpacity = 100;
constexpr int16 kDefCorner = 0;
constexpr int16 kDefFeather = 0;
constexpr int16 kDefEdgeBorder = 8;
constexpr int16 kDefEdgeOutline = 1;
constexpr int16 kDefEdgeScallop = 60;
constexpr int16 kDefEdgeRough = 10;
constexpr int16 kDefColorSat = 50;
constexpr int16 kDefColorHue = 0;
constexpr int16 kDefColorDist = 0;
constexpr int16 kDefShadDx = 4;
constexpr int16 kDefShadDy = 4;
constexpr int16 kDefShadOpacity = 75;
constexpr int16 kDefShadRadius = 2;
constexpr int16 kDefEdgeKind = PHOTOEDGE_NONE;
constexpr bool8 kDefConstrain = true;

// The edge colours a new rendering record gets (Null_Spec): the colours
// selected in the interface's edge-border and edge-outline colour bars, which
// set them as the selection changes. White border and black outline until
// then, and again after OPUtil_Init.
void Set_Spec_Edge_Bord_Color(const a_pixel32& color);
void Set_Spec_Edge_Outl_Color(const a_pixel32& color);

// The last scallop cell made and the values it was made for.
struct a_cached_scallop {
  PixMap cell;  // 8-bit, gray_ctable; null when none
  int16 totedge;
  int16 scallop;
};
extern a_cached_scallop g_cached_scallop;

// What a caller of the cache receives.
struct a_cache_result {
  a_masked_gworld body;  // the rendered picture
  a_masked_gworld shad;  // the separate shadow, empty when none
  Rect union_;           // the union of both bounds
  Handle raw;            // a basis entry's image-file bytes; NIL for renderings
};

// One entry of the cache.
struct a_cache_item {
  uint32 lru;  // recency; kFreeLRU free; basis entries kBasisLRU + counter
  int32 size;  // bytes of its worlds and raw block
  a_spec spec;
  a_cache_result c;
  bool8 discardable;
  bool8 basis;
  a_cache_purpose purpose;
  // Basis entries: the picture's own bounds, of which c.body may hold a
  // reduction (its bounds then smaller), the importer that read it (first
  // character 0: it cannot be read again), and whether reading it again
  // failed (the basis in hand then serves every rendering).
  Rect natural;
  char codec[4];
  bool8 reread_failed;
};

constexpr int32 kCacheEntries = 500;
constexpr uint32 kFreeLRU = 0xFFFFFFFFu;
constexpr uint32 kBasisLRU = 134217728u;  // 2 to the 27th
constexpr int32 kCacheMinLimit = 100000000;
constexpr uint16 kFirstSID = 1234;


// --- Rendering ----------------------------------------------------------------------

// Module start-up of the renderer and the cache: no scallop cell, sids from
// 1234, Cache_Init.
void OPUtil_Init();

// Renders `in` by its rendering record into new worlds body and shad; in's worlds are neither
// changed nor freed.
void Apply_Effects(a_cache_purpose purpose, const a_spec& spec, a_masked_gworld in, a_masked_gworld& body,
                   a_masked_gworld& shad);
// The same for a basis that holds a reduction of a picture whose own bounds
// are `natural` (Cache_Insert_Basis): the record's subset and scalings are
// in the picture's own pixels, and the rendering has the size they give
// whatever the basis holds (a smaller basis is drawn larger onto it).
void Apply_Effects(a_cache_purpose purpose, const a_spec& spec, a_masked_gworld in, const Rect& natural,
                   a_masked_gworld& body, a_masked_gworld& shad);
void Null_Spec(a_spec& spec);
void Clean_Spec(a_spec& spec);
bool8 Equal_Source(const a_source_desc& source1, const a_source_desc& source2);
// The cache's matching rule; the subset counts only with subsetf. An edge
// kind outside 0 .. 3 calls QUIT.
bool8 Equal_Spec(bool8 subsetf, const a_spec& spec1, const a_spec& spec2);
bool8 Is_Edge_Used(const a_spec& spec);
bool8 Is_Angle_Even(int16 angle);

// The steps, each making new worlds in `out` (whatever out held is not freed).
//
// Apply_Basic: the subset (all of `in` when empty) scaled, flipped and, with
// do_rotation, turned. The rendering has the box the record gives, never
// less: a picture is drawn as large as it is placed. Only a box under 2
// pixels grows (its scaling by 100 up to 3000), and one that would pass
// kMaxRenderSide a side or kMaxRenderPixels in all shrinks, keeping its
// proportions, until it fits (no placed photo comes near either).
constexpr int32 kMaxRenderSide = 32767;
constexpr int64 kMaxRenderPixels = int64(1) << 27;
void Apply_Basic(a_cache_purpose purpose, const a_spec& spec, bool8 do_rotation, a_masked_gworld& in,
                 a_masked_gworld& out);
// The same over a basis that holds a reduction of a picture whose own bounds
// are `natural` (see Apply_Effects).
void Apply_Basic(a_cache_purpose purpose, const a_spec& spec, bool8 do_rotation, a_masked_gworld& in,
                 const Rect& natural, a_masked_gworld& out);
void Colorize_Symbol(a_pixel32 symbol_color, const a_masked_gworld& in, a_masked_gworld& out);
void Apply_Knockout(int16 tolerance, PixMapPtr src, PixMapPtr msk);
void Apply_Knockout_W(int16 tolerance, GWorldPtr srcw, GWorldPtr mskw);
void Force_Mask_To_Exist(const Rect& bounds, GWorldPtr& out_mask);
// `in` is handed over or left for the caller to dispose of.
void Apply_Edge(a_cache_purpose purpose, const a_spec& spec, a_masked_gworld& in, a_masked_gworld& out);
void Apply_Opacity(int16 opacity, const Rect& bounds, GWorldPtr& mask);
void Apply_Shadow(int16 shad_dx, int16 shad_dy, int16 shad_opacity, int16 shad_radius, a_pixel32 shad_color,
                  a_masked_gworld& in, a_masked_gworld& body, a_masked_gworld& shad);
void Apply_Rotation(a_cache_purpose purpose, int16 angle, a_masked_gworld& in, a_masked_gworld& out);
void Rotate_GWorld(int16 angle, const Rect& src_rect, GWorldPtr src_w, Rect& dst_rect, GWorldPtr& dst_w);
void Rotation_Prep(a_cache_purpose purpose, a_masked_gworld& in);
void Fill_World_White(GWorldPtr world, const Rect& bounds);
bool8 Lock(GWorldPtr w, PixMapPtr& p);
void Swap_MW(a_masked_gworld& a, a_masked_gworld& b);
void Rects_Around_Rect(const Rect& outer, const Rect& inner, Rect& r1, Rect& r2, Rect& r3, Rect& r4);
void Apply_Scaling_Pt(int16 scalingh, int16 scalingv, Point in, Point& out);
void WriteSpec(const a_spec& spec);

// Masks of the edges.
void Calc_Feather_Mask(int16 corner, int16 feather, GWorldPtr mask);
// The scallop cell for these values (cached); NIL when its depth is 0.
PixMapPtr Calc_Scallop_Cell(int16 totedge, int16 scallop);
void Calc_Scallop_Mask(int16 totedge, int16 scallop, const Rect& bounds, GWorldPtr mask);
double Polar_Ellipse_R(int16 theta, double a, double b);
void XY_To_Cyl_R(Point origin, Point xy, double& radius, int16& angle);

// --- Render cache ---------------------------------------------------------------------

// Draws the placeholder of a missing library picture into the current port
// over dest (the documents' Fill_Missing_Pattern, installed by their
// start-up VoskDoc_Init; until then the placeholder stays blank).
extern void (*g_missing_pattern_proc)(const Rect& dest);

void Cache_Init();
// A source that is neither a library picture nor has a basis entry (a
// photo whose file was not found) gives an empty body for every purpose.
//
// A basis that holds a reduction of its picture (Cache_Insert_Basis) serves
// every rendering whose scalings need no more of it: the fraction a
// rendering needs is the larger of its scalings / 1000 (at most all of the
// picture). A print asks with its scalings times its dots per inch / 300,
// so a print at 600 dpi needs twice what the screen does. When a rendering
// needs more, the picture is read again at the size it needs, from the
// file's bytes the entry keeps (raw) or else from the file of a
// SOURCE_EXTFILE source, and the new basis replaces the smaller one (the
// renderings made from it stay). When neither can be read (or gives
// another picture), the basis in hand is drawn larger, on the box the
// record gives, and is not read again. FOR_SAVING gives the basis as it is
// held (Basis_Natural tells its own size).
void Cache_Get(a_cache_purpose purpose, a_spec& targspec, a_cache_result& c);
// The basis of a missing picture-library picture whose rendering record names no subset.
constexpr Rect kMissingBasis = {0, 0, 100, 100};
void Cache_Get2(a_cache_purpose targpurpose, a_spec& targspec, a_cache_result& outc);
// Stores a basis picture under a new sid (written into new_source.sid); the
// cache takes over new_body and new_raw. When every entry already holds a
// basis picture there is no room: alert 16, both are disposed of, the sid is
// 0 and the result FALSE (the caller refuses the import).
bool8 Cache_Insert_External(a_source_desc& new_source, a_masked_gworld new_body, Handle new_raw);
// The same for a picture read reduced (Scan_Quicktime_Reduced, ParsQuik.h):
// new_body holds a reduction of the picture whose own bounds are natural
// (0, 0, height, width), read by the importer named by codec from the bytes
// new_raw keeps (NIL: from the file of a SOURCE_EXTFILE source), which
// reads it again when a rendering needs more. The record's subset, the
// photo's scalings and crop, and what is saved stay in the picture's own
// pixels. A natural rectangle smaller than the body's bounds counts as the
// body's bounds. Cache_Insert_External is this with natural = the body's
// bounds and no codec.
bool8 Cache_Insert_Basis(a_source_desc& new_source, a_masked_gworld new_body, Handle new_raw,
                         const Rect& natural, const char (&codec)[4]);
// natural := the own bounds of the picture of source sid (the bounds of its
// basis when it was not reduced). FALSE (natural empty) when the cache holds
// no basis for sid.
bool8 Basis_Natural(uint16 sid, Rect& natural);
bool8 Find_Basis(uint16 targid, int32& ix);
bool8 Cache_Find(bool8 subsetf, a_cache_purpose purpose, a_spec& spec);
bool8 Purposes_Compatible(a_cache_purpose targ_purpose, a_cache_purpose cache_purpose);
int32 Find_Unused(int64 newsize);
void Make_Room(int64 needed);
int32 Drop_LRU();
void Cache_Del(int32 ix);
void Cache_Clear1(uint16 targsid);
void Cache_Clear();
void Cache_Stop();
void Flush_Discardable();
uint16 Calc_Next_SID();
// Source ids start again from 1234 (module start-up).
void Reset_Next_SID();
// The cache's state (entries 1 .. kCacheEntries): an entry in use or free
// (ix from 1 to Cache_Highest(); NIL before Cache_Init), the highest entry
// ever used, the bytes its entries hold and its byte budget. Byte counts are
// 64-bit: half the physical memory of a large machine does not fit 32 bits.
const a_cache_item* Cache_Entry(int32 ix);
int32 Cache_Highest();
int64 Cache_Bytes_Used();
int64 Cache_Byte_Limit();
// Sets the byte budget in place of the one Cache_Init worked out (tests).
void Cache_Set_Byte_Limit(int64 limit);
void Canvas8_To_32(const a_keyset& key, GWorldPtr canv8, GWorldPtr& canv32);
void Null_Cache_Result(a_cache_result& outc);
void Dispose_Cache_Result(a_cache_result& c);
void Dispose_Masked_World(a_masked_gworld& mw);
int32 PixMap_Size(const PixMap& pix);
int32 GWorld_Size(GWorldPtr g);
int32 MW_Size(const a_masked_gworld& mw);
void Dump_Cache();
