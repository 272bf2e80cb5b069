// The picture importer and exporter: files written by independent tools
// (libjpeg-turbo's cjpeg, netpbm, ImageMagick) imported and compared pixel
// for pixel with what ImageMagick reads from the same file; masks from alpha
// channels and transparent colours; the colour spaces refused; damaged files;
// the import of file bytes kept in memory; and every export format read back
// by the independent tools.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ImageTestUtil.h"
#include "TestSupport.h"
#include "host/HostCodecs.h"
#include "host/HostFiles.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/ParsQuik.h"
#include "platform/SysIO.h"
#include "platform/SysMem.h"
#include "platform/SysWin.h"

using namespace imgtest;

namespace {

// RGBA pixels, 4 bytes each, red first.
struct Rgba {
  int w = 0, h = 0;
  std::vector<uint8> px;
};

// The scan's fore world as RGBA.
Rgba Fore_Rgba(const a_picture_scan_rec& scan) {
  Rgba out;
  if (scan.body.fore == nullptr) return out;
  const PixMap& pm = *Get_GWorld_PixMap(scan.body.fore);
  EXPECT_EQ(pm.pixelSize, 32);
  out.w = pm.bounds.right - pm.bounds.left;
  out.h = pm.bounds.bottom - pm.bounds.top;
  for (int y = 0; y < out.h; ++y) {
    const auto* row = reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(y) * PixMap_RowBytes(pm);
    for (int x = 0; x < out.w; ++x)
      out.px.insert(out.px.end(), {row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]});
  }
  return out;
}

// The mask byte at (x, y), or 255 when there is no mask.
uint8 Mask_At(const a_picture_scan_rec& scan, int x, int y) {
  if (scan.body.mask == nullptr) return 255;
  const PixMap& pm = *Get_GWorld_PixMap(scan.body.mask);
  EXPECT_EQ(pm.pixelSize, 8);
  return reinterpret_cast<const uint8*>(pm.baseAddr)[size_t(y) * PixMap_RowBytes(pm) + size_t(x)];
}

std::string Codec_Text(const a_picture_scan_rec& scan) { return std::string(scan.codec, 4); }

// Writes a PAM with alpha (RGB_ALPHA), red first.
bool Write_PAM(const std::string& path, const Rgba& img) {
  std::string head = "P7\nWIDTH " + std::to_string(img.w) + "\nHEIGHT " + std::to_string(img.h) +
                     "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  std::vector<uint8> bytes(head.begin(), head.end());
  bytes.insert(bytes.end(), img.px.begin(), img.px.end());
  return Write_Bytes(path, bytes);
}

// A picture with an alpha ramp: opaque, clear and partly covered areas.
Rgba Alpha_Pattern(int w, int h) {
  const Image base = Test_Pattern(w, h);
  Rgba img{w, h, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8* c = &base.rgb[size_t((y * w + x) * 3)];
      const uint8 a = x < w / 4 ? 255 : x < w / 2 ? 0 : uint8(40 + (x * 200 / w));
      img.px.insert(img.px.end(), {c[0], c[1], c[2], a});
    }
  return img;
}

// A picture of four colours (for palette formats); pure green among them.
Image Palette_Pattern(int w, int h) {
  static const uint8 kColours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {250, 240, 10}};
  Image img;
  img.w = w, img.h = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8* c = kColours[(x / 3 + y / 5) % 4];
      img.rgb.insert(img.rgb.end(), c, c + 3);
    }
  return img;
}

class QuikTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = Make_Temp_Dir();
    ASSERT_FALSE(dir_.empty());
    convert_ = Find_Tool("convert");
  }
  void TearDown() override {
    Free_Scan(scan_);
    Remove_Dir(dir_);
  }
  std::string P(const std::string& name) const { return dir_ + "/" + name; }

  // Runs a shell command with "{convert}", "{cjpeg}" ... replaced by the
  // tools' paths and "{dir}" by the test folder. FALSE (and a note) when a
  // tool is missing.
  bool Make(std::string cmd) {
    for (const char* tool : {"convert", "cjpeg", "djpeg", "pnmtopng", "tifftopnm", "bmptopnm"}) {
      const std::string key = std::string("{") + tool + "}";
      for (size_t pos; (pos = cmd.find(key)) != std::string::npos;) {
        const std::string path = Find_Tool(tool);
        if (path.empty()) {
          missing_ = tool;
          return false;
        }
        cmd.replace(pos, key.size(), path);
      }
    }
    for (size_t pos; (pos = cmd.find("{dir}")) != std::string::npos;) cmd.replace(pos, 5, dir_);
    return Run_Tool(cmd);
  }

  int16 Import(const std::string& path) {
    Free_Scan(scan_);
    a_file_format fmt = FMT_DISC;
    return Scan_Quicktime(Spec(path), scan_, fmt);
  }

  // ImageMagick's own reading of a file, as RGBA.
  bool Oracle(const std::string& path, Rgba& out) {
    if (convert_.empty()) return false;
    const std::string raw = path + ".rgba";
    std::string size = P("size.txt");
    if (!Run_Tool(convert_ + " '" + path + "[0]' -format '%w %h' info: > '" + size + "'")) return false;
    const std::vector<uint8> s = Read_Bytes(size);
    if (std::sscanf(std::string(s.begin(), s.end()).c_str(), "%d %d", &out.w, &out.h) != 2) return false;
    if (!Run_Tool(convert_ + " '" + path + "[0]' -depth 8 rgba:'" + raw + "'")) return false;
    out.px = Read_Bytes(raw);
    return out.px.size() == size_t(out.w) * size_t(out.h) * 4;
  }

  std::string dir_, convert_, missing_;
  a_picture_scan_rec scan_{};
};


