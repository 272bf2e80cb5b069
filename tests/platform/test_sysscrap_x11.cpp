// The clipboard with a second program on a real X display: under an Xvfb
// of its own, the test process runs the sdl backend (whose clipboard owns
// the X selection) and xclip copies and pastes against it: text, pictures
// (one of several megabytes each way, which goes by INCR) and our own
// records. Skipped with a message when Xvfb or xclip is missing.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "X11TestClient.h"
#include "host/HostBackend.h"
#include "host/HostClipboard.h"
#include "host/HostCodecs.h"
#include "host/HostWin.h"
#include "pixel/ParsBMP.h"
#include "pixel/ParsQuik.h"
#include "pixel/SysPix.h"
#include "platform/SysScrap.h"
#include "platform/SysWin.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

// Generous bounds: what they guard against is a hang, not slowness.
constexpr int kProgramSeconds = 60;

// What the readers were given.
struct Pasted {
  std::string reader;
  std::vector<uint8> bytes;
  std::u16string text;
  int32 width = 0, height = 0;
  std::vector<uint8> pixels;  // 32-bit rows, blue green red
};
std::vector<Pasted> g_pasted;

void Rec(const char* name, const uint8* d, uint32 n) {
  Pasted p;
  p.reader = name;
  p.bytes.assign(d, d + n);
  g_pasted.push_back(p);
}
void Textr(const uint8* d, uint32 n) { Rec("textr", d, n); }
void Om(const uint8* d, uint32 n) { Rec("om", d, n); }
void Ph(const uint8* d, uint32 n) { Rec("ph", d, n); }
bool8 Inject(CUStrSpan t, int32) {
  Pasted p;
  p.reader = "text";
  for (size_t i = 0; i < t.size() && t[i] != 0; ++i) p.text += t[i];
  g_pasted.push_back(p);
  return true;
}
void Mw(a_picture_scan_rec& scan) {
  Pasted p;
  p.reader = "mw";
  const PixMap& pm = *Get_GWorld_PixMap(scan.body.fore);
  p.width = pm.bounds.right - pm.bounds.left;
  p.height = pm.bounds.bottom - pm.bounds.top;
  if (pm.pixelSize == 32) {
    for (int32 y = 0; y < p.height; ++y) {
      const uint8* r = reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(y) * PixMap_RowBytes(pm);
      p.pixels.insert(p.pixels.end(), r, r + size_t(p.width) * 4);
    }
  }
  g_pasted.push_back(p);
}

// A 32-bit pixel map over our own rows, of pixels that do not compress.
struct NoiseMap {
  std::vector<uint8> pixels;
  PixMap pm{};
  NoiseMap(int16 w, int16 h, uint32 seed) {
    pixels.resize(size_t(w) * size_t(h) * 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
      seed = seed * 1103515245u + 12345u;
      pixels[i] = i % 4 == 3 ? 0 : uint8(seed >> 23);
    }
    pm.baseAddr = reinterpret_cast<Ptr>(pixels.data());
    pm.rowBytes = int16(w * 4);
    pm.rowBytes32 = uint32(w) * 4;
    pm.bounds = Rect{0, 0, h, w};
    pm.pixelSize = 32;
  }
};

std::vector<uint8> Read_All(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

void Write_All(const std::string& path, const std::vector<uint8>& b) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// Lets the program answer other programs for a moment, as its event loop does.
void Pump_A_While(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    MSG msg;
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
    poll(nullptr, 0, 2);
  }
}

