// The undo history: the ring's cases as one table (filling it, undo and redo
// at both ends, a step dropping the oldest state, a new step discarding the
// redo states), whole documents recorded and restored (250 units of 10
// symbols, texts and paint, from memory and from the undo files), an import
// onto another layout undone to the old layout, clones, the operations'
// labels, damaged undo files and damaged states refused with the document
// unchanged, a step that cannot be kept, and the run's folder: owner-only,
// gone after quitting, and a dead run's removed at the next start.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "FontTestSupport.h"
#include "SoundTestSupport.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskHistFile.h"
#include "doc/VoskUndo.h"
#include "host/HostFiles.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"

namespace {

constexpr float kMMPerPixel = 0.0846667f;

// A layout of n units w x h pixels, alternating two kinds so that every unit
// is a master (or of one kind, so that the units after the first are clones).
a_template Layout(uint32 n, int w, int h, bool alternate = true, const char* label = "History sheet") {
  a_template x{};
  std::strncpy(x.label, label, sizeof x.label - 1);
  x.papersize = {215.9f, 279.4f};
  for (uint32 i = 0; i < n; ++i) {
    a_unit& u = x.units[x.nunits++];
    u.kind = alternate && i % 2 == 1 ? UNIT_OVAL : UNIT_RECT;
    const float left = 5 + float(i % 20), top = 5 + float(i / 20);
    u.bbox = a_frect{left, top, left + float(w) * kMMPerPixel, top + float(h) * kMMPerPixel};
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

void Paint(a_doc_unit* u, int x, int y, uint32 colour, uint8 opacity) {
  Sync_Existence(true, u, PAINT1_LAYER);
  u->paintinuse = true;
  *Px(u->statics[PAINT1_LAYER].world, x, y) = colour;
  *Mx(u->statics[PAINT1_LAYER].mask, x, y) = opacity;
}

// A symbol whose values tell it apart.
void Add_Symbol(a_doc_unit* u, int16 tag) {
  a_ph_rec* ph = New_PH_Rec();
  ASSERT_NE(ph, nullptr);
  ph->spec.source.kind = SOURCE_DATABASE;
  ph->spec.source.key = a_keyset{5, 1, tag, 1};
  ph->spec.angle = tag;
  ph->spec.scalingh = ph->spec.scalingv = 1000;
  ph->spec.is_symbol = true;
  ph->dst_box = Rect{int16(tag % 20), int16(tag % 30), int16(tag % 20 + 10), int16(tag % 30 + 12)};
  Obj_Append(u->oj, SYMBOL_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), ph, nullptr);
}

void Add_Text(a_doc_unit* u, const char* text) {
  a_om_rec* om = New_OM_Rec();
  ASSERT_NE(om, nullptr);
  om->nxyl = 0;
  for (const char* c = text; *c != 0; ++c) om->xyl[om->nxyl++].cc_char = UniChar(*c);
  om->xyl[om->nxyl].cc_char = EOS_CHAR;
  om->xyl[om->nxyl++].mm_cat = CC_EOS;
  om->size = 24;
  om->layout = LAYOUT_CIRC_CW;
  om->justify = JUST_CENTER;
  om->base_color = a_win_pixel32{10, 20, 30, 255};
  Obj_Append(u->oj, TEXT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG) | OJ_Flag_Bit(SELECTED_FLAG), nullptr, om);
}

// What the document holds, in words: compared before and after.
std::string Describe() {
  std::string d = std::string(g_doc.doc_template.label) + " units " + std::to_string(g_doc.doc_template.nunits);
  for (uint32 ux = 1; ux <= g_doc.doc_template.nunits; ++ux) {
    const a_doc_unit* u = Doc_Unit(ux);
    if (u == nullptr) return d + " missing unit " + std::to_string(ux);
    const Rect& b = u->paintbounds;
    d += "\n" + std::to_string(ux) + ": " + std::to_string(b.right) + "x" + std::to_string(b.bottom) +
         (u->clonef ? " clone" : "") + (u->printf ? " print" : "") + " g" + std::to_string(u->groupx) + " dark " +
         std::to_string(u->canv.cv.canvas_darkness) + " focus " + std::to_string(u->edit_focus.h);
    if (u->clonef) continue;
    for (int32 i = 0; i < u->oj.nlist; ++i) {
      const a_oj_item& it = u->oj.list[i];
      d += " [" + std::to_string(it.kind) + "/" + std::to_string(it.flags) + "/" + std::to_string(it.objid);
      if (it.kind == SYMBOL_BLOCK || it.kind == PHOTO_BLOCK)
        d += " a" + std::to_string(it.ph->spec.angle) + " k" + std::to_string(it.ph->spec.source.key.c) + " b" +
             std::to_string(it.ph->dst_box.right);
      if (it.kind == TEXT_BLOCK) {
        d += " \"";
        for (int32 c = 0; c < it.om->nxyl; ++c) d += char(it.om->xyl[c].cc_char);
        d += "\" s" + std::to_string(it.om->size) + " l" + std::to_string(it.om->layout);
      }
      d += "]";
    }
    if (u->paintinuse) {
      const a_cached_gworld& l = u->statics[PAINT1_LAYER];
      d += " paint " + std::to_string(*Px(l.world, 3, 4)) + "/" + std::to_string(*Mx(l.mask, 3, 4)) + " " +
           std::to_string(*Px(l.world, 0, 0) & 0xFFFFFFu);
    }
  }
  return d;
}

std::vector<uint8> Read_File(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}
void Write_File(const std::string& path, const std::vector<uint8>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class History : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp_ = testdir::Make_Temp_Dir("hist");
    ASSERT_FALSE(tmp_.empty());
    env_ = std::make_unique<testdir::EnvGuard>("TMPDIR", tmp_.c_str());
    doctests::Start_Document_Modules();
    gs.controller = GHOST;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
  }
  void TearDown() override {
    Host_Fail_Writes_After(-1);
    doctests::Close_Document();
    History_Stop();
    EXPECT_EQ(Live_Unit_Recs(), 0u);
    env_.reset();
    testdir::Remove_Dir(tmp_);
  }
  void Open(const a_template& x) {
    ASSERT_TRUE(Doc_New(x));
    ASSERT_TRUE(g_doc.doc_open);
  }
  // An action the history records: unit 1's darkness set to value.
  void Step(int16 value) {
    Doc_Unit(1)->canv.cv.canvas_darkness = value;
    History_Emit(OP_CANVAS_ADJUST);
  }
  int16 Value() { return Doc_Unit(1)->canv.cv.canvas_darkness; }

