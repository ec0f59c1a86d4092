#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class ReportDocument;
class ReportFileWriter;
struct ReportElement;
struct XmlName;

// The attributes of a call element, in the order the report lists them.
enum CallAttribute : int { kM, kS, kR1, kR2, kNum, kPay, kCode, kTime, kType, kCallAttributeCount };

// Working texts kept from row to row, so that a row costs no allocation once
// they have grown. One per conversion, for the rows of one document.
struct CallRowBuffers {
  explicit CallRowBuffers(ReportDocument& document);

  // The document's names of the call element and its attributes.
  const XmlName* callName;
  const XmlName* attributeNames[kCallAttributeCount];
  // When set, calls go through it straight into the report file where it
  // can take them, instead of into the tree.
  ReportFileWriter* writer = nullptr;
  // The values of the row being converted, end to end, and where each lies.
  std::string values;
  std::size_t valueStart[kCallAttributeCount] = {};
  std::size_t valueEnd[kCallAttributeCount] = {};

  std::string cellText;
  std::string dateText;
  std::string timeValue;
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
  // The decimal separator of the minute values.
  char decimalSeparator = '.';
  // Minute texts of the shorter durations, by total seconds; empty where not
  // yet made. Valid for one decimal separator.
  std::vector<std::string> minuteTexts;
  char minuteSeparator = 0;
};

// Turns one table row of a subscriber block into a call element appended to
// phone, when at least one attribute was set. The buffers must be those of
// the document.
void ConvertCallRow(std::string_view row, ReportDocument& document, ReportElement* phone);
void ConvertCallRow(std::string_view row, ReportDocument& document, ReportElement* phone,
                    CallRowBuffers& buffers);

// The code of a service cell: 1 telephony, 2 SMS, 3 WAP, 4 GPRS, 5 MMS,
// 8 anything else; matched in the system code page, ignoring case.
char ServiceCodeOf(std::string_view cell, CallRowBuffers& buffers);
// The same match made in UTF-16, for a code page without Cyrillic letters:
// there every Cyrillic letter would become the same default character, and
// "тел" would be found in any three of them.
char ServiceCodeInUtf16(std::string_view cell);

}  // namespace qv
