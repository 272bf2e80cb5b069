// The start screen's lists and the unit strip: the recent layouts (most
// used, then newest; arrangement; delete boxes), the recent documents
// (slots by whole path, oldest replaced, the grid of project files), the
// language chooser refusing languages without strings, the Tab key and the
// clone toggle.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "NodeTestSupport.h"
#include "SoundTestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskTmpl.h"
#include "host/HostScript.h"
#include "platform/LangUtil.h"
#include "platform/QDRect.h"
#include "platform/SysDlog.h"
#include "platform/SysInfo.h"
#include "platform/VoskErr.h"
#include "ui/VoskBrow.h"
#include "ui/VoskConf.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"
#include "objects/VoskAtom.h"
#include "platform/Controls.h"
#include "platform/SysLoop.h"

namespace {

namespace fs = std::filesystem;

class Lists : public nodetest::NodeTree {
 protected:
  std::optional<soundtest::SoundRecorder> sounds_;
  void SetUp() override {
    nodetest::NodeTree::SetUp();
    SysDlog_Init();
    doctests::Start_Document_Layer();
    sounds_.emplace();
    std::memset(gs.pref.recent, 0, sizeof gs.pref.recent);
    std::memset(gs.pref.recentlay, 0, sizeof gs.pref.recentlay);
  }
  void TearDown() override {
    doctests::Close_Document();
    sounds_.reset();
    nodetest::NodeTree::TearDown();
  }
  std::vector<int16> Sounds() {
    std::vector<int16> ids = sounds_->Ids();
    sounds_->Clear();
    return ids;
  }
  static void Script(const std::string& text) {
    std::string err;
    ASSERT_TRUE(Host_Script_Load_Text(text, "lists", err)) << err;
  }
  // A click at p of a modal window of client size w x h, in the main
  // window's client coordinates: the window is centred across the screen
  // and three tenths of the free height down, under its title.
  static std::string Modal_Click(int16 w, int16 h, Point p) {
    const int16 sw = int16(info_videoavail.right - info_videoavail.left);
    const int16 sh = int16(info_videoavail.bottom - info_videoavail.top);
    const int32 left = info_videoavail.left + (sw - w) / 2;
    const int32 top = info_videoavail.top + (sh - (h + 22)) * 3 / 10 + 8;
    POINT origin{0, 0};
    ClientToScreen(gs.outer_window, &origin);
    return "click " + std::to_string(left + p.h - origin.x) + " " + std::to_string(top + p.v - origin.y) + "\n";
  }
  static Point Middle(const Rect& r) { return Point{int16((r.top + r.bottom) / 2), int16((r.left + r.right) / 2)}; }
  static a_mousestroke Press(Point p, bool down = true) { return a_mousestroke{0, gs.outer_window, p, down, false, 0}; }
};

// --- Recent layouts ----------------------------------------------------------------

void Put_Layout(int16 slot, uint32 count, uint32 tx, int16 minute) {
  a_layout_usage_rec rec{};
  rec.count = count;
  std::memcpy(rec.label, g_ctemplates[tx - 1].label, 31);
  rec.when.year = 2026;
  rec.when.month = 12;
  rec.when.day = 1;
  rec.when.minute = minute;
  std::memcpy(&gs.pref.recentlay[slot], &rec, sizeof rec);
}

uint32 Distinct_Template(int k) {
  // Entries of distinct labels, spread over the catalogue.
  return uint32(1 + k * 7);
}

TEST_F(Lists, RecentLayoutsPlaceTheMostUsedThenTheNewest) {
  ASSERT_GT(NTEMPLATES, 80u);
  // Counts and minutes per slot; slot 9 names a layout the catalogue lacks.
  const struct {
    int16 slot;
    uint32 count;
    int16 minute;
  } slots[] = {{0, 5, 1}, {1, 9, 2}, {2, 5, 3}, {3, 2, 50}, {4, 2, 40}, {5, 3, 10},
               {6, 2, 45}, {7, 2, 5},  {8, 2, 30}};
  for (const auto& s : slots) Put_Layout(s.slot, s.count, Distinct_Template(s.slot), s.minute);
  a_layout_usage_rec gone{};
  gone.count = 20;
  std::strcpy(gone.label, "No such layout anywhere");
  std::memcpy(&gs.pref.recentlay[9], &gone, sizeof gone);

  RecentLay_BuildList();
  ASSERT_EQ(RecentLay_Count(), 6);
  // 9 uses; 5 and 5 (the higher slot first); then minutes 50, 45, 40.
  const int16 want[] = {1, 2, 0, 3, 6, 4};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(g_recentlay[k].slot, want[k]) << k;
    EXPECT_EQ(g_recentlay[k].tx, Distinct_Template(want[k])) << k;
  }
  EXPECT_EQ(uint32(gs.pref.recentlay[9].count), 0u) << "a layout the catalogue lacks is freed";

