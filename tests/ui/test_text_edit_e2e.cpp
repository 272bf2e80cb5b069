// Editing texts on a disc label in the real program on the headless backend,
// by scripts: in the text phase the text panel's button makes a new text,
// which is typed into past the Latin-1 range and broken into a second line;
// the last word is selected by keys and made bold with the override toggle;
// another font is picked on the font bar; the text is dragged; a second text
// is made and the two aligned on their left edges. A snapshot after each
// step goes to <build>/text-e2e/ for a person to look at. The test checks
// that the text shows, that the drag shifts its pixels, and, in the saved
// project read back, the bold range, the font and the aligned boxes.
//
// The new-text button, the bold toggle, the font bar's cell and the
// alignment button are clicked where the layout code puts them for the same
// window, computed in this process. The drag needs where the text shows: a
// first run ends by saving, and a second run opens that project and starts
// the drag on the text's pixels of the first run's last snapshot.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "LabelSessionSupport.h"
#include "NodeTestSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskFunc.h"
#include "host/HostScript.h"
#include "objects/VoskBlok.h"
#include "objects/VoskText.h"
#include "platform/VoskPref.h"
#include "ui/TempConfigHome.h"
#include "ui/VoskBar.h"
#include "ui/VoskConf.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"
#include "ui/VoskSlid.h"

