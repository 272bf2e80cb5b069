// JPEG streams of stored pictures: expansion into alpha-red-green-blue
// pixels compared with libjpeg-turbo's djpeg, the streams refused, the
// compressor read back by djpeg, and the size-only scanner.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ImageTestUtil.h"
#include "TestSupport.h"
#include "host/HostCodecs.h"
#include "pixel/ParsJPEG.h"
#include "platform/SysMem.h"

using namespace imgtest;

namespace {

class JpegTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = Make_Temp_Dir();
    ASSERT_FALSE(dir_.empty());
    REQUIRE_TOOL("cjpeg");
    REQUIRE_TOOL("djpeg");
    cjpeg_ = Find_Tool("cjpeg");
    djpeg_ = Find_Tool("djpeg");
  }
  void TearDown() override {
    Dispose_Handle(expand_);
    Remove_Dir(dir_);
  }
  std::string P(const std::string& n) const { return dir_ + "/" + n; }

  // A JPEG stream of the test pattern by cjpeg, and djpeg's decoding of it.
  std::vector<uint8> Stream(int w, int h, const std::string& opts, Image& decoded) {
    EXPECT_TRUE(Write_PPM(P("in.ppm"), Test_Pattern(w, h)));
    EXPECT_TRUE(Run_Tool(cjpeg_ + " " + opts + " '" + P("in.ppm") + "' > '" + P("s.jpg") + "'"));
    EXPECT_TRUE(Run_Tool(djpeg_ + " -ppm '" + P("s.jpg") + "' > '" + P("d.ppm") + "'"));
    EXPECT_TRUE(Read_PNM(P("d.ppm"), decoded));
    return Read_Bytes(P("s.jpg"));
  }

  std::string dir_, cjpeg_, djpeg_;
  Handle expand_ = nullptr;
};

TEST_F(JpegTest, ExpandsToAlphaRedGreenBlueRowsWithoutPadding) {
  for (const char* opts : {"-quality 85", "-progressive", "-grayscale", "-sample 1x1 -quality 100"}) {
    SCOPED_TRACE(opts);
    Image want;
    const std::vector<uint8> s = Stream(33, 17, opts, want);  // 33: odd width, no row padding
    ASSERT_EQ(Expand_JPEG(33, 17, 32, s.data(), s.size(), expand_), JPEG_OK);
    ASSERT_NE(expand_, nullptr);
    ASSERT_EQ(Handle_GetSize(expand_), 33u * 17 * 4);
    EXPECT_FALSE(Is_Handle_Locked(expand_));
    const auto* p = reinterpret_cast<const uint8*>(Handle_Lock(expand_));
    int worst = 0;
    for (size_t i = 0; i < 33 * 17; ++i) {
      ASSERT_EQ(p[i * 4], 255) << "alpha first";
      for (int k = 0; k < 3; ++k) worst = std::max(worst, std::abs(int(p[i * 4 + 1 + size_t(k)]) - int(want.rgb[i * 3 + size_t(k)])));
    }
    Handle_Unlock(expand_);
    EXPECT_LE(worst, 1);  // the same library, its default settings
    Dispose_Handle(expand_);
  }
}

TEST_F(JpegTest, BadStreamsAreRefusedWithNoBlock) {
  Image want;
  const std::vector<uint8> s = Stream(40, 24, "-quality 80", want);
  // The stored picture's size must be the stream's.
  EXPECT_EQ(Expand_JPEG(41, 24, 32, s.data(), s.size(), expand_), JPEG_ERR_DATA);
  EXPECT_EQ(expand_, nullptr);
  EXPECT_EQ(Expand_JPEG(40, 23, 32, s.data(), s.size(), expand_), JPEG_ERR_DATA);
  // Truncated in the middle of the picture, or after its first bytes.
  for (size_t len : {s.size() / 2, size_t(20), size_t(0)}) {
    SCOPED_TRACE(len);
    EXPECT_EQ(Expand_JPEG(40, 24, 32, s.data(), len, expand_), JPEG_ERR_DATA);
    EXPECT_EQ(expand_, nullptr);
  }
  // Not a JPEG; no size.
  const std::vector<uint8> junk(200, 0x42);
  EXPECT_EQ(Expand_JPEG(40, 24, 32, junk.data(), junk.size(), expand_), JPEG_ERR_DATA);
  EXPECT_EQ(Expand_JPEG(0, 24, 32, s.data(), s.size(), expand_), JPEG_ERR_DATA);
  EXPECT_EQ(expand_, nullptr);
  // A stream whose end marker alone is missing still holds every row.
  ASSERT_EQ(s[s.size() - 2], 0xFF);
  ASSERT_EQ(s[s.size() - 1], 0xD9);
  EXPECT_EQ(Expand_JPEG(40, 24, 32, s.data(), s.size() - 2, expand_), JPEG_OK);
}

