// Older projects imported into the current unit: files written here with
// the chunk writer (V3Writer), each text and photo version read into the
// unit's objects, the painting scaled onto the paint layer, sizes and
// positions mapped, old text decoded, and every kind of damage refused with
// the unit left as it was. Also the import command's history step and
// alerts, and the fixture the program's own import session uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "FontTestSupport.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "doc/ParsDISC.h"
#include "doc/ParsV3.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "host/HostFiles.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "pixel/OPUtil.h"
#include "pixel/ParsChunk.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/VoskDef.h"
#include "ui/VoskAskImport.h"
#include "ui/VoskIntI.h"

namespace {

using Bytes = std::vector<uint8>;

// The disc face's canvas in cells, each way.
constexpr int16 kCells = 1200;

struct V3Text {
  Point center{320, 320};  // v, h
  int16 fontid = 7;
  int16 sizex = 10;
  bool8 boldf = true, italf = false, outlf = true, glowf = true, shadf = false;
  int16 glow_radius = 5, glow_opacity = 60, glow_style = 1;
  int16 shad_dx = 3, shad_dy = 4, shad_opacity = 50, shad_radius = 2;
  int16 outl_radius = 3;
  uint8 layout = LAYOUT3_HORZ;  // of the first set in version 1
  uint8 justify = V3_JUST_CENTER;
  int16 hspacing = 110, vpercent = 120, radius = 80, angle = 150, targwidth = 300, opacity = 90;
  uint8 rgb[3] = {200, 100, 50};
  Bytes chars = {'O', 'l', 'd'};  // one stored character each
  int32 nxyl = -1;                // the count written; -1: chars.size()
};

struct V3Photo {
  uint8 kind = V3_SOURCE_DATABASE;
  a_keyset key{3, 4, 5, 6};
  std::string path;
  int16 embedx = 0, clipx = 0;  // written as the version stores them
  std::vector<int16> words = {100, 50, 0, 50, 80, 10, 5, 0, 0};  // the values after the source
  Rect subset{0, 0, 40, 60};
  Point dst_center{160, 320};
  Rect dst_box{140, 290, 180, 350};
};

// Writes an older project with the chunk writer, chunk by chunk.
class V3Writer {
 public:
  explicit V3Writer(const std::string& path) {
    FSSpec spec{};
    EXPECT_TRUE(Path_From_Text(spec, path.c_str()));
    EXPECT_EQ(File_Create(true, spec, 0, 0), noErr);
    a_fd fd = File_Open(spec, GENERIC_READ | GENERIC_WRITE);
    EXPECT_FALSE(Is_Null_Fd(fd));
    Chunk_Init(fd, VELMOR_PREAMBLE_LEN);
    const uint8 pre[4] = {0xCD, 0xCD, 0, 7};
    Chunk_WriteRaw(pre, 4);
  }
  ~V3Writer() { EXPECT_EQ(Chunk_Stop(), noErr); }

