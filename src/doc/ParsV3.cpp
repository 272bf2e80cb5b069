#include "doc/ParsV3.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskRend.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/OPUtil.h"
#include "pixel/ParsChunk.h"
#include "pixel/ParsQuik.h"
#include "pixel/SysBlt.h"
#include "platform/SysFont.h"
#include "platform/SysMem.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"

namespace {

int32 g_refused = 0;

constexpr double PTS_PER_MM = 2.834645669291339;

// The upper half of the old character set.
constexpr UniChar kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

// Fixed bytes of one stored text block before its characters, by version,
// and of one character.
constexpr int32 kTextRecSize[4] = {0, 51, 52, 79};
constexpr int32 kXylSize = 12;
// The least a stored photo takes: its kind, the six values and two flags of
// version 1, its subset, centre and box.
constexpr int32 kMinPhotoSize = 1 + 12 + 2 + 8 + 4 + 8;

void Add_Defect(a_defect d) { defects |= Defect_Bit(d); }
void Damaged() { Add_Defect(DEFECT_V3); }

int16 Clamp16(int64 v) { return int16(std::clamp<int64>(v, -32768, 32767)); }
int16 Slider_Clamp(int16 slider, int32 v) {
  return int16(std::clamp<int32>(v, SLIDER_VALUES[slider].minval, SLIDER_VALUES[slider].maxval));
}
int16 Slider_Def(int16 slider) { return SLIDER_VALUES[slider].defaultval; }
static_assert(std::size(SliderToPoints) == NV3_SIZES, "an old text size is a step of the size slider");

// --- Reading one chunk's body, keeping count of the bytes taken -------------------

struct a_body {
  int32 pos = 0;
  bool Room(int64 n) const { return n >= 0 && n <= int64(g_chunk_len) - pos; }
  int16 I16() {
    int16 v = 0;
    Chunk_ReadInt16(v);
    pos += 2;
    return v;
  }
  uint8 U8() {
    uint8 b = 0;
    Chunk_ReadRaw(&b, 1);
    pos += 1;
    return b;
  }
  bool8 Bool() { return U8() != 0; }
  Point Pt() {
    Point p{};
    Chunk_ReadPoint(p);
    pos += 4;
    return p;
  }
  Rect Rc() {
    Rect r{};
    Chunk_ReadRect(r);
    pos += 8;
    return r;
  }
  a_win_pixel32 Rgb() {
    a_win_pixel32 c{};
    c.r = U8();
    c.g = U8();
    c.b = U8();
    c.a = 255;
    return c;
  }
  a_keyset Key() {
    a_keyset k{};
    Chunk_ReadKey(k);
    pos += 8;
    return k;
  }
  // Chunk_ReadPath: 2 + 4 bytes, then a counted name.
  void Path(FSSpec& path) {
    std::memset(static_cast<void*>(&path), 0, sizeof path);
    Chunk_ReadPath(path);
    pos += 6 + 1 + int32(std::strlen(path.name));
  }
  bool Ok() const { return Chunk_Read_Error() == noErr && pos <= g_chunk_len; }
};

// --- What the file holds, read whole before anything is applied ---------------------

struct a_v3_om {
  Point center;
  int32 fontx;
  int16 sizex;
  bool8 boldf, italf, outlf, glowf, shadf, padf;
  int16 glow_radius, glow_opacity, glow_style;
  a_win_pixel32 glow_color;
  int16 shad_dx, shad_dy, shad_opacity, shad_radius;
  a_win_pixel32 shad_color;
  int16 outl_radius;
  a_win_pixel32 outl_color;
  uint8 layout, justify;
  int16 hspacing, vpercent, radius, angle, targwidth, opacity;
  a_win_pixel32 colorv;
  std::vector<UniChar> text;  // converted, at most V3_MAX_TEXT_BYTES units
};

struct a_v3_ph_rec {
  a_v3_source_kind kind;
  a_keyset key;
  FSSpec path;
  int16 embedx, clipx;
  int16 angle, scaling, aspect, darkness, opacity, corner, feather, res3, res4;
  bool8 flipx, flipy, invert, resf;
  Rect subset;
  Point dst_center;
  Rect dst_box;
};

// A photo's picture as read: the body (NIL fore when none was found), the
// file's bytes when they came from "EMBD", and the path where it was found.
struct a_v3_picture {
  a_masked_gworld body;
  Handle raw;
  char codec[4];
  OSType codec_type;
  FSSpec path;
  bool missing;
};

struct a_v3_reader {
  FSSpec path{};
  int32 kind = 0;
  Rect map_src{}, map_dst{};
  PixMap layr{}, mask{};
  std::vector<a_v3_font_mapping> fonts;
  std::vector<a_v3_om> texts;
  std::vector<a_v3_ph_rec> photos;
  std::vector<a_v3_picture> pictures;

