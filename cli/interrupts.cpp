#include "tool.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>
#endif

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

namespace qv::cli {

#ifdef _WIN32
namespace {

bool IsTemporaryName(std::wstring_view name) {
  return name.starts_with(L".qv") && name.ends_with(L".tmp");
}

// The temporary files of reports and listings in flight are the files this
// process holds open under a name ".qv....tmp", or in a folder so named for
// standard input's copy. A file opened without sharing can be removed only
// once its handle is closed; the process ends right after.
void RemoveTemporaryFiles() {
  for (std::uintptr_t value = 4; value < (1u << 16); value += 4) {
    const auto handle = reinterpret_cast<HANDLE>(value);
    if (GetFileType(handle) != FILE_TYPE_DISK) continue;
    wchar_t path[MAX_PATH + 8];
    const DWORD length = GetFinalPathNameByHandleW(handle, path, MAX_PATH + 8, 0);
    if (length == 0 || length >= MAX_PATH + 8) continue;
    std::wstring_view name(path, length);
    std::wstring_view folder = name.substr(0, name.find_last_of(L'\\'));
    name.remove_prefix(folder.size() + 1);
    folder.remove_prefix(folder.find_last_of(L'\\') + 1);
    if (!IsTemporaryName(name) && !IsTemporaryName(folder)) continue;
    CloseHandle(handle);
    DeleteFileW(path);
    if (IsTemporaryName(folder)) {
      path[length - name.size() - 1] = L'\0';
      RemoveDirectoryW(path);
    }
  }
}

// Runs on a thread of its own, as the signal watch does on POSIX.
BOOL WINAPI OnInterrupt(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  RemoveTemporaryFiles();
  if (StandardErrorIsTerminal()) {
    constexpr char kClearLine[] = "\r\033[K";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), kClearLine, sizeof kClearLine - 1, &written, nullptr);
  }
  std::_Exit(128 + SIGINT);
}

}  // namespace

void PrepareProcess() {
  // Text goes out as the UTF-8 it is, with LF line ends as written; the
  // progress line's escapes are understood once the console is told to.
  SetConsoleOutputCP(CP_UTF8);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(console, &mode))
    SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  SetConsoleCtrlHandler(OnInterrupt, TRUE);
}

void EndOnBrokenPipe() { std::_Exit(1); }

bool StandardOutputIsTerminal() { return _isatty(_fileno(stdout)) != 0; }
bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }
#else
namespace {

namespace fs = std::filesystem;

// The temporary files of reports and listings in flight are the files this
// process holds open for writing under a name ending in ".tmp"; whatever
// made them, they are ours and unfinished.
void RemoveTemporaryFiles() {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator("/proc/self/fd", error)) {
    const fs::path target = fs::read_symlink(entry.path(), error);
    const int flags = fcntl(std::atoi(entry.path().filename().c_str()), F_GETFL);
    if (!error && target.filename().string().ends_with(".tmp") && flags != -1 &&
        (flags & O_ACCMODE) != O_RDONLY)
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
