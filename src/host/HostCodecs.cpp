#include "host/HostCodecs.h"

#include <csetjmp>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

// jpeglib.h needs <cstdio> first.
#include <jpeglib.h>
#include <jerror.h>
#include <png.h>
// Our own integer names are the same types; keep libtiff from declaring them again.
#define TIFF_DISABLE_DEPRECATED
#include <tiffio.h>

#include "host/HostByteOrder.h"
// A note on setjmp/longjmp. libjpeg and libpng report errors through a
// handler that must not return; ours jump back to the setjmp in a small
// function that holds only plain data (library structs, pointers, integers),
// so no C++ destructor is ever skipped. Buffers with destructors live in the
// caller of that function.

namespace {

// ---------------------------------------------------------------------------
// Buffer sink
// ---------------------------------------------------------------------------

int Buffer_Check(void* ctx, const HostImageInfo& info) {
  const auto& b = *static_cast<const HostImageBuffer*>(ctx);
  return uint64(info.out_width) * uint64(info.out_height) > b.max_pixels ? HC_TOO_LARGE : HC_OK;
}

int Buffer_Alloc(void* ctx, const HostImageInfo& info, uint8*& base, size_t& stride) {
  auto& b = *static_cast<HostImageBuffer*>(ctx);
  if (info.out_width <= 0 || info.out_height <= 0) return HC_BAD_HEADER;
  if (Buffer_Check(ctx, info) != HC_OK) return HC_TOO_LARGE;
  try {
    b.pixels.assign(size_t(info.out_width) * size_t(info.out_height) * 4, 0);
  } catch (const std::bad_alloc&) {
    return HC_NOMEM;
  }
  b.info = info;
  base = b.pixels.data();
  stride = size_t(info.out_width) * 4;
  return HC_OK;
}

double Buffer_Reduce(void* ctx, const HostImageInfo&) {
  return static_cast<const HostImageBuffer*>(ctx)->fraction;
}

// ---------------------------------------------------------------------------
// Sizes and reductions
// ---------------------------------------------------------------------------

int32 Ceil_Div(int64 a, int64 b) { return int32((a + b - 1) / b); }

// What a decoder knows of a picture it delivers whole.
HostImageInfo Whole_Info(int32 width, int32 height, bool alpha, bool indexed) {
  HostImageInfo info{width, height, alpha, indexed};
  info.out_width = width;
  info.out_height = height;
  return info;
}

void Set_Scale(HostImageInfo& info, int32 num, int32 den) {
  if (num == den) num = den = 1;
  info.scale_num = num;
  info.scale_den = den;
  info.out_width = Ceil_Div(int64(info.width) * num, den);
  info.out_height = Ceil_Div(int64(info.height) * num, den);
}

// The fraction of the picture the sink needs, 1 when it takes it whole.
double Wanted_Fraction(const HostImageSink& sink, const HostImageInfo& info) {
  if (sink.reduce == nullptr) return 1.0;
  const double f = sink.reduce(sink.ctx, info);
  return f > 0.0 && f < 1.0 ? f : 1.0;
}

// The sink's verdict on the size, before anything of that size is allocated.
int Check_Sink(const HostImageSink& sink, const HostImageInfo& info) {
  if (info.width <= 0 || info.height <= 0 || info.out_width <= 0 || info.out_height <= 0)
    return HC_BAD_HEADER;
  return sink.check != nullptr ? sink.check(sink.ctx, info) : HC_OK;
}

// The sink's verdict on holding the whole picture (a decoder that reduces
// only once the picture is decoded).
int Check_Whole(const HostImageSink& sink, const HostImageInfo& info) {
  HostImageInfo whole = info;
  Set_Scale(whole, 1, 1);
  return Check_Sink(sink, whole);
}

// The block size k (info's scale 1 / k) for the sink: the largest block that
// still gives the fraction it needs, or a larger one while it finds the size
// too large.
int Choose_Box(const HostImageSink& sink, HostImageInfo& info) {
  const double f = Wanted_Fraction(sink, info);
  int32 k = f >= 1.0 ? 1 : int32(std::min<double>(kHostMaxBox, std::floor(1.0 / f + 1e-9)));
  k = std::max<int32>(k, 1);
  for (;;) {
    Set_Scale(info, 1, k);
    const int r = Check_Sink(sink, info);
    if (r != HC_TOO_LARGE || sink.reduce == nullptr || k >= kHostMaxBox) return r;
    ++k;
  }
}

int Call_Sink(const HostImageSink& sink, const HostImageInfo& info, uint8*& base, size_t& stride) {
  base = nullptr;
  stride = 0;
  int r = Check_Sink(sink, info);
  if (r != HC_OK) return r;
  r = sink.alloc(sink.ctx, info, base, stride);
  if (r != HC_OK) return r;
  if (base == nullptr || stride < size_t(info.out_width) * 4) return HC_NOMEM;
  return HC_OK;
}

// Room for a whole picture (or a band of it) of width x height pixels, rows
// width x 4 bytes apart. FALSE when there is no memory.
bool Alloc_Rows(std::vector<uint8>& buf, int32 width, int32 height) {
  try {
    buf.resize(size_t(width) * size_t(height) * 4);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// The reduction of a whole decoded picture (rows width x 4 bytes apart) into
// the sink's rows.
bool Reduce_Whole(const uint8* pixels, const HostImageInfo& info, uint8* base, size_t stride) {
  HostRowReducer red;
  if (!red.Start(info.width, info.height, info.scale_den, base, stride)) return false;
  for (int32 y = 0; y < info.height; y++) red.Row(pixels + size_t(y) * size_t(info.width) * 4);
  red.Finish();
  return true;
}

// 16-bit sample to 8 bits, rounded.
inline uint8 Scale16(uint32 v) { return uint8((v * 255 + 32767) / 65535); }

bool Source_Ok(const HostImageSource& src) {
  return src.pixels != nullptr && src.width > 0 && src.height > 0 &&
         src.stride >= size_t(src.width) * 4;
}

uint16 Clamp_Dpi(uint32 dpi) { return dpi == 0 ? 72 : dpi > 65535 ? 65535 : uint16(dpi); }

// ---------------------------------------------------------------------------
// JPEG
// ---------------------------------------------------------------------------

// More scans than any encoder writes; a stream of thousands of empty scans
// over a large picture would otherwise take minutes.
constexpr int kJpegMaxScans = 500;

struct JpegErr {
  jpeg_error_mgr pub;
  jmp_buf jump;
  int code;       // the result after a jump
  bool header;    // the header has been read
  bool complete;  // every row has been delivered
  bool hit_eof;   // the data ran out (an end marker was made up)
};

[[noreturn]] void Jpeg_Error_Exit(j_common_ptr cinfo) {
  auto* e = reinterpret_cast<JpegErr*>(cinfo->err);
  if (e->pub.msg_code == JERR_BAD_PRECISION)
    e->code = HC_UNSUPPORTED;  // 12- and 16-bit samples
  else if (e->pub.msg_code == JERR_OUT_OF_MEMORY)
    e->code = HC_NOMEM;
  else
    e->code = e->header ? HC_CORRUPT : HC_BAD_HEADER;
  std::longjmp(e->jump, 1);
}

// Warnings are silent, but data that end in the middle of a scan are an
// error: libjpeg would fill the rest of the picture with grey and call it
// done. (The end of the data alone, where only the end marker is missing,
// is harmless for a sequential picture; a progressive one may have lost
// whole scans then, see Jpeg_Decode_Inner.)
void Jpeg_Emit_Message(j_common_ptr cinfo, int level) {
  auto* e = reinterpret_cast<JpegErr*>(cinfo->err);
  if (level >= 0 || e->complete) return;
  if (e->pub.msg_code == JWRN_JPEG_EOF) {
    e->hit_eof = true;
    if (!e->header) {
      e->code = HC_BAD_HEADER;
      std::longjmp(e->jump, 1);
    }
  } else if (e->pub.msg_code == JWRN_HIT_MARKER) {
    e->code = HC_CORRUPT;
    std::longjmp(e->jump, 1);
  }
}

void Jpeg_Output_Message(j_common_ptr) {}

void Jpeg_Progress(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kJpegMaxScans) {
    auto* e = reinterpret_cast<JpegErr*>(cinfo->err);
    e->code = HC_CORRUPT;
    std::longjmp(e->jump, 1);
  }
}

void Jpeg_Init_Err(JpegErr& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = Jpeg_Error_Exit;
  err.pub.emit_message = Jpeg_Emit_Message;
  err.pub.output_message = Jpeg_Output_Message;
  err.code = HC_CORRUPT;
  err.header = false;
  err.complete = false;
  err.hit_eof = false;
}

struct JpegDecodeState {
  jpeg_decompress_struct cinfo;
  JpegErr err;
  jpeg_progress_mgr progress;
  int32 width, height;  // header only: the size
};

// With no sink: stop after the header, width and height set.
int Jpeg_Decode_Inner(JpegDecodeState& st, const uint8* data, size_t len, const HostImageSink* sink) {
  jpeg_decompress_struct& cinfo = st.cinfo;
  std::memset(&cinfo, 0, sizeof(cinfo));
  Jpeg_Init_Err(st.err);
  cinfo.err = &st.err.pub;
  if (setjmp(st.err.jump)) {
    const int code = st.err.complete ? HC_OK : st.err.code;
    jpeg_destroy_decompress(&cinfo);
    return code;
  }
  jpeg_create_decompress(&cinfo);
  st.progress.progress_monitor = Jpeg_Progress;
  cinfo.progress = &st.progress;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(len));
  jpeg_read_header(&cinfo, TRUE);
  st.err.header = true;
  st.width = int32(cinfo.image_width);
  st.height = int32(cinfo.image_height);
  if (sink == nullptr) {
    jpeg_destroy_decompress(&cinfo);
    return HC_OK;
  }
  // Only grey and RGB (YCbCr) pictures: CMYK and YCCK need colour management.
  if (cinfo.jpeg_color_space != JCS_GRAYSCALE && cinfo.jpeg_color_space != JCS_YCbCr &&
      cinfo.jpeg_color_space != JCS_RGB) {
    jpeg_destroy_decompress(&cinfo);
    return HC_UNSUPPORTED;
  }
  cinfo.out_color_space = JCS_EXT_BGRA;  // alpha bytes 0xFF
  // The sink is asked before decompression starts: a progressive stream
  // keeps the whole picture's coefficients, so its size must be accepted
  // before that memory is taken, whatever the size delivered.
  HostImageInfo info = Whole_Info(st.width, st.height, false, false);
  int r = HC_OK;
  if (cinfo.progressive_mode) r = Check_Whole(*sink, info);
  // libjpeg's DCT scaling: the picture is decoded at scale m / 8, the
  // smallest that gives what the sink needs, or smaller while the sink
  // finds that too large.
  const double f = Wanted_Fraction(*sink, info);
  int32 m = f >= 1.0 ? 8 : std::clamp<int32>(int32(std::ceil(f * 8.0 - 1e-9)), 1, 8);
  while (r == HC_OK) {
    cinfo.scale_num = unsigned(m);
    cinfo.scale_denom = 8;
    jpeg_calc_output_dimensions(&cinfo);
    Set_Scale(info, m, 8);
    if (int32(cinfo.output_width) != info.out_width || int32(cinfo.output_height) != info.out_height) {
      r = HC_CORRUPT;
      break;
    }
    r = Check_Sink(*sink, info);
    if (r != HC_TOO_LARGE || sink->reduce == nullptr || m == 1) break;
    m--;
    r = HC_OK;
  }
  uint8* base = nullptr;
  size_t stride = 0;
  if (r == HC_OK) r = Call_Sink(*sink, info, base, stride);
  if (r != HC_OK) {
    jpeg_destroy_decompress(&cinfo);
    return r;
  }
  jpeg_start_decompress(&cinfo);
  if (int32(cinfo.output_width) != info.out_width || int32(cinfo.output_height) != info.out_height ||
      cinfo.output_components != 4) {
    jpeg_destroy_decompress(&cinfo);
    return HC_CORRUPT;
  }
  // A progressive picture has read all its scans by now.
  if (st.err.hit_eof && cinfo.progressive_mode) {
    jpeg_destroy_decompress(&cinfo);
    return HC_CORRUPT;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = base + size_t(cinfo.output_scanline) * stride;
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) {
      jpeg_destroy_decompress(&cinfo);
      return HC_CORRUPT;
    }
  }
  // Whatever follows the last row (a missing end marker, trailing bytes)
  // does not spoil the picture.
  st.err.complete = true;
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return HC_OK;
}