// --- Imports compared with an independent reader ---------------------------------------

struct ImportCase {
  const char* name;
  const char* make;   // shell command writing {dir}/f.<ext>
  const char* file;
  const char* codec;
  int tolerance;      // largest channel difference against ImageMagick where opaque
  bool alpha;         // the picture has transparent parts
  bool own_partial = false;  // partly covered colours are compared with the source, not
                             // with ImageMagick (which reads its own PSD composite
                             // back premultiplied)
};

// in.ppm: the test pattern; in.pam: with alpha; pal.ppm: four colours;
// grey2.pgm: a 2-bit grey ramp; deep.ppm: 16-bit samples.
const ImportCase kImportCases[] = {
    {"png_rgb", "{pnmtopng} {dir}/in.ppm > {dir}/f.png", "f.png", "PNGf", 0, false},
    {"png_interlaced", "{pnmtopng} -interlace {dir}/in.ppm > {dir}/f.png", "f.png", "PNGf", 0, false},
    {"png_grey_2bit", "{pnmtopng} {dir}/grey2.pgm > {dir}/f.png", "f.png", "PNGf", 0, false},
    {"png_grey_8bit", "{convert} {dir}/in.ppm -colorspace Gray -depth 8 PNG8:{dir}/f.png", "f.png",
     "PNGf", 0, false},
    {"png_16bit", "{pnmtopng} {dir}/deep.ppm > {dir}/f.png", "f.png", "PNGf", 1, false},
    {"png_palette", "{convert} {dir}/pal.ppm PNG8:{dir}/f.png", "f.png", "PNGf", 0, false},
    {"png_rgba", "{convert} {dir}/in.pam PNG32:{dir}/f.png", "f.png", "PNGf", 0, true},
    {"png_rgba_16bit", "{convert} {dir}/in.pam -depth 16 PNG64:{dir}/f.png", "f.png", "PNGf", 1, true},
    {"tiff_raw", "{convert} {dir}/in.ppm -compress None {dir}/f.tif", "f.tif", "TIFF", 0, false},
    {"tiff_lzw", "{convert} {dir}/in.ppm -compress LZW {dir}/f.tif", "f.tif", "TIFF", 0, false},
    {"tiff_zip_tiled", "{convert} {dir}/in.ppm -compress Zip -define tiff:tile-geometry=16x16 {dir}/f.tif",
     "f.tif", "TIFF", 0, false},
    {"tiff_grey", "{convert} {dir}/in.ppm -colorspace Gray {dir}/f.tif", "f.tif", "TIFF", 0, false},
    {"tiff_palette", "{convert} {dir}/pal.ppm -type Palette {dir}/f.tif", "f.tif", "TIFF", 0, false},
    {"tiff_16bit", "{convert} {dir}/deep.ppm -depth 16 {dir}/f.tif", "f.tif", "TIFF", 1, false},
    {"tiff_rgba", "{convert} {dir}/in.pam {dir}/f.tif", "f.tif", "TIFF", 0, true},
    {"tiff_jpeg", "{convert} {dir}/in.ppm -compress JPEG {dir}/f.tif", "f.tif", "TIFF", 4, false},
    {"psd_rle", "{convert} {dir}/in.ppm {dir}/f.psd", "f.psd", "8BPS", 0, false},
    {"psd_raw", "{convert} {dir}/in.ppm -compress None {dir}/f.psd", "f.psd", "8BPS", 0, false},
    {"psd_grey", "{convert} {dir}/in.ppm -colorspace Gray {dir}/f.psd", "f.psd", "8BPS", 0, false},
    {"psd_16bit", "{convert} {dir}/deep.ppm -depth 16 {dir}/f.psd", "f.psd", "8BPS", 1, false},
    {"psd_rgba", "{convert} {dir}/in.pam {dir}/f.psd", "f.psd", "8BPS", 0, true, true},
    {"jpeg_baseline", "{cjpeg} -quality 90 {dir}/in.ppm > {dir}/f.jpg", "f.jpg", "JPEG", 2, false},
    {"jpeg_progressive", "{cjpeg} -progressive {dir}/in.ppm > {dir}/f.jpg", "f.jpg", "JPEG", 2, false},
    {"jpeg_grey", "{cjpeg} -grayscale {dir}/in.ppm > {dir}/f.jpg", "f.jpg", "JPEG", 2, false},
    {"gif", "{convert} {dir}/pal.ppm {dir}/f.gif", "f.gif", "GIFf", 0, false},
    {"bmp", "{convert} {dir}/in.ppm BMP3:{dir}/f.bmp", "f.bmp", "BMPf", 0, false},
    {"pict", "{convert} {dir}/in.ppm PICT:{dir}/f.pct", "f.pct", "PICT", 0, false},
};

