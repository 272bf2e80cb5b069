#include "pixel/ParsQuik.h"

#include <cstring>

void Clear_Scan_Rec(a_picture_scan_rec& scan) {
  std::memset(static_cast<void*>(&scan), 0, sizeof(scan));
  Null_MW(scan.body);
}

// 128 million pixels: a 32-bit world of half a gigabyte, well beyond any
// picture a label needs even at print resolution.
uint64 g_scan_max_pixels = 128ull * 1024 * 1024;

int16 Scan_New_Fore(a_picture_scan_rec& scan, int32 width, int32 height, int16 depth) {
  scan.body.fore = nullptr;
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return kScanNoMemory;
  return Scan_New_Fore_Bounds(scan, Rect{0, 0, int16(height), int16(width)}, depth);
}

int16 Scan_New_Fore_Bounds(a_picture_scan_rec& scan, const Rect& bounds, int16 depth) {
  scan.body.fore = nullptr;
  const int32 width = int32(bounds.right) - bounds.left;
  const int32 height = int32(bounds.bottom) - bounds.top;
  if (width <= 0 || height <= 0 || uint64(width) * uint64(height) > g_scan_max_pixels)
    return kScanNoMemory;
  if (New_GWorld(bounds, depth, nullptr, scan.body.fore) != noErr) {
    scan.body.fore = nullptr;
    return kScanNoMemory;
  }
  scan.body.bounds = bounds;
  return 0;
}

void Scan_Progress(int16 num, int16 den) {
  if (g_progproc != nullptr) g_progproc(num, den);
}

bool8 Scan_Read_File(const FSSpec& path, std::vector<uint8>& bytes) {
  bytes.clear();
  const a_fd fd = File_Open(path, GENERIC_READ);
  if (Is_Null_Fd(fd)) return false;
  const int32 eof = File_GetEOF(fd);
  bool8 ok = eof >= 0 && eof <= (1 << 30);
  if (ok) {
    bytes.resize(size_t(eof));
    ok = eof == 0 || File_Read(fd, bytes.data(), uint32(eof)) == noErr;
  }
  File_Close(fd);
  if (!ok) bytes.clear();
  return ok;
}
