// Audio output: one mono PCM sound at a time, and the system's beep.
//
// The device is opened for one format (sample rate, 8-bit unsigned or
// 16-bit signed little-endian samples); Host_Audio_Play hands it a whole
// sound, which replaces whatever was playing. Nothing here blocks: playing
// queues the samples and returns.
//
// The sound goes to the running backend's audio output (HostDisplay::Audio).
// The sdl backend's is SDL's audio output (HostBackendSdl.cpp): the audio
// subsystem is started on the first open; when there is no audio device the
// open fails and callers stay silent, which is not an error. The headless
// backend's is a recording sink (HostBackendHeadless.cpp), which also
// stands in when no backend runs, as in tests: it keeps a log of what the
// program did with the device.
// On every output, a sound counts as playing for its length in samples on
// the host clock (so tests on the manual clock decide when it ends).
#pragma once

#include <vector>

#include "platform/Types.h"

// Opens the output for rate samples a second of bits (8 or 16) per sample,
// one channel; an open device is closed first. FALSE when the format is not
// one of those, the rate is outside 1000 .. 192000, or no device can be had.
bool Host_Audio_Open(uint32 rate, uint16 bits);
// Stops the sound and closes the device; nothing when none is open.
void Host_Audio_Close();
bool Host_Audio_Is_Open();
// The open device's format (0 when none is open).
uint32 Host_Audio_Rate();
uint16 Host_Audio_Bits();

// Starts the sound: len bytes of samples in the open format (16-bit samples
// little-endian). The bytes are copied. A sound still playing is cut off.
// FALSE when no device is open, len is 0 or not a whole number of samples.
bool Host_Audio_Play(const void* samples, uint32 len);
// Cuts the playing sound off (the device stays open).
void Host_Audio_Stop();
// TRUE while a sound is playing on the open device.
bool Host_Audio_Is_Playing();

// The system's short question beep, apart from the sound device (it neither
// opens, changes nor stops it). Silent when there is no audio output.
void Host_Audio_Beep();

// Closes the device and the beep's output and stops the audio subsystem.
void Host_Audio_Shutdown();

// --- Recording sink (the headless backend, and no backend) -----------------------------

enum class HostAudioEventKind { OPEN, CLOSE, PLAY, STOP, BEEP };

struct HostAudioEvent {
  HostAudioEventKind kind;
  uint32 rate = 0;  // OPEN and PLAY: the device's format
  uint16 bits = 0;
  std::vector<uint8> samples;  // PLAY: the bytes played
};

// What the program did with the sink's device since the last reset.
const std::vector<HostAudioEvent>& Host_Audio_Events();
// Closes the sink's device, clears its log and sets whether a device can be
// opened (an unavailable one fails every open, like a machine without audio).
void Host_Audio_Reset_Sink(bool device_available = true);

// --- For backend implementations ------------------------------------------------------

// One backend's audio output. Host_Audio_* check the formats and keep the
// time; the output only moves the samples.
class HostAudioOutput {
 public:
  virtual ~HostAudioOutput() = default;
  // Opens the one device in a valid format; FALSE when none can be had.
  virtual bool Open(uint32 rate, uint16 bits) = 0;
  // Closes the open device.
  virtual void Close() = 0;
  // Starts len bytes of samples on the open device in its format, in place
  // of whatever it plays; cut_off tells that a sound was still playing.
  // FALSE when the output refuses them.
  virtual bool Play(const void* samples, uint32 len, uint32 rate, uint16 bits, bool cut_off) = 0;
  // Stops the open device's sound; was_playing tells that one still played.
  virtual void Stop(bool was_playing) = 0;
  // The system's beep, apart from the device.
  virtual void Beep() = 0;
  // Lets go of everything the output holds (the device is already closed).
  virtual void Shutdown() {}
};

// The recording sink (HostBackendHeadless.cpp).
class HostAudioRecorder : public HostAudioOutput {
 public:
  bool Open(uint32 rate, uint16 bits) override;
  void Close() override;
  bool Play(const void* samples, uint32 len, uint32 rate, uint16 bits, bool cut_off) override;
  void Stop(bool was_playing) override;
  void Beep() override;
  // Clears the log and sets whether a device can be opened.
  void Reset(bool device_available);
  const std::vector<HostAudioEvent>& Events() const { return events_; }

 private:
  void Log(HostAudioEventKind kind, uint32 rate = 0, uint16 bits = 0);
  bool available_ = true;
  std::vector<HostAudioEvent> events_;
};
HostAudioRecorder& Host_Audio_Recorder();