  std::string tmp_;
  std::unique_ptr<testdir::EnvGuard> env_;
};

// The ring, step by step: each row acts (e: steps, u: undos, r: redos, each
// n times) and then holds what the history and the document show.
TEST_F(History, TheRingStepByStep) {
  Open(Layout(1, 60, 40));
  soundtest::SoundRecorder sounds;
  struct Row {
    const char* what;
    char act;
    int n;
    int16 value;  // unit 1's darkness after the row
    int32 count, lo, curr, undo, redo;
    int16 sound;  // of each undo or redo (0: none)
  } const rows[] = {
      {"the start state and 14 steps fill the ring", 'e', 14, 14, 15, 0, 14, 13, -1, 0},
      {"14 undos reach the start state", 'u', 14, 50, 15, 0, 0, -1, 1, SND_UNDO},
      {"a 15th undo is refused", 'u', 1, 50, 15, 0, 0, -1, 1, SND_NULL},
      {"redo returns to the newer state", 'r', 1, 1, 15, 0, 1, 0, 2, SND_REDO},
      {"redo up to the newest state", 'r', 13, 14, 15, 0, 14, 13, -1, SND_REDO},
      {"redo at the newest state is refused", 'r', 1, 14, 15, 0, 14, 13, -1, SND_NULL},
      {"one more step drops the oldest; slot 15 newest, no redo", 'e', 1, 15, 15, 1, 15, 14, -1, 0},
      {"two undos", 'u', 2, 13, 15, 1, 13, 12, 14, SND_UNDO},
      {"a new step discards the redo states", 'e', 1, 16, 14, 1, 14, 13, -1, 0},
      {"steps wrap around the ring", 'e', 2, 18, 15, 2, 0, 15, -1, 0},
      {"undos go back across the wrap", 'u', 3, 13, 15, 2, 13, 12, 14, SND_UNDO},
      {"and down to the oldest state kept", 'u', 11, 2, 15, 2, 2, -1, 3, SND_UNDO},
  };
  int16 next = 0;
  EXPECT_EQ(History_Count(), 1);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    sounds.Clear();
    for (int i = 0; i < r.n; ++i) {
      if (r.act == 'e') Step(++next);
      if (r.act == 'u') Undo_Button();
      if (r.act == 'r') Redo_Button();
    }
    EXPECT_EQ(Value(), r.value);
    EXPECT_EQ(History_Count(), r.count);
    EXPECT_EQ(g_hist.lo, r.lo);
    EXPECT_EQ(g_hist.curr, r.curr);
    int32 undo, redo;
    Calc_Undo_Avail(undo, redo);
    EXPECT_EQ(undo, r.undo);
    EXPECT_EQ(redo, r.redo);
    if (r.sound != 0) EXPECT_EQ(sounds.Ids(), std::vector<int16>(size_t(r.n), r.sound));
    else EXPECT_TRUE(sounds.Ids().empty());
  }
  // Undo_Silent undoes without a sound; with nothing to undo it does nothing.
  Redo_Button();
  sounds.Clear();
  Undo_Silent();
  EXPECT_EQ(Value(), 2);
  Undo_Silent();
  EXPECT_EQ(Value(), 2);
  EXPECT_TRUE(sounds.Ids().empty());
  // No document open: nothing to undo.
  g_doc.doc_open = false;
  int32 undo, redo;
  Calc_Undo_Avail(undo, redo);
  EXPECT_EQ(undo, -1);
  EXPECT_EQ(redo, -1);
  g_doc.doc_open = true;
}