struct JpegEncodeState {
  jpeg_compress_struct cinfo;
  JpegErr err;
  unsigned char* outbuf;
  unsigned long outsize;
};

int Jpeg_Encode_Inner(JpegEncodeState& st, const HostImageSource& src, int quality) {
  jpeg_compress_struct& cinfo = st.cinfo;
  std::memset(&cinfo, 0, sizeof(cinfo));
  Jpeg_Init_Err(st.err);
  st.outbuf = nullptr;
  st.outsize = 0;
  cinfo.err = &st.err.pub;
  if (setjmp(st.err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return HC_WRITE;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &st.outbuf, &st.outsize);
  cinfo.image_width = JDIMENSION(src.width);
  cinfo.image_height = JDIMENSION(src.height);
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality < 1 ? 1 : quality > 100 ? 100 : quality, TRUE);
  if (quality >= 90) {  // no chroma subsampling at high quality
    cinfo.comp_info[0].h_samp_factor = 1;
    cinfo.comp_info[0].v_samp_factor = 1;
  }
  cinfo.density_unit = 1;  // dots per inch
  cinfo.X_density = cinfo.Y_density = Clamp_Dpi(src.dpi);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uint8*>(src.pixels + size_t(cinfo.next_scanline) * src.stride);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return HC_OK;
}

