#include "pixel/ParsGIF.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "host/HostByteOrder.h"
#include "host/HostFiles.h"
#include "platform/SysErr.h"

// ---------------------------------------------------------------------------
// LZW
// ---------------------------------------------------------------------------

namespace {

constexpr uint16 kNoEntry = 4096;

// Encoder entry: the extensions of each string form a binary search tree by
// their last character, hanging from `first`.
struct a_enc_entry {
  uint8 ch;
  uint16 first;    // first extension of this string
  uint16 smaller;  // sibling with a smaller character
  uint16 larger;   // sibling with a larger character
};

struct a_encoder {
  a_enc_entry table[kLZW_MaxEntries + 1];
  uint16 next;
  int16 bits;
};

void ComClearTable(a_encoder& e) {
  for (uint16 i = 0; i < 256; ++i) e.table[i] = a_enc_entry{uint8(i), kNoEntry, kNoEntry, kNoEntry};
  e.next = 258;
  e.bits = 9;
}

// The entry extending `prefix` by ch, or kNoEntry; `link` is where a new
// entry would be hung.
uint16 FindInTable(a_encoder& e, uint16 prefix, uint8 ch, uint16*& link) {
  link = &e.table[prefix].first;
  while (*link != kNoEntry) {
    a_enc_entry& n = e.table[*link];
    if (n.ch == ch) return *link;
    link = ch < n.ch ? &n.smaller : &n.larger;
  }
  return kNoEntry;
}

}  // namespace

int16 Compress(a_lzw_input input, a_lzw_output output, void* ctx) {
  std::unique_ptr<a_encoder> e(new (std::nothrow) a_encoder);
  if (!e) return LZW_NOMEM;
  ComClearTable(*e);
  output(ctx, e->bits, 256);
  uint8 ch;
  if (!input(ctx, ch)) {
    output(ctx, e->bits, 257);
    return LZW_OK;
  }
  uint16 cur = ch;
  while (input(ctx, ch)) {
    uint16* link;
    const uint16 found = FindInTable(*e, cur, ch, link);
    if (found != kNoEntry) {
      cur = found;
      continue;
    }
    output(ctx, e->bits, cur);
    cur = ch;
    if (e->next >= kLZW_MaxEntries) {
      output(ctx, e->bits, 256);
      ComClearTable(*e);
    } else {
      e->table[e->next] = a_enc_entry{ch, kNoEntry, kNoEntry, kNoEntry};
      *link = e->next;
      ++e->next;
      if (e->next > (1u << e->bits) && e->bits < kLZW_MaxCodeBits) ++e->bits;
    }
  }
  output(ctx, e->bits, cur);
  ++e->next;
  if (e->next > (1u << e->bits) && e->bits < kLZW_MaxCodeBits) ++e->bits;
  output(ctx, e->bits, 257);
  return LZW_OK;
}

namespace {

struct a_dec_entry {
  uint16 prefix;  // kNoEntry for single characters
  uint8 ch;
  uint8 first;    // first character of the string
  uint16 len;     // length of the string
};

struct a_decoder {
  a_dec_entry table[kLZW_MaxEntries];
  uint8 stack[kLZW_MaxEntries + 1];  // a string, built backwards
};

}  // namespace

int16 Expand(int16 codesize, a_lzw_code_input input, a_lzw_char_output output, void* ctx) {
  if (codesize < 2 || codesize > 8) return LZW_BADCODE;
  std::unique_ptr<a_decoder> d(new (std::nothrow) a_decoder);
  if (!d) return LZW_NOMEM;
  const uint16 clear = uint16(1u << codesize);
  const uint16 end = uint16(clear + 1);
  for (uint16 i = 0; i < clear; ++i) d->table[i] = a_dec_entry{kNoEntry, uint8(i), uint8(i), 1};

  uint16 next = uint16(clear + 2);
  int16 bits = int16(codesize + 1);
  uint16 prev = kNoEntry;
  for (;;) {
    uint16 code;
    if (!input(ctx, bits, code)) return LZW_NODATA;
    if (code == clear) {
      next = uint16(clear + 2);
      bits = int16(codesize + 1);
      prev = kNoEntry;
      continue;
    }
    if (code == end) return LZW_OK;
    if (prev == kNoEntry) {
      // After a clear the first code must be a character.
      if (code >= clear) return LZW_BADCODE;
      if (!output(ctx, uint8(code))) return LZW_OK;
      prev = code;
      continue;
    }
    // The string to output: an entry in the table, or (the code just about to
    // be made) the previous string followed by its own first character.
    uint16 s;
    uint8 tail_first;
    if (code < next && code != clear && code != end) {
      s = code;
      tail_first = d->table[code].first;
    } else if (code == next && next < kLZW_MaxEntries) {
      s = prev;
      tail_first = d->table[prev].first;
    } else {
      return LZW_BADCODE;
    }
    uint32 n = 0;
    if (code == next) d->stack[kLZW_MaxEntries - n++] = tail_first;
    for (uint16 k = s; k != kNoEntry; k = d->table[k].prefix) {
      if (n > kLZW_MaxEntries) return LZW_BADCODE;  // cannot happen with a sound table
      d->stack[kLZW_MaxEntries - n++] = d->table[k].ch;
    }
    for (uint32 i = 0; i < n; ++i)
      if (!output(ctx, d->stack[kLZW_MaxEntries - n + 1 + i])) return LZW_OK;

    if (next < kLZW_MaxEntries) {
      const a_dec_entry& p = d->table[prev];
      d->table[next] = a_dec_entry{prev, tail_first, p.first, uint16(p.len + 1)};
      ++next;
      if (next == (1u << bits) && bits < kLZW_MaxCodeBits) ++bits;
    }
    prev = code;
  }
}

