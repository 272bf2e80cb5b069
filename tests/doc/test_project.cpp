// Project files: the hand-made fixture read field by field, our writer's
// output against it chunk for chunk, write-read-write identity with paint
// and a pasted picture, damaged copies refused with the open document kept,
// saves that fail half-way or cannot start, the font question, pictures
// found again beside the project, and the preview.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "FontTestSupport.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFile.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "host/HostFiles.h"
#include "doc/VoskRend.h"
#include "objects/VoskBlok.h"
#include "objects/VoskMove.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/OPUtil.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskDisp.h"

namespace {

using Bytes = std::vector<uint8>;

// The fixture's text: hex digits, "XX*N" for N bytes XX, "#" comments.
Bytes Hex_Fixture(const std::string& path) {
  std::ifstream in(path);
  Bytes out;
  std::string line;
  while (std::getline(in, line)) {
    line = line.substr(0, line.find('#'));
    std::string tok;
    for (size_t i = 0; i <= line.size(); ++i) {
      if (i < line.size() && !std::isspace(uint8(line[i]))) {
        tok += line[i];
        continue;
      }
      if (tok.empty()) continue;
      const size_t star = tok.find('*');
      if (star != std::string::npos) {
        const uint8 b = uint8(std::stoul(tok.substr(0, star), nullptr, 16));
        out.insert(out.end(), std::stoul(tok.substr(star + 1)), b);
      } else {
        for (size_t k = 0; k + 1 < tok.size(); k += 2) out.push_back(uint8(std::stoul(tok.substr(k, 2), nullptr, 16)));
      }
      tok.clear();
    }
  }
  return out;
}

uint32 BE32(const Bytes& b, size_t at) {
  return uint32(b[at]) << 24 | uint32(b[at + 1]) << 16 | uint32(b[at + 2]) << 8 | b[at + 3];
}
void Put16(Bytes& b, size_t at, uint16 v) {
  b[at] = uint8(v >> 8);
  b[at + 1] = uint8(v);
}
void Put32(Bytes& b, size_t at, uint32 v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8(v >> (24 - 8 * i));
}

struct Chunk {
  std::string label;
  int32 id;
  size_t at;  // of the body in the file
  Bytes body;
};

std::vector<Chunk> Split(const Bytes& f) {
  std::vector<Chunk> out;
  size_t pos = 4;
  while (pos + 12 <= f.size()) {
    Chunk c{std::string(f.begin() + long(pos), f.begin() + long(pos) + 4), int32(BE32(f, pos + 4)), pos + 12, {}};
    const size_t len = BE32(f, pos + 8);
    if (c.at + len > f.size()) break;
    c.body.assign(f.begin() + long(c.at), f.begin() + long(c.at + len));
    out.push_back(c);
    pos = c.at + len;
  }
  return out;
}

// Offset in the file of byte off of the body of chunk (label, id).
size_t At(const Bytes& f, const char* label, int32 id, size_t off) {
  for (const Chunk& c : Split(f))
    if (c.label == label && c.id == id) return c.at + off;
  ADD_FAILURE() << "no chunk " << label << " " << id;
  return 0;
}

Bytes Read_All(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void Write_All(const std::string& path, const Bytes& b) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

FSSpec Spec(const std::string& path) {
  FSSpec p{};
  EXPECT_TRUE(Path_From_Text(p, path.c_str()));
  return p;
}

std::vector<std::string> Folder(const std::string& dir) {
  std::vector<std::string> names;
  Host_List_Dir(dir.c_str(), names);
  std::sort(names.begin(), names.end());
  return names;
}

uint32 g_asked = 0;
std::u16string g_asked_name;
Rect g_asked_sample{};
uint32 g_answer = 0;
uint32 Answer_Font(const PixMap& sample, CUStrSpan name) {
  ++g_asked;
  g_asked_name.assign(name.data());
  g_asked_sample = sample.bounds;
  return g_answer;
}

class ProjectFiles : public ::testing::Test {
 protected:
  std::string dir_;
  Bytes fixture_;
  uint32 dejavu_ = 0;

  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    Fonts_Stop();
    Fonts_Init();
    doctests::Start_Document_Modules();
    gs.controller = GHOST;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    Cache_Clear();
    Reset_Next_SID();
    g_ask_font_remap_proc = nullptr;
    dir_ = testdir::Make_Temp_Dir("velmor-project");
    ASSERT_FALSE(dir_.empty());
    fixture_ = Hex_Fixture(Fixture_Path("project/labels.hex"));
    ASSERT_GT(fixture_.size(), 4000u);
    const std::u16string dv = u"DejaVu Sans";
    dejavu_ = Name_To_FontX(CUStrSpan(dv.c_str(), dv.size() + 1));
  }
  void TearDown() override {
    Host_Fail_Writes_After(-1);
    g_ask_font_remap_proc = nullptr;
    doctests::Close_Document();
    EXPECT_EQ(Live_Unit_Recs(), 0u);
    if (!dir_.empty()) {
      ::chmod(dir_.c_str(), 0700);
      testdir::Remove_Dir(dir_);
    }
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  // Opens the bytes as a project file named name, as the File menu does.
  bool Open(const Bytes& bytes, const std::string& name = "labels.CD4") {
    Write_All(Path(name), bytes);
    Do_File_Open3(false, Spec(Path(name)));
    return g_doc.doc_open && std::strcmp(g_doc.doc_path.name, Path(name).c_str()) == 0;
  }
  Bytes Save(const std::string& name) {
    EXPECT_EQ(Write_DISC(Spec(Path(name))), DISC_WRITE_OK) << Write_DISC_Reason();
    return Read_All(Path(name));
  }
};

// A medium saved without a name is new to the preferences, so it takes slot
// 2 with its settings, but the slot keeps its name: its button never shows
// an empty label.
TEST_F(ProjectFiles, UnnamedMediumKeepsTheSlotsName) {
  const auto set_name = [](int16 i, const std::u16string& text) {
    uStr63 name{};
    std::copy(text.begin(), text.end(), name);
    std::memcpy(gs.pref.print_media[CD_DIRECT].list[i].label, name, sizeof name);
  };
  const auto name_of = [](int16 i) {
    uStr63 name;
    std::memcpy(name, gs.pref.print_media[CD_DIRECT].list[i].label, sizeof name);
    name[63] = 0;
    return std::u16string(name);
  };
  ASSERT_TRUE(Open(fixture_));
  ASSERT_EQ(g_doc.doc_mediax, 2);
  set_name(2, u"");
  const Bytes unnamed = Save("unnamed.CD4");
  set_name(0, u"Hub printable");
  set_name(1, u"Standard");
  set_name(2, u"Custom");
  gs.pref.print_media[CD_DIRECT].list[2].nudge = Point{0, 0};
  ASSERT_TRUE(Open(unnamed, "reopened.CD4"));
  EXPECT_EQ(g_doc.doc_mediax, 2);
  EXPECT_EQ(name_of(2), u"Custom");
  const Point nudge = gs.pref.print_media[CD_DIRECT].list[2].nudge;
  EXPECT_EQ(nudge, (Point{-2, 3})) << "the settings come from the file";
}

// The fixture names DejaVu Sans by the id the pinned font list gives it.
TEST_F(ProjectFiles, FixtureReadsEveryField) {
  ASSERT_TRUE(Open(fixture_)) << "defects " << defects;
  EXPECT_EQ(defects, 0u);
  const a_template& t = g_doc.doc_template;
  EXPECT_STREQ(t.label, "CD labels");
  EXPECT_EQ(t.tflags, 1u);
  EXPECT_EQ(t.papersize.x, 130.0f);
  EXPECT_EQ(t.nunits, 2u);
  for (uint32 i = 0; i < 2; ++i) {
    EXPECT_EQ(t.units[i].kind, UNIT_CD);
    EXPECT_EQ(t.units[i].bbox.right, 125.0f);
  }
  const a_doc_unit* u1 = Doc_Unit(1);
  const a_doc_unit* u2 = Doc_Unit(2);
  ASSERT_NE(u1, nullptr);
  ASSERT_NE(u2, nullptr);
  EXPECT_FALSE(u1->clonef);
  EXPECT_TRUE(u2->clonef);
  EXPECT_EQ(u2->groupx, 2u);
  EXPECT_EQ(u1->paintbounds, (Rect{0, 0, 1200, 1200}));
  EXPECT_FALSE(u1->paintinuse);
  EXPECT_EQ(u1->ruler_origin.v, 500);
  EXPECT_EQ(u1->ruler_origin.h, 400);
  EXPECT_EQ(u1->edit_focus.h, 620);
  EXPECT_EQ(u1->canv.cv.canvas_nrot, 1u);
  EXPECT_EQ(u1->canv.cv.canvas_angle, 15);
  EXPECT_EQ(u1->canv.cv.canvas_color_dist, 5);
  EXPECT_TRUE(u1->canv.cv.canvas_flipx);
  // Direct printing: the medium "Glossy" is new, so it takes slot 2.
  EXPECT_EQ(g_doc.doc_mediax, 2);
  a_print_media_spec m;  // packed in the preferences: copied out whole
  std::memcpy(&m, &gs.pref.print_media[CD_DIRECT].list[2], sizeof m);
  uStr63 media_label;
  std::memcpy(media_label, m.label, sizeof media_label);
  EXPECT_EQ(std::u16string(media_label), u"Glossy");
  const Point nudge = m.nudge;
  EXPECT_EQ(nudge.h, 3);
  EXPECT_EQ(nudge.v, -2);
  int16 adj[NMEDIA_ADJ];
  std::memcpy(adj, m.adj, sizeof adj);
  EXPECT_EQ(adj[4], 5);

  const a_oj_master& oj = u1->oj;
  ASSERT_EQ(oj.nlist, 4);
  EXPECT_EQ(oj.list[0].kind, PAINT_BLOCK);
  ASSERT_EQ(oj.list[1].kind, PHOTO_BLOCK);
  const a_ph_rec& lib = *oj.list[1].ph;
  EXPECT_EQ(lib.spec.source.kind, SOURCE_DATABASE);
  EXPECT_EQ(lib.spec.source.key.b, 5);
  EXPECT_EQ(lib.spec.source.key.d, 7);
  EXPECT_EQ(lib.spec.subset, (Rect{0, 0, 300, 400}));
  EXPECT_EQ(lib.dst_box, (Rect{150, 200, 450, 600}));
  EXPECT_TRUE(lib.spec.constrainf);
  EXPECT_EQ(lib.spec.edge_bord_color.r, 255);
  const a_ph_rec& file = *oj.list[2].ph;
  EXPECT_EQ(oj.list[2].flags, OJ_Flag_Bit(SELECTED_FLAG) | OJ_Flag_Bit(VISIBLE_FLAG));
  EXPECT_EQ(file.spec.source.kind, SOURCE_EXTFILE);
  EXPECT_STREQ(file.spec.source.path.name, "/nowhere/tiny.png");
  EXPECT_EQ(file.codec, FourCC("PNGf"));
  EXPECT_EQ(file.dst_center.v, 700);
  // The embedded PNG is in the picture cache under the photo's id.
  int32 ix = 0;
  ASSERT_TRUE(Find_Basis(file.spec.source.sid, ix));
  const a_cache_item* e = Cache_Entry(ix);
  ASSERT_NE(e->c.body.fore, nullptr);
  EXPECT_EQ(e->c.body.bounds, (Rect{0, 0, 1, 1}));
  const a_win_pixel32 px = *reinterpret_cast<const a_win_pixel32*>(e->c.body.fore->pix.baseAddr);
  EXPECT_EQ(px.r, 255);
  EXPECT_EQ(px.g, 0);
  EXPECT_GT(Handle_GetSize(e->c.raw), 60u);

  ASSERT_EQ(oj.list[3].kind, TEXT_BLOCK);
  const a_om_rec& om = *oj.list[3].om;
  EXPECT_EQ(om.fontx, dejavu_);
  EXPECT_TRUE(om.boldf);
  EXPECT_TRUE(om.shadf);
  EXPECT_EQ(om.justify, JUST_CENTER);
  EXPECT_EQ(om.size, 24);
  EXPECT_EQ(om.targwidth, 300);
  EXPECT_EQ(om.base_color.r, 0x10);
  EXPECT_EQ(om.base_color.b, 0x30);
  ASSERT_EQ(om.nxyl, 3);
  EXPECT_EQ(om.xyl[0].cc_char, u'H');
  EXPECT_EQ(om.xyl[1].cc_char, u'i');
  EXPECT_EQ(om.xyl[2].cc_char, EOS_CHAR);
  EXPECT_EQ(om.xyl[2].mm_cat, CC_EOS);
  EXPECT_EQ(om.cache.frame.max, MAX_OM_POINTS);
}

// Our writer gives the fixture back chunk for chunk; the pictures it draws
// itself (preview, font samples) are compared by their headers.
TEST_F(ProjectFiles, WriterMatchesFixtureChunkForChunk) {
  ASSERT_TRUE(Open(fixture_));
  const Bytes mine = Save("again.CD4");
  ASSERT_GE(mine.size(), 4u);
  EXPECT_TRUE(std::equal(mine.begin(), mine.begin() + 4, fixture_.begin()));
  const std::vector<Chunk> want = Split(fixture_), got = Split(mine);
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(want[i].label + " " + std::to_string(want[i].id));
    EXPECT_EQ(got[i].label, want[i].label);
    EXPECT_EQ(got[i].id, want[i].id);
    if (want[i].label == "PREV") {
      // Version, depth 32, and the whole fitted page 140 x 190 at most as subset.
      const Bytes& b = got[i].body;
      ASSERT_GE(b.size(), 22u);
      EXPECT_EQ(BE32(b, 0), 0x00020000u);
      EXPECT_TRUE(std::equal(b.begin() + 4, b.begin() + 12, b.begin() + 12));
      EXPECT_EQ(b[20] << 8 | b[21], 32);
      const int w = (b[10] << 8 | b[11]) - (b[6] << 8 | b[7]), h = (b[8] << 8 | b[9]) - (b[4] << 8 | b[5]);
      EXPECT_TRUE((w == 140 && h <= 190) || (h == 190 && w <= 140)) << w << " x " << h;
      EXPECT_EQ(b.size(), 22u + size_t(w) * h * 4);
    } else if (want[i].label == "FONX") {
      EXPECT_EQ(got[i].body.size(), want[i].body.size());
      EXPECT_TRUE(std::equal(want[i].body.begin(), want[i].body.begin() + 22, got[i].body.begin()));
      // The font's name is drawn dark on white.
      const long dark = std::count_if(got[i].body.begin() + 22, got[i].body.end(), [](uint8 v) { return v < 100; });
      EXPECT_GT(dark, 40);
      EXPECT_GT(std::count(got[i].body.begin() + 22, got[i].body.end(), uint8(255)), 2000);
    } else {
      EXPECT_EQ(got[i].body, want[i].body);
    }
  }
}

// Write, read, write: the same bytes, with paint on the layer and a pasted
// picture embedded once for two photos.
TEST_F(ProjectFiles, WriteReadWriteGivesTheSameBytes) {
  ASSERT_TRUE(Open(fixture_));
  a_doc_unit* u = Doc_Unit(1);
  Sync_Existence(true, u, PAINT1_LAYER);
  u->paintinuse = true;
  const PixMap& img = u->statics[PAINT1_LAYER].world->pix;
  const PixMap& msk = u->statics[PAINT1_LAYER].mask->pix;
  reinterpret_cast<uint32*>(img.baseAddr + 40 * PixMap_RowBytes(img))[30] = 0xFF112233u;
  reinterpret_cast<uint8*>(msk.baseAddr + 40 * PixMap_RowBytes(msk))[30] = 200;
  reinterpret_cast<uint8*>(msk.baseAddr + 44 * PixMap_RowBytes(msk))[35] = 255;
  a_masked_gworld mw;
  Null_MW(mw);
  mw.bounds = Rect{0, 0, 3, 5};
  ASSERT_EQ(New_GWorld(mw.bounds, 32, nullptr, mw.fore), noErr);
  ASSERT_EQ(New_GWorld(mw.bounds, 8, gray_ctable, mw.mask), noErr);
  reinterpret_cast<uint32*>(mw.fore->pix.baseAddr)[4] = 0xFF00FF00u;
  std::memset(mw.mask->pix.baseAddr, 255, 5);
  a_source_desc src{};
  src.kind = SOURCE_CLIPBOARD;
  ASSERT_TRUE(Cache_Insert_External(src, mw, nullptr));
  for (int k = 0; k < 2; ++k) {
    a_ph_rec* ph = New_PH_Rec();
    *ph = *u->oj.list[1].ph;
    ph->spec.source = src;
    ph->spec.subset = Rect{0, 0, 3, 5};
    Obj_Append(u->oj, PHOTO_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), ph, nullptr);
  }
  const Bytes a = Save("a.CD4");
  int clips = 0;
  for (const Chunk& c : Split(a)) clips += c.label == "CLIP";
  EXPECT_EQ(clips, 1);
  Cache_Clear();
  Reset_Next_SID();
  ASSERT_TRUE(Open(a, "a.CD4"));
  const Bytes b = Save("b.CD4");
  EXPECT_EQ(a, b);
  // The paint came back with its mask, the pasted picture with its pixels.
  u = Doc_Unit(1);
  ASSERT_TRUE(u->paintinuse);
  const PixMap& img2 = u->statics[PAINT1_LAYER].world->pix;
  const PixMap& msk2 = u->statics[PAINT1_LAYER].mask->pix;
  EXPECT_EQ(reinterpret_cast<uint32*>(img2.baseAddr + 40 * PixMap_RowBytes(img2))[30], 0xFF112233u);
  EXPECT_EQ(reinterpret_cast<uint8*>(msk2.baseAddr + 40 * PixMap_RowBytes(msk2))[30], 200);
  EXPECT_EQ(reinterpret_cast<uint8*>(msk2.baseAddr + 44 * PixMap_RowBytes(msk2))[35], 255);
  EXPECT_EQ(reinterpret_cast<uint8*>(msk2.baseAddr + 41 * PixMap_RowBytes(msk2))[31], 0);
  ASSERT_EQ(u->oj.nlist, 6);
  const uint16 sid = u->oj.list[4].ph->spec.source.sid;
  EXPECT_EQ(u->oj.list[5].ph->spec.source.sid, sid);
  int32 ix = 0;
  ASSERT_TRUE(Find_Basis(sid, ix));
  EXPECT_EQ(reinterpret_cast<uint32*>(Cache_Entry(ix)->c.body.fore->pix.baseAddr)[4], 0xFF00FF00u);
}

