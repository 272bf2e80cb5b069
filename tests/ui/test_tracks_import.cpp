// Track lists and file names placed on the current unit: the text objects
// side by side and selected as one history step, the room check of a full
// unit, the field dialog answered by a script (its choices kept between
// imports, Cancel putting them back), and the Import menu's commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DispatchTestSupport.h"
#include "TempDirSupport.h"
#include "host/HostCodecs.h"
#include "host/HostScript.h"
#include "host/HostUtf.h"
#include "objects/VoskText.h"
#include "platform/SysDlog.h"
#include "ui/VoskAsk.h"

namespace {

class TrackImport : public dispatchtest::Dispatch {
 protected:
  void SetUp() override {
    Dispatch::SetUp();
    SysDlog_Init();  // the preview's item class
    VoskAsk_Init();
  }
  void TearDown() override {
    Free_Import_Tables();
    Host_Script_Reset();
    Dispatch::TearDown();
  }
  static std::vector<int32> Texts() {
    std::vector<int32> texts;
    for (int32 omx = ENUM_START; Enum(true, false, TEXT_KINDS, omx);) texts.push_back(omx);
    return texts;
  }
  static std::string Text_Of(int32 omx) {
    char s[MAX_NXYL * 3];
    OM_To_Str(Obj_Item(omx)->om, s, int32(sizeof s));
    return s;
  }
  static a_history_op Last_Op() { return g_hist.curr >= 0 ? g_hist.list[g_hist.curr].op : OP_NOP; }
  static std::string Fixture() { return VELMOR_FIXTURES_DIR "/tracks/library.xml"; }
  static FSSpec Path(const std::string& s) {
    FSSpec p{};
    EXPECT_TRUE(Path_From_Text(p, s.c_str()));
    return p;
  }
};

// The chunks become text objects in a row across the unit at a fifth of its
// height, selected, in the text phase, recorded as one import.
TEST_F(TrackImport, ChunksBecomeSelectedTextObjectsInARow) {
  Open();
  ASSERT_TRUE(Parse_Tracks_Tabbed("Name\tArtist\tTotal Time\nOne\tAl\t61000\nTwo\tBo\t1000\n", true));
  g_songfields_f = 0b1011;
  g_songfields_c = 0b1001;
  SongTable_To_Chunks();
  const uint32 seq = g_hist.cumseq;
  ASSERT_TRUE(Inject_Chunks());
  EXPECT_EQ(g_chunks, nullptr);
  EXPECT_EQ(gs.curr_phase, TEXT_PHASE);
  const std::vector<int32> texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(Text_Of(texts[0]), "1)  One\n2)  Two");
  EXPECT_EQ(Text_Of(texts[1]), "1:01\n0:01");
  EXPECT_EQ(Last_Op(), OP_IMPORT);
  EXPECT_EQ(g_hist.cumseq, seq + 1);
  const Rect canvas = g_doc.up->paintbounds;
  Rect a, b;
  Obj_BBox(texts[0], a);
  Obj_BBox(texts[1], b);
  EXPECT_GE(b.left - a.right, 19) << "a gap of 20 between them";
  EXPECT_NEAR(a.top - canvas.top, (canvas.bottom - canvas.top) / 5, 1);
  EXPECT_NEAR(b.top, a.top, 1);
  for (const int32 omx : texts) {
    EXPECT_TRUE(Is_Obj_Selected(omx));
    EXPECT_EQ(Obj_Item(omx)->om->size, 10);
    EXPECT_EQ(Obj_Item(omx)->om->layout, LAYOUT_HORZ);
  }
}

// Lines wider than the unit: the text size goes down so the row fits better.
TEST_F(TrackImport, WideChunksAreMadeSmaller) {
  Open();
  const std::string wide = std::string(150, 'W') + "\t" + std::string(150, 'M');
  ASSERT_TRUE(Parse_Tracks_Tabbed("Name\tArtist\n" + wide + "\n", true));
  g_songfields_f = 0b110;
  SongTable_To_Chunks();
  ASSERT_TRUE(Inject_Chunks());
  const std::vector<int32> texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  for (const int32 omx : texts) EXPECT_LT(Obj_Item(omx)->om->size, 10);
}

// A unit whose list cannot take every chunk refuses them all: sound 136,
// alert 87, nothing added and no history step.
TEST_F(TrackImport, AFullUnitIsRefusedWhole) {
  Open(TEXT_PHASE);
  const Point pt{100, 100};
  while (g_doc.up->oj.nlist < MAX_OJ - 1) {
    int32 omx = 0;
    Text_New4(omx, u"x", 1, 95, pt, pt, false);
    ASSERT_GT(omx, 0);
  }
  ASSERT_TRUE(Parse_Tracks_Tabbed("Name\tArtist\nOne\tAl\n", true));
  g_songfields_f = 0b110;
  SongTable_To_Chunks();
  ASSERT_EQ(g_chunks->nchunks, 2);
  const uint32 seq = g_hist.cumseq;
  Sounds();
  gs.controller = HUMAN;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Inject_Chunks());
  const std::string err = testing::internal::GetCapturedStderr();
  gs.controller = GHOST;
  EXPECT_NE(err.find("alert 87"), std::string::npos) << err;
  EXPECT_EQ(Sounds(), (std::vector<int16>{SND_NULL}));
  EXPECT_EQ(g_doc.up->oj.nlist, MAX_OJ - 1);
  EXPECT_EQ(g_hist.cumseq, seq);
  EXPECT_EQ(g_chunks, nullptr);

