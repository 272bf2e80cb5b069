#include "platform/SysIO.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "host/HostFiles.h"
#include "host/HostFolders.h"
#include "platform/MString.h"
#include "platform/SysErr.h"
#include "platform/SysVol.h"

a_filename boot_directory = {0};

namespace {

// The path text of a record, or nullptr when it holds no NUL (a corrupt
// record must not send a read past its end to the system).
const char* Name_Of(const FSSpec& path) {
  if (std::memchr(path.name, 0, sizeof path.name) == nullptr) return nullptr;
  return path.name;
}

a_fd To_Handle(int fd) { return fd < 0 ? NULL_FD : a_fd(uint32(fd)); }

int To_Host(a_fd fd) { return fd == NULL_FD || fd > uint32(INT_MAX) ? HOST_NO_FD : int(fd); }

int32 Clamp32(int64 v) { return v > int64(INT32_MAX) ? INT32_MAX : int32(v); }

std::string Span_Text(CStrSpan s) {
  size_t n = 0;
  while (n < s.size() && s[n] != 0) n++;
  return std::string(s.data(), n);
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

struct Suffix_Type {
  const char* suffix;
  OSType type;
};
constexpr Suffix_Type kSuffixTypes[] = {
    {".BMP", FourCC("BMP ")},  {".LBM", FourCC("ILBM")}, {".GIF", FourCC("GIFf")},
    {".JPG", FourCC("JPEG")},  {".JPEG", FourCC("JPEG")}, {".JPE", FourCC("JPEG")},
    {".JFIF", FourCC("JPEG")}, {".TIFF", FourCC("TIFF")}, {".TIF", FourCC("TIFF")},
    {".CD4", FourCC("DISC")},
};

}  // namespace

void SysIO_Init() { Calc_Boot_Dir(boot_directory); }

bool8 Path_From_Text(FSSpec& path, const char* text) {
  path.vRefNum = 0;
  path.parID = 0;
  return mStrAssign(path.name, text != nullptr ? std::string(text) : std::string());
}

a_fd File_Open(const FSSpec& path, uint32 perm) {
  const char* name = Name_Of(path);
  if (name == nullptr) return NULL_FD;
  uint32 access = 0;
  if (perm & GENERIC_READ) access |= HOST_READ;
  if (perm & GENERIC_WRITE) access |= HOST_WRITE;
  return To_Handle(Host_Open(name, access, HOST_OPEN_EXISTING));
}

OSErr File_Create(bool8 overwrite, const FSSpec& path, OSType, OSType) {
  const char* name = Name_Of(path);
  if (name == nullptr) return errFailed;
  int fd = Host_Open(name, HOST_WRITE, overwrite ? HOST_CREATE_ALWAYS : HOST_CREATE_NEW);
  if (fd == HOST_NO_FD) return errFailed;
  Host_Close(fd);
  return noErr;
}

OSErr File_Create_Temp(OSType, OSType, CStrSpan basename, FSSpec& path, a_fd& fd) {
  fd = NULL_FD;
  FSSpec folder;
  if (!Find_System_Dir(folder) || !Concat_Path(folder, basename, path)) return errFailed;
  int h = Host_Open(path.name, HOST_READ | HOST_WRITE, HOST_CREATE_ALWAYS);
  if (h == HOST_NO_FD) return errFailed;
  fd = To_Handle(h);
  return noErr;
}

void File_Close(a_fd fd) { Host_Close(To_Host(fd)); }

a_fd File_OpenRF(const FSSpec&, uint32) {
  QUIT();
  return NULL_FD;
}

OSErr File_Delete(const FSSpec& path) {
  const char* name = Name_Of(path);
  return name != nullptr && Host_Delete(name) ? noErr : errFailed;
}

bool8 File_Exists(const FSSpec& path) {
  const char* name = Name_Of(path);
  return name != nullptr && Host_Exists(name);
}

OSErr Copy_File(const FSSpec& src_path, const FSSpec& dst_path) {
  const char* src = Name_Of(src_path);
  const char* dst = Name_Of(dst_path);
  if (src == nullptr || dst == nullptr) return errFailed;
  return Host_Copy_File(src, dst) ? noErr : errFailed;
}

OSErr Get_Temp_Filename(FSSpec& path) {
  path.vRefNum = 0;
  path.parID = 0;
  path.name[0] = 0;
  std::string name;
  int fd = Host_Temp_File(Host_Temp_Dir().c_str(), "TMP", name);
  if (fd == HOST_NO_FD) return errFailed;
  Host_Close(fd);
  if (!mStrAssign(path.name, name)) {
    Host_Delete(name.c_str());
    return errFailed;
  }
  return noErr;
}

OSErr File_Read(a_fd fd, void* buf, uint32 nbytes) {
  if (nbytes == 0) return noErr;
  int64 got = Host_Read(To_Host(fd), buf, nbytes);
  if (got < 0) return errFailed;
  // Fewer bytes than asked for: the block is not whole, which the caller must
  // hear about rather than go on with a partly filled buffer.
  return uint64(got) == nbytes ? noErr : eofErr;
}

OSErr File_Read2(a_fd fd, void* buf, uint32& nbytes) {
  if (nbytes == 0) return noErr;
  int64 got = Host_Read(To_Host(fd), buf, nbytes);
  if (got < 0) {
    nbytes = 0;
    return errFailed;
  }
  nbytes = uint32(got);
  return got == 0 ? eofErr : noErr;
}

OSErr File_Write(a_fd fd, const void* buf, uint32 nbytes) {
  if (nbytes == 0) return To_Host(fd) == HOST_NO_FD ? errFailed : noErr;
  return Host_Write(To_Host(fd), buf, nbytes) ? noErr : errFailed;
}

int32 File_GetPos(a_fd fd) {
  int64 p = Host_Tell(To_Host(fd));
  return p < 0 ? -1 : Clamp32(p);
}

OSErr File_SetPos(a_fd fd, int32 pos) {
  if (pos < 0) return errFailed;
  return Host_Seek(To_Host(fd), pos) < 0 ? errFailed : noErr;
}

int32 File_GetEOF(a_fd fd) {
  int64 n = Host_Size(To_Host(fd));
  return n < 0 ? -1 : Clamp32(n);
}

int32 File_GetSize(const FSSpec& file) {
  a_fd fd = File_Open(file, GENERIC_READ);
  if (Is_Null_Fd(fd)) return 0;
  int32 n = File_GetEOF(fd);
  File_Close(fd);
  return n < 0 ? 0 : n;
}

void File_SetEOF(a_fd, int32) {}
void File_ClipEOF(a_fd) {}

bool8 Matches_Suffix(CStrSpan filename, CStrSpan suffix) {
  int32 n = mStrLength(filename);
  int32 k = mStrLength(suffix);
  if (n <= k) return false;
  for (int32 i = 0; i < k; i++) {
    if (Upper(filename[size_t(n - k + i)]) != Upper(suffix[size_t(i)])) return false;
  }
  return true;
}

bool8 File_GetInfo2(CStrSpan name, OSType& file_creator, OSType& file_type, uint16& file_flags) {
  file_creator = FourCC("????");
  file_type = FourCC("????");
  file_flags = 0;
  if (mStrLength(name) > 4) {
    for (const Suffix_Type& st : kSuffixTypes) {
      if (Matches_Suffix(name, CStrSpan(st.suffix, std::strlen(st.suffix) + 1))) {
        file_type = st.type;
        break;
      }
    }
  }
  return true;
}

bool8 File_GetInfo(const FSSpec& file, OSType& file_creator, OSType& file_type,
                   uint16& file_flags) {
  return File_GetInfo2(file.name, file_creator, file_type, file_flags);
}

bool8 File_GetDate(const FSSpec& path, a_datetime_rec& datetime) {
  const char* name = Name_Of(path);
  std::time_t t;
  if (name == nullptr || !Host_File_MTime(name, t)) return false;
  std::tm tm;
  if (::localtime_r(&t, &tm) == nullptr) return false;
  datetime.year = int16(tm.tm_year + 1900);
  datetime.month = int16(tm.tm_mon + 1);
  datetime.day = int16(tm.tm_mday);
  datetime.hour = int16(tm.tm_hour);
  datetime.minute = int16(tm.tm_min);
  datetime.second = int16(tm.tm_sec > 59 ? 59 : tm.tm_sec);
  datetime.dayOfWeek = int16(tm.tm_wday);
  return true;
}

// Linux has no hidden attribute (a leading dot is part of the name, and
// renaming would change the caller's path), so hiding is reported as not
// done. "Normal" attributes mean writable, as clearing read-only does.
bool8 File_SetFlags(const FSSpec& file, uint16 targ_flags) {
  const char* name = Name_Of(file);
  if (name == nullptr || !Host_Exists(name)) return false;
  if (targ_flags & kIsInvisible) return false;
  return Host_Set_Writable(name);
}

bool8 Path_To_Name(const FSSpec& path, StrSpan name) { return Extract_Filename(name, path); }

bool8 Name_To_Path(int16 vol, CStrSpan name, FSSpec& path) {
  std::string text = Span_Text(name);
  std::string full;
  if (vol > 0) {
    FSSpec root;
    if (!Find_Root_Dir(root, int16(vol - 1))) {
      Path_From_Text(path, "");
      return false;
    }
    size_t skip = 0;
    while (skip < text.size() && (text[skip] == '/' || text[skip] == '\\')) skip++;
    full = std::string(root.name) + "/" + text.substr(skip);
  } else {
    full = text;
  }
  return Path_From_Text(path, full.c_str());
}

bool8 Enumerate_Local_Files(a_file_proc fileproc, const FSSpec& inpath, OSType targ_ftype,
                            OSType) {
  const char* folder = Name_Of(inpath);
  if (folder == nullptr || fileproc == nullptr) return false;
  std::vector<std::string> names;
  if (!Host_List_Dir(folder, names)) return false;
  bool8 whole = true;
  // A fixed order, so "the first file that matches" means the same on every run.
  std::sort(names.begin(), names.end());
  bool every = char(targ_ftype >> 24) == '?';
  for (const std::string& n : names) {
    CStrSpan entry(n.c_str(), n.size() + 1);
    if (!every) {
      OSType creator, type;
      uint16 flags;
      File_GetInfo2(entry, creator, type, flags);
      if (type != targ_ftype) continue;
    }
    FSSpec path;
    if (!Concat_Path(inpath, entry, path)) {
      whole = false;
      continue;
    }
    fileproc(path);
  }
  return whole;
}

void Calc_Boot_Dir(StrSpan mydocs) {
  if (mydocs.empty()) return;
  mydocs[0] = 0;
  std::string docs;
  if (Host_Documents_Dir(docs)) mStrAssign(mydocs, docs);
}
