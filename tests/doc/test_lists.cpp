// The layout chooser's lists: the kind, brand and entry lists built from a
// small working list and from the whole catalogue, the keys, the mouse, the
// scroll bars, and the sounds each of them plays. The lists live in the
// interface state with hidden scroll bars in a headless main window; they
// paint into an offscreen world, and a hook counts the paints.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "doc/VoskTmpl.h"
#include "host/HostClock.h"
#include "host/HostScript.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilList.h"
#include "platform/Controls.h"
#include "platform/SysCurs.h"
#include "platform/SysFont.h"
#include "platform/SysLoop.h"
#include "platform/SysSound.h"
#include "platform/SysUnicode.h"
#include "platform/UString.h"
#include "platform/VoskErr.h"
#include "platform/WinTestSupport.h"
#include "ui/VoskCurs.h"
#include "ui/VoskStat.h"

namespace {

// Sounds asked of the library (none is there: each is skipped in silence).
std::vector<int16> g_sounds;
int32 Record_Sound(const a_keyset& key) {
  if (key.a == SOUND_KEY_FAMILY) g_sounds.push_back(key.c);
  return 0;
}
Ptr No_Lock(const a_keyset&) { return nullptr; }
void No_Unlock(Ptr& p) { p = nullptr; }

int g_paints = 0;
int g_echoes = 0;
void Count_Paint(int16) { ++g_paints; }
void No_Pop() {}
void Count_Echo() { ++g_echoes; }

std::string Text(const a_listbox_item& item) {
  Str255 s{};
  UTF16_To_UTF8(item.uss, s);
  return s;
}

uint32 Find_Label(const char* label) {
  for (uint32 i = 1; i <= NTEMPLATES; ++i)
    if (std::strcmp(g_ctemplates[i - 1].label, label) == 0) return i;
  ADD_FAILURE() << "no catalogue entry " << label;
  return 0;
}

a_keystroke Key(int32 vk) { return a_keystroke{uint8(vk), 0, 126, 0}; }

class PaperLists : public ::testing::Test {
 protected:
  std::vector<a_listbox_item> kind_rows_ = std::vector<a_listbox_item>(200);
  std::vector<a_listbox_item> entry_rows_ = std::vector<a_listbox_item>(4000);
  GWorldPtr world_ = nullptr;
  a_sound_library saved_library_{};
  void (*saved_push_)(int16) = nullptr;
  void (*saved_pop_)() = nullptr;

  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    wintest::Start_Dialog_Layer();
    Fonts_Stop();
    Fonts_Init();
    Draw_Init();
    Cursor_Init();
    VoskTmpl_Init();
    Init_Fonts();
    Init_ListBox_Desc(gs.paper_kind_desc);
    Init_ListBox_Desc(gs.paper_list_desc);
    Lay_Out(gs.paper_kind_desc, kind_rows_, Rect{10, 10, 0, 210}, 5, 1);
    Lay_Out(gs.paper_list_desc, entry_rows_, Rect{10, 240, 0, 560}, 5, 2);
    ASSERT_EQ(New_GWorld(Rect{0, 0, 300, 600}, 32, nullptr, world_), noErr);
    Push_GWorld(world_);
    saved_library_ = g_sound_library;
    g_sound_library = a_sound_library{Record_Sound, No_Lock, No_Unlock};
    Sound_Enable(true);
    g_sounds.clear();
    g_paints = 0;
    g_echoes = 0;
    saved_push_ = g_node_pushoff_proc;
    saved_pop_ = g_node_popandupdate_proc;
    g_node_pushoff_proc = Count_Paint;
    g_node_popandupdate_proc = No_Pop;
    g_paper_echo_proc = Count_Echo;
    gs.grid_vals[PROJ_SORT_GRID] = 0;
    g_wheel_delta = 1;
  }
  void TearDown() override {
    g_paper_echo_proc = nullptr;
    if (saved_push_ != nullptr) g_node_pushoff_proc = saved_push_;
    if (saved_pop_ != nullptr) g_node_popandupdate_proc = saved_pop_;
    g_wheel_delta = 0;
    if (saved_library_.size != nullptr) g_sound_library = saved_library_;
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    if (world_ != nullptr) Dispose_GWorld(world_);
    Cursor_Stop();
    Fonts_Stop();
    wintest::Stop_Headless_Host();
  }

