// Photo objects: the clipboard record (format 768) both ways and the records
// it refuses, moves, turns at the angle slider's ends, fit and cover within
// the size sliders and 16-bit boxes, scaling by a corner, the z-order under
// texts, the full list, drawing (a picture of four coloured quadrants turned
// and flipped, a symbol over a photo), pictures refused by the import with
// their alerts, a large JPEG placed from a reduced basis and read again
// larger for print, and the crop screen's geometry.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "PictLibWrite.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "host/HostAudio.h"
#include "host/HostClipboard.h"
#include "host/HostClock.h"
#include "host/HostCodecs.h"
#include "objects/VoskBlok.h"
#include "objects/VoskEdit.h"
#include "objects/VoskPhot.h"
#include "objects/VoskSym.h"
#include "objects/VoskText.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/ParsQuik.h"
#include "platform/QDRect.h"
#include "platform/SysIO.h"
#include "platform/SysMem.h"
#include "platform/SysScrap.h"
#include "platform/SysSound.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

constexpr int16 kUnitSide = 1417;
constexpr a_oj_kind_set kObjectPhaseKinds = 11;  // photos, symbols and texts
const std::vector<uint8> kRefusedSamples = {0x44, 0x55};

constexpr a_pixel32 Px(uint8 r, uint8 g, uint8 b) { return a_pixel32{{b, g, r, 255}}; }
constexpr a_pixel32 kRed = Px(255, 0, 0), kGreen = Px(0, 255, 0), kBlue = Px(0, 0, 255), kYellow = Px(255, 255, 0),
                    kMagenta = Px(255, 0, 255), kWhite = Px(255, 255, 255);

bool Near(a_pixel32 a, a_pixel32 b) {
  return std::abs(a.r - b.r) < 40 && std::abs(a.g - b.g) < 40 && std::abs(a.b - b.b) < 40;
}
std::string Name(a_pixel32 p) {
  char s[32];
  std::snprintf(s, sizeof s, "(%d, %d, %d)", p.r, p.g, p.b);
  return s;
}

a_pixel32& At(GWorldPtr w, int32 x, int32 y) {
  PixMapPtr pm = Get_GWorld_PixMap(w);
  return *reinterpret_cast<a_pixel32*>(reinterpret_cast<uint8*>(pm->baseAddr) +
                                       size_t(y - pm->bounds.top) * PixMap_RowBytes(*pm) +
                                       size_t(x - pm->bounds.left) * 4);
}

// A picture of w x h in four coloured quadrants: red at the top left,
// green at the top right, blue at the bottom right, yellow at the bottom left.
a_masked_gworld Quadrants(int16 w, int16 h) {
  a_masked_gworld mw;
  Null_MW(mw);
  mw.bounds = Rect{0, 0, h, w};
  EXPECT_EQ(New_GWorld(mw.bounds, 32, nullptr, mw.fore), 0);
  for (int32 y = 0; y < h; ++y)
    for (int32 x = 0; x < w; ++x)
      At(mw.fore, x, y) = y < h / 2 ? (x < w / 2 ? kRed : kGreen) : (x < w / 2 ? kYellow : kBlue);
  return mw;
}

// A symbol's stored picture: 8-bit coverage, full ink inside a margin.
a_art_object Symbol_Obj(a_keyset key, int32 w, int32 h) {
  a_art_image8 img;
  img.width = w;
  img.height = h;
  img.index.assign(size_t(w) * size_t(h), 0);
  for (int32 y = 4; y < h - 4; ++y)
    for (int32 x = 4; x < w - 4; ++x) img.index[size_t(y) * size_t(w) + size_t(x)] = 255;
  a_art_object o;
  o.key = key;
  std::string err;
  EXPECT_TRUE(Pixt_Encode8(img, 0x40, false, o.data, err)) << err;
  return o;
}

a_art_object Sound_Obj(int16 id, const std::vector<uint8>& samples) {
  a_art_object o;
  o.key = a_keyset{6, 0, id, 0};
  std::string err;
  EXPECT_TRUE(Sound_Encode8(8000, samples, o.data, err)) << err;
  return o;
}

// A CMYK JPEG (libjpeg writes it as Adobe does).
std::vector<uint8> Cmyk_Jpeg(int w, int h) {
  jpeg_compress_struct c{};
  jpeg_error_mgr e{};
  c.err = jpeg_std_error(&e);
  jpeg_create_compress(&c);
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buf, &size);
  c.image_width = JDIMENSION(w);
  c.image_height = JDIMENSION(h);
  c.input_components = 4;
  c.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8> row(size_t(w) * 4, 100);
  while (c.next_scanline < c.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8> out(buf, buf + size);
  std::free(buf);
  jpeg_destroy_compress(&c);
  return out;
}

std::vector<uint8> Jpeg_Of(int32 w, int32 h, uint32 seed) {
  std::vector<uint8> px(size_t(w) * size_t(h) * 4);
  for (size_t i = 0; i < px.size(); ++i) px[i] = uint8(((i + seed) * 2654435761u) >> 13);
  std::vector<uint8> jpg;
  EXPECT_EQ(Host_Encode_JPEG(HostImageSource{px.data(), w, h, size_t(w) * 4, 72}, 80, jpg), HC_OK);
  return jpg;
}

class PhotoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    VoskBlok_Init();
    SV_Init();
    History_Null();
    g_ed = a_edit_rec{};
    Host_Clock_Set_Manual(true);
    Host_Audio_Reset_Sink();
    Host_Clipboard_Reset();
    OP_Init();
    OPUtil_Init();
    Sound_Enable(true);
    for (int16 i = 0; i < NSLIDERS; ++i) gs.slider_vals[i] = SLIDER_VALUES[i].defaultval;
    for (int16 i = 0; i < NTOGGLES; ++i) gs.toggle_vals[i] = TOGGLE_VALUES[i].toggle_defaultval;
    gs.ncolor_table = 4;
    gs.color_table[0] = Px(0, 0, 0);
    gs.color_table[1] = kMagenta;
    gs.color_table[2] = kWhite;
    gs.color_table[3] = kGreen;
    dir_ = testdir::Make_Temp_Dir("velmor-photo");
    ASSERT_FALSE(dir_.empty());
    Open_Library();

    unit_ = New_Unit_Rec();
    ASSERT_NE(unit_, nullptr);
    unit_->paintbounds = Rect{0, 0, kUnitSide, kUnitSide};
    g_doc.doc_units[0] = unit_;
    g_doc.up = unit_;
    g_doc.upx = 1;
    g_doc.doc_open = true;
    gs.nviews = 1;
    gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{0, 0, kUnitSide, kUnitSide}};
    gs.curr_phase = PHOTO_PHASE;
    gs.curr_kindset = kObjectPhaseKinds;
  }
  void TearDown() override {
    OMast_Dispose(unit_->oj);
    Dispose_Unit_Rec(unit_);
    g_doc.up = nullptr;
    g_doc.doc_units[0] = nullptr;
    g_doc.doc_open = false;
    Cache_Clear();
    Sound_Stop();
    OP_Stop();
    Host_Clipboard_Reset();
    Host_Audio_Reset_Sink();
    Host_Clock_Set_Manual(false);
    testdir::Remove_Dir(dir_);
  }

  void Open_Library() {
    std::vector<a_art_object> objs = {Sound_Obj(SND_OBJ_REFUSED, kRefusedSamples),
                                      Symbol_Obj(a_keyset{11, 1, 1, 0}, 60, 60)};
    std::vector<uint8> bytes;
    std::string err;
    ASSERT_TRUE(ArtLib_Build(objs, bytes, err)) << err;
    const std::string path = dir_ + "/lib.ART4";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    FSSpec spec;
    ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
    ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY);
  }

  // Refusal sounds played since the last call.
  static int Refusals() {
    int n = 0;
    for (const HostAudioEvent& e : Host_Audio_Events())
      if (e.kind == HostAudioEventKind::PLAY && e.samples == kRefusedSamples) ++n;
    Host_Audio_Reset_Sink();
    return n;
  }

  a_oj_master& List() { return unit_->oj; }
  a_ph_rec* Ph(int32 omx) { return Obj_Item(omx)->ph; }

  // The quadrant picture pasted as a new photo (selected); its index.
  int32 Paste_Quadrants(int16 w = 200, int16 h = 100) {
    Photo_Paste(Quadrants(w, h), SOURCE_CLIPBOARD);
    int32 omx = ENUM_START;
    EXPECT_TRUE(Enum(true, true, OBJECT_KINDS, omx));
    return omx;
  }

  int32 Add_Text(Rect box) {
    a_om_rec* om = New_OM_Rec();
    om->bbox = box;
    return Obj_Append(List(), TEXT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), nullptr, om);
  }

  // Every visible photo and symbol drawn bottom to top into a white world
  // over the unit, as the screen merges them at zoom 1.
  GWorldPtr Render() {
    GWorldPtr w = nullptr;
    EXPECT_EQ(New_GWorld(unit_->paintbounds, 32, nullptr, w), 0);
    Fill_World_White(w, unit_->paintbounds);
    for (int32 omx = ENUM_START; Enum(true, false, a_oj_kind_set(Kind_Bit(PHOTO_BLOCK) | Kind_Bit(SYMBOL_BLOCK)), omx);)
      PH_Draw(w, Ph(omx), FOR_SCREEN, nullptr);
    return w;
  }

  std::vector<uint8> Copied(int32 omx) {
    Scrap_Clear();
    Scrap_Add_PH(Obj_Item(omx)->kind, Ph(omx));
    Handle h = nullptr;
    Scrap_Get_Handle(h, SCRAP_PH);
    if (h == nullptr) return {};
    const uint8* p = reinterpret_cast<const uint8*>(Handle_Lock(h));
    std::vector<uint8> out(p, p + Handle_GetSize(h));
    Dispose_Handle(h);
    return out;
  }

  std::string Write(const std::string& name, const std::vector<uint8>& bytes) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  static FSSpec Spec(const std::string& path) {
    FSSpec s{};
    Path_From_Text(s, path.c_str());
    return s;
  }

  a_doc_unit* unit_ = nullptr;
  std::string dir_;
};

int16 I16(const std::vector<uint8>& b, size_t at) { return int16(uint16(b[at] | (b[at + 1] << 8))); }

