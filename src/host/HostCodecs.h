// Host image codecs: decoders and encoders of the picture file formats the
// program takes from other programs, over libjpeg(-turbo), libpng and
// libtiff, and our own code for Photoshop files (the composite image of a
// PSD, and flat RGB(A) PSD files).
//
// Decoders work on bytes in memory and write 32-bit pixels, bytes blue,
// green, red, alpha (straight, not premultiplied), rows from the top. They
// never allocate the picture themselves: once the header is read they hand
// its size to a sink, which checks it against its limits and gives the
// memory to draw into (an offscreen world, or a plain buffer). So a file that
// declares a huge size is refused before anything is allocated for it. A
// sink may ask for the picture reduced (see HostImageSink); a decoder that
// cannot reduce row by row then holds the whole picture for a while, but
// only once the sink has accepted that size too.
//
// Every decoder reports damaged or truncated data by result; the libraries'
// error exits are caught (no exit(), no message on the terminal) and their
// warnings are silenced. One exception: a JPEG that merely carries a few
// stray bytes between markers still decodes, as every viewer accepts it.
// libpng keeps its own limits on the width and height (a million pixels
// each); a larger PNG is refused with HC_BAD_HEADER when the sink accepts it.
// A palette TIFF whose colour map is missing, cut short or unreadable is
// refused with HC_CORRUPT (libtiff would show it in grey).
//
// Colour spaces. Grey, palette and RGB pictures of 1 to 16 bits a sample are
// converted (16-bit samples are rounded to 8 bits; that loses nothing the
// program can show). CMYK, YCCK, Lab, floating-point and other pictures are
// refused with HC_UNSUPPORTED: turning them into RGB needs colour profiles we
// do not have, and a naive conversion gives plainly wrong colours, so the
// user is asked to convert the picture instead.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/Types.h"

// Results of the decoders and encoders.
enum HostCodecResult : int {
  HC_OK = 0,
  HC_NOT_FORMAT = 1,   // the data are not of this format (signature)
  HC_BAD_HEADER = 2,   // the header is damaged: the picture's size cannot be had
  HC_CORRUPT = 3,      // damaged or truncated picture data
  HC_UNSUPPORTED = 4,  // a colour space or sample format that is not converted
  HC_TOO_LARGE = 5,    // the sink refused the size (beyond its pixel limit)
  HC_NOMEM = 6,        // no memory for the picture
  HC_TOO_WIDE = 7,     // the sink refused a side (too wide or too high)
  HC_WRITE = 8,        // an encoder could not produce its data
};

// What a decoder knows once the header is read: the picture's own size, and
// the size it delivers (out_width x out_height: the own size times
// scale_num / scale_den, rounded up; the own size unless the sink asked for
// a reduction).
struct HostImageInfo {
  int32 width;
  int32 height;
  bool has_alpha;  // some pixel may be (partly) transparent: an alpha channel or a
                   // transparent colour
  bool indexed;    // a palette picture (colour indexes of 8 bits or less)
  int32 out_width = 0;
  int32 out_height = 0;
  int32 scale_num = 1;
  int32 scale_den = 1;
};

// The sink: check (when given) is asked as soon as the header tells the
// picture's size, before the decoder or its library allocates anything that
// grows with that size; it returns HC_OK or the code to fail with
// (HC_TOO_LARGE, HC_TOO_WIDE). It judges the own size by the sides and the
// delivered size by the pixels held; a decoder that must hold the whole
// picture on the way to a reduced one asks it also with the delivered size
// set to the own size. It may be asked before every field of `info` is
// final (a PNG's transparent colour is known only later). alloc is called
// once, after the header, with the delivered size (check is asked again
// first); it returns HC_OK with the first byte of the top row and the stride
// of the rows (at least out_width x 4), or the code to fail with
// (HC_TOO_LARGE, HC_TOO_WIDE, HC_NOMEM). Every pixel is written by the
// decoder.
//
// reduce (when given) is asked once the own size is known, before check:
// the least fraction of the own size the sink needs (1 or more: all of it).
// The decoder delivers the smallest size it makes that is at least that
// fraction: a JPEG by libjpeg's DCT scaling in eighths (1/8 at the least),
// the other formats by averaging blocks of k x k pixels (k up to
// kHostMaxBox), row by row as the rows are decoded where the format allows,
// else from the whole picture decoded first. When check refuses that size as
// too large, the decoder tries the next smaller one it makes, down to its
// least. Without reduce every picture is delivered whole.
struct HostImageSink {
  void* ctx;
  int (*alloc)(void* ctx, const HostImageInfo& info, uint8*& base, size_t& stride);
  int (*check)(void* ctx, const HostImageInfo& info) = nullptr;
  double (*reduce)(void* ctx, const HostImageInfo& info) = nullptr;
};

