#include "listing_options.h"

#include <string>
#include <vector>

namespace qv::cli {
namespace {

const char* const kListingStatuses =
    "Exit status: 0 success, 1 a file could not be read in full or the output could not be\n"
    "written, 2 usage error.";

const char* const kFailures =
    "A file that fails is named on standard error: what it held before the failure is still\n"
    "listed, the other files are still read, and the exit status is 1. With --output, FILE is\n"
    "replaced only once the listing is complete. On a terminal, work longer than a second\n"
    "shows a progress line on standard error, unless --quiet is given or rows stream onto\n"
    "the terminal themselves.\n\n";

std::string CheckDelimiter(const std::string& text) {
  if (text.size() == 1 && text != "\"" && text != "\r" && text != "\n") return {};
  return "one character other than a quote or a line break is needed, not '" + text + "'";
}

void AddListingOptions(CLI::App& command, ListingArguments& listing, bool& quiet,
                       const std::vector<std::string>& formats, const std::string& formatHelp) {
  listing::ListingOptions& options = listing.options;
  command.group("Commands");
  command.add_option("INPUT", listing.inputs, "Detail files, listed in the order given")
      ->type_name("")
      ->required();
  command.add_option("-f,--format", listing.format, formatHelp)
      ->type_name("FORMAT")
      ->check(CLI::IsMember(formats));
  command
      .add_option("-o,--output", listing.outputPath, "Write into FILE instead of standard output")
      ->type_name("FILE");
  command.add_option("-d,--delimiter", options.delimiter, "CSV: separate fields by CHAR, not ','")
      ->type_name("CHAR")
      ->check(CLI::Validator(CheckDelimiter, ""));
  command.add_flag("--crlf", options.crlf, "CSV: end lines with CR LF, not LF");
  command.add_flag("!--no-header", options.header, "CSV: no header row");
  command.add_flag("--excel", options.excel,
                   "CSV for a Russian spreadsheet: byte-order mark, ';', CR LF, decimal comma,\n"
                   "text that would start a formula guarded by a leading \"'\"");
  command.add_flag("--raw", options.raw,
                   "Values as the report holds them: references such as &quot; not decoded,\n"
                   "no-break spaces and blanks kept");
  command.add_flag("--all-rows", options.allRows,
                   "Every row the report holds, headings and spacers too, not only calls");
  command.add_flag("-q,--quiet", quiet, "Show no progress line on the terminal");
}

void DefineCalls(CLI::App& app, HelpFormatter& help, ToolArguments& arguments,
                 ToolCommands& commands) {
  CLI::App* calls =
      app.add_subcommand("calls", "List every call of the details, as CSV or JSON Lines");
  commands.calls = calls;
  help.SetUsage(calls, {"qvmtsfrs calls [--format csv|jsonl] [--output FILE] INPUT..."});
  AddListingOptions(*calls, arguments.calls, arguments.quiet, {"csv", "jsonl", "json"},
                    "csv (the default), jsonl or json; without it, as the --output FILE's\n"
                    "extension says (.csv, .jsonl, .json)");
  calls->footer(
      std::string(
          "Examples:\n"
          "  qvmtsfrs calls --format csv --output calls.csv details/*.html\n"
          "  qvmtsfrs calls --format jsonl march.html\n"
          "  $ qvmtsfrs calls march.html\n"
          "  file,phone,time,direction,number,call_zone,destination_zone,service,service_code,"
          "seconds,minutes,charge\n"
          "  march.html,9161234567,2011-03-01 09:05:17,out,4957654321,Москва,Москва и "
          "обл.,Телефония,1,125,2.08,1.50\n\n"
          "One row per call of the report, in file order. direction is out or in; minutes and\n"
          "charges are written with a decimal point whatever the locale; a value the row lacks\n"
          "is empty in CSV and null in JSON.\n"
          "CSV: UTF-8, CR LF line ends, a header row; a field is put in quotes, its quotes\n"
          "doubled, only when it holds a comma, a quote or a control character such as a line\n"
          "break. JSON Lines: one object per line, with the same keys; seconds, minutes and\n"
          "charges that are plain numbers are JSON numbers.\n\n") +
      kFailures + kListingStatuses);
}

void DefineSummary(CLI::App& app, HelpFormatter& help, ToolArguments& arguments,
                   ToolCommands& commands) {
  CLI::App* summary = app.add_subcommand(
      "summary", "Add up the calls of each subscriber: counts, seconds, charges, services");
  commands.summary = summary;
  help.SetUsage(summary, {"qvmtsfrs summary [--format text|csv|json] [--output FILE] INPUT..."});
  AddListingOptions(*summary, arguments.summary, arguments.quiet, {"text", "csv", "jsonl", "json"},
                    "text (a table, the default), csv, jsonl or json; without it, as the\n"
                    "--output FILE's extension says (.csv, .jsonl, .json)");
  summary->footer(
      std::string(
          "Examples:\n"
          "  qvmtsfrs summary --format csv --output summary.csv details/*.html\n"
          "  $ qvmtsfrs summary march.html\n"
          "  file        phone       first call           last call            out  in  seconds  "
          "charge  c1  c2  c3  c4  c5  c8\n"
          "  march.html  9161234567  2011-03-01 09:05:17  2011-03-04 08:15:00    4   2      232  "
          "  6.75   2   2   1   1   0   0\n"
          "  ...\n"
          "  total                   2011-03-01 09:05:17  2011-03-31 23:58:00    9   4     1276  "
          "110.60   6   2   1   2   1   1\n\n"
          "One entry per subscriber block of each file, in file order: the first and last call\n"
          "time, the calls made (out) and received (in), the seconds and the charges added up\n"
          "exactly (charges that are not plain numbers are left out), and the calls per service\n"
          "code: c1 telephony, c2 SMS, c3 WAP, c4 GPRS, c5 MMS, c8 other. CSV and JSON name\n"
          "them file, phone, first_call, last_call, calls_out, calls_in, seconds, charge,\n"
          "code_1 ... code_5, code_8; JSON is one array of objects. The table ends with a line\n"
          "of totals over every file.\n\n") +
      kFailures + kListingStatuses);
}

}  // namespace

void DefineListingCommands(CLI::App& app, HelpFormatter& help, ToolArguments& arguments,
                           ToolCommands& commands) {
  DefineCalls(app, help, arguments, commands);
  DefineSummary(app, help, arguments, commands);
}

}  // namespace qv::cli
