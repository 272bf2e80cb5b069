// The dispatch of commands and keys: refused commands beep and change
// nothing, Save asks where for a document never saved, the zoom stops at its
// ends, the keys nobody takes, language copies of a menu, and the clipboard
// commands: Cut and Copy only empty the clipboard when they put something
// there, Cut removes what it copied, and a paste into a clone goes to its
// master.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "DispatchTestSupport.h"
#include "LabelSessionSupport.h"
#include "TempDirSupport.h"
#include "host/HostScript.h"
#include "objects/VoskText.h"

namespace {

namespace fs = std::filesystem;

class DispatchCommands : public dispatchtest::Dispatch {
 protected:
  // The object ids of the current unit, bottom to top (the paint layer left out).
  static std::vector<uint32> Ids(a_oj_kind kind) {
    std::vector<uint32> ids;
    const a_oj_master& oj = g_doc.up->oj;
    for (int32 i = 0; i < oj.nlist; ++i)
      if (oj.list[i].kind == kind) ids.push_back(oj.list[i].objid);
    return ids;
  }
  static a_keystroke Key(uint8 charcode, int32 virtcode = 0, a_keymod_set mods = 0) {
    return a_keystroke{int16(virtcode), charcode, UniChar(charcode), mods};
  }
};

// With no document, every command that needs one (or that comes later)
// plays sound 136 and changes nothing: no dialog is asked, no file written.
TEST_F(DispatchCommands, RefusedCommandsBeepAndChangeNothing) {
  const std::string path = tmp_ + "/written.CD4";
  const struct {
    int16 menu, item;
  } refused[] = {{MENU_FILE, 1},  {MENU_FILE, 3},   {MENU_FILE, 4},    {MENU_FILE, 5}, {MENU_FILE, 9},
                 {MENU_EDIT, 1},  {MENU_EDIT, 4},   {MENU_EDIT, 5},    {MENU_EDIT, 6}, {MENU_EDIT, 7},
                 {MENU_VIEW, 8},  {MENU_VIEW, 1},   {MENU_ZOOM, 1},    {MENU_ZOOM, 8}, {MENU_EXPORT, 3},
                 {MENU_ARRANGE, 12}, {MENU_HELP, 4}, {MENU_IMPORT, 5}, {403, 6}};
  for (const auto& c : refused) {
    SCOPED_TRACE(testing::Message() << "command " << c.menu + c.item);
    Host_Script_Push_Answer(HOST_ANSWER_SAVE, path);
    DoMenuEvent(c.menu, c.item, false, false);
    EXPECT_EQ(Sounds(), (std::vector<int16>{SND_NULL}));
    EXPECT_FALSE(g_doc.doc_open);
    EXPECT_TRUE(gs.tool_show);
    EXPECT_EQ(gs.grid_vals[ZOOM_GRID], 0);
    EXPECT_FALSE(fs::exists(path));
    Host_Script_Reset();
  }
  // A separator or a number of no item is no command: nothing, silently.
  DoMenuEvent(MENU_FILE, 7, false, false);
  DoMenuEvent(MENU_EDIT, 19, false, false);
  EXPECT_TRUE(Sounds().empty());

  // With a document, the web page without an address is refused too.
  Open(PHOTO_PHASE);
  Photos(2);
  for (const int16 command : {MENU_HELP + 4}) {
    DoMenuEvent(Net_Menu(command), int16(command % 20 == 0 ? 20 : command - Net_Menu(command)), false, false);
    EXPECT_EQ(Sounds(), (std::vector<int16>{SND_NULL})) << command;
  }
  // One the state allows acts.
  const bool8 sound = gs.pref.sound_option;
  DoMenuEvent(MENU_VIEW, 5, false, false);
  EXPECT_NE(gs.pref.sound_option, sound);
}

// Save on a document never saved asks where (Save As); with Shift it always
// asks; on a saved document it writes the same file without asking.
TEST_F(DispatchCommands, SaveAsksWhereForANewDocumentAndWithShift) {
  Open(PAINT_PHASE);
  g_doc.doc_new = true;
  g_doc.doc_changed = true;
  const std::string first = tmp_ + "/first.CD4", second = tmp_ + "/second.CD4";
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, first);
  DoMenuEvent(MENU_FILE, 4, false, false);
  ASSERT_TRUE(fs::exists(first));
  EXPECT_FALSE(g_doc.doc_new);
  EXPECT_FALSE(g_doc.doc_changed);

