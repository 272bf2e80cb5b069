// The undo history's states as bytes: a whole document (its layout, each
// unit's header, objects and paint layer) laid out as the undo file of a
// ring slot, the checks a state passes before it is put back, and the folder
// of this run that holds the undo files.
//
// A state, in memory and in its file alike:
//   offset 0   uint32 item count n (little-endian, as every number here)
//   offset 4   n item records of RAM_ITEM_SIZE bytes (a_ram_item)
//   then       the items' bytes one after another in item order, each at its
//              record's offset; the last ends at the end of the file.
// The items, in this order: the layout (RAM_TMPL); then for each unit from 1
// its header (RAM_UNITD) and, unless the unit is a clone, one RAM_OJ per
// object in list order (subx 1, 2 ...), RAM_PAINT1_INUSE and, when the paint
// layer is in use, RAM_PAINT1 and RAM_PAINT1M. Records are the program's own
// memory layout: the files are private to the run that wrote them.
//
// The folder: "velmor4-undo-<uid>-XXXXXX" in the system's temporary folder,
// made with owner-only access on first use. While the run lives it holds the
// file RUN (the run's process id) open with an exclusive lock, so another
// run can tell a folder whose run has ended.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/Types.h"

enum a_ram_field : uint8 {
  RAM_UNITD = 0,
  RAM_OJ = 1,
  RAM_PAINT1 = 2,
  RAM_PAINT1M = 3,
  RAM_PAINT1_INUSE = 4,
  RAM_DEAD = 5,   // a freed item; never in a state
  RAM_TMPL = 6,   // the document's layout
};

#pragma pack(push, 1)
struct a_ram_item {
  uint8 field;   // a_ram_field
  uint8 pad;
  int32 unitx;   // the unit (from 1; 0 for the layout)
  int32 subx;    // RAM_OJ: the object's place in the list (from 1); else 0
  uint32 len;    // bytes of the item
  int32 offset;  // where they are, from the start of the state
};
#pragma pack(pop)
constexpr uint32 RAM_ITEM_SIZE = 18;
static_assert(sizeof(a_ram_item) == RAM_ITEM_SIZE);

// The largest state kept: offsets are 32-bit.
constexpr size_t MAX_HIST_IMAGE = 0x7FFFFFFF;

// image := the open document's state (what it held is replaced; its memory
// is kept for the next one). FALSE, with image emptied, when memory runs
// out or the state would pass MAX_HIST_IMAGE.
bool8 Doc_To_Image(std::vector<uint8>& image);
// Whether the bytes are a whole, sound state: NIL when they are, else why
// not, in words for the user.
const char* Image_Check(const uint8* data, size_t len);
// Puts the document back as the state holds it, after checking it whole
// (Image_Check): units are made or freed as its layout says, each unit's
// header, objects and paint layer replaced, and the merged layers marked to
// be rendered again. A state that fails the check changes nothing: FALSE and
// why := the reason.
bool8 Image_To_Doc(const uint8* data, size_t len, const char*& why);

// --- The run's folder -------------------------------------------------------------------

// This run's folder, made on first use; "" when it cannot be made.
const std::string& Undo_Folder();
// The file of ring slot (0 .. 15): "UNDO_<slot>" in the folder; "" without
// a folder.
std::string Undo_File_Path(int32 slot);
// Removes the folder with everything in it (the next use makes another).
void Undo_Folder_Remove();
// Removes the folders of this user's runs that ended without removing
// theirs (a folder whose RUN file is not held, or that never got one and is
// over a minute old); the folders of live runs and of other users stay.
// Result: how many were removed.
int32 Undo_Sweep_Dead_Runs();

// Writes the bytes as the slot's undo file (created owner-only, replacing
// what it held). FALSE when any byte could not be written: the file is then
// removed and errno_out holds the system's error number.
bool8 Undo_File_Write(int32 slot, const uint8* data, size_t len, int& errno_out);
// Reads the slot's undo file whole into data. FALSE when it cannot be read
// or does not hold exactly len bytes.
bool8 Undo_File_Read(int32 slot, size_t len, std::vector<uint8>& data);
// Removes the slot's undo file (nothing when there is none).
void Undo_File_Delete(int32 slot);

// A 64-bit digest of the bytes (not cryptographic), which the history keeps
// for each file it wrote, to know the file unaltered when it reads it back.
uint64 Image_Digest(const uint8* data, size_t len);
