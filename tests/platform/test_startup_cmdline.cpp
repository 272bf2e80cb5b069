// The command line handled at the start of the main loop, and the search
// for the picture library on CD drives.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TempDirSupport.h"
#include "TestSupport.h"
#include "platform/VoskDef.h"
#include "doc/VoskPrin.h"
#include "host/HostVolumes.h"
#include "platform/LangUtil.h"
#include "pixel/OP.h"
#include "PictLibWrite.h"
#include "platform/Resources.h"
#include "app/Velmor4.h"

namespace fs = std::filesystem;

namespace {

class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    Resources_Init();
    VoskDef_Init();
    VoskPrin_Init();
    gs.controller = HUMAN;  // alerts show, so a file that cannot be read is seen
  }
  void TearDown() override { Set_Command_Line({}); }
  // Runs Do_Shell_Events over the parameters; result and standard error.
  bool8 Run(const std::vector<std::string>& params, std::string& err) {
    Set_Command_Line(params);
    testing::internal::CaptureStderr();
    const bool8 r = Do_Shell_Events();
    err = testing::internal::GetCapturedStderr();
    return r;
  }
};

TEST_F(CommandLine, PlainStartsAndFileNames) {
  std::string err;
  EXPECT_FALSE(Run({}, err));
  EXPECT_EQ(err, "");
  // "/P" without a file starts normally.
  EXPECT_FALSE(Run({"/P"}, err));
  EXPECT_EQ(err, "");
  // A file to open: the program goes on into the loop; only the first name
  // is tried (the reader reports what it cannot read).
  EXPECT_FALSE(Run({"my label.cd4", "other.cd4"}, err));
  EXPECT_NE(err.find("alert 10"), std::string::npos) << err;
  EXPECT_EQ(err.find("alert 10"), err.rfind("alert 10"));
  // "/p" and "/P" with a file print it and end the program.
  EXPECT_TRUE(Run({"/p", "label.cd4"}, err));
  EXPECT_TRUE(Run({"/P", "label.cd4"}, err));
}

TEST_F(CommandLine, OverrideRunsStoreTheirSettings) {
  std::string err;
  EXPECT_TRUE(Run({"/IF", "in file.cd4", "/OF", "out.prn", "/cx", "12", "/CY", "-3", "/S5", "hello world"}, err));
  EXPECT_EQ(err.find("velmor: "), err.find("velmor: alert 10"));  // no command-line complaint
  EXPECT_NE(overrides.flags & (1u << IF_PARM), 0u);
  EXPECT_NE(overrides.flags & (1u << OF_PARM), 0u);
  EXPECT_NE(overrides.flags & (1u << SN_PARM), 0u);
  EXPECT_EQ(overrides.cx, 12);
  EXPECT_EQ(overrides.cy, -3);
  EXPECT_STREQ(overrides.s[5], "hello world");
  EXPECT_NE(std::string(overrides.if_file.name).find("in file.cd4"), std::string::npos);
}

TEST_F(CommandLine, OverrideErrorsEndWithoutPrinting) {
  struct Case {
    std::vector<std::string> params;
    const char* message;
  };
  const Case cases[] = {
      {{"/CX", "abc", "/IF", "x.cd4"}, "Parameter not numeric: abc"},
      {{"/SX", "v", "/IF", "x.cd4"}, "Bad parameter in command line: /SX"},
      {{"/IF", "x.cd4", "stray"}, "Parameter doesn't begin with /: stray"},
      {{"/CX", "5"}, "Missing input file spec: /CX 5"},
  };
  for (const Case& c : cases) {
    VoskPrin_Init();
    std::string err;
    EXPECT_TRUE(Run(c.params, err));
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
    EXPECT_EQ(err.find("alert 10"), std::string::npos) << "nothing is printed after an error";
  }
}