TEST_F(PhotoTest, ClipboardRecordRoundTrip) {
  const int32 omx = Paste_Quadrants();
  a_ph_rec* ph = Ph(omx);
  ph->spec.angle = -900;
  ph->spec.flipy = true;
  ph->spec.edge_kind = PHOTOEDGE_SCALLOP;
  ph->spec.shad_dx = -7;
  ph->spec.edge_bord_color = Px(1, 2, 3);
  ph->spec.subset = Rect{10, 20, 90, 180};
  ph->spec.hintx = 77;
  ph->codec = FourCC("JPEG");
  Photo_Recalc(omx);

  const std::vector<uint8> b = Copied(omx);
  ASSERT_EQ(b.size(), PASTED_PH_SIZE);
  EXPECT_EQ(b[0], PHOTO_BLOCK);
  EXPECT_EQ(b[3], SOURCE_CLIPBOARD);
  EXPECT_EQ(I16(b, 266), -900);                   // angle, little-endian
  EXPECT_EQ(I16(b, 266 + 2 * 15), -7);            // shad_dx
  EXPECT_EQ(b[305], 1);                           // flipy
  EXPECT_EQ(b[315], 3);                           // edge_bord_color: b, g, r, a
  EXPECT_EQ(I16(b, 323), 10);                     // subset top, left, bottom, right
  EXPECT_EQ(I16(b, 329), 180);
  for (size_t i = 331; i < 335; ++i) EXPECT_EQ(b[i], 0) << "hintx byte " << i;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[335]), 4), "JPEG");

  const int32 before = List().nlist;
  const uint32 seq = List().seq;
  Do_Paste_PH(b.data(), uint32(b.size()));
  ASSERT_EQ(List().nlist, before + 1);
  EXPECT_NE(List().seq, seq);
  const a_ph_rec* got = Ph(List().nlist);
  // The pasted object copies back to the same bytes.
  EXPECT_EQ(Copied(List().nlist), b);
  EXPECT_EQ(got->codec, ph->codec);
  EXPECT_TRUE(got->dst_box == ph->dst_box);
  EXPECT_TRUE(Is_Obj_Selected(List().nlist));
  EXPECT_FALSE(Is_Obj_Selected(omx));
  EXPECT_EQ(History_Last_Op(), OP_PHOTO_PASTE);
  EXPECT_EQ(Refusals(), 0);

  // A symbol goes as kind 1 with its library key; a file's path is cut to
  // the record's 255 bytes and stays terminated.
  ASSERT_TRUE(Symbol_Add(1));
  const int32 sym = List().nlist;
  const std::vector<uint8> s = Copied(sym);
  EXPECT_EQ(s[0], SYMBOL_BLOCK);
  EXPECT_EQ(I16(s, 4), 11);
  EXPECT_EQ(s[310], 1);  // is_symbol
  a_ph_rec long_path = *ph;
  long_path.spec.source.kind = SOURCE_EXTFILE;
  std::memset(long_path.spec.source.path.name, 'x', 600);
  Scrap_Clear();
  Scrap_Add_PH(PHOTO_BLOCK, &long_path);
  Handle h = nullptr;
  Scrap_Get_Handle(h, SCRAP_PH);
  ASSERT_NE(h, nullptr);
  const uint8* p = reinterpret_cast<const uint8*>(Handle_Lock(h));
  EXPECT_EQ(p[4 + 6 + 254], 'x');
  EXPECT_EQ(p[4 + 6 + 255], 0);
  Dispose_Handle(h);
}