namespace {

namespace fs = std::filesystem;
using labelsession::Menu;
using nodetest::Node_At;

// The window both this process and the program open (the preferences'
// place on a 1280 x 1024 screen).
constexpr Rect kWindow{60, 100, 700, 1000};
constexpr int kScreenW = 1280, kScreenH = 1024;

std::string At(Point p) { return std::to_string(p.h) + " " + std::to_string(p.v); }
Point Middle(const Rect& r) { return Point{int16((r.top + r.bottom) / 2), int16((r.left + r.right) / 2)}; }

struct Shot {
  std::vector<uint32> px;
  int32 w = 0, h = 0;
};
Shot Load(const std::string& path) {
  Shot s;
  std::string why;
  EXPECT_TRUE(Host_Read_PNG(path, s.px, s.w, s.h, why)) << path << ": " << why;
  return s;
}
bool Dark(uint32 p) {
  const int b = int(p & 0xFF), g = int((p >> 8) & 0xFF), r = int((p >> 16) & 0xFF);
  return r + g + b < 3 * 90;
}
// The box of the pixels that are dark in b and not in a, within area; its
// count of such pixels in n.
Rect New_Dark(const Shot& a, const Shot& b, const Rect& area, int& n) {
  Rect box{32767, 32767, -32768, -32768};
  n = 0;
  if (a.px.size() != b.px.size()) return Rect{};
  for (int32 y = std::max<int32>(area.top, 0); y < std::min<int32>(area.bottom, b.h); ++y)
    for (int32 x = std::max<int32>(area.left, 0); x < std::min<int32>(area.right, b.w); ++x) {
      const size_t i = size_t(y) * size_t(b.w) + size_t(x);
      if (!Dark(b.px[i]) || Dark(a.px[i])) continue;
      ++n;
      box.top = std::min<int16>(box.top, int16(y));
      box.left = std::min<int16>(box.left, int16(x));
      box.bottom = std::max<int16>(box.bottom, int16(y + 1));
      box.right = std::max<int16>(box.right, int16(x + 1));
    }
  return n == 0 ? Rect{} : box;
}

// The texts of the project's first unit, bottom first.
std::vector<const a_om_rec*> Texts_Of_Unit1() {
  std::vector<const a_om_rec*> texts;
  const a_doc_unit* u = Doc_Unit(1);
  if (u == nullptr) return texts;
  for (int32 i = 0; i < u->oj.nlist; ++i)
    if (u->oj.list[i].kind == TEXT_BLOCK && u->oj.list[i].om != nullptr) texts.push_back(u->oj.list[i].om);
  return texts;
}
std::u16string Chars_Of(const a_om_rec& om) {
  std::u16string s;
  for (int32 i = 0; i + 1 < om.nxyl; ++i) s += char16_t(om.xyl[i].cc_char);
  return s;
}

class TextEditEndToEnd : public nodetest::NodeTree {
 protected:
  void SetUp() override {
    if (!fs::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
    if (!fs::exists(VELMOR_ART_LIBRARY)) GTEST_SKIP() << "the picture library is not built";
    ASSERT_FALSE(home_.dir.empty());
    dir_ = home_.dir;
    project_ = dir_ + "/cd.CD4";
    // The project and the preferences first: both start the shared records
    // afresh, which the interface below fills.
    ASSERT_TRUE(labelsession::Write_CD_Project(project_));
    a_pref_rec rec;
    ASSERT_TRUE(labelsession::CD_Prefs(rec));
    rec.tot_window = kWindow;
    std::string prefs;
    ASSERT_TRUE(Prefs_File_Path(prefs));
    fs::create_directories(fs::path(prefs).parent_path());
    labelsession::Write_Prefs(prefs, rec);
    nodetest::NodeTree::SetUp();
    if (HasFatalFailure()) return;
    if (!fonts_) GTEST_FAIL() << No_DejaVu_Message();
    ASSERT_TRUE(EqualRect(gs.pref.tot_window, kWindow));
    doctests::Start_Document_Layer();
    // The palette bar's descriptors, as the program starts them.
    Bar_Init();
  }
  void TearDown() override {
    Bar_Stop();
    doctests::Close_Document();
    SV_Init();
    nodetest::NodeTree::TearDown();
  }

  // A disc face open in the text phase, laid out with the text edited or
  // not; with texts, that many texts made and selected.
  void Lay_Out_Text_Phase(a_txedit_phase edit, int texts = 0) {
    if (!g_doc.doc_open) {
      ASSERT_TRUE(Doc_New(doctests::Disc_Face_Template()));
      Select_Doc_Unit(1);
    }
    gs.nviews = 1;
    gs.curr_phase = TEXT_PHASE;
    gs.tool_net = TEXT_TOOL;
    gs.txedit_phase = edit;
    gs.curr_kindset = a_oj_kind_set(Kind_Bit(PHOTO_BLOCK) | Kind_Bit(SYMBOL_BLOCK) | Kind_Bit(TEXT_BLOCK));
    gs.curr_ring = edit == TXEDIT_EDIT ? TEXT_EDIT_RING : TEXT_SIZE_RING;
    gs.curr_bar = edit == TXEDIT_EDIT ? GLYPH_BAR : FONT_BAR;
    const UniChar one[] = {u'A'};
    for (int i = 0; i < texts; ++i) Text_New2(one, 1, 0, Point{NO_POINT, NO_POINT}, true);
    if (texts > 0) Obj_Select_All();
    Config_All();
  }

  int Run(const std::string& script, std::string& err) {
    return labelsession::Run(dir_, script, kScreenW, kScreenH, err);
  }

  TempConfigHome home_{"config"};
  std::string dir_, project_;
};

}  // namespace

TEST_F(TextEditEndToEnd, TypeBoldFontDragAndAlign) {
  // Where the layout puts the override's bold toggle while a text is
  // edited, and the font bar's cells once the edit is over.
  Lay_Out_Text_Phase(TXEDIT_EDIT);
  const int16 bold_node = g_toggles[TEXTR_BOLD_TOGGLE].nodex;
  ASSERT_NE(bold_node, 0) << "the bold override is laid out while a text is edited";
  const Point bold_at = Middle(Node_Get(CURR, bold_node).nbounds);
  const Rect edit_area = gs.views[0].bounds;
  Lay_Out_Text_Phase(TXEDIT_MOVE, 1);
  const int16 new_node = g_oneshots[TEXT_NEW_BUTTON].nodex;
  ASSERT_NE(new_node, 0) << "the new-text button is laid out in the text phase";
  const Point new_at = Middle(Node_Get(CURR, new_node).nbounds);
  const int16 bar_node = g_custom[CUSTOM_BAR].nodex;
  ASSERT_NE(bar_node, 0) << "the palette bar is laid out in the text phase";
  ASSERT_EQ(gs.curr_bar, FONT_BAR);
  const Rect bar_area = Node_Get(CURR, bar_node).nbounds;
  // The last font of the list (the default one comes before it), on the
  // screenful that shows the default.
  const int16 font = gs.bard[FONT_BAR].last_id;
  ASSERT_GT(font, gs.bard[FONT_BAR].first_id) << "the font bar offers two fonts";
  Rect font_cell{};
  ASSERT_TRUE(Bar_ID_To_Rect(FONT_BAR, bar_area, font, font_cell)) << "the last font is on the first screenful";
  doctests::Close_Document();
  // The alignment buttons, with two texts selected.
  Lay_Out_Text_Phase(TXEDIT_MOVE, 2);
  const int16 align_node = g_oneshots[OBJ_ALIGN_H_L].nodex;
  ASSERT_NE(align_node, 0) << "the alignment buttons are laid out with two texts selected";
  const Point align_at = Middle(Node_Get(CURR, align_node).nbounds);
  doctests::Close_Document();

  const std::string exe = VELMOR4_EXE;
  const std::string shots = exe.substr(0, exe.find_last_of('/')) + "/text-e2e";
  fs::create_directories(shots);
  const char* names[] = {"1-empty",   "2-text-typed", "3-second-line", "4-word-bold", "5-font",
                         "6-dragged", "7-second-text", "8-aligned"};
  std::vector<std::string> shot;
  for (const char* n : names) {
    shot.push_back(shots + "/" + n + ".png");
    fs::remove(shot.back());
  }
  const auto snapshot = [&](int k) { return "wait 40\nsnapshot " + shot[size_t(k)] + "\n"; };

  // The first run: a new text from the panel's button, typed into, a second
  // line, a word bold, the edit confirmed, another font, saved.
  std::ostringstream s;
  s << "wait 30\n"
    << labelsession::Open_Project(project_) << Menu(PANEL_PHASE + TEXT_PHASE) << snapshot(0)
    << "click " << At(new_at) << "\nwait 5\ntype Velmor \xC3\x9Cn\xC3\xAF" "code\n" << snapshot(1)
    << "key Return\ntype second line\n" << snapshot(2)
    << "key Ctrl+Shift+Left\nwait 5\nclick " << At(bold_at) << "\n" << snapshot(3)
    << "key KeypadEnter\nwait 5\nclick " << At(Middle(font_cell)) << "\n" << snapshot(4)
    << "key Ctrl+S\nwait 10\nquit\n";
  std::string err;
  int rc = Run(s.str(), err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("alert"), std::string::npos) << err;

  std::vector<Shot> px;
  for (int k = 0; k <= 4; ++k) px.push_back(Load(shot[size_t(k)]));
  if (HasFailure()) return;
  // The text shows: dark pixels in the edit area where there were none.
  int n = 0;
  const Rect typed = New_Dark(px[0], px[1], edit_area, n);
  EXPECT_GT(n, 150) << "the typed text is drawn";
  New_Dark(px[1], px[2], edit_area, n);
  EXPECT_GT(n, 100) << "the second line is drawn";
  EXPECT_TRUE(px[3].px != px[2].px) << "the bold word shows";
  EXPECT_TRUE(px[4].px != px[3].px) << "the font shows";
  int text_n = 0;
  const Rect text = New_Dark(px[0], px[4], edit_area, text_n);
  ASSERT_GT(text_n, 250);
  Rect common{};
  EXPECT_TRUE(SectRect(typed, text, common)) << "the text stays where it was typed";

  // The record as saved: two lines, the last word bold, the font chosen.
  ASSERT_TRUE(Read_DISC([&] {
    FSSpec spec{};
    EXPECT_TRUE(Path_From_Text(spec, project_.c_str()));
    return spec;
  }(), false));
  {
    const std::vector<const a_om_rec*> texts = Texts_Of_Unit1();
    ASSERT_EQ(texts.size(), 1u);
    const a_om_rec& om = *texts[0];
    EXPECT_EQ(Chars_Of(om), u"Velmor \u00DCn\u00EFcode\rsecond line");
    const int32 line_at = int32(std::u16string(u"Velmor \u00DCn\u00EFcode\rsecond ").size());
    for (int32 i = 0; i + 1 < om.nxyl; ++i)
      EXPECT_EQ(bool(om.xyl[i].cc_boldf), i >= line_at) << "character " << i;
    EXPECT_EQ(om.fontx, uint32(font));
  }
  doctests::Close_Document();

  // The second run: the saved project opened, the text dragged down and
  // right from its middle, a second text typed, both selected and their
  // left edges aligned, saved again. A press on an object drags it once the
  // button is held half the double-click time; a shorter one is a click.
  const Point from = Middle(text);
  const Point to{int16(from.v + 60), int16(from.h + 40)};
  std::ostringstream s2;
  s2 << "wait 30\n"
     << labelsession::Open_Project(project_) << Menu(PANEL_PHASE + TEXT_PHASE) << "wait 10\n"
     << "down " << At(from) << "\nwait 30\nmove " << from.h + 10 << " " << from.v + 20 << "\nmove " << At(to) << "\nup " << At(to)
     << "\n" << snapshot(5) << "click " << At(new_at) << "\nwait 5\ntype Label two\nkey KeypadEnter\n"
     << snapshot(6)
     << Menu(MENU_EDIT + EDIT_SELECT_ALL) << "click " << At(align_at) << "\n" << snapshot(7)
     << "key Ctrl+S\nwait 10\nquit\n";
  rc = Run(s2.str(), err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("alert"), std::string::npos) << err;
  for (int k = 5; k <= 7; ++k) px.push_back(Load(shot[size_t(k)]));
  if (HasFailure()) return;

  // The drag shifted the text's pixels by the mouse's way.
  int moved_n = 0;
  const Rect moved = New_Dark(px[0], px[5], edit_area, moved_n);
  EXPECT_GT(moved_n, text_n / 2);
  EXPECT_NEAR(moved.top - text.top, to.v - from.v, 2);
  EXPECT_NEAR(moved.left - text.left, to.h - from.h, 2);
  EXPECT_NEAR(moved.bottom - text.bottom, to.v - from.v, 2);
  EXPECT_TRUE(px[6].px != px[5].px) << "the second text shows";
  EXPECT_TRUE(px[7].px != px[6].px) << "the alignment moved a text";

  // Read back: two texts, their left edges one.
  FSSpec spec{};
  ASSERT_TRUE(Path_From_Text(spec, project_.c_str()));
  ASSERT_TRUE(Read_DISC(spec, false));
  const std::vector<const a_om_rec*> texts = Texts_Of_Unit1();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(Chars_Of(*texts[1]), u"Label two");
  const Rect a = texts[0]->bbox, b = texts[1]->bbox;
  ASSERT_FALSE(EmptyRect(a));
  ASSERT_FALSE(EmptyRect(b));
  EXPECT_NEAR(a.left, b.left, 1) << "left edges aligned";
  EXPECT_NE(a.top, b.top) << "the texts keep their heights apart";
  EXPECT_EQ(texts[0]->fontx, uint32(font)) << "the dragged text keeps its font";
}

// Inside the editor each change is a step of its own: the typed text, the
// last word made bold, its size raised by the size override's plus button.
// One Ctrl+Z takes back only the size; three take back all, and three
// Ctrl+Y give every change back, the size too. The project saved after
// each run holds what the steps left.
TEST_F(TextEditEndToEnd, EachChangeInTheEditorUndoesAndRedoesOnItsOwn) {
  Lay_Out_Text_Phase(TXEDIT_EDIT);
  const int16 bold_node = g_toggles[TEXTR_BOLD_TOGGLE].nodex;
  const int16 size_node = g_sliders[TEXTR_SIZE_SLIDER].nodex;
  ASSERT_NE(bold_node, 0);
  ASSERT_NE(size_node, 0) << "the size override is laid out while a text is edited";
  const Point bold_at = Middle(Node_Get(CURR, bold_node).nbounds);
  const Rect size_box = Node_Get(CURR, size_node).nbounds;
  Rect plus = Slider_Part_Box(TEXTR_SIZE_SLIDER, PART_PLUS);
  OffsetRect(plus, size_box.left, size_box.top);
  const Point plus_at = Middle(plus);
  Lay_Out_Text_Phase(TXEDIT_MOVE, 1);
  const int16 new_node = g_oneshots[TEXT_NEW_BUTTON].nodex;
  ASSERT_NE(new_node, 0);
  const Point new_at = Middle(Node_Get(CURR, new_node).nbounds);
  doctests::Close_Document();

  const std::string exe = VELMOR4_EXE;
  const std::string shots = exe.substr(0, exe.find_last_of('/')) + "/text-e2e";
  fs::create_directories(shots);
  const std::string edited = labelsession::Open_Project(project_) + Menu(PANEL_PHASE + TEXT_PHASE) + "click " +
                             At(new_at) + "\nwait 5\ntype abc def\nwait 5\nkey Ctrl+Shift+Left\nwait 5\nclick " +
                             At(bold_at) + "\nwait 5\nclick " + At(plus_at) + "\nwait 40\n";
  struct Case {
    const char* name;
    std::string keys;
    std::u16string text;
    bool bold, larger;
  } cases[] = {
      {"9-undo-size", "key Ctrl+Z\nwait 5\n", u"abc def", true, false},
      {"10-undo-redo-all", "key Ctrl+Z\nkey Ctrl+Z\nkey Ctrl+Z\nwait 5\nkey Ctrl+Y\nkey Ctrl+Y\nkey Ctrl+Y\nwait 5\n",
       u"abc def", true, true},
  };
  // Each run starts from the fresh project (written again here it would
  // start the shared records afresh under the interface).
  const std::string fresh = dir_ + "/fresh.CD4";
  fs::copy_file(project_, fresh, fs::copy_options::overwrite_existing);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::copy_file(fresh, project_, fs::copy_options::overwrite_existing);
    const std::string shot = shots + "/" + c.name + ".png";
    std::string err;
    const int rc = Run("wait 30\n" + edited + c.keys + "wait 40\nsnapshot " + shot +
                           "\nkey KeypadEnter\nwait 5\nkey Ctrl+S\nwait 10\nquit\n",
                       err);
    ASSERT_TRUE(WIFEXITED(rc)) << rc;
    EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
    EXPECT_EQ(err.find("alert"), std::string::npos) << err;
    FSSpec spec{};
    ASSERT_TRUE(Path_From_Text(spec, project_.c_str()));
    ASSERT_TRUE(Read_DISC(spec, false));
    const std::vector<const a_om_rec*> texts = Texts_Of_Unit1();
    ASSERT_EQ(texts.size(), 1u);
    const a_om_rec& om = *texts[0];
    EXPECT_EQ(Chars_Of(om), c.text);
    for (int32 i = 0; i + 1 < om.nxyl; ++i) {
      const bool word = i >= 4;
      EXPECT_EQ(bool(om.xyl[i].cc_boldf), word && c.bold) << "character " << i;
      EXPECT_EQ(om.xyl[i].cc_size > SLIDER_VALUES[TEXTR_SIZE_SLIDER].defaultval, word && c.larger)
          << "character " << i << " size " << om.xyl[i].cc_size;
    }
    doctests::Close_Document();
  }
}

