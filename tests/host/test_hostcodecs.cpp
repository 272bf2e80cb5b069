// The host codecs against hostile files: pictures that declare sizes far
// beyond their bytes are refused before anything of that size is allocated
// (shown in a child process under a memory cap of 1 GiB), and a palette TIFF
// whose colour map libtiff drops is reported as damaged, not read in grey.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../fixtures/hostile/HostileFixtures.h"
#include "TestSupport.h"
#include "host/HostCodecs.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/ParsQuik.h"

namespace {

std::vector<uint8> Read_File(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::string Hostile_Path(const std::string& name) { return Fixture_Path("hostile/" + name); }

int Decode(const std::vector<uint8>& b, HostImageBuffer& buf) {
  const HostImageSink sink = Host_Buffer_Sink(buf);
  if (Host_Is_PNG(b.data(), b.size())) return Host_Decode_PNG(b.data(), b.size(), sink);
  if (Host_Is_JPEG(b.data(), b.size())) return Host_Decode_JPEG(b.data(), b.size(), sink);
  if (Host_Is_TIFF(b.data(), b.size())) return Host_Decode_TIFF(b.data(), b.size(), sink);
  return -1;
}

// The picture import of the program over the same bytes.
int16 Import(const std::vector<uint8>& b) {
  a_picture_scan_rec scan;
  const int16 r = Scan_Quicktime_Buf(b.data(), b.size(), scan);
  Dispose_MW(scan.body);
  return r;
}

}  // namespace

TEST(HostileFixtures, CommittedFilesAreWhatTheGeneratorMakes) {
  for (const auto& [name, bytes] : hostile::All()) {
    EXPECT_EQ(Read_File(Hostile_Path(name)), bytes) << name << " differs from its generator";
  }
  EXPECT_EQ(hostile::Png_Wide().size(), 69u);
}

// Each file is decoded in a child process whose memory is capped at 1 GiB:
// by the address-space limit in the optimized build, by the allocator's own
// cap in the sanitizer build (whose shadow memory rules out an address-space
// limit). A decoder that allocated the declared size would fail with an
// out-of-memory code there, or be stopped by the sanitizer; a sound one
// gives the refusal of the size.
TEST(HostileFiles, HugeDeclaredSizesAreRefusedWithinOneGibibyte) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
#if defined(__SANITIZE_ADDRESS__)
  const char* old = std::getenv("ASAN_OPTIONS");
  const std::string saved = old ? old : "";
  // Read by the sanitizer when the child process starts.
  setenv("ASAN_OPTIONS", (saved + ":max_allocation_size_mb=1024:allocator_may_return_null=0").c_str(), 1);
#endif
  struct Case {
    const char* file;
    int buffer;    // with the plain buffer sink (64 million pixels)
    int16 import;  // through the picture import (32767 pixels a side at most)
  };
  const Case cases[] = {
      {"png_wide.png", HC_TOO_LARGE, QUIK_ERR_TOO_LARGE},
      {"jpeg_huge.jpg", HC_TOO_LARGE, QUIK_ERR_TOO_LARGE},
      {"tiff_huge.tif", HC_TOO_LARGE, QUIK_ERR_TOO_LARGE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<uint8> bytes = Read_File(Hostile_Path(c.file));
    ASSERT_FALSE(bytes.empty());
    auto child = [&](bool import) {
#if !defined(__SANITIZE_ADDRESS__)
      const rlimit cap{rlim_t(1) << 30, rlim_t(1) << 30};
      if (setrlimit(RLIMIT_AS, &cap) != 0) std::_Exit(3);
#endif
      HostImageBuffer buf;
      const int got = import ? Import(bytes) : Decode(bytes, buf);
      const int want = import ? c.import : c.buffer;
      if (got != want) {
        std::fprintf(stderr, "result %d, expected %d\n", got, want);
        std::_Exit(1);
      }
      std::_Exit(0);
    };
    EXPECT_EXIT(child(false), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(child(true), ::testing::ExitedWithCode(0), "");
  }
#if defined(__SANITIZE_ADDRESS__)
  setenv("ASAN_OPTIONS", saved.c_str(), 1);
#endif
}

// A PNG within the sink's limit but beyond libpng's own (a million pixels
// a side) is refused as a bad header, and the sink's limit is asked first.
TEST(HostPng, LibpngKeepsItsOwnSizeLimits) {
  std::vector<uint8> png = hostile::Png_Wide();
  // Width 2,000,000 (the IHDR's checksum is made again).
  const uint32 w = 2000000;
  png[16] = uint8(w >> 24), png[17] = uint8(w >> 16), png[18] = uint8(w >> 8), png[19] = uint8(w);
  const uint32 crc = hostile::Crc32(png.data() + 12, 17);
  png[29] = uint8(crc >> 24), png[30] = uint8(crc >> 16), png[31] = uint8(crc >> 8), png[32] = uint8(crc);
  HostImageBuffer buf;
  EXPECT_EQ(Host_Decode_PNG(png.data(), png.size(), Host_Buffer_Sink(buf)), HC_BAD_HEADER);
  buf.max_pixels = 1000000;
  EXPECT_EQ(Host_Decode_PNG(png.data(), png.size(), Host_Buffer_Sink(buf)), HC_TOO_LARGE);
  EXPECT_TRUE(buf.pixels.empty());
}

// libtiff drops a colour map that is cut short or lies past the end of the
// data, with no more than a warning, and calls the picture grey.
TEST(HostTiff, PaletteWithoutItsWholeColourMapIsDamaged) {
  auto palette = [](uint32 stored, uint32 declared) {
    std::vector<uint8> blocks = {0, 1, 2, 3, 3, 2, 1, 0};
    for (uint32 i = 0; i < stored; ++i) hostile::Le16(blocks, (i % 256) * 257);  // grey ramp
    return hostile::Tiff(blocks, {{256, hostile::kShort, 1, 4},
                                  {257, hostile::kShort, 1, 2},
                                  {258, hostile::kShort, 1, 8},
                                  {259, hostile::kShort, 1, 1},
                                  {262, hostile::kShort, 1, 3},
                                  {273, hostile::kLong, 1, 8},
                                  {277, hostile::kShort, 1, 1},
                                  {278, hostile::kShort, 1, 2},
                                  {279, hostile::kLong, 1, 8},
                                  {320, hostile::kShort, declared, 16}});
  };
  struct Case {
    const char* name;
    std::vector<uint8> bytes;
    int want;
  };
  const Case cases[] = {
      {"the fixture", Read_File(Hostile_Path("tiff_short_palette.tif")), HC_CORRUPT},
      {"count cut short", palette(48, 48), HC_CORRUPT},
      {"values past the end", palette(48, 768), HC_CORRUPT},
      {"whole colour map", palette(768, 768), HC_OK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HostImageBuffer buf;
    ASSERT_EQ(Decode(c.bytes, buf), c.want);
    if (c.want != HC_OK) {
      EXPECT_EQ(Import(c.bytes), QUIK_ERR_DATA);
      continue;
    }
    // Each channel of the map is a ramp: index i is the grey (i, i, i).
    ASSERT_EQ(buf.pixels.size(), 4u * 2 * 4);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(buf.pixels[size_t(4 * i + 2)], i) << "red of pixel " << i;
      EXPECT_EQ(buf.pixels[size_t(4 * i + 1)], i) << "green of pixel " << i;
      EXPECT_EQ(buf.pixels[size_t(4 * i + 0)], i) << "blue of pixel " << i;
    }
  }
}
