// Preloaded into the conversion tests (LD_PRELOAD) for faults the system
// does not give on demand: reads that fail part-way through a file, and
// random draws that repeat. The tests set the two variables through dlsym;
// left alone, the shim passes every call on.
#include <dlfcn.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

extern "C" {

// Reads of a file whose name ends in ".failing" fail from this offset on.
long qv_shim_failing_read_offset = -1;
// The next this many random draws give zero bytes.
int qv_shim_zero_random_draws = 0;

static bool IsFailing(int fd) {
  char link[64];
  char name[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t size = readlink(link, name, sizeof name - 1);
  return size > 8 && std::memcmp(name + size - 8, ".failing", 8) == 0;
}

ssize_t read(int fd, void* buffer, size_t size) {
  using Read = ssize_t (*)(int, void*, size_t);
  static const auto real = reinterpret_cast<Read>(dlsym(RTLD_NEXT, "read"));
  if (qv_shim_failing_read_offset >= 0 && IsFailing(fd) &&
      lseek(fd, 0, SEEK_CUR) >= qv_shim_failing_read_offset) {
    errno = EIO;
    return -1;
  }
  return real(fd, buffer, size);
}

ssize_t getrandom(void* buffer, size_t size, unsigned flags) {
  using GetRandom = ssize_t (*)(void*, size_t, unsigned);
  static const auto real = reinterpret_cast<GetRandom>(dlsym(RTLD_NEXT, "getrandom"));
  if (qv_shim_zero_random_draws > 0) {
    --qv_shim_zero_random_draws;
    std::memset(buffer, 0, size);
    return static_cast<ssize_t>(size);
  }
  return real(buffer, size, flags);
}
}
