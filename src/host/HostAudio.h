// Audio output: one mono PCM sound at a time, and the system's beep.
//
// The device is opened for one format (sample rate, 8-bit unsigned or
// 16-bit signed little-endian samples); Host_Audio_Play hands it a whole
// sound, which replaces whatever was playing. Nothing here blocks: playing
// queues the samples and returns.
//
// On the sdl backend the sound goes to SDL's audio output. The audio
// subsystem is started on the first open; when there is no audio device the
// open fails and callers stay silent, which is not an error.
// On every other backend (headless, or none started, as in tests) a
// recording sink stands in: it keeps a log of what the program did with the
// device.
// On both, a sound counts as playing for its length in samples on the host
// clock (so tests on the manual clock decide when it ends).
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

// --- Recording sink (non-sdl backends) ---------------------------------------------------

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
