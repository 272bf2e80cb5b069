// Host file layer: sharing locks, temporary files, atomic replacement,
// folders and the drive table.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TempDirSupport.h"
#include "TestSupport.h"
#include "host/HostFiles.h"
#include "host/HostFolders.h"
#include "host/HostVolumes.h"

using namespace testdir;

namespace {

class HostFilesTest : public TempDirTest {
 protected:
  HostFilesTest() : TempDirTest("velmor-hf") {}
  void TearDown() override {
    Host_Fail_Reads_After(-1);
    Host_Fail_Writes_After(-1);
    Host_Volumes_Inject({});
    Host_Volumes_Set_Sources(nullptr, nullptr);
    TempDirTest::TearDown();
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    Host_List_Dir(dir.c_str(), names);
    return names;
  }
};

TEST_F(HostFilesTest, SharingFollowsAccess) {
  struct Case {
    uint32 first, second;
    bool second_opens;
  };
  const Case cases[] = {
      {HOST_READ, HOST_READ, true},
      {HOST_READ, HOST_WRITE, false},
      {HOST_READ, HOST_READ | HOST_WRITE, false},
      {HOST_WRITE, HOST_READ, false},
      {HOST_READ | HOST_WRITE, HOST_READ, false},
      {HOST_WRITE, HOST_WRITE, false},
  };
  Write_Text(P("f"), "data");
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.first << " then " << c.second);
    int a = Host_Open(P("f").c_str(), c.first, HOST_OPEN_EXISTING);
    ASSERT_NE(a, HOST_NO_FD);
    int b = Host_Open(P("f").c_str(), c.second, HOST_OPEN_EXISTING);
    EXPECT_EQ(b != HOST_NO_FD, c.second_opens);
    Host_Close(b);
    Host_Close(a);
    // Once the first is closed the second always gets in.
    b = Host_Open(P("f").c_str(), c.second, HOST_OPEN_EXISTING);
    EXPECT_NE(b, HOST_NO_FD);
    Host_Close(b);
  }
}

TEST_F(HostFilesTest, RefusedCreateLeavesFileAlone) {
  Write_Text(P("f"), "keep me");
  int reader = Host_Open(P("f").c_str(), HOST_READ, HOST_OPEN_EXISTING);
  ASSERT_NE(reader, HOST_NO_FD);
  EXPECT_EQ(Host_Open(P("f").c_str(), HOST_WRITE, HOST_CREATE_ALWAYS), HOST_NO_FD);
  EXPECT_EQ(Read_Text(P("f")), "keep me");
  Host_Close(reader);

  EXPECT_EQ(Host_Open(P("f").c_str(), HOST_WRITE, HOST_CREATE_NEW), HOST_NO_FD);
  EXPECT_EQ(Read_Text(P("f")), "keep me");
  int w = Host_Open(P("f").c_str(), HOST_WRITE, HOST_CREATE_ALWAYS);
  ASSERT_NE(w, HOST_NO_FD);
  EXPECT_EQ(Host_Size(w), 0);
  Host_Close(w);
}

TEST_F(HostFilesTest, OpenRefusesFoldersAndMissingFiles) {
  EXPECT_EQ(Host_Open(dir.c_str(), HOST_READ, HOST_OPEN_EXISTING), HOST_NO_FD);
  EXPECT_EQ(Host_Open(P("missing").c_str(), HOST_READ, HOST_OPEN_EXISTING), HOST_NO_FD);
  EXPECT_EQ(Host_Open("", HOST_READ, HOST_OPEN_EXISTING), HOST_NO_FD);
  EXPECT_FALSE(Host_Delete(dir.c_str()));  // folders are not deleted as files
  EXPECT_TRUE(Host_Is_Dir(dir.c_str()));
}

TEST_F(HostFilesTest, ReadReportsShortCountAndInjectedErrors) {
  Write_Text(P("f"), "0123456789");
  int fd = Host_Open(P("f").c_str(), HOST_READ, HOST_OPEN_EXISTING);
  ASSERT_NE(fd, HOST_NO_FD);
  char buf[32];
  EXPECT_EQ(Host_Seek(fd, 6), 6);
  EXPECT_EQ(Host_Read(fd, buf, sizeof buf), 4);
  EXPECT_EQ(std::string(buf, 4), "6789");
  EXPECT_EQ(Host_Read(fd, buf, sizeof buf), 0);
  EXPECT_EQ(Host_Size(fd), 10);
  EXPECT_EQ(Host_Tell(fd), 10);

  Host_Seek(fd, 0);
  Host_Fail_Reads_After(3);
  EXPECT_EQ(Host_Read(fd, buf, sizeof buf), -1);
  Host_Fail_Reads_After(-1);
  Host_Close(fd);
}

