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
// What is at path when it is neither a regular file nor a folder ("a
// device", "a FIFO", "a socket"); NIL otherwise, or when nothing is there.
const char* Host_Special_Kind(const char* path);
// FALSE (errno set: EACCES, EROFS) when a file is at path that this user may
// not write: a read-only project is not replaced. TRUE when it may be
// written or nothing is there.
bool Host_May_Replace(const char* path);
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
// is refused. Abort (or a failed Commit) removes the temporary file, and so
// does the record's end when neither was called.
//
// Only regular files are replaced. A symbolic link is followed (through a
// chain of them) and its target replaced, the link itself kept; a link to a
// file that does not exist yet makes the file there. A path that is (or
// whose links end at) a folder, a FIFO, a device or a socket is refused, as
// is a chain of links that loops.
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

  HostReplace() = default;
  HostReplace(const HostReplace&) = delete;
  HostReplace& operator=(const HostReplace&) = delete;
  HostReplace(HostReplace&& other) noexcept;
  HostReplace& operator=(HostReplace&& other) noexcept;
  ~HostReplace();
};
bool Host_Replace_Begin(HostReplace& r, const char* path);
bool Host_Replace_Write(HostReplace& r, const void* buf, size_t n);
bool Host_Replace_Commit(HostReplace& r);
// Commits without replacing anything: the file gets the name r.target when
// no file has it, else the first free name Host_Free_Name gives after it
// (the check and the rename are one step, so a file made meanwhile under
// that name is never replaced). r.target then names the file written.
bool Host_Replace_Commit_New(HostReplace& r);
void Host_Replace_Abort(HostReplace& r);
// The whole cycle for one block of bytes.
bool Host_Replace_File(const char* path, const void* data, size_t n);
// path when nothing exists there, else the first of "<stem> (2)<suffix>",
// "<stem> (3)<suffix>" ... that is free (the suffix is the file name's last
// ".xxx", kept at the end). "" when no free name is found.
std::string Host_Free_Name(const std::string& path);
// Copies src over dst (replacing it atomically, with src's permissions).
bool Host_Copy_File(const char* src, const char* dst);

// A write past the process's file-size limit (RLIMIT_FSIZE) fails with EFBIG
// like any other failed write, rather than ending the program by SIGXFSZ
// with a temporary file left behind: the signal is ignored from the first
// write through this layer on (and from start-up, where the program calls
// this itself).
void Host_Ignore_File_Size_Signal();

// Fault injection for tests: after the given number of further bytes, every
// read (or write) through this layer fails with EIO; -1 switches it off.
void Host_Fail_Reads_After(int64 nbytes);
void Host_Fail_Writes_After(int64 nbytes);