TEST_F(QuikTest, ImportsWhatImageMagickReads) {
  REQUIRE_TOOL("convert");
  const int w = 37, h = 23;  // odd sizes: row padding and partial tiles
  ASSERT_TRUE(Write_PPM(P("in.ppm"), Test_Pattern(w, h)));
  const Rgba source = Alpha_Pattern(w, h);
  ASSERT_TRUE(Write_PAM(P("in.pam"), source));
  ASSERT_TRUE(Write_PPM(P("pal.ppm"), Palette_Pattern(w, h)));
  {
    std::string head = "P5\n" + std::to_string(w) + " " + std::to_string(h) + "\n3\n";
    std::vector<uint8> b(head.begin(), head.end());
    for (int i = 0; i < w * h; ++i) b.push_back(uint8(i % 4));
    ASSERT_TRUE(Write_Bytes(P("grey2.pgm"), b));
    head = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n65535\n";
    b.assign(head.begin(), head.end());
    for (int i = 0; i < w * h * 3; ++i) {
      const uint16 v = uint16(i * 977 + 13);
      b.push_back(uint8(v >> 8));
      b.push_back(uint8(v));
    }
    ASSERT_TRUE(Write_Bytes(P("deep.ppm"), b));
  }
  for (const ImportCase& c : kImportCases) {
    SCOPED_TRACE(c.name);
    std::remove(P(c.file).c_str());
    if (!Make(c.make)) {
      if (!missing_.empty()) {
        ADD_FAILURE() << Missing_Tool_Message(missing_);
        missing_.clear();
        continue;
      }
      ADD_FAILURE() << "could not write the file";
      continue;
    }
    Rgba want;
    ASSERT_TRUE(Oracle(P(c.file), want));
    ASSERT_EQ(Import(P(c.file)), 0);
    EXPECT_EQ(Codec_Text(scan_), c.codec);
    const Rgba got = Fore_Rgba(scan_);
    ASSERT_EQ(got.w, want.w);
    ASSERT_EQ(got.h, want.h);
    EXPECT_TRUE(scan_.body.bounds == (Rect{0, 0, int16(h), int16(w)}));
    int worst = 0;
    bool some_clear = false;
    for (int i = 0; i < w * h; ++i) {
      const uint8* g = &got.px[size_t(i) * 4];
      const uint8* e = &want.px[size_t(i) * 4];
      if (c.own_partial && e[3] != 0 && e[3] != 255) e = &source.px[size_t(i) * 4];
      // The mask carries the alpha exactly.
      ASSERT_EQ(Mask_At(scan_, i % w, i / w), c.alpha ? e[3] : 255) << "pixel " << i;
      if (e[3] == 0) {
        some_clear = true;
        continue;  // colour under full transparency is not kept by every format
      }
      // Partly covered colours come back from premultiplied (TIFF) or matted
      // (PSD) data, whose rounding grows as 1 / alpha; opaque ones must match.
      const int tol = e[3] == 255 ? c.tolerance : std::max(c.tolerance, 1 + 255 / e[3]);
      for (int k = 0; k < 3; ++k) worst = std::max(worst, std::abs(int(g[k]) - int(e[k])) - tol);
    }
    EXPECT_LE(worst, 0) << "channel difference beyond the tolerance";
    EXPECT_EQ(scan_.body.mask != nullptr, c.alpha);
    EXPECT_EQ(some_clear, c.alpha);
    // The importers leave the colour table and the transparency fields alone.
    EXPECT_EQ(scan_.transp, 0);
    EXPECT_EQ(scan_.ctable[1].raw, 0u);
  }
}

// Where a lossless file came from our own pattern, the import equals it
// exactly (not merely what another reader makes of it).
TEST_F(QuikTest, LosslessImportEqualsTheSource) {
  REQUIRE_TOOL("pnmtopng");
  const Image src = Test_Pattern(64, 33);
  ASSERT_TRUE(Write_PPM(P("in.ppm"), src));
  ASSERT_TRUE(Make("{pnmtopng} {dir}/in.ppm > {dir}/f.png"));
  ASSERT_EQ(Import(P("f.png")), 0);
  const Rgba got = Fore_Rgba(scan_);
  for (size_t i = 0; i < size_t(64 * 33); ++i) {
    ASSERT_EQ(got.px[i * 4 + 0], src.rgb[i * 3 + 0]);
    ASSERT_EQ(got.px[i * 4 + 1], src.rgb[i * 3 + 1]);
    ASSERT_EQ(got.px[i * 4 + 2], src.rgb[i * 3 + 2]);
    ASSERT_EQ(got.px[i * 4 + 3], 255);
  }
  EXPECT_EQ(scan_.body.mask, nullptr);
}

