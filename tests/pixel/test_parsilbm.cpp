// The ILBM reader: chunky and planar bodies, packed and unpacked, the chunk
// walk, the input it refuses, and files written by netpbm's ppmtoilbm.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ImageTestUtil.h"
#include "TestSupport.h"
#include "pixel/ParsILBM.h"
#include "platform/SysWin.h"

using namespace imgtest;

namespace {

void BE32(std::vector<uint8>& v, uint32 x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(uint8(x >> s));
}

struct Chunk {
  std::string id;
  std::vector<uint8> data;
  uint32 len_override = 0;  // when not 0, the length written in place of the data's
};

std::vector<uint8> Iff(const std::string& form, const std::vector<Chunk>& chunks) {
  std::vector<uint8> body(form.begin(), form.end());
  for (const Chunk& c : chunks) {
    body.insert(body.end(), c.id.begin(), c.id.end());
    BE32(body, c.len_override ? c.len_override : uint32(c.data.size()));
    body.insert(body.end(), c.data.begin(), c.data.end());
    if (c.data.size() & 1) body.push_back(0);
  }
  std::vector<uint8> v = {'F', 'O', 'R', 'M'};
  BE32(v, uint32(body.size()));
  v.insert(v.end(), body.begin(), body.end());
  return v;
}

Chunk Bmhd(uint16 w, uint16 h, uint8 nplanes, uint8 masking = 0, uint8 compression = 0) {
  Chunk c{"BMHD", {}};
  c.data = {uint8(w >> 8), uint8(w), uint8(h >> 8), uint8(h), 0, 0, 0, 0, nplanes, masking,
            compression, 0, 0, 0, 10, 11, uint8(w >> 8), uint8(w), uint8(h >> 8), uint8(h)};
  return c;
}

// Packs one row the simple way: runs of 3 or more, literals otherwise.
std::vector<uint8> Pack(const std::vector<uint8>& row) {
  std::vector<uint8> out;
  size_t i = 0;
  while (i < row.size()) {
    size_t run = 1;
    while (i + run < row.size() && run < 128 && row[i + run] == row[i]) ++run;
    if (run >= 3) {
      out.push_back(uint8(257 - run));
      out.push_back(row[i]);
      i += run;
      continue;
    }
    size_t lit = 0;
    while (i + lit < row.size() && lit < 128) {
      size_t r = 1;
      while (i + lit + r < row.size() && r < 3 && row[i + lit + r] == row[i + lit]) ++r;
      if (r >= 3) break;
      ++lit;
    }
    out.push_back(uint8(lit - 1));
    out.insert(out.end(), row.begin() + long(i), row.begin() + long(i + lit));
    i += lit;
  }
  return out;
}

// A planar body for the given index rows.
std::vector<uint8> Planar(const std::vector<std::vector<uint8>>& rows, int nplanes, bool mask,
                          bool packed) {
  const size_t w = rows[0].size();
  size_t pb = (w + 7) / 8;
  pb += pb & 1;
  std::vector<uint8> body;
  for (const auto& r : rows) {
    for (int p = 0; p < nplanes + (mask ? 1 : 0); ++p) {
      std::vector<uint8> plane(pb, 0);
      for (size_t x = 0; x < w; ++x)
        if (p == nplanes ? true : ((r[x] >> p) & 1)) plane[x / 8] |= uint8(0x80 >> (x % 8));
      const std::vector<uint8> out = packed ? Pack(plane) : plane;
      body.insert(body.end(), out.begin(), out.end());
    }
  }
  return body;
}

std::vector<uint8> World_Row(const a_picture_scan_rec& scan, int y, int w) {
  const PixMap& pm = *Get_GWorld_PixMap(scan.body.fore);
  const auto* p = reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(y) * PixMap_RowBytes(pm);
  return std::vector<uint8>(p, p + w);
}

class ParsILBM : public ::testing::Test {
 protected:
  a_picture_scan_rec scan{};
  a_file_format fmt = FMT_DISC;
  void TearDown() override { Free_Scan(scan); }
  int16 Scan(const std::vector<uint8>& b) { return Scan_ILBM_Buf(b.data(), b.size(), scan, fmt); }
};

std::vector<std::vector<uint8>> Index_Rows(int w, int h, int mod) {
  std::vector<std::vector<uint8>> rows(static_cast<size_t>(h), std::vector<uint8>(static_cast<size_t>(w)));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) rows[size_t(y)][size_t(x)] = uint8((x * 7 + y * 3) % mod);
  return rows;
}

}  // namespace

// --- Chunky (PBM) ----------------------------------------------------------------------

