#pragma once
// The report as an XML tree of elements, attributes and text (UTF-16), and
// its writer. The document owns every node created through it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace qv {

struct ReportElement;  // opaque; handles are plain pointers owned by the document
struct XmlName;        // opaque; a name checked once, owned by the document

// Where the writer's bytes go. Each call raises ServiceError on failure.
class ReportSink {
 public:
  // Called once, before the first bytes.
  virtual void Open() = 0;
  virtual void Write(const char* data, std::size_t size) = 0;
  // Called once after the last bytes of a complete write.
  virtual void End() {}
  // Called last, also when the write was abandoned.
  virtual void Close() noexcept = 0;

 protected:
  ~ReportSink() = default;
};

// A file created or truncated on Open: Unable to create file "<path>" when
// that fails, Unable to write file "<path>" when a write is short. Bytes are
// handed to the system in blocks of 64 KiB, a system call per 512 bytes
// costing more than the rest of the writing.
class ReportFileSink final : public ReportSink {
 public:
  explicit ReportFileSink(std::string path);
  ~ReportFileSink();
  void Open() override;
  void Write(const char* data, std::size_t size) override;
  void End() override;
  void Close() noexcept override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Appends to a string; for tests and tools.
class ReportStringSink final : public ReportSink {
 public:
  explicit ReportStringSink(std::string& out) : out_(out) {}
  void Open() override {}
  void Write(const char* data, std::size_t size) override { out_.append(data, size); }
  void Close() noexcept override {}

 private:
  std::string& out_;
};

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
  // A child that already has a parent is moved.
  void AppendChild(ReportElement* parent, ReportElement* child);
  // Child elements taken away stay owned by the document, out of the tree.
  void SetTextContent(ReportElement* element, std::u16string_view text);
  // Raises "DOMDocument.CreateAttribute" error text for a name that is not an
  // XML name.
  void SetAttribute(ReportElement* element, std::u16string_view name, std::u16string_view value);
  bool HasAttributes(const ReportElement* element) const;

  // Names checked once, for elements made in numbers; they raise as
  // CreateElement and SetAttribute do.
  const XmlName* ElementName(std::u16string_view name);
  const XmlName* AttributeName(std::u16string_view name);
  // An attribute whose value is UTF-8 byte text, read as DecodeUtf8 reads it.
  struct Utf8Attribute {
    const XmlName* name;
    std::string_view value;
  };
  // A new element with these attributes, as if it were created and each one
  // set in turn with its value decoded from UTF-8, but in one block of
  // memory. Cheapest with the names in the list's order (shorter first).
  ReportElement* CreateElement(const XmlName* name, std::span<const Utf8Attribute> attributes);
  ReportElement* Root() const;
  // Frees an element and everything under it at once (a call element that got
  // no attribute, say), taking it out of the tree first if it is in it. Its
  // memory is reused by the nodes created next. The handle becomes invalid.
  void ReleaseElement(ReportElement* element);

  // Serialises the whole document into the file (created or truncated).
  void WriteToFile(const char* path);
  void WriteTo(ReportSink& sink);

 private:
  friend class ReportFileWriter;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Writes a document while it is being built, so that memory does not grow
// with the number of subscribers or of their calls: children of the root
// other than the last one, and children of that last one other than its own
// last, can no longer change, so they are written and released as soon as
// the caller says so. The bytes are those WriteToFile gives for the final
// tree. Once something was written, the root's own attributes must not
// change; once the root's last child has two children, or a child written
// by WriteNewChild, it must stay in its place and its own attributes must
// not change; handles to released elements are invalid.
class ReportFileWriter {
 public:
  ReportFileWriter(ReportDocument& document, std::string path);
  // The sink must outlive the writer.
  ReportFileWriter(ReportDocument& document, ReportSink& sink);
  // Without Finish the output stops where it stands (not a whole document).
  ~ReportFileWriter();
  ReportFileWriter(const ReportFileWriter&) = delete;
  ReportFileWriter& operator=(const ReportFileWriter&) = delete;
  // Writes and releases what can no longer change (see above). The file is
  // created on the first write; a failure is remembered, not raised.
  void WriteSettled() noexcept;
  // Writes a new element with these attributes, as CreateElement takes
  // them, as the last child of parent straight into the file, without it
  // ever taking memory in the tree: the bytes are those of making it,
  // appending it and writing it in due course. parent must be the root's
  // last child; everything before the new element is written and released
  // first. Returns false when that cannot be done; the caller then appends
  // the element to the tree.
  bool WriteNewChild(ReportElement* parent, const XmlName* name,
                     std::span<const ReportDocument::Utf8Attribute> attributes) noexcept;
  // Writes the rest and closes the file; raises the first failure
  // (Unable to create file "<path>", a failed write, a lone surrogate).
  void Finish();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qv