// --- Transparent colours of palette pictures -----------------------------------------

TEST_F(QuikTest, TransparentColourOfPalettePicturesTurnsWhiteAndMasked) {
  REQUIRE_TOOL("convert");
  const Image pal = Palette_Pattern(20, 10);
  ASSERT_TRUE(Write_PPM(P("pal.ppm"), pal));
  for (const char* out : {"GIF:{dir}/t.gif", "PNG8:{dir}/t.png"}) {
    SCOPED_TRACE(out);
    const std::string file = std::string(out).substr(std::string(out).find('}') + 2);
    ASSERT_TRUE(Make(std::string("{convert} {dir}/pal.ppm -transparent 'rgb(0,0,255)' ") + out));
    ASSERT_EQ(Import(P(file)), 0);
    ASSERT_NE(scan_.body.mask, nullptr);
    const Rgba got = Fore_Rgba(scan_);
    for (int i = 0; i < 200; ++i) {
      const uint8* s = &pal.rgb[size_t(i) * 3];
      const uint8* g = &got.px[size_t(i) * 4];
      const bool clear = s[0] == 0 && s[1] == 0 && s[2] == 255;
      ASSERT_EQ(Mask_At(scan_, i % 20, i / 20), clear ? 0 : 255) << i;
      if (clear) {
        ASSERT_EQ(g[0] & g[1] & g[2] & g[3], 255) << "transparent pixels are white";
      } else {
        // Pure green stays an ordinary opaque colour.
        ASSERT_EQ(std::vector<uint8>(g, g + 4), std::vector<uint8>({s[0], s[1], s[2], 255})) << i;
      }
    }
  }
}

TEST_F(QuikTest, WhollyOpaqueOrWhollyClearPicturesGetNoMask) {
  HostImageSource src{};
  std::vector<uint8> px(16 * 8 * 4, 0);  // all clear
  src = HostImageSource{px.data(), 16, 8, 64, 72};
  std::vector<uint8> png;
  ASSERT_EQ(Host_Encode_PNG(src, true, png), HC_OK);
  ASSERT_EQ(Scan_Quicktime_Buf(png.data(), png.size(), scan_), 0);
  EXPECT_EQ(scan_.body.mask, nullptr);
  Free_Scan(scan_);
  for (size_t i = 3; i < px.size(); i += 4) px[i] = 255;  // all opaque
  ASSERT_EQ(Host_Encode_PNG(src, true, png), HC_OK);
  ASSERT_EQ(Scan_Quicktime_Buf(png.data(), png.size(), scan_), 0);
  EXPECT_EQ(scan_.body.mask, nullptr);
  Free_Scan(scan_);
  px[3] = 0;  // one clear pixel
  ASSERT_EQ(Host_Encode_PNG(src, true, png), HC_OK);
  ASSERT_EQ(Scan_Quicktime_Buf(png.data(), png.size(), scan_), 0);
  ASSERT_NE(scan_.body.mask, nullptr);
  EXPECT_EQ(Mask_At(scan_, 0, 0), 0);
  EXPECT_EQ(Mask_At(scan_, 1, 0), 255);
}

// --- Photoshop modes no tool here writes -----------------------------------------------

// A PSD of one channel: header, the colour mode data, the resources, no
// layers, then the channel data as given.
std::vector<uint8> Psd_One_Channel(uint16 mode, uint16 depth, int w, int h,
                                   const std::vector<uint8>& cmdata, const std::vector<uint8>& res,
                                   const std::vector<uint8>& image) {
  std::vector<uint8> v = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 1};
  auto put32 = [&](uint32 x) { v.insert(v.end(), {uint8(x >> 24), uint8(x >> 16), uint8(x >> 8), uint8(x)}); };
  put32(uint32(h));
  put32(uint32(w));
  v.insert(v.end(), {uint8(depth >> 8), uint8(depth), uint8(mode >> 8), uint8(mode)});
  put32(uint32(cmdata.size()));
  v.insert(v.end(), cmdata.begin(), cmdata.end());
  put32(uint32(res.size()));
  v.insert(v.end(), res.begin(), res.end());
  put32(0);
  v.insert(v.end(), image.begin(), image.end());
  return v;
}

