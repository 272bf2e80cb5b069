#include "host/HostFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "host/HostFiles.h"

namespace {

std::string Trim_Slashes(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

// $XDG_CONFIG_HOME when absolute, else ~/.config.
bool Config_Home(std::string& out) {
  const char* x = std::getenv("XDG_CONFIG_HOME");
  if (x != nullptr && x[0] == '/') {
    out = Trim_Slashes(x);
    return true;
  }
  std::string home;
  if (!Host_Home_Dir(home)) return false;
  out = (home == "/" ? "" : home) + "/.config";
  return true;
}

// Value of KEY="..." in a user-dirs.dirs file; the format is shell-like but
// the file is written by a tool, so one quoted value per line is all we take.
bool Read_User_Dir(const std::string& file, const std::string& key, const std::string& home,
                   std::string& out) {
  std::ifstream in(file);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] == '#') continue;
    if (line.compare(i, key.size(), key) != 0) continue;
    i += key.size();
    if (i >= line.size() || line[i] != '=') continue;
    i++;
    if (i >= line.size() || line[i] != '"') continue;
    size_t end = line.find('"', i + 1);
    if (end == std::string::npos) continue;
    std::string v = line.substr(i + 1, end - i - 1);
    if (v.compare(0, 5, "$HOME") == 0 && (v.size() == 5 || v[5] == '/')) {
      v = (home == "/" ? "" : home) + v.substr(5);
      if (v.empty()) v = "/";
    } else if (v.compare(0, 7, "${HOME}") == 0 && (v.size() == 7 || v[7] == '/')) {
      v = (home == "/" ? "" : home) + v.substr(7);
      if (v.empty()) v = "/";
    }
    if (v.empty() || v[0] != '/') continue;
    out = Trim_Slashes(v);
    return true;
  }
  return false;
}

}  // namespace

bool Host_Home_Dir(std::string& out) {
  const char* h = std::getenv("HOME");
  if (h != nullptr && h[0] == '/') {
    out = Trim_Slashes(h);
    return true;
  }
  struct passwd* pw = ::getpwuid(::getuid());
  if (pw != nullptr && pw->pw_dir != nullptr && pw->pw_dir[0] == '/') {
    out = Trim_Slashes(pw->pw_dir);
    return true;
  }
  return false;
}

bool Host_AppData_Dir(std::string& out) {
  std::string base;
  if (!Config_Home(base)) return false;
  std::string dir = base + "/velmor4";
  if (!Host_Make_Dirs(dir.c_str())) return false;
  out = dir;
  return true;
}

bool Host_Documents_Dir(std::string& out) {
  std::string home;
  if (!Host_Home_Dir(home)) return false;
  std::string conf, docs;
  if (Config_Home(conf) && Read_User_Dir(conf + "/user-dirs.dirs", "XDG_DOCUMENTS_DIR", home, docs) &&
      Host_Is_Dir(docs.c_str())) {
    out = docs;
    return true;
  }
  out = home;
  return true;
}

bool Host_Program_Dir(std::string& out) {
  std::vector<char> buf(4096);
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return false;
    if (size_t(n) < buf.size()) {
      std::string exe(buf.data(), size_t(n));
      size_t slash = exe.find_last_of('/');
      if (slash == std::string::npos) return false;
      out = slash == 0 ? "/" : exe.substr(0, slash);
      return true;
    }
    if (buf.size() >= (1u << 20)) return false;
    buf.resize(buf.size() * 2);
  }
}
