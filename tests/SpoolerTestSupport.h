// A print spooler of the tests' own: a cupsd with its own configuration,
// spool, logs and socket under a temporary folder and one queue on the
// cups-pdf back end, which writes what it prints into that folder's "out".
// CUPS_SERVER points at the socket while it runs; the machine's printers and
// its own print server are left alone. The back end reads its settings from
// the system's configuration folder only, so the queue's own settings file
// ("cups-pdf-<queue>.conf") lives there while the spooler runs.
//
// It needs root (the back end runs only as root): a test skips when
// Runs_Here() is FALSE. Start() fails with the reason otherwise, naming the
// package of a missing program (scripts/setup.sh installs them all).
#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cups/cups.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class TestSpooler {
 public:
  TestSpooler() = default;
  TestSpooler(const TestSpooler&) = delete;
  TestSpooler& operator=(const TestSpooler&) = delete;
  ~TestSpooler() { Stop(); }

  // Whether the spooler can run here at all (the PDF back end runs only as root).
  static bool Runs_Here() { return geteuid() == 0; }

  // Starts the server and makes the queue (about 3 s). FALSE with the reason.
  bool Start(std::string& why) {
    namespace fs = std::filesystem;
    if (!Runs_Here()) return Fail(why, "not root: the PDF back end runs only as root");
    const std::pair<const char*, const char*> needs[] = {
        {kCupsd, "cups-daemon"}, {kLpadmin, "cups-client"}, {kBackend, "printer-driver-cups-pdf"}};
    for (const auto& [need, package] : needs)
      if (access(need, X_OK) != 0)
        return Fail(why, std::string(need) + " is missing: package " + package +
                             " brings it (scripts/setup.sh installs it)");
    if (!fs::is_directory(kConfDir)) return Fail(why, std::string("no ") + kConfDir);
    std::string tmpl = (fs::temp_directory_path() / "velmor-spooler-XXXXXX").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    if (!mkdtemp(buf.data())) return Fail(why, "no temporary folder");
    root_ = buf.data();
    queue_ = "velmor-test-" + std::to_string(getpid());
    for (const char* sub : {"etc", "etc/ppd", "spool", "spool/tmp", "cache", "state", "log", "out"})
      fs::create_directories(root_ + "/" + sub);
    // The server's filters run as its own unprivileged user.
    fs::permissions(root_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(root_ + "/out", fs::perms::all);
    socket_ = root_ + "/cups.sock";
    Write(root_ + "/etc/cupsd.conf",
          "Listen " + socket_ + "\nLogLevel warn\nBrowsing No\nWebInterface No\nMaxJobs 50\n"
          "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
          "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
    Write(root_ + "/etc/cups-files.conf",
          "ServerRoot " + root_ + "/etc\nRequestRoot " + root_ + "/spool\nTempDir " + root_ +
              "/spool/tmp\nCacheDir " + root_ + "/cache\nStateDir " + root_ + "/state\nErrorLog " +
              root_ + "/log/error_log\nAccessLog " + root_ + "/log/access_log\nPageLog " + root_ +
              "/log/page_log\nSystemGroup root\nFileDevice Yes\n"
              "Sandboxing Relaxed\n");
    pdf_conf_ = std::string(kConfDir) + "/cups-pdf-" + queue_ + ".conf";
    Write(pdf_conf_, "Out " + root_ + "/out\nAnonDirName " + root_ + "/out\nLog " + root_ + "/log\nLabel 1\nGrp root\n");
    const pid_t pid = fork();
    if (pid < 0) return Fail(why, "fork failed");
    if (pid == 0) {
      const std::string log = root_ + "/log/cupsd.out";
      if (!std::freopen(log.c_str(), "w", stdout) || !std::freopen(log.c_str(), "a", stderr)) _exit(126);
      const std::string conf = root_ + "/etc/cupsd.conf", files = root_ + "/etc/cups-files.conf";
      execl(kCupsd, kCupsd, "-f", "-c", conf.c_str(), "-s", files.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    cupsd_ = pid;
    const char* old = std::getenv("CUPS_SERVER");
    had_server_ = old != nullptr;
    if (old) old_server_ = old;
    setenv("CUPS_SERVER", socket_.c_str(), 1);
    cupsSetServer(nullptr);  // the client library reads the variable again
    // The queue is made as soon as the server answers.
    const std::string add = std::string(kLpadmin) + " -h " + socket_ + " -p " + queue_ +
                            " -E -v cups-pdf:/" + queue_ + " -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd >>" + root_ +
                            "/log/lpadmin.out 2>&1";
    const std::string add_ppd = std::string(kLpadmin) + " -h " + socket_ + " -p " + queue_ +
                                " -E -v cups-pdf:/" + queue_ + " -P " + kPpd + " >>" + root_ + "/log/lpadmin.out 2>&1";
    for (int i = 0; i < 100; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      int status = 0;
      if (waitpid(cupsd_, &status, WNOHANG) == cupsd_) {
        cupsd_ = -1;
        return Fail(why, "the spooler ended at once (see its log " + root_ + "/log)");
      }
      if (access(socket_.c_str(), F_OK) != 0) continue;
      if (std::system(add_ppd.c_str()) == 0 || std::system(add.c_str()) == 0) return true;
    }
    return Fail(why, "the spooler took no queue (see " + root_ + "/log)");
  }

  // Ends the server and removes everything it made.
  void Stop() {
    if (cupsd_ > 0) {
      kill(cupsd_, SIGTERM);
      int status = 0;
      for (int i = 0; i < 100 && waitpid(cupsd_, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (waitpid(cupsd_, &status, WNOHANG) == 0) {
        kill(cupsd_, SIGKILL);
        waitpid(cupsd_, &status, 0);
      }
      cupsd_ = -1;
    }
    if (!socket_.empty()) {
      if (had_server_) setenv("CUPS_SERVER", old_server_.c_str(), 1);
      else unsetenv("CUPS_SERVER");
      cupsSetServer(nullptr);
      socket_.clear();
    }
    std::error_code ec;
    if (!pdf_conf_.empty()) std::filesystem::remove(pdf_conf_, ec);
    pdf_conf_.clear();
    if (!root_.empty() && !std::getenv("VELMOR_KEEP_SPOOLER")) std::filesystem::remove_all(root_, ec);
    root_.clear();
  }

  const std::string& Queue() const { return queue_; }
  std::string Out_Dir() const { return root_ + "/out"; }

  // The first PDF the queue writes within `seconds`, once it stops growing;
  // "" when none came.
  std::string Wait_Pdf(double seconds) const {
    namespace fs = std::filesystem;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(int(seconds * 1000));
    std::uintmax_t last = 0;
    std::string found;
    while (std::chrono::steady_clock::now() < end) {
      std::error_code ec;
      for (const auto& e : fs::recursive_directory_iterator(Out_Dir(), ec))
        if (e.path().extension() == ".pdf") found = e.path().string();
      if (!found.empty()) {
        const std::uintmax_t size = fs::file_size(found, ec);
        if (!ec && size > 0 && size == last) return found;
        last = ec ? 0 : size;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
  }

 private:
  static constexpr const char* kCupsd = "/usr/sbin/cupsd";
  static constexpr const char* kLpadmin = "/usr/sbin/lpadmin";
  static constexpr const char* kBackend = "/usr/lib/cups/backend/cups-pdf";
  static constexpr const char* kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
  static constexpr const char* kConfDir = "/etc/cups";

  bool Fail(std::string& why, const std::string& reason) {
    why = reason;
    Stop();
    return false;
  }
  static void Write(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
  }

  std::string root_, queue_, socket_, pdf_conf_, old_server_;
  bool had_server_ = false;
  pid_t cupsd_ = -1;
};
