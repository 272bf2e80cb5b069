#include "platform/SysIONav.h"

#include <cstring>
#include <vector>

#include "host/HostFileDialog.h"
#include "host/HostLaunch.h"
#include "platform/MString.h"
#include "platform/Resources.h"
#include "platform/SysDlog.h"
#include "platform/SysErr.h"
#include "platform/SysLoop.h"
#include "platform/SysVol.h"
#include "platform/VoskErr.h"

namespace {

a_get_hook_proc g_hook = nullptr;
bool8 g_hook_init = false;
FSSpec* g_path_ptr = nullptr;
bool8 g_first_get = true;
bool8 g_first_put = true;

constexpr char kDelim = '\1';
constexpr int16 kFormatNamesList = 80;  // item format + 1: the format's name
constexpr int16 kDialogStrings = 200;
constexpr int16 kAllFilesItem = 412;
constexpr size_t kMaxPairs = 11;

constexpr const char* kSuffixTable[kNumFileFormats] = {".CD4", ".PCT", ".BMP", ".BMP", ".LBM", ".GIF",
                                                       ".GIF", ".JPG", ".TIF", ".PSD", ".TXT"};

constexpr const char* kFilterPatterns[kNumFileFormats] = {
    "*.CD4", "*.PICT,*.PCT", "*.BMP", "*.BMP", "*.LBM", "*.GIF", "*.GIF", "*.JPEG,*.JPG,*.JPE,*.JFIF",
    "*.TIFF,*.TIF", "*.PSD", "*.TXT"};

std::string Span_Str(CStrSpan s) { return std::string(s.data(), size_t(mStrLength(s))); }

bool Valid_Format(int32 f) { return f >= 0 && f < kNumFileFormats; }

// The suffixes a name of the format may already carry; empty for the
// formats that have no rule.
std::vector<const char*> Format_Suffixes(int32 format) {
  switch (format) {
    case FMT_DISC: return {".CD4"};
    case FMT_PICT: return {".PICT", ".PCT"};
    case FMT_BMP: return {".BMP"};
    case FMT_JPEG: return {".JPEG", ".JPG", ".JPE", ".JFIF"};
    case FMT_TIFF: return {".TIFF", ".TIF"};
    case FMT_PSD: return {".PSD"};
    case FMT_TEXT: return {".TXT"};
    default: return {};
  }
}

// The suffix text of a pair: at most its 10 bytes, up to the NUL.
std::string Pair_Suffix(const a_type_suffix& p) {
  return std::string(p.suffix, strnlen(p.suffix, sizeof p.suffix));
}

bool Same_Suffix(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = char(x - 32);
    if (y >= 'a' && y <= 'z') y = char(y - 32);
    if (x != y) return false;
  }
  return true;
}

// A NUL-separated filter list as the host dialog's filters.
std::vector<HostFileFilter> Parse_Filters(const std::string& list) {
  std::vector<HostFileFilter> out;
  std::string_view ptr(list);
  std::string desc, pats;
  while (Extract(desc, ptr) && !desc.empty()) {
    Extract(pats, ptr);
    out.push_back({desc, Host_File_Split_Patterns(pats)});
  }
  return out;
}

// The formats of a set, in format order.
std::vector<a_file_format> Enabled_Formats(a_file_format_set set) {
  std::vector<a_file_format> out;
  for (int16 f = 0; f < kNumFileFormats; ++f)
    if (set & Format_Bit(a_file_format(f))) out.push_back(a_file_format(f));
  return out;
}

struct Put_Finish {
  std::vector<a_file_format> formats;
};

// The save dialog's name, made to carry the suffix of the format chosen
// before the dialog checks it: so the file asked about for replacing is the
// one that will be written.
std::string Finish_Put_Name(const std::string& path, int32 filter, void* data) {
  const auto* fin = static_cast<const Put_Finish*>(data);
  if (filter < 0 || size_t(filter) >= fin->formats.size()) return path;
  const a_file_format f = fin->formats[size_t(filter)];
  if (Format_Suffixes(f).empty()) return path;  // no rule: left to the caller's own check
  std::vector<char> buf(path.size() + 16, 0);
  std::memcpy(buf.data(), path.data(), path.size());
  ForceSuffixF(StrSpan(buf.data(), buf.size()), f);
  if (buf[0] == 0) return path;
  return std::string(buf.data());
}

}  // namespace

