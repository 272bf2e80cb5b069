// The real program in the test's own process, as on its first start, for
// tests that press its controls through the main window's mouse dispatch:
// its home and config folders in the scratch folder, the clicks' sounds
// recorded rather than played, a person at the controls, no document.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "PressSupport.h"
#include "ProgramShotSupport.h"
#include "SoundTestSupport.h"
#include "TempDirSupport.h"
#include "ui/VoskBar.h"
#include "ui/VoskConf.h"

namespace press {

class PressedProgram : public programshot::PanelTree {
 protected:
  // name: the folder under <build>/snapshots for the test's snapshots.
  explicit PressedProgram(std::string name) : name_(std::move(name)) {}
  void SetUp() override {
    programshot::PanelTree::SetUp();
    if (HasFatalFailure()) return;
    Start_First_Run(name_);
    home_.emplace("HOME", dir_.c_str());
    docs_.emplace("XDG_CONFIG_HOME", (dir_ + "/config").c_str());
    sounds_.emplace();
    gs.controller = HUMAN;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    // The window moved to its place of a first run.
    Config_All();
  }
  void TearDown() override {
    Host_Script_Reset();
    std::filesystem::remove_all(dir_);
    Bar_Stop();
    sounds_.reset();
    docs_.reset();
    home_.reset();
    programshot::PanelTree::TearDown();
  }
  // A control clicked where the panel shows it.
  static void Press(const a_control& c) {
    const Rect r = Control_Rect(c);
    ASSERT_FALSE(EmptyRect(r)) << c.Name() << " is not shown";
    ASSERT_TRUE(Click(r));
  }

  std::optional<testdir::EnvGuard> home_, docs_;
  std::optional<soundtest::SoundRecorder> sounds_;

 private:
  std::string name_;
};

}  // namespace press