// ---------------------------------------------------------------------------
// PNG
// ---------------------------------------------------------------------------

struct PngReadState {
  const uint8* data;
  size_t len;
  size_t pos;
  int code;  // the result after a jump
  std::vector<png_bytep>* rows;
  std::vector<uint8>* temp;   // a row, or the whole picture, on the way to a reduced one
  HostRowReducer* reducer;
  bool peeked = false;        // the header was read before libpng: its size
  uint32 pw = 0, ph = 0;
  int32 k = 1;                // the block size of the reduction
};

[[noreturn]] void Png_Error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void Png_Warning(png_structp, png_const_charp) {}

void Png_Read_Data(png_structp png, png_bytep out, size_t n) {
  auto* st = static_cast<PngReadState*>(png_get_io_ptr(png));
  if (n > st->len - st->pos) png_error(png, "truncated");
  std::memcpy(out, st->data + st->pos, n);
  st->pos += n;
}

// The size, colour type and interlace method from the IHDR chunk, which
// must come first; FALSE when the data are too short to hold it or hold
// another chunk first (libpng then refuses the file itself).
bool Png_Peek_Header(const uint8* data, size_t len, uint32& width, uint32& height, int& color,
                     bool& interlaced) {
  if (len < 8 + 8 + 13) return false;
  if (Load_BE32(data + 8) != 13 || std::memcmp(data + 12, "IHDR", 4) != 0) return false;
  width = Load_BE32(data + 16);
  height = Load_BE32(data + 20);
  color = data[25];
  interlaced = data[28] != 0;
  return true;
}

// The sink is asked before libpng sees the file: libpng allocates its row
// buffers (width x up to 8 bytes) as soon as the transforms are set up.
// Sets st.peeked, st.pw, st.ph and the block size st.k of the reduction.
int Png_Ask_Sink(PngReadState& st, const HostImageSink& sink) {
  int color = 0;
  bool interlaced = false;
  st.k = 1;
  st.peeked = Png_Peek_Header(st.data, st.len, st.pw, st.ph, color, interlaced);
  if (!st.peeked) return HC_OK;
  if (st.pw == 0 || st.ph == 0 || st.pw > 0x7FFFFFFF || st.ph > 0x7FFFFFFF) return HC_BAD_HEADER;
  HostImageInfo early = Whole_Info(int32(st.pw), int32(st.ph), (color & PNG_COLOR_MASK_ALPHA) != 0,
                                   color == PNG_COLOR_TYPE_PALETTE);
  int r = Choose_Box(sink, early);
  // An interlaced picture comes in passes over the whole of it.
  if (r == HC_OK && early.scale_den > 1 && interlaced) r = Check_Whole(sink, early);
  st.k = early.scale_den;
  return r;
}

