// Text brought onto the current unit from other files: track lists exported
// by a music library (tab- or bar-delimited text, or an XML property list),
// the names of chosen files, and the tracks of a playlist or the tags of
// MP3 files (these two have no menu command).
//
// A track list passes through one song table, the field dialog (1207) with
// its live preview, and a converter into text chunks; each chunk becomes
// one text object on the current unit, and the import is one history step.
//
// Text encodings: UTF-16 with a byte-order mark (either order) is turned
// into UTF-8 before a reader sees it; other text is UTF-8 when it is valid
// UTF-8 throughout, else Windows-1252; MP3 tags are Latin-1. Every cut
// (1023 bytes of a token, 255 units of a field, 3999 of a chunk) falls
// between characters.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SysIO.h"
#include "platform/Types.h"

constexpr int32 SONG_MAX_FIELDS = 31;     // field 0 (the track number) and up to 30 from the file
constexpr int32 SONG_FILE_FIELDS = 30;
constexpr int32 SONG_FIELD_SIZE = 256;    // 255 units (or bytes) and the end
constexpr int32 MAX_SONGS = 600;
constexpr int32 MAX_CHUNKS = 31;
constexpr int32 CHUNK_SIZE = 4000;        // 3999 units and the end
constexpr int32 SONG_TOKEN_SIZE = 1024;   // 1023 bytes and the end
constexpr int32 FIELD_DIALOG_FIELDS = 14; // rows the field dialog offers
constexpr int16 DLOG_SONG_FIELDS = 1207;

// The alerts of the track lists.
constexpr int16 ALERT_READ_FAILED = 10;     // "Sorry, could not read the file."
constexpr int16 ALERT_NO_MP3_TAGS = 56;
constexpr int16 ALERT_PLAYLIST_COUNTS = 47;
constexpr int16 ALERT_TRACKS_CUT = 86;      // ^0 of ^1 tracks imported
constexpr int16 ALERT_UNIT_FULL = 87;       // no room for ^0 more objects

// The field types.
inline constexpr char FIELD_SEC[] = "<sec>";
inline constexpr char FIELD_MSEC[] = "<msec>";
inline constexpr char FIELD_KBYTE[] = "<kbyte>";
inline constexpr char FIELD_STRING[] = "<string>";
inline constexpr char FIELD_INTEGER[] = "<integer>";
inline constexpr char FIELD_BOOLEAN[] = "<boolean>";

// One import's songs: field names and types (UTF-8), songs 1 .. nsongs
// (songs[0] unused) of fields 0 .. nfields as UTF-16 text.
struct a_song_table {
  int32 nfields;
  char fieldtypes[SONG_MAX_FIELDS][SONG_FIELD_SIZE];
  char fieldnames[SONG_MAX_FIELDS][SONG_FIELD_SIZE];
  int32 nsongs;
  UniChar songs[MAX_SONGS + 1][SONG_MAX_FIELDS][SONG_FIELD_SIZE];
};

// The text chunks made of the songs: chunks 1 .. nchunks (chunks[0]
// unused). nsongs_kept: the songs that found room (all of them unless
// every chunk filled up).
struct a_chunk_table {
  int32 nchunks;
  UniChar chunks[MAX_CHUNKS + 1][CHUNK_SIZE];
  int16 nlines;
  int32 nsongs_kept;
};

// The tables of the import running (NIL when none runs).
extern a_song_table* g_songtable;
extern a_chunk_table* g_chunks;
// The choices of the field dialog, kept from one import to the next: the
// fields to import (bit f for field f; empty: defaults are computed), the
// fields that start a column, and the track-number format (1 to 7).
extern uint32 g_songfields_f;
extern uint32 g_songfields_c;
extern int16 g_tracknum_fmt;

// Module start-up: no tables, the dialog's choices as at first.
void VoskAsk_Init();

// --- Commands -----------------------------------------------------------------------

// A track list from a text or property-list export: read, offered in the
// field dialog, placed on the current unit. Unreadable or of no known kind:
// alert 10.
void Do_iTunes(const FSSpec& path);
// Asks for the export file (the open dialog), then Do_iTunes.
void Ask_Import_Tracks();
// Asks for up to 200 files and places their names, one a line, on the
// current unit.
void Do_Import_Filenames();
void Action_Import_Filenames(int16 n, const FSSpec* paths);
// Asks for up to 200 MP3 files and offers their ID3v1 tags as a track list.
void Do_Import_MP3();
void Action_Import_MP3(int16 n, const FSSpec* paths);

