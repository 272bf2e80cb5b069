// The drive table: the host's mounted file systems laid out as drives A to Z,
// as the program's volume routines expect.
//
// Layout: index 2 ("C") is the root file system. Every other mount of a
// block device (a source beginning with "/dev/"), and every CD file system
// (iso9660, udf), takes the next free index from 3 ("D") on, in the order of
// the mount table; indexes 0 and 1 stay empty, as they do on machines without
// floppy drives. A mount point mounted twice keeps its first index and the
// newest mount. Drives past "Z" are left out.
//
// Per drive: removable when the kernel says its disk is removable
// (/sys/class/block/<disk>/removable), when it is mounted under /media or
// /run/media (where desktops mount removable media), or when it is a CD; the
// label from /dev/disk/by-label, else, for removable media, the last component
// of the mount point (desktops name it after the label).
//
// The table is read again at every call, so media that come and go are seen;
// like drive letters, an index is stable only while the mounts stay as they are.
#pragma once

#include <array>
#include <span>
#include <string>

#include "platform/Types.h"

constexpr int HOST_MAX_DRIVES = 26;

struct HostVolume {
  std::string root;    // mount point; empty: no drive at this index
  std::string device;  // mount source
  std::string fstype;
  std::string label;
  bool removable = false;
  bool cdrom = false;
};
using HostDriveTable = std::array<HostVolume, HOST_MAX_DRIVES>;

// The current drive table.
HostDriveTable Host_Drive_Table();
// The index of the drive whose root holds path (longest matching mount
// point), or -1.
int Host_Drive_Of_Path(const char* path);
// Free bytes for an unprivileged user on the file system holding path
// (statvfs, 64-bit, overflow clamped); false when it cannot be asked.
bool Host_Free_Bytes(const char* path, uint64& bytes);

// Test overrides. Host_Volumes_Set_Sources reads the mount table and the
// label folder from the given paths (nullptr: the system's). Host_Volumes_Inject
// lays out the given mounts (as parsed from a mount table) in place of the
// system's; an empty span ends the injection.
void Host_Volumes_Set_Sources(const char* mounts_file, const char* labels_dir);
void Host_Volumes_Inject(std::span<const HostVolume> mounts);

// Lays out mounts (in mount-table order) as a drive table; exposed for tests.
HostDriveTable Host_Layout_Drives(std::span<const HostVolume> mounts);