TEST_F(QuikTest, PhotoshopIndexedAndBitmapModes) {
  // Indexed, 3 x 2, run-length packed, index 2 transparent (resource 1047).
  std::vector<uint8> pal(768, 0);
  for (int i = 0; i < 256; ++i) pal[size_t(i)] = uint8(i * 10), pal[size_t(256 + i)] = 7, pal[size_t(512 + i)] = uint8(255 - i);
  const std::vector<uint8> res = {'8', 'B', 'I', 'M', 0x04, 0x17, 0, 0, 0, 0, 0, 2, 0, 2};
  // Row 0: literal 1, 2, 3; row 1: the run 2, 2, 2.
  const std::vector<uint8> rle = {0, 1, 0, 4, 0, 2, 2, 1, 2, 3, 0xFE, 2};
  std::vector<uint8> psd = Psd_One_Channel(2, 8, 3, 2, pal, res, rle);
  ASSERT_EQ(Scan_Quicktime_Buf(psd.data(), psd.size(), scan_), 0);
  EXPECT_EQ(Codec_Text(scan_), "8BPS");
  Rgba got = Fore_Rgba(scan_);
  EXPECT_EQ(std::vector<uint8>(got.px.begin(), got.px.begin() + 4), (std::vector<uint8>{10, 7, 254, 255}));
  EXPECT_EQ(std::vector<uint8>(got.px.begin() + 4, got.px.begin() + 8), (std::vector<uint8>{255, 255, 255, 255}));
  EXPECT_EQ(Mask_At(scan_, 1, 0), 0);
  EXPECT_EQ(Mask_At(scan_, 2, 0), 255);
  EXPECT_EQ(Mask_At(scan_, 0, 1), 0);
  Free_Scan(scan_);

  // A run that overflows its row, and a count table that runs past the data.
  std::vector<uint8> bad = rle;
  bad[10] = 0xFD;  // four copies into a row of three
  psd = Psd_One_Channel(2, 8, 3, 2, pal, res, bad);
  EXPECT_EQ(Scan_Quicktime_Buf(psd.data(), psd.size(), scan_), QUIK_ERR_DATA);
  bad = rle;
  bad[3] = 40;
  psd = Psd_One_Channel(2, 8, 3, 2, pal, res, bad);
  EXPECT_EQ(Scan_Quicktime_Buf(psd.data(), psd.size(), scan_), QUIK_ERR_DATA);
  EXPECT_EQ(scan_.body.fore, nullptr);

  // Bitmap mode, 10 x 1, raw: set bits are black.
  psd = Psd_One_Channel(0, 1, 10, 1, {}, {}, {0, 0, 0xA0, 0x40});
  ASSERT_EQ(Scan_Quicktime_Buf(psd.data(), psd.size(), scan_), 0);
  got = Fore_Rgba(scan_);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(got.px[size_t(x) * 4], (x == 0 || x == 2 || x == 9) ? 0 : 255) << x;
  EXPECT_EQ(scan_.body.mask, nullptr);
}

// --- Refusals -------------------------------------------------------------------------

TEST_F(QuikTest, NonRgbColourSpacesAreRefusedWithTheDepthCode) {
  REQUIRE_TOOL("convert");
  ASSERT_TRUE(Write_PPM(P("in.ppm"), Test_Pattern(16, 16)));
  const char* cases[] = {
      "{convert} {dir}/in.ppm -colorspace CMYK {dir}/f.jpg",
      "{convert} {dir}/in.ppm -colorspace CMYK {dir}/f.tif",
      "{convert} {dir}/in.ppm -colorspace CMYK {dir}/f.psd",
      "{convert} {dir}/in.ppm -colorspace Lab {dir}/f.tif",
      "{convert} {dir}/in.ppm -depth 32 {dir}/f.tif",  // 32-bit samples
  };
  for (const char* make : cases) {
    SCOPED_TRACE(make);
    ASSERT_TRUE(Make(make));
    const std::string cmd(make);
    const std::string file = cmd.substr(cmd.rfind('/') + 1);
    EXPECT_EQ(Import(P(file)), QUIK_ERR_DEPTH);
    EXPECT_EQ(scan_.body.fore, nullptr);
    EXPECT_EQ(scan_.body.mask, nullptr);
    std::remove(P(file).c_str());
  }
}

TEST_F(QuikTest, SideLimitAndPixelLimit) {
  // Our own encoder writes these: the sizes are what matter here.
  for (int w : {32767, 32768}) {
    std::vector<uint8> px(size_t(w) * 2 * 4, 0x80);
    std::vector<uint8> png;
    ASSERT_EQ(Host_Encode_PNG(HostImageSource{px.data(), w, 2, size_t(w) * 4, 72}, false, png), HC_OK);
    EXPECT_EQ(Scan_Quicktime_Buf(png.data(), png.size(), scan_), w == 32767 ? 0 : QUIK_ERR_TOO_LARGE);
    EXPECT_EQ(scan_.body.fore != nullptr, w == 32767);
    Free_Scan(scan_);
  }
  // The height is limited the same way.
  for (int h : {32767, 32768}) {
    std::vector<uint8> px(size_t(h) * 4, 0x80), png;
    ASSERT_EQ(Host_Encode_PNG(HostImageSource{px.data(), 1, h, 4, 72}, false, png), HC_OK);
    EXPECT_EQ(Scan_Quicktime_Buf(png.data(), png.size(), scan_), h == 32767 ? 0 : QUIK_ERR_TOO_LARGE);
    Free_Scan(scan_);
  }
  // Beyond the pixel limit nothing is made.
  std::vector<uint8> px(size_t(20000) * 4, 0x80), png;
  ASSERT_EQ(Host_Encode_PNG(HostImageSource{px.data(), 1, 20000, 4, 72}, false, png), HC_OK);
  const uint64 saved = g_scan_max_pixels;
  g_scan_max_pixels = 19999;
  EXPECT_EQ(Scan_Quicktime_Buf(png.data(), png.size(), scan_), QUIK_ERR_NOMEM);
  EXPECT_EQ(scan_.body.fore, nullptr);
  g_scan_max_pixels = saved;
}