// After one undo, the next step keeps the document as it is, never the
// state undone: A made, undone, B made, undone, and redo brings back B,
// for a photo, a text and paint.
TEST_F(History, AStepAfterAnUndoKeepsTheDocumentAsItIs) {
  struct Kind {
    const char* what;
    std::function<void(a_doc_unit*, int)> make;  // the k-th change (1: A, 2: B)
    a_history_op op;
  } const kinds[] = {
      {"photo",
       [](a_doc_unit* u, int k) {
         a_ph_rec* ph = New_PH_Rec();
         ph->spec.source.kind = SOURCE_DATABASE;
         ph->spec.source.key = a_keyset{2, 1, int16(k), 1};
         ph->spec.angle = int16(100 * k);
         ph->spec.scalingh = ph->spec.scalingv = 1000;
         ph->dst_box = Rect{0, 0, 10, int16(10 * k)};
         Obj_Append(u->oj, PHOTO_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), ph, nullptr);
         Obj_PostRender(u->oj.nlist);
       },
       OP_PHOTO_NEW},
      {"text", [](a_doc_unit* u, int k) { Add_Text(u, k == 1 ? "first" : "second"); ++u->oj.seq; }, OP_TEXT_NEW},
      {"paint", [](a_doc_unit* u, int k) { Paint(u, 3, 4, 0xFF000000u | uint32(k * 0x1111), uint8(40 * k)); },
       OP_PAINT_BRUSH},
  };
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.what);
    doctests::Close_Document();
    Open(Layout(1, 60, 40));
    const std::string start = Describe();
    kind.make(Doc_Unit(1), 1);
    History_Emit(kind.op);
    const std::string a = Describe();
    Undo_Button();
    EXPECT_EQ(Describe(), start);
    kind.make(Doc_Unit(1), 2);
    History_Emit(kind.op);
    const std::string b = Describe();
    ASSERT_NE(a, b);
    Undo_Button();
    EXPECT_EQ(Describe(), start);
    Redo_Button();
    EXPECT_EQ(Describe(), b) << "the redo gives the second change back, not the first";
    int32 undo, redo;
    Calc_Undo_Avail(undo, redo);
    EXPECT_EQ(redo, -1) << "the first change was discarded";
  }
}

// The Edit menu's items name the operation undone and the one redone, by
// string list 800; none is OP_NOP.
TEST_F(History, UndoAndRedoNameTheirOperations) {
  Open(Layout(2, 60, 40));
  a_history_op u, r;
  Is_Undo_Avail(u, r);
  EXPECT_EQ(u, OP_NOP);
  EXPECT_EQ(r, OP_NOP);
  Doc_Unit(2)->printf = false;
  History_Emit(OP_TOGGLEPRINT);
  EXPECT_TRUE(g_doc.doc_changed);
  Is_Undo_Avail(u, r);
  EXPECT_EQ(u, OP_TOGGLEPRINT);
  EXPECT_EQ(r, OP_NOP);
  g_doc.doc_changed = false;  // as after a save
  Undo_Silent();
  EXPECT_TRUE(Doc_Unit(2)->printf);
  EXPECT_TRUE(g_doc.doc_changed);  // what the file holds is no longer shown
  Is_Undo_Avail(u, r);
  EXPECT_EQ(u, OP_NOP);
  EXPECT_EQ(r, OP_TOGGLEPRINT);
  const struct {
    a_history_op op;
    const char* label;
  } labels[] = {{OP_NOP, "NOP"},           {OP_CANVAS_FLIP, "Canvas flip"},  {OP_PAINT_FURTER, "Paint ring"},
                {OP_TOGGLEPRINT, "Toggle print"}, {OP_START, "Start"}, {OP_TEXT_PASTE, "Text Paste"}};
  for (const auto& l : labels) {
    Str255 s{};
    Calc_Op_Label(l.op, s);
    EXPECT_STREQ(s, l.label);
  }
}