  // nvis rows of 20 pixels with strips of `spacing` between them.
  static void Lay_Out(a_listbox_desc& d, std::vector<a_listbox_item>& rows, Rect area, int32 nvis, int16 spacing) {
    d.list = rows.data();
    d.maxnlist = int32(rows.size());
    d.cell_v = 20;
    d.spacing_v = spacing;
    d.nvis = nvis;
    area.bottom = int16(area.top + 2 * d.border + nvis * (d.cell_v + spacing) - spacing);
    d.area = area;
    d.cell_h = int16(area.right - area.left - 2 * d.border);
  }

  static void Set_Working(const std::vector<uint32>& txs) {
    t.tlist_n = uint32(txs.size());
    for (size_t i = 0; i < txs.size(); ++i) t.tlist[i] = txs[i];
  }
  static void Set_Whole_Catalogue() {
    t.tlist_n = NTEMPLATES;
    for (uint32 i = 0; i < NTEMPLATES; ++i) t.tlist[i] = i + 1;
  }

  static std::vector<std::string> Texts(const a_listbox_desc& d) {
    std::vector<std::string> out;
    for (int32 i = 0; i < d.nlist; ++i) out.push_back(Text(d.list[i]));
    return out;
  }
  static std::vector<uint32> Keys(const a_listbox_desc& d) {
    std::vector<uint32> out;
    for (int32 i = 0; i < d.nlist; ++i) out.push_back(d.list[i].key);
    return out;
  }
  static int32 First_Visible(const a_listbox_desc& d) { return GetControlValue(d.scrollbar); }

  // The centre of visible row ix of a list.
  static Point Row_Point(const a_listbox_desc& d, int32 ix) {
    Rect box;
    ListBox_Calc_Box(ix, d, box);
    return Point{int16((box.top + box.bottom) / 2), int16((box.left + box.right) / 2)};
  }
  static a_mousestroke Press(Point p) {
    a_mousestroke s{};
    s.lmouse = p;
    s.button1 = true;
    return s;
  }
  static a_mousestroke Hover(Point p) {
    a_mousestroke s{};
    s.lmouse = p;
    return s;
  }
};

// A small working list, with two indices outside the catalogue that the
// lists leave out: the kinds sorted by name after "All kinds", one brand row
// each time the brand changes, and the entries of each group.
TEST_F(PaperLists, ListsOfASmallWorkingList) {
  const uint32 rayfilm = Find_Label("Rayfilm CD13"), l7163 = Find_Label("Avery L7163"),
               a5931 = Find_Label("Avery 5931"), jewel = Find_Label("_ Jewel case set (A4)"),
               a8435 = Find_Label("Avery 8435B");
  Set_Working({rayfilm, 0, l7163, a5931, NTEMPLATES + 1, jewel, a8435});

  Build_Paper_Lists();
  const a_listbox_desc& kinds = gs.paper_kind_desc;
  const a_listbox_desc& entries = gs.paper_list_desc;
  EXPECT_EQ(Texts(kinds), (std::vector<std::string>{"All kinds", "CD/DVD", "Jewel Case Insert", "Jewel Case Spine",
                                                    "Jewel Case Tray Card", "Rectangle"}));
  EXPECT_EQ(Keys(kinds), (std::vector<uint32>{0, UNIT_CD, UNIT_JEWEL_LID1, UNIT_JEWEL_SPINE, UNIT_JEWEL_BASE,
                                              UNIT_RECT}));
  EXPECT_EQ(kinds.hix, 1);
  // "All kinds": every entry of the working list, in its order ("_", the
  // maker of blank stock, shows as a space).
  EXPECT_EQ(Texts(entries), (std::vector<std::string>{"Rayfilm CD13", "Avery L7163", "Avery 5931",
                                                      "  Jewel case set (A4)", "Avery 8435B"}));
  EXPECT_EQ(Keys(entries), (std::vector<uint32>{rayfilm, l7163, a5931, jewel, a8435}));
  EXPECT_EQ(Get_Selected_TemplateX(), rayfilm);

  // By kind: the entries holding a tray card.
  PaperKind_Set(5);
  EXPECT_EQ(Keys(entries), (std::vector<uint32>{jewel, a8435}));
  EXPECT_EQ(entries.hix, 1);
  PaperKind_Set(2);
  EXPECT_EQ(Keys(entries), (std::vector<uint32>{rayfilm, a5931}));

  // By brand: a row at each change, so Avery comes twice; either row lists
  // every Avery entry.
  gs.grid_vals[PROJ_SORT_GRID] = 1;
  Build_Paper_Lists();
  // The blank stock's brand row carries a name of its own.
  EXPECT_EQ(Texts(kinds),
            (std::vector<std::string>{"All brands", "Rayfilm", "Avery", "Blank stock (no brand)", "Avery"}));
  EXPECT_EQ(Keys(kinds), (std::vector<uint32>{0, rayfilm, l7163, jewel, a8435}));
  EXPECT_EQ(entries.nlist, 5);
  PaperKind_Set(3);
  EXPECT_EQ(Keys(entries), (std::vector<uint32>{l7163, a5931, a8435}));
  PaperKind_Set(5);
  EXPECT_EQ(Keys(entries), (std::vector<uint32>{l7163, a5931, a8435}));
  PaperKind_Set(4);
  EXPECT_EQ(Keys(entries), (std::vector<uint32>{jewel}));
  PaperKind_Set(1);
  EXPECT_EQ(entries.nlist, 5);
}

