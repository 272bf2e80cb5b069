#include "host/HostLaunch.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "host/HostClock.h"

extern char** environ;

namespace {

std::vector<std::string> g_open_command;

// Open commands started and not yet collected.
struct Watched_Open {
  pid_t pid;
  std::string target;
  HostOpenDone done;
};
std::vector<Watched_Open> g_opens;

bool Is_Executable_File(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// In the child between fork and exec only async-signal-safe calls are allowed
// (the program has other threads), so everything is prepared before the fork.
[[noreturn]] void Child_Exec(const char* path, char* const* argv, int errfd) {
  // Keep the error pipe clear of the standard descriptors we are about to set.
  int err = ::fcntl(errfd, F_DUPFD_CLOEXEC, 3);
  if (err < 0) err = errfd;

  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction dfl{};
  dfl.sa_handler = SIG_DFL;
  sigemptyset(&dfl.sa_mask);
  // SIGXFSZ too: the program ignores it, and ignoring survives exec.
  for (int sig : {SIGPIPE, SIGCHLD, SIGINT, SIGQUIT, SIGHUP, SIGTERM, SIGXFSZ}) ::sigaction(sig, &dfl, nullptr);
  ::setsid();

  const int devnull = ::open("/dev/null", O_RDONLY);
  if (devnull >= 0 && devnull != 0) {
    ::dup2(devnull, 0);
    ::close(devnull);
  }
  // Every other descriptor of ours goes: an inherited one would keep our
  // locks (the single-instance lock, open documents) alive in the child.
  const unsigned first = 3, e = unsigned(err);
  bool closed = true;
  if (e > first && ::close_range(first, e - 1, 0) != 0) closed = false;
  if (closed && ::close_range(e + 1, ~0u, 0) != 0) closed = false;
  if (!closed) {
    for (int fd = 3; fd < 65536; ++fd)
      if (fd != err) ::close(fd);
  }

  ::execve(path, argv, environ);
  const int code = errno;
  ssize_t w;
  do {
    w = ::write(err, &code, sizeof code);
  } while (w < 0 && errno == EINTR);
  ::_exit(127);
}

}  // namespace

bool Host_Find_Program(const std::string& name, std::string& path) {
  if (name.empty()) return false;
  if (name.find('/') != std::string::npos) {
    if (!Is_Executable_File(name)) return false;
    path = name;
    return true;
  }
  const char* env = std::getenv("PATH");
  const std::string dirs = env != nullptr ? env : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  for (;;) {
    const size_t colon = dirs.find(':', start);
    std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + name;
    if (Is_Executable_File(candidate)) {
      path = candidate;
      return true;
    }
    if (colon == std::string::npos) return false;
    start = colon + 1;
  }
}

namespace {

// Starts argv[0] and returns once it runs (or could not): RUNNING with its
// process id, NOT_FOUND or FAILED.
HostSpawnResult Start_Child(const std::vector<std::string>& argv, pid_t& pid) {
  pid = -1;
  if (argv.empty()) return HostSpawnResult::FAILED;
  std::string path;
  if (!Host_Find_Program(argv[0], path)) return HostSpawnResult::NOT_FOUND;
  std::vector<std::string> args = argv;
  std::vector<char*> cargs;
  cargs.reserve(args.size() + 1);
  for (std::string& a : args) cargs.push_back(a.data());
  cargs.push_back(nullptr);

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return HostSpawnResult::FAILED;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return HostSpawnResult::FAILED;
  }
  if (child == 0) {
    ::close(fds[0]);
    Child_Exec(path.c_str(), cargs.data(), fds[1]);
  }
  ::close(fds[1]);

