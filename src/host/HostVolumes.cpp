#include "host/HostVolumes.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "host/HostFiles.h"

namespace {

std::string g_mounts_file;  // empty: the system's
std::string g_labels_dir;
bool g_injected = false;
std::vector<HostVolume> g_injected_mounts;

int Hex_Digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The mount table writes blanks, tabs, newlines and backslashes as \ooo.
std::string Unescape_Octal(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\\' && s.size() - i >= 4) {
      int a = s[i + 1] - '0', b = s[i + 2] - '0', c = s[i + 3] - '0';
      if (a >= 0 && a <= 3 && b >= 0 && b <= 7 && c >= 0 && c <= 7) {
        out += char(a * 64 + b * 8 + c);
        i += 3;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

// Names in /dev/disk/by-label write unsafe bytes as \xHH.
std::string Unescape_Hex(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\\' && s.size() - i >= 4 && s[i + 1] == 'x') {
      int h = Hex_Digit(s[i + 2]), l = Hex_Digit(s[i + 3]);
      if (h >= 0 && l >= 0) {
        out += char(h * 16 + l);
        i += 3;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

// Collapses "." and ".." of an absolute path without asking the file system.
std::string Normalize(const std::string& path) {
  std::vector<std::string> parts;
  std::stringstream ss(path);
  std::string part;
  while (std::getline(ss, part, '/')) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string out;
  for (const auto& p : parts) out += "/" + p;
  return out.empty() ? "/" : out;
}

std::string Real_Or_Same(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return Normalize(path);
  std::string r(real);
  std::free(real);
  return r;
}

std::string Labels_Dir() { return g_labels_dir.empty() ? "/dev/disk/by-label" : g_labels_dir; }

// Label of a device: the entry of the label folder whose link points at it.
std::string Label_Of(const std::string& device) {
  std::string dir = Labels_Dir();
  std::vector<std::string> names;
  if (!Host_List_Dir(dir.c_str(), names)) return "";
  std::string dev = Real_Or_Same(device);
  for (const auto& n : names) {
    std::string link = dir + "/" + n;
    std::vector<char> buf(4096);
    ssize_t len = ::readlink(link.c_str(), buf.data(), buf.size() - 1);
    if (len <= 0) continue;
    std::string target(buf.data(), size_t(len));
    if (target[0] != '/') target = dir + "/" + target;
    target = Normalize(target);
    if (target == dev || Real_Or_Same(target) == dev) return Unescape_Hex(n);
  }
  return "";
}

// The kernel's removable flag of the disk that holds a block device
// (a partition's flag lives with its parent disk).
bool Kernel_Removable(const std::string& device) {
  std::string dev = Real_Or_Same(device);
  if (dev.compare(0, 5, "/dev/") != 0) return false;
  std::string name = dev.substr(5);
  if (name.empty() || name.find('/') != std::string::npos) return false;
  std::string sys = Real_Or_Same("/sys/class/block/" + name);
  for (int up = 0; up < 2; up++) {
    std::ifstream f(sys + "/removable");
    char c = 0;
    if (f && f.get(c)) return c == '1';
    size_t slash = sys.find_last_of('/');
    if (slash == std::string::npos || slash == 0) break;
    sys = sys.substr(0, slash);
  }
  return false;
}

bool Under(const std::string& path, const char* folder) {
  std::string f(folder);
  return path.size() > f.size() && path.compare(0, f.size(), f) == 0 && path[f.size()] == '/';
}

bool Is_CD_Type(const std::string& t) { return t == "iso9660" || t == "udf"; }

std::vector<HostVolume> Read_Mounts() {
  std::vector<HostVolume> out;
  std::ifstream in(g_mounts_file.empty() ? "/proc/self/mounts" : g_mounts_file);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string src, dir, type;
    if (!(ls >> src >> dir >> type)) continue;
    HostVolume v;
    v.device = Unescape_Octal(src);
    v.root = Unescape_Octal(dir);
    v.fstype = type;
    if (v.root.empty() || v.root[0] != '/') continue;
    bool block = v.device.compare(0, 5, "/dev/") == 0;
    v.cdrom = Is_CD_Type(type);
    if (v.root != "/" && !block && !v.cdrom) continue;  // pseudo and network file systems
    if (block || v.cdrom) {
      v.removable = v.cdrom || Under(v.root, "/media") || Under(v.root, "/run/media") ||
                    Kernel_Removable(v.device);
      v.label = Label_Of(v.device);
      if (v.label.empty() && v.removable && v.root != "/") {
        v.label = v.root.substr(v.root.find_last_of('/') + 1);
      }
    }
    out.push_back(v);
  }
  return out;
}

}  // namespace

HostDriveTable Host_Layout_Drives(std::span<const HostVolume> mounts) {
  HostDriveTable table;
  int next = 3;
  for (const HostVolume& m : mounts) {
    if (m.root.empty()) continue;
    int at = -1;
    if (m.root == "/") {
      at = 2;
    } else {
      for (int i = 3; i < HOST_MAX_DRIVES; i++) {
        if (table[size_t(i)].root == m.root) at = i;
      }
      if (at < 0) {
        if (next >= HOST_MAX_DRIVES) continue;
        at = next++;
      }
    }
    table[size_t(at)] = m;
    if (at == 2) table[2].root = "/";
  }
  return table;
}

HostDriveTable Host_Drive_Table() {
  if (g_injected) return Host_Layout_Drives(g_injected_mounts);
  std::vector<HostVolume> mounts = Read_Mounts();
  return Host_Layout_Drives(mounts);
}

int Host_Drive_Of_Path(const char* path) {
  if (path == nullptr || path[0] != '/') return -1;
  std::string p(path);
  HostDriveTable t = Host_Drive_Table();
  int best = -1;
  size_t best_len = 0;
  for (int i = 0; i < HOST_MAX_DRIVES; i++) {
    const std::string& r = t[size_t(i)].root;
    if (r.empty()) continue;
    bool holds = r == "/" || p == r || Under(p, r.c_str());
    size_t len = r == "/" ? 1 : r.size();
    if (holds && (best < 0 || len > best_len)) {
      best = i;
      best_len = len;
    }
  }
  return best;
}

bool Host_Free_Bytes(const char* path, uint64& bytes) {
  bytes = 0;
  struct statvfs sv;
  if (path == nullptr || path[0] == 0 || ::statvfs(path, &sv) != 0) return false;
  uint64 unit = sv.f_frsize != 0 ? uint64(sv.f_frsize) : uint64(sv.f_bsize);
  uint64 product;
  if (__builtin_mul_overflow(uint64(sv.f_bavail), unit, &product)) product = UINT64_MAX;
  bytes = product;
  return true;
}

void Host_Volumes_Set_Sources(const char* mounts_file, const char* labels_dir) {
  g_mounts_file = mounts_file != nullptr ? mounts_file : "";
  g_labels_dir = labels_dir != nullptr ? labels_dir : "";
}

void Host_Volumes_Inject(std::span<const HostVolume> mounts) {
  g_injected_mounts.assign(mounts.begin(), mounts.end());
  g_injected = !mounts.empty();
}
