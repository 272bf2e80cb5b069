// Sound effects played from a picture library into the host's recording
// sink: the bytes and format that reach the device, one sound at a time,
// the switch, the beep, and sound objects that are missing or damaged.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "ResTestUtil.h"
#include "SoundTestSupport.h"
#include "TestSupport.h"
#include "host/HostAudio.h"
#include "host/HostClock.h"
#include "pixel/OP.h"
#include "PictLibWrite.h"
#include "platform/Resources.h"
#include "platform/SysIO.h"
#include "platform/SysSound.h"

namespace {

using Kind = HostAudioEventKind;

a_art_object Sound_Obj(int16 id, std::vector<uint8> bytes) {
  a_art_object o;
  o.key = a_keyset{SOUND_KEY_FAMILY, 0, id, 0};
  o.data = std::move(bytes);
  return o;
}

std::vector<uint8> Snd8(uint16 rate, std::vector<uint8> samples) {
  std::vector<uint8> out;
  std::string err;
  EXPECT_TRUE(Sound_Encode8(rate, samples, out, err)) << err;
  return out;
}

std::vector<uint8> Snd16(uint16 rate, std::vector<int16> samples) {
  std::vector<uint8> out;
  std::string err;
  EXPECT_TRUE(Sound_Encode16(rate, samples, out, err)) << err;
  return out;
}

// A header by hand: rate, bits, length, then the given sample bytes.
std::vector<uint8> Raw(uint16 rate, uint16 bits, uint32 len, size_t nbytes) {
  std::vector<uint8> b = {uint8(rate >> 8), uint8(rate), uint8(bits >> 8), uint8(bits),
                          uint8(len >> 24), uint8(len >> 16), uint8(len >> 8), uint8(len)};
  b.resize(8 + nbytes, 0x80);
  return b;
}

class SysSound : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Clock_Set_Manual(true);
    Host_Audio_Reset_Sink();
    OP_Init();
    Sound_Enable(true);
  }
  void TearDown() override {
    Sound_Stop();
    Sound_Enable(true);
    OP_Stop();
    Host_Audio_Reset_Sink();
    Host_Clock_Set_Manual(false);
    if (!path_.empty()) std::remove(path_.c_str());
  }

  void Library(std::vector<a_art_object> objs) {
    std::vector<uint8> bytes;
    std::string err;
    ASSERT_TRUE(ArtLib_Build(std::move(objs), bytes, err)) << err;
    const char* t = std::getenv("TMPDIR");
    std::string tmpl = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-snd-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    const int fd = ::mkstemp(buf.data());
    ASSERT_GE(fd, 0);
    ::close(fd);
    path_ = buf.data();
    std::ofstream f(path_, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    f.close();
    FSSpec spec;
    ASSERT_TRUE(Path_From_Text(spec, path_.c_str()));
    ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY);
  }

  static std::vector<Kind> Kinds() {
    std::vector<Kind> k;
    for (const HostAudioEvent& e : Host_Audio_Events()) k.push_back(e.kind);
    return k;
  }
  static std::vector<const HostAudioEvent*> Plays() { return soundtest::Played(); }

  std::string path_;
};

TEST_F(SysSound, PlaysTheStoredSamplesAtTheirRate) {
  Library({Sound_Obj(SND_BAR_SELECT, Snd8(11025, {0x80, 0xFF, 0x00, 0x7F})),
           Sound_Obj(SND_UNDO, Snd16(22050, {1, -2, 0x1234}))});
  Sound_Effect(SND_BAR_SELECT);
  ASSERT_EQ(Plays().size(), 1u);
  EXPECT_EQ(Plays()[0]->rate, 11025u);
  EXPECT_EQ(Plays()[0]->bits, 8);
  EXPECT_EQ(Plays()[0]->samples, (std::vector<uint8>{0x80, 0xFF, 0x00, 0x7F}));
  // 16-bit samples are stored big-endian and reach the device little-endian.
  Sound_Effect(SND_UNDO);
  ASSERT_EQ(Plays().size(), 2u);
  EXPECT_EQ(Plays()[1]->rate, 22050u);
  EXPECT_EQ(Plays()[1]->bits, 16);
  EXPECT_EQ(Plays()[1]->samples, (std::vector<uint8>{0x01, 0x00, 0xFE, 0xFF, 0x34, 0x12}));
  // Played twice, the same sound is turned only once.
  Sound_Effect(SND_UNDO);
  ASSERT_EQ(Plays().size(), 3u);
  EXPECT_EQ(Plays()[2]->samples, Plays()[1]->samples);
}

