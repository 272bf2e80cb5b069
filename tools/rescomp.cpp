// velmor_rescomp: compiles the authored resource sources (resources/*.txt) into
// the program's resource archive, written as a C++ source that defines the
// archive bytes. A standalone build-time tool: it uses no project library.
//
// Usage: velmor_rescomp --cpp OUT.cpp SOURCE.txt...
//        velmor_rescomp --bin OUT.bin SOURCE.txt...     (the raw archive, for tests)
// Errors are reported as FILE:LINE: message, and the exit status is 1.
//
// ---------------------------------------------------------------------------
// Source format (UTF-8 text)
// ---------------------------------------------------------------------------
// "#" at the start of a word starts a comment that runs to the end of the
// line (a "#" inside a word, as in STR#, or inside a string is text).
// A resource starts with a header line in brackets and runs to the next one:
//
//   [TYPE ID]          or   [TYPE ID LANG]
//
// TYPE is a four-character code (STR#, MBAR, MENT, PAT#, CTBL, ...), or
// VERSION (the version block, numeric type 16). ID is a decimal int16. LANG
// is a language code (en cs da de es fr it hu nl no pl pt fi sv tr zh-CHT
// zh-CHS ja el ko) or a number 0..19; it is added to ID, so "[STR# 400 de]"
// is list 403. A type and id may be defined once only.
//
// Strings are written in double quotes; adjacent strings are joined. Escapes:
// \\ \" \r \n \t \xHH (one byte) \u{H...} (a code point, written as UTF-8).
//
// Body by type:
//   STR#   lines "INDEX = STRING"; indexes from 1, in any order, each once;
//          indexes not given are empty entries; at most 255 bytes an entry.
//          Data: int16 LE count (highest index), then per entry one length
//          byte and the bytes.
//   MENT   one STRING. Data: the bytes and a NUL.
//   MBAR   decimal menu ids, any number a line. Data: uint16 LE count, then
//          the ids as int16 LE.
//   PAT#   lines of eight hex bytes (one pattern each). Data: uint16 LE count,
//          then 8 bytes a pattern.
//   CTBL   lines "R G B" (decimal 0..255) or "0xRRGGBB". Data: uint16 LE
//          count, then 3 bytes red, green, blue a colour.
//   VERSION  one line "A.B.C.D" (each 0..65535). Data: the product version as
//          two uint32 LE: A<<16|B, then C<<16|D.
//   ICON ICN# cicn ppat CURS   pictures drawn as rows of characters, one
//          quoted "row" a line, top row first; see "Pictures" below.
//   other types: raw data lines, each a directive and its values:
//          hex HH HH ...   u8 N ...   u16 N ...   i16 N ...   u32 N ...
//          text STRING (no terminator)   cstring STRING   pstring STRING
//          (integers little-endian).
//
// ---------------------------------------------------------------------------
// Pictures: icons, pixel patterns and cursors
// ---------------------------------------------------------------------------
// Each row is one quoted string of one character a pixel (any printable
// ASCII character but the quote and the backslash; quoting lets "#" and
// spaces be pixels). Every row of a picture has the same width. Lines:
//   colour C VALUE   C, one character (quote it if it is "#"), stands for
//                    VALUE: 0xRRGGBB (opaque), 0xRRGGBBAA (alpha 00
//                    transparent to FF opaque) or none (transparent)
//   hotspot X Y      cursors: the pixel the click is at, from the top-left
// Mono pictures take fixed characters and no colour lines:
//   .  transparent (white in ICON, which has no mask)   X  black   o  white
//   ~  inverted (cursors only; the screen under it is inverted, or black)
// Forms (the compiled layouts are described in src/platform/ResImage.h):
//   ICON   mono, 32 x 32. Data: 128 bytes of image bits (1 black).
//   ICN#   mono with mask, 32 x 32. Data: 128 bytes image, 128 bytes mask.
//   cicn   colour, 1 to 128 pixels each way. Data: u16 width, u16 height,
//          then red, green, blue, alpha a pixel.
//   ppat   colour pattern, 1 to 64 each way, every colour opaque. Data as
//          cicn.
//   CURS   mono 16 x 16 without colour lines, colour 32 x 32 with them; a
//          hotspot line is required and must lie inside the picture. Data:
//          mono 68 bytes (16 rows of image and of mask, 2 bytes a row, then
//          i16 hot spot v, h); colour u16 32, u16 32, i16 hot spot v, h, then
//          red, green, blue, alpha a pixel.
//
// ---------------------------------------------------------------------------
// Archive format (all integers little-endian)
// ---------------------------------------------------------------------------
//   0   4 bytes  magic "VRS1"
//   4   uint32   entry count n
//   8   n index entries of 16 bytes, sorted by type then id, no duplicates:
//         uint32 type (four-character code, first character high), int16 id,
//         uint16 0, uint32 offset of the data from the archive start,
//         uint32 size of the data
//   then the data of every entry.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t kVersionType = 16;

