// velmor_wavegen: synthesises the narration sounds from a short description
// and writes them as a resource source for the resource compiler: one
// "WAVE" resource a sound, in the program's sound format (the picture
// library's sound objects: big-endian header, then the samples). Only integer
// arithmetic, so the same description gives the same bytes on any machine.
//
// Usage: velmor_wavegen SOURCE.txt OUT.txt
// Errors are reported as FILE:LINE: message, and the exit status is 1.
//
// Source format: "#" starts a comment to the end of the line. A sound starts
// with "[WAVE ID]" (ID 1..32767); its lines, in order:
//   rate HZ              sample rate, 1000..48000 (default 11025)
//   bits 8|16            sample size (default 16)
//   tone HZ MS LEVEL     a triangle wave of HZ (20..rate/2) for MS
//                        milliseconds at LEVEL percent of full scale, faded in
//                        and out over its first and last eighth
//   rest MS              silence
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "PictLibWrite.h"

namespace {

struct a_sound {
  int line = 0;
  uint16 rate = 11025;
  int bits = 16;
  std::vector<int32> samples;  // full scale +-32767
};

// One period of a triangle at phase p of period n samples, +-amp.
int32 Triangle(int64 p, int64 n, int32 amp) {
  const int64 q = (4 * p * amp) / n;  // 0 .. 4 amp over the period
  if (q < amp) return int32(q);
  if (q < 3 * amp) return int32(2 * amp - q);
  return int32(q - 4 * amp);
}

void Tone(a_sound& s, int hz, int ms, int level) {
  const int64 n = int64(s.rate) * ms / 1000;
  const int64 fade = n / 8 > 0 ? n / 8 : 1;
  const int32 amp = int32(32767LL * level / 100);
  for (int64 i = 0; i < n; ++i) {
    // Phase in samples of a period rate/hz long, kept exact with integers.
    const int64 p = (i * hz) % s.rate;
    int64 v = Triangle(p, s.rate, amp);
    if (i < fade) v = v * i / fade;
    if (n - 1 - i < fade) v = v * (n - 1 - i) / fade;
    s.samples.push_back(int32(v));
  }
}

bool Fail(const std::string& file, int line, const std::string& msg) {
  std::fprintf(stderr, "%s:%d: %s\n", file.c_str(), line, msg.c_str());
  return false;
}

bool Parse(const std::string& file, std::map<int, a_sound>& sounds) {
  std::ifstream in(file);
  if (!in) return Fail(file, 0, "cannot read");
  std::string text;
  a_sound* cur = nullptr;
  for (int ln = 1; std::getline(in, text); ++ln) {
    const size_t hash = text.find('#');
    if (hash != std::string::npos) text.erase(hash);
    std::istringstream ws(text);
    std::string word;
    if (!(ws >> word)) continue;
    if (word == "[WAVE") {
      int id = 0;
      std::string close;
      if (!(ws >> id >> close) || close != "]" || id < 1 || id > 32767)
        return Fail(file, ln, "expected [WAVE ID ]");
      if (sounds.count(id)) return Fail(file, ln, "WAVE " + std::to_string(id) + " given twice");
      cur = &sounds[id];
      cur->line = ln;
      continue;
    }
    if (cur == nullptr) return Fail(file, ln, "a line before the first [WAVE ID ]");
    int a = 0, b = 0, c = 0;
    if (word == "rate") {
      if (!(ws >> a) || a < 1000 || a > 48000) return Fail(file, ln, "rate 1000..48000");
      if (!cur->samples.empty()) return Fail(file, ln, "rate after the first tone");
      cur->rate = uint16(a);
    } else if (word == "bits") {
      if (!(ws >> a) || (a != 8 && a != 16)) return Fail(file, ln, "bits 8 or 16");
      cur->bits = a;
    } else if (word == "tone") {
      if (!(ws >> a >> b >> c) || a < 20 || a > cur->rate / 2 || b < 1 || b > 10000 || c < 0 ||
          c > 100)
        return Fail(file, ln, "tone HZ (20..rate/2) MS (1..10000) LEVEL (0..100)");
      Tone(*cur, a, b, c);
    } else if (word == "rest") {
      if (!(ws >> a) || a < 1 || a > 10000) return Fail(file, ln, "rest MS (1..10000)");
      cur->samples.resize(cur->samples.size() + size_t(int64(cur->rate) * a / 1000), 0);
    } else {
      return Fail(file, ln, "unknown line '" + word + "'");
    }
    std::string extra;
    if (ws >> extra) return Fail(file, ln, "more than the line takes: '" + extra + "'");
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: velmor_wavegen SOURCE.txt OUT.txt\n");
    return 1;
  }
  const std::string src = argv[1];
  std::map<int, a_sound> sounds;
  if (!Parse(src, sounds)) return 1;
  std::ostringstream out;
  out << "# Narration sounds, synthesised by velmor_wavegen; do not edit.\n";
  for (const auto& [id, s] : sounds) {
    std::vector<uint8> bytes;
    std::string err;
    bool ok;
    if (s.bits == 8) {
      std::vector<uint8> smp;
      for (int32 v : s.samples) smp.push_back(uint8((v >> 8) + 128));
      ok = Sound_Encode8(s.rate, smp, bytes, err);
    } else {
      std::vector<int16> smp(s.samples.begin(), s.samples.end());
      ok = Sound_Encode16(s.rate, smp, bytes, err);
    }
    if (!ok) {
      Fail(src, s.line, "WAVE " + std::to_string(id) + ": " + err);
      return 1;
    }
    out << "\n[WAVE " << id << "]\n";
    for (size_t i = 0; i < bytes.size(); i += 32) {
      out << "hex";
      for (size_t k = i; k < bytes.size() && k < i + 32; ++k) {
        char h[4];
        std::snprintf(h, sizeof h, " %02X", bytes[k]);
        out << h;
      }
      out << "\n";
    }
  }
  std::ofstream f(argv[2], std::ios::binary | std::ios::trunc);
  f << out.str();
  f.close();
  if (!f) {
    std::fprintf(stderr, "velmor_wavegen: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
