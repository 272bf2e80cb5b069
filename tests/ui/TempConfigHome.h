// A folder of its own for a test, made under TMPDIR (or /tmp), with
// XDG_CONFIG_HOME pointed at `config` (a subfolder, or the folder itself)
// while the object lives: the preferences file goes there, never into the
// settings of the person running the tests. The folder is removed at the end.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

class TempConfigHome {
 public:
  // sub: the configuration folder within the new folder ("" for itself).
  explicit TempConfigHome(const std::string& sub = "") {
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/velmor-state-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back(0);
    if (mkdtemp(buf.data()) == nullptr) return;
    dir = buf.data();
    config = sub.empty() ? dir : dir + "/" + sub;
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
      had_old_ = true;
      old_ = old;
    }
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  }
  ~TempConfigHome() {
    if (dir.empty()) return;
    if (had_old_)
      setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  TempConfigHome(const TempConfigHome&) = delete;
  TempConfigHome& operator=(const TempConfigHome&) = delete;

  std::string dir;     // "" when no folder could be made
  std::string config;  // what XDG_CONFIG_HOME names

 private:
  bool had_old_ = false;
  std::string old_;
};
