#include "platform/VoskErr.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "doc/VoskDef.h"
#include "host/HostAlert.h"
#include "platform/Resources.h"
#include "platform/SysMem.h"
#include "platform/SysUnicode.h"

Str255 gparam_strings[4];

namespace {

int32 Len(CStrSpan s) {
  int32 n = 0;
  while (n < int32(s.size()) && s[std::size_t(n)] != 0) ++n;
  return n;
}

// Stores text into dest, cut to 255 bytes and to dest's array at a character
// boundary, and terminated.
void Store(const char* text, int32 len, StrSpan dest) {
  if (dest.empty()) return;
  int32 room = int32(dest.size()) - 1;
  if (room > 255) room = 255;
  len = UTF8_Cut_Length(CStrSpan(text, std::size_t(len)), len, room);
  std::memmove(dest.data(), text, std::size_t(len));
  dest[std::size_t(len)] = 0;
}

}  // namespace

int32 UTF8_Cut_Length(CStrSpan text, int32 len, int32 max) {
  if (len <= max) return len;
  if (max <= 0) return 0;
  // Step back over continuation bytes so the cut falls before a lead byte.
  int32 cut = max;
  while (cut > 0 && (uint8(text[std::size_t(cut)]) & 0xC0) == 0x80) --cut;
  return cut;
}

int16 Current_Language() { return int16(gs.pref.language_offset & 0xFF); }

void Param_Text(CStrSpan param0, CStrSpan param1, CStrSpan param2, CStrSpan param3) {
  const CStrSpan params[4] = {param0, param1, param2, param3};
  for (int k = 0; k < 4; ++k) Store(params[k].data(), Len(params[k]), gparam_strings[k]);
}

void Do_Param_Text(StrSpan msg) {
  const int32 n = Len(msg);
  char out[1024];  // more than the 255 bytes kept; the rest is cut
  int32 o = 0;
  bool any = false;
  auto put = [&](const char* p, int32 len) {
    for (int32 k = 0; k < len && o < int32(sizeof out); ++k) out[o++] = p[k];
  };
  for (int32 i = 0; i < n; ++i) {
    char c = msg[std::size_t(i)];
    if (c == '^' && i + 1 < n && msg[std::size_t(i) + 1] >= '0' && msg[std::size_t(i) + 1] <= '3') {
      const Str255& p = gparam_strings[msg[std::size_t(i) + 1] - '0'];
      put(p, Len(p));
      ++i;
      any = true;
    } else {
      put(&c, 1);
    }
  }
  if (any) Store(out, o, msg);
}

bool8 Do_Substitutions(StrSpan ss) {
  const int32 n = Len(ss);
  char out[1024];
  int32 o = 0;
  bool any = false;
  auto put = [&](const char* p, int32 len) {
    for (int32 k = 0; k < len && o < int32(sizeof out); ++k) out[o++] = p[k];
  };
  for (int32 i = 0; i < n; ++i) {
    char c = ss[std::size_t(i)];
    int16 item = 0;
    if (c == '@' && i + 1 < n) {
      switch (ss[std::size_t(i) + 1]) {
        case 'P': case 'p': item = PROG_LONG_NAME; break;
        case 'C': case 'c': item = PROG_MAKER; break;
        case 'U': case 'u': item = PROG_WEB; break;
        default: break;
      }
    }
    if (item != 0) {
      Str255 name;
      GetIndString(name, STRLIST_PROGRAM, item);
      put(name, Len(name));
      ++i;
      any = true;
    } else {
      put(&c, 1);
    }
  }
  if (any) Store(out, o, ss);
  return any;
}

void Get_Translated_String(StrSpan ss, int16 listx, int16 strx) {
  if (ss.empty()) return;
  ss[0] = 0;
  const int32 translated = int32(listx) + Current_Language();
  if (translated != listx && translated <= 32767) GetIndString(ss, int16(translated), strx);
  if (ss[0] == 0) GetIndString(ss, listx, strx);
  Do_Param_Text(ss);
}

void Get_Translated_UString(UStrSpan uss, int16 listx, int16 strx) {
  Str255 s;
  Get_Translated_String(s, listx, strx);
  UTF8_To_UTF16(s, uss);
}

void Get_DLOG_String(StrSpan str, int16 index) { Get_Translated_String(str, STRLIST_DLOG, index); }
void Get_DLOG_UString(UStrSpan uss, int16 index) {
  Get_Translated_UString(uss, STRLIST_DLOG, index);
}

