// Resource archives: the program's own resources, compiled into it at build
// time by velmor_rescomp (see tools/rescomp.cpp for the archive layout), and
// archive files on disk that the program pushes on its resource-file stack.
// Every count and offset of an archive is checked when it is opened; a
// corrupt archive is refused with a message, never read out of bounds.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/Types.h"

// The embedded archive, defined in the generated ResArchive.cpp.
extern const unsigned char velmor_res_archive[];
extern const std::size_t velmor_res_archive_size;

namespace host {

struct ResIndexEntry {
  OSType type;
  int16 id;
  uint32 offset;  // from the start of the archive
  uint32 size;
};

constexpr std::size_t kResHeaderSize = 8;
constexpr std::size_t kResEntrySize = 16;

class ResArchive {
 public:
  ResArchive() = default;
  ResArchive(const ResArchive&) = delete;
  ResArchive& operator=(const ResArchive&) = delete;

  // Validates bytes as an archive. With copy FALSE the bytes must outlive the
  // archive (the embedded archive is static). On failure *err says why.
  static std::unique_ptr<ResArchive> Open_Bytes(std::span<const uint8> bytes, bool copy,
                                                std::string* err);
  // Reads a whole archive file (at most 256 MB).
  static std::unique_ptr<ResArchive> Open_File(const char* path, std::string* err);
  // The program's own archive.
  static std::unique_ptr<ResArchive> Open_Embedded(std::string* err);

  // The data of a resource, or an empty span with found FALSE.
  bool Find(OSType type, int16 id, std::span<const uint8>* data) const;
  // Position of a resource in Index(), or -1.
  long Find_Index(OSType type, int16 id) const;
  const std::vector<ResIndexEntry>& Index() const { return index_; }
  std::span<const uint8> Bytes() const { return bytes_; }

 private:
  std::vector<uint8> owned_;
  std::span<const uint8> bytes_;
  std::vector<ResIndexEntry> index_;
};

}  // namespace host
