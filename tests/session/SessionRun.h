// Running a random session: its folder made with the files it opens (the
// example projects beside the program, the project fixture, damaged copies
// of it, an older label, pictures), the real program run headless on the
// script with its home in that folder, and what its exit and standard error
// say: an internal error, a fatal alert, a sanitizer's report, a crash, a
// hang.
#pragma once

#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "SessionGen.h"

namespace session {

inline std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// A hex fixture: hex digits, "XX*N" for N bytes XX, "#" comments.
inline std::vector<uint8_t> Hex_Bytes(const std::string& path) {
  std::ifstream in(path);
  std::vector<uint8_t> out;
  std::string line;
  while (std::getline(in, line)) {
    line = line.substr(0, line.find('#'));
    std::string tok;
    for (size_t i = 0; i <= line.size(); ++i) {
      if (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) {
        tok += line[i];
        continue;
      }
      if (tok.empty()) continue;
      const size_t star = tok.find('*');
      if (star != std::string::npos) {
        out.insert(out.end(), std::stoul(tok.substr(star + 1)), uint8_t(std::stoul(tok.substr(0, star), nullptr, 16)));
      } else {
        for (size_t k = 0; k + 1 < tok.size(); k += 2) out.push_back(uint8_t(std::stoul(tok.substr(k, 2), nullptr, 16)));
      }
      tok.clear();
    }
  }
  return out;
}

inline void Write_Bytes(const std::string& path, const std::vector<uint8_t>& b) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// Where the session finds the program and the sources.
struct Places {
  std::string exe;        // the program
  std::string source;     // the checkout (resources/, tests/fixtures/)
};

// The program sessions run: `built`, or VELMOR_SESSION_EXE when set (another
// build of the program, to see whether a session failed before a change).
inline std::string Program(const char* built) {
  const char* other = std::getenv("VELMOR_SESSION_EXE");
  return other != nullptr && other[0] != 0 ? std::string(other) : std::string(built);
}

// Makes dir (emptied first) with the files a session opens and the setting
// that names them; the damaged copies of the project depend on seed.
inline Setting Prepare(const std::string& dir, const Places& at, uint64_t seed) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir + "/files", ec);
  fs::create_directories(dir + "/saved", ec);
  fs::create_directories(dir + "/config", ec);
  Setting s;
  s.menus = Read_Menus(at.source + "/resources/menus.txt");
  s.bar_titles = {300, 400, 500, 1000, 1200, 1100, 600};
  s.save_dir = dir + "/saved";
  const std::string files = dir + "/files";
  const std::string templates = fs::path(at.exe).parent_path().string() + "/Templates";
  for (const auto& e : fs::directory_iterator(templates, ec)) {
    const std::string to = files + "/" + e.path().filename().string();
    fs::copy_file(e.path(), to, fs::copy_options::overwrite_existing, ec);
    s.opens.push_back(to);
  }
  const std::string fixtures = at.source + "/tests/fixtures";
  const std::vector<uint8_t> project = Hex_Bytes(fixtures + "/project/labels.hex");
  if (!project.empty()) {
    Write_Bytes(files + "/labels.CD4", project);
    s.opens.push_back(files + "/labels.CD4");
    // Damaged copies: a few bytes changed, or the end cut off.
    Random r(seed ^ 0xD15Cull);
    for (int k = 0; k < 3; ++k) {
      std::vector<uint8_t> b = project;
      if (k == 2) {
        b.resize(size_t(r.Below(int(b.size()))));
      } else {
        for (int n = r.Between(1, 8); n > 0; --n) b[size_t(r.Below(int(b.size())))] = uint8_t(r.Next());
      }
      const std::string to = files + "/damaged-" + std::to_string(k) + ".CD4";
      Write_Bytes(to, b);
      s.opens.push_back(to);
    }
  }
  for (const char* name : {"v3/old_label.CDL", "hostile/png_wide.png", "hostile/tiff_short_palette.tif",
                           "tracks/library.xml"}) {
    const std::string from = fixtures + "/" + name;
    const std::string to = files + "/" + fs::path(name).filename().string();
    if (fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec)) s.opens.push_back(to);
  }
  return s;
}

// What a run came to.
struct Outcome {
  int status = 0;        // exit status, or 128 + signal
  bool failed = false;
  std::string why;       // for a failure, in a few words
  std::string err;       // standard error
};

// The marks of a failure in the program's standard error.
inline std::string Failure_In(const std::string& err) {
  const struct {
    const char* mark;
    const char* why;
  } marks[] = {{"alert 4: Internal Error", "internal error"},
               {"INTERNAL ERROR", "internal error before the alerts"},
               {"alert 5: Sorry, you have run out of memory", "out of memory"},
               {"alert 6: Sorry, your program file is missing", "missing piece of the program"},
               {"ERROR: AddressSanitizer", "AddressSanitizer"},
               {"ERROR: LeakSanitizer", "LeakSanitizer"},
               {"runtime error:", "UndefinedBehaviorSanitizer"}};
  for (const auto& m : marks)
    if (err.find(m.mark) != std::string::npos) return m.why;
  return std::string();
}

// Runs the program on script in dir (made by Prepare) on a w x h screen,
// killed after `limit` seconds.
inline Outcome Run(const std::string& dir, const Places& at, const std::string& script, int limit = 900,
                   int w = 1024, int h = 768) {
  const std::string path = dir + "/script.txt";
  std::ofstream(path) << script;
  std::string cmd = "env -i";
  for (const char* name : {"PATH", "TMPDIR", "FONTCONFIG_FILE", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
    if (const char* v = std::getenv(name)) cmd += std::string(" ") + name + "=" + Quoted(v);
  cmd += " HOME=" + Quoted(dir) + " XDG_CONFIG_HOME=" + Quoted(dir + "/config") + " XDG_RUNTIME_DIR=" + Quoted(dir) +
         " VELMOR_PRINT_OUTPUT=" + Quoted(dir + "/saved/print.pdf") +
         " VELMOR_OPEN_COMMAND=true VELMOR_BACKEND=headless VELMOR_SCREEN=" + std::to_string(w) + "x" +
         std::to_string(h) + " VELMOR_SCRIPT=" + Quoted(path) + " timeout -s KILL " + std::to_string(limit) + " " +
         Quoted(at.exe) + " >/dev/null 2>" + Quoted(dir + "/err.txt");
  Outcome o;
  const int rc = std::system(cmd.c_str());
  o.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : 128 + (WIFSIGNALED(rc) ? WTERMSIG(rc) : 0);
  std::ifstream in(dir + "/err.txt");
  o.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  o.why = Failure_In(o.err);
  if (o.why.empty() && o.status == 137) o.why = "killed after " + std::to_string(limit) + " s (a hang)";
  if (o.why.empty() && o.status != 0) o.why = "exit status " + std::to_string(o.status);
  o.failed = !o.why.empty();
  return o;
}

}  // namespace session
