#include "host/HostFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// The longest chain of symbolic links followed to the file a write replaces.
constexpr int kMaxLinkDepth = 40;

int64 g_fail_reads_after = -1;
int64 g_fail_writes_after = -1;

// How many of n bytes may pass the injected fault; sets errno when none.
size_t Fault_Allow(int64& budget, size_t n) {
  if (budget < 0) return n;
  if (budget == 0) {
    errno = EIO;
    return 0;
  }
  if (uint64(n) > uint64(budget)) n = size_t(budget);
  budget -= int64(n);
  return n;
}

// Takes the whole-file lock that gives the sharing rules; false on a conflict.
bool Lock_Whole(int fd, bool exclusive) {
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = exclusive ? F_WRLCK : F_RDLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = 0;
  fl.l_len = 0;
  while (fcntl(fd, F_OFD_SETLK, &fl) != 0) {
    if (errno == EINTR) continue;
    // No lock support on this file system: go on without sharing rules.
    if (errno == EINVAL || errno == ENOLCK || errno == EOPNOTSUPP) return true;
    return false;
  }
  return true;
}

// True when another descriptor holds a write (exclusive) lock on the file.
bool Held_For_Writing(const char* path) {
  int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = F_RDLCK;
  fl.l_whence = SEEK_SET;
  bool held = fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
  ::close(fd);
  return held;
}

std::string Folder_Of(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

mode_t Default_Mode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return mode_t(0666) & ~mask;
}

bool Sync_Folder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync folders
  ::close(fd);
  return ok;
}

std::string Leaf_Of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a write to path replaces: path itself when it is no symbolic link,
// else the end of the chain of links (a link to a missing file gives the
// missing file's path, in its folder's real name). False for a loop, an
// overlong chain or a link that cannot be read.
bool Resolve_Write_Target(const std::string& path, std::string& out) {
  std::string cur = path;
  bool followed = false;
  for (int depth = 0; depth <= kMaxLinkDepth; ++depth) {
    struct stat st;
    const bool exists = ::lstat(cur.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return false;
    if (!exists || !S_ISLNK(st.st_mode)) {
      if (!followed) {
        out = cur;
        return true;
      }
      // Name the file by its folder's real path, so that the path reported
      // to the user carries no "..".
      char* real = ::realpath(Folder_Of(cur).c_str(), nullptr);
      if (real == nullptr) return false;
      std::string folder(real);
      std::free(real);
      out = (folder == "/" ? std::string() : folder) + "/" + Leaf_Of(cur);
      return true;
    }
    std::vector<char> buf(size_t(PATH_MAX) + 1);
    const ssize_t n = ::readlink(cur.c_str(), buf.data(), buf.size() - 1);
    if (n <= 0) return false;
    const std::string link(buf.data(), size_t(n));
    cur = link[0] == '/' ? link : Folder_Of(cur) + "/" + link;
    followed = true;
  }
  errno = ELOOP;
  return false;
}

// Closes the temporary file after checking it: every write done, the
// permissions set, the bytes on disk. False when any of that failed.
bool Finish_Temp(HostReplace& r, mode_t mode) {
  bool ok = !r.failed;
  if (ok) ok = ::fchmod(r.fd, mode) == 0 && ::fsync(r.fd) == 0;
  // close() can report a delayed write error too.
  if (::close(r.fd) != 0) ok = false;
  r.fd = HOST_NO_FD;
  return ok;
}

// Gives the temporary file the name target unless something has that name;
// false with errno EEXIST when it has.
bool Rename_No_Replace(const std::string& temp, const std::string& target) {
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the flag: a hard link fails on an existing name too.
  if (::link(temp.c_str(), target.c_str()) != 0) return false;
  ::unlink(temp.c_str());
  return true;
}

}  // namespace

void Host_Ignore_File_Size_Signal() {
  static const bool done = [] {
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = SIG_IGN;
    sigemptyset(&sa.sa_mask);
    return ::sigaction(SIGXFSZ, &sa, nullptr) == 0;
  }();
  (void)done;
}