  Host_Script_Push_Answer(HOST_ANSWER_SAVE, second);
  DoMenuEvent(MENU_FILE, 4, true, false);
  ASSERT_TRUE(fs::exists(second));

  fs::remove(second);
  g_doc.doc_changed = true;
  DoMenuEvent(MENU_FILE, 4, false, false);
  EXPECT_TRUE(fs::exists(second)) << "saved where it was saved last";
  EXPECT_FALSE(g_doc.doc_changed);
  EXPECT_TRUE(Sounds().empty());
}

// A read-only project is refused by Save and by a scripted Save As (which
// meets no file dialog, only the question of replacing it) with alert 15 and the system's reason, and stays as it
// was. The permission binds only another user than root, so the saves run
// as nobody, in a folder anybody may write to.
TEST_F(DispatchCommands, AReadOnlyProjectIsNotReplaced) {
  Open(PAINT_PHASE);
  const std::string kept = tmp_ + "/kept.CD4";
  testdir::Write_Text(kept, "the user's project");
  ASSERT_EQ(::chmod(kept.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(tmp_.c_str(), 0777), 0);
  ASSERT_TRUE(Path_From_Text(g_doc.doc_path, kept.c_str()));
  g_doc.doc_new = false;
  const auto entries = [&] {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(tmp_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  };
  const std::vector<std::string> before = entries();
  gs.controller = HUMAN;
  const bool root = ::geteuid() == 0;
  for (const bool save_as : {false, true}) {
    SCOPED_TRACE(save_as ? "Save As" : "Save");
    g_doc.doc_changed = true;
    if (save_as) {
      Host_Script_Push_Answer(HOST_ANSWER_SAVE, kept);
      Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");  // "Replace" in the question of replacing it
    }
    testing::internal::CaptureStderr();
    if (root && ::seteuid(65534) != 0) {
      testing::internal::GetCapturedStderr();
      GTEST_SKIP() << "cannot act as another user";
    }
    DoMenuEvent(MENU_FILE, int16(save_as ? 5 : 4), false, false);
    if (root) ASSERT_EQ(::seteuid(0), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("alert 15:"), std::string::npos) << err;
    EXPECT_NE(err.find(std::strerror(EACCES)), std::string::npos) << err;
    EXPECT_EQ(testdir::Read_Text(kept), "the user's project");
    EXPECT_TRUE(g_doc.doc_changed);
    EXPECT_EQ(entries(), before) << "nothing left beside it";
  }
  gs.controller = GHOST;
  ::chmod(tmp_.c_str(), 0700);
}

// Open Project with Ctrl held (as its shortcut is typed) still offers the
// changed document its save first: cancelled, the document stays.
TEST_F(DispatchCommands, OpenWithCtrlHeldStillOffersTheSave) {
  Open(PAINT_PHASE);
  g_doc.doc_changed = true;
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "2");  // Cancel
  testing::internal::CaptureStderr();
  DoMenuEvent(MENU_FILE, 2, false, true);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("before opening a new file?"), std::string::npos) << said;
  EXPECT_TRUE(g_doc.doc_open);
  EXPECT_TRUE(g_doc.doc_changed);
}

