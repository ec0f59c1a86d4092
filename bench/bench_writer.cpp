// Prints a report of 1.5 million calls the way a conversion does, subscriber
// by subscriber into a report file, and prints the output rate and the peak
// memory.
//   bench_writer [output path]   (default: a file in /tmp, removed after)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "convert/report_file.h"
#include "convert/report_printer.h"
#include "runtime/service_error.h"

namespace {

constexpr int kPhones = 300;
constexpr int kCallsPerPhone = 5000;

long PeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// Puts the decimal digits of value into the end of text, keeping its length.
void StampDigits(std::string& text, std::size_t end, unsigned value, std::size_t digits) {
  for (std::size_t i = 0; i < digits; ++i) {
    text[end - 1 - i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

// The calls vary as a detail's do: every value changes from call to call.
void PrintCalls(qv::ReportPrinter& printer) {
  std::string time = "2010-12-07 09:05:00";
  std::string number = "4957654321";
  std::string minutes = "2.08";
  std::string seconds = "125";
  std::string pay = "1.50";
  std::string phoneNumber = "9161234567";
  qv::CallRecord call;
  call.set = (1u << qv::kCallAttributeCount) - 1;
  unsigned serial = 0;
  for (int p = 0; p < kPhones; ++p) {
    StampDigits(phoneNumber, phoneNumber.size(), static_cast<unsigned>(p), 4);
    printer.Subscriber(phoneNumber);
    for (int c = 0; c < kCallsPerPhone; ++c, ++serial) {
      StampDigits(time, time.size(), serial % 60, 2);
      StampDigits(time, time.size() - 3, (serial / 60) % 60, 2);
      StampDigits(number, number.size(), serial, 7);
      StampDigits(seconds, seconds.size(), serial % 1000, 3);
      StampDigits(minutes, minutes.size(), serial % 100, 2);
      StampDigits(pay, pay.size(), serial % 97, 2);
      call.values[qv::kTime] = time;
      call.values[qv::kType] = serial % 3 == 0 ? "2" : "1";
      call.values[qv::kNum] = number;
      call.values[qv::kR2] = "";
      call.values[qv::kR1] = serial % 5 == 0 ? "Москва" : "";
      call.values[qv::kCode] = "1";
      call.values[qv::kS] = seconds;
      call.values[qv::kM] = minutes;
      call.values[qv::kPay] = pay;
      printer.Call(call);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string path = argc > 1 ? argv[1] : "/tmp/qv_bench_writer.xml";
  auto start = std::chrono::steady_clock::now();
  std::clock_t cpuStart = std::clock();
  try {
    qv::ReportFile report(path);
    report.Open();
    qv::ReportPrinter printer(report, "C:\\Detail\\mts.html");
    PrintCalls(printer);
    printer.End();
    report.Commit();
  } catch (const qv::ServiceError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;

  std::ifstream written(path, std::ios::binary | std::ios::ate);
  double megabytes = static_cast<double>(written.tellg()) / 1e6;
  if (argc <= 1) std::remove(path.c_str());
  std::printf(
      "calls %d, output %.1f MB in %.3f s (%.3f s of processor): %.0f MB/s "
      "(%.0f MB/s of processor time), peak RSS %ld KiB\n",
      kPhones * kCallsPerPhone, megabytes, elapsed, cpu, megabytes / elapsed, megabytes / cpu,
      PeakResidentKiB());
  return 0;
}
