// A small pull reader that splits an XML file into tokens: tags (from "<" to
// ">" inclusive, attributes and all) and text runs (up to the next "<",
// leading white space skipped, inner and trailing white space kept).
// Carriage returns are dropped; character and entity references are not
// decoded; malformed markup simply yields the tokens these rules give.
// A byte 255 ends the data like the end of the file. One file at a time:
// the reader's state is one module variable.
#pragma once

#include <cstddef>

#include "platform/SysIO.h"
#include "platform/Types.h"

constexpr int16 XML_EOF = 255;  // GetChar at the end of the data (a byte 255 reads as this too)
constexpr int32 XML_TOKEN_SIZE = 1024;

enum a_xml_state : int16 { IN_NOTHING = 0, IN_SOMETHING = 1, IN_LT = 2 };

// Opens the file for reading; FALSE when it cannot be opened.
bool8 Init_ParseXML(const FSSpec& path);
// Reads the given bytes instead of a file (they must stay valid until
// Stop_ParseXML).
bool8 Init_ParseXML_Buffer(const void* data, size_t len);

// The next token into token (cut to its size). Result: 0 with a token;
// eofErr with an empty token at the end of the data; -1 with an empty token
// when the data could not be read (and from then on), or when no reader is open.
OSErr GetTokenXML(StrSpan token);
// Pushes one token back (at most 1023 characters); the next GetTokenXML gives it.
void UnGetTokenXML(CStrSpan token);

// One character (0 to 255; XML_EOF at the end or after a read error) and one
// character pushed back (0 pushes nothing back).
int16 GetChar();
void UnGetChar(char cc);

// TRUE once a read error ended the data.
bool8 ParseXML_Failed();

// Closes the file and frees the reader.
void Stop_ParseXML();
