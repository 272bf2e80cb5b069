#include "doc/VoskJob.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskPrev.h"
#include "doc/VoskPrin.h"
#include "doc/VoskShap.h"
#include "host/HostCodecs.h"
#include "host/HostFiles.h"
#include "host/HostVolumes.h"
#include "pixel/SysBlt.h"
#include "platform/PixMaps.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysIONav.h"
#include "platform/SysVol.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskIntI.h"

// --- The ticket -------------------------------------------------------------------------

bool8 Flex_Ticket(bool8 burn, bool8 print, int16 ncopies, int16 speed, bool8 verify, std::string& ticket) {
  ticket.clear();
  static constexpr char kSpeeds[] = {'L', 'M', 'H', 'D'};
  if (speed < 1 || speed > 4) return false;
  const char mode = burn && print ? 'A' : burn ? 'B' : 'P';
  const int copies = ncopies < 0 ? 0 : ncopies > 9999 ? 9999 : ncopies;
  char buf[32];
  std::snprintf(buf, sizeof buf, "<024,01,%c,%04d,%04d,%c,%c>", mode, copies, copies, kSpeeds[speed - 1],
                verify ? '1' : '0');
  ticket = buf;
  return ticket.size() == 24;
}

bool8 Flex_Ticket_Now(std::string& ticket) {
  return Flex_Ticket(gs.toggle_vals[FLEX_BURN_TOGGLE], gs.toggle_vals[FLEX_PRINT_TOGGLE], g_doc.doc_ncopies,
                     gs.slider_vals[FLEX_SPEED_SLIDER], gs.toggle_vals[FLEX_VERIFY_TOGGLE], ticket);
}

// --- The printer file ---------------------------------------------------------------------

namespace {

constexpr uint8 ESC = 27;

void Put(std::vector<uint8>& out, const char* text) {
  while (*text != 0) out.push_back(uint8(*text++));
}
void Put_Esc(std::vector<uint8>& out, const char* text) {
  out.push_back(ESC);
  Put(out, text);
}
void Put_Num(std::vector<uint8>& out, int64 n) { Put(out, std::to_string(n).c_str()); }

// Ends a run of n pixels of colour rgb (red x 32768 + green x 128 + blue / 2).
void Flush(std::vector<uint8>& out, int64 n, uint32 rgb) {
  if (n <= 0) return;
  if (n == 1) {
    out.push_back(0x00);
  } else if (n <= 8) {
    out.push_back(uint8(0x80 + (n - 2)));
  } else {
    out.push_back(0x87);
  }
  out.push_back(uint8(rgb >> 16));
  out.push_back(uint8(rgb >> 8));
  out.push_back(uint8(rgb));
  if (n < 9) return;
  int64 r = n - 9;
  while (r >= 255) {
    out.push_back(0xFF);
    r -= 255;
  }
  out.push_back(uint8(r));
}

uint32 Packed(uint8 red, uint8 green, uint8 blue) { return uint32(red) * 32768u + uint32(green) * 128u + blue / 2u; }

}  // namespace

void PCL_Header(std::vector<uint8>& out) {
  Put_Esc(out, "E");
  Put_Esc(out, "%-12345X@PJL ENTER LANGUAGE=PCL3GUI\n");
  for (const char* s : {"&l1H", "&l3M", "&l2A", "*o1M", "&l-2H", "&u300D", "*r1500S", "&l0E", "&l0L"}) Put_Esc(out, s);
}

void PCL_Trailer(std::vector<uint8>& out) {
  Put_Esc(out, "E");
  Put_Esc(out, "%-12345X");
}

void PCL_Row(std::vector<uint8>& out, const uint8* row, int32 width, int32 left) {
  // The run state starts white, as long as the left margin; runs compare the
  // whole 8 bits of each channel.
  uint8 cr = 255, cg = 255, cb = 255;
  int64 n = left > 0 ? left : 0;
  for (int32 x = 0; x < width; ++x) {
    const uint8* p = row + size_t(x) * 4;
    if (p[2] == cr && p[1] == cg && p[0] == cb) {
      ++n;
      continue;
    }
    Flush(out, n, Packed(cr, cg, cb));
    cr = p[2];
    cg = p[1];
    cb = p[0];
    n = 1;
  }
  Flush(out, n, Packed(cr, cg, cb));
}