  a_v3_reader() {
    Null_PixMap(layr);
    Null_PixMap(mask);
  }
  ~a_v3_reader() {
    if (!Is_Null_PixMap(layr)) Dispose_PixMap(layr);
    if (!Is_Null_PixMap(mask)) Dispose_PixMap(mask);
    for (a_v3_picture& p : pictures) {
      Dispose_MW(p.body);
      Dispose_Handle(p.raw);
    }
  }
  a_v3_reader(const a_v3_reader&) = delete;
  a_v3_reader& operator=(const a_v3_reader&) = delete;
};

// The preamble: open, signature 0xCDCD, version 7.
a_fd Read_V3_Preamble(const FSSpec& path) {
  uint16 version = 0;
  const a_fd fd = Open_Preamble(path, version);
  if (Is_Null_Fd(fd) || version == V3_PREAMBLE_VERSION) return fd;
  Add_Defect(DEFECT_FILE_VERSION);
  File_Close(fd);
  return NULL_FD;
}

void Read_Canvas(a_v3_reader& rd) {
  if (!Chunk_Find("CANV", 1)) {
    Add_Defect(Chunk_Read_Error() == noErr ? DEFECT_UNIT_MISSING : DEFECT_V3);
    return;
  }
  a_body b;
  if (b.I16() != V3_CANV_VERSION) {
    Add_Defect(DEFECT_UNIT_VERSION);
    return;
  }
  (void)b.Key();
  (void)b.Bool();
  (void)b.Bool();
  (void)b.Bool();
  (void)b.I16();
  rd.kind = b.U8();
  (void)b.I16();
  if (!b.Ok() || rd.kind >= NV3_DOC_KINDS) return Damaged();
  const a_v3_canvas_size size = V3_CANVAS_SIZES[rd.kind];
  rd.map_src = Rect{0, 0, size.height, size.width};
}

// out := a new 32-bit map of the picture: 16 and 32 bits through the blit
// layer, 8 bits as grey levels, 1 bit black on white. FALSE when the map
// cannot be had (out null).
bool To_32(const PixMap& in, PixMap& out) {
  Null_PixMap(out);
  New_PixMap(out, in.bounds, 32, nullptr);
  if (Is_Null_PixMap(out)) return false;
  if (in.pixelSize == 16 || in.pixelSize == 32) {
    PixMap src = in;
    Pix_To_Pix(&src, &out, in.bounds, in.bounds, srcCopy, nullptr);
    return true;
  }
  const int32 w = int32(in.bounds.right) - in.bounds.left, h = int32(in.bounds.bottom) - in.bounds.top;
  for (int32 y = 0; y < h; ++y) {
    const uint8* s = reinterpret_cast<const uint8*>(in.baseAddr) + size_t(y) * PixMap_RowBytes(in);
    a_pixel32* d = reinterpret_cast<a_pixel32*>(reinterpret_cast<uint8*>(out.baseAddr) + size_t(y) * PixMap_RowBytes(out));
    for (int32 x = 0; x < w; ++x) {
      const uint8 v = in.pixelSize == 8 ? s[x] : (((s[x >> 3] >> (7 - (x & 7))) & 1) != 0 ? 0 : 255);
      d[x].r = d[x].g = d[x].b = v;
      d[x].a = 255;
    }
  }
  return true;
}

// The painting: a picture and its mask of the same size, or neither.
void Read_Painting(a_v3_reader& rd) {
  if (Chunk_ReadPix("LAYR", 1, rd.layr) != noErr) {
    Null_PixMap(rd.layr);
    return Damaged();
  }
  if (Is_Null_PixMap(rd.layr)) return;
  if (rd.layr.pixelSize != 32) {
    PixMap deep;
    const bool ok = To_32(rd.layr, deep);
    Dispose_PixMap(rd.layr);
    rd.layr = deep;
    if (!ok) return Damaged();
  }
  if (Chunk_ReadPix("MASK", 1, rd.mask) != noErr) {
    Null_PixMap(rd.mask);
    return Damaged();
  }
  if (Is_Null_PixMap(rd.mask) || !(rd.mask.bounds == rd.layr.bounds) ||
      (rd.mask.pixelSize != 1 && rd.mask.pixelSize != 8))
    Damaged();
}

// A chunk the file may lack: FALSE when it is absent (a damaged stream on
// the way is damage).
bool Find_Optional(const char (&label)[5]) {
  if (Chunk_Find(label, 1)) return true;
  if (Chunk_Read_Error() != noErr) Damaged();
  return false;
}

void Read_Fonts(a_v3_reader& rd) {
  if (!Find_Optional("FONT")) return;
  a_body b;
  const int16 version = b.I16();
  const int16 n = b.I16();
  // Each entry takes at least its id and the length of its name.
  if (!b.Ok() || version != V3_FONT_VERSION || n < 0 || !b.Room(int64(n) * 3)) return Damaged();
  rd.fonts.reserve(size_t(n));
  for (int16 i = 0; i < n; ++i) {
    a_v3_font_mapping m{};
    m.old_fx = b.I16();
    uint8 len = b.U8();
    uint8 name[256] = {};
    if (!b.Room(len)) return Damaged();
    Chunk_ReadRaw(name, len);
    b.pos += len;
    if (!b.Ok()) return Damaged();
    UniChar uname[128] = {};
    MacRoman_To_UTF16(name, len, UStrSpan(uname, 128));
    const uint32 fx = Name_To_FontX(CUStrSpan(uname, 128));
    if (fx == 0 || fx > 32767) {
      m.new_fx = 1;
      Add_Defect(DEFECT_FONT_NOTAVAIL);
    } else {
      m.new_fx = int16(fx);
    }
    rd.fonts.push_back(m);
  }
}

int32 Use_Mapping(const a_v3_reader& rd, int16 old_fx) {
  for (const a_v3_font_mapping& m : rd.fonts)
    if (m.old_fx == old_fx) return m.new_fx;
  return 1;
}

// The layouts of the first set in the later set's numbering.
constexpr uint8 kV1Layouts[6] = {LAYOUT3_HORZ, LAYOUT3_CIRC_CW, LAYOUT3_CIRC_CCW, LAYOUT3_VERT, LAYOUT3_90, LAYOUT3_270};

bool Read_Text_Block(a_v3_reader& rd, a_body& b, int16 version, a_v3_om& om) {
  om.center = b.Pt();
  om.fontx = Use_Mapping(rd, b.I16());
  om.sizex = b.I16();
  om.boldf = b.Bool();
  om.italf = b.Bool();
  if (version == 3) {
    om.outlf = b.Bool();
    om.glowf = b.Bool();
    om.shadf = b.Bool();
    om.padf = b.Bool();
    om.glow_radius = b.I16();
    om.glow_opacity = b.I16();
    om.glow_style = b.I16();
    om.glow_color = b.Rgb();
    om.shad_dx = b.I16();
    om.shad_dy = b.I16();
    om.shad_opacity = b.I16();
    om.shad_radius = b.I16();
    om.shad_color = b.Rgb();
    om.outl_radius = b.I16();
    om.outl_color = b.Rgb();
  }
  (void)b.I16();  // script
  if (version == 1) {
    const uint8 v1 = b.U8();
    if (v1 >= std::size(kV1Layouts)) return false;
    om.layout = kV1Layouts[v1];
    om.justify = V3_JUST_LEFT;
  } else {
    om.layout = b.U8();
    om.justify = b.U8();
  }
  if (om.layout > LAYOUT3_270 || om.justify > V3_JUST_RIGHT) return false;
  om.hspacing = b.I16();
  om.vpercent = b.I16();
  om.radius = b.I16();
  // The older versions keep the radius as radius div 4 + 10.
  if (version < 3) om.radius = Clamp16((int32(om.radius) - 10) * 4);
  om.angle = b.I16();
  om.targwidth = b.I16();
  if (version < 3) (void)b.I16();
  const int16 nxyl = b.I16();
  om.opacity = b.I16();
  om.colorv = b.Rgb();
  for (int32 i = 0; i < 5; ++i) (void)b.I16();  // widest, ascent, descent, lines, longest
  (void)b.Rc();
  (void)b.Bool();
  if (!b.Ok() || nxyl < 0 || !b.Room(int64(nxyl) * kXylSize)) return false;
  // The characters as old 8-bit text: a return gains a line feed, a second
  // byte follows its first; cut to what a text keeps.
  std::vector<uint8> str;
  str.reserve(size_t(std::min<int32>(nxyl * 2, V3_MAX_TEXT_BYTES)));
  for (int16 i = 0; i < nxyl; ++i) {
    uint8 rec[kXylSize];
    Chunk_ReadRaw(rec, kXylSize);
    b.pos += kXylSize;
    auto put = [&](uint8 c) {
      if (str.size() < size_t(V3_MAX_TEXT_BYTES)) str.push_back(c);
    };
    const uint8 first = rec[0], second = rec[1];
    // The end mark and NULs are no characters.
    if (first == 0 || first == EOS_CHAR) continue;
    put(first);
    if (first == 13) put(10);
    if (second != 0) put(second);
  }
  if (!b.Ok()) return false;
  om.text.assign(str.size() + 1, 0);
  const int32 n = MacRoman_To_UTF16(str.data(), int32(str.size()), UStrSpan(om.text.data(), om.text.size()));
  om.text.resize(size_t(n));
  return true;
}

void Read_Texts(a_v3_reader& rd) {
  if (!Find_Optional("TEXT")) return;
  a_body b;
  const int16 version = b.I16();
  const int16 count = b.I16();
  if (!b.Ok() || version < 1 || version > 3 || count < 0 || count > MAX_OJ ||
      !b.Room(int64(count) * kTextRecSize[version]))
    return Damaged();
  rd.texts.resize(size_t(count));
  for (a_v3_om& om : rd.texts)
    if (!Read_Text_Block(rd, b, version, om)) return Damaged();
}

// The nine values of versions 2 and 3 in their stored order.
void Take_Nine(a_v3_ph_rec& ph, const int16 (&v)[9]) {
  ph.angle = v[0];
  ph.scaling = v[1];
  ph.aspect = v[2];
  ph.darkness = v[3];
  ph.opacity = v[4];
  ph.corner = v[5];
  ph.feather = v[6];
  ph.res3 = v[7];
  ph.res4 = v[8];
}

bool Read_Photo(a_body& b, int16 version, a_v3_ph_rec& ph) {
  const uint8 kind = b.U8();
  if (kind > V3_SOURCE_CLIP) return false;
  ph.kind = a_v3_source_kind(kind);
  if (kind == V3_SOURCE_DATABASE) ph.key = b.Key();
  if (kind == V3_SOURCE_EXTFILE) {
    b.Path(ph.path);
    if (version == 3) ph.embedx = b.I16();
  }
  if (kind == V3_SOURCE_CLIP) ph.clipx = b.I16();
  if (version == 1) {
    ph.angle = b.I16();
    ph.scaling = b.I16();
    ph.aspect = b.I16();
    ph.darkness = b.I16();
    ph.opacity = b.I16();
    ph.angle = b.I16();
    ph.flipx = b.Bool();
    ph.flipy = b.Bool();
  } else {
    int16 v[9];
    for (int16& x : v) x = b.I16();
    bool defaults = version == 2;
    if (version == 2 && kind == V3_SOURCE_EXTFILE) {
      // A record that carries the embed index in front of its values does
      // not pass this test of the unshifted values.
      const bool plain = v[2] == 10 && v[6] == 0 && (v[4] == 100 || (v[4] == 0 && v[5] == 0));
      if (!plain) {
        ph.embedx = v[0];
        std::copy(v + 1, v + 9, v);
        v[8] = b.I16();
        defaults = false;
      }
    }
    Take_Nine(ph, v);
    if (defaults) {
      ph.angle = Slider_Def(PHOTO_ANGLE_SLIDER);
      ph.opacity = Slider_Def(PHOTO_OPACITY_SLIDER);
      ph.corner = Slider_Def(PHOTO_CORNER_SLIDER);
      ph.feather = Slider_Def(PHOTO_FEATHER_SLIDER);
      ph.aspect = 0;
    }
    ph.flipx = b.Bool();
    ph.flipy = b.Bool();
    ph.invert = b.Bool();
    ph.resf = b.Bool();
  }
  ph.subset = b.Rc();
  ph.dst_center = b.Pt();
  ph.dst_box = b.Rc();
  return b.Ok();
}

void Read_Photos(a_v3_reader& rd) {
  if (!Find_Optional("PHOT")) return;
  a_body b;
  const int16 version = b.I16();
  const int16 count = b.I16();
  if (!b.Ok() || version < 1 || version > 3 || count < 0 || count > MAX_OJ || !b.Room(int64(count) * kMinPhotoSize))
    return Damaged();
  rd.photos.resize(size_t(count));
  for (a_v3_ph_rec& ph : rd.photos) {
    std::memset(static_cast<void*>(&ph), 0, sizeof ph);
    if (!Read_Photo(b, version, ph)) return Damaged();
  }
}

// The codec as an "EMBD" stores it: its four bytes in the reverse order.
OSType Stored_Codec(uint32 stored) {
  return Canonicalize_Codec((stored >> 24) | ((stored >> 8) & 0xFF00u) | ((stored << 8) & 0xFF0000u) | (stored << 24));
}

// The embedded file of a photo: FALSE for damage. A chunk that is absent,
// or a picture its importer cannot read, leaves pic without a body.
bool Read_Embedded(int16 embedx, a_v3_picture& pic) {
  if (!Chunk_Find("EMBD", embedx)) return Chunk_Read_Error() == noErr;
  a_body b;
  const int16 version = b.I16();
  uint32 stored = 0;
  Chunk_ReadCard32(stored);
  b.pos += 4;
  int32 len = 0;
  Chunk_ReadInt32(len);
  b.pos += 4;
  if (!b.Ok() || version != V3_EMBD_VERSION || len < 0 || !b.Room(len)) return false;
  if (len == 0) return true;
  Handle raw = New_Handle(uint32(len));
  if (raw == nullptr) return false;
  Chunk_ReadRaw(Handle_Lock(raw), uint32(len));
  Handle_Unlock(raw);
  if (Chunk_Read_Error() != noErr) {
    Dispose_Handle(raw);
    return false;
  }
  const OSType codec = Stored_Codec(stored);
  char chars[4];
  for (int32 i = 0; i < 4; ++i) chars[i] = char(uint8(codec >> (24 - 8 * i)));
  a_picture_scan_rec scan;
  std::memset(static_cast<void*>(&scan), 0, sizeof scan);
  if (!Scan_Quicktime_Hdl(chars, raw, scan) || scan.body.fore == nullptr) {
    Dispose_Handle(raw);
    return true;
  }
  pic.body = scan.body;
  pic.raw = raw;
  pic.codec_type = codec;
  std::memcpy(pic.codec, chars, 4);
  return true;
}

// A pasted picture kept in "CLIP", as a 32-bit world.
bool Read_Clip(int16 clipx, a_v3_picture& pic) {
  PixMap pix;
  Null_PixMap(pix);
  if (Chunk_ReadPix("CLIP", clipx, pix) != noErr) return false;
  if (Is_Null_PixMap(pix)) return true;
  PixMap deep;
  bool ok = To_32(pix, deep);
  Dispose_PixMap(pix);
  GWorldPtr world = nullptr;
  if (ok && New_GWorld(deep.bounds, 32, nullptr, world) == noErr && world != nullptr) {
    Pix_To_Pix(&deep, &world->pix, deep.bounds, deep.bounds, srcCopy, nullptr);
    pic.body.fore = world;
    pic.body.mask = nullptr;
    pic.body.bounds = deep.bounds;
  } else {
    ok = false;
  }
  if (!Is_Null_PixMap(deep)) Dispose_PixMap(deep);
  return ok;
}

// Every photo's picture: "EMBD" or "CLIP", else (a file) its path or its
// name in the imported file's folder.
void Read_Pictures(a_v3_reader& rd) {
  rd.pictures.resize(rd.photos.size());
  for (size_t i = 0; i < rd.photos.size(); ++i) {
    const a_v3_ph_rec& ph = rd.photos[i];
    a_v3_picture& pic = rd.pictures[i];
    std::memset(static_cast<void*>(&pic), 0, sizeof pic);
    Null_MW(pic.body);
    pic.path = ph.path;
    if (ph.kind == V3_SOURCE_EXTFILE) {
      if (ph.embedx != 0 && !Read_Embedded(ph.embedx, pic)) return Damaged();
      if (pic.body.fore == nullptr) {
        a_spec spec;
        Null_Spec(spec);
        spec.source.kind = SOURCE_EXTFILE;
        spec.source.path = ph.path;
        a_picture_scan_rec scan;
        std::memset(static_cast<void*>(&scan), 0, sizeof scan);
        if (Attempt_Repair_Photo(rd.path, spec, scan) && scan.body.fore != nullptr) {
          pic.body = scan.body;
          pic.path = spec.source.path;
        }
      }
      pic.missing = pic.body.fore == nullptr;
    } else if (ph.kind == V3_SOURCE_CLIP) {
      if (!Read_Clip(ph.clipx, pic)) return Damaged();
      pic.missing = pic.body.fore == nullptr;
    }
  }
}

// --- Applying what was read to the current unit ---------------------------------------

void Map_Point(const a_v3_reader& rd, Point src, Point& dst) { Apply_Mapping(rd.map_src, rd.map_dst, src, dst); }

// A length along the old canvas's height as one along the unit's paint height.
int32 Map_Height(const a_v3_reader& rd, int64 v) {
  const int64 from = std::max<int32>(rd.map_src.bottom - rd.map_src.top, 1);
  const int64 to = int64(rd.map_dst.bottom) - rd.map_dst.top;
  return int32(std::clamp<int64>(v * to / from, -32768, 32767));
}

// The mask scaled onto the layer's mask (each pixel from the four nearest,
// weighed by distance): what the old mask marks painted (a set bit, or its
// value) is painted.
void Copy_Mask(const PixMap& src, GWorldPtr dst_world, const Rect& dst_rect) {
  if (dst_world == nullptr) return;
  PixMap& dst = dst_world->pix;
  const int32 sw = int32(src.bounds.right) - src.bounds.left, sh = int32(src.bounds.bottom) - src.bounds.top;
  const int32 dw = int32(dst_rect.right) - dst_rect.left, dh = int32(dst_rect.bottom) - dst_rect.top;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  const uint8* sbase = reinterpret_cast<const uint8*>(src.baseAddr);
  uint8* dbase = reinterpret_cast<uint8*>(dst.baseAddr);
  const size_t srow = PixMap_RowBytes(src), drow = PixMap_RowBytes(dst);
  auto at = [&](int32 x, int32 y) -> int32 {
    const uint8* s = sbase + size_t(y) * srow;
    return src.pixelSize == 1 ? ((s[x >> 3] >> (7 - (x & 7))) & 1) * 255 : s[x];
  };
  // Source positions in 1/256 of a pixel.
  for (int32 y = 0; y < dh; ++y) {
    const int64 fy = std::clamp<int64>((int64(2 * y + 1) * sh * 256) / (2 * dh) - 128, 0, int64(sh - 1) * 256);
    const int32 y0 = int32(fy >> 8), y1 = std::min(y0 + 1, sh - 1), wy = int32(fy & 255);
    uint8* d = dbase + size_t(dst_rect.top - dst.bounds.top + y) * drow + (dst_rect.left - dst.bounds.left);
    for (int32 x = 0; x < dw; ++x) {
      const int64 fx = std::clamp<int64>((int64(2 * x + 1) * sw * 256) / (2 * dw) - 128, 0, int64(sw - 1) * 256);
      const int32 x0 = int32(fx >> 8), x1 = std::min(x0 + 1, sw - 1), wx = int32(fx & 255);
      const int32 top = at(x0, y0) * (256 - wx) + at(x1, y0) * wx;
      const int32 bottom = at(x0, y1) * (256 - wx) + at(x1, y1) * wx;
      d[x] = uint8((top * (256 - wy) + bottom * wy + 32768) >> 16);
    }
  }
}

bool Apply_Painting(a_v3_reader& rd, a_doc_unit* unit) {
  if (Is_Null_PixMap(rd.layr)) return true;
  a_cached_gworld& layer = unit->statics[PAINT1_LAYER];
  const bool made = layer.world == nullptr || layer.mask == nullptr;
  if (made) Sync_Existence(true, unit, PAINT1_LAYER);
  if (layer.world == nullptr || layer.mask == nullptr) {
    if (made) Sync_Existence(false, unit, PAINT1_LAYER);
    return false;
  }
  unit->paintinuse = true;
  Pix_To_Pix(&rd.layr, &layer.world->pix, rd.layr.bounds, unit->paintbounds, ditherCopy, nullptr);
  Copy_Mask(rd.mask, layer.mask, unit->paintbounds);
  return true;
}

constexpr a_text_layout kLayouts[8] = {LAYOUT_HORZ, LAYOUT_CIRC_CW,    LAYOUT_CIRC_CCW,   LAYOUT_90,
                                       LAYOUT_VERT, LAYOUT_SPIRAL_CW, LAYOUT_SPIRAL_CCW, LAYOUT_270};

void Fill_Text(const a_v3_reader& rd, const a_v3_om& v, a_om_rec& om) {
  const int32 old_h = rd.map_src.bottom;
  om.bbox = Rect{0, 0, 800, 800};
  om.rotcenter = Point{int16((rd.map_dst.top + rd.map_dst.bottom) / 2), int16((rd.map_dst.left + rd.map_dst.right) / 2)};
  Map_Point(rd, v.center, om.anchor);
  om.boldf = v.boldf;
  om.italf = v.italf;
  om.outlf = v.outlf;
  om.glowf = v.glowf;
  om.shadf = v.shadf;
  om.undf = false;
  om.justify = a_horz_just(v.justify);
  om.fontx = uint32(v.fontx);
  om.layout = kLayouts[v.layout];
  const a_unit& spec = g_doc.doc_template.units[g_doc.upx - 1];
  const double unit_h = double(spec.bbox.bottom) - spec.bbox.top;
  const int16 points = SliderToPoints[std::clamp<int32>(v.sizex, 0, NV3_SIZES - 1)];
  const double size = unit_h * PTS_PER_MM * points / old_h;
  om.size = std::isfinite(size) ? Clamp16(std::lround(std::clamp(size, -32768.0, 32767.0))) : 0;
  om.lineangle = v.angle;
  om.polarangle = int16(v.angle / 10);
  if (om.layout == LAYOUT_CIRC_CW) om.polarangle = int16(-om.polarangle);
  // A per cent of half the canvas either way: the same circle on the unit.
  om.radius = Slider_Clamp(TEXT_RADIUS_SLIDER, v.radius);
  om.vspacing = v.vpercent;
  om.glow_radius = v.glow_radius;
  om.glow_opacity = v.glow_opacity;
  om.glow_style = v.glow_style;
  om.shad_dx = v.shad_dx;
  om.shad_dy = v.shad_dy;
  om.shad_opacity = v.shad_opacity;
  om.shad_radius = v.shad_radius;
  om.outl_radius = v.outl_radius;
  om.targwidth = 0;
  om.hspacing = Slider_Def(TEXT_HSPACING_SLIDER);
  om.stretch_h = Slider_Def(TEXT_STRETCH_H_SLIDER);
  om.stretch_v = Slider_Def(TEXT_STRETCH_V_SLIDER);
  om.skew_h = Slider_Def(TEXT_SKEW_H_SLIDER);
  om.skew_v = Slider_Def(TEXT_SKEW_V_SLIDER);
  om.spoke_outerd = Slider_Def(TEXT_SPOKE_OUTERD_SLIDER);
  om.spoke_thickness = Slider_Def(TEXT_SPOKE_THICKNESS_SLIDER);
  om.spoke_totangle = Slider_Def(TEXT_SPOKE_TOTANGLE_SLIDER);
  om.spoke_twist = Slider_Def(TEXT_SPOKE_TWIST_SLIDER);
  om.contour_margin = Slider_Def(TEXT_SPOKE_OUTERD_SLIDER);
  om.opacity = Slider_Def(TEXT_OPACITY_SLIDER);
  om.base_color = v.colorv;
  om.glow_color = v.glow_color;
  om.shad_color = v.shad_color;
  om.outl_color = v.outl_color;
  UniStr_To_OM(&om, v.text.data(), int32(v.text.size()));
  // Radii, opacities and sizes held to their sliders' ranges.
  Limit_OM(om);
}

void Fill_Photo(const a_v3_reader& rd, const a_v3_ph_rec& v, const a_v3_picture& pic, a_ph_rec& ph) {
  a_spec& s = ph.spec;
  Null_Spec(s);
  constexpr a_source_kind kinds[4] = {SOURCE_NULL, SOURCE_DATABASE, SOURCE_EXTFILE, SOURCE_CLIPBOARD};
  s.source.kind = kinds[v.kind];
  if (v.kind == V3_SOURCE_DATABASE) s.source.key = v.key;
  if (v.kind == V3_SOURCE_EXTFILE) s.source.path = pic.path;
  s.angle = Slider_Clamp(PHOTO_ANGLE_SLIDER, v.angle);
  s.scalingh = s.scalingv = Slider_Clamp(PHOTO_SIZE_SLIDER, Map_Height(rd, int64(v.scaling) * 10));
  s.darkness = Slider_Clamp(PHOTO_DARKNESS_SLIDER, v.darkness);
  s.opacity = Slider_Clamp(PHOTO_OPACITY_SLIDER, v.opacity == 0 ? 100 : v.opacity);
  s.corner = Slider_Clamp(PHOTO_CORNER_SLIDER, v.corner);
  s.feather = Slider_Clamp(PHOTO_FEATHER_SLIDER, v.feather);
  s.edge_kind = GRID_VALUES[PHOTO_EDGE_GRID].grid_defaultval;
  s.edge_border = Slider_Def(PHOTO_EDGE_BORDER_SLIDER);
  s.edge_outline = Slider_Def(PHOTO_EDGE_OUTLINE_SLIDER);
  s.edge_scallop = Slider_Def(PHOTO_EDGE_SCALLOP_SLIDER);
  s.edge_rough = Slider_Def(PHOTO_EDGE_ROUGH_SLIDER);
  s.color_sat = Slider_Def(COLOR_SAT_SLIDER);
  s.color_hue = Slider_Def(COLOR_HUE_SLIDER);
  s.color_dist = Slider_Def(COLOR_DIST_SLIDER);
  s.shad_opacity = Slider_Def(PHOTO_SHAD_OPACITY_SLIDER);
  s.shad_radius = Slider_Def(PHOTO_SHAD_RADIUS_SLIDER);
  s.shad_dx = Slider_Clamp(PHOTO_SHAD_DX_SLIDER, Map_Height(rd, Slider_Def(PHOTO_SHAD_DX_SLIDER)));
  s.shad_dy = Slider_Clamp(PHOTO_SHAD_DY_SLIDER, Map_Height(rd, Slider_Def(PHOTO_SHAD_DY_SLIDER)));
  s.flipx = v.flipx;
  s.flipy = v.flipy;
  s.invert = v.invert;
  s.wtransp = false;
  s.shadf = false;
  s.constrainf = true;
  s.is_symbol = false;
  s.symbol_color = a_pixel32{};
  s.edge_bord_color = a_pixel32{};
  s.edge_bord_color.r = 114;
  s.edge_bord_color.g = 87;
  s.edge_bord_color.b = 61;
  s.edge_bord_color.a = 255;
  s.edge_outl_color = a_pixel32{};
  s.edge_outl_color.a = 255;
  const int32 sw = int32(v.subset.right) - v.subset.left, sh = int32(v.subset.bottom) - v.subset.top;
  s.subset = (sw > 0 && sh > 0) ? v.subset : Rect{0, 0, 0, 0};
  s.hintx = 0;
  ph.codec = pic.codec_type;
  Map_Point(rd, v.dst_center, ph.dst_center);
  PH_Limit_Scalings(s);
}

// The picture of a photo into the picture cache; the source gets its sid.
// A picture that was not found stays missing: a sid of its own that no
// picture has, so that it shows as missing and can be relinked.
void Insert_Picture(a_v3_picture& pic, a_ph_rec& ph) {
  a_source_desc& src = ph.spec.source;
  if (src.kind != SOURCE_EXTFILE && src.kind != SOURCE_CLIPBOARD) return;
  if (pic.missing) {
    src.sid = Calc_Next_SID();
  } else {
    Cache_Insert_Basis(src, pic.body, pic.raw, pic.body.bounds, pic.codec);
  }
  Null_MW(pic.body);
  pic.raw = nullptr;
}

bool Apply(a_v3_reader& rd) {
  a_doc_unit* unit = g_doc.up;
  a_oj_master& oj = unit->oj;
  // Every record is had before the unit is touched.
  std::vector<a_om_rec*> oms;
  std::vector<a_ph_rec*> phs;
  auto drop = [&] {
    for (a_om_rec*& om : oms) OM_Dispose(om);
    for (a_ph_rec*& ph : phs) PH_Dispose(ph);
  };
  for (size_t i = 0; i < rd.texts.size(); ++i) {
    oms.push_back(New_OM_Rec());
    if (oms.back() == nullptr) return drop(), false;
  }
  for (size_t i = 0; i < rd.photos.size(); ++i) {
    phs.push_back(New_PH_Rec());
    if (phs.back() == nullptr) return drop(), false;
  }
  if (!Apply_Painting(rd, unit)) return drop(), false;
  for (size_t i = 0; i < oms.size(); ++i) {
    a_om_rec* om = oms[i];
    Fill_Text(rd, rd.texts[i], *om);
    const int32 omx = Obj_Append(oj, TEXT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), nullptr, om);
    oms[i] = nullptr;
    OM_Recalc(om, g_doc.upx);
    Obj_PostRender(omx);
  }
  for (size_t i = 0; i < phs.size(); ++i) {
    a_ph_rec* ph = phs[i];
    Fill_Photo(rd, rd.photos[i], rd.pictures[i], *ph);
    Insert_Picture(rd.pictures[i], *ph);
    const int32 omx = Check_Layer_Order(Obj_Append(oj, PHOTO_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), ph, nullptr));
    phs[i] = nullptr;
    Photo_Calc_DstBox(omx);
    Obj_PostRender(omx);
  }
  Obj_Number_Changed();
  return true;
}

}  // namespace

