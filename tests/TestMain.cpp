#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "TestSupport.h"

namespace {
void Throw_Quit() { throw QuitCalled(); }
void Throw_Mem(uint32 needed) { throw MemErrCalled(needed); }
void Throw_Res(OSType kind, int16 id) { throw ResErrCalled(kind, id); }
void Throw_Key(OSType, a_keyset) { throw KeyErrCalled(); }

class HookEnvironment : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { Install_Test_Hooks(); }
};
}  // namespace

void Install_Test_Hooks() {
  QUIT = Throw_Quit;
  g_err_mem_proc = Throw_Mem;
  g_err_res_proc = Throw_Res;
  g_err_key_proc = Throw_Key;
  g_item_res_proc = Default_Item_Res;
  g_item_key_proc = Default_Item_Key;
  SysErr_Set_Running(false);
}

std::string Fixture_Path(const std::string& name) { return std::string(VELMOR_FIXTURES_DIR) + "/" + name; }
bool On_Path(const std::string& tool) {
  const char* path = std::getenv("PATH");
  const std::string p = path ? path : "";
  size_t start = 0;
  while (start <= p.size()) {
    const size_t end = p.find(':', start);
    const std::string dir = p.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty() && access((dir + "/" + tool).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

std::string Package_Of(const std::string& tool) {
  static const struct {
    const char* tool;
    const char* package;
  } kPackages[] = {
      {"convert", "imagemagick"},        {"import", "imagemagick"},
      {"ppmtopict", "netpbm"},           {"ppmtoilbm", "netpbm"},
      {"bmptopnm", "netpbm"},            {"ppmtobmp", "netpbm"},
      {"giftopnm", "netpbm"},            {"ppmtogif", "netpbm"},
      {"pnmtopng", "netpbm"},            {"tifftopnm", "netpbm"},
      {"cjpeg", "libjpeg-turbo-progs"},  {"djpeg", "libjpeg-turbo-progs"},
      {"pdftoppm", "poppler-utils"},     {"pdfimages", "poppler-utils"},
      {"xvfb-run", "xvfb"},              {"Xvfb", "xvfb"},
      {"xauth", "xauth"},                {"xclip", "xclip"},
      {"xprop", "x11-utils"},            {"xwininfo", "x11-utils"},
      {"update-mime-database", "shared-mime-info"},
      {"cupsd", "cups-daemon"},          {"lpstat", "cups-client"},
      {"lp", "cups-client"},             {"lpadmin", "cups-client"},
  };
  for (const auto& p : kPackages)
    if (tool == p.tool) return p.package;
  return "";
}

std::string Missing_Tool_Message(const std::string& tool) {
  const std::string package = Package_Of(tool);
  if (package.empty()) return tool + " is missing";
  return tool + " is missing: package " + package + " brings it (scripts/setup.sh installs it)";
}

std::string Shared_Path(const std::string& name) { return std::string(VELMOR_SHARED_DIR) + "/" + name; }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new HookEnvironment);
  return RUN_ALL_TESTS();
}