// ---------------------------------------------------------------------------
// GIF reader
// ---------------------------------------------------------------------------

namespace {

// The pixel cursor: rows from the top, or the four interlace passes.
struct a_pixel_cursor {
  uint8* base;
  uint32 stride;
  int32 width, height;
  bool8 interlaced;
  int32 x, y;
  int32 pass;
  int32 rows_done;
  bool8 full;
};

const int32 kPassStart[4] = {0, 4, 2, 1};
const int32 kPassStep[4] = {8, 8, 4, 2};

void Pixel_Init(a_pixel_cursor& c, const PixMap& pm, bool8 interlaced) {
  c.base = reinterpret_cast<uint8*>(pm.baseAddr);
  c.stride = PixMap_RowBytes(pm);
  c.width = pm.bounds.right - pm.bounds.left;
  c.height = pm.bounds.bottom - pm.bounds.top;
  c.interlaced = interlaced;
  c.x = c.y = 0;
  c.pass = 0;
  c.rows_done = 0;
  c.full = false;
}

void Next_Row(a_pixel_cursor& c) {
  c.x = 0;
  ++c.rows_done;
  Scan_Progress(int16(std::min<int32>(c.rows_done, 32767)), int16(std::min<int32>(c.height, 32767)));
  if (!c.interlaced) {
    if (++c.y >= c.height) c.full = true;
    return;
  }
  c.y += kPassStep[c.pass];
  while (c.y >= c.height) {
    if (++c.pass >= 4) {
      c.full = true;
      return;
    }
    c.y = kPassStart[c.pass];
  }
}

// Stores one pixel; FALSE once the picture is complete.
bool8 PutPixel(a_pixel_cursor& c, uint8 v) {
  if (c.full) return false;
  c.base[size_t(c.y) * c.stride + size_t(c.x)] = v;
  if (++c.x >= c.width) Next_Row(c);
  return !c.full;
}

// Codes read from the image's sub-blocks, least significant bit first.
struct a_code_reader {
  const uint8* p;
  const uint8* end;
  uint32 block_left;  // bytes left in the current sub-block
  bool8 ended;        // the block terminator was met
  uint32 acc;
  int16 nacc;
  a_pixel_cursor cursor;
};

bool8 Next_Byte(a_code_reader& r, uint8& b) {
  while (r.block_left == 0) {
    if (r.ended || r.p >= r.end) return false;
    r.block_left = *r.p++;
    if (r.block_left == 0) {
      r.ended = true;
      return false;
    }
  }
  if (r.p >= r.end) return false;
  b = *r.p++;
  --r.block_left;
  return true;
}

bool8 GetCode(void* ctx, int16 bits, uint16& code) {
  auto& r = *static_cast<a_code_reader*>(ctx);
  while (r.nacc < bits) {
    uint8 b;
    if (!Next_Byte(r, b)) return false;
    r.acc |= uint32(b) << r.nacc;
    r.nacc = int16(r.nacc + 8);
  }
  code = uint16(r.acc & ((1u << bits) - 1));
  r.acc >>= bits;
  r.nacc = int16(r.nacc - bits);
  return true;
}

bool8 Put_Decoded(void* ctx, uint8 ch) {
  return PutPixel(static_cast<a_code_reader*>(ctx)->cursor, ch);
}

// Skips sub-blocks up to and with the terminator; FALSE when the data end.
bool8 Skip_Blocks(const uint8*& p, const uint8* end) {
  for (;;) {
    if (p >= end) return false;
    const uint8 n = *p++;
    if (n == 0) return true;
    if (size_t(end - p) < n) return false;
    p += n;
  }
}

void Read_Color_Table(const uint8* p, uint32 n, a_picture_scan_rec& scan) {
  std::memset(scan.ctable, 0, sizeof scan.ctable);
  for (uint32 i = 0; i < n; ++i) {
    scan.ctable[i].r = p[3 * i];
    scan.ctable[i].g = p[3 * i + 1];
    scan.ctable[i].b = p[3 * i + 2];
    scan.ctable[i].a = 0;
  }
}

int16 Process_Image(const uint8*& p, const uint8* end, a_picture_scan_rec& scan,
                    a_file_format& format) {
  if (end - p < 9) return GIF_ERR_SHORT;
  const int32 left = Load_LE16(p), top = Load_LE16(p + 2), w = Load_LE16(p + 4), h = Load_LE16(p + 6);
  const uint8 flags = p[8];
  p += 9;
  if (w == 0 || h == 0 || left + w > 32767 || top + h > 32767) return GIF_ERR_IMAGE;
  if (flags & 0x80) {
    const uint32 n = 2u << (flags & 7);
    if (size_t(end - p) < 3 * n) return GIF_ERR_SHORT;
    Read_Color_Table(p, n, scan);
    p += 3 * n;
  }
  const bool8 interlaced = (flags & 0x40) != 0;
  format = interlaced ? FMT_GIF_INT : FMT_GIF;
  if (p >= end) return GIF_ERR_SHORT;
  const int16 codesize = *p++;
  if (codesize < 2 || codesize > 8) return GIF_ERR_IMAGE;

  const Rect bounds{int16(top), int16(left), int16(top + h), int16(left + w)};
  int16 result = Scan_New_Fore_Bounds(scan, bounds, 8);
  if (result != 0) return result;

  auto r = std::make_unique<a_code_reader>();
  r->p = p;
  r->end = end;
  r->block_left = 0;
  r->ended = false;
  r->acc = 0;
  r->nacc = 0;
  Pixel_Init(r->cursor, *Get_GWorld_PixMap(scan.body.fore), interlaced);

  Scan_Progress(-1, -1);
  const int16 lzw = Expand(codesize, GetCode, Put_Decoded, r.get());
  Scan_Progress(-2, -2);
  if (lzw == LZW_NOMEM) result = GIF_ERR_NOMEM;
  else if (lzw == LZW_BADCODE) result = GIF_ERR_LZW;
  // Every pixel must have arrived: a stream that ends early, with or without
  // its end code, leaves part of the picture unread.
  else if (!r->cursor.full) result = GIF_ERR_SHORT;
  if (result != 0) {
    Dispose_GWorld(scan.body.fore);
    scan.body.bounds = Rect{0, 0, 0, 0};
  }
  return result;
}

}  // namespace