TEST_F(PaperLists, AnEmptyWorkingListLeavesTheTitleRowAndNoEntries) {
  Set_Working({});
  Build_Paper_Lists();
  EXPECT_EQ(Texts(gs.paper_kind_desc), std::vector<std::string>{"All kinds"});
  EXPECT_EQ(gs.paper_list_desc.nlist, 0);
  EXPECT_EQ(Get_Selected_TemplateX(), 0u);
  // A count past the list's capacity is held to it.
  t.tlist_n = MAXNTEMPLATES + 5;
  for (uint32 i = 0; i < MAXNTEMPLATES; ++i) t.tlist[i] = 1;
  Build_Paper_List();
  EXPECT_EQ(gs.paper_list_desc.nlist, int32(MAXNTEMPLATES));
}

TEST_F(PaperLists, KindsOfTheWholeCatalogue) {
  Set_Whole_Catalogue();
  Build_Kind_List();
  const a_listbox_desc& kinds = gs.paper_kind_desc;
  ASSERT_GE(kinds.nlist, 2);
  EXPECT_EQ(Text(kinds.list[0]), "All kinds");
  std::set<uint32> seen;
  for (int32 i = 1; i < kinds.nlist; ++i) {
    const uint32 kind = kinds.list[i].key;
    ASSERT_LE(kind, uint32(LAST_UNIT_KIND));
    EXPECT_TRUE(seen.insert(kind).second) << "kind " << kind << " twice";
    uStr255 name{};
    Get_Translated_UString(name, 600, int16(kind + 1));
    EXPECT_EQ(uCompare(name, kinds.list[i].uss), 0) << "row " << i + 1;
    if (i > 1) {
      EXPECT_LT(uCompare(kinds.list[i - 1].uss, kinds.list[i].uss), 0) << "rows " << i << ", " << i + 1;
    }
  }
  // Every kind some expanded layout holds on an indexed unit is offered, and
  // no other.
  std::set<uint32> held;
  for (uint32 i = 1; i <= NTEMPLATES; ++i) {
    static a_template x;
    ASSERT_EQ(Expand_Template(g_ctemplates[i - 1], x), EXPAND_OK);
    for (uint32 u = 0; u < x.nunits; ++u)
      if ((x.units[u].uflags & (uint32(1) << UNIT_NOTINDEXED)) == 0) held.insert(x.units[u].kind);
  }
  EXPECT_EQ(seen, held);
  for (uint32 kind : {UNIT_CD, UNIT_RECT, UNIT_JEWEL_BASE, UNIT_VISITING, UNIT_MINICD_HOCKEY, UNIT_AUDIO_JCARD,
                      UNIT_AUDIO_FACE, UNIT_MD_FACE, UNIT_HI8_JCARD, UNIT_VHS_SLEEVE})
    EXPECT_EQ(held.count(kind), 1u) << "kind " << kind;
}