int Host_Open(const char* path, uint32 access, HostDisposition disp) {
  if (path == nullptr || path[0] == 0) return HOST_NO_FD;
  bool rd = (access & HOST_READ) != 0;
  bool wr = (access & HOST_WRITE) != 0;
  if (!rd && !wr) return HOST_NO_FD;
  if (disp != HOST_OPEN_EXISTING && !wr) return HOST_NO_FD;
  int flags = O_CLOEXEC | (rd && wr ? O_RDWR : wr ? O_WRONLY : O_RDONLY);
  if (disp == HOST_CREATE_ALWAYS) flags |= O_CREAT;
  if (disp == HOST_CREATE_NEW) flags |= O_CREAT | O_EXCL;
  int fd;
  do {
    fd = ::open(path, flags | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return HOST_NO_FD;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const bool dir = S_ISDIR(st.st_mode);
    ::close(fd);
    errno = dir ? EISDIR : EINVAL;
    return HOST_NO_FD;
  }
  // Back to blocking reads (O_NONBLOCK only kept a FIFO from stalling the open).
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (!Lock_Whole(fd, wr)) {
    ::close(fd);
    errno = EBUSY;
    return HOST_NO_FD;
  }
  if (disp == HOST_CREATE_ALWAYS && st.st_size != 0 && ::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return HOST_NO_FD;
  }
  return fd;
}

void Host_Close(int fd) {
  if (fd >= 0) ::close(fd);
}

int64 Host_Read(int fd, void* buf, size_t n) {
  if (fd < 0) {
    errno = EBADF;
    return -1;
  }
  char* p = static_cast<char*>(buf);
  size_t got = 0;
  while (got < n) {
    size_t want = Fault_Allow(g_fail_reads_after, n - got);
    if (want == 0) return -1;
    ssize_t r = ::read(fd, p + got, want);
    if (r < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (r == 0) break;  // end of file
    got += size_t(r);
  }
  return int64(got);
}

bool Host_Write(int fd, const void* buf, size_t n) {
  if (fd < 0) return false;
  Host_Ignore_File_Size_Signal();
  const char* p = static_cast<const char*>(buf);
  size_t done = 0;
  while (done < n) {
    size_t want = Fault_Allow(g_fail_writes_after, n - done);
    if (want == 0) return false;
    ssize_t w = ::write(fd, p + done, want);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (w == 0) {
      errno = ENOSPC;
      return false;
    }
    done += size_t(w);
  }
  return true;
}

int64 Host_Seek(int fd, int64 pos) {
  if (fd < 0 || pos < 0) return -1;
  off_t r = ::lseek(fd, off_t(pos), SEEK_SET);
  return r < 0 ? -1 : int64(r);
}

int64 Host_Tell(int fd) {
  if (fd < 0) return -1;
  off_t r = ::lseek(fd, 0, SEEK_CUR);
  return r < 0 ? -1 : int64(r);
}

int64 Host_Size(int fd) {
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0) return -1;
  return int64(st.st_size);
}

bool Host_Sync(int fd) { return fd >= 0 && ::fsync(fd) == 0; }

bool Host_Exists(const char* path) {
  struct stat st;
  return path != nullptr && path[0] != 0 && ::stat(path, &st) == 0;
}

bool Host_Is_Dir(const char* path) {
  struct stat st;
  return path != nullptr && path[0] != 0 && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

const char* Host_Special_Kind(const char* path) {
  struct stat st;
  if (path == nullptr || path[0] == 0 || ::stat(path, &st) != 0) return nullptr;
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "a device";
  if (S_ISFIFO(st.st_mode)) return "a FIFO";
  if (S_ISSOCK(st.st_mode)) return "a socket";
  return nullptr;
}

bool Host_May_Replace(const char* path) {
  if (path == nullptr || path[0] == 0 || !Host_Exists(path)) return true;
  // As the user the program runs as (its effective identity).
  return ::faccessat(AT_FDCWD, path, W_OK, AT_EACCESS) == 0;
}

bool Host_Is_File(const char* path) {
  struct stat st;
  return path != nullptr && path[0] != 0 && ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool Host_Delete(const char* path) {
  struct stat st;
  if (path == nullptr || path[0] == 0 || ::lstat(path, &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return false;
  return ::unlink(path) == 0;
}

bool Host_Make_Dir(const char* path) {
  return path != nullptr && path[0] != 0 && ::mkdir(path, 0777) == 0;
}

bool Host_Make_Dirs(const char* path) {
  if (path == nullptr || path[0] == 0) return false;
  std::string p(path);
  for (size_t i = 1; i <= p.size(); i++) {
    if (i == p.size() || p[i] == '/') {
      std::string part = p.substr(0, i);
      if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
  }
  return Host_Is_Dir(path);
}

int64 Host_File_Size(const char* path) {
  struct stat st;
  if (path == nullptr || path[0] == 0 || ::stat(path, &st) != 0) return -1;
  return int64(st.st_size);
}

bool Host_File_MTime(const char* path, std::time_t& mtime) {
  struct stat st;
  if (path == nullptr || path[0] == 0 || ::stat(path, &st) != 0) return false;
  mtime = st.st_mtime;
  return true;
}

bool Host_Set_Writable(const char* path) {
  struct stat st;
  if (path == nullptr || path[0] == 0 || ::stat(path, &st) != 0) return false;
  if (st.st_mode & S_IWUSR) return true;
  return ::chmod(path, (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool Host_List_Dir(const char* path, std::vector<std::string>& names) {
  names.clear();
  if (path == nullptr || path[0] == 0) return false;
  DIR* d = ::opendir(path);
  if (d == nullptr) return false;
  while (struct dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    names.emplace_back(e->d_name);
  }
  ::closedir(d);
  return true;
}

std::string Host_Temp_Dir() {
  const char* t = std::getenv("TMPDIR");
  if (t != nullptr && t[0] == '/') return t;
  return "/tmp";
}

int Host_Temp_File(const char* dir, const char* prefix, std::string& path) {
  path.clear();
  if (dir == nullptr || dir[0] == 0) return HOST_NO_FD;
  std::string tmpl(dir);
  if (tmpl.back() != '/') tmpl += '/';
  tmpl += prefix != nullptr ? prefix : "";
  tmpl += "XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back(0);
  int fd = ::mkostemp(buf.data(), O_CLOEXEC);
  if (fd < 0) return HOST_NO_FD;
  if (!Lock_Whole(fd, true)) {  // a fresh name: nobody else can hold it
    ::close(fd);
    ::unlink(buf.data());
    return HOST_NO_FD;
  }
  path.assign(buf.data());
  return fd;
}

HostReplace::HostReplace(HostReplace&& other) noexcept
    : fd(other.fd), failed(other.failed), target(std::move(other.target)), temp(std::move(other.temp)) {
  other.fd = HOST_NO_FD;
  other.failed = false;
  other.target.clear();
  other.temp.clear();
}

HostReplace& HostReplace::operator=(HostReplace&& other) noexcept {
  if (this != &other) {
    Host_Replace_Abort(*this);
    fd = other.fd;
    failed = other.failed;
    target = std::move(other.target);
    temp = std::move(other.temp);
    other.fd = HOST_NO_FD;
    other.failed = false;
    other.target.clear();
    other.temp.clear();
  }
  return *this;
}

HostReplace::~HostReplace() { Host_Replace_Abort(*this); }

bool Host_Replace_Begin(HostReplace& r, const char* path) {
  r = HostReplace();
  if (path == nullptr || path[0] == 0) return false;
  // Replace what a symbolic link points at, not the link.
  if (!Resolve_Write_Target(path, r.target)) {
    r.target.clear();
    return false;
  }
  // Only a regular file is replaced: a folder, a FIFO or a device at the
  // target stays what it is.
  struct stat st;
  if (::stat(r.target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  if (Held_For_Writing(r.target.c_str())) {
    errno = EBUSY;
    return false;
  }
  // A short fixed name beside the target, so a long file name cannot make it too long.
  r.fd = Host_Temp_File(Folder_Of(r.target).c_str(), ".velmor-", r.temp);
  if (r.fd == HOST_NO_FD) {
    r.temp.clear();
    return false;
  }
  return true;
}

bool Host_Replace_Write(HostReplace& r, const void* buf, size_t n) {
  if (r.fd == HOST_NO_FD || r.failed) return false;
  if (!Host_Write(r.fd, buf, n)) r.failed = true;
  return !r.failed;
}

bool Host_Replace_Commit(HostReplace& r) {
  if (r.fd == HOST_NO_FD) return false;
  struct stat st;
  const mode_t mode = ::stat(r.target.c_str(), &st) == 0 ? (st.st_mode & 07777) : Default_Mode();
  bool ok = Finish_Temp(r, mode);
  if (ok) ok = ::rename(r.temp.c_str(), r.target.c_str()) == 0;
  if (!ok) {
    const int err = errno;
    ::unlink(r.temp.c_str());
    r.temp.clear();
    errno = err;
    return false;
  }
  r.temp.clear();
  Sync_Folder(Folder_Of(r.target));
  return true;
}

bool Host_Replace_Commit_New(HostReplace& r) {
  if (r.fd == HOST_NO_FD) return false;
  bool ok = Finish_Temp(r, Default_Mode());
  if (ok) {
    std::string name = Host_Free_Name(r.target);
    // Each refusal means a file took the name since it was found free.
    for (int tries = 0; ok && tries < 1000; ++tries) {
      if (name.empty()) {
        errno = EEXIST;
        ok = false;
        break;
      }
      if (Rename_No_Replace(r.temp, name)) {
        r.target = name;
        r.temp.clear();
        Sync_Folder(Folder_Of(r.target));
        return true;
      }
      if (errno != EEXIST) ok = false;
      else name = Host_Free_Name(name);
    }
  }
  const int err = errno;
  ::unlink(r.temp.c_str());
  r.temp.clear();
  errno = err;
  return false;
}

void Host_Replace_Abort(HostReplace& r) {
  if (r.fd != HOST_NO_FD) ::close(r.fd);
  r.fd = HOST_NO_FD;
  if (!r.temp.empty()) ::unlink(r.temp.c_str());
  r.temp.clear();
}

bool Host_Replace_File(const char* path, const void* data, size_t n) {
  HostReplace r;
  if (!Host_Replace_Begin(r, path)) return false;
  Host_Replace_Write(r, data, n);
  return Host_Replace_Commit(r);
}

std::string Host_Free_Name(const std::string& path) {
  struct stat st;
  if (path.empty()) return std::string();
  if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) return path;
  // The stem and suffix of the file name, without a " (n)" an earlier call added.
  const size_t slash = path.find_last_of('/');
  const size_t leaf = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot <= leaf) dot = path.size();
  std::string stem = path.substr(0, dot);
  const std::string suffix = path.substr(dot);
  int32 n = 2;
  if (stem.size() > leaf + 4 && stem.back() == ')') {
    const size_t open = stem.rfind(" (");
    if (open != std::string::npos && open >= leaf && open + 2 < stem.size() - 1) {
      const std::string digits = stem.substr(open + 2, stem.size() - 1 - (open + 2));
      if (digits.size() <= 6 && digits.find_first_not_of("0123456789") == std::string::npos &&
          digits[0] != '0') {
        n = std::atoi(digits.c_str()) + 1;
        stem.resize(open);
      }
    }
  }
  for (int32 tries = 0; tries < 10000; ++tries, ++n) {
    const std::string cand = stem + " (" + std::to_string(n) + ")" + suffix;
    if (::lstat(cand.c_str(), &st) != 0 && errno == ENOENT) return cand;
  }
  return std::string();
}

bool Host_Copy_File(const char* src, const char* dst) {
  int in = Host_Open(src, HOST_READ, HOST_OPEN_EXISTING);
  if (in == HOST_NO_FD) return false;
  HostReplace r;
  if (!Host_Replace_Begin(r, dst)) {
    Host_Close(in);
    return false;
  }
  std::vector<char> buf(1 << 16);
  for (;;) {
    int64 got = Host_Read(in, buf.data(), buf.size());
    if (got < 0) {
      r.failed = true;
      break;
    }
    if (got == 0) break;
    if (!Host_Replace_Write(r, buf.data(), size_t(got))) break;
  }
  struct stat st;
  bool have_mode = ::fstat(in, &st) == 0;
  Host_Close(in);
  if (r.failed) {
    Host_Replace_Abort(r);
    return false;
  }
  if (!Host_Replace_Commit(r)) return false;
  // The copy takes the source's permissions, as a copy should.
  if (have_mode) ::chmod(r.target.c_str(), st.st_mode & 07777);
  return true;
}

void Host_Fail_Reads_After(int64 nbytes) { g_fail_reads_after = nbytes < 0 ? -1 : nbytes; }
void Host_Fail_Writes_After(int64 nbytes) { g_fail_writes_after = nbytes < 0 ? -1 : nbytes; }
