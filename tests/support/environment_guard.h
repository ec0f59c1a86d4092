#pragma once
// Environment variables (the locale's above all) set for one scope: what
// was there before, an unset variable included, comes back at its end, so
// that the tests after it run under the locale ctest chose.
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qv::test {

class EnvironmentGuard {
 public:
  using Setting = std::pair<const char*, const char*>;

  // A null value unsets the variable.
  EnvironmentGuard(std::initializer_list<Setting> settings) {
    for (const auto& [name, value] : settings) Set(name, value);
  }
  ~EnvironmentGuard() {
    for (const auto& [name, old] : saved_) Put(name.c_str(), old ? old->c_str() : nullptr);
  }
  EnvironmentGuard(const EnvironmentGuard&) = delete;
  EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

  void Set(const char* name, const char* value) {
    bool known = false;
    for (const auto& saved : saved_) known = known || saved.first == name;
    if (!known) {
      const char* old = std::getenv(name);
      saved_.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
    }
    Put(name, value);
  }

 private:
  static void Put(const char* name, const char* value) {
#ifdef _WIN32
    // An empty value removes a variable on Windows.
    _putenv_s(name, value != nullptr ? value : "");
#else
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
#endif
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace qv::test
