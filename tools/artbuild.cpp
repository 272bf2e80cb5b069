// artbuild: writes a picture library file (".ART4") from a manifest.
//
//   velmor_artbuild MANIFEST OUTPUT
//
// The manifest lists the library's objects, one a line, by key:
//
//   # comment
//   picture A B C D SOURCE ...   a stored picture (raw 32-bit) under key (A, B, C, D)
//   object  A B C D SOURCE ...   any other object, its bytes as given
//
// Picture sources:
//   ppm FILE                     a PPM image, plain ("P3") or binary ("P6")
//   solid W H RRGGBB[AA]         one colour
//   gradient W H RRGGBB RRGGBB   top colour to bottom colour
//   about W H "NAME" ["SUBTITLE"] a disc with a gradient beside the name
// Object sources:
//   file FILE                    the file's bytes
//   hex HH HH ...                bytes in hexadecimal
//   text "TEXT"                  the text's bytes
//
// Tokens are separated by blanks; a token holding blanks goes in double
// quotes. FILE names are relative to the manifest's folder. Stored picture id
// N has the key 12 N 0 0. Keys must be unique; the tool sorts them.
//
// The output is replaced only when the whole library was written. Exit code
// 0 on success, 1 on a bad manifest or a failed write, 2 on bad arguments.
#include <cstdio>
#include <string>
#include <vector>

#include "PictLibWrite.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s MANIFEST OUTPUT\n", argc > 0 ? argv[0] : "artbuild");
    return 2;
  }
  const std::string manifest = argv[1], output = argv[2];
  const size_t slash = manifest.rfind('/');
  const std::string base_dir = slash == std::string::npos ? std::string() : manifest.substr(0, slash + 1);

  std::string err;
  std::vector<uint8> text, lib;
  std::vector<a_art_object> objects;
  if (!Art_Read_File(manifest, text, err) ||
      !ArtLib_Parse_Manifest(std::string(text.begin(), text.end()), base_dir, objects, err)) {
    std::fprintf(stderr, "artbuild: %s: %s\n", manifest.c_str(), err.c_str());
    return 1;
  }
  const size_t count = objects.size();
  if (!ArtLib_Build(std::move(objects), lib, err) || !Art_Write_File(output, lib, err)) {
    std::fprintf(stderr, "artbuild: %s\n", err.c_str());
    return 1;
  }
  std::printf("artbuild: %s: %zu objects, %zu bytes\n", output.c_str(), count, lib.size());
  return 0;
}