int Png_Decode_Inner(PngReadState& st, const HostImageSink& sink) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Png_Error, Png_Warning);
  if (png == nullptr) return HC_NOMEM;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return HC_NOMEM;
  }
  st.code = HC_BAD_HEADER;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return st.code;
  }
  png_set_read_fn(png, &st, Png_Read_Data);
  png_read_info(png, info);
  st.code = HC_CORRUPT;
  const uint32 width = png_get_image_width(png, info);
  const uint32 height = png_get_image_height(png, info);
  const int color = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  const bool trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  const bool alpha = (color & PNG_COLOR_MASK_ALPHA) != 0 || trns;

  if (color == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (color == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (trns) png_set_tRNS_to_alpha(png);
  if (depth == 16) png_set_scale_16(png);
  if ((color & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  png_set_bgr(png);
  if (!alpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  const int passes = png_set_interlace_handling(png);
  if (!st.peeked || width != st.pw || height != st.ph || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
    png_destroy_read_struct(&png, &info, nullptr);
    return HC_CORRUPT;
  }
  HostImageInfo hinfo = Whole_Info(int32(width), int32(height), alpha, color == PNG_COLOR_TYPE_PALETTE);
  const int32 k = st.k;
  Set_Scale(hinfo, 1, k);
  uint8* base = nullptr;
  size_t stride = 0;
  const int r = Call_Sink(sink, hinfo, base, stride);
  if (r != HC_OK) {
    png_destroy_read_struct(&png, &info, nullptr);
    return r;
  }
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * 4) {
    png_destroy_read_struct(&png, &info, nullptr);
    return HC_CORRUPT;
  }
  if (k == 1) {
    st.rows->resize(height);
    for (uint32 y = 0; y < height; y++) (*st.rows)[y] = base + size_t(y) * stride;
    png_read_image(png, st.rows->data());
  } else if (passes == 1) {
    // Row by row through one row of the picture's own width.
    if (!Alloc_Rows(*st.temp, int32(width), 1) ||
        !st.reducer->Start(int32(width), int32(height), k, base, stride)) {
      png_destroy_read_struct(&png, &info, nullptr);
      return HC_NOMEM;
    }
    for (uint32 y = 0; y < height; y++) {
      png_read_row(png, st.temp->data(), nullptr);
      st.reducer->Row(st.temp->data());
    }
    st.reducer->Finish();
  } else {
    // The passes of an interlaced picture need the whole of it (the sink
    // accepted that size above).
    if (!Alloc_Rows(*st.temp, int32(width), int32(height))) {
      png_destroy_read_struct(&png, &info, nullptr);
      return HC_NOMEM;
    }
    st.rows->resize(height);
    for (uint32 y = 0; y < height; y++) (*st.rows)[y] = st.temp->data() + size_t(y) * width * 4;
    png_read_image(png, st.rows->data());
    if (!Reduce_Whole(st.temp->data(), hinfo, base, stride)) {
      png_destroy_read_struct(&png, &info, nullptr);
      return HC_NOMEM;
    }
  }
  // The end chunks are not read: a file cut after its image data still
  // holds the whole picture.
  png_destroy_read_struct(&png, &info, nullptr);
  return HC_OK;
}

struct PngWriteState {
  std::vector<uint8>* out;
};

void Png_Write_Data(png_structp png, png_bytep data, size_t n) {
  auto* st = static_cast<PngWriteState*>(png_get_io_ptr(png));
  try {
    st->out->insert(st->out->end(), data, data + n);
  } catch (const std::bad_alloc&) {
    png_error(png, "no memory");
  }
}
void Png_Flush(png_structp) {}

int Png_Encode_Inner(PngWriteState& st, const HostImageSource& src, bool with_alpha) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Png_Error, Png_Warning);
  if (png == nullptr) return HC_NOMEM;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return HC_NOMEM;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return HC_WRITE;
  }
  png_set_write_fn(png, &st, Png_Write_Data, Png_Flush);
  png_set_IHDR(png, info, uint32(src.width), uint32(src.height), 8,
               with_alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  const uint32 ppm = uint32((uint64(Clamp_Dpi(src.dpi)) * 10000 + 127) / 254);
  png_set_pHYs(png, info, ppm, ppm, PNG_RESOLUTION_METER);
  png_write_info(png, info);
  png_set_bgr(png);
  if (!with_alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);  // drops the fourth byte
  for (int32 y = 0; y < src.height; y++)
    png_write_row(png, const_cast<uint8*>(src.pixels + size_t(y) * src.stride));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return HC_OK;
}

// ---------------------------------------------------------------------------
// TIFF
// ---------------------------------------------------------------------------

struct TiffMem {
  const uint8* data;         // reading
  std::vector<uint8>* out;   // writing
  uint64 len;
  uint64 pos;
  int errors;
};

tmsize_t Tiff_Read(thandle_t h, void* buf, tmsize_t n) {
  auto* m = static_cast<TiffMem*>(h);
  if (n <= 0 || m->pos >= m->len) return 0;
  const uint64 k = std::min<uint64>(uint64(n), m->len - m->pos);
  std::memcpy(buf, (m->out ? m->out->data() : m->data) + m->pos, size_t(k));
  m->pos += k;
  return tmsize_t(k);
}

tmsize_t Tiff_Write(thandle_t h, void* buf, tmsize_t n) {
  auto* m = static_cast<TiffMem*>(h);
  if (m->out == nullptr || n < 0) return -1;
  try {
    if (m->pos + uint64(n) > m->out->size()) m->out->resize(size_t(m->pos + uint64(n)));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  std::memcpy(m->out->data() + m->pos, buf, size_t(n));
  m->pos += uint64(n);
  m->len = m->out->size();
  return n;
}

toff_t Tiff_Seek(thandle_t h, toff_t off, int whence) {
  auto* m = static_cast<TiffMem*>(h);
  uint64 base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? m->pos : m->len;
  // Offsets are unsigned: a step back wraps round to the right place, and a
  // position before the start wraps to a huge one, refused here.
  const uint64 target = base + uint64(off);
  if (target > (uint64(1) << 40)) return toff_t(-1);
  m->pos = target;
  return toff_t(target);
}

int Tiff_Close(thandle_t) { return 0; }
toff_t Tiff_Size(thandle_t h) { return toff_t(static_cast<TiffMem*>(h)->len); }
int Tiff_Map(thandle_t, void**, toff_t*) { return 0; }
void Tiff_Unmap(thandle_t, void*, toff_t) {}

int Tiff_Error_Handler(TIFF*, void* user, const char*, const char*, va_list) {
  if (user != nullptr) static_cast<TiffMem*>(user)->errors++;
  return 1;  // handled: nothing goes to the terminal
}
int Tiff_Warning_Handler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// Messages of libtiff that come without a file (some allocation failures)
// go to the process-wide handlers: silence them once.
void Tiff_Silence_Globals() {
  static std::once_flag once;
  std::call_once(once, [] {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
  });
}

TIFF* Tiff_Open(TiffMem& m, const char* mode) {
  Tiff_Silence_Globals();
  TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
  if (opts == nullptr) return nullptr;
  TIFFOpenOptionsSetMaxSingleMemAlloc(opts, tmsize_t(512) * 1024 * 1024);
  TIFFOpenOptionsSetErrorHandlerExtR(opts, Tiff_Error_Handler, &m);
  TIFFOpenOptionsSetWarningHandlerExtR(opts, Tiff_Warning_Handler, &m);
  TIFF* tif = TIFFClientOpenExt("memory", mode, &m, Tiff_Read, Tiff_Write, Tiff_Seek, Tiff_Close,
                                Tiff_Size, Tiff_Map, Tiff_Unmap, opts);
  TIFFOpenOptionsFree(opts);
  return tif;
}

// The photometric interpretation the first directory of the file states,
// read from the bytes (libtiff reports what it made of it instead); -1 when
// the directory or the field cannot be read.
int32 Tiff_Stated_Photometric(const uint8* d, size_t len) {
  if (len < 8) return -1;
  const bool le = d[0] == 'I';
  auto u16 = [&](uint64 at) -> uint32 {
    return le ? Load_LE16(d + at) : Load_BE16(d + at);
  };
  auto u32 = [&](uint64 at) -> uint32 {
    return le ? uint32(u16(at)) | (uint32(u16(at + 2)) << 16) : (uint32(u16(at)) << 16) | u16(at + 2);
  };
  auto u64 = [&](uint64 at) -> uint64 {
    return le ? uint64(u32(at)) | (uint64(u32(at + 4)) << 32) : (uint64(u32(at)) << 32) | u32(at + 4);
  };
  const bool big = u16(2) == 43;
  uint64 ifd, count;
  size_t entry, first;
  if (big) {
    if (len < 16) return -1;
    ifd = u64(8);
    if (ifd > len || len - ifd < 8) return -1;
    count = u64(ifd);
    entry = 20;
    first = 8;
  } else {
    ifd = u32(4);
    if (ifd > len || len - ifd < 2) return -1;
    count = u16(ifd);
    entry = 12;
    first = 2;
  }
  const uint64 avail = (len - ifd - first) / entry;
  for (uint64 i = 0; i < std::min(count, avail); i++) {
    const uint64 e = ifd + first + i * entry;
    if (u16(e) != TIFFTAG_PHOTOMETRIC) continue;
    const uint32 type = u16(e + 2);
    const uint64 value = e + (big ? 12 : 8);
    if (type == TIFF_SHORT) return int32(u16(value));
    if (type == TIFF_LONG) return int32(std::min<uint32>(u32(value), 0xFFFF));
    return -1;
  }
  return -1;
}

// Rows of libtiff's raster (red, green, blue, alpha in memory, alpha
// premultiplied) to blue, green, red, alpha, straight.
void Tiff_Rows_To_BGRA(const uint8* raster, uint32 width, uint32 rows, uint8* base, size_t stride) {
  for (uint32 y = 0; y < rows; y++) {
    const uint8* s = raster + size_t(y) * width * 4;
    uint8* d = base + size_t(y) * stride;
    for (uint32 x = 0; x < width; x++, s += 4, d += 4) {
      uint8 red = s[0], green = s[1], blue = s[2];
      const uint8 a = s[3];
      if (a != 255 && a != 0) {
        red = uint8(std::min<uint32>(255, (uint32(red) * 255 + a / 2) / a));
        green = uint8(std::min<uint32>(255, (uint32(green) * 255 + a / 2) / a));
        blue = uint8(std::min<uint32>(255, (uint32(blue) * 255 + a / 2) / a));
      }
      d[0] = blue;
      d[1] = green;
      d[2] = red;
      d[3] = a;
    }
  }
}

// A reduced picture, band by band: each band of rows is read through the
// RGBA interface (from row img.row_offset), turned round and fed to the
// reducer. Bands follow the file's strips or tiles, so each is decoded once;
// a file whose rows are not stored top first comes in one band.
int Tiff_Decode_Reduced(TIFF* tif, TiffMem& m, TIFFRGBAImage& img, const HostImageSink& sink,
                        const HostImageInfo& info, uint8* base, size_t stride) {
  const uint32 width = uint32(info.width), height = uint32(info.height);
  uint16 orientation = ORIENTATION_TOPLEFT;
  TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
  uint32 band = height;
  if (orientation == ORIENTATION_TOPLEFT) {
    uint32 rows = 0;
    if (TIFFIsTiled(tif))
      TIFFGetField(tif, TIFFTAG_TILELENGTH, &rows);
    else
      TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows);
    if (rows > 0 && rows < height) band = rows;
  }
  // The band is held whole: the sink must accept its size.
  HostImageInfo held = info;
  held.out_width = int32(width);
  held.out_height = int32(band);
  held.scale_num = held.scale_den = 1;
  int r = Check_Sink(sink, held);
  if (r != HC_OK) return r;
  std::vector<uint8> raster;
  HostRowReducer red;
  if (!Alloc_Rows(raster, int32(width), int32(band)) ||
      !red.Start(info.width, info.height, info.scale_den, base, stride))
    return HC_NOMEM;
  std::vector<uint8> rows;
  if (!Alloc_Rows(rows, int32(width), int32(band))) return HC_NOMEM;
  img.req_orientation = ORIENTATION_TOPLEFT;
  for (uint32 top = 0; top < height; top += band) {
    const uint32 n = std::min(band, height - top);
    img.row_offset = int(top);
    img.col_offset = 0;
    if (!TIFFRGBAImageGet(&img, reinterpret_cast<uint32*>(raster.data()), width, n) || m.errors > 0)
      return HC_CORRUPT;
    Tiff_Rows_To_BGRA(raster.data(), width, n, rows.data(), size_t(width) * 4);
    for (uint32 y = 0; y < n; y++) red.Row(rows.data() + size_t(y) * width * 4);
  }
  red.Finish();
  return HC_OK;
}

int Tiff_Decode(TIFF* tif, TiffMem& m, const HostImageSink& sink) {
  uint32 width = 0, height = 0;
  uint16 photometric = 0xFFFF, bps = 1, sformat = SAMPLEFORMAT_UINT;
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height) ||
      width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
    return HC_BAD_HEADER;
  HostImageInfo info = Whole_Info(int32(width), int32(height), false, false);
  {
    const int r = Choose_Box(sink, info);
    if (r != HC_OK) return r;
  }
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &sformat);
  if (TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric)) {
    switch (photometric) {
      case PHOTOMETRIC_MINISWHITE:
      case PHOTOMETRIC_MINISBLACK:
      case PHOTOMETRIC_RGB:
      case PHOTOMETRIC_PALETTE:
      case PHOTOMETRIC_YCBCR:
        break;
      default:  // CMYK, Lab, LogLuv and the like
        return HC_UNSUPPORTED;
    }
  }
  if (bps > 16 || (sformat != SAMPLEFORMAT_UINT && sformat != SAMPLEFORMAT_VOID))
    return HC_UNSUPPORTED;
  // A palette picture whose colour map libtiff could not take (missing, cut
  // short or past the end of the data) is turned into a grey one with no
  // more than a warning: its colours are lost, so the file is damaged.
  if (m.data != nullptr && Tiff_Stated_Photometric(m.data, size_t(m.len)) == PHOTOMETRIC_PALETTE &&
      photometric != PHOTOMETRIC_PALETTE)
    return HC_CORRUPT;
  char emsg[1024] = {};
  if (!TIFFRGBAImageOK(tif, emsg)) return HC_CORRUPT;
  TIFFRGBAImage img;
  std::memset(&img, 0, sizeof(img));
  if (!TIFFRGBAImageBegin(&img, tif, 1, emsg)) return HC_CORRUPT;
  const int32 k = info.scale_den;
  info = Whole_Info(int32(width), int32(height), img.alpha != 0, photometric == PHOTOMETRIC_PALETTE);
  Set_Scale(info, 1, k);
  uint8* base = nullptr;
  size_t stride = 0;
  int r = Call_Sink(sink, info, base, stride);
  if (r != HC_OK) {
    TIFFRGBAImageEnd(&img);
    return r;
  }
  if (k > 1) {
    r = Tiff_Decode_Reduced(tif, m, img, sink, info, base, stride);
    TIFFRGBAImageEnd(&img);
    return r;
  }
  // The library writes packed rows of width x 4 bytes (red, green, blue,
  // alpha in memory); straight into the sink when its rows are that long.
  std::vector<uint8> temp;
  uint8* raster = base;
  if (stride != size_t(width) * 4) {
    try {
      temp.resize(size_t(width) * height * 4);
    } catch (const std::bad_alloc&) {
      TIFFRGBAImageEnd(&img);
      return HC_NOMEM;
    }
    raster = temp.data();
  }
  img.req_orientation = ORIENTATION_TOPLEFT;
  const int ok = TIFFRGBAImageGet(&img, reinterpret_cast<uint32*>(raster), width, height);
  TIFFRGBAImageEnd(&img);
  if (!ok || m.errors > 0) return HC_CORRUPT;
  Tiff_Rows_To_BGRA(raster, width, height, base, stride);
  return HC_OK;
}

