// The toolbox's palette calls as far as the program uses them: palettes are
// GDI palettes of the host layer, colour tables are made from them, and the
// calls that only exist so that the portable code links are kept with the
// little they do.
#pragma once

#include "host/HostGdi.h"
#include "host/HostWin.h"
#include "platform/ColorTable.h"
#include "platform/Types.h"

using PaletteHandle = HPALETTE;

// A "pltt" resource: the 4-byte palette header (version, entry count) and 256
// four-byte entries red, green, blue, flags.
constexpr OSType kPlttType = FourCC("pltt");
constexpr uint32 kPlttBytes = 4 + 256 * 4;

// ForeColor / BackColor of main-table entry dstEntry (colour code 300 + entry).
void PmForeColor(int16 dstEntry);
void PmBackColor(int16 dstEntry);

// A 256-entry palette whose entry i refers to system palette index i (the
// index in the entry's first two bytes, blue 0, flags srcUsage). The other
// arguments are not used.
PaletteHandle NewPalette(int16 entries, CTabHandle srcColors, int16 srcUsage, int16 srcTolerance);
// The palette of resource "pltt" PaletteID; NIL when the resource is missing
// or malformed (shorter than its header and entries, or a count of 0 or above 256).
PaletteHandle GetNewPalette(int16 PaletteID);
// Copies dstLength entries from srcEntry of srcPalette to dstEntry of
// dstPalette; entries beyond the end of either palette are left out.
void CopyPalette(PaletteHandle srcPalette, PaletteHandle dstPalette, int16 srcEntry,
                 int16 dstEntry, int16 dstLength);
// Fills the 256-entry colour table in dstCTab from the palette: seed 1000,
// flags 0, ctSize 255, entry i value i, each 16-bit channel the palette's
// byte repeated in both bytes. Entries the palette does not have are black.
// A handle smaller than a whole table is grown first (out of memory calls
// g_err_mem_proc); NIL arguments do nothing.
void Palette2CTab(PaletteHandle srcPalette, CTabHandle dstCTab);
// Deletes a palette that is not NIL and sets the variable to NIL.
void DisposePalette(PaletteHandle& p);

// Selects the program's palette (g_video.main_palette) into the window's
// device context as a foreground palette and realises it; nothing while
// there is none.
void ActivatePalette(HWND src_window);
// Selects srcPalette into the window's device context (foreground). The
// count of updates is not used.
void NSetPalette(HWND dstWindow, PaletteHandle srcPalette, int16 nCUpdates);

// Kept so that the portable code links.
inline int16 SetDepth(void*, int16, int16, int16) { return 0; }
inline int16 HasDepth(void*, int16, int16, int16) { return 0; }
inline void SetEntryColor(PaletteHandle, int16, const RGBColor&) {}
inline void SetEntryUsage(PaletteHandle, int16, int16, int16) {}
// Not supported on this platform: QUIT.
void GetPalette();
void CTab2Palette();