class XvfbClipboard : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!On_Path("Xvfb")) {
      skip_ = Missing_Tool_Message("Xvfb");
      return;
    }
    if (!On_Path("xclip")) {
      skip_ = Missing_Tool_Message("xclip");
      return;
    }
    const char* base = std::getenv("TMPDIR");
    std::string t = std::string(base && *base ? base : "/tmp") + "/velmor-xclip-XXXXXX";
    std::vector<char> buf(t.begin(), t.end());
    buf.push_back(0);
    if (mkdtemp(buf.data()) == nullptr) {
      skip_ = "no temporary folder";
      return;
    }
    dir_ = buf.data();
    // Xvfb finds a free display itself and writes its number to the pipe.
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    const std::string fd = std::to_string(fds[1]);
    std::vector<std::string> args = {"Xvfb", "-displayfd", fd, "-nolisten", "tcp", "-screen", "0", "800x600x24"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawnp(&xvfb_, "Xvfb", &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(fds[1]);
    if (rc != 0) {
      close(fds[0]);
      xvfb_ = 0;
      return;
    }
    std::string number;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(kProgramSeconds);
    while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < end) {
      pollfd p{fds[0], POLLIN, 0};
      if (poll(&p, 1, 200) <= 0) continue;
      char c[16];
      const ssize_t n = read(fds[0], c, sizeof c);
      if (n <= 0) break;
      number.append(c, size_t(n));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) return;
    display_ = ":" + number.substr(0, number.find('\n'));
    const char* old = std::getenv("DISPLAY");
    had_display_ = old != nullptr;
    if (old) old_display_ = old;
    setenv("DISPLAY", display_.c_str(), 1);
    setenv("VELMOR_BACKEND", "sdl", 1);
    unsetenv("VELMOR_SCRIPT");
    started_ = Host_Backend_Start() && Host_Backend_Kind() == HostBackendKind::SDL;
  }

  static void TearDownTestSuite() {
    if (started_) Host_Backend_Stop();
    Host_Signals_Remove();
    started_ = false;
    if (xvfb_ > 0) {
      kill(xvfb_, SIGTERM);
      int status;
      waitpid(xvfb_, &status, 0);
      xvfb_ = 0;
    }
    if (had_display_) setenv("DISPLAY", old_display_.c_str(), 1);
    else unsetenv("DISPLAY");
    unsetenv("VELMOR_BACKEND");
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  void SetUp() override {
    if (!skip_.empty()) GTEST_FAIL() << skip_;
    ASSERT_TRUE(started_) << "the sdl backend did not start on the private Xvfb " << display_;
    ParsBMP_Init();  // the clipboard's bitmap reader
    Host_Clipboard_Reset();
    Host_Clipboard_Set_Wait_Limit(10000);
    g_pasted.clear();
    Scrap_Set_Readers(a_scrap_readers{Textr, Om, Ph, Inject, Mw});
  }
  void TearDown() override {
    Scrap_Set_Readers(a_scrap_readers{});
    Host_Clipboard_Set_Wait_Limit(2000);
  }

  // Runs xclip with args, its output to out (when given) and its input from
  // in, while the program answers clipboard requests. The exit status.
  static int Xclip(const std::vector<std::string>& args, const std::string& out = "",
                   const std::string& in = "") {
    std::vector<std::string> all = {"xclip", "-selection", "clipboard"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, in.empty() ? "/dev/null" : in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, out.empty() ? "/dev/null" : out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "xclip", &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) return -1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(kProgramSeconds);
    for (;;) {
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      if (std::chrono::steady_clock::now() >= end) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        ADD_FAILURE() << "xclip did not end";
        return -1;
      }
      Pump_A_While(2);
    }
  }

  // What xclip reads of one type from the clipboard.
  static std::vector<uint8> Xclip_Out(const std::string& type) {
    const std::string out = dir_ + "/out";
    EXPECT_EQ(Xclip({"-o", "-t", type}, out), 0) << type;
    return Read_All(out);
  }

  // xclip copies bytes as type, and the desktop's clipboard holds them (xclip
  // leaves a process behind that answers until another program copies).
  static void Xclip_In(const std::string& type, const std::vector<uint8>& bytes) {
    const std::string in = dir_ + "/in";
    Write_All(in, bytes);
    ASSERT_EQ(Xclip({"-i", "-t", type}, "", in), 0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(kProgramSeconds);
    std::vector<uint8> now;
    while (!Host_Clipboard_Published(type, now) || now != bytes) {
      ASSERT_LT(std::chrono::steady_clock::now(), end) << type << " never reached the clipboard";
      Pump_A_While(20);
    }
  }

  static inline std::string skip_, dir_, display_, old_display_;
  static inline bool had_display_ = false, started_ = false;
  static inline pid_t xvfb_ = 0;
};

std::vector<uint8> Bytes(const std::string& s) { return std::vector<uint8>(s.begin(), s.end()); }

std::vector<uint8> U16(const std::u16string& s) {
  std::vector<uint8> b((s.size() + 1) * 2, 0);
  std::memcpy(b.data(), s.data(), s.size() * 2);
  return b;
}

