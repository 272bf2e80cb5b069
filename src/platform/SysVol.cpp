#include "platform/SysVol.h"

#include <unistd.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "host/HostFiles.h"
#include "host/HostFolders.h"
#include "host/HostVolumes.h"
#include "platform/MString.h"
#include "platform/SysErr.h"

namespace {

bool Is_Sep(char c) { return c == '/' || c == '\\'; }

// The text of a path record, up to its NUL (or the whole array when a corrupt
// record has none).
std::string Name_Text(const FSSpec& path) { return std::string(path.name, strnlen(path.name, sizeof path.name)); }

std::string Span_Text(CStrSpan s) {
  size_t n = 0;
  while (n < s.size() && s[n] != 0) n++;
  return std::string(s.data(), n);
}

// Sets a whole path record; volume and parent as given. A text that does not
// fit gives an empty name and false, never a cut path.
bool8 Set_Path(FSSpec& path, const std::string& text, int16 vref = 0, int32 parid = 0) {
  path.vRefNum = vref;
  path.parID = parid;
  return mStrAssign(path.name, text);
}

// Start of the last component (after the last separator).
size_t Last_Component(const std::string& s) {
  size_t i = s.size();
  while (i > 0 && !Is_Sep(s[i - 1])) i--;
  return i;
}

std::string Strip(const std::string& s) {
  // The last separator at index 1 or above ends the folder; a path whose only
  // separator leads it ("/file") is in the root, whose text is empty.
  size_t i = s.size();
  while (i > 1 && !Is_Sep(s[i - 1])) i--;
  if (i > 1) return s.substr(0, i - 1);
  return "";
}

std::string Root_Text(const HostVolume& v) { return v.root == "/" ? "" : v.root; }

bool Valid_Drive_Index(int idx) { return idx >= 0 && idx < HOST_MAX_DRIVES; }

// Empties the record's name and reports failure.
bool8 Fail_Path(FSSpec& path) {
  Set_Path(path, "");
  return false;
}

bool8 Fail_Text(StrSpan s) {
  mStrAssign(s, "");
  return false;
}

bool8 g_erase_ok = true;

void Vol_Erase2(const FSSpec& path) {
  if (File_Delete(path) != noErr) g_erase_ok = false;
}

}  // namespace

// ---------------------------------------------------------------------------
// Folders

bool8 Get_Application_Path(FSSpec& path) {
  std::string dir;
  if (!Host_Program_Dir(dir)) return Fail_Path(path);
  return Set_Path(path, dir == "/" ? "" : dir);
}

bool8 Find_System_Dir(FSSpec& path) {
  std::string dir;
  if (!Host_AppData_Dir(dir)) return Fail_Path(path);
  return Set_Path(path, dir);
}

OSErr Find_Documents_Folder(FSSpec& path) {
  std::string dir;
  if (!Host_Documents_Dir(dir)) {
    Set_Path(path, "");
    return errFailed;
  }
  return Set_Path(path, dir) ? noErr : errFailed;
}

bool8 Find_Root_Dir(FSSpec& path, int16 vol) {
  if (vol < 0) {
    QUIT();
    Set_Path(path, "");
    return false;
  }
  if (!Valid_Drive_Index(vol)) return Fail_Path(path);
  HostDriveTable t = Host_Drive_Table();
  const HostVolume& v = t[size_t(vol)];
  if (v.root.empty()) return Fail_Path(path);
  return Set_Path(path, Root_Text(v));
}

int16 Find_System_Vol() {
  int idx = Host_Drive_Of_Path("/");
  return int16(idx < 0 ? 0 : idx + 1);
}

int16 Get_Curr_Vol() {
  std::string dir;
  if (!Host_Program_Dir(dir)) return 0;
  int idx = Host_Drive_Of_Path(dir.c_str());
  return int16(idx < 0 ? 0 : idx + 1);
}

bool8 Is_Application_CDROM() {
  std::vector<char> buf(4096);
  if (::getcwd(buf.data(), buf.size()) == nullptr) return false;
  int idx = Host_Drive_Of_Path(buf.data());
  if (idx < 0) return false;
  return Host_Drive_Table()[size_t(idx)].cdrom;
}

OSErr Create_Folder(FSSpec& new_path, CStrSpan dir_name, const FSSpec& parent_path) {
  if (!Concat_Path(parent_path, dir_name, new_path)) return errFailed;
  return Host_Make_Dir(new_path.name) ? noErr : errFailed;
}

// ---------------------------------------------------------------------------
// Paths

bool8 Concat_Path(const FSSpec& parent, CStrSpan file, FSSpec& combined) {
  std::string p = Name_Text(parent);
  std::string f = Span_Text(file);
  std::string out = p;
  if (out.empty() || !Is_Sep(out.back())) out += '/';
  out += f;
  return Set_Path(combined, out, parent.vRefNum, parent.parID);
}

void Strip_Filename(FSSpec& path) {
  std::string s = Strip(Name_Text(path));
  mStrAssign(path.name, s);  // never longer than before
}

bool8 Extract_Filename(StrSpan fname, const FSSpec& path) {
  std::string s = Name_Text(path);
  return mStrAssign(fname, s.substr(Last_Component(s)));
}

bool8 Extract_Suffix(StrSpan suffix, const FSSpec& path) {
  std::string s = Name_Text(path);
  // Only the file name is searched: a dot in a folder's name is no suffix.
  size_t start = Last_Component(s);
  size_t dot = s.find_last_of('.');
  if (dot == std::string::npos || dot <= start) return mStrAssign(suffix, "");
  return mStrAssign(suffix, s.substr(dot));
}