  // One chunk still fits.
  ASSERT_TRUE(Parse_Tracks_Tabbed("Name\tArtist\nOne\tAl\n", true));
  g_songfields_f = 0b110;
  g_songfields_c = 1;
  SongTable_To_Chunks();
  EXPECT_TRUE(Inject_Chunks());
  EXPECT_EQ(g_doc.up->oj.nlist, MAX_OJ);
}

// OK keeps the choices the dialog shows, so a second import offers what
// was chosen the time before; Cancel puts the choices back as they were.
TEST_F(TrackImport, FieldDialogKeepsItsChoices) {
  Open();
  ASSERT_TRUE(Parse_Tracks_Tabbed("Name\tArtist\tTotal Time\tAlbum\nOne\tAl\t61000\tX\n", true));
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  ASSERT_TRUE(Ask_FieldDialog());
  EXPECT_EQ(g_songfields_f, 0b1111u) << "the defaults";
  EXPECT_EQ(g_songfields_c, 0b1011u);
  EXPECT_EQ(g_tracknum_fmt, 1);

  // A script's press ticks a box as a click does: Artist (field 2) left
  // out, and made to start a column.
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "9");
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "23");
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  ASSERT_TRUE(Ask_FieldDialog());
  EXPECT_EQ(g_songfields_f, 0b1011u);
  EXPECT_EQ(g_songfields_c, 0b1111u);

  g_songfields_f = 0b10110;
  g_songfields_c = 0b10001;
  g_tracknum_fmt = 4;
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  ASSERT_TRUE(Ask_FieldDialog());
  EXPECT_EQ(g_songfields_f, 0b10110u);
  EXPECT_EQ(g_songfields_c, 0b10001u);
  EXPECT_EQ(g_tracknum_fmt, 4);

  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "2");
  EXPECT_FALSE(Ask_FieldDialog());
  EXPECT_EQ(g_songfields_f, 0b10110u);
  EXPECT_EQ(g_tracknum_fmt, 4);

  // Cancel on the first import leaves the defaults uncomputed.
  VoskAsk_Init();
  ASSERT_TRUE(Parse_Tracks_Tabbed("Name\tArtist\nOne\tAl\n", true));
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "2");
  EXPECT_FALSE(Ask_FieldDialog());
  EXPECT_EQ(g_songfields_f, 0u);
  EXPECT_EQ(g_songfields_c, 0xFFFFFFFFu);
}

// The Import menu: the property-list fixture through the open dialog and
// the field dialog, both answered by the script.
TEST_F(TrackImport, ImportMenuReadsAnExportFile) {
  Open();
  for (const int16 item : {IMPORT_ITUNES, IMPORT_TABTEXT, IMPORT_FILENAMES})
    EXPECT_TRUE(Command_Enabled(int16(MENU_IMPORT + item))) << item;
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, Fixture());
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  DoMenuEvent(MENU_IMPORT, IMPORT_ITUNES, false, false);
  const std::vector<int32> texts = Texts();
  // The defaults: the number, Name and Artist, Total Time, in three columns.
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(Text_Of(texts[0]), "1)\n2)\n3)\n4)");
  EXPECT_EQ(Text_Of(texts[1]),
            "\"Night\" Drive ? Live / Ana's Band\nSalt & Pepper / The <Quiet> Ones\n\nThird / Ana's Band");
  EXPECT_EQ(Text_Of(texts[2]), "1:02\n3:35\n\n");
  EXPECT_EQ(Last_Op(), OP_IMPORT);
  EXPECT_EQ(g_songtable, nullptr);
  EXPECT_EQ(g_chunks, nullptr);
}

