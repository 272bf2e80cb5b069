// Print runs of the command line, as the desktop starts them: the program
// run as a child on the headless backend with the file printer. "/P" of a
// good project prints a PDF and ends with 0; of a missing file, 3 with the
// file and the reason; "/OF" replaces exactly the file named; a print run
// beside a running copy prints and writes no preferences.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>

#include "DocTestSupport.h"
#include "TempDirSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "host/HostInstance.h"
#include "platform/SysIO.h"

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

class CommandLinePrint : public ::testing::Test {
 protected:
  std::string exe_ = VELMOR4_EXE;
  std::string dir_, copy_;
  void SetUp() override {
    const std::string example = exe_.substr(0, exe_.find_last_of('/')) + "/Templates/CD labels.CD4";
    if (!fs::exists(exe_) || !fs::exists(example)) GTEST_SKIP() << "the program or its examples are not built";
    dir_ = testdir::Make_Temp_Dir("velmor-cmdprint");
    ASSERT_FALSE(dir_.empty());
    fs::create_directories(dir_ + "/tmp");
    copy_ = dir_ + "/sheet.CD4";
    fs::copy_file(example, copy_);
  }
  void TearDown() override {
    Host_Instance_Release();
    testdir::Remove_Dir(dir_);
  }
  // The exit status; err := standard error.
  int Run(const std::string& args, std::string& err) {
    std::string cmd = "env -i";
    for (const char* name : {"PATH", "FONTCONFIG_FILE", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
      if (const char* v = std::getenv(name)) cmd += std::string(" ") + name + "=" + Quoted(v);
    cmd += " TMPDIR=" + Quoted(dir_ + "/tmp") + " HOME=" + Quoted(dir_) + " XDG_CONFIG_HOME=" +
           Quoted(dir_ + "/config") + " XDG_RUNTIME_DIR=" + Quoted(dir_) +
           " VELMOR_BACKEND=headless VELMOR_SCREEN=1024x768 VELMOR_PRINT=file VELMOR_PRINT_OUTPUT=" +
           Quoted(dir_ + "/out.pdf") + " " + Quoted(exe_) + " " + args + " >/dev/null 2>" +
           Quoted(dir_ + "/stderr.txt");
    const int rc = std::system(cmd.c_str());
    err = testdir::Read_Text(dir_ + "/stderr.txt");
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  }
  static bool Is_PDF(const std::string& path) { return testdir::Read_Text(path).rfind("%PDF", 0) == 0; }
};

TEST_F(CommandLinePrint, GoodAndMissingFiles) {
  std::string err;
  EXPECT_EQ(Run("/P " + Quoted(copy_), err), 0) << err;
  EXPECT_TRUE(Is_PDF(dir_ + "/out.pdf")) << err;
  EXPECT_EQ(err.find("nothing printed"), std::string::npos) << err;

  const std::string missing = dir_ + "/missing.CD4";
  EXPECT_EQ(Run("/P " + Quoted(missing), err), 3);
  EXPECT_NE(err.find("velmor: nothing printed: " + missing + ": No such file or directory"), std::string::npos)
      << err;
  EXPECT_EQ(Run("/CX abc /IF " + Quoted(copy_), err), 2);
  EXPECT_EQ(Run("/CX 5", err), 2);
}

// What is not a file gets its own reason (not "Is a directory"); a project
// with no label marked for printing is refused as Print refuses it, with
// alert 48, then the line on standard error.
TEST_F(CommandLinePrint, NoFilesAndNothingMarked) {
  const std::string fifo = dir_ + "/pipe.CD4";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string err;
  for (const auto& [path, kind] : {std::pair<std::string, std::string>{"/dev/null", "a device"}, {fifo, "a FIFO"}}) {
    EXPECT_EQ(Run("/P " + Quoted(path), err), 3) << err;
    EXPECT_NE(err.find("velmor: nothing printed: " + path + ": not a file but " + kind), std::string::npos) << err;
    EXPECT_EQ(err.find("Is a directory"), std::string::npos) << err;
  }
  EXPECT_EQ(Run("/P " + Quoted(dir_), err), 3) << err;
  EXPECT_NE(err.find(": Is a directory"), std::string::npos) << err;

  const std::string unmarked = dir_ + "/unmarked.CD4";
  doctests::Start_Document_Modules();
  FSSpec spec{};
  ASSERT_TRUE(Path_From_Text(spec, copy_.c_str()));
  ASSERT_TRUE(Read_DISC(spec, false));
  for (uint32 ux = 1; ux <= g_doc.doc_template.nunits; ++ux)
    if (a_doc_unit* u = Doc_Unit(ux)) u->printf = false;
  ASSERT_TRUE(Path_From_Text(spec, unmarked.c_str()));
  EXPECT_EQ(Write_DISC(spec), DISC_WRITE_OK);
  doctests::Close_Document();
  EXPECT_EQ(Run("/P " + Quoted(unmarked), err), 3) << err;
  const size_t alert = err.find("velmor: alert 48:"), line = err.find("velmor: nothing printed: " + unmarked);
  EXPECT_NE(alert, std::string::npos) << err;
  EXPECT_NE(line, std::string::npos) << err;
  EXPECT_LT(alert, line) << err;
  EXPECT_FALSE(fs::exists(dir_ + "/out.pdf"));
}

TEST_F(CommandLinePrint, OutputFileIsReplacedExactly) {
  const std::string out = dir_ + "/exact.pdf";
  testdir::Write_Text(out, "an older file");
  std::string err;
  EXPECT_EQ(Run("/IF " + Quoted(copy_) + " /OF " + Quoted(out), err), 0) << err;
  EXPECT_TRUE(Is_PDF(out)) << err;
  EXPECT_FALSE(fs::exists(dir_ + "/exact (2).pdf"));
  EXPECT_FALSE(fs::exists(dir_ + "/out.pdf"));
}

TEST_F(CommandLinePrint, PrintsBesideARunningCopy) {
  ASSERT_EQ(Host_Instance_Acquire_In(dir_, "velmor4"), HostInstanceResult::ACQUIRED);
  std::string err;
  // A plain start ends at once beside it, a print run prints.
  EXPECT_EQ(Run("", err), 0) << err;
  EXPECT_FALSE(fs::exists(dir_ + "/out.pdf"));
  EXPECT_EQ(Run("/P " + Quoted(copy_), err), 0) << err;
  EXPECT_TRUE(Is_PDF(dir_ + "/out.pdf")) << err;
  // No preferences written.
  size_t files = 0;
  if (fs::exists(dir_ + "/config"))
    for (const auto& e : fs::recursive_directory_iterator(dir_ + "/config"))
      if (e.is_regular_file()) ++files;
  EXPECT_EQ(files, 0u);
}

}  // namespace