  void Canv(uint8 kind, int16 version = V3_CANV_VERSION) {
    Chunk_WriteStart("CANV", 1);
    Chunk_WriteInt16(version);
    Chunk_WriteKey(a_keyset{1, 2, 3, 4});
    for (int i = 0; i < 3; ++i) Chunk_WriteBoolean(false);
    Chunk_WriteInt16(0);
    U8(kind);
    Chunk_WriteInt16(50);
    Chunk_WriteStop();
  }
  void Fonts(const std::vector<std::pair<int16, std::string>>& fonts, int16 count = -2, int16 version = 1) {
    Chunk_WriteStart("FONT", 1);
    Chunk_WriteInt16(version);
    Chunk_WriteInt16(count != -2 ? count : int16(fonts.size()));
    for (const auto& [id, name] : fonts) {
      Chunk_WriteInt16(id);
      Chunk_WritePString(CStrSpan(name.c_str(), name.size() + 1));
    }
    Chunk_WriteStop();
  }
  void Texts(int16 version, const std::vector<V3Text>& texts, int16 count = -2) {
    Chunk_WriteStart("TEXT", 1);
    Chunk_WriteInt16(version);
    Chunk_WriteInt16(count != -2 ? count : int16(texts.size()));
    for (const V3Text& t : texts) {
      Chunk_WritePoint(t.center);
      Chunk_WriteInt16(t.fontid);
      Chunk_WriteInt16(t.sizex);
      Chunk_WriteBoolean(t.boldf);
      Chunk_WriteBoolean(t.italf);
      if (version == 3) {
        for (bool8 b : {t.outlf, t.glowf, t.shadf, bool8(false)}) Chunk_WriteBoolean(b);
        for (int16 v : {t.glow_radius, t.glow_opacity, t.glow_style}) Chunk_WriteInt16(v);
        Rgb(10, 20, 30);
        for (int16 v : {t.shad_dx, t.shad_dy, t.shad_opacity, t.shad_radius}) Chunk_WriteInt16(v);
        Rgb(40, 50, 60);
        Chunk_WriteInt16(t.outl_radius);
        Rgb(70, 80, 90);
      }
      Chunk_WriteInt16(0);  // script
      U8(t.layout);
      if (version > 1) U8(t.justify);
      for (int16 v : {t.hspacing, t.vpercent, t.radius, t.angle, t.targwidth}) Chunk_WriteInt16(v);
      if (version < 3) Chunk_WriteInt16(0);
      const int32 n = t.nxyl >= 0 ? t.nxyl : int32(t.chars.size());
      Chunk_WriteInt16(int16(n));
      Chunk_WriteInt16(t.opacity);
      Rgb(t.rgb[0], t.rgb[1], t.rgb[2]);
      for (int i = 0; i < 5; ++i) Chunk_WriteInt16(0);
      Chunk_WriteRect(Rect{0, 0, 10, 10});
      Chunk_WriteBoolean(true);
      for (uint8 c : t.chars) {
        uint8 rec[12] = {c};
        Chunk_WriteRaw(rec, 12);
      }
    }
    Chunk_WriteStop();
  }
  void Photos(int16 version, const std::vector<V3Photo>& photos, int16 count = -2) {
    Chunk_WriteStart("PHOT", 1);
    Chunk_WriteInt16(version);
    Chunk_WriteInt16(count != -2 ? count : int16(photos.size()));
    for (const V3Photo& p : photos) {
      U8(p.kind);
      if (p.kind == V3_SOURCE_DATABASE) Chunk_WriteKey(p.key);
      if (p.kind == V3_SOURCE_EXTFILE) {
        FSSpec path{};
        std::strncpy(path.name, p.path.c_str(), sizeof path.name - 1);
        Chunk_WritePath(path);
        if (version == 3) Chunk_WriteInt16(p.embedx);
      }
      if (p.kind == V3_SOURCE_CLIP) Chunk_WriteInt16(p.clipx);
      for (int16 w : p.words) Chunk_WriteInt16(w);
      for (int i = 0; i < (version == 1 ? 2 : 4); ++i) Chunk_WriteBoolean(i == 0);
      Chunk_WriteRect(p.subset);
      Chunk_WritePoint(p.dst_center);
      Chunk_WriteRect(p.dst_box);
    }
    Chunk_WriteStop();
  }
  void Embd(int32 id, const Bytes& bytes, const char* codec, int32 len = -2) {
    Chunk_WriteStart("EMBD", id);
    Chunk_WriteInt16(V3_EMBD_VERSION);
    // The codec's bytes in the reverse order, as the old files keep it.
    const uint8 rev[4] = {uint8(codec[3]), uint8(codec[2]), uint8(codec[1]), uint8(codec[0])};
    Chunk_WriteRaw(rev, 4);
    Chunk_WriteInt32(len != -2 ? len : int32(bytes.size()));
    Chunk_WriteRaw(bytes.data(), uint32(bytes.size()));
    Chunk_WriteStop();
  }
  // A picture chunk of a w x h map filled by f(x, y) (a 32-bit value, or
  // an 8-bit one at depth 8).
  void Picture(const char* label, int32 id, int16 w, int16 h, int16 depth, const std::function<uint32(int, int)>& f) {
    PixMap pm;
    Null_PixMap(pm);
    New_PixMap(pm, Rect{0, 0, h, w}, depth, nullptr);
    ASSERT_FALSE(Is_Null_PixMap(pm));
    for (int y = 0; y < h; ++y) {
      uint8* row = reinterpret_cast<uint8*>(pm.baseAddr) + size_t(y) * PixMap_RowBytes(pm);
      for (int x = 0; x < w; ++x) {
        if (depth == 32)
          reinterpret_cast<uint32*>(row)[x] = f(x, y);
        else
          row[x] = uint8(f(x, y));
      }
    }
    EXPECT_EQ(Chunk_WritePix(CStrSpan(label, 5), id, &pm, pm.bounds), noErr);
    Dispose_PixMap(pm);
  }