// 250 units of 10 symbols each (the old 660-item limit passed five times),
// with a text and paint, come back whole from memory and from the undo files.
TEST_F(History, AWholeDocumentOf250UnitsComesBack) {
  Open(Layout(MAXNUNITS, 40, 30));
  for (uint32 ux = 1; ux <= MAXNUNITS; ++ux) {
    a_doc_unit* u = Doc_Unit(ux);
    ASSERT_FALSE(u->clonef) << ux;
    for (int16 i = 0; i < 10; ++i) Add_Symbol(u, int16(ux * 10 + uint32(i)));
  }
  Add_Text(Doc_Unit(1), "Hi there");
  Paint(Doc_Unit(1), 3, 4, 0x00112233u, 200);
  Paint(Doc_Unit(250), 3, 4, 0x00445566u, 99);
  History_Emit(OP_SYMBOL_NEW);
  const std::string first = Describe();

  // Changes of every kind: objects gone and added, paint, a text edited, the
  // print mark and the canvas.
  for (uint32 ux = 2; ux <= MAXNUNITS; ux += 3) Obj_Dispose(Doc_Unit(ux)->oj, 2);
  Add_Symbol(Doc_Unit(7), 9999);
  Paint(Doc_Unit(1), 3, 4, 0x00778899u, 255);
  Doc_Unit(1)->oj.list[11].om->xyl[0].cc_char = 'X';
  Doc_Unit(1)->oj.list[11].om->size = 48;
  Doc_Unit(1)->oj.list[11].om->cache.progress = Progress_Bit(READY_COORD);
  Doc_Unit(5)->printf = false;
  Doc_Unit(9)->canv.cv.canvas_darkness = 70;
  Doc_Unit(250)->paintinuse = false;
  Sync_Existence(false, Doc_Unit(250), PAINT1_LAYER);
  History_Emit(OP_BLOCK_DEL);
  const std::string second = Describe();
  ASSERT_NE(first, second);
  const int32 second_slot = g_hist.curr;
  EXPECT_EQ(History_Ram_Slot(), second_slot);

  Undo_Button();  // from the first state's undo file
  EXPECT_EQ(Describe(), first);
  Redo_Button();  // from memory
  EXPECT_EQ(Describe(), second);
  // The snapshot in memory is used without its file.
  Undo_File_Delete(second_slot);
  Undo_Button();
  Redo_Button();
  EXPECT_EQ(Describe(), second);
  // Restored texts are laid out afresh: nothing computed is kept.
  EXPECT_EQ(Doc_Unit(1)->oj.list[11].om->cache.progress, 0);
  // After a save the snapshot is dropped: the state comes from its file.
  Undo_Button();
  History_Flush();
  EXPECT_EQ(History_Ram_Slot(), -1);
  Redo_Button();  // its file was deleted above: refused, nothing changes
  EXPECT_EQ(Describe(), first);
  Undo_Button();  // the start state, from its file
  EXPECT_EQ(Doc_Unit(1)->oj.nlist, 1);
  EXPECT_FALSE(Doc_Unit(1)->paintinuse);
  EXPECT_EQ(Doc_Unit(250)->oj.nlist, 1);
}

// A clone's state is its header alone; cloning and uncloning come back.
TEST_F(History, AClonesStateIsItsHeader) {
  Open(Layout(3, 60, 40, false));
  ASSERT_TRUE(Doc_Unit(2)->clonef);
  ASSERT_TRUE(Unclone(2));
  Add_Symbol(Doc_Unit(2), 7);
  History_Emit(OP_SYMBOL_NEW);
  const std::string unclone = Describe();
  ASSERT_TRUE(Clone(2));
  const std::string cloned = Describe();
  const std::vector<uint8> file = Read_File(Undo_File_Path(g_hist.curr));
  ASSERT_GE(file.size(), 4u);
  uint32 n;
  std::memcpy(&n, file.data(), 4);
  int items_of_2 = 0, items_of_3 = 0;
  for (uint32 i = 0; i < n; ++i) {
    a_ram_item it;
    std::memcpy(&it, file.data() + 4 + i * RAM_ITEM_SIZE, sizeof it);
    items_of_2 += it.unitx == 2;
    items_of_3 += it.unitx == 3;
    if (it.unitx >= 2) {
      EXPECT_EQ(it.field, RAM_UNITD);
    }
  }
  EXPECT_EQ(items_of_2, 1);
  EXPECT_EQ(items_of_3, 1);
  Undo_Button();
  EXPECT_EQ(Describe(), unclone);
  Redo_Button();
  EXPECT_EQ(Describe(), cloned);
  EXPECT_TRUE(Doc_Unit(2)->clonef);
  EXPECT_EQ(Doc_Unit(2)->statics[PAINT1_LAYER].world, nullptr);
}

