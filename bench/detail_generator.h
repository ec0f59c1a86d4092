#pragma once
// Call-detail pages in the 2010-2011 layout: the bundled sample, and large
// synthetic details for the benchmarks. Shared by generate_detail and
// bench_convert.
#include <cstdint>
#include <cstdio>
#include <string>

namespace qv::bench {

// The page head up to and including the table's heading row.
inline std::string PageHead(const char* period, const char* client) {
  return std::string(
             "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
             "<html>\r\n"
             "<head>\r\n"
             "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
             "<title>Детализация счета</title>\r\n"
             "<style type=\"text/css\">td { font-size: 8pt; } .total td { font-weight: bold; "
             "}</style>\r\n"
             "</head>\r\n"
             "<body>\r\n"
             "<table class=\"client\">\r\n"
             "<tr><td>Клиент:</td><td>") +
         client +
         "</td></tr>\r\n"
         "<tr><td>Лицевой счет:</td><td>277012345678</td></tr>\r\n"
         "</table>\r\n"
         "<p>Детализация за период с " +
         period +
         "</p>\r\n"
         "\r\n"
         "<h3>Состоявшиеся разговоры</h3>\r\n"
         "<table class=\"calls\" border=\"1\" cellspacing=\"0\">\r\n"
         "<tr><th>№</th><th>Дата</th><th>Время</th><th>Зона</th><th>Номер</th>"
         "<th>Зона вызова</th><th>Зона направления</th><th>Услуга</th><th>Тип</th>"
         "<th>Длительность</th><th>Сумма</th></tr>\r\n";
}

inline const char kPageTail[] = "</table>\r\n</body>\r\n</html>\r\n";

// The bundled sample: three subscribers, calls both ways, every service
// kind, blank lines, closed blocks and one row of each odd kind. The line
// before each total row is not a call: the conversion drops it.
inline std::string SamplePage() {
  std::string page = PageHead("01.03.2011 по 31.03.2011", "Иванов Иван Иванович");
  page +=
      "<tr><td colspan=\"11\">Абонентский номер: 9161234567</td></tr>\r\n"
      "<tr><td>1</td><td>01.03.2011</td><td>09:05:17</td><td>Домашняя</td><td>4957654321</"
      "td><td>Москва</td><td>Москва и "
      "обл.</td><td>Телефония</td><td>Исх.</td><td>2:05</td><td>1,50</td></tr>\r\n"
      "<tr><td>2</td><td>01.03.2011</td><td>9:47:02</td><td>Домашняя</td><td>&lt;-- "
      "9031112233</td><td>Москва</td><td>Москва и "
      "обл.</td><td>Телефония</td><td>Вх.</td><td>0:59</td><td>0,00</td></tr>\r\n"
      "\r\n"
      "<tr><td>3</td><td>02.03.2011</td><td>12:00:40</td><td>Домашняя</td><td>9269876543</"
      "td><td>Москва</td><td>Москва и "
      "обл.</td><td>SMS</td><td>Исх.</td><td>1</td><td>1,20</td></tr>\r\n"
      "<tr><td>4</td><td>02.03.2011</td><td>12:03:11</td><td>Домашняя</td><td>&lt;--9269876543</"
      "td><td>Москва</td><td>Москва и "
      "обл.</td><td>SMS</td><td>Вх.</td><td>1</td><td>0,00</td></tr>\r\n"
      "<tr><td>5</td><td>03.03.2011</td><td>18:20:05</td><td>Домашняя</td><td>internet.mts.ru</"
      "td><td>Москва</td><td>Москва и "
      "обл.</td><td>GPRS-Internet</td><td>Исх.</td><td>45</td><td>3,45</td></tr>\r\n"
      "<tr><td>6</td><td>04.03.2011</td><td>08:15:00</td><td>Домашняя</td><td>wap.mts.ru</"
      "td><td>Москва</td><td>Москва и "
      "обл.</td><td>WAP</td><td>Исх.</td><td>01</td><td>0,60</td></tr>\r\n"
      "<tr><td colspan=\"11\">&nbsp;</td></tr>\r\n"
      "<tr class=\"total\"><td colspan=\"9\">Итого</td><td>5:51</td><td>6,75</td></tr>\r\n"
      "<tr><td colspan=\"11\">Абонентский номер 9167654321</td></tr>\r\n"
      "<tr><td>1</td><td>05.03.2011</td><td>10:00:00</td><td>Домашняя</td><td>9161234567</"
      "td><td>Москва</td><td>Москва и "
      "обл.</td><td>MMS</td><td>Исх.</td><td>1</td><td>6,50</td></tr>\r\n"
      "<tr><td>2</td><td>06.03.2011</td><td>21:14:33</td><td>Роуминг</td><td>&lt;-- "
      "+380441234567</td><td>Киев</td><td>Украина</td><td>Телефония</td><td>Вх.</td><td>12:40</"
      "td><td>95,00</td></tr>\r\n"
      "<tr><td>3</td><td colspan=\"10\">Смена тарифного плана с 07.03.2011</td></tr>\r\n"
      "<tr><td>4</td><td>07.03.2011</td><td>7:02:09</td><td>Домашняя</td><td>4951002030</"
      "td><td>Москва</td><td>Москва и "
      "обл.</td><td>Переадресация</td><td>Исх.</td><td>1:30</td><td>2,10</td></tr>\r\n"
      "<tr><td>5</td><td>08.03.2011</td><td>13:30:00</td><td>Домашняя</td><td>4951002030</"
      "td><td>Москва</td><td>Москва и "
      "обл.</td><td>Телефония</td><td>Исх.</td><td></td><td>0,00</td></tr>\r\n"
      "<tr><td>6</td><td>09.03.2011</td><td><b>23:59:59</b></td><td>Домашняя</td><td>88001234567</"
      "td><td>Москва</td><td>Москва &amp; "
      "обл.</td><td>Телефония</td><td>Исх.</td><td>0:03</td><td>0,00</td><td>Бесплатно</td><td>*</"
      "td></tr>\r\n"
      "\r\n"
      "<tr><td colspan=\"11\">&nbsp;</td></tr>\r\n"
      "<tr class=\"total\"><td colspan=\"9\">Итого</td><td>14:13</td><td>103,60</td></tr>\r\n"
      "<tr><td colspan=\"11\">Абонентский номер 79031234567</td></tr>\r\n"
      "<tr><td>1</td><td>10.03.2011</td><td>11:11:11</td><td>Домашняя</td><td>&lt;-- "
      "4959998877</td><td>Москва</td><td>Москва и "
      "обл.</td><td>Телефония</td><td>Вх.</td><td>3:00</td><td>0,00</td></tr>\r\n"
      "<tr><td>2</td><td>31.03.2011</td><td>23:58:00</td><td>Домашняя</td><td>mms.mts.ru</"
      "td><td>Москва</td><td>Москва и обл.</td><td>GPRS "
      "MMS</td><td>Исх.</td><td>0:10</td><td>0,25</td></tr>\r\n"
      "<tr><td colspan=\"11\">&nbsp;</td></tr>\r\n"
      "<tr class=\"total\"><td colspan=\"9\">Итого</td><td>3:10</td><td>0,25</td></tr>\r\n";
  page += kPageTail;
  return page;
}

// A small fast generator of pseudo-random numbers; the same seed gives the
// same detail on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 2654435761u + 1) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<std::uint32_t>(state_ >> 16);
  }
  std::uint32_t Below(std::uint32_t n) { return Next() % n; }

 private:
  std::uint64_t state_;
};

