// Starting other programs: the desktop's "open this file or address" command
// and the small helpers run after the desktop integration files change.
//
// Programs are started with fork and exec on an argument vector, never through
// a shell, so names with blanks, quotes or "$" reach them unchanged. The child
// runs in a session of its own with standard input from /dev/null and none of
// our other descriptors (our file locks must not live on in a browser), so it
// outlives the program and is not hit by signals meant for us.
#pragma once

#include <cstddef>
#include <functional>
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
// command with target as its last argument, started without waiting for it
// (it may take long, or keep running: browsers do). False when target is
// empty, begins with "-" (it would be read as an option) or holds control
// characters, or when the command cannot be started (missing, not
// executable). Otherwise true, and the command is watched: Host_Poll_Opens
// collects it once it has ended and calls done (when given) with the target
// and the command's status, so that a failure (Host_Open_Failed) can be told
// to the user. A command still running has not failed.
using HostOpenDone = std::function<void(const std::string& target, const HostSpawnStatus& status)>;
bool Host_Open_With_Default(const std::string& target, HostOpenDone done = nullptr);
// Collects the watched open commands that have ended and calls their done
// procedures; never waits, but on the manual clock (a scripted headless
// run), where it waits up to 10 seconds for them to end, so that their
// reports come at the same point every run. Called from the program's idle
// work. The number collected.
int Host_Poll_Opens();
// Waits for every watched open command to end, collecting and reporting each
// (tests, and anything that must not go on before the verdict).
void Host_Wait_Opens();
size_t Host_Opens_Watched();
// TRUE unless the command ended with status 0.
bool Host_Open_Failed(const HostSpawnStatus& status);

// The open command: the vector set here when not empty, else the program named
// by $VELMOR_OPEN_COMMAND when set, else "xdg-open". Tests and scripted runs
// use this to put a stand-in in place of the desktop's command.
void Host_Set_Open_Command(const std::vector<std::string>& command);
std::vector<std::string> Host_Open_Command();
// How long a caller of Host_Spawn that wants a quick verdict waits (the
// mail command of the file-dialog module).
constexpr int HOST_OPEN_WAIT_MS = 2000;