// A project imported onto another layout replaces layout and units whole:
// undoing it brings the old layout back with its units, and redo the new.
TEST_F(History, AnImportOntoAnotherLayoutUndoesToTheOldLayout) {
  Open(Layout(2, 60, 40, true, "Old sheet"));
  Add_Symbol(Doc_Unit(1), 11);
  Paint(Doc_Unit(2), 3, 4, 0x00ABCDEFu, 128);
  History_Emit(OP_SYMBOL_NEW);
  const std::string old_doc = Describe();
  const a_template old_layout = g_doc.doc_template;

  // The import: three units of other sizes in place of the two.
  const a_template imported = Layout(3, 90, 70, true, "New sheet");
  for (a_doc_unit*& u : g_doc.doc_units) {
    if (u == nullptr) continue;
    Dispose_Unit_Content(u);
    Dispose_Unit_Rec(u);
  }
  std::memcpy(static_cast<void*>(&g_doc.doc_template), &imported, sizeof imported);
  for (uint32 ux = 1; ux <= 3; ++ux) {
    g_doc.doc_units[ux - 1] = New_Unit_Rec();
    Null_Doc_Unit(ux, 1);
    New_Doc_Unit(ux, g_doc.doc_units[ux - 1], 1);
  }
  g_doc.upx = 3;
  g_doc.up = Doc_Unit(3);
  Add_Symbol(Doc_Unit(3), 33);
  History_Emit(OP_IMPORT);
  const std::string new_doc = Describe();

  Undo_Button();
  EXPECT_EQ(Describe(), old_doc);
  EXPECT_EQ(std::memcmp(&g_doc.doc_template, &old_layout, sizeof old_layout), 0);
  EXPECT_EQ(g_doc.doc_units[2], nullptr);
  EXPECT_EQ(Live_Unit_Recs(), 2u);
  EXPECT_EQ(g_doc.upx, 1u);  // unit 3 is gone
  EXPECT_EQ(g_doc.up, Doc_Unit(1));
  Redo_Button();
  EXPECT_EQ(Describe(), new_doc);
  EXPECT_EQ(Live_Unit_Recs(), 3u);
  EXPECT_EQ(Doc_Unit(3)->paintbounds, (Rect{0, 0, 70, 90}));
}

