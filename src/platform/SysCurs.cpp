#include "platform/SysCurs.h"

#include "platform/Resources.h"
#include "platform/SysErr.h"
#include "platform/SysMS.h"

a_cursor_desc gcurs{};
HCURSOR g_curr_hdl = nullptr;

namespace {

// The cursor of resource id as a host cursor, or NIL when the resource is
// missing or damaged (reported by the missing-item rule). The host keeps
// its own copy of the pixels, so nothing here outlives the call.
HCURSOR Load_Resource_Cursor(int16 id) {
  const a_res_name name = ID(id);
  ResHandle h = GetResource(kCursorResType, name.id);
  a_res_image img;
  if (h == nullptr || !ResImage_Decode(kCursorResType, std::span<const uint8>(h->data, h->size), img)) {
    Report_Missing_Resource(kCursorResType, id);
    return nullptr;
  }
  return Host_Create_Color_Cursor(img.width, img.height, img.hot_h, img.hot_v, img.bgra.data());
}

bool Is_Resource_Class(a_cursor_class c) { return c == MONO_CURSOR || c == COLOR_CURSOR; }

}  // namespace

void SysCurs_Init() {
  gcurs = a_cursor_desc{};
  gcurs.class_ = DEFAULT_CURSOR;
  g_curr_hdl = nullptr;
}

void Cursor_Load(a_cursor_desc& cursor) {
  switch (cursor.class_) {
    case MONO_CURSOR:
    case COLOR_CURSOR:
      cursor.hdl = Load_Resource_Cursor(cursor.id);
      break;
    case ANIM_CURSOR:
      cursor.hdl = nullptr;
      break;
    default:
      cursor.hdl = LoadCursor(nullptr, IDC_ARROW);
      break;
  }
}

void Cursor_Unload(a_cursor_desc& cursor) {
  if (Is_Resource_Class(cursor.class_) && cursor.hdl != nullptr) {
    if (g_curr_hdl == cursor.hdl) {
      // Never leave a destroyed cursor on the screen.
      SetCursor(LoadCursor(nullptr, IDC_ARROW));
      g_curr_hdl = nullptr;
      gcurs = a_cursor_desc{};
    }
    DestroyCursor(cursor.hdl);
  }
  cursor.hdl = nullptr;
}

void Cursor_Set2(const a_cursor_desc& newc) {
  HCURSOR h;
  switch (newc.class_) {
    case MONO_CURSOR:
    case COLOR_CURSOR:
      // A cursor that could not be loaded keeps the one shown: NIL would
      // take the pointer off the screen.
      if (newc.hdl == nullptr) return;
      h = newc.hdl;
      break;
    case ANIM_CURSOR:
      h = LoadCursor(nullptr, IDC_WAIT);
      break;
    default:
      h = LoadCursor(nullptr, IDC_ARROW);
      break;
  }
  SetCursor(h);
  g_curr_hdl = h;
}

void Cursor_Set(const a_cursor_desc& newc) {
  if (Is_Resource_Class(newc.class_) && newc.hdl == nullptr) return;
  if (newc.class_ == gcurs.class_ && newc.id == gcurs.id) {
    if (GetCursor() != g_curr_hdl) Cursor_Set2(gcurs);
    return;
  }
  gcurs = newc;
  Cursor_Set2(newc);
}

void Cursor_Reset() { Cursor_Set(a_cursor_desc{}); }

void Mouse_GetRawPos(Point& pos) {
  POINT p{0, 0};
  GetCursorPos(&p);
  ToPoint(pos, p);
}

void Mouse_SetRawPos(const Point& pos) { SetCursorPos(pos.h, pos.v); }
