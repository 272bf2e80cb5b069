// The one text-edit call the program uses: text word-wrapped into a box.
#pragma once

#include "platform/Types.h"

// Justifications of TETextBox.
constexpr int16 teFlushLeft = 0;
constexpr int16 teCenter = 1;
constexpr int16 teFlushRight = -1;

// Draws `length` bytes of UTF-8 text (ending early at a NUL) into box in the
// current port's font, broken into lines at spaces (a word wider than the box
// at a character; CR, LF and CR LF end a line), one line every cell height
// from box's top, each line left-aligned, centred or right-aligned by just
// (any other value: left). "&" is an ordinary character. Nothing is drawn
// outside box. The text is transparent when the drawing state's text mode is
// 1 and on the background colour otherwise, as the other text calls draw; the
// DC's text alignment and background mode are restored.
void TETextBox(const char* text, int32 length, const Rect& box, int16 just);
