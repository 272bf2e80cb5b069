// Desktop integration files (desktop entry and mime package) and the
// starting of other programs through an argument vector.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "TempDirSupport.h"
#include "TestSupport.h"
#include "host/HostCodecs.h"
#include "host/HostDesktop.h"
#include "host/HostFiles.h"
#include "host/HostLaunch.h"

using namespace testdir;

namespace {

// A stand-in program: records its arguments, NUL-separated, in "<script>.args"
// and exits with the given status.
std::string Write_Standin(const std::string& path, int status, const std::string& extra = "") {
  Write_Text(path,
             "#!/bin/sh\n"
             "out=\"$0.args\"\n"
             ": > \"$out\"\n"
             "for a in \"$@\"; do printf '%s\\0' \"$a\" >> \"$out\"; done\n" +
                 extra + "exit " + std::to_string(status) + "\n");
  ::chmod(path.c_str(), 0755);
  return path;
}

std::vector<std::string> Recorded_Args(const std::string& script) {
  const std::string text = Read_Text(script + ".args");
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == 0) {
      out.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return out;
}

HostDesktopApp Sample_App(const std::string& exe) {
  HostDesktopApp app;
  app.id = "velmor4";
  app.name = "Velmor 4";
  app.exec_path = exe;
  app.types.push_back({"application/x-velmor-label", "Velmor 4 Label", ".CD4",
                       uint8(HOST_ASSOC_OPEN_FILE | HOST_ASSOC_PRINT)});
  app.types.push_back({"application/x-velmor-art-database", "Velmor 4 Art Database", ".ART4", HOST_ASSOC_OPEN});
  return app;
}

class Launch : public TempDirTest {
 protected:
  Launch() : TempDirTest("velmor-launch") {}
  void TearDown() override {
    Host_Set_Open_Command({});
    TempDirTest::TearDown();
  }
};

TEST_F(Launch, PassesTheExactArgumentVectorWithoutAShell) {
  const std::string ok = Write_Standin(P("open ok"), 0);
  Host_Set_Open_Command({ok, "--fixed"});
  const std::string target = "https://example.org/a b?x=$HOME&y=\"q\";`id` 'z'";
  EXPECT_TRUE(Host_Open_With_Default(target));
  Host_Wait_Opens();
  EXPECT_EQ(Recorded_Args(ok), (std::vector<std::string>{"--fixed", target}));

  // Commands that cannot be run are refused at once.
  Host_Set_Open_Command({P("missing-command")});
  EXPECT_FALSE(Host_Open_With_Default("file.pdf"));
  Host_Set_Open_Command({"velmor-no-such-program-anywhere"});
  EXPECT_FALSE(Host_Open_With_Default("file.pdf"));
  EXPECT_EQ(Host_Opens_Watched(), 0u);
}

// The open command's verdict is its exit status, collected when it has ended
// (the idle work polls for it); one still running has not failed yet.
TEST_F(Launch, TheVerdictIsTheCommandsExitStatusCollectedLater) {
  ASSERT_EQ(::mkfifo(P("go").c_str(), 0600), 0);
  struct Case {
    int status;
    bool failed;
  };
  for (const Case c : {Case{0, false}, Case{3, true}, Case{4, true}}) {
    // Waits for a line on the FIFO, so it is surely running until released.
    const std::string opener =
        Write_Standin(P("open-" + std::to_string(c.status)), c.status, "read line < \"" + P("go") + "\"\n");
    Host_Set_Open_Command({opener});
    std::vector<std::string> reported;
    HostSpawnStatus got;
    EXPECT_TRUE(Host_Open_With_Default("page.html", [&](const std::string& t, const HostSpawnStatus& st) {
      reported.push_back(t);
      got = st;
    }));
    EXPECT_EQ(Host_Opens_Watched(), 1u);
    EXPECT_EQ(Host_Poll_Opens(), 0);
    EXPECT_TRUE(reported.empty()) << "a command still running has not failed";
    const int fd = ::open(P("go").c_str(), O_WRONLY);  // opens once the command reads
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "x\n", 2), 2);
    ::close(fd);
    Host_Wait_Opens();
    ASSERT_EQ(reported, std::vector<std::string>{"page.html"}) << c.status;
    EXPECT_EQ(got.result, HostSpawnResult::EXITED);
    EXPECT_EQ(got.exit_code, c.status);
    EXPECT_EQ(Host_Open_Failed(got), c.failed);
    EXPECT_EQ(Host_Opens_Watched(), 0u);
  }
  // Killed by a signal: a failure.
  const std::string killed = Write_Standin(P("open-killed"), 0, "kill -9 $$\n");
  Host_Set_Open_Command({killed});
  HostSpawnStatus got;
  got.result = HostSpawnResult::EXITED;
  EXPECT_TRUE(Host_Open_With_Default("x", [&](const std::string&, const HostSpawnStatus& st) { got = st; }));
  Host_Wait_Opens();
  EXPECT_EQ(got.result, HostSpawnResult::FAILED);
  EXPECT_TRUE(Host_Open_Failed(got));
}

