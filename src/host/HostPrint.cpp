// Printers and print jobs over CUPS and cairo; see HostPrint.h.
#include "host/HostPrint.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <cups/cups.h>
#include <cups/pwg.h>
#include <sys/mman.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "host/HostByteOrder.h"
#include "host/HostCodecs.h"
#include "host/HostFiles.h"
#include "host/HostFolders.h"
#include "host/HostGdiCore.h"

namespace {

// --- Switches -----------------------------------------------------------------------

int g_cups_on = -1;  // -1: not yet read from the environment
int g_disc_on = -1;
std::string g_output_path;
uint64 g_page_limit = 160ull * 1024 * 1024;
std::vector<std::string> g_last_files;
HostPrintOutcome g_last_outcome;

bool Env_Is(const char* name, const char* value) {
  const char* v = std::getenv(name);
  return v && std::strcmp(v, value) == 0;
}

bool Cups_On() {
  if (g_cups_on < 0) g_cups_on = Env_Is("VELMOR_PRINT", "file") ? 0 : 1;
  return g_cups_on == 1;
}

bool Disc_On() {
  if (g_disc_on < 0) g_disc_on = Env_Is("VELMOR_DISC_PRINTER", "1") ? 1 : 0;
  return g_disc_on == 1;
}

// --- Papers and the printers' own defaults ------------------------------------------

struct PaperDef {
  int16 id;
  int32 width, length;  // tenths of a millimetre, portrait
};
constexpr PaperDef kPapers[] = {
    {DMPAPER_LETTER, 2159, 2794}, {DMPAPER_LEGAL, 2159, 3556}, {DMPAPER_A4, 2100, 2970},
    {DMPAPER_A5, 1480, 2100},     {DMPAPER_A3, 2970, 4200},     {DMPAPER_DISC120, 1200, 1200},
    {DMPAPER_DISC80, 800, 800},
};
constexpr int16 kPagePapers[] = {DMPAPER_A4, DMPAPER_LETTER, DMPAPER_LEGAL, DMPAPER_A5, DMPAPER_A3};
constexpr int16 kDiscPapers[] = {DMPAPER_DISC120, DMPAPER_DISC80};
constexpr int32 kResolutions[] = {72, 150, 300, 600};
constexpr int32 kDefaultDpi = 300;
constexpr int32 kMinDpi = 36;
constexpr int32 kMaxDpi = 2400;
constexpr int32 kMaxSide = 32767;  // cairo's image surfaces go no larger

// The disc printer's private area: its settings block ("DYMO") sits 12 bytes
// in, after a header of the driver's own.
constexpr uint16 kDiscExtra = 96;
constexpr size_t kDiscBlockAt = 12;

void Disc_Private_Defaults(uint8* area) {
  std::memset(area, 0, kDiscExtra);
  std::memcpy(area, "DPNT", 4);  // the driver's header tag
  Store_LE32(area + 4, 1);
  Store_LE32(area + 8, int32(kDiscExtra));
  uint8* b = area + kDiscBlockAt;
  std::memcpy(b, "DYMO", 4);
  Store_LE32(b + 4, 1);    // version
  Store_LE32(b + 8, 3);    // print quality
  for (int i = 0; i < 4; ++i) Store_LE32(b + 12 + 4 * i, 5);  // ink density
  Store_LE32(b + 28, 3);   // media size: 120 mm
  Store_LE32(b + 32, 22);  // 80 mm disc, full print: inner, outer diameter
  Store_LE32(b + 36, 79);
  Store_LE32(b + 40, 22);
  Store_LE32(b + 44, 79);
  Store_LE32(b + 48, 22);  // 120 mm disc
  Store_LE32(b + 52, 118);
  Store_LE32(b + 56, 22);
  Store_LE32(b + 60, 118);
  Store_LE32(b + 64, 1);   // beep
}

const PaperDef* Find_Paper(int16 id) {
  for (const PaperDef& p : kPapers)
    if (p.id == id) return &p;
  return nullptr;
}

bool Is_Disc_Name(const std::string& name) { return Disc_On() && name == kHostDiscPrinterName; }

// A page printer's default paper and margins (hundredths of a millimetre:
// left, top, right, bottom). CUPS printers answer from their media default
// when the server knows it; otherwise A4 with 1/6 inch margins.
struct PrinterDefaults {
  int16 paper = DMPAPER_A4;
  int32 width = 2100, length = 2970;  // tenths of a millimetre
  int32 margins[4] = {0, 0, 0, 0};
};

int16 Paper_For_Size(int32 width10, int32 length10) {
  for (int16 id : kPagePapers) {
    const PaperDef* p = Find_Paper(id);
    if (std::abs(p->width - width10) <= 2 && std::abs(p->length - length10) <= 2) return id;
  }
  return DMPAPER_USER;
}

PrinterDefaults Cups_Defaults(const std::string& name) {
  PrinterDefaults d;
  for (int32& m : d.margins) m = 423;
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
  if (!dest) return d;
  if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
    cups_size_t size{};
    if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &size) && size.width > 0 &&
        size.length > 0 && size.width <= 100000 && size.length <= 100000) {
      d.width = (size.width + 5) / 10;
      d.length = (size.length + 5) / 10;
      d.paper = Paper_For_Size(d.width, d.length);
      d.margins[0] = std::clamp(size.left, 0, size.width / 4);
      d.margins[1] = std::clamp(size.top, 0, size.length / 4);
      d.margins[2] = std::clamp(size.right, 0, size.width / 4);
      d.margins[3] = std::clamp(size.bottom, 0, size.length / 4);
    }
    cupsFreeDestInfo(info);
  }
  cupsFreeDests(1, dest);
  return d;
}

PrinterDefaults Defaults_Of(const HostPrinterInfo& p) {
  if (p.is_file) {
    PrinterDefaults d;
    if (p.name == kHostDiscPrinterName) {
      d.paper = DMPAPER_DISC120;
      d.width = d.length = 1200;
    }
    return d;
  }
  return Cups_Defaults(p.name);
}

HostPrinterInfo File_Printer() {
  HostPrinterInfo p;
  p.name = kHostFilePrinterName;
  p.driver = kHostFilePrinterDriver;
  p.port = "FILE:";
  p.is_file = true;
  return p;
}

HostPrinterInfo Disc_Printer() {
  HostPrinterInfo p;
  p.name = kHostDiscPrinterName;
  p.driver = kHostDiscPrinterDriver;
  p.port = "FILE:";
  p.is_file = true;
  return p;
}

// --- Jobs -----------------------------------------------------------------------------

enum class JobState { Idle, InDoc, InPage, Failed };

using CairoSurface = std::shared_ptr<cairo_surface_t>;

CairoSurface Cairo_Own(cairo_surface_t* s) { return CairoSurface(s, cairo_surface_destroy); }

// One filled rectangle of the page, in device units.
struct PageFill {
  int32 x, y, w, h;
  uint32 rgb;  // 0x00RRGGBB
};

