// The clipboard as the program uses it: its own records under three private
// formats, text, and device-independent bitmaps.
//
// Copying: Scrap_Clear, then one or more Scrap_Add_Ptr / Scrap_Add_PixMap
// (they add to what is there). Pasting: Scrap_Paste takes the first format
// present of 770, 769, 768 (our own records), 13 (UTF-16 text), 1 (8-bit
// text) and 8 (bitmap) and hands it to its reader; the readers belong to the
// application, which installs them with Scrap_Set_Readers. The clipboard is
// always opened for the main window.
//
// Other programs see our records as application/x-velmor4-text-range,
// -text-object and -photo, bitmaps as image/png and image/bmp, and text
// (HostClipboard.h). Everything read from the clipboard may come from
// another program: text is cut to what the text engine takes, and a bitmap
// goes through the bitmap reader's checks (a refused one pastes nothing).
#pragma once

#include "platform/SysMem.h"
#include "platform/Types.h"

struct PixMap;
struct a_picture_scan_rec;
struct HostWindow;

// Formats.
constexpr uint32 SCRAP_TEXTR = 770;       // a styled text range
constexpr uint32 SCRAP_OM = 769;          // a text object
constexpr uint32 SCRAP_PH = 768;          // a photo object
constexpr uint32 SCRAP_UNICODETEXT = 13;  // UTF-16 text
constexpr uint32 SCRAP_TEXT = 1;          // 8-bit text (UTF-8 here)
constexpr uint32 SCRAP_DIB = 8;           // device-independent bitmap

// Most UTF-16 units a paste hands to the text engine.
constexpr int32 SCRAP_MAX_TEXT = 3999;

// The application's readers. Each may be NIL (that format then pastes
// nothing). The record readers get the bytes as they lie on the clipboard
// and must check them. paste_mw may take the worlds of scan.body (setting
// them to NIL); whatever it leaves there is freed afterwards.
struct a_scrap_readers {
  void (*textr_paste)(const uint8* data, uint32 size);  // 770, into the text being edited
  void (*paste_om)(const uint8* data, uint32 size);     // 769
  void (*paste_ph)(const uint8* data, uint32 size);     // 768
  // Unicode text (0-terminated, at most max units): inserts it at the caret
  // or makes a text object of it; FALSE when neither happened.
  bool8 (*inject_unicode)(CUStrSpan text, int32 max);
  void (*paste_mw)(a_picture_scan_rec& scan);           // a pasted bitmap
};
void Scrap_Set_Readers(const a_scrap_readers& readers);

// The bitmap reader, from the pixel engine above this layer: its BMP scanner
// (Scan_BMP_3), the clearing of a scan record (Clear_Scan_Rec) and the
// disposal of the worlds of a scan's body (Dispose_MW), installed by its
// start-up (ParsBMP_Init). Until then no bitmap is read from the clipboard.
struct a_scrap_bitmap_reader {
  void (*clear)(a_picture_scan_rec& scan);
  int16 (*scan)(bool8 isfile, int16 (*reader)(void* data_ptr, void* buf, uint32& len), void* rdata,
                uint64 avail, a_picture_scan_rec& scan);  // 0 when read
  void (*dispose)(a_picture_scan_rec& scan);
};
void Scrap_Set_Bitmap_Reader(const a_scrap_bitmap_reader& reader);

// Empties the clipboard (nothing when it cannot be opened).
void Scrap_Clear();
// Adds a copy of size bytes under format.
void Scrap_Add_Ptr(const void* data, uint32 size, uint32 format);
// Adds the map as a bitmap (format 8), rows top-down; 8-bit maps carry 256
// colours, 1-bit maps 2. Sound 136 when the clipboard cannot be opened.
void Scrap_Add_PixMap(const PixMap& pix);
void Scrap_Add_Hdl();
// Pastes the first format present; TRUE when something was pasted.
bool8 Scrap_Paste();
// kind := format; whether the clipboard holds it.
bool8 Is_Scrap_Available(uint32& kind, uint32 format);
// hdl := a new block with a copy of the clipboard's bytes of that format
// (the caller disposes of it), or NIL when there are none.
void Scrap_Get_Handle(Handle& hdl, uint32 kind);
void Drag_Init(HostWindow* window);

// The byte reader handed to the bitmap reader over a block in memory.
struct a_ram_state {
  const uint8* ptr;
  uint32 left;
};
// Copies min(len, bytes left) bytes, advances the state, len := the number
// copied; always 0.
int16 Ram_Reader(void* state, void* buf, uint32& len);

// Tabs become four blanks, line feeds are dropped (carriage returns stay),
// at most 3999 units go on; an unpaired surrogate becomes U+FFFD. The
// result is that of the Unicode reader (FALSE when none is installed).
bool8 Filter_And_Inject(CUStrSpan text);
