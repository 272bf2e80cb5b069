#include "doc/VoskFile.h"

#include <cerrno>
#include <cstring>

#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "host/HostFiles.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/Fast.h"
#include "pixel/SysBlt.h"
#include "platform/PixMaps.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysIONav.h"
#include "platform/SysLoop.h"
#include "platform/SysSound.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskBrow.h"
#include "ui/VoskDelt.h"

namespace {

// Dialog strings of the questions (list 200).
constexpr int16 STR_SAVE_AS = 6;
constexpr int16 STR_DONT_SAVE = 33;
constexpr int16 STR_SAVE = 34;
constexpr int16 STR_CANCEL = 105;
constexpr int16 STR_REVERT = 56;
constexpr int16 STR_DONT_REVERT = 57;
constexpr int16 STR_OPEN = 120;

// The questions' prompts.
constexpr int16 PROMPT_OPEN = 1;
constexpr int16 PROMPT_CLOSE = 3;
constexpr int16 PROMPT_QUIT = 4;
constexpr int16 PROMPT_REVERT = 5;

// Answers of Confirm_Msg.
constexpr int16 ANSWER_YES = 0;
constexpr int16 ANSWER_NO = 2;

constexpr a_type_suffix kProjectType[] = {{{'D', 'I', 'S', 'C'}, ".CD4"}};
constexpr OSType kAnyCreator = FourCC("????");

std::string Name_Of(const FSSpec& path) {
  return std::string(path.name, strnlen(path.name, sizeof path.name));
}

// The last part of a path.
std::string File_Name(const FSSpec& path) {
  const std::string full = Name_Of(path);
  const size_t slash = full.find_last_of('/');
  return slash == std::string::npos ? full : full.substr(slash + 1);
}

bool Ends_With_NoCase(const std::string& s, const char* suffix) {
  const size_t n = std::strlen(suffix);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = s[s.size() - n + i];
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (c != suffix[i]) return false;
  }
  return true;
}

void Show_Name() {
  const std::string name = File_Name(g_doc.doc_path);
  Doc_Name_Changed(CStrSpan(name.c_str(), name.size() + 1));
}

// Reads the document at path (the reader tells the user when it cannot); the
// document's path stays as it was when the file is not read.
bool8 Read_Path(const FSSpec& path, bool8 is_template) {
  const FSSpec old = g_doc.doc_path;
  g_doc.doc_path = path;
  if (Doc_Read(is_template)) return true;
  g_doc.doc_path = old;
  return false;
}

void Mark_Unchanged() {
  SV_Set_Bool(SV_DOC_CHANGED, false);
  g_doc.doc_changed = false;
}

// The question before a document is left (prompt 1, 3 or 4): TRUE when the
// command goes on (saved, or not to be saved).
bool8 May_Leave_Document(int16 prompt) {
  if (!g_doc.doc_open || !g_doc.doc_changed) return true;
  switch (Confirm_Msg(DLOG_ALERT3, prompt, STR_SAVE, STR_CANCEL, STR_DONT_SAVE)) {
    case ANSWER_YES:
      return Do_File_Save();
    case ANSWER_NO:
      return true;
    default:
      return false;
  }
}

void Close_Document() {
  if (!g_doc.doc_open) return;
  Doc_Dispose();
  Doc_Name_Changed(CStrSpan("", 1));
}

}  // namespace

// --- Open, close, revert, quit ------------------------------------------------------

void Do_File_Open(const FSSpec& path, bool8 skipmsg) {
  if (Ends_With_NoCase(Name_Of(path), ".ART4")) return;
  if (!skipmsg && !May_Leave_Document(PROMPT_OPEN)) return;
  Do_File_Open2(path);
}

void Do_File_Open2(const FSSpec& path) {
  FSSpec chosen = path;
  if (chosen.name[0] == 0) {
    Str255 prompt{};
    Get_DLOG_String(prompt, STR_OPEN);
    if (Ask_Get_Path(true, CStrSpan(prompt, sizeof prompt), kAnyCreator, kProjectType, 0, FilePreview_Init,
                     FilePreview_Stop, FilePreview, Get_Hook, 1, &chosen) == 0)
      return;
  }
  // The reader replaces the open document only when the file reads.
  Do_File_Open3(false, chosen);
}

void Do_File_Open3(bool8 is_template, const FSSpec& path) {
  if (!Read_Path(path, is_template)) return;
  Show_Name();
  if (!is_template) Recent_Add_Path(path);
}

