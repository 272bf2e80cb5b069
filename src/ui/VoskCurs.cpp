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

// Each shape's cursor. Entries marked "artwork to come" stand for the
// resource named in their comment and show the arrow until it is authored.
constexpr a_shape_def kShapes[NCURSOR_SHAPES] = {
    {DEFAULT_CURSOR, 0, 0},    // ARROW_CURSOR
    {MONO_CURSOR, 128, 0},     // TINY_CURSOR
    {COLOR_CURSOR, 139, 0},    // EYEDROPPER_CURSOR
    {DEFAULT_CURSOR, 0, 0},    // EYEMINUS_CURSOR: mono 141, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // EYEPLUS_CURSOR: mono 140, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // BRUSH_CURSOR: colour 138, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // ZOOMEQUAL_CURSOR: mono 132, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // ZOOMPLUS_CURSOR: mono 133, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // ZOOMMINUS_CURSOR: mono 134, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // PENCIL_CURSOR: mono 130, artwork to come
    {MONO_CURSOR, 129, 0},     // CROSSHAIR_CURSOR
    {DEFAULT_CURSOR, 0, 0},    // GRABBER_CURSOR: mono 131, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // GRABBER2_CURSOR: mono 142, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // RESIZE_L_CURSOR: mono 143, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // RESIZE_R_CURSOR: mono 144, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // CENTER_CURSOR: colour 135, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // BUCKET_CURSOR: colour 137, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // SPRAY_CURSOR: colour 136, artwork to come
    {ANIM_CURSOR, 128, 10},    // SPIN_CURSOR: the busy cursor
    {MONO_CURSOR, 146, 0},     // FINGER_CURSOR
    {DEFAULT_CURSOR, 0, 0},    // FINGERX_CURSOR: mono 149, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // LCORNER_CURSOR: mono 148, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // RCORNER_CURSOR: mono 147, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // UPDOWN_CURSOR: mono 154, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // FOURCORNERS_CURSOR: mono 150, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // DRAG_PLUS_CURSOR: colour 151, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // DRAG_MINUS_CURSOR: colour 152, artwork to come
    {MONO_CURSOR, 153, 0},     // CARET_CURSOR
    {DEFAULT_CURSOR, 0, 0},    // FONT0_CURSOR: mono 400, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // FONT1_CURSOR: mono 401, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // FONT2_CURSOR: mono 402, artwork to come
    {DEFAULT_CURSOR, 0, 0},    // FONT3_CURSOR: mono 403, artwork to come
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
