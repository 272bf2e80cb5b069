// Starting other programs: the desktop's "open this file or address" command
// and the small helpers run after the desktop integration files change.
//
// Programs are started with fork and exec on an argument vector, never through
// a shell, so names with blanks, quotes or "$" reach them unchanged. The child
// runs in a session of its own with standard input from /dev/null and none of
// our other descriptors (our file locks must not live on in a browser), so it
// outlives the program and is not hit by signals meant for us.
#pragma once

#include <string>
#include <vector>

enum class HostSpawnResult {
  NOT_FOUND,  // the program could not be executed (missing, not executable)
  FAILED,     // it could not be started (no process), or it was killed by a signal
  EXITED,     // it ended within the wait; exit_code holds its status
  RUNNING,    // still running when the wait ran out: left to run on, reaped later
};

struct HostSpawnStatus {
  HostSpawnResult result = HostSpawnResult::FAILED;
  int exit_code = -1;
};

// The full path of an executable program: a name holding a "/" is taken as it
// stands, any other is searched in the folders of $PATH (empty entries mean
// the current folder). False when no executable file is found.
bool Host_Find_Program(const std::string& name, std::string& path);

// Starts argv[0] (found as Host_Find_Program does) with the whole vector as its
// arguments and waits at most wait_ms for it to end. A program still running
// then is left alone; a background thread collects its exit so it leaves no
// zombie. An empty vector gives FAILED.
HostSpawnStatus Host_Spawn(const std::vector<std::string>& argv, int wait_ms);

// Opens a file or an address with the user's preferred program: the open
// command with target as its last argument. True when the command ran and did
// not report failure within a short wait (a command that is still running is
// taken as success: browsers may keep it waiting). False when the command is
// missing, ends with a non-zero status, or target is empty, begins with "-"
// (it would be read as an option) or holds control characters.
bool Host_Open_With_Default(const std::string& target);

// The open command: the vector set here when not empty, else the program named
// by $VELMOR_OPEN_COMMAND when set, else "xdg-open". Tests and scripted runs
// use this to put a stand-in in place of the desktop's command.
void Host_Set_Open_Command(const std::vector<std::string>& command);
std::vector<std::string> Host_Open_Command();
// How long Host_Open_With_Default waits for the command's verdict.
constexpr int HOST_OPEN_WAIT_MS = 2000;
