// Sound effects from the picture library, played through the host's audio
// output.
#include "platform/SysSound.h"

#include <cstring>

#include "host/HostByteOrder.h"
#include "host/HostAudio.h"
#include "platform/Resources.h"
#include "platform/SysMem.h"
#include "platform/SysTimer.h"

namespace {

bool8 g_enabled = true;

// The device and the one sound it holds.
struct a_wave_state {
  uint32 rate;        // format of the open device
  int16 block_align;  // bytes per sample of the open device
  int16 chan;         // channel now playing, 0 none
  Ptr locked;         // the locked sound object, NIL none
  uint32 data_len;    // checked length of its samples
  uint16 bits;        // its bits per sample
  uint32 srate;       // its sample rate
  bool8 prepared;
  bool8 turned;  // its 16-bit samples are in the device's byte order
  bool8 narration;  // locked is our copy of a narration resource, not a library object
};
a_wave_state g_wave{};

// The resource file holding the narration, -1 none.
int16 g_narration_file = -1;

// Reads a sound's header: TRUE when it describes samples that all lie within
// size bytes.
bool Sound_Header_Ok(const uint8* p, uint32 size, uint32& rate, uint16& bits, uint32& len) {
  if (size < uint32(SOUND_HEADER_SIZE) || size > uint32(SOUND_MAX_OBJECT)) return false;
  rate = Load_BE16(p);
  bits = Load_BE16(p + 2);
  len = Load_BE32(p + 4);
  return (bits == 8 || bits == 16) && rate >= 1000 && len > 0 &&
         len <= size - uint32(SOUND_HEADER_SIZE) && len % (bits / 8u) == 0;
}

// A copy of narration sound id from the narration file (NIL when there is
// none): the copy is ours, so preparing may turn its samples in place.
Ptr Narration_Copy(int16 id, uint32& size) {
  if (g_narration_file < 0) return nullptr;
  ResHandle h = Get_Res(id, kNarrationResType, g_narration_file);
  if (h == nullptr) return nullptr;
  size = Res_Size(h);
  if (size < uint32(SOUND_HEADER_SIZE) || size > uint32(SOUND_MAX_OBJECT)) return nullptr;
  Ptr copy = New_Ptr(size);
  if (copy != nullptr) std::memcpy(copy, Res_Lock(h), size);
  return copy;
}

void Release_Locked(Ptr& obj, bool narration) {
  if (narration)
    Dispose_Ptr(obj);
  else
    g_sound_library.unlock(obj);
}


}  // namespace

namespace {
int32 No_Sound_Size(const a_keyset&) { return 0; }
Ptr No_Sound_Lock(const a_keyset&) { return nullptr; }
void No_Sound_Unlock(Ptr& obj) { obj = nullptr; }
}  // namespace

a_sound_library g_sound_library{No_Sound_Size, No_Sound_Lock, No_Sound_Unlock};

void Sound_Init() {}

void Sound_Effect(int16 id) { Dev_Play(id, SOUND_CHAN_EFFECTS); }

void Sound_Enable(bool8 flag) {
  if (!flag) Dev_Quiet();
  g_enabled = flag;
}

bool8 Sound_Enabled() { return g_enabled; }

void Sound_Quiet() {
  if (g_wave.chan == SOUND_CHAN_EFFECTS) Dev_Quiet();
}

bool8 Sound_Done() { return !(g_wave.chan == SOUND_CHAN_EFFECTS && !Dev_Done()); }

void Sound_Stop() {
  Dev_Quiet();
  Wav_Unprepare();
  Wav_Unlock();
  Dev_Close();
  Host_Audio_Shutdown();
}

// --- Narration -------------------------------------------------------------------------

bool8 Narration_Init(int16 resfile) {
  g_narration_file = resfile;
  return true;
}

bool8 Is_Narration_Avail(int16 id) {
  if (g_narration_file < 0 || !g_enabled) return false;
  // Looked up in the narration file alone; the current file is not touched.
  return Get_Res(id, kNarrationResType, g_narration_file) != nullptr;
}

void Narration_Play(int16 id) { Dev_Play(id, SOUND_CHAN_NARRATION); }

void Narration_Quiet() {
  if (g_wave.chan == SOUND_CHAN_NARRATION) Dev_Quiet();
}

void Narration_Stop() {
  if (g_wave.chan == SOUND_CHAN_NARRATION || g_wave.narration) {
    Dev_Quiet();
    Wav_Unprepare();
    Wav_Unlock();
    g_wave.chan = 0;
  }
  g_narration_file = -1;
}

