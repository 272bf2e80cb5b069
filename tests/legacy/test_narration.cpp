// Narration: the sounds of the narration file the build synthesises, played
// on channel 2 into the host's recording sink; what is available, when it is
// done, quieting and stopping it; and damaged "WAVE" resources refused as
// damaged sound objects are.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "../platform/ResTestUtil.h"
#include "SoundTestSupport.h"
#include "TestSupport.h"
#include "host/HostAudio.h"
#include "host/HostClock.h"
#include "platform/Resources.h"
#include "platform/SysSound.h"

namespace {

using Kind = HostAudioEventKind;

// A sound in the program's format: rate, bits, length big-endian, then the bytes.
std::vector<uint8> Wave(uint16 rate, uint16 bits, uint32 len, std::vector<uint8> data) {
  std::vector<uint8> b = {uint8(rate >> 8), uint8(rate), uint8(bits >> 8), uint8(bits),
                          uint8(len >> 24), uint8(len >> 16), uint8(len >> 8), uint8(len)};
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

class Narration : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Clock_Set_Manual(true);
    Host_Audio_Reset_Sink();
    Sound_Enable(true);
    Resources_Init();
  }
  void TearDown() override {
    Narration_Stop();
    Sound_Stop();
    Sound_Enable(true);
    for (int16 slot : opened_) CloseResFile(slot);
    UseResFile(0);
    Host_Audio_Reset_Sink();
    Host_Clock_Set_Manual(false);
  }

  // Opens a resource file and makes it the narration file; the program's
  // own resources stay current.
  int16 Open_Narration(const std::string& path) {
    const int16 slot = HOpenResFile(0, 0, path.c_str(), 0);
    EXPECT_GT(slot, 0) << path;
    UseResFile(0);
    if (slot > 0) opened_.push_back(slot);
    EXPECT_TRUE(Narration_Init(slot));
    return slot;
  }

  static std::vector<const HostAudioEvent*> Plays() { return soundtest::Played(); }

  std::vector<int16> opened_;
};

TEST_F(Narration, TheBuiltFilePlaysEachSoundOnTheSink) {
  Open_Narration(VELMOR_NARRATION_FILE);
  struct Want {
    int16 id;
    uint32 rate;
    uint16 bits;
    uint32 samples;
  };
  // The lengths the description gives: the chime's notes and rests, the
  // falling pair, the 8-bit blip.
  const Want wants[] = {
      {1, 11025, 16, 1323 + 220 + 1323 + 220 + 2205},
      {2, 11025, 16, 1102 + 330 + 1764},
      {3, 8000, 8, 640},
  };
  for (const Want& w : wants) {
    ASSERT_TRUE(Is_Narration_Avail(w.id)) << w.id;
    Narration_Play(w.id);
    ASSERT_FALSE(Plays().empty()) << w.id;
    const HostAudioEvent& e = *Plays().back();
    EXPECT_EQ(e.rate, w.rate) << w.id;
    EXPECT_EQ(e.bits, w.bits) << w.id;
    ASSERT_EQ(e.samples.size(), w.samples * (w.bits / 8)) << w.id;
    // The stored samples reach the device, 16-bit ones turned little-endian:
    // the resource's bytes, pairwise swapped.
    ResHandle h = Get_Res(w.id, kNarrationResType, opened_.back());
    ASSERT_NE(h, nullptr);
    const uint8* stored = Res_Lock(h) + SOUND_HEADER_SIZE;
    for (size_t i = 0; i < e.samples.size(); ++i) {
      const size_t from = w.bits == 16 ? (i ^ 1) : i;
      ASSERT_EQ(e.samples[i], stored[from]) << w.id << " byte " << i;
    }
    // A sound, not silence: its loudest sample is near its level.
    int32 loudest = 0;
    for (size_t i = 0; i < e.samples.size(); i += w.bits / 8) {
      const int32 v = w.bits == 16 ? int16(uint16(e.samples[i] | (e.samples[i + 1] << 8)))
                                   : int32(e.samples[i]) - 128;
      loudest = std::max(loudest, std::abs(v));
    }
    EXPECT_GT(loudest, w.bits == 16 ? 12000 : 50) << w.id;
  }
  // The same description always gives the same file: a second play of the
  // chime sends the same bytes.
  const std::vector<uint8> chime = Plays()[0]->samples;
  Narration_Play(1);
  EXPECT_EQ(Plays().back()->samples, chime);
}

