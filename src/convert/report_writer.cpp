// The report's bytes: UTF-8 with CR LF line breaks, two spaces of indent per
// level, and text kept inline with the markup around it.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>
#include <utility>

#include "convert/report_nodes.h"
#include "runtime/encodings.h"
#include "runtime/platform.h"
#include "runtime/service_error.h"

namespace qv {
namespace {

// What a byte of a kept text turns into; kPlain bytes are copied as they are.
enum ByteClass : unsigned char {
  kPlain,
  kAmp,
  kLt,
  kGt,
  kQuot,
  kTabReference,
  kLineFeedReference,
  kReturnReference,
  kLineFeedBreak,
  kReturnBreak,
  kThreeByteLead,  // 0xED: may start a lone surrogate
};

struct ClassTable {
  unsigned char classes[256];
};

constexpr ClassTable MakeTable(bool attribute) {
  ClassTable table{};
  table.classes['&'] = kAmp;
  table.classes['<'] = kLt;
  table.classes[0xED] = kThreeByteLead;
  if (attribute) {
    table.classes['"'] = kQuot;
    table.classes['\t'] = kTabReference;
    table.classes['\n'] = kLineFeedReference;
    table.classes['\r'] = kReturnReference;
  } else {
    table.classes['>'] = kGt;
    table.classes['\n'] = kLineFeedBreak;
    table.classes['\r'] = kReturnBreak;
  }
  return table;
}

constexpr ClassTable kTextClasses = MakeTable(false);
constexpr ClassTable kAttributeClasses = MakeTable(true);

// Whether no byte has its high bit set; eight at a time, the last eight
// overlapping the ones before.
bool IsAscii(std::string_view text) {
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  const char* p = text.data();
  const std::size_t size = text.size();
  if (size < 8) {
    unsigned char any = 0;
    for (std::size_t i = 0; i < size; ++i) any |= static_cast<unsigned char>(p[i]);
    return any < 0x80;
  }
  std::uint64_t any = 0;
  for (std::size_t i = 0; i + 8 < size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + i, 8);
    any |= word;
  }
  std::uint64_t last;
  std::memcpy(&last, p + size - 8, 8);
  return ((any | last) & kHighs) == 0;
}

constexpr char kDeclaration[] = "<?xml version=\"1.0\"?>";
constexpr char kSpaces[] = "                                ";

// Gathers output and hands it to the sink whenever 512 bytes are reached
// before the next piece; the slack takes the longest fixed piece (6 bytes of
// "&quot;") or a short name, so such writes need one check each.
class OutputBuffer {
 public:
  static constexpr std::size_t kSize = 512;
  static constexpr std::size_t kSlack = 32;

  explicit OutputBuffer(ReportSink& sink) : sink_(sink) {}

  void Flush() {
    if (used_ == 0) return;
    std::size_t size = used_;
    used_ = 0;
    sink_.Write(data_, size);
  }

  void Put(const char* bytes, std::size_t size) {
    if (size <= kSlack) {
      if (used_ >= kSize) Flush();
      std::memcpy(data_ + used_, bytes, size);
      used_ += size;
      return;
    }
    while (size > 0) {
      if (used_ >= kSize) Flush();
      std::size_t piece = std::min(size, kSize - used_);
      std::memcpy(data_ + used_, bytes, piece);
      used_ += piece;
      bytes += piece;
      size -= piece;
    }
  }
  void Put(const MarkupBytes& markup) {
    std::size_t size = markup.bytes.size();
    if (size > MarkupBytes::kPadded) {
      Put(markup.bytes.data(), size);
      return;
    }
    static_assert(MarkupBytes::kPadded <= kSlack);
    if (used_ >= kSize) Flush();
    std::memcpy(data_ + used_, markup.padded, MarkupBytes::kPadded);
    used_ += size;
  }
  template <std::size_t N>
  void PutLiteral(const char (&literal)[N]) {
    static_assert(N - 1 <= kSlack);
    if (used_ >= kSize) Flush();
    std::memcpy(data_ + used_, literal, N - 1);
    used_ += N - 1;
  }

  void LineBreak(std::size_t indent) {
    PutLiteral("\r\n");
    for (std::size_t spaces = indent * 2; spaces > 0;) {
      std::size_t piece = std::min(spaces, sizeof kSpaces - 1);
      Put(kSpaces, piece);
      spaces -= piece;
    }
  }

  template <bool kAttribute>
  void Escaped(const char* text, std::size_t length);

 private:
  char* Room() {
    if (used_ >= kSize) Flush();
    return data_ + used_;
  }

