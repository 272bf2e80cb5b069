#include "ui/VoskAsk.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "host/HostUtf.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "platform/ParseXML.h"
#include "platform/SysErr.h"
#include "platform/SysIONav.h"
#include "platform/SysMem.h"
#include "platform/SysSound.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskSlid.h"

a_song_table* g_songtable = nullptr;
a_chunk_table* g_chunks = nullptr;
uint32 g_songfields_f = 0;
uint32 g_songfields_c = 0xFFFFFFFFu;
int16 g_tracknum_fmt = 1;

namespace {

constexpr int32 kFieldUnits = SONG_FIELD_SIZE - 1;
constexpr int32 kChunkUnits = CHUNK_SIZE - 1;
constexpr int32 kTokenBytes = SONG_TOKEN_SIZE - 1;
constexpr int32 kTabbedTestBytes = 5000;
constexpr int32 kDelimiterLineBytes = 1001;
constexpr int32 kMaxPaths = 200;
constexpr int32 kFilenameChunkClose = 3950;
constexpr int16 kPromptFileList = 26;  // "Choose the file and folder names to import..."

// --- Text ----------------------------------------------------------------------------

// Windows-1252 from 0x80 to 0x9F; the other bytes are Latin-1. The five
// bytes the code page leaves unassigned keep their C1 code points.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Cp1252_Unit(uint8 c) { return c >= 0x80 && c <= 0x9F ? kCp1252High[c - 0x80] : char16_t(c); }

// dst := src (UTF-8 with utf8, else Windows-1252) cut to room units between
// characters; a 0 unit follows. Returns the units written.
int32 Text_To_UTF16(std::string_view src, bool8 utf8, UniChar* dst, int32 room) {
  int32 n = 0;
  if (utf8) {
    HostUtf8Options opt;
    opt.replace_cut_tail = false;
    n = int32(Host_Utf8_To_Utf16_Into(src, std::span<char16_t>(dst, size_t(room)), opt));
  } else {
    for (const char c : src) {
      if (n >= room) break;
      dst[n++] = Cp1252_Unit(uint8(c));
    }
  }
  dst[n] = 0;
  return n;
}

// Windows-1252 text as UTF-8 (field names are shown by the dialog in UTF-8).
std::string Cp1252_To_UTF8(std::string_view src) {
  std::string out;
  for (const char c : src) Host_Utf8_Append(out, Cp1252_Unit(uint8(c)));
  return out;
}

// A name or type into a table string, cut between characters.
void Put_Name(char (&dst)[SONG_FIELD_SIZE], std::string_view src) {
  const size_t n = Host_Utf8_Cut(src, size_t(kFieldUnits));
  std::memcpy(dst, src.data(), n);
  dst[n] = 0;
}

// A whole number of 1 to 10 digits within 32 bits; anything else is text.
bool Parse_Number(std::string_view s, int64& value) {
  if (s.empty() || s.size() > 10) return false;
  int64 v = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > 0x7FFFFFFF) return false;
  value = v;
  return true;
}

std::string Minutes_Seconds(int64 secs) {
  const int64 s = secs % 60;
  return std::to_string(secs / 60) + (s < 10 ? ":0" : ":") + std::to_string(s);
}

void Append_Units(std::u16string& out, const UniChar* s) {
  while (*s != 0) out.push_back(*s++);
}

// --- Tables --------------------------------------------------------------------------

template <typename T>
T* New_Table() {
  Ptr p = New_Ptr_Clear(uint32(sizeof(T)));
  if (p == nullptr) {
    g_err_mem_proc(uint32(sizeof(T)));
    return nullptr;
  }
  return reinterpret_cast<T*>(p);
}

template <typename T>
void Free_Table(T*& table) {
  Ptr p = reinterpret_cast<Ptr>(table);
  Dispose_Ptr(p);
  table = nullptr;
}

// A new, empty song table in g_songtable (what was there is freed).
bool New_Song_Table() {
  Free_Import_Tables();
  g_songtable = New_Table<a_song_table>();
  return g_songtable != nullptr;
}

void Set_Field(int32 f, std::string_view name, const char* type) {
  Put_Name(g_songtable->fieldnames[f], name);
  Put_Name(g_songtable->fieldtypes[f], type);
}

// An alert with two counts as ^0 and ^1.
void Alert_Counts(int16 alert, int32 a, int32 b) {
  const std::string sa = std::to_string(a), sb = std::to_string(b);
  Param_Text(CStrSpan(sa.c_str(), sa.size() + 1), CStrSpan(sb.c_str(), sb.size() + 1), "", "");
  OK_Alert(false, alert);
}

void Refuse_File() {
  Free_Import_Tables();
  OK_Alert(false, ALERT_READ_FAILED);
}

// --- Tabbed text ---------------------------------------------------------------------