TEST_F(SysSound, DeviceStaysOpenForOneFormatAndReopensForAnother) {
  Library({Sound_Obj(130, Snd8(8000, {1, 2})), Sound_Obj(131, Snd8(8000, {3})),
           Sound_Obj(132, Snd8(16000, {4})), Sound_Obj(133, Snd16(16000, {5}))});
  Sound_Effect(130);
  Sound_Effect(131);
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::OPEN, Kind::PLAY, Kind::PLAY}));
  Sound_Effect(132);  // another rate
  Sound_Effect(133);  // same rate, other sample size
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::OPEN, Kind::PLAY, Kind::PLAY, Kind::CLOSE, Kind::OPEN,
                                        Kind::PLAY, Kind::CLOSE, Kind::OPEN, Kind::PLAY}));
  EXPECT_EQ(Host_Audio_Events()[7].rate, 16000u);
  EXPECT_EQ(Host_Audio_Events()[7].bits, 16);
}

TEST_F(SysSound, NewSoundWaitsAtMostFiveTicksThenCutsTheOldOneOff) {
  std::vector<uint8> second(8000, 0x80), short_one(400, 0x80);  // 1 s and 50 ms at 8 kHz
  Library({Sound_Obj(130, Snd8(8000, second)), Sound_Obj(131, Snd8(8000, short_one)),
           Sound_Obj(132, Snd8(8000, {9}))});
  Sound_Effect(130);
  EXPECT_FALSE(Sound_Done());
  uint32 t0 = Host_Clock_Millis();
  Sound_Effect(131);
  EXPECT_EQ(Host_Clock_Millis() - t0, 5u * 16u);
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::OPEN, Kind::PLAY, Kind::STOP, Kind::PLAY}));
  // A sound that ends within the wait is let finish.
  t0 = Host_Clock_Millis();
  Sound_Effect(132);
  EXPECT_EQ(Host_Clock_Millis() - t0, 4u * 16u);
  EXPECT_EQ(Kinds().size(), 5u);
  EXPECT_EQ(Kinds().back(), Kind::PLAY);
}

TEST_F(SysSound, SwitchedOffPlaysNothingAndSilencesThePlayingSound) {
  std::vector<uint8> second(8000, 0x80);
  Library({Sound_Obj(130, Snd8(8000, second))});
  Sound_Effect(130);
  ASSERT_FALSE(Sound_Done());
  Sound_Enable(false);
  EXPECT_TRUE(Sound_Done());
  EXPECT_EQ(Kinds().back(), Kind::STOP);
  const size_t n = Host_Audio_Events().size();
  Sound_Effect(130);
  Sound_Effect(SND_ALERT);
  Dev_Play(130, SOUND_CHAN_NARRATION);
  EXPECT_EQ(Host_Audio_Events().size(), n);
  Sound_Enable(true);
  Sound_Effect(130);
  EXPECT_EQ(Kinds().back(), Kind::PLAY);
}

TEST_F(SysSound, NoSoundIdAndTheAlertBeep) {
  Library({Sound_Obj(130, Snd8(8000, {1}))});
  Sound_Effect(SND_LINE);
  EXPECT_TRUE(Host_Audio_Events().empty());
  // The alert sound is the system's beep: no stored sound, no device.
  Sound_Effect(SND_ALERT);
  EXPECT_EQ(Kinds(), std::vector<Kind>{Kind::BEEP});
  EXPECT_FALSE(Host_Audio_Is_Open());
}