TEST_F(XvfbClipboard, WhatTheProgramCopiesXclipReads) {
  const std::vector<uint8> rec = {1, 0, 2, 0, 255, 7};
  NoiseMap m(3, 2, 5);
  Scrap_Clear();
  Scrap_Add_Ptr(rec.data(), uint32(rec.size()), SCRAP_PH);
  Scrap_Add_PixMap(m.pm);
  const std::vector<uint8> text = U16(u"Gr\u00fc\u00dfe \u20ac\rzweite");
  Scrap_Add_Ptr(text.data(), uint32(text.size()), SCRAP_UNICODETEXT);

  const std::vector<uint8> t = Xclip_Out("TARGETS");
  const std::string list(t.begin(), t.end());
  for (const char* want : {"TARGETS", "UTF8_STRING", "STRING", "image/png", "image/bmp", "application/x-velmor4-photo"})
    EXPECT_NE(list.find(want), std::string::npos) << want << " in\n" << list;
  EXPECT_EQ(Xclip_Out("UTF8_STRING"), Bytes("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC\nzweite"));
  EXPECT_EQ(Xclip_Out("STRING"), Bytes("Gr\xFC\xDF" "e ?\nzweite"));
  EXPECT_EQ(Xclip_Out("application/x-velmor4-photo"), rec);
  const std::vector<uint8> png = Xclip_Out("image/png");
  HostImageBuffer decoded;
  ASSERT_EQ(Host_Decode_PNG(png.data(), png.size(), Host_Buffer_Sink(decoded)), HC_OK);
  ASSERT_EQ(decoded.pixels.size(), m.pixels.size());
  for (size_t i = 0; i < m.pixels.size(); ++i)
    ASSERT_EQ(decoded.pixels[i], i % 4 == 3 ? 255 : m.pixels[i]) << i;
  const std::vector<uint8> bmp = Xclip_Out("image/bmp");
  ASSERT_EQ(bmp.size(), 14u + 40 + m.pixels.size());
  EXPECT_EQ(std::vector<uint8>(bmp.end() - std::ptrdiff_t(m.pixels.size()), bmp.end()), m.pixels);
  // A type that is not offered gives nothing.
  const std::string out = dir_ + "/out";
  EXPECT_NE(Xclip({"-o", "-t", "image/jpeg"}, out), 0);
}

// Several targets in one request (MULTIPLE): each one we have is given,
// the others are marked refused.
TEST_F(XvfbClipboard, SeveralTargetsAtOnce) {
  const std::vector<uint8> rec = {3, 1, 4};
  const std::vector<uint8> text = U16(u"many");
  Scrap_Clear();
  Scrap_Add_Ptr(rec.data(), uint32(rec.size()), SCRAP_PH);
  Scrap_Add_Ptr(text.data(), uint32(text.size()), SCRAP_UNICODETEXT);
  X11TestClient client(display_);
  ASSERT_TRUE(client.Ok());
  client.Request({"UTF8_STRING", "TIMESTAMP", "image/jpeg", "application/x-velmor4-photo"});
  std::vector<X11TestAnswer> a;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(kProgramSeconds);
  while (!client.Answered(a)) {
    ASSERT_LT(std::chrono::steady_clock::now(), end) << "no answer";
    Pump_A_While(5);
  }
  ASSERT_EQ(a.size(), 4u);
  EXPECT_TRUE(a[0].given);
  EXPECT_EQ(a[0].bytes, Bytes("many"));
  EXPECT_TRUE(a[1].given);
  ASSERT_EQ(a[1].items.size(), 1u);
  EXPECT_NE(a[1].items[0], 0);
  EXPECT_FALSE(a[2].given);
  EXPECT_TRUE(a[3].given);
  EXPECT_EQ(a[3].bytes, rec);
}

TEST_F(XvfbClipboard, WhatXclipCopiesTheProgramPastes) {
  Xclip_In("UTF8_STRING", Bytes("eins\nzwei \xE2\x82\xAC"));
  ASSERT_TRUE(Scrap_Paste());
  ASSERT_EQ(g_pasted.size(), 1u);
  EXPECT_EQ(g_pasted[0].text, u"eins\rzwei \u20ac");

  Xclip_In("application/x-velmor4-text-object", {9, 0, 8, 0});
  g_pasted.clear();
  ASSERT_TRUE(Scrap_Paste());
  ASSERT_EQ(g_pasted.size(), 1u);
  EXPECT_EQ(g_pasted[0].reader, "om");
  EXPECT_EQ(g_pasted[0].bytes, (std::vector<uint8>{9, 0, 8, 0}));

  const std::vector<uint8> bgra = {10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255};
  std::vector<uint8> png;
  ASSERT_EQ(Host_Encode_PNG(HostImageSource{bgra.data(), 3, 1, 12, 72}, false, png), HC_OK);
  Xclip_In("image/png", png);
  g_pasted.clear();
  ASSERT_TRUE(Scrap_Paste());
  ASSERT_EQ(g_pasted.size(), 1u);
  EXPECT_EQ(g_pasted[0].reader, "mw");
  EXPECT_EQ(g_pasted[0].pixels, (std::vector<uint8>{10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0}));

  // Damaged picture data pastes nothing.
  Xclip_In("image/png", std::vector<uint8>(png.begin(), png.begin() + 40));
  g_pasted.clear();
  EXPECT_FALSE(Scrap_Paste());
  EXPECT_TRUE(g_pasted.empty());
}

