// A scripted session of the real program on the headless backend whose
// desktop open command is a stand-in that logs each address it was asked to
// open, one a line, beside itself: what the help commands and web links
// opened is read back after the run. Its snapshots go to a folder of
// <build>/e2e/ for a person to look at.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "FontTestSupport.h"
#include "LabelSessionSupport.h"
#include "TempDirSupport.h"

namespace openlog {

// Writes the stand-in at path; it appends its arguments to path + ".log".
inline bool Write_Opener(const std::string& path) {
  testdir::Write_Text(path, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$0.log\"\n");
  return ::chmod(path.c_str(), 0755) == 0;
}
// What the stand-in at path logged ("" when it never ran).
inline std::string Opened(const std::string& opener) {
  const std::string log = opener + ".log";
  return std::filesystem::exists(log) ? testdir::Read_Text(log) : "";
}
// The log line of a page of the English help book beside the program.
inline std::string Help_Page(int topic) {
  return (std::filesystem::path(VELMOR4_EXE).parent_path() / "Help" / "Velmor_Help_en" /
          (std::to_string(topic) + ".html"))
             .string() +
         "\n";
}

// Runs the program on a screen of 1024 x 768 with the script, its home and
// configuration in dir, the stand-in at opener as its open command and the
// assignments of extra_env (already quoted) besides; the script is written
// to dir/script.txt and standard error to dir/stderr.txt. The status of
// std::system.
inline int Run(const std::string& dir, const std::string& script, const std::string& opener,
               const std::string& extra_env = "") {
  using labelsession::Quoted;
  testdir::Write_Text(dir + "/script.txt", script);
  std::string cmd = "env -i";
  for (const char* name : {"PATH", "TMPDIR", "FONTCONFIG_FILE", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
    if (const char* v = std::getenv(name)) cmd += std::string(" ") + name + "=" + Quoted(v);
  cmd += " HOME=" + Quoted(dir) + " XDG_CONFIG_HOME=" + Quoted(dir + "/config") + " XDG_RUNTIME_DIR=" + Quoted(dir) +
         " VELMOR_OPEN_COMMAND=" + Quoted(opener) + " VELMOR_BACKEND=headless VELMOR_SCREEN=1024x768 VELMOR_SCRIPT=" +
         Quoted(dir + "/script.txt") + (extra_env.empty() ? "" : " " + extra_env) + " " + Quoted(VELMOR4_EXE) + " >/dev/null 2>" + Quoted(dir + "/stderr.txt");
  return std::system(cmd.c_str());
}

// A test of such a session in a fresh folder, the stand-in there; skipped
// when the program or the fonts it draws with are missing.
class Session : public testdir::TempDirTest {
 protected:
  // prefix: the folder's; shots: the folder of <build>/e2e/ for snapshots.
  Session(const std::string& prefix, const std::string& shots) : TempDirTest(prefix), shots_name_(shots) {}
  void SetUp() override {
    if (!std::filesystem::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    TempDirTest::SetUp();
    opener_ = P("opener");
    ASSERT_TRUE(Write_Opener(opener_));
    shots_ = (std::filesystem::path(VELMOR4_EXE).parent_path() / "e2e" / shots_name_).string();
    std::filesystem::create_directories(shots_);
  }
  int Run(const std::string& script) { return openlog::Run(dir, script, opener_); }
  std::string Err() const {
    return std::filesystem::exists(P("stderr.txt")) ? testdir::Read_Text(P("stderr.txt")) : "";
  }
  std::string Opened() const { return openlog::Opened(opener_); }
  // The path of the snapshot named name, the old one removed.
  std::string Shot(const std::string& name) const {
    const std::string path = shots_ + "/" + name + ".png";
    std::filesystem::remove(path);
    return path;
  }
  std::string opener_, shots_;

 private:
  std::string shots_name_;
};

}  // namespace openlog
