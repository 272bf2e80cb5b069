#include "ui/VoskCurs.h"

#include "platform/SysLoop.h"

a_cursor_desc g_cursor_desc[NCURSOR_SHAPES];

namespace {

constexpr int kStackDepth = 8;
a_cursor_desc g_saved[kStackDepth];
int g_depth = 0;

struct a_shape_def {
  a_cursor_class class_;
  int16 id;
  uint16 ticks;
};

// Each shape's cursor: the arrow, a mono (16 x 16) or colour (32 x 32)
// "CURS" resource, or the system's busy cursor for the animated shapes.
constexpr a_shape_def kShapes[NCURSOR_SHAPES] = {
    {DEFAULT_CURSOR, 0, 0},    // ARROW_CURSOR
    {MONO_CURSOR, 128, 0},     // TINY_CURSOR
    {COLOR_CURSOR, 139, 0},    // EYEDROPPER_CURSOR
    {MONO_CURSOR, 141, 0},     // EYEMINUS_CURSOR
    {MONO_CURSOR, 140, 0},     // EYEPLUS_CURSOR
    {COLOR_CURSOR, 138, 0},    // BRUSH_CURSOR
    {MONO_CURSOR, 132, 0},     // ZOOMEQUAL_CURSOR
    {MONO_CURSOR, 133, 0},     // ZOOMPLUS_CURSOR
    {MONO_CURSOR, 134, 0},     // ZOOMMINUS_CURSOR
    {MONO_CURSOR, 130, 0},     // PENCIL_CURSOR
    {MONO_CURSOR, 129, 0},     // CROSSHAIR_CURSOR
    {MONO_CURSOR, 131, 0},     // GRABBER_CURSOR
    {MONO_CURSOR, 142, 0},     // GRABBER2_CURSOR
    {MONO_CURSOR, 143, 0},     // RESIZE_L_CURSOR
    {MONO_CURSOR, 144, 0},     // RESIZE_R_CURSOR
    {COLOR_CURSOR, 135, 0},    // CENTER_CURSOR
    {COLOR_CURSOR, 137, 0},    // BUCKET_CURSOR
    {COLOR_CURSOR, 136, 0},    // SPRAY_CURSOR
    {ANIM_CURSOR, 128, 10},    // SPIN_CURSOR: the busy cursor
    {MONO_CURSOR, 146, 0},     // FINGER_CURSOR
    {MONO_CURSOR, 149, 0},     // FINGERX_CURSOR
    {MONO_CURSOR, 148, 0},     // LCORNER_CURSOR
    {MONO_CURSOR, 147, 0},     // RCORNER_CURSOR
    {MONO_CURSOR, 154, 0},     // UPDOWN_CURSOR
    {MONO_CURSOR, 150, 0},     // FOURCORNERS_CURSOR
    {COLOR_CURSOR, 151, 0},    // DRAG_PLUS_CURSOR
    {COLOR_CURSOR, 152, 0},    // DRAG_MINUS_CURSOR
    {MONO_CURSOR, 153, 0},     // CARET_CURSOR
    {MONO_CURSOR, 400, 0},     // FONT0_CURSOR
    {MONO_CURSOR, 401, 0},     // FONT1_CURSOR
    {MONO_CURSOR, 402, 0},     // FONT2_CURSOR
    {MONO_CURSOR, 403, 0},     // FONT3_CURSOR
    {ANIM_CURSOR, 129, 10},    // BLINKS_CURSOR: the busy cursor
};

}  // namespace

namespace {
static_assert(LOOP_ARROW_CURSOR == ARROW_CURSOR, "the main loop's arrow is the interface's");
void Set_Shape_Hook(int16 shape) { Cursor_Set_Shape(a_cursor_shape(shape)); }
}  // namespace

void Cursor_Init() {
  for (int s = 0; s < NCURSOR_SHAPES; ++s) {
    g_cursor_desc[s] = a_cursor_desc{kShapes[s].class_, kShapes[s].id, kShapes[s].ticks, nullptr};
    Cursor_Load(g_cursor_desc[s]);
  }
  g_depth = 0;
  // The idle work of the main loop shows its shapes from here on.
  g_cursor_shape_proc = Set_Shape_Hook;
}

void Cursor_Stop() {
  Cursor_Reset();
  for (a_cursor_desc& c : g_cursor_desc) Cursor_Unload(c);
  g_depth = 0;
}

void Cursor_Set_Shape(a_cursor_shape cursor) {
  if (cursor < 0 || cursor >= NCURSOR_SHAPES) cursor = ARROW_CURSOR;
  Cursor_Set(g_cursor_desc[cursor]);
}

void Cursor_Push_Watch() {
  if (g_depth < kStackDepth) g_saved[g_depth] = gcurs;
  ++g_depth;
  Cursor_Set(g_cursor_desc[SPIN_CURSOR]);
}

void Cursor_Pop() {
  if (g_depth <= 0) return;
  --g_depth;
  if (g_depth < kStackDepth) Cursor_Set(g_saved[g_depth]);
}
