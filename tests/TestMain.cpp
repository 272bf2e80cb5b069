#include <gtest/gtest.h>

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
std::string Shared_Path(const std::string& name) { return std::string(VELMOR_SHARED_DIR) + "/" + name; }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new HookEnvironment);
  return RUN_ALL_TESTS();
}
