#include "platform/SysMemX.h"

Handle New_HandleX(const char*, uint32 byteCount) { return New_Handle(byteCount); }
Handle New_Handle_ClearX(const char*, uint32 byteCount) { return New_Handle_Clear(byteCount); }
Handle New_Handle_EmptyX(const char*) { return New_Handle_Empty(); }
Ptr New_PtrX(const char*, uint32 byteCount) { return New_Ptr(byteCount); }
Ptr New_Ptr_ClearX(const char*, uint32 byteCount) { return New_Ptr_Clear(byteCount); }
void Dispose_HandleX(Handle& h) { Dispose_Handle(h); }
void Dispose_PtrX(Ptr& p) { Dispose_Ptr(p); }

void Add_Block(const char*, const void*) {}
void Free_Block(const void*) {}
void Dump_Memory() {}
