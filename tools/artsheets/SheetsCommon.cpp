#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Sheets.h"
#include "pixel/Draw.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "platform/SysErr.h"
#include "platform/SysIO.h"
#include "platform/SysMem.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

// ---------------------------------------------------------------------------
// Reader
// ---------------------------------------------------------------------------
namespace {

[[noreturn]] void Fail_Quit() {
  std::fprintf(stderr, "artsheets: the library reader stopped on an internal error\n");
  std::exit(1);
}
[[noreturn]] void Fail_Mem(uint32 needed) {
  std::fprintf(stderr, "artsheets: no memory for %u bytes\n", needed);
  std::exit(1);
}
[[noreturn]] void Fail_Key(OSType, a_keyset key) {
  std::fprintf(stderr, "artsheets: missing key %s\n", Key_Name(key).c_str());
  std::exit(1);
}

// The 32-bit pixels of a pixel map in memory order (blue, green, red,
// alpha) as straight RGBA.
a_art_image From_PixMap(const PixMap& pm) {
  a_art_image img;
  img.width = int32_t(pm.bounds.right) - pm.bounds.left;
  img.height = int32_t(pm.bounds.bottom) - pm.bounds.top;
  img.rgba.resize(size_t(img.width) * size_t(img.height) * 4);
  const size_t rb = size_t(PixMap_RowBytes(pm));
  for (int32_t y = 0; y < img.height; ++y) {
    const uint8_t* row = reinterpret_cast<const uint8_t*>(pm.baseAddr) + size_t(y) * rb;
    for (int32_t x = 0; x < img.width; ++x) {
      uint8_t* q = &img.rgba[(size_t(y) * size_t(img.width) + size_t(x)) * 4];
      q[0] = row[x * 4 + 2];
      q[1] = row[x * 4 + 1];
      q[2] = row[x * 4];
      q[3] = row[x * 4 + 3];
    }
  }
  return img;
}

}  // namespace

bool Reader_Open(const std::string& library, std::string& err) {
  QUIT = Fail_Quit;
  g_err_mem_proc = Fail_Mem;
  g_err_key_proc = Fail_Key;
  SysWin_Init();
  Set_GWorld(nullptr);
  SysVideo_Init();
  InitGray();
  SysBlt_Init();
  OP_Init();
  SysPixt_Init();
  FSSpec spec{};
  if (!Path_From_Text(spec, library.c_str())) {
    err = library + ": not a usable path";
    return false;
  }
  const a_openfile_result r = OP_OpenFile(spec);
  if (r != OPEN_OKAY) {
    err = library + (r == OPEN_NOTFOUND ? ": cannot be opened" : ": not a picture library");
    return false;
  }
  return true;
}

void Reader_Close() {
  OP_Stop();
  SysBlt_Stop();
  Port_Stack_Clear();
  Set_GWorld(nullptr);
  SysVideo_Stop();
}

std::vector<a_keyset> Reader_Keys(const a_keyset& basis, int fixed) {
  a_keyset w = basis;
  int16* parts[4] = {&w.a, &w.b, &w.c, &w.d};
  for (int i = fixed; i < 4; ++i) *parts[i] = 32000;
  std::vector<a_keyset> keys;
  if (!OP_Exists(basis) && fixed == 4) return keys;
  a_subset sub{};
  Subset_Init(sub, w);
  const int16 n = Subset_Count(sub);
  for (int16 i = 1; i <= n; ++i) {
    a_keyset k{};
    Subset_GetKey(sub, i, k);
    keys.push_back(k);
  }
  return keys;
}

std::vector<uint8_t> Reader_Bytes(const a_keyset& key) {
  std::vector<uint8_t> out;
  Ptr p = OP_Lock(key);
  if (p == nullptr) return out;
  out.assign(reinterpret_cast<const uint8_t*>(p), reinterpret_cast<const uint8_t*>(p) + Ptr_GetSize(p));
  OP_Unlock(p);
  return out;
}

