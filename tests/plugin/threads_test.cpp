// Several threads naming and converting different details through the
// exports at once get what each call gets alone, and each thread hears of
// its own failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "../../bench/detail_generator.h"
#include "host_text.h"
#include "plugin/qvmtsfrs.h"
#include "support/temp_folder.h"

namespace {

struct Outcome {
  std::string name;
  std::string nameError;
  int converted = 0;
  std::string convertError;
  std::string report;
  bool operator==(const Outcome&) const = default;
};

std::string ShortText(const unsigned char* buffer) {
  return std::string(reinterpret_cast<const char*>(buffer + 1), buffer[0]);
}

std::string LastError() {
  unsigned char buffer[256];
  PlugInLastError(buffer);
  return ShortText(buffer);
}

Outcome NameAndConvert(const std::string& input, const std::string& output) {
  Outcome outcome;
  unsigned char name[256];
  PlugInNameDetal(name, qv::HostText(input).get());
  outcome.name = ShortText(name);
  outcome.nameError = LastError();
  outcome.converted = PlugInDoFile(qv::HostText(input).get(), qv::HostText(output).get()) & 0xFF;
  outcome.convertError = LastError();
  outcome.report = qv::test::TempFolder::Read(output).value_or("<none>");
  return outcome;
}

// Details that differ in their period, their subscribers and calls, and in
// how the call ends. Each thread has its own copies: a detail is opened without sharing,
// which on Windows keeps a second reader of the same file out.
std::vector<std::string> MakeDetails(const qv::test::TempFolder& folder, const std::string& copy) {
  std::vector<std::string> paths;
  for (unsigned k = 0; k < 6; ++k) {
    paths.push_back(folder.Path(copy + "detail" + std::to_string(k) + ".html"));
    std::FILE* file = std::fopen(paths.back().c_str(), "wb");
    // A period whose dates read the same in day-first and month-first settings.
    std::fprintf(file, "<p>Детализация за период с 01.0%u.2010 по 10.0%u.2010</p>\r\n", k + 1,
                 k + 1);
    qv::bench::WriteSyntheticDetail(file, 20000 * (k + 1), k);
    std::fclose(file);
  }
  paths.push_back(folder.Write(copy + "short.html", "<h3>Состоявшиеся разговоры</h3>"));
  paths.push_back(folder.Path(copy + "missing.html"));
  return paths;
}

TEST(Threads, CallsAtOnceGiveWhatEachGivesAlone) {
  constexpr int kThreads = 4;
  qv::test::TempFolder folder("qv_threads_");
  std::vector<std::vector<std::string>> details;
  std::vector<std::vector<Outcome>> alone(kThreads);
  for (int t = 0; t < kThreads; ++t) {
    details.push_back(MakeDetails(folder, "copy" + std::to_string(t) + "_"));
    for (const std::string& detail : details[t]) {
      alone[t].push_back(NameAndConvert(detail, folder.Path("alone.xml")));
    }
  }
  ASSERT_NE(alone[0].front().name, alone[0].back().name);

  std::vector<std::vector<Outcome>> together(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const std::string output = folder.Path("thread" + std::to_string(t) + ".xml");
      const std::size_t count = details[t].size();
      together[t].resize(count);
      for (int round = 0; round < 3; ++round) {
        for (std::size_t i = 0; i < count; ++i) {
          // Each thread starts elsewhere in its list, so different calls overlap.
          const std::size_t k = (i + static_cast<std::size_t>(t) * 3) % count;
          together[t][k] = NameAndConvert(details[t][k], output);
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    for (std::size_t k = 0; k < details[t].size(); ++k) {
      SCOPED_TRACE(details[t][k]);
      EXPECT_TRUE(together[t][k] == alone[t][k]) << "thread " << t;
    }
  }
}

}  // namespace