void SysIONav_Init() {
  g_first_get = true;
  g_first_put = true;
  g_hook = nullptr;
  g_hook_init = false;
  g_path_ptr = nullptr;
}

// --- Filters ---

void Replace_Delimiters(std::string& ss) {
  for (char& c : ss)
    if (c == kDelim) c = 0;
}

bool8 Extract(std::string& ss, std::string_view& ptr) {
  ss.clear();
  if (ptr.empty()) return false;
  const size_t k = ptr.find('\0');
  if (k == std::string_view::npos) {
    ss.assign(ptr);
    ptr = std::string_view();
  } else {
    ss.assign(ptr.substr(0, k));
    ptr.remove_prefix(k + 1);
  }
  return true;
}

void Get_Translated_Str(StrSpan string, int16 id, int16 ix) {
  if (string.empty()) return;
  string[0] = 0;
  const int32 translated = int32(id) + Current_Language();
  if (translated != id && translated <= 32767) GetIndString(string, int16(translated), ix);
  if (string[0] == 0) GetIndString(string, id, ix);
}

void Calc_Filter_List(std::string& ss, a_file_format_set enabled) {
  ss.clear();
  for (a_file_format f : Enabled_Formats(enabled)) {
    Str255 name;
    Get_Translated_Str(name, kFormatNamesList, int16(f + 1));
    ss += Span_Str(name);
    ss += kDelim;
    ss += kFilterPatterns[f];
    ss += kDelim;
  }
  ss += kDelim;
  Replace_Delimiters(ss);
}

void SuffixList_To_Filter(std::string& filter, std::span<const a_type_suffix> s) {
  if (s.size() > kMaxPairs) {
    filter = std::string("BMP, GIF, JPG, PCT, PNG...") + kDelim +
             "*.BMP;*.RLE;*.GIF;*.JPG;*.JPEG;*.PIC;*.PCT;*.PNG;*.TGA;*.TIF;*.TIFF;*.LBM;*.PSD" + kDelim + kDelim;
    Replace_Delimiters(filter);
    return;
  }
  std::string desc, pattern;
  bool first = true;
  for (size_t i = 0; i < s.size(); ++i) {
    const std::string suffix = Pair_Suffix(s[i]);
    // A suffix repeated for another file type is listed once. The whole
    // suffix is compared: ".TIFF" after ".TIF" is a suffix of its own.
    if (i > 0 && Same_Suffix(suffix, Pair_Suffix(s[i - 1]))) continue;
    if (!first) {
      desc += ", ";
      pattern += ";";
    }
    first = false;
    if (!suffix.empty() && suffix[0] == '?') {
      Str255 all;
      Get_Translated_Str(all, kDialogStrings, kAllFilesItem);
      desc += Span_Str(all);
      pattern += "*.*";
    } else {
      desc += (!suffix.empty() && suffix[0] == '.') ? suffix.substr(1) : suffix;
      pattern += "*" + suffix;
    }
  }
  filter = desc + kDelim + pattern + kDelim + kDelim;
  Replace_Delimiters(filter);
}

// --- Suffixes ---

const char* Format_Suffix(a_file_format format) {
  if (!Valid_Format(format)) {
    QUIT();
    return ".CD4";
  }
  return kSuffixTable[format];
}

void ForceSuffixF(StrSpan name, a_file_format format) {
  const std::vector<const char*> suffixes = Format_Suffixes(format);
  if (suffixes.empty()) {
    QUIT();
    return;
  }
  for (const char* suf : suffixes)
    if (Matches_Suffix(name, CStrSpan(suf, std::strlen(suf) + 1))) return;
  const char* table = kSuffixTable[format];
  Replace_Suffix(name, CStrSpan(table, std::strlen(table) + 1));
}

// --- Dialogs ---