TEST_F(HostFilesTest, TempFilesAreNewPrivateAndLocked) {
  std::string a, b;
  int fa = Host_Temp_File(dir.c_str(), "TMP", a);
  int fb = Host_Temp_File(dir.c_str(), "TMP", b);
  ASSERT_NE(fa, HOST_NO_FD);
  ASSERT_NE(fb, HOST_NO_FD);
  EXPECT_NE(a, b);
  EXPECT_EQ(a.rfind(dir + "/TMP", 0), 0u);
  struct stat st;
  ASSERT_EQ(::stat(a.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(st.st_size, 0);
  EXPECT_EQ(Host_Open(a.c_str(), HOST_READ, HOST_OPEN_EXISTING), HOST_NO_FD);
  Host_Close(fa);
  Host_Close(fb);
  EXPECT_EQ(Host_Temp_File((dir + "/missing").c_str(), "TMP", a), HOST_NO_FD);
  EXPECT_TRUE(a.empty());
}

TEST_F(HostFilesTest, ReplaceSwapsContentsAndKeepsPermissions) {
  Write_Text(P("doc"), "old contents");
  ASSERT_EQ(::chmod(P("doc").c_str(), 0640), 0);
  ASSERT_TRUE(Host_Replace_File(P("doc").c_str(), "new", 3));
  EXPECT_EQ(Read_Text(P("doc")), "new");
  struct stat st;
  ASSERT_EQ(::stat(P("doc").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(Entries().size(), 1u);  // no temporary file left beside it

  // A new file gets the default permissions, not the temporary file's 0600.
  ASSERT_TRUE(Host_Replace_File(P("fresh").c_str(), "x", 1));
  mode_t mask = ::umask(0);
  ::umask(mask);
  ASSERT_EQ(::stat(P("fresh").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
}

TEST_F(HostFilesTest, FailedWriteLeavesOldFileIntact) {
  Write_Text(P("doc"), "precious");
  for (int64 after : {0, 5, 100}) {
    SCOPED_TRACE(after);
    HostReplace r;
    ASSERT_TRUE(Host_Replace_Begin(r, P("doc").c_str()));
    Host_Fail_Writes_After(after);
    std::string big(200, 'z');
    Host_Replace_Write(r, big.data(), big.size());
    EXPECT_TRUE(r.failed);
    EXPECT_FALSE(Host_Replace_Write(r, "more", 4));  // stays failed
    Host_Fail_Writes_After(-1);
    EXPECT_FALSE(Host_Replace_Commit(r));
    EXPECT_EQ(Read_Text(P("doc")), "precious");
    EXPECT_EQ(Entries().size(), 1u);
  }
  HostReplace r;
  ASSERT_TRUE(Host_Replace_Begin(r, P("doc").c_str()));
  Host_Replace_Write(r, "abc", 3);
  Host_Replace_Abort(r);
  EXPECT_EQ(Read_Text(P("doc")), "precious");
  EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(HostFilesTest, ReplaceRespectsWritersAndFollowsLinks) {
  Write_Text(P("doc"), "v1");
  int w = Host_Open(P("doc").c_str(), HOST_WRITE, HOST_OPEN_EXISTING);
  ASSERT_NE(w, HOST_NO_FD);
  HostReplace r;
  EXPECT_FALSE(Host_Replace_Begin(r, P("doc").c_str()));
  Host_Close(w);
  int rd = Host_Open(P("doc").c_str(), HOST_READ, HOST_OPEN_EXISTING);  // readers do not block
  EXPECT_TRUE(Host_Replace_File(P("doc").c_str(), "v2", 2));
  Host_Close(rd);

  ASSERT_EQ(::symlink(P("doc").c_str(), P("link").c_str()), 0);
  ASSERT_TRUE(Host_Replace_File(P("link").c_str(), "v3", 2));
  struct stat st;
  ASSERT_EQ(::lstat(P("link").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Read_Text(P("doc")), "v3");
}

// Only a regular file is ever replaced: through links (kept as links), but
// never a FIFO, a device or a folder, wherever the links end.
TEST_F(HostFilesTest, ReplaceWritesOnlyRegularFiles) {
  ASSERT_EQ(::mkfifo(P("fifo").c_str(), 0600), 0);
  ASSERT_TRUE(Host_Make_Dir(P("folder").c_str()));
  ASSERT_EQ(::symlink(P("fifo").c_str(), P("to-fifo").c_str()), 0);
  // A device of our own (the null device's numbers), never one of the
  // system's: a fault here must not cost the machine its /dev/null. Only
  // root may make one; others test the FIFOs and folders.
  const bool have_device = ::mknod(P("device").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
  if (!have_device) {
    ASSERT_EQ(::mkfifo(P("device").c_str(), 0600), 0);
  }
  ASSERT_EQ(::symlink("device", P("to-device").c_str()), 0);
  ASSERT_EQ(::symlink("folder", P("to-folder").c_str()), 0);
  ASSERT_EQ(::symlink("to-fifo", P("to-link-to-fifo").c_str()), 0);
  ASSERT_EQ(::symlink("loop-b", P("loop-a").c_str()), 0);
  ASSERT_EQ(::symlink("loop-a", P("loop-b").c_str()), 0);
  struct Case {
    const char* name;
    mode_t type;  // what lstat must still find there
  };
  const Case refused[] = {{"fifo", S_IFIFO},      {"folder", S_IFDIR},  {"to-fifo", S_IFLNK},
                          {"to-device", S_IFLNK}, {"to-folder", S_IFLNK}, {"to-link-to-fifo", S_IFLNK},
                          {"loop-a", S_IFLNK}};
  const size_t entries = Entries().size();
  for (const Case& c : refused) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(Host_Replace_File(P(c.name).c_str(), "settings", 8));
    struct stat st;
    ASSERT_EQ(::lstat(P(c.name).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & S_IFMT, c.type);
    EXPECT_EQ(Entries().size(), entries) << "a temporary file was left";
  }
  struct stat st;
  ASSERT_EQ(::stat(P("fifo").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(::stat(P("device").c_str(), &st), 0);
  EXPECT_TRUE(have_device ? S_ISCHR(st.st_mode) : S_ISFIFO(st.st_mode));

  // A chain of links to a regular file replaces the file and keeps the links;
  // a link to a file not there yet makes the file where it points.
  Write_Text(P("real"), "v1");
  ASSERT_EQ(::symlink("real", P("l1").c_str()), 0);
  ASSERT_EQ(::symlink(P("l1").c_str(), P("l2").c_str()), 0);
  ASSERT_EQ(::symlink("folder/later", P("dangling").c_str()), 0);
  EXPECT_TRUE(Host_Replace_File(P("l2").c_str(), "v2", 2));
  EXPECT_EQ(Read_Text(P("real")), "v2");
  EXPECT_TRUE(Host_Replace_File(P("dangling").c_str(), "v3", 2));
  EXPECT_EQ(Read_Text(P("folder/later")), "v3");
  for (const char* l : {"l1", "l2", "dangling"}) {
    ASSERT_EQ(::lstat(P(l).c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << l;
  }
  HostReplace r;
  ASSERT_TRUE(Host_Replace_Begin(r, P("l2").c_str()));
  char* real = ::realpath(P("real").c_str(), nullptr);
  ASSERT_NE(real, nullptr);
  EXPECT_EQ(r.target, real) << "the file named without links";
  std::free(real);
}

// A write beyond the file-size limit fails with EFBIG like any failed write:
// the program is not ended by SIGXFSZ, the old file stays and no temporary
// file is left.
TEST_F(HostFilesTest, FileSizeLimitFailsTheSaveAndLeavesNoTemporaryFile) {
  Write_Text(P("doc"), "precious");
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    struct rlimit lim{4096, 4096};
    if (::setrlimit(RLIMIT_FSIZE, &lim) != 0) ::_exit(3);
    const std::string big(1 << 16, 'z');
    ::_exit(Host_Replace_File(P("doc").c_str(), big.data(), big.size()) ? 1 : 0);
  }
  int st = 0;
  ASSERT_EQ(::waitpid(pid, &st, 0), pid);
  ASSERT_FALSE(WIFSIGNALED(st)) << "ended by signal " << WTERMSIG(st);
  ASSERT_TRUE(WIFEXITED(st));
  EXPECT_EQ(WEXITSTATUS(st), 0) << "1: the save was reported as done";
  EXPECT_EQ(Read_Text(P("doc")), "precious");
  EXPECT_EQ(Entries(), std::vector<std::string>{"doc"});
}

// A replacement dropped without Commit or Abort removes its temporary file.
TEST_F(HostFilesTest, AnUnfinishedReplacementLeavesNothing) {
  Write_Text(P("doc"), "old");
  {
    HostReplace r;
    ASSERT_TRUE(Host_Replace_Begin(r, P("doc").c_str()));
    Host_Replace_Write(r, "half", 4);
    HostReplace moved = std::move(r);  // the temporary file goes with the record
    EXPECT_EQ(r.fd, HOST_NO_FD);
    EXPECT_EQ(Entries().size(), 2u);
  }
  EXPECT_EQ(Entries(), std::vector<std::string>{"doc"});
  EXPECT_EQ(Read_Text(P("doc")), "old");
}

// A name of the program's own choosing never replaces a file: the first free
// "<stem> (n)<suffix>", also when the name is taken while the file is made.
TEST_F(HostFilesTest, NewFilesTakeAFreeName) {
  EXPECT_EQ(Host_Free_Name(P("Label.pdf")), P("Label.pdf"));
  Write_Text(P("Label.pdf"), "first");
  EXPECT_EQ(Host_Free_Name(P("Label.pdf")), P("Label (2).pdf"));
  Write_Text(P("Label (2).pdf"), "second");
  EXPECT_EQ(Host_Free_Name(P("Label.pdf")), P("Label (3).pdf"));
  EXPECT_EQ(Host_Free_Name(P("Label (2).pdf")), P("Label (3).pdf"));
  ASSERT_TRUE(Host_Make_Dir(P("a.b").c_str()));
  Write_Text(P("a.b/notes"), "x");
  EXPECT_EQ(Host_Free_Name(P("a.b/notes")), P("a.b/notes (2)")) << "a dot in a folder is no suffix";

  HostReplace r;
  ASSERT_TRUE(Host_Replace_Begin(r, P("Job.pdf").c_str()));
  Host_Replace_Write(r, "pages", 5);
  Write_Text(P("Job.pdf"), "made meanwhile");
  ASSERT_TRUE(Host_Replace_Commit_New(r));
  EXPECT_EQ(r.target, P("Job (2).pdf"));
  EXPECT_EQ(Read_Text(P("Job.pdf")), "made meanwhile");
  EXPECT_EQ(Read_Text(P("Job (2).pdf")), "pages");
  EXPECT_EQ(Read_Text(P("Label.pdf")), "first");
}

TEST_F(HostFilesTest, CopyReplacesDestination) {
  std::string data(100000, 'q');
  data[77777] = 'Z';
  Write_Text(P("src"), data);
  Write_Text(P("dst"), "old");
  ASSERT_TRUE(Host_Copy_File(P("src").c_str(), P("dst").c_str()));
  EXPECT_EQ(Read_Text(P("dst")), data);
  EXPECT_FALSE(Host_Copy_File(P("missing").c_str(), P("dst").c_str()));
  EXPECT_EQ(Read_Text(P("dst")), data);
  Host_Fail_Reads_After(10);
  EXPECT_FALSE(Host_Copy_File(P("src").c_str(), P("dst2").c_str()));
  Host_Fail_Reads_After(-1);
  EXPECT_FALSE(Host_Exists(P("dst2").c_str()));
}

TEST_F(HostFilesTest, AppDataFolderFollowsXdgConfigHome) {
  std::string out;
  {
    EnvGuard g("XDG_CONFIG_HOME", (dir + "/conf").c_str());
    ASSERT_TRUE(Host_AppData_Dir(out));
    EXPECT_EQ(out, dir + "/conf/velmor4");
    EXPECT_TRUE(Host_Is_Dir(out.c_str()));
  }
  {
    // A relative XDG_CONFIG_HOME is ignored, as the convention says.
    EnvGuard g1("XDG_CONFIG_HOME", "relative/conf");
    EnvGuard g2("HOME", (dir + "/home").c_str());
    ASSERT_TRUE(Host_AppData_Dir(out));
    EXPECT_EQ(out, dir + "/home/.config/velmor4");
    EXPECT_TRUE(Host_Is_Dir(out.c_str()));
  }
}

TEST_F(HostFilesTest, DocumentsFolderFromUserDirs) {
  EnvGuard g1("XDG_CONFIG_HOME", (dir + "/conf").c_str());
  EnvGuard g2("HOME", (dir + "/home").c_str());
  ASSERT_TRUE(Host_Make_Dirs((dir + "/conf").c_str()));
  ASSERT_TRUE(Host_Make_Dirs((dir + "/home/My Papers").c_str()));
  std::string out;
  ASSERT_TRUE(Host_Documents_Dir(out));
  EXPECT_EQ(out, dir + "/home");  // no user-dirs file: home

  Write_Text(dir + "/conf/user-dirs.dirs",
             "# written by a tool\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
             "XDG_DOCUMENTS_DIR=\"$HOME/My Papers\"\n");
  ASSERT_TRUE(Host_Documents_Dir(out));
  EXPECT_EQ(out, dir + "/home/My Papers");

  Write_Text(dir + "/conf/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Gone\"\n");
  ASSERT_TRUE(Host_Documents_Dir(out));
  EXPECT_EQ(out, dir + "/home");  // a folder that is not there: home
}

TEST_F(HostFilesTest, ProgramFolderHoldsTheProgram) {
  std::string out;
  ASSERT_TRUE(Host_Program_Dir(out));
  EXPECT_TRUE(Host_Is_File((out + "/test_host").c_str())) << out;
}

TEST_F(HostFilesTest, DriveTableFromMountFile) {
  ASSERT_TRUE(Host_Make_Dirs(P("by-label").c_str()));
  ASSERT_EQ(::symlink("/dev/velmortest1", P("by-label/Backup\\x20Disk").c_str()), 0);
  Write_Text(P("mounts"),
             "overlay / overlay rw 0 0\n"
             "proc /proc proc rw 0 0\n"
             "/dev/velmortest1 /srv/backup ext4 rw 0 0\n"
             "tmpfs /tmp tmpfs rw 0 0\n"
             "/dev/velmortestsr0 /mnt/cd iso9660 ro 0 0\n"
             "/dev/velmortest2 /run/media/u/USB\\040STICK vfat rw 0 0\n"
             "server:/x /net nfs rw 0 0\n"
             "garbage\n");
  Host_Volumes_Set_Sources(P("mounts").c_str(), P("by-label").c_str());
  HostDriveTable t = Host_Drive_Table();
  EXPECT_TRUE(t[0].root.empty());
  EXPECT_TRUE(t[1].root.empty());
  EXPECT_EQ(t[2].root, "/");
  EXPECT_EQ(t[3].root, "/srv/backup");
  EXPECT_EQ(t[3].label, "Backup Disk");
  EXPECT_FALSE(t[3].removable);
  EXPECT_EQ(t[4].root, "/mnt/cd");
  EXPECT_TRUE(t[4].cdrom);
  EXPECT_TRUE(t[4].removable);
  EXPECT_EQ(t[5].root, "/run/media/u/USB STICK");
  EXPECT_TRUE(t[5].removable);
  EXPECT_EQ(t[5].label, "USB STICK");  // from the mount point
  EXPECT_TRUE(t[6].root.empty());

  EXPECT_EQ(Host_Drive_Of_Path("/srv/backup/a/b"), 3);
  EXPECT_EQ(Host_Drive_Of_Path("/srv/backupx"), 2);
  EXPECT_EQ(Host_Drive_Of_Path("relative"), -1);
}

TEST_F(HostFilesTest, DriveLayoutLimitsAndRemounts) {
  std::vector<HostVolume> mounts;
  HostVolume root;
  root.root = "/";
  mounts.push_back(root);
  for (int i = 0; i < 30; i++) {
    HostVolume v;
    v.root = "/m" + std::to_string(i);
    mounts.push_back(v);
  }
  HostVolume again;
  again.root = "/m1";
  again.label = "newer";
  mounts.push_back(again);
  HostDriveTable t = Host_Layout_Drives(mounts);
  EXPECT_EQ(t[2].root, "/");
  EXPECT_EQ(t[3].root, "/m0");
  EXPECT_EQ(t[4].root, "/m1");
  EXPECT_EQ(t[4].label, "newer");
  EXPECT_EQ(t[25].root, "/m22");  // past "Z" the rest are left out
}

TEST_F(HostFilesTest, FreeBytesInSixtyFourBits) {
  uint64 bytes = 0;
  ASSERT_TRUE(Host_Free_Bytes(dir.c_str(), bytes));
  struct statvfs sv;
  ASSERT_EQ(::statvfs(dir.c_str(), &sv), 0);
  // Other programs write to the same disk between the two readings, so only
  // a small drift is allowed; a value cut to 32 bits would be far off.
  const uint64 expected = uint64(sv.f_bavail) * uint64(sv.f_frsize);
  const uint64 drift = bytes > expected ? bytes - expected : expected - bytes;
  EXPECT_LT(drift, uint64(256) << 20) << bytes << " vs " << expected;
  EXPECT_FALSE(Host_Free_Bytes((dir + "/missing").c_str(), bytes));
}

}  // namespace
