// Folders, path splitting and joining, and volumes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
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

FSSpec Spec(const std::string& text) {
  FSSpec s;
  EXPECT_TRUE(Path_From_Text(s, text.c_str()));
  return s;
}

CStrSpan Text(const char* s) { return CStrSpan(s, std::strlen(s) + 1); }

class SysVolTest : public TempDirTest {
 protected:
  SysVolTest() : TempDirTest("velmor-vol") {}
  void TearDown() override {
    Host_Volumes_Inject({});
    TempDirTest::TearDown();
  }
  // Drive table: C the root, D a fixed disk at dir/fixed, E a CD labelled
  // MY_DISC at dir/cd, F a USB stick at dir/usb.
  void Inject_Drives() {
    std::vector<HostVolume> m(4);
    m[0].root = "/";
    m[1].root = dir + "/fixed";
    m[1].label = "DATA";
    m[2].root = dir + "/cd";
    m[2].label = "MY_DISC";
    m[2].cdrom = m[2].removable = true;
    m[3].root = dir + "/usb";
    m[3].label = "Stick";
    m[3].removable = true;
    for (int i = 1; i < 4; i++) ::mkdir(m[size_t(i)].root.c_str(), 0777);
    Host_Volumes_Inject(m);
  }
};

TEST(SysVolPaths, ConcatStripAndExtract) {
  FSSpec out;
  struct Concat {
    const char *parent, *file, *result;
  };
  const Concat concats[] = {
      {"C:", "a.ART4", "C:/a.ART4"}, {"/home/u", "a.cd4", "/home/u/a.cd4"},
      {"", "etc", "/etc"},           {"/", "etc", "/etc"},
      {"/dir/", "x", "/dir/x"},
  };
  for (const Concat& c : concats) {
    FSSpec parent = Spec(c.parent);
    parent.vRefNum = 5;
    parent.parID = 9;
    ASSERT_TRUE(Concat_Path(parent, Text(c.file), out));
    EXPECT_STREQ(out.name, c.result);
    EXPECT_EQ(out.vRefNum, 5);  // the parent's volume and parent id travel along
    EXPECT_EQ(out.parID, 9);
  }
  // The result may be the parent itself.
  FSSpec p = Spec("/a");
  ASSERT_TRUE(Concat_Path(p, Text("b"), p));
  EXPECT_STREQ(p.name, "/a/b");

  struct Split {
    const char *path, *stripped, *fname, *suffix;
  };
  const Split splits[] = {
      {"C:\\dir\\file", "C:\\dir", "file", ""},
      {"C:\\file", "C:", "file", ""},
      {"/dir/file.cd4", "/dir", "file.cd4", ".cd4"},
      {"/file", "", "file", ""},
      {"/a.b/c", "/a.b", "c", ""},  // a dot in a folder's name is no suffix
      {"/x/name.tar.gz", "/x", "name.tar.gz", ".gz"},
      {"/x/.cd4", "/x", ".cd4", ""},
      {".cd4", "", ".cd4", ""},
      {"old\\photos/pic.JPG", "old\\photos", "pic.JPG", ".JPG"},
      {"plain", "", "plain", ""},
  };
  for (const Split& s : splits) {
    SCOPED_TRACE(s.path);
    FSSpec path = Spec(s.path);
    Str255 text;
    EXPECT_TRUE(Extract_Filename(text, path));
    EXPECT_STREQ(text, s.fname);
    EXPECT_TRUE(Extract_Suffix(text, path));
    EXPECT_STREQ(text, s.suffix);
    Strip_Filename(path);
    EXPECT_STREQ(path.name, s.stripped);
  }
  EXPECT_EQ(Find_Char_Backwards("a/b/c", '/'), 3);
  EXPECT_EQ(Find_Char_Backwards("abc", '/'), -1);
}