// Unit 1 of the fixture with one object of every kind over its paint layer,
// in the order given by kinds (the paint layer where PAINT_BLOCK stands):
// the library photo, a symbol and an empty collage slot made from it, the
// text. The file photo goes.
void Stack_Unit1(const std::vector<a_oj_kind>& kinds) {
  a_oj_master& oj = Doc_Unit(1)->oj;
  ASSERT_EQ(oj.nlist, 4);
  a_oj_item lib = oj.list[1], text = oj.list[3];
  Dispose_Obj1(oj.list[2]);
  a_oj_item symbol = lib, slot = lib;
  symbol.kind = SYMBOL_BLOCK;
  symbol.ph = New_PH_Rec();
  *symbol.ph = *lib.ph;
  slot.kind = SLOT_BLOCK;
  slot.ph = New_PH_Rec();
  *slot.ph = *lib.ph;
  slot.ph->spec.source = a_source_desc{};
  slot.ph->spec.source.kind = SOURCE_EMPTYSLOT;
  const a_oj_item paint = oj.list[0];
  oj.nlist = 0;
  for (a_oj_kind k : kinds)
    oj.list[oj.nlist++] = k == PAINT_BLOCK ? paint : k == PHOTO_BLOCK ? lib : k == SYMBOL_BLOCK ? symbol
                                                 : k == SLOT_BLOCK    ? slot
                                                                      : text;
  ++oj.seq;
}