TEST_F(Launch, RefusesTargetsThatWouldBeMisread) {
  const std::string ok = Write_Standin(P("open"), 0);
  Host_Set_Open_Command({ok});
  for (const std::string& t : {std::string(), std::string("--help"), std::string("a\nb"), std::string("x\ty")}) {
    EXPECT_FALSE(Host_Open_With_Default(t)) << t;
    EXPECT_FALSE(Host_Exists((ok + ".args").c_str())) << "nothing was started for " << t;
  }
}

TEST_F(Launch, TheEnvironmentNamesTheCommandWhenNoneIsSet) {
  const std::string ok = Write_Standin(P("env-open"), 0);
  EnvGuard env("VELMOR_OPEN_COMMAND", ok.c_str());
  Host_Set_Open_Command({});
  EXPECT_EQ(Host_Open_Command(), std::vector<std::string>{ok});
  EXPECT_TRUE(Host_Open_With_Default("page.html"));
  Host_Wait_Opens();
  EXPECT_EQ(Recorded_Args(ok), std::vector<std::string>{"page.html"});
  EnvGuard none("VELMOR_OPEN_COMMAND", nullptr);
  EXPECT_EQ(Host_Open_Command(), std::vector<std::string>{"xdg-open"});
}

TEST_F(Launch, ChildGetsNoneOfOurDescriptorsAndQuietInput) {
  // A descriptor of ours, locked and inheritable, at a number the shell leaves alone.
  const int fd = Host_Open(P("locked").c_str(), HOST_READ | HOST_WRITE, HOST_CREATE_ALWAYS);
  ASSERT_NE(fd, HOST_NO_FD);
  const int high = ::fcntl(fd, F_DUPFD, 200);
  ASSERT_GE(high, 200);
  const std::string probe = Write_Standin(P("probe"), 0,
                                          "[ -e /proc/$$/fd/$1 ] && exit 10\n"
                                          "[ \"$(readlink /proc/$$/fd/0)\" = /dev/null ] || exit 11\n");
  // The probe itself sees an open descriptor (standard output).
  const HostSpawnStatus seen = Host_Spawn({probe, "1"}, 10000);
  EXPECT_EQ(seen.exit_code, 10);
  const HostSpawnStatus s = Host_Spawn({probe, std::to_string(high)}, 10000);
  EXPECT_EQ(s.result, HostSpawnResult::EXITED);
  EXPECT_EQ(s.exit_code, 0) << "10: our descriptor leaked; 11: input not /dev/null";
  ::close(high);
  Host_Close(fd);
}

TEST_F(Launch, ALongRunningProgramIsLeftToRun) {
  const std::string slow = Write_Standin(P("slow"), 0, "sleep 2\n");
  const auto t0 = std::chrono::steady_clock::now();
  const HostSpawnStatus s = Host_Spawn({slow}, 50);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0);
  EXPECT_EQ(s.result, HostSpawnResult::RUNNING);
  EXPECT_LT(ms.count(), 1500);
  EXPECT_EQ(Host_Spawn({}, 0).result, HostSpawnResult::FAILED);
  EXPECT_EQ(Host_Spawn({P("nothing-here")}, 0).result, HostSpawnResult::NOT_FOUND);
  // A file that is there but cannot be executed.
  Write_Text(P("plain"), "not a program\n");
  EXPECT_EQ(Host_Spawn({P("plain")}, 0).result, HostSpawnResult::NOT_FOUND);
}

