#include "doc/VoskFile.h"

#include "doc/VoskDef.h"
#include "platform/VoskErr.h"

bool8 Doc_Read(const FSSpec& /*path*/, bool8 /*is_template*/) {
  OK_Alert(false, 10);  // "Sorry, could not read the file."
  return false;
}

void Do_File_Open3(bool8 is_template, const FSSpec& path) {
  if (!Doc_Read(path, is_template)) return;
  g_doc.doc_open = true;
}

bool8 Do_File_Print(const FSSpec& path) {
  if (g_doc.doc_open) return false;
  if (!Doc_Read(path, false)) return false;
  // Printing joins with the printing back end; the document read for it is
  // not kept.
  g_doc.doc_open = false;
  return false;
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

void History_Stop() {}
