// Projects of the previous generation (preamble version 7, one label per
// file), imported into the current unit of the open document: the old
// label's painting, text blocks and photos become the unit's paint layer
// and objects, scaled from the old label's canvas to the unit's paint
// bounds. Reached only through the import command (Read_DISC with append).
//
// Chunks (big-endian, pixel/ParsChunk.h), index 1 unless said: "CANV" the
// old label kind, "LAYR" and "MASK" the painting and its mask (pictures),
// "FONT" the fonts of the texts, "TEXT" the text blocks, "PHOT" the photos,
// and per photo source "EMBD" (a picture file's bytes) or "CLIP" (a picture).
//
// The whole file is read and checked before the unit is touched: damaged
// content (a count, length, version or kind that does not fit, a painting
// without its mask, more objects than the unit's list has room for) sets
// DEFECT_V3 (or the defect of the file's open, signature or version) and
// imports nothing.
#pragma once

#include "platform/QDRect.h"
#include "platform/SysIO.h"
#include "platform/Types.h"

constexpr int16 V3_CANV_VERSION = 3;
constexpr int16 V3_FONT_VERSION = 1;
constexpr int16 V3_EMBD_VERSION = 1;
constexpr int32 V3_MAX_TEXT_BYTES = 3999;  // characters an old text keeps

// The old label kinds ("CANV") and their canvases in pixels.
enum a_v3_doc_kind : uint8 {
  CD_LABEL = 0,
  MINICD_LABEL = 1,
  BIZCD_LABEL = 2,
  TRAY_CARD = 3,
  J_CARD = 4,
  J2_CARD = 5,
  BIZSQ_LABEL = 6,
  MINICD_CARD = 7,
  MINICD_BOOK = 8,
  DVD_WRAP = 9,
  DVD_INSERT = 10,
  BIZ_CARD = 11,
  AUDIO_LABEL = 12,
  VSPINE_LABEL = 13,
  VHSFACE_LABEL = 14,
  KARDH_LABEL = 15,
  KARDV_LABEL = 16,
};
constexpr int32 NV3_DOC_KINDS = 17;

struct a_v3_canvas_size {
  int16 width, height;
};
inline constexpr a_v3_canvas_size V3_CANVAS_SIZES[NV3_DOC_KINDS] = {
    {640, 640}, {640, 640},  {640, 504}, {810, 640}, {640, 640}, {1280, 640}, {640, 453}, {594, 640}, {1194, 640},
    {1280, 870}, {584, 870}, {810, 495}, {810, 376}, {1280, 167}, {810, 484}, {800, 571}, {571, 800},
};

// The old text sizes are steps of the size slider (SliderToPoints,
// platform/VoskDef.h).
constexpr int32 NV3_SIZES = 36;

// Where an old photo's picture came from.
enum a_v3_source_kind : uint8 {
  V3_SOURCE_NULL = 0,
  V3_SOURCE_DATABASE = 1,
  V3_SOURCE_EXTFILE = 2,
  V3_SOURCE_CLIP = 3,
};

// The old text layouts (versions 2 and 3) and the first set (version 1).
enum a_v3_text_layout : uint8 {
  LAYOUT3_HORZ = 0,
  LAYOUT3_CIRC_CW = 1,
  LAYOUT3_CIRC_CCW = 2,
  LAYOUT3_90 = 3,
  LAYOUT3_VERT = 4,
  LAYOUT3_SPIRAL_CW = 5,
  LAYOUT3_SPIRAL_CCW = 6,
  LAYOUT3_270 = 7,
};
enum a_v1_layout : uint8 {
  V1_LAYOUT_HORZ = 0,
  V1_LAYOUT_CIRC_CW = 1,
  V1_LAYOUT_CIRC_CCW = 2,
  V1_LAYOUT_VERT = 3,
  V1_LAYOUT_90 = 4,
  V1_LAYOUT_270 = 5,
};
enum a_v3_justify : uint8 { V3_JUST_LEFT = 0, V3_JUST_CENTER = 1, V3_JUST_RIGHT = 2 };

// One entry of the font table: an old font id and the installed font that
// stands for it.
struct a_v3_font_mapping {
  int16 old_fx;
  int16 new_fx;
};

// TRUE when the file opens and begins with the preamble 0xCDCD, 7.
bool8 Is_V3_File(const FSSpec& path);

// Clears defects and imports the older project at docpath into the current
// unit (g_doc.up), re-rendering the units. TRUE when it was imported; FALSE
// with defects saying why, and then nothing of the document changed.
bool8 Read_V3(const FSSpec& docpath);

// The objects the last Read_V3 found in its file when the current unit's
// list had no room for them all (it then imported nothing); 0 otherwise.
int32 V3_Objects_Refused();

// dst := src_pt mapped linearly from map_src onto map_dst, each axis on its
// own (32-bit arithmetic, the result held to 16 bits). An empty source side
// maps onto the destination's far side.
void Apply_Mapping(const Rect& map_src, const Rect& map_dst, Point src_pt, Point& dst);

// The text of the old character set (Mac Roman) as UTF-16: at most
// out.size() - 1 units, then a 0 unit. Returns the units written.
int32 MacRoman_To_UTF16(const uint8* in, int32 len, UStrSpan out);