TEST_F(XvfbClipboard, LargePicturesGoInPiecesBothWays) {
  uint32 sent0 = 0, received0 = 0, sent = 0, received = 0;
  Host_X11_Clipboard_Incr_Counts(sent0, received0);
  // 1000 x 1000 pixels: a 4 MB bitmap, and a PNG of about 3 MB.
  NoiseMap m(1000, 1000, 11);
  Scrap_Clear();
  Scrap_Add_PixMap(m.pm);
  const std::vector<uint8> bmp = Xclip_Out("image/bmp");
  ASSERT_EQ(bmp.size(), 14u + 40 + m.pixels.size());
  EXPECT_TRUE(std::equal(m.pixels.begin(), m.pixels.end(), bmp.begin() + 54));
  const std::vector<uint8> png = Xclip_Out("image/png");
  EXPECT_GT(png.size(), 2u << 20);
  HostImageBuffer decoded;
  ASSERT_EQ(Host_Decode_PNG(png.data(), png.size(), Host_Buffer_Sink(decoded)), HC_OK);
  ASSERT_EQ(decoded.info.width, 1000);
  ASSERT_EQ(decoded.pixels.size(), m.pixels.size());
  for (size_t i = 0; i < m.pixels.size(); i += 4)
    ASSERT_TRUE(std::equal(m.pixels.begin() + std::ptrdiff_t(i), m.pixels.begin() + std::ptrdiff_t(i) + 3,
                           decoded.pixels.begin() + std::ptrdiff_t(i)))
        << i;
  Host_X11_Clipboard_Incr_Counts(sent, received);
  EXPECT_EQ(sent - sent0, 2u);

  // The other way: a PNG of 1200 x 1000 noisy pixels from xclip.
  NoiseMap big(1200, 1000, 23);
  for (size_t i = 3; i < big.pixels.size(); i += 4) big.pixels[i] = 255;
  std::vector<uint8> big_png;
  ASSERT_EQ(Host_Encode_PNG(HostImageSource{big.pixels.data(), 1200, 1000, 4800, 72}, false, big_png), HC_OK);
  ASSERT_GT(big_png.size(), 3u << 20);
  Xclip_In("image/png", big_png);
  Host_X11_Clipboard_Incr_Counts(sent0, received0);
  g_pasted.clear();
  ASSERT_TRUE(Scrap_Paste());
  ASSERT_EQ(g_pasted.size(), 1u);
  ASSERT_EQ(g_pasted[0].width, 1200);
  ASSERT_EQ(g_pasted[0].pixels.size(), big.pixels.size());
  for (size_t i = 0; i < big.pixels.size(); i += 4)
    ASSERT_TRUE(std::equal(big.pixels.begin() + std::ptrdiff_t(i), big.pixels.begin() + std::ptrdiff_t(i) + 3,
                           g_pasted[0].pixels.begin() + std::ptrdiff_t(i)))
        << i;
  Host_X11_Clipboard_Incr_Counts(sent, received);
  EXPECT_EQ(received - received0, 1u);
}

TEST_F(XvfbClipboard, AnotherProgramCopyingEndsOurs) {
  const std::vector<uint8> rec = {4, 4};
  Scrap_Clear();
  Scrap_Add_Ptr(rec.data(), uint32(rec.size()), SCRAP_PH);
  uint32 kind = 0;
  ASSERT_TRUE(Is_Scrap_Available(kind, SCRAP_PH));
  Xclip_In("UTF8_STRING", Bytes("theirs"));
  EXPECT_FALSE(Is_Scrap_Available(kind, SCRAP_PH));
  ASSERT_TRUE(Scrap_Paste());
  ASSERT_EQ(g_pasted.size(), 1u);
  EXPECT_EQ(g_pasted[0].text, u"theirs");
}

// An owner of the clipboard that never answers (an xclip that is stopped):
// the paste gives up after the wait limit and pastes nothing.
TEST_F(XvfbClipboard, AnOwnerThatNeverAnswersGivesNothingToPaste) {
  const std::string in = dir_ + "/in";
  Write_All(in, Bytes("frozen"));
  std::vector<std::string> all = {"xclip", "-selection", "clipboard", "-quiet", "-i", in};
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawnp(&pid, "xclip", &fa, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&fa);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(kProgramSeconds);
  while (Host_Clipboard_Published_Text() != "frozen" && std::chrono::steady_clock::now() < end) Pump_A_While(20);
  kill(pid, SIGSTOP);
  uint32 kind = 0;
  Host_Clipboard_Set_Wait_Limit(300);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Scrap_Paste());
  EXPECT_FALSE(Is_Scrap_Available(kind, SCRAP_UNICODETEXT));
  const auto spent = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(g_pasted.empty());
  EXPECT_LT(spent, std::chrono::seconds(kProgramSeconds));
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  // Once it is gone, copying and pasting work again.
  const std::vector<uint8> rec = {6};
  Scrap_Clear();
  Scrap_Add_Ptr(rec.data(), uint32(rec.size()), SCRAP_TEXTR);
  ASSERT_TRUE(Scrap_Paste());
  ASSERT_EQ(g_pasted.size(), 1u);
  EXPECT_EQ(g_pasted[0].reader, "textr");
}

}  // namespace
