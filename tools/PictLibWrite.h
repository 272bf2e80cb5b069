// Writing picture library files (".ART4"): the layout that OP reads, stored
// pictures in it (raw, run-length or JPEG packed; 8 or 32 bits deep), sound
// objects, and a small manifest form that lists what a library holds.
//
// The program never writes a library, so this module is no part of it: it is
// the small library velmor_pictlib, which the art generator (tools/artgen)
// and the tests (writing the libraries they read back) link. It stands
// alone: the standard library, libjpeg and the program's basic types
// (headers only).
//
// Manifest (one entry a line; blank lines and lines starting with "#" are
// ignored; tokens are separated by blanks, and a token holding blanks is
// written in double quotes):
//
//   picture A B C D SOURCE ...   a stored picture, raw 32-bit, under the key
//                                (A, B, C, D); stored picture id N is 12 N 0 0
//   object  A B C D SOURCE ...   any other object, its bytes as given
//
// Picture sources:
//   ppm FILE                     a PPM image (plain "P3" or binary "P6"), opaque
//   solid W H RRGGBB[AA]         one colour
//   gradient W H RRGGBB RRGGBB   top colour to bottom colour
// Object sources:
//   file FILE                    the file's bytes
//   hex HH HH ...                bytes written in hexadecimal (blanks optional)
//   text "TEXT"                  the text's bytes, no terminator
// FILE is relative to the manifest's folder.
#pragma once

#include <string>
#include <vector>

#include "platform/SysErr.h"
#include "platform/Types.h"

// One object of a library to be written.
struct a_art_object {
  a_keyset key{};
  std::vector<uint8> data;
  uint16 cachex = 0;
  uint8 priority = 0;
  uint8 flags = 0;
};

// An image to be stored: row-major, 4 bytes a pixel in the order red, green,
// blue, alpha, the alpha straight (colours not multiplied by it).
struct a_art_image {
  int32 width = 0;
  int32 height = 0;
  std::vector<uint8> rgba;
};

// An 8-bit image: one colour index (or grey value) a pixel, row-major.
struct a_art_image8 {
  int32 width = 0;
  int32 height = 0;
  std::vector<uint8> index;
};

// How a JPEG-packed picture is compressed. The integer DCT is always used,
// so every machine writes the same bytes for the same pixels.
struct a_art_jpeg {
  int quality = 90;         // 1 .. 100
  bool full_chroma = false; // colour at full resolution (4:4:4), else halved both ways (4:2:0)
};

// Lays out a whole library: header, map in ascending key order, then the
// objects in the same order. False, with a message in err, when two objects
// share a key, there are more than 65535 objects, or the file would reach
// 2 GiB.
bool ArtLib_Build(std::vector<a_art_object> objects, std::vector<uint8>& out, std::string& err);

// Stored pictures. The flags byte is stored as given, less the packing bits,
// which each encoder sets for itself. All of them are false, with a message
// in err, when the picture is empty, its pixel array does not match its
// size, or a row exceeds 32767 bytes.
//
// 32-bit pixels are stored as alpha, red, green, blue; row bytes 4 x width.
//   Pixt_Encode32       raw rows
//   Pixt_Encode32_RLE   run-length packed rows (flag 0x04)
//   Pixt_Encode32_JPEG  a JPEG stream (flag 0x20; alpha is not kept: the
//                       reader gives every pixel alpha 255)
// 8-bit pixels are stored one byte each, rows padded to a multiple of 4
// bytes; raw or run-length packed. Which colour table they index is the
// flags' business (0x40 and 0x80 the grey tables, neither the main table or,
// for canvases, the palette object beside them).
bool Pixt_Encode32(const a_art_image& img, uint8 flags, std::vector<uint8>& out, std::string& err);
bool Pixt_Encode32_RLE(const a_art_image& img, uint8 flags, std::vector<uint8>& out, std::string& err);
bool Pixt_Encode32_JPEG(const a_art_image& img, const a_art_jpeg& jpeg, uint8 flags, std::vector<uint8>& out,
                        std::string& err);
bool Pixt_Encode8(const a_art_image8& img, uint8 flags, bool rle, std::vector<uint8>& out, std::string& err);

// The run-length form of stored pictures: the unpacked length (4 bytes,
// little-endian), then PackBits data of each stretch of 32,000 bytes, each
// stretch packed on its own. Appended to out.
void Art_Pack_RLE(const uint8* data, size_t n, std::vector<uint8>& out);

// An image from pixels of 32 bits in the machine's own order, alpha in the
// top byte and colours premultiplied by it (the form drawing libraries such
// as cairo use); stride is in pixels. Colours are divided by alpha, rounded.
a_art_image Art_Image_From_Premultiplied(const uint32* pixels, int32 width, int32 height, int32 stride);

// Sound object (key 6 0 ID 0): sample rate (16 bits), bits per sample (8 or
// 16), the samples' length in bytes (32 bits), then the samples, one channel,
// all big-endian. 8-bit samples are unsigned, 16-bit ones signed. False when
// the rate is below 1000 Hz or there are no samples or too many (the player
// takes objects up to 16 MiB).
bool Sound_Encode8(uint16 rate, const std::vector<uint8>& samples, std::vector<uint8>& out, std::string& err);
bool Sound_Encode16(uint16 rate, const std::vector<int16>& samples, std::vector<uint8>& out, std::string& err);

// Picture sources, as the manifest names them.
bool Art_Read_PPM(const std::vector<uint8>& bytes, a_art_image& img, std::string& err);
bool Art_Draw_Solid(int32 width, int32 height, uint32 rgba, a_art_image& img, std::string& err);
bool Art_Draw_Gradient(int32 width, int32 height, uint32 top_rgb, uint32 bottom_rgb, a_art_image& img,
                       std::string& err);

// Reads a manifest into objects. base_dir is the folder that FILE names are
// relative to (empty: the current folder). False, with "line N: ..." in err,
// on the first bad entry.
bool ArtLib_Parse_Manifest(const std::string& text, const std::string& base_dir,
                           std::vector<a_art_object>& objects, std::string& err);

// Whole files. Writing goes to a temporary file beside the target, which is
// renamed over it only when every byte was written.
bool Art_Read_File(const std::string& path, std::vector<uint8>& bytes, std::string& err);
bool Art_Write_File(const std::string& path, const std::vector<uint8>& bytes, std::string& err);
