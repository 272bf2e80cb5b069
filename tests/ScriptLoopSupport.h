// Driving the host layer with a script: loading one, and the program's main
// loop in short, for tests that click and type through real windows.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/HostMenu.h"
#include "host/HostScript.h"
#include "host/HostWin.h"

namespace looptest {

// Pumps messages until WM_QUIT arrives, translating accelerators for `win`
// when `accel` is given; fails the test when the loop does not end.
inline void Run_Message_Loop(HWND win = nullptr, HACCEL accel = nullptr) {
  MSG m;
  for (int guard = 0; guard < 100000; ++guard) {
    if (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) return;
      if (accel && TranslateAcceleratorW(win, accel, &m)) continue;
      TranslateMessage(&m);
      DispatchMessage(&m);
    } else {
      Host_Wait_Message(10);
    }
  }
  FAIL() << "the loop did not end";
}

inline void Load_Script(const std::string& text) {
  std::string errors;
  ASSERT_TRUE(Host_Script_Load_Text(text, "t.script", errors)) << errors;
}

}  // namespace looptest
