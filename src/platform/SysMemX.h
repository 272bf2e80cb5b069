// Labelled forms of the memory calls. The label names the caller for
// debugging; it is not stored.
#pragma once

#include "platform/SysMem.h"

Handle New_HandleX(const char* label, uint32 byteCount);
Handle New_Handle_ClearX(const char* label, uint32 byteCount);
Handle New_Handle_EmptyX(const char* label);
Ptr New_PtrX(const char* label, uint32 byteCount);
Ptr New_Ptr_ClearX(const char* label, uint32 byteCount);
void Dispose_HandleX(Handle& h);
void Dispose_PtrX(Ptr& p);

// Block tracking hooks of the debug build; they do nothing.
void Add_Block(const char* label, const void* block);
void Free_Block(const void* block);
void Dump_Memory();