  // Arrangements by count, and the boxes fitted apart inside the area.
  const Point arr[] = {{1, 1}, {1, 1}, {1, 2}, {1, 3}, {2, 2}, {2, 3}, {2, 3}, {1, 1}};
  for (int16 n = 0; n <= 7; ++n) {
    EXPECT_EQ(Calc_Arrangement(n).h, arr[n].h) << n;
    EXPECT_EQ(Calc_Arrangement(n).v, arr[n].v) << n;
  }
  const Rect area{100, 20, 700, 900};
  RecentLay_Calc_Boxes(area);
  for (int k = 0; k < 6; ++k) {
    const Rect& b = g_recentlay[k].box;
    EXPECT_TRUE(b.left >= area.left && b.right <= area.right && b.top >= area.top && b.bottom <= area.bottom);
    EXPECT_FALSE(EmptyRect(b));
    const Rect& d = g_recentlay[k].delbox;
    EXPECT_EQ(d.right, b.right);
    EXPECT_EQ(d.top, b.top);
    for (int j = 0; j < k; ++j) {
      Rect common;
      EXPECT_FALSE(SectRect(b, g_recentlay[j].box, common)) << k << " overlaps " << j;
    }
  }

  // The delete box frees every slot of that layout; the list closes up.
  Put_Layout(12, 7, Distinct_Template(3), 0);  // a second slot of the same layout
  RecentLay_BuildList();
  RecentLay_Calc_Boxes(area);
  int16 place = -1;
  for (int16 k = 0; k < RecentLay_Count(); ++k)
    if (g_recentlay[k].tx == Distinct_Template(3)) place = k;
  ASSERT_GE(place, 0);
  Sounds();
  RecentLay_MouseDown(Press(Middle(g_recentlay[place].delbox)));
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_SUBTOOL_ONESHOT});
  EXPECT_EQ(uint32(gs.pref.recentlay[3].count), 0u);
  EXPECT_EQ(uint32(gs.pref.recentlay[12].count), 0u);
  EXPECT_EQ(RecentLay_Count(), 6);  // slot 7 moves up
  for (int16 k = 0; k < RecentLay_Count(); ++k) EXPECT_NE(g_recentlay[k].tx, Distinct_Template(3));
  // Beside every box: sound 136, nothing freed.
  RecentLay_MouseDown(Press(Point{int16(area.top + 1), int16(area.left + 1)}));
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_NULL});
  // A press on a box makes a document on that layout.
  RecentLay_Calc_Boxes(area);
  const uint32 tx = g_recentlay[0].tx;
  RecentLay_MouseDown(Press(Middle(g_recentlay[0].box)));
  ASSERT_TRUE(g_doc.doc_open);
  EXPECT_EQ(std::strncmp(g_doc.doc_template.label, g_ctemplates[tx - 1].label, 31), 0);
}

// --- Recent documents --------------------------------------------------------------

FSSpec Path(const std::string& s) {
  FSSpec p{};
  std::strncpy(p.name, s.c_str(), sizeof p.name - 1);
  return p;
}