TEST_F(PaperLists, BrandsAndEntriesOfTheWholeCatalogue) {
  Set_Whole_Catalogue();
  gs.grid_vals[PROJ_SORT_GRID] = 1;
  Build_Paper_Lists();
  const a_listbox_desc& brands = gs.paper_kind_desc;
  a_listbox_desc& entries = gs.paper_list_desc;
  ASSERT_EQ(entries.nlist, int32(NTEMPLATES));
  for (int32 i = 0; i < entries.nlist; ++i) ASSERT_EQ(entries.list[i].key, uint32(i + 1));
  EXPECT_EQ(Text(entries.list[Find_Label("Avery L7163") - 1]), "Avery L7163");
  EXPECT_EQ(Text(entries.list[Find_Label("@A @L (A4)") - 1]), "Plain paper landscape (A4)");

  ASSERT_GE(brands.nlist, 10);
  EXPECT_EQ(Text(brands.list[0]), "All brands");
  EXPECT_EQ(brands.list[1].key, 1u);
  // Each brand row starts where the brand changes; choosing it lists that
  // brand's entries, all of them. The catalogue keeps each maker's entries
  // together, so no brand comes twice.
  std::set<std::string> names;
  for (int32 row = 2; row <= brands.nlist; ++row) {
    const uint32 first = brands.list[row - 1].key;
    char brand[33], before[33];
    Extract_Brand(g_ctemplates[first - 1].label, brand);
    if (row > 2) {
      Extract_Brand(g_ctemplates[first - 2].label, before);
      EXPECT_STRNE(brand, before) << "row " << row;
    }
    EXPECT_TRUE(names.insert(Text(brands.list[row - 1])).second) << Text(brands.list[row - 1]) << " twice";
    if (row == 2 || std::strcmp(brand, "Avery") == 0 || row == brands.nlist) {
      PaperKind_Set(row);
      ASSERT_GT(entries.nlist, 0);
      for (int32 i = 0; i < entries.nlist; ++i) {
        char b[33];
        Extract_Brand(g_ctemplates[entries.list[i].key - 1].label, b);
        EXPECT_STREQ(b, brand);
      }
      EXPECT_EQ(entries.list[0].key, first);
    }
  }
  EXPECT_TRUE(names.count("Avery"));
  EXPECT_TRUE(names.count("Plain paper"));
}

TEST_F(PaperLists, EntriesOfAKindOverTheWholeCatalogue) {
  Set_Whole_Catalogue();
  Build_Paper_Lists();
  const a_listbox_desc& kinds = gs.paper_kind_desc;
  int32 cd_row = 0;
  for (int32 i = 0; i < kinds.nlist; ++i)
    if (kinds.list[i].key == UNIT_CD && i > 0) cd_row = i + 1;
  ASSERT_GT(cd_row, 0);
  PaperKind_Set(cd_row);
  const a_listbox_desc& entries = gs.paper_list_desc;
  int32 expected = 0;
  for (uint32 i = 1; i <= NTEMPLATES; ++i) {
    static a_template x;
    ASSERT_EQ(Expand_Template(g_ctemplates[i - 1], x), EXPAND_OK);
    bool cd = false;
    for (uint32 u = 0; u < x.nunits; ++u) cd = cd || x.units[u].kind == UNIT_CD;
    expected += cd ? 1 : 0;
  }
  EXPECT_EQ(entries.nlist, expected);
  EXPECT_GT(expected, 50);
  for (int32 i = 0; i < entries.nlist; ++i) EXPECT_TRUE(Is_Kind_In_Template(UNIT_CD, entries.list[i].key));
}

// A unit marked as not indexed does not offer its kind.
TEST_F(PaperLists, UnitsNotIndexedOfferNoKind) {
  a_ctemplate c{};
  c.nunits = 2;
  c.units[0].kind = UNIT_CD;
  c.units[1].kind = UNIT_JEWEL_SPINE;
  c.units[1].uflags = 1u << UNIT_NOTINDEXED;
  EXPECT_TRUE(Is_Kind_In_CTemplate(UNIT_CD, c));
  EXPECT_FALSE(Is_Kind_In_CTemplate(UNIT_JEWEL_SPINE, c));
  EXPECT_FALSE(Is_Kind_In_CTemplate(UNIT_RECT, c));
  c.nunits = 99;  // a count past the sections reads no further than six
  EXPECT_TRUE(Is_Kind_In_CTemplate(UNIT_CD, c));
  EXPECT_FALSE(Is_Kind_In_Template(UNIT_CD, 0));
  EXPECT_FALSE(Is_Kind_In_Template(UNIT_CD, NTEMPLATES + 1));
}

