// The clipboard on X11: the program owns the CLIPBOARD selection itself, on
// a connection of its own to the display and a hidden window, since SDL
// carries text only.
//
// Owning: copying claims the selection with a server timestamp; requests of
// other programs are answered from the pump (Poll): TARGETS, TIMESTAMP,
// MULTIPLE and each offered type, made when first asked for. Data larger
// than the server takes in one request go by INCR, one piece each time the
// requestor has taken the last, so a large picture never holds up the
// event loop. Another program taking the selection ends our ownership
// (SelectionClear).
//
// Reading: TARGETS of the current owner, then the type wanted, also by INCR,
// waiting at most the wait limit for each answer (and for each piece); an
// owner that does not answer in time gives nothing, and is not asked again
// until the clipboard is looked at anew.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "host/HostClipboard.h"

namespace {

std::atomic<uint32> g_incr_sent{0};
std::atomic<uint32> g_incr_received{0};

uint32 Now_Ms() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return uint32(uint64(t.tv_sec) * 1000u + uint64(t.tv_nsec) / 1000000u);
}

bool Before(uint32 now, uint32 deadline) { return int32(deadline - now) > 0; }

// Errors on our connections are expected (a requestor's window may be gone
// by the time we answer it) and are ignored; others go to the handler that
// was there before.
using XErrorProc = int (*)(Display*, XErrorEvent*);
XErrorProc g_prev_handler = nullptr;
std::vector<Display*> g_connections;

int On_X_Error(Display* d, XErrorEvent* e) {
  if (std::find(g_connections.begin(), g_connections.end(), d) != g_connections.end()) return 0;
  return g_prev_handler != nullptr ? g_prev_handler(d, e) : 0;
}

// One property read off a window.
struct Prop {
  Atom type = None;
  int format = 0;
  std::vector<uint8> bytes;    // format 8
  std::vector<unsigned long> items;  // format 32 (atoms, integers)
};

class X11Clipboard : public HostClipboardPeer {
 public:
  ~X11Clipboard() override {
    if (dpy_ == nullptr) return;
    if (win_ != 0) XDestroyWindow(dpy_, win_);
    XCloseDisplay(dpy_);
    g_connections.erase(std::remove(g_connections.begin(), g_connections.end(), dpy_), g_connections.end());
    if (g_connections.empty()) {
      // Put the earlier handler back unless someone installed theirs since.
      XErrorProc now = XSetErrorHandler(g_prev_handler);
      if (now != On_X_Error) XSetErrorHandler(now);
    }
  }

  bool Open(const char* name, std::string& err) {
    dpy_ = XOpenDisplay(name);
    if (dpy_ == nullptr) {
      err = "cannot connect to the X display";
      return false;
    }
    if (g_connections.empty()) {
      XErrorProc before = XSetErrorHandler(On_X_Error);
      if (before != On_X_Error) g_prev_handler = before;
    }
    g_connections.push_back(dpy_);
    XSetWindowAttributes wa{};
    wa.event_mask = PropertyChangeMask;
    win_ = XCreateWindow(dpy_, DefaultRootWindow(dpy_), -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
                         CopyFromParent, CWEventMask, &wa);
    if (win_ == 0) {
      err = "cannot make the clipboard's window";
      return false;
    }
    const char* names[] = {"CLIPBOARD", "TARGETS", "TIMESTAMP", "MULTIPLE", "INCR", "ATOM_PAIR",
                           "VELMOR_CLIP_TIME", "VELMOR_CLIP_0", "VELMOR_CLIP_1", "VELMOR_CLIP_2",
                           "VELMOR_CLIP_3"};
    Atom atoms[11];
    if (!XInternAtoms(dpy_, const_cast<char**>(names), 11, False, atoms)) {
      err = "cannot name the clipboard's atoms";
      return false;
    }
    clipboard_ = atoms[0];
    targets_atom_ = atoms[1];
    timestamp_ = atoms[2];
    multiple_ = atoms[3];
    incr_ = atoms[4];
    atom_pair_ = atoms[5];
    time_prop_ = atoms[6];
    for (int i = 0; i < 4; ++i) props_[i] = atoms[7 + i];
    // What fits in one request, less room for the request's own fields.
    const long max_request = XMaxRequestSize(dpy_);
    chunk_ = std::max<size_t>(4096, size_t(max_request) * 4 - 1024);
    XFlush(dpy_);
    return true;
  }