inline void AppendDigits(std::string& out, std::uint32_t value, int width) {
  char digits[16];
  for (int i = width - 1; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  out.append(digits, static_cast<std::size_t>(width));
}

inline void AppendNumber(std::string& out, std::uint32_t value) {
  char digits[16];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) out += digits[--n];
}

// The kinds of synthetic detail: blocks of 20 to 400 rows; one block holding
// every row; blocks of about 500 rows where half the calls are incoming
// and every service, zone and region name is Cyrillic; or such blocks of
// compact rows, about 210 bytes a call, with short zone names and dates of
// any day.
enum class DetailKind { kManyBlocks, kOneBlock, kCyrillicMix, kCompactRows };

struct RowChoices {
  std::uint32_t region;
  std::uint32_t kind;
  bool incoming;
};

inline void AppendService(std::string& out, const RowChoices& row, bool cyrillic, Random& random,
                          std::uint32_t& seconds) {
  static const char* const kLatin[] = {"Телефония", "SMS", "GPRS-Internet",
                                       "WAP",       "MMS", "Переадресация"};
  static const char* const kCyrillic[] = {
      "Телефония",        "Короткие сообщения",       "Мобильный интернет",
      "Мобильный портал", "Мультимедийные сообщения", "Переадресация"};
  const char* const* names = cyrillic ? kCyrillic : kLatin;
  const std::uint32_t kind = row.kind;
  const std::uint32_t service = kind < 60   ? 0
                                : kind < 80 ? 1
                                : kind < 88 ? 2
                                : kind < 95 ? 3
                                : kind < 98 ? 4
                                            : 5;
  static const std::uint32_t kLongest[] = {1800, 0, 3600, 600, 0, 300};
  out += names[service];
  seconds = kLongest[service] == 0 ? 1 : random.Below(kLongest[service]);
}

