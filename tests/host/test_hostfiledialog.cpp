// The host's file dialog: pattern matching, the folder listing (order,
// hidden names, filters, unreadable folders), scripted answers of every
// kind, the replace confirmation, and the dialog itself driven on the
// headless backend (selection, multiple choice, navigation, errors on its
// error line, the folder browser, scrolling, long paths).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostControls.h"
#include "host/HostDialog.h"
#include "host/HostFileDialog.h"
#include "host/HostFiles.h"
#include "host/HostScript.h"
#include "host/HostWin.h"

namespace fs = std::filesystem;

namespace {

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

// A fresh folder tree under the temporary folder, removed afterwards.
struct TempTree {
  std::string root;
  TempTree() {
    std::string tmpl = Host_Temp_Dir() + "/fdlg_XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    if (mkdtemp(buf.data())) root = buf.data();
  }
  ~TempTree() {
    if (root.empty()) return;
    std::error_code ec;
    // Give back permissions taken away by a test so everything can go.
    for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec))
      if (it->is_directory(ec)) chmod(it->path().c_str(), 0700);
    chmod(root.c_str(), 0700);
    fs::remove_all(root, ec);
  }
  std::string P(const std::string& rel) const { return root + "/" + rel; }
  void File(const std::string& rel) const { Touch(P(rel)); }
  void Dir(const std::string& rel) const { fs::create_directories(P(rel)); }
};

std::vector<std::string> Names(const std::vector<HostFileEntry>& v) {
  std::vector<std::string> out;
  for (const HostFileEntry& e : v) out.push_back(e.is_dir ? e.name + "/" : e.name);
  return out;
}

// --- Pieces ---

TEST(FileDialogPieces, PatternMatchTable) {
  struct Case {
    const char* name;
    const char* pattern;
    bool match;
  };
  const Case cases[] = {
      {"photo.JPG", "*.jpg", true},      {"photo.jpeg", "*.jpg", false},  {"README", "*.*", true},
      {"README", "*", true},             {"a.b.c", "*.c", true},          {"x", "?", true},
      {"xy", "?", false},                {"", "*", true},                 {"aXbYc", "a*b*c", true},
      {"ac", "a*b*c", false},            {"list.cdl", "*.CDL", true},     {"list.cdl2", "*.CDL", false},
      {"\xC3\xA9t\xC3\xA9.txt", "*.TXT", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Host_File_Pattern_Match(c.name, c.pattern), c.match) << c.name << " ~ " << c.pattern;
  // A hostile pattern over a long name ends (no exponential backtracking).
  const std::string many(5000, 'a');
  EXPECT_FALSE(Host_File_Pattern_Match(many, "*a*a*a*a*a*a*b"));
}

TEST(FileDialogPieces, SplitsPatternListsOnSemicolonsAndCommas) {
  EXPECT_EQ(Host_File_Split_Patterns("*.PICT,*.PCT"), (std::vector<std::string>{"*.PICT", "*.PCT"}));
  EXPECT_EQ(Host_File_Split_Patterns("*.A; *.B;;"), (std::vector<std::string>{"*.A", "*.B"}));
  EXPECT_TRUE(Host_File_Split_Patterns("").empty());
}

TEST(FileDialogPieces, JoinAndParent) {
  EXPECT_EQ(Host_File_Join("/a", "b"), "/a/b");
  EXPECT_EQ(Host_File_Join("/", "b"), "/b");
  EXPECT_EQ(Host_File_Join("/a", "/x/y"), "/x/y");
  EXPECT_EQ(Host_File_Parent("/a/b"), "/a");
  EXPECT_EQ(Host_File_Parent("/a/b/"), "/a");
  EXPECT_EQ(Host_File_Parent("/a"), "/");
  EXPECT_EQ(Host_File_Parent("/"), "/");
}

TEST(FileDialogPieces, ListingOrderHiddenAndFilters) {
  TempTree t;
  ASSERT_FALSE(t.root.empty());
  for (const char* f : {"b.txt", "A.TXT", "c.jpg", "a.txt", ".hidden.txt", "Z.jpeg"}) t.File(f);
  for (const char* d : {"zeta", "Alpha", "beta", ".git"}) t.Dir(d);
  std::vector<HostFileEntry> v;
  std::string err;
  ASSERT_TRUE(Host_File_List_Folder(t.root, {}, false, v, err)) << err;
  // Folders first, then files; each group by name without regard to case.
  EXPECT_EQ(Names(v), (std::vector<std::string>{"Alpha/", "beta/", "zeta/", "A.TXT", "a.txt", "b.txt", "c.jpg",
                                                "Z.jpeg"}));
  ASSERT_TRUE(Host_File_List_Folder(t.root, {"*.JPG", "*.jpeg"}, false, v, err));
  EXPECT_EQ(Names(v), (std::vector<std::string>{"Alpha/", "beta/", "zeta/", "c.jpg", "Z.jpeg"}));
  ASSERT_TRUE(Host_File_List_Folder(t.root, {"*.TXT"}, true, v, err));
  EXPECT_EQ(Names(v), (std::vector<std::string>{"Alpha/", "beta/", "zeta/"}));
}

TEST(FileDialogPieces, UnreadableAndMissingFoldersGiveAnError) {
  TempTree t;
  std::vector<HostFileEntry> v{{"stale", false}};
  std::string err;
  EXPECT_FALSE(Host_File_List_Folder(t.P("nowhere"), {}, false, v, err));
  EXPECT_TRUE(v.empty());
  EXPECT_NE(err.find("Cannot read the folder"), std::string::npos) << err;
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  t.Dir("locked");
  t.File("locked/inside.txt");
  ASSERT_EQ(chmod(t.P("locked").c_str(), 0), 0);
  EXPECT_FALSE(Host_File_List_Folder(t.P("locked"), {}, false, v, err));
  EXPECT_NE(err.find("locked"), std::string::npos) << err;
}

// --- Dialog runs ---

LRESULT Owner_Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }

std::function<void(HWND)> g_on_show;
void On_Show(HWND dlg, void*) {
  if (g_on_show) g_on_show(dlg);
}

std::string Add_Suffix(const std::string& path, int32 filter, void*) {
  const char* suffix = filter == 0 ? ".JPG" : ".TIF";
  if (path.size() > 4 && (path.compare(path.size() - 4, 4, ".jpg") == 0 || path.compare(path.size() - 4, 4, ".tif") == 0))
    return path;
  return path + suffix;
}

class FileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(tree.root.empty());
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Host_Script_Set_Quit_At_End(false);
    Host_Controls_Init();
    WNDCLASS wc;
    wc.lpfnWndProc = Owner_Proc;
    wc.lpszClassName = "FDOWNER";
    ASSERT_NE(RegisterClass(&wc), 0);
    owner = CreateWindowEx(0, "FDOWNER", u"main", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                           nullptr);
    g_on_show = nullptr;
    for (const char* f : {"one.jpg", "two.jpg", "three.tif", "notes.txt"}) tree.File(f);
    tree.Dir("sub");
    tree.File("sub/inner.jpg");
  }
  void TearDown() override {
    g_on_show = nullptr;
    Host_Script_Set_Quit_At_End(true);
    Host_Win_Reset();
    Host_Backend_Stop();
    Host_Script_Reset();
    Host_Clock_Set_Manual(false);
  }
  HostFileDialogParams Params(HostFileDialogMode mode) {
    HostFileDialogParams p;
    p.mode = mode;
    p.owner = owner;
    p.folder = tree.root;
    if (mode != HOST_FD_FOLDER) {
      p.filters = {{"JPEG", {"*.JPG"}}, {"TIFF", {"*.TIF"}}, {"All files", {"*.*"}}};
      p.filter_index = 0;
    }
    return p;
  }
  // Runs the dialog shown on the headless backend with `body` as its user.
  bool Drive(HostFileDialogParams p, std::function<void(HWND)> body, HostFileDialogResult& r) {
    p.show_headless = true;
    p.on_show = On_Show;
    g_on_show = std::move(body);
    return Host_File_Dialog(p, r);
  }
  TempTree tree;
  HWND owner = nullptr;
};