  ReportSink& sink_;
  std::size_t used_ = 0;
  char data_[kSize + kSlack];
};

template <bool kAttribute>
void OutputBuffer::Escaped(const char* text, std::size_t length) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* const end = p + length;
  const unsigned char* classes = kAttribute ? kAttributeClasses.classes : kTextClasses.classes;
  while (p != end) {
    char* out = Room();
    // A run of plain bytes, as far as the buffer goes: eight at a time while
    // none of them needs a look of its own.
    const std::size_t room = kSize - used_;
    const unsigned char* runEnd = static_cast<std::size_t>(end - p) > room ? p + room : end;
    while (runEnd - p >= 8 &&
           (classes[p[0]] | classes[p[1]] | classes[p[2]] | classes[p[3]] | classes[p[4]] |
            classes[p[5]] | classes[p[6]] | classes[p[7]]) == kPlain) {
      std::memcpy(out, p, 8);
      out += 8;
      p += 8;
    }
    while (p != runEnd && classes[*p] == kPlain) *out++ = static_cast<char>(*p++);
    used_ = static_cast<std::size_t>(out - data_);
    if (p == runEnd) continue;

    const unsigned byte = *p++;
    switch (classes[byte]) {
      case kAmp:
        std::memcpy(out, "&amp;", 5);
        used_ += 5;
        break;
      case kLt:
        std::memcpy(out, "&lt;", 4);
        used_ += 4;
        break;
      case kGt:
        std::memcpy(out, "&gt;", 4);
        used_ += 4;
        break;
      case kQuot:
        std::memcpy(out, "&quot;", 6);
        used_ += 6;
        break;
      case kTabReference:
        std::memcpy(out, "&#x9;", 5);
        used_ += 5;
        break;
      case kLineFeedReference:
        std::memcpy(out, "&#xA;", 5);
        used_ += 5;
        break;
      case kReturnReference:
        std::memcpy(out, "&#xD;", 5);
        used_ += 5;
        break;
      case kReturnBreak:
        if (p != end && *p == '\n') ++p;
        [[fallthrough]];
      case kLineFeedBreak:
        std::memcpy(out, "\r\n", 2);
        used_ += 2;
        break;
      default:
        // ED A0..BF is a surrogate, kept so only when it stood alone.
        if (p != end && *p >= 0xA0) {
          throw ServiceError(*p < 0xB0 ? "High surrogate without low one"
                                       : "Low surrogate without high one");
        }
        *out = static_cast<char>(byte);
        used_ += 1;
        break;
    }
  }
}

// Writes elements by the layout rules. The inside-text flag in force for an
// element's children is whether its first child is text, so it need not be
// kept on a stack: leaving an element, it is read again from the parent.
class TreeWriter {
 public:
  explicit TreeWriter(ReportSink& sink) : out_(sink) {}

  void Declaration() { out_.PutLiteral(kDeclaration); }
  void FinalLineBreak() { out_.LineBreak(0); }
  void CloseStartTag() { out_.PutLiteral(">"); }
  void Flush() { out_.Flush(); }

  void StartTag(const ReportElement* element, std::size_t indent, bool insideText) {
    if (!insideText) out_.LineBreak(indent);
    out_.Put(element->name->elementStart);
    for (std::size_t i = 0; i < element->size; ++i) {
      const ReportAttribute& attribute = element->attributes[i];
      out_.Put(attribute.name->attributeStart);
      out_.Escaped<true>(attribute.value, attribute.length);
      out_.PutLiteral("\"");
    }
  }

  // An element without children made from attributes as
  // ReportDocument::CreateElement takes them, names in the list's order.
  void NewElement(const XmlName* name, std::span<const ReportDocument::Utf8Attribute> attributes,
                  std::size_t indent, bool insideText) {
    if (!insideText) out_.LineBreak(indent);
    out_.Put(name->elementStart);
    for (const ReportDocument::Utf8Attribute& attribute : attributes) {
      out_.Put(attribute.name->attributeStart);
      // Cleaned as the tree keeps it (ASCII is clean already), then escaped
      // as the tree's value is.
      const std::string_view value = attribute.value;
      if (IsAscii(value)) {
        out_.Escaped<true>(value.data(), value.size());
      } else {
        if (cleaned_.size() < value.size()) cleaned_.resize(value.size());
        out_.Escaped<true>(cleaned_.data(), CleanUtf8(value, cleaned_.data()));
      }
      out_.PutLiteral("\"");
    }
    out_.PutLiteral("/>");
  }

  void EndTag(const XmlName* name, std::size_t indent, bool lastChildIsText) {
    if (!lastChildIsText) out_.LineBreak(indent);
    out_.Put(name->elementEnd);
  }

