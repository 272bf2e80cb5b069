// Moving a document onto another layout: which old design each new unit
// takes (copies, clones only where the layout makes them, the designs left
// over), the remapping window's rows turned into a mapping, the layer and
// points of a design moved onto a canvas of another size, and the switch
// itself through the command: its save question, its refusal in the collage
// and a cancelled remapping that leaves the document as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DispatchTestSupport.h"
#include "DocTestSupport.h"
#include "SoundTestSupport.h"
#include "LabelSessionSupport.h"
#include "doc/VoskFile.h"
#include "doc/VoskTmpl.h"
#include "host/HostScript.h"
#include "platform/SysDlog.h"
#include "platform/SysIO.h"
#include "platform/SysSound.h"
#include "ui/VoskAskRemap.h"
#include "ui/VoskBrow.h"
#include "ui/VoskDisp.h"
#include "ui/VoskMenu.h"

namespace {

namespace fs = std::filesystem;

constexpr float kMMPerPixel = 0.0846667f;

// A unit of a layout; w and h in pixels of its canvas (a disc's is fixed).
struct Face {
  uint8 kind;
  int w = 1200, h = 1200;
  bool notindexed = false;
};

a_template Sheet(const std::vector<Face>& faces) {
  a_template x{};
  std::strcpy(x.label, "Remap sheet");
  x.papersize = {215.9f, 279.4f};
  float left = 5;
  for (const Face& f : faces) {
    a_unit& u = x.units[x.nunits++];
    u.kind = f.kind;
    u.uflags = f.notindexed ? uint32(1) << UNIT_NOTINDEXED : 0;
    u.bbox = a_frect{left, 5, left + float(f.w) * kMMPerPixel, 5 + float(f.h) * kMMPerPixel};
    left += 2;
  }
  return x;
}

uint32* Px(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint32*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
}
uint8* Mx(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint8*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
}

// Unit ux painted at (x, y) with its own colour.
void Paint(uint32 ux, int x, int y, uint32 colour) {
  a_doc_unit* u = Doc_Unit(ux);
  ASSERT_NE(u, nullptr);
  Sync_Existence(true, u, PAINT1_LAYER);
  u->paintinuse = true;
  *Px(u->statics[PAINT1_LAYER].world, x, y) = colour;
  *Mx(u->statics[PAINT1_LAYER].mask, x, y) = 255;
}
uint32 Design_Colour(uint32 ux) { return 0x00010000u * ux + 0x42; }

// The old design a unit shows: the colour its master's paint has at (1, 1)
// turned back into the old unit's number; 0 for no paint.
uint32 Shown_Design(uint32 ux) {
  const a_doc_unit* m = Doc_Unit(Find_Clone_Master(ux));
  if (m == nullptr || m->statics[PAINT1_LAYER].world == nullptr) return 0;
  const uint32 c = *Px(m->statics[PAINT1_LAYER].world, 1, 1) & 0x00FFFFFFu;
  return (c & 0xFF) == 0x42 ? c >> 16 : 0;
}

// The open document's designs mapped onto next (exact starts as
// exact_before, so that the call must set it).
struct Mapping {
  a_template_mapping map{};
  a_sig_list sig{};
  uint32 nsig = 0;
  bool8 exact = false;
};
Mapping Map_Onto(const a_template& next, bool exact_before) {
  Mapping m;
  m.exact = exact_before;
  Calc_Template_Mapping(next, m.map, m.nsig, m.sig, m.exact);
  return m;
}

class Remap : public ::testing::Test {
 protected:
  void SetUp() override {
    doctests::Start_Document_Modules();
    gs.controller = GHOST;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
  }
  void TearDown() override { doctests::Close_Document(); }
};

// --- The mapping ------------------------------------------------------------------

struct Want {
  a_unit_mapping_kind kind;
  uint32 link;
  uint32 design;  // the old design the unit shows after the switch
};

struct MapCase {
  const char* name;
  std::vector<Face> old_faces;
  std::vector<uint32> masters;  // units the layout clones made masters of their own
  std::vector<uint32> painted;
  std::vector<Face> new_faces;
  std::vector<Want> want;
  bool exact;
};

TEST_F(Remap, DesignsGoToNewUnitsAsTheTableSays) {
  const Face cd{UNIT_CD};
  const MapCase cases[] = {
      {"two disc masters onto three discs", {cd, cd}, {2}, {1, 2}, {cd, cd, cd},
       {{UMP_COPY, 1, 1}, {UMP_COPY, 2, 2}, {UMP_CLONE, 2, 2}}, true},
      {"master and clone onto three discs", {cd, cd}, {}, {1}, {cd, cd, cd},
       {{UMP_COPY, 1, 1}, {UMP_CLONE, 1, 1}, {UMP_CLONE, 1, 1}}, true},
      {"fewer units of a kind", {cd, cd}, {2}, {1, 2}, {cd}, {{UMP_COPY, 1, 1}}, false},
      // Paint alone makes a design: with no canvas and no objects it is still
      // offered, and left over here.
      {"a painted unit without canvas kept", {{UNIT_RECT, 40, 40}}, {}, {1}, {{UNIT_OVAL, 40, 40}},
       {{UMP_EMPTY, 0, 0}}, false},
      {"a painted rectangle onto one", {{UNIT_RECT, 40, 40}}, {}, {1}, {{UNIT_RECT, 40, 40}},
       {{UMP_COPY, 1, 1}}, true},
      {"an empty unit that does not count", {cd}, {}, {1}, {cd, {UNIT_RECT, 40, 40, true}},
       {{UMP_COPY, 1, 1}, {UMP_EMPTY, 0, 0}}, true},
      {"an empty unit that counts", {cd}, {}, {1}, {cd, {UNIT_RECT, 40, 40}},
       {{UMP_COPY, 1, 1}, {UMP_EMPTY, 0, 0}}, false},
      // Unit 1 has nothing before it to follow.
      {"unit 1 without a design of its kind", {cd}, {}, {1}, {{UNIT_RECT, 40, 40}, cd},
       {{UMP_EMPTY, 0, 0}, {UMP_COPY, 1, 1}}, false},
      // A unit of another canvas size cannot be a clone: it takes a copy.
      {"one kind, two sizes", {{UNIT_RECT, 40, 40}}, {}, {1}, {{UNIT_RECT, 40, 40}, {UNIT_RECT, 50, 50}},
       {{UMP_COPY, 1, 1}, {UMP_COPY, 1, 1}}, true},
      {"nothing designed", {cd, cd}, {}, {}, {{UNIT_RECT, 40, 40}}, {{UMP_EMPTY, 0, 0}}, true},
  };
  for (const MapCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Doc_New(Sheet(c.old_faces)));
    for (uint32 ux : c.masters) ASSERT_TRUE(Unclone(ux));
    for (uint32 ux : c.painted) Paint(ux, 1, 1, Design_Colour(ux));
    const a_template next = Sheet(c.new_faces);
    const Mapping m = Map_Onto(next, !c.exact);
    const a_template_mapping& map = m.map;
    EXPECT_EQ(bool(m.exact), c.exact);
    EXPECT_EQ(m.nsig, c.painted.size());
    for (uint32 ux = 1; ux <= c.want.size(); ++ux) {
      SCOPED_TRACE(ux);
      EXPECT_EQ(map.map[ux - 1].mapkind, c.want[ux - 1].kind);
      if (c.want[ux - 1].kind != UMP_EMPTY) {
        EXPECT_EQ(map.map[ux - 1].src_ux, c.want[ux - 1].link);
      }
    }
    ASSERT_TRUE(Do_Remap(next, map));
    for (uint32 ux = 1; ux <= c.want.size(); ++ux) EXPECT_EQ(Shown_Design(ux), c.want[ux - 1].design) << ux;
    doctests::Close_Document();
  }
}

