#include "platform/Resources.h"

#include <array>
#include <cstring>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/HostAudio.h"
#include "host/HostByteOrder.h"
#include "host/HostResources.h"
#include "host/HostUtf.h"
#include "platform/SysErr.h"
#include "platform/SysIO.h"

int16 g_startup_resfile = 0;
int16 g_last_resfile = 0;

namespace {

// One open resource file: the archive and a record per resource, made once so
// a handle stays valid while the file is open.
struct a_res_file {
  std::unique_ptr<host::ResArchive> archive;
  std::vector<a_res_rec> recs;
};

std::array<std::unique_ptr<a_res_file>, RES_NSLOTS> res_stack;
int16 res_nstack = 0;
int16 res_curx = 0;
char g_id[8];

std::unique_ptr<a_res_file> Make_File(std::unique_ptr<host::ResArchive> a, int16 slot) {
  auto f = std::make_unique<a_res_file>();
  f->recs.reserve(a->Index().size());
  for (const host::ResIndexEntry& e : a->Index())
    f->recs.push_back({e.type, e.id, a->Bytes().data() + e.offset, e.size, slot});
  f->archive = std::move(a);
  return f;
}

int16 FindFreeSlot() {
  for (int16 i = 1; i < RES_NSLOTS; ++i)
    if (!res_stack[i]) return i;
  return -1;
}

bool Valid_Slot(int16 slot) { return slot >= 0 && slot < RES_NSLOTS && res_stack[slot]; }

}  // namespace

namespace {
void Load_Program_Resources() {
  std::string err;
  auto a = host::ResArchive::Open_Embedded(&err);
  if (!a) {
    std::fprintf(stderr, "program resources: %s\n", err.c_str());
    QUIT();
    return;
  }
  res_stack[0] = Make_File(std::move(a), 0);
}
}  // namespace

void Resources_Init() {
  Resources_Stop();
  Load_Program_Resources();
}

void Resources_Stop() {
  for (auto& f : res_stack) f.reset();
  res_nstack = 0;
  res_curx = 0;
}

void ResUtil_Init() {
  g_startup_resfile = res_curx;
  g_last_resfile = res_curx;
}

a_res_name ID(int16 resid) {
  if (resid > 0) return {true, resid, nullptr};
  std::snprintf(g_id, sizeof g_id, "%d", int(resid));
  return {false, resid, g_id};
}

int16 HOpenResFile(int16, int32, const char* fileName, int8) {
  int16 slot = FindFreeSlot();
  if (slot < 0 || fileName == nullptr) return -1;
  auto a = host::ResArchive::Open_File(fileName, nullptr);
  if (!a) return -1;
  res_stack[slot] = Make_File(std::move(a), slot);
  if (slot > res_nstack) res_nstack = slot;
  res_curx = slot;
  return slot;
}

void CloseResFile(int16 slot) {
  if (slot < 1 || slot > res_nstack || !res_stack[slot]) return;
  res_stack[slot].reset();
  if (res_curx == slot) res_curx = 0;
  // Lower the top past every free slot, so the next push can reuse them
  // and the lookups never walk free slots above the top.
  while (res_nstack > 0 && !res_stack[res_nstack]) --res_nstack;
}

int16 CurResFile() { return res_curx; }

void UseResFile(int16 slot) {
  // Only an open file can become current; anything else would make every
  // lookup fail silently.
  if (Valid_Slot(slot)) res_curx = slot;
}

ResHandle Get_Res(int16 id, OSType type, int16 slot) {
  // The program's own resources are there from the first lookup on, also
  // for code that runs before the module start-up (tests, early errors).
  if (slot == 0 && !res_stack[0]) Load_Program_Resources();
  if (!Valid_Slot(slot)) return nullptr;
  const a_res_file& f = *res_stack[slot];
  long i = f.archive->Find_Index(type, id);
  return i < 0 ? nullptr : &f.recs[std::size_t(i)];
}

ResHandle Get1Resource(OSType type, int16 id) { return Get_Res(id, type, res_curx); }

ResHandle GetResource(OSType type, int16 id) {
  for (int16 s = res_curx; s >= 0; --s)
    if (ResHandle h = Get_Res(id, type, s)) return h;
  return nullptr;
}

const uint8* LockResource(ResHandle h) { return h ? h->data : nullptr; }

