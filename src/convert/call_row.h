#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class ReportDocument;
struct ReportElement;

// Working texts kept from row to row, so that a row costs no allocation once
// they have grown. One per conversion.
struct CallRowBuffers {
  std::string cellText;
  std::string dateText;
  std::string timeValue;
  std::u16string value;
  // Service cells take few distinct values; their codes are remembered.
  struct ServiceCode {
    std::string cell;
    char code;
  };
  std::vector<ServiceCode> serviceCodes;
  std::size_t nextServiceSlot = 0;
  std::string keywords[5];
  bool keywordsReady = false;
  // False when the system code page cannot hold the keywords.
  bool keywordsInCodePage = true;
  // Minute texts of the shorter durations, by total seconds; empty where not
  // yet made. Valid for one decimal separator.
  std::vector<std::string> minuteTexts;
  char minuteSeparator = 0;
};

// Turns one table row of a subscriber block into a call element appended to
// phone, when at least one attribute was set.
void ConvertCallRow(std::string_view row, ReportDocument& document,
                    ReportElement* phone);
void ConvertCallRow(std::string_view row, ReportDocument& document,
                    ReportElement* phone, CallRowBuffers& buffers);

// The code of a service cell: 1 telephony, 2 SMS, 3 WAP, 4 GPRS, 5 MMS,
// 8 anything else; matched in the system code page, ignoring case.
char ServiceCodeOf(std::string_view cell, CallRowBuffers& buffers);
// The same match made in UTF-16, for a code page without Cyrillic letters:
// there every Cyrillic letter would become the same default character, and
// "тел" would be found in any three of them.
char ServiceCodeInUtf16(std::string_view cell);

}  // namespace qv