std::vector<a_oj_kind> Kinds_Of_Unit1() {
  std::vector<a_oj_kind> kinds;
  const a_oj_master& oj = Doc_Unit(1)->oj;
  for (int32 i = 0; i < oj.nlist; ++i) kinds.push_back(a_oj_kind(oj.list[i].kind));
  return kinds;
}

// Every order the layer bar and the arrange commands can give (the paint
// layer at the bottom, the others in any order) is written and read back as
// it was, byte for byte when written again.
TEST_F(ProjectFiles, EveryLayerOrderReadsBack) {
  std::vector<a_oj_kind> others{PHOTO_BLOCK, SYMBOL_BLOCK, SLOT_BLOCK, TEXT_BLOCK};
  int orders = 0;
  do {
    std::vector<a_oj_kind> kinds{PAINT_BLOCK};
    kinds.insert(kinds.end(), others.begin(), others.end());
    SCOPED_TRACE(::testing::PrintToString(kinds));
    ASSERT_TRUE(Open(fixture_));
    Stack_Unit1(kinds);
    const Bytes a = Save("order.CD4");
    ASSERT_TRUE(Open(a, "order.CD4")) << "defects " << defects;
    EXPECT_EQ(Kinds_Of_Unit1(), kinds);
    EXPECT_EQ(Save("again.CD4"), a);
    ++orders;
  } while (std::next_permutation(others.begin(), others.end()));
  EXPECT_EQ(orders, 24);
}