void Do_File_Close() {
  if (!g_doc.doc_open) return;
  if (May_Leave_Document(PROMPT_CLOSE)) Close_Document();
}

void Do_File_Revert() {
  if (!g_doc.doc_open || g_doc.doc_new) {
    Sound_Effect(SND_NULL);
    return;
  }
  if (Confirm_Msg(DLOG_ALERT2, PROMPT_REVERT, STR_REVERT, STR_DONT_REVERT, 0) != ANSWER_YES) return;
  // A file that no longer reads leaves the document as it is.
  if (Read_Path(g_doc.doc_path, false)) Mark_Unchanged();
}

void Do_File_Quit() {
  if (!g_doc.doc_open) {
    g_doneflag = true;
    return;
  }
  if (!May_Leave_Document(PROMPT_QUIT)) return;
  Close_Document();
  g_doneflag = true;
}

// --- Printing from the command line -----------------------------------------------------

namespace {

// What keeps the file at path from being read at all, as the system says it;
// "" when it can be opened for reading.
std::string Open_Problem(const FSSpec& path) {
  const char* name = std::memchr(path.name, 0, sizeof path.name) != nullptr ? path.name : "";
  if (name[0] == 0) return std::strerror(ENOENT);
  if (Host_Is_Dir(name)) return std::strerror(EISDIR);
  if (const char* kind = Host_Special_Kind(name)) return std::string("not a file but ") + kind;
  errno = 0;
  const int fd = Host_Open(name, HOST_READ, HOST_OPEN_EXISTING);
  if (fd == HOST_NO_FD) return std::strerror(errno != 0 ? errno : ENOENT);
  Host_Close(fd);
  return std::string();
}

}  // namespace

bool8 Do_File_Print(const FSSpec& path, std::string& why) {
  why.clear();
  if (g_doc.doc_open) {
    why = "a document is open";
    return false;
  }
  const std::string problem = Open_Problem(path);
  if (!Read_Path(path, false)) {  // the reader tells the user (alert 10)
    if (!problem.empty()) {
      why = problem;
    } else if ((defects & (Defect_Bit(DEFECT_FILE_SIGNATURE) | Defect_Bit(DEFECT_FILE_VERSION))) != 0) {
      why = "not a label project of this version";
    } else {
      why = "the label project is damaged";
    }
    return false;
  }
  // The printing module tells the user why a job printed nothing; the
  // command line hears it in a few words.
  // Print_Doc refuses a document with nothing marked as the menu's Print
  // does (alert 48).
  const bool8 none_marked = Is_Null_Print();
  const bool8 printed = Print_Doc();
  if (!printed)
    why = none_marked ? "no unit is marked for printing"
                      : "the job was not printed (no printer, refused, cancelled or not delivered)";
  Doc_Dispose();
  return printed;
}

bool8 Do_File_Print(const FSSpec& path) {
  std::string why;
  return Do_File_Print(path, why);
}

// --- Saving -----------------------------------------------------------------------------

bool8 Doc_Write(int16 /*format*/, const FSSpec& path) {
  if (Write_DISC(path) != DISC_WRITE_OK) {
    // The alert ends with the system's reason: "  (No space left on device)".
    const std::string why = "  (" + Write_DISC_Reason() + ")";
    Param_Text(CStrSpan(why.c_str(), why.size() + 1), "", "", "");
    OK_Alert(false, STR_CANT_SAVE);
    return false;
  }
  Recent_Add_Path(path);
  Mark_Unchanged();
  History_Flush();
  g_doc.doc_new = false;
  return true;
}

bool8 Do_File_Save() {
  if (!g_doc.doc_open) return false;
  if (g_doc.doc_new) return Do_File_SaveAs();
  return Doc_Write(FMT_DISC, g_doc.doc_path);
}

namespace {

// The save dialog ("Save as") offering only format, proposing defname; the
// main window is drawn again after it either way. TRUE with path chosen.
bool8 Ask_Save_Path(a_file_format format, const std::string& defname, FSSpec& path) {
  Str255 prompt{};
  Get_DLOG_String(prompt, STR_SAVE_AS);
  a_put_customize custom{};
  custom.format = format;
  custom.formats_enabled = Format_Bit(format);
  const bool8 chosen =
      Ask_Put_Path(CStrSpan(prompt, sizeof prompt), CStrSpan(defname.c_str(), defname.size() + 1), 0, custom, path);
  if (gs.outer_window != nullptr) UpdateWindow(gs.outer_window);
  return chosen;
}

}  // namespace