// The keys move the selection of the entry list, held to its rows: a move
// plays 130 and repaints the preview, a key that moves nothing beeps 136.
TEST_F(PaperLists, KeysMoveTheSelectionWithinTheList) {
  std::vector<uint32> seven;
  for (uint32 i = 1; i <= 7; ++i) seven.push_back(i);
  Set_Working(seven);
  Build_Paper_Lists();  // 7 entries, 5 visible: a page is 4 rows
  struct Step {
    int32 vk;
    int32 hix;
    int16 sound;
    int32 first;  // first visible row after the key
  };
  const Step steps[] = {
      {VK_UP, 1, SND_LIMIT, 1},          {VK_DOWN, 2, SND_SUBTOOL_ONESHOT, 1},
      {VK_NEXT, 6, SND_SUBTOOL_ONESHOT, 2}, {VK_NEXT, 7, SND_SUBTOOL_ONESHOT, 3},
      {VK_DOWN, 7, SND_LIMIT, 3},        {VK_NEXT, 7, SND_LIMIT, 3},
      {VK_PRIOR, 3, SND_SUBTOOL_ONESHOT, 3}, {VK_HOME, 1, SND_SUBTOOL_ONESHOT, 1},
      {VK_HOME, 1, SND_LIMIT, 1},        {VK_END, 7, SND_SUBTOOL_ONESHOT, 3},
      {VK_PRIOR, 3, SND_SUBTOOL_ONESHOT, 3}, {VK_PRIOR, 1, SND_SUBTOOL_ONESHOT, 1},
  };
  int echoes = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << "key " << s.vk << " to row " << s.hix);
    const int32 before = gs.paper_list_desc.hix;
    g_sounds.clear();
    EXPECT_TRUE(PaperList_KeyFilter(Key(s.vk)));
    EXPECT_EQ(gs.paper_list_desc.hix, s.hix);
    EXPECT_EQ(g_sounds, std::vector<int16>{s.sound});
    EXPECT_EQ(First_Visible(gs.paper_list_desc), s.first);
    if (s.hix != before) ++echoes;
    EXPECT_EQ(g_echoes, echoes);
  }
  EXPECT_EQ(Get_Selected_TemplateX(), 1u);
  // Keys with characters and other keys are not the list's.
  g_sounds.clear();
  EXPECT_FALSE(PaperList_KeyFilter(a_keystroke{0, 'a', u'a', 0}));
  EXPECT_FALSE(PaperList_KeyFilter(Key(VK_LEFT)));
  EXPECT_TRUE(g_sounds.empty());
}

TEST_F(PaperLists, EndKeyInAnEmptyListBeeps) {
  Set_Working({});
  Build_Paper_Lists();
  for (int32 vk : {VK_END, VK_HOME, VK_DOWN, VK_NEXT}) {
    g_sounds.clear();
    EXPECT_TRUE(PaperList_KeyFilter(Key(vk)));
    EXPECT_EQ(gs.paper_list_desc.hix, 1);
    EXPECT_EQ(g_sounds, std::vector<int16>{SND_LIMIT});
  }
  EXPECT_EQ(g_echoes, 0);
  EXPECT_EQ(Get_Selected_TemplateX(), 0u);
}

