// A bare X client for the clipboard tests (Xlib's names stay in this file,
// as they clash with GoogleTest's).
#include "X11TestClient.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

struct X11TestClient::Impl {
  Display* dpy = nullptr;
  Window win = 0;
  Atom clipboard = 0, pairs = 0;
  std::vector<Atom> props;
};

X11TestClient::X11TestClient(const std::string& display) : impl_(new Impl) {
  impl_->dpy = XOpenDisplay(display.c_str());
  if (impl_->dpy == nullptr) return;
  impl_->win = XCreateSimpleWindow(impl_->dpy, DefaultRootWindow(impl_->dpy), 0, 0, 1, 1, 0, 0, 0);
  impl_->clipboard = XInternAtom(impl_->dpy, "CLIPBOARD", False);
  impl_->pairs = XInternAtom(impl_->dpy, "TEST_PAIRS", False);
  XFlush(impl_->dpy);
}

X11TestClient::~X11TestClient() {
  if (impl_->dpy != nullptr) XCloseDisplay(impl_->dpy);
  delete impl_;
}

bool X11TestClient::Ok() const { return impl_->dpy != nullptr; }

void X11TestClient::Request(const std::vector<std::string>& targets) {
  Display* d = impl_->dpy;
  impl_->props.clear();
  std::vector<long> list;
  for (size_t i = 0; i < targets.size(); ++i) {
    const Atom p = XInternAtom(d, ("TEST_P" + std::to_string(i)).c_str(), False);
    XDeleteProperty(d, impl_->win, p);
    impl_->props.push_back(p);
    list.push_back(long(XInternAtom(d, targets[i].c_str(), False)));
    list.push_back(long(p));
  }
  XChangeProperty(d, impl_->win, impl_->pairs, XInternAtom(d, "ATOM_PAIR", False), 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(list.data()), int(list.size()));
  XConvertSelection(d, impl_->clipboard, XInternAtom(d, "MULTIPLE", False), impl_->pairs, impl_->win,
                    CurrentTime);
  XFlush(d);
}

bool X11TestClient::Answered(std::vector<X11TestAnswer>& out) {
  Display* d = impl_->dpy;
  while (XPending(d) > 0) {
    XEvent e;
    XNextEvent(d, &e);
    if (e.type != SelectionNotify || e.xselection.requestor != impl_->win) continue;
    out.clear();
    if (e.xselection.property == None) return true;
    // The pairs come back with None for each target that was refused.
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(d, impl_->win, impl_->pairs, 0, 1 << 16, False, AnyPropertyType, &type, &format, &n, &after,
                       &data);
    std::vector<long> pairs;
    if (data != nullptr && format == 32) {
      const long* v = reinterpret_cast<const long*>(data);
      pairs.assign(v, v + n);
    }
    if (data != nullptr) XFree(data);
    for (size_t i = 0; i < impl_->props.size(); ++i) {
      X11TestAnswer a;
      a.given = 2 * i + 1 < pairs.size() && Atom(pairs[2 * i + 1]) != None;
      if (a.given) {
        data = nullptr;
        XGetWindowProperty(d, impl_->win, impl_->props[i], 0, 1 << 16, False, AnyPropertyType, &type, &format, &n,
                           &after, &data);
        if (data != nullptr && format == 8) a.bytes.assign(data, data + n);
        if (data != nullptr && format == 32) {
          const long* v = reinterpret_cast<const long*>(data);
          a.items.assign(v, v + n);
        }
        if (data != nullptr) XFree(data);
      }
      out.push_back(a);
    }
    return true;
  }
  return false;
}