// What a PDF page holds, in drawing order.
struct PageOp {
  enum class Kind { Fills, Patch, Image } kind = Kind::Fills;
  std::vector<PageFill> fills;  // Fills: disjoint, any order
  CairoSurface picture;         // Patch, Image
  int32 x = 0, y = 0;           // Patch: its top-left corner on the page
  // Image: the source picture (sw x sh pixels, upright) onto the destination
  // rectangle, mirrored when flip_x / flip_y; clipped to `clip` when clipped.
  int32 dx = 0, dy = 0, dw = 0, dh = 0, sw = 0, sh = 0;
  bool flip_x = false, flip_y = false;
  bool clipped = false;
  std::vector<RECT> clip;
  // Image: the call that printed it, in device units, for painting it into
  // page tiles made later: the signed destination and source extents (the
  // source relative to the picture) and the clip region it had.
  POINT at{0, 0};
  int32 call_w = 0, call_h = 0, src_x = 0, src_y = 0, src_w = 0, src_h = 0;
  std::shared_ptr<std::remove_pointer_t<HRGN>> clip_rgn;
};

constexpr int32 kTile = 64;

uint32* Row(const HostSurface& s, int32 y) {
  return reinterpret_cast<uint32*>(s.bits + int64(y) * s.stride);
}