struct Failure {
  std::string where;
  std::string what;
};

[[noreturn]] void Fail(const std::string& file, int line, const std::string& what) {
  throw Failure{file + ":" + std::to_string(line), what};
}

uint32_t Four(const std::string& s) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

// The lines of a picture resource, kept until the resource ends (see the
// picture functions below).
struct ImageSource {
  std::map<char, uint32_t> colours;  // 0xRRGGBBAA
  std::vector<std::pair<int, std::string>> rows;  // line, characters
  bool has_hotspot = false;
  int hot_x = 0, hot_y = 0, hotspot_line = 0;
};

struct Resource {
  uint32_t type = 0;
  int16_t id = 0;
  std::string file;
  int line = 0;
  std::vector<uint8_t> data;
  // STR# entries by index (gaps are empty); other types write data directly.
  std::map<int, std::string> strings;
  int string_lines = 0;
  ImageSource image;  // ICON, ICN#, cicn, ppat, CURS
};

void Put16(std::vector<uint8_t>& d, uint32_t v) {
  d.push_back(uint8_t(v));
  d.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& d, uint32_t v) {
  Put16(d, v & 0xFFFF);
  Put16(d, v >> 16);
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Splits one line into tokens: bare words and quoted strings (kept with a
// leading '"' marker and their escapes resolved). Comments are dropped.
struct Token {
  bool quoted = false;
  std::string text;
};

std::vector<Token> Tokenize(const std::string& line, const std::string& file, int lineno) {
  std::vector<Token> out;
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
      // A comment; a '#' inside a word (as in STR# or PAT#) is part of it.
      break;
    } else if (c == '"') {
      Token t;
      t.quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d != '\\') {
          t.text += d;
          continue;
        }
        if (i >= line.size()) Fail(file, lineno, "escape at end of line");
        char e = line[i++];
        switch (e) {
          case '\\': t.text += '\\'; break;
          case '"': t.text += '"'; break;
          case 'r': t.text += '\r'; break;
          case 'n': t.text += '\n'; break;
          case 't': t.text += '\t'; break;
          case 'x': {
            int h1 = i < line.size() ? HexDigit(line[i]) : -1;
            int h2 = i + 1 < line.size() ? HexDigit(line[i + 1]) : -1;
            if (h1 < 0 || h2 < 0) Fail(file, lineno, "\\x needs two hex digits");
            t.text += char(h1 * 16 + h2);
            i += 2;
            break;
          }
          case 'u': {
            if (i >= line.size() || line[i] != '{') Fail(file, lineno, "\\u needs {hex}");
            ++i;
            uint32_t cp = 0;
            int n = 0;
            while (i < line.size() && line[i] != '}') {
              int h = HexDigit(line[i]);
              if (h < 0 || ++n > 6) Fail(file, lineno, "bad \\u{...} escape");
              cp = cp * 16 + uint32_t(h);
              ++i;
            }
            if (i >= line.size() || n == 0) Fail(file, lineno, "bad \\u{...} escape");
            ++i;
            if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0)
              Fail(file, lineno, "\\u{...} is not a valid character");
            AppendUtf8(t.text, cp);
            break;
          }
          default:
            Fail(file, lineno, std::string("unknown escape \\") + e);
        }
      }
      if (!closed) Fail(file, lineno, "unterminated string");
      // Adjacent strings join into one.
      if (!out.empty() && out.back().quoted) {
        out.back().text += t.text;
      } else {
        out.push_back(std::move(t));
      }
    } else {
      Token t;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
             line[i] != '"')
        t.text += line[i++];
      out.push_back(std::move(t));
    }
  }
  return out;
}