// The catalogue's media kinds switch as the table says: cards onto cards,
// J-cards onto J-cards, discs onto a disc sheet whose case pieces (a label
// and spine strips) need no design of their own, and nothing of a kind the
// new layout lacks.
TEST_F(Remap, CatalogueMediaSwitchByTheirKinds) {
  const auto layout = [](const char* label) {
    a_template x{};
    a_ctemplate c{};
    const uint32 tx = Find_Template(CStrSpan(label, std::strlen(label)));
    EXPECT_NE(tx, 0u) << label;
    if (tx != 0 && Get_CTemplate(tx, c)) EXPECT_EQ(Expand_Template(c, x), EXPAND_OK) << label;
    return x;
  };
  const struct {
    const char* from;
    const char* to;
    bool exact;
    uint8 kind;  // of the new unit 1, which takes the design when it is of the old kind
  } cases[] = {
      {"_ Business cards (A4)", "Avery 5371", true, UNIT_VISITING},
      {"Avery L7676", "Online_Labels OL5025", true, UNIT_CD},
      {"_ Cassette J-card (A4)", "_ Cassette J-card (Letter)", true, UNIT_AUDIO_JCARD},
      {"_ Business cards (A4)", "Online_Labels OL5575", false, UNIT_MINICD_HOCKEY},
      {"_ 8 cm case insert (A4)", "_ 8 cm case insert (Letter)", true, UNIT_MINICD_LID1},
      {"_ DVD case inlet (Letter)", "_ DVD case inlet (A4)", true, UNIT_DVDBOX_INSERT},
      {"_ 8 cm case booklet (A4)", "_ 8 cm case insert (A4)", false, UNIT_MINICD_LID1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " to " + c.to);
    ASSERT_TRUE(Doc_New(layout(c.from)));
    Paint(1, 1, 1, Design_Colour(1));
    const a_template next = layout(c.to);
    ASSERT_GT(next.nunits, 1u);
    EXPECT_EQ(next.units[0].kind, c.kind);
    const Mapping m = Map_Onto(next, !c.exact);
    EXPECT_EQ(bool(m.exact), c.exact);
    ASSERT_TRUE(Do_Remap(next, m.map));
    for (uint32 ux = 1; ux <= next.nunits; ++ux) {
      const bool same_kind = next.units[ux - 1].kind == c.kind && c.exact;
      EXPECT_EQ(Shown_Design(ux), same_kind ? 1u : 0u) << "unit " << ux;
    }
    doctests::Close_Document();
  }
}

