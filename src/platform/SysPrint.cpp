// The printing back end; see SysPrint.h.
#include "platform/SysPrint.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/VoskDef.h"
#include "host/HostByteOrder.h"
#include "host/HostDialog.h"
#include "host/HostUtf.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysCurs.h"
#include "platform/SysDlog.h"
#include "platform/SysErr.h"
#include "platform/SysLoop.h"
#include "platform/SysMS.h"
#include "platform/VoskErr.h"
#include "platform/VoskPref.h"

a_print_rec g_print;
Handle g_zadaz_devmode = nullptr;
Handle g_zadaz_devname = nullptr;
char g_printername[256];
bool8 abort_printing = false;
HWND abort_dialog = nullptr;
int16 g_print_copies = 1;
float g_print_extent_mm = 0;

namespace {
void No_Print_Blit(GWorldPtr, GWorldPtr, Rect, Rect, int16, HRGN) {}
}  // namespace

void (*g_print_blit_proc)(GWorldPtr, GWorldPtr, Rect, Rect, int16, HRGN) = No_Print_Blit;

namespace {

std::string g_doc_name;      // doc_info points into it
bool8 g_zadaz_searched = false;
bool8 g_stopped_for_quit = false;  // the job was stopped because the program quits

constexpr int16 kStopDialogId = DLOG_PRINT_STOP;
// What a job may draw beyond the farthest edge it is told of: the
// printable area's offset on the sheet.
constexpr double kPrintSlackMM = 25.0;
constexpr int16 kAlertNoPrinter = 11;
constexpr int16 kAlertCancelled = 20;
constexpr int16 kAlertSavedAs = 73;         // the print went to a file: where
constexpr int16 kAlertSavedAsPages = 74;    // ... to several page files
constexpr int16 kAlertFileNotWritten = 75;  // the print file could not be written
constexpr int16 kAlertNotAccepted = 76;     // the printer did not take the job

// How the delivery of the running job went (VP_OpenDoc, VP_CloseDoc), told
// by VP_Stop once the stop dialog is gone.
HostPrintOutcome g_outcome;

CStrSpan Param(const std::string& s) { return CStrSpan(s.c_str(), s.size() + 1); }

// Says where a delivered job went (file printers), or why a job could not be
// delivered.
void Tell_Outcome(bool8 failed) {
  if (failed) {
    if (g_outcome.to_file) {
      const std::string why = std::strerror(g_outcome.error != 0 ? g_outcome.error : EIO);
      Param_Text(Param(g_outcome.target), Param(why), "", "");
      OK_Alert(false, kAlertFileNotWritten);
    } else {
      Param_Text(Param(g_outcome.printer), Param(g_outcome.message), "", "");
      OK_Alert(false, kAlertNotAccepted);
    }
    return;
  }
  if (!g_outcome.delivered || g_outcome.files.empty()) return;
  const std::string count = std::to_string(g_outcome.files.size());
  Param_Text(Param(g_outcome.files.front()), Param(count), "", "");
  OK_Alert(false, g_outcome.files.size() == 1 ? kAlertSavedAs : kAlertSavedAsPages);
}

// The DEVMODEA of a block, checked whole with its private area; NIL for a
// block that does not hold one.
DEVMODEA* DevMode_Of(Handle h) {
  Ptr p = Handle_Lock(h);
  if (!p) return nullptr;
  const DEVMODEA* dm = Host_DevMode_Check(reinterpret_cast<const uint8*>(p), Handle_GetSize(h));
  Handle_Unlock(h);  // blocks do not move while we hold the pointer
  return const_cast<DEVMODEA*>(dm);
}

Handle Block_From(const std::vector<uint8>& bytes) {
  Handle h = New_Handle(uint32(bytes.size()));
  if (!h) {
    g_err_mem_proc(uint32(bytes.size()));
    return nullptr;
  }
  std::memcpy(Handle_Lock(h), bytes.data(), bytes.size());
  Handle_Unlock(h);
  return h;
}

bool Names_Of(Handle dn, std::string& driver, std::string& device, std::string& output) {
  Ptr p = Handle_Lock(dn);
  if (!p) return false;
  const bool ok = Host_Read_DevNames(reinterpret_cast<const uint8*>(p), Handle_GetSize(dn), driver, device, output);
  Handle_Unlock(dn);
  return ok;
}

// Both blocks of one printer: its default settings and its names.
bool Make_Blocks(const HostPrinterInfo& p, Handle& dm, Handle& dn) {
  std::vector<uint8> mode;
  if (!Host_Printer_DevMode(p.name, mode)) return false;
  std::vector<uint8> names = Host_Make_DevNames(p.driver, p.name, p.port, p.is_default);
  if (names.empty()) return false;
  dm = Block_From(mode);
  dn = Block_From(names);
  if (!dm || !dn) {
    Dispose_Handle(dm);
    Dispose_Handle(dn);
    return false;
  }
  return true;
}

void Set_Blocks(Handle& dm_var, Handle& dn_var, Handle dm, Handle dn) {
  if (dm_var != dm) Dispose_Handle(dm_var);
  if (dn_var != dn) Dispose_Handle(dn_var);
  dm_var = dm;
  dn_var = dn;
}

// Tenths of a millimetre of a length in millimetres, within a settings field.
int16 Tenths(float mm) { return int16(std::clamp<long>(std::lround(double(mm) * 10.0), 1, 32767)); }

// The settings ask for the paper of that size (portrait, millimetres): its
// named paper, else a size of its own.
void Set_Paper(DEVMODEA& dm, const a_fpoint& size) {
  const int16 w = Tenths(size.x), l = Tenths(size.y);
  const int16 paper = Host_Paper_For_Size(w, l);
  dm.dmPaperSize = paper;
  dm.dmFields |= DM_PAPERSIZE;
  if (paper == DMPAPER_USER) {
    dm.dmPaperWidth = w;
    dm.dmPaperLength = l;
    dm.dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
  } else {
    // A named paper replaces a size of its own the blocks held.
    dm.dmFields &= ~(DM_PAPERLENGTH | DM_PAPERWIDTH);
  }
}

// The paper the settings ask for, in tenths of a millimetre (portrait).
bool Paper_Of(const DEVMODEA& dm, int32& w, int32& l) {
  if ((dm.dmFields & DM_PAPERLENGTH) && (dm.dmFields & DM_PAPERWIDTH) && dm.dmPaperWidth > 0 &&
      dm.dmPaperLength > 0) {
    w = dm.dmPaperWidth;
    l = dm.dmPaperLength;
    return true;
  }
  return (dm.dmFields & DM_PAPERSIZE) && Host_Paper_Size(dm.dmPaperSize, w, l);
}

// The name of a paper in the print dialog.
std::string Paper_Name(int16 id, int32 w, int32 l) {
  switch (id) {
    case DMPAPER_A4: return "A4";
    case DMPAPER_A3: return "A3";
    case DMPAPER_A5: return "A5";
    case DMPAPER_LETTER: return "Letter";
    case DMPAPER_LEGAL: return "Legal";
    default: break;
  }
  const auto mm = [](int32 t) {
    std::string s = std::to_string(t / 10);
    if (t % 10 != 0) s += "." + std::to_string(t % 10);
    return s;
  };
  return mm(w) + " x " + mm(l) + " mm";
}

// The highest resolution at which a job's drawing stays within 16-bit
// device coordinates (it reaches `extent` millimetres from the sheet's
// corner) and its page within the page limit.
int32 Resolution_Cap(const DEVMODEA& dm, float extent) {
  int32 w = 0, l = 0;
  if (!Paper_Of(dm, w, l)) w = l = 2970;
  const double reach = std::max({double(extent), w / 10.0, l / 10.0}) + kPrintSlackMM;
  int32 cap = int32(std::floor(32767.0 * 25.4 / reach));
  const double pixels = double(Host_Print_Page_Limit()) / 4.0;
  const double inches2 = (w / 254.0) * (l / 254.0);
  if (inches2 > 0) cap = std::min(cap, int32(std::floor(std::sqrt(pixels / inches2))));
  return std::max<int32>(cap, 36);
}

// --- The print dialog ---------------------------------------------------------------
//
// Our own: the printer (a drop-down list of every printer) and, unless in
// setup mode, the number of copies. OK keeps the choice in new blocks.

constexpr int32 kItemPrinter = 3;
constexpr int32 kItemCopies = 4;
constexpr int32 kItemPaper = 5;

struct PaperChoice {
  int16 id;
  int32 width, length;  // tenths of a millimetre, portrait
};

struct PrintDlgState {
  std::vector<HostPrinterInfo> printers;
  int32 chosen;
  int16 copies;
  bool8 setup;
  std::vector<PaperChoice> papers;  // the printer's papers and the one asked for
  int32 paper;                      // the choice, -1 for none
};

// The papers the dialog offers: the printer's own, and the paper the
// settings ask for when it is none of them (a size of its own), chosen.
void List_Papers(PrintDlgState& st, const DEVMODEA* dm) {
  st.papers.clear();
  st.paper = -1;
  if (st.printers.empty()) return;
  const char* name = st.printers[size_t(st.chosen)].name.c_str();
  const int32 n = DeviceCapabilitiesA(name, nullptr, DC_PAPERS, nullptr, dm);
  if (n > 0 && n <= 64) {
    std::vector<int16> ids(static_cast<size_t>(n));
    DeviceCapabilitiesA(name, nullptr, DC_PAPERS, ids.data(), dm);
    for (const int16 id : ids) {
      int32 w = 0, l = 0;
      if (Host_Paper_Size(id, w, l)) st.papers.push_back(PaperChoice{id, w, l});
    }
  }
  int32 w = 0, l = 0;
  if (dm == nullptr || !Paper_Of(*dm, w, l)) return;
  for (size_t i = 0; i < st.papers.size(); ++i)
    if (std::abs(st.papers[i].width - w) <= 2 && std::abs(st.papers[i].length - l) <= 2) st.paper = int32(i);
  if (st.paper < 0) {
    st.papers.push_back(PaperChoice{DMPAPER_USER, w, l});
    st.paper = int32(st.papers.size() - 1);
  }
}

intptr_t PrintDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto* st = reinterpret_cast<PrintDlgState*>(GetWindowLongPtr(dialog, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      st = reinterpret_cast<PrintDlgState*>(lparam);
      SetWindowLongPtr(dialog, DWLP_USER, lparam);
      for (const HostPrinterInfo& p : st->printers) {
        const std::u16string name = Host_Utf8_To_Utf16(p.name);
        SendDlgItemMessage(dialog, kItemPrinter, CB_ADDSTRING, 0, LPARAM(name.c_str()));
      }
      SendDlgItemMessage(dialog, kItemPrinter, CB_SETCURSEL, WPARAM(st->chosen), 0);
      if (!st->setup) {
        SetDlgItemInt(dialog, kItemCopies, uint32(st->copies), false);
        for (const PaperChoice& p : st->papers) {
          const std::u16string name = Host_Utf8_To_Utf16(Paper_Name(p.id, p.width, p.length));
          SendDlgItemMessage(dialog, kItemPaper, CB_ADDSTRING, 0, LPARAM(name.c_str()));
        }
        SendDlgItemMessage(dialog, kItemPaper, CB_SETCURSEL, WPARAM(st->paper), 0);
      }
      return 1;
    }
    case WM_COMMAND: {
      const int32 id = int32(wparam & 0xFFFF);
      if (id == IDOK) {
        const LRESULT sel = SendDlgItemMessage(dialog, kItemPrinter, CB_GETCURSEL, 0, 0);
        if (sel >= 0 && sel < LRESULT(st->printers.size())) st->chosen = int32(sel);
        if (!st->setup) {
          bool ok = false;
          const uint32 n = GetDlgItemInt(dialog, kItemCopies, &ok, false);
          st->copies = int16(ok ? std::clamp<uint32>(n, 1, 999) : 1);
          const LRESULT paper = SendDlgItemMessage(dialog, kItemPaper, CB_GETCURSEL, 0, 0);
          if (paper >= 0 && paper < LRESULT(st->papers.size())) st->paper = int32(paper);
        }
        EndDialog(dialog, IDOK);
        return 1;
      }
      if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return 1;
      }
      return 0;
    }
    default:
      return 0;
  }
}

