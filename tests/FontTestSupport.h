// A pinned font configuration for tests that draw or measure text: a
// fonts.conf written at run time that sees only the DejaVu fonts
// (every face of fonts-dejavu-core and fonts-dejavu-extra), with DejaVu Sans
// as the fallback of every pattern, so glyph shapes and widths and the order
// of the font list do not depend on what else a machine has installed.
//
//   if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
//
// scripts/setup.sh installs both packages, so a missing face fails the test,
// naming the package that brings it.
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

// Where both packages put their files.
inline const std::string kDejaVuDir = "/usr/share/fonts/truetype/dejavu";

// Every DejaVu face the tests see, with its package: the pinned list holds
// seven families, and the tests name their members by position.
struct DejaVuFace {
  const char* file;
  const char* package;
};
inline constexpr DejaVuFace kDejaVuFaces[] = {
    {"DejaVuSans.ttf", "fonts-dejavu-core"},
    {"DejaVuSans-Bold.ttf", "fonts-dejavu-core"},
    {"DejaVuSansMono.ttf", "fonts-dejavu-core"},
    {"DejaVuSansMono-Bold.ttf", "fonts-dejavu-core"},
    {"DejaVuSerif.ttf", "fonts-dejavu-core"},
    {"DejaVuSerif-Bold.ttf", "fonts-dejavu-core"},
    {"DejaVuMathTeXGyre.ttf", "fonts-dejavu-extra"},
    {"DejaVuSans-BoldOblique.ttf", "fonts-dejavu-extra"},
    {"DejaVuSans-ExtraLight.ttf", "fonts-dejavu-extra"},
    {"DejaVuSans-Oblique.ttf", "fonts-dejavu-extra"},
    {"DejaVuSansCondensed.ttf", "fonts-dejavu-extra"},
    {"DejaVuSansCondensed-Bold.ttf", "fonts-dejavu-extra"},
    {"DejaVuSansCondensed-BoldOblique.ttf", "fonts-dejavu-extra"},
    {"DejaVuSansCondensed-Oblique.ttf", "fonts-dejavu-extra"},
    {"DejaVuSansMono-BoldOblique.ttf", "fonts-dejavu-extra"},
    {"DejaVuSansMono-Oblique.ttf", "fonts-dejavu-extra"},
    {"DejaVuSerif-BoldItalic.ttf", "fonts-dejavu-extra"},
    {"DejaVuSerif-Italic.ttf", "fonts-dejavu-extra"},
    {"DejaVuSerifCondensed.ttf", "fonts-dejavu-extra"},
    {"DejaVuSerifCondensed-Bold.ttf", "fonts-dejavu-extra"},
    {"DejaVuSerifCondensed-BoldItalic.ttf", "fonts-dejavu-extra"},
    {"DejaVuSerifCondensed-Italic.ttf", "fonts-dejavu-extra"},
};

// "" when every face is there, else which is missing and the package that brings it.
inline std::string Missing_DejaVu() {
  for (const DejaVuFace& f : kDejaVuFaces)
    if (access((kDejaVuDir + "/" + f.file).c_str(), R_OK) != 0)
      return std::string("the font ") + kDejaVuDir + "/" + f.file + " is missing: package " + f.package +
             " brings it (scripts/setup.sh installs it)";
  return "";
}

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
      if (!Missing_DejaVu().empty()) return false;
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

// Why Pin_DejaVu failed.
inline std::string No_DejaVu_Message() {
  const std::string missing = Missing_DejaVu();
  return missing.empty() ? "the pinned DejaVu configuration could not be written" : missing;
}