int16 Ask_Get_Path(bool8 /*preview*/, CStrSpan prompt, OSType /*creator*/, std::span<const a_type_suffix> typesuff,
                   int16 /*key*/, a_preview_proc /*previewinit*/, a_preview_proc /*previewstop*/,
                   a_preview_file_proc /*previewfile*/, a_get_hook_proc hook, int16 maxnpath, FSSpec* path_ptr) {
  if (path_ptr == nullptr || maxnpath < 1) return 0;
  g_hook = hook;
  g_hook_init = false;
  g_path_ptr = path_ptr;
  for (int16 i = 0; i < maxnpath; ++i) {
    path_ptr[i].vRefNum = 0;
    path_ptr[i].parID = 0;
    std::memset(path_ptr[i].name, 0, sizeof path_ptr[i].name);
  }
  std::string filter;
  SuffixList_To_Filter(filter, typesuff);

  HostFileDialogParams p;
  p.mode = HOST_FD_OPEN;
  p.owner = main_hwnd;
  p.title = Span_Str(prompt);
  p.filters = Parse_Filters(filter);
  p.multi = maxnpath > 1;
  p.max_path = PATH_CAPACITY - 1;
  HostFileDialogResult r;
  Init_External();
  const bool ok = Host_File_Dialog(p, r);
  Stop_External();
  g_first_get = false;
  if (!ok) return 0;

  int16 count = 0;
  for (const std::string& path : r.paths) {
    if (count >= maxnpath) break;
    if (Path_From_Text(path_ptr[count], path.c_str())) ++count;
  }
  return count;
}

bool8 Ask_Put_Path(CStrSpan prompt, CStrSpan defname, int16 /*key*/, a_put_customize& custom, FSSpec& path) {
  std::string filter;
  Calc_Filter_List(filter, custom.formats_enabled);
  Put_Finish fin{Enabled_Formats(custom.formats_enabled)};
  int32 start = 0;
  for (size_t i = 0; i < fin.formats.size(); ++i)
    if (fin.formats[i] == custom.format) start = int32(i);

  Path_From_Text(path, Span_Str(defname).c_str());
  ForceSuffixF(path.name, custom.format);

  HostFileDialogParams p;
  p.mode = HOST_FD_SAVE;
  p.owner = main_hwnd;
  p.title = Span_Str(prompt);
  if (g_first_put) p.folder = Span_Str(boot_directory);
  p.name = path.name;
  p.filters = Parse_Filters(filter);
  p.filter_index = start;
  p.confirm_overwrite = true;
  p.max_path = PATH_CAPACITY - 1;
  p.finish_name = Finish_Put_Name;
  p.finish_data = &fin;
  HostFileDialogResult r;
  Init_External();
  const bool ok = Host_File_Dialog(p, r);
  Stop_External();
  g_first_put = false;
  if (!ok || r.paths.empty() || r.paths[0].empty()) return false;

  if (r.filter_index >= 0 && size_t(r.filter_index) < fin.formats.size())
    custom.format = fin.formats[size_t(r.filter_index)];
  FSSpec chosen;
  if (!Path_From_Text(chosen, r.paths[0].c_str())) return false;
  ForceSuffixF(chosen.name, custom.format);
  if (chosen.name[0] == 0) return false;
  path = chosen;
  return true;
}

bool8 Ask_Put_Folder(CStrSpan prompt, FSSpec& path) {
  Path_From_Text(path, "");
  HostFileDialogParams p;
  p.mode = HOST_FD_FOLDER;
  p.owner = nullptr;
  p.title = Span_Str(prompt);
  p.max_path = PATH_CAPACITY - 1;
  HostFileDialogResult r;
  Init_External();
  const bool ok = Host_File_Dialog(p, r);
  Stop_External();
  if (!ok || r.paths.empty() || r.paths[0].empty()) return false;
  return Path_From_Text(path, r.paths[0].c_str()) && path.name[0] != 0;
}

bool8 Internet_Send(const FSSpec& attachment) {
  const std::string file(attachment.name, strnlen(attachment.name, sizeof attachment.name));
  if (file.empty() || file[0] == '-') return false;
  const HostSpawnStatus st = Host_Spawn({"xdg-email", "--attach", file}, HOST_OPEN_WAIT_MS);
  return st.result == HostSpawnResult::RUNNING || (st.result == HostSpawnResult::EXITED && st.exit_code == 0);
}