void MissingResource_Params(OSType kind, int16 id) {
  char k[5] = {char(kind >> 24), char(kind >> 16), char(kind >> 8), char(kind), 0};
  // A numeric type (the version block) has NUL bytes; show it as a number.
  if (kind < 0x01000000u) std::snprintf(k, sizeof k, "%u", unsigned(kind % 10000));
  char n[8];
  std::snprintf(n, sizeof n, "%d", int(id));
  Param_Text(k, n, "", "");
}

void MissingKey_Params(OSType kind, a_keyset key) {
  char k[5] = {char(kind >> 24), char(kind >> 16), char(kind >> 8), char(kind), 0};
  char n[32];
  std::snprintf(n, sizeof n, "%d.%d.%d.%d", int(key.a), int(key.b), int(key.c), int(key.d));
  Param_Text(k, n, "", "");
}

// --- Alerts ---------------------------------------------------------------------------

namespace {

bool8 g_first_warning = true;

// The alert's exit status: a fatal alert ends a run that failed, and the
// status says so to whoever started the program.
constexpr int kFatalExitStatus = 1;

}  // namespace

namespace {

int16 Show_Request(int16 dlog_id, int16 prompt_str, int16 yes_strx, int16 cancel_strx,
                   int16 no_strx, bool fatal) {
  Str255 text, b1, b2, b3;
  int32 nbuttons = 0;
  switch (dlog_id) {
    case DLOG_ALERT1:
      Get_Translated_String(text, STRLIST_ALERT, prompt_str);
      nbuttons = 1;
      break;
    case DLOG_ALERT2:
      Get_DLOG_String(text, prompt_str);
      nbuttons = 2;
      break;
    case DLOG_ALERT3:
      Get_DLOG_String(text, prompt_str);
      nbuttons = 3;
      break;
    default:
      QUIT();
      return 1;
  }
  Get_DLOG_String(b1, yes_strx);
  if (nbuttons >= 2) Get_DLOG_String(b2, cancel_strx);
  if (nbuttons >= 3) Get_DLOG_String(b3, no_strx);
  const char* const buttons[3] = {b1, b2, b3};
  // Alerts carry "\r\n" line breaks from the string lists; a message box
  // and standard error want plain "\n".
  std::string shown;
  for (const char* p = text; *p != 0; ++p)
    if (*p != '\r') shown.push_back(*p);
  const int32 hit = Host_Alert_Show(prompt_str, shown.c_str(), buttons, nbuttons, fatal);
  return int16(hit - 1);
}

}  // namespace

int16 Ask_YesNoCancel(int16 dlog_id, int16 prompt_str, int16 yes_strx, int16 cancel_strx,
                      int16 no_strx) {
  return Show_Request(dlog_id, prompt_str, yes_strx, cancel_strx, no_strx, false);
}

int16 Confirm_Msg(int16 dlog_id, int16 prompt_str, int16 yes_strx, int16 can_strx, int16 no_strx) {
  // No document subsystem names the open document yet: an untitled one.
  Str255 name;
  Get_DLOG_String(name, 48);
  Param_Text(name, "", "", "");
  return Ask_YesNoCancel(dlog_id, prompt_str, yes_strx, can_strx, no_strx);
}

void OK_Alert(bool8 abortflag, int16 stringx) {
  if (!abortflag && gs.controller != HUMAN) return;
  Show_Request(DLOG_ALERT1, stringx, 8, 0, 0, abortflag);
  if (abortflag) {
    if (g_err_sav_proc != nullptr) g_err_sav_proc();
    Halt(kFatalExitStatus);
  }
}

void InternalError() { OK_Alert(true, 4); }

void OutOfMemory(uint32 needed) {
  Str255 name;
  Get_DLOG_String(name, 48);
  char n[3][16];
  std::snprintf(n[0], sizeof n[0], "%u", unsigned(needed));
  std::snprintf(n[1], sizeof n[1], "%u", unsigned(Heap_CalcFree()));
  std::snprintf(n[2], sizeof n[2], "%u", unsigned(Heap_CalcLargest()));
  Param_Text(name, n[0], n[1], n[2]);
  OK_Alert(true, 5);
}

void MissingResource(OSType kind, int16 id) {
  MissingResource_Params(kind, id);
  OK_Alert(true, 6);
}

void MissingKey(OSType kind, a_keyset key) {
  MissingKey_Params(kind, key);
  OK_Alert(true, 6);
}

void Memory_Constraint() {
  if (!g_first_warning) return;
  g_first_warning = false;
  OK_Alert(false, 24);
}
