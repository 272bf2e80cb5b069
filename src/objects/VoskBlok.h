// The object list of a unit: photos, symbols, collage slots and texts over
// the unit's paint layer, in drawing order. Item 1 is always the paint layer
// (kind PAINT_BLOCK, visible, never selected); a list holds at most MAX_OJ
// objects. Object ids are handed out from 1001 up and never reused while
// the program runs.
//
// So far the list knows its paint layer only: photos, symbols, slots and
// texts (their records, selection, hit-testing and drawing) come with the
// object tools. Their records are held by pointer and are not copied yet
// (copying a list that holds one is an internal error).
#pragma once

#include "platform/Types.h"
#include "platform/VoskDef.h"
#include "objects/VoskCanv.h"

constexpr int32 MAX_OJ = 400;
constexpr uint32 FIRST_OBJECT_ID = 1001;

enum a_oj_kind : uint8 {
  PHOTO_BLOCK = 0,
  SYMBOL_BLOCK = 1,
  SLOT_BLOCK = 2,
  TEXT_BLOCK = 3,
  PAINT_BLOCK = 4,
};

enum a_oj_flag : uint8 {
  SELECTED_FLAG = 0,
  PENDING_FLAG = 1,
  VISIBLE_FLAG = 2,
};
constexpr uint8 OJ_Flag_Bit(a_oj_flag f) { return uint8(1u << f); }

struct a_ph_rec;  // a photo, symbol or collage slot (the photo record)

struct a_oj_item {
  uint32 objid;
  uint8 flags;     // set of a_oj_flag
  a_oj_kind kind;
  a_ph_rec* ph;    // PHOTO_BLOCK, SYMBOL_BLOCK, SLOT_BLOCK
  a_om_rec* om;    // TEXT_BLOCK
};

struct a_oj_master {
  uint32 seq;               // change counter
  int32 nlist;              // objects, 0 .. MAX_OJ
  a_oj_item list[MAX_OJ];   // list[i - 1] is object i; 1 is the bottom
};

// A canvas spec and an object list held aside (declared with the shared
// variables in platform/VoskDef.h).
struct a_undo_rec {
  a_canvas_spec cv;
  a_oj_master oj;
};

// The next object id (1001 for the first after start-up).
uint32 NextUniqueID();

// m := a list of the paint layer alone (visible, a fresh id), seq 0. What m
// held is not disposed of.
void OMast_Init(a_oj_master& m);
// A new unit record, all zero but for its object list: one item, the visible
// paint layer with a fresh id. No memory: the out-of-memory hook.
a_doc_unit* New_Unit_Rec();
// Frees a unit record made by New_Unit_Rec (its content must be disposed of
// first); unit becomes NIL.
void Dispose_Unit_Rec(a_doc_unit*& unit);
// Unit records made and not yet freed.
uint32 Live_Unit_Recs();

// dst := a deep copy of src (seq, nlist and every item). src == dst does
// nothing. What dst held is not disposed of (see OMast_Dispose).
void OMast_Copy(const a_oj_master& src, a_oj_master& dst);
// seq := 0, and every object is disposed of from the top down.
void OMast_Dispose(a_oj_master& m);

// Module start-up: ids start again at 1001.
void VoskBlok_Init();
