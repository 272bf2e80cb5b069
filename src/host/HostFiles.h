// Host file layer: plain POSIX descriptors with the sharing rules, temporary
// files and safe replacement that the program's file module builds on.
//
// Sharing. Every descriptor opened here carries an open-file-description lock
// (F_OFD_SETLK) on the whole file, taken without waiting:
//   - opened for reading only: a shared lock, so other readers may open the
//     file too, but nobody may open it for writing;
//   - opened with write access: an exclusive lock, so nobody else may open it.
// OFD locks belong to the descriptor, not to the process, so two opens of the
// same file inside one process exclude each other just as two programs do.
// They are advisory: they bind every program that uses this layer. A file
// system that does not support them gives no locking rather than no access.
//
// Paths are UTF-8, any length the system accepts. All calls retry after EINTR
// and report failure by result; none of them shows anything to the user.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "platform/Types.h"

constexpr int HOST_NO_FD = -1;

// Access bits for Host_Open.
constexpr uint32 HOST_READ = 1;
constexpr uint32 HOST_WRITE = 2;

enum HostDisposition {
  HOST_OPEN_EXISTING,  // fail when the file is missing
  HOST_CREATE_ALWAYS,  // create, or empty an existing file (needs HOST_WRITE)
  HOST_CREATE_NEW,     // create; fail when the file exists (needs HOST_WRITE)
};

// Opens a regular file (folders are refused). Returns the descriptor, or
// HOST_NO_FD when the file is missing, is not a regular file, or is held by
// another descriptor against this access (see Sharing above). An existing file
// is emptied only after its lock was won, so a refused open changes nothing.
int Host_Open(const char* path, uint32 access, HostDisposition disp);
void Host_Close(int fd);  // HOST_NO_FD does nothing

// Reads up to n bytes; returns the count, which is smaller than n only at the
// end of the file, or -1 on a read error.
int64 Host_Read(int fd, void* buf, size_t n);
// Writes all n bytes; false when any of them could not be written.
bool Host_Write(int fd, const void* buf, size_t n);

int64 Host_Seek(int fd, int64 pos);  // from the start; the new offset, or -1
int64 Host_Tell(int fd);             // -1 on failure
int64 Host_Size(int fd);             // -1 on failure; the offset is kept
bool Host_Sync(int fd);

// Named files and folders.
bool Host_Exists(const char* path);       // file or folder
bool Host_Is_Dir(const char* path);
bool Host_Is_File(const char* path);      // regular file
bool Host_Delete(const char* path);       // files only, like the program expects
bool Host_Make_Dir(const char* path);     // one level; false when it exists
bool Host_Make_Dirs(const char* path);    // every missing level; true when it exists
int64 Host_File_Size(const char* path);   // -1 when it cannot be read
bool Host_File_MTime(const char* path, std::time_t& mtime);
bool Host_Set_Writable(const char* path); // adds the owner's write permission
// The entries of a folder, "." and ".." left out, in the order the system
// gives them. False when the folder cannot be read.
bool Host_List_Dir(const char* path, std::vector<std::string>& names);

// The system's temporary folder: $TMPDIR when set and absolute, else /tmp.
std::string Host_Temp_Dir();
// Creates a new, uniquely named empty file "<dir>/<prefix>XXXXXX" (mkstemp,
// mode 0600) and returns its descriptor, open for reading and writing with an
// exclusive lock; its name goes to path. HOST_NO_FD on failure.
int Host_Temp_File(const char* dir, const char* prefix, std::string& path);

// Atomic replacement of a file. The bytes go to a temporary file in the
// target's folder; Commit checks that every write succeeded, flushes the file
// to disk, gives it the old file's permissions (or the default ones for a new
// file), renames it over the target and flushes the folder. Until the rename
// the old file is untouched, so a failed write, a full disk or a crash leaves
// the old contents in place. A target held open for writing by someone else
// is refused. Abort (or a failed Commit) removes the temporary file.
//
//   HostReplace r;
//   if (!Host_Replace_Begin(r, path)) ...;
//   Host_Replace_Write(r, a, n); Host_Replace_Write(r, b, m);
//   if (!Host_Replace_Commit(r)) ...;   // old file intact
struct HostReplace {
  int fd = HOST_NO_FD;
  bool failed = false;  // a write failed; Commit will refuse
  std::string target;   // the file being replaced (symbolic links followed)
  std::string temp;     // the temporary file beside it
};
bool Host_Replace_Begin(HostReplace& r, const char* path);
bool Host_Replace_Write(HostReplace& r, const void* buf, size_t n);
bool Host_Replace_Commit(HostReplace& r);
void Host_Replace_Abort(HostReplace& r);
// The whole cycle for one block of bytes.
bool Host_Replace_File(const char* path, const void* data, size_t n);
// Copies src over dst (replacing it atomically, with src's permissions).
bool Host_Copy_File(const char* src, const char* dst);

// Fault injection for tests: after the given number of further bytes, every
// read (or write) through this layer fails with EIO; -1 switches it off.
void Host_Fail_Reads_After(int64 nbytes);
void Host_Fail_Writes_After(int64 nbytes);