  // A node and everything under it, at the indent and inside-text flag in
  // force where it stands.
  void Node(const ReportElement* top, std::size_t indent, const bool topInsideText) {
    bool insideText = topInsideText;
    const ReportElement* node = top;
    for (;;) {
      if (node->IsText()) {
        out_.Escaped<false>(node->text, node->size);
      } else {
        StartTag(node, indent, insideText);
        if (node->firstChild == nullptr) {
          out_.PutLiteral("/>");
        } else {
          CloseStartTag();
          insideText = node->firstChild->IsText();
          ++indent;
          node = node->firstChild;
          continue;
        }
      }
      while (node != top && node->nextSibling == nullptr) {
        node = node->parent;
        --indent;
        EndTag(node->name, indent, node->LastChild()->IsText());
        insideText = node == top ? topInsideText : node->parent->firstChild->IsText();
      }
      if (node == top) return;
      node = node->nextSibling;
    }
  }

 private:
  OutputBuffer out_;
  std::string cleaned_;
};

}  // namespace

// ---- Sinks ----

struct ReportFileSink::Impl {
  static constexpr std::size_t kBlock = 64 * 1024;

  void WriteBlock(const char* data, std::size_t size) {
    if (!file.WriteAll(data, size)) {
      throw ServiceError("Unable to write file \"" + path + "\"");
    }
  }

  std::string path;
  platform::File file;
  std::unique_ptr<char[]> block;
  std::size_t used = 0;
};

ReportFileSink::ReportFileSink(std::string path) : impl_(std::make_unique<Impl>()) {
  impl_->path = std::move(path);
}
ReportFileSink::~ReportFileSink() = default;

void ReportFileSink::Open() {
  Impl& sink = *impl_;
  if (sink.file.CreateForWriting(sink.path.c_str()) != 0) {
    throw ServiceError("Unable to create file \"" + sink.path + "\"");
  }
  if (!sink.block) sink.block = std::make_unique<char[]>(Impl::kBlock);
  sink.used = 0;
}

void ReportFileSink::Write(const char* data, std::size_t size) {
  Impl& sink = *impl_;
  if (sink.used + size > Impl::kBlock) {
    std::size_t pending = sink.used;
    sink.used = 0;
    sink.WriteBlock(sink.block.get(), pending);
  }
  if (size >= Impl::kBlock) {
    sink.WriteBlock(data, size);
    return;
  }
  std::memcpy(sink.block.get() + sink.used, data, size);
  sink.used += size;
}

void ReportFileSink::End() {
  Impl& sink = *impl_;
  std::size_t pending = sink.used;
  sink.used = 0;
  sink.WriteBlock(sink.block.get(), pending);
}

void ReportFileSink::Close() noexcept {
  impl_->used = 0;
  impl_->file.Close();
}

// ---- Streaming writer ----

struct ReportFileWriter::Impl {
  Impl(ReportTree& tree, ReportSink& sink) : tree(tree), sink(sink), writer(sink) {}

  void Open() {
    sink.Open();
    opened = true;
  }
  void Close() noexcept {
    if (opened) sink.Close();
    opened = false;
  }
  void WriteRootStart(const ReportElement* root) {
    writer.Declaration();
    writer.StartTag(root, 0, false);
    writer.CloseStartTag();
    rootName = root->name;
    rootContentIsText = root->firstChild->IsText();
    started = true;
  }
  // Whether anything can no longer change: a child of the root before its
  // last, or a child of the last before its own last.
  static bool HasSettled(const ReportElement* root) {
    if (root == nullptr || root->firstChild == nullptr) return false;
    const ReportElement* last = root->LastChild();
    return root->firstChild != last || last->firstChild != last->LastChild();
  }
  // A child of the root, or the rest of it when its start is written.
  void WriteChild(const ReportElement* child) {
    if (child != open) {
      writer.Node(child, 1, rootContentIsText);
      return;
    }
    for (const ReportElement* c = child->firstChild; c != nullptr; c = c->nextSibling) {
      writer.Node(c, 2, openContentIsText);
    }
    // Its children may all be written and gone already.
    const ReportElement* last = child->LastChild();
    writer.EndTag(child->name, 1, last != nullptr ? last->IsText() : openLastWasText);
  }
  // Writes the start tag of the root's last child, whose first child (if
  // any) can no longer change.
  void OpenLast(ReportElement* last) {
    writer.StartTag(last, 1, rootContentIsText);
    writer.CloseStartTag();
    open = last;
    openContentIsText = last->firstChild != nullptr && last->firstChild->IsText();
  }
  // Every child of the root but the last, and every child of the last but
  // its own last, releasing each once written.
  void WriteAndRelease(ReportElement* root) {
    while (root->firstChild != root->LastChild()) {
      ReportElement* child = root->firstChild;
      WriteChild(child);
      if (child == open) open = nullptr;
      lastChildWasText = child->IsText();
      tree.Release(child);
    }
    ReportElement* last = root->firstChild;
    if (last->firstChild == last->LastChild()) return;
    // Its start tag can be written once it has a first child for good.
    if (last != open) OpenLast(last);
    while (last->firstChild != last->LastChild()) {
      ReportElement* child = last->firstChild;
      writer.Node(child, 2, openContentIsText);
      openLastWasText = child->IsText();
      tree.Release(child);
    }
  }
  // After a failure the same is released unwritten, so memory stays bounded.
  void ReleaseSettled(ReportElement* root) noexcept {
    while (root->firstChild != root->LastChild()) {
      if (root->firstChild == open) open = nullptr;
      tree.Release(root->firstChild);
    }
    ReportElement* last = root->firstChild;
    while (last->firstChild != last->LastChild()) tree.Release(last->firstChild);
  }