// The first most lines of the text (ended by CR, LF or CR LF, the text by
// its end or a NUL); a final line end adds no line.
std::vector<std::string_view> Split_Lines(std::string_view text, size_t most) {
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::vector<std::string_view> lines;
  size_t start = 0, i = 0;
  while (i < text.size() && lines.size() < most) {
    const char c = text[i];
    if (c == 13 || c == 10) {
      lines.push_back(text.substr(start, i - start));
      i += (c == 13 && i + 1 < text.size() && text[i + 1] == 10) ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size() && lines.size() < most) lines.push_back(text.substr(start));
  return lines;
}

// The tokens of a line: everything between delimiters, each cut to 1023
// bytes (between characters for UTF-8). An empty token before the line's
// end is no token, so a trailing delimiter adds no field; empty tokens
// between delimiters keep their place.
std::vector<std::string_view> Split_Tokens(std::string_view line, char delim, bool8 utf8) {
  std::vector<std::string_view> tokens;
  size_t start = 0;
  for (;;) {
    const size_t end = line.find(delim, start);
    std::string_view tok = line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (end == std::string_view::npos && tok.empty()) break;
    if (tok.size() > size_t(kTokenBytes))
      tok = tok.substr(0, utf8 ? Host_Utf8_Cut(tok, size_t(kTokenBytes)) : size_t(kTokenBytes));
    tokens.push_back(tok);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return tokens;
}

const char* Type_By_Name(std::string_view name) {
  if (name == "Time") return FIELD_SEC;
  if (name == "Size") return FIELD_KBYTE;
  if (name == "Total Time") return FIELD_MSEC;
  return FIELD_STRING;
}

// --- Property lists ------------------------------------------------------------------

// The fields a property list fills, by their key names.
struct a_preset_field {
  const char* name;
  const char* type;
};
constexpr a_preset_field kPresetFields[] = {
    {"#", FIELD_INTEGER},      {"Track ID", FIELD_INTEGER}, {"Name", FIELD_STRING},      {"Artist", FIELD_STRING},
    {"Composer", FIELD_STRING}, {"Album", FIELD_STRING},     {"Genre", FIELD_STRING},     {"Year", FIELD_STRING},
    {"Size", FIELD_KBYTE},     {"Total Time", FIELD_MSEC},  {"Comments", FIELD_STRING},
};
constexpr int32 kPresetCount = int32(std::size(kPresetFields)) - 1;  // fields 1 .. 10

// A track of the library: its fields 1 .. 10 as decoded UTF-8.
struct a_track {
  std::array<std::string, kPresetCount + 1> fields;
};

struct a_plist_reader {
  std::vector<a_track> tracks;               // grows as tracks come
  std::unordered_map<int64, int32> by_id;    // Track ID -> index into tracks
  std::vector<int32> order;                  // the play order, at most MAX_SONGS
  char token[XML_TOKEN_SIZE];
};

// The next token; FALSE at the end of the data.
bool Next_Token(a_plist_reader& r) { return GetTokenXML(StrSpan(r.token, sizeof r.token)) == noErr; }
void Push_Back(a_plist_reader& r) { UnGetTokenXML(CStrSpan(r.token, sizeof r.token)); }
bool Is(const a_plist_reader& r, const char* tag) { return std::strcmp(r.token, tag) == 0; }
bool Is_Tag(const char* tok) { return tok[0] == '<'; }
bool Is_Empty_Tag(const char* tok) {
  const size_t n = std::strlen(tok);
  return n >= 3 && tok[0] == '<' && tok[n - 2] == '/' && tok[n - 1] == '>';
}
bool Is_Closing_Tag(const char* tok) { return tok[0] == '<' && tok[1] == '/'; }
bool Is_Container_Open(const char* tok) {
  return (std::strncmp(tok, "<dict", 5) == 0 || std::strncmp(tok, "<array", 6) == 0) && !Is_Empty_Tag(tok);
}
bool Is_Container_Close(const char* tok) {
  return std::strcmp(tok, "</dict>") == 0 || std::strcmp(tok, "</array>") == 0;
}

// Text with the five named entities and numeric character references
// decoded; a reference that is not well-formed stays as written.
std::string Decode_Entities(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    if (s[i] != '&') {
      out.push_back(s[i++]);
      continue;
    }
    const size_t semi = s.find(';', i + 1);
    if (semi == std::string_view::npos || semi - i > 12) {
      out.push_back(s[i++]);
      continue;
    }
    const std::string_view name = s.substr(i + 1, semi - i - 1);
    char32_t cp = 0;
    bool ok = true;
    if (name == "amp") cp = '&';
    else if (name == "lt") cp = '<';
    else if (name == "gt") cp = '>';
    else if (name == "quot") cp = '"';
    else if (name == "apos") cp = '\'';
    else if (name.size() >= 2 && name[0] == '#') {
      const bool hex = name[1] == 'x' || name[1] == 'X';
      const std::string_view digits = name.substr(hex ? 2 : 1);
      uint32 v = 0;
      ok = !digits.empty();
      for (const char c : digits) {
        uint32 d;
        if (c >= '0' && c <= '9') d = uint32(c - '0');
        else if (hex && c >= 'a' && c <= 'f') d = uint32(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F') d = uint32(c - 'A' + 10);
        else {
          ok = false;
          break;
        }
        v = v * (hex ? 16 : 10) + d;
        if (v > 0x10FFFF) {
          ok = false;
          break;
        }
      }
      if (ok) cp = (v == 0 || Host_Is_Surrogate(v)) ? kHostReplacementChar : char32_t(v);
    } else {
      ok = false;
    }
    if (!ok) {
      out.push_back(s[i++]);
      continue;
    }
    Host_Utf8_Append(out, cp);
    i = semi + 1;
  }
  return out;
}

// Skips to the end of a container whose opening tag was just read.
void Skip_Container(a_plist_reader& r) {
  int32 depth = 1;
  while (depth > 0 && Next_Token(r)) {
    if (Is_Container_Open(r.token)) ++depth;
    else if (Is_Container_Close(r.token)) --depth;
  }
}

// After "<key>": the key's text up to "</key>" (empty for "<key></key>").
std::string Read_Key_Name(a_plist_reader& r) {
  if (!Next_Token(r)) return {};
  if (Is(r, "</key>")) return {};
  if (Is_Tag(r.token)) {  // no text and no end: the tag belongs to what follows
    Push_Back(r);
    return {};
  }
  std::string name = Decode_Entities(r.token);
  if (Next_Token(r) && !Is(r, "</key>")) Push_Back(r);
  return name;
}

// After a key: its value. "<true/>" and "<false/>" give the tag itself, an
// empty element ("<string/>") or an element with nothing inside gives "",
// a container is skipped (has_value FALSE). A key with no value leaves the
// next key to be read.
std::string Read_Value(a_plist_reader& r, bool& has_value) {
  has_value = false;
  if (!Next_Token(r)) return {};
  if (Is(r, "<true/>") || Is(r, "<false/>")) {
    has_value = true;
    return r.token;
  }
  if (Is_Empty_Tag(r.token)) {
    has_value = true;
    return {};
  }
  if (Is_Container_Open(r.token)) {
    Skip_Container(r);
    return {};
  }
  if (!Is_Tag(r.token) || Is_Closing_Tag(r.token) || Is(r, "<key>")) {
    if (Is_Tag(r.token)) Push_Back(r);  // "</dict>" or the next key: no value
    return {};
  }
  // An element: its text, then its end.
  has_value = true;
  if (!Next_Token(r)) return {};
  if (Is_Closing_Tag(r.token)) return {};
  if (Is_Tag(r.token)) {
    Push_Back(r);
    return {};
  }
  std::string value = Decode_Entities(r.token);
  if (Next_Token(r) && !Is_Closing_Tag(r.token)) Push_Back(r);
  return value;
}

// The key/value pairs of a dictionary whose "<dict>" was read, up to its
// "</dict>"; each pair goes to take(name, value).
template <typename F>
void Read_Pairs(a_plist_reader& r, F take) {
  while (Next_Token(r)) {
    if (Is(r, "</dict>")) return;
    if (Is_Container_Open(r.token)) {
      Skip_Container(r);
      continue;
    }
    if (!Is(r, "<key>")) continue;
    const std::string name = Read_Key_Name(r);
    bool has_value = false;
    std::string value = Read_Value(r, has_value);
    if (has_value) take(name, value);
  }
}

int32 Preset_Index(std::string_view name) {
  for (int32 f = 1; f <= kPresetCount; ++f)
    if (name == kPresetFields[f].name) return f;
  return 0;
}

// After a key: TRUE when the value is the container opened by tag; an
// empty one is passed over, anything else left to be read.
bool Enter_Container(a_plist_reader& r, const char* tag) {
  if (!Next_Token(r)) return false;
  if (Is(r, tag)) return true;
  if (!Is_Empty_Tag(r.token)) Push_Back(r);
  return false;
}

// "Tracks": one dictionary per track, named by its id.
void Read_Tracks(a_plist_reader& r) {
  if (!Enter_Container(r, "<dict>")) return;
  while (Next_Token(r)) {
    if (Is(r, "</dict>")) return;
    if (!Is(r, "<key>")) continue;
    const std::string key = Read_Key_Name(r);
    if (!Next_Token(r)) return;
    a_track track;
    if (Is(r, "<dict>")) {
      Read_Pairs(r, [&](const std::string& name, std::string& value) {
        const int32 f = Preset_Index(name);
        if (f != 0) track.fields[size_t(f)] = std::move(value);
      });
    } else if (!Is_Empty_Tag(r.token)) {
      Push_Back(r);
      continue;
    }
    int64 id = 0;
    if (!Parse_Number(track.fields[1], id) && !Parse_Number(key, id)) continue;
    if (r.by_id.count(id) != 0) continue;  // the first track of an id stands
    r.by_id.emplace(id, int32(r.tracks.size()));
    r.tracks.push_back(std::move(track));
  }
}

// "Playlist Items": the play order, one "Track ID" per dictionary; an id
// with no track is skipped.
void Read_Play_Order(a_plist_reader& r) {
  if (!Enter_Container(r, "<array>")) return;
  while (Next_Token(r)) {
    if (Is(r, "</array>")) return;
    if (!Is(r, "<dict>")) {
      if (Is_Container_Open(r.token)) Skip_Container(r);
      continue;
    }
    Read_Pairs(r, [&](const std::string& name, const std::string& value) {
      int64 id = 0;
      if (name != "Track ID" || !Parse_Number(value, id)) return;
      const auto it = r.by_id.find(id);
      if (it != r.by_id.end() && r.order.size() < size_t(MAX_SONGS)) r.order.push_back(it->second);
    });
  }
}

// Reads the open XML reader to its end and fills the song table.
bool8 Parse_Open_Plist() {
  auto reader = std::make_unique<a_plist_reader>();
  a_plist_reader& r = *reader;
  Cursor_Push_Watch();
  while (Next_Token(r)) {
    if (!Is(r, "<key>")) continue;
    const std::string name = Read_Key_Name(r);
    if (name == "Tracks")
      Read_Tracks(r);
    else if (name == "Playlist Items")
      Read_Play_Order(r);
  }
  const bool failed = ParseXML_Failed();
  Stop_ParseXML();
  Cursor_Pop();
  if (failed || r.order.empty() || !New_Song_Table()) {
    Refuse_File();
    return false;
  }
  a_song_table& st = *g_songtable;
  st.nfields = kPresetCount;
  for (int32 f = 0; f <= kPresetCount; ++f) Set_Field(f, kPresetFields[f].name, kPresetFields[f].type);
  st.nsongs = int32(r.order.size());
  for (int32 j = 1; j <= st.nsongs; ++j) {
    const a_track& t = r.tracks[size_t(r.order[size_t(j - 1)])];
    for (int32 f = 1; f <= kPresetCount; ++f)
      Convert_Field(st.songs[j][f], st.fieldtypes[f], t.fields[size_t(f)], true);
  }
  return true;
}

// --- Chunks --------------------------------------------------------------------------

int32 Unit_Len(const UniChar* s, int32 max) {
  int32 n = 0;
  while (n < max && s[n] != 0) ++n;
  return n;
}

// The included fields: 0 .. min(nfields, the dialog's rows).
std::vector<int32> Included_Fields() {
  std::vector<int32> fields;
  if (g_songtable == nullptr) return fields;
  const int32 last = std::min(g_songtable->nfields, FIELD_DIALOG_FIELDS);
  for (int32 f = 0; f <= last; ++f)
    if ((g_songfields_f >> f) & 1u) fields.push_back(f);
  return fields;
}

// Song s as one line per column, each cut to a chunk between characters.
std::vector<std::u16string> Song_Lines(int32 s, const std::vector<int32>& fields) {
  std::vector<std::u16string> lines;
  // What the line ends with so far: nothing, the number, or a field. A
  // separator stands only between two parts that have text, so a song
  // without an artist shows no dangling " / ".
  enum { kNothing, kNumber, kField } last = kNothing;
  for (const int32 f : fields) {
    if (lines.empty() || ((g_songfields_c >> f) & 1u)) {
      lines.emplace_back();
      last = kNothing;
    }
    std::u16string piece;
    if (f == 0) {
      for (const char c : Format_Track_Number(s, g_tracknum_fmt)) piece.push_back(char16_t(c));
    } else {
      Append_Units(piece, g_songtable->songs[s][f]);
    }
    if (piece.empty()) continue;
    if (last != kNothing) lines.back() += last == kNumber ? u"  " : u" / ";
    lines.back() += piece;
    last = f == 0 ? kNumber : kField;
  }
  for (std::u16string& line : lines) {
    if (line.size() <= size_t(kChunkUnits)) continue;
    size_t n = size_t(kChunkUnits);
    if (Host_Is_Low_Surrogate(line[n])) --n;  // never half a pair
    line.resize(n);
  }
  return lines;
}

void Chunk_Append(int32 k, const std::u16string& text, std::array<int32, MAX_CHUNKS + 1>& len) {
  UniChar* dst = g_chunks->chunks[k];
  std::copy(text.begin(), text.end(), dst + len[size_t(k)]);
  len[size_t(k)] += int32(text.size());
  dst[len[size_t(k)]] = 0;
}

// --- Placing chunks --------------------------------------------------------------------

int32 Box_Width(int32 omx) {
  Rect box;
  Obj_BBox(omx, box);
  return box.right - box.left;
}

// --- Asking for files ------------------------------------------------------------------

using a_paths_action = void (*)(int16 n, const FSSpec* paths);

// The open dialog for up to 200 files of the given types; action takes them.
void Ask_File_List(a_paths_action action, std::span<const a_type_suffix> types) {
  Ptr buf = New_Ptr_Clear(uint32(sizeof(FSSpec)) * kMaxPaths);
  if (buf == nullptr) {
    OK_Alert(false, 5);
    return;
  }
  FSSpec* paths = reinterpret_cast<FSSpec*>(buf);
  Str255 prompt = {};
  Get_DLOG_String(StrSpan(prompt, sizeof prompt), kPromptFileList);
  const int16 n = Ask_Get_Path(false, CStrSpan(prompt, sizeof prompt), FourCC("????"), types, 3, nullptr, nullptr,
                               nullptr, nullptr, int16(kMaxPaths), paths);
  if (n > 0) action(n, paths);
  Dispose_Ptr(buf);
}

inline constexpr a_type_suffix kAnyFile[] = {{{'?', '?', '?', '?'}, "????"}};
inline constexpr a_type_suffix kMp3Files[] = {{{'M', 'p', '3', ' '}, ".MP3"}};

// The whole file, or FALSE.
bool Read_Whole(a_fd fd, std::vector<uint8>& bytes) {
  const int32 size = File_GetEOF(fd);
  if (size < 0 || File_SetPos(fd, 0) != noErr) return false;
  bytes.resize(size_t(size));
  return size == 0 || File_Read(fd, bytes.data(), uint32(size)) == noErr;
}

bool Starts_With(std::span<const uint8> b, std::string_view s) {
  return b.size() >= s.size() && std::memcmp(b.data(), s.data(), s.size()) == 0;
}

bool Is_UTF16_BOM(std::span<const uint8> b) {
  return b.size() >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF));
}

