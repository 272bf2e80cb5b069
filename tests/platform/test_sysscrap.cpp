// Clipboard transport: what Scrap_Paste hands to which reader and in which
// order of preference, the text filter and its limits, pixel maps copied as
// bitmaps and pasted back, and clipboard data that must be refused.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "pixel/ParsBMP.h"
#include "host/HostAudio.h"
#include "host/HostBackend.h"
#include "host/HostClipboard.h"
#include "host/HostClock.h"
#include "host/HostCodecs.h"
#include "pixel/OP.h"
#include "pixel/ParsBMP.h"
#include "pixel/ParsQuik.h"
#include "PictLibWrite.h"
#include "pixel/SysPix.h"
#include "platform/SysIO.h"
#include "platform/SysScrap.h"
#include "platform/SysSound.h"
#include "platform/SysWin.h"

namespace {

// What the readers were given.
struct Pasted {
  std::string reader;  // "textr", "om", "ph", "text", "mw"
  std::vector<uint8> bytes;
  std::u16string text;
  int16 depth = 0;
  Rect bounds{};
  std::vector<std::vector<uint8>> rows;
};
std::vector<Pasted> g_pasted;
bool8 g_inject_result = true;

void Rec(const char* name, const uint8* d, uint32 n) {
  Pasted p;
  p.reader = name;
  p.bytes.assign(d, d + n);
  g_pasted.push_back(p);
}
void Textr(const uint8* d, uint32 n) { Rec("textr", d, n); }
void Om(const uint8* d, uint32 n) { Rec("om", d, n); }
void Ph(const uint8* d, uint32 n) { Rec("ph", d, n); }
bool8 Inject(CUStrSpan t, int32 max) {
  EXPECT_EQ(max, 3999);
  Pasted p;
  p.reader = "text";
  for (size_t i = 0; i < t.size() && t[i] != 0; ++i) p.text += t[i];
  g_pasted.push_back(p);
  return g_inject_result;
}
void Mw(a_picture_scan_rec& scan) {
  Pasted p;
  p.reader = "mw";
  const PixMap& pm = *Get_GWorld_PixMap(scan.body.fore);
  p.depth = pm.pixelSize;
  p.bounds = scan.body.bounds;
  const int32 w = pm.bounds.right - pm.bounds.left, h = pm.bounds.bottom - pm.bounds.top;
  const uint32 bytes = uint32(w) * uint32(pm.pixelSize) / 8;
  for (int32 y = 0; y < h; ++y) {
    const uint8* r = reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(y) * PixMap_RowBytes(pm);
    p.rows.emplace_back(r, r + bytes);
  }
  g_pasted.push_back(p);
}

std::vector<uint8> U16(const std::u16string& s) {
  std::vector<uint8> b((s.size() + 1) * 2, 0);
  std::memcpy(b.data(), s.data(), s.size() * 2);
  return b;
}

// A hand-made pixel map over our own rows.
struct TestMap {
  std::vector<uint8> pixels;
  PixMap pm{};
  TestMap(int16 depth, int16 w, int16 h, uint32 rowbytes) {
    pixels.assign(size_t(rowbytes) * uint32(h), 0);
    pm.baseAddr = reinterpret_cast<Ptr>(pixels.data());
    pm.rowBytes = int16(rowbytes);
    pm.rowBytes32 = rowbytes;
    pm.bounds = Rect{0, 0, h, w};
    pm.pixelSize = depth;
  }
  uint8* Row(int y) { return pixels.data() + size_t(y) * pm.rowBytes32; }
};

class SysScrap : public ::testing::Test {
 protected:
  void SetUp() override {
    ParsBMP_Init();  // the clipboard's bitmap reader
    Host_Clipboard_Reset();
    Host_Audio_Reset_Sink();
    Host_Clock_Set_Manual(true);
    g_pasted.clear();
    g_inject_result = true;
    Scrap_Set_Readers(a_scrap_readers{Textr, Om, Ph, Inject, Mw});
  }
  void TearDown() override {
    Scrap_Set_Readers(a_scrap_readers{});
    Host_Clipboard_Reset();
    Sound_Stop();
    OP_Stop();
    Host_Audio_Reset_Sink();
    Host_Clock_Set_Manual(false);
    if (!lib_.empty()) std::remove(lib_.c_str());
  }

