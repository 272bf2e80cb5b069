// The preferences file: defaults, round trip, records that must be ignored,
// hostile contents, and a failed write that must not cost the old settings.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/VoskDef.h"
#include "host/HostFiles.h"
#include "platform/LangUtil.h"
#include "platform/Resources.h"
#include "platform/VoskPref.h"
#include "ui/VoskStat.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Record_Bytes(const a_pref_rec& rec) {
  const auto* p = reinterpret_cast<const unsigned char*>(&rec);
  return Bytes(p, p + sizeof rec);
}

class Prefs : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (std::getenv("TMPDIR") ? std::string(std::getenv("TMPDIR")) : "/tmp") +
                       "/prefs_test_XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    ASSERT_NE(mkdtemp(buf.data()), nullptr);
    dir_ = buf.data();
    const char* old = std::getenv("XDG_CONFIG_HOME");
    had_old_ = old != nullptr;
    if (had_old_) old_config_ = old;
    setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    Resources_Init();
    VoskDef_Init();
    VoskStat_Init();  // the defaults and fix-ups of the record
    saved_capability_ = app_capability;
    saved_os_language_ = os_language;
    app_capability = (1u << NLANGUAGES) - 1;  // every language available
    os_language = ENGLISH;
    ASSERT_TRUE(Prefs_File_Path(path_));
    ASSERT_EQ(path_.rfind(dir_, 0), 0u) << path_;
    Prefs_SetToDefault();
    defaults_ = gs.pref;
  }
  void TearDown() override {
    app_capability = saved_capability_;
    os_language = saved_os_language_;
    Host_Fail_Writes_After(-1);
    std::error_code ec;
    std::filesystem::permissions(std::filesystem::path(path_).parent_path(),
                                 std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
    // A file found unreadable is kept for the rest of the run: a read of the
    // now missing file ends that for the next test.
    bool8 new_pref = false;
    Prefs_Read(new_pref);
    std::filesystem::remove_all(dir_, ec);  // the read may have made the folder again
    if (had_old_)
      setenv("XDG_CONFIG_HOME", old_config_.c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
  }

  void Write_File(const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path());
    std::ofstream f(path_, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    ASSERT_TRUE(f.good());
  }
  Bytes Read_File() {
    std::ifstream f(path_, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  // A valid record that differs from the defaults in a way that shows
  // whether it was taken.
  a_pref_rec Marked_Record() {
    a_pref_rec rec = defaults_;
    rec.sound_option = false;
    rec.tot_window = Rect{10, 20, 610, 820};
    return rec;
  }
  // Reads the file and reports whether the stored record was taken.
  bool Read_Taken() {
    bool8 new_pref = false;
    EXPECT_TRUE(Prefs_Read(new_pref));
    return !new_pref;
  }

  std::string dir_, path_, old_config_;
  bool had_old_ = false;
  a_language_set saved_capability_ = 0;
  a_language saved_os_language_ = ENGLISH;
  a_pref_rec defaults_{};
};

TEST_F(Prefs, MissingFileLeavesTheDefaults) {
  std::memset(static_cast<void*>(&gs.pref), 0x55, sizeof gs.pref);
  EXPECT_FALSE(Read_Taken());
  EXPECT_EQ(Record_Bytes(gs.pref), Record_Bytes(defaults_));

  const a_pref_rec& p = gs.pref;
  EXPECT_EQ(p.version, 28);
  EXPECT_EQ(p.language_offset, 0);
  // The media table: names and adjustments per direct-print kind.
  const char16_t* names[3] = {u"Hub printable", u"Standard", u"Custom"};
  for (int k = 0; k < NDIRECT_PRINT_KINDS; ++k) {
    EXPECT_EQ(p.print_media[k].listx, 0);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(std::u16string(p.print_media[k].list[i].label), names[i]);
      EXPECT_EQ(p.print_media[k].list[i].adj[3], 5);
      EXPECT_EQ(p.print_media[k].list[i].adj[4], 3);
    }
  }
  const int16* cd = p.print_media[CD_DIRECT].list[1].adj;
  EXPECT_EQ(cd[0], 410);
  EXPECT_EQ(cd[1], 1180);
  const int16* hockey = p.print_media[HOCKEY_DIRECT].list[2].adj;
  EXPECT_EQ(hockey[0], 180);
  EXPECT_EQ(hockey[1], 790);
  EXPECT_EQ(hockey[2], 620);
  EXPECT_EQ(p.print_media[RECT_DIRECT].list[1].adj[1], 840);
  EXPECT_TRUE(p.sound_option);
  EXPECT_TRUE(p.scroll_option);
  EXPECT_TRUE(p.cutlines_option);
  EXPECT_TRUE(p.showframes_option);
  EXPECT_TRUE(p.embed_option);
  EXPECT_FALSE(p.ruler_option);
  EXPECT_EQ(p.colors[1].r, 255);
  EXPECT_EQ(p.colors[1].g, 155);
  EXPECT_EQ(p.colors[1].b, 194);
  EXPECT_EQ(p.gridlines_color.b, 220);
  EXPECT_EQ(p.cutlines_color.r, 255);
  EXPECT_EQ(p.gridlines_dash, 10);
}

TEST_F(Prefs, WrittenFileIsTheWholeRecordAndReadsBack) {
  a_pref_rec& p = gs.pref;
  p.language_offset = 2;
  p.sound_option = false;
  p.tot_window = Rect{5, 6, 700, 900};
  p.print_media[CD_DIRECT].listx = 2;
  p.print_media[CD_DIRECT].list[2].nudge = Point{-12, 34};
  std::strcpy(p.recent[0].doc_path.name, "/home/user/Disc.CD4");
  p.recent[0].doc_time = DateTimeRec{2024, 5, 6, 7, 8, 9, 2};
  p.recentlay[0].count = 3;
  p.recentlay[0].tx = 1234;
  std::strcpy(p.recentlay[0].label, "Some Label");
  gs.grid_vals[PROJ_AGE_GRID] = 2;  // stored as last_agex on the way out

  ASSERT_TRUE(Prefs_Write());
  Bytes file = Read_File();
  ASSERT_EQ(file.size(), 9400u);
  EXPECT_EQ(file[0], 28);
  EXPECT_EQ(file[1], 0);
  EXPECT_EQ(file[2], 2);      // language, little-endian
  EXPECT_EQ(file[2144], 2);   // last_agex
  EXPECT_EQ(file[2146], 5);   // tot_window.top
  EXPECT_EQ(file[2155], 0);   // sound_option
  EXPECT_EQ(file[2157], 1);   // scroll_option
  EXPECT_EQ(file[2489 + 6], '/');  // recent[0] path
  EXPECT_EQ(file[9398], 10);  // gridlines_dash

  a_pref_rec written = gs.pref;
  Prefs_SetToDefault();
  EXPECT_TRUE(Read_Taken());
  EXPECT_EQ(Record_Bytes(gs.pref), Record_Bytes(written));
  EXPECT_EQ(gs.pref.last_agex, 2);
}

TEST_F(Prefs, IncompleteOrForeignRecordsAreIgnored) {
  struct Case {
    const char* what;
    uint16 version;
    size_t size;
  };
  const Case cases[] = {
      {"version 27", 27, 9400},     {"version 29", 29, 9400},
      {"one byte short", 28, 9399}, {"version field only", 28, 2},
      {"empty file", 28, 0},
  };
  for (const Case& c : cases) {
    a_pref_rec rec = Marked_Record();
    rec.version = c.version;
    Bytes bytes = Record_Bytes(rec);
    bytes.resize(c.size);
    Write_File(bytes);
    EXPECT_FALSE(Read_Taken()) << c.what;
    EXPECT_EQ(Record_Bytes(gs.pref), Record_Bytes(defaults_)) << c.what;
  }
}

TEST_F(Prefs, LongerFileGivesItsLeadingRecord) {
  a_pref_rec rec = Marked_Record();
  Bytes bytes = Record_Bytes(rec);
  bytes.insert(bytes.end(), 500, 0xEE);
  Write_File(bytes);
  EXPECT_TRUE(Read_Taken());
  EXPECT_EQ(Record_Bytes(gs.pref), Record_Bytes(rec));
}

TEST_F(Prefs, UnterminatedStringsAreCutWithinTheirArrays) {
  a_pref_rec rec = Marked_Record();
  std::memset(rec.addon_folder, 'A', sizeof rec.addon_folder);
  std::memset(rec.base_font, 'B', sizeof rec.base_font);
  for (a_recent_doc& d : rec.recent) std::memset(d.doc_path.name, 'C', sizeof d.doc_path.name);
  rec.recentlay[4].count = 1;
  rec.recentlay[4].tx = 7;
  std::memset(rec.recentlay[4].label, 'D', sizeof rec.recentlay[4].label);
  for (a_print_media_array& m : rec.print_media)
    for (a_print_media_spec& s : m.list)
      for (UniChar& u : s.label) u = u'E';
  Write_File(Record_Bytes(rec));
  ASSERT_TRUE(Read_Taken());

  const a_pref_rec& p = gs.pref;
  EXPECT_EQ(strnlen(p.addon_folder, sizeof p.addon_folder), 63u);
  EXPECT_EQ(strnlen(p.base_font, sizeof p.base_font), 255u);
  for (const a_recent_doc& d : p.recent)
    EXPECT_EQ(strnlen(d.doc_path.name, sizeof d.doc_path.name), 255u);
  EXPECT_EQ(strnlen(p.recentlay[4].label, sizeof p.recentlay[4].label), 31u);
  EXPECT_EQ(uint32(p.recentlay[4].count), 1u);  // the entry itself is fine and stays
  for (const a_print_media_array& m : p.print_media)
    for (const a_print_media_spec& s : m.list) {
      EXPECT_EQ(std::u16string(s.label).size(), 63u);
      EXPECT_EQ(s.label[62], u'E');
    }
}

TEST_F(Prefs, OutOfRangeValuesTakeTheirDefaults) {
  struct Case {
    const char* what;
    void (*spoil)(a_pref_rec&);
    bool (*ok)(const a_pref_rec&);
  };
  const Case cases[] = {
      {"language 20", [](a_pref_rec& r) { r.language_offset = 20; },
       [](const a_pref_rec& r) { return r.language_offset == 0; }},
      {"language -1", [](a_pref_rec& r) { r.language_offset = -1; },
       [](const a_pref_rec& r) { return r.language_offset == 0; }},
      {"language with a high byte", [](a_pref_rec& r) { r.language_offset = 0x0103; },
       [](const a_pref_rec& r) { return r.language_offset == 0; }},
      {"media choice 3", [](a_pref_rec& r) { r.print_media[HOCKEY_DIRECT].listx = 3; },
       [](const a_pref_rec& r) { return r.print_media[HOCKEY_DIRECT].listx == 0; }},
      {"media choice 0xFFFF", [](a_pref_rec& r) { r.print_media[NOT_DIRECT].listx = 0xFFFF; },
       [](const a_pref_rec& r) { return r.print_media[NOT_DIRECT].listx == 0; }},
      {"project age 3", [](a_pref_rec& r) { r.last_agex = 3; },
       [](const a_pref_rec& r) { return r.last_agex == 0; }},
      {"project age -1", [](a_pref_rec& r) { r.last_agex = -1; },
       [](const a_pref_rec& r) { return r.last_agex == 0; }},
      // The stored name decides the font (here none: the interface's own).
      {"font index -5", [](a_pref_rec& r) { r.base_fontx = -5; },
       [](const a_pref_rec& r) { return r.base_fontx == int16(BASE_PROP_FONT); }},
      {"dash 0", [](a_pref_rec& r) { r.gridlines_dash = 0; },
       [](const a_pref_rec& r) { return r.gridlines_dash == 10; }},
      {"dash 11", [](a_pref_rec& r) { r.gridlines_dash = 11; },
       [](const a_pref_rec& r) { return r.gridlines_dash == 10; }},
      {"nudge beyond 800", [](a_pref_rec& r) { r.print_media[CD_DIRECT].list[0].nudge = {801, 5}; },
       [](const a_pref_rec& r) {
         return r.print_media[CD_DIRECT].list[0].nudge == Point{0, 0};
       }},
      {"layout slot without a layout",
       [](a_pref_rec& r) {
         r.recentlay[0].count = 4;
         r.recentlay[0].tx = 0;
       },
       [](const a_pref_rec& r) { return r.recentlay[0].count == 0; }},
      {"layout slot past the catalogue",
       [](a_pref_rec& r) {
         r.recentlay[1].count = 4;
         r.recentlay[1].tx = 70000;
       },
       [](const a_pref_rec& r) { return r.recentlay[1].count == 0 && r.recentlay[1].tx == 0; }},
  };
  for (const Case& c : cases) {
    a_pref_rec rec = Marked_Record();
    c.spoil(rec);
    Write_File(Record_Bytes(rec));
    EXPECT_TRUE(Read_Taken()) << c.what;  // the rest of the record is kept
    EXPECT_FALSE(gs.pref.sound_option) << c.what;
    EXPECT_TRUE(c.ok(gs.pref)) << c.what;
  }

  // In-range values pass untouched.
  a_pref_rec rec = Marked_Record();
  rec.language_offset = 19;
  rec.print_media[RECT_DIRECT].listx = 2;
  rec.print_media[RECT_DIRECT].list[2].nudge = Point{-800, 800};
  rec.last_agex = 2;
  rec.gridlines_dash = 1;
  rec.recentlay[0].count = 2;
  rec.recentlay[0].tx = 2778;
  Write_File(Record_Bytes(rec));
  ASSERT_TRUE(Read_Taken());
  EXPECT_EQ(Record_Bytes(gs.pref), Record_Bytes(rec));
}

TEST_F(Prefs, OptionBytesOtherThanZeroOrOneBecomeOne) {
  Bytes bytes = Record_Bytes(Marked_Record());
  bytes[offsetof(a_pref_rec, echo_option)] = 2;
  bytes[offsetof(a_pref_rec, ruler_option)] = 0xFF;
  bytes[offsetof(a_pref_rec, sound_option)] = 0;
  Write_File(bytes);
  ASSERT_TRUE(Read_Taken());
  Bytes got = Record_Bytes(gs.pref);
  EXPECT_EQ(got[offsetof(a_pref_rec, echo_option)], 1);
  EXPECT_EQ(got[offsetof(a_pref_rec, ruler_option)], 1);
  EXPECT_EQ(got[offsetof(a_pref_rec, sound_option)], 0);
  EXPECT_TRUE(gs.pref.echo_option);  // a valid bool to load now
}

TEST_F(Prefs, FailedWriteKeepsTheOldFile) {
  gs.pref.tot_window = Rect{1, 2, 3, 4};
  ASSERT_TRUE(Prefs_Write());
  Bytes before = Read_File();
  ASSERT_EQ(before.size(), 9400u);

  gs.pref.tot_window = Rect{9, 9, 99, 99};
  Host_Fail_Writes_After(4000);  // the disk fills up part way
  EXPECT_FALSE(Prefs_Write());
  Host_Fail_Writes_After(-1);
  EXPECT_EQ(Read_File(), before);

  // A folder the program may not write to.
  if (geteuid() != 0) {
    std::string folder = std::filesystem::path(path_).parent_path().string();
    ASSERT_EQ(chmod(folder.c_str(), 0500), 0);
    EXPECT_FALSE(Prefs_Write());
    chmod(folder.c_str(), 0700);
    EXPECT_EQ(Read_File(), before);
  }
  std::vector<std::string> names;
  ASSERT_TRUE(Host_List_Dir(std::filesystem::path(path_).parent_path().c_str(), names));
  EXPECT_EQ(names.size(), 1u) << "no temporary file is left behind";

  ASSERT_TRUE(Prefs_Write());  // and a later write still works
  EXPECT_TRUE(Read_Taken());
  EXPECT_EQ(gs.pref.tot_window, (Rect{9, 9, 99, 99}));
}

// A preferences file that is there but cannot be read holds settings we do
// not know: the defaults are used, the user is told once why, and the file is
// never written over. Tests run as root too, so unreadability is made by a
// read fault, a folder, a FIFO and a device as well as by permissions.
TEST_F(Prefs, UnreadableFileIsKeptAndTheUserToldOnce) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(path_).parent_path();
  const Bytes marked = Record_Bytes(Marked_Record());
  struct Case {
    const char* what;
    void (*make)(const std::string& path, const std::string& dir);
    bool as_root;  // the case works for root too
  };
  const Case cases[] = {
      {"a read error", [](const std::string&, const std::string&) { Host_Fail_Reads_After(0); }, true},
      {"a folder", [](const std::string& p, const std::string&) { fs::remove(p); fs::create_directory(p); }, true},
      {"a link to a FIFO",
       [](const std::string& p, const std::string& d) {
         fs::remove(p);
         ASSERT_EQ(::mkfifo((d + "/fifo").c_str(), 0600), 0);
         fs::create_symlink(d + "/fifo", p);
       },
       true},
      // A device of our own (the null device's numbers; root only), never one
      // of the system's: a fault here must not replace the machine's /dev/null.
      {"a link to a device",
       [](const std::string& p, const std::string& d) {
         fs::remove(p);
         ASSERT_EQ(::mknod((d + "/device").c_str(), S_IFCHR | 0600, makedev(1, 3)), 0);
         fs::create_symlink(d + "/device", p);
       },
       true},
      {"no permission", [](const std::string& p, const std::string&) { ASSERT_EQ(::chmod(p.c_str(), 0), 0); },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.as_root && geteuid() == 0) continue;  // root reads a file of mode 000
    if (std::strcmp(c.what, "a link to a device") == 0 && geteuid() != 0) continue;  // only root makes one
    ::unlink((dir_ + "/device").c_str());
    ::unlink((dir_ + "/fifo").c_str());
    std::error_code ec;
    fs::remove_all(folder, ec);
    Write_File(marked);
    c.make(path_, dir_);
    struct stat before{};
    ASSERT_EQ(::lstat(path_.c_str(), &before), 0);

    std::memset(static_cast<void*>(&gs.pref), 0x55, sizeof gs.pref);
    EXPECT_FALSE(Read_Taken());
    Host_Fail_Reads_After(-1);
    EXPECT_EQ(Record_Bytes(gs.pref), Record_Bytes(defaults_));
    std::string path, reason;
    ASSERT_TRUE(Prefs_Kept_Unread(path, reason));
    EXPECT_EQ(path, path_);
    EXPECT_FALSE(reason.empty());

    // Told once, with the file and the reason.
    gs.controller = HUMAN;
    testing::internal::CaptureStderr();
    Prefs_Report_Unread();
    Prefs_Report_Unread();
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string said = "alert 70: Sorry, could not read the preferences file " + path_ + " (" + reason + ").";
    EXPECT_NE(err.find(said), std::string::npos) << err;
    EXPECT_EQ(err.find("alert 70"), err.rfind("alert 70")) << err;

    // The end of the run leaves it as it was: no write, and no second message.
    gs.pref.tot_window = Rect{9, 9, 99, 99};
    EXPECT_TRUE(Prefs_Write());
    struct stat after{};
    ASSERT_EQ(::lstat(path_.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
    EXPECT_EQ(after.st_ino, before.st_ino);
    if (S_ISREG(after.st_mode)) {
      ::chmod(path_.c_str(), 0600);
      EXPECT_EQ(Read_File(), marked);
    }
    struct stat dev{};
    if (::stat((dir_ + "/device").c_str(), &dev) == 0) {
      EXPECT_TRUE(S_ISCHR(dev.st_mode));
    }
    std::vector<std::string> names;
    ASSERT_TRUE(Host_List_Dir(folder.c_str(), names));
    EXPECT_EQ(names.size(), 1u) << "no temporary file is left behind";
  }
}

// Settings kept elsewhere through a symbolic link are written through it: the
// file it points at gets the record and the link stays.
TEST_F(Prefs, ALinkedFileIsWrittenThroughTheLink) {
  namespace fs = std::filesystem;
  fs::create_directories(fs::path(path_).parent_path());
  fs::create_directories(dir_ + "/dotfiles");
  Write_File(Record_Bytes(Marked_Record()));
  fs::rename(path_, dir_ + "/dotfiles/prefs.ini");
  fs::create_symlink(dir_ + "/dotfiles/prefs.ini", path_);
  EXPECT_TRUE(Read_Taken());
  gs.pref.tot_window = Rect{7, 7, 77, 77};
  ASSERT_TRUE(Prefs_Write());
  EXPECT_TRUE(fs::is_symlink(path_));
  std::string path, reason;
  EXPECT_FALSE(Prefs_Kept_Unread(path, reason));
  Prefs_SetToDefault();
  EXPECT_TRUE(Read_Taken());
  EXPECT_EQ(gs.pref.tot_window, (Rect{7, 7, 77, 77}));
}

TEST_F(Prefs, LanguageDefaultsToTheSystemsAndMustBeAvailable) {
  os_language = GERMAN;
  Prefs_SetToDefault();
  EXPECT_EQ(gs.pref.language_offset, GERMAN);
  // No German dialog strings: the media names come from the English list.
  EXPECT_EQ(std::u16string(gs.pref.print_media[CD_DIRECT].list[1].label), u"Standard");

  app_capability = Lang_Bit(ENGLISH) | Lang_Bit(FRENCH);
  struct Case {
    int16 stored, read;
  };
  for (Case c : {Case{FRENCH, FRENCH}, Case{GERMAN, ENGLISH}, Case{KOREAN, ENGLISH}}) {
    a_pref_rec rec = Marked_Record();
    rec.language_offset = c.stored;
    Write_File(Record_Bytes(rec));
    EXPECT_TRUE(Read_Taken());
    EXPECT_EQ(gs.pref.language_offset, c.read) << c.stored;
  }
  // A missing file: the system's language when available, else English.
  std::filesystem::remove(path_);
  os_language = FRENCH;
  EXPECT_FALSE(Read_Taken());
  EXPECT_EQ(gs.pref.language_offset, FRENCH);
  os_language = GERMAN;
  EXPECT_FALSE(Read_Taken());
  EXPECT_EQ(gs.pref.language_offset, ENGLISH);
}

TEST_F(Prefs, EditedMediaNamesSurviveARenaming) {
  a_print_media_array media = gs.pref.print_media[CD_DIRECT];
  const char16_t edited[] = u"My discs";
  std::memcpy(media.list[1].label, edited, sizeof edited);
  media.list[0].label[0] = 0;  // not the old text either: stays as it is
  media.listx = 2;
  Init_Media_Names(media, 0, false);
  EXPECT_EQ(media.listx, 0);
  EXPECT_EQ(std::u16string(media.list[1].label), u"My discs");
  EXPECT_EQ(std::u16string(media.list[0].label), u"");
  EXPECT_EQ(std::u16string(media.list[2].label), u"Custom");
  Init_Media_Names(media, 0, true);
  EXPECT_EQ(std::u16string(media.list[1].label), u"Standard");
  EXPECT_EQ(std::u16string(media.list[0].label), u"Hub printable");
}

}  // namespace