TEST_F(ParsILBM, ChunkyRowsArePaddedToEvenLengths) {
  for (int w : {6, 5}) {
    for (bool packed : {false, true}) {
      const auto rows = Index_Rows(w, 3, 256);
      std::vector<uint8> body;
      for (const auto& r : rows) {
        std::vector<uint8> fr = r;
        if (w & 1) fr.push_back(0xEE);  // the pad byte of the file row
        const auto out = packed ? Pack(fr) : fr;
        body.insert(body.end(), out.begin(), out.end());
      }
      const auto file = Iff("PBM ", {Bmhd(uint16(w), 3, 8, 0, packed ? 1 : 0), Chunk{"BODY", body}});
      ASSERT_EQ(Scan(file), 0) << w << packed;
      EXPECT_EQ(fmt, FMT_ILBM);
      EXPECT_EQ(scan.body.bounds, (Rect{0, 0, 3, int16(w)}));
      EXPECT_EQ(Get_GWorld_PixMap(scan.body.fore)->pixelSize, 8);
      for (int y = 0; y < 3; ++y) EXPECT_EQ(World_Row(scan, y, w), rows[size_t(y)]) << w << packed << y;
      EXPECT_EQ(scan.body.mask, nullptr);
      Free_Scan(scan);
    }
  }
}

// --- Planar (ILBM) ---------------------------------------------------------------------

TEST_F(ParsILBM, FivePlanesGiveIndexesUpTo31WithOrWithoutMaskPlane) {
  const auto rows = Index_Rows(21, 4, 32);
  for (bool mask : {false, true}) {
    for (bool packed : {false, true}) {
      const auto file = Iff("ILBM", {Bmhd(21, 4, 5, mask ? MASK_HASMASK : 0, packed ? 1 : 0),
                                     Chunk{"BODY", Planar(rows, 5, mask, packed)}});
      ASSERT_EQ(Scan(file), 0) << mask << packed;
      for (int y = 0; y < 4; ++y) EXPECT_EQ(World_Row(scan, y, 21), rows[size_t(y)]) << mask << packed;
      Free_Scan(scan);
    }
  }
}

// Planar pictures have no width limit of their own (the row buffer grows).
TEST_F(ParsILBM, WidePlanarPictureIsRead) {
  const auto rows = Index_Rows(4000, 2, 256);
  const auto file = Iff("ILBM", {Bmhd(4000, 2, 8, 0, 1), Chunk{"BODY", Planar(rows, 8, false, true)}});
  ASSERT_EQ(Scan(file), 0);
  EXPECT_EQ(World_Row(scan, 1, 4000), rows[1]);
}

TEST_F(ParsILBM, ColourMapChunkWalkAndPadBytes) {
  std::vector<uint8> cmap;
  for (int i = 0; i < 16; ++i) {
    cmap.push_back(uint8(i * 16));
    cmap.push_back(uint8(i));
    cmap.push_back(uint8(255 - i));
  }
  const auto rows = Index_Rows(3, 1, 16);
  const auto file = Iff("ILBM", {Chunk{"ANNO", {'o', 'd', 'd'}}, Bmhd(3, 1, 4), Chunk{"CMAP", cmap},
                                 Chunk{"CRNG", {0, 0, 0x0A, 0xAA, 0, 1, 0, 15}},
                                 Chunk{"DPI ", {1, 2, 3, 4, 5}}, Chunk{"BODY", Planar(rows, 4, false, false)}});
  ASSERT_EQ(Scan(file), 0);
  EXPECT_EQ(scan.ctable[3].r, 48);
  EXPECT_EQ(scan.ctable[3].g, 3);
  EXPECT_EQ(scan.ctable[3].b, 252);
  EXPECT_EQ(scan.ctable[3].a, 0);
  EXPECT_EQ(scan.ctable[15].b, 240);
  EXPECT_EQ(scan.ctable[16].raw, 0u);
  EXPECT_EQ(World_Row(scan, 0, 3), rows[0]);
}

// --- Refusals --------------------------------------------------------------------------