 private:
  static void U8(uint8 b) { Chunk_WriteRaw(&b, 1); }
  static void Rgb(uint8 r, uint8 g, uint8 b) {
    U8(r);
    U8(g);
    U8(b);
  }
};

// A 2 x 2 Windows bitmap, 24 bits, bottom-up: blue, white / red, green.
Bytes Tiny_BMP() {
  Bytes b;
  auto le = [&](uint32 v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(uint8(v >> (8 * i)));
  };
  b = {'B', 'M'};
  le(70, 4);
  le(0, 4);
  le(54, 4);
  for (uint32 v : {40u, 2u, 2u}) le(v, 4);
  le(1, 2);
  le(24, 2);
  for (uint32 v : {0u, 16u, 0u, 0u, 0u, 0u}) le(v, 4);
  const Bytes rows = {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
  b.insert(b.end(), rows.begin(), rows.end());
  return b;
}

// What a refused import must leave alone.
struct UnitState {
  int32 nlist;
  bool8 paintinuse;
  uint32 seq;
  bool operator==(const UnitState&) const = default;
};

class OlderProjects : public ::testing::Test {
 protected:
  std::string dir_;
  uint32 dejavu_ = 0;

  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    Fonts_Stop();
    Fonts_Init();
    doctests::Start_Document_Modules();
    gs.controller = GHOST;
    Cache_Clear();
    Reset_Next_SID();
    dir_ = testdir::Make_Temp_Dir("velmor-v3");
    ASSERT_FALSE(dir_.empty());
    ASSERT_TRUE(Doc_New(doctests::Disc_Face_Template()));
    ASSERT_NE(g_doc.up, nullptr);
    const std::u16string dv = u"DejaVu Sans";
    dejavu_ = Name_To_FontX(CUStrSpan(dv.c_str(), dv.size() + 1));
  }
  void TearDown() override {
    doctests::Close_Document();
    testdir::Remove_Dir(dir_);
  }
  std::string Path(const std::string& name = "old.CDL") const { return dir_ + "/" + name; }
  static FSSpec Spec(const std::string& path) {
    FSSpec p{};
    EXPECT_TRUE(Path_From_Text(p, path.c_str()));
    return p;
  }
  bool Import(const std::string& name = "old.CDL") { return Read_DISC(Spec(Path(name)), true); }
  static UnitState State() { return {g_doc.up->oj.nlist, g_doc.up->paintinuse, g_doc.up->oj.seq}; }
  // The objects of a kind on the current unit, bottom up.
  static std::vector<a_oj_item*> Items(a_oj_kind kind) {
    std::vector<a_oj_item*> out;
    for (int32 i = 0; i < g_doc.up->oj.nlist; ++i)
      if (g_doc.up->oj.list[i].kind == kind) out.push_back(&g_doc.up->oj.list[i]);
    return out;
  }
  static std::u16string Text_Of(const a_om_rec& om) {
    std::u16string s;
    for (int32 i = 0; i + 1 < om.nxyl; ++i) s += char16_t(om.xyl[i].cc_char);
    return s;
  }
  // A CD label holding one text of version 3.
  void Write_One_Text(const V3Text& t, int16 version = 3) {
    V3Writer w(Path());
    w.Canv(CD_LABEL);
    w.Fonts({{7, "DejaVu Sans"}});
    w.Texts(version, {t});
  }
};

// The disc face's paint bounds and height the expectations are worked from.
TEST_F(OlderProjects, DocumentUnderTest) {
  EXPECT_EQ(g_doc.up->paintbounds, (Rect{0, 0, kCells, kCells}));
  EXPECT_FLOAT_EQ(g_doc.doc_template.units[0].bbox.bottom - g_doc.doc_template.units[0].bbox.top, 120.0f);
}

TEST_F(OlderProjects, EachTextVersionBecomesATextObject) {
  struct Case {
    int16 version;
    uint8 stored_layout;
    a_text_layout layout;
    a_horz_just justify;
    int16 stored_radius;  // radius 80 as the version keeps it
    bool effects;         // glow, outline and shadow values are kept
  };
  const Case cases[] = {
      {1, V1_LAYOUT_CIRC_CW, LAYOUT_CIRC_CW, JUST_LEFT, 80 / 4 + 10, false},
      {1, V1_LAYOUT_VERT, LAYOUT_VERT, JUST_LEFT, 80 / 4 + 10, false},
      {1, V1_LAYOUT_90, LAYOUT_90, JUST_LEFT, 80 / 4 + 10, false},
      {2, LAYOUT3_SPIRAL_CCW, LAYOUT_SPIRAL_CCW, JUST_CENTER, 80 / 4 + 10, false},
      {3, LAYOUT3_270, LAYOUT_270, JUST_CENTER, 80, true},
      {3, LAYOUT3_CIRC_CCW, LAYOUT_CIRC_CCW, JUST_CENTER, 80, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "version " << c.version << " layout " << int(c.stored_layout));
    V3Text t;
    t.layout = c.stored_layout;
    t.radius = c.stored_radius;
    t.center = Point{160, 480};
    Write_One_Text(t, c.version);
    const int32 before = g_doc.up->oj.nlist;
    ASSERT_TRUE(Import()) << "defects " << defects;
    ASSERT_EQ(g_doc.up->oj.nlist, before + 1);
    const a_oj_item& item = g_doc.up->oj.list[before];
    ASSERT_EQ(item.kind, TEXT_BLOCK);
    const a_om_rec& om = *item.om;
    EXPECT_EQ(Text_Of(om), u"Old");
    EXPECT_EQ(om.layout, c.layout);
    EXPECT_EQ(om.justify, c.justify);
    EXPECT_EQ(om.fontx, dejavu_);
    EXPECT_TRUE(om.boldf);
    // The old 640-pixel canvas onto the unit's cells.
    EXPECT_EQ(om.anchor.h, 480 * kCells / 640);
    EXPECT_EQ(om.anchor.v, 160 * kCells / 640);
    EXPECT_EQ(om.rotcenter, (Point{kCells / 2, kCells / 2}));
    // Size step 10 is 26 points on a 640-pixel height: 120 mm of unit.
    EXPECT_EQ(om.size, int16(std::lround(120 * 2.834645669291339 * 26 / 640)));
    // A per cent of half the canvas, the same on the unit.
    EXPECT_EQ(om.radius, 80);
    EXPECT_EQ(om.lineangle, 150);
    EXPECT_EQ(om.vspacing, 120);
    EXPECT_EQ(om.hspacing, SLIDER_VALUES[TEXT_HSPACING_SLIDER].defaultval);
    EXPECT_EQ(om.opacity, SLIDER_VALUES[TEXT_OPACITY_SLIDER].defaultval);
    EXPECT_EQ(om.targwidth, 0);
    EXPECT_EQ(om.base_color.r, 200);
    EXPECT_EQ(om.base_color.b, 50);
    EXPECT_EQ(om.outlf, c.effects);
    EXPECT_EQ(om.glow_radius, c.effects ? 5 : SLIDER_VALUES[TEXT_GLOW_RADIUS_SLIDER].minval);
    EXPECT_EQ(om.shad_dy, c.effects ? 4 : 0);
    EXPECT_EQ(om.glow_color.g, c.effects ? 20 : 0);
    EXPECT_EQ(om.outl_color.b, c.effects ? 90 : 0);
  }
}

TEST_F(OlderProjects, PolarAngleFollowsTheCircleDirection) {
  for (const auto& [layout, polar] : {std::pair{LAYOUT3_CIRC_CW, -15}, std::pair{LAYOUT3_CIRC_CCW, 15}}) {
    V3Text t;
    t.layout = layout;
    Write_One_Text(t);
    ASSERT_TRUE(Import());
    EXPECT_EQ(Items(TEXT_BLOCK).back()->om->polarangle, polar);
  }
}

// The size step and the old canvas height decide the size; a step past the
// table is held to its last entry.
TEST_F(OlderProjects, TextSizesFollowTheOldCanvas) {
  struct Case {
    uint8 kind;
    int16 sizex;
    int16 height;  // of the old canvas
    int16 points;
  };
  const Case cases[] = {
      {CD_LABEL, 0, 640, 9},        {CD_LABEL, 20, 640, 72},   {VSPINE_LABEL, 5, 167, 16},
      {DVD_WRAP, 10, 870, 26},      {CD_LABEL, 99, 640, 358},  {KARDV_LABEL, -5, 800, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << int(c.kind) << " step " << c.sizex);
    V3Text t;
    t.sizex = c.sizex;
    t.layout = LAYOUT3_HORZ;
    {
      V3Writer w(Path());
      w.Canv(c.kind);
      w.Texts(3, {t});
    }
    ASSERT_TRUE(Import()) << defects;
    const int32 want = std::lround(120 * 2.834645669291339 * c.points / c.height);
    EXPECT_EQ(Items(TEXT_BLOCK).back()->om->size,
              std::clamp<int32>(want, SLIDER_VALUES[TEXT_SIZE_SLIDER].minval, TEXT_LAYOUT_SIZE_LIMITS[LAYOUT_HORZ]));
  }
}

TEST(OlderProjectMapping, PointsMapAxisByAxisAndStayIn16Bits) {
  struct Case {
    Rect src, dst;
    Point in, out;
  };
  const Case cases[] = {
      {{0, 0, 640, 640}, {0, 0, 1417, 1417}, {320, 320}, {708, 708}},
      {{0, 0, 640, 1280}, {0, 0, 600, 1200}, {640, 1280}, {600, 1200}},
      {{0, 0, 640, 640}, {100, 200, 740, 840}, {0, 0}, {100, 200}},
      {{0, 0, 1, 1}, {0, 0, 30000, 30000}, {32767, -32768}, {32767, -32768}},
      {{0, 0, 0, 0}, {0, 0, 50, 60}, {5, 5}, {50, 60}},
  };
  for (const Case& c : cases) {
    Point out{};
    Apply_Mapping(c.src, c.dst, c.in, out);
    EXPECT_EQ(out, c.out) << c.in.h << "," << c.in.v;
  }
}

TEST_F(OlderProjects, MissingFontMapsToTheFirstAndIsReported) {
  V3Text known, unknown;
  unknown.fontid = 9;
  V3Text unlisted;
  unlisted.fontid = 44;
  {
    V3Writer w(Path());
    w.Canv(CD_LABEL);
    w.Fonts({{7, "DejaVu Sans"}, {9, "No Such Font Anywhere"}});
    w.Texts(3, {known, unknown, unlisted});
  }
  ASSERT_TRUE(Import());
  EXPECT_EQ(defects, Defect_Bit(DEFECT_FONT_NOTAVAIL));
  const auto texts = Items(TEXT_BLOCK);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0]->om->fontx, dejavu_);
  EXPECT_EQ(texts[1]->om->fontx, 1u);
  EXPECT_EQ(texts[2]->om->fontx, 1u);
}