// A JPEG header that declares a huge picture over a few bytes of data is
// refused before anything of that size is allocated.
TEST_F(QuikTest, HugeDeclaredSizeIsRefusedUpFront) {
  std::vector<uint8> px(8 * 8 * 4, 0x40), jpg;
  ASSERT_EQ(Host_Encode_JPEG(HostImageSource{px.data(), 8, 8, 32, 72}, 80, jpg), HC_OK);
  // The SOF0 marker's height and width: 65000 x 65000.
  for (size_t i = 0; i + 8 < jpg.size(); ++i)
    if (jpg[i] == 0xFF && jpg[i + 1] == 0xC0) {
      jpg[i + 5] = jpg[i + 7] = 0xFD;
      jpg[i + 6] = jpg[i + 8] = 0xE8;
      break;
    }
  EXPECT_EQ(Scan_Quicktime_Buf(jpg.data(), jpg.size(), scan_), QUIK_ERR_TOO_LARGE);
  // 4200 wide, 32767 high: within the side limit, beyond the pixel limit.
  for (size_t i = 0; i + 8 < jpg.size(); ++i)
    if (jpg[i] == 0xFF && jpg[i + 1] == 0xC0) {
      jpg[i + 5] = 0x7F;
      jpg[i + 6] = 0xFF;
      jpg[i + 7] = 0x10;
      jpg[i + 8] = 0x68;
      break;
    }
  EXPECT_EQ(Scan_Quicktime_Buf(jpg.data(), jpg.size(), scan_), QUIK_ERR_NOMEM);
  EXPECT_EQ(scan_.body.fore, nullptr);
  // A PSD that declares 30000 x 30000 with no data.
  std::vector<uint8> psd = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 3,
                            0, 0, 0x75, 0x30, 0, 0, 0x0F, 0xFF, 0, 8, 0, 3};
  psd.insert(psd.end(), 14, 0);  // three empty sections, raw data
  EXPECT_EQ(Scan_Quicktime_Buf(psd.data(), psd.size(), scan_), QUIK_ERR_DATA);
  EXPECT_EQ(scan_.body.fore, nullptr);
}

TEST_F(QuikTest, DamagedFilesAreRefusedWithCodes) {
  REQUIRE_TOOL("convert");
  ASSERT_TRUE(Write_PPM(P("in.ppm"), Test_Pattern(64, 48)));
  struct Damage {
    const char* file;
    int16 truncated;  // result for the first half of the file (0: any non-zero code)
  };
  const Damage files[] = {{"f.png", QUIK_ERR_DATA}, {"f.jpg", QUIK_ERR_DATA},
                          {"f.psd", 0},             {"f.tif", 0},
                          {"f.gif", 0},             {"f.bmp", 0}};
  for (const Damage& d : files) {
    SCOPED_TRACE(d.file);
    ASSERT_TRUE(Make(std::string("{convert} {dir}/in.ppm {dir}/") + d.file));
    const std::vector<uint8> whole = Read_Bytes(P(d.file));
    ASSERT_GT(whole.size(), 100u);
    // Cut in half.
    std::vector<uint8> half(whole.begin(), whole.begin() + long(whole.size() / 2));
    const int16 r = Scan_Quicktime_Buf(half.data(), half.size(), scan_);
    if (d.truncated != 0)
      EXPECT_EQ(r, d.truncated);
    else
      EXPECT_NE(r, 0);
    EXPECT_EQ(scan_.body.fore, nullptr);
    // Cut right after the signature: no size can be had.
    std::vector<uint8> head(whole.begin(), whole.begin() + 8);
    EXPECT_NE(Scan_Quicktime_Buf(head.data(), head.size(), scan_), 0);
    EXPECT_EQ(scan_.body.fore, nullptr);
  }
  // Not a picture at all, an empty file, a missing file.
  ASSERT_TRUE(Write_Bytes(P("text.jpg"), std::vector<uint8>{'h', 'e', 'l', 'l', 'o'}));
  EXPECT_EQ(Import(P("text.jpg")), QUIK_ERR_NO_IMPORTER);
  ASSERT_TRUE(Write_Bytes(P("empty.png"), {}));
  EXPECT_EQ(Import(P("empty.png")), QUIK_ERR_NO_IMPORTER);
  EXPECT_EQ(Import(P("missing.png")), QUIK_ERR_NO_IMPORTER);
}

