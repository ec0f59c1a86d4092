#include "tool.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>

#include "convert/conversion.h"
#include "convert/report_file.h"
#include "listings.h"
#include "runtime/encodings.h"
#include "runtime/service_error.h"

namespace qv::cli {
namespace {

// The output cannot take more: the whole command stops, unlike a failure of
// one input.
class OutputFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file's failures stop the whole command.
template <class Call>
void Tell(Call call) {
  try {
    call();
  } catch (const ServiceError& error) {
    throw OutputFailure(driver::Explained(error.what(), error.SystemError()));
  }
}

// Standard output, or the file at path, which takes the new bytes' place
// only at Finish.
class ListingOutput final : public ReportOutput {
 public:
  explicit ListingOutput(const std::string& path) {
    if (!path.empty()) file_.emplace(path);
  }
  void Open() {
    if (file_) Tell([&] { file_->Open(); });
  }
  void Write(const char* data, std::size_t size) override {
    if (file_) {
      Tell([&] { file_->Write(data, size); });
      return;
    }
    // The bytes come in large pieces already: the stream's own buffer passes them on.
    if (std::fwrite(data, 1, size, stdout) == size && std::fflush(stdout) == 0) return;
    if (errno == EPIPE) EndOnBrokenPipe();
    throw OutputFailure(std::string("Unable to write to standard output: ") + std::strerror(errno));
  }
  void Finish() {
    if (file_) Tell([&] { file_->Commit(); });
  }

 private:
  std::optional<ReportFile> file_;
};

// The events of one detail passed on, with the bytes read counted for the
// progress line.
class CountingEvents final : public DetailEvents {
 public:
  CountingEvents(DetailEvents& events, ProgressLine& progress)
      : events_(events), progress_(progress) {}
  void Subscriber(std::string_view number) override { events_.Subscriber(number); }
  void Call(const CallRecord& call) override { events_.Call(call); }
  void BytesRead(std::uint64_t total) override {
    progress_.AddBytes(total - counted_);
    counted_ = total;
  }