void PCL_Raster(std::vector<uint8>& out, const a_pcl_picture& pic, int32 left, int32 top, int16 density,
                bool8 gray) {
  Put_Esc(out, "*o5W");
  for (uint8 b : {uint8(11), uint8(9), uint8(0), uint8(0), uint8(uint16(density) & 0xFF)}) out.push_back(b);
  if (gray) {
    Put_Esc(out, "*o5W");
    for (uint8 b : {11, 1, 0, 0, 2}) out.push_back(b);
  }
  Put_Esc(out, "*g12W");
  for (uint8 b : {6, 7, 0, 1, 1, 44, 1, 44, 10, 1, 32, 1}) out.push_back(b);
  Put_Esc(out, "*r1A");
  Put_Esc(out, "*b");
  Put_Num(out, top);
  out.push_back('y');
  // A row's code takes at most 4 bytes a pixel, plus the margin's share of
  // the first run.
  std::vector<uint8> code;
  code.reserve(size_t(pic.width) * 4 + 8 + size_t(left > 0 ? left : 0) / 255);
  for (int32 y = 0; y < pic.height; ++y) {
    code.clear();
    PCL_Row(code, pic.pixels + size_t(y) * pic.stride, pic.width, left);
    Put_Num(out, int64(code.size()));
    out.push_back('w');
    out.insert(out.end(), code.begin(), code.end());
  }
  Put(out, "0Y");
  Put_Esc(out, "*rC");
}

bool8 PCL_Document(std::vector<uint8>& out) {
  out.clear();
  if (!g_doc.doc_open || g_doc.doc_template.nunits == 0) return false;
  a_unit unit{};
  Calc_Adjusted_Unit(false, false, 1, Calc_Direct_Print_Kind(), g_doc.doc_template.units[0], unit);
  constexpr double kDotsPerMM = 300.0 / 25.4;
  const int32 left = int32(std::lround(unit.bbox.left * kDotsPerMM));
  const int32 top = int32(std::lround(unit.bbox.top * kDotsPerMM));
  const int32 width = int32(std::lround((unit.bbox.right - unit.bbox.left) * kDotsPerMM));
  const int32 height = int32(std::lround((unit.bbox.bottom - unit.bbox.top) * kDotsPerMM));
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return false;
  if (!UnitCache_Init(1)) return false;
  const Rect dst{0, 0, int16(height), int16(width)};
  GWorldPtr world = nullptr;
  if (New_GWorld(dst, 32, nullptr, world) != noErr || world == nullptr) {
    UnitCache_Stop();
    return false;
  }
  Pix_To_Port(Get_GWorld_PixMap(g_unitcache.gworld), world, g_unitcache.bounds, dst, srcCopy, nullptr);
  UnitCache_Stop();
  const PixMapPtr pm = Get_GWorld_PixMap(world);
  const a_pcl_picture pic{reinterpret_cast<const uint8*>(pm->baseAddr), width, height,
                          size_t(pm->rowBytes32 != 0 ? pm->rowBytes32 : uint32(pm->rowBytes & 0x3FFF))};
  PCL_Header(out);
  PCL_Raster(out, pic, left, top, gs.slider_vals[FLEX_DENSITY_SLIDER], gs.toggle_vals[FLEX_GRAY_TOGGLE]);
  PCL_Trailer(out);
  Dispose_GWorld(world);
  return true;
}

// --- Writing the jobs -----------------------------------------------------------------------

