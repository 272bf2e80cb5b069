// Printing an A4 page of two disc labels to a PDF.
//
// BM_PrintTwoUpPage: two 1417 x 1417 unit pictures (a CD face at 300 dpi,
// photo-like; the second a clone of the first, so one picture), each clipped
// to its disc, with crop marks, at 300 and 600 dpi. Timed from the page's
// start to the finished file; the PDF's size is reported: both should follow
// the pictures, not the page; so is the process's peak resident memory (the
// page, its shadow and the pictures).
//
// BM_PrintSheetProgram: the whole program from start to exit printing the
// two-up disc sheet (a canvas, a 6-megapixel photo and a circular text on
// the first disc, its clone on the second) saved as a project, as the
// desktop's print action runs it: "velmor4 /IF sheet.CD4 /OF out.pdf" on
// the headless backend with the file printer and a configuration folder of
// its own. Reported: the wall time, the child's processor time and its peak
// resident memory.
//
// BM_PrintPhotoSheetProgram: the same for the photo sheet: a 1400 x 1400
// photo on each disc (the second a clone of the first) and a line of bold
// text, on white discs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "PrintSheetSupport.h"
#include "doc/ParsDISC.h"
#include "host/HostFiles.h"
#include "host/HostPrint.h"
#include "pixel/OP.h"
#include "platform/SysFont.h"

extern char** environ;

