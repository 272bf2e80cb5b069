// What the track-list fuzz targets share: the modules they need, field
// choices drawn from the input's last bytes, and the checks of the song
// table and of the chunks made of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/SysErr.h"
#include "platform/VoskDef.h"
#include "ui/VoskAsk.h"

namespace fuzztracks {

inline void Trap_Mem(uint32) { __builtin_trap(); }
inline void Trap_Quit() { __builtin_trap(); }

inline void Setup() {
  gs.controller = GHOST;  // alerts stay silent
  g_err_mem_proc = Trap_Mem;
  QUIT = Trap_Quit;
}

struct a_choices {
  uint32 fields, columns;
  int16 format;
};

// The last five bytes, when there are enough (the text is read whole anyway).
inline a_choices Take_Choices(const uint8_t* data, size_t size) {
  a_choices c{0x7FFFu, 0xFFFFFFFFu, 1};
  if (size < 5) return c;
  const uint8_t* t = data + size - 5;
  c.fields = uint32(t[0]) | (uint32(t[1]) << 8);
  c.columns = uint32(t[2]) | (uint32(t[3]) << 8) | 1u;
  c.format = int16(t[4] % 9);
  return c;
}

// The length of a 0-terminated text within room units; a text that does
// not end there, or ends on half a surrogate pair, traps.
inline int32 Checked_Len(const UniChar* s, int32 room) {
  int32 n = 0;
  while (n < room && s[n] != 0) ++n;
  if (n >= room) __builtin_trap();
  if (n > 0 && s[n - 1] >= 0xD800 && s[n - 1] <= 0xDBFF) __builtin_trap();
  return n;
}

inline void Check_Chunks() {
  SongTable_To_Chunks();
  if (g_chunks == nullptr) __builtin_trap();
  const a_chunk_table& ct = *g_chunks;
  if (ct.nchunks < 0 || ct.nchunks > MAX_CHUNKS || ct.nsongs_kept > g_songtable->nsongs) __builtin_trap();
  for (int32 k = 1; k <= MAX_CHUNKS; ++k) {
    const int32 n = Checked_Len(ct.chunks[k], CHUNK_SIZE);
    if (k > ct.nchunks && n != 0) __builtin_trap();
  }
}

// The songs read, checked and made into chunks; then the table filled to
// its 600 songs by repeating them, so that columns fill their chunks and go
// on in further ones, up to the last chunk.
inline void Check_Songs_And_Chunks(const a_choices& c) {
  a_song_table& st = *g_songtable;
  if (st.nsongs < 1 || st.nsongs > MAX_SONGS) __builtin_trap();
  for (int32 s = 1; s <= st.nsongs; ++s)
    for (int32 f = 0; f <= st.nfields; ++f) Checked_Len(st.songs[s][f], SONG_FIELD_SIZE);
  g_songfields_f = c.fields;
  g_songfields_c = c.columns;
  g_tracknum_fmt = c.format;
  Check_Chunks();
  const int32 read = st.nsongs;
  for (int32 s = read + 1; s <= MAX_SONGS; ++s) std::memcpy(st.songs[s], st.songs[(s - 1) % read + 1], sizeof st.songs[s]);
  st.nsongs = MAX_SONGS;
  Check_Chunks();
}

}  // namespace fuzztracks