// A project saved with its paint layer above other objects (as the layer
// bar once let it) opens with the paint layer back at the bottom, every
// object kept in its order otherwise, and the program says so once: the
// file is then what the same objects with the paint layer at the bottom
// give.
TEST_F(ProjectFiles, PaintLayerSavedAboveObjectsIsPutBackAtTheBottom) {
  const std::vector<a_oj_kind> others{TEXT_BLOCK, PHOTO_BLOCK, SLOT_BLOCK, SYMBOL_BLOCK};
  std::vector<a_oj_kind> right{PAINT_BLOCK};
  right.insert(right.end(), others.begin(), others.end());
  ASSERT_TRUE(Open(fixture_));
  Stack_Unit1(right);
  const Bytes expected = Save("right.CD4");
  for (size_t at = 1; at <= others.size(); ++at) {
    std::vector<a_oj_kind> kinds = others;
    kinds.insert(kinds.begin() + std::ptrdiff_t(at), PAINT_BLOCK);
    SCOPED_TRACE(::testing::PrintToString(kinds));
    ASSERT_TRUE(Open(fixture_));
    Stack_Unit1(kinds);
    const Bytes wrong = Save("wrong.CD4");
    gs.controller = HUMAN;
    testing::internal::CaptureStderr();
    const bool opened = Open(wrong, "wrong.CD4");
    const std::string err = testing::internal::GetCapturedStderr();
    gs.controller = GHOST;
    ASSERT_TRUE(opened) << "defects " << defects;
    EXPECT_EQ(Kinds_Of_Unit1(), right);
    size_t said = 0;
    for (size_t p = err.find("alert 96:"); p != std::string::npos; p = err.find("alert 96:", p + 1)) ++said;
    EXPECT_EQ(said, 1u) << err;
    EXPECT_EQ(Save("repaired.CD4"), expected);
  }
  // A file in order says nothing.
  gs.controller = HUMAN;
  testing::internal::CaptureStderr();
  EXPECT_TRUE(Open(expected, "right.CD4"));
  const std::string quiet = testing::internal::GetCapturedStderr();
  gs.controller = GHOST;
  EXPECT_EQ(quiet.find("alert 96"), std::string::npos) << quiet;
}

// One row per damaged copy: where the fixture is changed, and the defect.
struct Damage {
  const char* what;
  std::function<void(Bytes&)> change;
  a_defect defect;
};

Bytes Without_Chunk(const Bytes& f, const char* label, int32 id) {
  Bytes out(f.begin(), f.begin() + 4);
  for (const Chunk& c : Split(f)) {
    if (c.label == label && c.id == id) continue;
    const size_t head = c.at - 12;
    out.insert(out.end(), f.begin() + long(head), f.begin() + long(c.at + c.body.size()));
  }
  return out;
}

void Put_Real(Bytes& f, size_t at, float v) {
  uint32 bits;
  std::memcpy(&bits, &v, 4);
  Put32(f, at, bits);
}

// Offsets inside the fixture's "OBJT" 1: the library photo's record starts
// at 10, the file photo's at 108, the text's at 222.
constexpr size_t kLibPhoto = 10, kFilePhoto = 108, kText = 222;

