#include "platform/SysCurs.h"

#include "platform/Resources.h"
#include "platform/SysErr.h"
#include "platform/SysMS.h"

a_cursor_desc gcurs{};
HCURSOR g_curr_hdl = nullptr;

namespace {

HCURSOR Load_Resource_Cursor(int16 id) {
  const a_res_name name = ID(id);
  ResHandle h = GetResource(kCursorResType, name.id);
  if (h == nullptr || h->size < CURS_SIZE) return nullptr;
  const uint8* d = h->data;
  uint8 and_mask[32], xor_mask[32];
  for (int i = 0; i < 32; ++i) {
    const uint8 image = d[i], mask = d[32 + i];
    and_mask[i] = uint8(~mask);
    xor_mask[i] = uint8(image ^ mask);
  }
  int32 hot_v = int16(uint16(d[64] | (d[65] << 8)));
  int32 hot_h = int16(uint16(d[66] | (d[67] << 8)));
  // A hot spot outside the cell would point the click somewhere the user
  // cannot see; keep it inside.
  hot_v = hot_v < 0 ? 0 : (hot_v > 15 ? 15 : hot_v);
  hot_h = hot_h < 0 ? 0 : (hot_h > 15 ? 15 : hot_h);
  return CreateCursor(nullptr, hot_h, hot_v, 16, 16, and_mask, xor_mask);
}

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
      if (cursor.hdl == nullptr) g_err_res_proc(kCursorResType, cursor.id);
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
  if ((cursor.class_ == MONO_CURSOR || cursor.class_ == COLOR_CURSOR) && cursor.hdl != nullptr) {
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