TEST_F(PhotoTest, MalformedRecordsAreRefusedWithTheSoundAndAddNothing) {
  const int32 omx = Paste_Quadrants();
  const std::vector<uint8> good = Copied(omx);
  ASSERT_EQ(good.size(), PASTED_PH_SIZE);
  struct Case {
    const char* what;
    size_t at;
    std::vector<uint8> bytes;  // little-endian
    int size_delta = 0;
  };
  const Case cases[] = {
      {"one byte short", 0, {}, -1},
      {"one byte long", 0, {}, 1},
      {"object kind 2 (a slot)", 0, {2}},
      {"object kind 3 (a text)", 0, {3}},
      {"no source", 3, {0}},
      {"an empty slot's source", 3, {4}},
      {"source kind 9", 3, {9}},
      {"edge kind 4", 266 + 2 * 7, {4, 0}},
      {"edge kind -1", 266 + 2 * 7, {0xFF, 0xFF}},
      {"horizontal scaling 49", 268, {49, 0}},
      {"vertical scaling 6001", 270, {0x71, 0x17}},
      {"vertical scaling 0", 270, {0, 0}},
      {"angle 1801", 266, {0x09, 0x07}},
      {"opacity 0", 266 + 2 * 4, {0, 0}},
      {"shadow smoothness 9", 266 + 2 * 18, {9, 0}},
      {"colour distance 73", 266 + 2 * 14, {73, 0}},
      {"empty subset", 323 + 4, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8> b = good;
    for (size_t i = 0; i < c.bytes.size(); ++i) b[c.at + i] = c.bytes[i];
    b.resize(size_t(int(b.size()) + c.size_delta), 0);
    const int32 n = List().nlist;
    Refusals();
    Do_Paste_PH(b.data(), uint32(b.size()));
    EXPECT_EQ(List().nlist, n);
    EXPECT_EQ(Refusals(), 1);
  }
  // A name that fills its 256 bytes without an end.
  std::vector<uint8> b = good;
  b[3] = SOURCE_EXTFILE;
  std::memset(&b[4 + 6], 'a', 256);
  Do_Paste_PH(b.data(), uint32(b.size()));
  EXPECT_EQ(List().nlist, 2);
  EXPECT_EQ(Refusals(), 1);
}

TEST_F(PhotoTest, AWellFormedRecordWhosePictureIsGoneAddsNothingSilently) {
  const int32 omx = Paste_Quadrants();
  std::vector<uint8> b = Copied(omx);
  // A picture the render cache no longer keeps (sid unknown).
  b[1] = 0x34;
  b[2] = 0x12;
  // A library key the library does not hold.
  std::vector<uint8> k = b;
  k[3] = SOURCE_DATABASE;
  k[4] = 11;
  k[6] = 1;
  k[8] = 99;
  Refusals();
  for (const std::vector<uint8>* r : {&b, &k}) {
    Do_Paste_PH(r->data(), uint32(r->size()));
    EXPECT_EQ(List().nlist, 2);
  }
  EXPECT_EQ(Refusals(), 0);
}

TEST_F(PhotoTest, AFullListRefusesEveryNewObjectWithTheSound) {
  const int32 omx = Paste_Quadrants();
  const std::vector<uint8> b = Copied(omx);
  while (List().nlist < MAX_OJ) PH_Dup(Ph(omx), PHOTO_BLOCK);
  Refusals();
  Do_Paste_PH(b.data(), uint32(b.size()));
  Photo_Paste(Quadrants(10, 10), SOURCE_CLIPBOARD);  // the world is freed, not leaked
  EXPECT_FALSE(Symbol_Add(1));
  EXPECT_EQ(List().nlist, MAX_OJ);
  EXPECT_EQ(Refusals(), 3);
}

TEST_F(PhotoTest, MovesKeepToTheUnitAndConstrainToTheLargerAxis) {
  const int32 omx = Paste_Quadrants();
  struct Case {
    Point from;
    int16 dx, dy;
    bool constrain;
    Point to;
  } const cases[] = {
      {{500, 500}, 5, 5, true, {500, 505}},       // equal: only across
      {{500, 500}, -3, 7, true, {507, 500}},      // down wins
      {{500, 500}, -8, 7, false, {507, 492}},
      {{500, 500}, 2000, -900, false, {0, kUnitSide - 1}},  // held within the paintbounds
  };
  for (const Case& c : cases) {
    Photo_Set_Center(omx, c.from);
    const Rect box = Ph(omx)->dst_box;
    Photo_Delta_XY1(omx, c.constrain, c.dx, c.dy);
    EXPECT_TRUE(Ph(omx)->dst_center == c.to) << c.dx << "," << c.dy;
    // The box moves with the centre.
    EXPECT_EQ(Ph(omx)->dst_box.left - box.left, c.to.h - c.from.h);
    EXPECT_EQ(Ph(omx)->dst_box.top - box.top, c.to.v - c.from.v);
  }
  // -10000 keeps a coordinate.
  Photo_Set_Center(omx, Point{-10000, 321});
  EXPECT_TRUE(Ph(omx)->dst_center == (Point{0, 321}));
}

TEST_F(PhotoTest, QuarterTurnsWrapAtTheAngleSlidersEnds) {
  const int32 omx = Paste_Quadrants();
  struct Case {
    int16 from;
    bool cw;
    int16 to;
  } const cases[] = {
      {0, true, -900}, {-900, true, -1800}, {-1800, true, 900}, {-1500, true, 1200},
      {0, false, 900}, {900, false, 1800},  {1800, false, -900}, {1200, false, -1500},
  };
  for (const Case& c : cases) {
    Ph(omx)->spec.angle = c.from;
    c.cw ? Photo_Rotate_CW() : Photo_Rotate_CCW();
    EXPECT_EQ(Ph(omx)->spec.angle, c.to) << c.from << (c.cw ? " clockwise" : " counter-clockwise");
  }
  EXPECT_EQ(History_Last_Op(), OP_PHOTO_ANGLE);
  // A quarter turn swaps the box's sides.
  Ph(omx)->spec.angle = 0;
  Photo_Recalc(omx);
  const Rect flat = Ph(omx)->dst_box;
  Photo_Rotate_CW();
  EXPECT_EQ(Ph(omx)->dst_box.right - Ph(omx)->dst_box.left, flat.bottom - flat.top);
  // Nothing selected: the refusal.
  Obj_Select_None();
  Refusals();
  Photo_Rotate_CW();
  Photo_FlipX();
  EXPECT_EQ(Refusals(), 2);
}

TEST_F(PhotoTest, FitAndCoverKeepToTheSlidersAndTo16BitBoxes) {
  struct Case {
    int16 w, h;
    void (*command)();
    int16 sh, sv;
  } const cases[] = {
      {200, 100, Photo_Fit_H, 7085, 7085},  // 1417 / 200 is beyond 600 %: the slider's end
      {2834, 100, Photo_Fit_H, 500, 500},
      {100, 2834, Photo_Fit_V, 500, 500},
      {2834, 1417, Photo_Cover_P, 1000, 1000},
      {2834, 708, Photo_Cover_D, 500, 2001},
      {30, 40, Photo_Cover_D, 6000, 6000},  // a picture under 44 pixels on a disc
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
    const int32 omx = Paste_Quadrants(c.w, c.h);
    c.command();
    const a_spec& s = Ph(omx)->spec;
    EXPECT_EQ(s.scalingh, std::min<int16>(c.sh, 6000));
    EXPECT_EQ(s.scalingv, std::min<int16>(c.sv, 6000));
    EXPECT_EQ(History_Last_Op(), OP_PHOTO_SIZE);
    Enum_Obj_Del();
  }
  // A picture so large that its slider's end would pass 16 bits: the placed
  // picture's diagonal stays within PH_MAX_PLACED.
  a_spec s;
  Null_Spec(s);
  s.subset = Rect{0, 0, 20000, 30000};
  s.scalingh = s.scalingv = 6000;
  PH_Limit_Scalings(s);
  EXPECT_LE(std::hypot(30.0 * s.scalingh, 20.0 * s.scalingv), double(PH_MAX_PLACED));
  EXPECT_GT(std::hypot(30.0 * (s.scalingh + 1), 20.0 * (s.scalingv + 1)), double(PH_MAX_PLACED));
  // An empty subset is refused and left alone.
  const int32 omx = Paste_Quadrants();
  Ph(omx)->spec.subset = Rect{5, 5, 5, 50};
  Refusals();
  Photo_Cover_P();
  EXPECT_EQ(Ph(omx)->spec.scalingh, 1000);
  EXPECT_EQ(Refusals(), 1);
}

TEST_F(PhotoTest, CornerScalingFromTheOppositeCornerOrWithCtrlFromTheCentre) {
  const int32 omx = Paste_Quadrants(200, 100);
  Photo_Set_Center(omx, Point{700, 700});
  const a_ph_rec start = *Ph(omx);
  ASSERT_TRUE(start.dst_box == (Rect{650, 600, 750, 800}));
  // The lower-right corner to (900, 800): 300 x 150 cells, 150 % both ways;
  // the upper-left corner stays.
  ASSERT_TRUE(Photo_Scale_Step(omx, LRCORNER_PART, start, Point{800, 900}, false));
  EXPECT_EQ(Ph(omx)->spec.scalingh, 1500);
  EXPECT_EQ(Ph(omx)->spec.scalingv, 1500);
  EXPECT_TRUE(Ph(omx)->dst_box == (Rect{650, 600, 800, 900}));
  EXPECT_EQ(gs.slider_vals[PHOTO_SIZE_SLIDER], 1500);
  // The same point again changes nothing.
  EXPECT_FALSE(Photo_Scale_Step(omx, LRCORNER_PART, start, Point{800, 900}, false));
  // The upper-left corner keeps the lower-right one.
  *Ph(omx) = start;
  ASSERT_TRUE(Photo_Scale_Step(omx, ULCORNER_PART, start, Point{600, 500}, false));
  EXPECT_EQ(Ph(omx)->dst_box.right, 800);
  EXPECT_EQ(Ph(omx)->dst_box.bottom, 750);
  // With Ctrl the centre stays and the size is twice the distance from it.
  *Ph(omx) = start;
  ASSERT_TRUE(Photo_Scale_Step(omx, URCORNER_PART, start, Point{800, 900}, true));
  EXPECT_EQ(Ph(omx)->spec.scalingh, 2000);
  EXPECT_TRUE(Ph(omx)->dst_center == (Point{700, 700}));
  EXPECT_TRUE(Ph(omx)->dst_box == (Rect{600, 500, 800, 900}));
  // Unconstrained, each axis on its own; beyond the slider's end, its end.
  *Ph(omx) = start;
  Ph(omx)->spec.constrainf = false;
  a_ph_rec loose = *Ph(omx);
  ASSERT_TRUE(Photo_Scale_Step(omx, LRCORNER_PART, loose, Point{700, 900}, false));
  EXPECT_EQ(Ph(omx)->spec.scalingh, 1500);
  EXPECT_EQ(Ph(omx)->spec.scalingv, 500);
  ASSERT_TRUE(Photo_Scale_Step(omx, LRCORNER_PART, loose, Point{kUnitSide, 30000}, false));
  EXPECT_EQ(Ph(omx)->spec.scalingh, 6000);
  // A symbol keeps one size within its own slider.
  ASSERT_TRUE(Symbol_Add(1));
  const int32 sym = List().nlist;
  const a_ph_rec s0 = *Ph(sym);
  ASSERT_TRUE(Photo_Scale_Step(sym, LRCORNER_PART, s0, Point{30000, 30000}, false));
  EXPECT_EQ(Ph(sym)->spec.scalingh, 3000);
  EXPECT_EQ(Ph(sym)->spec.scalingv, 3000);
  EXPECT_EQ(gs.slider_vals[SYMBOL_SIZE_SLIDER], 3000);
}

TEST_F(PhotoTest, NewPhotosAndSymbolsGoBelowTheLowestText) {
  const int32 first = Paste_Quadrants();
  EXPECT_EQ(first, 2);  // on top without texts
  Add_Text(Rect{0, 0, 10, 10});
  Add_Text(Rect{0, 0, 20, 20});
  const uint32 text_id = List().list[2].objid;
  const int32 photo = Paste_Quadrants();
  EXPECT_EQ(photo, 3);
  EXPECT_EQ(List().list[photo - 1].kind, PHOTO_BLOCK);
  EXPECT_EQ(List().list[3].objid, text_id);
  EXPECT_EQ(List().list[3].kind, TEXT_BLOCK);
  ASSERT_TRUE(Symbol_Add(1));
  EXPECT_EQ(List().list[3].kind, SYMBOL_BLOCK);
  EXPECT_EQ(List().list[4].kind, TEXT_BLOCK);
  EXPECT_EQ(List().list[5].kind, TEXT_BLOCK);
}

TEST_F(PhotoTest, QuadrantsLandOnTheirCellsTurnedAndFlipped) {
  const int32 omx = Paste_Quadrants(200, 100);
  struct Case {
    const char* what;
    int16 angle;
    bool flipx, flipy;
    a_pixel32 tl, tr, br, bl;
  } const cases[] = {
      {"upright", 0, false, false, kRed, kGreen, kBlue, kYellow},
      {"90 counter-clockwise", 900, false, false, kGreen, kBlue, kYellow, kRed},
      {"180", 1800, false, false, kBlue, kYellow, kRed, kGreen},
      {"270 (90 clockwise)", -900, false, false, kYellow, kRed, kGreen, kBlue},
      {"flipped across", 0, true, false, kGreen, kRed, kYellow, kBlue},
      {"flipped down", 0, false, true, kYellow, kBlue, kGreen, kRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    a_spec& s = Ph(omx)->spec;
    s.angle = c.angle;
    s.flipx = c.flipx;
    s.flipy = c.flipy;
    Photo_Recalc(omx);
    const Rect b = Ph(omx)->dst_box;
    const bool upright = c.angle == 0 || c.angle == 1800;
    EXPECT_EQ(b.right - b.left, upright ? 200 : 100);
    EXPECT_EQ(b.bottom - b.top, upright ? 100 : 200);
    GWorldPtr w = Render();
    const int32 qx = (b.right - b.left) / 4, qy = (b.bottom - b.top) / 4;
    const a_pixel32 got[4] = {At(w, b.left + qx, b.top + qy), At(w, b.right - qx, b.top + qy),
                              At(w, b.right - qx, b.bottom - qy), At(w, b.left + qx, b.bottom - qy)};
    const a_pixel32 want[4] = {c.tl, c.tr, c.br, c.bl};
    for (int k = 0; k < 4; ++k) EXPECT_TRUE(Near(got[k], want[k])) << "corner " << k << ": " << Name(got[k]);
    // Nothing drawn outside the box.
    EXPECT_TRUE(Near(At(w, b.left - 3, b.top - 3), kWhite));
    EXPECT_TRUE(Near(At(w, b.right + 2, b.bottom + 2), kWhite));
    Dispose_GWorld(w);
  }
}

TEST_F(PhotoTest, ASymbolOverAPhotoWinsWhereTheyOverlap) {
  const int32 photo = Paste_Quadrants(200, 200);
  Photo_Set_Center(photo, Point{700, 700});
  gs.bar_selection[SYMBOLS_COLORBAR] = 1;  // magenta
  ASSERT_TRUE(Symbol_Add(1));
  const int32 sym = List().nlist;
  EXPECT_TRUE(Ph(sym)->spec.symbol_color.raw == kMagenta.raw);
  Photo_Set_Center(sym, Point{650, 650});  // over the photo's red quadrant
  GWorldPtr w = Render();
  EXPECT_TRUE(Near(At(w, 650, 650), kMagenta)) << Name(At(w, 650, 650));
  EXPECT_TRUE(Near(At(w, 780, 610), kGreen));  // the photo beside the symbol
  // Hidden, the symbol is drawn nowhere.
  List().list[sym - 1].flags = uint8(List().list[sym - 1].flags & ~OJ_Flag_Bit(VISIBLE_FLAG));
  Dispose_GWorld(w);
  w = nullptr;
  EXPECT_EQ(New_GWorld(unit_->paintbounds, 32, nullptr, w), 0);
  Fill_World_White(w, unit_->paintbounds);
  for (int32 omx = ENUM_START; Enum(true, false, OBJECT_KINDS, omx);)
    if (Is_Obj_Visible(omx)) PH_Draw(w, Ph(omx), FOR_SCREEN, nullptr);
  EXPECT_TRUE(Near(At(w, 650, 650), kRed)) << Name(At(w, 650, 650));
  Dispose_GWorld(w);
}

TEST_F(PhotoTest, AMissingPictureShowsItsPatternOnTheScreenOnlyAndDrawsWithinTheDirtyArea) {
  const int32 omx = Paste_Quadrants(200, 100);
  Photo_Set_Center(omx, Point{700, 700});
  // Only the dirty rectangle is touched.
  GWorldPtr w = nullptr;
  ASSERT_EQ(New_GWorld(unit_->paintbounds, 32, nullptr, w), 0);
  Fill_World_White(w, unit_->paintbounds);
  const Rect dirty{600, 600, 700, 700};
  PH_Draw(w, Ph(omx), FOR_SCREEN, &dirty);
  EXPECT_TRUE(Near(At(w, 650, 650), kRed));
  EXPECT_TRUE(Near(At(w, 750, 660), kWhite));  // green quadrant, outside the dirty area
  // The picture gone from the cache: the pattern on the screen, nothing in print.
  Cache_Clear();
  EXPECT_TRUE(Is_Photo_Missing(Ph(omx)));
  EXPECT_EQ(Calc_Hilite_PhFix(0), HILITE_ENABLED);
  Fill_World_White(w, unit_->paintbounds);
  PH_Draw(w, Ph(omx), FOR_PRINTING, nullptr);
  for (int32 x = 600; x < 800; x += 7) EXPECT_TRUE(Near(At(w, x, 700), kWhite));
  PH_Draw(w, Ph(omx), FOR_SCREEN, nullptr);
  int marked = 0;
  for (int32 x = 600; x < 800; ++x)
    for (int32 y = 650; y < 750; ++y) marked += Near(At(w, x, y), kWhite) ? 0 : 1;
  EXPECT_GT(marked, 100);
  Dispose_GWorld(w);
}

TEST_F(PhotoTest, ImportRefusalsShowTheirAlertAndLeaveTheDocumentAlone) {
  gs.controller = HUMAN;
  const std::vector<uint8> good = Jpeg_Of(256, 256, 1);
  const std::vector<uint8> truncated(good.begin(), good.begin() + long(good.size() / 2));
  std::vector<uint8> tall_px(size_t(16) * 40000 * 4, 0x90), tall;
  ASSERT_EQ(Host_Encode_JPEG(HostImageSource{tall_px.data(), 16, 40000, 16 * 4, 72}, 80, tall), HC_OK);
  struct Case {
    const char* name;
    std::vector<uint8> bytes;
    const char* alert;
  } const cases[] = {
      {"truncated.jpg", truncated, "alert 10"},
      {"cmyk.jpg", Cmyk_Jpeg(64, 48), "alert 58"},
      {"tall.jpg", tall, "alert 39"},
  };
  const int32 n = List().nlist;
  const int32 states = History_Count();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Photo_New_External(Spec(Write(c.name, c.bytes)), Point{500, 500}, true));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(c.alert), std::string::npos) << err;
    EXPECT_EQ(err.find("alert"), err.rfind("alert")) << "one alert: " << err;
    EXPECT_EQ(List().nlist, n);
    EXPECT_EQ(History_Count(), states);
  }
  // A picture is known by its bytes: a PNG named .jpg is read.
  std::vector<uint8> px(size_t(40) * 30 * 4, 0x80), png;
  ASSERT_EQ(Host_Encode_PNG(HostImageSource{px.data(), 40, 30, 40 * 4, 72}, false, png), HC_OK);
  EXPECT_TRUE(Photo_New_External(Spec(Write("named.jpg", png)), Point{500, 500}, true));
  EXPECT_EQ(List().nlist, n + 1);
  EXPECT_TRUE(Ph(List().nlist)->spec.subset == (Rect{0, 0, 30, 40}));
  EXPECT_EQ(History_Last_Op(), OP_PHOTO_NEW);
}