bool8 Do_File_SaveAs() {
  if (!g_doc.doc_open) return false;
  FSSpec path{};
  if (!Ask_Save_Path(FMT_DISC, File_Name(g_doc.doc_path), path)) return false;
  if (!Doc_Write(FMT_DISC, path)) return false;
  g_doc.doc_path = path;
  Show_Name();
  return true;
}

void Do_Abort_Save() {
  if (!g_doc.doc_open || !g_doc.doc_changed) return;
  if (gs.outer_window != nullptr) SetActiveWindow(gs.outer_window);
  if (Confirm_Msg(DLOG_ALERT2, PROMPT_QUIT, STR_SAVE, STR_DONT_SAVE, 0) == ANSWER_YES) (void)Do_File_Save();
}

// --- Export -------------------------------------------------------------------------------

const char* Export_Suffix(a_file_format format) {
  switch (format) {
    case FMT_BMP:
      return ".BMP";
    case FMT_JPEG:
      return ".JPEG";
    case FMT_TIFF:
      return ".TIFF";
    case FMT_PICT:
      return ".PICT";
    case FMT_PSD:
      return ".PSD";
    default:
      QUIT();
      return nullptr;
  }
}

std::string Export_Default_Name(a_file_format format) {
  const char* suffix = Export_Suffix(format);
  if (suffix == nullptr) return std::string();
  std::string name = File_Name(g_doc.doc_path);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name + suffix;
}

void Export_Project(a_file_format format) {
  if (!g_doc.doc_open || g_doc.upx == 0) return;
  const std::string defname = Export_Default_Name(format);
  if (defname.empty()) return;
  FSSpec path{};
  if (Ask_Save_Path(format, defname, path)) (void)Export_Unit(g_doc.upx, format, path);
}

// --- The open dialog's preview ------------------------------------------------------------

namespace {

constexpr int16 kPreviewItem = 2222;

struct a_file_preview {
  FSSpec spec;     // the file looked at last
  PixMap pix;      // its preview, null when none
  HWND dialog;
  int16 item;
};
a_file_preview g_preview{};

void Set_FilePreview_Null() {
  if (!Is_Null_PixMap(g_preview.pix)) Dispose_PixMap(g_preview.pix);
  g_preview.pix = PixMap{};
}

void Redraw_Preview() {
  if (g_preview.dialog == nullptr) return;
  HWND item = GetDlgItem(g_preview.dialog, g_preview.item);
  if (item != nullptr) InvalidateRect(item, nullptr, false);
}

void Set_FilePreview_Path(const FSSpec& spec, bool8 quiet) {
  if (spec.vRefNum == g_preview.spec.vRefNum && spec.parID == g_preview.spec.parID &&
      std::strncmp(spec.name, g_preview.spec.name, sizeof spec.name) == 0)
    return;
  g_preview.spec = spec;
  Set_FilePreview_Null();
  if (spec.name[0] != 0 && !quiet) (void)Scan_DISC_Preview(spec, g_preview.pix);
  Redraw_Preview();
}

void FilePreview_Draw(const Rect& box) {
  SetForeColor(204, 204, 204);
  PaintRect(box);
  ForeColor(1);
  if (Is_Null_PixMap(g_preview.pix)) return;
  Rect fit{};
  Calc_Rect_Fit(g_preview.pix.bounds, box, fit);
  if (!EmptyRect(fit)) Pix_To_Port(&g_preview.pix, Get_GWorld(), g_preview.pix.bounds, fit, srcCopy, nullptr);
}

}  // namespace

int16 Get_Hook(int16 item, HWND dialog, int16 message) {
  switch (message) {
    case -1:
      Set_FilePreview_Null();
      g_preview.spec = FSSpec{};
      g_preview.dialog = dialog;
      g_preview.item = kPreviewItem;
      break;
    case -2:
      Set_FilePreview_Null();
      g_preview.dialog = nullptr;
      break;
    default:
      break;
  }
  return item;
}

void FilePreview(const FSSpec& spec, const Rect& box) {
  Set_FilePreview_Path(spec, false);
  FilePreview_Draw(box);
}

void FilePreview_Init() {
  Set_FilePreview_Null();
  g_preview.spec = FSSpec{};
}

void FilePreview_Stop() {
  Set_FilePreview_Null();
  g_preview.spec = FSSpec{};
}

bool8 FilePreview_Has_Picture() { return !Is_Null_PixMap(g_preview.pix); }

void VoskFile_Init() { g_file_quit_proc = Do_File_Quit; }
