#include "doc/VoskHistFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>

#include "doc/VoskDoc.h"
#include "doc/VoskUndo.h"
#include "host/HostFiles.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "platform/PixMaps.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"

namespace {

// --- Item bodies ---------------------------------------------------------------------

// A unit's header as the state keeps it.
#pragma pack(push, 1)
struct a_ram_unitd {
  Rect paintbounds;
  uint8 clonef;
  uint8 printf;
  uint32 groupx;
  Point symmetry_center;
  Point ruler_origin;
  Point edit_focus;
  a_canvas_spec cv;
};
// What precedes an object's record.
struct a_ram_oj {
  uint8 flags;
  uint8 kind;  // a_oj_kind
  uint32 objid;
  uint32 reclen;
};
// What precedes a paint layer's rows (packed rows: width times bytes a
// pixel, top row first).
struct a_ram_pixhdr {
  Rect bounds;
  uint16 depth;
  uint32 ctab;  // 0: the depth's own colour table
  uint32 nbytes;
};
#pragma pack(pop)
static_assert(sizeof(a_ram_pixhdr) == 18);

// The layout: the template's head, then its units.
constexpr size_t kTmplHead = offsetof(a_template, units);
constexpr size_t kTextHead = offsetof(a_om_rec, xyl);

size_t Tmpl_Len(uint32 nunits) { return kTmplHead + size_t(nunits) * sizeof(a_unit); }

size_t Layer_Row_Bytes(const Rect& b, uint16 depth) { return size_t(b.right - b.left) * (depth / 8); }
size_t Layer_Bytes(const Rect& b, uint16 depth) { return Layer_Row_Bytes(b, depth) * size_t(b.bottom - b.top); }

// Builds a state straight into its bytes: room for the count and the
// records first (their number is known beforehand), then each item's bytes
// as they come; the records are filled in at the end.
class Image_Writer {
 public:
  Image_Writer(std::vector<uint8>& out, uint32 nitems) : out_(out), nitems_(nitems) {
    out_.clear();
    items_.reserve(nitems);
    out_.resize(4 + size_t(nitems) * RAM_ITEM_SIZE);
  }

  // Starts an item; its bytes follow through Put.
  void Begin(a_ram_field field, int32 unitx, int32 subx) {
    a_ram_item it{};
    it.field = field;
    it.unitx = unitx;
    it.subx = subx;
    it.offset = out_.size() <= MAX_HIST_IMAGE ? int32(out_.size()) : -1;
    items_.push_back(it);
  }
  void Put(const void* p, size_t n) {
    const uint8* b = static_cast<const uint8*>(p);
    out_.insert(out_.end(), b, b + n);
  }
  // FALSE when the state passes MAX_HIST_IMAGE (or its items miscounted).
  bool Finish() {
    if (items_.size() != nitems_ || out_.size() > MAX_HIST_IMAGE) return false;
    for (size_t i = 0; i < items_.size(); ++i) {
      const size_t end = i + 1 < items_.size() ? size_t(items_[i + 1].offset) : out_.size();
      items_[i].len = uint32(end - size_t(items_[i].offset));
    }
    std::memcpy(out_.data(), &nitems_, 4);
    if (!items_.empty()) std::memcpy(out_.data() + 4, items_.data(), items_.size() * RAM_ITEM_SIZE);
    return true;
  }

