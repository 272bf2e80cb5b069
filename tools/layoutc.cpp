// velmor_layoutc: compiles the layout catalogue (data/layouts/converted.txt
// and authored.txt) into the program's constant table, written as a C++
// source. A standalone build-time tool: it uses no project library.
//
// Usage: velmor_layoutc --cpp OUT.cpp CATALOGUE.txt...
// A bad row stops the build with FILE:LINE: message and exit status 1.
//
// ---------------------------------------------------------------------------
// Row format (ASCII text)
// ---------------------------------------------------------------------------
// "#" at the start of a line, or after white space, starts a comment. An
// entry is one "entry" line followed by 1 to 6 "unit" lines (its sections):
//
//   entry SORT "LABEL" paper=W,H [flags=F|F...] source="WHERE THE SIZES COME FROM"
//     unit KIND grid=NXxNY at=LEFT,TOP size=W,H [pitch=X,Y] [bleed=L,T,R,B]
//          [meas=M1,M2,M3,M4] [uflags=F|F...]
//
// SORT: 1 to 12 characters of A-Z a-z 0-9 _ -, the first four the maker
// code. LABEL: 1 to 31 printable ASCII characters (no double quote); its
// first word is the brand. One maker code per brand and one brand per maker
// code across all files, so a brand's entries stay together. Lengths are
// millimetres (or inches with IS_INCHES, bleeds always millimetres). The
// entry must expand: 1..250 units in all, sizes above 0, bleeds not below
// 0, every unit edge within reach of 16-bit print coordinates, a disc first
// on disc-printer layouts, and (except on disc-printer layouts) every unit
// on the paper, 2 mm of slack allowed for rounding in published sheets.
//
// The table is sorted by sort key, then label; labels are unique.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "LayoutNames.h"

namespace {

constexpr double kMaxMM = 32767.0 * 25.4 / 1200.0;  // 16-bit coordinates at 1200 dpi
constexpr double kPaperSlack = 2.0;  // rounding in published sheets

struct Failure {
  std::string where;
  std::string what;
};

[[noreturn]] void Fail(const std::string& file, int line, const std::string& what) {
  throw Failure{file + ":" + std::to_string(line), what};
}

struct Section {
  int kind = 0;
  uint32_t uflags = 0;
  uint32_t nx = 0, ny = 0;
  float v[14] = {};  // bboxleft, top, width, height, pitchx, pitchy, bleeds l t r b, meas 1..4
  int line = 0;
};

struct Entry {
  std::string sort;
  std::string label;
  uint32_t tflags = 0;
  float paper[2] = {};
  std::vector<Section> units;
  std::string file;
  int line = 0;
};

struct Token {
  std::string key;  // before "=" (empty for a bare word or string)
  std::string value;
  bool quoted = false;
};

std::vector<Token> Tokenize(const std::string& line, const std::string& file, int lineno) {
  std::vector<Token> out;
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '#') break;
    Token t;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '"' && line[i] != '=') ++i;
    std::string word = line.substr(start, i - start);
    if (i < line.size() && line[i] == '=') {
      t.key = word;
      ++i;
      start = i;
      word.clear();
    }
    if (i < line.size() && line[i] == '"') {
      if (!word.empty()) Fail(file, lineno, "a quoted string must stand alone or follow KEY=");
      const size_t close = line.find('"', i + 1);
      if (close == std::string::npos) Fail(file, lineno, "unterminated string");
      t.value = line.substr(i + 1, close - i - 1);
      t.quoted = true;
      i = close + 1;
      if (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
        Fail(file, lineno, "text right after a closing quote");
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
        if (line[i] == '"' || line[i] == '=') Fail(file, lineno, "stray '\"' or '='");
        ++i;
      }
      t.value = t.key.empty() ? word : line.substr(start, i - start);
    }
    out.push_back(t);
  }
  return out;
}

float Number(const std::string& s, const std::string& file, int line, const std::string& what) {
  if (s.empty()) Fail(file, line, "empty number in " + what);
  errno = 0;
  char* end = nullptr;
  const float v = std::strtof(s.c_str(), &end);
  if (end != s.c_str() + s.size() || errno == ERANGE || !std::isfinite(v))
    Fail(file, line, "bad number \"" + s + "\" in " + what);
  return v;
}

