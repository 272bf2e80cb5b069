// Audio output through SDL's queued audio, or the recording sink.
#include "host/HostAudio.h"

#include <SDL.h>

#include <cmath>
#include <cstring>

#include "host/HostByteOrder.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"

namespace {

constexpr uint32 kMinRate = 1000;
constexpr uint32 kMaxRate = 192000;

// --- The open device (either kind) ---
struct Device {
  bool open = false;
  bool sdl = false;  // which output the device was opened on
  uint32 rate = 0;
  uint16 bits = 0;
  SDL_AudioDeviceID id = 0;
};
Device g_dev;

// --- SDL ---
bool g_sdl_audio_started = false;
bool g_sdl_audio_failed = false;  // tried once and failed: no audio this run
SDL_AudioDeviceID g_beep_dev = 0;
bool g_beep_failed = false;

bool Sdl_Audio_Start() {
  if (g_sdl_audio_started) return true;
  if (g_sdl_audio_failed) return false;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    g_sdl_audio_failed = true;
    return false;
  }
  g_sdl_audio_started = true;
  return true;
}

// Opens an output of this format; SDL converts to whatever the hardware
// takes, so any rate in range will do.
SDL_AudioDeviceID Sdl_Open(uint32 rate, uint16 bits) {
  if (!Sdl_Audio_Start()) return 0;
  SDL_AudioSpec want{}, have{};
  want.freq = int(rate);
  want.format = bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  want.channels = 1;
  want.samples = 1024;
  want.callback = nullptr;  // queued audio: nothing runs on our side of the audio thread
  return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
}

// --- Recording sink (its timing also serves the sdl device) ---
struct Sink {
  bool available = true;
  bool playing = false;
  uint32 start_ms = 0;
  uint32 length_ms = 0;
  std::vector<HostAudioEvent> events;
};
Sink g_sink;

void Log(HostAudioEventKind kind, uint32 rate = 0, uint16 bits = 0) {
  HostAudioEvent e;
  e.kind = kind;
  e.rate = rate;
  e.bits = bits;
  g_sink.events.push_back(std::move(e));
}

bool Valid_Format(uint32 rate, uint16 bits) {
  return (bits == 8 || bits == 16) && rate >= kMinRate && rate <= kMaxRate;
}

// The beep: a short tone with a fade-out, so it does not click.
constexpr uint32 kBeepRate = 22050;
std::vector<int16> Make_Beep() {
  const uint32 n = kBeepRate * 12 / 100;  // 120 ms
  std::vector<int16> s(n);
  for (uint32 i = 0; i < n; ++i) {
    const double t = double(i) / kBeepRate;
    const double fade = 1.0 - double(i) / n;
    s[i] = int16(std::lround(6000.0 * fade * std::sin(2.0 * 3.14159265358979 * 880.0 * t)));
  }
  return s;
}

}  // namespace

bool Host_Audio_Open(uint32 rate, uint16 bits) {
  Host_Audio_Close();
  if (!Valid_Format(rate, bits)) return false;
  const bool sdl = Host_Backend_Kind() == HostBackendKind::SDL;
  if (sdl) {
    const SDL_AudioDeviceID id = Sdl_Open(rate, bits);
    if (id == 0) return false;
    g_dev.id = id;
  } else {
    if (!g_sink.available) return false;
    Log(HostAudioEventKind::OPEN, rate, bits);
  }
  g_dev.open = true;
  g_dev.sdl = sdl;
  g_dev.rate = rate;
  g_dev.bits = bits;
  return true;
}

void Host_Audio_Close() {
  if (!g_dev.open) return;
  Host_Audio_Stop();
  if (g_dev.sdl) {
    SDL_CloseAudioDevice(g_dev.id);
  } else {
    Log(HostAudioEventKind::CLOSE);
  }
  g_dev = Device{};
}