// Runs the dialog over the blocks dm / dn. TRUE on OK, with dm / dn the
// (possibly new) blocks of the choice and its copy count set.
bool8 Print_Dialog(Handle& dm, Handle& dn, int16& copies, bool8 setup) {
  PrintDlgState st{Host_Enum_Printers(), 0, copies, setup, {}, -1};
  std::string driver, device, output;
  const bool have_names = Names_Of(dn, driver, device, output);
  for (size_t i = 0; i < st.printers.size(); ++i)
    if (have_names ? st.printers[i].name == device : st.printers[i].is_default) st.chosen = int32(i);
  if (!setup) List_Papers(st, DevMode_Of(dm));
  HostDlgTemplate t;
  if (!Get_Dialog_Template(setup ? DLOG_PRINT_SETUP : DLOG_PRINT, t)) return false;
  // Over the window that asks (the layout designer's Print Preview asks
  // from its dialog): that window is disabled while it runs and has the
  // keyboard back after it.
  HWND asking = GetActiveWindow();
  if (asking == nullptr || !IsWindowEnabled(asking)) asking = main_hwnd;
  if (DialogBoxIndirectParam(nullptr, &t, asking, PrintDlgProc, LPARAM(&st)) != IDOK) return false;
  if (st.printers.empty()) return false;
  const HostPrinterInfo& p = st.printers[size_t(st.chosen)];
  if (!have_names || p.name != device) {
    Handle ndm = nullptr, ndn = nullptr;
    if (!Make_Blocks(p, ndm, ndn)) return false;
    // Settings the program chose (orientation, paper) carry over to the new printer.
    if (DEVMODEA* old = DevMode_Of(dm); old && DevMode_Of(ndm)) {
      DEVMODEA* nw = DevMode_Of(ndm);
      nw->dmOrientation = old->dmOrientation;
      nw->dmFields |= old->dmFields & DM_ORIENTATION;
      if (old->dmFields & DM_PAPERSIZE) nw->dmPaperSize = old->dmPaperSize;
      nw->dmFields = (nw->dmFields & ~(DM_PAPERLENGTH | DM_PAPERWIDTH)) |
                     (old->dmFields & (DM_PAPERLENGTH | DM_PAPERWIDTH));
      nw->dmPaperLength = old->dmPaperLength;
      nw->dmPaperWidth = old->dmPaperWidth;
    }
    Set_Blocks(dm, dn, ndm, ndn);
  }
  if (!setup) {
    copies = st.copies;
    if (DEVMODEA* d = DevMode_Of(dm)) {
      d->dmCopies = copies;
      d->dmFields |= DM_COPIES;
      if (st.paper >= 0 && st.paper < int32(st.papers.size())) {
        const PaperChoice& p = st.papers[size_t(st.paper)];
        Set_Paper(*d, a_fpoint{p.width / 10.0f, p.length / 10.0f});
      }
    }
  }
  return true;
}