std::vector<float> Numbers(const std::string& s, size_t n, const std::string& file, int line,
                           const std::string& what, char sep = ',') {
  std::vector<float> out;
  size_t start = 0;
  for (;;) {
    const size_t p = s.find(sep, start);
    out.push_back(Number(s.substr(start, p == std::string::npos ? std::string::npos : p - start), file, line, what));
    if (p == std::string::npos) break;
    start = p + 1;
  }
  if (out.size() != n) Fail(file, line, what + " needs " + std::to_string(n) + " values");
  return out;
}

template <size_t N>
uint32_t Flags(const std::string& s, const layoutnames::Bit (&table)[N], const std::string& file, int line) {
  if (s == "-") return 0;
  uint32_t flags = 0;
  size_t start = 0;
  for (;;) {
    const size_t p = s.find('|', start);
    const std::string name = s.substr(start, p == std::string::npos ? std::string::npos : p - start);
    const int bit = layoutnames::Bit_Of(table, name.c_str());
    if (bit < 0) Fail(file, line, "unknown flag \"" + name + "\"");
    flags |= uint32_t(1) << bit;
    if (p == std::string::npos) break;
    start = p + 1;
  }
  return flags;
}

uint32_t Count(const std::string& s, const std::string& file, int line) {
  if (s.empty() || s.size() > 4 || s.find_first_not_of("0123456789") != std::string::npos)
    Fail(file, line, "bad grid count \"" + s + "\"");
  return uint32_t(std::stoul(s));
}

void Parse_Entry(const std::vector<Token>& t, Entry& e, const std::string& file, int line) {
  if (t.size() < 3 || !t[1].key.empty() || t[1].quoted || !t[2].key.empty() || !t[2].quoted)
    Fail(file, line, "entry needs SORT \"LABEL\" then keys");
  e.sort = t[1].value;
  e.label = t[2].value;
  e.file = file;
  e.line = line;
  if (e.sort.empty() || e.sort.size() > 12 ||
      e.sort.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-") !=
          std::string::npos)
    Fail(file, line, "sort key must be 1 to 12 of A-Z a-z 0-9 _ -");
  if (e.sort.size() < 4) Fail(file, line, "sort key must start with a four-character maker code");
  if (e.label.empty() || e.label.size() > 31) Fail(file, line, "label must be 1 to 31 characters");
  for (char c : e.label)
    if (c < 0x20 || c > 0x7E) Fail(file, line, "label must be printable ASCII");
  if (e.label[0] == ' ') Fail(file, line, "label must start with its maker");
  bool paper = false, source = false;
  std::set<std::string> seen;
  for (size_t i = 3; i < t.size(); ++i) {
    const Token& k = t[i];
    if (k.key.empty()) Fail(file, line, "expected KEY=VALUE, found \"" + k.value + "\"");
    if (!seen.insert(k.key).second) Fail(file, line, "key \"" + k.key + "\" given twice");
    if (k.key == "paper") {
      const auto v = Numbers(k.value, 2, file, line, "paper");
      e.paper[0] = v[0];
      e.paper[1] = v[1];
      paper = true;
    } else if (k.key == "flags") {
      e.tflags = Flags(k.value, layoutnames::kTemplateFlags, file, line);
    } else if (k.key == "source") {
      if (!k.quoted || k.value.size() < 3) Fail(file, line, "source must be a quoted description");
      source = true;
    } else {
      Fail(file, line, "unknown key \"" + k.key + "\" of an entry");
    }
  }
  if (!paper) Fail(file, line, "entry without paper=");
  if (!source) Fail(file, line, "entry without source=");
}