 private:
  DetailEvents& events_;
  ProgressLine& progress_;
  std::uint64_t counted_ = 0;
};

// Minutes in the listings are written with a point, whatever the locale.
constexpr ConversionSettings kSettings{'.'};

// The message of the failure, or an empty one when the input was walked to
// its end.
std::string WalkOne(const std::string& input, DetailEvents& events, ProgressLine& progress) {
  CountingEvents counting(events, progress);
  try {
    WalkDetail(PlugInPath(input, false).Get(), kSettings, counting);
  } catch (const OutputFailure&) {
    throw;
  } catch (const ServiceError& error) {
    return std::string(kProgram) + ": " + input + ": " +
           driver::Explained(error.what(), error.SystemError());
  } catch (const std::exception& error) {
    // Out of memory for one large input included: the next ones still run.
    return std::string(kProgram) + ": " + input + ": " + driver::Explained(error.what());
  }
  return {};
}

}  // namespace

int WriteListing(const ListingRequest& request) {
  ProgressLine progress(stderr, request.showProgress, request.inputs.size(),
                        TotalSize(request.inputs));
  ListingOutput output(request.outputPath);
  try {
    output.Open();
    listing::OutputBuffer buffer(output);
    std::optional<listing::CallsListing> calls;
    std::optional<listing::SummaryListing> summary;
    listing::ListingEvents& events =
        request.kind == ListingKind::kCalls
            ? static_cast<listing::ListingEvents&>(calls.emplace(buffer, request.options))
            : summary.emplace(buffer, request.options);
    bool allWalked = true;
    for (const std::string& input : request.inputs) {
      events.StartInput(FileNameToUtf8(input));
      const std::string failure = WalkOne(input, events, progress);
      events.EndInput();
      allWalked = allWalked && failure.empty();
      progress.FinishFile(failure);
    }
    events.Finish();
    // The line is gone before a table reaches the terminal.
    progress.Finish();
    buffer.Flush();
    output.Finish();
    return allWalked ? kSuccess : kFailure;
  } catch (const OutputFailure& failure) {
    progress.PrintMessage(std::string(kProgram) + ": " + failure.what());
    return kFailure;
  }
}

namespace {

struct ListingArguments {
  ListingRequest request;
  // Empty when --format was not given.
  std::string format;
};

const char* const kFailures =
    "A file that fails is named on standard error: what it held before the failure is still\n"
    "listed, the other files are still read, and the exit status is 1. With --output, FILE is\n"
    "replaced only once the listing is complete. On a terminal, work longer than a second\n"
    "shows a progress line on standard error, unless --quiet is given or rows stream onto\n"
    "the terminal themselves.\n\n";

const char* const kValues =
    "Values are cleaned for analysis: the page's character references (&quot;, &#1046;)\n"
    "decoded, no-break spaces made blanks, blanks trimmed, control characters shown as ?.\n"
    "Rows that are no calls (headings, spacers: their time is not a date and time) are left\n"
    "out. CSV: UTF-8, LF line ends, a header row; a field is put in quotes, its quotes\n"
    "doubled, only when it holds the delimiter, a quote or a control character. JSON: a\n"
    "number is a JSON number, an empty one null.\n\n";

std::string CheckDelimiter(const std::string& text) {
  if (text.size() == 1 && text != "\"" && text != "\r" && text != "\n") return {};
  return "one character other than a quote or a line break is needed, not '" + text + "'";
}

// Without --format, the output file's extension tells the format.
listing::Format FormatOf(const std::string& format, const ListingRequest& request) {
  static const std::map<std::string, listing::Format> kFormats = {
      {"text", listing::Format::kText},        {"csv", listing::Format::kCsv},
      {".csv", listing::Format::kCsv},         {"jsonl", listing::Format::kJsonLines},
      {".jsonl", listing::Format::kJsonLines}, {"json", listing::Format::kJson},
      {".json", listing::Format::kJson}};
  const std::string extension = std::filesystem::path(request.outputPath).extension().string();
  const auto found = kFormats.find(format.empty() ? extension : format);
  return found == kFormats.end() ? request.options.format : found->second;
}

int RunListing(const Tool& tool, const CLI::App& command, ListingArguments& arguments) {
  ListingRequest& request = arguments.request;
  request.inputs.insert(request.inputs.end(), tool.literalInputs.begin(), tool.literalInputs.end());
  if (request.inputs.empty()) return UsageError(command, "INPUT is required");
  request.inputs = ExpandInputs(request.inputs);
  request.options.format = FormatOf(arguments.format, request);
  if (request.outputPath == "-") request.outputPath.clear();
  for (const std::string& input : request.inputs) {
    if (!request.outputPath.empty() && driver::SameExistingFile(input, request.outputPath))
      return UsageError(command, input + " and " + request.outputPath +
                                     " are the same file; the listing would overwrite the detail");
  }
  // Rows streaming onto the terminal show the progress themselves.
  const bool rowsOnTerminal = request.options.format != listing::Format::kText &&
                              request.outputPath.empty() && StandardOutputIsTerminal();
  request.showProgress = ShowsProgress(tool) && !rowsOnTerminal;
  return WriteListing(request);
}

void AddListing(CLI::App& app, Tool& tool, ListingKind kind, const std::string& description,
                const std::vector<std::string>& formats, const std::string& footer) {
  const std::string name = kind == ListingKind::kCalls ? "calls" : "summary";
  CLI::App* command = app.add_subcommand(name, description);
  command->group("Commands");
  auto arguments = std::make_shared<ListingArguments>();
  arguments->request.kind = kind;
  listing::ListingOptions& options = arguments->request.options;
  if (kind == ListingKind::kSummary) options.format = listing::Format::kText;
  tool.help.SetUsage(command,
                     {"qvmtsfrs " + name + " [--format " + CLI::detail::join(formats, "|") +
                      "] [--output FILE] [OPTIONS] INPUT..."});
  command->add_option("INPUT", arguments->request.inputs, "Detail files, listed in the order given")
      ->type_name("");
  command
      ->add_option("-f,--format", arguments->format,
                   formats.front() + " (the default) or " +
                       CLI::detail::join(std::vector(formats.begin() + 1, formats.end()), ", ") +
                       "; without it, the\n--output FILE's extension (.csv, .jsonl, .json)")
      ->type_name("FORMAT")
      ->check(CLI::IsMember(formats));
  command
      ->add_option("-o,--output", arguments->request.outputPath,
                   "Write into FILE instead of standard output")
      ->type_name("FILE");
  command->add_option("--delimiter", options.delimiter, "CSV: separate fields by CHAR, not ','")
      ->type_name("CHAR")
      ->check(CLI::Validator(CheckDelimiter, ""));
  command->add_flag("--crlf", options.crlf, "CSV: end lines with CR LF, not LF");
  command->add_flag("!--no-header", options.header, "CSV: no header row");
  command->add_flag("--excel", options.excel,
                    "CSV for a Russian spreadsheet: byte-order mark, ';', CR LF, decimal\n"
                    "comma, text that would start a formula guarded by a leading '");
  command->add_flag("--raw", options.raw,
                    "Values as the report holds them: references, no-break spaces and blanks\n"
                    "kept");
  command->add_flag("--all-rows", options.allRows,
                    "Every row the report holds, headings and spacers too, not only calls");
  command->add_flag("-q,--quiet", tool.quiet, "Show no progress line on the terminal");
  command->footer(footer + kFailures + kExitStatuses);
  tool.runs[command] = [&tool, command, arguments] {
    return RunListing(tool, *command, *arguments);
  };
}

}  // namespace

void AddListings(CLI::App& app, Tool& tool) {
  AddListing(
      app, tool, ListingKind::kCalls, "List every call of the details, as CSV or JSON",
      {"csv", "jsonl", "json"},
      std::string("Examples:\n"
                  "  qvmtsfrs calls --output calls.csv details/\n"
                  "  qvmtsfrs calls --excel -o calls.csv march.html\n"
                  "  $ qvmtsfrs calls march.html\n"
                  "  file,phone,time,direction,number,call_zone,destination_zone,service,"
                  "service_code,seconds,minutes,charge\n"
                  "  march.html,9161234567,2011-03-01 09:05:17,out,4957654321,Москва,Москва и "
                  "обл.,Телефония,1,125,2.08,1.50\n\n"
                  "One row per call of the report, in file order. direction is out or in; minutes\n"
                  "and charges are written with a decimal point whatever the locale; a value the\n"
                  "row lacks is empty in CSV and null in JSON. JSON Lines: one object per line;\n"
                  "JSON: one array.\n") +
          kValues);
  AddListing(
      app, tool, ListingKind::kSummary,
      "Add up the calls of each subscriber: counts, seconds, charges, services",
      {"text", "csv", "jsonl", "json"},
      std::string(
          "Examples:\n"
          "  qvmtsfrs summary --output summary.csv details/*.html\n"
          "  $ qvmtsfrs summary march.html\n"
          "  file        phone       first call           last call            out  in  seconds  "
          "charge  c1  c2  c3  c4  c5  c8\n"
          "  march.html  9161234567  2011-03-01 09:05:17  2011-03-04 08:15:00    4   2      232  "
          "  6.75   2   2   1   1   0   0\n"
          "  ...\n"
          "  total                   2011-03-01 09:05:17  2011-03-31 23:58:00    9   4     1276  "
          "110.60   6   2   1   2   1   1\n\n"
          "One entry per subscriber block of each file, in file order, adding up the calls that\n"
          "\"calls\" lists: the first and last call time, the calls made (out) and received (in),\n"
          "the seconds and the charges added up exactly (charges that are not plain numbers are\n"
          "left out), and the calls per service code: c1 telephony, c2 SMS, c3 WAP, c4 GPRS,\n"
          "c5 MMS, c8 other. CSV and JSON name them file, phone, first_call, last_call,\n"
          "calls_out, calls_in, seconds, charge, code_1 ... code_5, code_8. The table ends with\n"
          "a line of totals over every file.\n") +
          kValues);
}

}  // namespace qv::cli
