// A small table of shared pixel maps with reference counts and copy on write.
// An object is a pointer to one of the table's records; copying an object
// shares its map, and modifying a shared one first gives it a copy of its own.
#pragma once

#include "pixel/SysPix.h"
#include "platform/Types.h"

struct a_pixobj_rec {
  PixMap pix;
  uint32 seq;   // change number: a new one each time the pixels may change
  int16 nref;   // references; 0 = free record
};
using a_pixobj_ptr = a_pixobj_rec*;

constexpr int kPixObjSlots = 3;
using a_pixobj_table = a_pixobj_rec[kPixObjSlots];

// Zeroes the three records and gives each a null pixel map.
void Null_Table(a_pixobj_table& table);
// Frees the pixel map of every record in use and marks it free.
void Dispose_Table(a_pixobj_table& table);
uint32 Next_Seq();
// The first free record, with a new seq and one reference; NIL when none is free.
a_pixobj_ptr Find_Free_Slot(a_pixobj_table& table);
// Empties the table, then makes record 1 an object with a new map.
void New_PixObj(a_pixobj_table& table, a_pixobj_ptr& obj, const Rect& nbounds, int16 depth, CTabHandle ctab);
// dst becomes another reference to src; dst's old object loses one (its map
// is freed when none remain).
void PixObj_Copy(a_pixobj_ptr src, a_pixobj_ptr& dst);
// obj gets the map `newpix` (the table takes it over). A shared object is
// left to its other users. QUIT when a record is needed and none is free.
void PixObj_Replace(a_pixobj_table& table, a_pixobj_ptr& obj, const PixMap& newpix);
// Readies obj for a change: an unshared object gets a new seq; a shared one
// is copied into a free record and obj moves to the copy (QUIT when no
// record is free).
void PixObj_Modify(a_pixobj_table& table, a_pixobj_ptr& obj);
