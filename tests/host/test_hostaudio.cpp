// The audio output's recording sink: formats it opens, what a play hands it,
// one sound at a time on the host clock, and the beep apart from the device.
#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "host/HostAudio.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"

namespace {

using Kind = HostAudioEventKind;

class HostAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Clock_Set_Manual(true);
    Host_Audio_Reset_Sink();
  }
  void TearDown() override {
    Host_Audio_Close();
    Host_Audio_Reset_Sink();
    Host_Clock_Set_Manual(false);
  }
  static std::vector<Kind> Kinds() {
    std::vector<Kind> k;
    for (const HostAudioEvent& e : Host_Audio_Events()) k.push_back(e.kind);
    return k;
  }
};

TEST_F(HostAudio, PlaysForItsLengthOnTheClock) {
  ASSERT_TRUE(Host_Audio_Open(8000, 8));
  EXPECT_EQ(Host_Audio_Rate(), 8000u);
  EXPECT_EQ(Host_Audio_Bits(), 8);
  std::vector<uint8> s(800);  // 100 ms
  for (size_t i = 0; i < s.size(); ++i) s[i] = uint8(i * 7);
  ASSERT_TRUE(Host_Audio_Play(s.data(), uint32(s.size())));
  s[0] ^= 0xFF;  // the sink keeps its own copy
  EXPECT_TRUE(Host_Audio_Is_Playing());
  Host_Clock_Advance_Millis(99);
  EXPECT_TRUE(Host_Audio_Is_Playing());
  Host_Clock_Advance_Millis(1);
  EXPECT_FALSE(Host_Audio_Is_Playing());

  ASSERT_EQ(Kinds(), (std::vector<Kind>{Kind::OPEN, Kind::PLAY}));
  const HostAudioEvent& play = Host_Audio_Events()[1];
  EXPECT_EQ(play.rate, 8000u);
  EXPECT_EQ(play.bits, 8);
  ASSERT_EQ(play.samples.size(), 800u);
  EXPECT_EQ(play.samples[0], 0);
  EXPECT_EQ(play.samples[799], uint8(799 * 7));
}

TEST_F(HostAudio, NewSoundCutsOffThePlayingOne) {
  ASSERT_TRUE(Host_Audio_Open(10000, 16));
  std::vector<uint8> a(20000), b(200);  // 1 s and 10 ms of 16-bit samples
  ASSERT_TRUE(Host_Audio_Play(a.data(), uint32(a.size())));
  Host_Clock_Advance_Millis(10);
  ASSERT_TRUE(Host_Audio_Play(b.data(), uint32(b.size())));
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::OPEN, Kind::PLAY, Kind::STOP, Kind::PLAY}));
  // The new one's length counts from its own start.
  Host_Clock_Advance_Millis(9);
  EXPECT_TRUE(Host_Audio_Is_Playing());
  Host_Clock_Advance_Millis(1);
  EXPECT_FALSE(Host_Audio_Is_Playing());
  // Stopping a finished sound is not a cut.
  Host_Audio_Stop();
  Host_Audio_Close();
  EXPECT_EQ(Kinds().back(), Kind::CLOSE);
  EXPECT_EQ(Kinds().size(), 5u);
  EXPECT_FALSE(Host_Audio_Is_Open());
  EXPECT_EQ(Host_Audio_Rate(), 0u);
}

TEST_F(HostAudio, RefusesFormatsAndSamplesItCannotPlay) {
  struct Case {
    uint32 rate;
    uint16 bits;
  };
  for (const Case& c : {Case{8000, 12}, Case{8000, 0}, Case{999, 8}, Case{192001, 16}, Case{0, 8}}) {
    EXPECT_FALSE(Host_Audio_Open(c.rate, c.bits)) << c.rate << " " << c.bits;
    EXPECT_FALSE(Host_Audio_Is_Open());
  }
  const uint8 s[3] = {1, 2, 3};
  EXPECT_FALSE(Host_Audio_Play(s, 3));  // nothing open
  ASSERT_TRUE(Host_Audio_Open(192000, 16));
  EXPECT_FALSE(Host_Audio_Play(s, 3));  // half a sample
  EXPECT_FALSE(Host_Audio_Play(s, 0));
  EXPECT_FALSE(Host_Audio_Play(nullptr, 2));
  EXPECT_TRUE(Host_Audio_Play(s, 2));
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::OPEN, Kind::PLAY}));
}

TEST_F(HostAudio, WithoutADeviceNothingOpens) {
  Host_Audio_Reset_Sink(false);
  EXPECT_FALSE(Host_Audio_Open(22050, 8));
  EXPECT_FALSE(Host_Audio_Is_Playing());
  Host_Audio_Beep();
  EXPECT_TRUE(Host_Audio_Events().empty());
}

TEST_F(HostAudio, BeepLeavesTheDeviceAlone) {
  ASSERT_TRUE(Host_Audio_Open(8000, 8));
  std::vector<uint8> s(8000);
  ASSERT_TRUE(Host_Audio_Play(s.data(), uint32(s.size())));
  Host_Audio_Beep();
  EXPECT_TRUE(Host_Audio_Is_Playing());
  EXPECT_EQ(Host_Audio_Rate(), 8000u);
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::OPEN, Kind::PLAY, Kind::BEEP}));
}

// The headless backend's output is the recorder; a device keeps the output
// it was opened on, so it closes there even after the backend has stopped.
TEST_F(HostAudio, ADeviceStaysWithTheBackendItWasOpenedOn) {
  ASSERT_TRUE(Host_Backend_Start_Headless(640, 480));
  EXPECT_EQ(Host_Backend_Audio(), &Host_Audio_Recorder());
  ASSERT_TRUE(Host_Audio_Open(8000, 16));
  const uint8 s[4] = {1, 2, 3, 4};
  ASSERT_TRUE(Host_Audio_Play(s, 4));
  Host_Backend_Stop();
  EXPECT_EQ(Host_Backend_Audio(), nullptr);
  EXPECT_TRUE(Host_Audio_Is_Open());
  Host_Clock_Advance_Millis(1);
  Host_Audio_Close();
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::OPEN, Kind::PLAY, Kind::CLOSE}));
}

}  // namespace