// Every run of the command line ends with a status: 2 for a command line that
// cannot be used, 3 for a print run that printed nothing, with the file and
// the reason on standard error. (Runs that print are run as a child of the
// tests of the user interface.)
TEST_F(CommandLine, FailedRunsSayWhyAndSetTheExitStatus) {
  const std::string dir = testdir::Make_Temp_Dir("velmor-cmdline");
  ASSERT_FALSE(dir.empty());
  testdir::Write_Text(dir + "/label.cd4", "not a label");
  const std::string missing = dir + "/missing.cd4";
  struct Case {
    std::vector<std::string> params;
    bool8 ends;
    int status;
    std::string message;  // expected on standard error ("" for nothing)
  };
  const std::string nothing = "velmor: nothing printed: ";
  const Case cases[] = {
      {{}, false, kExitNormal, ""},
      {{"/P"}, false, kExitNormal, ""},
      {{missing}, false, kExitNormal, "alert 10"},  // opening is not a print run
      {{"/CX", "abc", "/IF", "x.cd4"}, true, kExitBadCommandLine, "velmor: Parameter not numeric: abc"},
      {{"/QQ", "1"}, true, kExitBadCommandLine, "velmor: Bad parameter in command line: /QQ"},
      {{"/IF", "x.cd4", "stray"}, true, kExitBadCommandLine, "velmor: Parameter doesn't begin with /: stray"},
      {{"/CX", "5"}, true, kExitBadCommandLine, "velmor: Missing input file spec: /CX 5"},
      {{"/P", missing}, true, kExitNothingPrinted, nothing + missing + ": No such file or directory\n"},
      {{"/p", dir}, true, kExitNothingPrinted, nothing + dir + ": Is a directory\n"},
      {{"/P", dir + "/label.cd4"}, true, kExitNothingPrinted,
       nothing + dir + "/label.cd4: not a label project of this version\n"},
      {{"/IF", missing, "/CX", "3"}, true, kExitNothingPrinted, nothing + missing + ": No such file or directory\n"},
      {{"/P", std::string(5000, 'a')}, true, kExitNothingPrinted, ": File name too long\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.params.empty() ? std::string("(none)") : c.params[0] + " " + (c.params.size() > 1 ? c.params[1].substr(0, 40) : ""));
    VoskPrin_Init();
    std::string err;
    EXPECT_EQ(Run(c.params, err), c.ends);
    EXPECT_EQ(Shell_Exit_Status(), c.status);
    if (c.message.empty()) {
      EXPECT_EQ(err, "");
    } else {
      EXPECT_NE(err.find(c.message), std::string::npos) << err;
    }
  }
  if (geteuid() != 0) {
    testdir::Write_Text(dir + "/locked.cd4", "x");
    ::chmod((dir + "/locked.cd4").c_str(), 0);
    std::string err;
    EXPECT_TRUE(Run({"/P", dir + "/locked.cd4"}, err));
    EXPECT_EQ(Shell_Exit_Status(), kExitNothingPrinted);
    EXPECT_NE(err.find(nothing + dir + "/locked.cd4: Permission denied\n"), std::string::npos) << err;
  }
  testdir::Remove_Dir(dir);
}

TEST(Language, UnavailableLanguageBecomesTheLowestAvailable) {
  const a_language_set saved = app_capability;
  struct Case {
    a_language_set caps;
    int16 stored, want;
  };
  const Case cases[] = {
      {Lang_Bit(ENGLISH) | Lang_Bit(KOREAN), KOREAN, KOREAN},  // available: kept
      {Lang_Bit(ENGLISH) | Lang_Bit(KOREAN), 5, ENGLISH},
      {Lang_Bit(3) | Lang_Bit(7), 5, 3},                       // the lowest available
      {Lang_Bit(ENGLISH), 200, ENGLISH},                       // out of range
  };
  for (const Case& c : cases) {
    app_capability = c.caps;
    gs.pref.language_offset = c.stored;
    Force_Language_Available();
    EXPECT_EQ(gs.pref.language_offset, c.want) << c.stored;
  }
  app_capability = saved;
}

TEST(PictureLibrary, FoundOnTheSecondCdDrive) {
  const char* base = std::getenv("TMPDIR");
  std::string t = std::string(base && *base ? base : "/tmp") + "/velmor-cd-XXXXXX";
  std::vector<char> buf(t.begin(), t.end());
  buf.push_back(0);
  ASSERT_NE(mkdtemp(buf.data()), nullptr);
  const std::string dir = buf.data();
  fs::create_directories(dir + "/cd1");
  fs::create_directories(dir + "/cd2");
  std::vector<a_art_object> objects(1);
  objects[0].key = a_keyset{12, 1000, 0, 0};
  objects[0].data = {0, 0, 0, 0};
  std::vector<uint8> lib;
  std::string err;
  ASSERT_TRUE(ArtLib_Build(objects, lib, err)) << err;
  std::ofstream(dir + "/cd2/Velmor4.ART4", std::ios::binary)
      .write(reinterpret_cast<const char*>(lib.data()), std::streamsize(lib.size()));

  std::vector<HostVolume> mounts(3);
  mounts[0].root = "/";
  mounts[0].device = "/dev/sda1";
  mounts[0].fstype = "ext4";
  mounts[1].root = dir + "/cd1";
  mounts[1].device = "/dev/sr0";
  mounts[1].fstype = "iso9660";
  mounts[1].cdrom = mounts[1].removable = true;
  mounts[2].root = dir + "/cd2";
  mounts[2].device = "/dev/sr1";
  mounts[2].fstype = "iso9660";
  mounts[2].cdrom = mounts[2].removable = true;
  Host_Volumes_Inject(mounts);
  const HostDriveTable drives = Host_Drive_Table();
  int16 second_cd = -1;
  for (int16 d = 0; d < HOST_MAX_DRIVES; ++d)
    if (drives[size_t(d)].root == dir + "/cd2") second_cd = d;
  ASSERT_GE(second_cd, 0);

  OP_Init();
  g_art_result = OPEN_NOTFOUND;
  Find_CD("Velmor4.ART4");
  EXPECT_EQ(g_art_result, OPEN_OKAY);
  EXPECT_EQ(Art_Volume(), second_cd);
  OP_Stop();
  Host_Volumes_Inject({});
  fs::remove_all(dir);
}

}  // namespace