  static void Put(uint32 format, const std::vector<uint8>& b) { Scrap_Add_Ptr(b.data(), uint32(b.size()), format); }
  static std::vector<uint8> Held(uint32 format) {
    Handle h = nullptr;
    Scrap_Get_Handle(h, format);
    if (h == nullptr) return {};
    const uint8* p = reinterpret_cast<const uint8*>(Handle_Lock(h));
    std::vector<uint8> out(p, p + Handle_GetSize(h));
    Dispose_Handle(h);
    return out;
  }
  static std::u16string Paste_Text(const std::u16string& s) {
    g_pasted.clear();
    Scrap_Clear();
    Put(SCRAP_UNICODETEXT, U16(s));
    EXPECT_TRUE(Scrap_Paste());
    EXPECT_EQ(g_pasted.size(), 1u);
    return g_pasted.empty() ? u"" : g_pasted[0].text;
  }

  // A picture library holding the refusal sound, so that playing it shows.
  void Refusal_Sound_Library() {
    std::vector<uint8> snd;
    std::string err;
    ASSERT_TRUE(Sound_Encode8(8000, {1, 2, 3}, snd, err)) << err;
    a_art_object o;
    o.key = a_keyset{SOUND_KEY_FAMILY, 0, SND_NULL, 0};
    o.data = snd;
    std::vector<uint8> bytes;
    ASSERT_TRUE(ArtLib_Build({o}, bytes, err)) << err;
    const char* t = std::getenv("TMPDIR");
    std::string tmpl = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-scrap-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    const int fd = ::mkstemp(buf.data());
    ASSERT_GE(fd, 0);
    ::close(fd);
    lib_ = buf.data();
    std::ofstream f(lib_, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    f.close();
    OP_Init();
    FSSpec spec;
    ASSERT_TRUE(Path_From_Text(spec, lib_.c_str()));
    ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY);
    Sound_Enable(true);
  }