// A press on a row selects it; a press beside the rows beeps; without a
// button the pointer shows whether a row is under it.
TEST_F(PaperLists, MouseOnARowAndOnNoRow) {
  const uint32 rayfilm = Find_Label("Rayfilm CD13"), a5931 = Find_Label("Avery 5931"),
               l7163 = Find_Label("Avery L7163");
  Set_Working({rayfilm, l7163, a5931});
  Build_Paper_Lists();
  a_listbox_desc& kinds = gs.paper_kind_desc;
  a_listbox_desc& entries = gs.paper_list_desc;

  PaperList_MouseDown(Press(Row_Point(entries, 3)));
  EXPECT_EQ(entries.hix, 3);
  EXPECT_EQ(Get_Selected_TemplateX(), a5931);
  EXPECT_EQ(g_sounds, std::vector<int16>{SND_SUBTOOL_ONESHOT});
  EXPECT_EQ(g_echoes, 1);

  // Below the third row of a list of three, and on the frame.
  g_sounds.clear();
  Rect box;
  ListBox_Calc_Box(3, entries, box);
  PaperList_MouseDown(Press(Point{int16(box.bottom + 25), int16(box.left + 10)}));
  PaperList_MouseDown(Press(Point{entries.area.top, int16(box.left + 10)}));
  EXPECT_EQ(entries.hix, 3);
  EXPECT_EQ(g_sounds, (std::vector<int16>{SND_NULL, SND_NULL}));

  // Kinds: "All kinds", "CD/DVD", "Jewel Case Spine", "Rectangle".
  g_sounds.clear();
  PaperKind_MouseDown(Press(Row_Point(kinds, 4)));
  EXPECT_EQ(kinds.hix, 4);
  EXPECT_EQ(Keys(entries), (std::vector<uint32>{rayfilm, l7163}));
  EXPECT_EQ(entries.hix, 1);
  EXPECT_EQ(g_sounds, std::vector<int16>{SND_SUBTOOL_ONESHOT});
  PaperKind_MouseDown(Press(Point{int16(kinds.area.bottom + 5), int16(kinds.area.left + 5)}));
  EXPECT_EQ(kinds.hix, 4);

  g_sounds.clear();
  PaperKind_MouseDown(Hover(Row_Point(kinds, 2)));
  EXPECT_EQ(gcurs.class_, g_cursor_desc[FINGER_CURSOR].class_);
  EXPECT_EQ(gcurs.id, g_cursor_desc[FINGER_CURSOR].id);
  PaperList_MouseDown(Hover(Point{int16(box.bottom + 25), int16(box.left + 10)}));
  EXPECT_EQ(gcurs.class_, g_cursor_desc[ARROW_CURSOR].class_);
  EXPECT_EQ(gcurs.id, g_cursor_desc[ARROW_CURSOR].id);
  PaperList_MouseDown(Hover(Row_Point(entries, 1)));
  EXPECT_EQ(gcurs.id, g_cursor_desc[FINGER_CURSOR].id);
  EXPECT_TRUE(g_sounds.empty()) << "hovering selects nothing";
  EXPECT_EQ(kinds.hix, 4);
}

// The scroll bar's range follows the rows: from 1 to rows - (visible - 1),
// at least 1, with its value held to it.
TEST_F(PaperLists, ScrollBarRangeFollowsTheRows) {
  a_listbox_desc& d = gs.paper_list_desc;
  struct Case {
    int32 nlist, nvis, last;
  };
  for (const Case& c : {Case{0, 5, 1}, Case{3, 5, 1}, Case{5, 5, 1}, Case{6, 5, 2}, Case{100, 5, 96},
                        Case{100, 1, 100}, Case{100, 0, 100}}) {
    SCOPED_TRACE(testing::Message() << c.nlist << " rows, " << c.nvis << " visible");
    d.nlist = c.nlist;
    d.nvis = c.nvis;
    SetControlMinMax(d.scrollbar, 0, 1000, 1);
    SetControlValue(d.scrollbar, 500);
    Fix_Desc_Scrollbar(d);
    EXPECT_EQ(GetControlMinimum(d.scrollbar), 1);
    EXPECT_EQ(GetControlValue(d.scrollbar), c.last);
    SetControlValue(d.scrollbar, c.last + 10);
    EXPECT_EQ(GetControlValue(d.scrollbar), c.last);
    SetControlValue(d.scrollbar, 0);
    EXPECT_EQ(GetControlValue(d.scrollbar), 1);
  }
  a_listbox_desc none{};
  Fix_Desc_Scrollbar(none);  // a list without a scroll bar has nothing to fix
}