 private:
  std::vector<uint8>& out_;
  uint32 nitems_;
  std::vector<a_ram_item> items_;
};

// How many items a unit gives.
uint32 Unit_Items(const a_doc_unit& u) {
  if (u.clonef) return 1;
  const uint32 n = uint32(u.oj.nlist < 0 ? 0 : (u.oj.nlist < MAX_OJ ? u.oj.nlist : MAX_OJ));
  return 1 + n + 1 + (u.paintinuse ? 2 : 0);
}

// Appends the pixels of a layer's world (packed rows).
void Put_Layer(Image_Writer& w, a_ram_field field, uint32 ux, GWorldPtr world, const Rect& paintbounds) {
  w.Begin(field, int32(ux), 0);
  a_ram_pixhdr h{};
  h.depth = field == RAM_PAINT1 ? 32 : 8;
  h.bounds = paintbounds;
  const bool usable = world != nullptr && world->pix.bounds == paintbounds && world->pix.pixelSize == h.depth;
  h.nbytes = uint32(Layer_Bytes(paintbounds, h.depth));
  w.Put(&h, sizeof h);
  const size_t row = Layer_Row_Bytes(paintbounds, h.depth);
  const int32 rows = paintbounds.bottom - paintbounds.top;
  if (!usable) {
    // A layer in use always has its worlds; should one be missing, its
    // part is blank (white, unpainted) rather than a state that cannot be
    // put back.
    std::vector<uint8> blank(row, field == RAM_PAINT1 ? 0xFF : 0);
    for (int32 y = 0; y < rows; ++y) w.Put(blank.data(), row);
    return;
  }
  const PixMap& p = world->pix;
  const size_t rb = PixMap_RowBytes(p);
  for (int32 y = 0; y < rows; ++y) w.Put(p.baseAddr + size_t(y) * rb, row);
}

void Put_Unit(Image_Writer& w, uint32 ux, const a_doc_unit& u) {
  w.Begin(RAM_UNITD, int32(ux), 0);
  a_ram_unitd d{};
  d.paintbounds = u.paintbounds;
  d.clonef = u.clonef ? 1 : 0;
  d.printf = u.printf ? 1 : 0;
  d.groupx = u.groupx;
  d.symmetry_center = u.symmetry_center;
  d.ruler_origin = u.ruler_origin;
  d.edit_focus = u.edit_focus;
  d.cv = u.canv.cv;
  w.Put(&d, sizeof d);
  if (u.clonef) return;
  const int32 n = u.oj.nlist < MAX_OJ ? u.oj.nlist : MAX_OJ;
  for (int32 i = 1; i <= n; ++i) {
    const a_oj_item& item = u.oj.list[i - 1];
    w.Begin(RAM_OJ, int32(ux), i);
    a_ram_oj o{};
    o.flags = item.flags;
    o.kind = item.kind;
    o.objid = item.objid;
    if (item.kind == TEXT_BLOCK && item.om != nullptr) {
      const a_om_rec& om = *item.om;
      const int32 nxyl = om.nxyl < 0 ? 0 : (om.nxyl > MAX_NXYL ? MAX_NXYL : om.nxyl);
      o.reclen = uint32(kTextHead + size_t(nxyl) * sizeof(a_xyl_char));
      w.Put(&o, sizeof o);
      a_om_rec head;  // only its head is copied and written
      std::memcpy(static_cast<void*>(&head), &om, kTextHead);
      head.nxyl = nxyl;
      w.Put(&head, kTextHead);
      w.Put(om.xyl, size_t(nxyl) * sizeof(a_xyl_char));
    } else if (item.kind != TEXT_BLOCK && item.kind != PAINT_BLOCK && item.ph != nullptr) {
      o.reclen = uint32(sizeof(a_ph_rec));
      w.Put(&o, sizeof o);
      w.Put(item.ph, sizeof(a_ph_rec));
    } else {
      // The paint layer, or an item without its record: no record.
      if (item.kind != PAINT_BLOCK) o.kind = PAINT_BLOCK;
      w.Put(&o, sizeof o);
    }
  }
  w.Begin(RAM_PAINT1_INUSE, int32(ux), 0);
  const uint8 inuse = u.paintinuse ? 1 : 0;
  w.Put(&inuse, 1);
  if (inuse) {
    const a_cached_gworld& l = u.statics[PAINT1_LAYER];
    Put_Layer(w, RAM_PAINT1, ux, l.world, u.paintbounds);
    Put_Layer(w, RAM_PAINT1M, ux, l.mask, u.paintbounds);
  }
}

// --- Reading a state ---------------------------------------------------------------

// One item of a checked state.
struct Parsed_Item {
  a_ram_field field;
  uint32 unitx;
  int32 subx;
  const uint8* bytes;
  uint32 len;
};

template <typename T>
T Load(const uint8* p) {
  T v;
  std::memcpy(static_cast<void*>(&v), p, sizeof v);
  return v;
}

bool Is_Bool(uint8 b) { return b <= 1; }

const char* const kCut = "the undo file is cut short or has bytes past its end";
const char* const kBadItem = "the undo file holds an item that is not where it belongs or not as long as it should be";
const char* const kBadField = "the undo file holds an item of an unknown kind";
const char* const kBadValue = "the undo file holds a value out of its range";
const char* const kBadPixels = "the undo file's paint layer does not match its unit";

// Checks a photo record's values that drawing relies on.
bool PH_Sound(const a_ph_rec& ph) {
  const a_spec& s = ph.spec;
  if (s.source.kind < SOURCE_NULL || s.source.kind > SOURCE_COLLAGE) return false;
  if (s.edge_kind < PHOTOEDGE_NONE || s.edge_kind > PHOTOEDGE_ROUGH) return false;
  if (std::memchr(s.source.path.name, 0, sizeof s.source.path.name) == nullptr) return false;
  for (uint8 b : {s.flipx, s.flipy, s.invert, s.wtransp, s.shadf, s.constrainf, s.is_symbol})
    if (!Is_Bool(b)) return false;
  return true;
}

// The same of a text record's head (its bytes up to the characters).
bool OM_Sound(const uint8* head) {
  const int32 nxyl = Load<int32>(head + offsetof(a_om_rec, nxyl));
  if (nxyl < 1 || nxyl > MAX_NXYL) return false;
  if (head[offsetof(a_om_rec, layout)] >= NTEXT_LAYOUTS || head[offsetof(a_om_rec, justify)] > JUST_RIGHT) return false;
  for (size_t at : {offsetof(a_om_rec, boldf), offsetof(a_om_rec, italf), offsetof(a_om_rec, outlf),
                    offsetof(a_om_rec, glowf), offsetof(a_om_rec, shadf), offsetof(a_om_rec, undf)})
    if (!Is_Bool(head[at])) return false;
  return true;
}

// Checks the whole state; items := its items in order. NIL when sound.
const char* Parse(const uint8* data, size_t len, std::vector<Parsed_Item>& items, a_template& tmpl) {
  items.clear();
  if (data == nullptr || len < 4) return kCut;
  const uint32 n = Load<uint32>(data);
  if (n == 0 || (len - 4) / RAM_ITEM_SIZE < n) return kCut;
  const size_t head = 4 + size_t(n) * RAM_ITEM_SIZE;
  size_t pos = head;
  items.reserve(n);
  for (uint32 i = 0; i < n; ++i) {
    const a_ram_item it = Load<a_ram_item>(data + 4 + size_t(i) * RAM_ITEM_SIZE);
    if (it.field > RAM_TMPL || it.field == RAM_DEAD) return kBadField;
    if (it.offset < 0 || size_t(it.offset) != pos) return kBadItem;
    if (it.len > len - pos) return kCut;
    if (it.unitx < 0 || it.unitx > int32(MAXNUNITS)) return kBadItem;
    items.push_back(Parsed_Item{a_ram_field(it.field), uint32(it.unitx), it.subx, data + pos, it.len});
    pos += it.len;
  }
  if (pos != len) return kCut;

  // The order and contents, item by item.
  size_t k = 0;
  const Parsed_Item& t = items[k++];
  if (t.field != RAM_TMPL || t.unitx != 0 || t.subx != 0 || t.len < kTmplHead) return kBadItem;
  std::memset(static_cast<void*>(&tmpl), 0, sizeof tmpl);
  std::memcpy(static_cast<void*>(&tmpl), t.bytes, kTmplHead);
  if (tmpl.nunits > MAXNUNITS || t.len != Tmpl_Len(tmpl.nunits)) return kBadItem;
  std::memcpy(static_cast<void*>(tmpl.units), t.bytes + kTmplHead, size_t(tmpl.nunits) * sizeof(a_unit));
  if (tmpl.nunits > 0 && Check_Template(tmpl) != EXPAND_OK) return kBadValue;
  for (uint32 ux = 1; ux <= tmpl.nunits; ++ux) {
    if (k >= items.size()) return kBadItem;
    const Parsed_Item& u = items[k++];
    if (u.field != RAM_UNITD || u.unitx != ux || u.subx != 0 || u.len != sizeof(a_ram_unitd)) return kBadItem;
    const a_ram_unitd d = Load<a_ram_unitd>(u.bytes);
    Rect bounds;
    Calc_Unit_Bounds(tmpl.units[ux - 1], bounds);
    if (!(d.paintbounds == bounds)) return kBadValue;
    if (!Is_Bool(d.clonef) || !Is_Bool(d.printf) || (d.clonef && ux == 1)) return kBadValue;
    if (d.clonef) continue;
    int32 nobj = 0;
    while (k < items.size() && items[k].field == RAM_OJ && items[k].unitx == ux) {
      const Parsed_Item& o = items[k++];
      if (o.subx != ++nobj || nobj > MAX_OJ || o.len < sizeof(a_ram_oj)) return kBadItem;
      const a_ram_oj h = Load<a_ram_oj>(o.bytes);
      if (h.kind > PAINT_BLOCK || h.objid == 0) return kBadValue;
      if (h.reclen != o.len - sizeof(a_ram_oj)) return kBadItem;
      const uint8* rec = o.bytes + sizeof(a_ram_oj);
      if (h.kind == PAINT_BLOCK) {
        if (h.reclen != 0) return kBadItem;
      } else if (h.kind == TEXT_BLOCK) {
        if (h.reclen < kTextHead) return kBadItem;
        if (!OM_Sound(rec)) return kBadValue;
        const int32 nxyl = Load<int32>(rec + offsetof(a_om_rec, nxyl));
        if (h.reclen != kTextHead + size_t(nxyl) * sizeof(a_xyl_char)) return kBadItem;
      } else {
        if (h.reclen != sizeof(a_ph_rec)) return kBadItem;
        if (!PH_Sound(Load<a_ph_rec>(rec))) return kBadValue;
      }
    }
    if (nobj < 1) return kBadItem;
    if (k >= items.size()) return kBadItem;
    const Parsed_Item& in = items[k++];
    if (in.field != RAM_PAINT1_INUSE || in.unitx != ux || in.len != 1) return kBadItem;
    if (!Is_Bool(in.bytes[0])) return kBadValue;
    if (in.bytes[0] == 0) continue;
    for (a_ram_field f : {RAM_PAINT1, RAM_PAINT1M}) {
      if (k >= items.size()) return kBadItem;
      const Parsed_Item& p = items[k++];
      if (p.field != f || p.unitx != ux || p.subx != 0 || p.len < sizeof(a_ram_pixhdr)) return kBadItem;
      const a_ram_pixhdr h = Load<a_ram_pixhdr>(p.bytes);
      const uint16 depth = f == RAM_PAINT1 ? 32 : 8;
      if (!(h.bounds == d.paintbounds) || h.depth != depth) return kBadPixels;
      if (h.nbytes != Layer_Bytes(h.bounds, depth) || p.len - sizeof(a_ram_pixhdr) != h.nbytes) return kBadPixels;
    }
  }
  if (k != items.size()) return kBadItem;
  return nullptr;
}

// Copies a layer's packed rows into world (of the same bounds and depth).
void Fill_World(GWorldPtr world, const uint8* rows, const Rect& b, uint16 depth) {
  if (world == nullptr) return;
  const PixMap& p = world->pix;
  if (!(p.bounds == b) || p.pixelSize != depth) return;
  const size_t row = Layer_Row_Bytes(b, depth), rb = PixMap_RowBytes(p);
  for (int32 y = 0; y < b.bottom - b.top; ++y) std::memcpy(p.baseAddr + size_t(y) * rb, rows + size_t(y) * row, row);
}

// The units of the document made to match the layout: missing ones made,
// surplus ones freed, and those whose canvas changes size emptied.
void Match_Units(const a_template& tmpl) {
  const uint32 old_n = g_doc.doc_template.nunits <= MAXNUNITS ? g_doc.doc_template.nunits : MAXNUNITS;
  for (uint32 ux = tmpl.nunits + 1; ux <= MAXNUNITS; ++ux) {
    a_doc_unit*& unit = g_doc.doc_units[ux - 1];
    if (unit == nullptr) continue;
    Dispose_Unit_Content(unit);
    Dispose_Unit_Rec(unit);
  }
  for (uint32 ux = 1; ux <= tmpl.nunits; ++ux) {
    a_doc_unit*& unit = g_doc.doc_units[ux - 1];
    if (unit == nullptr) {
      unit = New_Unit_Rec();
      continue;
    }
    Rect bounds;
    Calc_Unit_Bounds(tmpl.units[ux - 1], bounds);
    if (ux > old_n || !(unit->paintbounds == bounds)) Dispose_Unit_Content(unit);
  }
  std::memcpy(static_cast<void*>(&g_doc.doc_template), &tmpl, sizeof tmpl);
}

void Apply_Unit(uint32 ux, const std::vector<Parsed_Item>& items, size_t& k) {
  a_doc_unit* unit = g_doc.doc_units[ux - 1];
  const a_ram_unitd d = Load<a_ram_unitd>(items[k++].bytes);
  if (unit == nullptr) {
    // No memory for the unit: its items are passed over.
    while (k < items.size() && items[k].unitx == ux) ++k;
    return;
  }
  unit->paintbounds = d.paintbounds;
  unit->clonef = d.clonef != 0;
  unit->printf = d.printf != 0;
  unit->groupx = d.groupx;
  unit->symmetry_center = d.symmetry_center;
  unit->ruler_origin = d.ruler_origin;
  unit->edit_focus = d.edit_focus;
  unit->canv.cv = d.cv;
  if (unit->clonef) {
    Dispose_Unit_Content(unit);
    return;
  }
  Undo_Forget_Unit(unit);
  const uint32 seq = unit->oj.seq;
  OMast_Dispose(unit->oj);
  a_oj_master& m = unit->oj;
  while (k < items.size() && items[k].field == RAM_OJ && items[k].unitx == ux) {
    const Parsed_Item& o = items[k++];
    const a_ram_oj h = Load<a_ram_oj>(o.bytes);
    const uint8* rec = o.bytes + sizeof(a_ram_oj);
    a_oj_item& item = m.list[o.subx - 1];
    item = a_oj_item{};
    item.objid = h.objid;
    item.flags = h.flags;
    item.kind = a_oj_kind(h.kind);
    if (h.kind == TEXT_BLOCK) {
      item.om = New_OM_Rec();
      if (item.om != nullptr) {
        std::memcpy(static_cast<void*>(item.om), rec, kTextHead);
        std::memcpy(static_cast<void*>(item.om->xyl), rec + kTextHead, h.reclen - kTextHead);
        item.om->noverflows = 0;
      }
    } else if (h.kind != PAINT_BLOCK) {
      item.ph = New_PH_Rec();
      if (item.ph != nullptr) {
        std::memcpy(static_cast<void*>(item.ph), rec, sizeof(a_ph_rec));
        item.ph->spec.hintx = 0;
      }
    }
    m.nlist = o.subx;
  }
  m.seq = seq + 1;
  const Parsed_Item& in = items[k++];
  unit->paintinuse = in.bytes[0] != 0;
  a_cached_gworld& layer = unit->statics[PAINT1_LAYER];
  if (layer.world != nullptr && !(layer.world->pix.bounds == unit->paintbounds)) Sync_Existence(false, unit, PAINT1_LAYER);
  Sync_Existence(unit->paintinuse, unit, PAINT1_LAYER);
  if (unit->paintinuse) {
    for (int i = 0; i < 2; ++i) {
      const Parsed_Item& p = items[k++];
      const a_ram_pixhdr h = Load<a_ram_pixhdr>(p.bytes);
      Fill_World(p.field == RAM_PAINT1 ? layer.world : layer.mask, p.bytes + sizeof h, h.bounds, h.depth);
    }
  }
  ++layer.targ_seq;
  // The merged layers are rebuilt from what came back.
  for (a_static_layer l : {TOTAL_LAYER, MINUS_LAYER}) unit->statics[l].targ_seq = unit->statics[l].curr_seq + 1;
}

// --- The folder -------------------------------------------------------------------------

constexpr const char* kRunFile = "RUN";
constexpr int kStaleSeconds = 60;

std::string Folder_Prefix() { return "velmor4-undo-" + std::to_string(unsigned(::getuid())) + "-"; }

struct Run_Folder {
  std::string path;
  int lock_fd = HOST_NO_FD;
  pid_t owner = 0;  // a child process that ends leaves the folder alone
  ~Run_Folder() {
    if (owner == ::getpid()) Remove();
  }
  // Everything in the folder removed, then the folder.
  void Remove() {
    if (path.empty()) return;
    Remove_Tree(path);
    Host_Close(lock_fd);
    lock_fd = HOST_NO_FD;
    ::rmdir(path.c_str());
    path.clear();
  }
  static void Remove_Tree(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return;
    while (const dirent* e = ::readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      // Files only are made here: a link is removed itself, never followed.
      ::unlinkat(::dirfd(d), e->d_name, 0);
    }
    ::closedir(d);
  }
};
// Removed at the end of the process, also when History_Stop is not reached.
Run_Folder g_folder;

// Whether the folder of another run may go: its RUN file is not held by a
// live run.
bool Run_Is_Dead(const std::string& dir, const struct stat& st) {
  const std::string run = dir + "/" + kRunFile;
  if (!Host_Is_File(run.c_str())) return std::time(nullptr) - st.st_mtime > kStaleSeconds;
  const int fd = Host_Open(run.c_str(), HOST_READ | HOST_WRITE, HOST_OPEN_EXISTING);
  if (fd == HOST_NO_FD) return false;  // held: the run lives
  char buf[24] = {};
  const int64 n = Host_Read(fd, buf, sizeof buf - 1);
  Host_Close(fd);
  // Where the system gives no locks, the process id still tells.
  const long pid = n > 0 ? std::strtol(buf, nullptr, 10) : 0;
  if (pid > 0 && pid != long(::getpid()) && ::kill(pid_t(pid), 0) == 0) return false;
  return true;
}

}  // namespace