// Text already in memory: a property list or a tabbed list.
bool8 Parse_Text_Export(std::string_view text, bool8 utf8) {
  const std::span<const uint8> head(reinterpret_cast<const uint8*>(text.data()), text.size());
  if (Starts_With(head, "<?xm")) return Parse_Tracks_XML_Text(text);
  if (Is_iTunes_Tabbed(head)) return Parse_Tracks_Tabbed(text, utf8);
  OK_Alert(false, ALERT_READ_FAILED);
  return false;
}

// --- Playlists -------------------------------------------------------------------------

std::vector<std::string>* g_listing = nullptr;
void Collect_Entry(const FSSpec& p) { g_listing->push_back(p.name); }

// The complete paths of a folder's entries, sorted; FALSE when it cannot be listed.
bool List_Folder(const std::string& folder, std::vector<std::string>& names) {
  FSSpec spec{};
  if (folder.empty() || !Path_From_Text(spec, folder.c_str())) return false;
  names.clear();
  g_listing = &names;
  Enumerate_Local_Files(Collect_Entry, spec, FourCC("????"), FourCC("????"));
  g_listing = nullptr;
  std::sort(names.begin(), names.end());
  return !names.empty();
}

bool Same_Name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(uint8(a[i])) != std::tolower(uint8(b[i]))) return false;
  return true;
}