// Export files in each encoding and line end reach the unit alike: UTF-16
// in either order (text and property list), Windows-1252, UTF-8 with a mark.
TEST_F(TrackImport, ExportFilesOfEveryEncoding) {
  Open();
  const auto utf16 = [](const std::u16string& text, bool little) {
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t c : text) {
      const char hi = char(c >> 8), lo = char(c & 0xFF);
      bytes += little ? std::string{lo, hi} : std::string{hi, lo};
    }
    return bytes;
  };
  const std::string plist =
      "<?xml version=\"1.0\"?><plist><dict><key>Tracks</key><dict><key>1</key><dict><key>Track ID</key>"
      "<integer>1</integer><key>Name</key><string>Caf\xC3\xA9</string><key>Artist</key><string>Al</string>"
      "<key>Total Time</key><integer>1000</integer></dict></dict><key>Playlist Items</key><array><dict>"
      "<key>Track ID</key><integer>1</integer></dict></array></dict></plist>";
  const struct {
    const char* what;
    std::string bytes;
  } files[] = {
      {"UTF-16, low byte first, CR LF", utf16(u"Name\tArtist\tTotal Time\r\nCaf\u00e9\tAl\t1000\r\n", true)},
      {"UTF-16, high byte first, LF", utf16(u"Name\tArtist\tTotal Time\nCaf\u00e9\tAl\t1000\n", false)},
      {"UTF-16 property list", utf16(Host_Utf8_To_Utf16(plist), false)},
      {"Windows-1252, LF", "Name\tArtist\tTotal Time\nCaf\xE9\tAl\t1000\n"},
      {"UTF-8 with a mark, CR", "\xEF\xBB\xBFName\tArtist\tTotal Time\rCaf\xC3\xA9\tAl\t1000\r"},
      {"UTF-8 property list", "\xEF\xBB\xBF" + plist},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.what);
    const std::string path = tmp_ + "/export.txt";
    testdir::Write_Text(path, f.bytes);
    VoskAsk_Init();
    Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
    const size_t before = Texts().size();
    Do_iTunes(Path(path));
    const std::vector<int32> texts = Texts();
    ASSERT_EQ(texts.size(), before + 3);
    EXPECT_EQ(Text_Of(texts[before]), "1)");
    EXPECT_EQ(Text_Of(texts[before + 1]), "Caf\xE9 / Al");
    EXPECT_EQ(Text_Of(texts[before + 2]), "0:01");
  }
}

// A file of no known kind, or a missing one: alert 10 and nothing added.
TEST_F(TrackImport, UnknownFilesAreRefused) {
  Open();
  const std::string plain = tmp_ + "/notes.txt", one_column = tmp_ + "/one.txt", empty = tmp_ + "/empty.xml";
  testdir::Write_Text(plain, "just some words\n");
  testdir::Write_Text(one_column, "Name\nOne\nTwo\n");
  testdir::Write_Text(empty, "");
  gs.controller = HUMAN;
  for (const std::string& path : {plain, one_column, empty, tmp_ + "/missing.txt"}) {
    testing::internal::CaptureStderr();
    Do_iTunes(Path(path));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("alert 10"), std::string::npos) << path << err;
  }
  gs.controller = GHOST;
  EXPECT_TRUE(Texts().empty());
}

// File names, one a line: a chunk passing 3950 units closes and the next
// text object takes the names on.
TEST_F(TrackImport, FileNamesContinueIntoFurtherObjects) {
  Open();
  std::vector<FSSpec> paths(200);
  for (int i = 0; i < 200; ++i) {
    char name[80];
    std::snprintf(name, sizeof name, "/music/album/%03d-%s.mp3", i, std::string(36, 'x').c_str());
    ASSERT_TRUE(Path_From_Text(paths[size_t(i)], name));
  }
  Action_Import_Filenames(200, paths.data());
  const std::vector<int32> texts = Texts();
  ASSERT_EQ(texts.size(), 3u);  // 200 lines of 45 units
  int32 lines = 0;
  for (const int32 omx : texts) {
    const std::string t = Text_Of(omx);
    EXPECT_LE(t.size(), 3999u);
    lines += int32(std::count(t.begin(), t.end(), '\n'));
  }
  EXPECT_EQ(lines, 200);
  EXPECT_EQ(Text_Of(texts[0]).substr(0, 45), "000-" + std::string(36, 'x') + ".mp3\n");
  EXPECT_EQ(Last_Op(), OP_IMPORT);
}