a_read_picture Reader_Picture(const a_keyset& key) {
  a_read_picture r;
  const std::vector<uint8_t> raw = Reader_Bytes(key);
  if (raw.size() >= 8) {
    r.flags = raw[6];
    r.depth = raw[7];
  }
  a_pixt pixt{};
  switch (KPixt_Load_Checked(key, pixt)) {
    case PIXT_OK: break;
    case PIXT_MISSING: r.why = "missing"; return r;
    case PIXT_DAMAGED: r.why = "damaged"; return r;
    case PIXT_NOMEM: r.why = "no memory"; return r;
  }
  if (pixt.pixmap.pixelSize == 8 && key.a == ART_CANVAS) {
    // An 8-bit canvas is shown through its palette, as the program does.
    GWorldPtr w8 = nullptr, w32 = nullptr;
    Pixt_To_GWorld(pixt, w8);
    Canvas8_To_32(key, w8, w32);
    if (w32 != nullptr) {
      r.img = From_PixMap(*Get_GWorld_PixMap(w32));
      r.ok = true;
    } else {
      r.why = "not turned into 32 bits";
    }
    Dispose_GWorld(w8);
    Dispose_GWorld(w32);
    Pixt_Unload(pixt);
    return r;
  }
  if (pixt.pixmap.pixelSize != 32) {
    Pixt_Unload(pixt);
    r.why = "depth " + std::to_string(pixt.pixmap.pixelSize) + " not shown";
    return r;
  }
  Pixt_Lock(pixt);
  r.img = From_PixMap(pixt.pixmap);
  Pixt_Unlock(pixt);
  Pixt_Unload(pixt);
  r.ok = true;
  return r;
}

// ---------------------------------------------------------------------------
// Sheets
// ---------------------------------------------------------------------------
namespace {
constexpr double kMargin = 16, kGap = 14, kTitle = 44, kLabel = 16;
}

a_sheet::a_sheet(const std::string& title, int32_t width) : width_(width) {
  page_ = std::make_unique<a_surface>(width_, 1024);
  Set_Rgb(page_->Cr(), Hex("#e9e9ec"));
  cairo_paint(page_->Cr());
  Use_Font(page_->Cr(), "sans-bold", 18);
  Set_Rgb(page_->Cr(), Hex("#202028"));
  cairo_move_to(page_->Cr(), kMargin, 28);
  cairo_show_text(page_->Cr(), title.c_str());
  x_ = kMargin;
  y_ = kTitle;
  used_h_ = kTitle;
}

void a_sheet::Grow(int32_t h) {
  if (h <= page_->H()) return;
  auto bigger = std::make_unique<a_surface>(width_, std::max(h, page_->H() * 2));
  Set_Rgb(bigger->Cr(), Hex("#e9e9ec"));
  cairo_paint(bigger->Cr());
  bigger->Paint(*page_, 0, 0);
  page_ = std::move(bigger);
}

void a_sheet::Next(int32_t w, int32_t h, double& x, double& y) {
  if (x_ + w > width_ - kMargin && x_ > kMargin) {
    x_ = kMargin;
    y_ += row_h_ + kGap;
    row_h_ = 0;
  }
  x = x_;
  y = y_;
  x_ += w + kGap;
  row_h_ = std::max(row_h_, double(h) + kLabel);
  used_h_ = std::max(used_h_, y_ + row_h_);
  Grow(int32_t(used_h_ + kMargin + 1));
}

void a_sheet::Label(double x, double y, const std::string& text, double size) {
  Use_Font(page_->Cr(), "sans", size);
  Set_Rgb(page_->Cr(), Hex("#33333d"));
  cairo_move_to(page_->Cr(), x, y + size);
  cairo_show_text(page_->Cr(), text.c_str());
}

void a_sheet::Image(const a_art_image& img, double x, double y, double scale) {
  if (img.width < 1 || img.height < 1) return;
  const int32_t w = std::max<int32_t>(1, int32_t(img.width * scale + 0.5)), h = std::max<int32_t>(1, int32_t(img.height * scale + 0.5));
  const a_art_image fitted = (w == img.width && h == img.height) ? img : Resample(img, w, h);
  a_surface s(w, h);
  s.Flush();
  for (int32_t yy = 0; yy < h; ++yy) {
    uint32_t* row = s.Row(yy);
    for (int32_t xx = 0; xx < w; ++xx) {
      const uint8_t* p = &fitted.rgba[(size_t(yy) * size_t(w) + size_t(xx)) * 4];
      const uint32_t a = p[3];
      auto pm = [&](uint8_t c) { return (uint32_t(c) * a + 127) / 255; };
      row[xx] = (a << 24) | (pm(p[0]) << 16) | (pm(p[1]) << 8) | pm(p[2]);
    }
  }
  s.Mark();
  page_->Paint(s, x, y);
}

bool a_sheet::Write(const std::string& path, std::string& err) {
  const int32_t h = int32_t(used_h_ + kMargin);
  a_surface out(width_, h);
  out.Paint(*page_, 0, 0);
  if (cairo_surface_write_to_png(out.Surface(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
    err = path + ": cannot be written";
    return false;
  }
  return true;
}