// The new-text button makes an empty text after the selected one, selected
// alone and edited as a text made for the edit; the first keeps its place.
TEST_F(TextEditEndToEnd, NewTextButtonStartsAnEditedText) {
  Lay_Out_Text_Phase(TXEDIT_MOVE, 1);
  ASSERT_EQ(Selection_Count(), 1);
  const a_oj_master& oj = g_doc.up->oj;
  const int32 before = oj.nlist;
  const Point first_anchor = oj.list[before - 1].om->anchor;
  SV_Begin_Interaction();
  Oneshot_Click(TEXT_NEW_BUTTON);
  SV_End_Interaction();
  ASSERT_EQ(oj.nlist, before + 1);
  const a_oj_item& made = oj.list[oj.nlist - 1];
  ASSERT_EQ(made.kind, TEXT_BLOCK);
  EXPECT_EQ(made.om->nxyl, 1) << "empty";
  EXPECT_EQ(Selection_Count(), 1);
  EXPECT_NE(made.flags & OJ_Flag_Bit(SELECTED_FLAG), 0);
  EXPECT_TRUE(Is_Editing_Text());
  EXPECT_TRUE(g_ed.edit_new);
  EXPECT_EQ(g_ed.edit_objid, made.objid);
  EXPECT_TRUE(made.om->anchor.v != first_anchor.v || made.om->anchor.h != first_anchor.h)
      << "placed after the selected text, not over it";
  EXPECT_EQ(oj.list[before - 1].om->anchor.v, first_anchor.v);
}

