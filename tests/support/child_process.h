// A program of this project run as a child process by a test: its standard
// output and error go to files in the test's scratch folder, and the test
// may signal it, wait for it, and read what it printed so far.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace vesk::testing {

// How a child starts (outside the class, so that its defaults can serve as
// a default argument of the class's constructor).
struct ChildOptions {
  std::optional<rlim_t> fileSizeLimit{};  // RLIMIT_FSIZE of the child
  bool hangUpIgnored = false;             // started with SIGHUP ignored, as nohup starts a program
};

class ChildProcess {
 public:
  using Options = ChildOptions;

  // Starts program with args; its output goes to outPath and errPath.
  ChildProcess(const std::string& program, const std::vector<std::string>& args, const std::string& outPath,
               const std::string& errPath, Options options = {})
      : outPath_(outPath), errPath_(errPath) {
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ != 0) return;
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(125);
    // Standard input at its end: an empty pipe whose writing end is closed.
    int input[2];
    if (::pipe(input) != 0 || ::dup2(input[0], 0) < 0) ::_exit(125);
    ::close(input[1]);
    if (options.fileSizeLimit) {
      struct rlimit limit {};
      ::getrlimit(RLIMIT_FSIZE, &limit);
      limit.rlim_cur = *options.fileSizeLimit;
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    // The child starts with the default dispositions the test process may have changed.
    for (const int signo : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ, SIGPIPE}) ::signal(signo, SIG_DFL);
    if (options.hangUpIgnored) ::signal(SIGHUP, SIG_IGN);
    ::execv(program.c_str(), argv.data());
    ::_exit(126);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() {
    if (!ended_ && pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  pid_t pid() const { return pid_; }
  void Signal(int signo) { ::kill(pid_, signo); }

  // Waits up to `seconds` for the end; the wait status, or nothing when the
  // child still runs (it is then killed, so a broken program fails the test
  // instead of hanging it).
  std::optional<int> Wait(double seconds = 60) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        ended_ = true;
        return status;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        ended_ = true;
        return std::nullopt;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  // What the child printed so far ("" before it opened its output).
  std::string Out() const { return Printed(outPath_); }
  std::string Err() const { return Printed(errPath_); }

  // Waits until pred() holds, up to `seconds`; false if it never did.
  template <class Pred>
  static bool WaitFor(Pred pred, double seconds = 60) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!pred()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

 private:
  static std::string Printed(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    if (in) bytes << in.rdbuf();
    return bytes.str();
  }

  std::string outPath_, errPath_;
  pid_t pid_ = -1;
  bool ended_ = false;
};

}  // namespace vesk::testing
