// The single-instance lock.
#include "host/HostInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/HostFolders.h"

namespace {

int g_fd = -1;

bool Valid_Name(const char* name) {
  if (!name || !*name) return false;
  size_t n = 0;
  for (const char* p = name; *p; ++p, ++n) {
    const char c = *p;
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                    c == '_' || c == '.';
    if (!ok || n >= 64) return false;
  }
  return std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
}

}  // namespace

HostInstanceResult Host_Instance_Acquire_In(const std::string& folder, const char* name) {
  if (g_fd >= 0) return HostInstanceResult::ACQUIRED;
  if (folder.empty() || !Valid_Name(name)) return HostInstanceResult::FAILED;
  const std::string path = folder + "/" + name + ".lock";
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return HostInstanceResult::FAILED;
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) break;
    if (errno == EINTR) continue;
    const bool held = errno == EWOULDBLOCK;
    close(fd);
    return held ? HostInstanceResult::HELD_ELSEWHERE : HostInstanceResult::FAILED;
  }
  // The holder's process id, for people looking at the file.
  char buf[32];
  const int n = std::snprintf(buf, sizeof buf, "%ld\n", long(getpid()));
  if (ftruncate(fd, 0) == 0 && n > 0) {
    ssize_t w = pwrite(fd, buf, size_t(n), 0);
    (void)w;
  }
  g_fd = fd;
  return HostInstanceResult::ACQUIRED;
}

HostInstanceResult Host_Instance_Acquire(const char* name) {
  std::string folder;
  const char* rt = std::getenv("XDG_RUNTIME_DIR");
  struct stat st;
  if (rt && rt[0] == '/' && stat(rt, &st) == 0 && S_ISDIR(st.st_mode)) folder = rt;
  else if (!Host_AppData_Dir(folder)) return HostInstanceResult::FAILED;
  return Host_Instance_Acquire_In(folder, name);
}

void Host_Instance_Release() {
  if (g_fd < 0) return;
  flock(g_fd, LOCK_UN);
  close(g_fd);
  g_fd = -1;
}

bool Host_Instance_Held() { return g_fd >= 0; }

void Host_Instance_Forget_After_Fork() {
  if (g_fd < 0) return;
  close(g_fd);
  g_fd = -1;
}
