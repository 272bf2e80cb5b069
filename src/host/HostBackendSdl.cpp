// The SDL2 backend: every visible top-level window of ours is an SDL window
// showing its composed pixels; SDL's input becomes messages. The clipboard
// is the X11 selection owner of HostClipboardX11.cpp where an X display is
// reachable, else SDL's own, which carries text only. Sounds go to SDL's
// queued audio, alerts to SDL's message box.
#include <SDL.h>
#include <poll.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/HostAudio.h"
#include "host/HostBackend.h"
#include "host/HostByteOrder.h"
#include "host/HostClipboard.h"
#include "host/HostClock.h"
#include "host/HostSdlX11.h"
#include "host/HostTextInput.h"
#include "host/HostUtf.h"
#include "host/HostWinCore.h"

namespace {

// A window is shown again only when what it shows may have changed (its
// content key moved: drawing into its surfaces, inside paint brackets or
// not, moves, sizes), and then only the rows and columns that differ from
// what the display holds are sent. At rest nothing is drawn or sent.
constexpr size_t kMaxBands = 32;  // more changed bands than this go as one rectangle
// At rest SDL is not asked to pump its events (which reads the display
// connection several times) unless a poll says input waits; it still pumps
// this often whatever the poll says.
constexpr uint32 kPumpAnywayMs = 250;
// Likewise the clipboard's connection is served when the same poll finds
// something on it, and at least this often (its timeouts, events Xlib took
// in during a request of ours).
constexpr uint32 kClipboardAnywayMs = 100;

int32 Vk_Of(SDL_Keycode k, bool& extended) {
  extended = false;
  if (k >= SDLK_a && k <= SDLK_z) return int32('A' + (k - SDLK_a));
  if (k >= SDLK_0 && k <= SDLK_9) return int32('0' + (k - SDLK_0));
  if (k >= SDLK_F1 && k <= SDLK_F12) return VK_F1 + int32(k - SDLK_F1);
  if (k >= SDLK_F13 && k <= SDLK_F24) return VK_F1 + 12 + int32(k - SDLK_F13);
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return VK_NUMPAD0 + 1 + int32(k - SDLK_KP_1);
  switch (k) {
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_KP_ENTER: extended = true; return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_INSERT: extended = true; return VK_INSERT;
    case SDLK_DELETE: extended = true; return VK_DELETE;
    case SDLK_HOME: extended = true; return VK_HOME;
    case SDLK_END: extended = true; return VK_END;
    case SDLK_PAGEUP: extended = true; return VK_PRIOR;
    case SDLK_PAGEDOWN: extended = true; return VK_NEXT;
    case SDLK_LEFT: extended = true; return VK_LEFT;
    case SDLK_RIGHT: extended = true; return VK_RIGHT;
    case SDLK_UP: extended = true; return VK_UP;
    case SDLK_DOWN: extended = true; return VK_DOWN;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: extended = true; return VK_DIVIDE;
    case SDLK_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDLK_SCROLLLOCK: return VK_SCROLL;
    case SDLK_APPLICATION: return VK_APPS;
    default: return 0;
  }
}

SDL_SystemCursor Sdl_Cursor_Of(uint32 id) {
  switch (id) {
    case IDC_IBEAM: return SDL_SYSTEM_CURSOR_IBEAM;
    case IDC_WAIT: return SDL_SYSTEM_CURSOR_WAIT;
    case IDC_APPSTARTING: return SDL_SYSTEM_CURSOR_WAITARROW;
    case IDC_CROSS: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case IDC_SIZENWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case IDC_SIZENESW: return SDL_SYSTEM_CURSOR_SIZENESW;
    case IDC_SIZEWE: return SDL_SYSTEM_CURSOR_SIZEWE;
    case IDC_SIZENS: return SDL_SYSTEM_CURSOR_SIZENS;
    case IDC_SIZEALL: return SDL_SYSTEM_CURSOR_SIZEALL;
    case IDC_NO: return SDL_SYSTEM_CURSOR_NO;
    case IDC_HAND: return SDL_SYSTEM_CURSOR_HAND;
    default: return SDL_SYSTEM_CURSOR_ARROW;
  }
}

// The clipboard without X11 (Wayland alone): SDL's text. Pictures and our
// own formats stay within the program.
class SdlTextClipboard : public HostClipboardPeer {
 public:
  bool Take(std::shared_ptr<HostClipboardOffer> offer) override {
    const std::vector<uint8>* b = nullptr;
    std::string text;
    if (offer->Bytes("UTF8_STRING", b)) text.assign(b->begin(), b->end());
    SDL_SetClipboardText(text.c_str());
    ours_ = std::move(offer);
    published_ = text;
    return true;
  }
  uint64 Holder() override {
    const std::string now = Current();
    if (ours_ && now == published_) return kSelf;
    ours_.reset();
    if (now.empty()) return 0;
    if (now != foreign_) {
      foreign_ = now;
      ++serial_;
    }
    return serial_;
  }
  bool Types(std::vector<std::string>& out) override {
    out.clear();
    if (ours_) out = ours_->Types();
    else if (!Current().empty()) out.push_back("UTF8_STRING");
    return true;
  }
  bool Read(const std::string& type, uint64 max, std::vector<uint8>& out) override {
    out.clear();
    if (ours_) {
      const std::vector<uint8>* b = nullptr;
      if (!ours_->Bytes(type, b) || b->size() > max) return false;
      out = *b;
      return true;
    }
    if (type != "UTF8_STRING") return false;
    const std::string now = Current();
    if (now.empty() || now.size() > max) return false;
    out.assign(now.begin(), now.end());
    return true;
  }