// --- The stop dialog ----------------------------------------------------------------

// The stop dialog in the interface language, else in English; NIL (the
// missing template reported) when neither can be shown.
HWND Make_Stop_Dialog() {
  HostDlgTemplate t;
  const int16 translated = int16(kStopDialogId + Current_Language());
  if (!(translated != kStopDialogId && Dialog_Template_Valid(translated) && Get_Dialog_Template(translated, t)) &&
      !Get_Dialog_Template(kStopDialogId, t))
    return nullptr;
  return CreateDialogIndirectParam(nullptr, &t, main_hwnd, PrintStopDlg, 0);
}

}  // namespace

// --- The disc printer's private block -------------------------------------------------

void Zadaz_Private_Read(const uint8* at, a_zadaz_private& out) {
  std::memcpy(out.signature, at, 4);
  out.version = Load_LE32(at + 4);
  out.print_quality = int32(Load_LE32(at + 8));
  for (int i = 0; i < 4; ++i) out.ink_density[i] = int32(Load_LE32(at + 12 + 4 * i));
  int32* rest = &out.media_size;
  for (int i = 0; i < 10; ++i) rest[i] = int32(Load_LE32(at + 28 + 4 * i));
}

void Zadaz_Private_Write(uint8* at, const a_zadaz_private& in) {
  std::memcpy(at, in.signature, 4);
  Store_LE32(at + 4, in.version);
  Store_LE32(at + 8, uint32(in.print_quality));
  for (int i = 0; i < 4; ++i) Store_LE32(at + 12 + 4 * i, uint32(in.ink_density[i]));
  const int32* rest = &in.media_size;
  for (int i = 0; i < 10; ++i) Store_LE32(at + 28 + 4 * i, uint32(rest[i]));
}