TEST(SysVolPaths, ReplaceSuffixFilenameAndRelative) {
  struct Case {
    const char *name, *suffix, *result;
  };
  const Case cases[] = {
      {"photo.jpeg", ".bmp", "photo.bmp"},
      {"archive.backup", ".x", "archive.backup.x"},
      {"a.b", ".c", "a.b.c"},  // shorter than four characters: not searched
      {"/d.ir/name", ".cd4", "/d.ir/name.cd4"},
      {"/x/disc.CD4", ".tif", "/x/disc.tif"},
  };
  for (const Case& c : cases) {
    Str255 ss;
    std::strcpy(ss, c.name);
    EXPECT_TRUE(Replace_Suffix(ss, Text(c.suffix)));
    EXPECT_STREQ(ss, c.result);
  }
  // A result that does not fit is refused, not cut to a wrong name.
  Str31 small;
  std::strcpy(small, "abcdefghijklmnopqrstuvwxyzA.jpg");  // 31 characters: full
  EXPECT_FALSE(Replace_Suffix(small, Text(".jpeg")));
  EXPECT_STREQ(small, "");

  FSSpec out;
  EXPECT_TRUE(Replace_Filename(out, Text("\\cover.jpg"), Spec("/music/album/track.mp3")));
  EXPECT_STREQ(out.name, "/music/album/cover.jpg");

  FSSpec doc = Spec("/home/u/discs/doc.cd4");
  EXPECT_TRUE(Relative_To_Abs_Path(out, doc, Text("..\\pics\\a.jpg")));
  EXPECT_STREQ(out.name, "/home/u/discs/pics/a.jpg");
  EXPECT_TRUE(Relative_To_Abs_Path(out, doc, Text("../b.jpg")));
  EXPECT_STREQ(out.name, "/home/u/discs/b.jpg");
  EXPECT_TRUE(Relative_To_Abs_Path(out, doc, Text("/abs/c.jpg")));
  EXPECT_STREQ(out.name, "/abs/c.jpg");
  EXPECT_TRUE(Relative_To_Abs_Path(out, doc, Text("..")));
  EXPECT_STREQ(out.name, "/home/u/discs/");

  EXPECT_TRUE(Equal_Path(Spec("/a/b"), Spec("/a/b")));
  EXPECT_FALSE(Equal_Path(Spec("/a/b"), Spec("/a/B")));
}

TEST(SysVolPaths, LongPathsJoinOrFailWhole) {
  std::string parent = "/" + std::string(3000, 'p');
  FSSpec out;
  std::string file(1000, 'f');
  ASSERT_TRUE(Concat_Path(Spec(parent), CStrSpan(file.c_str(), file.size() + 1), out));
  EXPECT_EQ(std::strlen(out.name), 4002u);
  std::string more(93, 'g');  // 4002 + 1 + 93 = 4096: one byte too many
  EXPECT_FALSE(Concat_Path(out, CStrSpan(more.c_str(), more.size() + 1), out));
  EXPECT_STREQ(out.name, "");
  std::string fits(92, 'g');  // exactly 4095 bytes
  ASSERT_TRUE(Concat_Path(Spec(parent), CStrSpan(file.c_str(), file.size() + 1), out));
  EXPECT_TRUE(Concat_Path(out, CStrSpan(fits.c_str(), fits.size() + 1), out));
  EXPECT_EQ(std::strlen(out.name), 4095u);

  Str255 fname;
  EXPECT_FALSE(Extract_Filename(fname, Spec("/x/" + std::string(300, 'n'))));
  EXPECT_STREQ(fname, "");
  EXPECT_FALSE(Full_Path(fname, Spec(parent)));
  EXPECT_TRUE(Full_Path(fname, Spec("/short")));
  EXPECT_STREQ(fname, "/short");
}

TEST_F(SysVolTest, CreateFolderOnce) {
  FSSpec made;
  EXPECT_EQ(Create_Folder(made, Text("Labels"), Spec(dir)), noErr);
  EXPECT_EQ(std::string(made.name), dir + "/Labels");
  EXPECT_TRUE(Host_Is_Dir(made.name));
  EXPECT_EQ(Create_Folder(made, Text("Labels"), Spec(dir)), errFailed);
  EXPECT_EQ(Create_Folder(made, Text("x"), Spec(dir + "/missing")), errFailed);
}

