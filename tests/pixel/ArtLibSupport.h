// Shared by the tests of the program's picture library: the library the
// build drew, opened through the program's own reader (fixture ArtLibrary),
// its pictures read back as straight RGBA, and running the art generator on
// data of a test's own.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "PictLibWrite.h"
#include "pixel/ArtKeys.h"
#include "pixel/Draw.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "platform/SysIO.h"
#include "platform/SysMem.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace art_test {

namespace fs = std::filesystem;


inline std::string Name(const a_keyset& k) {
  return "(" + std::to_string(k.a) + ", " + std::to_string(k.b) + ", " + std::to_string(k.c) + ", " +
         std::to_string(k.d) + ")";
}

// A picture as the program shows it: straight RGBA rows.
struct Shown {
  bool ok = false;
  int32 depth = 0, width = 0, height = 0;
  uint8 flags = 0;
  std::vector<uint8> rgba;
  uint8* At(int32 x, int32 y) { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
};

inline void Read_World(const PixMap& pm, Shown& s) {
  s.width = int32(pm.bounds.right) - pm.bounds.left;
  s.height = int32(pm.bounds.bottom) - pm.bounds.top;
  s.rgba.resize(size_t(s.width) * size_t(s.height) * 4);
  const size_t rb = PixMap_RowBytes(pm);
  for (int32 y = 0; y < s.height; ++y) {
    const uint8* row = reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(y) * rb;
    for (int32 x = 0; x < s.width; ++x) {
      uint8* q = s.At(x, y);
      q[0] = row[x * 4 + 2];
      q[1] = row[x * 4 + 1];
      q[2] = row[x * 4];
      q[3] = row[x * 4 + 3];
    }
  }
}

class ArtLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    SysWin_Init();
    Set_GWorld(nullptr);
    SysVideo_Init();
    InitGray();
    SysBlt_Init();
    OP_Init();
    SysPixt_Init();
    FSSpec spec;
    ASSERT_TRUE(Path_From_Text(spec, VELMOR_ART_LIBRARY));
    ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY) << VELMOR_ART_LIBRARY << " (the build draws it)";
  }
  void TearDown() override {
    OP_Stop();
    SysBlt_Stop();
    Port_Stack_Clear();
    Set_GWorld(nullptr);
    SysVideo_Stop();
  }

  // The keys whose first `fixed` parts are those of basis.
  static std::vector<a_keyset> Keys(a_keyset basis, int fixed) {
    int16* parts[4] = {&basis.a, &basis.b, &basis.c, &basis.d};
    for (int i = fixed; i < 4; ++i) *parts[i] = 32000;
    a_subset sub{};
    Subset_Init(sub, basis);
    std::vector<a_keyset> keys;
    for (int16 i = 1, n = Subset_Count(sub); i <= n; ++i) {
      a_keyset k{};
      Subset_GetKey(sub, i, k);
      keys.push_back(k);
    }
    return keys;
  }
  static std::vector<uint8> Bytes(const a_keyset& key) {
    std::vector<uint8> b;
    Ptr p = OP_Lock(key);
    if (p == nullptr) return b;
    b.assign(reinterpret_cast<uint8*>(p), reinterpret_cast<uint8*>(p) + Ptr_GetSize(p));
    OP_Unlock(p);
    return b;
  }
  // Loads a stored picture as the program does; an 8-bit canvas goes
  // through its palette into 32 bits.
  static Shown Show(const a_keyset& key) {
    Shown s;
    const std::vector<uint8> raw = Bytes(key);
    if (raw.size() < 8) return s;
    s.flags = raw[6];
    s.depth = raw[7];
    a_pixt p{};
    if (KPixt_Load_Checked(key, p) != PIXT_OK) return s;
    if (p.pixmap.pixelSize == 8) {
      if (key.a != ART_CANVAS) {
        Pixt_Unload(p);
        return s;
      }
      GWorldPtr w8 = nullptr, w32 = nullptr;
      Pixt_To_GWorld(p, w8);
      Canvas8_To_32(key, w8, w32);
      if (w32 != nullptr) Read_World(*Get_GWorld_PixMap(w32), s);
      s.ok = w32 != nullptr;
      Dispose_GWorld(w8);
      Dispose_GWorld(w32);
      Pixt_Unload(p);
      return s;
    }
    Pixt_Lock(p);
    Read_World(p.pixmap, s);
    Pixt_Unlock(p);
    Pixt_Unload(p);
    s.ok = true;
    return s;
  }
  // The mean colour, leaving out a border of `inset` pixels.
  static void Mean(Shown& s, int32 inset, double m[3]) {
    m[0] = m[1] = m[2] = 0;
    double n = 0;
    for (int32 y = inset; y < s.height - inset; ++y)
      for (int32 x = inset; x < s.width - inset; ++x, ++n)
        for (int c = 0; c < 3; ++c) m[c] += s.At(x, y)[c];
    for (int c = 0; c < 3; ++c) m[c] /= n;
  }
};

// ---------------------------------------------------------------------------
// Running the generator
// ---------------------------------------------------------------------------
inline std::string Temp_Dir() {
  const char* t = std::getenv("TMPDIR");
  std::string tmpl = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-artgen-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back(0);
  return ::mkdtemp(buf.data()) != nullptr ? std::string(buf.data()) : std::string();
}

inline std::string Read_All(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs the generator; its exit status, standard error in err.
inline int Run_Artgen(const std::string& args, const std::string& dir, std::string& err) {
  const std::string cmd = std::string("'") + VELMOR_ARTGEN_EXE + "' " + args + " >/dev/null 2>'" + dir + "/stderr.txt'";
  const int st = std::system(cmd.c_str());
  err = Read_All(dir + "/stderr.txt");
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

// Runs the generator on a copy of art/ in which the table `file` holds
// `text` instead of its own rows, and checks that it refuses: exit status 1,
// `want` in what it says (and, with names_line, the table's FILE:LINE), and
// nothing written (neither the library nor, with items_header, the header
// of the interface items).
inline void Expect_Table_Refused(const std::string& file, const std::string& text, const std::string& want,
                                 bool items_header = false, bool names_line = false) {
  SCOPED_TRACE("art/" + file + ":\n" + text);
  const std::string dir = Temp_Dir();
  ASSERT_FALSE(dir.empty());
  fs::create_directories(dir + "/art");
  for (const auto& e : fs::directory_iterator(VELMOR_ART_DIR))
    fs::copy_file(e.path(), dir + "/art/" + e.path().filename().string());
  std::ofstream(dir + "/art/" + file, std::ios::trunc) << text;
  const std::string header = items_header ? "--items-header '" + dir + "/ArtItems.h' " : "";
  std::string err;
  EXPECT_EQ(Run_Artgen(header + "'" + dir + "/art' '" + dir + "/out.ART4'", dir, err), 1);
  EXPECT_NE(err.find(want), std::string::npos) << "-> " << err;
  if (names_line) {
    EXPECT_NE(err.find("art/" + file + ":"), std::string::npos) << "-> " << err;
  }
  EXPECT_FALSE(fs::exists(dir + "/out.ART4")) << "nothing is written";
  if (items_header) {
    EXPECT_FALSE(fs::exists(dir + "/ArtItems.h")) << "nothing is written";
  }
  fs::remove_all(dir);
}

}  // namespace art_test