bool8 Narration_Done() { return !(g_wave.chan == SOUND_CHAN_NARRATION && !Dev_Done()); }

void Sound_Preload() {}
void Sound_Tick() {}

// --- The device layer ------------------------------------------------------------------

void Dev_Play(int16 targid, int16 chanx) {
  if (targid == 0 || !g_enabled) return;
  if (targid == SND_ALERT && chanx == SOUND_CHAN_EFFECTS) {
    Host_Audio_Beep();
    return;
  }
  // Let a sound that is nearly over finish rather than clip it.
  for (int i = 0; i < 5 && !Dev_Done(); ++i) Sleep(1);
  if (Host_Audio_Is_Open()) Dev_Quiet();
  // Released even when the device was closed meanwhile, so that the sound
  // asked for is the one locked below, never a stale one.
  Wav_Unprepare();
  Wav_Unlock();
  if (!Wav_Lock(targid, chanx)) return;
  const int16 bytes = g_wave.bits == 8 ? 1 : 2;
  if (!Host_Audio_Is_Open() || g_wave.rate != g_wave.srate || g_wave.block_align != bytes) {
    Dev_Close();
    if (!Dev_Open(g_wave.srate, bytes)) {
      Wav_Unlock();
      return;
    }
  }
  Wav_Prepare();
  if (g_wave.prepared &&
      Host_Audio_Play(g_wave.locked + SOUND_HEADER_SIZE, g_wave.data_len))
    g_wave.chan = chanx;
}

bool8 Dev_Open(uint32 srate, int16 slen) {
  if ((slen != 1 && slen != 2) || !Host_Audio_Open(srate, uint16(8 * slen))) {
    g_enabled = false;
    return false;
  }
  g_wave.rate = srate;
  g_wave.block_align = slen;
  return true;
}

void Dev_Close() {
  Dev_Quiet();
  Host_Audio_Close();
  g_wave.rate = 0;
  g_wave.block_align = 0;
  g_wave.chan = 0;
}

void Dev_Quiet() { Host_Audio_Stop(); }

bool8 Dev_Done() { return !Host_Audio_Is_Open() || !Host_Audio_Is_Playing(); }

bool8 Wav_Lock(int16 targid, int16 chanx) {
  if (g_wave.locked != nullptr) return true;
  // The sound comes from a file: its header must describe samples that are
  // all there before anything is played.
  const bool narration = chanx == SOUND_CHAN_NARRATION;
  Ptr obj = nullptr;
  uint32 size = 0;
  if (narration) {
    obj = Narration_Copy(targid, size);
  } else {
    const a_keyset key{SOUND_KEY_FAMILY, 0, targid, 0};
    const int32 have = g_sound_library.size(key);
    if (have < SOUND_HEADER_SIZE || have > SOUND_MAX_OBJECT) return false;
    size = uint32(have);
    obj = g_sound_library.lock(key);
  }
  if (obj == nullptr) return false;
  uint32 rate = 0, len = 0;
  uint16 bits = 0;
  if (!Sound_Header_Ok(reinterpret_cast<const uint8*>(obj), size, rate, bits, len)) {
    Release_Locked(obj, narration);
    return false;
  }
  g_wave.locked = obj;
  g_wave.data_len = len;
  g_wave.bits = bits;
  g_wave.srate = rate;
  g_wave.prepared = false;
  g_wave.turned = false;
  g_wave.narration = narration;
  return true;
}

void Wav_Unlock() {
  if (g_wave.locked == nullptr) return;
  Wav_Unprepare();
  Release_Locked(g_wave.locked, g_wave.narration);
  g_wave.locked = nullptr;
  g_wave.narration = false;
  g_wave.data_len = 0;
}

void Wav_Prepare() {
  if (g_wave.prepared || g_wave.locked == nullptr) return;
  // The library stores 16-bit samples big-endian; the device takes them
  // little-endian. The block is our own copy, so turn them in place.
  if (g_wave.bits == 16 && !g_wave.turned) {
    uint8* s = reinterpret_cast<uint8*>(g_wave.locked + SOUND_HEADER_SIZE);
    for (uint32 i = 0; i + 1 < g_wave.data_len; i += 2) {
      const uint8 t = s[i];
      s[i] = s[i + 1];
      s[i + 1] = t;
    }
    g_wave.turned = true;
  }
  g_wave.prepared = true;
}

void Wav_Unprepare() {
  // The host keeps its own copy of what it plays, so the block is free as
  // soon as it is no longer marked prepared.
  g_wave.prepared = false;
}