HWND List(HWND dlg) { return GetDlgItem(dlg, kHostFdList); }
int32 Count(HWND dlg) { return int32(SendMessage(List(dlg), HOST_FDL_GETCOUNT, 0, 0)); }
std::vector<std::string> Shown(HWND dlg) {
  std::vector<std::string> out;
  for (int32 i = 0; i < Count(dlg); ++i) {
    std::string s;
    const LRESULT dir = SendMessage(List(dlg), HOST_FDL_GETENTRY, WPARAM(i), reinterpret_cast<LPARAM>(&s));
    out.push_back(dir == 1 ? s + "/" : s);
  }
  return out;
}
int32 Index_Of(HWND dlg, const std::string& shown) {
  const std::vector<std::string> v = Shown(dlg);
  for (size_t i = 0; i < v.size(); ++i)
    if (v[i] == shown) return int32(i);
  return -1;
}
LPARAM Row_Point(HWND dlg, int32 ix) {
  const int32 h = int32(SendMessage(List(dlg), HOST_FDL_ROWHEIGHT, 0, 0));
  const int32 top = int32(SendMessage(List(dlg), HOST_FDL_GETTOP, 0, 0));
  return MAKELPARAM(8, (ix - top) * h + h / 2);
}
void Click(HWND dlg, int32 ix, WPARAM keys = 0) { SendMessage(List(dlg), WM_LBUTTONDOWN, keys, Row_Point(dlg, ix)); }
void Double_Click(HWND dlg, int32 ix) { SendMessage(List(dlg), WM_LBUTTONDBLCLK, 0, Row_Point(dlg, ix)); }

TEST_F(FileDialogTest, ScriptedAnswersOfEachKind) {
  HostFileDialogResult r;
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, tree.P("one.jpg"));
  ASSERT_TRUE(Host_File_Dialog(Params(HOST_FD_OPEN), r));
  EXPECT_EQ(r.paths, (std::vector<std::string>{tree.P("one.jpg")}));

  Host_Script_Push_Answer(HOST_ANSWER_FOLDER, tree.P("sub"));
  ASSERT_TRUE(Host_File_Dialog(Params(HOST_FD_FOLDER), r));
  EXPECT_EQ(r.paths, (std::vector<std::string>{tree.P("sub")}));

  // A save answer does not answer an open dialog: with none of its own kind
  // the headless dialog cancels, and the save answer stays queued.
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, tree.P("new"));
  EXPECT_FALSE(Host_File_Dialog(Params(HOST_FD_OPEN), r));
  EXPECT_TRUE(r.paths.empty());
  std::string left;
  EXPECT_TRUE(Host_Script_Take_Answer(HOST_ANSWER_SAVE, left));

  // Relative answers are taken from the working folder; "." and ".." go.
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(tree.root.c_str()), 0);
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, "sub/../two.jpg");
  const bool ok = Host_File_Dialog(Params(HOST_FD_OPEN), r);
  ASSERT_EQ(chdir(cwd), 0);
  ASSERT_TRUE(ok);
  EXPECT_EQ(r.paths, (std::vector<std::string>{tree.P("two.jpg")}));
}

TEST_F(FileDialogTest, ScriptedMultipleChoice) {
  HostFileDialogParams p = Params(HOST_FD_OPEN);
  p.multi = true;
  HostFileDialogResult r;
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, tree.P("one.jpg") + "|" + tree.P("two.jpg"));
  ASSERT_TRUE(Host_File_Dialog(p, r));
  EXPECT_EQ(r.paths, (std::vector<std::string>{tree.P("one.jpg"), tree.P("two.jpg")}));
  // A file whose own name holds "|" is one answer.
  tree.File("a|b.jpg");
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, tree.P("a|b.jpg"));
  ASSERT_TRUE(Host_File_Dialog(p, r));
  EXPECT_EQ(r.paths, (std::vector<std::string>{tree.P("a|b.jpg")}));
  // A single-file dialog takes the answer as one path.
  p.multi = false;
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, tree.P("one.jpg") + "|" + tree.P("two.jpg"));
  ASSERT_TRUE(Host_File_Dialog(p, r));
  EXPECT_EQ(r.paths.size(), 1u);
}