int32 MacRoman_To_UTF16(const uint8* in, int32 len, UStrSpan out) {
  if (out.empty()) return 0;
  int32 n = 0;
  for (int32 i = 0; i < len && size_t(n) + 1 < out.size(); ++i)
    out[size_t(n++)] = in[i] < 0x80 ? UniChar(in[i]) : kMacRomanHigh[in[i] - 0x80];
  out[size_t(n)] = 0;
  return n;
}

void Apply_Mapping(const Rect& map_src, const Rect& map_dst, Point src_pt, Point& dst) {
  auto axis = [](int32 v, int32 a, int32 b, int32 c, int32 d) -> int16 {
    if (a == b) return Clamp16(d);
    return Clamp16(int64(c) + (int64(d) - c) * (int64(v) - a) / (int64(b) - a));
  };
  dst.h = axis(src_pt.h, map_src.left, map_src.right, map_dst.left, map_dst.right);
  dst.v = axis(src_pt.v, map_src.top, map_src.bottom, map_dst.top, map_dst.bottom);
}

bool8 Is_V3_File(const FSSpec& path) {
  const a_defect_set kept = defects;
  const a_fd fd = Read_V3_Preamble(path);
  defects = kept;
  if (Is_Null_Fd(fd)) return false;
  File_Close(fd);
  return true;
}

