// The property-list reader of the track-list import on a library export of
// 20,000 tracks (about 20 MB, written track by track to a file, as a music
// library exports it) with a playlist of them all: read from the file into
// the song table, under 1 s. Memory grows with the track table, not with
// the file: the counters give the file's size and the growth of the peak
// resident size while reading (the peak is reset before each read).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "host/HostFiles.h"
#include "platform/SysIO.h"
#include "platform/VoskDef.h"
#include "ui/VoskAsk.h"

namespace {

constexpr int kTracks = 20000;

// One track as a library writes it, with the keys the import skips too.
void Write_Track(std::FILE* f, int id) {
  std::fprintf(f,
               "\t\t<key>%d</key>\n\t\t<dict>\n"
               "\t\t\t<key>Track ID</key><integer>%d</integer>\n"
               "\t\t\t<key>Name</key><string>Song number %d &amp; friends</string>\n"
               "\t\t\t<key>Artist</key><string>Artist %d</string>\n"
               "\t\t\t<key>Composer</key><string>Composer %d</string>\n"
               "\t\t\t<key>Album</key><string>Album %d</string>\n"
               "\t\t\t<key>Genre</key><string>Rock</string>\n"
               "\t\t\t<key>Kind</key><string>MPEG audio file</string>\n"
               "\t\t\t<key>Size</key><integer>%d</integer>\n"
               "\t\t\t<key>Total Time</key><integer>%d</integer>\n"
               "\t\t\t<key>Disc Number</key><integer>1</integer>\n"
               "\t\t\t<key>Track Number</key><integer>%d</integer>\n"
               "\t\t\t<key>Year</key><integer>%d</integer>\n"
               "\t\t\t<key>Date Modified</key><date>2009-01-0%dT10:00:00Z</date>\n"
               "\t\t\t<key>Date Added</key><date>2009-01-0%dT10:00:00Z</date>\n"
               "\t\t\t<key>Bit Rate</key><integer>192</integer>\n"
               "\t\t\t<key>Sample Rate</key><integer>44100</integer>\n"
               "\t\t\t<key>Play Count</key><integer>%d</integer>\n"
               "\t\t\t<key>Compilation</key><true/>\n"
               "\t\t\t<key>Comments</key><string/>\n"
               "\t\t\t<key>Persistent ID</key><string>%016X</string>\n"
               "\t\t\t<key>Track Type</key><string>File</string>\n"
               "\t\t\t<key>Location</key><string>file://localhost/home/user/Music/Artist%%20%d/Album%%20%d/"
               "%02d%%20Song%%20number%%20%d%%20and%%20friends%%20(remastered%%20version%%20with%%20bonus).mp3"
               "</string>\n"
               "\t\t\t<key>File Folder Count</key><integer>4</integer>\n"
               "\t\t</dict>\n",
               id, id, id, id % 500, id % 300, id % 1500, 3000000 + id * 37, 150000 + id * 13 % 200000,
               id % 20 + 1, 1960 + id % 60, id % 9 + 1, id % 9 + 1, id % 50, unsigned(id) * 2654435761u, id % 500,
               id % 1500, id % 20 + 1, id);
}

std::string Write_Export() {
  std::string tmpl = Host_Temp_Dir() + "/velmor-bench-import-XXXXXX";
  const int fd = mkstemp(tmpl.data());
  if (fd < 0) return {};
  std::FILE* f = fdopen(fd, "w");
  std::fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
             "\t<key>Major Version</key><integer>1</integer>\n\t<key>Tracks</key>\n\t<dict>\n",
             f);
  for (int id = 1; id <= kTracks; ++id) Write_Track(f, id * 2 + 100);
  std::fputs("\t</dict>\n\t<key>Playlists</key>\n\t<array>\n\t\t<dict>\n\t\t\t<key>Name</key><string>Library</string>\n"
             "\t\t\t<key>Playlist Items</key>\n\t\t\t<array>\n",
             f);
  for (int id = kTracks; id >= 1; --id)
    std::fprintf(f, "\t\t\t\t<dict>\n\t\t\t\t\t<key>Track ID</key><integer>%d</integer>\n\t\t\t\t</dict>\n",
                 id * 2 + 100);
  std::fputs("\t\t\t</array>\n\t\t</dict>\n\t</array>\n</dict>\n</plist>\n", f);
  std::fclose(f);
  return tmpl;
}

// The peak resident size in kB (VmHWM), after resetting it when asked.
long Peak_Kb(bool reset) {
  if (reset) std::ofstream("/proc/self/clear_refs") << "5";
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

void BM_PropertyListExport(benchmark::State& state) {
  gs.controller = GHOST;
  VoskAsk_Init();
  const std::string file = Write_Export();
  FSSpec path{};
  if (file.empty() || !Path_From_Text(path, file.c_str())) {
    state.SkipWithError("no temporary file");
    return;
  }
  long growth = 0;
  for (auto _ : state) {
    const long before = Peak_Kb(true);
    const bool8 ok = Parse_Tracks_XML(path);
    growth = std::max(growth, Peak_Kb(false) - before);
    if (!ok || g_songtable->nsongs != MAX_SONGS) {
      state.SkipWithError("the export was not read");
      break;
    }
    benchmark::DoNotOptimize(g_songtable->songs[1][2][0]);
    state.PauseTiming();
    Free_Import_Tables();
    state.ResumeTiming();
  }
  state.counters["file_mb"] = double(File_GetSize(path)) / (1024.0 * 1024.0);
  state.counters["peak_rss_growth_mb"] = double(growth) / 1024.0;
  std::remove(file.c_str());
}
BENCHMARK(BM_PropertyListExport)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