// The photos of a playlist's albums: for each new folder of its songs, the
// first picture named "..._LARGE.JPG" there becomes a photo object; alert
// 47 gives the counts. Unreadable: alert 10. A unit without room for all
// the pictures: sound 136 and alert 87, nothing added.
void Do_Import_WPL(const FSSpec& path);

// --- Readers ------------------------------------------------------------------------

// What a playlist names: its songs, the folders they lie in, and the
// album picture found in each folder (complete paths). Song paths are
// taken as written on Windows ("\" or "/", relative to the playlist's
// folder), folders matched without regard to case when not found as
// written. FALSE when the file cannot be read.
struct a_playlist_scan {
  int32 songs = 0, folders = 0;
  std::vector<std::string> pictures;
};
bool8 Scan_Playlist(const FSSpec& path, a_playlist_scan& scan);

// The tabbed test on the start of a file (at most its first 5000 bytes are
// looked at): at least two tabs or bars before the first line end, and at
// least one line end (CR or LF).
bool8 Is_iTunes_Tabbed(std::span<const uint8> head);
// Text of a file as the readers take it: UTF-16 with a byte-order mark
// becomes UTF-8 (utf8 TRUE), a UTF-8 byte-order mark is dropped (utf8
// TRUE); other text is taken as UTF-8 when valid, else Windows-1252.
std::string Import_Text(std::span<const uint8> bytes, bool8& utf8);

// Fills a new song table from tabbed text (the first line names the
// fields). TRUE when it holds a list; FALSE after alert 10 (fewer than two
// fields, or no song), with no table.
bool8 Parse_Tracks_Tabbed(std::string_view text, bool8 utf8);
// Fills a new song table from a property list, read from the file as it
// goes (or from text already in memory). TRUE when it holds a list; FALSE
// after alert 10 (unreadable, or no track in the play order), with no table.
bool8 Parse_Tracks_XML(const FSSpec& path);
bool8 Parse_Tracks_XML_Text(std::string_view text);
// dst := src converted after its type: "<sec>" and "<msec>" as minutes and
// seconds, "<kbyte>" as thousands with "K"; other types and texts that are
// not whole numbers within 32 bits stay as they are. src is UTF-8 with
// utf8, else Windows-1252; dst is cut to 255 units.
void Convert_Field(UniChar (&dst)[SONG_FIELD_SIZE], const char* type, std::string_view src, bool8 utf8);

// The song table becomes chunks (g_chunks made when missing) under the
// dialog's choices. A full chunk continues its column in the next one;
// when all 31 are used the songs that do not fit are left out
// (nsongs_kept says how many fitted).
void SongTable_To_Chunks();
// The chunks become text objects on the current unit, selected, one history
// step (OP_IMPORT); the chunks are freed. FALSE, with sound 136 and alert
// 87 and nothing added, when the unit's list has no room for them all.
bool8 Inject_Chunks();
// The field dialog, then the chunks placed; the tables are freed.
void AskFields_Then_Inject();
// The dialog alone: TRUE on OK (the choices stored), FALSE on Cancel (the
// choices as they were).
bool8 Ask_FieldDialog();
// Frees the song and chunk tables.
void Free_Import_Tables();

// Defaults of the field dialog when nothing was chosen yet: the track
// number and the fields named "Artist", "Name" and "Total Time" ("Name"
// and "Total Time" start columns); none of them: fields 0, 1 and 2.
void Default_Song_Fields(uint32& fields, uint32& columns);
// Song number n in track-number format fmt ("1)", "1]", "(1)", "[1]",
// "1:", "1.", "1"; any other format as the first).
std::string Format_Track_Number(int32 n, int16 fmt);

// The ID3v1 tag of an MP3 file's last 128 bytes: title, artist, album,
// year and comment (Latin-1, each up to its first NUL). FALSE when the
// bytes carry no tag.
struct a_id3v1_tag {
  std::string title, artist, album, year, comment;  // UTF-8
};
bool8 Read_ID3v1(std::span<const uint8> last128, a_id3v1_tag& tag);
