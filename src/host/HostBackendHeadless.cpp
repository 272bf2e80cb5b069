// The headless backend: no display. Its screen is a size, its input comes
// from a script, its clipboard is the in-memory desktop of HostClipboard.cpp,
// its audio output is the recording sink, and its alert box is the report on
// standard error that scripts and tests read.
#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "host/HostAudio.h"
#include "host/HostBackend.h"
#include "host/HostClipboard.h"
#include "host/HostClock.h"
#include "host/HostWinCore.h"

namespace {

class HeadlessDisplay : public HostDisplay {
 public:
  // The screen starts with the cursor the window layer has (the arrow).
  HeadlessDisplay() { Record(0); }
  // Keeps a copy of the pointer, as a screen would show it: what was shown
  // stays readable even after the program destroys its cursor.
  void Cursor_Changed() override { Record(shown_.changes + 1); }
  const HostShownCursor* Shown_Cursor() const override { return &shown_; }
  void Pump() override {}
  HostClipboardPeer* Clipboard() override { return &Host_Clipboard_Memory_Peer(); }
  HostAudioOutput* Audio() override { return &Host_Audio_Recorder(); }
  bool Report_Alert(int32 number, const char* text) override {
    std::fprintf(stderr, "velmor: alert %d: %s\n", int(number), text ? text : "");
    std::fflush(stderr);
    return true;
  }
  void Wait(uint32 ms, int wake_fd) override {
    if (wake_fd < 0) {
      Host_Sleep_Millis(ms);
      return;
    }
    pollfd p{wake_fd, POLLIN, 0};
    poll(&p, 1, int(std::min<uint32>(ms, 1u << 30)));
  }

 private:
  void Record(uint32 changes) {
    HCURSOR c = GetCursor();
    HostShownCursor next;
    next.changes = changes;
    next.visible = hostwin::Cursor_Show_Count() >= 0;
    if (!Host_Cursor_Image(c, next.width, next.height, next.hot_x, next.hot_y, next.bgra))
      next.system_id = Host_Cursor_System_Id(c);
    shown_ = std::move(next);
  }
  HostShownCursor shown_;
};

}  // namespace

std::unique_ptr<HostDisplay> Host_Make_Headless_Display() { return std::make_unique<HeadlessDisplay>(); }

// --- The recording sink ----------------------------------------------------------------

HostAudioRecorder& Host_Audio_Recorder() {
  static HostAudioRecorder recorder;
  return recorder;
}

void HostAudioRecorder::Log(HostAudioEventKind kind, uint32 rate, uint16 bits) {
  HostAudioEvent e;
  e.kind = kind;
  e.rate = rate;
  e.bits = bits;
  events_.push_back(std::move(e));
}

bool HostAudioRecorder::Open(uint32 rate, uint16 bits) {
  if (!available_) return false;
  Log(HostAudioEventKind::OPEN, rate, bits);
  return true;
}

void HostAudioRecorder::Close() { Log(HostAudioEventKind::CLOSE); }

bool HostAudioRecorder::Play(const void* samples, uint32 len, uint32 rate, uint16 bits, bool cut_off) {
  if (cut_off) Log(HostAudioEventKind::STOP);
  HostAudioEvent e;
  e.kind = HostAudioEventKind::PLAY;
  e.rate = rate;
  e.bits = bits;
  const uint8* p = static_cast<const uint8*>(samples);
  e.samples.assign(p, p + len);
  events_.push_back(std::move(e));
  return true;
}

void HostAudioRecorder::Stop(bool was_playing) {
  if (was_playing) Log(HostAudioEventKind::STOP);
}

void HostAudioRecorder::Beep() {
  if (available_) Log(HostAudioEventKind::BEEP);
}

void HostAudioRecorder::Reset(bool device_available) {
  events_.clear();
  available_ = device_available;
}
