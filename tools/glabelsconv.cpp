// velmor_glabelsconv: converts the label-sheet database of Debian's
// glabels-data package (its XML template files, unpacked, not installed)
// into catalogue rows for data/layouts/converted.txt. Run by hand through
// scripts/convert-layouts.sh, never at build time: the committed rows build
// alike everywhere, and a change of package shows as a diff.
//
// Usage: velmor_glabelsconv --templates DIR --overrides FILE --out FILE [--report FILE]
// The report (standard output without --report) names every template and
// alias left out, and why. Errors: "FILE:LINE: message", exit status 1.
//
// Mapping: a rectangle is UNIT_RECT (meas1 the corner radius), a round label
// UNIT_CIRCLE, an ellipse UNIT_OVAL, a disc UNIT_CD (100 mm across and more),
// UNIT_MINICD_RING (60 mm and more) or UNIT_CD_CORE, with meas1 the hole
// diameter; a disc cut flat at the top and bottom is UNIT_MINICD_HOCKEY; one
// cut at the sides (portrait) has no kind and is left out. Waste becomes
// bleed. Lengths become millimetres (a bare number is in points). Each
// layout is a section; a pitch across one column or down one row is 0. The
// templates of one sheet (a part and its "(...)" variants, or -Disc and
// -Spine) merge into one entry when they share the paper, do not overlap and
// make at most 6 sections. Aliases (equiv) get entries of their own. Sheets
// of more than 250 labels are left out. The override table sets media kinds
// (by the package's categories, then by template) and mends values that
// disagree with the maker's sheet; it can turn a portrait sheet onto its
// landscape page (a portrait business-card disc is then a disc cut at the top
// and bottom) and add unit flags.
//
// Unit flags found from the geometry: two layouts of one label whose rows
// alternate, every other row shifted by half the pitch, become one staggered
// grid (short in the shifted rows when they hold one label less); bleeds
// that would run into the neighbouring label stay on the outside of the grid
// in that direction; a round label whose box (with its bleed) overlaps
// another label's box is clipped to its circle when printed.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "LayoutNames.h"

namespace fs = std::filesystem;

namespace {

struct Failure {
  std::string where, what;
};
[[noreturn]] void Fail(const std::string& where, const std::string& what) { throw Failure{where, what}; }

// --- A small XML reader: elements, attributes, comments; text is skipped ---

struct Element {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attrs;
  std::vector<Element> children;
  int line = 0;
  const std::string* Attr(const std::string& key) const {
    for (const auto& a : attrs)
      if (a.first == key) return &a.second;
    return nullptr;
  }
};

class XmlReader {
 public:
  XmlReader(std::string text, std::string file) : s_(std::move(text)), file_(std::move(file)) {}

  Element Parse() {
    Element root;
    Skip_Misc();
    if (!Parse_Element(root)) Fail(Where(), "no root element");
    Skip_Misc();
    if (p_ < s_.size()) Fail(Where(), "text after the root element");
    return root;
  }

 private:
  std::string Where() const {
    return file_ + ":" + std::to_string(1 + std::count(s_.begin(), s_.begin() + long(std::min(p_, s_.size())), '\n'));
  }
  bool Starts(const char* t) const { return s_.compare(p_, std::strlen(t), t) == 0; }
  void Skip_Space() {
    while (p_ < s_.size() && std::strchr(" \t\r\n", s_[p_])) ++p_;
  }
  void Skip_Until(const char* end) {
    const size_t q = s_.find(end, p_);
    if (q == std::string::npos) Fail(Where(), std::string("missing ") + end);
    p_ = q + std::strlen(end);
  }
  // Prolog, comments, processing instructions, doctype and text.
  void Skip_Misc() {
    for (;;) {
      Skip_Space();
      if (Starts("<!--"))
        Skip_Until("-->");
      else if (Starts("<?"))
        Skip_Until("?>");
      else if (Starts("<!"))
        Skip_Until(">");
      else
        return;
    }
  }
  std::string Name() {
    const size_t b = p_;
    while (p_ < s_.size() && (std::isalnum(uint8_t(s_[p_])) || std::strchr("_-:.", s_[p_]))) ++p_;
    if (b == p_) Fail(Where(), "expected a name");
    return s_.substr(b, p_ - b);
  }
  std::string Unescape(const std::string& v) {
    std::string out;
    for (size_t i = 0; i < v.size(); ++i) {
      if (v[i] != '&') {
        out += v[i];
        continue;
      }
      const size_t semi = v.find(';', i);
      if (semi == std::string::npos) Fail(Where(), "bad entity");
      const std::string ent = v.substr(i + 1, semi - i - 1);
      if (ent == "amp") out += '&';
      else if (ent == "lt") out += '<';
      else if (ent == "gt") out += '>';
      else if (ent == "quot") out += '"';
      else if (ent == "apos") out += '\'';
      else if (!ent.empty() && ent[0] == '#') {
        const long cp = ent.size() > 1 && ent[1] == 'x' ? std::strtol(ent.c_str() + 2, nullptr, 16)
                                                       : std::strtol(ent.c_str() + 1, nullptr, 10);
        out += cp < 0x80 ? char(cp) : '?';
      } else
        Fail(Where(), "unknown entity &" + ent + ";");
      i = semi;
    }
    return out;
  }
  bool Parse_Element(Element& e) {
    if (p_ >= s_.size() || s_[p_] != '<') return false;
    e.line = int(1 + std::count(s_.begin(), s_.begin() + long(p_), '\n'));
    ++p_;
    e.name = Name();
    for (;;) {
      Skip_Space();
      if (Starts("/>")) {
        p_ += 2;
        return true;
      }
      if (Starts(">")) {
        ++p_;
        break;
      }
      const std::string key = Name();
      Skip_Space();
      if (p_ >= s_.size() || s_[p_] != '=') Fail(Where(), "expected = after " + key);
      ++p_;
      Skip_Space();
      if (p_ >= s_.size() || (s_[p_] != '"' && s_[p_] != '\'')) Fail(Where(), "expected a quoted value");
      const char q = s_[p_++];
      const size_t end = s_.find(q, p_);
      if (end == std::string::npos) Fail(Where(), "unterminated value");
      e.attrs.emplace_back(key, Unescape(s_.substr(p_, end - p_)));
      p_ = end + 1;
    }
    for (;;) {
      // Text between elements is not used.
      while (p_ < s_.size() && s_[p_] != '<') ++p_;
      if (p_ >= s_.size()) Fail(Where(), "element " + e.name + " not closed");
      if (Starts("</")) {
        p_ += 2;
        const std::string n = Name();
        if (n != e.name) Fail(Where(), "</" + n + "> closes <" + e.name + ">");
        Skip_Space();
        if (p_ >= s_.size() || s_[p_] != '>') Fail(Where(), "bad end tag");
        ++p_;
        return true;
      }
      if (Starts("<!--") || Starts("<?") || Starts("<!")) {
        Skip_Misc();
        continue;
      }
      Element c;
      Parse_Element(c);
      e.children.push_back(std::move(c));
    }
  }