bool ParseInt(const std::string& s, long long lo, long long hi, long long& v) {
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long r = std::strtoll(s.c_str(), &end, 10);
  if (errno != 0 || end == nullptr || *end != '\0' || r < lo || r > hi) return false;
  v = r;
  return true;
}

long long IntOrFail(const Token& t, long long lo, long long hi, const std::string& file, int line) {
  long long v = 0;
  if (t.quoted || !ParseInt(t.text, lo, hi, v))
    Fail(file, line,
         "expected a number from " + std::to_string(lo) + " to " + std::to_string(hi) + ", got '" +
             t.text + "'");
  return v;
}

int LanguageOf(const std::string& s) {
  static const char* const codes[] = {"en", "cs", "da", "de", "es", "fr", "it",
                                      "hu", "nl", "no", "pl", "pt", "fi", "sv",
                                      "tr", "zh-CHT", "zh-CHS", "ja", "el", "ko"};
  for (int i = 0; i < 20; ++i)
    if (s == codes[i]) return i;
  long long v = 0;
  if (ParseInt(s, 0, 19, v)) return int(v);
  return -1;
}

int HexByte(const std::string& s) {
  if (s.size() != 2) return -1;
  int a = HexDigit(s[0]), b = HexDigit(s[1]);
  return (a < 0 || b < 0) ? -1 : a * 16 + b;
}

std::string TypeName(uint32_t t) {
  if (t == kVersionType) return "VERSION";
  std::string s;
  for (int k = 3; k >= 0; --k) s += char((t >> (8 * k)) & 0xFF);
  return s;
}

// ---------------------------------------------------------------------------
// Pictures: ICON, ICN#, cicn, ppat and CURS
// ---------------------------------------------------------------------------

bool IsImageType(uint32_t type) {
  return type == Four("ICON") || type == Four("ICN#") || type == Four("cicn") || type == Four("ppat") ||
         type == Four("CURS");
}

bool IsMonoImageType(uint32_t type) { return type == Four("ICON") || type == Four("ICN#"); }

// 0xRRGGBB, 0xRRGGBBAA or none, as 0xRRGGBBAA.
bool ParseColour(const std::string& s, uint32_t& rgba) {
  if (s == "none") {
    rgba = 0;
    return true;
  }
  if ((s.size() != 8 && s.size() != 10) || s[0] != '0' || s[1] != 'x') return false;
  uint32_t v = 0;
  for (size_t k = 2; k < s.size(); ++k) {
    int h = HexDigit(s[k]);
    if (h < 0) return false;
    v = v * 16 + uint32_t(h);
  }
  rgba = s.size() == 8 ? (v << 8) | 0xFF : v;
  return true;
}

void ImageBodyLine(Resource& r, const std::vector<Token>& tk, const std::string& file, int line) {
  ImageSource& im = r.image;
  const std::string tname = TypeName(r.type);
  if (tk.size() == 1 && tk[0].quoted) {
    const std::string& row = tk[0].text;
    if (row.empty()) Fail(file, line, "an empty row");
    for (char c : row)
      if (uint8_t(c) < 0x20 || uint8_t(c) > 0x7E || c == '"' || c == '\\')
        Fail(file, line, "a row holds printable ASCII characters only, no quote or backslash");
    if (!im.rows.empty() && row.size() != im.rows.front().second.size())
      Fail(file, line,
           "row is " + std::to_string(row.size()) + " pixels wide, the first row " +
               std::to_string(im.rows.front().second.size()));
    im.rows.emplace_back(line, row);
    return;
  }
  if (tk.empty() || tk[0].quoted) Fail(file, line, "expected colour, hotspot or a \"row\"");
  const std::string& d = tk[0].text;
  if (d == "colour") {
    if (IsMonoImageType(r.type))
      Fail(file, line, tname + " is mono (. X o); a colour icon is a cicn");
    if (tk.size() != 3 || tk[1].text.size() != 1 || tk[2].quoted)
      Fail(file, line, "expected colour C 0xRRGGBB, 0xRRGGBBAA or none (a \"#\" pixel is quoted)");
    const char c = tk[1].text[0];
    if (uint8_t(c) < 0x20 || uint8_t(c) > 0x7E || c == '"' || c == '\\')
      Fail(file, line, "a pixel character is printable ASCII, not a quote or backslash");
    uint32_t rgba = 0;
    if (!ParseColour(tk[2].text, rgba)) Fail(file, line, "bad colour '" + tk[2].text + "'");
    if (r.type == Four("ppat") && (rgba & 0xFF) != 0xFF) Fail(file, line, "a ppat is opaque");
    if (!im.colours.emplace(c, rgba).second)
      Fail(file, line, std::string("colour '") + c + "' given twice");
  } else if (d == "hotspot") {
    if (r.type != Four("CURS")) Fail(file, line, "only a CURS has a hot spot");
    if (im.has_hotspot) Fail(file, line, "hot spot given twice");
    if (tk.size() != 3) Fail(file, line, "expected hotspot X Y");
    im.hot_x = int(IntOrFail(tk[1], 0, 31, file, line));
    im.hot_y = int(IntOrFail(tk[2], 0, 31, file, line));
    im.has_hotspot = true;
    im.hotspot_line = line;
  } else {
    Fail(file, line, "expected colour, hotspot or a \"row\"");
  }
}

