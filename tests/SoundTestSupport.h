// What a test made the sound services do: the sounds that reached the
// recording sink's device, and which sound effects the program asked for. A
// picture library with no sounds at all, installed for the life of a
// SoundRecorder, records the id of every sound asked of it (each is then
// skipped in silence). Sound is switched on for the test; the library of
// before comes back at the end.
#pragma once

#include <vector>

#include "host/HostAudio.h"
#include "platform/SysSound.h"

namespace soundtest {

// The sounds that reached the recording sink's device since its last reset.
inline std::vector<const HostAudioEvent*> Played() {
  std::vector<const HostAudioEvent*> p;
  for (const HostAudioEvent& e : Host_Audio_Events())
    if (e.kind == HostAudioEventKind::PLAY) p.push_back(&e);
  return p;
}

inline std::vector<int16>& Asked() {
  static std::vector<int16> ids;
  return ids;
}

inline int32 Record_Size(const a_keyset& key) {
  if (key.a == SOUND_KEY_FAMILY) Asked().push_back(key.c);
  return 0;
}
inline Ptr No_Lock(const a_keyset&) { return nullptr; }
inline void No_Unlock(Ptr& p) { p = nullptr; }

class SoundRecorder {
 public:
  SoundRecorder() : saved_(g_sound_library) {
    g_sound_library = a_sound_library{Record_Size, No_Lock, No_Unlock};
    Sound_Enable(true);
    Asked().clear();
  }
  ~SoundRecorder() { g_sound_library = saved_; }
  SoundRecorder(const SoundRecorder&) = delete;
  SoundRecorder& operator=(const SoundRecorder&) = delete;

  // The ids asked for since the start or the last Clear, in order.
  const std::vector<int16>& Ids() const { return Asked(); }
  void Clear() { Asked().clear(); }

 private:
  a_sound_library saved_;
};

}  // namespace soundtest
