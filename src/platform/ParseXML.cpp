#include "platform/ParseXML.h"

#include <cstring>

#include "platform/SysErr.h"
#include "platform/SysMem.h"

namespace {

constexpr uint32 XML_BUF_SIZE = 4096;

struct a_xml_rec {
  a_fd fd;
  char undo_token[XML_TOKEN_SIZE];  // a token pushed back
  bool8 undo_flag;                  // a token is pushed back
  char undo_char;                   // a character pushed back; 0: none
  a_xml_state state;
  bool8 failed;  // a read error ended the data
  bool8 at_end;  // the source has nothing more
  // Source: the open file, or bytes in memory.
  const uint8* mem;
  size_t mem_len, mem_pos;
  // Read-ahead buffer; buf_pos <= buf_len <= XML_BUF_SIZE.
  uint32 buf_len, buf_pos;
  uint8 buf[XML_BUF_SIZE];
};

a_xml_rec* g_xml = nullptr;

bool8 Open_Rec() {
  Stop_ParseXML();
  Ptr p = New_Ptr_Clear(uint32(sizeof(a_xml_rec)));
  if (p == nullptr) {
    g_err_mem_proc(uint32(sizeof(a_xml_rec)));
    return false;
  }
  g_xml = reinterpret_cast<a_xml_rec*>(p);
  g_xml->fd = NULL_FD;
  g_xml->state = IN_NOTHING;
  return true;
}

// Refills the read-ahead buffer; false at the end of the data or on an error.
bool Refill() {
  a_xml_rec& x = *g_xml;
  x.buf_pos = 0;
  x.buf_len = 0;
  if (x.failed || x.at_end) return false;
  if (x.mem != nullptr || Is_Null_Fd(x.fd)) {
    size_t left = x.mem_len - x.mem_pos;
    size_t n = left < XML_BUF_SIZE ? left : XML_BUF_SIZE;
    if (n == 0) {
      x.at_end = true;
      return false;
    }
    std::memcpy(x.buf, x.mem + x.mem_pos, n);
    x.mem_pos += n;
    x.buf_len = uint32(n);
    return true;
  }
  uint32 n = XML_BUF_SIZE;
  OSErr err = File_Read2(x.fd, x.buf, n);
  if (err == eofErr) {
    x.at_end = true;
    return false;
  }
  if (err != noErr || n > XML_BUF_SIZE) {
    // The data ends here, with an error the caller can see, rather than
    // stopping the program.
    x.failed = true;
    return false;
  }
  x.buf_len = n;
  return n > 0;
}

}  // namespace

bool8 Init_ParseXML(const FSSpec& path) {
  a_fd fd = File_Open(path, GENERIC_READ);
  if (Is_Null_Fd(fd)) return false;
  if (!Open_Rec()) {
    File_Close(fd);
    return false;
  }
  g_xml->fd = fd;
  return true;
}

bool8 Init_ParseXML_Buffer(const void* data, size_t len) {
  if (data == nullptr && len != 0) return false;
  if (!Open_Rec()) return false;
  static const uint8 empty = 0;
  g_xml->mem = data != nullptr ? static_cast<const uint8*>(data) : &empty;
  g_xml->mem_len = len;
  return true;
}

int16 GetChar() {
  if (g_xml == nullptr) return XML_EOF;
  a_xml_rec& x = *g_xml;
  if (x.undo_char != 0) {
    int16 c = int16(uint8(x.undo_char));
    x.undo_char = 0;
    return c;
  }
  for (;;) {
    if (x.buf_pos >= x.buf_len && !Refill()) return XML_EOF;
    uint8 c = x.buf[x.buf_pos++];
    if (c == 13) continue;  // carriage returns never reach the tokens
    if (c == 255) {
      // The reader has always taken a byte 255 for the end of the file; it
      // stays the end, so tokens after it cannot reappear on a later call.
      x.at_end = true;
      x.buf_pos = x.buf_len = 0;
      return XML_EOF;
    }
    return int16(c);
  }
}

void UnGetChar(char cc) {
  if (g_xml != nullptr) g_xml->undo_char = cc;
}

OSErr GetTokenXML(StrSpan token) {
  if (token.empty()) return errFailed;
  token[0] = 0;
  if (g_xml == nullptr) return errFailed;
  a_xml_rec& x = *g_xml;
  const int32 high = int32(token.size()) - 1;

  if (x.undo_flag) {
    x.undo_flag = false;
    int32 n = 0;
    while (n < high && n < XML_TOKEN_SIZE - 1 && x.undo_token[n] != 0) {
      token[size_t(n)] = x.undo_token[n];
      n++;
    }
    token[size_t(n)] = 0;
    return noErr;
  }
  if (x.failed) return errFailed;

  const int32 room = high - 1;  // characters the token may hold
  int32 len = 0;
  bool at_end = false;
  for (;;) {
    int16 c = GetChar();
    if (x.failed) {
      x.state = IN_NOTHING;
      token[0] = 0;
      return errFailed;
    }
    if (c == XML_EOF) {
      x.state = IN_NOTHING;
      at_end = true;
      break;
    }
    bool stored = len < room;
    if (stored) token[size_t(len++)] = char(c);
    if (x.state == IN_NOTHING) {
      if (c <= 32) {
        if (stored) len--;  // leading white space is skipped
      } else if (c == '<') {
        x.state = IN_LT;
      } else {
        x.state = IN_SOMETHING;
      }
    } else if (x.state == IN_SOMETHING) {
      if (c == '<') {  // a text run ends before the next tag
        if (stored) len--;
        UnGetChar('<');
        x.state = IN_NOTHING;
        break;
      }
    } else if (c == '>') {  // IN_LT: the tag is whole
      x.state = IN_NOTHING;
      break;
    }
  }
  token[size_t(len)] = 0;
  return (at_end && len == 0) ? eofErr : noErr;
}

void UnGetTokenXML(CStrSpan token) {
  if (g_xml == nullptr) return;
  size_t n = 0;
  while (n < token.size() && n < size_t(XML_TOKEN_SIZE - 1) && token[n] != 0) {
    g_xml->undo_token[n] = token[n];
    n++;
  }
  g_xml->undo_token[n] = 0;
  g_xml->undo_flag = true;
}

bool8 ParseXML_Failed() { return g_xml != nullptr && g_xml->failed; }

void Stop_ParseXML() {
  if (g_xml == nullptr) return;
  if (!Is_Null_Fd(g_xml->fd)) File_Close(g_xml->fd);
  Ptr p = reinterpret_cast<Ptr>(g_xml);
  Dispose_Ptr(p);
  g_xml = nullptr;
}