// --- Module ---------------------------------------------------------------------------

void SysPrint_Init() {
  if (g_print.hdc) Host_DeletePrinterDC(g_print.hdc);
  Dispose_Handle(g_print.devmode_hdl);
  Dispose_Handle(g_print.devname_hdl);
  Dispose_Handle(g_zadaz_devmode);
  Dispose_Handle(g_zadaz_devname);
  g_print = a_print_rec{};
  g_print.can_rgn = true;
  g_printername[0] = 0;
  g_zadaz_searched = false;
  abort_printing = false;
  abort_dialog = nullptr;
  g_print_copies = 1;
}

bool8 Find_String(const char* base, const char* targ) {
  if (!base || !targ) return false;
  const size_t blen = strnlen(base, 512);
  const size_t tlen = std::strlen(targ);
  if (tlen == 0) return true;
  if (tlen > blen) return false;
  return std::search(base, base + blen, targ, targ + tlen) != base + blen;
}

bool8 Find_In_Area(const uint8* base, int32 len, int32& offset) {
  if (!base || len < int32(sizeof(a_zadaz_private))) return false;
  for (int32 i = 0; i <= len - int32(sizeof(a_zadaz_private)); ++i)
    if (std::memcmp(base + i, kZadazSignature, 4) == 0) {
      offset = i;
      return true;
    }
  return false;
}