// ---------------------------------------------------------------------------
// PSD
// ---------------------------------------------------------------------------

constexpr uint32 kPsdMaxSide = 30000;  // the format's own limit

struct PsdReader {
  const uint8* data;
  size_t len;
  size_t pos;
  bool Has(size_t n) const { return n <= len - pos; }
};

// PackBits into exactly n bytes. FALSE when the data run out or overflow.
bool Psd_Unpack(const uint8* src, size_t srclen, uint8* dst, size_t n) {
  size_t i = 0, o = 0;
  while (o < n) {
    if (i >= srclen) return false;
    const int8 c = int8(src[i++]);
    if (c >= 0) {
      const size_t k = size_t(c) + 1;
      if (k > srclen - i || k > n - o) return false;
      std::memcpy(dst + o, src + i, k);
      i += k;
      o += k;
    } else if (c != -128) {
      const size_t k = size_t(1 - c);
      if (i >= srclen || k > n - o) return false;
      std::memset(dst + o, src[i++], k);
      o += k;
    }
  }
  return true;
}

int Psd_Decode(const uint8* data, size_t len, const HostImageSink& sink) {
  if (!Host_Is_PSD(data, len)) return HC_NOT_FORMAT;
  if (len < 26) return HC_BAD_HEADER;
  if (Load_BE16(data + 4) != 1) return HC_NOT_FORMAT;  // large-document files
  const uint32 channels = Load_BE16(data + 12);
  const uint32 height = Load_BE32(data + 14);
  const uint32 width = Load_BE32(data + 18);
  const uint32 depth = Load_BE16(data + 22);
  const uint32 mode = Load_BE16(data + 24);
  if (channels < 1 || channels > 56 || width < 1 || height < 1 || width > kPsdMaxSide ||
      height > kPsdMaxSide)
    return HC_BAD_HEADER;
  uint32 needed = 1;
  switch (mode) {
    case 0:  // bitmap
      if (depth != 1) return HC_BAD_HEADER;
      break;
    case 1:  // greyscale
      if (depth == 32) return HC_UNSUPPORTED;
      if (depth != 8 && depth != 16) return HC_BAD_HEADER;
      break;
    case 2:  // indexed
      if (depth != 8) return HC_BAD_HEADER;
      break;
    case 3:  // RGB
      if (depth == 32) return HC_UNSUPPORTED;
      if (depth != 8 && depth != 16) return HC_BAD_HEADER;
      needed = 3;
      break;
    case 4: case 7: case 8: case 9:  // CMYK, multichannel, duotone, Lab
      return HC_UNSUPPORTED;
    default:
      return HC_BAD_HEADER;
  }
  if (channels < needed) return HC_BAD_HEADER;

  PsdReader r{data, len, 26};
  // Colour mode data: the palette of an indexed picture.
  if (!r.Has(4)) return HC_BAD_HEADER;
  const uint32 cmlen = Load_BE32(data + r.pos);
  r.pos += 4;
  if (!r.Has(cmlen)) return HC_BAD_HEADER;
  const uint8* palette = data + r.pos;
  if (mode == 2 && cmlen < 768) return HC_BAD_HEADER;
  r.pos += cmlen;

  // Image resources: only the transparent index of an indexed picture.
  if (!r.Has(4)) return HC_BAD_HEADER;
  const uint32 reslen = Load_BE32(data + r.pos);
  r.pos += 4;
  if (!r.Has(reslen)) return HC_BAD_HEADER;
  int32 transp_index = -1;
  {
    size_t p = r.pos;
    const size_t end = r.pos + reslen;
    while (end - p >= 12 && std::memcmp(data + p, "8BIM", 4) == 0) {
      const uint16 id = Load_BE16(data + p + 4);
      size_t q = p + 6;
      const size_t namelen = (size_t(data[q]) + 2) & ~size_t(1);  // length byte too, padded even
      if (namelen > end - q || end - q - namelen < 4) break;
      q += namelen;
      const uint32 size = Load_BE32(data + q);
      q += 4;
      if (size > end - q) break;
      if (id == 1047 && size >= 2) transp_index = Load_BE16(data + q);
      p = q + ((size_t(size) + 1) & ~size_t(1));
      if (p > end) break;
    }
  }
  r.pos += reslen;

  // Layer and mask information: a negative layer count says that the first
  // extra channel is the transparency of the composite. A file without
  // layers keeps its transparency in that channel too. The composite's
  // colours are taken as straight (not matted or premultiplied), as the
  // writers we know store them.
  if (!r.Has(4)) return HC_BAD_HEADER;
  const uint32 lmlen = Load_BE32(data + r.pos);
  r.pos += 4;
  if (!r.Has(lmlen)) return HC_BAD_HEADER;
  int32 layer_count = 0;
  if (lmlen >= 6 && Load_BE32(data + r.pos) >= 2) layer_count = int16(Load_BE16(data + r.pos + 4));
  r.pos += lmlen;

  if (!r.Has(2)) return HC_BAD_HEADER;
  const uint16 compression = Load_BE16(data + r.pos);
  r.pos += 2;
  if (compression > 1) return HC_CORRUPT;  // zip-compressed composites are not read

  const uint32 colour_ch = mode == 3 ? 3 : 1;
  const bool alpha_ch = (mode == 1 || mode == 3) && channels > colour_ch && layer_count <= 0;
  const bool transp = mode == 2 && transp_index >= 0 && transp_index < 256;
  const uint32 used = colour_ch + (alpha_ch ? 1 : 0);
  const size_t rowbytes = (size_t(width) * depth + 7) / 8;

  // Check the data are there before the picture is made.
  const uint8* counts = nullptr;
  size_t datapos = r.pos;
  if (compression == 0) {
    if (uint64(rowbytes) * height * used > len - r.pos) return HC_CORRUPT;
  } else {
    const uint64 table = uint64(height) * channels * 2;
    if (table > len - r.pos) return HC_CORRUPT;
    counts = data + r.pos;
    datapos = r.pos + size_t(table);
  }

  HostImageInfo info = Whole_Info(int32(width), int32(height), alpha_ch || transp, mode == 2);
  // The channels come one after the other: a reduced picture is decoded
  // whole first.
  int res = Choose_Box(sink, info);
  if (res == HC_OK && info.scale_den > 1) res = Check_Whole(sink, info);
  if (res != HC_OK) return res;
  uint8* out = nullptr;
  size_t out_stride = 0;
  res = Call_Sink(sink, info, out, out_stride);
  if (res != HC_OK) return res;
  std::vector<uint8> whole;
  uint8* base = out;
  size_t stride = out_stride;
  if (info.scale_den > 1) {
    if (!Alloc_Rows(whole, int32(width), int32(height))) return HC_NOMEM;
    base = whole.data();
    stride = size_t(width) * 4;
  }

  std::vector<uint8> row;
  try {
    row.resize(rowbytes);
  } catch (const std::bad_alloc&) {
    return HC_NOMEM;
  }
  size_t p = datapos;
  for (uint32 c = 0; c < used; c++) {
    for (uint32 y = 0; y < height; y++) {
      const uint8* src = nullptr;
      if (compression == 0) {
        src = data + p;
        p += rowbytes;
      } else {
        const size_t n = Load_BE16(counts + (size_t(c) * height + y) * 2);
        if (n > len - p || !Psd_Unpack(data + p, n, row.data(), rowbytes)) return HC_CORRUPT;
        p += n;
        src = row.data();
      }
      uint8* d = base + size_t(y) * stride;
      for (uint32 x = 0; x < width; x++, d += 4) {
        uint8 v;
        if (depth == 16)
          v = Scale16(Load_BE16(src + size_t(x) * 2));
        else if (depth == 1)
          v = ((src[x >> 3] >> (7 - (x & 7))) & 1) ? 0 : 255;  // 1 is black
        else
          v = src[x];
        if (c == colour_ch) {
          d[3] = v;
        } else if (mode == 3) {
          d[2 - c] = v;  // planes red, green, blue
          if (!alpha_ch) d[3] = 255;
        } else if (mode == 2) {
          d[2] = palette[v];
          d[1] = palette[256 + v];
          d[0] = palette[512 + v];
          d[3] = (transp && v == transp_index) ? 0 : 255;
        } else {
          d[0] = d[1] = d[2] = v;
          if (!alpha_ch) d[3] = 255;
        }
      }
    }
  }
  if (info.scale_den > 1 && !Reduce_Whole(whole.data(), info, out, out_stride)) return HC_NOMEM;
  return HC_OK;
}

}  // namespace