  bool Take(std::shared_ptr<HostClipboardOffer> offer) override {
    Time t = 0;
    if (!Server_Time(t)) return false;
    XSetSelectionOwner(dpy_, clipboard_, win_, t);
    if (XGetSelectionOwner(dpy_, clipboard_) != win_) {
      Drop_Offer();
      return false;
    }
    offer_ = std::move(offer);
    owned_time_ = t;
    offered_.clear();
    for (const std::string& type : offer_->Types()) {
      const Atom a = XInternAtom(dpy_, type.c_str(), False);
      if (a != None) offered_.emplace_back(a, type);
    }
    return true;
  }

  uint64 Holder() override {
    Poll();
    unresponsive_ = false;
    looked_ = false;
    targets_.clear();
    const Window owner = XGetSelectionOwner(dpy_, clipboard_);
    if (owner == None) {
      Drop_Offer();
      return 0;
    }
    if (owner == win_) return offer_ ? kSelf : 0;
    Drop_Offer();
    // What the owner offers, and, where it says when it took the selection,
    // that time, which tells one copy from the next. (Owners that do not
    // list TIMESTAMP are not asked for it: some answer any target with
    // their data.)
    if (Ask_Targets(targets_)) {
      looked_ = true;
      if (std::find(targets_.begin(), targets_.end(), "TIMESTAMP") != targets_.end()) {
        Prop p;
        if (Convert(timestamp_, 64, p) == OK && p.format == 32 && p.items.size() == 1 && p.items[0] != 0)
          return (uint64(owner) << 32) | uint32(p.items[0]);
      }
    }
    return (uint64(1) << 62) | ++uncertain_;
  }

  bool Types(std::vector<std::string>& out) override {
    out.clear();
    if (Own()) {
      out = offer_->Types();
      return true;
    }
    if (looked_) {
      out = targets_;
      return true;
    }
    return Ask_Targets(out);
  }

  bool Read(const std::string& type, uint64 max, std::vector<uint8>& out) override {
    out.clear();
    if (Own()) {
      const std::vector<uint8>* b = nullptr;
      if (!offer_->Bytes(type, b) || b->size() > max) return false;
      out = *b;
      return true;
    }
    if (unresponsive_) return false;
    const Atom target = XInternAtom(dpy_, type.c_str(), False);
    if (target == None) return false;
    Prop p;
    const Result r = Convert(target, max, p);
    if (r == TIMEOUT) unresponsive_ = true;
    if (r != OK || p.format != 8) return false;
    out = std::move(p.bytes);
    return true;
  }

  void Poll() override {
    bool busy = Drain() || !sends_.empty();
    // While a long transfer runs, its next pieces go out for a few
    // milliseconds more, so that it does not crawl at one piece per pass
    // of an idle loop that sleeps between passes.
    const uint32 until = Now_Ms() + kStreamMs;
    while (!sends_.empty()) {
      const uint32 now = Now_Ms();
      if (!Before(now, until)) break;
      XFlush(dpy_);
      pollfd p{ConnectionNumber(dpy_), POLLIN, 0};
      if (poll(&p, 1, int(until - now)) <= 0) break;
      Drain();
    }
    busy = busy || !sends_.empty();
    // A requestor that stopped taking the pieces of a long transfer.
    const uint32 now = Now_Ms();
    const uint32 stale = std::max<uint32>(10000, 5 * Host_Clipboard_Wait_Limit());
    for (size_t i = 0; i < sends_.size();) {
      if (now - sends_[i].last >= stale) {
        const Window w = sends_[i].window;
        sends_.erase(sends_.begin() + std::ptrdiff_t(i));
        Unwatch(w);
      } else {
        ++i;
      }
    }
    // The answers made above go out; a pass that found nothing to do has
    // none (the calls that ask the server themselves flush their requests).
    if (busy) XFlush(dpy_);
  }

  int Fd() const override { return ConnectionNumber(dpy_); }

 private:
  enum Result { OK, REFUSED, TIMEOUT, TOO_LARGE, FAILED };

  static constexpr uint32 kStreamMs = 8;