bool8 Find_Local_Driver(bool8 do_hand, const char* targname, Handle& devmode_hdl, Handle& devname_hdl) {
  for (const HostPrinterInfo& p : Host_Enum_Printers()) {
    if (!Find_String(p.driver.c_str(), targname)) continue;
    if (do_hand && !Make_Blocks(p, devmode_hdl, devname_hdl)) return false;
    return true;
  }
  return false;
}

bool8 Is_A_Zadaz_Printer(Handle devmode_hdl) {
  const DEVMODEA* dm = DevMode_Of(devmode_hdl);
  HostPrinterInfo p;
  if (!dm || !Host_Find_Printer(dm->dmDeviceName, p)) return false;
  return Find_String(p.driver.c_str(), kZadazDriverName);
}

bool8 Init_Zadaz_Handles() {
  if (!g_zadaz_devmode && !g_zadaz_searched) {
    g_zadaz_searched = true;
    Find_Local_Driver(true, kZadazDriverName, g_zadaz_devmode, g_zadaz_devname);
  }
  return g_zadaz_devmode != nullptr;
}

void Set_Zadaz_PaperSize(DEVMODEA& mydev, int16 msize) {
  int16 papers[16];
  const int32 n = DeviceCapabilitiesA(mydev.dmDeviceName, nullptr, DC_PAPERS, nullptr, &mydev);
  const size_t want = msize == 3 ? 0 : 1;
  if (n > 0 && n <= 16) {
    DeviceCapabilitiesA(mydev.dmDeviceName, nullptr, DC_PAPERS, papers, &mydev);
    if (size_t(n) > want) mydev.dmPaperSize = papers[want];
  }
  const int16 side = msize == 3 ? 1195 : 799;
  mydev.dmPaperLength = side;
  mydev.dmPaperWidth = side;
  mydev.dmFields |= DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH;
}

bool8 Is_Printer_Avail() {
  if (g_print.devmode_hdl && g_print.devname_hdl) return true;
  HostPrinterInfo p;
  if (!Host_Default_Printer(p)) return false;
  Handle dm = nullptr, dn = nullptr;
  if (!Make_Blocks(p, dm, dn)) return false;
  Set_Blocks(g_print.devmode_hdl, g_print.devname_hdl, dm, dn);
  return true;
}

bool8 Print_Job_Running() { return g_print.hdc != nullptr; }

void Print_Stop_For_Quit() {
  if (!Print_Job_Running()) return;
  abort_printing = true;
  g_stopped_for_quit = true;
}

void Print_Enter() {
  g_outcome = HostPrintOutcome{};
  g_print.deferred_paint = false;
  abort_printing = false;
  g_stopped_for_quit = false;
  g_print.pagenum = 0;
  g_print.job_failed = false;
  Cursor_Reset();
}

void Print_Leave() {
  // The whole interface repaints (its windows were not painted meanwhile).
  if (g_print.deferred_paint && main_hwnd) InvalidateRect(main_hwnd, nullptr, true);
  g_print.deferred_paint = false;
}