void Set_Date(int16 slot, int16 year, int16 day) {
  gs.pref.recent[slot].doc_time = DateTimeRec{};
  gs.pref.recent[slot].doc_time.year = year;
  gs.pref.recent[slot].doc_time.month = 1;
  gs.pref.recent[slot].doc_time.day = day;
}

std::string Slot_Name(int16 slot) { return gs.pref.recent[slot].doc_path.name; }

TEST_F(Lists, RecentDocumentsKeepWholePathsAndReplaceTheOldest) {
  // Free slots fill from the first one.
  Recent_Add_Path(Path("/a/Disc.cd4"));
  EXPECT_EQ(Slot_Name(0), "/a/Disc.cd4");
  // The same name in another folder is another file.
  Recent_Add_Path(Path("/b/Disc.cd4"));
  EXPECT_EQ(Slot_Name(0), "/a/Disc.cd4");
  EXPECT_EQ(Slot_Name(1), "/b/Disc.cd4");
  // The same path again: its own slot, with the new date, though another
  // slot is older.
  Set_Date(0, 1990, 2);
  Set_Date(1, 1990, 1);
  Recent_Add_Path(Path("/a/Disc.cd4"));
  int n = 0;
  for (int16 i = 0; i < MAX_NRECENT; ++i) n += Slot_Name(i) == "/a/Disc.cd4";
  EXPECT_EQ(n, 1);
  EXPECT_EQ(Slot_Name(0), "/a/Disc.cd4");
  EXPECT_EQ(Slot_Name(1), "/b/Disc.cd4");
  EXPECT_GT(int(gs.pref.recent[0].doc_time.year), 1990);

  // All 21 in use: the oldest goes.
  for (int16 i = 0; i < MAX_NRECENT; ++i) {
    std::strcpy(gs.pref.recent[i].doc_path.name, ("/f/" + std::to_string(i) + ".cd4").c_str());
    Set_Date(i, 1995, int16(10 + (i * 7) % 15));
  }
  Set_Date(13, 1994, 28);
  Recent_Add_Path(Path("/new/One.cd4"));
  EXPECT_EQ(Slot_Name(13), "/new/One.cd4");
  for (int16 i = 0; i < MAX_NRECENT; ++i) {
    if (i != 13) {
      EXPECT_EQ(Slot_Name(i), "/f/" + std::to_string(i) + ".cd4");
    }
  }
  // Equal oldest dates: the first of them.
  Set_Date(4, 1993, 1);
  Set_Date(17, 1993, 1);
  Recent_Add_Path(Path("/new/Two.cd4"));
  EXPECT_EQ(Slot_Name(4), "/new/Two.cd4");
  EXPECT_EQ(Slot_Name(17), "/f/17.cd4");

  // A path longer than a slot holds is not kept, never kept cut.
  const std::string long_path = "/" + std::string(300, 'x') + ".cd4";
  FSSpec lp{};
  ASSERT_GT(sizeof lp.name, long_path.size());
  std::strcpy(lp.name, long_path.c_str());
  a_recent_doc before[MAX_NRECENT];
  std::memcpy(before, gs.pref.recent, sizeof before);
  Recent_Add_Path(lp);
  EXPECT_EQ(std::memcmp(before, gs.pref.recent, sizeof before), 0);
  const std::string fits = "/" + std::string(250, 'y') + ".cd4";
  ASSERT_EQ(fits.size(), 255u);
  Recent_Add_Path(Path(fits));
  n = 0;
  for (int16 i = 0; i < MAX_NRECENT; ++i) n += Slot_Name(i) == fits;
  EXPECT_EQ(n, 1);
}