// Old text is Mac Roman: accents and signs decode, a return is a line
// break, the shared converter's rule is not used.
TEST_F(OlderProjects, OldTextDecodesAsMacRoman) {
  V3Text t;
  t.chars = {'C', 0x8E, 't', 0xE9, 13, 0xA5, ' ', 0xD2, 'x', 0xD3, 0xDB, 0xA9};
  Write_One_Text(t);
  ASSERT_TRUE(Import());
  EXPECT_EQ(Text_Of(*Items(TEXT_BLOCK).back()->om), u"C\u00e9t\u00c8\r\u2022 \u201cx\u201d\u20ac\u00a9");

  const uint8 all[3] = {0x80, 0xFF, 0x41};
  UniChar out[4] = {};
  EXPECT_EQ(MacRoman_To_UTF16(all, 3, UStrSpan(out, 4)), 3);
  EXPECT_EQ(std::u16string(reinterpret_cast<char16_t*>(out)), u"\u00c4\u02c7A");
  UniChar small[3] = {};
  EXPECT_EQ(MacRoman_To_UTF16(all, 3, UStrSpan(small, 3)), 2);
  EXPECT_EQ(small[2], 0);
}

TEST_F(OlderProjects, LongTextIsCutTo3999Bytes) {
  V3Text t;
  t.chars.assign(5000, 'a');
  t.chars[3998] = 'Z';
  t.chars[3999] = 'Y';
  Write_One_Text(t);
  ASSERT_TRUE(Import());
  const std::u16string s = Text_Of(*Items(TEXT_BLOCK).back()->om);
  EXPECT_EQ(s.size(), 3999u);
  EXPECT_EQ(s.back(), u'Z');
}