namespace {

// A red of the editor's selection highlight, over the label's white or
// under the text's black.
bool Reddish(uint32 p) {
  const int b = int(p & 0xFF), g = int((p >> 8) & 0xFF), r = int((p >> 16) & 0xFF);
  return r > 180 && r > g + 90 && r > b + 90;
}

// The project of the fixture with one text on its face, "Velmor label",
// written again and left open in this process, laid out in the text phase:
// the program that opens it shows the same view. The text's object index in
// omx, the screen points just above the baseline in the first quarter of
// each character in at (in the order of the characters).
class TextPhaseKeysEndToEnd : public TextEditEndToEnd {
 protected:
  // Runs the script: a normal end without alerts.
  void Run_Ok(const std::string& script) {
    std::string err;
    const int rc = Run(script, err);
    ASSERT_TRUE(WIFEXITED(rc)) << rc;
    EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
    EXPECT_EQ(err.find("alert"), std::string::npos) << err;
  }
  // The texts of the project as the program saved it.
  std::vector<const a_om_rec*> Saved_Texts() {
    FSSpec spec{};
    EXPECT_TRUE(Path_From_Text(spec, project_.c_str()));
    EXPECT_TRUE(Read_DISC(spec, false));
    return Texts_Of_Unit1();
  }
  void Write_Text_Project(int32& omx, std::vector<Point>& at) {
    FSSpec spec{};
    ASSERT_TRUE(Path_From_Text(spec, project_.c_str()));
    const uint32 tx = Find_Template(CStrSpan(labelsession::kCdLayout, std::strlen(labelsession::kCdLayout)));
    SV_Begin_Interaction();
    const bool made = tx != 0 && Proj_PickLayout2(tx);
    SV_End_Interaction();
    ASSERT_TRUE(made);
    Select_Doc_Unit(1);
    const std::u16string chars = u"Velmor label";
    Text_New2(reinterpret_cast<const UniChar*>(chars.data()), int32(chars.size()), 0, Point{NO_POINT, NO_POINT},
              true);
    ASSERT_TRUE(Doc_Write(FMT_DISC, spec));
    Lay_Out_Text_Phase(TXEDIT_MOVE);
    omx = 0;
    const a_oj_master& oj = g_doc.up->oj;
    for (int32 i = 0; i < oj.nlist; ++i)
      if (oj.list[i].kind == TEXT_BLOCK) omx = i + 1;
    ASSERT_NE(omx, 0);
    const a_om_rec& om = *Obj_Item(omx)->om;
    ASSERT_EQ(om.nxyl, int32(chars.size()) + 1);
    at.clear();
    for (int32 i = 0; i + 1 < om.nxyl; ++i) {
      const a_xyl_char& c = om.xyl[i];
      Point screen;
      CellToScreen(1, Point{int16(c.mm_y - om.size), int16(c.mm_x + c.mm_width / 4)}, screen);
      at.push_back(screen);
    }
  }
};

}  // namespace

