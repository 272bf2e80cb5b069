#include "platform/SysEdit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/HostControls.h"
#include "platform/SysFont.h"
#include "platform/SysUnicode.h"

a_te_globals gte{};

namespace {

HFONT g_entry_font_hdl = nullptr;  // shared by every field, made on first need

HFONT Entry_Font() {
  if (g_entry_font_hdl == nullptr) {
    a_fontspec spec;
    Null_FontSpec(spec);
    if (BASE_ENTRY_FONT != 0) spec.fontID = BASE_ENTRY_FONT;
    g_entry_font_hdl = Create_Font_Hdl(spec);
  }
  return g_entry_font_hdl;
}

a_field* Field(int16 ix) {
  if (ix < 1 || ix > gte.nfields) return nullptr;
  a_field* f = &gte.fields[ix - 1];
  return f->hdl != nullptr && IsWindow(f->hdl) ? f : nullptr;
}

WNDPROC g_edit_proc = nullptr;

// Typed characters pass the field's filter first.
LRESULT Field_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_CHAR && wparam >= 32) {
    for (int16 i = 0; i < gte.nfields; ++i) {
      const a_field& f = gte.fields[i];
      if (f.hdl == hwnd && f.filter != nullptr && !f.filter(UniChar(wparam))) return 0;
    }
  }
  return CallWindowProc(g_edit_proc != nullptr ? g_edit_proc : DefWindowProc, hwnd, msg, wparam, lparam);
}

}  // namespace

void TE_Init() {
  for (int16 i = 0; i < gte.nfields; ++i)
    if (gte.fields[i].hdl != nullptr && IsWindow(gte.fields[i].hdl)) DestroyWindow(gte.fields[i].hdl);
  gte.activex = 0;
  gte.nfields = 0;
  std::memset(gte.fields, 0, sizeof gte.fields);
}

int16 TE_Add(HWND parent, const Rect& bbox, int16 maxlen, a_te_filter filter) {
  if (gte.nfields >= kMaxFields || parent == nullptr) return 0;
  Host_Controls_Init();
  const int32 w = int32(bbox.right) - bbox.left, h = int32(bbox.bottom) - bbox.top;
  HWND e = CreateWindowEx(0, "edit", u"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                          bbox.left, bbox.top, w, h, parent,
                          reinterpret_cast<HMENU>(intptr_t(gte.nfields + 1)), nullptr, nullptr);
  if (e == nullptr) return 0;
  if (HFONT f = Entry_Font(); f != nullptr) SendMessage(e, WM_SETFONT, reinterpret_cast<WPARAM>(f), 0);
  if (maxlen > 0) SendMessage(e, EM_LIMITTEXT, WPARAM(maxlen), 0);
  const auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtr(e, GWLP_WNDPROC));
  if (old != &Field_Proc) {
    g_edit_proc = old;
    SetWindowLongPtr(e, GWLP_WNDPROC, reinterpret_cast<intptr_t>(&Field_Proc));
  }
  gte.fields[gte.nfields] = a_field{e, filter, maxlen, bbox};
  return ++gte.nfields;
}

void TE_Activate(int16 ix) {
  a_field* f = Field(ix);
  gte.activex = f != nullptr ? ix : int16(0);
  if (f == nullptr) return;
  SetFocus(f->hdl);
  SendMessage(f->hdl, EM_SETSEL, 0, -1);
}

void TE_GetVal(int16 ix, StrSpan ss) {
  if (ss.empty()) return;
  ss[0] = 0;
  a_field* f = Field(ix);
  if (f == nullptr) return;
  UniChar u[1024];
  GetWindowTextW(f->hdl, u, 1024);
  u[1023] = 0;
  UTF16_To_UTF8(u, ss);
}

void TE_SetVal(int16 ix, CStrSpan ss) {
  a_field* f = Field(ix);
  if (f == nullptr) return;
  UniChar u[1024];
  UTF8_To_UTF16(ss, u);
  SendMessage(f->hdl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u));
}

bool8 TE_GetVal_Int(int16 ix, int32 minval, int32 maxval, int32& val) {
  char s[64];
  TE_GetVal(ix, s);
  const char* p = s;
  while (*p == ' ') ++p;
  char* end = nullptr;
  const long long v = std::strtoll(p, &end, 10);
  const bool number = end != p && end != nullptr;
  while (number && *end == ' ') ++end;
  val = number && v >= INT32_MIN && v <= INT32_MAX ? int32(v) : 0;
  return number && *end == 0 && v >= minval && v <= maxval;
}

void TE_SetVal_Int(int16 ix, int32 val) {
  char s[16];
  std::snprintf(s, sizeof s, "%d", int(val));
  TE_SetVal(ix, s);
}

void TE_Fix_Colors(uint32 forec, uint32 backc) {
  gte.forec = forec;
  gte.backc = backc;
}