// A state that is not whole or not sound is refused before anything of the
// document changes: each row damages a good state one way.
TEST_F(History, DamagedStatesAreRefusedWithTheDocumentUnchanged) {
  Open(Layout(3, 40, 30, false));
  ASSERT_TRUE(Unclone(3));
  Add_Symbol(Doc_Unit(1), 5);
  Add_Text(Doc_Unit(1), "ab");
  Paint(Doc_Unit(3), 1, 1, 0x00FF0000u, 255);
  History_Emit(OP_PAINT_BRUSH);
  std::vector<uint8> good;
  ASSERT_TRUE(Doc_To_Image(good));
  ASSERT_EQ(Image_Check(good.data(), good.size()), nullptr);
  uint32 n;
  std::memcpy(&n, good.data(), 4);
  const auto rec = [&](std::vector<uint8>& b, uint32 i) { return b.data() + 4 + size_t(i) * RAM_ITEM_SIZE; };
  const auto item = [&](const std::vector<uint8>& b, uint32 i) {
    a_ram_item it;
    std::memcpy(&it, b.data() + 4 + size_t(i) * RAM_ITEM_SIZE, sizeof it);
    return it;
  };
  const auto find = [&](a_ram_field f, uint32 from = 0) {
    for (uint32 i = from; i < n; ++i)
      if (item(good, i).field == f) return i;
    return n;
  };
  const uint32 text_item = [&] {
    for (uint32 i = 0; i < n; ++i) {
      const a_ram_item it = item(good, i);
      if (it.field == RAM_OJ && good[size_t(it.offset) + 1] == TEXT_BLOCK) return i;
    }
    return n;
  }();
  ASSERT_LT(text_item, n);
  const uint32 paint = find(RAM_PAINT1), unitd3 = [&] {
    for (uint32 i = 0; i < n; ++i)
      if (item(good, i).field == RAM_UNITD && item(good, i).unitx == 3) return i;
    return n;
  }();
  ASSERT_LT(paint, n);
  ASSERT_LT(unitd3, n);
  const auto set32 = [](uint8* p, int32 v) { std::memcpy(p, &v, 4); };

  struct Case {
    const char* what;
    std::function<void(std::vector<uint8>&)> damage;
  } const cases[] = {
      {"empty", [](std::vector<uint8>& b) { b.clear(); }},
      {"cut in the records", [&](std::vector<uint8>& b) { b.resize(4 + RAM_ITEM_SIZE * 2); }},
      {"cut in the middle", [&](std::vector<uint8>& b) { b.resize(b.size() / 2); }},
      {"cut by one byte", [](std::vector<uint8>& b) { b.pop_back(); }},
      {"a byte past the end", [](std::vector<uint8>& b) { b.push_back(0); }},
      {"no items", [](std::vector<uint8>& b) { std::memset(b.data(), 0, 4); }},
      {"one item more", [&](std::vector<uint8>& b) { set32(b.data(), int32(n + 1)); }},
      {"one item less", [&](std::vector<uint8>& b) { set32(b.data(), int32(n - 1)); }},
      {"an offset moved", [&](std::vector<uint8>& b) { set32(rec(b, 2) + 14, item(good, 2).offset + 1); }},
      {"a length grown", [&](std::vector<uint8>& b) { set32(rec(b, 2) + 10, int32(item(good, 2).len + 1)); }},
      {"a freed item", [&](std::vector<uint8>& b) { rec(b, 1)[0] = RAM_DEAD; }},
      {"an unknown field", [&](std::vector<uint8>& b) { rec(b, 1)[0] = 9; }},
      {"a unit out of order", [&](std::vector<uint8>& b) { set32(rec(b, 1) + 2, 2); }},
      {"a layout of 251 units", [&](std::vector<uint8>& b) { set32(b.data() + item(good, 0).offset + 44, 251); }},
      {"an object out of its place",
       [&](std::vector<uint8>& b) { set32(rec(b, text_item) + 6, item(good, text_item).subx + 1); }},
      {"an object of kind 7", [&](std::vector<uint8>& b) { b[size_t(item(good, text_item).offset) + 1] = 7; }},
      {"a text of 5000 characters",
       [&](std::vector<uint8>& b) {
         set32(b.data() + item(good, text_item).offset + 10 + offsetof(a_om_rec, nxyl), 5000);
       }},
      {"a text layout of 10",
       [&](std::vector<uint8>& b) { b[size_t(item(good, text_item).offset) + 10 + offsetof(a_om_rec, layout)] = 10; }},
      {"unit 1 a clone", [&](std::vector<uint8>& b) { b[size_t(item(good, 1).offset) + 8] = 1; }},
      {"a unit's canvas of another size",
       [&](std::vector<uint8>& b) { b[size_t(item(good, unitd3).offset) + 6] ^= 1; }},
      {"a paint layer's byte count",
       [&](std::vector<uint8>& b) { set32(b.data() + item(good, paint).offset + 14, 12); }},
      {"a paint layer of 8 bits", [&](std::vector<uint8>& b) { b[size_t(item(good, paint).offset) + 8] = 8; }},
  };
  // Something else in the document, so that a refusal that touched it shows.
  Doc_Unit(1)->canv.cv.canvas_darkness = 77;
  Add_Symbol(Doc_Unit(3), 6);
  const std::string before = Describe();
  const uint32 units_before = Live_Unit_Recs();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8> bad = good;
    c.damage(bad);
    EXPECT_NE(Image_Check(bad.data(), bad.size()), nullptr);
    const char* why = nullptr;
    EXPECT_FALSE(Image_To_Doc(bad.data(), bad.size(), why));
    EXPECT_NE(why, nullptr);
    EXPECT_EQ(Describe(), before);
    EXPECT_EQ(Live_Unit_Recs(), units_before);
  }
  // The good state still goes back.
  const char* why = nullptr;
  EXPECT_TRUE(Image_To_Doc(good.data(), good.size(), why));
  EXPECT_EQ(Doc_Unit(1)->canv.cv.canvas_darkness, 50);
}

