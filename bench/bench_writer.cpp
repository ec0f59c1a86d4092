// Builds and writes a report of about 1.5 million calls the way a conversion
// does, subscriber by subscriber with the streaming writer, and prints the
// output rate and the peak memory.
//   bench_writer [output path]   (default: a file in /tmp, removed after)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "convert/report_document.h"
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
void StampDigits(std::u16string& text, std::size_t end, unsigned value, int digits) {
  for (int i = 0; i < digits; ++i) {
    text[end - 1 - i] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string path = argc > 1 ? argv[1] : "/tmp/qv_bench_writer.xml";
  std::u16string time = u"2010-12-07 09:05:00";
  std::u16string number = u"4957654321";
  std::u16string minutes = u"2.08";
  std::u16string seconds = u"125";
  std::u16string pay = u"1.50";
  std::u16string phoneNumber = u"9161234567";
  const std::u16string region = u"Москва";

  auto start = std::chrono::steady_clock::now();
  std::clock_t cpuStart = std::clock();
  try {
    qv::ReportDocument document;
    qv::ReportFileWriter writer(document, path);
    qv::ReportElement* report = document.CreateElement(u"report");
    document.AppendChild(nullptr, report);
    const char16_t* header[][2] = {{u"application", u"Подготовлено для программы Quarvel"},
                                   {u"url", u"http://www.quarvel.example/"},
                                   {u"filename", u"C:\\Detail\\mts.html"},
                                   {u"library", u"qvmtsfrs.dll"}};
    for (const auto& [name, text] : header) {
      qv::ReportElement* element = document.CreateElement(name);
      document.SetTextContent(element, text);
      document.AppendChild(report, element);
    }
    unsigned serial = 0;
    for (int p = 0; p < kPhones; ++p) {
      qv::ReportElement* phone = document.CreateElement(u"phone");
      StampDigits(phoneNumber, phoneNumber.size(), static_cast<unsigned>(p), 4);
      document.SetTextContent(phone, phoneNumber);
      document.AppendChild(report, phone);
      writer.WriteSettled();
      for (int c = 0; c < kCallsPerPhone; ++c, ++serial) {
        StampDigits(time, time.size(), serial % 60, 2);
        StampDigits(time, time.size() - 3, (serial / 60) % 60, 2);
        StampDigits(number, number.size(), serial, 7);
        StampDigits(seconds, seconds.size(), serial % 1000, 3);
        StampDigits(minutes, minutes.size(), serial % 100, 2);
        StampDigits(pay, pay.size(), serial % 97, 2);
        qv::ReportElement* call = document.CreateElement(u"call");
        document.SetAttribute(call, u"time", time);
        document.SetAttribute(call, u"type", serial % 3 == 0 ? u"2" : u"1");
        document.SetAttribute(call, u"num", number);
        document.SetAttribute(call, u"r2", u"");
        document.SetAttribute(call, u"r1", serial % 5 == 0 ? std::u16string_view(region) : u"");
        document.SetAttribute(call, u"code", u"1");
        document.SetAttribute(call, u"s", seconds);
        document.SetAttribute(call, u"m", minutes);
        document.SetAttribute(call, u"pay", pay);
        document.AppendChild(phone, call);
      }
    }
    writer.Finish();
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