TEST_F(SysVolTest, Folders) {
  FSSpec p;
  ASSERT_TRUE(Get_Application_Path(p));
  EXPECT_TRUE(Host_Is_File((std::string(p.name) + "/test_platform").c_str()));
  EnvGuard conf("XDG_CONFIG_HOME", dir.c_str());
  ASSERT_TRUE(Find_System_Dir(p));
  EXPECT_EQ(std::string(p.name), dir + "/velmor4");
  EnvGuard home("HOME", (dir + "/velmor4").c_str());
  EXPECT_EQ(Find_Documents_Folder(p), noErr);
  EXPECT_EQ(std::string(p.name), dir + "/velmor4");  // no user-dirs file: home
}

TEST_F(SysVolTest, DrivesAndRoots) {
  Inject_Drives();
  FSSpec p;
  ASSERT_TRUE(Find_Root_Dir(p, 2));
  EXPECT_STREQ(p.name, "");  // the root: joining gives "/name"
  ASSERT_TRUE(Find_Root_Dir(p, 3));
  EXPECT_EQ(std::string(p.name), dir + "/fixed");
  EXPECT_FALSE(Find_Root_Dir(p, 0));
  EXPECT_FALSE(Find_Root_Dir(p, 26));
  EXPECT_THROW(Find_Root_Dir(p, -1), QuitCalled);

  Str255 root;
  EXPECT_TRUE(Drive_To_Path(root, 3));
  EXPECT_STREQ(root, "/");
  EXPECT_TRUE(Drive_To_Path(root, 5));
  EXPECT_EQ(std::string(root), dir + "/cd/");
  EXPECT_FALSE(Drive_To_Path(root, 1));
  EXPECT_EQ(Find_System_Vol(), 3);
  EXPECT_EQ(Drive_To_Vol(7), 7);
  EXPECT_EQ(Vol_To_Drive(7), 7);

  Str255 label;
  EXPECT_TRUE(Vol_GetLabel(label, 5));
  EXPECT_STREQ(label, "MY_DISC");
  EXPECT_FALSE(Vol_SetLabel(Text("NEW"), 5));
  EXPECT_TRUE(Is_Diskette(6));
  EXPECT_FALSE(Is_Diskette(4));
}

TEST_F(SysVolTest, FindsRemovableVolumeByLabel) {
  Inject_Drives();
  int16 driven = 9, vol = -1;
  EXPECT_TRUE(Is_Vol_Mounted(Text("my disc"), driven, vol));
  EXPECT_EQ(vol, 4);  // an index: E
  EXPECT_EQ(driven, 0);
  EXPECT_TRUE(Is_Vol_Mounted(Text("STICK"), driven, vol));
  EXPECT_EQ(vol, 5);
  EXPECT_FALSE(Is_Vol_Mounted(Text("DATA"), driven, vol));  // fixed drives are not searched
  EXPECT_FALSE(Is_Vol_Mounted(Text("my dis"), driven, vol));
}

TEST_F(SysVolTest, FreeSpaceIsNotCutToThirtyTwoBits) {
  Inject_Drives();
  struct statvfs sv;
  ASSERT_EQ(::statvfs((dir + "/usb").c_str(), &sv), 0);
  const uint64 expect = uint64(sv.f_bavail) * uint64(sv.f_frsize);
  // Other programs write to the same disk between the readings, so a small
  // drift is allowed; a product cut to 32 bits would be far off.
  const uint64 got = Vol_SpaceAvailable64(6);
  const uint64 drift = got > expect ? got - expect : expect - got;
  EXPECT_LT(drift, uint64(256) << 20) << got << " vs " << expect;
  if (expect > (uint64(1) << 33)) {
    // With more than 8 GiB free, the 32-bit form is clamped, not wrapped.
    EXPECT_EQ(Vol_SpaceAvailable(6), 0xFFFFFFFFu);
  } else if (expect < (uint64(1) << 31)) {
    const uint32 small = Vol_SpaceAvailable(6);
    EXPECT_LT(small > expect ? small - expect : expect - small, uint64(256) << 20);
  }
  EXPECT_EQ(Vol_SpaceAvailable64(1), 0u);
  EXPECT_EQ(Vol_SpaceAvailable(27), 0u);
}