  // The events that came; FALSE when none had (at rest a poll says so,
  // for less than XPending's reads of the connection).
  bool Drain() {
    if (XEventsQueued(dpy_, QueuedAlready) == 0) {
      pollfd p{ConnectionNumber(dpy_), POLLIN, 0};
      if (poll(&p, 1, 0) == 0) return false;
    }
    while (XPending(dpy_) > 0) {
      XEvent e;
      XNextEvent(dpy_, &e);
      Dispatch(e);
    }
    return true;
  }

  // One long transfer to a requestor, piece by piece.
  struct Send {
    Window window;
    Atom property;
    Atom type;
    std::shared_ptr<HostClipboardOffer> offer;  // keeps data alive
    const std::vector<uint8>* data;
    size_t pos;
    uint32 last;
  };

  bool Own() { return offer_ && XGetSelectionOwner(dpy_, clipboard_) == win_; }

  // The owner's TARGETS by name.
  bool Ask_Targets(std::vector<std::string>& out) {
    out.clear();
    if (unresponsive_) return false;
    Prop p;
    const Result r = Convert(targets_atom_, 64 * 1024, p);
    if (r == TIMEOUT) unresponsive_ = true;
    if (r != OK || p.format != 32) return false;
    std::vector<Atom> atoms;
    for (unsigned long v : p.items)
      if (v != None && atoms.size() < 1024) atoms.push_back(Atom(v));
    if (atoms.empty()) return true;
    std::vector<char*> names(atoms.size(), nullptr);
    if (!XGetAtomNames(dpy_, atoms.data(), int(atoms.size()), names.data())) return false;
    for (char* n : names) {
      if (n == nullptr) continue;
      out.emplace_back(n);
      XFree(n);
    }
    return true;
  }

  void Drop_Offer() {
    offer_.reset();
    offered_.clear();
  }

  // Waits for an event that pred accepts, handling every other event as
  // the pump would. FALSE when the deadline passes first.
  template <class Pred>
  bool Wait_Event(uint32 deadline, XEvent& out, Pred pred) {
    XFlush(dpy_);
    for (;;) {
      while (XPending(dpy_) > 0) {
        XNextEvent(dpy_, &out);
        if (pred(out)) return true;
        Dispatch(out);
      }
      const uint32 now = Now_Ms();
      if (!Before(now, deadline)) return false;
      pollfd p{ConnectionNumber(dpy_), POLLIN, 0};
      poll(&p, 1, int(std::min<uint32>(deadline - now, 100)));
    }
  }

