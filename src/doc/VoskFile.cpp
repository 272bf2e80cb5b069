#include "doc/VoskFile.h"

#include <cerrno>
#include <cstring>

#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "host/HostFiles.h"
#include "platform/SysLoop.h"
#include "platform/SysSound.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskDelt.h"

namespace {

// Reads the document at path (the reader tells the user when it cannot); the
// document's path stays as it was when the file is not read.
bool8 Read_Path(const FSSpec& path, bool8 is_template) {
  const FSSpec old = g_doc.doc_path;
  g_doc.doc_path = path;
  if (Doc_Read(is_template)) return true;
  g_doc.doc_path = old;
  return false;
}

}  // namespace

void Do_File_Open3(bool8 is_template, const FSSpec& path) { (void)Read_Path(path, is_template); }

namespace {

// What keeps the file at path from being read at all, as the system says it;
// "" when it can be opened for reading.
std::string Open_Problem(const FSSpec& path) {
  const char* name = std::memchr(path.name, 0, sizeof path.name) != nullptr ? path.name : "";
  if (name[0] == 0) return std::strerror(ENOENT);
  if (Host_Is_Dir(name)) return std::strerror(EISDIR);
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
  // Printing joins with the printing back end; the document read for it is
  // not kept.
  Doc_Dispose();
  why = "there is no unit to print";
  return false;
}

bool8 Do_File_Print(const FSSpec& path) {
  std::string why;
  return Do_File_Print(path, why);
}

bool8 Doc_Write(int16 /*format*/, const FSSpec& path) {
  if (Write_DISC(path) != DISC_WRITE_OK) {
    // The alert ends with the system's reason: "  (No space left on device)".
    const std::string why = "  (" + Write_DISC_Reason() + ")";
    Param_Text(CStrSpan(why.c_str(), why.size() + 1), "", "", "");
    OK_Alert(false, STR_CANT_SAVE);
    return false;
  }
  SV_Set_Bool(SV_DOC_CHANGED, false);
  g_doc.doc_changed = false;
  History_Flush();
  g_doc.doc_new = false;
  return true;
}

bool8 Do_File_Save() {
  if (!g_doc.doc_open) return false;
  if (g_doc.doc_new) {
    Sound_Effect(SND_NULL);
    return false;
  }
  return Doc_Write(FMT_DISC, g_doc.doc_path);
}

void Do_File_Quit() {
  if (!g_doc.doc_open) {
    g_doneflag = true;
    return;
  }
  switch (Confirm_Msg(DLOG_ALERT3, 4, 34, 105, 33)) {
    case 0:  // save, and quit only when that worked
      if (Do_File_Save()) {
        g_doc.doc_open = false;
        g_doneflag = true;
      }
      break;
    case 2:  // don't save
      g_doc.doc_open = false;
      g_doneflag = true;
      break;
    default:  // cancel
      break;
  }
}

void VoskFile_Init() { g_file_quit_proc = Do_File_Quit; }