void Parse_Unit(const std::vector<Token>& t, Section& u, const std::string& file, int line) {
  if (t.size() < 2 || !t[1].key.empty() || t[1].quoted) Fail(file, line, "unit needs its KIND");
  u.kind = layoutnames::Kind_Of(t[1].value.c_str());
  if (u.kind < 0) Fail(file, line, "unknown unit kind \"" + t[1].value + "\"");
  u.line = line;
  bool grid = false, at = false, size = false;
  std::set<std::string> seen;
  for (size_t i = 2; i < t.size(); ++i) {
    const Token& k = t[i];
    if (k.key.empty() || k.quoted) Fail(file, line, "expected KEY=VALUE, found \"" + k.value + "\"");
    if (!seen.insert(k.key).second) Fail(file, line, "key \"" + k.key + "\" given twice");
    if (k.key == "grid") {
      const size_t x = k.value.find('x');
      if (x == std::string::npos) Fail(file, line, "grid must be NXxNY");
      u.nx = Count(k.value.substr(0, x), file, line);
      u.ny = Count(k.value.substr(x + 1), file, line);
      grid = true;
    } else if (k.key == "at") {
      const auto v = Numbers(k.value, 2, file, line, "at");
      u.v[0] = v[0];
      u.v[1] = v[1];
      at = true;
    } else if (k.key == "size") {
      const auto v = Numbers(k.value, 2, file, line, "size");
      u.v[2] = v[0];
      u.v[3] = v[1];
      size = true;
    } else if (k.key == "pitch") {
      const auto v = Numbers(k.value, 2, file, line, "pitch");
      u.v[4] = v[0];
      u.v[5] = v[1];
    } else if (k.key == "bleed") {
      const auto v = Numbers(k.value, 4, file, line, "bleed");
      for (int j = 0; j < 4; ++j) u.v[6 + j] = v[j];
    } else if (k.key == "meas") {
      const auto v = Numbers(k.value, 4, file, line, "meas");
      for (int j = 0; j < 4; ++j) u.v[10 + j] = v[j];
    } else if (k.key == "uflags") {
      u.uflags = Flags(k.value, layoutnames::kUnitFlags, file, line);
    } else {
      Fail(file, line, "unknown key \"" + k.key + "\" of a unit");
    }
  }
  if (!grid || !at || !size) Fail(file, line, "unit needs grid=, at= and size=");
}

constexpr uint32_t Bit(int b) { return uint32_t(1) << b; }

// The same rules as the program's expansion, plus the paper check.
void Check_Entry(const Entry& e) {
  const std::string& f = e.file;
  if (e.units.empty()) Fail(f, e.line, "entry without units");
  if (e.units.size() > 6) Fail(f, e.units[6].line, "an entry holds at most 6 units lines");
  if (!(e.paper[0] > 0) || !(e.paper[1] > 0)) Fail(f, e.line, "paper sides must be above 0");
  if (e.paper[0] > kMaxMM || e.paper[1] > kMaxMM) Fail(f, e.line, "paper too large for print coordinates");
  const bool inches = (e.tflags & Bit(3)) != 0, pitchbetween = (e.tflags & Bit(2)) != 0;
  const bool direct = (e.tflags & Bit(0)) != 0;
  // Landscape layouts place their units on the turned page.
  const double pw = (e.tflags & Bit(1)) ? e.paper[1] : e.paper[0], ph = (e.tflags & Bit(1)) ? e.paper[0] : e.paper[1];
  if (direct && !layoutnames::Is_Direct_Disc_Kind(e.units[0].kind))
    Fail(f, e.units[0].line, "a disc-printer layout must start with a disc kind");
  uint64_t total = 0;
  for (const Section& u : e.units) {
    const double k = inches ? 25.4 : 1.0;
    const double left = u.v[0] * k, top = u.v[1] * k, w = u.v[2] * k, h = u.v[3] * k;
    double px = u.v[4] * k, py = u.v[5] * k;
    if (u.nx == 0 || u.ny == 0) Fail(f, u.line, "grid needs at least one column and one row");
    if (!(w > 0) || !(h > 0)) Fail(f, u.line, "size must be above 0");
    for (int j = 6; j < 10; ++j)
      if (u.v[j] < 0) Fail(f, u.line, "bleeds must not be below 0");
    for (int j = 10; j < 14; ++j)
      if (u.v[j] < 0) Fail(f, u.line, "meas values must not be below 0");
    const bool shortodd = (u.uflags & Bit(6)) != 0, staggered = (u.uflags & Bit(5)) != 0;
    const uint64_t n = shortodd ? uint64_t((u.ny + 1) / 2) * u.nx + uint64_t(u.ny / 2) * (u.nx - 1)
                                : uint64_t(u.nx) * u.ny;
    total += n;
    if (pitchbetween) {
      px += w;
      py += h;
    }
    // The extreme units of the grid.
    // Staggered: the shifted rows one step further right (one unit short of
    // the others with UNIT_SHORTODD).
    const double shifted = (shortodd ? 2.0 * (double(u.nx) - 2) : 2.0 * (u.nx - 1)) * px + px;
    double maxdx = staggered ? std::max(2.0 * (u.nx - 1) * px, u.ny > 1 ? shifted : 0.0) : double(u.nx - 1) * px;
    if (staggered && u.ny > 1 && px < 0) maxdx = std::min(2.0 * (u.nx - 1) * px, shifted);
    if (!staggered && u.nx == 1 && u.v[4] != 0) maxdx = double(u.ny - 1) * px;
    const double x0 = left + std::min(0.0, maxdx), x1 = left + w + std::max(0.0, maxdx);
    const double dy = double(u.ny - 1) * py;
    const double y0 = top + std::min(0.0, dy), y1 = top + h + std::max(0.0, dy);
    if (x0 - u.v[6] < -kMaxMM || y0 - u.v[7] < -kMaxMM || x1 + u.v[8] > kMaxMM || y1 + u.v[9] > kMaxMM)
      Fail(f, u.line, "units too far out for print coordinates");
    if (!direct && (x0 < -kPaperSlack || y0 < -kPaperSlack || x1 > pw + kPaperSlack || y1 > ph + kPaperSlack)) {
      char buf[160];
      std::snprintf(buf, sizeof buf, "units run off the paper: %.2f,%.2f to %.2f,%.2f on %.2f x %.2f", x0, y0, x1,
                    y1, pw, ph);
      Fail(f, u.line, buf);
    }
  }
  if (total < 1 || total > 250) Fail(f, e.line, "an entry expands to 1 to 250 units, not " + std::to_string(total));
}

