// The file module: result codes, short reads, long paths, sharing, types by
// suffix, temporary files and folder enumeration.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TempDirSupport.h"
#include "TestSupport.h"
#include "host/HostFiles.h"
#include "host/HostVolumes.h"
#include "platform/SysIO.h"
#include "platform/SysVol.h"

using namespace testdir;

namespace {

class SysIOTest : public TempDirTest {
 protected:
  SysIOTest() : TempDirTest("velmor-io") {}
  void TearDown() override {
    Host_Fail_Reads_After(-1);
    Host_Fail_Writes_After(-1);
    Host_Volumes_Inject({});
    TempDirTest::TearDown();
  }
  FSSpec Spec(const std::string& name) const {
    FSSpec s;
    EXPECT_TRUE(Path_From_Text(s, (dir + "/" + name).c_str()));
    return s;
  }
};

TEST_F(SysIOTest, ShortReadIsReportedNotSuccess) {
  std::string data(60, 0);
  for (int i = 0; i < 60; i++) data[size_t(i)] = char('A' + i % 26);
  Write_Text(P("f"), data);
  a_fd fd = File_Open(Spec("f"), GENERIC_READ);
  ASSERT_FALSE(Is_Null_Fd(fd));

  char buf[100];
  EXPECT_EQ(File_Read(fd, buf, 0), noErr);  // nothing asked, nothing moved
  EXPECT_EQ(File_GetPos(fd), 0);
  EXPECT_EQ(File_Read(fd, buf, 20), noErr);
  EXPECT_EQ(std::string(buf, 20), data.substr(0, 20));

  // 100 bytes asked 40 before the end: the 40 arrive, but the block is not whole.
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(File_Read(fd, buf, 100), eofErr);
  EXPECT_EQ(std::string(buf, 40), data.substr(20));
  EXPECT_EQ(buf[40], '#');
  EXPECT_EQ(File_Read(fd, buf, 100), eofErr);

  // File_Read2 gives the count instead.
  ASSERT_EQ(File_SetPos(fd, 20), noErr);
  uint32 n = 100;
  EXPECT_EQ(File_Read2(fd, buf, n), noErr);
  EXPECT_EQ(n, 40u);
  n = 100;
  EXPECT_EQ(File_Read2(fd, buf, n), eofErr);
  EXPECT_EQ(n, 0u);
  File_Close(fd);
}

TEST_F(SysIOTest, ReadErrorsGiveFailure) {
  Write_Text(P("f"), std::string(50, 'x'));
  a_fd fd = File_Open(Spec("f"), GENERIC_READ);
  ASSERT_FALSE(Is_Null_Fd(fd));
  char buf[50];
  Host_Fail_Reads_After(10);
  EXPECT_EQ(File_Read(fd, buf, 50), errFailed);
  File_SetPos(fd, 0);
  uint32 n = 50;
  EXPECT_EQ(File_Read2(fd, buf, n), errFailed);
  EXPECT_EQ(n, 0u);
  Host_Fail_Reads_After(-1);
  File_Close(fd);
  EXPECT_EQ(File_Read(NULL_FD, buf, 1), errFailed);
  EXPECT_EQ(File_Write(NULL_FD, buf, 1), errFailed);
}

TEST_F(SysIOTest, WriteReportsEveryFailure) {
  ASSERT_EQ(File_Create(true, Spec("w"), FourCC("????"), FourCC("TEXT")), noErr);
  a_fd fd = File_Open(Spec("w"), GENERIC_READ | GENERIC_WRITE);
  ASSERT_FALSE(Is_Null_Fd(fd));
  EXPECT_EQ(File_Write(fd, "hello", 5), noErr);
  Host_Fail_Writes_After(2);
  EXPECT_EQ(File_Write(fd, "world", 5), errFailed);
  Host_Fail_Writes_After(-1);
  EXPECT_EQ(File_GetEOF(fd), 7);
  EXPECT_EQ(File_GetPos(fd), 7);  // the length leaves the position alone
  File_Close(fd);
}

TEST_F(SysIOTest, PathsPastTwoHundredFiftyFiveBytesWork) {
  // A folder chain well past 255 bytes, with a long file name at its end.
  std::string path = dir;
  while (path.size() < 600) {
    path += "/" + std::string(60, 'd');
    ASSERT_EQ(::mkdir(path.c_str(), 0777), 0);
  }
  std::string file = path + "/" + std::string(200, 'f') + ".CD4";
  FSSpec spec;
  ASSERT_TRUE(Path_From_Text(spec, file.c_str()));
  ASSERT_EQ(File_Create(false, spec, 0, 0), noErr);
  EXPECT_TRUE(File_Exists(spec));
  a_fd fd = File_Open(spec, GENERIC_WRITE);
  ASSERT_FALSE(Is_Null_Fd(fd));
  EXPECT_EQ(File_Write(fd, "abc", 3), noErr);
  File_Close(fd);
  EXPECT_EQ(File_GetSize(spec), 3);
  OSType creator, type;
  uint16 flags;
  File_GetInfo(spec, creator, type, flags);
  EXPECT_EQ(type, FourCC("DISC"));
  Str255 name;
  EXPECT_TRUE(Path_To_Name(spec, name));
  EXPECT_EQ(std::strlen(name), 204u);
  EXPECT_EQ(File_Delete(spec), noErr);
  EXPECT_FALSE(File_Exists(spec));

  // A text that does not fit is refused whole, never cut.
  std::string too_long(PATH_CAPACITY, 'x');
  EXPECT_FALSE(Path_From_Text(spec, too_long.c_str()));
  EXPECT_EQ(spec.name[0], 0);
  // A record without a NUL opens nothing.
  std::memset(spec.name, 'x', sizeof spec.name);
  EXPECT_TRUE(Is_Null_Fd(File_Open(spec, GENERIC_READ)));
  EXPECT_FALSE(File_Exists(spec));
}

TEST_F(SysIOTest, CreateWithoutOverwriteKeepsExistingFile) {
  Write_Text(P("f"), "original");
  EXPECT_EQ(File_Create(false, Spec("f"), 0, 0), errFailed);
  EXPECT_EQ(Read_Text(P("f")), "original");
  EXPECT_EQ(File_Create(true, Spec("f"), 0, 0), noErr);
  EXPECT_EQ(Read_Text(P("f")), "");
  EXPECT_EQ(File_Create(true, Spec("nofolder/f"), 0, 0), errFailed);
}

TEST_F(SysIOTest, OpenSharesReadingOnly) {
  Write_Text(P("f"), "x");
  a_fd r1 = File_Open(Spec("f"), GENERIC_READ);
  ASSERT_FALSE(Is_Null_Fd(r1));
  a_fd r2 = File_Open(Spec("f"), GENERIC_READ);
  EXPECT_FALSE(Is_Null_Fd(r2));
  EXPECT_TRUE(Is_Null_Fd(File_Open(Spec("f"), GENERIC_WRITE)));
  File_Close(r1);
  File_Close(r2);
  a_fd w = File_Open(Spec("f"), GENERIC_READ | GENERIC_WRITE);
  ASSERT_FALSE(Is_Null_Fd(w));
  EXPECT_TRUE(Is_Null_Fd(File_Open(Spec("f"), GENERIC_READ)));
  File_Close(w);
  EXPECT_TRUE(Is_Null_Fd(File_Open(Spec("missing"), GENERIC_READ)));
  EXPECT_TRUE(Is_Null_Fd(File_Open(Spec(""), GENERIC_READ)));  // the folder itself
}

TEST_F(SysIOTest, TypesFromSuffixes) {
  struct Case {
    const char* name;
    const char* type;
  };
  const Case cases[] = {
      {"photo.jpeg", "JPEG"}, {"PHOTO.JPG", "JPEG"}, {"a.jpe", "JPEG"},  {"a.jfif", "JPEG"},
      {"a.BMP", "BMP "},      {"a.lbm", "ILBM"},     {"a.gif", "GIFf"},  {"a.tif", "TIFF"},
      {"a.TIFF", "TIFF"},     {"disc.cd4", "DISC"},  {".TIF", "????"},   {"tif", "????"},
      {"a.png", "????"},      {"", "????"},          {"x.jpeg.txt", "????"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OSType creator = 0, type = 0;
    uint16 flags = 7;
    EXPECT_TRUE(File_GetInfo2(CStrSpan(c.name, std::strlen(c.name) + 1), creator, type, flags));
    char t[5] = {char(type >> 24), char(type >> 16), char(type >> 8), char(type), 0};
    EXPECT_STREQ(t, c.type);
    EXPECT_EQ(creator, FourCC("????"));
    EXPECT_EQ(flags, 0);
  }
  EXPECT_TRUE(Matches_Suffix("x.Cd4", ".CD4"));
  EXPECT_FALSE(Matches_Suffix(".cd4", ".CD4"));
}

TEST_F(SysIOTest, NamesAndDrivePaths) {
  std::vector<HostVolume> mounts(2);
  mounts[0].root = "/";
  mounts[1].root = "/media/u/DISC";
  mounts[1].cdrom = true;
  Host_Volumes_Inject(mounts);

  FSSpec p;
  Str255 name;
  struct Case {
    const char* path;
    const char* name;
  };
  const Case cases[] = {
      {"/a/b.txt", "b.txt"}, {"C:\\A\\B.TXT", "B.TXT"}, {"plain", "plain"}, {"/dir/", ""},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Path_From_Text(p, c.path));
    EXPECT_TRUE(Path_To_Name(p, name));
    EXPECT_STREQ(name, c.name);
  }
  Str31 small;
  ASSERT_TRUE(Path_From_Text(p, ("/x/" + std::string(40, 'n')).c_str()));
  EXPECT_FALSE(Path_To_Name(p, small));
  EXPECT_STREQ(small, "");

  EXPECT_TRUE(Name_To_Path(3, "\\X", p));  // drive C, the root file system
  EXPECT_STREQ(p.name, "/X");
  EXPECT_EQ(p.vRefNum, 0);
  EXPECT_TRUE(Name_To_Path(4, "song.wpl", p));
  EXPECT_STREQ(p.name, "/media/u/DISC/song.wpl");
  EXPECT_TRUE(Name_To_Path(0, "rel/x.cd4", p));
  EXPECT_STREQ(p.name, "rel/x.cd4");
  EXPECT_FALSE(Name_To_Path(9, "x", p));  // no such drive
  EXPECT_STREQ(p.name, "");
}

TEST_F(SysIOTest, TemporaryFiles) {
  EnvGuard conf("XDG_CONFIG_HOME", (dir + "/conf").c_str());
  FSSpec path;
  a_fd fd = NULL_FD;
  ASSERT_EQ(File_Create_Temp(0, 0, "undo.tmp", path, fd), noErr);
  EXPECT_EQ(std::string(path.name), dir + "/conf/velmor4/undo.tmp");
  EXPECT_EQ(File_Write(fd, "abcdef", 6), noErr);
  ASSERT_EQ(File_SetPos(fd, 2), noErr);
  char buf[4];
  EXPECT_EQ(File_Read(fd, buf, 4), noErr);
  EXPECT_EQ(std::string(buf, 4), "cdef");
  File_Close(fd);
  // Made anew each time.
  ASSERT_EQ(File_Create_Temp(0, 0, "undo.tmp", path, fd), noErr);
  EXPECT_EQ(File_GetEOF(fd), 0);
  File_Close(fd);

  {
    // An application-data folder that cannot exist: failure and the null handle.
    Write_Text(P("blocker"), "");
    EnvGuard bad("XDG_CONFIG_HOME", P("blocker").c_str());
    fd = 0;
    EXPECT_EQ(File_Create_Temp(0, 0, "undo.tmp", path, fd), errFailed);
    EXPECT_TRUE(Is_Null_Fd(fd));
  }

  EnvGuard tmp("TMPDIR", dir.c_str());
  FSSpec t1, t2;
  ASSERT_EQ(Get_Temp_Filename(t1), noErr);
  ASSERT_EQ(Get_Temp_Filename(t2), noErr);
  EXPECT_NE(std::string(t1.name), std::string(t2.name));
  EXPECT_EQ(std::string(t1.name).rfind(dir + "/TMP", 0), 0u);
  EXPECT_TRUE(File_Exists(t1));
  EXPECT_EQ(File_GetSize(t1), 0);
}

TEST_F(SysIOTest, CopyDeleteAndDate) {
  Write_Text(P("src"), "payload");
  Write_Text(P("dst"), "stale");
  EXPECT_EQ(Copy_File(Spec("src"), Spec("dst")), noErr);
  EXPECT_EQ(Read_Text(P("dst")), "payload");
  EXPECT_EQ(Copy_File(Spec("missing"), Spec("dst")), errFailed);
  EXPECT_EQ(File_Delete(Spec("dst")), noErr);
  EXPECT_EQ(File_Delete(Spec("dst")), errFailed);
  EXPECT_EQ(File_GetSize(Spec("dst")), 0);

  // Wednesday 7 March 2007, 13:45:30 local time.
  std::tm tm{};
  tm.tm_year = 107;
  tm.tm_mon = 2;
  tm.tm_mday = 7;
  tm.tm_hour = 13;
  tm.tm_min = 45;
  tm.tm_sec = 30;
  tm.tm_isdst = -1;
  struct utimbuf ut;
  ut.actime = ut.modtime = std::mktime(&tm);
  ASSERT_EQ(::utime(P("src").c_str(), &ut), 0);
  a_datetime_rec dt{};
  ASSERT_TRUE(File_GetDate(Spec("src"), dt));
  EXPECT_EQ(dt.year, 2007);
  EXPECT_EQ(dt.month, 3);
  EXPECT_EQ(dt.day, 7);
  EXPECT_EQ(dt.hour, 13);
  EXPECT_EQ(dt.minute, 45);
  EXPECT_EQ(dt.second, 30);
  EXPECT_EQ(dt.dayOfWeek, 3);  // Sunday = 0
  EXPECT_FALSE(File_GetDate(Spec("missing"), dt));

  ASSERT_EQ(::chmod(P("src").c_str(), 0444), 0);
  EXPECT_TRUE(File_SetFlags(Spec("src"), 0));
  struct stat st;
  ASSERT_EQ(::stat(P("src").c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IWUSR);
  EXPECT_FALSE(File_SetFlags(Spec("src"), kIsInvisible));  // no hidden attribute here
  EXPECT_FALSE(File_SetFlags(Spec("missing"), 0));
}

std::vector<std::string> g_seen;
void Collect(const FSSpec& path) { g_seen.push_back(path.name); }

TEST_F(SysIOTest, EnumeratesFolderByType) {
  for (const char* n : {"b.JPEG", "a.jpg", "c.txt"}) Write_Text(P(n), "");
  ASSERT_EQ(::mkdir(P("d.jpg").c_str(), 0777), 0);
  g_seen.clear();
  Enumerate_Local_Files(Collect, Spec(""), FourCC("JPEG"), FourCC("????"));
  // Spec("") ends in "/": the join must not double it.
  const std::vector<std::string> jpegs = {P("a.jpg"), P("b.JPEG"), P("d.jpg")};
  EXPECT_EQ(g_seen, jpegs);

  FSSpec folder;
  ASSERT_TRUE(Path_From_Text(folder, dir.c_str()));
  g_seen.clear();
  Enumerate_Local_Files(Collect, folder, FourCC("????"), 0);
  const std::vector<std::string> all = {P("a.jpg"), P("b.JPEG"), P("c.txt"), P("d.jpg")};
  EXPECT_EQ(g_seen, all);

  g_seen.clear();
  Enumerate_Local_Files(Collect, Spec("missing"), FourCC("????"), 0);
  EXPECT_TRUE(g_seen.empty());
}

TEST_F(SysIOTest, ResourceForksAreAnInternalError) {
  EXPECT_THROW(File_OpenRF(Spec("f"), GENERIC_READ), QuitCalled);
}

TEST_F(SysIOTest, BootDirectoryIsTheDocumentsFolder) {
  EnvGuard home("HOME", dir.c_str());
  EnvGuard conf("XDG_CONFIG_HOME", (dir + "/conf").c_str());
  SysIO_Init();
  EXPECT_STREQ(boot_directory, dir.c_str());
  Str31 small;
  std::string longer = dir + "/" + std::string(40, 'h');
  ASSERT_EQ(::mkdir(longer.c_str(), 0777), 0);
  EnvGuard home2("HOME", longer.c_str());
  Calc_Boot_Dir(small);
  EXPECT_STREQ(small, "");  // too long for the caller's string: empty, not cut
}

}  // namespace