// Bigger at 400 % and Smaller at fit in window only beep; between them the
// zoom steps; the Zoom items choose their zoom; the preview has no zoom.
TEST_F(DispatchCommands, TheZoomStopsAtItsEnds) {
  Open(PAINT_PHASE);
  const struct {
    int16 from, item, to;
    bool beep;
  } cases[] = {{4, 1, 4, true}, {0, 2, 0, true}, {2, 1, 3, false}, {2, 2, 1, false},
               {1, 8, 4, false}, {3, 4, 0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "zoom " << c.from << " item " << c.item);
    gs.grid_vals[ZOOM_GRID] = c.from;
    DoMenuEvent(MENU_ZOOM, c.item, false, false);
    EXPECT_EQ(gs.grid_vals[ZOOM_GRID], c.to);
    const std::vector<int16> heard = Sounds();
    if (c.beep)
      EXPECT_EQ(heard, (std::vector<int16>{SND_NULL}));
    else
      EXPECT_EQ(std::count(heard.begin(), heard.end(), SND_NULL), 0);
    SV_Init();
  }
  Phase(PREVIEW_PHASE);
  gs.grid_vals[ZOOM_GRID] = 2;
  DoMenuEvent(MENU_ZOOM, 1, false, false);
  EXPECT_EQ(gs.grid_vals[ZOOM_GRID], 2);
  EXPECT_EQ(Sounds(), (std::vector<int16>{SND_NULL}));
}

// Keys nobody takes: sound 136 while the panels are shown; while they are
// hidden alert 26, and Escape brings them back with sound 130. F1 is help's
// key (help on the phase): never a key nobody takes.
TEST_F(DispatchCommands, KeysNobodyTakes) {
  const a_keystroke letter = Key('q'), escape = Key(27, VK_ESCAPE), f1 = Key(0, VK_F1);
  DoKeyDown(letter);
  DoKeyDown(escape);
  DoKeyDown(f1);
  EXPECT_EQ(Sounds(), (std::vector<int16>{SND_NULL, SND_NULL}));
  // "Hide Everything" needs a document.
  DoMenuEvent(MENU_VIEW, VIEW_HIDE_ALL, false, false);
  EXPECT_TRUE(gs.tool_show);
  EXPECT_EQ(Sounds(), (std::vector<int16>{SND_NULL}));

  Open(GRID_PHASE);
  DoMenuEvent(MENU_VIEW, VIEW_HIDE_ALL, false, false);
  ASSERT_FALSE(gs.tool_show);
  gs.controller = HUMAN;
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  testing::internal::CaptureStderr();
  DoKeyDown(letter);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("alert 26"), std::string::npos) << said;
  EXPECT_TRUE(Sounds().empty());
  EXPECT_FALSE(gs.tool_show);
  DoKeyDown(escape);
  EXPECT_EQ(Sounds(), (std::vector<int16>{SND_SUBTOOL_ONESHOT}));
  EXPECT_TRUE(gs.tool_show);
}

// A language copy of a menu (403: the Edit menu in language 3) dispatches
// as its base: Undo undoes.
TEST_F(DispatchCommands, ALanguageCopyOfAMenuDispatchesAsItsBase) {
  Open(PAINT_PHASE);
  const int16 before = Doc_Unit(1)->canv.cv.canvas_darkness;
  Step(int16(before + 10));
  DoMenuEvent(403, EDIT_UNDO, false, false);
  EXPECT_EQ(Doc_Unit(1)->canv.cv.canvas_darkness, before);
  const std::vector<int16> heard = Sounds();
  EXPECT_EQ(std::count(heard.begin(), heard.end(), SND_NULL), 0);
}

