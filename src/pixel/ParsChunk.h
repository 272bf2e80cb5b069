// The chunk stream under the project files (current and older format).
//
// A project file is a short preamble, written and checked by its caller,
// followed by chunks back to back up to the end of the file. A chunk is a
// 12-byte header (four label bytes, a signed 32-bit id, the signed 32-bit
// length of the body) and a body of typed values with no tags, padding or
// alignment: the reader takes them in the order the writer put them. Every
// integer on disk is big-endian.
//
// There is one stream at a time, kept in module variables. Writing a chunk
// is Chunk_WriteStart, typed writes, Chunk_WriteStop; chunks are appended to
// the end of the file and never nested. Reading one is Chunk_Find and, only
// when it gave TRUE, the typed reads in the order of writing. The picture
// calls (Chunk_ReadPix, Chunk_WritePix and the world forms) make whole chunks
// and their own search, so they are called between chunks.
//
// Errors. Files come from disks that fill up and from other people, so the
// stream keeps score instead of trusting either:
//   - Writes: every failed write inside a chunk makes Chunk_WriteStop fail,
//     and every failed write of the session is remembered until Chunk_Stop,
//     which reports it; a save checks that before it calls itself done.
//   - Reads: after Chunk_Find the reads are held to the chunk's body. A read
//     past the body or the file, or a failed read, delivers zeros, and from
//     then on every read of that chunk does too; Chunk_Read_Error tells.
//     Chunk_Find clears the state.
#pragma once

#include "pixel/DrawUtilMasked.h"
#include "pixel/SysPix.h"
#include "platform/SysErr.h"
#include "platform/SysIO.h"
#include "platform/SysMem.h"
#include "platform/SysWin.h"
#include "platform/Types.h"

// The chunk header as decoded from its 12 bytes on disk.
struct a_chunk_preamble {
  char ctype[4];  // label, compared byte for byte (case matters)
  int32 cid;      // tells apart chunks that share a label
  int32 clen;     // body length; the header is not counted
};
static_assert(sizeof(a_chunk_preamble) == 12);

constexpr int32 kChunkHeaderSize = 12;
// Largest row of pixels a picture chunk may hold, in bytes: 32,767 pixels at
// depth 32, the widest a map's 16-bit bounds describe from the origin. The
// stored rows carry no length of their own (it follows from the subset and
// the depth), so a wide row needs only a wide enough buffer on both sides;
// older readers held 16,380 bytes, which would make a document holding a
// photo wider than 4,095 pixels impossible to save. Wider rows are refused
// on writing and on reading.
constexpr int32 kChunkRowBufSize = 32767 * 4;
// Largest map a picture chunk may make, in bytes. A version-2 body may hold
// a small subset of a large map, so a few damaged bytes could otherwise ask
// for gigabytes and end the program in the out-of-memory alert; no picture
// the program stores comes near this.
constexpr uint64 kChunkMaxMapBytes = uint64(1) << 30;
// Result of the picture readers for a chunk that is there but cannot be
// used (bad header, bounds, subset, depth or version, short body).
constexpr OSErr kChunkBadData = -2;

// Stream state (set by Chunk_Init).
extern a_fd g_chunk_fd;     // the stream's file
extern int32 g_chunk_pre;   // preamble size: the search starts there
extern int32 g_chunk_off;   // while writing a chunk: file position of its length field
extern int32 g_chunk_len;   // while writing: body bytes so far; after Chunk_Find: body length

// --- The stream --------------------------------------------------------------------

// Makes the open file fd the current stream, its chunks starting
// preamble_size bytes in. Clears the running length, the length position and
// the error state. The stream owns fd from now on.
void Chunk_Init(a_fd fd, int32 preamble_size);
// Closes the stream's file. The result is the first write error of the
// session (noErr when every write succeeded).
OSErr Chunk_Stop();
// The first write error since Chunk_Init (noErr when none).
OSErr Chunk_Write_Error();
// The read state of the chunk being read: noErr, eofErr (a read went past the
// body or the file) or errFailed (a read failed, or a value was refused).
// After Chunk_Find gave FALSE: noErr when the chunk is absent or empty,
// kChunkBadData when the search met a damaged header or a body that runs past
// the end of the file.
OSErr Chunk_Read_Error();

// Appends the header of a new chunk (label: its first 4 characters; fewer
// calls QUIT) with its length 0 for now. A chunk still open is first closed
// with the length it has, so the chunks behind it stay reachable.
void Chunk_WriteStart(CStrSpan clabel, int32 cid);
// Writes the body length into the header of the chunk being written. noErr
// only when that write and every write of the chunk succeeded; errFailed
// when no chunk is being written (nothing is written then).
OSErr Chunk_WriteStop();
// Positions the stream at the body of the first chunk with that label and
// id. FALSE when there is none, when that first one is empty, or when the
// search meets a damaged header (see Chunk_Read_Error).
bool8 Chunk_Find(CStrSpan targ_label, int32 targ_id);

// len bytes between memory and the stream. Before any search (the preamble)
// reads are held to the file only; after a search that gave FALSE they give
// zeros.
OSErr Chunk_ReadRaw(void* ptr, uint32 len);
OSErr Chunk_WriteRaw(const void* ptr, uint32 len);

// --- Typed values ------------------------------------------------------------------
// A failed read leaves the value 0 (strings empty, paths unchanged).