std::string_view Leaf(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A folder named on Windows, relative to base unless complete: each step
// taken as written when it is there, else matched without regard to case.
std::string Resolve_Folder(std::string_view written, const std::string& base) {
  std::string path(written);
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.size() >= 2 && path[1] == ':') path.erase(0, 2);  // a drive letter
  std::string at = path.empty() || path[0] != '/' ? base : std::string();
  std::vector<std::string> names;
  size_t i = 0;
  while (i <= path.size()) {
    const size_t next = std::min(path.find('/', i), path.size());
    const std::string step = path.substr(i, next - i);
    i = next + 1;
    if (step.empty() || step == ".") continue;
    if (step == "..") {
      const size_t slash = at.find_last_of('/');
      at = slash == std::string::npos || slash == 0 ? std::string("/") : at.substr(0, slash);
      continue;
    }
    const std::string direct = (at == "/" ? "" : at) + "/" + step;
    if (List_Folder(direct, names) || !List_Folder(at.empty() ? "/" : at, names)) {
      at = direct;
      continue;
    }
    std::string found = direct;
    for (const std::string& n : names)
      if (Same_Name(Leaf(n), step)) {
        found = n;
        break;
      }
    at = found;
  }
  return at;
}

// An attribute of a tag token ("name=\"value\"" or with single quotes),
// entities decoded; FALSE when the tag has none of that name.
bool Tag_Attribute(std::string_view tag, std::string_view name, std::string& value) {
  size_t i = 0;
  while ((i = tag.find(name, i)) != std::string_view::npos) {
    const bool starts = i > 0 && (tag[i - 1] == ' ' || tag[i - 1] == '\t' || tag[i - 1] == '\n');
    size_t j = i + name.size();
    i = j;
    if (!starts) continue;
    while (j < tag.size() && tag[j] == ' ') ++j;
    if (j >= tag.size() || tag[j] != '=') continue;
    ++j;
    while (j < tag.size() && tag[j] == ' ') ++j;
    if (j >= tag.size() || (tag[j] != '"' && tag[j] != '\'')) continue;
    const size_t end = tag.find(tag[j], j + 1);
    if (end == std::string_view::npos) return false;
    value = Decode_Entities(tag.substr(j + 1, end - j - 1));
    return true;
  }
  return false;
}

}  // namespace

