// Temporary folders for tests that work on real files: making and removing
// them, small text files inside, environment variables set for one test,
// and a fixture that owns a fresh folder for each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace testdir {

// A new folder <TMPDIR>/<prefix>-XXXXXX (under /tmp when TMPDIR is unset or
// not absolute); "" when it cannot be made.
inline std::string Make_Temp_Dir(const std::string& prefix) {
  const char* t = std::getenv("TMPDIR");
  std::string tmpl = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/" + prefix + "-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back(0);
  if (::mkdtemp(buf.data()) == nullptr) return "";
  return buf.data();
}

// Removes the folder and everything in it; nothing for "".
inline void Remove_Dir(const std::string& dir) {
  if (dir.empty()) return;
  std::string cmd = "rm -rf '" + dir + "'";
  (void)std::system(cmd.c_str());
}

inline void Write_Text(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << text;
}

inline std::string Read_Text(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// Sets an environment variable (or unsets it, for nullptr) for the guard's
// lifetime, then puts back what was there.
class EnvGuard {
 public:
  EnvGuard(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    if (value != nullptr) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  ~EnvGuard() {
    if (had_) ::setenv(name_.c_str(), old_.c_str(), 1);
    else ::unsetenv(name_.c_str());
  }
  EnvGuard(const EnvGuard&) = delete;
  EnvGuard& operator=(const EnvGuard&) = delete;

 private:
  std::string name_, old_;
  bool had_ = false;
};

// A fixture with a fresh folder `dir` for each test, removed afterwards.
// Fixtures that reset more state override TearDown and call this one last.
class TempDirTest : public ::testing::Test {
 protected:
  explicit TempDirTest(std::string prefix) : prefix_(std::move(prefix)) {}
  void SetUp() override {
    dir = Make_Temp_Dir(prefix_);
    ASSERT_FALSE(dir.empty());
  }
  void TearDown() override { Remove_Dir(dir); }
  std::string P(const std::string& name) const { return dir + "/" + name; }

  std::string dir;

 private:
  std::string prefix_;
};

}  // namespace testdir
