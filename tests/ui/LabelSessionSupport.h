// What the scripted sessions of the real program on the headless backend
// share: the script's command lines, the preferences a session starts from
// (a CD layout used last), a fresh CD project for the session to open, and
// the run itself with its error output.
#pragma once

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "DocTestSupport.h"
#include "doc/VoskFile.h"
#include "platform/SysIO.h"
#include "platform/VoskDef.h"
#include "platform/VoskPref.h"
#include "ui/VoskBrow.h"
#include "ui/VoskStat.h"

namespace labelsession {

constexpr const char* kCdLayout = "_ Disc printer, CD/DVD";

inline std::string Menu(int32 id) { return "menu " + std::to_string(id) + "\n"; }
inline std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// The default preferences in English with the CD layout as the one used
// last; FALSE when the catalogue has no such layout.
inline bool CD_Prefs(a_pref_rec& rec) {
  VoskDef_Init();
  VoskStat_Init();
  os_language = ENGLISH;
  Prefs_SetToDefault();
  rec = gs.pref;
  a_layout_usage_rec used{};
  used.count = 2;
  used.when = DateTimeRec{2026, 1, 2, 3, 4, 5, 5};
  std::strncpy(used.label, kCdLayout, sizeof used.label - 1);
  used.tx = Find_Template(CStrSpan(kCdLayout, std::strlen(kCdLayout)));
  std::memcpy(&rec.recentlay[0], &used, sizeof used);
  return used.tx != 0;
}

// A fresh document of the CD layout written as a project at path, for a
// session to open ("answer open PATH" then Open_Project): File > New Project
// leads to the start screen's layout chooser. FALSE when it was not written.
inline bool Write_CD_Project(const std::string& path) {
  doctests::Start_Document_Modules();
  const uint32 tx = Find_Template(CStrSpan(kCdLayout, std::strlen(kCdLayout)));
  FSSpec spec{};
  const bool ok = tx != 0 && Proj_PickLayout2(tx) && Path_From_Text(spec, path.c_str()) && Doc_Write(FMT_DISC, spec);
  doctests::Close_Document();
  return ok;
}
// The script lines that open it.
inline std::string Open_Project(const std::string& path) { return "answer open " + path + "\n" + Menu(302); }

inline void Write_Prefs(const std::string& path, const a_pref_rec& rec) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&rec), sizeof rec);
}

// Runs the program headless on a screen of w x h with script_text, its home
// and configuration in dir and only the environment the run needs; err :=
// what it wrote on standard error. The status of std::system.
inline int Run(const std::string& dir, const std::string& script_text, int w, int h, std::string& err) {
  const std::string script = dir + "/script.txt";
  std::ofstream(script) << script_text;
  std::string cmd = "env -i";
  for (const char* name : {"PATH", "TMPDIR", "FONTCONFIG_FILE", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
    if (const char* v = std::getenv(name)) cmd += std::string(" ") + name + "=" + Quoted(v);
  cmd += " HOME=" + Quoted(dir) + " XDG_CONFIG_HOME=" + Quoted(dir + "/config") + " XDG_RUNTIME_DIR=" +
         Quoted(dir) + " VELMOR_BACKEND=headless VELMOR_SCREEN=" + std::to_string(w) + "x" + std::to_string(h) +
         " VELMOR_SCRIPT=" + Quoted(script) + " " + Quoted(VELMOR4_EXE) + " >/dev/null 2>" +
         Quoted(dir + "/stderr.txt");
  const int rc = std::system(cmd.c_str());
  std::ifstream in(dir + "/stderr.txt", std::ios::binary);
  err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return rc;
}

}  // namespace labelsession