  std::string lib_;
};

TEST_F(SysScrap, FirstFormatInTheOrderOfPreferenceIsPasted) {
  TestMap m(8, 2, 1, 4);
  struct Case {
    std::vector<uint32> formats;
    const char* reader;
  };
  const std::vector<Case> cases = {
      {{SCRAP_OM, SCRAP_UNICODETEXT}, "om"},
      {{SCRAP_DIB, SCRAP_UNICODETEXT, SCRAP_PH, SCRAP_OM, SCRAP_TEXTR}, "textr"},
      {{SCRAP_DIB, SCRAP_PH}, "ph"},
      {{SCRAP_DIB, SCRAP_UNICODETEXT}, "text"},
      {{SCRAP_DIB, SCRAP_TEXT}, "text"},
      {{SCRAP_DIB}, "mw"},
  };
  for (const Case& c : cases) {
    g_pasted.clear();
    Scrap_Clear();
    for (uint32 f : c.formats) {
      if (f == SCRAP_DIB) Scrap_Add_PixMap(m.pm);
      else if (f == SCRAP_UNICODETEXT) Put(f, U16(u"u"));
      else if (f == SCRAP_TEXT) Put(f, {'t', 0});
      else Put(f, {uint8(f & 0xFF), 0xAB});
    }
    EXPECT_TRUE(Scrap_Paste()) << c.reader;
    ASSERT_EQ(g_pasted.size(), 1u) << c.reader;
    EXPECT_EQ(g_pasted[0].reader, c.reader);
  }
  // A record arrives byte for byte.
  Scrap_Clear();
  Put(SCRAP_PH, {1, 0, 2, 0, 255});
  g_pasted.clear();
  ASSERT_TRUE(Scrap_Paste());
  EXPECT_EQ(g_pasted[0].bytes, (std::vector<uint8>{1, 0, 2, 0, 255}));
  // Nothing there: nothing pasted.
  Scrap_Clear();
  g_pasted.clear();
  EXPECT_FALSE(Scrap_Paste());
  EXPECT_TRUE(g_pasted.empty());
  // The clipboard is closed again after every paste.
  EXPECT_FALSE(Host_Clipboard_Is_Open());
}

TEST_F(SysScrap, AddingKeepsWhatIsThereUntilCleared) {
  Put(SCRAP_OM, {1});
  Put(SCRAP_UNICODETEXT, U16(u"x"));
  uint32 kind = 0;
  EXPECT_TRUE(Is_Scrap_Available(kind, SCRAP_OM));
  EXPECT_EQ(kind, SCRAP_OM);
  EXPECT_TRUE(Is_Scrap_Available(kind, SCRAP_UNICODETEXT));
  EXPECT_EQ(Held(SCRAP_OM), std::vector<uint8>{1});
  EXPECT_TRUE(Held(SCRAP_PH).empty());
  Scrap_Clear();
  EXPECT_FALSE(Is_Scrap_Available(kind, SCRAP_OM));
  EXPECT_FALSE(Is_Scrap_Available(kind, SCRAP_UNICODETEXT));
}

TEST_F(SysScrap, TextIsFilteredAndCut) {
  EXPECT_EQ(Paste_Text(u"a\tb\r\n"), u"a    b\r");
  const std::u16string five_thousand(5000, u'z');
  EXPECT_EQ(Paste_Text(five_thousand), five_thousand.substr(0, 3999));
  // Blanks of a tab that reach the limit are cut like any text.
  EXPECT_EQ(Paste_Text(std::u16string(3997, u'q') + u"\t!"), std::u16string(3997, u'q') + u"  ");
  // An unpaired surrogate is replaced; a pair that would be split by the
  // limit is left out whole.
  EXPECT_EQ(Paste_Text(std::u16string(u"a") + char16_t(0xDC00) + u"b" + char16_t(0xD800)),
            u"a\uFFFDb\uFFFD");
  const std::u16string pair = u"\U0001F3B5";
  EXPECT_EQ(Paste_Text(std::u16string(3998, u'p') + pair), std::u16string(3998, u'p'));
  EXPECT_EQ(Paste_Text(u"\t" + std::u16string(3994, u'p') + pair), u"    " + std::u16string(3994, u'p'));
  EXPECT_EQ(Paste_Text(u"\t" + std::u16string(3993, u'p') + pair), u"    " + std::u16string(3993, u'p') + pair);
  // Text of another program comes in through the same filter; its lines,
  // ended by line feeds alone, stay lines.
  Host_Clipboard_Foreign_Text("caf\xC3\xA9\tbar\nbaz\n");
  g_pasted.clear();
  ASSERT_TRUE(Scrap_Paste());
  EXPECT_EQ(g_pasted[0].text, u"caf\u00e9    bar\rbaz\r");
  // The text engine turning it down is what the paste reports.
  g_inject_result = false;
  Scrap_Clear();
  Put(SCRAP_UNICODETEXT, U16(u"no"));
  EXPECT_FALSE(Scrap_Paste());
}

TEST_F(SysScrap, EightBitTextIsConvertedFromUtf8) {
  // Only 8-bit text, with more than 3999 bytes.
  std::vector<uint8> t(4100, 'k');
  t[0] = 0xC3, t[1] = 0xA9;
  t.push_back(0);
  Put(SCRAP_TEXT, t);
  ASSERT_TRUE(Scrap_Paste());
  ASSERT_EQ(g_pasted.size(), 1u);
  EXPECT_EQ(g_pasted[0].text.substr(0, 3), u"\u00e9kk");
  EXPECT_EQ(g_pasted[0].text.size(), 3999u);
}

TEST_F(SysScrap, PixelMapsRoundTripAsBitmaps) {
  struct Case {
    int16 depth;
    int16 width;
    int16 pasted_depth;  // 1-bit bitmaps come back as 8-bit indexes
  };
  for (const Case& c : {Case{32, 3, 32}, Case{16, 3, 16}, Case{8, 5, 8}, Case{1, 10, 8}}) {
    const uint32 stride = (uint32(c.width) * uint32(c.depth) + 31) / 32 * 4;
    // A wider stride than the bitmap's, which must not leak into it.
    TestMap m(c.depth, c.width, 2, stride + 8);
    for (int y = 0; y < 2; ++y)
      for (uint32 i = 0; i < stride + 8; ++i) m.Row(y)[i] = uint8(i < stride ? 17 * y + 5 * i + 1 : 0xEE);
    if (c.depth == 32)
      for (int y = 0; y < 2; ++y)
        for (int x = 0; x < c.width; ++x) m.Row(y)[4 * x + 3] = 0;  // alpha is not carried
    if (c.depth == 16)
      for (int y = 0; y < 2; ++y)
        for (int x = 0; x < c.width; ++x) m.Row(y)[2 * x + 1] &= 0x7F;
    Scrap_Clear();
    Scrap_Add_PixMap(m.pm);
    // The header is the 40-byte one plus the colour table only.
    const uint32 table = c.depth == 8 ? 1024 : c.depth == 1 ? 8 : 0;
    EXPECT_EQ(Held(SCRAP_DIB).size(), 40 + table + 2 * stride) << c.depth;
    g_pasted.clear();
    ASSERT_TRUE(Scrap_Paste()) << c.depth;
    ASSERT_EQ(g_pasted.size(), 1u);
    const Pasted& p = g_pasted[0];
    EXPECT_EQ(p.depth, c.pasted_depth);
    EXPECT_EQ(p.bounds, (Rect{0, 0, 2, c.width}));
    ASSERT_EQ(p.rows.size(), 2u);
    for (int y = 0; y < 2; ++y) {
      if (c.depth == 1) {
        for (int x = 0; x < c.width; ++x)
          EXPECT_EQ(p.rows[y][x], (m.Row(y)[x / 8] >> (7 - x % 8)) & 1) << y << "," << x;
      } else {
        EXPECT_EQ(p.rows[y], std::vector<uint8>(m.Row(y), m.Row(y) + c.width * c.depth / 8))
            << "depth " << c.depth << " row " << y;
      }
    }
  }
}

TEST_F(SysScrap, BadBitmapsAreRefused) {
  auto header = [](int32 w, int32 h, uint16 bits, uint32 compression) {
    std::vector<uint8> b(40, 0);
    auto put32 = [&](size_t at, uint32 v) { std::memcpy(&b[at], &v, 4); };
    put32(0, 40);
    put32(4, uint32(w));
    put32(8, uint32(h));
    b[12] = 1;
    std::memcpy(&b[14], &bits, 2);
    put32(16, compression);
    return b;
  };
  struct Case {
    const char* what;
    std::vector<uint8> bytes;
  };
  std::vector<uint8> rows_missing = header(100, 100, 32, 0);
  rows_missing.resize(40 + 400 * 10);
  std::vector<uint8> huge = header(30000, 30000, 32, 0);
  const std::vector<Case> cases = {
      {"empty", {}},
      {"cut header", {40, 0, 0, 0, 1}},
      {"width 0", header(0, 1, 32, 0)},
      {"7 bits", header(1, 1, 7, 0)},
      {"rows missing", rows_missing},
      {"huge and empty", huge},
      {"compression 9", header(1, 1, 8, 9)},
  };
  for (const Case& c : cases) {
    Scrap_Clear();
    Put(SCRAP_DIB, c.bytes);
    g_pasted.clear();
    EXPECT_FALSE(Scrap_Paste()) << c.what;
    EXPECT_TRUE(g_pasted.empty()) << c.what;
  }
}

TEST_F(SysScrap, ClipboardInUseRefusesPasteAndCopyingAPictureSaysSo) {
  Refusal_Sound_Library();
  Put(SCRAP_UNICODETEXT, U16(u"x"));
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));  // someone else holds it open
  EXPECT_FALSE(Scrap_Paste());
  EXPECT_TRUE(g_pasted.empty());
  TestMap m(32, 1, 1, 4);
  Scrap_Add_PixMap(m.pm);
  ASSERT_EQ(Host_Audio_Events().size(), 2u);
  EXPECT_EQ(Host_Audio_Events()[1].kind, HostAudioEventKind::PLAY);
  EXPECT_EQ(Host_Audio_Events()[1].samples, (std::vector<uint8>{1, 2, 3}));
  Scrap_Clear();  // cannot empty it either
  Host_Clipboard_Close();
  uint32 kind;
  EXPECT_TRUE(Is_Scrap_Available(kind, SCRAP_UNICODETEXT));
  EXPECT_FALSE(Is_Scrap_Available(kind, SCRAP_DIB));
}