std::vector<Damage> Damages() {
  const auto tmpl = [](size_t off, std::function<void(Bytes&, size_t)> f) {
    return [off, f](Bytes& b) { f(b, At(b, "TMPL", 1, off)); };
  };
  const auto objt = [](size_t off, std::function<void(Bytes&, size_t)> f) {
    return [off, f](Bytes& b) { f(b, At(b, "OBJT", 1, off)); };
  };
  const auto set16 = [](uint16 v) { return [v](Bytes& b, size_t at) { Put16(b, at, v); }; };
  const auto set32 = [](uint32 v) { return [v](Bytes& b, size_t at) { Put32(b, at, v); }; };
  const auto real = [](float v) { return [v](Bytes& b, size_t at) { Put_Real(b, at, v); }; };
  const size_t xyl = kText + 2 + 8 + 4 + 4 + 6 + 2 + 4 + 50 + 16;  // nxyl
  return {
      {"signature", [](Bytes& b) { b[0] = 0xCC; }, DEFECT_FILE_SIGNATURE},
      {"preamble version 7", [](Bytes& b) { b[3] = 7; }, DEFECT_FILE_VERSION},
      {"preamble version 9", [](Bytes& b) { b[3] = 9; }, DEFECT_FILE_VERSION},
      {"no preamble version", [](Bytes& b) { b.resize(3); }, DEFECT_FILE_VERSION},
      {"template version 2", tmpl(0, set16(2)), DEFECT_TMPL_VERSION},
      {"paper 49.9 mm", tmpl(44, real(49.9f)), DEFECT_TMPL_VERSION},
      {"paper 1000.1 mm", tmpl(48, real(1000.1f)), DEFECT_TMPL_VERSION},
      {"paper NaN mm", tmpl(44, real(std::numeric_limits<float>::quiet_NaN())), DEFECT_TMPL_VERSION},
      {"251 units", tmpl(52, set32(251)), DEFECT_TMPL_VERSION},
      {"0 units", tmpl(52, set32(0)), DEFECT_TMPL_VERSION},
      {"unit kind 70", [](Bytes& b) { b[At(b, "TMPL", 1, 56)] = 70; }, DEFECT_TMPL_VERSION},
      {"unit bbox inverted", tmpl(56 + 7 + 8, real(-5.0f)), DEFECT_TMPL_VERSION},
      {"unit bleed infinite", tmpl(56 + 23, real(std::numeric_limits<float>::infinity())), DEFECT_TMPL_VERSION},
      {"no template", [](Bytes& b) { b = Without_Chunk(b, "TMPL", 1); }, DEFECT_TMPL_MISSING},
      {"font table version 2", [](Bytes& b) { Put16(b, At(b, "FONT", 1, 0), 2); }, DEFECT_FONTTABLE_VERSION},
      {"401 fonts", [](Bytes& b) { Put32(b, At(b, "FONT", 1, 2), 401); }, DEFECT_FONTTABLE_VERSION},
      {"no font table", [](Bytes& b) { b = Without_Chunk(b, "FONT", 1); }, DEFECT_FONTTABLE_MISSING},
      {"unit header version 4", [](Bytes& b) { Put16(b, At(b, "UNIT", 1, 0), 4); }, DEFECT_UHDR_VERSION},
      {"unit header checksum", [](Bytes& b) { Put16(b, At(b, "UNIT", 1, 57), 0x1235); }, DEFECT_CHECKSUM},
      {"paint bounds not the unit's", [](Bytes& b) { Put16(b, At(b, "UNIT", 1, 6), 1201); }, DEFECT_UHDR_VERSION},
      {"no unit header", [](Bytes& b) { b = Without_Chunk(b, "UNIT", 2); }, DEFECT_UHDR_MISSING},
      {"object table version 3", objt(0, set16(3)), DEFECT_OBJTABLE_VERSION},
      {"401 objects", objt(2, set32(401)), DEFECT_OBJTABLE_VERSION},
      {"-1 objects", objt(2, set32(0xFFFFFFFFu)), DEFECT_OBJTABLE_VERSION},
      {"object kind 5", [](Bytes& b) { b[At(b, "OBJT", 1, 9)] = 5; }, DEFECT_OBJTABLE_VERSION},
      {"a second paint layer", [](Bytes& b) { b[At(b, "OBJT", 1, 9)] = 4; }, DEFECT_OBJTABLE_VERSION},
      {"no object table", [](Bytes& b) { b = Without_Chunk(b, "OBJT", 1); }, DEFECT_OBJTABLE_MISSING},
      {"photo version 1999", objt(kLibPhoto, set16(1999)), DEFECT_CHECKSUM},
      {"source kind 6", [](Bytes& b) { b[At(b, "OBJT", 1, kLibPhoto + 4)] = 6; }, DEFECT_OBJTABLE_VERSION},
      {"edge kind 4", objt(kLibPhoto + 13 + 14, set16(4)), DEFECT_OBJTABLE_VERSION},
      {"subset inverted", objt(kLibPhoto + 13 + 38 + 7 + 12 + 4, set16(0xFFFF)), DEFECT_OBJTABLE_VERSION},
      {"subset past 16 bits", objt(kLibPhoto + 13 + 38 + 7 + 12 + 2, set16(0x8001)), DEFECT_OBJTABLE_VERSION},
      {"dst_box inverted", objt(kFilePhoto + 110, set16(0x8000)), DEFECT_OBJTABLE_VERSION},
      {"photo checksum", objt(kLibPhoto + 13 + 38 + 7 + 12 + 8, set16(0x1200)), DEFECT_CHECKSUM},
      // The file photo's path said to run on for 255 bytes: its record then
      // runs past the end of the table.
      {"photo path past the table", [](Bytes& b) { b[At(b, "OBJT", 1, kFilePhoto + 11)] = 255; }, DEFECT_IO_ERROR},
      {"text version 3001", objt(kText, set16(3001)), DEFECT_CHECKSUM},
      {"layout 10", [](Bytes& b) { b[At(b, "OBJT", 1, kText + 2 + 16 + 6)] = 10; }, DEFECT_OBJTABLE_VERSION},
      {"justify 3", [](Bytes& b) { b[At(b, "OBJT", 1, kText + 2 + 16 + 7)] = 3; }, DEFECT_OBJTABLE_VERSION},
      {"4001 characters", objt(xyl, set32(4001)), DEFECT_OBJTABLE_VERSION},
      {"-1 characters", objt(xyl, set32(0xFFFFFFFFu)), DEFECT_OBJTABLE_VERSION},
      {"4 characters, the chunk ends", objt(xyl, set32(4)), DEFECT_IO_ERROR},
      {"character version 4001", objt(xyl + 4, set16(4001)), DEFECT_CHECKSUM},
      {"text checksum", objt(xyl + 6 + 3 * 35, set16(0)), DEFECT_CHECKSUM},
      {"embedded version 2", [](Bytes& b) { Put16(b, At(b, "EMBD", 1234, 0), 2); }, DEFECT_EMBED_VERSION},
      {"embedded length past its body", [](Bytes& b) { Put32(b, At(b, "EMBD", 1234, 6), 0x7FFFFFF0u); },
       DEFECT_EMBED_VERSION},
      {"embedded length negative", [](Bytes& b) { Put32(b, At(b, "EMBD", 1234, 6), 0x80000000u); },
       DEFECT_EMBED_VERSION},
  };
}

// Every damaged copy: its defect, FALSE, and the open document as it was.
TEST_F(ProjectFiles, DamagedCopiesAreRefusedAndKeepTheOpenDocument) {
  ASSERT_TRUE(Open(fixture_, "good.CD4"));
  a_doc_unit* units[2] = {Doc_Unit(1), Doc_Unit(2)};
  const std::string label = g_doc.doc_template.label;
  const uint32 recs = Live_Unit_Recs();
  for (const Damage& d : Damages()) {
    SCOPED_TRACE(d.what);
    Bytes bad = fixture_;
    d.change(bad);
    EXPECT_FALSE(Open(bad, "bad.CD4"));
    EXPECT_NE(defects & Defect_Bit(d.defect), 0u) << "defects " << defects;
    EXPECT_FALSE(No_Serious_Defects());
    EXPECT_TRUE(g_doc.doc_open);
    EXPECT_STREQ(g_doc.doc_path.name, Path("good.CD4").c_str());
    EXPECT_EQ(Doc_Unit(1), units[0]);
    EXPECT_EQ(Doc_Unit(2), units[1]);
    EXPECT_EQ(g_doc.doc_template.label, label);
    EXPECT_EQ(Live_Unit_Recs(), recs);
    EXPECT_EQ(Doc_Unit(1)->oj.nlist, 4);
  }
}

// A paint layer that is not the unit's: other bounds, another depth, no
// mask, a mask cut short.
TEST_F(ProjectFiles, DamagedPaintLayersAreRefused) {
  ASSERT_TRUE(Open(fixture_, "good.CD4"));
  a_doc_unit* u = Doc_Unit(1);
  Sync_Existence(true, u, PAINT1_LAYER);
  u->paintinuse = true;
  const PixMap& msk = u->statics[PAINT1_LAYER].mask->pix;
  std::memset(msk.baseAddr + 10 * PixMap_RowBytes(msk), 255, 100);
  const Bytes painted = Save("painted.CD4");
  ASSERT_TRUE(Open(painted, "painted.CD4"));
  ASSERT_TRUE(Doc_Unit(1)->paintinuse);
  u = Doc_Unit(1);
  const std::pair<const char*, std::function<void(Bytes&)>> rows[] = {
      {"bounds", [](Bytes& b) { Put16(b, At(b, "PAI1", 1, 8), 1199); }},
      {"mask bounds", [](Bytes& b) { Put16(b, At(b, "MSK1", 1, 10), 1300); }},
      {"depth", [](Bytes& b) { Put16(b, At(b, "PAI1", 1, 20), 8); }},
      {"no mask", [](Bytes& b) { b = Without_Chunk(b, "MSK1", 1); }},
      {"mask cut short", [](Bytes& b) { Put32(b, At(b, "MSK1", 1, 0) - 4, 40); }},
  };
  for (const auto& [what, change] : rows) {
    SCOPED_TRACE(what);
    Bytes bad = painted;
    change(bad);
    EXPECT_FALSE(Open(bad, "bad.CD4"));
    EXPECT_NE(defects & Defect_Bit(DEFECT_IO_ERROR), 0u) << "defects " << defects;
    EXPECT_EQ(Doc_Unit(1), u);
  }
}