TEST_F(FileDialogTest, ScriptedSaveChoosesTheFilterByTheAnswersSuffix) {
  HostFileDialogParams p = Params(HOST_FD_SAVE);
  p.finish_name = Add_Suffix;
  HostFileDialogResult r;
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, tree.P("out"));  // no suffix: the starting filter
  ASSERT_TRUE(Host_File_Dialog(p, r));
  EXPECT_EQ(r.paths[0], tree.P("out.JPG"));
  EXPECT_EQ(r.filter_index, 0);
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, tree.P("pic.tif"));
  ASSERT_TRUE(Host_File_Dialog(p, r));
  EXPECT_EQ(r.paths[0], tree.P("pic.tif"));
  EXPECT_EQ(r.filter_index, 1);
}

TEST_F(FileDialogTest, ReplacingAFileAsksAndTheScriptAnswers) {
  HostFileDialogParams p = Params(HOST_FD_SAVE);
  p.finish_name = Add_Suffix;
  HostFileDialogResult r;
  // "one.jpg" exists and keeps its name.
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, tree.P("one.jpg"));
  EXPECT_FALSE(Host_File_Dialog(p, r)) << "an unanswered question must not replace the file";
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, tree.P("one.jpg"));
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "2");
  EXPECT_FALSE(Host_File_Dialog(p, r));
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, tree.P("one.jpg"));
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  ASSERT_TRUE(Host_File_Dialog(p, r));
  EXPECT_EQ(r.paths[0], tree.P("one.jpg"));
  // The question is about the name that will be written, suffix added.
  tree.File("report.JPG");
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, tree.P("report"));
  EXPECT_FALSE(Host_File_Dialog(p, r));
  p.confirm_overwrite = false;
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, tree.P("report"));
  ASSERT_TRUE(Host_File_Dialog(p, r));
  EXPECT_EQ(r.paths[0], tree.P("report.JPG"));
}

TEST_F(FileDialogTest, HeadlessWithoutAnswerCancelsAtOnce) {
  HostFileDialogResult r;
  r.paths = {"stale"};
  for (HostFileDialogMode m : {HOST_FD_OPEN, HOST_FD_SAVE, HOST_FD_FOLDER}) {
    EXPECT_FALSE(Host_File_Dialog(Params(m), r));
    EXPECT_TRUE(r.paths.empty());
  }
  EXPECT_EQ(Host_Dialog_Modal_Depth(), 0);
}

TEST_F(FileDialogTest, DialogListsTheFolderAndTakesAClickedFile) {
  std::vector<std::string> shown;
  HostFileDialogResult r;
  ASSERT_TRUE(Drive(Params(HOST_FD_OPEN),
                    [&](HWND dlg) {
                      shown = Shown(dlg);
                      Click(dlg, Index_Of(dlg, "two.jpg"));
                      EXPECT_EQ(Host_Dlg_Item_Text_Utf8(dlg, kHostFdName), "two.jpg");
                      Host_Dialog_Press(dlg, IDOK);
                    },
                    r));
  EXPECT_EQ(shown, (std::vector<std::string>{"sub/", "one.jpg", "two.jpg"}));
  EXPECT_EQ(r.paths, (std::vector<std::string>{tree.P("two.jpg")}));
}

