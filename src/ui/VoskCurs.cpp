#include "ui/VoskCurs.h"

a_cursor_desc g_cursors[NCURSOR_SHAPES];

namespace {
constexpr int kStackDepth = 8;
a_cursor_desc g_saved[kStackDepth];
int g_depth = 0;
}  // namespace

void Cursor_Init() {
  g_cursors[ARROW_CURSOR] = a_cursor_desc{DEFAULT_CURSOR, 0, 0, nullptr};
  g_cursors[WATCH_CURSOR] = a_cursor_desc{ANIM_CURSOR, 0, 0, nullptr};
  for (a_cursor_desc& c : g_cursors) Cursor_Load(c);
  g_depth = 0;
}

void Cursor_Stop() {
  for (a_cursor_desc& c : g_cursors) Cursor_Unload(c);
  g_depth = 0;
}

void Cursor_Set_Shape(a_cursor_shape cursor) {
  if (cursor < 0 || cursor >= NCURSOR_SHAPES) cursor = ARROW_CURSOR;
  Cursor_Set(g_cursors[cursor]);
}

void Cursor_Push_Watch() {
  if (g_depth < kStackDepth) g_saved[g_depth] = gcurs;
  ++g_depth;
  Cursor_Set(g_cursors[WATCH_CURSOR]);
}

void Cursor_Pop() {
  if (g_depth <= 0) return;
  --g_depth;
  if (g_depth < kStackDepth) Cursor_Set(g_saved[g_depth]);
}