int16 Scan_GIF_Buf(const uint8* data, size_t len, a_picture_scan_rec& scan, a_file_format& format) {
  Clear_Scan_Rec(scan);
  format = FMT_GIF;
  if (len < 6 || (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0))
    return GIF_ERR_HEADER;
  const uint8* p = data + 6;
  const uint8* end = data + len;
  if (end - p < 7) return GIF_ERR_SHORT;
  const uint8 flags = p[4];
  p += 7;
  if (flags & 0x80) {
    const uint32 n = 2u << (flags & 7);
    if (size_t(end - p) < 3 * n) return GIF_ERR_SHORT;
    Read_Color_Table(p, n, scan);
    p += 3 * n;
  }
  for (;;) {
    if (p >= end) return GIF_ERR_SHORT;
    const uint8 kind = *p++;
    if (kind == 0x2C) return Process_Image(p, end, scan, format);
    if (kind == 0x3B) return GIF_ERR_NO_IMAGE;
    if (kind != 0x21) return GIF_ERR_BLOCK;
    // Process_Extension
    if (p >= end) return GIF_ERR_SHORT;
    const uint8 label = *p++;
    if (label == 0xF9 && end - p >= 5 && p[0] == 4) {
      if (p[1] & 1) {
        scan.transp = true;
        scan.transpx = p[4];
      }
    }
    if (!Skip_Blocks(p, end)) return GIF_ERR_SHORT;
  }
}

int16 Scan_GIF(const FSSpec& path, a_picture_scan_rec& scan, a_file_format& format) {
  Clear_Scan_Rec(scan);
  format = FMT_GIF;
  std::vector<uint8> bytes;
  if (!Scan_Read_File(path, bytes)) return GIF_ERR_OPEN;
  return Scan_GIF_Buf(bytes.data(), bytes.size(), scan, format);
}

// ---------------------------------------------------------------------------
// GIF writer
// ---------------------------------------------------------------------------