// Cut and Copy with nothing to put on the clipboard beep and leave it as it
// was (another program's text included); with something, it replaces it.
TEST_F(DispatchCommands, CutAndCopyKeepTheClipboardWhenTheyHaveNothingToPut) {
  Open(PHOTO_PHASE);
  Photos(1);
  Obj_Select_None();
  const size_t objects = size_t(g_doc.up->oj.nlist);
  const a_phase phases[] = {GRID_PHASE, CANVAS_PHASE, PAINT_PHASE, PHOTO_PHASE, SYMBOL_PHASE, TEXT_PHASE,
                            PREVIEW_PHASE};
  for (const a_phase p : phases) {
    for (const int16 item : {EDIT_CUT, EDIT_COPY}) {
      SCOPED_TRACE(testing::Message() << "phase " << int(p) << " item " << item);
      Phase(p);
      Host_Clipboard_Foreign_Text("another program's text");
      DoMenuEvent(MENU_EDIT, item, false, false);
      EXPECT_EQ(Sounds(), (std::vector<int16>{SND_NULL}));
      EXPECT_EQ(Clip(), (std::vector<uint32>{SCRAP_UNICODETEXT}));
      EXPECT_EQ(size_t(g_doc.up->oj.nlist), objects);
    }
  }
  // The paint phase copies its fill's picture.
  Phase(PAINT_PHASE);
  Pattern_Fill(1);
  DoMenuEvent(MENU_EDIT, EDIT_COPY, false, false);
  EXPECT_TRUE(Sounds().empty());
  EXPECT_EQ(Clip(), (std::vector<uint32>{SCRAP_DIB}));
}

// Cut with three photos selected copies the first and removes only it; a
// paste brings it back.
TEST_F(DispatchCommands, CutRemovesExactlyWhatItCopied) {
  Open(PHOTO_PHASE);
  Photos(3);
  const std::vector<uint32> before = Ids(PHOTO_BLOCK);
  ASSERT_EQ(before.size(), 3u);
  ASSERT_EQ(Selection_Count(), 3);
  DoMenuEvent(MENU_EDIT, EDIT_CUT, false, false);
  EXPECT_TRUE(Sounds().empty());
  EXPECT_EQ(Clip(), (std::vector<uint32>{SCRAP_PH}));
  EXPECT_EQ(Ids(PHOTO_BLOCK), (std::vector<uint32>{before[1], before[2]}));
  DoMenuEvent(MENU_EDIT, EDIT_PASTE, false, false);
  EXPECT_EQ(Ids(PHOTO_BLOCK).size(), 3u);
}

// A paste while the current unit is a clone goes to its master, which
// becomes current; the clone stays without content of its own.
TEST_F(DispatchCommands, APasteIntoACloneGoesToItsMaster) {
  Open(PHOTO_PHASE);
  Photos(1);
  DoMenuEvent(MENU_EDIT, EDIT_COPY, false, false);
  ASSERT_EQ(Clip(), (std::vector<uint32>{SCRAP_PH}));
  if (!Doc_Unit(2)->clonef) ASSERT_TRUE(Clone(2));
  Select_Doc_Unit(2);
  ASSERT_TRUE(g_doc.up->clonef);
  Phase(PREVIEW_PHASE);
  DoMenuEvent(MENU_EDIT, EDIT_PASTE, false, false);
  EXPECT_TRUE(Sounds().empty());
  EXPECT_EQ(g_doc.upx, 1u);
  EXPECT_EQ(Ids(PHOTO_BLOCK).size(), 2u);
  EXPECT_TRUE(Doc_Unit(2)->clonef);
}

// Text from another program pasted in the paint phase becomes a new text
// object in the text phase.
TEST_F(DispatchCommands, PastedTextBecomesATextObject) {
  Open(PAINT_PHASE);
  Host_Clipboard_Foreign_Text("Summer");
  DoMenuEvent(MENU_EDIT, EDIT_PASTE, false, false);
  EXPECT_TRUE(Sounds().empty());
  EXPECT_EQ(gs.curr_phase, TEXT_PHASE);
  EXPECT_EQ(Ids(TEXT_BLOCK).size(), 1u);
  EXPECT_EQ(pending_op, OP_TEXT_NEW);
}