bool8 Replace_Suffix(StrSpan ss, CStrSpan suffix) {
  std::string s = Span_Text(ss);
  if (s.size() >= 4) {
    size_t start = Last_Component(s);
    size_t from = s.size() >= 5 ? s.size() - 5 : 0;
    if (from < start) from = start;
    for (size_t i = s.size(); i > from; i--) {
      if (s[i - 1] == '.') {
        s.resize(i - 1);
        break;
      }
    }
  }
  return mStrAssign(ss, s + Span_Text(suffix));
}

bool8 Replace_Filename(FSSpec& net_path, CStrSpan name, const FSSpec& base_path) {
  std::string n = Span_Text(name);
  if (!n.empty() && n[0] == '\\') n[0] = '/';
  return Set_Path(net_path, Strip(Name_Text(base_path)) + n, base_path.vRefNum, base_path.parID);
}

bool8 Relative_To_Abs_Path(FSSpec& net, const FSSpec& currdir, CStrSpan relpath) {
  std::string rel = Span_Text(relpath);
  if (rel.compare(0, 2, "..") != 0) return Set_Path(net, rel);
  // Paths written by older versions use "\"; the rest is taken from its
  // fourth character on, after "..\" or "../".
  std::string rest = rel.size() > 3 ? rel.substr(3) : "";
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  return Set_Path(net, Strip(Name_Text(currdir)) + "/" + rest);
}

bool8 Equal_Path(const FSSpec& a, const FSSpec& b) { return mCompare(a.name, b.name) == 0; }

bool8 Full_Path(StrSpan ss, const FSSpec& path) { return mStrAssign(ss, Name_Text(path)); }

int32 Find_Char_Backwards(CStrSpan ss, char ch) {
  int32 n = mStrLength(ss);
  for (int32 i = n - 1; i >= 0; i--) {
    if (ss[size_t(i)] == ch) return i;
  }
  return -1;
}

// ---------------------------------------------------------------------------
// Volumes

bool8 Drive_To_Path(StrSpan root, int16 drive) {
  int idx = drive - 1;
  if (!Valid_Drive_Index(idx)) return Fail_Text(root);
  HostDriveTable t = Host_Drive_Table();
  const HostVolume& v = t[size_t(idx)];
  if (v.root.empty()) return Fail_Text(root);
  return mStrAssign(root, Root_Text(v) + "/");
}

int16 Drive_To_Vol(int16 drive) { return drive; }
int16 Vol_To_Drive(int16 vol) { return vol; }

bool8 Is_Vol_Mounted(CStrSpan targname, int16& driven, int16& vol) {
  HostDriveTable t = Host_Drive_Table();
  for (int d = 0; d < HOST_MAX_DRIVES; d++) {
    const HostVolume& v = t[size_t(d)];
    if (v.root.empty() || !(v.removable || v.cdrom) || v.label.empty()) continue;
    Str255 label;
    if (!mStrAssign(label, v.label)) continue;
    for (char& c : label) {
      if (c == '_') c = ' ';
    }
    if (mCompare_Equal(label, targname, true)) {
      vol = int16(d);
      driven = 0;
      return true;
    }
  }
  return false;
}

bool8 Vol_GetLabel(StrSpan label, int16 drive) {
  int idx = drive - 1;
  if (!Valid_Drive_Index(idx)) return Fail_Text(label);
  HostDriveTable t = Host_Drive_Table();
  const HostVolume& v = t[size_t(idx)];
  if (v.root.empty()) return Fail_Text(label);
  return mStrAssign(label, v.label);
}

// Renaming a mounted file system needs privileged tools of each file system.
bool8 Vol_SetLabel(CStrSpan, int16) { return false; }

bool8 Is_Diskette(int16 drive) {
  int idx = drive - 1;
  if (!Valid_Drive_Index(idx)) return false;
  HostDriveTable t = Host_Drive_Table();
  return !t[size_t(idx)].root.empty() && t[size_t(idx)].removable;
}

uint64 Vol_SpaceAvailable64(int16 drive) {
  int idx = drive - 1;
  if (!Valid_Drive_Index(idx)) return 0;
  HostDriveTable t = Host_Drive_Table();
  const HostVolume& v = t[size_t(idx)];
  uint64 bytes = 0;
  if (v.root.empty() || !Host_Free_Bytes(v.root.c_str(), bytes)) return 0;
  return bytes;
}

uint32 Vol_SpaceAvailable(int16 drive) {
  uint64 bytes = Vol_SpaceAvailable64(drive);
  return bytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : uint32(bytes);
}

bool8 Vol_Erase(int16 vol) {
  if (!Valid_Drive_Index(vol)) return false;
  HostDriveTable t = Host_Drive_Table();
  const HostVolume& v = t[size_t(vol)];
  if (v.root.empty() || v.root == "/" || !(v.removable || v.cdrom)) return false;
  FSSpec root;
  if (!Set_Path(root, v.root)) return false;
  g_erase_ok = true;
  // A root that cannot be listed, or a file whose path cannot be made, is a
  // file not deleted.
  const bool8 whole = Enumerate_Local_Files(Vol_Erase2, root, FourCC("????"), FourCC("????"));
  return whole && g_erase_ok;
}

void Vol_Eject(const FSSpec&) {}
void Vol_Unmount(int16) {}
void Vol_UnmountAll() {}
