// Random sessions of the real program, by seed:
//   velmor_session_fuzz FIRST_SEED COUNT STEPS OUT_DIR [SECONDS]
// runs seeds FIRST_SEED .. FIRST_SEED + COUNT - 1, each a session of STEPS
// steps in a folder of its own under OUT_DIR, killed after SECONDS (900).
// A session that ends well leaves nothing; a failed one keeps its folder
// (script.txt, err.txt, the files it opened) and a line on standard output
// says why (VELMOR_SESSION_KEEP=1 keeps every folder). Exit status 1 when
// any failed.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "SessionRun.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s FIRST_SEED COUNT STEPS OUT_DIR [SECONDS]\n", argv[0]);
    return 2;
  }
  const uint64_t first = std::strtoull(argv[1], nullptr, 10);
  const int count = std::atoi(argv[2]);
  const int steps = std::atoi(argv[3]);
  const std::string out = argv[4];
  const int limit = argc > 5 ? std::atoi(argv[5]) : 900;
  const session::Places at{session::Program(VELMOR4_EXE), VELMOR_SOURCE_DIR};
  int failed = 0;
  for (int i = 0; i < count; ++i) {
    const uint64_t seed = first + uint64_t(i);
    const std::string dir = out + "/seed-" + std::to_string(seed);
    const session::Setting s = session::Prepare(dir, at, seed);
    const session::Outcome o = session::Run(dir, at, session::Generate(seed, steps, s), limit);
    if (o.failed) {
      ++failed;
      std::printf("seed %llu: FAILED: %s (%s)\n", static_cast<unsigned long long>(seed), o.why.c_str(), dir.c_str());
    } else {
      std::printf("seed %llu: ok\n", static_cast<unsigned long long>(seed));
      std::error_code ec;
      if (std::getenv("VELMOR_SESSION_KEEP") == nullptr) std::filesystem::remove_all(dir, ec);
    }
    std::fflush(stdout);
  }
  return failed == 0 ? 0 : 1;
}
