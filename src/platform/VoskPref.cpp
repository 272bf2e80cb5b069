#include "platform/VoskPref.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "host/HostFiles.h"
#include "host/HostFolders.h"
#include "platform/LangUtil.h"
#include "platform/MString.h"
#include "platform/Resources.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"

namespace {
void No_Prefs_Work() {}
a_direct_print_kind Page_Printer() { return NOT_DIRECT; }
bool8 Portrait() { return false; }
}  // namespace

void (*g_prefs_default_proc)() = No_Prefs_Work;
void (*g_prefs_fixup_read_proc)() = No_Prefs_Work;
void (*g_prefs_fixup_write_proc)() = No_Prefs_Work;
a_direct_print_kind (*g_direct_print_kind_proc)() = Page_Printer;
bool8 (*g_is_landscape_proc)() = Portrait;

namespace {

constexpr int16 kProgramNames = 1001;  // the program's own names
constexpr int16 kPrefsFileItem = 3;    // the preferences file name
constexpr int16 kAlertPrefsUnread = 70;  // the stored settings could not be read

// Why the preferences file that is there could not be read at start-up
// ("" when it was read, or when there was none). While it is set the file is
// kept as it is: writing the defaults over it would lose the user's settings.
std::string g_unread_reason;
std::string g_unread_path;
bool8 g_unread_told = false;

constexpr int16 kNudgeLimit = 800;        // the nudge editor refuses anything beyond +-800
constexpr uint32 kMaxCatalogueIndex = 3000;  // capacity of the layout list
constexpr int16 kMaxFontIndex = 8000;     // the font list holds at most 8000 fonts

// Offsets of the thirteen one-byte options, print_autopos to ruler_option.
constexpr size_t kFirstOption = offsetof(a_pref_rec, print_autopos);
constexpr size_t kOptionCount = offsetof(a_pref_rec, ruler_option) - kFirstOption + 1;
static_assert(kOptionCount == 13);

template <size_t N>
void Terminate(char (&s)[N]) {
  s[N - 1] = 0;
}
template <size_t N>
void Terminate(UniChar (&s)[N]) {
  s[N - 1] = 0;
}

// The media entry that the open document uses. The document's index is kept
// within 0..2 by its readers; an index outside falls back to entry 0 rather
// than reaching past the list.
a_print_media_spec& Current_Media_Entry() {
  int16 kind = g_direct_print_kind_proc();
  if (kind < 0 || kind >= NDIRECT_PRINT_KINDS) kind = NOT_DIRECT;
  int16 index = g_doc.doc_mediax;
  if (index < 0 || index >= NMEDIA_SPECS) index = 0;
  return gs.pref.print_media[kind].list[index];
}

}  // namespace

void Prefs_Sanitize(a_pref_rec& pref, const a_pref_rec& defaults) {
  // Options: any non-zero byte means on. Done on the bytes so that a stored 2
  // is never loaded as a bool.
  auto* bytes = reinterpret_cast<unsigned char*>(&pref);
  for (size_t i = 0; i < kOptionCount; ++i) {
    unsigned char& b = bytes[kFirstOption + i];
    b = b != 0 ? 1 : 0;
  }

  if (pref.language_offset < 0 || pref.language_offset >= NLANGUAGES)
    pref.language_offset = defaults.language_offset;

  for (int16 k = 0; k < NDIRECT_PRINT_KINDS; ++k) {
    a_print_media_array& media = pref.print_media[k];
    if (media.listx >= uint16(NMEDIA_SPECS)) media.listx = defaults.print_media[k].listx;
    for (a_print_media_spec& spec : media.list) {
      Terminate(spec.label);
      if (spec.nudge.v < -kNudgeLimit || spec.nudge.v > kNudgeLimit ||
          spec.nudge.h < -kNudgeLimit || spec.nudge.h > kNudgeLimit)
        spec.nudge = Point{0, 0};
    }
  }

  if (pref.last_agex < 0 || pref.last_agex > 2) pref.last_agex = defaults.last_agex;
  if (pref.base_fontx < 0 || pref.base_fontx > kMaxFontIndex) pref.base_fontx = defaults.base_fontx;
  if (pref.gridlines_dash < GRIDLINES_DASH_MIN || pref.gridlines_dash > GRIDLINES_DASH_MAX)
    pref.gridlines_dash = defaults.gridlines_dash;

  Terminate(pref.addon_folder);
  Terminate(pref.base_font);
  for (a_recent_doc& doc : pref.recent) Terminate(doc.doc_path.name);
  for (a_layout_usage_rec& lay : pref.recentlay) {
    Terminate(lay.label);
    // A used slot must name a layout of the catalogue; anything else frees it.
    if (lay.count != 0 && (lay.tx == 0 || lay.tx > kMaxCatalogueIndex))
      std::memset(static_cast<void*>(&lay), 0, sizeof lay);
  }
}