void Print_Setup() {
  Cursor_Reset();
  if (!Is_Printer_Avail()) {
    OK_Alert(false, kAlertNoPrinter);
    return;
  }
  Handle dm = g_print.devmode_hdl, dn = g_print.devname_hdl;
  int16 copies = 1;
  Init_External();
  const bool8 ok = Print_Dialog(dm, dn, copies, true);
  Stop_External();
  if (!ok) return;
  g_print.devmode_hdl = dm;
  g_print.devname_hdl = dn;
  if (Is_A_Zadaz_Printer(dm)) {
    // The disc printer's blocks are copies: the two sets change apart.
    Handle zdm = nullptr, zdn = nullptr;
    const uint32 nm = Handle_GetSize(dm), nn = Handle_GetSize(dn);
    zdm = New_Handle(nm);
    zdn = New_Handle(nn);
    if (!zdm || !zdn) {
      Dispose_Handle(zdm);
      Dispose_Handle(zdn);
      g_err_mem_proc(nm + nn);
      return;
    }
    std::memcpy(Handle_Lock(zdm), Handle_Lock(dm), nm);
    std::memcpy(Handle_Lock(zdn), Handle_Lock(dn), nn);
    Handle_Unlock(zdm);
    Handle_Unlock(dm);
    Handle_Unlock(zdn);
    Handle_Unlock(dn);
    Set_Blocks(g_zadaz_devmode, g_zadaz_devname, zdm, zdn);
  }
}

