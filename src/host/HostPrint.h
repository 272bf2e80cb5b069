// The host layer's printing: printers, their settings blocks and capabilities,
// and print jobs on printer device contexts.
//
// Printers are the CUPS destinations plus pseudo-printers of our own:
//   "Print to File"   always listed; writes each job to a file, as one PDF
//                     (any name) or as PNG pages (a name ending ".png": page 1
//                     gets the name itself, page n the name with "-n" before
//                     the suffix). It is the default printer when CUPS has
//                     none, and the only printer when CUPS is switched off.
//   the disc printer  a file printer whose driver is "DiscPainter": square
//                     disc pages and a driver-private settings block. Listed
//                     only when switched on (Host_Print_Set_Disc_Printer or
//                     VELMOR_DISC_PRINTER=1), so that disc jobs do not end in
//                     a file on machines without such a printer.
// VELMOR_PRINT=file switches CUPS off (headless runs and tests).
//
// A printer device context (CreateDCA) draws into one page surface of the
// software GDI (HostGdi.h): 32 bits, white at StartPage, at the job's
// resolution, covering the printable area (device (0, 0) is its top-left
// corner, PHYSICALOFFSETX/Y place it on the sheet). EndPage appends the page
// to the job: a PNG page of the page surface, or a PDF page of the sheet's
// size in points (cairo) holding what was drawn, in drawing order: each
// picture printed with Host_Print_DIBits as an image of its source pixels
// placed at its destination and clipped by the DC's clip region as a path
// (a picture printed several times in a job is embedded once), and what any
// other drawing changed on the page as filled rectangles of its colours, or
// as small image patches where it changed many pixels to many colours
// (photo-like blits). The page is never embedded whole. A landscape job for a
// print server has the portrait sheet's pages, the page turned onto each as
// the device context has it (its top edge on the sheet's left), so that no
// server turns it another way. EndDoc delivers the job:
// the PDF goes to CUPS (cupsPrintFile2), or the file printer renames its
// finished temporary file(s) into place, so an aborted or failed job leaves
// no partial file and never touches an existing one.
//
// Pages larger than the page limit (Host_Print_Set_Page_Limit, 160 MiB by
// default: A4 and Letter fit at 600 dpi) are refused: CreateDCA returns NIL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/HostGdi.h"
#include "platform/Types.h"

// --- Settings blocks ------------------------------------------------------------

// Fields of DEVMODEA.dmFields.
constexpr uint32 DM_ORIENTATION = 0x00000001;
constexpr uint32 DM_PAPERSIZE = 0x00000002;
constexpr uint32 DM_PAPERLENGTH = 0x00000004;
constexpr uint32 DM_PAPERWIDTH = 0x00000008;
constexpr uint32 DM_COPIES = 0x00000100;
constexpr uint32 DM_PRINTQUALITY = 0x00000400;
constexpr uint32 DM_YRESOLUTION = 0x00002000;

constexpr int16 DMORIENT_PORTRAIT = 1;
constexpr int16 DMORIENT_LANDSCAPE = 2;

// Paper ids. Ids from DMPAPER_USER on are the driver's own (the disc papers).
constexpr int16 DMPAPER_LETTER = 1;
constexpr int16 DMPAPER_LEGAL = 5;
constexpr int16 DMPAPER_A3 = 8;
constexpr int16 DMPAPER_A4 = 9;
constexpr int16 DMPAPER_A5 = 11;
constexpr int16 DMPAPER_USER = 256;
constexpr int16 DMPAPER_DISC120 = 257;  // 120 mm disc on the disc printer
constexpr int16 DMPAPER_DISC80 = 258;   // 80 mm disc

constexpr size_t CCHDEVICENAME = 128;

// A printer's settings. In memory a DEVMODEA is followed by dmDriverExtra
// bytes of the driver's private area; a block is dmSize + dmDriverExtra
// bytes. Our own layout; every integer in host order.
struct DEVMODEA {
  char dmDeviceName[CCHDEVICENAME];  // printer name, NUL-terminated
  uint16 dmSpecVersion;
  uint16 dmDriverVersion;
  uint16 dmSize;         // sizeof(DEVMODEA)
  uint16 dmDriverExtra;  // bytes of the private area that follows
  uint32 dmFields;       // DM_... of the fields set
  int16 dmOrientation;   // DMORIENT_...
  int16 dmPaperSize;     // DMPAPER_...
  int16 dmPaperLength;   // tenths of a millimetre (with DM_PAPERLENGTH)
  int16 dmPaperWidth;    // tenths of a millimetre (with DM_PAPERWIDTH)
  int16 dmCopies;
  int16 dmPrintQuality;  // dots per inch across
  int16 dmYResolution;   // dots per inch down
  int16 dmReserved;
};
static_assert(sizeof(DEVMODEA) == CCHDEVICENAME + 12 + 16);
constexpr uint16 kHostDevModeVersion = 0x0401;
constexpr size_t kHostMaxDriverExtra = 4096;

