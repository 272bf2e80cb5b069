// The clipboard: one in-process store of formats, each a run of bytes under
// a format number, shared with other programs through the display backend.
//
// Formats: CF_TEXT (8-bit text in the system code page, UTF-8 here,
// NUL-terminated), CF_UNICODETEXT (UTF-16 text in host byte order,
// NUL-terminated), CF_DIB (a device-independent bitmap from its information
// header on), the program's own formats by number (e.g. 0x300) and formats
// registered by name (numbers from 0xC000 on). The two text formats stand in
// for each other: a clipboard holding one of them offers the other too,
// converted when it is first asked for.
//
// Use: open (one owner at a time; opening an open clipboard fails), then
// empty / set / get, then close. Has works whether open or not (closed, it
// looks at the desktop's clipboard first).
//
// Other programs see the clipboard in MIME types (the desktop's names):
// - text as UTF8_STRING, text/plain;charset=utf-8 and STRING (Latin-1), with
//   line feeds ending its lines; text read from them gets CR LF line ends;
// - CF_DIB as image/png and image/bmp (read back from either);
// - the program's own formats under the names given by
//   Host_Clipboard_Add_Type (e.g. application/x-velmor4-photo).
// Closing the clipboard after a change hands what it holds to the desktop
// (converted only when another program asks for a type). When another
// program has copied since, opening (or Has while closed) replaces the store
// by what that program offers; its data are read when first asked for
// (Get), with a bounded wait: an owner that does not answer in time gives
// nothing to paste.
//
// Backends: on sdl over X11 the program owns the CLIPBOARD selection itself
// (HostClipboardX11.cpp); on sdl without X11 (Wayland alone) only text
// reaches other programs, through SDL; the headless backend, and the
// program without a backend, exchange with an in-memory desktop that tests
// drive (Host_Clipboard_Foreign_*, Host_Clipboard_Published_*).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Types.h"

struct HostWindow;

constexpr uint32 CF_TEXT = 1;
constexpr uint32 CF_DIB = 8;
constexpr uint32 CF_UNICODETEXT = 13;
constexpr uint32 CF_REGISTERED_FIRST = 0xC000;

// Text from another program beyond this many bytes is cut (at a character
// boundary): the clipboard is a means of pasting, not of moving files.
constexpr uint32 kMaxForeignText = 4u << 20;
// The most bytes read of one type from another program: text (then cut as
// above), pictures (encoded), and the program's own formats by default.
constexpr uint64 kMaxForeignTextRead = 64u << 20;
constexpr uint64 kMaxForeignImage = 256u << 20;
constexpr uint64 kMaxForeignRecord = 64u << 20;
// The largest picture (pixels) taken from another program as a bitmap.
constexpr uint64 kMaxForeignPixels = 64ull * 1024 * 1024;

// FALSE when the clipboard is already open.
bool Host_Clipboard_Open(HostWindow* owner);
// FALSE when it was not open.
bool Host_Clipboard_Close();
bool Host_Clipboard_Is_Open();
// Removes every format; FALSE when the clipboard is not open.
bool Host_Clipboard_Empty();
// Puts a copy of size bytes under format (replacing what that format held).
// FALSE when the clipboard is not open, format is 0 or the bytes cannot be
// stored.
bool Host_Clipboard_Set(uint32 format, const void* data, uint32 size);
bool Host_Clipboard_Has(uint32 format);
// The bytes of format while the clipboard is open; they stay valid until
// the clipboard is changed or closed. FALSE (data NIL, size 0) when it is
// not open or does not hold the format, or when another program's data of
// it cannot be had (no answer in time, too large, damaged).
bool Host_Clipboard_Get(uint32 format, const uint8*& data, uint32& size);
// The number of a format registered by name (the same name gives the same
// number); 0 for an empty name.
uint32 Host_Clipboard_Register_Format(const char* name);

// Offers one of the program's own formats to other programs under a MIME
// type, byte for byte, and reads it back from them (at most max bytes).
// Adding a format again changes nothing.
void Host_Clipboard_Add_Type(uint32 format, const char* mime, uint64 max = kMaxForeignRecord);