bool8 VP_Init(bool8 askjob, bool8 /*hires*/, bool8 needland, const a_fpoint& targ_size, uint32 pjflags,
              const char* spooler_name, int16& nreps) {
  nreps = 1;
  if (!Is_Printer_Avail()) {
    OK_Alert(false, kAlertNoPrinter);
    return false;
  }
  Handle* dm_var = &g_print.devmode_hdl;
  Handle* dn_var = &g_print.devname_hdl;
  int16 copies = 1;
  bool8 show_dialog = askjob;
  bool8 disc = false;
  if ((pjflags & PJ_Set(PJ_ZADAZ)) && Init_Zadaz_Handles()) {
    disc = true;
    dm_var = &g_zadaz_devmode;
    dn_var = &g_zadaz_devname;
    copies = int16(std::clamp<int32>(g_print_copies, 1, 100));
    DEVMODEA* dm = DevMode_Of(*dm_var);
    if (!dm) return false;
    dm->dmCopies = copies;
    dm->dmFields |= DM_COPIES;
    uint8* area = reinterpret_cast<uint8*>(dm) + dm->dmSize;
    int32 at = 0;
    if (Find_In_Area(area, dm->dmDriverExtra, at)) {
      a_print_media_spec specs;
      Get_Media_Specs(specs);
      const int32 inner = specs.adj[0], outer = specs.adj[1];
      const int32 density = specs.adj[3], quality = specs.adj[4];
      a_zadaz_private z;
      Zadaz_Private_Read(area + at, z);
      z.print_quality = (quality < PRINT_QUALITY_MIN || quality > PRINT_QUALITY_MAX) ? PRINT_QUALITY_DEFAULT : quality;
      const int32 dens =
          (density < PRINT_DENSITY_MIN || density > PRINT_DENSITY_MAX) ? PRINT_DENSITY_DEFAULT : density;
      for (int32& d : z.ink_density) d = dens;
      if (g_doc.doc_template.nunits > 0 && g_doc.doc_template.units[0].kind == UNIT_CD) {
        Set_Zadaz_PaperSize(*dm, 3);
        z.media_size = 3;
        z.full_120_inner = inner / 10;
        z.full_120_outer = (outer + 9) / 10;
      } else {
        Set_Zadaz_PaperSize(*dm, 1);
        z.media_size = 1;
        z.full_80_inner = inner / 10;
        z.full_80_outer = (outer + 9) / 10;
      }
      Zadaz_Private_Write(area + at, z);
      show_dialog = false;
    } else {
      show_dialog = true;
    }
  }
  Print_Enter();
  g_doc_name = spooler_name ? spooler_name : "";
  g_print.doc_info = DOCINFOA{int32(sizeof(DOCINFOA)), g_doc_name.c_str(), nullptr, nullptr, 0};

  if (!disc) {
    if (DEVMODEA* dm = DevMode_Of(*dm_var)) {
      dm->dmOrientation = needland ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
      dm->dmFields |= DM_ORIENTATION;
      // The layout's paper: the dialog offers it first, the job asks for it.
      if (targ_size.x > 0 && targ_size.y > 0) Set_Paper(*dm, targ_size);
    }
  }

  Init_External();
  bool8 ok;
  if (show_dialog) {
    ok = Print_Dialog(*dm_var, *dn_var, copies, false);
    if (ok) g_print.ncopies = 1;
  } else {
    ok = true;
    g_print.ncopies = uint16(copies);
  }
  if (ok) {
    std::string driver, device, output;
    const DEVMODEA* dm = DevMode_Of(*dm_var);
    ok = dm && Names_Of(*dn_var, driver, device, output);
    // The job's resolution is held where its drawing fits 16-bit
    // coordinates and its page the page limit; the kept settings keep theirs.
    std::vector<uint8> capped;
    if (ok) {
      const size_t n = size_t(dm->dmSize) + dm->dmDriverExtra;
      const uint8* raw = reinterpret_cast<const uint8*>(dm);
      capped.assign(raw, raw + n);
      DEVMODEA* c = reinterpret_cast<DEVMODEA*>(capped.data());
      const int32 cap = Resolution_Cap(*c, g_print_extent_mm);
      const int32 x = (c->dmFields & DM_PRINTQUALITY) && c->dmPrintQuality > 0 ? c->dmPrintQuality : 300;
      const int32 y = (c->dmFields & DM_YRESOLUTION) && c->dmYResolution > 0 ? c->dmYResolution : x;
      if (x > cap || y > cap) {
        c->dmPrintQuality = int16(std::min(x, cap));
        c->dmYResolution = int16(std::min(y, cap));
        c->dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION;
      }
      dm = c;
    }
    if (ok) g_print.hdc = CreateDCA(driver.c_str(), device.c_str(), output.c_str(), dm);
    ok = ok && g_print.hdc != nullptr;
    if (ok) {
      std::snprintf(g_printername, sizeof g_printername, "%s", device.c_str());
      abort_dialog = Make_Stop_Dialog();
    }
    if (ok && abort_dialog == nullptr) {
      // Without its stop dialog the job could not be stopped: it is refused.
      Host_DeletePrinterDC(g_print.hdc);
      g_print.hdc = nullptr;
      ok = false;
    }
    if (ok) {
      ShowWindow(abort_dialog, SW_SHOWNOACTIVATE);
      UpdateWindow(abort_dialog);
      SetAbortProc(g_print.hdc, PrintAbort);
      g_print.resolution = int16(GetDeviceCaps(g_print.hdc, LOGPIXELSX));
      g_print.offset.h = INT32_To_INT16(GetDeviceCaps(g_print.hdc, PHYSICALOFFSETX));
      g_print.offset.v = INT32_To_INT16(GetDeviceCaps(g_print.hdc, PHYSICALOFFSETY));
    }
  }
  if (!ok) {
    Stop_External();
    Print_Leave();
  }
  return ok;
}

bool8 VP_OpenDoc() {
  if (!g_print.hdc) return false;
  // A job whose output cannot even be started is reported by VP_Stop, not
  // dropped in silence.
  const bool8 ok = StartDocA(g_print.hdc, &g_print.doc_info) >= 0;
  g_outcome = Host_Print_Last_Outcome();
  if (!ok) g_print.job_failed = true;
  return ok;
}

bool8 VP_OpenPage() {
  if (!g_print.hdc) return false;
  ++g_print.pagenum;
  const int32 r = StartPage(g_print.hdc);
  if (r == SP_APPABORT) abort_printing = true;
  if (r <= 0) return false;
  SetPort2(nullptr, g_print.hdc);
  const int32 pw = GetDeviceCaps(g_print.hdc, PHYSICALWIDTH), ph = GetDeviceCaps(g_print.hdc, PHYSICALHEIGHT);
  const int32 ox = GetDeviceCaps(g_print.hdc, PHYSICALOFFSETX), oy = GetDeviceCaps(g_print.hdc, PHYSICALOFFSETY);
  g_print.paperbox = Rect{INT32_To_INT16(-oy), INT32_To_INT16(-ox), INT32_To_INT16(ph - oy), INT32_To_INT16(pw - ox)};
  g_print.in_printing = true;
  return true;
}