// A PNG whose data chunk is damaged fails its checksum.
TEST_F(QuikTest, CorruptPngDataIsRefused) {
  std::vector<uint8> px(32 * 32 * 4), png;
  for (size_t i = 0; i < px.size(); ++i) px[i] = uint8(i * 7);
  ASSERT_EQ(Host_Encode_PNG(HostImageSource{px.data(), 32, 32, 128, 72}, false, png), HC_OK);
  png[png.size() / 2] ^= 0x5A;
  EXPECT_EQ(Scan_Quicktime_Buf(png.data(), png.size(), scan_), QUIK_ERR_DATA);
  EXPECT_EQ(scan_.body.fore, nullptr);
}

// --- Import from memory ----------------------------------------------------------------

TEST_F(QuikTest, BytesInMemoryImportWithTheRecordedCodec) {
  REQUIRE_TOOL("cjpeg");
  ASSERT_TRUE(Write_PPM(P("in.ppm"), Test_Pattern(40, 30)));
  ASSERT_TRUE(Make("{cjpeg} {dir}/in.ppm > {dir}/f.jpg"));
  ASSERT_EQ(Import(P("f.jpg")), 0);
  char codec[4];
  std::memcpy(codec, scan_.codec, 4);
  ASSERT_EQ(std::string(codec, 4), "JPEG");
  const Rgba first = Fore_Rgba(scan_);

  const std::vector<uint8> bytes = Read_Bytes(P("f.jpg"));
  Handle h = New_Handle(uint32(bytes.size()));
  ASSERT_NE(h, nullptr);
  std::memcpy(Handle_Lock(h), bytes.data(), bytes.size());
  Handle_Unlock(h);

  a_picture_scan_rec again;
  Clear_Scan_Rec(again);
  ASSERT_TRUE(Scan_Quicktime_Hdl(codec, h, again));
  const Rgba second = Fore_Rgba(again);
  EXPECT_EQ(second.px, first.px);
  EXPECT_EQ(std::string(again.codec, 4), "JPEG");
  Free_Scan(again);
  EXPECT_FALSE(Is_Handle_Locked(h));

  // Another importer's code, an unknown one, or none: FALSE, scan untouched.
  for (const char* bad : {"PNGf", "qtif", "\0PEG"}) {
    char c[4];
    std::memcpy(c, bad, 4);
    a_picture_scan_rec s;
    Clear_Scan_Rec(s);
    s.body.bounds = Rect{1, 2, 3, 4};
    EXPECT_FALSE(Scan_Quicktime_Hdl(c, h, s));
    EXPECT_TRUE(s.body.bounds == (Rect{1, 2, 3, 4}));
    EXPECT_EQ(s.body.fore, nullptr);
  }
  Dispose_Handle(h);
}

// --- Export ---------------------------------------------------------------------------

class ExportTest : public QuikTest {
 protected:
  void SetUp() override {
    QuikTest::SetUp();
    src_ = Test_Pattern(45, 31);
    ASSERT_EQ(New_GWorld(Rect{0, 0, 31, 45}, 32, nullptr, world_), noErr);
    const PixMap& pm = *Get_GWorld_PixMap(world_);
    for (int y = 0; y < 31; ++y) {
      auto* row = reinterpret_cast<uint8*>(pm.baseAddr) + size_t(y) * PixMap_RowBytes(pm);
      for (int x = 0; x < 45; ++x) {
        const uint8* s = &src_.rgb[size_t((y * 45 + x) * 3)];
        // Alpha 0 as drawing leaves it: the exports must not take it as clear.
        row[4 * x] = s[2], row[4 * x + 1] = s[1], row[4 * x + 2] = s[0], row[4 * x + 3] = 0;
      }
    }
  }
  void TearDown() override {
    Dispose_GWorld(world_);
    QuikTest::TearDown();
  }
  Image src_;
  GWorldPtr world_ = nullptr;
};

// Mean channel difference.
double Mean_Diff(const Image& a, const Image& b) {
  if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 1000;
  double sum = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
  return sum / double(a.rgb.size());
}