TEST_F(OlderProjects, EachPhotoVersionBecomesAPhoto) {
  struct Case {
    const char* what;
    int16 version;
    std::vector<int16> words;
    int16 angle, opacity, corner, feather, darkness, scaling;
  };
  const int16 def_angle = SLIDER_VALUES[PHOTO_ANGLE_SLIDER].defaultval;
  const int16 def_corner = SLIDER_VALUES[PHOTO_CORNER_SLIDER].defaultval;
  const int16 def_feather = SLIDER_VALUES[PHOTO_FEATHER_SLIDER].defaultval;
  const Case cases[] = {
      // angle, scaling, aspect, darkness, opacity, then the angle again
      {"version 1", 1, {100, 50, 0, 40, 70, 450}, 450, 70, 0, 0, 40, 50},
      {"version 1, opacity 0", 1, {0, 50, 0, 40, 0, -900}, -900, 100, 0, 0, 40, 50},
      // a library picture of version 2 takes the sliders' defaults
      {"version 2", 2, {300, 60, 10, 45, 30, 20, 7, 0, 0}, def_angle, 100, def_corner, def_feather, 45, 60},
      {"version 3", 3, {300, 60, 10, 45, 30, 20, 7, 0, 0}, 300, 30, 20, 7, 45, 60},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    V3Photo p;
    p.words = c.words;
    {
      V3Writer w(Path());
      w.Canv(CD_LABEL);
      w.Photos(c.version, {p});
    }
    ASSERT_TRUE(Import()) << defects;
    const a_ph_rec& ph = *Items(PHOTO_BLOCK).back()->ph;
    EXPECT_EQ(ph.spec.source.kind, SOURCE_DATABASE);
    EXPECT_EQ(ph.spec.source.key.b, 4);
    EXPECT_EQ(ph.spec.angle, c.angle);
    EXPECT_EQ(ph.spec.opacity, c.opacity);
    EXPECT_EQ(ph.spec.corner, c.corner);
    EXPECT_EQ(ph.spec.feather, c.feather);
    EXPECT_EQ(ph.spec.darkness, c.darkness);
    // scaling x 10 over the old height, in the unit's height
    EXPECT_EQ(ph.spec.scalingh, c.scaling * 10 * kCells / 640);
    EXPECT_EQ(ph.spec.scalingv, ph.spec.scalingh);
    EXPECT_TRUE(ph.spec.flipx);
    EXPECT_FALSE(ph.spec.flipy);
    EXPECT_TRUE(ph.spec.constrainf);
    EXPECT_EQ(ph.spec.edge_bord_color.r, 114);
    EXPECT_EQ(ph.spec.edge_bord_color.b, 61);
    EXPECT_EQ(ph.spec.subset, (Rect{0, 0, 40, 60}));
    EXPECT_EQ(ph.dst_center, (Point{int16(160 * kCells / 640), int16(320 * kCells / 640)}));
  }
}