// --- States ---------------------------------------------------------------------------------

bool8 Doc_To_Image(std::vector<uint8>& image) {
  const uint32 n = g_doc.doc_template.nunits <= MAXNUNITS ? g_doc.doc_template.nunits : MAXNUNITS;
  uint32 nitems = 1;
  for (uint32 ux = 1; ux <= n; ++ux) {
    const a_doc_unit* u = g_doc.doc_units[ux - 1];
    if (u == nullptr) {
      image.clear();
      return false;
    }
    nitems += Unit_Items(*u);
  }
  try {
    Image_Writer w(image, nitems);
    w.Begin(RAM_TMPL, 0, 0);
    a_template head;
    std::memcpy(static_cast<void*>(&head), &g_doc.doc_template, kTmplHead);
    head.nunits = n;
    w.Put(&head, kTmplHead);
    w.Put(g_doc.doc_template.units, size_t(n) * sizeof(a_unit));
    for (uint32 ux = 1; ux <= n; ++ux) Put_Unit(w, ux, *g_doc.doc_units[ux - 1]);
    if (w.Finish()) return true;
    image.clear();
    return false;
  } catch (const std::bad_alloc&) {
    image.clear();
    image.shrink_to_fit();
    return false;
  } catch (const std::length_error&) {
    image.clear();
    return false;
  }
}