// An undo file cut short or altered on disk is refused: sound 136 and alert
// 79 with the reason, the document and the current state unchanged; put
// right again, it restores.
TEST_F(History, ACutOrAlteredUndoFileIsRefused) {
  Open(Layout(1, 60, 40));
  Paint(Doc_Unit(1), 3, 4, 0x00123456u, 255);
  History_Emit(OP_PAINT_BRUSH);
  const std::string painted = Describe();
  const int32 painted_slot = g_hist.curr;
  Step(60);
  const std::string later = Describe();
  const std::string path = Undo_File_Path(painted_slot);
  const std::vector<uint8> good = Read_File(path);
  ASSERT_FALSE(good.empty());
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8>&)> damage;
  } const cases[] = {
      {"cut short", [](std::vector<uint8>& b) { b.resize(b.size() - 100); }},
      {"a pixel altered", [](std::vector<uint8>& b) { b[b.size() - 2000] ^= 0x40; }},
      {"its count altered", [](std::vector<uint8>& b) { b[0] ^= 1; }},
      {"removed", [](std::vector<uint8>& b) { b.clear(); }},
  };
  gs.controller = HUMAN;
  soundtest::SoundRecorder sounds;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8> bad = good;
    c.damage(bad);
    if (bad.empty())
      std::remove(path.c_str());
    else
      Write_File(path, bad);
    sounds.Clear();
    testing::internal::CaptureStderr();
    Undo_Button();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("alert 79"), std::string::npos) << err;
    EXPECT_NE(err.find("undo file"), std::string::npos) << err;
    EXPECT_EQ(sounds.Ids(), (std::vector<int16>{SND_UNDO, SND_NULL}));
    EXPECT_EQ(Describe(), later);
    EXPECT_EQ(g_hist.curr, Modulo(painted_slot + 1));
  }
  Write_File(path, good);
  gs.controller = GHOST;
  Undo_Button();
  EXPECT_EQ(Describe(), painted);
}

// A step whose file cannot be written keeps what the user did: the older
// steps are dropped, and with none left the history starts again at the
// current state, saying so once. Steps are kept again once files can be
// written, the state the history started at included.
TEST_F(History, AStepThatCannotBeKeptRestartsTheHistory) {
  Open(Layout(1, 60, 40));
  Step(1);
  Step(2);
  ASSERT_EQ(History_Count(), 3);
  gs.controller = HUMAN;
  Host_Fail_Writes_After(0);
  testing::internal::CaptureStderr();
  Step(3);
  Step(4);
  const std::string err = testing::internal::GetCapturedStderr();
  Host_Fail_Writes_After(-1);
  EXPECT_NE(err.find("alert 80"), std::string::npos) << err;
  EXPECT_EQ(err.find("alert 80"), err.rfind("alert 80")) << "said once: " << err;
  EXPECT_EQ(Value(), 4);
  EXPECT_EQ(History_Count(), 1);
  int32 undo, redo;
  Calc_Undo_Avail(undo, redo);
  EXPECT_EQ(undo, -1);
  // Files can be written again: the state held in memory is written with
  // the next step, and both can be gone back to.
  gs.controller = GHOST;
  Step(5);
  EXPECT_EQ(History_Count(), 2);
  Undo_Button();
  EXPECT_EQ(Value(), 4);
  Redo_Button();
  EXPECT_EQ(Value(), 5);
}

// The history panel's rows: 30 pixels each from 24 below the top, from the
// oldest state; nothing outside them.
TEST_F(History, ThePanelsRowsFindTheirStates) {
  Open(Layout(1, 60, 40));
  for (int16 v = 1; v <= 3; ++v) Step(v);
  const Rect box{100, 10, 500, 210};
  EXPECT_EQ(History_Find(box, Point{124, 50}), g_hist.lo);
  EXPECT_EQ(History_Find(box, Point{153, 50}), g_hist.lo);
  EXPECT_EQ(History_Find(box, Point{154, 50}), Modulo(g_hist.lo + 1));
  EXPECT_EQ(History_Find(box, Point{124 + 3 * 30 + 29, 209}), Modulo(g_hist.lo + 3));
  EXPECT_EQ(History_Find(box, Point{124 + 4 * 30, 50}), -1);
  EXPECT_EQ(History_Find(box, Point{123, 50}), -1);
  EXPECT_EQ(History_Find(box, Point{130, 10}), -1);
  EXPECT_EQ(History_Find(box, Point{130, 210}), -1);
}