 private:
  static std::string Current() {
    std::string s;
    if (SDL_HasClipboardText()) {
      char* t = SDL_GetClipboardText();
      if (t != nullptr) {
        s = t;
        SDL_free(t);
      }
    }
    return s;
  }
  std::shared_ptr<HostClipboardOffer> ours_;
  std::string published_, foreign_;
  uint64 serial_ = 0;
};

// --- Audio ---------------------------------------------------------------------------------

// SDL's queued audio: the device in the program's format (SDL converts to
// whatever the hardware takes, so any rate in range will do), and a device
// of its own for the beep. The audio subsystem is started on the first open;
// once it failed to start, this run has no audio. It lives as long as the
// program, apart from the windows, so a sound may outlast the display.
class SdlAudio : public HostAudioOutput {
 public:
  bool Open(uint32 rate, uint16 bits) override {
    dev_ = Open_Device(rate, bits);
    return dev_ != 0;
  }
  void Close() override {
    SDL_CloseAudioDevice(dev_);
    dev_ = 0;
  }
  bool Play(const void* samples, uint32 len, uint32 /*rate*/, uint16 /*bits*/, bool /*cut_off*/) override {
    SDL_ClearQueuedAudio(dev_);
    if (SDL_QueueAudio(dev_, samples, len) != 0) return false;
    SDL_PauseAudioDevice(dev_, 0);
    return true;
  }
  void Stop(bool /*was_playing*/) override { SDL_ClearQueuedAudio(dev_); }
  void Beep() override {
    if (beep_dev_ == 0) {
      if (beep_failed_) return;
      beep_dev_ = Open_Device(kBeepRate, 16);
      if (beep_dev_ == 0) {
        beep_failed_ = true;
        return;
      }
    }
    static const std::vector<uint8> beep = Make_Beep();
    SDL_ClearQueuedAudio(beep_dev_);
    if (SDL_QueueAudio(beep_dev_, beep.data(), uint32(beep.size())) == 0) SDL_PauseAudioDevice(beep_dev_, 0);
  }
  void Shutdown() override {
    if (beep_dev_ != 0) {
      SDL_CloseAudioDevice(beep_dev_);
      beep_dev_ = 0;
    }
    if (started_) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      started_ = false;
    }
  }

 private:
  static constexpr uint32 kBeepRate = 22050;

  // The beep: a short tone with a fade-out, so it does not click; 16-bit
  // samples stored little-endian like every sample we queue.
  static std::vector<uint8> Make_Beep() {
    const uint32 n = kBeepRate * 12 / 100;  // 120 ms
    std::vector<uint8> bytes(size_t(n) * 2);
    for (uint32 i = 0; i < n; ++i) {
      const double t = double(i) / kBeepRate;
      const double fade = 1.0 - double(i) / n;
      const int16 s = int16(std::lround(6000.0 * fade * std::sin(2.0 * 3.14159265358979 * 880.0 * t)));
      Store_LE16(bytes.data() + 2 * size_t(i), uint16(s));
    }
    return bytes;
  }

