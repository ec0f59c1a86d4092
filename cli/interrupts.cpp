#include "interrupts.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>
#endif

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace qv::cli {

#ifdef _WIN32
void PrepareProcess() {
  // Text goes out as the UTF-8 it is, with LF line ends as written.
  SetConsoleOutputCP(CP_UTF8);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
}

void EndOnBrokenPipe() { std::_Exit(1); }

bool StandardOutputIsTerminal() { return _isatty(_fileno(stdout)) != 0; }
bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }
#else
namespace {

namespace fs = std::filesystem;

bool OpenForWriting(const std::string& descriptor) {
  std::ifstream info("/proc/self/fdinfo/" + descriptor);
  for (std::string key; info >> key;) {
    if (key != "flags:") continue;
    std::string flags;
    info >> flags;
    return (std::stoul(flags, nullptr, 8) & O_ACCMODE) != O_RDONLY;
  }
  return false;
}

// The temporary files of reports and listings in flight are the files this
// process holds open for writing under a name ending in ".tmp"; whatever
// made them, they are ours and unfinished.
void RemoveTemporaryFiles() {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator("/proc/self/fd", error)) {
    const fs::path target = fs::read_symlink(entry.path(), error);
    if (!error && target.filename().string().ends_with(".tmp") &&
        OpenForWriting(entry.path().filename().string()))
      fs::remove(target, error);
  }
}

// The signals are blocked in every thread and taken by this one, so the
// clean-up runs as ordinary code, not inside a signal handler.
void WatchInterrupts() {
  sigset_t signals;
  sigemptyset(&signals);
  for (const int number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, number);
  if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) return;
  std::thread([signals] {
    int number = 0;
    if (sigwait(&signals, &number) != 0) return;
    RemoveTemporaryFiles();
    if (StandardErrorIsTerminal()) {
      constexpr char kClearLine[] = "\r\033[K";
      (void)!write(STDERR_FILENO, kClearLine, sizeof kClearLine - 1);
    }
    std::_Exit(128 + number);
  }).detach();
}

}  // namespace

void PrepareProcess() {
  // Opened the wrong way round, a stand-in refuses what the stream would do.
  for (const int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (fcntl(descriptor, F_GETFD) == -1)
      open("/dev/null", descriptor == STDIN_FILENO ? O_WRONLY : O_RDONLY);
  }
  WatchInterrupts();
}

void EndOnBrokenPipe() {
  std::signal(SIGPIPE, SIG_DFL);
  std::raise(SIGPIPE);
  std::_Exit(128 + SIGPIPE);
}

bool StandardOutputIsTerminal() { return isatty(STDOUT_FILENO) != 0; }
bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }
#endif

}  // namespace qv::cli