TEST_F(PhotoTest, ALargeJpegIsPlacedFromAReducedBasisAndReadAgainLargerForPrint) {
  const std::vector<uint8> jpg = Jpeg_Of(6000, 4000, 7);
  gs.pref.embed_option = true;
  ASSERT_TRUE(Photo_New_External(Spec(Write("big.jpg", jpg)), Point{708, 708}, true));
  a_ph_rec* ph = Ph(List().nlist);
  // Kept in the picture's own pixels, fitted to the disc.
  EXPECT_TRUE(ph->spec.subset == (Rect{0, 0, 4000, 6000}));
  EXPECT_EQ(ph->spec.scalingh, 1417 * 1000 / 6000);
  EXPECT_NEAR(ph->dst_box.right - ph->dst_box.left, 1417, 2);
  int32 ix = 0;
  ASSERT_TRUE(Find_Basis(ph->spec.source.sid, ix));
  const a_cache_item* e = Cache_Entry(ix);
  const int32 held = e->c.body.bounds.right - e->c.body.bounds.left;
  EXPECT_LT(held, 6000);
  EXPECT_GE(held, 1417);
  EXPECT_EQ(Handle_GetSize(e->c.raw), jpg.size());  // embedded
  // Printed at 600 dots an inch the photo needs twice the pixels: read again.
  a_spec print = ph->spec;
  print.scalingh = print.scalingv = int16(ph->spec.scalingh * 2);
  a_cache_result c;
  Cache_Get(FOR_PRINTING, print, c);
  EXPECT_NEAR(c.body.bounds.right - c.body.bounds.left, 2834, 3);
  ASSERT_TRUE(Find_Basis(ph->spec.source.sid, ix));
  EXPECT_GT(Cache_Entry(ix)->c.body.bounds.right - Cache_Entry(ix)->c.body.bounds.left, held);
}