  bool Start() {
    if (started_) return true;
    if (failed_) return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      failed_ = true;
      return false;
    }
    started_ = true;
    return true;
  }

  SDL_AudioDeviceID Open_Device(uint32 rate, uint16 bits) {
    if (!Start()) return 0;
    SDL_AudioSpec want{}, have{};
    want.freq = int(rate);
    want.format = bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    want.channels = 1;
    want.samples = 1024;
    want.callback = nullptr;  // queued audio: nothing runs on our side of the audio thread
    return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  }

  SDL_AudioDeviceID dev_ = 0;
  SDL_AudioDeviceID beep_dev_ = 0;
  bool beep_failed_ = false;
  bool started_ = false;
  bool failed_ = false;  // tried once and failed: no audio this run
};

SdlAudio& Sdl_Audio() {
  static SdlAudio audio;
  return audio;
}

// --- Alerts ---------------------------------------------------------------------------------

int32 Show_Message_Box(int32 number, const char* text, const char* const* buttons, int32 nbuttons, bool fatal) {
  SDL_MessageBoxButtonData data[3]{};
  // SDL lays buttons out in the order given; the first one answers Return.
  for (int32 i = 0; i < nbuttons; ++i) {
    data[i].buttonid = i + 1;
    data[i].text = buttons[i];
    if (i == 0) data[i].flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
  }
  // Escape picks the second button of a two- or three-button alert (the
  // cancel of the dialogs), the only one of a message.
  data[nbuttons > 1 ? 1 : 0].flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
  char title[64];
  std::snprintf(title, sizeof title, "Velmor 4 (%d)", int(number));
  SDL_MessageBoxData box{};
  box.flags = fatal ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
  box.title = title;
  box.message = text;
  box.numbuttons = nbuttons;
  box.buttons = data;
  int hit = 0;
  if (SDL_ShowMessageBox(&box, &hit) != 0 || hit < 1 || hit > nbuttons) return 1;
  return hit;
}

// The input method composes text at the caret (SDL takes the box in the
// coordinates of the window that has the keyboard).
void Sdl_Text_Input_Rect(HWND /*top*/, const RECT& box) {
  SDL_Rect r{box.left, box.top, std::max(1, int(box.right - box.left)), std::max(1, int(box.bottom - box.top))};
  SDL_SetTextInputRect(&r);
}

// --- The display ------------------------------------------------------------------------------

class SdlDisplay : public HostDisplay {
 public:
  SdlDisplay() = default;
  ~SdlDisplay() override {
    Host_Set_Text_Input_Sink(nullptr);
    clip_.reset();  // before SDL, which puts back the X error handler it found
    for (auto& [hwnd, s] : shown_)
      if (s.win) SDL_DestroyWindow(s.win);
    shown_.clear();
    if (cursor_) SDL_FreeCursor(cursor_);
    if (started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  bool Start(std::string& err) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      err = SDL_GetError();
      return false;
    }
    started_ = true;
    SDL_Rect b{0, 0, 1280, 1024}, u{0, 0, 1280, 1024};
    if (SDL_GetDisplayBounds(0, &b) != 0 || b.w <= 0 || b.h <= 0) b = SDL_Rect{0, 0, 1280, 1024};
    if (SDL_GetDisplayUsableBounds(0, &u) != 0 || u.w <= 0 || u.h <= 0) u = b;
    hostwin::Set_Screen_Size(b.w, b.h);
    // The desktop's panel: the strip of the screen outside the usable area.
    bool has_panel = true;
    Rect panel{0, 0, 0, 0};
    if (u.y > b.y) panel = Rect{int16(b.y), int16(b.x), int16(u.y), int16(b.x + b.w)};
    else if (u.y + u.h < b.y + b.h) panel = Rect{int16(u.y + u.h), int16(b.x), int16(b.y + b.h), int16(b.x + b.w)};
    else if (u.x > b.x) panel = Rect{int16(b.y), int16(b.x), int16(b.y + b.h), int16(u.x)};
    else if (u.x + u.w < b.x + b.w) panel = Rect{int16(b.y), int16(u.x + u.w), int16(b.y + b.h), int16(b.x + b.w)};
    else has_panel = false;
    if (g_host_screen_proc) g_host_screen_proc(int16(std::min(b.w, 32000)), int16(std::min(b.h, 32000)), has_panel, panel);
    SDL_StartTextInput();
    Host_Set_Text_Input_Sink(Sdl_Text_Input_Rect);
    std::string why;
    clip_ = Host_Make_X11_Clipboard(nullptr, why);
    if (!clip_) clip_ = std::make_unique<SdlTextClipboard>();
    return true;
  }