// A text object copied and pasted with Ctrl+V: the copy alone is selected,
// so the Delete key removes it and leaves the original, whether the
// original was selected at the paste or not.
TEST_F(DispatchCommands, APastedTextObjectIsTheSelection) {
  for (const bool deselect_first : {false, true}) {
    SCOPED_TRACE(deselect_first ? "nothing selected at the paste" : "the original selected at the paste");
    Open(TEXT_PHASE);
    const std::u16string title = u"Summer";
    Text_New2(reinterpret_cast<const UniChar*>(title.data()), int32(title.size()), 0, Point{NO_POINT, NO_POINT},
              true);
    const std::vector<uint32> original = Ids(TEXT_BLOCK);
    ASSERT_EQ(original.size(), 1u);
    Obj_Select_All();
    DoMenuEvent(MENU_EDIT, EDIT_COPY, false, false);
    if (deselect_first) DoMenuEvent(MENU_EDIT, EDIT_SELECT_NONE, false, false);
    Sounds();
    DoMenuEvent(MENU_EDIT, EDIT_PASTE, false, false);
    ASSERT_EQ(Ids(TEXT_BLOCK).size(), 2u) << "the paste made a text object";
    EXPECT_EQ(Selection_Count(), 1);
    DoKeyDown(Key(127, VK_DELETE));
    EXPECT_EQ(Ids(TEXT_BLOCK), original) << "Delete removed the pasted copy, not the original";
    const std::vector<int16> sounds = Sounds();
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), SND_NULL), 0) << "Delete was not refused";
    Undo_Dispose();
    Doc_Dispose();
    Host_Clipboard_Reset();
  }
}

// The real program: the script's commands meet the same rules. With no
// document, Save, Save As, Export and Print are refused (no dialog, no
// file, no alert); once a project is open, Export writes its picture.
TEST(DispatchSession, ScriptedCommandsMeetTheRules) {
  const std::string dir = testdir::Make_Temp_Dir("velmor-dispatch-e2e");
  ASSERT_FALSE(dir.empty());
  const std::string project = dir + "/cd.CD4", saved = dir + "/saved.CD4", bmp = dir + "/unit.bmp";
  ASSERT_TRUE(labelsession::Write_CD_Project(project));
  using labelsession::Menu;
  std::string err;
  int rc = labelsession::Run(dir,
                             "wait 10\nanswer save " + saved + "\n" + Menu(304) + Menu(305) + "answer save " + bmp +
                                 "\n" + Menu(1103) + Menu(309) + Menu(508) + "key Ctrl+S\nwait 10\nquit\n",
                             800, 600, err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("alert"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(saved));
  EXPECT_FALSE(fs::exists(bmp));

  rc = labelsession::Run(dir, "wait 10\n" + labelsession::Open_Project(project) + "answer save " + bmp + "\n" +
                                  Menu(1103) + "wait 10\nquit\n",
                         800, 600, err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_TRUE(fs::exists(bmp)) << err;
  testdir::Remove_Dir(dir);
}

// Ctrl+Shift+S typed in the real program asks where to save (Save As): the
// copy is written where the answer says and the open project's file is not
// touched.
TEST(DispatchSession, CtrlShiftSAsksWhereToSave) {
  const std::string dir = testdir::Make_Temp_Dir("velmor-saveas-e2e");
  ASSERT_FALSE(dir.empty());
  const std::string project = dir + "/cd.CD4", copy = dir + "/copy.CD4";
  ASSERT_TRUE(labelsession::Write_CD_Project(project));
  const std::string before = testdir::Read_Text(project);
  struct stat st0 {};
  ASSERT_EQ(::stat(project.c_str(), &st0), 0);
  std::string err;
  const int rc = labelsession::Run(
      dir, "wait 10\n" + labelsession::Open_Project(project) + "wait 10\nanswer save " + copy + "\nkey Ctrl+Shift+S\nwait 10\nquit\n",
      800, 600, err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_TRUE(fs::exists(copy)) << "no save dialog was asked for\n" << err;
  struct stat st1 {};
  ASSERT_EQ(::stat(project.c_str(), &st1), 0);
  EXPECT_EQ(st1.st_ino, st0.st_ino) << "the open project was saved over";
  EXPECT_EQ(testdir::Read_Text(project), before);
  testdir::Remove_Dir(dir);
}

}  // namespace