std::string Brand_Of(const std::string& label) { return label.substr(0, label.find(' ')); }

void Read_File(const std::string& path, std::vector<Entry>& entries) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(path, 0, "cannot be read");
  std::string line;
  int lineno = 0;
  Entry* current = nullptr;
  while (std::getline(in, line)) {
    ++lineno;
    const auto t = Tokenize(line, path, lineno);
    if (t.empty()) continue;
    if (!t[0].key.empty() || t[0].quoted) Fail(path, lineno, "a line starts with entry or unit");
    if (t[0].value == "entry") {
      if (current) Check_Entry(*current);
      entries.emplace_back();
      current = &entries.back();
      Parse_Entry(t, *current, path, lineno);
    } else if (t[0].value == "unit") {
      if (!current) Fail(path, lineno, "unit line before any entry");
      Section u;
      Parse_Unit(t, u, path, lineno);
      current->units.push_back(u);
    } else {
      Fail(path, lineno, "unknown line kind \"" + t[0].value + "\"");
    }
  }
  if (current) Check_Entry(*current);
}

void Check_Table(const std::vector<Entry>& entries) {
  std::map<std::string, const Entry*> labels, code_brand, brand_code;
  for (const Entry& e : entries) {
    if (!labels.emplace(e.label, &e).second)
      Fail(e.file, e.line, "label \"" + e.label + "\" also at " + labels[e.label]->file + ":" +
                               std::to_string(labels[e.label]->line));
    const std::string code = e.sort.substr(0, 4), brand = Brand_Of(e.label);
    auto c = code_brand.emplace(code, &e);
    if (!c.second && Brand_Of(c.first->second->label) != brand)
      Fail(e.file, e.line, "maker code " + code + " is brand \"" + Brand_Of(c.first->second->label) + "\" at " +
                               c.first->second->file + ":" + std::to_string(c.first->second->line));
    auto b = brand_code.emplace(brand, &e);
    if (!b.second && b.first->second->sort.substr(0, 4) != code)
      Fail(e.file, e.line, "brand \"" + brand + "\" has maker code " + b.first->second->sort.substr(0, 4) + " at " +
                               b.first->second->file + ":" + std::to_string(b.first->second->line));
  }
}