// The file cut inside each chunk: the stream breaks there, and nothing is
// taken from it.
TEST_F(ProjectFiles, FileCutInsideEachChunkIsRefused) {
  ASSERT_TRUE(Open(fixture_, "good.CD4"));
  a_doc_unit* unit1 = Doc_Unit(1);
  for (const Chunk& c : Split(fixture_)) {
    for (const size_t cut : {c.at - 6, c.at + c.body.size() / 2}) {
      SCOPED_TRACE(c.label + " cut at " + std::to_string(cut));
      const Bytes bad(fixture_.begin(), fixture_.begin() + long(cut));
      EXPECT_FALSE(Open(bad, "cut.CD4"));
      EXPECT_NE(defects & Defect_Bit(DEFECT_IO_ERROR), 0u) << "defects " << defects;
      EXPECT_EQ(Doc_Unit(1), unit1);
      EXPECT_STREQ(g_doc.doc_path.name, Path("good.CD4").c_str());
    }
  }
}

Bytes With_Chunk_Body(const Bytes& f, const char* label, int32 id, const Bytes& body) {
  Bytes out(f.begin(), f.begin() + 4);
  for (const Chunk& c : Split(f)) {
    out.insert(out.end(), f.begin() + long(c.at - 12), f.begin() + long(c.at - 4));
    const Bytes& b = c.label == label && c.id == id ? body : c.body;
    const uint8 len[4] = {uint8(b.size() >> 24), uint8(b.size() >> 16), uint8(b.size() >> 8), uint8(b.size())};
    out.insert(out.end(), len, len + 4);
    out.insert(out.end(), b.begin(), b.end());
  }
  return out;
}

// An object table of version 1: no record version words, 15-byte
// characters whose layout positions are taken and nudges dropped. Written
// again it is the fixture's own table.
TEST_F(ProjectFiles, ObjectTablesOfVersionOneAreRead) {
  Bytes objt;
  for (const Chunk& c : Split(fixture_))
    if (c.label == "OBJT") objt = c.body;
  ASSERT_EQ(objt.size(), 222u + 96 + 6 + 105 + 2);
  const auto part = [&](size_t from, size_t to) { return Bytes(objt.begin() + long(from), objt.begin() + long(to)); };
  Bytes v1 = {0x00, 0x01};
  for (const Bytes& b : {part(2, kLibPhoto), part(kLibPhoto + 2, kFilePhoto), part(kFilePhoto + 2, kText),
                         part(kText + 2, kText + 96 + 4)})
    v1.insert(v1.end(), b.begin(), b.end());
  const uint8 chars[3][15] = {{0x00, 0x48, 0, 7, 0, 8, 0, 9, 0x01, 0x00, 0x00, 0x20, 0x00, 0x00, 0},
                              {0x00, 0x69, 0, 0, 0, 0, 0, 0, 0x01, 0x10, 0x00, 0x20, 0x00, 0x05, 0},
                              {0x00, 0x01, 0, 0, 0, 0, 0, 0, 0x01, 0x20, 0x00, 0x20, 0x00, 0x00, 4}};
  for (const auto& c : chars) v1.insert(v1.end(), c, c + 15);
  v1.push_back(0x12);
  v1.push_back(0x34);
  ASSERT_TRUE(Open(With_Chunk_Body(fixture_, "OBJT", 1, v1))) << "defects " << defects;
  const a_om_rec& om = *Doc_Unit(1)->oj.list[3].om;
  ASSERT_EQ(om.nxyl, 3);
  EXPECT_EQ(om.xyl[0].cc_char, u'H');
  EXPECT_EQ(om.xyl[0].mm_x, 0x100);
  EXPECT_EQ(om.xyl[0].mm_y, 0x20);
  EXPECT_EQ(om.xyl[0].cc_nudgex, 0);
  EXPECT_EQ(om.xyl[1].mm_t, 5);
  EXPECT_EQ(om.xyl[2].mm_cat, CC_EOS);
  EXPECT_EQ(Doc_Unit(1)->oj.list[1].ph->dst_box, (Rect{150, 200, 450, 600}));
  for (const Chunk& c : Split(Save("again.CD4")))
    if (c.label == "OBJT") { EXPECT_EQ(c.body, objt); }
}

// Importing a project (append) replaces the open document's layout and
// units whole and keeps its file; a damaged one changes nothing.
TEST_F(ProjectFiles, ImportReplacesLayoutAndUnitsWhole) {
  a_template x{};
  std::strcpy(x.label, "Three cards");
  x.papersize = {210.0f, 297.0f};
  for (int i = 0; i < 3; ++i) {
    a_unit& u = x.units[x.nunits++];
    u.kind = uint8(i == 1 ? UNIT_OVAL : UNIT_RECT);
    u.bbox = a_frect{10, 10 + 60.0f * float(i), 95, 65 + 60.0f * float(i)};
  }
  ASSERT_TRUE(Doc_New(x));
  const Bytes cards = Save("cards.CD4");
  ASSERT_TRUE(Open(fixture_));
  g_doc.doc_changed = false;

  Write_All(Path("cut.CD4"), Bytes(cards.begin(), cards.end() - 30));
  a_doc_unit* unit1 = Doc_Unit(1);
  EXPECT_FALSE(Read_DISC(Spec(Path("cut.CD4")), true));
  EXPECT_EQ(Doc_Unit(1), unit1);
  EXPECT_EQ(g_doc.doc_template.nunits, 2u);
  EXPECT_FALSE(g_doc.doc_changed);

  ASSERT_TRUE(Read_DISC(Spec(Path("cards.CD4")), true));
  EXPECT_STREQ(g_doc.doc_template.label, "Three cards");
  EXPECT_EQ(g_doc.doc_template.nunits, 3u);
  EXPECT_EQ(Live_Unit_Recs(), 3u);
  EXPECT_EQ(Doc_Unit(2)->clonef, false);
  EXPECT_EQ(g_doc.doc_units[3], nullptr);
  EXPECT_STREQ(g_doc.doc_path.name, Path("labels.CD4").c_str());
  EXPECT_TRUE(g_doc.doc_changed);
  EXPECT_EQ(g_doc.upx, 1u);
}