bool Meets(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The page of a PDF job, made tile by tile: its pixels are zero pages until
// drawing other than the pictures reaches a tile, which is then made (white,
// with the pictures already printed painted into it) and gets a shadow, the
// tile as it was when the drawing was last taken into the page's ops. The
// pictures go into the job as images of their own; they are painted into the
// page only where a tile is made, so that a page of pictures and a few marks
// keeps only the marks' tiles in memory.
struct PageTiles final : hostgdi::HostLazyPixels {
  HBITMAP page;
  int32 w, h, ntx, nty;
  const std::vector<PageOp>& ops;
  std::vector<std::unique_ptr<uint32[]>> shadows;  // by tile, NIL until made
  size_t made = 0;

  PageTiles(HBITMAP p, int32 width, int32 height, const std::vector<PageOp>& page_ops)
      : page(p), w(width), h(height), ntx((width + kTile - 1) / kTile), nty((height + kTile - 1) / kTile),
        ops(page_ops), shadows(size_t(ntx) * size_t(nty)) {
    hostgdi::Set_Lazy_Pixels(page, this);
  }
  ~PageTiles() { hostgdi::Set_Lazy_Pixels(page, nullptr); }
  PageTiles(const PageTiles&) = delete;
  PageTiles& operator=(const PageTiles&) = delete;

  bool Made(int32 tx, int32 ty) const { return shadows[size_t(ty) * size_t(ntx) + size_t(tx)] != nullptr; }
  RECT Tile(int32 tx, int32 ty) const {
    return RECT{tx * kTile, ty * kTile, std::min(w, (tx + 1) * kTile), std::min(h, (ty + 1) * kTile)};
  }
  // Row y of the shadow of tile (tx, ty); its first pixel is the tile's left column.
  uint32* Shadow_Row(int32 tx, int32 ty, int32 y) {
    return shadows[size_t(ty) * size_t(ntx) + size_t(tx)].get() + size_t(y - ty * kTile) * kTile;
  }

  void Need(int32 y, int32 x0, int32 x1) override {
    if (y < 0 || y >= h || x0 >= x1) return;
    const int32 ty = y / kTile;
    for (int32 tx = std::max(0, x0 / kTile); tx <= std::min(ntx - 1, (x1 - 1) / kTile); ++tx)
      if (!Made(tx, ty)) Make(tx, ty);
  }

  void Make(int32 tx, int32 ty) {
    shadows[size_t(ty) * size_t(ntx) + size_t(tx)].reset(new uint32[size_t(kTile) * kTile]);
    ++made;
    const RECT t = Tile(tx, ty);
    const HostSurface& s = *Host_Surface(page);
    for (int32 y = t.top; y < t.bottom; ++y) std::fill(Row(s, y) + t.left, Row(s, y) + t.right, 0x00FFFFFFu);
    for (const PageOp& op : ops)
      if (op.kind == PageOp::Kind::Image && Meets(t, RECT{op.dx, op.dy, op.dx + op.dw, op.dy + op.dh})) Paint(op, t);
    Take_Shadow(tx, ty);
  }

  void Take_Shadow(int32 tx, int32 ty) {
    const RECT t = Tile(tx, ty);
    const HostSurface& s = *Host_Surface(page);
    for (int32 y = t.top; y < t.bottom; ++y)
      std::memcpy(Shadow_Row(tx, ty, y), Row(s, y) + t.left, size_t(t.right - t.left) * 4);
  }

  // The picture of op into the tile t, as its call would have drawn it there.
  void Paint(const PageOp& op, const RECT& t) {
    HRGN clip = CreateRectRgn(t.left, t.top, t.right, t.bottom);
    if (!clip) return;
    if (op.clip_rgn) CombineRgn(clip, clip, op.clip_rgn.get(), RGN_AND);
    HDC dc = Host_CreateSurfaceDC(page);
    if (dc) {
      SelectClipRgn(dc, clip);
      cairo_surface_t* pic = op.picture.get();
      const int32 pw = cairo_image_surface_get_width(pic), ph = cairo_image_surface_get_height(pic);
      const int stride = cairo_image_surface_get_stride(pic);
      BITMAPINFO bi{};
      bi.bmiHeader = BITMAPINFOHEADER{40, pw, -ph, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
      if (stride == pw * 4)
        StretchDIBits(dc, op.at.x, op.at.y, op.call_w, op.call_h, op.src_x, op.src_y, op.src_w, op.src_h,
                      cairo_image_surface_get_data(pic), &bi, DIB_RGB_COLORS, SRCCOPY, size_t(stride) * size_t(ph));
      DeleteDC(dc);
    }
    DeleteRgn(clip);
  }

  void Make_All() {
    if (made == shadows.size()) return;
    for (int32 ty = 0; ty < nty; ++ty)
      for (int32 tx = 0; tx < ntx; ++tx)
        if (!Made(tx, ty)) Make(tx, ty);
  }
};

// A picture of the job, embedded once however often it is printed.
struct JobPicture {
  int32 width, height;
  CairoSurface surface;
};

struct Job {
  HDC dc = nullptr;
  HBITMAP page = nullptr;
  uint8* page_bits = nullptr;  // the page's pixels: a mapping of its own
  size_t page_bytes = 0;
  HostPrinterInfo printer;
  std::vector<uint8> devmode;
  int32 dpi_x = kDefaultDpi, dpi_y = kDefaultDpi;
  int32 phys_w = 0, phys_h = 0;  // the sheet, device units
  int32 off_x = 0, off_y = 0;    // the printable area on the sheet
  int32 res_w = 0, res_h = 0;    // the printable area
  int32 copies = 1;
  int32 media_w = 0, media_l = 0;  // the sheet, portrait, tenths of a millimetre
  bool landscape = false;          // the page is the sheet turned a quarter
  bool turned = false;             // the PDF's pages are the portrait sheet, the page turned onto it
  ABORTPROC abort = nullptr;
  JobState state = JobState::Idle;
  int32 pages = 0;
  // Output.
  bool to_file = false;
  bool png = false;
  std::string doc_name;
  std::string out_path;             // the file printer's target
  bool free_name = false;           // out_path is our own choice: never replace a file
  cairo_surface_t* pdf = nullptr;
  HostReplace replace;              // the PDF on its way to out_path
  int temp_fd = HOST_NO_FD;         // the PDF on its way to CUPS
  std::string temp_path;
  bool write_failed = false;
  int write_errno = 0;              // why the first failed write failed
  std::vector<std::shared_ptr<std::vector<uint8>>> png_pages;
  // A PDF page under way: its tiles, with the page as it was when the
  // drawing was last taken into `ops` (the changes since are what other
  // drawing did), and its ops.
  std::vector<PageOp> ops;
  std::unique_ptr<PageTiles> tiles;
  std::multimap<uint64, JobPicture> pictures;  // by content hash

  Job() = default;
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;
  ~Job() {
    tiles.reset();
    if (page_bits) munmap(page_bits, page_bytes);
  }
};

std::map<HDC, std::unique_ptr<Job>> g_jobs;

// A DC deleted with DeleteDC behind our back has released the page surface;
// its job is then dropped (the DC pointer is not touched again).
Job* Job_Of(HDC dc) {
  auto it = g_jobs.find(dc);
  if (it == g_jobs.end()) return nullptr;
  const HostSurface* page = Host_Surface(it->second->page);
  if (!page || page->selected <= 0) {
    Job* j = it->second.get();
    if (j->pdf) cairo_surface_destroy(j->pdf);
    if (j->replace.fd != HOST_NO_FD) Host_Replace_Abort(j->replace);
    if (j->temp_fd != HOST_NO_FD) {
      Host_Close(j->temp_fd);
      Host_Delete(j->temp_path.c_str());
    }
    DeleteObject(j->page);
    g_jobs.erase(it);
    return nullptr;
  }
  return it->second.get();
}

cairo_status_t Pdf_Write(void* closure, const unsigned char* data, unsigned int length) {
  Job* j = static_cast<Job*>(closure);
  bool ok;
  if (j->to_file) ok = Host_Replace_Write(j->replace, data, length);
  else ok = Host_Write(j->temp_fd, data, length);
  if (!ok && !j->write_failed) {
    j->write_failed = true;
    j->write_errno = errno != 0 ? errno : EIO;
  }
  return ok ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

double Points(int32 device, int32 dpi) { return double(device) * 72.0 / double(dpi); }

// Drops every piece of output of the job; the job ends Failed (or Idle).
void Discard(Job& j, JobState to) {
  if (j.pdf) {
    cairo_surface_destroy(j.pdf);  // may still write: the sinks stay valid until below
    j.pdf = nullptr;
  }
  if (j.replace.fd != HOST_NO_FD) Host_Replace_Abort(j.replace);
  j.replace = HostReplace{};
  if (j.temp_fd != HOST_NO_FD) {
    Host_Close(j.temp_fd);
    j.temp_fd = HOST_NO_FD;
  }
  if (!j.temp_path.empty()) {
    Host_Delete(j.temp_path.c_str());
    j.temp_path.clear();
  }
  j.png_pages.clear();
  j.tiles.reset();
  j.ops.clear();
  j.pictures.clear();
  j.state = to;
}

// The file printer's output when the job names none. A path set for the
// purpose (Host_Print_Set_Output_Path, VELMOR_PRINT_OUTPUT) is the user's
// choice and replaced; otherwise the name is made here from the document's,
// and chosen_here says so (the job then takes a free name).
std::string Default_Output(const std::string& doc_name, bool& chosen_here) {
  chosen_here = false;
  if (!g_output_path.empty()) return g_output_path;
  if (const char* env = std::getenv("VELMOR_PRINT_OUTPUT"); env && *env) return env;
  chosen_here = true;
  std::string dir;
  if (!Host_Documents_Dir(dir)) dir = Host_Temp_Dir();
  std::string base = doc_name.empty() ? std::string("Untitled") : doc_name;
  for (char& c : base)
    if (c == '/' || c == '\0') c = '_';
  return dir + "/" + base + ".pdf";
}

bool Ends_With_Png(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = char(std::tolower(uint8(c)));
  return tail == ".png";
}

// Page n (from 1) of a PNG job: the name itself, then "stem-n.png".
std::string Png_Page_Path(const std::string& path, int32 n) {
  if (n == 1) return path;
  return path.substr(0, path.size() - 4) + "-" + std::to_string(n) + path.substr(path.size() - 4);
}

bool Call_Abort(Job& j) {
  if (!j.abort) return true;
  if (j.abort(j.dc, 0)) return true;
  Discard(j, JobState::Failed);
  return false;
}


// --- What a PDF page holds ------------------------------------------------------------
//
// The page surface receives all drawing but the pictures, which are
// recorded as they come (Host_Print_DIBits); everything else is found by
// comparing the page's made tiles with their shadows (each as it was when
// drawing was last taken), just before each picture and at the end of the
// page.

// A tile whose changed pixels make more row runs than this goes into the PDF
// as an image patch: fills of single pixels would cost more than the pixels.
constexpr int32 kPatchRuns = kTile * kTile / 16;
constexpr uint32 kRgbMask = 0x00FFFFFFu;

// A cairo RGB24 image (native 0x00RRGGBB words, as our 32-bit pixels read on
// a little-endian machine) of part of the page.
CairoSurface Patch_Of(const HostSurface& page, int32 x, int32 y, int32 w, int32 h) {
  CairoSurface img = Cairo_Own(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
  if (cairo_surface_status(img.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_flush(img.get());
  uint8* data = cairo_image_surface_get_data(img.get());
  const int stride = cairo_image_surface_get_stride(img.get());
  for (int32 r = 0; r < h; ++r)
    std::memcpy(data + int64(r) * stride, Row(page, y + r) + x, size_t(w) * 4);
  cairo_surface_mark_dirty(img.get());
  return img;
}

struct PageRun {
  int32 y, x0, x1;
  uint32 rgb;
};

// Takes what drawing changed on the page since the last call into the page's
// ops: runs of changed pixels of one colour along the rows, merged down into
// rectangles, and image patches for bands of busy tiles. The shadow then
// equals the page. FALSE when a patch could not be made.
bool Take_Drawing(Job& j) {
  const HostSurface& page = *Host_Surface(j.page);
  PageTiles& tiles = *j.tiles;
  const int32 w = page.width, h = page.height;
  const int32 ntx = (w + kTile - 1) / kTile;
  PageOp fills;
  std::vector<PageOp> patches;
  std::vector<PageFill> open, next;  // rectangles still growing down, by x
  std::vector<PageRun> band;
  std::vector<int32> counts(size_t(ntx), 0);
  std::vector<uint8> busy(size_t(ntx), 0);
  std::vector<int32> made;
  for (int32 by = 0; by < h; by += kTile) {
    const int32 bh = std::min(kTile, h - by);
    const int32 ty = by / kTile;
    band.clear();
    std::fill(counts.begin(), counts.end(), 0);
    made.clear();
    for (int32 tx = 0; tx < ntx; ++tx)
      if (tiles.Made(tx, ty)) made.push_back(tx);
    for (int32 y = by; y < by + bh && !made.empty(); ++y) {
      const uint32* a = Row(page, y);
      for (const int32 tx : made) {
        const int32 x0 = tx * kTile, x1 = std::min(w, x0 + kTile);
        uint32* b = tiles.Shadow_Row(tx, ty, y) - x0;  // b[x] for x0 <= x < x1
        if (std::memcmp(a + x0, b + x0, size_t(x1 - x0) * 4) == 0) continue;
        for (int32 x = x0; x < x1;) {
          if (((a[x] ^ b[x]) & kRgbMask) == 0) {
            ++x;
            continue;
          }
          const uint32 c = a[x] & kRgbMask;
          int32 k = x + 1;
          while (k < x1 && ((a[k] ^ b[k]) & kRgbMask) != 0 && (a[k] & kRgbMask) == c) ++k;
          if (x == x0 && !band.empty() && band.back().y == y && band.back().x1 == x0 && band.back().rgb == c) {
            band.back().x1 = k;  // the run goes on from the tile before
          } else {
            band.push_back({y, x, k, c});
            ++counts[size_t(x / kTile)];
          }
          x = k;
        }
        std::memcpy(b + x0, a + x0, size_t(x1 - x0) * 4);
      }
    }
    if (band.empty()) {
      for (const PageFill& f : open) fills.fills.push_back(f);
      open.clear();
      continue;
    }
    for (int32 t = 0; t < ntx; ++t) busy[size_t(t)] = counts[size_t(t)] > kPatchRuns;
    for (int32 t = 0; t < ntx;) {
      if (!busy[size_t(t)]) {
        ++t;
        continue;
      }
      int32 e = t;
      while (e < ntx && busy[size_t(e)]) ++e;
      PageOp op;
      op.kind = PageOp::Kind::Patch;
      op.x = t * kTile;
      op.y = by;
      op.picture = Patch_Of(page, op.x, by, std::min(e * kTile, w) - op.x, bh);
      if (!op.picture) return false;
      patches.push_back(std::move(op));
      t = e;
    }
    size_t i = 0;
    for (int32 y = by; y < by + bh; ++y) {
      next.clear();
      size_t o = 0;
      auto add = [&](int32 x0, int32 x1, uint32 c) {
        while (o < open.size() && open[o].x < x0) fills.fills.push_back(open[o++]);
        if (o < open.size() && open[o].x == x0 && open[o].w == x1 - x0 && open[o].rgb == c) {
          PageFill f = open[o++];
          ++f.h;
          next.push_back(f);
        } else {
          next.push_back({x0, y, x1 - x0, 1, c});
        }
      };
      for (; i < band.size() && band[i].y == y; ++i) {
        // The parts of a run within busy tiles are in their patch.
        int32 x0 = band[i].x0;
        const int32 x1 = band[i].x1;
        while (x0 < x1) {
          int32 e = std::min(x1, (x0 / kTile + 1) * kTile);
          if (busy[size_t(x0 / kTile)]) {
            x0 = e;
            continue;
          }
          while (e < x1 && !busy[size_t(e / kTile)]) e = std::min(x1, (e / kTile + 1) * kTile);
          add(x0, e, band[i].rgb);
          x0 = e;
        }
      }
      while (o < open.size()) fills.fills.push_back(open[o++]);
      open.swap(next);
    }
  }
  for (const PageFill& f : open) fills.fills.push_back(f);
  if (!fills.fills.empty()) j.ops.push_back(std::move(fills));
  for (PageOp& p : patches) j.ops.push_back(std::move(p));
  return true;
}

uint64 Hash_Picture(const uint8* data, int stride, int32 w, int32 h) {
  uint64 hash = 0xCBF29CE484222325ull ^ (uint64(uint32(w)) << 32 | uint32(h));
  for (int32 y = 0; y < h; ++y) {
    const uint32* p = reinterpret_cast<const uint32*>(data + int64(y) * stride);
    for (int32 x = 0; x < w; ++x) hash = (hash ^ (p[x] & kRgbMask)) * 0x100000001B3ull;
  }
  return hash;
}

bool Same_Picture(cairo_surface_t* a, cairo_surface_t* b, int32 w, int32 h) {
  const uint8* da = cairo_image_surface_get_data(a);
  const uint8* db = cairo_image_surface_get_data(b);
  const int sa = cairo_image_surface_get_stride(a), sb = cairo_image_surface_get_stride(b);
  for (int32 y = 0; y < h; ++y) {
    const uint32* pa = reinterpret_cast<const uint32*>(da + int64(y) * sa);
    const uint32* pb = reinterpret_cast<const uint32*>(db + int64(y) * sb);
    for (int32 x = 0; x < w; ++x)
      if (((pa[x] ^ pb[x]) & kRgbMask) != 0) return false;
  }
  return true;
}

// The source rectangle of a DIB as an upright picture of the job: the one
// already recorded when the job printed the same pixels before. NIL when the
// pixels cannot be read or the image made.
CairoSurface Job_Picture(Job& j, int32 sx, int32 sy, int32 sw, int32 sh, const void* bits,
                         const BITMAPINFO* info, size_t bits_size) {
  CairoSurface img = Cairo_Own(cairo_image_surface_create(CAIRO_FORMAT_RGB24, sw, sh));
  if (cairo_surface_status(img.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_flush(img.get());
  uint8* data = cairo_image_surface_get_data(img.get());
  const int stride = cairo_image_surface_get_stride(img.get());
  HBITMAP wrap = Host_WrapSurface(data, sw, sh, 32, stride, nullptr, 0);
  HDC mem = wrap ? CreateCompatibleDC(nullptr) : nullptr;
  int32 rows = 0;
  if (mem && SelectObject(mem, wrap))
    rows = StretchDIBits(mem, 0, 0, sw, sh, sx, sy, sw, sh, bits, info, DIB_RGB_COLORS, SRCCOPY, bits_size);
  if (mem) DeleteDC(mem);
  if (wrap) DeleteObject(wrap);
  if (rows == 0) return nullptr;
  cairo_surface_mark_dirty(img.get());
  const uint64 hash = Hash_Picture(data, stride, sw, sh);
  auto [first, last] = j.pictures.equal_range(hash);
  for (auto it = first; it != last; ++it)
    if (it->second.width == sw && it->second.height == sh &&
        Same_Picture(it->second.surface.get(), img.get(), sw, sh))
      return it->second.surface;
  j.pictures.insert({hash, JobPicture{sw, sh, img}});
  return img;
}

// Replays a page's ops into cairo, in device units of the printable area.
void Draw_Ops(cairo_t* cr, const Job& j) {
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, j.res_w, j.res_h);
  cairo_clip(cr);
  for (const PageOp& op : j.ops) {
    switch (op.kind) {
      case PageOp::Kind::Fills: {
        std::vector<const PageFill*> order;
        order.reserve(op.fills.size());
        for (const PageFill& f : op.fills) order.push_back(&f);
        std::stable_sort(order.begin(), order.end(),
                         [](const PageFill* a, const PageFill* b) { return a->rgb < b->rgb; });
        for (size_t i = 0; i < order.size();) {
          const uint32 c = order[i]->rgb;
          cairo_set_source_rgb(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
          for (; i < order.size() && order[i]->rgb == c; ++i)
            cairo_rectangle(cr, order[i]->x, order[i]->y, order[i]->w, order[i]->h);
          cairo_fill(cr);
        }
        break;
      }
      case PageOp::Kind::Patch: {
        cairo_save(cr);
        cairo_rectangle(cr, op.x, op.y, cairo_image_surface_get_width(op.picture.get()),
                        cairo_image_surface_get_height(op.picture.get()));
        cairo_clip(cr);
        cairo_set_source_surface(cr, op.picture.get(), op.x, op.y);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_restore(cr);
        break;
      }
      case PageOp::Kind::Image: {
        cairo_save(cr);
        if (op.clipped) {
          for (const RECT& r : op.clip) cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
          cairo_clip(cr);
        }
        cairo_rectangle(cr, op.dx, op.dy, op.dw, op.dh);
        cairo_clip(cr);
        cairo_translate(cr, op.dx + (op.flip_x ? op.dw : 0), op.dy + (op.flip_y ? op.dh : 0));
        cairo_scale(cr, (op.flip_x ? -1.0 : 1.0) * op.dw / op.sw, (op.flip_y ? -1.0 : 1.0) * op.dh / op.sh);
        cairo_set_source_surface(cr, op.picture.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_restore(cr);
        break;
      }
    }
  }
  cairo_restore(cr);
}

}  // namespace

// --- Settings blocks ------------------------------------------------------------------

std::vector<uint8> Host_Make_DevNames(const std::string& driver, const std::string& device,
                                      const std::string& output, bool is_default) {
  const size_t total = sizeof(DEVNAMES) + driver.size() + device.size() + output.size() + 3;
  if (total > 0xFFFF) return {};
  std::vector<uint8> b(total, 0);
  DEVNAMES dn{};
  dn.wDriverOffset = uint16(sizeof(DEVNAMES));
  dn.wDeviceOffset = uint16(dn.wDriverOffset + driver.size() + 1);
  dn.wOutputOffset = uint16(dn.wDeviceOffset + device.size() + 1);
  dn.wDefault = is_default ? 1 : 0;
  std::memcpy(b.data(), &dn, sizeof dn);
  std::memcpy(b.data() + dn.wDriverOffset, driver.data(), driver.size());
  std::memcpy(b.data() + dn.wDeviceOffset, device.data(), device.size());
  std::memcpy(b.data() + dn.wOutputOffset, output.data(), output.size());
  return b;
}

bool Host_Read_DevNames(const uint8* block, size_t len, std::string& driver, std::string& device,
                        std::string& output) {
  if (!block || len < sizeof(DEVNAMES)) return false;
  DEVNAMES dn;
  std::memcpy(&dn, block, sizeof dn);
  auto take = [&](uint16 off, std::string& out) {
    if (off < sizeof(DEVNAMES) || off >= len) return false;
    const void* nul = std::memchr(block + off, 0, len - off);
    if (!nul) return false;
    out.assign(reinterpret_cast<const char*>(block + off), static_cast<const uint8*>(nul) - (block + off));
    return true;
  };
  std::string a, b, c;
  if (!take(dn.wDriverOffset, a) || !take(dn.wDeviceOffset, b) || !take(dn.wOutputOffset, c)) return false;
  driver = a;
  device = b;
  output = c;
  return true;
}

const DEVMODEA* Host_DevMode_Check(const uint8* block, size_t len) {
  if (!block || len < sizeof(DEVMODEA)) return nullptr;
  // The block comes from our allocators (suitably aligned); check the
  // alignment anyway before handing out a typed pointer.
  if (reinterpret_cast<uintptr_t>(block) % alignof(DEVMODEA) != 0) return nullptr;
  const DEVMODEA* dm = reinterpret_cast<const DEVMODEA*>(block);
  if (dm->dmSize != sizeof(DEVMODEA) || dm->dmDriverExtra > kHostMaxDriverExtra) return nullptr;
  if (size_t(dm->dmSize) + dm->dmDriverExtra > len) return nullptr;
  if (!std::memchr(dm->dmDeviceName, 0, CCHDEVICENAME)) return nullptr;
  return dm;
}

// --- Printers -------------------------------------------------------------------------

std::vector<HostPrinterInfo> Host_Enum_Printers() {
  std::vector<HostPrinterInfo> list;
  if (Cups_On()) {
    cups_dest_t* dests = nullptr;
    const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < n; ++i) {
      const cups_dest_t& d = dests[i];
      if (!d.name || d.instance) continue;  // instances are option sets of one queue
      HostPrinterInfo p;
      p.name = d.name;
      if (const char* mm = cupsGetOption("printer-make-and-model", d.num_options, d.options)) p.driver = mm;
      if (const char* uri = cupsGetOption("device-uri", d.num_options, d.options)) p.port = uri;
      p.is_default = d.is_default != 0;
      if (p.name.size() < CCHDEVICENAME) list.push_back(std::move(p));
    }
    cupsFreeDests(n, dests);
  }
  const bool have_default =
      std::any_of(list.begin(), list.end(), [](const HostPrinterInfo& p) { return p.is_default; });
  if (!have_default && !list.empty()) list.front().is_default = true;
  HostPrinterInfo f = File_Printer();
  f.is_default = list.empty();
  list.push_back(f);
  if (Disc_On()) list.push_back(Disc_Printer());
  return list;
}

bool Host_Default_Printer(HostPrinterInfo& out) {
  for (const HostPrinterInfo& p : Host_Enum_Printers())
    if (p.is_default) {
      out = p;
      return true;
    }
  return false;
}

bool Host_Find_Printer(const std::string& name, HostPrinterInfo& out) {
  if (name == kHostFilePrinterName) {
    out = File_Printer();
    return true;
  }
  if (Is_Disc_Name(name)) {
    out = Disc_Printer();
    return true;
  }
  for (const HostPrinterInfo& p : Host_Enum_Printers())
    if (p.name == name) {
      out = p;
      return true;
    }
  return false;
}

bool Host_Printer_DevMode(const std::string& name, std::vector<uint8>& block) {
  HostPrinterInfo p;
  if (name.size() >= CCHDEVICENAME || !Host_Find_Printer(name, p)) return false;
  const PrinterDefaults d = Defaults_Of(p);
  const bool disc = p.name == kHostDiscPrinterName;
  const uint16 extra = disc ? kDiscExtra : 0;
  block.assign(sizeof(DEVMODEA) + extra, 0);
  DEVMODEA dm{};
  std::memcpy(dm.dmDeviceName, p.name.data(), p.name.size());
  dm.dmSpecVersion = kHostDevModeVersion;
  dm.dmDriverVersion = 1;
  dm.dmSize = sizeof(DEVMODEA);
  dm.dmDriverExtra = extra;
  dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_YRESOLUTION;
  dm.dmOrientation = DMORIENT_PORTRAIT;
  dm.dmPaperSize = d.paper;
  if (d.paper == DMPAPER_USER) {
    dm.dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
    dm.dmPaperLength = int16(std::min(d.length, 32767));
    dm.dmPaperWidth = int16(std::min(d.width, 32767));
  }
  dm.dmCopies = 1;
  dm.dmPrintQuality = kDefaultDpi;
  dm.dmYResolution = kDefaultDpi;
  std::memcpy(block.data(), &dm, sizeof dm);
  if (disc) Disc_Private_Defaults(block.data() + sizeof(DEVMODEA));
  return true;
}

void Host_Print_Set_Cups(bool on) { g_cups_on = on ? 1 : 0; }
void Host_Print_Set_Disc_Printer(bool on) { g_disc_on = on ? 1 : 0; }
void Host_Print_Set_Output_Path(const std::string& path) { g_output_path = path; }
void Host_Print_Set_Page_Limit(uint64 bytes) { g_page_limit = bytes; }
uint64 Host_Print_Page_Limit() { return g_page_limit; }

// --- Capabilities ---------------------------------------------------------------------

bool Host_Paper_Size(int16 paper, int32& width, int32& length) {
  const PaperDef* p = Find_Paper(paper);
  if (!p) return false;
  width = p->width;
  length = p->length;
  return true;
}

int16 Host_Paper_For_Size(int32 width, int32 length) { return Paper_For_Size(width, length); }

int32 DeviceCapabilitiesA(const char* device, const char* /*port*/, uint16 index, void* out,
                          const DEVMODEA* /*devmode*/) {
  HostPrinterInfo p;
  if (!device || !Host_Find_Printer(device, p)) return -1;
  const bool disc = p.name == kHostDiscPrinterName;
  const int16* papers = disc ? kDiscPapers : kPagePapers;
  const int32 npapers = disc ? int32(std::size(kDiscPapers)) : int32(std::size(kPagePapers));
  switch (index) {
    case DC_PAPERS:
      if (out) std::memcpy(out, papers, sizeof(int16) * size_t(npapers));
      return npapers;
    case DC_PAPERSIZE:
      if (out) {
        POINT* pts = static_cast<POINT*>(out);
        for (int32 i = 0; i < npapers; ++i) {
          const PaperDef* d = Find_Paper(papers[i]);
          pts[i] = POINT{d->width, d->length};
        }
      }
      return npapers;
    case DC_ENUMRESOLUTIONS:
      if (out) {
        int32* r = static_cast<int32*>(out);
        for (size_t i = 0; i < std::size(kResolutions); ++i) r[2 * i] = r[2 * i + 1] = kResolutions[i];
      }
      return int32(std::size(kResolutions));
    case DC_COPIES:
      return 999;
    default:
      return -1;
  }
}

// --- Print jobs -----------------------------------------------------------------------

int32 GetDeviceCaps(HDC dc, int32 index) {
  if (Job* j = Job_Of(dc)) {
    switch (index) {
      case TECHNOLOGY: return DT_RASPRINTER;
      case HORZSIZE: return int32(int64(j->res_w) * 254 / (int64(j->dpi_x) * 10));
      case VERTSIZE: return int32(int64(j->res_h) * 254 / (int64(j->dpi_y) * 10));
      case HORZRES: return j->res_w;
      case VERTRES: return j->res_h;
      case BITSPIXEL: return 32;
      case LOGPIXELSX: return j->dpi_x;
      case LOGPIXELSY: return j->dpi_y;
      case PHYSICALWIDTH: return j->phys_w;
      case PHYSICALHEIGHT: return j->phys_h;
      case PHYSICALOFFSETX: return j->off_x;
      case PHYSICALOFFSETY: return j->off_y;
      default: return 0;
    }
  }
  if (!dc || GetObjectType(dc) == 0) return 0;
  const HostSurface* bm = Host_Surface(static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP)));
  if (!bm) return 0;
  switch (index) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return bm->width * 254 / 960;
    case VERTSIZE: return bm->height * 254 / 960;
    case HORZRES:
    case PHYSICALWIDTH: return bm->width;
    case VERTRES:
    case PHYSICALHEIGHT: return bm->height;
    case BITSPIXEL: return bm->depth;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case PHYSICALOFFSETX:
    case PHYSICALOFFSETY: return 0;
    default: return 0;
  }
}

HDC CreateDCA(const char* /*driver*/, const char* device, const char* output, const DEVMODEA* devmode) {
  HostPrinterInfo p;
  if (!device || !Host_Find_Printer(device, p)) return nullptr;
  std::vector<uint8> block;
  if (devmode) {
    if (devmode->dmSize != sizeof(DEVMODEA) || devmode->dmDriverExtra > kHostMaxDriverExtra) return nullptr;
    const uint8* raw = reinterpret_cast<const uint8*>(devmode);
    block.assign(raw, raw + sizeof(DEVMODEA) + devmode->dmDriverExtra);
  } else if (!Host_Printer_DevMode(p.name, block)) {
    return nullptr;
  }
  DEVMODEA dm;
  std::memcpy(&dm, block.data(), sizeof dm);

  auto job = std::make_unique<Job>();
  job->printer = p;
  PrinterDefaults d = Defaults_Of(p);
  int32 w10 = d.width, l10 = d.length;
  if ((dm.dmFields & DM_PAPERLENGTH) && (dm.dmFields & DM_PAPERWIDTH) && dm.dmPaperLength > 0 &&
      dm.dmPaperWidth > 0) {
    w10 = dm.dmPaperWidth;
    l10 = dm.dmPaperLength;
  } else if (dm.dmFields & DM_PAPERSIZE) {
    int32 w, l;
    if (Host_Paper_Size(dm.dmPaperSize, w, l)) {
      w10 = w;
      l10 = l;
    }
  }
  if (dm.dmFields & DM_PRINTQUALITY) {
    if (dm.dmPrintQuality < kMinDpi || dm.dmPrintQuality > kMaxDpi) return nullptr;
    job->dpi_x = job->dpi_y = dm.dmPrintQuality;
  }
  if ((dm.dmFields & DM_YRESOLUTION) && dm.dmYResolution != 0) {
    if (dm.dmYResolution < kMinDpi || dm.dmYResolution > kMaxDpi) return nullptr;
    job->dpi_y = dm.dmYResolution;
  }
  if ((dm.dmFields & DM_COPIES) && dm.dmCopies >= 1) job->copies = std::min<int32>(dm.dmCopies, 999);
  job->media_w = w10;
  job->media_l = l10;
  int32 m[4] = {d.margins[0], d.margins[1], d.margins[2], d.margins[3]};
  const bool landscape = (dm.dmFields & DM_ORIENTATION) && dm.dmOrientation == DMORIENT_LANDSCAPE;
  job->landscape = landscape;
  if (landscape) {
    // Turned a quarter counter-clockwise: the portrait top edge is now on the left.
    std::swap(w10, l10);
    const int32 t[4] = {m[1], m[2], m[3], m[0]};
    std::copy(t, t + 4, m);
  }
  job->phys_w = int32((int64(w10) * job->dpi_x + 127) / 254);
  job->phys_h = int32((int64(l10) * job->dpi_y + 127) / 254);
  job->off_x = int32((int64(m[0]) * job->dpi_x + 1270) / 2540);
  job->off_y = int32((int64(m[1]) * job->dpi_y + 1270) / 2540);
  const int32 right = int32((int64(m[2]) * job->dpi_x + 1270) / 2540);
  const int32 bottom = int32((int64(m[3]) * job->dpi_y + 1270) / 2540);
  job->res_w = job->phys_w - job->off_x - right;
  job->res_h = job->phys_h - job->off_y - bottom;
  if (job->res_w < 1 || job->res_h < 1 || job->res_w > kMaxSide || job->res_h > kMaxSide) return nullptr;
  if (uint64(job->res_w) * uint64(job->res_h) * 4 > g_page_limit) return nullptr;

  // The page's pixels are zero pages of a mapping of their own: a PDF page
  // makes real only the tiles drawing reaches, and each page gives them back.
  job->page_bytes = size_t(job->res_w) * size_t(job->res_h) * 4;
  void* bits = mmap(nullptr, job->page_bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (bits == MAP_FAILED) return nullptr;
  job->page_bits = static_cast<uint8*>(bits);
  job->page = Host_WrapSurface(bits, job->res_w, job->res_h, 32, job->res_w * 4, nullptr, 0);
  if (!job->page) return nullptr;
  job->dc = Host_CreateSurfaceDC(job->page);
  if (!job->dc) {
    DeleteObject(job->page);
    return nullptr;
  }
  job->devmode = std::move(block);
  if (output && *output && std::strcmp(output, "FILE:") != 0 && p.is_file) job->out_path = output;
  HDC dc = job->dc;
  g_jobs[dc] = std::move(job);
  return dc;
}

bool Host_Is_Printer_DC(HDC dc) { return Job_Of(dc) != nullptr; }

bool Host_DeletePrinterDC(HDC dc) {
  Job* j = Job_Of(dc);
  if (!j) return false;
  Discard(*j, JobState::Idle);
  DeleteDC(dc);
  DeleteObject(j->page);
  g_jobs.erase(dc);  // the page's pixels go last
  return true;
}

int32 SetAbortProc(HDC dc, ABORTPROC proc) {
  Job* j = Job_Of(dc);
  if (!j) return SP_ERROR;
  j->abort = proc;
  return 1;
}

int32 StartDocA(HDC dc, const DOCINFOA* info) {
  g_last_outcome = HostPrintOutcome{};
  Job* j = Job_Of(dc);
  if (!j || j->state != JobState::Idle) return SP_ERROR;
  g_last_files.clear();
  j->doc_name = (info && info->lpszDocName) ? info->lpszDocName : "";
  j->pages = 0;
  j->write_failed = false;
  std::string target;
  bool chosen_here = false;
  if (info && info->lpszOutput && *info->lpszOutput) target = info->lpszOutput;
  else if (!j->out_path.empty()) target = j->out_path;
  else if (j->printer.is_file) target = Default_Output(j->doc_name, chosen_here);
  if (chosen_here) {
    // A name of our making never costs the user a file: the first free one.
    const std::string free_name = Host_Free_Name(target);
    if (!free_name.empty()) target = free_name;
  }
  j->to_file = !target.empty();
  j->free_name = chosen_here;
  j->png = j->to_file && Ends_With_Png(target);
  j->out_path = target;
  g_last_outcome.to_file = j->to_file;
  g_last_outcome.target = target;
  g_last_outcome.printer = j->printer.name;
  if (!j->png) {
    if (j->to_file) {
      if (!Host_Replace_Begin(j->replace, target.c_str())) {
        g_last_outcome.error = errno != 0 ? errno : EIO;
        return SP_ERROR;
      }
    } else {
      j->temp_fd = Host_Temp_File(Host_Temp_Dir().c_str(), "velmor-print-", j->temp_path);
      if (j->temp_fd == HOST_NO_FD) return SP_ERROR;
    }
    // A print server gets the sheet as it is fed, the landscape page turned
    // onto it as the device context has it (its top edge on the sheet's
    // left), so that no server turns it another way.
    j->turned = j->landscape && !j->to_file;
    j->pdf = j->turned ? cairo_pdf_surface_create_for_stream(Pdf_Write, j, Points(j->phys_h, j->dpi_y),
                                                             Points(j->phys_w, j->dpi_x))
                       : cairo_pdf_surface_create_for_stream(Pdf_Write, j, Points(j->phys_w, j->dpi_x),
                                                             Points(j->phys_h, j->dpi_y));
    if (cairo_surface_status(j->pdf) != CAIRO_STATUS_SUCCESS) {
      Discard(*j, JobState::Idle);
      return SP_ERROR;
    }
    cairo_pdf_surface_restrict_to_version(j->pdf, CAIRO_PDF_VERSION_1_4);
  }
  j->state = JobState::InDoc;
  static int32 job_ids = 0;
  job_ids = job_ids % 0x7FFFFFF + 1;
  return job_ids;
}

int32 StartPage(HDC dc) {
  Job* j = Job_Of(dc);
  if (!j || j->state != JobState::InDoc) return SP_ERROR;
  if (!Call_Abort(*j)) return SP_APPABORT;
  // A fresh white sheet (alpha 0, as drawing in a colour leaves it): the
  // whole of it for a PNG page; a PDF page makes its tiles as drawing
  // reaches them, from zero pages again.
  HostSurface& s = *Host_Surface(j->page);  // the job's own page: live while the job is
  if (j->pdf) {
    j->tiles.reset();
    j->ops.clear();
    madvise(j->page_bits, j->page_bytes, MADV_DONTNEED);
    j->tiles = std::make_unique<PageTiles>(j->page, s.width, s.height, j->ops);
  } else {
    for (int32 y = 0; y < s.height; ++y) std::fill(Row(s, y), Row(s, y) + s.width, 0x00FFFFFFu);
  }
  j->state = JobState::InPage;
  return 1;
}

int32 EndPage(HDC dc) {
  Job* j = Job_Of(dc);
  if (!j || j->state != JobState::InPage) return SP_ERROR;
  if (!Call_Abort(*j)) return SP_APPABORT;
  HostSurface& s = *Host_Surface(j->page);  // the job's own page: live while the job is
  if (j->png) {
    HostImageSource src{s.bits, s.width, s.height, size_t(s.stride), uint32(j->dpi_x)};
    auto bytes = std::make_shared<std::vector<uint8>>();
    if (Host_Encode_PNG(src, false, *bytes) != 0) {
      Discard(*j, JobState::Failed);
      return SP_ERROR;
    }
    for (int32 c = 0; c < (j->printer.is_file ? j->copies : 1); ++c) j->png_pages.push_back(bytes);
  } else {
    if (!Take_Drawing(*j)) {
      Discard(*j, JobState::Failed);
      return SP_ERROR;
    }
    const int32 reps = (j->printer.is_file || j->to_file) ? j->copies : 1;
    cairo_t* cr = cairo_create(j->pdf);
    for (int32 c = 0; c < reps; ++c) {
      cairo_save(cr);
      if (j->turned) {
        // Page (X, Y) onto the sheet: x = page height - Y, y = X.
        cairo_matrix_t turn;
        cairo_matrix_init(&turn, 0, 1, -1, 0, Points(j->phys_h, j->dpi_y), 0);
        cairo_transform(cr, &turn);
      }
      cairo_translate(cr, Points(j->off_x, j->dpi_x), Points(j->off_y, j->dpi_y));
      cairo_scale(cr, 72.0 / j->dpi_x, 72.0 / j->dpi_y);
      Draw_Ops(cr, *j);
      cairo_restore(cr);
      cairo_show_page(cr);
    }
    const cairo_status_t st = cairo_status(cr);
    cairo_destroy(cr);
    // The ops stay until the next page: a look at the page (Host_Printer_Page)
    // still makes its tiles with the pictures.
    if (st != CAIRO_STATUS_SUCCESS || j->write_failed ||
        cairo_surface_status(j->pdf) != CAIRO_STATUS_SUCCESS) {
      Discard(*j, JobState::Failed);
      return SP_ERROR;
    }
  }
  ++j->pages;
  j->state = JobState::InDoc;
  return 1;
}

int32 Host_Print_DIBits(HDC dc, int32 x, int32 y, int32 w, int32 h, int32 sx, int32 sy, int32 sw,
                        int32 sh, const void* bits, const BITMAPINFO* info, uint32 usage,
                        uint32 rop, size_t bits_size) {
  auto plain = [&] {
    return StretchDIBits(dc, x, y, w, h, sx, sy, sw, sh, bits, info, usage, rop, bits_size);
  };
  Job* j = Job_Of(dc);
  if (!j || j->state != JobState::InPage || !j->tiles || rop != SRCCOPY || usage != DIB_RGB_COLORS ||
      !bits || !info || w == 0 || h == 0 || sw == 0 || sh == 0)
    return plain();
  // The source rectangle put in order; it must lie within the DIB (pixels
  // off the DIB leave the page alone, which a picture cannot say).
  const int64 ax = sw < 0 ? int64(sx) + sw : sx, ay = sh < 0 ? int64(sy) + sh : sy;
  const int64 aw = sw < 0 ? -int64(sw) : sw, ah = sh < 0 ? -int64(sh) : sh;
  const int64 dib_w = info->bmiHeader.biWidth;
  const int64 dib_h = info->bmiHeader.biHeight < 0 ? -int64(info->bmiHeader.biHeight)
                                                   : int64(info->bmiHeader.biHeight);
  if (ax < 0 || ay < 0 || ax + aw > dib_w || ay + ah > dib_h || aw > kMaxSide || ah > kMaxSide)
    return plain();
  POINT corners[2] = {{x, y}, {0, 0}};
  if (int64(x) + w < INT32_MIN || int64(x) + w > INT32_MAX || int64(y) + h < INT32_MIN ||
      int64(y) + h > INT32_MAX)
    return plain();
  corners[1] = POINT{x + w, y + h};
  if (!LPtoDP(dc, corners, 2)) return plain();

  // What was drawn before the picture goes before it.
  if (!Take_Drawing(*j)) {
    j->write_failed = true;
    j->write_errno = ENOMEM;
    return plain();
  }
  PageOp op;
  op.kind = PageOp::Kind::Image;
  op.picture = Job_Picture(*j, int32(ax), int32(ay), int32(aw), int32(ah), bits, info, bits_size);
  if (!op.picture) {
    // Drawn on the page at least; unless the pixels could not be read at
    // all, the page cannot say what it shows.
    const int32 rows = plain();
    if (rows != 0) {
      j->write_failed = true;
      j->write_errno = ENOMEM;
    }
    return rows;
  }
  const int32 rows = int32(ah);
  op.at = corners[0];
  op.call_w = w;
  op.call_h = h;
  op.src_x = int32(sx - ax);
  op.src_y = int32(sy - ay);
  op.src_w = sw;
  op.src_h = sh;
  op.dx = std::min(corners[0].x, corners[1].x);
  op.dy = std::min(corners[0].y, corners[1].y);
  op.dw = std::abs(corners[1].x - corners[0].x);
  op.dh = std::abs(corners[1].y - corners[0].y);
  op.sw = int32(aw);
  op.sh = int32(ah);
  op.flip_x = (w < 0) != (sw < 0);
  op.flip_y = (h < 0) != (sh < 0);
  if (HRGN clip = CreateRectRgn(0, 0, 0, 0)) {
    if (GetClipRgn(dc, clip) == 1) {
      op.clipped = true;
      op.clip = Host_Rgn_Rects(clip);
      op.clip_rgn = std::shared_ptr<std::remove_pointer_t<HRGN>>(clip, [](HRGN r) { DeleteRgn(r); });
    } else {
      DeleteRgn(clip);
    }
  }
  if (op.clipped && op.clip.empty()) return rows;
  // Into the tiles already made, whose shadows then hold it too, so that the
  // next look at what other drawing did leaves it out; the tiles made later
  // paint it themselves.
  PageTiles& tiles = *j->tiles;
  const RECT box{op.dx, op.dy, int32(std::min<int64>(int64(op.dx) + op.dw, INT32_MAX)),
                 int32(std::min<int64>(int64(op.dy) + op.dh, INT32_MAX))};
  for (int32 ty = std::max(0, box.top / kTile); ty < tiles.nty && ty * kTile < box.bottom; ++ty)
    for (int32 tx = std::max(0, box.left / kTile); tx < tiles.ntx && tx * kTile < box.right; ++tx)
      if (tiles.Made(tx, ty)) {
        tiles.Paint(op, tiles.Tile(tx, ty));
        tiles.Take_Shadow(tx, ty);
      }
  j->ops.push_back(std::move(op));
  return rows;
}

int32 EndDoc(HDC dc) {
  Job* j = Job_Of(dc);
  if (!j || j->state != JobState::InDoc) {
    if (j && j->state != JobState::Idle) Discard(*j, JobState::Idle);
    return SP_ERROR;
  }
  if (j->pages == 0) {  // nothing was printed: nothing to deliver
    Discard(*j, JobState::Idle);
    return 1;
  }
  std::vector<std::string> written;
  if (j->png) {
    std::vector<HostReplace> reps(j->png_pages.size());
    bool ok = true;
    for (size_t i = 0; i < reps.size() && ok; ++i) {
      const std::string path = Png_Page_Path(j->out_path, int32(i + 1));
      ok = Host_Replace_Begin(reps[i], path.c_str()) &&
           Host_Replace_Write(reps[i], j->png_pages[i]->data(), j->png_pages[i]->size());
      if (!ok) g_last_outcome.target = path;
    }
    // Every page is complete before any is renamed into place.
    for (size_t i = 0; i < reps.size() && ok; ++i) {
      const std::string target = reps[i].target;
      ok = Host_Replace_Commit(reps[i]);
      if (ok) written.push_back(target);
    }
    if (!ok) g_last_outcome.error = errno != 0 ? errno : EIO;
    for (HostReplace& r : reps)
      if (r.fd != HOST_NO_FD) Host_Replace_Abort(r);
    if (!ok) {
      Discard(*j, JobState::Idle);
      return SP_ERROR;
    }
  } else {
    errno = 0;
    cairo_surface_finish(j->pdf);
    const bool ok = cairo_surface_status(j->pdf) == CAIRO_STATUS_SUCCESS && !j->write_failed;
    cairo_surface_destroy(j->pdf);
    j->pdf = nullptr;
    if (!ok) {
      g_last_outcome.error = j->write_errno != 0 ? j->write_errno : EIO;
      Discard(*j, JobState::Idle);
      return SP_ERROR;
    }
    if (j->to_file) {
      const bool committed =
          j->free_name ? Host_Replace_Commit_New(j->replace) : Host_Replace_Commit(j->replace);
      const std::string target = j->replace.target;
      if (!committed) {
        g_last_outcome.error = errno != 0 ? errno : EIO;
        Discard(*j, JobState::Idle);
        return SP_ERROR;
      }
      j->replace = HostReplace{};
      written.push_back(target);
    } else {
      Host_Close(j->temp_fd);
      j->temp_fd = HOST_NO_FD;
      int nopt = 0;
      cups_option_t* opts = nullptr;
      if (j->copies > 1) nopt = cupsAddOption("copies", std::to_string(j->copies).c_str(), nopt, &opts);
      if (pwg_media_t* m = pwgMediaForSize(j->media_w * 10, j->media_l * 10))
        nopt = cupsAddOption("media", m->pwg, nopt, &opts);
      const std::string title = j->doc_name.empty() ? std::string("Untitled") : j->doc_name;
      const int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, j->printer.name.c_str(), j->temp_path.c_str(),
                                    title.c_str(), nopt, opts);
      cupsFreeOptions(nopt, opts);
      if (id <= 0) {
        g_last_outcome.error = EIO;
        g_last_outcome.message = cupsLastErrorString() ? cupsLastErrorString() : "";
        Discard(*j, JobState::Idle);
        return SP_ERROR;
      }
    }
  }
  Discard(*j, JobState::Idle);
  g_last_files = written;
  g_last_outcome.files = written;
  g_last_outcome.delivered = true;
  return 1;
}

int32 AbortDoc(HDC dc) {
  Job* j = Job_Of(dc);
  if (!j) return SP_ERROR;
  Discard(*j, JobState::Idle);
  return 1;
}

HBITMAP Host_Printer_Page(HDC dc) {
  Job* j = Job_Of(dc);
  if (!j) return nullptr;
  if (j->tiles) j->tiles->Make_All();  // the whole page, as it would be printed
  return j->page;
}

bool Host_Printer_DC_DevMode(HDC dc, std::vector<uint8>& block) {
  Job* j = Job_Of(dc);
  if (!j) return false;
  block = j->devmode;
  return true;
}

std::vector<std::string> Host_Print_Last_Files() { return g_last_files; }

HostPrintOutcome Host_Print_Last_Outcome() { return g_last_outcome; }
