// Memory blocks: movable blocks reached through handles, fixed blocks reached
// through pointers, and a few memory statistics.
//
// A handle is an opaque record of ours that keeps the block's address, its
// size, a lock count and the purge state. Use the block through the address
// Handle_Lock returns; resizing a handle may move its block, so lock again
// after Handle_SetSize. A purged handle keeps its identity with size 0 and
// Handle_Lock gives NIL for it until it is resized.
//
// A pointer is a fixed block with a small size header in front of it, so
// Ptr_GetSize works and Ptr_SetSize resizes in place (it never moves).
//
// The allocating calls return NIL on failure and report nothing: each caller
// tests the result and calls g_err_mem_proc with the size it asked for. The
// resizing calls report their own failure through g_err_mem_proc.
#pragma once

#include "platform/Types.h"

struct a_handle_rec;
using Handle = a_handle_rec*;

// The largest block we hand out. The program was built for a 32-bit address
// space where no single block could come near this; refusing larger sizes
// turns a corrupt size field into a clean allocation failure.
constexpr uint32 kMaxBlockSize = 0x7FFFFFFFu;

// Handles.
Handle New_Handle(uint32 size);
Handle New_Handle_Clear(uint32 size);
Handle New_Handle_Temp(uint32 size);
Handle New_Handle_Empty();
void Dispose_Handle(Handle& h);        // NIL does nothing; h becomes NIL
Ptr Handle_Lock(Handle h);             // block address, NIL when NIL or purged
void Handle_Unlock(Handle h);
uint32 Handle_GetSize(Handle h);       // 0 for NIL or purged
void Handle_SetSize(Handle h, uint32 newsize);
void Handle_Purge(Handle h);           // a locked handle is not purged
void Handle_SetPurgeFlag(bool8 flag, Handle h);
bool8 Is_Handle_Locked(Handle h);
bool8 Is_Handle_Purged(Handle h);
bool8 Is_Handle_Purgeable(Handle h);
int Handle_LockCount(Handle h);
void Handle_MoveHi(Handle h);

// Pointers.
Ptr New_Ptr(uint32 size);
Ptr New_Ptr_Clear(uint32 size);
void Dispose_Ptr(Ptr& p);              // NIL does nothing; p becomes NIL
uint32 Ptr_GetSize(Ptr p);             // 0 for NIL
void Ptr_SetSize(Ptr p, uint32 newsize);

// Statistics. The 64-bit forms are exact; the 32-bit forms, which the
// out-of-memory alert and older callers take, are clamped to 0xFFFFFFFF.
uint64 Heap_CalcFree64();              // physical memory available now
uint64 Heap_CalcLargest64();           // largest block we could expect to get
uint64 Heap_CalcPhysical64();          // total physical memory
uint32 Heap_CalcTotal();               // the constant 10,000,000
uint32 Heap_CalcFree();
uint32 Heap_CalcLargest();
uint32 Heap_CalcLargest2();
uint32 Calc_Physical_MB();             // total physical memory div 1,000,000

// Bytes an offscreen world of these bounds and depth needs, as reported when
// one cannot be made: (width + depth - 1) * (depth div 8) * height + 500.
// Worked out in 64 bits and clamped to 0 .. 0xFFFFFFFF.
uint32 Calc_GWorld_Memory(const Rect& bounds, int16 depth);

void Heap_Init();
void Dump_GDI();