// Printer names: four 16-bit offsets (in bytes from the start) of the
// driver, device and output names, each NUL-terminated, and wDefault (1
// for the default printer). The names start at offset 8.
struct DEVNAMES {
  uint16 wDriverOffset;
  uint16 wDeviceOffset;
  uint16 wOutputOffset;
  uint16 wDefault;
};
static_assert(sizeof(DEVNAMES) == 8);

// Builds a DEVNAMES block (empty when the names do not fit 16-bit offsets).
std::vector<uint8> Host_Make_DevNames(const std::string& driver, const std::string& device,
                                      const std::string& output, bool is_default);
// The three names of a block; FALSE for a block whose offsets or names do not
// lie within it.
bool Host_Read_DevNames(const uint8* block, size_t len, std::string& driver, std::string& device,
                        std::string& output);
// The DEVMODEA at the start of a block when the block holds it whole with its
// private area (dmSize and dmDriverExtra checked against len); else NIL.
const DEVMODEA* Host_DevMode_Check(const uint8* block, size_t len);

// --- Printers -------------------------------------------------------------------

struct HostPrinterInfo {
  std::string name;      // the device name (CUPS destination name)
  std::string driver;    // driver name: CUPS make and model, or ours
  std::string port;      // "FILE:" for file printers, else the device URI
  bool is_default = false;
  bool is_file = false;  // one of our file printers
};

constexpr const char* kHostFilePrinterName = "Print to File";
constexpr const char* kHostFilePrinterDriver = "Velmor File Printer";
constexpr const char* kHostDiscPrinterName = "DiscPainter Disc Printer";
constexpr const char* kHostDiscPrinterDriver = "DiscPainter (file output)";

// Every printer, CUPS destinations first. No CUPS server (or CUPS switched
// off) is not an error: the list then holds our own printers only.
std::vector<HostPrinterInfo> Host_Enum_Printers();
// The default printer: CUPS's default, else the first CUPS destination,
// else the file printer. FALSE only when there is no printer at all.
bool Host_Default_Printer(HostPrinterInfo& out);
bool Host_Find_Printer(const std::string& name, HostPrinterInfo& out);

// The printer's default settings as a DEVMODEA block with its private area.
// FALSE for an unknown printer.
bool Host_Printer_DevMode(const std::string& name, std::vector<uint8>& block);

// Switches. CUPS is on unless VELMOR_PRINT=file; the disc printer off unless
// VELMOR_DISC_PRINTER=1.
void Host_Print_Set_Cups(bool on);
void Host_Print_Set_Disc_Printer(bool on);
// Where the file printers write when the job names no output file (DOCINFO
// lpszOutput): this path; "" restores the default (VELMOR_PRINT_OUTPUT, else
// "<documents>/<document name>.pdf"). A file the job names, or one set here,
// is the user's choice and replaced (atomically, when the job has been
// finished); the default name never replaces a file: the job takes the first
// free name, "<document name> (2).pdf" and so on.
void Host_Print_Set_Output_Path(const std::string& path);
// The largest page surface, in bytes, a job may have.
void Host_Print_Set_Page_Limit(uint64 bytes);
uint64 Host_Print_Page_Limit();

// --- Capabilities ---------------------------------------------------------------

// Indices of DeviceCapabilitiesA.
constexpr uint16 DC_PAPERS = 2;       // out: int16 paper ids
constexpr uint16 DC_PAPERSIZE = 3;    // out: POINT per paper, tenths of a millimetre
constexpr uint16 DC_COPIES = 18;      // result: the largest copy count
constexpr uint16 DC_ENUMRESOLUTIONS = 13;  // out: two int32 per entry (x, y dpi)

// Number of entries (or the value for DC_COPIES); -1 for an unknown printer
// or index. `out` may be NIL to ask for the count; otherwise it must hold
// that many entries.
int32 DeviceCapabilitiesA(const char* device, const char* port, uint16 index, void* out,
                          const DEVMODEA* devmode);

// The size in tenths of a millimetre (portrait) of a paper id; FALSE when
// unknown.
bool Host_Paper_Size(int16 paper, int32& width, int32& length);
// The id of the page paper of that size (portrait, tenths of a millimetre,
// within 0.2 mm); DMPAPER_USER when no paper has it.
int16 Host_Paper_For_Size(int32 width, int32 length);

