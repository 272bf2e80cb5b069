// Conversions between the system's 8-bit code page ("ANSI", UTF-8 on this
// platform), UTF-16 and UTF-8. All 8-bit text is NUL-terminated (or ends at
// the end of its span); every output is cut to its span and terminated.
//
// Malformed UTF-8 never stops a conversion with an error: a byte that cannot
// start a character, an overlong form, an encoded surrogate, a code point
// above U+10FFFF or a sequence broken by another non-ASCII byte gives U+FFFD
// and decoding goes on with the next byte. A character cut off by the end of
// the input is dropped. The decoding and encoding rules are those of the
// program's one converter, host/HostUtf.h.
#pragma once

#include "platform/Types.h"

constexpr UniChar kReplacementChar = 0xFFFD;

// From ANSI with room for HIGH units; a text that does not fit gives "".
void Ascii_To_UTF16(CStrSpan in, UStrSpan out);
void JIS_To_UTF16(CStrSpan in, UStrSpan out);
// From ANSI, cut to out's capacity.
void Roman_To_UTF16(CStrSpan in, UStrSpan out);
void PString_To_Unicode(CStrSpan in, UStrSpan out);
void Convert_To_Unicode(CStrSpan in, UStrSpan out, int32 src_encoding);

// UTF-8 to UTF-16: at most HIGH - 1 units, then a 0 unit. A character beyond
// the BMP becomes a surrogate pair (dropped whole when only one unit is
// left). A lead byte followed by an ASCII byte or NUL ends the text there.
void UTF8_To_UTF16(CStrSpan in, UStrSpan out);
void Filename_To_UTF16(CStrSpan in, UStrSpan out);

// UTF-16 to UTF-8: at most HIGH - 1 bytes, then a NUL. A surrogate pair
// becomes one 4-byte sequence; a lone surrogate becomes U+FFFD. A character
// whose bytes do not all fit is left out and the conversion ends.
void UTF16_To_UTF8(CUStrSpan in, StrSpan out);

// Replaces a fixed block (New_Ptr) holding 0-terminated UTF-16 text by a new
// fixed block with the same text in ANSI; a leading byte-order mark is
// skipped. The text is read no further than the block's size. Calls
// g_err_mem_proc when the new block cannot be had.
void From_Unicode(Ptr& uni_buf);

// ANSI (UTF-8) to UTF-16 filling all of out (no 0 is added), for callers
// with buffers of their own; returns the number of units written.
int32 UTF8_Decode(CStrSpan in, UStrSpan out);

// --- Drawing and measuring UTF-16 text in the current port (SysUnicodeDraw.cpp) ---
// The font record is selected first (SetFont, SysFont.h). Text ends at the
// first 0 unit or the end of its span; a count or offset past it is cut.
// Drawing starts at the DC's current position and leaves it behind the text,
// transparent when the drawing state's text mode is 1 and on the background
// colour otherwise. Widths above kMaxTextWidth (Quickdraw.h, 20000) are
// returned as that.

struct a_fontspec;

// Nothing for an empty string.
void uDrawString(CUStrSpan ss, const a_fontspec& spec);
// count units from offset; nothing when the unit at offset is 0 (or offset
// lies outside buf).
void uDrawText(CUStrSpan buf, int32 offset, int32 count, const a_fontspec& spec);
// count units of src in the font already selected (NIL or count <= 0: nothing).
void uDrawString2(const UniChar* src, int32 count);
// 0 for an empty text (the font is then not selected).
int16 uStringWidth(CUStrSpan ss, const a_fontspec& spec);
int16 uTextWidth(CUStrSpan buf, int32 offset, int32 count, const a_fontspec& spec);
// Width of count units of src in the font already selected.
int16 uStringWidth2(const UniChar* src, int32 count);