// Version-2 records of picture files: the embed index in front of the
// values unless they read as a plain record.
TEST_F(OlderProjects, VersionTwoShiftTest) {
  struct Case {
    const char* what;
    std::vector<int16> words;  // as stored
    int16 angle, scaling, opacity;
  };
  const int16 def_angle = SLIDER_VALUES[PHOTO_ANGLE_SLIDER].defaultval;
  const Case cases[] = {
      {"aspect 10, opacity 100, feather 0: plain", {450, 70, 10, 50, 100, 5, 0, 0, 0}, def_angle, 70, 100},
      {"opacity 0 and corner 0: plain", {450, 70, 10, 50, 0, 0, 0, 0, 0}, def_angle, 70, 100},
      {"opacity 0 with a corner: shifted", {0, 450, 70, 10, 50, 0, 5, 0, 0, 9}, 450, 70, 100},
      {"feather: shifted", {3, 300, 80, 10, 50, 60, 0, 4, 0, 0}, 300, 80, 60},
      {"aspect 0: shifted", {0, -300, 90, 0, 50, 40, 0, 0, 0, 0}, -300, 90, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    V3Photo p;
    p.kind = V3_SOURCE_EXTFILE;
    p.path = "C:\\Old Pictures\\none.jpg";
    p.words = c.words;
    {
      V3Writer w(Path());
      w.Canv(CD_LABEL);
      w.Photos(2, {p});
    }
    ASSERT_TRUE(Import()) << defects;
    const a_ph_rec& ph = *Items(PHOTO_BLOCK).back()->ph;
    EXPECT_EQ(ph.spec.angle, c.angle);
    EXPECT_EQ(ph.spec.scalingh, c.scaling * 10 * kCells / 640);
    EXPECT_EQ(ph.spec.opacity, c.opacity);
    EXPECT_EQ(ph.dst_center.h, int16(320 * kCells / 640));
    // Not found: the photo is there, its picture a placeholder.
    EXPECT_TRUE(Is_Photo_Missing(&ph) || ph.spec.source.sid != 0);
  }
}

// Every picture source: embedded bytes, a stored Windows path found by its
// name in the project's folder whatever its case, a pasted picture, a file
// found nowhere.
TEST_F(OlderProjects, PictureSources) {
  {
    std::ofstream f(Path("Beach.BMP"), std::ios::binary);
    const Bytes bmp = Tiny_BMP();
    f.write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
  }
  V3Photo embedded, by_name, clip, lost, grey;
  embedded.kind = by_name.kind = lost.kind = V3_SOURCE_EXTFILE;
  embedded.path = "C:\\gone\\x.bmp";
  embedded.embedx = 4;
  by_name.path = "D:\\My Pictures\\beach.bmp";
  lost.path = "E:\\nowhere\\lost.bmp";
  clip.kind = V3_SOURCE_CLIP;
  clip.clipx = 2;
  grey.kind = V3_SOURCE_CLIP;
  grey.clipx = 3;
  {
    V3Writer w(Path());
    w.Canv(CD_LABEL);
    w.Photos(3, {embedded, by_name, clip, lost, grey});
    w.Embd(4, Tiny_BMP(), "BMPf");
    w.Picture("CLIP", 2, 3, 5, 32, [](int, int) { return 0xFF00FF00u; });
    w.Picture("CLIP", 3, 4, 2, 8, [](int, int) { return 128u; });
  }
  ASSERT_TRUE(Import()) << defects;
  const auto photos = Items(PHOTO_BLOCK);
  ASSERT_EQ(photos.size(), 5u);
  Rect natural{};
  const a_ph_rec& e = *photos[0]->ph;
  EXPECT_FALSE(Is_Photo_Missing(&e));
  EXPECT_EQ(e.codec, FourCC("BMPf"));
  ASSERT_TRUE(Basis_Natural(e.spec.source.sid, natural));
  EXPECT_EQ(natural, (Rect{0, 0, 2, 2}));
  const a_ph_rec& n = *photos[1]->ph;
  EXPECT_FALSE(Is_Photo_Missing(&n));
  EXPECT_EQ(std::string(n.spec.source.path.name), Path("Beach.BMP"));
  const a_ph_rec& c = *photos[2]->ph;
  EXPECT_EQ(c.spec.source.kind, SOURCE_CLIPBOARD);
  ASSERT_TRUE(Basis_Natural(c.spec.source.sid, natural));
  EXPECT_EQ(natural, (Rect{0, 0, 5, 3}));
  const a_ph_rec& l = *photos[3]->ph;
  EXPECT_EQ(std::string(l.spec.source.path.name), "E:\\nowhere\\lost.bmp");
  // Found nowhere: it stays missing (no picture of any other photo either),
  // its box as large as the photo placed, on its centre.
  EXPECT_TRUE(Is_Photo_Missing(&l));
  EXPECT_FALSE(Basis_Natural(l.spec.source.sid, natural));
  for (const a_oj_item* p : photos)
    if (p->ph != &l) EXPECT_NE(p->ph->spec.source.sid, l.spec.source.sid);
  EXPECT_GT(l.dst_box.right - l.dst_box.left, 40);
  EXPECT_GT(l.dst_box.bottom - l.dst_box.top, 30);
  EXPECT_NEAR((l.dst_box.left + l.dst_box.right) / 2, l.dst_center.h, 1);
  EXPECT_NEAR((l.dst_box.top + l.dst_box.bottom) / 2, l.dst_center.v, 1);
  // A grey pasted picture is made a colour one.
  const a_ph_rec& g = *photos[4]->ph;
  ASSERT_TRUE(Basis_Natural(g.spec.source.sid, natural));
  EXPECT_EQ(natural, (Rect{0, 0, 2, 4}));
  EXPECT_FALSE(Is_Photo_Missing(&g));
}

// The painting lands on the paint layer scaled to the unit; its mask says
// where it is painted.
TEST_F(OlderProjects, PaintingIsScaledOntoThePaintLayer) {
  {
    V3Writer w(Path());
    w.Canv(CD_LABEL);
    // Left half red, right half blue; painted only in the top half.
    w.Picture("LAYR", 1, 64, 64, 32, [](int x, int) { return x < 32 ? 0xFFFF0000u : 0xFF0000FFu; });
    w.Picture("MASK", 1, 64, 64, 8, [](int, int y) { return y < 32 ? 255u : 0u; });
  }
  ASSERT_FALSE(g_doc.up->paintinuse);
  ASSERT_TRUE(Import()) << defects;
  ASSERT_TRUE(g_doc.up->paintinuse);
  const a_cached_gworld& layer = g_doc.up->statics[PAINT1_LAYER];
  ASSERT_NE(layer.world, nullptr);
  ASSERT_NE(layer.mask, nullptr);
  auto pixel = [&](int x, int y) {
    const PixMap& p = layer.world->pix;
    return reinterpret_cast<const a_pixel32*>(reinterpret_cast<const uint8*>(p.baseAddr) + size_t(y) * PixMap_RowBytes(p))[x];
  };
  auto mask = [&](int x, int y) {
    const PixMap& p = layer.mask->pix;
    return reinterpret_cast<const uint8*>(p.baseAddr)[size_t(y) * PixMap_RowBytes(p) + size_t(x)];
  };
  EXPECT_EQ(pixel(300, 300).r, 255);
  EXPECT_EQ(pixel(300, 300).b, 0);
  EXPECT_EQ(pixel(1000, 300).b, 255);
  EXPECT_EQ(pixel(1000, 300).r, 0);
  EXPECT_EQ(mask(300, 300), 255);
  EXPECT_EQ(mask(1000, 1000), 0);
  EXPECT_EQ(mask(kCells - 1, 500), 255);
}

// Every kind of damage: a clear defect, nothing imported, even when the
// damage comes after parts that read well.
TEST_F(OlderProjects, DamageIsRefusedAndTheUnitKept) {
  struct Case {
    const char* what;
    a_defect defect;
    std::function<void(V3Writer&)> write;
  };
  V3Text good_text;
  V3Photo good_photo;
  auto painting = [](V3Writer& w, int16 mask_w, bool with_mask) {
    w.Picture("LAYR", 1, 16, 16, 32, [](int, int) { return 0xFF112233u; });
    if (with_mask) w.Picture("MASK", 1, mask_w, 16, 8, [](int, int) { return 255u; });
  };
  const Case cases[] = {
      {"no CANV", DEFECT_UNIT_MISSING, [&](V3Writer& w) { w.Texts(3, {good_text}); }},
      {"CANV version 2", DEFECT_UNIT_VERSION, [&](V3Writer& w) { w.Canv(CD_LABEL, 2); }},
      {"doc kind 17", DEFECT_V3, [&](V3Writer& w) { w.Canv(17); }},
      {"LAYR without MASK", DEFECT_V3, [&](V3Writer& w) { w.Canv(CD_LABEL); painting(w, 16, false); }},
      {"MASK of another size", DEFECT_V3, [&](V3Writer& w) { w.Canv(CD_LABEL); painting(w, 8, true); }},
      {"FONT count -1", DEFECT_V3, [&](V3Writer& w) { w.Canv(CD_LABEL); w.Fonts({}, -1); }},
      {"FONT count past the chunk", DEFECT_V3, [&](V3Writer& w) { w.Canv(CD_LABEL); w.Fonts({{1, "A"}}, 900); }},
      // Counts that pass the least-size test, the last entry cut off by the chunk's end.
      {"FONT entry past the chunk", DEFECT_V3,
       [&](V3Writer& w) { w.Canv(CD_LABEL); w.Fonts({{1, "A name long enough"}}, 2); }},
      {"TEXT block past the chunk", DEFECT_V3,
       [&](V3Writer& w) {
         V3Text t;
         t.chars = Bytes(7, 'x');
         w.Canv(CD_LABEL);
         w.Texts(3, {t}, 2);
       }},
      {"PHOT photo past the chunk", DEFECT_V3,
       [&](V3Writer& w) {
         V3Photo p;
         p.kind = V3_SOURCE_EXTFILE;
         p.path = std::string(40, 'p') + ".jpg";
         w.Canv(CD_LABEL);
         w.Photos(3, {p}, 2);
       }},
      {"TEXT version 4", DEFECT_V3, [&](V3Writer& w) { w.Canv(CD_LABEL); w.Texts(4, {}); }},
      {"TEXT version 0", DEFECT_V3, [&](V3Writer& w) { w.Canv(CD_LABEL); w.Texts(0, {}); }},
      {"TEXT count -3", DEFECT_V3, [&](V3Writer& w) { w.Canv(CD_LABEL); w.Texts(3, {good_text}, -3); }},
      {"TEXT count past the chunk", DEFECT_V3, [&](V3Writer& w) { w.Canv(CD_LABEL); w.Texts(3, {good_text}, 50); }},
      {"nxyl -1", DEFECT_V3,
       [&](V3Writer& w) {
         V3Text t;
         t.nxyl = -1 & 0xFFFF;
         w.Canv(CD_LABEL);
         w.Texts(3, {t});
       }},
      {"nxyl past the chunk", DEFECT_V3,
       [&](V3Writer& w) {
         V3Text t;
         t.nxyl = 30000;
         w.Canv(CD_LABEL);
         w.Texts(3, {t});
       }},
      {"text layout 9", DEFECT_V3,
       [&](V3Writer& w) {
         V3Text t;
         t.layout = 9;
         w.Canv(CD_LABEL);
         w.Texts(3, {t});
       }},
      {"PHOT version 4", DEFECT_V3, [&](V3Writer& w) { w.Canv(CD_LABEL); w.Photos(4, {}); }},
      {"PHOT count -1", DEFECT_V3, [&](V3Writer& w) { w.Canv(CD_LABEL); w.Photos(3, {good_photo}, -1); }},
      {"PHOT count past the chunk", DEFECT_V3, [&](V3Writer& w) { w.Canv(CD_LABEL); w.Photos(3, {good_photo}, 300); }},
      {"photo source kind 7", DEFECT_V3,
       [&](V3Writer& w) {
         V3Photo p;
         p.kind = 7;
         w.Canv(CD_LABEL);
         w.Photos(3, {p});
       }},
      {"EMBD length -1", DEFECT_V3,
       [&](V3Writer& w) {
         V3Photo p;
         p.kind = V3_SOURCE_EXTFILE;
         p.embedx = 1;
         w.Canv(CD_LABEL);
         w.Photos(3, {p});
         w.Embd(1, Tiny_BMP(), "BMPf", -1);
       }},
      {"EMBD length past the chunk", DEFECT_V3,
       [&](V3Writer& w) {
         V3Photo p;
         p.kind = V3_SOURCE_EXTFILE;
         p.embedx = 1;
         w.Canv(CD_LABEL);
         w.Photos(3, {p});
         w.Embd(1, Tiny_BMP(), "BMPf", 100000);
       }},
      // A good painting and texts before a damaged photo: nothing of them lands.
      {"PHOT damaged after good parts", DEFECT_V3,
       [&](V3Writer& w) {
         V3Photo p;
         p.kind = 5;
         w.Canv(CD_LABEL);
         painting(w, 16, true);
         w.Texts(3, {good_text, good_text});
         w.Photos(3, {good_photo, p});
       }},
  };
  const UnitState before = State();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    {
      V3Writer w(Path());
      c.write(w);
    }
    EXPECT_FALSE(Import());
    EXPECT_NE(defects & Defect_Bit(c.defect), 0u) << "defects " << defects;
    EXPECT_EQ(State(), before);
  }
}