// --- The remapping window's rows -----------------------------------------------------

TEST_F(Remap, RowsBecomeCopiesAndClonesOfTheDesignChosen) {
  a_sig_list sig{};
  sig.sig[0] = a_sig_source{1, false};
  sig.sig[1] = a_sig_source{4, false};
  const Face cd{UNIT_CD};
  struct Case {
    const char* name;
    std::vector<Face> faces;
    std::vector<int16> choice;
    std::vector<std::pair<a_unit_mapping_kind, uint32>> want;
  } cases[] = {
      {"three adjacent discs on one design", {cd, cd, cd}, {2, 2, 2},
       {{UMP_COPY, 1}, {UMP_CLONE, 1}, {UMP_CLONE, 1}}},
      // Row 2 cannot be a clone (another size) but takes the same design:
      // row 3 still follows it.
      {"a copy between", {{UNIT_RECT, 40, 40}, {UNIT_RECT, 50, 50}, {UNIT_RECT, 50, 50}}, {3, 3, 3},
       {{UMP_COPY, 4}, {UMP_COPY, 4}, {UMP_CLONE, 4}}},
      {"Empty, another design, a number no design has", {cd, cd, cd, cd}, {1, 3, 2, 9},
       {{UMP_EMPTY, 0}, {UMP_COPY, 4}, {UMP_COPY, 1}, {UMP_EMPTY, 0}}},
      {"same design, another kind", {cd, {UNIT_RECT, 40, 40}}, {2, 2}, {{UMP_COPY, 1}, {UMP_COPY, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    a_template_mapping map{};
    map.map[0] = a_unit_mapping{UMP_COPY, {77}};  // replaced whole
    Remap_From_Dialog(Sheet(c.faces), c.choice.data(), 2, sig, map);
    for (uint32 ux = 1; ux <= c.want.size(); ++ux) {
      EXPECT_EQ(map.map[ux - 1].mapkind, c.want[ux - 1].first) << ux;
      if (c.want[ux - 1].first != UMP_EMPTY) {
        EXPECT_EQ(map.map[ux - 1].src_ux, c.want[ux - 1].second) << ux;
      }
    }
  }
  // The rows' presets: the design in a copy's or a clone's link, else Empty.
  a_template_mapping map{};
  map.map[0] = a_unit_mapping{UMP_COPY, {4}};
  map.map[1] = a_unit_mapping{UMP_CLONE, {1}};
  map.map[2] = a_unit_mapping{UMP_COPY, {3}};
  EXPECT_EQ(Remap_Preset(map, 1, 2, sig), 3);
  EXPECT_EQ(Remap_Preset(map, 2, 2, sig), 2);
  EXPECT_EQ(Remap_Preset(map, 3, 2, sig), 1);
  EXPECT_EQ(Remap_Preset(map, 4, 2, sig), 1);
}

// --- A design onto a canvas of another size -----------------------------------------

TEST_F(Remap, LayerAndPointsFollowTheNewCanvas) {
  ASSERT_TRUE(Doc_New(Sheet({{UNIT_RECT, 40, 40}})));
  Paint(1, 1, 1, Design_Colour(1));
  Paint(1, 39, 39, 0x00123456);
  a_doc_unit* u = Doc_Unit(1);
  u->symmetry_center = Point{30, 30};
  u->ruler_origin = Point{5, 5};
  u->edit_focus = Point{39, 2};

  struct Case {
    int size;
    Point symmetry, ruler, focus;
  } cases[] = {{60, {30, 30}, {5, 5}, {39, 2}}, {20, {10, 10}, {5, 5}, {10, 10}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    const a_template next = Sheet({{UNIT_RECT, c.size, c.size}});
    a_template_mapping map{};
    a_sig_list sig{};
    uint32 nsig = 0;
    bool8 exact = false;
    Calc_Template_Mapping(next, map, nsig, sig, exact);
    ASSERT_TRUE(exact);
    ASSERT_TRUE(Do_Remap(next, map));
    const a_doc_unit* n = Doc_Unit(1);
    const Rect bounds{0, 0, int16(c.size), int16(c.size)};
    ASSERT_EQ(n->paintbounds, bounds);
    const a_cached_gworld& layer = n->statics[PAINT1_LAYER];
    ASSERT_NE(layer.world, nullptr);
    ASSERT_NE(layer.mask, nullptr);
    EXPECT_EQ(layer.bounds, bounds);
    EXPECT_EQ(layer.world->pix.bounds, bounds);
    EXPECT_EQ(layer.mask->pix.bounds, bounds);
    EXPECT_EQ(*Px(layer.world, 1, 1) & 0xFFFFFFu, Design_Colour(1));
    EXPECT_EQ(*Mx(layer.mask, 1, 1), 255);
    if (c.size > 39) {
      EXPECT_EQ(*Px(layer.world, 39, 39) & 0xFFFFFFu, 0x123456u);
      EXPECT_EQ(*Mx(layer.mask, c.size - 1, c.size - 1), 0) << "unpainted past the old canvas";
    }
    EXPECT_EQ(n->symmetry_center, c.symmetry);
    EXPECT_EQ(n->ruler_origin, c.ruler);
    EXPECT_EQ(n->edit_focus, c.focus);
    EXPECT_TRUE(g_doc.doc_changed);
  }
}

// --- The switch through the command -------------------------------------------------------

class Switch : public dispatchtest::Dispatch {
 protected:
  // The document of three units (one design, painted), counted as saved at
  // path_, and named after the CD layout so the browser frames that layout:
  // Return in it takes the CD layout, onto which the rectangle's design is
  // left over.
  void Open_Saved(a_phase phase = PREVIEW_PHASE) {
    Open(phase);
    Paint(1, 1, 1, Design_Colour(1));
    std::strcpy(g_doc.doc_template.label, labelsession::kCdLayout);
    path_ = tmp_ + "/saved.CD4";
    ASSERT_TRUE(Path_From_Text(g_doc.doc_path, path_.c_str()));
    g_doc.doc_new = false;
    g_doc.doc_changed = true;
  }
  // The answers in turn: dialog 1200's button, then the browser's and the
  // remapping window's (1: Return, any other: Escape).
  static void Answers(std::initializer_list<int> answers) {
    for (int a : answers) Host_Script_Push_Answer(HOST_ANSWER_ALERT, std::to_string(a));
  }
  // How many answers nobody took.
  static int Answers_Left() {
    int n = 0;
    std::string answer;
    while (Host_Script_Take_Answer(HOST_ANSWER_ALERT, answer)) ++n;
    return n;
  }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static std::string Written(const std::string& path) {
    FSSpec spec{};
    if (!Path_From_Text(spec, path.c_str()) || !Doc_Write(FMT_DISC, spec)) return "";
    return Bytes(path);
  }
  void SetUp() override {
    dispatchtest::Dispatch::SetUp();
    if (HasFatalFailure()) return;
    SysDlog_Init();  // the modal windows' class
    Host_Script_Set_Quit_At_End(false);
  }
  void TearDown() override {
    Host_Script_Reset();
    dispatchtest::Dispatch::TearDown();
  }
  std::string path_;
};

// Dialog 1200 first for a changed document: Cancel stops; Save goes on only
// when the file was written; Save that writes it goes on to the browser and
// the remapping window, whose Return switches.
TEST_F(Switch, ChangedDocumentIsOfferedItsSaveFirst) {
  Open_Saved();
  Answers({2, 1, 1});
  DoMenuEvent(MENU_EXPORT, 1, false, false);
  EXPECT_EQ(g_doc.doc_template.units[0].kind, UNIT_RECT) << "Cancel stops";
  EXPECT_FALSE(fs::exists(path_));
  EXPECT_EQ(Answers_Left(), 2) << "no browser";

  // A save that cannot write (its folder is missing) stops too.
  const FSSpec saved = g_doc.doc_path;
  ASSERT_TRUE(Path_From_Text(g_doc.doc_path, (tmp_ + "/missing/saved.CD4").c_str()));
  Answers({1, 1, 1});
  DoMenuEvent(MENU_EXPORT, 1, false, false);
  EXPECT_EQ(g_doc.doc_template.units[0].kind, UNIT_RECT) << "a save that wrote nothing stops";
  EXPECT_TRUE(g_doc.doc_changed);
  EXPECT_EQ(Answers_Left(), 2) << "no browser";

  g_doc.doc_path = saved;
  Answers({1, 1, 1});
  DoMenuEvent(MENU_EXPORT, 1, false, false);
  EXPECT_TRUE(fs::exists(path_));
  EXPECT_EQ(g_doc.doc_template.units[0].kind, UNIT_CD);
  EXPECT_EQ(Shown_Design(1), 0u) << "the rectangle's design fits no disc";
  EXPECT_TRUE(g_doc.doc_changed) << "the switched document is no longer what its file holds";
  EXPECT_EQ(Answers_Left(), 0);
}

// Don't Save, the CD layout taken, then Cancel in the remapping window: the
// document is byte for byte what it was.
TEST_F(Switch, CancelledRemappingLeavesTheDocumentAsItWas) {
  Open_Saved();
  const std::string before = Written(tmp_ + "/before.CD4");
  ASSERT_FALSE(before.empty());
  g_doc.doc_changed = true;
  Answers({3, 1, 2});
  DoMenuEvent(MENU_EXPORT, 1, false, false);
  EXPECT_EQ(Answers_Left(), 0) << "the question, the browser and the remapping window each took theirs";
  EXPECT_EQ(g_doc.doc_template.units[0].kind, UNIT_RECT);
  EXPECT_TRUE(g_doc.doc_changed);
  EXPECT_EQ(Written(tmp_ + "/after.CD4"), before);
}

// In the collage the command is disabled, and the switch refuses when asked
// directly: no question, no browser.
TEST_F(Switch, RefusedInTheCollage) {
  Open_Saved(COLLAGE_PHASE);
  EXPECT_FALSE(Command_Enabled(MENU_EXPORT + 1));
  Answers({3, 1, 1});
  DoMenuEvent(MENU_EXPORT, 1, false, false);
  EXPECT_EQ(Sounds(), (std::vector<int16>{SND_NULL}));
  Switch_Layout();
  EXPECT_EQ(Sounds(), (std::vector<int16>{SND_NULL}));
  EXPECT_EQ(g_doc.doc_template.units[0].kind, UNIT_RECT);
  Phase(PREVIEW_PHASE);
  EXPECT_TRUE(Command_Enabled(MENU_EXPORT + 1));
}

// More rows than the window shows: every row is reached by scrolling, and
// rows never shown keep their preset when the window is confirmed.
TEST_F(Switch, RowsOutOfSightKeepTheirPresets) {
  Open_Saved();
  std::vector<Face> discs(20, Face{UNIT_CD});
  const a_template next = Sheet(discs);
  a_sig_list sig{};
  sig.sig[0] = a_sig_source{1, false};
  sig.sig[1] = a_sig_source{2, false};
  a_template_mapping preset{};
  for (uint32 ux = 1; ux <= 20; ++ux) preset.map[ux - 1] = a_unit_mapping{UMP_COPY, {ux % 2 == 1 ? 1u : 2u}};
  preset.map[19] = a_unit_mapping{UMP_EMPTY, {0}};
  for (const char* script : {"answer alert 1\n", "key PageDown\nkey PageDown\nkey Up\nkey Enter\n"}) {
    SCOPED_TRACE(script);
    a_template_mapping map = preset;
    std::string err;
    ASSERT_TRUE(Host_Script_Load_Text(script, "rows", err)) << err;
    ASSERT_TRUE(Ask_Complex_Remap(next, map, 2, sig));
    Host_Script_Reset();
    for (uint32 ux = 1; ux <= 20; ++ux) {
      EXPECT_EQ(map.map[ux - 1].mapkind, preset.map[ux - 1].mapkind) << ux;
      EXPECT_EQ(map.map[ux - 1].src_ux, preset.map[ux - 1].src_ux) << ux;
    }
  }
  // Escape: the mapping as it was.
  a_template_mapping map{};
  std::string err;
  ASSERT_TRUE(Host_Script_Load_Text("key PageDown\nkey Escape\n", "rows", err)) << err;
  EXPECT_FALSE(Ask_Complex_Remap(next, map, 2, sig));
  for (uint32 ux = 1; ux <= 20; ++ux) EXPECT_EQ(map.map[ux - 1].mapkind, UMP_EMPTY);
}

// A choice made on a row shown stays with its row while the rows scroll:
// the first row's pop-up set to Empty (when the window beeps at a key),
// the rows scrolled away and back, Return.
int32 Empty_First_Row(const a_keyset& key) {
  if (key.a != SOUND_KEY_FAMILY || key.c != SND_NULL) return 0;
  if (HWND popup = GetDlgItem(GetActiveWindow(), 100)) SetPopUp(popup, 1);
  return 0;
}

TEST_F(Switch, AChoiceStaysWithItsRowThroughScrolling) {
  Open_Saved();
  std::vector<Face> discs(20, Face{UNIT_CD});
  const a_template next = Sheet(discs);
  a_sig_list sig{};
  sig.sig[0] = a_sig_source{1, false};
  sig.sig[1] = a_sig_source{2, false};
  a_template_mapping map{};
  for (uint32 ux = 1; ux <= 20; ++ux) map.map[ux - 1] = a_unit_mapping{UMP_COPY, {ux % 2 == 1 ? 1u : 2u}};
  const a_sound_library saved = g_sound_library;
  g_sound_library = a_sound_library{Empty_First_Row, soundtest::No_Lock, soundtest::No_Unlock};
  Sound_Enable(true);
  std::string err;
  ASSERT_TRUE(Host_Script_Load_Text("key x\nkey PageDown\nkey PageUp\nkey Enter\n", "rows", err)) << err;
  const bool8 confirmed = Ask_Complex_Remap(next, map, 2, sig);
  g_sound_library = saved;
  ASSERT_TRUE(confirmed);
  EXPECT_EQ(map.map[0].mapkind, UMP_EMPTY) << "the choice made before scrolling";
  for (uint32 ux = 2; ux <= 20; ++ux) {
    EXPECT_EQ(map.map[ux - 1].mapkind, UMP_COPY) << ux;
    EXPECT_EQ(map.map[ux - 1].src_ux, ux % 2 == 1 ? 1u : 2u) << ux;
  }
}

// --- The media name -------------------------------------------------------------------------

std::u16string Text_Of(const uStr63& name) {
  std::u16string s;
  for (int i = 0; i < 64 && name[i] != 0; ++i) s.push_back(char16_t(name[i]));
  return s;
}
void Set_Name(uStr63& name, const std::u16string& s) {
  std::memset(name, 0, sizeof name);
  for (size_t i = 0; i < s.size() && i < 63; ++i) name[i] = UniChar(s[i]);
}

// The name is preset and selected, so typing replaces it; OK and Return
// take only a name that is not empty; Escape keeps the old one; at most 63
// characters are kept.
TEST_F(Switch, MediaNameIsAskedForAndKeptWithinItsLength) {
  const std::string long_name(70, 'x');
  struct Case {
    const char* name;
    std::u16string preset;
    std::string script;
    bool confirmed;
    std::u16string after;
  } cases[] = {
      {"OK on the preset", u"Glossy", "answer alert 1\n", true, u"Glossy"},
      {"typed over", u"Glossy", "type Matte paper\nanswer alert 1\n", true, u"Matte paper"},
      {"Return", u"Glossy", "type Inkjet\nkey Enter\n", true, u"Inkjet"},
      {"Escape", u"Glossy", "type Inkjet\nkey Escape\n", false, u"Glossy"},
      {"OK on an empty name", u"", "answer alert 1\n", false, u""},
      {"Return on an empty name", u"", "key Enter\n", false, u""},
      {"emptied, then OK", u"Glossy", "key Delete\nanswer alert 1\n", false, u"Glossy"},
      {"too long", u"", "type " + long_name + "\nanswer alert 1\n", true, std::u16string(63, u'x')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uStr63 name;
    Set_Name(name, c.preset);
    std::string err;
    ASSERT_TRUE(Host_Script_Load_Text(c.script, "media", err)) << err;
    EXPECT_EQ(bool(Ask_Media_Name(name)), c.confirmed);
    EXPECT_EQ(Text_Of(name), c.after);
    Host_Script_Reset();
  }

  // The print panel's media name button: the document's medium takes the
  // name.
  Open_Saved();
  std::string err;
  ASSERT_TRUE(Host_Script_Load_Text("type Silver disc\nanswer alert 1\n", "media", err)) << err;
  DoMenuEvent(PANEL_ONESHOT, PRINT_MEDIANAME_BUTTON, false, false);
  a_print_media_spec specs;
  Get_Media_Specs(specs);
  uStr63 stored;
  std::memcpy(stored, specs.label, sizeof stored);
  EXPECT_EQ(Text_Of(stored), u"Silver disc");
}

}  // namespace
