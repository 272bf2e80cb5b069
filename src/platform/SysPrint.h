// The printing back end: chooses and sets up the printer (the default
// printer, the kept choice of Print Setup, or the disc printer with its
// private settings), runs the job with its stop dialog, and blits rendered
// worlds onto the pages. The document layer calls, in this order:
//   VP_Init, VP_OpenDoc, then per page VP_OpenPage, VP_Blt..., VP_ClosePage,
//   then VP_CloseDoc and VP_Stop (also when VP_OpenDoc failed).
// Printers, settings blocks and jobs come from the host (HostPrint.h).
#pragma once

#include "host/HostPrint.h"
#include "host/HostWin.h"
#include "platform/SysMem.h"
#include "platform/SysWin.h"
#include "platform/Types.h"

// The blit that turns a 16-bit document world into a 24-bit one before it
// is sent to the printer: the pixel engine's Port_To_Port, installed by its
// start-up (SysBlt_Init). Until then such a world prints blank.
extern void (*g_print_blit_proc)(GWorldPtr src, GWorldPtr dst, Rect src_rect, Rect dst_rect, int16 mode,
                                 HRGN clip);

// Dialog templates of printing: the print dialog, the Print Setup dialog
// (items: 3 the printer, 4 the copies, IDOK, IDCANCEL) and the stop dialog
// (1 the stop button, 2 the notice; 1210 + the interface language, else 1210).
constexpr int16 DLOG_PRINT = 1240;
constexpr int16 DLOG_PRINT_SETUP = 1241;
constexpr int16 DLOG_PRINT_STOP = 1210;

// Print-job flags (bit numbers in the pjflags set).
enum a_printjob_flag : uint8 {
  PJ_ZADAZ = 0,  // the job goes to the disc printer
};
constexpr uint32 PJ_Set(a_printjob_flag f) { return uint32(1) << f; }

struct a_print_rec {
  HDC hdc;             // the printer device context of the running job
  DOCINFOA doc_info;   // document name: the spooler name given to VP_Init
  Rect print_bounds;   // kept for the document layer
  int16 resolution;    // dots per inch across
  Rect paperbox;       // the whole sheet in device coordinates (set per page)
  Point offset;        // the printable area's offset on the sheet
  uint16 pagenum;      // pages opened in this job
  uint16 ncopies;      // copies the program itself prints (1: the driver's)
  Handle devmode_hdl;  // the chosen printer's DEVMODEA block
  Handle devname_hdl;  // and its DEVNAMES block
  bool8 in_printing;   // between a successful VP_OpenPage and VP_ClosePage
  bool8 deferred_paint;  // a repaint was asked for while printing
  bool8 can_rgn;       // the printer takes clip regions
  bool8 job_failed;    // the job could not be delivered (VP_CloseDoc)
};
extern a_print_rec g_print;

// The disc printer's blocks, found once; the printer's name; the stop
// dialog and the user's stop.
extern Handle g_zadaz_devmode;
extern Handle g_zadaz_devname;
extern char g_printername[256];
extern bool8 abort_printing;
extern HWND abort_dialog;

// The copy count for disc jobs (the interface's print-copies slider, 1 ..
// 100); the interface keeps it current.
extern int16 g_print_copies;

// How far from the sheet's corner, in millimetres, the next job draws (its
// farthest unit edge, bleeds and nudges included; 0: within the paper).
// VP_Init holds the job's resolution where that distance and the paper
// fit 16-bit device coordinates, and the page fits the page limit.
extern float g_print_extent_mm;

// The ranges of the disc printer's quality and ink-density sliders.
constexpr int32 PRINT_QUALITY_MIN = 2;
constexpr int32 PRINT_QUALITY_MAX = 4;
constexpr int32 PRINT_QUALITY_DEFAULT = 3;
constexpr int32 PRINT_DENSITY_MIN = 1;
constexpr int32 PRINT_DENSITY_MAX = 9;
constexpr int32 PRINT_DENSITY_DEFAULT = 5;

