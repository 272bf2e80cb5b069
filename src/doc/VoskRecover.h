// Keeping the open document when the program has to stop on an internal
// error: a changed document is written as a new project file whose name says
// it was recovered, beside its own file (or in the documents folder when it
// was never saved), never over a file.
#pragma once

#include <string>

#include "platform/Types.h"

// Writes the open document, when it is open and changed, to
// "<name> (recovered).CD4" beside its file (a new or template document: in
// the documents folder, named after its window), or to the first free
// "<name> (recovered) (2).CD4" ... The document itself stays as it was: its
// path, name and changed state. TRUE when a file was written; written then
// names it. Nothing here shows an alert.
bool8 Recover_Open_Document(std::string& written);

// The name Recover_Open_Document starts from for the document's file name
// (its last ".xxx" suffix taken off): "<stem> (recovered).CD4".
std::string Recovered_Name(const std::string& doc_name);