  HostClipboardPeer* Clipboard() override { return clip_.get(); }
  HostAudioOutput* Audio() override { return &Sdl_Audio(); }
  int32 Alert_Box(int32 number, const char* text, const char* const* buttons, int32 nbuttons,
                  bool fatal) override {
    return Show_Message_Box(number, text, buttons, nbuttons, fatal);
  }

  void Pump() override {
    SDL_Event e;
    bool lost = false, gained = false;
    HWND gained_hwnd = nullptr;
    const uint32 now = SDL_GetTicks();
    const int clip_fd = clip_ ? clip_->Fd() : -1;
    bool clip_ready = false;
    const int pending = shown_.empty() ? -1 : Host_Sdl_X11_Pending(shown_.begin()->second.win, clip_fd, clip_ready);
    if (clip_ && (pending < 0 || clip_fd < 0 || clip_ready || now - clip_polled_ >= kClipboardAnywayMs)) {
      clip_polled_ = now;
      clip_->Poll();
    }
    const bool look =
        pending != 0 || now - pumped_ >= kPumpAnywayMs || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    if (look) pumped_ = now;
    while (look && SDL_PollEvent(&e)) {
      switch (e.type) {
        case SDL_WINDOWEVENT: {
          HWND h = By_Id(e.window.windowID);
          if (!h) break;
          Shown& s = shown_[h];
          switch (e.window.event) {
            case SDL_WINDOWEVENT_MOVED:
              s.x = e.window.data1;
              s.y = e.window.data2;
              hostwin::Backend_Moved(h, s.x, s.y);
              break;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
              s.w = e.window.data1;
              s.h = e.window.data2;
              hostwin::Backend_Resized(h, s.w, s.h);
              s.stale = true;
              break;
            case SDL_WINDOWEVENT_EXPOSED: s.stale = true; break;
            case SDL_WINDOWEVENT_CLOSE: hostwin::Backend_Close(h); break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: gained = true; gained_hwnd = h; break;
            case SDL_WINDOWEVENT_FOCUS_LOST: lost = true; break;
            case SDL_WINDOWEVENT_MINIMIZED:
              s.minimized = true;
              PostMessage(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
              break;
            case SDL_WINDOWEVENT_RESTORED:
              if (s.minimized) {
                s.minimized = false;
                PostMessage(h, WM_SYSCOMMAND, SC_RESTORE, 0);
              }
              break;
            default: break;
          }
          break;
        }
        case SDL_MOUSEMOTION:
          if (HWND h = By_Id(e.motion.windowID)) hostwin::Input_Mouse_Move(Screen(h, e.motion.x, e.motion.y));
          break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
          HWND h = By_Id(e.button.windowID);
          const int32 button = e.button.button == SDL_BUTTON_LEFT ? 0 : e.button.button == SDL_BUTTON_RIGHT ? 1
                               : e.button.button == SDL_BUTTON_MIDDLE ? 2 : -1;
          if (h && button >= 0)
            hostwin::Input_Button(button, e.type == SDL_MOUSEBUTTONDOWN, Screen(h, e.button.x, e.button.y));
          break;
        }
        case SDL_MOUSEWHEEL: {
          POINT p;
          GetCursorPos(&p);
          hostwin::Input_Wheel(e.wheel.y * 120, p);
          break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
          bool ext = false;
          const int32 vk = Vk_Of(e.key.keysym.sym, ext);
          if (vk) hostwin::Input_Key(vk, e.type == SDL_KEYDOWN, ext, true);
          break;
        }
        case SDL_TEXTINPUT: {
          const std::u16string units = Host_Utf8_To_Utf16(e.text.text);
          for (char16_t u : units) hostwin::Input_Char(u);
          break;
        }
        default: break;
      }
    }
    // Focus moving between two of our windows is not a deactivation.
    if (gained) hostwin::App_Activate(gained_hwnd);
    else if (lost) hostwin::App_Deactivate();
    Sync();
  }

  void Wait(uint32 ms, int wake_fd) override {
    const uint32 start = SDL_GetTicks();
    for (;;) {
      // Other programs' clipboard requests are answered while we wait.
      if (clip_) clip_->Poll();
      const uint32 spent = SDL_GetTicks() - start;
      if (spent >= ms) return;
      const int slice = int(std::min<uint32>(ms - spent, clip_ && clip_->Fd() >= 0 ? 10 : 20));
      if (SDL_WaitEventTimeout(nullptr, slice)) return;
      if (wake_fd >= 0) {
        pollfd p{wake_fd, POLLIN, 0};
        if (poll(&p, 1, 0) > 0) return;
      }
    }
  }

