#include "platform/VoskErr.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/VoskDef.h"
#include "host/HostAlert.h"
#include "platform/Resources.h"
#include "host/HostBackend.h"
#include "host/HostUtf.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysDlog.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/SysLoop.h"
#include "platform/SysMS.h"
#include "platform/SysMem.h"
#include "platform/SysUnicode.h"
#include "platform/SysWin.h"
#include "platform/Windowv.h"

Str255 gparam_strings[4];
a_yesno_rec* g_yesno = nullptr;
HWND g_progress_window = nullptr;
a_progress_rec g_progress{};
HWND g_prompt_window = nullptr;

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
  // The cut falls before a lead byte, never inside a character.
  return int32(Host_Utf8_Cut(std::string_view(text.data(), std::min(text.size(), std::size_t(len))), std::size_t(max)));
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

// After a fatal alert: where the open document was kept.
constexpr int16 kRecoveredAlert = 99;

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

bool Is_Alert_Dialog(int16 dlog_id) {
  return dlog_id == DLOG_ALERT1 || dlog_id == DLOG_ALERT2 || dlog_id == DLOG_ALERT3;
}

// Shows the request as an alert dialog. Where no dialog can run (its
// template is missing or refused, or the dialog stacks are full) the host's
// plain alert shows it instead: a fatal message must be seen whatever
// state the program is in, and must not recurse into the missing-resource
// alert.
int16 Run_Request(int16 dlog_id, int16 prompt_str, int16 yes_strx, int16 cancel_strx, int16 no_strx,
                  bool fatal) {
  if (!Is_Alert_Dialog(dlog_id)) {
    QUIT();
    return 1;
  }
  if (!Dialog_Template_Valid(dlog_id) || modal_n >= kMaxModalDialogs || n_winstack >= kMaxWinStack)
    return Show_Request(dlog_id, prompt_str, yes_strx, cancel_strx, no_strx, fatal);
  a_yesno_rec request{dlog_id, prompt_str, yes_strx, cancel_strx, no_strx};
  struct Restore {
    a_yesno_rec* outer = g_yesno;
    ~Restore() { g_yesno = outer; }
  } restore;
  g_yesno = &request;
  const int16 hit = Modal_Dialog(dlog_id, 167, 1, YesNo_Init, YesNo_Cmd, DialogFilterYesNo);
  switch (hit) {
    case 1: return 0;
    case 3: return 2;
    default: return dlog_id == DLOG_ALERT1 ? int16(0) : int16(1);  // ended without a choice: cancel
  }
}

}  // namespace

int16 Ask_YesNoCancel(int16 dlog_id, int16 prompt_str, int16 yes_strx, int16 cancel_strx,
                      int16 no_strx) {
  return Run_Request(dlog_id, prompt_str, yes_strx, cancel_strx, no_strx, false);
}

int16 Confirm_Msg(int16 dlog_id, int16 prompt_str, int16 yes_strx, int16 can_strx, int16 no_strx) {
  // The open document by its file's name; a new one carries the untitled
  // name as its path, so this names it too. With no name at all: untitled.
  Str255 name{};
  if (!g_doc.doc_open || !Path_To_Name(g_doc.doc_path, name) || name[0] == 0) Get_DLOG_String(name, 48);
  Param_Text(name, "", "", "");
  return Ask_YesNoCancel(dlog_id, prompt_str, yes_strx, can_strx, no_strx);
}