TEST_F(SysVolTest, EraseOnlyRemovableRoots) {
  Inject_Drives();
  for (const char* sub : {"/usb/", "/fixed/"}) {
    for (const char* n : {"job1.txt", "job2.prn"}) std::ofstream(dir + sub + n) << "x";
  }
  EXPECT_TRUE(Vol_Erase(5));
  std::vector<std::string> left;
  Host_List_Dir((dir + "/usb").c_str(), left);
  EXPECT_TRUE(left.empty());

  EXPECT_FALSE(Vol_Erase(3));  // a fixed drive
  Host_List_Dir((dir + "/fixed").c_str(), left);
  EXPECT_EQ(left.size(), 2u);
  EXPECT_FALSE(Vol_Erase(2));  // the root file system
  EXPECT_FALSE(Vol_Erase(-1));

  // A folder on the volume cannot be deleted as a file: reported.
  ::mkdir((dir + "/usb/sub").c_str(), 0777);
  std::ofstream(dir + "/usb/x") << "x";
  EXPECT_FALSE(Vol_Erase(5));
  EXPECT_FALSE(Host_Exists((dir + "/usb/x").c_str()));
}

// Erasing reports success only when every file of the root went: a root that
// cannot be listed, or a file whose path cannot be made, is a file left.
TEST_F(SysVolTest, EraseReportsFilesItCouldNotReach) {
  // A root whose path is so long that a long file name in it gives a path
  // beyond what a path holds; made through folder descriptors.
  std::string deep = dir + "/deep";
  ASSERT_EQ(::mkdir(deep.c_str(), 0777), 0);
  int fd = ::open(deep.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  // Folders of at most 200 characters until the root's path is 4000 long.
  while (deep.size() + 2 < 4000) {
    const std::string part(std::min<size_t>(200, 4000 - deep.size() - 1), 'd');
    ASSERT_EQ(::mkdirat(fd, part.c_str(), 0777), 0);
    const int next = ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(fd);
    ASSERT_GE(next, 0);
    fd = next;
    deep += "/" + part;
  }
  const std::string long_name(200, 'f');
  for (const std::string& n : {std::string("short.txt"), long_name}) {
    const int f = ::openat(fd, n.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(f, 0);
    ::close(f);
  }
  std::vector<HostVolume> m(3);
  m[0].root = "/";
  m[1].root = deep;
  m[1].removable = true;
  m[2].root = dir + "/unmounted";  // listed, but no longer there
  m[2].removable = true;
  Host_Volumes_Inject(m);
  const HostDriveTable drives = Host_Drive_Table();
  int16 deep_vol = -1, gone_vol = -1;
  for (int16 d = 0; d < HOST_MAX_DRIVES; ++d) {
    if (drives[size_t(d)].root == deep) deep_vol = d;
    if (drives[size_t(d)].root == m[2].root) gone_vol = d;
  }
  ASSERT_GE(deep_vol, 0);
  ASSERT_GE(gone_vol, 0);

  EXPECT_FALSE(Vol_Erase(deep_vol));
  EXPECT_EQ(::faccessat(fd, "short.txt", F_OK, 0), -1) << "what could be deleted was";
  EXPECT_EQ(::faccessat(fd, long_name.c_str(), F_OK, 0), 0);
  ASSERT_EQ(::unlinkat(fd, long_name.c_str(), 0), 0);
  ::close(fd);
  EXPECT_TRUE(Vol_Erase(deep_vol)) << "an empty root is erased";
  EXPECT_FALSE(Vol_Erase(gone_vol));
}

}  // namespace