class Desktop : public TempDirTest {
 protected:
  Desktop() : TempDirTest("velmor-desktop") {}
  void SetUp() override {
    TempDirTest::SetUp();
    data = P("data");
    // The refreshes run on without the program waiting for them: each
    // stand-in says when it has recorded its arguments whole.
    mime_tool = Write_Standin(P("update-mime"), 0, "touch \"$0.done\"\n");
    desk_tool = Write_Standin(P("update-desktop"), 0, "touch \"$0.done\"\n");
    Host_Desktop_Set_Refresh_Commands({mime_tool}, {desk_tool});
  }
  void TearDown() override {
    // No stand-in still writing into the folder that goes now.
    for (int quiet = 0, i = 0; quiet < 3 && i < 400; ++i) {
      quiet = Busy(mime_tool) || Busy(desk_tool) ? 0 : quiet + 1;
      ::usleep(50000);
    }
    Host_Desktop_Reset_Refresh_Commands();
    TempDirTest::TearDown();
  }
  static bool Busy(const std::string& tool) {
    return Host_Exists((tool + ".args").c_str()) && !Host_Exists((tool + ".done").c_str());
  }
  // Waits (20 s at most) for the refresh tool started last to finish.
  static bool Finished(const std::string& tool) {
    for (int i = 0; i < 4000; ++i) {
      if (Host_Exists((tool + ".done").c_str())) return true;
      ::usleep(5000);
    }
    return false;
  }
  void Forget_Refreshes() {
    for (const std::string& tool : {mime_tool, desk_tool}) {
      ::unlink((tool + ".args").c_str());
      ::unlink((tool + ".done").c_str());
    }
  }
  std::string data, mime_tool, desk_tool;
};