// A font the machine lacks: the question is asked with the stored sample
// and name, and the answer used; with no answer, the first font. A name
// stored in the other byte order is recognised.
TEST_F(ProjectFiles, MissingFontsAreAskedForAndSwappedNamesRepaired) {
  Bytes missing = fixture_;
  const size_t name = At(missing, "FONT", 1, 10);
  Put16(missing, name, u'Q');
  g_ask_font_remap_proc = Answer_Font;
  g_answer = dejavu_ + 1;
  g_asked = 0;
  ASSERT_TRUE(Open(missing));
  EXPECT_EQ(defects, Defect_Bit(DEFECT_FONT_NOTAVAIL));
  EXPECT_EQ(g_asked, 1u);
  EXPECT_EQ(g_asked_name, u"QejaVu Sans");
  EXPECT_EQ(g_asked_sample, (Rect{0, 0, FONT_SAMPLE_V, FONT_SAMPLE_H}));
  EXPECT_EQ(Doc_Unit(1)->oj.list[3].om->fontx, dejavu_ + 1);

  g_ask_font_remap_proc = nullptr;
  ASSERT_TRUE(Open(missing, "other.CD4"));
  EXPECT_EQ(Doc_Unit(1)->oj.list[3].om->fontx, 1u);

  Bytes swapped = fixture_;
  for (size_t i = 0; i < 256; i += 2) std::swap(swapped[name + i], swapped[name + i + 1]);
  ASSERT_TRUE(Open(swapped, "swapped.CD4"));
  EXPECT_EQ(defects, 0u);
  EXPECT_EQ(Doc_Unit(1)->oj.list[3].om->fontx, dejavu_);
}

// A photo whose file was not embedded is found beside the project by its
// name, even from a Windows path and in another case.
TEST_F(ProjectFiles, PicturesAreFoundAgainBesideTheProject) {
  Bytes png;
  for (const Chunk& c : Split(fixture_))
    if (c.label == "EMBD") png.assign(c.body.begin() + 10, c.body.end());
  Write_All(Path("Tiny.PNG"), png);
  a_spec spec{};
  spec.source.kind = SOURCE_EXTFILE;
  std::strcpy(spec.source.path.name, "C:\\Pictures\\tiny.png");
  a_picture_scan_rec scan{};
  ASSERT_TRUE(Attempt_Repair_Photo(Spec(Path("labels.CD4")), spec, scan));
  EXPECT_STREQ(spec.source.path.name, Path("Tiny.PNG").c_str());
  EXPECT_EQ(scan.body.bounds, (Rect{0, 0, 1, 1}));
  Dispose_MW(scan.body);
  std::strcpy(spec.source.path.name, "/elsewhere/none.png");
  EXPECT_FALSE(Attempt_Repair_Photo(Spec(Path("labels.CD4")), spec, scan));
  EXPECT_STREQ(spec.source.path.name, "/elsewhere/none.png");

  // An empty "EMBD" sends the reader there too.
  Bytes empty = fixture_;
  Put32(empty, At(empty, "EMBD", 1234, 6), 0);
  ASSERT_TRUE(Open(empty));
  const a_ph_rec& ph = *Doc_Unit(1)->oj.list[2].ph;
  EXPECT_STREQ(ph.spec.source.path.name, Path("Tiny.PNG").c_str());
  int32 ix = 0;
  EXPECT_TRUE(Find_Basis(ph.spec.source.sid, ix));
}

// A linked picture found nowhere stays missing: the photo is kept with its
// path, the layer bar says " (MISSING)", the screen shows the missing
// pattern over its box, and on paper its place is left as if it were not
// there; no picture stands in for it in a save either.
TEST_F(ProjectFiles, LinkedPictureFoundNowhereStaysMissing) {
  Bytes lost = fixture_;
  Put32(lost, At(lost, "EMBD", 1234, 6), 0);
  ASSERT_TRUE(Open(lost));
  a_doc_unit* u = Doc_Unit(1);
  ASSERT_EQ(u->oj.list[2].kind, PHOTO_BLOCK);
  const a_ph_rec& ph = *u->oj.list[2].ph;
  EXPECT_TRUE(Is_Photo_Missing(&ph));
  EXPECT_NE(std::string(ph.spec.source.path.name).find("tiny.png"), std::string::npos) << ph.spec.source.path.name;
  char status[256] = {};
  Calc_Spec_PStatus(3, status, int32(sizeof status));
  EXPECT_NE(std::string(status).find(" (MISSING)"), std::string::npos) << status;

  const Rect box = ph.dst_box;
  ASSERT_FALSE(EmptyRect(box));
  // Every other object hidden: what shows in the box is the photo's own.
  for (int32 i = 0; i < u->oj.nlist; ++i)
    if (i != 2 && u->oj.list[i].kind != PAINT_BLOCK) u->oj.list[i].flags &= ~OJ_Flag_Bit(VISIBLE_FLAG);
  Unit_PostRender(u);
  GWorldPtr screen = nullptr;
  Unit_Merge_Check(1, u, u->paintbounds, screen);
  ASSERT_NE(screen, nullptr);
  int32 ink = 0, grey = 0;
  const Rect in{int16(std::max<int32>(box.top, 0)), int16(std::max<int32>(box.left, 0)),
                int16(std::min<int32>(box.bottom, u->paintbounds.bottom)),
                int16(std::min<int32>(box.right, u->paintbounds.right))};
  const auto at = [](GWorldPtr w, int32 x, int32 y) {
    const PixMap& p = w->pix;
    return reinterpret_cast<const uint32*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p))[x - p.bounds.left] &
           0xFFFFFFu;
  };
  for (int32 y = in.top; y < in.bottom; ++y)
    for (int32 x = in.left; x < in.right; ++x) {
      const uint32 c = at(screen, x, y);
      const int32 r = int32(c >> 16), g = int32((c >> 8) & 0xFF), b = int32(c & 0xFF);
      ink += r > 200 && g < 140 && b > 140;  // the pattern's pink legend
      grey += c == 0xC0C0C0u;
    }
  EXPECT_GT(ink, 20);
  EXPECT_EQ(grey, 0);

  // On paper: the same as with the photo hidden.
  GWorldPtr shown = nullptr, hidden = nullptr;
  ASSERT_TRUE(Render_Unit_Print(1, u, u->paintbounds, shown));
  u->oj.list[2].flags &= ~OJ_Flag_Bit(VISIBLE_FLAG);
  ASSERT_TRUE(Render_Unit_Print(1, u, u->paintbounds, hidden));
  int32 differ = 0;
  for (int32 y = in.top; y < in.bottom; ++y)
    for (int32 x = in.left; x < in.right; ++x) differ += at(shown, x, y) != at(hidden, x, y);
  EXPECT_EQ(differ, 0);
  Dispose_GWorld(shown);
  Dispose_GWorld(hidden);

  // Saved and read again it is still the linked, missing picture.
  u->oj.list[2].flags |= OJ_Flag_Bit(VISIBLE_FLAG);
  const Bytes again = Save("again.CD4");
  ASSERT_TRUE(Open(again, "again.CD4"));
  EXPECT_TRUE(Is_Photo_Missing(Doc_Unit(1)->oj.list[2].ph));
}