// One eleven-cell call row numbered n of a block of rows rows; adds its
// duration and charge to the block's totals.
inline void AppendCallRow(std::string& out, Random& random, std::uint32_t n, std::uint32_t day,
                          DetailKind kind, std::uint32_t& totalSeconds,
                          std::uint32_t& totalKopecks) {
  static const char* const kRegions[] = {"Москва",      "Санкт-Петербург", "Тверь",
                                         "Новосибирск", "Екатеринбург",    "Казань"};
  static const char* const kAreas[] = {"Москва и обл.",     "Ленинградская обл.",
                                       "Тверская обл.",     "Новосибирская обл.",
                                       "Свердловская обл.", "Республика Татарстан"};
  const bool compact = kind == DetailKind::kCompactRows;
  const bool mix = kind == DetailKind::kCyrillicMix || compact;
  const RowChoices row{random.Below(6), random.Below(100), random.Below(100) < (mix ? 50u : 40u)};
  out += "<tr><td>";
  AppendNumber(out, n);
  out += "</td><td>";
  AppendDigits(out, day, 2);
  out += ".03.2011</td><td>";
  AppendNumber(out, random.Below(24));
  out += ':';
  AppendDigits(out, random.Below(60), 2);
  out += ':';
  AppendDigits(out, random.Below(60), 2);
  out += row.region == 0 ? "</td><td>Домашняя</td><td>" : "</td><td>Роуминг</td><td>";
  if (row.incoming) out += compact ? "&lt;--" : "&lt;-- ";
  if (row.kind >= 80 && row.kind < 95 && !mix) {
    out += row.kind < 88 ? "internet.mts.ru" : "wap.mts.ru";
  } else {
    out += '9';
    AppendDigits(out, random.Below(1000000000), 9);
  }
  out += "</td><td>";
  // Compact rows name the short zones only.
  static const char* const kShortZones[] = {"Москва", "Тверь", "Казань"};
  out += compact ? kShortZones[row.region % 3] : kRegions[row.region];
  out += "</td><td>";
  out += compact ? kShortZones[(row.region + n) % 3] : kAreas[row.region];
  out += "</td><td>";
  std::uint32_t seconds = 1;
  AppendService(out, row, mix, random, seconds);
  out += row.incoming ? "</td><td>Вх.</td><td>" : "</td><td>Исх.</td><td>";
  if (seconds == 1) {
    out += '1';
  } else {
    AppendNumber(out, seconds / 60);
    out += ':';
    AppendDigits(out, seconds % 60, 2);
  }
  out += "</td><td>";
  const std::uint32_t kopecks = row.incoming ? 0 : random.Below(50000);
  AppendNumber(out, kopecks / 100);
  out += ',';
  AppendDigits(out, kopecks % 100, 2);
  out += "</td></tr>\r\n";
  totalSeconds += seconds;
  totalKopecks += kopecks;
}

inline void AppendBlockEnd(std::string& out, std::uint32_t totalSeconds,
                           std::uint32_t totalKopecks) {
  out += "<tr><td colspan=\"11\">&nbsp;</td></tr>\r\n";
  out += "<tr class=\"total\"><td colspan=\"9\">Итого</td><td>";
  AppendNumber(out, totalSeconds / 60);
  out += ':';
  AppendDigits(out, totalSeconds % 60, 2);
  out += "</td><td>";
  AppendNumber(out, totalKopecks / 100);
  out += ',';
  AppendDigits(out, totalKopecks % 100, 2);
  out += "</td></tr>\r\n";
}

// Writes a synthetic detail of about targetBytes to file, of the given kind;
// each block is closed by a total row that the next subscriber's row follows
// directly. Returns the bytes written, or 0 when writing failed.
inline std::uint64_t WriteSyntheticDetail(std::FILE* file, std::uint64_t targetBytes,
                                          std::uint64_t seed,
                                          DetailKind kind = DetailKind::kManyBlocks) {
  Random random(seed);
  std::string out = PageHead("01.03.2011 по 31.03.2011", "ООО &quot;Ромашка&quot;");
  std::uint64_t written = 0;
  auto flush = [&](bool always) {
    if (!always && out.size() < (1u << 20)) return true;
    if (std::fwrite(out.data(), 1, out.size(), file) != out.size()) return false;
    written += out.size();
    out.clear();
    return true;
  };
  const bool oneBlock = kind == DetailKind::kOneBlock;
  while (written + out.size() < targetBytes) {
    out += "<tr><td colspan=\"11\">Абонентский номер: 9";
    AppendDigits(out, random.Below(1000000000), 9);
    out += "</td></tr>\r\n";
    const std::uint32_t rows = oneBlock                          ? UINT32_MAX
                               : kind == DetailKind::kManyBlocks ? 20 + random.Below(381)
                                                                 : 450 + random.Below(101);
    std::uint32_t totalSeconds = 0;
    std::uint32_t totalKopecks = 0;
    for (std::uint32_t n = 1; n <= rows; ++n) {
      if (oneBlock && written + out.size() >= targetBytes) break;
      const std::uint32_t day =
          oneBlock || kind == DetailKind::kCompactRows ? 1 + (n - 1) % 31 : 1 + (n - 1) * 31 / rows;
      AppendCallRow(out, random, n, day, kind, totalSeconds, totalKopecks);
      if (!flush(false)) return 0;
    }
    AppendBlockEnd(out, totalSeconds, totalKopecks);
  }
  out += kPageTail;
  if (!flush(true)) return 0;
  return written;
}

}  // namespace qv::bench