// The list shows the slots that are still project files, by name, in the
// grid their count asks for; a delete box clears its slot.
TEST_F(Lists, RecentDocumentsGridOfProjectFiles) {
  const std::string exe = VELMOR4_EXE;
  const std::string example = exe.substr(0, exe.find_last_of('/')) + "/Templates/CD labels.CD4";
  ASSERT_TRUE(fs::exists(example));
  const fs::path dir = fs::temp_directory_path() / ("velmor-recent-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::vector<std::string> files;
  for (int i = 0; i < MAX_NRECENT; ++i) {
    const std::string name = std::string(1, char('a' + (i * 5) % 21)) + "-disc.cd4";
    fs::copy_file(example, dir / name);
    files.push_back((dir / name).string());
  }
  std::ofstream(dir / "not-a-project.cd4") << "plain text";
  const Rect area{100, 0, 700, 1000};
  struct Case {
    int n;
    int16 rows, cols;
  };
  const Case cases[] = {{1, 1, 1}, {3, 1, 3}, {4, 1, 4}, {5, 2, 4}, {8, 2, 4}, {9, 3, 4},
                        {12, 3, 4}, {13, 4, 5}, {20, 4, 5}, {21, 4, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    std::memset(gs.pref.recent, 0, sizeof gs.pref.recent);
    for (int i = 0; i < c.n; ++i) std::strcpy(gs.pref.recent[i].doc_path.name, files[size_t(i)].c_str());
    Calc_Recent_List(area);
    ASSERT_EQ(g_recent.nlist, c.n);
    EXPECT_EQ(g_recent.ncells.v, c.rows);
    EXPECT_EQ(g_recent.ncells.h, c.cols);
    for (int16 k = 1; k < g_recent.nlist; ++k)
      EXPECT_LT(std::strcmp(g_recent.list[k - 1].name, g_recent.list[k].name), 0);
    for (int16 k = 0; k < g_recent.nlist; ++k) {
      const Rect& b = g_recent.list[k].usedbox;
      EXPECT_TRUE(b.left >= area.left && b.right <= area.right && b.top >= area.top && b.bottom <= area.bottom);
    }
  }
  // A missing file and a file that is no project are left out, their slots kept.
  std::memset(gs.pref.recent, 0, sizeof gs.pref.recent);
  std::strcpy(gs.pref.recent[0].doc_path.name, files[0].c_str());
  std::strcpy(gs.pref.recent[1].doc_path.name, (dir / "gone.cd4").string().c_str());
  std::strcpy(gs.pref.recent[2].doc_path.name, (dir / "not-a-project.cd4").string().c_str());
  std::strcpy(gs.pref.recent[3].doc_path.name, files[1].c_str());
  Calc_Recent_List(area);
  ASSERT_EQ(g_recent.nlist, 2);
  EXPECT_NE(gs.pref.recent[1].doc_path.name[0], 0);
  // The delete box of the first item clears its slot.
  const int16 slot = g_recent.list[0].prefx;
  Sounds();
  Recent_MouseDown(Press(Middle(g_recent.list[0].delbox)));
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_SUBTOOL_ONESHOT});
  EXPECT_EQ(gs.pref.recent[slot].doc_path.name[0], 0);
  Calc_Recent_List(area);
  EXPECT_EQ(g_recent.nlist, 1);
  Recent_MouseDown(Press(Point{int16(area.bottom - 2), int16(area.right - 2)}));
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_NULL});
  // A press on an item opens its file.
  Recent_MouseDown(Press(Middle(g_recent.list[0].usedbox)));
  EXPECT_TRUE(g_doc.doc_open);
  fs::remove_all(dir);
}

// --- The language chooser ----------------------------------------------------------

// The chooser as it was when a press was refused, for a look.
std::string g_lang_shot;
int32 Snapshot_On_Refusal(const a_keyset& key) {
  if (key.a == SOUND_KEY_FAMILY && key.c == SND_NULL && !g_lang_shot.empty()) {
    std::string err;
    EXPECT_TRUE(Host_Snapshot_Window(GetActiveWindow(), g_lang_shot, err)) << err;
    g_lang_shot.clear();
  }
  return soundtest::Record_Size(key);
}

