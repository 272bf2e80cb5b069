// Sound effects: short sounds for tool choices, slider moves, undo and redo,
// painting tools and refusals, one at a time.
//
// Sounds are picture-library objects under the key (6, 0, id, 0) (all
// integers big-endian):
//   0  2  sample rate in Hz (unsigned)
//   2  2  bits per sample: 8 (unsigned samples) or 16 (signed samples)
//   4  4  length of the sample data in bytes
//   8  .. the samples, one channel
// A sound that is missing, or whose header does not describe samples that
// are there, is skipped in silence.
//
// The device stays open between sounds of one format; a new sound cuts off
// the one playing after waiting at most 5 ticks for it. A device that cannot
// be opened switches sound off (until Sound_Enable turns it on again).
#pragma once

#include "platform/SysErr.h"  // a_keyset
#include "platform/Types.h"

// Sound ids.
constexpr int16 SND_LINE = 0;  // no sound
constexpr int16 SND_SUBTOOL_ONESHOT = 130;  // also the menu-open sound
constexpr int16 SND_SUBTOOL_ICONGRID = 131;
constexpr int16 SND_SUBTOOL_SLIDER = 132;
constexpr int16 SND_BAR_SELECT = 133;
constexpr int16 SND_FANFARE = 134;
constexpr int16 SND_BUCKET = 135;
constexpr int16 SND_NULL = 136;   // a press that nothing used
constexpr int16 SND_LIMIT = 136;  // a limit reached
constexpr int16 SND_UNDO = 137;
constexpr int16 SND_UNDO2 = 138;
constexpr int16 SND_UNDO3 = 139;
constexpr int16 SND_UNDO4 = 140;
constexpr int16 SND_BRUSH = 144;
constexpr int16 SND_ERASER = 145;
constexpr int16 SND_EYEDROPPER = 146;
constexpr int16 SND_CLEAR_FAST = 147;
constexpr int16 SND_ALERT = 167;  // the system's question beep, not a stored sound
constexpr int16 SND_PROMPT = 167;
constexpr int16 SND_SPRAY = 168;
constexpr int16 SND_STENCIL_DROPPER = 169;
constexpr int16 SND_POLYGON_FILL = 170;
constexpr int16 SND_POLYGON_POINT = 171;
constexpr int16 SND_CENTERDOC = 172;
constexpr int16 SND_SET_GRAD_CENTER = 173;
constexpr int16 SND_SET_GRAD_RADIUS = 174;
constexpr int16 SND_STENCIL_PREVIEW = 175;
constexpr int16 SND_BAR_PREV = 176;
constexpr int16 SND_BAR_INDEX = 177;
constexpr int16 SND_BAR_NEXT = 178;
constexpr int16 SND_REDO = 179;
constexpr int16 SND_HISTFAR = 180;
constexpr int16 SND_MENU_LO = 181;
constexpr int16 SND_MENU_HI = 182;
constexpr int16 SND_TEXT_SELECT = 183;

// Picture-library family of sounds: key (SOUND_KEY_FAMILY, 0, id, 0).
constexpr int16 SOUND_KEY_FAMILY = 6;
constexpr int32 SOUND_HEADER_SIZE = 8;
// Sound effects are short; a bigger object is taken for a damaged one.
constexpr int32 SOUND_MAX_OBJECT = 16 << 20;

// Channels: effects play on 1, narration on 2.
constexpr int16 SOUND_CHAN_EFFECTS = 1;
constexpr int16 SOUND_CHAN_NARRATION = 2;

// The sound objects' source: the picture library (OP, in the pixel engine
// above this layer), whose start-up (OP_Init) installs OP_Size, OP_Lock and
// OP_Unlock here. Until then no sound object is found.
struct a_sound_library {
  int32 (*size)(const a_keyset& key);  // 0 when no object has the key
  Ptr (*lock)(const a_keyset& key);    // a copy of the object, or NIL
  void (*unlock)(Ptr& obj);            // frees a block from lock, obj := NIL
};
extern a_sound_library g_sound_library;

void Sound_Init();
// Plays sound id on the effects channel.
void Sound_Effect(int16 id);
// FALSE silences the device; sounds play only while enabled.
void Sound_Enable(bool8 flag);
bool8 Sound_Enabled();
// Silences the device when an effect is playing.
void Sound_Quiet();
// TRUE unless an effect is still playing.
bool8 Sound_Done();
// Silences, releases the sound and closes the device (shutdown).
void Sound_Stop();

// --- Narration: spoken sounds on channel 2 ---------------------------------------
//
// Narration sounds are resources of type "WAVE" in a resource file of their
// own (Resources.h), each laid out as the sound objects above and checked the
// same way before it plays. The file is the caller's: narration only
// remembers its slot.
constexpr OSType kNarrationResType = FourCC("WAVE");

// Remembers the resource file (its slot) that holds the narration; TRUE.
bool8 Narration_Init(int16 resfile);
// FALSE while narration is off (no narration file, or sound switched off);
// else TRUE when the narration file itself holds a "WAVE" resource id (the
// current resource file is the same afterwards).
bool8 Is_Narration_Avail(int16 id);
// Plays narration sound id on channel 2, cutting off whatever plays.
void Narration_Play(int16 id);
// Silences the device when narration is playing.
void Narration_Quiet();
// Silences narration, releases its sound and forgets the narration file.
void Narration_Stop();
// TRUE unless narration is still playing.
bool8 Narration_Done();
// Kept for their callers; sounds are read when they play.
void Sound_Preload();
void Sound_Tick();

// The device layer, shared with narration (channel 2).
void Dev_Play(int16 targid, int16 chanx);
// Opens the output for srate samples a second of slen bytes (1 or 2) per
// sample; on failure sound is switched off and FALSE is returned.
bool8 Dev_Open(uint32 srate, int16 slen);
void Dev_Close();
void Dev_Quiet();
// TRUE when no device is open or nothing is playing.
bool8 Dev_Done();
// Locks sound targid (unless one is locked): from the picture library for
// the effects channel, from the narration file for channel 2. FALSE when it
// is missing or damaged: a header that does not describe samples that are
// all there, bits other than 8 or 16, a rate below 1000 Hz, no samples.
bool8 Wav_Lock(int16 targid, int16 chanx);
void Wav_Unlock();
void Wav_Prepare();
void Wav_Unprepare();