// Arrows by a row, pages by the visible rows less one, the wheel by the
// visible rows times its notches; a move plays 132 and repaints the list,
// none beeps 136 and waits 10 ms. Through the main window's scroll dispatch.
TEST_F(PaperLists, ScrollActionsMoveTheFirstVisibleRow) {
  std::vector<uint32> twelve;
  for (uint32 i = 1; i <= 12; ++i) twelve.push_back(i);
  Set_Working(twelve);
  Build_Paper_Lists();  // 12 entries, 5 visible: first visible 1 .. 8
  HWND bar = gs.paper_list_desc.scrollbar;
  struct Step {
    int16 part;
    int16 wheel;
    int32 first;
    int16 sound;
  };
  const Step steps[] = {
      {SB_LINEUP, 0, 1, SND_LIMIT},          {SB_LINEDOWN, 0, 2, SND_SUBTOOL_SLIDER},
      {SB_PAGEDOWN, 0, 6, SND_SUBTOOL_SLIDER}, {SB_PAGEDOWN, 0, 8, SND_SUBTOOL_SLIDER},
      {SB_LINEDOWN, 0, 8, SND_LIMIT},        {SCROLL_WHEEL, 1, 8, SND_LIMIT},
      {SCROLL_WHEEL, -1, 3, SND_SUBTOOL_SLIDER}, {SB_PAGEUP, 0, 1, SND_SUBTOOL_SLIDER},
      {SCROLL_WHEEL, 1, 6, SND_SUBTOOL_SLIDER}, {SCROLL_WHEEL, 0, 6, SND_LIMIT},
      {SB_PAGEUP, 0, 2, SND_SUBTOOL_SLIDER},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << "part " << s.part << " wheel " << s.wheel);
    g_wheel_delta = s.wheel;
    g_sounds.clear();
    g_paints = 0;
    const uint32 before = Host_Clock_Millis();
    Do_Scroll(s.part, bar);
    EXPECT_EQ(GetControlValue(bar), s.first);
    EXPECT_EQ(g_sounds, std::vector<int16>{s.sound});
    const bool moved = s.sound == SND_SUBTOOL_SLIDER;
    EXPECT_EQ(g_paints, moved ? 1 : 0);
    EXPECT_EQ(Host_Clock_Millis() - before >= 10, !moved);
  }
  // The thumb repaints only when it brings another first row.
  g_paints = 0;
  SetControlValue(bar, 5);
  Do_Scroll(SB_THUMBTRACK, bar);
  Do_Scroll(SB_THUMBTRACK, bar);
  EXPECT_EQ(g_paints, 1);
  SetControlValue(bar, 6);
  Do_Scroll(SB_THUMBTRACK, bar);
  EXPECT_EQ(g_paints, 2);

  // The kind list scrolls by its own bar and repaints itself.
  a_listbox_desc& kinds = gs.paper_kind_desc;
  std::vector<uint32> all;
  for (uint32 i = 1; i <= NTEMPLATES; ++i) all.push_back(i);
  Set_Working(all);
  Build_Kind_List();
  ASSERT_GT(kinds.nlist, kinds.nvis);
  g_sounds.clear();
  Do_Scroll(SB_PAGEDOWN, kinds.scrollbar);
  EXPECT_EQ(GetControlValue(kinds.scrollbar), 5);
  EXPECT_EQ(g_sounds, std::vector<int16>{SND_SUBTOOL_SLIDER});
  EXPECT_EQ(GetControlValue(bar), 6) << "the entry list stays where it was";
}

// Building the entry list asks the main window to paint both lists again.
TEST_F(PaperLists, BuildingInvalidatesTheLists) {
  Set_Working({1, 2, 3});
  ValidateRect(gs.outer_window, nullptr);
  Build_Paper_List();
  RECT r{};
  ASSERT_TRUE(GetUpdateRect(gs.outer_window, &r, false));
  const Rect& k = gs.paper_kind_desc.area;
  const Rect& e = gs.paper_list_desc.area;
  EXPECT_LE(r.left, k.left);
  EXPECT_LE(r.top, std::min(k.top, e.top));
  EXPECT_GE(r.right, e.right);
  EXPECT_GE(r.bottom, std::max(k.bottom, e.bottom));
}

// Selecting a row that is out of sight scrolls it into view.
TEST_F(PaperLists, SelectionScrollsIntoView) {
  std::vector<uint32> many;
  for (uint32 i = 1; i <= 40; ++i) many.push_back(i);
  Set_Working(many);
  Build_Paper_Lists();
  PaperList_Set(30);
  EXPECT_EQ(First_Visible(gs.paper_list_desc), 26);
  EXPECT_EQ(Get_Selected_TemplateX(), 30u);
  PaperList_Set(28);
  EXPECT_EQ(First_Visible(gs.paper_list_desc), 26) << "a visible row does not scroll";
  PaperList_Set(3);
  EXPECT_EQ(First_Visible(gs.paper_list_desc), 3);
  PaperList_Set(400);
  EXPECT_EQ(gs.paper_list_desc.hix, 40);
  // Rebuilding goes back to the top.
  Build_Paper_List();
  EXPECT_EQ(First_Visible(gs.paper_list_desc), 1);
  EXPECT_EQ(gs.paper_list_desc.hix, 1);
}