// ---------------------------------------------------------------------------
// Public
// ---------------------------------------------------------------------------

HostImageSink Host_Buffer_Sink(HostImageBuffer& buf) {
  return HostImageSink{&buf, Buffer_Alloc, Buffer_Check, buf.fraction < 1.0 ? Buffer_Reduce : nullptr};
}

bool HostRowReducer::Start(int32 width, int32 height, int32 k, uint8* base, size_t stride) {
  width_ = std::max<int32>(width, 0);
  k_ = std::clamp<int32>(k, 1, kHostMaxBox);
  out_w_ = Ceil_Div(width_, k_);
  out_h_ = Ceil_Div(std::max<int32>(height, 0), k_);
  rows_ = y_out_ = 0;
  base_ = base;
  stride_ = stride;
  try {
    sums_.assign(size_t(out_w_) * 7, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void HostRowReducer::Row(const uint8* src) {
  uint32* sum = sums_.data();
  for (int32 ox = 0, x = 0; ox < out_w_; ox++, sum += 7) {
    const int32 end = std::min(x + k_, width_);
    uint32 sa = 0, sb = 0, sg = 0, sr = 0, pb = 0, pg = 0, pr = 0;
    for (; x < end; x++, src += 4) {
      const uint32 a = src[3];
      sa += a;
      sb += src[0] * a;
      sg += src[1] * a;
      sr += src[2] * a;
      pb += src[0];
      pg += src[1];
      pr += src[2];
    }
    sum[0] += sa;
    sum[1] += sb;
    sum[2] += sg;
    sum[3] += sr;
    sum[4] += pb;
    sum[5] += pg;
    sum[6] += pr;
  }
  if (++rows_ == k_) Flush();
}

void HostRowReducer::Finish() {
  if (rows_ > 0) Flush();
}

void HostRowReducer::Flush() {
  if (y_out_ >= out_h_) {  // rows past the picture's height are not written
    rows_ = 0;
    std::fill(sums_.begin(), sums_.end(), 0u);
    return;
  }
  uint8* d = base_ + size_t(y_out_) * stride_;
  uint32* sum = sums_.data();
  for (int32 ox = 0; ox < out_w_; ox++, sum += 7, d += 4) {
    const uint32 n = uint32(rows_) * uint32(std::min(k_, width_ - ox * k_));
    if (sum[0] > 0) {
      d[0] = uint8((sum[1] + sum[0] / 2) / sum[0]);
      d[1] = uint8((sum[2] + sum[0] / 2) / sum[0]);
      d[2] = uint8((sum[3] + sum[0] / 2) / sum[0]);
    } else {
      d[0] = uint8((sum[4] + n / 2) / n);
      d[1] = uint8((sum[5] + n / 2) / n);
      d[2] = uint8((sum[6] + n / 2) / n);
    }
    d[3] = uint8((sum[0] + n / 2) / n);
    std::fill(sum, sum + 7, 0u);
  }
  rows_ = 0;
  y_out_++;
}

bool Host_Is_JPEG(const uint8* data, size_t len) {
  return len >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}
bool Host_Is_PNG(const uint8* data, size_t len) {
  static const uint8 sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return len >= 8 && std::memcmp(data, sig, 8) == 0;
}
bool Host_Is_TIFF(const uint8* data, size_t len) {
  if (len < 4) return false;
  // Classic and big TIFF, either byte order.
  return (data[0] == 'I' && data[1] == 'I' && (data[2] == 42 || data[2] == 43) && data[3] == 0) ||
         (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && (data[3] == 42 || data[3] == 43));
}
bool Host_Is_PSD(const uint8* data, size_t len) { return len >= 4 && std::memcmp(data, "8BPS", 4) == 0; }

int Host_Decode_JPEG(const uint8* data, size_t len, const HostImageSink& sink) {
  if (!Host_Is_JPEG(data, len)) return HC_NOT_FORMAT;
  auto st = std::make_unique<JpegDecodeState>();
  return Jpeg_Decode_Inner(*st, data, len, &sink);
}

int Host_JPEG_Size(const uint8* data, size_t len, int32& width, int32& height) {
  width = height = 0;
  if (!Host_Is_JPEG(data, len)) return HC_NOT_FORMAT;
  auto st = std::make_unique<JpegDecodeState>();
  const int r = Jpeg_Decode_Inner(*st, data, len, nullptr);
  if (r != HC_OK) return HC_BAD_HEADER;
  width = st->width;
  height = st->height;
  return HC_OK;
}

int Host_Decode_PNG(const uint8* data, size_t len, const HostImageSink& sink) {
  if (!Host_Is_PNG(data, len)) return HC_NOT_FORMAT;
  // Buffers with destructors live here, outside the function that jumps.
  std::vector<png_bytep> rows;
  std::vector<uint8> temp;
  HostRowReducer reducer;
  PngReadState st{data, len, 0, HC_BAD_HEADER, &rows, &temp, &reducer};
  const int r = Png_Ask_Sink(st, sink);
  return r != HC_OK ? r : Png_Decode_Inner(st, sink);
}

int Host_Decode_TIFF(const uint8* data, size_t len, const HostImageSink& sink) {
  if (!Host_Is_TIFF(data, len)) return HC_NOT_FORMAT;
  TiffMem m{data, nullptr, len, 0, 0};
  TIFF* tif = Tiff_Open(m, "rm");
  if (tif == nullptr) return HC_BAD_HEADER;
  const int r = Tiff_Decode(tif, m, sink);
  TIFFClose(tif);
  return r;
}

int Host_Decode_PSD(const uint8* data, size_t len, const HostImageSink& sink) {
  return Psd_Decode(data, len, sink);
}

int Host_Encode_JPEG(const HostImageSource& src, int quality, std::vector<uint8>& out) {
  out.clear();
  if (!Source_Ok(src)) return HC_WRITE;
  auto st = std::make_unique<JpegEncodeState>();
  const int r = Jpeg_Encode_Inner(*st, src, quality);
  if (r == HC_OK) {
    try {
      out.assign(st->outbuf, st->outbuf + st->outsize);
    } catch (const std::bad_alloc&) {
      std::free(st->outbuf);
      return HC_NOMEM;
    }
  }
  std::free(st->outbuf);
  return r;
}

int Host_Encode_PNG(const HostImageSource& src, bool with_alpha, std::vector<uint8>& out) {
  out.clear();
  if (!Source_Ok(src)) return HC_WRITE;
  PngWriteState st{&out};
  const int r = Png_Encode_Inner(st, src, with_alpha);
  if (r != HC_OK) out.clear();
  return r;
}

int Host_Encode_TIFF(const HostImageSource& src, bool with_alpha, std::vector<uint8>& out) {
  out.clear();
  if (!Source_Ok(src)) return HC_WRITE;
  TiffMem m{nullptr, &out, 0, 0, 0};
  TIFF* tif = Tiff_Open(m, "w");
  if (tif == nullptr) return HC_WRITE;
  const uint16 spp = with_alpha ? 4 : 3;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32(src.width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32(src.height));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, spp);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  if (with_alpha) {
    const uint16 extra[1] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  const float dpi = float(Clamp_Dpi(src.dpi));
  TIFFSetField(tif, TIFFTAG_XRESOLUTION, dpi);
  TIFFSetField(tif, TIFFTAG_YRESOLUTION, dpi);
  TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
  std::vector<uint8> row(size_t(src.width) * spp);
  bool ok = true;
  for (int32 y = 0; y < src.height && ok; y++) {
    const uint8* s = src.pixels + size_t(y) * src.stride;
    uint8* d = row.data();
    for (int32 x = 0; x < src.width; x++, s += 4, d += spp) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
      if (with_alpha) d[3] = s[3];
    }
    ok = TIFFWriteScanline(tif, row.data(), uint32(y), 0) == 1;
  }
  if (ok) ok = TIFFWriteDirectory(tif) == 1;
  TIFFClose(tif);
  if (!ok || m.errors > 0) {
    out.clear();
    return HC_WRITE;
  }
  return HC_OK;
}

int Host_Encode_PSD(const HostImageSource& src, bool with_alpha, std::vector<uint8>& out) {
  out.clear();
  if (!Source_Ok(src) || uint32(src.width) > kPsdMaxSide || uint32(src.height) > kPsdMaxSide)
    return HC_WRITE;
  const uint32 nch = with_alpha ? 4 : 3;
  try {
    out.reserve(64 + size_t(src.width) * src.height * nch);
    out.insert(out.end(), {'8', 'B', 'P', 'S'});
    Append_BE16(out, 1);                      // version
    out.insert(out.end(), 6, 0);          // reserved
    Append_BE16(out, nch);
    Append_BE32(out, uint32(src.height));
    Append_BE32(out, uint32(src.width));
    Append_BE16(out, 8);                      // bits a channel
    Append_BE16(out, 3);                      // RGB
    Append_BE32(out, 0);                      // no colour mode data
    // One image resource: the resolution (1005), 16.16 pixels per inch.
    const uint32 res = uint32(Clamp_Dpi(src.dpi)) << 16;
    Append_BE32(out, 28);
    out.insert(out.end(), {'8', 'B', 'I', 'M'});
    Append_BE16(out, 1005);
    Append_BE16(out, 0);                      // empty name, padded to even
    Append_BE32(out, 16);
    Append_BE32(out, res);
    Append_BE16(out, 1);                      // pixels per inch
    Append_BE16(out, 1);                      // width in inches
    Append_BE32(out, res);
    Append_BE16(out, 1);
    Append_BE16(out, 1);
    Append_BE32(out, 0);                      // no layers
    Append_BE16(out, 0);                      // raw channel data
    static const int kByte[4] = {2, 1, 0, 3};  // red, green, blue, alpha
    for (uint32 c = 0; c < nch; c++)
      for (int32 y = 0; y < src.height; y++) {
        const uint8* s = src.pixels + size_t(y) * src.stride + kByte[c];
        for (int32 x = 0; x < src.width; x++, s += 4) out.push_back(*s);
      }
  } catch (const std::bad_alloc&) {
    out.clear();
    return HC_NOMEM;
  }
  return HC_OK;
}