TEST_F(Lists, TheLanguageChooserRefusesLanguagesWithoutStrings) {
  const a_language_set saved = app_capability;
  app_capability = Lang_Bit(ENGLISH) | Lang_Bit(GERMAN);
  const Point size = Language_Window_Size();
  for (int16 l = 0; l < NLANGUAGES; ++l) {
    const Rect b = Language_Box(l);
    ASSERT_TRUE(b.left >= 0 && b.top >= 0 && b.right <= size.h && b.bottom <= size.v) << l;
  }
  // French has no strings: refused with sound 136; Escape then cancels.
  const std::string exe = VELMOR4_EXE;
  const std::string shot = exe.substr(0, exe.find_last_of('/')) + "/e2e/browsers/languages.png";
  fs::create_directories(fs::path(shot).parent_path());
  fs::remove(shot);
  g_lang_shot = shot;
  const a_sound_library saved_library = g_sound_library;
  g_sound_library.size = Snapshot_On_Refusal;
  Script(Modal_Click(size.h, size.v, Middle(Language_Box(FRENCH))) + "key Escape\n");
  Sounds();
  EXPECT_EQ(Ask_Language(), -1);
  g_sound_library = saved_library;
  std::vector<int16> ids = Sounds();
  EXPECT_NE(std::find(ids.begin(), ids.end(), SND_NULL), ids.end());
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  std::string why;
  ASSERT_TRUE(Host_Read_PNG(shot, px, w, h, why)) << why;
  EXPECT_EQ(w, size.h);
  EXPECT_EQ(h, size.v);
  // German is chosen.
  Script(Modal_Click(size.h, size.v, Middle(Language_Box(GERMAN))));
  EXPECT_EQ(Ask_Language(), GERMAN);
  ids = Sounds();
  EXPECT_NE(std::find(ids.begin(), ids.end(), SND_SUBTOOL_ONESHOT), ids.end());
  // A press beside the buttons cancels.
  Script(Modal_Click(size.h, size.v, Point{2, 2}));
  EXPECT_EQ(Ask_Language(), -1);
  // The start screen's button switches the interface to the choice.
  ASSERT_EQ(Current_Language(), ENGLISH);
  Script(Modal_Click(size.h, size.v, Middle(Language_Box(GERMAN))));
  Proj_Language();
  SV_Finish();
  EXPECT_EQ(gs.pref.language_offset, GERMAN);
  SV_Set_Int(SV_LANGUAGE, ENGLISH);
  SV_Finish();
  app_capability = saved;
}

// --- The unit strip ------------------------------------------------------------------

a_template Layout_Of(std::initializer_list<uint8> kinds) {
  a_template x{};
  std::strcpy(x.label, "Strip");
  x.papersize = {215.9f, 279.4f};
  float top = 5;
  for (uint8 kind : kinds) {
    a_unit& u = x.units[x.nunits++];
    u.kind = kind;
    u.bbox = kind == UNIT_CD ? a_frect{10, top, 130, top + 120} : a_frect{10, top, 100, top + 50};
    if (kind == UNIT_CD) u.meas[0] = 41;
    top += kind == UNIT_CD ? 2 : 55;
  }
  return x;
}

a_keystroke Tab(bool shift) { return a_keystroke{VK_TAB, 9, 9, shift ? Keymod_Bit(SHIFTKEY) : a_keymod_set(0)}; }