void VoskAsk_Init() {
  Free_Import_Tables();
  g_songfields_f = 0;
  g_songfields_c = 0xFFFFFFFFu;
  g_tracknum_fmt = 1;
}

void Free_Import_Tables() {
  Free_Table(g_songtable);
  Free_Table(g_chunks);
}

// --- Text ------------------------------------------------------------------------------

std::string Import_Text(std::span<const uint8> bytes, bool8& utf8) {
  utf8 = true;
  if (Is_UTF16_BOM(bytes)) {
    const bool little = bytes[0] == 0xFF;
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      units.push_back(little ? char16_t(bytes[i] | (bytes[i + 1] << 8)) : char16_t((bytes[i] << 8) | bytes[i + 1]));
    return Host_Utf16_To_Utf8(std::u16string_view(units));
  }
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (Starts_With(bytes, "\xEF\xBB\xBF")) return std::string(text.substr(3));
  utf8 = Host_Utf8_Valid(text);
  return std::string(text);
}

void Convert_Field(UniChar (&dst)[SONG_FIELD_SIZE], const char* type, std::string_view src, bool8 utf8) {
  int64 n = 0;
  std::string out;
  if (std::strcmp(type, FIELD_SEC) == 0 && Parse_Number(src, n))
    out = Minutes_Seconds(n);
  else if (std::strcmp(type, FIELD_MSEC) == 0 && Parse_Number(src, n))
    out = Minutes_Seconds((n + 500) / 1000);
  else if (std::strcmp(type, FIELD_KBYTE) == 0 && Parse_Number(src, n))
    out = std::to_string(std::max<int64>(1, (n + 500) / 1000)) + "K";
  else {
    Text_To_UTF16(src, utf8, dst, kFieldUnits);
    return;
  }
  Text_To_UTF16(out, true, dst, kFieldUnits);
}

std::string Format_Track_Number(int32 n, int16 fmt) {
  const std::string s = std::to_string(n);
  switch (fmt) {
    case 2: return s + "]";
    case 3: return "(" + s + ")";
    case 4: return "[" + s + "]";
    case 5: return s + ":";
    case 6: return s + ".";
    case 7: return s;
    default: return s + ")";
  }
}

// --- Readers ---------------------------------------------------------------------------

bool8 Is_iTunes_Tabbed(std::span<const uint8> head) {
  const size_t n = std::min(head.size(), size_t(kTabbedTestBytes));
  int32 ends = 0, delims = 0;
  for (size_t i = 0; i < n && ends < 2; ++i) {
    const uint8 c = head[i];
    if (c == 13 || c == 10) {
      ++ends;
      if (c == 13 && i + 1 < n && head[i + 1] == 10) ++i;
    } else if (ends == 0 && (c == 9 || c == '|')) {
      ++delims;
    }
  }
  return delims >= 2 && ends >= 1;
}

