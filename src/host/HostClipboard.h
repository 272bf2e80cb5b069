// The clipboard: one in-process store of formats, each a run of bytes under
// a format number.
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
// empty / set / get, then close. Has works whether open or not.
//
// On the sdl backend the text is also shared with other programs through
// SDL's clipboard (UTF-8): setting a text format publishes it, emptying
// publishes an empty text, and when another program has put a new text there
// since, opening the clipboard replaces the store by that text (our own
// formats went with the other program's copy).
#pragma once

#include <string>

#include "platform/Types.h"

struct HostWindow;

constexpr uint32 CF_TEXT = 1;
constexpr uint32 CF_DIB = 8;
constexpr uint32 CF_UNICODETEXT = 13;
constexpr uint32 CF_REGISTERED_FIRST = 0xC000;

// Text from another program beyond this many bytes is cut (at a character
// boundary): the clipboard is a means of pasting, not of moving files.
constexpr uint32 kMaxForeignText = 4u << 20;

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
// not open or does not hold the format.
bool Host_Clipboard_Get(uint32 format, const uint8*& data, uint32& size);
// The number of a format registered by name (the same name gives the same
// number); 0 for an empty name.
uint32 Host_Clipboard_Register_Format(const char* name);

// Closes and empties the store (tests; a new session).
void Host_Clipboard_Reset();

// --- Exchange with other programs ---------------------------------------------------------
// What other programs see of our text: on the sdl backend SDL's clipboard;
// elsewhere a text kept here, which tests set to stand for another program
// copying text (Host_Clipboard_Foreign_Text) and read to see what we
// published (Host_Clipboard_Published_Text).
void Host_Clipboard_Foreign_Text(const std::string& utf8);
std::string Host_Clipboard_Published_Text();