void Chunk_ReadBoolean(bool8& val);  // any byte but 0 reads as TRUE
void Chunk_WriteBoolean(bool8 val);
void Chunk_ReadInt16(int16& val);
void Chunk_WriteInt16(int16 val);
void Chunk_ReadCard16(uint16& val);
void Chunk_WriteCard16(uint16 val);
void Chunk_ReadInt32(int32& val);
void Chunk_WriteInt32(int32 val);
void Chunk_ReadCard32(uint32& val);
void Chunk_WriteCard32(uint32 val);
// The 32 bits of an IEEE single as a big-endian unsigned value.
void Chunk_ReadReal(float& val);
void Chunk_WriteReal(float val);
void Chunk_ReadFRect(a_frect& val);  // left, top, right, bottom
void Chunk_WriteFRect(const a_frect& val);
void Chunk_ReadPoint(Point& val);  // v, h
void Chunk_WritePoint(Point val);
void Chunk_ReadRect(Rect& val);  // top, left, bottom, right
void Chunk_WriteRect(const Rect& val);
void Chunk_ReadPixel32(a_pixel32& val);  // bytes red, green, blue, alpha
void Chunk_WritePixel32(const a_pixel32& val);
void Chunk_ReadKey(a_keyset& val);  // a, b, c, d
void Chunk_WriteKey(const a_keyset& val);
// File reference: 16-bit 0, 32-bit 0, the path as a counted 8-bit string.
// Reading changes only the name. A path longer than 255 bytes cannot be
// stored; it is written empty rather than cut, so it never names another file.
void Chunk_ReadPath(FSSpec& val);
void Chunk_WritePath(const FSSpec& val);
// Counted 8-bit string: a length byte, then the characters. Read into val as
// a NUL-terminated string (cut to fit val; the stream still moves past the
// whole string). Written from the text before the first NUL, at most 255.
void Chunk_ReadPString(StrSpan val);
void Chunk_WritePString(CStrSpan val);
// nbytes bytes of UTF-16, each unit big-endian; the count is not stored. An
// odd or negative count, or one beyond buf, is refused: nothing is moved and
// the chunk's read state (or write result) records the error.
void Chunk_ReadUString(UStrSpan buf, int32 nbytes);
void Chunk_WriteUString(CUStrSpan buf, int32 nbytes);

// --- Memory blocks -----------------------------------------------------------------

// A signed 32-bit length n, then n bytes; 0 means no block. Reading sets hdl
// to a new unlocked block, or NIL for 0. A negative length or one beyond the
// rest of the body is refused (hdl NIL, read state set) before anything is
// allocated; a failed allocation calls g_err_mem_proc with n.
void Chunk_ReadHandle(Handle& hdl);
void Chunk_WriteHandle(Handle hdl);

// --- Pictures, each a chunk of its own ----------------------------------------------
//
// Body (version 2, written): version 2, compression 0, bounds, subset, pixel
// size (1, 8, 16, 32), then the subset's rows top to bottom: depth 1 packed
// bits, most significant first; 8 the bytes; 16 big-endian values; 32 bytes
// red, green, blue, alpha. Version 1 (older files, read only): version,
// compression, bounds, pixel size, then every row of the map from the bottom
// up, each padded to 16 bits, the map's bytes unchanged except that 8-bit
// values 0 and 255 are exchanged.
//
// The readers give noErr when the picture was read or the chunk is absent or
// empty (then the map is null, or the world NIL), and an error with nothing
// made when the chunk cannot be used: kChunkBadData for a header, depth,
// version, bounds or subset that does not fit, rows wider than
// kChunkRowBufSize or a map larger than kChunkMaxMapBytes; eofErr when the
// body or file is too short for its pixels; errFailed for a failed read.

// pix := a new map read from the chunk. What pix held is not freed.
OSErr Chunk_ReadPix(CStrSpan label, int32 id, PixMap& pix);
// Writes the map's pixels inside subset (limited to the map's bounds) as a
// complete chunk. Nothing at all for a NIL or null map. A depth other than
// 1, 8, 16 or 32 calls QUIT; rows wider than kChunkRowBufSize are refused
// (no chunk, errFailed, remembered as a write error of the session).
OSErr Chunk_WritePix(CStrSpan label, int32 id, const PixMap* pix, const Rect& subset);

// out_world := a new world (colour table gray_ctable at depth 8) read from
// the chunk, out_bounds := its bounds; NIL and out_bounds untouched when the
// chunk is absent or refused. What out_world held is not disposed of.
OSErr Chunk_ReadWorld(CStrSpan label, int32 id, GWorldPtr& out_world, Rect& out_bounds);
// Nothing for NIL; else the world's map through Chunk_WritePix.
OSErr Chunk_WriteWorld(CStrSpan label, int32 id, GWorldPtr world, const Rect& subset);

// A masked world as two chunks with the same id: the fore world under
// labelf, the mask under labelm, each with the masked world's bounds as
// subset. Reading sets mw.bounds from the fore chunk; a mask whose bounds
// differ from the fore world's, or that is not 8-bit, is refused. On any
// refusal both worlds this call made are disposed of and mw is left with no
// worlds and its old bounds.
OSErr Chunk_ReadMW(CStrSpan labelf, CStrSpan labelm, int32 id, a_masked_gworld& mw);
OSErr Chunk_WriteMW(CStrSpan labelf, CStrSpan labelm, int32 id, const a_masked_gworld& mw);

// Bytes of one version-1 row: the row padded to a whole number of 16-bit words.
uint32 Calc_Row_Bytes(int16 pixelsize, int32 perrow);
