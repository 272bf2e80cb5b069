#include "host/HostResources.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace host {
#include "host/HostByteOrder.h"

namespace {

bool Less(const ResIndexEntry& a, OSType type, int16 id) {
  return a.type < type || (a.type == type && a.id < id);
}

constexpr std::size_t kMaxFileSize = 256u << 20;

}  // namespace

std::unique_ptr<ResArchive> ResArchive::Open_Bytes(std::span<const uint8> bytes, bool copy,
                                                   std::string* err) {
  auto fail = [&](const char* why) -> std::unique_ptr<ResArchive> {
    if (err) *err = why;
    return nullptr;
  };
  if (bytes.size() < kResHeaderSize) return fail("archive shorter than its header");
  if (std::memcmp(bytes.data(), "VRS1", 4) != 0) return fail("not a resource archive");
  if (bytes.size() > 0xFFFFFFFFu) return fail("archive larger than 4 GB");
  const uint64 n = Load_LE32(bytes.data() + 4);
  // The index must fit in the bytes before anything is allocated for it.
  if (n > (bytes.size() - kResHeaderSize) / kResEntrySize) return fail("entry count too large");
  const uint64 data_start = kResHeaderSize + n * kResEntrySize;

  auto a = std::unique_ptr<ResArchive>(new ResArchive());
  a->index_.reserve(std::size_t(n));
  for (uint64 i = 0; i < n; ++i) {
    const uint8* p = bytes.data() + kResHeaderSize + i * kResEntrySize;
    ResIndexEntry e{Load_LE32(p), int16(Load_LE16(p + 4)), Load_LE32(p + 8), Load_LE32(p + 12)};
    if (Load_LE16(p + 6) != 0) return fail("index entry has a non-zero pad");
    if (e.offset < data_start || uint64(e.offset) + e.size > bytes.size())
      return fail("index entry points outside the archive");
    if (!a->index_.empty() && !Less(a->index_.back(), e.type, e.id))
      return fail("index not sorted or holds a duplicate");
    a->index_.push_back(e);
  }
  if (copy) {
    a->owned_.assign(bytes.begin(), bytes.end());
    a->bytes_ = std::span<const uint8>(a->owned_);
  } else {
    a->bytes_ = bytes;
  }
  return a;
}

std::unique_ptr<ResArchive> ResArchive::Open_File(const char* path, std::string* err) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) {
    if (err) *err = "cannot open the file";
    return nullptr;
  }
  std::vector<uint8> buf;
  uint8 chunk[65536];
  bool ok = true;
  for (;;) {
    std::size_t got = std::fread(chunk, 1, sizeof chunk, f);
    if (got > 0) {
      if (buf.size() + got > kMaxFileSize) {
        ok = false;
        if (err) *err = "file too large for a resource archive";
        break;
      }
      buf.insert(buf.end(), chunk, chunk + got);
    }
    if (got < sizeof chunk) {
      if (std::ferror(f)) {
        ok = false;
        if (err) *err = "read error";
      }
      break;
    }
  }
  std::fclose(f);
  if (!ok) return nullptr;
  return Open_Bytes(buf, true, err);
}

std::unique_ptr<ResArchive> ResArchive::Open_Embedded(std::string* err) {
  return Open_Bytes(std::span<const uint8>(velmor_res_archive, velmor_res_archive_size), false,
                    err);
}

long ResArchive::Find_Index(OSType type, int16 id) const {
  auto it = std::lower_bound(index_.begin(), index_.end(), std::make_pair(type, id),
                             [](const ResIndexEntry& e, const std::pair<OSType, int16>& k) {
                               return Less(e, k.first, k.second);
                             });
  if (it == index_.end() || it->type != type || it->id != id) return -1;
  return long(it - index_.begin());
}

bool ResArchive::Find(OSType type, int16 id, std::span<const uint8>* data) const {
  long i = Find_Index(type, id);
  if (i < 0) {
    if (data) *data = {};
    return false;
  }
  if (data) *data = bytes_.subspan(index_[std::size_t(i)].offset, index_[std::size_t(i)].size);
  return true;
}

}  // namespace host