TEST_F(Desktop, WritesBothFilesAndRefreshesOnlyWhenTheyChange) {
  EnvGuard env("XDG_DATA_HOME", data.c_str());  // a folder that does not exist yet
  const std::string exe = "/opt/velmor 4/bin/velmor4";
  HostDesktopReport r;
  ASSERT_TRUE(Host_Desktop_Register(Sample_App(exe), &r));
  EXPECT_TRUE(r.desktop_written && r.mime_written);

  const std::string desktop = Read_Text(data + "/applications/velmor4.desktop");
  EXPECT_EQ(desktop,
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Version=1.0\n"
            "Name=Velmor 4\n"
            "Exec=\"/opt/velmor 4/bin/velmor4\" %f\n"
            "Terminal=false\n"
            "Categories=Graphics;\n"
            "MimeType=application/x-velmor-label;application/x-velmor-art-database;\n"
            "Actions=print;\n"
            "\n"
            "[Desktop Action print]\n"
            "Name=Print\n"
            "Exec=\"/opt/velmor 4/bin/velmor4\" /p %f\n");
  const std::string xml = Read_Text(data + "/mime/packages/velmor4.xml");
  EXPECT_EQ(xml,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"application/x-velmor-label\">\n"
            "    <comment>Velmor 4 Label</comment>\n"
            "    <glob pattern=\"*.cd4\"/>\n"
            "  </mime-type>\n"
            "  <mime-type type=\"application/x-velmor-art-database\">\n"
            "    <comment>Velmor 4 Art Database</comment>\n"
            "    <glob pattern=\"*.art4\"/>\n"
            "  </mime-type>\n"
            "</mime-info>\n");
  ASSERT_TRUE(Finished(mime_tool));
  ASSERT_TRUE(Finished(desk_tool));
  EXPECT_EQ(Recorded_Args(mime_tool), std::vector<std::string>{data + "/mime"});
  EXPECT_EQ(Recorded_Args(desk_tool), std::vector<std::string>{data + "/applications"});

  // The same declaration again: nothing is written, nothing refreshed.
  struct stat before{}, after{};
  ASSERT_EQ(::stat((data + "/applications/velmor4.desktop").c_str(), &before), 0);
  Forget_Refreshes();
  ASSERT_TRUE(Host_Desktop_Register(Sample_App(exe), &r));
  EXPECT_FALSE(r.desktop_written || r.mime_written);
  ASSERT_EQ(::stat((data + "/applications/velmor4.desktop").c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino) << "an atomic rewrite would make a new file";
  EXPECT_FALSE(Host_Exists((mime_tool + ".args").c_str()));
  EXPECT_FALSE(Host_Exists((desk_tool + ".args").c_str()));

  // The program moved: only the desktop entry changes.
  ASSERT_TRUE(Host_Desktop_Register(Sample_App("/usr/bin/velmor4"), &r));
  EXPECT_TRUE(r.desktop_written);
  EXPECT_FALSE(r.mime_written);
  EXPECT_NE(Read_Text(data + "/applications/velmor4.desktop").find("Exec=\"/usr/bin/velmor4\" %f\n"),
            std::string::npos);
  EXPECT_TRUE(Finished(desk_tool));
  EXPECT_FALSE(Host_Exists((mime_tool + ".args").c_str()));

  // A file edited by someone else is put right.
  Write_Text(data + "/mime/packages/velmor4.xml", "broken");
  ASSERT_TRUE(Host_Desktop_Register(Sample_App("/usr/bin/velmor4"), &r));
  EXPECT_TRUE(r.mime_written);
  EXPECT_EQ(Read_Text(data + "/mime/packages/velmor4.xml"), xml);
}

// A PNG file of size x size pixels of one colour.
std::vector<uint8> Png(int32 size, uint32 bgra) {
  std::vector<uint32> px(size_t(size) * size_t(size), bgra);
  HostImageSource src{reinterpret_cast<const uint8*>(px.data()), size, size, size_t(size) * 4, 72};
  std::vector<uint8> out;
  EXPECT_EQ(Host_Encode_PNG(src, true, out), HC_OK);
  return out;
}

TEST_F(Desktop, InstallsTheIconInTheThemeAndTheEntryNamesIt) {
  EnvGuard env("XDG_DATA_HOME", data.c_str());
  HostDesktopApp app = Sample_App("/usr/bin/velmor4");
  app.icons = {{48, Png(48, 0xFF2559BDu)}, {128, Png(128, 0xFFF7A823u)}};
  HostDesktopReport r;
  ASSERT_TRUE(Host_Desktop_Register(app, &r));
  EXPECT_TRUE(r.icons_written && r.desktop_written);
  EXPECT_FALSE(r.icons_failed);
  const std::string theme = data + "/icons/hicolor/";
  EXPECT_EQ(Read_Text(theme + "48x48/apps/velmor4.png"), std::string(app.icons[0].png.begin(), app.icons[0].png.end()));
  EXPECT_EQ(Read_Text(theme + "128x128/apps/velmor4.png"), std::string(app.icons[1].png.begin(), app.icons[1].png.end()));
  const std::string desktop = Read_Text(data + "/applications/velmor4.desktop");
  EXPECT_NE(desktop.find("\nIcon=velmor4\n"), std::string::npos) << desktop;

  // Unchanged: nothing is written again.
  ASSERT_TRUE(Host_Desktop_Register(app, &r));
  EXPECT_FALSE(r.icons_written || r.desktop_written);

  // A size the theme has no folder for, a file that is not a PNG, and a PNG
  // of another size than it claims are left out, and said so; the good
  // icons and the entry are still put right.
  app.icons = {{50, Png(50, 0xFF000000u)}, {64, {1, 2, 3}}, {256, Png(48, 0xFF000000u)}, {48, Png(48, 0xFF00FF00u)}};
  EXPECT_FALSE(Host_Desktop_Register(app, &r));
  EXPECT_TRUE(r.icons_failed);
  EXPECT_TRUE(r.icons_written);
  EXPECT_FALSE(Host_Exists((theme + "50x50").c_str()));
  EXPECT_FALSE(Host_Exists((theme + "64x64").c_str()));
  EXPECT_FALSE(Host_Exists((theme + "256x256").c_str()));
  EXPECT_EQ(Read_Text(theme + "48x48/apps/velmor4.png"), std::string(app.icons[3].png.begin(), app.icons[3].png.end()));
  EXPECT_FALSE(r.desktop_failed);
}

TEST_F(Desktop, UnwritableOrMissingPlacesFailQuietly) {
  // The data "folder" is a file: nothing can be created below it.
  Write_Text(data, "not a folder");
  EnvGuard env("XDG_DATA_HOME", data.c_str());
  HostDesktopReport r;
  EXPECT_FALSE(Host_Desktop_Register(Sample_App("/usr/bin/velmor4"), &r));
  EXPECT_TRUE(r.desktop_failed && r.mime_failed);
  EXPECT_FALSE(r.desktop_written || r.mime_written);
  EXPECT_FALSE(Host_Exists((mime_tool + ".args").c_str()));

  // Missing refresh tools are no failure.
  EnvGuard env2("XDG_DATA_HOME", P("fresh").c_str());
  Host_Desktop_Set_Refresh_Commands({P("no-such-tool")}, {P("no-such-tool")});
  EXPECT_TRUE(Host_Desktop_Register(Sample_App("/usr/bin/velmor4"), &r));
  EXPECT_TRUE(Host_Is_File(P("fresh/applications/velmor4.desktop").c_str()));

  // Without XDG_DATA_HOME the home's share folder is used; a relative value is ignored.
  EnvGuard home("HOME", P("home").c_str());
  EnvGuard rel("XDG_DATA_HOME", "relative/share");
  std::string out;
  ASSERT_TRUE(Host_Data_Home(out));
  EXPECT_EQ(out, P("home") + "/.local/share");
}

TEST_F(Desktop, TheRealMimeToolAcceptsThePackage) {
  std::string tool;
  if (!Host_Find_Program("update-mime-database", tool)) GTEST_FAIL() << Missing_Tool_Message("update-mime-database");
  EnvGuard env("XDG_DATA_HOME", data.c_str());
  Host_Desktop_Set_Refresh_Commands({}, {});
  ASSERT_TRUE(Host_Desktop_Register(Sample_App("/usr/bin/velmor4")));
  const HostSpawnStatus s = Host_Spawn({tool, data + "/mime"}, 30000);
  ASSERT_EQ(s.result, HostSpawnResult::EXITED);
  EXPECT_EQ(s.exit_code, 0);
  const std::string globs = Read_Text(data + "/mime/globs2");
  EXPECT_NE(globs.find(":application/x-velmor-label:*.cd4"), std::string::npos) << globs;
  EXPECT_NE(globs.find(":application/x-velmor-art-database:*.art4"), std::string::npos) << globs;
}

TEST(DesktopText, ExecLineQuotesThePathAndRefusesWhatCannotBeWritten) {
  struct Case {
    std::string exe, exec;
  };
  // Inside the quotes " ` $ \ are escaped with a backslash, and the
  // backslashes are then doubled once more by the string escape; % doubles.
  const Case cases[] = {
      {"/usr/bin/velmor4", "Exec=\"/usr/bin/velmor4\" %f\n"},
      {"/a b/v", "Exec=\"/a b/v\" %f\n"},
      {"/a\"b/v", "Exec=\"/a\\\\\"b/v\" %f\n"},
      {"/a$b`c/v", "Exec=\"/a\\\\$b\\\\`c/v\" %f\n"},
      {"/a\\b/v", "Exec=\"/a\\\\\\\\b/v\" %f\n"},
      {"/100%/v", "Exec=\"/100%%/v\" %f\n"},
      {"/caf\xC3\xA9/v", "Exec=\"/caf\xC3\xA9/v\" %f\n"},
  };
  for (const Case& c : cases) {
    std::string text;
    ASSERT_TRUE(Host_Desktop_Entry_Text(Sample_App(c.exe), text)) << c.exe;
    EXPECT_NE(text.find(c.exec), std::string::npos) << text;
  }
  std::string text;
  for (const std::string& bad : {std::string("/a\nb/v"), std::string("/a\xFF/v"), std::string("relative/v"),
                                std::string("/a\xC0\xAF/v"), std::string()}) {
    EXPECT_FALSE(Host_Desktop_Entry_Text(Sample_App(bad), text)) << bad;
  }
  // A type without "open with the file" leaves the file off the Exec line.
  HostDesktopApp app = Sample_App("/v");
  app.types.erase(app.types.begin());
  ASSERT_TRUE(Host_Desktop_Entry_Text(app, text));
  EXPECT_NE(text.find("Exec=\"/v\"\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("Action"), std::string::npos);
}

TEST(DesktopText, MimeNamesAndEscapes) {
  EXPECT_EQ(Host_Mime_Subtype("Velmor Label"), "x-velmor-label");
  EXPECT_EQ(Host_Mime_Subtype("Velmor Art Database"), "x-velmor-art-database");
  EXPECT_EQ(Host_Mime_Subtype("  Two--Words 4 "), "x-two-words-4");

  HostDesktopApp app = Sample_App("/v");
  app.types[0].comment = "Labels & <Covers>";
  std::string xml;
  ASSERT_TRUE(Host_Mime_Package_Text(app, xml));
  EXPECT_NE(xml.find("<comment>Labels &amp; &lt;Covers&gt;</comment>"), std::string::npos) << xml;
  for (const std::string& suffix : {std::string("CD4"), std::string("."), std::string(".c*d"), std::string(".a/b")}) {
    app = Sample_App("/v");
    app.types[0].suffix = suffix;
    EXPECT_FALSE(Host_Mime_Package_Text(app, xml)) << suffix;
  }
  app = Sample_App("/v");
  app.types[1].mime_type = "application/x-\"bad\"";
  EXPECT_FALSE(Host_Mime_Package_Text(app, xml));
  EXPECT_FALSE(Host_Desktop_Entry_Text(app, xml));
}

}  // namespace