bool Host_Audio_Is_Open() { return g_dev.open; }
uint32 Host_Audio_Rate() { return g_dev.open ? g_dev.rate : 0; }
uint16 Host_Audio_Bits() { return g_dev.open ? g_dev.bits : 0; }

bool Host_Audio_Play(const void* samples, uint32 len) {
  if (!g_dev.open || samples == nullptr || len == 0) return false;
  const uint32 bytes = g_dev.bits / 8u;
  if (len % bytes != 0) return false;
  // Its length on the clock, rounded up so that even a tiny sound plays a while.
  const uint64 frames = len / bytes;
  const uint64 ms = (frames * 1000u + g_dev.rate - 1) / g_dev.rate;
  const uint32 length_ms = uint32(ms > 0xFFFFFFF ? 0xFFFFFFF : ms);
  if (g_dev.sdl) {
    SDL_ClearQueuedAudio(g_dev.id);
    if (SDL_QueueAudio(g_dev.id, samples, len) != 0) return false;
    SDL_PauseAudioDevice(g_dev.id, 0);
    // The queue empties into the device's buffer well before the sound is
    // heard to its end, so the clock decides when it is over.
    g_sink.playing = true;
    g_sink.start_ms = Host_Clock_Millis();
    g_sink.length_ms = length_ms;
    return true;
  }
  if (Host_Audio_Is_Playing()) Log(HostAudioEventKind::STOP);  // cut off
  HostAudioEvent e;
  e.kind = HostAudioEventKind::PLAY;
  e.rate = g_dev.rate;
  e.bits = g_dev.bits;
  const uint8* p = static_cast<const uint8*>(samples);
  e.samples.assign(p, p + len);
  g_sink.events.push_back(std::move(e));
  g_sink.playing = true;
  g_sink.start_ms = Host_Clock_Millis();
  g_sink.length_ms = length_ms;
  return true;
}

void Host_Audio_Stop() {
  if (!g_dev.open) return;
  if (g_dev.sdl) {
    SDL_ClearQueuedAudio(g_dev.id);
  } else if (Host_Audio_Is_Playing()) {
    Log(HostAudioEventKind::STOP);
  }
  g_sink.playing = false;
}

bool Host_Audio_Is_Playing() {
  if (!g_dev.open) return false;
  if (!g_sink.playing) return false;
  if (Host_Clock_Millis() - g_sink.start_ms >= g_sink.length_ms) g_sink.playing = false;
  return g_sink.playing;
}

void Host_Audio_Beep() {
  if (Host_Backend_Kind() != HostBackendKind::SDL) {
    if (g_sink.available) Log(HostAudioEventKind::BEEP);
    return;
  }
  if (g_beep_dev == 0) {
    if (g_beep_failed) return;
    g_beep_dev = Sdl_Open(kBeepRate, 16);
    if (g_beep_dev == 0) {
      g_beep_failed = true;
      return;
    }
  }
  static const std::vector<int16> beep = Make_Beep();
  // Stored little-endian like every sample we queue.
  std::vector<uint8> bytes(beep.size() * 2);
  for (size_t i = 0; i < beep.size(); ++i) Store_LE16(bytes.data() + 2 * i, uint16(beep[i]));
  SDL_ClearQueuedAudio(g_beep_dev);
  if (SDL_QueueAudio(g_beep_dev, bytes.data(), uint32(bytes.size())) == 0) SDL_PauseAudioDevice(g_beep_dev, 0);
}

void Host_Audio_Shutdown() {
  Host_Audio_Close();
  if (g_beep_dev != 0) {
    SDL_CloseAudioDevice(g_beep_dev);
    g_beep_dev = 0;
  }
  if (g_sdl_audio_started) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_sdl_audio_started = false;
  }
}

const std::vector<HostAudioEvent>& Host_Audio_Events() { return g_sink.events; }

void Host_Audio_Reset_Sink(bool device_available) {
  if (g_dev.open && g_dev.sdl) Host_Audio_Close();
  g_dev = Device{};
  g_sink = Sink{};
  g_sink.available = device_available;
}
