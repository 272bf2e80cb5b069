// A pinned font configuration for tests that draw or measure text: a
// fonts.conf written at run time that sees only the DejaVu fonts
// (fonts-dejavu-core), with DejaVu Sans as the fallback of every pattern, so
// glyph shapes and widths do not depend on what else a machine has installed.
//
//   if (!Pin_DejaVu()) GTEST_SKIP() << kNoDejaVuMessage;
//
// Pin_DejaVu makes the configuration current again on every call when some
// other test switched FONTCONFIG_FILE in between.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "host/HostFont.h"

inline constexpr const char* kNoDejaVuMessage = "DejaVu fonts (fonts-dejavu-core) not installed";

// Where fonts-dejavu-core puts its files.
inline const std::string kDejaVuDir = "/usr/share/fonts/truetype/dejavu";

class PinnedDejaVu {
 public:
  ~PinnedDejaVu() {
    if (!dir_.empty()) {
      std::error_code ec;
      std::filesystem::remove_all(dir_, ec);
    }
  }
  bool Pin() {
    if (state_ == 0) return false;
    if (state_ < 0) {
      state_ = 0;
      if (access((kDejaVuDir + "/DejaVuSans.ttf").c_str(), R_OK) != 0) return false;
      const char* tmp = std::getenv("TMPDIR");
      std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/velmor-dejavu-XXXXXX";
      std::vector<char> buf(templ.begin(), templ.end());
      buf.push_back(0);
      if (!mkdtemp(buf.data())) return false;
      dir_ = buf.data();
      conf_ = dir_ + "/fonts.conf";
      std::ofstream out(conf_);
      out << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
          << "  <dir>" << kDejaVuDir << "</dir>\n"
          << "  <cachedir>" << dir_ << "/cache</cachedir>\n"
          << "  <match target=\"pattern\"><edit name=\"family\" mode=\"append_last\">"
          << "<string>DejaVu Sans</string></edit></match>\n"
          << "</fontconfig>\n";
      out.close();
      if (!out) return false;
      state_ = 1;
    }
    const char* cur = std::getenv("FONTCONFIG_FILE");
    if (!cur || conf_ != cur) {
      setenv("FONTCONFIG_FILE", conf_.c_str(), 1);
      Host_Fonts_Reset();
    }
    return true;
  }
  // The folder of the pinned fonts.conf ("" until a Pin succeeds). A test
  // may put a configuration of its own there; it goes with the folder.
  const std::string& Dir() const { return dir_; }

 private:
  int state_ = -1;
  std::string dir_, conf_;
};

inline PinnedDejaVu& Pinned_DejaVu() {
  static PinnedDejaVu pin;
  return pin;
}

inline bool Pin_DejaVu() { return Pinned_DejaVu().Pin(); }