bool8 Parse_Tracks_Tabbed(std::string_view text, bool8 utf8) {
  // The field names and at most MAX_SONGS songs: the rest is never looked at.
  const std::vector<std::string_view> lines = Split_Lines(text, size_t(MAX_SONGS) + 1);
  if (lines.empty()) {
    Refuse_File();
    return false;
  }
  const std::string_view first = lines[0].substr(0, size_t(kDelimiterLineBytes));
  const auto tabs = std::count(first.begin(), first.end(), '\t');
  const auto bars = std::count(first.begin(), first.end(), '|');
  const char delim = bars > tabs ? '|' : '\t';

  const std::vector<std::string_view> names = Split_Tokens(lines[0], delim, utf8);
  const int32 nfields = int32(std::min(names.size(), size_t(SONG_FILE_FIELDS)));
  if (nfields < 2 || !New_Song_Table()) {
    Refuse_File();
    return false;
  }
  a_song_table& st = *g_songtable;
  st.nfields = nfields;
  Set_Field(0, "#", FIELD_INTEGER);
  for (int32 f = 1; f <= nfields; ++f) {
    const std::string name = utf8 ? std::string(names[size_t(f - 1)]) : Cp1252_To_UTF8(names[size_t(f - 1)]);
    Set_Field(f, name, Type_By_Name(name));
  }
  for (size_t l = 1; l < lines.size() && st.nsongs < MAX_SONGS; ++l) {
    const int32 s = ++st.nsongs;
    const std::vector<std::string_view> tokens = Split_Tokens(lines[l], delim, utf8);
    for (int32 f = 1; f <= nfields && size_t(f) <= tokens.size(); ++f)
      Convert_Field(st.songs[s][f], st.fieldtypes[f], tokens[size_t(f - 1)], utf8);
  }
  if (st.nsongs == 0) {  // field names and no song: nothing to offer
    Refuse_File();
    return false;
  }
  return true;
}

bool8 Parse_Tracks_XML(const FSSpec& path) {
  if (!Init_ParseXML(path)) {
    Refuse_File();
    return false;
  }
  return Parse_Open_Plist();
}

bool8 Parse_Tracks_XML_Text(std::string_view text) {
  if (!Init_ParseXML_Buffer(text.data(), text.size())) {
    Refuse_File();
    return false;
  }
  return Parse_Open_Plist();
}

bool8 Read_ID3v1(std::span<const uint8> last128, a_id3v1_tag& tag) {
  if (last128.size() != 128 || !Starts_With(last128, "TAG")) return false;
  const auto field = [&](size_t at, size_t len) {
    std::string out;
    for (size_t i = at; i < at + len && last128[i] != 0; ++i) Host_Utf8_Append(out, char32_t(last128[i]));
    return out;
  };
  tag.title = field(3, 30);
  tag.artist = field(33, 30);
  tag.album = field(63, 30);
  tag.year = field(93, 4);
  tag.comment = field(97, 30);
  return true;
}

// --- Chunks ----------------------------------------------------------------------------

void Default_Song_Fields(uint32& fields, uint32& columns) {
  fields = 0;
  columns = 1;
  if (g_songtable == nullptr) return;
  const int32 last = std::min(g_songtable->nfields, FIELD_DIALOG_FIELDS);
  for (int32 f = 1; f <= last; ++f) {
    const std::string_view name = g_songtable->fieldnames[f];
    if (name == "Artist" || name == "Name" || name == "Total Time") fields |= 1u << f;
    if (name == "Name" || name == "Total Time") columns |= 1u << f;
  }
  fields = fields != 0 ? fields | 1u : 7u;
}

void SongTable_To_Chunks() {
  if (g_songtable == nullptr) return;
  if (g_chunks == nullptr) {
    g_chunks = New_Table<a_chunk_table>();
    if (g_chunks == nullptr) return;
  }
  a_chunk_table& ct = *g_chunks;
  ct.nchunks = 0;
  for (auto& chunk : ct.chunks) chunk[0] = 0;
  ct.nlines = int16(std::min(g_songtable->nsongs, int32(MAX_SONGS)));
  ct.nsongs_kept = 0;

  const std::vector<int32> fields = Included_Fields();
  if (fields.empty()) return;
  std::array<int32, MAX_CHUNKS + 1> len{};
  int32 first = 0;  // the block of chunks the songs go to: first + 1 .. first + columns
  const int32 nsongs = std::min(g_songtable->nsongs, int32(MAX_SONGS));
  for (int32 s = 1; s <= nsongs; ++s) {
    const std::vector<std::u16string> lines = Song_Lines(s, fields);
    const int32 columns = int32(lines.size());
    bool fits = ct.nchunks > 0;
    for (int32 c = 0; fits && c < columns; ++c)
      fits = len[size_t(first + c + 1)] + 1 + int32(lines[size_t(c)].size()) <= kChunkUnits;
    if (!fits) {
      // A full column: every column goes on in a further block.
      if (ct.nchunks + columns > MAX_CHUNKS) break;
      first = ct.nchunks;
      ct.nchunks += columns;
    }
    for (int32 c = 0; c < columns; ++c) {
      const int32 k = first + c + 1;
      if (len[size_t(k)] > 0) Chunk_Append(k, u"\r", len);
      Chunk_Append(k, lines[size_t(c)], len);
    }
    ct.nsongs_kept = s;
  }
}