TEST(ProjectCodecs, StoredCodesAreNormalised) {
  const struct {
    const char* in;
    const char* out;
  } rows[] = {{"GEPJ", "JPEG"}, {" GPJ", "JPEG"}, {"fFIG", "GIFf"}, {"fPMB", "BMPf"},
              {"SPB8", "8BPS"}, {"FFIT", "TIFF"}, {"PNGf", "PNGf"}, {"JPEG", "JPEG"}};
  for (const auto& r : rows) {
    const OSType in = OSType(uint8(r.in[0])) << 24 | OSType(uint8(r.in[1])) << 16 | OSType(uint8(r.in[2])) << 8 |
                      uint8(r.in[3]);
    const OSType out = OSType(uint8(r.out[0])) << 24 | OSType(uint8(r.out[1])) << 16 |
                       OSType(uint8(r.out[2])) << 8 | uint8(r.out[3]);
    EXPECT_EQ(Canonicalize_Codec(in), out) << r.in;
  }
}

TEST_F(ProjectFiles, PreviewIsFoundWithoutReadingTheProject) {
  Write_All(Path("p.CD4"), fixture_);
  EXPECT_TRUE(Is_DISC_File(Spec(Path("p.CD4"))));
  PixMap pix;
  ASSERT_TRUE(Scan_DISC_Preview(Spec(Path("p.CD4")), pix));
  EXPECT_EQ(pix.bounds, (Rect{0, 0, 2, 2}));
  EXPECT_EQ(pix.pixelSize, 32);
  Dispose_PixMap(pix);
  Write_All(Path("q.CD4"), Without_Chunk(fixture_, "PREV", 1));
  EXPECT_FALSE(Is_DISC_File(Spec(Path("q.CD4"))));
  EXPECT_FALSE(Scan_DISC_Preview(Spec(Path("q.CD4")), pix));
  Bytes old = fixture_;
  old[3] = 7;
  Write_All(Path("r.CD4"), old);
  EXPECT_FALSE(Is_DISC_File(Spec(Path("r.CD4"))));
}

// Save (command 304) writes the document to its file; a document never
// saved is refused until Save As comes.
TEST_F(ProjectFiles, SaveCommandWritesTheOpenFile) {
  ASSERT_TRUE(Open(fixture_));
  g_doc.doc_changed = true;
  DoMenuEvent(MENU_FILE, 4, false, false);
  EXPECT_FALSE(g_doc.doc_changed);
  const Bytes saved = Read_All(Path("labels.CD4"));
  EXPECT_NE(saved, fixture_);  // our preview is larger than the fixture's
  EXPECT_EQ(Split(saved).size(), Split(fixture_).size());

  a_template x = g_doc.doc_template;
  ASSERT_TRUE(Doc_New(x));
  ASSERT_TRUE(g_doc.doc_new);
  g_doc.doc_changed = true;
  const std::vector<std::string> before = Folder(dir_);
  DoMenuEvent(MENU_FILE, 4, false, false);
  EXPECT_TRUE(g_doc.doc_changed);
  EXPECT_EQ(Folder(dir_), before);
}

// A project past the format's 32-bit lengths is refused before anything is
// written: 40 painted units of 3900 x 3900 cells need about 3 GB.
TEST_F(ProjectFiles, ProjectsPastTwoGigabytesAreRefused) {
  a_template x{};
  std::strcpy(x.label, "Posters");
  x.papersize = {400.0f, 400.0f};
  for (int i = 0; i < 40; ++i) {
    a_unit& u = x.units[x.nunits++];
    u.kind = uint8(i % 2 == 0 ? UNIT_RECT : UNIT_OVAL);
    u.bbox = a_frect{10, 10, 340, 340};
  }
  ASSERT_TRUE(Doc_New(x));
  for (uint32 ux = 1; ux <= 40; ++ux) {
    ASSERT_FALSE(Doc_Unit(ux)->clonef);
    Doc_Unit(ux)->paintinuse = true;  // the size counts, not the pixels
  }
  Write_All(Path("posters.CD4"), fixture_);
  EXPECT_EQ(Write_DISC(Spec(Path("posters.CD4"))), DISC_WRITE_TOO_LARGE);
  EXPECT_NE(Write_DISC_Reason().find("2 GB"), std::string::npos);
  EXPECT_EQ(Read_All(Path("posters.CD4")), fixture_);
  EXPECT_EQ(Folder(dir_), std::vector<std::string>{"posters.CD4"});
  for (uint32 ux = 1; ux <= 40; ++ux) Doc_Unit(ux)->paintinuse = false;
}

// A save that fails half-way, or cannot start, leaves the old file as it
// was and nothing beside it, keeps the document changed, and says why.
TEST_F(ProjectFiles, FailedSavesKeepTheOldFile) {
  ASSERT_TRUE(Open(fixture_));
  const std::string target = Path("labels.CD4");
  const std::vector<std::string> before = Folder(dir_);
  for (const int64 after : {int64(0), int64(3), int64(100), int64(5000), int64(60000)}) {
    SCOPED_TRACE(after);
    g_doc.doc_changed = true;
    Host_Fail_Writes_After(after);
    EXPECT_FALSE(Doc_Write(FMT_DISC, g_doc.doc_path));
    Host_Fail_Writes_After(-1);
    EXPECT_EQ(Write_DISC_Reason(), std::strerror(EIO));
    EXPECT_NE(std::string(gparam_strings[0]).find(std::strerror(EIO)), std::string::npos);
    EXPECT_EQ(Read_All(target), fixture_);
    EXPECT_EQ(Folder(dir_), before);
    EXPECT_TRUE(g_doc.doc_changed);
  }
  EXPECT_TRUE(Doc_Write(FMT_DISC, g_doc.doc_path));
  EXPECT_FALSE(g_doc.doc_changed);
  EXPECT_FALSE(g_doc.doc_new);

  if (::geteuid() == 0) return;  // the owner of everything ignores permissions
  ASSERT_EQ(::chmod(dir_.c_str(), 0500), 0);
  const Bytes saved = Read_All(target);
  g_doc.doc_changed = true;
  EXPECT_EQ(Write_DISC(g_doc.doc_path), DISC_WRITE_CREATE);
  EXPECT_EQ(Write_DISC_Reason(), std::strerror(EACCES));
  EXPECT_FALSE(Doc_Write(FMT_DISC, g_doc.doc_path));
  EXPECT_TRUE(g_doc.doc_changed);
  ::chmod(dir_.c_str(), 0700);
  EXPECT_EQ(Read_All(target), saved);
  EXPECT_EQ(Folder(dir_), before);
}

}  // namespace