int32 V3_Objects_Refused() { return g_refused; }

bool8 Read_V3(const FSSpec& docpath) {
  defects = 0;
  g_refused = 0;
  a_doc_unit* unit = g_doc.up;
  // Only a master unit of an open document takes an import.
  if (!g_doc.doc_open || unit == nullptr || unit->clonef || g_doc.upx == 0 || g_doc.upx > g_doc.doc_template.nunits) {
    Damaged();
    return false;
  }
  a_v3_reader rd;
  rd.path = docpath;
  rd.map_dst = unit->paintbounds;
  const a_fd fd = Read_V3_Preamble(docpath);
  if (Is_Null_Fd(fd)) return false;
  Chunk_Init(fd, VELMOR_PREAMBLE_LEN);
  Read_Canvas(rd);
  if (No_Serious_Defects()) Read_Painting(rd);
  if (No_Serious_Defects()) Read_Fonts(rd);
  if (No_Serious_Defects()) Read_Texts(rd);
  if (No_Serious_Defects()) Read_Photos(rd);
  if (No_Serious_Defects()) Read_Pictures(rd);
  Chunk_Stop();
  if (!No_Serious_Defects()) return false;
  // The unit's list must take every object of the file.
  const int64 wanted = int64(rd.texts.size()) + int64(rd.photos.size());
  if (int64(unit->oj.nlist) + wanted > MAX_OJ) {
    g_refused = int32(wanted);
    Damaged();
    return false;
  }
  if (!Apply(rd)) {
    Add_Defect(DEFECT_IO_ERROR);
    return false;
  }
  All_Units_PostRender();
  Custom_Inval(CUSTOM_PREVIEW);
  return true;
}
