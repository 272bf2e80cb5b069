#include "doc/ParsDISC.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "doc/ParsV3.h"
#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskPrev.h"
#include "doc/VoskPrin.h"
#include "doc/VoskShap.h"
#include "host/HostFiles.h"
#include "objects/VoskBlok.h"
#include "objects/VoskCanv.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/Fast.h"
#include "pixel/MAsm2.h"
#include "pixel/OPUtil.h"
#include "pixel/ParsChunk.h"
#include "pixel/ParsQuik.h"
#include "pixel/SysBlt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysMem.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "platform/VoskPref.h"

a_defect_set defects = 0;
a_font_remap_proc g_ask_font_remap_proc = nullptr;

bool8 No_Serious_Defects() { return (defects & ~Defect_Bit(DEFECT_FONT_NOTAVAIL)) == 0; }

namespace {

std::string g_write_reason;

void Add_Defect(a_defect d) { defects |= Defect_Bit(d); }

int32 Rect_W(const Rect& r) { return int32(r.right) - r.left; }
int32 Rect_H(const Rect& r) { return int32(r.bottom) - r.top; }

// The photos of a document whose pictures live in the file: pasted and
// collage pictures, and imported files.
bool Is_Embedded_Kind(a_source_kind kind) {
  return kind == SOURCE_CLIPBOARD || kind == SOURCE_COLLAGE || kind == SOURCE_EXTFILE;
}

uint32 Unit_Count(const a_doc_rec& doc) {
  return doc.doc_template.nunits <= MAXNUNITS ? doc.doc_template.nunits : MAXNUNITS;
}

// Calls f(unit, item) for every object of every master unit of doc, unit 1
// first, each list from the bottom up.
template <typename F>
void For_Each_Object(const a_doc_rec& doc, F f) {
  const uint32 n = Unit_Count(doc);
  for (uint32 ux = 1; ux <= n; ++ux) {
    a_doc_unit* unit = doc.doc_units[ux - 1];
    if (unit == nullptr || unit->clonef) continue;
    const int32 nlist = std::min(unit->oj.nlist, MAX_OJ);
    for (int32 i = 0; i < nlist; ++i) f(ux, unit->oj.list[i]);
  }
}

// The codec as stored: its four bytes in the reverse order.
uint32 Reverse_Codec(uint32 codec) {
  return (codec >> 24) | ((codec >> 8) & 0xFF00u) | ((codec << 8) & 0xFF0000u) | (codec << 24);
}

void Codec_To_Chars(OSType codec, char (&out)[4]) {
  for (int32 i = 0; i < 4; ++i) out[i] = char(uint8(codec >> (24 - 8 * i)));
}

// --- Writing ---------------------------------------------------------------------------

// The bounding box of the mask's non-zero pixels (empty when there are none).
Rect Calc_Mask_Subset(GWorldPtr mask) {
  Rect r{0, 0, 0, 0};
  if (mask == nullptr) return r;
  const PixMap& p = mask->pix;
  if (p.baseAddr == nullptr || p.pixelSize != 8) return r;
  const int32 w = int32(p.bounds.right) - p.bounds.left, h = int32(p.bounds.bottom) - p.bounds.top;
  int32 top = h, bottom = -1, left = w, right = -1;
  for (int32 y = 0; y < h; ++y) {
    const uint8* row = reinterpret_cast<const uint8*>(p.baseAddr) + size_t(y) * PixMap_RowBytes(p);
    int32 x0 = 0;
    while (x0 < w && row[x0] == 0) ++x0;
    if (x0 == w) continue;
    int32 x1 = w - 1;
    while (row[x1] == 0) --x1;
    top = std::min(top, y);
    bottom = y;
    left = std::min(left, x0);
    right = std::max(right, x1);
  }
  if (bottom < 0) return r;
  r.top = int16(p.bounds.top + top);
  r.left = int16(p.bounds.left + left);
  r.bottom = int16(p.bounds.top + bottom + 1);
  r.right = int16(p.bounds.left + right + 1);
  return r;
}

// The preview of the open dialog: the print preview of the page fitted
// into 140 x 190, over grey, drawn in the preview's ink.
GWorldPtr Gen_Thumbnail() {
  a_coord_mapping mapping{};
  a_frect fused{};
  PrintPreview_Calc_Mapping(g_doc.doc_template, Rect{0, 0, PREVIEW_MAX_V, PREVIEW_MAX_H}, true, mapping, fused);
  const Rect page = mapping.netbox;
  GWorldPtr world = nullptr;
  if (EmptyRect(page) || New_GWorld(page, 32, nullptr, world) != noErr || world == nullptr) return nullptr;
  Push_GWorld(world);
  RGBForeColor(RGBColor{128 * 257, 128 * 257, 128 * 257});
  PaintRect(page);
  RGBForeColor(RGBColor{50 * 257, 50 * 257, 250 * 257});
  PrintPreview_Paint2(false, false, false, true, 1, mapping);
  RGBForeColor(RGBColor{0, 0, 0});
  Pop_GWorld();
  return world;
}

// The distinct block fonts of the texts, in order of first appearance.
std::vector<uint32> Gather_Fonts(const a_doc_rec& doc) {
  std::vector<uint32> fonts;
  For_Each_Object(doc, [&](uint32, const a_oj_item& item) {
    if (item.kind != TEXT_BLOCK || item.om == nullptr || fonts.size() >= MAXNFONTS) return;
    if (std::find(fonts.begin(), fonts.end(), item.om->fontx) == fonts.end()) fonts.push_back(item.om->fontx);
  });
  return fonts;
}

void Write_Template() {
  const a_template& t = g_doc.doc_template;
  Chunk_WriteStart("TMPL", 1);
  Chunk_WriteInt16(TEMPLATE_VERSION_3);
  Chunk_WriteInt16(0);
  Chunk_WriteCard32(0);
  Chunk_WriteRaw(t.label, sizeof t.label);
  Chunk_WriteCard32(t.tflags);
  Chunk_WriteReal(t.papersize.x);
  Chunk_WriteReal(t.papersize.y);
  Chunk_WriteCard32(Unit_Count(g_doc));
  for (uint32 ux = 1; ux <= Unit_Count(g_doc); ++ux) {
    const a_unit& u = t.units[ux - 1];
    Chunk_WriteRaw(&u.kind, 1);
    Chunk_WriteCard32(u.uflags);
    Chunk_WriteInt16(u.viewangle);
    Chunk_WriteFRect(u.bbox);
    Chunk_WriteFRect(u.bleed);
    for (float m : u.meas) Chunk_WriteReal(m);
  }
  Chunk_WriteStop();
}

// The sample of a font that another machine shows when it lacks the font:
// its name in its own face, black on white, 14 points on a baseline at
// three quarters of the height, as 240 x 16 grey pixels.
void Write_Font_Sample(uint32 fontx) {
  const Rect r{0, 0, FONT_SAMPLE_V, FONT_SAMPLE_H};
  GWorldPtr colour = nullptr, grey = nullptr;
  if (New_GWorld(r, 32, nullptr, colour) != noErr || colour == nullptr) return;
  if (New_GWorld(r, 8, gray_ctable2, grey) != noErr || grey == nullptr) {
    Dispose_GWorld(colour);
    return;
  }
  uStr255 name{};
  FontX_To_Name(fontx, name);
  int32 len = 0;
  while (len < 255 && name[len] != 0) ++len;
  a_fontspec spec;
  Null_FontSpec(spec);
  spec.fontID = fontx;
  spec.size = 14;
  Push_GWorld(colour);
  RGBBackColor(RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
  EraseRect(r);
  RGBForeColor(RGBColor{0, 0, 0});
  TextMode(srcOr);
  Draw_Unicode_Text(spec, 2, int16(FONT_SAMPLE_V * 3 / 4), name, len);
  Pop_GWorld();
  // One channel of the black-on-white sample is its grey.
  const PixMap& from = colour->pix;
  const PixMap& to = grey->pix;
  for (int32 y = 0; y < FONT_SAMPLE_V; ++y) {
    const uint8* src = reinterpret_cast<const uint8*>(from.baseAddr) + size_t(y) * PixMap_RowBytes(from);
    uint8* dst = reinterpret_cast<uint8*>(to.baseAddr) + size_t(y) * PixMap_RowBytes(to);
    for (int32 x = 0; x < FONT_SAMPLE_H; ++x) dst[x] = src[4 * x + 1];
  }
  Chunk_WriteWorld("FONX", int32(fontx), grey, r);
  Dispose_GWorld(grey);
  Dispose_GWorld(colour);
}

void Write_Font_Table() {
  const std::vector<uint32> fonts = Gather_Fonts(g_doc);
  Chunk_WriteStart("FONT", 1);
  Chunk_WriteInt16(FONT_VERSION);
  Chunk_WriteCard32(uint32(fonts.size()));
  for (uint32 fx : fonts) {
    uStr255 name{};
    FontX_To_Name(fx, name);
    UniChar stored[128]{};
    for (int32 i = 0; i < 128 && name[i] != 0; ++i) stored[i] = name[i];
    Chunk_WriteCard32(fx);
    Chunk_WriteUString(stored, int32(sizeof stored));
  }
  Chunk_WriteStop();
  for (uint32 fx : fonts) Write_Font_Sample(fx);
}

void Write_Direct() {
  a_print_media_spec spec;
  Get_Media_Specs(spec);
  // The media record is packed: its label is copied out to be written.
  uStr63 label;
  std::memcpy(label, spec.label, sizeof label);
  int16 adj[NMEDIA_ADJ];
  std::memcpy(adj, spec.adj, sizeof adj);
  Chunk_WriteStart("DIRE", 1);
  Chunk_WriteInt16(DIRE_VERSION);
  Chunk_WriteUString(label, int32(sizeof label));
  Chunk_WriteInt16(spec.nudge.h);
  Chunk_WriteInt16(spec.nudge.v);
  for (int16 a : adj) Chunk_WriteInt16(a);
  Chunk_WriteStop();
}

void Write_UnitHeader(uint32 ux, const a_doc_unit& u) {
  const a_canvas_spec& cv = u.canv.cv;
  Chunk_WriteStart("UNIT", int32(ux));
  Chunk_WriteInt16(UNITHDR_VERSION);
  Chunk_WriteRect(u.paintbounds);
  Chunk_WriteBoolean(u.clonef);
  Chunk_WriteBoolean(u.printf);
  Chunk_WriteCard32(u.groupx);
  Chunk_WritePoint(u.symmetry_center);
  Chunk_WritePoint(u.ruler_origin);
  Chunk_WritePoint(u.edit_focus);
  Chunk_WriteKey(cv.canvas_key);
  Chunk_WriteCard16(cv.canvas_nrot);
  for (int16 v : {cv.canvas_angle, cv.canvas_darkness, cv.canvas_scaling, cv.canvas_fuzz_in, cv.canvas_fuzz_out,
                  cv.canvas_color_sat, cv.canvas_color_hue, cv.canvas_color_dist})
    Chunk_WriteInt16(v);
  Chunk_WriteBoolean(cv.canvas_flipx);
  Chunk_WriteBoolean(cv.canvas_flipy);
  Chunk_WriteBoolean(cv.canvas_invert);
  Chunk_WriteCard16(DISC_CHECKSUM);
  Chunk_WriteStop();
}

void Write_PH(const a_ph_rec& ph) {
  const a_spec& s = ph.spec;
  Chunk_WriteInt16(PH_VERSION);
  Chunk_WriteCard16(s.source.sid);
  const uint8 kind = uint8(s.source.kind);
  Chunk_WriteRaw(&kind, 1);
  if (s.source.kind == SOURCE_DATABASE) Chunk_WriteKey(s.source.key);
  if (s.source.kind == SOURCE_EXTFILE) Chunk_WritePath(s.source.path);
  for (int16 v : {s.angle, s.scalingh, s.scalingv, s.darkness, s.opacity, s.corner, s.feather, s.edge_kind,
                  s.edge_border, s.edge_outline, s.edge_scallop, s.edge_rough, s.color_sat, s.color_hue,
                  s.color_dist, s.shad_dx, s.shad_dy, s.shad_opacity, s.shad_radius})
    Chunk_WriteInt16(v);
  for (bool8 b : {s.flipx, s.flipy, s.invert, s.wtransp, s.shadf, s.constrainf, s.is_symbol}) Chunk_WriteBoolean(b);
  Chunk_WritePixel32(s.symbol_color);
  Chunk_WritePixel32(s.edge_bord_color);
  Chunk_WritePixel32(s.edge_outl_color);
  Chunk_WriteRect(s.subset);
  Chunk_WriteCard16(DISC_CHECKSUM);
  Chunk_WriteCard32(Reverse_Codec(ph.codec));
  Chunk_WritePoint(ph.dst_center);
  Chunk_WriteRect(ph.dst_box);
}

void Write_OM(const a_om_rec& om) {
  Chunk_WriteInt16(OM_VERSION);
  Chunk_WriteRect(om.bbox);
  Chunk_WritePoint(om.anchor);
  Chunk_WritePoint(om.rotcenter);
  for (bool8 b : {om.boldf, om.italf, om.outlf, om.glowf, om.shadf, om.undf}) Chunk_WriteBoolean(b);
  const uint8 lj[2] = {uint8(om.layout), uint8(om.justify)};
  Chunk_WriteRaw(lj, 2);
  Chunk_WriteCard32(om.fontx);
  for (int16 v : {om.size, om.lineangle, om.polarangle, om.radius, om.hspacing, om.vspacing, om.stretch_h,
                  om.stretch_v, om.skew_h, om.skew_v, om.glow_radius, om.glow_opacity, om.glow_style, om.shad_dx,
                  om.shad_dy, om.shad_opacity, om.shad_radius, om.outl_radius, om.spoke_outerd, om.spoke_thickness,
                  om.spoke_totangle, om.spoke_twist, om.contour_margin, om.targwidth, om.opacity})
    Chunk_WriteInt16(v);
  Chunk_WritePixel32(om.base_color);
  Chunk_WritePixel32(om.glow_color);
  Chunk_WritePixel32(om.shad_color);
  Chunk_WritePixel32(om.outl_color);
  const int32 n = std::clamp(om.nxyl, 0, MAX_NXYL);
  Chunk_WriteInt32(n);
  Chunk_WriteInt16(XYL_VERSION);
  static constexpr uint8 zeros[13] = {};
  for (int32 i = 0; i < n; ++i) {
    const a_xyl_char& c = om.xyl[i];
    Chunk_WriteCard16(c.cc_char);
    Chunk_WriteCard32(c.cc_fontx);
    Chunk_WritePixel32(c.cc_color);
    Chunk_WriteInt16(c.cc_nudgex);
    Chunk_WriteInt16(c.cc_nudgey);
    Chunk_WriteInt16(c.cc_nudget);
    Chunk_WriteInt16(c.cc_size);
    Chunk_WriteBoolean(c.cc_boldf);
    Chunk_WriteBoolean(c.cc_italf);
    Chunk_WriteBoolean(c.cc_undf);
    Chunk_WriteBoolean(c.cc_pad);
    Chunk_WriteRaw(zeros, sizeof zeros);
  }
  Chunk_WriteCard16(DISC_CHECKSUM);
}

void Write_Object_Table(uint32 ux, const a_oj_master& oj) {
  const int32 n = std::clamp(oj.nlist, 0, MAX_OJ);
  Chunk_WriteStart("OBJT", int32(ux));
  Chunk_WriteInt16(OBJT_VERSION);
  Chunk_WriteInt32(n);
  for (int32 i = 0; i < n; ++i) {
    const a_oj_item& item = oj.list[i];
    const uint8 fk[2] = {item.flags, uint8(item.kind)};
    Chunk_WriteRaw(fk, 2);
    if (item.kind == TEXT_BLOCK) {
      if (item.om != nullptr) Write_OM(*item.om);
    } else if (item.kind != PAINT_BLOCK && item.ph != nullptr) {
      Write_PH(*item.ph);
    }
  }
  Chunk_WriteStop();
}

void Write_Paint_Layer(uint32 ux, const a_doc_unit& u) {
  const a_cached_gworld& l = u.statics[PAINT1_LAYER];
  if (!u.paintinuse || l.world == nullptr || l.mask == nullptr) return;
  const Rect subset = Calc_Mask_Subset(l.mask);
  Chunk_WritePix("PAI1", int32(ux), &l.world->pix, subset);
  Chunk_WritePix("MSK1", int32(ux), &l.mask->pix, subset);
}

void Write_Embedded_One(const a_ph_rec& ph, std::vector<uint16>& done) {
  const a_source_desc& src = ph.spec.source;
  if (!Is_Embedded_Kind(src.kind) || std::find(done.begin(), done.end(), src.sid) != done.end()) return;
  if (src.kind == SOURCE_EXTFILE) {
    if (src.sid == 0) return;
    done.push_back(src.sid);
    int32 ix = 0;
    Handle raw = Find_Basis(src.sid, ix) ? Cache_Entry(ix)->c.raw : nullptr;
    const uint32 len = Handle_GetSize(raw);
    Chunk_WriteStart("EMBD", int32(src.sid));
    Chunk_WriteInt16(EMBD_VERSION);
    Chunk_WriteCard32(Reverse_Codec(ph.codec));
    Chunk_WriteInt32(int32(std::min<uint32>(len, INT32_MAX)));
    if (len > 0) {
      Ptr p = Handle_Lock(raw);
      Chunk_WriteRaw(p, len);
      Handle_Unlock(raw);
    }
    Chunk_WriteStop();
    return;
  }
  done.push_back(src.sid);
  a_spec spec = ph.spec;
  a_cache_result c;
  Null_Cache_Result(c);
  Cache_Get(FOR_SAVING, spec, c);
  Chunk_WriteMW("CLIP", "CLIM", int32(src.sid), c.body);
}

// A rough count of the bytes the project needs, to refuse one past the
// format's 32-bit lengths before writing gigabytes.
uint64 Estimate_Size() {
  uint64 n = 64 * 1024;
  std::vector<uint16> seen;
  for (uint32 ux = 1; ux <= Unit_Count(g_doc); ++ux) {
    const a_doc_unit* u = g_doc.doc_units[ux - 1];
    if (u == nullptr || u->clonef || !u->paintinuse) continue;
    n += uint64(Rect_W(u->paintbounds)) * uint64(Rect_H(u->paintbounds)) * 5;
  }
  For_Each_Object(g_doc, [&](uint32, const a_oj_item& item) {
    if (item.kind != PHOTO_BLOCK || item.ph == nullptr) return;
    const a_source_desc& src = item.ph->spec.source;
    if (!Is_Embedded_Kind(src.kind) || std::find(seen.begin(), seen.end(), src.sid) != seen.end()) return;
    seen.push_back(src.sid);
    int32 ix = 0;
    if (!Find_Basis(src.sid, ix)) return;
    const a_cache_item* e = Cache_Entry(ix);
    if (src.kind == SOURCE_EXTFILE) {
      n += Handle_GetSize(e->c.raw);
    } else {
      n += uint64(Rect_W(e->c.body.bounds)) * uint64(Rect_H(e->c.body.bounds)) * 5;
    }
  });
  return n;
}

// Writes every chunk of the document; FALSE at the first failed write.
bool Write_Chunks() {
  const auto ok = [] { return Chunk_Write_Error() == noErr; };
  const uint8 preamble[4] = {uint8(VELMOR_SIGNATURE >> 8), uint8(VELMOR_SIGNATURE & 0xFF), 0,
                             uint8(V4_PREAMBLE_VERSION)};
  Chunk_WriteRaw(preamble, sizeof preamble);
  Progress_Tick(30, 200);
  GWorldPtr preview = Gen_Thumbnail();
  Progress_Tick(40, 200);
  if (preview != nullptr) Chunk_WriteWorld("PREV", 1, preview, preview->pix.bounds);
  Dispose_GWorld(preview);
  Progress_Tick(45, 200);
  if (!ok()) return false;
  Write_Template();
  Progress_Tick(50, 200);
  if (!ok()) return false;
  Write_Font_Table();
  Progress_Tick(55, 200);
  if (!ok()) return false;
  if (Is_Direct_Print()) Write_Direct();
  Progress_Tick(57, 200);
  if (!ok()) return false;
  const uint32 n = Unit_Count(g_doc);
  for (uint32 ux = 1; ux <= n; ++ux) {
    const a_doc_unit* u = g_doc.doc_units[ux - 1];
    if (u == nullptr) continue;
    Write_UnitHeader(ux, *u);
    if (!u->clonef) {
      Write_Object_Table(ux, u->oj);
      Write_Paint_Layer(ux, *u);
    }
    if (!ok()) return false;
    Progress_Tick(int16(60 + (n > 1 ? 60 * (ux - 1) / (n - 1) : 60)), 200);
  }
  std::vector<uint16> done;
  bool good = true;
  For_Each_Object(g_doc, [&](uint32 ux, const a_oj_item& item) {
    if (!good || item.kind != PHOTO_BLOCK || item.ph == nullptr) return;
    Write_Embedded_One(*item.ph, done);
    good = ok();
    Progress_Tick(int16(125 + (n > 1 ? 55 * (ux - 1) / (n - 1) : 55)), 200);
  });
  return good;
}

}  // namespace

const std::string& Write_DISC_Reason() { return g_write_reason; }

namespace {
a_disc_write_result Write_DISC_To(const FSSpec& path, std::string* fresh_name);
}  // namespace

a_disc_write_result Write_DISC(const FSSpec& path) { return Write_DISC_To(path, nullptr); }

a_disc_write_result Write_DISC_New(const FSSpec& path, std::string& written) {
  written.clear();
  return Write_DISC_To(path, &written);
}

namespace {
// fresh_name: the file is made under the path's name or a free one after it,
// never over a file, and fresh_name names it.
a_disc_write_result Write_DISC_To(const FSSpec& path, std::string* fresh_name) {
  g_write_reason.clear();
  if (Estimate_Size() > uint64(INT32_MAX)) {
    g_write_reason = "the project is larger than 2 GB, more than a project file can hold";
    return DISC_WRITE_TOO_LARGE;
  }
  const char* name = std::memchr(path.name, 0, sizeof path.name) != nullptr ? path.name : "";
  HostReplace r;
  errno = 0;
  // A read-only project stays as it is, as the save dialog keeps it.
  if (!Host_May_Replace(name) || !Host_Replace_Begin(r, name)) {
    g_write_reason = std::strerror(errno != 0 ? errno : ENOENT);
    return DISC_WRITE_CREATE;
  }
  const bool progress = gs.outer_window != nullptr && gs.controller == HUMAN;
  if (progress) Progress_Tick(PROGRESS_INIT, PROGRESS_INIT);
  Progress_Tick(25, 200);
  Chunk_Init(a_fd(uint32(r.fd)), VELMOR_PREAMBLE_LEN);
  errno = 0;
  const bool written = Write_Chunks();
  const int write_errno = errno;
  const int64 size = Host_Size(r.fd);
  // The replacement owns the descriptor: the stream lets go of it unclosed.
  g_chunk_fd = NULL_FD;
  Chunk_Stop();
  if (progress) Progress_Tick(PROGRESS_STOP, PROGRESS_STOP);
  if (!written) {
    Host_Replace_Abort(r);
    if (size >= int64(INT32_MAX) - kChunkHeaderSize) {
      g_write_reason = "the project is larger than 2 GB, more than a project file can hold";
      return DISC_WRITE_TOO_LARGE;
    }
    g_write_reason = std::strerror(write_errno != 0 ? write_errno : EIO);
    return DISC_WRITE_IO;
  }
  errno = 0;
  if (!(fresh_name != nullptr ? Host_Replace_Commit_New(r) : Host_Replace_Commit(r))) {
    g_write_reason = std::strerror(errno != 0 ? errno : EIO);
    return DISC_WRITE_IO;
  }
  if (fresh_name != nullptr) *fresh_name = r.target;
  return DISC_WRITE_OK;
}
}  // namespace

// --- Reading ---------------------------------------------------------------------------

OSType Canonicalize_Codec(OSType codec) {
  struct Pair {
    OSType from, to;
  };
  static constexpr Pair kPairs[] = {{FourCC("GEPJ"), FourCC("JPEG")}, {FourCC(" GPJ"), FourCC("JPEG")},
                                    {FourCC("fFIG"), FourCC("GIFf")}, {FourCC("fPMB"), FourCC("BMPf")},
                                    {FourCC("SPB8"), FourCC("8BPS")}, {FourCC("FFIT"), FourCC("TIFF")}};
  for (const Pair& p : kPairs)
    if (codec == p.from) return p.to;
  return codec;
}

namespace {

// The file name part of a stored path: after the last "/" or "\".
const char* Leaf_Name(const char* path) {
  const char* leaf = path;
  for (const char* p = path; *p != 0; ++p)
    if (*p == '/' || *p == '\\') leaf = p + 1;
  return leaf;
}

bool Scan_File(const char* name, a_picture_scan_rec& scan) {
  FSSpec p{};
  if (!Path_From_Text(p, name)) return false;
  a_file_format format = FMT_DISC;
  std::memset(static_cast<void*>(&scan), 0, sizeof scan);
  return Scan_Quicktime(p, scan, format) == 0 && scan.body.fore != nullptr;
}

}  // namespace

bool8 Attempt_Repair_Photo(const FSSpec& docpath, a_spec& spec, a_picture_scan_rec& scan) {
  FSSpec& path = spec.source.path;
  if (std::memchr(path.name, 0, sizeof path.name) == nullptr) return false;
  if (path.name[0] != 0 && path.name[0] != '\\' && Host_Is_File(path.name) && Scan_File(path.name, scan)) return true;
  const char* leaf = Leaf_Name(path.name);
  if (leaf[0] == 0 || std::memchr(docpath.name, 0, sizeof docpath.name) == nullptr) return false;
  const std::string doc(docpath.name);
  const size_t slash = doc.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : doc.substr(0, slash == 0 ? 1 : slash);
  std::vector<std::string> names;
  if (!Host_List_Dir(folder.c_str(), names)) return false;
  // The exact name first, then one that differs only in case.
  std::string found;
  for (const std::string& n : names)
    if (n == leaf) found = n;
  if (found.empty())
    for (const std::string& n : names)
      if (strcasecmp(n.c_str(), leaf) == 0) {
        found = n;
        break;
      }
  if (found.empty()) return false;
  const std::string full = (folder == "/" ? std::string() : folder) + "/" + found;
  if (!Host_Is_File(full.c_str()) || !Scan_File(full.c_str(), scan)) return false;
  FSSpec fixed{};
  if (Path_From_Text(fixed, full.c_str()) && std::strlen(fixed.name) <= 255) path = fixed;
  return true;
}

namespace {

// A picture read from the file (or found again, or its placeholder), kept
// aside until the document it belongs to replaces the open one.
struct a_staged_picture {
  uint16 sid;  // as the file numbers it
  a_source_kind kind;
  FSSpec path;
  a_masked_gworld body;
  Handle raw;
  Rect natural;
  char codec[4];
};

struct a_font_mapping {
  uStr255 old_name;
  uint32 old_fx;
  uint32 new_fx;
};

// Largest picture a photo's subset may ask of a placeholder.
constexpr int64 kMaxSubsetPixels = int64(32767) * 32767;

struct a_reader {
  FSSpec path{};
  std::unique_ptr<a_doc_rec> doc;
  std::vector<a_font_mapping> fonts;
  std::vector<a_staged_picture> staged;
  bool media_found = true;
  a_print_media_spec media{};
  // An object list had its paint layer off item 1 (an earlier version let
  // the layer bar put it there): moved back, said once after the read.
  bool layers_repaired = false;
  // What the records and layers made so far hold, against half the memory
  // free when the read began: a damaged file asking for more is refused
  // rather than ending the program in the out-of-memory alert.
  uint64 used = 0;
  uint64 budget = Heap_CalcFree64() / 2;