bool8 Inject_Chunks() {
  if (g_chunks == nullptr || g_chunks->nchunks <= 0) {
    Free_Table(g_chunks);
    return false;
  }
  const a_oj_master* list = Curr_Obj_List();
  const int32 n = g_chunks->nchunks;
  if (!g_doc.doc_open || g_doc.up == nullptr || list == nullptr || list->nlist + n > MAX_OJ) {
    Sound_Effect(SND_OBJ_REFUSED);
    Alert_Counts(ALERT_UNIT_FULL, n, 0);
    Free_Table(g_chunks);
    return false;
  }
  Grid_Blast(TEXT_LAYOUT_GRID, 0);
  Grid_Blast(TEXT_HJUST_GRID, 0);
  Grid_Blast(TEXT_VJUST_GRID, 0);
  Slider_Blast(TEXT_LINEANGLE_SLIDER, 0);
  Slider_Blast(TEXT_SIZE_SLIDER, 10);
  SV_Set_Enum(SV_PHASE, TEXT_PHASE);
  SV_Finish();

  const Rect canvas = g_doc.up->paintbounds;
  const int32 w = canvas.right - canvas.left, h = canvas.bottom - canvas.top;
  const Point centre{int16((canvas.top + canvas.bottom) / 2), int16((canvas.left + canvas.right) / 2)};
  std::vector<int32> made;
  for (int32 k = 1; k <= n; ++k) {
    const Point at{int16(canvas.top + h / 8), int16(canvas.left + 50 * (k - 1))};
    int32 omx = 0;
    Text_New4(omx, g_chunks->chunks[k], Unit_Len(g_chunks->chunks[k], kChunkUnits), gs.slider_vals[TEXT_RADIUS_SLIDER],
              at, centre, false);
    if (omx > 0) made.push_back(omx);
  }
  Free_Table(g_chunks);

  int64 sum = 0;
  for (const int32 omx : made) sum += Box_Width(omx);
  if (sum > w && sum > 0) {
    const int16 lo = SLIDER_VALUES[TEXT_SIZE_SLIDER].minval, hi = SLIDER_VALUES[TEXT_SIZE_SLIDER].maxval;
    const int16 size = int16(std::clamp<int64>(10 * int64(w) / sum, lo, hi));
    for (const int32 omx : made) {
      Begin_Text_Change(omx);
      Obj_Item(omx)->om->size = size;
      End_Text_Change(omx);
    }
    sum = 0;
    for (const int32 omx : made) sum += Box_Width(omx);
  }
  int64 x = canvas.left + std::max<int64>(10, w - sum - 20 * (int64(made.size()) - 1)) / 2;
  Begin_Selection_Change();
  Obj_Select_None();
  for (const int32 omx : made) {
    Rect box;
    Obj_BBox(omx, box);
    Text_Move_XY(omx, int32(x - box.left), int32(canvas.top + h / 5 - box.top));
    x += (box.right - box.left) + 20;
    Selection_Toggle(omx);
  }
  End_Selection_Change();
  History_Emit(OP_IMPORT);
  return true;
}

void AskFields_Then_Inject() {
  if (Ask_FieldDialog()) {
    SongTable_To_Chunks();
    const int32 kept = g_chunks != nullptr ? g_chunks->nsongs_kept : 0;
    const int32 all = g_songtable != nullptr ? g_songtable->nsongs : 0;
    if (Inject_Chunks() && kept < all) {
      Alert_Counts(ALERT_TRACKS_CUT, kept, all);
    }
  }
  Free_Import_Tables();
}

// --- Commands --------------------------------------------------------------------------

void Do_iTunes(const FSSpec& path) {
  const a_fd fd = File_Open(path, GENERIC_READ);
  if (Is_Null_Fd(fd)) {
    OK_Alert(false, ALERT_READ_FAILED);
    return;
  }
  std::array<uint8, kTabbedTestBytes> head{};
  uint32 got = uint32(head.size());
  if (File_Read2(fd, head.data(), got) != noErr) got = 0;
  std::span<const uint8> start(head.data(), got);
  if (Starts_With(start, "\xEF\xBB\xBF")) start = start.subspan(3);

  bool8 ok = false;
  if (!Is_UTF16_BOM(start) && Starts_With(start, "<?xm")) {
    // A property list is read from the file as it goes.
    File_Close(fd);
    ok = Parse_Tracks_XML(path);
  } else if (Is_UTF16_BOM(start) || Is_iTunes_Tabbed(start)) {
    std::vector<uint8> bytes;
    const bool read = Read_Whole(fd, bytes);
    File_Close(fd);
    if (!read) {
      OK_Alert(false, ALERT_READ_FAILED);
      return;
    }
    bool8 utf8 = false;
    const std::string text = Import_Text(bytes, utf8);
    bytes = {};
    ok = Parse_Text_Export(text, utf8);
  } else {
    File_Close(fd);
    OK_Alert(false, ALERT_READ_FAILED);
  }
  if (ok) AskFields_Then_Inject();
}

void Ask_Import_Tracks() {
  FSSpec path{};
  if (Ask_Get_Path(false, CStrSpan("", 1), FourCC("????"), ITUNES_FILE_TYPES, 3, nullptr, nullptr, nullptr, nullptr, 1,
                   &path) > 0)
    Do_iTunes(path);
}

