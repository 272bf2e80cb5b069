// Folders, paths and volumes: the program's own folder, the application-data
// and documents folders, joining and splitting paths, and the drive table.
//
// Paths are complete UTF-8 paths in an FSSpec (see SysIO.h); routines that
// build a path set its volume and parent id to 0 and fail with an empty name
// rather than cut it. Paths are joined with "/" and split on "/" or "\".
//
// Drives: the host's mounted file systems are laid out as drives A to Z (see
// HostVolumes.h; the root file system is drive C). Two numberings occur and
// must not be mixed: a drive index counts from 0 for "A", a drive number from
// 1 for "A". The root folder of a drive is its mount point without a trailing
// separator, so the root file system's is the empty text: joining a name to it
// gives "/name".
#pragma once

#include "platform/SysIO.h"
#include "platform/Types.h"

// Folders.
bool8 Get_Application_Path(FSSpec& path);  // the folder of the program file
bool8 Find_System_Dir(FSSpec& path);       // the application-data folder (created)
OSErr Find_Documents_Folder(FSSpec& path); // 0, or -1 with an empty name
// Drive index vol >= 0; a negative index is an internal error (QUIT). False
// with an empty name when there is no such drive.
bool8 Find_Root_Dir(FSSpec& path, int16 vol);
int16 Find_System_Vol();        // drive number of the system's root file system
int16 Get_Curr_Vol();           // drive number holding the program file, 0 when none
bool8 Is_Application_CDROM();   // the current folder lies on a CD or DVD
// new_path := parent_path joined with dir_name, then created: 0, or -1 when it
// could not be made (also when it exists already or the path is too long).
OSErr Create_Folder(FSSpec& new_path, CStrSpan dir_name, const FSSpec& parent_path);

// Paths.
bool8 Concat_Path(const FSSpec& parent, CStrSpan file, FSSpec& combined);
// Cuts the last component and its separator: /dir/file becomes /dir, /file
// becomes the empty root, C:\dir\file becomes C:\dir.
void Strip_Filename(FSSpec& path);
bool8 Extract_Filename(StrSpan fname, const FSSpec& path);
// The file name's suffix from its last "." on, dot included; "" when the name
// has no dot or only a leading one.
bool8 Extract_Suffix(StrSpan suffix, const FSSpec& path);
// Cuts a suffix of at most four characters after its dot, then appends suffix.
bool8 Replace_Suffix(StrSpan ss, CStrSpan suffix);
// net_path := the folder of base_path followed directly by name.
bool8 Replace_Filename(FSSpec& net_path, CStrSpan name, const FSSpec& base_path);
// A relpath beginning with ".." (written "..\" or "../") is taken relative to
// the folder of currdir; any other is taken as it stands.
bool8 Relative_To_Abs_Path(FSSpec& net, const FSSpec& currdir, CStrSpan relpath);
bool8 Equal_Path(const FSSpec& a, const FSSpec& b);
bool8 Full_Path(StrSpan ss, const FSSpec& path);
int32 Find_Char_Backwards(CStrSpan ss, char ch);  // last index of ch, or -1

// Volumes (drive numbers from 1 = "A" unless said otherwise).
bool8 Drive_To_Path(StrSpan root, int16 drive);  // the root with a trailing "/"
int16 Drive_To_Vol(int16 drive);
int16 Vol_To_Drive(int16 vol);
// Looks through drives A to Z for a removable or CD drive whose label, every
// "_" read as a blank, equals targname without regard to case. TRUE with its
// drive index in vol and driven 0.
bool8 Is_Vol_Mounted(CStrSpan targname, int16& driven, int16& vol);
bool8 Vol_GetLabel(StrSpan label, int16 drive);
bool8 Vol_SetLabel(CStrSpan label, int16 drive);  // not supported: FALSE
bool8 Is_Diskette(int16 drive);                   // removable media
// Free bytes for the user on the drive, computed in 64 bits; the 32-bit form
// is clamped to 0xFFFFFFFF. 0 when the drive is not there.
uint64 Vol_SpaceAvailable64(int16 drive);
uint32 Vol_SpaceAvailable(int16 drive);
// Deletes every file of the root folder of the drive of index vol (as
// Is_Vol_Mounted gives it). TRUE only when every entry was deleted: a root
// that cannot be listed, an entry whose path cannot be made, or one that
// cannot be deleted (a folder, say) gives FALSE. Only removable and CD drives
// are erased: a fixed drive is refused (FALSE, nothing deleted), since its
// root is the system's own.
bool8 Vol_Erase(int16 vol);
void Vol_Eject(const FSSpec& path);
void Vol_Unmount(int16 drive);
void Vol_UnmountAll();