  bool Pointer(HostPointerOp op, int32 x, int32 y) override {
    if (shown_.empty()) return false;
    return Host_Sdl_X11_Pointer(shown_.begin()->second.win, int(op), x, y);
  }

  void Cursor_Changed() override {
    HCURSOR c = GetCursor();
    SDL_Cursor* next = nullptr;
    int32 w, h, hx, hy;
    std::vector<uint32> px;
    if (Host_Cursor_Image(c, w, h, hx, hy, px)) {
      SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(px.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_BGRA32);
      if (s) {
        next = SDL_CreateColorCursor(s, hx, hy);
        SDL_FreeSurface(s);
      }
    } else {
      next = SDL_CreateSystemCursor(Sdl_Cursor_Of(Host_Cursor_System_Id(c)));
    }
    if (next) {
      SDL_SetCursor(next);
      if (cursor_) SDL_FreeCursor(cursor_);
      cursor_ = next;
    }
    SDL_ShowCursor(hostwin::Cursor_Show_Count() >= 0 ? SDL_ENABLE : SDL_DISABLE);
  }

 private:
  struct Shown {
    SDL_Window* win = nullptr;
    uint32 id = 0;
    int32 x = 0, y = 0, w = 0, h = 0;
    uint64 key = 0;       // the content key of what the display holds
    bool stale = true;    // the display's copy is lost (new, resized, exposed): send it all
    std::vector<uint32> frame;  // what the display holds, fw x fh
    int32 fw = 0, fh = 0;
    SDL_Surface* target = nullptr;  // the window surface frame went to
    std::string title;
    uint64 title_gen = 0;  // the window's generation when the title was looked at
    bool minimized = false;
  };

  HWND By_Id(uint32 id) {
    for (auto& [h, s] : shown_)
      if (s.id == id && IsWindow(h)) return h;
    return nullptr;
  }

  POINT Screen(HWND h, int32 x, int32 y) {
    RECT r{0, 0, 0, 0};
    GetWindowRect(h, &r);
    return POINT{r.left + x, r.top + y};
  }