void VP_Blt(GWorldPtr doc_world, const Rect& doc_bounds, const Rect& dest, RgnHandle cliprgn) {
  if (!g_print.hdc || !doc_world) return;
  GWorldPtr world = doc_world;
  GWorldPtr temp = nullptr;
  if (doc_world->pix.pixelSize == 16) {
    if (New_GWorld(doc_bounds, 24, nullptr, temp) != noErr || !temp) {
      QUIT();
      return;
    }
    g_print_blit_proc(doc_world, temp, doc_bounds, doc_bounds, srcCopy, nullptr);
    world = temp;
  }
  const PixMap& pix = world->pix;
  BITMAPINFO bmi;
  Calc_RGB_DIB(bmi, pix);
  const size_t stride = size_t(uint16(pix.rowBytes) & 0x3FFF);
  const size_t bits_size = stride * size_t(std::max(0, pix.bounds.bottom - pix.bounds.top));
  if (cliprgn) SelectClipRgn(g_print.hdc, cliprgn);
  Host_Print_DIBits(g_print.hdc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
                    doc_bounds.left - pix.bounds.left, doc_bounds.top - pix.bounds.top,
                    doc_bounds.right - doc_bounds.left, doc_bounds.bottom - doc_bounds.top, pix.baseAddr, &bmi,
                    DIB_RGB_COLORS, SRCCOPY, bits_size);
  if (cliprgn) SelectClipRgn(g_print.hdc, nullptr);
  Dispose_GWorld(temp);
}

bool8 VP_ClosePage() {
  if (!g_print.hdc) return false;
  NoPort();
  const int32 r = EndPage(g_print.hdc);
  g_print.in_printing = false;
  if (r == SP_APPABORT) abort_printing = true;
  return r >= 0;
}

bool8 VP_CloseDoc() {
  if (!g_print.hdc) return false;
  if (abort_printing) return false;  // VP_Stop abandons the job
  const bool8 ok = EndDoc(g_print.hdc) > 0;
  g_outcome = Host_Print_Last_Outcome();
  if (!ok) g_print.job_failed = true;
  return ok;
}

void VP_Stop(uint32 /*pjflags*/) {
  g_print.in_printing = false;
  if (abort_dialog) {
    DestroyWindow(abort_dialog);
    abort_dialog = nullptr;
  }
  Stop_External();
  if (g_print.hdc) {
    // A job the user stopped was cancelled; one that could not be delivered
    // failed, and says why; a delivered job to a file says where it went. A
    // job stopped because the program quits needs no alert to answer.
    const bool8 stopped = abort_printing;
    const bool8 failed = !stopped && g_print.job_failed;
    if (stopped || failed) AbortDoc(g_print.hdc);
    g_print.job_failed = false;
    Host_DeletePrinterDC(g_print.hdc);
    g_print.hdc = nullptr;
    if (stopped) {
      if (!g_stopped_for_quit) OK_Alert(false, kAlertCancelled);
    } else {
      Tell_Outcome(failed);
    }
  }
  g_outcome = HostPrintOutcome{};
  Print_Leave();
}

int16 Print_Options_Read(const char*, void*, int32) { return 0; }
int16 Print_Options_Write(const char*, void*, int32) { return 0; }

bool PrintAbort(HDC, int32) {
  MSG msg;
  // Bounded: a window that keeps asking to be painted cannot hold the job.
  for (int32 n = 0; n < 256 && !abort_printing && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
    if (msg.message == WM_QUIT) {
      // The program is ending: the job stops and the quit is left for the
      // main loop.
      PostQuitMessage(int32(msg.wParam));
      Print_Stop_For_Quit();
      break;
    }
    if (abort_dialog && IsDialogMessage(abort_dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return !abort_printing;
}

intptr_t PrintStopDlg(HWND dialog, UINT msg, WPARAM, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      CenterWindow(dialog);
      Fix_DLOG_String(dialog, 1, 105);
      Fix_DLOG_String(dialog, 2, 130);
      return 1;
    case WM_COMMAND:
      abort_printing = true;
      return 1;
    default:
      return 0;
  }
}