TEST_F(ExportTest, EveryFormatReadsBackWithIndependentTools) {
  struct Case {
    a_file_format fmt;
    const char* file;
    const char* readback;  // writes {dir}/back.ppm
    bool lossy;
  };
  const Case cases[] = {
      {FMT_JPEG, "x.jpg", "{djpeg} -ppm {dir}/x.jpg > {dir}/back.ppm", true},
      {FMT_TIFF, "x.tif", "{tifftopnm} {dir}/x.tif > {dir}/back.ppm", false},
      {FMT_BMP, "x.bmp", "{bmptopnm} {dir}/x.bmp > {dir}/back.ppm", false},
      {FMT_PSD, "x.psd", "{convert} {dir}/x.psd -flatten PPM:{dir}/back.ppm", false},
      {FMT_PICT, "x.pct", "{convert} PICT:{dir}/x.pct PPM:{dir}/back.ppm", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_EQ(Export_World(c.fmt, 72, Spec(P(c.file)), FourCC("VLM4"), world_), 0);
    std::remove(P("back.ppm").c_str());
    if (!Make(c.readback)) {
      ASSERT_FALSE(missing_.empty()) << "the tool could not read the file";
      ADD_FAILURE() << Missing_Tool_Message(missing_);
      missing_.clear();
      continue;
    }
    Image back;
    ASSERT_TRUE(Read_PNM(P("back.ppm"), back));
    if (c.lossy) {
      // High quality: close on average; the test pattern's hard block edges
      // ring a little.
      EXPECT_LE(Mean_Diff(back, src_), 2.0);
      EXPECT_LE(Max_Diff(back, src_), 48);
    } else {
      EXPECT_EQ(Max_Diff(back, src_), 0);
    }
    // Our own importer reads what the tool reads.
    ASSERT_EQ(Import(P(c.file)), 0);
    const Rgba got = Fore_Rgba(scan_);
    Image mine;
    mine.w = got.w, mine.h = got.h;
    for (size_t i = 0; i < got.px.size(); i += 4) mine.rgb.insert(mine.rgb.end(), &got.px[i], &got.px[i] + 3);
    EXPECT_LE(Max_Diff(mine, back), c.lossy ? 1 : 0);
    EXPECT_EQ(scan_.body.mask, nullptr);
  }
}

TEST_F(ExportTest, ResolutionIsRecorded) {
  REQUIRE_TOOL("convert");
  for (auto [fmt, file] : {std::pair{FMT_JPEG, "r.jpg"}, std::pair{FMT_TIFF, "r.tif"},
                           std::pair{FMT_PSD, "r.psd"}, std::pair{FMT_BMP, "r.bmp"}}) {
    SCOPED_TRACE(file);
    ASSERT_EQ(Export_World(fmt, 300, Spec(P(file)), 0, world_), 0);
    ASSERT_TRUE(Run_Tool(convert_ + " '" + P(file) + "' -units PixelsPerInch -format '%x' info: > '" +
                         P("res.txt") + "'"));
    const std::vector<uint8> t = Read_Bytes(P("res.txt"));
    EXPECT_NEAR(std::atof(std::string(t.begin(), t.end()).c_str()), 300.0, 0.5);
  }
}

TEST_F(ExportTest, ReplacesAnExistingFileButKeepsItOnFailure) {
  const std::string path = P("old.jpg");
  ASSERT_TRUE(Write_Bytes(path, std::vector<uint8>(10, 'x')));
  ASSERT_EQ(Export_World(FMT_JPEG, 72, Spec(path), 0, world_), 0);
  EXPECT_TRUE(Host_Is_JPEG(Read_Bytes(path).data(), Read_Bytes(path).size()));

  // A write that fails leaves the old file as it was.
  ASSERT_TRUE(Write_Bytes(path, std::vector<uint8>(10, 'x')));
  Host_Fail_Writes_After(100);
  EXPECT_EQ(Export_World(FMT_TIFF, 72, Spec(path), 0, world_), kExportIOErr);
  Host_Fail_Writes_After(-1);
  EXPECT_EQ(Read_Bytes(path), std::vector<uint8>(10, 'x'));

  // A folder that does not exist.
  EXPECT_EQ(Export_World(FMT_BMP, 72, Spec(P("no/such/x.bmp")), 0, world_), kExportIOErr);
}

TEST_F(ExportTest, PictWiderThanItsRowsCanHoldIsRefusedUntouched) {
  GWorldPtr wide = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 2, 4096}, 32, nullptr, wide), noErr);
  const std::string path = P("wide.pct");
  ASSERT_TRUE(Write_Bytes(path, std::vector<uint8>(3, 'y')));
  EXPECT_EQ(Export_World(FMT_PICT, 72, Spec(path), 0, wide), kExportParamErr);
  EXPECT_EQ(Read_Bytes(path), std::vector<uint8>(3, 'y'));
  // The other formats take it.
  EXPECT_EQ(Export_World(FMT_BMP, 72, Spec(P("wide.bmp")), 0, wide), 0);
  Dispose_GWorld(wide);
}

TEST_F(ExportTest, OtherFormatsAndWorldsAreInternalErrors) {
  EXPECT_THROW(Export_World(FMT_GIF, 72, Spec(P("x.gif")), 0, world_), QuitCalled);
  EXPECT_THROW(Export_World(FMT_JPEG, 72, Spec(P("x.jpg")), 0, nullptr), QuitCalled);
  GWorldPtr w8 = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 4, 4}, 8, nullptr, w8), noErr);
  EXPECT_THROW(Export_World(FMT_JPEG, 72, Spec(P("x.jpg")), 0, w8), QuitCalled);
  Dispose_GWorld(w8);
  EXPECT_FALSE(Host_Exists(P("x.gif").c_str()));
}

}  // namespace
