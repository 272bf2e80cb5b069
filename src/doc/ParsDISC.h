// Project files (".CD4", type "DISC"): the only writer and reader of the
// document's files.
//
// The project reader and writer are not built yet: every file is refused
// (see Read_DISC), so no document can be opened from a file.
#pragma once

#include "platform/SysIO.h"
#include "platform/Types.h"

// Why Read_DISC refused a file.
enum a_disc_result : uint8 {
  DISC_OK = 0,
  DISC_NOT_SUPPORTED,  // this version cannot read project files yet
};

// Reads the project file at path into g_doc (append: imported into the open
// document). TRUE when the file was read without a serious defect. Until the
// reader exists every file is refused: FALSE, g_doc untouched, and
// Read_DISC_Result gives DISC_NOT_SUPPORTED.
bool8 Read_DISC(const FSSpec& path, bool8 append);
a_disc_result Read_DISC_Result();
