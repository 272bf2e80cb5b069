// artgen: draws the program's picture library, Velmor4.ART4, from the data
// tables under art/.
//
//   velmor_artgen [--jobs N] [--items-header FILE] ART_DIR OUTPUT
//
// Each family (canvases, gradients, patterns, stored pictures ...) reads its
// table and hands over jobs; the jobs run on N threads (all cores by
// default) and the library is written in key order, so the file is the same
// byte for byte whatever N is and however often it is made. Fonts come from
// the files art/fonts.txt names; a missing one stops the run naming the
// package to install.
//
// With --items-header the generator also writes the C++ header of the
// interface items' art records (art/interface.txt) that the interface's item
// tables include, but only when its text changed, so that nothing is
// compiled again for a library that was merely redrawn.
//
// The output is replaced only when the whole library was made. Exit code 0
// on success, 1 on bad data or a failed write, 2 on bad arguments.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "ArtGen.h"
#include "Interface.h"

namespace {

int Usage(const char* self) {
  std::fprintf(stderr, "usage: %s [--jobs N] [--items-header FILE] ART_DIR OUTPUT\n", self);
  return 2;
}

const char* Family_Name(int16_t a) {
  switch (a) {
    case ART_CANVAS: return "canvases";
    case ART_CANVAS_THUMB: return "canvas thumbnails";
    case ART_GRADIENT: return "gradients";
    case ART_PALETTE: return "palettes";
    case ART_SOUND: return "sounds";
    case ART_STAMP: return "stamps";
    case ART_BORDER: return "borders";
    case ART_PATTERN: return "patterns";
    case ART_SYMBOL: return "symbols";
    case ART_PICTURE: return "pictures";
    default: return "other objects";
  }
}

// The interface items' header, written only when its text differs from
// the file's.
bool Write_Items_Header(const a_art_context& ctx, const std::string& path, std::string& err) {
  a_interface_table table;
  if (!Interface_Read(ctx, table, err)) return false;
  const std::string text = Interface_Header_Text(table);
  std::vector<uint8> old;
  std::string ignored;
  if (Art_Read_File(path, old, ignored) && std::string(old.begin(), old.end()) == text) return true;
  return Art_Write_File(path, std::vector<uint8>(text.begin(), text.end()), err);
}

}  // namespace

int main(int argc, char** argv) {
  const char* self = argc > 0 ? argv[0] : "artgen";
  int64_t threads = std::max<int64_t>(1, int64_t(std::thread::hardware_concurrency()));
  std::vector<std::string> args;
  std::string items_header;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--jobs") == 0) {
      if (i + 1 >= argc || !Parse_Int_Word(argv[i + 1], 1, 256, threads)) return Usage(self);
      ++i;
    } else if (std::strcmp(argv[i], "--items-header") == 0) {
      if (i + 1 >= argc || argv[i + 1][0] == 0) return Usage(self);
      items_header = argv[++i];
    } else {
      args.push_back(argv[i]);
    }
  }
  if (args.size() != 2) return Usage(self);
  a_art_context ctx;
  ctx.art_dir = args[0];
  const std::string output = args[1];

  std::string err;
  std::vector<a_art_job> jobs;
  if (!Fonts_Load(ctx, err) || !Canvas_Jobs(ctx, jobs, err) || !Gradient_Jobs(ctx, jobs, err) ||
      !Pattern_Jobs(ctx, jobs, err) || !Picture_Jobs(ctx, jobs, err) || !Sound_Jobs(ctx, jobs, err) ||
      !Stamp_Jobs(ctx, jobs, err) || !Border_Jobs(ctx, jobs, err) || !Symbol_Jobs(ctx, jobs, err) ||
      !Interface_Jobs(ctx, jobs, err)) {
    std::fprintf(stderr, "artgen: %s\n", err.c_str());
    return 1;
  }

  // Each job writes only its own slot; the slots are joined in job order.
  std::vector<std::vector<a_art_object>> results(jobs.size());
  std::vector<std::string> errors(jobs.size());
  std::vector<char> ok(jobs.size(), 0);
  std::atomic<size_t> next{0};
  auto worker = [&] {
    for (size_t i = next++; i < jobs.size(); i = next++) ok[i] = jobs[i].run(results[i], errors[i]) ? 1 : 0;
  };
  std::vector<std::thread> pool;
  for (int64_t t = 1; t < std::min<int64_t>(threads, int64_t(jobs.size())); ++t) pool.emplace_back(worker);
  worker();
  for (std::thread& t : pool) t.join();

  std::vector<a_art_object> objects;
  for (size_t i = 0; i < jobs.size(); ++i) {
    if (!ok[i]) {
      std::fprintf(stderr, "artgen: %s: %s\n", jobs[i].name.c_str(), errors[i].c_str());
      return 1;
    }
    for (a_art_object& o : results[i]) objects.push_back(std::move(o));
  }
  std::map<int16_t, std::pair<size_t, size_t>> per_family;  // count, bytes
  for (const a_art_object& o : objects) {
    per_family[o.key.a].first += 1;
    per_family[o.key.a].second += o.data.size();
  }
  std::vector<uint8> lib;
  if (!ArtLib_Build(std::move(objects), lib, err) || !Art_Write_File(output, lib, err)) {
    std::fprintf(stderr, "artgen: %s\n", err.c_str());
    return 1;
  }
  if (!items_header.empty() && !Write_Items_Header(ctx, items_header, err)) {
    std::fprintf(stderr, "artgen: %s\n", err.c_str());
    return 1;
  }
  for (const auto& [a, cb] : per_family)
    std::printf("artgen: %5zu %-18s %9zu bytes\n", cb.first, Family_Name(a), cb.second);
  std::printf("artgen: %s: %zu bytes\n", output.c_str(), lib.size());
  return 0;
}
