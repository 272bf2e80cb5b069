// The X connection under SDL's windows (see HostSdlX11.h). Kept apart from
// the backend because SDL_syswm.h brings Xlib's names along.
#include "host/HostSdlX11.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>
#include <poll.h>

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

// SDL keeps one connection for all its windows, for as long as video runs.
Display* Display_Of(SDL_Window* win) {
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
  return dpy;
}

// The X server's test extension, loaded when first asked for (the library
// comes with the X tools; without it the pointer cannot be driven).
struct XTest {
  using Motion = int (*)(Display*, int, int, int, unsigned long);
  using Button = int (*)(Display*, unsigned int, int, unsigned long);
  using Query = int (*)(Display*, int*, int*, int*, int*);
  Motion motion = nullptr;
  Button button = nullptr;
  Display* checked = nullptr;  // the connection the extension was found on
};

XTest* Load_XTest(Display* dpy) {
  static XTest x;
  static bool tried = false;
  if (!tried) {
    tried = true;
    void* lib = dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL);
    if (lib != nullptr) {
      x.motion = reinterpret_cast<XTest::Motion>(dlsym(lib, "XTestFakeMotionEvent"));
      x.button = reinterpret_cast<XTest::Button>(dlsym(lib, "XTestFakeButtonEvent"));
      const auto query = reinterpret_cast<XTest::Query>(dlsym(lib, "XTestQueryExtension"));
      int ev = 0, er = 0, major = 0, minor = 0;
      if (query == nullptr || !query(dpy, &ev, &er, &major, &minor)) x.motion = nullptr;
    }
    x.checked = dpy;
  }
  if (x.checked != dpy || x.motion == nullptr || x.button == nullptr) return nullptr;
  return &x;
}

}  // namespace
#endif

int Host_Sdl_X11_Pending(SDL_Window* win, int other_fd, bool& other_ready) {
  other_ready = false;
#if defined(SDL_VIDEO_DRIVER_X11)
  Display* dpy = Display_Of(win);
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

bool Host_Sdl_X11_Pointer(SDL_Window* win, int op, int x, int y) {
#if defined(SDL_VIDEO_DRIVER_X11)
  Display* dpy = Display_Of(win);
  if (dpy == nullptr) return false;
  XTest* xt = Load_XTest(dpy);
  if (xt == nullptr) return false;
  // The screen the window is on; the pointer goes there first, so that a
  // press lands where it is meant.
  xt->motion(dpy, DefaultScreen(dpy), x, y, 0);
  if (op != 0) xt->button(dpy, 1, op == 1 ? True : False, 0);
  XFlush(dpy);
  return true;
#else
  (void)win;
  (void)op;
  (void)x;
  (void)y;
  return false;
#endif
}