TEST_F(ParsILBM, BadFilesAreRefusedWithTheirCode) {
  const auto rows = Index_Rows(8, 2, 4);
  const Chunk body{"BODY", Planar(rows, 2, false, false)};
  struct Case {
    const char* name;
    std::vector<uint8> bytes;
    int16 want;
  };
  std::vector<Case> cases = {
      {"eleven bytes", {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'I', 'L', 'B'}, ILBM_ERR_GROUP},
      {"lower-case form", Iff("pbm ", {Bmhd(8, 2, 8), body}), ILBM_ERR_FORM},
      {"BODY before BMHD", Iff("ILBM", {body, Bmhd(8, 2, 2)}), ILBM_ERR_NO_BMHD},
      {"nine planes", Iff("ILBM", {Bmhd(8, 2, 9), body}), ILBM_ERR_PLANES},
      {"24-bit deep ILBM", Iff("ILBM", {Bmhd(8, 2, 24), body}), ILBM_ERR_PLANES},
      {"no planes", Iff("ILBM", {Bmhd(8, 2, 0), body}), ILBM_ERR_SIZE},
      {"width 0", Iff("ILBM", {Bmhd(0, 2, 2), body}), ILBM_ERR_SIZE},
      {"short BMHD", Iff("ILBM", {Chunk{"BMHD", {0, 8, 0, 2}}, body}), ILBM_ERR_BMHD},
      {"CMAP of 257 entries", Iff("ILBM", {Bmhd(8, 2, 2), Chunk{"CMAP", std::vector<uint8>(771, 1)}, body}), ILBM_ERR_CMAP},
      {"CMAP of no whole entry", Iff("ILBM", {Bmhd(8, 2, 2), Chunk{"CMAP", {1, 2}}, body}), ILBM_ERR_CMAP},
      {"huge BODY length", Iff("ILBM", {Bmhd(8, 2, 2), Chunk{"BODY", {1, 2, 3, 4}, 0xFFFFFFF0u}}), ILBM_ERR_BODY},
      {"BODY too short", Iff("ILBM", {Bmhd(8, 2, 2), Chunk{"BODY", {0, 0, 0, 0, 0, 0}}}), ILBM_ERR_BODY},
      {"packed BODY too short", Iff("ILBM", {Bmhd(8, 2, 2, 0, 1), Chunk{"BODY", {0xFD, 0}}}), ILBM_ERR_BODY},
      {"packed BODY with data left over",
       Iff("ILBM", {Bmhd(8, 2, 2, 0, 1), Chunk{"BODY", {0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 9, 9, 9, 9}}}),
       ILBM_ERR_UNUSED},
      {"no BODY", Iff("ILBM", {Bmhd(8, 2, 2)}), ILBM_ERR_NO_BODY},
      {"chunk past the file", Iff("ILBM", {Bmhd(8, 2, 2), Chunk{"ANNO", {1}, 5000}}), ILBM_ERR_CHUNK},
  };
  {
    auto b = Iff("ILBM", {Bmhd(8, 2, 2), body});
    b.resize(b.size() + 3, 0);  // group length covers three bytes more: half a chunk header
    b[7] = uint8(b[7] + 3);
    cases.push_back({"chunk header cut", b, ILBM_ERR_CHUNK});
  }
  for (const Case& c : cases) {
    EXPECT_EQ(Scan(c.bytes), c.want) << c.name;
    EXPECT_EQ(scan.body.fore, nullptr) << c.name;
    Free_Scan(scan);
  }
  const std::string tmp = Make_Temp_Dir();
  EXPECT_EQ(Scan_ILBM(Spec(tmp + "/missing.lbm"), scan, fmt), ILBM_ERR_OPEN);
  Remove_Dir(tmp);
}

// --- Files of another writer ------------------------------------------------------------

TEST_F(ParsILBM, FilesWrittenByPpmtoilbmAreRead) {
  const std::string ppmtoilbm = Find_Tool("ppmtoilbm");
  REQUIRE_TOOL("ppmtoilbm");
  const std::string tmp = Make_Temp_Dir();
  Image src;
  src.w = 37, src.h = 13;
  for (int y = 0; y < src.h; ++y)
    for (int x = 0; x < src.w; ++x) {
      const int i = (x * 3 + y * 5) & 31;
      src.rgb.push_back(uint8(i * 8));
      src.rgb.push_back(uint8(255 - i * 8));
      src.rgb.push_back(uint8(i * 24));
    }
  ASSERT_TRUE(Write_PPM(tmp + "/src.ppm", src));
  for (const char* opt : {"-compress", "-nocompress"}) {
    const std::string out = tmp + "/a.lbm";
    ASSERT_TRUE(Run_Tool("'" + ppmtoilbm + "' " + opt + " '" + tmp + "/src.ppm' > '" + out + "'")) << opt;
    ASSERT_EQ(Scan_ILBM(Spec(out), scan, fmt), 0) << opt;
    EXPECT_EQ(Max_Diff(Scan_To_Image(scan), src), 0) << opt;
    Free_Scan(scan);
  }
  Remove_Dir(tmp);
}