// MP3 files' tags become a track list of title, artist and album, one
// column each; files without a tag, too short or missing are passed over,
// and none with a tag gives alert 56.
TEST_F(TrackImport, Mp3TagsBecomeATrackList) {
  Open();
  const auto mp3 = [&](const std::string& name, const std::string& title, const std::string& artist) {
    std::string tag(128, '\0');
    tag.replace(0, 3, "TAG");
    tag.replace(3, title.size(), title);
    tag.replace(33, artist.size(), artist);
    tag.replace(63, 5, "Album");
    testdir::Write_Text(tmp_ + "/" + name, std::string(300, '\x55') + tag);
    return Path(tmp_ + "/" + name);
  };
  std::vector<FSSpec> paths = {mp3("a.mp3", "Caf\xE9", "Al"), Path(tmp_ + "/missing.mp3"), mp3("b.mp3", "Two", "Bo")};
  testdir::Write_Text(tmp_ + "/short.mp3", "TAG");
  testdir::Write_Text(tmp_ + "/untagged.mp3", std::string(400, 'x'));
  paths.push_back(Path(tmp_ + "/short.mp3"));
  paths.push_back(Path(tmp_ + "/untagged.mp3"));
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  Action_Import_MP3(int16(paths.size()), paths.data());
  const std::vector<int32> texts = Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(Text_Of(texts[0]), "Caf\xE9\nTwo");
  EXPECT_EQ(Text_Of(texts[1]), "Al\nBo");
  EXPECT_EQ(Text_Of(texts[2]), "Album\nAlbum");

  gs.controller = HUMAN;
  testing::internal::CaptureStderr();
  Action_Import_MP3(2, paths.data() + 3);
  const std::string err = testing::internal::GetCapturedStderr();
  gs.controller = GHOST;
  EXPECT_NE(err.find("alert 56"), std::string::npos) << err;
  EXPECT_EQ(Texts().size(), 3u);
  EXPECT_EQ(g_songtable, nullptr);
}

// A playlist written on Windows: songs in two album folders named in
// another case, the first holding its large album picture. The picture
// becomes a photo and the counts are told; a unit without room for the
// pictures refuses them with sound 136 and alert 87.
TEST_F(TrackImport, PlaylistPicturesBecomePhotos) {
  namespace fs = std::filesystem;
  const std::string music = tmp_ + "/Music";
  fs::create_directories(music + "/Artist/Album A");
  fs::create_directories(music + "/Artist/Album B");
  fs::create_directories(tmp_ + "/Lists");
  std::vector<uint8> px(16 * 16 * 4, 0x80), jpg;
  ASSERT_EQ(Host_Encode_JPEG(HostImageSource{px.data(), 16, 16, 64, 300}, 90, jpg), 0);
  const std::string picture = music + "/Artist/Album A/AlbumArt_{1}_Large.jpg";
  std::ofstream(picture, std::ios::binary)
      .write(reinterpret_cast<const char*>(jpg.data()), std::streamsize(jpg.size()));
  testdir::Write_Text(music + "/Artist/Album A/AlbumArt_{1}_Small.jpg", "not read");
  testdir::Write_Text(music + "/Artist/Album B/cover.jpg", "not large");
  const std::string list = tmp_ + "/Lists/mix.wpl";
  testdir::Write_Text(list,
                      "<?wpl version=\"1.0\"?>\r\n<smil><head><title>Mix</title></head><body><seq>\r\n"
                      "<media src=\"..\\music\\ARTIST\\album a\\01 One.mp3\" tid=\"{A}\" cid=\"{B}\"/>\r\n"
                      "<media src=\"..\\music\\ARTIST\\album a\\02 Two &amp; Three.mp3\" tid=\"{C}\" cid=\"{D}\"/>\r\n"
                      "<media src='../Music/Artist/Album B/01.mp3' cid=\"{E}\" tid=\"{F}\"/>\r\n"
                      "<mediaX src=\"no.mp3\"/></seq></body></smil>\r\n");
  a_playlist_scan scan;
  ASSERT_TRUE(Scan_Playlist(Path(list), scan));
  EXPECT_EQ(scan.songs, 3);
  EXPECT_EQ(scan.folders, 2);
  ASSERT_EQ(scan.pictures.size(), 1u);
  EXPECT_EQ(fs::path(scan.pictures[0]).filename(), "AlbumArt_{1}_Large.jpg");

  Open(PHOTO_PHASE);
  gs.controller = HUMAN;
  testing::internal::CaptureStderr();
  Do_Import_WPL(Path(list));
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("alert 47"), std::string::npos) << err;
  EXPECT_NE(err.find("3 songs in playlist"), std::string::npos) << err;
  EXPECT_NE(err.find("1 images retrieved"), std::string::npos) << err;
  EXPECT_EQ(Count(false, Kind_Bit(PHOTO_BLOCK)), 1);

  const Point pt{100, 100};
  while (g_doc.up->oj.nlist < MAX_OJ) {
    int32 omx = 0;
    Text_New4(omx, u"x", 1, 95, pt, pt, false);
    ASSERT_GT(omx, 0);
  }
  Sounds();
  testing::internal::CaptureStderr();
  Do_Import_WPL(Path(list));
  err = testing::internal::GetCapturedStderr();
  gs.controller = GHOST;
  EXPECT_NE(err.find("alert 87"), std::string::npos) << err;
  EXPECT_EQ(Sounds(), (std::vector<int16>{SND_NULL}));
  EXPECT_EQ(Count(false, Kind_Bit(PHOTO_BLOCK)), 1);
}

}  // namespace