// The panel paints a row per state from the oldest: the current one on its
// highlight strip in dark blue, the redo states in grey, the others black.
TEST_F(History, ThePanelPaintsTheRowsByTheirPlace) {
  if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
  Fonts_Init();
  gs.font_14pt = a_fontspec{BASE_PROP_FONT, 14, 0, 1, 1, 0, 0, 0};
  Open(Layout(1, 60, 40));
  Step(1);
  Step(2);
  Undo_Silent();  // the middle row is current, the last a redo state
  const Rect box{0, 0, 160, 200};
  GWorldPtr w = nullptr;
  New_GWorldF("panel", box, 32, nullptr, w);
  ASSERT_NE(w, nullptr);
  Push_GWorld(w);
  History_Paint(box);
  Pop_GWorld();
  const auto rgb = [&](int x, int y) { return *Px(w, x, y) & 0xFFFFFFu; };
  const auto row_has = [&](int row, uint32 colour) {
    for (int y = 24 + 30 * row; y < 24 + 30 * row + 30; ++y)
      for (int x = 20; x < 200; ++x)
        if (rgb(x, y) == colour) return true;
    return false;
  };
  const uint32 strip = 214u << 16 | 224u << 8 | 240u;
  EXPECT_EQ(rgb(3, 24 + 30 + 2), strip);
  EXPECT_NE(rgb(3, 24 + 2), strip);
  EXPECT_NE(rgb(3, 24 + 60 + 2), strip);
  EXPECT_TRUE(row_has(0, 0));                            // "Start" in black
  EXPECT_TRUE(row_has(1, 29u << 16 | 51u << 8 | 85u));   // the current state
  EXPECT_TRUE(row_has(2, 70u << 16 | 70u << 8 | 70u));   // the redo state
  EXPECT_FALSE(row_has(3, 0));                           // no fourth row
  Dispose_GWorld(w);
  Fonts_Stop();
}

// The undo files live in an owner-only folder of the run, which quitting
// removes.
TEST_F(History, UndoFilesLiveInAnOwnerOnlyFolderThatQuittingRemoves) {
  Open(Layout(1, 60, 40));
  Step(1);
  const std::string folder = Undo_Folder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.rfind(tmp_ + "/", 0), 0u) << folder;
  struct stat st;
  ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(st.st_uid, ::getuid());
  for (int32 slot : {0, 1}) EXPECT_TRUE(Host_Is_File(Undo_File_Path(slot).c_str())) << slot;
  ASSERT_EQ(::stat(Undo_File_Path(0).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0077, 0u);
  // A new document's history removes the old one's files.
  Step(2);
  History_Base();
  EXPECT_FALSE(Host_Exists(Undo_File_Path(2).c_str()));
  History_Stop();
  EXPECT_FALSE(Host_Exists(folder.c_str()));
}

// At start, the folders of this user's runs that ended are removed; a live
// run's, another name, a link and a young folder without its run file stay.
TEST_F(History, ADeadRunsFolderIsRemovedAtTheNextStart) {
  const std::string prefix = tmp_ + "/velmor4-undo-" + std::to_string(unsigned(::getuid())) + "-";
  const auto make = [&](const std::string& dir, long pid) {
    EXPECT_EQ(::mkdir(dir.c_str(), 0700), 0) << dir;
    if (pid != 0) testdir::Write_Text(dir + "/RUN", std::to_string(pid));
    testdir::Write_Text(dir + "/UNDO_0", "state");
  };
  // A process that has ended.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  make(prefix + "dead01", long(child));
  make(prefix + "stale1", 0);
  struct timeval old_times[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
  ASSERT_EQ(::utimes((prefix + "stale1").c_str(), old_times), 0);
  make(prefix + "young1", 0);
  make(prefix + "alive1", long(::getpid()));
  const int held = Host_Open((prefix + "alive1/RUN").c_str(), HOST_READ | HOST_WRITE, HOST_OPEN_EXISTING);
  ASSERT_NE(held, HOST_NO_FD);
  make(tmp_ + "/other-undo-1", long(child));
  ASSERT_EQ(::symlink((tmp_ + "/other-undo-1").c_str(), (prefix + "link01").c_str()), 0);

  EXPECT_EQ(Undo_Sweep_Dead_Runs(), 2);
  EXPECT_FALSE(Host_Exists((prefix + "dead01").c_str()));
  EXPECT_FALSE(Host_Exists((prefix + "stale1").c_str()));
  EXPECT_TRUE(Host_Exists((prefix + "young1/UNDO_0").c_str()));
  EXPECT_TRUE(Host_Exists((prefix + "alive1/UNDO_0").c_str()));
  EXPECT_TRUE(Host_Exists((tmp_ + "/other-undo-1/UNDO_0").c_str()));
  // Once its run has ended, the live one goes too.
  Host_Close(held);
  EXPECT_EQ(Undo_Sweep_Dead_Runs(), 1);
  EXPECT_FALSE(Host_Exists((prefix + "alive1").c_str()));
  // This run's own folder is never taken.
  Open(Layout(1, 60, 40));
  const std::string mine = Undo_Folder();
  EXPECT_EQ(Undo_Sweep_Dead_Runs(), 0);
  EXPECT_TRUE(Host_Exists(Undo_File_Path(0).c_str())) << mine;
}

}  // namespace