// In the text phase with no text edited, keys go where the dispatch sends
// them: typed characters and Return make no text, "+" and "-" size the
// selected text, "}" reaches the font bar (its last font for the text).
TEST_F(TextPhaseKeysEndToEnd, KeysReachTheDocumentAndTheBar) {
  int32 omx = 0;
  std::vector<Point> at;
  Write_Text_Project(omx, at);
  if (HasFatalFailure()) return;
  const int16 size = Obj_Item(omx)->om->size;
  const uint32 font = Obj_Item(omx)->om->fontx;
  const int16 last_font = gs.bard[FONT_BAR].last_id;
  ASSERT_NE(uint32(last_font), font) << "the font bar offers another font";
  doctests::Close_Document();

  std::ostringstream s;
  s << "wait 30\n"
    << labelsession::Open_Project(project_) << Menu(PANEL_PHASE + TEXT_PHASE) << "wait 10\n"
    << "type xyz\nkey Return\nwait 10\n"
    << "click " << At(at[3]) << "\nwait 60\n"
    << "key +\nkey +\nkey +\nkey +\nkey +\nkey -\nwait 10\nkey }\nwait 10\n"
    << "key Ctrl+S\nwait 10\nquit\n";
  Run_Ok(s.str());
  if (HasFatalFailure()) return;

  const std::vector<const a_om_rec*> texts = Saved_Texts();
  ASSERT_EQ(texts.size(), 1u) << "typing with no text edited made no text";
  EXPECT_EQ(Chars_Of(*texts[0]), u"Velmor label");
  EXPECT_EQ(texts[0]->size, size + 4) << "five times bigger, once smaller";
  EXPECT_EQ(texts[0]->fontx, uint32(last_font)) << "the bar's last font";
}

