// The Import menu's "From another project..." command: a project of this
// program (version 8, its layout and units taken in) or of the previous
// generation (version 7, its label brought into the current unit), read by
// the project reader with its import flag, as one step of the history.
#pragma once

#include "platform/SysIO.h"
#include "platform/Types.h"

// Alerts of a refused import: a damaged or unknown older project, and one
// whose objects do not fit the current unit's list (^0: how many).
constexpr int16 ALERT_IMPORT_DAMAGED = 90;
constexpr int16 ALERT_IMPORT_NO_ROOM = 91;

// Imports the project at path (an empty name: the open dialog asks for one,
// and a cancel does nothing). TRUE when it was read: the history records
// OP_IMPORT. A file that cannot be read: sound 136, an alert (10 for a file
// that is no project or cannot be opened, ALERT_IMPORT_DAMAGED or
// ALERT_IMPORT_NO_ROOM for an older project) and the document as it was.
bool8 Do_Import_Velmor(const FSSpec& path);

// The menu command: Do_Import_Velmor with the open dialog.
void Cmd_Import_Velmor(bool8 shiftkey, bool8 optionkey);
