#include "legacy/Console.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "host/HostFolders.h"
#include "host/HostGdi.h"
#include "host/HostText.h"
#include "platform/SysUnicode.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"

namespace {

char line_buf[TRACE_LINE_MAX];
uint16 line_pos = 0;
std::FILE* trace_fd = nullptr;
std::string trace_path;
HWND trace_window = nullptr;
int32 tracev = 0;     // the window's height
bool8 g_flag = true;  // the console has yet to be opened

constexpr char kHexDigits[] = "0123456789ABCDEF";

void Open_If_Needed() {
  if (g_flag) Trace_Init();
}

// $XDG_STATE_HOME/velmor4 when that variable holds an absolute path, else
// ~/.local/state/velmor4; made with its parents. Empty when there is none.
std::string Log_Folder() {
  std::string base;
  const char* x = std::getenv("XDG_STATE_HOME");
  if (x != nullptr && x[0] == '/') {
    base = x;
  } else {
    std::string home;
    if (!Host_Home_Dir(home)) return {};
    base = (home == "/" ? "" : home) + "/.local/state";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  std::string dir = base + "/velmor4";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec || !std::filesystem::is_directory(dir, ec)) return {};
  return dir;
}

void Open_Log() {
  const std::string dir = Log_Folder();
  const std::string path = dir.empty() ? std::string() : dir + "/" + kTraceLogName;
  if (!path.empty()) trace_fd = std::fopen(path.c_str(), "w+b");
  if (trace_fd == nullptr) {
    // The console is a debugging aid: without its log it still shows lines.
    std::fprintf(stderr, "Trace_Init: cannot create %s, tracing to the window only\n",
                 path.empty() ? kTraceLogName : path.c_str());
    return;
  }
  trace_path = path;
}

void Open_Window() {
  WNDCLASS wc;
  if (!GetClassInfo(nullptr, kTraceClass, &wc)) {
    wc = WNDCLASS{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = TraceProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kTraceClass;
    if (RegisterClass(&wc) == 0) {
      std::fprintf(stderr, "Trace_Init: RegisterClass failed\n");
      QUIT();
      return;
    }
  }
  const int32 screen_w = GetSystemMetrics(SM_CXSCREEN);
  const int32 screen_h = GetSystemMetrics(SM_CYSCREEN);
  tracev = screen_h * 2 / 3;
  const int32 width = screen_w <= 640 ? 170 : screen_w <= 800 ? 270 : 340;
  trace_window = CreateWindowEx(WS_EX_TOPMOST, kTraceClass, u"TRACE", WS_VISIBLE | WS_CAPTION,
                                screen_w - width - 2, 45, width, tracev, ultimate_hwnd, nullptr,
                                nullptr, nullptr);
  if (trace_window == nullptr) return;
  HDC dc = GetDC(trace_window);
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  // White from the start, before any paint message reaches the window.
  RECT client;
  GetClientRect(trace_window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void Append(const char* s, size_t n) {
  for (size_t i = 0; i < n && s[i] != '\0' && line_pos < TRACE_LINE_MAX; ++i)
    line_buf[line_pos++] = s[i];
}

void Draw_Line(const char* text, int32 len) {
  if (trace_window == nullptr || !IsWindow(trace_window)) return;
  HDC dc = GetDC(trace_window);
  RECT client;
  GetClientRect(trace_window, &client);
  ScrollDC(dc, 0, -TRACE_LINE_HEIGHT, &client, &client, nullptr, nullptr);
  const RECT strip{client.left, client.bottom - TRACE_LINE_HEIGHT, client.right, client.bottom};
  FillRect(dc, &strip, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  TextOutA(dc, 4, tracev - 46, text, len);
}

// The low digits hexadecimal digits of value, upper case.
void Hex(uint64 value, int digits) {
  Open_If_Needed();
  char s[17];
  for (int i = digits - 1; i >= 0; --i) {
    s[i] = kHexDigits[value & 15];
    value >>= 4;
  }
  Append(s, size_t(digits));
}

void Default_Event_Kind(int16 what) { WriteInt(what); }

}  // namespace

a_event_kind_proc g_trace_event_kind_proc = Default_Event_Kind;

void Trace_Init() {
  if (!g_flag) return;
  g_flag = false;
  line_pos = 0;
  Open_Log();
  Open_Window();
}

void Trace_Stop() {
  if (trace_fd != nullptr) std::fclose(trace_fd);
  trace_fd = nullptr;
  trace_path.clear();
  if (trace_window != nullptr && IsWindow(trace_window)) DestroyWindow(trace_window);
  trace_window = nullptr;
  line_pos = 0;
  g_flag = true;
}

LRESULT TraceProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return DefWindowProc(hwnd, msg, wparam, lparam);
}

void Trace_String(CStrSpan s) {
  Open_If_Needed();
  Append(s.data(), s.size());
}

void Trace_Line() {
  Open_If_Needed();
  Draw_Line(line_buf, line_pos);
  const uint16 len = line_pos < TRACE_LOG_MAX ? line_pos : TRACE_LOG_MAX;
  if (trace_fd != nullptr) {
    char out[TRACE_LOG_MAX + 2];
    std::memcpy(out, line_buf, len);
    out[len] = '\r';
    out[len + 1] = '\n';
    std::fwrite(out, 1, size_t(len) + 2, trace_fd);
    std::fflush(trace_fd);
  }
  line_pos = 0;
}

void WriteLn() { Trace_Line(); }

// --- Formatters ------------------------------------------------------------------------

void WriteString(const char* s) {
  if (s != nullptr) Trace_String(CStrSpan(s, std::strlen(s)));
}

void WritePString(CStrSpan s) { Trace_String(s); }

void WriteUString(CUStrSpan s) {
  // Each unit takes at most 3 bytes of UTF-8, and the line no more than its room.
  char utf8[TRACE_LINE_MAX * 3 + 1];
  UTF16_To_UTF8(s, StrSpan(utf8, sizeof utf8));
  WriteString(utf8);
}

void WriteCard(uint32 value) {
  char s[12];
  std::snprintf(s, sizeof s, "%u", unsigned(value));
  WriteString(s);
}

void WriteInt(int16 value) { WriteLong(value); }

void WriteLong(int32 value) {
  char s[12];
  std::snprintf(s, sizeof s, "%d", int(value));
  WriteString(s);
}

void WriteCardPadded(int16 width, uint32 value) {
  char s[12];
  const int n = std::snprintf(s, sizeof s, "%u", unsigned(value));
  for (int i = n; i < width; ++i) WriteString(" ");
  WriteString(s);
}

void WriteHex(uint16 value) { Hex(value, 4); }

void WriteLongHex(uint32 value) { Hex(value, 8); }

void WriteReal(double value) {
  char s[64];
  std::snprintf(s, sizeof s, "%.3f", value);
  WriteString(s);
}

void WriteTDegree(int16 tenths) {
  char s[24];
  const int32 t = tenths;
  std::snprintf(s, sizeof s, "%s%d.%d deg", t < 0 ? "-" : "", int(std::abs(t) / 10),
                int(std::abs(t) % 10));
  WriteString(s);
}

void WriteDegreeR(double degrees) {
  char s[64];
  std::snprintf(s, sizeof s, "%.2f deg", degrees);
  WriteString(s);
}

void WriteBoolean(bool8 value) { WriteString(value ? "TRUE" : "FALSE"); }

void WritePoint(Point p) {
  WriteString("(");
  WriteInt(p.h);
  WriteString(", ");
  WriteInt(p.v);
  WriteString(")");
}

void WritePoint3(const a_point3& p) {
  WriteString("(");
  WriteLong(p.z);
  WriteString(", ");
  WriteLong(p.y);
  WriteString(", ");
  WriteLong(p.x);
  WriteString(")");
}

void WriteRect(const Rect& r) {
  WriteString("(");
  WriteInt(r.left);
  WriteString(", ");
  WriteInt(r.top);
  WriteString(", ");
  WriteInt(r.right);
  WriteString(", ");
  WriteInt(r.bottom);
  WriteString(")");
}

void WriteFRect(const a_frect& r) {
  WriteString("(");
  WriteReal(r.left);
  WriteString(", ");
  WriteReal(r.top);
  WriteString(", ");
  WriteReal(r.right);
  WriteString(", ");
  WriteReal(r.bottom);
  WriteString(")");
}

void WriteRectSize(const Rect& r) {
  WriteLong(int32(r.right) - r.left);
  WriteString(" x ");
  WriteLong(int32(r.bottom) - r.top);
}

namespace {
void Triple(uint32 a, uint32 b, uint32 c, int16 width) {
  WriteCardPadded(width, a);
  WriteString(", ");
  WriteCardPadded(width, b);
  WriteString(", ");
  WriteCardPadded(width, c);
}
}  // namespace

void WriteRGB(const RGBColor& c) {
  WriteString("(");
  Triple(c.red >> 8, c.green >> 8, c.blue >> 8, 3);
  WriteString(")");
}

void WriteRGB16(uint16 pixel) {
  WriteString("(");
  Triple((pixel >> 10) & 31u, (pixel >> 5) & 31u, pixel & 31u, 2);
  WriteString(")");
}

void WriteRGB32(a_pixel32 pixel) {
  WriteString("(");
  if (pixel.a != 0) {
    WriteString("[");
    WriteCard(pixel.a);
    WriteString("] ");
  }
  Triple(pixel.r, pixel.g, pixel.b, 3);
  WriteString(")");
}

void WriteRegion(RgnHandle rgn) {
  RECT box{0, 0, 0, 0};
  if (rgn != nullptr) GetRgnBox(rgn, &box);
  WriteString(" bbox=");
  WriteRect(Rect{int16(box.top), int16(box.left), int16(box.bottom), int16(box.right)});
}

void WriteKey(const a_keyset& key) {
  WriteString("[");
  WriteInt(key.a);
  WriteString(".");
  WriteInt(key.b);
  WriteString(".");
  WriteInt(key.c);
  WriteString(".");
  WriteInt(key.d);
  WriteString("]");
}

void WriteHwnd(HWND hwnd) {
  if (hwnd == nullptr)
    WriteString(" NULL ");
  else if (hwnd == gs.outer_window)
    WriteString(" OUTER ");
  else if (hwnd == gs.lscroll_ctrl)
    WriteString(" HSCROLL ");
  else if (hwnd == gs.uscroll_ctrl)
    WriteString(" VSCROLL ");
  else if (hwnd == ultimate_hwnd)
    WriteString(" ULTIMATE ");
  else
    WriteString(" ???");
}

void WriteWindow(HWND window) { WriteHwnd(window); }

void WriteScrollPart(int32 part) {
  static constexpr const char* kParts[] = {"SB_LINEUP",        "SB_LINEDOWN",   "SB_PAGEUP",
                                           "SB_PAGEDOWN",      "SB_THUMBPOSITION", "SB_THUMBTRACK",
                                           "SB_TOP",           "SB_BOTTOM"};
  WriteString(", part=");
  if (part >= SB_LINEUP && part <= SB_BOTTOM)
    WriteString(kParts[part]);
  else
    WriteLong(part);
}

void WriteEventKind(int16 what) {
  if (g_trace_event_kind_proc != nullptr) g_trace_event_kind_proc(what);
}

void WriteHandle(const void* h) {
  WriteString("0x");
  Hex(uint64(reinterpret_cast<uintptr_t>(h)), int(sizeof(void*) * 2));
}

void WritePath(const FSSpec& path) {
  Trace_String(CStrSpan(path.name, sizeof path.name));
}

void WritePixMap(const PixMap& pm) {
  WriteString(" base=");
  WriteHandle(pm.baseAddr);
  WriteString(" rowBytes=");
  WriteLong(pm.rowBytes & 0x3FFF);
  WriteString(" bounds=");
  WriteRect(pm.bounds);
  WriteString(" depth=");
  WriteInt(pm.pixelSize);
}

void WritePort() {}

void Dump(const char* title, const void* address, uint32 count) {
  WriteString(title);
  const uint8* p = static_cast<const uint8*>(address);
  for (uint32 i = 0; i < count; ++i) {
    if (i % 16 == 0) {
      WriteLn();
      WriteLongHex(uint32(reinterpret_cast<uintptr_t>(p + i)));
      WriteString(": ");
    }
    const char byte[3] = {kHexDigits[p[i] >> 4], kHexDigits[p[i] & 15], ' '};
    Trace_String(CStrSpan(byte, 3));
  }
  WriteLn();
}

std::string Trace_Current_Line() { return std::string(line_buf, line_pos); }
std::string Trace_Log_Path() { return trace_path; }
HWND Trace_Window() { return trace_window; }