TEST_F(OlderProjects, ObjectsThatDoNotFitAreRefusedWhole) {
  // The unit's list two short of full; the file holds two texts and a photo.
  while (g_doc.up->oj.nlist < MAX_OJ - 2) Obj_Append(g_doc.up->oj, TEXT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), nullptr, New_OM_Rec());
  {
    V3Writer w(Path());
    w.Canv(CD_LABEL);
    w.Texts(3, {V3Text{}, V3Text{}});
    w.Photos(3, {V3Photo{}});
  }
  const UnitState before = State();
  EXPECT_FALSE(Import());
  EXPECT_NE(defects & Defect_Bit(DEFECT_V3), 0u);
  EXPECT_EQ(V3_Objects_Refused(), 3);
  EXPECT_EQ(State(), before);
}

// Values past their 16-bit fields or sliders are held to the range.
TEST_F(OlderProjects, LargeValuesAreClamped) {
  V3Text t;
  t.radius = 32767;  // version 1: (32767 - 10) x 4 passes 16 bits
  t.glow_radius = 900;
  t.sizex = 200;
  V3Photo p;
  p.words = {0, 32767, 0, 900, 32767, 32767};  // version 1
  {
    V3Writer w(Path());
    w.Canv(J2_CARD);
    w.Texts(1, {t});
    w.Photos(1, {p});
  }
  ASSERT_TRUE(Import()) << defects;
  const a_om_rec& om = *Items(TEXT_BLOCK).back()->om;
  EXPECT_EQ(om.radius, SLIDER_VALUES[TEXT_RADIUS_SLIDER].maxval);
  const a_ph_rec& ph = *Items(PHOTO_BLOCK).back()->ph;
  EXPECT_EQ(ph.spec.scalingh, SLIDER_VALUES[PHOTO_SIZE_SLIDER].maxval);
  EXPECT_EQ(ph.spec.opacity, SLIDER_VALUES[PHOTO_OPACITY_SLIDER].maxval);
  EXPECT_EQ(ph.spec.darkness, SLIDER_VALUES[PHOTO_DARKNESS_SLIDER].maxval);
  EXPECT_EQ(ph.spec.angle, SLIDER_VALUES[PHOTO_ANGLE_SLIDER].maxval);
}

