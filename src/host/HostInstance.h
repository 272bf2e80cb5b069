// One running copy of the program per user session: an advisory lock
// (flock) on a file in the runtime folder ($XDG_RUNTIME_DIR when it names an
// absolute, existing folder, else the application-data folder). The lock
// goes with the process: it is released on every kind of exit, so a crashed
// run never blocks the next one.
#pragma once

#include <string>

enum class HostInstanceResult {
  ACQUIRED = 0,        // this is the only running copy
  HELD_ELSEWHERE = 1,  // another copy holds the lock: end at once, silently
  FAILED = 2,          // no lock file could be made; the caller may run anyway
};

// Takes the lock "<folder>/<name>.lock" (name: letters, digits, '-', '_' and
// '.', at most 64 characters; anything else gives FAILED). Holding it
// already gives ACQUIRED again.
HostInstanceResult Host_Instance_Acquire(const char* name = "velmor4");
// The same in a given folder (tests).
HostInstanceResult Host_Instance_Acquire_In(const std::string& folder, const char* name);
// Gives the lock up (also done by the exit of the process).
void Host_Instance_Release();
bool Host_Instance_Held();
// In a child made by fork: drops the descriptor inherited from the parent
// without releasing the parent's lock (which closing alone does not do, and
// unlocking would).
void Host_Instance_Forget_After_Fork();
