// artsheets: contact sheets of a picture library, read through the
// program's own reader, one PNG a family (or a canvas set), for a person to
// look through.
//
//   velmor_artsheets ART_DIR LIBRARY OUT_DIR
//
// ART_DIR gives the fonts of the labels (art/fonts.txt). OUT_DIR/index.txt
// lists the sheets written. Exit code 0, or 1 when the library cannot be
// read or a sheet cannot be written, 2 on bad arguments.
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Sheets.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s ART_DIR LIBRARY OUT_DIR\n", argc > 0 ? argv[0] : "artsheets");
    return 2;
  }
  a_art_context ctx;
  ctx.art_dir = argv[1];
  const std::string library = argv[2], dir = argv[3];
  std::string err;
  mkdir(dir.c_str(), 0755);
  if (!Fonts_Load(ctx, err) || !Reader_Open(library, err)) {
    std::fprintf(stderr, "artsheets: %s\n", err.c_str());
    return 1;
  }
  // One maker a family; the families drawn later add theirs here.
  const a_sheet_maker makers[] = {Sheet_Canvases, Sheet_Palettes, Sheet_Gradients, Sheet_Patterns, Sheet_Pictures,
                                  Sheet_Sounds,   Sheet_Stamps,   Sheet_Borders,   Sheet_Symbols,  Sheet_Interface};
  std::vector<std::string> written;
  for (a_sheet_maker make : makers) {
    if (!make(ctx, dir, written, err)) {
      std::fprintf(stderr, "artsheets: %s\n", err.c_str());
      Reader_Close();
      return 1;
    }
  }
  Reader_Close();
  std::string index;
  for (const std::string& w : written) index += w + "\n";
  if (!Art_Write_File(dir + "/index.txt", std::vector<uint8>(index.begin(), index.end()), err)) {
    std::fprintf(stderr, "artsheets: %s\n", err.c_str());
    return 1;
  }
  std::printf("artsheets: %zu sheets in %s\n", written.size(), dir.c_str());
  return 0;
}