TEST_F(JpegTest, SizeBeyondThePixelLimitIsRefused) {
  Image want;
  const std::vector<uint8> s = Stream(40, 24, "", want);
  const uint64 saved = g_scan_max_pixels;
  g_scan_max_pixels = 40 * 24 - 1;
  EXPECT_EQ(Expand_JPEG(40, 24, 32, s.data(), s.size(), expand_), JPEG_ERR_NOMEM);
  g_scan_max_pixels = saved;
  EXPECT_EQ(expand_, nullptr);
}

TEST_F(JpegTest, CompressedMapsReadBackWithDjpeg) {
  const Image src = Test_Pattern(50, 20);
  PixMap pm;
  New_PixMap(pm, Rect{0, 0, 20, 50}, 32, nullptr);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 50; ++x) {
      uint8* d = reinterpret_cast<uint8*>(pm.baseAddr) + size_t(y) * PixMap_RowBytes(pm) + size_t(x) * 4;
      const uint8* s = &src.rgb[size_t((y * 50 + x) * 3)];
      d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = 0;
    }
  Ptr buf = nullptr;
  ASSERT_EQ(Compress_JPEG(pm, buf), 0);
  ASSERT_NE(buf, nullptr);
  const uint32 n = Ptr_GetSize(buf);
  ASSERT_TRUE(Write_Bytes(P("c.jpg"), std::vector<uint8>(buf, buf + n)));
  ASSERT_TRUE(Run_Tool(djpeg_ + " -ppm '" + P("c.jpg") + "' > '" + P("c.ppm") + "'"));
  Image back;
  ASSERT_TRUE(Read_PNM(P("c.ppm"), back));
  EXPECT_LE(Max_Diff(back, src), 4);  // the highest quality, no subsampling
  // And it expands again.
  EXPECT_EQ(Expand_JPEG(50, 20, 32, reinterpret_cast<const uint8*>(buf), n, expand_), JPEG_OK);
  Dispose_Ptr(buf);
  Dispose_PixMap(pm);

  PixMap p8;
  New_PixMap(p8, Rect{0, 0, 4, 4}, 8, nullptr);
  EXPECT_EQ(Compress_JPEG(p8, buf), -1);
  EXPECT_EQ(buf, nullptr);
  Dispose_PixMap(p8);
}

TEST_F(JpegTest, ScanJpegOnlyChecksTheHeader) {
  Image want;
  Stream(16, 16, "", want);
  a_picture_scan_rec scan;
  Clear_Scan_Rec(scan);
  a_file_format fmt = FMT_DISC;
  EXPECT_EQ(Scan_JPEG(Spec(P("s.jpg")), scan, fmt), -100);
  EXPECT_EQ(scan.body.fore, nullptr);
  EXPECT_EQ(Scan_JPEG(Spec(P("in.ppm")), scan, fmt), -2);
  EXPECT_EQ(Scan_JPEG(Spec(P("missing.jpg")), scan, fmt), -2);
  const std::vector<uint8> s = Read_Bytes(P("s.jpg"));
  ASSERT_TRUE(Write_Bytes(P("cut.jpg"), std::vector<uint8>(s.begin(), s.begin() + 6)));
  EXPECT_EQ(Scan_JPEG(Spec(P("cut.jpg")), scan, fmt), -3);
}

}  // namespace