// The disc printer driver's private settings: a 68-byte block inside the
// driver-private area of its DEVMODEA, found by its signature. All integers
// 32-bit little-endian (read and written through the routines below, since
// the block may lie at any offset).
struct a_zadaz_private {
  char signature[4];  // "DYMO"
  uint32 version;
  int32 print_quality;
  int32 ink_density[4];
  int32 media_size;  // 1 = 80 mm disc, 3 = 120 mm disc
  int32 full_80_inner;  // diameters in millimetres
  int32 full_80_outer;
  int32 part_80_inner;
  int32 part_80_outer;
  int32 full_120_inner;
  int32 full_120_outer;
  int32 part_120_inner;
  int32 part_120_outer;
  int32 beep;
};
static_assert(sizeof(a_zadaz_private) == 68);
static_assert(offsetof(a_zadaz_private, media_size) == 28);
static_assert(offsetof(a_zadaz_private, full_120_inner) == 48);
static_assert(offsetof(a_zadaz_private, beep) == 64);

constexpr const char* kZadazDriverName = "DiscPainter";
constexpr const char* kZadazSignature = "DYMO";

void Zadaz_Private_Read(const uint8* at, a_zadaz_private& out);
void Zadaz_Private_Write(uint8* at, const a_zadaz_private& in);

// Module start-up: no printer blocks, no disc printer, regions allowed.
void SysPrint_Init();

// Prepares a job named spooler_name; TRUE when the printer context is ready.
// nreps := 1 (further copies are the driver's). hires is not used.
bool8 VP_Init(bool8 askjob, bool8 hires, bool8 needland, const a_fpoint& targ_size, uint32 pjflags,
              const char* spooler_name, int16& nreps);
bool8 VP_OpenDoc();
bool8 VP_OpenPage();
// Prints doc_bounds of doc_world stretched into dest of the page, clipped to
// cliprgn (page coordinates) when given. A 16-bit world goes through a
// 24-bit copy.
void VP_Blt(GWorldPtr doc_world, const Rect& doc_bounds, const Rect& dest, RgnHandle cliprgn);
bool8 VP_ClosePage();
// Delivers the job; FALSE (and g_print.job_failed) when it could not be.
bool8 VP_CloseDoc();
// Ends the job and releases the printer context. A job the user stopped is
// abandoned and reported as cancelled (alert 20); one that could not be
// delivered is abandoned and says why (alert 75 with the file and the reason
// for a file printer, 76 with the printer's name otherwise); a job a file
// printer delivered says where it went (alert 73, or 74 for several page
// files).
void VP_Stop(uint32 pjflags);

void Print_Enter();
void Print_Leave();
// TRUE from a successful VP_Init to VP_Stop.
bool8 Print_Job_Running();
// The program is quitting: a running job is stopped (abort_printing) and
// VP_Stop abandons it without the alert.
void Print_Stop_For_Quit();
// The Print Setup command: chooses the printer that later jobs use.
void Print_Setup();

bool8 Is_Printer_Avail();
bool8 Init_Zadaz_Handles();
// The first printer whose driver name contains targname; with do_hand its
// default settings and names as new blocks.
bool8 Find_Local_Driver(bool8 do_hand, const char* targname, Handle& devmode_hdl, Handle& devname_hdl);
bool8 Is_A_Zadaz_Printer(Handle devmode_hdl);
// The offset of the "DYMO" block in a driver-private area of len bytes
// (offsets 0 .. len - 68); FALSE when len < 68 or there is none.
bool8 Find_In_Area(const uint8* base, int32 len, int32& offset);
// TRUE when targ occurs in base (its first 512 characters).
bool8 Find_String(const char* base, const char* targ);
void Set_Zadaz_PaperSize(DEVMODEA& mydev, int16 msize);
int16 Print_Options_Read(const char* path, void* info, int32 key);
int16 Print_Options_Write(const char* path, void* info, int32 key);

// The abort procedure of our jobs and the stop dialog's procedure.
bool PrintAbort(HDC dc, int32 code);
intptr_t PrintStopDlg(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);