  a_reader() : doc(new a_doc_rec()) { std::memset(static_cast<void*>(doc.get()), 0, sizeof(a_doc_rec)); }
  a_reader(const a_reader&) = delete;
  a_reader& operator=(const a_reader&) = delete;
  ~a_reader() {
    if (doc != nullptr)
      for (a_doc_unit*& u : doc->doc_units) {
        if (u == nullptr) continue;
        Dispose_Unit_Content(u);
        Dispose_Unit_Rec(u);
      }
    for (a_staged_picture& s : staged) {
      Dispose_MW(s.body);
      Dispose_Handle(s.raw);
    }
  }
};

// Finds a chunk; a damaged stream on the way counts as an I/O error.
bool Find(CStrSpan label, int32 id) {
  if (Chunk_Find(label, id)) return true;
  if (Chunk_Read_Error() != noErr) Add_Defect(DEFECT_IO_ERROR);
  return false;
}

// After a chunk's reads: one that ended early or failed is an I/O error.
bool Body_Ok() {
  if (Chunk_Read_Error() == noErr) return true;
  Add_Defect(DEFECT_IO_ERROR);
  return false;
}

uint8 Read_U8() {
  uint8 b = 0;
  Chunk_ReadRaw(&b, 1);
  return b;
}

bool Checksum_Ok() {
  uint16 sum = 0;
  Chunk_ReadCard16(sum);
  // A record that ran past its chunk is damaged, not merely short of its
  // check word.
  if (!Body_Ok()) return false;
  if (sum == DISC_CHECKSUM) return true;
  Add_Defect(DEFECT_CHECKSUM);
  return false;
}

bool Finite(float v) { return std::isfinite(v); }
bool FRect_Ok(const a_frect& r) {
  return Finite(r.left) && Finite(r.top) && Finite(r.right) && Finite(r.bottom);
}

// A rectangle whose sides and size fit 16 bits, not inverted.
bool Rect_Ok(const Rect& r) {
  const int32 w = int32(r.right) - r.left, h = int32(r.bottom) - r.top;
  return w >= 0 && h >= 0 && w <= 32767 && h <= 32767;
}

// Opens the file and checks its preamble; version gets what it holds.
a_fd Read_V4_Preamble(const FSSpec& path, uint16& version) {
  const a_fd fd = Open_Preamble(path, version);
  if (Is_Null_Fd(fd)) return NULL_FD;
  if (version != V4_PREAMBLE_VERSION) {
    Add_Defect(DEFECT_FILE_VERSION);
    File_Close(fd);
    return NULL_FD;
  }
  return fd;
}

void Read_Template(a_reader& rd) {
  a_template& t = rd.doc->doc_template;
  if (!Find("TMPL", 1)) {
    Add_Defect(DEFECT_TMPL_MISSING);
    return;
  }
  int16 version = 0, r16 = 0;
  uint32 r32 = 0, n = 0;
  Chunk_ReadInt16(version);
  if (!Body_Ok()) return;
  if (version != TEMPLATE_VERSION_3) {
    Add_Defect(DEFECT_TMPL_VERSION);
    return;
  }
  Chunk_ReadInt16(r16);
  Chunk_ReadCard32(r32);
  Chunk_ReadRaw(t.label, sizeof t.label);
  t.label[sizeof t.label - 1] = 0;
  Chunk_ReadCard32(t.tflags);
  Chunk_ReadReal(t.papersize.x);
  Chunk_ReadReal(t.papersize.y);
  Chunk_ReadCard32(n);
  if (!Body_Ok()) return;
  const auto paper_ok = [](float v) { return v >= 50.0f && v <= 1000.0f; };
  if (!paper_ok(t.papersize.x) || !paper_ok(t.papersize.y) || n == 0 || n > MAXNUNITS) {
    Add_Defect(DEFECT_TMPL_VERSION);
    return;
  }
  t.nunits = n;
  for (uint32 i = 0; i < n; ++i) {
    a_unit& u = t.units[i];
    u.kind = Read_U8();
    Chunk_ReadCard32(u.uflags);
    Chunk_ReadInt16(u.viewangle);
    Chunk_ReadFRect(u.bbox);
    Chunk_ReadFRect(u.bleed);
    for (float& m : u.meas) Chunk_ReadReal(m);
    if (!Body_Ok()) return;
    bool ok = u.kind <= LAST_UNIT_KIND && FRect_Ok(u.bbox) && FRect_Ok(u.bleed) && u.bbox.right >= u.bbox.left &&
              u.bbox.bottom >= u.bbox.top;
    for (float m : u.meas) ok = ok && Finite(m) && m >= 0;
    if (!ok) {
      Add_Defect(DEFECT_TMPL_VERSION);
      return;
    }
  }
  if (Check_Template(t) != EXPAND_OK) Add_Defect(DEFECT_TMPL_VERSION);
}

bool Is_Wrong_Endian_UString(const UniChar* s) {
  for (int32 i = 0; i < 3; ++i)
    if ((s[i] & 0xFF) != 0 || (s[i] >> 8) == 0) return false;
  return true;
}

void Read_Font_Table(a_reader& rd) {
  if (!Find("FONT", 1)) {
    Add_Defect(DEFECT_FONTTABLE_MISSING);
    return;
  }
  int16 version = 0;
  uint32 n = 0;
  Chunk_ReadInt16(version);
  Chunk_ReadCard32(n);
  if (!Body_Ok()) return;
  if (version != FONT_VERSION || n > MAXNFONTS) {
    Add_Defect(DEFECT_FONTTABLE_VERSION);
    return;
  }
  rd.fonts.resize(n);
  for (a_font_mapping& m : rd.fonts) {
    std::memset(m.old_name, 0, sizeof m.old_name);
    Chunk_ReadCard32(m.old_fx);
    Chunk_ReadUString(m.old_name, 256);
    if (!Body_Ok()) return;
    if (Is_Wrong_Endian_UString(m.old_name))
      for (int32 i = 0; i < 128; ++i) m.old_name[i] = UniChar((m.old_name[i] >> 8) | (m.old_name[i] << 8));
    m.new_fx = Name_To_FontX(m.old_name);
    if (m.new_fx == 0) Add_Defect(DEFECT_FONT_NOTAVAIL);
  }
}

void Read_Direct(a_reader& rd) {
  if (!Find("DIRE", 1)) return;
  int16 version = 0;
  Chunk_ReadInt16(version);
  if (!Body_Ok() || version != DIRE_VERSION) return;
  // The media record is packed: its fields are read into aligned locals.
  uStr63 label{};
  int16 nudge_h = 0, nudge_v = 0, adj[NMEDIA_ADJ] = {};
  Chunk_ReadUString(label, int32(sizeof label));
  Chunk_ReadInt16(nudge_h);
  Chunk_ReadInt16(nudge_v);
  for (int16& a : adj) Chunk_ReadInt16(a);
  if (!Body_Ok()) return;
  label[63] = 0;
  a_print_media_spec& s = rd.media;
  std::memcpy(s.label, label, sizeof label);
  s.nudge = Point{nudge_v, nudge_h};
  std::memcpy(s.adj, adj, sizeof adj);
  const a_direct_print_kind kind = Calc_Direct_Print_KindT(rd.doc->doc_template);
  const a_print_media_array& list = gs.pref.print_media[kind];
  for (int16 i = 0; i < NMEDIA_SPECS; ++i) {
    int32 k = 0;
    while (k < 63 && list.list[i].label[k] == s.label[k] && s.label[k] != 0) ++k;
    if (k == 63 || list.list[i].label[k] == s.label[k]) {
      rd.doc->doc_mediax = i;
      return;
    }
  }
  rd.media_found = false;
  rd.doc->doc_mediax = 2;
}

void Read_UnitHeader(a_reader& rd, uint32 ux, a_doc_unit& u) {
  if (!Find("UNIT", int32(ux))) {
    Add_Defect(DEFECT_UHDR_MISSING);
    return;
  }
  int16 version = 0;
  Chunk_ReadInt16(version);
  if (!Body_Ok()) return;
  if (version != UNITHDR_VERSION) {
    Add_Defect(DEFECT_UHDR_VERSION);
    return;
  }
  a_canvas_spec& cv = u.canv.cv;
  Chunk_ReadRect(u.paintbounds);
  Chunk_ReadBoolean(u.clonef);
  Chunk_ReadBoolean(u.printf);
  Chunk_ReadCard32(u.groupx);
  Chunk_ReadPoint(u.symmetry_center);
  Chunk_ReadPoint(u.ruler_origin);
  Chunk_ReadPoint(u.edit_focus);
  Chunk_ReadKey(cv.canvas_key);
  Chunk_ReadCard16(cv.canvas_nrot);
  for (int16* v : {&cv.canvas_angle, &cv.canvas_darkness, &cv.canvas_scaling, &cv.canvas_fuzz_in,
                   &cv.canvas_fuzz_out, &cv.canvas_color_sat, &cv.canvas_color_hue, &cv.canvas_color_dist})
    Chunk_ReadInt16(*v);
  Chunk_ReadBoolean(cv.canvas_flipx);
  Chunk_ReadBoolean(cv.canvas_flipy);
  Chunk_ReadBoolean(cv.canvas_invert);
  if (!Checksum_Ok() || !Body_Ok()) return;
  // Every layer of the unit is made over these bounds: they must be the
  // unit's own.
  Rect bounds;
  Calc_Unit_Bounds(rd.doc->doc_template.units[ux - 1], bounds);
  if (!(bounds == u.paintbounds)) Add_Defect(DEFECT_UHDR_VERSION);
}

// Copies a stored picture of the layer's bounds and depth onto the layer.
bool Copy_Onto(const PixMap& from, GWorldPtr to, int16 depth) {
  if (to == nullptr || from.baseAddr == nullptr || from.pixelSize != depth || !(from.bounds == to->pix.bounds))
    return false;
  const PixMap& p = to->pix;
  const size_t row = size_t(Rect_W(p.bounds)) * size_t(depth / 8);
  for (int32 y = 0; y < Rect_H(p.bounds); ++y)
    std::memcpy(p.baseAddr + size_t(y) * PixMap_RowBytes(p), from.baseAddr + size_t(y) * PixMap_RowBytes(from), row);
  return true;
}

void Read_Paint_Layer(uint32 ux, a_doc_unit& u) {
  u.paintinuse = Chunk_Find("PAI1", int32(ux));
  if (!u.paintinuse) {
    if (Chunk_Read_Error() != noErr) Add_Defect(DEFECT_IO_ERROR);
    return;
  }
  Sync_Existence(true, &u, PAINT1_LAYER);
  a_cached_gworld& l = u.statics[PAINT1_LAYER];
  PixMap image, mask;
  Null_PixMap(image);
  Null_PixMap(mask);
  const bool ok = Chunk_ReadPix("PAI1", int32(ux), image) == noErr && Copy_Onto(image, l.world, 32) &&
                  Chunk_ReadPix("MSK1", int32(ux), mask) == noErr && Copy_Onto(mask, l.mask, 8);
  if (!Is_Null_PixMap(image)) Dispose_PixMap(image);
  if (!Is_Null_PixMap(mask)) Dispose_PixMap(mask);
  if (!ok) Add_Defect(DEFECT_IO_ERROR);
}

bool Read_PH(int16 objt_version, a_ph_rec& ph) {
  a_spec& s = ph.spec;
  if (objt_version == 2) {
    int16 v = 0;
    Chunk_ReadInt16(v);
    if (!Body_Ok()) return false;
    if (v != PH_VERSION) {
      Add_Defect(DEFECT_CHECKSUM);
      return false;
    }
  }
  Chunk_ReadCard16(s.source.sid);
  const uint8 kind = Read_U8();
  if (!Body_Ok()) return false;
  if (kind > SOURCE_COLLAGE) {
    Add_Defect(DEFECT_OBJTABLE_VERSION);
    return false;
  }
  s.source.kind = a_source_kind(kind);
  if (kind == SOURCE_DATABASE) Chunk_ReadKey(s.source.key);
  if (kind == SOURCE_EXTFILE) Chunk_ReadPath(s.source.path);
  for (int16* v : {&s.angle, &s.scalingh, &s.scalingv, &s.darkness, &s.opacity, &s.corner, &s.feather, &s.edge_kind,
                   &s.edge_border, &s.edge_outline, &s.edge_scallop, &s.edge_rough, &s.color_sat, &s.color_hue,
                   &s.color_dist, &s.shad_dx, &s.shad_dy, &s.shad_opacity, &s.shad_radius})
    Chunk_ReadInt16(*v);
  for (bool8* b : {&s.flipx, &s.flipy, &s.invert, &s.wtransp, &s.shadf, &s.constrainf, &s.is_symbol})
    Chunk_ReadBoolean(*b);
  Chunk_ReadPixel32(s.symbol_color);
  Chunk_ReadPixel32(s.edge_bord_color);
  Chunk_ReadPixel32(s.edge_outl_color);
  Chunk_ReadRect(s.subset);
  if (!Checksum_Ok()) return false;
  uint32 codec = 0;
  Chunk_ReadCard32(codec);
  ph.codec = Reverse_Codec(codec);
  Chunk_ReadPoint(ph.dst_center);
  Chunk_ReadRect(ph.dst_box);
  s.hintx = 0;
  if (!Body_Ok()) return false;
  const bool ok = s.edge_kind >= PHOTOEDGE_NONE && s.edge_kind <= PHOTOEDGE_ROUGH && Rect_Ok(s.subset) &&
                  s.subset.top >= 0 && s.subset.left >= 0 &&
                  int64(Rect_W(s.subset)) * Rect_H(s.subset) <= kMaxSubsetPixels && Rect_Ok(ph.dst_box);
  if (!ok) Add_Defect(DEFECT_OBJTABLE_VERSION);
  return ok;
}

bool Read_XYL(int16 objt_version, a_om_rec& om, int32 n) {
  for (int32 i = 0; i < n; ++i) {
    a_xyl_char& c = om.xyl[i];
    std::memset(static_cast<void*>(&c), 0, sizeof c);
    uint16 code = 0;
    Chunk_ReadCard16(code);
    c.cc_char = UniChar(code);
    if (objt_version == 2) {
      uint8 pad[13];
      Chunk_ReadCard32(c.cc_fontx);
      Chunk_ReadPixel32(c.cc_color);
      Chunk_ReadInt16(c.cc_nudgex);
      Chunk_ReadInt16(c.cc_nudgey);
      Chunk_ReadInt16(c.cc_nudget);
      Chunk_ReadInt16(c.cc_size);
      Chunk_ReadBoolean(c.cc_boldf);
      Chunk_ReadBoolean(c.cc_italf);
      Chunk_ReadBoolean(c.cc_undf);
      Chunk_ReadBoolean(c.cc_pad);
      Chunk_ReadRaw(pad, sizeof pad);
    } else {
      int16 dropped = 0;
      for (int32 k = 0; k < 3; ++k) Chunk_ReadInt16(dropped);
      Chunk_ReadInt16(c.mm_x);
      Chunk_ReadInt16(c.mm_y);
      Chunk_ReadInt16(c.mm_t);
      const uint8 cat = Read_U8();
      if (cat > CC_IGNORE) {
        Add_Defect(DEFECT_OBJTABLE_VERSION);
        return false;
      }
      c.mm_cat = a_char_category(cat);
    }
    if (!Body_Ok()) return false;
  }
  return true;
}

bool Read_OM(int16 objt_version, a_om_rec& om) {
  if (objt_version == 2) {
    int16 v = 0;
    Chunk_ReadInt16(v);
    if (!Body_Ok()) return false;
    if (v != OM_VERSION) {
      Add_Defect(DEFECT_CHECKSUM);
      return false;
    }
  }
  Chunk_ReadRect(om.bbox);
  Chunk_ReadPoint(om.anchor);
  Chunk_ReadPoint(om.rotcenter);
  for (bool8* b : {&om.boldf, &om.italf, &om.outlf, &om.glowf, &om.shadf, &om.undf}) Chunk_ReadBoolean(*b);
  const uint8 layout = Read_U8(), justify = Read_U8();
  Chunk_ReadCard32(om.fontx);
  for (int16* v : {&om.size, &om.lineangle, &om.polarangle, &om.radius, &om.hspacing, &om.vspacing, &om.stretch_h,
                   &om.stretch_v, &om.skew_h, &om.skew_v, &om.glow_radius, &om.glow_opacity, &om.glow_style,
                   &om.shad_dx, &om.shad_dy, &om.shad_opacity, &om.shad_radius, &om.outl_radius, &om.spoke_outerd,
                   &om.spoke_thickness, &om.spoke_totangle, &om.spoke_twist, &om.contour_margin, &om.targwidth,
                   &om.opacity})
    Chunk_ReadInt16(*v);
  Chunk_ReadPixel32(om.base_color);
  Chunk_ReadPixel32(om.glow_color);
  Chunk_ReadPixel32(om.shad_color);
  Chunk_ReadPixel32(om.outl_color);
  int32 n = 0;
  Chunk_ReadInt32(n);
  if (!Body_Ok()) return false;
  if (layout >= NTEXT_LAYOUTS || justify > JUST_RIGHT || n < 0 || n > MAX_NXYL) {
    Add_Defect(DEFECT_OBJTABLE_VERSION);
    return false;
  }
  om.layout = a_text_layout(layout);
  om.justify = a_horz_just(justify);
  if (objt_version == 2) {
    int16 v = 0;
    Chunk_ReadInt16(v);
    if (!Body_Ok()) return false;
    if (v != XYL_VERSION) {
      Add_Defect(DEFECT_CHECKSUM);
      return false;
    }
  }
  if (!Read_XYL(objt_version, om, n)) return false;
  if (!Checksum_Ok()) return false;
  if (!Body_Ok()) return false;
  // The text ends with its end-of-string entry; a full text must have it.
  if (n == 0 || om.xyl[n - 1].cc_char != EOS_CHAR) {
    if (n == MAX_NXYL) {
      Add_Defect(DEFECT_OBJTABLE_VERSION);
      return false;
    }
    std::memset(static_cast<void*>(&om.xyl[n]), 0, sizeof om.xyl[n]);
    om.xyl[n].cc_char = EOS_CHAR;
    ++n;
  }
  om.xyl[n - 1].mm_cat = CC_EOS;
  om.nxyl = n;
  om.cache.progress = 0;
  om.cache.frame.max = MAX_OM_POINTS;
  om.cache.frame.npoints = 0;
  om.noverflows = 0;
  return true;
}

// Counts bytes the read is about to hold; FALSE (an I/O defect) past the budget.
bool Take(a_reader& rd, uint64 bytes) {
  rd.used += bytes;
  if (rd.used <= rd.budget) return true;
  Add_Defect(DEFECT_IO_ERROR);
  return false;
}

void Read_Object_Table(a_reader& rd, uint32 ux, a_oj_master& oj) {
  if (!Find("OBJT", int32(ux))) {
    Add_Defect(DEFECT_OBJTABLE_MISSING);
    return;
  }
  int16 version = 0;
  int32 n = 0;
  Chunk_ReadInt16(version);
  Chunk_ReadInt32(n);
  if (!Body_Ok()) return;
  if ((version != 1 && version != 2) || n < 1 || n > MAX_OJ) {
    Add_Defect(DEFECT_OBJTABLE_VERSION);
    return;
  }
  OMast_Dispose(oj);
  oj.seq = ux;
  int32 paint = 0;
  for (int32 i = 1; i <= n; ++i) {
    const uint8 flags = Read_U8();
    const uint8 kind = Read_U8();
    if (!Body_Ok()) return;
    // One paint layer in the list; it belongs at the bottom (see below).
    if (kind > PAINT_BLOCK || (kind == PAINT_BLOCK && paint != 0)) {
      Add_Defect(DEFECT_OBJTABLE_VERSION);
      return;
    }
    if (kind == PAINT_BLOCK) paint = i;
    const uint8 f = flags & (OJ_Flag_Bit(SELECTED_FLAG) | OJ_Flag_Bit(PENDING_FLAG) | OJ_Flag_Bit(VISIBLE_FLAG));
    if (kind == PAINT_BLOCK) {
      Obj_Append(oj, PAINT_BLOCK, f, nullptr, nullptr);
    } else if (kind == TEXT_BLOCK) {
      if (!Take(rd, sizeof(a_om_rec))) return;
      a_om_rec* om = New_OM_Rec();
      if (om == nullptr) return Add_Defect(DEFECT_IO_ERROR);
      Obj_Append(oj, TEXT_BLOCK, f, nullptr, om);
      if (!Read_OM(version, *om)) return;
    } else {
      if (!Take(rd, sizeof(a_ph_rec))) return;
      a_ph_rec* ph = New_PH_Rec();
      if (ph == nullptr) return Add_Defect(DEFECT_IO_ERROR);
      Obj_Append(oj, a_oj_kind(kind), f, ph, nullptr);
      if (!Read_PH(version, *ph)) return;
    }
  }
  if (paint == 0) return Add_Defect(DEFECT_OBJTABLE_VERSION);
  // A paint layer saved above other objects goes back to item 1; the
  // others keep their order.
  if (paint > 1) {
    std::rotate(oj.list, oj.list + paint - 1, oj.list + paint);
    rd.layers_repaired = true;
  }
}

void Read_Units(a_reader& rd) {
  a_doc_rec& d = *rd.doc;
  const uint32 n = Unit_Count(d);
  for (uint32 ux = 1; ux <= n && No_Serious_Defects(); ++ux) {
    if (!Take(rd, sizeof(a_doc_unit))) return;
    a_doc_unit* u = New_Unit_Rec();
    d.doc_units[ux - 1] = u;
    if (u == nullptr) return Add_Defect(DEFECT_IO_ERROR);
    Read_UnitHeader(rd, ux, *u);
    if (!No_Serious_Defects() || u->clonef) continue;
    // A painted layer: its picture and mask, and the copies read into.
    if (Chunk_Find("PAI1", int32(ux)) &&
        !Take(rd, uint64(Rect_W(u->paintbounds)) * uint64(Rect_H(u->paintbounds)) * 10))
      return;
    Read_Paint_Layer(ux, *u);
    if (No_Serious_Defects()) Read_Object_Table(rd, ux, u->oj);
    Progress_Tick(int16(60 + (n > 1 ? 60 * (ux - 1) / (n - 1) : 60)), 200);
  }
}

// A picture that cannot be had stays missing: nothing is staged, so the
// photo gets a sid of its own that no picture has (Insert_Pictures).
void Stage_Missing(a_reader&, const a_ph_rec&) {}

void Stage(a_reader& rd, const a_ph_rec& ph, a_masked_gworld body, Handle raw, const char (&codec)[4]) {
  a_staged_picture s{};
  s.sid = ph.spec.source.sid;
  s.kind = ph.spec.source.kind;
  s.path = ph.spec.source.path;
  s.body = body;
  s.raw = raw;
  s.natural = body.bounds;
  std::memcpy(s.codec, codec, 4);
  rd.staged.push_back(s);
}

void Read_ExtFile(a_reader& rd, a_ph_rec& ph) {
  const uint16 sid = ph.spec.source.sid;
  if (!Find("EMBD", int32(sid))) return;  // loaded from its path when shown
  int16 version = 0;
  uint32 stored = 0;
  int32 len = 0;
  Chunk_ReadInt16(version);
  if (!Body_Ok()) return;
  if (version != EMBD_VERSION) return Add_Defect(DEFECT_EMBED_VERSION);
  Chunk_ReadCard32(stored);
  Chunk_ReadInt32(len);
  if (!Body_Ok()) return;
  // The length must lie within the body before anything is allocated.
  if (len < 0 || len > g_chunk_len - 10) return Add_Defect(DEFECT_EMBED_VERSION);
  const OSType codec = Canonicalize_Codec(Reverse_Codec(stored));
  ph.codec = codec;
  const char none[4] = {0, 0, 0, 0};
  if (len == 0) {
    a_picture_scan_rec scan;
    if (Attempt_Repair_Photo(rd.path, ph.spec, scan)) {
      Stage(rd, ph, scan.body, nullptr, none);
    } else {
      Stage_Missing(rd, ph);
    }
    return;
  }
  Handle raw = New_Handle(uint32(len));
  if (raw == nullptr) return Add_Defect(DEFECT_IO_ERROR);
  Chunk_ReadRaw(Handle_Lock(raw), uint32(len));
  Handle_Unlock(raw);
  if (!Body_Ok()) {
    Dispose_Handle(raw);
    return;
  }
  char chars[4];
  Codec_To_Chars(codec, chars);
  a_picture_scan_rec scan;
  std::memset(static_cast<void*>(&scan), 0, sizeof scan);
  // Read at the size the photo as placed needs; the render cache reads the
  // kept bytes again when a rendering (a print) needs more.
  const a_scan_want want{0, 0, std::max<int32>(std::max(ph.spec.scalingh, ph.spec.scalingv), 1), false};
  Rect natural{};
  const int16 result = Scan_Quicktime_Codec_Reduced(chars, reinterpret_cast<const uint8*>(Handle_Lock(raw)),
                                                    size_t(len), want, scan, natural);
  Handle_Unlock(raw);
  if (result == 0 && scan.body.fore != nullptr) {
    Stage(rd, ph, scan.body, raw, chars);
    rd.staged.back().natural = natural;
  } else {
    Dispose_Handle(raw);
    Stage_Missing(rd, ph);
  }
}

// A stored picture of 1, 8 or 16 bits (the chunk format allows them) is made
// 32 bits deep as it is read: photos are drawn from 32-bit pictures. FALSE
// when no memory was had for it.
bool Clip_To_32_Bits(GWorldPtr& world) {
  PixMapPtr pm = Get_GWorld_PixMap(world);
  if (pm->pixelSize == 32) return true;
  GWorldPtr deep = nullptr;
  if (New_GWorld(pm->bounds, 32, nullptr, deep) != noErr || deep == nullptr) return false;
  Lock_GWorld(world);
  Lock_GWorld(deep);
  PixMapPtr d = Get_GWorld_PixMap(deep);
  if (pm->pixelSize == 1) {
    // Set bits black, clear bits white, as a 1-bit picture shows.
    a_pixel32 zero{}, one{};
    zero.r = zero.g = zero.b = 255;
    zero.a = one.a = 255;
    PixMap1_To_32(pm, d, zero, one);
  } else {
    Pix_To_Pix(pm, d, pm->bounds, pm->bounds, srcCopy, nullptr);
  }
  Unlock_GWorld(deep);
  Unlock_GWorld(world);
  Dispose_GWorld(world);
  world = deep;
  return true;
}

void Read_Clip(a_reader& rd, const a_ph_rec& ph) {
  a_masked_gworld mw;
  Null_MW(mw);
  if (Chunk_ReadMW("CLIP", "CLIM", int32(ph.spec.source.sid), mw) != noErr) return Add_Defect(DEFECT_IO_ERROR);
  if (Chunk_Read_Error() == kChunkBadData) return Add_Defect(DEFECT_IO_ERROR);
  if (mw.fore == nullptr) {
    Dispose_MW(mw);
    Stage_Missing(rd, ph);
    return;
  }
  if (!Take(rd, uint64(Rect_W(mw.bounds)) * uint64(Rect_H(mw.bounds)) * 5)) {
    Dispose_MW(mw);
    return;
  }
  if (!Clip_To_32_Bits(mw.fore)) {
    Dispose_MW(mw);
    return Add_Defect(DEFECT_IO_ERROR);
  }
  const char none[4] = {0, 0, 0, 0};
  Stage(rd, ph, mw, nullptr, none);
}

void Read_Embedded(a_reader& rd) {
  std::vector<uint16> done;
  For_Each_Object(*rd.doc, [&](uint32, const a_oj_item& item) {
    if (!No_Serious_Defects() || item.kind != PHOTO_BLOCK || item.ph == nullptr) return;
    a_ph_rec& ph = *item.ph;
    const a_source_desc& src = ph.spec.source;
    if (!Is_Embedded_Kind(src.kind) || std::find(done.begin(), done.end(), src.sid) != done.end()) return;
    if (src.kind == SOURCE_EXTFILE && src.sid == 0) return;
    done.push_back(src.sid);
    if (src.kind == SOURCE_EXTFILE) {
      Read_ExtFile(rd, ph);
    } else {
      Read_Clip(rd, ph);
    }
  });
}

// The installed font standing for a font of the file.
uint32 Find_In_Mapping_Table(const a_reader& rd, uint32 fontx) {
  for (const a_font_mapping& m : rd.fonts)
    if (m.old_fx == fontx) return m.new_fx != 0 ? m.new_fx : 1;
  return BASE_PROP_FONT;
}

void Ask_Font_Subst(a_reader& rd) {
  for (a_font_mapping& m : rd.fonts) {
    if (m.new_fx != 0) continue;
    PixMap sample;
    Null_PixMap(sample);
    if (Chunk_ReadPix("FONX", int32(m.old_fx), sample) != noErr) Null_PixMap(sample);
    if (!Is_Null_PixMap(sample) && sample.pixelSize == 8) sample.pmTable = gray_ctable2;
    if (g_ask_font_remap_proc != nullptr) m.new_fx = g_ask_font_remap_proc(sample, CUStrSpan(m.old_name, 256));
    if (!Is_Null_PixMap(sample)) Dispose_PixMap(sample);
  }
  uint32 first = 0, last = 0;
  Count_Fonts(first, last);
  For_Each_Object(*rd.doc, [&](uint32, const a_oj_item& item) {
    if (item.kind != TEXT_BLOCK || item.om == nullptr) return;
    a_om_rec& om = *item.om;
    om.fontx = Find_In_Mapping_Table(rd, om.fontx);
    // A character's own font must name an installed one.
    for (int32 i = 0; i < om.nxyl; ++i)
      if (om.xyl[i].cc_fontx != 0 && (om.xyl[i].cc_fontx < first || om.xyl[i].cc_fontx > last))
        om.xyl[i].cc_fontx = 0;
  });
}

// The pictures read go to the picture cache, which numbers them afresh: the
// photos follow. Sources of the file with no picture here (imported files
// loaded from their paths) are numbered afresh too, so they never meet a
// picture of the open document.
void Insert_Pictures(a_reader& rd, a_doc_rec& doc) {
  struct Map {
    uint16 from, to;
    Rect natural;
  };
  std::vector<Map> map;
  for (a_staged_picture& s : rd.staged) {
    a_source_desc src{};
    src.kind = s.kind;
    src.path = s.path;
    const a_masked_gworld body = s.body;
    Null_MW(s.body);
    Handle raw = s.raw;
    s.raw = nullptr;
    const uint16 to = Cache_Insert_Basis(src, body, raw, s.natural, s.codec) ? src.sid : 0;
    map.push_back({s.sid, to, s.natural});
  }
  For_Each_Object(doc, [&](uint32, const a_oj_item& item) {
    if (item.kind != PHOTO_BLOCK || item.ph == nullptr) return;
    a_source_desc& src = item.ph->spec.source;
    if (!Is_Embedded_Kind(src.kind) || src.sid == 0) return;
    auto it = std::find_if(map.begin(), map.end(), [&](const Map& m) { return m.from == src.sid; });
    if (it == map.end()) {
      map.push_back({src.sid, Calc_Next_SID(), Rect{0, 0, 0, 0}});
      it = map.end() - 1;
    }
    src.sid = it->to;
    // The part of the picture a photo shows lies within the picture: a
    // subset beyond it (a damaged file) would have the photo drawn from
    // pixels that are not there, at any size the file claims.
    Rect& sub = item.ph->spec.subset;
    if (!EmptyRect(it->natural) && !EmptyRect(sub) && !RectContainsRect(it->natural, sub)) {
      Rect within{};
      sub = SectRect(sub, it->natural, within) ? within : it->natural;
    }
  });
}

// The document read replaces the open one (with append, its layout and
// units only).
void Commit(a_reader& rd, bool8 append) {
  a_doc_rec& nd = *rd.doc;
  const uint32 n = Unit_Count(nd);
  if (!append) {
    if (g_doc.doc_open) Doc_Dispose();
    Dispose_Doc_Buffers();
    g_doc.doc_path = rd.path;
    g_doc.doc_new = false;
    g_doc.doc_ncopies = 1;
  } else {
    for (a_doc_unit*& u : g_doc.doc_units) {
      if (u == nullptr) continue;
      Dispose_Unit_Content(u);
      Dispose_Unit_Rec(u);
    }
  }
  std::memcpy(static_cast<void*>(&g_doc.doc_template), &nd.doc_template, sizeof g_doc.doc_template);
  for (uint32 i = 0; i < MAXNUNITS; ++i) {
    g_doc.doc_units[i] = i < n ? nd.doc_units[i] : nullptr;
    nd.doc_units[i] = nullptr;
  }
  g_doc.upx = 0;
  g_doc.up = nullptr;
  g_doc.doc_mediax = nd.doc_mediax;
  g_doc.doc_changed = append;
  if (!rd.media_found) {
    const a_direct_print_kind kind = Calc_Direct_Print_Kind();
    a_print_media_spec& slot = gs.pref.print_media[kind].list[2];
    // A medium saved without a name keeps the slot's own name, or its
    // button would show nothing (the record is packed: copied out whole).
    uStr63 name;
    std::memcpy(name, slot.label, sizeof name);
    slot = rd.media;
    UniChar first = 0;
    std::memcpy(&first, rd.media.label, sizeof first);
    if (first == 0) std::memcpy(slot.label, name, sizeof name);
  }
  Insert_Pictures(rd, g_doc);
  for (uint32 ux = 1; ux <= n; ++ux) {
    a_doc_unit* u = g_doc.doc_units[ux - 1];
    if (u == nullptr || u->clonef) continue;
    Canvas_Verify(ux, u);
    u->statics[TOTAL_LAYER].targ_seq = 1;
    u->statics[MINUS_LAYER].targ_seq = 1;
  }
  if (append) {
    Fix_Clone_Flags();
    Select_Doc_Unit(1);
    if (g_doc.doc_open && g_doc.up != nullptr) Doc_Merge_Draw(g_doc.up->paintbounds);
  }
}

}  // namespace

bool8 Read_DISC(const FSSpec& path, bool8 append) {
  g_suppress_updates = true;
  defects = 0;
  a_reader rd;
  rd.path = path;
  uint16 version = 0;
  const a_fd fd = Read_V4_Preamble(path, version);
  // An older project: the import command reads it into the current unit.
  if (Is_Null_Fd(fd) && append && version == V3_PREAMBLE_VERSION) {
    const bool8 imported = Read_V3(path);
    g_suppress_updates = false;
    if (imported && g_doc.up != nullptr) Doc_Merge_Draw(g_doc.up->paintbounds);
    return imported;
  }
  if (!Is_Null_Fd(fd)) {
    Chunk_Init(fd, VELMOR_PREAMBLE_LEN);
    Read_Template(rd);
    if (No_Serious_Defects()) Read_Font_Table(rd);
    if (No_Serious_Defects()) Read_Direct(rd);
    if (No_Serious_Defects()) Read_Units(rd);
    if (No_Serious_Defects()) Read_Embedded(rd);
    if (No_Serious_Defects()) Ask_Font_Subst(rd);
    Chunk_Stop();
  }
  if ((defects & Defect_Bit(DEFECT_FILE_VERSION)) != 0 && version == V3_PREAMBLE_VERSION && !append)
    OK_Alert(false, STR_CANT_V3);
  g_suppress_updates = false;
  if (!No_Serious_Defects()) return false;
  Commit(rd, append);
  if (rd.layers_repaired) OK_Alert(false, STR_LAYERS_REPAIRED);
  return true;
}

namespace {

// Opens path's chunk stream for a look at one chunk, leaving defects as the
// last read left them. FALSE when it is no project of this version.
bool Open_For_A_Look(const FSSpec& path) {
  const a_defect_set kept = defects;
  uint16 version = 0;
  const a_fd fd = Read_V4_Preamble(path, version);
  defects = kept;
  if (Is_Null_Fd(fd)) return false;
  Chunk_Init(fd, VELMOR_PREAMBLE_LEN);
  return true;
}

}  // namespace

a_fd Open_Preamble(const FSSpec& path, uint16& version) {
  version = 0;
  a_fd fd = File_Open(path, GENERIC_READ);
  if (Is_Null_Fd(fd)) {
    Add_Defect(DEFECT_FILE_OPEN);
    return NULL_FD;
  }
  uint8 pre[4] = {};
  uint32 got = 2;
  if (File_Read2(fd, pre, got) != noErr || got < 2 || pre[0] != 0xCD || pre[1] != 0xCD) {
    Add_Defect(DEFECT_FILE_SIGNATURE);
    File_Close(fd);
    return NULL_FD;
  }
  if (File_Read(fd, pre + 2, 2) != noErr) {
    Add_Defect(DEFECT_FILE_VERSION);
    File_Close(fd);
    return NULL_FD;
  }
  version = uint16((pre[2] << 8) | pre[3]);
  return fd;
}

bool8 Is_DISC_File(const FSSpec& path) {
  if (!Open_For_A_Look(path)) return false;
  const bool8 found = Chunk_Find("PREV", 1);
  Chunk_Stop();
  return found;
}

bool8 Scan_DISC_Preview(const FSSpec& path, PixMap& pix) {
  Null_PixMap(pix);
  if (!Open_For_A_Look(path)) return false;
  const OSErr e = Chunk_ReadPix("PREV", 1, pix);
  Chunk_Stop();
  if (e != noErr) Null_PixMap(pix);
  return !Is_Null_PixMap(pix);
}
