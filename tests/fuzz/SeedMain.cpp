// Runs a fuzz target's LLVMFuzzerTestOneInput once on each file of its seed
// folders, outside libFuzzer (the normal gcc builds, under CTest), so that a
// crash once found and fixed stays fixed. Usage: fuzz_NAME_seeds [FOLDER|FILE]...
// Files of a folder run in name order; with no file at all (no argument, or
// empty folders) the target gets one empty input, so every target runs at
// least once. A crash or a sanitizer report ends the run as it would under
// libFuzzer; otherwise the status is 0, or 2 when an input named cannot be
// found or read.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool Read_File(const std::filesystem::path& path, std::vector<uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> inputs;
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    std::error_code ec;
    if (std::filesystem::is_directory(arg, ec)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg, ec))
        if (entry.is_regular_file(ec)) inputs.push_back(entry.path());
    } else if (std::filesystem::exists(arg, ec)) {
      inputs.push_back(arg);
    } else {
      std::fprintf(stderr, "no such seed file or folder: %s\n", argv[i]);
      status = 2;
    }
  }
  std::sort(inputs.begin(), inputs.end());

  if (inputs.empty()) {
    // libFuzzer never hands a target a null pointer, even for no bytes.
    static const uint8_t kNothing[1] = {0};
    LLVMFuzzerTestOneInput(kNothing, 0);
    std::printf("ran 1 input (empty)\n");
    return status;
  }
  for (const auto& path : inputs) {
    std::vector<uint8_t> bytes;
    if (!Read_File(path, bytes)) {
      std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
      status = 2;
      continue;
    }
    std::printf("%s (%zu bytes)\n", path.filename().string().c_str(), bytes.size());
    std::fflush(stdout);
    // A block of exactly its size, so that a read past the end is caught.
    std::vector<uint8_t> exact(bytes.begin(), bytes.end());
    static const uint8_t kNothing[1] = {0};
    LLVMFuzzerTestOneInput(exact.empty() ? kNothing : exact.data(), exact.size());
  }
  std::printf("ran %zu input(s)\n", inputs.size());
  return status;
}
