// Files in the toolbox's style: a file is named by a path record (FSSpec),
// opened into a 32-bit file handle, read and written in whole blocks, and
// every call reports a 16-bit result code (0 success, -1 failure, -255 end of
// data). Also the suffix-to-file-type table and the user's documents folder.
//
// Paths are UTF-8 and complete. They may be long: the name holds up to
// PATH_CAPACITY - 1 bytes, and every routine that builds a path fails (and
// leaves an empty name) rather than cut it, so a cut path never names the
// wrong file. Paths are split on "/" and also on "\", which paths written by
// older versions of the program contain.
#pragma once

#include "platform/SysTimer.h"
#include "platform/Types.h"

constexpr int32 PATH_CAPACITY = 4096;
using a_filename = char[PATH_CAPACITY];

struct FSSpec {
  int16 vRefNum;  // 0: the name is a complete path
  int32 parID;    // 0: the name is a complete path
  a_filename name;
};
using a_path = FSSpec;

// The file formats the program names (its own project files, the picture
// formats, text), used by the file dialogs and the picture importers.
enum a_file_format : int16 {
  FMT_DISC = 0,  // the program's own project files
  FMT_PICT,
  FMT_BMP,
  FMT_BMP2,
  FMT_ILBM,
  FMT_GIF_INT,  // interlaced GIF
  FMT_GIF,
  FMT_JPEG,
  FMT_TIFF,
  FMT_PSD,
  FMT_TEXT
};

// File handle; NULL_FD (all bits set) is the null handle.
using a_fd = uint32;
constexpr a_fd NULL_FD = 0xFFFFFFFFu;
inline bool8 Is_Null_Fd(a_fd fd) { return fd == NULL_FD; }

// Access masks for File_Open.
constexpr uint32 GENERIC_READ = 0x80000000u;
constexpr uint32 GENERIC_WRITE = 0x40000000u;

// File flag: invisible (File_SetFlags).
constexpr uint16 kIsInvisible = 0x4000;

// The user's documents folder, set by SysIO_Init; empty when not found.
extern a_filename boot_directory;

// Module start-up: finds the documents folder.
void SysIO_Init();

// Sets a path record from a text (volume and parent 0). False, with an empty
// name, when the text does not fit.
bool8 Path_From_Text(FSSpec& path, const char* text);

// Opening, creating, closing. File_Open gives the null handle for a missing
// file, a folder, or a file another handle holds against this access: reading
// alone shares the file with other readers; write access shares it with nobody.
a_fd File_Open(const FSSpec& path, uint32 perm);
OSErr File_Create(bool8 overwrite, const FSSpec& path, OSType creator, OSType filetype);
OSErr File_Create_Temp(OSType creator, OSType filetype, CStrSpan basename, FSSpec& path, a_fd& fd);
void File_Close(a_fd fd);
a_fd File_OpenRF(const FSSpec& path, uint32 perm);  // no resource forks: internal error
OSErr File_Delete(const FSSpec& path);
bool8 File_Exists(const FSSpec& path);
OSErr Copy_File(const FSSpec& src_path, const FSSpec& dst_path);
OSErr Get_Temp_Filename(FSSpec& path);

// Reading and writing whole blocks.
// File_Read: 0 when nbytes is 0 or all nbytes arrived; -1 on a read error;
// eofErr when fewer than nbytes were left (the bytes that were there are in
// buf, and the position is at the end). A caller that can use part of a block
// asks File_Read2, which gives the count.
OSErr File_Read(a_fd fd, void* buf, uint32 nbytes);
// File_Read2: nbytes in: the room in buf; out: the bytes read (0 on failure
// or at the end). 0 when at least one byte arrived (or none was asked for),
// eofErr when nothing was left, -1 on a read error.
OSErr File_Read2(a_fd fd, void* buf, uint32& nbytes);
OSErr File_Write(a_fd fd, const void* buf, uint32 nbytes);

// Positions and sizes, 32-bit; sizes beyond 2 GiB read as 0x7FFFFFFF, and -1
// means failure (a null handle).
int32 File_GetPos(a_fd fd);
OSErr File_SetPos(a_fd fd, int32 pos);
int32 File_GetEOF(a_fd fd);
int32 File_GetSize(const FSSpec& file);  // 0 when it cannot be opened
void File_SetEOF(a_fd fd, int32 eof);
void File_ClipEOF(a_fd fd);

// Information.
bool8 File_GetInfo2(CStrSpan name, OSType& file_creator, OSType& file_type, uint16& file_flags);
bool8 File_GetInfo(const FSSpec& file, OSType& file_creator, OSType& file_type, uint16& file_flags);
// Last-write time in local time; dayOfWeek counts from Sunday = 0.
bool8 File_GetDate(const FSSpec& path, a_datetime_rec& datetime);
bool8 File_SetFlags(const FSSpec& file, uint16 targ_flags);
// TRUE when filename is longer than suffix and ends with it, letters compared
// without regard to case.
bool8 Matches_Suffix(CStrSpan filename, CStrSpan suffix);

// Names.
// The file name: the text after the last separator. False (and an empty
// name) when it does not fit into name.
bool8 Path_To_Name(const FSSpec& path, StrSpan name);
// vol > 0: the name follows the root folder of drive number vol (1 = "A");
// vol 0: the name alone. False, with an empty name, when the drive is not
// there or the result does not fit.
bool8 Name_To_Path(int16 vol, CStrSpan name, FSSpec& path);

using a_file_proc = void (*)(const FSSpec& path);
// Calls fileproc for each entry of the folder inpath ("." and ".." left out,
// folders passed like files), or only for those whose suffix type equals
// targ_ftype when targ_ftype does not begin with "?". Entries whose full path
// would not fit are left out. TRUE when the folder was listed and every entry
// of it was handed over (or passed over for its type); FALSE when the folder
// could not be listed or an entry had to be left out.
bool8 Enumerate_Local_Files(a_file_proc fileproc, const FSSpec& inpath, OSType targ_ftype,
                           OSType targ_creator);

// The documents folder into mydocs (empty when not found or too long).
void Calc_Boot_Dir(StrSpan mydocs);