  // A server timestamp: the time of a property change on our window.
  bool Server_Time(Time& t) {
    XChangeProperty(dpy_, win_, time_prop_, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent e;
    const bool got = Wait_Event(Now_Ms() + Host_Clipboard_Wait_Limit(), e, [&](const XEvent& x) {
      return x.type == PropertyNotify && x.xproperty.window == win_ && x.xproperty.atom == time_prop_;
    });
    if (!got) return false;
    t = e.xproperty.time;
    return true;
  }

  // Reads a property whole (at most max bytes), optionally deleting it.
  Result Get_Prop(Window w, Atom property, bool del, uint64 max, Prop& out) {
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy_, w, property, 0, 0, False, AnyPropertyType, &type, &format, &n, &after, &data) !=
        Success)
      return FAILED;
    if (data != nullptr) XFree(data);
    if (type == None) return FAILED;
    if (after > max) {
      if (del) XDeleteProperty(dpy_, w, property);
      return TOO_LARGE;
    }
    data = nullptr;
    if (XGetWindowProperty(dpy_, w, property, 0, long((after + 3) / 4), del ? True : False, AnyPropertyType, &type,
                           &format, &n, &after, &data) != Success)
      return FAILED;
    out.type = type;
    out.format = format;
    Result r = OK;
    try {
      if (format == 8) {
        out.bytes.assign(data, data + n);
      } else if (format == 32) {
        const unsigned long* v = reinterpret_cast<const unsigned long*>(data);
        out.items.assign(v, v + n);
      } else if (format == 16) {
        r = FAILED;
      }
    } catch (const std::bad_alloc&) {
      r = FAILED;
    }
    if (data != nullptr) XFree(data);
    return r;
  }

  // Asks the owner for target into one of our properties and reads the
  // answer, by INCR where the owner sends it so.
  Result Convert(Atom target, uint64 max, Prop& out) {
    const Atom property = props_[next_prop_++ % 4];
    XDeleteProperty(dpy_, win_, property);
    XConvertSelection(dpy_, clipboard_, target, property, win_, CurrentTime);
    XEvent e;
    const bool got = Wait_Event(Now_Ms() + Host_Clipboard_Wait_Limit(), e, [&](const XEvent& x) {
      return x.type == SelectionNotify && x.xselection.requestor == win_ && x.xselection.selection == clipboard_ &&
             x.xselection.target == target;
    });
    if (!got) return TIMEOUT;
    if (e.xselection.property == None) return REFUSED;
    Prop head;
    Result r = Get_Prop(win_, property, false, max, head);
    if (r == TOO_LARGE) XDeleteProperty(dpy_, win_, property);
    if (r != OK) return r;
    if (head.type == incr_) {
      // The size an INCR announces is at least what follows.
      if (head.format == 32 && head.items.size() == 1 && head.items[0] > max) return TOO_LARGE;
      return Receive_Incr(property, max, out);
    }
    XDeleteProperty(dpy_, win_, property);
    out = std::move(head);
    return OK;
  }

  // The pieces of an INCR transfer: each one a new value of the property,
  // which we delete to ask for the next; an empty one ends it.
  Result Receive_Incr(Atom property, uint64 max, Prop& out) {
    ++g_incr_received;
    out = Prop{};
    const uint32 wait = Host_Clipboard_Wait_Limit();
    const uint32 give_up = Now_Ms() + std::max<uint32>(30000, 15 * wait);
    XDeleteProperty(dpy_, win_, property);  // the owner starts on this
    for (;;) {
      XEvent e;
      const uint32 deadline = std::min(Now_Ms() + wait, give_up);
      const bool got = Wait_Event(deadline, e, [&](const XEvent& x) {
        return x.type == PropertyNotify && x.xproperty.window == win_ && x.xproperty.atom == property &&
               x.xproperty.state == PropertyNewValue;
      });
      if (!got) return TIMEOUT;
      Prop piece;
      const uint64 left = max - std::min<uint64>(max, out.bytes.size());
      const Result r = Get_Prop(win_, property, true, left, piece);
      if (r != OK) return r;
      if (piece.format != 8 && !(piece.bytes.empty() && piece.items.empty())) return FAILED;
      if (piece.bytes.empty()) {
        out.type = piece.type;
        out.format = 8;
        return OK;
      }
      try {
        out.bytes.insert(out.bytes.end(), piece.bytes.begin(), piece.bytes.end());
      } catch (const std::bad_alloc&) {
        return FAILED;
      }
    }
  }

  void Dispatch(XEvent& e) {
    switch (e.type) {
      case SelectionRequest:
        Answer_Request(e.xselectionrequest);
        break;
      case SelectionClear:
        if (e.xselectionclear.window == win_ && e.xselectionclear.selection == clipboard_ &&
            (e.xselectionclear.time == CurrentTime || e.xselectionclear.time >= owned_time_))
          Drop_Offer();
        break;
      case PropertyNotify:
        if (e.xproperty.window != win_ && e.xproperty.state == PropertyDelete) Next_Piece(e.xproperty);
        break;
      default:
        break;
    }
  }

  void Answer_Request(const XSelectionRequestEvent& r) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = dpy_;
    reply.xselection.requestor = r.requestor;
    reply.xselection.selection = r.selection;
    reply.xselection.target = r.target;
    reply.xselection.time = r.time;
    reply.xselection.property = None;
    const bool ours = r.selection == clipboard_ && r.owner == win_ && offer_ &&
                      (r.time == CurrentTime || r.time >= owned_time_);
    if (ours && r.target == multiple_) {
      // A list of (target, property) pairs; each one we cannot give gets
      // None for its property.
      Prop pairs;
      if (r.property != None && Get_Prop(r.requestor, r.property, false, 64 * 1024, pairs) == OK &&
          pairs.format == 32) {
        std::vector<long> list(pairs.items.begin(), pairs.items.end());
        for (size_t i = 0; i + 1 < list.size(); i += 2) {
          if (list[i + 1] == None || !Answer(r.requestor, Atom(list[i]), Atom(list[i + 1]))) list[i + 1] = None;
        }
        XChangeProperty(dpy_, r.requestor, r.property, atom_pair_, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(list.data()), int(list.size()));
        reply.xselection.property = r.property;
      }
    } else if (ours) {
      const Atom property = r.property == None ? r.target : r.property;  // older clients give None
      if (Answer(r.requestor, r.target, property)) reply.xselection.property = property;
    }
    XSendEvent(dpy_, r.requestor, False, NoEventMask, &reply);
    XFlush(dpy_);
  }

  bool Answer(Window requestor, Atom target, Atom property) {
    if (target == targets_atom_) {
      std::vector<long> list = {long(targets_atom_), long(timestamp_), long(multiple_)};
      for (const auto& [a, name] : offered_) list.push_back(long(a));
      XChangeProperty(dpy_, requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(list.data()), int(list.size()));
      return true;
    }
    if (target == timestamp_) {
      const long t = long(owned_time_);
      XChangeProperty(dpy_, requestor, property, XA_INTEGER, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&t), 1);
      return true;
    }
    auto it = std::find_if(offered_.begin(), offered_.end(), [&](const auto& o) { return o.first == target; });
    if (it == offered_.end()) return false;
    const std::vector<uint8>* data = nullptr;
    if (!offer_->Bytes(it->second, data)) return false;
    if (data->size() > chunk_) {
      XSelectInput(dpy_, requestor, PropertyChangeMask);
      const long size = long(data->size());
      XChangeProperty(dpy_, requestor, property, incr_, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&size), 1);
      // A new request on the same property replaces one left unfinished.
      sends_.erase(std::remove_if(sends_.begin(), sends_.end(),
                                  [&](const Send& s) { return s.window == requestor && s.property == property; }),
                   sends_.end());
      sends_.push_back(Send{requestor, property, target, offer_, data, 0, Now_Ms()});
      ++g_incr_sent;
      return true;
    }
    XChangeProperty(dpy_, requestor, property, target, 8, PropModeReplace, data->data(), int(data->size()));
    return true;
  }

  // The requestor took the last piece (deleted the property): the next one,
  // and an empty one at the end.
  void Next_Piece(const XPropertyEvent& e) {
    auto it = std::find_if(sends_.begin(), sends_.end(),
                           [&](const Send& s) { return s.window == e.window && s.property == e.atom; });
    if (it == sends_.end()) return;
    const size_t n = std::min(chunk_, it->data->size() - it->pos);
    XChangeProperty(dpy_, it->window, it->property, it->type, 8, PropModeReplace, it->data->data() + it->pos,
                    int(n));
    it->pos += n;
    it->last = Now_Ms();
    if (n == 0) {
      const Window w = it->window;
      sends_.erase(it);
      Unwatch(w);
    }
    XFlush(dpy_);
  }

  // Stops listening to a requestor's window once no transfer to it is left.
  void Unwatch(Window w) {
    for (const Send& s : sends_)
      if (s.window == w) return;
    XSelectInput(dpy_, w, NoEventMask);
  }

  Display* dpy_ = nullptr;
  Window win_ = 0;
  Atom clipboard_ = None, targets_atom_ = None, timestamp_ = None, multiple_ = None, incr_ = None, atom_pair_ = None,
       time_prop_ = None;
  Atom props_[4] = {None, None, None, None};
  uint32 next_prop_ = 0;
  size_t chunk_ = 4096;

  std::shared_ptr<HostClipboardOffer> offer_;
  Time owned_time_ = 0;
  std::vector<std::pair<Atom, std::string>> offered_;
  std::vector<Send> sends_;

  // The current owner let a request go unanswered: it is not asked again
  // until the next look at the clipboard (Holder).
  bool unresponsive_ = false;
  uint64 uncertain_ = 0;
  // The current owner's TARGETS, as found by the last look (Holder).
  bool looked_ = false;
  std::vector<std::string> targets_;
};

}  // namespace

std::unique_ptr<HostClipboardPeer> Host_Make_X11_Clipboard(const char* display, std::string& err) {
  auto c = std::make_unique<X11Clipboard>();
  if (!c->Open(display, err)) return nullptr;
  return c;
}

void Host_X11_Clipboard_Incr_Counts(uint32& sent, uint32& received) {
  sent = g_incr_sent.load();
  received = g_incr_received.load();
}