  // The pipe closes on a successful exec; otherwise it brings the errno.
  int code = 0;
  ssize_t n;
  do {
    n = ::read(fds[0], &code, sizeof code);
  } while (n < 0 && errno == EINTR);
  ::close(fds[0]);
  if (n == ssize_t(sizeof code)) {
    int st = 0;
    while (::waitpid(child, &st, 0) < 0 && errno == EINTR) {
    }
    return HostSpawnResult::NOT_FOUND;
  }
  pid = child;
  return HostSpawnResult::RUNNING;
}

// The status of an ended child from its wait status.
HostSpawnStatus Status_Of(int st) {
  HostSpawnStatus status;
  if (WIFEXITED(st)) {
    status.result = HostSpawnResult::EXITED;
    status.exit_code = WEXITSTATUS(st);
  }
  return status;  // killed by a signal: FAILED
}

// Collects the watched open commands that have ended (all of them, waiting,
// when block is set) and reports each; the number collected.
int Collect_Opens(bool block) {
  int collected = 0;
  for (size_t i = 0; i < g_opens.size();) {
    int st = 0;
    pid_t r;
    do {
      r = ::waitpid(g_opens[i].pid, &st, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == 0) {
      ++i;
      continue;
    }
    // Ended (or no longer ours to wait for, which reads as a failure).
    Watched_Open w = std::move(g_opens[i]);
    g_opens.erase(g_opens.begin() + std::ptrdiff_t(i));
    ++collected;
    const HostSpawnStatus status = r == w.pid ? Status_Of(st) : HostSpawnStatus{};
    // The report may run a dialog whose idle work polls again: the entry is
    // already off the list.
    if (w.done) w.done(w.target, status);
  }
  return collected;
}

}  // namespace

HostSpawnStatus Host_Spawn(const std::vector<std::string>& argv, int wait_ms) {
  HostSpawnStatus status;
  pid_t pid = -1;
  status.result = Start_Child(argv, pid);
  if (status.result != HostSpawnResult::RUNNING) return status;
  status.result = HostSpawnResult::FAILED;

  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms < 0 ? 0 : wait_ms);
  for (;;) {
    int st = 0;
    const pid_t r = ::waitpid(pid, &st, WNOHANG);
    if (r == pid) return Status_Of(st);
    if (r < 0 && errno != EINTR) return status;  // not our child any more
    if (std::chrono::steady_clock::now() >= end) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::thread([pid] {
    int st = 0;
    while (::waitpid(pid, &st, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  status.result = HostSpawnResult::RUNNING;
  return status;
}

void Host_Set_Open_Command(const std::vector<std::string>& command) { g_open_command = command; }

std::vector<std::string> Host_Open_Command() {
  if (!g_open_command.empty()) return g_open_command;
  const char* env = std::getenv("VELMOR_OPEN_COMMAND");
  if (env != nullptr && *env != 0) return {env};
  return {"xdg-open"};
}

bool Host_Open_With_Default(const std::string& target, HostOpenDone done) {
  if (target.empty() || target[0] == '-') return false;
  for (unsigned char c : target)
    if (c < 0x20 || c == 0x7F) return false;
  std::vector<std::string> argv = Host_Open_Command();
  argv.push_back(target);
  pid_t pid = -1;
  if (Start_Child(argv, pid) != HostSpawnResult::RUNNING) return false;
  g_opens.push_back(Watched_Open{pid, target, std::move(done)});
  return true;
}

int Host_Poll_Opens() {
  if (g_opens.empty()) return 0;
  if (!Host_Clock_Is_Manual()) return Collect_Opens(false);
  // On the manual clock (a scripted headless run) the report may not depend
  // on how fast the command runs: the idle work waits for it to end (a
  // command still running after 10 seconds is left to run), so the report
  // comes at the same point of the script every run.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int collected = 0;
  while (!g_opens.empty()) {
    const int n = Collect_Opens(false);
    collected += n;
    if (n > 0) continue;
    if (std::chrono::steady_clock::now() >= end) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return collected;
}

void Host_Wait_Opens() {
  while (!g_opens.empty()) Collect_Opens(true);
}

size_t Host_Opens_Watched() { return g_opens.size(); }

bool Host_Open_Failed(const HostSpawnStatus& status) {
  return !(status.result == HostSpawnResult::EXITED && status.exit_code == 0);
}
