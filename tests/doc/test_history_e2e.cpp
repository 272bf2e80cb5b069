// End-to-end run of the undo history on the headless backend: a copy of the
// CD-labels example opened from the command line, a symbol added, Ctrl+Z
// (the picture as before), Ctrl+Y (the symbol back), both again, quit
// (pictures under the temporary folder of the test, removed with it); no undo folder is
// left, and an undo folder that a run which ended left behind is gone too.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "TempDirSupport.h"
#include "host/HostScript.h"
#include "platform/VoskDef.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string Menu(int32 id) { return "menu " + std::to_string(id) + "\n"; }

// Pixels that differ by more than 2 on a channel.
int Differing(const std::vector<uint32>& a, const std::vector<uint32>& b) {
  if (a.size() != b.size()) return int(a.size() + b.size());
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int shift : {0, 8, 16}) {
      const int d = int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF);
      if (d > 2 || d < -2) {
        ++n;
        break;
      }
    }
  return n;
}

// The undo folders of this user in folder.
std::vector<std::string> Undo_Folders(const std::string& folder) {
  std::vector<std::string> found;
  const std::string prefix = "velmor4-undo-" + std::to_string(unsigned(::getuid())) + "-";
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().filename().string().rfind(prefix, 0) == 0) found.push_back(e.path().string());
  return found;
}

TEST(HistoryEndToEnd, UndoAndRedoOfASymbolLeaveNoUndoFiles) {
  const std::string exe = VELMOR4_EXE;
  const std::string example = exe.substr(0, exe.find_last_of('/')) + "/Templates/CD labels.CD4";
  if (!fs::exists(exe) || !fs::exists(example)) GTEST_SKIP() << "the program or its examples are not built";
  const std::string dir = testdir::Make_Temp_Dir("hist-e2e");
  ASSERT_FALSE(dir.empty());
  const std::string tmp = dir + "/tmp";
  fs::create_directories(tmp);
  const std::string copy = dir + "/copy.CD4";
  fs::copy_file(example, copy);

  // What a run killed on the way leaves: its folder with a state in it, its
  // run file naming a process that has ended.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  const std::string dead = tmp + "/velmor4-undo-" + std::to_string(unsigned(::getuid())) + "-Dead01";
  fs::create_directories(dead);
  testdir::Write_Text(dead + "/RUN", std::to_string(long(child)));
  testdir::Write_Text(dead + "/UNDO_3", "a state");

  const std::string shots[] = {dir + "/0-before.png", dir + "/1-symbol.png",  dir + "/2-undone.png",
                               dir + "/3-redone.png", dir + "/4-undone.png", dir + "/5-redone.png"};
  // The new symbol is selected, and redo brings it back selected: its frame,
  // drawn as moving dashes, is taken off before each picture.
  const std::string select_none = Menu(MENU_EDIT + EDIT_SELECT_NONE);
  const auto snapshot = [&](int k) { return "wait 5\nsnapshot " + shots[k] + "\n"; };
  std::ostringstream s;
  s << "wait 30\n" << Menu(PANEL_PHASE + SYMBOL_PHASE) << snapshot(0) << "answer alert 1\n"
    << Menu(PANEL_ONESHOT + SYMBOL_NEW_BUTTON) << "wait 5\n" << select_none << snapshot(1) << "key Ctrl+Z\n" << snapshot(2)
    << "key Ctrl+Y\n" << select_none << snapshot(3) << "key Ctrl+Z\n" << snapshot(4) << "key Ctrl+Y\n"
    << select_none << snapshot(5) << "quit\n";
  const std::string script = dir + "/script.txt";
  std::ofstream(script) << s.str();
  std::string cmd = "env -i";
  for (const char* name : {"PATH", "FONTCONFIG_FILE", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
    if (const char* v = std::getenv(name)) cmd += std::string(" ") + name + "=" + Quoted(v);
  cmd += " TMPDIR=" + Quoted(tmp) + " HOME=" + Quoted(dir) + " XDG_CONFIG_HOME=" + Quoted(dir + "/config") +
         " XDG_RUNTIME_DIR=" + Quoted(dir) + " VELMOR_BACKEND=headless VELMOR_SCREEN=1024x768 VELMOR_SCRIPT=" +
         Quoted(script) + " " + Quoted(exe) + " " + Quoted(copy) + " >/dev/null 2>" + Quoted(dir + "/stderr.txt");
  const int rc = std::system(cmd.c_str());
  const std::string err = testdir::Read_Text(dir + "/stderr.txt");
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("alert"), std::string::npos) << err;
  EXPECT_EQ(err.find("script line"), std::string::npos) << err;

  std::vector<uint32> px[6];
  for (int k = 0; k < 6; ++k) {
    int32 w = 0, h = 0;
    std::string why;
    ASSERT_TRUE(Host_Read_PNG(shots[k], px[k], w, h, why)) << shots[k] << ": " << why;
  }
  // The view after the symbol was added is partly rendered; after undo and
  // redo it is rendered whole, so redo is compared with redo.
  EXPECT_GT(Differing(px[1], px[0]), 1000) << "the symbol did not show";
  EXPECT_EQ(Differing(px[2], px[0]), 0) << "undo did not bring the document back";
  EXPECT_GT(Differing(px[3], px[0]), 1000) << "redo did not bring the symbol back";
  EXPECT_EQ(Differing(px[4], px[0]), 0) << "undo after redo";
  EXPECT_EQ(Differing(px[5], px[3]), 0) << "redo after undo";
  // Quitting removed this run's folder; starting removed the dead run's.
  EXPECT_TRUE(Undo_Folders(tmp).empty());
  testdir::Remove_Dir(dir);
}

}  // namespace