void ImageFinish(Resource& r) {
  ImageSource& im = r.image;
  const std::string tname = TypeName(r.type);
  const bool cursor = r.type == Four("CURS");
  const bool mono = IsMonoImageType(r.type) || (cursor && im.colours.empty());
  if (im.rows.empty()) Fail(r.file, r.line, tname + " has no rows");
  if (!mono && im.colours.empty()) Fail(r.file, r.line, tname + " needs colour lines");
  // Sizes: fixed for the mono forms and colour cursors, else a range.
  int fixed = 0, max = 0;
  if (IsMonoImageType(r.type)) fixed = 32;
  else if (cursor) fixed = mono ? 16 : 32;
  else max = r.type == Four("cicn") ? 128 : 64;
  const int w = int(im.rows.front().second.size()), h = int(im.rows.size());
  const int want = fixed ? fixed : max;
  const std::string form = cursor ? std::string(mono ? "a mono CURS" : "a colour CURS") : "a " + tname;
  if (fixed && w != fixed)
    Fail(r.file, im.rows.front().first, form + " is " + std::to_string(fixed) + " pixels wide, not " + std::to_string(w));
  if (!fixed && w > max)
    Fail(r.file, im.rows.front().first, form + " is at most " + std::to_string(max) + " pixels wide");
  if (h > want)
    Fail(r.file, im.rows[size_t(want)].first,
         form + " has " + (fixed ? "" : "at most ") + std::to_string(want) + " rows");
  if (fixed && h < fixed)
    Fail(r.file, r.line, form + " has " + std::to_string(fixed) + " rows, not " + std::to_string(h));
  if (cursor) {
    if (!im.has_hotspot) Fail(r.file, r.line, "a cursor needs a hotspot line");
    if (im.hot_x >= w || im.hot_y >= h) Fail(r.file, im.hotspot_line, "the hot spot lies outside the cursor");
  }

  std::vector<uint8_t> d;
  if (mono) {
    const int rb = w / 8;  // 4 (icons) or 2 (cursors) bytes a row
    std::vector<uint8_t> image(size_t(rb * h)), mask(size_t(rb * h));
    for (int y = 0; y < h; ++y) {
      const auto& [line, row] = im.rows[size_t(y)];
      for (int x = 0; x < w; ++x) {
        const char c = row[size_t(x)];
        bool ib, mb;
        if (c == 'X') ib = true, mb = true;
        else if (c == 'o') ib = false, mb = true;
        else if (c == '.') ib = false, mb = r.type == Four("ICON");
        else if (c == '~' && cursor) ib = true, mb = false;
        else
          Fail(r.file, line, std::string("pixel '") + c + "' is not one of . X o" + (cursor ? " ~" : ""));
        const uint8_t bit = uint8_t(0x80 >> (x & 7));
        if (ib) image[size_t(y * rb + x / 8)] |= bit;
        if (mb) mask[size_t(y * rb + x / 8)] |= bit;
      }
    }
    d = image;
    if (r.type != Four("ICON")) d.insert(d.end(), mask.begin(), mask.end());
    if (cursor) {
      Put16(d, uint16_t(im.hot_y));
      Put16(d, uint16_t(im.hot_x));
    }
  } else {
    Put16(d, uint16_t(w));
    Put16(d, uint16_t(h));
    if (cursor) {
      Put16(d, uint16_t(im.hot_y));
      Put16(d, uint16_t(im.hot_x));
    }
    for (const auto& [line, row] : im.rows) {
      for (char c : row) {
        auto it = im.colours.find(c);
        if (it == im.colours.end()) Fail(r.file, line, std::string("pixel '") + c + "' has no colour line");
        const uint32_t v = it->second;
        for (int k = 3; k >= 0; --k) d.push_back(uint8_t(v >> (8 * k)));
      }
    }
  }
  r.data = std::move(d);
}

