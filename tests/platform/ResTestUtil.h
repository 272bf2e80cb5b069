// Builds resource archives in memory and on disk for the resource tests.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace restest {

struct Res {
  OSType type;
  int16 id;
  std::vector<uint8> data;
};

inline void Put16(std::vector<uint8>& d, uint32 v) {
  d.push_back(uint8(v));
  d.push_back(uint8(v >> 8));
}
inline void Put32(std::vector<uint8>& d, uint32 v) {
  Put16(d, v & 0xFFFF);
  Put16(d, v >> 16);
}

// A string list in the archive's layout.
inline std::vector<uint8> StrList(const std::vector<std::string>& items) {
  std::vector<uint8> d;
  Put16(d, uint32(items.size()));
  for (const std::string& s : items) {
    d.push_back(uint8(s.size()));
    d.insert(d.end(), s.begin(), s.end());
  }
  return d;
}

// An archive of the given resources, which must already be in (type, id) order.
inline std::vector<uint8> Archive(const std::vector<Res>& res) {
  std::vector<uint8> a{'V', 'R', 'S', '1'};
  Put32(a, uint32(res.size()));
  uint32 off = uint32(8 + 16 * res.size());
  for (const Res& r : res) {
    Put32(a, r.type);
    Put16(a, uint16(r.id));
    Put16(a, 0);
    Put32(a, off);
    Put32(a, uint32(r.data.size()));
    off += uint32(r.data.size());
  }
  for (const Res& r : res) a.insert(a.end(), r.data.begin(), r.data.end());
  return a;
}

// A temporary file holding bytes; removed when the object goes.
struct TempFile {
  std::string path;
  explicit TempFile(const std::vector<uint8>& bytes) {
    const char* dir = std::getenv("TMPDIR");
    path = std::string(dir && *dir ? dir : "/tmp") + "/velmor_res_XXXXXX";
    int fd = mkstemp(path.data());
    if (fd >= 0) {
      ssize_t w = bytes.empty() ? 0 : write(fd, bytes.data(), bytes.size());
      (void)w;
      close(fd);
    }
  }
  ~TempFile() { std::remove(path.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
};

}  // namespace restest
