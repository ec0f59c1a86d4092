// Times the text scanning on a realistic detail table and on inputs built to
// make a rescanning implementation quadratic.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "scan/element_scanner.h"
#include "scan/text_helpers.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr std::size_t kTenMegabytes = 10u << 20;

// Keeps the optimiser from dropping a result.
std::size_t sink = 0;

template <typename Work>
void Time(const char* what, std::size_t bytes, Work work) {
  const Clock::time_point start = Clock::now();
  work();
  const double seconds = SecondsSince(start);
  const double megabytes = static_cast<double>(bytes) / kMegabyte;
  std::printf("%-48s %8.1f MB %9.3f s %9.0f MB/s\n", what, megabytes, seconds, megabytes / seconds);
}

std::string DetailTable(std::size_t bytes) {
  const std::string cells[] = {"07.12.2010",
                               "09:05:00",
                               "+79161234567",
                               "&lt;-- +79031112233",
                               "Москва",
                               "МТС",
                               "Исходящий вызов, местный",
                               "0:35",
                               "1,50",
                               "<b>Тариф</b> «Smart»",
                               "x"};
  std::string table = "<table class=\"detail\">\n";
  int row = 0;
  while (table.size() < bytes) {
    table += "<tr class=\"";
    table += (row++ % 2 == 0) ? "odd" : "even";
    table += "\">";
    for (const std::string& cell : cells) {
      table += "<td class=\"c\">\r\n ";
      table += cell;
      table += " </td>";
    }
    table += "</tr>\n";
  }
  table += "</table>\n";
  return table;
}

void WalkTable(std::string_view table) {
  const qv::TextPos length = static_cast<qv::TextPos>(table.size());
  for (qv::TextPos rowCursor = 1; length > rowCursor;) {
    const qv::TagContent row = qv::NextTagContent(table, "tr", rowCursor);
    rowCursor = row.stop;
    const qv::TextPos rowLength = static_cast<qv::TextPos>(row.content.size());
    for (qv::TextPos cellCursor = 1; rowLength > cellCursor;) {
      const qv::TagContent cell = qv::NextTagContent(row.content, "td", cellCursor);
      cellCursor = cell.stop;
      sink += cell.content.size();
    }
  }
}

}  // namespace

int main() {
  const std::string table = DetailTable(100u << 20);
  Time("NextTagContent: 100 MB table, rows then cells", table.size(), [&] { WalkTable(table); });

  const std::string tagOfGreaters = "<" + std::string(kTenMegabytes, '>');
  Time("NextTagContent: \"<\" and 10 MB of \">\"", tagOfGreaters.size(),
       [&] { sink += qv::NextTagContent(tagOfGreaters, "td", 1).content.size(); });

  std::string nearNames = "<";
  while (nearNames.size() < kTenMegabytes) nearNames += "t>";
  Time("NextTagContent: \"<\" and 10 MB of \"t>\"", nearNames.size(),
       [&] { sink += qv::NextTagContent(nearNames, "td", 1).content.size(); });

  const std::string openCell = "<td>" + std::string(kTenMegabytes, '<') + "/td>";
  Time("NextTagContent: 10 MB of \"<\" in one cell", openCell.size(),
       [&] { sink += qv::NextTagContent(openCell, "td", 1).content.size(); });

  std::string removed;
  std::string arrows;
  for (int i = 0; arrows.size() < kTenMegabytes; ++i) {
    arrows += "&lt;--";
    if (i % 3 == 0) arrows += static_cast<char>('0' + i % 10);
  }
  Time("RemoveAll: 10 MB cell of arrows removed", arrows.size(), [&] {
    qv::RemoveAll(arrows, "&lt;--", removed);
    sink += removed.size();
  });

  const std::size_t nesting = kTenMegabytes / 6;
  std::string nested;
  for (std::size_t i = 0; i < nesting; ++i) nested += "&lt;";
  nested.append(2 * nesting, '-');
  Time("RemoveAll: 10 MB of nested arrows", nested.size(), [&] {
    qv::RemoveAll(nested, "&lt;--", removed);
    sink += removed.size();
  });

  const std::string dots(kTenMegabytes, '.');

  const std::string opens(kTenMegabytes, '<');
  Time("StripTags: 10 MB of \"<\"", opens.size(), [&] { sink += qv::StripTags(opens).size(); });

  Time("NthField: 10 MB of separators, last field", dots.size(),
       [&] { sink += qv::NthField(dots, '.', INT32_MAX).size(); });

  const std::string blanks(kTenMegabytes, ' ');
  Time("TrimSpacing: 10 MB of blanks", blanks.size(),
       [&] { sink += qv::TrimSpacing(blanks).size(); });

  std::printf("(checksum %zu)\n", sink);
  return 0;
}
