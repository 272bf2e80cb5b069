// Clipboard transport over the host's clipboard.
#include "platform/SysScrap.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "host/HostByteOrder.h"
#include "host/HostClipboard.h"
#include "host/HostGdi.h"
#include "host/HostUtf.h"
#include "platform/SysLoop.h"
#include "platform/SysMS.h"
#include "platform/SysSound.h"
#include "platform/SysUnicode.h"
#include "platform/SysWin.h"

namespace {

a_scrap_readers g_readers{};
a_scrap_bitmap_reader g_bitmap{};

// Other programs see a bitmap as image/png through this: the bitmap reader
// turns it into pixels. Progress is not shown, as this runs while another
// program waits for the picture.
bool Dib_Pixels(const uint8* dib, size_t size, std::vector<uint8>& pixels, int32& width, int32& height) {
  a_picture_scan_rec scan;
  if (g_bitmap.scan == nullptr) return false;
  g_bitmap.clear(scan);
  a_ram_state state{dib, uint32(std::min<size_t>(size, 0xFFFFFFFFu))};
  const ProgProc progress = g_progproc;
  g_progproc = nullptr;
  const int16 r = g_bitmap.scan(false, Ram_Reader, &state, size, scan);
  g_progproc = progress;
  if (r != 0) {
    g_bitmap.dispose(scan);
    return false;
  }
  const PixMap& pm = *Get_GWorld_PixMap(scan.body.fore);
  width = int32(pm.bounds.right) - pm.bounds.left;
  height = int32(pm.bounds.bottom) - pm.bounds.top;
  bool ok = true;
  try {
    pixels.assign(size_t(width) * size_t(height) * 4, 255);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  Lock_GWorld(scan.body.fore);
  const uint32 rowbytes = PixMap_RowBytes(pm);
  for (int32 y = 0; ok && y < height; ++y) {
    const uint8* row = reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(y) * rowbytes;
    uint8* out = pixels.data() + size_t(y) * size_t(width) * 4;
    for (int32 x = 0; x < width; ++x, out += 4) {
      if (pm.pixelSize == 8) {
        const a_pixel32& c = scan.ctable[row[x]];
        out[0] = c.b, out[1] = c.g, out[2] = c.r;
      } else if (pm.pixelSize == 16) {
        const uint32 v = Load_LE16(row + 2 * x);
        auto widen = [](uint32 c) { return uint8((c << 3) | (c >> 2)); };
        out[0] = widen(v & 31), out[1] = widen((v >> 5) & 31), out[2] = widen((v >> 10) & 31);
      } else {
        out[0] = row[4 * x], out[1] = row[4 * x + 1], out[2] = row[4 * x + 2];
      }
    }
  }
  Unlock_GWorld(scan.body.fore);
  g_bitmap.dispose(scan);
  return ok;
}

// The names other programs know our records by, and the bitmap's pictures;
// set up before the clipboard is first used.
void Scrap_Types() {
  static bool done = false;
  if (done) return;
  done = true;
  Host_Clipboard_Add_Type(SCRAP_TEXTR, "application/x-velmor4-text-range");
  Host_Clipboard_Add_Type(SCRAP_OM, "application/x-velmor4-text-object");
  Host_Clipboard_Add_Type(SCRAP_PH, "application/x-velmor4-photo");
  Host_Clipboard_Set_Dib_Decoder(Dib_Pixels);
}

// The bytes of one format, copied out so that the clipboard can be closed
// before a reader runs (a reader may well copy something itself).
bool Take_Format(uint32 format, std::vector<uint8>& out) {
  const uint8* data = nullptr;
  uint32 size = 0;
  if (!Host_Clipboard_Get(format, data, size)) return false;
  try {
    out.assign(data, data + size);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool8 Paste_Record(uint32 format, void (*reader)(const uint8*, uint32)) {
  std::vector<uint8> bytes;
  const bool got = Take_Format(format, bytes);
  Host_Clipboard_Close();
  if (!got || reader == nullptr) return false;
  reader(bytes.data(), uint32(bytes.size()));
  return true;
}

bool8 Scrap_Paste_UTF16() {
  // 3999 units and a 0 unit at most; an odd last byte is left out.
  UniChar buf[4000] = {};
  const uint8* data = nullptr;
  uint32 size = 0;
  if (Host_Clipboard_Get(SCRAP_UNICODETEXT, data, size)) {
    std::memcpy(buf, data, std::min<uint32>(size, 7998) & ~1u);
    // A character whose second half did not fit is left out whole.
    if (size > 7998 && Host_Is_High_Surrogate(buf[3998])) buf[3998] = 0;
  }
  Host_Clipboard_Close();
  return Filter_And_Inject(CUStrSpan(buf));
}

bool8 Scrap_Paste_TEXT() {
  char text[4000] = {};
  const uint8* data = nullptr;
  uint32 size = 0;
  if (Host_Clipboard_Get(SCRAP_TEXT, data, size)) std::memcpy(text, data, std::min<uint32>(size, 3999));
  Host_Clipboard_Close();
  UniChar buf[4000] = {};
  UTF8_To_UTF16(CStrSpan(text), UStrSpan(buf));
  return Filter_And_Inject(CUStrSpan(buf));
}

bool8 Scrap_Paste_DIB() {
  std::vector<uint8> bytes;
  const bool got = Take_Format(SCRAP_DIB, bytes);
  Host_Clipboard_Close();
  if (!got) return false;
  a_picture_scan_rec scan;
  if (g_bitmap.scan == nullptr) return false;
  g_bitmap.clear(scan);
  a_ram_state state{bytes.data(), uint32(bytes.size())};
  // Knowing the size lets the reader refuse a bitmap whose rows are not all
  // there before it makes a world for it.
  if (g_bitmap.scan(false, Ram_Reader, &state, bytes.size(), scan) != 0) {
    g_bitmap.dispose(scan);
    return false;  // a refused bitmap pastes nothing: let the caller say so
  }
  const bool8 pasted = g_readers.paste_mw != nullptr;
  if (pasted) g_readers.paste_mw(scan);
  g_bitmap.dispose(scan);
  return pasted;
}

}  // namespace

void Scrap_Set_Readers(const a_scrap_readers& readers) { g_readers = readers; }

void Scrap_Set_Bitmap_Reader(const a_scrap_bitmap_reader& reader) { g_bitmap = reader; }

void Scrap_Clear() {
  Scrap_Types();
  if (!Host_Clipboard_Open(main_hwnd)) return;
  Host_Clipboard_Empty();
  Host_Clipboard_Close();
}

void Scrap_Add_Ptr(const void* data, uint32 size, uint32 format) {
  if (data == nullptr && size != 0) return;
  Scrap_Types();
  if (!Host_Clipboard_Open(main_hwnd)) return;
  Host_Clipboard_Set(format, data, size);
  Host_Clipboard_Close();
}

void Scrap_Add_PixMap(const PixMap& pix) {
  const int16 depth = pix.pixelSize;
  if (depth != 1 && depth != 8 && depth != 16 && depth != 24 && depth != 32) {
    QUIT();
    return;
  }
  const int32 width = int32(pix.bounds.right) - pix.bounds.left;
  const int32 height = int32(pix.bounds.bottom) - pix.bounds.top;
  if (pix.baseAddr == nullptr || width <= 0 || height <= 0) return;
  BITMAPINFO bmi;
  Calc_RGB_DIB(bmi, pix);
  // The colour table follows the 40-byte header only where the depth has
  // one; anything more would be read as pixels by whoever pastes.
  const uint32 ncolors = depth == 8 ? 256 : depth == 1 ? 2 : 0;
  const uint32 header = uint32(sizeof(BITMAPINFOHEADER)) + ncolors * 4;
  const uint32 stride = (uint32(width) * uint32(depth) + 31) / 32 * 4;
  const uint64 total = header + uint64(stride) * uint32(height);
  if (total > kMaxBlockSize) {
    g_err_mem_proc(uint32(std::min<uint64>(total, 0xFFFFFFFFu)));
    return;
  }
  std::vector<uint8> block;
  try {
    block.assign(size_t(total), 0);
  } catch (const std::bad_alloc&) {
    g_err_mem_proc(uint32(total));
    return;
  }
  std::memcpy(block.data(), &bmi, header);
  // Our rows are padded like a bitmap's, but copy row by row so that a map
  // with a wider stride gives a bitmap of the usual one.
  const uint32 rowbytes = PixMap_RowBytes(pix);
  const uint32 n = std::min(stride, rowbytes);
  for (int32 y = 0; y < height; ++y)
    std::memcpy(block.data() + header + size_t(y) * stride,
                reinterpret_cast<const uint8*>(pix.baseAddr) + size_t(y) * rowbytes, n);
  Scrap_Types();
  if (!Host_Clipboard_Open(main_hwnd)) {
    Sound_Effect(SND_NULL);
    return;
  }
  Host_Clipboard_Set(SCRAP_DIB, block.data(), uint32(block.size()));
  Host_Clipboard_Close();
}

void Scrap_Add_Hdl() {}

bool8 Scrap_Paste() {
  Scrap_Types();
  if (!Host_Clipboard_Open(main_hwnd)) return false;
  // Each branch closes the clipboard before its reader runs.
  if (Host_Clipboard_Has(SCRAP_TEXTR)) return Paste_Record(SCRAP_TEXTR, g_readers.textr_paste);
  if (Host_Clipboard_Has(SCRAP_OM)) return Paste_Record(SCRAP_OM, g_readers.paste_om);
  if (Host_Clipboard_Has(SCRAP_PH)) return Paste_Record(SCRAP_PH, g_readers.paste_ph);
  if (Host_Clipboard_Has(SCRAP_UNICODETEXT)) return Scrap_Paste_UTF16();
  if (Host_Clipboard_Has(SCRAP_TEXT)) return Scrap_Paste_TEXT();
  if (Host_Clipboard_Has(SCRAP_DIB)) return Scrap_Paste_DIB();
  Host_Clipboard_Close();
  return false;
}

bool8 Is_Scrap_Available(uint32& kind, uint32 format) {
  kind = format;
  Scrap_Types();
  return Host_Clipboard_Has(format);
}

void Scrap_Get_Handle(Handle& hdl, uint32 kind) {
  hdl = nullptr;
  Scrap_Types();
  if (!Host_Clipboard_Open(main_hwnd)) return;
  const uint8* data = nullptr;
  uint32 size = 0;
  if (Host_Clipboard_Get(kind, data, size)) {
    hdl = New_Handle(size);
    if (hdl == nullptr) {
      Host_Clipboard_Close();
      g_err_mem_proc(size);
      return;
    }
    if (size != 0) std::memcpy(Handle_Lock(hdl), data, size);
    Handle_Unlock(hdl);
  }
  Host_Clipboard_Close();
}

void Drag_Init(HostWindow* /*window*/) {}

int16 Ram_Reader(void* state, void* buf, uint32& len) {
  a_ram_state& s = *static_cast<a_ram_state*>(state);
  const uint32 n = std::min(len, s.left);
  if (n != 0) std::memcpy(buf, s.ptr, n);
  s.ptr += n;
  s.left -= n;
  len = n;
  return 0;
}

bool8 Filter_And_Inject(CUStrSpan text) {
  UniChar out[SCRAP_MAX_TEXT + 1] = {};
  size_t n = 0;
  auto put = [&](UniChar u) {
    if (n < size_t(SCRAP_MAX_TEXT)) out[n++] = u;
  };
  for (size_t i = 0; i < text.size() && text[i] != 0 && n < size_t(SCRAP_MAX_TEXT); ++i) {
    const UniChar u = text[i];
    if (u == 9) {
      for (int k = 0; k < 4; ++k) put(u' ');
    } else if (u == 10) {
      // dropped: carriage returns alone end lines in our text
    } else if (Host_Is_High_Surrogate(u)) {
      const bool paired = i + 1 < text.size() && Host_Is_Low_Surrogate(text[i + 1]);
      if (paired && n + 2 <= size_t(SCRAP_MAX_TEXT)) {
        out[n++] = u;
        out[n++] = text[++i];
      } else if (paired) {
        break;  // the pair does not fit whole
      } else {
        put(kReplacementChar);
      }
    } else if (Host_Is_Low_Surrogate(u)) {
      put(kReplacementChar);
    } else {
      put(u);
    }
  }
  out[n] = 0;
  if (g_readers.inject_unicode == nullptr) return false;
  return g_readers.inject_unicode(CUStrSpan(out), SCRAP_MAX_TEXT);
}
