// The program as a whole, run as a separate process on the headless
// backend: start-up checks, the main loop, the end of a session and the
// preferences written at exit.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "host/HostScript.h"
#include "PictLibWrite.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::string Make_Temp_Dir() {
  const char* base = std::getenv("TMPDIR");
  std::string t = std::string(base && *base ? base : "/tmp") + "/velmor-startup-XXXXXX";
  std::vector<char> buf(t.begin(), t.end());
  buf.push_back(0);
  if (mkdtemp(buf.data()) == nullptr) return std::string();
  return buf.data();
}

std::string Read_All(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// One run of the program: its own home, configuration and runtime folders
// under a temporary folder, the headless backend, and standard error kept
// in a file.
class Program {
 public:
  explicit Program(std::string dir) : dir_(std::move(dir)) {}
  std::string exe = VELMOR4_EXE;
  std::vector<std::string> env_extra;

  bool Start(const std::vector<std::string>& args = {}) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string v = *e;
      // A desktop the tests run under must not be used, nor settings of the
      // person running them.
      if (v.rfind("DISPLAY=", 0) == 0 || v.rfind("WAYLAND_DISPLAY=", 0) == 0 ||
          v.rfind("VELMOR_", 0) == 0 || v.rfind("HOME=", 0) == 0 || v.rfind("XDG_", 0) == 0)
        continue;
      env.push_back(v);
    }
    env.push_back("HOME=" + dir_);
    env.push_back("XDG_CONFIG_HOME=" + dir_ + "/config");
    env.push_back("XDG_RUNTIME_DIR=" + dir_);
    env.push_back("VELMOR_BACKEND=headless");
    for (const std::string& v : env_extra) env.push_back(v);
    std::vector<char*> envp, argv;
    for (std::string& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    argv.push_back(exe.data());
    std::vector<std::string> a = args;
    for (std::string& v : a) argv.push_back(v.data());
    argv.push_back(nullptr);

    stderr_path_ = dir_ + "/stderr-" + std::to_string(++runs_) + ".txt";
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 2, stderr_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    const int rc = posix_spawn(&pid_, exe.c_str(), &fa, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    return rc == 0;
  }

  // Waits for the end; FALSE (and the process killed) after timeout_s.
  bool Wait(double timeout_s, int& status) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_s);
    for (;;) {
      int st = 0;
      const pid_t r = waitpid(pid_, &st, WNOHANG);
      if (r == pid_) {
        status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        pid_ = -1;
        return true;
      }
      if (std::chrono::steady_clock::now() > end) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &st, 0);
        pid_ = -1;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  bool Running() {
    int st = 0;
    return pid_ > 0 && waitpid(pid_, &st, WNOHANG) == 0;
  }
  void Signal(int sig) {
    if (pid_ > 0) kill(pid_, sig);
  }
  // Runs to the end: the exit status, -1 on a timeout.
  int Run(const std::vector<std::string>& args = {}, double timeout_s = 60) {
    if (!Start(args)) return -2;
    int status = 0;
    return Wait(timeout_s, status) ? status : -1;
  }
  std::string Stderr() const { return Read_All(stderr_path_); }
  // The preferences files written under the configuration folder.
  std::vector<fs::path> Prefs_Files() const {
    std::vector<fs::path> out;
    std::error_code ec;
    if (!fs::exists(dir_ + "/config", ec)) return out;
    for (const auto& e : fs::recursive_directory_iterator(dir_ + "/config", ec))
      if (e.path().extension() == ".ini") out.push_back(e.path());
    return out;
  }
  ~Program() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      int st = 0;
      waitpid(pid_, &st, 0);
    }
  }

 private:
  std::string dir_;
  std::string stderr_path_;
  pid_t pid_ = -1;
  int runs_ = 0;
};

class Startup : public ::testing::Test {
 protected:
  std::string dir_;
  void SetUp() override {
    if (!fs::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
    dir_ = Make_Temp_Dir();
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
  }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string p = dir_ + "/" + name;
    std::ofstream(p) << text;
    return p;
  }
  // A copy of the program in a folder of its own, with the given library
  // bytes beside it (none when lib is NIL).
  std::string Program_Copy(const std::vector<uint8>* lib) {
    const std::string folder = dir_ + "/prog";
    fs::create_directories(folder);
    const std::string exe = folder + "/velmor4";
    fs::copy_file(VELMOR4_EXE, exe, fs::copy_options::overwrite_existing);
    if (lib != nullptr) {
      std::ofstream out(folder + "/Velmor4.ART4", std::ios::binary);
      out.write(reinterpret_cast<const char*>(lib->data()), std::streamsize(lib->size()));
    }
    return exe;
  }
};