// The two lists as a person choosing a layout sees them: the kinds of the
// whole catalogue with CD/DVD chosen, and its entries with the third one
// selected, written as snapshots/lists/paper_lists.png under the build folder.
TEST_F(PaperLists, SnapshotOfTheKindAndEntryListsForDiscs) {
  Set_Whole_Catalogue();
  a_listbox_desc& kinds = gs.paper_kind_desc;
  a_listbox_desc& entries = gs.paper_list_desc;
  Lay_Out(kinds, kind_rows_, Rect{44, 16, 0, 236}, 16, 1);
  Lay_Out(entries, entry_rows_, Rect{44, 260, 0, 640}, 16, 1);
  kinds.cell_v = entries.cell_v = 22;
  Lay_Out(kinds, kind_rows_, kinds.area, 16, 1);
  Lay_Out(entries, entry_rows_, entries.area, 16, 1);
  Build_Paper_Lists();
  int32 cd_row = 0;
  for (int32 i = 1; i < kinds.nlist; ++i)
    if (kinds.list[i].key == UNIT_CD) cd_row = i + 1;
  ASSERT_GT(cd_row, 0);
  PaperKind_Set(cd_row);
  PaperList_Set(3);
  ASSERT_GT(entries.nlist, 16);

  const int16 w = 660, h = int16(entries.area.bottom + 20);
  GWorldPtr shot = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, h, w}, 32, nullptr, shot), noErr);
  Push_GWorld(shot);
  RGBForeColor(RGBColor{226 * 257, 232 * 257, 240 * 257});
  PaintRect(Rect{0, 0, h, w});
  a_fontspec caption = kinds.font;
  SetFont(caption);
  TextMode(srcOr);
  ForeColor(1);
  MoveTo(16, 32);
  DrawString(CStrSpan("Kind of label"));
  MoveTo(260, 32);
  DrawString(CStrSpan("Choose a layout:"));
  PaperKind_Paint();
  PaperList_Paint();
  std::vector<uint32> px(size_t(w) * size_t(h));
  for (int32 y = 0; y < h; ++y)
    std::memcpy(&px[size_t(y) * size_t(w)], shot->pix.baseAddr + size_t(y) * PixMap_RowBytes(shot->pix),
                size_t(w) * 4);
  Pop_GWorld();
  Dispose_GWorld(shot);
  for (uint32& p : px) p &= 0xFFFFFF;

  // The chosen kind and the selected entry are the highlighted rows.
  auto at = [&](Point p) { return px[size_t(p.v) * size_t(w) + size_t(p.h)]; };
  Rect kb, eb;
  ListBox_Calc_Box(cd_row, kinds, kb);
  ListBox_Calc_Box(3, entries, eb);
  EXPECT_EQ(at(Point{int16(kb.top + 1), int16(kb.right - 2)}), 0xA4D1FFu);
  EXPECT_EQ(at(Point{int16(eb.top + 1), int16(eb.right - 2)}), 0xA4D1FFu);
  ListBox_Calc_Box(1, entries, eb);
  EXPECT_EQ(at(Point{int16(eb.top + 1), int16(eb.right - 2)}), 0xFFFFFFu);

  const std::string exe = VELMOR4_EXE;
  const std::string dir = exe.substr(0, exe.find_last_of('/')) + "/snapshots";
  ::mkdir(dir.c_str(), 0755);
  ::mkdir((dir + "/lists").c_str(), 0755);
  const std::string path = dir + "/lists/paper_lists.png";
  std::string err;
  ASSERT_TRUE(Host_Write_PNG(path, px.data(), w, h, err)) << path << ": " << err;
  std::vector<uint32> back;
  int32 bw = 0, bh = 0;
  ASSERT_TRUE(Host_Read_PNG(path, back, bw, bh, err)) << err;
  EXPECT_EQ(bw, w);
  EXPECT_EQ(bh, h);
}

}  // namespace