namespace {

constexpr int16 STR_NO_STICK = 408;
constexpr int16 STR_CHOOSE_FOLDER = 409;
constexpr int16 ALERT_STICK_READY = 59;
constexpr int16 ALERT_PRN_WRITTEN = 60;
constexpr const char* kStickLabel = "FlexStix";

// One file of a job through a temporary file; FALSE with the reason.
bool Replace_With(const std::string& path, const std::vector<uint8>& bytes, std::string& why) {
  errno = 0;
  HostReplace r;
  if (Host_Replace_Begin(r, path.c_str()) && Host_Replace_Write(r, bytes.data(), bytes.size()) &&
      Host_Replace_Commit(r))
    return true;
  why = std::strerror(errno != 0 ? errno : EIO);
  return false;
}

// Alert 15 naming the file and the reason.
void Report_Failure(const std::string& name, const std::string& why) {
  const std::string text = "  (" + name + ": " + why + ")";
  Param_Text(CStrSpan(text.c_str(), text.size() + 1), "", "", "");
  OK_Alert(false, STR_CANT_SAVE);
}

// The preview of the open dialog as the job's picture: the page fitted into
// 140 x 190 over grey.
bool8 Preview_JPEG(std::vector<uint8>& jpeg) {
  a_coord_mapping mapping{};
  a_frect fused{};
  PrintPreview_Calc_Mapping(g_doc.doc_template, Rect{0, 0, 190, 140}, true, mapping, fused);
  const Rect page = mapping.netbox;
  GWorldPtr world = nullptr;
  if (EmptyRect(page) || New_GWorld(page, 32, nullptr, world) != noErr || world == nullptr) return false;
  Push_GWorld(world);
  RGBForeColor(RGBColor{128 * 257, 128 * 257, 128 * 257});
  PaintRect(page);
  RGBForeColor(RGBColor{50 * 257, 50 * 257, 250 * 257});
  PrintPreview_Paint2(false, false, false, true, 1, mapping);
  RGBForeColor(RGBColor{0, 0, 0});
  Pop_GWorld();
  const PixMapPtr pm = Get_GWorld_PixMap(world);
  const HostImageSource src{reinterpret_cast<const uint8*>(pm->baseAddr), int32(page.right - page.left),
                            int32(page.bottom - page.top),
                            size_t(pm->rowBytes32 != 0 ? pm->rowBytes32 : uint32(pm->rowBytes & 0x3FFF)), 72};
  const int rc = Host_Encode_JPEG(src, 90, jpeg);
  Dispose_GWorld(world);
  return rc == HC_OK;
}

std::string Join(const std::string& folder, const char* name) {
  return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

bool8 Flex_Write_PRN(const FSSpec& path, std::string& why) {
  std::vector<uint8> pcl;
  if (!PCL_Document(pcl)) {
    why = "the label could not be rendered";
    return false;
  }
  return Replace_With(std::string(path.name, strnlen(path.name, sizeof path.name)), pcl, why);
}

bool8 Flex_Write_Job_Files(const std::string& folder, std::string& failed_name, std::string& why) {
  struct a_job_file {
    const char* name;
    std::vector<uint8> bytes;
  };
  a_job_file files[3] = {{"flexlabl.jpg", {}}, {"flexlabl.pcl", {}}, {"flexset.txt", {}}};
  std::string ticket;
  if (!Flex_Ticket_Now(ticket)) {
    // The speed setting is not one the printer takes: nothing is written.
    failed_name = files[2].name;
    why = "the printer speed is not one the printer takes";
    return false;
  }
  files[2].bytes.assign(ticket.begin(), ticket.end());
  if (!Preview_JPEG(files[0].bytes)) {
    failed_name = files[0].name;
    why = "the preview could not be made";
    return false;
  }
  if (!PCL_Document(files[1].bytes)) {
    failed_name = files[1].name;
    why = "the label could not be rendered";
    return false;
  }
  // The ticket last: a printer that sees it finds the other files whole.
  for (size_t i = 0; i < 3; ++i) {
    if (Replace_With(Join(folder, files[i].name), files[i].bytes, why)) continue;
    failed_name = files[i].name;
    for (size_t k = 0; k < i; ++k) Host_Delete(Join(folder, files[k].name).c_str());
    return false;
  }
  return true;
}

bool8 Flex_Calc_Folder(std::string& folder, bool8& on_stick) {
  folder.clear();
  on_stick = false;
  for (const HostVolume& v : Host_Drive_Table()) {
    if (!v.root.empty() && v.label == kStickLabel) {
      folder = v.root;
      on_stick = true;
      return true;
    }
  }
  if (Ask_YesNoCancel(DLOG_ALERT2, STR_NO_STICK, 8, 105, 0) != 0) return false;
  Str255 prompt{};
  Get_DLOG_String(prompt, STR_CHOOSE_FOLDER);
  FSSpec chosen{};
  if (!Ask_Put_Folder(CStrSpan(prompt, sizeof prompt), chosen)) return false;
  folder.assign(chosen.name, strnlen(chosen.name, sizeof chosen.name));
  return !folder.empty();
}

void FlexStick_Write_Job() {
  if (!g_doc.doc_open) return;
  std::string folder;
  bool8 on_stick = false;
  if (!Flex_Calc_Folder(folder, on_stick)) return;
  std::string name, why;
  if (!Flex_Write_Job_Files(folder, name, why)) {
    Report_Failure(name, why);
    return;
  }
  if (on_stick) OK_Alert(false, ALERT_STICK_READY);
}

void FlexLabel_Write_Job() {
  if (!g_doc.doc_open) return;
  FSSpec docs{};
  std::string why;
  const std::string name = "Output.prn";
  if (Find_Documents_Folder(docs) != 0) {
    Report_Failure(name, std::strerror(ENOENT));
    return;
  }
  const std::string folder =
      Join(Join(std::string(docs.name, strnlen(docs.name, sizeof docs.name)), "FlexWare Files"), "Print Files");
  if (!Host_Make_Dirs(folder.c_str())) {
    Report_Failure(name, std::strerror(errno != 0 ? errno : EIO));
    return;
  }
  FSSpec path{};
  const std::string full = Join(folder, name.c_str());
  if (full.size() >= sizeof path.name) {
    Report_Failure(name, std::strerror(ENAMETOOLONG));
    return;
  }
  std::memcpy(path.name, full.c_str(), full.size() + 1);
  if (!Flex_Write_PRN(path, why)) {
    Report_Failure(name, why);
    return;
  }
  OK_Alert(false, ALERT_PRN_WRITTEN);
}
