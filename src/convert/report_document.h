#pragma once
// The report as an XML tree of elements, attributes and text (UTF-16), and
// its writer. The document owns every node created through it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qv {

struct ReportElement;  // opaque; handles are plain pointers owned by the document

class ReportDocument {
 public:
  ReportDocument();
  ~ReportDocument();
  ReportDocument(const ReportDocument&) = delete;
  ReportDocument& operator=(const ReportDocument&) = delete;

  // Raises "DOMDocument.CreateElement" error text for a name that is not an
  // XML name.
  ReportElement* CreateElement(std::u16string_view name);
  // Appended to the document (parent nullptr) the child becomes the root.
  void AppendChild(ReportElement* parent, ReportElement* child);
  void SetTextContent(ReportElement* element, std::u16string_view text);
  void SetAttribute(ReportElement* element, std::u16string_view name,
                    std::u16string_view value);
  bool HasAttributes(const ReportElement* element) const;
  ReportElement* Root() const;

  // Serialises the whole document into the file (created or truncated).
  void WriteToFile(const char* path);

 private:
  friend class ReportFileWriter;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Writes a document while it is being built, so that memory does not grow
// with the number of subscribers: children of the root other than the last
// one can no longer change, so they are written and released as soon as the
// caller says so. The bytes are those WriteToFile gives for the final tree.
class ReportFileWriter {
 public:
  ReportFileWriter(ReportDocument& document, std::string path);
  ~ReportFileWriter();
  // Writes and releases the root's children before its last child. The file
  // is created on the first write; a failure is remembered, not raised.
  void WriteSettled() noexcept;
  // Writes the rest and closes the file; raises the first failure
  // (Unable to create file "<path>", a failed write, a lone surrogate).
  void Finish();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qv