void Action_Import_Filenames(int16 n, const FSSpec* paths) {
  Free_Table(g_chunks);
  g_chunks = New_Table<a_chunk_table>();
  if (g_chunks == nullptr) return;
  a_chunk_table& ct = *g_chunks;
  std::array<int32, MAX_CHUNKS + 1> len{};
  ct.nchunks = 1;
  int32 kept = 0;
  for (int16 i = 0; i < n; ++i) {
    Str255 name8 = {};
    if (!Path_To_Name(paths[i], StrSpan(name8, sizeof name8))) continue;
    UniChar name[SONG_FIELD_SIZE];
    const int32 units = Text_To_UTF16(name8, true, name, kFieldUnits);
    int32& at = len[size_t(ct.nchunks)];
    if (at > kFilenameChunkClose || at + units + 1 > kChunkUnits) {
      if (ct.nchunks == MAX_CHUNKS) break;
      ++ct.nchunks;
    }
    std::u16string line(name, name + units);
    line.push_back(u'\r');
    Chunk_Append(ct.nchunks, line, len);
    ++kept;
  }
  ct.nsongs_kept = kept;
  if (Inject_Chunks() && kept < n) {
    Alert_Counts(ALERT_TRACKS_CUT, kept, n);
  }
}

void Do_Import_Filenames() { Ask_File_List(Action_Import_Filenames, kAnyFile); }

void Action_Import_MP3(int16 n, const FSSpec* paths) {
  if (!New_Song_Table()) return;
  a_song_table& st = *g_songtable;
  st.nfields = 5;
  Set_Field(0, "#", FIELD_INTEGER);
  const char* const names[] = {"Name", "Artist", "Album", "Year", "Comment"};
  for (int32 f = 1; f <= 5; ++f) Set_Field(f, names[f - 1], FIELD_STRING);
  g_songfields_f = (1u << 1) | (1u << 2) | (1u << 3);
  for (int16 i = 0; i < n && st.nsongs < MAX_SONGS; ++i) {
    const a_fd fd = File_Open(paths[i], GENERIC_READ);
    if (Is_Null_Fd(fd)) continue;
    std::array<uint8, 128> tail{};
    const int32 size = File_GetEOF(fd);
    const bool read = size > 128 && File_SetPos(fd, size - 128) == noErr && File_Read(fd, tail.data(), 128) == noErr;
    File_Close(fd);
    a_id3v1_tag tag;
    if (!read || !Read_ID3v1(tail, tag)) continue;
    const int32 s = ++st.nsongs;
    const std::string* values[] = {&tag.title, &tag.artist, &tag.album, &tag.year, &tag.comment};
    for (int32 f = 1; f <= 5; ++f) Convert_Field(st.songs[s][f], FIELD_STRING, *values[f - 1], true);
  }
  if (st.nsongs == 0) {
    Free_Import_Tables();
    OK_Alert(false, ALERT_NO_MP3_TAGS);
    return;
  }
  AskFields_Then_Inject();
}

void Do_Import_MP3() { Ask_File_List(Action_Import_MP3, kMp3Files); }

// --- Playlists -------------------------------------------------------------------------

bool8 Scan_Playlist(const FSSpec& path, a_playlist_scan& scan) {
  scan = a_playlist_scan{};
  if (!Init_ParseXML(path)) return false;
  const std::string_view own = path.name;
  const size_t slash = own.find_last_of('/');
  const std::string base(slash == std::string_view::npos ? std::string_view(".") : own.substr(0, slash));
  char token[XML_TOKEN_SIZE];
  std::string last_written, last_folder;
  bool any_folder = false;
  std::vector<std::string> names;
  while (GetTokenXML(StrSpan(token, sizeof token)) == noErr) {
    const std::string_view tag = token;
    if (tag.rfind("<media", 0) != 0 || tag.size() < 7 || !std::isspace(uint8(tag[6]))) continue;
    std::string src;
    if (!Tag_Attribute(tag, "src", src)) continue;
    ++scan.songs;
    std::replace(src.begin(), src.end(), '\\', '/');
    const size_t cut = src.find_last_of('/');
    const std::string_view written = cut == std::string::npos ? std::string_view() : std::string_view(src).substr(0, cut);
    // An album's songs follow one another: their folder is looked for once.
    if (any_folder && written == last_written) continue;
    last_written = written;
    const std::string folder = Resolve_Folder(written, base);
    if (any_folder && folder == last_folder) continue;
    any_folder = true;
    last_folder = folder;
    ++scan.folders;
    if (!List_Folder(folder, names)) continue;
    for (const std::string& n : names) {
      const std::string_view leaf = Leaf(n);
      if (leaf.size() > 10 && Same_Name(leaf.substr(leaf.size() - 10), "_LARGE.JPG")) {
        scan.pictures.push_back(n);
        break;
      }
    }
  }
  const bool failed = ParseXML_Failed();
  Stop_ParseXML();
  return !failed;
}

void Do_Import_WPL(const FSSpec& path) {
  a_playlist_scan scan;
  if (!Scan_Playlist(path, scan)) {
    OK_Alert(false, ALERT_READ_FAILED);
    return;
  }
  const a_oj_master* list = Curr_Obj_List();
  const int32 n = int32(scan.pictures.size());
  if (n > 0 && (!g_doc.doc_open || list == nullptr || list->nlist + n > MAX_OJ)) {
    Sound_Effect(SND_OBJ_REFUSED);
    Alert_Counts(ALERT_UNIT_FULL, n, 0);
    return;
  }
  int32 images = 0;
  for (const std::string& picture : scan.pictures) {
    FSSpec spec{};
    if (Path_From_Text(spec, picture.c_str()) && Photo_NewP(spec, true)) ++images;
  }
  const std::string a = std::to_string(scan.songs), b = std::to_string(scan.folders), c = std::to_string(images);
  Param_Text(CStrSpan(a.c_str(), a.size() + 1), CStrSpan(b.c_str(), b.size() + 1), CStrSpan(c.c_str(), c.size() + 1),
             "");
  OK_Alert(false, ALERT_PLAYLIST_COUNTS);
}