namespace {

struct a_gif_writer {
  HostReplace* out;
  bool8 failed;
  // g_code: one sub-block being filled, and the bits not yet a whole byte.
  uint8 block[256];
  uint32 nblock;
  uint32 acc;
  int16 nacc;
  // The pixel source.
  const uint8* base;
  uint32 stride;
  int32 width, height;
  a_pixel_cursor cursor;
};

bool8 WriteBytes(a_gif_writer& w, const void* p, size_t n) {
  if (!w.failed && !Host_Replace_Write(*w.out, p, n)) w.failed = true;
  return !w.failed;
}

void Flush_Block(a_gif_writer& w) {
  if (w.nblock == 0) return;
  const uint8 n = uint8(w.nblock);
  WriteBytes(w, &n, 1);
  WriteBytes(w, w.block, w.nblock);
  w.nblock = 0;
}

void PutCode(void* ctx, int16 bits, uint16 code) {
  auto& w = *static_cast<a_gif_writer*>(ctx);
  w.acc |= uint32(code) << w.nacc;
  w.nacc = int16(w.nacc + bits);
  while (w.nacc >= 8) {
    w.block[w.nblock++] = uint8(w.acc);
    w.acc >>= 8;
    w.nacc = int16(w.nacc - 8);
    if (w.nblock == 255) Flush_Block(w);
  }
}

void Flush_Output(a_gif_writer& w) {
  if (w.nacc > 0) {
    w.block[w.nblock++] = uint8(w.acc);
    w.acc = 0;
    w.nacc = 0;
    if (w.nblock == 255) Flush_Block(w);
  }
  Flush_Block(w);
}

bool8 GetPixel(void* ctx, uint8& ch) {
  auto& w = *static_cast<a_gif_writer*>(ctx);
  a_pixel_cursor& c = w.cursor;
  if (c.full) return false;
  ch = w.base[size_t(c.y) * w.stride + size_t(c.x)];
  if (++c.x >= c.width) Next_Row(c);
  return true;
}

int16 Write_GIF_2(HostReplace& out, const a_pixel32 (&colors)[256], const PixMap& pix,
                  bool8 interlace) {
  auto w = std::make_unique<a_gif_writer>();
  w->out = &out;
  w->failed = false;
  const int32 width = pix.bounds.right - pix.bounds.left;
  const int32 height = pix.bounds.bottom - pix.bounds.top;

  uint8 head[13] = {'G', 'I', 'F', '8', '7', 'a', 0, 0, 0, 0, 0xF7, 0, 0};
  Store_LE16(head + 6, uint16(width));
  Store_LE16(head + 8, uint16(height));
  if (!WriteBytes(*w, head, sizeof head)) return -1;
  uint8 table[768];
  for (int i = 0; i < 256; ++i) {
    table[3 * i] = colors[i].r;
    table[3 * i + 1] = colors[i].g;
    table[3 * i + 2] = colors[i].b;
  }
  if (!WriteBytes(*w, table, sizeof table)) return -2;
  if (!WriteBytes(*w, ",", 1)) return -3;
  uint8 desc[9] = {0, 0, 0, 0, 0, 0, 0, 0, uint8(interlace ? 0x40 : 0)};
  Store_LE16(desc + 4, uint16(width));
  Store_LE16(desc + 6, uint16(height));
  if (!WriteBytes(*w, desc, sizeof desc)) return -4;
  const uint8 codesize = 8;
  if (!WriteBytes(*w, &codesize, 1)) return -5;

  w->base = reinterpret_cast<const uint8*>(pix.baseAddr);
  w->stride = PixMap_RowBytes(pix);
  Pixel_Init(w->cursor, pix, interlace);
  w->cursor.base = nullptr;  // the writer reads through w->base
  w->nblock = 0;
  w->acc = 0;
  w->nacc = 0;
  Scan_Progress(-1, -1);
  const int16 lzw = Compress(GetPixel, PutCode, w.get());
  Scan_Progress(-2, -2);
  if (lzw != LZW_OK) {
    g_err_mem_proc(uint32(sizeof(a_encoder)));
    return -6;
  }
  Flush_Output(*w);
  const uint8 tail[2] = {0, ';'};
  WriteBytes(*w, tail, 2);
  return w->failed ? -6 : 0;
}

}  // namespace

int16 Write_GIF(a_file_format format, const FSSpec& path, const a_pixel32 (&colors)[256],
                const PixMap& pix) {
  if (pix.pixelSize != 8) {
    QUIT();
    return -1;
  }
  const int32 width = pix.bounds.right - pix.bounds.left;
  const int32 height = pix.bounds.bottom - pix.bounds.top;
  if (width <= 0 || height <= 0 || pix.baseAddr == nullptr) return -4;
  HostReplace out;
  if (!Host_Replace_Begin(out, path.name)) return -1;
  const int16 result = Write_GIF_2(out, colors, pix, format == FMT_GIF_INT);
  if (result != 0) {
    Host_Replace_Abort(out);
    return result;
  }
  return Host_Replace_Commit(out) ? 0 : -7;
}