namespace {

constexpr int32 kUnit = 1417;

// The unit's picture: photo-like, as the sheet's.
struct UnitPicture {
  BITMAPINFO info{};
  std::vector<uint8> bits;
  UnitPicture() {
    info.bmiHeader = BITMAPINFOHEADER{40, kUnit, -kUnit, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const size_t stride = (size_t(kUnit) * 3 + 3) & ~size_t(3);
    bits.assign(stride * kUnit, 0);
    printsheet::Photo_Pixels(kUnit, kUnit, bits.data(), stride, 3);
  }
};

HDC Make_DC(int16 dpi) {
  std::vector<uint8> b;
  if (!Host_Printer_DevMode(kHostFilePrinterName, b)) return nullptr;
  DEVMODEA dm;
  std::memcpy(&dm, b.data(), sizeof dm);
  dm.dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION | DM_PAPERSIZE;
  dm.dmPrintQuality = dm.dmYResolution = dpi;
  dm.dmPaperSize = DMPAPER_A4;
  std::memcpy(b.data(), &dm, sizeof dm);
  return CreateDCA(nullptr, kHostFilePrinterName, nullptr, reinterpret_cast<const DEVMODEA*>(b.data()));
}

void Crop_Marks(HDC dc, int32 left, int32 top, int32 size, int32 len) {
  for (int32 cy : {top, top + size})
    for (int32 cx : {left, left + size}) {
      MoveToEx(dc, cx - len - len / 2, cy, nullptr);
      LineTo(dc, cx - len / 2, cy);
      MoveToEx(dc, cx, cy - len - len / 2, nullptr);
      LineTo(dc, cx, cy - len / 2);
    }
}

void BM_PrintTwoUpPage(benchmark::State& state) {
  static const UnitPicture picture;
  const int16 dpi = int16(state.range(0));
  Host_Print_Set_Cups(false);
  const char* t = std::getenv("TMPDIR");
  const std::string out = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-bench-print-" +
                          std::to_string(getpid()) + ".pdf";
  const int32 side = kUnit * dpi / 300;              // the unit on the page
  const int32 mm = dpi * 10 / 254;
  double bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    HDC dc = Make_DC(dpi);
    if (!dc) {
      state.SkipWithError("no printer DC");
      break;
    }
    DOCINFOA di{sizeof(DOCINFOA), "Bench", out.c_str(), nullptr, 0};
    StartDocA(dc, &di);
    state.ResumeTiming();
    StartPage(dc);
    const int32 left = (GetDeviceCaps(dc, HORZRES) - side) / 2;
    for (int32 i = 0; i < 2; ++i) {
      const int32 top = 10 * mm + i * (side + 10 * mm);
      HRGN disc = CreateEllipticRgn(left, top, left + side, top + side);
      SelectClipRgn(dc, disc);
      DeleteRgn(disc);
      Host_Print_DIBits(dc, left, top, side, side, 0, 0, kUnit, kUnit, picture.bits.data(), &picture.info,
                        DIB_RGB_COLORS, SRCCOPY, picture.bits.size());
      SelectClipRgn(dc, nullptr);
      Crop_Marks(dc, left, top, side, 5 * mm);
    }
    const int32 page = EndPage(dc);
    const int32 done = EndDoc(dc);
    state.PauseTiming();
    if (page <= 0 || done <= 0) state.SkipWithError("the job failed");
    Host_DeletePrinterDC(dc);
    bytes = double(std::max<int64>(Host_File_Size(out.c_str()), 0));
    Host_Delete(out.c_str());
    state.ResumeTiming();
  }
  state.counters["pdf_bytes"] = bytes;
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  state.counters["peak_rss_mb"] = double(ru.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_PrintTwoUpPage)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond)->Iterations(3);

// The program to run: VELMOR4_EXE in the environment, else the one the
// build names, else the one in the build folder above this benchmark's own.
std::string Program() {
  if (const char* e = std::getenv("VELMOR4_EXE"); e != nullptr && e[0] != 0) return e;
  if (access(VELMOR4_EXE, X_OK) == 0) return VELMOR4_EXE;
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(VELMOR4_EXE) : (self.parent_path().parent_path() / "velmor4").string();
}

// A folder of the benchmark's own holding the sheet as a project file
// (sheet.CD4), written once with the program's project writer; "" with the
// reason when it could not be made. It is removed at the end unless
// VELMOR_KEEP_SHEET is set.
struct SheetJob {
  int32 photo_w, photo_h;
  printsheet::SheetLook look;
};
constexpr SheetJob kCanvasSheet{3000, 2000, printsheet::SheetLook{}};
constexpr SheetJob kPhotoSheet{1400, 1400, printsheet::kPhotoSheet};

std::string Sheet_Folder(const SheetJob& job, std::string& why) {
  struct Kept {
    std::string dir;
    ~Kept() {
      std::error_code ec;
      if (!dir.empty() && std::getenv("VELMOR_KEEP_SHEET") == nullptr) std::filesystem::remove_all(dir, ec);
    }
  };
  static Kept kept[2];
  static std::string folders[2], reasons[2];
  static bool made[2] = {false, false};
  const int k = &job == &kPhotoSheet ? 1 : 0;
  std::string& folder = folders[k];
  std::string& reason = reasons[k];
  if (made[k]) return why = reason, folder;
  made[k] = true;
  const char* t = std::getenv("TMPDIR");
  std::string tmpl = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-bench-sheet-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back(0);
  if (mkdtemp(buf.data()) == nullptr) return why = reason = "no temporary folder", "";
  const std::string dir = buf.data();
  std::filesystem::create_directories(dir + "/tmp");
  doctests::Start_Document_Modules();
  Fonts_Init();
  gs.controller = GHOST;
  if (!printsheet::Open_Art_Library(VELMOR_ART_LIBRARY)) reason = "the picture library is not built";
  else if (!printsheet::Make_Two_Up_Document(dir, job.photo_w, job.photo_h, reason, job.look))
    reason = "the sheet: " + reason;
  FSSpec spec{};
  if (reason.empty() && (!Path_From_Text(spec, (dir + "/sheet.CD4").c_str()) || Write_DISC(spec) != DISC_WRITE_OK))
    reason = "the project could not be written: " + Write_DISC_Reason();
  doctests::Close_Document();
  OP_Stop();
  Fonts_Stop();
  kept[k].dir = dir;
  if (reason.empty()) folder = dir;
  why = reason;
  return folder;
}

// The text of a small file ("" when it cannot be read).
std::string Read_Small_File(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Runs the program on the sheet; its exit status (-1: did not end normally)
// with its resource use.
int Run_Program(const std::string& exe, const std::string& dir, rusage& ru) {
  std::vector<std::string> env = {"TMPDIR=" + dir + "/tmp", "HOME=" + dir, "XDG_CONFIG_HOME=" + dir + "/config",
                                  "XDG_RUNTIME_DIR=" + dir, "VELMOR_BACKEND=headless",
                                  "VELMOR_SCREEN=1024x768", "VELMOR_PRINT=file"};
  for (const char* name : {"PATH", "FONTCONFIG_FILE"})
    if (const char* v = std::getenv(name)) env.push_back(std::string(name) + "=" + v);
  const std::string sheet = dir + "/sheet.CD4", out = dir + "/out.pdf";
  std::vector<char*> argv = {const_cast<char*>(exe.c_str()), const_cast<char*>("/IF"),
                             const_cast<char*>(sheet.c_str()), const_cast<char*>("/OF"),
                             const_cast<char*>(out.c_str()), nullptr};
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (!std::freopen("/dev/null", "w", stdout) || !std::freopen((dir + "/stderr.txt").c_str(), "w", stderr)) _exit(126);
    execve(exe.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  int status = 0;
  if (wait4(pid, &status, 0, &ru) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Print_Sheet_Program(benchmark::State& state, const SheetJob& job) {
  const std::string exe = Program();
  if (access(exe.c_str(), X_OK) != 0) {
    state.SkipWithError(("no program at " + exe).c_str());
    return;
  }
  std::string why;
  const std::string dir = Sheet_Folder(job, why);
  if (dir.empty()) {
    state.SkipWithError(why.c_str());
    return;
  }
  const std::string out = dir + "/out.pdf";
  double peak_mb = 0, bytes = 0, cpu = 0;
  for (auto _ : state) {
    std::filesystem::remove_all(dir + "/config");
    Host_Delete(out.c_str());
    rusage ru{};
    const auto start = std::chrono::steady_clock::now();
    const int rc = Run_Program(exe, dir, ru);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    bytes = double(std::max<int64>(Host_File_Size(out.c_str()), 0));
    if (rc != 0 || bytes == 0) {
      std::string said = Read_Small_File(dir + "/stderr.txt");
      state.SkipWithError(("the program printed nothing (status " + std::to_string(rc) + "): " + said).c_str());
      break;
    }
    peak_mb = std::max(peak_mb, double(ru.ru_maxrss) / 1024.0);
    cpu += double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
  }
  // The time is the benchmark's own (wall, from start to exit); beside it
  // the processor time, which other work on the machine changes less.
  state.counters["child_cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
  state.counters["child_peak_rss_mb"] = peak_mb;
  state.counters["pdf_bytes"] = bytes;
}
void BM_PrintSheetProgram(benchmark::State& state) { Print_Sheet_Program(state, kCanvasSheet); }
void BM_PrintPhotoSheetProgram(benchmark::State& state) { Print_Sheet_Program(state, kPhotoSheet); }
BENCHMARK(BM_PrintSheetProgram)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PrintPhotoSheetProgram)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

}  // namespace
