// Definitions of the helpers in ImageTestUtil.h.
#include "ImageTestUtil.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "TempDirSupport.h"
#include "pixel/SysPix.h"
#include "platform/SysWin.h"

namespace imgtest {

std::string Make_Temp_Dir() { return testdir::Make_Temp_Dir("velmor_img"); }

void Remove_Dir(const std::string& dir) { testdir::Remove_Dir(dir); }

std::string Find_Tool(const std::string& name) {
  if (name == "convert") return access("/usr/bin/convert", X_OK) == 0 ? "/usr/bin/convert" : "";
  const char* path = std::getenv("PATH");
  std::stringstream ss(path ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(ss, dir, ':')) {
    const std::string p = dir + "/" + name;
    if (!dir.empty() && access(p.c_str(), X_OK) == 0) return p;
  }
  return "";
}

bool Run_Tool(const std::string& cmd) { return std::system((cmd + " 2>/dev/null").c_str()) == 0; }

std::vector<uint8> Read_Bytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

bool Write_Bytes(const std::string& path, const std::vector<uint8>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(f);
}

FSSpec Spec(const std::string& path) {
  FSSpec s{};
  EXPECT_TRUE(Path_From_Text(s, path.c_str()));
  return s;
}

bool Read_PNM(const std::string& path, Image& img) {
  const std::vector<uint8> b = Read_Bytes(path);
  size_t pos = 0;
  auto skip_ws = [&] {
    for (;;) {
      while (pos < b.size() && std::isspace(b[pos])) ++pos;
      if (pos < b.size() && b[pos] == '#') {
        while (pos < b.size() && b[pos] != '\n') ++pos;
      } else {
        return;
      }
    }
  };
  auto number = [&](long& v) {
    skip_ws();
    if (pos >= b.size() || !std::isdigit(b[pos])) return false;
    v = 0;
    while (pos < b.size() && std::isdigit(b[pos])) v = v * 10 + (b[pos++] - '0');
    return true;
  };
  if (b.size() < 2 || b[0] != 'P') return false;
  const char kind = char(b[1]);
  pos = 2;
  long w, h, maxval = 1;
  if (!number(w) || !number(h)) return false;
  if (kind != '4' && !number(maxval)) return false;
  ++pos;  // the single white space before the data
  if (w <= 0 || h <= 0 || maxval <= 0 || maxval > 65535) return false;
  img.w = int(w);
  img.h = int(h);
  img.rgb.assign(size_t(w * h * 3), 0);
  const int bps = maxval > 255 ? 2 : 1;
  auto sample = [&](size_t& p) -> int {
    long v = bps == 2 ? (b[p] << 8) | b[p + 1] : b[p];
    p += size_t(bps);
    return int((v * 255 + maxval / 2) / maxval);
  };
  if (kind == '4') {
    const size_t rb = size_t((w + 7) / 8);
    if (b.size() < pos + rb * size_t(h)) return false;
    for (long y = 0; y < h; ++y)
      for (long x = 0; x < w; ++x) {
        const bool black = (b[pos + size_t(y) * rb + size_t(x / 8)] >> (7 - x % 8)) & 1;
        for (int c = 0; c < 3; ++c) img.rgb[size_t((y * w + x) * 3 + c)] = black ? 0 : 255;
      }
    return true;
  }
  const int ch = kind == '5' ? 1 : kind == '6' ? 3 : 0;
  if (ch == 0 || b.size() < pos + size_t(w * h * ch * bps)) return false;
  for (long i = 0; i < w * h; ++i) {
    if (ch == 1) {
      const int v = sample(pos);
      for (int c = 0; c < 3; ++c) img.rgb[size_t(i * 3 + c)] = uint8(v);
    } else {
      for (int c = 0; c < 3; ++c) img.rgb[size_t(i * 3 + c)] = uint8(sample(pos));
    }
  }
  return true;
}

bool Write_PPM(const std::string& path, const Image& img) {
  std::string head = "P6\n" + std::to_string(img.w) + " " + std::to_string(img.h) + "\n255\n";
  std::vector<uint8> bytes(head.begin(), head.end());
  bytes.insert(bytes.end(), img.rgb.begin(), img.rgb.end());
  return Write_Bytes(path, bytes);
}

Image Scan_To_Image(const a_picture_scan_rec& scan) {
  Image img;
  if (scan.body.fore == nullptr) return img;
  const PixMap& pm = *Get_GWorld_PixMap(scan.body.fore);
  img.w = pm.bounds.right - pm.bounds.left;
  img.h = pm.bounds.bottom - pm.bounds.top;
  img.rgb.resize(size_t(img.w) * size_t(img.h) * 3);
  const uint32 stride = PixMap_RowBytes(pm);
  for (int y = 0; y < img.h; ++y) {
    const auto* row = reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(y) * stride;
    for (int x = 0; x < img.w; ++x) {
      uint8* o = &img.rgb[(size_t(y) * size_t(img.w) + size_t(x)) * 3];
      if (pm.pixelSize == 8) {
        const a_pixel32& c = scan.ctable[row[x]];
        o[0] = c.r, o[1] = c.g, o[2] = c.b;
      } else if (pm.pixelSize == 16) {
        const uint16 v = uint16(row[2 * x] | (row[2 * x + 1] << 8));
        auto wide = [](int c) { return uint8((c << 3) | (c >> 2)); };
        o[0] = wide((v >> 10) & 31), o[1] = wide((v >> 5) & 31), o[2] = wide(v & 31);
      } else if (pm.pixelSize == 24) {
        o[0] = row[3 * x + 2], o[1] = row[3 * x + 1], o[2] = row[3 * x];
      } else {
        o[0] = row[4 * x + 2], o[1] = row[4 * x + 1], o[2] = row[4 * x];
      }
    }
  }
  return img;
}

int Max_Diff(const Image& a, const Image& b) {
  if (a.w != b.w || a.h != b.h || a.rgb.size() != b.rgb.size()) return 1000;
  int d = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i) d = std::max(d, std::abs(int(a.rgb[i]) - int(b.rgb[i])));
  return d;
}

void Free_Scan(a_picture_scan_rec& scan) {
  Dispose_GWorld(scan.body.fore);
  Dispose_GWorld(scan.body.mask);
}

Image Test_Pattern(int w, int h) {
  Image img;
  img.w = w, img.h = h;
  img.rgb.resize(size_t(w * h * 3));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8* o = &img.rgb[size_t((y * w + x) * 3)];
      if ((x / 8 + y / 8) % 3 == 0) {
        o[0] = 200, o[1] = 30, o[2] = 90;
      } else {
        o[0] = uint8(x * 255 / std::max(1, w - 1));
        o[1] = uint8(y * 255 / std::max(1, h - 1));
        o[2] = uint8((x * 7 + y * 13) & 0xFF);
      }
    }
  return img;
}

}  // namespace imgtest