std::string Float(float v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.9gf", double(v));
  std::string s = buf;
  if (s.find_first_of(".e") == std::string::npos) s.insert(s.size() - 1, ".0");
  return s;
}

std::string C_String(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '?') {
      out += "\\?";  // no trigraphs
      continue;
    }
    out += c;
  }
  return out + "\"";
}

void Write_Cpp(const std::string& path, const std::vector<Entry>& entries, const std::vector<std::string>& inputs) {
  std::ostringstream o;
  o << "// Generated by velmor_layoutc from";
  for (const auto& i : inputs) o << " " << i.substr(i.find_last_of('/') + 1);
  o << "; do not edit.\n#include \"doc/VoskTmpl.h\"\n\n";
  for (int k = 0; k < layoutnames::kNumKinds; ++k)
    o << "static_assert(" << layoutnames::kKinds[k] << " == " << k << ");\n";
  for (const auto& b : layoutnames::kTemplateFlags) o << "static_assert(" << b.name << " == " << b.bit << ");\n";
  for (const auto& b : layoutnames::kUnitFlags) o << "static_assert(" << b.name << " == " << b.bit << ");\n";
  o << "static_assert(NUNITKINDS == " << layoutnames::kNumKinds << ");\n\n";
  o << "const a_ctemplate g_ctemplates[] = {\n";
  for (const Entry& e : entries) {
    o << "    {{";
    for (size_t i = 0; i < 12; ++i) {
      if (i) o << ",";
      if (i < e.sort.size())
        o << "'" << e.sort[i] << "'";
      else
        o << "0";
    }
    o << "}, " << C_String(e.label) << ", 3, 0x" << std::hex << e.tflags << std::dec << "u, {" << Float(e.paper[0])
      << ", " << Float(e.paper[1]) << "}, " << e.units.size() << ", {";
    for (size_t s = 0; s < e.units.size(); ++s) {
      const Section& u = e.units[s];
      o << (s ? ", " : "") << "{" << layoutnames::kKinds[u.kind] << ", 0x" << std::hex << u.uflags << std::dec
        << "u, " << u.nx << ", " << u.ny;
      for (float v : u.v) o << ", " << Float(v);
      o << "}";
    }
    o << "}},  // " << e.file.substr(e.file.find_last_of('/') + 1) << ":" << e.line << "\n";
  }
  o << "};\n\nconst uint32 NTEMPLATES = " << entries.size() << ";\n";
  o << "static_assert(" << entries.size() << " <= MAXNTEMPLATES);\n";
  o << "static_assert(sizeof g_ctemplates / sizeof g_ctemplates[0] == " << entries.size() << ");\n";
  const std::string text = o.str();
  // Leave an unchanged file alone so that nothing depending on it rebuilds.
  std::ifstream old(path, std::ios::binary);
  if (old) {
    std::stringstream ss;
    ss << old.rdbuf();
    if (ss.str() == text) return;
  }
  const std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) Fail(path, 0, "cannot be written");
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) Fail(path, 0, "cannot be written");
}

}  // namespace

int main(int argc, char** argv) {
  std::string out;
  std::vector<std::string> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--cpp" && i + 1 < argc)
      out = argv[++i];
    else
      inputs.push_back(a);
  }
  if (out.empty() || inputs.empty()) {
    std::fprintf(stderr, "usage: velmor_layoutc --cpp OUT.cpp CATALOGUE.txt...\n");
    return 2;
  }
  try {
    std::vector<Entry> entries;
    for (const auto& in : inputs) Read_File(in, entries);
    Check_Table(entries);
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
      char ka[12] = {}, kb[12] = {};
      std::memcpy(ka, a.sort.data(), a.sort.size());
      std::memcpy(kb, b.sort.data(), b.sort.size());
      const int c = std::memcmp(ka, kb, 12);
      return c != 0 ? c < 0 : a.label < b.label;
    });
    if (entries.size() > 3000) Fail(inputs.back(), 0, "more than 3000 entries");
    Write_Cpp(out, entries, inputs);
  } catch (const Failure& f) {
    std::fprintf(stderr, "%s: %s\n", f.where.c_str(), f.what.c_str());
    return 1;
  }
  return 0;
}
