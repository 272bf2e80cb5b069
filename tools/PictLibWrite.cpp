#include "PictLibWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

// libjpeg needs <cstdio> first.
#include <jpeglib.h>

#include "host/HostByteOrder.h"

namespace {

// Layout constants of the library file and of stored pictures (the reader
// has its own copy; the tests hold the two together).
constexpr uint32 kVersion = 3;
constexpr size_t kHeaderSize = 14;
constexpr size_t kItemSize = 20;
constexpr size_t kPixtHeaderSize = 8;
constexpr uint8 kPackingFlags = 0x04 | 0x10 | 0x20;  // run-length, LZW, JPEG
constexpr int32 kMaxRowBytes = 32767;
constexpr int32 kMaxHeight = 32767;
// Procedural pictures are capped well below what the format allows so that a
// typing slip in a manifest cannot ask for gigabytes.
constexpr int64 kMaxDrawnPixels = 16 * 1024 * 1024;

int Key_Order(const a_keyset& k1, const a_keyset& k2) {
  const int16 p1[4] = {k1.a, k1.b, k1.c, k1.d};
  const int16 p2[4] = {k2.a, k2.b, k2.c, k2.d};
  for (int i = 0; i < 4; ++i) {
    if (p1[i] != p2[i]) return p1[i] < p2[i] ? -1 : 1;
  }
  return 0;
}

std::string Key_Text(const a_keyset& k) {
  return "(" + std::to_string(k.a) + ", " + std::to_string(k.b) + ", " + std::to_string(k.c) + ", " +
         std::to_string(k.d) + ")";
}

bool Check_Size(int32 width, int32 height, std::string& err) {
  if (width < 1 || height < 1 || int64(width) * int64(height) > kMaxDrawnPixels) {
    err = "picture size " + std::to_string(width) + " x " + std::to_string(height) + " out of range";
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------
struct Colour {
  double r, g, b;
};

Colour Mix(const Colour& x, const Colour& y, double t) {
  return Colour{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t};
}

uint8 To_Byte(double v) { return uint8(std::clamp(std::lround(v), 0L, 255L)); }

void Set_Pixel(a_art_image& img, int32 x, int32 y, const Colour& c) {
  if (x < 0 || y < 0 || x >= img.width || y >= img.height) return;
  uint8* p = &img.rgba[(size_t(y) * size_t(img.width) + size_t(x)) * 4];
  p[0] = To_Byte(c.r);
  p[1] = To_Byte(c.g);
  p[2] = To_Byte(c.b);
  p[3] = 255;
}

}  // namespace

// ---------------------------------------------------------------------------
// Library and stored pictures
// ---------------------------------------------------------------------------
bool ArtLib_Build(std::vector<a_art_object> objects, std::vector<uint8>& out, std::string& err) {
  out.clear();
  if (objects.size() > 0xFFFF) {
    err = "more than 65535 objects";
    return false;
  }
  std::stable_sort(objects.begin(), objects.end(), [](const a_art_object& x, const a_art_object& y) {
    return Key_Order(x.key, y.key) < 0;
  });
  for (size_t i = 1; i < objects.size(); ++i) {
    if (Key_Order(objects[i - 1].key, objects[i].key) == 0) {
      err = "two objects with the key " + Key_Text(objects[i].key);
      return false;
    }
  }
  uint64 total = kHeaderSize + kItemSize * objects.size();
  for (const a_art_object& o : objects) total += o.data.size();
  // The reader takes positions and lengths as signed 32-bit numbers and
  // refuses files of 2 GiB and more.
  if (total >= uint64(INT32_MAX)) {
    err = "library would reach 2 GiB";
    return false;
  }

  out.reserve(size_t(total));
  out.insert(out.end(), {'[', 'E', 'D', ']'});
  Append_BE32(out, kVersion);
  Append_BE32(out, uint32(total));
  Append_BE16(out, uint16(objects.size()));
  uint32 pos = uint32(kHeaderSize + kItemSize * objects.size());
  for (const a_art_object& o : objects) {
    Append_BE16(out, uint16(o.key.a));
    Append_BE16(out, uint16(o.key.b));
    Append_BE16(out, uint16(o.key.c));
    Append_BE16(out, uint16(o.key.d));
    Append_BE32(out, pos);
    Append_BE32(out, uint32(o.data.size()));
    Append_BE16(out, o.cachex);
    out.push_back(o.priority);
    out.push_back(o.flags);
    pos += uint32(o.data.size());
  }
  for (const a_art_object& o : objects) out.insert(out.end(), o.data.begin(), o.data.end());
  return true;
}

namespace {

// Checks a picture's size and pixel count; row bytes must fit the header.
bool Check_Stored(int32 width, int32 height, int32 rowbytes, size_t have, size_t need_per_pixel, std::string& err) {
  if (width < 1 || height < 1 || rowbytes > kMaxRowBytes || height > kMaxHeight) {
    err = "picture size " + std::to_string(width) + " x " + std::to_string(height) + " cannot be stored";
    return false;
  }
  if (have != size_t(width) * size_t(height) * need_per_pixel) {
    err = "picture pixels do not match its size";
    return false;
  }
  return true;
}

void Pixt_Header(int32 rowbytes, int32 width, int32 height, uint8 flags, uint8 depth, std::vector<uint8>& out) {
  Append_BE16(out, uint16(rowbytes));
  Append_BE16(out, uint16(width));
  Append_BE16(out, uint16(height));
  out.push_back(flags);
  out.push_back(depth);
}

// The stored rows of a 32-bit picture: alpha, red, green, blue.
std::vector<uint8> Rows32(const a_art_image& img) {
  const size_t npix = size_t(img.width) * size_t(img.height);
  std::vector<uint8> rows(npix * 4);
  for (size_t i = 0; i < npix; ++i) {
    const uint8* p = &img.rgba[i * 4];
    uint8* q = &rows[i * 4];
    q[0] = p[3];
    q[1] = p[0];
    q[2] = p[1];
    q[3] = p[2];
  }
  return rows;
}

constexpr size_t kRLEStretch = 32000;

// PackBits of one stretch: runs of 3 to 128 equal bytes as (257 - n, byte),
// everything else as literals of up to 128 bytes (n - 1, bytes).
void Pack_Stretch(const uint8* s, size_t len, std::vector<uint8>& out) {
  auto run_at = [&](size_t i) {
    size_t j = i + 1;
    while (j < len && j - i < 128 && s[j] == s[i]) ++j;
    return j - i;
  };
  size_t i = 0;
  while (i < len) {
    const size_t run = run_at(i);
    if (run >= 3) {
      out.push_back(uint8(257 - run));
      out.push_back(s[i]);
      i += run;
      continue;
    }
    const size_t start = i;
    while (i < len && i - start < 128 && (i == start || run_at(i) < 3)) ++i;
    out.push_back(uint8(i - start - 1));
    out.insert(out.end(), s + start, s + i);
  }
}

}  // namespace

void Art_Pack_RLE(const uint8* data, size_t n, std::vector<uint8>& out) {
  Append_LE32(out, uint32(n));
  for (size_t done = 0; done < n; done += kRLEStretch) Pack_Stretch(data + done, std::min(kRLEStretch, n - done), out);
}

bool Pixt_Encode32(const a_art_image& img, uint8 flags, std::vector<uint8>& out, std::string& err) {
  out.clear();
  const int64 rowbytes = int64(img.width) * 4;
  if (!Check_Stored(img.width, img.height, int32(std::min<int64>(rowbytes, INT32_MAX)), img.rgba.size(), 4, err))
    return false;
  const std::vector<uint8> rows = Rows32(img);
  out.reserve(kPixtHeaderSize + rows.size());
  Pixt_Header(int32(rowbytes), img.width, img.height, uint8(flags & ~kPackingFlags), 32, out);
  out.insert(out.end(), rows.begin(), rows.end());
  return true;
}

bool Pixt_Encode32_RLE(const a_art_image& img, uint8 flags, std::vector<uint8>& out, std::string& err) {
  out.clear();
  const int64 rowbytes = int64(img.width) * 4;
  if (!Check_Stored(img.width, img.height, int32(std::min<int64>(rowbytes, INT32_MAX)), img.rgba.size(), 4, err))
    return false;
  const std::vector<uint8> rows = Rows32(img);
  Pixt_Header(int32(rowbytes), img.width, img.height, uint8((flags & ~kPackingFlags) | 0x04), 32, out);
  Art_Pack_RLE(rows.data(), rows.size(), out);
  return true;
}

bool Pixt_Encode8(const a_art_image8& img, uint8 flags, bool rle, std::vector<uint8>& out, std::string& err) {
  out.clear();
  const int64 rowbytes = (int64(img.width) + 3) / 4 * 4;
  if (!Check_Stored(img.width, img.height, int32(std::min<int64>(rowbytes, INT32_MAX)), img.index.size(), 1, err))
    return false;
  std::vector<uint8> rows(size_t(rowbytes) * size_t(img.height), 0);
  for (int32 y = 0; y < img.height; ++y)
    std::memcpy(&rows[size_t(y) * size_t(rowbytes)], &img.index[size_t(y) * size_t(img.width)], size_t(img.width));
  Pixt_Header(int32(rowbytes), img.width, img.height, uint8((flags & ~kPackingFlags) | (rle ? 0x04 : 0)), 8, out);
  if (rle) {
    Art_Pack_RLE(rows.data(), rows.size(), out);
  } else {
    out.insert(out.end(), rows.begin(), rows.end());
  }
  return true;
}

namespace {

struct JpegErr {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void Jpeg_Fail(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegErr*>(cinfo->err)->jump, 1);
}

}  // namespace

bool Pixt_Encode32_JPEG(const a_art_image& img, const a_art_jpeg& jpeg, uint8 flags, std::vector<uint8>& out,
                        std::string& err) {
  out.clear();
  const int64 rowbytes = int64(img.width) * 4;
  if (!Check_Stored(img.width, img.height, int32(std::min<int64>(rowbytes, INT32_MAX)), img.rgba.size(), 4, err))
    return false;
  if (jpeg.quality < 1 || jpeg.quality > 100) {
    err = "JPEG quality " + std::to_string(jpeg.quality) + " out of range";
    return false;
  }
  // What the library writes into lives on the heap, so that it is still
  // known after a long jump out of the library.
  struct Dest {
    jpeg_compress_struct cinfo;
    JpegErr jerr;
    unsigned char* mem = nullptr;
    unsigned long size = 0;
  };
  const auto d = std::make_unique<Dest>();
  jpeg_compress_struct& cinfo = d->cinfo;
  cinfo.err = jpeg_std_error(&d->jerr.pub);
  d->jerr.pub.error_exit = Jpeg_Fail;
  if (setjmp(d->jerr.jump)) {
    jpeg_destroy_compress(&cinfo);
    std::free(d->mem);
    err = "JPEG compression failed";
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &d->mem, &d->size);
  cinfo.image_width = JDIMENSION(img.width);
  cinfo.image_height = JDIMENSION(img.height);
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_RGBX;  // the alpha byte is skipped
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, jpeg.quality, TRUE);
  cinfo.dct_method = JDCT_ISLOW;
  cinfo.optimize_coding = TRUE;
  const int h = jpeg.full_chroma ? 1 : 2;
  cinfo.comp_info[0].h_samp_factor = h;
  cinfo.comp_info[0].v_samp_factor = h;
  cinfo.comp_info[1].h_samp_factor = cinfo.comp_info[1].v_samp_factor = 1;
  cinfo.comp_info[2].h_samp_factor = cinfo.comp_info[2].v_samp_factor = 1;
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(&img.rgba[size_t(cinfo.next_scanline) * size_t(img.width) * 4]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Pixt_Header(int32(rowbytes), img.width, img.height, uint8((flags & ~kPackingFlags) | 0x20), 32, out);
  out.insert(out.end(), d->mem, d->mem + d->size);
  std::free(d->mem);
  return true;
}

a_art_image Art_Image_From_Premultiplied(const uint32* pixels, int32 width, int32 height, int32 stride) {
  a_art_image img;
  if (pixels == nullptr || width < 1 || height < 1 || stride < width) return img;
  img.width = width;
  img.height = height;
  img.rgba.resize(size_t(width) * size_t(height) * 4);
  uint8* q = img.rgba.data();
  for (int32 y = 0; y < height; ++y) {
    const uint32* row = pixels + size_t(y) * size_t(stride);
    for (int32 x = 0; x < width; ++x, q += 4) {
      const uint32 v = row[x];
      const uint32 a = v >> 24;
      const uint32 c[3] = {(v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF};
      for (int i = 0; i < 3; ++i) q[i] = a == 0 ? 0 : uint8(std::min<uint32>(255, (c[i] * 255 + a / 2) / a));
      q[3] = uint8(a);
    }
  }
  return img;
}

// ---------------------------------------------------------------------------
// Sound objects
// ---------------------------------------------------------------------------
namespace {

constexpr size_t kSoundHeaderSize = 8;
constexpr size_t kMaxSoundBytes = (16u << 20) - kSoundHeaderSize;

bool Sound_Header(uint16 rate, uint16 bits, size_t nbytes, std::vector<uint8>& out, std::string& err) {
  out.clear();
  if (rate < 1000) {
    err = "sound rate " + std::to_string(rate) + " Hz is too low";
    return false;
  }
  if (nbytes == 0 || nbytes > kMaxSoundBytes) {
    err = "sound of " + std::to_string(nbytes) + " bytes cannot be stored";
    return false;
  }
  out.reserve(kSoundHeaderSize + nbytes);
  Append_BE16(out, rate);
  Append_BE16(out, bits);
  Append_BE32(out, uint32(nbytes));
  return true;
}

}  // namespace

bool Sound_Encode8(uint16 rate, const std::vector<uint8>& samples, std::vector<uint8>& out, std::string& err) {
  if (!Sound_Header(rate, 8, samples.size(), out, err)) return false;
  out.insert(out.end(), samples.begin(), samples.end());
  return true;
}

bool Sound_Encode16(uint16 rate, const std::vector<int16>& samples, std::vector<uint8>& out, std::string& err) {
  if (samples.size() > kMaxSoundBytes / 2) {
    err = "sound of " + std::to_string(samples.size()) + " samples cannot be stored";
    out.clear();
    return false;
  }
  if (!Sound_Header(rate, 16, samples.size() * 2, out, err)) return false;
  for (int16 v : samples) Append_BE16(out, uint16(v));
  return true;
}

// ---------------------------------------------------------------------------
// Picture sources
// ---------------------------------------------------------------------------
namespace {

// Reads the next header number of a PPM, skipping blanks and comments.
bool PPM_Number(const std::vector<uint8>& b, size_t& i, int64& val) {
  for (;;) {
    while (i < b.size() && std::isspace(b[i])) ++i;
    if (i < b.size() && b[i] == '#') {
      while (i < b.size() && b[i] != '\n') ++i;
      continue;
    }
    break;
  }
  if (i >= b.size() || !std::isdigit(b[i])) return false;
  val = 0;
  while (i < b.size() && std::isdigit(b[i])) {
    val = val * 10 + (b[i] - '0');
    if (val > 0xFFFFFF) return false;
    ++i;
  }
  return true;
}

}  // namespace

bool Art_Read_PPM(const std::vector<uint8>& b, a_art_image& img, std::string& err) {
  img = a_art_image{};
  if (b.size() < 2 || b[0] != 'P' || (b[1] != '3' && b[1] != '6')) {
    err = "not a PPM image (P3 or P6)";
    return false;
  }
  const bool plain = b[1] == '3';
  size_t i = 2;
  int64 w = 0, h = 0, maxval = 0;
  if (!PPM_Number(b, i, w) || !PPM_Number(b, i, h) || !PPM_Number(b, i, maxval)) {
    err = "PPM header unreadable";
    return false;
  }
  if (w < 1 || h < 1 || w * 4 > kMaxRowBytes || h > kMaxHeight || maxval < 1 || maxval > 65535) {
    err = "PPM size or maximum value out of range";
    return false;
  }
  const uint64 nsamples = uint64(w) * uint64(h) * 3;
  const uint64 bytes_per_sample = maxval > 255 ? 2 : 1;
  // Make sure the data can be there before allocating for it.
  if (plain) {
    if (nsamples * 2 - 1 > b.size() - i) {
      err = "PPM data too short";
      return false;
    }
  } else {
    if (i >= b.size() || !std::isspace(b[i])) {
      err = "PPM header unreadable";
      return false;
    }
    ++i;  // the single blank before the binary data
    if (nsamples * bytes_per_sample > b.size() - i) {
      err = "PPM data too short";
      return false;
    }
  }
  img.width = int32(w);
  img.height = int32(h);
  img.rgba.assign(size_t(w) * size_t(h) * 4, 255);
  for (uint64 s = 0; s < nsamples; ++s) {
    int64 v = 0;
    if (plain) {
      if (!PPM_Number(b, i, v)) {
        err = "PPM data unreadable";
        img = a_art_image{};
        return false;
      }
    } else if (bytes_per_sample == 2) {
      v = (int64(b[i]) << 8) | b[i + 1];
      i += 2;
    } else {
      v = b[i++];
    }
    if (v > maxval) v = maxval;
    const size_t px = size_t(s / 3), ch = size_t(s % 3);
    img.rgba[px * 4 + ch] = uint8((v * 255 + maxval / 2) / maxval);
  }
  return true;
}

bool Art_Draw_Solid(int32 width, int32 height, uint32 rgba, a_art_image& img, std::string& err) {
  img = a_art_image{};
  if (!Check_Size(width, height, err)) return false;
  img.width = width;
  img.height = height;
  img.rgba.resize(size_t(width) * size_t(height) * 4);
  for (size_t i = 0; i < img.rgba.size(); i += 4) {
    img.rgba[i] = uint8(rgba >> 24);
    img.rgba[i + 1] = uint8(rgba >> 16);
    img.rgba[i + 2] = uint8(rgba >> 8);
    img.rgba[i + 3] = uint8(rgba);
  }
  return true;
}

bool Art_Draw_Gradient(int32 width, int32 height, uint32 top_rgb, uint32 bottom_rgb, a_art_image& img,
                       std::string& err) {
  img = a_art_image{};
  if (!Check_Size(width, height, err)) return false;
  img.width = width;
  img.height = height;
  img.rgba.resize(size_t(width) * size_t(height) * 4);
  const Colour top{double((top_rgb >> 16) & 0xFF), double((top_rgb >> 8) & 0xFF), double(top_rgb & 0xFF)};
  const Colour bot{double((bottom_rgb >> 16) & 0xFF), double((bottom_rgb >> 8) & 0xFF),
                   double(bottom_rgb & 0xFF)};
  for (int32 y = 0; y < height; ++y) {
    const Colour c = Mix(top, bot, height > 1 ? double(y) / double(height - 1) : 0.0);
    for (int32 x = 0; x < width; ++x) Set_Pixel(img, x, y, c);
  }
  return true;
}

// ---------------------------------------------------------------------------
// Manifest
// ---------------------------------------------------------------------------
namespace {

bool Tokenise(const std::string& line, std::vector<std::string>& toks, std::string& err) {
  toks.clear();
  size_t i = 0;
  while (i < line.size()) {
    if (std::isspace(uint8(line[i]))) {
      ++i;
      continue;
    }
    if (line[i] == '"') {
      const size_t end = line.find('"', i + 1);
      if (end == std::string::npos) {
        err = "unterminated quotes";
        return false;
      }
      toks.push_back(line.substr(i + 1, end - i - 1));
      i = end + 1;
    } else {
      size_t end = i;
      while (end < line.size() && !std::isspace(uint8(line[end]))) ++end;
      toks.push_back(line.substr(i, end - i));
      i = end;
    }
  }
  return true;
}

bool Parse_Int(const std::string& s, int64 lo, int64 hi, int64& val) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(s.c_str(), &end, 10);
  if (errno != 0 || end == nullptr || *end != 0 || v < lo || v > hi) return false;
  val = v;
  return true;
}

int Hex_Digit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

// RRGGBB (alpha 255) or RRGGBBAA, as 0xRRGGBBAA.
bool Parse_Colour(const std::string& s, bool allow_alpha, uint32& rgba) {
  if (s.size() != 6 && !(allow_alpha && s.size() == 8)) return false;
  uint32 v = 0;
  for (char ch : s) {
    const int d = Hex_Digit(ch);
    if (d < 0) return false;
    v = v * 16 + uint32(d);
  }
  rgba = s.size() == 6 ? (v << 8) | 0xFF : v;
  return true;
}

std::string Join_Path(const std::string& dir, const std::string& name) {
  if (dir.empty() || (!name.empty() && name[0] == '/')) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

bool Parse_Picture(const std::vector<std::string>& t, const std::string& base_dir, a_art_image& img,
                   std::string& err) {
  const std::string& src = t[5];
  const size_t n = t.size() - 6;  // arguments after the source's name
  int64 w = 0, h = 0;
  auto size_args = [&]() {
    if (n < 2 || !Parse_Int(t[6], 1, INT32_MAX, w) || !Parse_Int(t[7], 1, INT32_MAX, h)) {
      err = src + ": width and height expected";
      return false;
    }
    return true;
  };
  if (src == "ppm") {
    if (n != 1) {
      err = "ppm: one file name expected";
      return false;
    }
    std::vector<uint8> bytes;
    if (!Art_Read_File(Join_Path(base_dir, t[6]), bytes, err)) return false;
    if (!Art_Read_PPM(bytes, img, err)) {
      err = t[6] + ": " + err;
      return false;
    }
    return true;
  }
  if (src == "solid") {
    uint32 c = 0;
    if (!size_args()) return false;
    if (n != 3 || !Parse_Colour(t[8], true, c)) {
      err = "solid: W H RRGGBB[AA] expected";
      return false;
    }
    return Art_Draw_Solid(int32(w), int32(h), c, img, err);
  }
  if (src == "gradient") {
    uint32 c1 = 0, c2 = 0;
    if (!size_args()) return false;
    if (n != 4 || !Parse_Colour(t[8], false, c1) || !Parse_Colour(t[9], false, c2)) {
      err = "gradient: W H RRGGBB RRGGBB expected";
      return false;
    }
    return Art_Draw_Gradient(int32(w), int32(h), c1 >> 8, c2 >> 8, img, err);
  }
  err = "unknown picture source \"" + src + "\"";
  return false;
}

bool Parse_Object(const std::vector<std::string>& t, const std::string& base_dir, std::vector<uint8>& data,
                  std::string& err) {
  const std::string& src = t[5];
  if (src == "file") {
    if (t.size() != 7) {
      err = "file: one file name expected";
      return false;
    }
    return Art_Read_File(Join_Path(base_dir, t[6]), data, err);
  }
  if (src == "text") {
    if (t.size() != 7) {
      err = "text: one quoted text expected";
      return false;
    }
    data.assign(t[6].begin(), t[6].end());
    return true;
  }
  if (src == "hex") {
    std::string digits;
    for (size_t i = 6; i < t.size(); ++i) digits += t[i];
    if (digits.size() % 2 != 0) {
      err = "hex: an odd number of digits";
      return false;
    }
    data.clear();
    for (size_t i = 0; i < digits.size(); i += 2) {
      const int hi = Hex_Digit(digits[i]), lo = Hex_Digit(digits[i + 1]);
      if (hi < 0 || lo < 0) {
        err = "hex: not a hexadecimal digit";
        return false;
      }
      data.push_back(uint8(hi * 16 + lo));
    }
    return true;
  }
  err = "unknown object source \"" + src + "\"";
  return false;
}

}  // namespace

bool ArtLib_Parse_Manifest(const std::string& text, const std::string& base_dir,
                           std::vector<a_art_object>& objects, std::string& err) {
  objects.clear();
  size_t start = 0;
  int32 lineno = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    ++lineno;
    if (!line.empty() && line.back() == '\r') line.pop_back();

    std::vector<std::string> t;
    std::string why;
    if (!Tokenise(line, t, why)) {
      err = "line " + std::to_string(lineno) + ": " + why;
      return false;
    }
    if (t.empty() || t[0][0] == '#') continue;

    bool ok = false;
    a_art_object obj;
    if (t[0] != "picture" && t[0] != "object") {
      why = "unknown entry \"" + t[0] + "\"";
    } else if (t.size() < 6) {
      why = t[0] + ": key A B C D and a source expected";
    } else {
      int64 k[4] = {};
      bool key_ok = true;
      for (int i = 0; i < 4; ++i) key_ok = key_ok && Parse_Int(t[size_t(1 + i)], INT16_MIN, INT16_MAX, k[i]);
      if (!key_ok) {
        why = "key parts must be numbers from -32768 to 32767";
      } else {
        obj.key = a_keyset{int16(k[0]), int16(k[1]), int16(k[2]), int16(k[3])};
        if (t[0] == "picture") {
          a_art_image img;
          ok = Parse_Picture(t, base_dir, img, why) && Pixt_Encode32(img, 0, obj.data, why);
        } else {
          ok = Parse_Object(t, base_dir, obj.data, why);
        }
      }
    }
    if (!ok) {
      err = "line " + std::to_string(lineno) + ": " + why;
      return false;
    }
    objects.push_back(std::move(obj));
  }
  return true;
}

// ---------------------------------------------------------------------------
// Files
// ---------------------------------------------------------------------------
bool Art_Read_File(const std::string& path, std::vector<uint8>& bytes, std::string& err) {
  bytes.clear();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    err = path + ": " + std::strerror(errno);
    return false;
  }
  uint8 buf[65536];
  size_t got = 0;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) {
    if (bytes.size() + got >= size_t(INT32_MAX)) {
      std::fclose(f);
      err = path + ": file too large";
      return false;
    }
    bytes.insert(bytes.end(), buf, buf + got);
  }
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) {
    err = path + ": read error";
    return false;
  }
  return true;
}

bool Art_Write_File(const std::string& path, const std::vector<uint8>& bytes, std::string& err) {
  std::string temp = path + ".XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back(0);
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    err = path + ": cannot create a temporary file: " + std::strerror(errno);
    return false;
  }
  temp = name.data();
  size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
    } else {
      done += size_t(n);
    }
  }
  ok = ok && fchmod(fd, 0644) == 0;
  ok = ok && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  err = path + ": cannot write: " + std::strerror(errno);
  std::remove(temp.c_str());
  return false;
}