TEST_F(SysSound, MissingAndDamagedSoundsAreSkipped) {
  struct Case {
    const char* what;
    std::vector<uint8> bytes;
  };
  const std::vector<Case> cases = {
      {"short header", {0x1F, 0x40, 0x00, 0x08, 0x00}},
      {"12 bits", Raw(8000, 12, 4, 4)},
      {"rate 0", Raw(0, 8, 4, 4)},
      {"rate 500", Raw(500, 8, 4, 4)},
      {"length beyond the object", Raw(8000, 8, 5, 4)},
      {"huge length", Raw(8000, 16, 0xFFFFFFF0u, 4)},
      {"no samples", Raw(8000, 8, 0, 4)},
      {"half a 16-bit sample", Raw(8000, 16, 3, 4)},
  };
  std::vector<a_art_object> objs;
  for (size_t i = 0; i < cases.size(); ++i) objs.push_back(Sound_Obj(int16(140 + i), cases[i].bytes));
  objs.push_back(Sound_Obj(130, Snd8(8000, {7, 8})));
  // A longer object than its samples: the rest is not played.
  std::vector<uint8> longer = Raw(8000, 8, 2, 6);
  objs.push_back(Sound_Obj(131, longer));
  Library(std::move(objs));
  // Each bad sound twice over: none may keep a lock on the library.
  for (int round = 0; round < 2; ++round) {
    for (size_t i = 0; i < cases.size(); ++i) {
      Sound_Effect(int16(140 + i));
      EXPECT_TRUE(Plays().empty()) << cases[i].what;
    }
    Sound_Effect(999);  // not in the library
  }
  EXPECT_TRUE(Host_Audio_Events().empty());
  Sound_Effect(130);
  ASSERT_EQ(Plays().size(), 1u);
  EXPECT_EQ(Plays()[0]->samples, (std::vector<uint8>{7, 8}));
  Sound_Effect(131);
  ASSERT_EQ(Plays().size(), 2u);
  EXPECT_EQ(Plays()[1]->samples, (std::vector<uint8>{0x80, 0x80}));
  // A missing sound after a good one plays nothing, not the old one again.
  Sound_Effect(999);
  EXPECT_EQ(Plays().size(), 2u);
  // The library's three locks are all free (the played sound is let go by
  // Sound_Stop).
  Sound_Stop();
  Ptr a = OP_Lock(a_keyset{6, 0, 130, 0}), b = OP_Lock(a_keyset{6, 0, 131, 0}),
      c = OP_Lock(a_keyset{6, 0, 140, 0});
  EXPECT_TRUE(a && b && c);
  OP_Unlock(a);
  OP_Unlock(b);
  OP_Unlock(c);
}

TEST_F(SysSound, DeviceThatCannotOpenSwitchesSoundOff) {
  Library({Sound_Obj(130, Snd8(8000, {1}))});
  Host_Audio_Reset_Sink(false);
  Sound_Effect(130);
  EXPECT_FALSE(Sound_Enabled());
  Host_Audio_Reset_Sink(true);
  Sound_Effect(130);  // still off, though a device would be there now
  EXPECT_TRUE(Host_Audio_Events().empty());
  Sound_Enable(true);
  Sound_Effect(130);
  EXPECT_EQ(Plays().size(), 1u);
}

TEST_F(SysSound, QuietAndDoneConcernOnlyTheEffectsChannel) {
  std::vector<uint8> second(8000, 0x80);
  Library({Sound_Obj(130, Snd8(8000, second))});
  // Narration's sounds come from a resource file of their own.
  restest::TempFile narr(restest::Archive({{kNarrationResType, 130, Snd8(8000, second)}}));
  const int16 slot = HOpenResFile(0, 0, narr.path.c_str(), 0);
  ASSERT_GT(slot, 0);
  Narration_Init(slot);
  Dev_Play(130, SOUND_CHAN_NARRATION);
  EXPECT_FALSE(Dev_Done());
  EXPECT_TRUE(Sound_Done());
  Sound_Quiet();
  EXPECT_FALSE(Dev_Done());  // narration goes on
  Sound_Effect(130);         // cuts it off after the wait
  EXPECT_FALSE(Sound_Done());
  Sound_Quiet();
  EXPECT_TRUE(Sound_Done());
  EXPECT_EQ(Kinds().back(), Kind::STOP);
  Sound_Stop();
  EXPECT_EQ(Kinds().back(), Kind::CLOSE);
  EXPECT_FALSE(Host_Audio_Is_Open());
  Narration_Stop();
  CloseResFile(slot);
}

}  // namespace

namespace {

TEST_F(SysSound, AfterTheDeviceClosedTheNextSoundIsTheOneAskedFor) {
  Library({Sound_Obj(130, Snd8(8000, {1})), Sound_Obj(131, Snd8(8000, {2}))});
  Sound_Effect(130);
  Dev_Close();  // the device goes while sound 130 is still held
  Sound_Effect(131);
  ASSERT_EQ(Plays().size(), 2u);
  EXPECT_EQ(Plays()[1]->samples, std::vector<uint8>{2});
  Dev_Close();
  Sound_Effect(999);
  EXPECT_EQ(Plays().size(), 2u);
}

}  // namespace