// ---------------------------------------------------------------------------

void BodyLine(Resource& r, const std::vector<Token>& tk, const std::string& file, int line) {
  const uint32_t type = r.type;
  if (IsImageType(type)) {
    ImageBodyLine(r, tk, file, line);
    return;
  }
  if (type == Four("STR#")) {
    if (tk.size() != 3 || tk[0].quoted || tk[1].quoted || tk[1].text != "=" || !tk[2].quoted)
      Fail(file, line, "expected INDEX = \"text\"");
    int ix = int(IntOrFail(tk[0], 1, 32767, file, line));
    if (tk[2].text.size() > 255) Fail(file, line, "string longer than 255 bytes");
    if (tk[2].text.find('\0') != std::string::npos) Fail(file, line, "string holds a NUL");
    if (!r.strings.emplace(ix, tk[2].text).second)
      Fail(file, line, "index " + std::to_string(ix) + " given twice");
    ++r.string_lines;
  } else if (type == Four("MENT")) {
    if (tk.size() != 1 || !tk[0].quoted) Fail(file, line, "expected one \"title\"");
    if (!r.data.empty()) Fail(file, line, "a menu title has one line");
    if (tk[0].text.find('\0') != std::string::npos) Fail(file, line, "title holds a NUL");
    r.data.assign(tk[0].text.begin(), tk[0].text.end());
    r.data.push_back(0);
  } else if (type == Four("MBAR")) {
    for (const Token& t : tk) Put16(r.data, uint16_t(IntOrFail(t, -32768, 32767, file, line)));
  } else if (type == Four("PAT#")) {
    if (tk.size() != 8) Fail(file, line, "a pattern is eight hex bytes");
    for (const Token& t : tk) {
      int b = t.quoted ? -1 : HexByte(t.text);
      if (b < 0) Fail(file, line, "bad hex byte '" + t.text + "'");
      r.data.push_back(uint8_t(b));
    }
  } else if (type == Four("CTBL")) {
    if (tk.size() == 1 && !tk[0].quoted && tk[0].text.size() == 8 && tk[0].text[0] == '0' &&
        tk[0].text[1] == 'x') {
      for (int k = 0; k < 3; ++k) {
        int b = HexByte(tk[0].text.substr(2 + 2 * k, 2));
        if (b < 0) Fail(file, line, "bad colour '" + tk[0].text + "'");
        r.data.push_back(uint8_t(b));
      }
    } else if (tk.size() == 3) {
      for (const Token& t : tk) r.data.push_back(uint8_t(IntOrFail(t, 0, 255, file, line)));
    } else {
      Fail(file, line, "expected R G B or 0xRRGGBB");
    }
  } else if (type == kVersionType) {
    if (!r.data.empty()) Fail(file, line, "a version block has one line");
    if (tk.size() != 1 || tk[0].quoted) Fail(file, line, "expected A.B.C.D");
    std::vector<uint32_t> parts;
    std::stringstream ss(tk[0].text);
    std::string part;
    while (std::getline(ss, part, '.')) {
      long long v = 0;
      if (!ParseInt(part, 0, 65535, v)) Fail(file, line, "bad version '" + tk[0].text + "'");
      parts.push_back(uint32_t(v));
    }
    if (parts.size() != 4) Fail(file, line, "a version has four numbers A.B.C.D");
    Put32(r.data, (parts[0] << 16) | parts[1]);
    Put32(r.data, (parts[2] << 16) | parts[3]);
  } else {
    if (tk.empty() || tk[0].quoted) Fail(file, line, "expected a data directive");
    const std::string& d = tk[0].text;
    auto values = [&](long long lo, long long hi, int bytes) {
      if (tk.size() < 2) Fail(file, line, d + " needs values");
      for (size_t k = 1; k < tk.size(); ++k) {
        uint64_t v = uint64_t(IntOrFail(tk[k], lo, hi, file, line));
        for (int b = 0; b < bytes; ++b) r.data.push_back(uint8_t(v >> (8 * b)));
      }
    };
    if (d == "hex") {
      if (tk.size() < 2) Fail(file, line, "hex needs values");
      for (size_t k = 1; k < tk.size(); ++k) {
        int b = tk[k].quoted ? -1 : HexByte(tk[k].text);
        if (b < 0) Fail(file, line, "bad hex byte '" + tk[k].text + "'");
        r.data.push_back(uint8_t(b));
      }
    } else if (d == "u8") {
      values(0, 255, 1);
    } else if (d == "u16") {
      values(0, 65535, 2);
    } else if (d == "i16") {
      values(-32768, 32767, 2);
    } else if (d == "u32") {
      values(0, 4294967295LL, 4);
    } else if (d == "text" || d == "cstring" || d == "pstring") {
      if (tk.size() != 2 || !tk[1].quoted) Fail(file, line, d + " needs one \"string\"");
      const std::string& s = tk[1].text;
      if (d == "pstring") {
        if (s.size() > 255) Fail(file, line, "pstring longer than 255 bytes");
        r.data.push_back(uint8_t(s.size()));
      }
      r.data.insert(r.data.end(), s.begin(), s.end());
      if (d == "cstring") r.data.push_back(0);
    } else {
      Fail(file, line, "unknown data directive '" + d + "'");
    }
  }
  if (r.data.size() > 0x7FFFFFFF) Fail(file, line, "resource too large");
}