TEST_F(Startup, SmallScreenShowsAlert2AndStillWritesThePreferences) {
  Program p(dir_);
  p.env_extra = {"VELMOR_SCREEN=699x600"};
  EXPECT_EQ(p.Run(), 0);
  const std::string err = p.Stderr();
  EXPECT_NE(err.find("alert 2: Sorry, this program requires a display resolution"), std::string::npos)
      << err;
  EXPECT_EQ(p.Prefs_Files().size(), 1u);
  // 700 x 570 is enough.
  Program q(dir_);
  q.env_extra = {"VELMOR_SCREEN=700x570", "VELMOR_SCRIPT=" + Write("quit.txt", "quit\n")};
  EXPECT_EQ(q.Run(), 0);
  EXPECT_EQ(q.Stderr().find("alert"), std::string::npos) << q.Stderr();
}

TEST_F(Startup, RunsUntilTerminatedThenShutsDownInOrder) {
  Program p(dir_);
  p.env_extra = {"VELMOR_SCREEN=1024x768"};
  ASSERT_TRUE(p.Start());
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  ASSERT_TRUE(p.Running()) << p.Stderr();
  EXPECT_TRUE(p.Prefs_Files().empty()) << "preferences are written at the end";

  // A second start while the first runs ends at once, silently.
  Program second(dir_);
  second.env_extra = {"VELMOR_SCREEN=1024x768"};
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(second.Run({}, 30), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(20));
  EXPECT_EQ(second.Stderr(), "");
  EXPECT_TRUE(p.Running());

  p.Signal(SIGTERM);
  int status = -1;
  ASSERT_TRUE(p.Wait(30, status)) << "no end after SIGTERM";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(p.Stderr(), "");
  EXPECT_EQ(p.Prefs_Files().size(), 1u);
}

TEST_F(Startup, EndOfSessionDuringAModalDialogCancelsItAndQuitsNormally) {
  // Help > Design a new layout... (menu 606) shows the layout designer, a
  // modal dialog that waits for the user, and the signal arrives while it
  // is up: the snapshots before and after the menu differ by the dialog.
  // The dialog is cancelled and the program quits at once: the script's
  // remaining lines never run, so it does not reach its end.
  for (const char* sig : {"term", "int"}) {
    Program p(dir_);
    const std::string before = dir_ + "/before.png", up = dir_ + "/up.png";
    std::error_code ec;
    fs::remove(before, ec);
    fs::remove(up, ec);
    p.env_extra = {"VELMOR_SCREEN=1024x768",
                   "VELMOR_SCRIPT=" + Write(std::string("sig-") + sig + ".txt",
                                            "wait 5\nsnapshot " + before + "\nmenu 606\nwait 10\nsnapshot " + up +
                                                "\nsignal " + sig + "\nwait 30\ntype abc\nwait 30\n")};
    EXPECT_EQ(p.Run(), 0) << sig << ": " << p.Stderr();
    const std::string err = p.Stderr();
    const std::string shot_before = Read_All(before), shot_up = Read_All(up);
    EXPECT_FALSE(shot_before.empty()) << sig << ": " << err;
    EXPECT_NE(shot_up, shot_before) << sig << ": no dialog was up when the signal came";
    EXPECT_EQ(err.find("script ended"), std::string::npos) << sig << ": the dialog outlived the signal\n" << err;
    EXPECT_EQ(p.Prefs_Files().size(), 1u) << sig;
    fs::remove_all(dir_ + "/config", ec);
  }
}

TEST_F(Startup, ScriptedSnapshotOfTheMainWindow) {
  Program p(dir_);
  const std::string png = dir_ + "/out.png";
  p.env_extra = {"VELMOR_SCREEN=1024x768",
                 "VELMOR_SCRIPT=" + Write("s.txt", "wait 30\nsnapshot " + png + "\nquit\n")};
  EXPECT_EQ(p.Run(), 0) << p.Stderr();
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  std::string err;
  ASSERT_TRUE(Host_Read_PNG(png, px, w, h, err)) << err;
  // The default window: the whole width of a 1024-pixel screen, at most 750
  // high, of which the menu bar takes 20.
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 730);
  std::set<uint32> colours;
  for (uint32 c : px) colours.insert(c & 0xFFFFFF);
  EXPECT_GT(colours.size(), 2u) << "the window is blank";
}

TEST_F(Startup, MissingLibraryIsFatalAlert44NamingTheFile) {
  Program p(dir_);
  p.exe = Program_Copy(nullptr);
  EXPECT_EQ(p.Run(), 1);
  EXPECT_NE(p.Stderr().find("alert 44: The art file (Velmor4.ART4) was not found"), std::string::npos)
      << p.Stderr();
  EXPECT_TRUE(p.Prefs_Files().empty()) << "a fatal alert ends the program at once";
}

TEST_F(Startup, InvalidLibraryIsFatalAlert52) {
  const std::string text = "[ED] but nothing a library needs";
  const std::vector<uint8> lib(text.begin(), text.end());
  Program p(dir_);
  p.exe = Program_Copy(&lib);
  EXPECT_EQ(p.Run(), 1);
  EXPECT_NE(p.Stderr().find("alert 52: Warning!  The art database file"), std::string::npos) << p.Stderr();
}

