#include "doc/VoskFile.h"

#include <cerrno>
#include <cstring>

#include "doc/VoskDoc.h"
#include "host/HostFiles.h"
#include "platform/SysLoop.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"

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
    why = problem.empty() ? std::string("this version cannot read label files yet") : problem;
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

namespace {
// Saving joins with the project writer; until then a save fails and says so.
bool8 Do_File_Save() {
  OK_Alert(false, 15);
  return false;
}
}  // namespace

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