TEST_F(FileDialogTest, FilterChangeAndFolderNavigation) {
  HostFileDialogResult r;
  ASSERT_TRUE(Drive(Params(HOST_FD_OPEN),
                    [&](HWND dlg) {
                      HWND combo = GetDlgItem(dlg, kHostFdType);
                      SendMessage(combo, CB_SETCURSEL, 1, 0);
                      SendMessage(dlg, WM_COMMAND, MAKEWPARAM(kHostFdType, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
                      EXPECT_EQ(Shown(dlg), (std::vector<std::string>{"sub/", "three.tif"}));
                      SendMessage(combo, CB_SETCURSEL, 0, 0);
                      SendMessage(dlg, WM_COMMAND, MAKEWPARAM(kHostFdType, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
                      Double_Click(dlg, Index_Of(dlg, "sub/"));
                      EXPECT_EQ(Host_Dlg_Item_Text_Utf8(dlg, kHostFdPath), tree.P("sub"));
                      EXPECT_EQ(Shown(dlg), (std::vector<std::string>{"inner.jpg"}));
                      SendMessage(List(dlg), WM_KEYDOWN, VK_BACK, 0);  // up again
                      EXPECT_EQ(Host_Dlg_Item_Text_Utf8(dlg, kHostFdPath), tree.root);
                      Host_Dialog_Press(dlg, kHostFdUp);
                      EXPECT_EQ(Host_Dlg_Item_Text_Utf8(dlg, kHostFdPath), Host_File_Parent(tree.root));
                      // A typed relative path in the name field.
                      SetDlgItemTextA(dlg, kHostFdName, (Host_File_Join(fs::path(tree.root).filename().string(), "sub/inner.jpg")).c_str());
                      Host_Dialog_Press(dlg, IDOK);
                    },
                    r));
  EXPECT_EQ(r.paths, (std::vector<std::string>{tree.P("sub/inner.jpg")}));
}

TEST_F(FileDialogTest, MultipleSelectionWithCtrlAndShift) {
  for (const char* f : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) tree.File(f);
  HostFileDialogParams p = Params(HOST_FD_OPEN);
  p.multi = true;
  HostFileDialogResult r;
  ASSERT_TRUE(Drive(p,
                    [&](HWND dlg) {
                      Click(dlg, Index_Of(dlg, "a.jpg"));
                      Click(dlg, Index_Of(dlg, "c.jpg"), MK_SHIFT);  // a, b, c
                      Click(dlg, Index_Of(dlg, "b.jpg"), MK_CONTROL);  // b off
                      Click(dlg, Index_Of(dlg, "two.jpg"), MK_CONTROL);
                      EXPECT_EQ(Host_Dlg_Item_Text_Utf8(dlg, kHostFdName), "\"a.jpg\" \"c.jpg\" \"two.jpg\"");
                      Host_Dialog_Press(dlg, IDOK);
                    },
                    r));
  EXPECT_EQ(r.paths, (std::vector<std::string>{tree.P("a.jpg"), tree.P("c.jpg"), tree.P("two.jpg")}));
}

TEST_F(FileDialogTest, MistakesShowOnTheErrorLineAndKeepTheDialog) {
  std::vector<std::string> errors;
  HostFileDialogResult r;
  EXPECT_FALSE(Drive(Params(HOST_FD_OPEN),
                     [&](HWND dlg) {
                       SetDlgItemTextA(dlg, kHostFdName, "missing.jpg");
                       Host_Dialog_Press(dlg, IDOK);
                       errors.push_back(Host_Dlg_Item_Text_Utf8(dlg, kHostFdError));
                       // The file vanished after it was listed.
                       const int32 ix = Index_Of(dlg, "one.jpg");
                       std::remove(tree.P("one.jpg").c_str());
                       Click(dlg, ix);
                       Host_Dialog_Press(dlg, IDOK);
                       errors.push_back(Host_Dlg_Item_Text_Utf8(dlg, kHostFdError));
                       SetDlgItemTextA(dlg, kHostFdName, "");
                       Host_Dialog_Press(dlg, IDOK);
                       errors.push_back(Host_Dlg_Item_Text_Utf8(dlg, kHostFdError));
                       SetDlgItemTextA(dlg, kHostFdName, std::string(300, 'n').c_str());
                       Host_Dialog_Press(dlg, IDOK);
                       errors.push_back(Host_Dlg_Item_Text_Utf8(dlg, kHostFdError));
                       // Going to a folder that is not there keeps the folder shown.
                       SetDlgItemTextA(dlg, kHostFdPath, tree.P("nowhere").c_str());
                       Host_Dialog_Press(dlg, IDOK);
                       errors.push_back(Host_Dlg_Item_Text_Utf8(dlg, kHostFdError));
                       EXPECT_EQ(Index_Of(dlg, "sub/"), 0);
                       EXPECT_TRUE(IsWindow(dlg));
                     },  // then idle with nothing queued: cancelled
                     r));
  ASSERT_EQ(errors.size(), 5u);
  EXPECT_NE(errors[0].find("was not found"), std::string::npos) << errors[0];
  EXPECT_NE(errors[1].find("was not found"), std::string::npos) << errors[1];
  EXPECT_NE(errors[2].find("Type or choose"), std::string::npos) << errors[2];
  EXPECT_NE(errors[3].find("too long"), std::string::npos) << errors[3];
  EXPECT_NE(errors[4].find("not a folder"), std::string::npos) << errors[4];
  EXPECT_TRUE(r.paths.empty());
}

TEST_F(FileDialogTest, UnreadableFolderIsRefusedWithAMessage) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  tree.Dir("locked");
  ASSERT_EQ(chmod(tree.P("locked").c_str(), 0), 0);
  std::string error, path;
  HostFileDialogResult r;
  EXPECT_FALSE(Drive(Params(HOST_FD_OPEN),
                     [&](HWND dlg) {
                       Double_Click(dlg, Index_Of(dlg, "locked/"));
                       error = Host_Dlg_Item_Text_Utf8(dlg, kHostFdError);
                       path = Host_Dlg_Item_Text_Utf8(dlg, kHostFdPath);
                     },
                     r));
  EXPECT_NE(error.find("Cannot read the folder"), std::string::npos) << error;
  EXPECT_EQ(path, tree.root);
}

TEST_F(FileDialogTest, SaveDialogConfirmsReplacingTheFinalName) {
  tree.File("one.JPG");
  HostFileDialogParams p = Params(HOST_FD_SAVE);
  p.finish_name = Add_Suffix;
  p.name = "one";
  std::string question;
  HostFileDialogResult r;
  // The first Save is refused at the question (Cancel), the second replaces.
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "2");
  ASSERT_TRUE(Drive(p,
                    [&](HWND dlg) {
                      EXPECT_EQ(Host_Dlg_Item_Text_Utf8(dlg, kHostFdName), "one");
                      Host_Dialog_Press(dlg, IDOK);
                      EXPECT_TRUE(IsWindow(dlg));
                      Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
                      Host_Dialog_Press(dlg, IDOK);
                    },
                    r));
  EXPECT_EQ(r.paths, (std::vector<std::string>{tree.P("one.JPG")}));
}

TEST_F(FileDialogTest, SaveTypeChosenInTheDropDownDecidesTheSuffix) {
  HostFileDialogParams p = Params(HOST_FD_SAVE);
  p.finish_name = Add_Suffix;
  HostFileDialogResult r;
  ASSERT_TRUE(Drive(p,
                    [&](HWND dlg) {
                      HWND combo = GetDlgItem(dlg, kHostFdType);
                      EXPECT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 3);
                      SendMessage(combo, CB_SETCURSEL, 1, 0);
                      SendMessage(dlg, WM_COMMAND, MAKEWPARAM(kHostFdType, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
                      SetDlgItemTextA(dlg, kHostFdName, "pic");
                      Host_Dialog_Press(dlg, IDOK);
                    },
                    r));
  EXPECT_EQ(r.paths, (std::vector<std::string>{tree.P("pic.TIF")}));
  EXPECT_EQ(r.filter_index, 1);
}

TEST_F(FileDialogTest, SaveRefusesAReadOnlyFile) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  tree.File("ro.JPG");
  ASSERT_EQ(chmod(tree.P("ro.JPG").c_str(), 0444), 0);
  HostFileDialogParams p = Params(HOST_FD_SAVE);
  p.finish_name = Add_Suffix;
  std::string error;
  HostFileDialogResult r;
  EXPECT_FALSE(Drive(p,
                     [&](HWND dlg) {
                       SetDlgItemTextA(dlg, kHostFdName, "ro");
                       Host_Dialog_Press(dlg, IDOK);
                       error = Host_Dlg_Item_Text_Utf8(dlg, kHostFdError);
                     },
                     r));
  EXPECT_NE(error.find("read-only"), std::string::npos) << error;
}

TEST_F(FileDialogTest, FolderBrowserShowsFoldersAndChoosesOne) {
  tree.Dir("Second");
  std::vector<std::string> shown;
  HostFileDialogResult r;
  ASSERT_TRUE(Drive(Params(HOST_FD_FOLDER),
                    [&](HWND dlg) {
                      shown = Shown(dlg);
                      EXPECT_EQ(GetDlgItem(dlg, kHostFdType), nullptr);
                      Click(dlg, Index_Of(dlg, "sub/"));
                      EXPECT_EQ(Host_Dlg_Item_Text_Utf8(dlg, kHostFdName), "sub");
                      Host_Dialog_Press(dlg, IDOK);
                    },
                    r));
  EXPECT_EQ(shown, (std::vector<std::string>{"Second/", "sub/"}));
  EXPECT_EQ(r.paths, (std::vector<std::string>{tree.P("sub")}));
  // With nothing typed, OK chooses the folder shown.
  ASSERT_TRUE(Drive(Params(HOST_FD_FOLDER), [&](HWND dlg) { Host_Dialog_Press(dlg, IDOK); }, r));
  EXPECT_EQ(r.paths, (std::vector<std::string>{tree.root}));
}

TEST_F(FileDialogTest, KeysScrollTheListToTheCaret) {
  tree.Dir("many");
  for (int i = 0; i < 100; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "many/f%03d.jpg", i);
    tree.File(name);
  }
  HostFileDialogParams p = Params(HOST_FD_OPEN);
  p.folder = tree.P("many");
  HostFileDialogResult r;
  ASSERT_TRUE(Drive(p,
                    [&](HWND dlg) {
                      HWND list = List(dlg);
                      SetFocus(list);
                      SendMessage(list, WM_KEYDOWN, VK_END, 0);
                      EXPECT_EQ(SendMessage(list, HOST_FDL_GETCARET, 0, 0), 99);
                      const LRESULT top = SendMessage(list, HOST_FDL_GETTOP, 0, 0);
                      EXPECT_GT(top, 0);
                      HWND bar = GetWindow(list, GW_CHILD);
                      ASSERT_NE(bar, nullptr);
                      EXPECT_EQ(GetScrollPos(bar, SB_CTL), int32(top));
                      SendMessage(list, WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), reinterpret_cast<LPARAM>(bar));
                      EXPECT_EQ(SendMessage(list, HOST_FDL_GETTOP, 0, 0), 0);
                      SendMessage(list, WM_CHAR, 'f', 0);  // type-ahead from the caret: wraps to the first
                      EXPECT_EQ(SendMessage(list, HOST_FDL_GETCARET, 0, 0), 0);
                      SendMessage(list, WM_KEYDOWN, VK_DOWN, 0);
                      Host_Dialog_Press(dlg, IDOK);
                    },
                    r));
  EXPECT_EQ(r.paths, (std::vector<std::string>{tree.P("many/f001.jpg")}));
}