TEST_F(Lists, TabCyclesTheUnitsOnlyWithTwoOrMore) {
  ASSERT_TRUE(Doc_New(Layout_Of({UNIT_CD})));
  Select_Doc_Unit(1);
  EXPECT_FALSE(UnitList_KeyFilter(Tab(false)));
  EXPECT_FALSE(UnitList_KeyFilter(Tab(true)));
  doctests::Close_Document();
  ASSERT_TRUE(Doc_New(Layout_Of({UNIT_CD, UNIT_CD, UNIT_RECT})));
  Select_Doc_Unit(1);
  const struct {
    bool shift;
    uint32 after;
  } steps[] = {{false, 3}, {false, 2}, {true, 3}, {true, 1}, {true, 2}};
  for (const auto& s : steps) {
    ASSERT_TRUE(UnitList_KeyFilter(Tab(s.shift)));
    EXPECT_EQ(g_doc.upx, s.after);
  }
  EXPECT_FALSE(UnitList_KeyFilter(a_keystroke{0, 'a', 'a', 0}));
  // The strip: a label row before each section, the units in order.
  Calc_UnitList(Rect{0, 0, 68, 300});
  std::vector<std::pair<a_ubox_kind, uint32>> rows;
  for (int16 k = 0; k < g_ubox.nlist; ++k) rows.emplace_back(g_ubox.list[k].kind, g_ubox.list[k].ux);
  const std::vector<std::pair<a_ubox_kind, uint32>> want = {
      {LABEL_KIND, 1}, {UNIT_KIND, 1}, {UNIT_KIND, 2}, {LABEL_KIND, 3}, {UNIT_KIND, 3}};
  EXPECT_EQ(rows, want);
  EXPECT_EQ(Calc_UnitList_V(Rect{0, 0, 68, 300}), 3);  // 2 rows of 34 shown
  EXPECT_EQ(Calc_UnitList_V(Rect{0, 0, 400, 300}), 0);
}

TEST_F(Lists, TheCloneToggle) {
  ASSERT_TRUE(Doc_New(Layout_Of({UNIT_CD, UNIT_CD, UNIT_CD, UNIT_RECT})));
  Select_Doc_Unit(1);
  Sounds();
  // Unit 1 and the first of a section cannot become clones.
  for (uint32 ux : {1u, 4u}) {
    SCOPED_TRACE(ux);
    Toggle_Clone(ux);
    EXPECT_FALSE(Doc_Unit(ux)->clonef);
    EXPECT_EQ(Sounds(), std::vector<int16>{SND_NULL});
  }
  // A clone becomes a master with its own copy; still pristine, so it is
  // cloned again at once.
  if (!Doc_Unit(2)->clonef) {
    ASSERT_TRUE(Clone(2));
  }
  Toggle_Clone(2);
  EXPECT_FALSE(Doc_Unit(2)->clonef);
  EXPECT_TRUE(Unit_Pristine(2));
  Toggle_Clone(2);
  EXPECT_TRUE(Doc_Unit(2)->clonef);
  // A design of its own asks first (dialog 1201): Cancel keeps it, OK clones.
  Toggle_Clone(2);
  ASSERT_FALSE(Doc_Unit(2)->clonef);
  Doc_Unit(2)->canv.cv.canvas_darkness = 70;
  EXPECT_FALSE(Unit_Pristine(2));
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "2");
  testing::internal::CaptureStderr();
  Toggle_Clone(2);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("clone of the label above"), std::string::npos);
  EXPECT_FALSE(Doc_Unit(2)->clonef);
  EXPECT_EQ(Doc_Unit(2)->canv.cv.canvas_darkness, 70);
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  Toggle_Clone(2);
  EXPECT_TRUE(Doc_Unit(2)->clonef);
  // Paint alone makes a unit its own.
  Toggle_Clone(2);
  Doc_Unit(2)->paintinuse = true;
  EXPECT_FALSE(Unit_Pristine(2));
  Doc_Unit(2)->paintinuse = false;
}