TEST_F(OlderProjects, OnlyTheImportReadsAnOlderProject) {
  {
    V3Writer w(Path());
    w.Canv(CD_LABEL);
    w.Texts(3, {V3Text{}});
  }
  EXPECT_TRUE(Is_V3_File(Spec(Path())));
  EXPECT_FALSE(Is_V3_File(Spec(Path("absent.CDL"))));
  testdir::Write_Text(Path("short.CDL"), std::string("\xCD\xCD\x00", 3));
  EXPECT_FALSE(Is_V3_File(Spec(Path("short.CDL"))));
  testdir::Write_Text(Path("v8.CD4"), std::string("\xCD\xCD\x00\x08", 4));
  EXPECT_FALSE(Is_V3_File(Spec(Path("v8.CD4"))));
  // Opened as a project it is refused (alert 53) and the document stays.
  const UnitState before = State();
  EXPECT_FALSE(Read_DISC(Spec(Path()), false));
  EXPECT_NE(defects & Defect_Bit(DEFECT_FILE_VERSION), 0u);
  EXPECT_TRUE(g_doc.doc_open);
  EXPECT_EQ(State(), before);
}

// The import command: one history step for an import, none and an alert
// for a refusal.
TEST_F(OlderProjects, ImportCommandRecordsOneStep) {
  {
    V3Writer w(Path());
    w.Canv(CD_LABEL);
    w.Texts(3, {V3Text{}});
  }
  {
    V3Writer w(Path("bad.CDL"));
    w.Canv(CD_LABEL);
    w.Texts(7, {V3Text{}});
  }
  const int32 steps = History_Count();
  EXPECT_TRUE(Do_Import_Velmor(Spec(Path())));
  EXPECT_EQ(History_Count(), steps + 1);
  EXPECT_EQ(History_Last_Op(), OP_IMPORT);
  EXPECT_EQ(Items(TEXT_BLOCK).size(), 1u);

  gs.controller = HUMAN;
  const UnitState before = State();
  for (const auto& [file, alert] : {std::pair{std::string("bad.CDL"), ALERT_IMPORT_DAMAGED},
                                    std::pair{std::string("absent.CDL"), int16(10)}}) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Do_Import_Velmor(Spec(Path(file))));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("alert " + std::to_string(alert)), std::string::npos) << err;
    EXPECT_EQ(History_Count(), steps + 1);
    EXPECT_EQ(State(), before);
  }
  gs.controller = GHOST;
}

// The fixture the program's import session reads: written by the helper
// above, byte for byte the file kept with the tests. VELMOR_WRITE_FIXTURES=1
// writes it anew.
TEST_F(OlderProjects, FixtureFileIsTheHelpersOutput) {
  V3Text title;
  title.chars = {'M', 'i', 'x', ' ', 0x8E, 't', 0x8E, ' ', '1', '9', '9', '8'};
  title.center = Point{200, 320};
  title.sizex = 16;
  V3Text ring;
  ring.layout = LAYOUT3_CIRC_CW;
  ring.chars = {'S', 'i', 'd', 'e', ' ', 'A'};
  ring.rgb[0] = 20;
  ring.rgb[1] = 60;
  ring.rgb[2] = 160;
  V3Photo pasted;
  pasted.kind = V3_SOURCE_CLIP;
  pasted.clipx = 1;
  pasted.subset = Rect{0, 0, 0, 0};
  pasted.words = {0, 1000, 10, 50, 100, 0, 0, 0, 0};
  pasted.dst_center = Point{440, 320};
  {
    V3Writer w(Path());
    w.Canv(CD_LABEL);
    w.Picture("LAYR", 1, 32, 32, 32, [](int x, int y) { return 0xFF000000u | uint32(x * 8) << 16 | uint32(y * 8); });
    w.Picture("MASK", 1, 32, 32, 8, [](int x, int y) { return (x - 16) * (x - 16) + (y - 16) * (y - 16) < 200 ? 255u : 0u; });
    w.Fonts({{7, "DejaVu Sans"}});
    w.Texts(3, {title, ring});
    w.Photos(3, {pasted});
    w.Picture("CLIP", 1, 24, 16, 32, [](int x, int) { return x < 12 ? 0xFFE0A020u : 0xFF2040C0u; });
  }
  std::ifstream made_in(Path(), std::ios::binary);
  const Bytes made((std::istreambuf_iterator<char>(made_in)), std::istreambuf_iterator<char>());
  const std::string kept_path = Fixture_Path("v3/old_label.CDL");
  const char* rewrite = std::getenv("VELMOR_WRITE_FIXTURES");
  if (rewrite != nullptr && std::string(rewrite) == "1") {
    std::ofstream out(kept_path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(made.data()), std::streamsize(made.size()));
  }
  std::ifstream kept_in(kept_path, std::ios::binary);
  const Bytes kept((std::istreambuf_iterator<char>(kept_in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(made, kept);
  ASSERT_TRUE(Do_Import_Velmor(Spec(kept_path))) << defects;
  EXPECT_EQ(Items(TEXT_BLOCK).size(), 2u);
  EXPECT_EQ(Items(PHOTO_BLOCK).size(), 1u);
  EXPECT_TRUE(g_doc.up->paintinuse);
}

}  // namespace