OSErr ResError() { return 0; }
void TestResError() {
  if (ResError() != 0) QUIT();
}

void AddResource(ResHandle, OSType, int16, const char*) { QUIT(); }
void ChangedResource(ResHandle) { QUIT(); }
void RemoveResource(ResHandle) { QUIT(); }
void WriteResource(ResHandle) { QUIT(); }
int16 Count1Resources(OSType) {
  QUIT();
  return 0;
}
ResHandle Get1IndResource(OSType, int16) {
  QUIT();
  return nullptr;
}
ResHandle GetIndResource(OSType, int16) {
  QUIT();
  return nullptr;
}
void HCreateResFile(int16, int32, const char*) { QUIT(); }
void GetString(int16) { QUIT(); }
OSErr ResFile_AddFork(const char*) {
  HCreateResFile(0, 0, nullptr);
  return ResError();
}
bool8 Res_Replace_Ptr(const void*, uint32, OSType, int16, const char*, int16) {
  QUIT();
  return false;
}

int16 StrList_Count(std::span<const uint8> data) {
  if (data.size() < 2) return 0;
  int16 n = int16(Load_LE16(data));
  if (n <= 0) return 0;
  // Count only the entries that lie wholly inside the data.
  std::size_t pos = 2;
  int16 have = 0;
  while (have < n && pos < data.size() && pos + 1 + data[pos] <= data.size()) {
    pos += 1 + std::size_t(data[pos]);
    ++have;
  }
  return have;
}

bool8 StrList_Item(std::span<const uint8> data, int16 ix, StrSpan ss) {
  if (!ss.empty()) ss[0] = 0;
  if (data.size() < 2 || ix < 1) return false;
  int16 n = int16(Load_LE16(data));
  if (ix > n) return false;
  std::size_t pos = 2;
  for (int16 k = 1; k < ix; ++k) {
    if (pos >= data.size()) return false;
    pos += 1 + std::size_t(data[pos]);
  }
  if (pos >= data.size()) return false;
  std::size_t len = data[pos];
  if (pos + 1 + len > data.size()) return false;
  if (ss.empty()) return true;
  // The text is cut to the caller's array, which always keeps its NUL, and
  // never in the middle of a UTF-8 character.
  len = Host_Utf8_Cut(std::string_view(reinterpret_cast<const char*>(data.data()) + pos + 1, len), ss.size() - 1);
  for (std::size_t k = 0; k < len; ++k) ss[k] = char(data[pos + 1 + k]);
  ss[len] = 0;
  return true;
}

void GetIndString(StrSpan ss, int16 tablex, int16 ix) {
  if (!ss.empty()) ss[0] = 0;
  ResHandle h = GetResource(FourCC("STR#"), tablex);
  if (!h) return;
  StrList_Item(std::span<const uint8>(h->data, h->size), ix, ss);
}

void Get1IndString(StrSpan ss, int16 strListID, int16 index) {
  if (!ss.empty()) ss[0] = 0;
  ResHandle h = Get1Resource(FourCC("STR#"), strListID);
  if (!h) return;
  StrList_Item(std::span<const uint8>(h->data, h->size), index, ss);
}

int16 ResFile_Open(const FSSpec& path, int8 perm) {
  // The name is NUL-terminated within its array; an unterminated one is refused.
  if (std::memchr(path.name, 0, sizeof path.name) == nullptr) return -1;
  return HOpenResFile(path.vRefNum, path.parID, path.name, perm);
}
int16 ResFile_Open(const char* path, int8 perm) { return HOpenResFile(0, 0, path, perm); }
void ResFile_Close(int16 slot) { CloseResFile(slot); }

bool8 Res_Exists1(int16 id, OSType type) { return Get1Resource(type, id) != nullptr; }

void Res_NoLoad(OSType r_type, int16 r_id) { g_err_res_proc(r_type, r_id); }

uint32 Res_Size(ResHandle res) { return res ? res->size : 0; }
const uint8* Res_Lock(ResHandle res) { return LockResource(res); }

OSErr Gestalt(OSType code, int32* val) {
  if (val) *val = 0;
  return code == 1 ? 0 : -1;
}

// Exclamation and default beeps are one sound here.
void SysBeep(int16) { Host_Audio_Beep(); }

void FindFolder() { QUIT(); }
void PtrToHand() { QUIT(); }
void HandToHand() { QUIT(); }
void PtrToXHand() { QUIT(); }