// The strip scrolls by rows: the arrows one, the page areas the rows shown
// less one, the wheel the rows shown per notch; a move sounds 132, none 136.
// A unit made current comes into view; presses pick units and, on the
// current one right of its number, toggle its clone state.
TEST_F(Lists, TheStripScrollsAndPicksUnits) {
  ASSERT_TRUE(Doc_New(Layout_Of({UNIT_CD, UNIT_CD, UNIT_CD, UNIT_CD, UNIT_CD, UNIT_CD, UNIT_RECT, UNIT_RECT})));
  Select_Doc_Unit(1);
  ASSERT_NE(gs.uscroll_ctrl, nullptr);
  const Rect area{100, 10, int16(100 + 4 * 34), 310};  // four rows of ten
  const int32 hidden = Calc_UnitList_V(area);
  ASSERT_EQ(hidden, 10 - 4);
  EXPECT_EQ(gs.uscroll_nview, 4);
  SetControlMinMax(gs.uscroll_ctrl, 1, 1 + hidden, 1);
  SetControlValue(gs.uscroll_ctrl, 1);
  const int16 saved_wheel = g_wheel_delta;
  g_wheel_delta = 1;
  const struct {
    int16 part;
    int32 value;
    int16 sound;
  } steps[] = {{SB_LINEUP, 1, SND_LIMIT},          {SB_LINEDOWN, 2, SND_SUBTOOL_SLIDER},
               {SB_PAGEDOWN, 5, SND_SUBTOOL_SLIDER}, {SB_PAGEDOWN, 7, SND_SUBTOOL_SLIDER},
               {SB_LINEDOWN, 7, SND_LIMIT},        {SB_PAGEUP, 4, SND_SUBTOOL_SLIDER},
               {SCROLL_WHEEL, 7, SND_SUBTOOL_SLIDER}};
  Sounds();
  for (const auto& s : steps) {
    SCOPED_TRACE(s.part);
    UnitList_NonThumbAction(s.part, gs.uscroll_ctrl);
    EXPECT_EQ(GetControlValue(gs.uscroll_ctrl), s.value);
    EXPECT_EQ(Sounds(), std::vector<int16>{s.sound});
  }
  g_wheel_delta = saved_wheel;
  // Unit 1 (rows 0 and 1 with its label) scrolled back into view.
  Jump_To_Unit(1);
  EXPECT_EQ(GetControlValue(gs.uscroll_ctrl), 1);
  // Unit 8, the last row, at the bottom of the view.
  Jump_To_Unit(8);
  EXPECT_EQ(g_doc.upx, 8u);
  EXPECT_EQ(GetControlValue(gs.uscroll_ctrl), 7);
  // Presses at the scroll bar's place: rows 6 .. 9 show (units 5, 6, the
  // rectangles' label, unit 7).
  Calc_UnitList(area);
  const auto row_point = [&](int row, int16 h) { return Point{int16(area.top + row * 34 + 17), h}; };
  Sounds();
  UnitList_MouseDown(Press(row_point(0, 100)));
  EXPECT_EQ(g_doc.upx, 6u);
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_SUBTOOL_ONESHOT});
  // On the current unit: near its number nothing; further right the clone
  // toggle (unit 6 is a clone of the discs' master, or becomes one).
  const bool was_clone = Doc_Unit(6)->clonef;
  UnitList_MouseDown(Press(row_point(0, int16(area.left + 20))));
  EXPECT_EQ(Doc_Unit(6)->clonef, was_clone);
  UnitList_MouseDown(Press(row_point(0, int16(area.left + 60))));
  EXPECT_NE(Doc_Unit(6)->clonef, was_clone);
  // The label row picks nothing.
  UnitList_MouseDown(Press(row_point(1, 100)));
  EXPECT_EQ(g_doc.upx, 6u);
}