  // Brings the SDL windows in line with ours and shows changed pixels.
  void Sync() {
    for (auto it = shown_.begin(); it != shown_.end();) {
      if (!IsWindow(it->first) || !IsWindowVisible(it->first)) {
        if (it->second.win) SDL_DestroyWindow(it->second.win);
        it = shown_.erase(it);
      } else {
        ++it;
      }
    }
    tops_.assign(hostwin::Tops().rbegin(), hostwin::Tops().rend());  // top first, as Host_Top_Windows
    for (HWND h : tops_) {
      if (!IsWindowVisible(h)) continue;
      RECT r;
      GetWindowRect(h, &r);
      const int32 w = std::max<int32>(1, r.right - r.left), ht = std::max<int32>(1, r.bottom - r.top);
      // A new title comes with a new generation of the window.
      const uint64 gen = Host_Window_Generation(h);
      auto found = shown_.find(h);
      if (found == shown_.end()) {
        const std::string title = Host_Window_Title_Utf8(h);
        const uint32 style = uint32(GetWindowLong(h, GWL_STYLE));
        Uint32 flags = SDL_WINDOW_SHOWN;
        if (style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
        if ((style & WS_POPUP) || (style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
        SDL_Window* win = SDL_CreateWindow(title.c_str(), r.left, r.top, w, ht, flags);
        if (!win) continue;
        Shown s;
        s.win = win;
        s.id = SDL_GetWindowID(win);
        s.x = r.left;
        s.y = r.top;
        s.w = w;
        s.h = ht;
        s.title = title;
        s.title_gen = gen;
        found = shown_.emplace(h, s).first;
        Set_Icon(win, h);
        if (h == GetActiveWindow()) SDL_RaiseWindow(win);
      }
      Shown& s = found->second;
      if (s.x != r.left || s.y != r.top) {
        SDL_SetWindowPosition(s.win, r.left, r.top);
        s.x = r.left;
        s.y = r.top;
      }
      if (s.w != w || s.h != ht) {
        SDL_SetWindowSize(s.win, w, ht);
        s.w = w;
        s.h = ht;
        s.stale = true;
      }
      if (s.title_gen != gen) {
        s.title_gen = gen;
        if (std::string title = Host_Window_Title_Utf8(h); s.title != title) {
          SDL_SetWindowTitle(s.win, title.c_str());
          s.title = std::move(title);
        }
      }
      if (IsIconic(h) != s.minimized) {
        s.minimized = IsIconic(h);
        if (s.minimized) SDL_MinimizeWindow(s.win);
        else SDL_RestoreWindow(s.win);
      }
      const uint64 key = hostwin::Content_Key(h);
      if (key != s.key || s.stale) {
        Present(h, s);
        s.key = key;
      }
    }
  }

  // The window's frame and the task list show its class's icon.
  static void Set_Icon(SDL_Window* win, HWND h) {
    int32 w = 0, ht = 0;
    std::vector<uint32> px;
    if (!Host_Icon_Image(Host_Window_Icon(h, false), w, ht, px)) return;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(px.data(), w, ht, 32, w * 4, SDL_PIXELFORMAT_BGRA32);
    if (!s) return;
    SDL_SetWindowIcon(win, s);
    SDL_FreeSurface(s);
  }

  // The bands of rows where now differs from was (both w x h), each as
  // wide as its changed columns reach; one rectangle round them all when
  // there are many.
  static void Changed_Bands(const std::vector<uint32>& was, const std::vector<uint32>& now, int32 w, int32 h,
                            std::vector<SDL_Rect>& out) {
    out.clear();
    auto row = [w](const std::vector<uint32>& px, int32 y) { return px.data() + size_t(y) * size_t(w); };
    for (int32 y = 0; y < h;) {
      if (std::memcmp(row(was, y), row(now, y), size_t(w) * 4) == 0) {
        ++y;
        continue;
      }
      const int32 top = y;
      int32 x0 = w, x1 = 0;
      for (; y < h; ++y) {
        const uint32* a = row(was, y);
        const uint32* b = row(now, y);
        if (std::memcmp(a, b, size_t(w) * 4) == 0) break;
        int32 l = 0, r = w;
        while (a[l] == b[l]) ++l;
        while (a[r - 1] == b[r - 1]) --r;
        x0 = std::min(x0, l);
        x1 = std::max(x1, r);
      }
      out.push_back(SDL_Rect{x0, top, x1 - x0, y - top});
    }
    if (out.size() > kMaxBands) {
      int32 l = w, t = h, r = 0, b = 0;
      for (const SDL_Rect& q : out) {
        l = std::min(l, q.x);
        t = std::min(t, q.y);
        r = std::max(r, q.x + q.w);
        b = std::max(b, q.y + q.h);
      }
      out.assign(1, SDL_Rect{l, t, r - l, b - t});
    }
  }

  void Present(HWND h, Shown& s) {
    int32 w = 0, ht = 0;
    if (!hostwin::Compose_Frame(h, next_, w, ht) || w <= 0 || ht <= 0) return;
    SDL_Surface* ws = SDL_GetWindowSurface(s.win);
    if (!ws) return;
    const bool whole = s.stale || ws != s.target || w != s.fw || ht != s.fh || s.frame.size() != next_.size();
    if (whole) rects_.assign(1, SDL_Rect{0, 0, w, ht});
    else Changed_Bands(s.frame, next_, w, ht, rects_);
    if (!rects_.empty()) {
      SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(next_.data(), w, ht, 32, w * 4, SDL_PIXELFORMAT_RGB888);
      if (!src) return;
      SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
      for (const SDL_Rect& r : rects_) {
        SDL_Rect from = r, to = r;
        SDL_BlitSurface(src, &from, ws, &to);
      }
      SDL_FreeSurface(src);
      if (whole) SDL_UpdateWindowSurface(s.win);
      else SDL_UpdateWindowSurfaceRects(s.win, rects_.data(), int(rects_.size()));
    }
    s.frame.swap(next_);
    s.fw = w;
    s.fh = ht;
    s.target = ws;
    s.stale = false;
  }

  std::unordered_map<HWND, Shown> shown_;
  std::vector<uint32> next_;       // the frame being presented
  std::vector<SDL_Rect> rects_;    // its changed parts
  uint32 pumped_ = 0;              // when SDL last pumped its events
  uint32 clip_polled_ = 0;         // when the clipboard was last served
  std::vector<HWND> tops_;         // Sync's list of our windows
  std::unique_ptr<HostClipboardPeer> clip_;
  SDL_Cursor* cursor_ = nullptr;
  bool started_ = false;
};

}  // namespace

std::unique_ptr<HostDisplay> Host_Make_Sdl_Display(std::string& err) {
  auto d = std::make_unique<SdlDisplay>();
  if (!d->Start(err)) return nullptr;
  return d;
}