TEST_F(Narration, AvailableOnlyFromTheNarrationFileWhileSoundIsOn) {
  const std::vector<uint8> wave = Wave(11025, 8, 4, {1, 2, 3, 4});
  restest::TempFile narr(restest::Archive({{kNarrationResType, 5, wave}}));
  restest::TempFile other(restest::Archive({{kNarrationResType, 6, wave}}));
  // No narration file yet.
  EXPECT_FALSE(Is_Narration_Avail(5));
  Open_Narration(narr.path);
  // The other file is current, yet its sound is not narration's.
  const int16 other_slot = HOpenResFile(0, 0, other.path.c_str(), 0);
  ASSERT_GT(other_slot, 0);
  opened_.push_back(other_slot);
  EXPECT_TRUE(Is_Narration_Avail(5));
  EXPECT_FALSE(Is_Narration_Avail(6));
  EXPECT_EQ(CurResFile(), other_slot);
  Narration_Play(6);
  EXPECT_TRUE(Plays().empty());

  Sound_Enable(false);
  EXPECT_FALSE(Is_Narration_Avail(5));
  Narration_Play(5);
  EXPECT_TRUE(Plays().empty());
  Sound_Enable(true);

  Narration_Play(5);
  ASSERT_EQ(Plays().size(), 1u);
  EXPECT_EQ(Plays()[0]->samples, (std::vector<uint8>{1, 2, 3, 4}));
  Narration_Stop();
  EXPECT_FALSE(Is_Narration_Avail(5));
  Narration_Play(5);
  EXPECT_EQ(Plays().size(), 1u);
}

TEST_F(Narration, DoneQuietAndStopKeepToTheNarrationChannel) {
  // 1000 samples at 1000 Hz: one second.
  restest::TempFile narr(restest::Archive({{kNarrationResType, 1, Wave(1000, 8, 1000, std::vector<uint8>(1000, 0x90))}}));
  Open_Narration(narr.path);
  EXPECT_TRUE(Narration_Done());
  Narration_Play(1);
  EXPECT_FALSE(Narration_Done());
  // The effects' own calls leave narration alone.
  EXPECT_TRUE(Sound_Done());
  Sound_Quiet();
  EXPECT_FALSE(Narration_Done());
  Host_Clock_Advance_Millis(1100);
  EXPECT_TRUE(Narration_Done());

  Narration_Play(1);
  ASSERT_FALSE(Narration_Done());
  Narration_Quiet();
  EXPECT_TRUE(Narration_Done());
  EXPECT_EQ(Host_Audio_Events().back().kind, Kind::STOP);

  Narration_Play(1);
  ASSERT_FALSE(Narration_Done());
  Narration_Stop();
  EXPECT_TRUE(Narration_Done());
  EXPECT_FALSE(Is_Narration_Avail(1));
}

TEST_F(Narration, DamagedWavesAreRefusedAsDamagedSoundsAre) {
  struct Case {
    int16 id;
    const char* what;
    std::vector<uint8> bytes;
  };
  const std::vector<Case> bad = {
      {10, "shorter than its header", {0x2B, 0x11, 0x00}},
      {11, "12 bits a sample", Wave(11025, 12, 2, {1, 2})},
      {12, "a rate below 1000 Hz", Wave(999, 8, 2, {1, 2})},
      {13, "no samples", Wave(11025, 8, 0, {})},
      {14, "a length past its end", Wave(11025, 8, 5, {1, 2, 3, 4})},
      {15, "half a 16-bit sample", Wave(11025, 16, 3, {1, 2, 3, 4})},
      {16, "a length past 4 GB", Wave(11025, 8, 0xFFFFFFFFu, {1, 2})},
  };
  std::vector<restest::Res> res;
  for (const Case& c : bad) res.push_back({kNarrationResType, c.id, c.bytes});
  // The program's question-beep id is an ordinary sound on this channel.
  res.push_back({kNarrationResType, SND_ALERT, Wave(11025, 16, 2, {0x12, 0x34})});
  restest::TempFile narr(restest::Archive(res));
  Open_Narration(narr.path);
  for (const Case& c : bad) {
    Narration_Play(c.id);
    EXPECT_TRUE(Plays().empty()) << c.what;
    EXPECT_TRUE(Narration_Done()) << c.what;
  }
  Narration_Play(SND_ALERT);
  ASSERT_EQ(Plays().size(), 1u);
  EXPECT_EQ(Plays()[0]->samples, (std::vector<uint8>{0x34, 0x12}));
  for (const HostAudioEvent& e : Host_Audio_Events()) EXPECT_NE(e.kind, Kind::BEEP);
}

}  // namespace