TEST_F(PhotoTest, SlidersCarryThePhotoBothWays) {
  const int32 omx = Paste_Quadrants();
  a_ph_rec* ph = Ph(omx);
  ph->spec.scalingh = 1200;
  ph->spec.scalingv = 800;
  ph->spec.edge_kind = PHOTOEDGE_SOLID;
  ph->spec.edge_outl_color = kGreen;
  ph->spec.constrainf = false;
  PH_To_Sliders(ph);
  EXPECT_EQ(gs.slider_vals[PHOTO_SIZE_SLIDER], 1200);
  EXPECT_EQ(gs.slider_vals[PHOTO_SIZEV_SLIDER], 800);
  EXPECT_EQ(gs.grid_vals[PHOTO_EDGE_GRID], PHOTOEDGE_SOLID);
  EXPECT_EQ(gs.bar_selection[EDGE_OUTL_COLORBAR], 3);
  EXPECT_FALSE(ph_loading);
  // The hook: unconstrained, each size from its own slider.
  gs.slider_vals[PHOTO_SIZEH_SLIDER] = 1500;
  gs.slider_vals[PHOTO_ANGLE_SLIDER] = 450;
  Delta_Photo();
  EXPECT_EQ(ph->spec.scalingh, 1500);
  EXPECT_EQ(ph->spec.scalingv, 800);
  EXPECT_EQ(ph->spec.angle, 450);
  // Constrained, both from the size slider; nothing while the sliders load.
  gs.toggle_vals[PHOTO_CONSTRAIN_TOGGLE] = true;
  gs.slider_vals[PHOTO_SIZE_SLIDER] = 900;
  ph_loading = true;
  Delta_Photo();
  ph_loading = false;
  EXPECT_EQ(ph->spec.scalingh, 1500);
  Delta_Photo();
  EXPECT_EQ(ph->spec.scalingh, 900);
  EXPECT_EQ(ph->spec.scalingv, 900);
}