TEST_F(FileDialogTest, PathsPastTwoHundredFiftyFiveBytesWork) {
  std::string rel;
  for (int i = 0; i < 5; ++i) rel += (rel.empty() ? "" : "/") + std::string(60, char('a' + i));
  tree.Dir(rel);
  tree.File(rel + "/deep.jpg");
  const std::string deep = tree.P(rel + "/deep.jpg");
  ASSERT_GT(deep.size(), 300u);
  HostFileDialogParams p = Params(HOST_FD_OPEN);
  p.folder = tree.P(rel);
  HostFileDialogResult r;
  ASSERT_TRUE(Drive(p,
                    [&](HWND dlg) {
                      Double_Click(dlg, Index_Of(dlg, "deep.jpg"));
                    },
                    r));
  EXPECT_EQ(r.paths, (std::vector<std::string>{deep}));
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, deep);
  ASSERT_TRUE(Host_File_Dialog(Params(HOST_FD_OPEN), r));
  EXPECT_EQ(r.paths[0], deep);
  // Past the caller's limit: refused, on the error line or as an answer.
  p.max_path = 200;
  std::string error;
  EXPECT_FALSE(Drive(p,
                     [&](HWND dlg) {
                       Double_Click(dlg, Index_Of(dlg, "deep.jpg"));
                       error = Host_Dlg_Item_Text_Utf8(dlg, kHostFdError);
                     },
                     r));
  EXPECT_NE(error.find("too long"), std::string::npos) << error;
  p.show_headless = false;
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, deep);
  EXPECT_FALSE(Host_File_Dialog(p, r));
}

}  // namespace