// --- Print jobs -----------------------------------------------------------------

// GetDeviceCaps indices.
constexpr int32 TECHNOLOGY = 2;
constexpr int32 HORZSIZE = 4;   // printable width, mm
constexpr int32 VERTSIZE = 6;   // printable height, mm
constexpr int32 HORZRES = 8;    // printable width, device units
constexpr int32 VERTRES = 10;   // printable height, device units
constexpr int32 BITSPIXEL = 12;
constexpr int32 LOGPIXELSX = 88;
constexpr int32 LOGPIXELSY = 90;
constexpr int32 PHYSICALWIDTH = 110;
constexpr int32 PHYSICALHEIGHT = 111;
constexpr int32 PHYSICALOFFSETX = 112;
constexpr int32 PHYSICALOFFSETY = 113;
constexpr int32 DT_RASDISPLAY = 1;
constexpr int32 DT_RASPRINTER = 2;

// Printer DCs answer for their page; other DCs for their surface at 96 dpi
// (no margins). 0 for a bad DC or index.
int32 GetDeviceCaps(HDC dc, int32 index);

// A printer device context for the printer `device` with the settings of
// `devmode` (NIL: the printer's defaults). driver and output are accepted as
// DEVNAMES give them and not needed. NIL for an unknown printer, bad
// settings or a page above the page limit.
HDC CreateDCA(const char* driver, const char* device, const char* output, const DEVMODEA* devmode);
// Ends a job still running (as AbortDoc), releases the DC and its page.
// Use it (not DeleteDC) for printer DCs; FALSE for a DC that is not one.
bool Host_DeletePrinterDC(HDC dc);
bool Host_Is_Printer_DC(HDC dc);

struct DOCINFOA {
  int32 cbSize;            // sizeof(DOCINFOA)
  const char* lpszDocName;
  const char* lpszOutput;  // a file to write instead of printing (NIL: none)
  const char* lpszDatatype;
  uint32 fwType;
};

// StretchDIBits for printers: on the page of a PDF job a picture drawn with
// SRCCOPY from within its DIB also goes into the job as an image (see above);
// otherwise, and on every other DC, exactly StretchDIBits. The page surface
// receives the pixels either way.
int32 Host_Print_DIBits(HDC dc, int32 x, int32 y, int32 w, int32 h, int32 sx, int32 sy, int32 sw,
                        int32 sh, const void* bits, const BITMAPINFO* info, uint32 usage,
                        uint32 rop, size_t bits_size = SIZE_MAX);

// Results of the job calls.
constexpr int32 SP_ERROR = -1;
constexpr int32 SP_APPABORT = -2;  // the abort procedure stopped the job
constexpr int32 SP_USERABORT = -3;
constexpr int32 SP_OUTOFDISK = -4;

// Called by StartPage and EndPage with the DC and 0; returning FALSE stops
// the job (the call then fails with SP_APPABORT and the job is abandoned).
using ABORTPROC = bool (*)(HDC dc, int32 code);
int32 SetAbortProc(HDC dc, ABORTPROC proc);

// The job id (> 0) or SP_ERROR.
int32 StartDocA(HDC dc, const DOCINFOA* info);
// A white page; > 0 on success.
int32 StartPage(HDC dc);
// Appends the page; > 0 on success.
int32 EndPage(HDC dc);
// Delivers the job; > 0 on success. A failure leaves nothing behind.
int32 EndDoc(HDC dc);
// Abandons the job: no output, temporary files removed. > 0 on success.
int32 AbortDoc(HDC dc);

// For tests and checks: the page surface of a printer DC (NIL otherwise), the
// settings it was made with, and the files the last finished job of the
// process wrote (file printers; empty after a CUPS job or a failure).
HBITMAP Host_Printer_Page(HDC dc);
bool Host_Printer_DC_DevMode(HDC dc, std::vector<uint8>& block);
std::vector<std::string> Host_Print_Last_Files();

// How the delivery of the last job started (StartDocA) went, for telling the
// user: where a file printer wrote it, or why it could not be delivered.
struct HostPrintOutcome {
  bool to_file = false;            // a file printer's job (else a CUPS job)
  bool delivered = false;          // EndDoc delivered it
  std::string target;              // the file it went to, or was meant to go to
  std::string printer;             // the printer's name
  std::vector<std::string> files;  // the files written (several for PNG pages)
  int error = 0;                   // errno of a failed delivery (0: none known)
  std::string message;             // the print server's own words, when it refused
};
HostPrintOutcome Host_Print_Last_Outcome();