// A double click on a text opens its editor with the caret at the character
// under the pointer; Shift+Right selects that character, highlighted where
// it stands, and a typed character replaces it.
TEST_F(TextPhaseKeysEndToEnd, DoubleClickOpensTheEditorAtTheCharacter) {
  int32 omx = 0;
  std::vector<Point> at;
  Write_Text_Project(omx, at);
  if (HasFatalFailure()) return;
  const a_om_rec& om = *Obj_Item(omx)->om;
  // The band of the "l" of "label" on screen, and of its neighbours.
  Point l_left, l_right;
  CellToScreen(1, Point{om.xyl[7].mm_y, om.xyl[7].mm_x}, l_left);
  CellToScreen(1, Point{om.xyl[8].mm_y, om.xyl[8].mm_x}, l_right);
  ASSERT_GT(l_right.h, l_left.h);
  doctests::Close_Document();

  const std::string exe = VELMOR4_EXE;
  fs::create_directories(exe.substr(0, exe.find_last_of('/')) + "/text-e2e");
  const std::string shot = exe.substr(0, exe.find_last_of('/')) + "/text-e2e/9-double-click-selected.png";
  fs::remove(shot);
  std::ostringstream s;
  s << "wait 30\n"
    << labelsession::Open_Project(project_) << Menu(PANEL_PHASE + TEXT_PHASE) << "wait 10\n"
    << "click " << At(at[7]) << "\nclick " << At(at[7]) << "\nwait 10\n"
    << "key Shift+Right\nwait 40\nsnapshot " << shot << "\n"
    << "type Z\nkey KeypadEnter\nwait 10\nkey Ctrl+S\nwait 10\nquit\n";
  Run_Ok(s.str());
  if (HasFatalFailure()) return;

  // The highlight stands over the "l", not over its neighbours.
  const Shot px = Load(shot);
  int inside = 0, outside = 0;
  for (int32 y = 0; y < px.h; ++y)
    for (int32 x = 0; x < px.w; ++x) {
      if (!Reddish(px.px[size_t(y) * size_t(px.w) + size_t(x)])) continue;
      if (y < l_left.v - 60 || y > l_left.v + 30 || x < l_left.h - 80 || x > l_right.h + 80) continue;
      (x >= l_left.h - 2 && x <= l_right.h + 2 ? inside : outside) += 1;
    }
  EXPECT_GT(inside, 20) << "the selected character is highlighted";
  EXPECT_LT(outside, inside / 4) << "and nothing beside it";

  const std::vector<const a_om_rec*> texts = Saved_Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(Chars_Of(*texts[0]), u"Velmor Zabel");
}