const char* Image_Check(const uint8* data, size_t len) {
  std::vector<Parsed_Item> items;
  auto tmpl = std::make_unique<a_template>();
  try {
    return Parse(data, len, items, *tmpl);
  } catch (const std::bad_alloc&) {
    return "there is not enough memory to read the undo file";
  }
}

bool8 Image_To_Doc(const uint8* data, size_t len, const char*& why) {
  std::vector<Parsed_Item> items;
  auto tmpl = std::make_unique<a_template>();
  try {
    why = Parse(data, len, items, *tmpl);
  } catch (const std::bad_alloc&) {
    why = "there is not enough memory to read the undo file";
  }
  if (why != nullptr) return false;
  Match_Units(*tmpl);
  size_t k = 1;
  for (uint32 ux = 1; ux <= tmpl->nunits; ++ux) Apply_Unit(ux, items, k);
  uint32 upx = g_doc.upx;
  if (upx < 1 || upx > tmpl->nunits) upx = tmpl->nunits > 0 ? 1 : 0;
  g_doc.upx = upx;
  g_doc.up = upx > 0 ? g_doc.doc_units[upx - 1] : nullptr;
  return true;
}

// --- The folder -------------------------------------------------------------------------

const std::string& Undo_Folder() {
  if (!g_folder.path.empty()) {
    struct stat st;
    // Made again when something removed it meanwhile.
    if (::lstat(g_folder.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return g_folder.path;
    g_folder.Remove();
  }
  std::string tmpl = Host_Temp_Dir() + "/" + Folder_Prefix() + "XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back(0);
  if (::mkdtemp(buf.data()) == nullptr) return g_folder.path;  // mode 0700
  g_folder.path = buf.data();
  g_folder.owner = ::getpid();
  const std::string run = g_folder.path + "/" + kRunFile;
  g_folder.lock_fd = Host_Open(run.c_str(), HOST_READ | HOST_WRITE, HOST_CREATE_NEW);
  if (g_folder.lock_fd != HOST_NO_FD) {
    ::fchmod(g_folder.lock_fd, 0600);
    const std::string pid = std::to_string(long(::getpid()));
    Host_Write(g_folder.lock_fd, pid.data(), pid.size());
  }
  return g_folder.path;
}

std::string Undo_File_Path(int32 slot) {
  const std::string& dir = Undo_Folder();
  if (dir.empty()) return "";
  return dir + "/UNDO_" + std::to_string(slot);
}

void Undo_Folder_Remove() { g_folder.Remove(); }

int32 Undo_Sweep_Dead_Runs() {
  const std::string tmp = Host_Temp_Dir();
  const std::string prefix = Folder_Prefix();
  std::vector<std::string> names;
  if (!Host_List_Dir(tmp.c_str(), names)) return 0;
  int32 removed = 0;
  for (const std::string& name : names) {
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string dir = tmp + "/" + name;
    if (dir == g_folder.path) continue;
    struct stat st;
    // Only real folders of this user: a link planted under the name is not
    // followed.
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) continue;
    if (!Run_Is_Dead(dir, st)) continue;
    Run_Folder::Remove_Tree(dir);
    if (::rmdir(dir.c_str()) == 0) ++removed;
  }
  return removed;
}

bool8 Undo_File_Write(int32 slot, const uint8* data, size_t len, int& errno_out) {
  errno_out = 0;
  const std::string path = Undo_File_Path(slot);
  if (path.empty()) {
    errno_out = errno != 0 ? errno : EACCES;
    return false;
  }
  const int fd = Host_Open(path.c_str(), HOST_READ | HOST_WRITE, HOST_CREATE_ALWAYS);
  if (fd == HOST_NO_FD) {
    errno_out = errno != 0 ? errno : EIO;
    return false;
  }
  ::fchmod(fd, 0600);  // the folder is the owner's alone already
  errno = 0;
  const bool ok = Host_Write(fd, data, len);
  if (!ok) errno_out = errno != 0 ? errno : EIO;
  Host_Close(fd);
  if (!ok) Host_Delete(path.c_str());
  return ok;
}

bool8 Undo_File_Read(int32 slot, size_t len, std::vector<uint8>& data) {
  data.clear();
  const std::string path = Undo_File_Path(slot);
  if (path.empty()) return false;
  const int fd = Host_Open(path.c_str(), HOST_READ, HOST_OPEN_EXISTING);
  if (fd == HOST_NO_FD) return false;
  bool ok = Host_Size(fd) == int64(len);
  if (ok) {
    try {
      data.resize(len);
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  if (ok) ok = Host_Read(fd, data.data(), len) == int64(len);
  Host_Close(fd);
  if (!ok) data.clear();
  return ok;
}

void Undo_File_Delete(int32 slot) {
  if (g_folder.path.empty()) return;
  const std::string path = g_folder.path + "/UNDO_" + std::to_string(slot);
  Host_Delete(path.c_str());
}

uint64 Image_Digest(const uint8* data, size_t len) {
  // Four lanes of 64-bit words, each multiplied and turned, then folded with
  // the tail and the length: fast over a whole paint layer.
  constexpr uint64 kMul = 0x9E3779B97F4A7C15ull;
  uint64 lane[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull, 0x082EFA98EC4E6C89ull};
  size_t i = 0;
  for (; i + 32 <= len; i += 32)
    for (int j = 0; j < 4; ++j) {
      uint64 w;
      std::memcpy(&w, data + i + size_t(j) * 8, 8);
      lane[j] = (lane[j] ^ w) * kMul;
      lane[j] ^= lane[j] >> 29;
    }
  uint64 h = uint64(len) * kMul;
  for (int j = 0; j < 4; ++j) h = (h ^ lane[j]) * kMul + (h >> 31);
  for (; i < len; ++i) h = (h ^ data[i]) * 1099511628211ull;
  return h ^ (h >> 32);
}