  ReportTree& tree;
  std::unique_ptr<ReportFileSink> ownSink;
  ReportSink& sink;
  TreeWriter writer;
  bool opened = false;
  bool started = false;
  bool finished = false;
  bool rootContentIsText = false;
  bool lastChildWasText = false;
  const XmlName* rootName = nullptr;
  // The root's child whose start tag and first children are written.
  const ReportElement* open = nullptr;
  bool openContentIsText = false;
  bool openLastWasText = false;
  std::exception_ptr failure;
};

ReportFileWriter::ReportFileWriter(ReportDocument& document, std::string path) {
  auto sink = std::make_unique<ReportFileSink>(std::move(path));
  impl_ = std::make_unique<Impl>(*document.impl_, *sink);
  impl_->ownSink = std::move(sink);
}

ReportFileWriter::ReportFileWriter(ReportDocument& document, ReportSink& sink)
    : impl_(std::make_unique<Impl>(*document.impl_, sink)) {}

ReportFileWriter::~ReportFileWriter() { impl_->Close(); }

void ReportFileWriter::WriteSettled() noexcept {
  Impl& w = *impl_;
  ReportElement* root = w.tree.root;
  if (w.finished || !Impl::HasSettled(root)) return;
  if (!w.failure) {
    try {
      if (!w.started) {
        w.Open();
        w.WriteRootStart(root);
      }
      w.WriteAndRelease(root);
    } catch (...) {
      w.failure = std::current_exception();
    }
  }
  if (w.failure) w.ReleaseSettled(root);
}

bool ReportFileWriter::WriteNewChild(
    ReportElement* parent, const XmlName* name,
    std::span<const ReportDocument::Utf8Attribute> attributes) noexcept {
  Impl& w = *impl_;
  ReportElement* root = w.tree.root;
  if (w.finished || root == nullptr || parent == nullptr || parent != root->LastChild() ||
      parent->IsText() || !InListOrder(attributes)) {
    return false;
  }
  // After a failure it would be released unwritten: it is dropped instead.
  if (w.failure) return true;
  try {
    if (!w.started) {
      w.Open();
      w.WriteRootStart(root);
    }
    w.WriteAndRelease(root);
    if (parent != w.open) w.OpenLast(parent);
    // Every child the parent has comes before the new one.
    while (ReportElement* child = parent->firstChild) {
      w.writer.Node(child, 2, w.openContentIsText);
      w.openLastWasText = child->IsText();
      w.tree.Release(child);
    }
    w.writer.NewElement(name, attributes, 2, w.openContentIsText);
    w.openLastWasText = false;
  } catch (...) {
    w.failure = std::current_exception();
  }
  return true;
}

void ReportFileWriter::Finish() {
  Impl& w = *impl_;
  if (w.finished) return;
  w.finished = true;
  if (w.failure) {
    w.Close();
    std::rethrow_exception(w.failure);
  }
  try {
    ReportElement* root = w.tree.root;
    if (!w.started) {
      w.Open();
      w.writer.Declaration();
      if (root != nullptr) w.writer.Node(root, 0, false);
    } else {
      if (root != nullptr) {
        for (ReportElement* child = root->firstChild; child != nullptr;
             child = child->nextSibling) {
          w.WriteChild(child);
          w.lastChildWasText = child->IsText();
        }
      }
      w.writer.EndTag(w.rootName, 0, w.lastChildWasText);
    }
    w.writer.FinalLineBreak();
    w.writer.Flush();
    w.sink.End();
  } catch (...) {
    w.Close();
    throw;
  }
  w.Close();
}

// ---- Whole document ----

void ReportDocument::WriteToFile(const char* path) {
  ReportFileWriter(*this, std::string(path != nullptr ? path : "")).Finish();
}

void ReportDocument::WriteTo(ReportSink& sink) { ReportFileWriter(*this, sink).Finish(); }

}  // namespace qv
