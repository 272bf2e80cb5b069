// Track lists read into the song table and made into text chunks, without
// a document: the tabbed test, the text encodings, field conversion, the
// tabbed and property-list readers, and the chunks the field choices make.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/HostUtf.h"
#include "platform/VoskDef.h"
#include "ui/VoskAsk.h"

namespace {

std::span<const uint8> Bytes(std::string_view s) { return {reinterpret_cast<const uint8*>(s.data()), s.size()}; }

std::string Utf8(const UniChar* s) { return Host_Utf16_To_Utf8(s, SONG_FIELD_SIZE); }
std::string Field(int32 song, int32 f) { return Utf8(g_songtable->songs[song][f]); }
std::string Chunk(int32 k) { return Host_Utf16_To_Utf8(g_chunks->chunks[k], CHUNK_SIZE); }

// s as UTF-16 with a byte-order mark, in either byte order.
std::string Encode16(std::string_view s, bool little) {
  std::string bytes;
  for (const char16_t c : u"\uFEFF" + Host_Utf8_To_Utf16(s)) {
    const char hi = char(c >> 8), lo = char(c & 0xFF);
    bytes += little ? std::string{lo, hi} : std::string{hi, lo};
  }
  return bytes;
}

class Tracks : public ::testing::Test {
 protected:
  void SetUp() override {
    gs.controller = GHOST;
    VoskAsk_Init();
  }
  void TearDown() override { Free_Import_Tables(); }
};

// Two delimiters before the first line end, and a line end of any kind
// (LF files were refused when only CR counted).
TEST_F(Tracks, TabbedTestCountsEveryKindOfLineEnd) {
  const struct {
    const char* text;
    bool tabbed;
  } cases[] = {
      {"Name\tArtist\tTime\rA\tB\t1\r", true},
      {"Name\tArtist\tTime\nA\tB\t1\n", true},
      {"Name\tArtist\tTime\r\nA\tB\t1\r\n", true},
      {"Name|Artist|Time\n", true},
      {"Name\tArtist\n", false},          // one delimiter
      {"Name\tArtist\tTime", false},      // no line end
      {"Name\nArtist\tTime\tSize\n", false},  // delimiters only after the first line
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(Is_iTunes_Tabbed(Bytes(c.text)), c.tabbed) << c.text;
}

// UTF-16 in either order and UTF-8 with a mark are UTF-8 for the readers;
// other text is UTF-8 only when valid throughout.
TEST_F(Tracks, ImportTextDecodesByteOrderMarksAndTellsUtf8FromWindows1252) {
  bool8 utf8 = false;
  for (const bool little : {true, false}) {
    EXPECT_EQ(Import_Text(Bytes(Encode16("Caf\xC3\xA9\t\xF0\x9F\x8E\xB5\n", little)), utf8),
              "Caf\xC3\xA9\t\xF0\x9F\x8E\xB5\n");
    EXPECT_TRUE(utf8);
  }
  EXPECT_EQ(Import_Text(Bytes("\xEF\xBB\xBFName\t"), utf8), "Name\t");
  EXPECT_TRUE(utf8);
  EXPECT_EQ(Import_Text(Bytes("Caf\xE9\x80"), utf8), "Caf\xE9\x80");
  EXPECT_FALSE(utf8);
}

TEST_F(Tracks, ConvertFieldByType) {
  const struct {
    const char* type;
    const char* src;
    bool utf8;
    const char* want;
  } cases[] = {
      {FIELD_SEC, "215", true, "3:35"},
      {FIELD_SEC, "9", true, "0:09"},
      {FIELD_MSEC, "215000", true, "3:35"},
      {FIELD_MSEC, "214500", true, "3:35"},
      {FIELD_MSEC, "2147483647", true, "35791:24"},  // (n + 500) without overflow
      {FIELD_KBYTE, "400", true, "1K"},
      {FIELD_KBYTE, "0", true, "1K"},
      {FIELD_KBYTE, "4123456", true, "4123K"},
      {FIELD_SEC, "4294967296", true, "4294967296"},  // past 32 bits: text
      {FIELD_SEC, "2147483648", true, "2147483648"},
      {FIELD_SEC, "3:35", true, "3:35"},
      {FIELD_SEC, "", true, ""},
      {FIELD_KBYTE, "-5", true, "-5"},
      {FIELD_STRING, "123", true, "123"},
      {FIELD_STRING, "Caf\xE9 \x80 \x93x\x94", false, "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D"},
      {FIELD_STRING, "Caf\xC3\xA9", true, "Caf\xC3\xA9"},
  };
  for (const auto& c : cases) {
    UniChar dst[SONG_FIELD_SIZE];
    Convert_Field(dst, c.type, c.src, c.utf8);
    EXPECT_EQ(Utf8(dst), c.want) << c.type << " " << c.src;
  }
}

// A field is cut to 255 units between characters: a pair that would be
// split is left out whole.
TEST_F(Tracks, ConvertFieldCutsBetweenCharacters) {
  const std::string long_text = std::string(254, 'a') + "\xF0\x9F\x8E\xB5" + "zzz";
  UniChar dst[SONG_FIELD_SIZE];
  Convert_Field(dst, FIELD_STRING, long_text, true);
  EXPECT_EQ(Utf8(dst), std::string(254, 'a'));
  const std::string latin(300, '\xE9');
  Convert_Field(dst, FIELD_STRING, latin, false);
  EXPECT_EQ(std::u16string(dst), std::u16string(255, u'\u00E9'));
}

// CR, LF and CR LF files give the same songs; a final line end adds none,
// an empty line in between adds an empty song, empty fields keep their place.
TEST_F(Tracks, TabbedReaderTakesEveryLineEnd) {
  for (const char* eol : {"\r", "\n", "\r\n"}) {
    SCOPED_TRACE(testing::Message() << "line end " << int(eol[0]) << " " << int(eol[1]));
    const std::string e = eol;
    const std::string text = "Name\tArtist\tTotal Time\tSize\tTime" + e + "One\t\t215000\t400\t75" + e + e +
                             "Two\tB\t\t\t" + e;
    ASSERT_TRUE(Parse_Tracks_Tabbed(text, true));
    const a_song_table& st = *g_songtable;
    EXPECT_EQ(st.nfields, 5);
    EXPECT_STREQ(st.fieldnames[3], "Total Time");
    EXPECT_STREQ(st.fieldtypes[3], FIELD_MSEC);
    EXPECT_STREQ(st.fieldtypes[4], FIELD_KBYTE);
    EXPECT_STREQ(st.fieldtypes[5], FIELD_SEC);
    EXPECT_STREQ(st.fieldtypes[1], FIELD_STRING);
    ASSERT_EQ(st.nsongs, 3);
    EXPECT_EQ(Field(1, 1), "One");
    EXPECT_EQ(Field(1, 2), "");
    EXPECT_EQ(Field(1, 3), "3:35");
    EXPECT_EQ(Field(1, 4), "1K");
    EXPECT_EQ(Field(1, 5), "1:15");
    for (int f = 1; f <= 5; ++f) EXPECT_EQ(Field(2, f), "") << f;
    EXPECT_EQ(Field(3, 1), "Two");
    EXPECT_EQ(Field(3, 2), "B");
    EXPECT_EQ(Field(3, 3), "");
    Free_Import_Tables();
  }
}

TEST_F(Tracks, TabbedReaderDelimitersAndLimits) {
  // More bars than tabs: split at bars.
  ASSERT_TRUE(Parse_Tracks_Tabbed("Name|Artist|Notes\tx\nA|B|C\tD\n", true));
  EXPECT_EQ(g_songtable->nfields, 3);
  EXPECT_EQ(Field(1, 3), "C\tD");
  Free_Import_Tables();

  // A single column is refused with no table left.
  EXPECT_FALSE(Parse_Tracks_Tabbed("Name\nOne\nTwo\n", true));
  EXPECT_EQ(g_songtable, nullptr);
  EXPECT_FALSE(Parse_Tracks_Tabbed("", true));
  EXPECT_FALSE(Parse_Tracks_Tabbed("Name\tArtist\r\n", true));  // names and no song
  EXPECT_EQ(g_songtable, nullptr);

  // At most 600 songs and 30 fields; the 30th field of a song is kept.
  std::string head, row;
  for (int f = 1; f <= 33; ++f) {
    head += "F" + std::to_string(f) + "\t";
    row += "v" + std::to_string(f) + "\t";
  }
  std::string text = head + "\n";
  for (int s = 0; s < 650; ++s) text += row + "\n";
  ASSERT_TRUE(Parse_Tracks_Tabbed(text, true));
  EXPECT_EQ(g_songtable->nfields, SONG_FILE_FIELDS);
  EXPECT_EQ(g_songtable->nsongs, MAX_SONGS);
  EXPECT_EQ(Field(MAX_SONGS, 30), "v30");
  EXPECT_EQ(Field(MAX_SONGS, 29), "v29");
  Free_Import_Tables();

  // Windows-1252 names and values.
  ASSERT_TRUE(Parse_Tracks_Tabbed("Name\tCaf\xE9\n\x93Hi\x94\t\x80\n", false));
  EXPECT_STREQ(g_songtable->fieldnames[2], "Caf\xC3\xA9");
  EXPECT_EQ(Field(1, 1), "\xE2\x80\x9CHi\xE2\x80\x9D");
  EXPECT_EQ(Field(1, 2), "\xE2\x82\xAC");
}

// A token is cut to 1023 bytes between UTF-8 characters, then the field to 255.
TEST_F(Tracks, TabbedTokensAreCutBetweenCharacters) {
  std::string value;
  for (int i = 0; i < 600; ++i) value += "\xC3\xA9";  // 1200 bytes
  ASSERT_TRUE(Parse_Tracks_Tabbed("Name\tX\n" + value + "\tend\n", true));
  EXPECT_EQ(std::u16string(g_songtable->songs[1][1]), std::u16string(255, u'\u00E9'));
  EXPECT_EQ(Field(1, 2), "end");
}

std::string Plist(const std::string& tracks, const std::string& items) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n<key>Tracks</key>\n<dict>\n" +
         tracks + "</dict>\n<key>Playlists</key><array><dict><key>Playlist Items</key><array>\n" + items +
         "</array></dict></array>\n</dict>\n</plist>\n";
}
std::string Track(int id, const std::string& pairs) {
  return "<key>" + std::to_string(id) + "</key><dict><key>Track ID</key><integer>" + std::to_string(id) +
         "</integer>" + pairs + "</dict>\n";
}
std::string Item(int id) { return "<dict><key>Track ID</key><integer>" + std::to_string(id) + "</integer></dict>\n"; }

// The fixture: entities decoded, empty values in their place, a track of
// "<dict/>", the play order followed with an unknown id skipped.
TEST_F(Tracks, PropertyListFixture) {
  FSSpec path{};
  ASSERT_TRUE(Path_From_Text(path, VELMOR_FIXTURES_DIR "/tracks/library.xml"));
  ASSERT_TRUE(Parse_Tracks_XML(path));
  const a_song_table& st = *g_songtable;
  EXPECT_EQ(st.nfields, 10);
  const char* names[] = {"#", "Track ID", "Name", "Artist", "Composer", "Album",
                         "Genre", "Year", "Size", "Total Time", "Comments"};
  for (int f = 0; f <= 10; ++f) EXPECT_STREQ(st.fieldnames[f], names[f]);
  EXPECT_STREQ(st.fieldtypes[9], FIELD_MSEC);
  ASSERT_EQ(st.nsongs, 4);
  EXPECT_EQ(Field(1, 1), "20");
  EXPECT_EQ(Field(1, 2), "\"Night\" Drive \xE2\x80\x94 Live");
  EXPECT_EQ(Field(1, 3), "Ana's Band");
  EXPECT_EQ(Field(1, 8), "1K");
  EXPECT_EQ(Field(1, 9), "1:02");
  EXPECT_EQ(Field(2, 2), "Salt & Pepper");
  EXPECT_EQ(Field(2, 3), "The <Quiet> Ones");
  EXPECT_EQ(Field(2, 4), "");
  EXPECT_EQ(Field(2, 5), "Caf\xC3\xA9 Songs");
  EXPECT_EQ(Field(2, 6), "");
  EXPECT_EQ(Field(2, 7), "1999");
  EXPECT_EQ(Field(2, 8), "4123K");
  EXPECT_EQ(Field(2, 9), "3:35");
  for (int f = 1; f <= 10; ++f) EXPECT_EQ(Field(3, f), "") << f;  // the empty track
  EXPECT_EQ(Field(4, 2), "Third");
  EXPECT_EQ(Field(4, 10), "bonus");
}

TEST_F(Tracks, PropertyListEdgeCases) {
  // UTF-16 in either order, read after conversion.
  const std::string xml = Plist(Track(1, "<key>Name</key><string>\xC3\x89t\xC3\xA9</string>"), Item(1));
  for (const bool little : {true, false}) {
    bool8 utf8 = false;
    const std::string text = Import_Text(Bytes(Encode16(xml, little)), utf8);
    ASSERT_TRUE(Parse_Tracks_XML_Text(text));
    EXPECT_EQ(Field(1, 2), "\xC3\x89t\xC3\xA9");
    Free_Import_Tables();
  }
  // No play order, or only unknown ids: refused with no table.
  EXPECT_FALSE(Parse_Tracks_XML_Text(Plist(Track(1, ""), "")));
  EXPECT_EQ(g_songtable, nullptr);
  EXPECT_FALSE(Parse_Tracks_XML_Text(Plist(Track(1, ""), Item(2))));
  EXPECT_FALSE(Parse_Tracks_XML_Text("<?xml version=\"1.0\"?><plist><dict><key>Tracks</key>"));
  // A key without a value does not swallow the next key; a nested value is
  // skipped; references that are not well-formed stay as written.
  ASSERT_TRUE(Parse_Tracks_XML_Text(
      Plist(Track(5, "<key>Artist</key><key>Name</key><string>A &amp;&amp B &#xZZ; &#1114112; &#0;</string>"
                     "<key>Extra</key><dict><key>Name</key><string>no</string></dict>"
                     "<key>Album</key><array><string>no</string></array><key>Genre</key><string>G</string>"),
            Item(5))));
  EXPECT_EQ(Field(1, 2), "A &&amp B &#xZZ; &#1114112; \xEF\xBF\xBD");
  EXPECT_EQ(Field(1, 3), "");
  EXPECT_EQ(Field(1, 5), "");
  EXPECT_EQ(Field(1, 6), "G");
  Free_Import_Tables();
  // Over 600 entries in the play order: the first 600; tracks by id in any number.
  std::string tracks, items;
  for (int id = 1; id <= 2000; ++id)
    tracks += Track(id * 3, "<key>Name</key><string>T" + std::to_string(id) + "</string>");
  for (int id = 2000; id >= 1; --id) items += Item(id * 3);
  ASSERT_TRUE(Parse_Tracks_XML_Text(Plist(tracks, items)));
  EXPECT_EQ(g_songtable->nsongs, MAX_SONGS);
  EXPECT_EQ(Field(1, 2), "T2000");
  EXPECT_EQ(Field(MAX_SONGS, 2), "T1401");
}

TEST_F(Tracks, TrackNumberFormats) {
  const char* want[] = {"7)", "7)", "7]", "(7)", "[7]", "7:", "7.", "7", "7)"};
  for (int16 fmt = 0; fmt <= 8; ++fmt) EXPECT_EQ(Format_Track_Number(7, fmt), want[fmt]) << fmt;
}

// A small table of three songs of Name, Artist, Total Time.
void Three_Songs() {
  ASSERT_TRUE(Parse_Tracks_Tabbed("Name\tArtist\tTotal Time\nOne\tAl\t61000\nTwo\tBo\t\nThree\tCy\t1000\n", true));
}

TEST_F(Tracks, DefaultFieldsAndColumns) {
  Three_Songs();
  uint32 f = 0, c = 0;
  Default_Song_Fields(f, c);
  EXPECT_EQ(f, 0b1111u);
  EXPECT_EQ(c, 0b1011u);
  Free_Import_Tables();
  ASSERT_TRUE(Parse_Tracks_Tabbed("Title\tWho\tWhen\nA\tB\tC\n", true));
  Default_Song_Fields(f, c);
  EXPECT_EQ(f, 0b111u);
  EXPECT_EQ(c, 1u);
}

// The first included field and each column field open a chunk; others
// follow with " / ", or two blanks after the number, which is shown only
// when field 0 is included, in the chosen format.
TEST_F(Tracks, ChunksFollowTheChoices) {
  Three_Songs();
  g_songfields_f = 0b1111;
  g_songfields_c = 0b1001;  // Total Time starts a column
  g_tracknum_fmt = 3;
  SongTable_To_Chunks();
  ASSERT_EQ(g_chunks->nchunks, 2);
  EXPECT_EQ(Chunk(1), "(1)  One / Al\r(2)  Two / Bo\r(3)  Three / Cy");
  EXPECT_EQ(Chunk(2), "1:01\r\r0:01");
  EXPECT_EQ(g_chunks->nlines, 3);
  EXPECT_EQ(g_chunks->nsongs_kept, 3);

  g_songfields_f = 0b0110;
  g_songfields_c = 0xFFFFFFFFu;
  SongTable_To_Chunks();
  ASSERT_EQ(g_chunks->nchunks, 2);
  EXPECT_EQ(Chunk(1), "One\rTwo\rThree");
  EXPECT_EQ(Chunk(2), "Al\rBo\rCy");
  EXPECT_EQ(Chunk(3), "");

  // Fields beyond the table (a choice kept from a wider import) are not visited.
  g_songfields_f = 0b10 | (1u << 12);
  SongTable_To_Chunks();
  ASSERT_EQ(g_chunks->nchunks, 1);
  EXPECT_EQ(Chunk(1), "One\rTwo\rThree");
}

// 600 long songs overflow a chunk: every column goes on in further chunks,
// no chunk passes 3999 units and no line is split; with all 31 chunks used
// the songs that do not fit are left out and counted.
TEST_F(Tracks, FullColumnsContinueInFurtherChunks) {
  std::string text = "Name\tArtist\n";
  for (int s = 1; s <= 600; ++s)
    text += "Song " + std::to_string(s) + std::string(60, 'n') + "\t" + std::string(10, 'a') + "\n";
  ASSERT_TRUE(Parse_Tracks_Tabbed(text, true));
  g_songfields_f = 0b110;
  g_songfields_c = 0xFFFFFFFFu;
  SongTable_To_Chunks();
  EXPECT_EQ(g_chunks->nsongs_kept, 600);
  ASSERT_GT(g_chunks->nchunks, 2);
  EXPECT_EQ(g_chunks->nchunks % 2, 0);
  int32 lines = 0;
  for (int32 k = 1; k <= g_chunks->nchunks; ++k) {
    const std::u16string chunk(g_chunks->chunks[k]);
    EXPECT_LE(chunk.size(), 3999u);
    EXPECT_NE(chunk.front(), u'\r');
    if (k % 2 == 1) lines += int32(std::count(chunk.begin(), chunk.end(), u'\r')) + 1;
  }
  EXPECT_EQ(lines, 600);
  // The second block starts with the song after the first block's last.
  const std::string first = Chunk(1);
  const int32 in_first = int32(std::count(first.begin(), first.end(), '\r')) + 1;
  const std::string want = "Song " + std::to_string(in_first + 1) + "n";
  EXPECT_EQ(Chunk(3).substr(0, want.size()), want);
  EXPECT_EQ(Chunk(4).substr(0, 11), std::string(10, 'a') + "\r");

  // Fourteen full fields a song: 31 chunks run out.
  Free_Import_Tables();
  std::string head, row;
  for (int f = 1; f <= 14; ++f) {
    head += "F" + std::to_string(f) + "\t";
    row += std::string(255, char('a' + f)) + "\t";
  }
  text = head + "\n";
  for (int s = 0; s < 600; ++s) text += row + "\n";
  ASSERT_TRUE(Parse_Tracks_Tabbed(text, true));
  g_songfields_f = 0x7FFF;
  g_songfields_c = 1;
  SongTable_To_Chunks();
  EXPECT_EQ(g_chunks->nchunks, MAX_CHUNKS);
  EXPECT_EQ(g_chunks->nsongs_kept, 31);
  for (int32 k = 1; k <= MAX_CHUNKS; ++k) EXPECT_LE(std::u16string(g_chunks->chunks[k]).size(), 3999u);
}

TEST_F(Tracks, ID3v1Tags) {
  std::string tag(128, '\0');
  tag.replace(0, 3, "TAG");
  tag.replace(3, 5, "Ti\xE9tl");
  tag.replace(33, 30, std::string(30, 'A'));  // fills its field: no NUL
  tag.replace(63, 5, "Album");
  tag.replace(93, 4, "2001");
  tag.replace(97, 3, "c\0m", 3);
  a_id3v1_tag got;
  ASSERT_TRUE(Read_ID3v1(Bytes(tag), got));
  EXPECT_EQ(got.title, "Ti\xC3\xA9tl");
  EXPECT_EQ(got.artist, std::string(30, 'A'));
  EXPECT_EQ(got.album, "Album");
  EXPECT_EQ(got.year, "2001");
  EXPECT_EQ(got.comment, "c");
  tag[0] = 'X';
  EXPECT_FALSE(Read_ID3v1(Bytes(tag), got));
  EXPECT_FALSE(Read_ID3v1(Bytes("TAG"), got));
}

}  // namespace
