// Tests of the picture library's sounds: every id the interface and the
// painting tools play is there in the one format, at its level, faded in and
// out; each drag range is a rising scale; each plays through the program's
// sound module on the headless backend; and the generator refuses a bad
// sound table naming the line and the reason.
#include <cmath>

#include "ArtLibSupport.h"
#include "host/HostAudio.h"
#include "host/HostBackend.h"
#include "host/HostByteOrder.h"
#include "host/HostClock.h"
#include "platform/SysSound.h"

namespace {

using art_test::Name;
namespace fs = std::filesystem;

a_keyset Sound_Key(int16 id) { return a_keyset{ART_SOUND, 0, id, 0}; }

std::vector<int16> Range_Ids(const a_art_id_range& r) {
  std::vector<int16> ids;
  for (int16 id = r.first; id <= r.last; ++id) ids.push_back(id);
  return ids;
}

std::vector<int16> All_Ids() {
  std::vector<int16> ids;
  for (const a_art_id_range& r : ART_SOUND_RANGES)
    for (int16 id : Range_Ids(r)) ids.push_back(id);
  return ids;
}

// A sound object's header and its samples scaled to -1 .. 1.
struct Sound {
  bool ok = false;
  uint32 rate = 0, bits = 0, len = 0;
  size_t object_size = 0;
  std::vector<double> s;
  double Ms() const { return rate ? 1000.0 * double(s.size()) / rate : 0; }
  double Peak() const {
    double p = 0;
    for (double v : s) p = std::max(p, std::fabs(v));
    return p;
  }
};

Sound Parse(const std::vector<uint8>& b) {
  Sound d;
  d.object_size = b.size();
  if (b.size() < 8) return d;
  d.rate = Load_BE16(&b[0]);
  d.bits = Load_BE16(&b[2]);
  d.len = Load_BE32(&b[4]);
  if (d.bits != 16 || d.len % 2 != 0 || d.len + 8 > b.size()) return d;
  for (uint32 i = 0; i < d.len; i += 2) d.s.push_back(int16(Load_BE16(&b[8 + i])) / 32768.0);
  d.ok = true;
  return d;
}

// The pitch of the middle of a sound, by autocorrelation: the shortest lag
// that correlates nearly as well as the best one (so not an octave below),
// refined between samples. 0 when nothing repeats.
double Pitch_Hz(const Sound& d) {
  const size_t n = d.s.size(), from = n * 3 / 10, w = std::min<size_t>(1024, n / 3);
  const size_t lo = d.rate / 2500, hi = d.rate / 60;
  if (from + w + hi + 1 > n) return 0;
  std::vector<double> r(hi + 2, 0.0);
  for (size_t lag = lo - 1; lag <= hi + 1; ++lag) {
    double xy = 0, xx = 0, yy = 0;
    for (size_t i = from; i < from + w; ++i) {
      xy += d.s[i] * d.s[i + lag];
      xx += d.s[i] * d.s[i];
      yy += d.s[i + lag] * d.s[i + lag];
    }
    r[lag] = xy / std::sqrt(xx * yy + 1e-30);
  }
  double best = 0;
  for (size_t lag = lo; lag <= hi; ++lag) best = std::max(best, r[lag]);
  if (best < 0.5) return 0;
  for (size_t lag = lo; lag <= hi; ++lag) {
    if (r[lag] >= 0.9 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) {
      const double a = r[lag - 1], b = r[lag], c = r[lag + 1], den = a - 2 * b + c;
      return d.rate / (double(lag) + (den != 0 ? 0.5 * (a - c) / den : 0.0));
    }
  }
  return 0;
}

class ArtSounds : public art_test::ArtLibrary {
 protected:
  static Sound Load(int16 id) { return Parse(Bytes(Sound_Key(id))); }
};

TEST_F(ArtSounds, EveryIdOfTheRangesAndNothingElse) {
  std::vector<a_keyset> want;
  for (int16 id : All_Ids()) want.push_back(Sound_Key(id));
  const std::vector<a_keyset> got = Keys(a_keyset{ART_SOUND, 0, 0, 0}, 1);
  EXPECT_EQ(got.size(), size_t(ART_MIN_SOUNDS));
  EXPECT_EQ(want.size(), size_t(ART_MIN_SOUNDS)) << "the ranges of the key header";
  std::set<std::string> missing, extra;
  for (const a_keyset& k : want)
    if (!OP_Exists(k)) missing.insert(Name(k));
  for (const a_keyset& k : got)
    if (std::find_if(want.begin(), want.end(), [&](const a_keyset& w) { return Equal_Keys(w, k); }) == want.end())
      extra.insert(Name(k));
  EXPECT_TRUE(missing.empty()) << "missing: " << ::testing::PrintToString(missing);
  EXPECT_TRUE(extra.empty()) << "not asked for: " << ::testing::PrintToString(extra);
  EXPECT_FALSE(OP_Exists(Sound_Key(SND_ALERT))) << "167 is the system's beep";
}

TEST_F(ArtSounds, EachInTheOneFormatWithinItsLength) {
  for (int16 id : All_Ids()) {
    const Sound d = Load(id);
    const std::string key = Name(Sound_Key(id));
    ASSERT_TRUE(d.ok) << key << ": not 16-bit samples that are all there";
    EXPECT_EQ(d.rate, uint32(ART_SOUND_RATE)) << key;
    EXPECT_EQ(d.bits, uint32(ART_SOUND_BITS)) << key;
    EXPECT_EQ(d.len + 8, d.object_size) << key << ": the samples fill the object";
    const double most = id == ART_SOUND_FANFARE ? ART_SOUND_FANFARE_MAX_MS : ART_SOUND_MAX_MS;
    EXPECT_GE(d.Ms(), ART_SOUND_MIN_MS) << key;
    EXPECT_LE(d.Ms(), most) << key;
  }
}

TEST_F(ArtSounds, PeakAtMinus3dBAndFadedAtBothEnds) {
  for (int16 id : All_Ids()) {
    const Sound d = Load(id);
    const std::string key = Name(Sound_Key(id));
    ASSERT_TRUE(d.ok) << key;
    const double peak = d.Peak(), db = 20 * std::log10(peak);
    EXPECT_NEAR(db, -3.0, 0.1) << key;
    // Silence at the very ends; the first and last millisecond stay well
    // under the peak (a 5 ms fade reaches a tenth of it after 1 ms).
    EXPECT_LT(std::fabs(d.s.front()), 0.001) << key;
    EXPECT_LT(std::fabs(d.s.back()), 0.001) << key;
    const size_t ms1 = d.rate / 1000;
    double head = 0, tail = 0, mean = 0;
    for (size_t i = 0; i < ms1; ++i) {
      head = std::max(head, std::fabs(d.s[i]));
      tail = std::max(tail, std::fabs(d.s[d.s.size() - 1 - i]));
    }
    EXPECT_LT(head, 0.12 * peak) << key << ": no click at the start";
    EXPECT_LT(tail, 0.12 * peak) << key << ": no click at the end";
    for (double v : d.s) mean += v;
    EXPECT_LT(std::fabs(mean / double(d.s.size())), 0.02 * peak) << key << ": no offset";
  }
}

TEST_F(ArtSounds, EachDragRangeIsAScaleRisingById) {
  for (size_t r = ART_SOUND_FIRST_DRAG_RANGE; r < std::size(ART_SOUND_RANGES); ++r) {
    double last = 0;
    for (int16 id : Range_Ids(ART_SOUND_RANGES[r])) {
      const double hz = Pitch_Hz(Load(id));
      ASSERT_GT(hz, 0) << Name(Sound_Key(id)) << ": no pitch";
      // Next in a scale: a semitone to a major third above the last.
      if (last > 0) {
        EXPECT_GT(hz / last, 1.03) << Name(Sound_Key(id)) << ": " << hz << " Hz after " << last;
        EXPECT_LT(hz / last, 1.27) << Name(Sound_Key(id)) << ": " << hz << " Hz after " << last;
      }
      last = hz;
    }
  }
}

// The program plays each sound through its sound module: the device opens
// once for the one format, each sound is played once with its own samples
// (turned little-endian), and 167 is the system's beep.
TEST_F(ArtSounds, EverySoundOnceThroughSoundEffectOnTheHeadlessBackend) {
  ASSERT_TRUE(Host_Backend_Start_Headless(640, 480));
  ASSERT_EQ(Host_Backend_Audio(), &Host_Audio_Recorder());
  Host_Clock_Set_Manual(true);
  Host_Audio_Reset_Sink();
  Sound_Enable(true);
  std::vector<int16> ids = All_Ids();
  ids.insert(std::find(ids.begin(), ids.end(), int16(SND_SPRAY)), SND_ALERT);
  for (int16 id : ids) {
    Sound_Effect(id);
    Host_Clock_Advance_Millis(2000);  // each is over before the next
  }
  const std::vector<HostAudioEvent>& ev = Host_Audio_Events();
  ASSERT_EQ(ev.size(), ids.size() + 1);
  EXPECT_EQ(ev[0].kind, HostAudioEventKind::OPEN);
  EXPECT_EQ(ev[0].rate, uint32(ART_SOUND_RATE));
  EXPECT_EQ(ev[0].bits, ART_SOUND_BITS);
  for (size_t i = 0; i < ids.size(); ++i) {
    const HostAudioEvent& e = ev[i + 1];
    const std::string key = Name(Sound_Key(ids[i]));
    if (ids[i] == SND_ALERT) {
      EXPECT_EQ(e.kind, HostAudioEventKind::BEEP) << key;
      continue;
    }
    ASSERT_EQ(e.kind, HostAudioEventKind::PLAY) << key;
    EXPECT_EQ(e.rate, uint32(ART_SOUND_RATE)) << key;
    const std::vector<uint8> obj = Bytes(Sound_Key(ids[i]));
    std::vector<uint8> le(obj.begin() + 8, obj.end());
    for (size_t k = 0; k + 1 < le.size(); k += 2) std::swap(le[k], le[k + 1]);
    EXPECT_TRUE(e.samples == le) << key << ": other samples reached the device";
  }
  Sound_Stop();
  Host_Audio_Reset_Sink();
  Host_Clock_Set_Manual(false);
  Host_Backend_Stop();
}

TEST(ArtSoundTable, BadRowsStopTheRunNamingWhy) {
  struct Case {
    std::string text, want;
  };
  const Case cases[] = {
      {"150 \"A\" sine ms=50 notes=C5\n", "art/sounds.txt:1: sound 150 lies in no one sound range"},
      {"530-540 \"A\" bell ms=200 scale=major root=C4\n", "art/sounds.txt:1: sound 530-540 lies in no one sound range"},
      {"# a comment\n130 \"A\" sine ms=500 notes=C5\n", "art/sounds.txt:2: sound 130 lasts 500 ms: it must last 20 to 400"},
      {"130 \"A\" sine ms=10 notes=C5\n", "art/sounds.txt:1: sound 130 lasts 10 ms"},
      {"134 \"A\" brass ms=1600 notes=C5\n", "art/sounds.txt:1: sound 134 lasts 1600 ms: it must last 20 to 1500"},
      {"130 \"A\" sine ms=50 notes=C5\n130 \"B\" sine ms=50 notes=D5\n", "art/sounds.txt:2: sound 130 is already made on line 1"},
      {"521-533 \"A\" bell ms=200 scale=major root=C4\n525 \"B\" sine ms=50 notes=C5\n",
       "art/sounds.txt:2: sound 525 is already made on line 1"},
      {"130 \"A\" kazoo ms=50 notes=C5\n", "art/sounds.txt:1: no timbre kazoo"},
      {"130 \"A\" sine ms=50 notes=H4\n", "art/sounds.txt:1: bad note H4"},
      {"130 \"A\" sine ms=50 notes=C5:60\n", "art/sounds.txt:1: note C5:60 starts after the sound's end"},
      {"130 \"A\" sine ms=50 notes=C5 q=3\n", "art/sounds.txt:1: option q does not belong to a timbre sine"},
      {"130 \"A\" sine ms=50 notes=C5 decay=-1\n", "art/sounds.txt:1: decay must be"},
      {"521-533 \"A\" bell ms=200 scale=blues root=C4\n", "art/sounds.txt:1: scale=NAME expected"},
      {"521-533 \"A\" bell ms=200 scale=major root=G7\n", "art/sounds.txt:1: sound 525 would be above C8"},
  };
  for (const Case& c : cases) art_test::Expect_Table_Refused("sounds.txt", c.text, c.want);
  // The real table less one sound: every id must have one.
  std::istringstream full(art_test::Read_All(std::string(VELMOR_ART_DIR) + "/sounds.txt"));
  std::string line, less;
  while (std::getline(full, line))
    if (line.rfind("183 ", 0) != 0) less += line + "\n";
  art_test::Expect_Table_Refused("sounds.txt", less, "art/sounds.txt: no sound 183");
}

}  // namespace
