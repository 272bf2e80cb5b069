// Audio output: formats, the one open device and its time on the host clock.
// The samples go to the running backend's output (HostDisplay::Audio), or to
// the recording sink when the backend has none or none runs.
#include "host/HostAudio.h"

#include <algorithm>

#include "host/HostBackend.h"
#include "host/HostClock.h"

namespace {

constexpr uint32 kMinRate = 1000;
constexpr uint32 kMaxRate = 192000;

struct Device {
  HostAudioOutput* out = nullptr;  // the output it was opened on; NIL: none is open
  uint32 rate = 0;
  uint16 bits = 0;
  bool playing = false;
  uint32 start_ms = 0;
  uint32 length_ms = 0;
};
Device g_dev;

// Every output a device or a beep went to, so that shutting down reaches
// each (the outputs live as long as the program).
std::vector<HostAudioOutput*> g_outputs_used;

HostAudioOutput& Output() {
  HostAudioOutput* out = Host_Backend_Audio();
  if (!out) out = &Host_Audio_Recorder();
  if (std::find(g_outputs_used.begin(), g_outputs_used.end(), out) == g_outputs_used.end())
    g_outputs_used.push_back(out);
  return *out;
}

bool Valid_Format(uint32 rate, uint16 bits) {
  return (bits == 8 || bits == 16) && rate >= kMinRate && rate <= kMaxRate;
}

}  // namespace

bool Host_Audio_Open(uint32 rate, uint16 bits) {
  Host_Audio_Close();
  if (!Valid_Format(rate, bits)) return false;
  HostAudioOutput& out = Output();
  if (!out.Open(rate, bits)) return false;
  g_dev = Device{};
  g_dev.out = &out;
  g_dev.rate = rate;
  g_dev.bits = bits;
  return true;
}

void Host_Audio_Close() {
  if (!g_dev.out) return;
  Host_Audio_Stop();
  g_dev.out->Close();
  g_dev = Device{};
}

bool Host_Audio_Is_Open() { return g_dev.out != nullptr; }
uint32 Host_Audio_Rate() { return g_dev.out ? g_dev.rate : 0; }
uint16 Host_Audio_Bits() { return g_dev.out ? g_dev.bits : 0; }

bool Host_Audio_Play(const void* samples, uint32 len) {
  if (!g_dev.out || samples == nullptr || len == 0) return false;
  const uint32 bytes = g_dev.bits / 8u;
  if (len % bytes != 0) return false;
  // Its length on the clock, rounded up so that even a tiny sound plays a
  // while. An output's queue empties into its device well before the sound
  // is heard to its end, so the clock, not the output, decides when it is over.
  const uint64 frames = len / bytes;
  const uint64 ms = (frames * 1000u + g_dev.rate - 1) / g_dev.rate;
  const uint32 length_ms = uint32(ms > 0xFFFFFFF ? 0xFFFFFFF : ms);
  if (!g_dev.out->Play(samples, len, g_dev.rate, g_dev.bits, Host_Audio_Is_Playing())) return false;
  g_dev.playing = true;
  g_dev.start_ms = Host_Clock_Millis();
  g_dev.length_ms = length_ms;
  return true;
}

void Host_Audio_Stop() {
  if (!g_dev.out) return;
  g_dev.out->Stop(Host_Audio_Is_Playing());
  g_dev.playing = false;
}

bool Host_Audio_Is_Playing() {
  if (!g_dev.out || !g_dev.playing) return false;
  if (Host_Clock_Millis() - g_dev.start_ms >= g_dev.length_ms) g_dev.playing = false;
  return g_dev.playing;
}

void Host_Audio_Beep() { Output().Beep(); }

void Host_Audio_Shutdown() {
  Host_Audio_Close();
  for (HostAudioOutput* out : g_outputs_used) out->Shutdown();
}

const std::vector<HostAudioEvent>& Host_Audio_Events() { return Host_Audio_Recorder().Events(); }

void Host_Audio_Reset_Sink(bool device_available) {
  // A device of another output is closed properly; the sink's is forgotten
  // with its log.
  if (g_dev.out && g_dev.out != &Host_Audio_Recorder()) Host_Audio_Close();
  g_dev = Device{};
  Host_Audio_Recorder().Reset(device_available);
}
