// Resource manager in the toolbox style: a stack of open resource files
// (slot 0 is the program's own resources, further slots are archive files
// opened by path), lookup by type and id, and numbered string lists ("STR#").
// Also the small toolbox shims the portable code still calls (Gestalt,
// MemError, REVERSE4 ...).
#pragma once

#include <span>

#include "platform/Types.h"

// One resource of an open resource file. The record and its bytes belong to
// the file and stay valid until that file is closed.
struct a_res_rec {
  OSType type;
  int16 id;
  const uint8* data;
  uint32 size;
  int16 slot;  // the resource file it came from
};
using ResHandle = const a_res_rec*;

constexpr int16 RES_NSLOTS = 40;

// Windows-style numeric resource type kept beside the four-character ones.
constexpr OSType RT_VERSION = 16;

// Module start-up: opens the program's own resources in slot 0, makes it
// current. Calls QUIT when the embedded archive is corrupt.
void Resources_Init();
// Closes every file (slot 0 included); Resources_Init starts again.
void Resources_Stop();

// Name of a resource: resid > 0 names the integer id itself; resid <= 0 names
// the resource by the decimal text of resid ("-102", "0"), kept in g_id until
// the next call. In our archives such a name is stored as that id.
struct a_res_name {
  bool8 is_int;
  int16 id;
  const char* name;  // g_id when not is_int, else NIL
};
a_res_name ID(int16 resid);

// Opens a resource archive file (path NUL-terminated, UTF-8) in the lowest
// free slot 1..39 and makes it current. Result the slot, -1 when no slot is
// free or the file is missing or not a valid archive.
int16 HOpenResFile(int16 vRefNum, int32 dirID, const char* fileName, int8 permission);
void CloseResFile(int16 slot);
int16 CurResFile();
void UseResFile(int16 slot);

ResHandle Get_Res(int16 id, OSType type, int16 slot);
ResHandle Get1Resource(OSType type, int16 id);  // current file only
ResHandle GetResource(OSType type, int16 id);   // current file, then each lower slot
const uint8* LockResource(ResHandle h);
inline void ReleaseResource(ResHandle) {}
inline void DetachResource(ResHandle) {}
inline void UnlockResource(ResHandle) {}
inline void UpdateResFile(int16) {}
inline void Unload_Libraries() {}
inline void DumpResFile() {}
OSErr ResError();
void TestResError();

// The resource files are read-only here: these report an internal error.
void AddResource(ResHandle h, OSType type, int16 id, const char* name);
void ChangedResource(ResHandle h);
void RemoveResource(ResHandle h);
void WriteResource(ResHandle h);
int16 Count1Resources(OSType type);
ResHandle Get1IndResource(OSType type, int16 index);
ResHandle GetIndResource(OSType type, int16 index);
void HCreateResFile(int16 vRefNum, int32 dirID, const char* fileName);
void GetString(int16 id);
OSErr ResFile_AddFork(const char* path);
bool8 Res_Replace_Ptr(const void* data, uint32 size, OSType type, int16 id, const char* name,
                      int16 file);

// Item ix (from 1) of string list tablex, searched from the current file down
// to slot 0; "" when the list is missing or ix lies outside it. The list's
// data is checked as it is read, so a malformed list gives "" rather than a
// read past its end.
void GetIndString(StrSpan ss, int16 tablex, int16 ix);
// The same, in the current file only.
void Get1IndString(StrSpan ss, int16 strListID, int16 index);

// Parses STR# data (int16 LE count, then length-prefixed entries): item ix
// into ss. FALSE (and ss empty) when ix is out of range or the data is too
// short for the entries it claims.
bool8 StrList_Item(std::span<const uint8> data, int16 ix, StrSpan ss);
// The number of entries the data holds (entries that lie wholly inside it).
int16 StrList_Count(std::span<const uint8> data);

struct FSSpec;
int16 ResFile_Open(const FSSpec& path, int8 perm);
int16 ResFile_Open(const char* path, int8 perm);
void ResFile_Close(int16 slot);
bool8 Res_Exists1(int16 id, OSType type);
// Reports a resource that failed to load through g_err_res_proc.
void Res_NoLoad(OSType r_type, int16 r_id);

// Size and bytes of a resource (the record knows its own file).
uint32 Res_Size(ResHandle res);
const uint8* Res_Lock(ResHandle res);
inline void Res_Unlock(ResHandle) {}

// Icons are in Icons.h.

// Shims of other toolbox calls.
OSErr Gestalt(OSType code, int32* val);  // val 0; result 0 for code 1, else -1
inline void* NewRoutineDescriptor(void* proc, int32, int32) { return proc; }
inline void DisposeRoutineDescriptor(void*) {}
inline uint32 REVERSE4(uint32 code) {
  return (code >> 24) | ((code >> 8) & 0xFF00u) | ((code << 8) & 0xFF0000u) | (code << 24);
}
inline OSErr MemError() { return 0; }
// The system's warning beep; the duration is not used.
void SysBeep(int16 duration);
void FindFolder();  // not supported: QUIT
void PtrToHand();   // not supported: QUIT
void HandToHand();  // not supported: QUIT
void PtrToXHand();  // not supported: QUIT

// ResUtil start-up records the current file in both.
extern int16 g_startup_resfile;
extern int16 g_last_resfile;
void ResUtil_Init();