bool8 Prefs_File_Path(std::string& path) {
  path.clear();
  std::string folder;
  if (!Host_AppData_Dir(folder)) return false;
  Str255 name;
  GetIndString(name, kProgramNames, kPrefsFileItem);
  if (name[0] == 0) return false;
  path = folder + "/" + name;
  return true;
}

bool8 Prefs_Read(bool8& new_pref) {
  g_prefs_default_proc();
  new_pref = true;
  g_unread_reason.clear();
  g_unread_path.clear();
  g_unread_told = false;

  std::string path;
  if (Prefs_File_Path(path) && Host_Exists(path.c_str())) {
    // A missing file is the first start: the defaults stand. A file that is
    // there but cannot be read holds settings we do not know, so it is kept.
    int fd = HOST_NO_FD;
    if (Host_Is_Dir(path.c_str())) {
      g_unread_reason = std::strerror(EISDIR);
    } else if (!Host_Is_File(path.c_str())) {
      g_unread_reason = "not a regular file";
    } else {
      errno = 0;
      fd = Host_Open(path.c_str(), HOST_READ, HOST_OPEN_EXISTING);
      if (fd == HOST_NO_FD) g_unread_reason = std::strerror(errno != 0 ? errno : EACCES);
    }
    if (fd != HOST_NO_FD) {
      // Host_Read returns fewer bytes than asked only at the end of the file,
      // so a short file never passes for a whole record. A longer file gives
      // its leading record, as before. A short or older record is ignored,
      // and replaced at the end like a missing one.
      a_pref_rec rec;
      errno = 0;
      int64 got = Host_Read(fd, &rec, sizeof rec);
      const int read_errno = errno;
      Host_Close(fd);
      if (got < 0) {
        g_unread_reason = std::strerror(read_errno != 0 ? read_errno : EIO);
      } else if (got == int64(sizeof rec) && rec.version == PREF_VERSION) {
        Prefs_Sanitize(rec, gs.pref);
        gs.pref = rec;
        new_pref = false;
      }
    }
    if (!g_unread_reason.empty()) g_unread_path = path;
  }

  g_prefs_fixup_read_proc();
  return true;
}

bool8 Prefs_Kept_Unread(std::string& path, std::string& reason) {
  path = g_unread_path;
  reason = g_unread_reason;
  return !g_unread_reason.empty();
}

void Prefs_Report_Unread() {
  if (g_unread_reason.empty() || g_unread_told) return;
  g_unread_told = true;
  Param_Text(CStrSpan(g_unread_path.c_str(), g_unread_path.size() + 1),
             CStrSpan(g_unread_reason.c_str(), g_unread_reason.size() + 1), "", "");
  OK_Alert(false, kAlertPrefsUnread);
}

bool8 Prefs_Write() {
  // The file could not be read at start-up: it is left as it was (the user
  // has been told why the settings were not loaded).
  if (!g_unread_reason.empty()) return true;
  g_prefs_fixup_write_proc();
  std::string path;
  if (!Prefs_File_Path(path)) return false;
  // Written beside the old file and renamed over it, so a failed write (full
  // disk, crash) leaves the previous settings in place. A symbolic link is
  // written through (its target replaced); anything but a regular file at
  // the end of it is refused.
  return Host_Replace_File(path.c_str(), &gs.pref, sizeof gs.pref);
}

void Get_Media_Specs(a_print_media_spec& specs) {
  specs = Current_Media_Entry();
  if (g_is_landscape_proc()) {
    Point n = specs.nudge;
    specs.nudge.v = int16(-n.h);
    specs.nudge.h = n.v;
  }
}

void Set_Media_Specs(const a_print_media_spec& specs) {
  a_print_media_spec s = specs;
  if (g_is_landscape_proc()) {
    Point n = specs.nudge;
    s.nudge.v = n.h;
    s.nudge.h = int16(-n.v);
  }
  Current_Media_Entry() = s;
}