  std::string s_, file_;
  size_t p_ = 0;
};

std::string Read_Text(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) Fail(p.string(), "cannot be read");
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// --- Lengths -------------------------------------------------------------------

// Values the package holds without a number ("", "in"), read as 0 as
// glabels itself does; the report lists them.
std::vector<std::string> g_notes;

// A length with its unit, in millimetres; a bare number is in points.
double Length(const std::string& v, const std::string& where) {
  char* end = nullptr;
  const double x = std::strtod(v.c_str(), &end);
  if (end == v.c_str()) {
    const std::string rest = v.substr(v.find_first_not_of(" \t") == std::string::npos ? v.size() : v.find_first_not_of(" \t"));
    if (rest.empty() || rest == "pt" || rest == "mm" || rest == "cm" || rest == "in" || rest == "pc") {
      g_notes.push_back(where + ": length \"" + v + "\" without a number, read as 0");
      return 0;
    }
    Fail(where, "bad length \"" + v + "\"");
  }
  std::string unit(end);
  unit.erase(std::remove_if(unit.begin(), unit.end(), [](char c) { return std::isspace(uint8_t(c)); }), unit.end());
  double k;
  if (unit.empty() || unit == "pt") k = 25.4 / 72.0;
  else if (unit == "mm") k = 1.0;
  else if (unit == "cm") k = 10.0;
  else if (unit == "in") k = 25.4;
  else if (unit == "pc") k = 25.4 / 6.0;
  else Fail(where, "unknown unit \"" + unit + "\"");
  if (!std::isfinite(x)) Fail(where, "bad length \"" + v + "\"");
  return x * k;
}

double Length_Attr(const Element& e, const char* key, double dflt, const std::string& where) {
  const std::string* v = e.Attr(key);
  return v ? Length(*v, where) : dflt;
}

// Millimetres as written in the rows: at most four decimals, no trailing zeros.
std::string MM(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.4f", v);
  std::string s = buf;
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s;
}

// --- Templates -----------------------------------------------------------------

struct Section {
  int kind = 0;
  uint32_t uflags = 0;
  uint32_t nx = 1, ny = 1;
  double x0 = 0, y0 = 0, w = 0, h = 0, dx = 0, dy = 0;
  double bleed[4] = {};  // left, top, right, bottom
  double meas[4] = {};
  double hole = 0;  // ring hole diameter, for the overlap test
};

struct Tmpl {
  std::string brand, part, file;
  int line = 0;
  double paper[2] = {};
  uint32_t tflags = 0;
  std::vector<Section> sections;
  std::string left_out;  // why, when left out
  bool portrait_disc = false;  // a business-card disc cut at the sides
  std::set<std::string> categories;
  double stagger_slack = 0.05;  // mm two layouts may miss a staggered grid by
  std::vector<std::string> mends;  // override notes, for the source text
};

struct Alias {
  std::string brand, part, equiv, file;
  int line = 0;
};

struct Row {
  std::string sort, label, source;
  double paper[2] = {};
  uint32_t tflags = 0;
  std::vector<Section> sections;
};

std::map<std::string, std::pair<double, double>> g_papers;
// From the override table: maker codes set by hand where two brands would
// share one, and brands spelled two ways by the package.
std::map<std::string, std::string> g_maker_codes, g_brand_names;

std::string Where(const std::string& file, int line) { return file + ":" + std::to_string(line); }

void Read_Papers(const fs::path& dir) {
  const fs::path p = dir / "paper-sizes.xml";
  const Element root = XmlReader(Read_Text(p), p.filename().string()).Parse();
  for (const Element& e : root.children) {
    if (e.name != "Paper-size") continue;
    const std::string w = Where(p.filename().string(), e.line);
    const std::string* id = e.Attr("id");
    if (!id) Fail(w, "paper size without id");
    g_papers[*id] = {Length_Attr(e, "width", 0, w), Length_Attr(e, "height", 0, w)};
  }
}

void Read_Templates(const fs::path& file, std::vector<Tmpl>& out, std::vector<Alias>& aliases) {
  const std::string fname = file.filename().string();
  const Element root = XmlReader(Read_Text(file), fname).Parse();
  for (const Element& t : root.children) {
    if (t.name != "Template") continue;
    const std::string w = Where(fname, t.line);
    const std::string* brand = t.Attr("brand");
    const std::string* part = t.Attr("part");
    if (!brand || !part) Fail(w, "template without brand or part");
    if (const std::string* eq = t.Attr("equiv")) {
      aliases.push_back({*brand, *part, *eq, fname, t.line});
      continue;
    }
    Tmpl m;
    m.brand = *brand;
    m.part = *part;
    m.file = fname;
    m.line = t.line;
    const std::string* size = t.Attr("size");
    if (!size) Fail(w, "template without size");
    if (*size == "Other") {
      m.paper[0] = Length_Attr(t, "width", 0, w);
      m.paper[1] = Length_Attr(t, "height", 0, w);
    } else {
      auto it = g_papers.find(*size);
      if (it == g_papers.end()) Fail(w, "unknown paper size \"" + *size + "\"");
      m.paper[0] = it->second.first;
      m.paper[1] = it->second.second;
    }
    for (const Element& meta : t.children)
      if (meta.name == "Meta")
        if (const std::string* c = meta.Attr("category")) m.categories.insert(*c);
    int nlabels = 0;
    for (const Element& l : t.children) {
      if (l.name.rfind("Label-", 0) != 0) continue;
      ++nlabels;
      const std::string lw = Where(fname, l.line);
      Section base;
      if (l.name == "Label-rectangle" || l.name == "Label-ellipse") {
        base.kind = l.name == "Label-rectangle" ? layoutnames::Kind_Of("UNIT_RECT") : layoutnames::Kind_Of("UNIT_OVAL");
        base.w = Length_Attr(l, "width", 0, lw);
        base.h = Length_Attr(l, "height", 0, lw);
        if (l.name == "Label-rectangle") base.meas[0] = Length_Attr(l, "round", 0, lw);
        const double waste = Length_Attr(l, "waste", 0, lw);
        const double xw = Length_Attr(l, "x_waste", waste, lw), yw = Length_Attr(l, "y_waste", waste, lw);
        base.bleed[0] = base.bleed[2] = xw;
        base.bleed[1] = base.bleed[3] = yw;
      } else if (l.name == "Label-round") {
        base.kind = layoutnames::Kind_Of("UNIT_CIRCLE");
        base.w = base.h = 2 * Length_Attr(l, "radius", 0, lw);
        const double waste = Length_Attr(l, "waste", 0, lw);
        for (double& b : base.bleed) b = waste;
      } else if (l.name == "Label-cd") {
        const double d = 2 * Length_Attr(l, "radius", 0, lw);
        base.hole = 2 * Length_Attr(l, "hole", 0, lw);
        base.meas[0] = base.hole;
        const double waste = Length_Attr(l, "waste", 0, lw);
        for (double& b : base.bleed) b = waste;
        const double cw = Length_Attr(l, "width", d, lw), ch = Length_Attr(l, "height", d, lw);
        if (cw < d - 1e-9) {
          m.left_out = "portrait business-card disc (cut at the sides), a shape the program does not have";
          m.portrait_disc = true;
          base.kind = layoutnames::Kind_Of("UNIT_MINICD_HOCKEY");
          base.w = cw;
          base.h = d;
        } else if (ch < d - 1e-9) {
          base.kind = layoutnames::Kind_Of("UNIT_MINICD_HOCKEY");
        } else if (d >= 100) {
          base.kind = layoutnames::Kind_Of("UNIT_CD");
        } else if (d >= 60) {
          base.kind = layoutnames::Kind_Of("UNIT_MINICD_RING");
        } else {
          base.kind = layoutnames::Kind_Of("UNIT_CD_CORE");
        }
        if (!m.portrait_disc) {
          base.w = d;
          base.h = std::min(ch, d);
        }
      } else {
        Fail(lw, "unknown label shape " + l.name);
      }
      for (const Element& lay : l.children) {
        if (lay.name != "Layout") continue;
        const std::string yw = Where(fname, lay.line);
        Section s = base;
        const std::string* nx = lay.Attr("nx");
        const std::string* ny = lay.Attr("ny");
        if (!nx || !ny) Fail(yw, "layout without nx or ny");
        s.nx = uint32_t(std::strtoul(nx->c_str(), nullptr, 10));
        s.ny = uint32_t(std::strtoul(ny->c_str(), nullptr, 10));
        s.x0 = Length_Attr(lay, "x0", 0, yw);
        s.y0 = Length_Attr(lay, "y0", 0, yw);
        s.dx = Length_Attr(lay, "dx", 0, yw);
        s.dy = Length_Attr(lay, "dy", 0, yw);
        // A pitch across one column or down one row means nothing, and a
        // single column with a horizontal pitch would run diagonally.
        if (s.nx == 1) s.dx = 0;
        if (s.ny == 1) s.dy = 0;
        if (s.nx == 0 || s.ny == 0) Fail(yw, "layout without labels");
        m.sections.push_back(s);
      }
    }
    if (nlabels != 1) Fail(w, "a template holds one label shape");
    if (m.sections.empty()) Fail(w, "template without layouts");
    out.push_back(std::move(m));
  }
}

// --- Overrides -----------------------------------------------------------------

struct Override {
  std::string brand, part, file;
  std::vector<std::string> categories;  // a category rule: every one of these
  int line = 0;
  std::vector<std::pair<std::string, std::string>> sets;
  std::string note;
  bool used = false;
};

std::vector<Override> Read_Overrides(const fs::path& p) {
  std::vector<Override> out;
  std::ifstream in(p, std::ios::binary);
  if (!in) Fail(p.string(), "cannot be read");
  std::string line;
  int n = 0;
  const std::string fname = p.filename().string();
  while (std::getline(in, line)) {
    ++n;
    const std::string w = Where(fname, n);
    size_t i = line.find_first_not_of(" \t\r");
    if (i == std::string::npos || line[i] == '#') continue;
    if (line.compare(i, 6, "maker ") == 0) {
      // maker "BRAND" code=XXXX | brand=NAME  # why
      const size_t q1 = line.find('"', i), q2 = q1 == std::string::npos ? q1 : line.find('"', q1 + 1);
      const size_t hash = line.find('#', i);
      if (q2 == std::string::npos || hash == std::string::npos) Fail(w, "expected maker \"BRAND\" KEY=VALUE # why");
      const std::string brand = line.substr(q1 + 1, q2 - q1 - 1);
      std::istringstream words(line.substr(q2 + 1, hash - q2 - 1));
      std::string word;
      int nset = 0;
      while (words >> word) {
        ++nset;
        if (word.rfind("code=", 0) == 0 && word.size() == 9)
          g_maker_codes[brand] = word.substr(5);
        else if (word.rfind("brand=", 0) == 0 && word.size() > 6)
          g_brand_names[brand] = word.substr(6);
        else
          Fail(w, "expected code=XXXX or brand=NAME, found \"" + word + "\"");
      }
      if (nset == 0) Fail(w, "maker line without a change");
      continue;
    }
    Override o;
    o.file = fname;
    o.line = n;
    const bool by_category = line.compare(i, 9, "category ") == 0;
    if (by_category) i += 9;
    auto quoted = [&](std::string& dst) {
      i = line.find_first_not_of(" \t", i);
      if (i == std::string::npos || line[i] != '"') Fail(w, "expected \"BRAND\" \"PART\"");
      const size_t e = line.find('"', i + 1);
      if (e == std::string::npos) Fail(w, "unterminated string");
      dst = line.substr(i + 1, e - i - 1);
      i = e + 1;
    };
    if (by_category) {
      // category "NAME[+NAME...]" KEY=VALUE... # why
      std::string names;
      quoted(names);
      size_t start = 0;
      for (;;) {
        const size_t plus = names.find('+', start);
        o.categories.push_back(names.substr(start, plus == std::string::npos ? std::string::npos : plus - start));
        if (o.categories.back().empty()) Fail(w, "empty category name");
        if (plus == std::string::npos) break;
        start = plus + 1;
      }
    } else {
      quoted(o.brand);
      quoted(o.part);
    }
    const size_t hash = line.find('#', i);
    if (hash == std::string::npos) Fail(w, "each override says why after #");
    o.note = line.substr(line.find_first_not_of(" #", hash));
    while (!o.note.empty() && (o.note.back() == ' ' || o.note.back() == '\r')) o.note.pop_back();
    std::istringstream words(line.substr(i, hash - i));
    std::string word;
    while (words >> word) {
      const size_t eq = word.find('=');
      if (eq == std::string::npos) Fail(w, "expected KEY=VALUE, found \"" + word + "\"");
      o.sets.emplace_back(word.substr(0, eq), word.substr(eq + 1));
    }
    if (o.sets.empty()) Fail(w, "override without a change");
    out.push_back(o);
  }
  return out;
}

// The section as it lies on the page turned a quarter counter-clockwise (the
// portrait top edge on the left), on a portrait sheet paper_w wide.
Section Turned(const Section& s, double paper_w) {
  Section t = s;
  t.nx = s.ny;
  t.ny = s.nx;
  t.x0 = s.y0;
  t.y0 = paper_w - (s.x0 + (s.nx - 1) * s.dx + s.w);
  t.dx = s.dy;
  t.dy = s.dx;
  t.w = s.h;
  t.h = s.w;
  t.bleed[0] = s.bleed[1];
  t.bleed[1] = s.bleed[2];
  t.bleed[2] = s.bleed[3];
  t.bleed[3] = s.bleed[0];
  return t;
}

void Apply(Override& o, Tmpl& m) {
  const std::string w = Where(o.file, o.line);
  o.used = true;
  for (const auto& kv : o.sets) {
    const std::string& k = kv.first;
    const std::string& v = kv.second;
    if (k == "turn") {
      if (v != "landscape") Fail(w, "turn=landscape is the only turn");
      if (m.tflags & (uint32_t(1) << layoutnames::Bit_Of(layoutnames::kTemplateFlags, "IS_LANDSCAPE")))
        Fail(w, "the sheet is turned already");
      for (Section& s : m.sections) s = Turned(s, m.paper[0]);
      m.tflags |= uint32_t(1) << layoutnames::Bit_Of(layoutnames::kTemplateFlags, "IS_LANDSCAPE");
      // Turned, a portrait business-card disc is cut at the top and bottom.
      if (m.portrait_disc) m.left_out.clear();
    } else if (k == "uflags") {
      const int bit = layoutnames::Bit_Of(layoutnames::kUnitFlags, v.c_str());
      if (bit < 0) Fail(w, "unknown unit flag " + v);
      for (Section& s : m.sections) s.uflags |= uint32_t(1) << bit;
    } else if (k == "stagger") {
      char* end = nullptr;
      const double x = std::strtod(v.c_str(), &end);
      if (end == v.c_str() || *end != 0 || !(x >= 0 && x <= 1)) Fail(w, "stagger= takes 0 to 1 mm");
      m.stagger_slack = x;
    } else if (k == "kind") {
      const int kind = layoutnames::Kind_Of(v.c_str());
      if (kind < 0) Fail(w, "unknown kind " + v);
      for (Section& s : m.sections) s.kind = kind;
    } else if (k == "tflags") {
      const int bit = layoutnames::Bit_Of(layoutnames::kTemplateFlags, v.c_str());
      if (bit < 0) Fail(w, "unknown flag " + v);
      m.tflags |= uint32_t(1) << bit;
    } else if (k == "x0" || k == "y0" || k == "dx" || k == "dy" || k == "meas1" || k == "meas2" || k == "meas3" ||
               k == "meas4") {
      char* end = nullptr;
      const double x = std::strtod(v.c_str(), &end);
      if (end == v.c_str() || *end != 0 || !std::isfinite(x)) Fail(w, "bad number " + v);
      for (Section& s : m.sections) {
        if (k == "x0") s.x0 = x;
        else if (k == "y0") s.y0 = x;
        else if (k == "dx") s.dx = s.nx == 1 ? 0 : x;
        else if (k == "dy") s.dy = s.ny == 1 ? 0 : x;
        else s.meas[k[4] - '1'] = x;
      }
    } else {
      Fail(w, "unknown override key " + k);
    }
  }
  if (o.categories.empty()) m.mends.push_back(o.note);
}

bool In_Categories(const Override& o, const Tmpl& m) {
  for (const std::string& c : o.categories)
    if (!m.categories.count(c)) return false;
  return true;
}

// --- Merging and rows ----------------------------------------------------------

uint64_t Units_Of(const std::vector<Section>& ss) {
  uint64_t n = 0;
  for (const Section& s : ss)
    n += (s.uflags & (uint32_t(1) << 6)) ? uint64_t((s.ny + 1) / 2) * s.nx + uint64_t(s.ny / 2) * (s.nx - 1)
                                         : uint64_t(s.nx) * s.ny;
  return n;
}

// How far a label may stand past the sheet's edge (rounding in the data);
// the catalogue compiler allows the same.
constexpr double kPaperSlack = 2.0;

struct Box {
  double l, t, r, b;
  double cx, cy, hole;  // centre and ring hole diameter (0: no hole)
  bool round;           // a circle or disc (the whole box otherwise)
};

constexpr uint32_t kStaggered = uint32_t(1) << 5, kShortOdd = uint32_t(1) << 6;

std::vector<Box> Boxes(const std::vector<Section>& ss) {
  std::vector<Box> out;
  for (const Section& s : ss)
    for (uint32_t c = 0; c < s.nx; ++c)
      for (uint32_t r = 0; r < s.ny; ++r) {
        if ((s.uflags & kShortOdd) && r % 2 == 1 && c + 1 == s.nx) continue;
        // As the program expands a grid: staggered units two steps apart,
        // every other row one step further right.
        const double l = (s.uflags & kStaggered) ? s.x0 + 2 * c * s.dx + (r % 2 == 1 ? s.dx : 0) : s.x0 + c * s.dx;
        const double t = s.y0 + r * s.dy;
        const bool round = s.w == s.h && (s.kind == layoutnames::Kind_Of("UNIT_CIRCLE") || s.hole > 0);
        out.push_back({l, t, l + s.w, t + s.h, l + s.w / 2, t + s.h / 2, s.hole, round});
      }
  return out;
}

// b lies in a's hole.
bool Inside_Hole(const Box& a, const Box& b) {
  if (a.hole <= 0) return false;
  const double r = a.hole / 2;
  for (double x : {b.l, b.r})
    for (double y : {b.t, b.b})
      if (std::hypot(x - a.cx, y - a.cy) > r + 1e-6) return false;
  return true;
}

bool Overlap(const std::vector<Section>& a, const std::vector<Section>& b) {
  const auto ba = Boxes(a), bb = Boxes(b);
  for (const Box& x : ba)
    for (const Box& y : bb) {
      bool meet = x.l < y.r - 0.01 && y.l < x.r - 0.01 && x.t < y.b - 0.01 && y.t < x.b - 0.01;
      // Round labels meet only where their circles do.
      if (meet && x.round && y.round) {
        meet = std::hypot(x.cx - y.cx, x.cy - y.cy) < (x.r - x.l) / 2 + (y.r - y.l) / 2 - 0.01;
      } else if (meet && (x.round || y.round)) {
        const Box& c = x.round ? x : y;
        const Box& q = x.round ? y : x;
        const double px = std::clamp(c.cx, q.l, q.r), py = std::clamp(c.cy, q.t, q.b);
        meet = std::hypot(px - c.cx, py - c.cy) < (c.r - c.l) / 2 - 0.01;
      }
      if (meet && !Inside_Hole(x, y) && !Inside_Hole(y, x)) return true;
    }
  return false;
}

// --- Unit flags from the geometry -----------------------------------------------

bool Near(double a, double b, double slack) { return std::fabs(a - b) <= slack; }

// A staggered grid a and one more row b of the same label where the grid's
// next row stands: a grid one row longer.
bool Stagger_Further(const Section& a, const Section& b, double slack, Section& out) {
  if (b.ny != 1) return false;
  for (int k = 0; k < 4; ++k)
    if (a.bleed[k] != b.bleed[k] || a.meas[k] != b.meas[k]) return false;
  const bool shifted = a.ny % 2 == 1;  // the next row, 0-based a.ny, is odd
  const uint32_t n = shifted && (a.uflags & kShortOdd) ? a.nx - 1 : a.nx;
  if (b.nx != n || (b.nx > 1 && !Near(b.dx, 2 * a.dx, 2 * slack))) return false;
  if (!Near(b.x0, a.x0 + (shifted ? a.dx : 0), slack) || !Near(b.y0, a.y0 + a.ny * a.dy, slack)) return false;
  out = a;
  out.ny = a.ny + 1;
  return true;
}

// Two layouts a and b of one label whose rows alternate (b's rows half a's
// row pitch below a's, shifted right by s; a's labels 2s apart across, b's
// the same or one fewer): one staggered grid starting at a.
bool Stagger(const Section& a, const Section& b, double slack, Section& out) {
  if (a.kind != b.kind || a.w != b.w || a.h != b.h || (a.uflags & ~(kStaggered | kShortOdd)) != b.uflags) return false;
  if (a.uflags & (kStaggered | kShortOdd)) return Stagger_Further(a, b, slack, out);
  for (int k = 0; k < 4; ++k)
    if (a.bleed[k] != b.bleed[k] || a.meas[k] != b.meas[k]) return false;
  if (b.ny != a.ny && b.ny + 1 != a.ny) return false;
  if (b.nx != a.nx && b.nx + 1 != a.nx) return false;
  // The row pitch of the merged grid: half a's, or b's distance below a.
  const double p = a.ny > 1 ? a.dy / 2 : b.y0 - a.y0;
  if (!(p > 0) || (b.ny > 1 && !Near(b.dy, a.dy, slack)) || !Near(b.y0, a.y0 + p, slack)) return false;
  const double shift = b.x0 - a.x0;
  if (std::fabs(shift) < 1) return false;  // one plain column, not staggered
  if (a.nx > 1 && !Near(a.dx, 2 * shift, 2 * slack)) return false;
  if (b.nx > 1 && !Near(b.dx, a.dx, slack)) return false;
  // Rows alternate to the end: a's rows are the odd ones.
  const uint32_t rows = a.ny + b.ny;
  if ((rows + 1) / 2 != a.ny) return false;
  out = a;
  out.ny = rows;
  out.dy = p;
  out.dx = a.nx > 1 ? a.dx / 2 : shift;
  out.uflags = a.uflags | kStaggered;
  if (b.nx + 1 == a.nx) out.uflags |= kShortOdd;
  return true;
}

void Merge_Staggered(Tmpl& m) {
  for (size_t i = 0; i + 1 < m.sections.size();) {
    Section merged;
    if (Stagger(m.sections[i], m.sections[i + 1], m.stagger_slack, merged)) {
      m.sections[i] = merged;
      m.sections.erase(m.sections.begin() + long(i) + 1);
    } else {
      ++i;
    }
  }
}

// Bleeds that would run into the neighbouring label stay on the outside of
// the grid in that direction: across (left and right), down (top and
// bottom), or both.
void Mark_Bleeds(Tmpl& m) {
  for (Section& s : m.sections) {
    if (s.uflags & kStaggered) continue;
    const bool across = s.nx > 1 && s.dx - s.w < s.bleed[0] + s.bleed[2] - 1e-6;
    const bool down = s.ny > 1 && s.dy - s.h < s.bleed[1] + s.bleed[3] - 1e-6;
    if (across && down) s.uflags |= uint32_t(1) << 10;        // UNIT_PERIMETERBLEED
    else if (across) s.uflags |= uint32_t(1) << 12;            // UNIT_PERIMETERPLUSV: top and bottom kept
    else if (down) s.uflags |= uint32_t(1) << 11;              // UNIT_PERIMETERPLUSH: left and right kept
  }
}

// A round label whose box with its bleed overlaps another label's box is
// clipped to its circle when printed, so that its picture's corners do not
// paint over the neighbour.
void Mark_Clobbers(std::vector<Section>& ss) {
  const auto boxes = Boxes(ss);
  size_t at = 0;
  for (Section& s : ss) {
    const size_t n = size_t(Units_Of({s}));
    const bool round = s.w == s.h && (s.kind == layoutnames::Kind_Of("UNIT_CIRCLE") || s.hole > 0);
    for (size_t i = at; round && i < at + n; ++i) {
      const Box& a = boxes[i];
      const double l = a.l - s.bleed[0], t = a.t - s.bleed[1], r = a.r + s.bleed[2], b = a.b + s.bleed[3];
      for (size_t j = 0; j < boxes.size(); ++j)
        if (j != i && l < boxes[j].r - 0.01 && boxes[j].l < r - 0.01 && t < boxes[j].b - 0.01 && boxes[j].t < b - 0.01)
          s.uflags |= uint32_t(1) << 8;  // UNIT_CLOBBERS
    }
    at += n;
  }
}

// The sheet a part belongs to: the part without a "(...)" variant or a
// -Disc, -Spine or -Face ending.
std::string Base_Part(const std::string& part) {
  std::string b = part;
  const size_t paren = b.find(" (");
  if (paren != std::string::npos && b.back() == ')') b = b.substr(0, paren);
  for (const char* suffix : {"-Disc", "-Spine", "-Face"}) {
    const size_t n = std::strlen(suffix);
    if (b.size() > n && b.compare(b.size() - n, n, suffix) == 0) return b.substr(0, b.size() - n);
  }
  return b;
}

std::string Maker_Code(const std::string& brand) {
  auto set = g_maker_codes.find(brand);
  if (set != g_maker_codes.end()) return set->second;
  std::string code;
  for (char c : brand)
    if (std::isalnum(uint8_t(c)) && code.size() < 4) code += char(std::toupper(uint8_t(c)));
  while (code.size() < 4) code += '_';
  return code;
}

std::string Sort_Key(const std::string& brand, const std::string& part) {
  std::string key = Maker_Code(brand);
  for (char c : part)
    if (std::isalnum(uint8_t(c)) && key.size() < 12) key += char(std::toupper(uint8_t(c)));
  while (key.size() < 12) key += '_';
  return key;
}

std::string Brand_Word(const std::string& brand) {
  std::string b = brand;
  std::replace(b.begin(), b.end(), ' ', '_');
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir, overrides_path, out_path, report_path;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--templates") dir = argv[i + 1];
    else if (a == "--overrides") overrides_path = argv[i + 1];
    else if (a == "--out") out_path = argv[i + 1];
    else if (a == "--report") report_path = argv[i + 1];
    else {
      std::fprintf(stderr, "unknown option %s\n", a.c_str());
      return 2;
    }
  }
  if (dir.empty() || overrides_path.empty() || out_path.empty()) {
    std::fprintf(stderr, "usage: velmor_glabelsconv --templates DIR --overrides FILE --out FILE [--report FILE]\n");
    return 2;
  }
  try {
    Read_Papers(dir);
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir)) {
      const std::string n = e.path().filename().string();
      if (n.size() > 14 && n.compare(n.size() - 14, 14, "-templates.xml") == 0) files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) Fail(dir, "no *-templates.xml files");
    std::vector<Tmpl> tmpls;
    std::vector<Alias> aliases;
    for (const auto& f : files) Read_Templates(f, tmpls, aliases);

    auto overrides = Read_Overrides(overrides_path);
    for (Tmpl& m : tmpls)
      if (g_brand_names.count(m.brand)) m.brand = g_brand_names[m.brand];
    for (Alias& a : aliases)
      if (g_brand_names.count(a.brand)) a.brand = g_brand_names[a.brand];
    std::map<std::pair<std::string, std::string>, Tmpl*> by_name;
    for (Tmpl& m : tmpls) {
      if (!by_name.emplace(std::make_pair(m.brand, m.part), &m).second)
        Fail(Where(m.file, m.line), "template " + m.brand + " " + m.part + " given twice");
    }
    for (Override& o : overrides) {
      if (o.categories.empty()) continue;
      for (Tmpl& m : tmpls)
        if (In_Categories(o, m)) Apply(o, m);
      if (!o.used) Fail(Where(o.file, o.line), "no template of that category");
    }
    for (Override& o : overrides) {
      if (!o.categories.empty()) continue;
      auto it = by_name.find({o.brand, o.part});
      if (it == by_name.end()) Fail(Where(o.file, o.line), "no template " + o.brand + " \"" + o.part + "\"");
      Apply(o, *it->second);
    }

    for (Tmpl& m : tmpls) {
      Merge_Staggered(m);
      Mark_Bleeds(m);
    }

    std::vector<std::string> report;
    for (Tmpl& m : tmpls) {
      const uint64_t n = Units_Of(m.sections);
      if (m.left_out.empty() && n > 250)
        m.left_out = std::to_string(n) + " labels on the sheet, more than the 250 a layout holds";
      // Labels past the sheet's edge (beyond the slack the catalogue allows
      // for rounding) mean the package's numbers are wrong.
      // A turned sheet's labels lie on the turned page.
      const bool turned = (m.tflags & (uint32_t(1) << 1)) != 0;
      const double pw = turned ? m.paper[1] : m.paper[0], ph = turned ? m.paper[0] : m.paper[1];
      double over = 0;
      for (const Box& b : Boxes(m.sections)) over = std::max({over, -b.l, -b.t, b.r - pw, b.b - ph});
      if (m.left_out.empty() && over > kPaperSlack) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "labels run %.1f mm off the %gx%g mm sheet", over, m.paper[0], m.paper[1]);
        m.left_out = buf;
      }
    }

    // Sheets: the templates of one brand and base part, in file order.
    std::map<std::pair<std::string, std::string>, std::vector<Tmpl*>> sheets;
    std::vector<std::pair<std::string, std::string>> sheet_order;
    for (Tmpl& m : tmpls) {
      if (!m.left_out.empty()) continue;
      const auto key = std::make_pair(m.brand, Base_Part(m.part));
      auto& v = sheets[key];
      if (v.empty()) sheet_order.push_back(key);
      v.push_back(&m);
    }
    // Each template ends up in one row; members of a merged sheet share it.
    std::vector<Row> rows;
    std::map<const Tmpl*, size_t> row_of;
    std::map<const Tmpl*, bool> merged;
    auto source_of = [](const std::vector<Tmpl*>& ms) {
      std::string s = "glabels-data 3.4.1 " + ms[0]->file + ": " + ms[0]->brand + " ";
      for (size_t i = 0; i < ms.size(); ++i) s += (i ? ", " : "") + ms[i]->part;
      for (const Tmpl* m : ms)
        for (const auto& note : m->mends) s += "; " + note;
      std::replace(s.begin(), s.end(), '"', '\'');
      return s;
    };
    auto make_row = [&](const std::string& brand, const std::string& part, const std::vector<Tmpl*>& ms) {
      Row r;
      r.sort = Sort_Key(brand, part);
      r.label = Brand_Word(brand) + " " + part;
      r.paper[0] = ms[0]->paper[0];
      r.paper[1] = ms[0]->paper[1];
      for (const Tmpl* m : ms) {
        r.tflags |= m->tflags;
        r.sections.insert(r.sections.end(), m->sections.begin(), m->sections.end());
      }
      r.source = source_of(ms);
      return r;
    };
    for (const auto& key : sheet_order) {
      auto& ms = sheets[key];
      bool merge = ms.size() > 1;
      if (merge) {
        size_t nsec = 0;
        for (const Tmpl* m : ms) nsec += m->sections.size();
        std::vector<Section> all;
        for (const Tmpl* m : ms) {
          if (m->paper[0] != ms[0]->paper[0] || m->paper[1] != ms[0]->paper[1]) merge = false;
          if (merge && Overlap(all, m->sections)) merge = false;
          all.insert(all.end(), m->sections.begin(), m->sections.end());
        }
        if (nsec > 6 || Units_Of(all) > 250) merge = false;
      }
      if (merge) {
        rows.push_back(make_row(key.first, key.second, ms));
        for (const Tmpl* m : ms) {
          row_of[m] = rows.size() - 1;
          merged[m] = true;
        }
      } else {
        for (Tmpl* m : ms) {
          if (m->sections.size() > 6) {
            m->left_out = std::to_string(m->sections.size()) + " layouts, more than the 6 sections an entry holds";
            continue;
          }
          rows.push_back(make_row(m->brand, m->part, {m}));
          row_of[m] = rows.size() - 1;
        }
      }
    }
    for (const Tmpl& m : tmpls)
      if (!m.left_out.empty())
        report.push_back(m.file + ":" + std::to_string(m.line) + ": " + m.brand + " " + m.part + ": " + m.left_out);

    // Aliases: an entry with the geometry of the template they name; the
    // aliases of a merged sheet's members make one merged entry.
    std::set<std::string> alias_labels;
    for (const Alias& a : aliases) {
      auto it = by_name.find({a.brand, a.equiv});
      std::string why;
      if (it == by_name.end())
        why = "alias of " + a.equiv + ", which the package does not hold";
      else if (!it->second->left_out.empty())
        why = "alias of " + a.equiv + ", which is left out";
      if (!why.empty()) {
        report.push_back(a.file + ":" + std::to_string(a.line) + ": " + a.brand + " " + a.part + ": " + why);
        continue;
      }
      const Tmpl* target = it->second;
      const bool whole = merged.count(target) != 0;
      const std::string part = whole ? Base_Part(a.part) : a.part;
      const std::string label = Brand_Word(a.brand) + " " + part;
      if (!alias_labels.insert(label).second) continue;  // the sheet's other member already made it
      Row r = rows[row_of[target]];
      r.sort = Sort_Key(a.brand, part);
      r.label = label;
      r.source = "glabels-data 3.4.1 " + a.file + ": " + a.brand + " " + a.part + ", the same as " + a.equiv;
      rows.push_back(r);
    }

    // Labels must fit the entry and be unique; maker codes one per brand.
    std::map<std::string, std::string> code_brand;
    std::set<std::string> labels;
    std::vector<Row> kept;
    for (Row& r : rows) {
      const std::string brand = r.label.substr(0, r.label.find(' '));
      auto c = code_brand.emplace(r.sort.substr(0, 4), brand);
      if (c.first->second != brand) Fail(dir, "brands " + brand + " and " + c.first->second + " share a maker code");
      if (r.label.size() > 31) {
        report.push_back(r.label + ": the name is longer than the 31 characters of a label");
        continue;
      }
      if (r.label.find_first_of("@\"") != std::string::npos) {
        report.push_back(r.label + ": the name holds @ or a quote");
        continue;
      }
      if (!labels.insert(r.label).second) {
        report.push_back(r.label + ": the name is given twice");
        continue;
      }
      kept.push_back(r);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const Row& a, const Row& b) {
      return a.sort != b.sort ? a.sort < b.sort : a.label < b.label;
    });
    for (const Override& o : overrides)
      if (!o.used) Fail(Where(o.file, o.line), "override not used");

    std::ostringstream os;
    os << "# Label sheets converted from Debian's glabels-data 3.4.1 by velmor_glabelsconv\n"
          "# (scripts/convert-layouts.sh) with the overrides of overrides.txt; do not edit.\n"
          "# The template database is under the MIT licence: see LICENSE beside this file.\n";
    for (Row& r : kept) Mark_Clobbers(r.sections);
    for (const Row& r : kept) {
      os << "\nentry " << r.sort << " \"" << r.label << "\" paper=" << MM(r.paper[0]) << "," << MM(r.paper[1]);
      if (r.tflags) {
        std::string f;
        for (const auto& b : layoutnames::kTemplateFlags)
          if (r.tflags & (uint32_t(1) << b.bit)) f += (f.empty() ? "" : "|") + std::string(b.name);
        os << " flags=" << f;
      }
      os << " source=\"" << r.source << "\"\n";
      for (const Section& s : r.sections) {
        os << "  unit " << layoutnames::kKinds[s.kind] << " grid=" << s.nx << "x" << s.ny << " at=" << MM(s.x0) << ","
           << MM(s.y0) << " size=" << MM(s.w) << "," << MM(s.h);
        if (s.dx != 0 || s.dy != 0) os << " pitch=" << MM(s.dx) << "," << MM(s.dy);
        if (s.bleed[0] || s.bleed[1] || s.bleed[2] || s.bleed[3])
          os << " bleed=" << MM(s.bleed[0]) << "," << MM(s.bleed[1]) << "," << MM(s.bleed[2]) << "," << MM(s.bleed[3]);
        if (s.meas[0] || s.meas[1] || s.meas[2] || s.meas[3])
          os << " meas=" << MM(s.meas[0]) << "," << MM(s.meas[1]) << "," << MM(s.meas[2]) << "," << MM(s.meas[3]);
        if (s.uflags) {
          std::string f;
          for (const auto& b : layoutnames::kUnitFlags)
            if (s.uflags & (uint32_t(1) << b.bit)) f += (f.empty() ? "" : "|") + std::string(b.name);
          os << " uflags=" << f;
        }
        os << "\n";
      }
    }
    {
      std::ofstream out(out_path, std::ios::binary | std::ios::trunc);
      out << os.str();
      if (!out) Fail(out_path, "cannot be written");
    }
    std::ostringstream rs;
    rs << "converted " << kept.size() << " entries from " << tmpls.size() << " templates and " << aliases.size()
       << " aliases; left out " << report.size() << ":\n";
    for (const auto& line : report) rs << "  " << line << "\n";
    if (!g_notes.empty()) {
      rs << "values read as 0:\n";
      for (const auto& line : g_notes) rs << "  " << line << "\n";
    }
    if (report_path.empty()) {
      std::fputs(rs.str().c_str(), stdout);
    } else {
      std::ofstream rep(report_path, std::ios::binary | std::ios::trunc);
      rep << rs.str();
      if (!rep) Fail(report_path, "cannot be written");
    }
  } catch (const Failure& f) {
    std::fprintf(stderr, "%s: %s\n", f.where.c_str(), f.what.c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmor_glabelsconv: %s\n", e.what());
    return 1;
  }
  return 0;
}
