// Disc-printer jobs: the FlexStick ticket as a table, the printer file's
// rows and whole files of tiny pictures byte for byte, the printer file of a
// real disc label read back by a decoder of the format into the label's
// pixels, and job writes that fail part-way leaving none of the job's files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "PrintTestSupport.h"
#include "TempDirSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskJob.h"
#include "host/HostFiles.h"
#include "host/HostScript.h"
#include "host/HostVolumes.h"
#include "platform/PixMaps.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskIntI.h"

namespace {

using Bytes = std::vector<uint8>;

Bytes B(std::initializer_list<int> v) {
  Bytes out;
  for (int b : v) out.push_back(uint8(b));
  return out;
}
Bytes T(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Pixels as the program keeps them: blue, green, red, alpha.
struct Px {
  uint8 r, g, b;
};
std::vector<uint8> Row_Of(const std::vector<Px>& px) {
  std::vector<uint8> row;
  for (const Px& p : px) row.insert(row.end(), {p.b, p.g, p.r, 255});
  return row;
}
std::vector<Px> Same(Px p, int n) { return std::vector<Px>(size_t(n), p); }

constexpr Px kRed{255, 0, 0};
constexpr Px kWhite{255, 255, 255};

TEST(FlexTicket, Table) {
  struct Case {
    bool burn, print;
    int16 copies, speed;
    bool verify;
    const char* want;
  } cases[] = {
      {true, true, 7, 2, false, "<024,01,A,0007,0007,M,0>"},
      {true, false, 1, 1, true, "<024,01,B,0001,0001,L,1>"},
      {false, true, 12, 3, false, "<024,01,P,0012,0012,H,0>"},
      {false, false, 250, 4, true, "<024,01,P,0250,0250,D,1>"},
      {true, true, 9999, 4, false, "<024,01,A,9999,9999,D,0>"},
  };
  for (const Case& c : cases) {
    std::string t;
    ASSERT_TRUE(Flex_Ticket(c.burn, c.print, c.copies, c.speed, c.verify, t));
    EXPECT_EQ(t, c.want);
    EXPECT_EQ(t.size(), 24u);
  }
  std::string t = "x";
  EXPECT_FALSE(Flex_Ticket(true, true, 1, 0, false, t));
  EXPECT_FALSE(Flex_Ticket(true, true, 1, 5, false, t));
  EXPECT_TRUE(t.empty());
}

// Runs of one colour: the short codes, the long code with its remainder
// bytes, the margin folded into the first run, a row white to its end.
TEST(PclRows, RunCodes) {
  const Bytes red = B({0x7F, 0x80, 0x00});
  const Bytes white = B({0x7F, 0xFF, 0xFF});
  struct Case {
    std::vector<Px> row;
    int32 left;
    Bytes want;
  } cases[] = {
      {Same(kRed, 1), 0, B({0x00}) + red},
      {Same(kRed, 2), 0, B({0x80}) + red},
      {Same(kRed, 8), 0, B({0x86}) + red},
      {Same(kRed, 9), 0, B({0x87}) + red + B({0x00})},
      {Same(kRed, 264), 0, B({0x87}) + red + B({0xFF, 0x00})},
      {Same(kRed, 265), 0, B({0x87}) + red + B({0xFF, 0x01})},
      {Same(kRed, 9 + 510), 0, B({0x87}) + red + B({0xFF, 0xFF, 0x00})},
      {Same(kRed, 1), 3, B({0x81}) + white + B({0x00}) + red},
      {Same(kWhite, 5), 10, B({0x87}) + white + B({0x06})},
      {{kWhite, kRed, kRed, kWhite}, 0, B({0x00}) + white + B({0x80}) + red + B({0x00}) + white},
      // Blue keeps its top seven bits; green and red all eight.
      {{Px{1, 2, 255}}, 0, B({0x00, 0x00, 0x81, 0x7F})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.row.size() << " pixels, left " << c.left);
    const std::vector<uint8> row = Row_Of(c.row);
    Bytes got;
    PCL_Row(got, row.data(), int32(c.row.size()), c.left);
    EXPECT_EQ(got, c.want);
  }
}

Bytes Header() {
  const char esc = 27;
  std::string h = std::string(1, esc) + "E" + esc + "%-12345X@PJL ENTER LANGUAGE=PCL3GUI\n";
  for (const char* s : {"&l1H", "&l3M", "&l2A", "*o1M", "&l-2H", "&u300D", "*r1500S", "&l0E", "&l0L"})
    h += std::string(1, esc) + s;
  return T(h);
}

// A picture of two rows, red then white, placed 2 dots in and 5 down.
TEST(PclFile, TinyPictureByteForByte) {
  const std::vector<uint8> pixels = Row_Of({kRed, kWhite}) + Row_Of({kWhite, kWhite});
  const a_pcl_picture pic{pixels.data(), 2, 2, 8};
  const Bytes header = Header();
  ASSERT_EQ(header.size(), 90u);
  const Bytes raster_start = B({27}) + T("*g12W") + B({6, 7, 0, 1, 1, 44, 1, 44, 10, 1, 32, 1}) + B({27}) +
                             T("*r1A") + B({27}) + T("*b5y");
  const Bytes rows = T("12w") + B({0x80, 0x7F, 0xFF, 0xFF, 0x00, 0x7F, 0x80, 0x00, 0x00, 0x7F, 0xFF, 0xFF}) + T("4w") +
                     B({0x82, 0x7F, 0xFF, 0xFF});
  const Bytes end = T("0Y") + B({27}) + T("*rC");
  const Bytes trailer = B({27}) + T("E") + B({27}) + T("%-12345X");
  ASSERT_EQ(trailer.size(), 11u);
  for (const bool gray : {false, true}) {
    SCOPED_TRACE(gray);
    Bytes got;
    PCL_Header(got);
    PCL_Raster(got, pic, 2, 5, 0x0104, gray);
    PCL_Trailer(got);
    Bytes want = header + B({27}) + T("*o5W") + B({11, 9, 0, 0, 4});
    if (gray) want = want + B({27}) + T("*o5W") + B({11, 1, 0, 0, 2});
    want = want + raster_start + rows + end + trailer;
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(int(got[i]), int(want[i])) << "byte " << i;
  }
}

// A row far wider than any label still codes whole (4 bytes a pixel at
// the most).
TEST(PclFile, WideRowOfChangingPixels) {
  constexpr int32 kWidth = 12000;
  std::vector<Px> px;
  for (int32 x = 0; x < kWidth; ++x) px.push_back(x % 2 == 0 ? kRed : Px{0, 0, 0});
  const std::vector<uint8> row = Row_Of(px);
  const a_pcl_picture pic{row.data(), kWidth, 1, row.size()};
  Bytes got;
  PCL_Raster(got, pic, 0, 0, 0, false);
  const std::string text(got.begin(), got.end());
  EXPECT_NE(text.find("48000w"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 6), "0Y\x1b*rC");
}

// A reader of PJL/PCL3GUI printer files as the printer takes them: escape
// sequences (ESC, a parameter and a group character, then values each
// ended by a letter: lower case goes on in the same group, upper case ends
// it; "W" and "w" are followed by that many bytes of data), the PJL line
// after the universal exit, and raster rows of colour runs.
struct PclPage {
  std::string error;         // why the file could not be read ("" when it was)
  int32 top = -1;            // the raster's first row, in dots
  int32 density = -1;        // the density configuration's last byte
  bool gray = false;         // the grey setting was sent
  bool raster_config = false;
  bool ended = false;        // the raster was ended and the job closed
  std::vector<std::vector<uint32>> rows;  // 0xRRGGBB, blue to 7 bits
};

PclPage Read_Pcl(const Bytes& f) {
  PclPage page;
  size_t i = 0;
  bool in_raster = false, raster_done = false, reset = false;
  auto fail = [&](const std::string& why) {
    if (page.error.empty()) page.error = why + " at byte " + std::to_string(i);
    return page;
  };
  auto number = [&](int64& v) {
    bool neg = false, any = false;
    if (i < f.size() && (f[i] == '-' || f[i] == '+')) neg = f[i++] == '-';
    v = 0;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') v = v * 10 + (f[i++] - '0'), any = true;
    if (neg) v = -v;
    return any;
  };
  // One row's runs: a code byte (0x00 one pixel, 0x80 + n - 2 for 2 .. 8,
  // 0x87 for 9 or more with the remainder after the colour), the colour
  // packed red << 15 | green << 7 | blue >> 1.
  auto row = [&](size_t end, std::vector<uint32>& out) {
    while (i < end) {
      const uint8 code = f[i++];
      if (code != 0x00 && (code < 0x80 || code > 0x87)) return false;
      if (i + 3 > end) return false;
      const uint32 packed = uint32(f[i]) << 16 | uint32(f[i + 1]) << 8 | f[i + 2];
      i += 3;
      if (packed & 0x800000u) return false;
      int64 n = code == 0x00 ? 1 : code - 0x80 + 2;
      if (code == 0x87) {
        n = 9;
        for (;;) {
          if (i >= end) return false;
          const uint8 more = f[i++];
          n += more;
          if (more != 0xFF) break;
        }
      }
      const uint32 rgb = ((packed >> 15) & 0xFF) << 16 | ((packed >> 7) & 0xFF) << 8 | (packed & 0x7F) << 1;
      out.insert(out.end(), size_t(n), rgb);
    }
    return true;
  };
  while (i < f.size()) {
    if (f[i] != 27) return fail("stray byte");
    ++i;
    if (i >= f.size()) return fail("ESC at the end");
    if (f[i] == 'E') {
      ++i;
      reset = true;
      continue;
    }
    const bool after_reset = reset;
    reset = false;
    const uint8 param = f[i++];
    if (param == '%') {
      int64 v = 0;
      if (!number(v) || v != -12345 || i >= f.size() || f[i] != 'X') return fail("bad universal exit");
      ++i;
      // A PJL line may follow, up to its line end.
      if (i + 4 <= f.size() && std::equal(f.begin() + i, f.begin() + i + 4, "@PJL")) {
        while (i < f.size() && f[i] != '\n') ++i;
        if (i >= f.size()) return fail("PJL line without its end");
        ++i;
      }
      // The job closes with a reset and the universal exit, after the raster.
      page.ended = i == f.size() && after_reset && raster_done;
      continue;
    }
    if (param != '*' && param != '&') return fail("unknown parameter character");
    if (i >= f.size()) return fail("cut escape");
    const uint8 group = f[i++];
    for (;;) {
      int64 v = 0;
      const bool has = number(v);
      if (i >= f.size()) return fail("escape without its letter");
      const uint8 letter = f[i++];
      const bool last = letter >= 'A' && letter <= 'Z';
      const uint8 lower = last ? uint8(letter - 'A' + 'a') : letter;
      if (lower == 'w') {
        if (!has || v < 0 || i + size_t(v) > f.size()) return fail("data past the end");
        const size_t end = i + size_t(v);
        if (param == '*' && group == 'b') {
          if (!in_raster) return fail("row outside the raster");
          page.rows.emplace_back();
          if (!row(end, page.rows.back()) || i != end) return fail("bad row");
        } else if (param == '*' && group == 'o' && v == 5) {
          if (f[i] == 11 && f[i + 1] == 9) page.density = f[i + 4];
          else if (f[i] == 11 && f[i + 1] == 1 && f[i + 4] == 2) page.gray = true;
          else return fail("unknown configuration");
          i = end;
        } else if (param == '*' && group == 'g') {
          page.raster_config = v == 12 && Bytes(f.begin() + i, f.begin() + end) ==
                                              B({6, 7, 0, 1, 1, 44, 1, 44, 10, 1, 32, 1});
          i = end;
        } else {
          i = end;
        }
      } else if (param == '*' && group == 'r' && lower == 'a') {
        in_raster = true;
      } else if (param == '*' && group == 'r' && lower == 'c') {
        if (!in_raster) return fail("raster ended twice");
        in_raster = false;
        raster_done = true;
      } else if (param == '*' && group == 'b' && lower == 'y') {
        // The first offset places the raster; "0Y" closes the rows.
        if (has && page.top < 0) page.top = int32(v);
      }
      if (last) break;
    }
  }
  if (in_raster) return fail("raster not ended");
  return page;
}

// The printer file of a real disc label (a canvas, a photo and a text round
// the disc, rendered as printing renders it) read back: every row is the
// left margin in white and then the label's own pixels, blue to 7 bits.
class PclOfALabel : public printsheet::PrintingTest {
 protected:
  PclOfALabel() : PrintingTest("pcl-label") {}
};

TEST_F(PclOfALabel, DecodesToTheRenderedUnit) {
  Open_Two_Up(600, 400);
  if (HasFatalFailure() || IsSkipped()) return;
  gs.slider_vals[FLEX_DENSITY_SLIDER] = 7;
  gs.toggle_vals[FLEX_GRAY_TOGGLE] = false;
  Bytes file;
  ASSERT_TRUE(PCL_Document(file));
  const PclPage page = Read_Pcl(file);
  ASSERT_EQ(page.error, "");
  EXPECT_TRUE(page.ended);
  EXPECT_TRUE(page.raster_config);
  EXPECT_EQ(page.density, 7);
  EXPECT_FALSE(page.gray);

  // The label as printing renders it, the file's picture being that
  // picture stretched over the unit's box at 300 dpi: each of its pixels is
  // the unit's pixel under it (sampled at the pixel's corner or centre).
  ASSERT_TRUE(UnitCache_Init(1));
  const PixMap& pm = g_unitcache.gworld->pix;
  const Rect b = g_unitcache.bounds;
  const int32 sw = b.right - b.left, sh = b.bottom - b.top;
  const int32 left = printsheet::Dots(printsheet::kDiscLeft);
  const int32 w = printsheet::Dots(printsheet::kDiscSide), h = w;
  EXPECT_EQ(page.top, printsheet::Dots(printsheet::kDiscTop[0]));
  ASSERT_EQ(int32(page.rows.size()), h);
  auto source = [&](int32 sx, int32 sy) {
    sx = std::min(sx, sw - 1), sy = std::min(sy, sh - 1);
    const size_t at = size_t(b.top - pm.bounds.top + sy) * PixMap_RowBytes(pm);
    return reinterpret_cast<const uint32*>(pm.baseAddr + at)[b.left - pm.bounds.left + sx] & 0xFFFFFEu;
  };
  int32 wrong = 0, colours = 0;
  uint32 last = 0xFFFFFFFFu;
  for (int32 y = 0; y < h; ++y) {
    const std::vector<uint32>& r = page.rows[size_t(y)];
    ASSERT_EQ(int32(r.size()), left + w) << "row " << y;
    for (int32 x = 0; x < left; ++x) wrong += r[size_t(x)] != 0xFFFFFEu;
    const int32 sy[2] = {int32(int64(y) * sh / h), int32((2 * int64(y) + 1) * sh / (2 * h))};
    for (int32 x = 0; x < w; ++x) {
      const int32 sx[2] = {int32(int64(x) * sw / w), int32((2 * int64(x) + 1) * sw / (2 * w))};
      const uint32 got = r[size_t(left + x)];
      bool found = false;
      for (int i = 0; i < 2 && !found; ++i)
        for (int j = 0; j < 2 && !found; ++j) found = got == source(sx[j], sy[i]);
      if (!found && wrong++ < 5)
        ADD_FAILURE() << "pixel " << x << ", " << y << ": " << std::hex << got << " for " << source(sx[0], sy[0]);
      if (got != last) ++colours, last = got;
    }
  }
  EXPECT_EQ(wrong, 0);
  // A photo-like label: many runs, not a plain fill.
  EXPECT_GT(colours, 20000);
  UnitCache_Stop();
}

class FlexJobs : public ::testing::Test {
 protected:
  std::string dir_;
  void SetUp() override {
    doctests::Start_Document_Modules();
    gs.controller = GHOST;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    dir_ = testdir::Make_Temp_Dir("velmor-jobs");
    ASSERT_FALSE(dir_.empty());
    ASSERT_TRUE(Proj_PickLayout2(1));
    g_doc.doc_ncopies = 7;
    gs.toggle_vals[FLEX_BURN_TOGGLE] = true;
    gs.toggle_vals[FLEX_PRINT_TOGGLE] = true;
    gs.toggle_vals[FLEX_VERIFY_TOGGLE] = false;
    gs.slider_vals[FLEX_SPEED_SLIDER] = 2;
  }
  void TearDown() override {
    Host_Fail_Writes_After(-1);
    doctests::Close_Document();
    testdir::Remove_Dir(dir_);
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    Host_List_Dir(dir_.c_str(), names);
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(FlexJobs, JobWrittenWholeOrNotAtAll) {
  std::string name, why;
  // Failures in each of the three files, at their start and part-way.
  for (const int64 after : {int64(0), int64(10), int64(400), int64(2000), int64(20000)}) {
    SCOPED_TRACE(after);
    Host_Fail_Writes_After(after);
    const bool8 ok = Flex_Write_Job_Files(dir_, name, why);
    Host_Fail_Writes_After(-1);
    if (ok) {
      // Past the whole job's size: written whole.
      EXPECT_EQ(Files().size(), 3u);
      continue;
    }
    EXPECT_TRUE(Files().empty()) << name;
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(why, std::strerror(EIO));
  }
  ASSERT_TRUE(Flex_Write_Job_Files(dir_, name, why)) << name << ": " << why;
  EXPECT_EQ(Files(), (std::vector<std::string>{"flexlabl.jpg", "flexlabl.pcl", "flexset.txt"}));
  EXPECT_EQ(testdir::Read_Text(dir_ + "/flexset.txt"), "<024,01,A,0007,0007,M,0>");
  const std::string jpg = testdir::Read_Text(dir_ + "/flexlabl.jpg");
  ASSERT_GT(jpg.size(), 2u);
  EXPECT_EQ(uint8(jpg[0]), 0xFF);
  EXPECT_EQ(uint8(jpg[1]), 0xD8);
  const std::string pcl = testdir::Read_Text(dir_ + "/flexlabl.pcl");
  const Bytes header = Header();
  ASSERT_GT(pcl.size(), 101u);
  EXPECT_EQ(Bytes(pcl.begin(), pcl.begin() + 90), header);
  EXPECT_EQ(pcl.substr(pcl.size() - 11), std::string("\x1b" "E" "\x1b" "%-12345X"));
}

// The job goes to the stick labelled "FlexStix" when one is mounted; with
// none, the question answered "Cancel" writes nothing.
TEST_F(FlexJobs, StickFoundByItsLabelOrNothingWritten) {
  const HostVolume root{"/", "/dev/sda1", "ext4", "", false, false};
  const HostVolume stick{dir_, "/dev/sdb1", "vfat", "FlexStix", true, false};
  const HostVolume other{dir_, "/dev/sdb1", "vfat", "USBDISK", true, false};
  const HostVolume with_stick[] = {root, stick};
  const HostVolume without[] = {root, other};
  Host_Volumes_Inject(with_stick);
  testing::internal::CaptureStderr();
  FlexStick_Write_Job();
  EXPECT_EQ(Files(), (std::vector<std::string>{"flexlabl.jpg", "flexlabl.pcl", "flexset.txt"}));
  for (const std::string& f : Files()) std::remove((dir_ + "/" + f).c_str());
  Host_Volumes_Inject(without);
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "2");
  FlexStick_Write_Job();
  const std::string said = testing::internal::GetCapturedStderr();
  Host_Volumes_Inject({});
  Host_Script_Reset();
  EXPECT_TRUE(Files().empty());
  EXPECT_NE(said.find("no FlexStix was found"), std::string::npos) << said;
}

// A speed setting the printer does not take is refused with its reason, and
// the stick gets none of the job's files.
TEST_F(FlexJobs, SpeedThePrinterDoesNotTakeIsRefusedWithItsReason) {
  const HostVolume stick{dir_, "/dev/sdb1", "vfat", "FlexStix", true, false};
  const HostVolume with_stick[] = {stick};
  Host_Volumes_Inject(with_stick);
  gs.controller = HUMAN;
  for (const int16 speed : {int16(0), int16(5), int16(-1)}) {
    SCOPED_TRACE(speed);
    gs.slider_vals[FLEX_SPEED_SLIDER] = speed;
    std::string name, why;
    EXPECT_FALSE(Flex_Write_Job_Files(dir_, name, why));
    EXPECT_EQ(name, "flexset.txt");
    EXPECT_FALSE(why.empty());
    testing::internal::CaptureStderr();
    FlexStick_Write_Job();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(Files().empty());
    EXPECT_NE(said.find("flexset.txt: " + why), std::string::npos) << said;
  }
  gs.controller = GHOST;
  Host_Volumes_Inject({});
}

}  // namespace
