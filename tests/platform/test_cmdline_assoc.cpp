// The file associations written at start-up, and the command line as the
// desktop hands it over (absolute paths, picture-library files).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempDirSupport.h"
#include "TestSupport.h"
#include "platform/VoskDef.h"
#include "doc/VoskPrin.h"
#include "host/HostDesktop.h"
#include "host/HostFiles.h"
#include "platform/Icons.h"
#include "platform/Resources.h"
#include "app/Velmor4.h"

using namespace testdir;

namespace {

class Associations : public TempDirTest {
 protected:
  Associations() : TempDirTest("velmor-assoc") {}
  void SetUp() override {
    TempDirTest::SetUp();
    Resources_Init();
    Host_Desktop_Set_Refresh_Commands({}, {});
  }
  void TearDown() override {
    Host_Desktop_Reset_Refresh_Commands();
    TempDirTest::TearDown();
  }
};

TEST_F(Associations, ProjectAndLibraryFilesAreDeclaredForThisProgram) {
  EnvGuard env("XDG_DATA_HOME", P("share").c_str());
  Init_Registry();
  std::string exe;
  ASSERT_TRUE(Host_Program_File(exe));

  const std::string desktop = Read_Text(P("share/applications/velmor4.desktop"));
  EXPECT_NE(desktop.find("Name=Velmor 4\n"), std::string::npos) << desktop;
  EXPECT_NE(desktop.find("Exec=\"" + exe + "\" %f\n"), std::string::npos) << desktop;
  EXPECT_NE(desktop.find("Exec=\"" + exe + "\" /p %f\n"), std::string::npos) << desktop;
  EXPECT_NE(desktop.find("MimeType=application/x-velmor-label;application/x-velmor-art-database;\n"),
            std::string::npos)
      << desktop;
  // The program's icon, at each size it carries, where the entry's name finds it.
  EXPECT_NE(desktop.find("Icon=velmor4\n"), std::string::npos) << desktop;
  for (int16 size : {48, 128, 256}) {
    ResHandle h = GetResource(kIconPngResType, size);
    ASSERT_NE(h, nullptr) << size;
    const std::string dir = "share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size);
    EXPECT_EQ(Read_Text(P(dir + "/apps/velmor4.png")), std::string(h->data, h->data + h->size)) << size;
  }

  const std::string xml = Read_Text(P("share/mime/packages/velmor4.xml"));
  EXPECT_NE(xml.find("<mime-type type=\"application/x-velmor-label\">\n"
                     "    <comment>Velmor 4 Label</comment>\n"
                     "    <glob pattern=\"*.cd4\"/>"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<mime-type type=\"application/x-velmor-art-database\">\n"
                     "    <comment>Velmor 4 Art Database</comment>\n"
                     "    <glob pattern=\"*.art4\"/>"),
            std::string::npos)
      << xml;

  // A second start finds them unchanged and leaves them alone.
  std::time_t before = 0, after = 0;
  ASSERT_TRUE(Host_File_MTime(P("share/mime/packages/velmor4.xml").c_str(), before));
  Write_Text(P("share/applications/marker"), "");
  Init_Registry();
  ASSERT_TRUE(Host_File_MTime(P("share/mime/packages/velmor4.xml").c_str(), after));
  EXPECT_EQ(before, after);
  EXPECT_EQ(Read_Text(P("share/applications/velmor4.desktop")), desktop);
}

TEST_F(Associations, AnUnwritablePlaceDoesNotStopStartUp) {
  Write_Text(P("share"), "a file where the folder should be");
  EnvGuard env("XDG_DATA_HOME", P("share").c_str());
  Init_Registry();  // returns, silently
  EXPECT_EQ(Read_Text(P("share")), "a file where the folder should be");
}

// The desktop hands files over as absolute paths; they are files, not options.
class DesktopCommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    Resources_Init();
    VoskDef_Init();
    VoskPrin_Init();
    gs.controller = HUMAN;  // the reader's alert shows on standard error
  }
  void TearDown() override { Set_Command_Line({}); }
  bool8 Run(const std::vector<std::string>& params, std::string& err) {
    Set_Command_Line(params);
    testing::internal::CaptureStderr();
    const bool8 r = Do_Shell_Events();
    err = testing::internal::GetCapturedStderr();
    return r;
  }
};

TEST_F(DesktopCommandLine, ParametersByKind) {
  struct Case {
    std::vector<std::string> params;
    bool8 ends;
    const char* message;  // expected on standard error, "" for silence
  };
  const Case cases[] = {
      // An absolute path is opened (the reader reports the missing file).
      {{"/nonexistent-velmor/My Label.cd4"}, false, "alert 10"},
      {{"/home/x/labels/a.CD4", "/home/x/b.cd4"}, false, "alert 10"},
      // Printing an absolute path.
      {{"/p", "/nonexistent-velmor/a.cd4"}, true, "alert 10"},
      // A picture-library file only starts the program.
      {{"/nonexistent-velmor/Velmor4.ART4"}, false, ""},
      {{"/nonexistent-velmor/other.art4"}, false, ""},
      // Options still are options.
      {{"/XY", "/IF", "a.cd4"}, true, "Bad parameter in command line: /XY"},
      {{"/", "a.cd4"}, true, "Bad parameter in command line: /"},
      {{"/IF", "a.cd4", "/home/x/stray.cd4"}, true, "Bad parameter in command line: /home/x/stray.cd4"},
  };
  for (const Case& c : cases) {
    VoskPrin_Init();
    std::string err;
    EXPECT_EQ(Run(c.params, err), c.ends) << c.params[0];
    if (*c.message == 0) {
      EXPECT_EQ(err, "") << c.params[0];
    } else {
      EXPECT_NE(err.find(c.message), std::string::npos) << c.params[0] << ": " << err;
    }
    EXPECT_EQ(err.find("Parameter doesn't begin"), std::string::npos) << err;
  }
  // The file opened is the first one only.
  std::string err;
  Run({"/home/x/labels/a.CD4", "/home/x/b.cd4"}, err);
  EXPECT_EQ(err.find("alert 10"), err.rfind("alert 10")) << err;
}

}  // namespace