void Finish(Resource& r) {
  const uint32_t type = r.type;
  if (IsImageType(type)) {
    ImageFinish(r);
    return;
  }
  if (type == Four("STR#")) {
    int n = r.strings.empty() ? 0 : r.strings.rbegin()->first;
    std::vector<uint8_t> d;
    Put16(d, uint16_t(n));
    for (int ix = 1; ix <= n; ++ix) {
      auto it = r.strings.find(ix);
      const std::string s = it == r.strings.end() ? std::string() : it->second;
      d.push_back(uint8_t(s.size()));
      d.insert(d.end(), s.begin(), s.end());
    }
    r.data = std::move(d);
  } else if (type == Four("MENT")) {
    if (r.data.empty()) Fail(r.file, r.line, "menu title has no text");
  } else if (type == Four("MBAR") || type == Four("PAT#") || type == Four("CTBL")) {
    size_t each = type == Four("MBAR") ? 2 : type == Four("PAT#") ? 8 : 3;
    size_t n = r.data.size() / each;
    if (n > 65535) Fail(r.file, r.line, "too many entries");
    std::vector<uint8_t> d;
    Put16(d, uint16_t(n));
    d.insert(d.end(), r.data.begin(), r.data.end());
    r.data = std::move(d);
  } else if (type == kVersionType) {
    if (r.data.empty()) Fail(r.file, r.line, "version block has no version");
  }
}

void CompileFile(const std::string& path, std::map<std::pair<uint32_t, int16_t>, Resource>& all) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(path, 0, "cannot open the file");
  std::string text;
  int lineno = 0;
  Resource* cur = nullptr;
  while (std::getline(in, text)) {
    ++lineno;
    std::vector<Token> tk = Tokenize(text, path, lineno);
    if (tk.empty()) continue;
    if (!tk[0].quoted && !tk[0].text.empty() && tk[0].text[0] == '[') {
      // Header: rebuild it from its tokens so "[STR# 400]" and "[ STR# 400 ]" both parse.
      std::string joined;
      for (const Token& t : tk) {
        if (t.quoted) Fail(path, lineno, "a header holds no strings");
        joined += t.text + " ";
      }
      size_t close = joined.find(']');
      if (close == std::string::npos || joined.find_first_not_of(' ', close + 1) != std::string::npos)
        Fail(path, lineno, "a header is [TYPE ID] or [TYPE ID LANG]");
      std::stringstream ss(joined.substr(1, close - 1));
      std::vector<std::string> parts;
      std::string p;
      while (ss >> p) parts.push_back(p);
      if (parts.size() < 2 || parts.size() > 3) Fail(path, lineno, "a header is [TYPE ID] or [TYPE ID LANG]");
      uint32_t type;
      if (parts[0] == "VERSION") {
        type = kVersionType;
      } else if (parts[0].size() == 4) {
        type = Four(parts[0]);
      } else {
        Fail(path, lineno, "a type is four characters or VERSION, not '" + parts[0] + "'");
      }
      long long id = 0;
      if (!ParseInt(parts[1], -32768, 32767, id)) Fail(path, lineno, "bad id '" + parts[1] + "'");
      if (parts.size() == 3) {
        int lang = LanguageOf(parts[2]);
        if (lang < 0) Fail(path, lineno, "unknown language '" + parts[2] + "'");
        id += lang;
        if (id > 32767) Fail(path, lineno, "id with language passes 32767");
      }
      if (cur) Finish(*cur);
      auto key = std::make_pair(type, int16_t(id));
      auto found = all.find(key);
      if (found != all.end())
        Fail(path, lineno,
             TypeName(type) + " " + std::to_string(id) + " already defined at " +
                 found->second.file + ":" + std::to_string(found->second.line));
      Resource r;
      r.type = type;
      r.id = int16_t(id);
      r.file = path;
      r.line = lineno;
      cur = &all.emplace(key, std::move(r)).first->second;
      continue;
    }
    if (!cur) Fail(path, lineno, "data before the first [TYPE ID] header");
    BodyLine(*cur, tk, path, lineno);
  }
  if (cur) Finish(*cur);
}