// The picture library the build draws: the program starts on it (a
// snapshot of its window under the build folder's snapshots/art/), and on the
// same file cut in half it stops with alert 52 and status 1.
TEST_F(Startup, RunsOnTheBuiltLibraryAndRefusesHalfOfIt) {
  const std::string built = Read_All(VELMOR_ART_LIBRARY);
  ASSERT_GT(built.size(), 1000u) << VELMOR_ART_LIBRARY;
  std::vector<uint8> lib(built.begin(), built.end());
  const std::string exe = VELMOR4_EXE;
  const std::string shots = exe.substr(0, exe.find_last_of('/')) + "/snapshots/art";
  fs::create_directories(shots);
  const std::string png = shots + "/startup.png";
  {
    Program p(dir_);
    p.exe = Program_Copy(&lib);
    p.env_extra = {"VELMOR_SCREEN=1024x768",
                   "VELMOR_SCRIPT=" + Write("shot.txt", "wait 30\nsnapshot " + png + "\nquit\n")};
    EXPECT_EQ(p.Run(), 0) << p.Stderr();
    EXPECT_EQ(p.Stderr().find("alert"), std::string::npos) << p.Stderr();
    std::vector<uint32> px;
    int32 w = 0, h = 0;
    std::string err;
    EXPECT_TRUE(Host_Read_PNG(png, px, w, h, err)) << err;
  }
  lib.resize(lib.size() / 2);
  Program p(dir_);
  p.exe = Program_Copy(&lib);
  EXPECT_EQ(p.Run(), 1);
  EXPECT_NE(p.Stderr().find("alert 52: Warning!  The art database file"), std::string::npos) << p.Stderr();
}

TEST_F(Startup, LibraryWithoutPicture1000IsFatalAlert40) {
  std::vector<a_art_object> objects(1);
  objects[0].key = a_keyset{12, 1001, 0, 0};
  objects[0].data = {1, 2, 3, 4};
  std::vector<uint8> lib;
  std::string err;
  ASSERT_TRUE(ArtLib_Build(objects, lib, err)) << err;
  Program p(dir_);
  p.exe = Program_Copy(&lib);
  EXPECT_EQ(p.Run(), 1);
  EXPECT_NE(p.Stderr().find("alert 40: Sorry, your art database is out of date"), std::string::npos)
      << p.Stderr();
}

TEST_F(Startup, BadEnvironmentIsRefusedWithAReason) {
  Program p(dir_);
  p.env_extra = {"VELMOR_SCREEN=wide"};
  EXPECT_EQ(p.Run(), 4) << "no display backend could start";
  EXPECT_NE(p.Stderr().find("VELMOR_SCREEN"), std::string::npos) << p.Stderr();
}

// The exit status tells whoever started the program how a command-line run
// went: 2 for a command line that cannot be used, 3 for a print run that
// printed nothing (with the file and the reason on standard error).
TEST_F(Startup, FailedCommandLineRunsEndWithTheirStatus) {
  const std::string missing = dir_ + "/no such label.cd4";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {{"/CX", "abc", "/IF", "x.cd4"}, 2, "velmor: Parameter not numeric: abc\n"},
      {{"/ZZ"}, 2, "velmor: Bad parameter in command line: /ZZ\n"},
      {{"/P", missing}, 3, "velmor: nothing printed: " + missing + ": No such file or directory\n"},
      {{"/IF", Write("plain.cd4", "text")}, 3,
       "velmor: nothing printed: " + dir_ + "/plain.cd4: not a label project of this version\n"},
  };
  for (const Case& c : cases) {
    Program p(dir_);
    EXPECT_EQ(p.Run(c.args), c.status) << c.args[0] << "\n" << p.Stderr();
    EXPECT_NE(p.Stderr().find(c.message), std::string::npos) << p.Stderr();
  }
}

// Settings that are there but cannot be read are not replaced by the
// defaults at the end; the user is told once at the start why they were not
// loaded, and not again (alert 13) at the end.
TEST_F(Startup, UnreadablePreferencesAreKeptAndExplainedOnce) {
  const std::string prefs = dir_ + "/config/velmor4/Velmor4.ini";
  fs::create_directories(prefs);  // a folder where the file should be
  Write("config/velmor4/Velmor4.ini/keep", "mine");
  Program p(dir_);
  p.env_extra = {"VELMOR_SCRIPT=" + Write("quit.txt", "quit\n")};
  EXPECT_EQ(p.Run(), 0) << p.Stderr();
  const std::string err = p.Stderr();
  const std::string said = "alert 70: Sorry, could not read the preferences file " + prefs + " (Is a directory).";
  EXPECT_NE(err.find(said), std::string::npos) << err;
  EXPECT_EQ(err.find("alert 70"), err.rfind("alert 70")) << err;
  EXPECT_EQ(err.find("alert 13"), std::string::npos) << err;
  EXPECT_TRUE(fs::is_directory(prefs));
  EXPECT_EQ(Read_All(prefs + "/keep"), "mine");
}

}  // namespace