TEST_F(PhotoTest, TheCropScreenFitsThePictureAndKeepsTheCropWithinIt) {
  a_crop_rec& c = g_crop;
  c = a_crop_rec{};
  Crop_Layout(Rect{0, 0, 2000, 3000}, 1024, 768, c);
  const int32 dw = c.bb_pict.right - c.bb_pict.left, dh = c.bb_pict.bottom - c.bb_pict.top;
  EXPECT_LE(dw + 2 * CROP_MARGIN, 1024 * 95 / 100);
  EXPECT_LE(dh + 2 * CROP_MARGIN + CROP_BUTTONS, 768 * 95 / 100);
  EXPECT_NEAR(double(dw) / dh, 1.5, 0.02);
  EXPECT_GE(c.width, CROP_MIN_W);
  EXPECT_GE(c.height, CROP_MIN_H);
  // A small picture is shown at its size in a window of the least size.
  a_crop_rec small{};
  Crop_Layout(Rect{0, 0, 50, 80}, 1024, 768, small);
  EXPECT_EQ(small.width, CROP_MIN_W);
  EXPECT_EQ(small.height, CROP_MIN_H);
  EXPECT_EQ(small.bb_pict.right - small.bb_pict.left, 80);

  c.crop = c.natural;
  Calc_Crop_S();
  EXPECT_EQ(Crop_Where(Point{c.crop_s.top, c.crop_s.left}), Crop_Bit(CROP_L) | Crop_Bit(CROP_T));
  EXPECT_EQ(Crop_Where(Point{int16((c.crop_s.top + c.crop_s.bottom) / 2), c.crop_s.right}), Crop_Bit(CROP_R));
  EXPECT_EQ(Crop_Where(Point{int16(c.bb_ok.top + 2), int16(c.bb_ok.left + 2)}), CROP_WHERE_OK);
  EXPECT_EQ(Crop_Where(Point{int16(c.bb_cancel.top + 2), int16(c.bb_cancel.left + 2)}), CROP_WHERE_CANCEL);
  // The left side dragged past the right one stops 10 pixels short of it;
  // the bottom dragged below the picture stops at its edge.
  Crop_Move_Sides(Crop_Bit(CROP_R), C_To_Screen(Point{0, 1000}));
  Crop_Move_Sides(Crop_Bit(CROP_L), Point{0, 30000});
  EXPECT_EQ(c.crop.left, c.crop.right - CROP_MIN_SIDE);
  Crop_Move_Sides(Crop_Bit(CROP_B), Point{30000, 0});
  EXPECT_EQ(c.crop.bottom, 2000);
  const Point p = Screen_To_C(C_To_Screen(Point{1234, 2345}));
  EXPECT_NEAR(p.v, 1234, 4);
  EXPECT_NEAR(p.h, 2345, 4);

  // Accepting the crop sets the lone photo's subset.
  const int32 omx = Paste_Quadrants(200, 100);
  EXPECT_FALSE(Photo_Crop2(Rect{10, 10, 15, 100}));  // under 10 pixels high
  ASSERT_TRUE(Photo_Crop2(Rect{10, 20, 60, 120}));
  EXPECT_TRUE(Ph(omx)->spec.subset == (Rect{10, 20, 60, 120}));
  EXPECT_EQ(Ph(omx)->dst_box.right - Ph(omx)->dst_box.left, 100);
  EXPECT_EQ(History_Last_Op(), OP_PHOTO_CROP);
}

}  // namespace