// A drag of the strip's thumb repaints only at a value the strip was not
// last painted at; a repaint at another value (a new document's strip at
// the top) counts too, so a drag back to the old value repaints.
TEST_F(Lists, TheStripThumbRepaintsWhereTheStripWasNotPainted) {
  // Forty labels: more rows than the print panel shows.
  a_template sheet = Layout_Of({UNIT_RECT});
  while (sheet.nunits < 40) sheet.units[sheet.nunits++] = sheet.units[0];
  ASSERT_TRUE(Doc_New(sheet));
  Select_Doc_Unit(1);
  gs.nviews = 1;
  gs.curr_phase = PREVIEW_PHASE;
  Config_All();
  HWND window = nullptr;
  Rect area{};
  ASSERT_TRUE(Custom_Get_Info(CUSTOM_UNITLIST, window, area)) << "the print panel shows the strip";
  ASSERT_NE(gs.uscroll_ctrl, nullptr);
  SetControlMinMax(gs.uscroll_ctrl, 1, 1 + Calc_UnitList_V(area), 1);
  ASSERT_GE(GetControlMaximum(gs.uscroll_ctrl), 3) << "the strip scrolls";
  // A paint shows in g_ubox: emptied before each step, laid out again by it.
  const auto painted = [] { return g_ubox.nlist > 0; };
  SetControlValue(gs.uscroll_ctrl, 3);
  g_ubox.nlist = 0;
  UnitList_ThumbAction(0, gs.uscroll_ctrl);
  EXPECT_TRUE(painted());
  g_ubox.nlist = 0;
  UnitList_ThumbAction(0, gs.uscroll_ctrl);
  EXPECT_FALSE(painted()) << "the same value again";
  SetControlValue(gs.uscroll_ctrl, 1);
  Custom_Paint(CUSTOM_UNITLIST);
  SetControlValue(gs.uscroll_ctrl, 3);
  g_ubox.nlist = 0;
  UnitList_ThumbAction(0, gs.uscroll_ctrl);
  EXPECT_TRUE(painted()) << "the strip showed the top since";
}

// The colour browser opens on the page of the colour's palette entry and
// gives that entry's colour; the font browser gives the font chosen.
TEST_F(Lists, TheColourAndFontChoosersOpenWhereTheChoiceIs) {
  // A small screen, where the palette takes several pages.
  const Rect saved_screen = info_videobounds;
  const int16 sw = 260, sh = 260;
  info_videobounds = Rect{0, 0, sh, sw};
  a_browser_rec b;
  Browser_Layout(PAINT_COLORBAR, sw, sh, 0, int16(std::min<int32>(gs.ncolor_table, NCOLOR_TABLE) - 1), 0, b);
  ASSERT_GT(gs.ncolor_table, 2 * b.celltotn) << "the palette fills three pages";
  const int16 entry = int16(std::min<int32>(2 * b.celltotn + 1, gs.ncolor_table - 1));
  a_pixel32 colour = gs.color_table[entry];
  ASSERT_EQ(Find_In_Palette32(colour), entry) << "an entry of its own";
  Script("key Escape\n");
  EXPECT_FALSE(Choose_Color32(colour));
  EXPECT_EQ(g_browser.display_id, 2 * b.celltotn);
  // Return takes the framed entry; Page Up and a click choose another.
  Script("key Return\n");
  a_pixel24 c24{colour.r, colour.g, colour.b};
  ASSERT_TRUE(Choose_Color24(c24));
  EXPECT_EQ(c24.g, gs.color_table[entry].g);
  a_browser_rec first = b;
  first.display_id = int16(b.celltotn);
  Script("key PageUp\n" + Modal_Click(b.bb_window.right, b.bb_window.bottom,
                                        Middle(Browser_ID_To_Cell(first, int16(b.celltotn + 3)))));
  ASSERT_TRUE(Choose_Color32(colour));
  EXPECT_EQ(colour.b, gs.color_table[b.celltotn + 3].b);
  EXPECT_EQ(colour.r, gs.color_table[b.celltotn + 3].r);
  info_videobounds = saved_screen;

  uint32 fontx = 2;
  Script("key Return\n");
  ASSERT_TRUE(Ask_Font_Remap(fontx, CStrSpan("Abc", 4), CStrSpan("Missing Sans", 13)));
  EXPECT_EQ(fontx, 2u);
  EXPECT_EQ(g_browser.cellsize.h, 260);
  EXPECT_EQ(g_browser.promptx, 27);
  Script("key Escape\n");
  fontx = 1;
  EXPECT_FALSE(Ask_Font_Remap(fontx, CStrSpan("Abc", 4), CStrSpan("Missing Sans", 13)));
  EXPECT_EQ(fontx, 1u);
}

}  // namespace