// With the text tool, a colour chosen on the palette reaches the selected
// text at once, and Undo takes exactly that step back.
TEST_F(TextPhaseKeysEndToEnd, APaletteColourColoursTheSelectedTextAtOnce) {
  int32 omx = 0;
  std::vector<Point> at;
  Write_Text_Project(omx, at);
  if (HasFatalFailure()) return;
  const int16 tag_node = g_grid[TAG_PALETTE].nodex;
  ASSERT_NE(tag_node, 0) << "the palette's tag is laid out in the text phase";
  const Point tag_at = Middle(Node_Get(CURR, tag_node).nbounds);
  // The palette on the bar, and a plain red on it.
  gs.curr_bar = PAINT_COLORBAR;
  Config_All();
  const int16 bar_node = g_custom[CUSTOM_BAR].nodex;
  ASSERT_NE(bar_node, 0);
  int16 red = -1;
  for (int16 id = 7; id < gs.ncolor_table && red < 0; ++id) {
    const a_win_pixel32& c = gs.color_table[id];
    if (c.r > 200 && c.g < 40 && c.b < 40) red = id;
  }
  ASSERT_GE(red, 0) << "the palette has a red";
  Rect cell{};
  ASSERT_TRUE(Bar_ID_To_Rect(PAINT_COLORBAR, Node_Get(CURR, bar_node).nbounds, red, cell));
  const a_win_pixel32 want = gs.color_table[red];
  // The text's box on screen, within its frame.
  Rect box;
  CellToScreenRect(1, Obj_Item(omx)->om->bbox, box);
  InsetRect(box, 3, 3);
  ASSERT_FALSE(EmptyRect(box));
  doctests::Close_Document();

  const std::string exe = VELMOR4_EXE;
  const std::string shots = exe.substr(0, exe.find_last_of('/')) + "/text-e2e/";
  fs::create_directories(shots);
  const std::string coloured = shots + "10-palette-red.png", undone = shots + "11-palette-undone.png";
  std::ostringstream s;
  s << "wait 30\n"
    << labelsession::Open_Project(project_) << Menu(PANEL_PHASE + TEXT_PHASE) << "wait 10\n"
    << "click " << At(at[3]) << "\nwait 60\nclick " << At(tag_at) << "\nwait 10\nclick " << At(Middle(cell))
    << "\nwait 40\nsnapshot " << coloured << "\n" << Menu(MENU_EDIT + 1) << "wait 40\nsnapshot " << undone
    << "\nquit\n";
  Run_Ok(s.str());
  if (HasFatalFailure()) return;
  const auto count_red = [&](const Shot& px) {
    int n = 0;
    for (int32 y = std::max<int32>(box.top, 0); y < std::min<int32>(box.bottom, px.h); ++y)
      for (int32 x = std::max<int32>(box.left, 0); x < std::min<int32>(box.right, px.w); ++x) {
        const uint32 p = px.px[size_t(y) * size_t(px.w) + size_t(x)];
        n += int((p >> 16) & 0xFF) == want.r && int((p >> 8) & 0xFF) == want.g && int(p & 0xFF) == want.b;
      }
    return n;
  };
  EXPECT_GT(count_red(Load(coloured)), 100) << "the text shows the colour at once";
  EXPECT_LT(count_red(Load(undone)), 10) << "Undo takes the colour back";
}