// Turns a device-independent bitmap (from its information header on) into
// width x height pixels of 4 bytes (blue, green, red, alpha), rows from the
// top; FALSE when it refuses the bitmap. Installed by the layer that reads
// bitmaps; without it CF_DIB is offered as image/bmp only.
using HostDibDecoder = bool (*)(const uint8* dib, size_t size, std::vector<uint8>& pixels, int32& width,
                                int32& height);
void Host_Clipboard_Set_Dib_Decoder(HostDibDecoder decoder);

// The longest the program waits for one answer of another program (reading
// its clipboard; also each piece of a long transfer). Default 2000 ms.
void Host_Clipboard_Set_Wait_Limit(uint32 ms);
uint32 Host_Clipboard_Wait_Limit();

// Closes and empties the store and the in-memory desktop (tests; a new
// session). Added types and the decoder stay.
void Host_Clipboard_Reset();

// --- The in-memory desktop (headless backend, no backend) ------------------------------
// Another program copies: these types with their bytes (none: the desktop's
// clipboard is empty).
void Host_Clipboard_Foreign_Set(const std::map<std::string, std::vector<uint8>>& types);
// The same with one text (UTF8_STRING), or an empty clipboard for "".
void Host_Clipboard_Foreign_Text(const std::string& utf8);
// What another program reading the desktop's clipboard gets: the types
// offered, and the bytes of one (FALSE when it is not offered or cannot be
// made). Over the active backend's desktop.
std::vector<std::string> Host_Clipboard_Published_Types();
bool Host_Clipboard_Published(const std::string& type, std::vector<uint8>& out);
// The UTF8_STRING text, "" when there is none.
std::string Host_Clipboard_Published_Text();

// --- For backend implementations ------------------------------------------------------

// What the program put on the desktop's clipboard, as it was when the
// clipboard closed: its types and, on request, their bytes.
class HostClipboardOffer {
 public:
  virtual ~HostClipboardOffer() = default;
  virtual const std::vector<std::string>& Types() const = 0;
  // The bytes of one type, made on the first request and kept. FALSE when
  // the type is not offered or cannot be made.
  virtual bool Bytes(const std::string& type, const std::vector<uint8>*& out) = 0;
};

// The desktop's side of the clipboard, in MIME types.
class HostClipboardPeer {
 public:
  static constexpr uint64 kSelf = ~uint64(0);

  virtual ~HostClipboardPeer() = default;
  // The program takes the desktop's clipboard for offer. FALSE when other
  // programs cannot see it.
  virtual bool Take(std::shared_ptr<HostClipboardOffer> offer) = 0;
  // Who holds the desktop's clipboard: kSelf while our last offer does, 0
  // when nobody does, else a value that differs for each copy of another
  // program (or on each call, where the desktop cannot tell copies apart).
  virtual uint64 Holder() = 0;
  // The types the holder offers. FALSE when it does not answer.
  virtual bool Types(std::vector<std::string>& out) = 0;
  // The holder's bytes of type, at most max of them. FALSE when it does not
  // have the type, does not answer in time or offers more than max.
  virtual bool Read(const std::string& type, uint64 max, std::vector<uint8>& out) = 0;
  // Answers other programs' requests; never blocks.
  virtual void Poll() {}
  // A descriptor that becomes readable when Poll has work, or -1.
  virtual int Fd() const { return -1; }
};

// The in-memory desktop (the headless backend's clipboard).
HostClipboardPeer& Host_Clipboard_Memory_Peer();
// The desktop of the active backend (HostBackend.cpp).
HostClipboardPeer& Host_Clipboard_Peer();

// The X11 desktop: the program's own selection owner on its own connection
// to display (NIL: $DISPLAY). NIL with a reason when it cannot connect.
std::unique_ptr<HostClipboardPeer> Host_Make_X11_Clipboard(const char* display, std::string& err);
// Transfers made in pieces (INCR) since the start, sent and received (tests).
void Host_X11_Clipboard_Incr_Counts(uint32& sent, uint32& received);
