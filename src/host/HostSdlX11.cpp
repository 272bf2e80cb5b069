// The X connection under SDL's windows (see HostSdlX11.h). Kept apart from
// the backend because SDL_syswm.h brings Xlib's names along.
#include "host/HostSdlX11.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>

int Host_Sdl_X11_Pending(SDL_Window* win, int other_fd, bool& other_ready) {
  other_ready = false;
#if defined(SDL_VIDEO_DRIVER_X11)
  // SDL keeps one connection for all its windows, for as long as video runs.
  static SDL_Window* asked = nullptr;
  static Display* dpy = nullptr;
  if (win != asked) {
    asked = win;
    dpy = nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (win != nullptr && SDL_GetWindowWMInfo(win, &info) && info.subsystem == SDL_SYSWM_X11)
      dpy = info.info.x11.display;
  }
  if (dpy == nullptr) return -1;
  pollfd p[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {other_fd, POLLIN, 0}};
  if (poll(p, other_fd >= 0 ? 2 : 1, 0) > 0) other_ready = other_fd >= 0 && p[1].revents != 0;
  // Events Xlib read in already (its queue's length, read without a lock).
  return XQLength(dpy) > 0 || p[0].revents != 0 ? 1 : 0;
#else
  (void)win;
  (void)other_fd;
  return -1;
#endif
}