// The largest block a decoder averages into one pixel.
constexpr int32 kHostMaxBox = 256;

// A sink into a vector, for tools and tests: pixels are out_width x 4 bytes
// a row. `fraction` below 1 asks for a reduction.
struct HostImageBuffer {
  uint64 max_pixels = 64ull * 1024 * 1024;
  double fraction = 1.0;
  HostImageInfo info{};
  std::vector<uint8> pixels;
};
HostImageSink Host_Buffer_Sink(HostImageBuffer& buf);

// Reduces a picture by averaging blocks of k x k pixels as its rows come,
// top to bottom: pixels of 4 bytes (blue, green, red, alpha, straight), the
// result ceil(width / k) x ceil(height / k), blocks at the right and bottom
// edges cut to the picture. Colours are averaged weighted by their alpha, so
// that the colour of clear pixels does not bleed into the visible ones; a
// block that is clear throughout keeps the plain average.
struct HostRowReducer {
  // Starts a picture of width x height reduced by k (1 .. kHostMaxBox) into
  // the rows at base, stride bytes apart. FALSE when there is no memory for
  // the sums of one row.
  bool Start(int32 width, int32 height, int32 k, uint8* base, size_t stride);
  // The next source row: width pixels.
  void Row(const uint8* src);
  // Writes the last block row when the height is not a multiple of k.
  void Finish();

 private:
  void Flush();
  int32 width_ = 0, k_ = 1, out_w_ = 0, out_h_ = 0, rows_ = 0, y_out_ = 0;
  uint8* base_ = nullptr;
  size_t stride_ = 0;
  std::vector<uint32> sums_;  // 7 an output pixel: alpha, blue, green, red weighted, then plain
};

// The decoders. Each returns a HostCodecResult.
int Host_Decode_JPEG(const uint8* data, size_t len, const HostImageSink& sink);
int Host_Decode_PNG(const uint8* data, size_t len, const HostImageSink& sink);
int Host_Decode_TIFF(const uint8* data, size_t len, const HostImageSink& sink);  // first page
int Host_Decode_PSD(const uint8* data, size_t len, const HostImageSink& sink);   // composite image

// Signatures (the first bytes of the data only).
bool Host_Is_JPEG(const uint8* data, size_t len);
bool Host_Is_PNG(const uint8* data, size_t len);
bool Host_Is_TIFF(const uint8* data, size_t len);
bool Host_Is_PSD(const uint8* data, size_t len);

// The size of a JPEG from its header alone: HC_OK, HC_NOT_FORMAT or HC_BAD_HEADER.
int Host_JPEG_Size(const uint8* data, size_t len, int32& width, int32& height);

// What the encoders read: width x height pixels of 4 bytes (blue, green, red,
// alpha) at `pixels`, rows `stride` bytes apart from the top; dpi goes into
// the file's resolution fields.
struct HostImageSource {
  const uint8* pixels;
  int32 width;
  int32 height;
  size_t stride;
  uint32 dpi;
};

// JPEG at quality 1 to 100 (libjpeg's scale), 4:2:0 below 90, 4:4:4 from 90
// on; alpha is dropped.
int Host_Encode_JPEG(const HostImageSource& src, int quality, std::vector<uint8>& out);
// PNG, 8 bits a sample: RGBA with alpha, else RGB.
int Host_Encode_PNG(const HostImageSource& src, bool with_alpha, std::vector<uint8>& out);
// TIFF, LZW-compressed, 8 bits a sample: RGB, or RGB with unassociated alpha.
int Host_Encode_TIFF(const HostImageSource& src, bool with_alpha, std::vector<uint8>& out);
// Flat Photoshop file, 8 bits a sample, raw channel data: RGB, or RGB with
// the alpha as a fourth channel (which readers take as transparency of a
// file without layers). A resolution resource records the dpi.
int Host_Encode_PSD(const HostImageSource& src, bool with_alpha, std::vector<uint8>& out);