void OK_Alert(bool8 abortflag, int16 stringx) {
  if (!abortflag && gs.controller != HUMAN) return;
  if (!abortflag) {
    Run_Request(DLOG_ALERT1, stringx, 8, 0, 0, false);
    return;
  }
  // Before the program stops, what can be kept is kept (the open document,
  // the preferences), so the alert can say where the work went. The
  // alert's own parameters survive it.
  static bool saving = false;
  if (g_err_sav_proc != nullptr && !saving) {
    saving = true;
    Str255 params[4];
    std::memcpy(params, gparam_strings, sizeof params);
    g_err_sav_proc();
    std::memcpy(gparam_strings, params, sizeof params);
    saving = false;
  }
  Run_Request(DLOG_ALERT1, stringx, 8, 0, 0, true);
  if (SysErr_Recovered()[0] != 0) {
    Str255 where{};
    std::strncpy(where, SysErr_Recovered(), sizeof where - 1);
    Param_Text(where, "", "", "");
    Run_Request(DLOG_ALERT1, kRecoveredAlert, 8, 0, 0, true);
  }
  Halt(kFatalExitStatus);
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

void MissingResource_Item(OSType kind, int16 id) {
  MissingResource_Params(kind, id);
  OK_Alert(false, 6);
}

void MissingKey_Item(OSType kind, a_keyset key) {
  MissingKey_Params(kind, key);
  OK_Alert(false, 6);
}

void Memory_Constraint() {
  if (!g_first_warning) return;
  g_first_warning = false;
  OK_Alert(false, 24);
}

// --- Alert dialogs ---------------------------------------------------------------------

namespace {

// Alert texts carry "\r\n" line breaks; a static item and standard error
// want plain "\n".
void Strip_CR(StrSpan s) {
  size_t o = 0;
  for (size_t i = 0; i < s.size() && s[i] != 0; ++i)
    if (s[i] != '\r') s[o++] = s[i];
  if (o < s.size()) s[o] = 0;
}

bool Is_Escape(const EventRecord& e) { return Event_CharCode(e) == 27 || Event_KeyCode(e) == 27; }
bool Is_Cmd_Period(const EventRecord& e) {
  return Event_CharCode(e) == '.' && (e.modifiers & cmdKey) != 0;
}
bool Is_Key_Event(const EventRecord& e) { return e.what == keyDown || e.what == autoKey; }

void Update_Other_Window(HWND dialog, const EventRecord& e) {
  HWND w = reinterpret_cast<HWND>(e.message);
  if (e.what == updateEvt && w != nullptr && w != dialog) DoUpdate(w);
}

}  // namespace

void Fix_DLOG_String(HWND dialog, int16 partix, int16 stringx) {
  Str255 s;
  Get_DLOG_String(s, stringx);
  SetDialogStr(dialog, partix, s);
}

void YesNo_Init(HWND dialog) {
  if (g_yesno == nullptr) return;
  const a_yesno_rec& r = *g_yesno;
  Str255 prompt;
  int16 prompt_item = 0;
  switch (r.dlog_id) {
    case DLOG_ALERT1:
      Fix_DLOG_String(dialog, 1, r.yes_strx);
      Get_Translated_String(prompt, STRLIST_ALERT, r.prompt_str);
      prompt_item = 2;
      break;
    case DLOG_ALERT2:
      Fix_DLOG_String(dialog, 1, r.yes_strx);
      Fix_DLOG_String(dialog, 2, r.cancel_strx);
      Get_DLOG_String(prompt, r.prompt_str);
      prompt_item = 3;
      break;
    case DLOG_ALERT3:
      Fix_DLOG_String(dialog, 1, r.yes_strx);
      Fix_DLOG_String(dialog, 2, r.cancel_strx);
      Fix_DLOG_String(dialog, 3, r.no_strx);
      Get_DLOG_String(prompt, r.prompt_str);
      prompt_item = 4;
      break;
    default:
      return;
  }
  Strip_CR(prompt);
  SetDialogStr(dialog, prompt_item, prompt);
  // Every alert is on record on standard error, whatever shows it (the
  // headless backend writes the report itself).
  if (!Host_Report_Alert(r.prompt_str, prompt)) {
    std::fprintf(stderr, "velmor: alert %d: %s\n", int(r.prompt_str), prompt);
    std::fflush(stderr);
  }
}

void YesNo_Cmd(HWND dialog, int16 item) {
  const int16 id = g_yesno != nullptr ? g_yesno->dlog_id : int16(0);
  // A message has one answer, whichever way it is dismissed (Escape and the
  // close box press the cancel item, which it does not have).
  if (id == DLOG_ALERT1) {
    Modal_Exit(dialog, 1);
    return;
  }
  const int16 last = id == DLOG_ALERT3 ? int16(3) : int16(2);
  if (item >= 1 && item <= last) Modal_Exit(dialog, item);
}

bool8 DialogFilterYesNo(HWND dialog, EventRecord& theEvent, int16& itemhit) {
  itemhit = 0;
  if (Is_Key_Event(theEvent)) {
    const int16 id = g_yesno != nullptr ? g_yesno->dlog_id : int16(0);
    const uint8 code = Event_KeyCode(theEvent);
    const bool enter = code == VIRT_KEYPAD_ENTER || code == 13;
    if (id == DLOG_ALERT1) {
      if (Is_Escape(theEvent) || Is_Cmd_Period(theEvent) || enter) itemhit = 1;
    } else if (id == DLOG_ALERT2 || id == DLOG_ALERT3) {
      if (enter)
        itemhit = 1;
      else if (Is_Escape(theEvent) || Is_Cmd_Period(theEvent))
        itemhit = 2;
      else if (id == DLOG_ALERT3 && (theEvent.modifiers & cmdKey) != 0 &&
               (Event_CharCode(theEvent) == 'D' || Event_CharCode(theEvent) == 'd'))
        itemhit = 3;
    } else {
      QUIT();
    }
  }
  Update_Other_Window(dialog, theEvent);
  return itemhit != 0;
}

namespace {
bool8 Filter_Common(HWND dialog, EventRecord& e, int16& itemhit, bool return_is_ok) {
  itemhit = 0;
  if (Is_Key_Event(e)) {
    const uint8 code = Event_KeyCode(e);
    if (Is_Escape(e) || Is_Cmd_Period(e))
      itemhit = 2;
    else if (code == VIRT_KEYPAD_ENTER || (return_is_ok && code == 13))
      itemhit = 1;
  }
  Update_Other_Window(dialog, e);
  return itemhit != 0;
}
}  // namespace

bool8 DialogFilter1(HWND dialog, EventRecord& theEvent, int16& itemhit) {
  return Filter_Common(dialog, theEvent, itemhit, true);
}
bool8 DialogFilter2(HWND dialog, EventRecord& theEvent, int16& itemhit) {
  return Filter_Common(dialog, theEvent, itemhit, false);
}

// --- Progress window and prompt strip --------------------------------------------------

namespace {

constexpr int16 kProgressWidth = 300;
constexpr int16 kProgressHeight = 45;
constexpr int16 kPromptHeight = 36;

Str255 g_prompt_text;

RGBColor Color8(uint8 r, uint8 g, uint8 b) {
  return RGBColor{uint16(r * 257), uint16(g * 257), uint16(b * 257)};
}

// The interface's 14-point font.
void Font_14pt(a_fontspec& f) {
  Null_FontSpec(f);
  if (BASE_PROP_FONT != 0) f.fontID = BASE_PROP_FONT;
  f.size = 14;
}

void Paint_Progress(HWND window) {
  const Rect all{0, 0, kProgressHeight, kProgressWidth};
  RGBBackColor(Color8(255, 251, 240));
  EraseRect(all);
  a_fontspec f;
  Font_14pt(f);
  SetFont(f);
  ForeColor(1);
  TextMode(1);
  Str255 s;
  Get_DLOG_String(s, 106);  // "Working..."
  MoveTo(int16(kProgressWidth / 10), int16(kProgressHeight * 35 / 100));
  DrawString(s);
  PenNormal();
  FrameRect(g_progress.bar);
  if (g_progress.drawn > g_progress.bar.left) {
    Rect done = g_progress.bar;
    done.right = g_progress.drawn;
    Draw_Progress_Bar(done);
  }
  (void)window;
}

void Progress_Update(HWND window) { Paint_Progress(window); }

a_win_info_rec g_progress_info{nullptr, Progress_Update, FLOATER_KIND, {u'P', u'R', u'O', u'G', 0}};

void Flush_Window(HWND window) {
  HDC dc = GetDC(window);
  if (dc != nullptr) ReleaseDC(window, dc);
}

void Paint_Prompt(HWND window) {
  RECT cr{0, 0, 0, 0};
  GetClientRect(window, &cr);
  Rect r{0, 0, int16(cr.bottom), int16(cr.right)};
  PenNormal();
  RGBForeColor(Color8(107, 221, 242));
  FrameRect(r);
  InsetRect(r, 1, 1);
  RGBForeColor(Color8(62, 181, 203));
  FrameRect(r);
  Rect inside = r;
  InsetRect(inside, 1, 1);
  RGBBackColor(Color8(211, 240, 250));
  EraseRect(inside);
  RGBForeColor(Color8(24, 145, 167));
  FrameRect(inside);
  a_fontspec f;
  Font_14pt(f);
  SetFont(f);
  ForeColor(1);
  TextMode(1);
  a_font_info fi{};
  Get_Font_Info(fi);
  const int16 tw = StringWidth(g_prompt_text);
  MoveTo(int16((cr.right - tw) / 2), int16((cr.bottom + fi.ascent - fi.descent) / 2));
  DrawString(g_prompt_text);
}

a_win_info_rec g_prompt_info{nullptr, Paint_Prompt, FLOATER_KIND, {u'P', u'R', u'O', u'M', 0}};

// Draws into a window and puts the caller's port back.
template <typename F>
void With_Window_Port(HWND window, F draw) {
  a_gstate saved;
  Get_GState(saved);
  SetPort(window);
  draw();
  Set_GState(saved);
  Flush_Window(window);
}

// The first view of the main window (its whole client area until the
// interface's views exist), in the main window's coordinates.
bool First_View_Bounds(Rect& view) {
  RECT cr{0, 0, 0, 0};
  if (gs.outer_window == nullptr || !GetClientRect(gs.outer_window, &cr)) return false;
  ToRect(view, cr);
  return true;
}

int16 Text_Width_14pt(CStrSpan text) {
  a_gstate saved;
  Get_GState(saved);
  HDC sdc = GetDC(nullptr);
  SetPort2(nullptr, sdc);
  a_fontspec f;
  Font_14pt(f);
  SetFont(f);
  const int16 w = StringWidth(text);
  Flush_Shadow(theShadow);
  ReleaseDC(nullptr, sdc);
  Set_GState(saved);
  return w;
}

}  // namespace

void VoskErr_Init() {
  g_progproc = Progress_Tick;
  g_progress_window = nullptr;
  g_progress = a_progress_rec{};
  g_prompt_window = nullptr;
  g_yesno = nullptr;
}

void Calc_Edit_Area(Rect& gbounds) {
  gbounds = gs.pref.tot_window;
  // Before the preferences have placed the main window, its own rectangle.
  if (EmptyRect(gbounds) && gs.outer_window != nullptr) GetWindowBounds(gs.outer_window, gbounds);
}

void Draw_Progress_Bar(const Rect& bar) {
  const int32 height = int32(bar.bottom) - bar.top;
  if (height <= 0 || bar.right <= bar.left) return;
  for (int32 y = bar.top; y < bar.bottom; ++y) {
    const int32 g = 90 + (y - bar.top) * 66 / height;
    RGBForeColor(Color8(66, uint8(g), uint8(g)));
    PaintRect(Rect{int16(y), bar.left, int16(y + 1), bar.right});
  }
}

void Progress_Init() {
  if (g_progress_window != nullptr) Progress_Stop();
  Rect area;
  Calc_Edit_Area(area);
  const int32 left = (int32(area.left) + area.right - kProgressWidth) / 2;
  const int32 top = (int32(area.top) + area.bottom - kProgressHeight) / 2;
  const Rect interior{int16(top), int16(left), int16(top + kProgressHeight),
                      int16(left + kProgressWidth)};
  // 5 % of the width and 50 % of the height in; 90 % by 35 % in size.
  const int16 bl = int16(kProgressWidth * 5 / 100), bt = int16(kProgressHeight * 50 / 100);
  g_progress.bar = Rect{bt, bl, int16(bt + kProgressHeight * 35 / 100),
                        int16(bl + kProgressWidth * 90 / 100)};
  g_progress.drawn = g_progress.bar.left;
  g_progress_window = New_Window(interior, "", true, 1, nullptr, gs.outer_window, &g_progress_info);
  if (g_progress_window == nullptr) return;
  With_Window_Port(g_progress_window, [] { Paint_Progress(g_progress_window); });
}

void Progress_Stop() {
  if (g_progress_window == nullptr) return;
  HWND w = g_progress_window;
  g_progress_window = nullptr;
  if (IsWindow(w)) CloseWindow(w);
}

void Progress_Tick(int16 num, int16 den) {
  if (num == -1 && den == -1) {
    Progress_Init();
    return;
  }
  if (num == -2 && den == -2) {
    Progress_Stop();
    return;
  }
  if (g_progress_window == nullptr || !IsWindow(g_progress_window)) return;
  if (num > den) num = den;
  const Rect& bar = g_progress.bar;
  int16 now;
  if (den == 0) {
    now = bar.right;
  } else {
    const int32 v = int32(bar.left) + int32(num) * (int32(bar.right) - bar.left) / den;
    now = int16(v < bar.left ? bar.left : (v > bar.right ? bar.right : v));
  }
  if (now <= g_progress.drawn) return;
  const Rect strip{bar.top, g_progress.drawn, bar.bottom, now};
  g_progress.drawn = now;
  With_Window_Port(g_progress_window, [&strip] { Draw_Progress_Bar(strip); });
}

void Prompt_Show(int16 msgix) {
  Prompt_Hide();
  Rect view;
  if (!First_View_Bounds(view)) return;
  Get_DLOG_String(g_prompt_text, msgix);
  const int32 width = int32(Text_Width_14pt(g_prompt_text)) + 36;
  int32 left = int32(view.left) + 8;
  const int32 bottom = int32(view.bottom) - 8;
  if (left + width > view.right) left -= left + width - view.right + 8;
  POINT tl{left, bottom - kPromptHeight};
  ClientToScreen(gs.outer_window, &tl);
  const Rect interior{int16(tl.y), int16(tl.x), int16(tl.y + kPromptHeight), int16(tl.x + width)};
  g_prompt_window = New_Window(interior, "", true, 6, nullptr, gs.outer_window, &g_prompt_info);
  if (g_prompt_window == nullptr) return;
  With_Window_Port(g_prompt_window, [] { Paint_Prompt(g_prompt_window); });
}

void Prompt_Hide() {
  if (g_prompt_window == nullptr) return;
  HWND w = g_prompt_window;
  g_prompt_window = nullptr;
  if (IsWindow(w)) CloseWindow(w);
}
