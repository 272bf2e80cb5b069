// The print preview through the real program on the headless backend, by a
// script: a copy of the CD-labels example (two discs on a sheet) given on
// the command line opens in the preview; a click on the current unit
// toggles its print mark, Ctrl+Z takes it back (the window as it was),
// Ctrl+Y does it again and Ctrl+S saves. Read back, only unit 1's mark
// differs from the example, and no undo folder is left. A truncated copy
// gives alert 10 and stays as it was. Snapshots go to <build>/e2e/docview/.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "FontTestSupport.h"
#include "TestSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrev.h"
#include "doc/VoskUndo.h"
#include "host/HostScript.h"
#include "objects/VoskBlok.h"
#include "pixel/OPUtil.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskConf.h"

namespace {

namespace fs = std::filesystem;

constexpr int16 kScreenW = 1024, kScreenH = 768;

std::vector<uint8> Read_Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void Write_Bytes(const std::string& path, const std::vector<uint8>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// What a project holds, unit by unit, as read back.
struct a_unit_state {
  bool printf, clonef;
  a_keyset canvas;
  int32 nobjects;
};
bool operator==(const a_unit_state& a, const a_unit_state& b) {
  return a.printf == b.printf && a.clonef == b.clonef && std::memcmp(&a.canvas, &b.canvas, sizeof a.canvas) == 0 &&
         a.nobjects == b.nobjects;
}

class DocViewEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
    if (!fs::exists(VELMOR_ART_LIBRARY)) GTEST_SKIP() << "the picture library is not built";
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    const std::string exe = VELMOR4_EXE;
    build_ = exe.substr(0, exe.find_last_of('/'));
    example_ = build_ + "/Templates/CD labels.CD4";
    ASSERT_TRUE(fs::exists(example_)) << "the examples are written by the build (velmor_examples)";
    dir_ = fs::temp_directory_path() / ("velmor-docview-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ + "/tmp");
    Fonts_Stop();
    Fonts_Init();
    doctests::Start_Document_Modules();
    gs.controller = GHOST;
    gs.curr_phase = NODOC_PHASE;
  }
  void TearDown() override {
    doctests::Close_Document();
    Fonts_Stop();
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // Runs the program on file with the script; its temporary folder is
  // dir_/tmp.
  int Run(const std::string& file, const std::string& script_text, std::string& err) {
    const std::string script = dir_ + "/script.txt";
    std::ofstream(script) << script_text;
    std::string cmd = "env -i";
    for (const char* name : {"PATH", "FONTCONFIG_FILE", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
      if (const char* v = std::getenv(name)) cmd += std::string(" ") + name + "=" + Quoted(v);
    cmd += " TMPDIR=" + Quoted(dir_ + "/tmp") + " HOME=" + Quoted(dir_) + " XDG_CONFIG_HOME=" +
           Quoted(dir_ + "/config") + " XDG_RUNTIME_DIR=" + Quoted(dir_) +
           " VELMOR_BACKEND=headless VELMOR_SCREEN=" + std::to_string(kScreenW) + "x" + std::to_string(kScreenH) +
           " VELMOR_SCRIPT=" + Quoted(script) + " " + Quoted(VELMOR4_EXE) + " " + Quoted(file) + " >/dev/null 2>" +
           Quoted(dir_ + "/stderr.txt");
    const int rc = std::system(cmd.c_str());
    const std::vector<uint8> e = Read_Bytes(dir_ + "/stderr.txt");
    err.assign(e.begin(), e.end());
    return rc;
  }

  // The units of the project at path, read in this process.
  std::vector<a_unit_state> Units_Of(const std::string& path) {
    std::vector<a_unit_state> units;
    FSSpec spec{};
    EXPECT_TRUE(Path_From_Text(spec, path.c_str()));
    EXPECT_TRUE(Read_DISC(spec, false)) << path;
    for (uint32 ux = 1; ux <= g_doc.doc_template.nunits; ++ux) {
      const a_doc_unit* u = Doc_Unit(ux);
      if (u == nullptr) continue;
      units.push_back(a_unit_state{bool(u->printf), bool(u->clonef), u->canv.cv.canvas_key, u->oj.nlist});
    }
    return units;
  }

  // A point of unit ux of the project at path in the main window's
  // preview, right of the tool panel (centred across, a fifth down: clear
  // of a disc's hole), for a client area of w x h pixels.
  Point Unit_Point(const std::string& path, uint32 ux, int32 w, int32 h) {
    Units_Of(path);
    gs.nviews = 1;
    gs.views[0].bounds = Calc_Preview_Layout(Rect{0, 0, int16(h), int16(w)}).edit;
    a_coord_mapping m;
    PrintPreview_Main_Mapping(m);
    const a_unit& u = g_doc.doc_template.units[ux - 1];
    Point pt{};
    Map_FPoint_With(m, a_fpoint{(u.bbox.left + u.bbox.right) / 2, u.bbox.top + (u.bbox.bottom - u.bbox.top) / 5}, pt);
    return pt;
  }

  bool Undo_Folder_Left() const {
    for (const auto& e : fs::directory_iterator(dir_ + "/tmp"))
      if (e.path().filename().string().rfind("velmor4-undo-", 0) == 0) return true;
    return false;
  }

  std::string build_, example_, dir_;
};

TEST_F(DocViewEndToEnd, APrintMarkToggledUndoneRedoneAndSaved) {
  const std::string shots = build_ + "/e2e/docview";
  fs::create_directories(shots);
  const char* names[] = {"1-opened", "2-mark-toggled", "3-undone", "4-redone"};
  std::vector<std::string> shot;
  for (const char* n : names) {
    shot.push_back(shots + "/" + n + ".png");
    fs::remove(shot.back());
  }
  const std::string copy = dir_ + "/copy.CD4";
  fs::copy_file(example_, copy);
  const std::vector<a_unit_state> before = Units_Of(copy);
  ASSERT_EQ(before.size(), 2u);
  ASSERT_TRUE(before[0].printf);

  // The window's size, from a first look.
  std::string err;
  int rc = Run(copy, "wait 10\nsnapshot " + shot[0] + "\nquit\n", err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  std::string why;
  ASSERT_TRUE(Host_Read_PNG(shot[0], px, w, h, why)) << why;
  const Point centre = Unit_Point(copy, 1, w, h);

  const auto snapshot = [&](int k) { return "wait 5\nsnapshot " + shot[size_t(k)] + "\n"; };
  const std::string script = "wait 10\n" + snapshot(0) + "click " + std::to_string(centre.h) + " " +
                             std::to_string(centre.v) + "\n" + snapshot(1) + "key Ctrl+Z\n" + snapshot(2) +
                             "key Ctrl+Y\n" + snapshot(3) + "key Ctrl+S\nwait 5\nquit\n";
  rc = Run(copy, script, err);
  std::printf("STDERR<<%s>>\n", err.c_str());
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("alert"), std::string::npos) << err;
  EXPECT_EQ(err.find("script line"), std::string::npos) << err;

  std::vector<std::vector<uint32>> pics(shot.size());
  for (size_t k = 0; k < shot.size(); ++k) {
    int32 pw = 0, ph = 0;
    ASSERT_TRUE(Host_Read_PNG(shot[k], pics[k], pw, ph, why)) << shot[k] << ": " << why;
  }
  EXPECT_TRUE(pics[1] != pics[0]) << "the click changed nothing on the screen";
  EXPECT_TRUE(pics[2] == pics[0]) << "undo did not bring the window back";
  EXPECT_TRUE(pics[3] == pics[1]) << "redo did not show the toggled mark again";

  // Read back: unit 1's mark is off, everything else as in the example.
  const std::vector<a_unit_state> after = Units_Of(copy);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_FALSE(after[0].printf);
  a_unit_state expected = before[0];
  expected.printf = false;
  EXPECT_TRUE(after[0] == expected);
  EXPECT_TRUE(after[1] == before[1]);
  EXPECT_FALSE(Undo_Folder_Left());
}

TEST_F(DocViewEndToEnd, ATruncatedCopyIsRefusedAndKept) {
  std::vector<uint8> bytes = Read_Bytes(example_);
  ASSERT_GT(bytes.size(), 1000u);
  bytes.resize(bytes.size() / 2);
  const std::string copy = dir_ + "/cut.CD4";
  Write_Bytes(copy, bytes);
  std::string err;
  const int rc = Run(copy, "answer alert 1\nwait 10\nquit\n", err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_NE(err.find("alert 10"), std::string::npos) << err;
  EXPECT_EQ(Read_Bytes(copy), bytes);
  EXPECT_FALSE(Undo_Folder_Left());
}

}  // namespace