std::vector<uint8_t> BuildArchive(const std::map<std::pair<uint32_t, int16_t>, Resource>& all) {
  // The map's order (type, then id as a signed number) is the archive's order.
  std::vector<uint8_t> out{'V', 'R', 'S', '1'};
  Put32(out, uint32_t(all.size()));
  uint64_t offset = 8 + 16 * uint64_t(all.size());
  for (const auto& [key, r] : all) {
    Put32(out, r.type);
    Put16(out, uint16_t(r.id));
    Put16(out, 0);
    if (offset + r.data.size() > 0xFFFFFFFFu) throw Failure{"archive", "larger than 4 GB"};
    Put32(out, uint32_t(offset));
    Put32(out, uint32_t(r.data.size()));
    offset += r.data.size();
  }
  for (const auto& [key, r] : all) out.insert(out.end(), r.data.begin(), r.data.end());
  return out;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::string tmp = path + ".tmp";
  {
    std::ofstream o(tmp, std::ios::binary | std::ios::trunc);
    if (!o) return false;
    o.write(bytes.data(), std::streamsize(bytes.size()));
    o.flush();
    if (!o) return false;
  }
  return std::rename(tmp.c_str(), path.c_str()) == 0;
}

std::string AsCpp(const std::vector<uint8_t>& a) {
  std::string s =
      "// Generated by velmor_rescomp from resources/*.txt. Do not edit.\n"
      "#include <cstddef>\n\n"
      "extern const unsigned char velmor_res_archive[];\n"
      "extern const std::size_t velmor_res_archive_size;\n\n"
      "const unsigned char velmor_res_archive[] = {\n";
  char buf[8];
  for (size_t i = 0; i < a.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%u,", unsigned(a[i]));
    s += buf;
    if (i % 24 == 23) s += '\n';
  }
  s += "\n};\nconst std::size_t velmor_res_archive_size = " + std::to_string(a.size()) + ";\n";
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || (std::strcmp(argv[1], "--cpp") != 0 && std::strcmp(argv[1], "--bin") != 0)) {
    std::fprintf(stderr, "usage: velmor_rescomp --cpp|--bin OUT SOURCE.txt...\n");
    return 2;
  }
  const bool cpp = std::strcmp(argv[1], "--cpp") == 0;
  const std::string out = argv[2];
  std::map<std::pair<uint32_t, int16_t>, Resource> all;
  try {
    std::vector<std::string> sources(argv + 3, argv + argc);
    std::sort(sources.begin(), sources.end());  // the same archive whatever the glob order
    for (const std::string& src : sources) CompileFile(src, all);
    std::vector<uint8_t> archive = BuildArchive(all);
    std::string bytes = cpp ? AsCpp(archive) : std::string(archive.begin(), archive.end());
    if (!WriteFile(out, bytes)) {
      std::fprintf(stderr, "%s: cannot write the output\n", out.c_str());
      return 1;
    }
  } catch (const Failure& f) {
    std::fprintf(stderr, "%s: error: %s\n", f.where.c_str(), f.what.c_str());
    return 1;
  }
  return 0;
}