TEST_F(SysScrap, WithoutReadersNothingIsPasted) {
  Scrap_Set_Readers(a_scrap_readers{});
  for (uint32 f : {SCRAP_TEXTR, SCRAP_UNICODETEXT}) {
    Scrap_Clear();
    Put(f, U16(u"x"));
    EXPECT_FALSE(Scrap_Paste()) << f;
  }
  TestMap m(32, 1, 1, 4);
  Scrap_Clear();
  Scrap_Add_PixMap(m.pm);
  EXPECT_FALSE(Scrap_Paste());  // the bitmap is read and freed
}

// What the program copies reaches other programs, and what they copy is
// pasted: text, a picture and a record of our own, over the headless
// backend's desktop.
TEST_F(SysScrap, RoundTripWithAnotherProgram) {
  ASSERT_TRUE(Host_Backend_Start_Headless(800, 600));
  // A 32-bit and an 8-bit picture, each seen as PNG and BMP.
  TestMap m32(32, 3, 2, 12);
  for (size_t i = 0; i < m32.pixels.size(); ++i) m32.pixels[i] = uint8(i % 4 == 3 ? 0 : 37 * i + 1);
  TestMap m8(8, 3, 2, 4);
  for (size_t i = 0; i < m8.pixels.size(); ++i) m8.pixels[i] = uint8(i * 40);
  for (TestMap* m : {&m32, &m8}) {
    Scrap_Clear();
    Scrap_Add_PixMap(m->pm);
    const std::vector<std::string> types = Host_Clipboard_Published_Types();
    EXPECT_EQ(types, (std::vector<std::string>{"image/png", "image/bmp"}));
    // What our own reader makes of the bitmap, as opaque pixels.
    g_pasted.clear();
    ASSERT_TRUE(Scrap_Paste());
    ASSERT_EQ(g_pasted.size(), 1u);
    std::vector<uint8> png, bmp;
    ASSERT_TRUE(Host_Clipboard_Published("image/png", png));
    ASSERT_TRUE(Host_Clipboard_Published("image/bmp", bmp));
    HostImageBuffer decoded;
    ASSERT_EQ(Host_Decode_PNG(png.data(), png.size(), Host_Buffer_Sink(decoded)), HC_OK);
    ASSERT_EQ(decoded.info.width, 3);
    ASSERT_EQ(decoded.info.height, 2);
    // The BMP file is what our file reader reads back to the same pixels.
    a_picture_scan_rec scan;
    Clear_Scan_Rec(scan);
    a_ram_state state{bmp.data(), uint32(bmp.size())};
    ASSERT_EQ(Scan_BMP_3(true, Ram_Reader, &state, bmp.size(), scan), BMP_OK);
    const PixMap& pm = *Get_GWorld_PixMap(scan.body.fore);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) {
        const uint8* px = &decoded.pixels[size_t(y * 3 + x) * 4];
        const uint8* row = reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(y) * PixMap_RowBytes(pm);
        if (m->pm.pixelSize == 32) {
          EXPECT_EQ(std::vector<uint8>(px, px + 3), std::vector<uint8>(m->Row(y) + 4 * x, m->Row(y) + 4 * x + 3));
          EXPECT_EQ(std::vector<uint8>(row + 4 * x, row + 4 * x + 3), std::vector<uint8>(px, px + 3));
        } else {
          const a_pixel32& c = scan.ctable[m->Row(y)[x]];
          EXPECT_EQ(std::vector<uint8>(px, px + 3), (std::vector<uint8>{c.b, c.g, c.r}));
          EXPECT_EQ(row[x], m->Row(y)[x]);
        }
        EXPECT_EQ(px[3], 255);
      }
    }
    Dispose_MW(scan.body);
  }

  // A record of ours, with text beside it.
  Scrap_Clear();
  Put(SCRAP_PH, {1, 0, 2, 0, 255});
  Put(SCRAP_UNICODETEXT, U16(u"photo\rcaption"));
  std::vector<uint8> rec;
  ASSERT_TRUE(Host_Clipboard_Published("application/x-velmor4-photo", rec));
  EXPECT_EQ(rec, (std::vector<uint8>{1, 0, 2, 0, 255}));
  EXPECT_EQ(Host_Clipboard_Published_Text(), "photo\ncaption");

  // Theirs: a record (taken before text and pictures), then a picture.
  const std::vector<uint8> bgra = {10, 20, 30, 255, 40, 50, 60, 255};
  std::vector<uint8> png;
  ASSERT_EQ(Host_Encode_PNG(HostImageSource{bgra.data(), 2, 1, 8, 72}, false, png), HC_OK);
  Host_Clipboard_Foreign_Set({{"application/x-velmor4-text-object", {3, 3}},
                              {"image/png", png},
                              {"UTF8_STRING", {'t'}}});
  g_pasted.clear();
  ASSERT_TRUE(Scrap_Paste());
  ASSERT_EQ(g_pasted.size(), 1u);
  EXPECT_EQ(g_pasted[0].reader, "om");
  EXPECT_EQ(g_pasted[0].bytes, (std::vector<uint8>{3, 3}));
  Host_Clipboard_Foreign_Set({{"image/png", png}});
  g_pasted.clear();
  ASSERT_TRUE(Scrap_Paste());
  ASSERT_EQ(g_pasted.size(), 1u);
  EXPECT_EQ(g_pasted[0].reader, "mw");
  EXPECT_EQ(g_pasted[0].bounds, (Rect{0, 0, 1, 2}));
  ASSERT_EQ(g_pasted[0].rows.size(), 1u);
  EXPECT_EQ(g_pasted[0].rows[0], (std::vector<uint8>{10, 20, 30, 0, 40, 50, 60, 0}));
  // A damaged picture pastes nothing.
  png.resize(png.size() / 2);
  Host_Clipboard_Foreign_Set({{"image/png", png}});
  g_pasted.clear();
  EXPECT_FALSE(Scrap_Paste());
  EXPECT_TRUE(g_pasted.empty());
  Host_Backend_Stop();
}

TEST_F(SysScrap, RamReaderHandsOutWhatIsLeft) {
  const uint8 src[5] = {1, 2, 3, 4, 5};
  a_ram_state s{src, 5};
  uint8 buf[4] = {};
  uint32 n = 3;
  EXPECT_EQ(Ram_Reader(&s, buf, n), 0);
  EXPECT_EQ(n, 3u);
  EXPECT_EQ(buf[2], 3);
  n = 4;
  EXPECT_EQ(Ram_Reader(&s, buf, n), 0);
  EXPECT_EQ(n, 2u);
  EXPECT_EQ(buf[0], 4);
  EXPECT_EQ(buf[1], 5);
  n = 4;
  EXPECT_EQ(Ram_Reader(&s, buf, n), 0);
  EXPECT_EQ(n, 0u);
}

}  // namespace
